// A tiny LZH writer for the import tests: stored (-lh0-) members with level 0
// or level 1 headers, CRC-16 over the data, and the end mark. Fields can be
// set wrong on purpose.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace kwtest {

struct LzhMember {
    std::string name; // as stored, may hold a path ("sub/x.msg", "../x.msg")
    std::string data;
    int level = 0;
    bool timeHeader = false; // level 1: one extended header (a Unix time)
    std::string method = "-lh0-";
    std::optional<uint32_t> originalSize; // else data.size()
    std::optional<uint16_t> crc;          // else the CRC of data
};

std::string lzhMember(const LzhMember& m);

// Members followed by the end mark (one 0x00 byte).
std::string lzhArchive(std::initializer_list<LzhMember> members);

} // namespace kwtest

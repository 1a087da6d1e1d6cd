// The test LZH writer (see lzh_writer.h).
#include "lzh_writer.h"

#include "kwph/lzh.h"

namespace kwtest {

namespace {

void put16(std::string& o, uint32_t v) {
    o += static_cast<char>(v & 0xFF);
    o += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& o, uint32_t v) {
    put16(o, v & 0xFFFF);
    put16(o, v >> 16);
}

} // namespace

std::string lzhMember(const LzhMember& m) {
    const std::string& name = m.name;
    std::string ext; // level 1 extended headers count as compressed data
    if (m.level == 1 && m.timeHeader) {
        ext += '\x54';
        put32(ext, 0x12345678);
        put16(ext, 0);
    }
    std::string h = m.method;
    put32(h, static_cast<uint32_t>(ext.size() + m.data.size()));
    put32(h, m.originalSize.value_or(static_cast<uint32_t>(m.data.size())));
    put32(h, 0x5A210000); // an MS-DOS date and time
    h += static_cast<char>(0x20);
    h += static_cast<char>(m.level);
    h += static_cast<char>(name.size());
    h += name;
    put16(h, m.crc.value_or(kwp::lzhCrc16(m.data)));
    if (m.level == 1) {
        h += 'M';
        put16(h, static_cast<uint32_t>(ext.size()));
    }
    unsigned sum = 0;
    for (unsigned char c : h) sum += c;
    std::string out;
    out += static_cast<char>(h.size());
    out += static_cast<char>(sum & 0xFF);
    return out + h + ext + m.data;
}

std::string lzhArchive(std::initializer_list<LzhMember> members) {
    std::string out;
    for (const LzhMember& m : members) out += lzhMember(m);
    return out + std::string(1, '\0');
}

} // namespace kwtest

// LZH import: the message files of an LZH archive are extracted into a
// fresh private folder and packed from there.
//
// Extraction goes through liblhasa's reader, never its extractor (which would
// write the stored path and apply the stored permissions and owner): only
// plain entries named NAME.msg (1-8 bytes of [A-Za-z0-9_], any case) with no
// folder are written, each as a new file in the target folder; lengths and
// CRC-16 are checked, and the archive must end cleanly.
#pragma once

#include "kwph/engine.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kwp {

struct LzhLimits {
    uint64_t maxFile = 32ull << 20;   // bytes of one extracted file
    uint64_t maxTotal = 256ull << 20; // bytes of all extracted files
};

// True when the library was built with liblhasa.
bool lzhSupported();

// Extracts the message files of `lzhOsPath` into the existing folder
// `destOsDir` (both OS paths). 0 on success, like the extraction call it
// stands in for; any failure gives 1.
int extractLzh(const std::string& lzhOsPath, const std::string& destOsDir, const LzhLimits& limits = {});

// The CRC-16 of LZH archives (polynomial 0xA001 reflected, start 0).
uint16_t lzhCrc16(std::string_view bytes, uint16_t crc = 0);

bool lzhToKwp(Engine& engine, std::string_view lzh, std::string_view archive, std::string_view comment,
              bool compress);

} // namespace kwp

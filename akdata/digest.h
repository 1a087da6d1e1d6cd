// The file-head summary of an AK data file: its machine value, owner name
// (with its "(...)" part as the file has it), owner ID and pilot name, read
// without loading the whole AK. The game-mode plug-ins list entrants with it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace akdata {

struct AkDigest {
    int32_t machineValue = 0;
    std::string pilotName; // each text at most 79 bytes
    std::string ownerName;
    std::string ownerId;
};

// The summary of the file's bytes; nullopt without a valid first line.
std::optional<AkDigest> digestAkData(std::string_view bytes);
// folder and file joined as given; nullopt when the file cannot be read or
// has no valid first line.
std::optional<AkDigest> makeDigest(std::string_view folder, std::string_view file);

} // namespace akdata

// The file-head summary of an AK data file. It shares the loader's head scan
// and record reader, so a quoted text that runs over a line end shifts
// nothing.
#include "akdata/digest.h"

#include "akdata/csvreader.h"
#include "base/sjis.h"
#include "platform/files.h"

namespace akdata {

namespace {

constexpr size_t DigestTextMax = 79;

} // namespace

std::optional<AkDigest> digestAkData(std::string_view bytes) {
    LineSource in(bytes);
    std::string_view line;
    AkDigest d;
    for (;;) {
        if (!in.next(line)) return std::nullopt;
        if (line.empty() || line.front() == '\0') continue;
        int32_t value = 0, cash = 0;
        int n = scanHead(line, value, cash);
        if (n == 0) continue;
        if (n != 2) return std::nullopt;
        d.machineValue = value;
        break;
    }
    d.ownerName = sjis::cut(CsvRecord(in, "q").text(0), DigestTextMax);
    d.ownerId = sjis::cut(CsvRecord(in, "q").text(0), DigestTextMax);
    CsvRecord(in, "n");
    d.pilotName = sjis::cut(CsvRecord(in, "q").text(0), DigestTextMax);
    return d;
}

std::optional<AkDigest> makeDigest(std::string_view folder, std::string_view file) {
    std::string path(folder);
    path += file;
    std::optional<std::string> bytes = plat::readWholeFile(path);
    if (!bytes) return std::nullopt;
    return digestAkData(*bytes);
}

} // namespace akdata

// Fuzz target: arbitrary bytes as the head of an AK data file, read by the
// summary the folder lists show (machine value, owner, owner ID, pilot).
// Besides the sanitizers' checks it asserts that every summary text stays
// within 79 bytes cut on a character boundary, and that a file the full
// loader takes has the summary the loaded record gives (texts as the
// export hands them out, up to a NUL).
#include "akdata/akfile.h"
#include "akdata/digest.h"

#include "base/sjis.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzzcheck.h"

namespace {

// A summary text as the export hands it out: a C string.
std::string_view exported(const std::string& s) {
    return std::string_view(s).substr(0, s.find('\0'));
}

void checkText(const std::string& s) {
    FUZZ_CHECK(s.size() <= 79);
    FUZZ_CHECK(sjis::isBoundary(s, s.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto digest = akdata::digestAkData(bytes);
    if (digest) {
        checkText(digest->ownerName);
        checkText(digest->ownerId);
        checkText(digest->pilotName);
    }
    TArmoredKnight ak{};
    if (akdata::parseAkData(ak, bytes) == akdata::LoadOk) {
        FUZZ_CHECK(digest.has_value());
        FUZZ_CHECK(digest->machineValue == ak.MachineValue);
        FUZZ_CHECK(exported(digest->ownerId) == sjis::readField(ak.Owner.Id));
        FUZZ_CHECK(exported(digest->pilotName) == sjis::readField(ak.Pilot.Name));
    }
    return 0;
}

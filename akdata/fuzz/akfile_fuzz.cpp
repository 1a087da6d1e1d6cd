// Fuzz target: arbitrary bytes as an AK data file. The record is then run
// through one of the two writers, one of the sheets, the pilot block, the
// entry check against empty catalogs and the file-head summary. Besides the
// sanitizers' checks it asserts that every text of the record ends inside
// its array and that whatever the writers produce loads again.
#include "akdata/akcheck.h"
#include "akdata/akfile.h"
#include "akdata/aksheets.h"
#include "akdata/digest.h"
#include "akdata/pilotinf.h"
#include "akdata/sheettext.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzzcheck.h"

namespace {

template <size_t N> bool terminated(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}

void checkTexts(const TArmoredKnight& ak) {
    FUZZ_CHECK(terminated(ak.Owner.Name) && terminated(ak.Owner.SubName) && terminated(ak.Owner.Id));
    FUZZ_CHECK(terminated(ak.Pilot.Profile) && terminated(ak.Pilot.History) && terminated(ak.Pilot.Emblem));
    FUZZ_CHECK(terminated(ak.Pilot.ProfileSub) && terminated(ak.Computer.Nickname));
    FUZZ_CHECK(terminated(ak.Computer.NicknameTail) && terminated(ak.Computer.ProfileSub));
    for (const TAkWeapon& w : ak.Weapon) FUZZ_CHECK(terminated(w.Name) && terminated(w.Attributes));
    for (const TAkComment& c : ak.Comments) FUZZ_CHECK(terminated(c.Text));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    TArmoredKnight ak{};
    if (akdata::parseAkData(ak, bytes) != akdata::LoadOk) return 0;
    checkTexts(ak);

    // One writer and one sheet per input, picked by its length, so that
    // every input costs one round trip.
    {
        auto style = size % 2 ? akdata::AkFileStyle::Editor : akdata::AkFileStyle::GameProcessor;
        TArmoredKnight copy = ak;
        akdata::sanitiseAkTexts(copy);
        TArmoredKnight back{};
        FUZZ_CHECK(akdata::parseAkData(back, akdata::formatAkData(copy, style)) == akdata::LoadOk);
        checkTexts(back);
    }
    {
        std::string sheet = akdata::akDetailSheet(ak, static_cast<int>(size / 2 % akdata::AkDetailKinds));
        char out[akdata::SheetBufferSize];
        akdata::copyOut(out, sheet);
        FUZZ_CHECK(std::strlen(out) < sizeof out);
    }
    akdata::PilotInfOptions all{true, true, true, true, true};
    (void)akdata::pilotInfo(all, "x", "title", ak, "tail");
    std::string report;
    akdata::checkAkData(ak, akdata::CatalogView{}, report);
    auto digest = akdata::digestAkData(bytes);
    FUZZ_CHECK(digest && digest->ownerName.size() <= 79 && digest->pilotName.size() <= 79);
    return 0;
}

// Fuzz target: message sets as the game processor reads them, from hostile
// bytes, all in memory. Byte 0 picks the form: even, the rest is an archive
// image loaded into the base set and the announcer slot, and every reader
// runs on it: the entry lookup, random variants, numbered lines, age
// messages and the template loads; odd, the rest is the bytes of a folder
// set's files: its set and template files, and a message file read as fixed
// records and as age lines. Besides the sanitizers' checks it asserts what
// the narration relies on: fetched texts within 255 bytes, cut on a
// character boundary, without CR or LF; template lines terminated inside
// their 512 bytes.
#include "base/sjis.h"
#include "core/getmsg.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "core/msgsets.h"
#include "kwph/codec.h"
#include "platform/random.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/fuzzcheck.h"

namespace {

// The library's decompress call, compiled in: at most 511 bytes and a NUL.
char* decode(const char* in, char* out) {
    std::string text = kwp::decodeLine(in);
    size_t n = text.size() <= 511 ? text.size() : kwp::cutOnCharacter(text, 511, kwp::isCodecLead);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return out;
}

void checkText(const std::string& text) {
    FUZZ_CHECK(text.size() <= 255);
    FUZZ_CHECK(sjis::isBoundary(text, text.size()));
    FUZZ_CHECK(text.find('\r') == std::string::npos && text.find('\n') == std::string::npos);
}

void checkTables() {
    for (int t = 0; t < cv::TemplateTableCount; ++t)
        for (const auto& line : cv::TemplateTableAt(t)->Lines)
            FUZZ_CHECK(strnlen(line, cv::TemplateLineSize) < cv::TemplateLineSize);
}

void fetchAll(int slot) {
    static const char* ids[] = {"M31A0", "M42A", "M70A", "M01B", "PLAY_ANA", "M92A0", "M99A0", ""};
    for (const char* id : ids) {
        std::string out;
        cv::GetMsg(slot, id, out);
        checkText(out);
        for (int32_t line : {0, 1, 3, 200, -1}) {
            cv::GetMsgLine(slot, id, out, line);
            checkText(out);
        }
    }
    int lines = -1;
    int index = cv::FindMsgEntry(slot, "M31A0", &lines);
    FUZZ_CHECK(index < 0 || lines >= 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
    static GameSettings gs{};
    gs = GameSettings{};
    cv::ModuleState& m = cv::Module();
    m.Settings = &gs;
    for (auto& t : m.Templates)
        if (!t) t = std::make_unique<cv::TemplateTable>();
    cv::SetLineDecoder(decode);
    plat::random::seed(data[0]);

    static TArmoredKnight ak{};
    static cv::CombatantState st{};
    ak.Pilot.Age = data[0] % 80;
    st.MessageVariant = 0;

    if (data[0] % 2 == 0) {
        cv::LoadMsgArchiveBytes(cv::SlotBasic, "fuzz.kwp", std::string(in));
        cv::LoadMsgArchive(cv::SlotAnnouncer, "fuzz.kwp"); // shares the base set's copy
        cv::LoadArchiveTemplate("PLAY_ANA", cv::SlotAnnouncer, 1);
        cv::LoadArchivePilotTemplates(cv::SlotBasic, data[0] % 4 == 0 ? 0 : 1);
        fetchAll(cv::SlotAnnouncer);
        fetchAll(cv::SlotBasic);
        std::string age;
        cv::GetMsgAge(age, ak, st);
        checkText(age);
    } else {
        cv::LoadSetText(in, 1);
        cv::LoadTemplateText(in, 0);
        cv::LoadPilotSetText(in, 1);
        int64_t records = cv::MessageFileRecords(in);
        FUZZ_CHECK(records >= 0 && records * 82 <= static_cast<int64_t>(in.size()));
        for (int64_t k : {int64_t{0}, records / 2, records - 1, records, int64_t{-1}}) {
            auto text = cv::MessageFileRecord(in, k);
            FUZZ_CHECK(text.has_value() == (k >= 0 && k < records));
            if (text) checkText(*text);
        }
        for (const std::string& line : cv::MessageFileLines(in)) checkText(line);
    }
    checkTables();

    cv::ReleaseMsgArchives();
    m.Settings = nullptr;
    return 0;
}

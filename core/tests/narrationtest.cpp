// The narration tests' fixture, message table and archive images.
#include "narrationtest.h"

#include "core/module.h"
#include "core/msgarchive.h"
#include "platform/random.h"

#include <algorithm>

namespace narrtest {

namespace {

void putU16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void putU32(std::string& out, uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

template <class T> void words(T& list, std::initializer_list<const char*> texts) {
    int i = 0;
    for (const char* t : texts) sjis::writeField(list[i++], sj(t));
}

} // namespace

std::string sample(std::string_view relative) {
    return std::string(VELL_SAMPLE_DIR) + std::string(relative);
}

std::string Literal(std::string_view text) {
    return "\t" + std::string(text);
}

std::string ArchiveImage(const std::vector<ArchiveEntry>& entries) {
    std::string image = "KWP00   ";
    image += std::string(16, ' ');
    image += std::string(64, ' ');
    putU16(image, static_cast<uint32_t>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(90 + 18 * entries.size());
    std::string data;
    for (const ArchiveEntry& e : entries) {
        std::string name = e.Name;
        name.resize(8, ' ');
        image += name;
        putU32(image, offset);
        putU32(image, offset + static_cast<uint32_t>(e.Stored.size()));
        putU16(image, static_cast<uint32_t>(e.Stored.size()));
        for (const std::string& s : e.Stored) data += static_cast<char>(s.size());
        for (const std::string& s : e.Stored) data += s;
        offset = static_cast<uint32_t>(90 + 18 * entries.size() + data.size());
    }
    return image + data;
}

void NarrationTest::SetUpTestSuite() {
    if (!cv::MessageLibraryAttached()) {
        ASSERT_TRUE(cv::AttachMessageLibrary(VELL_PROGRAM_DIR));
    }
}

void NarrationTest::SetUp() {
    FightTest::SetUp();
    narration(true);
    cv::ModuleState& m = cv::Module();
    for (auto& t : m.Templates) t = std::make_unique<cv::TemplateTable>();
    m.Announcers = announcers;
    m.ComputerEntries = computers;
    m.PilotEntries = pilots;
    m.AnnouncerCount = m.ComputerCount = m.PilotCount = 0;
    sjis::writeField(gs.AnnouncerLabel, sj("アナ"));
    plat::random::seed(1);
}

void NarrationTest::TearDown() {
    cv::ReleaseMsgArchives();
    cv::ModuleState& m = cv::Module();
    for (auto& t : m.Templates) t.reset();
    m.Announcers = nullptr;
    m.ComputerEntries = m.PilotEntries = nullptr;
    m.AnnouncerCount = m.ComputerCount = m.PilotCount = 0;
    FightTest::TearDown();
}

void NarrationTest::baseSet(std::string_view base) {
    announcer(0, "基本アナウンサー", "アナ", base);
    sjis::writeField(computers[0].Id, sj("基本ＣＯＭ"));
    sjis::writeField(computers[0].Path, base);
    sjis::writeField(pilots[0].Id, sj("基本"));
    sjis::writeField(pilots[0].Path, base);
}

AnnouncerEntry& NarrationTest::announcer(int k, const char* id, const char* name, std::string_view path) {
    AnnouncerEntry& e = announcers[k];
    sjis::writeField(e.Id, sj(id));
    sjis::writeField(e.Name, sj(name));
    sjis::writeField(e.Path, path);
    cv::Module().AnnouncerCount = std::max(cv::Module().AnnouncerCount, k);
    return e;
}

MsgEntry& NarrationTest::computer(int k, const char* id, std::string_view path,
                                  std::initializer_list<const char*> triggers,
                                  std::initializer_list<const char*> ws) {
    MsgEntry& e = computers[k];
    sjis::writeField(e.Id, sj(id));
    sjis::writeField(e.Path, path);
    words(e.Trigger, triggers);
    words(e.Words, ws);
    cv::Module().ComputerCount = std::max(cv::Module().ComputerCount, k);
    return e;
}

MsgEntry& NarrationTest::pilot(int k, const char* id, std::string_view path,
                               std::initializer_list<const char*> triggers,
                               std::initializer_list<const char*> ws) {
    MsgEntry& e = pilots[k];
    sjis::writeField(e.Id, sj(id));
    sjis::writeField(e.Path, path);
    words(e.Trigger, triggers);
    words(e.Words, ws);
    cv::Module().PilotCount = std::max(cv::Module().PilotCount, k);
    return e;
}

std::string NarrationTest::tableLine(int t, int n) const {
    return testsupport::u8(cv::TemplateLine(t, n));
}

} // namespace narrtest

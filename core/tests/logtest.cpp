// The log tests' fixture and the golden-file comparison.
#include "logtest.h"

#include "core/logwriter.h"
#include "core/matchfiles.h"
#include "core/module.h"
#include "platform/clock.h"
#include "platform/files.h"

#include <cstdlib>
#include <filesystem>
#include <memory>

namespace logtest {

namespace {

struct Line {
    int Number;
    const char* Text;
};

// System lines: the destroyed mark of the profile, the match start, the
// round-middle and round lines, the digest and header parts, the record
// table and money headings.
constexpr Line SystemLines[] = {
    {2, "＊＊ 大破 ＊＊"},
    {3, "＝＝＝＝ 試合開始 ＝＝＝＝"},
    {4, "― A分経過 ―"},
    {5, "【A分】"},
    {8, "◆"},
    {9, "公式戦 "},
    {10, "賞金首戦 "},
    {11, "結果"},
    {12, " vs "},
    {13, " "},
    {14, "＝＝＝ 試合 ＝＝＝"},
    {15, "【対戦成績】"},
    {16, "【収支】"},
};

constexpr Line AnnouncerLines[] = {
    {1, "「さあ、"},
    {2, "AとBの対決です！"},
    {3, "AとBの対決です！"},
    {4, "A分のイニングマッチ。"},
    {5, "A分のタイムマッチ。"},
    {6, "バトルマッチ。"},
    {7, "デスマッチ。"},
    {8, "A分のタイムデスマッチ。"},
    {9, "ヘッドデスマッチ。"},
    {10, "損害は全額補償。"},
    {11, "損害補償はA％。"},
    {12, "実況はA。"},
    {13, "まずはA選手！"},
    {14, "「……寡黙な選手です。"},
    {15, "賞金首A、賞金B！"},
    {16, "続いてA選手！"},
    {17, "「A入場！"},
    {19, "「試合開始です！」"},
    {21, "「距離はA。」"},
    {24, "「両者動けず！」"},
    {28, "「A分で決着です！"},
    {33, "AのBが、CのDを破りました！"},
};

void fill(int table, const Line* lines, size_t n) {
    auto t = std::make_unique<cv::TemplateTable>();
    *t = cv::TemplateTable{};
    for (size_t i = 0; i < n; ++i) sjis::writeField(t->Lines[lines[i].Number], sj(lines[i].Text));
    cv::Module().Templates[table] = std::move(t);
}

void resetLogs() {
    cv::LogChannels& logs = cv::Module().Logs;
    for (cv::OutputChannel* c : {&logs.Text, &logs.Check, &logs.Html, &logs.Scene, &logs.Digest}) {
        cv::CloseChannel(*c); // an unfinished digest is dropped
        c->FileName.clear();
        c->NoColourYet = 0;
        c->Failed = 0;
    }
    logs.LastHtmlColour = 0;
    // No test's matches reach into the next test's.
    cv::Module().Files.Matches.clear();
    cv::Module().Files.Current = nullptr;
}

} // namespace

void LogTest::SetUp() {
    FightTest::SetUp();
    resetLogs();
    cv::Module().Logs.VersionRead = true;
    cv::Module().Logs.VersionText = "1.2.3.4";
    cv::Module().Display = cv::DefaultDisplaySettings();
    fill(0, SystemLines, std::size(SystemLines));
    fill(1, AnnouncerLines, std::size(AnnouncerLines));
    plat::clock::LocalTime t;
    t.year = 2026;
    t.month = 4;
    t.day = 5;
    t.hour = 9;
    t.minute = 8;
    t.second = 7;
    plat::clock::setFixedLocalTime(t);
    gs.OutputColumns = 76;
    gs.Options[OptMessagesOff] = 0;
}

void LogTest::TearDown() {
    resetLogs();
    cv::Module().Logs.VersionRead = false;
    cv::Module().Templates[0].reset();
    cv::Module().Templates[1].reset();
    plat::clock::setFixedLocalTime(std::nullopt);
    FightTest::TearDown();
}

std::string LogTest::base(std::string_view name) const {
    return sj((dir.path() / std::string(name)).string());
}

std::filesystem::path LogTest::where(std::string_view name) const {
    std::filesystem::path p = dir.path() / std::string(name);
    const cv::MatchFileSet::Log* log = cv::FindMatchLog(sj(p.string()));
    return log && !log->Temp.Path.empty() ? std::filesystem::path(log->Temp.OsPath) : p;
}

std::string LogTest::rawFile(std::string_view name) const {
    std::filesystem::path p = where(name);
    return std::filesystem::exists(p) ? testsupport::readFile(p) : std::string("<missing>");
}

std::string LogTest::file(std::string_view name) const {
    return testsupport::u8(rawFile(name));
}

bool LogTest::exists(std::string_view name) const {
    return std::filesystem::exists(where(name));
}

cv::GameMessageLine& LogTest::add(uint32_t kind, uint32_t indent, const char* utf8, uint32_t blanks) {
    cv::GameMessageLine& line = cv::QueueLine(buf, kind, indent, sj(utf8));
    line.BlankLinesAfter = blanks;
    return line;
}

void ExpectGolden(std::string_view name, const std::string& cp932) {
    std::filesystem::path p = std::filesystem::path(VELL_GOLDEN_DIR) / std::string(name);
    const char* update = std::getenv("VELL_UPDATE_GOLDEN");
    if (update && std::string_view(update) == "1") {
        testsupport::writeFile(p, cp932);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(p)) << p << " is missing (VELL_UPDATE_GOLDEN=1 writes it)";
    std::string expected = testsupport::readFile(p);
    EXPECT_EQ(testsupport::u8(cp932), testsupport::u8(expected))
        << "golden file " << name << " differs (VELL_UPDATE_GOLDEN=1 rewrites it after review)";
}

} // namespace logtest

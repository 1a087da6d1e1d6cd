// Template files: appending with ReplaceTextFormat, the chooser's list, the
// two outputs behind a stand-in chooser, and the committed sample templates
// against their golden outputs.
#include "text/outputs.h"
#include "text/templatelist.h"
#include "text/textformat.h"

#include "platform/files.h"
#include "platform/notify.h"
#include "textfixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

using testsupport::readFile;
using testsupport::sj;
using testsupport::writeFile;

namespace {

class Templates : public ::testing::Test {
protected:
    void SetUp() override {
        plat::notify::clearRecorded();
        plat::notify::setHeadlessEcho(false);
    }
    void TearDown() override {
        plat::setAtomicWriteFault(-1);
        plat::notify::setHeadlessEcho(true);
    }
    texttest::ProgramFolder program;
    std::string path(const std::string& relative) const { return program.path(relative).string(); }
};

// A chooser that answers as the user would have.
vtext::TemplateChooser choose(std::string templatePath, std::string output,
                              std::string* patternSeen = nullptr) {
    return [=](std::string_view, std::string_view pattern, std::string& t, std::string& o) {
        if (patternSeen) *patternSeen = pattern;
        t = templatePath;
        o = output;
        return true;
    };
}

} // namespace

TEST_F(Templates, ReplaceTextFormatAppendsToTheOutput) {
    writeFile(path("t.fmt"), "#T\r\nvalue %00\r\n");
    writeFile(path("out.txt"), "old\r\n");
    vtext::ValueList v(std::vector<std::string>{"A"});
    EXPECT_EQ(vtext::replaceTextFormat(path("t.fmt"), path("out.txt"), v), 1);
    EXPECT_EQ(vtext::replaceTextFormat(path("t.fmt"), path("out.txt"), v), 1);
    EXPECT_EQ(readFile(path("out.txt")), "old\r\nvalue A\r\nvalue A\r\n");
    // A new output is created.
    EXPECT_EQ(vtext::replaceTextFormat(path("t.fmt"), path("new.txt"), v), 1);
    EXPECT_EQ(readFile(path("new.txt")), "value A\r\n");
}

TEST_F(Templates, ReplaceTextFormatFailuresLeaveTheOutputAlone) {
    writeFile(path("t.fmt"), "x\r\n");
    vtext::ValueList v;
    EXPECT_EQ(vtext::replaceTextFormat(path("missing.fmt"), path("out.txt"), v), 0);
    EXPECT_FALSE(std::filesystem::exists(program.path("out.txt")));
    EXPECT_EQ(vtext::replaceTextFormat(path("Format"), path("out.txt"), v), 0); // a folder is no template
    EXPECT_EQ(vtext::replaceTextFormat(path("t.fmt"), path("no/such/folder/out.txt"), v), 0);
    EXPECT_EQ(vtext::replaceTextFormat(path("t.fmt"), path("Format"), v), 0);
    EXPECT_EQ(vtext::replaceTextFormat("", path("out.txt"), v), 0);
    // A device that fails mid-write keeps the old content whole.
    writeFile(path("out.txt"), "precious\r\n");
    plat::setAtomicWriteFault(4);
    EXPECT_EQ(vtext::replaceTextFormat(path("t.fmt"), path("out.txt"), v), 0);
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(readFile(path("out.txt")), "precious\r\n");
}

TEST_F(Templates, TheChooserListsTemplatesWhoseFirstLineIsAComment) {
    writeFile(path("Format/REGextra.FMT"), "#" + sj("追加") + "\nbody\r\n");
    writeFile(path("Format/regnotitle.fmt"), "no title\r\n#late\r\n");
    writeFile(path("Format/regempty.fmt"), "");
    writeFile(path("Format/other.fmt"), "#other\r\n");
    std::vector<vtext::TemplateRow> rows = vtext::ListTemplates(program.folder(), "reg*.fmt");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].fileName, "REGextra.FMT");
    EXPECT_EQ(rows[0].title, sj("追加"));
    EXPECT_EQ(rows[1].fileName, "reghtml.fmt");
    EXPECT_EQ(rows[1].title, sj("大会レギュレーション（HTML形式）"));
    EXPECT_EQ(rows[2].fileName, "regtext.fmt");
    EXPECT_EQ(vtext::ListTemplates(program.folder(), "msg*.fmt").size(), 2u);
    EXPECT_TRUE(vtext::ListTemplates(program.folder() + "nothing/", "reg*.fmt").empty());
    EXPECT_EQ(vtext::templatePath(program.folder(), "regtext.fmt"), program.folder() + "Format\\regtext.fmt");
}

TEST_F(Templates, TitlesAreReadFromAtMost255Bytes) {
    std::string title;
    const std::string kanji = sj("題");
    // 253 bytes then a double-byte character across byte 255: dropped whole.
    const std::string head = "#" + std::string(253, 't') + kanji + "rest\r\n";
    ASSERT_TRUE(vtext::templateTitle(head, title));
    EXPECT_EQ(title, std::string(253, 't'));
    ASSERT_TRUE(vtext::templateTitle("#\r\n", title));
    EXPECT_EQ(title, "");
    EXPECT_FALSE(vtext::templateTitle(" #x", title));
    EXPECT_FALSE(vtext::templateTitle("", title));
}

TEST_F(Templates, OutputsWriteTheChosenTemplateAnew) {
    writeFile(path("out.txt"), "old content that goes\r\n");
    std::string pattern;
    const std::string t = vtext::templatePath(program.folder(), "regtext.fmt");
    vtext::ValueList v(texttest::regulationValues());
    EXPECT_EQ(vtext::outGameRegulation(program.folder(), v, choose(t, path("out.txt"), &pattern)), 1);
    EXPECT_EQ(pattern, "reg*.fmt");
    const std::string text = readFile(path("out.txt"));
    EXPECT_EQ(text.find("old content"), std::string::npos);
    EXPECT_NE(text.find(sj("北辰杯 一騎打ち")), std::string::npos);

    std::vector<AnnouncerEntry> a = texttest::sampleAnnouncers(2);
    std::vector<MsgEntry> p = texttest::samplePilots(2);
    std::vector<MsgEntry> c = texttest::sampleComputers(1);
    vtext::MessageTables tables{a.data(), 2, p.data(), 2, c.data(), 1};
    const std::string m = vtext::templatePath(program.folder(), "msgtext.fmt");
    EXPECT_EQ(vtext::outExtMessageTable(program.folder(), vtext::ValueList(std::vector<std::string>(30)),
                                        tables, choose(m, path("table.txt"), &pattern)),
              1);
    EXPECT_EQ(pattern, "msg*.fmt");
    EXPECT_NE(readFile(path("table.txt")).find(sj("実況の鉄さん")), std::string::npos);
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(Templates, CancelledChoiceWritesNothing) {
    auto cancel = [](std::string_view, std::string_view, std::string&, std::string&) { return false; };
    vtext::ValueList v;
    EXPECT_EQ(vtext::outGameRegulation(program.folder(), v, cancel), 0);
    EXPECT_EQ(vtext::outExtMessageTable(program.folder(), v, {}, cancel), 0);
    EXPECT_EQ(vtext::outGameRegulation(program.folder(), v, nullptr), 0);
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(Templates, FailedOutputsAreReportedAndKeepTheOldFile) {
    vtext::ValueList v;
    const std::string t = vtext::templatePath(program.folder(), "regtext.fmt");
    EXPECT_EQ(vtext::outGameRegulation(program.folder(), v, choose(t, path("no/folder/x.txt"))), 0);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    plat::notify::Request r = plat::notify::recorded()[0];
    EXPECT_EQ(r.text, sj("ファイル(") + path("no/folder/x.txt") + sj(")に出力できません"));
    EXPECT_EQ(r.caption, sj("この操作はできません"));
    EXPECT_EQ(r.icon, plat::notify::Icon::Warning);
    EXPECT_TRUE(r.topmost);

    plat::notify::clearRecorded();
    EXPECT_EQ(vtext::outGameRegulation(program.folder(), v, choose(path("Format/gone.fmt"), path("x.txt"))),
              0);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text,
              sj("テンプレート(") + path("Format/gone.fmt") + sj(")が読みこめません"));
    EXPECT_FALSE(std::filesystem::exists(program.path("x.txt")));

    writeFile(path("keep.txt"), "keep\r\n");
    plat::setAtomicWriteFault(10);
    EXPECT_EQ(vtext::outGameRegulation(program.folder(), v, choose(t, path("keep.txt"))), 0);
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(readFile(path("keep.txt")), "keep\r\n");
}

TEST_F(Templates, ARelativeOutputNameIsTakenInTheCurrentFolder) {
    testsupport::TempDir work;
    char old[4096];
    ASSERT_NE(::getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(::chdir(work.path().c_str()), 0);
    const std::string t = vtext::templatePath(program.folder(), "regtext.fmt");
    const int result =
        vtext::outGameRegulation(program.folder(), vtext::ValueList(), choose(t, "output.txt"));
    const std::string resolved = vtext::resolveOutputPath("sub\\name.txt");
    ASSERT_EQ(::chdir(old), 0);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(std::filesystem::exists(work.path() / "output.txt"));
    EXPECT_FALSE(std::filesystem::exists(program.path("output.txt")));
    EXPECT_EQ(resolved, work.folder() + "sub\\name.txt");
    EXPECT_EQ(vtext::resolveOutputPath("/abs/x.txt"), "/abs/x.txt");
}

// The committed sample templates expanded with a conf's values and a small
// message table, against the committed golden outputs. With
// VELLTEXT_GOLDEN_UPDATE=<folder> the outputs are also written there.
class SampleTemplates : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleTemplates, MatchTheirGoldenOutputs) {
    const std::string name = GetParam();
    const auto lines = vtext::readTemplateFile((texttest::sampleData() / "Format" / name).string());
    ASSERT_TRUE(lines.has_value());
    std::string out;
    if (name.rfind("reg", 0) == 0) {
        out = vtext::expandTextTemplate(*lines, vtext::ValueList(texttest::regulationValues()));
    } else {
        std::vector<AnnouncerEntry> a = texttest::sampleAnnouncers(3);
        std::vector<MsgEntry> p = texttest::samplePilots(2);
        std::vector<MsgEntry> c = texttest::sampleComputers(1);
        vtext::MessageTables tables{a.data(), 3, p.data(), 2, c.data(), 1};
        out = vtext::expandMessageTemplate(*lines, vtext::ValueList(std::vector<std::string>(30)), tables);
    }
    const std::string golden = name.substr(0, name.find('.')) + ".txt";
    if (const char* update = std::getenv("VELLTEXT_GOLDEN_UPDATE"))
        writeFile(std::filesystem::path(update) / golden, out);
    const std::string expected = readFile(std::filesystem::path(VELLTEXT_GOLDEN_DIR) / golden);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(testsupport::u8(out), testsupport::u8(expected));
    EXPECT_EQ(out, expected);
}

INSTANTIATE_TEST_SUITE_P(Format, SampleTemplates,
                         ::testing::Values("regtext.fmt", "reghtml.fmt", "msghtml.fmt", "msgtext.fmt"));

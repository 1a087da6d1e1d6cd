#include "core/logwriter.h"
#include "core/matchfiles.h"
#include "core/module.h"
#include "core/outputfault.h"
#include "logtest.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/notify.h"

#include <filesystem>

using namespace logtest;

namespace {

std::vector<std::string> fold(const char* utf8, uint32_t indent, int32_t width) {
    std::vector<std::string> out;
    for (const std::string& s : cv::FoldLine(sj(utf8), indent, width)) out.push_back(testsupport::u8(s));
    return out;
}

using Lines = std::vector<std::string>;

class LogWriterTest : public LogTest {
protected:
    // The buffer through the text writer into <base>.txt.
    std::string written() {
        cv::OutputChannel channel;
        cv::SetChannelName(channel, base(), ".txt");
        cv::OpenChannel(channel, true);
        cv::FlushToChannel(buf, channel);
        cv::CloseChannel(channel);
        return rawFile("match.txt");
    }
    // The HTML head and the buffer through the HTML writer into <base>.htm.
    std::string htmlLog() {
        cv::OutputChannel c;
        cv::SetChannelName(c, base(), ".htm");
        cv::OpenChannel(c, true);
        cv::WriteHtmlHeader(c, 9);
        for (uint32_t i = 0; i < buf.Count; ++i) cv::WriteHtmlLine(c, buf.Lines[i]);
        cv::CloseChannel(c);
        return file("match.htm");
    }
};

} // namespace

// ---- Folding ------------------------------------------------------------------

TEST(FoldLine, CutsAtTheWidthAndIndentsTheRest) {
    // Speaker column of 6 bytes, width 14: 8 bytes of text per line.
    EXPECT_EQ(fold("アナ  あいうえおかきくけこ", 6, 14),
              (Lines{"アナ  あいうえ", "      おかきく", "      けこ"}));
    // A text that fits is one line; nothing after the column writes nothing.
    EXPECT_EQ(fold("アナ  あい", 6, 14), (Lines{"アナ  あい"}));
    EXPECT_EQ(fold("アナ", 6, 14), Lines{});
    EXPECT_EQ(fold("アナ  ", 6, 14), Lines{});
}

TEST(FoldLine, NeverSplitsACharacter) {
    // The cut at byte 8 of the rest would fall inside "え": the line is one byte shorter.
    EXPECT_EQ(fold("アナ  aあいうえお", 6, 14), (Lines{"アナ  aあいう", "      えお"}));
}

TEST(FoldLine, PullsUpAtMostTwoCharactersThatMayNotBeginALine) {
    EXPECT_EQ(fold("アナ  あいうえ。かき", 6, 14), (Lines{"アナ  あいうえ。", "      かき"}));
    EXPECT_EQ(fold("アナ  あいうえ」。かき", 6, 14), (Lines{"アナ  あいうえ」。", "      かき"}));
    EXPECT_EQ(fold("アナ  あいうえ」。、かき", 6, 14), (Lines{"アナ  あいうえ」。", "      、かき"}));
    // Half-width punctuation is not tested.
    EXPECT_EQ(fold("アナ  あいうえ.かき", 6, 14), (Lines{"アナ  あいうえ", "      .かき"}));
    // All nineteen are recognised.
    for (const char* mark : {"　", "’", "”", "）", "〕", "］", "｝", "〉", "》", "」", "』", "】", "、", "。",
                             "，", "．", "？", "！", "・"}) {
        std::string first = std::string("アナ  あいうえ") + mark;
        EXPECT_EQ(fold((first + "か").c_str(), 6, 14), (Lines{first, "      か"})) << mark;
    }
}

TEST(FoldLine, WritesWholeWhatItCannotFold) {
    const char* longText = "あいうえおかきくけこさしすせそたちつてと";
    EXPECT_EQ(fold(longText, 0, 12), (Lines{longText}));
    // A speaker column beyond 43 bytes, or one that leaves less than 2 bytes.
    std::string wide = std::string(44, ' ') + "あいうえおかきくけこさしすせそたちつてと";
    EXPECT_EQ(fold(wide.c_str(), 44, 50).size(), 1u);
    EXPECT_EQ(fold("アナ  あいうえお", 6, 7), (Lines{"アナ  あいうえお"}));
    EXPECT_EQ(fold("アナ  あいうえお", 6, 8),
              (Lines{"アナ  あ", "      い", "      う", "      え", "      お"}));
    EXPECT_EQ(fold("アナ  あいうえお", 6, 0), (Lines{"アナ  あいうえお"}));
}

// ---- Writers ------------------------------------------------------------------

TEST_F(LogWriterTest, FoldingGolden) {
    gs.OutputColumns = 30;
    add(cv::KindSystem, 0, "見出しの行は幅を超えても折り返さずにそのまま一行で書かれる。", 1);
    add(cv::KindAnnouncer, 6,
        "アナ  「さあ、いよいよ両者が位置につきました。観客席からは大きな歓声が上がっています！」");
    add(cv::KindPilot1, 6, "ケイ  「いくよ、ハル。」", 2);
    add(cv::KindComputer1, 6, "ハル  「了解。目標との距離、１２００」");
    add(cv::KindPilot2, 6, "ゴウ  「ちょうど幅で切れる行だ」。次の行です。");
    add(cv::KindSystem, 0, "100% の力で %s %d", 1);
    add(cv::KindTrace, 0, "－－ 乱数:12");
    add(cv::KindRecordFrame, 0, "+---+");
    add(cv::KindPageBreak, 0, "---");
    add(cv::KindAnnouncer, 6, "アナ  ");
    add(cv::KindAnnouncer, 6, "アナ  「終わり」", 1);
    ExpectGolden("folding.txt", written());
}

TEST_F(LogWriterTest, TabReplacementOnlyWithItsOptionAndOnlyOnFoldedLines) {
    add(cv::KindSystem, 2, "ab      c");
    add(cv::KindSystem, 2, "1234567 x");
    add(cv::KindSystem, 0, "ab      c");
    EXPECT_EQ(testsupport::u8(written()), "ab      c\r\n1234567 x\r\nab      c\r\n");
    option(OptTabReplace);
    EXPECT_EQ(testsupport::u8(written()), "ab\tc\r\n1234567\tx\r\nab      c\r\n");
}

TEST_F(LogWriterTest, ChannelsTakeTheirKinds) {
    option(OptLogOutput);
    option(OptInternalInfo);
    option(OptHtmlLog);
    cv::OpenLogs(base(), cv::LogOpen::Start);
    for (uint32_t kind : {0u, 5u, 6u, 7u, 10u, 11u}) add(kind, 0, ("kind" + std::to_string(kind)).c_str());
    cv::FlushGameMessages(buf);
    cv::CloseLogs(true);
    EXPECT_EQ(file("match.txt"), "kind0\r\nkind5\r\n");
    EXPECT_EQ(file("match.chk"), "kind0\r\nkind5\r\nkind6\r\n");
    std::string html = file("match.htm");
    EXPECT_NE(html.find("kind5"), std::string::npos);
    EXPECT_EQ(html.find("kind6"), std::string::npos);
    EXPECT_EQ(html.find("kind10"), std::string::npos);
    EXPECT_FALSE(exists("match.3ds"));
}

TEST_F(LogWriterTest, ChannelNames) {
    cv::OutputChannel c;
    ASSERT_TRUE(cv::SetChannelName(c, "res\\match.1", ".txt"));
    EXPECT_EQ(c.FileName, "res\\match.txt");
    ASSERT_TRUE(cv::SetChannelName(c, "res\\match", ".chk"));
    EXPECT_EQ(c.FileName, "res\\match.chk");
    // A dot in a folder name is no extension.
    ASSERT_TRUE(cv::SetChannelName(c, "res.v1\\bt_001", ".htm"));
    EXPECT_EQ(c.FileName, "res.v1\\bt_001.htm");
    // The trail byte 5C of "表" is no separator.
    ASSERT_TRUE(cv::SetChannelName(c, sj("結果表.1"), ".txt"));
    EXPECT_EQ(c.FileName, sj("結果表.txt"));
    // A path that does not fit is refused rather than cut.
    EXPECT_TRUE(cv::SetChannelName(c, std::string(255, 'a'), ".txt"));
    EXPECT_FALSE(cv::SetChannelName(c, std::string(256, 'a'), ".txt"));
    EXPECT_EQ(c.FileName, "");
    cv::OpenChannel(c, true);
    EXPECT_EQ(+c.Opened, 0);
}

TEST_F(LogWriterTest, StartCreatesStepsAppend) {
    option(OptLogOutput);
    option(Opt29);
    testsupport::writeFile(dir.path() / "match.txt", "old\r\n");
    cv::OpenLogs(base(), cv::LogOpen::Start);
    add(cv::KindSystem, 0, "one");
    cv::FlushGameMessages(buf);
    cv::CloseLogs(false);
    EXPECT_EQ(+cv::Module().Logs.Text.Opened, 0);
    cv::OpenLogs(base(), cv::LogOpen::Step);
    cv::FlushGameMessages(buf);
    cv::CloseLogs(false);
    EXPECT_EQ(file("match.txt"), "one\r\none\r\n");
    EXPECT_EQ(file("match.3ds"), "");
    EXPECT_FALSE(exists("match.chk"));

    // Option 19 appends from the start.
    option(OptAppendLog);
    cv::OpenLogs(base(), cv::LogOpen::Start);
    cv::FlushGameMessages(buf);
    cv::CloseLogs(false);
    EXPECT_EQ(file("match.txt"), "one\r\none\r\none\r\n");
}

TEST_F(LogWriterTest, StepsOfAMatchKeepTheirFilesOpenWithEveryLineWritten) {
    option(OptLogOutput);
    option(OptHtmlLog);
    cv::LogChannels& logs = cv::Module().Logs;
    cv::OpenLogs(base(), cv::LogOpen::Start);
    add(cv::KindSystem, 0, "one");
    cv::FlushGameMessages(buf);
    cv::EndLogStep();
    // Between steps the lines are in the files and the files stay open.
    EXPECT_EQ(file("match.txt"), "one\r\n");
    EXPECT_NE(file("match.htm").find("one\r\n"), std::string::npos);
    std::FILE* text = logs.Text.Stream;
    ASSERT_NE(text, nullptr);
    cv::OpenLogs(base(), cv::LogOpen::Step);
    EXPECT_EQ(logs.Text.Stream, text);
    cv::FlushGameMessages(buf);
    cv::EndLogStep();
    EXPECT_EQ(file("match.txt"), "one\r\none\r\n");
    // A step on other files closes them; the match's end closes its own.
    cv::OpenLogs(base("other"), cv::LogOpen::Step);
    EXPECT_EQ(logs.Text.FileName, base("other") + ".txt");
    cv::CloseLogs(true);
    EXPECT_EQ(+logs.Text.Opened, 0);
    EXPECT_EQ(+logs.Html.Opened, 0);
    EXPECT_EQ(file("match.txt"), "one\r\none\r\n");
}

TEST_F(LogWriterTest, AChannelLeftOpenNeverTakesTheNextMatchsLines) {
    // Match a's step opened its logs and did not finish; match b's steps
    // write to b's files only, the text name of EndMatch1 included.
    option(OptLogOutput);
    option(OptInternalInfo);
    add(cv::KindSystem, 0, "b");
    cv::OpenLogs(base("a"), cv::LogOpen::Step);
    cv::OpenLogs(base("b"), cv::LogOpen::Step);
    cv::FlushGameMessages(buf);
    cv::OpenLogs(base("a"), cv::LogOpen::Step);
    cv::SetTextLogName(base("b"));
    cv::WriteWrappedLine(cv::Module().Logs.Text, buf.Lines[0]);
    cv::CloseLogs(false);
    EXPECT_EQ(file("a.txt"), "");
    EXPECT_EQ(file("a.chk"), "");
    EXPECT_EQ(file("b.txt"), "b\r\n");
    EXPECT_EQ(file("b.chk"), "b\r\n");
    // A new match starts from closed channels: Start on the same name
    // makes the file anew even when a step left it open.
    cv::OpenLogs(base("b"), cv::LogOpen::Step);
    cv::BeginMatchFiles(base("b"));
    cv::OpenLogs(base("b"), cv::LogOpen::Start);
    cv::FlushGameMessages(buf);
    cv::CloseLogs(false);
    EXPECT_EQ(file("b.txt"), "b\r\n");
}

TEST_F(LogWriterTest, NoLogOutputWritesNothingAndClearsTheHtmlAndSceneFlags) {
    option(OptHtmlLog);
    option(Opt29);
    cv::OpenLogs(base(), cv::LogOpen::Start);
    add(cv::KindSystem, 0, "x");
    cv::FlushGameMessages(buf);
    cv::CloseLogs(true);
    EXPECT_FALSE(exists("match.txt"));
    EXPECT_FALSE(exists("match.htm"));
    EXPECT_EQ(+gs.Options[OptHtmlLog], 0);
    EXPECT_EQ(+gs.Options[Opt29], 0);
    // EndMatch2's text pass is bound to option 20 as well.
    cv::OutputChannel& text = cv::Module().Logs.Text;
    cv::SetChannelName(text, base(), ".txt");
    cv::OpenChannel(text, true);
    cv::FlushEndMessages(buf);
    cv::CloseChannel(text);
    EXPECT_EQ(file("match.txt"), "");
}

// A log that cannot be made or that the disk does not take whole is the
// match's one report (41020 naming it); what the match wrote there is taken
// away (cut back to earlier matches' lines with option 19), and no later
// step of the match makes the file again.
TEST_F(LogWriterTest, ALogNotWrittenIsReportedOnceAndTakenOutOfTheMatch) {
    plat::notify::setHeadlessEcho(false);
    plat::notify::clearRecorded();
    option(OptLogOutput);
    option(OptHtmlLog);
    add(cv::KindSystem, 0, "one");
    auto step = [this](std::string_view name, cv::LogOpen how, long long fault = -1) {
        plat::setAtomicWriteFault(fault);
        cv::OpenLogs(base(name), how);
        cv::FlushGameMessages(buf);
        cv::EndLogStep();
        plat::setAtomicWriteFault(-1);
    };
    step("no-such-folder/match", cv::LogOpen::Start);
    std::filesystem::create_directory(dir.path() / "no-such-folder");
    step("no-such-folder/match", cv::LogOpen::Step);
    cv::ClearFailedFile(); // the next match
    step("match", cv::LogOpen::Start);
    step("match", cv::LogOpen::Step, 3); // its "one\r\n" does not fit
    step("match", cv::LogOpen::Step);
    cv::CloseLogs(true);
    EXPECT_FALSE(exists("no-such-folder/match.txt"));
    EXPECT_FALSE(exists("match.txt"));
    EXPECT_FALSE(exists("match.htm"));

    cv::ClearFailedFile();
    option(OptAppendLog);
    testsupport::writeFile(dir.path() / "match.txt", "old\r\n");
    step("match", cv::LogOpen::Start);
    step("match", cv::LogOpen::Step, 3);
    cv::CloseLogs(true);
    EXPECT_EQ(file("match.txt"), "old\r\n");

    // The HTML log fails once the text log has taken its step: the text log
    // goes back to what earlier matches wrote too.
    cv::ClearFailedFile();
    testsupport::writeFile(dir.path() / "match.htm", "oldh");
    step("match", cv::LogOpen::Start);
    step("match", cv::LogOpen::Step, 5);
    cv::CloseLogs(true);
    EXPECT_EQ(file("match.txt"), "old\r\n");
    EXPECT_EQ(rawFile("match.htm"), "oldh");

    // A base too long for a log's path: the report names the file as it
    // would have been called.
    cv::ClearFailedFile();
    const std::string longName(300, 'x');
    step(longName + ".txt", cv::LogOpen::Start);
    plat::notify::setHeadlessEcho(true);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 5u);
    EXPECT_EQ(rec[0].text, plat::msg::format(41020, {base("no-such-folder/match.txt")}));
    EXPECT_EQ(rec[1].text, plat::msg::format(41020, {base("match.txt")}));
    EXPECT_EQ(rec[2].text, rec[1].text);
    EXPECT_EQ(rec[3].text, plat::msg::format(41020, {base("match.htm")}));
    EXPECT_EQ(rec[4].text, plat::msg::format(41020, {base(longName + ".txt")}));
}

TEST_F(LogWriterTest, AppendsAnEntrySheetToTheTextFile) {
    add(cv::KindPilot1, 0, "「よろしく」", 1);
    ASSERT_TRUE(cv::AppendBufferToTextFile(buf, base("entrylist.lst")));
    ASSERT_TRUE(cv::AppendBufferToTextFile(buf, base("entrylist.lst")));
    EXPECT_EQ(file("entrylist.txt"), "「よろしく」\r\n\r\n「よろしく」\r\n\r\n");
    EXPECT_FALSE(cv::AppendBufferToTextFile(buf, base("missing/entrylist")));
}

TEST_F(LogWriterTest, BlankLinesOfAForeignBufferAreBounded) {
    add(cv::KindSystem, 0, "x", 0xFFFFFFFFu);
    buf.Count = 100000; // a caller's buffer may say anything
    std::string out = written();
    EXPECT_EQ(out.substr(0, 3), "x\r\n");
    EXPECT_LT(out.size(), 150u * (cv::MaxBlankLinesAfter + 1) * 2 + 150u * 402u);
}

// ---- HTML ---------------------------------------------------------------------

TEST_F(LogWriterTest, HtmlHeadAndFoot) {
    cv::Module().Display.Colour[7] = 0x00332211;
    cv::Module().Display.FontSize = 11;
    option(OptLogOutput);
    option(OptHtmlLog);
    cv::OpenLogs(base(), cv::LogOpen::Start);
    cv::CloseLogs(true);
    EXPECT_EQ(file("match.htm"),
              "<html>\r\n<head>\r\n<meta http-equiv=Content-Typecontent=text/html; charset=x-sjis>\r\n"
              "<meta name=GENERATOR content=CVCORE.DLL>\r\n"
              "<title>CV Vell Log File</title>\r\n</head>\r\n<body bgcolor=\"#112233\">\r\n"
              "<style type=\"text/css\">\r\n<!--\r\nBODY{\r\n\tfont-size : 9pt;\r\n"
              "\tfont-family : \"ＭＳ ゴシック\";\r\n}\r\n-->\r\n</style>\r\n<pre>\r\n"
              "</font></pre>\r\n</body>\r\n</html>\r\n");
}

TEST_F(LogWriterTest, HtmlHeadAtStartAndAtEveryRestoredStep) {
    option(OptLogOutput);
    option(OptHtmlLog);
    for (cv::LogOpen how : {cv::LogOpen::Start, cv::LogOpen::Step, cv::LogOpen::Restore, cv::LogOpen::Step}) {
        cv::OpenLogs(base(), how);
        cv::CloseLogs(false);
    }
    std::string html = file("match.htm");
    EXPECT_EQ(html.find("<html>", html.find("<html>") + 1), html.rfind("<html>"));
    EXPECT_NE(html.find("<html>"), html.rfind("<html>"));
    EXPECT_EQ(html.find("</html>"), std::string::npos);
}

TEST_F(LogWriterTest, HtmlColourTagsChangeOnlyWithTheColour) {
    cv::DisplaySettings& d = cv::Module().Display;
    d.Colour[0] = 0x00000000; // black: the first line writes no tag
    d.Colour[1] = 0x00563412;
    d.Colour[2] = 0x00563412;
    d.Colour[5] = 0x000000FF;
    add(cv::KindSystem, 0, "black");
    add(cv::KindPilot1, 0, "one");
    add(cv::KindPilot2, 0, "same colour");
    add(cv::KindTrace, 0, "trace");
    add(cv::KindAnnouncer, 0, "red", 1);
    std::string page = htmlLog();
    std::string body = page.substr(page.find("<pre>\r\n") + 7);
    EXPECT_EQ(body, "black\r\n<font color=\"#123456\">one\r\nsame colour\r\n"
                    "</font><font color=\"#ff0000\">red\r\n\r\n");
}

TEST_F(LogWriterTest, HtmlSystemColoursAreFixedColours) {
    // 0x80000005 window: white; 0x80000008 window text: black (the first
    // line then writes no tag); 0x80000018 tooltip background: 0xE1FFFF,
    // swapped #ffffe1; an index beyond the scheme: black.
    uint32_t (&colour)[cv::DisplayColourCount] = cv::Module().Display.Colour;
    colour[7] = 0x80000005;
    const std::pair<uint32_t, const char*> lines[] = {
        {0x80000008, "text"}, {0x80000018, "tip"}, {0x800000FF, "unknown"}};
    for (uint32_t kind = 0; kind < 3; ++kind) {
        colour[kind] = lines[kind].first;
        add(kind, 0, lines[kind].second);
    }
    std::string page = htmlLog();
    EXPECT_NE(page.find("<body bgcolor=\"#ffffff\">"), std::string::npos);
    EXPECT_EQ(page.substr(page.find("<pre>\r\n") + 7),
              "text\r\n<font color=\"#ffffe1\">tip\r\n</font><font color=\"#000000\">unknown\r\n");
}

TEST_F(LogWriterTest, HtmlBlanksAndEscapes) {
    EXPECT_EQ(testsupport::u8(cv::HtmlLineText(sj("a b  c   d"))), "a b　c　 d");
    EXPECT_EQ(testsupport::u8(cv::HtmlLineText(sj("<script>&amp;</script> 100%"))),
              "&lt;script&gt;&amp;amp;&lt;/script&gt; 100%");
    // Double-byte characters are copied whole; "ソ" (83 5C) stays one character.
    EXPECT_EQ(testsupport::u8(cv::HtmlLineText(sj("ソ<表>"))), "ソ&lt;表&gt;");
    // A lead byte takes the byte after it as its trail whatever it is (NUL
    // and the end aside): a blank or '&' so taken is no character of its own.
    using namespace std::string_literals;
    EXPECT_EQ(cv::HtmlLineText("\x81   x"), "\x81 \x81\x40x");
    EXPECT_EQ(cv::HtmlLineText("\x81\x81&"), "\x81\x81&amp;");
    EXPECT_EQ(cv::HtmlLineText("\x81\x81\x81&<"), "\x81\x81\x81&&lt;");
    EXPECT_EQ(cv::HtmlLineText("a\x82\0 \x82"s), "a\x82\0 \x82"s);
    // Past sixteen bytes, and a character that straddles the sixteenth.
    EXPECT_EQ(cv::HtmlLineText("aaaaaaaaaaaaaaa\x81&  b"), "aaaaaaaaaaaaaaa\x81&\x81\x40"
                                                           "b");
    EXPECT_EQ(cv::HtmlLineText(std::string(20, 'x') + "<" + std::string(20, 'y') + " &"),
              std::string(20, 'x') + "&lt;" + std::string(20, 'y') + " &amp;");
    // Against the rule itself, character by character (a lead byte takes
    // the next byte unless it is NUL or there is none), over short mixes
    // of the bytes that matter.
    auto byRule = [](const std::string& in) {
        std::string out;
        for (size_t p = 0; p < in.size();) {
            unsigned char c = static_cast<unsigned char>(in[p]);
            bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
            if (lead && p + 1 < in.size() && in[p + 1] != '\0') {
                out += in.substr(p, 2);
                p += 2;
            } else if (c == ' ' && p + 1 < in.size() && in[p + 1] == ' ') {
                out += "\x81\x40";
                p += 2;
            } else {
                out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, in[p]);
                ++p;
            }
        }
        return out;
    };
    const char alphabet[] = {' ', '&', '<', '>', 'a', '\x81', '\x40', '\xE0', '\0'};
    uint32_t seed = 12345;
    for (int k = 0; k < 20000; ++k) {
        std::string in;
        seed = seed * 1103515245 + 12345;
        for (size_t n = (seed >> 16) % 40; n > 0; --n) {
            seed = seed * 1103515245 + 12345;
            in += alphabet[(seed >> 16) % sizeof alphabet];
        }
        ASSERT_EQ(cv::HtmlLineText(in), byRule(in)) << testing::PrintToString(in);
    }
    // A folded line: the blank rule applies to the speaker column too, and
    // no TAB ever appears.
    option(OptTabReplace);
    gs.OutputColumns = 12;
    cv::OutputChannel c;
    cv::SetChannelName(c, base(), ".htm");
    cv::OpenChannel(c, true);
    c.NoColourYet = 1;
    add(cv::KindSystem, 4, "AB  <>&あいうえお");
    cv::WriteHtmlLine(c, buf.Lines[0]);
    cv::CloseChannel(c);
    EXPECT_EQ(file("match.htm"), "<font color=\"#ffffff\">AB　&lt;&gt;&amp;あい\r\n　　うえお\r\n");
}

// Pack, list, check, unpack, comment and random access on a folder of sample
// message files, and every way these fail: missing and duplicate files, lines
// too long, failing writes, and hostile archives.
#include "kwph/access.h"
#include "kwph/archive_view.h"
#include "kwph/check.h"
#include "kwph/codec.h"
#include "kwph/msgnames.h"
#include "kwph/pack.h"
#include "kwph/unpack.h"

#include "platform/files.h"
#include "samples.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

using testsupport::readFile;
using testsupport::sj;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

uint32_t u32(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<size_t>(i)]);
    return v;
}

uint16_t u16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1])
                                                                         << 8);
}

void setU32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
}

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { kwtest::writeSampleFolder(src.path()); }
    std::string folder() const { return src.folder(); }
    std::string archive() const { return out.folder() + "msgs.kwp"; }
    bool packSamples(bool compress = true) {
        return kwp::pack(engine, folder(), archive(), "sample", compress);
    }

    testsupport::TempDir src;
    testsupport::TempDir out;
    kwp::Engine engine;
};

} // namespace

TEST(MessageNames, ListsAndClassification) {
    EXPECT_EQ(kwp::msgNameList(0).size(), 10u);
    EXPECT_EQ(kwp::msgNameList(1).size(), 199u);
    EXPECT_EQ(kwp::msgNameList(2).size(), 189u);
    EXPECT_EQ(kwp::classifyMsgName("PLAY_ANA"), 0);
    EXPECT_EQ(kwp::classifyMsgName("m41a"), 1);
    EXPECT_EQ(kwp::classifyMsgName("M83A    "), 1);
    EXPECT_EQ(kwp::classifyMsgName("m211h1"), 2);
    EXPECT_EQ(kwp::classifyMsgName("m659h"), 2);
    EXPECT_EQ(kwp::classifyMsgName("m660h"), -1);
    EXPECT_EQ(kwp::classifyMsgName("play_ana2"), 0); // an archive name is cut after 8 bytes
    EXPECT_EQ(kwp::classifyFileBase("play_ana2"), -1);
    EXPECT_EQ(kwp::classifyFileBase("m01a0 x"), -1);
    EXPECT_EQ(kwp::classifyFileBase("M001H"), 2);
}

TEST(CommentArea, CutBlankPaddedAndTerminated) {
    std::string area = kwp::commentArea("");
    EXPECT_EQ(area, "\x1A" + std::string(63, ' '));
    area = kwp::commentArea(std::string(63, 'c'));
    EXPECT_EQ(area, std::string(63, 'c') + "\x1A");
    EXPECT_EQ(kwp::commentArea(std::string(70, 'c')), area);
    // Byte 63 would split a character: 62 bytes are kept.
    area = kwp::commentArea(std::string(62, 'c') + sj("漢"));
    EXPECT_EQ(area, std::string(62, 'c') + "\x1A ");
}

TEST_F(ArchiveTest, PackWritesTheFormatByteForByte) {
    ASSERT_TRUE(packSamples()) << engine.lastError();
    const std::string b = readFile(archive());
    EXPECT_EQ(b.substr(0, 24), "KWP00   KWPH.DLL 0.8.8  ");
    EXPECT_EQ(b.substr(24, 64), kwp::commentArea("sample"));
    ASSERT_EQ(u16(b, 88), 3);
    const auto samples = kwtest::packedSamples(); // PLAY_ANA, m01a0, M001H
    const std::vector<std::pair<std::string, const kwtest::SampleFile*>> order = {
        {"M001H   ", &samples[2]}, {"M01A0   ", &samples[1]}, {"PLAY_ANA", &samples[0]}};
    uint32_t expectOfs = 90 + 18 * 3;
    for (size_t i = 0; i < order.size(); ++i) {
        const size_t at = 90 + 18 * i;
        EXPECT_EQ(b.substr(at, 8), order[i].first);
        const uint32_t lenOfs = u32(b, at + 8), txtOfs = u32(b, at + 12);
        const uint16_t lines = u16(b, at + 16);
        EXPECT_EQ(lenOfs, expectOfs);
        EXPECT_EQ(txtOfs, lenOfs + lines);
        const kwtest::SampleFile& f = *order[i].second;
        ASSERT_EQ(lines, f.lines.size());
        uint32_t pos = txtOfs;
        for (size_t k = 0; k < lines; ++k) {
            const int type = kwp::classifyMsgName(order[i].first);
            const std::string stored = *kwp::storedForm(kwp::prepareLine(f.lines[k], type), true);
            EXPECT_EQ(static_cast<unsigned char>(b[lenOfs + k]), stored.size());
            EXPECT_EQ(b.substr(pos, stored.size()), stored);
            pos += static_cast<uint32_t>(stored.size());
        }
        expectOfs = pos;
    }
    EXPECT_EQ(b.size(), expectOfs);
    EXPECT_EQ(namesIn(out.path()), std::vector<std::string>{"msgs.kwp"}); // no temporaries left
}

TEST_F(ArchiveTest, AFolderWithoutItsSeparatorIsTheSameFolder) {
    ASSERT_TRUE(packSamples());
    const std::string withSeparator = readFile(archive());
    ASSERT_TRUE(kwp::pack(engine, src.path().string(), archive(), "sample", true)) << engine.lastError();
    EXPECT_EQ(readFile(archive()), withSeparator);
    // Named with the separator it was given, in the form the file system spells.
    testsupport::TempDir none;
    EXPECT_FALSE(kwp::pack(engine, none.path().string() + "\\sub", archive(), "", true));
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙが見つかりませんでした(") + none.folder() + "sub/*.msg)");
}

// The progress window of packing and of unpacking names the archive with
// '/' only, however its path was written.
TEST_F(ArchiveTest, ProgressShowsTheArchiveAsTheFileSystemSpellsIt) {
    std::string written = archive();
    written[written.rfind('/')] = '\\';
    ASSERT_TRUE(kwp::pack(engine, folder(), written, "", true)) << engine.lastError();
    EXPECT_EQ(engine.recorder().progressCaption, archive());
    engine.recorder().progressCaption.clear();
    testsupport::TempDir target;
    ASSERT_TRUE(kwp::unpack(engine, target.folder(), written, false)) << engine.lastError();
    EXPECT_EQ(engine.recorder().progressCaption, archive());
}

TEST_F(ArchiveTest, UnpackGivesBackTheSameBytes) {
    for (bool compress : {true, false}) {
        ASSERT_TRUE(packSamples(compress)) << engine.lastError();
        testsupport::TempDir dest;
        ASSERT_TRUE(kwp::unpack(engine, dest.folder(), archive(), true)) << engine.lastError();
        EXPECT_EQ(namesIn(dest.path()), (std::vector<std::string>{"M001H.MSG", "M01A0.MSG", "PLAY_ANA.MSG"}));
        for (const auto& f : kwtest::packedSamples()) {
            std::string upperName = f.name;
            for (char& c : upperName) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            EXPECT_EQ(readFile(dest.path() / upperName), kwtest::crlfText(f.lines)) << f.name;
        }
    }
}

TEST_F(ArchiveTest, LinePreparationSurvivesTheRoundTrip) {
    testsupport::TempDir in;
    // LF ends, a tab, an end-of-file line, a last line without a line end.
    writeFile(in.path() / "play_sys.msg", "one\ttwo  \nthree\r\n\x1A\nfour");
    writeFile(in.path() / "m02a0.msg", "short   \r\n");
    ASSERT_TRUE(kwp::pack(engine, in.folder(), archive(), "", true)) << engine.lastError();
    testsupport::TempDir plain, paddedOut;
    ASSERT_TRUE(kwp::unpack(engine, plain.folder(), archive(), false));
    EXPECT_EQ(readFile(plain.path() / "PLAY_SYS.MSG"), "onetwo  \r\nthree\r\nfour\r\n");
    EXPECT_EQ(readFile(plain.path() / "M02A0.MSG"), "short\r\n");
    ASSERT_TRUE(kwp::unpack(engine, paddedOut.folder(), archive(), true));
    EXPECT_EQ(readFile(paddedOut.path() / "M02A0.MSG"), kwtest::padded("short", 80) + "\r\n");
    EXPECT_EQ(readFile(paddedOut.path() / "PLAY_SYS.MSG"), "onetwo  \r\nthree\r\nfour\r\n");
}

TEST_F(ArchiveTest, ListingShowsEveryEntry) {
    ASSERT_TRUE(packSamples());
    ASSERT_TRUE(kwp::putMsgList(engine, archive()));
    const auto& rec = engine.recorder();
    ASSERT_EQ(rec.lines.size(), 9u);
    EXPECT_EQ(rec.textCaption, archive());
    EXPECT_EQ(rec.lines[0], " Listing File : " + archive());
    EXPECT_EQ(rec.lines[1], " Comment : sample");
    EXPECT_EQ(rec.lines[2], "  File Name    Lines Original  Packed    Ratio    Msg Type");
    EXPECT_EQ(rec.lines[3], " ------------  ----- -------- --------  ------   -----------");
    const auto ana = kwtest::packedSamples()[0];
    size_t original = 0, packed = 0;
    for (const auto& l : ana.lines) {
        original += l.size();
        packed += kwp::storedForm(l, true)->size();
    }
    char row[128];
    std::snprintf(row, sizeof row, " PLAY_ANA.MSG %6d %8zu %8zu %7.2f   %-13s", 9, original, packed,
                  packed * 100.0 / original, "Sequential");
    EXPECT_EQ(rec.lines[6], row);
    EXPECT_EQ(rec.lines[4].substr(0, 20), " M001H   .MSG      3");
    EXPECT_NE(rec.lines[4].find(" 720 "), std::string::npos); // 3 lines counted at 240
    EXPECT_EQ(rec.lines[8].substr(0, 8), "  Total ");
    EXPECT_NE(rec.lines[8].find("     3 Files"), std::string::npos);
    EXPECT_EQ(rec.status.substr(0, archive().size() + 9), archive() + " (packed ");
}

TEST_F(ArchiveTest, ListingOfEmptyLinesShowsZeroRatio) {
    testsupport::TempDir in;
    writeFile(in.path() / "ALPHA.MSG", "\r\n\r\n");
    ASSERT_TRUE(kwp::pack(engine, in.folder(), archive(), "", true));
    ASSERT_TRUE(kwp::putMsgList(engine, archive()));
    EXPECT_EQ(engine.recorder().lines[1], " Comment : (NONE)");
    EXPECT_EQ(engine.recorder().lines[4], " ALPHA   .MSG      2        0        0    0.00   Sequential   ");
    EXPECT_EQ(engine.recorder().lines[6], "  Total                     0        0  0.00%      1 Files");
}

TEST_F(ArchiveTest, CheckWarnsOfLinesOfTheWrongWidth) {
    testsupport::TempDir in;
    writeFile(in.path() / "m401h.msg",
              kwtest::crlfText({std::string(240, 'x'), std::string(239, 'x'), std::string(240, 'x')}));
    writeFile(in.path() / "PLAY_PIL.MSG", "anything\r\n");
    // The folder given without its separator.
    ASSERT_TRUE(kwp::check(engine, in.path().string()));
    const auto& rec = engine.recorder();
    EXPECT_EQ(rec.textCaption, sj("ファイルチェック"));
    EXPECT_EQ(rec.lines,
              (std::vector<std::string>{
                  sj("フォルダ内のメッセージファイルを調べます...") + in.path().string(), "m401h.msg",
                  sj("  Warning! : 1行目が 239/240 桁です"), "PLAY_PIL.MSG", sj("終了しました.")}));
}

TEST_F(ArchiveTest, RandomAccessFindsLinesByName) {
    ASSERT_TRUE(packSamples());
    const std::string b = readFile(archive());
    const auto ana = kwtest::packedSamples()[0];
    for (const char* name : {"PLAY_ANA", "play_ana.msg", "C:\\x\\PLAY_ANA.MSG", "dir/Play_Ana.Msg"})
        EXPECT_EQ(kwp::countMsgLines(engine, archive(), name), 9) << name;
    std::string line;
    ASSERT_TRUE(kwp::readMsgLine(engine, line, archive(), "PLAY_ANA", 4));
    EXPECT_EQ(line, ana.lines[3]);
    const int lenAt = kwp::lineLengthOffset(engine, archive(), "PLAY_ANA", 4);
    const int txtAt = kwp::lineTextOffset(engine, archive(), "PLAY_ANA", 4);
    const int len = kwp::lineStoredLength(engine, archive(), "PLAY_ANA", 4);
    EXPECT_EQ(static_cast<unsigned char>(b[static_cast<size_t>(lenAt)]), len);
    EXPECT_EQ(b.substr(static_cast<size_t>(txtAt), static_cast<size_t>(len)), kwp::encodeLine(ana.lines[3]));

    for (int n : {0, 10}) {
        EXPECT_FALSE(kwp::readMsgLine(engine, line, archive(), "play_ana.msg", n));
        EXPECT_EQ(engine.lastError(), sj("指定されたﾒｯｾｰｼﾞ番号は存在しません(") + archive() +
                                          sj("内にあるPLAY_ANA.MSGの") + std::to_string(n) + sj("行目)"));
        EXPECT_EQ(kwp::lineTextOffset(engine, archive(), "PLAY_ANA", n), 0);
    }
    EXPECT_EQ(kwp::countMsgLines(engine, archive(), "M02A0"), 0);
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙが見つかりませんでした(M02A0)"));
}

TEST_F(ArchiveTest, SetCommentRewritesOnlyTheCommentArea) {
    ASSERT_TRUE(packSamples());
    std::string before = readFile(archive());
    ASSERT_TRUE(kwp::setComment(engine, archive(), sj("新しい説明")));
    std::string after = readFile(archive());
    before.replace(24, 64, kwp::commentArea(sj("新しい説明")));
    EXPECT_EQ(after, before);
}

// ---- Failures -------------------------------------------------------------

TEST_F(ArchiveTest, PackNeedsMessageFilesWithATypeAndUniqueNames) {
    testsupport::TempDir none;
    writeFile(none.path() / "notes.msg", "x\r\n");
    EXPECT_FALSE(kwp::pack(engine, none.folder(), archive(), "", true));
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙが見つかりませんでした(") + none.folder() + "*.msg)");
    EXPECT_FALSE(fs::exists(archive()));

    writeFile(src.path() / "M01A0.MSG", "dup\r\n");
    EXPECT_FALSE(packSamples());
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙを開けませんでした：") + folder() + sj("m01a0.msg(重複ﾌｧｲﾙ)"));
}

TEST_F(ArchiveTest, PackFailureKeepsTheOldArchive) {
    ASSERT_TRUE(packSamples());
    const std::string old = readFile(archive());
    // A line that cannot be stored even without its control bytes.
    writeFile(src.path() / "PLAY_COM.MSG", "ok\r\n" + std::string(300, '\xB6') + "\r\n");
    EXPECT_FALSE(packSamples());
    EXPECT_EQ(engine.lastError(), sj("ﾒｯｾｰｼﾞが長すぎます(") + folder() + sj("PLAY_COM.MSGの2行目)"));
    EXPECT_EQ(readFile(archive()), old);
    fs::remove(src.path() / "PLAY_COM.MSG");

    // A device that fails while the new archive is written.
    writeFile(src.path() / "PLAY_COM.MSG", "new\r\n");
    plat::setAtomicWriteFault(100);
    EXPECT_FALSE(packSamples());
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙの書き込みに失敗しました(") + archive() + ")");
    EXPECT_EQ(readFile(archive()), old);
    EXPECT_EQ(namesIn(out.path()), std::vector<std::string>{"msgs.kwp"});
}

TEST_F(ArchiveTest, PackRefusesWhatTheFormatCannotHold) {
    testsupport::TempDir in;
    writeFile(in.path() / "ALPHA.MSG", std::string(65536 * 2, '\n').replace(0, 1, "x"));
    EXPECT_FALSE(kwp::pack(engine, in.folder(), archive(), "", true));
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙの書き込みに失敗しました(") + archive() + ")");
    fs::remove(in.path() / "ALPHA.MSG");
    writeFile(in.path() / "ALPHA.MSG", std::string(65535, '\n'));
    EXPECT_TRUE(kwp::pack(engine, in.folder(), archive(), "", true));
    EXPECT_EQ(kwp::countMsgLines(engine, archive(), "ALPHA"), 65535);

    const std::string nowhere = out.folder() + "missing/x.kwp";
    EXPECT_FALSE(kwp::pack(engine, in.folder(), nowhere, "", true));
    // The archive is named, never the hidden file its data is staged in.
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙを開けませんでした(") + nowhere + ")");
}

TEST_F(ArchiveTest, HostileArchivesFailWithTheirErrors) {
    ASSERT_TRUE(packSamples());
    const std::string good = readFile(archive());
    const std::string readFailed = sj("ﾌｧｲﾙの読み込みに失敗しました(") + archive() + ")";
    auto tryAll = [&](const std::string& bytes, const std::string& expect) {
        writeFile(archive(), bytes);
        testsupport::TempDir dest;
        std::string line;
        EXPECT_FALSE(kwp::unpack(engine, dest.folder(), archive(), true));
        EXPECT_EQ(engine.lastError(), expect);
        EXPECT_FALSE(kwp::putMsgList(engine, archive()));
        EXPECT_EQ(engine.lastError(), expect);
        EXPECT_FALSE(kwp::readMsgLine(engine, line, archive(), "PLAY_ANA", 1));
        EXPECT_EQ(engine.lastError(), expect);
    };
    tryAll(good.substr(0, 87), readFailed);
    tryAll("KWP01   " + good.substr(8),
           archive() + sj("のKWPのｳﾞｧｰｼﾞｮﾝが違いますKWP00   のみ対応しています。"));
    tryAll(good.substr(0, 89), readFailed);
    tryAll(good.substr(0, 90 + 18 * 3 - 1), readFailed);
    std::string b = good;
    setU32(b, 90 + 18 * 2 + 8, 0xFFFFFFF0u); // PLAY_ANA's length table far away
    tryAll(b, readFailed);
    b = good;
    setU32(b, 90 + 18 * 2 + 12, static_cast<uint32_t>(good.size() - 3)); // its text runs past the end
    tryAll(b, readFailed);

    // Unpack stops at the bad entry; what came before stays written.
    writeFile(archive(), b);
    testsupport::TempDir dest;
    EXPECT_FALSE(kwp::unpack(engine, dest.folder(), archive(), true));
    EXPECT_EQ(namesIn(dest.path()), (std::vector<std::string>{"M001H.MSG", "M01A0.MSG"}));

    EXPECT_FALSE(kwp::unpack(engine, dest.folder(), out.folder() + "none.kwp", true));
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙが見つかりませんでした(") + out.folder() + "none.kwp)");
    EXPECT_FALSE(kwp::setComment(engine, out.folder() + "none.kwp", "x"));
    EXPECT_FALSE(fs::exists(out.path() / "none.kwp"));
}

TEST_F(ArchiveTest, UnpackCreatesOnlyPlainNamesInTheTarget) {
    ASSERT_TRUE(packSamples());
    const std::string good = readFile(archive());
    testsupport::TempDir parent;
    fs::create_directory(parent.path() / "dest");
    const std::string prefix = parent.folder() + "dest/";
    const std::pair<std::string, std::string> bad[] = {
        {"../x    ", "../x"},  {"a/b     ", "a/b"},
        {"a\\b     ", "a/b"},  {std::string("ab\0c    ", 8), "ab?c"},
        {"\x01x      ", "?x"}, {"        ", ""},
        {"M01A0   ", "M01A0"}, // the same name as another entry
    };
    for (const auto& [raw, shown] : bad) {
        std::string b = good;
        b.replace(90 + 18 * 2, 8, raw);
        writeFile(archive(), b);
        EXPECT_FALSE(kwp::unpack(engine, prefix, archive(), false));
        EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙを開けませんでした(") + prefix + shown + ".MSG)");
    }
    EXPECT_EQ(namesIn(parent.path()), std::vector<std::string>{"dest"});
    EXPECT_EQ(namesIn(parent.path() / "dest"), (std::vector<std::string>{"M001H.MSG", "M01A0.MSG"}));

    writeFile(archive(), good);
    EXPECT_FALSE(kwp::unpack(engine, parent.folder() + "nowhere/", archive(), false));
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙを開けませんでした(") + parent.folder() + "nowhere/M001H.MSG)");
}

TEST(ArchiveView, NamesWithoutTerminatorAndTheGameProcessorsMagicTest) {
    std::string b = std::string("KWP00xyz") + std::string(80, ' ');
    b += std::string("\x01\x00", 2);
    b += "ABCDEFGH";
    b += std::string("\x6C\x00\x00\x00\x6D\x00\x00\x00\x01\x00", 10);
    b += std::string("\x01", 1) + "G";
    kwp::ArchiveView strict(b);
    EXPECT_EQ(strict.status(), kwp::ArchiveView::Status::BadMagic);
    kwp::ArchiveView loose(b, 5);
    ASSERT_TRUE(loose.ok());
    EXPECT_STREQ(loose.entry(0).name, "ABCDEFGH");
    EXPECT_EQ(loose.find("abcdefgh.msg"), 0u);
    auto lines = loose.lines(0);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->lines, std::vector<std::string_view>{"G"});
    EXPECT_EQ(loose.comment().size(), 64u);
    // The lookup key walks characters: the trail byte 5C of 表 is no separator.
    EXPECT_EQ(kwp::ArchiveView::lookupKey(sj("x\\表.msg")), sj("表"));
}

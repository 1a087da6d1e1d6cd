// LZH import through liblhasa: good archives pack like the folder they came
// from; paths, links, folders and foreign names are never written; damaged
// members and archives fail; the private folder never stays behind.
#include "kwph/lzh.h"
#include "kwph/pack.h"

#include "lzh_writer.h"
#include "samples.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using kwtest::LzhMember;
using testsupport::readFile;
using testsupport::sj;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

// Points $TMPDIR at a fresh folder for one test, so leftovers can be seen.
class LzhTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!kwp::lzhSupported()) GTEST_SKIP() << "built without liblhasa";
        const char* old = std::getenv("TMPDIR");
        if (old) oldTmp_ = old;
        hadTmp_ = old != nullptr;
        ::setenv("TMPDIR", tmp.path().c_str(), 1);
    }
    void TearDown() override {
        if (hadTmp_)
            ::setenv("TMPDIR", oldTmp_.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    std::string lzh(const std::string& bytes) {
        writeFile(work.path() / "in.lzh", bytes);
        return work.folder() + "in.lzh";
    }
    std::string archive() const { return work.folder() + "out.kwp"; }
    bool tmpIsEmpty() const { return fs::is_empty(tmp.path()); }

    testsupport::TempDir work;
    testsupport::TempDir tmp;
    kwp::Engine engine;

private:
    std::string oldTmp_;
    bool hadTmp_ = false;
};

LzhMember member(const std::string& name, const std::string& data, int level = 0) {
    LzhMember m;
    m.name = name;
    m.data = data;
    m.level = level;
    return m;
}

} // namespace

TEST(LzhCrc, KnownValue) {
    EXPECT_EQ(kwp::lzhCrc16("123456789"), 0xBB3D);
}

TEST_F(LzhTest, ImportPacksLikeTheFolder) {
    const auto s = kwtest::packedSamples();
    LzhMember withTime = member(s[2].name, kwtest::crlfText(s[2].lines), 1);
    withTime.timeHeader = true;
    const std::string in =
        lzh(kwtest::lzhArchive({member(s[0].name, kwtest::crlfText(s[0].lines)),
                                member(s[1].name, kwtest::crlfText(s[1].lines), 1), withTime}));
    ASSERT_TRUE(kwp::lzhToKwp(engine, in, archive(), "lzh", true)) << engine.lastError();
    EXPECT_TRUE(tmpIsEmpty());
    testsupport::TempDir folder;
    kwtest::writeSampleFolder(folder.path());
    ASSERT_TRUE(kwp::pack(engine, folder.folder(), work.folder() + "direct.kwp", "lzh", true));
    EXPECT_EQ(readFile(archive()), readFile(work.path() / "direct.kwp"));
}

TEST_F(LzhTest, OnlyPlainMessageFilesAreWritten) {
    testsupport::TempDir dest;
    LzhMember dir = member("sub/", "");
    dir.method = "-lhd-";
    const std::string in = kwtest::lzhArchive(
        {member("../escape.msg", "up"), member("sub/m01a1.msg", "sub"), member("/abs.msg", "abs"),
         member("readme.txt", "txt"), member("toolongnm.msg", "long"), dir, member("PLAY_SYS.MSG", "ok")});
    writeFile(work.path() / "in.lzh", in);
    ASSERT_EQ(kwp::extractLzh((work.path() / "in.lzh").string(), dest.path().string()), 0);
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dest.path())) names.push_back(e.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"play_sys.msg"}); // lhasa lower-cases all-caps DOS names
    EXPECT_FALSE(fs::exists(work.path() / "escape.msg"));
    EXPECT_EQ(fs::status(dest.path() / "play_sys.msg").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(LzhTest, DamagedArchivesFail) {
    LzhMember badCrc = member("PLAY_SYS.MSG", "text");
    badCrc.crc = 0x1234;
    LzhMember shortData = member("PLAY_SYS.MSG", "text");
    shortData.originalSize = 10;
    LzhMember unknownMethod = member("PLAY_SYS.MSG", "text");
    unknownMethod.method = "-lh9-";
    const std::string good = kwtest::lzhMember(member("PLAY_SYS.MSG", "text"));
    const std::string cases[] = {
        kwtest::lzhArchive({badCrc}),
        kwtest::lzhArchive({shortData}),
        kwtest::lzhArchive({unknownMethod}),
        kwtest::lzhArchive({member("M01A0.MSG", "a"), member("m01a0.msg", "b", 1)}),
        good + "garbage that is no header",
        good.substr(0, good.size() - 2),
        "not an lzh archive at all",
    };
    for (const std::string& bytes : cases) {
        const std::string in = lzh(bytes);
        EXPECT_FALSE(kwp::lzhToKwp(engine, in, archive(), "", true));
        EXPECT_EQ(engine.lastError(), sj("LHAﾌｧｲﾙの展開に失敗しました(") + in + ")");
        EXPECT_TRUE(tmpIsEmpty());
    }
    EXPECT_FALSE(fs::exists(archive()));
    // The archive may end without its end mark.
    EXPECT_TRUE(kwp::lzhToKwp(engine, lzh(good), archive(), "", true)) << engine.lastError();
}

TEST_F(LzhTest, SizeLimits) {
    testsupport::TempDir dest;
    writeFile(work.path() / "in.lzh",
              kwtest::lzhArchive({member("ALPHA.MSG", "12345"), member("PLAY_SYS.MSG", "678")}));
    const std::string in = (work.path() / "in.lzh").string();
    EXPECT_NE(kwp::extractLzh(in, dest.path().string(), {4, 100}), 0);
    testsupport::TempDir dest2;
    EXPECT_NE(kwp::extractLzh(in, dest2.path().string(), {5, 7}), 0);
    testsupport::TempDir dest3;
    EXPECT_EQ(kwp::extractLzh(in, dest3.path().string(), {5, 8}), 0);
}

TEST_F(LzhTest, MissingInputsAndFolders) {
    EXPECT_FALSE(kwp::lzhToKwp(engine, work.folder() + "none.lzh", archive(), "", true));
    EXPECT_EQ(engine.lastError(), sj("ﾌｧｲﾙが見つかりませんでした(") + work.folder() + "none.lzh)");
    EXPECT_TRUE(tmpIsEmpty());
    ::setenv("TMPDIR", (tmp.path() / "missing").c_str(), 1);
    EXPECT_FALSE(
        kwp::lzhToKwp(engine, lzh(kwtest::lzhArchive({member("ALPHA.MSG", "a")})), archive(), "", true));
    EXPECT_EQ(engine.lastError(), sj("ﾊﾟｽが見つかりませんでした(WINDOWSﾃﾝﾎﾟﾗﾘﾌｫﾙﾀﾞ)"));
    // An archive without message files extracts, and Pack reports the empty folder.
    ::setenv("TMPDIR", tmp.path().c_str(), 1);
    EXPECT_FALSE(
        kwp::lzhToKwp(engine, lzh(kwtest::lzhArchive({member("readme.txt", "a")})), archive(), "", true));
    EXPECT_EQ(engine.lastError().substr(0, sj("ﾌｧｲﾙが見つかりませんでした(").size()),
              sj("ﾌｧｲﾙが見つかりませんでした("));
    EXPECT_TRUE(tmpIsEmpty());
}

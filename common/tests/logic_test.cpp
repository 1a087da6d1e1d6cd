// The entrant check with the real entry checks of the AK data library (the
// asker stands in for the dialog), the version text and the blank trimming.
#include "cmntest.h"

#include "base/sjis.h"
#include "common/akcheck.h"
#include "common/fileversion.h"
#include "common/texthelpers.h"

#include <cstring>
#include <vector>

namespace {

using cmntest::CmnTest;
using testsupport::sj;

class Check : public CmnTest {
protected:
    void SetUp() override {
        CmnTest::SetUp();
        ASSERT_NE(LoadWeapon((cmntest::programDir() + "WpData").c_str()), 0);
    }
    void TearDown() override {
        UnloadWpData();
        CmnTest::TearDown();
    }
};

TEST_F(Check, FindingsAskTheGameMaster) {
    std::vector<char> report(2048, 'x');
    int asked = 0;
    std::string caption, shown;
    auto asker = [&](int answer) {
        return [&, answer](std::string_view c, std::string_view r) {
            ++asked;
            caption = c;
            shown = r;
            return answer;
        };
    };

    // A sample built from the catalogs passes without a dialog.
    auto good = cmntest::loadAk(cmntest::samplePath(1));
    EXPECT_EQ(cmn::checkAk(*good, report.data(), asker(cmn::CheckStop)), cmn::CheckGoOn);
    EXPECT_EQ(asked, 0);

    // A changed weapon price is a finding: the dialog decides.
    auto bad = cmntest::loadAk(cmntest::samplePath(1));
    bad->Weapon[0].Price = int32_t{bad->Weapon[0].Price} + 1;
    EXPECT_EQ(cmn::checkAk(*bad, report.data(), asker(cmn::CheckGoOn)), cmn::CheckGoOn);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(caption, sj("ＡＫデータチェック： アレックス・ロウ 選手"));
    EXPECT_FALSE(shown.empty());
    EXPECT_EQ(shown, sjis::readField(report.data(), report.size()));
    EXPECT_EQ(cmn::checkAk(*bad, report.data(), asker(cmn::CheckStop)), cmn::CheckStop);
    // Any other answer (a dialog closed otherwise) stops too.
    EXPECT_EQ(cmn::checkAk(*bad, report.data(), asker(0)), cmn::CheckStop);
    EXPECT_EQ(cmn::checkAk(*bad, report.data(), nullptr), cmn::CheckStop);
    EXPECT_EQ(asked, 3);
}

TEST_F(CmnTest, FileVersionText) {
    // The sidecar the build writes beside every deliverable.
    const std::string library = cmntest::programDir() + "libvell_ak.so";
    const std::string sidecar = testsupport::readFile(library + ".ver");
    const size_t at = sidecar.find("FileVersion=");
    ASSERT_NE(at, std::string::npos);
    const std::string expected = sidecar.substr(at + 12, sidecar.find('\n', at) - at - 12);
    ASSERT_FALSE(expected.empty());
    char out[256];
    std::memset(out, 'Z', sizeof out);
    EXPECT_TRUE(cmn::fileVersion(library, out, sizeof out));
    EXPECT_EQ(std::string(out), expected);

    // No version block: the text is left alone.
    const std::string plain = scratch() + "plain.dll";
    testsupport::writeFile(plain, "x");
    std::strcpy(out, "keep");
    EXPECT_FALSE(cmn::fileVersion(plain, out, sizeof out));
    EXPECT_STREQ(out, "keep");

    // A block without FileVersion gives the empty text; a long one is cut.
    testsupport::writeFile(plain + ".ver", "CompanyName=Dunmoor\n");
    EXPECT_TRUE(cmn::fileVersion(plain, out, sizeof out));
    EXPECT_STREQ(out, "");
    testsupport::writeFile(plain + ".ver", "FileVersion=" + std::string(300, '9') + "\n");
    EXPECT_TRUE(cmn::fileVersion(plain, out, sizeof out));
    EXPECT_EQ(std::strlen(out), 255u);
}

TEST(TrimBlanks, BothEndsAndTheWorkBufferLimit) {
    auto trimmed = [](std::string text) {
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        cmn::trimBlanks(buffer.data());
        return std::string(buffer.data());
    };
    EXPECT_EQ(trimmed("  abc  "), "abc");
    EXPECT_EQ(trimmed("abc"), "abc");
    EXPECT_EQ(trimmed("     "), "");
    EXPECT_EQ(trimmed(""), "");
    EXPECT_EQ(trimmed("\tabc\t"), "\tabc\t"); // blanks only
    EXPECT_EQ(trimmed(sj("　全角　")), sj("　全角　"));
    EXPECT_EQ(trimmed(" " + std::string(120, 'a')), std::string(79, 'a'));
    // The cut never leaves half a character.
    std::string wide = std::string(" ") + 'a';
    for (int i = 0; i < 50; ++i) wide += sj("字");
    EXPECT_EQ(trimmed(wide), "a" + wide.substr(2, 78));
    cmn::trimBlanks(nullptr);
}

} // namespace

// Reading digests back: matches as the game processor writes them, the
// time stamps, the chains of repeated loads, the block's capacity, and the
// result-line parser.
#include "text/digest.h"

#include "base/sjis.h"
#include "textfixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>

using testsupport::sj;
using testsupport::writeFile;

namespace {

std::string pad(const std::string& s, size_t w) {
    return s + std::string(w > s.size() ? w - s.size() : 0, ' ');
}

// One match's body as the digest writer lays it out.
std::string matchBody(const char* mark1, const char* name1, const char* owner1, const char* mark2,
                      const char* name2, const char* owner2, const char* minutes) {
    const std::string n1 = sj(name1), n2 = sj(name2);
    const size_t w = std::max(n1.size(), n2.size());
    std::string s = "\r\n";
    s += "        " + sj(mark1) + pad(n1, w) + sj("／") + sj(owner1) + "\r\n";
    s += "        " + sj(mark2) + pad(n2, w) + sj("／") + sj(owner2) + "\r\n";
    s += "\r\n";
    s += sj(minutes) + "\r\n";
    s += sj("（最終ダメージ計測値：１２０、誘爆率：３５％）") + "\r\n\r\n";
    s += sj("【対戦成績】") + "\r\n";
    s += sj("|   |オーナーＡ    |パイロット      |機体            |  5  3 1 1|  300|    |") + "\r\n";
    s += sj("|死 |オーナーＢ    |パイロット      |機体            |  4  1 2 0|  200|    |") + "\r\n\r\n";
    s += sj("【賞金】") + "\r\n";
    s += sj("o|オーナーＡ        |機体: 3200|Cr. 3500-> 3800|MCTL:  +200(+2)->  +210(+2)|") + "\r\n";
    s += sj("x|オーナーＢ        |機体: 3000|Cr. 2000-> 2200|MCTL:  +100(+1)->  +100(+1)|") + "\r\n";
    return s;
}

// A combined digest ("digest.mom") of three matches with its head line.
std::string threeMatches() {
    std::string s = sj("Corvane Vell ダイジェスト") + "\r\n";
    const char* results[][7] = {
        {"○", "ジョン・スミス", "オーナーＡ", "×", "山田太郎", "オーナーＢ",
         "　１２分。レーザーによる胴体破壊。"},
        {"×", "霧島", "オーナーＣ", "○", "Ｊ Smith", "オーナーＤ", "　２０分。時間切れ判定。"},
        {"△", "甲", "乙", "△", "丙", "丁", "　５分。引き分け。"},
    };
    for (const auto& r : results) {
        s += "\r\n" + sj("＝＝ 試合 ＝＝") + "\r\n\r\n";
        s += matchBody(r[0], r[1], r[2], r[3], r[4], r[5], r[6]);
    }
    return s;
}

class Digest : public ::testing::Test {
protected:
    void TearDown() override { vtext::unloadMomoFile(); }
    testsupport::TempDir dir;
    std::string write(const std::string& name, const std::string& bytes) {
        writeFile(dir.path() / name, bytes);
        return (dir.path() / name).string();
    }
};

std::vector<DigestEntry*> chain(DigestEntry* head) {
    std::vector<DigestEntry*> v;
    for (DigestEntry* e = head; e; e = DigestNext(e)) v.push_back(e);
    return v;
}

} // namespace

TEST_F(Digest, ThreeMatchesGiveThreeChainedEntries) {
    const std::string path = write("digest.mom", threeMatches());
    // A fixed modification time: 2024-03-05 14:07:50 local time.
    std::tm t{};
    t.tm_year = 124;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 50;
    t.tm_isdst = -1;
    std::time_t when = std::mktime(&t);
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::from_sys(std::chrono::system_clock::from_time_t(when)));

    DigestEntry* head = nullptr;
    ASSERT_EQ(vtext::loadMomoFile(path, &head), 0);
    std::vector<DigestEntry*> e = chain(head);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(sjis::readField(e[0]->Name1), sj("ジョン・スミス"));
    EXPECT_EQ(sjis::readField(e[0]->Text1), sj("オーナーＡ"));
    EXPECT_EQ(sjis::readField(e[0]->Name2), sj("山田太郎"));
    EXPECT_EQ(sjis::readField(e[0]->Text2), sj("オーナーＢ"));
    EXPECT_EQ(sjis::readField(e[0]->Minutes), sj("１２分。レーザーによる胴体破壊。"));
    EXPECT_EQ(e[0]->Mark, 0);
    EXPECT_EQ(e[1]->Mark, 1);
    EXPECT_EQ(sjis::readField(e[1]->Name2), sj("Ｊ Smith")); // a blank inside a name
    EXPECT_EQ(e[2]->Mark, 2);
    EXPECT_EQ(sjis::readField(e[2]->Minutes), sj("５分。引き分け。"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(e[static_cast<size_t>(i)]->Second, i + 1);
        EXPECT_EQ(e[static_cast<size_t>(i)]->Minute, 7);
        EXPECT_EQ(e[static_cast<size_t>(i)]->Year, 24);
        EXPECT_EQ(e[static_cast<size_t>(i)]->Month, 3);
        EXPECT_EQ(e[static_cast<size_t>(i)]->Day, 5);
        EXPECT_EQ(e[static_cast<size_t>(i)]->Hour, 14);
        EXPECT_EQ(sjis::readField(e[static_cast<size_t>(i)]->Path), path.substr(0, 79));
    }
    EXPECT_EQ(DigestNext(e[2]), nullptr);
}

TEST_F(Digest, LoneAndBrokenResultLinesEndNoEntry) {
    std::string s;
    s += "        " + sj("○ひとり／オーナー") + "\r\n\r\n"; // lone, then an empty line
    s += "        " + sj("○区切りなし") + "\r\n";           // no "／"
    s += "        " + sj("×相手／オーナー") + "\r\n\r\n";   // so this one is lone too
    s += sj("勝ち○名前／オーナー") + "\r\n";                // mark not at the word's start
    s += sj("○名前／オーナー") + "\r\n\r\n";
    s += sj("○Ａ／ａ") + "\n" + sj("×Ｂ／ｂ") + "\n" + "\n" + "no minutes here\n";
    DigestEntry* head = nullptr;
    ASSERT_EQ(vtext::loadMomoFile(write("broken.mom", s), &head), 0);
    std::vector<DigestEntry*> e = chain(head);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(sjis::readField(e[0]->Name1), sj("Ａ"));
    EXPECT_EQ(sjis::readField(e[0]->Text2), sj("ｂ"));
    EXPECT_EQ(sjis::readField(e[0]->Minutes), "");
}

TEST_F(Digest, AMissingMinutesLineLeavesTheNextMatchWhole) {
    std::string s = sj("○Ａ／ａ") + "\r\n" + sj("×Ｂ／ｂ") + "\r\n";
    s += sj("△Ｃ／ｃ") + "\r\n" + sj("△Ｄ／ｄ") + "\r\n" + sj("ここには無い 　３分。") + "\r\n" +
         sj("　３分。次の行") + "\r\n";
    DigestEntry* head = nullptr;
    ASSERT_EQ(vtext::loadMomoFile(write("m.mom", s), &head), 0);
    std::vector<DigestEntry*> e = chain(head);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(sjis::readField(e[0]->Minutes), "");
    EXPECT_EQ(sjis::readField(e[1]->Name1), sj("Ｃ"));
    // Only the first word counts: the second of the two lines gives it.
    EXPECT_EQ(sjis::readField(e[1]->Minutes), sj("３分。次の行"));
}

TEST_F(Digest, ASecondLoadWithAHeadChainsOnlyItsOwnEntries) {
    const std::string path = write("digest.mom", threeMatches());
    DigestEntry* head = nullptr;
    ASSERT_EQ(vtext::loadMomoFile(path, &head), 0);
    DigestEntry* first = head;
    ASSERT_EQ(vtext::loadMomoFile(path, &head), 0);
    EXPECT_EQ(head, first);
    EXPECT_EQ(chain(head).size(), 3u); // the first load's chain is untouched
    EXPECT_EQ(vtext::digestEntriesInUse(), 6u);
    // The second load's entries follow in the block, chained among themselves,
    // numbered from 1 again.
    DigestEntry* second = DigestNext(DigestNext(first)) + 1;
    std::vector<DigestEntry*> e = chain(second);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0]->Second, 1);
    EXPECT_EQ(e[2]->Second, 3);
}

TEST_F(Digest, AFullBlockDropsFurtherEntries) {
    std::string s;
    for (int i = 0; i < 400; ++i) s += sj("○Ａ／ａ") + "\r\n" + sj("×Ｂ／ｂ") + "\r\n";
    const std::string path = write("many.mom", s);
    DigestEntry* head = nullptr;
    ASSERT_EQ(vtext::loadMomoFile(path, &head), 0);
    std::vector<DigestEntry*> e = chain(head);
    ASSERT_EQ(e.size(), vtext::DigestCapacity);
    EXPECT_EQ(vtext::DigestCapacity, 359u);
    // The 61st entry of a load: second 1, one minute on.
    EXPECT_EQ(e[60]->Second, 1);
    EXPECT_EQ(e[60]->Minute, (e[0]->Minute + 1) % 60);
    DigestEntry* more = nullptr;
    EXPECT_EQ(vtext::loadMomoFile(path, &more), 0);
    EXPECT_EQ(more, nullptr);
    vtext::unloadMomoFile();
    EXPECT_EQ(vtext::digestEntriesInUse(), 0u);
    ASSERT_EQ(vtext::loadMomoFile(path, &more), 0);
    EXPECT_NE(more, nullptr);
}

TEST_F(Digest, ALoadAfterAnUnloadChainsOnlyItsOwnEntries) {
    DigestEntry* head = nullptr;
    ASSERT_EQ(vtext::loadMomoFile(write("digest.mom", threeMatches()), &head), 0);
    ASSERT_EQ(chain(head).size(), 3u);
    DigestEntry* const held = head;
    vtext::unloadMomoFile();
    // A caller still holding an entry reads an empty one.
    EXPECT_EQ(held->Next, 0);
    EXPECT_EQ(sjis::readField(held->Name1), "");
    // One match in the reused block: its entry ends the chain.
    const std::string one = sj("○Ａ／ａ") + "\r\n" + sj("×Ｂ／ｂ") + "\r\n";
    head = nullptr;
    ASSERT_EQ(vtext::loadMomoFile(write("one.mom", one), &head), 0);
    EXPECT_EQ(head, held);
    std::vector<DigestEntry*> e = chain(head);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0]->Next, 0);
    EXPECT_EQ(sjis::readField(e[0]->Name1), sj("Ａ"));
    EXPECT_EQ(sjis::readField(e[0]->Minutes), "");
}

TEST_F(Digest, LongTextsAreCutToTheirFields) {
    const std::string longName = sj(std::string(50, 'x') + "長い名前の続きはさらに長くなってゆきます");
    const std::string s = sj("○") + longName + sj("／") + std::string(200, 'o') + "\r\n" + sj("×Ｂ／ｂ") +
                          "\r\n" + sj("　") + std::string(300, '9') + sj("分") + "\r\n";
    DigestEntry* head = nullptr;
    const std::string deep = (dir.path() / std::string(120, 'd')).string();
    std::filesystem::create_directories(deep);
    ASSERT_EQ(vtext::loadMomoFile(write(std::string(120, 'd') + "/x.mom", s), &head), 0);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(sjis::readField(head->Name1), sjis::cut(longName, 79));
    EXPECT_LE(sjis::readField(head->Name1).size(), 79u);
    EXPECT_EQ(sjis::readField(head->Text1), std::string(79, 'o'));
    EXPECT_EQ(sjis::readField(head->Minutes), std::string(255, '9'));
    EXPECT_EQ(sjis::readField(head->Path), (deep + "/x.mom").substr(0, 79));
}

TEST_F(Digest, UnreadableFilesAndNullHeads) {
    DigestEntry* head = nullptr;
    EXPECT_EQ(vtext::loadMomoFile((dir.path() / "missing.mom").string(), &head), 1);
    EXPECT_EQ(vtext::loadMomoFile(dir.folder(), &head), 1);
    EXPECT_EQ(vtext::loadMomoFile("", &head), 1);
    EXPECT_EQ(vtext::loadMomoFile(write("x.mom", threeMatches()), nullptr), 1);
    EXPECT_EQ(head, nullptr);
}

TEST(ResultLine, SplitsMarkNameAndText) {
    std::string name, text;
    EXPECT_EQ(vtext::parseResultLine("        " + sj("○ジョン   ／オーナー Ａ  ") + "\r\n", name, text), 0);
    EXPECT_EQ(name, sj("ジョン"));
    EXPECT_EQ(text, sj("オーナー Ａ  ")); // only the line end is taken off the text
    EXPECT_EQ(vtext::parseResultLine(sj("△名前／分／かれる"), name, text), 2);
    EXPECT_EQ(name, sj("名前"));
    EXPECT_EQ(text, sj("分／かれる"));
    EXPECT_EQ(vtext::parseResultLine(sj("×名前だけ  "), name, text), 1);
    EXPECT_EQ(name, sj("名前だけ"));
    EXPECT_EQ(text, "");
    EXPECT_EQ(vtext::parseResultLine("no mark/here", name, text), -1);
    EXPECT_EQ(name, "");
    // "○" is 81 9B; "メ" (83 81) followed by a character starting 9B holds
    // those bytes across two characters, which is no mark.
    const std::string seam = sj("メ") + "\x9B\x40" + sj("／ｘ");
    EXPECT_EQ(vtext::parseResultLine(seam, name, text), -1);
    EXPECT_FALSE(vtext::isSideLine(seam));
}

TEST(ResultLine, SideLinesNeedTheMarkFirstAndASeparator) {
    EXPECT_TRUE(vtext::isSideLine("\t  " + sj("○名前／")));
    EXPECT_FALSE(vtext::isSideLine(sj("○名前")));
    EXPECT_FALSE(vtext::isSideLine(sj("／○名前")));
    EXPECT_FALSE(vtext::isSideLine(sj("　○名前／オーナー"))); // a full-width blank is part of the word
    EXPECT_FALSE(vtext::isSideLine(""));
}

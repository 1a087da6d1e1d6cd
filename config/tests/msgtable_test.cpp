// The message table and the display attributes through the settings store:
// the built-in defaults, the key and value names, the bounds on counts and
// texts, the base path rule and the colour round trip.
#include "config/dispattr.h"
#include "config/msgtable.h"

#include "testenv.h"

#include <cstring>
#include <vector>

using testsupport::sj;

namespace {

constexpr char Msg[] = "Software\\Corvane\\Message";
constexpr char Vell[] = "Software\\Dunmoor\\CVVell";
constexpr char Display[] = "Software\\Dunmoor\\CVVell\\Display";

std::string key(const std::string& section) {
    return std::string(Msg) + "\\" + section;
}

class MsgTableTest : public cnftest::ConfigTest {
protected:
    // Buffers prefilled with garbage, so that every byte the loader leaves is seen.
    void load() {
        std::memset(base, 0x55, sizeof base);
        announcers.assign(50, AnnouncerEntry{});
        pilots.assign(200, MsgEntry{});
        computers.assign(100, MsgEntry{});
        std::memset(announcers.data(), 0x55, announcers.size() * sizeof(AnnouncerEntry));
        std::memset(pilots.data(), 0x55, pilots.size() * sizeof(MsgEntry));
        std::memset(computers.data(), 0x55, computers.size() * sizeof(MsgEntry));
        std::memset(&words, 0x55, sizeof words);
        na = np = nc = -1;
        cnf::loadMsgTable({base, announcers.data(), &na, pilots.data(), &np, computers.data(), &nc, &words});
    }
    bool save() {
        return cnf::saveMsgTable(
            {base, announcers.data(), na, pilots.data(), np, computers.data(), nc, &words});
    }
    template <class T> static bool zero(const T& rec) {
        T z{};
        return std::memcmp(&rec, &z, sizeof rec) == 0;
    }

    char base[256];
    std::vector<AnnouncerEntry> announcers;
    std::vector<MsgEntry> pilots, computers;
    int na = 0, np = 0, nc = 0;
    MsgWords words;
};

TEST_F(MsgTableTest, EmptyStoreGivesTheBuiltInTable) {
    load();
    EXPECT_EQ(na, 0);
    EXPECT_EQ(np, 0);
    EXPECT_EQ(nc, 0);
    EXPECT_EQ(std::string(announcers[0].Id), sj("基本アナウンサー"));
    EXPECT_EQ(std::string(announcers[0].Name), sj("アナ"));
    EXPECT_EQ(std::string(pilots[0].Id), sj("基本"));
    EXPECT_EQ(std::string(computers[0].Id), sj("基本ＣＯＭ"));
    EXPECT_STREQ(pilots[0].Trigger[0], "");
    EXPECT_TRUE(zero(announcers[1]) && zero(announcers[49]) && zero(pilots[199]) && zero(computers[99]));
    EXPECT_EQ(std::string(words.Emblem1), sj("★"));
    EXPECT_EQ(std::string(words.Emblem2), sj("☆"));
    EXPECT_EQ(std::string(words.Female[5]), sj("オカマ"));
    EXPECT_STREQ(words.Female[9], "");
    EXPECT_EQ(std::string(words.Master[1]), sj("ご主人様"));
    EXPECT_EQ(std::string(words.MySelf[1]), sj("俺"));
    EXPECT_STREQ(words.MySelf[2], "");
    EXPECT_STREQ(base, "");
    ASSERT_EQ(shown(40005), 1);
    auto box = plat::notify::recorded().front();
    EXPECT_EQ(box.caption, plat::msg::text(40000));
    EXPECT_EQ(box.icon, plat::notify::Icon::Information);
}

TEST_F(MsgTableTest, SavedTableLoadsBackFromTheNamedValues) {
    load();
    std::strcpy(base, "Msg\\Base.kwp");
    na = 1;
    std::strcpy(announcers[1].Id, "Ann");
    std::strcpy(announcers[1].Name, "Voice");
    std::strcpy(announcers[1].Path, "Msg\\Ann.kwp");
    np = 2;
    std::strcpy(pilots[2].Id, "Ace");
    std::strcpy(pilots[2].Trigger[3], "T4");
    std::strcpy(pilots[2].Words[0], "W1");
    nc = 1;
    std::strcpy(computers[1].Words[3], "M4");
    std::strcpy(words.Master[9], "Boss");
    ASSERT_TRUE(save());

    EXPECT_EQ(plat::reg::readString(key("Pilot\\Trigger\\0004"), "0001", ""), "T4");
    EXPECT_EQ(plat::reg::readString(key("Pilot\\MySelf\\0001"), "0001", ""), "W1");
    EXPECT_EQ(plat::reg::readString(key("Computer\\Master\\0004"), "0000", ""), "M4");
    EXPECT_EQ(plat::reg::readString(key("Announcer\\Name"), "0000", ""), "Voice");
    EXPECT_EQ(plat::reg::readString(key("Standard"), "Path", ""), "Msg\\Base.kwp");
    EXPECT_EQ(plat::reg::readString(key("Standard\\Master"), "0009", ""), "Boss");
    EXPECT_EQ(plat::reg::readString("Software\\Corvane\\Default", "Emblem1", ""), sj("★"));

    load();
    EXPECT_EQ(na, 1);
    EXPECT_EQ(np, 2);
    EXPECT_STREQ(announcers[1].Path, "Msg\\Ann.kwp");
    EXPECT_STREQ(announcers[0].Path, "Msg\\Base.kwp");
    EXPECT_STREQ(pilots[0].Path, "Msg\\Base.kwp");
    EXPECT_STREQ(pilots[2].Trigger[3], "T4");
    EXPECT_STREQ(computers[1].Words[3], "M4");
    EXPECT_EQ(std::string(words.Master[0]), sj("マスター"));
    EXPECT_STREQ(words.Master[9], "Boss");
    EXPECT_EQ(shown(40005), 1); // only the first, empty load
}

TEST_F(MsgTableTest, OneStoredWordKeepsTheBuiltInWordsOut) {
    plat::reg::writeValue(key("Standard\\MySelf"), "0004", "Me");
    plat::reg::writeValue(key("Standard\\Female"), "0000", "");
    load();
    EXPECT_STREQ(words.MySelf[0], "");
    EXPECT_STREQ(words.MySelf[4], "Me");
    EXPECT_EQ(std::string(words.Female[0]), sj("女")); // ten empty values: built in
}

TEST_F(MsgTableTest, CountsAreClampedAndSlotsAboveThemZeroed) {
    plat::reg::writeValue(key("Announcer"), "Count", "500");
    plat::reg::writeValue(key("Pilot"), "Count", "-3");
    plat::reg::writeValue(key("Computer"), "Count", "7x");
    load();
    EXPECT_EQ(na, 49);
    EXPECT_EQ(np, 0);
    EXPECT_EQ(nc, 0);
    EXPECT_TRUE(zero(pilots[1]) && zero(computers[1]));

    na = 80;
    np = 1000;
    nc = -5;
    ASSERT_TRUE(save());
    EXPECT_EQ(plat::reg::readInteger(key("Announcer"), "Count", 0), 49);
    EXPECT_EQ(plat::reg::readInteger(key("Pilot"), "Count", 0), 199);
    EXPECT_EQ(plat::reg::readInteger(key("Computer"), "Count", 0), 0);
}

TEST_F(MsgTableTest, LongTextsAreCutAndLongPathsLeftEmpty) {
    std::string id = "A";
    for (int i = 0; i < 20; ++i) id += sj("メ");
    std::string path(80, 'p');
    plat::reg::writeInteger(key("Pilot"), "Count", 1);
    plat::reg::writeValue(key("Pilot\\Id"), "0000", id);
    plat::reg::writeValue(key("Pilot\\Path"), "0000", path);
    plat::reg::writeValue(key("Pilot\\Trigger\\0001"), "0000", path.substr(0, 79));
    load();
    EXPECT_EQ(std::string(pilots[1].Id), id.substr(0, 31));
    EXPECT_STREQ(pilots[1].Path, "");
    EXPECT_EQ(std::string(pilots[1].Trigger[0]), path.substr(0, 31));

    // A base path of 80 to 255 bytes fills the buffer but not the built-in entries.
    plat::notify::clearRecorded();
    plat::reg::writeValue(key("Standard"), "Path", std::string(100, 'b'));
    load();
    EXPECT_EQ(std::string(base), std::string(100, 'b'));
    EXPECT_STREQ(announcers[0].Path, "");
    EXPECT_STREQ(pilots[0].Path, "");
    EXPECT_EQ(shown(40005), 0);

    plat::reg::writeValue(key("Standard"), "Path", std::string(256, 'b'));
    load();
    EXPECT_STREQ(base, "");
    EXPECT_EQ(shown(40005), 1);
}

TEST_F(MsgTableTest, DefaultBasePathComesFromTheInstallation) {
    plat::reg::writeValue(Vell, "InstPath", "C:\\CVV\\Vell.exe");
    plat::reg::writeValue(Vell, "BasicMsg", "\\Message\\");
    load();
    EXPECT_STREQ(base, "C:\\CVV\\Message\\");
    EXPECT_STREQ(computers[0].Path, "C:\\CVV\\Message\\");

    // The last backslash is found by walking characters: ソ ends in 5C.
    plat::reg::writeValue(Vell, "InstPath", "C:\\" + sj("ソ"));
    plat::reg::writeValue(Vell, "BasicMsg", "M");
    load();
    EXPECT_STREQ(base, "C:M");

    plat::reg::writeValue(Vell, "InstPath", "Vell.exe");
    load();
    EXPECT_STREQ(base, "");
    EXPECT_EQ(shown(40005), 1);
}

TEST_F(MsgTableTest, DisplayAttributesDefaultsAndRoundTrip) {
    DispAttribute a;
    std::memset(&a, 0x55, sizeof a);
    cnf::loadDispAttribute(a);
    EXPECT_EQ(a.DispSplash, 1);
    EXPECT_EQ(std::string(a.FontName), sj("ＭＳ ゴシック"));
    EXPECT_STREQ(a.ThemeFile, "default.ini");
    EXPECT_EQ(a.FontSize, 9);
    EXPECT_EQ(a.Color[0], 0xffffffu);
    EXPECT_EQ(a.Color[4], 0xc08000u);
    EXPECT_EQ(a.Color[7], 0xa00000u);
    EXPECT_EQ(a.Color[8], 0x80000008u);
    EXPECT_EQ(a.Color[10], 0xa00000u);
    EXPECT_EQ(a.Color[19], 0x80000008u);

    plat::reg::writeValue(Display, "Color00", "0x00ff0000");
    plat::reg::writeValue(Display, "Color01", "80000008");
    plat::reg::writeValue(Display, "Color02", "0xZZ");
    plat::reg::writeValue(Display, "Color03", "");
    plat::reg::writeValue(Display, "FontSize", "12pt");
    plat::reg::writeValue(Display, "DispSplash", "0");
    cnf::loadDispAttribute(a);
    EXPECT_EQ(a.Color[0], 0x00ff0000u);
    EXPECT_EQ(a.Color[1], 0x80000008u);
    EXPECT_EQ(a.Color[2], 0xffff80u);
    EXPECT_EQ(a.Color[3], 0x00ffffu);
    EXPECT_EQ(a.FontSize, 9);
    EXPECT_EQ(a.DispSplash, 0);

    std::strcpy(a.ThemeFile, "Themes\\dark.ini");
    a.FontSize = 14;
    a.Color[19] = 0xABCDEF01u;
    a.DispSplash = 5;
    ASSERT_TRUE(cnf::saveDispAttribute(a));
    EXPECT_EQ(plat::reg::readString(Vell, "ThemeFile", ""), "Themes\\dark.ini");
    EXPECT_FALSE(plat::reg::valueExists(Display, "ThemeFile"));
    EXPECT_EQ(plat::reg::readString(Display, "Color19", ""), "0xabcdef01");
    EXPECT_EQ(plat::reg::readString(Display, "Color01", ""), "0x80000008");
    EXPECT_EQ(plat::reg::readString(Display, "DispSplash", ""), "1");
    EXPECT_EQ(plat::reg::readString(Display, "FontSize", ""), "14");
    DispAttribute b;
    cnf::loadDispAttribute(b);
    a.DispSplash = 1;
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
}

} // namespace

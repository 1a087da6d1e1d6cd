// The catalogs: the sample weapon data folder, the worked records, and
// broken or unusual folders built from it.
#include "akdata/catalog.h"
#include "fixtures.h"

#include "base/sjis.h"
#include "platform/notify.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstring>

using testsupport::sj;
using testsupport::u8;
using namespace akdata;

namespace {

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::notify::setHeadlessEcho(false);
        plat::notify::clearRecorded();
        akfix::copySampleCatalog(dir.path());
    }
    std::string folder() const { return dir.folder(); }
    std::filesystem::path file(const char* name) const { return dir.path() / name; }
    std::vector<std::string> shown() const {
        std::vector<std::string> texts;
        for (const auto& r : plat::notify::recorded()) texts.push_back(u8(r.text));
        return texts;
    }
    testsupport::TempDir dir;
    CatalogSet set;
};

} // namespace

TEST_F(CatalogTest, SampleFolderLoadsWhole) {
    ASSERT_EQ(loadWeapon(set, folder()), 1);
    EXPECT_TRUE(plat::notify::recorded().empty());
    EXPECT_EQ(set.version, "SAMPLE-1.00");
    EXPECT_EQ(set.weaponCount, 11);
    EXPECT_EQ(set.frameCount(), 3);
    EXPECT_EQ(set.partCount(PartKind::Engine), 3);
    EXPECT_EQ(set.partCount(PartKind::Turbo), 1);
    EXPECT_EQ(set.frames.back(), nullptr);

    // The worked weapon record.
    const WpDataRecord& r = *set.weapons[0];
    EXPECT_EQ(r.Number, 1);
    EXPECT_EQ(u8(wpName(r)), "ビームライフル");
    EXPECT_EQ(r.Mount[0], 1); // 手 with hand kind 1
    EXPECT_EQ(u8(wpAttributes(r)), "Ｂ");
    EXPECT_EQ(u8(wpText(r)), "サンプル");
    EXPECT_EQ(r.Price, 850);
    EXPECT_EQ(r.ShotsPerAttackAlt, 1);
    EXPECT_EQ(r.HitRate[8], 30);
    EXPECT_EQ(r.Power[4], 11);
    EXPECT_EQ(r.Destructive, 2);
    EXPECT_EQ(set.weapons[1]->Mount[0], 2); // 手, both hands only
    EXPECT_EQ(set.weapons[2]->Mount[0], MountCodeShoulder);
    EXPECT_EQ(set.weapons[3]->Mount[0], MountCodeArm);
    EXPECT_EQ(set.weapons[3]->HitTaken, 15);
    EXPECT_EQ(set.weapons[9]->Mount[0], MountCodeNone);
    EXPECT_EQ(u8(weaponName(set.weaponNames.data(), set.weaponCount, 7)), "ビームサーベル");
    EXPECT_EQ(weaponName(set.weaponNames.data(), set.weaponCount, 12), "");

    // The worked frame and engine; durabilities head, LA, RA, LL, RL, body.
    const FrameCatalogEntry& f = *set.frames[1];
    EXPECT_EQ(u8(sjis::readField(f.Name)), "ＭＦＭ０２");
    EXPECT_EQ(f.Price, 1500);
    EXPECT_EQ(f.Weight, 120);
    EXPECT_EQ(f.Evasion, 15);
    const int32_t dur[6] = {40, 50, 50, 60, 60, 90};
    for (int p = 0; p < 6; ++p) EXPECT_EQ(f.Durability[p], dur[p]);
    EXPECT_EQ(f.EngineLevel, 3);
    const PartCatalogEntry& e = *set.table(PartKind::Engine)[1];
    EXPECT_EQ(sjis::readField(e.Name), "ENG-300   "); // the engine name keeps its padding
    EXPECT_EQ(e.Values[pv::EngineWeight], 40);
    EXPECT_EQ(e.Values[pv::EnginePrice], 900);
    EXPECT_EQ(e.Values[pv::EnginePower], 600);
    EXPECT_EQ(sjis::readField(set.table(PartKind::Sensor)[1]->Type), "WC");
    EXPECT_EQ(set.table(PartKind::Mover)[0]->Values[pv::MoverMovement], 2);

    // Letters by use, most first (ties in order of appearance).
    ASSERT_GE(set.letters.size(), 5u);
    EXPECT_EQ(u8(set.letters[0].letter), "白");
    EXPECT_EQ(set.letters[0].count, 3);
    EXPECT_EQ(
        u8(set.letters[1].letter + set.letters[2].letter + set.letters[3].letter + set.letters[4].letter),
        "Ｂ盾切受");
}

TEST_F(CatalogTest, FolderWithOrWithoutSeparatorAndAnyLetterCase) {
    std::string noSlash = folder();
    noSlash.pop_back();
    ASSERT_EQ(loadWeapon(set, noSlash), 1);
    EXPECT_EQ(set.weaponCount, 11);
    std::filesystem::rename(file("wver.$$$"), file("WVER.$$$"));
    std::filesystem::rename(file("mf.cat"), file("MF.CAT"));
    ASSERT_EQ(loadWeapon(set, folder()), 1);
    EXPECT_EQ(set.frameCount(), 3);
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(CatalogTest, VersionFileLineEnds) {
    EXPECT_EQ(parseVersionFile("SAMPLE-1.00"), "SAMPLE-1.00"); // no line end: nothing lost
    EXPECT_EQ(parseVersionFile("V2\r\r\nsecond"), "V2");
    std::string longLine = "a" + std::string(100, '\x82');
    EXPECT_EQ(parseVersionFile(longLine).size(), 79u); // 'a' and 39 whole characters
    testsupport::writeFile(file("wver.$$$"), "SAMPLE-1.00");
    ASSERT_EQ(loadWeapon(set, folder()), 1);
    EXPECT_EQ(set.version, "SAMPLE-1.00");
}

TEST_F(CatalogTest, WeponDatBeatsWeaponDat) {
    std::string weapons = testsupport::readFile(file("weapon.dat"));
    testsupport::writeFile(file("WEPON.DAT"), weapons.substr(180, 180)); // one record
    ASSERT_EQ(loadWeapon(set, folder()), 1);
    EXPECT_EQ(set.weaponCount, 1);
    EXPECT_EQ(u8(wpName(*set.weapons[0])), "ロングキャノン");
    EXPECT_EQ(set.weapons[0]->Number, 1);
}

TEST_F(CatalogTest, EmptyPartialAndMissingCatalogs) {
    std::string weapons = testsupport::readFile(file("weapon.dat"));
    testsupport::writeFile(file("weapon.dat"), "");
    ASSERT_EQ(loadWeapon(set, folder()), 1);
    EXPECT_EQ(set.weaponCount, 0);
    EXPECT_TRUE(set.letters.empty());

    testsupport::writeFile(file("weapon.dat"), weapons.substr(0, 2 * 180 + 100));
    ASSERT_EQ(loadWeapon(set, folder()), 1);
    EXPECT_EQ(set.weaponCount, 2);

    std::filesystem::remove(file("weapon.dat"));
    std::filesystem::remove(file("sen.cat"));
    ASSERT_EQ(loadWeapon(set, folder()), 1); // a missing weapon catalog is silent
    EXPECT_EQ(set.weaponCount, 0);
    EXPECT_EQ(set.partCount(PartKind::Sensor), 0);
    EXPECT_EQ(shown(),
              std::vector<std::string>{"武装データファイル(" + dir.folder() + "sen.cat)が読みこめません"});
}

TEST_F(CatalogTest, MissingVersionFileFailsTheLoad) {
    std::filesystem::remove(file("wver.$$$"));
    EXPECT_EQ(loadWeapon(set, folder()), 0);
    EXPECT_EQ(shown(),
              std::vector<std::string>{"武装データファイル(" + dir.folder() + "wver.$$$)が読みこめません"});
}

TEST_F(CatalogTest, BadMountCodeDropsTheSet) {
    std::string weapons = testsupport::readFile(file("weapon.dat"));
    weapons.replace(180 * 2 + 32, 2, sj("足"));
    testsupport::writeFile(file("weapon.dat"), weapons);
    ASSERT_EQ(loadWeapon(set, folder()), 0);
    EXPECT_EQ(set.weaponCount, 0);
    EXPECT_EQ(set.frameCount(), 0);
    EXPECT_EQ(shown(),
              std::vector<std::string>{"武装データファイル(" + dir.folder() + "weapon.dat)の形式が不正です"});

    // Read on its own, the records before the bad one stay.
    WpDataRecord* table[WeaponCapacity] = {};
    EXPECT_EQ(loadWpData(set, (dir.path() / "weapon.dat").string(), table), 1);
    EXPECT_EQ(set.weaponCount, 2);
    EXPECT_EQ(table[1], set.weapons[1]);
}

TEST_F(CatalogTest, RecordsWithoutBlanksAndOverlongCatalogs) {
    // A name, attribute and text that fill their fields end nowhere in the
    // image; the copies beside it are terminated.
    std::string rec = testsupport::readFile(file("weapon.dat")).substr(0, 180);
    rec.replace(2, 30, std::string(30, 'N'));
    rec.replace(34, 18, std::string(18, '\x82'));
    rec.replace(120, 60, std::string(60, 'T'));
    std::string many;
    for (int i = 0; i < WeaponCapacity + 5; ++i) many += rec;
    WeaponParse parse = parseWeaponCatalog(many);
    ASSERT_EQ(parse.entries.size(), static_cast<size_t>(WeaponCapacity));
    EXPECT_EQ(wpName(parse.entries[0].record), std::string(30, 'N'));
    EXPECT_EQ(std::strlen(parse.entries[0].Name), 30u);
    EXPECT_EQ(std::strlen(parse.entries[0].Attributes), 18u);
    EXPECT_EQ(std::strlen(parse.entries[0].Text), 60u);
    EXPECT_EQ(parse.entries[799].record.Number, 800);

    std::string frames = testsupport::readFile(file("mf.cat"));
    std::string manyFrames;
    for (int i = 0; i < 40; ++i) manyFrames += frames;
    EXPECT_EQ(parseFrameCatalog(manyFrames).size(), static_cast<size_t>(PartCapacity));
}

TEST_F(CatalogTest, NumberFieldsOfPartCatalogs) {
    // Blanks and Ctrl-Z are skipped, a '-' anywhere negates.
    std::string rec = sj("エンジン") + "  " + " -12" +
                      "\x1a"
                      "30" +
                      "1 0-";
    ASSERT_EQ(rec.size(), 21u);
    std::vector<PartCatalogEntry> parts = parsePartCatalog(PartKind::Engine, rec + "short");
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_EQ(parts[0].Values[pv::EnginePower], -12);
    EXPECT_EQ(parts[0].Values[pv::EngineWeight], 30);
    EXPECT_EQ(parts[0].Values[pv::EnginePrice], -10);
}

TEST_F(CatalogTest, WeaponInfoSetByTheCaller) {
    ASSERT_EQ(loadWeapon(set, folder()), 1);
    // The set's own table handed back keeps its names.
    setWeaponInfo(set, 3, set.weaponNames.data());
    EXPECT_EQ(set.weaponCount, 3);
    EXPECT_EQ(u8(weaponName(set.weaponNames.data(), 3, 3)), "ミサイルランチャー");
    EXPECT_EQ(weaponName(set.weaponNames.data(), 3, 4), "");
    setWeaponInfo(set, 5000, nullptr);
    EXPECT_EQ(set.weaponCount, WeaponCapacity);
    setWeaponInfo(set, -1, nullptr);
    EXPECT_EQ(set.weaponCount, 0);
}

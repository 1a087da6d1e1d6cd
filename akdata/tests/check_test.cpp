// The entry checks on the samples and on AKs changed line by line, with the
// report texts the check dialog shows.
#include "akdata/akcheck.h"
#include "fixtures.h"

#include "akdata/akfile.h"
#include "akdata/sheettext.h"
#include "platform/catalogue.h"
#include "platform/notify.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

using akfix::withLine;
using testsupport::sj;
using testsupport::u8;
using namespace akdata;

namespace {

class CheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::notify::setHeadlessEcho(false);
        ASSERT_EQ(loadWeapon(set, akfix::dataDir() + "WpData"), 1);
    }
    int check(TArmoredKnight ak) {
        report.clear();
        return checkAkData(ak, viewOf(set), report);
    }
    bool reportHas(const std::string& utf8) const { return report.find(sj(utf8)) != std::string::npos; }
    CatalogSet set;
    std::string report;
};

// A label line of the report: the label, the value padded to 30 bytes.
std::string labelled(const std::string& label, const std::string& value) {
    return sj(label) + padRight(sj(value), 30);
}

const std::string Ok = " ＯＫ\r\n";

} // namespace

TEST_F(CheckTest, SamplesPassButTheTamperedOne) {
    for (const char* name :
         {"ak01.dat", "ak02.dat", "ak03.dat", "ak04.dat", "ak05.dat", "ak06.dat", "ak08.dat"}) {
        EXPECT_EQ(check(akfix::sample(name)), 0) << name << "\n" << u8(report);
    }
    EXPECT_EQ(check(akfix::sample("ak07.dat")), 1);
    EXPECT_TRUE(reportHas("＊＊＊ パラメータがカタログと異なります ＊＊＊\r\nカタログ：\r\n  No. 001\r\n"));
    EXPECT_TRUE(reportHas("\r\nデータ：\r\n  No. 001\r\n"));
    EXPECT_TRUE(reportHas("    威力:  14  14  12  12  11  10   9   8   7\r\n"));
    EXPECT_TRUE(reportHas("    威力:  12  12  12  12  11  10   9   8   7\r\n"));
}

TEST_F(CheckTest, PassingReport) {
    EXPECT_EQ(check(akfix::sample("ak01.dat")), 0);
    std::string expected =
        labelled("必須項目チェック　：", "") + sj(Ok) + labelled("武装バージョン　　：", "SAMPLE-1.00") +
        sj(Ok) + labelled("ムーバルフレーム　：", "ＭＦＭ０２") + sj(Ok) +
        labelled("エンジン　　　　　：", "ENG-300") + sj(Ok) +
        labelled("センサー　　　　　：", "標準センサー") + sj(Ok) +
        labelled("装甲　　　　　　　：", "スチール装甲") + sj(Ok) + // no mover bought: no line
        labelled("コンピュータ　　　：", "ブレイン２") + sj(Ok) +
        labelled("ミッションディスク：", "格闘支援ＭＤ") + sj(Ok) +
        labelled("脱出装置　　　　　：", "脱出ポッド") + sj(Ok) +
        labelled("武装　　　　　　　：", "ビームライフル") + sj(Ok) +
        labelled("武装　　　　　　　：", "シールド") + sj(Ok);
    EXPECT_EQ(u8(report), u8(expected));
}

TEST_F(CheckTest, MissingMustItemsAreListedInOrder) {
    std::vector<std::string> lines = akfix::sampleLines("ak01.dat");
    lines[8] = "\"ＭＦＭ０２\",15,120,0,40,50,50,60,60,90";
    lines[12] = "\"ENG-300\",40,0,600";
    lines[58] = "\"SAMPLE-1.00\",\"\",1000,\"腕利きのメカニック集団。\",0";
    TArmoredKnight ak{};
    ASSERT_EQ(parseAkData(ak, akfix::crlf(lines)), LoadOk);
    EXPECT_EQ(checkAkData(ak, CatalogView{}, report), 3); // no catalog needed
    std::string expected =
        labelled("必須項目チェック　：", "") + sj("\r\n＊＊＊ 必須項目の設定が不充分です ＊＊＊\r\n");
    for (int id : {42000, 42001, 42009}) expected += std::string(plat::msg::text(id)) + "\r\n";
    EXPECT_EQ(u8(report), u8(expected));
    const uint8_t flags[12] = {0, 0, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(+ak.MustItemOk[i], flags[i]) << i;

    EXPECT_EQ(check(withLine("ak01.dat", 47, "40,40,30")), 1);
    EXPECT_EQ(report, labelled("必須項目チェック　：", "") +
                          sj("\r\n＊＊＊ 必須項目の設定が不充分です ＊＊＊\r\n") +
                          std::string(plat::msg::text(42010)) + "\r\n");
}

TEST_F(CheckTest, VersionMismatch) {
    EXPECT_EQ(check(withLine("ak01.dat", 59, "\"SAMPLE-0.9\",\"整備班ガンマ\",1000,\"\",0")), 1);
    EXPECT_TRUE(report.ends_with(labelled("武装バージョン　　：", "SAMPLE-0.9") +
                                 sj("\r\n＊＊＊ 武装データのバージョンが一致しません ＊＊＊\r\n"
                                    "  カタログ：SAMPLE-1.00\r\n  データ　：SAMPLE-0.9\r\n")));
}

TEST_F(CheckTest, PartDifferingFromItsCatalogEntry) {
    EXPECT_EQ(check(withLine("ak01.dat", 13, "\"ENG-300\",40,950,600")), 1);
    EXPECT_TRUE(report.ends_with(labelled("エンジン　　　　　：", "ENG-300") +
                                 sj("\r\n＊＊＊ パラメータがカタログと異なります ＊＊＊\r\n"
                                    "              価格 重量 パワー\r\n"
                                    "  カタログ：   900   40    600\r\n"
                                    "  データ　：   950   40    600\r\n")))
        << u8(report);

    EXPECT_EQ(check(withLine("ak01.dat", 15, "\"標準センサー\",200,5,5,5,\"WC\"")), 1);
    EXPECT_TRUE(reportHas("              価格 重量 攻撃 防御 タイプ\r\n"
                          "  カタログ：   200    5    5    5     NM\r\n"
                          "  データ　：   200    5    5    5     WC\r\n"));
}

TEST_F(CheckTest, PartsMissingFromTheCatalog) {
    EXPECT_EQ(check(withLine("ak01.dat", 15, "\"謎のセンサー\",200,5,5,5,\"NM\"")), 1);
    EXPECT_TRUE(report.ends_with(sj("\r\n＊＊＊ カタログにないセンサーです ＊＊＊\r\n\r\n")));
    // An empty name matches nothing, not the first entry.
    EXPECT_EQ(check(withLine("ak01.dat", 17, "\"\",10,10,300")), 1);
    EXPECT_TRUE(report.ends_with(sj("\r\n＊＊＊ カタログにない脱出装置です ＊＊＊\r\n\r\n")));
    // A part of a catalog name, starting on one of its characters, is found.
    EXPECT_EQ(check(withLine("ak01.dat", 15, "\"センサー\",200,5,5,5,\"NM\"")), 0);
    EXPECT_EQ(check(withLine("ak01.dat", 21, "99,0,0,\"\",10")), 1);
    EXPECT_TRUE(report.ends_with(sj("\r\n＊＊＊ カタログにない武装です ＊＊＊\r\n\r\n")));
}

TEST_F(CheckTest, CustomFramePricedTwoHundredMore) {
    EXPECT_EQ(check(withLine("ak01.dat", 9, "\"ＭＦＭ０２／ＭＣ\",15,120,1700,40,50,50,60,60,90")), 0);
    EXPECT_EQ(check(withLine("ak01.dat", 9, "\"ＭＦＭ０２／ＭＣ\",15,120,1500,40,50,50,60,60,90")), 1);
    // Reaction 3 + 5 - 51 + 100 = 57: punches hit 68, kicks 58.
    EXPECT_TRUE(report.ends_with(sj("\r\n＊＊＊ パラメータがカタログと異なります ＊＊＊\r\n"
                                    "              価格 重量 回避 頭部 胴部 右腕 左腕 右脚 左脚\r\n"
                                    "  カタログ：  1700  120   15   40   90   50   50   60   60\r\n"
                                    "  データ　：  1500  120   15   40   90   50   50   60   60\r\n"
                                    "            エンジン               パンチ      キック\r\n"
                                    "             レベル    破壊力   命中率,威力  命中率,威力\r\n"
                                    "  カタログ：      3  2/ 2/ 2/ 2 68/68, 5/ 5  58/58, 6/ 6\r\n"
                                    "  データ　：      3  2/ 2/ 2/ 2 68/68, 5/ 5  58/58, 6/ 6\r\n\r\n")))
        << u8(report);
    EXPECT_EQ(check(withLine("ak01.dat", 9, "\"ＭＦＭ９９\",15,120,1500,40,50,50,60,60,90")), 1);
    EXPECT_TRUE(report.ends_with(sj("\r\n＊＊＊ カタログにないフレームです ＊＊＊\r\n\r\n")));
}

TEST_F(CheckTest, WeaponMountsAreClaimedAcrossSlots) {
    std::vector<std::string> lines = akfix::sampleLines("ak01.dat");
    lines[21] = "\"ビームサーベル\",\"右手\",\"白切Ｂ\",0,0,75,0,0,0,0,0,0,0,0";
    lines[22] = "22,0,0,0,0,0,0,0,0,4";
    lines[23] = "0,0,0,0,0,0,0,10,900,0";
    lines[24] = "7,0,0,\"\",0";
    TArmoredKnight ak{};
    ASSERT_EQ(parseAkData(ak, akfix::crlf(lines)), LoadOk);
    EXPECT_EQ(check(ak), 1);
    EXPECT_NE(report.find(labelled("武装　　　　　　　：", "ビームライフル") + sj(Ok)), std::string::npos);
    EXPECT_TRUE(report.ends_with(sj("\r\n武装の装備位置が重複しています。\r\n")));

    // A one-hand-only weapon held in both hands has a bad mount text.
    lines[21] = "\"ビームサーベル\",\"両手\",\"白切Ｂ\",0,0,75,0,0,0,0,0,0,0,0";
    lines[17] = "\"\",\"\",\"\",0,0,0,0,0,0,0,0,0,0,0";
    lines[19] = "0,0,0,0,0,0,0,0,0,0";
    ASSERT_EQ(parseAkData(ak, akfix::crlf(lines)), LoadOk);
    EXPECT_EQ(check(ak), 1);
    EXPECT_TRUE(report.ends_with(sj("\r\n武装の装備位置を示す文字列が不正です。\r\n")));
}

TEST_F(CheckTest, NameSuffixMarks) {
    // ＋: price and a half, double weight.
    std::vector<std::string> lines = akfix::sampleLines("ak01.dat");
    lines[17] = "\"ビームライフル＋\",\"右手\",\"Ｂ\",10,1,60,65,70,70,65,60,50,40,30";
    lines[19] = "0,0,0,0,0,0,0,60,1275,0";
    TArmoredKnight ak{};
    ASSERT_EQ(parseAkData(ak, akfix::crlf(lines)), LoadOk);
    EXPECT_EQ(check(ak), 0) << u8(report);

    // Ｐ: power + 2 at the distances where the slot's hit rate is 1 or more.
    lines = akfix::sampleLines("ak01.dat");
    lines[21] = "\"ヒートソードＰ\",\"左手\",\"白切\",0,0,70,0,0,0,0,0,0,0,0";
    lines[22] = "22,0,0,0,0,0,0,0,0,3";
    lines[23] = "0,0,0,0,0,0,0,15,600,0";
    lines[24] = "5,0,0,\"\",0";
    ASSERT_EQ(parseAkData(ak, akfix::crlf(lines)), LoadOk);
    EXPECT_EQ(check(ak), 0) << u8(report);
    lines[22] = "22,2,0,0,0,0,0,0,0,3";
    ASSERT_EQ(parseAkData(ak, akfix::crlf(lines)), LoadOk);
    EXPECT_EQ(check(ak), 1);
    // The sheets show the marks: attacks two thirds, powers + 2.
    EXPECT_TRUE(reportHas("    威力:  22   2   2   2   2   2   2   2   2\r\n\r\nデータ：\r\n"));
}

TEST_F(CheckTest, AttributeAndNamePrefixes) {
    TArmoredKnight ak = akfix::sample("ak01.dat");
    WpDataRecord& rifle = *set.weapons[0];
    sjis::writeField(rifle.Attributes, sizeof rifle.Attributes, sj("Ｘ"));
    EXPECT_EQ(check(ak), 0); // Ｘ stands for any letter
    sjis::writeField(rifle.Attributes, sizeof rifle.Attributes, sj("Ｂ盾"));
    EXPECT_EQ(check(ak), 1); // the slot's letters are shorter
    sjis::writeField(rifle.Attributes, sizeof rifle.Attributes, sj("Ｂ"));
    sjis::writeField(ak.Weapon[0].Name, sj("改ビームライフル"));
    EXPECT_EQ(check(ak), 1); // the catalog name must start the slot's name
}

TEST_F(CheckTest, WeightFlags) {
    int32_t flags[7];
    EXPECT_EQ(checkAkWeight(akfix::sample("ak01.dat"), viewOf(set), flags), 0);
    TArmoredKnight ak = withLine("ak01.dat", 9, "\"ＭＦＭ０２／ＭＣ\",15,130,1700,40,50,50,60,60,90");
    ak.Weapon[0].Weight = 31;
    sjis::writeField(ak.Weapon[1].Name, sj("シールド＋"));
    ak.Weapon[1].Weight = 50; // doubled with ＋: as the catalog says
    EXPECT_EQ(checkAkWeight(ak, viewOf(set), flags), 2);
    EXPECT_EQ(flags[0], 1);
    EXPECT_EQ(flags[1], 1);
    EXPECT_EQ(flags[2], 0);
    ak.Weapon[0].CatalogNo = 12; // outside the catalog
    checkAkWeight(ak, viewOf(set), flags);
    EXPECT_EQ(flags[1], 0);
}

TEST_F(CheckTest, CallerTablesAndWeaponInfo) {
    // The weapon count comes from the library's setting, not the table.
    CatalogView view = viewOf(set);
    view.weaponCount = 1;
    TArmoredKnight ak = akfix::sample("ak01.dat");
    EXPECT_EQ(checkAkData(ak, view, report), 1);
    EXPECT_TRUE(report.ends_with(sj("\r\n＊＊＊ カタログにない武装です ＊＊＊\r\n\r\n")));
}

// Detail sheets, weapon sheets, the pilot block, the file-head summary and
// the trigger lists, compared with the texts they must give.
#include "akdata/aksheets.h"
#include "fixtures.h"

#include "akdata/akcheck.h"
#include "akdata/akfile.h"
#include "akdata/digest.h"
#include "akdata/partsheet.h"
#include "akdata/pilotinf.h"
#include "akdata/sheettext.h"
#include "akdata/trigger.h"
#include "akdata/wpsheet.h"
#include "base/akparams.h"
#include "platform/notify.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstring>

using testsupport::sj;
using testsupport::u8;
using namespace akdata;

namespace {

bool has(const std::string& text, const std::string& utf8) {
    return text.find(sj(utf8)) != std::string::npos;
}

std::string blanks(size_t n) {
    return std::string(n, ' ');
}

} // namespace

TEST(Sheets, PilotSheet) {
    std::string expected = "オーナー名　：田中一郎／ＰＢＭ－０００１\r\n"
                           "所持金総額　：６２００Ｃｒ．\r\n"
                           "パイロット名：アレックス・ロウ／２４歳、男性\r\n"
                           "一人称　　　：俺\r\n"
                           "戦績　　　　：５戦３勝０分け　２体破壊　０人殺害 （勝率６０％）\r\n"
                           "経験修正値　：攻撃５％　防御５％　脱出５％\r\nエンブレム　：なし\r\n"
                           "戦歴・称号　：期待の新人\r\n\r\n"
                           "プロフィール：元テストパイロット。冷静沈着な性格で、射撃戦を得意とする。\r\n\r\n"
                           "\r\nメカニック名：整備班ガンマ　Ｌｖ:１０００[＋３修正]\r\n"
                           "プロフィール：腕利きのメカニック集団。\r\n\r\n";
    EXPECT_EQ(u8(akDetailSheet(akfix::sample("ak01.dat"), 0)), expected);

    // A negative DEX has no plus sign; an emblem is shown in its marks.
    std::string sheet = akDetailSheet(akfix::sample("ak02.dat"), 0);
    EXPECT_TRUE(has(sheet, "Ｌｖ:－１６０[－２修正]"));
    EXPECT_TRUE(has(sheet, "エンブレム　：《北斗七星》\r\n"));
    TArmoredKnight rookie{};
    EXPECT_TRUE(has(akDetailSheet(rookie, 0), "（勝率０％）"));
}

TEST(Sheets, WrappingAtSeventySixBytes) {
    std::string text(100, 'x');
    EXPECT_EQ(wrapLabelled("LABEL:", text),
              "LABEL:" + std::string(70, 'x') + "\r\n      " + std::string(30, 'x') + "\r\n\r\n");
    // A double-byte character that would straddle byte 76 goes to the next line.
    std::string odd(38, 'y');
    for (int i = 0; i < 20; ++i) odd += sj("あ");
    EXPECT_EQ(wrapLabelled("L", odd).find("\r\n"), 75u); // 1 + 38 + 18 characters of 2 bytes
    EXPECT_EQ(wrapLabelled("L", ""), "L\r\n\r\n");
}

TEST(Sheets, SpecificationSheetWithWeightLosingWeapons) {
    TArmoredKnight ak = akfix::sample("ak06.dat");
    std::string sheet = akDetailSheet(ak, 2);
    // Now, then with the gatling and then the launcher emptied.
    TArmoredKnight copy = ak;
    int32_t r[7], m[7];
    ASSERT_EQ(ak::CalcWpRespMove(copy, r, m), 3);
    std::string reaction = zen(ak.Reaction) + "/" + zen(r[1]) + "/" + zen(r[2]);
    EXPECT_TRUE(sheet.find(sj("反応性能：") + padRight(reaction, 16) + sj("移動力　：")) != std::string::npos)
        << u8(sheet);
    EXPECT_TRUE(has(sheet, "頭部装甲：  ５　頭部耐久力：  ３０　パンチ　　　：６６％　威力４　破壊力１\r\n"));
    EXPECT_TRUE(
        has(sheet, "右脚装甲：  ５　右脚耐久力：  ４５　反応増幅装置：ハイパーブースト[20%,10分]\r\n"));
    EXPECT_TRUE(has(sheet, "左脚装甲：  ５　左脚耐久力：  ４５　脱出装置　　：脱出ポッド[+10%]\r\n\r\n"));
    EXPECT_TRUE(
        has(sheet, "1:ビームライフル" + blanks(17) + "Ｂ" + blanks(17) + "右手　   １０    ０   ４\r\n"));
    EXPECT_TRUE(has(sheet, "4:\r\n5:\r\n6:\r\n"));

    // Unnamed parts still show their values: 20 %, 10 minutes; +0 %.
    ak.Turbo.Name[0] = '\0';
    ak.Escape.Name[0] = '\0';
    ak.Escape.EscapeBonus = 0;
    sheet = akDetailSheet(ak, 2);
    EXPECT_TRUE(has(sheet, "反応増幅装置：[20%,10分]\r\n")) << u8(sheet);
    EXPECT_TRUE(has(sheet, "脱出装置　　：[+0%]\r\n\r\n"));
}

TEST(Sheets, WeaponDataTable) {
    TArmoredKnight ak = akfix::sample("ak01.dat");
    std::string sheet = akDetailSheet(ak, 3);
    EXPECT_TRUE(has(sheet, "ビームライフル" + blanks(10) +
                               "ZZZZZZZZU CCCCBA987 2 1 -- -- - - - x --   0 30  850\r\n"))
        << u8(sheet);
    EXPECT_TRUE(
        has(sheet, "シールド" + blanks(16) + "000000000 000000000 0 0 -- -- - - - x 15   7 25  400\r\n"));
    EXPECT_TRUE(has(sheet, std::string(77, '-') + "\r\n　　総合防御率:15%　総合被弾率:7%\r\n"));

    // Hit rate 12 with a melee bonus of 2 (reaction 100..149) shows "E";
    // negative values show "0", the anti-beam mark "o".
    TArmoredKnight melee{};
    melee.Reaction = 120;
    TAkWeapon& w = melee.Weapon[0];
    sjis::writeField(w.Name, sj("ヒートソード"));
    sjis::writeField(w.Attributes, sj("白切"));
    w.Price = 600;
    w.HitRate[0] = 12;
    w.HitRate[1] = -5;
    w.Power[0] = 40;
    w.Destructive = -3;
    w.AttackDown = -7;
    w.AntiBeam = 1;
    sheet = akDetailSheet(melee, 3);
    EXPECT_TRUE(
        has(sheet, "ヒートソード" + blanks(12) + "E00000000 Z00000000 0 0  0 -- - - - o --   0  0  600\r\n"))
        << u8(sheet);
}

TEST(Sheets, CommentSheets) {
    TArmoredKnight ak = akfix::sample("ak01.dat");
    std::string s4 = akDetailSheet(ak, 4);
    EXPECT_EQ(u8(s4), "ビームライフル【破壊時】\r\n          撃ち抜く！\r\n\r\n"
                      "シールド【防御時】\r\n          この程度では抜けない。\r\n\r\n");
    std::string s5 = akDetailSheet(ak, 5);
    EXPECT_TRUE(has(s5, "勝利時コメント【相手殺害時】\r\n          勝利だ。\r\n\r\n\r\n\r\n"));
    std::string s6 = akDetailSheet(ak, 6);
    EXPECT_TRUE(has(s6, "脱出／自爆時コメント【脱出失敗時】\r\n          脱出する！\r\n\r\n\r\n\r\n"));
    EXPECT_TRUE(has(s6, "左キック決め台詞\r\n          まだまだ！\r\n\r\n\r\n"));
    EXPECT_EQ(akDetailSheet(ak, 7), "");

    // Six full comments overflow the window's buffer: the copy ends after
    // the last whole line that fits.
    for (int i = 0; i < 6; ++i) {
        ak.Weapon[i].Price = 1;
        sjis::writeField(ak.Weapon[i].Name, std::string(31, 'n'));
        sjis::writeField(ak.Comments[i].Text, std::string(255, 'c'));
        ak.Comments[i].Mode = 1;
    }
    std::string big = akDetailSheet(ak, 4);
    ASSERT_GT(big.size(), SheetBufferSize);
    char out[SheetBufferSize + 16];
    std::memset(out, '#', sizeof out);
    copyOut(out, big);
    size_t len = std::strlen(out);
    EXPECT_LT(len, SheetBufferSize);
    EXPECT_EQ(std::string(out).substr(len - 2), "\r\n");
    EXPECT_EQ(big.compare(0, len, out), 0);
    EXPECT_EQ(out[SheetBufferSize], '#');
}

TEST(Sheets, WeaponSheets) {
    CatalogSet set;
    plat::notify::setHeadlessEcho(false);
    ASSERT_EQ(loadWeapon(set, akfix::dataDir() + "WpData"), 1);
    std::string expected = "  No. 001\r\n  武器名:ビームライフル" + blanks(26) +
                           "値段:  850      重量:   30\r\n"
                           "装備個所:両／片手    武器属性        :Ｂ" +
                           blanks(23) +
                           "破壊力:    2\r\n"
                           "  総弾数:  10        攻撃回数:  10       使用弾数:    1\r\n"
                           "  被弾率:   0%       敵攻撃能力低下率:   0%      敵センサー能力低下率: 1/ 0\r\n"
                           "  装甲値:   0        敵移動能力低下  :   0       敵ｺﾝﾋﾟｭｰﾀｰ能力低下率: 1/ 0\r\n"
                           "  誘爆率:   0%       敵回避能力低下率:   0%      対ビームコート      : 無\r\n"
                           "\r\n射程距離:   1   2   3   4   5   6   7   8   9\r\n"
                           "  命中率:  60  65  70  70  65  60  50  40  30\r\n"
                           "    威力:  12  12  12  12  11  10   9   8   7\r\n";
    EXPECT_EQ(u8(catalogWeaponSheet(*set.weapons[0], {})), expected);

    // Launcher with Ａ, Ｐ and ＋: 12 / 4 = 3 attacks, two thirds 2, doubled 4,
    // 16 rounds; induced explosion per round; powers + 2.
    std::string launcher = catalogWeaponSheet(*set.weapons[2], {true, true, true});
    EXPECT_TRUE(has(launcher, "  総弾数:  16        攻撃回数:   4       使用弾数:    4\r\n"));
    EXPECT_TRUE(has(launcher, "  誘爆率:  60%"));
    EXPECT_TRUE(has(launcher, "    威力:  17  17"));
    // A shield: hit-taken halved, its defence line before the ranges.
    std::string shield = slotWeaponSheet(akfix::sample("ak01.dat").Weapon[1], {});
    EXPECT_TRUE(has(shield, "装備個所:左腕"));
    EXPECT_TRUE(has(shield, "  被弾率:   7%"));
    EXPECT_TRUE(has(shield, "無\r\n  防御率:  15%\r\n射程距離:"));
    // Melee: no shots, no attacks.
    EXPECT_TRUE(has(catalogWeaponSheet(*set.weapons[4], {}), "  総弾数:   0        攻撃回数:   0"));
}

TEST(Sheets, PartsSheets) {
    CatalogSet set;
    plat::notify::setHeadlessEcho(false);
    ASSERT_EQ(loadWeapon(set, akfix::dataDir() + "WpData"), 1);
    TArmoredKnight ak = akfix::sample("ak01.dat");
    std::string s0 = partsDetailSheet(ak, 0, viewOf(set));
    EXPECT_TRUE(has(
        s0, "ムーバルフレーム：ＭＦＭ０２\r\n　　価格： １５００Ｃｒ    重量： １２０    回避修正： １５\r\n"
            "　　搭載可能なエンジンのレベル： ３  \r\n\r\n　　耐久値  頭部：  ４０  胴部：  ９０\r\n"));
    EXPECT_TRUE(
        has(s0, "エンジン：ENG-300\r\n　　価格：   ９００Ｃｒ    重量： ４０    パワー： ６００\r\n"));
    std::string s2 = partsDetailSheet(ak, 2, viewOf(set));
    EXPECT_TRUE(has(s2, "補助推進装置：未購入\r\n"));
    EXPECT_TRUE(has(s2, "脱出装置：脱出ポッド\r\n"));
    EXPECT_EQ(partsDetailSheet(ak, 3, viewOf(set)), "");
}

TEST(Sheets, PilotBlock) {
    TArmoredKnight ak = akfix::sample("ak01.dat");
    std::string rule(76, '-');
    std::string plain = rule + "\r\nPILOT:アレックス・ロウ" + blanks(16) + "AGE: 24  SEX:男性\r\n" +
                        "EXP. :  5戦  3勝  2体破壊  勝率 60%   Cr : 6200  MCTL:+1000(+3)\r\n" +
                        "        攻撃 5%   回避 5%  脱出 5%    AK : ブルーファルコン\r\n\r\n" + rule + "\r\n";
    EXPECT_EQ(u8(pilotInfo({}, "", "", ak, "")), plain);

    PilotInfOptions all{true, true, true, true, true};
    std::string full = pilotInfo(all, sj("三本勝負"), sj("決勝"), ak, sj("第１試合"));
    std::string title = sj("----《決勝》") + std::string(70 - 12 - 8, '-') + sj(" 第１試合 ----");
    EXPECT_EQ(full.substr(0, title.size() + 2), title + "\r\n");
    EXPECT_TRUE(has(full, "COMT.:「さあ、始めようか。」\r\n\r\n"));
    EXPECT_TRUE(has(full, "条件 :三本勝負\r\n"));
    EXPECT_TRUE(
        has(full, "|   |田中一郎      |アレックス・ロウ|ブルーファルコン|  5  3 2 5| 6200|    |\r\n"));

    // A title too long for its dashes, and a pilot without battles.
    TArmoredKnight rookie{};
    std::string longTitle = pilotInfo(all, "", std::string(80, 't'), rookie, "tail");
    EXPECT_EQ(longTitle.substr(0, longTitle.find("\r\n")),
              sj("----《") + std::string(80, 't') + sj("》") + " tail ----");
    EXPECT_TRUE(has(longTitle, "勝率  0%"));
}

TEST(Sheets, FileHeadSummary) {
    // The header and history in front of line 1 are passed over.
    auto d = digestAkData(akfix::sampleBytes("AkData/ak02.dat"));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->machineValue, 7800);
    EXPECT_EQ(u8(d->ownerName), "鈴木花子(チーム北斗)");
    EXPECT_EQ(d->ownerId, "PBM-0002");
    EXPECT_EQ(u8(d->pilotName), "ミカ・ホクト");

    // A quoted text over two lines shifts nothing; texts are cut to 79.
    std::vector<std::string> lines = akfix::sampleLines("ak01.dat");
    lines[1] = "\"前半";
    lines.insert(lines.begin() + 2, "後半" + std::string(100, 'z') + "\"");
    d = digestAkData(akfix::crlf(lines));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->ownerName.size(), 79u);
    EXPECT_EQ(d->ownerId, "PBM-0001");
    EXPECT_EQ(u8(d->pilotName), "アレックス・ロウ");

    EXPECT_FALSE(digestAkData(sj("1500\r\n\"x\"\r\n")));
    EXPECT_FALSE(makeDigest(akfix::dataDir(), "AkData/missing.dat"));
    auto fromFile = makeDigest(akfix::dataDir() + "AkData/", "ak01.dat");
    ASSERT_TRUE(fromFile);
    EXPECT_EQ(fromFile->machineValue, 5000);
}

TEST(Sheets, TriggerLists) {
    std::string text = "# comment\r\n/ another\r\nkey value\r\n  spaced\t\tout  more\r\nlonely\r\n" +
                       std::string(40, 'k') + " " + std::string(20, 'v') + "\r\n" + sj("攻撃 強打") + "\r\n";
    auto list = parseTriggerList(text);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0], std::make_pair(std::string("key"), std::string("value")));
    EXPECT_EQ(list[1], std::make_pair(std::string("spaced"), std::string("out")));
    EXPECT_EQ(list[2].first, std::string(31, 'k'));
    EXPECT_EQ(list[2].second, std::string(15, 'v'));
    EXPECT_EQ(u8(list[3].first), "攻撃");

    std::string many;
    for (int i = 0; i < 300; ++i) many += "k" + std::to_string(i) + " v\n";
    EXPECT_EQ(parseTriggerList(many).size(), static_cast<size_t>(TriggerListCapacity));

    testsupport::TempDir dir;
    std::string f1 = (dir.path() / "t1.txt").string(), f3 = (dir.path() / "t3.txt").string();
    testsupport::writeFile(f1, text);
    testsupport::writeFile(f3, many);
    void* block = nullptr;
    ASSERT_EQ(loadTrigger(f1.c_str(), (dir.path() / "none.txt").string().c_str(), f3.c_str(), &block), 0);
    auto* b = static_cast<TriggerBlock*>(block);
    EXPECT_EQ(b->Count[0], 4);
    EXPECT_EQ(b->Count[1], 0);
    EXPECT_EQ(b->Count[2], TriggerListCapacity);
    EXPECT_STREQ(b->List[0][1].Value, "out");
    EXPECT_EQ(std::strlen(b->List[0][2].Key), 31u);
    unloadTrigger();
}

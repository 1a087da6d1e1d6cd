#include "core/aksheet.h"
#include "core/match.h"
#include "core/module.h"
#include "logtest.h"

using namespace logtest;

namespace {

class AkSheetTest : public LogTest {
protected:
    void SetUp() override {
        LogTest::SetUp();
        ak[0] = SampleAk1();
        ak[1] = SampleAk2();
        option(OptInternalInfo);
    }
    void dressUp(TArmoredKnight& a) {
        put(a.Owner.Id, "ab-12");
        put(a.Pilot.History, "優勝３回\\準優勝１回");
        put(a.Pilot.Profile, "明るい性格。");
        put(a.Team.Name, "整備班");
        a.Team.Dex = 2;
        put(a.Team.Profile, "腕利き");
        put(a.ProfileText, "高機動型");
        put(a.Computer.Name, "ＨＡＬ");
        put(a.Computer.MissionDisk, "良心回路");
        a.Computer.MdPrice = 100;
        put(a.Computer.Profile, "冷静");
    }
    TAkWeapon& slot(int side, int k) { return ak[side].Weapon[k]; }
};

} // namespace

TEST_F(AkSheetTest, ProfileAtMatchStart) {
    dressUp(ak[0]);
    setUpMatch();
    gs.RoundCounter = 0;
    cv::WriteAkProfile(buf, ak[0], st[0]);
    EXPECT_EQ(lines(), "オーナー名　：山田太郎／ａｂ－１２\n"
                       "パイロット名：ケイ・アサギリ／１９歳、女\n"
                       "戦績　　　　：１２戦 ７勝 ３敗　２分 ＡＫ３体破壊 １人殺害\n"
                       "経験修正値　：攻撃 ３　防御 ２　脱出 ４\n"
                       "戦歴・称号　：優勝３回\n"
                       "              準優勝１回\n"
                       "プロフィール：明るい性格。\n"
                       "メカニック名：整備班　Ｌv:１０００［＋２修正］\n"
                       "プロフィール：腕利き\n"
                       "マシーン名　：ブラストハウンド\n"
                       "機体価値　　：３６８０Ｃｒ．\n"
                       "プロフィール：高機動型\n"
                       "コンピュータ：ＨＡＬ（良心回路）\n"
                       "愛称　　　　：ハル＝９\n"
                       "プロフィール：冷静\n");
    // Paragraphs: after the pilot's profile, the mechanic, the AK's profile
    // and the whole block.
    for (size_t i = 0; i < buf.Count; ++i) {
        uint32_t blanks = buf.Lines[i].BlankLinesAfter;
        EXPECT_EQ(blanks, (i == 6 || i == 8 || i == 11 || i == 14) ? 1u : 0u) << i;
        EXPECT_EQ(+buf.Lines[i].Kind, 0u);
        bool labelled = i == 4 || i == 5 || i == 6 || i == 8 || i == 11 || i == 14;
        EXPECT_EQ(+buf.Lines[i].Indent, labelled ? 14u : 0u) << i;
    }
}

TEST_F(AkSheetTest, StatusSheetLeavesTheMatchStartLinesOut) {
    dressUp(ak[0]);
    setUpMatch();
    gs.RoundCounter = 4;
    st[0].AkDestroyed = 1;
    int32_t dex = -1;
    ak[0].Team.Dex = dex;
    cv::WriteAkProfile(buf, ak[0], st[0]);
    EXPECT_EQ(lines(), "オーナー名　：山田太郎\n"
                       "パイロット名：ケイ・アサギリ\n"
                       "戦績　　　　：１２戦 ７勝 ３敗　２分 ＡＫ３体破壊 １人殺害\n"
                       "経験修正値　：攻撃 ３　防御 ２　脱出 ４\n"
                       "＊＊ 大破 ＊＊\n"
                       "マシーン名　：ブラストハウンド\n"
                       "機体価値　　：３６８０Ｃｒ．\n");
    EXPECT_EQ(+buf.Lines[3].BlankLinesAfter, 1u);
    EXPECT_EQ(+buf.Lines[6].BlankLinesAfter, 1u);
    // A negative mechanic correction carries its own minus.
    cv::EmptyQueue(buf);
    gs.RoundCounter = 0;
    cv::WriteAkProfile(buf, ak[0], st[0]);
    EXPECT_EQ(line(7), "メカニック名：整備班　Ｌv:１０００［－１修正］");
}

namespace {

std::string padded(std::string utf8, size_t width) {
    size_t bytes = sj(utf8).size();
    if (bytes < width) utf8.append(width - bytes, ' ');
    return utf8;
}

} // namespace

TEST_F(AkSheetTest, SpecificationShowsTheValuesOfTheMoment) {
    put(ak[0].Engine.Name, "Ｖ８");
    put(ak[0].Armor.Name, "複合装甲");
    put(ak[0].Sensor.Name, "レーダー");
    put(ak[0].Turbo.Name, "ニトロ");
    ak[0].Turbo.Price = 100;
    ak[0].Turbo.AmplifyPct = 30;
    ak[0].Turbo.StartMinute = 5;
    put(ak[0].Escape.Name, "ベイルアウト");
    ak[0].Escape.Price = 50;
    ak[0].Escape.EscapeBonus = 15;
    ak[0].EscapeMod = -3;
    ak[0].Frame.Strikes[StrikeRightPunch] = {40, 12, 2};
    ak[0].Frame.Strikes[StrikeRightKick] = {35, 15, 3};
    setUpMatch();
    st[0].ReactionBoost = 10;
    st[0].MovementDown = 2.5;
    st[0].AttackDown = 3.7;
    st[0].EvasionDown = -1.2;
    ak[0].Frame.Durability[PartBody] = 75;
    cv::WriteAkSpec(buf, ak[0], st[0]);

    // Recomputed for the moment: the durability lost lowers the power and
    // with it the reaction.
    int32_t movement = st[0].Movement, power = st[0].EffectivePower, weight = ak[0].TotalWeight;
    int32_t reaction = ak[0].Reaction;
    EXPECT_EQ(power, 2000 * 285 / 310);
    auto fw = [](int64_t v) { return testsupport::u8(sjis::han2Zen(std::to_string(v))); };
    EXPECT_EQ(line(0), "反応性能：" + padded(fw(reaction + 10) + "（" + fw(reaction) + "）", 18) +
                           "移動力　：" + fw(static_cast<int32_t>(movement - 2.5)) + "（" + fw(movement) +
                           "）");
    // Attack: 10 (WC) + 12 + the live reaction / 4 + 3 × 3 + 3, less 3;
    // defence: 8 + the live reaction / 4 + 9 + 2, less -1.
    int32_t attack = 10 + 12 + (reaction + 10) / 4 + 9 + 3, defence = 8 + (reaction + 10) / 4 + 9 + 2;
    EXPECT_EQ(line(1), "攻撃修正：" + padded(fw(attack - 3) + "（" + fw(attack) + "）", 18) + "防御修正：" +
                           padded(fw(defence + 1) + "（" + fw(defence) + "）", 18) + "脱出修正：－３");
    EXPECT_EQ(line(2), "エンジン：" + padded("Ｖ８", 18) + "現パワー：" + padded(fw(power), 18) +
                           "総重量　：" + fw(weight));
    EXPECT_EQ(line(3), "フレーム：" + padded("ガルム／ＭＣ", 26) + "装甲の種類　：複合装甲");
    EXPECT_EQ(line(4), "頭部装甲：１０　頭部耐久力：  ３０　パンチ　　　：４０％　威力１２　破壊力２");
    EXPECT_EQ(line(5), "胴体装甲：１０　胴体耐久力：  ７５　キック　　　：３５％　威力１５　破壊力３");
    EXPECT_EQ(line(6), "右腕装甲：１０　右腕耐久力：  ４０　センサー　　：レーダー");
    EXPECT_EQ(line(7), "左腕装甲：１０　左腕耐久力：  ４０　補助推進装置：ブースター");
    EXPECT_EQ(line(8), "右脚装甲：１０　右脚耐久力：  ５０　反応増幅装置：ニトロ[+30%,5分]");
    EXPECT_EQ(line(9), "左脚装甲：１０　左脚耐久力：  ５０　脱出装置　　：ベイルアウト[+15%]");
    EXPECT_EQ(buf.Count, 10u);

    // Without changes no base notes; a beam field is shown with a minus.
    st[0].ReactionBoost = 0;
    st[0].MovementDown = 0.9;
    st[0].AttackDown = 0.5;
    st[0].EvasionDown = 0;
    put(ak[0].Turbo.Name, "対ビーム磁場");
    cv::EmptyQueue(buf);
    cv::WriteAkSpec(buf, ak[0], st[0]);
    movement = st[0].Movement;
    reaction = ak[0].Reaction;
    EXPECT_EQ(line(0), "反応性能：" + padded(fw(reaction), 18) + "移動力　：" + fw(movement - 1));
    EXPECT_EQ(line(8), "右脚装甲：１０　右脚耐久力：  ５０　反応増幅装置：対ビーム磁場[-30%,5分]");
}

TEST_F(AkSheetTest, ArmamentList) {
    slot(0, 2).ShotsPerAttack = 0; // the thruster has no shots
    slot(0, 1).ArmorValue = 30;
    slot(0, 1).ArmorLeft = 12;
    setUpMatch();
    slot(0, 1).ArmorLeft = 12;
    cv::WriteArmamentList(buf, ak[1]);
    cv::WriteArmamentList(buf, ak[0]);
    EXPECT_EQ(lines(), "No. 武装名　　　　　　　　　　　武装タイプ　　　　装備箇所 攻撃残 装甲値残\n"
                       "2:ハルバード                     白突               両手　   ９９   ０/  ０\n"
                       "4:ツインキャノン                 射                 両手　     ４   ０/  ０\n"
                       "5:シールド                       盾                 左腕　     ０   ０/  ０\n"
                       "No. 武装名　　　　　　　　　　　武装タイプ　　　　装備箇所 攻撃残 装甲値残\n"
                       "1:ロングライフル                 射                 右手　   １０   ０/  ０\n"
                       "2:バスターソード                 白切               両手　   ９９ １２/３０\n"
                       "3:スラスター                     推推               左肩　  －－    ０/  ０\n");
    EXPECT_EQ(+buf.Lines[3].BlankLinesAfter, 1u);
    EXPECT_EQ(+buf.Lines[7].BlankLinesAfter, 1u);
}

TEST_F(AkSheetTest, WeaponTableDigitsAndFlags) {
    TArmoredKnight& a = ak[0];
    a.Reaction = 200; // melee rank 4
    TAkWeapon w = Weapon("白切", 0, 0, 12);
    put(w.Name, "ブレード");
    w.Price = 500;
    w.Weight = 80;
    w.HitRate[0] = 30; // 30 + 4 + 5: Z
    w.HitRate[1] = 10;
    w.Power[0] = 20; // 20 + 4
    w.Power[8] = 1;
    w.Reserved220 = 50;
    w.ShotsPerAttack = 3;
    w.AttackDown = 5;
    w.EvasionDown = -10;
    w.MoveDown = 2;
    w.ComputerDown = 3;
    w.SensorDown = 1;
    w.AntiBeam = 1;
    a.Weapon[0] = w;
    a.Weapon[1] = TAkWeapon{};
    a.ExtraValues[0] = 2;
    cv::WriteWeaponTable(buf, a);
    EXPECT_EQ(line(1), "ブレード                 ZJ0000000 O0000000512 3  5-10 2 3 - o --   0 80  500");
    EXPECT_EQ(line(2), "スラスター               000000000 000000000 0 1 -- -- - - - x --   0 40  100");
    EXPECT_EQ(line(3), "　　総合防御率:0%　総合被弾率:0%");
    EXPECT_EQ(line(4), "－－ 武装目標距離: 2 x - x x x");
    EXPECT_EQ(+buf.Lines[4].Kind, cv::KindTrace);
    EXPECT_EQ(line(5), std::string(78, '-'));
    EXPECT_EQ(+buf.Lines[5].BlankLinesAfter, 2u);
    // The trace line only with the check log.
    option(OptInternalInfo, false);
    cv::EmptyQueue(buf);
    cv::WriteWeaponTable(buf, a);
    EXPECT_EQ(buf.Count, 5u);
}

TEST_F(AkSheetTest, WeaponTableShieldAndParry) {
    TArmoredKnight& a = ak[1];
    a.Weapon[4].HitTaken = 40; // the shield
    TAkWeapon parry = Weapon("白受", 0, 0, 0);
    put(parry.Name, "ＡＢＣＤＥＦＧＨＩＪＫＬ");
    parry.Price = 10;
    parry.HitTaken = 40;
    a.Weapon[5] = parry;
    TAkWeapon split = parry;
    put(split.Name, "aＡＢＣＤＥＦＧＨＩＪＫ");
    a.Weapon[0] = split;
    cv::WriteWeaponTable(buf, a);
    EXPECT_EQ(line(1), "aＡＢＣＤＥＦＧＨＩＪ 受 000000000 000000000 0 1 -- -- - - - x --  80  0   10");
    EXPECT_EQ(line(4), "シールド                 000000000 000000000 0 1 -- -- - - - x 40  20 60  120");
    EXPECT_EQ(line(5), "ＡＢＣＤＥＦＧＨＩＪＫ受 000000000 000000000 0 1 -- -- - - - x --  80  0   10");
    // Shield 40 defends 40 and exposes 20; each parry weapon exposes 80.
    EXPECT_EQ(line(6), "　　総合防御率:40%　総合被弾率:180%");
}

TEST_F(AkSheetTest, WeaponNamesAreCutToTheColumn) {
    TArmoredKnight& a = ak[0];
    put(a.Weapon[0].Name, "ロングレンジビームライフル改");
    cv::WriteWeaponTable(buf, a);
    auto nameColumn = [&] { return std::string(sjis::readField(buf.Lines[1].Text).substr(0, 25)); };
    EXPECT_EQ(nameColumn(), sj("ﾛﾝｸﾞﾚﾝｼﾞﾋﾞｰﾑﾗｲﾌﾙ改       "));
    option(OptNoFullToHalf);
    cv::EmptyQueue(buf);
    cv::WriteWeaponTable(buf, a);
    EXPECT_EQ(nameColumn(), sj("ロングレンジビームライフ "));
}

#include "core/attack.h"
#include "core/ceremony.h"
#include "core/damage.h"
#include "core/emit.h"
#include "core/endnarration.h"
#include "core/match.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "core/msgsets.h"
#include "narrationtest.h"
#include "platform/random.h"

using namespace narrtest;

namespace {

std::string joined(const std::vector<std::string>& tags) {
    std::string out;
    for (const std::string& t : tags) out += (out.empty() ? "" : " ") + t;
    return out;
}

// The sample sets loaded for a match between the fixture's AKs: the system
// files, the base set as a folder, the pilot set of the samurai by trigger.
class EmitSetsTest : public NarrationTest {
protected:
    void SetUp() override {
        NarrationTest::SetUp();
        put(ak[0].Owner.Name, "オーナー");
        put(ak[1].Pilot.Sex, "女");
        sjis::writeField(gs.Words[0].Female[0], sj("女"));
        sjis::writeField(gs.Words[1].Female[0], sj("女"));
        for (auto& w : gs.Words) {
            sjis::writeField(w.MySelf[0], sj("私"));
            sjis::writeField(w.MySelf[1], sj("俺"));
            sjis::writeField(w.Master[0], sj("マスター"));
        }
        baseSet(sample("Message/Basic/"));
        pilot(1, "侍", sample("Message/Pil01/"), {"侍"}, {"拙者"});
        const char* files[] = {"play_sys", "play_ana", "play_com", "play_com",
                               "pil_man",  "pil_fem",  "pil_man",  "pil_fem"};
        for (int t = 0; t < cv::TemplateTableCount; ++t)
            sjis::writeField(cv::Module().TemplatePath[t],
                             sample(std::string("sysmsg/") + files[t] + ".msg"));
    }
    void load() {
        cv::LoadSystemTemplates();
        setUpMatch();
        ASSERT_EQ(cv::LoadPlayMessages(), cv::MsgOk);
        *owned = cv::GameMessageBuffer{};
    }
};

} // namespace

// Each speaker's path: the pilot's own word for "俺" and "私", the AK's
// form of address for "マスター", the announcer after "「"; a message no set
// holds is shown as its not-found text, slot letters and all. (Narrate
// drops a full stop before the closing mark.)
TEST_F(EmitSetsTest, SpeakerPaths) {
    put(ak[0].Pilot.FirstPerson, "僕");
    put(ak[1].Pilot.FirstPerson, "あたし");
    put(ak[0].Computer.MasterCall, "ご主人");
    load();
    cv::PilotSays(buf, 0, "M29A");
    cv::PilotSays(buf, 1, "M29A");
    cv::ComputerSays(buf, 0, "M47A");
    cv::AnnouncerSays(buf, 1, "M72A", {sj("テスト機")});
    cv::AnnouncerSaysAs(buf, 1, sj("ＳＥ"), "M98A");
    cv::AnnouncerSays(buf, 0, "MA00", {sj("テスト機")});
    EXPECT_EQ(all(), "テスト「僕の勝ちだ！」\n"
                     "テスト「あたしの勝ちよ！」\n"
                     "      「胴体大破！　ご主人、脱出を！」\n"
                     "アナ  「テスト機、回避に専念しています」\n"
                     "ＳＥ  「ドカーン！！」\n"
                     "アナ  「【Not Found:MA00 / kwp:613 GetMsg()】\n");
    EXPECT_EQ(buf.Lines[1].Kind, cv::KindPilot2);
    EXPECT_EQ(buf.Lines[2].Kind, cv::KindComputer1);
    EXPECT_EQ(buf.Lines[3].Kind, cv::KindAnnouncer);
}

// The computer and the pilot name the weapon by its catalog line when a set
// has one; without one the pilot's general line is optional and draws its
// gate, so the text decides the draw.
TEST_F(EmitSetsTest, CatalogLinesDecideTheDraws) {
    put(ak[0].Pilot.ProfileSub, "侍");
    put(ak[0].Pilot.FirstPerson, "わし"); // for the set's "拙者"
    load();
    cv::CombatantState& s = st[0];
    put(s.CurrentAttack.Name, "ヒートソード");
    s.CurrentAttack.AmmoLeft = 5;
    {
        s.CurrentAttack.CatalogNo = 4;
        cv::DiceJournal journal;
        Rolls r{60, 10, 10};
        cv::EmitAttackAnnouncement(buf, 0, false);
        EXPECT_EQ(joined(journal.Tags()), "call-name announce-computer announce-pilot");
        EXPECT_NE(all().find("「ヒートソード、加熱完了」"), std::string::npos) << all();
        EXPECT_NE(all().find("「わしの剣、受けてみよ！」"), std::string::npos) << all();
    }
    *owned = cv::GameMessageBuffer{};
    {
        s.CurrentAttack.CatalogNo = 7; // no set has a line for it
        cv::DiceJournal journal;
        Rolls r{60, 10, 10, 100};
        cv::EmitAttackAnnouncement(buf, 0, false);
        EXPECT_EQ(joined(journal.Tags()), "call-name announce-computer announce-pilot gate:M03A");
        EXPECT_EQ(all().find("Not Found"), std::string::npos) << all();
    }
}

// The entrance: "M75A" for a pilot without a record, else line 20 and the
// crowd once per halving of the record's score down to the roll.
TEST_F(EmitSetsTest, Entrance) {
    ak[0].Pilot.Destroyed = 3;
    ak[0].Pilot.Kills = 2; // a score of 20
    load();
    struct Case {
        int roll;
        size_t crowd;
    } cases[] = {{30, 0}, {15, 1}, {3, 2}};
    for (Case c : cases) {
        *owned = cv::GameMessageBuffer{};
        Rolls r{c.roll};
        cv::EmitOpening(buf, 0);
        ASSERT_EQ(buf.Count, 1 + c.crowd) << c.roll;
        if (c.crowd == 0)
            EXPECT_EQ(line(0), "アナ  「さあ、テスト機の入場です！　新進気鋭の機体です、期待しましょう！」");
        else
            EXPECT_EQ(line(0),
                      "アナ  「さあ、テスト機の入場です！　数々の機体を沈めてきた歴戦の猛者です！」");
        for (size_t i = 1; i < buf.Count; ++i) EXPECT_EQ(line(i).substr(0, 11), "観客  「") << line(i);
    }
    narration(false);
    cv::EmitOpening(buf, 0); // draws nothing
}

TEST_F(EmitSetsTest, AfterMatchLines) {
    load();
    cv::EmitAfterMatchLines(buf, 0, 1);
    EXPECT_EQ(all(), "テスト「俺の勝ちだ！」\n"
                     "アナ  「敗れたテスト選手、次の雪辱に期待しましょう！」\n"
                     "テスト「次は負けないんだから……！」\n");

    // The loser's pilot was killed: the winner's comment for that, then the
    // announcer turns to the owner, who speaks the base set's words.
    *owned = cv::GameMessageBuffer{};
    st[1].PilotKilled = 1;
    put(ak[0].Comments[CommentWin].Text, "成仏しろよ");
    ak[0].Comments[CommentWin].Mode = 1;
    put(ak[1].Owner.Name, "オーナー");
    {
        Rolls r{60};
        cv::EmitAfterMatchLines(buf, 0, 1);
    }
    EXPECT_EQ(all(), "テスト「成仏しろよ」\n"
                     "アナ  「テスト選手のご冥福をお祈りいたします……」\n"
                     "オーナー「テストよ……安らかに眠れ……」\n");

    *owned = cv::GameMessageBuffer{};
    gs.Result = 2;
    cv::EmitAfterMatchLines(buf, 0, 1);
    EXPECT_EQ(all(), "テスト「決着は次に持ち越しだな」\n"
                     "アナ  「テスト選手、互角の戦いでした！」\n"
                     "テスト「勝負はお預けね」\n");
}

TEST_F(EmitSetsTest, WeaponCallFromTheBaseSet) {
    load();
    TAkWeapon w = Weapon("ゾ", 50, 5, 1);
    cv::AnnounceWeaponCall(buf, w, 0);
    EXPECT_EQ(all(), "ゾロメカ『ゾロメカ部隊、出撃せよ！』\n");
    EXPECT_EQ(+gs.NameWidth, 6);
}

// A miss: the announcer, the defender's computer (line 38; "。」" loses its
// "。"), then the order draw: above 50 the attacker's pilot ("M31A", its
// gate 1 passes) before the defender's (female: pil_fem line 12), else
// after it; a malfunction adds the attacker's computer (line 73) and pilot
// (line 13) naming the weapon.
TEST_F(EmitSetsTest, TheLinesOfAMiss) {
    put(ak[0].AkName, "ホムラ");
    put(ak[1].AkName, "シズク");
    load();
    put(st[0].CurrentAttack.Name, "ヒートソード");
    put(st[0].CurrentAttack.Attributes, "白");
    const std::string announcer = "アナ  「ホムラの攻撃は空を切った！　シズクは無傷だ！」";
    const std::string computer = "      「回避成功」";
    const std::string defender = "テスト「そんな攻撃、当たらないわ！」";
    auto text = [&](int i) { return testsupport::u8(sjis::readField(buf.Lines[i].Text)); };
    {
        Rolls r{60, 1};
        cv::EmitMiss(buf, 0, 1, true);
    }
    ASSERT_EQ(+buf.Count, 6u) << all();
    EXPECT_EQ(text(0), announcer);
    EXPECT_EQ(text(1), computer);
    EXPECT_EQ(text(2).rfind("テスト「", 0), 0u) << text(2); // M31A0, one of its variants
    EXPECT_EQ(buf.Lines[2].Kind, cv::KindPilot1);
    EXPECT_EQ(text(3), defender);
    EXPECT_EQ(text(4), "      「ヒートソード、故障しました。使用できません」");
    EXPECT_EQ(text(5), "テスト「なにっ、ヒートソードが動かねえ！」");
    *owned = cv::GameMessageBuffer{};
    {
        Rolls r{40, 1};
        cv::EmitMiss(buf, 0, 1);
    }
    ASSERT_EQ(+buf.Count, 4u) << all();
    EXPECT_EQ(text(2), defender);
    EXPECT_EQ(buf.Lines[3].Kind, cv::KindPilot1);
}

// The hits of a four-shot missile: a multi-shot roll of 1 gives
// (99 × 4) / 100 + 1 = 4; the interceptor (2 shots, roll 100) stops
// (2 × 100 + 50) / 100 = 2, computer line 72; power 10 + 2 × 2 − 2 = 12 with
// computer line 4 ("４発中２発"), then the power: line 61 without a melee
// bonus, line 62 with a bonus of 3 (12 + 3 = 15).
TEST_F(EmitSetsTest, InterceptionAndPowerLines) {
    ak[1].Weapon[0] = Weapon("迎", 50, 5, 1, 3);
    put(ak[1].Weapon[0].Name, "迎撃砲");
    ak[1].Weapon[0].ShotsPerAttack = 2;
    load();
    st[0].CurrentAttack = Weapon("Ｍ", 50, 10, 1);
    st[0].CurrentAttack.ShotsPerAttack = 4;
    cv::ModuleState::AttackScratch& scratch = cv::Module().Attack;
    scratch.LastMultiShotRoll = 1;
    for (int32_t bonus : {0, 3}) {
        scratch.MeleeBonus = bonus;
        *owned = cv::GameMessageBuffer{};
        Rolls r{100};
        EXPECT_EQ(cv::CountHits(buf, 0, 1), 2);
        EXPECT_EQ(all(), "      「迎撃砲で迎撃、２発を撃ち落としました」\n"
                         "      「４発中２発が命中」\n" +
                             std::string(bonus == 0 ? "      「威力１２」\n"
                                                    : "      「威力１２、補正３、合計１５」\n"));
    }
}

// A body hit of power 20 against armour 10 does at least
// ((10 × 10 + 1) × 200) / 100 = 202, so the gauge of movement grows by at
// least 13 and an AK of movement 0 can no longer move: the announcer says so
// (line 53); the pilot adds "M16B" only when it could not move before; an
// AK that lost a leg and could move before gets no such line.
TEST_F(EmitSetsTest, TheAnnouncerSaysWhenAnAkCannotMove) {
    put(ak[1].AkName, "シズク");
    ak[1].Frame.MaxDurability[PartBody] = ak[1].Frame.Durability[PartBody] = 1000;
    ak[0].Weapon[0] = Weapon("射", 5, 20, 2);
    const std::string line = "「シズクの足が止まった！　もう動けないぞ！」";
    const std::string pilot = "「駄目、動けない！」";
    auto bodyHit = [&](double movementDown, int32_t leftLeg) {
        ak[1].Frame.Durability[PartLeftLeg] = leftLeg;
        load();
        cv::ChooseWeapon(ak[0], st[0]);
        gs.AttackPower = 20;
        gs.FinishPart = PartBody;
        st[1].Movement = 0;
        st[1].MovementDown = movementDown;
        cv::SetDiceSeed(7);
        cv::BodyDamage(buf, 0, 1);
        return all();
    };
    std::string text = bodyHit(0, 50);
    EXPECT_NE(text.find(line), std::string::npos) << text;
    EXPECT_EQ(text.find(pilot), std::string::npos) << text;
    text = bodyHit(3, 50);
    EXPECT_NE(text.find(line), std::string::npos) << text;
    EXPECT_GT(text.find(pilot), text.find(line)) << text;
    text = bodyHit(0, 0);
    EXPECT_EQ(text.find(line), std::string::npos) << text;
}

// Whole matches between the sample AKs with the sample sets, every line
// optional lines included: every message the fight, the entrance and the
// end ask for is in the base set.
TEST_F(EmitSetsTest, SampleSetsAreComplete) {
    gs.MessagePercent = 100;
    option(OptParry);
    option(OptBerserk);
    option(OptBountyMatch);
    gs.CompensationRate = 50;
    std::string missing;
    auto scan = [&](const cv::GameMessageBuffer& b) {
        for (size_t i = 0; i < b.Count; ++i) {
            std::string t = testsupport::u8(sjis::readField(b.Lines[i].Text));
            if (t.find("Not Found") != std::string::npos) missing += t + "\n";
        }
    };
    const std::pair<int, int> pairs[] = {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {2, 7}, {6, 1}, {4, 5}, {8, 3}};
    for (int type = 0; type < 6; ++type) {
        for (auto [i, j] : pairs) {
            ak[0] = SampleFile(i);
            ak[1] = SampleFile(j);
            gs.MatchType = static_cast<uint8_t>(type);
            gs.Result = 0;
            load();
            cv::SetDiceSeed(100 * type + 10 * i + j);
            cv::StartMatch(buf, "");
            cv::EmitOpening(buf, 0);
            cv::EmitOpening(buf, 1);
            scan(buf);
            cv::PlayMatch(buf, 2000, scan);
            *owned = cv::GameMessageBuffer{};
            int32_t result = gs.Result;
            int winner = result == 1 ? 1 : 0;
            cv::EndNarration(buf, 12, winner, 1 - winner);
            cv::EmitAfterMatchLines(buf, winner, 1 - winner);
            scan(buf);
        }
    }
    EXPECT_EQ(missing, "");
}

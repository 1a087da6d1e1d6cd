#include "core/match.h"
#include "core/module.h"
#include "core/round.h"
#include "fighttest.h"
#include "platform/random.h"

#include <cmath>
#include <limits>
#include <random>

using namespace fighttest;

namespace {

// After every round: the queue within its 150 lines, the distance within
// 1..9; at the end a result that is a side or a draw.
void playChecked(GameSettings& gs, TArmoredKnight& a, TArmoredKnight& b, cv::CombatantState& s1,
                 cv::CombatantState& s2, int32_t seed, cv::GameMessageBuffer& buffer,
                 const std::function<void()>& beforeStart = {}) {
    cv::Module().Settings = &gs;
    cv::SetAkData(a, b, s1, s2);
    if (beforeStart) beforeStart();
    cv::SetDiceSeed(seed);
    plat::random::seed(static_cast<uint32_t>(seed));
    cv::StartMatch(buffer, "");
    bool sound = true;
    cv::MatchEnd end = cv::PlayMatch(buffer, 1100, [&](const cv::GameMessageBuffer& q) {
        int32_t band = gs.DistanceBand;
        sound = sound && q.Count <= cv::MessageLineCount && band >= 1 && band <= 9;
    });
    EXPECT_TRUE(sound) << "seed " << seed;
    ASSERT_NE(end.Code, cv::RoundGoesOn) << "seed " << seed << ": no end after " << end.Rounds << " rounds";
    int32_t result = gs.Result;
    if (end.Code != cv::RoundBothImmobile) {
        EXPECT_TRUE(result >= 0 && result <= 2) << "seed " << seed;
    }
}

template <class T> T pick(std::mt19937& rng, std::initializer_list<T> values) {
    return values.begin()[rng() % values.size()];
}

int32_t between(std::mt19937& rng, int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(rng);
}

// An AK with random attribute letters on every slot and values far outside
// what the rules expect.
TArmoredKnight strangeAk(std::mt19937& rng) {
    static const char* letters[] = {"白", "投", "手", "叩", "Ｆ", "禁", "Ｍ", "Ｇ", "Ｒ", "Ｂ", "Ｅ", "Ａ",
                                    "Ｈ", "Ｃ", "射", "精", "返", "縛", "電", "潰", "火", "熱", "煙", "光",
                                    "迎", "音", "盾", "避", "重", "冷", "実", "粘", "耐", "突", "剣", "中",
                                    "反", "打", "流", "弾", "受", "切", "塗", "ゾ", "推"};
    TArmoredKnight a =
        rng() % 3 == 0 ? SampleFile(between(rng, 1, 8)) : PlainAk(between(rng, 0, 80), between(rng, -5, 40));
    for (int k = 0; k < WeaponSlotCount; ++k) {
        if (rng() % 4 == 0) continue;
        std::string attributes;
        for (int n = between(rng, 0, 5); n > 0; --n) attributes += letters[rng() % std::size(letters)];
        TAkWeapon w = Weapon(attributes.c_str(), between(rng, -3, 12), between(rng, -5, 60),
                             between(rng, -2, 9), between(rng, -1, 80));
        put(w.Mount, pick(rng, {"右手", "左手", "右腕", "左腕", "右肩", "左肩", "両手", ""}));
        w.ShotsPerAttack = between(rng, -1, 8);
        w.ArmorValue = between(rng, -5, 60);
        w.HitTaken = between(rng, -10, 120);
        w.AntiBeam = between(rng, 0, 2);
        w.InducedExplosion = between(rng, -10, 60);
        w.AttackDown = between(rng, -10, 80);
        w.EvasionDown = between(rng, -10, 80);
        w.MoveDown = between(rng, -3, 10);
        w.ComputerDown = between(rng, -2, 6);
        w.SensorDown = between(rng, -2, 6);
        w.Reserved220 = between(rng, -5, 20);
        w.CatalogNo = between(rng, -2, 40);
        if (rng() % 10 == 0) w.Power[rng() % 9] = std::numeric_limits<int32_t>::max();
        a.Weapon[k] = w;
        a.ExtraValues[k] = between(rng, -5, 15);
        put(a.Comments[k].Text, "コメント");
        a.Comments[k].Mode = static_cast<int16_t>(between(rng, 0, 3));
    }
    for (int p = 0; p < BodyPartCount; ++p) {
        if (rng() % 5 == 0) a.Frame.Durability[p] = between(rng, -5, 90);
        if (rng() % 8 == 0) a.Frame.MaxDurability[p] = between(rng, -5, 90);
    }
    for (TAkStrike& s : a.Frame.Strikes)
        s = {between(rng, -5, 30), between(rng, -5, 40), between(rng, -2, 8)};
    put(a.Sensor.Name, rng() % 4 ? "センサー" : "");
    put(a.Sensor.Type,
        pick(rng, {"WC", "LC", "ML", "EM", "MJ", "MS", "ME", "LA", "MD", "PF", "PJ", "HS", "TS", "NC", ""}));
    a.Computer.Level = between(rng, -3, 6);
    a.Computer.MdAttack = between(rng, -20, 20);
    a.Computer.MdDefence = between(rng, -20, 20);
    put(a.Computer.MissionDisk, pick(rng, {"バーサーカー", "ベルセルクＬ９", "ボディＬ３", "レッグ",
                                           "アームヘッド", "良心回路", ""}));
    put(a.Computer.NicknameTail, pick(rng, {"", "Ｌ３Ｗ２", "＠１Ｗ８", "Ｇ７３５", "Ｎ２Ｗ０"}));
    put(a.Turbo.Name, pick(rng, {"", "ターボ", "対ビーム磁場"}));
    a.Turbo.AmplifyPct = between(rng, -50, 50);
    a.Turbo.StartMinute = between(rng, -2, 5);
    put(a.Escape.Name, pick(rng, {"", "自爆装置", "脱出ポッド"}));
    a.Escape.EscapeBonus = between(rng, -20, 120);
    put(a.Armor.Name, pick(rng, {"", "耐電装甲", "ＢＣ装甲"}));
    a.Armor.WeightFactor = between(rng, -2, 5);
    a.DefensiveMovePct = between(rng, -10, 110);
    a.MovingAttackPct = between(rng, -10, 110);
    a.Team.Mctl = pick(rng, {0, 1500, 50000, -20000, std::numeric_limits<int32_t>::min(),
                             std::numeric_limits<int32_t>::max()});
    a.Pilot.ExpAttack = between(rng, -10, 30);
    a.Pilot.ExpDefence = between(rng, -10, 30);
    a.Pilot.Destroyed = between(rng, -5, 50);
    a.Engine.Price = rng() % 6 ? 100 : 0;
    a.Engine.Power = between(rng, -100, 3000);
    return a;
}

double strangeGauge(std::mt19937& rng) {
    return pick(rng, {0.0, 0.5, 3.0, -4.0, 250.0, std::nan(""), std::numeric_limits<double>::infinity()});
}

} // namespace

TEST(Soak, SampleAKsEveryMatchType) {
    auto buffer = std::make_unique<cv::GameMessageBuffer>();
    for (int type = 0; type < 6; ++type) {
        for (int i = 1; i <= 8; ++i) {
            for (int j = 1; j <= 8; ++j) {
                GameSettings gs{};
                gs.MatchType = static_cast<uint8_t>(type);
                gs.MatchMinutes = 30;
                gs.MessagePercent = 60;
                gs.Options[OptMessagesOff] = (i + j) % 2;
                gs.Options[OptInternalInfo] = 1;
                gs.Options[OptParry] = 1;
                gs.Options[OptProgramCommands] = 1;
                TArmoredKnight a = SampleFile(i), b = SampleFile(j);
                cv::CombatantState s1{}, s2{};
                playChecked(gs, a, b, s1, s2, 100 * type + 10 * i + j, *buffer);
            }
        }
    }
    cv::Module().Settings = nullptr;
}

TEST(Soak, StrangeAKsAndSettings) {
    auto buffer = std::make_unique<cv::GameMessageBuffer>();
    for (int32_t seed = 1; seed <= 800; ++seed) {
        std::mt19937 rng(static_cast<uint32_t>(seed));
        GameSettings gs{};
        for (int flag : {0, 5, 9, 12, 16, 27, 30, 37, 46, 48}) gs.Options[flag] = rng() % 2;
        gs.Options[Opt10] = gs.Options[Opt24] = rng() % 2;
        gs.StartDistanceBand = between(rng, -3, 12);
        gs.MatchType = static_cast<uint8_t>(between(rng, 0, 6));
        gs.MatchMinutes = between(rng, 1, 30);
        gs.MessagePercent = between(rng, -10, 110);
        gs.RoundMark = between(rng, 0, 3);
        gs.EscapeRate = between(rng, 0, 100);
        gs.BerserkAttack = static_cast<int8_t>(between(rng, -128, 127));
        gs.BerserkDefence = static_cast<int8_t>(between(rng, -128, 127));
        gs.InitiativeMod1 = between(rng, -100, 100);
        gs.FinishPart = between(rng, -3, 9);
        TArmoredKnight a = strangeAk(rng), b = strangeAk(rng);
        cv::CombatantState s1{}, s2{};
        playChecked(gs, a, b, s1, s2, seed, *buffer, [&] {
            for (cv::CombatantState* s : {&s1, &s2}) {
                if (rng() % 3) continue;
                s->BindDistance = between(rng, -1, 12);
                s->ReactionBoost = between(rng, -30, 30);
                s->MovementDown = strangeGauge(rng);
                s->AttackDown = strangeGauge(rng);
                s->EvasionDown = strangeGauge(rng);
                s->ComputerDown = strangeGauge(rng);
                s->SensorDown = strangeGauge(rng);
                s->AntiBeamField = static_cast<uint8_t>(rng() % 2);
                s->ChosenSlot = between(rng, -5, 20);
            }
        });
        if (::testing::Test::HasFatalFailure()) return;
    }
    cv::Module().Settings = nullptr;
}

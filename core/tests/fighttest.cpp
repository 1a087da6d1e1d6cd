// The fight tests' fixture, AK builders and seeded matches.
#include "fighttest.h"

#include "akdata/akfile.h"
#include "core/match.h"
#include "core/module.h"
#include "platform/random.h"

#include <cstdio>

namespace fighttest {

namespace {

struct Fnv {
    uint64_t h = 1469598103934665603ull;
    void add(const void* data, size_t n) {
        auto p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    }
    void add(int64_t v) { add(&v, sizeof v); }
    void add(std::string_view s) { add(s.data(), s.size()); }
};

void addSide(Fnv& f, const TArmoredKnight& ak, const cv::CombatantState& s) {
    for (int p = 0; p < BodyPartCount; ++p) {
        f.add(ak.Frame.Durability[p]);
        f.add(ak.Armor.Value[p]);
    }
    f.add(s.AkDestroyed);
    f.add(s.PilotKilled);
    f.add(s.Escaped);
    f.add(s.EscapeFailed);
    f.add(s.SelfDestructed);
}

} // namespace

TArmoredKnight PlainAk(int32_t durability, int32_t armour) {
    TArmoredKnight a{};
    put(a.AkName, "テスト機");
    put(a.Pilot.Name, "テスト");
    put(a.Frame.Name, "フレーム");
    a.Frame.Price = 100;
    a.Engine.Price = 100;
    a.Engine.Power = 1000;
    for (int i = 0; i < BodyPartCount; ++i) {
        a.Frame.MaxDurability[i] = a.Frame.Durability[i] = durability;
        a.Armor.Value[i] = armour;
    }
    a.MovingAttackPct = 100;
    for (TAkWeapon& w : a.Weapon) w.ComputerDown = w.SensorDown = 1;
    return a;
}

TAkWeapon Weapon(const char* attributes, int32_t hitRate, int32_t power, int32_t destructive, int32_t ammo) {
    TAkWeapon w{};
    put(w.Name, "テスト武装");
    put(w.Mount, "右手");
    put(w.Attributes, attributes);
    w.ShotsPerAttack = 1;
    for (int i = 0; i < WeaponDistanceCount; ++i) {
        w.HitRate[i] = hitRate;
        w.Power[i] = power;
    }
    w.Destructive = destructive;
    w.AmmoLeft = ammo;
    w.ComputerDown = w.SensorDown = 1;
    return w;
}

TArmoredKnight SampleFile(int n) {
    char path[256];
    std::snprintf(path, sizeof path, "%sAkData/ak%02d.dat", VELL_SAMPLE_DIR, n);
    TArmoredKnight ak{};
    EXPECT_EQ(akdata::loadAkData(ak, path), akdata::LoadOk) << path;
    return ak;
}

void FightTest::SetUp() {
    EngineTest::SetUp();
    ak[0] = PlainAk();
    ak[1] = PlainAk();
    option(OptMessagesOff);
    gs.MessagePercent = 100;
    gs.DistanceBand = 1;
    gs.MatchMinutes = 20;
    gs.RoundCounter = 1;
}

void FightTest::TearDown() {
    cv::Module().Ak[0] = cv::Module().Ak[1] = nullptr;
    cv::Module().State[0] = cv::Module().State[1] = nullptr;
    EngineTest::TearDown();
}

void FightTest::setUpMatch() {
    cv::SetAkData(ak[0], ak[1], st[0], st[1]);
}

std::string FightTest::lines() const {
    std::string out;
    for (size_t i = 0; i < buf.Count; ++i) out += line(i) + "\n";
    return out;
}

std::string MatchRecord::summary() const {
    char text[96];
    std::snprintf(text, sizeof text, "code %d rounds %d result %d draws %zu digest %016llx", Code, Rounds,
                  Result, Draws, static_cast<unsigned long long>(Digest));
    return text;
}

MatchRecord PlaySeeded(GameSettings& gs, TArmoredKnight a, TArmoredKnight b, int32_t seed,
                       cv::GameMessageBuffer& buffer) {
    cv::Module().Settings = &gs;
    cv::CombatantState s1{}, s2{};
    cv::SetAkData(a, b, s1, s2);
    plat::random::seed(static_cast<uint32_t>(seed));
    cv::SetDiceSeed(seed);
    cv::StartMatch(buffer, "");
    cv::DiceJournal journal;
    Fnv f;
    cv::MatchEnd end = cv::PlayMatch(buffer, 5000, [&](const cv::GameMessageBuffer&) {
        addSide(f, a, s1);
        addSide(f, b, s2);
        f.add(gs.DistanceBand);
    });
    for (const cv::DiceDraw& d : journal.Draws()) {
        f.add(d.Tag);
        f.add(d.Value);
    }
    f.add(end.Code);
    f.add(gs.Result);
    f.add(gs.RoundCounter);
    f.add(gs.TimeUpDecision);
    f.add(gs.ImmobileDraw);
    f.add(gs.LastBodyDamage);
    f.add(gs.FinishPart);
    MatchRecord r;
    r.Code = end.Code;
    r.Rounds = end.Rounds;
    r.Result = gs.Result;
    r.Digest = f.h;
    r.Draws = journal.Draws().size();
    cv::Module().Ak[0] = cv::Module().Ak[1] = nullptr;
    cv::Module().State[0] = cv::Module().State[1] = nullptr;
    cv::Module().Placeholders = cv::PlaceholderTables{};
    return r;
}

} // namespace fighttest

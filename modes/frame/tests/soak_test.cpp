// The soak: seeded matches between hostile AKs, fought through the game
// processor's exports as a mode plays them, narration on, logs and output AK
// files written to a scratch folder. Every field of both records holds a
// random value (negative experience, durability and money included, the
// extremes of the 32-bit range too); every text is long, up to its whole
// field, of CP932 characters that mean something to the readers and writers
// (format marks, quotes, commas, separators, '\' as a trail byte, CR, TAB,
// half-width kana). Each match must end; each log must be valid CP932 whose
// every line ends in CR LF; each output AK file must load again.
#include "modes/frame/imports.h"
#include "modes/frame/match.h"
#include "modes/frame/setup.h"
#include "modes/frame/tests/modetest.h"
#include "platform/codec.h"
#include "platform/files.h"

#include <cstring>
#include <random>

namespace {

using namespace modetest;

// Matches of one run, about a minute in the sanitizer build (some 80 a
// second); VELL_SOAK_MATCHES=10000 plays the long soak.
constexpr int SoakMatches = 5000;
// ProcessMatch calls after which a match counts as one that never ends.
constexpr int RoundLimit = 5000;

const bool watchdogInstalled = TestWatchdog::install(std::chrono::minutes(20));

// Characters of the hostile texts: plain and marked ASCII, half-width kana,
// double-byte characters (some with '\' or '|' as their trail byte), the
// attribute letters of the rules, a TAB and a bare CR (which an AK data
// file can carry inside a text; an LF it cannot).
const char* const Pieces[] = {
    "A", "z", "0", "%", "%s", "%n", "\\", "\"", ",", "'", "|", " ", "\t", "\r",
    "\xB1", "\xDF", "\x83\x5C", "\x95\x5C", "\x82\xA0", "\x81\x40", "\x81\x5E", "\x81\x75",
    "\x81\x76", "\x81\x6D", "\x81\x6E", "\x94\x92", "\x93\x8A", "\x8E\xE8", "\x82\x65", "\x8B\xD6",
    "\x82\x6C", "\x8E\xCB", "\x8F\x82", "\x89\x9F", "\x97\x7C", "\x8C\x95", "\x88\xEA", "\xEA\x9F",
};

class Hostile {
public:
    explicit Hostile(uint32_t seed) : rng_(seed) {}

    uint32_t below(uint32_t n) { return rng_() % n; }

    int32_t number() {
        switch (below(8)) {
        case 0:
            return static_cast<int32_t>(rng_());
        case 1:
            return below(2) ? INT32_MAX : INT32_MIN;
        case 2:
            return -static_cast<int32_t>(below(100));
        case 3:
            return 0;
        default:
            return static_cast<int32_t>(below(120));
        }
    }

    // A text of whole characters filling up to the whole field.
    template <size_t N> void text(char (&field)[N]) {
        std::memset(field, 0, N);
        size_t limit = below(3) ? N - 1 : below(N);
        size_t used = 0;
        while (used < limit) {
            const char* piece = Pieces[below(std::size(Pieces))];
            size_t len = std::strlen(piece);
            if (used + len > limit) break;
            std::memcpy(field + used, piece, len);
            used += len;
        }
    }

    TArmoredKnight ak() {
        TArmoredKnight a;
        auto* words = reinterpret_cast<unsigned char*>(&a);
        for (size_t i = 0; i + 4 <= sizeof a; i += 4) {
            int32_t v = number();
            std::memcpy(words + i, &v, 4);
        }
        text(a.ProfileText);
        text(a.EditorVersion);
        text(a.WeaponDataVersion);
        text(a.AkName);
        text(a.Owner.Name);
        text(a.Owner.Id);
        text(a.Owner.SubName);
        text(a.Pilot.Name);
        text(a.Pilot.Sex);
        text(a.Pilot.Profile);
        text(a.Pilot.History);
        text(a.Pilot.FirstPerson);
        text(a.Pilot.Emblem);
        text(a.Pilot.ProfileSub);
        text(a.Frame.Name);
        text(a.Computer.Name);
        text(a.Computer.Nickname);
        text(a.Computer.MissionDisk);
        text(a.Computer.NicknameTail);
        text(a.Computer.Profile);
        text(a.Computer.MasterCall);
        text(a.Computer.ProfileSub);
        text(a.Engine.Name);
        text(a.Armor.Name);
        text(a.Sensor.Name);
        text(a.Sensor.Type);
        text(a.Mover.Name);
        text(a.Escape.Name);
        for (TAkWeapon& w : a.Weapon) {
            text(w.Name);
            text(w.Mount);
            text(w.Attributes);
        }
        text(a.Turbo.Name);
        text(a.Team.Name);
        text(a.Team.Profile);
        for (TAkComment& c : a.Comments) text(c.Text);
        return a;
    }

private:
    std::mt19937 rng_;
};

// Valid CP932 and every line ended by CR LF (a bare CR from a text is no
// line end).
void expectSoundLog(const std::filesystem::path& file, uint32_t seed) {
    std::optional<std::string> bytes = plat::readWholeFile(file.string());
    ASSERT_TRUE(bytes) << file;
    EXPECT_TRUE(plat::cp932ToUtf8(*bytes).has_value()) << file << " seed " << seed;
    for (size_t lf = bytes->find('\n'); lf != std::string::npos; lf = bytes->find('\n', lf + 1)) {
        ASSERT_TRUE(lf > 0 && (*bytes)[lf - 1] == '\r') << file << " seed " << seed << " at " << lf;
    }
}

class Soak : public ModeTest {};

TEST_F(Soak, HostileAksNarratedAndLogged) {
    makeConf(true);
    settings_.Options[OptAkOutput] = 1;
    modes::ModeSetup setup(modes::modeInfo(modes::ModeKind::League), settings_, header_, sources_);
    ASSERT_TRUE(setup.startSystem());
    std::filesystem::create_directories(path("logs"));
    const std::string log = scratch() + "logs/match";
    const std::string out = scratch() + "out";
    auto sides = modes::makeMatchSides();

    int matches = SoakMatches;
    if (const char* n = std::getenv("VELL_SOAK_MATCHES")) matches = std::atoi(n);
    for (uint32_t seed = 1; seed <= static_cast<uint32_t>(matches); ++seed) {
        Hostile h(seed);
        GameSettings gs = settings_;
        for (int flag : {OptInternalInfo, OptAddHeader, OptParry, OptDrainContinues, OptProgramCommands,
                         OptHtmlLog, OptBerserk, OptBattleInfoInAk, OptNoFullToHalf, OptAnnouncerNameReplace})
            gs.Options[flag] = static_cast<uint8_t>(h.below(2));
        gs.MatchType = static_cast<uint8_t>(h.below(6));
        gs.MatchMinutes = 1 + static_cast<int32_t>(h.below(30));
        gs.MessagePercent = static_cast<int32_t>(h.below(101));
        gs.OutputColumns = 20 + static_cast<int32_t>(h.below(120));
        gs.NameWidth = static_cast<int32_t>(h.below(40));
        gs.DigestMode = static_cast<int32_t>(h.below(4));
        sjis::writeField(gs.AkFile1, scratch() + "ak/h1.dat");
        sjis::writeField(gs.AkFile2, scratch() + "ak/h2.dat");
        sides->Ak[0] = h.ak();
        sides->Ak[1] = h.ak();
        sides->State[0] = modes::CombatantSlot{};
        sides->State[1] = modes::CombatantSlot{};
        plat::random::seed(seed);

        SetEnvironment(&gs);
        SetAkData(&sides->Ak[0], &sides->Ak[1], &sides->State[0].State, &sides->State[1].State);
        StartMatch(log.c_str(), "soak");
        int rounds = 0;
        while (ProcessMatch(log.c_str()) == 0 && ++rounds < RoundLimit) {
        }
        ASSERT_LT(rounds, RoundLimit) << "seed " << seed << " never ends";
        EndMatch1(log.c_str(), out.c_str());
        EndMatch2(log.c_str());

        for (const auto& e : std::filesystem::directory_iterator(path("logs"))) {
            expectSoundLog(e.path(), seed);
            std::filesystem::remove(e.path());
        }
        for (const auto& e : std::filesystem::directory_iterator(path("out"))) {
            TArmoredKnight back{};
            EXPECT_EQ(LoadAkData(&back, e.path().c_str()), 0) << e.path() << " seed " << seed;
            std::filesystem::remove(e.path());
        }
        plat::notify::clearRecorded();
        if (::testing::Test::HasFailure()) return;
    }
}

} // namespace

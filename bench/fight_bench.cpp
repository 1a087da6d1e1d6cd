// Whole matches between the sample AKs, narration and logs off, as the
// batch modes play them: matches per second and d100 draws per second, by
// match type. Before the timings the program prints one signature over a
// fixed set of seeded matches (every pair of sample AKs, every match type),
// so that a run shows whether the rules it timed are the rules of the last
// run.
#include "akdata/akfile.h"
#include "core/dice.h"
#include "core/match.h"
#include "core/module.h"
#include "platform/random.h"

#include "bench/benchmain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int SampleCount = 8;

const TArmoredKnight& sample(int n) {
    static TArmoredKnight aks[SampleCount] = {};
    static bool loaded = false;
    if (!loaded) {
        for (int i = 0; i < SampleCount; ++i) {
            char path[256];
            std::snprintf(path, sizeof path, "%sAkData/ak%02d.dat", VELL_SAMPLE_DIR, i + 1);
            akdata::loadAkData(aks[i], path);
        }
        loaded = true;
    }
    return aks[n];
}

struct Bout {
    GameSettings settings{};
    TArmoredKnight ak[2];
    cv::CombatantState state[2];
    std::unique_ptr<cv::GameMessageBuffer> buffer = std::make_unique<cv::GameMessageBuffer>();
};

// One match of the given type between samples i and j from `seed`; returns
// its end and adds what it did to `signature`.
cv::MatchEnd play(Bout& bout, int type, int i, int j, int32_t seed, uint64_t* signature = nullptr) {
    GameSettings& gs = bout.settings;
    gs = GameSettings{};
    gs.MatchType = static_cast<uint8_t>(type);
    gs.MatchMinutes = 20;
    gs.Options[OptMessagesOff] = 1;
    gs.Options[OptParry] = 1;
    gs.Options[OptProgramCommands] = 1;
    cv::Module().Settings = &gs;
    bout.ak[0] = sample(i);
    bout.ak[1] = sample(j);
    cv::SetAkData(bout.ak[0], bout.ak[1], bout.state[0], bout.state[1]);
    cv::SetDiceSeed(seed);
    plat::random::seed(static_cast<uint32_t>(seed));
    cv::StartMatch(*bout.buffer, "");
    cv::MatchEnd end = cv::PlayMatch(*bout.buffer);
    if (signature) {
        int64_t values[] = {end.Code, end.Rounds, gs.Result, gs.LastBodyDamage, cv::GetDiceSeed()};
        for (int64_t v : values) *signature = (*signature ^ static_cast<uint64_t>(v)) * 1099511628211ull;
        for (const TArmoredKnight& ak : bout.ak)
            for (int p = 0; p < BodyPartCount; ++p)
                *signature = (*signature ^ static_cast<uint32_t>(ak.Frame.Durability[p])) * 1099511628211ull;
    }
    return end;
}

void printSignature() {
    Bout bout;
    uint64_t signature = 1469598103934665603ull;
    uint64_t draws = cv::DiceDrawCount();
    int matches = 0;
    for (int type = 0; type < 6; ++type)
        for (int i = 0; i < SampleCount; ++i)
            for (int j = 0; j < SampleCount; ++j, ++matches)
                play(bout, type, i, j, 1000 * type + 10 * i + j, &signature);
    std::printf("signature %016llx over %d seeded matches, %llu d100\n",
                static_cast<unsigned long long>(signature), matches,
                static_cast<unsigned long long>(cv::DiceDrawCount() - draws));
}

// Matches of one type, the pairs of samples in turn.
void Matches(benchmark::State& state) {
    int type = static_cast<int>(state.range(0));
    Bout bout;
    int64_t matches = 0, rounds = 0;
    uint64_t draws = cv::DiceDrawCount();
    for (auto _ : state) {
        int pair = static_cast<int>(matches % (SampleCount * SampleCount));
        cv::MatchEnd end =
            play(bout, type, pair / SampleCount, pair % SampleCount, static_cast<int32_t>(matches + 1));
        benchmark::DoNotOptimize(end);
        rounds += end.Rounds;
        ++matches;
    }
    state.counters["matches"] = benchmark::Counter(static_cast<double>(matches), benchmark::Counter::kIsRate);
    state.counters["draws"] =
        benchmark::Counter(static_cast<double>(cv::DiceDrawCount() - draws), benchmark::Counter::kIsRate);
    state.counters["rounds/match"] = static_cast<double>(rounds) / static_cast<double>(matches ? matches : 1);
}
BENCHMARK(Matches)->DenseRange(0, 5)->ArgName("type");

} // namespace

int main(int argc, char** argv) {
    return vellbench::run(argc, argv, printSignature);
}

// The entrant rows of the game modes over a folder of AK data files, through
// the plug-in common library's exports: cmnMakeDigest2, the quick row the
// modes fill for long folder lists from the head of each file, against
// cmnMakeDigest3, the battle royal's row from the whole loaded AK. The
// folder is made at start in a temporary folder: 200 copies of the sample
// AKs. Each timed pass reads the whole folder, so the gap between the two
// rows is the time per pass (and files per second) side by side. Before the
// timings the program prints one signature over the rows of one pass of
// each kind.
#include "common/vellcmn.h"
#include "platform/files.h"

#include "bench/benchmain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int SampleCount = 8;
constexpr int FileCount = 200;

// The folder of AK files: ak001.dat to ak200.dat, file n a copy of sample
// ((n - 1) mod 8) + 1. Made once, removed at exit.
struct AkFolder {
    plat::TempFolder temp;
    std::vector<std::string> files;

    AkFolder() {
        std::string samples[SampleCount];
        for (int i = 0; i < SampleCount; ++i) {
            char path[256];
            std::snprintf(path, sizeof path, "%sAkData/ak%02d.dat", VELL_SAMPLE_DIR, i + 1);
            samples[i] = plat::readWholeFile(path).value_or(std::string());
        }
        for (int n = 0; n < FileCount; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "ak%03d.dat", n + 1);
            std::ofstream(temp.osPath() + "/" + name, std::ios::binary) << samples[n % SampleCount];
            files.emplace_back(name);
        }
    }
};

const AkFolder& folder() {
    static AkFolder f;
    return f;
}

template <class T> void mix(uint64_t& signature, const T& record) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &record, sizeof(T));
    for (unsigned char b : bytes) signature = (signature ^ b) * 1099511628211ull;
}

void printSignature() {
    const AkFolder& f = folder();
    uint64_t signature = 1469598103934665603ull;
    int quick = 0, royal = 0;
    for (const std::string& file : f.files) {
        EntryRecord row{};
        if (cmnMakeDigest2(f.temp.osPath().c_str(), file.c_str(), &row) == 0) ++quick;
        mix(signature, row);
    }
    for (const std::string& file : f.files) {
        RoyalEntryRecord row{};
        if (cmnMakeDigest3(f.temp.osPath().c_str(), file.c_str(), &row) == 0) ++royal;
        mix(signature, row);
    }
    std::printf("signature %016llx over %d AK files: %d quick rows, %d battle-royal rows\n",
                static_cast<unsigned long long>(signature), FileCount, quick, royal);
}

// One pass of cmnMakeDigest2 over the folder, each row zero-filled first as
// its owner does.
void QuickRows(benchmark::State& state) {
    const AkFolder& f = folder();
    for (auto _ : state) {
        for (const std::string& file : f.files) {
            EntryRecord row{};
            benchmark::DoNotOptimize(cmnMakeDigest2(f.temp.osPath().c_str(), file.c_str(), &row));
            benchmark::DoNotOptimize(row);
        }
    }
    state.SetItemsProcessed(state.iterations() * FileCount);
}
BENCHMARK(QuickRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// One pass of cmnMakeDigest3 over the same folder.
void RoyalRows(benchmark::State& state) {
    const AkFolder& f = folder();
    for (auto _ : state) {
        for (const std::string& file : f.files) {
            RoyalEntryRecord row{};
            benchmark::DoNotOptimize(cmnMakeDigest3(f.temp.osPath().c_str(), file.c_str(), &row));
            benchmark::DoNotOptimize(row);
        }
    }
    state.SetItemsProcessed(state.iterations() * FileCount);
}
BENCHMARK(RoyalRows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return vellbench::run(argc, argv, printSignature);
}

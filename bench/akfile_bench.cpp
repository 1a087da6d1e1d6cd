// The AK data file reader and writer over the sample AKs: parsing the bytes
// of a file into a TArmoredKnight (with the derived values recomputed, as at
// every load), formatting a record in the editor's and in the game
// processor's form, and the whole file round trips that the modes and the
// editor make: loading from disk, and saving over a file through a
// temporary name. Every event loads each of its AKs at least once and the
// game processor writes one output AK per side and match, so these sit on
// every event's path. Before the timings the program prints one signature
// over the parsed records, their two text forms and the saved files.
#include "akdata/akfile.h"
#include "platform/files.h"

#include "bench/benchmain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr int SampleCount = 8;

std::string samplePath(int i) {
    char path[256];
    std::snprintf(path, sizeof path, "%sAkData/ak%02d.dat", VELL_SAMPLE_DIR, i + 1);
    return path;
}

// The bytes of the sample files, read once.
const std::string& sampleBytes(int i) {
    static std::string bytes[SampleCount];
    static bool read = false;
    if (!read) {
        for (int n = 0; n < SampleCount; ++n)
            bytes[n] = plat::readWholeFile(samplePath(n)).value_or(std::string());
        read = true;
    }
    return bytes[i];
}

// The samples parsed once, for the writers.
const TArmoredKnight& sample(int i) {
    static std::unique_ptr<TArmoredKnight[]> aks;
    if (!aks) {
        aks = std::make_unique<TArmoredKnight[]>(SampleCount);
        for (int n = 0; n < SampleCount; ++n) akdata::parseAkData(aks[n], sampleBytes(n));
    }
    return aks[i];
}

// Where the save benchmark and the signature write: out01.dat to out08.dat.
const plat::TempFolder& outFolder() {
    static plat::TempFolder folder;
    return folder;
}

std::string outPath(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "/out%02d.dat", i + 1);
    return outFolder().osPath() + name;
}

void mix(uint64_t& signature, std::string_view bytes) {
    for (unsigned char b : bytes) signature = (signature ^ b) * 1099511628211ull;
}

void mix(uint64_t& signature, const TArmoredKnight& ak) {
    auto bytes = std::make_unique<char[]>(sizeof ak);
    std::memcpy(bytes.get(), &ak, sizeof ak);
    mix(signature, std::string_view(bytes.get(), sizeof ak));
}

void printSignature() {
    uint64_t signature = 1469598103934665603ull;
    auto ak = std::make_unique<TArmoredKnight>();
    int parsed = 0, saved = 0;
    size_t written = 0;
    for (int i = 0; i < SampleCount; ++i) {
        if (akdata::parseAkData(*ak, sampleBytes(i)) == akdata::LoadOk) ++parsed;
        mix(signature, *ak);
        for (akdata::AkFileStyle style : {akdata::AkFileStyle::Editor, akdata::AkFileStyle::GameProcessor}) {
            std::string text = akdata::formatAkData(*ak, style);
            written += text.size();
            mix(signature, text);
            akdata::parseAkData(*ak, text);
            mix(signature, *ak);
        }
        if (akdata::saveAkData(sample(i), outPath(i)) == 0) ++saved;
        mix(signature, plat::readWholeFile(outPath(i)).value_or(std::string()));
    }
    std::printf("signature %016llx over %d sample AKs: %d parsed, %zu bytes formatted, %d saved\n",
                static_cast<unsigned long long>(signature), SampleCount, parsed, written, saved);
}

// Parsing the bytes of all samples (no file access).
void Parse(benchmark::State& state) {
    auto ak = std::make_unique<TArmoredKnight>();
    int64_t bytes = 0;
    for (auto _ : state) {
        for (int i = 0; i < SampleCount; ++i) {
            benchmark::DoNotOptimize(akdata::parseAkData(*ak, sampleBytes(i)));
            bytes += static_cast<int64_t>(sampleBytes(i).size());
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * SampleCount);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(Parse)->Unit(benchmark::kMicrosecond);

// Formatting all samples in the editor's form (0) or the game processor's (1).
void Format(benchmark::State& state) {
    auto style = state.range(0) == 0 ? akdata::AkFileStyle::Editor : akdata::AkFileStyle::GameProcessor;
    int64_t bytes = 0;
    for (auto _ : state) {
        for (int i = 0; i < SampleCount; ++i) {
            std::string text = akdata::formatAkData(sample(i), style);
            bytes += static_cast<int64_t>(text.size());
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * SampleCount);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(Format)->Arg(0)->Arg(1)->ArgName("style")->Unit(benchmark::kMicrosecond);

// Loading all sample files from disk.
void Load(benchmark::State& state) {
    auto ak = std::make_unique<TArmoredKnight>();
    std::string paths[SampleCount];
    for (int i = 0; i < SampleCount; ++i) paths[i] = samplePath(i);
    for (auto _ : state) {
        for (const std::string& path : paths) benchmark::DoNotOptimize(akdata::loadAkData(*ak, path));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * SampleCount);
}
BENCHMARK(Load)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Saving all samples over their files in the temporary folder.
void Save(benchmark::State& state) {
    std::string paths[SampleCount];
    for (int i = 0; i < SampleCount; ++i) paths[i] = outPath(i);
    for (auto _ : state)
        for (int i = 0; i < SampleCount; ++i)
            benchmark::DoNotOptimize(akdata::saveAkData(sample(i), paths[i]));
    state.SetItemsProcessed(state.iterations() * SampleCount);
}
BENCHMARK(Save)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return vellbench::run(argc, argv, printSignature);
}

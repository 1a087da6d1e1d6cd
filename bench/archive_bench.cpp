// The message archives of the sample program folder (Message/*.kwp), read as
// the game processor reads them: the whole file into memory, its directory
// checked, every entry's stored lines found and each line decoded by the
// line codec. Also the codec on its own, both ways, over every line of the
// archives. The game processor loads its message sets at every start and
// decodes a stored line for every narrated message, so decoding sits on the
// path of every match that narrates. Before the timings the program prints
// one signature over the decoded lines and their encoded forms.
#include "kwph/archive_view.h"
#include "kwph/codec.h"
#include "platform/files.h"

#include "bench/benchmain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr const char* ArchiveNames[] = {"Basic", "Ana01", "Com01", "Pil01"};
constexpr int ArchiveCount = static_cast<int>(std::size(ArchiveNames));

std::string archivePath(int i) {
    return std::string(VELL_SAMPLE_DIR) + "Message/" + ArchiveNames[i] + ".kwp";
}

// The archives' bytes, read once.
const std::string& archiveBytes(int i) {
    static std::vector<std::string> bytes;
    if (bytes.empty())
        for (int n = 0; n < ArchiveCount; ++n)
            bytes.push_back(plat::readWholeFile(archivePath(n)).value_or(""));
    return bytes[i];
}

// Decodes every line of every entry of one archive; returns the lines
// decoded (-1 when the archive or an entry is bad) and hands each decoded
// line to `use`.
template <class F> int decodeArchive(std::string_view file, F&& use) {
    kwp::ArchiveView view(file);
    if (!view.ok()) return -1;
    int lines = 0;
    for (size_t e = 0; e < view.count(); ++e) {
        std::optional<kwp::KwpEntryLines> entry = view.lines(e);
        if (!entry) return -1;
        for (std::string_view stored : entry->lines) {
            use(kwp::decodeLine(stored, kwp::DecodeMode::Letters));
            ++lines;
        }
    }
    return lines;
}

// Every decoded line of the archives, for the encoder.
const std::vector<std::string>& decodedLines() {
    static std::vector<std::string> lines;
    if (lines.empty())
        for (int i = 0; i < ArchiveCount; ++i)
            decodeArchive(archiveBytes(i), [](std::string text) { lines.push_back(std::move(text)); });
    return lines;
}

void mix(uint64_t& signature, std::string_view bytes) {
    for (unsigned char b : bytes) signature = (signature ^ b) * 1099511628211ull;
    signature = (signature ^ 0xFFu) * 1099511628211ull; // line end
}

void printSignature() {
    uint64_t signature = 1469598103934665603ull;
    int entries = 0, lines = 0, bad = 0;
    for (int i = 0; i < ArchiveCount; ++i) {
        kwp::ArchiveView view(archiveBytes(i));
        entries += static_cast<int>(view.count());
        int n = decodeArchive(archiveBytes(i), [&](const std::string& text) {
            mix(signature, text);
            mix(signature, kwp::encodeLine(text));
        });
        if (n < 0)
            ++bad;
        else
            lines += n;
    }
    std::printf("signature %016llx over %d archives: %d entries, %d lines, %d bad archives\n",
                static_cast<unsigned long long>(signature), ArchiveCount, entries, lines, bad);
}

// Every archive from memory: directory, entries, every line decoded.
void DecodeArchives(benchmark::State& state) {
    int64_t lines = 0, bytes = 0;
    for (auto _ : state) {
        for (int i = 0; i < ArchiveCount; ++i) {
            lines += decodeArchive(archiveBytes(i),
                                   [](const std::string& text) { benchmark::DoNotOptimize(text); });
            bytes += static_cast<int64_t>(archiveBytes(i).size());
        }
    }
    state.counters["lines"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(DecodeArchives)->Unit(benchmark::kMicrosecond);

// The same with each archive read from disk first, as at a start.
void ReadArchives(benchmark::State& state) {
    std::string paths[ArchiveCount];
    for (int i = 0; i < ArchiveCount; ++i) paths[i] = archivePath(i);
    int64_t lines = 0;
    for (auto _ : state) {
        for (const std::string& path : paths) {
            std::string file = plat::readWholeFile(path).value_or("");
            lines += decodeArchive(file, [](const std::string& text) { benchmark::DoNotOptimize(text); });
        }
    }
    state.counters["lines"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}
BENCHMARK(ReadArchives)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The codec alone: every archive line encoded, or the encoded lines decoded.
void EncodeLines(benchmark::State& state) {
    const std::vector<std::string>& texts = decodedLines();
    for (auto _ : state)
        for (const std::string& text : texts) benchmark::DoNotOptimize(kwp::encodeLine(text));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}
BENCHMARK(EncodeLines)->Unit(benchmark::kMicrosecond);

void DecodeLines(benchmark::State& state) {
    std::vector<std::string> stored;
    for (const std::string& text : decodedLines()) stored.push_back(kwp::encodeLine(text));
    for (auto _ : state)
        for (const std::string& line : stored)
            benchmark::DoNotOptimize(kwp::decodeLine(line, kwp::DecodeMode::Letters));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(stored.size()));
}
BENCHMARK(DecodeLines)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return vellbench::run(argc, argv, printSignature);
}

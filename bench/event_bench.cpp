// Whole events with their files, as a game master runs them: leagues of
// copies of the eight sample AKs (new names, e001.dat ...) in a temporary
// folder ($TMPDIR, else /tmp: point it at the disk to measure), played by
// the league's run loop through the game processor's exports with the
// league's own settings: text, check and HTML logs, the one digest.mom, and
// no output AK files (the league's set-up window sets option 16 and clears
// option 23, so every match starts from the entrants' own files). One line
// each:
//   League64         2,016 matches, the median of five leagues: matches/s,
//                    ms per match in the first and the last tenth and their
//                    ratio (also per KB of log, since the tenths' matches
//                    differ in length), the same files and bytes written
//                    again by a plain writer (fopen, fwrite, fclose) in the
//                    same folders and the plain writer's time against the
//                    event's (vs_plain), the resident memory after the
//                    first tenth and at the end of the first league;
//   League16         120 matches against the same matches each run alone in
//                    fresh folders (vs_alone), and in folders that already
//                    hold 16,000 other files (full_folder), medians of five;
//   Tournament2000   a tournament of 2,000 entrants through the tournament
//                    plug-in's run without its windows: the entry list, the
//                    progress window's entry table and bracket, the run
//                    thread's 1,999 matches and the third-place match with
//                    every log and the output AK files the tournament forces
//                    on, the result bracket and the ranking, the removal of
//                    the run's output AK files (the conf keeps none), the
//                    durability point and the result file: seconds (goal:
//                    10 at most) and the program's peak resident memory
//                    during it, in MB (goal: 300 at most);
//   FightOnly        matches without narration and without files, the six
//                    match types in turn;
//   NarrationOnly    the same matches narrated into the queue, no files;
//   NarrationDeathMatch  the same with the leagues' death matches only;
//   TournamentCleanup/N  the tournament's start-of-run clean-up of old
//                    outputs with N entrants, ms per entrant.
// The event's time includes the end of the event: the deferred durability
// point and the result file. The leagues write one digest.mom (digest mode
// 2); EVENT_BENCH_DIGEST_MODE=<n> runs them with another digest mode.
//
// Before the timings the program prints one signature over every file that
// a seeded league of eight writes with a fixed clock: the files an event
// writes must not change with its speed.
#include "base/sjis.h"
#include "modes/brackets/bracket.h"
#include "modes/brackets/tourlogic.h"
#include "modes/frame/entrants.h"
#include "modes/frame/imports.h"
#include "modes/frame/match.h"
#include "modes/frame/modeinfo.h"
#include "modes/frame/runthread.h"
#include "modes/frame/setup.h"
#include "modes/frame/standings.h"
#include "modes/frame/tables.h"
#include "modes/league/leaguelogic.h"
#include "platform/clock.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/registry.h"

#include "bench/benchmain.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string ProgramDir = VELL_PROGRAM_DIR "/";
constexpr int SampleCount = 8;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

std::string cp932(const char* utf8) {
    return plat::utf8ToCp932(utf8).value_or("");
}

// Resident memory in MB.
double residentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The program's peak resident memory is counted from now on (Linux resets
// its high-water mark when 5 is written to clear_refs); false when it
// cannot be reset.
bool resetPeakMemory() {
    std::ofstream refs("/proc/self/clear_refs");
    refs << "5";
    refs.flush();
    return static_cast<bool>(refs);
}

// The peak resident memory in MB (VmHWM).
double peakMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

void seedEverything() {
    plat::clock::LocalTime t;
    t.year = 2026;
    t.month = 4;
    t.day = 5;
    t.hour = 13;
    t.minute = 7;
    t.second = 9;
    plat::clock::setFixedLocalTime(t);
    plat::clock::setFixedEpochSeconds(1775394429);
    RandomizeSystem();
    plat::random::seed(1);
}

// The temporary folders of the benchmark function that runs, kept until it
// returns. A file system may make a new file slower while it holds many
// recently deleted ones (ext4 looks them over when it places a new inode),
// so removing one league's folders before the next league of the function
// would charge whichever writer comes next, the event or the plain writer,
// for the removal. When the function returns, outside any timed section,
// they go together, so one function's folders exist at a time; the most are
// League64's five leagues with their logs, output AK files and the plain
// writer's copies of them.
std::vector<std::unique_ptr<plat::TempFolder>>& functionFolders() {
    static std::vector<std::unique_ptr<plat::TempFolder>> folders;
    return folders;
}

plat::TempFolder& functionFolder() {
    return *functionFolders().emplace_back(std::make_unique<plat::TempFolder>());
}

// The first local of a benchmark function: its folders are removed when it
// returns, after every other local that refers to them.
struct RemoveFoldersOnReturn {
    RemoveFoldersOnReturn() = default;
    RemoveFoldersOnReturn(const RemoveFoldersOnReturn&) = delete;
    RemoveFoldersOnReturn& operator=(const RemoveFoldersOnReturn&) = delete;
    ~RemoveFoldersOnReturn() { functionFolders().clear(); }
};

// The event's folders under a fresh temporary folder: ak/ with the
// entrants, out/ for the output AK files, result/ for the logs.
struct EventFolder {
    plat::TempFolder& Dir = functionFolder();
    fs::path Root{Dir.osPath()};

    EventFolder() {
        for (const char* sub : {"ak", "out", "result"}) fs::create_directories(Root / sub);
    }
    std::string folder(const char* sub) const { return (Root / sub).string(); }

    // Entrant k is a copy of sample k mod 8 as "e<k+1>.dat".
    void copyEntrants(int n) const {
        for (int k = 0; k < n; ++k)
            fs::copy_file(ProgramDir + "AkData/ak0" + std::to_string(k % SampleCount + 1) + ".dat",
                          Root / "ak" / entrantFile(k), fs::copy_options::overwrite_existing);
    }
    static std::string entrantFile(int k) {
        char name[32];
        std::snprintf(name, sizeof name, "e%03d.dat", k + 1);
        return name;
    }
    // `n` files that have nothing to do with the event.
    void fill(const char* sub, int n) const {
        for (int k = 0; k < n; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "other%05d.txt", k);
            std::ofstream(Root / sub / name) << "x";
        }
    }
};

// The game processor's system as a mode's set-up window starts it, with the
// sample program folder's message sets: the base set, one announcer, one
// computer set and one pilot set with triggers that some samples carry.
class System {
public:
    System() {
        plat::setProgramFolder(ProgramDir);
        plat::reg::setStorePath((fs::path(store_.osPath()) / "registry.reg").string());
        plat::notify::setHeadlessEcho(false);
        plat::notify::setHeadlessAnswer(0);
        plat::reg::writeValue("Software\\Corvane\\Message\\Standard", "Path", "Message\\Basic.kwp");
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::League), settings_,
                                                    header_, sources_);
        modes::MessageTables& t = setup_->tables();
        sjis::writeField(t.Announcers[1].Id, "Ana01");
        sjis::writeField(t.Announcers[1].Name, cp932("実況"));
        sjis::writeField(t.Announcers[1].Path, "Message\\Ana01.kwp");
        t.AnnouncerCount = 1;
        sjis::writeField(t.Computers[1].Id, "Com01");
        sjis::writeField(t.Computers[1].Trigger[0], cp932("格闘"));
        sjis::writeField(t.Computers[1].Path, "Message\\Com01.kwp");
        t.ComputerCount = 1;
        sjis::writeField(t.Pilots[1].Id, "Pil01");
        sjis::writeField(t.Pilots[1].Trigger[0], cp932("男性"));
        sjis::writeField(t.Pilots[1].Path, "Message\\Pil01.kwp");
        t.PilotCount = 1;
        if (!setup_->startSystem()) std::fprintf(stderr, "event_bench: StartSystem failed\n");
    }
    const MsgWords& words() const { return setup_->tables().Words; }
    cv::GameMessageBuffer* buffer() const { return setup_->buffer(); }

private:
    plat::TempFolder store_; // the system's own: it lives as long as the program
    GameSettings settings_{};
    ConfHeader header_{};
    AkSourceList sources_{};
    std::unique_ptr<modes::ModeSetup> setup_;
};

System& system() {
    static System s;
    return s;
}

// A league conf over the folders: a death match, every log when `files`,
// no output AK files (as the league's set-up window sets them).
void makeConf(GameSettings& gs, ConfHeader& header, const EventFolder& f, bool files) {
    gs = GameSettings{};
    header = ConfHeader{};
    sjis::writeField(header.ConfName, "Bench league");
    sjis::writeField(header.AkInputFolder, f.folder("ak"));
    sjis::writeField(header.AkOutputFolder, f.folder("out"));
    sjis::writeField(header.ResultFolder, f.folder("result"));
    header.GameForm = 3;
    sjis::writeField(gs.StadiumName, cp932("試験場"));
    sjis::writeField(gs.OrganiserName, cp932("技術部"));
    gs.MatchType = 3;
    gs.MatchMinutes = 30;
    gs.OutputColumns = 78;
    gs.NameWidth = 16;
    gs.MessagePercent = 100;
    gs.WinnerCr = 300;
    gs.LoserCr = 100;
    const char* digestMode = std::getenv("EVENT_BENCH_DIGEST_MODE");
    gs.DigestMode = digestMode ? std::atoi(digestMode) : 2;
    gs.AnnouncerIndex = 1;
    for (int flag : {OptImmobileDraw, OptAutoProcess, OptResupplyWinner, OptAddHeader, OptBattleInfoInAk,
                     OptDrainContinues})
        gs.Options[flag] = 1;
    for (int flag : {OptLogOutput, OptInternalInfo, OptHtmlLog}) gs.Options[flag] = files ? 1 : 0;
    gs.Options[OptAkOutput] = 0;
}

// A run host that carries out on the spot what the run loop hands to the
// window thread, and notes when each match ended.
class DirectHost : public modes::RunHost {
public:
    void post(std::function<void()> call) override { call(); }
    void postGameDone() override {}
    void showCleanup(std::string_view status, int, int) override {
        if (status.empty()) Ends.push_back(Clock::now()); // the old logs are gone: the first match starts
    }
    void finished() override {}
    std::vector<Clock::time_point> Ends;
};

struct LeagueTimes {
    std::vector<double> Match; // seconds per match, in playing order
    double Total = 0;          // the whole event, result file included
    double RssFirstTenth = 0;
    double RssEnd = 0;
};

// One league of the first `n` entrants of the folder, as the league plug-in
// runs it after its start button, then the end of the event: the durability
// point and the result file.
LeagueTimes runLeague(const EventFolder& f, int n) {
    GameSettings gs;
    ConfHeader header;
    makeConf(gs, header, f, true);
    modes::EntrantList entrants;
    for (int k = 0; k < n; ++k)
        entrants.push_back(modes::makeEntrant(f.folder("ak"), EventFolder::entrantFile(k)));

    LeagueTimes times;
    DirectHost host;
    modes::RunThread thread(host);
    league::LeagueRun run(entrants, gs, header, system().words());
    int tenth = std::max(1, league::matchCount(n) / 10);
    run.onProgress = [&](int done, int) {
        host.Ends.push_back(Clock::now());
        if (done == tenth) times.RssFirstTenth = residentMb();
    };
    Clock::time_point start = Clock::now();
    run.Execute(thread);
    plat::syncDeferredWrites();
    league::computeWinRates(entrants);
    modes::Lines table = league::entryTable(header, gs, entrants, plat::clock::localNow());
    modes::Lines results = league::resultTable(gs, modes::standings(entrants));
    table.insert(table.end(), results.begin(), results.end());
    modes::saveResultFile(f.folder("result") + "/League.txt", modes::memoText(table));
    times.Total = seconds(Clock::now() - start);
    times.RssEnd = residentMb();
    for (size_t k = 1; k < host.Ends.size(); ++k)
        times.Match.push_back(seconds(host.Ends[k] - host.Ends[k - 1]));
    return times;
}

// A seeded league of the folder's first `n` entrants, copied in first.
LeagueTimes seededLeague(const EventFolder& f, int n) {
    f.copyEntrants(n);
    seedEverything();
    return runLeague(f, n);
}

double mean(const std::vector<double>& v, size_t from, size_t to) {
    double sum = 0;
    for (size_t k = from; k < to; ++k) sum += v[k];
    return to > from ? sum / static_cast<double>(to - from) : 0;
}

double sum(const std::vector<double>& v) {
    return mean(v, 0, v.size()) * static_cast<double>(v.size());
}

// Every file of the event's output folders, by name, with its bytes.
std::vector<std::pair<fs::path, std::string>> eventFiles(const EventFolder& f) {
    std::vector<std::pair<fs::path, std::string>> files;
    for (const char* sub : {"out", "result"}) {
        for (const fs::directory_entry& e : fs::directory_iterator(f.Root / sub)) {
            std::ifstream in(e.path(), std::ios::binary);
            files.emplace_back(e.path(), std::string(std::istreambuf_iterator<char>(in), {}));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The same files and bytes written by a plain writer beside them (as
// "raw_<name>"), in one write each; seconds.
double writePlain(const std::vector<std::pair<fs::path, std::string>>& files) {
    Clock::time_point start = Clock::now();
    for (const auto& [path, bytes] : files) {
        fs::path raw = path.parent_path() / ("raw_" + path.filename().string());
        std::FILE* out = std::fopen(raw.c_str(), "wb");
        if (!out) continue;
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    return seconds(Clock::now() - start);
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// The bytes of the three logs of each match of a league of `n`, in
// playing order, from the event's files.
std::vector<double> logBytes(const std::vector<std::pair<fs::path, std::string>>& files, int n) {
    std::unordered_map<std::string, size_t> sizes;
    for (const auto& [path, bytes] : files) sizes[path.filename().string()] = bytes.size();
    std::vector<double> out;
    for (auto [i, j] : league::pairings(n)) {
        double b = 0;
        for (const char* ext : {".txt", ".chk", ".htm"}) {
            char name[32];
            std::snprintf(name, sizeof name, "lg_%03d_%03d%s", i + 1, j + 1, ext);
            if (auto it = sizes.find(name); it != sizes.end()) b += static_cast<double>(it->second);
        }
        out.push_back(b);
    }
    return out;
}

// The same seeded league played five times in fresh folders; each line is
// the median of the five. The machine's own speed drifts by a third from
// second to second here (the same matches take from 0.65 to 0.9 ms in one
// league and the next), which one league alone would read as growth. The
// matches of the two tenths are not alike either (those of the last write
// about a quarter more log), so the ratio is also given per byte of log
// (per_kb_last/first).
void League64(benchmark::State& state) {
    RemoveFoldersOnReturn removeFolders;
    std::vector<double> rate, firstMs, lastMs, ratio, perKbRatio, plainMs, vsPlain;
    double rssTenth = 0, rssEnd = 0, kbFirst = 0, kbLast = 0;
    for (auto _ : state) {
        EventFolder f;
        LeagueTimes t = seededLeague(f, 64);
        auto files = eventFiles(f);
        std::vector<double> bytes = logBytes(files, 64);
        double plain = writePlain(files);
        size_t n = t.Match.size(), tenth = n / 10;
        if (bytes.size() != n || tenth == 0) {
            state.SkipWithError("the league did not play every match");
            return;
        }
        double first = mean(t.Match, 0, tenth), last = mean(t.Match, n - tenth, n);
        kbFirst = mean(bytes, 0, tenth) / 1024;
        kbLast = mean(bytes, n - tenth, n) / 1024;
        state.SetIterationTime(t.Total);
        rate.push_back(static_cast<double>(n) / t.Total);
        firstMs.push_back(first * 1000);
        lastMs.push_back(last * 1000);
        ratio.push_back(last / first);
        perKbRatio.push_back((last / kbLast) / (first / kbFirst));
        plainMs.push_back(plain * 1000 / static_cast<double>(n));
        vsPlain.push_back(plain / t.Total);
        // The first league's memory: the later ones start after the plain
        // writer's copies of the files have passed through the heap.
        if (rate.size() == 1) {
            rssTenth = t.RssFirstTenth;
            rssEnd = t.RssEnd;
        }
    }
    state.counters["matches/s"] = median(rate);
    state.counters["first_ms"] = median(firstMs);
    state.counters["last_ms"] = median(lastMs);
    state.counters["last/first"] = median(ratio);
    state.counters["kb_first"] = kbFirst;
    state.counters["kb_last"] = kbLast;
    state.counters["per_kb_last/first"] = median(perKbRatio);
    state.counters["plain_ms"] = median(plainMs);
    state.counters["vs_plain"] = median(vsPlain);
    state.counters["rss_tenth_mb"] = rssTenth;
    state.counters["rss_end_mb"] = rssEnd;
}
BENCHMARK(League64)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// The 120 matches of a league of 16, each on its own: fresh folders, the
// pair's two files alone in the entrants' folder; seconds per match.
std::vector<double> runAlone(int n) {
    std::vector<double> times;
    GameSettings gs;
    ConfHeader header;
    auto sides = modes::makeMatchSides();
    for (auto [i, j] : league::pairings(n)) {
        EventFolder f;
        f.copyEntrants(n);
        makeConf(gs, header, f, true);
        modes::applyRunSettings(gs, system().words());
        std::string ak = f.folder("ak") + "/";
        Clock::time_point start = Clock::now();
        modes::playMatch(gs, *sides, ak + EventFolder::entrantFile(i), ak + EventFolder::entrantFile(j),
                         league::logName(f.folder("result"), i + 1, j + 1), "", f.folder("out"));
        times.push_back(seconds(Clock::now() - start));
    }
    plat::syncDeferredWrites();
    return times;
}

void League16(benchmark::State& state) {
    RemoveFoldersOnReturn removeFolders;
    std::vector<double> msPerMatch, vsAlone, fullFolder;
    for (auto _ : state) {
        EventFolder f;
        LeagueTimes league = seededLeague(f, 16);
        EventFolder full;
        full.fill("result", 16000);
        full.fill("out", 16000);
        LeagueTimes crowded = seededLeague(full, 16);
        seedEverything();
        std::vector<double> alone = runAlone(16);
        state.SetIterationTime(league.Total);
        msPerMatch.push_back(mean(league.Match, 0, league.Match.size()) * 1000);
        vsAlone.push_back(sum(league.Match) / sum(alone));
        fullFolder.push_back(sum(crowded.Match) / sum(league.Match));
    }
    // Medians of five, as for League64.
    state.counters["ms/match"] = median(msPerMatch);
    state.counters["vs_alone"] = median(vsAlone);
    state.counters["full_folder"] = median(fullFolder);
}
BENCHMARK(League16)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// A tournament of 2,000 copies of the samples, from "決定" to the result
// file as the tournament plug-in runs it, its windows left out: the
// entrant rows and the bracket, the entry list, the progress window's entry
// table and empty bracket, the run thread's loop through the game processor
// (every log; options 16, 17 and 23 forced on as the set-up window forces
// them; the third-place match), the result bracket and the ranking, the
// removal of the run's output AK files (the conf keeps none), and the
// event's durability point with the result file. One tournament: it takes
// seconds, and its figure is the time a game master waits and the
// program's peak memory meanwhile.
void Tournament2000(benchmark::State& state) {
    RemoveFoldersOnReturn removeFolders;
    constexpr int Entrants = 2000;
    system();
    double startMb = 0, peak = 0;
    int matches = 0;
    bool peakKnown = false;
    for (auto _ : state) {
        EventFolder f;
        f.copyEntrants(Entrants);
        GameSettings gs;
        ConfHeader header;
        makeConf(gs, header, f, true);
        sjis::writeField(header.ConfName, "Bench tournament");
        header.GameForm = 1;
        for (int flag : {OptImmobileDraw, Opt17, OptAkOutput, OptTournamentThirdPlace}) gs.Options[flag] = 1;
        seedEverything();
        // What the benchmarks before it freed goes back to the system, so
        // that the figure is the program's as a tournament finds it.
        malloc_trim(0);
        startMb = residentMb();
        peakKnown = resetPeakMemory();
        Clock::time_point start = Clock::now();

        modes::EntrantList entrants;
        for (int k = 0; k < Entrants; ++k)
            entrants.push_back(modes::makeEntrant(f.folder("ak"), EventFolder::entrantFile(k)));
        brackets::Bracket bracket;
        bracket.build(Entrants, std::move(entrants), false);
        std::vector<const char*> paths = modes::pathArray(bracket.entrants());
        if (!modes::writeEntryListFile(gs, paths.data(), f.folder("result") + "/entrylist.txt",
                                       system().buffer()))
            std::fprintf(stderr, "event_bench: the entry list was not written\n");
        modes::Lines memo = brackets::openingLines(header, gs, bracket, plat::clock::localNow());

        DirectHost host;
        modes::RunThread thread(host);
        brackets::TourRun run(bracket, gs, header, system().words());
        run.onMemo = [&memo](const modes::Lines& lines) {
            memo.insert(memo.end(), lines.begin(), lines.end());
        };
        run.Execute(thread);
        bracket.setResultMode(true);
        modes::Lines results = brackets::resultLines(gs, bracket);
        memo.insert(memo.end(), results.begin(), results.end());
        DeleteOutputAkFile(paths.data(), f.folder("out").c_str());
        modes::saveResultFile(f.folder("result") + "/Tournament.txt", modes::memoText(memo));

        state.SetIterationTime(seconds(Clock::now() - start));
        peak = peakMb();
        matches = run.matchCounter();
    }
    state.counters["matches"] = matches;
    state.counters["start_mb"] = startMb;
    // The high-water mark of the whole program; without the reset it also
    // holds what ran before.
    state.counters[peakKnown ? "peak_mb" : "peak_mb_since_start"] = peak;
}
BENCHMARK(Tournament2000)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// Matches through the exports as the batch modes play them, AKs already
// loaded, no log and no output AK file; match k has type k mod 6 (or the
// type asked for) and the k-th pair of samples.
void playUnlogged(benchmark::State& state, bool narrated, int matchType = -1) {
    RemoveFoldersOnReturn removeFolders;
    system();
    EventFolder f;
    GameSettings gs;
    ConfHeader header;
    makeConf(gs, header, f, false);
    gs.DigestMode = 0; // the digest stays in the log, and there is none
    modes::applyRunSettings(gs, system().words());
    if (narrated) {
        gs.Options[OptMessagesOff] = 0;
        gs.MessagePercent = 100;
    }
    std::vector<std::unique_ptr<TArmoredKnight>> aks;
    for (int k = 0; k < SampleCount; ++k) {
        aks.push_back(std::make_unique<TArmoredKnight>());
        LoadAkData(aks.back().get(), (ProgramDir + "AkData/ak0" + std::to_string(k + 1) + ".dat").c_str());
    }
    auto sides = modes::makeMatchSides();
    seedEverything();
    int64_t matches = 0;
    for (auto _ : state) {
        int pair = static_cast<int>(matches % (SampleCount * SampleCount));
        gs.MatchType = static_cast<uint8_t>(matchType >= 0 ? matchType : matches % 6);
        sides->Ak[0] = *aks[static_cast<size_t>(pair / SampleCount)];
        sides->Ak[1] = *aks[static_cast<size_t>(pair % SampleCount)];
        modes::MatchOutcome outcome = modes::fightMatch(gs, *sides, "", "", "");
        benchmark::DoNotOptimize(outcome);
        ++matches;
    }
    state.counters["matches/s"] =
        benchmark::Counter(static_cast<double>(matches), benchmark::Counter::kIsRate);
}

void FightOnly(benchmark::State& state) {
    playUnlogged(state, false);
}
BENCHMARK(FightOnly);

void NarrationOnly(benchmark::State& state) {
    playUnlogged(state, true);
}
BENCHMARK(NarrationOnly);

// The leagues' own matches narrated: death matches of 30 minutes, which run
// longest of the six types.
void NarrationDeathMatch(benchmark::State& state) {
    playUnlogged(state, true, 3);
}
BENCHMARK(NarrationDeathMatch);

// The tournament's clean-up at the start of a run: N entrants in ak/, an
// earlier run's outputs in out/ (two output AK files per entrant) and in
// result/ (three logs per entrant).
void TournamentCleanup(benchmark::State& state) {
    RemoveFoldersOnReturn removeFolders;
    const int n = static_cast<int>(state.range(0));
    EventFolder f;
    modes::EntrantList entrants;
    for (int k = 0; k < n; ++k) {
        std::string file = EventFolder::entrantFile(k);
        std::ofstream(f.Root / "ak" / file) << "0,0\r\n";
        entrants.push_back(modes::Entrant{f.folder("ak") + "\\" + file, nullptr});
    }
    double total = 0;
    for (auto _ : state) {
        for (int k = 0; k < n; ++k) {
            std::string file = EventFolder::entrantFile(k);
            std::string stem = file.substr(0, file.size() - 4);
            for (const char* ext : {".da1", ".da2"}) std::ofstream(f.Root / "out" / (stem + ext));
            char log[32];
            std::snprintf(log, sizeof log, "tm_%02d_%03d", k / 1000, k % 1000);
            for (const char* ext : {".txt", ".chk", ".htm"})
                std::ofstream(f.Root / "result" / (log + std::string(ext)));
        }
        Clock::time_point start = Clock::now();
        brackets::deleteOldOutputs(f.folder("out"), f.folder("result"), entrants);
        double t = seconds(Clock::now() - start);
        state.SetIterationTime(t);
        total += t;
    }
    state.counters["ms/entrant"] = total * 1000 / static_cast<double>(state.iterations() * n);
}
BENCHMARK(TournamentCleanup)
    ->Arg(1000)
    ->Arg(2000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Every file of a seeded league of eight with a fixed clock, names and
// bytes, into one hash.
void printSignature() {
    RemoveFoldersOnReturn removeFolders;
    EventFolder f;
    seededLeague(f, SampleCount);
    uint64_t signature = 1469598103934665603ull;
    size_t bytes = 0;
    auto files = eventFiles(f);
    for (const auto& [path, data] : files) {
        std::string name = path.parent_path().filename().string() + "/" + path.filename().string();
        for (char c : name + '\0' + data)
            signature = (signature ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        bytes += data.size();
    }
    std::printf("signature %016llx over the %zu files (%zu bytes) of a seeded league of %d\n",
                static_cast<unsigned long long>(signature), files.size(), bytes, SampleCount);
    plat::clock::setFixedLocalTime(std::nullopt);
    plat::clock::setFixedEpochSeconds(std::nullopt);
}

} // namespace

int main(int argc, char** argv) {
    return vellbench::run(argc, argv, printSignature);
}

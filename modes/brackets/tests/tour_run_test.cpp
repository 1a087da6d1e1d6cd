// The tournament's run thread: with a scripted game processor for every
// entrant count from 3 to 20 under fixed seeds (byes, walkovers, draws,
// designated wins, the third-place match, the files each match loads,
// cancelling), a scripted six-entrant tournament as golden text, and a
// small tournament between the sample AKs fought by the real libcvcore.so
// with its result file as golden text.
#include "modes/brackets/tourlogic.h"
#include "modes/frame/imports.h"
#include "modes/frame/setup.h"
#include "modes/frame/tests/modetest.h"
#include "platform/files.h"

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace {

using namespace modetest;
using testsupport::sj;

const bool watchdogInstalled = TestWatchdog::install(std::chrono::seconds(180));

// A game processor that plays by script: AKs are made up from the file's
// stem ("e3" -> owner O3, pilot P3), a stem in `broken` does not load,
// `decide` gives each match's result (0, 1, 2 draw), and the output AK
// files of fight f (from 0) are named "<stem>.m<f>" in the output folder:
// names no count of matches gives.
class ScriptedEngine : public brackets::TourEngine {
public:
    std::set<std::string> broken;
    std::map<std::string, std::pair<std::string, std::string>> owners; // stem -> owner, profile
    std::function<int(const std::string&, const std::string&)> decide;
    std::function<void()> duringFight;
    std::vector<std::string> events; // "load <path>", "fight <stem1> <stem2> <result> <log>"
    std::vector<std::string> titles;

    static std::string stem(std::string_view path) { return plat::splitPath(path).name; }

    bool load(GameSettings& settings, modes::MatchSides& sides, int side, std::string_view path) override {
        events.push_back("load " + std::string(path));
        sjis::writeField(side == 0 ? settings.AkFile1 : settings.AkFile2, path);
        std::string s = stem(path);
        if (broken.count(s)) return false;
        TArmoredKnight& ak = sides.Ak[side];
        std::string number = s.substr(1);
        auto it = owners.find(s);
        sjis::writeField(ak.Owner.Name, it != owners.end() ? it->second.first : "O" + number);
        sjis::writeField(ak.Pilot.Profile, it != owners.end() ? it->second.second : "");
        sjis::writeField(ak.Pilot.Name, "P" + number);
        ak.MachineValue = 1000 + std::stoi(number);
        ak.TotalCr = 5000 + std::stoi(number);
        return true;
    }

    static std::string output(std::string_view akOutputFolder, const std::string& stem, size_t fight) {
        return std::string(akOutputFolder) + "\\" + stem + ".m" + std::to_string(fight);
    }

    modes::MatchOutcome fight(GameSettings& settings, modes::MatchSides& sides, std::string_view logName,
                              std::string_view title, std::string_view akOutputFolder) override {
        std::string s1 = stem(sjis::readField(settings.AkFile1)),
                    s2 = stem(sjis::readField(settings.AkFile2));
        const size_t fightNo = titles.size();
        int result = decide ? decide(s1, s2) : 0;
        if (duringFight) duringFight();
        events.push_back("fight " + s1 + " " + s2 + " " + std::to_string(result) + " " +
                         plat::splitPath(logName).name);
        titles.emplace_back(title);
        settings.Result = result;
        settings.RoundCounter = 7;
        modes::MatchOutcome o;
        o.Played = true;
        o.EndCode = 1;
        o.Result = result;
        o.AkOutput[0] = output(akOutputFolder, s1, fightNo);
        o.AkOutput[1] = output(akOutputFolder, s2, fightNo);
        for (int k = 0; k < 2; ++k) {
            cv::CombatantState& st = sides.State[k].State;
            st = cv::CombatantState{};
            if (result == 1 - k) {
                st.EndStateFlags = k == 0 ? cv::EndExploded : cv::EndDead;
                sjis::writeField(st.EndStateText, k == 0 ? sj("爆発") : sj("死亡"));
                o.PilotKilled[k] = k == 1;
                o.AkDestroyed[k] = k == 0;
            }
        }
        return o;
    }
};

class TourRunTest : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        makeConf();
        sjis::writeField(header_.ConfName, sj("テスト杯"));
        sjis::writeField(header_.ConfMemo, sj("勝ち抜き"));
    }

    // Entrants e1..e<count> (list order = seeds), rows as cmnMakeDigest2
    // would give them.
    void build(int n, int count, bool keepWidth = false) {
        modes::EntrantList list;
        for (int i = 1; i <= count; ++i) {
            modes::Entrant e;
            e.Path = "ak\\e" + std::to_string(i) + ".dat";
            e.Record = modes::newRow();
            sjis::writeField(e.Record->Entry.OwnerName, "O" + std::to_string(i));
            sjis::writeField(e.Record->Entry.PilotName, "P" + std::to_string(i));
            e.Record->Entry.Wins = 9; // career counts until the entry table resets them
            e.Record->Entry.Stage = 9;
            list.push_back(std::move(e));
        }
        bracket_.build(n, std::move(list), keepWidth);
        // The progress window's entry table resets the event counters.
        modes::entryTable(header_, settings_, bracket_.entrants(), fixedTime(), true);
    }

    // Runs the tournament on a real run thread; the posted memo lines and
    // progress are collected on this thread afterwards.
    void run(brackets::TourEngine& engine, TestHost& host, bool terminateFirst = false) {
        brackets::TourRun tour(bracket_, settings_, header_, words_, &engine);
        tour.onMemo = [this](const modes::Lines& lines) {
            memo_.insert(memo_.end(), lines.begin(), lines.end());
        };
        tour.onProgress = [this](int done, int total) { progress_.emplace_back(done, total); };
        modes::RunThread thread(host);
        thread_ = &thread;
        if (terminateFirst) thread.terminate();
        thread.start([&tour](modes::RunThread& t) { tour.Execute(t); });
        ASSERT_TRUE(host.waitFinished());
        thread.join();
        thread_ = nullptr;
        host.runPosted();
        counter_ = tour.matchCounter();
        thirdIndex_ = tour.thirdPlace().Index;
    }

    std::string memoOf(const modes::Lines& lines) { return modes::memoText(lines); }

    brackets::Bracket bracket_;
    MsgWords words_{};
    modes::Lines memo_;
    std::vector<std::pair<int, int>> progress_;
    modes::RunThread* thread_ = nullptr;
    int counter_ = 0;
    int thirdIndex_ = brackets::NoEntrant;
};

// Replays the engine's events: every load names the entrant's input file
// before its first fought match and afterwards the output AK file its last
// match wrote; no entrant fights twice in a round; a loser never fights
// again except in the third-place match, whose sides are not the finalists.
void checkEvents(const ScriptedEngine& engine, const std::string& outFolder) {
    std::map<std::string, std::string> written;
    std::set<std::string> out, thirdSides, finalSides;
    std::map<int, std::set<std::string>> byRound;
    size_t fightNo = 0;
    for (const std::string& ev : engine.events) {
        if (ev.rfind("load ", 0) == 0) {
            std::string path = ev.substr(5);
            std::string s = ScriptedEngine::stem(path);
            std::string expected = written.count(s) ? written[s] : "ak\\" + s + ".dat";
            EXPECT_EQ(path, expected);
            continue;
        }
        std::istringstream in(ev.substr(6));
        std::string s1, s2, log;
        int result = 0;
        in >> s1 >> s2 >> result >> log;
        const int round = std::stoi(log.substr(3, 2));
        const std::string& title = engine.titles[fightNo++];
        const bool third = title.find(sj("３位決定戦")) != std::string::npos;
        const bool final = title.find(sj("決勝戦")) != std::string::npos && !third;
        for (const std::string& s : {s1, s2}) {
            written[s] = ScriptedEngine::output(outFolder, s, fightNo - 1);
            if (third) {
                thirdSides.insert(s);
                continue;
            }
            if (final) finalSides.insert(s);
            EXPECT_EQ(out.count(s), 0u) << s << " fought after losing";
            EXPECT_TRUE(byRound[round].insert(s).second) << s << " twice in round " << round;
        }
        if (result != 1) out.insert(s2);
        if (result != 0) out.insert(s1);
    }
    for (const std::string& s : thirdSides)
        EXPECT_EQ(finalSides.count(s), 0u) << s << " in both last matches";
}

TEST_F(TourRunTest, EveryCountFromThreeToTwentyWithFixedSeeds) {
    for (int n = 3; n <= 20; ++n) {
        for (uint32_t seed : {1u, 2u, 3u}) {
            for (bool third : {false, true}) {
                SCOPED_TRACE("n=" + std::to_string(n) + " seed=" + std::to_string(seed) +
                             (third ? " third" : ""));
                plat::random::seed(seed * 1000 + static_cast<uint32_t>(n));
                // Some seeds are missing (fewer AKs than n) and some AKs do
                // not load; the rest win, lose or draw by the general
                // generator.
                int count = n - static_cast<int>(seed % 3 == 0 ? 2 : 0);
                build(n, count);
                settings_.Options[OptTournamentThirdPlace] = third ? 1 : 0;
                settings_.Options[OptDa1Only] = seed == 2 ? 1 : 0;
                ScriptedEngine engine;
                if (seed == 3) engine.broken = {"e2", "e" + std::to_string(n / 2)};
                // One owner with numbered pilots: designated wins among them.
                settings_.Options[OptTournamentAvoidSameOwner] = seed == 1 ? 1 : 0;
                for (int k = 1; k <= 4; ++k)
                    engine.owners["e" + std::to_string(k)] = {
                        sj("同じ人"), sj("（") + sjis::han2Zen(std::to_string(5 - k)) + sj("）")};
                engine.decide = [](const std::string&, const std::string&) {
                    int r = plat::random::next() % 10;
                    return r < 4 ? 0 : r < 8 ? 1 : 2;
                };
                memo_.clear();
                progress_.clear();
                TestHost host;
                run(engine, host);
                const int r = bracket_.rounds();
                EXPECT_EQ(host.gameDone(), 1);
                EXPECT_EQ(host.events().back(), "finished");
                // Every match of the table is taken up once, the third-place
                // match too when asked for (n >= 4).
                EXPECT_EQ(counter_, n - 1 + (third && n >= 4 ? 1 : 0));
                checkEvents(engine, scratch() + "out");
                size_t finals = 0, thirds = 0;
                for (const std::string& l : memo_) {
                    finals += l == sj("【決勝戦】\r\n");
                    thirds += l == sj("【３位決定戦】\r\n");
                }
                EXPECT_EQ(finals, 1u);
                EXPECT_EQ(thirds, third && n >= 4 ? 1u : 0u);
                // The progress follows the played matches, out of n.
                for (size_t i = 0; i < progress_.size(); ++i) {
                    EXPECT_EQ(progress_[i].second, n);
                    if (i) {
                        EXPECT_GT(progress_[i].first, progress_[i - 1].first);
                    }
                }
                // Stages: nobody beyond the champion's R + 3; the champion,
                // when there is one, ranks first with it.
                const brackets::BracketNode& root = *bracket_.root();
                for (const modes::Entrant& e : bracket_.entrants()) {
                    if (!e.row()) continue;
                    int32_t stage = e.row()->Stage;
                    EXPECT_LE(stage, r + 3);
                    EXPECT_GE(stage, 1) << e.Path; // every entrant was taken up at least once
                }
                if (root.Result != brackets::NoWinner) {
                    const EntryRecord* champion = bracket_.rowOf(root.Index);
                    ASSERT_NE(champion, nullptr);
                    EXPECT_EQ(+champion->Stage, r + 3);
                    modes::Lines ranking = brackets::rankingTable(settings_, bracket_.entrants());
                    std::string owner(sjis::readField(champion->OwnerName));
                    EXPECT_EQ(ranking[4].substr(0, 10 + owner.size()), sj(" 優勝  :  ") + owner);
                }
                // The result bracket joins up.
                bracket_.setResultMode(true);
                modes::Lines shown = bracket_.text(true);
                EXPECT_EQ(shown.size(), static_cast<size_t>(2 * n - 1));
            }
        }
    }
}

TEST_F(TourRunTest, ScriptedSixEntrantTournamentGolden) {
    // Seeds from the top: 1 (bye), 5, 4, 3, 6, 2 (bye).
    build(6, 6);
    settings_.Options[OptTournamentThirdPlace] = 1;
    settings_.Options[OptTournamentAvoidSameOwner] = 1;
    ScriptedEngine engine;
    engine.broken = {"e5"}; // match 1: e4 wins by walkover
    // Match 2: e3 and e6 share an owner; e6 is pilot number 1.
    engine.owners["e3"] = {sj("同じ人"), sj("（２）")};
    engine.owners["e6"] = {sj("同じ人"), sj("（１）")};
    // Match 3: e1 beats e4; match 4: e6 and e2 draw.
    engine.decide = [](const std::string& a, const std::string&) { return a == "e1" ? 0 : 2; };
    modes::Lines all = brackets::openingLines(header_, settings_, bracket_, fixedTime());
    TestHost host;
    run(engine, host);
    all.insert(all.end(), memo_.begin(), memo_.end());
    modes::Lines results = brackets::resultLines(settings_, bracket_);
    all.insert(all.end(), results.begin(), results.end());

    // Only matches 3 and 4 were fought; the third place (e4 against nobody)
    // and the final (e1 against nobody) are walkovers.
    std::vector<std::string> fights;
    for (const std::string& ev : engine.events)
        if (ev.rfind("fight", 0) == 0) fights.push_back(ev);
    EXPECT_EQ(fights, (std::vector<std::string>{"fight e1 e4 0 tm_02_003", "fight e6 e2 2 tm_02_004"}));
    EXPECT_EQ(engine.titles[0], sj("テスト杯：【準決勝／第３試合】"));
    EXPECT_EQ(counter_, 6);
    EXPECT_EQ(bracket_.root()->Index, 1);
    EXPECT_EQ(thirdIndex_, 4);
    auto row = [this](int i) { return bracket_.entrants()[static_cast<size_t>(i) - 1].row(); };
    EXPECT_EQ(+row(1)->Stage, 6);
    EXPECT_EQ(+row(4)->Stage, 2); // third place without a second entrant: no step up
    EXPECT_EQ(+row(3)->Stage, 1);
    EXPECT_EQ(+row(5)->Stage, 1);
    EXPECT_EQ(+row(1)->Wins, 1);
    EXPECT_EQ(+row(4)->Wins, 1);
    EXPECT_EQ(+row(3)->Wins, 0);
    EXPECT_EQ(+row(4)->OwnAkDestroyed, 0);
    EXPECT_EQ(sjis::readField(row(4)->StatusText), sj("死亡"));
    EXPECT_EQ(+row(4)->OwnPilotKilled, 1);
    EXPECT_EQ(progress_, (std::vector<std::pair<int, int>>{{3, 6}, {4, 6}}));
    expectGolden(memoOf(all), "scripted_six.txt");
}

TEST_F(TourRunTest, ThirdPlaceMatchOfTheSemifinalLosers) {
    build(4, 4);
    settings_.Options[OptTournamentThirdPlace] = 1;
    ScriptedEngine engine;
    // The upper side wins every match.
    engine.decide = [](const std::string&, const std::string&) { return 0; };
    TestHost host;
    run(engine, host);
    std::vector<std::string> fights;
    for (const std::string& ev : engine.events)
        if (ev.rfind("fight", 0) == 0) fights.push_back(ev);
    // Seeds 1 4 3 2: semifinals 1-4 and 3-2, third place 4-2, final 1-3.
    EXPECT_EQ(fights, (std::vector<std::string>{"fight e1 e4 0 tm_01_001", "fight e3 e2 0 tm_01_002",
                                                "fight e4 e2 0 tm_01_003", "fight e1 e3 0 tm_04_004"}));
    EXPECT_EQ(engine.titles[2], sj("テスト杯：【３位決定戦／第３試合】"));
    EXPECT_EQ(engine.titles[3], sj("テスト杯：【決勝戦／第４試合】"));
    auto stage = [this](int i) {
        return int32_t{bracket_.entrants()[static_cast<size_t>(i) - 1].row()->Stage};
    };
    // R = 2: final 4, champion 5; third place 1, its winner 2.
    EXPECT_EQ(stage(1), 5);
    EXPECT_EQ(stage(3), 4);
    EXPECT_EQ(stage(4), 2);
    EXPECT_EQ(stage(2), 1);
    // The final and the third-place match load the files the semifinals
    // wrote, the losers' too.
    checkEvents(engine, scratch() + "out");
    for (const char* file : {"e1.m0", "e3.m1", "e4.m0", "e2.m1"})
        EXPECT_NE(std::find(engine.events.begin(), engine.events.end(), "load " + scratch() + "out\\" + file),
                  engine.events.end())
            << file;
    modes::Lines ranking = brackets::rankingTable(settings_, bracket_.entrants());
    EXPECT_EQ(ranking[6].substr(0, 7), sj("   3位 "));
    EXPECT_EQ(ranking[7].substr(0, 7), sj("   4位 "));
}

TEST_F(TourRunTest, WithoutTheThirdPlaceTheSemifinalLosersShareThePlace) {
    build(3, 3);
    ScriptedEngine engine;
    engine.decide = [](const std::string&, const std::string&) { return 1; };
    settings_.Options[OptTournamentThirdPlace] = 1; // one match before the final: none
    TestHost host;
    run(engine, host);
    EXPECT_EQ(counter_, 2);
    // n = 3: the only match before the final is labelled as a semifinal.
    EXPECT_EQ(std::count(memo_.begin(), memo_.end(), sj("【準決勝】\r\n")), 1);
    build(4, 4);
    settings_.Options[OptTournamentThirdPlace] = 0;
    memo_.clear();
    TestHost again;
    run(engine, again);
    modes::Lines ranking = brackets::rankingTable(settings_, bracket_.entrants());
    EXPECT_EQ(ranking[6].substr(0, 7), sj("   3位 "));
    EXPECT_EQ(ranking[7].substr(0, 7), "       ");
}

TEST_F(TourRunTest, NobodyLeftGivesNoFinal) {
    build(3, 3);
    ScriptedEngine engine;
    engine.broken = {"e1", "e2", "e3"};
    TestHost host;
    run(engine, host);
    EXPECT_EQ(host.gameDone(), 1);
    EXPECT_EQ(bracket_.root()->Index, brackets::NoEntrant);
    EXPECT_EQ(std::count(memo_.begin(), memo_.end(), sj("\t試合はありません\r\n")), 1);
    EXPECT_TRUE(progress_.empty());
    for (const modes::Entrant& e : bracket_.entrants()) {
        EXPECT_EQ(+e.row()->MachineValue, 0);
        EXPECT_EQ(+e.row()->Wins, 0); // no match fought: nothing counted
    }
}

TEST_F(TourRunTest, CancelEndsAfterTheMatchInProgress) {
    build(8, 8);
    ScriptedEngine engine;
    int fights = 0;
    engine.duringFight = [&] {
        if (++fights == 2) thread_->terminate();
    };
    TestHost host;
    run(engine, host);
    // The second match was fought to its end, then the run returned: no
    // heading or count for it, no further match, no WM_GAMEDONE.
    EXPECT_EQ(fights, 2);
    EXPECT_EQ(counter_, 2);
    EXPECT_EQ(host.gameDone(), 0);
    EXPECT_EQ(host.events().back(), "finished");
    EXPECT_EQ(progress_, (std::vector<std::pair<int, int>>{{1, 8}}));
    EXPECT_EQ(bracket_.match(2)->Result, brackets::UpperWon);
    EXPECT_EQ(+bracket_.entrants()[0].row()->Wins, 1);
    EXPECT_EQ(+bracket_.entrants()[4].row()->Wins, 0);

    build(8, 8);
    ScriptedEngine idle;
    TestHost first;
    run(idle, first, true);
    EXPECT_EQ(counter_, 0);
    EXPECT_EQ(first.gameDone(), 0);
}

// Five sample AKs fought by the game processor: the outputs of each match
// feed the next, the logs are named by round and match, and the result
// file (entry table, bracket, headings, result bracket, ranking) is golden.
class TourRealRun : public TourRunTest {
protected:
    void SetUp() override {
        TourRunTest::SetUp();
        copySamples({1, 3, 4, 5, 6});
        makeConf(true);
        sjis::writeField(header_.ConfName, sj("テスト杯"));
        sjis::writeField(header_.ConfMemo, sj("勝ち抜き"));
        settings_.Options[OptAkOutput] = 1;
        settings_.Options[Opt17] = 1;
        settings_.Options[OptTournamentThirdPlace] = 1;
        setup_ = std::make_unique<modes::ModeSetup>(modes::modeInfo(modes::ModeKind::Tournament), settings_,
                                                    header_, sources_);
        ASSERT_TRUE(setup_->startSystem());
        words_ = setup_->tables().Words;
        testsupport::writeFile(path("result/tm_09_099.txt"), "old");
        testsupport::writeFile(path("out/ak01.da1"), "old");
    }
    void TearDown() override {
        setup_.reset();
        TourRunTest::TearDown();
    }
    std::unique_ptr<modes::ModeSetup> setup_;
};

TEST_F(TourRealRun, FiveSampleAksGolden) {
    modes::EntrantList list;
    for (int n : {1, 3, 4, 5, 6}) list.push_back(modes::makeEntrant(akFolder(), sampleFile(n)));
    bracket_.build(5, std::move(list), false);
    modes::Lines all = brackets::openingLines(header_, settings_, bracket_, fixedTime());
    plantLeftovers("out");
    plantLeftovers("result");
    seedEverything();
    brackets::TourEngine real;
    TestHost host;
    run(real, host);
    all.insert(all.end(), memo_.begin(), memo_.end());
    modes::Lines results = brackets::resultLines(settings_, bracket_);
    all.insert(all.end(), results.begin(), results.end());
    ASSERT_TRUE(modes::saveResultFile(resultFolder() + "/Tournament.txt", modes::memoText(all)));

    EXPECT_EQ(host.gameDone(), 1);
    EXPECT_EQ(counter_, 5);
    EXPECT_FALSE(std::filesystem::exists(path("result/tm_09_099.txt")));
    expectLeftoversGone("out");
    expectLeftoversGone("result");
    // Round 1: match 1; round 2: matches 2 and 3; the final 5 counted two
    // rounds above its own. The third-place match 4 was settled without a
    // fight: the pilot who died in his semifinal comes back without a pilot
    // in his output AK file.
    for (const char* log : {"tm_01_001.txt", "tm_02_002.txt", "tm_02_003.txt", "tm_05_005.txt"})
        EXPECT_TRUE(std::filesystem::exists(path(std::string("result/") + log))) << log;
    EXPECT_FALSE(std::filesystem::exists(path("result/tm_02_004.txt")));
    TArmoredKnight dead{};
    ASSERT_EQ(LoadAkData(&dead, (scratch() + "out/ak03.da1").c_str()), 0);
    EXPECT_EQ(sjis::readField(dead.Pilot.Name), "");
    // Output AK files of the run: the champion fought the most.
    const EntryRecord* champion = bracket_.rowOf(bracket_.root()->Index);
    ASSERT_NE(champion, nullptr);
    EXPECT_EQ(+champion->Stage, 6);
    for (const modes::Entrant& e : bracket_.entrants()) {
        int32_t fought = e.row()->Wins;
        std::string stem = plat::splitPath(e.Path).name;
        for (int k = 1; k <= fought; ++k)
            EXPECT_TRUE(std::filesystem::exists(path("out/" + stem + ".da" + std::to_string(k))))
                << stem << k;
    }
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
    expectGolden(testsupport::readFile(path("result/Tournament.txt")), "real_five.txt");
}

// The players' returned files as entrants, read from the AK folder that is
// also the AK output folder, under a conf that keeps no output AK files:
// every match starts from the file the entrant's match before wrote (the
// first free name after its own ".da1"), so each entrant's last file
// carries every match it fought, the semifinal losers' third-place match
// too; the entrants' own files stay as they were, and afterwards exactly
// what the run wrote goes.
TEST_F(TourRealRun, ReturnedFilesInTheOutputFolderCarryEveryMatch) {
    copySamples({2, 7, 8});
    std::vector<std::string> samples, returned;
    for (int n = 1; n <= 8; ++n) {
        samples.push_back(sampleFile(n));
        returned.push_back("ak0" + std::to_string(n) + ".da1");
    }
    makeReturnedFiles(settings_, words_, akFolder(), resultFolder(), samples);
    sjis::writeField(header_.AkOutputFolder, akFolder());
    settings_.Options[OptAkOutput] = 0;
    setup_->forceAkOutput();
    modes::EntrantList list;
    std::map<std::string, std::string> own;
    for (const std::string& file : returned) {
        own[plat::splitPath(file).name] = testsupport::readFile(path("ak/" + file));
        list.push_back(modes::makeEntrant(akFolder(), file));
    }
    ASSERT_TRUE(setup_->checkEntrants(list));
    bracket_.build(8, std::move(list), false);
    brackets::openingLines(header_, settings_, bracket_, fixedTime());
    seedEverything();
    brackets::TourEngine real;
    TestHost host;
    run(real, host);
    EXPECT_EQ(host.gameDone(), 1);
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);

    int most = 0;
    for (const modes::Entrant& e : bracket_.entrants()) {
        const int fought = e.row()->Wins;
        expectChain(path("ak"), plat::splitPath(e.Path).name, fought, own[plat::splitPath(e.Path).name]);
        most = std::max(most, fought);
    }
    EXPECT_EQ(most, 3); // three rounds: a finalist fought three matches
    // The champion won all its matches: three battles and three wins more
    // than its own file says.
    const modes::Entrant* champion = bracket_.entrantOf(bracket_.root()->Index);
    ASSERT_NE(champion, nullptr);
    const int fought = champion->row()->Wins;
    auto before = std::make_unique<TArmoredKnight>(), after = std::make_unique<TArmoredKnight>();
    ASSERT_EQ(LoadAkData(before.get(), champion->Path.c_str()), 0);
    ASSERT_EQ(LoadAkData(after.get(), champion->nextAkFile().c_str()), 0);
    EXPECT_EQ(+after->Pilot.Battles, before->Pilot.Battles + fought);
    EXPECT_EQ(+after->Pilot.Wins, before->Pilot.Wins + fought);

    setup_->deleteForcedOutput(bracket_.entrants());
    for (const auto& entry : std::filesystem::directory_iterator(path("ak"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.ends_with(".dat") || name.ends_with(".da1")) << name;
    }
    for (const auto& [stem, bytes] : own)
        EXPECT_EQ(testsupport::readFile(path("ak/" + stem + ".da1")), bytes);
}

TEST_F(TourRealRun, AnUnloadableEntrantLosesByWalkover) {
    testsupport::writeFile(path("ak/broken.dat"), "not an AK\r\n");
    modes::EntrantList list;
    for (int n : {1, 3}) list.push_back(modes::makeEntrant(akFolder(), sampleFile(n)));
    list.push_back(modes::makeEntrant(akFolder(), "broken.dat"));
    bracket_.build(3, std::move(list), false);
    brackets::openingLines(header_, settings_, bracket_, fixedTime());
    brackets::TourEngine real;
    TestHost host;
    run(real, host);
    // Match 1 (seeds 3 and 2): the broken file gives seed 2 the walkover;
    // the final is fought.
    EXPECT_FALSE(std::filesystem::exists(path("result/tm_01_001.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/tm_04_002.txt")));
    EXPECT_NE(std::find_if(memo_.begin(), memo_.end(),
                           [](const std::string& l) { return l.find(sj("不戦勝")) != std::string::npos; }),
              memo_.end());
    EXPECT_EQ(+bracket_.entrants()[2].row()->Stage, 1);
    EXPECT_EQ(+bracket_.entrants()[1].row()->Wins, 1);
}

// Five entrants: match 1 is seed 4 (ak05) against seed 5 (ak06), match 2
// seed 1 (ak01) against its winner. Once match 1 has written its output
// files they are gone (their folder went away): the winner's match 2 cannot
// start from its file, which is the one report, and the run stops there.
TEST_F(TourRealRun, AWinnersOutputFileThatIsGoneStopsTheRun) {
    std::filesystem::remove(path("out/ak01.da1"));
    modes::EntrantList list;
    for (int n : {1, 3, 4, 5, 6}) list.push_back(modes::makeEntrant(akFolder(), sampleFile(n)));
    bracket_.build(5, std::move(list), false);
    brackets::openingLines(header_, settings_, bracket_, fixedTime());
    brackets::TourEngine real;
    TestHost host;
    std::string lost;
    host.setOnPost([&] {
        for (const char* f : {"out/ak05.da1", "out/ak06.da1"})
            if (lost.empty() && std::filesystem::exists(path(f))) {
                lost = f;
                std::filesystem::remove(path("out/ak05.da1"));
                std::filesystem::remove(path("out/ak06.da1"));
            }
    });
    run(real, host);
    ASSERT_FALSE(lost.empty());
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_NE(rec[0].text.find(".da1"), std::string::npos) << testsupport::u8(rec[0].text);
    EXPECT_EQ(host.faultStops(), 1);
    EXPECT_EQ(host.gameDone(), 0);
    EXPECT_TRUE(std::filesystem::exists(path("result/tm_01_001.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/tm_01_002.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("out/ak01.da1")));
}

} // namespace

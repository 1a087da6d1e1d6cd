// Whole matches through the game processor's exports, loaded by name as the
// plug-ins load it, between the sample AKs: the result in the settings and
// the records, the output AK data files, two interleaved fights on the game
// contexts, the entry sheet, the deletion of output files and the start of
// the system without the message-archive library.
#include "interfacetest.h"

#include "akdata/akfile.h"
#include "base/sjis.h"
#include "platform/catalogue.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/notify.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

namespace {

using namespace interfacetest;

class ExportsMatch : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(c.load());
        ASSERT_EQ(c.StartSystem(&scratch.Init, &buffer), 0u);
        ASSERT_NE(buffer, nullptr);
    }
    void TearDown() override {
        if (c.EndSystem) {
            EXPECT_EQ(c.EndSystem(), 0);
        }
        plat::clock::setFixedLocalTime(std::nullopt);
    }

    // A fight between the AK files at p1 and p2, set up and started.
    void setUp(GameSettings& gs, Side (&s)[2], const std::string& p1, const std::string& p2,
               const std::string& log) {
        sjis::writeField(gs.AkFile1, p1);
        sjis::writeField(gs.AkFile2, p2);
        s[0].Ak = LoadAk(p1);
        s[1].Ak = LoadAk(p2);
        EXPECT_EQ(c.SetEnvironment(&gs), 0);
        EXPECT_EQ(c.SetAkData(&s[0].Ak, &s[1].Ak, &s[0].State, &s[1].State), 0);
        EXPECT_EQ(c.StartMatch(log.c_str(), ""), 0);
    }
    // A whole match; returns the last ProcessMatch result.
    uint8_t play(GameSettings& gs, Side (&s)[2], const std::string& p1, const std::string& p2,
                 const std::string& log) {
        setUp(gs, s, p1, p2, log);
        uint8_t r = 0;
        for (int round = 0; round < 2000 && r == 0; ++round) r = c.ProcessMatch(log.c_str());
        EXPECT_EQ(c.EndMatch1(log.c_str(), scratch.AkOut.c_str()), 0);
        EXPECT_EQ(c.EndMatch2(log.c_str()), 0);
        return r;
    }

    Scratch scratch;
    Cvcore c;
    cv::GameMessageBuffer* buffer = nullptr;
};

// The 15 numbers of the drain line of an output file.
std::vector<long> drainFields(const std::string& file) {
    std::vector<long> fields;
    size_t p = file.find("\"$DRAINDATA02$\",");
    if (p == std::string::npos) return fields;
    std::string line = file.substr(p + 16, file.find('\r', p) - p - 16);
    for (size_t q = 0; q <= line.size();) {
        size_t comma = line.find(',', q);
        fields.push_back(std::stol(line.substr(q, comma - q)));
        if (comma == std::string::npos) break;
        q = comma + 1;
    }
    return fields;
}

TEST_F(ExportsMatch, MatchBooksTheResultAndWritesTheOutputAks) {
    plat::clock::LocalTime t;
    t.year = 2026, t.month = 1, t.day = 2, t.hour = 3, t.minute = 4, t.second = 5;
    plat::clock::setFixedLocalTime(t);
    GameSettings gs = MatchSettings();
    Side s[2];
    const TArmoredKnight before[2] = {LoadAk(SamplePath(1)), LoadAk(SamplePath(2))};
    std::string log = scratch.Results + "match1";
    EXPECT_NE(play(gs, s, SamplePath(1), SamplePath(2), log), 0);

    const int32_t result = gs.Result;
    ASSERT_TRUE(result >= 0 && result <= 2) << result;
    // A killed pilot's record starts again from 0.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(+s[i].Ak.Pilot.Battles, s[i].State.PilotKilled ? 0 : before[i].Pilot.Battles + 1);
    if (result < 2) {
        EXPECT_EQ(+s[result].Ak.Pilot.Wins, before[result].Pilot.Wins + 1);
        EXPECT_EQ(s[1 - result].State.EndStateFlags >= 0, true);
    }
    EXPECT_EQ(gs.DistanceBand, 0); // EndMatch1 leaves no distance
    EXPECT_FALSE(Read(log + ".txt").empty());
    EXPECT_TRUE(std::filesystem::is_directory(scratch.Base + "Temp"));

    for (int i = 0; i < 2; ++i) {
        std::string out = Read(scratch.AkOut + "ak0" + std::to_string(i + 1) + ".da1");
        ASSERT_FALSE(out.empty());
        // Header line (empty template) and its empty line, the records of
        // the input file (ak02.dat carries two), then the new record.
        std::string input = Read(SamplePath(i + 1));
        size_t from = input.find("--- CVVELL");
        std::string history =
            from == std::string::npos ? "" : input.substr(from, input.find("\r\n\r\n", from) + 2 - from);
        EXPECT_EQ(history.empty(), i == 0);
        std::string mark = result == 2 ? "△" : result == i ? "○" : "×";
        std::string head = "\r\n\r\n" + history + "--- CVVELL Game Result --- 2026/01/02 03:04:05\r\n" +
                           sj("　結果：" + mark + "、対戦相手：");
        EXPECT_EQ(out.substr(0, head.size()), head);
        TArmoredKnight back{};
        ASSERT_EQ(akdata::parseAkData(back, out), akdata::LoadOk);
        EXPECT_EQ(+back.hasMatchData, 1);
        EXPECT_EQ(+back.Cash, +s[i].Ak.Cash);
        EXPECT_EQ(+back.Pilot.Battles, +s[i].Ak.Pilot.Battles);
        std::vector<long> drain = drainFields(out);
        ASSERT_EQ(drain.size(), 15u);
        for (int f = 9; f <= 14; ++f) EXPECT_EQ(drain[f - 1], 0) << "field " << f;
    }

    // The next match continues from the output files: their history comes
    // along, the new record last.
    t.day = 3;
    plat::clock::setFixedLocalTime(t);
    GameSettings next = MatchSettings();
    Side s2[2];
    play(next, s2, scratch.AkOut + "ak01.da1", scratch.AkOut + "ak02.da1", scratch.Results + "match2");
    std::string out = Read(scratch.AkOut + "ak01.da2");
    size_t first = out.find("--- CVVELL Game Result --- 2026/01/02");
    size_t second = out.find("--- CVVELL Game Result --- 2026/01/03");
    EXPECT_NE(first, std::string::npos);
    EXPECT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
}

// The system's default files are kept from match to match, and a file
// edited between two matches is read again: the second match's log opens
// with the new start line. The edit keeps the size and the modification
// time, so only the watch of the file (or its change time) tells.
TEST_F(ExportsMatch, ATemplateEditedBetweenMatchesIsReadAgain) {
    std::string sys = Read(VELL_PROGRAM_DIR "sysmsg/play_sys.msg");
    size_t third = 0;
    for (int line = 0; line < 2; ++line) third = sys.find("\r\n", third) + 2;
    size_t end = sys.find("\r\n", third);
    ASSERT_NE(end, std::string::npos);
    auto withStart = [&](const std::string& start) { return sys.substr(0, third) + start + sys.substr(end); };
    std::filesystem::create_directories(scratch.Base + "sysmsg");
    const std::string file = scratch.Base + "sysmsg/none0.msg";
    testsupport::writeFile(file, withStart("** START ONE **"));
    auto written = std::filesystem::last_write_time(file);

    GameSettings gs = MatchSettings();
    Side s[2];
    play(gs, s, SamplePath(1), SamplePath(2), scratch.Results + "one");
    std::string one = Read(scratch.Results + "one.txt");
    EXPECT_NE(one.find("** START ONE **"), std::string::npos);

    testsupport::writeFile(file, withStart("** START TWO **"));
    std::filesystem::last_write_time(file, written);
    GameSettings next = MatchSettings();
    Side s2[2];
    play(next, s2, SamplePath(1), SamplePath(2), scratch.Results + "two");
    std::string two = Read(scratch.Results + "two.txt");
    EXPECT_NE(two.find("** START TWO **"), std::string::npos);
    EXPECT_EQ(two.find("** START ONE **"), std::string::npos);
}

// The program's temporary files in a folder, by name.
std::map<std::string, std::string> TempFiles(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (plat::isTempFileName(name)) files[name] = Read(e.path().string());
    }
    return files;
}

// The logs stay open from step to step under temporary names, and each
// step's lines are in them when the step returns: the files grow at every
// step, each state a start of the next. Between steps the results folder
// holds nothing else (all that a crash could leave of the match), and
// EndMatch2 gives the logs their names, complete with the HTML foot.
TEST_F(ExportsMatch, EveryStepLeavesItsLinesInTheLogs) {
    GameSettings gs = MatchSettings();
    gs.Options[OptInternalInfo] = 1;
    gs.Options[OptHtmlLog] = 1;
    gs.MatchType = 3;
    Side s[2];
    const std::string log = scratch.Results + "steps";
    std::vector<std::map<std::string, std::string>> states;
    auto record = [&] {
        states.push_back(TempFiles(scratch.Results));
        auto entries = std::filesystem::directory_iterator(scratch.Results);
        EXPECT_EQ(static_cast<size_t>(std::distance(begin(entries), end(entries))), states.back().size());
    };
    setUp(gs, s, SamplePath(1), SamplePath(2), log);
    record();
    // The d100 is seeded from the clock at load, so the match may end in
    // its first round: the round that ends it is recorded too.
    for (int round = 0; round < 2000; ++round) {
        uint8_t r = c.ProcessMatch(log.c_str());
        record();
        if (r != 0) break;
    }
    c.EndMatch1(log.c_str(), scratch.AkOut.c_str());
    record();
    c.EndMatch2(log.c_str());
    ASSERT_GE(states.size(), 3u);
    ASSERT_EQ(states[0].size(), 3u);
    for (size_t k = 1; k < states.size(); ++k) {
        ASSERT_EQ(states[k].size(), 3u) << "step " << k;
        for (const auto& [name, bytes] : states[k]) {
            const std::string& before = states[k - 1].at(name);
            EXPECT_GT(bytes.size(), before.size()) << "step " << k;
            EXPECT_EQ(bytes.compare(0, before.size(), before), 0) << "step " << k;
        }
    }
    EXPECT_TRUE(TempFiles(scratch.Results).empty());
    for (const char* extension : {".txt", ".chk", ".htm"}) {
        const std::string whole = Read(log + extension);
        EXPECT_TRUE(std::any_of(states.back().begin(), states.back().end(), [&](const auto& temp) {
            return whole.size() > temp.second.size() &&
                   whole.compare(0, temp.second.size(), temp.second) == 0;
        })) << extension;
    }
    EXPECT_NE(Read(log + ".htm").find("</html>"), std::string::npos);
}

TEST_F(ExportsMatch, InterleavedFightsKeepTheirOwnState) {
    struct Fight {
        GameSettings Gs = MatchSettings();
        Side S[2];
        std::string Log;
        uint8_t Result = 0;
        bool Over = false;
        std::string bytes() const {
            std::string b(reinterpret_cast<const char*>(&Gs), sizeof Gs);
            for (const Side& side : S) b.append(reinterpret_cast<const char*>(&side), sizeof side);
            return b;
        }
    } fights[2];
    for (int f = 0; f < 2; ++f) {
        Fight& x = fights[f];
        x.Gs.Options[OptRebuy] = 1; // the weapon snapshots are kept
        x.Gs.MatchType = 3;         // death matches: mostly several rounds each
        x.Log = scratch.Results + "fight" + std::to_string(f);
        setUp(x.Gs, x.S, SamplePath(2 * f + 1), SamplePath(2 * f + 2), x.Log);
        c.SaveGameContext(x.S[0].Weapons, x.S[1].Weapons, x.S[0].Comments, x.S[1].Comments);
        EXPECT_EQ(c.DisposeGameMessage(), 0);
        EXPECT_EQ(std::memcmp(x.S[0].Weapons, &x.S[0].Ak.Weapon, sizeof x.S[0].Weapons), 0);
    }
    int turns = 0;
    while ((!fights[0].Over || !fights[1].Over) && ++turns < 2000) {
        for (int f = 0; f < 2; ++f) {
            Fight& x = fights[f];
            if (x.Over) continue;
            const std::string other = fights[1 - f].bytes();
            c.RestoreGameContext(&x.Gs, &x.S[0].Ak, &x.S[1].Ak, &x.S[0].State, &x.S[1].State, x.S[0].Weapons,
                                 x.S[1].Weapons, x.S[0].Comments, x.S[1].Comments, x.Log.c_str());
            TAkWeapon weapons[2][WeaponSlotCount];
            TAkComment comments[2][WeaponSlotCount];
            c.SaveGameContext(weapons[0], weapons[1], comments[0], comments[1]);
            EXPECT_EQ(std::memcmp(weapons[1], x.S[1].Weapons, sizeof weapons[1]), 0);
            x.Result = c.ProcessMatch(x.Log.c_str());
            if (x.Result != 0) {
                c.EndMatch1(x.Log.c_str(), scratch.AkOut.c_str());
                c.EndMatch2(x.Log.c_str());
                x.Over = true;
            }
            c.DisposeGameMessage();
            EXPECT_EQ(fights[1 - f].bytes(), other) << "fight " << f << " changed the other";
        }
    }
    for (int f = 0; f < 2; ++f) {
        const Fight& x = fights[f];
        EXPECT_TRUE(x.Over);
        std::string text = Read(x.Log + ".txt");
        EXPECT_NE(text.find(sjis::readField(x.S[0].State.PilotNameFull)), std::string::npos);
        EXPECT_EQ(text.find(sjis::readField(fights[1 - f].S[0].State.PilotNameFull)), std::string::npos);
        for (int n = 2 * f + 1; n <= 2 * f + 2; ++n)
            EXPECT_TRUE(plat::fileExists(scratch.AkOut + "ak0" + std::to_string(n) + ".da1")) << n;
    }
}

TEST_F(ExportsMatch, AnOpeningLongerThanTheQueueLosesNoLine) {
    // Each pilot profile has 101 segments: the opening comes to well over
    // the queue's 150 lines. Segments 2 to 101 are lines of 14 blanks and
    // the letter (the first carries the label), 100 a side, in the text and
    // the check log.
    GameSettings gs = MatchSettings();
    gs.Options[OptInternalInfo] = 1;
    Side s[2];
    sjis::writeField(gs.AkFile1, SamplePath(1));
    sjis::writeField(gs.AkFile2, SamplePath(2));
    for (int side = 0; side < 2; ++side) {
        s[side].Ak = LoadAk(SamplePath(side + 1));
        std::string letter(1, side == 0 ? 'p' : 'q'), profile = letter;
        for (int i = 0; i < 100; ++i) profile += "\\" + letter;
        sjis::writeField(s[side].Ak.Pilot.Profile, profile);
    }
    c.SetEnvironment(&gs);
    c.SetAkData(&s[0].Ak, &s[1].Ak, &s[0].State, &s[1].State);
    std::string log = scratch.Results + "long";
    c.StartMatch(log.c_str(), "");
    c.KeepOpenMatches(); // the logs of the opening take their names
    for (const char* extension : {".txt", ".chk"}) {
        std::string text = Read(log + extension);
        auto count = [&](const std::string& needle) {
            size_t n = 0;
            for (size_t p = text.find(needle); p != std::string::npos; p = text.find(needle, p + 1)) ++n;
            return n;
        };
        const std::string blanks(14, ' ');
        EXPECT_EQ(count("\r\n" + blanks + "p\r\n"), 100u) << extension;
        EXPECT_EQ(count("\r\n" + blanks + "q\r\n"), 100u) << extension;
        // Both sides' weapon tables, side 2's after its profile: nothing of
        // the rest of the opening was dropped.
        EXPECT_EQ(count("------ WEAPON DATA"), 2u) << extension;
        EXPECT_GT(text.rfind("------ WEAPON DATA"), text.rfind(blanks + "q\r\n")) << extension;
    }
}

TEST_F(ExportsMatch, ViewsNamesAndDeletion) {
    GameSettings gs = MatchSettings();
    gs.Options[OptReversePolish] = 1;
    sjis::writeField(gs.BountyFormula, "G 2 * ");
    EXPECT_EQ(c.SetEnvironment(&gs), 0);
    EXPECT_EQ(sjis::readField(gs.BountyPostfix), "G 2 * ");

    // The entry sheet goes to the file with the extension ".txt".
    TArmoredKnight ak = LoadAk(SamplePath(3));
    cv::GameMessageBuffer own{};
    EXPECT_EQ(c.AkViewer2(&gs, (scratch.Results + "entrylist.lst").c_str(), &ak, &own, 7), 0);
    std::string sheet = Read(scratch.Results + "entrylist.txt");
    EXPECT_EQ(
        sheet.rfind(sj("【エントリー No.7  ") + std::string(sjis::readField(ak.Pilot.Name)) + sj("】"), 0),
        0u)
        << testsupport::u8(sheet.substr(0, 80));
    EXPECT_GT(own.Count, 5u);

    char name[256];
    std::memset(name, 'Z', sizeof name);
    c.GetReturnFileName(scratch.AkOut.c_str(), "/x/ak05.DAT", name);
    EXPECT_EQ(std::string(name), scratch.AkOut + "ak05.da1");
    std::string longFolder = scratch.AkOut + std::string(250, 'd') + "/";
    c.GetReturnFileName(longFolder.c_str(), "ak05.dat", name);
    EXPECT_STREQ(name, ""); // a cut path would name another file

    for (const char* f : {"ak05.da1", "ak05.da2", "ak05.DAT", "ak06.da1"})
        testsupport::writeFile(scratch.AkOut + f, "x");
    const char* list[] = {"/x/ak05.dat", nullptr};
    EXPECT_EQ(c.DeleteOutputAkFile(list, scratch.AkOut.c_str()), 0);
    EXPECT_FALSE(plat::fileExists(scratch.AkOut + "ak05.da1"));
    EXPECT_FALSE(plat::fileExists(scratch.AkOut + "ak05.da2"));
    EXPECT_TRUE(plat::fileExists(scratch.AkOut + "ak05.DAT"));
    EXPECT_TRUE(plat::fileExists(scratch.AkOut + "ak06.da1"));

    // Without a window system the abort dialog answers "go on".
    uint8_t written = 9;
    EXPECT_EQ(c.AbortMatch(nullptr, (scratch.Results + "m").c_str(), scratch.AkOut.c_str(), &written), 0);
    EXPECT_EQ(written, 0);
}

// A device that takes no more bytes from the start of a match: its log is
// the one report, no file of the match is left, and the plug-in reads the
// log's name back until the next match starts.
TEST_F(ExportsMatch, AMatchsFailedFilesAreOneReportThatThePlugInReadsBack) {
    plat::notify::clearRecorded();
    GameSettings gs = MatchSettings();
    Side s[2];
    const std::string log = scratch.Results + "m";
    plat::setAtomicWriteFault(0);
    play(gs, s, SamplePath(1), SamplePath(2), log);
    plat::setAtomicWriteFault(-1);
    char path[260] = "x";
    EXPECT_EQ(c.GetOutputFault(path, sizeof path), 41020);
    EXPECT_EQ(std::string(path), log + ".txt");
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41020, {log + ".txt"}));
    EXPECT_FALSE(plat::fileExists(log + ".txt"));
    EXPECT_FALSE(plat::fileExists(scratch.AkOut + "ak01.da1"));
    EXPECT_FALSE(plat::fileExists(scratch.AkOut + "ak02.da1"));
    char small[4] = "x";
    EXPECT_EQ(c.GetOutputFault(small, sizeof small), 41020);
    EXPECT_EQ(small[0], '\0'); // a path that does not fit is not cut
    EXPECT_EQ(c.StartMatch(log.c_str(), ""), 0);
    EXPECT_EQ(c.GetOutputFault(nullptr, 0), 0);
}

// One digest for the event and HTML logs: the second match cannot make
// side 2's output AK file (a folder has its name). The one report names it;
// the match's logs, its digest record and side 1's new file are taken back,
// and side 1's file of the first match has its name again.
TEST_F(ExportsMatch, AMatchWhoseOutputAkFileFailsLeavesNoneOfItsFiles) {
    auto settings = [] {
        GameSettings gs = MatchSettings();
        gs.DigestMode = 2;
        gs.Options[OptHtmlLog] = 1;
        return gs;
    };
    GameSettings first = settings(), second = settings();
    Side s[2], s2[2];
    play(first, s, SamplePath(1), SamplePath(2), scratch.Results + "m1");
    const std::string digest = Read(scratch.Results + "digest.mom");
    const std::string earlier = Read(scratch.AkOut + "ak01.da1");
    ASSERT_FALSE(digest.empty());
    ASSERT_FALSE(earlier.empty());
    std::filesystem::remove(scratch.AkOut + "ak02.da1");
    std::filesystem::create_directory(scratch.AkOut + "ak02.da1");
    plat::notify::clearRecorded();

    play(second, s2, SamplePath(1), SamplePath(2), scratch.Results + "m2");
    EXPECT_EQ(c.GetOutputFault(nullptr, 0), 41021);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41021, {scratch.AkOut + "ak02.da1"}));
    EXPECT_FALSE(plat::fileExists(scratch.Results + "m2.txt"));
    EXPECT_FALSE(plat::fileExists(scratch.Results + "m2.htm"));
    EXPECT_TRUE(plat::fileExists(scratch.Results + "m1.htm"));
    EXPECT_EQ(Read(scratch.Results + "digest.mom"), digest);
    EXPECT_EQ(Read(scratch.AkOut + "ak01.da1"), earlier);
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(scratch.AkOut))
        names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"ak01.da1", "ak02.da1"}));
}

// A match taken back leaves no log under a real name, and the logs of an
// earlier match of its name (with their digest file) as they were: when
// its digest fails at its end, also in a results folder that turned
// read-only (it lets no file go nor take a name: the temporary files stay
// for the next event's start to remove), and when its logs cannot take
// their names (41020 naming the text log).
TEST_F(ExportsMatch, ATakenBackMatchLeavesTheLogsItWouldRewrite) {
    auto settings = [] {
        GameSettings gs = MatchSettings();
        gs.DigestMode = 1;
        gs.Options[OptHtmlLog] = 1;
        gs.Options[OptAkOutput] = 0;
        return gs;
    };
    GameSettings first = settings();
    Side s[2];
    const std::string log = scratch.Results + "m";
    play(first, s, SamplePath(1), SamplePath(2), log);
    std::map<std::string, std::string> before;
    for (const char* extension : {".txt", ".htm", ".mom"}) {
        before[extension] = Read(log + extension);
        ASSERT_FALSE(before[extension].empty()) << extension;
    }
    struct Case {
        bool ReadOnly, DigestFails;
        const char* Failed;
        size_t Temps;
    };
    for (const Case& k :
         {Case{false, true, ".mom", 0}, Case{true, true, ".mom", 2}, Case{true, false, ".txt", 5}}) {
        GameSettings gs = settings();
        Side x[2];
        plat::notify::clearRecorded();
        setUp(gs, x, SamplePath(1), SamplePath(2), log);
        plat::setFolderFault(k.ReadOnly);
        for (int round = 0; round < 2000 && c.ProcessMatch(log.c_str()) == 0; ++round) {
        }
        c.EndMatch1(log.c_str(), scratch.AkOut.c_str());
        if (k.DigestFails) plat::setAtomicWriteFault(0);
        c.EndMatch2(log.c_str());
        plat::setAtomicWriteFault(-1);
        plat::setFolderFault(false);
        ASSERT_EQ(plat::notify::recorded().size(), 1u);
        EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41020, {log + k.Failed}));
        for (const auto& [extension, bytes] : before) EXPECT_EQ(Read(log + extension), bytes) << extension;
        EXPECT_EQ(TempFiles(scratch.Results).size(), k.Temps);
    }
}

// Fights open side by side on the game contexts: the failed file of one
// takes back the logs of both, and so does a fault of the plug-in's own
// (TakeBackOpenMatches); a match that ended before keeps its files.
TEST_F(ExportsMatch, AFaultTakesBackEveryOpenFight) {
    struct Fight {
        GameSettings Gs = MatchSettings();
        Side S[2];
        std::string Log;
    };
    auto restore = [this](Fight& x) {
        c.RestoreGameContext(&x.Gs, &x.S[0].Ak, &x.S[1].Ak, &x.S[0].State, &x.S[1].State, x.S[0].Weapons,
                             x.S[1].Weapons, x.S[0].Comments, x.S[1].Comments, x.Log.c_str());
    };
    for (bool pluginFault : {false, true}) {
        const std::string n = pluginFault ? "p" : "g";
        GameSettings gs = MatchSettings();
        Side done[2];
        play(gs, done, SamplePath(1), SamplePath(2), scratch.Results + n + "done");
        Fight fights[2];
        for (int f = 0; f < 2; ++f) {
            Fight& x = fights[f];
            x.Gs.Options[OptHtmlLog] = 1;
            x.Log = scratch.Results + n + std::to_string(f);
            setUp(x.Gs, x.S, SamplePath(2 * f + 1), SamplePath(2 * f + 2), x.Log);
            c.SaveGameContext(x.S[0].Weapons, x.S[1].Weapons, x.S[0].Comments, x.S[1].Comments);
            c.DisposeGameMessage();
        }
        for (Fight& x : fights) {
            restore(x);
            c.ProcessMatch(x.Log.c_str());
            c.DisposeGameMessage();
            EXPECT_FALSE(plat::fileExists(x.Log + ".htm")); // under a temporary name
        }
        ASSERT_EQ(TempFiles(scratch.Results).size(), 4u);
        if (pluginFault) {
            c.TakeBackOpenMatches();
        } else {
            plat::setAtomicWriteFault(0);
            restore(fights[0]);
            c.ProcessMatch(fights[0].Log.c_str());
            c.DisposeGameMessage();
            plat::setAtomicWriteFault(-1);
        }
        for (const Fight& x : fights) {
            EXPECT_FALSE(plat::fileExists(x.Log + ".txt")) << x.Log;
            EXPECT_FALSE(plat::fileExists(x.Log + ".htm")) << x.Log;
        }
        EXPECT_TRUE(TempFiles(scratch.Results).empty());
        EXPECT_TRUE(plat::fileExists(scratch.Results + n + "done.txt"));
    }
}

// The output files that wait for the end of the system: a disk that fails
// to write them back is reported, naming the output folder.
TEST_F(ExportsMatch, AFailedWriteBackIsReportedAtTheEnd) {
    plat::syncDeferredWrites();
    {
        plat::AtomicFile f(scratch.AkOut + "a.da1", plat::AtomicFile::SystemPath, plat::Durability::Deferred);
        ASSERT_TRUE(f.write("AK") && f.commit());
    }
    plat::notify::clearRecorded();
    plat::setSyncFault(true);
    EXPECT_EQ(c.EndSystem(), 0);
    plat::setSyncFault(false);
    std::vector<plat::notify::Request> boxes = plat::notify::recorded();
    ASSERT_EQ(boxes.size(), 1u);
    std::string folder = scratch.AkOut.substr(0, scratch.AkOut.size() - 1);
    EXPECT_EQ(boxes[0].text, plat::msg::format(41021, {folder}));
}

TEST(ExportsSystem, StartWithoutTheArchiveLibrary) {
    Scratch scratch(false);
    Cvcore c;
    ASSERT_TRUE(c.load());
    cv::GameMessageBuffer* buffer = nullptr;
    EXPECT_EQ(c.StartSystem(&scratch.Init, &buffer), 0x80000002u);
    EXPECT_NE(buffer, nullptr); // handed back all the same
    std::vector<plat::notify::Request> boxes = plat::notify::recorded();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, plat::msg::text(41008));
    EXPECT_EQ(boxes[0].caption, plat::msg::text(41000));
    EXPECT_TRUE(boxes[0].topmost);
    EXPECT_TRUE(std::filesystem::is_directory(scratch.Base + "Temp"));
    EXPECT_EQ(c.EndSystem(), 0);
    EXPECT_EQ(c.EndSystem(), 0);
}

} // namespace

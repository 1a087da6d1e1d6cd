// The tournament without its windows: the shuffle of the entrant list, the
// names of match logs and intermediate AK files, walkovers and designated
// wins, the headings and tables of the progress memo and result file, and
// the run thread's event loop (TTour's Execute with RunTourMatch).
//
// How far an entrant got is its row's Stage: the round of its last match
// (the third-place match counts R - 1 and its winner R; the final R + 2 and
// its winner R + 3); Wins counts the matches it fought in the event. Its
// next match loads the output AK file its last match wrote
// (modes::Entrant::nextAkFile).
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "modes/brackets/bracket.h"
#include "modes/frame/entrants.h"
#include "modes/frame/match.h"
#include "modes/frame/outputs.h"
#include "modes/frame/runthread.h"
#include "modes/frame/tables.h"
#include "platform/clock.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brackets {

// The set-up window's random order: n times an index k := random() mod
// (entries left in the old list) is drawn and entry k moves to the end of
// the new list. `random` gives the runtime's general random numbers.
void shuffleEntrants(modes::EntrantList& list, const std::function<int()>& random);

// A number in full-width digits.
std::string fullWidthNumber(int n);
// "準決勝" for round R - 1, else "%s回戦" with the round in full-width digits.
std::string roundLabel(int round, int rounds);
// "<conf name>：【<label>／第<number>試合】", the number in full-width digits.
std::string matchTitle(const ConfHeader& header, std::string_view label, int number);
// resultFolder + '\' + "tm_%02d_%03d.txt" of the round and the match counter.
std::string logName(std::string_view resultFolder, int round, int counter);

// A pilot's number for designated wins: when the profile begins with "（",
// the characters up to the next "）" turned into half width, read as a
// decimal number (reading stops at a character without a half-width form
// and at the first non-digit; saturated). 0 when there is none.
int32_t pilotNumber(std::string_view profile);

// A side that can fight: it has an entrant, and its AK has a pilot name and
// a machine value above zero.
bool sidePresent(bool hasEntrant, const TArmoredKnight& ak);

// DecideWalkover's verdict.
inline constexpr int PlayMatch = 3;
inline constexpr int NobodyAdvances = -1;
struct Walkover {
    int Decision = PlayMatch;    // 0 or 1 the side that advances, PlayMatch, NobodyAdvances
    const char* Label = nullptr; // "不戦勝" or "勝指定" with a winner
};
// Exactly one side present: it wins ("不戦勝"). None: nobody. Both: with
// `avoidSameOwner` (option 41) and byte-equal owner names, the pilot with
// the smaller non-zero number wins ("勝指定") when the numbers differ;
// otherwise the match is played.
Walkover decideWalkover(bool has1, const TArmoredKnight& ak1, bool has2, const TArmoredKnight& ak2,
                        bool avoidSameOwner);

// The nine-byte status column of a heading: "---------" for the winner;
// for the loser its status text next to dashes (side 0: the text, then
// dashes; side 1: dashes, then the text), the text cut to nine bytes on a
// character boundary.
std::string statusColumn(std::string_view status, int side, bool loser);

// The two memo lines of a played match and of a match settled without one.
modes::Lines matchHeading(const GameSettings& settings, const EntryRecord& side1, const EntryRecord& side2,
                          const std::string marks[2], const std::string columns[2], int counter);
modes::Lines walkoverHeading(const GameSettings& settings, const EntryRecord& winner,
                             const EntryRecord* loser, std::string_view label, int counter);

// Deletes the outputs of an earlier event: every output AK file (".da1" to
// ".da98", ak::isOutputAkName) of the AK output folder, every "tm_*.*"
// file of the results folder, and in both the temporary files a crash
// left. An empty folder text deletes nothing, and an entrant's own input
// file is never deleted. When the output folder is also an entrant's input
// folder, only files named after an entrant are deleted there: the others
// are AK files of players outside the event. False when `step` stopped it.
bool deleteOldOutputs(std::string_view akOutputFolder, std::string_view resultFolder,
                      const modes::EntrantList& keep, const modes::CleanupStep& step = {});

// What the progress window shows when it opens: the entry table (which
// resets the entrants' event counters), "【トーナメント組み合わせ】" and the
// empty bracket.
modes::Lines openingLines(const ConfHeader& header, const GameSettings& settings, Bracket& bracket,
                          const plat::clock::LocalTime& now);
// The ranking: the rows present, by Stage, higher first (equal ones in list
// order); labels " 優勝 ", "準優勝", "%4d位", blank for a Stage equal to the
// row before; the organiser and stadium line.
modes::Lines rankingTable(const GameSettings& settings, const modes::EntrantList& entrants);
// What follows on WM_GAMEDONE: "【トーナメント結果】", the result bracket,
// the ranking.
modes::Lines resultLines(const GameSettings& settings, const Bracket& bracket);

// The game processor as the run uses it; tests put a scripted one in.
class TourEngine {
public:
    virtual ~TourEngine() = default;
    // LoadAkData into side 0 or 1 and GameSettings.AkFile1/2 := path.
    virtual bool load(GameSettings& settings, modes::MatchSides& sides, int side, std::string_view path);
    // The whole match, fought to its end.
    virtual modes::MatchOutcome fight(GameSettings& settings, modes::MatchSides& sides,
                                      std::string_view logName, std::string_view title,
                                      std::string_view akOutputFolder);
};

// One side of a match: an entrant index (or -1) and its row.
struct TourSide {
    EntryRecord* Row = nullptr;
    int Index = NoEntrant;
};

// The run thread's work for one tournament.
class TourRun {
public:
    TourRun(Bracket& bracket, GameSettings& settings, const ConfHeader& header, const MsgWords& words,
            TourEngine* engine = nullptr);

    // Called on the window thread, in order: memo lines, and after each
    // played match the progress (match counter, n).
    std::function<void(const modes::Lines&)> onMemo;
    std::function<void(int done, int total)> onProgress;

    // The outputs of an earlier event deleted, the rounds before the final,
    // the third-place match (option 40, when more than one match was taken
    // up), the final, WM_GAMEDONE. Told to stop, it returns without
    // WM_GAMEDONE: during the deleting before any match, else after the
    // match in progress.
    void Execute(modes::RunThread& thread);

    // One match taken up: the sides' AKs are loaded (Stage := round), the
    // walkover rules applied, the match played when both can fight; the
    // node takes the winner, or nobody. Returns whether a heading was
    // written (always when a match was played).
    bool RunTourMatch(modes::RunThread& thread, int round, BracketNode& node, TourSide side1, TourSide side2,
                      std::string_view title);

    int matchCounter() const { return counter_; }
    // The third-place match of the last run (its sides and result).
    const BracketNode& thirdPlace() const { return third_; }

private:
    void memo(modes::RunThread& thread, modes::Lines lines);
    static TourSide sideOf(const BracketNode* node);

    Bracket& bracket_;
    GameSettings& settings_;
    const ConfHeader& header_;
    const MsgWords& words_;
    TourEngine* engine_;
    std::unique_ptr<modes::MatchSides> sides_;
    BracketNode third_;
    std::string resultFolder_;
    std::string akOutputFolder_;
    int counter_ = 0;
};

} // namespace brackets

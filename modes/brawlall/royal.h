// The battle royal's rules apart from the turn and the fights: choosing
// and shuffling the entrants, their marks and team lists at the start, the
// clean-up of an earlier run's outputs, the drain data an entrant carries,
// the texts of a finished fight (heading marks and status texts, memo
// heading, list row), the guide sentence of the viewer script and the
// result table.
#pragma once

#include "base/confrecords.h"
#include "common/vellcmn.h"
#include "core/combatant.h"
#include "modes/frame/akrows.h"
#include "modes/frame/entrants.h"
#include "modes/frame/outputs.h"
#include "modes/frame/tables.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brawl {

// ---- Set-up ----------------------------------------------------------------

// The number of entrants of "決定": the typed count limited by the cells of
// the map and the rows of the AK list.
int entrantCount(int typed, int cols, int rows, size_t listRows);

// The entrants of the first `count` rows of the AK list (in its order)
// whose files have distinct output stems (modes::distinctStemRows: the
// winner of a fight fights on with the output AK file the game processor
// names after the stem, which two entrants must not share), each with its
// row from cmnMakeDigest3 (left zero when the AK cannot be loaded).
// `passedOver` receives the files passed over on the way, in list order.
modes::EntrantList chooseEntrants(std::string_view akFolder, const std::vector<modes::AkRow>& rows, int count,
                                  std::vector<std::string>* passedOver = nullptr);

// n times an index k := random() mod (entries left) is drawn and entry k
// moves to the end of the new list.
void shuffleEntrants(modes::EntrantList& list, const std::function<int()>& random);

// What the start adds before the weapon check: every entrant's EntrantNo :=
// its place, a mark "%02x" of its place for an entrant without an emblem;
// then every entrant r with a team list hands its enemy, friend and ally
// lists to every other entrant with an emblem that its team list names.
void prepareStart(modes::EntrantList& entrants);

// Appends `more` to a mark list as far as the field holds (cut on a
// character boundary).
void appendMarks(char (&field)[80], std::string_view more);

// ---- Run ---------------------------------------------------------------------

// The outputs of an earlier run: in the AK output folder every output AK
// file (".da1" to ".da98", ak::isOutputAkName), in the results folder every
// "bt_*.*" file, and in both the temporary files a crash left. The
// entrants' own AK files (`keep`) are never deleted, even when they lie in
// one of these folders. When the output folder is also an entrant's input
// folder, only output AK files named after an entrant are deleted there:
// the others are AK files of players outside the event. False when `step`
// stopped it.
bool deleteOldOutputs(std::string_view akOutputFolder, std::string_view resultFolder,
                      const std::vector<std::string>& keep = {}, const modes::CleanupStep& step = {});

// The drain data between a fight's combatant state and the entrant's row.
void carryDrainOut(const cv::CombatantState& state, CarriedDrainData& drain);
void carryDrainIn(const CarriedDrainData& drain, cv::CombatantState& state);

// DurabilityTotal · 100 / MaxDurabilityTotal; 0 when the maximum is 0.
int32_t hitPointPct(const cv::CombatantState& state);

// A double truncated towards zero as a 32-bit integer (0 for NaN, the
// nearest limit beyond the range).
int32_t truncated(double value);

// The fight's list row: "%-12s[%3s](%2d) - %-12s[%3s](%2d)" with each
// side's pilot name, mark and wins.
std::string pairingRow(const cv::CombatantState& s1, const RoyalEntryRecord& r1, const cv::CombatantState& s2,
                       const RoyalEntryRecord& r2);

// ---- A finished fight ------------------------------------------------------

// The nine-byte status texts of a fight's heading: the winner's dashes;
// the loser's status text before the dashes on side 1, after them on side
// 2.
std::string winnerHeadingText();
std::string loserHeadingText(std::string_view status, bool side1);

struct FightHeading {
    int FightNo = 0;      // from 1
    std::string Marks[2]; // "○", "×" or "△"
    std::string Texts[2]; // nine bytes each
    int32_t Minutes = 0;  // RoundCounter - RoundMark + 1 of the fight
    const RoyalEntryRecord* Rows[2] = {nullptr, nullptr};
};

// The memo lines of a finished fight: an empty line, "【第n試合】" and the
// two rows of owners and pilots around the marks and status texts.
modes::Lines fightHeadingLines(const GameSettings& settings, const FightHeading& heading);

// ---- Viewer script ---------------------------------------------------------

// The guide sentence of a side for one step of its fight.
std::string guideSentence(const cv::CombatantState& state);

// ---- Result table ------------------------------------------------------------

// The entrants with a row in result order: those still in the game first,
// then more wins, more AKs destroyed, more pilots killed; equal rows in
// list order. An entrant whose AK file went missing during the run
// (marked absent) comes after all others.
std::vector<const modes::Entrant*> finalStandings(const modes::EntrantList& entrants);

// Two empty lines, "【結果】", the table of the standings and the organiser
// and stadium line. An absent entrant's rank label is "－".
modes::Lines resultTable(const GameSettings& settings, const std::vector<const modes::Entrant*>& standings);

} // namespace brawl

// The two libraries the configuration manager borrows by name for one call:
// the game processor ("cvcore.dll"), which checks a typed head-bounty formula
// against a sample AK, and the text processor ("velltext.dll"), which writes
// a conf's regulation text and the message-table text from the user's
// templates. Each is loaded from the program folder for the call and freed
// afterwards; a library that cannot be loaded is reported (41003, 41005) and
// nothing else happens.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "platform/catalogue.h"

#include <array>
#include <string>
#include <string_view>

namespace cnf {

// The AK a formula is tried on: battles 100, wins 60, 5 AKs destroyed,
// 3 pilots killed, 2 draws, machine value 3200, total 3500 Cr, mechanic level
// 200, pilot aged 26 with attack, defence and escape experience 6, 4 and 2,
// total weight 300; everything else zero.
TArmoredKnight sampleAk();

enum class FormulaCheck {
    Off,       // no head-bounty match: nothing checked
    NoLibrary, // the game processor could not be loaded (41003 shown)
    Failed,    // 40002 shown
    Passed,    // 40003 shown
};

// The check button: the bounty flag and the typed text go into `settings`
// first; with the flag on, the text is converted (or taken as postfix when
// `reversePolish`), BountyPostfix receives the postfix, and the sample AK is
// evaluated. A conversion error or a value of 0 fails.
FormulaCheck checkBountyFormula(std::string_view programFolder, GameSettings& settings, bool bountyMatch,
                                bool reversePolish, std::string_view typed, plat::msg::Style style = {});

// OutGameRegulation with the 30 value texts. False when the text processor
// is missing (41005 shown) or it wrote nothing.
bool writeRegulation(std::string_view programFolder, const std::array<std::string, 30>& values,
                     plat::msg::Style style = {});

// OutExtMessageTable with 30 empty texts and the three tables with their user
// counts (announcers, pilots, computers in this order).
bool writeMessageTable(std::string_view programFolder, AnnouncerEntry* announcers, int announcerCount,
                       MsgEntry* pilots, int pilotCount, MsgEntry* computers, int computerCount,
                       plat::msg::Style style = {});

} // namespace cnf

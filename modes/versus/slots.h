// The two slots of the one-vs-one set-up window: the AK put in each (its
// record, the file it came from, whether one was ever put there), the slot
// the next double click fills, the summary shown in the slot's memo, and
// when "試合開始" may be pressed.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "core/combatant.h"
#include "modes/frame/match.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace versus {

// The memo lines of an AK: name, record, value, the six weapon slots and
// the file.
std::vector<std::string> akSummaryLines(const TArmoredKnight& ak, std::string_view path);

// "[Player 1]" for the active slot, "Player 1" for the other.
std::string headText(int slot, bool active);

class VersusSlots {
public:
    VersusSlots();

    // Reads the AK data file into the slot. On success the slot takes the
    // record and the path and counts as loaded; a file that does not load
    // leaves the slot as it was (record included). modes::readAkFile: a
    // path too long for the game settings' AK file fields and a file
    // without AK data are refused with message 41022. True when loaded.
    bool load(int slot, std::string_view path);

    TArmoredKnight& ak(int slot) { return records_->Ak[slot & 1]; }
    const TArmoredKnight& ak(int slot) const { return records_->Ak[slot & 1]; }
    const std::string& path(int slot) const { return path_[slot & 1]; }
    bool loaded(int slot) const { return loaded_[slot & 1]; }
    bool bothLoaded() const { return loaded_[0] && loaded_[1]; }

    int active() const { return active_; }
    void switchActive() { active_ = 1 - active_; }

    // "試合開始" may be pressed: both slots loaded and a result text, or no
    // log output at all.
    bool startAllowed(bool hasResultText, bool logOutput) const {
        return bothLoaded() && (hasResultText || !logOutput);
    }

    // Reads both slots again from their files before a match; a slot whose
    // file no longer loads keeps the record it had.
    void reload();

    // The match title: slot 0's pilot, " Vs ", slot 1's pilot.
    std::string title() const;

private:
    struct Records {
        TArmoredKnight Ak[2];
    };
    std::unique_ptr<Records> records_;
    std::string path_[2];
    bool loaded_[2] = {false, false};
    int active_ = 0;
};

// The start of a match after the result file was tested: both word records
// := the message table's, option 36 on and 37 (messages off) off whatever
// the conf says about log output, SetEnvironment; both slots read again,
// GameSettings.AkFile1/2 := their paths; with ConfHeader.CheckWeaponData
// the weapon catalog and the entry check of slot 0, then slot 1; the
// temporary files a crash left in the results and AK output folders
// removed (a match writes into both: its logs, and its output AK files or
// those of a match put on hold); then SetAkData with the slots' records
// and the two states. False when the
// catalog is missing or a check stopped the start (nothing is shown then
// beyond what the AK data library and the check dialog showed).
bool prepareMatch(GameSettings& settings, const ConfHeader& header, const MsgWords& words, VersusSlots& slots,
                  cv::CombatantState& state1, cv::CombatantState& state2);

} // namespace versus

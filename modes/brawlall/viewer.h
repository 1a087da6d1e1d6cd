// The viewer script of a battle royal, "bt_view.vellScript" in the results
// folder: a text file with "\n" line ends that records the map, the
// entrants, every step taken on the map and every step of every fight, so
// that a viewer can replay the event. The header is written when the run
// starts; the run appends its turns and fight blocks and "End:".
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "common/vellcmn.h"
#include "core/combatant.h"
#include "modes/frame/entrants.h"
#include "platform/clock.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace brawl {

inline constexpr const char* ViewerScriptName = "bt_view.vellScript";

struct ViewerHeader {
    std::string Path;           // the script's own path, as the system spells it
    std::string ProgramVersion; // FileVersion of "BRAWLALL.DLL"
    plat::clock::LocalTime Time;
    int Columns = 0;
    int Rows = 0;
};

// The header section, the entrant section (six lines per entrant in list
// order) and the game section's first line.
std::string viewerHeaderText(const ViewerHeader& header, const GameSettings& settings,
                             const modes::EntrantList& entrants);

// "#----- Turn n --------------------" and "Turn: n".
std::string viewerTurnText(int turn);
// "Move: entrant, dx, dy".
std::string viewerMoveText(int entrantNo, int dx, int dy);

// One side of a fight step, for the fight block.
struct FightSide {
    int EntrantNo = 0;
    const cv::CombatantState* State = nullptr;
    const TArmoredKnight* Ak = nullptr;
    int32_t HitPointPct = 0;
};

// The first seven lines of a fight block and "Result: r, " (the caller
// ends the line: "-1, -1\n" while the fight goes on, else the result and
// the loser's end state).
std::string viewerFightText(int fightNo, const GameSettings& fight, const FightSide (&sides)[2],
                            uint8_t stepResult);

// The script file. A script that cannot be created or that the disk does
// not take whole is failed(): later appends do nothing, and the run reports
// it and removes what is there (discard), so no cut script passes for a
// whole one.
class ViewerScript {
public:
    ViewerScript() = default;
    ~ViewerScript() { close(); }
    ViewerScript(const ViewerScript&) = delete;
    ViewerScript& operator=(const ViewerScript&) = delete;

    // Creates the file anew with the header, then reopens it for appending.
    bool create(std::string_view path, std::string_view header);
    void append(std::string_view text);
    // Hands what was appended to the file system (at the end of a turn).
    void flush();
    void close();
    bool isOpen() const { return file_ != nullptr; }
    bool failed() const { return failed_; }
    const std::string& path() const { return path_; }
    // Closes and removes the file; later appends do nothing.
    void discard();

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    bool failed_ = false;
};

} // namespace brawl

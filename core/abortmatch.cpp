// Ending or holding a match on the abort dialog's choice.
#include "core/abortmatch.h"

#include "core/akoutput.h"
#include "core/emit.h"
#include "core/logwriter.h"
#include "core/matchfiles.h"
#include "core/matchapi.h"
#include "core/module.h"
#include "core/repair.h"
#include "core/result.h"
#include "core/system.h"
#include "platform/paths.h"
#include "sjis/interface_text.h"

#include <array>
#include <string>

namespace cv {

namespace {

// The line with one blank line after the line before it and after itself.
void queueSpacedLine(GameMessageBuffer& buffer, std::string_view text) {
    if (GameMessageLine* last = LastLine(buffer)) ++last->BlankLinesAfter;
    QueueLine(buffer, buffer.CurrentKind, 0, text).BlankLinesAfter = 1;
}

// Result item of the dialog → GameSettings.Result.
int32_t chosenResult(int value) {
    switch (value) {
    case 1:
        return 2;
    case 2:
        return 0;
    case 3:
        return 1;
    default: { // judged by damage: the side that took less wins
        const ModuleState& m = Module();
        int64_t damage[2];
        for (int side = 0; side < 2; ++side) {
            const CombatantState& s = *m.State[side];
            damage[side] = int64_t{s.MaxDurabilityTotal} - s.DurabilityTotal;
        }
        return damage[0] < damage[1] ? 0 : damage[0] > damage[1] ? 1 : 2;
    }
    }
}

void holdWithAks(GameMessageBuffer& buffer, std::string_view akOutDir, uint8_t& akWritten) {
    GameSettings& gs = Settings();
    AskRepairs();
    AskRebuys();
    const int32_t savedRound = gs.RoundCounter, savedAnnouncer = gs.AnnouncerIndex;
    const uint8_t savedOutput = gs.Options[OptAkOutput];
    gs.Options[OptAkOutput] = 1;
    gs.RoundCounter = 0;
    gs.DistanceBand = 0;
    gs.AnnouncerIndex = 0;
    // The files book the hold in their result records as a forced end: the
    // flag the narrative reads is set before they are written.
    gs.ImmobileDraw = 1;
    std::array<ReturnAkFile, 2> files = WriteReturnAkFiles(akOutDir, savedRound);
    gs.RoundCounter = savedRound;
    gs.AnnouncerIndex = savedAnnouncer;
    gs.Options[OptAkOutput] = savedOutput;
    // Only files that are in place are reported: the caller offers them as
    // the AKs to go on with. A failure is the match's failed file.
    akWritten = files[0].Written && files[1].Written ? 1 : 0;
    queueSpacedLine(buffer, ift::HoldSaved);
    for (int side = 0; side < 2; ++side)
        if (files[side].Written)
            QueueLine(buffer, buffer.CurrentKind, 0,
                      FormatText(" PLAYER%d=>%s", side + 1, plat::shownPath(files[side].Path).c_str()));
}

} // namespace

uint8_t AbortMatch(const QuitChoice& choice, std::string_view logBase, std::string_view akOutDir,
                   uint8_t& akWritten) {
    akWritten = 0;
    if (!choice.Accepted || !api::MatchReady()) return AbortCancelled;
    GameSettings& gs = Settings();
    GameMessageBuffer& buffer = StepBuffer();
    const bool logging = Option(OptLogOutput);
    if (logging) OpenLogs(logBase, LogOpen::Step);
    SpillQueueToLogs spill(buffer);
    EmptyQueue(buffer);

    uint8_t result = AbortHeld;
    if (choice.Mode == 0) {
        gs.Result = chosenResult(choice.Value);
        buffer.CurrentKind = KindAnnouncer;
        AnnouncerLine(buffer, 0, 24);
        result = AbortEnded;
    } else if (choice.Value == 1) {
        holdWithAks(buffer, akOutDir, akWritten);
    } else {
        queueSpacedLine(buffer, ift::HoldNotSaved);
    }

    gs.ImmobileDraw = 1;
    SettleLoserEndState();
    if (logging) {
        FlushGameMessages(buffer);
        CloseLogs(true);
    }
    // A held match is over here (an ended one goes on to EndMatch1 and
    // EndMatch2).
    if (result == AbortHeld) SettleMatchFiles();
    return result;
}

} // namespace cv

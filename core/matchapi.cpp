// The match steps of the exported interface.
#include "core/matchapi.h"

#include "base/sjis.h"
#include "core/akoutput.h"
#include "core/aksheet.h"
#include "core/digest.h"
#include "core/filecache.h"
#include "core/logheader.h"
#include "core/logwriter.h"
#include "core/match.h"
#include "core/matchfiles.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "core/msgsets.h"
#include "core/outputfault.h"
#include "core/repair.h"
#include "core/result.h"
#include "core/round.h"
#include "core/rules.h"
#include "core/system.h"
#include "core/templates.h"
#include "sjis/interface_text.h"

#include <algorithm>
#include <string>

namespace cv::api {

namespace {

bool logging() {
    return Option(OptLogOutput);
}

void addBlankLine(GameMessageBuffer& buffer) {
    if (GameMessageLine* last = LastLine(buffer)) ++last->BlankLinesAfter;
}

// The settings AkViewer2 formats with: the current ones, or for the length
// of the call the caller's when none were given.
class SettingsForView {
public:
    explicit SettingsForView(GameSettings& fallback) : saved_(Module().Settings) {
        if (!saved_) Module().Settings = &fallback;
    }
    ~SettingsForView() { Module().Settings = saved_; }
    SettingsForView(const SettingsForView&) = delete;
    SettingsForView& operator=(const SettingsForView&) = delete;

private:
    GameSettings* saved_;
};

} // namespace

bool MatchReady() {
    const ModuleState& m = Module();
    return m.Ak[0] && m.Ak[1] && m.State[0] && m.State[1];
}

void SetAkData(TArmoredKnight& ak1, TArmoredKnight& ak2, CombatantState& s1, CombatantState& s2) {
    // cv::SetAkData fills the placeholder tables (the message sets change
    // none of what they point to or hold); LoadPlayMessages empties the
    // table of loaded sets first.
    cv::SetAkData(ak1, ak2, s1, s2);
    LoadPlayMessages();
    EndMatchFileChecks();
}

void StartMatch(std::string_view logBase, std::string_view title) {
    ClearFailedFile();
    BeginMatchFiles(logBase);
    if (!MatchReady()) return;
    GameMessageBuffer& buffer = StepBuffer();
    OpenLogs(logBase, LogOpen::Start);
    SpillQueueToLogs spill(buffer);
    ResetMatchCounters(buffer);
    QueueMatchOpening(buffer, title);
    StartFirstRound(title);
    if (logging()) {
        FlushGameMessages(buffer);
        EndLogStep();
    }
}

uint8_t ProcessMatch(std::string_view logBase) {
    if (!MatchReady()) return RoundBothImmobile;
    GameMessageBuffer& buffer = StepBuffer();
    if (logging()) OpenLogs(logBase, LogOpen::Step);
    SpillQueueToLogs spill(buffer);
    uint8_t result = cv::ProcessMatch(buffer);
    WriteStatusSheetsAfterRound(buffer, result);
    if (logging()) {
        FlushGameMessages(buffer);
        EndLogStep();
    }
    return result;
}

void EndMatch1(std::string_view logBase, std::string_view akOutDir) {
    if (!MatchReady()) return;
    ModuleState& m = Module();
    GameSettings& gs = Settings();
    GameMessageBuffer& buffer = StepBuffer();
    SetTextLogName(logBase);
    if (logging()) OpenLogs(logBase, LogOpen::Step);
    SpillQueueToLogs spill(buffer);

    int32_t round = gs.RoundCounter;
    gs.RoundCounter = round == INT32_MIN ? round : round - 1;
    EmptyQueue(buffer);
    UpdateAkRecords();
    if (Option(OptMessagesOff)) {
        AskRepairs();
    } else {
        for (int side = 0; side < 2; ++side) {
            WriteAkSheet(buffer, *m.Ak[side], *m.State[side]);
            addBlankLine(buffer);
            QueuePageBreak(buffer);
        }
        addBlankLine(buffer);
        AskRepairs();
        WriteClosingNarration(buffer);
    }
    AskRebuys();
    SettleLoserEndState();
    DigestAtEndMatch1(buffer);
    if (logging()) {
        FlushGameMessages(buffer);
        EndLogStep();
    }
    spill.end();

    // The output files carry no round, distance or announcer to resume from:
    // a finished match starts afresh.
    const int32_t savedRound = gs.RoundCounter, savedAnnouncer = gs.AnnouncerIndex;
    gs.RoundCounter = 0;
    gs.DistanceBand = 0;
    gs.AnnouncerIndex = 0;
    WriteReturnAkFiles(akOutDir, savedRound);
    gs.RoundCounter = savedRound;
    gs.AnnouncerIndex = savedAnnouncer;
}

void EndMatch2(std::string_view logBase) {
    if (!MatchReady()) return;
    GameMessageBuffer& buffer = StepBuffer();
    if (logging()) OpenLogs(logBase, LogOpen::Step);
    EndOfMatchOutput(buffer);
    if (logging()) {
        FlushEndMessages(buffer);
        CloseLogs(true);
    }
    // The match is over: without a failed file its files stay for good (a
    // failure took them all back, the digest record included).
    SettleMatchFiles();
    ReleaseMsgArchives();
}

void AkViewer(int side, GameMessageBuffer& buffer) {
    EmptyQueue(buffer);
    ModuleState& m = Module();
    if (side < 0 || side > 1 || !m.Ak[side] || !m.State[side]) return;
    WriteAkSheet(buffer, *m.Ak[side], *m.State[side]);
}

void AkViewer2(GameSettings& settings, std::string_view outFile, TArmoredKnight& ak,
               GameMessageBuffer& buffer, int32_t entryNo) {
    SettingsForView view(settings);
    ModuleState& m = Module();
    // The tables point into the temporary state below: the current match's
    // tables come back when the sheet is written.
    const PlaceholderTables savedTables = m.Placeholders;

    CombatantState s{};
    InitCombatant(s, ak, 0);
    for (TAkWeapon& w : ak.Weapon) w.ArmorLeft = int32_t{w.ArmorValue};
    RoundDerivedValues(ak, s);
    TArmoredKnight* aks[1] = {&ak};
    CombatantState* states[1] = {&s};
    SetupPlaceholderTables(aks, states, 1);

    EmptyQueue(buffer);
    buffer.CurrentKind = KindPilot1;
    std::string name(sjis::readField(ak.Pilot.Name));
    QueueLine(buffer, KindPilot1, 0, FormatText(ift::EntryHead, static_cast<int>(entryNo), name.c_str()));
    QueueLine(buffer, KindPilot1, 0, "");
    settings.NameWidth = std::max<int32_t>(4, static_cast<int32_t>(sjis::readField(s.PilotName).size()));
    std::string comment = std::string(ift::QuoteOpen) +
                          std::string(sjis::readField(ak.Comments[CommentMatchStart].Text)) + ift::QuoteClose;
    Narrate(buffer, comment, sjis::readField(s.PilotName), KindPilot1);
    addBlankLine(buffer);
    addBlankLine(buffer);
    // The record texts (AgeText to KillsText) were filled with the tables.
    WriteAkProfile(buffer, ak, s);
    WriteAkSpec(buffer, ak, s);
    WriteArmamentList(buffer, ak);
    WriteWeaponTable(buffer, ak);
    addBlankLine(buffer);
    AppendBufferToTextFile(buffer, outFile);

    m.Placeholders = savedTables;
}

} // namespace cv::api

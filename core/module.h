// The module-wide state of the game processor: one instance per loaded
// library, shared by every export and every rule. It holds the caller's
// records of the match in progress by pointer (the caller keeps them alive
// and unmoved from SetEnvironment and SetAkData to EndMatch2), the tables the
// library owns between StartSystem and EndSystem, and the d100 state.
//
// The message-archive library with its entries, the loaded message sets and
// the log output channels join this record with the code that uses them.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "core/combatant.h"
#include "core/logwriter.h"
#include "core/matchfiles.h"
#include "core/msgarchive.h"
#include "core/outputfault.h"
#include "core/queue.h"
#include "core/system.h"
#include "core/templates.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// One table of fixed message lines: 80 lines of 512 bytes, line 0 unused.
// Table 0 system, 1 announcer, 2 and 3 the computers of side 1 and 2, 4 and
// 5 side 1's pilot (male, female), 6 and 7 side 2's pilot.
inline constexpr int TemplateTableCount = 8;
inline constexpr int TemplateLineCount = 80;
inline constexpr int TemplateLineSize = 512;
struct TemplateTable;

// A load of lines into one template table from a message file or an
// archive entry (msgsets.h). What it writes depends on its source alone,
// never on what the table holds, so the same loads run again in the same
// order leave the table as it is.
struct TemplateLoad {
    using Writer = void (*)(TemplateTable& table, const TemplateLoad& load);
    Writer Write = nullptr;
    std::shared_ptr<const void> Source; // the file's lines or the archive, kept until the load runs
    LineDecoder Decoder = nullptr;      // the archive's line decoder when the load was made
    int Entry = 0;                      // the archive entry
    int Count = 0;                      // the lines of the file or entry it reads
    int Variant = -1;                   // a pilot set's male (0) or female (1) messages
    bool operator==(const TemplateLoad&) const = default;
};

struct TemplateTable {
    char Lines[TemplateLineCount][TemplateLineSize];
    // Loads wait until the table is read. Every match loads the default
    // files and then its sets; when those are the loads that wrote the
    // lines last, the lines hold what they would write and nothing is
    // written.
    std::vector<TemplateLoad> Waiting;
    std::vector<TemplateLoad> Written;
};

// The weapon slots and weapon comments of one side as they were when the
// match was set up (read by the re-buy prompt, swapped by the game contexts).
struct WeaponSnapshot {
    TAkWeapon Weapon[WeaponSlotCount];
    TAkComment Comment[WeaponSlotCount];
};

// Font and colours of the HTML log, read from the registry by StartSystem.
inline constexpr int DisplayColourCount = 20;
struct DisplaySettings {
    std::string FontName;
    int32_t FontSize = 9;
    uint32_t Colour[DisplayColourCount] = {};
};
DisplaySettings DefaultDisplaySettings();

struct ModuleState {
    // The match in progress; index 0 is side 1, index 1 side 2.
    GameSettings* Settings = nullptr;
    TArmoredKnight* Ak[2] = {};
    CombatantState* State[2] = {};

    // From StartSystem to EndSystem.
    std::unique_ptr<TemplateTable> Templates[TemplateTableCount];
    char TemplatePath[TemplateTableCount][256] = {};
    std::unique_ptr<GameMessageBuffer> Buffer;
    const AnnouncerEntry* Announcers = nullptr;
    const MsgEntry* ComputerEntries = nullptr;
    const MsgEntry* PilotEntries = nullptr;
    int32_t AnnouncerCount = 0;
    int32_t ComputerCount = 0;
    int32_t PilotCount = 0;
    std::string BaseFolder; // Shift-JIS, ends in a separator
    std::string TempFolder; // BaseFolder + "Temp\"
    DisplaySettings Display = DefaultDisplaySettings();
    SystemState System;

    PlaceholderTables Placeholders;
    WeaponSnapshot Snapshot[2] = {};

    // The five output channels of the match and the HTML colour state.
    LogChannels Logs;
    // The match's first file that could not be written.
    OutputFault Fault;
    // What the matches in progress wrote, for a match that stops the event.
    MatchFiles Files;

    // The loaded message sets and the message-archive library's decoder.
    MessageSets Messages;

    // Narrate's working texts, kept from call to call so that a narrated
    // line costs no allocation once they have grown.
    struct NarrationTexts {
        std::string Trimmed, Expanded, Line;
    } Narration;

    // The d100 generator's state; 0 until the library's load seeding runs.
    int32_t DiceSeed = 0;
    // Every d100 drawn since the library was loaded (the benchmark's count).
    uint64_t DiceDraws = 0;
    // Rounds finished since StartMatch, whatever RoundCounter and RoundMark
    // say: the round cap counts these too, so a resumed match whose counter
    // starts far below its mark still ends.
    int64_t RoundsThisMatch = 0;

    // Values one attack hands from step to step: the multi-shot roll of the
    // hit step, the melee bonus of the hit step for the power step, the
    // parry's outcome for the weapon hit (0 none, 1 parried, 2 failed), and
    // the shield's armour before the hit for its status text.
    struct AttackScratch {
        int32_t LastMultiShotRoll = 0;
        int32_t MeleeBonus = 0;
        int Parry = 0;
        int32_t ShieldArmourBefore = 0;
    } Attack;
};

// The one module state, made at its first use (the library's load-time
// seeding uses it before other objects of the library are made).
ModuleState& MakeModule();
// Set by MakeModule; null until then (constant-initialised, so it is null
// before any constructor runs).
extern std::atomic<ModuleState*> ModuleInstance;

// Inline and small: the rules ask for the module state and the options at
// every step of the narration, thousands of times a match.
inline ModuleState& Module() {
    ModuleState* m = ModuleInstance.load(std::memory_order_acquire);
    return m ? *m : MakeModule();
}

// The GameSettings of the match in progress; before SetEnvironment has given
// one, a zero-filled record owned by the module (every option off), so that a
// rule called out of order reads defaults instead of a null pointer.
inline GameSettings& Settings() {
    static GameSettings standIn{};
    GameSettings* s = Module().Settings;
    return s ? *s : standIn;
}

inline bool Option(int flag) {
    return flag >= 0 && flag < static_cast<int>(sizeof(GameSettings::Options)) &&
           Settings().Options[flag] != 0;
}

// Line `line` of template table `table`; empty when the table is not
// allocated or the numbers are out of range.
std::string_view TemplateLine(int table, int line);

// Template table `table` with its waiting loads run; null when it is not
// allocated or out of range. The editable form is for writes other than
// loads (tests): the next loads are then all written.
const TemplateTable* TemplateTableAt(int table);
TemplateTable* EditTemplateTable(int table);
// Queues a load into `table` (nothing when it is not allocated).
void QueueTemplateLoad(int table, TemplateLoad load);

} // namespace cv

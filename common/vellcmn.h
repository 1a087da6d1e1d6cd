// The plug-in common library (libvellcmn.so): the entrant rows that the
// game-mode plug-ins keep for every AK of an event, the entry list, the AK
// check before an event, the version text of a file, the AK detail window
// and the Shift-JIS helpers the plug-ins call. Every call is exported under
// its own name with a C signature; records and buffers belong to the caller.
//
// Window handles are void* holding a QWidget*. The detail window tells its
// opener that it is closing with the private message WM_CLOSEAKDETAIL: a
// plain QEvent whose type() is 0x8191, posted to the opener's window as a
// queued call on the GUI thread (the opener routes it in its event()).
//
// The rows are packed and shared byte for byte with the plug-ins; most
// integers sit off their natural alignment. Never bind a reference or
// pointer to a numeric member; copy the value in and out.
#pragma once

#include "base/akrecord.h"
#include "base/confrecords.h"
#include "platform/export.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace cv {
struct GameMessageBuffer;
}

#pragma pack(push, 1)

// One entrant of an event. Zero-filled by its owner before it is filled.
struct EntryRecord {
    char PilotName[80];
    char OwnerName[80]; // cmnMakeDigest2: with its bracketed tail; cmnMakeDigest3: without
    char Sex[80];
    int32_t Age;
    int32_t MachineValue;   // Cr
    int32_t TotalCr;        // machine value + cash
    int32_t Battles;        // career battles
    int32_t Wins;           // career wins when read; the modes count the event's wins here
    int32_t Losses;         // losses in the event
    int32_t Draws;          // career draws when read; the event's draws where a mode counts them
    int32_t Stage;          // a mode's progress counter
    int32_t Destroyed;      // AKs destroyed
    int32_t Kills;          // pilots killed
    int32_t OwnAkDestroyed; // own AK destroyed in the event
    int32_t OwnPilotKilled; // own pilot killed in the event
    char StatusText[16];    // end state text of the last lost match
};

// The drain data a battle-royal entrant carries from fight to fight: the
// drain fields of its CombatantState, in their order.
struct CarriedDrainData {
    uint8_t AntiBeamField;
    uint8_t BerserkAnnounced;
    int32_t ReactionBoost;
    int32_t BoostMinutesLeft;
    double AttackDown;
    double EvasionDown;
    double MovementDown;
    double ComputerDown;
    double SensorDown;
    int32_t BindDistance;
    int32_t DrainInts[6];
};

// The battle royal's row.
struct RoyalEntryRecord {
    EntryRecord Entry;
    int32_t EntrantNo;      // place in the event's entrant list, from 0
    int32_t X;              // map column, from 0
    int32_t Y;              // map row, from 0
    int32_t Reaction;       // the AK's reaction value; turn order key
    int32_t FightTurn;      // turn in which the current fight began; 0 not fighting
    int32_t Opponent;       // EntrantNo of the current opponent
    int32_t OutStatus;      // -1 in the game; else EndStateFlags of the lost fight (0 after a draw)
    int32_t HitPointPct;    // remaining durability in percent
    uint8_t PresetPosition; // 1 when the AK's texts give a start cell
    uint8_t HasMark;        // 1 when the pilot's emblem is non-empty
    char Mark[32];          // the pilot's emblem; its first two bytes are the map mark
    char EnemyList[80];
    char AllyList[80];
    char FriendList[80];
    char TeamList[80];
    TAkTurbo Turbo;
    int32_t MaxDurability[BodyPartCount];
    CarriedDrainData CarriedDrain;
};

#pragma pack(pop)

static_assert(std::is_trivially_copyable_v<EntryRecord> && std::is_standard_layout_v<EntryRecord>);
static_assert(sizeof(EntryRecord) == 304);
static_assert(offsetof(EntryRecord, PilotName) == 0);
static_assert(offsetof(EntryRecord, OwnerName) == 80);
static_assert(offsetof(EntryRecord, Sex) == 160);
static_assert(offsetof(EntryRecord, Age) == 240);
static_assert(offsetof(EntryRecord, MachineValue) == 244);
static_assert(offsetof(EntryRecord, TotalCr) == 248);
static_assert(offsetof(EntryRecord, Battles) == 252);
static_assert(offsetof(EntryRecord, Wins) == 256);
static_assert(offsetof(EntryRecord, Losses) == 260);
static_assert(offsetof(EntryRecord, Draws) == 264);
static_assert(offsetof(EntryRecord, Stage) == 268);
static_assert(offsetof(EntryRecord, Destroyed) == 272);
static_assert(offsetof(EntryRecord, Kills) == 276);
static_assert(offsetof(EntryRecord, OwnAkDestroyed) == 280);
static_assert(offsetof(EntryRecord, OwnPilotKilled) == 284);
static_assert(offsetof(EntryRecord, StatusText) == 288);

static_assert(sizeof(CarriedDrainData) == 78);
static_assert(offsetof(CarriedDrainData, AntiBeamField) == 0);
static_assert(offsetof(CarriedDrainData, BerserkAnnounced) == 1);
static_assert(offsetof(CarriedDrainData, ReactionBoost) == 2);
static_assert(offsetof(CarriedDrainData, BoostMinutesLeft) == 6);
static_assert(offsetof(CarriedDrainData, AttackDown) == 10);
static_assert(offsetof(CarriedDrainData, EvasionDown) == 18);
static_assert(offsetof(CarriedDrainData, MovementDown) == 26);
static_assert(offsetof(CarriedDrainData, ComputerDown) == 34);
static_assert(offsetof(CarriedDrainData, SensorDown) == 42);
static_assert(offsetof(CarriedDrainData, BindDistance) == 50);
static_assert(offsetof(CarriedDrainData, DrainInts) == 54);

static_assert(std::is_trivially_copyable_v<RoyalEntryRecord> && std::is_standard_layout_v<RoyalEntryRecord>);
static_assert(sizeof(RoyalEntryRecord) == 888);
static_assert(offsetof(RoyalEntryRecord, Entry) == 0);
static_assert(offsetof(RoyalEntryRecord, EntrantNo) == 304);
static_assert(offsetof(RoyalEntryRecord, X) == 308);
static_assert(offsetof(RoyalEntryRecord, Y) == 312);
static_assert(offsetof(RoyalEntryRecord, Reaction) == 316);
static_assert(offsetof(RoyalEntryRecord, FightTurn) == 320);
static_assert(offsetof(RoyalEntryRecord, Opponent) == 324);
static_assert(offsetof(RoyalEntryRecord, OutStatus) == 328);
static_assert(offsetof(RoyalEntryRecord, HitPointPct) == 332);
static_assert(offsetof(RoyalEntryRecord, PresetPosition) == 336);
static_assert(offsetof(RoyalEntryRecord, HasMark) == 337);
static_assert(offsetof(RoyalEntryRecord, Mark) == 338);
static_assert(offsetof(RoyalEntryRecord, EnemyList) == 370);
static_assert(offsetof(RoyalEntryRecord, AllyList) == 450);
static_assert(offsetof(RoyalEntryRecord, FriendList) == 530);
static_assert(offsetof(RoyalEntryRecord, TeamList) == 610);
static_assert(offsetof(RoyalEntryRecord, Turbo) == 690);
static_assert(offsetof(RoyalEntryRecord, MaxDurability) == 786);
static_assert(offsetof(RoyalEntryRecord, CarriedDrain) == 810);

namespace cmn {

// The private message the detail window posts to its opener (QEvent type).
inline constexpr int WM_CLOSEAKDETAIL = 0x8191;

// Buffer sizes the callers provide.
inline constexpr size_t CheckReportSize = 2048; // cmnCheckAkData's report
inline constexpr size_t FileVersionSize = 256;  // cmnGetFileVersion's text

} // namespace cmn

// ---- Entrant rows, entry list, check, version -------------------------------

// The row from the head of folder + "\" + file, without loading the AK:
// MachineValue, OwnerName (with its bracketed tail), PilotName, Age, Sex,
// Wins, Battles, Destroyed. 0 filled, -1 failed (only MachineValue may have
// been set).
VELL_EXPORT int32_t cmnMakeDigest2(const char* folder, const char* file, EntryRecord* row);

// The battle royal's row from the whole AK folder + "\" + file. 0 filled;
// -1 when the AK cannot be loaded (only PresetPosition cleared). EntrantNo,
// Opponent and CarriedDrain are left to the caller.
VELL_EXPORT int32_t cmnMakeDigest3(const char* folder, const char* file, RoyalEntryRecord* row);

// The entry list: outFile is created empty, then every AK of the
// null-terminated path list that loads gets its entry sheet appended,
// numbered by its place in the list from 1 (an AK that does not load leaves
// a gap). Formats with the settings last given to the game processor's
// SetEnvironment. 1 written, 0 the file cannot be created.
VELL_EXPORT int32_t OutputEntryList(GameSettings* settings, const char* const* akFiles, const char* outFile,
                                    cv::GameMessageBuffer* buffer);

// Checks an entrant through the AK data library; report holds
// cmn::CheckReportSize bytes. No findings: 1 without a window. Findings: the
// modal check dialog; 1 go on ("試合を行う"), 2 stop ("試合の中断" or the
// dialog closed otherwise).
VELL_EXPORT int32_t cmnCheckAkData(TArmoredKnight* ak, char* report);

// The FileVersion text of a file ("BRAWLALL.DLL", a bare name in the program
// folder, or an absolute path) copied into *out (cmn::FileVersionSize bytes;
// a longer text is cut on a character boundary). 1 copied (empty when the
// block has no FileVersion), 0 no version block (*out untouched).
VELL_EXPORT int32_t cmnGetFileVersion(const char* file, char** out);

// ---- AK detail window --------------------------------------------------------

// Creates and shows the non-modal detail window (no owner) and stores it in
// *detail; notify receives WM_CLOSEAKDETAIL when the window's own close
// button is pressed. *detail is written only when the window was created.
VELL_EXPORT void cmnEnableDetail(void** detail, const char* programFolder, void* notify);

// Shows the AK data file at path in the detail window.
VELL_EXPORT void cmnDetailSetAk(void** detail, const char* path);

// Closes and destroys the detail window when *detail is set; *detail := null.
VELL_EXPORT void cmnDisableDetail(void** detail);

// ---- Shift-JIS helpers --------------------------------------------------------

// Half width to full width; dst holds 2 * strlen(src) + 1. Returns strlen(dst).
VELL_EXPORT int32_t ConvHan2Zen(const char* src, char* dst);
// Full width to half width; dst holds strlen(src) + 1. Returns strlen(dst).
VELL_EXPORT int32_t ConvZen2Han(const char* src, char* dst);
// src made to fit n bytes: unchanged when it fits, else (turned to half width
// unless keepWidth) cut to n bytes on a character boundary; dst holds n + 1.
// Returns strlen(dst).
VELL_EXPORT int32_t CutString(const char* src, char* dst, int32_t n, int32_t keepWidth);
// Trailing, then leading blanks (0x20) removed in place; the text moved to
// the front is at most 79 bytes (cut on a character boundary). Returns 0.
VELL_EXPORT int32_t strTrimRight(char* text);

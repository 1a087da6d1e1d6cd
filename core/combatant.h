// CombatantState: the running state of one side of a match, built from the
// side's AK record and the game settings by InitCombatant and changed in
// place by every combat step; the game-mode plug-ins own the record and read
// AkDestroyed and PilotKilled from it after the match. Also the per-round
// reset and the drain data: the part of a side's state that an output AK
// data file carries into a later match.
//
// The byte layout is shared with the plug-ins (which allocate 1929-byte
// buffers for it), so the record is packed and its offsets are pinned below.
// ALIGNMENT: most integers and all doubles sit off their natural alignment.
// Never bind a reference or pointer to a numeric member; copy the value in
// and out (single bytes and char arrays are safe).
#pragma once

#include "base/akrecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <type_traits>

namespace cv {

// Bits of CombatantState::RoundFlags.
enum RoundFlag : uint32_t {
    RoundMovingAttack = 0x1,
    RoundStaticAttack = 0x2,
    RoundOutOfAction = 0x10,
    RoundAmplifierEvent = 0x40,
    RoundMoves = 0x80,
    RoundActed = 0x100,
};

// Bits of CombatantState::EndStateFlags (-1 when the match was judged).
enum EndStateFlag : int32_t {
    EndDead = 1,
    EndEscaped = 2,
    EndTransferred = 4,
    EndSelfDestruct = 8,
    EndExploded = 16,
};

#pragma pack(push, 1)

struct CombatantState {
    uint32_t Side;                // 0 first side, 1 second side
    char PilotName[80];           // narration name (cut at its separator with option 2)
    char ComputerName[80];        // likewise from Computer.Nickname
    char EmblemPilotNameFull[80]; // emblem prefix + whole Pilot.Name
    char PilotNameFull[80];
    char PilotLabel[80];     // emblem prefix + PilotName: the pilot's speaker label
    char ComputerLabel[80];  // emblem prefix + ComputerName
    char MasterCallName[80]; // how the computer addresses its pilot
    char ProgramText[160];   // program commands, half width
    uint16_t MessageVariant; // 0 male, 1 female pilot
    int32_t Bounty;
    char AgeText[32]; // the pilot record in full-width digits
    char BattlesText[32];
    char WinsText[32];
    char LossesText[32];
    char DrawsText[32];
    char DestroyedText[32];
    char KillsText[32];
    uint8_t AkDestroyed;
    uint8_t Exploded;
    uint8_t AntiBeamField;
    uint8_t BerserkAnnounced;
    uint8_t PilotKilled;
    uint8_t Escaped;
    uint8_t OutOfAction;
    uint8_t WeaponPresent[WeaponSlotCount];
    uint8_t WeaponChosen;
    uint8_t CannotAttack;
    uint8_t EscapeFailed;
    uint8_t SelfDestructed;
    int32_t Movement;
    int32_t MoveDistance;
    int32_t EnginePower;
    int32_t MaxDurabilityTotal;
    int32_t DurabilityTotal;
    int32_t EffectivePower;
    int32_t ActionMode; // -1 defensive move, 0 moving attack, 1 static attack
    int32_t Immobile;
    int32_t ChosenSlot; // 0..5 a weapon slot, 11..14 an unarmed strike code + 10
    int32_t ReactionBoost;
    int32_t BoostMinutesLeft;
    int32_t BoostMinutes;
    double AttackDown;
    double EvasionDown;
    double MovementDown;
    double ComputerDown;
    double SensorDown;
    int32_t Precision;
    int32_t BindDistance;
    int32_t SensorAttack;
    int32_t SensorDefence;
    int32_t DrainInts[6];
    int32_t CurrentMachineValue;
    int32_t MachineValue;
    int32_t TotalCr;
    int32_t Mctl;
    int32_t RepairCost;
    int32_t RepairShortfall;
    uint8_t HasTwoHandedWeapon;
    uint8_t TwoHandedUnpaired;
    int32_t TwoHandedSlot;
    uint8_t WeaponBroken[WeaponSlotCount];
    int32_t EndStateFlags;
    char EndStateText[16];
    int32_t ResumeRound;
    int32_t ResumeDistanceBand;
    int32_t ResumeAnnouncer;
    TAkWeapon CurrentAttack;
    TAkComment CurrentComment;
    char AttackWeaponText[48]; // the seven round texts, emptied every round
    char ShieldHitName[32];
    char ShieldStatusText[32];
    char ParryText[32];
    char WeaponHitName[32];
    char StatusText[32];
    char HitStatusText[32];
    int32_t RoundStartAttackDown;
    int32_t RoundStartEvasionDown;
    uint32_t RoundFlags;
};

#pragma pack(pop)

static_assert(std::is_trivially_copyable_v<CombatantState> && std::is_standard_layout_v<CombatantState>);
static_assert(sizeof(CombatantState) == 1917);
static_assert(offsetof(CombatantState, PilotName) == 4);
static_assert(offsetof(CombatantState, ProgramText) == 564);
static_assert(offsetof(CombatantState, MessageVariant) == 724);
static_assert(offsetof(CombatantState, Bounty) == 726);
static_assert(offsetof(CombatantState, AkDestroyed) == 954);
static_assert(offsetof(CombatantState, PilotKilled) == 958);
static_assert(offsetof(CombatantState, WeaponPresent) == 961);
static_assert(offsetof(CombatantState, Movement) == 971);
static_assert(offsetof(CombatantState, AttackDown) == 1019);
static_assert(offsetof(CombatantState, DrainInts) == 1075);
static_assert(offsetof(CombatantState, HasTwoHandedWeapon) == 1123);
static_assert(offsetof(CombatantState, EndStateFlags) == 1135);
static_assert(offsetof(CombatantState, CurrentAttack) == 1167);
static_assert(offsetof(CombatantState, CurrentComment) == 1407);
static_assert(offsetof(CombatantState, AttackWeaponText) == 1665);
static_assert(offsetof(CombatantState, RoundStartAttackDown) == 1905);
static_assert(offsetof(CombatantState, RoundFlags) == 1913);

// Fills `s` for side 0 or 1 from `ak` and the current game settings and
// returns 0. With option 46 off the program commands are taken out of the
// AK's Computer.NicknameTail (the match consumes them), so `ak` changes.
int InitCombatant(CombatantState& s, TArmoredKnight& ak, int side);

// The reset at the start of every round.
void ResetRoundState(CombatantState& s);

// The drain data of side s.Side's input AK data file (GameSettings.AkFile1
// or AkFile2), read into `s`. False when the file cannot be opened or has no
// drain line; `s` is then unchanged.
bool ParseDrainData(CombatantState& s);
// The same on an open stream (the file reader's core).
bool ParseDrainData(CombatantState& s, std::FILE* file);

} // namespace cv

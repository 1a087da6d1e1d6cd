// TArmoredKnight: the one record of an armored knight (owner, pilot, parts,
// six weapon slots, team, comments and the values derived from them).
//
// The byte layout is binding: the raw 8938-byte image is stored unchanged in
// profile files and handed between libraries, so every sub-record is packed
// (no padding, a 10-byte text is followed directly by an integer) and the
// offsets are pinned by the static_asserts at the end of this file. Texts are
// NUL-terminated Shift-JIS in fixed arrays, but a raw image may carry a full
// array without NUL: read them with sjis::readField, never with strlen.
//
// ALIGNMENT: the structure is packed, and every 32-bit integer from
// Sensor.Weight (offset 2714) to hasMatchData (8934) sits 2 bytes off its
// natural alignment. Never bind a reference or pointer to an integer member
// (no int32_t& r = ak.Team.Mctl, no &ak.Weapon[i].Price, no std::swap or
// std::min on a member by reference); copy values in and out instead:
//     int32_t mctl = ak.Team.Mctl;  ak.Team.Mctl = mctl + 1;
// Text members (char arrays) may be passed by reference or pointer.
//
// The record has no default member initialisers so that it stays trivially
// copyable and can be copied as raw bytes; callers value-initialise it
// (TArmoredKnight ak{};) or fill it from an image.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

static_assert(std::endian::native == std::endian::little, "the AK record image is little-endian");

// Index of the six body parts in Frame.MaxDurability, Frame.Durability and
// Armor.Value; the combat engine uses the same numbering.
enum BodyPart : int {
    PartHead = 0,
    PartLeftArm = 1,
    PartRightArm = 2,
    PartLeftLeg = 3,
    PartRightLeg = 4,
    PartBody = 5,
    BodyPartCount = 6
};

// Index of the weapon mounts in MountUsed: 右手 左手 右腕 左腕 右肩 左肩.
enum MountIndex : int {
    MountRightHand = 0,
    MountLeftHand = 1,
    MountRightArm = 2,
    MountLeftArm = 3,
    MountRightShoulder = 4,
    MountLeftShoulder = 5,
    MountCount = 6
};

// Rows of Frame.Strikes (melee blows).
enum StrikeIndex : int {
    StrikeRightPunch = 0,
    StrikeLeftPunch = 1,
    StrikeRightKick = 2,
    StrikeLeftKick = 3,
    StrikeCount = 4
};

// Entries of Comments. Entries 0-5 belong to weapon slots 0-5; 12-15 are the
// finishing lines of the four blows in the order of StrikeIndex.
enum CommentIndex : int {
    CommentWeapon0 = 0, // + slot number, up to 5
    CommentMatchStart = 6,
    CommentWin = 7,
    CommentLoss = 8,
    CommentDraw = 9,
    CommentEscape = 10, // escape or self-destruction
    CommentTurbo = 11,  // reaction amplifier starts
    CommentRightPunch = 12,
    CommentLeftPunch = 13,
    CommentRightKick = 14,
    CommentLeftKick = 15,
    CommentCount = 16
};

inline constexpr int WeaponSlotCount = 6;
inline constexpr int WeaponDistanceCount = 9; // hit rate / power at distance 1..9
inline constexpr int MustItemCount = 12;

#pragma pack(push, 1)

struct TAkOwner {
    char Name[80];
    char Id[80];
    char SubName[32]; // the "(...)" part of the owner line
};

struct TAkPilot {
    char Name[80];
    char Sex[80];
    char Profile[256];
    char History[256];
    char FirstPerson[32];
    char Emblem[32];
    char ProfileSub[32];
    int32_t Age;
    int32_t ExpAttack;
    int32_t ExpDefence;
    int32_t ExpEscape;
    int32_t Wins;
    int32_t Battles;
    int32_t Destroyed; // AKs destroyed
    int32_t Kills;     // pilots killed
    int32_t Draws;
};

// One melee blow row of the frame (derived).
struct TAkStrike {
    int32_t Hit;
    int32_t Power;
    int32_t Destructive;
};

struct TAkFrame {
    char Name[80];
    int32_t Evasion;
    int32_t Weight;
    int32_t Price; // > 0 when bought
    int32_t MaxDurability[BodyPartCount];
    int32_t Durability[BodyPartCount];
    int32_t EngineLevel;
    TAkStrike Strikes[StrikeCount];
};

struct TAkComputer {
    char Name[80];
    char Nickname[80];
    char MissionDisk[80];
    char NicknameTail[80]; // the part of the nickname after "／"
    char Profile[256];
    char MasterCall[32]; // how the computer addresses its pilot
    char ProfileSub[32];
    int32_t Level;
    int32_t Price; // > 0 when bought
    int32_t Weight;
    int32_t MdLevel; // Md*: the mission disk
    int32_t MdAttack;
    int32_t MdDefence;
    int32_t MdPrice;
};

struct TAkEngine {
    char Name[80];
    int32_t Weight;
    int32_t Price;
    int32_t Power;
};

struct TAkArmor {
    char Name[80];
    int32_t Value[BodyPartCount];
    int32_t PriceFactor;
    int32_t WeightFactor;
};

struct TAkSensor {
    char Name[80];
    char Type[10]; // two-letter sensor type ("WC", "LC", ...)
    int32_t Weight;
    int32_t Price;
    int32_t Attack;
    int32_t Defence;
};

// Auxiliary propulsion.
struct TAkMover {
    char Name[80];
    int32_t MoveBonus;
    int32_t Weight;
    int32_t Price;
    int32_t Attack;
    int32_t Defence;
};

// Escape device.
struct TAkEscape {
    char Name[80];
    int32_t Weight;
    int32_t Price;
    int32_t EscapeBonus;
};

// One weapon slot; an empty Name is an empty slot, Price 0 is not bought.
struct TAkWeapon {
    char Name[32];
    char Mount[32];      // 右手 左手 右腕 左腕 右肩 左肩 or 両手
    char Attributes[32]; // full-width attribute letters
    int32_t TotalAmmo;
    int32_t ShotsPerAttack;
    int32_t HitRate[WeaponDistanceCount];
    int32_t Power[WeaponDistanceCount];
    int32_t Destructive;
    int32_t AttackDown;
    int32_t EvasionDown;
    int32_t MoveDown;
    int32_t ArmorValue;
    int32_t ArmorLeft;
    int32_t InducedExplosion;
    int32_t HitTaken;
    int32_t AntiBeam;
    int32_t Weight;
    int32_t Price;
    int32_t Reserved220;
    int32_t CatalogNo; // 1-based record in the weapon catalog
    int32_t ComputerDown;
    int32_t SensorDown;
    int32_t AmmoLeft;
};

// Reaction amplifier.
struct TAkTurbo {
    char Name[80];
    int32_t Weight;
    int32_t Price;
    int32_t AmplifyPct;
    int32_t StartMinute;
};

struct TAkTeam {
    char Name[80];     // shown as the mechanic's name
    char Profile[256]; // the mechanic's profile
    int32_t Mctl;      // signed mechanic level
    int32_t Dex;       // derived from Mctl
    int32_t TeamValue;
};

// One comment entry; Mode 0 is none, else the 1-based position of the
// entry's mode letter in its letter row.
struct TAkComment {
    char Text[256];
    int16_t Mode;
};

using TAkComments = TAkComment[CommentCount];

struct TArmoredKnight {
    char ProfileText[256];
    char EditorVersion[80];
    char WeaponDataVersion[32];
    char AkName[80];
    uint8_t MustItemOk[MustItemCount];
    int32_t TotalCr; // MachineValue + Cash
    int32_t MachineValue;
    int32_t Cash;
    int32_t TotalWeight;
    int32_t MountUsed[MountCount];        // indexed by MountIndex
    int32_t ExtraValues[WeaponSlotCount]; // per slot: target distance
    int32_t Reaction;
    int32_t Movement;
    int32_t MovingAttackPct;
    int32_t DefensiveMovePct;
    int32_t StaticAttackPct;
    int32_t AttackMod;
    int32_t DefenceMod;
    int32_t EscapeMod;
    int32_t ShieldTotal;
    int32_t HitTakenTotal;
    TAkOwner Owner;
    TAkPilot Pilot;
    TAkFrame Frame;
    TAkComputer Computer;
    TAkEngine Engine;
    TAkArmor Armor;
    TAkSensor Sensor;
    TAkMover Mover;
    TAkEscape Escape;
    TAkWeapon Weapon[WeaponSlotCount];
    TAkTurbo Turbo;
    TAkTeam Team;
    TAkComments Comments;
    int32_t hasMatchData; // 1 when the file carried the remaining-values line
};

#pragma pack(pop)

static_assert(std::is_trivially_copyable_v<TArmoredKnight>);
static_assert(std::is_standard_layout_v<TArmoredKnight>);
static_assert(sizeof(TAkStrike) == 12);
static_assert(sizeof(TAkWeapon) == 240);
static_assert(sizeof(TAkComment) == 258);
static_assert(sizeof(TArmoredKnight) == 8938);

// Head.
static_assert(offsetof(TArmoredKnight, ProfileText) == 0);
static_assert(offsetof(TArmoredKnight, EditorVersion) == 256);
static_assert(offsetof(TArmoredKnight, WeaponDataVersion) == 336);
static_assert(offsetof(TArmoredKnight, AkName) == 368);
static_assert(offsetof(TArmoredKnight, MustItemOk) == 448);
static_assert(offsetof(TArmoredKnight, TotalCr) == 460);
static_assert(offsetof(TArmoredKnight, MachineValue) == 464);
static_assert(offsetof(TArmoredKnight, Cash) == 468);
static_assert(offsetof(TArmoredKnight, TotalWeight) == 472);
static_assert(offsetof(TArmoredKnight, MountUsed) == 476);
static_assert(offsetof(TArmoredKnight, ExtraValues) == 500);
static_assert(offsetof(TArmoredKnight, Reaction) == 524);
static_assert(offsetof(TArmoredKnight, Movement) == 528);
static_assert(offsetof(TArmoredKnight, MovingAttackPct) == 532);
static_assert(offsetof(TArmoredKnight, DefensiveMovePct) == 536);
static_assert(offsetof(TArmoredKnight, StaticAttackPct) == 540);
static_assert(offsetof(TArmoredKnight, AttackMod) == 544);
static_assert(offsetof(TArmoredKnight, DefenceMod) == 548);
static_assert(offsetof(TArmoredKnight, EscapeMod) == 552);
static_assert(offsetof(TArmoredKnight, ShieldTotal) == 556);
static_assert(offsetof(TArmoredKnight, HitTakenTotal) == 560);

// Owner.
static_assert(offsetof(TArmoredKnight, Owner) == 564);
static_assert(offsetof(TArmoredKnight, Owner.Name) == 564);
static_assert(offsetof(TArmoredKnight, Owner.Id) == 644);
static_assert(offsetof(TArmoredKnight, Owner.SubName) == 724);

// Pilot.
static_assert(offsetof(TArmoredKnight, Pilot) == 756);
static_assert(offsetof(TArmoredKnight, Pilot.Name) == 756);
static_assert(offsetof(TArmoredKnight, Pilot.Sex) == 836);
static_assert(offsetof(TArmoredKnight, Pilot.Profile) == 916);
static_assert(offsetof(TArmoredKnight, Pilot.History) == 1172);
static_assert(offsetof(TArmoredKnight, Pilot.FirstPerson) == 1428);
static_assert(offsetof(TArmoredKnight, Pilot.Emblem) == 1460);
static_assert(offsetof(TArmoredKnight, Pilot.ProfileSub) == 1492);
static_assert(offsetof(TArmoredKnight, Pilot.Age) == 1524);
static_assert(offsetof(TArmoredKnight, Pilot.ExpAttack) == 1528);
static_assert(offsetof(TArmoredKnight, Pilot.ExpDefence) == 1532);
static_assert(offsetof(TArmoredKnight, Pilot.ExpEscape) == 1536);
static_assert(offsetof(TArmoredKnight, Pilot.Wins) == 1540);
static_assert(offsetof(TArmoredKnight, Pilot.Battles) == 1544);
static_assert(offsetof(TArmoredKnight, Pilot.Destroyed) == 1548);
static_assert(offsetof(TArmoredKnight, Pilot.Kills) == 1552);
static_assert(offsetof(TArmoredKnight, Pilot.Draws) == 1556);

// Frame.
static_assert(offsetof(TArmoredKnight, Frame) == 1560);
static_assert(offsetof(TArmoredKnight, Frame.Name) == 1560);
static_assert(offsetof(TArmoredKnight, Frame.Evasion) == 1640);
static_assert(offsetof(TArmoredKnight, Frame.Weight) == 1644);
static_assert(offsetof(TArmoredKnight, Frame.Price) == 1648);
static_assert(offsetof(TArmoredKnight, Frame.MaxDurability) == 1652);
static_assert(offsetof(TArmoredKnight, Frame.Durability) == 1676);
static_assert(offsetof(TArmoredKnight, Frame.EngineLevel) == 1700);
static_assert(offsetof(TArmoredKnight, Frame.Strikes) == 1704);
static_assert(offsetof(TArmoredKnight, Frame.Strikes[3].Destructive) == 1748);

// Computer.
static_assert(offsetof(TArmoredKnight, Computer) == 1752);
static_assert(offsetof(TArmoredKnight, Computer.Name) == 1752);
static_assert(offsetof(TArmoredKnight, Computer.Nickname) == 1832);
static_assert(offsetof(TArmoredKnight, Computer.MissionDisk) == 1912);
static_assert(offsetof(TArmoredKnight, Computer.NicknameTail) == 1992);
static_assert(offsetof(TArmoredKnight, Computer.Profile) == 2072);
static_assert(offsetof(TArmoredKnight, Computer.MasterCall) == 2328);
static_assert(offsetof(TArmoredKnight, Computer.ProfileSub) == 2360);
static_assert(offsetof(TArmoredKnight, Computer.Level) == 2392);
static_assert(offsetof(TArmoredKnight, Computer.Price) == 2396);
static_assert(offsetof(TArmoredKnight, Computer.Weight) == 2400);
static_assert(offsetof(TArmoredKnight, Computer.MdLevel) == 2404);
static_assert(offsetof(TArmoredKnight, Computer.MdAttack) == 2408);
static_assert(offsetof(TArmoredKnight, Computer.MdDefence) == 2412);
static_assert(offsetof(TArmoredKnight, Computer.MdPrice) == 2416);

// Engine.
static_assert(offsetof(TArmoredKnight, Engine) == 2420);
static_assert(offsetof(TArmoredKnight, Engine.Name) == 2420);
static_assert(offsetof(TArmoredKnight, Engine.Weight) == 2500);
static_assert(offsetof(TArmoredKnight, Engine.Price) == 2504);
static_assert(offsetof(TArmoredKnight, Engine.Power) == 2508);

// Armor.
static_assert(offsetof(TArmoredKnight, Armor) == 2512);
static_assert(offsetof(TArmoredKnight, Armor.Name) == 2512);
static_assert(offsetof(TArmoredKnight, Armor.Value) == 2592);
static_assert(offsetof(TArmoredKnight, Armor.PriceFactor) == 2616);
static_assert(offsetof(TArmoredKnight, Armor.WeightFactor) == 2620);

// Sensor; from Sensor.Weight on, integers are 2 bytes off alignment.
static_assert(offsetof(TArmoredKnight, Sensor) == 2624);
static_assert(offsetof(TArmoredKnight, Sensor.Name) == 2624);
static_assert(offsetof(TArmoredKnight, Sensor.Type) == 2704);
static_assert(offsetof(TArmoredKnight, Sensor.Weight) == 2714);
static_assert(offsetof(TArmoredKnight, Sensor.Price) == 2718);
static_assert(offsetof(TArmoredKnight, Sensor.Attack) == 2722);
static_assert(offsetof(TArmoredKnight, Sensor.Defence) == 2726);

// Mover.
static_assert(offsetof(TArmoredKnight, Mover) == 2730);
static_assert(offsetof(TArmoredKnight, Mover.Name) == 2730);
static_assert(offsetof(TArmoredKnight, Mover.MoveBonus) == 2810);
static_assert(offsetof(TArmoredKnight, Mover.Weight) == 2814);
static_assert(offsetof(TArmoredKnight, Mover.Price) == 2818);
static_assert(offsetof(TArmoredKnight, Mover.Attack) == 2822);
static_assert(offsetof(TArmoredKnight, Mover.Defence) == 2826);

// Escape.
static_assert(offsetof(TArmoredKnight, Escape) == 2830);
static_assert(offsetof(TArmoredKnight, Escape.Name) == 2830);
static_assert(offsetof(TArmoredKnight, Escape.Weight) == 2910);
static_assert(offsetof(TArmoredKnight, Escape.Price) == 2914);
static_assert(offsetof(TArmoredKnight, Escape.EscapeBonus) == 2918);

// Weapon slots: slot i at 2922 + 240 i.
static_assert(offsetof(TArmoredKnight, Weapon) == 2922);
static_assert(offsetof(TArmoredKnight, Weapon[0]) == 2922 + 240 * 0);
static_assert(offsetof(TArmoredKnight, Weapon[1]) == 2922 + 240 * 1);
static_assert(offsetof(TArmoredKnight, Weapon[2]) == 2922 + 240 * 2);
static_assert(offsetof(TArmoredKnight, Weapon[3]) == 2922 + 240 * 3);
static_assert(offsetof(TArmoredKnight, Weapon[4]) == 2922 + 240 * 4);
static_assert(offsetof(TArmoredKnight, Weapon[5]) == 2922 + 240 * 5);
static_assert(offsetof(TAkWeapon, Name) == 0);
static_assert(offsetof(TAkWeapon, Mount) == 32);
static_assert(offsetof(TAkWeapon, Attributes) == 64);
static_assert(offsetof(TAkWeapon, TotalAmmo) == 96);
static_assert(offsetof(TAkWeapon, ShotsPerAttack) == 100);
static_assert(offsetof(TAkWeapon, HitRate) == 104);
static_assert(offsetof(TAkWeapon, Power) == 140);
static_assert(offsetof(TAkWeapon, Destructive) == 176);
static_assert(offsetof(TAkWeapon, AttackDown) == 180);
static_assert(offsetof(TAkWeapon, EvasionDown) == 184);
static_assert(offsetof(TAkWeapon, MoveDown) == 188);
static_assert(offsetof(TAkWeapon, ArmorValue) == 192);
static_assert(offsetof(TAkWeapon, ArmorLeft) == 196);
static_assert(offsetof(TAkWeapon, InducedExplosion) == 200);
static_assert(offsetof(TAkWeapon, HitTaken) == 204);
static_assert(offsetof(TAkWeapon, AntiBeam) == 208);
static_assert(offsetof(TAkWeapon, Weight) == 212);
static_assert(offsetof(TAkWeapon, Price) == 216);
static_assert(offsetof(TAkWeapon, Reserved220) == 220);
static_assert(offsetof(TAkWeapon, CatalogNo) == 224);
static_assert(offsetof(TAkWeapon, ComputerDown) == 228);
static_assert(offsetof(TAkWeapon, SensorDown) == 232);
static_assert(offsetof(TAkWeapon, AmmoLeft) == 236);

// Turbo.
static_assert(offsetof(TArmoredKnight, Turbo) == 4362);
static_assert(offsetof(TArmoredKnight, Turbo.Name) == 4362);
static_assert(offsetof(TArmoredKnight, Turbo.Weight) == 4442);
static_assert(offsetof(TArmoredKnight, Turbo.Price) == 4446);
static_assert(offsetof(TArmoredKnight, Turbo.AmplifyPct) == 4450);
static_assert(offsetof(TArmoredKnight, Turbo.StartMinute) == 4454);

// Team.
static_assert(offsetof(TArmoredKnight, Team) == 4458);
static_assert(offsetof(TArmoredKnight, Team.Name) == 4458);
static_assert(offsetof(TArmoredKnight, Team.Profile) == 4538);
static_assert(offsetof(TArmoredKnight, Team.Mctl) == 4794);
static_assert(offsetof(TArmoredKnight, Team.Dex) == 4798);
static_assert(offsetof(TArmoredKnight, Team.TeamValue) == 4802);

// Comments: entry i at 4806 + 258 i.
static_assert(offsetof(TAkComment, Text) == 0);
static_assert(offsetof(TAkComment, Mode) == 256);
static_assert(offsetof(TArmoredKnight, Comments) == 4806);
static_assert(offsetof(TArmoredKnight, Comments[15]) == 4806 + 258 * 15);

// End.
static_assert(offsetof(TArmoredKnight, hasMatchData) == 8934);

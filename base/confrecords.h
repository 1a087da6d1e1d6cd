// The records that carry a conf and the message table between libraries and
// into files: GameSettings and ConfHeader (a conf file is the two back to
// back, 6161 bytes), the conf tree's node record, the message-table entries
// and the display attributes. Their byte layout is the file format, so every
// record is packed and checked here field by field.
//
// Several integers sit off alignment (ShieldAbsorb at 4547, Reserved99999 at
// 1362): never bind a pointer or reference to an integer member of these
// records; copy by value (memcpy for the double).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

static_assert(std::endian::native == std::endian::little, "records are stored little-endian");

#pragma pack(push, 1)

// One announcer of the message table.
struct AnnouncerEntry {
    char Id[32];   // name of the entry in the lists
    char Name[32]; // the announcer's speaker label
    char Path[80]; // message file, archive or folder
};

// One pilot or computer entry of the message table.
struct MsgEntry {
    char Id[32];
    char Trigger[4][32]; // words that select this entry for an AK
    char Words[4][32];   // pilot: first-person words; computer: forms of address for the master
    char Path[80];
};

// Emblems and word lists, one per side in GameSettings.
struct MsgWords {
    char Emblem1[32];
    char Emblem2[32];
    char MySelf[10][32]; // first-person words
    char Master[10][32]; // forms of address for the master
    char Female[10][32]; // words that mark a female pilot
};

// Option flags: byte n of GameSettings::Options.
enum OptionFlag : int {
    OptSimulationMode = 0,
    OptBountyMatch = 1,
    OptNameCut = 2,
    OptDropDeadPilots = 3,
    OptInternalInfo = 5,
    OptTabReplace = 6,
    OptAddHeader = 8,
    OptParry = 9,
    Opt10 = 10,
    OptDrainContinues = 11,
    OptProgramCommands = 12,
    OptImmobileDraw = 16,
    Opt17 = 17,
    OptAppendLog = 19,
    OptLogOutput = 20,
    OptAkOutput = 23,
    Opt24 = 24,
    OptEmblem = 25,
    OptAnnouncerNameReplace = 26,
    OptBerserk = 27,
    OptHtmlLog = 28,
    Opt29 = 29,
    OptInstantBeamReflection = 30,
    OptResupplyWinner = 31,
    OptResupplyLoser = 32,
    OptAutoProcess = 33,
    OptRebuy = 34,
    OptRebuyInDebt = 35,
    Opt36 = 36,
    OptMessagesOff = 37,
    OptResetDigest = 38,
    OptNoFullToHalf = 39,
    OptTournamentThirdPlace = 40,
    OptTournamentAvoidSameOwner = 41,
    OptReversePolish = 42,
    OptTeamBattleWinnerStays = 43,
    OptDa1Only = 44,
    OptBattleInfoInAk = 45,
    OptProgramCommandContinue = 46,
    OptRestoreTwoHandGrip = 47,
    OptNoReflectBrokenArms = 48,
};

// The first record of a conf: the event's settings, and while a match runs
// the game processor's running state and result.
struct GameSettings {
    char AkFile1[80];
    char AkFile2[80];
    char ModeVersionText[32];
    char BountyFormula[80];
    char BountyPostfix[80];
    char StadiumName[32];
    char OrganiserName[32];
    char AnnouncerLabel[32];
    uint8_t Options[80]; // flags 0..79 (see OptionFlag); 49..79 carry none
    uint8_t DigestInLog;
    uint8_t DigestFileOpen;
    uint8_t MatchType; // 0 inning, 1 time, 2 battle, 3 death, 4 time-death, 5 head-death
    uint8_t Reserved531;
    AnnouncerEntry ChosenAnnouncer;
    MsgEntry ComputerMsg[2];
    MsgEntry PilotMsg[2];
    int32_t OutputColumns;
    int32_t DigestMode;
    int32_t ResumeRound;
    int32_t MatchMinutes;
    int32_t RoundCounter;
    int32_t RoundMark;
    int32_t StatusInterval;
    int32_t DistanceBand;
    int32_t NameWidth;
    int32_t MessagePercent;
    int32_t EscapeRate;
    int32_t CompensationRate;
    int32_t LoserCr;
    int32_t WinnerCr;
    int32_t MinCompensationCr;
    int32_t AnnouncerIndex; // 0x80000000: chosen at random
    int32_t AttackerSide;
    int32_t DefenderSide;
    int32_t StartDistanceBand;
    int32_t InitiativeMod1;
    int32_t InitiativeMod2;
    int32_t Side2HasInitiative;
    MsgWords Words[2];
    char FinishPierceWeapon[80];
    char FinishEjectWeapon[80];
    char FinishInducedWeapon[80];
    int32_t AttackPower;
    int32_t FinishPart;
    int32_t Result; // 0 side 1 won, 1 side 2 won, 2 draw
    int32_t LastBodyDamage;
    int32_t LastExplosionRate;
    uint8_t SelfDestruct;
    uint8_t ImmobileDraw;
    uint8_t TimeUpDecision;
    double ShieldAbsorb; // unaligned: read and write with memcpy
    char MatchTitle[80];
    int8_t BerserkAttack;
    int8_t BerserkDefence;
    uint8_t Reserved4637[158];
};

// The second record of a conf: its name, memo, folders and game form.
struct ConfHeader {
    char ConfName[80];
    char ConfMemo[256];
    char AkInputFolder[256];
    char AkOutputFolder[256];
    char ResultFolder[256];
    char WeaponDataFolder[256];
    uint8_t CheckWeaponData;
    uint8_t GameForm; // 0 one-vs-one, 1 tournament, 2 battle royal, 3 league, 4 red-vs-white, 5 one-vs-many
    int32_t Reserved99999;
};

// A conf file: the two records, raw.
struct ConfFile {
    GameSettings Settings;
    ConfHeader Header;
};

// One node of the conf tree (record i of VlTreeVw.Dt belongs to line i of VlTreeVw.Cf).
struct ConfNodeRec {
    uint32_t ListLink; // meaningless on disk
    int32_t Kind;      // 0 net, 1 conf
    char NodeName[80];
    char ConfPath[80]; // "Config\VLCNF" + six characters, relative to the program folder
    char NodeMemo[256];
};

// Display attributes of the message views.
struct DispAttribute {
    int32_t DispSplash;
    char FontName[256];
    char ThemeFile[256];
    int32_t FontSize;
    uint32_t Color[20]; // COLORREF 0x00BBGGRR or 0x80000000 + system colour index
};

#pragma pack(pop)

static_assert(sizeof(AnnouncerEntry) == 144);
static_assert(offsetof(AnnouncerEntry, Name) == 32 && offsetof(AnnouncerEntry, Path) == 64);
static_assert(sizeof(MsgEntry) == 368);
static_assert(offsetof(MsgEntry, Trigger) == 32 && offsetof(MsgEntry, Words) == 160 &&
              offsetof(MsgEntry, Path) == 288);
static_assert(sizeof(MsgWords) == 1024);
static_assert(offsetof(MsgWords, Emblem2) == 32 && offsetof(MsgWords, MySelf) == 64 &&
              offsetof(MsgWords, Master) == 384 && offsetof(MsgWords, Female) == 704);

static_assert(sizeof(GameSettings) == 4795);
static_assert(offsetof(GameSettings, AkFile2) == 80);
static_assert(offsetof(GameSettings, ModeVersionText) == 160);
static_assert(offsetof(GameSettings, BountyFormula) == 192);
static_assert(offsetof(GameSettings, BountyPostfix) == 272);
static_assert(offsetof(GameSettings, StadiumName) == 352);
static_assert(offsetof(GameSettings, OrganiserName) == 384);
static_assert(offsetof(GameSettings, AnnouncerLabel) == 416);
static_assert(offsetof(GameSettings, Options) == 448);
static_assert(offsetof(GameSettings, DigestInLog) == 528);
static_assert(offsetof(GameSettings, DigestFileOpen) == 529);
static_assert(offsetof(GameSettings, MatchType) == 530);
static_assert(offsetof(GameSettings, ChosenAnnouncer) == 532);
static_assert(offsetof(GameSettings, ComputerMsg) == 676);
static_assert(offsetof(GameSettings, ComputerMsg) + sizeof(MsgEntry) == 1044);
static_assert(offsetof(GameSettings, PilotMsg) == 1412);
static_assert(offsetof(GameSettings, PilotMsg) + sizeof(MsgEntry) == 1780);
static_assert(offsetof(GameSettings, OutputColumns) == 2148);
static_assert(offsetof(GameSettings, DigestMode) == 2152);
static_assert(offsetof(GameSettings, ResumeRound) == 2156);
static_assert(offsetof(GameSettings, MatchMinutes) == 2160);
static_assert(offsetof(GameSettings, RoundCounter) == 2164);
static_assert(offsetof(GameSettings, RoundMark) == 2168);
static_assert(offsetof(GameSettings, StatusInterval) == 2172);
static_assert(offsetof(GameSettings, DistanceBand) == 2176);
static_assert(offsetof(GameSettings, NameWidth) == 2180);
static_assert(offsetof(GameSettings, MessagePercent) == 2184);
static_assert(offsetof(GameSettings, EscapeRate) == 2188);
static_assert(offsetof(GameSettings, CompensationRate) == 2192);
static_assert(offsetof(GameSettings, LoserCr) == 2196);
static_assert(offsetof(GameSettings, WinnerCr) == 2200);
static_assert(offsetof(GameSettings, MinCompensationCr) == 2204);
static_assert(offsetof(GameSettings, AnnouncerIndex) == 2208);
static_assert(offsetof(GameSettings, AttackerSide) == 2212);
static_assert(offsetof(GameSettings, DefenderSide) == 2216);
static_assert(offsetof(GameSettings, StartDistanceBand) == 2220);
static_assert(offsetof(GameSettings, InitiativeMod1) == 2224);
static_assert(offsetof(GameSettings, InitiativeMod2) == 2228);
static_assert(offsetof(GameSettings, Side2HasInitiative) == 2232);
static_assert(offsetof(GameSettings, Words) == 2236);
static_assert(offsetof(GameSettings, Words) + sizeof(MsgWords) == 3260);
static_assert(offsetof(GameSettings, FinishPierceWeapon) == 4284);
static_assert(offsetof(GameSettings, FinishEjectWeapon) == 4364);
static_assert(offsetof(GameSettings, FinishInducedWeapon) == 4444);
static_assert(offsetof(GameSettings, AttackPower) == 4524);
static_assert(offsetof(GameSettings, FinishPart) == 4528);
static_assert(offsetof(GameSettings, Result) == 4532);
static_assert(offsetof(GameSettings, LastBodyDamage) == 4536);
static_assert(offsetof(GameSettings, LastExplosionRate) == 4540);
static_assert(offsetof(GameSettings, SelfDestruct) == 4544);
static_assert(offsetof(GameSettings, ImmobileDraw) == 4545);
static_assert(offsetof(GameSettings, TimeUpDecision) == 4546);
static_assert(offsetof(GameSettings, ShieldAbsorb) == 4547);
static_assert(offsetof(GameSettings, MatchTitle) == 4555);
static_assert(offsetof(GameSettings, BerserkAttack) == 4635);
static_assert(offsetof(GameSettings, BerserkDefence) == 4636);
static_assert(offsetof(GameSettings, Reserved4637) == 4637);

static_assert(sizeof(ConfHeader) == 1366);
static_assert(offsetof(ConfHeader, ConfMemo) == 80);
static_assert(offsetof(ConfHeader, AkInputFolder) == 336);
static_assert(offsetof(ConfHeader, AkOutputFolder) == 592);
static_assert(offsetof(ConfHeader, ResultFolder) == 848);
static_assert(offsetof(ConfHeader, WeaponDataFolder) == 1104);
static_assert(offsetof(ConfHeader, CheckWeaponData) == 1360);
static_assert(offsetof(ConfHeader, GameForm) == 1361);
static_assert(offsetof(ConfHeader, Reserved99999) == 1362);

static_assert(sizeof(ConfFile) == 6161);
static_assert(offsetof(ConfFile, Header) + offsetof(ConfHeader, AkInputFolder) == 5131);
static_assert(offsetof(ConfFile, Header) + offsetof(ConfHeader, GameForm) == 6156);
static_assert(offsetof(ConfFile, Header) + offsetof(ConfHeader, Reserved99999) == 6157);

static_assert(sizeof(ConfNodeRec) == 424);
static_assert(offsetof(ConfNodeRec, Kind) == 4 && offsetof(ConfNodeRec, NodeName) == 8 &&
              offsetof(ConfNodeRec, ConfPath) == 88 && offsetof(ConfNodeRec, NodeMemo) == 168);

static_assert(sizeof(DispAttribute) == 600);
static_assert(offsetof(DispAttribute, FontName) == 4 && offsetof(DispAttribute, ThemeFile) == 260 &&
              offsetof(DispAttribute, FontSize) == 516 && offsetof(DispAttribute, Color) == 520);

static_assert(sizeof(AnnouncerEntry[50]) == 7200 && sizeof(MsgEntry[200]) == 73600 &&
              sizeof(MsgEntry[100]) == 36800);

static_assert(std::is_trivially_copyable_v<GameSettings> && std::is_trivially_copyable_v<ConfHeader> &&
              std::is_trivially_copyable_v<ConfNodeRec> && std::is_trivially_copyable_v<DispAttribute> &&
              std::is_trivially_copyable_v<ConfFile>);

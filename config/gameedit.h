// The values of the game settings dialog, free of widgets: what each control
// shows for a conf, how the dialog's answer goes back into the conf, and the
// texts the dialog builds from the settings store (the announcer list) and
// for the regulation text.
//
// Loading keeps every value inside its control's range, as a spin edit would.
// A list choice that the conf holds outside its list (an announcer index, a
// game form, a match type or a digest mode the list has no item for) shows no
// item, and storing leaves such a field as it was, so opening and accepting a
// conf never rewrites what the user did not touch. Storing writes only the
// fields the dialog edits; every other byte of the conf stays.
#pragma once

#include "base/confrecords.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cnf {

// The three check lists, item i to option flag.
inline constexpr std::array<int, 12> OutputOptionFlags = {25, 5, 2, 23, 20, 28, 6, 39, 44, 38, 8, 3};
inline constexpr std::array<int, 7> DetailOptionFlags = {0, 9, 11, 12, 40, 41, 43};
inline constexpr std::array<int, 7> Cv46OptionFlags = {27, 30, 26, 46, 47, 45, 48};
// "標準に戻す": only berserk mode on.
inline constexpr std::array<bool, 7> Cv46Defaults = {true, false, false, false, false, false, false};

// A spin edit's range.
struct Range {
    int lo;
    int hi;
    constexpr int clamp(int v) const { return v < lo ? lo : (v > hi ? hi : v); }
};
inline constexpr Range MinutesRange{1, 999};
inline constexpr Range CrRange{0, 9999};
inline constexpr Range MinCrRange{0, 999999};
inline constexpr Range PercentRange{0, 100};
inline constexpr Range ColumnsRange{70, 200};
inline constexpr Range StatusRange{1, 100};
inline constexpr Range BerserkRange{-100, 100};
// The status spin edit shows this while the status display is off.
inline constexpr int StatusOffValue = 10;

// Items of the lists; -1 is "no item" (the stored value is kept).
inline constexpr int GameFormItems = 6;
inline constexpr int MatchTypeItems = 6;
inline constexpr int DigestItems = 4;
// AnnouncerIndex of "ランダム".
inline constexpr int32_t RandomAnnouncer = INT32_MIN;

// Byte limits of the text boxes: the designed limits, cut down where the
// record's field is smaller (a field keeps one byte for its NUL).
inline constexpr int NameBytes = 64;    // ConfName[80]
inline constexpr int MemoBytes = 250;   // ConfMemo[256]
inline constexpr int PlaceBytes = 31;   // StadiumName[32], OrganiserName[32]
inline constexpr int FormulaBytes = 79; // BountyFormula[80]
inline constexpr int FolderBytes = 255; // the folders' [256]

struct GameValues {
    // "大会の設定"
    std::string name, memo, stadium, organiser; // Shift-JIS
    int announcerItem = 0;
    int gameForm = 0;
    std::string akInput, akOutput, resultFolder;
    // "試合の設定"
    int matchType = 0;
    int minutes = 20;
    int winnerCr = 0, loserCr = 0, minCr = 0;
    int escapeRate = 0, compensationRate = 0;
    bool bountyMatch = false;
    std::string formula;
    bool reversePolish = false;
    bool autoProcess = false, resupplyWinner = false, resupplyLoser = false;
    bool rebuy = false, rebuyInDebt = false;
    // "試合の出力"
    int digestMode = 0;
    int columns = 76;
    int messagePercent = 100;
    bool statusOn = false;
    int statusMinutes = StatusOffValue;
    std::array<bool, 12> outputOptions{};
    // "より詳細な設定"
    std::array<bool, 7> detailOptions{};
    bool checkWeapon = false;
    std::string weaponFolder;
    // "特殊ルール"
    int berserkAttack = 0, berserkDefence = 0;
    std::array<bool, 7> cv46Options{};
};

// The announcer list of the settings store: "ランダム", "基本アナウンサー",
// then Id + "／" + Name of each user announcer (Name "名前無し" when missing).
std::vector<std::string> announcerItems();
// AnnouncerIndex ↔ list item; an index the list has no item for gives -1.
int announcerItemOf(int32_t announcerIndex, int itemCount);
int32_t announcerIndexOf(int item);

GameValues loadGameValues(const ConfFile& conf, int announcerCount);
// Stores the dialog's values in the order the dialog gives them back. A text
// is cut on a character boundary to its field.
void storeGameValues(const GameValues& v, ConfFile& conf);

// "自動処理する" and "武装を買いなおす" together enable "借金してでも買いなおす".
constexpr bool rebuyInDebtEnabled(bool autoProcess, bool rebuy) {
    return autoProcess && rebuy;
}

// The list texts of the match types, as the dialog and the regulation show them.
std::string_view matchTypeText(int matchType);

// The 30 value texts of the regulation text, all from what the dialog shows
// (stadium, organiser, name and memo included, edited or not), numbers in
// full-width digits; the texts not listed are empty.
std::array<std::string, 30> regulationTexts(const GameValues& shown);

} // namespace cnf

// Composite texts of the AK data file: quoted texts that hold several fields
// of the record. The owner line and the two profiles carry a "(...)" part,
// the nickname a "／" tail, the history line the emblem 《》, the draws ［］
// and the kills 〔〕, and a comment its mode letter as "/x". Reading splits
// them; writing joins them again in the same shape.
//
// Every search walks the Shift-JIS text by character, so a trail byte that
// looks like '[' (ー is 81 5B) or '(' never counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace akdata {

struct ParenParts {
    std::string main;
    std::string sub;
};
// "text(sub)rest": when the first '(' comes before the first ')', main is the
// text before the '(' and sub the text between; the rest is dropped.
// Otherwise main is the whole text.
ParenParts splitParenthesised(std::string_view text);
// main, then "(" sub ")" when sub is not empty.
std::string joinParenthesised(std::string_view main, std::string_view sub);

struct NicknameParts {
    std::string nickname;
    std::string tail;
};
// At the first "／": the nickname before it, the tail after it.
NicknameParts splitNickname(std::string_view text);
std::string joinNickname(std::string_view nickname, std::string_view tail);

struct HistoryParts {
    std::string history;
    std::string emblem;
    int32_t draws = 0;
    int32_t kills = 0;
};
// Takes, in this order, ［n］ (sets the draws), [n] (adds to them), 〔n〕
// (sets the kills), (n) (adds to them) and 《emblem》. A number is taken only
// when the text between the first opening bracket and the next closing one
// is digits (full width converted for ［］ and 〔〕) and not empty. Each part
// taken is overwritten with blanks; the history is then trimmed of blanks.
HistoryParts splitHistory(std::string_view text);
// "《emblem》" (when the emblem is not empty), the history, then the draws in
// ［］ and the kills in 〔〕 as full-width digits.
std::string joinHistory(std::string_view history, std::string_view emblem, int32_t draws, int32_t kills);

// The mode letters of comment entry 0..15 ("DEK" for the weapon comments,
// "D", "D", "DK", "S" for entries 7 to 10); empty for entries without modes.
std::string_view modeLetterRow(int entry);
// When the text ends in "/" and a letter of the row, removes both and
// returns the letter's 1-based position; otherwise leaves the text whole and
// returns 0.
int16_t stripModeLetter(std::string& text, std::string_view row);
// The text followed by "/" and its letter when 1 <= mode <= row length.
std::string withModeLetter(std::string_view text, int16_t mode, std::string_view row);

} // namespace akdata

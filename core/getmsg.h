// Fetching a message of the loaded sets by its id: one random variant
// (GetMsg), one numbered line (GetMsgLine) or a variant that matches the
// pilot's age (GetMsgAge). The slot's own set is searched first, then the
// base set; a message found in neither is the visible not-found text, which
// the narration shows in place of the message.
//
// Variants are drawn from the general random numbers, never from the combat
// dice, so message sets do not change a fight. Fetched texts are cut to 255
// bytes on a character boundary, at their first CR or LF, and lose their
// trailing blanks.
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cv {

// "【Not Found:<id> / kwp:<line> <function>()】".
std::string NotFoundText(std::string_view id, int line, std::string_view function);

// One random variant of message `id` from `slot`, else from the base set.
// 0; MsgFailed with the not-found text in `out`. Empty and 0 with
// narration off.
uint32_t GetMsg(int slot, std::string_view id, std::string& out);

// Line `line` (0-based) of message `id`. A missing or empty line of the
// slot's set is looked up in the base set. 0; MsgFailed (then `out` holds
// the not-found text).
uint32_t GetMsgLine(int slot, std::string_view id, std::string& out, int32_t line);

// An age range "a*" (exactly a), "a+b" (a to a+b), "a-b" (a-b to a) or "a"
// (a - a/8 to a + a/8), read before the first ':' of a line.
struct AgeRange {
    int64_t Low = 0;
    int64_t High = 0;
};
std::optional<AgeRange> ParseAgeRange(std::string_view line);

// A random one of the lines "<range>:<text>" of "M92A0" (or "M92A1" for a
// female pilot) whose range holds the pilot's age, from the announcer set,
// else from the base set; empty when no line fits. 0; MsgFailed with the
// not-found text when neither set has the message.
uint32_t GetMsgAge(std::string& out, const TArmoredKnight& ak, const CombatantState& state);

// A folder set's message file <id>.msg, its bytes held in memory: fixed
// records of 82 bytes (80 bytes of text, CR LF), a short last one not
// counted; the text of record k, nullopt past the last; and its text lines
// (age messages), each cut as fetched texts are.
int64_t MessageFileRecords(std::string_view bytes);
std::optional<std::string> MessageFileRecord(std::string_view bytes, int64_t k);
std::vector<std::string> MessageFileLines(std::string_view bytes);

} // namespace cv

// Message templates and placeholders. A message passes through up to three
// substitutions before it is queued: the pilot's own first-person word
// replaces the generic ones (ApplyWordTable), the emitter fills the slot
// letters "A" to "H" (ExpandMessageSlots), and Narrate expands the
// placeholders "%" + letter + two digits from the placeholder tables of the
// two sides (ExpandPlaceholders). Also the text helpers of the log writers
// and the result table: the blank-to-TAB replacement, the name fitting and
// CutString.
//
// Working texts are built in std::string and cut on a character boundary
// after every substitution: a fetched message and its word-replaced form to
// 255 bytes, an expanded line to 1023.
#pragma once

#include "base/akrecord.h"
#include "core/combatant.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace cv {

inline constexpr size_t MessageTextLimit = 255;
inline constexpr size_t ExpandedTextLimit = 1023;

// A text field of a record the placeholder tables point into; read when a
// placeholder is expanded, so it shows the record as it is then.
struct FieldRef {
    const char* Data = nullptr;
    size_t Size = 0;
    std::string_view Text() const;
};

inline constexpr int PilotEntryCount = 20;
inline constexpr int EntryCount = 10;

// The tables of "%" + letter + two digits, side 0 and side 1; entries not
// filled are empty. W is never filled.
struct PlaceholderTables {
    FieldRef Pilot[2][PilotEntryCount]; // p, P
    FieldRef Ak[2][EntryCount];         // a, A
    FieldRef Computer[2][EntryCount];   // c, C
    FieldRef Team[2][EntryCount];       // t, T
    FieldRef W[2][EntryCount];          // w, W
    FieldRef Stage[EntryCount];         // s
};

// Empties the tables, then fills for each of the first n sides (at most 2)
// the P, A, C and T entries and the full-width record texts (AgeText to
// KillsText) of its state, and the stage entries from the current settings.
// The tables point into the records, which must outlive their use.
void SetupPlaceholderTables(TArmoredKnight* const aks[], CombatantState* const states[], int n);

// Fills the slot letters "A" to "H" (half width, found walking characters)
// with the texts in order; a slot without a text stays its letter; "%" and
// the letter after it are copied whole; inserted texts are not rescanned.
// Empty with option 37.
std::string ExpandMessageSlots(std::string_view tmpl, std::span<const std::string_view> texts);
std::string ExpandMessageSlots(std::string_view tmpl, std::initializer_list<std::string_view> texts = {});

// Replaces "%" + one of p a c t w P A C T W s + two digits by that entry of
// the subject side's (lower case) or the other side's (upper case) table, or
// of the stage table. Subject 2 or 4 is side 2, anything else side 1. Any
// other "%" is copied. Empty with option 37.
std::string ExpandPlaceholders(std::string_view text, uint32_t subject);
// The same into `out` (its old content replaced; its room kept for the
// next call). `text` must not point into `out`.
void ExpandPlaceholdersInto(std::string& out, std::string_view text, uint32_t subject);

// Every non-empty word of `words`, in order, replaced wherever it occurs
// (left to right, each search resuming after the inserted replacement) by
// `replacement`, the text cut to `limit` bytes after each replacement.
void ReplaceWords(std::string& text, const char (&words)[10][32], std::string_view replacement,
                  size_t limit = MessageTextLimit);

// The first-person words GameSettings.Words[side].MySelf replaced by the
// pilot's own pronoun (side 0 or 1).
void ApplyWordTable(int side, std::string& text, std::string_view pronoun);

// Blanks are held back; when the byte position just completed (counted from
// 1) is a multiple of 8 and blanks are held, one TAB replaces them; held
// blanks before another byte or at the end are written as blanks.
std::string ReplaceBlanksWithTabs(std::string_view text);

// The name if it fits `width` bytes; else its half-width form (unless option
// 39 or 28) if that fits; else the name cut at its first separator if that
// fits; else the (converted) name cut to `width` bytes on a character
// boundary.
std::string FitNameToWidth(std::string_view name, size_t width);

// `src` when it fits n bytes; else (converted to half width unless
// keepWidth) cut to n bytes on a character boundary.
std::string CutString(std::string_view src, size_t n, bool keepWidth);
// The C form: dst gets the text (n + 1 bytes suffice); returns its length.
int32_t CutString(const char* src, char* dst, int32_t n, int32_t keepWidth);

} // namespace cv

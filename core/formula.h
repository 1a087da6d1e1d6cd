// The bounty formula: a conf's head-bounty formula in infix notation is
// turned into a blank-separated postfix text (Infix2Postfix), which is
// evaluated against one AK record on a stack of doubles (CalcPostfix). The
// configuration manager calls both by name to check a typed formula;
// SetEnvironment converts the conf's formula once per match and
// InitCombatant evaluates it for each side.
//
// Tokens: blanks and TABs separate; a run of digits is a number, a letter
// followed by letters and digits a name, anything else (a double-byte
// character included) one token of its own. A token keeps at most 31 bytes;
// the rest of a longer run is skipped. In a postfix text every token is
// followed by exactly one blank.
//
// Infix grammar, loosest first, left-associative: "<" ">" "|" (minimum,
// maximum, mean); "+" "-"; "*" "/" "\" (real and whole-number division);
// "^"; then "@" (clamp at zero) and parentheses. No unary minus, no "%".
#pragma once

#include "base/akrecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cv {

inline constexpr uint32_t FormulaError = 0x80000003;
// GameSettings.BountyPostfix: 79 bytes of text and the terminator.
inline constexpr size_t PostfixBufferSize = 80;
// Deeper nesting of "(" and "@" is refused rather than recursed into.
inline constexpr int MaxFormulaNesting = 200;

struct PostfixText {
    std::string Text;   // the whole postfix, whatever its length
    bool Error = false; // a "(" without its ")", or nesting beyond the limit
};

// The full conversion. A missing ")" is noted and parsing goes on from the
// token that stands there; tokens after a complete expression are dropped;
// an operand expected at the end of the text is emitted empty (a lone
// blank). Nesting beyond MaxFormulaNesting gives an empty text and Error.
PostfixText ConvertInfix(std::string_view infix);

// Writes the postfix of `infix` into `out` (PostfixBufferSize bytes, always
// terminated) and returns 0, or FormulaError for a missing ")" (the text is
// written all the same). A postfix longer than 79 bytes is never cut: `out`
// gets the empty text and the result is FormulaError.
uint32_t Infix2Postfix(std::string_view infix, char* out);

// The value of a postfix text for `ak`, truncated toward zero to 64 bits and
// returned as its low 32 bits; 0 when the evaluation fails: too few values
// for an operator, a division or remainder by zero, a NaN or infinite value,
// a final magnitude of 2^63 or more, or no value at all.
int32_t CalcPostfix(std::string_view postfix, const TArmoredKnight& ak);

// The AK field a name stands for (only its first letter counts, case
// matters): A TotalCr, G MachineValue, w TotalWeight, O Age, a/d/e the
// experience modifiers, W wins, F battles, D destroyed, K kills, T draws,
// M the mechanic level; any other letter 0.
int32_t BountyVariable(char letter, const TArmoredKnight& ak);

} // namespace cv

// The values of an AK that follow from its parts: total weight, reaction,
// movement, the modifiers, shield sums, punch and kick rows, price, the DEX of
// the mechanic, the melee bonus and the weight of weapons that lose weight as
// they fire. The AK data library exports them; the game processor compiles
// the same code in, so both give identical numbers.
//
// Integer formulas are 32-bit signed with division truncating toward zero:
// products and sums are formed in 64 bits and wrap to 32 as the original
// arithmetic did; INT_MIN / -1 gives INT_MIN; a double that does not fit an
// i32 saturates. Doubles are never contracted into fused multiply-adds (the
// build passes -ffp-contract=off).
#pragma once

#include "base/akrecord.h"

#include <cstdint>
#include <string_view>

namespace ak {

// 32-bit helpers with the rules above.
int32_t wrap32(int64_t v);
int32_t div32(int32_t a, int32_t b); // b must not be 0
int32_t saturate32(double v);        // truncates toward zero; NaN gives 0

// sign(m) × trunc(sqrt(trunc(sqrt(trunc(|m| / 10))))).
int32_t Mctl2DexCore(int32_t m);
// 0 without a bought frame; else by bytes 4-5 of the frame name: Ｌ 1, Ｍ 2, other 3.
int32_t FrameSizeClass(const TAkFrame& frame);
// MoveBonus for the four named auxiliary propulsions, else 0.
int32_t MoverBonus(const TAkMover& mover);
// 0..5 for 右手 左手 右腕 左腕 右肩 左肩 (exact text), 6 for anything else.
int MountSlotIndex(std::string_view mountText);
// The current weight of a weapon that loses weight as it fires (ＭＲＧ, or 白
// with 投); other weapons weigh their Weight.
int32_t CalcWpWeight(const TAkWeapon& slot);
int32_t CalcAkWeight(const TArmoredKnight& ak);
int32_t SumAkPrice(const TArmoredKnight& ak);
// Melee bonus: value / 50 for 白 with one of 切突剣叩打投, none of ＢＥＧ, value ≥ 50.
int32_t CalcHakuhei(std::string_view attributes, int32_t value);
// Recomputes movement, hit-taken and shield sums, reaction, the modifiers and
// the strike rows from the record (TotalWeight as it stands).
void UpdateAkParam(TArmoredKnight& ak);
// Reaction and movement as the weight-losing weapons are emptied one after
// another: pair 0 the AK as it is, pairs 1.. after each emptied slot. The
// arrays hold at least 7 entries. Returns the number of pairs.
int CalcWpRespMove(TArmoredKnight& ak, int32_t* reactions, int32_t* movements);
// Exactly width characters, no terminator (see the .cpp for the digit rule).
void FormatBase36Digits(char* out, int32_t value, int width);
// "%*d" of the value, exactly width characters (the leftmost when wider).
void FormatFixedWidthInt(char* out, int32_t value, int width);

} // namespace ak

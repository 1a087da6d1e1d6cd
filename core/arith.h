// The arithmetic of the fight. Integer rules are 32-bit with division toward
// zero; every value read from an AK record, a conf or a drain line may be
// anything, so sums and products are formed in 64 bits and saturated to 32
// bits where they are stored, and a double becomes an integer through one
// saturating truncation (NaN gives 0). Doubles are plain IEEE operations
// evaluated left to right (the build forbids fused multiply-adds).
#pragma once

#include "base/akparams.h"

#include <algorithm>
#include <cstdint>

namespace cv {

inline int32_t Sat32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// a × b in 64 bits, saturated instead of overflowing (products of several
// values read from files).
inline int64_t Mul64(int64_t a, int64_t b) {
    int64_t r;
    if (!__builtin_mul_overflow(a, b, &r)) return r;
    return (a < 0) != (b < 0) ? INT64_MIN : INT64_MAX;
}

// trunc(v) as a 32-bit integer; out of range saturates, NaN gives 0.
inline int32_t Trunc32(double v) {
    return ak::saturate32(v);
}

// A gauge used as a divisor: one that is not above 0 (or is NaN) counts 1.
inline double Divisor(double v) {
    return v > 0.0 ? v : 1.0;
}

// A distance band held to 1..9, the range of the hit-rate and power rows.
inline int32_t ClampBand(int64_t band) {
    return static_cast<int32_t>(std::clamp<int64_t>(band, 1, 9));
}

} // namespace cv

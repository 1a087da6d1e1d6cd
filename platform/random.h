// The runtime's general random numbers: one process-wide generator, 0..32767,
// standing where the system used the C runtime's rand and srand. The main
// program and some game-mode libraries seed it; the game processor only draws
// from it (message variants, the random announcer, the random target
// distance). The combat dice are a separate generator of the game processor.
#pragma once

#include "platform/export.h"

#include <cstdint>

namespace plat::random {

constexpr int Max = 32767;

PLAT_API void seed(uint32_t s);
// Next value in 0..Max.
PLAT_API int next();

} // namespace plat::random

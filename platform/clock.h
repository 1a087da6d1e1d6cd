// The clock: local time to the hundredth of a second and epoch seconds, as
// the system's seeding, log headers and file dates read them. Tests fix it.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace plat::clock {

struct LocalTime {
    int year = 0;       // e.g. 2026
    int month = 0;      // 1-12
    int day = 0;        // 1-31
    int dayOfWeek = 0;  // 0 Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int centisecond = 0; // 0-99
};

PLAT_API LocalTime localNow();
PLAT_API int64_t epochSeconds();
// The local time of an epoch second (file dates).
PLAT_API LocalTime localTimeOf(std::time_t t);

// Fixes the clock for tests; nullopt restores the real one.
PLAT_API void setFixedLocalTime(std::optional<LocalTime> t);
PLAT_API void setFixedEpochSeconds(std::optional<int64_t> t);

// The C asctime layout, "Mon Jan  5 09:04:01 2026\n" (day right-aligned in 2),
// in English whatever the locale.
PLAT_API std::string asctimeText(const LocalTime& t);

} // namespace plat::clock

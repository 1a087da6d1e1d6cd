#include "platform/clock.h"

#include <cstdio>
#include <mutex>
#include <time.h>

namespace plat::clock {

namespace {

std::mutex mutex;
std::optional<LocalTime> fixedLocal;
std::optional<int64_t> fixedEpoch;

LocalTime fromTm(const std::tm& tm, int centi) {
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.dayOfWeek = tm.tm_wday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.centisecond = centi;
    return t;
}

} // namespace

LocalTime localNow() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (fixedLocal) return *fixedLocal;
    }
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    ::localtime_r(&ts.tv_sec, &tm);
    return fromTm(tm, static_cast<int>(ts.tv_nsec / 10000000));
}

int64_t epochSeconds() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (fixedEpoch) return *fixedEpoch;
    }
    return static_cast<int64_t>(std::time(nullptr));
}

LocalTime localTimeOf(std::time_t t) {
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return fromTm(tm, 0);
}

void setFixedLocalTime(std::optional<LocalTime> t) {
    std::lock_guard<std::mutex> lock(mutex);
    fixedLocal = t;
}

void setFixedEpochSeconds(std::optional<int64_t> t) {
    std::lock_guard<std::mutex> lock(mutex);
    fixedEpoch = t;
}

std::string asctimeText(const LocalTime& t) {
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char buf[64];
    int wd = (t.dayOfWeek >= 0 && t.dayOfWeek < 7) ? t.dayOfWeek : 0;
    int mo = (t.month >= 1 && t.month <= 12) ? t.month - 1 : 0;
    std::snprintf(buf, sizeof buf, "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", days[wd], months[mo], t.day, t.hour,
                  t.minute, t.second, t.year);
    return buf;
}

} // namespace plat::clock

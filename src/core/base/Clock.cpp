// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Clock.h"

#include <cstdlib>
#include <ctime>
#include <memory>
#include <sys/time.h>

namespace quillo {

TDate TSystemClock::Now() const {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm lt{};
    time_t secs = tv.tv_sec;
    localtime_r(&secs, &lt);
    TDate day = EncodeDate(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday);
    double frac = (lt.tm_hour * 3600.0 + lt.tm_min * 60.0 + lt.tm_sec + tv.tv_usec / 1e6) / 86400.0;
    return day + frac;
}

namespace {
// Keeps the running time of day but on the pinned date, so save times still look real.
class TPinnedDayClock : public TClock {
public:
    explicit TPinnedDayClock(TDate day) : mDay(day) {}
    TDate Now() const override {
        TDate now = mSystem.Now();
        return mDay + (now - DateOf(now));
    }

private:
    TDate mDay;
    TSystemClock mSystem;
};
} // namespace

const TClock& DefaultClock() {
    static const std::unique_ptr<TClock> clock = []() -> std::unique_ptr<TClock> {
        TDate pinned = 0;
        if (const char* v = std::getenv("QUILLO_TODAY"); v && TryParseIsoDate(v, pinned))
            return std::make_unique<TPinnedDayClock>(pinned);
        return std::make_unique<TSystemClock>();
    }();
    return *clock;
}

} // namespace quillo

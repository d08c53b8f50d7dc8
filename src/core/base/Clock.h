// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/Date.h"

namespace quillo {

// The one source of "now"; tests and reproducible runs replace it.
class TClock {
public:
    virtual ~TClock() = default;
    virtual TDate Now() const = 0; // local date and time
    TDate Today() const { return DateOf(Now()); }
};

class TSystemClock : public TClock {
public:
    TDate Now() const override;
};

class TFixedClock : public TClock {
public:
    explicit TFixedClock(TDate now) : mNow(now) {}
    TDate Now() const override { return mNow; }
    void Set(TDate now) { mNow = now; }
    void Advance(double days) { mNow += days; }

private:
    TDate mNow;
};

// The system clock, with the day pinned by QUILLO_TODAY=YYYY-MM-DD when that is set and valid.
const TClock& DefaultClock();

} // namespace quillo

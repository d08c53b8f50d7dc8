// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Date.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace quillo {

namespace {
using namespace std::chrono;
constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};

bool ParseUInt(const std::string& s, size_t from, size_t len, int& out) {
    if (from + len > s.size()) return false;
    int v = 0;
    for (size_t i = from; i < from + len; ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + (s[i] - '0');
    }
    out = v;
    return true;
}
} // namespace

TDate DateOf(TDate dt) {
    return std::floor(dt);
}

bool TryEncodeDate(int y, int m, int d, TDate& out) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
    year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok()) return false;
    out = static_cast<double>((sys_days{ymd} - kEpoch).count());
    return true;
}

const char* const kItemDateRange = "扱える日付は 1899/12/31 から 9999/12/31 までです。";

bool IsItemDate(TDate date) {
    return date >= kFirstItemDate && date <= kLastItemDate && date == std::floor(date);
}

TDate ClampItemDate(TDate date) {
    return std::clamp(std::floor(date), kFirstItemDate, kLastItemDate);
}

bool TryEncodeItemDate(int y, int m, int d, TDate& out) {
    TDate date;
    if (!TryEncodeDate(y, m, d, date) || !IsItemDate(date)) return false;
    out = date;
    return true;
}

TDate EncodeDate(int y, int m, int d) {
    TDate r = 0;
    if (!TryEncodeDate(y, m, d, r)) throw std::invalid_argument("invalid date");
    return r;
}

void DecodeDate(TDate date, int& y, int& m, int& d) {
    const auto whole = static_cast<long long>(std::floor(date));
    year_month_day ymd{kEpoch + days{whole}};
    y = static_cast<int>(ymd.year());
    m = static_cast<int>(static_cast<unsigned>(ymd.month()));
    d = static_cast<int>(static_cast<unsigned>(ymd.day()));
}

void DecodeTime(TDate dt, int& h, int& n, int& s) {
    double frac = dt - std::floor(dt);
    long long secs = std::llround(frac * 86400.0);
    if (secs >= 86400) secs = 86399;
    h = static_cast<int>(secs / 3600);
    n = static_cast<int>(secs / 60 % 60);
    s = static_cast<int>(secs % 60);
}

int DayOfWeek(TDate date) {
    // 1899-12-30 was a Saturday (7).
    long long whole = static_cast<long long>(std::floor(date));
    long long r = ((whole + 6) % 7 + 7) % 7; // 0 = Sunday
    return static_cast<int>(r) + 1;
}

const char* ShortDayName(int dow) {
    static const char* const kNames[] = {"日", "月", "火", "水", "木", "金", "土"};
    if (dow < 1 || dow > 7) return "";
    return kNames[dow - 1];
}

namespace {
// Written digit by digit: formatting runs for every row of a listing, where printf is the cost.
void AppendDigits(std::string& out, int value, int width) {
    char buf[12];
    int n = 0;
    unsigned v = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        buf[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    if (value < 0) out += '-';
    for (int i = n; i < width; ++i)
        out += '0';
    while (n)
        out += buf[--n];
}
} // namespace

static std::string FormatYmd(TDate date) {
    int y, m, d;
    DecodeDate(date, y, m, d);
    std::string out;
    out.reserve(15);
    AppendDigits(out, y, 4);
    out += '/';
    AppendDigits(out, m, 2);
    out += '/';
    AppendDigits(out, d, 2);
    return out;
}

std::string FormatDateWithDay(TDate date) {
    std::string out = FormatYmd(date);
    out += '(';
    out += ShortDayName(DayOfWeek(date));
    out += ')';
    return out;
}

std::string FormatDateWithDaySpace(TDate date) {
    return FormatYmd(date) + " (" + ShortDayName(DayOfWeek(date)) + ")";
}

std::string FormatTime(TDate dt) {
    int h, n, s;
    DecodeTime(dt, h, n, s);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, n, s);
    return buf;
}

std::string FormatDateTime(TDate dt) {
    return FormatYmd(dt) + " " + FormatTime(dt);
}

bool TryParseIsoDate(const std::string& t, TDate& out) {
    int y, m, d;
    if (t.size() != 10 || t[4] != '-' || t[7] != '-') return false;
    if (!ParseUInt(t, 0, 4, y) || !ParseUInt(t, 5, 2, m) || !ParseUInt(t, 8, 2, d)) return false;
    return TryEncodeItemDate(y, m, d, out);
}

} // namespace quillo

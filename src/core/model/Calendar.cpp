// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Calendar.h"

#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "model/SchItem.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace quillo {

TCalendar::TCalendar() {
    mWeekdayLevels = {0, dlHoliday, dlWorkday, dlWorkday, dlWorkday, dlWorkday, dlWorkday, dlHalfHoliday};
    RebuildIndex();
}

void TCalendar::SetWeekdayLevel(int dow, int level) {
    if (dow < 1 || dow > 7) return;
    mWeekdayLevels[static_cast<size_t>(dow)] =
        std::clamp(level, static_cast<int>(dlWorkday), static_cast<int>(dlHoliday));
    RebuildIndex();
}

void TCalendar::SetHolidayDates(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    mHolidayDates = std::move(lines);
    RebuildIndex();
}

void TCalendar::AddHolidayLine(std::string line) {
    auto it = std::lower_bound(mHolidayDates.begin(), mHolidayDates.end(), line);
    if (it != mHolidayDates.end() && *it == line) return;
    mHolidayDates.insert(it, std::move(line));
    RebuildIndex();
}

bool TCalendar::ParseHolidayLine(std::string_view line, TDate& date, int& level) {
    auto f = SplitFields(line);
    if (f.size() < 4) return false;
    int y, m, d;
    if (!TryStrToInt(f[0], y) || !TryStrToInt(f[1], m) || !TryStrToInt(f[2], d) || !TryStrToInt(f[3], level))
        return false;
    return TryEncodeDate(y, m, d, date);
}

int TCalendar::LevelOfDateLiteral(TDate date) const {
    int result = mWeekdayLevels[static_cast<size_t>(DayOfWeek(date))];
    for (const std::string& line : mHolidayDates) {
        TDate d;
        int level;
        if (!ParseHolidayLine(line, d, level)) continue;
        if (d == date && level >= 0 && level <= 2) result = level;
    }
    return result;
}

void TCalendar::RebuildIndex() {
    ++mRevision;
    std::map<int, int> byDay;
    for (const std::string& line : mHolidayDates) {
        TDate d;
        int level;
        if (ParseHolidayLine(line, d, level) && level >= 0 && level <= 2) byDay[static_cast<int>(d)] = level;
    }
    mOverrides.clear();
    mOverrides.reserve(byDay.size());
    for (auto [day, level] : byDay)
        mOverrides.push_back({day, level});
    for (size_t t = 0; t < 3; ++t)
        for (size_t start = 0; start < 7; ++start)
            for (size_t days = 0; days < 7; ++days)
                mPartWeeks[t][start][days + 1] =
                    mPartWeeks[t][start][days] +
                    (mWeekdayLevels[(start + days) % 7 + 1] <= static_cast<int>(t) ? 1 : 0);
    for (int t = 0; t < 3; ++t) {
        auto& prefix = mAdjustPrefix[static_cast<size_t>(t)];
        prefix.assign(mOverrides.size() + 1, 0);
        for (size_t i = 0; i < mOverrides.size(); ++i) {
            int weekday = mWeekdayLevels[static_cast<size_t>(DayOfWeek(mOverrides[i].Day))];
            int delta = (mOverrides[i].Level <= t ? 1 : 0) - (weekday <= t ? 1 : 0);
            prefix[i + 1] = prefix[i] + delta;
        }
    }
}

int TCalendar::LevelOfDate(TDate date) const {
    if (mLiteral) return LevelOfDateLiteral(date);
    if (date == std::floor(date) && std::abs(date) < 1e9) {
        int day = static_cast<int>(date);
        auto it = std::lower_bound(mOverrides.begin(), mOverrides.end(), day,
                                   [](const TOverride& o, int d) { return o.Day < d; });
        if (it != mOverrides.end() && it->Day == day) return it->Level;
    }
    return mWeekdayLevels[static_cast<size_t>(DayOfWeek(date))];
}

int TCalendar::WeekdayCount(int threshold, long long from, long long to) const {
    const long long total = to - from + 1;
    const auto& counts = mPartWeeks[static_cast<size_t>(threshold)];
    const auto start = static_cast<size_t>(DayOfWeek(static_cast<double>(from)) - 1);
    return static_cast<int>((total / 7) * counts[0][7] + counts[start][static_cast<size_t>(total % 7)]);
}

int TCalendar::CountDays(int holidayMode, TDate from, TDate to) const {
    int threshold = std::max({0, HolidayLv, holidayMode});
    if (from > to) return 0;
    if (mLiteral || from != std::floor(from) || std::abs(from) > 1e7 || std::abs(to) > 1e7) {
        int count = 0;
        for (TDate d = from; d <= to; d += 1)
            if ((mLiteral ? LevelOfDateLiteral(d) : LevelOfDate(d)) <= threshold) ++count;
        return count;
    }
    if (threshold >= 2) {
        // Every level is at most 2, so every day counts.
        return static_cast<int>(std::floor(to - from)) + 1;
    }
    long long lo = static_cast<long long>(from);
    long long hi = lo + static_cast<long long>(std::floor(to - from)); // last day not after `to`
    int count = WeekdayCount(threshold, lo, hi);
    auto first = std::lower_bound(mOverrides.begin(), mOverrides.end(), lo,
                                  [](const TOverride& o, long long d) { return o.Day < d; });
    auto last = std::upper_bound(mOverrides.begin(), mOverrides.end(), hi,
                                 [](long long d, const TOverride& o) { return d < o.Day; });
    const auto& prefix = mAdjustPrefix[static_cast<size_t>(threshold)];
    count += prefix[static_cast<size_t>(last - mOverrides.begin())] -
             prefix[static_cast<size_t>(first - mOverrides.begin())];
    return count;
}

int TCalendar::CountDays(const TSchItem& item, TDate from, TDate to) const {
    return CountDays(item.HolidayMode, from, to);
}

std::string TCalendar::DayCountText(const TSchItem& item, std::string_view suffix, TDate from, TDate to) const {
    if (to == 0) return "-";
    return std::to_string(CountDays(item, from, to)) + "日" + std::string(suffix);
}

void TCalendar::SetLevelOfDate(TDate date, int level) {
    for (size_t i = mHolidayDates.size(); i-- > 0;) {
        TDate d;
        int l;
        if (!ParseHolidayLine(mHolidayDates[i], d, l) || d == date)
            mHolidayDates.erase(mHolidayDates.begin() + static_cast<long>(i));
    }
    RebuildIndex();
    if (LevelOfDate(date) != level) {
        int y, m, d;
        DecodeDate(date, y, m, d);
        AddHolidayLine(std::to_string(y) + "\t" + std::to_string(m) + "\t" + std::to_string(d) + "\t" +
                       std::to_string(level));
    }
}

void TCalendar::ReadHolidaysText(std::string_view text) {
    std::vector<std::string> lines;
    for (std::string_view l : SplitLines(text))
        lines.emplace_back(l);
    SetHolidayDates(std::move(lines));
}

std::string TCalendar::HolidaysText() const {
    std::string out;
    for (const std::string& line : mHolidayDates) {
        out += line;
        out += "\r\n";
    }
    return out;
}

bool TCalendar::LoadHolidaysFile(const std::string& path, std::string& error) {
    if (!IsRegularFile(path)) return true;
    std::string text;
    if (!ReadWholeFile(path, text, error)) return false;
    ReadHolidaysText(text);
    return true;
}

void TCalendar::SaveHolidaysFile(const std::string& path) const {
    WriteFileAtomic(path, HolidaysText(), "~hl");
}

} // namespace quillo

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dates are days since 1899-12-30 as double; whole days for item dates, 0 = not set.
#include <cmath>
#include <string>

namespace quillo {

using TDate = double;

// Valid for years 1..9999; false for impossible dates (30 February, month 13).
bool TryEncodeDate(int year, int month, int day, TDate& out);
TDate EncodeDate(int year, int month, int day); // throws std::invalid_argument
void DecodeDate(TDate date, int& year, int& month, int& day);
void DecodeTime(TDate date, int& hour, int& minute, int& second);
int DayOfWeek(TDate date); // 1 = Sunday .. 7 = Saturday
TDate DateOf(TDate dt);    // the whole day of a date-time

const char* ShortDayName(int dayOfWeek); // 日 月 火 水 木 金 土 (UTF-8)

std::string FormatDateWithDay(TDate date);      // yyyy/mm/dd(aaa)
std::string FormatDateWithDaySpace(TDate date); // yyyy/mm/dd (aaa)
std::string FormatDateTime(TDate dt);           // yyyy/mm/dd hh:nn:ss
std::string FormatTime(TDate dt);               // hh:nn:ss

// "YYYY-MM-DD" as used by QUILLO_TODAY and the terminal program's options.
bool TryParseIsoDate(const std::string& text, TDate& out);

} // namespace quillo

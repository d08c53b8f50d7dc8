// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dates are days since 1899-12-30 as double; whole days for item dates, 0 = not set.
#include <cmath>
#include <string>

namespace quillo {

using TDate = double;

// Valid for years 1..9999; false for impossible dates (30 February, month 13).
bool TryEncodeDate(int year, int month, int day, TDate& out);

// The dates an item can hold: what a schedule file carries there and back. The writer takes day 0
// and below for "not set", and a year after 9999 would need a fifth digit that no reader takes.
constexpr TDate kFirstItemDate = 1;      // 1899-12-31
constexpr TDate kLastItemDate = 2958465; // 9999-12-31
extern const char* const kItemDateRange; // what the user is told when a date would leave it
bool IsItemDate(TDate date);             // a whole day in that range
TDate ClampItemDate(TDate date);
bool TryEncodeItemDate(int year, int month, int day, TDate& out);
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

// "YYYY-MM-DD" as used by QUILLO_TODAY and the terminal program's options; an item date.
bool TryParseIsoDate(const std::string& text, TDate& out);

} // namespace quillo

// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Settings.h"

#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/ExSections.h"
#include "settings/ConfigPaths.h"

#include <exception>
#include <optional>

#include "settings/RegManager.h"
#include <algorithm>
#include <cmath>

namespace quillo {

namespace {
const char* const kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kSectionNames[kStoredSections] = {"Section0", "Section1", "Section2", "Section3", "Section4"};
constexpr int kFarPosition = 100000; // beyond any screen; the window brings what it reads onto one
} // namespace

void AddMainSettingsItems(TRegItems& items) {
    items.Add("FormX", "MainForm", "PosX");
    items.Add("FormY", "MainForm", "PosY");
    items.Add("FormH", "MainForm", "Height");
    items.Add("FormW", "MainForm", "Width");
    items.Add("Maximized", "MainForm", "Maximized");
    items.Add("PropX", "PropForm", "PosX", "-1");
    items.Add("PropY", "PropForm", "PosY", "-1");
    items.Add("TodayX", "TodayForm", "PosX", "0");
    items.Add("TodayY", "TodayForm", "PosY", "0");
    items.Add("TodayW", "TodayForm", "Width", "0");
    items.Add("TodayH", "TodayForm", "Height", "0");
    items.Add("LastEdit", "Edit", "FileName");
    items.Add("ChartDate", "Header", "ChartDate", "-7");
    items.Add("Section0", "Header", "Section0", "360");
    items.Add("Section1", "Header", "Section1", "100");
    items.Add("Section2", "Header", "Section2", "100");
    items.Add("Section3", "Header", "Section3", "80");
    items.Add("Section4", "Header", "Section4", "25");
    items.Add("Sun", "Holidays", "Sun", "2");
    items.Add("Mon", "Holidays", "Mon", "0");
    items.Add("Tue", "Holidays", "Tue", "0");
    items.Add("Wed", "Holidays", "Wed", "0");
    items.Add("Thu", "Holidays", "Thu", "0");
    items.Add("Fri", "Holidays", "Fri", "0");
    items.Add("Sat", "Holidays", "Sat", "1");
    items.Add("HolidayLv", "DateCount", "HolidayLv", "2");
    items.Add("AlertCount", "DateCount", "AlertCount", "0");
}

int ReadClamped(TRegManager& store, std::string_view name, int low, int high) {
    return std::clamp(store.ItemFiler(name).ReadInteger(), low, high);
}

void ReadCalendarSettings(TRegManager& store, TCalendar& calendar, int& chartDateOffset) {
    chartDateOffset = kDefaultChartOffset;
    if (!IsRegularFile(store.IniFileName)) return;
    // A hand-edited file may hold anything; the rules only ever see values they can use.
    for (int dow = 1; dow <= 7; ++dow)
        calendar.SetWeekdayLevel(dow, ReadClamped(store, kDayNames[dow - 1], dlWorkday, dlHoliday));
    chartDateOffset = ReadClamped(store, "ChartDate", -kMaxChartOffset, kMaxChartOffset);
    calendar.HolidayLv = ReadClamped(store, "HolidayLv", dlWorkday, dlHoliday);
    calendar.AlertCount = ReadClamped(store, "AlertCount", 0, kMaxAlertCount);
}

bool ReadCalendarFiles(const std::string& dir, TCalendar& calendar, int& chartDateOffset, std::string& error) {
    TRegManager store(nullptr);
    AddMainSettingsItems(store.RegItems);
    store.IniFileName = SettingsFileIn(dir);
    ReadCalendarSettings(store, calendar, chartDateOffset);
    if (calendar.LoadHolidaysFile(HolidaysFileIn(dir), error)) return true;
    error = HolidaysFileIn(dir) + ": " + error;
    return false;
}

void LoadMainSettings(TRegManager& store, TDate today, TCalendar& calendar, TChart& chart, TExSections& sections,
                      TMainSettings& s) {
    int chartDateOffset;
    ReadCalendarSettings(store, calendar, chartDateOffset);
    s.FormX = ReadClamped(store, "FormX", -kFarPosition, kFarPosition);
    s.FormY = ReadClamped(store, "FormY", -kFarPosition, kFarPosition);
    s.FormH = ReadClamped(store, "FormH", 0, kFarPosition);
    s.FormW = ReadClamped(store, "FormW", 0, kFarPosition);
    s.Maximized = store.ItemFiler("Maximized").ReadBool();
    s.PropX = ReadClamped(store, "PropX", -kFarPosition, kFarPosition);
    s.PropY = ReadClamped(store, "PropY", -kFarPosition, kFarPosition);
    s.TodayX = ReadClamped(store, "TodayX", -kFarPosition, kFarPosition);
    s.TodayY = ReadClamped(store, "TodayY", -kFarPosition, kFarPosition);
    s.TodayW = ReadClamped(store, "TodayW", 0, kFarPosition);
    s.TodayH = ReadClamped(store, "TodayH", 0, kFarPosition);
    sections.BeginUpdate();
    for (int i = 0; i < kStoredSections - 1 && i < sections.Count(); ++i)
        sections.Items(i)->SetWidth(ReadClamped(store, kSectionNames[i], 0, kFarPosition));
    const int dayWidth = ReadClamped(store, kSectionNames[kStoredSections - 1], 0, kFarPosition);
    for (int i = kStoredSections - 1; i < sections.Count(); ++i)
        sections.Items(i)->SetWidth(dayWidth);
    sections.EndUpdate();
    chart.SetChartDate(today + chartDateOffset);
}

void SaveMainSettings(TRegManager& store, TDate today, const TCalendar& calendar, const TChart& chart,
                      const TExSections& sections, const TMainSettings& s, const std::string& holidaysFile) {
    std::optional<std::string> firstError;
    auto attempt = [&](auto&& write) {
        try {
            write();
        } catch (const EQuilloError& e) {
            if (!firstError) firstError = e.what();
        }
    };
    auto integer = [&](const char* name, int value) { attempt([&] { store.ItemFiler(name).WriteInteger(value); }); };
    for (int dow = 1; dow <= 7; ++dow)
        integer(kDayNames[dow - 1], calendar.WeekdayLevel(dow));
    integer("HolidayLv", calendar.HolidayLv);
    integer("AlertCount", calendar.AlertCount);
    if (!s.Maximized) {
        attempt([&] { store.ItemFiler("Maximized").WriteBool(false); });
        integer("FormX", s.FormX);
        integer("FormY", s.FormY);
        integer("FormH", s.FormH);
        integer("FormW", s.FormW);
    } else {
        attempt([&] { store.ItemFiler("Maximized").WriteBool(true); });
    }
    integer("PropX", s.PropX);
    integer("PropY", s.PropY);
    integer("TodayX", s.TodayX);
    integer("TodayY", s.TodayY);
    integer("TodayW", s.TodayW);
    integer("TodayH", s.TodayH);
    integer("ChartDate", static_cast<int>(std::floor(chart.ChartDate() - today)));
    for (int i = 0; i < kStoredSections && i < sections.Count(); ++i)
        integer(kSectionNames[i], sections.Items(i)->Width());
    if (!holidaysFile.empty())
        attempt([&] {
            try {
                calendar.SaveHolidaysFile(holidaysFile);
            } catch (const EQuilloError&) {
                throw EQuilloError(holidaysFile + " に書き込めません");
            }
        });
    if (firstError) throw EQuilloError(*firstError);
}

} // namespace quillo

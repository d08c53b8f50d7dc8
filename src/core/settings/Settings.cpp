#include "settings/Settings.h"

#include "base/FileNames.h"
#include "model/Calendar.h"
#include "model/Chart.h"

#include "settings/RegManager.h"
#include <algorithm>

namespace quillo {

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
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int dow = 1; dow <= 7; ++dow)
        calendar.SetWeekdayLevel(dow, ReadClamped(store, kDays[dow - 1], dlWorkday, dlHoliday));
    chartDateOffset = ReadClamped(store, "ChartDate", -kMaxChartOffset, kMaxChartOffset);
    calendar.HolidayLv = ReadClamped(store, "HolidayLv", dlWorkday, dlHoliday);
    calendar.AlertCount = ReadClamped(store, "AlertCount", 0, kMaxAlertCount);
}

} // namespace quillo

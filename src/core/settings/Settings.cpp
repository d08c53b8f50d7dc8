#include "settings/Settings.h"

#include "base/FileNames.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "settings/RegManager.h"

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

void ReadCalendarSettings(TRegManager& store, TCalendar& calendar, int& chartDateOffset) {
    chartDateOffset = kDefaultChartOffset;
    if (!IsRegularFile(store.IniFileName)) return;
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int dow = 1; dow <= 7; ++dow)
        calendar.SetWeekdayLevel(dow, store.ItemFiler(kDays[dow - 1]).ReadInteger());
    chartDateOffset = store.ItemFiler("ChartDate").ReadInteger();
    calendar.HolidayLv = store.ItemFiler("HolidayLv").ReadInteger();
    calendar.AlertCount = store.ItemFiler("AlertCount").ReadInteger();
}

} // namespace quillo

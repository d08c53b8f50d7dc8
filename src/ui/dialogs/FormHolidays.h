// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The holidays dialog: the level of each weekday, the dated overrides by level, the counting
// threshold and the caution lead, edited as copies and written back only on OK.
#include "base/Date.h"
#include "model/HolidayLists.h"

#include <QDialog>

class QButtonGroup;
class QCalendarWidget;
class QComboBox;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace quillo {

class IDesktop;
class TCalendar;

class TFormHolidays : public QDialog {
    Q_OBJECT
public:
    TFormHolidays(IDesktop& desktop, TCalendar& calendar, TDate today, QWidget* parent = nullptr);

    QComboBox* Weekdays[7];
    QCalendarWidget* Calendar;
    QPushButton* AddButton;
    QPushButton* DeleteButton;
    QPushButton* ImportButton;
    QTabWidget* Pages;
    QListWidget* Lists[3];
    QButtonGroup* CountGroup;
    QComboBox* AlertList;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    void AddDate();     // the calendar's date to the page shown
    void DeleteDate();  // the selected entry of the page shown
    void ImportDates(); // the all-day dates of an iCalendar file to the page shown
    void Apply();       // writes everything back

private:
    QListWidget* ShownList() const;
    void Fill();
    void UpdateButtons();

    IDesktop& mDesktop;
    TCalendar& mCalendar;
    TDate mToday;
};

} // namespace quillo

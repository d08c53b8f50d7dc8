// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart of the main window: the header's text and day sections, their painting, the day
// cells of every row, moving through the days, list or chart, the holiday popup of the day
// header, the hints of header and rows, and the day picked by a click.
#include "main/MainContext.h"
#include "model/Calendar.h"
#include "model/Chart.h"

#include <string>

class QAction;
class QMenu;
class QPainter;
class QRect;
class QWidget;

namespace quillo {

class TExSection;

class TChartView {
public:
    static constexpr int kInfoSection = 3;
    static constexpr int kFirstDaySection = 4;

    // `showDay` opens a day's schedule (a click on a day of the header).
    TChartView(const TMainContext& context, std::function<void(TDate)> showDay);
    ~TChartView();

    bool ChartMode() const { return mContext.Chart.ChartMode; }
    TDate SelectedDate() const { return mSelectedDate; }
    void SetSelectedDate(TDate date);                     // marked in the header and the rows
    TDate DateOfSection(const TExSection* section) const; // 0 for a text section
    void SetChartDate(TDate first);
    void MoveChart(int days);
    void ChartChanged(); // the calendar or the first day changed: refresh and repaint
    void ActionShowChartExecute();
    void ActionSetHolidaysExecute();

    void ExHeader1DrawSection(QPainter* painter, TExSection* section, const QRect& rect);
    void TreeList1CustomDrawSubItem(QPainter* painter, TTreeNode* node, int index, QRect rect, bool& defaultDraw);
    void ExHeader1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void ClearHeaderHint();
    void ExHeader1MouseDown(Qt::MouseButton button, int x, int y);
    void TreeList1MouseMove(int x, int y);
    void TreeList1MouseDown(int x, int y);
    void TreeList1Click();

    // The holiday popup of a day in the header.
    QAction* HeaderPopupItem(int level) const { return HeaderPopupItems[level]; }
    void UpdateHeaderPopup(); // as it opens over the last section the pointer was on
    void HeaderPopupChoose(int level);

private:
    void BuildHeader();
    void ApplyDisplayOrder();
    void ShowHint(const std::string& hint, QWidget* tipOwner); // "short|long": tooltip and panel 0
    void UpdateLooks();

    const TMainContext& mContext;
    std::function<void(TDate)> mShowDay;
    TDate mSelectedDate;
    QMenu* HeaderPopup;
    QAction* HeaderPopupItems[kDayLevels] = {};
    TExSection* mHeaderSection = nullptr; // sections are never removed
    bool mHeaderHinted = false;           // a day's hint is in the status bar
};

} // namespace quillo

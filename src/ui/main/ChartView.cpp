// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ChartView.h"

#include "base/StrUtil.h"
#include "controls/ExHeader.h"
#include "controls/TreeList.h"
#include "dialogs/FormHolidays.h"
#include "main/ChartPaint.h"
#include "main/Images.h"
#include "main/InfoMarks.h"
#include "main/MainCommands.h"
#include "model/Document.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPainter>

namespace quillo {

TChartView::TChartView(const TMainContext& context, std::function<void(TDate)> showDay)
    : mContext(context), mShowDay(std::move(showDay)), mSelectedDate(context.Today) {
    TExHeader& header = context.Header;
    TTreeList& tree = context.Tree;
    BuildHeader();
    header.OnDrawSection = [this](TExHeader*, TExSection* s, QPainter* p, const QRect& r, bool) {
        if (s->Index() >= kFirstDaySection) ExHeader1DrawSection(p, s, r);
    };
    header.OnSectionTrack = [this](TExHeader*, TExSection* s, int w, TSectionTrackState st) {
        TExSections& sections = mContext.Header.Sections();
        if (st == tsTrackEnd && s->Index() >= kFirstDaySection) {
            // A day column's width is every day column's width.
            sections.BeginUpdate();
            for (int i = kFirstDaySection; i < sections.Count(); ++i)
                sections.Items(i)->SetWidth(w);
            sections.EndUpdate();
        }
        mContext.Tree.DrawTrackLine(s, w, st);
    };
    header.OnSectionResize = [this](TExHeader*, TExSection*) { mContext.Tree.Redraw(); };
    header.OnMouseMove = [this](TExHeader*, Qt::MouseButtons b, Qt::KeyboardModifiers m, int x, int y) {
        ExHeader1MouseMove(b, m, x, y);
    };
    header.OnMouseDown = [this](TExHeader*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        ExHeader1MouseDown(b, x, y);
    };
    header.OnMouseUp = [this](TExHeader*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
        if (b != Qt::RightButton) mContext.Tree.Redraw();
    };
    header.OnMouseLeave = [this](TExHeader*) { ClearHeaderHint(); };
    tree.OnCustomDrawSubItem = [this](TTreeList*, QPainter* p, TTreeNode* n, int index, QStyle::State, QRect r,
                                      bool& def) { TreeList1CustomDrawSubItem(p, n, index, r, def); };
    tree.OnMouseMove = [this](TTreeList*, Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
        TreeList1MouseMove(x, y);
    };
    tree.OnClick = [this](TTreeList*) { TreeList1Click(); };

    HeaderPopup = new QMenu(&header);
    auto* group = new QActionGroup(HeaderPopup);
    for (int k = 0; k < kDayLevels; ++k) {
        HeaderPopupItems[k] = HeaderPopup->addAction(QString());
        HeaderPopupItems[k]->setCheckable(true);
        HeaderPopupItems[k]->setData(k);
        group->addAction(HeaderPopupItems[k]);
        QObject::connect(HeaderPopupItems[k], &QAction::triggered, HeaderPopup, [this, k] { HeaderPopupChoose(k); });
    }
    header.setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(&header, &QWidget::customContextMenuRequested, HeaderPopup, [this](const QPoint& pos) {
        mHeaderSection = mContext.Header.GetSectionAt(pos.x(), pos.y());
        if (DateOfSection(mHeaderSection) == 0) return; // the text columns have no day to set
        UpdateHeaderPopup();
        HeaderPopup->popup(mContext.Header.mapToGlobal(pos));
    });

    TMainCommands& c = context.Commands;
    auto chart = [this] { return ChartMode(); };
    c.Bind("ActionShowChart", [this] { ActionShowChartExecute(); });
    c.Bind(
        "ActionChartNext", [this] { MoveChart(7); }, chart);
    c.Bind(
        "ActionChartPrev", [this] { MoveChart(-7); }, chart);
    c.Bind(
        "ActionChartNext1", [this] { MoveChart(1); }, chart);
    c.Bind(
        "ActionChartPrev1", [this] { MoveChart(-1); }, chart);
    c.Bind("ActionSetHolidays", [this] { ActionSetHolidaysExecute(); });
    c.AddLook([this] { UpdateLooks(); });
    SetChartDate(mContext.Chart.ChartDate());
}

TChartView::~TChartView() {
    delete HeaderPopup;
    TExHeader& header = mContext.Header;
    header.OnDrawSection = nullptr;
    header.OnSectionTrack = nullptr;
    header.OnMouseMove = nullptr;
    header.OnMouseDown = nullptr;
    header.OnMouseUp = nullptr;
    header.OnMouseLeave = nullptr;
    header.OnSectionResize = nullptr;
    TTreeList& tree = mContext.Tree;
    tree.OnCustomDrawSubItem = nullptr;
    tree.OnMouseMove = nullptr;
    tree.OnClick = nullptr;
}

// The text sections, then the 60 day sections.
void TChartView::BuildHeader() {
    TExHeader& header = mContext.Header;
    header.SetHeight(35);
    TExSections& s = header.Sections();
    s.BeginUpdate();
    s.AddText("項目名", taLeftJustify, 360, 200, 10000);
    s.AddText("開始予定", taCenter, 100, 100, 200);
    s.AddText("終了予定", taCenter, 100, 100, 200);
    s.AddText("情報", taRightJustify, 72, 72, 144);
    for (int i = 0; i < kChartDays; ++i) {
        TExSection* day = s.Add();
        day->Alignment = taCenter;
        day->Style = hsOwnerDraw;
        day->SetMaxWidth(50);
        day->SetMinWidth(14);
        day->SetWidth(16);
    }
    s.EndUpdate();
}

void TChartView::UpdateLooks() {
    QAction* a = mContext.Commands.Find("ActionShowChart");
    if (ChartMode())
        SetLook(a, "リストで表示(&C)", "リストで表示|予定の状態をリストで表示します。", tiListView);
    else
        SetLook(a, "チャートで表示(&C)", "チャートで表示|予定の状態をチャートで表示します。", tiChartView);
}

void TChartView::SetSelectedDate(TDate date) {
    mSelectedDate = date;
    mContext.Header.viewport()->update();
    mContext.Tree.Redraw();
}

TDate TChartView::DateOfSection(const TExSection* s) const {
    return s && s->Index() >= kFirstDaySection ? mContext.Chart.ChartDate() + s->Index() - kFirstDaySection : 0;
}

void TChartView::SetChartDate(TDate first) {
    mContext.Chart.SetChartDate(first);
    TExSections& sections = mContext.Header.Sections();
    sections.BeginUpdate();
    for (int i = 0; i < kChartDays; ++i) {
        const TDate d = first + i;
        int y, m, day;
        DecodeDate(d, y, m, day);
        sections.Items(kFirstDaySection + i)->Text = d == mContext.Today ? "▼" : std::to_string(day);
    }
    sections.EndUpdate();
    ApplyDisplayOrder();
    mContext.Header.viewport()->update();
    mContext.Tree.Redraw();
}

void TChartView::ApplyDisplayOrder() {
    TExSections& s = mContext.Header.Sections();
    const bool chart = ChartMode();
    // One header refresh for the whole order, not one per section moved (64 of them).
    s.BeginUpdate();
    s.Items(1)->SetPosition(chart ? -1 : 1);
    s.Items(2)->SetPosition(chart ? -1 : 2);
    for (int k = kFirstDaySection; k < s.Count(); ++k)
        s.Items(k)->SetPosition(chart ? k : -1);
    s.Items(kInfoSection)->SetPosition(1);
    s.EndUpdate();
    mContext.Tree.Redraw();
}

void TChartView::ActionShowChartExecute() {
    mContext.Chart.ChartMode = !mContext.Chart.ChartMode;
    ApplyDisplayOrder();
}

void TChartView::MoveChart(int days) {
    if (!ChartMode()) return;
    SetChartDate(mContext.Chart.ChartDate() + days);
    ChartChanged();
}

void TChartView::ChartChanged() {
    if (mContext.Document.IsOpen()) RefreshAll(mContext.Eval, mContext.Document.Nodes());
    mContext.Header.viewport()->update();
    mContext.Tree.Redraw();
}

void TChartView::ActionSetHolidaysExecute() {
    TFormHolidays dialog(mContext.Desktop, mContext.Calendar, mContext.Today, mContext.Tree.window());
    dialog.exec();
    // Whatever the answer: the chart's days follow the calendar, and the states are evaluated anew.
    ChartChanged();
}

void TChartView::ExHeader1DrawSection(QPainter* p, TExSection* s, const QRect& r) {
    TExHeader& header = mContext.Header;
    const QPalette& pal = header.palette();
    QFont f = header.font();
    f.setPointSize(8);
    const int reach =
        PaintDayHeader(*p, r, DateOfSection(s),
                       {f, pal.color(QPalette::Button), pal.color(QPalette::ButtonText), pal.color(QPalette::Highlight),
                        pal.color(QPalette::HighlightedText), mContext.Today, mSelectedDate});
    if (r.top() + reach + 1 > header.height()) {
        // Grow after this paint, never inside it.
        const int h = r.top() + reach + 1;
        QMetaObject::invokeMethod(
            &header, [&header, h] { header.SetHeight(h); }, Qt::QueuedConnection);
    }
}

void TChartView::TreeList1CustomDrawSubItem(QPainter* p, TTreeNode* node, int index, QRect r, bool& defaultDraw) {
    TSchItem* item = node->Data();
    if (index < 2) return;
    if (index == 2) {
        if (node->Parent() && item) PaintInfoMarks(*p, r, InfoMarksOf(*item), kInfoMarkWidth);
        return;
    }
    const int i = index - (kFirstDaySection - 1); // sub-item texts start at section 1
    if (i >= kChartDays) return;
    defaultDraw = false;
    int value = kCellNothing;
    if (!node->Parent() || !item)
        defaultDraw = true; // the root has no block
    else if (!(node->Expanded() && node->HasChildren()))
        value = item->GetDayCell(i);
    if (value < 0 || value > kCellOverdue) {
        TTreeList& tree = mContext.Tree;
        if (!tree.DropTarget() && node == tree.Selected() && tree.currentIndex().isValid()) {
            defaultDraw = true;
            return;
        }
    }
    PaintDayCell(*p, r, value, mContext.Chart.DayLevel(i), mContext.Chart.ChartDate() + i, mContext.Today);
}

void TChartView::ShowHint(const std::string& hint, QWidget* tipOwner) {
    const auto [tip, status] = SplitHint(hint);
    tipOwner->setToolTip(QString::fromStdString(tip));
    mContext.Hint(QString::fromStdString(status));
}

void TChartView::ExHeader1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y) {
    TExHeader& header = mContext.Header;
    mHeaderSection = header.GetSectionAt(x, y);
    const TDate d = DateOfSection(mHeaderSection);
    if (buttons == Qt::NoButton && !(modifiers & Qt::ShiftModifier) && d != 0) {
        const std::string date = DateText(d);
        ShowHint(RelativeDayText(d, mContext.Today) + " - " + date + "|ヘッダを左クリックすると、" + date +
                     "の予定を表示します。右クリックで休日の設定を行えます。",
                 &header);
        header.setCursor(Qt::PointingHandCursor);
        mHeaderHinted = true;
    } else if (buttons == Qt::NoButton) {
        ClearHeaderHint();
    }
}

// Off the days the day's words go from the status bar too; another hint there is left alone.
void TChartView::ClearHeaderHint() {
    TExHeader& header = mContext.Header;
    header.setToolTip({});
    header.unsetCursor();
    if (mHeaderHinted) mContext.Hint({});
    mHeaderHinted = false;
}

void TChartView::ExHeader1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || !mContext.Document.IsOpen()) return;
    unsigned hit = 0;
    const TDate d = DateOfSection(mContext.Header.GetSectionAt(x, y, &hit));
    if (d == 0 || (hit & (ehOnDivider | ehOnDivOpen))) return; // a press on a divider resizes
    SetSelectedDate(d);
    mContext.Commands.Run([this, d] { mShowDay(d); });
}

void TChartView::UpdateHeaderPopup() {
    const TDate d = DateOfSection(mHeaderSection);
    static const char* const kSuffix[kDayLevels] = {"を平日に設定", "を半休に設定", "を休日に設定"};
    const int level = d != 0 ? mContext.Calendar.LevelOfDate(d) : -1;
    for (int k = 0; k < kDayLevels; ++k) {
        QAction* a = HeaderPopupItems[k];
        a->setEnabled(d != 0);
        a->setChecked(d != 0 && k == level);
        a->setText(d != 0 ? QString::fromStdString(DateText(d) + kSuffix[k]) : QString());
    }
}

void TChartView::HeaderPopupChoose(int level) {
    const TDate d = DateOfSection(mHeaderSection);
    if (d == 0 || mContext.Calendar.LevelOfDate(d) == level) return;
    mContext.Calendar.SetLevelOfDate(d, level);
    ChartChanged();
}

void TChartView::TreeList1MouseMove(int x, int y) {
    TrackInfoMarks(mContext.Tree, mContext.Header, kInfoSection, x, y,
                   [this](const QString& status) { mContext.Hint(status); });
}

// A press in a day column picks that day.
void TChartView::TreeList1MouseDown(int x, int) {
    if (const TDate d = DateOfSection(mContext.Header.GetSectionAt(x, 1)); d != 0 && d != mSelectedDate)
        SetSelectedDate(d);
}

void TChartView::TreeList1Click() {
    TTreeNode* node = mContext.Tree.Selected();
    if (!node || !node->Parent() || !node->Data()) return;
    mContext.Hint(QString::fromStdString(MemoLine(node->Data()->Memo)));
}

} // namespace quillo

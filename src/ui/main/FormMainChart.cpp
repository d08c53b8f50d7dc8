// SPDX-License-Identifier: GPL-3.0-or-later
// The chart of the main window: 60 day sections, their painting, the row cells, navigation,
// the holiday popup and the mouse hints of header and rows.
#include "base/Cp932.h"
#include "base/StrUtil.h"
#include "controls/ExHeader.h"
#include "controls/StatusPanel.h"
#include "controls/TreeList.h"
#include "main/FormMain.h"
#include "main/Images.h"
#include "model/SchItem.h"
#include "model/StateEval.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QToolBar>

namespace quillo {

namespace {
constexpr int kMarkWidth = 16; // the memo and link marks of the information column

// One line of a memo for hints and the status bar.
std::string MemoLine(const std::string& memo) {
    std::string s = ReplaceAll(ReplaceAll(memo, "\r\n", " "), "\t", " ");
    return Cp932ToUtf8(CutToNameLength(s));
}
} // namespace

// The text sections; the day sections follow them.
void TFormMain::BuildHeader() {
    ExHeader1->SetHeight(35);
    TExSections& s = ExHeader1->Sections();
    s.BeginUpdate();
    s.AddText("項目名", taLeftJustify, 360, 200, 10000);
    s.AddText("開始予定", taCenter, 100, 100, 200);
    s.AddText("終了予定", taCenter, 100, 100, 200);
    s.AddText("情報", taRightJustify, 72, 72, 144);
    s.EndUpdate();
}

void TFormMain::BuildChart() {
    ExHeader1->Sections().BeginUpdate();
    for (int i = 0; i < kChartDays; ++i) {
        TExSection* s = ExHeader1->Sections().Add();
        s->Alignment = taCenter;
        s->Style = hsOwnerDraw;
        s->SetMaxWidth(50);
        s->SetMinWidth(14);
        s->SetWidth(16);
    }
    ExHeader1->Sections().EndUpdate();

    ExHeader1->OnDrawSection = [this](TExHeader*, TExSection* s, QPainter* p, const QRect& r, bool) {
        if (s->Index() >= kFirstDaySection) DrawDaySection(p, s, r);
    };
    ExHeader1->OnSectionTrack = [this](TExHeader*, TExSection* s, int w, TSectionTrackState st) {
        if (st == tsTrackEnd && s->Index() >= kFirstDaySection) {
            // A day column's width is every day column's width.
            ExHeader1->Sections().BeginUpdate();
            for (int i = kFirstDaySection; i < ExHeader1->Sections().Count(); ++i)
                ExHeader1->Sections().Items(i)->SetWidth(w);
            ExHeader1->Sections().EndUpdate();
        }
        TreeList1->DrawTrackLine(s, w, st);
    };
    ExHeader1->OnMouseMove = [this](TExHeader*, Qt::MouseButtons b, Qt::KeyboardModifiers m, int x, int y) {
        HeaderMouseMove(b, m, x, y);
    };
    ExHeader1->OnMouseDown = [this](TExHeader*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        HeaderMouseDown(b, x, y);
    };
    ExHeader1->OnMouseUp = [this](TExHeader*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
        if (b != Qt::RightButton) TreeList1->Redraw();
    };
    TreeList1->OnCustomDrawSubItem = [this](TTreeList*, QPainter* p, TTreeNode* n, int index, QStyle::State, QRect r,
                                            bool& def) { DrawSubItem(p, n, index, r, def); };
    TreeList1->OnMouseMove = [this](TTreeList*, Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
        TreeMouseMove(x, y);
    };
    TreeList1->OnMouseDown = [this](TTreeList*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        TreeEditMouseDown(b, x, y);
        TreeMouseDown(x, y);
    };
    TreeList1->OnClick = [this](TTreeList*) { TreeClick(); };
    TreeList1->OnDblClick = [this](TTreeList*) { Run([this] { OpenItemProperty(1); }); };

    HeaderPopup = new QMenu(this);
    auto* group = new QActionGroup(HeaderPopup);
    for (int k = 0; k < kDayLevels; ++k) {
        HeaderPopupItems[k] = HeaderPopup->addAction(QString());
        HeaderPopupItems[k]->setCheckable(true);
        HeaderPopupItems[k]->setData(k);
        group->addAction(HeaderPopupItems[k]);
        connect(HeaderPopupItems[k], &QAction::triggered, this, [this, k] { HeaderPopupChoose(k); });
    }
    ExHeader1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ExHeader1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        mHeaderSection = ExHeader1->GetSectionAt(pos.x(), pos.y());
        if (DateOfSection(mHeaderSection) == 0) return; // the text columns have no day to set
        UpdateHeaderPopup();
        HeaderPopup->popup(ExHeader1->mapToGlobal(pos));
    });
    SetChartDate(mChart.ChartDate());
}

TDate TFormMain::DateOfSection(const TExSection* s) const {
    return s && s->Index() >= kFirstDaySection ? mChart.ChartDate() + s->Index() - kFirstDaySection : 0;
}

void TFormMain::SetChartDate(TDate first) {
    mChart.SetChartDate(first);
    ExHeader1->Sections().BeginUpdate();
    for (int i = 0; i < kChartDays; ++i) {
        TExSection* s = ExHeader1->Sections().Items(kFirstDaySection + i);
        const TDate d = first + i;
        int y, m, day;
        DecodeDate(d, y, m, day);
        s->Text = d == mToday ? "▼" : std::to_string(day);
    }
    ExHeader1->Sections().EndUpdate();
    ApplyDisplayOrder();
    ExHeader1->viewport()->update();
    TreeList1->Redraw();
}

void TFormMain::ApplyDisplayOrder() {
    TExSections& s = ExHeader1->Sections();
    const bool chart = ChartMode();
    s.Items(1)->SetPosition(chart ? -1 : 1);
    s.Items(2)->SetPosition(chart ? -1 : 2);
    for (int k = kFirstDaySection; k < s.Count(); ++k)
        s.Items(k)->SetPosition(chart ? k : -1);
    s.Items(kInfoSection)->SetPosition(1);
    TreeList1->Redraw();
}

void TFormMain::ActionShowChartExecute() {
    mChart.ChartMode = !mChart.ChartMode;
    ApplyDisplayOrder();
}

void TFormMain::MoveChart(int days) {
    if (!ChartMode()) return;
    SetChartDate(mChart.ChartDate() + days);
    ChartChanged();
}

void TFormMain::ChartChanged() {
    if (ScheduleOpen()) RefreshAll(mCtx, Nodes());
    ExHeader1->viewport()->update();
    TreeList1->Redraw();
}

void TFormMain::DrawDaySection(QPainter* p, TExSection* s, const QRect& r) {
    const TDate d = DateOfSection(s);
    const QPalette& pal = ExHeader1->palette();
    const bool selected = d == mSelectedDate;
    if (selected)
        p->fillRect(r, pal.color(QPalette::Highlight));
    else if (d < mToday)
        p->fillRect(r, QColor(128, 128, 128));
    else if (d == mToday)
        p->fillRect(r, QColor(255, 255, 153));
    else
        p->fillRect(r, pal.color(QPalette::Button));
    QFont f = ExHeader1->font();
    f.setPointSize(8);
    p->setFont(f);
    const QColor text = selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::ButtonText);
    const QFontMetrics fm(f);
    const int cx = (r.left() + r.right() + 1) / 2;
    int y = r.top() + 1;
    int year, month, day;
    DecodeDate(d, year, month, day);
    auto centred = [&](const QString& t, QColor c) {
        p->setPen(c);
        const int w = fm.horizontalAdvance(t);
        p->drawText(QRect(cx - w / 2, y, w + 2, fm.height()), Qt::AlignLeft | Qt::AlignTop, t);
    };
    centred(QString::number(month), text);
    y += fm.height();
    const QPoint ruleFrom(r.left() + 1, y - 2);
    centred(QString::number(day), text);
    p->setPen(selected ? pal.color(QPalette::HighlightedText) : QColor(Qt::black));
    p->drawLine(ruleFrom, QPoint(r.right() + 1 - 3, ruleFrom.y()));
    y += fm.height();
    const int dow = DayOfWeek(d);
    QColor dayColour = dow == 1 ? QColor(255, 0, 0) : dow == 7 ? QColor(0, 0, 255) : QColor(Qt::black);
    if (selected) dayColour = pal.color(QPalette::HighlightedText);
    const QString name = QString::fromUtf8(ShortDayName(dow));
    p->setPen(dayColour);
    p->drawText(QPoint(cx - fm.horizontalAdvance(name) / 2 + 1, y - 1 + fm.ascent()), name);
    y += fm.height();
    if (y + 1 > ExHeader1->height()) {
        // Grow after this paint, never inside it.
        const int h = y + 1;
        QMetaObject::invokeMethod(
            this, [this, h] { ExHeader1->SetHeight(h); }, Qt::QueuedConnection);
    }
}

void TFormMain::DrawSubItem(QPainter* p, TTreeNode* node, int index, QRect r, bool& defaultDraw) {
    TSchItem* item = node->Data();
    if (index < 2) return;
    if (index == 2) {
        if (!node->Parent() || !item) return;
        const auto& images = ToolbarImages();
        if (!item->Memo.empty()) images[tiMemo].paint(p, QRect(r.left(), r.top(), kMarkWidth, kMarkWidth));
        if (!item->Link.empty()) images[tiLink].paint(p, QRect(r.left() + kMarkWidth, r.top(), kMarkWidth, kMarkWidth));
        return;
    }
    const int i = index - (kFirstDaySection - 1); // sub-item texts start at section 1
    if (i >= kChartDays) return;
    defaultDraw = false;
    const TDate d = mChart.ChartDate() + i;
    int value = kCellNothing;
    if (!node->Parent() || !item)
        defaultDraw = true; // the root has no block
    else if (!(node->Expanded() && node->HasChildren()))
        value = item->GetDayCell(i);
    QColor fill, frame;
    if (value >= 0 && value <= 6) {
        fill = CellFill(value);
        frame = CellFrame(value);
    } else {
        if (!TreeList1->DropTarget() && node == TreeList1->Selected() && TreeList1->currentIndex().isValid()) {
            defaultDraw = true;
            return;
        }
        const int level = mChart.DayLevel(i);
        fill = level == dlHoliday       ? QColor(255, 153, 153)
               : level == dlHalfHoliday ? QColor(255, 204, 204)
               : DayOfWeek(d) % 2 == 0  ? QColor(Qt::white)
                                        : QColor(238, 238, 238);
        frame = fill;
    }
    // The frame as a filled rectangle under the fill: the same pixels as an outline, without
    // changing the painter's state thousands of times a paint.
    if (frame == fill) {
        p->fillRect(r, fill);
    } else {
        p->fillRect(r, frame);
        p->fillRect(r.adjusted(1, 1, -1, -1), fill);
    }
    static const int kMark[] = {cmNone, cmNone, cmNone, cmInProgress, cmCaution, cmWarning, cmWarning};
    if (d == mToday && value >= 0 && value <= 6 && kMark[value])
        ChartMarks()[size_t(kMark[value])].paint(
            p, QRect((r.left() + r.right() + 1) / 2 - 8, (r.top() + r.bottom() + 1) / 2 - 8, 16, 16));
}

void TFormMain::ShowHint(const std::string& hint, QWidget* tipOwner) {
    const auto [tip, status] = SplitHint(hint);
    tipOwner->setToolTip(QString::fromStdString(tip));
    StatusPanel0->setText(QString::fromStdString(status));
}

void TFormMain::HeaderMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y) {
    mHeaderSection = ExHeader1->GetSectionAt(x, y);
    const TDate d = DateOfSection(mHeaderSection);
    if (buttons == Qt::NoButton && !(modifiers & Qt::ShiftModifier) && d != 0) {
        const std::string date = DateText(d);
        ShowHint(RelativeDayText(d, mToday) + " - " + date + "|ヘッダを左クリックすると、" + date +
                     "の予定を表示します。右クリックで休日の設定を行えます。",
                 ExHeader1);
        ExHeader1->setCursor(Qt::PointingHandCursor);
    } else if (buttons == Qt::NoButton) {
        ExHeader1->setToolTip({});
        ExHeader1->unsetCursor();
    }
}

void TFormMain::HeaderMouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton || !ScheduleOpen()) return;
    unsigned hit = 0;
    const TDate d = DateOfSection(ExHeader1->GetSectionAt(x, y, &hit));
    if (d == 0 || (hit & (ehOnDivider | ehOnDivOpen))) return; // a press on a divider resizes
    SetSelectedDate(d);
    Run([this, d] { ShowDaySchedule(d); });
}

void TFormMain::UpdateHeaderPopup() {
    const TDate d = DateOfSection(mHeaderSection);
    static const char* const kSuffix[kDayLevels] = {"を平日に設定", "を半休に設定", "を休日に設定"};
    const int level = d != 0 ? mCalendar.LevelOfDate(d) : -1;
    for (int k = 0; k < kDayLevels; ++k) {
        QAction* a = HeaderPopupItems[k];
        a->setEnabled(d != 0);
        a->setChecked(d != 0 && k == level);
        a->setText(d != 0 ? QString::fromStdString(DateText(d) + kSuffix[k]) : QString());
    }
}

void TFormMain::HeaderPopupChoose(int level) {
    const TDate d = DateOfSection(mHeaderSection);
    if (d == 0 || mCalendar.LevelOfDate(d) == level) return;
    mCalendar.SetLevelOfDate(d, level);
    ChartChanged();
}

void TFormMain::TreeMouseMove(int x, int y) {
    TTreeNode* node = TreeList1->GetNodeAt(x, y);
    TExSection* s = ExHeader1->GetSectionAt(x, 1);
    TSchItem* item = node && node->Parent() ? node->Data() : nullptr;
    std::string hint;
    if (item && s && s->Index() == kInfoSection) {
        const int offset = x + TreeList1->horizontalScrollBar()->value() - s->Left();
        if (offset < kMarkWidth && !item->Memo.empty())
            hint = "メモの編集|" + MemoLine(item->Memo);
        else if (offset >= kMarkWidth && offset < 2 * kMarkWidth && !item->Link.empty())
            hint = "リンクを開く|" + Cp932ToUtf8(item->Link);
    }
    if (hint.empty()) {
        TreeList1->setToolTip({});
        TreeList1->viewport()->unsetCursor();
        return;
    }
    ShowHint(hint, TreeList1);
    TreeList1->viewport()->setCursor(Qt::PointingHandCursor);
}

void TFormMain::TreeMouseDown(int x, int) {
    // Memo and link clicks open the property dialog and the link once those commands exist.
    if (const TDate d = DateOfSection(ExHeader1->GetSectionAt(x, 1)); d != 0 && d != mSelectedDate) SetSelectedDate(d);
}

void TFormMain::TreeClick() {
    TTreeNode* node = TreeList1->Selected();
    if (!node || !node->Parent() || !node->Data()) return;
    StatusPanel0->setText(QString::fromStdString(MemoLine(node->Data()->Memo)));
}

} // namespace quillo

// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/MainReminders.h"

#include "desktop/Reminders.h"
#include "main/Images.h"
#include "main/MainCommands.h"
#include "model/Calendar.h"
#include "model/Document.h"
#include "settings/NotifySettings.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace quillo {

namespace {
const TCommandRow kRows[] = {
    {"ActionNotifyOn", "通知を表示する(&N)",
     "通知を表示する|終了予定日の近い予定と遅れている予定を、デスクトップの通知でお知らせします。", tiNoImage},
    {"ActionNotifyCaution", "注意の予定を含める(&C)", "注意の予定を含める|終了予定日の近い予定（注意）も通知します。",
     tiNoImage},
    {"ActionNotifyWarning", "警告の予定を含める(&W)", "警告の予定を含める|終了予定日を過ぎた予定（警告）も通知します。",
     tiNoImage},
};

void SetChecked(QAction* action, bool on) {
    if (action->isChecked() != on) action->setChecked(on);
}
} // namespace

TMainReminders::TMainReminders(const TMainContext& context, const std::string& settingsFile, THooks hooks,
                               TDesktopNotifier* notifier)
    : mContext(context), mHooks(std::move(hooks)), mStore(&context.Desktop),
      mReminders(std::make_unique<TReminders>(context.Document.Nodes(), context.Calendar, context.Clock, context.Today,
                                              notifier)) {
    AddNotifySettingsItems(mStore.RegItems);
    mStore.IniFileName = settingsFile;
    TNodesIF& nodes = context.Document.Nodes();
    nodes.AddObserver(&mReminders->Observer());
    nodes.AddObserver(this);

    TDesktopNotifier& bus = mReminders->Notifier();
    // Queued: the day window's own event loop must not run inside the bus's signal.
    QObject::connect(
        &bus, &TDesktopNotifier::TodayRequested, mReminders.get(), [this] { OpenToday(); }, Qt::QueuedConnection);
    QObject::connect(
        &bus, &TDesktopNotifier::WindowRequested, mReminders.get(), [this] { mHooks.BringForward(); },
        Qt::QueuedConnection);
    QObject::connect(
        &bus, &TDesktopNotifier::Fallback, mReminders.get(),
        [this](const QString& summary, const QString& body, bool critical) { Fallback(summary, body, critical); });

    TMainCommands& c = context.Commands;
    c.Add(kRows);
    for (const TCommandRow& row : kRows)
        c.Find(row.Name)->setCheckable(true);
    auto on = [this] { return mReminders->Options().Enabled; };
    c.Bind("ActionNotifyOn", [this] { Toggle(&TReminderOptions::Enabled); });
    c.Bind(
        "ActionNotifyCaution", [this] { Toggle(&TReminderOptions::Caution); }, on);
    c.Bind(
        "ActionNotifyWarning", [this] { Toggle(&TReminderOptions::Warning); }, on);
    c.AddLook([this] {
        const TReminderOptions& o = mReminders->Options();
        TMainCommands& commands = mContext.Commands;
        SetChecked(commands.Find("ActionNotifyOn"), o.Enabled);
        SetChecked(commands.Find("ActionNotifyCaution"), o.Caution);
        SetChecked(commands.Find("ActionNotifyWarning"), o.Warning);
        Follow();
    });
}

TMainReminders::~TMainReminders() {
    TNodesIF& nodes = mContext.Document.Nodes();
    nodes.RemoveObserver(this);
    nodes.RemoveObserver(&mReminders->Observer());
}

void TMainReminders::LoadSettings() {
    if (!mStore.IniFileName.empty()) mReminders->SetOptions(LoadNotifySettings(mStore));
}

void TMainReminders::SaveSettings() {
    if (!mStore.IniFileName.empty()) SaveNotifySettings(mStore, mReminders->Options());
}

void TMainReminders::StartUp() {
    mStarted = true;
    mReplaced = mTouched = false;
    mCalendarKey = CalendarKey();
    mReminders->Opened(true);
}

void TMainReminders::Tick() {
    if (mStarted) mReminders->Tick();
}

void TMainReminders::NodeChanged(TTreeNode*, unsigned what) {
    // Opening or closing a folder changes no state.
    if (what & ~unsigned(ncExpanded)) mTouched = true;
}

// The holidays, the days counted and the caution lead: the states follow them.
TMainReminders::TCalendarKey TMainReminders::CalendarKey() const {
    const TCalendar& c = mContext.Calendar;
    TCalendarKey key{int(c.Revision()), c.HolidayLv, c.AlertCount};
    for (int day = 0; day < 7; ++day)
        key[size_t(3 + day)] = c.WeekdayLevel(day);
    return key;
}

// Run with the idle update, which also follows every command: an edit, an undo, a paste or a
// holiday change is told at once, a schedule the user opened is taken as seen.
void TMainReminders::Follow() {
    if (!mStarted) return;
    const TCalendarKey key = CalendarKey();
    if (mReplaced) {
        mReplaced = mTouched = false;
        mCalendarKey = key;
        mReminders->Opened(false);
    } else if (mTouched || key != mCalendarKey) {
        mTouched = false;
        mCalendarKey = key;
        mReminders->Changed();
    }
}

void TMainReminders::Toggle(bool TReminderOptions::*option) {
    TReminderOptions options = mReminders->Options();
    options.*option = !(options.*option);
    mReminders->SetOptions(options);
    SaveSettings();
}

void TMainReminders::Fallback(const QString& summary, const QString& body, bool critical) {
    if (mHooks.Balloon(summary, body, critical)) return;
    QStringList lines = body.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    mContext.Hint(summary + QStringLiteral("：") + lines.join(QStringLiteral("、")));
}

void TMainReminders::OpenToday() {
    if (!mContext.Document.IsOpen()) return;
    if (QDialog* day = mHooks.DayWindow()) {
        day->raise();
        day->activateWindow();
        return;
    }
    if (QApplication::activeModalWidget()) return; // a dialog is in use: not another one over it
    mHooks.ShowDay(mReminders->Day());
}

} // namespace quillo

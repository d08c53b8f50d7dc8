// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: a frame around the open document that composes parts with one job each.
//   TMainCommands   the command table, menus, tool bar and the idle update (MainCommands)
//   TItemCommands   editing the tree: new, delete, done, moves, shifts, properties, undo (ItemCommands)
//   TTreeGestures   the tree's mouse, renaming in place, dragging, its context menu (TreeGestures)
//   TChartView      the header, the day columns and their painting, moving through days (ChartView)
//   TItemTransfer   clipboard, export, import, iCalendar, dropped files (ItemTransfer)
//   TMainShell      shortcuts, the file association, help and the about box (MainShell)
//   TMainTray       the notification area (MainTray)
//   TMainReminders  desktop notices of to-dos in caution or warning, the 通知 menu (MainReminders)
//   TFindBar        find and filter over the tree (FindBar)
//   TWindowSettings the settings and holidays files, the window's place (WindowSettings)
// The frame owns the document, its editor and file commands, the views, and the order of start-up
// and shutdown; the parts meet only through those and the command table.
#include "base/Date.h"
#include "edit/Editor.h"
#include "edit/FileCommands.h"
#include "main/MainContext.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/Document.h"
#include "model/EvalContext.h"
#include "model/NodeWatch.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QRect;
class QToolBar;

namespace quillo {

class IDesktop;
class TChartView;
class TClock;
class TExHeader;
class TFindBar;
class TItemCommands;
class TItemTransfer;
class TMainCommands;
class TMainReminders;
class TMainShell;
class TMainTray;
class TStatusPanel;
class TTreeGestures;
class TTreeList;
class TWindowSettings;
struct TMainSettings;

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // `settingsFile` is the INI file of the settings (may be empty in tests).
    TFormMain(IDesktop& desktop, const TClock& clock, const std::string& settingsFile, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Start-up after construction: settings, the chart, the command line (without the program
    // name), then the schedule to show.
    void FormCreate(const std::vector<std::string>& args);
    void ShowAtStart(); // the first showing: on screen, minimized, or only in the tray

    // The document with its editor and file commands, the views and the command table.
    const TMainContext& Shared() const { return *mContext; }
    // The parts the frame alone can show working with others: the table, the tree's context menu
    // over it, the tray with the day window, the find bar with the tray's Esc.
    TMainCommands& Commands() { return *mCommands; }
    TTreeGestures& Gestures() { return *mGestures; }
    TMainTray& Tray() { return *mTray; }
    TFindBar& Find() { return *mFind; }

    // The visible surface.
    TExHeader* Header() const { return ExHeader1; }
    TTreeList* TreeList() const { return TreeList1; }
    QLabel* StatusPanel(int index) const;
    QAction* FindAction(const char* name) const; // by command name, e.g. "ActionFileSave"
    void Execute(const char* command);           // as its menu entry would run it, if enabled
    void Run(const std::function<void()>& command);
    void UpdateActions(); // the enabling rules, run when the event loop goes idle
    void SetEditingShortcuts();
    void ClearEditingShortcuts();
    void SetModified(bool value) { mFiles.SetModified(value); }
    void Timer2Timer();

    // What the day window uses.
    TDate SelectedDate() const;
    void SetSelectedDate(TDate date);
    TTreeNode* SelectedNode() const { return mContext->SelectedNode(); }
    TSchItem* SelectedItem() const { return mContext->SelectedItem(); }
    void SelectNode(TTreeNode* node); // selects and reveals it
    TTreeNode* NewToDo(TTreeNode* at, const std::string& name, TDate date, bool dialog);
    void OpenItemProperty(int focus);
    void AddDroppedFiles(const std::vector<std::string>& paths, TDate date);
    const TMainSettings& Settings() const;
    void StoreDayWindowPlace(const QRect& geometry);
    void ShowDaySchedule(TDate date);
    bool InTaskTray() const;
    void OutFromTaskTray();

signals:
    void Closed(); // the close was granted and the settings are saved

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BuildViews();
    void BuildParts(const std::string& settingsFile);
    void BuildFrameCommands();
    bool FormCloseQuery();
    void FormClose();
    void FormResize();
    void ShowTitle(); // the caption, the task bar's and the tray's, from the document's title
    void UpdateEscape();

    IDesktop& mDesktop;
    const TClock& mClock;
    const TDate mToday;
    TCalendar mCalendar;
    TChart mChart{mCalendar};
    TEvalContext mCtx;
    TDocument mDocument;
    TFileCommands mFiles;
    TScheduleEditor mEditor{mDocument, mCtx};
    TNodeWatch mWatch{mDocument.Nodes()};

    TExHeader* ExHeader1 = nullptr;
    TTreeList* TreeList1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    TStatusPanel* StatusPanel0 = nullptr; // hints
    TStatusPanel* StatusPanel1 = nullptr; // document status
    QTimer Timer2;                        // the minute timer
    QPointer<QDialog> mDayWindow;

    TMainCommands* mCommands = nullptr; // a child of the window, like its actions
    std::unique_ptr<TMainContext> mContext;
    std::unique_ptr<TWindowSettings> mSettings;
    std::unique_ptr<TChartView> mChartView;
    std::unique_ptr<TItemCommands> mItems;
    std::unique_ptr<TTreeGestures> mGestures;
    std::unique_ptr<TItemTransfer> mTransfer;
    std::unique_ptr<TMainShell> mShell;
    std::unique_ptr<TMainTray> mTray;
    std::unique_ptr<TMainReminders> mReminders;
    std::unique_ptr<TFindBar> mFind;
};

} // namespace quillo

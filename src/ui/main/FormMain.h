// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/Date.h"
#include "edit/Editor.h"
#include "edit/FileCommands.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/Document.h"
#include "model/EvalContext.h"
#include "model/NodeWatch.h"
#include "settings/RegManager.h"
#include "settings/Settings.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QPainter;
class QRect;
class QLabel;
class QToolBar;

namespace quillo {

class IDesktop;
class TClock;
class TExHeader;
class TExSection;
class TStatusPanel;
class TTreeList;
class TTrayIcon;
class TFormDaySchedule;
class TNodesIF;
class TSchItem;
class TTreeNode;

// Sets an action's caption, hint ("short|long") and tool bar picture, each only when it changes.
void SetLook(QAction* action, const char* caption, const char* hint, int image);

// The main window: header above the tree list, a tool bar, a two-panel status bar. It shows the
// one open document and turns the user's gestures into commands on it.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // `settingsFile` is the INI file of the settings store (may be empty in tests).
    TFormMain(IDesktop& desktop, const TClock& clock, const std::string& settingsFile, QWidget* parent = nullptr);
    ~TFormMain() override;

    // What tests and benchmarks reach: the visible parts and the state behind them.
    TExHeader* Header() const { return ExHeader1; }
    TTreeList* TreeList() const { return TreeList1; }
    QLabel* StatusPanel(int index) const;
    QAction* FindAction(const char* name) const; // by command name, e.g. "ActionFileSave"
    QAction* HeaderPopupItem(int level) const { return HeaderPopupItems[level]; }
    TDocument& Document() { return mDocument; }
    TFileCommands& Files() { return mFiles; }
    TScheduleEditor& Editor() { return mEditor; }
    TCalendar& Calendar() { return mCalendar; }
    const TChart& Chart() const { return mChart; }
    TDate Today() const { return mToday; }
    TDate SelectedDate() const { return mSelectedDate; }
    void SetSelectedDate(TDate date);
    TTreeNode* SelectedNode() const; // the selected node, or none
    TSchItem* SelectedItem() const;  // its item; none for the root or no selection
    // Adds a file's items below the selection (the shell's dropped files use it too); returns the
    // node that received them, or none after a bad line.
    TTreeNode* ImportFile(const std::string& path);
    // Files dropped from the file manager on the tree (with Today) or the day window (its day).
    void AddDroppedFiles(const std::vector<std::string>& paths, TDate date);
    // The property dialog on the selected item: 1 focuses the name, 2 the memo.
    void OpenItemProperty(int focus);
    // Editing routines other commands share.
    TTreeNode* NewFolder(TTreeNode* at, const std::string& name, bool rename);
    TTreeNode* NewToDo(TTreeNode* at, const std::string& name, TDate date, bool dialog);
    void SetDone(TTreeNode* node, bool done);
    void SetEditingShortcuts();
    // What the day window uses.
    const TEvalContext& Context() const { return mCtx; }
    IDesktop& Desktop() { return mDesktop; }
    void SelectNode(TTreeNode* node);  // selects and reveals it
    void Execute(const char* command); // a command as its menu entry would run it, if enabled
    void ShowDaySchedule(TDate date);
    void StoreDayWindowPlace(const QRect& geometry);
    void ClearEditingShortcuts();
    QMenu* TreePopup() const { return TreePopupMenu; }
    // The tray (FormMainTray.cpp).
    TTrayIcon* TrayIcon() const { return TrayIcon1; }
    QMenu* TrayPopup() const { return TrayMenu; }
    bool InTaskTray() const;
    void OutFromTaskTray();
    void ShowAtStart();                        // the first showing: on screen, minimized, or only in the tray
    static int ImageOf(const QAction* action); // the tool bar picture a command shows

    // Document state, kept under the names the rest of the window uses.
    TNodesIF& Nodes() { return mDocument.Nodes(); }
    bool ScheduleOpen() const { return mDocument.IsOpen(); }
    void SetModified(bool value) { mFiles.SetModified(value); }

    void Timer2Timer();
    void UpdateActions(); // the enabling rules, run when the event loop goes idle
    // Runs a command; what it throws is shown in an error box.
    void Run(const std::function<void()>& command);
    // Start-up after construction: settings, the chart, the command line (without the program
    // name), then the schedule to show.
    void FormCreate(const std::vector<std::string>& args);
    const TMainSettings& Settings() const { return mSettings; }

    // The chart.
    static constexpr int kFirstDaySection = 4;
    static constexpr int kInfoSection = 3;
    bool ChartMode() const { return mChart.ChartMode; }
    TDate DateOfSection(const TExSection* section) const; // 0 for a text section
    void UpdateHeaderPopup();                             // as the popup opens over mHeaderSection
    void HeaderPopupChoose(int level);

signals:
    void Closed(); // the close was granted and the settings are saved

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct TCommand;
    class TRefreshAfter;
    static const TCommand kCommands[];

    // Commands (FormMainCommands.cpp).
    void BuildCommands();
    void BuildMenus();
    bool CanSave() const;
    bool HasSchedule() const { return ScheduleOpen(); }
    void ActionFileNewExecute() { mFiles.FileNew(); }
    void ActionFileOpenExecute() { mFiles.FileOpen(); }
    void ActionFileSaveExecute() { mFiles.FileSave(); }
    void ActionFileSaveAsExecute() { mFiles.FileSaveAs(); }
    void ActionFileCloseExecute() { mFiles.FileClose(); }
    void ActionFileExitExecute();
    void ActionAutoSaveChkExecute() { mFiles.AutoSaveToggle(); }
    void ActionShowChartExecute();
    void ActionChartNextExecute() { MoveChart(7); }
    void ActionChartPrevExecute() { MoveChart(-7); }
    void ActionChartNext1Execute() { MoveChart(1); }
    void ActionChartPrev1Execute() { MoveChart(-1); }
    bool FormCloseQuery();
    void ActionItemPropertyExecute() { OpenItemProperty(1); }
    bool HasSelectedItem() const;

    // Editing commands (FormMainEdit.cpp).
    void BuildEditing();
    bool CanUndo() const { return mEditor.CanUndo(); }
    bool CanRedo() const { return mEditor.CanRedo(); }
    bool SelectedIsToDo() const;
    bool HasPrevSibling() const;
    bool HasNextSibling() const;
    bool HasBegin() const;
    bool HasEnd() const;
    bool HasBeginOrEnd() const;
    bool HasLink() const;
    void ActionEditUndoExecute();
    void ActionEditRedoExecute();
    void ActionItemToDoNewExecute();
    void ActionItemFolderNewExecute();
    void ActionItemDeleteExecute();
    void ActionItemDeleteNoWarningExecute();
    void ActionItemChkReverseExecute();
    void ActionItemUpExecute();
    void ActionItemDownExecute();
    void ActionToDoToFolderExecute();
    void ActionDateBeginPExecute() { ShiftSelected(1, 0); }
    void ActionDateBeginMExecute() { ShiftSelected(-1, 0); }
    void ActionDatePExecute() { ShiftSelected(1, 1); }
    void ActionDateMExecute() { ShiftSelected(-1, -1); }
    void ActionDateEndPExecute() { ShiftSelected(0, 1); }
    void ActionDateEndMExecute() { ShiftSelected(0, -1); }
    void ActionOpenLinkExecute();
    // Transfer commands (FormMainTransfer.cpp).
    void ActionItemCopyExecute();
    void ActionItemPasteExecute();
    void ActionFileExportExecute();
    void ActionFileImportExecute();
    void ActionFileExportICalExecute();
    void ActionSetHolidaysExecute();
    void ActionShowTodayScheduleExecute();
    void ActionHelpExecute();
    void ActionVerDlgExecute();
    void ActionIntoTaskTrayExecute();
    // Shortcuts and the file association (FormMainItems.cpp).
    bool HasFileName() const { return !mDocument.FileName.empty(); }
    void ActionSetDesktopExecute();
    void ActionSetStartMenuExecute();
    void ActionCutStartMenuExecute();
    void ActionSetStartUpExecute();
    void ActionCutStartUpExecute();
    void ActionSetRegExecute();
    void ActionCutRegExecute();
    void ActionOutFromTaskTrayExecute() { OutFromTaskTray(); }
    void BuildTray();
    void UpdateTrayMenu();
    void TrayIconClick();
    void TrayNewToDoExecute();
    void TrayShowTodayExecute();
    void SetEscapeToTray(bool on);
    void ShiftSelected(int beginDays, int endDays);
    void Edited(); // a command changed the schedule: modified, commands updated
    void ShowUndone(TTreeNode* node);
    void UpdateEditingLooks();
    void TreeEditMouseDown(Qt::MouseButton button, int x, int y);
    void TreeEditMouseUp(int x, int y);
    void TreeDragOver(int x, int y, bool& accept);
    void TreeDragDrop(int x, int y);
    void TreeEndDrag();
    void Timer1Timer();
    void LabelEdited(TTreeNode* node, std::string& text);
    void UpdateTreePopup();

    // The chart (FormMainChart.cpp).
    void BuildHeader();
    void BuildChart();
    void SetChartDate(TDate first);
    void MoveChart(int days);
    void ApplyDisplayOrder();
    void ChartChanged(); // the calendar or the first day changed: refresh and repaint
    void DrawDaySection(QPainter* painter, TExSection* section, const QRect& rect);
    void DrawSubItem(QPainter* painter, TTreeNode* node, int index, QRect rect, bool& defaultDraw);
    void HeaderMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void HeaderMouseDown(Qt::MouseButton button, int x, int y);
    void TreeMouseMove(int x, int y);
    void TreeMouseDown(int x, int y);
    void TreeClick();
    void ShowHint(const std::string& hint, QWidget* tipOwner); // "short|long": tooltip and panel 0

    // Start-up and shutdown (FormMainSettings.cpp).
    void LoadSettings();
    void SaveSettings();
    void FormClose();
    void ApplyPlacement();
    std::string HolidaysFile() const;

    void FormResize();
    void ShowTitle();

    IDesktop& mDesktop;
    const TClock& mClock;
    const TDate mToday;
    TDate mSelectedDate;
    TCalendar mCalendar;
    TChart mChart{mCalendar};
    TEvalContext mCtx;
    TDocument mDocument;
    TFileCommands mFiles;
    TScheduleEditor mEditor{mDocument, mCtx};

    TExHeader* ExHeader1 = nullptr;
    TTreeList* TreeList1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    TStatusPanel* StatusPanel0 = nullptr; // hints
    TStatusPanel* StatusPanel1 = nullptr; // document status
    QTimer Timer2;                        // the minute timer
    TRegManager RegManager1;
    TMainSettings mSettings;
    bool mHolidaysRead = true;
    QMenu* HeaderPopup = nullptr; // the holiday popup of the day header
    QAction* HeaderPopupItems[kDayLevels] = {};
    TExSection* mHeaderSection = nullptr;
    QTimer Timer1; // auto-scroll while a drag is near an edge
    class TDropDst* DropDst1 = nullptr;
    QMenu* TreePopupMenu = nullptr;
    QAction* TreePopupModes[3] = {};
    TNodeWatch mWatch{mDocument.Nodes()};
    THeldNode DragSourceNode{mWatch};
    THeldNode CheckClickNode{mWatch};
    int ScrollDirection = 0; // 0 up, 1 down
    bool EditingLabel = false;

    QAction* ActionFileNew = nullptr;
    QAction* ActionFileOpen = nullptr;
    QAction* ActionFileExport = nullptr;
    QAction* ActionFileImport = nullptr;
    QAction* ActionFileExportICal = nullptr;
    QAction* ActionSetHolidays = nullptr;
    QAction* ActionHelp = nullptr;
    QAction* ActionVerDlg = nullptr;
    QAction* ActionFileSave = nullptr;
    QAction* ActionFileSaveAs = nullptr;
    QAction* ActionFileClose = nullptr;
    QAction* ActionFileExit = nullptr;
    QAction* ActionAutoSaveChk = nullptr;
    QAction* ActionShowChart = nullptr;
    QAction* ActionChartNext = nullptr;
    QAction* ActionChartPrev = nullptr;
    QAction* ActionChartNext1 = nullptr;
    QAction* ActionChartPrev1 = nullptr;
    QAction* ActionItemProperty = nullptr;
    QAction* ActionEditUndo = nullptr;
    QAction* ActionEditRedo = nullptr;
    QAction* ActionItemToDoNew = nullptr;
    QAction* ActionItemFolderNew = nullptr;
    QAction* ActionItemDelete = nullptr;
    QAction* ActionItemDeleteNoWarning = nullptr;
    QAction* ActionItemChkReverse = nullptr;
    QAction* ActionItemUp = nullptr;
    QAction* ActionItemDown = nullptr;
    QAction* ActionToDoToFolder = nullptr;
    QAction* ActionDateBeginP = nullptr;
    QAction* ActionDateBeginM = nullptr;
    QAction* ActionDateP = nullptr;
    QAction* ActionDateM = nullptr;
    QAction* ActionDateEndP = nullptr;
    QAction* ActionDateEndM = nullptr;
    QAction* ActionItemCopy = nullptr;
    QAction* ActionItemPaste = nullptr;
    QAction* ActionOpenLink = nullptr;
    QAction* ActionShowTodaySchedule = nullptr;
    QAction* ActionIntoTaskTray = nullptr;
    QAction* ActionOutFromTaskTray = nullptr;
    QAction* ActionSetDesktop = nullptr;
    QAction* ActionSetStartMenu = nullptr;
    QAction* ActionCutStartMenu = nullptr;
    QAction* ActionSetStartUp = nullptr;
    QAction* ActionCutStartUp = nullptr;
    QAction* ActionSetReg = nullptr;
    QAction* ActionCutReg = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;
    QMenu* TrayMenu = nullptr;
    QAction* TrayNewToDo = nullptr;
    QAction* TrayShowToday = nullptr;
    QAction* TrayExit = nullptr;
    QPointer<QDialog> mDayWindow;
};

} // namespace quillo

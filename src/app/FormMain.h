#pragma once
#include "app/RegManager.h"
#include "base/Date.h"
#include "model/EvalContext.h"
#include "views/Calendar.h"

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <string>

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
class TTreeList;
class TNodesIF;
class TTreeNode;

// The main window: header above the tree list, a tool bar, a two-panel status bar, and the one
// open schedule with its document state.
class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // `settingsFile` is the INI file of the settings store (may be empty in tests).
    TFormMain(IDesktop& desktop, const TClock& clock, const std::string& settingsFile, QWidget* parent = nullptr);
    ~TFormMain() override;

    // Components.
    TExHeader* ExHeader1 = nullptr;
    TTreeList* TreeList1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QLabel* StatusPanel0 = nullptr; // hints
    QLabel* StatusPanel1 = nullptr; // document status
    QTimer Timer2;                  // the minute timer
    TRegManager RegManager1;

    // Commands.
    QAction* ActionFileNew = nullptr;
    QAction* ActionFileOpen = nullptr;
    QAction* ActionFileExport = nullptr;
    QAction* ActionFileImport = nullptr;
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
    QMenu* HeaderPopup = nullptr; // the holiday popup of the day header
    QAction* HeaderPopupItems[3] = {nullptr, nullptr, nullptr};

    // Document state.
    std::string FileName; // UTF-8 path
    std::string Title;
    bool Modified = false;
    bool AutoSave = false;
    int AutoSaveTicks = 0;
    bool Loading = false;
    TDate SavedAt = 0;
    bool DateChangeWatch = true;

    // Evaluation state.
    TDate Today = 0;
    TCalendar Calendar;
    TEvalContext Ctx;
    TDate SelectedDate = 0;

    TNodesIF& Nodes() const;
    bool ScheduleOpen() const;
    void SetTitle(const std::string& title);
    void SetStatusText(const std::string& text);
    void SetModified(bool value);
    void NewSchedule();
    void CloseSchedule();
    void DeleteNodeTree(TTreeNode* node);
    bool OpenSchedule();
    void WriteSchedule();

    // The commands' handlers; they throw, and Run shows what they throw in an error box.
    void ActionFileNewExecute();
    void ActionFileOpenExecute();
    void ActionFileSaveExecute();
    void ActionFileSaveAsExecute();
    void ActionFileCloseExecute();
    void ActionAutoSaveChkExecute();
    void Timer2Timer();
    bool FormCloseQuery();
    void UpdateActions(); // the enabling rules, run when the event loop goes idle
    void Run(const std::function<void()>& command);

    // Start-up until the settings issue lands: open the named file, or start a new schedule.
    void StartWith(const std::string& path);

    static int ImageOf(const QAction* action);

    // The chart.
    static constexpr int kFirstDaySection = 4;
    bool ChartMode() const { return ImageOf(ActionShowChart) == 26; }
    void SetChartDate(TDate first);
    void ActionShowChartExecute();
    void MoveChart(int days);
    TDate DateOfSection(const TExSection* section) const; // 0 for a text section
    void UpdateHeaderPopup();                             // as the popup opens over mHeaderSection
    void HeaderPopupChoose(int tag);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    QAction* MakeAction(const char* name, const char* caption, const char* hint, const QKeySequence& shortcut,
                        int image, void (TFormMain::*handler)());
    static void SetHint(QAction* action, const std::string& hint);
    static void SetImage(QAction* action, int image);
    void BuildHeader();
    void BuildChart();
    void ApplyDisplayOrder();
    void DrawDaySection(QPainter* painter, TExSection* section, const QRect& rect);
    void DrawSubItem(QPainter* painter, TTreeNode* node, int index, QRect rect, bool& defaultDraw);
    void HeaderMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void HeaderMouseDown(Qt::MouseButton button, int x, int y);
    void TreeMouseMove(int x, int y);
    void TreeMouseDown(int x, int y);
    void TreeClick();
    TExSection* mHeaderSection = nullptr;
    void BuildMenus();
    void FormResize();
    bool SaveQuestion(bool forOpen);
    void OpenNamed(const std::string& path); // a failure leaves no schedule open
    // WriteSchedule with the status text of success or failure; a failure marks the schedule
    // modified and propagates.
    void WriteWithStatus(const char* done, const char* failed);
    std::string NowText() const;

    IDesktop& mDesktop;
    const TClock& mClock;
};

} // namespace quillo

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The item property dialog: name, memo and link of any item, and for a to-do its dates, check
// and holiday mode. It edits copies in its controls; only ApplyItem writes to the item.
#include "base/Date.h"

#include <QDialog>
#include <string>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace quillo {

class IDesktop;
class TDropDst;
class TFolderDialog;
class TSchItem;

enum TPropFocus { pfDefault = 0, pfName = 1, pfMemo = 2 };

class TFormProperty : public QDialog {
    Q_OBJECT
public:
    TFormProperty(IDesktop& desktop, TDate today, QWidget* parent = nullptr);
    ~TFormProperty() override;

    void LoadItem(const TSchItem& item);
    // Texts become cp932 here; a name longer than an item may hold is cut as a rename cuts it.
    void ApplyItem(TSchItem& item) const;

    int PropFocus = pfDefault;
    int PropX = -1, PropY = -1; // in: where to show (both > -1); out: where it was closed

    // The controls, for tests.
    QLineEdit* NameEdit;
    QPlainTextEdit* MemoEdit;
    QLineEdit* LinkEdit;
    QTabWidget* Pages;
    QWidget* MemoPage;
    QWidget* DatePage;
    QCheckBox* NoBegin;
    QCheckBox* NoEnd;
    QCalendarWidget* BeginCalendar;
    QCalendarWidget* EndCalendar;
    QLabel* BeginLabel;
    QLabel* EndLabel;
    QCheckBox* DoneCheck;
    QComboBox* HolidayMode;
    // The recurrence: a unit (or none), a count, and whether it counts from the day it is checked.
    // A rule the program does not understand gets an entry of its own and is kept while chosen.
    enum TRepeatKind { rkNone, rkDay, rkWeek, rkMonth, rkYear, rkWorkday, rkUnknown };
    QGroupBox* RepeatGroup;
    QComboBox* RepeatKind;
    QSpinBox* RepeatCount;
    QCheckBox* RepeatFromDone;
    QLabel* RepeatLabel;
    std::string RepeatText() const; // the rule the controls make, as an item holds it
    QGroupBox* LinkGroup;
    QLabel* DropArea;
    // Beside each text: what was replaced or left out because cp932 cannot hold it.
    QLabel* NameHint;
    QLabel* MemoHint; // also when the memo reached its length
    QLabel* LinkHint;
    QPushButton* OpenButton;
    QPushButton* ShortcutButton;
    QPushButton* FileButton;
    QPushButton* FolderButton;
    QPushButton* ClearButton;
    QPushButton* OkButton;
    QPushButton* CancelButton;
    TDropDst* DropDst1;
    TFolderDialog* FolderDialog1;

    // Keeping begin <= end, and the labels.
    void NoBeginClick();
    void NoEndClick();
    void BeginChosen();
    void EndChosen();
    void DroppedFiles(const std::vector<std::string>& files);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void UpdateLabels();
    void UpdateCalendars();
    void SetLinkFrom(const std::string& path);
    void FilterMemo();
    void UpdateRepeat();

    IDesktop& mDesktop;
    TDate mToday;
    bool mFolder = false;
    std::string mLoadedRepeat; // kept as it was while its entry is chosen
};

} // namespace quillo

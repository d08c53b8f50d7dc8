// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/FormHolidays.h"

#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "base/SafeFile.h"
#include "model/Calendar.h"
#include "settings/Settings.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace quillo {

namespace {
QDate ToQDate(TDate d) {
    int y, m, day;
    DecodeDate(d, y, m, day);
    return QDate(y, m, day);
}
} // namespace

TFormHolidays::TFormHolidays(IDesktop& desktop, TCalendar& calendar, TDate today, QWidget* parent)
    : QDialog(parent), mDesktop(desktop), mCalendar(calendar), mToday(today) {
    setWindowTitle(QStringLiteral("休日と日数計算"));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    layout->addLayout(top);

    auto* weekGroup = new QGroupBox(QStringLiteral("曜日設定(&Y)"), this);
    auto* weekLayout = new QFormLayout(weekGroup);
    static const char* const kDays[] = {"日曜日", "月曜日", "火曜日", "水曜日", "木曜日", "金曜日", "土曜日"};
    for (int i = 0; i < 7; ++i) {
        Weekdays[i] = new QComboBox(weekGroup);
        Weekdays[i]->addItems({QStringLiteral("平日"), QStringLiteral("半休"), QStringLiteral("休日")});
        weekLayout->addRow(QString::fromUtf8(kDays[i]), Weekdays[i]);
    }
    top->addWidget(weekGroup);

    auto* dateGroup = new QGroupBox(QStringLiteral("日付設定(&D)"), this);
    auto* dateLayout = new QHBoxLayout(dateGroup);
    auto* left = new QVBoxLayout;
    Calendar = new QCalendarWidget(dateGroup);
    Calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    left->addWidget(Calendar);
    auto* buttons = new QHBoxLayout;
    AddButton = new QPushButton(QStringLiteral("追加"), dateGroup);
    DeleteButton = new QPushButton(QStringLiteral("削除"), dateGroup);
    ImportButton = new QPushButton(QStringLiteral("インポート(&I)..."), dateGroup);
    for (QPushButton* b : {AddButton, DeleteButton, ImportButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    left->addLayout(buttons);
    dateLayout->addLayout(left);
    Pages = new QTabWidget(dateGroup);
    static const char* const kPages[] = {"平日(&0)", "半休(&1)", "休日(&2)"};
    for (int level = 0; level < 3; ++level) {
        Lists[level] = new QListWidget(Pages);
        Lists[level]->setSortingEnabled(true);
        Pages->addTab(Lists[level], QString::fromUtf8(kPages[level]));
        connect(Lists[level], &QListWidget::itemSelectionChanged, this, &TFormHolidays::UpdateButtons);
        connect(Lists[level], &QListWidget::itemDoubleClicked, this, &TFormHolidays::DeleteDate);
    }
    dateLayout->addWidget(Pages);
    top->addWidget(dateGroup, 1);

    auto* lower = new QHBoxLayout;
    auto* countGroup = new QGroupBox(QStringLiteral("日数計算設定(&C)"), this);
    auto* countLayout = new QVBoxLayout(countGroup);
    CountGroup = new QButtonGroup(this);
    static const char* const kCounts[] = {"平日のみ(&P)", "平日と半休(&Q)", "すべての日付(&R)"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromUtf8(kCounts[i]), countGroup);
        CountGroup->addButton(radio, i);
        countLayout->addWidget(radio);
    }
    lower->addWidget(countGroup);
    auto* alertGroup = new QGroupBox(QStringLiteral("注意表示設定(&A)"), this);
    AlertList = new QComboBox(alertGroup);
    static const char* const kAlertDays[kMaxAlertCount + 1] = {
        "終了予定日",         "終了予定日の１日前", "終了予定日の２日前", "終了予定日の３日前",
        "終了予定日の４日前", "終了予定日の５日前", "終了予定日の６日前", "終了予定日の７日前"};
    for (const char* text : kAlertDays)
        AlertList->addItem(QString::fromUtf8(text));
    (new QVBoxLayout(alertGroup))->addWidget(AlertList);
    lower->addWidget(alertGroup, 1);
    layout->addLayout(lower);

    auto* box = new QDialogButtonBox(this);
    OkButton = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    CancelButton = box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    OkButton->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);

    connect(AddButton, &QPushButton::clicked, this, &TFormHolidays::AddDate);
    connect(DeleteButton, &QPushButton::clicked, this, &TFormHolidays::DeleteDate);
    connect(ImportButton, &QPushButton::clicked, this, &TFormHolidays::ImportDates);
    connect(Calendar, &QCalendarWidget::activated, this, &TFormHolidays::AddDate);
    connect(Pages, &QTabWidget::currentChanged, this, &TFormHolidays::UpdateButtons);
    new QShortcut(QKeySequence(Qt::Key_Insert), this, [this] { AddDate(); });
    new QShortcut(QKeySequence(Qt::Key_Delete), this, [this] { DeleteDate(); });
    Fill();
    setFixedSize(sizeHint());
}

void TFormHolidays::Fill() {
    for (int i = 0; i < 7; ++i)
        Weekdays[i]->setCurrentIndex(mCalendar.WeekdayLevel(i + 1));
    Calendar->setSelectedDate(ToQDate(mToday));
    CountGroup->button(std::clamp(mCalendar.HolidayLv, 0, 2))->setChecked(true);
    AlertList->setCurrentIndex(std::clamp(mCalendar.AlertCount, 0, kMaxAlertCount));
    const THolidayLists lists = HolidayListsOf(mCalendar);
    for (int level = 0; level < 3; ++level)
        for (const std::string& text : lists[static_cast<size_t>(level)])
            Lists[level]->addItem(QString::fromStdString(text));
    Pages->setCurrentIndex(2);
    UpdateButtons();
}

QListWidget* TFormHolidays::ShownList() const {
    return Lists[Pages->currentIndex()];
}

void TFormHolidays::UpdateButtons() {
    DeleteButton->setEnabled(!ShownList()->selectedItems().isEmpty());
}

void TFormHolidays::AddDate() {
    const QDate q = Calendar->selectedDate();
    TDate date;
    if (!TryEncodeDate(q.year(), q.month(), q.day(), date)) return;
    const QString text = QString::fromStdString(FormatDateWithDaySpace(date));
    if (ShownList()->findItems(text, Qt::MatchExactly).isEmpty()) ShownList()->addItem(text);
}

void TFormHolidays::DeleteDate() {
    for (QListWidgetItem* item : ShownList()->selectedItems())
        delete item;
    UpdateButtons();
}

void TFormHolidays::ImportDates() {
    const std::string path =
        mDesktop.FileDialog({"祝日のインポート", "iCalendar(*.ics)|*.ics|すべてのファイル(*.*)|*", "ics", "", false});
    if (path.empty()) return;
    std::string text, error;
    THolidayImport found;
    try {
        if (!ReadWholeFile(path, text, error)) throw EQuilloError("ファイルのオープン処理に失敗しました。");
        // A big file takes a while: the window goes on drawing, and the user may stop it.
        QProgressDialog progress(QStringLiteral("祝日を読み込んでいます..."), QStringLiteral("キャンセル"), 0, 1000,
                                 this);
        progress.setWindowTitle(windowTitle());
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        found = HolidayDatesOfICalendar(text, mToday, [&progress](size_t done, size_t total) {
            progress.setValue(static_cast<int>(done * 1000 / total));
            return !progress.wasCanceled();
        });
    } catch (const EQuilloError& e) {
        // A slot must not let an exception into the event loop: the box is shown here.
        mDesktop.Sound(sndError);
        mDesktop.MessageBox(path + "\r\n" + e.what(), mtError, mbOK);
        return;
    }
    if (found.Cancelled) return;
    QListWidget* list = ShownList();
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(list->count()));
    for (int row = 0; row < list->count(); ++row)
        texts.push_back(list->item(row)->text().toStdString());
    std::sort(texts.begin(), texts.end());
    const size_t added = MergeHolidayDates(texts, found.Dates);
    QStringList items;
    items.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& t : texts)
        items.push_back(QString::fromStdString(t));
    list->setSortingEnabled(false); // one fill instead of a sort per date
    list->clear();
    list->addItems(items);
    list->setSortingEnabled(true);
    UpdateButtons();
    std::string message = std::to_string(added) + "件の日付を追加しました。";
    if (found.Skipped)
        message += "\r\n一度に読み込めるのは" + std::to_string(kMaxImportedHolidays) + "件までのため、残りの" +
                   std::to_string(found.Skipped) + "件は追加していません。";
    if (found.Unexpanded)
        message += "\r\n繰り返しが多すぎるため、" + std::to_string(found.Unexpanded) +
                   "件の予定は一部の日付を追加していません。";
    mDesktop.Sound(sndInformation);
    mDesktop.MessageBox(message, found.Skipped || found.Unexpanded ? mtWarning : mtInformation, mbOK);
}

void TFormHolidays::Apply() {
    for (int i = 0; i < 7; ++i)
        mCalendar.SetWeekdayLevel(i + 1, Weekdays[i]->currentIndex());
    mCalendar.HolidayLv = CountGroup->checkedId();
    mCalendar.AlertCount = AlertList->currentIndex();
    THolidayLists lists;
    for (int level = 0; level < 3; ++level)
        for (int row = 0; row < Lists[level]->count(); ++row)
            lists[static_cast<size_t>(level)].push_back(Lists[level]->item(row)->text().toStdString());
    mCalendar.SetHolidayDates(HolidayLinesOf(lists));
}

} // namespace quillo

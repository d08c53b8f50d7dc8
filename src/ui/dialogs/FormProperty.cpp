// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/FormProperty.h"

#include "base/Cp932.h"
#include "base/Desktop.h"
#include "base/StrUtil.h"
#include "controls/Cp932Validator.h"
#include "controls/DropDst.h"
#include "controls/FolderDialog.h"
#include "model/Repeat.h"
#include "model/SchItem.h"
#include "model/StateEval.h"
#include "shell/UrlShortcut.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

namespace quillo {

namespace {
constexpr int kMaxNameChars = 256;
constexpr int kMaxMemoChars = 1024;
constexpr int kMaxLinkChars = 1024;

QDate ToQDate(TDate d) {
    int y, m, day;
    DecodeDate(d, y, m, day);
    return QDate(y, m, day);
}

TDate FromQDate(const QDate& q) {
    TDate d = 0;
    TryEncodeDate(q.year(), q.month(), q.day(), d);
    return d;
}

QString Hinted(QWidget* w, const char* hint) {
    const auto [tip, status] = SplitHint(hint);
    w->setToolTip(QString::fromStdString(tip));
    return QString::fromStdString(status);
}

// A line under a text box that shows only while it has something to say.
QLabel* NoticeLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setVisible(false);
    return label;
}

void ShowNotice(QLabel* label, const QString& notice) {
    label->setText(notice);
    label->setVisible(!notice.isEmpty());
}
} // namespace

TFormProperty::TFormProperty(IDesktop& desktop, TDate today, QWidget* parent)
    : QDialog(parent), mDesktop(desktop), mToday(today) {
    setWindowTitle(QStringLiteral("項目のプロパティ"));
    auto* layout = new QVBoxLayout(this);

    auto* nameGroup = new QGroupBox(QStringLiteral("項目名(&N)"), this);
    NameEdit = new QLineEdit(nameGroup);
    NameEdit->setMaxLength(kMaxNameChars);
    NameHint = NoticeLabel(nameGroup);
    NameEdit->setValidator(new TCp932Validator(NameEdit, [this](const QString& n) { ShowNotice(NameHint, n); }));
    auto* nameLayout = new QVBoxLayout(nameGroup);
    nameLayout->addWidget(NameEdit);
    nameLayout->addWidget(NameHint);
    layout->addWidget(nameGroup);

    Pages = new QTabWidget(this);
    layout->addWidget(Pages, 1);

    MemoPage = new QWidget(Pages);
    auto* memoLayout = new QVBoxLayout(MemoPage);
    MemoEdit = new QPlainTextEdit(MemoPage);
    MemoEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoLayout->addWidget(MemoEdit, 1);
    MemoHint = NoticeLabel(MemoPage);
    memoLayout->addWidget(MemoHint);
    connect(MemoEdit, &QPlainTextEdit::textChanged, this, &TFormProperty::FilterMemo);

    LinkGroup = new QGroupBox(QStringLiteral("関連リンク(&L)"), MemoPage);
    auto* linkLayout = new QVBoxLayout(LinkGroup);
    LinkEdit = new QLineEdit(LinkGroup);
    LinkEdit->setMaxLength(kMaxLinkChars);
    LinkHint = NoticeLabel(LinkGroup);
    LinkEdit->setValidator(new TCp932Validator(LinkEdit, [this](const QString& n) { ShowNotice(LinkHint, n); }));
    linkLayout->addWidget(LinkEdit);
    linkLayout->addWidget(LinkHint);
    auto* buttons = new QHBoxLayout;
    OpenButton = new QPushButton(QStringLiteral("開く(&O)"), LinkGroup);
    ShortcutButton = new QPushButton(QStringLiteral("ショートカット参照(&C)"), LinkGroup);
    FileButton = new QPushButton(QStringLiteral("ファイル参照(&S)"), LinkGroup);
    FolderButton = new QPushButton(QStringLiteral("フォルダ参照(&F)"), LinkGroup);
    ClearButton = new QPushButton(QStringLiteral("解除(&D)"), LinkGroup);
    for (QPushButton* b : {OpenButton, ShortcutButton, FileButton, FolderButton, ClearButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    OpenButton->setStatusTip(Hinted(OpenButton, "リンク先を開きます|"));
    ClearButton->setStatusTip(Hinted(ClearButton, "リンクを解除します|"));
    linkLayout->addLayout(buttons);
    DropArea = new QLabel(QStringLiteral("ここにドロップ"), LinkGroup);
    DropArea->setAlignment(Qt::AlignCenter);
    DropArea->setFrameStyle(QFrame::Box | QFrame::Sunken);
    DropArea->setMinimumHeight(28);
    DropArea->setStatusTip(
        Hinted(DropArea, "エクスプローラからここにファイルやフォルダをドロップすると、リンクを設定します|"));
    linkLayout->addWidget(DropArea);
    memoLayout->addWidget(LinkGroup);
    Pages->addTab(MemoPage, QStringLiteral("メモ(&M)"));

    DatePage = new QWidget(Pages);
    auto* dateLayout = new QVBoxLayout(DatePage);
    auto* calendars = new QHBoxLayout;
    auto makeDate = [&](const char* title, const char* box, QCheckBox*& check, QCalendarWidget*& calendar,
                        QLabel*& label) {
        auto* group = new QGroupBox(QString::fromUtf8(title), DatePage);
        auto* l = new QVBoxLayout(group);
        check = new QCheckBox(QString::fromUtf8(box), group);
        calendar = new QCalendarWidget(group);
        calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        calendar->setDateRange(ToQDate(kFirstItemDate), ToQDate(kLastItemDate)); // what the file can hold
        label = new QLabel(group);
        l->addWidget(check);
        l->addWidget(calendar);
        l->addWidget(label);
        l->addStretch(1);
        calendars->addWidget(group);
    };
    makeDate("開始予定日", "開始予定日を指定しない(&B)", NoBegin, BeginCalendar, BeginLabel);
    makeDate("終了予定日", "終了予定日を指定しない(&E)", NoEnd, EndCalendar, EndLabel);
    dateLayout->addLayout(calendars);
    auto* lower = new QHBoxLayout;
    auto* stateGroup = new QGroupBox(QStringLiteral("状態"), DatePage);
    DoneCheck = new QCheckBox(QStringLiteral("完了(&C)"), stateGroup);
    (new QVBoxLayout(stateGroup))->addWidget(DoneCheck);
    auto* modeGroup = new QGroupBox(QStringLiteral("日数計算での休日の扱い(&H)"), DatePage);
    HolidayMode = new QComboBox(modeGroup);
    HolidayMode->addItems(
        {QStringLiteral("休日設定に従う"), QStringLiteral("常に半休を含める"), QStringLiteral("すべての日付を含める")});
    (new QVBoxLayout(modeGroup))->addWidget(HolidayMode);
    lower->addWidget(stateGroup);
    lower->addWidget(modeGroup, 1);
    dateLayout->addLayout(lower);
    RepeatGroup = new QGroupBox(QStringLiteral("繰り返し(&R)"), DatePage);
    auto* repeatLayout = new QVBoxLayout(RepeatGroup);
    auto* repeatRow = new QHBoxLayout;
    RepeatCount = new QSpinBox(RepeatGroup);
    RepeatCount->setRange(1, kMaxRepeatCount);
    RepeatKind = new QComboBox(RepeatGroup);
    RepeatKind->addItems({QStringLiteral("繰り返さない"), QStringLiteral("日ごと"), QStringLiteral("週ごと"),
                          QStringLiteral("か月ごと"), QStringLiteral("年ごと"), QStringLiteral("稼働日ごと")});
    RepeatFromDone = new QCheckBox(QStringLiteral("完了日から数える"), RepeatGroup);
    repeatRow->addWidget(RepeatKind);
    repeatRow->addWidget(RepeatCount);
    repeatRow->addWidget(RepeatFromDone);
    repeatRow->addStretch(1);
    repeatLayout->addLayout(repeatRow);
    RepeatLabel = new QLabel(RepeatGroup);
    RepeatLabel->setWordWrap(true);
    repeatLayout->addWidget(RepeatLabel);
    dateLayout->addWidget(RepeatGroup);
    connect(RepeatKind, &QComboBox::currentIndexChanged, this, &TFormProperty::UpdateRepeat);
    connect(RepeatCount, &QSpinBox::valueChanged, this, &TFormProperty::UpdateRepeat);
    connect(RepeatFromDone, &QCheckBox::toggled, this, &TFormProperty::UpdateRepeat);
    Pages->addTab(DatePage, QStringLiteral("期日(&P)"));

    auto* box = new QDialogButtonBox(this);
    OkButton = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    CancelButton = box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    OkButton->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);

    connect(NoBegin, &QCheckBox::clicked, this, &TFormProperty::NoBeginClick);
    connect(NoEnd, &QCheckBox::clicked, this, &TFormProperty::NoEndClick);
    connect(BeginCalendar, &QCalendarWidget::clicked, this, &TFormProperty::BeginChosen);
    connect(EndCalendar, &QCalendarWidget::clicked, this, &TFormProperty::EndChosen);
    connect(BeginCalendar, &QCalendarWidget::activated, this, &TFormProperty::BeginChosen);
    connect(EndCalendar, &QCalendarWidget::activated, this, &TFormProperty::EndChosen);
    connect(BeginCalendar, &QCalendarWidget::selectionChanged, this, &TFormProperty::UpdateLabels);
    connect(EndCalendar, &QCalendarWidget::selectionChanged, this, &TFormProperty::UpdateLabels);

    connect(OpenButton, &QPushButton::clicked, this, [this] {
        if (!LinkEdit->text().isEmpty()) mDesktop.OpenDocument(LinkEdit->text().toStdString());
    });
    connect(ShortcutButton, &QPushButton::clicked, this, [this] {
        IDesktop::TFileDialog d{"リンクに設定するショートカットを選択してください",
                                "ショートカット(*.desktop;*.url)|*.desktop;*.url",
                                "",
                                "",
                                false,
                                false};
        if (const std::string path = mDesktop.FileDialog(d); !path.empty()) SetLinkFrom(path);
    });
    connect(FileButton, &QPushButton::clicked, this, [this] {
        IDesktop::TFileDialog d{
            "リンクに設定するファイルを選択してください", "すべてのファイル(*.*)|*", "", "", false, false};
        if (const std::string path = mDesktop.FileDialog(d); !path.empty())
            LinkEdit->setText(QString::fromStdString(path));
    });
    FolderDialog1 = new TFolderDialog(mDesktop);
    FolderDialog1->RootFolder = rfDeskTop;
    FolderDialog1->Title = "リンクに設定するフォルダを選択してください。";
    connect(FolderButton, &QPushButton::clicked, this, [this] {
        if (FolderDialog1->Execute()) LinkEdit->setText(QString::fromStdString(FolderDialog1->Folder));
    });
    connect(ClearButton, &QPushButton::clicked, LinkEdit, &QLineEdit::clear);

    DropDst1 = new TDropDst(this);
    DropDst1->SetControl(LinkGroup);
    DropDst1->OnFileDrop = [this](TDropDst*, const std::vector<std::string>& files, int, int) { DroppedFiles(files); };
}

TFormProperty::~TFormProperty() {
    delete FolderDialog1;
}

void TFormProperty::LoadItem(const TSchItem& item) {
    NameEdit->setText(QString::fromStdString(Cp932ToUtf8(item.Name)));
    mFolder = item.IsFolder();
    const int datePage = Pages->indexOf(DatePage);
    Pages->setTabVisible(datePage, !mFolder);
    if (!mFolder) {
        NoBegin->setChecked(item.BeginDate == 0);
        BeginCalendar->setSelectedDate(ToQDate(item.BeginDate == 0 ? mToday : item.BeginDate));
        NoEnd->setChecked(item.EndDate == 0);
        EndCalendar->setSelectedDate(ToQDate(item.EndDate == 0 ? mToday : item.EndDate));
        HolidayMode->setCurrentIndex(std::clamp(item.HolidayMode, 0, 2));
        DoneCheck->setChecked(item.Checked);
    }
    mLoadedRepeat = item.Repeat;
    if (RepeatKind->count() > rkUnknown) RepeatKind->removeItem(rkUnknown);
    const auto rule = ParseRepeatRule(mLoadedRepeat);
    RepeatCount->setValue(rule ? rule->Count : 1);
    RepeatFromDone->setChecked(rule && rule->FromDone);
    if (rule) {
        static const TRepeatUnit kUnits[] = {ruDay, ruWeek, ruMonth, ruYear, ruWorkday};
        RepeatKind->setCurrentIndex(
            rkDay + static_cast<int>(std::find(std::begin(kUnits), std::end(kUnits), rule->Unit) - std::begin(kUnits)));
    } else if (!mLoadedRepeat.empty()) {
        RepeatKind->addItem(QStringLiteral("解釈できない指定（そのまま残す）"));
        RepeatKind->setCurrentIndex(rkUnknown);
    } else {
        RepeatKind->setCurrentIndex(rkNone);
    }
    UpdateRepeat();
    UpdateCalendars();
    UpdateLabels();
    MemoEdit->setPlainText(QString::fromStdString(Cp932ToUtf8(ReplaceAll(item.Memo, "\r\n", "\n"))));
    LinkEdit->setText(QString::fromStdString(Cp932ToUtf8(item.Link)));
}

void TFormProperty::ApplyItem(TSchItem& item) const {
    // The controls take only what cp932 holds, so the conversions cannot fail; a name of
    // double-byte characters may still need more bytes than an item holds.
    std::string name = Utf8ToCp932Lossy(NameEdit->text().toStdString());
    item.SetName(CutToNameLength(name));
    if (!item.IsFolder()) {
        item.BeginDate = NoBegin->isChecked() ? 0 : FromQDate(BeginCalendar->selectedDate());
        item.EndDate = NoEnd->isChecked() ? 0 : FromQDate(EndCalendar->selectedDate());
        item.HolidayMode = HolidayMode->currentIndex();
        item.Checked = DoneCheck->isChecked();
        item.Repeat = RepeatText();
    }
    item.Memo = ReplaceAll(Utf8ToCp932Lossy(MemoEdit->toPlainText().toStdString()), "\n", "\r\n");
    item.Link = Utf8ToCp932Lossy(LinkEdit->text().toStdString());
}

std::string TFormProperty::RepeatText() const {
    static const TRepeatUnit kUnits[] = {ruDay, ruDay, ruWeek, ruMonth, ruYear, ruWorkday};
    const int kind = RepeatKind->currentIndex();
    if (kind == rkUnknown) return mLoadedRepeat;
    if (kind <= rkNone || kind > rkWorkday) return {};
    return RepeatRuleText({RepeatFromDone->isChecked(), RepeatCount->value(), kUnits[kind]});
}

void TFormProperty::UpdateRepeat() {
    const int kind = RepeatKind->currentIndex();
    const bool rule = kind > rkNone && kind < rkUnknown;
    RepeatCount->setEnabled(rule);
    RepeatFromDone->setEnabled(rule);
    const std::string text = RepeatText();
    RepeatLabel->setText(text.empty() ? QString() : QString::fromStdString(SplitHint(RepeatHint(text)).second));
}

void TFormProperty::UpdateCalendars() {
    BeginCalendar->setVisible(!NoBegin->isChecked());
    EndCalendar->setVisible(!NoEnd->isChecked());
}

void TFormProperty::UpdateLabels() {
    auto text = [this](QCheckBox* none, QCalendarWidget* calendar) {
        if (none->isChecked()) return QStringLiteral("指定なし");
        const TDate d = FromQDate(calendar->selectedDate());
        return QString::fromStdString(RelativeDayText(d, mToday) + " - " + DateText(d));
    };
    BeginLabel->setText(text(NoBegin, BeginCalendar));
    EndLabel->setText(text(NoEnd, EndCalendar));
}

// Each of the four compares the calendars, whatever the boxes say.
void TFormProperty::NoBeginClick() {
    if (BeginCalendar->selectedDate() > EndCalendar->selectedDate())
        BeginCalendar->setSelectedDate(EndCalendar->selectedDate());
    UpdateCalendars();
    UpdateLabels();
}

void TFormProperty::NoEndClick() {
    if (BeginCalendar->selectedDate() > EndCalendar->selectedDate())
        EndCalendar->setSelectedDate(BeginCalendar->selectedDate());
    UpdateCalendars();
    UpdateLabels();
}

void TFormProperty::BeginChosen() {
    if (BeginCalendar->selectedDate() > EndCalendar->selectedDate())
        EndCalendar->setSelectedDate(BeginCalendar->selectedDate());
    UpdateLabels();
}

void TFormProperty::EndChosen() {
    if (BeginCalendar->selectedDate() > EndCalendar->selectedDate())
        BeginCalendar->setSelectedDate(EndCalendar->selectedDate());
    UpdateLabels();
}

void TFormProperty::SetLinkFrom(const std::string& path) {
    // A ".url" without an address leaves the link as it is.
    if (const auto link = LinkOfFile(path)) LinkEdit->setText(QString::fromStdString(*link));
}

void TFormProperty::DroppedFiles(const std::vector<std::string>& files) {
    if (!files.empty()) SetLinkFrom(files.front());
}

// Characters cp932 cannot hold are fitted as they arrive, and the hint says what that changed.
void TFormProperty::FilterMemo() {
    QString text = MemoEdit->toPlainText();
    const std::string utf8 = text.toStdString();
    QString notice;
    if (!IsCp932Encodable(utf8)) {
        const TCp932Fit fit = FitToCp932(utf8);
        text = QString::fromStdString(fit.Text);
        notice = QString::fromStdString(FitNotice(fit));
    }
    if (text.size() > kMaxMemoChars) {
        text.truncate(text[kMaxMemoChars - 1].isHighSurrogate() ? kMaxMemoChars - 1 : kMaxMemoChars);
        notice += (notice.isEmpty() ? "" : "　") + QStringLiteral("メモは%1文字までです。").arg(kMaxMemoChars);
    }
    if (text == MemoEdit->toPlainText()) return;
    const qsizetype after = MemoEdit->toPlainText().size() - MemoEdit->textCursor().position();
    QSignalBlocker block(MemoEdit);
    MemoEdit->setPlainText(text);
    QTextCursor cursor = MemoEdit->textCursor();
    cursor.setPosition(static_cast<int>(std::clamp<qsizetype>(text.size() - after, 0, text.size())));
    MemoEdit->setTextCursor(cursor);
    ShowNotice(MemoHint, notice);
}

void TFormProperty::showEvent(QShowEvent* event) {
    if (PropX > -1 && PropY > -1) move(PropX, PropY);
    if (PropFocus == pfName || PropFocus == pfMemo) {
        Pages->setCurrentWidget(MemoPage);
        (PropFocus == pfName ? static_cast<QWidget*>(NameEdit) : MemoEdit)->setFocus();
    }
    PropFocus = pfDefault;
    QDialog::showEvent(event);
}

void TFormProperty::done(int result) {
    PropX = x();
    PropY = y();
    QDialog::done(result);
}

} // namespace quillo

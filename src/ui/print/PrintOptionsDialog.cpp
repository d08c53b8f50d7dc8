// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/PrintOptionsDialog.h"

#include "controls/QtDate.h"
#include "model/Chart.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPageSize>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace quillo {

namespace {
TDate FromQDate(const QDate& d) {
    TDate out = 0;
    return TryEncodeItemDate(d.year(), d.month(), d.day(), out) ? out : kFirstItemDate;
}

const QPageSize::PageSizeId kPapers[] = {QPageSize::A3, QPageSize::A4,     QPageSize::A5,   QPageSize::B4,
                                         QPageSize::B5, QPageSize::Letter, QPageSize::Legal};

QRadioButton* AddChoice(QGroupBox* group, const char* text, bool checked) {
    auto* button = new QRadioButton(QString::fromUtf8(text), group);
    button->setChecked(checked);
    group->layout()->addWidget(button);
    return button;
}
} // namespace

TPrintOptionsDialog::TPrintOptionsDialog(const TPrintChoice& choice, const QPageLayout* page, TDate chartDate,
                                         QWidget* parent)
    : QDialog(parent), mPage(page ? *page : QPageLayout()) {
    setWindowTitle(page ? QStringLiteral("PDFにエクスポート") : QStringLiteral("印刷"));
    auto* layout = new QVBoxLayout(this);

    auto* days = new QGroupBox(QStringLiteral("期間"), this);
    auto* daysLayout = new QFormLayout(days);
    FromEdit = new QDateEdit(ToQDate(choice.From), days);
    FromEdit->setDisplayFormat(QStringLiteral("yyyy/MM/dd(ddd)"));
    FromEdit->setLocale(QLocale(QLocale::Japanese, QLocale::Japan)); // the weekday as the chart names it
    FromEdit->setCalendarPopup(true);
    FromEdit->setDateRange(ToQDate(kFirstItemDate), ToQDate(kLastItemDate));
    DaysEdit = new QSpinBox(days);
    DaysEdit->setRange(1, kMaxPrintDays);
    DaysEdit->setSuffix(QStringLiteral(" 日間"));
    DaysEdit->setValue(choice.Days);
    auto* chart = new QPushButton(QStringLiteral("チャートの表示期間(&C)"), days);
    daysLayout->addRow(QStringLiteral("開始日(&F)"), FromEdit);
    daysLayout->addRow(QStringLiteral("日数(&N)"), DaysEdit);
    daysLayout->addRow(QString(), chart);
    layout->addWidget(days);
    connect(FromEdit, &QDateEdit::dateChanged, this, [this] { KeepDaysInRange(); });
    connect(chart, &QPushButton::clicked, this, [this, chartDate] {
        FromEdit->setDate(ToQDate(chartDate));
        DaysEdit->setValue(kChartDays);
    });
    KeepDaysInRange();

    auto* rows = new QGroupBox(QStringLiteral("行"), this);
    rows->setLayout(new QVBoxLayout);
    RowsAsShown = AddChoice(rows, "画面で開いている通り(&S)", !choice.AllOpen);
    RowsAllOpen = AddChoice(rows, "すべてのフォルダを開く(&E)", choice.AllOpen);
    layout->addWidget(rows);

    auto* width = new QGroupBox(QStringLiteral("日の幅"), this);
    width->setLayout(new QVBoxLayout);
    FitWidth = AddChoice(width, "用紙の幅に収める(&W)", choice.FitWidth);
    KeepWidth = AddChoice(width, "読みやすい幅のまま横のページに続ける(&K)", !choice.FitWidth);
    layout->addWidget(width);

    if (page) {
        auto* paper = new QGroupBox(QStringLiteral("用紙"), this);
        auto* paperLayout = new QHBoxLayout(paper);
        PaperSize = new QComboBox(paper);
        for (QPageSize::PageSizeId id : kPapers) {
            PaperSize->addItem(QPageSize::name(id), int(id));
            if (id == page->pageSize().id()) PaperSize->setCurrentIndex(PaperSize->count() - 1);
        }
        Landscape = new QRadioButton(QStringLiteral("横(&L)"), paper);
        Portrait = new QRadioButton(QStringLiteral("縦(&P)"), paper);
        (page->orientation() == QPageLayout::Portrait ? Portrait : Landscape)->setChecked(true);
        paperLayout->addWidget(PaperSize);
        paperLayout->addWidget(Landscape);
        paperLayout->addWidget(Portrait);
        layout->addWidget(paper);
    }

    auto* box = new QDialogButtonBox(this);
    box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    box->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
}

void TPrintOptionsDialog::KeepDaysInRange() {
    const int left = static_cast<int>(kLastItemDate - FromQDate(FromEdit->date())) + 1;
    DaysEdit->setMaximum(std::clamp(left, 1, kMaxPrintDays));
}

TPrintChoice TPrintOptionsDialog::Choice() const {
    TPrintChoice c;
    c.From = FromQDate(FromEdit->date());
    c.Days = DaysEdit->value();
    c.AllOpen = RowsAllOpen->isChecked();
    c.FitWidth = FitWidth->isChecked();
    return c;
}

QPageLayout TPrintOptionsDialog::Page() const {
    QPageLayout page = mPage;
    if (PaperSize) {
        page.setPageSize(QPageSize(QPageSize::PageSizeId(PaperSize->currentData().toInt())));
        page.setOrientation(Portrait->isChecked() ? QPageLayout::Portrait : QPageLayout::Landscape);
    }
    return page;
}

} // namespace quillo

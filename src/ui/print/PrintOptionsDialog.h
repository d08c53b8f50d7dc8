// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What to print: the days, the rows, the days' width, and for a PDF the paper.
#include "model/PrintRows.h"

#include <QDialog>
#include <QPageLayout>

class QComboBox;
class QDateEdit;
class QRadioButton;
class QSpinBox;

namespace quillo {

class TPrintOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // With `page` it is for a PDF and offers the paper; without, the paper is the printer's,
    // chosen in its own dialog. `chartDate` is the chart's first day, which a button brings back
    // with the chart's 60 days.
    TPrintOptionsDialog(const TPrintChoice& choice, const QPageLayout* page, TDate chartDate,
                        QWidget* parent = nullptr);

    TPrintChoice Choice() const;
    QPageLayout Page() const;

    QDateEdit* FromEdit;
    QSpinBox* DaysEdit;
    QRadioButton* RowsAsShown;
    QRadioButton* RowsAllOpen;
    QRadioButton* FitWidth;
    QRadioButton* KeepWidth;
    QComboBox* PaperSize = nullptr;
    QRadioButton* Landscape = nullptr;
    QRadioButton* Portrait = nullptr;

private:
    void KeepDaysInRange(); // the last day stays one a schedule can hold

    QPageLayout mPage;
};

} // namespace quillo

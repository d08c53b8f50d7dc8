// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A status bar panel: one line, cut with an ellipsis at its own width, so a long hint never runs
// over the panel beside it. text() keeps the whole text, and a cut text is whole in the tip.
#include <QLabel>

namespace quillo {

class TStatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit TStatusPanel(QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;
    int FittingWidth() const; // the width that shows the whole text

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quillo

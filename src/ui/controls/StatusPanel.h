// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A status bar panel: one line, cut with an ellipsis at its own width, so a long hint never runs
// over the panel beside it. text() keeps the whole text.
#include <QLabel>

namespace quillo {

class TStatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit TStatusPanel(QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quillo

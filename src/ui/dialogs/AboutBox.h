// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's version box.
#include <QDialog>

namespace quillo {

class IDesktop;
class TURLLabel;

extern const char* const kLicensePage; // the link of the about box

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    TAboutBox(IDesktop& desktop, QWidget* parent = nullptr);
    TURLLabel* HomePage() const { return mHomePage; }
    void reject() override { accept(); } // OK is the cancel button too

private:
    TURLLabel* mHomePage;
};

} // namespace quillo

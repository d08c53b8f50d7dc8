// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AboutBox.h"

#include "controls/URLLabel.h"
#include "main/Images.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace quillo {

const char* const kHomePage = "https://quillo.example.org/";

TAboutBox::TAboutBox(IDesktop& desktop, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFixedSize(256, 139);
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(4, 4, 249, 93);
    auto* icon = new QLabel(panel);
    icon->setPixmap(NodeImages()[0].pixmap(32, 32));
    icon->setGeometry(200, 8, 32, 32);
    auto* name = new QLabel(QStringLiteral("Quillory Plan"), panel);
    QFont big = name->font();
    big.setPixelSize(16);
    name->setFont(big);
    name->move(8, 8);
    auto* version = new QLabel(QStringLiteral("ver " QUILLO_VERSION), panel);
    version->setObjectName(QStringLiteral("Version"));
    version->move(8, 28);
    auto* notice = new QLabel(QStringLiteral("Copyright (C) the Quillo developers"), panel);
    notice->move(8, 52);
    mHomePage = new TURLLabel(desktop, QString::fromUtf8(kHomePage), panel);
    mHomePage->move(8, 68);
    QPalette blue = mHomePage->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    mHomePage->setPalette(blue);
    mHomePage->Executable = true;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(91, 108, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace quillo

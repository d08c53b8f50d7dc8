// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/AboutBox.h"

#include "controls/URLLabel.h"
#include "main/Images.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace quillo {

// The project has no web site of its own yet; the link leads to the licence it is given under.
const char* const kLicensePage = "https://www.gnu.org/licenses/gpl.html";

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
    auto* notice = new QLabel(QStringLiteral("© The Quillo developers　GPL v3 以降"), panel);
    notice->setObjectName(QStringLiteral("Notice"));
    notice->setToolTip(QStringLiteral("このプログラムはフリーソフトウェアです。GNU 一般公衆利用許諾書 (GPL) "
                                      "バージョン 3 またはそれ以降のバージョンの条件で再配布・改変できます。"
                                      "このプログラムは無保証です。"));
    notice->move(8, 52);
    mHomePage = new TURLLabel(desktop, QString::fromUtf8(kLicensePage), panel);
    mHomePage->move(8, 68);
    QPalette blue = mHomePage->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    mHomePage->setPalette(blue);
    mHomePage->Executable = true;
    // A label made with a parent keeps a default size that cuts longer texts.
    for (QLabel* label : {name, version, notice, static_cast<QLabel*>(mHomePage)})
        label->adjustSize();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(91, 108, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace quillo

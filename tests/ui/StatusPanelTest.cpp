// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/StatusPanel.h"
#include "base/Clock.h"
#include "core/TestTree.h"
#include "main/FormMain.h"

#include <QLabel>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

// A message is never lost to the panel's width: panel 1 grows to hold it, and a hint cut in
// panel 0 is whole in its tip.
TEST(StatusPanel, AMessageIsShownWholeOrWholeInTheTip) {
    TStatusPanel panel;
    panel.setText(QStringLiteral("保存時の状態に戻りました"));
    panel.setFixedWidth(60);
    panel.grab();
    EXPECT_EQ(panel.toolTip(), panel.text());
    panel.setFixedWidth(panel.FittingWidth());
    panel.grab();
    EXPECT_TRUE(panel.toolTip().isEmpty());

    TTempDir dir;
    TScriptedDesktop desktop;
    TFixedClock clock{D(2024, 5, 3) + 0.5};
    TFormMain form(desktop, clock, dir.File("quillo.ini"));
    form.FormCreate({});
    form.show();
    form.SetModified(true);
    form.Shared().Files.SetStatusText("保存時の状態に戻りました");
    auto* panel1 = static_cast<TStatusPanel*>(form.StatusPanel(1));
    EXPECT_GE(panel1->width(), panel1->FittingWidth());
    panel1->grab();
    EXPECT_TRUE(panel1->toolTip().isEmpty());
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/TestTree.h"
#include "desktop/QtDesktop.h"

#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

// File dialogs start beside the schedule, else in the documents folder when there is one, and
// never in the working folder the program happened to be started in.
TEST(FileDialogFolder, ScheduleFolderThenDocumentsThenHome) {
    TTempDir dir;
    WriteFile(dir.File("plan.qlp"), "");
    EXPECT_EQ(FileDialogFolder(dir.File("plan.qlp")), QDir(QString::fromStdString(dir.File(""))).absolutePath());
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fallback = !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
    EXPECT_EQ(FileDialogFolder(""), fallback);
    EXPECT_EQ(FileDialogFolder("/no/such/folder/plan.qlp"), fallback);
}

// SPDX-License-Identifier: GPL-3.0-or-later
// One QApplication for all user-interface tests, made before and destroyed after them.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Headless unless a test run asks for a real display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows made here tell of late to-dos: never on the desktop of the one running the tests.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quillo-ui-tests");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

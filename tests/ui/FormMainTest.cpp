#include "app/FormMain.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {
// One application object for all user-interface tests of this executable.
QApplication& App() {
    static int argc = 1;
    static char name[] = "quillo_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}
} // namespace

TEST(FormMain, StartsAsAnEmptyWindowWithTheProgramTitle) {
    App();
    quillo::TFormMain window;
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Quillory Plan"));
    EXPECT_GE(window.minimumWidth(), 620);
    EXPECT_TRUE(window.close());
}

#include "app/FormMain.h"

#include <QApplication>
#include <gtest/gtest.h>


TEST(FormMain, StartsAsAnEmptyWindowWithTheProgramTitle) {
    quillo::TFormMain window;
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Quillory Plan"));
    EXPECT_GE(window.minimumWidth(), 620);
    EXPECT_TRUE(window.close());
}

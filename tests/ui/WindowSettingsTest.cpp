// SPDX-License-Identifier: GPL-3.0-or-later
// The settings part with a real settings folder: what a first start writes, what a start applies
// and within which limits, and what an end stores, without the main window.
#include "main/WindowSettings.h"
#include "controls/WindowPlace.h"
#include "main/ChartView.h"
#include "settings/IniFile.h"
#include "ui/MainParts.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

// One run of the program as far as the settings go: the shared state, the chart's sections
// and commands, and the settings over them.
struct TRun {
    TMainParts P{kToday};
    TChartView View{*P.Context, [](TDate) {}};
    TWindowSettings Settings;
    explicit TRun(const std::string& ini) : Settings(*P.Context, *P.Window, ini) {}
    int Width(int section) const { return P.Header->Sections().Items(section)->Width(); }
};

struct TSettingsFile : ::testing::Test {
    TTempDir Dir;
    std::unique_ptr<TRun> Run;
    std::string Ini() const { return Dir.File("quillo.ini"); }
    std::string Value(const char* section, const char* key) const {
        return TIniFile(Ini()).ReadString(section, key, "<none>");
    }
    TRun& Start() {
        Run.reset();
        Run = std::make_unique<TRun>(Ini());
        Run->Settings.LoadSettings();
        return *Run;
    }
};
} // namespace

TEST_F(TSettingsFile, AFirstStartWritesCompleteFilesAndRunsWithThem) {
    TRun& run = Start();
    EXPECT_EQ(Value("DateCount", "HolidayLv"), "0");
    EXPECT_EQ(Value("Header", "Section3"), "72");
    EXPECT_EQ(Value("Header", "Section4"), "16");
    EXPECT_EQ(Value("Header", "ChartDate"), "-7");
    EXPECT_EQ(Value("PropForm", "PosX"), "-1");
    EXPECT_EQ(Value("PropForm", "PosY"), "-1");
    EXPECT_EQ(Value("Holidays", "Sun"), "2");
    EXPECT_EQ(Value("MainForm", "Maximized"), "0");
    EXPECT_EQ(Value("Edit", "FileName"), "<none>"); // only a close request writes it
    EXPECT_EQ(ReadFile(Dir.File("quillo.hld")), "");
    EXPECT_EQ(run.Width(4), 16);
    EXPECT_EQ(run.P.Calendar.HolidayLv, 0);
    EXPECT_EQ(run.Settings.Places().PropX, -1);
    run.Settings.StoreLastEdit(Dir.File("plan.qlp"));
    EXPECT_EQ(Start().Settings.LastEdit(), Dir.File("plan.qlp"));
}

TEST_F(TSettingsFile, StoredValuesAreAppliedWithinEachSectionsLimits) {
    WriteFile(Ini(), "[Header]\r\nSection0=50\r\nChartDate=3\r\n[DateCount]\r\nAlertCount=2\r\n");
    TRun& run = Start();
    EXPECT_EQ(run.Width(0), 200); // the name column's minimum
    EXPECT_EQ(run.Width(3), 80);  // missing keys: the store defaults
    EXPECT_EQ(run.Width(4), 25);
    EXPECT_EQ(run.Width(63), 25);
    EXPECT_EQ(run.P.Chart.ChartDate(), kToday + 3);
    EXPECT_EQ(run.P.Calendar.AlertCount, 2);
    EXPECT_EQ(run.P.Calendar.HolidayLv, 2);
    for (int i = 0; i < 13; ++i)
        run.P.Trigger("ActionChartPrev1");
    run.Settings.SaveSettings();
    EXPECT_EQ(Value("Header", "ChartDate"), "-10");
    EXPECT_EQ(Value("Header", "Section0"), "200");

    WriteFile(Ini(), "[Header]\r\nSection4=100\r\n");
    EXPECT_EQ(Start().Width(4), 50);
    EXPECT_EQ(Run->Width(40), 50);
}

// Places are the frame's corner and the client's size, stored and put back the same way.
TEST_F(TSettingsFile, ClosingMaximizedKeepsTheNormalPlacement) {
    WriteFile(Ini(), "[MainForm]\r\nPosX=10\r\nPosY=20\r\nWidth=700\r\nHeight=500\r\n");
    QMainWindow* window = Start().P.Window.get();
    window->show();
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(10, 20));
    EXPECT_EQ(window->size(), QSize(700, 500));
    window->move(30, 40); // moved, then maximized: the file keeps what it had
    window->setWindowState(Qt::WindowMaximized);
    Run->Settings.SaveSettings();
    EXPECT_EQ(Value("MainForm", "Maximized"), "1");
    EXPECT_EQ(Value("MainForm", "PosX"), "10");
    EXPECT_EQ(Value("MainForm", "Width"), "700");
    window = Start().P.Window.get();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    window->setWindowState(Qt::WindowNoState);
    window->show();
    EXPECT_EQ(QRect(window->pos(), window->size()), QRect(10, 20, 700, 500));
    // A normal close stores exactly what the next start restores.
    window->setGeometry(33, 44, 655, 377);
    const QRect frame = window->frameGeometry();
    Run->Settings.SaveSettings();
    window = Start().P.Window.get();
    window->show();
    EXPECT_EQ(window->frameGeometry(), frame);
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);

    // A place no screen shows any more (a monitor taken away) comes back onto the screen.
    WriteFile(Ini(), "[MainForm]\r\nPosX=50000\r\nPosY=-40000\r\nWidth=700\r\nHeight=500\r\n");
    window = Start().P.Window.get();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.intersects(window->geometry())) << window->geometry().x() << "," << window->geometry().y();
    EXPECT_EQ(window->geometry().size(), QSize(700, 500));
}

// A first start centres the window; a place no screen shows any more comes back onto one, with
// its title bar inside.
TEST_F(TSettingsFile, AWindowStartsCentredOrFittedOntoAScreen) {
    QMainWindow* window = Start().P.Window.get();
    window->show();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint off = window->frameGeometry().center() - area.center(); // the frame was guessed before it showed
    EXPECT_LE(std::abs(off.x()), 16);
    EXPECT_LE(std::abs(off.y()), 16);
    for (const char* place : {"PosX=-4000\r\nPosY=-30", "PosX=5000\r\nPosY=9000", "PosX=100\r\nPosY=-15"}) {
        WriteFile(Ini(), std::string("[MainForm]\r\n") + place + "\r\nWidth=700\r\nHeight=500\r\n");
        window = Start().P.Window.get();
        window->show();
        EXPECT_TRUE(area.contains(window->frameGeometry())) << place;
    }
}

TEST(WindowPlace, AFrameIsFittedIntoTheScreenItMostlyCovers) {
    const QRect left(0, 0, 1000, 800), right(1000, 30, 1600, 900); // a panel above the right one
    EXPECT_EQ(FitFrame({900, 10, 300, 200}, {left, right}, left), QRect(1000, 30, 300, 200));
    EXPECT_EQ(FitFrame({-50, -20, 300, 200}, {left, right}, left), QRect(0, 0, 300, 200));
    EXPECT_EQ(FitFrame({5000, 5000, 300, 200}, {left, right}, right), QRect(2300, 730, 300, 200));
    // Larger than the screen: the title bar stays reachable.
    EXPECT_EQ(FitFrame({-10, -10, 2000, 2000}, {left}, left).topLeft(), QPoint(0, 0));
    EXPECT_EQ(CentredFrame({200, 100}, {1000, 30, 1600, 900}), QPoint(1700, 430));
}

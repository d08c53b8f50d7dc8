// SPDX-License-Identifier: GPL-3.0-or-later
// The item property dialog driven by its widgets, on its own and from the main window.
#include "dialogs/FormProperty.h"
#include "base/Clock.h"
#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "controls/DropDst.h"
#include "controls/FolderDialog.h"
#include "controls/TreeList.h"
#include "controls/URLLabel.h"
#include "core/TestTree.h"
#include "dialogs/AboutBox.h"
#include "main/ItemCommands.h"
#include "settings/Settings.h"
#include "ui/MainParts.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

QDate Q(int y, int m, int d) {
    return QDate(y, m, d);
}

// Sends a real drop of `paths` to `widget`, as the file manager would.
void DropFiles(QWidget* widget, const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    const QPointF at(5, 5);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &drop);
}

struct TDialog : ::testing::Test {
    TScriptedDesktop Desktop;
    TTestSchedule S{kToday};
    TFormProperty Form{Desktop, kToday};
};
} // namespace

TEST_F(TDialog, AToDoWithoutDatesStaysWithoutDates) {
    S.Load("{\nI|plain|0|-|-|-|-|-|-|0|\n}");
    Form.LoadItem(*S.Item("plain"));
    EXPECT_TRUE(Form.NoBegin->isChecked());
    EXPECT_TRUE(Form.NoEnd->isChecked());
    EXPECT_EQ(Form.BeginLabel->text().toStdString(), "指定なし");
    EXPECT_EQ(Form.EndLabel->text().toStdString(), "指定なし");
    EXPECT_TRUE(Form.BeginCalendar->isHidden());
    EXPECT_EQ(Form.BeginCalendar->selectedDate(), Q(2024, 5, 3));
    EXPECT_EQ(Form.EndCalendar->selectedDate(), Q(2024, 5, 3));
    Form.ApplyItem(*S.Item("plain"));
    EXPECT_EQ(S.Item("plain")->BeginDate, 0);
    EXPECT_EQ(S.Item("plain")->EndDate, 0);
}

TEST_F(TDialog, TheBeginNeverLiesAfterTheEnd) {
    S.Load("{\nI|t|0|2024|5|6|2024|5|8|1|\n}");
    Form.LoadItem(*S.Item("t"));
    EXPECT_EQ(Form.BeginLabel->text().toStdString(), "3日後 - 2024/05/06(月)");
    EXPECT_EQ(Form.HolidayMode->currentIndex(), 1);
    Form.BeginCalendar->setSelectedDate(Q(2024, 5, 10)); // chosen after the end
    emit Form.BeginCalendar->clicked(Q(2024, 5, 10));
    EXPECT_EQ(Form.EndCalendar->selectedDate(), Q(2024, 5, 10));
    Form.EndCalendar->setSelectedDate(Q(2024, 5, 7)); // the end chosen before the begin
    emit Form.EndCalendar->clicked(Q(2024, 5, 7));
    EXPECT_EQ(Form.BeginCalendar->selectedDate(), Q(2024, 5, 7));
    // Unticking "no end" while the begin calendar is later moves the end to the begin.
    Form.NoEnd->click();
    EXPECT_TRUE(Form.NoEnd->isChecked());
    Form.BeginCalendar->setSelectedDate(Q(2024, 5, 20));
    Form.NoEnd->click();
    EXPECT_FALSE(Form.NoEnd->isChecked());
    EXPECT_EQ(Form.EndCalendar->selectedDate(), Q(2024, 5, 20));
    EXPECT_FALSE(Form.EndCalendar->isHidden());
    Form.DoneCheck->click();
    Form.ApplyItem(*S.Item("t"));
    EXPECT_EQ(S.Item("t")->BeginDate, D(2024, 5, 20));
    EXPECT_EQ(S.Item("t")->EndDate, D(2024, 5, 20));
    EXPECT_TRUE(S.Item("t")->Checked);
}

TEST_F(TDialog, AFolderHasNoDatePageAndKeepsItsAggregatedDates) {
    S.Load("{\nF|f||+\n{\nI|a|0|2024|5|1|2024|5|9|0|\n}\n}");
    Form.LoadItem(*S.Item("f"));
    EXPECT_FALSE(Form.Pages->isTabVisible(Form.Pages->indexOf(Form.DatePage)));
    Form.NameEdit->setText(QString::fromUtf8("計画"));
    Form.MemoEdit->setPlainText("line 1\nline 2");
    Form.LinkEdit->setText("https://example.org/");
    Form.ApplyItem(*S.Item("f"));
    TSchItem* f = S.Item("\x8C\x76\x89\xE6");
    EXPECT_EQ(f->Memo, "line 1\r\nline 2"); // lines joined with CR LF
    EXPECT_EQ(f->Link, "https://example.org/");
    EXPECT_EQ(f->Node->Text(), f->Name);
    EXPECT_EQ(f->BeginDate, D(2024, 5, 1));
}

TEST_F(TDialog, TextsAreKeptWritableAndWithinAnItemsLength) {
    S.Load("{\nI|t|0|-|-|-|-|-|-|0|\n}");
    TSchItem* t = S.Item("t");
    Form.LoadItem(*t);
    Form.NameEdit->setText(QString(200, QChar(0x8868))); // 表 × 200: 400 bytes in cp932
    Form.MemoEdit->setPlainText(QString::fromUtf8("ok 😀 ソ\tend"));
    EXPECT_EQ(Form.MemoEdit->toPlainText(), QString::fromUtf8("ok  ソ\tend"));
    EXPECT_FALSE(Form.MemoHint->text().isEmpty());
    Form.LinkEdit->setText("a");
    Form.LinkEdit->insert("\t😀");
    EXPECT_EQ(Form.LinkEdit->text(), "a");
    Form.ApplyItem(*t);
    EXPECT_EQ(t->Name.size(), 256u); // 128 double-byte characters: what a name may hold
    EXPECT_EQ(t->Memo, "ok  \x83\x5C\tend");
}

// A date outside what a schedule file carries cannot be picked: the calendars stop at its ends.
TEST_F(TDialog, TheCalendarsStopWhereTheFileStops) {
    S.Load("{\nI|t|0|2024|5|1|2024|5|9|0|\n}");
    Form.LoadItem(*S.Item("t"));
    Form.BeginCalendar->setSelectedDate(QDate(1800, 1, 1));
    Form.EndCalendar->setSelectedDate(QDate(12000, 1, 1));
    Form.ApplyItem(*S.Item("t"));
    EXPECT_EQ(S.Item("t")->BeginDate, D(1899, 12, 31));
    EXPECT_EQ(S.Item("t")->EndDate, D(9999, 12, 31));
}

// Each text box keeps what it can of a paste and says beside itself what it replaced or left out.
TEST_F(TDialog, PastedTextKeepsTheUsualVariantsAndTellsWhatWentMissing) {
    S.Load("{\nI|t|0|-|-|-|-|-|-|0|\n}");
    TSchItem* t = S.Item("t");
    Form.LoadItem(*t);
    Form.NameEdit->clear();
    Form.NameEdit->insert(QString::fromUtf8("𠮷野家で昼食🍱"));
    Form.MemoEdit->clear();
    Form.MemoEdit->insertPlainText(QString::fromUtf8("会議メモ 🍣 𠮷田さん"));
    Form.LinkEdit->clear();
    Form.LinkEdit->insert(QString::fromUtf8("/home/u/café/鷗外.txt"));
    EXPECT_EQ(Form.NameEdit->text(), QString::fromUtf8("吉野家で昼食"));
    EXPECT_EQ(Form.MemoEdit->toPlainText(), QString::fromUtf8("会議メモ  吉田さん"));
    EXPECT_EQ(Form.LinkEdit->text(), QString::fromUtf8("/home/u/cafe/鴎外.txt"));
    EXPECT_EQ(Form.NameHint->text().toStdString(), "次の文字を置き換えました：𠮷→吉　保存できない文字を除きました：🍱");
    EXPECT_EQ(Form.MemoHint->text().toStdString(), "次の文字を置き換えました：𠮷→吉　保存できない文字を除きました：🍣");
    EXPECT_EQ(Form.LinkHint->text().toStdString(), "次の文字を置き換えました：é→e、鷗→鴎");
    EXPECT_FALSE(Form.NameHint->isHidden());
    Form.ApplyItem(*t);
    EXPECT_EQ(Cp932ToUtf8(t->Name), "吉野家で昼食");
}

TEST_F(TDialog, LinksFromButtonsDropsAndShortcuts) {
    TTempDir dir;
    WriteFile(dir.File("site.url"), "[internetShortcut]\r\nurl=HTTP://Example.org/Path\r\n");
    WriteFile(dir.File("none.url"), "[InternetShortcut]\r\nIconIndex=0\r\n");
    WriteFile(dir.File("a.txt"), "a");
    WriteFile(dir.File("b.txt"), "b");
    S.Load("{\nI|t|0|-|-|-|-|-|-|0|\n}");
    Form.LoadItem(*S.Item("t"));
    DropFiles(Form.LinkGroup, {dir.File("a.txt").c_str(), dir.File("b.txt").c_str()});
    EXPECT_EQ(Form.LinkEdit->text().toStdString(), dir.File("a.txt")); // the first of several
    DropFiles(Form.LinkGroup, {dir.File("site.url").c_str()});
    EXPECT_EQ(Form.LinkEdit->text().toStdString(), "HTTP://Example.org/Path");
    DropFiles(Form.LinkGroup, {dir.File("none.url").c_str()}); // no address: the link stays
    EXPECT_EQ(Form.LinkEdit->text().toStdString(), "HTTP://Example.org/Path");

    Form.OpenButton->click();
    EXPECT_EQ(Desktop.Opened, std::vector<std::string>{"HTTP://Example.org/Path"});
    Desktop.SetNextFile(dir.File("site.url"));
    Form.ClearButton->click();
    Form.ShortcutButton->click();
    EXPECT_EQ(Form.LinkEdit->text().toStdString(), "HTTP://Example.org/Path");
    EXPECT_FALSE(Desktop.Dialogs.back().MustExist);
    Desktop.FolderAnswers.push_back(dir.Path());
    Form.FolderButton->click();
    EXPECT_EQ(Form.LinkEdit->text().toStdString(), dir.Path());
    Form.FolderButton->click(); // cancelled: nothing changes
    EXPECT_EQ(Form.FolderDialog1->Folder, dir.Path());
    EXPECT_EQ(Form.LinkEdit->text().toStdString(), dir.Path());
}

TEST(DropDst, OneCallPerDropInOrderAndNoneWithoutAHandler) {
    QWidget w;
    TDropDst drop(&w);
    drop.SetControl(&w);
    EXPECT_TRUE(w.acceptDrops());
    DropFiles(&w, {"/tmp/x"}); // no handler: accepted, nothing called
    std::vector<std::vector<std::string>> calls;
    drop.OnFileDrop = [&](TDropDst*, const std::vector<std::string>& f, int, int) { calls.push_back(f); };
    DropFiles(&w, {"/tmp/1", "/tmp/2", "/tmp/3"});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], (std::vector<std::string>{"/tmp/1", "/tmp/2", "/tmp/3"}));
    drop.SetAcceptDrop(false);
    EXPECT_FALSE(w.acceptDrops());
    drop.SetAcceptDrop(true);
    EXPECT_TRUE(w.acceptDrops());
    QWidget other;
    drop.SetControl(&other); // the first widget is let go
    EXPECT_FALSE(w.acceptDrops());
    EXPECT_TRUE(other.acceptDrops());
    TDropDst orphan;
    EXPECT_THROW(orphan.SetTarget(htForm), EQuilloError);
}

TEST(URLLabel, LightsUpOpensOnlyWhenExecutableAndRecoversFromADragOff) {
    TScriptedDesktop desktop;
    TURLLabel label(desktop, "https://example.org/");
    label.resize(150, 20);
    const QColor normal = label.FontColor();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&label, &enter);
    EXPECT_EQ(label.FontColor(), QColor(0, 255, 255));
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(label.FontColor(), QColor(255, 0, 0));
    EXPECT_TRUE(desktop.Opened.empty());                             // not Executable
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(500, 5)); // released off the label
    EXPECT_EQ(label.FontColor(), normal);
    label.Executable = true;
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(desktop.Opened, std::vector<std::string>{"https://example.org/"});

    TAboutBox about(desktop);
    EXPECT_TRUE(about.HomePage()->Executable);
    EXPECT_EQ(about.findChild<QLabel*>("Version")->text().toStdString(), "ver " QUILLO_TEST_VERSION);
    EXPECT_NE(about.findChild<QLabel*>("Notice")->text().indexOf("GPL v3"), -1);
    EXPECT_EQ(about.HomePage()->text().toStdString(), kLicensePage);
    // Every text is shown whole inside its panel.
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        const QWidget* panel = label->parentWidget();
        EXPECT_LE(label->geometry().right(), panel->contentsRect().right()) << label->text().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    }
}

namespace {
// The property dialog as the item commands open it, without the main window.
struct TWindowDialog : ::testing::Test {
    TMainParts P{kToday};
    TMainSettings Places;
    TItemCommands Items{*P.Context, Places, [] { return kToday; }};
    TWindowDialog() { P.Open(Tabs("D|2024|5|3\n{\nF|Work||+\n{\nI|Report|0|2024|5|1|2024|5|9|0|\n}\n}\n")); }
    // Runs `step` on the dialog once it is up, then closes it with OK or cancel.
    void WhenShown(std::function<void(TFormProperty&)> step, bool ok) {
        QTimer::singleShot(0, [step, ok] {
            auto* d = qobject_cast<TFormProperty*>(QApplication::activeModalWidget());
            ASSERT_TRUE(d);
            step(*d);
            (ok ? d->OkButton : d->CancelButton)->click();
        });
    }
};
} // namespace

TEST_F(TWindowDialog, OkAppliesCancelLeavesAndThePlaceIsRemembered) {
    TTreeNode* report = P.Node("Report");
    P.Select(report); // as the idle loop would
    WhenShown([](TFormProperty& d) { d.NameEdit->setText("changed"); }, false);
    P.Trigger("ActionItemProperty");
    EXPECT_EQ(report->Text(), "Report");
    EXPECT_FALSE(P.Document.Modified());

    WhenShown(
        [](TFormProperty& d) {
            EXPECT_TRUE(d.NameEdit->hasFocus() || QApplication::focusWidget() == nullptr);
            EXPECT_EQ(d.Pages->currentWidget(), d.MemoPage);
            d.BeginCalendar->setSelectedDate(QDate(2024, 5, 2));
            d.move(40, 50);
        },
        true);
    P.Trigger("ActionItemProperty");
    EXPECT_EQ(report->Data()->BeginDate, D(2024, 5, 2));
    EXPECT_TRUE(P.Document.Modified());
    EXPECT_EQ(report->SubItems()->Text(0), "2024/05/02(木)"); // refreshed
    EXPECT_EQ(Places.PropX, 40);
    EXPECT_EQ(Places.PropY, 50);

    P.Select(P.Document.Root()); // the root has no properties
    EXPECT_FALSE(P.Action("ActionItemProperty")->isEnabled());
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Printing from the window: the choices start at the chart's days, a PDF is written whole or not
// at all, the preview shows the pages the layout made, and the schedule is left as it was.
#include "base/Cp932.h"
#include "base/Exceptions.h"
#include "main/MainPrint.h"
#include "model/ScheduleFormat.h"
#include "print/PrintOptionsDialog.h"
#include "ui/MainParts.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quillo;
using namespace quillo::test;

namespace {
const TDate kToday = D(2024, 5, 3);

struct TPrintWindow : ::testing::Test {
    TMainParts P{kToday};
    std::vector<TPrintChoice> Asked;
    std::vector<QPageLayout> AskedPages;
    std::function<bool(TPrintChoice&, QPageLayout*)> Answer = [](TPrintChoice&, QPageLayout*) { return true; };
    std::unique_ptr<TMainPrint> Print;

    // `preview` empty: the real preview dialog.
    void Make(TMainPrint::TPreview preview = {}) {
        Print = std::make_unique<TMainPrint>(
            *P.Context,
            [this](TPrintChoice& c, QPageLayout* page) {
                Asked.push_back(c);
                if (page) AskedPages.push_back(*page);
                return Answer(c, page);
            },
            std::move(preview));
        P.Commands->Update();
    }
    TPrintWindow() {
        P.Open(
            Utf8ToCp932Lossy(Tabs("D|2024|5|3\nA-\n{\nF|開いたフォルダ||+\n{\nI|見積り|0|2024|5|1|2024|5|9|0|\n}\n"
                                  "F|閉じたフォルダ||-\n{\nI|隠れた予定|0|2024|5|2|2024|5|6|0|%mb;memo%me;\n}\n}\n")));
        P.Commands->Update();
    }
    TTreeNode* Node(const char* name) const { return P.Node(Utf8ToCp932Lossy(name)); }
    std::string Lines() const {
        std::string s;
        WriteItemLines(P.Document.Root(), s);
        return s;
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(P.Dir.Path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string PdfText(const std::string& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QString::fromStdString(path), QStringLiteral("-")});
    p.waitForFinished();
    return p.readAllStandardOutput().toStdString();
}
} // namespace

TEST_F(TPrintWindow, APdfOfEverythingOpenLeavesTheScheduleAsItWas) {
    Make();
    Answer = [](TPrintChoice& c, QPageLayout* page) {
        c.AllOpen = true;
        page->setOrientation(QPageLayout::Portrait);
        return true;
    };
    const std::string before = Lines();
    const auto cells = Node("隠れた予定")->Data()->DayCells;
    P.Desktop.SetNextFile(P.Dir.File("plan.pdf"));
    ASSERT_TRUE(P.Action("ActionFileExportPdf")->isEnabled());
    P.Trigger("ActionFileExportPdf");

    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].From, P.Chart.ChartDate()); // the chart's own days
    EXPECT_EQ(Asked[0].Days, kChartDays);
    ASSERT_EQ(AskedPages.size(), 1u);
    EXPECT_EQ(AskedPages[0].pageSize().id(), QPageSize::A4);
    EXPECT_EQ(AskedPages[0].orientation(), QPageLayout::Landscape);
    EXPECT_EQ(P.Desktop.Dialogs.back().DefaultExt, "pdf");
    EXPECT_TRUE(P.Desktop.Shown.empty());
    EXPECT_EQ(ReadFile(P.Dir.File("plan.pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(Files(), (std::vector<std::string>{"plan.pdf", "plan.qlp"})); // no temporary file left

    // Opened for the paper only: no open mark, no cell, no modified mark, no undo step.
    EXPECT_EQ(Lines(), before);
    EXPECT_FALSE(Node("閉じたフォルダ")->Expanded());
    EXPECT_EQ(Node("隠れた予定")->Data()->DayCells, cells);
    EXPECT_FALSE(P.Document.Modified());
    EXPECT_FALSE(P.Document.History.CanUndo());
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        const std::string text = PdfText(P.Dir.File("plan.pdf"));
        EXPECT_NE(text.find("隠れた予定"), std::string::npos) << text;
        EXPECT_NE(text.find("1 / 2 ページ"), std::string::npos) << "portrait: a second page across";
    }

    // The next time the paper is the one chosen last; the days are the chart's again.
    P.Chart.SetChartDate(kToday + 30);
    Answer = [](TPrintChoice& c, QPageLayout*) {
        c.AllOpen = false;
        return true;
    };
    P.Desktop.SetNextFile(P.Dir.File("plan.pdf"));
    P.Trigger("ActionFileExportPdf");
    EXPECT_EQ(Asked[1].From, kToday + 30);
    EXPECT_TRUE(Asked[1].AllOpen) << "the rows' choice is remembered";
    EXPECT_EQ(AskedPages[1].orientation(), QPageLayout::Portrait);
    if (!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        EXPECT_EQ(PdfText(P.Dir.File("plan.pdf")).find("隠れた予定"), std::string::npos);
    }
}

TEST_F(TPrintWindow, ACancelledOrFailedExportWritesNothingAndSaysWhy) {
    Make();
    Answer = [](TPrintChoice&, QPageLayout*) { return false; };
    P.Trigger("ActionFileExportPdf");
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_TRUE(P.Desktop.Dialogs.empty()) << "no file asked for after a cancel";
    Answer = [](TPrintChoice&, QPageLayout*) { return true; };
    P.Trigger("ActionFileExportPdf"); // the file dialog cancelled
    EXPECT_TRUE(P.Desktop.Shown.empty());

    WriteFile(P.Dir.File("old.pdf"), "old");
    std::filesystem::create_directory(P.Dir.File("taken.pdf")); // a folder is no file to replace
    P.Desktop.SetNextFile(P.Dir.File("taken.pdf"));
    P.Trigger("ActionFileExportPdf");
    ASSERT_EQ(P.Desktop.Shown.size(), 1u);
    EXPECT_EQ(P.Desktop.Shown[0].Type, mtError);
    EXPECT_NE(P.Desktop.Shown[0].Text.find("taken.pdf の保存に失敗しました。"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(P.Dir.File("taken.pdf")));
    EXPECT_EQ(Files(), (std::vector<std::string>{"old.pdf", "plan.qlp", "taken.pdf"}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass stayed";

    // The schedule itself, here by a second name, is never replaced by its picture.
    ASSERT_EQ(P.Document.FileName, P.Dir.File("plan.qlp"));
    const std::string schedule = ReadFile(P.Dir.File("plan.qlp"));
    std::filesystem::create_hard_link(P.Dir.File("plan.qlp"), P.Dir.File("same.pdf"));
    P.Desktop.SetNextFile(P.Dir.File("same.pdf"));
    P.Trigger("ActionFileExportPdf");
    ASSERT_EQ(P.Desktop.Shown.size(), 2u);
    EXPECT_NE(P.Desktop.Shown[1].Text.find("編集中の予定表"), std::string::npos) << P.Desktop.Shown[1].Text;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(QString::fromStdString(P.Dir.File("plan.qlp")));
    EXPECT_THROW(Print->PaintRequested(printer), ESaveError);
    EXPECT_EQ(ReadFile(P.Dir.File("plan.qlp")), schedule);
    std::filesystem::remove(P.Dir.File("same.pdf"));

    P.Document.Close();
    P.Commands->Update();
    EXPECT_FALSE(P.Action("ActionFilePrint")->isEnabled());
    EXPECT_FALSE(P.Action("ActionFileExportPdf")->isEnabled());
}

// The real preview dialog: it asks for the pages, which are laid out once for its paper.
TEST_F(TPrintWindow, ThePreviewShowsThePagesAndAPrintToAFileIsWrittenWhole) {
    Make();
    int shown = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        shown = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
        dialog->reject();
    });
    P.Trigger("ActionFilePrint");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Print->PaintedPages(), 1);
    EXPECT_TRUE(P.Desktop.Shown.empty());

    // The print dialog's "print to file": the program writes the PDF itself, through a temporary file.
    // A file replaced by a rename is a new file; one Qt wrote into would be the old one.
    WriteFile(P.Dir.File("printed.pdf"), "old");
    struct stat before {
    }, after{};
    ASSERT_EQ(stat(P.Dir.File("printed.pdf").c_str(), &before), 0);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFileName(QString::fromStdString(P.Dir.File("printed.pdf")));
    Print->PaintRequested(printer);
    EXPECT_EQ(ReadFile(P.Dir.File("printed.pdf")).substr(0, 5), "%PDF-");
    ASSERT_EQ(stat(P.Dir.File("printed.pdf").c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(Files(), (std::vector<std::string>{"plan.qlp", "printed.pdf"}));
}

TEST(PrintOptionsDialog, ShowsTheChoiceAndGivesBackWhatWasChanged) {
    TPrintChoice choice{D(2024, 4, 26), 60, false, true};
    QPageLayout page(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10));
    TPrintOptionsDialog dialog(choice, &page, D(2024, 4, 26));
    EXPECT_EQ(dialog.FromEdit->date(), QDate(2024, 4, 26));
    EXPECT_EQ(dialog.DaysEdit->value(), 60);
    EXPECT_TRUE(dialog.RowsAsShown->isChecked() && dialog.FitWidth->isChecked() && dialog.Landscape->isChecked());

    dialog.FromEdit->setDate(QDate(2024, 1, 1));
    dialog.DaysEdit->setValue(366);
    dialog.RowsAllOpen->setChecked(true);
    dialog.KeepWidth->setChecked(true);
    dialog.PaperSize->setCurrentIndex(dialog.PaperSize->findText(QPageSize::name(QPageSize::A3)));
    dialog.Portrait->setChecked(true);
    const TPrintChoice c = dialog.Choice();
    EXPECT_EQ(c.From, D(2024, 1, 1));
    EXPECT_EQ(c.Days, 366);
    EXPECT_TRUE(c.AllOpen && !c.FitWidth);
    EXPECT_EQ(dialog.Page().pageSize().id(), QPageSize::A3);
    EXPECT_EQ(dialog.Page().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(dialog.Page().margins(), page.margins());

    // The last day printed stays one a schedule can hold; the chart's days come back with a click.
    dialog.FromEdit->setDate(QDate(9999, 12, 1));
    EXPECT_EQ(dialog.DaysEdit->value(), 31);
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text().startsWith(QStringLiteral("チャート"))) b->click();
    EXPECT_EQ(dialog.FromEdit->date(), QDate(2024, 4, 26));
    EXPECT_EQ(dialog.DaysEdit->value(), kChartDays);

    // For the printer the paper is its own dialog's.
    TPrintOptionsDialog forPrinter(choice, nullptr, D(2024, 4, 26));
    EXPECT_EQ(forPrinter.PaperSize, nullptr);
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Benchmark: importing hostile iCalendar files into the holidays dialog, from the file dialog's
// answer to the filled list: 100 000 yearly events, 50 000 single dates, one 10 MB line, and
// 100 000 yearly rules with a count from year 1. One case per run, so that /usr/bin/time -v
// gives each its peak memory. Run with QT_QPA_PLATFORM=offscreen:
//   holiday_import_bench yearly|single|longline|counted
#include "base/Desktop.h"
#include "dialogs/FormHolidays.h"
#include "model/Calendar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace quillo;

namespace {
class TBenchDesktop : public IDesktop {
public:
    std::string File, Shown;
    void Sound(TSound) override {}
    TMsgResult MessageBox(const std::string& text, TMsgType, unsigned) override {
        Shown = text;
        return mrOK;
    }
    std::string FileDialog(const TFileDialog&) override { return File; }
    std::string FolderDialog(const std::string&, const std::string&, const std::string&) override { return ""; }
    void OpenDocument(const std::string&) override {}
    std::string ClipboardText() override { return ""; }
    void SetClipboardText(const std::string&) override {}
};

std::string Date(int days) {
    const auto d = std::chrono::sys_days{std::chrono::year{1900} / 1 / 1} + std::chrono::days{days};
    const std::chrono::year_month_day ymd{d};
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()));
    return buf;
}

void Write(const std::string& path, const std::string& kind) {
    std::ofstream out(path, std::ios::binary);
    out << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//bench//EN\r\n";
    auto event = [&](int i, const std::string& start, const char* rule) {
        out << "BEGIN:VEVENT\r\nUID:" << i << "@bench\r\nDTSTAMP:20240101T000000Z\r\nDTSTART;VALUE=DATE:" << start
            << "\r\nSUMMARY:Holiday " << i << "\r\n";
        if (rule) out << "RRULE:" << rule << "\r\n";
        out << "END:VEVENT\r\n";
    };
    if (kind == "yearly")
        for (int i = 0; i < 100000; ++i)
            event(i, Date(i % 36500), "FREQ=YEARLY");
    if (kind == "single")
        for (int i = 0; i < 50000; ++i)
            event(i, Date(i), nullptr);
    if (kind == "counted")
        for (int i = 0; i < 100000; ++i)
            event(i, "0001" + Date(i % 365).substr(4), "FREQ=YEARLY;COUNT=100000");
    if (kind == "longline")
        out << "BEGIN:VEVENT\r\nUID:1@bench\r\nDTSTART;VALUE=DATE:20240503\r\nSUMMARY:" << std::string(10u << 20, 'x')
            << "\r\nEND:VEVENT\r\n";
    out << "END:VCALENDAR\r\n";
}
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const std::string kind = argc > 1 ? argv[1] : "yearly";
    const std::string dir = std::filesystem::temp_directory_path() / "quillo-holiday-bench";
    std::filesystem::create_directories(dir);
    TBenchDesktop desktop;
    desktop.File = dir + "/" + kind + ".ics";
    Write(desktop.File, kind);
    TCalendar calendar;
    TFormHolidays form(desktop, calendar, 45415); // 2024-05-03
    QElapsedTimer timer;
    timer.start();
    form.ImportDates();
    std::printf("%-9s %8.2f s  %6d dates listed  (%s)\n", kind.c_str(), timer.nsecsElapsed() / 1e9,
                form.Lists[2]->count(), desktop.Shown.c_str());
    std::filesystem::remove_all(dir);
    return 0;
}

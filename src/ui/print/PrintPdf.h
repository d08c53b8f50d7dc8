// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart as a PDF: painted into memory, then written through a temporary file beside the
// target like every file the program writes; and the command line that makes one without a window.
#include <QByteArray>
#include <QPageLayout>
#include <iosfwd>
#include <string>
#include <vector>

namespace quillo {

class TClock;
struct TPrintContent;
struct TPrintPdfArgs;

QPageLayout DefaultPageLayout(); // A4 landscape

QByteArray ChartPdf(const TPrintContent& content, const QPageLayout& layout, bool fitWidth);
// Throws EFileWriteError; the old file, if any, is then untouched.
void WriteChartPdf(const std::string& path, const TPrintContent& content, const QPageLayout& layout, bool fitWidth);

// Exit statuses of `quillo --print-pdf`, as quillo-cli's where they mean the same.
enum TPrintPdfExit { peOk = 0, peBadLine = 1, peUnreadable = 2, peUsage = 64, peNotWritten = 74 };

// `quillo --print-pdf ...` with its arguments (without the program's name): starts Qt without a
// display, takes no single-instance lock and writes no setting.
int RunPrintPdf(int& argc, char** argv, const std::vector<std::string>& args);
// The work of it once Qt runs: the settings and holidays of `configDir` read only, the schedule
// evaluated for the clock's day, the PDF written. Messages go to `err`.
int PrintPdf(const TPrintPdfArgs& args, const TClock& clock, const std::string& configDir, std::ostream& err);

} // namespace quillo

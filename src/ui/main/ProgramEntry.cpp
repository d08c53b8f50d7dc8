// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ProgramEntry.h"

#include "base/Clock.h"
#include "desktop/QtDesktop.h"
#include "main/FormMain.h"
#include "main/Handover.h"
#include "main/Images.h"
#include "main/MainContext.h"
#include "main/MainTray.h"
#include "model/Document.h"
#include "settings/ConfigPaths.h"
#include "shell/CommandLine.h"
#include "shell/InstanceLock.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdlib>
#include <filesystem>

namespace quillo {

const char* const kSecondInstanceText =
    "Quilloは一度に一つのファイルしか開く事ができません。\r\nあしからずご了承ください";

namespace {
constexpr int kHandoverTimeoutMs = 4000;

// The schedule a copy was started with, as the running copy (whose working folder may differ) can find it.
std::string ScheduleArgument(const std::vector<std::string>& args) {
    const TCommandLine line = ParseCommandLine(args);
    if (!line.File || line.File->empty()) return {};
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(*line.File, ec);
    return ec ? *line.File : absolute.string();
}

// For the start-up benchmark: the process ends once the window has been drawn.
class TExitAfterFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) QTimer::singleShot(0, [] { std::_Exit(0); });
        return QObject::eventFilter(watched, event);
    }
};

// The running copy's answer to a second one: forward, out of the tray, then the schedule through
// the normal Open. A modal dialog in front is finished first.
void TakeRequest(TFormMain& window, const std::string& schedule) {
    window.Tray().ComeForward();
    if (schedule.empty()) return;
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(500, &window, [&window, schedule] { TakeRequest(window, schedule); });
        return;
    }
    window.Run([&] { window.Shared().Files.OpenRequested(schedule); });
    window.UpdateActions();
}
} // namespace

int RunProgram(QApplication& app, const std::vector<std::string>& args) {
    // Fixed before the first window: it is every window's X11 class, which the desktop entry names.
    QApplication::setApplicationName(QStringLiteral("quillo"));
    // Calendars and date edits speak Japanese whatever the environment says, as the rest does.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // Qt's own dialogs and context menus speak the program's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    TQtDesktop desktop;

    TInstanceLock lock;
    std::string error;
    const std::string runtime = RuntimeDirectory(&error);
    const TInstanceLock::TResult held =
        runtime.empty() ? TInstanceLock::ilFailed : lock.Acquire(runtime + "/" + kInstanceName + ".lock", error);
    const std::string socketPath = runtime + "/" + kInstanceName + ".socket";
    if (held == TInstanceLock::ilHeldElsewhere && HandOver(socketPath, ScheduleArgument(args), kHandoverTimeoutMs))
        return 0;
    if (held != TInstanceLock::ilAcquired) {
        // A second copy that was not answered, or no guard to be had: no window, and no setting touched.
        desktop.Sound(sndError);
        desktop.MessageBox(held == TInstanceLock::ilHeldElsewhere ? kSecondInstanceText : error, mtError, mbAbort);
        return 1;
    }

    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quillo.quillo")); // the AppStream id
    const std::string configDir = ConfigDirectory();
    std::error_code ec;
    std::filesystem::create_directories(configDir, ec);
    TFormMain window(desktop, DefaultClock(), SettingsFileIn(configDir));
    desktop.SetParent(&window);
    desktop.SetSchedulePath([&window] { return window.Shared().Document.FileName; });
    // A window hidden in the tray is not a closed one: the program ends when the window closes.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &TFormMain::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
    // Listening before the schedule is read: a request waits for the event loop, not for a retry.
    THandoverServer handover(socketPath, [&window](const std::string& schedule) { TakeRequest(window, schedule); });
    window.FormCreate(args);
    TExitAfterFirstPaint exitAfterPaint;
    if (qEnvironmentVariableIsSet("QUILLO_EXIT_AFTER_FIRST_PAINT")) window.installEventFilter(&exitAfterPaint);
    window.ShowAtStart();
    return app.exec();
}

} // namespace quillo

// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/ProgramEntry.h"

#include "base/Clock.h"
#include "desktop/QtDesktop.h"
#include "main/FormMain.h"
#include "main/Images.h"
#include "settings/ConfigPaths.h"
#include "shell/InstanceLock.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <filesystem>

namespace quillo {

const char* const kSecondInstanceText =
    "Quilloは一度に一つのファイルしか開く事ができません。\r\nあしからずご了承ください";

int RunProgram(QApplication& app, const std::vector<std::string>& args) {
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
    if (held != TInstanceLock::ilAcquired) {
        // A second copy, or no guard to be had: no window, and no setting touched.
        desktop.Sound(sndError);
        desktop.MessageBox(held == TInstanceLock::ilHeldElsewhere ? kSecondInstanceText : error, mtError, mbAbort);
        return 1;
    }

    QApplication::setApplicationName(QStringLiteral("Quillory Plan"));
    QApplication::setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quillo.quillo")); // the AppStream id
    const std::string configDir = ConfigDirectory();
    std::error_code ec;
    std::filesystem::create_directories(configDir, ec);
    TFormMain window(desktop, DefaultClock(), SettingsFileIn(configDir));
    desktop.SetParent(&window);
    // A window hidden in the tray is not a closed one: the program ends when the window closes.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &TFormMain::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
    window.FormCreate(args);
    window.ShowAtStart();
    return app.exec();
}

} // namespace quillo

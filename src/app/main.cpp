#include "base/Clock.h"
#include "base/FileNames.h"
#include "desktop/QtDesktop.h"
#include "main/FormMain.h"
#include "settings/ConfigPaths.h"
#include "shell/CommandLine.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory Plan"));
    // Qt's own dialogs and context menus speak the program's language.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    const std::string configDir = quillo::ConfigDirectory();
    std::error_code ec;
    std::filesystem::create_directories(configDir, ec);
    quillo::TQtDesktop desktop;
    quillo::TFormMain window(desktop, quillo::DefaultClock(), quillo::SettingsFileIn(configDir));
    desktop.SetParent(&window);
    window.show();
    const quillo::TCommandLine line = quillo::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    std::string file = line.File.value_or("");
    if (const std::string longPath = quillo::ExpandLongPath(file); !longPath.empty()) file = longPath;
    window.StartWith(file);
    return app.exec();
}

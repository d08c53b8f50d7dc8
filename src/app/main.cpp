#include "app/CommandLine.h"
#include "app/ConfigPaths.h"
#include "app/FormMain.h"
#include "app/QtDesktop.h"
#include "base/Clock.h"
#include "controls/FileNames.h"

#include <QApplication>
#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory Plan"));
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

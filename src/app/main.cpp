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
    // The first argument that is not a switch names the schedule to open.
    std::string file;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (!a.empty() && (a[0] == '-' || a[0] == '/')) continue;
        file = a.empty() ? a : quillo::ExpandLongPath(a).empty() ? a : quillo::ExpandLongPath(a);
        break;
    }
    window.StartWith(file);
    return app.exec();
}

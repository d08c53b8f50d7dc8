// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ShellFolder.h"

#include "base/FileNames.h"

#include <cstdlib>
#include <fstream>

namespace quillo {

namespace {
// XDG_DESKTOP_DIR from user-dirs.dirs, the file xdg-user-dirs maintains.
std::string DesktopDir() {
    const char* h = std::getenv("HOME");
    if (!h || !*h) return "";
    const std::string home = h;
    std::string result = home + "/Desktop";
    std::ifstream in(ConfigHome() + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        const std::string key = "XDG_DESKTOP_DIR=";
        if (line.rfind(key, 0) != 0) continue;
        std::string v = line.substr(key.size());
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.rfind("$HOME", 0) == 0) v = home + v.substr(5);
        if (!v.empty() && v[0] == '/') result = v;
    }
    return result;
}
} // namespace

std::string GetShellFolder(int kind) {
    std::string dir;
    switch (kind) {
    case sfDesktop:
        dir = DesktopDir();
        break;
    case sfStartMenu:
    case sfPrograms: {
        std::string data = DataHome();
        if (!data.empty()) dir = data + "/applications";
        break;
    }
    case sfStartup: {
        std::string config = ConfigHome();
        if (!config.empty()) dir = config + "/autostart";
        break;
    }
    default:
        return "";
    }
    if (dir.empty() || dir == "/") return "";
    return AddPathDelimiter(dir);
}

} // namespace quillo

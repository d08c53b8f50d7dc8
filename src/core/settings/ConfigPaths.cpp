// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ConfigPaths.h"

#include "base/FileNames.h"

#include <cstdlib>
#include <unistd.h>

namespace quillo {

std::string ProgramFilePath() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

std::string ConfigDirectory() {
    if (const char* v = std::getenv("QUILLO_CONFIG_DIR"); v && *v) return v;
    std::string program = ProgramFilePath();
    if (!program.empty()) {
        std::string beside = ExtractFileDir(program);
        if (IsRegularFile(SettingsFileIn(beside))) return beside;
    }
    const std::string config = ConfigHome();
    return (config.empty() ? std::string("./.config") : config) + "/quillo";
}

std::string SettingsFileIn(const std::string& dir) {
    return AddPathDelimiter(dir) + "quillo.ini";
}
std::string HolidaysFileIn(const std::string& dir) {
    return AddPathDelimiter(dir) + "quillo.hld";
}

} // namespace quillo

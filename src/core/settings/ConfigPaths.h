// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the settings and holidays files live on this desktop.
#include <string>

namespace quillo {

std::string ProgramFilePath(); // this process's executable

// QUILLO_CONFIG_DIR when set; else the program's own folder when a quillo.ini stands there
// (a portable copy); else $XDG_CONFIG_HOME/quillo (~/.config/quillo).
std::string ConfigDirectory();

std::string SettingsFileIn(const std::string& dir); // <dir>/quillo.ini
std::string HolidaysFileIn(const std::string& dir); // <dir>/quillo.hld

} // namespace quillo

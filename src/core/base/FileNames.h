// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File-name helpers.
#include <string>
#include <vector>

namespace quillo {

std::string AddPathDelimiter(const std::string& path);
std::string ExtractFileDir(const std::string& path);  // without the trailing "/"
std::string ExtractFileName(const std::string& path); // last component
// The last component without its extension; a name's leading dot starts no extension (".plan").
std::string ExtractFileStem(const std::string& path);
std::string ChangeFileExt(const std::string& path, const std::string& ext);
bool IsRegularFile(const std::string& path);       // links followed
bool IsDirectory(const std::string& path);         // links followed
bool RemoveFileIfPresent(const std::string& path); // true when the file is gone, also when it never was
// Both name one existing file, through links, other spellings or hard links.
bool SameFile(const std::string& a, const std::string& b);

// $XDG_CONFIG_HOME and $XDG_DATA_HOME, else their defaults below $HOME; empty when neither is set.
std::string ConfigHome();
std::string DataHome();

// Absolute, normalised path of an existing regular file (links kept as named); empty otherwise.
std::string ExpandLongPath(const std::string& path);

// Creates a new empty file "<first 3 chars of prefix><hex>.tmp" in the folder and returns its
// name; empty when none could be made (missing folder, no permission, a path over PATH_MAX).
std::string MakeTempFileName(const std::string& directory, const std::string& prefix);

// A base-directory variable ($XDG_CONFIG_HOME and its kin): its value when it is an absolute path;
// empty when unset, empty or relative, which the base-directory rules say to ignore.
std::string XdgDirVariable(const char* name);
// A list variable ($XDG_DATA_DIRS, $XDG_CONFIG_DIRS): its absolute entries, or those of `fallback`
// when it is unset or empty.
std::vector<std::string> XdgDirsVariable(const char* name, const std::string& fallback);

} // namespace quillo

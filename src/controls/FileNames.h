#pragma once
// File-name helpers and the user's special folders on a freedesktop system.
#include <string>

namespace quillo {

enum TShellFolderKind {
    sfNone = 0,
    sfDesktop = 1,
    sfStartMenu = 2,
    sfStartup = 3,
    sfSendTo = 4,
    sfFavorites = 5,
    sfPrograms = 6
};

// The folder ending in "/", or empty when this desktop has no such folder or it cannot be found.
std::string GetShellFolder(int kind);

std::string AddPathDelimiter(const std::string& path);
std::string ExtractFileDir(const std::string& path);  // without the trailing "/"
std::string ExtractFileName(const std::string& path); // last component
std::string ChangeFileExt(const std::string& path, const std::string& ext);
bool FileExists(const std::string& path); // a regular file (links followed)
bool IsRegularFile(const std::string& path);

// Absolute, normalised path of an existing regular file (links kept as named); empty otherwise.
std::string ExpandLongPath(const std::string& path);

// Creates a new empty file "<first 3 chars of prefix><hex>.tmp" in the folder and returns its
// name; empty when none could be made (missing folder, no permission, name over 260 characters).
std::string MakeTempFileName(const std::string& directory, const std::string& prefix);

} // namespace quillo

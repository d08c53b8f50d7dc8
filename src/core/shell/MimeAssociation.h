// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ".qlp" association on a freedesktop desktop: a MIME type of the program's own that claims
// "*.qlp" (a shared-mime-info package in the user's data folder), a desktop entry that opens it,
// and that entry as the type's default in the user's mimeapps.list.
#include <optional>
#include <string>
#include <vector>

namespace quillo {

extern const char* const kScheduleMimeType;  // application/x-quilloryplan-schedule
extern const char* const kScheduleClassName; // QuilloryPlan_Schedule_File
extern const char* const kScheduleTypeText;  // QuilloryPlan予定表
extern const char* const kScheduleTypeTextEnglish;

struct TMimePaths {
    std::string DataHome;                // $XDG_DATA_HOME
    std::vector<std::string> DataDirs;   // $XDG_DATA_DIRS
    std::string ConfigHome;              // $XDG_CONFIG_HOME
    std::vector<std::string> ConfigDirs; // $XDG_CONFIG_DIRS
    std::vector<std::string> Desktops;   // $XDG_CURRENT_DESKTOP, lower-cased
    static TMimePaths FromEnvironment();
    std::string PackageFile() const;  // DataHome/mime/packages/QuilloryPlan_Schedule_File.xml
    std::string EntryFile() const;    // DataHome/applications/QuilloryPlan_Schedule_File.desktop
    std::string MimeAppsFile() const; // ConfigHome/mimeapps.list, the one the program writes
    // Where the desktop looks for defaults, first wins: in each config folder, the user's first,
    // "<desktop>-mimeapps.list" for each current desktop, then "mimeapps.list".
    std::vector<std::string> MimeAppsLookup() const;
};

// The MIME types that claim "*.qlp" in the compiled databases (user's first); unreadable
// databases count as claiming nothing.
std::vector<std::string> TypesClaimingQlp(const TMimePaths& paths);
// The default application for our type that the desktop would take, when one is set.
std::optional<std::string> DefaultForScheduleType(const TMimePaths& paths);

// The same type as the installed package describes (data/quillo-mime.xml).
std::string PackageXml();
std::string AssociationEntryText(const std::string& program);
// mimeapps.list with our type's default set (or removed when `entry` is empty); every other
// line stays byte for byte.
std::string WithDefault(const std::string& mimeApps, const std::string& entry);

// Each step false on failure; what was written before stays.
bool WritePackage(const TMimePaths& paths);
bool UpdateMimeDatabase(const TMimePaths& paths); // runs update-mime-database on the user's folder
bool WriteAssociationEntry(const TMimePaths& paths, const std::string& program);
bool SetDefaultEntry(const TMimePaths& paths, bool set);
bool RemovePackage(const TMimePaths& paths); // a missing file counts as removed
bool RemoveAssociationEntry(const TMimePaths& paths);

} // namespace quillo

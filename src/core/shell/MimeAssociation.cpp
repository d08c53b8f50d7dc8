// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/MimeAssociation.h"

#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "shell/MakeShortCut.h"
#include "shell/ShellFolder.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace quillo {

const char* const kScheduleMimeType = "application/x-quilloryplan-schedule";
const char* const kScheduleClassName = "QuilloryPlan_Schedule_File";
const char* const kScheduleTypeText = "QuilloryPlan予定表";
const char* const kScheduleTypeTextEnglish = "Quillory Plan schedule";

namespace {
std::string EntryName() {
    return std::string(kScheduleClassName) + ".desktop";
}

std::vector<std::string> SplitList(const std::string& s, char sep) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= s.size()) {
        const size_t end = s.find(sep, start);
        const std::string part = s.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty()) out.push_back(part);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return out;
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

// The lines of a text with their own endings, so that a rewrite keeps them exactly.
std::vector<std::string> LinesWithEnds(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t nl = text.find('\n', start);
        const size_t end = nl == std::string::npos ? text.size() : nl + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string WithoutEnd(const std::string& line) {
    std::string s = line;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

bool IsOurKey(const std::string& line) {
    const size_t eq = line.find('=');
    return eq != std::string::npos && Trim(line.substr(0, eq)) == kScheduleMimeType;
}
} // namespace

TMimePaths TMimePaths::FromEnvironment() {
    TMimePaths p;
    p.DataHome = quillo::DataHome();
    p.ConfigHome = quillo::ConfigHome();
    p.DataDirs = XdgDirsVariable("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    p.ConfigDirs = XdgDirsVariable("XDG_CONFIG_DIRS", "/etc/xdg");
    const char* desktops = std::getenv("XDG_CURRENT_DESKTOP");
    for (std::string name : SplitList(desktops ? desktops : "", ':')) {
        if (name.find('/') != std::string::npos || name == "." || name == "..") continue; // names, never paths
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        p.Desktops.push_back(name);
    }
    return p;
}

std::vector<std::string> TMimePaths::MimeAppsLookup() const {
    std::vector<std::string> dirs;
    if (!ConfigHome.empty()) dirs.push_back(ConfigHome);
    dirs.insert(dirs.end(), ConfigDirs.begin(), ConfigDirs.end());
    std::vector<std::string> files;
    for (const std::string& dir : dirs) {
        for (const std::string& desktop : Desktops)
            files.push_back(dir + "/" + desktop + "-mimeapps.list");
        files.push_back(dir + "/mimeapps.list");
    }
    return files;
}

std::string TMimePaths::PackageFile() const {
    return DataHome + "/mime/packages/" + kScheduleClassName + ".xml";
}

std::string TMimePaths::EntryFile() const {
    return DataHome + "/applications/" + EntryName();
}

std::string TMimePaths::MimeAppsFile() const {
    return ConfigHome + "/mimeapps.list";
}

std::vector<std::string> TypesClaimingQlp(const TMimePaths& paths) {
    std::vector<std::string> types;
    std::vector<std::string> dirs;
    if (!paths.DataHome.empty()) dirs.push_back(paths.DataHome);
    dirs.insert(dirs.end(), paths.DataDirs.begin(), paths.DataDirs.end());
    for (const std::string& dir : dirs) {
        std::string text, error;
        if (!ReadWholeFile(dir + "/mime/globs2", text, error, 16u << 20)) continue;
        for (const std::string& raw : LinesWithEnds(text)) {
            const std::string line = WithoutEnd(raw);
            if (line.empty() || line[0] == '#') continue;
            const std::vector<std::string> f = SplitList(line, ':'); // weight:type:glob[:flags]
            if (f.size() < 3 || !SameText(f[2], "*.qlp")) continue;
            if (std::find(types.begin(), types.end(), f[1]) == types.end()) types.push_back(f[1]);
        }
    }
    return types;
}

std::optional<std::string> DefaultForScheduleType(const TMimePaths& paths) {
    for (const std::string& file : paths.MimeAppsLookup()) {
        std::string text, error;
        if (!ReadWholeFile(file, text, error, 16u << 20)) continue;
        bool inDefaults = false;
        for (const std::string& raw : LinesWithEnds(text)) {
            const std::string line = Trim(WithoutEnd(raw));
            if (!line.empty() && line[0] == '[') inDefaults = line == "[Default Applications]";
            if (!inDefaults || !IsOurKey(line)) continue;
            const std::vector<std::string> entries = SplitList(Trim(line.substr(line.find('=') + 1)), ';');
            if (!entries.empty()) return entries.front();
        }
    }
    return std::nullopt;
}

std::string PackageXml() {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                       "  <mime-type type=\"") +
           kScheduleMimeType + "\">\n    <comment>" + kScheduleTypeTextEnglish + "</comment>\n" +
           "    <comment xml:lang=\"ja\">" + kScheduleTypeText + "</comment>\n" +
           "    <generic-icon name=\"x-office-calendar\"/>\n"
           "    <sub-class-of type=\"text/plain\"/>\n    <glob pattern=\"*.qlp\"/>\n"
           "  </mime-type>\n</mime-info>\n";
}

std::string AssociationEntryText(const std::string& program) {
    TMakeShortCut s;
    s.SCFileName = EntryName();
    s.SCExecFile = program;
    s.SCArguments = "%f";
    std::string text = s.EntryText();
    // The field code is the desktop's, not a literal percent sign.
    const std::string escaped = "%%f";
    text.replace(text.rfind(escaped), escaped.size(), "%f");
    return text + "Name[ja]=" + kScheduleTypeText + "\nMimeType=" + kScheduleMimeType +
           ";\nNoDisplay=true\nTerminal=false\n";
}

std::string WithDefault(const std::string& mimeApps, const std::string& entry) {
    std::vector<std::string> lines = LinesWithEnds(mimeApps);
    int section = -1, ours = -1; // the [Default Applications] header and our type's line below it
    for (size_t i = 0; i < lines.size() && ours < 0; ++i) {
        const std::string line = Trim(WithoutEnd(lines[i]));
        if (!line.empty() && line[0] == '[') {
            if (section >= 0) break;
            if (line == "[Default Applications]") section = int(i);
        } else if (section >= 0 && IsOurKey(line)) {
            ours = int(i);
        }
    }
    auto joined = [&] {
        std::string out;
        for (const std::string& l : lines)
            out += l;
        return out;
    };
    if (ours >= 0) {
        std::string& line = lines[size_t(ours)];
        const std::string end = line.substr(WithoutEnd(line).size());
        std::string value = entry.empty() ? "" : entry + ";";
        if (entry.empty()) {
            // Only our entry goes; another program's choice stays as it is written.
            const std::string current = Trim(WithoutEnd(line).substr(line.find('=') + 1));
            bool removed = false;
            for (const std::string& e : SplitList(current, ';'))
                if (e == EntryName())
                    removed = true;
                else
                    value += e + ";";
            if (!removed) return mimeApps;
        }
        if (value.empty())
            lines.erase(lines.begin() + ours);
        else
            line = std::string(kScheduleMimeType) + "=" + value + end;
        return joined();
    }
    std::string out = joined();
    if (entry.empty()) return out;
    if (section >= 0) {
        // Right after the section's header, with the header's line end.
        const std::string& header = lines[size_t(section)];
        const std::string end =
            header.size() > WithoutEnd(header).size() ? header.substr(WithoutEnd(header).size()) : "\n";
        size_t pos = 0;
        for (int i = 0; i <= section; ++i)
            pos += lines[size_t(i)].size();
        if (pos > 0 && out[pos - 1] != '\n') {
            out.insert(pos, "\n");
            ++pos;
        }
        out.insert(pos, std::string(kScheduleMimeType) + "=" + entry + ";" + end);
        return out;
    }
    if (!out.empty() && out.back() != '\n') out += "\n";
    if (!out.empty()) out += "\n";
    return out + "[Default Applications]\n" + kScheduleMimeType + "=" + entry + ";\n";
}

bool WritePackage(const TMimePaths& paths) {
    if (paths.DataHome.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(ExtractFileDir(paths.PackageFile()), ec);
    try {
        WriteFileAtomic(paths.PackageFile(), PackageXml(), "~mime");
    } catch (const EFileWriteError&) {
        return false;
    }
    return true;
}

bool UpdateMimeDatabase(const TMimePaths& paths) {
    if (paths.DataHome.empty()) return false;
    const std::string dir = paths.DataHome + "/mime";
    std::error_code ec;
    std::filesystem::create_directories(dir + "/packages", ec);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string name = "update-mime-database";
    char* argv[] = {name.data(), const_cast<char*>(dir.c_str()), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool WriteAssociationEntry(const TMimePaths& paths, const std::string& program) {
    if (paths.DataHome.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(ExtractFileDir(paths.EntryFile()), ec);
    try {
        WriteFileAtomic(paths.EntryFile(), AssociationEntryText(program), "~mime");
    } catch (const EFileWriteError&) {
        return false;
    }
    return true;
}

bool SetDefaultEntry(const TMimePaths& paths, bool set) {
    if (paths.ConfigHome.empty()) return false;
    std::string text, error;
    const bool exists = IsRegularFile(paths.MimeAppsFile());
    if (exists && !ReadWholeFile(paths.MimeAppsFile(), text, error, 16u << 20)) return false;
    if (!exists && !set) return true;
    const std::string updated = WithDefault(text, set ? EntryName() : "");
    if (exists && updated == text) return true;
    std::error_code ec;
    std::filesystem::create_directories(paths.ConfigHome, ec);
    try {
        WriteFileAtomic(paths.MimeAppsFile(), updated, "~mime");
    } catch (const EFileWriteError&) {
        return false;
    }
    return true;
}

bool RemovePackage(const TMimePaths& paths) {
    return RemoveFileIfPresent(paths.PackageFile());
}

bool RemoveAssociationEntry(const TMimePaths& paths) {
    return RemoveFileIfPresent(paths.EntryFile());
}

} // namespace quillo

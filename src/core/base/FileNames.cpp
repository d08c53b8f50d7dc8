// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/FileNames.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace quillo {

std::string AddPathDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == '/') return path;
    return path + "/";
}

std::string ExtractFileDir(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string ExtractFileName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFileStem(const std::string& path) {
    const std::string name = ExtractFileName(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
    size_t slash = path.rfind('/');
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ext;
    return path.substr(0, dot) + ext;
}

namespace {
// A relative base folder is ignored, as the base directory rules ask; the home's default stands in.
std::string XdgHome(const char* name, const char* belowHome) {
    if (std::string dir = XdgDirVariable(name); !dir.empty()) return dir;
    const char* home = std::getenv("HOME");
    return home && *home ? std::string(home) + belowHome : std::string();
}
} // namespace

std::string ConfigHome() {
    return XdgHome("XDG_CONFIG_HOME", "/.config");
}

std::string DataHome() {
    return XdgHome("XDG_DATA_HOME", "/.local/share");
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return !a.empty() && !b.empty() && ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string ExpandLongPath(const std::string& path) {
    if (!IsRegularFile(path)) return "";
    std::error_code ec;
    fs::path abs = fs::absolute(fs::path(path), ec);
    if (ec) return "";
    std::string normal = abs.lexically_normal().string();
    return IsRegularFile(normal) ? normal : "";
}

std::string MakeTempFileName(const std::string& directory, const std::string& prefix) {
    const std::string stem = AddPathDelimiter(directory.empty() ? "." : directory) + prefix.substr(0, 3);
    std::random_device rd;
    unsigned start = rd() & 0xFFFFu;
    for (unsigned i = 0; i < 0x10000u; ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", (start + i) & 0xFFFFu);
        std::string name = stem + hex + ".tmp";
        if (name.size() >= PATH_MAX) return "";
        int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) return "";
    }
    return "";
}

bool RemoveFileIfPresent(const std::string& path) {
    return std::remove(path.c_str()) == 0 || errno == ENOENT;
}

std::string XdgDirVariable(const char* name) {
    const char* v = std::getenv(name);
    return v && v[0] == '/' ? std::string(v) : std::string();
}

std::vector<std::string> XdgDirsVariable(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    const std::string list = v && *v ? v : fallback;
    std::vector<std::string> dirs;
    for (size_t start = 0; start <= list.size();) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        if (end > start && list[start] == '/') dirs.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return dirs;
}

} // namespace quillo

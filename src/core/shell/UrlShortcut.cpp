// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/UrlShortcut.h"

#include "base/SafeFile.h"
#include "base/StrUtil.h"

#include <algorithm>
#include <cctype>

namespace quillo {

namespace {
std::string Upper(std::string_view s) {
    std::string u(s);
    std::transform(u.begin(), u.end(), u.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return u;
}

bool EndsWithNoCase(const std::string& s, std::string_view tail) {
    return s.size() >= tail.size() && SameText(std::string_view(s).substr(s.size() - tail.size()), tail);
}
} // namespace

std::optional<std::string> UrlOfInternetShortcut(std::string_view text) {
    bool inSection = false;
    for (std::string_view line : SplitLines(text)) {
        const std::string upper = Upper(line);
        if (!inSection) {
            inSection = upper.find("[INTERNETSHORTCUT]") != std::string::npos;
            continue;
        }
        if (const size_t at = upper.find("URL="); at != std::string::npos) return std::string(line.substr(at + 4));
    }
    return std::nullopt;
}

std::optional<std::string> LinkOfFile(const std::string& path) {
    const bool url = EndsWithNoCase(path, ".url"), entry = EndsWithNoCase(path, ".desktop");
    if (!url && !entry) return path;
    std::string text, error;
    if (!ReadWholeFile(path, text, error, 1u << 20)) return url ? std::nullopt : std::optional<std::string>(path);
    if (url) return UrlOfInternetShortcut(text);
    // A desktop entry that is a link stands for its address; one that starts a program, for itself.
    bool inEntry = false, isLink = false;
    std::optional<std::string> address;
    for (std::string_view line : SplitLines(text)) {
        if (!line.empty() && line.front() == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        if (line == "Type=Link") isLink = true;
        if (line.substr(0, 4) == "URL=") address = std::string(line.substr(4));
    }
    return isLink && address ? address : std::optional<std::string>(path);
}

} // namespace quillo

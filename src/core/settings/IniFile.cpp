// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/IniFile.h"

#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"

#include <SimpleIni.h>
#include <algorithm>
#include <cctype>
#include <vector>

namespace quillo {

namespace {
std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// "[name]" → name, or false for any other line.
bool SectionName(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return false;
    size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = Trim(line.substr(1, close - 1));
    return true;
}

bool KeyName(std::string_view line, std::string_view& name) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') return false;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    name = Trim(line.substr(0, eq));
    return !name.empty();
}

// The first section named `section`: its header line and the line after its last, or -1 for
// none. Windows' profile functions read and write that copy alone; a later one is never seen.
std::pair<long, size_t> FirstSection(const std::vector<std::string_view>& lines, std::string_view section) {
    std::string_view name;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!SectionName(lines[i], name) || !SameText(name, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end], name))
            ++end;
        return {static_cast<long>(i), end};
    }
    return {-1, lines.size()};
}
} // namespace

std::string TIniFile::ReadFromText(std::string_view text, const std::string& section, const std::string& key,
                                   const std::string& def) {
    const std::vector<std::string_view> lines = SplitLines(text);
    const auto [header, end] = FirstSection(lines, section);
    if (header < 0) return def;
    std::string own;
    for (size_t i = static_cast<size_t>(header); i < end; ++i)
        (own += lines[i]) += '\n';
    // Of a key written twice, the first is the one the writer changes.
    CSimpleIniA ini(false, /*multiKey=*/true, false);
    if (ini.LoadData(own.data(), own.size()) < 0) return def;
    const char* v = ini.GetValue(section.c_str(), key.c_str(), nullptr);
    if (!v) return def;
    std::string value(v);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (value.size() > kMaxIniValue) value.resize(kMaxIniValue);
    return value;
}

std::string TIniFile::UpdateText(std::string_view text, const std::string& section, const std::string& key,
                                 const std::string& rawValue) {
    // A line break in a value would start a new line of the file.
    std::string value = rawValue.substr(0, std::min(rawValue.find_first_of("\r\n"), rawValue.size()));
    std::vector<std::string> lines;
    for (std::string_view l : SplitLines(text))
        lines.emplace_back(l);
    const std::vector<std::string_view> views(lines.begin(), lines.end());
    const auto [header, end] = FirstSection(views, section);
    if (header < 0) {
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
    } else {
        auto lastContent = static_cast<size_t>(header);
        bool written = false;
        std::string_view name;
        for (size_t i = lastContent + 1; i < end && !written; ++i) {
            if (KeyName(lines[i], name) && SameText(name, key)) {
                lines[i] = std::string(name) + "=" + value; // the file's own spelling of the key
                written = true;
            } else if (!Trim(lines[i]).empty()) {
                lastContent = i;
            }
        }
        if (!written) lines.insert(lines.begin() + static_cast<long>(lastContent) + 1, key + "=" + value);
    }
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
    std::string text, error;
    if (!ReadWholeFile(mPath, text, error)) return def;
    return ReadFromText(text, section, key, def);
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    std::string text, error;
    if (IsRegularFile(mPath) && !ReadWholeFile(mPath, text, error)) throw EQuilloError(mPath + " に書き込めません");
    try {
        WriteFileAtomic(mPath, UpdateText(text, section, key, value), "~in");
    } catch (const EFileWriteError&) {
        throw EQuilloError(mPath + " に書き込めません");
    }
}

} // namespace quillo

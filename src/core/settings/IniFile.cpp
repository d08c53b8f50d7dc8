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
} // namespace

std::string TIniFile::ReadFromText(std::string_view text, const std::string& section, const std::string& key,
                                   const std::string& def) {
    CSimpleIniA ini(false, false, false);
    if (ini.LoadData(text.data(), text.size()) < 0) return def;
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

    long sectionLine = -1, lastContent = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (SectionName(lines[i], name)) {
            if (sectionLine >= 0) break; // end of our section
            if (SameText(name, section)) sectionLine = lastContent = static_cast<long>(i);
            continue;
        }
        if (sectionLine < 0) continue;
        if (!Trim(lines[i]).empty()) lastContent = static_cast<long>(i);
        if (KeyName(lines[i], name) && SameText(name, key)) {
            lines[i] = std::string(name) + "=" + value; // the file's own spelling of the key
            sectionLine = -2;
            break;
        }
    }
    if (sectionLine >= 0) {
        lines.insert(lines.begin() + lastContent + 1, key + "=" + value);
    } else if (sectionLine == -1) {
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
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

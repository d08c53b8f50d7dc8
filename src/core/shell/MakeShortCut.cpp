// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/MakeShortCut.h"

#include "base/FileNames.h"
#include "base/SafeFile.h"
#include "base/StrUtil.h"
#include "shell/ShellFolder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sys/stat.h>

namespace quillo {

const char* const kProgramIconName = "quillo";
const char* const kProgramCategories = "Office;ProjectManagement;";

namespace {
bool EndsWithNoCase(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && SameText(std::string_view(s).substr(s.size() - tail.size()), tail);
}

// A value of type string in a desktop entry: backslash and control characters escaped.
std::string EscapeValue(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string EscapeFieldCodes(const std::string& s) {
    std::string out;
    for (char c : s) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}
} // namespace

std::string TMakeShortCut::QuoteExecArgument(const std::string& arg) {
    static const std::string kReserved = " \t\n\"'\\><~|&;$*?#()`";
    if (!arg.empty() && arg.find_first_of(kReserved) == std::string::npos) return arg;
    std::string out = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string TMakeShortCut::GetFullPath() const {
    std::string name = SCFileName;
    if (EndsWithNoCase(name, ".lnk")) name = name.substr(0, name.size() - 4) + ".desktop";
    switch (SCSystemPath) {
    case tpDesktop:
        return GetShellFolder(sfDesktop).empty() ? "" : GetShellFolder(sfDesktop) + name;
    case tpStartMenu:
        return GetShellFolder(sfStartMenu).empty() ? "" : GetShellFolder(sfStartMenu) + name;
    case tpBlank:
        break;
    }
    return name;
}

std::string TMakeShortCut::EntryText() const {
    std::string name = ExtractFileName(GetFullPath());
    if (EndsWithNoCase(name, ".desktop")) name.resize(name.size() - 8);
    if (name.empty()) name = ExtractFileName(SCExecFile);
    std::string exec = QuoteExecArgument(SCExecFile);
    if (!SCArguments.empty()) exec += " " + SCArguments;
    std::string out = "[Desktop Entry]\nType=Application\n";
    out += "Name=" + EscapeValue(name) + "\n";
    out += "Exec=" + EscapeValue(EscapeFieldCodes(exec)) + "\n";
    // Desktops hide an entry whose TryExec is gone, so a removed program leaves no dead entries.
    if (!SCExecFile.empty()) out += "TryExec=" + EscapeValue(SCExecFile) + "\n";
    if (!SCWorkDir.empty()) out += "Path=" + EscapeValue(SCWorkDir) + "\n";
    if (!SCDescription.empty()) out += "Comment=" + EscapeValue(SCDescription) + "\n";
    // A link shows its target's icon; an entry names it.
    out += std::string("Icon=") + kProgramIconName + "\nCategories=" + kProgramCategories + "\n";
    return out;
}

bool TMakeShortCut::Make() const {
    const std::string path = GetFullPath();
    if (path.empty() || path.back() == '/') return false;
    std::error_code ec;
    std::filesystem::create_directories(ExtractFileDir(path), ec);
    try {
        WriteFileAtomic(path, EntryText(), "~sc");
    } catch (const EFileWriteError&) {
        return false;
    }
    const std::string desktop = GetShellFolder(sfDesktop);
    // Desktops only launch entries on the desktop that are marked executable (trusted).
    if (!desktop.empty() && AddPathDelimiter(ExtractFileDir(path)) == desktop) ::chmod(path.c_str(), 0755);
    return true;
}

} // namespace quillo

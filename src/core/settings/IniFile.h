// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// INI files in the shape Windows' profile functions read and write: CRLF lines, key=value,
// names matched without regard to letter case, everything else in the file left as it was.
#include <string>
#include <string_view>

namespace quillo {

constexpr size_t kMaxIniValue = 2047;

class TIniFile {
public:
    explicit TIniFile(std::string path) : mPath(std::move(path)) {}
    const std::string& FileName() const { return mPath; }

    // Opens the file anew on every call; the default when the file, section or key is missing.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // Throws EQuilloError "<path> に書き込めません" when the file cannot be written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Lookup and one-line replacement on file text; the file I/O above is built on these.
    static std::string ReadFromText(std::string_view text, const std::string& section, const std::string& key,
                                    const std::string& def);
    static std::string UpdateText(std::string_view text, const std::string& section, const std::string& key,
                                  const std::string& value);

private:
    std::string mPath;
};

} // namespace quillo

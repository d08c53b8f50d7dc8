// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillo {

// Fields separated by one tab each; a trailing tab does not make an empty last field.
// An empty line has no fields.
std::vector<std::string_view> SplitFields(std::string_view line);
void SplitFields(std::string_view line, std::vector<std::string_view>& fields); // into a reused vector

// The lines of a text one at a time, split as SplitLines splits them, without a list of them all.
class TLineReader {
public:
    explicit TLineReader(std::string_view text) : mText(text) {}
    bool Next(std::string_view& line);

private:
    std::string_view mText;
    size_t mPos = 0;
};

// Lines ended by CR LF, a lone CR or a lone LF; a final line without an end counts.
std::vector<std::string_view> SplitLines(std::string_view text);

// Decimal integer in the 32-bit range: optional leading spaces, optional sign, digits, nothing else.
bool TryStrToInt(std::string_view text, int& out);

// Equal without regard to ASCII letter case (section, key and item names).
bool SameText(std::string_view a, std::string_view b);

// A hint "short|long": the tooltip and the status bar text. Without "|" both are the whole hint.
std::pair<std::string, std::string> SplitHint(std::string_view hint);

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

} // namespace quillo

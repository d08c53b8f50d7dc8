#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillo {

// Fields separated by one tab each; a trailing tab does not make an empty last field.
// An empty line has no fields.
std::vector<std::string_view> SplitFields(std::string_view line);

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

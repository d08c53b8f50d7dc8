// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/StrUtil.h"

#include <cstring>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace quillo {

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    SplitFields(line, fields);
    return fields;
}

void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    size_t start = 0;
    while (start < line.size()) {
        size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            break;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

bool TLineReader::Next(std::string_view& line) {
    if (mPos >= mText.size()) return false;
    // Two fast scans rather than find_first_of, which tests every character against the set.
    const char* base = mText.data();
    const size_t rest = mText.size() - mPos;
    const void* lf = std::memchr(base + mPos, '\n', rest);
    const size_t lfAt = lf ? static_cast<size_t>(static_cast<const char*>(lf) - base) : mText.size();
    const void* cr = std::memchr(base + mPos, '\r', lfAt - mPos);
    const size_t end =
        cr ? static_cast<size_t>(static_cast<const char*>(cr) - base) : (lf ? lfAt : std::string_view::npos);
    if (end == std::string_view::npos) {
        line = mText.substr(mPos);
        mPos = mText.size();
        return true;
    }
    line = mText.substr(mPos, end - mPos);
    mPos = end + 1;
    if (mText[end] == '\r' && mPos < mText.size() && mText[mPos] == '\n') ++mPos;
    return true;
}

bool TryStrToInt(std::string_view text, int& out) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    text.remove_prefix(i);
    if (!text.empty() && text[0] == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text[0] == '+' || text[0] == '-')) return false;
    }
    if (text.empty()) return false;
    int v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size()) return false;
    out = v;
    return true;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (true) {
        size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::pair<std::string, std::string> SplitHint(std::string_view hint) {
    const size_t bar = hint.find('|');
    if (bar == std::string_view::npos) return {std::string(hint), std::string(hint)};
    return {std::string(hint.substr(0, bar)), std::string(hint.substr(bar + 1))};
}

} // namespace quillo

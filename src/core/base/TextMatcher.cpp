// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/TextMatcher.h"

#include "base/Cp932.h"

#include <algorithm>
#include <cstdlib>
#include <utf8proc.h>

namespace quillo {

namespace {

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void AppendCodePoint(std::string& out, utf8proc_int32_t cp) {
    utf8proc_uint8_t buf[4];
    out.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(utf8proc_encode_char(cp, buf)));
}

// Calls `f(codePoint, begin, end)` for each character; a byte that starts no UTF-8 character
// comes as U+FFFD on its own.
template <class F> void ForEachCodePoint(std::string_view s, F&& f) {
    const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(s.data());
    size_t i = 0;
    while (i < s.size()) {
        utf8proc_int32_t cp;
        utf8proc_ssize_t n = utf8proc_iterate(p + i, static_cast<utf8proc_ssize_t>(s.size() - i), &cp);
        if (n <= 0) cp = 0xFFFD, n = 1;
        f(cp, i, i + static_cast<size_t>(n));
        i += static_cast<size_t>(n);
    }
}

utf8proc_int32_t FirstCodePoint(std::string_view s) {
    utf8proc_int32_t cp = -1;
    utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(s.data()), static_cast<utf8proc_ssize_t>(s.size()), &cp);
    return cp;
}

std::string ValidUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    ForEachCodePoint(s, [&](utf8proc_int32_t cp, size_t, size_t) { AppendCodePoint(out, cp); });
    return out;
}

// `s` must be valid UTF-8 (utf8proc refuses anything else).
std::string Map(std::string_view s, int options) {
    if (s.empty()) return {};
    utf8proc_uint8_t* mapped = nullptr;
    const utf8proc_ssize_t n =
        utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(s.data()), static_cast<utf8proc_ssize_t>(s.size()),
                     &mapped, static_cast<utf8proc_option_t>(options | UTF8PROC_STABLE));
    std::string out = n >= 0 ? std::string(reinterpret_cast<const char*>(mapped), static_cast<size_t>(n)) : "";
    std::free(mapped);
    return out;
}

constexpr int kFold = UTF8PROC_COMPAT | UTF8PROC_COMPOSE | UTF8PROC_CASEFOLD;

// ぁ..ゖ and the iteration marks ゝゞ become ァ..ヶ and ヽヾ. A sound mark left apart because the
// hiragana had no composed form (わ゙) may compose with the katakana (ヷ), so such text is composed again.
std::string KatakanaOf(std::string_view form) {
    std::string out;
    out.reserve(form.size());
    bool changed = false, looseMark = false;
    ForEachCodePoint(form, [&](utf8proc_int32_t cp, size_t, size_t) {
        if ((cp >= 0x3041 && cp <= 0x3096) || cp == 0x309D || cp == 0x309E) cp += 0x60, changed = true;
        looseMark = looseMark || cp == 0x3099 || cp == 0x309A;
        AppendCodePoint(out, cp);
    });
    return changed && looseMark ? Map(out, UTF8PROC_COMPOSE) : out;
}

// What cp932 makes of each character it can store: most read back as themselves, a few as
// another (U+301C as U+FF5E, U+2212 as U+FF0D, U+00A5 as "\").
std::string AsStoredInCp932(std::string_view utf8) {
    if (auto whole = Utf8ToCp932(utf8)) return Cp932ToUtf8(*whole);
    std::string out;
    ForEachCodePoint(utf8, [&](utf8proc_int32_t, size_t b, size_t e) {
        const std::string_view one = utf8.substr(b, e - b);
        if (auto stored = Utf8ToCp932(one))
            out += Cp932ToUtf8(*stored);
        else
            out += one;
    });
    return out;
}

} // namespace

bool IsValidUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const utf8proc_uint8_t*>(s.data());
    for (size_t i = 0; i < s.size();) {
        utf8proc_int32_t cp;
        const utf8proc_ssize_t n = utf8proc_iterate(p + i, static_cast<utf8proc_ssize_t>(s.size() - i), &cp);
        if (n <= 0) return false;
        i += static_cast<size_t>(n);
    }
    return true;
}

std::string SearchForm(std::string_view utf8, bool sameKana) {
    if (IsAscii(utf8)) {
        std::string out(utf8);
        for (char& c : out)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return out;
    }
    std::string valid;
    if (!IsValidUtf8(utf8)) utf8 = valid = ValidUtf8(utf8);
    std::string form = Map(utf8, kFold);
    return sameKana ? KatakanaOf(form) : form;
}

std::string SearchFormOfCp932(std::string_view cp932, bool sameKana) {
    return SearchForm(IsAscii(cp932) ? std::string(cp932) : Cp932ToUtf8(cp932), sameKana);
}

TTextMatcher::TTextMatcher(std::string_view typed, bool sameKana) : mSameKana(sameKana) {
    std::string text = ValidUtf8(typed);
    // Item texts are searched as fields joined by NUL; a NUL typed would reach across them.
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    // Composed first: a letter typed with a separate sound mark is the letter cp932 stores.
    mNeedle = SearchForm(AsStoredInCp932(Map(text, UTF8PROC_COMPOSE)), sameKana);
}

std::vector<std::pair<size_t, size_t>> TTextMatcher::Spans(std::string_view utf8) const {
    std::vector<std::pair<size_t, size_t>> spans;
    if (mNeedle.empty()) return spans;
    // The text in pieces that fold on their own: a character with the marks that fold onto it
    // ("ｶ" and "ﾞ" make one "ガ"). Each piece's form starts at a known offset of the whole form.
    struct TPiece {
        size_t Begin, End, FormBegin;
    };
    std::vector<TPiece> pieces;
    std::string form;
    size_t pieceBegin = 0;
    auto closePiece = [&](size_t end) {
        if (end == pieceBegin) return;
        pieces.push_back({pieceBegin, end, form.size()});
        form += SearchForm(utf8.substr(pieceBegin, end - pieceBegin), mSameKana);
        pieceBegin = end;
    };
    ForEachCodePoint(utf8, [&](utf8proc_int32_t cp, size_t b, size_t e) {
        if (cp < 0x80) return closePiece(b);
        const utf8proc_int32_t first = FirstCodePoint(SearchForm(utf8.substr(b, e - b), false));
        if (first < 0 || utf8proc_get_property(first)->combining_class == 0) closePiece(b);
    });
    closePiece(utf8.size());
    auto pieceAt = [&](size_t formOffset) {
        auto it = std::upper_bound(pieces.begin(), pieces.end(), formOffset,
                                   [](size_t off, const TPiece& p) { return off < p.FormBegin; });
        return *(it - 1);
    };
    for (size_t at = form.find(mNeedle); at != std::string::npos; at = form.find(mNeedle, at + mNeedle.size())) {
        const size_t begin = pieceAt(at).Begin, end = pieceAt(at + mNeedle.size() - 1).End;
        if (!spans.empty() && begin < spans.back().second)
            spans.back().second = std::max(spans.back().second, end);
        else
            spans.emplace_back(begin, end);
    }
    return spans;
}

} // namespace quillo

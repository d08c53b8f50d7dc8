// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding text the way a Japanese user expects: both sides are compared in their search form
// (Unicode NFKC, then full case folding), so "Ａ" finds "a" and "ｶﾞ" finds "ガ"; optionally
// hiragana count as the katakana of the same sound.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillo {

bool IsValidUtf8(std::string_view text);

// The search form of UTF-8 text (bytes that are not UTF-8 count as U+FFFD). With `sameKana`
// every hiragana is written as its katakana.
std::string SearchForm(std::string_view utf8, bool sameKana);
// The same of cp932 text as an item holds it.
std::string SearchFormOfCp932(std::string_view cp932, bool sameKana);

class TTextMatcher {
public:
    TTextMatcher() = default; // finds everywhere
    // `typed` is UTF-8 as the user typed it. A character that cp932 keeps as another one's bytes
    // counts as that other (the wave dash U+301C from an input method is stored as the bytes that
    // read back as U+FF5E), so what the user types finds what the editor stored from the same keys.
    TTextMatcher(std::string_view typed, bool sameKana);

    bool Empty() const { return mNeedle.empty(); }
    bool SameKana() const { return mSameKana; }
    const std::string& Needle() const { return mNeedle; } // in search form
    // `form` is a search form made with the same kana choice.
    bool FoundIn(std::string_view form) const { return form.find(mNeedle) != std::string_view::npos; }
    // Where the text is found in `utf8` as shown, as [begin, end) byte ranges of it, in order and
    // never overlapping: what a view highlights. A range always covers whole characters, a base
    // letter together with the marks that fold onto it.
    std::vector<std::pair<size_t, size_t>> Spans(std::string_view utf8) const;

private:
    std::string mNeedle;
    bool mSameKana = false;
};

} // namespace quillo

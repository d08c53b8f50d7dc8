// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// User data is held as cp932 bytes; these helpers convert at the edges and cut safely.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillo {

// An item name holds at most this many bytes.
constexpr size_t kMaxNameBytes = 256;

bool IsCp932LeadByte(unsigned char c);

// Lossy: undecodable bytes become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);
// nullopt when a character has no cp932 form or the input is not valid UTF-8.
std::optional<std::string> Utf8ToCp932(std::string_view utf8);
// Lossy variant for texts the program makes itself (titles from paths): unknown characters become "?".
std::string Utf8ToCp932Lossy(std::string_view utf8);
bool IsCp932Encodable(std::string_view utf8);

// Text brought within what cp932 holds, for what the user types, pastes or drops. Each character
// (with its combining marks) that cp932 cannot hold gives way to its usual cp932 form where one
// exists: a variant kanji (𠮷 → 吉), a compatibility ideograph or form (㋿ → 令和), a letter
// without its accent (é → e); invisible selectors and joiners just go. The rest is left out.
struct TCp932Fit {
    std::string Text;                                          // UTF-8, every character cp932 holds
    std::vector<std::pair<std::string, std::string>> Replaced; // each distinct change, UTF-8
    std::vector<std::string> LeftOut;                          // each distinct character, UTF-8
};
TCp932Fit FitToCp932(std::string_view utf8);
// What the fit changed, in words for the user; empty when nothing visible changed.
std::string FitNotice(const TCp932Fit& fit);

// True when byte index `pos` of `s` is the second byte of a double-byte character.
bool IsTrailByteAt(std::string_view s, size_t pos);

// The cut used for names and memo hints: at most 256 bytes, 255 when the 255th byte ends a
// double-byte character, and never leaving half a character at the end.
std::string CutToNameLength(std::string_view s);

} // namespace quillo

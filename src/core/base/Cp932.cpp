// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <iconv.h>
#include <memory>
#include <stdexcept>
#include <utf8proc.h>

namespace quillo {

namespace {
// Opening a converter costs more than converting a name, so each thread keeps one per direction.
iconv_t Descriptor(const char* to) {
    struct TCache {
        iconv_t ToUtf8 = iconv_open("UTF-8", "CP932");
        iconv_t ToCp932 = iconv_open("CP932", "UTF-8");
        ~TCache() {
            if (ToUtf8 != reinterpret_cast<iconv_t>(-1)) iconv_close(ToUtf8);
            if (ToCp932 != reinterpret_cast<iconv_t>(-1)) iconv_close(ToCp932);
        }
    };
    thread_local TCache cache;
    iconv_t cd = std::string_view(to) == "UTF-8" ? cache.ToUtf8 : cache.ToCp932;
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
    return cd;
}

// One iconv conversion; `onInvalid` decides whether to skip with a replacement or give up (and
// tell in `stoppedAt` where).
std::optional<std::string> Convert(const char* to, std::string_view in, const char* replacement, size_t skipWidth,
                                   size_t* stoppedAt = nullptr) {
    iconv_t cd = Descriptor(to);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 3 / 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[4096];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<size_t>(dst - buf));
        if (r != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        if (!replacement) {
            if (stoppedAt) *stoppedAt = in.size() - srcLeft;
            return std::nullopt;
        }
        out += replacement;
        size_t skip = skipWidth;
        if (skipWidth == 0) { // UTF-8 input: skip one whole sequence
            unsigned char c = static_cast<unsigned char>(*src);
            skip = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            while (skip > 1 && (skip > srcLeft || (static_cast<unsigned char>(src[skip - 1]) & 0xC0) != 0x80))
                --skip;
        }
        if (skip > srcLeft) skip = srcLeft;
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    out.append(buf, static_cast<size_t>(dst - buf));
    return out;
}
} // namespace

bool IsCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

std::string Cp932ToUtf8(std::string_view cp932) {
    return *Convert("UTF-8", cp932, "\xEF\xBF\xBD", 1);
}

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    return Convert("CP932", utf8, nullptr, 0);
}

std::string Utf8ToCp932Lossy(std::string_view utf8) {
    return *Convert("CP932", utf8, "?", 0);
}

bool IsCp932Encodable(std::string_view utf8) {
    return Utf8ToCp932(utf8).has_value();
}

namespace {
// How many bytes from the start of `utf8` cp932 holds.
size_t EncodablePrefix(std::string_view utf8) {
    size_t at = utf8.size();
    Convert("CP932", utf8, nullptr, 0, &at);
    return at;
}

// One code point at `at`; -1 for a byte that starts none.
size_t NextCodePoint(std::string_view s, size_t at, utf8proc_int32_t& cp) {
    const auto n = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(s.data() + at),
                                    static_cast<utf8proc_ssize_t>(s.size() - at), &cp);
    if (n > 0) return static_cast<size_t>(n);
    cp = -1;
    return 1;
}

// Forms cp932 has for characters that normalisation does not reach: kanji whose everyday form
// differs from the one the 2004 JIS revision added, and a few letters and signs.
struct TVariant {
    char32_t From;
    const char* To;
};
constexpr TVariant kVariants[] = {
    {0x00A6, "￤"},  {0x00A9, "(C)"}, {0x00AB, "≪"},   {0x00AE, "(R)"}, {0x00B7, "・"},  {0x00BB, "≫"},
    {0x00C6, "AE"},  {0x00D8, "O"},   {0x00DF, "ss"},  {0x00E6, "ae"},  {0x00F8, "o"},   {0x0110, "D"},
    {0x0111, "d"},   {0x0141, "L"},   {0x0142, "l"},   {0x0152, "OE"},  {0x0153, "oe"},  {0x2022, "・"},
    {0x4FF1, "倶"},  {0x525D, "剥"},  {0x541E, "呑"},  {0x5653, "嘘"},  {0x5861, "填"},  {0x5C5B, "屏"},
    {0x5E77, "并"},  {0x6414, "掻"},  {0x6451, "掴"},  {0x6F51, "溌"},  {0x7626, "痩"},  {0x79B1, "祷"},
    {0x7C1E, "箪"},  {0x7E6B, "繋"},  {0x87EC, "蝉"},  {0x881F, "蝋"},  {0x91AC, "醤"},  {0x9830, "頬"},
    {0x985A, "顛"},  {0x9A08, "駢"},  {0x9DD7, "鴎"},  {0x9EB4, "麹"},  {0x20B9F, "叱"}, {0x20BB7, "吉"},
    {0x2123D, "土"}, {0x2363A, "橋"}, {0x2550E, "碕"},
};

std::string WithVariants(std::string_view g) {
    std::string out;
    for (size_t i = 0; i < g.size();) {
        utf8proc_int32_t cp;
        const size_t n = NextCodePoint(g, i, cp);
        const auto* v = std::lower_bound(std::begin(kVariants), std::end(kVariants), static_cast<char32_t>(cp),
                                         [](const TVariant& a, char32_t c) { return a.From < c; });
        if (v != std::end(kVariants) && v->From == static_cast<char32_t>(cp))
            out += v->To;
        else
            out.append(g.substr(i, n));
        i += n;
    }
    return out;
}

std::string Mapped(std::string_view g, int options) {
    utf8proc_uint8_t* raw = nullptr;
    const auto n = utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(g.data()),
                                static_cast<utf8proc_ssize_t>(g.size()), &raw, static_cast<utf8proc_option_t>(options));
    std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owned(raw, &std::free);
    return n < 0 ? std::string() : std::string(reinterpret_cast<const char*>(raw), static_cast<size_t>(n));
}

template <class T> void AddOnce(std::vector<T>& list, T value) {
    if (std::find(list.begin(), list.end(), value) == list.end()) list.push_back(std::move(value));
}

// One character with its marks: the mildest change that cp932 holds.
void FitCharacter(std::string_view g, TCp932Fit& fit) {
    const std::string visible = Mapped(g, UTF8PROC_IGNORE);
    const std::string canonical = Mapped(g, UTF8PROC_COMPOSE | UTF8PROC_IGNORE);
    if (canonical.empty()) return; // only selectors or joiners
    const std::string varied = WithVariants(g);
    for (const int options :
         {UTF8PROC_COMPOSE | UTF8PROC_IGNORE, UTF8PROC_COMPOSE | UTF8PROC_IGNORE | UTF8PROC_COMPAT,
          UTF8PROC_COMPOSE | UTF8PROC_IGNORE | UTF8PROC_COMPAT | UTF8PROC_STRIPMARK | UTF8PROC_LUMP}) {
        const std::string c = Mapped(varied, options);
        if (c.empty() || !IsCp932Encodable(c)) continue;
        fit.Text += c;
        // Dropping what cannot be seen, or composing a sequence (a Mac file name's ガ), is no change.
        size_t count = 0;
        for (size_t i = 0; i < visible.size(); ++count) {
            utf8proc_int32_t cp;
            i += NextCodePoint(visible, i, cp);
        }
        if (c != visible && !(c == canonical && count > 1)) AddOnce(fit.Replaced, {std::string(g), c});
        return;
    }
    AddOnce(fit.LeftOut, std::string(g));
}

// The end of the character (with its marks) that holds byte `at`, and where it starts.
std::pair<size_t, size_t> CharacterAt(std::string_view s, size_t from, size_t at) {
    size_t start = from, i = from;
    utf8proc_int32_t prev = -1, state = 0;
    while (i < s.size()) {
        utf8proc_int32_t cp;
        const size_t n = NextCodePoint(s, i, cp);
        if (i > from && (prev < 0 || cp < 0 || utf8proc_grapheme_break_stateful(prev, cp, &state))) {
            if (i > at) break;
            start = i;
        }
        prev = cp;
        i += n;
    }
    return {start, i};
}
} // namespace

TCp932Fit FitToCp932(std::string_view utf8) {
    TCp932Fit fit;
    fit.Text.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const size_t bad = pos + EncodablePrefix(utf8.substr(pos));
        if (bad >= utf8.size()) {
            fit.Text.append(utf8.substr(pos));
            break;
        }
        const auto [start, end] = CharacterAt(utf8, pos, bad);
        fit.Text.append(utf8.substr(pos, start - pos));
        const std::string_view g = utf8.substr(start, end - start);
        utf8proc_int32_t first;
        NextCodePoint(g, 0, first);
        if (first < 0)
            AddOnce(fit.LeftOut, std::string("\xEF\xBF\xBD")); // a byte that is no UTF-8
        else
            FitCharacter(g, fit);
        pos = end;
    }
    return fit;
}

std::string FitNotice(const TCp932Fit& fit) {
    constexpr size_t kShown = 10;
    std::string out;
    if (!fit.Replaced.empty()) {
        out += "次の文字を置き換えました：";
        for (size_t i = 0; i < fit.Replaced.size() && i < kShown; ++i)
            out += (i ? "、" : "") + fit.Replaced[i].first + "→" + fit.Replaced[i].second;
        if (fit.Replaced.size() > kShown) out += "…";
    }
    if (!fit.LeftOut.empty()) {
        out += out.empty() ? "" : "　";
        out += "保存できない文字を除きました：";
        for (size_t i = 0; i < fit.LeftOut.size() && i < kShown; ++i)
            out += (i ? "、" : "") + fit.LeftOut[i];
        if (fit.LeftOut.size() > kShown) out += "…";
    }
    return out;
}

bool IsTrailByteAt(std::string_view s, size_t pos) {
    size_t i = 0;
    while (i < s.size()) {
        if (IsCp932LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) {
            if (pos == i + 1) return true;
            if (pos == i) return false;
            i += 2;
        } else {
            if (pos == i) return false;
            ++i;
        }
        if (i > pos) return false;
    }
    return false;
}

std::string CutToNameLength(std::string_view s) {
    if (s.size() <= kMaxNameBytes) return std::string(s);
    // Scan once: where does the character that holds byte 256 start?
    size_t i = 0;
    while (i < kMaxNameBytes) {
        bool dbcs = IsCp932LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size();
        size_t next = i + (dbcs ? 2 : 1);
        if (next > kMaxNameBytes) return std::string(s.substr(0, i)); // would split the last character
        if (next == kMaxNameBytes - 1 && dbcs) return std::string(s.substr(0, kMaxNameBytes - 1));
        i = next;
    }
    return std::string(s.substr(0, kMaxNameBytes));
}

} // namespace quillo

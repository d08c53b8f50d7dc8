// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Cp932.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

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

// One iconv conversion; `onInvalid` decides whether to skip with a replacement or give up.
std::optional<std::string> Convert(const char* to, std::string_view in, const char* replacement, size_t skipWidth) {
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
        if (!replacement) return std::nullopt;
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

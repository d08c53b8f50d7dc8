// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Cp932.h"
#include "base/StrUtil.h"

#include <gtest/gtest.h>

using namespace quillo;

namespace {
const std::string kSo = "\x83\x5C";  // ソ
const std::string kHyo = "\x95\x5C"; // 表
const std::string kA = "\x82\xA0";   // あ
} // namespace

TEST(Cp932, ConvertsBothWays) {
    EXPECT_EQ(Cp932ToUtf8(kSo + kHyo), "ソ表");
    EXPECT_EQ(*Utf8ToCp932("ソ表"), kSo + kHyo);
    EXPECT_EQ(*Utf8ToCp932("\\"), "\\");       // stays a backslash, not a yen sign
    EXPECT_EQ(*Utf8ToCp932("〜"), "\x81\x60"); // the wave dash input methods produce
    EXPECT_EQ(*Utf8ToCp932("①"), "\x87\x40");
}

TEST(Cp932, EncodableCheck) {
    EXPECT_TRUE(IsCp932Encodable("予定 plan"));
    EXPECT_FALSE(IsCp932Encodable("😀"));
    EXPECT_FALSE(IsCp932Encodable("한국어"));
    EXPECT_FALSE(Utf8ToCp932("\xFF\xFE").has_value()); // not UTF-8 at all
    EXPECT_EQ(Utf8ToCp932Lossy("a😀b"), "a?b");
}

TEST(Cp932, FitReplacesTheUsualVariantsAndNamesWhatItLeftOut) {
    const TCp932Fit memo = FitToCp932("会議メモ 🍣 𠮷田さん、🍣");
    EXPECT_EQ(memo.Text, "会議メモ  吉田さん、");
    EXPECT_EQ(FitNotice(memo), "次の文字を置き換えました：𠮷→吉　保存できない文字を除きました：🍣");
    struct TCase {
        std::string In, Text;
        bool Told;
    };
    for (const TCase& c : std::vector<TCase>{
             {"一〜ソ表①", "一〜ソ表①", false},                           // all of it cp932
             {"葛\U000E0100城 a\u200Bb\u00AD", "葛城 ab", false},         // selectors and invisible marks
             {"\u30AB\u3099\u30CF\u309Aイ", "ガパイ", false},             // as a Mac names files
             {"\uF900 \uFA45", "豈 海", true},                            // compatibility ideographs
             {"森鷗外 塡 頰 ㋿ ½", "森鴎外 填 頬 令和 1/2", true}, // variants and compatibility forms
             {"café Müller Øre ß", "cafe Muller Ore ss", true},           // letters without their accents
             {"1\uFE0F\u20E3 👨\u200D👩\u200D👧 한", "1  ", true},           // a keycap; a family, Hangul: none
             {std::string("ok\xFF\xFEok"), "okok", true}}) {              // no UTF-8 at all
        const TCp932Fit fit = FitToCp932(c.In);
        EXPECT_EQ(fit.Text, c.Text) << c.In;
        EXPECT_EQ(!FitNotice(fit).empty(), c.Told) << c.In;
        EXPECT_TRUE(IsCp932Encodable(fit.Text)) << c.In;
    }
    EXPECT_EQ(FitToCp932("👨\u200D👩\u200D👧").LeftOut, std::vector<std::string>{"👨\u200D👩\u200D👧"}); // one character
}

TEST(Cp932, BadBytesDecodeWithoutLosingTheRest) {
    std::string s = "a\x81"; // lead byte at the end
    EXPECT_EQ(Cp932ToUtf8(s), "a\xEF\xBF\xBD");
    EXPECT_EQ(Cp932ToUtf8(std::string("x\0y", 3)), std::string("x\0y", 3));
}

TEST(Cp932, TrailBytesAreFoundByScanningFromTheStart) {
    std::string s = "a" + kSo + "\\";
    EXPECT_FALSE(IsTrailByteAt(s, 0));
    EXPECT_FALSE(IsTrailByteAt(s, 1));
    EXPECT_TRUE(IsTrailByteAt(s, 2)); // 0x5C here is half of ソ, not a backslash
    EXPECT_FALSE(IsTrailByteAt(s, 3));
}

TEST(Cp932, NameCut) {
    std::string dbcs;
    for (int i = 0; i < 150; ++i)
        dbcs += kA;
    EXPECT_EQ(CutToNameLength(dbcs).size(), 256u);

    std::string mixed = "x";
    for (int i = 0; i < 150; ++i)
        mixed += kA;
    std::string cut = CutToNameLength(mixed);
    EXPECT_EQ(cut.size(), 255u);
    EXPECT_EQ(cut.substr(0, 3), "x" + kA);

    std::string ascii(300, 'q');
    EXPECT_EQ(CutToNameLength(ascii), std::string(256, 'q'));

    // A double-byte character starting at byte 256 is not split in half.
    std::string edge = std::string(255, 'q') + kSo + kSo;
    EXPECT_EQ(CutToNameLength(edge), std::string(255, 'q'));

    std::string soHyo;
    for (int i = 0; i < 140; ++i)
        soHyo += (i % 2 ? kSo : kHyo);
    std::string c = CutToNameLength(soHyo);
    EXPECT_EQ(c.size(), 256u);
    EXPECT_EQ(Cp932ToUtf8(c).find("\xEF\xBF\xBD"), std::string::npos);
    EXPECT_EQ(CutToNameLength("short"), "short");
}

TEST(StrUtil, FieldsAndLines) {
    EXPECT_EQ(SplitFields("a\tb\t").size(), 2u); // trailing tab: no empty last field
    EXPECT_EQ(SplitFields("a\t\tb").size(), 3u);
    EXPECT_TRUE(SplitFields("").empty());
    EXPECT_EQ(SplitFields("\t").size(), 1u);
    auto lines = SplitLines("a\r\nb\rc\nd");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], "d");
    EXPECT_EQ(SplitLines("a\r\n\r\n").size(), 2u);
    // A 0x5C trail byte is no separator; tabs never occur inside a character.
    const std::string line = kSo + "\t" + kHyo;
    auto f = SplitFields(line);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[1], kHyo);
}

TEST(StrUtil, Integers) {
    int v = 0;
    EXPECT_TRUE(TryStrToInt("2024", v));
    EXPECT_EQ(v, 2024);
    EXPECT_TRUE(TryStrToInt("-7", v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(TryStrToInt("05", v));
    EXPECT_EQ(v, 5);
    EXPECT_FALSE(TryStrToInt("99999999999", v)); // out of range, not wrapped
    EXPECT_FALSE(TryStrToInt("5x", v));
    EXPECT_FALSE(TryStrToInt("", v));
    EXPECT_FALSE(TryStrToInt("abc", v));
    EXPECT_FALSE(TryStrToInt("+-1", v));
}

TEST(StrUtil, TheLineReaderSplitsExactlyAsSplitLines) {
    // Every text over a small alphabet of line ends, up to six characters long.
    const char alphabet[] = {'a', '\r', '\n', '\t'};
    for (int length = 0; length <= 6; ++length) {
        int total = 1;
        for (int i = 0; i < length; ++i)
            total *= 4;
        for (int code = 0; code < total; ++code) {
            std::string text;
            for (int i = 0, c = code; i < length; ++i, c /= 4)
                text += alphabet[c % 4];
            std::vector<std::string_view> read;
            TLineReader reader(text);
            for (std::string_view line; reader.Next(line);)
                read.push_back(line);
            ASSERT_EQ(read, SplitLines(text)) << testing::PrintToString(text);
        }
    }
}

#include "text/CodePage.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <random>

#include "common/TestSupport.h"

using namespace qy::text;
using qy::test::Bytes;
using qy::test::Hex;

TEST(CodePage, AnsiAndWideConvertChineseBothWays) {
    std::string zhongwen = Bytes({0xD6, 0xD0, 0xCE, 0xC4});
    EXPECT_EQ(AnsiToWide(zhongwen), u"中文");
    EXPECT_EQ(WideToAnsi(u"中文"), zhongwen);
    EXPECT_EQ(AnsiToWide("abc"), u"abc");
}

TEST(CodePage, EveryGbkCharacterKeepsItsGbkBytes) {
    // Judged against the system's own GBK converter, both ways, for every GBK code.
    iconv_t cd = iconv_open("UTF-16LE", "CP936");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    int checked = 0;
    for (int code = 0x80; code <= 0xFEFE; ++code) {
        std::string bytes = code < 0x100 ? std::string(1, char(code)) : Bytes({code >> 8, code & 0xFF});
        if (code >= 0x100 && ((code & 0xFF) < 0x40 || (code >> 8) < 0x81)) continue;
        char out[8];
        char* src = bytes.data();
        size_t srcLeft = bytes.size(), dstLeft = sizeof out;
        char* dst = out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || dstLeft != sizeof out - 2) continue;
        std::u16string wide(1, char16_t(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8));
        ASSERT_EQ(AnsiToWide(bytes), wide) << Hex(bytes);
        ASSERT_EQ(Hex(WideToAnsi(wide)), Hex(bytes));
        ASSERT_EQ(Hex(EditorUtf8ToAnsi(AnsiToEditorUtf8(bytes))), Hex(bytes));
        ++checked;
    }
    iconv_close(cd);
    EXPECT_GT(checked, 21000);
}

TEST(CodePage, EveryCharacterOutsideGbkIsEncodedAndComesBack) {
    // GBK characters keep their GBK bytes, the euro sign its single byte.
    EXPECT_EQ(Hex(WideToAnsi(u"\u00B7\u3000\u20AC\uE5E5")), "A1 A4 A1 A1 80 A3 A0");
    // The rest take four bytes: the BMP from 81 30 81 30, the planes beyond from 90 30 81 30.
    EXPECT_EQ(Hex(WideToAnsi(u"\u0080\u00A9\u00A0\u2003\uFFFF")),
              "81 30 81 30 81 30 84 38 81 30 84 32 81 36 A3 39 84 31 A4 39");
    EXPECT_EQ(Hex(WideToAnsi(u"x\U0001F600y\U00010000\U0010FFFF")),
              "78 94 39 FC 36 79 90 30 81 30 E3 32 9A 35");
    EXPECT_EQ(AnsiToWide(WideToAnsi(u"\u20A9\U0001F600\uFFFD")), u"\u20A9\U0001F600\uFFFD");
    // Only a lone surrogate and bytes that are no character give '?'.
    EXPECT_EQ(WideToAnsi(std::u16string(1, char16_t(0xD800)) + u"z" + std::u16string(1, char16_t(0xDC00))), "?z?");
    EXPECT_EQ(AnsiToWide(Bytes({'a', 0xD6})), u"a?");                  // lead byte without trail
    EXPECT_EQ(AnsiToWide(Bytes({0x81, 0x30, 0x81, ' ', 0xFF})), u"?0? ?");  // cut-off four-byte code
    EXPECT_EQ(AnsiToWide(Bytes({0xE4, 0x30, 0x81, 0x30})), u"?0?0");  // past the last plane
    // A second code of a character reads as that character and is written the first way.
    EXPECT_EQ(AnsiToWide(Bytes({0xA2, 0xE3})), u"\u20AC");
}

TEST(CodePage, EveryUnicodeCharacterSurvivesEditorWorkbenchAndEngine) {
    // Every scalar value alone, then random strings of them from all planes.
    auto roundTrip = [](const std::string& utf8) {
        return AnsiToEditorUtf8(WideToAnsi(AnsiToWide(EditorUtf8ToAnsi(utf8))));
    };
    for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::u16string one = cp < 0x10000 ? std::u16string(1, char16_t(cp))
                                           : std::u16string{char16_t(0xD800 + ((cp - 0x10000) >> 10)),
                                                            char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF))};
        std::string utf8 = Utf16ToUtf8(one);
        std::string ansi = EditorUtf8ToAnsi(utf8);
        if (cp != U'?') {
            ASSERT_NE(ansi, "?") << std::hex << unsigned(cp);
        }
        ASSERT_EQ(AnsiToWide(ansi), one) << std::hex << unsigned(cp);
        ASSERT_EQ(AnsiToEditorUtf8(ansi), utf8) << std::hex << unsigned(cp);
    }
    std::mt19937 rng(18030);
    std::uniform_int_distribution<uint32_t> plane(0, 16), within(0, 0xFFFF), len(0, 40);
    for (int round = 0; round < 3000; ++round) {
        std::u16string s;
        for (uint32_t n = len(rng); n > 0; --n) {
            char32_t cp = rng() % 4 ? within(rng) : (plane(rng) << 16 | within(rng));
            if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) cp = u'\u4E2D';
            if (cp >= 0x10000) {
                s.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
                s.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
            } else {
                s.push_back(char16_t(cp));
            }
        }
        std::string utf8 = Utf16ToUtf8(s);
        ASSERT_EQ(roundTrip(utf8), utf8) << "round " << round;
        ASSERT_EQ(AnsiToWide(WideToAnsi(s)), s) << "round " << round;
    }
}

TEST(CodePage, InvalidUtf8StaysAQuestionMarkInWorkbenchText) {
    EXPECT_EQ(Utf8ToAnsiText(Bytes({0xE4, 0xB8, 0xAD, 0xFF, 'a', 0xE4, 0xB8, 'b'})), Bytes({0xD6, 0xD0, '?', 'a', '?', 'b'}));
    EXPECT_EQ(Utf8ToAnsiText(Bytes({0xC0, 0x80})), "??");  // overlong
    EXPECT_EQ(Utf8ToAnsiText("\xEF\xBF\xBD"), WideToAnsi(u"\uFFFD"));  // a real U+FFFD is a character
    EXPECT_EQ(Utf8ToAnsiText(Utf16ToUtf8(u"\u00A9\U0001F600")), WideToAnsi(u"\u00A9\U0001F600"));
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("\xE4\xB8\xAD"));
    EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xD6, 0xD0, 0xCE, 0xC4})));
}

TEST(CodePage, ConversionsStopAtTheFirstNul) {
    EXPECT_EQ(WideToAnsi(std::u16string(u"ab\0cd", 5)), "ab");
    EXPECT_EQ(AnsiToWide(std::string("ab\0cd", 5)), u"ab");
    EXPECT_EQ(Utf8ToUtf16(std::string("x\0y", 3)), u"x");
}

TEST(CodePage, InvalidUtf8BecomesOneReplacementPerSequence) {
    EXPECT_EQ(Utf8ToUtf16(Bytes({0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87})), u"中文");
    // D6 D0 CE C4 (GBK) is not UTF-8: D6 D0 is valid 2-byte? D6 D0 -> U+05D0; CE C4 -> U+0384.
    EXPECT_EQ(Utf8ToUtf16(Bytes({0xFF, 'a', 0xE4, 0xB8, 'b'})), u"\uFFFDa\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16(Bytes({0xC0, 0x80})), u"\uFFFD\uFFFD");  // overlong
    EXPECT_EQ(Utf8ToUtf16(Bytes({0xED, 0xA0, 0x80})), u"\uFFFD\uFFFD\uFFFD");  // surrogate
    EXPECT_EQ(Utf16ToUtf8(u"中\U0001F600"), Bytes({0xE4, 0xB8, 0xAD, 0xF0, 0x9F, 0x98, 0x80}));
}

TEST(CodePage, EditorConversionKeepsUndecodableBytes) {
    std::string gbk = Bytes({'a', 0xD6, 0xD0, 0xFF, 0x81, '\n', 0x00, 0xCE, 0xC4});
    std::string utf8 = AnsiToEditorUtf8(gbk);
    EXPECT_EQ(utf8.substr(0, 4), Bytes({'a', 0xE4, 0xB8, 0xAD}));
    EXPECT_EQ(Hex(EditorUtf8ToAnsi(utf8)), Hex(gbk));
}

TEST(CodePage, EditorConversionKeepsFourByteCodesAndWhatIsNoCode) {
    // A four-byte code becomes its character; a broken one and a second code stay bytes.
    std::string bytes = Bytes({0x81, 0x30, 0x84, 0x38, 0x94, 0x39, 0xFC, 0x36, 0x81, 0x30, 0x81, 0xA2, 0xE3, 0x84, 0x32, 0x81, 0x30});
    std::string utf8 = AnsiToEditorUtf8(bytes);
    EXPECT_EQ(utf8.substr(0, 6), "\xC2\xA9\xF0\x9F\x98\x80");
    EXPECT_EQ(Hex(EditorUtf8ToAnsi(utf8)), Hex(bytes));
}

TEST(CodePage, EditorConversionGivesBackAnyRandomBytes) {
    std::mt19937 rng(936);
    for (int round = 0; round < 3000; ++round) {
        std::uniform_int_distribution<int> len(0, 64);
        std::uniform_int_distribution<int> byte(0, 255);
        std::string s(len(rng), '\0');
        for (auto& c : s) c = static_cast<char>(byte(rng));
        // Every other round makes four-byte codes likely: digits after the lead bytes.
        for (size_t i = 1; round % 2 && i < s.size(); i += 2) s[i] = static_cast<char>('0' + byte(rng) % 10);
        ASSERT_EQ(Hex(EditorUtf8ToAnsi(AnsiToEditorUtf8(s))), Hex(s)) << "round " << round;
    }
}

TEST(CodePage, TextBoxConversionGivesBackAnyBytes) {
    // UTF-8 bytes read as workbench text: 中 leaves its last byte alone.
    EXPECT_EQ(AnsiToWideKeepingBytes(Bytes({0xE4, 0xB8, 0xAD})), std::u16string(u"涓") + char16_t(0xDCAD));
    EXPECT_EQ(WideKeepingBytesToAnsi(std::u16string(1, char16_t(0xD800)) + u"\U0001F600"), "?" + WideToAnsi(u"\U0001F600"));
    std::mt19937 rng(1);
    for (int round = 0; round < 2000; ++round) {
        std::string s(rng() % 48, '\0');
        for (auto& c : s) c = static_cast<char>(rng());
        ASSERT_EQ(Hex(WideKeepingBytesToAnsi(AnsiToWideKeepingBytes(s))), Hex(s)) << "round " << round;
    }
}

TEST(CodePage, EditorConversionGivesBackEveryBytePair) {
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            for (int c : {0x20, 0x80, 0xA1, 0xFF}) {
                std::string s = Bytes({a, b, c});
                ASSERT_EQ(Hex(EditorUtf8ToAnsi(AnsiToEditorUtf8(s))), Hex(s));
            }
        }
    }
}

#include "text/CodePage.h"

#include <gtest/gtest.h>

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

TEST(CodePage, MissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(WideToAnsi(u"a\u20A9b"), "a?b");        // won sign: not in CP936
    EXPECT_EQ(WideToAnsi(u"x\U0001F600y"), "x?y");     // outside the BMP: one '?'
    EXPECT_EQ(WideToAnsi(std::u16string(1, char16_t(0xD800)) + u"z"), "?z");
    EXPECT_EQ(AnsiToWide(Bytes({'a', 0xD6})), u"a?");  // lead byte without trail
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

TEST(CodePage, EditorConversionGivesBackAnyRandomBytes) {
    std::mt19937 rng(936);
    for (int round = 0; round < 3000; ++round) {
        std::uniform_int_distribution<int> len(0, 64);
        std::uniform_int_distribution<int> byte(0, 255);
        std::string s(len(rng), '\0');
        for (auto& c : s) c = static_cast<char>(byte(rng));
        ASSERT_EQ(Hex(EditorUtf8ToAnsi(AnsiToEditorUtf8(s))), Hex(s)) << "round " << round;
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

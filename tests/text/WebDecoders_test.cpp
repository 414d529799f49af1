#include "text/WebDecoders.h"

#include <gtest/gtest.h>

#include "common/TestSupport.h"

using namespace qy::text;
using qy::test::Bytes;

namespace {

std::u16string Decode(std::string_view bytes, std::string_view encoding) {
    return DecodeWeb(bytes, encoding, false).value_or(u"(unknown)");
}

}  // namespace

TEST(WebDecoders, GbkReadsAsBrowsersDoItsEuroAndItsErrors) {
    EXPECT_EQ(Decode(Bytes({0xD6, 0xD0, 0xCE, 0xC4, 0x41}), "gbk"), u"中文A");
    // 0x80 alone is the euro sign; as the second byte of a pair it is part of the pair.
    EXPECT_EQ(Decode(Bytes({0x80, 0x81, 0x80, 0x80}), "gbk"), u"€亐€");
    EXPECT_EQ(Decode(Bytes({0x80}), "gb18030"), u"€");
    // Four-byte codes; a lead byte cut short at the end is one U+FFFD.
    EXPECT_EQ(Decode(Bytes({0x81, 0x30, 0x81, 0x30, 0x95, 0x32, 0x82, 0x36}), "gb18030"), u"\u0080\U00020000");
    EXPECT_EQ(Decode(Bytes({0x41, 0xD6}), "gbk"), u"A\uFFFD");
    // A byte that cannot start a character is one U+FFFD; the ASCII after it stands.
    EXPECT_EQ(Decode(Bytes({0xFF, 0x41}), "gbk"), u"\uFFFDA");
    // NUL is a character like any other.
    EXPECT_EQ(Decode(std::string("a\0b", 3), "gbk"), std::u16string(u"a\0b", 3));
}

TEST(WebDecoders, StrictDecodingRefusesWhatDoesNotDecode) {
    EXPECT_EQ(DecodeWeb(Bytes({0xD6, 0xD0}), "gbk", true), std::u16string(u"中"));
    EXPECT_FALSE(DecodeWeb(Bytes({0xD6}), "gbk", true));
    EXPECT_FALSE(DecodeWeb(Bytes({0xFF, 0x41}), "big5", true));
    EXPECT_FALSE(DecodeWeb("abc", "no-such-encoding", false));
    EXPECT_FALSE(IsWebEncoding("utf-8"));
    EXPECT_TRUE(IsWebEncoding("shift_jis"));
}

TEST(WebDecoders, OtherEncodingsOfTheWeb) {
    EXPECT_EQ(Decode(Bytes({0xA4, 0xA4, 0xA4, 0xE5}), "big5"), u"中文");
    EXPECT_EQ(Decode(Bytes({0x82, 0xA0, 0x93, 0xFA, 0xB1, 0x5C, 0x7E}), "shift_jis"), u"あ日ｱ\\~");
    EXPECT_EQ(Decode(Bytes({0xC7, 0xD1, 0xB1, 0xDB}), "euc-kr"), u"한글");
    // A stateful encoding switches back at the end of its text.
    EXPECT_EQ(Decode(Bytes({0x1B, 0x24, 0x42, 0x24, 0x22, 0x1B, 0x28, 0x42, 0x61}), "iso-2022-jp"), u"あa");
    // windows-1252: the bytes Windows leaves undefined read as the C1 controls.
    EXPECT_EQ(Decode(Bytes({0x41, 0x80, 0x81, 0x8D, 0x9F, 0xE9, 0xFF}), "windows-1252"), u"A€\u0081\u008DŸéÿ");
    EXPECT_EQ(Decode(Bytes({0xCF, 0xF0, 0xE8}), "windows-1251"), u"При");
    EXPECT_EQ(Decode(Bytes({0x41, 0x80, 0xFF}), "x-user-defined"), u"A\uF780\uF7FF");
    // A text longer than one round of the converter.
    std::string many;
    for (int i = 0; i < 5000; ++i) many += Bytes({0xD6, 0xD0});
    EXPECT_EQ(Decode(many, "gbk").size(), 5000u);
}

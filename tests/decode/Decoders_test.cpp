#include "decode/Decoders.h"

#include <gtest/gtest.h>

#include <random>

#include "common/TestSupport.h"
#include "decode/Encoding.h"
#include "text/CodePage.h"

using namespace qy::decode;
using qy::test::Bytes;
using qy::test::Hex;

namespace {
std::string Ansi(const char* utf8) { return qy::text::Utf8ToAnsiText(utf8); }
std::string UpToNul(std::string s) {
    size_t n = s.find('\0');
    return n == std::string::npos ? s : s.substr(0, n);
}
}  // namespace

TEST(Encoding, Utf8ToAnsiEdgeCases) {
    EXPECT_EQ(Hex(Utf8ToAnsi(Bytes({0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}))), "D6 D0 CE C4");
    EXPECT_EQ(Utf8ToAnsi("plain ascii"), "plain ascii");
    // GBK bytes are not UTF-8: D0 and C4 cannot follow a lead byte, so each byte is one sequence.
    EXPECT_EQ(Utf8ToAnsi(Bytes({0xD6, 0xD0, 0xCE, 0xC4})), "????");
    EXPECT_EQ(Utf8ToAnsi(""), "");
    EXPECT_EQ(Utf8ToWide(Bytes({0xFF})), u"\uFFFD");
}

TEST(Decoders, JsEscapes) {
    EXPECT_EQ(DecodeJsEscapes("\\u4e2d\\u6587"), Ansi("中文"));
    EXPECT_EQ(DecodeJsEscapes("%u4E2D%u6587"), Ansi("中文"));
    EXPECT_EQ(DecodeJsEscapes(""), "");
    EXPECT_EQ(DecodeJsEscapes("it's"), "");
    EXPECT_EQ(DecodeJsEscapes("a'+'b"), "ab");
    EXPECT_EQ(DecodeJsEscapes("\\x41%42"), "AB");
}

TEST(Decoders, Percent) {
    struct Row { std::string in, out; };
    for (const Row& r : {Row{"%41%42", "AB"}, Row{"a%20b", "a b"}, Row{"%D6%D0%CE%C4", Ansi("中文")},
                         Row{"%d6%d0%ce%c4", Ansi("中文")}, Row{"+%2B", "++"}, Row{"100%", "100"}, Row{"%4", "@"},
                         Row{"%00x", "x"}, Row{"%zz", std::string(1, static_cast<char>((16 * -2 - 2) & 0xFF))}}) {
        EXPECT_EQ(Hex(DecodePercent(r.in)), Hex(r.out)) << r.in;
    }
}

TEST(Decoders, Base64) {
    struct Row { std::string in, out; };
    for (const Row& r : {Row{"QUJD", "ABC"}, Row{"QUI=", "AB"}, Row{"YQ==", "a"}, Row{"YQ", "a"},
                         Row{"1tDOxA==", Ansi("中文")}, Row{"QUJD\r\nREVG", "ABCDEF"}, Row{"QUJD\nREVG", "ABCDEF"},
                         Row{"QUJD\rREVG", "ABCDEF"}, Row{"QU JD", "ABC"}, Row{"QU" + Ansi("　") + "JD", "ABC"},
                         Row{"QUJD=", "AB"}, Row{"AAAA", ""}, Row{"", ""}}) {
        EXPECT_EQ(Hex(UpToNul(DecodeBase64(r.in))), Hex(r.out)) << r.in;
    }
    int pumped = 0;
    DecodeBase64("QUJDREVG", [&] { ++pumped; });
    EXPECT_EQ(pumped, 2);
}

TEST(Decoders, RandomInputsNeverCrash) {
    std::mt19937 rng(61);
    const std::string alphabet = "%+=\\'\"uxAZaz09/\r\n \x80\xA1\xFF\0";
    for (int round = 0; round < 400; ++round) {
        std::string s(rng() % 40, ' ');
        for (auto& c : s) c = round % 2 ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
        DecodePercent(s);
        DecodeBase64(s);
        Utf8ToAnsi(s);
        if (round % 8 == 0) DecodeJsEscapes(s);
    }
    SUCCEED();
}

#include "text/ScriptFileText.h"

#include <gtest/gtest.h>

#include <random>

#include "common/TestSupport.h"
#include "text/CodePage.h"

using namespace qy::text;
using qy::test::Bytes;
using qy::test::Hex;

namespace {

const std::string kZhongwenGbk = Bytes({0xD6, 0xD0, 0xCE, 0xC4});
const std::string kScriptUtf8 = "\"\xE4\xB8\xAD\xE6\x96\x87\xE6\xB5\x8B\xE8\xAF\x95\" // \xE6\xB3\xA8\xE9\x87\x8A\r\n";

/// The file read automatically, then written back in the encoding found.
std::string BackAgain(const std::string& bytes) {
    DecodedFile file = DecodeScriptFile(bytes);
    return EncodeScriptFile(file.text, file.encoding);
}

}  // namespace

TEST(ScriptFileText, RecognisesUtf8AndUtf16AndComesBackByteExact) {
    DecodedFile plain = DecodeScriptFile(kScriptUtf8);
    EXPECT_EQ(plain.encoding, FileEncoding::Utf8);
    EXPECT_EQ(plain.text, Utf8ToAnsiText(kScriptUtf8));
    EXPECT_EQ(plain.text.substr(1, 4), kZhongwenGbk);

    DecodedFile bom = DecodeScriptFile("\xEF\xBB\xBF" "a=1");  // a mark alone makes it UTF-8
    EXPECT_EQ(bom.encoding, FileEncoding::Utf8Bom);
    EXPECT_EQ(bom.text, "a=1");

    DecodedFile le = DecodeScriptFile(Bytes({0xFF, 0xFE, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE, 'a', 0}));
    EXPECT_EQ(le.encoding, FileEncoding::Utf16Le);
    EXPECT_EQ(AnsiToWide(le.text), u"中\U0001F600a");
    EXPECT_FALSE(le.cut);
    DecodedFile be = DecodeScriptFile(Bytes({0xFE, 0xFF, 0x4E, 0x2D, 0, 'a'}));
    EXPECT_EQ(be.encoding, FileEncoding::Utf16Be);
    EXPECT_EQ(AnsiToWide(be.text), u"中a");

    for (const std::string& bytes :
         {kScriptUtf8, std::string("\xEF\xBB\xBF") + kScriptUtf8, std::string("\xEF\xBB\xBF"),
          Bytes({0xFF, 0xFE, 0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE, 'a', 0}), Bytes({0xFE, 0xFF, 0x4E, 0x2D, 0, 'a'}),
          Utf16ToUtf8(u"\u00A9\u00A0\u2003\U0001F600\uFFFD"), kZhongwenGbk, std::string("plain ascii")}) {
        EXPECT_EQ(Hex(BackAgain(bytes)), Hex(bytes));
    }
}

TEST(ScriptFileText, AnythingElseIsWorkbenchBytesUnchanged) {
    EXPECT_EQ(DecodeScriptFile(kZhongwenGbk).encoding, FileEncoding::Gbk);
    EXPECT_EQ(DecodeScriptFile("var a;").encoding, FileEncoding::Gbk);  // plain ASCII is the same either way
    EXPECT_EQ(DecodeScriptFile(Bytes({0xFF, 0xFE, 'a'})).encoding, FileEncoding::Gbk);  // odd: no UTF-16
    EXPECT_EQ(DecodeScriptFile(Bytes({0xEF, 0xBB, 0xBF, 0xD6, 0xD0})).encoding, FileEncoding::Gbk);  // mark, not UTF-8
    std::mt19937 rng(54936);
    for (int round = 0; round < 300; ++round) {
        std::string bytes(1 + rng() % 200, '\0');
        for (auto& c : bytes) c = static_cast<char>(1 + rng() % 255);
        ASSERT_EQ(Hex(BackAgain(bytes)), Hex(bytes)) << "round " << round;
    }
}

TEST(ScriptFileText, AZeroByteEndsTheTextAndSaysWhere) {
    DecodedFile file = DecodeScriptFile(std::string("ab\0cde", 6));
    EXPECT_EQ(file.text, "ab");
    EXPECT_TRUE(file.cut);
    EXPECT_EQ(file.keptBytes, 2u);
    EXPECT_EQ(file.droppedBytes, 4u);
    DecodedFile whole = DecodeScriptFile("abc");
    EXPECT_FALSE(whole.cut);
    EXPECT_EQ(whole.keptBytes, 3u);
    EXPECT_EQ(whole.droppedBytes, 0u);
    // UTF-8 is judged on what is kept; in UTF-16 only a zero unit cuts.
    DecodedFile utf8 = DecodeScriptFile(std::string("\xE4\xB8\xAD\0\xFF", 5));
    EXPECT_EQ(utf8.encoding, FileEncoding::Utf8);
    EXPECT_EQ(utf8.text, Bytes({0xD6, 0xD0}));
    EXPECT_EQ(utf8.droppedBytes, 2u);
    DecodedFile u16 = DecodeScriptFile(Bytes({0xFF, 0xFE, 'a', 0, 0, 0, 'b', 0}));
    EXPECT_EQ(u16.text, "a");
    EXPECT_TRUE(u16.cut);
    EXPECT_EQ(u16.keptBytes, 4u);
    EXPECT_EQ(u16.droppedBytes, 4u);
}

TEST(ScriptFileText, AnExplicitChoiceOverridesRecognition) {
    // GBK chosen: UTF-8 bytes stay bytes; UTF-8 chosen: GBK bytes become replacement characters.
    EXPECT_EQ(DecodeScriptFile(kScriptUtf8, FileEncoding::Gbk).text, kScriptUtf8);
    DecodedFile forced = DecodeScriptFile("x" + kZhongwenGbk, FileEncoding::Utf8);
    EXPECT_EQ(forced.encoding, FileEncoding::Utf8);
    EXPECT_EQ(AnsiToWide(forced.text), u"x\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(forced.invalidSequences, 4u);
    DecodedFile genuine = DecodeScriptFile("\xEF\xBF\xBD\xFF", FileEncoding::Utf8);
    EXPECT_EQ(genuine.invalidSequences, 1u);
    EXPECT_EQ(DecodeScriptFile(std::string("\xEF\xBB\xBF") + "a", FileEncoding::Utf8).encoding, FileEncoding::Utf8Bom);
    // Writing GBK text as UTF-16 and UTF-8 with a mark.
    EXPECT_EQ(Hex(EncodeScriptFile(kZhongwenGbk, FileEncoding::Utf16Be)), "FE FF 4E 2D 65 87");
    EXPECT_EQ(Hex(EncodeScriptFile(kZhongwenGbk, FileEncoding::Utf8Bom)), "EF BB BF E4 B8 AD E6 96 87");
    EXPECT_EQ(EncodeScriptFile(std::string("a\0b", 3), FileEncoding::Auto), "a");
}

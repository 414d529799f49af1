#include "serve/Json.h"

#include <gtest/gtest.h>

using qy::serve::Json;

namespace {

std::string RoundTrip(const std::string& text) {
    auto j = Json::Parse(text);
    return j ? j->Dump() : "<refused>";
}

}  // namespace

TEST(Json, ReadsAndWritesEveryKindCompactly) {
    EXPECT_EQ(RoundTrip(" { \"a\" : [1, -2.5, 1e3, true, false, null], \"b\": {\"c\": \"d\"} } "),
              "{\"a\":[1,-2.5,1000,true,false,null],\"b\":{\"c\":\"d\"}}");
    EXPECT_EQ(RoundTrip("0.1"), "0.1");
    EXPECT_EQ(RoundTrip("-0"), "0");
    EXPECT_EQ(RoundTrip("123456789012345678"), "123456789012345680");
    EXPECT_EQ(RoundTrip("1e400"), "null");  // out of range: an infinity, which JSON writes as null
    EXPECT_EQ(RoundTrip("\"\\u4e2d\\u6587 \\ud83d\\ude00\""), "\"中文 😀\"");
    EXPECT_EQ(RoundTrip("\"a\\\"b\\\\c\\n\\t\\/\""), "\"a\\\"b\\\\c\\n\\t/\"");
    // A repeated name keeps its last value, as JavaScript's JSON.parse does.
    EXPECT_EQ(RoundTrip("{\"a\":1,\"a\":2}"), "{\"a\":2}");
}

TEST(Json, KeepsLoneSurrogatesAndEscapesLineBreakingCharacters) {
    EXPECT_EQ(RoundTrip("\"x\\ud800y\""), "\"x\\ud800y\"");
    EXPECT_EQ(RoundTrip("\"\\udc00\\ud800\""), "\"\\udc00\\ud800\"");
    // U+2028 and U+2029 end a line inside a JavaScript string literal.
    EXPECT_EQ(RoundTrip("\"\xE2\x80\xA8\""), "\"\\u2028\"");
    std::string out;
    qy::serve::AppendJsonString(out, std::u16string(u"a\xD800") + u"\x01");
    EXPECT_EQ(out, "\"a\\ud800\\u0001\"");
}

TEST(Json, ScriptLiteralIsPlainAscii) {
    auto j = Json::Parse("{\"k\":[\"中\",\"😀\",1.5]}");
    ASSERT_TRUE(j);
    EXPECT_EQ(j->ScriptLiteral(), "({\"k\":[\"\\u4e2d\",\"\\ud83d\\ude00\",1.5]})");
    EXPECT_EQ(Json::String("a'b").ScriptLiteral(), "\"a'b\"");
}

TEST(Json, RefusesWhatIsNotJsonAndSaysWhere) {
    for (const char* bad : {"", "{", "[1,]", "{\"a\"}", "{a:1}", "'x'", "01", "1.", "-", "tru", "\"\\x\"", "\"a",
                            "\"tab\there\"", "[1] 2", "\"\xC3\x28\"", "\"\xED\xA0\x80\"", "NaN"}) {
        std::string why;
        EXPECT_FALSE(Json::Parse(bad, &why)) << bad;
        EXPECT_NE(why.find("JSON 格式错误"), std::string::npos) << bad;
    }
    std::string deep(200, '[');
    deep += std::string(200, ']');
    EXPECT_FALSE(Json::Parse(deep));
    EXPECT_TRUE(Json::Parse(deep, nullptr, 300));
}

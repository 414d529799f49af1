// String-array obfuscation as the common public obfuscator writes it, on samples made
// from scripts of our own (tests/transform/samples/README.md says how): each unpacks to
// code with the original's answer, its string literals plain and no decoder left.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "common/TestSupport.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"
#include "transform/Transforms.h"

using namespace qy::transform;
using namespace qy::script;

namespace {

std::string Sample(const std::string& name) {
    // Next to this file, wherever the tests run from.
    return qy::test::ReadFileBytes((std::filesystem::path(__FILE__).parent_path() / "samples" / name).string());
}

std::string Answer(const std::string& code) {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode(code);
    EXPECT_EQ(GetPropertyNumber(host.GetError(), "Number"), 0) << GetPropertyText(host.GetError(), "Description");
    return VariantToText(host.Eval("answer"));
}

struct Case {
    const char* obfuscated;
    const char* original;
};

class StringArraySamples : public ::testing::TestWithParam<Case> {};

}  // namespace

TEST_P(StringArraySamples, UnpackToTheSameAnswerWithPlainStrings) {
    const std::string obfuscated = Sample(GetParam().obfuscated), original = Sample(GetParam().original);
    ASSERT_FALSE(obfuscated.empty());
    ScriptHost main;
    UnpackResult r = UnpackScript(main, obfuscated);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.refused.empty() && r.timedOut.empty());
    ASSERT_FALSE(r.removed.empty());
    EXPECT_EQ(Answer(r.text), Answer(original));
    // The obfuscator's own names (the array, the decoders and their aliases) are gone.
    EXPECT_EQ(r.text.find("a0_0x"), std::string::npos) << r.text;
    // Every string literal of the original, as a literal of its own.
    std::regex literal("'([^'\\\\]*)'");
    for (std::sregex_iterator it(original.begin(), original.end(), literal), end; it != end; ++it) {
        const std::string s = (*it)[1];
        EXPECT_TRUE(r.text.find("'" + s + "'") != std::string::npos || r.text.find("\"" + s + "\"") != std::string::npos ||
                    r.text.find("." + s) != std::string::npos)
            << s;
    }
    // The result compiles for the JScript target as the sample did.
    ScopedScriptTarget jscript(ScriptTarget::JScript58);
    EXPECT_TRUE(CompilesInCurrentTarget(r.text));
}

INSTANTIATE_TEST_SUITE_P(Obfuscator4, StringArraySamples,
                         ::testing::Values(Case{"hash.default.obf.js", "hash.js"},
                                           Case{"base64.default.obf.js", "base64.js"},
                                           Case{"base64.b64fn.obf.js", "base64.js"},
                                           Case{"hash.rc4.obf.js", "hash.js"},
                                           Case{"hash.mixed.obf.js", "hash.js"}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.obfuscated;
                             name = name.substr(0, name.find(".obf"));
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(StringArray, CallsWithComputedArgumentsKeepTheHelpers) {
    // One call the box cannot settle: every helper stays, the settled call comes off.
    std::string s = Sample("hash.default.obf.js");
    const std::string tail = "var extra=a0_0x550d63(answer.length);";
    ScriptHost main;
    UnpackResult r = UnpackScript(main, s + tail);
    ASSERT_TRUE(r.ok);
    EXPECT_NE(r.text.find("function a0_0x3625()"), std::string::npos);
    EXPECT_NE(r.text.find("'signed with fnv-1a'"), std::string::npos);
    EXPECT_EQ(Answer(r.text), Answer(Sample("hash.js")));
}

TEST(StringArray, GuardsComeOffOrKeepTheFormatterAway) {
    const std::string answer = Answer(Sample("hash.js"));
    ScriptHost main;
    // The self-defending guard goes: the result may be laid out anew.
    UnpackResult r = UnpackScript(main, Sample("hash.selfdef.obf.js"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text.find("(((.+)+)+)+$"), std::string::npos);
    EXPECT_TRUE(r.guard.empty());
    EXPECT_EQ(Answer(r.text), answer);
    ToolResult formatted = FormatScript(r.text);
    ASSERT_TRUE(formatted.ok);
    EXPECT_EQ(Answer(formatted.text), answer);
    // The console guard and the debug protection go too, so formatting is safe.
    r = UnpackScript(main, Sample("hash.debug.obf.js"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text.find("'exception'"), std::string::npos);
    EXPECT_TRUE(r.guard.empty()) << r.guard;
    bool consoleCounted = false;
    for (const auto& entry : r.removed) consoleCounted |= entry.first == qy::text::Utf8ToAnsiText("禁用控制台");
    EXPECT_TRUE(consoleCounted);
}

TEST(ControlFlow, ProxyObjectsAndFlattenedBlocksArePutBackInOrder) {
    ScriptHost main;
    UnpackResult r = UnpackScript(main, Sample("base64.cff.obf.js"));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(Answer(r.text), Answer(Sample("base64.js")));
    EXPECT_EQ(r.text.find("split('|')"), std::string::npos) << r.text;
    EXPECT_EQ(r.text.find("switch"), std::string::npos);
    EXPECT_EQ(r.text.find("function(_0x"), std::string::npos);  // no proxy function left
    std::vector<std::string> labels;
    for (const auto& entry : r.removed) labels.push_back(entry.first);
    EXPECT_EQ(labels.size(), 6u);  // string array, proxy objects, flattening, plain writing, brackets, names
    // A flattened block whose case jumps elsewhere stays as it is.
    const std::string jumping = "function f(){var o='1|0'.split('|'),i=0;while(!![]){switch(o[i++]){case'0':return 2;continue;"
                                "case'1':if(x)break;continue;}break;}}var x=0;";
    std::string plain = jumping;
    plain.replace(plain.find("!![]"), 4, "true");
    EXPECT_EQ(UnpackScript(main, jumping).text, plain);
}

TEST(Escapes, StringsAndNamesComeOutPlainWhereThatKeepsTheirMeaning) {
    ScriptHost main;
    auto unpack = [&](const std::string& s) { return UnpackScript(main, s).text; };
    EXPECT_EQ(unpack("var s=\"\\x61\\x62\\u0063\";"), "var s=\"abc\";");
    // A backslash, a quote and a line break keep an escape; so does a character the
    // workbench's code page may lack.
    EXPECT_EQ(unpack("var s='\\x5C\\x6E\\x27\\x0a\\u00e9';"), "var s='\\\\n\\'\\n\\xE9';");
    EXPECT_EQ(unpack("var \\u0061b=1;"), "var ab=1;");
    // No directive where there was none.
    EXPECT_EQ(unpack("'\\x75se strict';x=1;"), "'\\x75se strict';x=1;");
}

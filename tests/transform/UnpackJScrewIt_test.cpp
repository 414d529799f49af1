// JScrewIt output written for one engine or another (tests/transform/samples/README.md says
// how each was made), decoded without running the program: the capture box answers as the
// encoder's engine would, and only the decoding that reads as a program is kept.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/TestSupport.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"
#include "transform/Transforms.h"

using namespace qy::transform;
using namespace qy::script;

namespace {

std::string Sample(const std::string& name) {
    return qy::test::ReadFileBytes((std::filesystem::path(__FILE__).parent_path() / "samples" / name).string());
}

std::string Answer(const std::string& code) {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode(code);
    EXPECT_EQ(GetPropertyNumber(host.GetError(), "Number"), 0) << code.substr(0, 300);
    return VariantToText(host.Eval("answer"));
}

UnpackResult Unpack(const std::string& text) {
    ScriptHost main;
    return UnpackScript(main, text);
}

}  // namespace

TEST(JScrewIt, EachEnginesFeatureSetDecodesToTheProgram) {
    // Natives as V8, Firefox or Internet Explorer write them, browser objects, and what
    // current browsers share (the V8 and Firefox decodings agree there).
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    for (const char* file : {"small.NODE_20.js", "small.FF.js", "small.IE_11.js", "small.BROWSER.js", "small.COMPACT.js"}) {
        SCOPED_TRACE(file);
        UnpackResult r = Unpack(Sample(std::string("jscrewit/") + file));
        ASSERT_TRUE(r.ok);
        // The program's own brackets around the product are not needed either.
        EXPECT_EQ(r.text, "answer='ok-'+6*7\n");
        ASSERT_EQ(r.removed.size(), 2u);
        EXPECT_EQ(r.removed[0].first, "JSFuck");
    }
}

TEST(JScrewIt, TheEncodersOwnArrowDecoderIsRunAndTheProgramComesBackWhole) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    const std::string want = Answer(Sample("hash.js"));
    for (const char* file : {"hash.CHROME.js", "hash.FF.js"}) {
        SCOPED_TRACE(file);
        UnpackResult r = Unpack(Sample(std::string("jscrewit/") + file));
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.refused.empty());
        EXPECT_EQ(Answer(r.text), want);
        EXPECT_NE(r.text.find("function signRequest(path, params, secret) {"), std::string::npos) << r.text.substr(0, 400);
        EXPECT_EQ(r.text.find("[]["), std::string::npos);  // nothing of the encoding is left
    }
}

TEST(JScrewIt, CodeForANewerEngineIsCheckedWhereItCanRun) {
    // In the JScript 5.8 target the encoded input throws (it reads built-ins JScript lacks)
    // and so does the program (Array.prototype.map): the two are compared in the modern
    // target instead, where the program runs to the answer its source gives.
    ASSERT_EQ(CurrentScriptTarget(), ScriptTarget::JScript58);
    UnpackResult r = Unpack(Sample("jscrewit/tea.NODE_20.js"));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.refused.empty()) << r.refused.front();
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    EXPECT_EQ(Answer(r.text), "tea:7-14-21|2|a");
    EXPECT_EQ(r.text.find("[]["), std::string::npos);
}

TEST(JScrewIt, TheBoxLeavesTheEngineAsItFoundIt) {
    // Natives' text, the string HTML methods and iterators are the engine's own again
    // after a decoding under another engine's persona.
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost main;
    UnpackScript(main, "x=1");  // the unpacker's functions are the user's control's too
    for (const char* persona : {"v8", "ie"}) {
        EXPECT_EQ(VariantToText(main.Run("unpack_decoded_as", Sample("jscrewit/small.IE_11.js"), persona)),
                  std::string(persona) == "ie" ? "answer='ok-'+(6*7)\n" : "");
        EXPECT_EQ(VariantToText(main.Eval("String(Array.prototype.flat) + '|' + 'a'.big() + '|' + typeof [].values().map")),
                  "function flat() {\n    [native code]\n}|<big>a</big>|undefined");
    }
}

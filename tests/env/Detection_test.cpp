// What a page that looks for tools learns from the console: nothing. Its previews never
// call a replaced Function.prototype.toString or a getter, and the workbench's own
// lines (an uncaught error in a timer) still arrive when the page has replaced or
// trapped the console's methods.
#include <gtest/gtest.h>

#include "env/EnvTestSupport.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

class DetectionTest : public ::testing::TestWithParam<ScriptTarget> {};

TEST_P(DetectionTest, PreviewsCallNeitherTheReplacedToStringNorGetters) {
    EnvHost env(GetParam());
    bool modern = GetParam() == ScriptTarget::ES2021;
    ASSERT_TRUE(env.Add(std::string(modern ? "var GetParamIsModern = true;\n" : "var GetParamIsModern = false;\n") +
                        "var looked = 0;\n"
                        "var realToString = Function.prototype.toString;\n"
                        "Function.prototype.toString = function () { looked++; return realToString.call(this); };\n"
                        "function secret(a) { return a; }\n"
                        "var bait = {plain: 1};\n"
                        "if (Object.defineProperty && GetParamIsModern) Object.defineProperty(bait, 'id', {get: function () { looked++; return 'x'; }, enumerable: true});\n"
                        "console.log(secret, bait, [secret]);\n"
                        "console.log('%o', secret);\n"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("looked"), "0");
    ASSERT_GE(env.lines.size(), 2u);
    EXPECT_NE(env.lines[0].find("secret(a) { return a; }"), std::string::npos) << env.lines[0];
    if (modern) {
        EXPECT_NE(env.lines[0].find("id: (...)"), std::string::npos) << env.lines[0];
    }
}

TEST_P(DetectionTest, TheWorkbenchsLinesArriveWhenThePageReplacesTheConsole) {
    EnvHost env(GetParam());
    std::string trapError = GetParam() == ScriptTarget::ES2021
                                ? "Object.defineProperty(console, 'error', {get: function () { looked++; return function () {}; }});\n"
                                : "console.error = function () { looked++; };\n";
    ASSERT_TRUE(env.Add("var looked = 0;\n"
                        "console.log = function () { looked++; };\n" +
                        trapError +
                        "setTimeout(function () { throw new Error('late failure'); }, 10);\n"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("looked"), "0");
    bool reported = false;
    for (const std::string& line : env.lines) reported = reported || line.find("Uncaught Error: late failure") != std::string::npos;
    EXPECT_TRUE(reported);
}

INSTANTIATE_TEST_SUITE_P(Targets, DetectionTest, ::testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021), TargetName);

}  // namespace
}  // namespace qy::test

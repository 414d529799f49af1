/** @file RealScripts_test.cpp
 * Patterns taken from libraries users load (feature tests, extend/mix-in helpers,
 * prototypes written as object literals), written small: the JScript target answers as
 * JScript, the modern one as the engine.
 */
#include <gtest/gtest.h>

#include <string>

#include "JScriptTestSupport.h"

namespace qy {
namespace {

using test::BothAnswers;
using test::RunBoth;

TEST(RealScripts, FeatureTestForTheHiddenNameRuleSeesJScript) {
    // The test a collection library makes to learn that own toString is skipped.
    BothAnswers a = RunBoth("var hasEnumBug = !{toString: null}.propertyIsEnumerable('toString');",
                            "hasEnumBug + ' ' + ({a: 1}).propertyIsEnumerable('a') + ' ' + "
                            "[1].propertyIsEnumerable(0) + ' ' + new String('ab').propertyIsEnumerable(0)");
    EXPECT_EQ(a.jscript, "true true true false");
    EXPECT_EQ(a.modern, "false true true true");
}

TEST(RealScripts, ForInLeavesOutNamesThatShadowHiddenBuiltIns) {
    const char* code =
        "function keys(o) { var r = []; for (var k in o) r[r.length] = k; return r.join(); }\n"
        "function mixIn(target, source) {\n"
        "  for (var name in source) if (source.hasOwnProperty(name)) target[name] = source[name];\n"
        "  return target;\n"
        "}\n"
        "function F() {}\n"
        "F.prototype = {constructor: F, run: function () { return 1; }};\n";
    struct Row {
        const char* expr;
        const char* jscript;
        const char* modern;
    };
    const Row rows[] = {
        {"keys({toString: 1, valueOf: 2, hasOwnProperty: 3, a: 4})", "a", "toString,valueOf,hasOwnProperty,a"},
        {"keys(new F())", "run", "constructor,run"},
        // A mix-in that relies on the loop alone does not copy toString under JScript.
        {"String(mixIn({}, {toString: function () { return 'mine'; }}))", "[object Object]", "mine"},
        // Arrays: their own methods' names are hidden too; other names are visited.
        {"(function(){ var a = [7, 8]; a.join = 0; a.x = 1; return keys(a); })()", "0,1,x", "0,1,join,x"},
        // A string's characters are no properties; what its prototype gained is.
        {"keys('ab') + '|' + keys(new String('cd'))", "|", "0,1|0,1"},
        {"(function(){ String.prototype.extra = 1; var k = keys('ab'); delete String.prototype.extra; "
         "return k; })()",
         "extra", "0,1,extra"},
        {"keys(null) + '|' + keys(undefined) + '|' + keys(5)", "||", "||"},
        // Loops that change the object still see what they would have seen.
        {"(function(){ var o = {a: 1, b: 2}, r = ''; for (var k in o) { delete o.b; r += k; } return r; })()", "a",
         "a"},
    };
    for (const Row& r : rows) {
        BothAnswers a = RunBoth(code, r.expr);
        EXPECT_EQ(a.jscript, r.jscript) << r.expr;
        EXPECT_EQ(a.modern, r.modern) << r.expr;
    }
}

TEST(RealScripts, HashHelpersStillLoopOverTheirTables) {
    // The shape of the table-driven loops of the hash libraries: a table object walked by
    // for-in, each entry used as a number.
    const char* code =
        "var T = {a: 1, b: 2, c: 3, toString: 9};\n"
        "function sum(t) { var s = 0; for (var k in t) s += t[k]; return s; }\n";
    BothAnswers a = RunBoth(code, "sum(T) + ' ' + sum([1, 2, 3]) + ' ' + sum({})");
    EXPECT_EQ(a.jscript, "6 6 0");
    EXPECT_EQ(a.modern, "15 6 0");
}

}  // namespace
}  // namespace qy

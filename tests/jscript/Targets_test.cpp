/** @file Targets_test.cpp
 * The two targets through the script control as the workbench uses it: what JScript
 * refuses arrives as the Error object with JScript's number, Chinese description, the
 * user's line, column and source line; rewritten code behaves as JScript's and its
 * run-time errors point at the user's text; conditional compilation; and the modern
 * target keeps the engine's own answers.
 */
#include <gtest/gtest.h>

#include "JScriptTestSupport.h"
#include "jscript/ErrorMapping.h"

using namespace qy;
using namespace qy::test;

namespace {

struct Refusal {
    const char* code;
    int number;
    const char* description;
    int32_t line;
    int32_t column;
    const char* text;
};

}  // namespace

TEST(Targets, LaterSyntaxIsRefusedWithJScriptsErrorWhereTheUserWroteIt) {
    const Refusal rows[] = {
        {"var a = 1;\nlet b = 2;", 1004, "缺少 ';'", 2, 4, "let b = 2;"},
        {"var a = 1;\r\nconst b = 2;", 1002, "语法错误", 2, 0, "const b = 2;"},
        {"x = a => a", 1002, "语法错误", 1, 7, "x = a => a"},
        {"x = {a: 1,}", 1028, "缺少标识符、字符串或数字", 1, 10, "x = {a: 1,}"},
        {"o = {};\no.default = 1;", 1010, "缺少标识符", 2, 2, "o.default = 1;"},
        {"x = {default: 1}", 1028, "缺少标识符、字符串或数字", 1, 5, "x = {default: 1}"},
        {"x = `a`", 1014, "无效字符", 1, 4, "x = `a`"},
        {"class A {}", 1002, "语法错误", 1, 0, "class A {}"},
        {"function f(a = 1) {}", 1006, "缺少 ')'", 1, 13, "function f(a = 1) {}"},
        {"var s = 'abc", 1015, "未结束的字符串常量", 1, 8, "var s = 'abc"},
        {"x = {get a() { return 1; }}", 1003, "缺少 ':'", 1, 9, "x = {get a() { return 1; }}"},
    };
    for (const Refusal& r : rows) {
        script::ScriptHost j = JScriptHost();
        j.AddCode(text::Utf8ToAnsiText(r.code));
        ErrorSeen e = ErrorOf(j);
        EXPECT_EQ(e.number, jscript::errors::ToNumber(r.number)) << r.code;
        EXPECT_EQ(e.description, r.description) << r.code;
        EXPECT_EQ(e.line, r.line) << r.code;
        EXPECT_EQ(e.column, r.column) << r.code;
        EXPECT_EQ(e.text, r.text) << r.code;
        // Nothing of refused code runs.
        EXPECT_EQ(test::Run(j, "", "typeof a"), "undefined") << r.code;
    }
    // The modern target takes what the engine takes.
    for (const char* code : {"let b = 2;", "x = a => a", "x = {a: 1,}", "o = {}; o.default = 1;", "x = `a`",
                             "class A {}", "function f(a = 1) {}"}) {
        script::ScriptHost m = ModernHost();
        m.AddCode(code);
        EXPECT_EQ(ErrorOf(m).number, 0) << code;
    }
}

TEST(Targets, ExpressionsPassTheGateToo) {
    script::ScriptHost j = JScriptHost();
    j.AddCode("var o = {a: 1};");
    j.Eval("o.default");
    ErrorSeen e = ErrorOf(j);
    EXPECT_EQ(e.code, 1010);
    EXPECT_EQ(e.line, 1);
    EXPECT_EQ(e.column, 2);
    // A refused expression is refused again, not served from what was compiled before.
    j.Eval("o.default");
    EXPECT_EQ(ErrorOf(j).code, 1010);
    EXPECT_EQ(test::Run(j, "", "o.a"), "1");
}

TEST(Targets, RewrittenCodeAnswersAsJScriptAndTheModernTargetAsTheEngine) {
    struct Row {
        const char* code;
        const char* expr;
        const char* jscript;
        const char* modern;
    };
    const Row rows[] = {
        {"", "'abc'[1]", "undefined", "b"},
        {"var s = 'xyz', i = 2;", "s[i] + s.length + s['length']", "NaN", "z33"},
        {"", "[1,2,].length", "3", "2"},
        {"", "'\\v' === 'v'", "true", "false"},
        {"var f = function g() { return 1; };", "typeof g", "function", "undefined"},
        {"if (false) { function h() { return 2; } }", "typeof h", "function", "undefined"},
        {"function t() { try { throw 1; } catch (e) {} return e; }", "t()", "1", "error 5009: 'e' 未定义"},
        {"", "/*@cc_on!@*/false", "true", "false"},
        {"/*@cc_on @if (@_jscript_version >= 5.8) var v = 'new'; @else var v = 'old'; @end @*/", "v", "new",
         "error 5009: 'v' 未定义"},
        {"var code = '[1,2,].length';", "eval(code)", "3", "2"},
        // JScript knows no strict mode: the directive is a string like any other.
        {"'use strict'; function s() { return this; }", "s() === this", "true", "false"},
        {"function u() { \"other\"\n 'use strict'\n leaked = 1; return typeof this; }", "u() + leaked", "object1",
         "error 5009: 'leaked' 未定义"},
        {"function v() { var t = 'use strict'; return this; }", "v() === this", "true", "true"},
        {"", "eval(\"'use strict'; (function () { return this; })() === this\")", "true", "false"},
        {"", "Function(\"'use strict'; return this\")() === this", "true", "false"},
    };
    for (const Row& r : rows) {
        BothAnswers a = RunBoth(r.code, r.expr);
        EXPECT_EQ(a.jscript, r.jscript) << r.code << " | " << r.expr;
        EXPECT_EQ(a.modern, r.modern) << r.code << " | " << r.expr;
    }
}

TEST(Targets, RunTimeErrorsInRewrittenCodePointAtTheUsersText) {
    script::ScriptHost j = JScriptHost();
    // Rewrites earlier on the line (string indexing, a block function moved) must not
    // shift the reported column of the failing call.
    j.AddCode("function f(s) {\n  var c = s[0] + s[1]; if (c) { function inner() {} } return missing(c);\n}");
    ASSERT_EQ(ErrorOf(j).number, 0);
    j.Eval("f([1, 2])");
    ErrorSeen e = ErrorOf(j);
    EXPECT_EQ(e.code, 5007);  // a call of an undeclared name
    EXPECT_EQ(e.line, 2);
    // The engine places a failed call at its statement: the user's `return`.
    EXPECT_EQ(e.column, 54);
    script::ScriptHost m = ModernHost();
    m.AddCode("function f(s) {\n  var c = s[0] + s[1]; if (c) { function inner() {} } return missing(c);\n}");
    m.Eval("f([1, 2])");
    EXPECT_EQ(ErrorOf(m).column, e.column);
}

TEST(Targets, EachControlKeepsTheTargetItWasMadeWith) {
    script::ScriptHost j = JScriptHost();
    script::ScriptHost m = ModernHost();
    EXPECT_EQ(script::GetPropertyText(j.Control(), "Target"), "jscript");
    EXPECT_EQ(script::GetPropertyText(m.Control(), "Target"), "es2021");
    j.Reset();
    m.Reset();
    EXPECT_EQ(test::Run(j, "", "typeof JSON"), "undefined");
    EXPECT_EQ(test::Run(m, "", "typeof JSON"), "object");
    // Both say what they stand in for: scripts sniff the engine.
    EXPECT_EQ(test::Run(j, "", "ScriptEngine() + ScriptEngineMajorVersion() + ScriptEngineMinorVersion()"), "JScript58");
    EXPECT_EQ(test::Run(m, "", "ScriptEngine() + ScriptEngineMajorVersion() + ScriptEngineMinorVersion()"), "JScript58");
}

TEST(Targets, FunctionsPrintTheTextTheUserWroteThoughTheEngineRanARewrite) {
    // Obfuscated scripts read their own functions' text and test it against patterns
    // (self-defending code loops for ever when the text has changed).
    const std::string compact = "function f(s){try{return s[0]+[1,].length}catch(e){return e}}";
    const std::string hoisted = "function h(){return 'x'[0]}";
    const std::string named = "function g(a){return a[1]}";
    const std::string code = "var before = 1;\n" + compact + "\nif (before) { " + hoisted + " }\nvar k = " + named +
                             ";\nfunction outer(){ return function(){ return 'ab'[1]; }; }";
    script::ScriptHost j = JScriptHost();
    j.AddCode(code);
    ASSERT_EQ(ErrorOf(j).number, 0);
    EXPECT_EQ(test::Run(j, "", "f.toString()"), compact);
    EXPECT_EQ(test::Run(j, "", "String(h)"), hoisted);
    EXPECT_EQ(test::Run(j, "", "'' + k"), named);
    EXPECT_EQ(test::Run(j, "", "'' + g"), named);
    EXPECT_EQ(test::Run(j, "", "'' + outer()"), "function(){ return 'ab'[1]; }");
    EXPECT_EQ(test::Run(j, "", "f('abc')"), "NaN");  // no string indexing, [1,].length 2
    // Functions the user wrote without anything to rewrite print as the engine has them.
    EXPECT_EQ(test::Run(j, "", "(function plain(){ return 1 }).toString()"), "function plain(){ return 1 }");
    EXPECT_EQ(test::Run(j, "", "String(Math.max).indexOf('[native code]') > 0"), "true");
}

TEST(Targets, CallingAVariableThatHoldsNothingIsObjectExpected) {
    struct Row {
        const char* expr;
        int jscript;
        int modern;
    };
    for (Row r : {Row{"u()", 5007, 5002}, Row{"n()", 5002, 5002}, Row{"nothing()", 5007, 5009},
                  Row{"o.missing()", 438, 438}}) {
        script::ScriptHost j = JScriptHost();
        script::ScriptHost m = ModernHost();
        for (auto* host : {&j, &m}) {
            host->AddCode("var u, n = 1, o = {};");
            host->Eval(r.expr);
        }
        EXPECT_EQ(ErrorOf(j).code, r.jscript) << r.expr;
        EXPECT_EQ(ErrorOf(m).code, r.modern) << r.expr;
    }
    script::ScriptHost j = JScriptHost();
    j.AddCode("var u;");
    j.Eval("u()");
    EXPECT_EQ(ErrorOf(j).description, "缺少对象");
}

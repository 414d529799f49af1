/** @file Errors_test.cpp
 * JScript's error objects under the JScript target: the (number, description)
 * constructors, number and description beside message, "[object Error]", the engine's
 * errors in JScript's form when caught, and eval's syntax errors; the ES2021 target
 * keeps the engine's errors.
 */
#include <gtest/gtest.h>

#include <string>

#include "JScriptTestSupport.h"

namespace qy::test {
namespace {

const std::string kFields = "(function(e){return e.number + '|' + e.description + '|' + e.message})";

std::string Caught(const std::string& body) {
    return "(function(){try{" + body + "}catch(e){e = __qyCatch(e); return e.number + '|' + e.description + '|' + "
           "e.message + '|' + e.name}})()";
}

TEST(Errors, ConstructorTakesNumberAndDescription) {
    BothAnswers two = RunBoth("", kFields + "(new Error(5, 'x'))");
    EXPECT_EQ(two.jscript, "5|x|x");
    EXPECT_EQ(two.modern, "undefined|undefined|5");
    EXPECT_EQ(RunBoth("", kFields + "(new Error('x'))").jscript, "0|x|x");
    // One argument that reads as a number is the number.
    EXPECT_EQ(RunBoth("", kFields + "(new Error(42))").jscript, "42||");
    EXPECT_EQ(RunBoth("", kFields + "(new Error('7'))").jscript, "7||");
    EXPECT_EQ(RunBoth("", kFields + "(new Error())").jscript, "0||");
    EXPECT_EQ(RunBoth("", kFields + "(Error(-2146828275, 'called'))").jscript, "-2146828275|called|called");
    EXPECT_EQ(RunBoth("", kFields + "(new TypeError(3, 'bad'))").jscript, "3|bad|bad");
}

TEST(Errors, KindsAndNamesStay) {
    BothAnswers r = RunBoth("", "[new TypeError('t') instanceof TypeError, new RangeError('r') instanceof Error, "
                                "new SyntaxError('s').name, URIError.name, EvalError.prototype.name, "
                                "new ReferenceError('r').constructor === ReferenceError, "
                                "Error.prototype.constructor === Error].join()");
    EXPECT_EQ(r.jscript, "true,true,SyntaxError,URIError,EvalError,true,true");
    EXPECT_EQ(r.modern, r.jscript);
    // The other kinds take message from Error.prototype.
    EXPECT_EQ(RunBoth("", "TypeError.prototype.hasOwnProperty('message') + ' ' + TypeError.prototype.message").jscript,
              "false ");
}

TEST(Errors, ErrorsReadAsObjectError) {
    BothAnswers r = RunBoth("", "String(new Error('x')) + ' ' + new TypeError(1, 'y') + ' ' + "
                                "Object.prototype.toString.call(new RangeError('z'))");
    EXPECT_EQ(r.jscript, "[object Error] [object Error] [object Error]");
    EXPECT_EQ(r.modern, "Error: x TypeError: 1 [object Error]");
}

TEST(Errors, EngineFieldsAreNotJScripts) {
    BothAnswers r = RunBoth("", "(function(e){return [typeof e.stack, typeof e.lineNumber, typeof e.fileName]"
                                ".join()})(new Error('x'))");
    EXPECT_EQ(r.jscript, "undefined,undefined,undefined");
    EXPECT_EQ(r.modern, "string,number,string");
}

TEST(Errors, CaughtEngineErrorsHaveJScriptNumbers) {
    EXPECT_EQ(RunBoth("", Caught("undefinedName + 1")).jscript,
              "-2146823279|'undefinedName' 未定义|'undefinedName' 未定义|TypeError");
    EXPECT_EQ(RunBoth("", Caught("null.x")).jscript, "-2146823281|缺少对象|缺少对象|TypeError");
    EXPECT_EQ(RunBoth("", Caught("({}).foo()")).jscript, "-2146827850|对象不支持此属性或方法|对象不支持此属性或方法|TypeError");
    EXPECT_EQ(RunBoth("", Caught("var n = 1; n()")).jscript, "-2146823286|缺少函数|缺少函数|TypeError");
    BothAnswers modern = RunBoth("", "(function(){try{undefinedFn()}catch(e){return e.number + ' ' + e.message}})()");
    EXPECT_EQ(modern.modern, "undefined undefinedFn is not defined");
}

TEST(Errors, CatchLeavesTheScriptsOwnValuesAlone) {
    EXPECT_EQ(RunBoth("", Caught("throw new Error(5, 'mine')")).jscript, "5|mine|mine|Error");
    EXPECT_EQ(RunBoth("", "(function(){try{throw 'text'}catch(e){return __qyCatch(e)}})()").jscript, "text");
    EXPECT_EQ(RunBoth("", "(function(){var o = {a: 1}; try{throw o}catch(e){return __qyCatch(e) === o}})()").jscript,
              "true");
    EXPECT_EQ(RunBoth("", "String(__qyCatch(null)) + __qyCatch(7)").jscript, "null7");
}

TEST(Errors, RethrownEngineErrorKeepsItsCodeAndLine) {
    script::ScriptHost host = JScriptHost();
    host.AddCode("function f() {\n  try { null.x; } catch (e) { __qyCatch(e); throw e; }\n}\nf();");
    ErrorSeen e = ErrorOf(host);
    EXPECT_EQ(e.code, 5007);
    EXPECT_EQ(e.description, "缺少对象");
    EXPECT_EQ(e.line, 2);
}

TEST(Errors, UncaughtScriptErrorsReportTheirNumberAndLine) {
    script::ScriptHost host = JScriptHost();
    host.AddCode("var a = 1;\nthrow new Error(-2146828275, 'mine');");
    ErrorSeen e = ErrorOf(host);
    EXPECT_EQ(e.number, -2146828275);
    EXPECT_EQ(e.description, "mine");
    EXPECT_EQ(e.line, 2);
}

TEST(Errors, EvalTextGoesThroughTheGate) {
    BothAnswers ok = RunBoth("", "eval(__qyEval('1 + 2'))");
    EXPECT_EQ(ok.jscript, "3");
    EXPECT_EQ(RunBoth("", "__qyEval(5) + ' ' + typeof __qyEval(null)").jscript, "5 object");
    EXPECT_EQ(RunBoth("", "__qyEval('1002')").jscript, "1002");
    BothAnswers bad = RunBoth("", "(function(){try{eval(__qyEval('var = ;'))}catch(e){return e.number + '|' + "
                                  "e.description + '|' + (e.message === e.description) + '|' + "
                                  "(e instanceof SyntaxError)}})()");
    // A compile error of JScript's (10xx), message and description alike.
    EXPECT_EQ(bad.jscript.substr(0, 9), "-21468272") << bad.jscript;
    EXPECT_NE(bad.jscript.find("|true|true"), std::string::npos) << bad.jscript;
    EXPECT_EQ(bad.modern, "undefined|undefined|false|false");
}


// Errors that only modern code meets are described in Chinese too, the engine's names
// and places kept.
TEST(Errors, ModernCodesErrorsReadInChinese) {
    script::ScriptHost host = ModernHost();
    const std::pair<const char*, const char*> rows[] = {
        {"(function(){ 'use strict'; zz = 1 })()", "error 5009: 'zz' 未定义"},
        {"(function(){ x; let x = 1 })()", "error 5009: 'x' 在声明之前使用"},
        {"(function(){ const c = 1; c = 2 })()", "error 5000: 不能给常量 'c' 赋值"},
        {"JSON.parse('{a}')", "error 1002: JSON.parse：第 1 行第 2 列不是有效的 JSON（expected property name or '}'）"},
        {"(function(){ var o = {}; o.o = o; return JSON.stringify(o) })()", "error 5000: 对象含有循环引用，不能转换为 JSON"},
        {"new Date(NaN).toISOString()", "error 5029: 无效的日期"},
        {"'a'.repeat(-1)", "error 5029: 重复次数不能为负数"},
        {"(function(){ var [a] = 5 })()", "error 5000: 5 不可迭代"},
        {"(function(){ 'use strict'; var o = Object.freeze({a: 1}); o.a = 2 })()", "error 5000: \"a\" 是只读的"},
    };
    for (const auto& [expr, answer] : rows) EXPECT_EQ(qy::test::Run(host, "", expr), answer) << expr;
}

// The code and kind JScript gives each failure, "code kind" per case; the case runs as
// added code, so that the place of the failure in the text is known.
std::string CodeAndKind(const std::string& body) {
    script::ScriptHost host = JScriptHost();
    host.AddCode(text::Utf8ToAnsiText("function probe() { try { " + body +
                                      "; return 'none'; } catch (e) { return (e.number & 0xFFFF) + ' ' + e.name + "
                                      "' ' + (e instanceof TypeError); } }"));
    return Run(host, "", "probe()");
}

TEST(Errors, UndeclaredNamesReadAndCalled) {
    EXPECT_EQ(CodeAndKind("var x = nosuch"), "5009 TypeError true");
    EXPECT_EQ(CodeAndKind("nosuch.member()"), "5009 TypeError true");
    EXPECT_EQ(CodeAndKind("nosuch(1)"), "5007 TypeError true");
    EXPECT_EQ(CodeAndKind("nosuch  (1)"), "5007 TypeError true");
    EXPECT_EQ(CodeAndKind("var y = 2 + nosuch(1)"), "5007 TypeError true");
    EXPECT_EQ(CodeAndKind("var y = o.nosuch + nosuch"), "5009 TypeError true");
    // Uncaught, the Error object says the same, at the line of the call.
    script::ScriptHost host = JScriptHost();
    host.AddCode("var a = 1;\nfunction f() {\n  return 2 +   nosuch(3);\n}");
    host.Eval("f()");
    ErrorSeen e = ErrorOf(host);
    EXPECT_EQ(e.code, 5007);
    EXPECT_EQ(e.description, "缺少对象");
    EXPECT_EQ(e.line, 3);
    // The name is called inside eval's text as well.
    EXPECT_EQ(CodeAndKind("eval('1;\\n nosuch(2)')"), "5007 TypeError true");
    EXPECT_EQ(CodeAndKind("eval('nosuch + 1')"), "5009 TypeError true");
}

TEST(Errors, WhatCannotBeCalledOrConstructed) {
    EXPECT_EQ(CodeAndKind("new null"), "5007 TypeError true");
    EXPECT_EQ(CodeAndKind("new 3"), "445 TypeError true");
    EXPECT_EQ(CodeAndKind("new Math.max(5)"), "445 TypeError true");
    EXPECT_EQ(CodeAndKind("'a'.length()"), "5002 TypeError true");
    EXPECT_EQ(CodeAndKind("/a/.lastIndex()"), "5002 TypeError true");
    EXPECT_EQ(CodeAndKind("Math.PI()"), "5002 TypeError true");
    EXPECT_EQ(CodeAndKind("var d = new Date(); d()"), "5002 TypeError true");
    // A member that is not there: the object does not support it.
    EXPECT_EQ(CodeAndKind("[].forEach(function () {})"), "438 TypeError true");
    EXPECT_EQ(CodeAndKind("'a'.trim()"), "438 TypeError true");
}

TEST(Errors, BuiltInsRefuseWrongObjectsAndArguments) {
    EXPECT_EQ(CodeAndKind("RegExp.prototype.toString.call({})"), "5016 TypeError true");
    EXPECT_EQ(CodeAndKind("RegExp.prototype.test.call(null, 'x')"), "5016 TypeError true");
    EXPECT_EQ(CodeAndKind("Boolean.prototype.valueOf.call({})"), "5010 TypeError true");
    EXPECT_EQ(CodeAndKind("Array.prototype.toString.call({})"), "5031 TypeError true");
    EXPECT_EQ(CodeAndKind("Object.prototype.hasOwnProperty.call(null, 'x')"), "5007 TypeError true");
    EXPECT_EQ(CodeAndKind("Array.prototype.sort.call(null)"), "5007 TypeError true");
    EXPECT_EQ(CodeAndKind("[2, 1].sort({})"), "5014 TypeError true");
    EXPECT_EQ(CodeAndKind("[2, 1].sort(function (a, b) { return a - b; }, 1)"), "5014 TypeError true");
    EXPECT_EQ(CodeAndKind("(3).toString(undefined)"), "5 TypeError true");
    EXPECT_EQ(CodeAndKind("(3).toString(1)"), "5 TypeError true");
    EXPECT_EQ(CodeAndKind("(1).toPrecision(undefined)"), "5027 RangeError false");
    EXPECT_EQ(CodeAndKind("new Date().setTime()"), "449 TypeError true");
    EXPECT_EQ(CodeAndKind("new Date().setYear()"), "449 TypeError true");
    EXPECT_EQ(CodeAndKind("Date.prototype.setTime.call({})"), "5006 TypeError true");
    // What still works as it did.
    EXPECT_EQ(RunBoth("", "[[3, 1, 2].sort(null), [3, 1, 2].sort(), (1.5).toPrecision(), (255).toString(16), "
                          "new Date(0).setTime(5)].join('|')").jscript,
              "1,2,3|1,2,3|1.5|ff|5");
}

TEST(Errors, AssignmentAndDeleteOfNoReferenceFailWhenRun) {
    EXPECT_EQ(CodeAndKind("delete false"), "5012 TypeError true");
    EXPECT_EQ(CodeAndKind("delete (new Object())"), "5012 TypeError true");
    EXPECT_EQ(CodeAndKind("var t = 0; (t = 1) = 2"), "5008 ReferenceError false");
    EXPECT_EQ(CodeAndKind("true = 1"), "5008 ReferenceError false");
    EXPECT_EQ(CodeAndKind("var t = 0; (t + 1)++"), "5008 ReferenceError false");
    EXPECT_EQ(CodeAndKind("var t = 0; --(t + 1)"), "5008 ReferenceError false");
    // Both sides run first, left to right.
    script::ScriptHost host = JScriptHost();
    host.AddCode("var log = ''; function f() { try { (log += 'a') = (log += 'b'); } catch (e) {} "
                 "try { delete ((log += 'c') ? 1 : 2); } catch (e) {} return log; }");
    EXPECT_EQ(qy::test::Run(host, "", "f()"), "abc");
    // References stay references.
    EXPECT_EQ(RunBoth("", "(function () { var o = {a: 1}, a = [1], b; (b) = 2; o.a++; a[0] += 1; "
                          "delete o.a; return [b, o.a, a[0], delete o['x']].join(); })()").jscript,
              "2,,2,true");
}

TEST(Errors, NativeFunctionsPrintAsNativeCode) {
    BothAnswers r = RunBoth("", "[isNaN.toString(), Function.prototype.toString(), ''.substr.toString()].join('|')");
    EXPECT_EQ(r.jscript,
              "\nfunction isNaN() {\n    [native code]\n}\n|\nfunction prototype() {\n    [native code]\n}\n|"
              "\nfunction substr() {\n    [native code]\n}\n");
}

TEST(Errors, EvalThroughAValueRunsWhereItIsCalled) {
    script::ScriptHost host = JScriptHost();
    host.AddCode("var code = 'this.seen = 1', out = [];\n"
                 "function probe(f) { var o = {}; f.call(o); out.push(o.seen === 1 && !('seen' in this)); }\n"
                 "probe(function () { (true, eval)(code); });\n"
                 "probe(function () { var e = eval; e(code); });\n"
                 "probe(function () { eval.call(this, code); });\n"
                 "probe(function () { [eval][0](code); });\n"
                 "probe(function () { eval(code); });\n"
                 "function local() { var v = 7; var e = eval; return e('v'); }");
    EXPECT_EQ(qy::test::Run(host, "", "out.join()"), "true,true,true,true,true");
    EXPECT_EQ(qy::test::Run(host, "", "local()"), "7");
    // At the top level eval is the global one.
    EXPECT_EQ(qy::test::Run(host, "(0, eval)('var topLevel = 3');", "topLevel"), "3");
}

TEST(Errors, SyntaxErrorNumbers) {
    const std::pair<const char*, int> rows[] = {
        {"for(i=0;) {}", 1002}, {"function {};", 1005}, {"if", 1005},     {"if(false", 1006},
        {"for(i=0", 1004},      {"'open", 1015},        {"return;", 1018}, {"break;", 1019},
        {"continue;", 1020},    {"x: continue x;", 1020}, {"while(true) break nowhere;", 1026},
        {"x: { x: while(true); }", 1025}, {"1a", 1004},
    };
    for (const auto& [code, number] : rows) {
        std::string body = std::string("eval(\"") + code + "\")";
        std::string r = RunBoth("", "(function(){try{" + body + "}catch(e){return (e.number & 0xFFFF) + ' ' + e.name}})()")
                            .jscript;
        EXPECT_EQ(r, std::to_string(number) + " SyntaxError") << code;
    }
}

}  // namespace
}  // namespace qy::test

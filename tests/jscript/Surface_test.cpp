/** @file Surface_test.cpp
 * The global surface under the JScript target: later editions' built-ins are gone and
 * fail as JScript fails, JScript's own objects are there and stay sandboxed, and the
 * ES2021 target keeps the engine's surface.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JScriptTestSupport.h"
#include "jscript/Runtime.h"

namespace qy::test {
namespace {

std::string Catch(const std::string& body, const std::string& what = "(e.number & 0xFFFF) + ' ' + e.description") {
    return "(function(){try{" + body + "; return 'no error'}catch(e){return " + what + "}})()";
}

TEST(Surface, LaterEditionsBuiltInsAreGone) {
    const std::vector<std::string> gone = {
        "JSON", "Map", "Set", "WeakMap", "WeakRef", "Promise", "Symbol", "Proxy", "Reflect", "globalThis",
        "Intl", "BigInt", "ArrayBuffer", "Uint8Array", "DataView", "AggregateError", "InternalError",
        "WebAssembly", "Object.keys", "Object.create", "Object.defineProperty", "Object.getPrototypeOf",
        "Object.freeze", "Object.assign", "Array.isArray", "Array.from", "[].indexOf", "[].forEach", "[].map",
        "[].reduce", "[].includes", "[].at", "''.trim", "''.startsWith", "''.repeat", "''.padStart",
        "''.codePointAt", "String.fromCodePoint", "Date.now", "new Date(0).toISOString", "new Date(0).toJSON",
        "(function(){}).bind", "Number.isNaN", "Number.parseInt", "Math.trunc", "Math.sign", "Math.log2",
        "Math.imul", "({}).__defineGetter__", "({}).__proto__"};
    for (const std::string& name : gone) {
        BothAnswers r = RunBoth("", "typeof " + name);
        EXPECT_EQ(r.jscript, "undefined") << name;
        EXPECT_NE(r.modern, "undefined") << name;
    }
}

TEST(Surface, ThirdEditionBuiltInsStay) {
    BothAnswers r = RunBoth("",
        "[typeof escape, typeof unescape, typeof encodeURIComponent, typeof decodeURI, typeof ''.substr,"
        " typeof ''.localeCompare, typeof [].splice, typeof Number.MAX_VALUE, typeof Math.atan2,"
        " typeof new Date(0).getYear, typeof /a/.compile, typeof ({}).propertyIsEnumerable].join()");
    EXPECT_EQ(r.jscript, "function,function,function,function,function,function,function,number,function,"
                         "function,function,function");
    EXPECT_EQ(r.modern, r.jscript);
}

TEST(Surface, UsingRemovedBuiltInsFailsAsInJScript) {
    BothAnswers json = RunBoth("", "JSON.stringify(1)");
    EXPECT_EQ(json.jscript, "error 5009: 'JSON' 未定义");
    EXPECT_EQ(json.modern, "1");
    BothAnswers method = RunBoth("", "[1, 2].indexOf(2)");
    EXPECT_EQ(method.jscript, "error 438: 对象不支持此属性或方法");
    EXPECT_EQ(method.modern, "1");
}

TEST(Surface, RegularExpressionsStillWorkAfterTheCleanUp) {
    // The engine's split and flags rely on RegExp.prototype's own accessors.
    BothAnswers r = RunBoth("", "'a,b'.split(/,/).join('|') + ' ' + String(/x/gi) + ' ' + 'abab'.replace(/b/g, '-')");
    EXPECT_EQ(r.jscript, "a|b /x/ig a-a-");  // JScript writes the flags as i, g, m
    EXPECT_EQ(r.modern, "a|b /x/gi a-a-");
}

TEST(Surface, HelpersAndNativesAreNotEnumerable) {
    BothAnswers r = RunBoth("var mine = 1;", "(function(){var r=[]; for (var k in this) r.push(k); return r.join()})()");
    EXPECT_EQ(r.jscript, "mine");
    EXPECT_EQ(r.modern, "mine");
    EXPECT_EQ(RunBoth("", "typeof __qyRtMakeError + typeof __qyRtDebugWrite").jscript, "undefinedundefined");
}

TEST(Surface, AutomationObjectsAreNeverCreated) {
    BothAnswers ax = RunBoth("", Catch("new ActiveXObject('Scripting.FileSystemObject')",
                                       "e.number + ' ' + e.description + ' ' + (e instanceof Error)"));
    EXPECT_EQ(ax.jscript, "-2146827859 Automation 服务器不能创建对象 true");
    EXPECT_EQ(ax.modern.rfind("ReferenceError", 0), std::string::npos);
    EXPECT_EQ(ax.modern, "undefined undefined true");
    EXPECT_EQ(RunBoth("", Catch("GetObject('', 'Excel.Application')")).jscript, "429 Automation 服务器不能创建对象");

    // Uncaught, the Error object reports the script's own line.
    script::ScriptHost host = JScriptHost();
    host.AddCode(text::Utf8ToAnsiText("var a = 1;\nvar fso = new ActiveXObject('Scripting.FileSystemObject');"));
    ErrorSeen e = ErrorOf(host);
    EXPECT_EQ(e.code, 429);
    EXPECT_EQ(e.line, 2);
}

TEST(Surface, VBArrayNeedsASafeArray) {
    BothAnswers r = RunBoth("", Catch("new VBArray([1, 2])", "(e.number & 0xFFFF) + ' ' + e.description + ' ' + e.name"));
    EXPECT_EQ(r.jscript, "5013 缺少 VBArray TypeError");
    EXPECT_EQ(r.modern, "0 undefined ReferenceError");
    EXPECT_EQ(RunBoth("", Catch("VBArray.prototype.toArray.call({})")).jscript, "5013 缺少 VBArray");
}

TEST(Surface, EnumeratorWalksAnArray) {
    const std::string walk =
        "(function(c){var e = new Enumerator(c), r = []; for (; !e.atEnd(); e.moveNext()) r.push(e.item());"
        " e.moveFirst(); r.push('first=' + e.item()); return r.join()})";
    BothAnswers r = RunBoth("", walk + "(['a', 'b', 'c'])");
    EXPECT_EQ(r.jscript, "a,b,c,first=a");
    EXPECT_EQ(r.modern, "error 5009: 'Enumerator' 未定义");
    // Holes are skipped as for-in skips them; an empty array is at its end at once.
    EXPECT_EQ(RunBoth("", walk + "([1,,3])").jscript, "1,3,first=1");
    EXPECT_EQ(RunBoth("", "new Enumerator([]).atEnd()").jscript, "true");
    // Without a collection: at the end, no item, moves do nothing.
    EXPECT_EQ(RunBoth("", "(function(){var e = new Enumerator(); e.moveNext(); return e.atEnd() + ' ' + e.item()})()")
                  .jscript,
              "true undefined");
    // A collection of the environment's shape (length and item) is walked by index.
    EXPECT_EQ(RunBoth("", walk + "({length: 2, 0: 'x', 1: 'y', item: function (i) { return this[i]; }})").jscript,
              "x,y,first=x");
}

TEST(Surface, EnumeratorRefusesWhatIsNoCollection) {
    EXPECT_EQ(RunBoth("", Catch("new Enumerator({a: 1})", "(e.number & 0xFFFF) + ' ' + e.name")).jscript, "451 TypeError");
    EXPECT_EQ(RunBoth("", Catch("new Enumerator('abc')", "e.number & 0xFFFF")).jscript, "451");
    EXPECT_EQ(RunBoth("", Catch("Enumerator.prototype.item.call([])")).jscript, "5015 缺少 Enumerator 对象");
}

TEST(Surface, DebugWritesGoToTheOutputHook) {
    std::vector<std::u16string> seen;
    jscript::SetDebugOutput([&](const std::u16string& t) { seen.push_back(t); });
    BothAnswers r = RunBoth("Debug.write('a', 1, null); Debug.writeln('行'); Debug.write();", "typeof Debug.writeln");
    jscript::SetDebugOutput({});
    EXPECT_EQ(r.jscript, "function");
    EXPECT_EQ(r.modern, "error 5009: 'Debug' 未定义");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], u"[脚本] a1null");
    EXPECT_EQ(seen[1], u"[脚本] 行");
    EXPECT_EQ(seen[2], u"[脚本] ");
    // Without a hook the text is dropped.
    EXPECT_EQ(RunBoth("Debug.write('x');", "1").jscript, "1");
}

TEST(Surface, CollectGarbageAndEngineVersion) {
    BothAnswers r = RunBoth("", "typeof CollectGarbage() + ' ' + ScriptEngine() + ScriptEngineMajorVersion() + '.' + "
                                "ScriptEngineMinorVersion()");
    EXPECT_EQ(r.jscript, "undefined JScript5.8");
    EXPECT_EQ(r.modern, "error 5009: 'CollectGarbage' 未定义");
}

TEST(Surface, RegExpIndexAndLastIndexStatics) {
    BothAnswers r = RunBoth("", "(function(){'xxabcx'.match(/abc/); return RegExp.index + ' ' + RegExp.lastIndex + ' ' + "
                                "RegExp.lastMatch + ' ' + RegExp.input + ' ' + RegExp['$_'] + ' ' + RegExp.$1})()");
    EXPECT_EQ(r.jscript, "2 5 abc xxabcx xxabcx ");
    EXPECT_EQ(r.modern, "undefined undefined abc xxabcx xxabcx ");
    EXPECT_EQ(RunBoth("", "RegExp.index + ' ' + RegExp.lastIndex").jscript, "-1 -1");
    EXPECT_EQ(RunBoth("", "(function(){/(b)(c)/.exec('abcd'); return RegExp.$2 + RegExp.index})()").jscript, "c1");
}

TEST(Surface, StringsHaveNoIndexProperties) {
    BothAnswers r = RunBoth("", "[__qyIx('abc', 1), __qyIx('abc', '2'), __qyIx('abc', 'length'), "
                                "typeof __qyIx('abc', 'charAt'), __qyIx(new String('ab'), 0), __qyIx([5, 6], 1), "
                                "__qyIx({'01': 'k'}, '01'), __qyIx('abc', '01')].join('|')");
    EXPECT_EQ(r.jscript, "||3|function||6|k|");
    EXPECT_EQ(r.modern, "error 5009: '__qyIx' 未定义");
    // Reading from nothing fails as the engine would, at the script's line.
    script::ScriptHost host = JScriptHost();
    host.AddCode("var o = null;\nvar x = __qyIx(o, 1);");
    ErrorSeen e = ErrorOf(host);
    EXPECT_EQ(e.code, 5007);
    EXPECT_EQ(e.description, "缺少对象");
    EXPECT_EQ(e.line, 2);
}

TEST(Surface, HelperOfRewrittenCodeIsFixed) {
    EXPECT_EQ(RunBoth("__qyIx = 5; delete __qyIx;", "typeof __qyIx").jscript, "function");
}

}  // namespace
}  // namespace qy::test

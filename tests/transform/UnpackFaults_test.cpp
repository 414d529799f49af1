// The unpacker never hands back something worse than it got: each fault the button once
// had, the output check, and the time limit on a layer.
#include <gtest/gtest.h>

#include <algorithm>

#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"
#include "transform/Transforms.h"

using namespace qy::transform;
using namespace qy::script;

namespace {

UnpackResult Unpack(const std::string& text, UnpackOptions options = {}) {
    ScriptHost main;
    return UnpackScript(main, text, options);
}

/// The value of `expression` after running `code` in a fresh control.
std::string RunAndRead(const std::string& code, const std::string& expression) {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode(code);
    EXPECT_EQ(GetPropertyNumber(host.GetError(), "Number"), 0) << GetPropertyText(host.GetError(), "Description") << "\n" << code;
    return VariantToText(host.Eval(expression));
}

const char kPacker[] =
    "eval(function(p,a,c,k,e,d){while(c--)if(k[c])p=p.replace(new RegExp('\\\\b'+c+'\\\\b','g'),k[c]);return p}"
    "('0 1=2;',3,3,'var|WORD|42'.split('|'),0,{}))";

std::string Packed(const std::string& word) {
    std::string s = kPacker;
    s.replace(s.find("WORD"), 4, word);
    return s;
}

}  // namespace

TEST(UnpackFaults, OneArrayTakesEitherQuoteAndKeepsWhatItCannotReplace) {
    // Single-quoted items: every read replaced and the array gone, the answer the same.
    const std::string single = "var _0x14c6=['log','Hi','\\x5C\\x6E'];function f(){return _0x14c6[1]+_0x14c6[2]}var r=f();";
    UnpackResult r = Unpack(single);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text.find("_0x14c6"), std::string::npos) << r.text;
    EXPECT_EQ(RunAndRead(r.text, "r"), RunAndRead(single, "r"));
    // "\x5C\x6E" is a backslash and an n, not a line break.
    EXPECT_EQ(RunAndRead(r.text, "r.length"), "4");
    ASSERT_GE(r.removed.size(), 1u);
    EXPECT_EQ(r.removed[0].second, 2);
    // A read by a computed index keeps the array; the constant reads still come off.
    const std::string computed = "var _0xab=[\"a\",'b'];var i=1;var r=_0xab[0]+_0xab[i];";
    r = Unpack(computed);
    EXPECT_NE(r.text.find("var _0xab=[\"a\",'b'];"), std::string::npos) << r.text;
    EXPECT_EQ(RunAndRead(r.text, "r"), "ab");
    // An item that is not a string literal: the array is left alone.
    const std::string mixed = "var _0xcd=['a',1,'b'];var r=_0xcd[0]+_0xcd[1];";
    EXPECT_EQ(Unpack(mixed).text, mixed);
}

TEST(UnpackFaults, EvalWrappersAreUnwrappedNotUnescapedWhole) {
    const std::string wrapped = "eval(unescape('%76%61%72%20x%3D%27a%25b%27%3B'));";
    UnpackResult r = Unpack(wrapped);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(RunAndRead(r.text, "x"), "a%b");
    EXPECT_EQ(r.text.find("eval"), std::string::npos) << r.text;
    // Function("…")() keeps a scope of its own; an eval inside an expression stays.
    r = Unpack("Function('var y=1;z=y+1')();");
    EXPECT_EQ(RunAndRead(r.text, "typeof y + z"), "undefined2");
    EXPECT_EQ(Unpack("var v=eval('1+2')*3;").text, "var v=eval('1+2')*3;");
}

TEST(UnpackFaults, PackedChunksAreFoundAnywhereAndEveryOneIsKept) {
    UnpackResult r = Unpack("/*! lib 1.0 */\n" + Packed("one") + ";\nvar a=1;window." + Packed("two") + ";" + Packed("three"));
    ASSERT_TRUE(r.ok);
    EXPECT_NE(r.text.find("/*! lib 1.0 */"), std::string::npos);
    EXPECT_EQ(r.text.find("eval"), std::string::npos) << r.text;
    EXPECT_EQ(RunAndRead(r.text, "one+two+three+a"), "127");
    ASSERT_EQ(r.removed.size(), 1u);
    EXPECT_EQ(r.removed[0].second, 3);
}

TEST(UnpackFaults, ALayerThatNeverReturnsIsGivenUpAtTheTimeLimit) {
    const std::string spinning = "eval(function(p,a,c,k,e,d){for(;;){}}('',1,1,[],0,{}));var kept=1;";
    UnpackOptions options;
    options.stepLimit = std::chrono::milliseconds(300);
    UnpackResult r = Unpack(spinning, options);
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.text, spinning);
    ASSERT_EQ(r.timedOut.size(), 1u);
    EXPECT_TRUE(r.removed.empty());
    // The chunks around it still come off; it stays as it was.
    r = Unpack(Packed("before") + ";" + spinning + Packed("after"), options);
    EXPECT_NE(r.text.find("var before=42;\n;" + spinning + "var after=42;\n"), std::string::npos) << r.text;
    EXPECT_EQ(r.timedOut.size(), 1u);
}

TEST(UnpackFaults, AResultThatDoesNotCompileIsRefused) {
    const std::string broken = "eval('var = ;');var b=2;";
    UnpackResult r = Unpack(broken);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, broken);
    ASSERT_EQ(r.refused.size(), 1u);
    // In the JScript target a result in later syntax does not pass either.
    ScopedScriptTarget jscript(ScriptTarget::JScript58);
    const std::string modern = "eval('let q = () => 1;');";
    EXPECT_EQ(Unpack(modern).text, modern);
    ScopedScriptTarget es(ScriptTarget::ES2021);
    EXPECT_EQ(Unpack(modern).text, "let q = () => 1;\n;");
}

TEST(UnpackFaults, UnknownScriptsComeBackAsTheyWereAndGuardsAreNamed) {
    const std::string plain = "function add(a,b){return a+b}\nvar s='%20';";
    UnpackResult r = Unpack(plain);
    EXPECT_EQ(r.text, plain);
    EXPECT_TRUE(r.removed.empty());
    EXPECT_TRUE(r.guard.empty());
    // A self-defending check of its own text: the result must not be reformatted.
    r = Unpack("var t=function(){return t.constructor('return /\" + this + \"/')().constructor('^([^ ]+( +[^ ]+)+)+[^ ]}');};");
    EXPECT_FALSE(r.guard.empty());
}

TEST(UnpackFaults, FunctionBodiesInsideFunctionsStayWrapped) {
    // Inside g, the made function sees the global n, not g's own.
    const std::string nested = "var n=1;function g(){var n=2;return Function('return n')();}var r=g();";
    UnpackResult r = Unpack(nested);
    EXPECT_EQ(r.text, nested);
    EXPECT_EQ(RunAndRead(r.text, "r"), "1");
}

TEST(UnpackFaults, AResultWhoseTopLevelThrowsANewErrorIsRefused) {
    // The array is reversed at run time, so reading its items as written would call a
    // method that does not exist: the result compiles but throws where the input ran.
    const std::string reversed = "var _0x1a=['toUpperCase','nope'];_0x1a.reverse();var up='x'[_0x1a[1]]();";
    UnpackResult r = Unpack(reversed);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, reversed);
    EXPECT_EQ(r.refused.size(), 1u);
    // An input that throws already keeps its layers when they throw the same error.
    const std::string failing = "var _0x2b=['log'];missing[_0x2b[0]]();";
    EXPECT_EQ(Unpack(failing).text, "missing.log();");
}

TEST(UnpackFaults, ADebugTimerInTheModulesCommaStatementGoesAloneAndTheModuleStillRuns) {
    // The obfuscator joins its debug timer to the module's own call in one statement.
    const std::string joined =
        "function _0xd(c){function r(n){if(typeof n==='string')return function(){}.constructor('while (true) {}')"
        ".apply('counter');else (''+n/n).length!==1||n%20===0?function(){return true;}.constructor('debugger')"
        ".call('action'):function(){return false;}.constructor('debugger').apply('stateObject');r(++n);}"
        "try{if(c)return r;else r(0);}catch(e){}}"
        "(function(root){root.answer='ran';}(this),(function(){var g;try{g=Function('return this')();}catch(e){g=window;}"
        "g['setInterval'](_0xd,2000);}()));";
    UnpackResult r = Unpack(joined);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "(function(root){root.answer='ran';}(this));");
    EXPECT_EQ(RunAndRead(r.text, "answer"), "ran");
}

TEST(UnpackFaults, AGuardsCallSharingACommaStatementGoesAloneAndAnArrayAfterALoopIsFound) {
    // The console guard's call and the next code in one statement: the rest stays.
    const std::string guard =
        "var _0x1=(function(){var _0x2=!![];return function(_0x3,_0x4){var _0x5=_0x2?function(){if(_0x4){var _0x6=_0x4.apply("
        "_0x3,arguments);_0x4=null;return _0x6;}}:function(){};_0x2=![];return _0x5;};}()),_0x7=_0x1(this,function(){var "
        "_0x8=function(){return this;},_0x9=_0x8(),_0xa=_0x9.console=_0x9.console||{},_0xb=['log','warn','info','error',"
        "'exception','table','trace'];for(var _0xc=0;_0xc<_0xb.length;_0xc++){_0xa[_0xb[_0xc]]=function(){};}});"
        "_0x7(),(function(){answer=6*7;}());";
    UnpackResult r = Unpack(guard);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "(function(){answer=6*7;}());");
    EXPECT_EQ(RunAndRead(r.text, "answer"), "42");
    // A top-level loop ends without a semicolon; the string array declared after it is found.
    const std::string array =
        "for(var n=0;n<1;n++){}function _0x1b(){var _0x5a=['hello','world'];_0x1b=function(){return _0x5a;};return _0x1b();}"
        "function _0x2c(_0x3d){_0x3d=_0x3d-0;var _0x4e=_0x1b();return _0x4e[_0x3d];}var r=_0x2c(0)+' '+_0x2c(1);";
    r = Unpack(array);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "for(var n=0;n<1;n++){}var r='hello world';");
}

TEST(UnpackFaults, ADebugGuardGoesWithItsCallOnceHelperThoughDeadBranchesLeftDeclarationsInIt) {
    const std::string in =
        "var _0x1=(function(){var _0x9, _0xa;var _0x2=!![];return function(_0x3,_0x4){var _0x5=_0x2?function(){if(_0x4){var "
        "_0x6=_0x4.apply(_0x3,arguments);_0x4=null;return _0x6;}}:function(){};_0x2=![];return _0x5;};}());function _0xd(_0xe){"
        "function _0xf(_0x10){if(typeof _0x10==='string'){return function(_0x11){}.constructor('while (true) {}').apply("
        "'counter');}else{if((''+_0x10/_0x10).length!==1||_0x10%20===0){(function(){return true;}.constructor('debu'+'gger')"
        ".call('action'));}else{(function(){return false;}.constructor('debu'+'gger').apply('stateObject'));}}_0xf(++_0x10);}"
        "try{if(_0xe){return _0xf;}else{_0xf(0);}}catch(_0x12){}}(function(){_0x1(this,function(){var _0x13=new RegExp("
        "'function *\\\\( *\\\\)'),_0x14=_0xd('init');if(!_0x13.test(_0x14+'chain')){_0x14('0');}else{_0xd();}})();}());"
        "var answer=42;";
    UnpackResult r = Unpack(in);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "var answer=42;");
}

TEST(UnpackFaults, ADebugTimerStartedBeforeCodeThatFailsLaterComesOff) {
    // The check runs the top level with timers that never fire: the input gets past its
    // debug timer to the same failing call as the result without it.
    const std::string in =
        "function _0xd(c){function r(n){if(typeof n==='string')return function(){}.constructor('while (true) {}')"
        ".apply('counter');else (''+n/n).length!==1||n%20===0?function(){return true;}.constructor('debugger')"
        ".call('action'):function(){return false;}.constructor('debugger').apply('stateObject');r(++n);}"
        "try{if(c)return r;else r(0);}catch(e){}}"
        "(function(){var g;try{g=Function('return this')();}catch(e){g=window;}g['setInterval'](_0xd,4000);}());"
        "var answer='ran';notDefinedHere();";
    UnpackResult r = Unpack(in);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "var answer='ran';notDefinedHere();");
}

TEST(UnpackFaults, AResultMadeToSpinIsRefused) {
    // The code times itself out when its own text gains a line break, as self-defending
    // code does: splitting the sequence inside g would leave a result still running long
    // after the input had finished, and that layer is refused.
    const std::string in = "var x,y,g=function(){x=1,y=2;};if(/\\n/.test(String(g)))for(var n=0;n<3e9;n++){}var done=1;";
    UnpackResult r = Unpack(in);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, in);
    EXPECT_NE(std::find(r.refused.begin(), r.refused.end(), qy::text::Utf8ToAnsiText("整理")), r.refused.end());
}

TEST(UnpackFaults, AConditionalEndingInDotDefaultKeepsTheNextDeclaratorDeclared) {
    // Bundled ES modules read their imports as m["default"], which becomes m.default:
    // the colon after it is no "default:" label, and the declarator after the comma stays
    // in the declaration (in strict code an undeclared write throws). An object's
    // "default:" key is no label either; a switch's labels still split what follows.
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    const std::string input =
        "'use strict';\n"
        "function make(m, k, init) {\n"
        "    var func = init ? m[\"default\"] : k[\"default\"], acc = init ? init() : {};\n"
        "    return func(acc);\n"
        "}\n"
        "function pick(o) { return { default: o.n, other: o.n + 1 }; }\n"
        "function step(r) { switch (r) { case 3: r++, r++; break; default: r = 0, r--; } return r; }\n"
        "var r = step(make({ default: function (a) { return a.n; } }, null, function () { return { n: 3 }; })) + pick({ n: 1 }).other;\n";
    UnpackResult r = Unpack(input);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text,
              "'use strict';\n"
              "function make(m, k, init) {\n"
              "    var func = init ? m.default : k.default, acc = init ? init() : {};\n"
              "    return func(acc);\n"
              "}\n"
              "function pick(o) { return { default: o.n, other: o.n + 1 }; }\n"
              "function step(r) { switch (r) { case 3: r++;\nr++; break; default: r = 0;\nr--; } return r; }\n"
              "var r = step(make({ default: function (a) { return a.n; } }, null, function () { return { n: 3 }; })) + pick({ n: 1 }).other;\n");
    EXPECT_EQ(RunAndRead(r.text, "r"), "7");
    EXPECT_EQ(RunAndRead(input, "r"), "7");
}

namespace {

// Splices edits into a text whose tokens were asked for, then compares the tokens of the
// result (made from the earlier ones around the changes) with a scan of it anew: "same",
// or the first difference.
const char kSpliceCompare[] = R"(
function qyTokenText(list) {
    var out = [];
    for (var i = 0; i < list.length; i++) out.push(list[i].k + ':' + list[i].s + '-' + list[i].e + ':' + list[i].v);
    return out;
}
function qySpliced(src, edits) {
    unpack_tokens(src);
    var text = unpack_splice(src, edits);
    var made = qyTokenText(unpack_tokens(text)), fresh = qyTokenText(unpack_scan(text));
    for (var i = 0; i < Math.max(made.length, fresh.length); i++)
        if (made[i] !== fresh[i]) return 'token ' + i + ': ' + made[i] + ' against ' + fresh[i];
    return 'same';
}
function qyEdit(s, e, text) { return { s: s, e: e, text: text }; }
)";

std::string Spliced(const std::string& src, const std::string& edits) {
    ScriptHost main;
    UnpackScript(main, "x=1;");
    main.AddCode(kSpliceCompare);
    return VariantToText(main.Eval("qySpliced(" + src + ", [" + edits + "])"));
}

}  // namespace

TEST(UnpackFaults, TheTokensOfASplicedTextAreThoseOfAScanAnew) {
    // A change may turn a division into a regular expression after it, join two words,
    // make a longer operator of the one before it, open or close a comment, a string or
    // a template, or stand at either end.
    EXPECT_EQ(Spliced("'f(a) / 2 / g; h(); k = 1 / 2 / 3;'", "qyEdit(0, 4, 'q =')"), "same");
    EXPECT_EQ(Spliced("'ab cd; e(); f(); g(); h();'", "qyEdit(2, 3, '')"), "same");
    EXPECT_EQ(Spliced("'x = a > >>= b; c(); d(); e();'", "qyEdit(7, 8, '')"), "same");
    EXPECT_EQ(Spliced("'a(); b(); c(); d(); e(); f();'", "qyEdit(5, 9, '/*')"), "same");
    EXPECT_EQ(Spliced("'a(); /* b(); */ c(); d(); e(); f();'", "qyEdit(5, 7, '')"), "same");
    EXPECT_EQ(Spliced("'var s = \"abc\"; t(); u(); v(); w();'", "qyEdit(10, 11, '\"+\"')"), "same");
    EXPECT_EQ(Spliced("'var s = `a${b}c`; t(); u(); v(); w();'", "qyEdit(12, 13, '{')"), "same");
    EXPECT_EQ(Spliced("'a(); b(); c(); d();'", "qyEdit(0, 0, 'x'), qyEdit(20, 20, '+y')"), "same");
    EXPECT_EQ(Spliced("'a(); b(); c(); d();'", "qyEdit(0, 20, '')"), "same");
    EXPECT_EQ(Spliced("'var a = 1, b = 2, c = 3; d(a, b, c);'", "qyEdit(11, 17, ''), qyEdit(17, 24, '')"), "same");
    // Many changes of every kind at places picked by a fixed sequence over a larger text.
    const std::string fuzz = R"((function () {
        var base = [], pieces = ['', "'", '"', '/', '*/', '/*', '`', '${', '}', '\n', '//', 'a', '1', '>>', '=', '\\', '(', ')',
                                 'x / y', '/re/g', 'return', '.5', '0x1F', ' '];
        for (var i = 0; i < 60; i++) base.push('var v' + i + ' = f(a' + i + ') / 2 / g, s = "t\\"x" + `p${q + ' + i + '}r`; // n\n' +
                                              'if (a >>> 1 >= b) { c = /[/]x/g.test(d); } /* c */ e >>= 1;\n');
        var src = base.join(''), seed = 7, report = 'same';
        function next(n) { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % n; }
        for (var round = 0; round < 40 && report === 'same'; round++) {
            var edits = [], at = 0;
            while (at < src.length) {
                at += 1 + next(300);
                var length = next(6);
                if (at + length > src.length) break;
                edits.push(qyEdit(at, at + length, pieces[next(pieces.length)]));
                at += length;
            }
            report = qySpliced(src, edits);
            src = unpack_splice(src, edits);
        }
        return report;
    })())";
    ScriptHost main;
    UnpackScript(main, "x=1;");
    main.AddCode(kSpliceCompare);
    EXPECT_EQ(VariantToText(main.Eval(fuzz)), "same");
}

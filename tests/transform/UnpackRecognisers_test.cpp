// The recognisers that fold dead branches, take debug protection off, unwrap timer
// strings and decode JSFuck, aaencode and jjencode: each on a sample made outside the
// project (tests/transform/samples/README.md says how) and on small cases of our own
// that must come back unchanged.
#include <gtest/gtest.h>

#include <chrono>
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
    return qy::test::ReadFileBytes((std::filesystem::path(__FILE__).parent_path() / "samples" / name).string());
}

/// The value of `expression` after running `code` in a fresh control.
std::string Read(const std::string& code, const std::string& expression = "answer") {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode(code);
    EXPECT_EQ(GetPropertyNumber(host.GetError(), "Number"), 0) << GetPropertyText(host.GetError(), "Description") << "\n" << code;
    return VariantToText(host.Eval(expression));
}

UnpackResult Unpack(const std::string& text, UnpackOptions options = {}) {
    ScriptHost main;
    return UnpackScript(main, text, options);
}

int Count(const UnpackResult& r, const std::string& label) {
    for (const auto& entry : r.removed)
        if (entry.first == label) return entry.second;
    return 0;
}

std::string Label(const char* utf8) { return qy::text::Utf8ToAnsiText(utf8); }

}  // namespace

TEST(DeadCode, InjectedBranchesFoldToTheOnesThatRun) {
    UnpackResult r = Unpack(Sample("signer.dead.obf.js"));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.refused.empty() && r.timedOut.empty());
    EXPECT_EQ(Read(r.text), Read(Sample("signer.js")));
    EXPECT_GT(Count(r, Label("死代码")), 5);
    // No comparison of two literals is left, and the obfuscator's names are gone.
    EXPECT_FALSE(std::regex_search(r.text, std::regex("'[A-Za-z]{5}' *[!=]==? *'[A-Za-z]{5}'"))) << r.text;
    EXPECT_EQ(r.text.find("a0_0x"), std::string::npos);
    EXPECT_NE(r.text.find("'green tea'"), std::string::npos);
}

TEST(DeadCode, OnlyConstantConditionsFoldAndHoistedNamesStay) {
    auto unpack = [](const std::string& s) { return Unpack(s).text; };
    EXPECT_EQ(unpack("if('ab'==='ab'){x=1;}else{x=2;}"), "x=1;");
    EXPECT_EQ(unpack("if('ab'!=='ab'){x=1;}else{x=2;}"), "x=2;");
    EXPECT_EQ(unpack("if('ab'==='cd')x=1;y=2;"), "y=2;");
    EXPECT_EQ(unpack("y=('ab'==='cd')?1:f(2,3);"), "y=f(2,3);");
    EXPECT_EQ(unpack("y=1+('ab'==='ab'?2:3);"), "y=1+2;");
    // A minified "return" keeps a blank before the name it now returns.
    EXPECT_EQ(unpack("function f(y){return'eY'==='OM'?g(y):String(y);}"), "function f(y){return String(y);}");
    // Where a statement must stay one statement, the branch keeps its braces.
    EXPECT_EQ(unpack("if(z)if('a'==='a'){x=1;x=2;}"), "if(z){x=1;x=2;}");
    EXPECT_EQ(unpack("if(z){}else if(1===2){x=1;}else{x=2;}"), "if(z){}else {x=2;}");
    // A block-scoped declaration keeps its block.
    EXPECT_EQ(unpack("if('a'==='a'){let q=1;x=q;}"), "{let q=1;x=q;}");
    // A var of the dropped branch that is used elsewhere is still declared.
    const std::string hoisted = "function f(){if('a'!=='a'){var v=1;}v=5;return typeof window;}";
    EXPECT_NE(unpack(hoisted).find("var v;"), std::string::npos) << unpack(hoisted);
    // Conditions that are not two literals, or that bind to a wider expression, stay.
    for (const std::string s : {"if(a==='a'){x=1;}", "y=b&&'a'==='a'?1:2;", "if('a'==='a'||z){x=1;}",
                                "y='a'==='a'+z?1:2;", "if('a'<'b'){x=1;}"})
        EXPECT_EQ(unpack(s), s);
}

TEST(DebugProtection, TheObfuscatorsDebugTrapsComeOffAndTheResultMayBeFormatted) {
    for (const char* name : {"hash.debugint.obf.js", "hash.debug.obf.js", "base64.guards.obf.js", "hash.guards.obf.js"}) {
        SCOPED_TRACE(name);
        const std::string original = std::string(name).substr(0, std::string(name).find('.')) + ".js";
        const std::string answer = Read(Sample(original));
        UnpackResult r = Unpack(Sample(name));
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.refused.empty() && r.timedOut.empty());
        EXPECT_EQ(r.text.find("debugger"), std::string::npos) << r.text;
        EXPECT_EQ(r.text.find("setInterval"), std::string::npos);
        EXPECT_EQ(r.text.find("'init'"), std::string::npos);
        EXPECT_EQ(r.text.find("a0_0x"), std::string::npos);
        EXPECT_EQ(r.text.find("_0x8a6a"), std::string::npos);  // base64.guards' decoder
        EXPECT_EQ(r.text.find("_0x44a4"), std::string::npos);  // hash.guards' decoder
        EXPECT_GT(Count(r, Label("调试保护")), 0);
        EXPECT_TRUE(r.guard.empty()) << r.guard;
        EXPECT_EQ(Read(r.text), answer);
        ToolResult formatted = FormatScript(r.text);
        ASSERT_TRUE(formatted.ok);
        EXPECT_EQ(Read(formatted.text), answer);
    }
}

TEST(DebugProtection, HandWrittenTrapsGoAndCodeWithOtherEffectsStays) {
    const std::string traps =
        "var n=1;setInterval(function(){debugger;},100);"
        "(function(){}).constructor('debugger')();"
        "window.setTimeout(function(){(function(){return false;})['constructor']('debugger').call('action');},50);"
        "for(;;){debugger;}"
        "var m=n+1;";
    UnpackResult r = Unpack(traps);
    EXPECT_EQ(r.text, "var n=1;var m=n+1;");
    EXPECT_EQ(Count(r, Label("调试保护")), 4);
    // A breakpoint of the user's, a timer that also counts, a property written or code
    // made from other text: each stays.
    for (const std::string s : {"debugger;var a=1;", "setInterval(function(){debugger;n++;},100);",
                                "setInterval(function(){debugger;window.x=1;},100);",
                                "setInterval(function(){Function(code)();debugger;},100);var code='1';"}) {
        EXPECT_EQ(Unpack(s).text, s);
    }
    // What stays still keeps the formatter away.
    EXPECT_FALSE(Unpack("setInterval(function(){debugger;n++;},100);").guard.empty());
    // A debug function that something else still calls does nothing instead of going.
    const std::string kept =
        "function d(p){function r(c){(function(){}).constructor('debugger')();r(++c);}try{if(p)return r;else r(0);}catch(e){}}"
        "var f=d('init');f('0');var ok=typeof f;";
    r = Unpack(kept);
    EXPECT_EQ(r.text.find("debugger"), std::string::npos) << r.text;
    EXPECT_EQ(Read(r.text, "ok"), "function");
}

TEST(TimerStrings, ConstantCodeBecomesAFunctionWhereItMeansTheSame) {
    const std::string timers =
        "var n=0;setTimeout(\"n = n + 1\", 10);window.setInterval('tick(' + '\"b\"' + ')', 50);"
        "setTimeout(unescape('%6E%3D%6E%2B%31'));";
    UnpackResult r = Unpack(timers);
    EXPECT_EQ(r.text, "var n=0;setTimeout(function () {\nn = n + 1\n}, 10);window.setInterval(function () {\ntick(\"b\")\n}, 50);"
                      "setTimeout(function () {\nn=n+1\n});");
    EXPECT_EQ(Count(r, Label("定时器字符串")), 3);
    // Code that declares, reads this, or names a local of a function it sits in stays a string.
    for (const std::string s : {"setTimeout('var y = 1', 5);", "setTimeout('this.x = 1', 5);",
                                "function f(x){setTimeout('x = 2', 1);}", "setTimeout(code, 1);var code='1';",
                                "var id=setTimeout('go()', 1);"})
        EXPECT_EQ(Unpack(s).text, s);
}

TEST(Encodings, JSFuckAAEncodeAndJJEncodeGiveBackTheirProgram) {
    const std::string original = Sample("tea.js"), answer = Read(original);
    struct Row {
        const char* file;
        const char* label;
    };
    for (const Row& row : {Row{"tea.jsfuck.js", "JSFuck"}, Row{"tea.aa.js", "AAEncode"}, Row{"tea.jj.js", "JJEncode"}}) {
        SCOPED_TRACE(row.file);
        // aaencode's faces are not ASCII: the file is UTF-8, the workbench's text is not.
        const std::string encoded = qy::text::Utf8ToAnsiText(Sample(row.file));
        ASSERT_FALSE(encoded.empty());
        UnpackResult r = Unpack(encoded);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(Count(r, row.label), 1);
        EXPECT_NE(r.text.find("answer = ['tea', 6 * 7].join(':');"), std::string::npos) << r.text;
        EXPECT_EQ(Read(r.text), answer);
    }
}

TEST(Encodings, ThePayloadIsNeverRun) {
    // The decoded program would spin for ever: it comes back as text, at once.
    const std::string spin = Sample("spin.jj.js");
    UnpackOptions options;
    options.stepLimit = std::chrono::milliseconds(3000);
    UnpackResult r = Unpack(spin, options);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.timedOut.empty());
    EXPECT_EQ(r.text, "while(true){}\n");
    // The box leaves the control it ran in as it found it: Function and every
    // function's constructor still make functions that run.
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host;
    UnpackScript(host, Sample("tea.jj.js"));
    host.Run("unpack_capture", Sample("tea.jj.js"));
    EXPECT_EQ(GetPropertyNumber(host.GetError(), "Number"), 0);
    EXPECT_EQ(VariantToText(host.Eval("Function('return 6*7')() + (0).constructor.constructor('return 1')()")), "43");
}

TEST(Presets, TheMediumPresetComesBackAsPlainCode) {
    UnpackResult r = Unpack(Sample("signer.medium.obf.js"));
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.refused.empty() && r.timedOut.empty());
    EXPECT_EQ(Read(r.text), Read(Sample("signer.js")));
    EXPECT_EQ(r.text.find("a0_0x"), std::string::npos);
    EXPECT_EQ(r.text.find("console"), std::string::npos);
    // No proxy object, no number spelled as a sum, no injected comparison is left.
    EXPECT_FALSE(std::regex_search(r.text, std::regex("'[A-Za-z]{5}' *: *function"))) << r.text;
    EXPECT_FALSE(std::regex_search(r.text, std::regex("[0-9] *\\* *-[0-9]"))) << r.text;
    EXPECT_FALSE(std::regex_search(r.text, std::regex("'[A-Za-z]{5}' *[!=]==? *'[A-Za-z]{5}'"))) << r.text;
    EXPECT_NE(r.text.find("'green tea'"), std::string::npos);
    EXPECT_NE(r.text.find("65521"), std::string::npos);
}

TEST(Tidy, ObjectsBuiltKeyByKeyAndNumbersSpelledAsSums) {
    auto unpack = [](const std::string& s) { return Unpack(s).text; };
    EXPECT_EQ(unpack("var o={};o.a=1,o['b']=f;var x=o.a;"), "var o={a:1,b:f};var x=o.a;");
    // A value that reads the object stops the literal where it stands.
    EXPECT_EQ(unpack("var o={};o.a=1;o.b=o.a;"), "var o={a:1};o.b=o.a;");
    EXPECT_EQ(unpack("var o={},z=1;o.a=1;"), "var o={},z=1;o.a=1;");
    // The proxy object of an alias is inlined through it.
    EXPECT_EQ(unpack("function g(){var P={};P.aBcDe=function(a,b){return a<b;},P.fGhIj='kf';var Q=P,r=[];return Q.aBcDe(1,2)+Q.fGhIj;}"),
              "function g(){var list=[];return (1 < 2)+'kf';}");
    EXPECT_EQ(unpack("x=-3550+-63*76+758*11;"), "x=0;");
    EXPECT_EQ(unpack("f(1*475+-1*-4577+-5036,97*89+5978+-14611);"), "f(16,0);");
    EXPECT_EQ(unpack("function f(){return-5822*-1+50*-119+3*46;}"), "function f(){return 10;}");
    for (const std::string s : {"y=60*60*24;", "y=a*1+-2+3;", "y=1+-2+3*z;", "y=x-1+-2+3;"}) EXPECT_EQ(unpack(s), s);
}

TEST(Tidy, AScriptsOwnNameHasOwnPropertyIsANameLikeAnyOther) {
    // The recognisers keep maps keyed by the script's names; a name "hasOwnProperty" in
    // the script is one more key of them, and the proxy object and the names still go.
    const std::string in =
        "function hasOwnProperty(a){return a>1;}"
        "function g(_0x1a2b,_0x3c4d){var P={'KqAbc':function(x,y){return x+y;},'ZrXyz':'ok'};"
        "return hasOwnProperty(_0x1a2b)?P['KqAbc'](_0x1a2b,_0x3c4d):P['ZrXyz'];}var answer=g(2,3)+g(1,1);";
    UnpackResult r = Unpack(in);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.refused.empty() && r.timedOut.empty());
    EXPECT_EQ(r.text,
              "function hasOwnProperty(a){return a>1;}"
              "function g(arg1,arg2){return hasOwnProperty(arg1)?arg1 + arg2:'ok';}var answer=g(2,3)+g(1,1);");
    EXPECT_EQ(Read(r.text), "5ok");
}

TEST(Tidy, ATruthSpelledWithABangStaysApartFromTheWordBeforeIt) {
    // Minified code writes "return!1": the word false must not join the keyword.
    const std::string in = "function f(a){if(a)return!1;return!0}var answer=f(1)+','+f(0);";
    UnpackResult r = Unpack(in);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "function f(a){if(a)return false;return true}var answer=f(1)+','+f(0);");
    EXPECT_EQ(Read(r.text), "false,true");
}

TEST(Encodings, EveryUnpackerFileLoadsIntoAJScriptControl) {
    // The button adds the unpacker to the user's control as well, whatever its target.
    ScopedScriptTarget jscript(ScriptTarget::JScript58);
    ScriptHost main;
    UnpackScript(main, "x=1;");
    EXPECT_EQ(VariantToText(main.Eval("typeof unpack_statement_end + typeof unpack_debug_only + typeof unpack_capture + "
                                      "typeof unpack_args + typeof unpack_statements + typeof unpack_tidy + "
                                      "typeof unpack_local_names")),
              "functionfunctionfunctionfunctionfunctionfunctionfunction");
}

TEST(ControlFlowReturn, AFlattenedBlockMayEndInAReturnOnItsLastStep) {
    const std::string last = "function f(){var o='1|0|2'.split('|'),i=0;while(!![]){switch(o[i++]){case'0':b();continue;"
                             "case'1':a();continue;case'2':return c();}break;}}";
    EXPECT_EQ(Unpack(last).text, "function f(){a();\nb();\nreturn c();}");
    // A return anywhere but last would skip the steps after it: the block stays.
    std::string early = last;
    early.replace(early.find("'1|0|2'"), 7, "'2|0|1'");
    std::string plain = early;
    plain.replace(plain.find("!![]"), 4, "true");
    EXPECT_EQ(Unpack(early).text, plain);
}

TEST(Guards, ASelfDefendingGuardThroughACallOnceHelperDeclaredElsewhereGoes) {
    // As the obfuscator writes it inside a module wrapper: the helper at the top, the
    // guard and its call in the wrapper's function.
    const std::string wrapped =
        "var once=(function(){var first=!![];return function(c,f){var r=first?function(){if(f){var x=f.apply(c,arguments);"
        "f=null;return x;}}:function(){};first=![];return r;};}());(function(){var guard=once(this,function(){return "
        "guard.toString().search('(((.+)+)+)+$').toString().constructor(guard).search('(((.+)+)+)+$');});guard();answer=1;}());";
    UnpackResult r = Unpack(wrapped);
    EXPECT_EQ(r.text, "(function(){answer=1;}());");
    EXPECT_TRUE(r.guard.empty());
    EXPECT_EQ(Count(r, Label("自我保护")), 1);
}

TEST(ControlFlowReturn, AnOrderInParenthesesOrReadThroughBracketsIsPutBackToo) {
    // What split strings leave once joined: "('1|0')" and "'1|0'['split']('|')".
    for (const std::string head : {"var o=('1|0').split('|'),i=0;", "var o='1|0'['split']('|'),i=0;"}) {
        const std::string s = "function f(){" + head + "while(!![]){switch(o[i++]){case'0':b();continue;case'1':a();continue;}break;}}";
        EXPECT_EQ(Unpack(s).text, "function f(){a();\nb();}") << s;
    }
}

namespace {

/// The text after one layer of the unpacker, and that layer's name.
std::string OneLayer(const std::string& code, std::string* name) {
    ScriptHost main;
    UnpackScript(main, "x=1;");
    main.AddCode("var qyIn = \"" + code + "\";");
    std::string out = VariantToText(main.Eval("unpack_step(qyIn, '')"));
    *name = VariantToText(main.Eval("unpack_last.name"));
    return out;
}

}  // namespace

TEST(DeadCode, BranchesInsideTheOneThatRunsFoldInTheSameLayer) {
    // The branch that runs holds more dead code, one inside the other, a declaration
    // still used outside the dropped branch, and an else-if left standing alone.
    const std::string in = "function f(a){if('ab'==='ab'){if('cd'!=='cd'){var k=1;a=1;}else{a=2;}if('x'==='y')a=4;"
                           "else if('z'==='z'){if('u'!=='v'){a=a+10;}}}else{a=5;}return a+','+typeof k;}var answer=f(0);";
    std::string name;
    const std::string out = OneLayer(in, &name);
    EXPECT_EQ(name, "deadcode");
    EXPECT_EQ(out, "function f(a){var k;a=2;a=a+10;return a+','+typeof k;}var answer=f(0);");
    EXPECT_EQ(Read(out), Read(in));
    EXPECT_EQ(Read(out), "12,undefined");
    // A name the inner dropped branch declares, used only in the outer dropped one, is
    // used nowhere once both are gone: no declaration of it stays.
    const std::string twice = "function h(){if('a'==='a'){if('b'==='c'){var s=1;}t();}else{s=2;}return 1;}function t(){}var answer=h();";
    EXPECT_EQ(OneLayer(twice, &name), "function h(){t();return 1;}function t(){}var answer=h();");
    // So does a use in a dropped branch before the one it stands in.
    const std::string before = "function h(){if('a'==='b'){s=2;}if('c'==='c'){if('d'==='e'){var s=1;}t();}return 1;}function t(){}var answer=h();";
    EXPECT_EQ(OneLayer(before, &name), "function h(){t();return 1;}function t(){}var answer=h();");
    // A use where the code runs keeps it.
    const std::string used = "function h(){if('c'==='c'){if('d'==='e'){var s=1;}t();}return typeof s;}function t(){}var answer=h();";
    EXPECT_EQ(OneLayer(used, &name), "function h(){var s;t();return typeof s;}function t(){}var answer=h();");
    EXPECT_EQ(Read(OneLayer(used, &name)), "undefined");
}

TEST(ProxyObjects, CallsInsideEachOthersArgumentsInlineInTheSameLayer) {
    const std::string in = "function g(x,y){var o={'AbCdE':function(p,q){return p+q;},'FgHiJ':function(p,q){return p*q;},"
                           "'KlMnO':function(p,q){return p(q);},'PqRsT':'s'};"
                           "return o.AbCdE(o.FgHiJ(x,o.AbCdE(y,1)),o.KlMnO(String,o.FgHiJ(y,y)))+o.PqRsT;}var answer=g(2,3);";
    std::string name;
    const std::string out = OneLayer(in, &name);
    EXPECT_EQ(name, "proxy");
    EXPECT_EQ(out, "function g(x,y){return ((x * (y + 1)) + String((y * y)))+'s';}var answer=g(2,3);");
    EXPECT_EQ(Read(out), Read(in));
    EXPECT_EQ(Read(out), "89s");
}

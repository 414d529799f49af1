// Names and the last plain writing: each case a small input, the exact text it comes back
// as, and the code still computing what it did.
#include <gtest/gtest.h>

#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "transform/Transforms.h"

using namespace qy::transform;
using namespace qy::script;

namespace {

std::string Unpack(const std::string& text) {
    ScriptHost main;
    UnpackResult r = UnpackScript(main, text);
    EXPECT_TRUE(r.ok);
    return r.text;
}

std::string ValueAfter(const std::string& code, const std::string& expression) {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode(code);
    EXPECT_EQ(GetPropertyNumber(host.GetError(), "Number"), 0) << GetPropertyText(host.GetError(), "Description") << "\n" << code;
    return VariantToText(host.Eval(expression));
}

}  // namespace

TEST(Renaming, NamesComeFromWhatTheCodeDoesWithThem) {
    // A parameter read as a string, a loop counter, an array, an object, a caught error.
    const std::string in =
        "function enc(_0x1a,_0x2b){var _0x3c=[],_0x4d={};for(var _0x5e=0;_0x5e<_0x1a.length;_0x5e++){"
        "_0x3c.push(_0x1a.charCodeAt(_0x5e)^_0x2b);}try{_0x4d.n=_0x3c.length;}catch(_0x6f){return _0x6f;}"
        "return _0x3c.join(',');}var out=enc('ab',1);";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function enc(str,arg1){var list=[],obj={};for(var i=0;i<str.length;i++){list.push(str.charCodeAt(i)^arg1);}"
                   "try{obj.n=list.length;}catch(e){return e;}return list.join(',');}var out=enc('ab',1);");
    EXPECT_EQ(ValueAfter(out, "out"), "96,99");
    EXPECT_EQ(ValueAfter(in, "out"), "96,99");
}

TEST(Renaming, NoNameIsCapturedOrShadowed) {
    // The inner function reads the outer parameter and the global i: its own parameter
    // must not take the outer one's name, and the counter must not take i.
    const std::string in = "function f(_0xa){function _0xb(_0xc){return _0xa+_0xc+i;}for(var _0xd=0;_0xd<2;_0xd++)"
                           "_0xa+=_0xb(_0xd);return _0xa;}var i=10,r=f(1);";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function f(arg1){function fn1(arg2){return arg1+arg2+i;}for(var j=0;j<2;j++)arg1+=fn1(j);return arg1;}"
                   "var i=10,r=f(1);");
    EXPECT_EQ(ValueAfter(out, "r"), ValueAfter(in, "r"));
    // Sibling functions may use the same names again.
    EXPECT_EQ(Unpack("function g(_0x1){return _0x1;}function h(_0x2){return _0x2;}var s=g(1)+h(2);"),
              "function g(arg1){return arg1;}function h(arg1){return arg1;}var s=g(1)+h(2);");
}

TEST(Renaming, GlobalsAndCodeThatReachesNamesByTextKeepTheirNames) {
    // A global is the script's interface; eval and with may name anything around them.
    const std::string in = "var _0x1=1;function g(_0x2){return eval('_0x2')+_0x1;}function h(_0x3){with(Math){return _0x3+PI;}}"
                           "var q=g(2)+h(0);";
    EXPECT_EQ(Unpack(in), in);
    // A key and a member keep theirs; a shorthand member keeps its key.
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    EXPECT_EQ(Unpack("function k(_0x9){var o={_0x9,_0xa:_0x9,_0xb(){return 1;}};return o._0x9+o._0xa;}var w=k(2);"),
              "function k(arg1){var o={_0x9: arg1,_0xa:arg1,_0xb(){return 1;}};return o._0x9+o._0xa;}var w=k(2);");
}

TEST(PlainWriting, SequencesInCaseListsAndAcrossLinesBecomeStatements) {
    EXPECT_EQ(Unpack("function m(a){switch(a){case 1:a+=1,a*=2;break;default:a=0,a--;}return a;}var n=m(1);"),
              "function m(a){switch(a){case 1:a+=1;\na*=2;break;default:a=0;\na--;}return a;}var n=m(1);");
    // Inside a function that is part of a longer statement, over a line break after a comma.
    EXPECT_EQ(Unpack("var t=(function(){function p(o){o.x=1,\no.y=2;return o;}return p({});}()),u=t.x;"),
              "var t=(function(){function p(o){o.x=1;\no.y=2;return o;}return p({});}()),u=t.x;");
    // A line break that may end the statement leaves it alone.
    EXPECT_EQ(Unpack("function q(a,b){a=1,b\n++a;return a;}"), "function q(a,b){a=1,b\n++a;return a;}");
}

TEST(PlainWriting, VoidZeroIsUndefinedUnlessSomethingNamesUndefined) {
    EXPECT_EQ(Unpack("var v=void 0;f(v,undefined);function f(){}"), "var v=undefined;f(v,undefined);function f(){}");
    EXPECT_EQ(Unpack("var v=void 0;function z(undefined){return void 0;}"), "var v=void 0;function z(undefined){return void 0;}");
}

TEST(PlainWriting, DotAccessWhereTheTargetTakesTheName) {
    const std::string in = "var s=/a/['test']('a'),c=function(){}['constructor'],o={'var':1,'in':2};if(s){}['b'].map(String);"
                           "var w=o['var'];";
    // JScript 5.8 refuses a keyword after a dot or as a bare key; an array after a block is no member.
    EXPECT_EQ(Unpack(in), "var s=/a/.test('a'),c=function(){}.constructor,o={'var':1,'in':2};if(s){}['b'].map(String);"
                          "var w=o['var'];");
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    EXPECT_EQ(Unpack(in), "var s=/a/.test('a'),c=function(){}.constructor,o={var:1,in:2};if(s){}['b'].map(String);var w=o.var;");
}

TEST(PlainWriting, AReturnedSequenceRunsItsPartsFirst) {
    const std::string in = "function f(a){if(a)return g(),a;return a=1,a+1;}function g(){}var r=f(0)+f(5);";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function f(a){if(a){\ng();\nreturn a;\n}a=1;\nreturn a+1;}function g(){}var r=f(0)+f(5);");
    EXPECT_EQ(ValueAfter(out, "r"), "7");
    // A line break after return ends the statement there.
    EXPECT_EQ(Unpack("function k(){return\n1,2}"), "function k(){return\n1,2}");
    // Parentheses around an assigned value and a loop's condition add nothing.
    EXPECT_EQ(Unpack("var x=0;for(var n=0;(n<3);n++)x+=(n*2);"), "var x=0;for(var n=0;n<3;n++)x+=n*2;");
}

TEST(ProxyObjects, AnObjectThatADeadBranchUsesOtherwiseIsInlinedAndGoesWithTheBranch) {
    const std::string in = "function f(x){var o={'KbRdV':function(p,q){return p+q;},'hTuDu':'abcde','qNjZv':'xyzzy'};"
                           "if(o.hTuDu===o.qNjZv){return new o(x);}return o.KbRdV(x,1);}var r=f(1);";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function f(x){return x + 1;}var r=f(1);");
    EXPECT_EQ(ValueAfter(out, "r"), "2");
}

TEST(Renaming, MangledShortNamesTakeARoleOnlyWhereItIsCertain) {
    // A one-letter parameter read as a string and a counter get their roles; the others,
    // and a name another function shares inside, keep theirs.
    const std::string in = "function c(a){var f='',O=[];for(var N=0;N<a.length;N++){O.push(a.charAt(N));}return f+O.join('');}"
                           "function d(a){function e(a){return a.split('');}return e(a+'');}var z=c('ab')+d(1);";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function c(str){var f='',list=[];for(var i=0;i<str.length;i++){list.push(str.charAt(i));}return f+list.join('');}"
                   "function d(a){function e(a){return a.split('');}return e(a+'');}var z=c('ab')+d(1);");
    EXPECT_EQ(ValueAfter(out, "z"), ValueAfter(in, "z"));
    // A counter already called as counters are (i2 where i, j, k and n are taken) keeps
    // its name: renaming it again and again would never end.
    const std::string counters = "function f(a){for(var i=0;i<1;i++)for(var j=0;j<1;j++)for(var k=0;k<1;k++)"
                                 "for(var n=0;n<1;n++)for(var i2=0;i2<2;i2++)a+=i2;return a;}var r=f(0);";
    EXPECT_EQ(Unpack(counters), counters);
}

TEST(Renaming, LabelsTakeNamesOfTheirOwnApartFromVariables) {
    // A loop's label becomes outer (outer2 inside it), a block's label block; a variable
    // sharing a label's name is renamed on its own, and a break leaving the inner loop
    // still names the outer one.
    const std::string in = "function f(_0x1a){var _0x9=0;_0x2b:for(var _0x3c=0;_0x3c<3;_0x3c++){_0x4d:for(var j=0;j<2;j++){"
                           "if(j)continue _0x2b;if(_0x1a>1)break _0x4d;_0x9++;}}_0x5e:{if(_0x1a)break _0x5e;_0x9=-1;}"
                           "var _0x2b=_0x9;return _0x2b;}var r=f(1)+','+f(0)+','+f(2);";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function f(arg1){var v1=0;outer:for(var i=0;i<3;i++){outer2:for(var j=0;j<2;j++){"
                   "if(j)continue outer;if(arg1>1)break outer2;v1++;}}block:{if(arg1)break block;v1=-1;}"
                   "var v2=v1;return v2;}var r=f(1)+','+f(0)+','+f(2);");
    EXPECT_EQ(ValueAfter(out, "r"), ValueAfter(in, "r"));
    // Mangled labels too; a label inside an object literal's value is no label.
    EXPECT_EQ(Unpack("function g(){var o={a:1};a:for(;;){break a;}return o.a;}var s=g();"),
              "function g(){var o={a:1};outer:for(;;){break outer;}return o.a;}var s=g();");
}

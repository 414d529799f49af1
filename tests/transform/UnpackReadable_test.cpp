// The layers that today's obfuscators add on top of a string array, and the plain
// writing the unpacker leaves behind: each with a small input and the exact text it
// comes back as, and the code still computing what it did.
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

TEST(ConstantObjects, DecoderIndexesHeldInAnObjectAreReadBack) {
    const std::string in =
        "function _0xa(){var _0xl=['log','hello','world'];_0xa=function(){return _0xl;};return _0xa();}"
        "function _0xd(i,k){i=i-0x1;var a=_0xa();return a[i];}"
        "function greet(){var _0x1f={_0x2b:0x2,_0x3c:0x3},_0x4d=_0xd;return _0x4d(_0x1f._0x2b)+' '+_0x4d(_0x1f._0x3c);}var out=greet();";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function greet(){return 'hello world';}var out=greet();");
    EXPECT_EQ(ValueAfter(out, "out"), ValueAfter(in, "out"));
    // An object handed on, or one whose keys are not the obfuscator's, stays.
    EXPECT_EQ(Unpack("var o={_0x1:0x5},b=o;function h(){return o._0x1;}"), "var o={_0x1:5},b=o;function h(){return o._0x1;}");
    EXPECT_EQ(Unpack("var c={port:80};c.port=81;"), "var c={port:80};c.port=81;");
}

TEST(ProxyObjects, EachFunctionsObjectIsInlinedWhereItIsDeclared) {
    // Both functions call their object "a", as mangled names do.
    const std::string in = "function f(x){var a={'vMbXq':function(p,q){return p+q;},'PzTkA':'|'};return a.vMbXq(x,a.PzTkA);}"
                           "function g(y){var a={'RtgYw':function(p,q){return p*q;}};return a.RtgYw(y,2);}var r=f('k')+g(3);";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function f(x){return x + '|';}function g(y){return y * 2;}var r=f('k')+g(3);");
    EXPECT_EQ(ValueAfter(out, "r"), "k|6");
    // An object that reads another one waits for it, then goes the same way.
    const std::string nested = "function h(s){var o={'kQwEr':function(p,q){return p+q;}};var i={'ZxCvB':function(p,q){return "
                               "o.kQwEr(p,q);}};return i.ZxCvB(s,'!');}var v=h('a');";
    EXPECT_EQ(Unpack(nested), "function h(s){return s + '!';}var v=h('a');");
}

TEST(ProxyObjects, AnAliasedObjectIsInlinedInItsFunctionOnlyWhileNoOtherNameIsCaught) {
    // Mangled code names the object "b" and its alias "e" in f, and other things so in h; a
    // dead branch hands the object on and reads a member it lacks, the label is no use.
    const std::string in = "function f(a){var b={XLwDA:function(c,d){return c!==d;},AIVeA:'mwEjE',yojCm:function(c,d){"
                           "return c+d;}};var e=b;k:for(var g=0;g<2;g++){if(e.XLwDA(e.AIVeA,e.AIVeA)){return b.apply(a,e);}"
                           "else{if(g)continue k;a=e.yojCm(a,1);}}return a;}function h(b){var e=b;return e+1;}var r=f(1)+h(2);";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function f(a){outer:for(var i=0;i<2;i++){if(i)continue outer;a=a + 1;}return a;}"
                   "function h(b){var e=b;return e+1;}var r=f(1)+h(2);");
    EXPECT_EQ(ValueAfter(out, "r"), ValueAfter(in, "r"));
    // A parameter of the alias's name inside would be caught: the alias stays an alias.
    const std::string caught = "function f(a){var b={XLwDA:function(c,d){return c+d;}};var e=b;return g(b,function(e){"
                               "return e;})+e.XLwDA(a,1);}function g(o,h){return h(2);}var r=f(1);";
    EXPECT_EQ(ValueAfter(Unpack(caught), "r"), "4");
}

TEST(PlainWriting, WhatObfuscatorsSpellOutOfTheWayIsWrittenPlainly) {
    EXPECT_EQ(Unpack("var t=!![],u=![],k={'plain':1,'in-dash':2},w=k['plain'];if('string'==typeof w)t=(w);"),
              "var t=true,u=false,k={plain:1,'in-dash':2},w=k.plain;if(typeof w == 'string')t=w;");
    // A minified return keeps its blank, and a comparison that ends a block turns round too.
    EXPECT_EQ(Unpack("function f(t){return\"function\"==typeof t}var o={a:'x'==typeof q};"),
              "function f(t){return typeof t == \"function\"}var o={a:typeof q == 'x'};");
    // Split strings in escapes are joined, numbers spelled as sums folded.
    EXPECT_EQ(Unpack("var s='\\x66\\x75\\x6e'+'\\x63\\x74'+'\\x69\\x6f\\x6e',n=-0x1*0x5+0x7*0x1+(0x2),m=(0x1);"),
              "var s='function',n=4,m=1;");
    // Split strings are joined after case and throw too.
    EXPECT_EQ(Unpack("switch(x){case 'eas'+'t':y=1;break;default:throw 'a'+'b';}"), "switch(x){case 'east':y=1;break;default:throw 'ab';}");
    // A user's own product keeps its look; parentheses that change the meaning stay.
    EXPECT_EQ(Unpack("var d=60*60*24;x>23&&(x=x%24);"), "var d=60*60*24;x>23&&(x=x%24);");
    EXPECT_EQ(Unpack("var q=(a,b);f((c,d));"), "var q=(a,b);f((c,d));");
}

TEST(PlainWriting, SequencesInAStatementListBecomeStatements) {
    // An unbraced body takes braces; a function expression part keeps parentheses.
    EXPECT_EQ(Unpack("function f(){a(),b=1,c();if(x)d(),e();(g(),h());}(function(){x=1}(),y=2);"),
              "function f(){a();\nb=1;\nc();if(x){\nd();\ne();\n}g();\nh();}(function(){x=1}());\ny=2;");
}

TEST(PlainWriting, ADeclarationLosingAllItsDeclaratorsGoesWhole) {
    const std::string in = "function _0xa(){var _0xl=['x','y'];_0xa=function(){return _0xl;};return _0xa();}"
                           "function _0xd(i){var a=_0xa();return a[i];}var p=_0xd,q=_0xd,r=_0xd;var s=p(0)+q(1)+r(0);";
    EXPECT_EQ(Unpack(in), "var s='xyx';");
}

TEST(NestedLiterals, TemporariesOfConstantLiteralsGoBackWhereTheyAreRead) {
    // At the top level, inner objects first, then the object they went into.
    const std::string top = "var _0x40e9={name:'tea',price:128};var _0x5d3f={'SKU-1':_0x40e9,'SKU-2':[1,-2]};"
                            "var catalog=_0x5d3f;var answer=catalog['SKU-1'].price+catalog['SKU-2'][1];";
    const std::string out = Unpack(top);
    EXPECT_EQ(out, "var catalog={'SKU-1':{name:'tea',price:128},'SKU-2':[1,-2]};var answer=catalog['SKU-1'].price+catalog['SKU-2'][1];");
    EXPECT_EQ(ValueAfter(out, "answer"), ValueAfter(top, "answer"));
    // An argument, an array element and what a function returns.
    const std::string inner = "function f(o){return o.a.length+o.b.n;}function g(){var _0x1=['x','y'],_0x2={n:null};"
                              "var _0x3={a:_0x1,b:_0x2};return _0x3;}var _0x9={n:3};var r=f({a:[_0x9],b:_0x9})+f(g());";
    // Members added one by one to a literal of constants join it while they are constants.
    EXPECT_EQ(Unpack("var _0x548c={uid:42};_0x548c.skip=['','x'];_0x548c.n=-1;var q=[['get',_0x548c]];"),
              "var q=[['get',{uid:42,skip:['','x'],n:-1}]];");
    EXPECT_EQ(Unpack("var _0x548c={uid:42};_0x548c.at=Date.now();var q=[_0x548c];"),
              "var _0x548c={uid:42};_0x548c.at=Date.now();var q=[_0x548c];");
    EXPECT_EQ(Unpack(inner), "function f(o){return o.a.length+o.b.n;}function g(){return {a:['x','y'],b:{n:null}};}"
                             "var _0x9={n:3};var r=f({a:[_0x9],b:_0x9})+f(g());");
}

TEST(NestedLiterals, ATemporaryThatCouldBeToldApartStays) {
    const char* kept[] = {
        "var _0x1={a:1};var l=[];for(var i=0;i<2;i++)l.push([_0x1]);",      // read in a loop
        "var _0x1={a:1};var l=[];while(l.length<2){l.push({o:_0x1});}",       // in a loop's body
        "var _0x1={a:1};function g(){return [_0x1];}",                        // in a function of its own
        "var _0x1=[1];var x=[_0x1,_0x1];",                                    // read twice
        "var _0x1={a:Date.now()};var x=[_0x1];",                              // not constant
        "var conf={a:1};var x=[conf];",                                       // a name of the program's own
        "var _0x1={a:1};var x={_0x1};",                                       // a shorthand key
        "var _0x1={a:1};var m={};m[_0x1]=2;",                                 // a member name
        "var k=2,x;switch(k){case 1:var _0x1=[1];case 2:x=[_0x1];}",          // a case may skip it
        "var x=[_0x1];var _0x1=[1];",                                         // read before
    };
    for (const char* in : kept) EXPECT_EQ(Unpack(in), in);
}

TEST(UnusedDeclarations, NamesAFunctionDeclaresAndNeverReadsGo) {
    EXPECT_EQ(Unpack("function f(x){var P,Q;var P,R;var L;x.map(function(L){return L;});return Q;}"),
              "function f(x){var Q;x.map(function(L){return L;});return Q;}");
    // The top level, a body without braces, a name a function inside reads, eval: they stay.
    const char* kept[] = {
        "var top;",
        "function f(x){if(x)var T;return x;}",
        "function g(){var L;return function(){return L;};}",
        "function h(s){var a;return eval(s);}",
    };
    for (const char* in : kept) EXPECT_EQ(Unpack(in), in);
    // A name read in a template's substitution is read.
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    EXPECT_EQ(Unpack("function t(o){var a,b;return `${(a=o.x)!=null?a:'-'}`;}"), "function t(o){var a;return `${(a=o.x)!=null?a:'-'}`;}");
}

TEST(Flattening, AnOrderAndItsCounterDeclaredApartAreFollowedToo) {
    const std::string in = "function f(){var n='1|2|0'.split('|');var o=0;while(!![]){switch(n[o++]){case'0':return q+3;"
                           "case'1':var p=2;continue;case'2':var q=p+1;continue;}break;}}var r=f();";
    const std::string out = Unpack(in);
    EXPECT_EQ(out, "function f(){var p=2;\nvar q=p+1;\nreturn q+3;}var r=f();");
    EXPECT_EQ(ValueAfter(out, "r"), "6");
}

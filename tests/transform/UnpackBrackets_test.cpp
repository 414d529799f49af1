// Brackets in the unpacker's output: those the folding and inlining layers leave around
// operands go, those the grammar or a reader needs stay; numbers the obfuscator spelled
// as sums come back as the number written.
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

TEST(Brackets, WhatFoldingAndInliningWrappedIsWrittenBare) {
    const std::string in =
        "function round(value,places){var scale=Math.pow(10,(places===(undefined))?4:places);return (Math.round(value*scale)/scale);}"
        "function convert(value,from,to){if(((typeof value)==='number')&&(from!==to))throw new TypeError((('cannot convert '+from)+' to ')+to);"
        "return round(((value-32)*5)/9,2);}var r=convert(100,'F','F')+(-(1));";
    const std::string out = Unpack(in);
    EXPECT_EQ(out,
              "function round(value,places){var scale=Math.pow(10,places===undefined?4:places);return Math.round(value*scale)/scale;}"
              "function convert(value,from,to){if(typeof value==='number'&&from!==to)throw new TypeError('cannot convert '+from+' to '+to);"
              "return round((value-32)*5/9,2);}var r=convert(100,'F','F')+-1;");
    EXPECT_EQ(ValueAfter(out, "r"), ValueAfter(in, "r"));
    // Removed brackets leave no two tokens run together.
    EXPECT_EQ(Unpack("var a=typeof(b),c=-(-d),e=f+(+g),h=!(i),j=(k)in l;"), "var a=typeof b,c=- -d,e=f+ +g,h=!i,j=k in l;");
    // A member or call chain, and "new" of a plain name, read the same bare.
    EXPECT_EQ(Unpack("var m=(n.o)(p),q=(r[0]).s,t=new (u.v)(),w=(x)?(y):(z),k=(x&&y)?1:2;"), "var m=n.o(p),q=r[0].s,t=new u.v(),w=x?y:z,k=x&&y?1:2;");
    EXPECT_EQ(Unpack("var n=-((-a)),l=typeof((a))in b;"), "var n=- -a,l=typeof a in b;");
}

TEST(Brackets, WhatTheGrammarOrAReaderNeedsStays) {
    const char* kept[] = {
        "var a=x*(y+z),b=(x+y)*z,c=x-(y-z),d=-(x+y),e=typeof(x+y),f=x/(y*z);",  // precedence and left association
        "var g=(x?y:z)?1:2,h=x?(y,z):0,i=(x,y);f((x,y));",                    // conditionals and sequences
        "var j=(x=y)+1,k=(x||y)&&z,l=!(x in y);",                              // assignments and looser operators
        "({}).toString();",                                                     // a statement starting "{"
        "(function(){}).call(this);var m=(function(){return 1;})();",         // a function called on the spot
        "for(var n=(x in y)?1:0;n<1;n++){}",                                    // "in" in a for head
        "var o=new (x())(),p=(new X).y,q=(1).toFixed(2),r=(-1).toFixed(2);",    // new, numbers before a dot
        "var s=(x&y)|(z<<2),t=((x>>>4)<<2)&15,u=(x&&y)||z,v=w+(x%2);",          // what a reader is helped by
        "function w(){return (\nx);}",                                          // a line break after return
    };
    for (const char* in : kept) EXPECT_EQ(Unpack(in), in);
}

TEST(Brackets, LaterSyntaxKeepsWhatItsGrammarNeeds) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    const std::string kept = "let a=(x**y)**z,b=(-x)**y,c=-(x**y),d=x?\?(y||z),e=(x||y)?\?z,f=(x?.y).z,g=(x?.y)(),h=()=>({}),i=(x)=>x;";
    EXPECT_EQ(Unpack(kept), kept);
    EXPECT_EQ(Unpack("let a=x**(y**z),b=(x?.y)?\?z,c=(x)=>(x+1),d=[...(x)];"), "let a=x**y**z,b=x?.y?\?z,c=(x)=>x+1,d=[...x];");
}

TEST(Brackets, NumbersSpelledAsSumsComeBackWithTheirFraction) {
    EXPECT_EQ(Unpack("var t=-203*-11+-134+-1826+0.14999999999997726,u=-3558+6229*-1+9885+0.5999999999999943;"),
              "var t=273.15,u=98.6;");
    // A fraction that does not come out shorter is no sum of the obfuscator's.
    EXPECT_EQ(Unpack("var v=-1+2*-3+0.1+0.2;"), "var v=-1+2*-3+0.1+0.2;");
    // The string-array layer writes numbers in decimal: the sums it meets are folded first.
    const std::string in =
        "function _0xa(){var _0xl=['log','hello','world'];_0xa=function(){return _0xl;};return _0xa();}"
        "function _0xd(i,k){i=i-0x1;var a=_0xa();return a[i];}"
        "function greet(){var _0x4d=_0xd;return _0x4d(0x2)+' '+_0x4d(0x3)+(-(0x33*0x373d5+0x779272+0xf32213));}var out=greet();";
    EXPECT_EQ(Unpack(in), "function greet(){return 'hello world'+-35309556;}var out=greet();");
}

// The watch over a real main host: calls of watched natives, page members and script
// functions logged with arguments, results, the calling line and a count, each left
// looking as it did; code made at run time kept in order with where it was made.
#include "debug/ScriptWatch.h"

#include <gtest/gtest.h>

#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"

namespace qy::debug {
namespace {

using script::ScriptTarget;

class ScriptWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        watch.SetCallOutput([this](const HookCall& c) { calls.push_back(c); });
    }

    void Load(const std::string& code, bool browser = false) {
        host = script::ScriptHost();
        script::SetProperty(host.Control(), "Debuggable", true);
        script::SetProperty(host.Control(), "BrowserEnvironment", browser);
        host.Reset();
        ASSERT_EQ(host.AddCode(code), 0);
        ASSERT_EQ(script::GetPropertyNumber(host.GetError(), "Number"), 0)
            << script::GetPropertyText(host.GetError(), "Description");
    }

    std::string Text(const std::string& expr) {
        std::u16string out;
        script::VariantToWide(host.Eval(expr), out);
        return text::Utf16ToUtf8(out);
    }

    script::ScopedScriptTarget target{ScriptTarget::ES2021};
    ScriptWatch watch;
    script::ScriptHost host;
    std::vector<HookCall> calls;
};

const char* const kLooks =
    "[String.fromCharCode.toString(), String.fromCharCode.name, String.fromCharCode.length,"
    " Function.prototype.toString.call(JSON.stringify), JSON.stringify.length,"
    " Object.getOwnPropertyNames(String.fromCharCode).join(), 'prototype' in JSON.stringify].join('|')";

TEST_F(ScriptWatchTest, WatchedNativesLogEachCallAndLookUnchanged) {
    Load("var unwatched = 1;");
    std::string before = Text(kLooks);
    watch.SetHooks({u"String.fromCharCode", u"JSON.stringify", u"no.such.path"});
    Load("function sign(s) {\n"
         "    var t = JSON.stringify({k: s, list: [1, 2, 3]});\n"
         "    return String.fromCharCode(72, 73) + t;\n"
         "}\n");
    EXPECT_TRUE(watch.Attached());
    EXPECT_EQ(Text(kLooks), before);
    EXPECT_TRUE(calls.empty());  // reading them is no call
    EXPECT_EQ(Text("sign('x') + sign('y')"), "HI{\"k\":\"x\",\"list\":[1,2,3]}HI{\"k\":\"y\",\"list\":[1,2,3]}");
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].name, u"JSON.stringify");
    EXPECT_EQ(calls[0].arguments, u"{k: \"x\", list: […]}");
    EXPECT_EQ(calls[0].result, u"\"{\\\"k\\\":\\\"x\\\",\\\"list\\\":[1,2,3]}\"");
    EXPECT_EQ(calls[0].line, 2u);
    EXPECT_EQ(calls[1].name, u"String.fromCharCode");
    EXPECT_EQ(calls[1].arguments, u"72, 73");
    EXPECT_EQ(calls[1].line, 3u);
    EXPECT_EQ(calls[3].count, 2u);
    EXPECT_EQ(HookLine(calls[1]), u"-->调用 String.fromCharCode(72, 73) = \"HI\"（第 3 行）");
    // A call that throws is logged as such and the script still sees the error.
    EXPECT_EQ(Text("try { JSON.stringify(1n) } catch (e) { e instanceof TypeError }"), "true");
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_TRUE(calls[4].threw);
    EXPECT_NE(calls[4].result.find(u"TypeError"), std::u16string::npos) << text::Utf16ToUtf8(calls[4].result);
}

TEST_F(ScriptWatchTest, ScriptFunctionsAreWatchedByPathWithoutBeingReplaced) {
    watch.SetHooks({u"CryptoJS.MD5", u"Function.prototype.apply"});
    Load("var CryptoJS = {};\n"
         "var keep;\n"
         "CryptoJS.MD5 = function (s) { return 'md5:' + s; };\n"
         "keep = CryptoJS.MD5;\n"
         "function run() {\n"
         "    return CryptoJS.MD5('a') + Math.max.apply(null, [3, 9]);\n"
         "}\n");
    EXPECT_EQ(Text("[keep === CryptoJS.MD5, CryptoJS.MD5.toString(), run()].join('|')"),
              "true|function (s) { return 'md5:' + s; }|md5:a9");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, u"CryptoJS.MD5");
    EXPECT_EQ(calls[0].arguments, u"\"a\"");
    EXPECT_EQ(calls[0].result, u"\"md5:a\"");
    EXPECT_EQ(calls[0].line, 6u);
    EXPECT_EQ(calls[1].name, u"Function.prototype.apply");
    EXPECT_EQ(calls[1].arguments, u"null, [3, 9]");
    EXPECT_EQ(calls[1].result, u"9");
}

TEST_F(ScriptWatchTest, PreviewsRunNothingOfTheScript) {
    // Detection tricks count the getter reads and the toString calls a tool makes while
    // showing a value; a watched call's preview makes none.
    watch.SetHooks({u"probe"});
    Load("var reads = 0;\n"
         "function probe(o) { return o; }\n"
         "var bait = {get id() { reads++; return 1; }, toString: function () { reads++; return 'x'; }};\n");
    EXPECT_EQ(Text("probe(bait); probe([bait, 2]); reads"), "0");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].arguments, u"{id: (访问器), toString: function toString()}");
    EXPECT_EQ(calls[1].arguments, u"[{…}, 2]");
}

TEST_F(ScriptWatchTest, WatchedConstructorsStillConstructAndEvalKeepsItsScope) {
    watch.SetHooks({u"Function", u"Date", u"eval"});
    Load("function f() { var local = 5; return eval('local + 1'); }\n");
    EXPECT_EQ(Text("[f(), new Function('a', 'return a * 2')(4), Function('return 3')(), new Date(0).getTime(),"
                   " new Date(0) instanceof Date, (function () {}) instanceof Function, Date.name, Date.length].join()"),
              "6,8,3,0,true,true,Date,7");
    std::vector<std::u16string> names;
    for (const HookCall& c : calls) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Function", u"Function", u"Date", u"Date"}));
    EXPECT_EQ(calls[0].arguments, u"\"a\", \"return a * 2\"");
    EXPECT_EQ(calls[0].result, u"function anonymous()");
}

TEST_F(ScriptWatchTest, PageMembersKeepTheirLooksWhenWatched) {
    const char* looks = "[btoa.toString(), btoa.name, btoa.length, Function.prototype.toString.call(btoa)].join('|')";
    Load("var x = 1;", true);
    std::string before = Text(looks);
    watch.SetHooks({u"btoa", u"encodeURIComponent"});
    Load("function enc(s) {\n    return encodeURIComponent(btoa(s));\n}\n", true);
    EXPECT_EQ(Text(looks), before);
    EXPECT_EQ(Text("enc('abcd')"), "YWJjZA%3D%3D");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(HookLine(calls[0]), u"-->调用 btoa(\"abcd\") = \"YWJjZA==\"（第 2 行）");
    EXPECT_EQ(calls[1].name, u"encodeURIComponent");
    EXPECT_EQ(calls[1].line, 2u);
}

TEST_F(ScriptWatchTest, CodeMadeAtRunTimeIsKeptInOrder) {
    watch.SetCaptureDynamic(true);
    std::vector<std::u16string> titles;
    watch.SetDynamicOutput([&](const DynamicSource& s) { titles.push_back(DynamicTitle(s)); });
    Load("var a = 1;\n"
         "eval('var b = a + 1;');\n"
         "var f = new Function('x', 'return x * b');\n"
         "function later() { return eval('f(3)'); }\n");
    EXPECT_EQ(Text("later()"), "6");
    ASSERT_EQ(watch.DynamicSources().size(), 3u);
    EXPECT_EQ(watch.DynamicSources()[0].text, u"var b = a + 1;");
    EXPECT_EQ(watch.DynamicSources()[1].kind, u"Function");
    EXPECT_NE(watch.DynamicSources()[1].text.find(u"return x * b"), std::u16string::npos);
    EXPECT_EQ(watch.DynamicSources()[2].text, u"f(3)");
    ASSERT_EQ(titles.size(), 3u);
    EXPECT_EQ(titles[0], u"动态代码 #1 (eval, 第 2 行)");
    EXPECT_EQ(titles[1], u"动态代码 #2 (Function, 第 3 行)");
    EXPECT_EQ(titles[2], u"动态代码 #3 (eval, 第 4 行)");
    // A fresh load starts the count again.
    Load("eval('1');");
    ASSERT_EQ(watch.DynamicSources().size(), 1u);
    EXPECT_EQ(watch.DynamicSources()[0].number, 1u);
}

}  // namespace
}  // namespace qy::debug

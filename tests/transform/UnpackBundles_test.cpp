// Bundles: real webpack 4 and 5 and browserify output (tests/transform/samples/README.md
// says how each was made) laid out entry first and still running to the same answer, their
// modules listed with their own code and dependencies, and small bundles of our own with
// the exact text they come out as.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "common/TestSupport.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"
#include "transform/Bundles.h"
#include "transform/Transforms.h"

using namespace qy::transform;
using namespace qy::script;

namespace {

std::string Ansi(const char* utf8) { return qy::text::Utf8ToAnsiText(utf8); }

std::string Bundle(const std::string& name) {
    return qy::test::ReadFileBytes((std::filesystem::path(__FILE__).parent_path() / "samples" / "bundles" / name).string());
}

/// `answer` after running the scripts one after the other in a fresh control of the
/// modern target (webpack 5's output uses arrows); a chunk finds its runtime through self.
std::string Answer(const std::vector<std::string>& scripts) {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode("var self = this;");
    for (const auto& code : scripts) {
        host.AddCode(code);
        EXPECT_EQ(GetPropertyNumber(host.GetError(), "Number"), 0) << GetPropertyText(host.GetError(), "Description") << "\n" << code;
    }
    return VariantToText(host.Eval("answer"));
}

UnpackResult Unpack(const std::string& text) {
    ScriptHost main;
    return UnpackScript(main, text);
}

int Count(const UnpackResult& r, const std::string& label) {
    for (const auto& entry : r.removed)
        if (entry.first == label) return entry.second;
    return 0;
}

struct Case {
    const char* file;
    const char* runtime;  // the runtime chunk it needs, or ""
    int modules;
};

const Case kCases[] = {
    {"cjs.webpack4.js", "", 4},       {"mixed.webpack4-dev.js", "", 4},
    {"cjs.webpack5.js", "", 3},       {"cjs.webpack5-array.js", "", 3},
    {"mixed.webpack5-chunk.js", "mixed.webpack5-runtime.js", 4},
    {"cjs.browserify.js", "", 4},
};

}  // namespace

TEST(Bundles, EachLaidOutEntryFirstAndStillComputesTheSameAnswer) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.file);
        const std::string original = Bundle(c.file);
        std::vector<std::string> before, after;
        if (*c.runtime) before.push_back(Bundle(c.runtime));
        after = before;
        before.push_back(original);
        UnpackResult r = Unpack(original);
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.refused.empty()) << r.refused.front();
        EXPECT_EQ(Count(r, Ansi("打包模块")), c.modules);
        after.push_back(r.text);
        EXPECT_EQ(Answer(after), Answer(before));
        // The header, then the entry's comment before any other module's.
        EXPECT_EQ(r.text.rfind(Ansi("// 打包文件："), 0), 0u) << r.text;
        const size_t entry = r.text.find(Ansi("// 入口"));
        const size_t other = r.text.find(Ansi("\n// 模块 "));
        ASSERT_NE(entry, std::string::npos) << r.text;
        EXPECT_TRUE(other == std::string::npos || entry < other) << r.text;
        // Laid out once: a second eval解密 changes nothing.
        EXPECT_EQ(Unpack(r.text).text, r.text);
    }
}

TEST(Bundles, ModulesAreListedWithTheirOwnCodeAndWhatTheyLoad) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    // Each module of the CommonJS set says who it is in a string only it holds.
    const std::vector<std::string> marks = {"main-module", "fmt-module", "store-module", "util-module"};
    for (const char* file : {"cjs.webpack4.js", "cjs.webpack5.js", "cjs.webpack5-array.js", "cjs.browserify.js"}) {
        SCOPED_TRACE(file);
        // As read from the bundle and from its laid-out form.
        const std::string original = Bundle(file);
        for (const std::string& text : {original, Unpack(original).text}) {
            BundleListing list = ListBundle(text);
            ASSERT_EQ(list.modules.size(), 4u) << text;
            EXPECT_TRUE(list.modules[0].entry);
            std::map<std::string, std::string> idOf;
            for (const BundleModule& m : list.modules) {
                int own = 0;
                for (const std::string& mark : marks)
                    if (m.code.find(mark) != std::string::npos) ++own, idOf[mark] = m.id;
                EXPECT_EQ(own, 1) << m.id << ": " << m.code;
            }
            EXPECT_NE(list.modules[0].code.find("main-module"), std::string::npos);
            auto depsOf = [&](const std::string& mark) {
                for (const BundleModule& m : list.modules)
                    if (m.code.find(mark) != std::string::npos) return m.deps;
                return std::string();
            };
            // Ids as the bundler gave them; browserify adds the name the module asked for.
            const std::string util = idOf["util-module"];
            EXPECT_EQ(depsOf("util-module"), Ansi("无依赖"));
            EXPECT_EQ(depsOf("fmt-module").find(Ansi("依赖 ") + util), 0u) << depsOf("fmt-module");
            EXPECT_EQ(depsOf("store-module").find(Ansi("依赖 ") + util), 0u);
            for (const char* mark : {"fmt-module", "util-module", "store-module"}) {
                const std::string id = idOf[mark];
                // webpack 5 runs its entry inline, so the entry itself has no id there.
                EXPECT_NE(depsOf("main-module").find(id), std::string::npos) << mark;
            }
            if (std::string(file) == "cjs.browserify.js") {
                EXPECT_NE(depsOf("fmt-module").find(Ansi("（./util）")), std::string::npos);
            }
        }
    }
    EXPECT_EQ(ListBundle(Bundle("mixed.webpack4-dev.js")).modules[0].id, "./main.js");
    EXPECT_EQ(ListBundle(Bundle("mixed.webpack5-chunk.js")).kind, Ansi("webpack 分块"));
}

TEST(Bundles, SmallBundlesComeOutAsExpected) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    // webpack 4's form: the table an array, turned into an object with the entry first.
    const std::string four =
        "!function(e){var c={};function r(n){if(c[n])return c[n].exports;var m=c[n]={exports:{}};return "
        "e[n].call(m.exports,m,m.exports,r),m.exports}r(r.s=1)}([function(e,t){t.x=2},function(e,t,n){answer=n(0).x*21}]);";
    UnpackResult r4 = Unpack(four);
    EXPECT_EQ(r4.text, Ansi("// 打包文件：webpack 4，2 个模块，入口为模块 1，其余模块在后\n") +
                           "!function(e){var c={};function r(n){if(c[n])return c[n].exports;var m=c[n]={exports:{}};return "
                           "e[n].call(m.exports,m,m.exports,r),m.exports}r(r.s=1)}({\n" +
                           Ansi("// 入口：模块 1，依赖 0\n") + "1: function(e,t,n){answer=n(0).x*21},\n" +
                           Ansi("// 模块 0，无依赖\n") + "0: function(e,t){t.x=2}\n});");
    EXPECT_EQ(Answer({r4.text}), "42");
    // webpack 5's: the entry that runs inline after the runtime moves to the top of the
    // bootstrap (after its directive) and runs where it stood.
    const std::string five =
        "!function(){\"use strict\";var o={7:function(o,t){t.x=2}},t={};function n(r){var e=t[r];if(void 0!==e)return "
        "e.exports;var u=t[r]={exports:{}};return o[r](u,u.exports,n),u.exports}var r=n(7);globalThis.answer=r.x*21}();";
    UnpackResult r5 = Unpack(five);
    EXPECT_EQ(r5.text, Ansi("// 打包文件：webpack 5，1 个模块，入口在最前，其余模块在后\n") + "!function(){\"use strict\";\n" +
                           Ansi("// 入口，依赖 7；模块和加载器就绪后在原处运行\n") +
                           "function bundleEntry() {\nvar r=n(7);globalThis.answer=r.x*21;\n}\nvar o={\n" + Ansi("// 模块 7，无依赖\n") +
                           "7: function(o,t){t.x=2}\n},t={};function n(r){var e=t[r];if(undefined!==e)return "
                           "e.exports;var u=t[r]={exports:{}};return o[r](u,u.exports,n),u.exports}bundleEntry.call(this)}();");
    EXPECT_EQ(Answer({r5.text}), "42");
    // A module that hands its loader's name to a function of its own: only what the
    // module itself loads is a dependency.
    BundleListing shadow = ListBundle(
        "!function(e){function r(n){var m={exports:{}};return e[n].call(m.exports,m,m.exports,r),m.exports}r(r.s=0)}"
        "([function(e,t,n){var a=n(1);function f(n){return n(2)}answer=f(function(x){return x*21})+a.y},"
        "function(e,t){t.y=0},function(e,t){t.z=9}]);");
    ASSERT_EQ(shadow.modules.size(), 3u);
    EXPECT_EQ(shadow.modules[0].deps, Ansi("依赖 1"));
}

TEST(Bundles, TablesOfFunctionsThatAreNoBundleStayAsTheyAre) {
    for (const std::string s : {"var handlers={1:function(a){return a},2:function(b){return b}};answer=handlers[1](5);",
                                "answer=[function(){return 1},function(){return 2}].map(function(f){return f()}).join();",
                                "function run(t){return t[0]()}answer=run([function(){return 3}]);",
                                "(function(m){answer=m.a()})({a:function(){return 4}});"}) {
        EXPECT_EQ(Unpack(s).text, s);
        EXPECT_TRUE(ListBundle(s).modules.empty()) << s;
    }
}

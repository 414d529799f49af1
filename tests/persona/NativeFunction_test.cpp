// Native wrappers: what a script sees of them, and that they pass this, arguments and
// new.target through to the script function behind them.
#include <gtest/gtest.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/PropertyAndElement.h>
#include <js/SourceText.h>

#include <string>

#include "persona/NativeFunction.h"
#include "script/EngineInternal.h"

namespace {

const JSClass kGlobal = {"global", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr, nullptr};

class NativeWrapper : public ::testing::Test {
protected:
    void SetUp() override {
        cx = qy::script::detail::Cx();
        global.init(cx, JS_NewGlobalObject(cx, &kGlobal, nullptr, JS::FireOnNewGlobalHook, JS::RealmOptions()));
        ASSERT_TRUE(global);
        realm.emplace(cx, global);
        ASSERT_TRUE(JS::InitRealmStandardClasses(cx));
        ASSERT_TRUE(JS_DefineFunction(cx, global, "native", qy::persona::NativeWrapperCall, 4, 0));
    }
    void TearDown() override {
        realm.reset();
        global.reset();
    }
    std::string Eval(const std::string& code) {
        JS::SourceText<mozilla::Utf8Unit> src;
        EXPECT_TRUE(src.init(cx, code.data(), code.size(), JS::SourceOwnership::Borrowed));
        JS::CompileOptions options(cx);
        options.setFileAndLine("test", 1);
        JS::RootedValue rv(cx);
        if (!JS::Evaluate(cx, options, src, &rv)) {
            JS::RootedValue exc(cx);
            JS_GetPendingException(cx, &exc);
            JS_ClearPendingException(cx);
            rv = exc;
        }
        JS::RootedString s(cx, JS::ToString(cx, rv));
        JS::UniqueChars chars = JS_EncodeStringToUTF8(cx, s);
        return chars ? chars.get() : "";
    }
    JSContext* cx = nullptr;
    JS::PersistentRootedObject global;
    std::optional<JSAutoRealm> realm;
};

TEST_F(NativeWrapper, LooksNativeWithItsNameAndLength) {
    Eval("var f = native(function (a, b) { 'use strict'; return a + b; }, 'javaEnabled', 0);");
    EXPECT_EQ(Eval("f(2, 3)"), "5");
    EXPECT_EQ(Eval("f.name + ',' + f.length"), "javaEnabled,0");
    EXPECT_NE(Eval("String(f)").find("[native code]"), std::string::npos);
    EXPECT_EQ(Eval("String(f).indexOf('return')"), "-1");
    EXPECT_EQ(Eval("'prototype' in f"), "false");
    Eval("var g = native(function () {}, 'get userAgent', 0);");
    EXPECT_EQ(Eval("g.name"), "get userAgent");
}

TEST_F(NativeWrapper, PassesThisUnconvertedAndRefusesNew) {
    Eval("var who = native(function () { 'use strict'; return this === undefined ? 'none' : this.tag; }, 'who', 0);");
    EXPECT_EQ(Eval("who()"), "none");
    EXPECT_EQ(Eval("who.call({tag: 'x'})"), "x");
    EXPECT_EQ(Eval("({tag: 'y', who: who}).who()"), "y");
    EXPECT_EQ(Eval("try { new who(); 'made' } catch (e) { e instanceof TypeError }"), "true");
    EXPECT_EQ(Eval("try { native(function () { throw new RangeError('r'); }, 't', 0)() } catch (e) { e.message }"), "r");
}

TEST_F(NativeWrapper, ConstructorMakesInstancesOfItsOwnPrototype) {
    Eval("function Impl(v) { this.v = v; }"
         "var Made = native(Impl, 'Made', 1, true);"
         "Made.prototype = {kind: 'made'};"
         "var m = new Made(7);");
    EXPECT_EQ(Eval("m.v + m.kind"), "7made");
    EXPECT_EQ(Eval("Object.getPrototypeOf(m) === Made.prototype"), "true");
    EXPECT_EQ(Eval("m instanceof Made"), "true");
}

}  // namespace

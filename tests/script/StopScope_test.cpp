// Work of many engine calls stopped as a whole: a stop made during the work, even
// between its calls, ends every call after it; a single call's time limit does not;
// the next work starts clean; and the busy window counts the work's time, not each
// short call's, so a run of short calls still lets the window answer.
#include <gtest/gtest.h>

#include <chrono>

#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/Variant.h"
#include "text/CodePage.h"

using namespace qy::script;

namespace {

ScriptHost HostWith(const std::string& code) {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode(code);
    return host;
}

bool Failed(ScriptHost& host) { return GetPropertyNumber(host.GetError(), "Number") != 0; }

}  // namespace

TEST(StopScope, AStopEndsTheRestOfTheWorkButNotTheNextOne) {
    ScriptHost host = HostWith("function add(a,b){return a+b} function spin(){for(;;){}}");
    {
        StopScope work;
        EXPECT_EQ(VariantToNumber(host.Eval("add(1,2)")), 3);
        // A stop between calls, as the busy window's button may make it.
        RequestStop();
        EXPECT_TRUE(work.Stopped());
        host.Eval("add(1,2)");
        EXPECT_TRUE(Failed(host));
        EXPECT_EQ(GetPropertyText(host.GetError(), "Description"), qy::text::Utf8ToAnsiText("脚本已被用户停止"));
        // Even a call that would never end by itself ends at once.
        host.Run("spin");
        EXPECT_TRUE(Failed(host));
        host.AddCode("var late = 1;");
        EXPECT_TRUE(Failed(host));
    }
    EXPECT_FALSE(WorkStopped());
    EXPECT_EQ(VariantToNumber(host.Eval("add(2,3)")), 5);
    EXPECT_TRUE(VariantToText(host.Eval("typeof late")) == "undefined");
    // Without a scope, a stop with nothing running is dropped.
    RequestStop();
    EXPECT_EQ(VariantToNumber(host.Eval("add(3,4)")), 7);
}

TEST(StopScope, OneCallsTimeLimitEndsOnlyThatCall) {
    ScriptHost host = HostWith("function spin(){for(;;){}} function add(a,b){return a+b}");
    StopScope work;
    SetBusyHook([](std::chrono::milliseconds) { RequestCallStop(); });
    host.Run("spin");
    SetBusyHook(nullptr);
    EXPECT_TRUE(Failed(host));
    EXPECT_FALSE(work.Stopped());
    EXPECT_EQ(VariantToNumber(host.Eval("add(1,2)")), 3);
}

TEST(StopScope, TheBusyWindowCountsTheWorksTimeNotEachCalls) {
    // Each call is far shorter than the busy window's delay; together they are not.
    ScriptHost host = HostWith("function wait(ms){var end=new Date().getTime()+Number(ms); while(new Date().getTime()<end){}}");
    int hookCalls = 0;
    SetBusyHook([&](std::chrono::milliseconds) { ++hookCalls; });
    {
        StopScope work;
        for (int i = 0; i < 60; ++i) host.Run("wait", "20");
    }
    SetBusyHook(nullptr);
    EXPECT_GT(hookCalls, 0);
}

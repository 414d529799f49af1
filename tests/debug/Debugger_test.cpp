// The debugger over a real main host: breakpoints, stepping, scopes, exception pauses,
// logpoints, stopping, and both targets.
#include "debug/Debugger.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"

namespace qy::debug {
namespace {

using script::ScriptTarget;

const char* const kScript =
    "function MyObj(a) {\n"               // 1
    "    this.v = a * 2;\n"               // 2
    "}\n"                                 // 3
    "function OXOX(what, time, temp) {\n" // 4
    "    var o = new MyObj(what);\n"      // 5
    "    return o.v + time + temp;\n"     // 6
    "}\n";                                // 7

/// What one pause looked like, read while it lasted.
struct Seen {
    PauseState state;
    std::vector<FrameInfo> frames;
    std::vector<std::pair<std::u16string, std::u16string>> locals;  // name, value of scope 0
};

class ScriptedHandler final : public PauseHandler {
public:
    std::vector<ResumeAction> actions;  // one per pause; Continue after the last
    std::vector<Seen> seen;
    std::function<void(Debugger&)> during;
    Debugger* debugger = nullptr;

    ResumeAction Paused(const PauseState& state) override {
        Seen s;
        s.state = state;
        s.frames = debugger->Frames();
        std::vector<ScopeInfo> scopes = debugger->Scopes(0);
        if (!scopes.empty())
            for (const VariableInfo& v : debugger->Children(scopes[0].handle)) s.locals.emplace_back(v.name, v.value);
        seen.push_back(std::move(s));
        if (during) during(*debugger);
        size_t i = seen.size() - 1;
        return i < actions.size() ? actions[i] : ResumeAction::Continue;
    }
};

class DebuggerTest : public ::testing::TestWithParam<ScriptTarget> {
protected:
    void SetUp() override {
        target = std::make_unique<script::ScopedScriptTarget>(GetParam());
        handler.debugger = &debugger;
        debugger.SetPauseHandler(&handler);
        debugger.SetLogOutput([this](uint32_t line, const std::u16string& text) { logged.emplace_back(line, text); });
    }

    /// A fresh main host with `code` loaded, as a load does it.
    void Load(const std::string& code) {
        host = script::ScriptHost();
        script::SetProperty(host.Control(), "Debuggable", true);
        host.Reset();
        ASSERT_EQ(host.AddCode(code), 0);
        ASSERT_EQ(script::GetPropertyNumber(host.GetError(), "Number"), 0)
            << script::GetPropertyText(host.GetError(), "Description");
    }

    std::u16string Local(const Seen& s, const char16_t* name) {
        for (auto& [n, v] : s.locals)
            if (n == name) return v;
        return u"<missing>";
    }

    std::unique_ptr<script::ScopedScriptTarget> target;
    Debugger debugger;
    ScriptedHandler handler;
    script::ScriptHost host;
    std::vector<std::pair<uint32_t, std::u16string>> logged;
};

TEST_P(DebuggerTest, BreakpointStepIntoOutAndContinue) {
    debugger.SetBreakpoints({BreakpointSpec(5)});
    Load(kScript);
    handler.actions = {ResumeAction::StepInto, ResumeAction::StepOut, ResumeAction::StepOver};
    script::Variant r = host.Eval("OXOX(1,2,3)");
    EXPECT_EQ(script::VariantToNumber(r), 7);
    ASSERT_EQ(handler.seen.size(), 4u);
    const Seen& first = handler.seen[0];
    EXPECT_EQ(first.state.reason, PauseReason::Breakpoint);
    ASSERT_EQ(first.frames.size(), 2u);
    EXPECT_EQ(first.frames[0].function, u"OXOX");
    EXPECT_EQ(first.frames[0].line, 5u);
    EXPECT_EQ(first.frames[1].function, u"(计算表达式)");
    EXPECT_FALSE(first.frames[1].inLoadedCode);
    EXPECT_EQ(Local(first, u"what"), u"1");
    EXPECT_EQ(Local(first, u"time"), u"2");
    EXPECT_EQ(Local(first, u"temp"), u"3");
    EXPECT_EQ(Local(first, u"o"), u"undefined");
    // Into the constructor, out again to the line that called it, then over to the next.
    EXPECT_EQ(handler.seen[1].frames[0].function, u"MyObj");
    EXPECT_EQ(handler.seen[1].frames[0].line, 2u);
    EXPECT_EQ(Local(handler.seen[1], u"a"), u"1");
    EXPECT_EQ(handler.seen[2].frames[0].function, u"OXOX");
    EXPECT_EQ(handler.seen[2].frames[0].line, 5u);
    EXPECT_EQ(handler.seen[3].frames[0].line, 6u);
    EXPECT_NE(Local(handler.seen[3], u"o").find(u"v: 2"), std::u16string::npos) << text::Utf16ToUtf8(Local(handler.seen[3], u"o"));
}

TEST_P(DebuggerTest, ConditionsHitCountsAndLogpoints) {
    BreakpointSpec conditional(5, u"what > 1");
    debugger.SetBreakpoints({conditional});
    Load(kScript);
    host.Eval("OXOX(1,2,3)");
    EXPECT_TRUE(handler.seen.empty());
    host.Eval("OXOX(2,2,3)");
    ASSERT_EQ(handler.seen.size(), 1u);
    EXPECT_EQ(Local(handler.seen[0], u"what"), u"2");

    handler.seen.clear();
    BreakpointSpec third(6);
    third.hitCount = 3;
    debugger.SetBreakpoints({third});
    for (int i = 0; i < 4; ++i) host.Eval("OXOX(1,2,3)");
    EXPECT_EQ(handler.seen.size(), 2u);  // the third hit and every one after

    handler.seen.clear();
    BreakpointSpec log(6);
    log.logMessage = u"x = {what}, s = {'a' + time}";
    debugger.SetBreakpoints({log});
    EXPECT_EQ(script::VariantToNumber(host.Eval("OXOX(5,2,3)")), 15);
    EXPECT_TRUE(handler.seen.empty());
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].first, 6u);
    EXPECT_EQ(logged[0].second, u"x = 5, s = a2");
}

TEST_P(DebuggerTest, EvaluatesAndWatchesInTheChosenFrame) {
    debugger.SetBreakpoints({BreakpointSpec(2)});
    Load(kScript);
    std::vector<EvaluationResult> results;
    handler.during = [&](Debugger& d) {
        results.push_back(d.Evaluate(0, u"a + 1"));
        results.push_back(d.Evaluate(1, u"what + time"));
        results.push_back(d.Evaluate(1, u"nope.x"));
        results.push_back(d.Evaluate(0, u"this"));
        results.push_back(d.Evaluate(0, u"while (true) {}"));  // cut short, the run goes on
    };
    EXPECT_EQ(script::VariantToNumber(host.Eval("OXOX(4,2,3)")), 13);
    ASSERT_EQ(results.size(), 5u);
    EXPECT_TRUE(results[0].ok);
    EXPECT_EQ(script::VariantToNumber(results[0].value), 5);
    EXPECT_EQ(script::VariantToNumber(results[1].value), 6);
    EXPECT_FALSE(results[2].ok);
    EXPECT_TRUE(results[3].isObject);
    EXPECT_FALSE(results[4].ok);
}

TEST_P(DebuggerTest, DebuggerStatementsAndExceptions) {
    const char* code =
        "function f() {\n"
        "    throw new Error('boom');\n"
        "}\n"
        "function g() {\n"
        "    try { f(); } catch (e) { return 1; }\n"
        "}\n"
        "function h() {\n"
        "    debugger;\n"
        "    return 2;\n"
        "}\n";
    Load(code);
    EXPECT_TRUE(debugger.Attached());  // the loaded code has a debugger statement
    EXPECT_EQ(script::VariantToNumber(host.Eval("h()")), 2);
    ASSERT_EQ(handler.seen.size(), 1u);
    EXPECT_EQ(handler.seen[0].state.reason, PauseReason::DebuggerStatement);
    EXPECT_EQ(handler.seen[0].frames[0].line, 8u);

    handler.seen.clear();
    debugger.SetExceptionPause(ExceptionPause::Uncaught);
    EXPECT_EQ(script::VariantToNumber(host.Eval("g()")), 1);
    EXPECT_TRUE(handler.seen.empty());
    host.Eval("f()");
    ASSERT_EQ(handler.seen.size(), 1u);
    EXPECT_EQ(handler.seen[0].state.reason, PauseReason::Exception);
    EXPECT_EQ(handler.seen[0].frames[0].line, 2u);
    EXPECT_NE(handler.seen[0].state.exception.find(u"boom"), std::u16string::npos);

    handler.seen.clear();
    debugger.SetExceptionPause(ExceptionPause::All);
    EXPECT_EQ(script::VariantToNumber(host.Eval("g()")), 1);
    EXPECT_EQ(handler.seen.size(), 1u);  // once, not again as it unwinds
    debugger.SetExceptionPause(ExceptionPause::Off);
}

TEST_P(DebuggerTest, StopWhilePausedEndsTheRunAndTheEngineGoesOn) {
    debugger.SetBreakpoints({BreakpointSpec(6)});
    Load(kScript);
    handler.actions = {ResumeAction::Stop};
    host.Eval("OXOX(1,2,3)");
    EXPECT_EQ(handler.seen.size(), 1u);
    EXPECT_NE(script::GetPropertyNumber(host.GetError(), "Number"), 0);
    debugger.SetBreakpoints({});
    EXPECT_EQ(script::VariantToNumber(host.Eval("OXOX(1,2,3)")), 7);
    EXPECT_EQ(handler.seen.size(), 1u);
}

TEST_P(DebuggerTest, SteppingEndsWithItsRun) {
    debugger.SetBreakpoints({BreakpointSpec(6)});
    Load(kScript);
    // Into from the last line of a function called straight from the workbench (it
    // stops once more at the closing brace): the run ends there, and the next run is
    // not stopped by what stepping armed.
    handler.actions = {ResumeAction::StepInto, ResumeAction::StepInto};
    EXPECT_EQ(script::VariantToNumber(host.Run("OXOX", "1", "2", "3")), 223);  // texts: 2 + "2" + "3"
    const size_t pauses = handler.seen.size();
    EXPECT_GE(pauses, 1u);
    EXPECT_EQ(handler.seen.back().frames[0].function, u"OXOX");
    EXPECT_TRUE(debugger.Attached());
    EXPECT_EQ(script::VariantToNumber(host.Eval("MyObj.length + 1")), 2);
    EXPECT_EQ(handler.seen.size(), pauses);
}

TEST_P(DebuggerTest, APauseAskedForWhileRunningStopsAtTheNextStatement) {
    Load("function spin() {\n    var i = 0;\n    while (true) {\n        i++;\n    }\n}\n");
    EXPECT_FALSE(debugger.Attached());
    bool asked = false;
    script::SetBusyHook([&](std::chrono::milliseconds) {
        if (!asked) Debugger::RequestPause();
        asked = true;
    });
    handler.actions = {ResumeAction::Stop};
    host.Eval("spin()");
    script::SetBusyHook(nullptr);
    ASSERT_EQ(handler.seen.size(), 1u);
    EXPECT_EQ(handler.seen[0].state.reason, PauseReason::Requested);
    EXPECT_EQ(handler.seen[0].frames[0].function, u"spin");
    EXPECT_NE(script::GetPropertyNumber(host.GetError(), "Number"), 0);
}

TEST_P(DebuggerTest, AMillionElementsOpenInGroups) {
    Load("var big = [];\nfor (var i = 0; i < 1000000; i++) big.push(i);\nfunction stop() {\n    return big.length;\n}\n");
    debugger.SetBreakpoints({BreakpointSpec(4)});
    std::vector<VariableInfo> top, group, inner;
    std::chrono::steady_clock::duration took{};
    handler.during = [&](Debugger& d) {
        std::vector<ScopeInfo> scopes = d.Scopes(0);
        ASSERT_FALSE(scopes.empty());
        EXPECT_EQ(scopes.back().name, u"全局");
        for (const VariableInfo& v : d.Children(scopes.back().handle)) {
            if (v.name != u"big") continue;
            EXPECT_NE(v.value.find(u"(1000000) [0, 1, 2"), std::u16string::npos);
            auto start = std::chrono::steady_clock::now();
            top = d.Children(v.handle);
            took = std::chrono::steady_clock::now() - start;
            if (!top.empty()) group = d.Children(top[1].handle);
            if (!group.empty()) inner = d.Children(group[0].handle);
        }
    };
    EXPECT_EQ(script::VariantToNumber(host.Eval("stop()")), 1000000);
    ASSERT_GE(top.size(), 100u);
    EXPECT_EQ(top[0].name, u"[0 … 9999]");
    EXPECT_EQ(group[0].name, u"[10000 … 10099]");
    ASSERT_EQ(inner.size(), 100u);
    EXPECT_EQ(inner[5].name, u"10005");
    EXPECT_EQ(inner[5].value, u"10005");
    (void)took;
}

TEST_P(DebuggerTest, NothingIsAttachedWhileThereIsNothingToStopAt) {
    Load(kScript);
    EXPECT_FALSE(debugger.Attached());
    debugger.SetBreakpoints({BreakpointSpec(6)});
    EXPECT_TRUE(debugger.Attached());  // set after the load: the loaded functions get it
    host.Eval("OXOX(1,2,3)");
    EXPECT_EQ(handler.seen.size(), 1u);
    debugger.SetBreakpoints({});
    EXPECT_FALSE(debugger.Attached());
}

INSTANTIATE_TEST_SUITE_P(BothTargets, DebuggerTest,
                         ::testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021),
                         [](const auto& info) { return info.param == ScriptTarget::JScript58 ? "JScript" : "ES2021"; });

// A script the JScript rules rewrite (string indexing, a trailing array comma, a named
// function expression) pauses at the same lines and columns as in the modern target.
TEST(DebuggerTargets, RewrittenCodeKeepsTheUsersLines) {
    const char* code =
        "var s = 'abc', n = [1, 2,].length;\n"
        "var fn = function inner(k) {\n"
        "    var c = s[k] + n;\n"
        "    return c;\n"
        "};\n";
    std::vector<std::vector<FrameInfo>> frames;
    for (ScriptTarget t : {ScriptTarget::JScript58, ScriptTarget::ES2021}) {
        script::ScopedScriptTarget scoped(t);
        Debugger debugger;
        ScriptedHandler handler;
        handler.debugger = &debugger;
        handler.actions = {ResumeAction::StepOver};
        debugger.SetPauseHandler(&handler);
        debugger.SetBreakpoints({BreakpointSpec(3)});
        script::ScriptHost host;
        script::SetProperty(host.Control(), "Debuggable", true);
        host.Reset();
        host.AddCode(code);
        host.Eval("fn(1)");
        ASSERT_EQ(handler.seen.size(), 2u);
        frames.push_back(handler.seen[0].frames);
        frames.push_back(handler.seen[1].frames);
    }
    EXPECT_EQ(frames[0][0].line, 3u);
    EXPECT_EQ(frames[1][0].line, 4u);
    EXPECT_EQ(frames[0][0].line, frames[2][0].line);
    EXPECT_EQ(frames[0][0].column, frames[2][0].column);
    EXPECT_EQ(frames[1][0].line, frames[3][0].line);
    EXPECT_EQ(frames[1][0].column, frames[3][0].column);
}

}  // namespace
}  // namespace qy::debug

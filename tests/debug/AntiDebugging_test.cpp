// What scripts that fight debugging meet: `debugger` statements (written, or built with
// eval, Function or a function's constructor) passed over while skipping, and a clock
// that does not move while the run is paused.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "debug/Debugger.h"
#include "debug/PausedClock.h"
#include "debug/ScriptWatch.h"
#include "env/AccessTrace.h"
#include "script/Automation.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"

namespace qy::debug {
namespace {

using script::ScriptTarget;

class CountingHandler final : public PauseHandler {
public:
    std::vector<PauseReason> reasons;
    std::chrono::milliseconds hold{0};
    std::function<void()> onPause;
    ResumeAction Paused(const PauseState& state) override {
        reasons.push_back(state.reason);
        if (onPause) onPause();
        if (hold.count()) std::this_thread::sleep_for(hold);
        return ResumeAction::Continue;
    }
};

class AntiDebuggingTest : public ::testing::TestWithParam<ScriptTarget> {
protected:
    void SetUp() override {
        target = std::make_unique<script::ScopedScriptTarget>(GetParam());
        debugger.SetPauseHandler(&handler);
    }
    void Load(const std::string& code) {
        host = script::ScriptHost();
        script::SetProperty(host.Control(), "Debuggable", true);
        host.Reset();
        ASSERT_EQ(host.AddCode(code), 0);
        ASSERT_EQ(script::GetPropertyNumber(host.GetError(), "Number"), 0)
            << script::GetPropertyText(host.GetError(), "Description");
    }
    double Number(const std::string& expr) { return script::VariantToNumber(host.Eval(expr)); }

    std::unique_ptr<script::ScopedScriptTarget> target;
    Debugger debugger;
    CountingHandler handler;
    script::ScriptHost host;
};

// Five rounds, each with a written statement and three built at run time.
const char* const kTrap =
    "function trap() {\n"                                      // 1
    "    var n = 0;\n"                                         // 2
    "    for (var i = 0; i < 5; i++) {\n"                      // 3
    "        debugger;\n"                                      // 4
    "        Function('debu' + 'gger')();\n"                   // 5
    "        eval('debu' + 'gger');\n"                         // 6
    "        (function () {}).constructor('debugger')();\n"   // 7
    "        n++;\n"                                           // 8
    "    }\n"                                                  // 9
    "    return n;\n"                                          // 10
    "}\n";                                                     // 11

TEST_P(AntiDebuggingTest, DebuggerStatementsPassedOverWhileSkipping) {
    // Stopping at them is what a plain debugger does: each written one pauses (and, for
    // the modern target, each one built at run time).
    Load(kTrap);
    EXPECT_EQ(Number("trap()"), 5);
    size_t stops = handler.reasons.size();
    EXPECT_EQ(stops, GetParam() == ScriptTarget::ES2021 ? 20u : 10u);
    for (PauseReason r : handler.reasons) EXPECT_EQ(r, PauseReason::DebuggerStatement);

    handler.reasons.clear();
    debugger.SetDebuggerStatements(DebuggerStatements::SkipWhileNoBreakpoints);
    Load(kTrap);
    EXPECT_EQ(Number("trap()"), 5);
    EXPECT_TRUE(handler.reasons.empty());
    EXPECT_FALSE(debugger.Attached());

    // A breakpoint of the user's brings them back; "always skip" keeps them away even then.
    debugger.SetBreakpoints({BreakpointSpec(10)});
    EXPECT_EQ(Number("trap()"), 5);
    EXPECT_EQ(handler.reasons.size(), stops + 1);
    EXPECT_EQ(handler.reasons.back(), PauseReason::Breakpoint);
    handler.reasons.clear();
    debugger.SetDebuggerStatements(DebuggerStatements::Skip);
    EXPECT_EQ(Number("trap()"), 5);
    ASSERT_EQ(handler.reasons.size(), 1u);
    EXPECT_EQ(handler.reasons[0], PauseReason::Breakpoint);
}

TEST_P(AntiDebuggingTest, APauseIsNotSeenByTheScriptsClock) {
    Load("function measure() {\n"
         "    var t0 = new Date().getTime();\n"
         "    var x = 1;\n"
         "    return new Date().getTime() - t0;\n"
         "}\n");
    debugger.SetBreakpoints({BreakpointSpec(3)});
    handler.hold = std::chrono::milliseconds(1500);
    double seen = Number("measure()");
    ASSERT_EQ(handler.reasons.size(), 1u);
    // The pause lasted 1.5 s; the script measures only its own few statements.
    EXPECT_GE(seen, 0);
    EXPECT_LT(seen, 1500);
    EXPECT_GE(PausedMilliseconds(), 1500);
    // A fresh load reads the true time again.
    Load("var y = 1;");
    EXPECT_EQ(PausedMilliseconds(), 0);
}

TEST_P(AntiDebuggingTest, AWatchedCallWithTheGivenTextPausesInTheCallersFrame) {
    ScriptWatch watch;
    watch.SetHooks({u"String.fromCharCode", u"sign"});
    watch.SetPauseText(u"token=");
    std::vector<std::u16string> lines;
    watch.SetCallOutput([&](const HookCall& c) { lines.push_back(HookLine(c)); });
    Load("function sign(s) { return s.length; }\n"
         "function run() {\n"
         "    var a = sign('plain');\n"
         "    var b = sign('a&token=42');\n"
         "    return a + b;\n"
         "}\n");
    EXPECT_EQ(Number("run()"), 15);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], u"-->调用 sign(\"a&token=42\") = 10（第 4 行）");
    ASSERT_EQ(handler.reasons.size(), 1u);
    EXPECT_EQ(handler.reasons[0], PauseReason::Requested);
}

TEST_P(AntiDebuggingTest, APausedMinuteIsSeenNeitherByTheClockNorByTimers) {
    // The clock is the test's: the pause takes a minute of it without a minute passing.
    double now = 1.7e15;
    SetClockSource([&now] { return now; });
    handler.onPause = [&now] { now += 60e6; };
    host = script::ScriptHost();
    script::SetProperty(host.Control(), "Debuggable", true);
    script::SetProperty(host.Control(), "BrowserEnvironment", true);
    host.Reset();
    ASSERT_EQ(host.AddCode("var t0 = new Date().getTime(), p0 = performance.now(), seen = [];\n"
                           "setTimeout(function () { seen.push(performance.now() - p0, new Date().getTime() - t0); }, 30000);\n"
                           "debugger;\n"
                           "var afterPause = new Date().getTime() - t0, perfAfterPause = performance.now() - p0;\n"),
              0)
        << script::GetPropertyText(host.GetError(), "Description");
    SetClockSource(nullptr);
    ASSERT_EQ(handler.reasons.size(), 1u);
    EXPECT_EQ(PausedMilliseconds(), 60000);
    // Neither Date nor performance.now moved over the pause (the script's own running
    // time, a few real milliseconds on a busy machine, is all they may show)…
    EXPECT_LT(Number("afterPause"), 10000);
    EXPECT_LT(Number("perfAfterPause"), 10000);
    // …and the timer ran when its own 30 seconds were up, not at once for a minute gone.
    EXPECT_EQ(Number("seen.length"), 2);
    EXPECT_GE(Number("seen[0]"), 30000);
    EXPECT_LT(Number("seen[0]"), 40000);
    EXPECT_LT(Number("seen[1]"), 10000);
}

// Scripts that redefine what tools are known to call find that the workbench called
// none of it: not while loading with the environment, the function watch and the
// access trace on, not while paused at a breakpoint with the frame's variables read.
TEST(AntiDetection, RedefinedToStringConsoleGetterAndTimersSeeNoTool) {
    script::ScopedScriptTarget target(ScriptTarget::ES2021);
    Debugger debugger;
    ScriptWatch watch;
    watch.SetHooks({u"btoa"});
    watch.SetCallOutput([](const HookCall&) {});
    watch.SetCaptureDynamic(true);
    env::SetTraceOutput([](const env::TraceEntry&) {});
    size_t variables = 0;
    struct Reader final : PauseHandler {
        Debugger* d = nullptr;
        size_t* count = nullptr;
        ResumeAction Paused(const PauseState&) override {
            for (const FrameInfo& f : d->Frames()) (void)f;
            for (const ScopeInfo& s : d->Scopes(0))
                for (const VariableInfo& v : d->Children(s.handle)) {
                    ++*count;
                    if (v.handle >= 0) (void)d->Children(v.handle);
                }
            return ResumeAction::Continue;
        }
    } reader;
    reader.d = &debugger;
    reader.count = &variables;
    debugger.SetPauseHandler(&reader);
    script::ScriptHost host;
    script::SetProperty(host.Control(), "Debuggable", true);
    script::SetProperty(host.Control(), "BrowserEnvironment", true);
    host.Reset();
    ASSERT_EQ(host.AddCode(
                  "var seen = [];\n"                                                                       // 1
                  "var realToString = Function.prototype.toString;\n"                                      // 2
                  "Function.prototype.toString = function () { seen.push('toString'); return realToString.call(this); };\n"
                  "var realInterval = setInterval, realTimeout = setTimeout, realLog = console.log;\n"     // 4
                  "window.setInterval = function () { seen.push('setInterval'); return realInterval.apply(this, arguments); };\n"
                  "window.setTimeout = function () { seen.push('setTimeout'); return realTimeout.apply(this, arguments); };\n"
                  "Object.defineProperty(console, 'log', {get: function () { seen.push('console.log'); return realLog; }});\n"
                  "var bait = {id: 1, fn: function named() {}};\n"                                        // 8
                  "Object.defineProperty(bait, 'probe', {get: function () { seen.push('getter'); return 1; }, enumerable: true});\n"
                  "function sign(s) {\n"                                                                   // 10
                  "    var v = btoa(s + eval('\"!\"'));\n"                                                // 11
                  "    return v + bait.id;\n"                                                              // 12
                  "}\n"),
              0)
        << script::GetPropertyText(host.GetError(), "Description");
    ASSERT_EQ(script::GetPropertyNumber(host.GetError(), "Number"), 0);
    (void)script::GetPropertyText(host.Control(), "EnvironmentReport");
    debugger.SetBreakpoints({BreakpointSpec(12)});
    std::u16string result;
    script::VariantToWide(host.Eval("sign('x')"), result);
    EXPECT_EQ(result, u"eCE=1");
    EXPECT_GT(variables, 0u);
    debugger.SetBreakpoints({});
    env::SetTraceOutput(nullptr);
    std::u16string seen;
    script::VariantToWide(host.Eval("seen.join()"), seen);
    EXPECT_EQ(seen, u"");
}

INSTANTIATE_TEST_SUITE_P(Targets, AntiDebuggingTest, ::testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021),
                         [](const auto& info) { return info.param == ScriptTarget::JScript58 ? "JScript" : "ES2021"; });

}  // namespace
}  // namespace qy::debug

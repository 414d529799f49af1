// What the V8 persona costs the modern target with the page's objects.
//   BM_FreshGlobal/<0 off, 1 on>  - Reset with the environment, nothing added
//   BM_LoadJquery/<0, 1>          - Reset, then /usr/share/javascript/jquery/jquery.js
//   BM_Exceptions/<0, 1>          - 1000 property errors thrown and caught, messages read
//   BM_ErrorStacks/<0, 1>         - 1000 `new Error` three calls deep, stacks read
//   BM_AwaitLoop/<0, 1>           - Reset, then an async function awaiting 10000 times
//                                   (what a watcher of every promise would cost)
//   BM_Rejections/<0, 1>          - Reset, then 1000 `await Promise.all(5)` caught, stacks read
//   BM_MathCalls/<f>/<0, 1>       - 100000 calls of Math function f (0 pow, 1 exp, 2 log,
//                                   3 cbrt, 4 hypot, 5 sin) or 6 toString(36), in a loop;
//                                   the engine's own built-ins against the persona's
//   BM_Cbrt/<0, 1>                - one cube root in C++: the C library's, the persona's
// After the benchmarks each pair is timed alternately and the difference of the medians
// printed, so that the machine's noise hits both sides alike.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <cmath>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "persona/V8Math.h"

using namespace qy::script;

static const char* kJquery = "/usr/share/javascript/jquery/jquery.js";

static const char* kThrowing =
    "(function () { var n = 0; for (var i = 0; i < 1000; i++) { try { var o = null; o.x; }"
    " catch (e) { n += e.message.length; } } return n; })()";

static const char* kStacks =
    "(function () { function a() { return new Error('x'); } function b() { return a(); }"
    " function c() { return b(); } var n = 0; for (var i = 0; i < 1000; i++) n += c().stack.length; return n; })()";

static const char* kAwaits = "(async function () { for (var i = 0; i < 10000; i++) await i; })();";

static const char* kRejections =
    "(async function () { var n = 0; for (var i = 0; i < 1000; i++) {"
    " try { await Promise.all(5); } catch (e) { n += e.stack.length; } } return n; })();";

static ScriptHost HostOf(bool persona) {
    ScopedScriptTarget scoped(ScriptTarget::ES2021);
    ScriptHost host;
    host.SetLanguage("JScript");
    SetProperty(host.Control(), "BrowserEnvironment", true);
    SetProperty(host.Control(), "V8Persona", persona);
    SetProperty(host.Control(), "PageAddress", std::string("https://www.example.com/"));
    host.Reset();
    return host;
}

static void Load(ScriptHost& host, const std::string& code) {
    host.Reset();
    if (!code.empty()) host.AddCode(code);
}

static void BM_FreshGlobal(benchmark::State& state) {
    ScriptHost host = HostOf(state.range(0) != 0);
    for (auto _ : state) Load(host, "");
    state.SetLabel(state.range(0) ? "persona" : "engine");
}
BENCHMARK(BM_FreshGlobal)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

static void BM_LoadJquery(benchmark::State& state) {
    ScriptHost host = HostOf(state.range(0) != 0);
    std::string code = ReadFile(kJquery);
    for (auto _ : state) Load(host, code);
    state.SetLabel(state.range(0) ? "persona" : "engine");
}
BENCHMARK(BM_LoadJquery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void RunLoop(benchmark::State& state, const char* code) {
    ScriptHost host = HostOf(state.range(0) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(host.Eval(code));
    state.SetLabel(state.range(0) ? "persona" : "engine");
}
static void BM_Exceptions(benchmark::State& state) { RunLoop(state, kThrowing); }
BENCHMARK(BM_Exceptions)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
static void BM_ErrorStacks(benchmark::State& state) { RunLoop(state, kStacks); }
BENCHMARK(BM_ErrorStacks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_AwaitLoop(benchmark::State& state) {
    ScriptHost host = HostOf(state.range(0) != 0);
    for (auto _ : state) Load(host, kAwaits);
    state.SetLabel(state.range(0) ? "persona" : "engine");
}
BENCHMARK(BM_AwaitLoop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_Rejections(benchmark::State& state) {
    ScriptHost host = HostOf(state.range(0) != 0);
    for (auto _ : state) Load(host, kRejections);
    state.SetLabel(state.range(0) ? "persona" : "engine");
}
BENCHMARK(BM_Rejections)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The loop body of each BM_MathCalls function, on x moving through (0.5, 1.5).
static const char* kMathCalls[] = {"Math.pow(x, 1.7)", "Math.exp(x)",   "Math.log(x)",       "Math.cbrt(x)",
                                   "Math.hypot(x, 2)", "Math.sin(x)",   "x.toString(36).length"};

static std::string MathLoop(int which) {
    return std::string("(function () { var s = 0, x = 0.5; for (var i = 0; i < 100000; i++) { s += ") +
           kMathCalls[which] + "; x += 1e-5; } return s; })()";
}

static void BM_MathCalls(benchmark::State& state) {
    ScriptHost host = HostOf(state.range(1) != 0);
    std::string code = MathLoop(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(host.Eval(code));
    state.SetItemsProcessed(state.iterations() * 100000);
    state.SetLabel(std::string(kMathCalls[state.range(0)]) + (state.range(1) ? " persona" : " engine"));
}
BENCHMARK(BM_MathCalls)->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {0, 1}})->Unit(benchmark::kMillisecond);

static void BM_Cbrt(benchmark::State& state) {
    double x = 0.5, sum = 0;
    const bool persona = state.range(0) != 0;
    for (auto _ : state) {
        sum += persona ? qy::persona::math::Cbrt(x) : std::cbrt(x);
        x += 1e-7;
    }
    benchmark::DoNotOptimize(sum);
    state.SetLabel(persona ? "persona (correctly rounded)" : "C library");
}
BENCHMARK(BM_Cbrt)->Arg(0)->Arg(1);

static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename Step>
static void PrintAdded(const char* what, Step step) {
    ScriptHost off = HostOf(false), on = HostOf(true);
    std::vector<double> toff, ton;
    for (int i = 0; i < 31; ++i) {
        for (auto [host, times] : {std::pair{&off, &toff}, std::pair{&on, &ton}}) {
            auto start = std::chrono::steady_clock::now();
            step(*host);
            times->push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::printf("%-28s engine %8.3f ms  persona %8.3f ms  added %+8.3f ms\n", what, Median(toff), Median(ton),
                Median(ton) - Median(toff));
}

int main(int argc, char** argv) {
    if (!StartEngine()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::string jquery = ReadFile(kJquery);
    PrintAdded("fresh global", [](ScriptHost& h) { Load(h, ""); });
    PrintAdded("jquery.js load", [&](ScriptHost& h) { Load(h, jquery); });
    PrintAdded("1000 property errors", [](ScriptHost& h) { h.Eval(kThrowing); });
    PrintAdded("1000 errors with stacks", [](ScriptHost& h) { h.Eval(kStacks); });
    PrintAdded("10000 awaits", [](ScriptHost& h) { Load(h, kAwaits); });
    PrintAdded("1000 built-in rejections", [](ScriptHost& h) { Load(h, kRejections); });
    benchmark::Shutdown();
    StopEngine();
    return 0;
}

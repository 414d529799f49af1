// Engine costs as the workbench pays them. Figures printed (compare with the goals:
// jquery.js added within 10 ms, a fresh instance within 3 ms, Eval within 5 us):
//   BM_AddJquery      - adding /usr/share/javascript/jquery/jquery.js to a fresh instance
//                       of the modern target (the JScript target refuses jQuery 3; the
//                       targets benchmark compares the two)
//   BM_FreshInstance  - creating a script control (a new global) of the default target
//   BM_EvalAdd        - ScriptHost::Eval("add(1,2)") after a small script, per call
//   BM_EvalAddDistinct - the same with a new expression text each call (compiled every time)
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"

using namespace qy::script;

static void BM_AddJquery(benchmark::State& state) {
    std::string jquery = ReadFile("/usr/share/javascript/jquery/jquery.js");
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    for (auto _ : state) {
        state.PauseTiming();
        ScriptHost host;
        host.SetLanguage("JScript");
        state.ResumeTiming();
        host.AddCode(jquery);
    }
}
BENCHMARK(BM_AddJquery)->Unit(benchmark::kMillisecond);

static void BM_FreshInstance(benchmark::State& state) {
    for (auto _ : state) {
        ScriptHost host;
        benchmark::DoNotOptimize(host.Control());
    }
}
BENCHMARK(BM_FreshInstance)->Unit(benchmark::kMicrosecond);

static void BM_EvalAdd(benchmark::State& state) {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode("function add(a,b){return a+b}");
    for (auto _ : state) {
        Variant v = host.Eval("add(1,2)");
        benchmark::DoNotOptimize(v.integer);
    }
}
BENCHMARK(BM_EvalAdd)->Unit(benchmark::kMicrosecond);

// The same with a different expression text every call, so each one is compiled.
static void BM_EvalAddDistinct(benchmark::State& state) {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode("function add(a,b){return a+b}");
    // Far more texts than the control keeps compiled, made before the clock runs.
    std::vector<std::string> expressions(1 << 16);
    for (size_t i = 0; i < expressions.size(); ++i) expressions[i] = "add(1," + std::to_string(i) + ")";
    size_t i = 0;
    for (auto _ : state) {
        Variant v = host.Eval(expressions[i++ % expressions.size()]);
        benchmark::DoNotOptimize(v.integer);
    }
}
BENCHMARK(BM_EvalAddDistinct)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (!StartEngine()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopEngine();
    return 0;
}

// A load of a real library in each script target, as "加载代码" does it (Reset, then
// AddCode), and their ratio (goal: the JScript target at most twice the modern one).
//   BM_LoadJquery/jscript, BM_LoadJquery/es2021 - /usr/share/javascript/jquery/jquery.js
//                        (JScript refuses it at its one `.catch(`, as the Script Control does)
//   BM_LoadJqueryEs3/…   - the same with that `.catch(` written `["catch"](`, so that the
//                        JScript target gates, rewrites, compiles and runs all of it
//   BM_LoadUnderscore/…                         - /usr/share/javascript/underscore/underscore.js
//   BM_FreshInstance/…                          - creating a control of the target
// After the benchmarks, the two loads are timed alternately in one loop and the ratio of
// their medians printed, so that the machine's noise hits both alike.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"

using namespace qy::script;

static const char* kJquery = "/usr/share/javascript/jquery/jquery.js";
static const char* kUnderscore = "/usr/share/javascript/underscore/underscore.js";

/// jquery.js as JScript accepts it: its one reserved-word member call quoted.
static std::string JqueryEs3() {
    std::string code = ReadFile(kJquery);
    for (size_t at; (at = code.find(".catch(")) != std::string::npos;) code.replace(at, 7, "[\"catch\"](");
    return code;
}

static ScriptTarget TargetOf(const benchmark::State& state) {
    return state.range(0) == 0 ? ScriptTarget::JScript58 : ScriptTarget::ES2021;
}

static ScriptHost HostOf(ScriptTarget target) {
    ScopedScriptTarget scoped(target);
    ScriptHost host;
    host.SetLanguage("JScript");
    return host;
}

static void Load(ScriptHost& host, const std::string& code) {
    host.Reset();
    host.AddCode(code);
}

static void LoadBench(benchmark::State& state, const std::string& code) {
    ScriptHost host = HostOf(TargetOf(state));
    for (auto _ : state) Load(host, code);
    state.SetLabel(TargetKey(TargetOf(state)));
}

static void BM_LoadJquery(benchmark::State& state) { LoadBench(state, ReadFile(kJquery)); }
BENCHMARK(BM_LoadJquery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_LoadJqueryEs3(benchmark::State& state) { LoadBench(state, JqueryEs3()); }
BENCHMARK(BM_LoadJqueryEs3)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_LoadUnderscore(benchmark::State& state) { LoadBench(state, ReadFile(kUnderscore)); }
BENCHMARK(BM_LoadUnderscore)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

static void BM_FreshInstance(benchmark::State& state) {
    ScopedScriptTarget scoped(TargetOf(state));
    for (auto _ : state) {
        ScriptHost host;
        benchmark::DoNotOptimize(host.Control());
    }
    state.SetLabel(TargetKey(TargetOf(state)));
}
BENCHMARK(BM_FreshInstance)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

static void PrintRatio(const char* name, const std::string& code) {
    ScriptHost jscript = HostOf(ScriptTarget::JScript58);
    ScriptHost modern = HostOf(ScriptTarget::ES2021);
    std::vector<double> tj, tm;
    for (int i = 0; i < 41; ++i) {
        for (auto [host, times] : {std::pair{&jscript, &tj}, std::pair{&modern, &tm}}) {
            auto start = std::chrono::steady_clock::now();
            Load(*host, code);
            times->push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    }
    double j = Median(tj), m = Median(tm);
    std::printf("%s load, median of 41 alternating: jscript %.2f ms, es2021 %.2f ms, ratio %.2f\n", name, j, m, j / m);
}

int main(int argc, char** argv) {
    if (!StartEngine()) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatio("jquery.js", ReadFile(kJquery));
    PrintRatio("jquery.js with [\"catch\"]", JqueryEs3());
    PrintRatio("underscore.js", ReadFile(kUnderscore));
    StopEngine();
    return 0;
}

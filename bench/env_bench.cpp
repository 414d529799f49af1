// What the browser environment adds to a load ("加载代码": Reset, then AddCode) of a real
// library, in each target (goal: under 3 ms added to a jquery.js load).
//   BM_LoadJquery/<target>/<0 off, 1 on>  - /usr/share/javascript/jquery/jquery.js
//                                          (under JScript with its `.catch(` written `["catch"](`)
//   BM_FreshGlobal/<target>/<0 off, 1 on> - Reset, nothing added
// After the benchmarks, each pair (without and with the environment) is timed alternately
// and printed side by side with its ratio and the milliseconds added (the difference of
// the medians), so that the machine's noise hits both alike; under each load, the part
// of the added time that is the environment's own (see PrintPair).
// `env_bench --profile=<fresh|load>-<on|off>` runs ten ES2021 loads for a profiler instead
// (see ProfiledLoads); `--profile=twice-<on|off>` loads jquery.js twice into each of ten
// fresh globals, so that first use and later calls can be counted apart (ProfileTwice;
// `--profile=twice-on:FILE` loads a script of one's own instead).
// `env_bench --entries` prints, under the modern target's jquery.js load, the entries into
// the environment that took the most time (per load, with their calls).
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "env/Environment.h"
#include "persona/NativeFunction.h"
#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"

using namespace qy::script;

static const char* kJquery = "/usr/share/javascript/jquery/jquery.js";

static std::string JqueryFor(ScriptTarget target) {
    std::string code = ReadFile(kJquery);
    if (target == ScriptTarget::JScript58)
        for (size_t at; (at = code.find(".catch(")) != std::string::npos;) code.replace(at, 7, "[\"catch\"](");
    return code;
}

static ScriptTarget TargetOf(int64_t arg) { return arg == 0 ? ScriptTarget::JScript58 : ScriptTarget::ES2021; }

static ScriptHost HostOf(ScriptTarget target, bool environment) {
    ScopedScriptTarget scoped(target);
    ScriptHost host;
    host.SetLanguage("JScript");
    SetProperty(host.Control(), "BrowserEnvironment", environment);
    SetProperty(host.Control(), "PageAddress", std::string("https://www.example.com/"));
    return host;
}

static void Load(ScriptHost& host, const std::string& code) {
    host.Reset();
    if (!code.empty()) host.AddCode(code);
    (void)GetPropertyText(host.Control(), "EnvironmentReport");
}

static void BM_LoadJquery(benchmark::State& state) {
    ScriptTarget target = TargetOf(state.range(0));
    ScriptHost host = HostOf(target, state.range(1) != 0);
    std::string code = JqueryFor(target);
    for (auto _ : state) Load(host, code);
    state.SetLabel(TargetKey(target) + (state.range(1) ? " env on" : " env off"));
}
BENCHMARK(BM_LoadJquery)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMillisecond);

static void BM_FreshGlobal(benchmark::State& state) {
    ScriptTarget target = TargetOf(state.range(0));
    ScriptHost host = HostOf(target, state.range(1) != 0);
    for (auto _ : state) Load(host, "");
    state.SetLabel(TargetKey(target) + (state.range(1) ? " env on" : " env off"));
}
BENCHMARK(BM_FreshGlobal)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMicrosecond);

static double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

using Clock = std::chrono::steady_clock;

static double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/// One pair timed alternately: the medians without and with the environment, their
/// ratio and the milliseconds the environment adds.
/// A load also gives the environment's own share of what it adds: what its set-up adds
/// to Reset (the medians' difference), plus the time spent inside the environment while
/// the code runs (its wrappers' calls and its resolve hooks, metered from the outermost
/// entry to its return). The rest of the added time is the library's own work that runs
/// only with a page to work on (without one, jquery.js stops at its first
/// document.createElement).
static bool g_printEntries = false;

static void PrintPair(const char* what, ScriptTarget target, const std::string& code, int runs) {
    ScriptHost off = HostOf(target, false), on = HostOf(target, true);
    Load(off, code);
    Load(on, code);
    std::vector<double> toff, ton, resetOff, resetOn, inside;
    bool entries = g_printEntries && !code.empty() && target == ScriptTarget::ES2021;
    qy::persona::MeasureEnvironmentEntries(entries);
    for (int i = 0; i < runs; ++i) {
        for (bool environment : {false, true}) {
            ScriptHost& host = environment ? on : off;
            auto start = Clock::now();
            host.Reset();
            (environment ? resetOn : resetOff).push_back(MillisecondsSince(start));
            qy::persona::MeasureEnvironmentTime(environment);
            if (!code.empty()) host.AddCode(code);
            (void)GetPropertyText(host.Control(), "EnvironmentReport");
            if (environment) inside.push_back(static_cast<double>(qy::persona::EnvironmentNanoseconds()) / 1e6);
            qy::persona::MeasureEnvironmentTime(false);
            (environment ? ton : toff).push_back(MillisecondsSince(start));
        }
    }
    double a = Median(toff), b = Median(ton);
    std::printf("%-16s %-8s %10.2f ms %10.2f ms %7.2fx %+9.2f ms\n", what, TargetKey(target).c_str(), a, b, b / a, b - a);
    // (The old target's environment is plain script in the page's global: no wrapper
    // marks where it starts, so only the modern target's is metered.)
    qy::persona::MeasureEnvironmentEntries(false);
    if (code.empty() || target != ScriptTarget::ES2021) return;
    if (entries) {
        auto list = qy::persona::EnvironmentEntries();
        for (size_t i = 0; i < list.size() && i < 30; ++i)
            std::printf("    %8.3f ms %6.1f calls  %s\n", static_cast<double>(list[i].nanoseconds) / 1e6 / runs,
                        static_cast<double>(list[i].calls) / runs, list[i].name.c_str());
    }
    double setUp = Median(resetOn) - Median(resetOff), running = Median(inside);
    std::printf("  the environment's own: set-up %.2f ms + inside its functions and hooks %.2f ms = %.2f ms"
                " (the rest is the library's own work)\n",
                setUp, running, setUp + running);
}

static void PrintAdded() {
    std::printf("\nmedians of 41 alternating runs\n%-16s %-8s %13s %13s %8s %12s\n", "", "target", "env off", "env on",
                "ratio", "added");
    for (ScriptTarget target : {ScriptTarget::JScript58, ScriptTarget::ES2021}) {
        PrintPair("fresh global", target, "", 41);
        PrintPair("jquery.js load", target, JqueryFor(target), 41);
    }
}

/// The loads a profiler counts (`--profile=<fresh|load>-<on|off>`): run under
///   valgrind --tool=callgrind --collect-atstart=no --toggle-collect=ProfiledLoads env_bench --profile=load-on
/// after two loads that warm the engine, ten loads of the ES2021 target.
__attribute__((noinline)) void ProfiledLoads(ScriptHost& host, const std::string& code, int n) {
    for (int i = 0; i < n; ++i) Load(host, code);
}

/// The same global loading jquery.js twice (`--profile=twice-on`): the first load pays
/// for every interface and member it meets, the second only for the calls. Counted
/// apart under callgrind with --toggle-collect='FirstJquery*' or 'SecondJquery*'.
__attribute__((noinline)) void FirstJquery(ScriptHost& host, const std::string& code) { host.AddCode(code); }
__attribute__((noinline)) void SecondJquery(ScriptHost& host, const std::string& code) { host.AddCode(code); }

static int ProfileTwice(bool on, const std::string& file) {
    ScriptHost host = HostOf(ScriptTarget::ES2021, on);
    std::string code = file.empty() ? JqueryFor(ScriptTarget::ES2021) : ReadFile(file.c_str());
    Load(host, code);
    Load(host, code);
    for (int i = 0; i < 10; ++i) {
        host.Reset();
        FirstJquery(host, code);
        SecondJquery(host, code);
    }
    std::printf("profiled: 10 globals loading %s twice, environment %s\n", file.empty() ? "jquery.js" : file.c_str(),
                on ? "on" : "off");
    return 0;
}

static int Profile(const std::string& what) {
    // (`--profile=twice-on:FILE` loads FILE twice instead of jquery.js.)
    if (what.rfind("twice", 0) == 0) {
        size_t colon = what.find(':');
        return ProfileTwice(what.substr(0, colon) == "twice-on", colon == std::string::npos ? "" : what.substr(colon + 1));
    }
    bool load = what.rfind("load", 0) == 0, on = what.size() > 3 && what.substr(what.size() - 3) == "-on";
    ScriptHost host = HostOf(ScriptTarget::ES2021, on);
    std::string code = load ? JqueryFor(ScriptTarget::ES2021) : std::string();
    Load(host, code);
    Load(host, code);
    ProfiledLoads(host, code, 10);
    std::printf("profiled: 10 %s loads, environment %s\n", load ? "jquery.js" : "empty", on ? "on" : "off");
    return 0;
}

int main(int argc, char** argv) {
    if (!StartEngine()) return 1;
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]).rfind("--profile=", 0) == 0) {
            int rc = Profile(std::string(argv[i]).substr(10));
            StopEngine();
            return rc;
        }
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--entries") g_printEntries = true;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintAdded();
    StopEngine();
    return 0;
}

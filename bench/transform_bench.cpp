// Transform speed on real scripts. Figures printed, compared with the goals (format
// jquery.js and jquery.min.js within 35 ms warm, 5 MB within 600 ms; minify jquery.js within 20 ms, 5 MB
// within 400 ms). "Cold" runs are the first call in a fresh process; the others are
// warm (Google Benchmark repeats them). MB/s is shown as bytes_per_second.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <chrono>
#include <cstdio>

#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "transform/Transforms.h"
#include "text/CodePage.h"

using namespace qy;

static const std::string& Jquery() {
    static const std::string s = ReadFile("/usr/share/javascript/jquery/jquery.js");
    return s;
}

static const std::string& JqueryMin() {
    static const std::string s = ReadFile("/usr/share/javascript/jquery/jquery.min.js");
    return s;
}

static const std::string& FiveMegabytes() {
    static const std::string s = [] {
        std::string big;
        while (big.size() < 5u * 1024 * 1024) big += Jquery() + "\n";
        return big;
    }();
    return s;
}

template <typename F>
static void Run(benchmark::State& state, const std::string& input, F transform) {
    for (auto _ : state) benchmark::DoNotOptimize(transform(input).text.size());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

static void BM_FormatJquery(benchmark::State& s) { Run(s, Jquery(), transform::FormatScript); }
static void BM_FormatJqueryMin(benchmark::State& s) { Run(s, JqueryMin(), transform::FormatScript); }
static void BM_MinifyJquery(benchmark::State& s) { Run(s, Jquery(), transform::MinifyScript); }
static void BM_Format5MB(benchmark::State& s) { Run(s, FiveMegabytes(), transform::FormatScript); }
static void BM_Minify5MB(benchmark::State& s) { Run(s, FiveMegabytes(), transform::MinifyScript); }
static void BM_UnpackJquery(benchmark::State& s) {
    script::ScriptHost host;
    Run(s, Jquery(), [&](const std::string& t) { return transform::UnpackScript(host, t); });
}
BENCHMARK(BM_FormatJquery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatJqueryMin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MinifyJquery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnpackJquery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Format5MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Minify5MB)->Unit(benchmark::kMillisecond)->Iterations(3);

static void PrintCold(const char* name, const std::string& input, transform::ToolResult (*f)(const std::string&)) {
    auto start = std::chrono::steady_clock::now();
    f(input);
    double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("cold %-16s %8.1f ms  %6.1f MB/s\n", name, ms, input.size() / 1048576.0 / (ms / 1000));
}

int main(int argc, char** argv) {
    if (!script::StartEngine()) return 1;
    PrintCold("format jquery", Jquery(), transform::FormatScript);
    PrintCold("format jquery.min", JqueryMin(), transform::FormatScript);
    PrintCold("minify jquery", Jquery(), transform::MinifyScript);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    script::StopEngine();
    return 0;
}

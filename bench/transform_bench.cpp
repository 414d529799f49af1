// Transform speed on real scripts. Figures printed, compared with the goals (format
// jquery.js and jquery.min.js within 35 ms warm, 5 MB within 600 ms; minify jquery.js within 20 ms, 5 MB
// within 400 ms). "Cold" runs are the first call in a fresh process; the others are
// warm (Google Benchmark repeats them). MB/s is shown as bytes_per_second.
//
// transform_bench --first-format[=warmed] times only the first format of jquery.min.js
// in the process, with or without the window's warm-up before it.
//
// transform_bench --formatters=A.js,B.js times formatter scripts read from files side by
// side instead: each in a fresh control, as the format button once loaded its formatter,
// and last the format button as it is now (FormatScript, whose control is kept between
// calls). They take turns on every input, so a busy machine slows all of them alike. The
// median process CPU time (the engine's compiler threads included) and the median wall
// time of each are printed, then the program ends.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <cstring>
#include <vector>

#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
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

static double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/// One formatting the button's way, with the formatter script given as UTF-8 text;
/// the length of the result, or -1 when the script failed.
static long FormatWith(const std::string& formatterUtf8, const std::string& input) {
    script::ScopedScriptTarget modern(script::ScriptTarget::ES2021);
    script::ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode(text::Utf8ToAnsiText(formatterUtf8));
    script::Variant v = host.Run("format", input, "", "", "", "");
    script::ObjectRef error = host.GetError();
    if (script::GetPropertyNumber(error, "Number") != 0) return -1;
    return static_cast<long>(script::VariantToText(v).size());
}

static int CompareFormatters(const std::string& list) {
    std::vector<std::string> paths, scripts;
    for (size_t at = 0; at <= list.size();) {
        size_t comma = std::min(list.find(',', at), list.size());
        if (comma > at) paths.push_back(list.substr(at, comma - at));
        at = comma + 1;
    }
    for (const std::string& p : paths) {
        scripts.push_back(ReadFile(p.c_str()));
        if (scripts.back().empty()) {
            std::fprintf(stderr, "cannot read %s\n", p.c_str());
            return 1;
        }
    }
    struct Input { const char* name; const std::string* text; int rounds; };
    const Input inputs[] = {{"jquery.js", &Jquery(), 15}, {"jquery.min.js", &JqueryMin(), 15},
                            {"5 MB", &FiveMegabytes(), 5}};
    // The last row is the format button as it is: the built-in formatter in the control
    // FormatScript keeps between calls.
    paths.push_back("(FormatScript, kept control)");
    const size_t button = scripts.size();
    for (const Input& in : inputs) {
        std::vector<std::vector<double>> cpu(scripts.size() + 1), wall(scripts.size() + 1);
        auto once = [&](size_t s) {
            if (s == button) return transform::FormatScript(*in.text).ok ? 0L : -1L;
            return FormatWith(scripts[s], *in.text);
        };
        for (size_t s = 0; s <= button; ++s) once(s);  // warm-up
        for (int r = 0; r < in.rounds; ++r)
            for (size_t s = 0; s <= button; ++s) {
                double start = CpuMs();
                auto began = std::chrono::steady_clock::now();
                long size = once(s);
                wall[s].push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count());
                cpu[s].push_back(CpuMs() - start);
                if (size < 0) std::fprintf(stderr, "%s failed on %s\n", paths[s].c_str(), in.name);
            }
        auto median = [](std::vector<double>& v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        const double cpu0 = median(cpu[0]), wall0 = median(wall[0]);
        for (size_t s = 0; s <= button; ++s) {
            double c = median(cpu[s]), w = median(wall[s]);
            std::printf("%-14s %-40s median %7.1f ms CPU (%.2f x the first), %7.1f ms wall (%.2f x)\n", in.name,
                        paths[s].c_str(), c, c / cpu0, w, w / wall0);
        }
    }
    return 0;
}

int main(int argc, char** argv) {
    if (!script::StartEngine()) return 1;
    for (int a = 1; a < argc; ++a)
        if (std::strncmp(argv[a], "--formatters=", 13) == 0) {
            int rc = CompareFormatters(argv[a] + 13);
            script::StopEngine();
            return rc;
        } else if (std::strcmp(argv[a], "--first-format") == 0 || std::strcmp(argv[a], "--first-format=warmed") == 0) {
            // The first format of jquery.min.js in this process, as a user's first press
            // is: alone, or after the warm-up the workbench does once its window is up.
            const bool warmed = argv[a][14] == '=';
            if (warmed) transform::WarmFormatter();
            PrintCold(warmed ? "format jquery.min (warmed)" : "format jquery.min (first)", JqueryMin(),
                      transform::FormatScript);
            script::StopEngine();
            return 0;
        }
    PrintCold("format jquery", Jquery(), transform::FormatScript);
    PrintCold("format jquery.min", JqueryMin(), transform::FormatScript);
    PrintCold("minify jquery", Jquery(), transform::MinifyScript);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    script::StopEngine();
    return 0;
}

// eval解密 on the largest string-array sample of the tests (hash.mixed.obf.js: base64
// and rc4 decoders, three function wrappers a scope, split strings), warm and cold,
// with the button's whole path: every layer, its compile check, then the formatter.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "transform/Transforms.h"

using namespace qy;

static const std::string& LargestSample() {
    static const std::string s = ReadFile(
        (std::filesystem::path(__FILE__).parent_path() / "../tests/transform/samples/hash.mixed.obf.js").string().c_str());
    return s;
}

static void BM_UnpackStringArray(benchmark::State& state) {
    script::ScriptHost main;
    for (auto _ : state) benchmark::DoNotOptimize(transform::UnpackScript(main, LargestSample()).text.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(LargestSample().size()));
}
BENCHMARK(BM_UnpackStringArray)->Unit(benchmark::kMillisecond);

static void BM_UnpackAndFormat(benchmark::State& state) {
    script::ScriptHost main;
    for (auto _ : state) {
        transform::UnpackResult r = transform::UnpackScript(main, LargestSample());
        benchmark::DoNotOptimize(transform::FormatScript(r.text).text.size());
    }
}
BENCHMARK(BM_UnpackAndFormat)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (!script::StartEngine()) return 1;
    {
        script::ScriptHost main;
        auto start = std::chrono::steady_clock::now();
        transform::UnpackResult r = transform::UnpackScript(main, LargestSample());
        auto ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("cold unpack of %zu bytes: %.1f ms, %zu bytes out, %s\n", LargestSample().size(), ms, r.text.size(),
                    r.ok ? "ok" : "failed");
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    script::StopEngine();
    return 0;
}

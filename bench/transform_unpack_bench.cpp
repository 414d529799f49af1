// eval解密 on the samples of the tests, with the button's whole path: every layer, its
// compile check, then (for one) the formatter. The largest string-array sample is
// signer.medium.obf.js (the obfuscator's medium preset: string array, proxy objects,
// dead code, a console guard, numbers as sums, objects built key by key);
// hash.mixed.obf.js has base64 and rc4 decoders with three wrappers a scope; the
// encodings are decoded in the capture box. BM_UnpackGenerated200K runs a script of
// about 200 KB made in the benchmark itself.
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "text/CodePage.h"
#include "transform/Transforms.h"

using namespace qy;

static std::string Sample(const char* name) {
    return text::Utf8ToAnsiText(
        ReadFile((std::filesystem::path(__FILE__).parent_path() / "../tests/transform/samples" / name).string().c_str()));
}

static const std::string& LargestSample() {
    static const std::string s = Sample("signer.medium.obf.js");
    return s;
}

static void Unpack(benchmark::State& state, const std::string& text) {
    script::ScriptHost main;
    for (auto _ : state) benchmark::DoNotOptimize(transform::UnpackScript(main, text).text.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

static void BM_UnpackLargestStringArray(benchmark::State& state) { Unpack(state, LargestSample()); }
BENCHMARK(BM_UnpackLargestStringArray)->Unit(benchmark::kMillisecond);

static void BM_UnpackMixedDecoders(benchmark::State& state) { Unpack(state, Sample("hash.mixed.obf.js")); }
BENCHMARK(BM_UnpackMixedDecoders)->Unit(benchmark::kMillisecond);

static void BM_UnpackDeadCode(benchmark::State& state) { Unpack(state, Sample("signer.dead.obf.js")); }
BENCHMARK(BM_UnpackDeadCode)->Unit(benchmark::kMillisecond);

static void BM_UnpackDebugProtection(benchmark::State& state) { Unpack(state, Sample("base64.guards.obf.js")); }
BENCHMARK(BM_UnpackDebugProtection)->Unit(benchmark::kMillisecond);

static void BM_UnpackJSFuck(benchmark::State& state) { Unpack(state, Sample("tea.jsfuck.js")); }
BENCHMARK(BM_UnpackJSFuck)->Unit(benchmark::kMillisecond);

static void BM_UnpackAAEncode(benchmark::State& state) { Unpack(state, Sample("tea.aa.js")); }
BENCHMARK(BM_UnpackAAEncode)->Unit(benchmark::kMillisecond);

// About 200 KB made here: a thousand functions, each with its proxy object (five-letter
// keys as the obfuscator draws them) and an injected branch on two equal strings, for
// the time a large script takes through every layer and its checks.
static const std::string& GeneratedSample() {
    static const std::string s = [] {
        const char* letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        uint32_t seed = 7;
        auto key = [&] {
            std::string k;
            for (int j = 0; j < 5; ++j) {
                seed = (seed * 1103515245u + 12345u) % 2147483648u;
                k += letters[(seed >> 8) % 52];
            }
            return k;
        };
        std::string out;
        char name[16];
        for (int i = 0; i < 1000; ++i) {
            const std::string a = key(), b = key(), c = key();
            std::snprintf(name, sizeof name, "_0x%x", i * 7);
            const std::string o = name;
            std::snprintf(name, sizeof name, "_0xf%x", i);
            out += "function " + std::string(name) + "(_0xa,_0xb){var " + o + "={'" + a +
                   "':function(_0xc,_0xd){return _0xc+_0xd;},'" + b + "':'v" + std::to_string(i) + "'};if('" + c + "'==='" + c +
                   "'){return " + o + "['" + a + "'](_0xa,_0xb)+" + o + "['" + b + "'];}else{return 0;}}\n";
        }
        return out + "var answer=_0xf0(1,2)+_0xf3e7(3,4);";
    }();
    return s;
}

static void BM_UnpackGenerated200K(benchmark::State& state) { Unpack(state, GeneratedSample()); }
BENCHMARK(BM_UnpackGenerated200K)->Unit(benchmark::kMillisecond);

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

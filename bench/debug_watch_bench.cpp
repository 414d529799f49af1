// What watching costs: a load of jquery.js and a loop of 100,000 calls through a
// function, each timed alternately with the watch off and on, in the modern target:
//   off     - the watch present, nothing watched
//   native  - JSON.stringify, String.fromCharCode, encodeURIComponent and
//             Function.prototype.apply watched, code made at run time kept
//   script  - the loop's own script function watched (seen as it is entered)
// Each watched call is previewed and handed to the output (counted, not printed).
// Printed: medians of alternating rounds and the ratios to off.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchSupport.h"
#include "debug/ScriptWatch.h"
#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"

using namespace qy;

namespace {

const char* const kJquery = "/usr/share/javascript/jquery/jquery.js";
const char* const kLoop =
    "function step(i) { return i & 255; }\n"
    "function viaNative(n) { var s = ''; for (var i = 0; i < n; i++) s = String.fromCharCode(65 + (i & 15)); return s; }\n"
    "function viaScript(n) { var s = 0; for (var i = 0; i < n; i++) s += step(i); return s; }\n";

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double TimeMs(const std::function<void()>& f) {
    auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
    if (!script::StartEngine()) return 1;
    {
        script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
        debug::ScriptWatch watch;
        uint64_t calls = 0;
        watch.SetCallOutput([&](const debug::HookCall&) { ++calls; });
        std::string jquery = ReadFile(kJquery);
        script::ScriptHost host;
        script::SetProperty(host.Control(), "Debuggable", true);
        enum State { Off, Native, Script };
        const std::vector<std::u16string> natives = {u"JSON.stringify", u"String.fromCharCode", u"encodeURIComponent",
                                                     u"Function.prototype.apply"};
        std::vector<double> load[3], nativeLoop[3], scriptLoop[3];
        for (int round = 0; round < 7; ++round) {
            for (int s : {Off, Native, Script}) {
                std::vector<std::u16string> paths;
                if (s == Native) paths = natives;
                if (s == Script) paths = {u"step"};
                watch.SetHooks(paths);
                watch.SetCaptureDynamic(s == Native);
                load[s].push_back(TimeMs([&] {
                    host.Reset();
                    host.AddCode(jquery);
                }));
                host.Reset();
                host.AddCode(kLoop);
                nativeLoop[s].push_back(TimeMs([&] { host.Eval("viaNative(100000)"); }));
                scriptLoop[s].push_back(TimeMs([&] { host.Eval("viaScript(100000)"); }));
            }
        }
        for (auto [what, times] : {std::pair{"load jquery.js", load}, std::pair{"100000 x fromCharCode", nativeLoop},
                                   std::pair{"100000 x step()", scriptLoop}}) {
            double off = Median(times[Off]), native = Median(times[Native]), script = Median(times[Script]);
            std::printf("%-22s off %8.2f ms  natives watched %8.2f ms (%.2fx)  step watched %8.2f ms (%.2fx)\n", what,
                        off, native, native / off, script, script / off);
        }
        std::printf("calls seen: %llu\n", static_cast<unsigned long long>(calls));
    }
    script::StopEngine();
    return 0;
}

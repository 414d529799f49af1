// What the access trace costs on a load ("加载代码": Reset, then AddCode) of jquery.js with
// Chrome's interfaces (the modern target, the environment on), each timed alternately:
//   off   - no trace asked for (the interfaces are made untraced)
//   count - traced, each access only counted
//   json  - traced, each access written as its JSON line (what --trace writes)
// Printed: medians of alternating rounds, the ratios to off, and the accesses per load.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "env/AccessTrace.h"
#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"

using namespace qy;

namespace {

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
        std::string jquery = ReadFile("/usr/share/javascript/jquery/jquery.js");
        script::ScriptHost host;
        host.SetLanguage("JScript");
        script::SetProperty(host.Control(), "BrowserEnvironment", true);
        script::SetProperty(host.Control(), "PageAddress", std::string("https://www.example.com/"));
        uint64_t accesses = 0;
        size_t bytes = 0;
        enum State { Off, Count, Json };
        std::vector<double> load[3];
        for (int round = 0; round < 15; ++round) {
            for (int s : {Off, Count, Json}) {
                if (s == Off) env::SetTraceOutput(nullptr);
                if (s == Count) env::SetTraceOutput([&](const env::TraceEntry&) { ++accesses; });
                if (s == Json) env::SetTraceOutput([&](const env::TraceEntry& e) { bytes += env::TraceJson(e).size() + 1; });
                if (s == Count) accesses = 0;
                load[s].push_back(TimeMs([&] {
                    host.Reset();
                    host.AddCode(jquery);
                    (void)script::GetPropertyText(host.Control(), "EnvironmentReport");
                }));
            }
        }
        env::SetTraceOutput(nullptr);
        double off = Median(load[Off]), count = Median(load[Count]), json = Median(load[Json]);
        std::printf("load jquery.js (es2021, environment on)  off %.2f ms  traced %.2f ms (%.2fx)  "
                    "traced to JSON %.2f ms (%.2fx)  %llu accesses per load\n",
                    off, count, count / off, json, json / off, static_cast<unsigned long long>(accesses));
    }
    script::StopEngine();
    return 0;
}

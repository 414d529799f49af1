// What the debugger costs the runs it is not asked to stop: a load of jquery.js (Reset,
// then AddCode, as "加载代码" does it) and an evaluation of a loop-heavy function, each
// timed alternately in three states, in both targets, in one run:
//   none     - no debugger in the process
//   idle     - the workbench's debugger present, no breakpoint, no exception pause
//   attached - a breakpoint set on a line the run never reaches (debug-mode code)
// Printed: medians of 21 alternating rounds and the ratios idle/none and attached/none.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchSupport.h"
#include "debug/Debugger.h"
#include "script/Automation.h"
#include "script/DebugObserver.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"

using namespace qy;

namespace {

const char* const kJquery = "/usr/share/javascript/jquery/jquery.js";
const char* const kWork =
    "function work(n) {\n    var s = 0;\n    for (var i = 0; i < n; i++) {\n        s = (s + i * i) % 1000003;\n    }\n"
    "    return s;\n}\n";

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double TimeMs(const std::function<void()>& f) {
    auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Measure(script::ScriptTarget target, debug::Debugger& debugger) {
    script::ScopedScriptTarget scoped(target);
    std::string jquery = ReadFile(kJquery);
    if (target == script::ScriptTarget::JScript58)
        for (size_t at; (at = jquery.find(".catch(")) != std::string::npos;) jquery.replace(at, 7, "[\"catch\"](");
    script::ScriptHost host;
    script::SetProperty(host.Control(), "Debuggable", true);
    enum State { None, Idle, Attached };
    std::vector<double> load[3], eval[3];
    for (int round = 0; round < 21; ++round) {
        for (int s : {None, Idle, Attached}) {
            script::SetDebugObserver(s == None ? nullptr : &debugger);
            debugger.SetBreakpoints(s == Attached ? std::vector<debug::BreakpointSpec>{debug::BreakpointSpec(999999)}
                                                  : std::vector<debug::BreakpointSpec>{});
            load[s].push_back(TimeMs([&] {
                host.Reset();
                host.AddCode(jquery);
            }));
            host.Reset();
            host.AddCode(kWork);
            eval[s].push_back(TimeMs([&] { host.Eval("work(300000)"); }));
        }
    }
    script::SetDebugObserver(&debugger);
    debugger.SetBreakpoints({});
    const std::string name = script::TargetKey(target);
    for (auto [what, times] : {std::pair{"load jquery.js", load}, std::pair{"eval work(300000)", eval}}) {
        double none = Median(times[None]), idle = Median(times[Idle]), attached = Median(times[Attached]);
        std::printf("%-8s %-18s none %7.2f ms  idle %7.2f ms  attached %7.2f ms  idle/none %.2f  attached/none %.2f\n",
                    name.c_str(), what, none, idle, attached, idle / none, attached / none);
    }
}

}  // namespace

int main() {
    if (!script::StartEngine()) return 1;
    {
        debug::Debugger debugger;
        Measure(script::ScriptTarget::JScript58, debugger);
        Measure(script::ScriptTarget::ES2021, debugger);
    }
    script::StopEngine();
    return 0;
}

// What page breakpoints cost while none is reached: a load of jquery.js in the modern
// target with the browser environment, timed alternately with no page breakpoint and
// with one of each kind set (a request, a cookie, storage, a timer, an animation frame,
// a listener and a member read, none of them met by the load), and with only a request
// and a cookie logpoint (what `eval --break-on-request --break-on-cookie` sets).
// Printed: medians of alternating rounds and the ratios to none.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchSupport.h"
#include "debug/PageBreaks.h"
#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"

using namespace qy;

namespace {

const char* const kJquery = "/usr/share/javascript/jquery/jquery.js";

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
        debug::PageBreaks breaks;
        uint64_t hits = 0;
        breaks.SetHitOutput([&](const debug::PageHit&) { ++hits; });
        std::string jquery = ReadFile(kJquery);
        script::ScriptHost host;
        script::SetProperty(host.Control(), "Debuggable", true);
        script::SetProperty(host.Control(), "BrowserEnvironment", true);
        using debug::PageEvent;
        const std::vector<debug::PageBreak> all = {
            {PageEvent::Request, u"sign=", true},         {PageEvent::Cookie, u"token", true},
            {PageEvent::Storage, u"secret", true},        {PageEvent::Timer, u"neverCalled", true},
            {PageEvent::AnimationFrame, u"paint", true},  {PageEvent::Listener, u"keydown", true},
            {PageEvent::Access, u"navigator.userAgent", true}};
        const std::vector<debug::PageBreak> cli = {{PageEvent::Request, u"sign=", true}, {PageEvent::Cookie, u"", true}};
        enum State { None, Cli, All };
        std::vector<double> load[3];
        for (int round = 0; round < 9; ++round) {
            for (int s : {None, Cli, All}) {
                breaks.SetBreaks(s == All ? all : s == Cli ? cli : std::vector<debug::PageBreak>{});
                load[s].push_back(TimeMs([&] {
                    host.Reset();
                    host.AddCode(jquery);
                }));
            }
        }
        double none = Median(load[None]), cliOnly = Median(load[Cli]), every = Median(load[All]);
        std::printf("load jquery.js (browser environment, ES2021): none %.2f ms  request+cookie logpoints %.2f ms (%.2fx)"
                    "  one of each kind %.2f ms (%.2fx)\n",
                    none, cliOnly, cliOnly / none, every, every / none);
        std::printf("hits: %llu\n", static_cast<unsigned long long>(hits));
    }
    script::StopEngine();
    return 0;
}

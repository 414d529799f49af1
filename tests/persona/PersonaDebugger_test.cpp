// The workbench's debugger in a page with the persona: the persona's own watcher of
// exceptions must not change what the debugger sees, nor the debugger what the page sees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debug/Debugger.h"
#include "script/Automation.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"

namespace {

using namespace qy;
using namespace qy::debug;

class Recorder final : public PauseHandler {
public:
    std::vector<PauseState> seen;
    std::vector<std::vector<FrameInfo>> frames;
    Debugger* debugger = nullptr;
    ResumeAction Paused(const PauseState& state) override {
        seen.push_back(state);
        frames.push_back(debugger->Frames());
        return ResumeAction::Continue;
    }
};

TEST(PersonaDebugger, PausesAndStacksBothHold) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    Debugger debugger;
    Recorder recorder;
    recorder.debugger = &debugger;
    debugger.SetPauseHandler(&recorder);
    script::ScriptHost host;
    script::SetProperty(host.Control(), "Debuggable", true);
    script::SetProperty(host.Control(), "BrowserEnvironment", true);
    script::SetProperty(host.Control(), "PageAddress", std::string("https://www.example.com/"));
    host.Reset();
    ASSERT_EQ(host.AddCode("function f() {\n"
                           "    null.x;\n"
                           "}\n"
                           "function g() {\n"
                           "    try { f(); } catch (e) { return e.stack; }\n"
                           "}\n"
                           "function h() {\n"
                           "    debugger;\n"
                           "    return 2;\n"
                           "}\n"),
              0);
    EXPECT_EQ(script::VariantToNumber(host.Eval("h()")), 2);
    ASSERT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(recorder.seen[0].reason, PauseReason::DebuggerStatement);
    EXPECT_EQ(recorder.frames[0][0].line, 8u);

    recorder.seen.clear();
    debugger.SetExceptionPause(ExceptionPause::All);
    std::string stack = text::AnsiToUtf8(script::VariantToText(host.Eval("g()")));
    debugger.SetExceptionPause(ExceptionPause::Off);
    ASSERT_EQ(recorder.seen.size(), 1u);  // once, as without the persona
    EXPECT_EQ(recorder.seen[0].reason, PauseReason::Exception);
    EXPECT_EQ(stack,
              "TypeError: Cannot read properties of null (reading 'x')\n"
              "    at f (https://www.example.com/:2:10)\n"
              "    at g (https://www.example.com/:5:11)\n"
              "    at https://www.example.com/:1:1");
}

}  // namespace

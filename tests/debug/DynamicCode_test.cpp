// Code made at run time, as the debugger and the error report see it: a breakpoint set
// in its text pauses there (also in code made again by the next load), the stack names
// it, the loaded code's breakpoints stay out of it, and an error in it names it instead
// of pointing at the loaded text's line of the same number.
#include <gtest/gtest.h>

#include "debug/Debugger.h"
#include "debug/ScriptWatch.h"
#include "script/Automation.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"

namespace qy::debug {
namespace {

using script::ScriptTarget;

class RecordingHandler final : public PauseHandler {
public:
    explicit RecordingHandler(Debugger& d) : debugger(d) {}
    ResumeAction Paused(const PauseState& state) override {
        reasons.push_back(state.reason);
        frames.push_back(debugger.Frames());
        return ResumeAction::Continue;
    }
    Debugger& debugger;
    std::vector<PauseReason> reasons;
    std::vector<std::vector<FrameInfo>> frames;
};

class DynamicCodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        debugger.SetPauseHandler(&handler);
        watch.SetCaptureDynamic(true);
    }
    void Load(const std::string& code) {
        host = script::ScriptHost();
        script::SetProperty(host.Control(), "Debuggable", true);
        host.Reset();
        ASSERT_EQ(host.AddCode(code), 0);
        ASSERT_EQ(script::GetPropertyNumber(host.GetError(), "Number"), 0)
            << script::GetPropertyText(host.GetError(), "Description");
    }
    double Number(const std::string& expr) { return script::VariantToNumber(host.Eval(expr)); }

    script::ScopedScriptTarget target{ScriptTarget::ES2021};
    Debugger debugger;  // made first, as the window makes them
    ScriptWatch watch;
    RecordingHandler handler{debugger};
    script::ScriptHost host;
};

const char* const kMaker =
    "var made = [];\n"                                                       // 1
    "function build(k) {\n"                                                  // 2
    "    return eval('(function sign(s) {\\n' +\n"                           // 3
    "                '    var t = s + ' + k + ';\\n' +\n"                    // 4
    "                '    return t * 2;\\n' +\n"                             // 5
    "                '})');\n"                                               // 6
    "}\n"                                                                    // 7
    "var other = new Function('a', 'return a + 1;');\n"                      // 8
    "var sign = build(1);\n";                                                // 9

TEST_F(DynamicCodeTest, ABreakpointInMadeCodePausesThereAndTheStackNamesIt) {
    Load(kMaker);
    ASSERT_EQ(watch.DynamicSources().size(), 2u);
    const DynamicSource& made = watch.DynamicSources()[1];
    EXPECT_EQ(DynamicTitle(made), u"动态代码 #2 (eval, 第 3 行)");
    // Line 2 of the made code (not line 2 of the loaded code).
    debugger.SetDynamicBreakpoints({{made.text, 2}});
    EXPECT_EQ(Number("sign(20)"), 42);
    ASSERT_EQ(handler.reasons.size(), 1u);
    EXPECT_EQ(handler.reasons[0], PauseReason::Breakpoint);
    const std::vector<FrameInfo>& frames = handler.frames[0];
    ASSERT_GE(frames.size(), 2u);
    EXPECT_EQ(frames[0].function, u"sign");
    EXPECT_EQ(frames[0].line, 2u);
    EXPECT_FALSE(frames[0].inLoadedCode);
    EXPECT_EQ(frames[0].dynamicTitle, u"动态代码 #2 (eval, 第 3 行)");
    EXPECT_EQ(frames[0].dynamicText, made.text);
    EXPECT_TRUE(frames[1].dynamicTitle.empty());

    // The next load makes the same text again: the breakpoint holds there too; other
    // code made at run time is left alone.
    Load(kMaker);
    EXPECT_EQ(Number("other(1) + sign(1)"), 6);
    EXPECT_EQ(handler.reasons.size(), 2u);
    debugger.SetDynamicBreakpoints({});
    EXPECT_EQ(Number("sign(1)"), 4);
    EXPECT_EQ(handler.reasons.size(), 2u);
}

TEST_F(DynamicCodeTest, TheLoadedCodesBreakpointsStayOutOfMadeCode) {
    // Line 2 of the loaded code is `function build(k) {`: no statement runs there, but
    // line 2 of the made code does; the loaded code's breakpoint must not stop in it.
    Load(kMaker);
    debugger.SetBreakpoints({BreakpointSpec(2), BreakpointSpec(9)});
    EXPECT_EQ(Number("sign(1)"), 4);
    EXPECT_TRUE(handler.reasons.empty());
    debugger.SetBreakpoints({});
}

TEST_F(DynamicCodeTest, AnErrorInMadeCodeNamesItAndNotTheLoadedLine) {
    Load("function run() {\n"
         "    var f = new Function('a', 'var b = 1;\\nreturn a.missing.deeper;');\n"
         "    return f({});\n"
         "}\n");
    host.Eval("run()");
    script::ObjectRef error = host.GetError();
    EXPECT_NE(script::GetPropertyNumber(error, "Number"), 0);
    EXPECT_FALSE(script::GetPropertyBool(error, "InLoadedCode"));
    EXPECT_EQ(text::AnsiToUtf8(script::GetPropertyText(error, "DynamicCode")), "动态代码 #1 (Function, 第 2 行)");
    // Not kept by a watch: still named, by where it was made.
    watch.SetCaptureDynamic(false);
    Load("function run() { return eval('1;\\nnull.x'); }\n");
    host.Eval("run()");
    EXPECT_EQ(text::AnsiToUtf8(script::GetPropertyText(host.GetError(), "DynamicCode")), "动态代码 (eval, 第 1 行)");
}

}  // namespace
}  // namespace qy::debug

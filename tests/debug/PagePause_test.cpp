// A loaded page's own scripts over a real main host with the browser environment: a
// breakpoint on a line of the page and a page breakpoint pause in the script's own
// frame at the page's line, stepping goes on from there, errors, stacks and logpoints
// name the page's lines, and a console the script replaced leaves the workbench's
// typed console lines alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "debug/Debugger.h"
#include "debug/PageBreaks.h"
#include "env/Environment.h"
#include "env/PageHost.h"
#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"

namespace qy::debug {
namespace {

using script::ScriptTarget;

struct Pause {
    PauseState state;
    std::vector<FrameInfo> frames;
    std::u16string value;  // what `evaluate` gave in the paused frame
};

class Recorder final : public PauseHandler {
public:
    Debugger* debugger = nullptr;
    std::vector<Pause> pauses;
    std::vector<ResumeAction> actions;  // one per pause, then Continue
    std::u16string evaluate;

    ResumeAction Paused(const PauseState& state) override {
        Pause p;
        p.state = state;
        p.frames = debugger->Frames();
        if (!evaluate.empty()) p.value = debugger->Evaluate(0, evaluate).text;
        pauses.push_back(std::move(p));
        return pauses.size() <= actions.size() ? actions[pauses.size() - 1] : ResumeAction::Continue;
    }
};

// The page, its lines numbered as the editor shows them.
const char* const kPage =
    "<!DOCTYPE html>\n"                                                       // 1
    "<html><head><title>t</title>\n"                                         // 2
    "<script>var early = 1;</script>\n"                                      // 3
    "</head><body>\n"                                                        // 4
    "<p>x</p>  <script>\n"                                                   // 5
    "function sign(p) { return 'sig' + p.length; }\n"                        // 6
    "function go(p) {\n"                                                     // 7
    "    var url = 'http://api.test/x?p=' + p + '&sign=' + sign(p);\n"      // 8
    "    var xhr = new XMLHttpRequest();\n"                                  // 9
    "    xhr.open('GET', url);\n"                                            // 10
    "    xhr.send();\n"                                                      // 11
    "    document.cookie = 'sid=' + p;\n"                                    // 12
    "    return url;\n"                                                      // 13
    "}\n"                                                                    // 14
    "var signed = go('abc');\n"                                              // 15
    "var after = signed.length;\n"                                           // 16
    "</script>\n"                                                            // 17
    "<script>\n"                                                             // 18
    "\n"                                                                     // 19
    "  undefinedThing();\n"                                                  // 20
    "</script></body></html>\n";                                             // 21

class PagePauseTest : public ::testing::TestWithParam<ScriptTarget> {
protected:
    void SetUp() override {
        target = std::make_unique<script::ScopedScriptTarget>(GetParam());
        recorder.debugger = &debugger;
        debugger.SetPauseHandler(&recorder);
        breaks.SetHitOutput([this](const PageHit& h) { lines.push_back(text::Utf16ToUtf8(PageLogLine(h))); });
        env::SetOutput([this](const std::u16string& line) { lines.push_back(text::Utf16ToUtf8(line)); });
    }
    void TearDown() override {
        env::SetOutput(nullptr);
        env::SetPageSetup({});
    }

    /// Loads `html` as the workbench loads a page: its scripts run as its global is made.
    void LoadPage(const std::string& html, const std::string& address = "http://page.test/a/p.html") {
        env::PageSetup setup;
        setup.html = text::Utf8ToUtf16(html);
        env::SetPageSetup(std::move(setup));
        host = script::ScriptHost();
        script::SetProperty(host.Control(), "Debuggable", true);
        script::SetProperty(host.Control(), "BrowserEnvironment", true);
        script::SetProperty(host.Control(), "PageAddress", address);
        host.Reset();
        env::SetPageSetup({});
    }

    std::string Text(const std::string& expr) {
        std::u16string out;
        script::VariantToWide(host.Eval(expr), out);
        return text::Utf16ToUtf8(out);
    }

    bool Has(const std::string& line) const { return std::find(lines.begin(), lines.end(), line) != lines.end(); }
    std::string AllLines() const {
        std::string all;
        for (const std::string& l : lines) all += l + "\n";
        return all;
    }

    bool Modern() const { return GetParam() == ScriptTarget::ES2021; }

    std::unique_ptr<script::ScopedScriptTarget> target;
    Debugger debugger;
    Recorder recorder;
    PageBreaks breaks;
    script::ScriptHost host;
    std::vector<std::string> lines;
};

TEST_P(PagePauseTest, ABreakpointOnALineOfThePagePausesThereAndStepsOn) {
    debugger.SetBreakpoints({BreakpointSpec(8), BreakpointSpec(16)});
    recorder.actions = {ResumeAction::StepOver, ResumeAction::Continue};
    recorder.evaluate = u"typeof sign + '|' + early";
    LoadPage(kPage);
    ASSERT_EQ(recorder.pauses.size(), 3u) << AllLines();
    const Pause& first = recorder.pauses[0];
    EXPECT_EQ(first.state.reason, PauseReason::Breakpoint);
    ASSERT_GE(first.frames.size(), 2u);
    EXPECT_EQ(first.frames[0].function, u"go");
    EXPECT_EQ(first.frames[0].line, 8u);
    EXPECT_TRUE(first.frames[0].inLoadedCode);
    EXPECT_EQ(first.frames[1].function, u"(全局代码)");
    EXPECT_EQ(first.frames[1].line, 15u);
    // The page's earlier script ran and its functions are there to read.
    EXPECT_EQ(first.value, u"\"function|1\"");
    // A step goes on to the next line of the same script.
    EXPECT_EQ(recorder.pauses[1].state.reason, PauseReason::Step);
    ASSERT_FALSE(recorder.pauses[1].frames.empty());
    EXPECT_EQ(recorder.pauses[1].frames[0].line, 9u);
    EXPECT_EQ(recorder.pauses[2].frames[0].line, 16u);
    EXPECT_EQ(recorder.pauses[2].frames[0].function, u"(全局代码)");
    // The page's functions keep their breakpoints for expressions after the load.
    recorder.evaluate.clear();
    EXPECT_EQ(Text("go('z')"), "http://api.test/x?p=z&sign=sig1");
    ASSERT_EQ(recorder.pauses.size(), 4u);
    EXPECT_EQ(recorder.pauses[3].frames[0].line, 8u);
}

TEST_P(PagePauseTest, APageBreakpointPausesInTheInlineScriptWithTheSignedAddress) {
    breaks.SetBreaks({{PageEvent::Request, u"sign=", false}, {PageEvent::Cookie, u"sid", true}});
    recorder.evaluate = u"url";
    LoadPage(kPage);
    ASSERT_EQ(recorder.pauses.size(), 1u) << AllLines();
    const Pause& p = recorder.pauses[0];
    EXPECT_EQ(p.state.reason, PauseReason::PageBreak);
    EXPECT_NE(p.state.exception.find(u"GET http://api.test/x?p=abc&sign=sig3"), std::u16string::npos)
        << text::Utf16ToUtf8(p.state.exception);
    ASSERT_GE(p.frames.size(), 2u);
    EXPECT_EQ(p.frames[0].function, u"go");
    EXPECT_EQ(p.frames[0].line, 11u);
    EXPECT_TRUE(p.frames[0].inLoadedCode);
    EXPECT_EQ(p.frames[1].line, 15u);
    EXPECT_EQ(p.value, u"\"http://api.test/x?p=abc&sign=sig3\"");
    // The logpoint's caller line is the page's.
    EXPECT_TRUE(Has("-->日志点 第 12 行: Cookie 写入 sid=abc")) << AllLines();
    // Stopping in the page's script ends the load's run there, and the page stays.
    EXPECT_EQ(Text("typeof go"), "function");
}

TEST_P(PagePauseTest, ErrorsOfThePagesScriptsNameThePagesLines) {
    LoadPage(kPage);
    EXPECT_TRUE(Has("-->错误所在：页面第 20 行")) << AllLines();
    // An error a page's function lets out into an expression is in the loaded text.
    ASSERT_NE(host.AddCode(";"), 1);
    host.Eval("go(null)");
    EXPECT_NE(script::GetPropertyNumber(host.GetError(), "Number"), 0);
    EXPECT_EQ(script::GetPropertyNumber(host.GetError(), "Line"), 6);
    EXPECT_TRUE(script::GetPropertyBool(host.GetError(), "InLoadedCode"));
}

TEST_P(PagePauseTest, ATypedConsoleLineSurvivesTheScriptsReplacement) {
    const char* const page =
        "<!DOCTYPE html><html><body><script>\n"                      // 1
        "var silenced = 0;\n"                                         // 2
        "function noisy() { console.log('page'); }\n"                 // 3
        "console.log = function () { silenced++; };\n"               // 4
        "var x = 1;\n"                                                // 5
        "</script></body></html>\n";
    LoadPage(page);
    lines.clear();
    Text("console.log('typed', 1 + 1)");
    EXPECT_TRUE(Has("[脚本] console.log: typed 2")) << AllLines();
    EXPECT_EQ(Text("silenced"), "0");
    // The page's own calls still reach its replacement, and so does its console read
    // as a member.
    Text("noisy(); window.console.log('x')");
    EXPECT_EQ(Text("silenced"), "2");
    EXPECT_EQ(lines.size(), 1u) << AllLines();
    // A console the script left alone is the global's own.
    LoadPage("<!DOCTYPE html><html><body><script>var y = 1;</script></body></html>\n");
    EXPECT_EQ(Text("console === window.console"), "true");
    // Paused in the page's frame, the same holds.
    debugger.SetBreakpoints({BreakpointSpec(5)});
    recorder.evaluate = u"console.log('paused', silenced), typeof x";
    lines.clear();
    LoadPage(page);
    ASSERT_EQ(recorder.pauses.size(), 1u) << AllLines();
    EXPECT_EQ(recorder.pauses[0].value, u"\"undefined\"");
    EXPECT_TRUE(Has("[脚本] console.log: paused 0")) << AllLines();
    EXPECT_EQ(Text("silenced"), "0");
}

TEST_P(PagePauseTest, AScriptTheOldRulesRewroteKeepsThePagesPositionsAndText) {
    // Under the JScript rules member reads are rewritten; the page's text and lines stay.
    debugger.SetBreakpoints({BreakpointSpec(4)});
    recorder.evaluate = u"k";
    LoadPage(
        "<!DOCTYPE html><html><body>\n"                           // 1
        "<p>x</p> <script>function pick(o, k) {\n"                // 2
        "  var v = o[k] + o[k];\n"                                // 3
        "  return v + o[k];\n"                                    // 4
        "}\n"                                                     // 5
        "var picked = pick({a: 'x'}, 'a');</script></body></html>\n");
    ASSERT_EQ(recorder.pauses.size(), 1u) << AllLines();
    EXPECT_EQ(recorder.pauses[0].frames[0].line, 4u);
    EXPECT_EQ(recorder.pauses[0].value, u"\"a\"");
    EXPECT_EQ(Text("picked"), "xxx");
    EXPECT_EQ(Text("pick.toString()"), "function pick(o, k) {\n  var v = o[k] + o[k];\n  return v + o[k];\n}");
}

INSTANTIATE_TEST_SUITE_P(Targets, PagePauseTest, ::testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021));

// What a page's script reads from its own errors' stacks is what Chrome shows for an
// inline script (recorded from Debian's Chromium, headless, for this page at this
// address): lines and first-line columns count in the whole page.
TEST(PageStacks, AnInlineScriptsStackCountsInTheWholePage) {
    script::ScopedScriptTarget modern(ScriptTarget::ES2021);
    env::PageSetup setup;
    setup.html = text::Utf8ToUtf16(
        "<!DOCTYPE html>\n"
        "<html><head>\n"
        "<script>\n"
        "function f(){ return new Error(\"x\").stack; }\n"
        "var out = f();\n"
        "</script>\n"
        "<title>t</title>   <script>var a=1;  try { throw new Error(\"z\") } catch(e) { out += \"|\" + e.stack }\n"
        "  out += \"|\" + new Error(\"y\").stack;\n"
        "</script>\n"
        "</head><body></body></html>\n");
    env::SetPageSetup(std::move(setup));
    script::ScriptHost host;
    script::SetProperty(host.Control(), "BrowserEnvironment", true);
    script::SetProperty(host.Control(), "PageAddress", std::string("file:///tmp/pagepause-tools/p.html"));
    host.Reset();
    env::SetPageSetup({});
    std::u16string out;
    script::VariantToWide(host.Eval("out"), out);
    EXPECT_EQ(text::Utf16ToUtf8(out),
              "Error: x\n"
              "    at f (file:///tmp/pagepause-tools/p.html:4:22)\n"
              "    at file:///tmp/pagepause-tools/p.html:5:11|Error: z\n"
              "    at file:///tmp/pagepause-tools/p.html:7:50|Error: y\n"
              "    at file:///tmp/pagepause-tools/p.html:8:16");
}

// An external script's frames name its own address, resolved against the page's.
TEST(PageStacks, AnExternalScriptsFramesNameItsOwnAddress) {
    script::ScopedScriptTarget modern(ScriptTarget::ES2021);
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "qy-page-stacks";
    std::filesystem::create_directories(dir / "lib");
    std::ofstream(dir / "lib" / "a.js") << "function lib() {\n  return new Error('q').stack;\n}\n";
    env::PageSetup setup;
    setup.html = text::Utf8ToUtf16(
        "<!DOCTYPE html><html><head><script src=\"lib/a.js\"></script>\n"
        "<script>\n"
        "var got = lib();</script></head></html>\n");
    setup.folder = dir.string();
    env::SetPageSetup(std::move(setup));
    script::ScriptHost host;
    script::SetProperty(host.Control(), "BrowserEnvironment", true);
    script::SetProperty(host.Control(), "PageAddress", std::string("http://page.test/a/p.html?x=1"));
    host.Reset();
    env::SetPageSetup({});
    std::u16string out;
    script::VariantToWide(host.Eval("got"), out);
    EXPECT_EQ(text::Utf16ToUtf8(out),
              "Error: q\n"
              "    at lib (http://page.test/a/lib/a.js:2:10)\n"
              "    at http://page.test/a/p.html?x=1:3:11");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qy::debug

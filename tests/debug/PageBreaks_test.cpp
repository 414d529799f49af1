// Breakpoints on what the page does, over a real main host with the browser
// environment: each pauses in the script's own frame with its variables readable, or
// writes one log line with the value and the calling line; none changes what the
// script sees.
#include "debug/PageBreaks.h"

#include <gtest/gtest.h>

#include "debug/Debugger.h"
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
    std::vector<std::pair<std::u16string, std::u16string>> locals;
};

class Recorder final : public PauseHandler {
public:
    Debugger* debugger = nullptr;
    std::vector<Pause> pauses;
    ResumeAction next = ResumeAction::Continue;
    std::u16string evaluate;      // evaluated in the paused frame, when set
    std::vector<EvaluationResult> results;

    ResumeAction Paused(const PauseState& state) override {
        Pause p;
        p.state = state;
        p.frames = debugger->Frames();
        std::vector<ScopeInfo> scopes = debugger->Scopes(0);
        if (!scopes.empty())
            for (const VariableInfo& v : debugger->Children(scopes[0].handle)) p.locals.emplace_back(v.name, v.value);
        pauses.push_back(std::move(p));
        if (!evaluate.empty()) results.push_back(debugger->Evaluate(0, evaluate));
        return next;
    }
};

class PageBreaksTest : public ::testing::TestWithParam<ScriptTarget> {
protected:
    void SetUp() override {
        target = std::make_unique<script::ScopedScriptTarget>(GetParam());
        recorder.debugger = &debugger;
        debugger.SetPauseHandler(&recorder);
        breaks.SetHitOutput([this](const PageHit& h) { lines.push_back(text::Utf16ToUtf8(PageLogLine(h))); });
    }

    void Load(const std::string& code) {
        host = script::ScriptHost();
        script::SetProperty(host.Control(), "Debuggable", true);
        script::SetProperty(host.Control(), "BrowserEnvironment", true);
        host.Reset();
        ASSERT_EQ(host.AddCode(code), 0);
        ASSERT_EQ(script::GetPropertyNumber(host.GetError(), "Number"), 0)
            << script::GetPropertyText(host.GetError(), "Description");
    }

    std::string Text(const std::string& expr) {
        std::u16string out;
        script::VariantToWide(host.Eval(expr), out);
        return text::Utf16ToUtf8(out);
    }

    static std::u16string Local(const Pause& p, const char16_t* name) {
        for (auto& [n, v] : p.locals)
            if (n == name) return v;
        return u"<missing>";
    }

    bool Modern() const { return GetParam() == ScriptTarget::ES2021; }

    std::unique_ptr<script::ScopedScriptTarget> target;
    Debugger debugger;
    Recorder recorder;
    PageBreaks breaks;
    script::ScriptHost host;
    std::vector<std::string> lines;
};

const char* const kSigner =
    "function sign(p) { return 'sig' + p.length; }\n"                      // 1
    "function go(p) {\n"                                                     // 2
    "    var url = 'http://api.test/x?p=' + p + '&sign=' + sign(p);\n"      // 3
    "    var xhr = new XMLHttpRequest();\n"                                  // 4
    "    xhr.open('GET', url);\n"                                            // 5
    "    xhr.send();\n"                                                      // 6
    "    return url;\n"                                                      // 7
    "}\n";                                                                   // 8

TEST_P(PageBreaksTest, ARequestPausesInTheScriptsFrameWithTheSignedAddress) {
    breaks.SetBreaks({{PageEvent::Request, u"sign=", false}});
    Load(kSigner);
    EXPECT_TRUE(breaks.Attached());
    EXPECT_EQ(Text("go('abc')"), "http://api.test/x?p=abc&sign=sig3");
    ASSERT_EQ(recorder.pauses.size(), 1u);
    const Pause& p = recorder.pauses[0];
    EXPECT_EQ(p.state.reason, PauseReason::PageBreak);
    EXPECT_NE(p.state.exception.find(u"GET http://api.test/x?p=abc&sign=sig3"), std::u16string::npos)
        << text::Utf16ToUtf8(p.state.exception);
    ASSERT_GE(p.frames.size(), 2u);
    EXPECT_EQ(p.frames[0].function, u"go");
    EXPECT_EQ(p.frames[0].line, 6u);
    EXPECT_EQ(Local(p, u"url"), u"\"http://api.test/x?p=abc&sign=sig3\"");
    EXPECT_TRUE(lines.empty());
    // The paused frame evaluates the script's own functions, as a line breakpoint's does.
    recorder.evaluate = u"sign(p + 'zz') + '|' + url.length";
    Text("go('abc')");
    ASSERT_EQ(recorder.results.size(), 1u);
    EXPECT_TRUE(recorder.results[0].ok) << text::Utf16ToUtf8(recorder.results[0].text);
    EXPECT_EQ(recorder.results[0].text, u"\"sig5|33\"");
    recorder.evaluate.clear();
    recorder.pauses.resize(1);

    // A text no address holds stops nothing; the same break as a logpoint writes a line.
    breaks.SetBreaks({{PageEvent::Request, u"nowhere", false}});
    Text("go('x')");
    EXPECT_EQ(recorder.pauses.size(), 1u);
    breaks.SetBreaks({{PageEvent::Request, u"", true}});
    Text("go('xy')");
    EXPECT_EQ(recorder.pauses.size(), 1u);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "-->日志点 第 6 行: 请求 GET http://api.test/x?p=xy&sign=sig2（XMLHttpRequest）");
}

TEST_P(PageBreaksTest, EveryKindOfRequestIsLoggedWithItsLine) {
    breaks.SetBreaks({{PageEvent::Request, u"", true}});
    std::string code =
        "navigator.sendBeacon('http://b.test/beacon', 'd=1');\n"  // 1
        "var img = document.createElement('img');\n"             // 2
        "img.src = 'http://b.test/pixel.gif';\n";                // 3
    if (Modern()) code += "fetch('http://b.test/api', {method: 'post', body: 'q=2'}).catch(function () {});\n";  // 4
    Load(code);
    ASSERT_EQ(lines.size(), Modern() ? 3u : 2u);
    EXPECT_EQ(lines[0], "-->日志点 第 1 行: 请求 POST http://b.test/beacon 正文：d=1（sendBeacon）");
    EXPECT_EQ(lines[1], "-->日志点 第 3 行: 请求 GET http://b.test/pixel.gif（Image）");
    if (Modern()) {
        EXPECT_EQ(lines[2], "-->日志点 第 4 行: 请求 POST http://b.test/api 正文：q=2（fetch）");
    }
    // A console line goes through the same recorder and is no request.
    Text("console.log('http://b.test/not-a-request')");
    EXPECT_EQ(lines.size(), Modern() ? 3u : 2u);
}

const char* const kFormSender =
    "function login(user) {\n"                                                // 1
    "    var sign = 'sig' + user.length;\n"                                   // 2
    "    var form = document.createElement('form');\n"                       // 3
    "    form.method = 'post';\n"                                             // 4
    "    form.action = 'http://api.test/login?sign=' + sign;\n"               // 5
    "    form.innerHTML = '<input name=\"user\"><button>go</button>';\n"     // 6
    "    form.firstChild.value = user;\n"                                     // 7
    "    document.body.appendChild(form);\n"                                  // 8
    "    form.submit();\n"                                                    // 9
    "    form.requestSubmit();\n"                                             // 10
    "    form.lastChild.click();\n"                                           // 11
    "    return sign;\n"                                                      // 12
    "}\n";                                                                    // 13

TEST_P(PageBreaksTest, AFormSubmissionPausesWhereTheScriptSendsIt) {
    breaks.SetBreaks({{PageEvent::Request, u"sign=sig", false}});
    Load(kFormSender);
    EXPECT_EQ(Text("login('abc')"), "sig3");
    // submit(), requestSubmit() and a click on the form's button each stop in the
    // script's frame, its address and variables in view.
    ASSERT_EQ(recorder.pauses.size(), 3u);
    const uint32_t expectedLines[] = {9, 10, 11};
    for (size_t i = 0; i < 3; ++i) {
        const Pause& p = recorder.pauses[i];
        EXPECT_EQ(p.state.reason, PauseReason::PageBreak);
        EXPECT_NE(p.state.exception.find(u"POST http://api.test/login?sign=sig3 正文：user=abc（表单"), std::u16string::npos)
            << text::Utf16ToUtf8(p.state.exception);
        ASSERT_FALSE(p.frames.empty());
        EXPECT_EQ(p.frames[0].function, u"login");
        EXPECT_EQ(p.frames[0].line, expectedLines[i]);
        EXPECT_EQ(Local(p, u"sign"), u"\"sig3\"");
    }
    EXPECT_TRUE(lines.empty());
    // As a logpoint: one line each, with the calling line; a listener that cancels the
    // submit event leaves only submit()'s.
    breaks.SetBreaks({{PageEvent::Request, u"login", true}});
    Text("document.addEventListener('submit', function (e) { e.preventDefault(); }); login('de')");
    EXPECT_EQ(recorder.pauses.size(), 3u);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "-->日志点 第 9 行: 请求 POST http://api.test/login?sign=sig2 正文：user=de（表单，"
                        "application/x-www-form-urlencoded）");
}

TEST_P(PageBreaksTest, CookieWritesOfANamePauseAndAnyNameLogs) {
    const char* code =
        "function store(t) {\n"                          // 1
        "    document.cookie = 'theme=dark';\n"          // 2
        "    document.cookie = 'token=' + t + '; path=/';\n"  // 3
        "    return document.cookie;\n"                  // 4
        "}\n";
    breaks.SetBreaks({{PageEvent::Cookie, u"token", false}});
    Load(code);
    Text("store('T1')");
    ASSERT_EQ(recorder.pauses.size(), 1u);
    EXPECT_EQ(recorder.pauses[0].frames[0].line, 3u);
    EXPECT_EQ(Local(recorder.pauses[0], u"t"), u"\"T1\"");
    EXPECT_NE(recorder.pauses[0].state.exception.find(u"token=T1; path=/"), std::u16string::npos);

    breaks.SetBreaks({{PageEvent::Cookie, u"", true}});
    EXPECT_EQ(Text("store('T2')"), "theme=dark; token=T2");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "-->日志点 第 2 行: Cookie 写入 theme=dark");
    EXPECT_EQ(lines[1], "-->日志点 第 3 行: Cookie 写入 token=T2; path=/");
}

TEST_P(PageBreaksTest, ReadingAWatchedMemberPausesAtTheReadingLineAndLooksUnchanged) {
    const std::string looks = Modern()
        ? "var d = Object.getOwnPropertyDescriptor(Navigator.prototype, 'userAgent');"
          "[String(d.get), d.get.name, d.get === Object.getOwnPropertyDescriptor(Navigator.prototype, 'userAgent').get,"
          " Object.getOwnPropertyNames(navigator).length].join('|')"
        : "typeof navigator.userAgent";
    Load("var x = 1;");
    std::string before = Text(looks);
    breaks.SetBreaks({{PageEvent::Access, u"navigator.userAgent", false}});
    Load("function probe() {\n"                 // 1
         "    var n = 1;\n"                     // 2
         "    var ua = navigator.userAgent;\n"  // 3
         "    return ua.length > 10;\n"         // 4
         "}\n");
    EXPECT_EQ(Text("probe()"), "true");
    EXPECT_TRUE(breaks.PendingAccess().empty());
    ASSERT_EQ(recorder.pauses.size(), 1u);
    const Pause& p = recorder.pauses[0];
    EXPECT_EQ(p.frames[0].function, u"probe");
    EXPECT_EQ(p.frames[0].line, 3u);
    EXPECT_EQ(Local(p, u"n"), u"1");
    EXPECT_EQ(p.state.exception.rfind(u"读取 navigator.userAgent = \"Mozilla/5.0", 0), 0u)
        << text::Utf16ToUtf8(p.state.exception);
    // Reading the member while paused, or through the watch of a logpoint, is no hit.
    recorder.pauses.clear();
    breaks.SetBreaks({{PageEvent::Access, u"navigator.userAgent", false}});
    EXPECT_EQ(Text(looks), before);
    EXPECT_EQ(recorder.pauses.size(), Modern() ? 0u : 1u);  // JScript's `typeof navigator.userAgent` reads it
}

TEST_P(PageBreaksTest, AMemberTheScriptMakesIsWatchedForReadsAndWrites) {
    breaks.SetBreaks({{PageEvent::Access, u"window.secret", true}});
    Load("window.secret = 'a';\n"                  // 1
         "function use() {\n"                      // 2
         "    window.secret = 'b' + secret;\n"     // 3
         "    return secret;\n"                    // 4
         "}\n");
    EXPECT_EQ(Text("use()"), "ba");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "-->日志点 第 3 行: 读取 window.secret = \"a\"");
    EXPECT_EQ(lines[1], "-->日志点 第 3 行: 写入 window.secret = \"ba\"");
    EXPECT_EQ(lines[2], "-->日志点 第 4 行: 读取 window.secret = \"ba\"");
    // Gone with the breakpoint: a plain member again, with its value.
    breaks.SetBreaks({});
    EXPECT_EQ(Text("secret"), "ba");
    if (Modern()) {
        EXPECT_EQ(Text("'value' in Object.getOwnPropertyDescriptor(window, 'secret')"), "true");
    }
}

TEST_P(PageBreaksTest, StorageTimersFramesAndListenersAreCaught) {
    breaks.SetBreaks({{PageEvent::Storage, u"", true},
                      {PageEvent::Timer, u"", true},
                      {PageEvent::AnimationFrame, u"", true},
                      {PageEvent::Listener, u"click", true}});
    Load("localStorage.setItem('k1', 'v1');\n"                                // 1
         "setTimeout(function tick() { var t = 1; }, 10);\n"                   // 2
         "requestAnimationFrame(function paint(ts) { var p = 2; });\n"         // 3
         "document.addEventListener('click', function onClick(e) { return 3; });\n"  // 4
         "document.addEventListener('keydown', function onKey(e) { return 4; });\n"  // 5
         "document.dispatchEvent(new Event('keydown'));\n"                    // 6
         "document.dispatchEvent(new Event('click'));\n");                    // 7
    ASSERT_EQ(lines.size(), 4u) << ::testing::PrintToString(lines);
    EXPECT_EQ(lines[0], "-->日志点 第 1 行: 存储写入 k1 = v1");
    EXPECT_EQ(lines[1], "-->日志点 第 4 行: 事件监听 click → onClick");
    // Timers run after the load, in the order of their time.
    EXPECT_EQ(lines[2], "-->日志点 第 2 行: 定时器回调 tick");
    EXPECT_EQ(lines[3], "-->日志点 第 3 行: 动画帧回调 paint");

    // A listener breakpoint pauses in the listener's own frame.
    breaks.SetBreaks({{PageEvent::Listener, u"click", false}});
    Text("document.dispatchEvent(new Event('click'))");
    ASSERT_EQ(recorder.pauses.size(), 1u);
    EXPECT_EQ(recorder.pauses[0].frames[0].function, u"onClick");
    EXPECT_EQ(recorder.pauses[0].frames[0].line, 4u);
    if (Modern()) {
        // Items written as members go through the same storage.
        breaks.SetBreaks({{PageEvent::Storage, u"k2", true}});
        Text("localStorage.k2 = 'v2'");
        EXPECT_EQ(lines.back(), "-->日志点 第 1 行: 存储写入 k2 = v2");
    }
}

TEST_P(PageBreaksTest, StopEndsTheRunAndNothingIsAttachedWithoutBreakpoints) {
    Load(kSigner);
    EXPECT_FALSE(breaks.Attached());
    breaks.SetBreaks({{PageEvent::Request, u"sign", false}});
    EXPECT_TRUE(breaks.Attached());  // the loaded run is watched at once
    recorder.next = ResumeAction::Stop;
    host.Eval("go('q'); window.after = 1");
    ASSERT_EQ(recorder.pauses.size(), 1u);
    EXPECT_EQ(Text("typeof window.after"), "undefined");
    breaks.SetBreaks({});
    Load(kSigner);
    EXPECT_FALSE(breaks.Attached());
}

INSTANTIATE_TEST_SUITE_P(BothTargets, PageBreaksTest, ::testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021),
                         [](const auto& info) { return info.param == ScriptTarget::ES2021 ? "ES2021" : "JScript"; });

}  // namespace
}  // namespace qy::debug

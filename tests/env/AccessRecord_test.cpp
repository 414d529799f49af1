// The record of what scripts looked for, timers after the load, and the environment
// switched off.
#include <atomic>
#include <chrono>
#include <thread>

#include "env/AccessRecord.h"
#include "env/EnvTestSupport.h"
#include "script/Engine.h"
#include "script/ScriptSession.h"

namespace qy::test {
namespace {

using script::ScriptTarget;
using Lines = std::vector<std::string>;

class Record : public testing::TestWithParam<ScriptTarget> {
protected:
    EnvHost env{GetParam()};
};

TEST_P(Record, MissingMemberWithItsFirstLineOnce) {
    ASSERT_TRUE(env.Add("var ua = navigator.userAgent;\n"
                        "function speed() {\n"
                        "  return navigator.brave ? navigator.brave.downlink : 0;\n"
                        "}\n"
                        "speed(); speed();\n"
                        "var t = typeof chrome, d = document.wasDiscarded, s = screen.orientation, n = window.opener;\n"));
    // Chrome's face has `chrome`, and has document.wasDiscarded in name only: the record says so.
    Lines expected = {"-->环境缺失：navigator.brave（第 3 行，2 次）", "-->环境缺失：chrome（第 6 行，1 次）",
                      "-->环境缺失：document.wasDiscarded（第 6 行，1 次）"};
    if (GetParam() == ScriptTarget::ES2021) expected.erase(expected.begin() + 1);
    EXPECT_EQ(env.Report(), expected);
    // Each report lists what was looked for since the previous one.
    EXPECT_TRUE(env.Report().empty());
    ASSERT_TRUE(env.Add("var a = location.ancestorOrigins, b = location.fragmentDirective;"));
    EXPECT_EQ(env.Report(), Lines{"-->环境缺失：location.fragmentDirective（第 1 行，1 次）"});
}

TEST(ModernRecord, MembersTheInterfacesHaveAreNotMissingUntilDeleted) {
    EnvHost env{ScriptTarget::ES2021};
    // Read through the watched objects, members of their prototypes are found there, made
    // or not yet, however often they are read.
    ASSERT_TRUE(env.Add("for (var i = 0; i < 3; i++) { var t = document.title, u = navigator.userAgent, h = location.href,"
                        " w = screen.width, c = document.createElement('div'); }\n"));
    EXPECT_TRUE(env.Report().empty());
    // A member a script deleted from an interface's prototype is missing from then on.
    ASSERT_TRUE(env.Add("delete Document.prototype.title;\nvar t2 = document.title, l = navigator.language;\n"
                        "delete Navigator.prototype.platform;\nvar p = navigator.platform;\n"));
    EXPECT_EQ(env.Report(), (Lines{"-->环境缺失：document.title（第 2 行，1 次）", "-->环境缺失：navigator.platform（第 4 行，1 次）"}));
    EXPECT_EQ(env.Text("typeof document.title + typeof document.createElement"), "undefinedfunction");
}

TEST_P(Record, PlacesInFunctionsAndRewrittenCode) {
    // String indexing is rewritten under JScript; the place stays where the user wrote it.
    ASSERT_TRUE(env.Add("var s = 'abc';\nvar k = 'deviceMemoryX';\n\n   var c = s[0] + navigator[k];\n"));
    std::vector<env::Miss> misses;
    EXPECT_EQ(env.Report(), Lines{"-->环境缺失：navigator.deviceMemoryX（第 4 行，1 次）"});
    // An evaluation's reads are reported after it, at the expression's line.
    EXPECT_EQ(env.Text("typeof InstallTrigger"), "undefined");
    EXPECT_EQ(env.Report(), Lines{"-->环境缺失：InstallTrigger（第 1 行，1 次）"});
}

TEST_P(Record, NamesTheScriptDefinesItselfAreNotMissing) {
    ASSERT_TRUE(env.Add("var later = 1; function f() {}\n"
                        "if (!window.md5) window.md5 = function () {};\n"
                        "if (typeof navigator.myFlag === 'undefined') navigator.myFlag = true;\n"
                        "implicitGlobal = 2; var h = navigator.hasOwnProperty('userAgent') || window.toString();\n"));
    EXPECT_TRUE(env.Report().empty());
    // The environment's own reads, even when the user's code calls it, are not the user's.
    ASSERT_TRUE(env.Add("console.log(navigator); console.log({length: 1});"));
    EXPECT_TRUE(env.Report().empty());
}

TEST_P(Record, AtMostFiftyLinesThenTheCount) {
    ASSERT_TRUE(env.Add("for (var i = 0; i < 60; i++) { var v = navigator['m' + i]; }"));
    Lines lines = env.Report();
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines[0], "-->环境缺失：navigator.m0（第 1 行，1 次）");
    EXPECT_EQ(lines[50], "-->环境缺失：另有 10 项未列出");
}

TEST_P(Record, TimersRunAfterTheLoadInOrder) {
    ASSERT_TRUE(env.Add("var order = [];\n"
                        "setTimeout(function () { order.push('c'); }, 30);\n"
                        "setTimeout(function (x) { order.push(x); setTimeout(function () { order.push('b2'); }, 0); }, 10, 'b');\n"
                        "var gone = setTimeout(function () { order.push('never'); }, 1); clearTimeout(gone);\n"
                        "setTimeout(function () { order.push('a'); }, 0);\n"
                        "requestAnimationFrame(function (t) { order.push('raf:' + (typeof t)); });\n"
                        "order.push('sync');\n"));
    EXPECT_EQ(env.Text("order.join(',')"), "sync,a,b,b2,raf:number,c");
    // A callback's error goes to the console as the browser reports it; the rest run.
    ASSERT_TRUE(env.Add("setTimeout(function () { throw new Error('boom'); }, 0); setTimeout(function () { order.push('after'); }, 0);"));
    EXPECT_EQ(env.lines, Lines{"[脚本] console.error: Uncaught Error: boom"});
    EXPECT_EQ(env.Text("order[order.length - 1]"), "after");
}

TEST_P(Record, IntervalsAreBoundedAndStoppable) {
    ASSERT_TRUE(env.Add("var ticks = 0, id = setInterval(function () { ticks++; }, 10);"));
    EXPECT_EQ(env.Text("ticks"), std::to_string(env::kTimerCallbacksPerRun));
    ASSERT_TRUE(env.Add("clearInterval(id); var before = ticks;"));
    EXPECT_EQ(env.Text("ticks - before"), "0");
    // A timer that never ends is stopped as any script is.
    std::atomic<bool> finished{false};
    std::thread stopper([&] {
        while (!finished) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            script::RequestStop();
        }
    });
    env.Add("setTimeout(function () { for (;;) {} }, 0);");
    finished = true;
    stopper.join();
    EXPECT_EQ(env.ErrorDescription(), "脚本已被用户停止");
    EXPECT_EQ(env.Text("1 + 1"), "2");
}

INSTANTIATE_TEST_SUITE_P(Targets, Record, testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021), TargetName);

// A library that hides its export unless it finds a browser window.
constexpr const char* kUmdLibrary =
    "(function (root, factory) {\n"
    "  if (typeof define === 'function' && define.amd) define([], factory);\n"
    "  else if (typeof module === 'object' && module.exports) module.exports = factory();\n"
    "  else if (typeof window !== 'undefined') window.md5 = factory();\n"
    "})(this, function () { return function (s) { return 'md5:' + s; }; });\n";

TEST(EnvironmentSwitch, UmdLibraryExportsOnlyWithTheEnvironment) {
    for (ScriptTarget target : {ScriptTarget::JScript58, ScriptTarget::ES2021}) {
        EnvHost off(target, false);
        ASSERT_TRUE(off.Add(kUmdLibrary));
        EXPECT_EQ(off.Text("md5('abc')"), "");
        // JScript calls a call of an undeclared name "object expected"
        EXPECT_EQ(off.ErrorDescription(), target == ScriptTarget::JScript58 ? "缺少对象" : "'md5' 未定义");
        EnvHost on(target, true);
        ASSERT_TRUE(on.Add(kUmdLibrary));
        EXPECT_EQ(on.Text("md5('abc')"), "md5:abc");
        EXPECT_EQ(on.Report(), (Lines{"-->环境缺失：define（第 2 行，1 次）", "-->环境缺失：module（第 3 行，1 次）"}));
    }
}

TEST(EnvironmentSwitch, OffMeansNoPageObjectsAndNoRecord) {
    for (ScriptTarget target : {ScriptTarget::JScript58, ScriptTarget::ES2021}) {
        EnvHost off(target, false);
        ASSERT_TRUE(off.Add("var a = typeof window + typeof navigator + typeof __qyEnvHost + typeof nothingHere;"
                            "setTimeoutLike = 1;"));
        EXPECT_EQ(off.Text("a"), "undefinedundefinedundefinedundefined");
        EXPECT_TRUE(off.Report().empty());
        EXPECT_TRUE(off.lines.empty());
    }
}

class SessionLog final : public script::LogSink {
public:
    void AppendLog(const std::string& ansiLine) override { lines.push_back(text::AnsiToUtf8(ansiLine)); }
    Lines lines;
};

class TextEditor final : public script::EditorView {
public:
    explicit TextEditor(std::string t) : text(std::move(t)) {}
    std::string Text() override { return text::Utf8ToAnsiText(text); }
    int64_t PositionFromLine(int64_t) override { return 0; }
    int64_t LineEndPosition(int64_t) override { return 0; }
    void SetSel(int64_t, int64_t) override {}
    bool FindText(int, const std::string&, int64_t&, int64_t&) override { return false; }
    std::string text;
};

TEST(SessionLines, HintAfterABrowserNameWithTheEnvironmentOff) {
    script::ScriptSession session;
    SessionLog log;
    TextEditor editor("var w = window.innerWidth;");
    session.Load(editor, log);
    ASSERT_EQ(log.lines.size(), 5u);
    EXPECT_EQ(log.lines[1], "-->错误描述：'window' 未定义\r\n");
    EXPECT_EQ(log.lines[4], "-->提示：window 是浏览器里的对象，这段脚本要在网页中运行；"
                            "可在菜单“工具”→“浏览器环境”打开浏览器环境后重新加载\r\n");
    // Other undefined names get no hint, nor does anything with the environment on.
    log.lines.clear();
    editor.text = "var w = notABrowserThing;";
    session.Load(editor, log);
    EXPECT_EQ(log.lines.size(), 4u);
    log.lines.clear();
    session.SetBrowserEnvironment(true);
    session.SetPageAddressSource([] { return std::string("http://example.org/a"); });
    editor.text = "var w = window.innerWidth + location.host;\nvar c = navigator.connection;\nconsole.log(w);";
    EXPECT_EQ(session.Load(editor, log), script::ScriptSession::LoadOutcome::Loaded);
    EXPECT_EQ(log.lines, (Lines{"-->代码加载成功\r\n", "-->环境缺失：navigator.connection（第 2 行，1 次）\r\n"}));
    log.lines.clear();
    session.Evaluate("w + navigator.getBattery", log, editor, nullptr);
    EXPECT_EQ(log.lines, (Lines{"-->返回类型：文本型\r\n", "-->计算结果：1920example.orgundefined\r\n",
                                "-->环境缺失：navigator.getBattery（第 1 行，1 次）\r\n"}));
}

TEST(AccessRecordLines, CountsAndOrder) {
    env::AccessRecord record;
    record.Note("navigator", "connection", {"addcode-1", 12, 3});
    record.Note("", "chrome", {"addcode-1", 14, 0});
    record.Note("navigator", "connection", {"addcode-1", 20, 0});
    record.Note("navigator", "connection", {"eval", 1, 0});
    std::vector<env::Miss> misses = record.Take();
    ASSERT_EQ(misses.size(), 2u);
    EXPECT_EQ(misses[0].first.column, 3u);
    EXPECT_EQ(env::ReportLines(misses), (Lines{"-->环境缺失：navigator.connection（第 12 行，3 次）",
                                              "-->环境缺失：chrome（第 14 行，1 次）"}));
    EXPECT_TRUE(record.Empty());
}

}  // namespace
}  // namespace qy::test

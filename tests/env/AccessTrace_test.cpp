// The access trace over Chrome's interfaces: what a script reads, writes, calls and
// makes, in order, with values and lines; interfaces unchanged to the script; values
// written without running the page's code; and the kept list a window shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "env/AccessTrace.h"
#include "env/EnvTestSupport.h"
#include "text/CodePage.h"

namespace qy::env {
namespace {

using script::ScriptTarget;

/// The trace on for as long as it lives, its entries collected.
struct Tracing {
    Tracing() { SetTraceOutput([this](const TraceEntry& e) { entries.push_back(e); }); }
    ~Tracing() { SetTraceOutput(nullptr); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const TraceEntry& e : entries) out.push_back(text::Utf16ToUtf8(TraceText(e)));
        return out;
    }
    std::vector<TraceEntry> entries;
};

TEST(AccessTrace, ReadsWritesCallsAndConstructionsComeInOrderWithValuesAndLines) {
    Tracing trace;
    test::EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var ua = navigator.userAgent;\n"                        // 1
                        "document.cookie = 'sid=42';\n"                          // 2
                        "var c = document.createElement('canvas');\n"            // 3
                        "c.getContext('2d').fillRect(0, 0, 4, 4);\n"             // 4
                        "var x = new XMLHttpRequest();\n"                        // 5
                        "x.open('GET', '/api?sign=' + navigator.language);\n"    // 6
                        "var missing = navigator.notThere;\n"))                  // 7
        << env.ErrorDescription();
    std::vector<std::string> texts = trace.Texts();
    const std::vector<std::string> want = {
        "#1 读取 window.navigator = Navigator（第 1 行）",
        "#2 读取 navigator.userAgent [Navigator] = \"" + env.Text("navigator.userAgent") + "\"（第 1 行）",
        "#3 读取 window.document = HTMLDocument（第 2 行）",
        "#4 写入 document.cookie [HTMLDocument] = \"sid=42\"（第 2 行）",
        "#5 读取 window.document = HTMLDocument（第 3 行）",
        "#6 调用 document.createElement(\"canvas\") [HTMLDocument] = HTMLCanvasElement（第 3 行）",
        "#7 调用 HTMLCanvasElement.getContext(\"2d\") [HTMLCanvasElement] = CanvasRenderingContext2D（第 4 行）",
        "#8 调用 CanvasRenderingContext2D.fillRect(0, 0, 4, 4) [CanvasRenderingContext2D] = undefined（第 4 行）",
        "#9 构造 new XMLHttpRequest() = XMLHttpRequest（第 5 行）",
        "#10 读取 window.navigator = Navigator（第 6 行）",
        "#11 读取 navigator.language [Navigator] = \"zh-CN\"（第 6 行）",
        "#12 调用 XMLHttpRequest.open(\"GET\", \"/api?sign=zh-CN\") [XMLHttpRequest] = undefined（第 6 行）",
        "#13 读取 window.navigator = Navigator（第 7 行）",
    };
    // (The expressions' own reads, made after the load, come after these.)
    ASSERT_GE(texts.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(texts[i], want[i]) << i;
    // (The loaded code's name counts up over the process.)
    EXPECT_EQ(trace.entries[0].file.rfind("addcode-", 0), 0u);
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(trace.entries[i].file, trace.entries[0].file);
    // A name the page lacks is no access of an interface member: the record of missing
    // names still lists it, as before.
    bool listed = false;
    for (const std::string& line : env.Report()) listed = listed || line.find("navigator.notThere") != std::string::npos;
    EXPECT_TRUE(listed);
}

TEST(AccessTrace, FailuresAndLongValuesAreWrittenBoundedAndTheCallerStillSeesTheError) {
    Tracing trace;
    test::EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var caught = '';\n"
                        "try { Object.getOwnPropertyDescriptor(Navigator.prototype, 'userAgent').get.call({}); }\n"
                        "catch (e) { caught = e.message; }\n"
                        "document.title = new Array(1000).join('x');\n"));
    EXPECT_EQ(env.Text("caught"), "Illegal invocation");
    const TraceEntry* failed = nullptr;
    const TraceEntry* title = nullptr;
    for (const TraceEntry& e : trace.entries) {
        if (e.name == u"navigator.userAgent") failed = &e;
        if (e.name == u"document.title" && e.kind == TraceKind::Set) title = &e;
    }
    ASSERT_NE(failed, nullptr);
    EXPECT_TRUE(failed->threw);
    EXPECT_EQ(failed->value, u"TypeError");
    EXPECT_EQ(failed->line, 2u);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->value.size(), kTracePreviewLength + 3);  // quotes around the cut text and "…"
    EXPECT_EQ(title->value.substr(title->value.size() - 2), u"…\"");
}

TEST(AccessTrace, TheScriptSeesTheSameInterfacesAndNoneOfItsCodeRunsForThePreviews) {
    // What a script can learn of a member, and how often its own traps and getters run,
    // must be the same with the trace on as off.
    const std::string probe =
        "var d = Object.getOwnPropertyDescriptor(Navigator.prototype, 'userAgent');\n"
        "var looks = [d.get.toString(), d.get.name, d.get.length, document.createElement.toString(),\n"
        "    document.createElement.length, typeof d.get.prototype, Object.keys(d.get).length].join('|');\n"
        "var runs = 0;\n"
        "var trap = new Proxy({}, {get: function (t, k) { runs++; return k === Symbol.toPrimitive ? undefined : function () { return 'p'; }; },\n"
        "    getPrototypeOf: function () { runs++; return Object.prototype; }, ownKeys: function () { runs++; return []; }});\n"
        "var tagged = {get [Symbol.toStringTag]() { runs++; return 'T'; }, toString: function () { runs++; return 't'; }};\n"
        "localStorage.setItem('a', 1); var k = localStorage.key(0);\n"
        "var before = runs;\n"
        "setTimeout(trap, 1); setTimeout(tagged, 1); clearTimeout(tagged); document.createElement('div').setAttribute('x', tagged);\n"
        "var used = runs - before;\n";
    std::string off, on;
    {
        test::EnvHost env(ScriptTarget::ES2021);
        ASSERT_TRUE(env.Add(probe)) << env.ErrorDescription();
        off = env.Text("looks + '#' + used");
    }
    Tracing trace;
    {
        test::EnvHost env(ScriptTarget::ES2021);
        ASSERT_TRUE(env.Add(probe)) << env.ErrorDescription();
        on = env.Text("looks + '#' + used");
    }
    EXPECT_EQ(on, off);
    EXPECT_NE(on.find("function get userAgent() { [native code] }"), std::string::npos) << on;
    bool seenProxy = false, seenTagged = false;
    for (const TraceEntry& e : trace.entries) {
        if (e.name == u"window.setTimeout" && e.arguments.rfind(u"Proxy, 1", 0) == 0) seenProxy = true;
        if (e.name == u"window.setTimeout" && e.arguments.rfind(u"Object, 1", 0) == 0) seenTagged = true;
    }
    EXPECT_TRUE(seenProxy);
    EXPECT_TRUE(seenTagged);
}

TEST(AccessTrace, AGlobalMadeWithTheTraceOffIsNotTracedAndTheCountRestartsPerLoad) {
    std::vector<TraceEntry> seen;
    test::EnvHost env(ScriptTarget::ES2021);  // made while off
    SetTraceOutput([&](const TraceEntry& e) { seen.push_back(e); });
    ASSERT_TRUE(env.Add("var a = navigator.platform;"));
    EXPECT_TRUE(seen.empty());
    env.host.Reset();
    ASSERT_TRUE(env.Add("var a = navigator.platform;"));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].order, 1u);
    env.host.Reset();
    ASSERT_TRUE(env.Add("var b = screen.width;"));
    SetTraceOutput(nullptr);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[2].order, 1u);
    EXPECT_EQ(text::Utf16ToUtf8(TraceText(seen[3])), "#2 读取 screen.width [Screen] = 1920（第 1 行）");
}

TEST(AccessTrace, StorageItemsUsedAsPropertiesAreTracedWithTheScriptsLine) {
    Tracing trace;
    test::EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("localStorage.token = 'abc';\n"
                        "var t = localStorage.token + sessionStorage.length;\n"
                        "delete localStorage.token;\n"))
        << env.ErrorDescription();
    std::vector<std::string> items;
    for (const TraceEntry& e : trace.entries)
        if (e.name.find(u"token") != std::u16string::npos) items.push_back(text::Utf16ToUtf8(TraceText(e)));
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].substr(items[0].find(' ')), " 写入 localStorage.token = \"abc\"（第 1 行）");
    EXPECT_EQ(items[1].substr(items[1].find(' ')), " 读取 localStorage.token = \"abc\"（第 2 行）");
    EXPECT_EQ(items[2].substr(items[2].find(' ')), " 写入 localStorage.token = (删除)（第 3 行）");
}

TEST(AccessTrace, TheObjectsOutsideTheInterfacesAreTracedAsTheMembersAre) {
    // chrome, console and CSS: calls with their arguments and results, and chrome's own
    // values read and written, in order with the callers' lines.
    const std::string probe =
        "var t = chrome.loadTimes().navigationType;\n"          // 1
        "console.log(1, 'two');\n"                              // 2
        "var s = CSS.supports('a', 'b') + CSS.escape('#x');\n"  // 3
        "var i = chrome.app.isInstalled;\n"                     // 4
        "chrome.csi(); var id = chrome.runtime.id;\n"           // 5
        "try { chrome.runtime.connect(); } catch (e) {}\n"      // 6
        "chrome.app.isInstalled = true;\n";                     // 7
    Tracing trace;
    test::EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add(probe)) << env.ErrorDescription();
    EXPECT_EQ(env.Text("t + s + i + id"), "Othertrue\\#xfalseundefined");
    const std::vector<std::string> want = {
        "调用 chrome.loadTimes() = Object（第 1 行）",
        "调用 console.log(1, \"two\") = undefined（第 2 行）",
        "调用 CSS.supports(\"a\", \"b\") = true（第 3 行）",
        "调用 CSS.escape(\"#x\") = \"\\\\#x\"（第 3 行）",
        "读取 chrome.app = Object（第 4 行）",
        "读取 chrome.app.isInstalled = false（第 4 行）",
        "调用 chrome.csi() = Object（第 5 行）",
        "读取 chrome.runtime = Object（第 5 行）",
        "读取 chrome.runtime.id = undefined（第 5 行）",
        "读取 chrome.runtime = Object（第 6 行）",
        "调用 chrome.runtime.connect() 抛出 TypeError（第 6 行）",
        "读取 chrome.app = Object（第 7 行）",
        "写入 chrome.app.isInstalled = true（第 7 行）",
    };
    std::vector<std::string> texts;
    uint64_t last = 0;
    for (const TraceEntry& e : trace.entries) {
        if (e.line == 0 || e.line > 7) continue;  // (the expression's own reads come after)
        EXPECT_GT(e.order, last);
        last = e.order;
        std::string text = text::Utf16ToUtf8(TraceText(e));
        texts.push_back(text.substr(text.find(' ') + 1));
    }
    EXPECT_EQ(texts, want);

    // What a script learns of these objects is the same with the trace on as off.
    const std::string looks =
        "[chrome.loadTimes.toString(), chrome.loadTimes.name, console.log.toString(), console.log.length,\n"
        " CSS.supports.toString(), CSS.supports.length, String(CSS), Object.keys(chrome).join(),\n"
        " Object.keys(chrome.app).join(), JSON.stringify(Object.getOwnPropertyDescriptor(chrome.app, 'isInstalled')),\n"
        " Object.prototype.toString.call(chrome.runtime), chrome.app === chrome.app].join('|')";
    std::string on = env.Text(looks);
    SetTraceOutput(nullptr);
    test::EnvHost plain(ScriptTarget::ES2021);
    ASSERT_TRUE(plain.Add(probe)) << plain.ErrorDescription();
    EXPECT_EQ(plain.Text(looks), on);
    EXPECT_NE(on.find("function () { [native code] }|"), std::string::npos) << on;
}

TEST(TraceLog, KeepsOneLoadFiltersByWordsAndWritesTextAndJson) {
    auto entry = [](uint64_t order, TraceKind kind, std::u16string name, std::u16string value, uint32_t line) {
        TraceEntry e;
        e.order = order;
        e.kind = kind;
        e.name = std::move(name);
        e.value = std::move(value);
        e.line = line;
        e.file = "addcode-0";
        return e;
    };
    TraceLog log;
    log.Add(entry(1, TraceKind::Get, u"navigator.userAgent", u"\"UA\"", 1));
    log.Add(entry(2, TraceKind::Set, u"document.cookie", u"\"a=\\\"1\\\"\n\"", 2));
    log.Add(entry(3, TraceKind::Get, u"document.cookie", u"\"a=1\"", 3));
    EXPECT_EQ(log.Matching(u"COOKIE").size(), 2u);
    EXPECT_EQ(log.Matching(u"写入 cookie"), std::vector<size_t>{1});
    EXPECT_EQ(log.Matching(u"cookie userAgent").size(), 0u);
    EXPECT_EQ(log.Matching(u"").size(), 3u);
    EXPECT_EQ(log.Matching(u"cookie", 2), std::vector<size_t>{2});

    std::string text = TraceTextFile(log.Entries(), {0, 2});
    EXPECT_EQ(text, "#1 读取 navigator.userAgent = \"UA\"（第 1 行）\n#3 读取 document.cookie = \"a=1\"（第 3 行）\n");
    std::string json = TraceJsonFile(log.Entries(), {1});
    EXPECT_EQ(json,
              "[\n{\"order\":2,\"kind\":\"set\",\"name\":\"document.cookie\",\"value\":\"\\\"a=\\\\\\\"1\\\\\\\"\\n\\\"\","
              "\"line\":2,\"file\":\"addcode-0\"}\n]\n");

    // The next load's first access starts the list afresh.
    EXPECT_TRUE(log.Add(entry(1, TraceKind::Call, u"window.atob", u"\"x\"", 1)));
    ASSERT_EQ(log.Entries().size(), 1u);
    EXPECT_EQ(log.Entries()[0].name, u"window.atob");
}

}  // namespace
}  // namespace qy::env

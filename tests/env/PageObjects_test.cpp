// The environment's objects and their values, in both targets.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "env/EnvTestSupport.h"
#include "jscript/SourceGate.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

class PageObjects : public testing::TestWithParam<ScriptTarget> {
protected:
    EnvHost env{GetParam()};
};

TEST_P(PageObjects, GlobalIsTheWindow) {
    ASSERT_TRUE(env.Add("var here = this;"));
    for (const char* name : {"window", "self", "top", "parent", "frames"}) EXPECT_TRUE(env.True(std::string(name) + " === here")) << name;
    EXPECT_TRUE(env.True("window.window === window && window.document === document"));
    // The modern engine's own globalThis is the global; JScript 5.8 never had one.
    EXPECT_EQ(env.Text("typeof globalThis"), GetParam() == ScriptTarget::ES2021 ? "object" : "undefined");
    // What the environment defines is not the user's: the function list stays empty.
    EXPECT_EQ(script::GetPropertyNumber(script::GetPropertyObject(env.host.Control(), "Procedures"), "Count"), 0);
}

TEST_P(PageObjects, NavigatorAsChromeOnWindows) {
    EXPECT_EQ(env.Text("navigator.userAgent.indexOf('Windows NT 10.0') > 0 && navigator.userAgent.indexOf('Chrome/') > 0"),
              env.Text("true"));
    EXPECT_EQ(env.Text("navigator.platform"), "Win32");
    EXPECT_EQ(env.Text("navigator.language"), "zh-CN");
    EXPECT_EQ(env.Text("navigator.languages.join(',')"), "zh-CN,zh");
    EXPECT_EQ(env.Text("navigator.appName"), "Netscape");
    EXPECT_EQ(env.Text("'Mozilla/' + navigator.appVersion === navigator.userAgent"), env.Text("true"));
    EXPECT_EQ(env.Text("navigator.vendor"), "Google Inc.");
    EXPECT_TRUE(env.True("navigator.cookieEnabled && navigator.onLine && navigator.webdriver === false"));
    EXPECT_EQ(env.Text("navigator.hardwareConcurrency"), "8");
    EXPECT_EQ(env.Text("navigator.plugins.length + ' ' + navigator.plugins[0].name + ' ' + navigator.plugins.item(1).name"),
              "5 PDF Viewer Chrome PDF Viewer");
    EXPECT_EQ(env.Text("navigator.mimeTypes.namedItem('application/pdf').suffixes"), "pdf");
    EXPECT_TRUE(env.True("navigator instanceof Navigator"));
}

TEST_P(PageObjects, LocationFromTheAddress) {
    EXPECT_EQ(env.Text("location.href"), "https://www.example.com/index.html?q=1#top");
    EXPECT_EQ(env.Text("[location.protocol, location.host, location.hostname, location.port, location.pathname, "
                       "location.search, location.hash, location.origin].join('|')"),
              "https:|www.example.com|www.example.com||/index.html|?q=1|#top|https://www.example.com");
    EXPECT_EQ(env.Text("String(location)"), "https://www.example.com/index.html?q=1#top");
    EXPECT_EQ(env.Text("document.URL + ' ' + document.domain"), "https://www.example.com/index.html?q=1#top www.example.com");
    // Navigation is only recorded.
    ASSERT_TRUE(env.Add("location.assign('https://other.example/'); location.href = '/next'; location.reload();"));
    EXPECT_EQ(env.Text("location.href"), "https://www.example.com/index.html?q=1#top");
    ASSERT_EQ(env.lines.size(), 3u);
    EXPECT_EQ(env.lines[0], "-->页面跳转（未执行）：assign https://other.example/");
    EXPECT_EQ(env.lines[1], "-->页面跳转（未执行）：href /next");
}

TEST_P(PageObjects, OnlyScriptsAPageMakesAreRecordedAsLoaded) {
    // A script element the page makes and puts in is recorded once; one the HTML reader
    // made (innerHTML, insertAdjacentHTML) is never fetched.
    ASSERT_TRUE(env.Add("var d = document.createElement('div'); document.body.appendChild(d);"
                        "d.insertAdjacentHTML('beforeend', '<script src=\"/a.js\"></script>');"
                        "d.innerHTML = '<script src=\"/b.js\"></script>'; d.appendChild(d.firstChild);"
                        "var s = document.createElement('script'); s.src = '/c.js'; document.body.appendChild(s);"
                        "document.head.appendChild(s);"));
    ASSERT_EQ(env.lines.size(), 1u);
    EXPECT_EQ(env.lines[0].substr(env.lines[0].size() - 5), "/c.js");
}

TEST_P(PageObjects, AddressesOfOtherShapes) {
    struct Case {
        const char* address;
        const char* expected;  // href|host|port|origin
    } cases[] = {
        {"HTTP://Example.COM:8080", "http://example.com:8080/|example.com:8080|8080|http://example.com:8080"},
        {"http://example.com:80/a", "http://example.com/a|example.com||http://example.com"},
        {"www.example.com/x.js", "http://www.example.com/x.js|www.example.com||http://www.example.com"},
        {"", "about:blank|||null"},
        {"http://user:pw@example.com/", "http://user:pw@example.com/|example.com||http://example.com"},
    };
    for (const Case& c : cases) {
        EnvHost other(GetParam(), true, c.address);
        EXPECT_EQ(other.Text("[location.href, location.host, location.port, location.origin].join('|')"), c.expected)
            << c.address;
    }
}

TEST_P(PageObjects, DocumentMembers) {
    EXPECT_EQ(env.Text("document.readyState + ' ' + document.characterSet + ' ' + document.compatMode"),
              "complete UTF-8 CSS1Compat");
    EXPECT_EQ(env.Text("document.referrer + '|' + document.title"), "|");
    EXPECT_TRUE(env.True("document.getElementById('x') === null && document.querySelector('div') === null"));
    EXPECT_EQ(env.Text("document.getElementsByTagName('script').length"), "0");
    EXPECT_EQ(env.Text("document.head.tagName + document.body.tagName + document.documentElement.tagName"), "HEADBODYHTML");
    ASSERT_TRUE(env.Add("var d = document.createElement('div'); d.setAttribute('id', 'a'); document.body.appendChild(d);"
                        "var fired = 0; d.addEventListener('click', function (e) { fired += e.type === 'click' ? 1 : 0; });"
                        "d.click();"));
    EXPECT_EQ(env.Text("d.tagName + ' ' + d.id + ' ' + d.getAttribute('ID') + ' ' + (d.parentNode === document.body) + ' ' + fired"),
              "DIV a a true 1");
    ASSERT_TRUE(env.Add("var ctx = document.createElement('canvas').getContext('2d'); ctx.fillText('x', 1, 1);"));
    EXPECT_EQ(env.Text("typeof ctx.measureText('abc').width + ' ' + document.createElement('canvas').toDataURL().indexOf('data:image/png')"),
              "number 0");
    // Old IE's members exist where JScript runs, Chrome's reading of document.all elsewhere.
    if (GetParam() == ScriptTarget::JScript58) {
        EXPECT_TRUE(env.True("!!document.all && typeof window.attachEvent === 'function'"));
    } else {
        EXPECT_EQ(env.Text("typeof document.all + ' ' + !!document.all + ' ' + typeof window.attachEvent"),
                  "undefined false undefined");
    }
}

TEST_P(PageObjects, CookieJar) {
    ASSERT_TRUE(env.Add("document.cookie = 'a=1'; document.cookie = 'b=2; path=/; secure';"
                        "document.cookie = 'a=3'; document.cookie = 'c=4; max-age=0';"
                        "document.cookie = 'd=5; expires=Thu, 01 Jan 1970 00:00:00 GMT'; document.cookie = 'e=6; max-age=60';"));
    // A cookie set again is a new cookie and reads after older ones (Chromium's answer).
    EXPECT_EQ(env.Text("document.cookie"), "b=2; a=3; e=6");
    ASSERT_TRUE(env.Add("document.cookie = 'b=; max-age=-1';"));
    EXPECT_EQ(env.Text("document.cookie"), "a=3; e=6");
}

TEST_P(PageObjects, StorageInMemory) {
    ASSERT_TRUE(env.Add("localStorage.setItem('k', 42); localStorage.setItem('j', 'x'); sessionStorage.setItem('s', 1);"));
    EXPECT_EQ(env.Text("localStorage.getItem('k') + typeof localStorage.getItem('k') + localStorage.length + localStorage.k"),
              "42string242");
    EXPECT_EQ(env.Text("String(localStorage.getItem('none')) + ' ' + localStorage.key(0) + ' ' + sessionStorage.length"),
              "null k 1");
    ASSERT_TRUE(env.Add("localStorage.removeItem('k');"));
    EXPECT_EQ(env.Text("localStorage.length + ' ' + localStorage.key(0)"), "1 j");
    ASSERT_TRUE(env.Add("localStorage.clear();"));
    EXPECT_EQ(env.Text("localStorage.length + ' ' + sessionStorage.getItem('s')"), "0 1");
    // A fresh load starts with empty storage.
    env.host.Reset();
    EXPECT_EQ(env.Text("sessionStorage.length"), "0");
}

TEST_P(PageObjects, Base64) {
    EXPECT_EQ(env.Text("btoa('') + '|' + btoa('f') + '|' + btoa('fo') + '|' + btoa('foobar') + '|' + btoa('\\xff\\x00')"),
              "|Zg==|Zm8=|Zm9vYmFy|/wA=");
    EXPECT_EQ(env.Text("atob('Zm9v YmFy') + '|' + atob('Zg') + '|' + atob('/wA=').charCodeAt(0)"), "foobar|f|255");
    ASSERT_FALSE(env.Add("btoa('中')"));
    ASSERT_FALSE(env.Add("atob('a')"));
    ASSERT_TRUE(env.Add("var caught; try { atob('*'); } catch (e) { caught = e.name; }"));
    EXPECT_EQ(env.Text("caught"), "InvalidCharacterError");
}

TEST_P(PageObjects, ScreenHistoryPerformanceEvents) {
    EXPECT_EQ(env.Text("screen.width + 'x' + screen.height + ' ' + screen.availHeight + ' ' + screen.colorDepth"),
              "1920x1080 1040 24");
    EXPECT_EQ(env.Text("history.length + ' ' + String(history.state)"), "1 null");
    EXPECT_EQ(env.Text("typeof performance.now()"), "number");
    ASSERT_TRUE(env.Add("var got; var t = new EventTarget(); document.addEventListener('x', function (e) { got = e.detail; });"
                        "document.dispatchEvent(new CustomEvent('x', {detail: 7}));"));
    EXPECT_EQ(env.Text("got + ' ' + (new CustomEvent('y') instanceof Event) + ' ' + new Image(3, 4).width"), "7 true 3");
}

TEST_P(PageObjects, ConsoleWritesAsTheBrowser) {
    ASSERT_TRUE(env.Add("console.log('text', 1, -0, true, null, undefined);"
                        "console.info([1, 'a', [2]], {a: 1, b: 'x', c: {d: 1}});"
                        "console.warn('%s is %d years', 'Tom', 42.5, 'more');"
                        "console.error(new TypeError('bad'));"
                        "console.debug(function add(a, b) { return a + b; });"
                        "console.table([1]); console.dir({k: []});"
                        "console.assert(1 === 2, 'wrong'); console.assert(true, 'never');"));
    std::vector<std::string> expected = {
        "[脚本] console.log: text 1 -0 true null undefined",
        "[脚本] console.info: (3) [1, 'a', Array(1)] {a: 1, b: 'x', c: {…}}",
        "[脚本] console.warn: Tom is 42 years more",
        "[脚本] console.error: TypeError: bad",
        "[脚本] console.debug: ƒ add(a, b) { return a + b; }",
        "[脚本] console.table: (1) [1]",
        "[脚本] console.dir: {k: Array(0)}",
        "[脚本] console.assert: Assertion failed: wrong",
    };
    EXPECT_EQ(env.lines, expected);
}

TEST_P(PageObjects, RequestsAreRecordedAndNeverSent) {
    // A listening socket that any sent request would reach.
    int server = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(server, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(server, 4), 0);
    socklen_t len = sizeof addr;
    getsockname(server, reinterpret_cast<sockaddr*>(&addr), &len);
    std::string url = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/api";
    ASSERT_TRUE(env.Add("var x = new XMLHttpRequest(), states = [];"
                        "x.onreadystatechange = function () { states.push(x.readyState + ':' + x.status); };"
                        "x.onerror = function () { states.push('error'); };"
                        "x.open('post', '" + url + "'); x.setRequestHeader('A', 'b'); x.send('k=v');"
                        "var s = new XMLHttpRequest(); s.open('GET', '" + url + "?sync', false); s.send();"
                        "new Image().src = '" + url + "?pixel'; navigator.sendBeacon('" + url + "', 'b');"));
    EXPECT_EQ(env.Text("states.join(',') + ' ' + s.readyState + ' ' + s.status + ' [' + s.responseText + ']'"), "4:0,error 4 0 []");
    std::vector<std::string> expected = {
        "-->网络请求（未发送）：POST " + url + " 正文：k=v（XMLHttpRequest）",
        "-->网络请求（未发送）：GET " + url + "?sync（XMLHttpRequest）",
        "-->网络请求（未发送）：GET " + url + "?pixel（Image）",
        "-->网络请求（未发送）：POST " + url + " 正文：b（sendBeacon）",
    };
    EXPECT_EQ(env.lines, expected);
    if (GetParam() == ScriptTarget::ES2021) {
        ASSERT_TRUE(env.Add("var failed; fetch('" + url + "', {method: 'PUT', body: 'z'}).catch(function (e) { failed = e.message; });"));
        EXPECT_EQ(env.Text("failed"), "Failed to fetch");
        EXPECT_EQ(env.lines.back(), "-->网络请求（未发送）：PUT " + url + " 正文：z（fetch）");
    }
    EXPECT_LT(accept(server, nullptr, nullptr), 0);  // nobody ever connected
    close(server);
}

TEST_P(PageObjects, JScriptKeepsItsSurface) {
    // The environment adds page objects only: no later language built-ins appear.
    for (const char* name : {"JSON", "Promise", "Uint8Array", "Map", "Symbol"}) {
        std::string kind = env.Text("typeof " + std::string(name));
        EXPECT_EQ(kind == "undefined", GetParam() == ScriptTarget::JScript58) << name;
    }
    EXPECT_EQ(env.Text("typeof Object.keys + typeof Array.prototype.forEach + typeof Object.defineProperty"),
              GetParam() == ScriptTarget::JScript58 ? "undefinedundefinedundefined" : "functionfunctionfunction");
    // Members that give typed arrays exist in the modern engine only.
    EXPECT_EQ(env.Text("typeof crypto.getRandomValues + typeof TextEncoder + typeof TextDecoder + typeof crypto.randomUUID"),
              GetParam() == ScriptTarget::JScript58 ? "undefinedundefinedundefinedfunction"
                                                    : "functionfunctionfunctionfunction");
}

TEST_P(PageObjects, RandomUUID) {
    EXPECT_TRUE(env.True("/^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$/.test(crypto.randomUUID())"));
    EXPECT_TRUE(env.True("crypto.randomUUID() !== crypto.randomUUID()"));
}

INSTANTIATE_TEST_SUITE_P(Targets, PageObjects, testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021), TargetName);

TEST(ModernOnly, GetRandomValuesFillsWithRandomBytes) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var a = new Uint8Array(64), r = crypto.getRandomValues(a), b = new Uint32Array(8);"
                        "crypto.getRandomValues(b); var distinct = {}, n = 0;"
                        "for (var i = 0; i < a.length; i++) if (!distinct[a[i]]) { distinct[a[i]] = 1; n++; }"));
    EXPECT_TRUE(env.True("r === a"));
    // 64 random bytes with fewer than 16 distinct values: about one chance in 10^40.
    EXPECT_TRUE(env.True("n > 16"));
    EXPECT_TRUE(env.True("b[0] !== b[1] || b[1] !== b[2]"));
    EXPECT_EQ(env.Text("var e1; try { crypto.getRandomValues(new Float32Array(1)); } catch (e) { e1 = e.name; } e1"),
              "TypeMismatchError");
    EXPECT_EQ(env.Text("var e2; try { crypto.getRandomValues(new Uint8Array(65537)); } catch (e) { e2 = e.name; } e2"),
              "QuotaExceededError");
}

// As in a browser, the promise jobs a timer's task leaves run before the next task: a
// chain of waits and promises (how fingerprinting libraries pace themselves) ends within
// the load, and a rejection's handler runs before a timer that was due already.
TEST(ModernOnly, PromiseJobsRunBetweenTimerTasks) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var order = [], steps = 0;"
                        "function wait(ms) { return new Promise(function (r) { setTimeout(r, ms); }); }"
                        "(async function () { for (var i = 0; i < 50; i++) { await wait(1); steps++; } order.push('chain'); })();"
                        "setTimeout(function () { order.push('timer'); }, 0);"
                        "Promise.reject(1).catch(function () { order.push('handler'); });"
                        "var port = new MessageChannel(); port.port1.onmessage = function () { order.push('message'); };"
                        "port.port2.postMessage(null);"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("steps + ' ' + order.join()"), "50 handler,timer,message,chain");
}

TEST(ModernOnly, TextCodecsRoundTripChinese) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var bytes = new TextEncoder().encode('中文 abc 😀'), back = new TextDecoder().decode(bytes);"));
    EXPECT_EQ(env.Text("Array.prototype.slice.call(bytes, 0, 3).join(',') + ' ' + bytes.length"), "228,184,173 15");
    EXPECT_EQ(env.Text("back"), "中文 abc 😀");
    EXPECT_EQ(env.Text("new TextDecoder('utf-8').decode(new Uint8Array([0xE4, 0xB8, 0x41, 0xFF]))"), "\xEF\xBF\xBD" "A\xEF\xBF\xBD");
    EXPECT_EQ(env.Text("new TextDecoder().decode(new Uint8Array([0xEF, 0xBB, 0xBF, 0x61]).buffer)"), "a");
    EXPECT_EQ(env.Text("var f; try { new TextDecoder('utf-8', {fatal: true}).decode(new Uint8Array([0xC0])); } catch (e) { f = e.name; } f"),
              "TypeError");
}

TEST(EnvironmentText, PassesJScriptsGateAndLoadsAsABlock) {
    std::u16string code = text::Utf8ToUtf16(env::ScriptText());
    jscript::ConditionalState cc;
    EXPECT_FALSE(jscript::PrepareJScript(code, cc).error.has_value());
    // The block a user inserts loads with the environment off (it is then the only
    // environment) and on (it replaces the built-in one without harm), in both targets.
    for (ScriptTarget target : {ScriptTarget::JScript58, ScriptTarget::ES2021}) {
        for (bool on : {false, true}) {
            SCOPED_TRACE(std::string(target == ScriptTarget::ES2021 ? "ES2021" : "JScript") + (on ? " on" : " off"));
            EnvHost env(target, on);
            std::string block = env::InsertableBlock(target == ScriptTarget::JScript58);
            ASSERT_TRUE(env.Add(block + "document.cookie = 'a=1'; var v = navigator.vendor;")) << env.ErrorDescription();
            EXPECT_EQ(env.Text("document.cookie + ' ' + v + ' ' + (window === this)"), "a=1 Google Inc. true");
            EXPECT_EQ(env.Text("localStorage.setItem('k', 'v'); localStorage.getItem('k')"), "v");
            ASSERT_TRUE(env.Add("setTimeout(function () { console.log('later'); }, 5);"));
            if (on) {
                EXPECT_EQ(env.lines, std::vector<std::string>{"[脚本] console.log: later"});
                (void)env.Report();
                // The block's own objects are not watched; Chrome's face keeps its own
                // navigator (read-only on the window), so the record still sees it.
                ASSERT_TRUE(env.Add("var c = navigator.brave;"));
                if (target == ScriptTarget::ES2021) {
                    EXPECT_EQ(env.Report(), std::vector<std::string>{"-->环境缺失：navigator.brave（第 1 行，1 次）"});
                }
            } else {
                EXPECT_TRUE(env.lines.empty());
                EXPECT_TRUE(env.Report().empty());
            }
        }
    }
}

}  // namespace
}  // namespace qy::test

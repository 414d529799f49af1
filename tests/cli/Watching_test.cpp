// The eval command's watch options, run as a shell runs them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/CliTestSupport.h"
#include "cli/CommandLine.h"
#include "script/ScriptTarget.h"

using namespace qy;

namespace {

using test::Outcome;
using test::RunCli;

/// A scratch folder of the test's own, removed afterwards.
struct Scratch {
    Scratch() {
        char name[] = "/tmp/qy-watch-XXXXXX";
        path = mkdtemp(name) ? name : "";
    }
    ~Scratch() { std::filesystem::remove_all(path); }
    std::string Write(const std::string& file, const std::string& bytes) const {
        std::string p = path + "/" + file;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }
    std::string path;
};

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(CommandLineWatch, HookWritesEachCallAndDumpWritesEachDynamicSource) {
    Scratch dir;
    std::string script = dir.Write("sign.js",
                                   "var CryptoJS = {MD5: function (s) { return 'm' + s.length; }};\n"
                                   "function sign(x) {\n"
                                   "    var p = eval('x + \"|\"');\n"
                                   "    return CryptoJS.MD5(btoa(p));\n"
                                   "}\n"
                                   "setTimeout('var late = 1;', 5);\n");
    std::string out = dir.path + "/dyn";
    Outcome r = RunCli({"eval", "--browser-env", "--target", "es2021", "--hook", "btoa", "--hook", "CryptoJS.MD5",
                        "--dump-dynamic", out, script, "--expr", "sign('ab')"});
    EXPECT_EQ(r.code, cli::kExitOk) << r.err;
    EXPECT_NE(r.out.find("-->调用 btoa(\"ab|\") = \"YWJ8\"（第 4 行）\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("-->调用 CryptoJS.MD5(\"YWJ8\") = \"m4\"（第 4 行）\n"), std::string::npos) << r.out;
    EXPECT_LT(r.out.find("调用 btoa"), r.out.find("调用 CryptoJS.MD5"));
    // The timer's string runs after the load, the eval during the expression.
    EXPECT_NE(r.out.find("动态代码 #1 (Function)"), std::string::npos) << r.out;
    EXPECT_NE(Read(out + "/dynamic-1.js").find("var late = 1;"), std::string::npos);
    EXPECT_NE(r.out.find("动态代码 #2 (eval, 第 3 行)"), std::string::npos) << r.out;
    EXPECT_EQ(Read(out + "/dynamic-2.js"), "x + \"|\"");
}

TEST(CommandLineWatch, WatchOptionsWithoutValueAreUsageErrors) {
    Outcome r = RunCli({"eval", "a.js", "--expr", "1", "--hook"});
    EXPECT_EQ(r.code, cli::kExitUsage);
    EXPECT_NE(r.err.find("--hook 后缺少参数"), std::string::npos) << r.err;
}

TEST(CommandLineWatch, BreakOnRequestAndCookieWriteOneLineEach) {
    Scratch dir;
    std::string script = dir.Write("send.js",
                                   "function send(p) {\n"
                                   "    document.cookie = 'sid=' + p + '; path=/';\n"
                                   "    document.cookie = 'theme=dark';\n"
                                   "    var x = new XMLHttpRequest();\n"
                                   "    x.open('POST', '/api/login?sign=' + p);\n"
                                   "    x.send('u=1');\n"
                                   "    navigator.sendBeacon('/log', 'n=1');\n"
                                   "}\n");
    for (const char* target : {"jscript", "es2021"}) {
        // A cookie option's name is optional: a file after it is no name.
        Outcome r = RunCli({"eval", "--browser-env", "--address", "https://s.test/", "--target", target,
                            "--break-on-request", "sign=", "--break-on-cookie", "sid", script, "--expr", "send('S9')"});
        EXPECT_EQ(r.code, cli::kExitOk) << r.err;
        EXPECT_NE(r.out.find("-->日志点 第 2 行: Cookie 写入 sid=S9; path=/\n"), std::string::npos) << target << r.out;
        EXPECT_NE(r.out.find("-->日志点 第 6 行: 请求 POST /api/login?sign=S9 正文：u=1（XMLHttpRequest）\n"),
                  std::string::npos)
            << target << r.out;
        EXPECT_EQ(r.out.find("theme=dark\n"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("日志点 第 7 行"), std::string::npos) << r.out;

        Outcome any = RunCli({"eval", "--browser-env", "--target", target, "--break-on-cookie", script, "--expr", "send('A')"});
        EXPECT_EQ(any.code, cli::kExitOk) << any.err;
        EXPECT_NE(any.out.find("-->日志点 第 3 行: Cookie 写入 theme=dark\n"), std::string::npos) << any.out;
        EXPECT_NE(any.out.find("-->日志点 第 2 行: Cookie 写入 sid=A; path=/\n"), std::string::npos) << any.out;
    }
    EXPECT_EQ(RunCli({"eval", "--browser-env", script, "--expr", "1", "--break-on-request"}).code, cli::kExitUsage);
}

TEST(CommandLineWatch, PageTakesTheWatchOptionsAndSeesThePagesOwnScripts) {
    Scratch dir;
    std::string page = dir.Write("index.html",
                                 "<!DOCTYPE html><html><head><title>t</title></head><body>\n"
                                 "<script>\n"
                                 "document.cookie = 'tk=' + btoa('p');\n"
                                 "fetch('/api?sign=' + eval('1 + 1'));\n"
                                 "</script></body></html>\n");
    std::string out = dir.path + "/dyn";
    Outcome r = RunCli({"page", "--target", "es2021", "--break-on-request", "sign", "--break-on-cookie", "tk",
                        "--hook", "btoa", "--dump-dynamic", out, page, "--expr", "document.cookie"});
    EXPECT_EQ(r.code, cli::kExitOk) << r.err;
    // Lines count in the whole page, as the editor and Chrome count them.
    EXPECT_NE(r.out.find("-->日志点 第 3 行: Cookie 写入 tk=cA==\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("-->日志点 第 4 行: 请求 GET /api?sign=2（fetch）\n"), std::string::npos) << r.out;
    // The hook and the dynamic code see the page's own script as it runs.
    EXPECT_NE(r.out.find("-->调用 btoa(\"p\") = \"cA==\"（第 3 行）\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("动态代码 #1 (eval, 第 4 行)"), std::string::npos) << r.out;
    EXPECT_EQ(Read(out + "/dynamic-1.js"), "1 + 1");
    // And what runs after the load: the expression's own call.
    Outcome later = RunCli({"page", "--target", "es2021", "--hook", "btoa", "--dump-dynamic", out, page, "--expr",
                            "btoa(eval('\"q\"'))"});
    EXPECT_EQ(later.code, cli::kExitOk) << later.err;
    EXPECT_NE(later.out.find("-->调用 btoa(\"q\") = \"cQ==\""), std::string::npos) << later.out;
    EXPECT_EQ(Read(out + "/dynamic-2.js"), "\"q\"") << later.out;
}

TEST(CommandLineWatch, AFormThePageSubmitsIsARequestToo) {
    Scratch dir;
    std::string page = dir.Write("login.html",
                                 "<!DOCTYPE html><html><body>\n"
                                 "<form id=\"f\" method=\"post\"><input name=\"u\" value=\"中文 me\"></form>\n"
                                 "<script>\n"
                                 "var f = document.getElementById('f');\n"
                                 "f.setAttribute('action', '/login?sign=' + btoa('me'));\n"
                                 "f.submit();\n"
                                 "</script></body></html>\n");
    Outcome r = RunCli({"page", "--target", "es2021", "--address", "https://s.test/app/", "--break-on-request", "sign=",
                        page, "--expr", "f.method"});
    EXPECT_EQ(r.code, cli::kExitOk) << r.err;
    EXPECT_NE(r.out.find("-->日志点 第 6 行: 请求 POST https://s.test/login?sign=bWU= 正文：u=%E4%B8%AD%E6%96%87+me"
                         "（表单，application/x-www-form-urlencoded）\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("-->表单提交（未发送）：POST https://s.test/login?sign=bWU= 正文：u=%E4%B8%AD%E6%96%87+me"),
              std::string::npos)
        << r.out;
}

TEST(CommandLineWatch, TraceWritesEachAccessAsAJsonLineInOrder) {
    Scratch dir;
    std::string script = dir.Write("probe.js",
                                   "var ua = navigator.userAgent;\n"
                                   "document.cookie = 'k=' + screen.width;\n"
                                   "function later() { return location.href; }\n");
    std::string trace = dir.path + "/trace.jsonl";
    Outcome r = RunCli({"eval", "--browser-env", "--target", "es2021", "--trace", trace, script, "--expr", "later()"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err;
    std::istringstream lines(Read(trace));
    std::vector<std::string> got;
    for (std::string line; std::getline(lines, line);) got.push_back(line);
    ASSERT_EQ(got.size(), 8u) << Read(trace);
    // The assignment's target is read before its value, as the language orders it.
    const char* const names[] = {"window.navigator", "navigator.userAgent", "window.document", "window.screen",
                                 "screen.width",     "document.cookie",     "window.location", "location.href"};
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].rfind("{\"order\":" + std::to_string(i + 1) + ",", 0), 0u) << got[i];
        EXPECT_NE(got[i].find("\"name\":\"" + std::string(names[i]) + "\""), std::string::npos) << got[i];
    }
    EXPECT_NE(got[5].find("\"kind\":\"set\""), std::string::npos);
    EXPECT_NE(got[5].find("\"value\":\"\\\"k=1920\\\"\",\"line\":2,"), std::string::npos) << got[5];
    EXPECT_NE(got[7].find("\"line\":3,\"file\":\"" + script + "\""), std::string::npos) << got[7];

    // The page command traces the page's own scripts as well.
    std::string page = dir.Write("index.html", "<html><body>\n<script>var t = document.title;</script></body></html>");
    std::string pageTrace = dir.path + "/page.jsonl";
    r = RunCli({"page", "--target", "es2021", "--trace", pageTrace, page, "--expr", "navigator.platform"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err;
    std::string written = Read(pageTrace);
    EXPECT_LT(written.find("\"name\":\"document.title\""), written.find("\"name\":\"navigator.platform\"")) << written;
    // Its caller lines are the page's.
    EXPECT_NE(written.find("\"line\":2,\"file\":\"" + page + "\""), std::string::npos) << written;

    // Only Chrome's interfaces are traced: elsewhere the option is refused, not ignored.
    r = RunCli({"eval", "--target", "jscript", "--browser-env", "--trace", trace, script, "--expr", "1"});
    EXPECT_EQ(r.code, cli::kExitUsage);
    EXPECT_NE(r.err.find("es2021"), std::string::npos) << r.err;
    r = RunCli({"eval", "--browser-env", "--target", "es2021", "--trace", dir.path + "/no/such/dir/t.jsonl", script,
                "--expr", "1"});
    EXPECT_EQ(r.code, cli::kExitUsage);
}

TEST(CommandLineWatch, TraceNamesTheFilesAsTheUserKnowsThemNeverTheEnginesOwnNames) {
    Scratch dir;
    std::string first = dir.Write("first.js", "function ua() { return navigator.userAgent; }\n");
    std::string second = dir.Write("second.js", "\nvar w = screen.width;\neval('\\n\\nvar h = screen.height;');\nua();\n");
    std::string trace = dir.path + "/trace.jsonl";
    Outcome r = RunCli({"eval", "--browser-env", "--target", "es2021", "--trace", trace, first, second, "--expr",
                        "location.href"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err;
    std::string written = Read(trace);
    auto fileOf = [&written](const std::string& name) {
        size_t at = written.find("\"name\":\"" + name + "\"");
        if (at == std::string::npos) return std::string("(none)");
        size_t file = written.find("\"file\":\"", at) + 8;
        return written.substr(file, written.find('"', file) - file);
    };
    // Each access names the file its line is in: a function of the first file called
    // from the second is the first's; code made by eval is named as the log names it.
    EXPECT_EQ(fileOf("screen.width"), second) << written;
    EXPECT_EQ(fileOf("navigator.userAgent"), first) << written;
    EXPECT_EQ(fileOf("screen.height"), "动态代码 (eval, 第 3 行)") << written;
    EXPECT_EQ(fileOf("location.href"), "表达式") << written;
    EXPECT_EQ(written.find("addcode"), std::string::npos) << written;

    // A page's inline scripts are the page's; its external scripts are their own files.
    dir.Write("lib.js", "var p = navigator.platform;\n");
    std::string page = dir.Write("index.html", "<html><body>\n<script src=\"lib.js\"></script>\n"
                                               "<script>var t = document.title;</script></body></html>");
    r = RunCli({"page", "--target", "es2021", "--trace", trace, page, "--expr", "1"});
    ASSERT_EQ(r.code, cli::kExitOk) << r.err;
    written = Read(trace);
    EXPECT_EQ(fileOf("navigator.platform"), "lib.js") << written;
    EXPECT_EQ(fileOf("document.title"), page) << written;
    EXPECT_EQ(written.find("page:"), std::string::npos) << written;
}

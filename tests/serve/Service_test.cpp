#include "serve/Service.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <future>
#include <string>

#include "common/ProcessSupport.h"
#include "jscript/ErrorMapping.h"
#include "serve/ServiceSupport.h"

using namespace qy;
using test::Answer;
using test::Quote;
using test::RunningService;

namespace {

namespace errors = jscript::errors;

/// A 1 KB text.
std::string KilobyteText() {
    std::string s;
    while (s.size() < 1024) s += "abcdefghij";
    return s.substr(0, 1024);
}

struct Engine {
    const char* target;
    bool browserEnv;
};

}  // namespace

TEST(Service, CallsAndEvaluatesMd5InBothTargetsWithAndWithoutTheEnvironment) {
    for (Engine setup : {Engine{"jscript", false}, Engine{"jscript", true}, Engine{"es2021", false}, Engine{"es2021", true}}) {
        SCOPED_TRACE(std::string(setup.target) + (setup.browserEnv ? " + 浏览器环境" : ""));
        auto options = test::Options(test::MakeScripts(test::Md5Script(), "md5.js"));
        options.worker.target = setup.target;
        options.worker.browserEnv = setup.browserEnv;
        RunningService service(options);
        ASSERT_TRUE(service.Started()) << service.Error();

        Answer a = service.Call("md5", "[\"abc\"]");
        EXPECT_EQ(a.status, 200) << a.body;
        EXPECT_EQ(a.Text("result"), "900150983cd24fb0d6963f7d28e17f72");
        EXPECT_EQ(a.Text("type"), "文本型");
        EXPECT_EQ(service.Call("md5", "[\"中文\"]").Text("result"), "a7bac2239fcdcb3a067903d8077c4a07");
        EXPECT_EQ(service.Call("md5", "[" + Quote(KilobyteText()) + "]").Text("result"),
                  "7fb8b0a8f199f6b4c6f3c87a5df81ad0");
        Answer e = service.Eval(Quote("md5('') + '/' + typeof window"));
        EXPECT_EQ(e.Text("result"), std::string("d41d8cd98f00b204e9800998ecf8427e/") + (setup.browserEnv ? "object" : "undefined"));

        Answer f = service.Get("/functions");
        ASSERT_EQ(f.status, 200);
        bool listed = false;
        for (const auto& fn : f["functions"].Items()) listed = listed || fn.Find("name")->AsString() == "md5";
        EXPECT_TRUE(listed) << f.body;
    }
}

TEST(Service, WritesEveryKindOfValueAsTheObjectViewerDescribesIt) {
    RunningService service(test::Options(test::MakeScripts(
        "function same(x) { return x; }\n"
        "function Point(x) { this.x = x; }\n"
        "function make() { var o = {name: 'a', list: [1, 'b', null]}; o.self = o; o.when = new Date(0); return o; }\n"),
        1));
    ASSERT_TRUE(service.Started()) << service.Error();
    struct Row {
        const char* expr;
        const char* result;  // as JSON
        const char* type;
    };
    for (Row row : {Row{"'文本'", "\"文本\"", "文本型"}, Row{"42", "42", "数值型"}, Row{"0.5", "0.5", "数值型"},
                    Row{"Math.sqrt(16)", "4", "数值型"}, Row{"1/0", "null", "数值型"}, Row{"true", "true", "逻辑型"},
                    Row{"undefined", "null", "空"}, Row{"[1, 'a', [true, null], undefined]", "[1,\"a\",[true,null],null]", "对象型"},
                    Row{"({a: 1, b: 'x', c: {d: [2]}, f: function () {}})", "{\"a\":1,\"b\":\"x\",\"c\":{\"d\":[2]}}", "对象型"},
                    Row{"new Point(3)", "{\"x\":3}", "对象型"},
                    Row{"/a+b/g", "\"/a+b/g\"", "对象型"},
                    Row{"make().list", "[1,\"b\",null]", "对象型"}}) {
        SCOPED_TRACE(row.expr);
        Answer a = service.Eval(Quote(row.expr));
        EXPECT_EQ(a.status, 200) << a.body;
        EXPECT_EQ(a["result"].Dump(), row.result);
        EXPECT_EQ(a.Text("type"), row.type);
    }
    // Infinity has no JSON form: its text goes beside the null.
    EXPECT_EQ(service.Eval(Quote("-1/0")).Text("text"), "-Infinity");
    // Other objects are their text, with their class.
    Answer fn = service.Eval(Quote("same"));
    EXPECT_EQ(fn.Text("class"), "Function");
    EXPECT_NE(fn.Text("result").find("function same(x)"), std::string::npos);
    EXPECT_EQ(service.Eval(Quote("new Point(1)")).Text("class"), "Point");
    // A date is written as the result display writes it (local time).
    Answer date = service.Eval(Quote("new Date(2020, 0, 2, 3, 4, 5)"));
    EXPECT_EQ(date.Text("type"), "日期型");
    EXPECT_EQ(date.Text("result"), "2020年1月2日3时4分5秒");
    // A value that contains itself is named, not followed.
    Answer cyclic = service.Eval(Quote("make()"));
    ASSERT_EQ(cyclic.status, 200) << cyclic.body;
    EXPECT_EQ(cyclic.Text("result.self"), "[循环引用]");
    EXPECT_EQ(cyclic.Text("result.name"), "a");
    // Arguments arrive unit for unit, lone surrogates and all, and go back the same.
    for (const char* text : {"中文😀", "a\\ud800b", "\\u2028\\u0000", "'\\\"</script>"}) {
        Answer a = service.Post("/call", std::string("{\"function\":\"same\",\"args\":[\"") + text + "\"]}");
        auto sent = serve::Json::Parse(std::string("\"") + text + "\"");
        ASSERT_TRUE(sent);
        EXPECT_EQ(a["result"].Dump(), sent->Dump()) << a.body;
    }
    Answer nested = service.Call("same", "[{\"k\":[1,2.5,{\"z\":null}],\"s\":\"中\"}]");
    EXPECT_EQ(nested["result"].Dump(), "{\"k\":[1,2.5,{\"z\":null}],\"s\":\"中\"}");
    // A result too big to write is refused with a reason rather than built.
    Answer huge = service.Eval(Quote("(function () { var a = []; for (var i = 0; i < 300000; i++) a.push(i); return a; })()"));
    EXPECT_EQ(huge.status, 422);
    EXPECT_NE(huge.Text("error.description").find("结果太大"), std::string::npos);
}

TEST(Service, AnswersErrorsWithTheirNumbersAndStatuses) {
    RunningService service(test::Options(test::MakeScripts("function fail(m) {\n  throw new Error(m);\n}\n"
                                                           "function broken() {\n  return missing + 1;\n}\n"),
                                         1));
    ASSERT_TRUE(service.Started()) << service.Error();
    Answer undefinedName = service.Eval(Quote("nothing"));
    EXPECT_EQ(undefinedName.status, 422);
    EXPECT_EQ(undefinedName.Number("error.number"), errors::ToNumber(errors::kUndefinedIdentifier));
    EXPECT_EQ(undefinedName.Text("error.description"), "'nothing' 未定义");
    Answer inScript = service.Call("broken", "[]");
    EXPECT_EQ(inScript.status, 422);
    EXPECT_EQ(inScript.Number("error.number"), errors::ToNumber(errors::kUndefinedIdentifier));
    EXPECT_EQ(inScript.Number("error.line"), 5);
    Answer thrown = service.Call("fail", "[\"坏了\"]");
    EXPECT_EQ(thrown.status, 422);
    EXPECT_EQ(thrown.Text("error.description"), "坏了");
    EXPECT_EQ(thrown.Number("error.line"), 2);
    Answer syntax = service.Eval(Quote("1 +"));
    EXPECT_EQ(syntax.status, 422);
    EXPECT_EQ(syntax.Number("error.number"), errors::ToNumber(errors::kSyntax));
    Answer notAFunction = service.Call("nothing.here", "[]");
    EXPECT_EQ(notAFunction.status, 422);

    // What is wrong with the request itself is a 400, and the script never sees it.
    for (const char* body : {"", "{", "[]", "{\"function\": 1}", "{\"function\": \"a;b\"}", "{\"function\": \"f()\"}",
                             "{\"function\": \"fail\", \"args\": \"x\"}", "{\"expr\": 5}"}) {
        SCOPED_TRACE(body);
        Answer a = service.Post(std::string(body).find("expr") != std::string::npos ? "/eval" : "/call", body);
        EXPECT_EQ(a.status, 400);
        EXPECT_FALSE(a.Text("error.description").empty());
    }
    EXPECT_EQ(service.Get("/nowhere").status, 404);
    EXPECT_EQ(service.Get("/call").status, 405);
    EXPECT_EQ(service.Post("/functions", "{}").status, 405);
    // The worker that answered all this is the one still serving.
    EXPECT_EQ(service.Service().Pool().Replaced(), 0u);
    EXPECT_EQ(service.Eval(Quote("1 + 1")).Number("result"), 2);
}

TEST(Service, CutsARunawayCallAtItsLimitWhileAParallelCallIsAnswered) {
    auto options = test::Options(test::MakeScripts(test::Md5Script()), 2);
    options.worker.timeoutMs = 1000;
    RunningService service(options);
    ASSERT_TRUE(service.Started()) << service.Error();
    auto runaway = std::async(std::launch::async, [&] { return service.Eval(Quote("while (true) {}")); });
    ASSERT_TRUE(test::Eventually([&] { return service.Service().Pool().Busy() == 1; }));
    Answer parallel = service.Call("md5", "[\"abc\"]");
    EXPECT_EQ(parallel.status, 200);
    EXPECT_EQ(parallel.Text("result"), "900150983cd24fb0d6963f7d28e17f72");
    Answer cut = runaway.get();
    EXPECT_EQ(cut.status, 422);
    EXPECT_EQ(cut.Number("error.number"), errors::ToNumber(errors::kStopped));
    // The engine's own stop ended it: the worker lives on, with its state.
    EXPECT_EQ(service.Service().Pool().Replaced(), 0u);
    EXPECT_EQ(service.Call("md5", "[\"\"]").Text("result"), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(Service, ReplacesAWorkerThatCrashesAndTheOthersGoOn) {
    auto options = test::Options(test::MakeScripts(test::Md5Script()), 2);
    RunningService service(options);
    ASSERT_TRUE(service.Started()) << service.Error();
    auto before = service.Service().Pool().Pids();
    auto stuck = std::async(std::launch::async, [&] { return service.Eval(Quote("while (true) {}")); });
    ASSERT_TRUE(test::Eventually([&] { return service.Service().Pool().Busy() == 1; }));
    // Both workers die at once: the one in the call, and the idle one.
    for (pid_t pid : before) kill(pid, SIGABRT);
    Answer crashed = stuck.get();
    EXPECT_EQ(crashed.status, 500);
    EXPECT_NE(crashed.Text("error.description").find("信号 6"), std::string::npos) << crashed.body;
    // Once the service has seen both go, the next calls find workers again, and none is lost.
    EXPECT_TRUE(test::Eventually([&] { return service.Service().Pool().Replaced() >= 2; }));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(service.Call("md5", "[\"abc\"]").status, 200);
    EXPECT_TRUE(test::Eventually([&] { return service.Service().Pool().Alive() == 2; }));
    auto after = service.Service().Pool().Pids();
    for (pid_t pid : after) EXPECT_TRUE(pid != before[0] && pid != before[1]);
    Answer health = service.Get("/health");
    EXPECT_EQ(health.Text("status"), "ok");
    EXPECT_GE(health.Number("replaced"), 2);
}

TEST(Service, KeepsStateBetweenCallsAndHonoursFresh) {
    auto scripts = test::MakeScripts("var count = 0;\nfunction next() { return ++count; }\n");
    {
        RunningService service(test::Options(scripts, 1));
        ASSERT_TRUE(service.Started()) << service.Error();
        EXPECT_EQ(service.Call("next", "[]").Number("result"), 1);
        EXPECT_EQ(service.Call("next", "[]").Number("result"), 2);
        // A fresh call runs in a global just loaded; the kept one is left as it was.
        EXPECT_EQ(service.Call("next", "[]", true).Number("result"), 1);
        EXPECT_EQ(service.Eval(Quote("typeof extra"), true).Text("result"), "undefined");
        EXPECT_EQ(service.Call("next", "[]").Number("result"), 3);
    }
    // With several workers, the calls of one session all see the state they leave, even
    // while another call keeps a worker busy.
    {
        auto busy = test::MakeScripts("var count = 0;\nfunction next() { return ++count; }\n"
                                      "function slow(ms) { var t = new Date(); while (new Date() - t < ms) {} return 0; }\n");
        RunningService several(test::Options(busy, 2));
        ASSERT_TRUE(several.Started()) << several.Error();
        const std::string next = "{\"function\":\"next\",\"args\":[],\"session\":\"甲\"}";
        for (int i = 1; i <= 4; i += 2) {
            EXPECT_EQ(several.Post("/call", next).Number("result"), i);
            auto other = std::async(std::launch::async, [&] { return several.Call("slow", "[1000]"); });
            ASSERT_TRUE(test::Eventually([&] { return several.Service().Pool().Busy() == 1; }));
            EXPECT_EQ(several.Post("/call", next).Number("result"), i + 1);
            EXPECT_EQ(other.get().status, 200);
        }
    }
    auto options = test::Options(scripts, 1);
    options.worker.fresh = true;
    RunningService fresh(options);
    ASSERT_TRUE(fresh.Started()) << fresh.Error();
    EXPECT_EQ(fresh.Call("next", "[]").Number("result"), 1);
    EXPECT_EQ(fresh.Call("next", "[]").Number("result"), 1);
}

TEST(Service, RefusesCallsWithoutTheTokenAndFromWebPages) {
    auto options = test::Options(test::MakeScripts(test::Md5Script()), 1);
    options.token = "s3cret-令牌";
    RunningService service(options);
    ASSERT_TRUE(service.Started()) << service.Error();
    const std::string body = "{\"function\":\"md5\",\"args\":[\"abc\"]}";
    EXPECT_EQ(service.Post("/call", body).status, 401);
    EXPECT_EQ(service.Post("/call", body, {{"Authorization", "Bearer wrong"}}).status, 401);
    EXPECT_EQ(service.Post("/call", body, {{"Authorization", "Basic s3cret-令牌"}}).status, 401);
    EXPECT_EQ(service.Get("/functions").status, 401);
    EXPECT_EQ(service.Get("/").status, 401);
    Answer ok = service.Post("/call", body, {{"Authorization", "Bearer s3cret-令牌"}});
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.Text("result"), "900150983cd24fb0d6963f7d28e17f72");
    // A balancer polls the health without one.
    EXPECT_EQ(service.Get("/health").status, 200);

    // Any address but loopback needs a token.
    auto open = test::Options(test::MakeScripts(test::Md5Script()), 1);
    open.bind = "0.0.0.0";
    serve::Service refused(open);
    std::string error;
    EXPECT_FALSE(refused.Start(error));
    EXPECT_NE(error.find("--token"), std::string::npos);
    EXPECT_TRUE(serve::IsLoopbackAddress("127.0.0.1"));
    EXPECT_TRUE(serve::IsLoopbackAddress("127.1.2.3"));
    EXPECT_TRUE(serve::IsLoopbackAddress("::1"));
    EXPECT_FALSE(serve::IsLoopbackAddress("192.168.1.2"));
    EXPECT_FALSE(serve::IsLoopbackAddress("::"));

    // Without a token, a page in a browser cannot reach the scripts over loopback.
    RunningService local(test::Options(test::MakeScripts(test::Md5Script()), 1));
    ASSERT_TRUE(local.Started());
    EXPECT_EQ(local.Post("/call", body, {{"Origin", "http://evil.example"}}).status, 403);
    EXPECT_EQ(local.Post("/call", body, {{"Origin", "http://127.0.0.1:8000"}}).status, 200);
}

TEST(Service, ReloadsOnRequestAndOnChangeAndKeepsTheOldCodeWhenTheNewFails) {
    auto scripts = test::MakeScripts("function version() { return 1; }");
    RunningService service(test::Options(scripts, 2));
    ASSERT_TRUE(service.Started()) << service.Error();
    EXPECT_EQ(service.Call("version", "[]").Number("result"), 1);
    scripts->Set({{"test.js", "function version() { return 2; }\nfunction added() {}"}});
    Answer reloaded = service.Post("/reload", "");
    EXPECT_EQ(reloaded.status, 200) << reloaded.body;
    EXPECT_EQ(reloaded["functions"].Items().size(), 2u);
    // Every worker has the new code from now on.
    for (int i = 0; i < 6; ++i) EXPECT_EQ(service.Call("version", "[]").Number("result"), 2);
    scripts->Set({{"test.js", "function version() { return 3; "}});
    Answer failed = service.Post("/reload", "");
    EXPECT_EQ(failed.status, 422);
    EXPECT_EQ(failed.Text("error.file"), "test.js");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(service.Call("version", "[]").Number("result"), 2);
    EXPECT_EQ(service.Get("/functions")["functions"].Items().size(), 2u);
}

TEST(Service, WatchedFilesReloadWhenTheyChange) {
    char name[] = "/tmp/qy-serve-XXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    std::string path = name;
    auto write = [&](const std::string& text) { std::ofstream(path, std::ios::binary | std::ios::trunc) << text; };
    write("function version() { return 1; }");
    auto options = test::Options(test::MakeScripts(""), 1);
    options.watchFiles = {path};
    options.readScripts = [path](std::vector<serve::Script>& out, std::string&) {
        out = {{"watched.js", ""}};
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        out[0].text = s.str();
        return true;
    };
    {
        RunningService service(options);
        ASSERT_TRUE(service.Started()) << service.Error();
        EXPECT_EQ(service.Call("version", "[]").Number("result"), 1);
        write("function version() { return 22; }");
        EXPECT_TRUE(test::Eventually([&] { return service.Call("version", "[]").Number("result") == 22; }));
    }
    std::remove(path.c_str());
}

TEST(Service, RefusesBodiesOverTheLimit) {
    auto options = test::Options(test::MakeScripts(test::Md5Script()), 1);
    options.maxBody = 1024;
    RunningService service(options);
    ASSERT_TRUE(service.Started());
    Answer big = service.Call("md5", "[" + Quote(std::string(2000, 'x')) + "]");
    EXPECT_EQ(big.status, 413);
    EXPECT_NE(big.Text("error.description").find("1024"), std::string::npos) << big.body;
    EXPECT_EQ(service.Call("md5", "[" + Quote(std::string(900, 'x')) + "]").status, 200);
}

TEST(Service, StopsGracefullyFinishingTheCallsInFlight) {
    auto options = test::Options(test::MakeScripts("function slow(ms) { var t = new Date(); while (new Date() - t < ms) {} return 'done'; }"), 2);
    auto service = std::make_unique<RunningService>(options);
    ASSERT_TRUE(service->Started());
    auto pids = service->Service().Pool().Pids();
    auto inFlight = std::async(std::launch::async, [&] { return service->Call("slow", "[1500]"); });
    ASSERT_TRUE(test::Eventually([&] { return service->Service().Pool().Busy() == 1; }));
    int port = service->Port();
    service->Service().Stop();
    Answer finished = inFlight.get();
    EXPECT_EQ(finished.status, 200);
    EXPECT_EQ(finished.Text("result"), "done");
    service->Service().Join();
    // Nothing listens any more, and the workers are gone.
    httplib::Client client("127.0.0.1", port);
    EXPECT_FALSE(client.Get("/health"));
    for (pid_t pid : pids) EXPECT_NE(kill(pid, 0), 0);
    service.reset();
}

TEST(Service, ExplainsItselfOnItsPage) {
    RunningService service(test::Options(test::MakeScripts(test::Md5Script(), "md5.js"), 1));
    ASSERT_TRUE(service.Started());
    Answer page = service.Get("/");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("curl -s http://127.0.0.1:" + std::to_string(service.Port()) + "/call"), std::string::npos);
    EXPECT_NE(page.body.find("md5（1 个参数）"), std::string::npos);
    Answer health = service.Get("/health");
    EXPECT_EQ(health.Text("status"), "ok");
    EXPECT_EQ(health.Number("workers"), 1);
}

TEST(Service, StartFailsWithTheLoadErrorOfTheScript) {
    serve::Service service(test::Options(test::MakeScripts("var a = ;", "bad.js"), 1));
    std::string error;
    ASSERT_FALSE(service.Start(error));
    auto json = serve::Json::Parse(error);
    ASSERT_TRUE(json) << error;
    EXPECT_EQ(json->Find("error")->Find("file")->AsString(), "bad.js");
    EXPECT_EQ(json->Find("error")->Find("number")->AsNumber(), errors::ToNumber(errors::kSyntax));
}

TEST(Service, EndsACallThatOutgrowsTheMemoryLimitAndServesOn) {
    auto options = test::Options(test::MakeScripts("var kept = [];"), 1);
    options.worker.maxMemoryMb = 64;
    options.worker.target = "es2021";
    RunningService service(options);
    ASSERT_TRUE(service.Started()) << service.Error();
    // (The bytes are written: memory an allocator hands out zeroed and untouched is no
    // growth of the process.)
    Answer grown = service.Eval(Quote("for (;;) kept.push(new Uint8Array(8 << 20).fill(1));"));
    EXPECT_EQ(grown.status, 422) << grown.body;
    EXPECT_EQ(grown.Number("error.number"), errors::ToNumber(errors::kOutOfMemory)) << grown.body;
    EXPECT_EQ(service.Eval(Quote("kept = []; 'freed'")).Text("result"), "freed");
}

TEST(Service, WorkersAnswerWithTheProfileAndRepeatTheSeed) {
    auto answer = [](std::optional<uint64_t> seed) {
        auto options = test::Options(
            test::MakeScripts("function probe() { return navigator.userAgent + '|' + Math.random() + '|' + Date.now(); }"),
            1);
        options.worker.target = "es2021";
        options.worker.browserEnv = true;
        options.worker.profile = R"({"navigator": {"userAgent": "Mozilla/5.0 Profiled/7"}})";
        options.worker.seed = seed;
        RunningService service(options);
        EXPECT_TRUE(service.Started()) << service.Error();
        return service.Call("probe", "[]").Text("result");
    };
    std::string first = answer(42);
    EXPECT_EQ(first.rfind("Mozilla/5.0 Profiled/7|", 0), 0u) << first;
    EXPECT_EQ(answer(42), first);
    EXPECT_NE(answer(43), first);
}

TEST(Service, APageIsServedWithItsDocumentAndScripts) {
    auto options = test::Options(test::MakeScripts("<!DOCTYPE html><html><head><meta name=\"seed\" content=\"abc\">"
                                                   "<script>function seed() { return document.querySelector("
                                                   "'meta[name=seed]').content + document.title; }</script>"
                                                   "<title>T</title></head><body></body></html>",
                                                   "page.html"),
                                 1);
    options.worker.target = "es2021";
    options.worker.browserEnv = true;
    RunningService service(options);
    ASSERT_TRUE(service.Started()) << service.Error();
    EXPECT_EQ(service.Call("seed", "[]").Text("result"), "abcT");
}

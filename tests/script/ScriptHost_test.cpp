#include "script/ScriptHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "script/Engine.h"
#include "script/EngineInternal.h"
#include "script/ScriptControl.h"
#include "script/ScriptTarget.h"
#include "script/ValueText.h"
#include "text/CodePage.h"

using namespace qy::script;

// These tests are of the engine's mechanics; those that use the language of later
// editions (symbols, promises, weak references, classes, arrows) run in the modern
// target, since the default JScript target refuses them as the Script Control does.

namespace {

std::string Ansi(const char* utf8) { return qy::text::Utf8ToAnsiText(utf8); }

struct ErrorFields {
    int32_t number;
    std::string description, text;
    int32_t line, column;
    bool inLoadedCode;
};

ErrorFields ReadError(ScriptHost& host) {
    ObjectRef e = host.GetError();
    return {static_cast<int32_t>(GetPropertyNumber(e, "Number")), GetPropertyText(e, "Description"),
            GetPropertyText(e, "Text"), static_cast<int32_t>(GetPropertyNumber(e, "Line")),
            static_cast<int32_t>(GetPropertyNumber(e, "Column")), GetPropertyBool(e, "InLoadedCode")};
}

ScriptHost LoadedHost(const std::string& code) {
    ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode(code);
    return host;
}

/// Keeps asking the engine to stop from another thread until the test's call is over
/// (a request made while no call runs is dropped, so one request could come too early).
class Stopper {
public:
    Stopper()
        : m_thread([this] {
              while (!m_done) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
                  RequestStop();
              }
          }) {}
    ~Stopper() {
        m_done = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

}  // namespace

TEST(ScriptControl, CreatedOnlyForItsProgIds) {
    ObjectRef obj;
    EXPECT_TRUE(CreateObject(obj, "scriptcontrol"));
    ObjectRef other;
    EXPECT_TRUE(CreateObject(other, "MSScriptControl.ScriptControl"));
    ObjectRef none;
    EXPECT_FALSE(CreateObject(none, "Scripting.FileSystemObject"));
    EXPECT_TRUE(IsEmptyObject(none));
    EXPECT_TRUE(SetProperty(obj, "Language", "JavaScript"));
    EXPECT_FALSE(SetProperty(obj, "Language", "VBScript"));
    EXPECT_EQ(GetPropertyText(obj, "Language"), "JavaScript");
}

TEST(ScriptControl, FailedCallsYieldEmptyValues) {
    ObjectRef empty;
    EXPECT_EQ(GetPropertyText(empty, "x"), "");
    EXPECT_EQ(GetPropertyNumber(empty, "x"), 0);
    EXPECT_FALSE(SetProperty(empty, "x", 1));
    EXPECT_EQ(CallMethodVariant(empty, "Eval", {"1"}).vt, VT_EMPTY);
    ScriptHost host;
    EXPECT_EQ(CallMethodVariant(host.Control(), "NoSuchMethod").vt, VT_EMPTY);
    // More arguments than the member declares fail the call.
    EXPECT_EQ(CallMethodVariant(host.Control(), "Eval", {"1", "2"}).vt, VT_EMPTY);
}

TEST(ScriptControl, AddCodeReturnsZeroAndOnlyTheErrorTellsOutcomes) {
    ScriptHost good;
    EXPECT_EQ(good.AddCode("function f(){return 1}"), 0);
    EXPECT_EQ(ReadError(good).number, 0);
    ScriptHost bad;
    EXPECT_EQ(bad.AddCode("var a = 1;\nvar b = 2;\nvar c = (3;\n"), 0);
    ErrorFields e = ReadError(bad);
    EXPECT_LT(e.number, 0);
    EXPECT_EQ(e.number, errors::ToNumber(errors::kExpectedParen));
    EXPECT_EQ(e.description, Ansi("缺少 ')'"));
    EXPECT_EQ(e.text, "var c = (3;");
    EXPECT_EQ(e.line, 3);
    EXPECT_EQ(e.column, 10);
    EXPECT_TRUE(e.inLoadedCode);
}

TEST(ScriptControl, RuntimeErrorInsideAFunctionIsLocatedInTheAddedCode) {
    ScriptHost host = LoadedHost("function f() {\n  return 1 +\n    undefinedThing;\n}");
    EXPECT_EQ(host.Eval("f()").vt, VT_EMPTY);
    ErrorFields e = ReadError(host);
    EXPECT_EQ(e.number, errors::ToNumber(errors::kUndefinedIdentifier));
    EXPECT_EQ(e.description, Ansi("'undefinedThing' 未定义"));
    EXPECT_EQ(e.text, "");
    EXPECT_EQ(e.line, 3);
    EXPECT_GE(e.column, 0);
    EXPECT_TRUE(e.inLoadedCode);
    host.Eval("nothing.here");
    e = ReadError(host);
    EXPECT_EQ(e.number, errors::ToNumber(errors::kUndefinedIdentifier));
    EXPECT_FALSE(e.inLoadedCode);
    // A later good call clears the error.
    host.Eval("1");
    EXPECT_EQ(ReadError(host).number, 0);
}

TEST(ScriptControl, CommonErrorsMapToJScriptCodes) {
    ScriptHost host = LoadedHost("var o = {}; var u;");
    struct Row { const char* expr; int code; };
    for (Row r : {Row{"o.missing()", errors::kNoSuchMember}, Row{"u.x", errors::kObjectExpected},
                  Row{"var n = 1; n()", errors::kFunctionExpected}, Row{"/a(/", errors::kRegExpSyntax},
                  Row{"'abc", errors::kUnterminatedString}, Row{"/* x", errors::kUnterminatedComment},
                  Row{"return 1", errors::kReturnOutsideFunction}, Row{"a b", errors::kExpectedSemicolon},
                  Row{"throw 'boom'", errors::kThrown}}) {
        host.Eval(r.expr);
        EXPECT_EQ(ReadError(host).number, errors::ToNumber(r.code)) << r.expr;
    }
    host.Eval("throw 'boom'");
    EXPECT_EQ(ReadError(host).description, "boom");
    host.Eval("var e = new Error('bad'); e.number = 12345; throw e");
    EXPECT_EQ(ReadError(host).number, 12345);
    EXPECT_EQ(ReadError(host).description, "bad");
    host.Eval("throw new Error('plain')");
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kThrown));
}

TEST(ScriptControl, ThrownValuesNeverReadAsSuccess) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("function fail(n){ var e = new Error('m'); e.number = n; throw e; }");
    // Numbers that read as 0 as a 32-bit integer would pass the error for success.
    for (const char* n : {"4294967296", "NaN", "0.5", "Infinity"}) {
        host.Eval(std::string("fail(") + n + ")");
        EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kThrown)) << n;
    }
    host.Eval("fail(-2146823279.7)");
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kUndefinedIdentifier));
    host.Eval("throw Symbol('why')");
    EXPECT_EQ(ReadError(host).description, "Symbol(why)");
    host.Eval("throw null");
    EXPECT_EQ(ReadError(host).description, "null");
}

TEST(ScriptControl, SyntaxErrorTextIsTheWholeSourceLine) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    // The engine cuts long lines to a window around the error; the report shows it all.
    std::string longLine = "var s = '" + std::string(300, 'a') + Ansi("中") + "' + (;";
    ScriptHost host;
    host.AddCode("var x = 1;\r\n" + longLine + "\nvar y;");
    ErrorFields e = ReadError(host);
    EXPECT_EQ(e.text, longLine);
    EXPECT_EQ(e.line, 2);
    EXPECT_EQ(e.column, 315);  // UTF-16 units from the line's start
    // An error inside a string given to eval() shows that string's line, not the caller's.
    host.Eval("1;\neval('a b')");
    e = ReadError(host);
    EXPECT_EQ(e.number, errors::ToNumber(errors::kExpectedSemicolon));
    EXPECT_EQ(e.text, "a b");
    host.Eval("1 +");
    EXPECT_EQ(ReadError(host).text, "1 +");
    EXPECT_FALSE(ReadError(host).inLoadedCode);
}

TEST(ScriptControl, ValuesCrossAsTheirVariantKinds) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("function add(a,b){return a+b}");
    Variant v = host.Eval("add(1,2)");
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(VariantToNumber(v), 3);
    EXPECT_EQ(host.Eval("Math.sqrt(16)").vt, VT_I4);
    EXPECT_EQ(host.Eval("0.5").vt, VT_R8);
    EXPECT_EQ(host.Eval("-0").vt, VT_R8);
    EXPECT_EQ(host.Eval("2147483648").vt, VT_R8);
    EXPECT_EQ(host.Eval("'s'").vt, VT_BSTR);
    EXPECT_EQ(host.Eval("true").vt, VT_BOOL);
    EXPECT_EQ(host.Eval("undefined").vt, VT_EMPTY);
    EXPECT_EQ(host.Eval("null").vt, VT_NULL);
    EXPECT_EQ(host.Eval("new Date(2020, 0, 2, 8, 30, 5)").vt, VT_DATE);
    EXPECT_EQ(host.Eval("new Date(2020, 0, 2).getVarDate()").vt, VT_DATE);
    EXPECT_EQ(host.Eval("[1,2]").vt, VT_DISPATCH);
    EXPECT_EQ(host.Eval("(function(){})").vt, VT_DISPATCH);
    EXPECT_EQ(host.Eval("10n").vt, VT_BSTR);
    EXPECT_EQ(VariantToText(host.Eval("Symbol('q')")), "Symbol(\"q\")");
    EXPECT_EQ(DateText(VariantToDate(host.Eval("new Date(2020, 0, 2, 8, 30, 5)"))), Ansi("2020年1月2日8时30分5秒"));
}

TEST(ScriptControl, TextsCrossInTheWorkbenchCodePage) {
    ScriptHost host = LoadedHost("function echo(s){return s + '|' + s.length}");
    EXPECT_EQ(VariantToText(host.Run("echo", Ansi("中文"))), Ansi("中文|2"));
    // A NUL inside a JS string ends the text there.
    EXPECT_EQ(VariantToText(host.Eval("'ab\\u0000cd'")), "ab");
    // Characters beyond GBK come through too: the workbench text is GB18030.
    EXPECT_EQ(VariantToText(host.Eval("'\\u20A9'")), "\x81\x36\xB2\x39");
}

TEST(ScriptControl, RunPassesStringsAndIntegersAndReportsMissingProcedures) {
    ScriptHost host = LoadedHost(
        "function join(a,b,c){return a+'-'+b+'-'+c+typeof c} function twice(n){return n*2}\n"
        "function kind(v){return typeof v + ':' + v} function hour(d){return d.getHours() + ':' + isNaN(d)}");
    EXPECT_EQ(VariantToText(host.Run("join", "x", "12")), "x-12-string");
    EXPECT_EQ(VariantToNumber(host.Run("twice", "21")), 42);
    EXPECT_EQ(host.Run("nope").vt, VT_EMPTY);
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kUndefinedIdentifier));
    EXPECT_EQ(ReadError(host).description, Ansi("'nope' 未定义"));
    // Through the automation call, arguments keep their kinds.
    const ObjectRef& control = host.Control();
    EXPECT_EQ(VariantToText(CallMethodVariant(control, "Run", {"kind", 21})), "number:21");
    EXPECT_EQ(VariantToText(CallMethodVariant(control, "Run", {"kind", true})), "boolean:true");
    EXPECT_EQ(VariantToText(CallMethodVariant(control, "Run", {"kind", Variant::Null()})), "object:null");
    EXPECT_EQ(VariantToText(CallMethodVariant(control, "Run", {"hour", Variant::Date(43832.5)})), "12:false");
    // A date beyond the engine's range arrives as an invalid date.
    EXPECT_EQ(VariantToText(CallMethodVariant(control, "Run", {"hour", Variant::Date(1e300)})), "NaN:true");
}

TEST(ScriptControl, ProceduresInDefinitionOrderWithArgsAndReturn) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost(
        "var late = function(q){};\nfunction zeta(a,b,c){return a}\nfunction alpha(){ function inner(){return 1} }\n"
        "function mid(x, y = 2, ...rest){ if (x) return; }\nvar arrow = (a) => a * 2;\nvar n = 5;");
    std::vector<ProcedureInfo> list;
    ASSERT_TRUE(host.GetProcedures(list));
    std::vector<std::string> names;
    for (auto& p : list) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"late", "zeta", "alpha", "mid", "arrow"}));
    EXPECT_EQ(list[1].argCount, 3);
    EXPECT_TRUE(list[1].hasReturnValue);
    EXPECT_FALSE(list[2].hasReturnValue);  // only a nested function returns
    EXPECT_FALSE(list[3].hasReturnValue);
    EXPECT_TRUE(list[4].hasReturnValue);
    EXPECT_EQ(list[0].argCount, 1);
}

TEST(ScriptControl, ProceduresThroughTheAutomationCalls) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("function a(x){ return x }");
    host.AddCode("function b(){ [1].map(y => { return y }) }\nfunction a2(p, q){}");
    ObjectRef procs = GetPropertyObject(host.Control(), "Procedures");
    ASSERT_EQ(GetPropertyNumber(procs, "Count"), 3);
    // Later chunks of added code come after earlier ones.
    EXPECT_EQ(GetPropertyText(GetPropertyObject(procs, "Item", {1}), "Name"), "a");
    ObjectRef second = GetPropertyObject(procs, "Item", {2});
    EXPECT_EQ(GetPropertyText(second, "Name"), "b");
    EXPECT_FALSE(GetPropertyBool(second, "HasReturnValue"));
    EXPECT_EQ(GetPropertyNumber(GetPropertyObject(procs, "Item", {3}), "NumArgs"), 2);
    EXPECT_TRUE(GetPropertyBool(GetPropertyObject(procs, "item", {1}), "hasreturnvalue"));
    EXPECT_TRUE(IsEmptyObject(GetPropertyObject(procs, "Item", {0})));
    EXPECT_TRUE(IsEmptyObject(GetPropertyObject(procs, "Item", {4})));
    EXPECT_TRUE(IsEmptyObject(GetPropertyObject(procs, "Item")));
}

TEST(ScriptControl, HostCopiesShareTheInstanceAndTheErrorClears) {
    ScriptHost host = LoadedHost("var shared = 1;");
    ScriptHost copy = host;
    copy.Eval("shared = 2");
    EXPECT_EQ(VariantToNumber(host.Eval("shared")), 2);
    host.Eval("nothing()");
    ObjectRef error = copy.GetError();
    EXPECT_LT(GetPropertyNumber(error, "Number"), 0);
    EXPECT_EQ(GetPropertyText(error, "Source"), Ansi("JScript 运行时错误"));
    CallMethodNumber(error, "Clear");
    EXPECT_EQ(GetPropertyNumber(error, "Number"), 0);
    EXPECT_EQ(GetPropertyText(error, "Description"), "");
    // Code run for its effect only.
    EXPECT_EQ(CallMethodVariant(host.Control(), "ExecuteStatement", {"shared = 5"}).vt, VT_EMPTY);
    EXPECT_EQ(VariantToNumber(copy.Eval("shared")), 5);
}

TEST(Automation, InterfacesAndCreationFailures) {
    ScriptHost host;
    ObjectRef target;
    EXPECT_TRUE(QueryObjectInterface(target, host.Control(), kIID_IDispatch));
    EXPECT_EQ(target, host.Control());
    ObjectRef other;
    EXPECT_FALSE(QueryObjectInterface(other, host.Control(), "{00000000-0000-0000-0000-000000000001}"));
    EXPECT_FALSE(QueryObjectInterface(other, nullptr, kIID_IUnknown));
    EXPECT_TRUE(IsEmptyObject(other));
    // A failed creation leaves the target as it was.
    ObjectRef kept = host.Control();
    EXPECT_FALSE(CreateObject(kept, "{0E59F1D5-0000-0000-0000-000000000000}"));
    EXPECT_EQ(kept, host.Control());
    EXPECT_TRUE(CreateObject(kept, "ScriptControl"));
    EXPECT_NE(kept, host.Control());
}

TEST(ScriptControl, NoFunctionsLeavesTheListUntouched) {
    ScriptHost host = LoadedHost("var a = 1;");
    std::vector<ProcedureInfo> list{{"old", 1, true}};
    EXPECT_FALSE(host.GetProcedures(list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].name, "old");
}

TEST(ScriptControl, ResetDropsCodeButHandedOutObjectsStayUsable) {
    ScriptHost host = LoadedHost("var secret = 7; function make(){ return {v: secret, get: function(){return secret*2}} }");
    ObjectRef obj = VariantToObject(host.Eval("make()"));
    host.Reset();
    EXPECT_EQ(host.Eval("secret").vt, VT_EMPTY);
    EXPECT_LT(ReadError(host).number, 0);
    EXPECT_EQ(GetPropertyNumber(obj, "v"), 7);
    EXPECT_EQ(CallMethodNumber(obj, "get"), 14);
    // Handed to the new code and handed back, the old object is still itself.
    host.AddCode("function id(x){ return x } function v(o){ return o.v }");
    EXPECT_EQ(VariantToNumber(CallMethodVariant(host.Control(), "Run", {"v", obj})), 7);
    ObjectRef back = VariantToObject(CallMethodVariant(host.Control(), "Run", {"id", obj}));
    EXPECT_EQ(CallMethodNumber(back, "get"), 14);
    EXPECT_EQ(back->GetTypeInfo()->funcs.size(), 1u);
}

TEST(ScriptControl, JScriptExtrasArePresentButNoHostAccess) {
    ScriptHost host = LoadedHost("");
    EXPECT_EQ(VariantToText(host.Eval("ScriptEngine()")), "JScript");
    EXPECT_EQ(VariantToNumber(host.Eval("ScriptEngineMajorVersion()")), 5);
    EXPECT_EQ(VariantToNumber(host.Eval("ScriptEngineMinorVersion()")), 8);
    EXPECT_EQ(VariantToText(host.Eval("typeof load + typeof read + typeof os + typeof print")),
              "undefinedundefinedundefinedundefined");
    std::vector<ProcedureInfo> list;
    EXPECT_FALSE(host.GetProcedures(list));
}

TEST(ScriptControl, PromisesRunTheirJobs) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("var done = 0; Promise.resolve(4).then(function(v){ done = v; });");
    EXPECT_EQ(VariantToNumber(host.Eval("done")), 4);
}

TEST(ScriptControlLimits, StopRequestedFromAnotherThreadEndsTheCall) {
    ScriptHost host = LoadedHost("function spin(){ for(;;){} }");
    std::atomic<bool> finished{false};
    std::thread stopper([&] {
        // Keeps asking until the call has ended; a request while idle is dropped.
        while (!finished) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            RequestStop();
        }
    });
    Variant v = host.Eval("spin()");
    finished = true;
    stopper.join();
    EXPECT_EQ(v.vt, VT_EMPTY);
    ErrorFields e = ReadError(host);
    EXPECT_EQ(e.number, errors::ToNumber(errors::kStopped));
    EXPECT_EQ(e.description, Ansi("脚本已被用户停止"));
    // The engine is usable afterwards.
    EXPECT_EQ(VariantToNumber(host.Eval("1+1")), 2);
}

TEST(ScriptControlLimits, BusyHookSeesLongCallsAndCanStopThem) {
    ScriptHost host = LoadedHost("var n = 0;");
    ScriptHost other = LoadedHost("");
    ObjectRef obj = VariantToObject(host.Eval("({v: 1})"));
    int calls = 0;
    Variant fromHook, objectFromHook;
    SetBusyHook([&, guard = std::make_shared<int>(0)](std::chrono::milliseconds) {
        // Events let through here must not start scripts inside the running one.
        fromHook = other.Eval("1+1");
        objectFromHook = GetPropertyVariant(obj, "v");
        if (++calls < 3) return;
        RequestStop();
        // The window may take its hook away from inside it (this very closure goes).
        SetBusyHook(nullptr);
        EXPECT_EQ(*guard, 0);
    });
    host.Eval("while(true){ n++ }");
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kStopped));
    EXPECT_EQ(fromHook.vt, VT_EMPTY);
    EXPECT_EQ(objectFromHook.vt, VT_EMPTY);
    EXPECT_EQ(VariantToNumber(other.Eval("1+1")), 2);
    EXPECT_EQ(GetPropertyNumber(obj, "v"), 1);
    EXPECT_GT(VariantToNumber(host.Eval("n")), 0);
}

TEST(ScriptControlLimits, StopReachesGettersAndPromiseJobs) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("var o = { get spin() { for(;;){} } };");
    ObjectRef obj = VariantToObject(host.Eval("o"));
    {
        Stopper stopper;
        EXPECT_EQ(CallMethodVariant(obj, "spin").vt, VT_EMPTY);
    }
    {
        Stopper stopper;
        host.Eval("Promise.resolve().then(function(){ for(;;){} }); 1");
    }
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kStopped));
}

TEST(ScriptControlLimits, RunawayRecursionAndMemoryEndInErrors) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("function r(n){ return r(n+1) + 1 }");
    host.Eval("r(0)");
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kOutOfStack));
    EXPECT_EQ(ReadError(host).description, Ansi("堆栈溢出"));
    host.Eval("var s = 'x'; while (true) s += s;");
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kOutOfMemory));
    SetMemoryGrowthLimit(size_t(256) * 1024 * 1024);
    host.Eval("var keep = []; while (true) keep.push(new Uint8Array(8 << 20).fill(1));");
    SetMemoryGrowthLimit(size_t(2) * 1024 * 1024 * 1024);
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kOutOfMemory));
    EXPECT_EQ(ReadError(host).description, Ansi("内存不足"));
    host.Reset();
    EXPECT_EQ(VariantToNumber(host.Eval("2*3")), 6);
}

TEST(ScriptControlLimits, MemoryComesBackAfterARunawayIsStopped) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("");
    SetMemoryGrowthLimit(size_t(256) * 1024 * 1024);
    host.Eval("var keep = []; while (true) keep.push(new Uint8Array(8 << 20).fill(1));");
    int32_t first = ReadError(host).number;
    // With the garbage of the stopped script gone, a run of a good while passes the limit.
    host.Reset();
    host.Eval("var t = Date.now(); while (Date.now() - t < 100) {} 5");
    int32_t after = ReadError(host).number;
    SetMemoryGrowthLimit(size_t(2) * 1024 * 1024 * 1024);
    EXPECT_EQ(first, errors::ToNumber(errors::kOutOfMemory));
    EXPECT_EQ(after, 0);
}

TEST(ScriptControlLimits, AnExhaustedHeapReadsAsOutOfMemory) {
    JSContext* cx = detail::Cx();
    uint32_t before = JS_GetGCParameter(cx, JSGC_MAX_BYTES);
    JS_SetGCParameter(cx, JSGC_MAX_BYTES, 4u * 1024 * 1024);
    ScriptHost host = LoadedHost("");
    host.Eval("var a = []; while (true) a.push({x: 1});");
    JS_SetGCParameter(cx, JSGC_MAX_BYTES, before);
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kOutOfMemory));
    EXPECT_EQ(ReadError(host).description, Ansi("内存不足"));
    host.Reset();
    EXPECT_EQ(VariantToNumber(host.Eval("[1,2,3].length")), 3);
}

TEST(ScriptControl, HeldObjectsSurviveCollectionAndReleasedOnesGo) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("var w; function make(){ var o = {v: 5}; w = new WeakRef(o); return o; }");
    ObjectRef held = VariantToObject(host.Eval("make()"));
    CollectGarbage();
    EXPECT_EQ(VariantToText(host.Eval("typeof w.deref()")), "object");
    EXPECT_EQ(GetPropertyNumber(held, "v"), 5);
    held.reset();
    CollectGarbage();
    EXPECT_EQ(VariantToText(host.Eval("typeof w.deref()")), "undefined");
}

// Objects the workbench still holds when the engine stops are released safely later.
// The engine cannot start again in one process, so this runs in a child process.
TEST(EngineShutdown, HeldObjectsAndControlsMayOutliveTheEngine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            auto host = std::make_unique<ScriptHost>(LoadedHost("function f(){ return {a: [1, 2]} }"));
            host->Eval("f()");  // leaves a compiled expression behind
            ObjectRef obj = VariantToObject(host->Eval("f()"));
            ObjectRef error = host->GetError();
            StopEngine();
            bool quiet = GetPropertyVariant(obj, "a").vt == VT_EMPTY && host->Eval("1").vt == VT_EMPTY &&
                         obj->GetTypeInfo()->vars.empty();
            obj.reset();
            host.reset();
            error.reset();
            std::exit(quiet ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

// A regular expression that runs long gives its answer: the engine takes an interrupt
// during a match for too much recursion, so none may come unasked; a stop still ends it.
TEST(ScriptControlLimits, LongRegularExpressionsAnswerRightAndStayStoppable) {
    for (ScriptTarget target : {ScriptTarget::JScript58, ScriptTarget::ES2021}) {
        ScopedScriptTarget scoped(target);
        ScriptHost host = LoadedHost("function rep(s, n){ var r = ''; while (n--) r += s; return r; }");
        for (const char* expr : {"/(a+)+$/.test(rep('a', 21) + 'b')", "/^(?:x|z)*y/.test(rep('x', 100000))",
                                 "/a*a*a*a*a*b/.test(rep('a', 40))"}) {
            Variant v = host.Eval(expr);
            EXPECT_EQ(ReadError(host).number, 0) << expr << " " << ReadError(host).description;
            EXPECT_EQ(v.vt, VT_BOOL) << expr;
            EXPECT_FALSE(VariantToBool(v)) << expr;
        }
        {
            Stopper stopper;
            host.Eval("/(a+)+$/.test(rep('a', 40) + 'b')");
        }
        EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kStopped));
        EXPECT_EQ(ReadError(host).description, Ansi("脚本已被用户停止"));
    }
}

// A result too big to be read ends as an engine error, and the process lives on.
TEST(ScriptControlLimits, AHugeTextResultIsOutOfMemoryNotAnAbort) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("");
    Variant v = host.Eval("'x'.repeat(150 * 1024 * 1024)");
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(ReadError(host).number, errors::ToNumber(errors::kOutOfMemory));
    EXPECT_EQ(ReadError(host).description, Ansi("内存不足"));
    EXPECT_EQ(VariantToText(host.Eval("'x'.repeat(1000).length + ''")), "1000");
}

// The memory limit is the growth of one call: what a stopped runaway keeps reachable
// does not fail the calls after it.
TEST(ScriptControlLimits, ACallAfterAKeptRunawayAllocationRuns) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);
    ScriptHost host = LoadedHost("var keep = [];");
    ScriptHost other = LoadedHost("");
    SetMemoryGrowthLimit(size_t(256) * 1024 * 1024);
    host.Eval("while (true) keep.push(new Uint8Array(8 << 20).fill(1));");
    int32_t runaway = ReadError(host).number;
    // No Reset: `keep` still holds the memory while a call of a good while runs.
    other.Eval("var t = Date.now(); while (Date.now() - t < 100) {} 5");
    int32_t after = ReadError(other).number;
    host.Eval("keep.length > 0");
    int32_t again = ReadError(host).number;
    SetMemoryGrowthLimit(size_t(2) * 1024 * 1024 * 1024);
    host.Reset();
    CollectGarbage();
    EXPECT_EQ(runaway, errors::ToNumber(errors::kOutOfMemory));
    EXPECT_EQ(after, 0);
    EXPECT_EQ(again, 0);
}

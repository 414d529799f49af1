/** @file Environment.cpp
 * The environment's engine side. The record works through resolve hooks: the engine
 * calls a class's resolve hook whenever a lookup misses an object's own properties, so
 * a hook on the global and on the watched page objects (navigator, document, location,
 * screen) sees every read of a name they lack. The hook defines nothing; it looks up
 * the prototype chain itself, and notes the name only when the chain lacks it too and
 * the read comes from the user's code. Lookups that hit cost nothing extra.
 */
#include "env/Environment.h"

#include <js/Array.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/Object.h>
#include <js/GlobalObject.h>
#include <js/PropertyAndElement.h>
#include <js/PropertyDescriptor.h>
#include <js/Realm.h>
#include <js/SavedFrameAPI.h>
#include <js/SourceText.h>
#include <js/Stack.h>
#include <sys/random.h>

#include <cstring>
#include <random>

#include "env/EnvironmentScripts.h"
#include "jscript/SourceGate.h"
#include "text/CodePage.h"

namespace qy::env {
namespace {

constexpr const char* kEnvironmentFile = "browser-env";
constexpr const char* kConsoleFile = "console";
// Where the environment script takes the console script (its function's last argument).
constexpr std::string_view kConsoleSlot = "/* console.js */ null";
constexpr const char* kHostName = "__qyEnvHost";
constexpr uint32_t kMaxRandomBytes = 65536;

Output g_output;

Environment* EnvironmentOf(JSObject* obj) {
    JS::Realm* realm = JS::GetObjectRealmOrNull(obj);
    return realm ? static_cast<Environment*>(JS::GetRealmPrivate(realm)) : nullptr;
}

std::u16string CopyString(JSContext* cx, JSString* s) {
    size_t n = JS_GetStringLength(s);
    std::u16string out(n, u'\0');
    if (n && !JS_CopyStringChars(cx, mozilla::Range<char16_t>(out.data(), n), s)) return u"";
    return out;
}

// ---- classes ---------------------------------------------------------------------

bool GlobalResolve(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool* resolvedp) {
    if (!JS_ResolveStandardClass(cx, obj, id, resolvedp)) return false;
    if (*resolvedp) return true;
    if (Environment* env = EnvironmentOf(obj)) env->NoteMiss(cx, obj, id, false);
    return true;
}

bool WatchedResolve(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool* resolvedp) {
    *resolvedp = false;
    if (Environment* env = EnvironmentOf(obj)) env->NoteMiss(cx, obj, id, true);
    return true;
}

const JSClassOps kWatchedOps = {nullptr, nullptr, nullptr, nullptr, WatchedResolve,
                                nullptr, nullptr, nullptr, nullptr, nullptr};
const JSClass kWatchedClass = {"Object", JSCLASS_HAS_RESERVED_SLOTS(1), &kWatchedOps, nullptr, nullptr, nullptr};
// Chrome's document.all: a collection that reads as undefined and false.
const JSClass kUndetectableClass = {"HTMLAllCollection", JSCLASS_EMULATES_UNDEFINED, nullptr, nullptr, nullptr,
                                    nullptr};
const JSClass kHostClass = {"EnvironmentHost", JSCLASS_HAS_RESERVED_SLOTS(1), nullptr, nullptr, nullptr, nullptr};

// ---- host natives ----------------------------------------------------------------

/// host.line(text): one line for the log.
bool HostLine(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    JS::RootedString s(cx, JS::ToString(cx, args.get(0)));
    if (!s) return false;
    if (g_output) {
        std::u16string line = u"-->" + CopyString(cx, s);
        // The hook is the embedder's code: nothing it throws may cross into the engine.
        try {
            g_output(line);
        } catch (...) {
        }
    }
    return true;
}

/// host.create(proto, name): a watched object named `name` inheriting from `proto`.
bool HostCreate(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject proto(cx, args.get(0).isObject() ? &args.get(0).toObject() : nullptr);
    JS::RootedString name(cx, JS::ToString(cx, args.get(1)));
    if (!name) return false;
    JSObject* obj = JS_NewObjectWithGivenProto(cx, &kWatchedClass, proto);
    if (!obj) return false;
    JS::SetReservedSlot(obj, 0, JS::StringValue(name));
    args.rval().setObject(*obj);
    return true;
}

/// host.accessor(obj, name, get, set): an enumerable, configurable accessor property.
bool HostAccessor(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isObject() || !args.get(2).isObject() || !args.get(3).isObject()) {
        JS_ReportErrorASCII(cx, "accessor: object and functions expected");
        return false;
    }
    JS::RootedObject obj(cx, &args.get(0).toObject());
    JS::RootedObject getter(cx, &args.get(2).toObject()), setter(cx, &args.get(3).toObject());
    JS::RootedId id(cx);
    JS::RootedValue key(cx, args.get(1));
    if (!JS_ValueToId(cx, key, &id)) return false;
    return JS_DefinePropertyById(cx, obj, id, getter, setter, JSPROP_ENUMERATE);
}

/// host.randomBytes(n): n bytes from the system's random source, as an array.
bool HostRandomBytes(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    double wanted = args.get(0).isNumber() ? args.get(0).toNumber() : 0;
    uint32_t n = wanted > 0 ? static_cast<uint32_t>(std::min<double>(wanted, kMaxRandomBytes)) : 0;
    std::vector<unsigned char> bytes(n);
    size_t got = 0;
    while (got < n) {
        ssize_t r = getrandom(bytes.data() + got, n - got, 0);
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
    if (got < n) {
        std::random_device device;
        for (; got < n; ++got) bytes[got] = static_cast<unsigned char>(device());
    }
    JS::RootedObject array(cx, JS::NewArrayObject(cx, n));
    if (!array) return false;
    for (uint32_t i = 0; i < n; ++i)
        if (!JS_SetElement(cx, array, i, static_cast<int32_t>(bytes[i]))) return false;
    args.rval().setObject(*array);
    return true;
}

/// host.undetectable(): an object that reads as undefined (typeof, ==, truth).
bool HostUndetectable(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject obj(cx, JS_NewObject(cx, &kUndetectableClass));
    if (!obj || !JS_DefineProperty(cx, obj, "length", 0, JSPROP_ENUMERATE)) return false;
    args.rval().setObject(*obj);
    return true;
}

/// host.timers(run): the function that runs the queued timers.
bool HostTimers(JSContext*, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.thisv().isObject() || JS::GetClass(&args.thisv().toObject()) != &kHostClass) return true;
    if (args.get(0).isObject() && JS::IsCallable(&args.get(0).toObject()))
        JS::SetReservedSlot(&args.thisv().toObject(), 0, args.get(0));
    return true;
}

const JSFunctionSpec kHostFunctions[] = {
    JS_FN("line", HostLine, 1, 0),
    JS_FN("create", HostCreate, 2, 0),
    JS_FN("accessor", HostAccessor, 4, 0),
    JS_FN("randomBytes", HostRandomBytes, 1, 0),
    JS_FN("undetectable", HostUndetectable, 0, 0),
    JS_FN("timers", HostTimers, 1, 0),
    JS_FS_END,
};

/// The whole script stencil `compiled` was made from, run in the current realm.
bool RunStencil(JSContext* cx, JS::Stencil* compiled, const char* file, JS::MutableHandleValue rv) {
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(file, 1);
    JS::InstantiateOptions instantiate(opts);
    JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiate, compiled));
    return script && JS_ExecuteScript(cx, script, rv);
}

RefPtr<JS::Stencil> CompileText(JSContext* cx, const std::u16string& code, const char* file) {
    if (code.empty()) return nullptr;
    JS::SourceText<char16_t> src;
    if (!src.init(cx, code.data(), code.size(), JS::SourceOwnership::Borrowed)) return nullptr;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(file, 1);
    opts.setForceFullParse();
    RefPtr<JS::Stencil> stencil = JS::CompileGlobalScriptToStencil(cx, opts, src);
    if (!stencil) JS_ClearPendingException(cx);
    return stencil;
}

/// The script as each target compiles it: under JScript it passes JScript's gate once
/// for the process (the gate may rewrite it, as it would the user's copy).
const std::u16string& CompiledText(bool jscript) {
    static const std::u16string modern = text::Utf8ToUtf16(ScriptText());
    if (!jscript) return modern;
    static const std::u16string gated = [] {
        jscript::ConditionalState cc;
        jscript::PreparedCode prepared = jscript::PrepareJScript(modern, cc, jscript::CodeKind::Program);
        return prepared.error ? std::u16string() : std::move(prepared.code);
    }();
    return gated;
}

bool EnumerableIds(JSContext* cx, JS::HandleObject obj, JS::MutableHandle<JS::IdVector> ids) {
    return JS_Enumerate(cx, obj, ids);
}

bool HostOf(JSContext* cx, JS::HandleObject global, JS::MutableHandleObject host) {
    JS::RootedValue v(cx);
    if (!JS_GetProperty(cx, global, kHostName, &v)) return false;
    if (!v.isObject() || JS::GetClass(&v.toObject()) != &kHostClass) {
        host.set(nullptr);
        return true;
    }
    host.set(&v.toObject());
    return true;
}

}  // namespace

std::string_view ScriptText() {
    static const std::string text = [] {
        std::string page(scripts::kTool_browser);
        // Without the slot (a fault the tests catch) the page script finds no console
        // and the environment fails to install.
        if (size_t at = page.find(kConsoleSlot); at != std::string::npos)
            page.replace(at, kConsoleSlot.size(), scripts::kTool_console);
        return page;
    }();
    return text;
}

std::string_view ConsoleScriptText() { return scripts::kTool_console; }

std::string InsertableBlock() {
    return "// ==== 浏览器环境（青柚JS调试工具插入，可随意修改；复制和导出时随代码带走）====\n" +
           std::string(ScriptText()) + "// ==== 浏览器环境结束 ====\n";
}

RefPtr<JS::Stencil> CompileScript(JSContext* cx, bool jscript) {
    return CompileText(cx, CompiledText(jscript), kEnvironmentFile);
}

RefPtr<JS::Stencil> CompileConsole(JSContext* cx) {
    static const std::u16string code = text::Utf8ToUtf16(ConsoleScriptText());
    return CompileText(cx, code, kConsoleFile);
}

bool InstallConsole(JSContext* cx, JS::HandleObject global, JS::Stencil* compiled) {
    bool ok = [&] {
        JS::RootedValue make(cx);
        if (!compiled || !RunStencil(cx, compiled, kConsoleFile, &make) || !make.isObject()) return false;
        // The lines go where the environment's go: host.line is the writer.
        JSFunction* write = JS_NewFunction(cx, HostLine, 1, 0, "write");
        if (!write) return false;
        JS::RootedValueArray<1> argv(cx);
        argv[0].setObject(*JS_GetFunctionObject(write));
        JS::RootedValue kit(cx), console(cx);
        if (!JS::Call(cx, JS::UndefinedHandleValue, make, argv, &kit) || !kit.isObject()) return false;
        JS::RootedObject kitObject(cx, &kit.toObject());
        if (!JS_GetProperty(cx, kitObject, "console", &console) || !console.isObject()) return false;
        // As a page's: writable and configurable, not enumerable.
        return JS_DefineProperty(cx, global, "console", console, 0);
    }();
    if (!ok) JS_ClearPendingException(cx);
    return ok;
}

void SetOutput(Output output) { g_output = std::move(output); }

const JSClass* GlobalClass() {
    static const JSClassOps ops = [] {
        JSClassOps o = JS::DefaultGlobalClassOps;
        o.resolve = GlobalResolve;
        // Any name may be noted: the engine must not cache a missing name's lookup.
        o.mayResolve = nullptr;
        return o;
    }();
    static const JSClass cls = {"global", JSCLASS_GLOBAL_FLAGS, &ops, nullptr, nullptr, nullptr};
    return &cls;
}

Environment::Environment(Options options) : m_options(std::move(options)) {}

Environment::~Environment() = default;

bool Environment::Install(JSContext* cx, JS::HandleObject global, JS::Stencil* compiled) {
    JS::SetRealmPrivate(JS::GetObjectRealmOrNull(global), this);
    m_recording = false;
    bool ok = [&] {
        if (!compiled) return false;
        JS::RootedObject host(cx, JS_NewObject(cx, &kHostClass));
        if (!host || !JS_DefineFunctions(cx, host, kHostFunctions)) return false;
        m_page = NewPageState(m_options.address, m_options.jscript);
        if (!DefinePageHost(cx, host, *m_page)) return false;
        JS::RootedString target(cx, JS_NewStringCopyZ(cx, m_options.jscript ? "jscript" : "es2021"));
        JS::RootedString address(cx, JS_NewUCStringCopyN(cx, m_options.address.data(), m_options.address.size()));
        if (!target || !address || !JS_DefineProperty(cx, host, "target", target, JSPROP_ENUMERATE) ||
            !JS_DefineProperty(cx, host, "address", address, JSPROP_ENUMERATE))
            return false;
        if (!JS_DefineProperty(cx, global, kHostName, host, JSPROP_READONLY | JSPROP_PERMANENT)) return false;
        JS::Rooted<JS::IdVector> before(cx, JS::IdVector(cx));
        if (!EnumerableIds(cx, global, &before)) return false;
        JS::RootedValue rv(cx);
        if (!RunStencil(cx, compiled, kEnvironmentFile, &rv)) return false;
        // What the environment put on the global is the page's, not the user's: it
        // stays out of enumerations (the function list, for-in over the global).
        JS::Rooted<JS::IdVector> after(cx, JS::IdVector(cx));
        if (!EnumerableIds(cx, global, &after)) return false;
        for (size_t i = 0; i < after.length(); ++i) {
            bool old = false;
            for (size_t j = 0; j < before.length() && !old; ++j) old = before[j] == after[i];
            if (old) continue;
            JS::RootedId id(cx, after[i]);
            JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> desc(cx);
            if (!JS_GetOwnPropertyDescriptorById(cx, global, id, &desc)) return false;
            if (desc.isNothing()) continue;
            JS::Rooted<JS::PropertyDescriptor> d(cx, *desc);
            d.setEnumerable(false);
            if (!JS_DefinePropertyById(cx, global, id, d)) return false;
        }
        return true;
    }();
    if (!ok) JS_ClearPendingException(cx);
    m_recording = true;
    return ok;
}

void Environment::Detach(JSObject* global) {
    if (!global) return;
    if (JS::Realm* realm = JS::GetObjectRealmOrNull(global); realm && JS::GetRealmPrivate(realm) == this)
        JS::SetRealmPrivate(realm, nullptr);
}

bool Environment::RunTimers(JSContext* cx, JS::HandleObject global) {
    JS::RootedObject host(cx);
    if (!HostOf(cx, global, &host)) {
        JS_ClearPendingException(cx);
        return true;
    }
    if (!host) return true;
    JS::RootedValue run(cx, JS::GetReservedSlot(host, 0));
    if (!run.isObject()) return true;
    JS::RootedValueArray<1> argv(cx);
    argv[0].setInt32(kTimerCallbacksPerRun);
    JS::RootedValue rv(cx);
    if (JS::Call(cx, JS::UndefinedHandleValue, run, argv, &rv)) return true;
    // The runner catches what callbacks throw; a failure without an exception is the
    // watchdog ending the run.
    if (!JS_IsExceptionPending(cx)) return false;
    JS_ClearPendingException(cx);
    return true;
}

std::vector<Miss> Environment::TakeMisses(JSContext* cx, JS::HandleObject global) {
    std::vector<Miss> taken = m_record.Take(), still;
    m_busy = true;
    for (Miss& m : taken) {
        // A name the script defined after looking for it (`window.md5 = …`, a global
        // var) is no longer missing.
        JS::RootedObject holder(cx, global);
        if (!m.object.empty()) {
            JS::RootedValue v(cx);
            if (!JS_GetProperty(cx, global, m.object.c_str(), &v)) JS_ClearPendingException(cx);
            holder = v.isObject() ? &v.toObject() : nullptr;
        }
        bool found = false;
        if (holder) {
            std::u16string member = text::Utf8ToUtf16(m.member);
            if (!JS_HasUCProperty(cx, holder, member.data(), member.size(), &found)) JS_ClearPendingException(cx);
        }
        if (!found) still.push_back(std::move(m));
    }
    m_busy = false;
    return still;
}

bool Environment::FindUserPlace(JSContext* cx, Place& place) {
    JS::AutoFilename file;
    unsigned line = 0, column = 0;
    if (!JS::DescribeScriptedCaller(cx, &file, &line, &column) || !file.get()) return false;
    auto take = [&](const char* f, unsigned l, unsigned c) {
        place.file = f;
        place.line = l;
        place.column = c > 0 ? c - 1 : 0;  // the engine counts columns from 1 here
    };
    if ((m_options.isUserCode && m_options.isUserCode(file.get())) || IsPageScriptName(file.get())) {
        take(file.get(), line, column);
        return true;
    }
    if (std::strcmp(file.get(), kEnvironmentFile) == 0) return false;
    // A read in a helper of the language rules (rewritten code calls them): the place
    // is that of the user's code that called it.
    JS::RootedObject stack(cx);
    if (!JS::CaptureCurrentStack(cx, &stack, JS::StackCapture(JS::MaxFrames(16))) || !stack) {
        JS_ClearPendingException(cx);
        return false;
    }
    JS::RootedObject frame(cx, stack);
    while (frame) {
        JS::RootedString source(cx);
        uint32_t l = 0, c = 0;
        JS::GetSavedFrameSource(cx, nullptr, frame, &source, JS::SavedFrameSelfHosted::Exclude);
        JS::GetSavedFrameLine(cx, nullptr, frame, &l, JS::SavedFrameSelfHosted::Exclude);
        JS::GetSavedFrameColumn(cx, nullptr, frame, &c, JS::SavedFrameSelfHosted::Exclude);
        std::string f = source ? text::Utf16ToUtf8(CopyString(cx, source)) : std::string();
        if (f == kEnvironmentFile) return false;
        if (m_options.isUserCode && m_options.isUserCode(f.c_str())) {
            take(f.c_str(), l, c);
            return true;
        }
        JS::RootedObject parent(cx);
        JS::GetSavedFrameParent(cx, nullptr, frame, &parent, JS::SavedFrameSelfHosted::Exclude);
        frame = parent;
    }
    return false;
}

void Environment::NoteMiss(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool watched) {
    // The environment's own set-up adds its members through this very hook: it costs
    // a flag test until recording starts.
    if (!m_recording || m_busy || !id.isString()) return;
    m_busy = true;
    Place place;
    bool user = FindUserPlace(cx, place);
    bool inherited = false;
    if (user) {
        JS::RootedObject proto(cx);
        if (JS_GetPrototype(cx, obj, &proto) && proto && !JS_HasPropertyById(cx, proto, id, &inherited))
            inherited = false;
        JS_ClearPendingException(cx);
    }
    if (user && !inherited) {
        JS::RootedValue key(cx);
        JS::RootedString name(cx);
        if (JS_IdToValue(cx, id, &key) && key.isString()) name = key.toString();
        std::string object;
        if (watched) {
            JS::Value objectName = JS::GetReservedSlot(obj, 0);
            if (objectName.isString()) object = text::Utf16ToUtf8(CopyString(cx, objectName.toString()));
        }
        if (name) m_record.Note(object, text::Utf16ToUtf8(CopyString(cx, name)), place);
    }
    m_busy = false;
}

}  // namespace qy::env

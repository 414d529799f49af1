/** @file ScriptWatch.cpp
 * The watch global: the engine's Debugger with our script (scripts/hooks.js), made the
 * first time a fresh global is to be watched. This side hands it the paths, makes the
 * native-looking replacements it asks for and passes what it sees on.
 */
#include "debug/ScriptWatch.h"

#include <js/CallAndConstruct.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Debug.h>
#include <js/SourceText.h>
#include <js/Wrapper.h>
#include <jsfriendapi.h>

#include "debug/DebugScripts.h"
#include "debug/PageBreaks.h"
#include "debug/ToolGlobal.h"
#include "jscript/Runtime.h"
#include "jscript/SourceGate.h"
#include "persona/NativeFunction.h"
#include "script/DynamicCodeNames.h"
#include "script/Engine.h"
#include "script/EngineInternal.h"
#include "script/JsBridge.h"
#include "text/CodePage.h"

namespace qy::debug {

using script::detail::Cx;
using script::detail::EngineCall;
using script::detail::JsObjectRoot;

namespace {

ScriptWatch* g_watch = nullptr;

const JSClass kWatchGlobalClass = {"QyWatch", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr, nullptr};

std::u16string StringOf(JSContext* cx, JS::HandleValue v) {
    if (v.isString()) return script::detail::CopyString(cx, v.toString());
    return {};
}

uint32_t NumberOf(const JS::Value& v) { return v.isNumber() && v.toNumber() >= 0 ? static_cast<uint32_t>(v.toNumber()) : 0; }

/// __qyWrap(global, impl, name, length, original): a native of `global`'s realm doing
/// impl's work; it may be used with `new` when the original may.
bool WrapNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    if (!args.get(0).isObject() || !args.get(1).isObject()) return true;
    JS::RootedObject target(cx, js::UncheckedUnwrap(&args.get(0).toObject()));
    std::u16string name = StringOf(cx, args.get(2));
    unsigned length = NumberOf(args.get(3));
    JS::RootedObject impl(cx, &args.get(1).toObject());
    bool constructor = args.get(4).isObject() && JS::IsConstructor(&args.get(4).toObject());
    JS::RootedValue made(cx);
    {
        JSAutoRealm ar(cx, target);
        if (!JS_WrapObject(cx, &impl)) return false;
        JSFunction* fn = persona::NewNativeWrapper(cx, impl, name, length, constructor);
        if (!fn) return false;
        made.setObject(*JS_GetFunctionObject(fn));
    }
    if (!JS_WrapValue(cx, &made)) return false;
    args.rval().set(made);
    return true;
}

/// __qyImpl(fn): the script function behind a native-looking page member, or null.
bool ImplNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    if (!args.get(0).isObject()) return true;
    JS::RootedObject fn(cx, js::UncheckedUnwrap(&args.get(0).toObject()));
    JS::RootedObject impl(cx);
    {
        JSAutoRealm ar(cx, fn);
        if (!persona::UnwrapNative(cx, fn, &impl) || !impl) return true;
    }
    JS::RootedValue v(cx, JS::ObjectValue(*impl));
    if (!JS_WrapValue(cx, &v)) return false;
    args.rval().set(v);
    return true;
}

/// __qyMap(url, line, column) -> [line, column] in the user's text.
bool MapNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    uint32_t line = NumberOf(args.get(1)), column = NumberOf(args.get(2));
    if (args.get(0).isString()) {
        std::string file = text::Utf16ToUtf8(script::detail::CopyString(cx, args.get(0).toString()));
        if (auto rewritten = jscript::FindRewrittenSource(file)) {
            auto [l, c] = rewritten->positions.ToOriginal(line, column);
            line = l;
            column = c;
        }
    }
    JS::RootedValueArray<2> items(cx);
    items[0].setNumber(line);
    items[1].setNumber(column);
    JSObject* arr = JS::NewArrayObject(cx, items);
    if (!arr) return false;
    args.rval().setObject(*arr);
    return true;
}

}  // namespace

bool CallNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    ScriptWatch* w = g_watch;
    if (!w) return true;
    HookCall call;
    call.name = StringOf(cx, args.get(0));
    call.arguments = StringOf(cx, args.get(1));
    call.result = StringOf(cx, args.get(2));
    call.line = NumberOf(args.get(3));
    call.count = args.get(4).isNumber() ? static_cast<uint64_t>(args.get(4).toNumber()) : 0;
    call.threw = args.get(5).isBoolean() && args.get(5).toBoolean();
    // The run pauses at its next statement, in the frame that made the call.
    if (args.get(6).isBoolean() && args.get(6).toBoolean()) script::RequestPause();
    if (w->m_callOutput) w->m_callOutput(call);
    return true;
}

bool DynamicNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    ScriptWatch* w = g_watch;
    if (!w) return true;
    DynamicSource source;
    source.number = static_cast<uint32_t>(w->m_dynamic.size() + 1);
    source.kind = StringOf(cx, args.get(0));
    source.line = NumberOf(args.get(1));
    source.text = StringOf(cx, args.get(2));
    source.file = text::Utf16ToUtf8(StringOf(cx, args.get(3)));
    w->m_dynamic.push_back(source);
    if (w->m_dynamicOutput) w->m_dynamicOutput(source);
    return true;
}

bool FreshNative(JSContext*, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (ScriptWatch* w = g_watch) {
        w->m_dynamic.clear();
        w->m_attached = true;
    }
    return true;
}

void ForgetNextObserver(script::DebugObserver* observer) {
    if (g_watch && g_watch->m_next == observer) g_watch->m_next = nullptr;
    ForgetPageBreaksObserver(observer);
}

std::u16string HookLine(const HookCall& call) {
    std::u16string line = u"-->调用 " + call.name + u"(" + call.arguments + u")" +
                          (call.threw ? u" 抛出 " : u" = ") + call.result;
    if (call.line) line += u"（第 " + text::Utf8ToUtf16(std::to_string(call.line)) + u" 行）";
    return line;
}

std::u16string DynamicTitleOfText(const std::u16string& text) {
    // (A free function: the watch's list is private to it.)
    if (!g_watch) return {};
    const auto& all = g_watch->m_dynamic;
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if (it->text == text) return DynamicTitle(*it);
    return {};
}

std::u16string DynamicTitle(const DynamicSource& source) {
    std::u16string title = u"动态代码 #" + text::Utf8ToUtf16(std::to_string(source.number)) + u" (" + source.kind;
    if (source.line) title += u", 第 " + text::Utf8ToUtf16(std::to_string(source.line)) + u" 行";
    return title + u")";
}

struct ScriptWatch::Impl {
    std::unique_ptr<JsObjectRoot> global;
    bool failed = false;

    bool Ready(JSContext* cx) {
        if (global && global->alive()) return true;
        if (failed) return false;
        global = MakeToolGlobal(cx, &kWatchGlobalClass,
                                {{"__qyWrap", WrapNative, 5},
                                 {"__qyMap", MapNative, 3},
                                 {"__qyImpl", ImplNative, 1},
                                 {"__qyCall", CallNative, 7},
                                 {"__qyDynamic", DynamicNative, 4},
                                 {"__qyFresh", FreshNative, 0}},
                                scripts::kTool_hooks, "watch");
        failed = !global;
        return !failed;
    }

    bool Call(JSContext* cx, const char* method, const JS::HandleValueArray& args) {
        JS::RootedValue rv(cx);
        return Call(cx, method, args, &rv);
    }

    bool Call(JSContext* cx, const char* method, const JS::HandleValueArray& args, JS::MutableHandleValue rv) {
        JS::RootedObject g(cx, global->get());
        JS::RootedValue api(cx);
        if (!JS_GetProperty(cx, g, "__qyWatch", &api) || !api.isObject()) {
            JS_ClearPendingException(cx);
            return false;
        }
        JS::RootedObject apiObj(cx, &api.toObject());
        if (!JS_CallFunctionName(cx, apiObj, method, args, rv)) {
            JS_ClearPendingException(cx);
            return false;
        }
        return true;
    }
};

ScriptWatch::ScriptWatch() : m_impl(std::make_unique<Impl>()) {
    g_watch = this;
    m_next = script::CurrentDebugObserver();
    script::SetDebugObserver(this);
    // Errors in code made at run time are named after the newest source made under
    // the engine's name for it.
    script::SetDynamicCodeNamer([this](const std::string& file) {
        for (auto it = m_dynamic.rbegin(); it != m_dynamic.rend(); ++it)
            if (it->file == file) return DynamicTitle(*it);
        return std::u16string();
    });
}

ScriptWatch::~ScriptWatch() {
    if (script::CurrentDebugObserver() == this) script::SetDebugObserver(m_next);
    ForgetPageBreaksObserver(this);
    if (JSContext* cx = Cx(); cx && m_impl->global && m_impl->global->alive()) {
        JSAutoRealm ar(cx, m_impl->global->get());
        m_impl->Call(cx, "forget", JS::HandleValueArray::empty());
        m_attached = false;
    }
    if (g_watch == this) {
        g_watch = nullptr;
        script::SetDynamicCodeNamer(nullptr);
    }
}

void ScriptWatch::Detach(JSContext* cx) {
    if (!m_attached || !m_impl->global || !m_impl->global->alive()) return;
    JSAutoRealm ar(cx, m_impl->global->get());
    m_impl->Call(cx, "detach", JS::HandleValueArray::empty());
    m_attached = false;
}

void ScriptWatch::GlobalCreated(JSContext* cx, JS::HandleObject global, script::ScriptTarget target) {
    // A page's own scripts may have started the watch of this global already.
    if (!m_attached || !Watching(cx, global)) {
        Detach(cx);
        m_dynamic.clear();
        Attach(cx, global);
    }
    ExpectGlobal();
    if (m_next) m_next->GlobalCreated(cx, global, target);
}

JSObject* ScriptWatch::NewPaths(JSContext* cx) {
    JS::RootedValueVector paths(cx);
    for (const std::u16string& p : m_paths) {
        JSString* s = JS_NewUCStringCopyN(cx, p.data(), p.size());
        if (!s || !paths.append(JS::StringValue(s))) return nullptr;
    }
    return JS::NewArrayObject(cx, paths);
}

void ScriptWatch::Attach(JSContext* cx, JS::HandleObject global) {
    if ((m_paths.empty() && !m_captureDynamic) || !m_impl->Ready(cx)) return;
    JSAutoRealm ar(cx, m_impl->global->get());
    EngineCall call;
    JS::RootedObject list(cx, NewPaths(cx));
    JS::RootedValueArray<4> args(cx);
    JSString* pause = JS_NewUCStringCopyN(cx, m_pauseText.data(), m_pauseText.size());
    if (pause) args[3].setString(pause);
    args[0].setObject(*global);
    if (list) args[1].setObject(*list);
    args[2].setBoolean(m_captureDynamic);
    if (list && JS_WrapValue(cx, args[0]))
        m_attached = m_impl->Call(cx, "attach", args);
    else
        JS_ClearPendingException(cx);
}

bool ScriptWatch::Watching(JSContext* cx, JS::HandleObject global) {
    if (!m_impl->global || !m_impl->global->alive()) return false;
    JSAutoRealm ar(cx, m_impl->global->get());
    JS::RootedValue arg(cx, JS::ObjectValue(*global)), rv(cx);
    if (!JS_WrapValue(cx, &arg)) {
        JS_ClearPendingException(cx);
        return false;
    }
    return m_impl->Call(cx, "watching", JS::HandleValueArray(arg), &rv) && rv.isTrue();
}

void ScriptWatch::ExpectGlobal() {
    JSContext* cx = Cx();
    bool wanted = !m_paths.empty() || m_captureDynamic;
    if (!cx || (!wanted && !m_impl->global) || !m_impl->Ready(cx)) return;
    JSAutoRealm ar(cx, m_impl->global->get());
    JS::RootedObject list(cx, NewPaths(cx));
    JSString* pause = JS_NewUCStringCopyN(cx, m_pauseText.data(), m_pauseText.size());
    if (!list || !pause) {
        JS_ClearPendingException(cx);
        return;
    }
    JS::RootedValueArray<3> args(cx);
    args[0].setObject(*list);
    args[1].setBoolean(m_captureDynamic);
    args[2].setString(pause);
    JS::RootedValue rv(cx);
    m_impl->Call(cx, "expect", args, &rv);
}

void ScriptWatch::PageStarting(JSContext* cx, JS::HandleObject global, script::ScriptTarget target,
                          const std::u16string& page) {
    if (m_next) m_next->PageStarting(cx, global, target, page);
}

void ScriptWatch::CodeAdded(JSContext* cx, JS::HandleObject global, const std::string& file,
                            const std::u16string& original) {
    if (m_next) m_next->CodeAdded(cx, global, file, original);
}

}  // namespace qy::debug

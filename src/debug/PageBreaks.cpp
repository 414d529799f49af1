/** @file PageBreaks.cpp
 * The page breakpoints' global: the engine's Debugger with our script
 * (scripts/pagebreaks.js), made when the first breakpoint is set. This side hands it
 * the list, answers a hit with a log line or a pause through the debugger, and makes
 * the native-looking accessors a watched data member is shown with.
 */
#include "debug/PageBreaks.h"

#include <js/Array.h>
#include <js/Wrapper.h>
#include <jsfriendapi.h>

#include "debug/DebugScripts.h"
#include "debug/Debugger.h"
#include "debug/ToolGlobal.h"
#include "jscript/Runtime.h"
#include "jscript/SourceGate.h"
#include "persona/NativeFunction.h"
#include "script/Engine.h"
#include "script/EngineInternal.h"
#include "script/JsBridge.h"
#include "text/CodePage.h"
#include "text/LogLines.h"

namespace qy::debug {

using script::detail::Cx;
using script::detail::EngineCall;
using script::detail::JsObjectRoot;

namespace {

PageBreaks* g_breaks = nullptr;

const JSClass kBreaksGlobalClass = {"QyPageBreaks", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps,
                                    nullptr, nullptr, nullptr};

std::u16string StringOf(JSContext* cx, JS::HandleValue v) {
    if (v.isString()) return script::detail::CopyString(cx, v.toString());
    return {};
}

uint32_t NumberOf(const JS::Value& v) { return v.isNumber() && v.toNumber() >= 0 ? static_cast<uint32_t>(v.toNumber()) : 0; }

const char* KindKey(PageEvent kind) {
    switch (kind) {
        case PageEvent::Request: return "request";
        case PageEvent::Cookie: return "cookie";
        case PageEvent::Storage: return "storage";
        case PageEvent::Timer: return "timer";
        case PageEvent::AnimationFrame: return "frame";
        case PageEvent::Listener: return "event";
        case PageEvent::Access: return "access";
    }
    return "request";
}

/// __qyWrap(global, impl, name, length): a native of `global`'s realm doing impl's work.
bool WrapNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    if (!args.get(0).isObject() || !args.get(1).isObject()) return true;
    JS::RootedObject target(cx, js::UncheckedUnwrap(&args.get(0).toObject()));
    std::u16string name = StringOf(cx, args.get(2));
    JS::RootedObject impl(cx, &args.get(1).toObject());
    JS::RootedValue made(cx);
    {
        JSAutoRealm ar(cx, target);
        if (!JS_WrapObject(cx, &impl)) return false;
        JSFunction* fn = persona::NewNativeWrapper(cx, impl, name, NumberOf(args.get(3)), false);
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

/// __qyHit(index, value, line) -> "stop" when the run is to end.
bool HitNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    PageBreaks* b = g_breaks;
    uint32_t index = NumberOf(args.get(0));
    if (!b || b->m_inHit || index >= b->m_breaks.size()) return true;
    PageHit hit;
    hit.kind = b->m_breaks[index].kind;
    hit.value = StringOf(cx, args.get(1));
    hit.line = NumberOf(args.get(2));
    hit.log = b->m_breaks[index].log;
    std::optional<ResumeAction> action;
    b->m_inHit = true;
    if (!hit.log) action = PauseInScriptFrame(PageHitText(hit));
    b->m_inHit = false;
    if (!action && b->m_output) b->m_output(hit);
    if (action == ResumeAction::Stop) {
        JSString* stop = JS_NewStringCopyZ(cx, "stop");
        if (!stop) return false;
        args.rval().setString(stop);
    }
    return true;
}

std::u16string PageEventName(PageEvent kind) {
    switch (kind) {
        case PageEvent::Request: return u"请求";
        case PageEvent::Cookie: return u"Cookie 写入";
        case PageEvent::Storage: return u"存储写入";
        case PageEvent::Timer: return u"定时器回调";
        case PageEvent::AnimationFrame: return u"动画帧回调";
        case PageEvent::Listener: return u"事件监听";
        case PageEvent::Access: return u"属性访问";
    }
    return {};
}

std::u16string PageHitText(const PageHit& hit) {
    std::u16string name = PageEventName(hit.kind);
    if (hit.kind == PageEvent::Access) return hit.value;  // "读取 navigator.userAgent = …"
    return name + u" " + hit.value;
}

std::u16string PageLogLine(const PageHit& hit) {
    // The values come from the page: they stay on the logpoint's line.
    return u"-->日志点 第 " + text::Utf8ToUtf16(std::to_string(hit.line)) + u" 行: " +
           text::OneLogLine(PageHitText(hit));
}

void ForgetPageBreaksObserver(script::DebugObserver* observer) {
    if (g_breaks && g_breaks->m_next == observer) g_breaks->m_next = nullptr;
}

struct PageBreaks::Impl {
    std::unique_ptr<JsObjectRoot> global;
    std::unique_ptr<JsObjectRoot> debuggee;  ///< the main host's newest global
    bool failed = false;

    bool Ready(JSContext* cx) {
        if (global && global->alive()) return true;
        if (failed) return false;
        global = MakeToolGlobal(cx, &kBreaksGlobalClass,
                                {{"__qyHit", HitNative, 3},
                                 {"__qyWrap", WrapNative, 4},
                                 {"__qyImpl", ImplNative, 1},
                                 {"__qyMap", MapNative, 3}},
                                scripts::kTool_pagebreaks, "pagebreaks");
        failed = !global;
        return !failed;
    }

    bool Call(JSContext* cx, const char* method, const JS::HandleValueArray& args, JS::MutableHandleValue rv) {
        JS::RootedObject g(cx, global->get());
        JS::RootedValue api(cx);
        if (!JS_GetProperty(cx, g, "__qyPageBreaks", &api) || !api.isObject()) {
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

PageBreaks::PageBreaks() : m_impl(std::make_unique<Impl>()) {
    g_breaks = this;
    m_next = script::CurrentDebugObserver();
    script::SetDebugObserver(this);
}

PageBreaks::~PageBreaks() {
    if (script::CurrentDebugObserver() == this) script::SetDebugObserver(m_next);
    if (JSContext* cx = Cx(); cx && m_impl->global && m_impl->global->alive()) {
        JSAutoRealm ar(cx, m_impl->global->get());
        JS::RootedValue rv(cx);
        m_impl->Call(cx, "detach", JS::HandleValueArray::empty(), &rv);
    }
    if (g_breaks == this) g_breaks = nullptr;
}

void PageBreaks::SetBreaks(std::vector<PageBreak> breaks) {
    m_breaks = std::move(breaks);
    JSContext* cx = Cx();
    if (!cx || (m_breaks.empty() && !m_impl->global)) return;
    Send(cx);
}

void PageBreaks::Send(JSContext* cx) {
    if (!m_impl->Ready(cx)) return;
    JSAutoRealm ar(cx, m_impl->global->get());
    EngineCall call;
    JS::RootedValueVector items(cx);
    for (const PageBreak& b : m_breaks) {
        JS::RootedObject item(cx, JS_NewPlainObject(cx));
        JSString* kind = JS_NewStringCopyZ(cx, KindKey(b.kind));
        JSString* text = kind ? JS_NewUCStringCopyN(cx, b.text.data(), b.text.size()) : nullptr;
        if (!item || !text) break;
        JS::RootedValue kindValue(cx, JS::StringValue(kind)), textValue(cx, JS::StringValue(text));
        if (!JS_DefineProperty(cx, item, "kind", kindValue, JSPROP_ENUMERATE) ||
            !JS_DefineProperty(cx, item, "text", textValue, JSPROP_ENUMERATE) ||
            !JS_DefineProperty(cx, item, "log", b.log, JSPROP_ENUMERATE) || !items.append(JS::ObjectValue(*item)))
            break;
    }
    JS::RootedObject list(cx, JS::NewArrayObject(cx, items));
    if (!list) {
        JS_ClearPendingException(cx);
        return;
    }
    JS::RootedValue arg(cx, JS::ObjectValue(*list)), rv(cx);
    m_impl->Call(cx, "set", JS::HandleValueArray(arg), &rv);
    m_attached = false;
    // Set while a run is loaded: its global is watched from now on.
    if (!m_breaks.empty() && m_impl->debuggee && m_impl->debuggee->alive()) {
        JS::RootedValue target(cx, JS::ObjectValue(*m_impl->debuggee->get()));
        if (JS_WrapValue(cx, &target))
            m_attached = m_impl->Call(cx, "attach", JS::HandleValueArray(target), &rv);
        else
            JS_ClearPendingException(cx);
    }
}

std::vector<std::u16string> PageBreaks::PendingAccess() {
    std::vector<std::u16string> paths;
    JSContext* cx = Cx();
    if (!cx || !m_impl->global || !m_impl->global->alive()) return paths;
    JSAutoRealm ar(cx, m_impl->global->get());
    JS::RootedValue rv(cx);
    if (!m_impl->Call(cx, "pending", JS::HandleValueArray::empty(), &rv) || !rv.isObject()) return paths;
    JS::RootedObject arr(cx, &rv.toObject());
    uint32_t length = 0;
    if (!JS::GetArrayLength(cx, arr, &length)) {
        JS_ClearPendingException(cx);
        return paths;
    }
    for (uint32_t i = 0; i < length; ++i) {
        JS::RootedValue item(cx);
        if (JS_GetElement(cx, arr, i, &item)) paths.push_back(StringOf(cx, item));
    }
    JS_ClearPendingException(cx);
    return paths;
}

void PageBreaks::GlobalCreated(JSContext* cx, JS::HandleObject global, script::ScriptTarget target) {
    m_impl->debuggee = std::make_unique<JsObjectRoot>(global);
    m_attached = false;
    if (!m_breaks.empty() && m_impl->Ready(cx)) {
        JSAutoRealm ar(cx, m_impl->global->get());
        EngineCall call;
        JS::RootedValue arg(cx, JS::ObjectValue(*global)), rv(cx);
        if (JS_WrapValue(cx, &arg))
            m_attached = m_impl->Call(cx, "attach", JS::HandleValueArray(arg), &rv);
        else
            JS_ClearPendingException(cx);
    }
    if (m_next) m_next->GlobalCreated(cx, global, target);
}

void PageBreaks::PageStarting(JSContext* cx, JS::HandleObject global, script::ScriptTarget target,
                          const std::u16string& page) {
    if (m_next) m_next->PageStarting(cx, global, target, page);
}

void PageBreaks::CodeAdded(JSContext* cx, JS::HandleObject global, const std::string& file,
                           const std::u16string& original) {
    if (m_next) m_next->CodeAdded(cx, global, file, original);
}

}  // namespace qy::debug

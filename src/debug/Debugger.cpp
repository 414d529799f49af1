/** @file Debugger.cpp
 * The debugger global: the engine's Debugger object lives in a global of its own (it
 * may not share a compartment with what it debugs), made the first time something asks
 * for the debugger. Our script there (scripts/debugger.js) does the work of hooks and
 * reading; this side hands it the settings, answers its natives and copies what it
 * reads into plain structs.
 */
#include "debug/Debugger.h"

#include <chrono>

#include <js/CompilationAndEvaluation.h>
#include <js/Debug.h>
#include <js/SourceText.h>
#include <js/Wrapper.h>
#include <jsfriendapi.h>

#include "debug/DebugScripts.h"
#include "debug/ToolGlobal.h"
#include "debug/PausedClock.h"
#include "debug/ScriptWatch.h"
#include "jscript/Runtime.h"
#include "jscript/SourceGate.h"
#include "script/Engine.h"
#include "script/EngineInternal.h"
#include "script/JsBridge.h"
#include "script/TypedConsole.h"
#include "text/CodePage.h"

namespace qy::debug {

using script::detail::Cx;
using script::detail::EngineCall;
using script::detail::JsObjectRoot;

namespace {

Debugger* g_debugger = nullptr;

const JSClass kDebuggerGlobalClass = {"QyDebugger", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps,
                                      nullptr, nullptr, nullptr};

std::u16string StringOf(JSContext* cx, JS::HandleValue v) {
    if (v.isString()) return script::detail::CopyString(cx, v.toString());
    return {};
}

std::u16string StringProp(JSContext* cx, JS::HandleObject obj, const char* name) {
    JS::RootedValue v(cx);
    if (!JS_GetProperty(cx, obj, name, &v)) return {};
    return StringOf(cx, v);
}

double NumberProp(JSContext* cx, JS::HandleObject obj, const char* name, double fallback = 0) {
    JS::RootedValue v(cx);
    if (!JS_GetProperty(cx, obj, name, &v) || !v.isNumber()) return fallback;
    return v.toNumber();
}

bool BoolProp(JSContext* cx, JS::HandleObject obj, const char* name) {
    JS::RootedValue v(cx);
    return JS_GetProperty(cx, obj, name, &v) && v.isBoolean() && v.toBoolean();
}

JSString* NewString(JSContext* cx, const std::u16string& s) { return JS_NewUCStringCopyN(cx, s.data(), s.size()); }

/// Each element of a JS array that is an object, in order.
template <typename Fn>
void ForEachObject(JSContext* cx, JS::HandleValue array, Fn&& fn) {
    if (!array.isObject()) return;
    JS::RootedObject arr(cx, &array.toObject());
    uint32_t length = 0;
    if (!JS::GetArrayLength(cx, arr, &length)) return;
    for (uint32_t i = 0; i < length; ++i) {
        JS::RootedValue item(cx);
        if (!JS_GetElement(cx, arr, i, &item) || !item.isObject()) continue;
        JS::RootedObject obj(cx, &item.toObject());
        fn(obj);
    }
}

PauseReason ReasonOf(const std::u16string& reason) {
    if (reason == u"breakpoint") return PauseReason::Breakpoint;
    if (reason == u"debugger") return PauseReason::DebuggerStatement;
    if (reason == u"exception") return PauseReason::Exception;
    if (reason == u"pause") return PauseReason::Requested;
    if (reason == u"page") return PauseReason::PageBreak;
    return PauseReason::Step;
}

const char16_t* ActionName(ResumeAction action) {
    switch (action) {
        case ResumeAction::StepOver: return u"over";
        case ResumeAction::StepInto: return u"into";
        case ResumeAction::StepOut: return u"out";
        case ResumeAction::Stop: return u"stop";
        case ResumeAction::Continue: break;
    }
    return u"continue";
}

}  // namespace

bool PauseNative(JSContext* cx, unsigned argc, JS::Value* vp);
bool LogNative(JSContext* cx, unsigned argc, JS::Value* vp);

struct Debugger::Impl {
    std::unique_ptr<JsObjectRoot> global;     ///< the debugger's own global
    std::unique_ptr<JsObjectRoot> debuggee;   ///< the main host's newest global
    std::unique_ptr<JsObjectRoot> console;    ///< the log's own console, for typed expressions
    std::vector<std::string> loadedFiles;     ///< names of the loaded code in that global
    bool attached = false;
    bool failed = false;                      ///< the debugger global could not be made

    /// Makes the debugger global on first use. False when the engine refuses.
    bool Ready(JSContext* cx) {
        if (global && global->alive()) return true;
        if (failed) return false;
        global = MakeToolGlobal(cx, &kDebuggerGlobalClass,
                                {{"__qyPause", PauseNative, 2},
                                 {"__qyMap", MapNative, 3},
                                 {"__qyLog", LogNative, 2},
                                 {"__qyRun", RunNative, 0}},
                                scripts::kTool_debugger, "debugger", true);
        failed = !global;
        return !failed;
    }

    /// Calls `__qyDebugger[method](args…)` in the debugger global (its realm entered by
    /// the caller). False when the call failed; the exception is dropped.
    bool Call(JSContext* cx, const char* method, const JS::HandleValueArray& args, JS::MutableHandleValue rv) {
        JS::RootedObject g(cx, global->get());
        JS::RootedValue api(cx);
        if (!JS_GetProperty(cx, g, "__qyDebugger", &api) || !api.isObject()) {
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

    bool Call(JSContext* cx, const char* method) {
        JS::RootedValue rv(cx);
        return Call(cx, method, JS::HandleValueArray::empty(), &rv);
    }

    static bool RunNative(JSContext*, unsigned argc, JS::Value* vp) {
        JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
        args.rval().setNumber(static_cast<double>(script::detail::CurrentCallSerial()));
        return true;
    }

    static bool MapNative(JSContext* cx, unsigned argc, JS::Value* vp) {
        JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
        uint32_t line = args.get(1).isNumber() ? static_cast<uint32_t>(args.get(1).toNumber()) : 0;
        uint32_t column = args.get(2).isNumber() ? static_cast<uint32_t>(args.get(2).toNumber()) : 0;
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
};

bool PauseNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    Debugger* d = g_debugger;
    ResumeAction action = ResumeAction::Continue;
    if (d && d->m_handler && !d->m_paused) {
        PauseState state;
        state.reason = ReasonOf(StringOf(cx, args.get(0)));
        state.exception = StringOf(cx, args.get(1));
        d->m_pauseWanted = false;
        d->m_paused = true;
        {
            script::detail::PauseScope pause;
            double start = ClockNow();
            action = d->m_handler->Paused(state);
            AddPausedTime(std::chrono::microseconds(static_cast<int64_t>(ClockNow() - start)));
        }
        d->m_paused = false;
        if (action == ResumeAction::Stop) script::detail::MarkStopped();
    }
    JSString* name = JS_NewUCStringCopyZ(cx, ActionName(action));
    if (!name) return false;
    args.rval().setString(name);
    return true;
}

bool LogNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    Debugger* d = g_debugger;
    if (d && d->m_log) {
        uint32_t line = args.get(0).isNumber() ? static_cast<uint32_t>(args.get(0).toNumber()) : 0;
        d->m_log(line, StringOf(cx, args.get(1)));
    }
    args.rval().setUndefined();
    return true;
}

void OnPauseRequest(JSContext* cx) {
    Debugger* d = g_debugger;
    if (!d || d->m_paused) return;
    d->m_pauseWanted = true;
    d->UpdateAttachment();
    if (!d->m_impl->attached) return;
    JSAutoRealm ar(cx, d->m_impl->global->get());
    d->m_impl->Call(cx, "pauseSoon");
}

std::optional<ResumeAction> PauseInScriptFrame(const std::u16string& what) {
    Debugger* d = g_debugger;
    JSContext* cx = Cx();
    if (!cx || !d || !d->m_handler || d->m_paused) return std::nullopt;
    // Attached as the busy window's "暂停" attaches: for this run, from its stack.
    bool wasWanted = d->m_pauseWanted;
    d->m_pauseWanted = true;
    d->UpdateAttachment();
    d->m_pauseWanted = wasWanted;
    if (!d->m_impl->attached) return std::nullopt;
    JSAutoRealm ar(cx, d->m_impl->global->get());
    JS::RootedValue arg(cx);
    if (JSString* s = NewString(cx, what)) arg.setString(s);
    JS::RootedValue rv(cx);
    if (!d->m_impl->Call(cx, "pauseHere", JS::HandleValueArray(arg), &rv)) return std::nullopt;
    std::u16string action = StringOf(cx, rv);
    if (action == u"stop") return ResumeAction::Stop;
    if (action == u"continue") return ResumeAction::Continue;
    return std::nullopt;
}

Debugger::Debugger() : m_impl(std::make_unique<Impl>()) {
    g_debugger = this;
    script::SetDebugObserver(this);
    script::detail::SetPauseHook(OnPauseRequest);
    UsePausedClock(true);
}

Debugger::~Debugger() {
    UsePausedClock(false);
    script::detail::SetPauseHook(nullptr);
    if (script::CurrentDebugObserver() == this) script::SetDebugObserver(nullptr);
    ForgetNextObserver(this);
    if (JSContext* cx = Cx(); cx && m_impl->attached && m_impl->global && m_impl->global->alive()) {
        JSAutoRealm ar(cx, m_impl->global->get());
        m_impl->Call(cx, "detach");
    }
    if (g_debugger == this) g_debugger = nullptr;
}

void Debugger::RequestPause() { script::RequestPause(); }

bool Debugger::Wanted() const {
    return !m_breakpoints.empty() || !m_dynamicBreakpoints.empty() || m_exceptionPause != ExceptionPause::Off ||
           (m_loadedHasDebuggerStatement && !SkipsDebuggerStatements()) || m_pauseWanted;
}

bool Debugger::SkipsDebuggerStatements() const {
    return m_debuggerStatements == DebuggerStatements::Skip ||
           (m_debuggerStatements == DebuggerStatements::SkipWhileNoBreakpoints && m_breakpoints.empty() &&
            m_dynamicBreakpoints.empty());
}

void Debugger::SetDebuggerStatements(DebuggerStatements mode) {
    m_debuggerStatements = mode;
    UpdateAttachment();
    SendDebuggerStatements();
}

void Debugger::SendDebuggerStatements() {
    JSContext* cx = Cx();
    if (!cx || !m_impl->attached) return;
    JSAutoRealm ar(cx, m_impl->global->get());
    JS::RootedValue arg(cx, JS::BooleanValue(SkipsDebuggerStatements()));
    JS::RootedValue rv(cx);
    m_impl->Call(cx, "setSkipDebugger", JS::HandleValueArray(arg), &rv);
}

bool Debugger::Attached() const { return m_impl->attached; }

void Debugger::UpdateAttachment() {
    JSContext* cx = Cx();
    if (!cx) return;
    bool want = Wanted() && m_impl->debuggee && m_impl->debuggee->alive();
    if (want == m_impl->attached) return;
    // A paused run keeps what it is paused in; the next load settles it.
    if (!want && m_paused) return;
    if (!m_impl->Ready(cx)) return;
    JSAutoRealm ar(cx, m_impl->global->get());
    EngineCall call;
    if (!want) {
        m_impl->Call(cx, "detach");
        m_impl->attached = false;
        return;
    }
    JS::RootedValue target(cx, JS::ObjectValue(*m_impl->debuggee->get()));
    if (!JS_WrapValue(cx, &target)) {
        JS_ClearPendingException(cx);
        return;
    }
    JS::RootedValue rv(cx);
    if (!m_impl->Call(cx, "attach", JS::HandleValueArray(target), &rv)) return;
    for (const std::string& file : m_impl->loadedFiles) {
        JS::RootedValue name(cx);
        if (JSString* s = JS_NewStringCopyZ(cx, file.c_str())) name.setString(s);
        m_impl->Call(cx, "addLoaded", JS::HandleValueArray(name), &rv);
    }
    m_impl->attached = true;
    if (m_pageGlobal) {
        JS::RootedValue on(cx, JS::TrueValue());
        m_impl->Call(cx, "setPage", JS::HandleValueArray(on), &rv);
    }
    SetBreakpoints(m_breakpoints);
    SetDynamicBreakpoints(m_dynamicBreakpoints);
    SetExceptionPause(m_exceptionPause);
    SendDebuggerStatements();
}

void Debugger::SetBreakpoints(std::vector<BreakpointSpec> breakpoints) {
    m_breakpoints = std::move(breakpoints);
    UpdateAttachment();
    JSContext* cx = Cx();
    if (!cx || !m_impl->attached) return;
    JSAutoRealm ar(cx, m_impl->global->get());
    EngineCall call;
    JS::RootedValueVector items(cx);
    for (const BreakpointSpec& b : m_breakpoints) {
        JS::RootedObject item(cx, JS_NewPlainObject(cx));
        if (!item) break;
        JS::RootedValue condition(cx), message(cx);
        JSString* c = NewString(cx, b.condition);
        JSString* m = c ? NewString(cx, b.logMessage) : nullptr;
        if (!m) break;
        condition.setString(c);
        message.setString(m);
        if (!JS_DefineProperty(cx, item, "line", static_cast<double>(b.line), JSPROP_ENUMERATE) ||
            !JS_DefineProperty(cx, item, "hitCount", static_cast<double>(b.hitCount), JSPROP_ENUMERATE) ||
            !JS_DefineProperty(cx, item, "condition", condition, JSPROP_ENUMERATE) ||
            !JS_DefineProperty(cx, item, "logMessage", message, JSPROP_ENUMERATE) ||
            !items.append(JS::ObjectValue(*item)))
            break;
    }
    JS::RootedObject list(cx, JS::NewArrayObject(cx, items));
    if (!list) {
        JS_ClearPendingException(cx);
        return;
    }
    JS::RootedValue arg(cx, JS::ObjectValue(*list));
    JS::RootedValue rv(cx);
    m_impl->Call(cx, "setBreakpoints", JS::HandleValueArray(arg), &rv);
    SendDebuggerStatements();
}

void Debugger::SetDynamicBreakpoints(std::vector<DynamicBreakpoint> breakpoints) {
    m_dynamicBreakpoints = std::move(breakpoints);
    UpdateAttachment();
    JSContext* cx = Cx();
    if (!cx || !m_impl->attached) return;
    JSAutoRealm ar(cx, m_impl->global->get());
    EngineCall call;
    JS::RootedValueVector items(cx);
    for (const DynamicBreakpoint& b : m_dynamicBreakpoints) {
        JS::RootedObject item(cx, JS_NewPlainObject(cx));
        JSString* t = item ? NewString(cx, b.text) : nullptr;
        if (!t) break;
        JS::RootedValue text(cx, JS::StringValue(t));
        if (!JS_DefineProperty(cx, item, "line", static_cast<double>(b.line), JSPROP_ENUMERATE) ||
            !JS_DefineProperty(cx, item, "text", text, JSPROP_ENUMERATE) || !items.append(JS::ObjectValue(*item)))
            break;
    }
    JS::RootedObject list(cx, JS::NewArrayObject(cx, items));
    if (!list) {
        JS_ClearPendingException(cx);
        return;
    }
    JS::RootedValue arg(cx, JS::ObjectValue(*list));
    JS::RootedValue rv(cx);
    m_impl->Call(cx, "setDynamicBreakpoints", JS::HandleValueArray(arg), &rv);
    SendDebuggerStatements();
}

void Debugger::SetExceptionPause(ExceptionPause mode) {
    m_exceptionPause = mode;
    UpdateAttachment();
    JSContext* cx = Cx();
    if (!cx || !m_impl->attached) return;
    JSAutoRealm ar(cx, m_impl->global->get());
    JS::RootedValue arg(cx, JS::Int32Value(static_cast<int32_t>(mode)));
    JS::RootedValue rv(cx);
    m_impl->Call(cx, "setExceptionMode", JS::HandleValueArray(arg), &rv);
}

void Debugger::GlobalCreated(JSContext* cx, JS::HandleObject global, script::ScriptTarget target) {
    // The page's global, heard of before its scripts ran, stays as it was attached.
    if (m_pageStarted && m_impl->debuggee && m_impl->debuggee->get() == global) {
        m_pageStarted = false;
        return;
    }
    m_pageStarted = false;
    m_pageGlobal = false;
    m_target = target;
    m_loadedHasDebuggerStatement = false;
    m_pauseWanted = false;
    m_impl->loadedFiles.clear();
    ResetPausedTime();
    m_impl->debuggee = std::make_unique<JsObjectRoot>(global);
    // A fresh global is attached afresh: the old one is left at once.
    if (m_impl->attached) {
        JSAutoRealm ar(cx, m_impl->global->get());
        m_impl->Call(cx, "detach");
        m_impl->attached = false;
    }
    UpdateAttachment();
}

void Debugger::PageStarting(JSContext* cx, JS::HandleObject global, script::ScriptTarget target,
                            const std::u16string& page) {
    m_pageStarted = false;
    GlobalCreated(cx, global, target);
    m_pageGlobal = true;
    m_pageStarted = true;
    if (page.find(u"debugger") != std::u16string::npos) m_loadedHasDebuggerStatement = true;
    if (m_impl->attached) {
        JSAutoRealm ar(cx, m_impl->global->get());
        JS::RootedValue on(cx, JS::TrueValue());
        JS::RootedValue rv(cx);
        m_impl->Call(cx, "setPage", JS::HandleValueArray(on), &rv);
    }
    UpdateAttachment();
    SendDebuggerStatements();
}

void Debugger::CodeAdded(JSContext* cx, JS::HandleObject global, const std::string& file,
                         const std::u16string& original) {
    if (!m_impl->debuggee || m_impl->debuggee->get() != global) return;
    // The code the user loads comes first; what is added to the same global later (a
    // transform's helpers) is not the loaded text.
    if (!m_impl->loadedFiles.empty()) return;
    m_impl->loadedFiles.push_back(file);
    if (original.find(u"debugger") != std::u16string::npos) m_loadedHasDebuggerStatement = true;
    if (m_impl->attached) {
        JSAutoRealm ar(cx, m_impl->global->get());
        JS::RootedValue name(cx);
        if (JSString* s = JS_NewStringCopyZ(cx, file.c_str())) name.setString(s);
        JS::RootedValue rv(cx);
        m_impl->Call(cx, "addLoaded", JS::HandleValueArray(name), &rv);
        // A page's scripts ran before: their hits count on.
        if (!m_pageGlobal) m_impl->Call(cx, "resetHits");
    }
    UpdateAttachment();
}

std::vector<FrameInfo> Debugger::Frames() {
    std::vector<FrameInfo> frames;
    JSContext* cx = Cx();
    if (!cx || !m_paused) return frames;
    JSAutoRealm ar(cx, m_impl->global->get());
    EngineCall call;
    JS::RootedValue rv(cx);
    if (!m_impl->Call(cx, "frames", JS::HandleValueArray::empty(), &rv)) return frames;
    ForEachObject(cx, rv, [&](JS::HandleObject o) {
        FrameInfo f;
        f.function = StringProp(cx, o, "name");
        f.line = static_cast<uint32_t>(NumberProp(cx, o, "line"));
        f.column = static_cast<uint32_t>(NumberProp(cx, o, "column"));
        f.inLoadedCode = BoolProp(cx, o, "loaded");
        f.dynamicText = StringProp(cx, o, "dynamic");
        if (!f.dynamicText.empty()) {
            f.dynamicTitle = DynamicTitleOfText(f.dynamicText);
            if (f.dynamicTitle.empty()) f.dynamicTitle = u"动态代码";
        }
        frames.push_back(std::move(f));
    });
    return frames;
}

std::vector<ScopeInfo> Debugger::Scopes(size_t frame) {
    std::vector<ScopeInfo> scopes;
    JSContext* cx = Cx();
    if (!cx || !m_paused) return scopes;
    JSAutoRealm ar(cx, m_impl->global->get());
    EngineCall call;
    JS::RootedValue arg(cx, JS::NumberValue(static_cast<double>(frame)));
    JS::RootedValue rv(cx);
    if (!m_impl->Call(cx, "scopes", JS::HandleValueArray(arg), &rv)) return scopes;
    ForEachObject(cx, rv, [&](JS::HandleObject o) {
        scopes.push_back({StringProp(cx, o, "name"), static_cast<int32_t>(NumberProp(cx, o, "handle", -1))});
    });
    return scopes;
}

std::vector<VariableInfo> Debugger::Children(int32_t handle) {
    std::vector<VariableInfo> items;
    JSContext* cx = Cx();
    if (!cx || !m_paused || handle < 0) return items;
    JSAutoRealm ar(cx, m_impl->global->get());
    EngineCall call;
    script::detail::PausedEvaluation limit;
    JS::RootedValue arg(cx, JS::Int32Value(handle));
    JS::RootedValue rv(cx);
    if (!m_impl->Call(cx, "children", JS::HandleValueArray(arg), &rv)) return items;
    ForEachObject(cx, rv, [&](JS::HandleObject o) {
        items.push_back({StringProp(cx, o, "name"), StringProp(cx, o, "value"),
                         static_cast<int32_t>(NumberProp(cx, o, "handle", -1))});
    });
    return items;
}

EvaluationResult Debugger::Evaluate(size_t frame, const std::u16string& expression) {
    EvaluationResult result;
    JSContext* cx = Cx();
    if (!cx || !m_paused) {
        result.text = u"没有暂停的运行";
        return result;
    }
    std::u16string code = expression;
    if (m_target == script::ScriptTarget::JScript58) {
        // The paused code runs in JScript: what it would refuse is refused here too.
        jscript::ConditionalState cc;
        jscript::PreparedCode prepared = jscript::PrepareJScript(expression, cc, jscript::CodeKind::EvalCode);
        if (prepared.error) {
            result.text = prepared.error->description;
            return result;
        }
        code = std::move(prepared.code);
    }
    // A typed expression that names console reaches the log's own, whatever the
    // script did to the global's. The paused run's global may run none of its code but
    // through the paused frame, so that console is made in the debugger's own global.
    bool ownConsole = false;
    if (script::MentionsConsole(expression) && m_impl->debuggee && m_impl->debuggee->alive()) {
        JS::RootedObject debuggee(cx, m_impl->debuggee->get());
        JSAutoRealm inDebuggee(cx, debuggee);
        ownConsole = script::ConsoleReplaced(cx, debuggee);
    }
    JSAutoRealm ar(cx, m_impl->global->get());
    EngineCall call;
    script::detail::PausedEvaluation limit;
    JS::RootedValueArray<3> args(cx);
    args[0].setNumber(static_cast<double>(frame));
    JSString* s = NewString(cx, code);
    if (!s) {
        JS_ClearPendingException(cx);
        return result;
    }
    args[1].setString(s);
    if (ownConsole) {
        if (!m_impl->console || !m_impl->console->alive()) {
            JS::RootedObject made(cx, script::NewWorkbenchConsole(cx));
            if (made) m_impl->console = std::make_unique<JsObjectRoot>(made);
        }
        JS::RootedValue console(cx);
        if (m_impl->console && m_impl->console->alive()) console.setObject(*m_impl->console->get());
        if (!JS_WrapValue(cx, &console)) {
            JS_ClearPendingException(cx);
            console.setUndefined();
        }
        args[2].set(console);
    }
    JS::RootedValue rv(cx);
    if (!m_impl->Call(cx, "evaluate", args, &rv) || !rv.isObject()) {
        result.text = u"计算超时";
        return result;
    }
    JS::RootedObject o(cx, &rv.toObject());
    result.ok = BoolProp(cx, o, "ok");
    result.isObject = BoolProp(cx, o, "isObject");
    result.text = StringProp(cx, o, "text");
    if (result.ok && !result.isObject) {
        JS::RootedValue value(cx);
        if (JS_GetProperty(cx, o, "value", &value) && !script::detail::ToVariant(cx, value, result.value))
            JS_ClearPendingException(cx);
    }
    return result;
}

}  // namespace qy::debug

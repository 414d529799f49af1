/** @file ScriptControl.cpp
 * The script control over SpiderMonkey: a global per instance (Reset makes a new one),
 * code added under its own file name so that errors in the added code can be told from
 * errors in evaluated expressions, and an Error object filled in one place from the
 * engine's pending exception.
 */
#include "script/ScriptControl.h"

#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/ErrorReport.h>
#include <js/Exception.h>
#include <js/SourceText.h>
#include <js/experimental/JSStencil.h>
#include <js/String.h>
#include <js/Symbol.h>
#include <js/friend/ErrorMessages.h>
#include <jsfriendapi.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "env/Environment.h"
#include "env/PageHost.h"
#include "jscript/ErrorMapping.h"
#include "jscript/Runtime.h"
#include "jscript/SourceGate.h"
#include "persona/ExceptionWatch.h"
#include "persona/NativeFunction.h"
#include "persona/V8Persona.h"
#include "script/DynamicCodeNames.h"
#include "script/DebugObserver.h"
#include "script/Engine.h"
#include "script/EngineInternal.h"
#include "script/JsBridge.h"
#include "script/ScriptTarget.h"
#include "script/TableDispatch.h"
#include "script/TypedConsole.h"
#include "text/CodePage.h"

namespace qy::script {
namespace {

using detail::Cx;
using detail::EngineCall;
using detail::JsObjectRoot;

const JSClass kGlobalClass = {"global", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr, nullptr};

DebugObserver* g_debugObserver = nullptr;

// JScript's extras that users' scripts meet; defined non-enumerable so that they are
// not taken for the script's own functions.
constexpr char16_t kPrelude[] = uR"JS((function (g) {
    function def(o, n, f) { Object.defineProperty(o, n, {value: f, writable: true, configurable: true}); }
    def(g, 'ScriptEngine', function ScriptEngine() { return 'JScript'; });
    def(g, 'ScriptEngineMajorVersion', function ScriptEngineMajorVersion() { return 5; });
    def(g, 'ScriptEngineMinorVersion', function ScriptEngineMinorVersion() { return 8; });
    def(g, 'ScriptEngineBuildVersion', function ScriptEngineBuildVersion() { return 18702; });
    def(Date.prototype, 'getVarDate', function getVarDate() { return new Date(this.getTime()); });
})(this);)JS";

std::u16string U(const char* utf8) { return text::Utf8ToUtf16(utf8); }

/// The fields the Error object reports; Number 0 means "no error".
struct ErrorState {
    int32_t number = 0;
    std::u16string description;
    std::u16string text;
    int32_t line = 0;
    int32_t column = 0;
    std::u16string source;
    bool inLoadedCode = false;
    /// The title of the code made at run time the error is in (empty: none).
    std::u16string dynamicCode;
    /// The engine's own message, for rules that read more than its number.
    std::string engineMessage;

    void Clear() { *this = ErrorState(); }
};

/// The code an engine call compiles (added code or an expression), kept at hand for
/// the error report.
struct CompiledCode {
    const char* file = nullptr;
    const std::u16string* code = nullptr;
    /// The text the user wrote, when the engine compiled a rewritten one.
    const std::u16string* original = nullptr;
};

/// Finds the map back to the user's text for code compiled under a file name, or null
/// when that code was compiled as written.
using PositionLookup = std::function<const jscript::PositionMap*(const char* file)>;

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

/// A value the script threw itself: an Error's message or the value as text, and the
/// Error's own non-zero `number` when it has one.
void MapThrownValue(JSContext* cx, JS::HandleValue exc, ErrorState& e) {
    e.number = errors::ToNumber(errors::kThrown);
    if (exc.isObject()) {
        JS::RootedObject obj(cx, &exc.toObject());
        JS::RootedValue number(cx), message(cx);
        // The number is read as a 32-bit integer, the way the Error object reports it;
        // one that reads as 0 (0x100000000, NaN) would pass the error for success.
        if (JS_GetProperty(cx, obj, "number", &number) && number.isNumber() && JS::ToInt32(number.toNumber()) != 0) {
            e.number = JS::ToInt32(number.toNumber());
        }
        if (JS::ExceptionStackOrNull(obj) != nullptr || JS_GetErrorType(exc).isSome()) {
            if (JS_GetProperty(cx, obj, "message", &message) && message.isString()) {
                e.description = detail::CopyString(cx, message.toString());
                return;
            }
        }
    }
    JS_ClearPendingException(cx);
    if (exc.isSymbol()) {
        // A symbol has no string conversion; its descriptive text is what a script sees.
        JS::RootedSymbol sym(cx, exc.toSymbol());
        JSString* d = JS::GetSymbolDescription(sym);
        e.description = u"Symbol(" + (d ? detail::CopyString(cx, d) : u"") + u")";
        return;
    }
    if (JSString* s = JS::ToString(cx, exc)) e.description = detail::CopyString(cx, s);
    JS_ClearPendingException(cx);
    // The engine reports an exhausted heap by throwing this very string.
    if (exc.isString() && e.description == u"out of memory") {
        e.number = errors::ToNumber(errors::kOutOfMemory);
        e.description = U("内存不足");
    }
}

std::u16string LineText(const JSErrorReport* r) {
    if (!r->linebuf()) return u"";
    std::u16string line(r->linebuf(), r->linebufLength());
    while (!line.empty() && (line.back() == u'\n' || line.back() == u'\r')) line.pop_back();
    return line;
}

bool IsLineTerminator(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }

/// Line `lineno` (from 1) of `code`, counted as the engine counts lines: CR LF is one
/// break, and CR, LF, U+2028 and U+2029 each end a line.
std::u16string SourceLine(const std::u16string& code, unsigned lineno) {
    size_t pos = 0;
    for (unsigned line = 1; line < lineno; ++line) {
        while (pos < code.size() && !IsLineTerminator(code[pos])) ++pos;
        if (pos == code.size()) return u"";
        if (code[pos] == u'\r' && pos + 1 < code.size() && code[pos + 1] == u'\n') ++pos;
        ++pos;
    }
    size_t end = pos;
    while (end < code.size() && !IsLineTerminator(code[end])) ++end;
    return code.substr(pos, end - pos);
}

/// The source line of a syntax error. The engine's copy is cut to a window around the
/// error on long lines (minified scripts), so the whole line is taken from the code
/// that was compiled when the window is found in it at the error's place; an error in
/// other code (a string given to eval()) keeps the engine's copy.
std::u16string SyntaxErrorLine(const JSErrorReport* r, const CompiledCode& compiled) {
    std::u16string window = LineText(r);
    if (!compiled.code || !compiled.file || !r->filename || std::strcmp(r->filename, compiled.file) != 0 ||
        r->column < r->tokenOffset())
        return window;
    std::u16string full = SourceLine(*compiled.code, r->lineno);
    size_t start = r->column - r->tokenOffset();
    if (start > full.size() || full.compare(start, window.size(), window) != 0) return window;
    return full;
}

/// How many pieces of code were added in this process (the number of the next one).
std::atomic<uint64_t> g_addedCodeCount{0};

/// Code of the loaded text: added code, and the scripts written in a loaded page (their
/// lines are the page's).
bool IsLoadedFile(const char* file) { return StartsWith(file, kAddedCodePrefix) || StartsWith(file, "page:inline-"); }

/// The user's code: added code, evaluated expressions (and what they give eval), and a
/// loaded page's own scripts.
bool IsUserFile(const char* file) {
    return file && (StartsWith(file, kAddedCodePrefix) || std::strcmp(file, kEvalFileName) == 0 ||
                    env::IsPageScriptName(file));
}

/// Takes the engine's pending exception (or the reason the call was cut short) into
/// the Error state. This is the one place where a failed engine call becomes an error.
void CaptureError(JSContext* cx, const CompiledCode& compiled, const PositionLookup& positions, ErrorState& e,
                  bool jscript, bool v8Persona = false) {
    e.Clear();
    JS::ExceptionStack stack(cx);
    bool stopped = detail::LastAbortReason() == detail::AbortReason::Stopped || detail::StopRequestedForThisCall();
    if (stopped || !JS_IsExceptionPending(cx) || !JS::StealPendingExceptionStack(cx, &stack)) {
        JS_ClearPendingException(cx);
        if (stopped) {
            e.number = errors::ToNumber(errors::kStopped);
            e.description = WorkTimedOut() ? U("脚本运行超时，已停止") : U("脚本已被用户停止");
        } else {
            e.number = errors::ToNumber(errors::kOutOfMemory);
            e.description = U("内存不足");
        }
        e.source = U("JScript 运行时错误");
        return;
    }
    JS::ErrorReportBuilder builder(cx);
    if (!builder.init(cx, stack, JS::ErrorReportBuilder::NoSideEffects)) {
        JS_ClearPendingException(cx);
        e.number = errors::ToNumber(errors::kThrown);
        e.description = U("异常");
        return;
    }
    const JSErrorReport* r = builder.report();
    std::string msg = r->message() ? r->message().c_str() : "";
    // A persona global's messages are V8's; the workbench's lines are built from the engine's.
    if (v8Persona) {
        bool here = compiled.code && compiled.file && r->filename && std::strcmp(r->filename, compiled.file) == 0;
        msg = persona::EngineWording(r->errorNumber, msg, here ? SourceLine(*compiled.code, r->lineno) : u"",
                                     r->column);
    }
    e.engineMessage = msg;
    const char* file = r->filename ? r->filename : "";
    std::string scriptFile;
    e.line = static_cast<int32_t>(r->lineno);
    unsigned column = r->column;
    // An error a persona built-in raised is shown where the user's code called it.
    std::string userFile;
    if (v8Persona && !IsUserFile(file) && stack.exception().isObject()) {
        JS::RootedObject thrown(cx, &stack.exception().toObject());
        uint32_t line = 0, col = 0;
        if (persona::UserPosition(cx, thrown, userFile, line, col)) {
            file = userFile.c_str();
            e.line = static_cast<int32_t>(line);
            column = col;
        }
    }
    e.inLoadedCode = IsLoadedFile(file);
    JS::RootedValue exc(cx, stack.exception());
    // a pattern the runtime's RegExp could not read is an error of the running script
    bool syntax = r->exnType == JSEXN_SYNTAXERR && r->linebuf() != nullptr && !(jscript && jscript::IsRuntimeFile(file));
    auto take = [&](jscript::MappedError m) {
        e.number = errors::ToNumber(m.code);
        e.description = std::move(m.description);
    };
    if (syntax) {
        take(jscript::MapSyntaxError(r->errorNumber, msg));
        e.column = static_cast<int32_t>(r->column);  // compile errors count from 0
        e.text = SyntaxErrorLine(r, compiled);
        e.source = U("JScript 编译错误");
    } else {
        if (r->errorNumber == 0 || r->errorNumber == JSMSG_UNCAUGHT_EXCEPTION) {
            MapThrownValue(cx, exc, e);
        } else {
            // Under the JScript target the failing code's text tells more (a call of an
            // undeclared name); the modern target maps the report alone.
            take(jscript ? jscript::MapEngineError(*r)
                         : jscript::MapRuntimeError(r->errorNumber, static_cast<JSExnType>(r->exnType), msg));
        }
        e.column = column > 0 ? static_cast<int32_t>(column) - 1 : 0;  // run-time errors count from 1
        e.source = U("JScript 运行时错误");
        // An error the engine raised inside the runtime's built-ins stands where the
        // script called them.
        std::string frameFile;
        uint32_t frameLine = 0, frameColumn = 0;
        JS::RootedObject at(cx, stack.stack());
        if (jscript && jscript::IsRuntimeFile(file) && at &&
            jscript::ScriptFrameOf(cx, at, frameFile, frameLine, frameColumn)) {
            scriptFile = std::move(frameFile);
            file = scriptFile.c_str();
            e.inLoadedCode = IsLoadedFile(file);
            e.line = static_cast<int32_t>(frameLine);
            e.column = frameColumn > 0 ? static_cast<int32_t>(frameColumn) - 1 : 0;
        }
    }
    // Code made at run time has lines of its own: the error names it, and the loaded
    // text's line of the same number is not where it happened.
    if (IsDynamicCodeFile(file)) {
        e.inLoadedCode = false;
        e.dynamicCode = DynamicCodeName(file);
    }
    // Rewritten code reports positions in the rewritten text; the user reads their own.
    if (const jscript::PositionMap* map = positions ? positions(file) : nullptr; map && !map->Identity()) {
        auto [line, column] = map->ToOriginal(static_cast<uint32_t>(e.line), static_cast<uint32_t>(e.column));
        e.line = static_cast<int32_t>(line);
        e.column = static_cast<int32_t>(column);
        if (syntax && compiled.original && compiled.file && std::strcmp(file, compiled.file) == 0)
            e.text = SourceLine(*compiled.original, line);
    }
    JS_ClearPendingException(cx);
}

// ---------------------------------------------------------------------------------

class ErrorObject final : public detail::TableDispatch {
public:
    explicit ErrorObject(std::shared_ptr<ErrorState> state) : TableDispatch(u"Error"), m_state(std::move(state)) {
        AddGetter(u"Number", [s = m_state] { return Variant::Int(s->number); });
        AddGetter(u"Description", [s = m_state] { return Variant::Text(s->description); });
        AddGetter(u"Text", [s = m_state] { return Variant::Text(s->text); });
        AddGetter(u"Line", [s = m_state] { return Variant::Int(s->line); });
        AddGetter(u"Column", [s = m_state] { return Variant::Int(s->column); });
        AddGetter(u"Source", [s = m_state] { return Variant::Text(s->source); });
        AddGetter(u"InLoadedCode", [s = m_state] { return Variant::Bool(s->inLoadedCode); });
        AddGetter(u"DynamicCode", [s = m_state] { return Variant::Text(s->dynamicCode); });
        AddMember(u"Clear", INVOKE_FUNC, 0, [s = m_state](std::vector<Variant>&, Variant&) {
            s->Clear();
            return true;
        });
    }

private:
    std::shared_ptr<ErrorState> m_state;
};

class ProcedureObject final : public detail::TableDispatch {
public:
    ProcedureObject(std::u16string name, int32_t numArgs, std::u16string source)
        : TableDispatch(u"Procedure") {
        AddGetter(u"Name", [name] { return Variant::Text(name); });
        AddGetter(u"NumArgs", [numArgs] { return Variant::Int(numArgs); });
        AddGetter(u"HasReturnValue", [source] { return Variant::Bool(detail::HasReturnValue(source)); });
    }
};

class ProceduresObject final : public detail::TableDispatch {
public:
    explicit ProceduresObject(std::vector<ObjectRef> items) : TableDispatch(u"Procedures"), m_items(std::move(items)) {
        AddGetter(u"Count", [this] { return Variant::Int(static_cast<int32_t>(m_items.size())); });
        AddMember(u"Item", INVOKE_PROPERTYGET, 1, [this](std::vector<Variant>& args, Variant& r) {
            if (args.empty()) return false;
            auto i = static_cast<int64_t>(VariantToNumber(args[0]));
            if (i < 1 || i > static_cast<int64_t>(m_items.size())) return false;
            r = Variant::Object(m_items[i - 1]);
            return true;
        });
    }

private:
    std::vector<ObjectRef> m_items;
};

// ---------------------------------------------------------------------------------

/// A global kept for the process whose zone every control's global joins.
JSObject* ZoneAnchor(JSContext* cx) {
    static JsObjectRoot* anchor = nullptr;
    if (anchor && anchor->alive()) return anchor->get();
    JS::RealmOptions options;
    JSObject* global = JS_NewGlobalObject(cx, &kGlobalClass, nullptr, JS::FireOnNewGlobalHook, options);
    if (!global) {
        JS_ClearPendingException(cx);
        return nullptr;
    }
    delete anchor;
    anchor = new JsObjectRoot(global);
    return anchor->get();
}

/// The watcher of persona globals' exceptions (V8's words for property errors, V8's
/// frame names), kept for the process (dropped with the engine's roots).
JsObjectRoot* g_exceptionWatcher = nullptr;

/// The watcher as it is, never made here (for the engine's callbacks).
JSObject* ExistingWatcher(JSContext*) {
    return g_exceptionWatcher && g_exceptionWatcher->alive() ? g_exceptionWatcher->get() : nullptr;
}

JSObject* ExceptionWatcher(JSContext* cx) {
    if (JSObject* kept = ExistingWatcher(cx)) return kept;
    JSObject* made = persona::NewExceptionWatcher(cx);
    if (!made) return nullptr;
    delete g_exceptionWatcher;
    g_exceptionWatcher = new JsObjectRoot(made);
    persona::WatchRejections(cx, ExistingWatcher);
    return g_exceptionWatcher->get();
}

/// The browser environment compiled once per target, the modern target's console alone,
/// its styles' scripts and the persona's script, for the engine's life: dropped with the engine's roots,
/// before its context goes.
class EnvironmentStencils final : public detail::JsRootLink {
public:
    static JS::Stencil* For(JSContext* cx, bool jscript) {
        return Kept().Get(jscript ? 0 : 1, [&] { return env::CompileScript(cx, jscript); });
    }
    static JS::Stencil* Console(JSContext* cx) {
        return Kept().Get(2, [&] { return env::CompileConsole(cx); });
    }
    /// JScript's extras (kPrelude), compiled once.
    static JS::Stencil* Prelude(JSContext* cx) {
        return Kept().Get(4, [&] {
            JS::SourceText<char16_t> src;
            JS::CompileOptions opts(cx);
            opts.setFileAndLine("prelude", 1);
            RefPtr<JS::Stencil> compiled;
            if (src.init(cx, kPrelude, std::char_traits<char16_t>::length(kPrelude), JS::SourceOwnership::Borrowed))
                compiled = JS::CompileGlobalScriptToStencil(cx, opts, src);
            if (!compiled) JS_ClearPendingException(cx);
            return compiled;
        });
    }
    static JS::Stencil* Styles(JSContext* cx, bool computed) {
        return Kept().Get(computed ? 6 : 5, [&] { return env::CompileStyles(cx, computed); });
    }
    static JS::Stencil* Services(JSContext* cx) {
        return Kept().Get(7, [&] { return env::CompileServices(cx); });
    }
    static JS::Stencil* Persona(JSContext* cx) {
        return Kept().Get(3, [&] {
            RefPtr<JS::Stencil> compiled = persona::CompileScript(cx);
            if (!compiled) JS_ClearPendingException(cx);
            return compiled;
        });
    }

    void reset() override {
        for (RefPtr<JS::Stencil>& slot : m_stencils) slot = nullptr;
        if (m_linked) Unlink();
        m_linked = false;
    }

private:
    static EnvironmentStencils& Kept() {
        static EnvironmentStencils* kept = new EnvironmentStencils;
        return *kept;
    }

    template <typename Compile>
    JS::Stencil* Get(size_t index, Compile&& compile) {
        RefPtr<JS::Stencil>& slot = m_stencils[index];
        if (!slot) {
            slot = compile();
            if (slot && !m_linked) {
                Link();
                m_linked = true;
            }
        }
        return slot.get();
    }

    RefPtr<JS::Stencil> m_stencils[8];
    bool m_linked = false;
};

// ---- the modern target's console ---------------------------------------------------

/// A modern global's console: not made yet (undefined), being made (false: the hook's
/// own definition of the name finds it so), made (true: a script that deletes it does not
/// get it back).
constexpr uint32_t kConsoleSlot = 0;

bool IsConsoleId(jsid id) { return id.isAtom() && JS_LinearStringEqualsLiteral(id.toLinearString(), "console"); }

/// The global's resolve hook: the standard classes as usual, and `console` made on its
/// first lookup, so that a fresh global costs nothing for it. A lookup that cannot run
/// the console's script (the debugger reading the paused global, which the engine keeps
/// from running its code; no memory) finds nothing, and the next lookup tries again.
bool ModernGlobalResolve(JSContext* cx, JS::HandleObject global, JS::HandleId id, bool* resolvedp) {
    if (!JS_ResolveStandardClass(cx, global, id, resolvedp)) return false;
    if (*resolvedp || !IsConsoleId(id) || !JS::GetReservedSlot(global, kConsoleSlot).isUndefined()) return true;
    JS::SetReservedSlot(global, kConsoleSlot, JS::FalseValue());
    JSAutoRealm ar(cx, global);
    EngineCall call;
    *resolvedp = env::InstallConsole(cx, global, EnvironmentStencils::Console(cx));
    JS::SetReservedSlot(global, kConsoleSlot, *resolvedp ? JS::TrueValue() : JS::UndefinedValue());
    return true;
}

bool ModernGlobalMayResolve(const JSAtomState& names, jsid id, JSObject* maybeGlobal) {
    return JS_MayResolveStandardClass(names, id, maybeGlobal) || IsConsoleId(id);
}

const JSClass* ModernGlobalClass() {
    static const JSClassOps ops = [] {
        JSClassOps o = JS::DefaultGlobalClassOps;
        o.resolve = ModernGlobalResolve;
        o.mayResolve = ModernGlobalMayResolve;
        return o;
    }();
    static const JSClass cls = {"global", JSCLASS_GLOBAL_FLAGS, &ops, nullptr, nullptr, nullptr};
    return &cls;
}

class ScriptControlObject final : public detail::TableDispatch {
public:
    ScriptControlObject()
        : TableDispatch(u"ScriptControl"), m_target(CurrentScriptTarget()), m_error(std::make_shared<ErrorState>()) {
        m_errorObject = std::make_shared<ErrorObject>(m_error);
        AddGetter(u"Language", [this] { return Variant::Text(m_language); });
        AddGetter(u"Target", [this] { return Variant::Text(text::Utf8ToUtf16(TargetKey(m_target))); });
        AddMember(u"Language", INVOKE_PROPERTYPUT, 1, [this](std::vector<Variant>& a, Variant&) {
            return SetLanguage(a);
        });
        AddMember(u"AddCode", INVOKE_FUNC, 1, [this](std::vector<Variant>& a, Variant&) { return AddCode(a); });
        AddMember(u"Eval", INVOKE_FUNC, 1, [this](std::vector<Variant>& a, Variant& r) { return Eval(a, r); });
        AddMember(u"ExecuteStatement", INVOKE_FUNC, 1, [this](std::vector<Variant>& a, Variant&) {
            Variant ignored;
            return Eval(a, ignored);
        });
        AddMember(u"Run", INVOKE_FUNC, 1, [this](std::vector<Variant>& a, Variant& r) { return Run(a, r); }, true);
        AddGetter(u"Error", [this] { return Variant::Object(m_errorObject); });
        AddMember(u"Procedures", INVOKE_PROPERTYGET, 0, [this](std::vector<Variant>&, Variant& r) {
            return Procedures(r);
        });
        AddMember(u"Reset", INVOKE_FUNC, 0, [this](std::vector<Variant>&, Variant&) {
            m_error->Clear();
            return NewGlobal();
        });
        // The browser environment and the page's address take effect at the next Reset.
        AddGetter(u"BrowserEnvironment", [this] { return Variant::Bool(m_browserEnv); });
        AddMember(u"BrowserEnvironment", INVOKE_PROPERTYPUT, 1, [this](std::vector<Variant>& a, Variant&) {
            if (a.empty()) return false;
            m_browserEnv = VariantToBool(a[0]);
            return true;
        });
        // The V8 persona of the modern target with the page's objects (on unless switched
        // off, for measuring what it costs); takes effect at the next Reset.
        AddGetter(u"V8Persona", [this] { return Variant::Bool(m_v8PersonaWanted); });
        AddMember(u"V8Persona", INVOKE_PROPERTYPUT, 1, [this](std::vector<Variant>& a, Variant&) {
            if (a.empty()) return false;
            m_v8PersonaWanted = VariantToBool(a[0]);
            return true;
        });
        AddGetter(u"PageAddress", [this] { return Variant::Text(m_pageAddress); });
        AddMember(u"PageAddress", INVOKE_PROPERTYPUT, 1, [this](std::vector<Variant>& a, Variant&) {
            return !a.empty() && VariantToWide(a[0], m_pageAddress);
        });
        // Marks the control whose code the debugger may stop in (the workbench's main host).
        AddMember(u"Debuggable", INVOKE_PROPERTYPUT, 1, [this](std::vector<Variant>& a, Variant&) {
            if (a.empty()) return false;
            m_debuggable = VariantToBool(a[0]);
            return true;
        });
        AddMember(u"EnvironmentReport", INVOKE_FUNC, 0, [this](std::vector<Variant>&, Variant& r) {
            return EnvironmentReport(r);
        });
    }

    ~ScriptControlObject() override {
        if (m_env && m_global && m_global->alive()) m_env->Detach(m_global->get());
        ForgetEvalState();
    }

    /// eval() in the control's realm reads and changes the control's conditional-
    /// compilation state; a realm given up no longer reaches it.
    void ForgetEvalState() {
        if (m_ccRealm) jscript::SetEvalConditionalState(m_ccRealm, nullptr);
        m_ccRealm = nullptr;
    }

    bool NewGlobal() {
        JSContext* cx = Cx();
        if (!cx || !detail::EngineAvailable()) return false;
        m_compiled.clear();
        m_maps.clear();
        m_texts.clear();
        m_cc = jscript::ConditionalState();
        ForgetEvalState();
        if (m_env && m_global && m_global->alive()) m_env->Detach(m_global->get());
        m_env.reset();
        m_global.reset();
        JS::RealmOptions options;
        // Scripts from the web use WeakRef; the engine leaves it off unless asked.
        options.creationOptions().setWeakRefsEnabled(JS::WeakRefSpecifier::EnabledWithoutCleanupSome);
        // Every control's global lives in one zone: a fresh global then starts with the
        // zone's shapes and code warm instead of building them anew (a new zone per
        // global made each Reset of the JScript target cost milliseconds).
        if (JSObject* anchor = ZoneAnchor(cx)) options.creationOptions().setNewCompartmentInExistingZone(anchor);
        // The modern target with the page's objects shows a Chrome page's engine.
        m_v8Persona = m_v8PersonaWanted && m_browserEnv && m_target == ScriptTarget::ES2021;
        if (m_v8Persona) {
            persona::PrepareRealm(options);
            // The persona's exception watcher (a global of its own) is made before the
            // page's global, so that a tool waiting for the next new global to watch a
            // page's scripts takes the page's.
            detail::EngineCall call;
            if (!ExceptionWatcher(cx)) JS_ClearPendingException(cx);
        }
        // The modern engines users call have a console of their own, which the modern
        // global's class makes when a script first looks for it; JScript has Debug.write,
        // and a console only with the page's objects.
        const JSClass* cls = m_browserEnv                       ? env::GlobalClass()
                             : m_target == ScriptTarget::ES2021 ? ModernGlobalClass()
                                                                : &kGlobalClass;
        JS::RootedObject global(cx, JS_NewGlobalObject(cx, cls, nullptr, JS::FireOnNewGlobalHook, options));
        if (!global) {
            JS_ClearPendingException(cx);
            return false;
        }
        {
            JSAutoRealm ar(cx, global);
            // The persona takes JScript's extras away again: its global never gets them.
            if (!m_v8Persona) RunPrelude(cx);
            if (m_target == ScriptTarget::JScript58) {
                detail::EngineCall call;
                if (!jscript::InstallRuntime(cx, global)) JS_ClearPendingException(cx);
                m_ccRealm = JS::GetObjectRealmOrNull(global);
                jscript::SetEvalConditionalState(m_ccRealm, &m_cc);
            }
            // A page's own scripts run in the old target while its environment is set
            // up, in the modern one once the persona is in place: the debugger hears
            // of the global before they start, so that they stop where it is asked.
            bool page = m_browserEnv && m_debuggable && g_debugObserver && !env::CurrentPageSetup().html.empty();
            auto pageStarting = [&] {
                if (page && g_debugObserver)
                    g_debugObserver->PageStarting(cx, global, m_target, env::CurrentPageSetup().html);
            };
            if (m_browserEnv) {
                if (m_target == ScriptTarget::JScript58) pageStarting();
                InstallEnvironment(cx, global);
            }
            if (m_v8Persona) {
                detail::EngineCall call;
                persona::V8Wording wording(true);
                env::RunOnceScope once(cx);
                JS::RootedObject watcher(cx, ExceptionWatcher(cx));
                if (!persona::InstallV8(cx, global, EnvironmentStencils::Persona(cx), {m_pageAddress, IsUserFile},
                                        watcher))
                    JS_ClearPendingException(cx);
            }
            if (m_env) {
                // A page's own scripts see the global as the page will: interfaces and
                // the persona's words and printing in place.
                if (m_target != ScriptTarget::JScript58) pageStarting();
                detail::EngineCall call;
                persona::V8Wording wording(m_v8Persona);
                if (!m_env->LoadPage(cx, global)) JS_ClearPendingException(cx);
            }
        }
        m_global = std::make_unique<JsObjectRoot>(global);
        if (m_debuggable && g_debugObserver) g_debugObserver->GlobalCreated(cx, global, m_target);
        return true;
    }

private:
    /// A frame's realm: a global in the page's compartment (its objects pass between the
    /// two as they are) with the persona's built-ins, unseen by the workbench's tools.
    /// Null on failure (nothing pending).
    static JSObject* FrameRealm(JSContext* cx, const std::u16string& address) {
        JS::RootedObject page(cx, JS::CurrentGlobalOrNull(cx));
        if (!page) return nullptr;
        JS::RealmOptions options;
        options.creationOptions().setWeakRefsEnabled(JS::WeakRefSpecifier::EnabledWithoutCleanupSome);
        options.creationOptions().setExistingCompartment(page);
        persona::PrepareRealm(options);
        detail::EngineCall call;
        JS::RootedObject global(cx, JS_NewGlobalObject(cx, env::GlobalClass(), nullptr, JS::DontFireOnNewGlobalHook, options));
        if (!global) {
            JS_ClearPendingException(cx);
            return nullptr;
        }
        JSAutoRealm ar(cx, global);
        persona::V8Wording wording(true);
        env::RunOnceScope once(cx);
        JS::RootedObject watcher(cx, ExceptionWatcher(cx));
        if (!persona::InstallV8(cx, global, EnvironmentStencils::Persona(cx), {address, IsUserFile}, watcher)) {
            JS_ClearPendingException(cx);
            return nullptr;
        }
        return global;
    }

    /// JScript's extras in the current global.
    static void RunPrelude(JSContext* cx) {
        JS::Stencil* compiled = EnvironmentStencils::Prelude(cx);
        if (!compiled) return;
        JS::CompileOptions opts(cx);
        opts.setFileAndLine("prelude", 1);
        JS::InstantiateOptions instantiate(opts);
        JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiate, compiled));
        JS::RootedValue rv(cx);
        if (!script || !JS_ExecuteScript(cx, script, &rv)) JS_ClearPendingException(cx);
    }

    /// The page objects run first in the fresh global; reads of names they lack are
    /// noted from then on, for code the user wrote.
    void InstallEnvironment(JSContext* cx, JS::HandleObject global) {
        JS::Stencil* compiled = EnvironmentStencils::For(cx, m_target == ScriptTarget::JScript58);
        env::Environment::Options options;
        options.jscript = m_target == ScriptTarget::JScript58;
        options.address = m_pageAddress;
        options.isUserCode = IsUserFile;
        options.styles = EnvironmentStencils::Styles;
        options.services = EnvironmentStencils::Services;
        if (m_v8Persona) options.frameRealm = [address = m_pageAddress](JSContext* cx) { return FrameRealm(cx, address); };
        m_env = std::make_unique<env::Environment>(std::move(options));
        detail::EngineCall call;
        m_env->Install(cx, global, compiled);
    }

    /// Queued timers run at the end of every load and evaluation, under the watchdog.
    /// As in a browser, the promise jobs a task leaves run before the next task, so a
    /// chain of timers and promises (wait, then resolve, then wait again) goes on to its
    /// end within one run.
    bool RunTimers(JSContext* cx) {
        if (!m_env) return true;
        JS::RootedObject global(cx, m_global->get());
        for (int left = env::kTimerCallbacksPerRun; left > 0; --left) {
            if (!detail::RunPendingJobs(cx)) return false;
            int ran = 0;
            if (!m_env->RunTimers(cx, global, 1, &ran)) return false;
            if (ran == 0) break;
        }
        return true;
    }

    /// The access record's lines since the last report, one per line, at the places
    /// the user wrote.
    bool EnvironmentReport(Variant& result) {
        JSContext* cx = Cx();
        result = Variant::Text(u"");
        if (!m_env || !cx || !m_global || !m_global->alive() || !detail::EngineAvailable()) return true;
        JSAutoRealm ar(cx, m_global->get());
        JS::RootedObject global(cx, m_global->get());
        // Checking the names again asks the page's objects, which may run the page's
        // code: it runs under the watchdog and 停止 like every other engine call.
        std::vector<env::Miss> misses;
        bool cutShort = false;
        {
            EngineCall call;
            misses = m_env->TakeMisses(cx, global, &cutShort);
            if (JS_IsExceptionPending(cx)) JS_ClearPendingException(cx);
        }
        for (env::Miss& m : misses) {
            if (const jscript::PositionMap* map = MapFor(m.first.file.c_str()); map && !map->Identity()) {
                auto [line, column] = map->ToOriginal(m.first.line, m.first.column);
                m.first.line = line;
                m.first.column = column;
            }
        }
        std::string lines;
        for (const std::string& line : env::ReportLines(misses)) lines += line + "\n";
        std::u16string text = text::Utf8ToUtf16(lines);
        if (cutShort)
            text += detail::LastAbortReason() == detail::AbortReason::OutOfMemory
                        ? U("-->环境缺失未列全：内存不足\n")
                        : U(WorkTimedOut() ? "-->环境缺失未列全：脚本运行超时，已停止\n"
                                           : "-->环境缺失未列全：脚本已被用户停止\n");
        result = Variant::Text(text);
        return true;
    }

    bool SetLanguage(std::vector<Variant>& args) {
        std::u16string lang;
        if (args.empty() || !VariantToWide(args[0], lang)) return false;
        std::u16string lower;
        for (char16_t c : lang) lower.push_back(c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c);
        if (lower != u"jscript" && lower != u"javascript") return false;
        m_language = lang;
        return true;
    }

    /// Runs `body` in this control's global with the error cleared first and captured
    /// afterwards; promise jobs run before the call ends, still under the watchdog.
    /// A call the engine cannot take now fails quietly and leaves the error as it was.
    template <typename Body>
    bool RunInGlobal(const CompiledCode& compiled, Body&& body) {
        JSContext* cx = Cx();
        if (!cx || !m_global || !m_global->alive() || !detail::EngineAvailable()) return false;
        m_error->Clear();
        JSAutoRealm ar(cx, m_global->get());
        EngineCall call;
        persona::V8Wording wording(m_v8Persona);
        if (JS_IsExceptionPending(cx)) JS_ClearPendingException(cx);
        if (!body(cx) || !detail::RunPendingJobs(cx)) {
            CaptureError(cx, compiled, [this](const char* file) { return MapFor(file); }, *m_error,
                         m_target == ScriptTarget::JScript58, m_v8Persona);
            if (m_target == ScriptTarget::JScript58) RefineForJScript(cx, *m_error);
            return false;
        }
        if (JS_IsExceptionPending(cx)) JS_ClearPendingException(cx);
        return true;
    }

    /// JScript tells a call of a variable that holds nothing ("缺少对象") from a call of
    /// some other value that is no function ("缺少函数"); the engine's message names only
    /// the callee. For a global variable its value decides.
    void RefineForJScript(JSContext* cx, ErrorState& e) {
        static const std::string suffix = " is not a function";
        const std::string& m = e.engineMessage;
        if (e.number != errors::ToNumber(errors::kFunctionExpected) || m.size() <= suffix.size() ||
            m.compare(m.size() - suffix.size(), suffix.size(), suffix) != 0)
            return;
        std::string name = m.substr(0, m.size() - suffix.size());
        for (char c : name)
            if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$')) return;
        JS::RootedObject global(cx, m_global->get());
        JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> desc(cx);
        if (!JS_GetOwnPropertyDescriptor(cx, global, name.c_str(), &desc)) {
            JS_ClearPendingException(cx);
            return;
        }
        if (desc.isNothing() || !desc->isDataDescriptor()) return;
        if (desc->value().isNullOrUndefined()) {
            e.number = errors::ToNumber(errors::kObjectExpected);
            e.description = U("缺少对象");
        }
    }

    static bool Evaluate(JSContext* cx, const std::u16string& code, const char* file, JS::MutableHandleValue rv) {
        JS::SourceText<char16_t> src;
        if (!src.init(cx, code.data(), code.size(), JS::SourceOwnership::Borrowed)) return false;
        JS::CompileOptions opts(cx);
        opts.setFileAndLine(file, 1);
        return JS::Evaluate(cx, opts, src, rv);
    }

    /// Under the JScript target the code first passes JScript's gate: refused code
    /// becomes a compile error without running, accepted code may come back rewritten.
    /// False when refused (the Error object then holds the refusal).
    bool PassGate(const std::u16string& code, jscript::CodeKind kind, std::u16string& compiled,
                  std::shared_ptr<jscript::RewrittenSource>& rewritten) {
        rewritten.reset();
        if (m_target != ScriptTarget::JScript58) {
            compiled = code;
            return true;
        }
        jscript::PreparedCode prepared = jscript::PrepareJScript(code, m_cc, kind);
        if (prepared.error) {
            m_error->Clear();
            m_error->number = errors::ToNumber(prepared.error->code);
            m_error->description = prepared.error->description;
            m_error->line = static_cast<int32_t>(prepared.error->line);
            m_error->column = static_cast<int32_t>(prepared.error->column);
            m_error->text = SourceLine(code, prepared.error->line);
            m_error->source = U("JScript 编译错误");
            m_error->inLoadedCode = kind == jscript::CodeKind::Program;
            return false;
        }
        compiled = std::move(prepared.code);
        if (!prepared.positions.Identity())
            rewritten = std::make_shared<jscript::RewrittenSource>(
                jscript::RewrittenSource{code, compiled, std::move(prepared.positions)});
        return true;
    }

    /// Under the JScript target the runtime reads the text of code that failed (was an
    /// undeclared name called?); the control keeps what it compiled as written.
    void KeepCompiledText(const std::string& file, const std::u16string& compiled) {
        if (m_target != ScriptTarget::JScript58) return;
        auto text = std::make_shared<const std::u16string>(compiled);
        jscript::RegisterCompiledText(file, text);
        m_texts[file] = std::move(text);
    }

    const jscript::PositionMap* MapFor(const char* file) const {
        if (!file) return nullptr;
        auto it = m_maps.find(file);
        return it == m_maps.end() ? nullptr : &it->second->positions;
    }

    /// Added code is named for the whole process, so that a function's text can be
    /// traced to its code whichever control runs it.
    static std::string NextAddedCodeName() { return kAddedCodePrefix + std::to_string(g_addedCodeCount++); }

    /// Work stopped as a whole (StopScope) starts nothing more: not even the gate's
    /// reading of a large text, which no stop could end.
    bool RefuseStoppedWork() {
        if (!WorkStopped()) return false;
        m_error->Clear();
        m_error->number = errors::ToNumber(errors::kStopped);
        m_error->description = WorkTimedOut() ? U("脚本运行超时，已停止") : U("脚本已被用户停止");
        m_error->source = U("JScript 运行时错误");
        return true;
    }

    bool AddCode(std::vector<Variant>& args) {
        std::u16string code;
        if (args.empty() || !VariantToWide(args[0], code)) return false;
        if (!m_global || !detail::EngineAvailable()) return false;
        if (RefuseStoppedWork()) return false;
        std::string file = NextAddedCodeName();
        std::u16string compiled;
        std::shared_ptr<jscript::RewrittenSource> rewritten;
        if (!PassGate(code, jscript::CodeKind::Program, compiled, rewritten)) return false;
        if (rewritten) {
            jscript::RegisterRewrittenSource(file, rewritten);
            m_maps[file] = std::move(rewritten);
        } else {
            KeepCompiledText(file, compiled);
        }
        if (m_debuggable && g_debugObserver && m_global->alive()) {
            JSContext* cx = Cx();
            JS::RootedObject global(cx, m_global->get());
            g_debugObserver->CodeAdded(cx, global, file, code);
        }
        return RunInGlobal({file.c_str(), &compiled, &code}, [&](JSContext* cx) {
            JS::RootedValue rv(cx);
            return Evaluate(cx, compiled, file.c_str(), &rv) && RunTimers(cx);
        });
    }

    /// Expressions are compiled once per global and kept: the same expression evaluated
    /// again (a caller's hot loop, the result display) skips the compiler.
    /// The gate's verdict is kept with the compiled script: the same text passes again.
    JSScript* CompiledExpression(JSContext* cx, const std::u16string& expr, const std::u16string& compiled) {
        auto it = m_compiled.find(expr);
        if (it != m_compiled.end()) return it->second.script->get();
        JS::SourceText<char16_t> src;
        if (!src.init(cx, compiled.data(), compiled.size(), JS::SourceOwnership::Borrowed)) return nullptr;
        JS::CompileOptions opts(cx);
        opts.setFileAndLine(kEvalFileName, 1);
        JS::RootedScript script(cx, JS::Compile(cx, opts, src));
        if (!script) return nullptr;
        if (m_compiled.size() >= kCompiledCacheSize) m_compiled.clear();
        CompiledEntry entry{std::make_unique<detail::JsScriptRoot>(script), nullptr};
        if (auto it = m_maps.find(kEvalFileName); it != m_maps.end()) entry.rewritten = it->second;
        m_compiled.emplace(expr, std::move(entry));
        return script;
    }

    bool Eval(std::vector<Variant>& args, Variant& result) {
        std::u16string expr;
        if (args.empty() || !VariantToWide(args[0], expr)) return false;
        if (!m_global || !detail::EngineAvailable()) return false;
        if (RefuseStoppedWork()) return false;
        std::u16string compiled;
        if (auto it = m_compiled.find(expr); it != m_compiled.end()) {
            compiled = expr;  // compiled before: the gate passed it then
            if (!it->second.rewritten) m_maps.erase(kEvalFileName);
            else m_maps[kEvalFileName] = it->second.rewritten;
        } else {
            std::shared_ptr<jscript::RewrittenSource> rewritten;
            if (!PassGate(expr, jscript::CodeKind::EvalCode, compiled, rewritten)) return false;
            if (!rewritten) m_maps.erase(kEvalFileName);
            else m_maps[kEvalFileName] = std::move(rewritten);
        }
        if (m_maps.find(kEvalFileName) == m_maps.end()) KeepCompiledText(kEvalFileName, compiled);
        return RunInGlobal({kEvalFileName, &compiled, &expr}, [&](JSContext* cx) {
            JS::RootedValue rv(cx);
            // The workbench's expression that names console reaches the log's own.
            JS::RootedObject console(cx);
            if (m_debuggable && MentionsConsole(expr)) {
                JS::RootedObject global(cx, m_global->get());
                if (ConsoleReplaced(cx, global)) console = NewWorkbenchConsole(cx);
            }
            if (console) {
                JS::RootedObject scope(cx, JS_NewPlainObject(cx));
                JS::RootedValue value(cx, JS::ObjectValue(*console));
                JS::RootedObjectVector chain(cx);
                JS::SourceText<char16_t> src;
                JS::CompileOptions opts(cx);
                opts.setFileAndLine(kEvalFileName, 1).setNonSyntacticScope(true);
                if (!scope || !JS_DefineProperty(cx, scope, "console", value, JSPROP_READONLY) ||
                    !chain.append(scope) ||
                    !src.init(cx, compiled.data(), compiled.size(), JS::SourceOwnership::Borrowed))
                    return false;
                JS::RootedScript script(cx, JS::Compile(cx, opts, src));
                return script && JS_ExecuteScript(cx, chain, script, &rv) && detail::ToVariant(cx, rv, result) &&
                       RunTimers(cx);
            }
            JS::RootedScript script(cx, CompiledExpression(cx, expr, compiled));
            return script && JS_ExecuteScript(cx, script, &rv) && detail::ToVariant(cx, rv, result) && RunTimers(cx);
        });
    }

    bool Run(std::vector<Variant>& args, Variant& result) {
        std::u16string name;
        if (args.empty() || !VariantToWide(args[0], name)) return false;
        if (m_global && detail::EngineAvailable() && RefuseStoppedWork()) return false;
        return RunInGlobal({}, [&](JSContext* cx) {
            JS::RootedValue fval(cx);
            JS::RootedObject global(cx, m_global->get());
            if (!JS_GetUCProperty(cx, global, name.data(), name.size(), &fval)) return false;
            if (!fval.isObject() || !JS::IsCallable(&fval.toObject())) {
                std::string n = text::Utf16ToUtf8(name);
                JS_ReportErrorNumberUTF8(cx, js::GetErrorMessage, nullptr, JSMSG_NOT_DEFINED, n.c_str());
                return false;
            }
            JS::RootedValueVector argv(cx);
            for (size_t i = 1; i < args.size(); ++i) {
                JS::RootedValue v(cx);
                if (!detail::FromVariant(cx, args[i], &v) || !argv.append(v)) return false;
            }
            JS::RootedValue rv(cx);
            return JS_CallFunctionValue(cx, global, fval, JS::HandleValueArray(argv), &rv) &&
                   detail::ToVariant(cx, rv, result);
        });
    }

    struct ProcEntry {
        std::u16string name;
        int32_t numArgs;
        std::u16string source;
        int fileIndex;
        unsigned line;
    };

    static int FileIndex(const char* file) {
        if (!file || !StartsWith(file, kAddedCodePrefix)) return 1 << 30;
        return std::atoi(file + std::strlen(kAddedCodePrefix));
    }

    /// The functions that added code put on the global, in the order they were defined.
    bool Procedures(Variant& result) {
        JSContext* cx = Cx();
        if (!cx || !m_global || !m_global->alive() || !detail::EngineAvailable()) return false;
        JSAutoRealm ar(cx, m_global->get());
        EngineCall call;
        JS::RootedObject global(cx, m_global->get());
        JS::Rooted<JS::IdVector> ids(cx, JS::IdVector(cx));
        if (!JS_Enumerate(cx, global, &ids)) {
            JS_ClearPendingException(cx);
            return false;
        }
        std::vector<ProcEntry> entries;
        for (size_t i = 0; i < ids.length(); ++i) {
            JS::RootedId id(cx, ids[i]);
            JS::RootedValue v(cx);
            if (!id.isString() || !JS_GetPropertyById(cx, global, id, &v) || !v.isObject()) continue;
            JS::RootedObject obj(cx, &v.toObject());
            JS::RootedFunction fun(cx, JS_GetObjectFunction(obj));
            if (!fun || JS_IsFunctionBound(fun)) continue;
            JSScript* script = JS_GetFunctionScript(cx, fun);
            if (!script) continue;
            ProcEntry e;
            e.name = detail::CopyString(cx, id.toString());
            e.numArgs = JS_GetFunctionArity(fun);
            e.fileIndex = FileIndex(JS_GetScriptFilename(script));
            e.line = JS_GetScriptBaseLineNumber(cx, script);
            e.source = detail::FunctionSource(cx, obj);
            entries.push_back(std::move(e));
        }
        JS_ClearPendingException(cx);
        std::stable_sort(entries.begin(), entries.end(), [](const ProcEntry& a, const ProcEntry& b) {
            return a.fileIndex != b.fileIndex ? a.fileIndex < b.fileIndex : a.line < b.line;
        });
        std::vector<ObjectRef> items;
        for (auto& e : entries) items.push_back(std::make_shared<ProcedureObject>(e.name, e.numArgs, e.source));
        result = Variant::Object(std::make_shared<ProceduresObject>(std::move(items)));
        return true;
    }

    static constexpr size_t kCompiledCacheSize = 256;

    ScriptTarget m_target;
    jscript::ConditionalState m_cc;
    JS::Realm* m_ccRealm = nullptr;
    /// Maps back to the user's text, by file name, for code the gate rewrote.
    std::unordered_map<std::string, std::shared_ptr<const jscript::RewrittenSource>> m_maps;
    std::unordered_map<std::string, std::shared_ptr<const std::u16string>> m_texts;
    std::u16string m_language;
    bool m_browserEnv = false;
    bool m_v8Persona = false;
    bool m_v8PersonaWanted = true;
    bool m_debuggable = false;
    std::u16string m_pageAddress;
    std::unique_ptr<env::Environment> m_env;
    std::unique_ptr<JsObjectRoot> m_global;
    struct CompiledEntry {
        std::unique_ptr<detail::JsScriptRoot> script;
        std::shared_ptr<const jscript::RewrittenSource> rewritten;
    };
    std::unordered_map<std::u16string, CompiledEntry> m_compiled;
    std::shared_ptr<ErrorState> m_error;
    ObjectRef m_errorObject;
};

bool SameIgnoringCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

}  // namespace

std::string UpcomingAddedCodeName() { return kAddedCodePrefix + std::to_string(g_addedCodeCount.load()); }

bool MentionsConsole(const std::u16string& expression) {
    return expression.find(u"console") != std::u16string::npos;
}

namespace {

/// A function of the workbench's own: written in its internal scripts, or a native-looking
/// wrapper over one.
bool IsOwnFunction(JSContext* cx, JS::HandleValue v) {
    if (!v.isObject()) return false;
    JS::RootedObject fn(cx, &v.toObject());
    JS::RootedObject impl(cx);
    if (persona::UnwrapNative(cx, fn, &impl) && impl) fn = impl;
    if (!JS_ObjectIsFunction(fn)) return false;
    JS::RootedFunction fun(cx, JS_GetObjectFunction(fn));
    if (!fun || JS_IsFunctionBound(fun)) return false;
    JSScript* script = JS_GetFunctionScript(cx, fun);
    if (!script) {
        JS_ClearPendingException(cx);
        return false;
    }
    const char* file = JS_GetScriptFilename(script);
    return file && std::strncmp(file, "qy-internal:", 12) == 0;
}

}  // namespace

bool ConsoleReplaced(JSContext* cx, JS::HandleObject global) {
    static const char* const kMethods[] = {"log", "info", "warn", "error", "debug", "table", "dir", "trace", "assert"};
    JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> desc(cx);
    if (!JS_GetOwnPropertyDescriptor(cx, global, "console", &desc)) {
        JS_ClearPendingException(cx);
        return true;
    }
    if (desc.isNothing() || !desc->hasValue() || !desc->value().isObject()) return true;
    JS::RootedObject theirs(cx, &desc->value().toObject());
    for (const char* name : kMethods) {
        JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> method(cx);
        if (!JS_GetOwnPropertyDescriptor(cx, theirs, name, &method)) {
            JS_ClearPendingException(cx);
            return true;
        }
        if (method.isNothing()) return true;
        JS::RootedValue value(cx, method->hasValue() ? method->value() : JS::UndefinedValue());
        if (!method->hasValue() || !IsOwnFunction(cx, value)) return true;
    }
    return false;
}

JSObject* NewWorkbenchConsole(JSContext* cx) {
    JS::RootedObject holder(cx, JS_NewPlainObject(cx));
    JS::RootedValue made(cx);
    if (!holder || !env::InstallConsole(cx, holder, EnvironmentStencils::Console(cx)) ||
        !JS_GetProperty(cx, holder, "console", &made) || !made.isObject()) {
        JS_ClearPendingException(cx);
        return nullptr;
    }
    return &made.toObject();
}

void SetDebugObserver(DebugObserver* observer) { g_debugObserver = observer; }
DebugObserver* CurrentDebugObserver() { return g_debugObserver; }

ObjectRef CreateScriptControlByProgId(const std::string& progId) {
    if (!SameIgnoringCase(progId, "scriptcontrol") && !SameIgnoringCase(progId, "MSScriptControl.ScriptControl"))
        return nullptr;
    if (!Cx()) return nullptr;
    auto control = std::make_shared<ScriptControlObject>();
    if (!control->NewGlobal()) return nullptr;
    return control;
}

}  // namespace qy::script

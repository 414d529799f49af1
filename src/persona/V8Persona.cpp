/** @file V8Persona.cpp
 * The persona's natives: Function.prototype.toString that prints built-ins on one line
 * as V8 does, stacks in V8's text from the engine's saved frames (the user's code under
 * the page's address, the workbench's own scripts never shown), Error.captureStackTrace
 * and Error.stackTraceLimit; then the persona script adds the later built-ins.
 */
#include "persona/V8Persona.h"

#include <js/CallAndConstruct.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/Exception.h>
#include <js/PropertyAndElement.h>
#include <js/SavedFrameAPI.h>
#include <js/SourceText.h>
#include <js/Stack.h>
#include <js/experimental/JSStencil.h>
#include <js/friend/ErrorMessages.h>
#include <jsfriendapi.h>

#include <cmath>
#include <string>
#include <vector>

#include "persona/NativeFunction.h"
#include "persona/PersonaScriptText.h"

namespace qy::persona {
namespace {

constexpr const char* kScriptFile = "qy-internal:persona";
constexpr size_t kAddressSlot = 0;   ///< the page's address (a string)
constexpr size_t kOriginalSlot = 1;  ///< Function.prototype.toString's engine version

UserCodeTest g_isUserCode = nullptr;

std::u16string Copy(JSContext* cx, JSString* s) {
    if (!s) return u"";
    size_t n = JS_GetStringLength(s);
    std::u16string out(n, u'\0');
    if (n && !JS_CopyStringChars(cx, mozilla::Range<char16_t>(out.data(), n), s)) return u"";
    return out;
}

std::u16string Number(uint32_t n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

bool ReturnString(JSContext* cx, JS::CallArgs& args, const std::u16string& text) {
    JSString* s = JS_NewUCStringCopyN(cx, text.data(), text.size());
    if (!s) return false;
    args.rval().setString(s);
    return true;
}

JSFunction* NewNative(JSContext* cx, JSNative native, unsigned length, const char* name) {
    return js::NewFunctionWithReserved(cx, native, length, 0, name);
}

/// The pending error (the engine's, so that the workbench's own line keeps its number)
/// takes V8's message. Always false, for `return Reword(…)`.
bool Reword(JSContext* cx, const char* message) {
    JS::RootedValue exc(cx);
    if (!JS_GetPendingException(cx, &exc) || !exc.isObject()) return false;
    JS_ClearPendingException(cx);
    JS::RootedObject e(cx, &exc.toObject());
    JSString* text = JS_NewStringCopyZ(cx, message);
    if (text) {
        JS::RootedValue msg(cx, JS::StringValue(text));
        (void)JS_SetProperty(cx, e, "message", msg);
    }
    JS_ClearPendingException(cx);
    JS_SetPendingException(cx, exc);
    return false;
}

// ---- Function.prototype.toString ----------------------------------------------------

bool EndsWith(const std::u16string& s, std::u16string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool FunctionToString(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (!args.thisv().isObject() || !JS::IsCallable(&args.thisv().toObject())) {
        JS_ReportErrorNumberASCII(cx, js::GetErrorMessage, nullptr, JSMSG_INCOMPATIBLE_PROTO, "Function", "toString",
                                  "object");
        return Reword(cx, "Function.prototype.toString requires that 'this' be a Function");
    }
    JS::RootedObject self(cx, &args.thisv().toObject());
    JS::RootedValue original(cx, js::GetFunctionNativeReserved(&args.callee(), kOriginalSlot));
    JS::RootedValue text(cx);
    if (!JS::Call(cx, args.thisv(), original, JS::HandleValueArray::empty(), &text)) return false;
    std::u16string source = Copy(cx, text.toString());
    if (!EndsWith(source, u"[native code]\n}")) {
        args.rval().set(text);
        return true;
    }
    JSFunction* fun = JS_ObjectIsFunction(self) ? JS_GetObjectFunction(self) : nullptr;
    if (!fun || JS_IsFunctionBound(fun)) return ReturnString(cx, args, u"function () { [native code] }");
    JS::RootedString name(cx, JS_GetFunctionId(fun));
    std::u16string n = Copy(cx, name);
    // The engine keeps an accessor's bare name; V8 prints its prefix as `name` shows it.
    JS::RootedValue shown(cx);
    if (JS_GetProperty(cx, self, "name", &shown) && shown.isString()) {
        std::u16string s = Copy(cx, shown.toString());
        if ((s.rfind(u"get ", 0) == 0 || s.rfind(u"set ", 0) == 0) && s.substr(4) == n) n = s;
    }
    JS_ClearPendingException(cx);
    return ReturnString(cx, args, u"function " + n + u"() { [native code] }");
}

// ---- stacks --------------------------------------------------------------------------

struct Frame {
    std::u16string text;
};

/// The part of a frame's source before " line N > eval": the file the code came from.
std::string BaseFile(const std::u16string& source) {
    size_t cut = source.find(u" line ");
    std::u16string base = source.substr(0, cut);
    return std::string(base.begin(), base.end());
}

/// The name V8 would show for the engine's display name: guessed names of anonymous
/// functions ("f/<") show none.
std::u16string ShownName(const std::u16string& display) {
    if (display.find(u'<') != std::u16string::npos || display.find(u'/') != std::u16string::npos) return u"";
    return display;
}

/// One line per frame of the user's code, at most `limit`; `skipThrough` (a function's
/// name) drops the frames above and including its first call.
std::vector<std::u16string> FrameLines(JSContext* cx, JS::HandleObject stack, const std::u16string& address,
                                       size_t limit, const std::u16string* skipThrough) {
    std::vector<std::u16string> lines;
    JS::RootedObject frame(cx, stack);
    bool async = false;
    bool skipping = skipThrough != nullptr;
    while (frame && lines.size() < limit) {
        JS::RootedString source(cx), display(cx), cause(cx);
        uint32_t line = 0, column = 0;
        JS::GetSavedFrameSource(cx, nullptr, frame, &source);
        JS::GetSavedFrameLine(cx, nullptr, frame, &line);
        JS::GetSavedFrameColumn(cx, nullptr, frame, &column);
        JS::GetSavedFrameFunctionDisplayName(cx, nullptr, frame, &display);
        JS::GetSavedFrameAsyncCause(cx, nullptr, frame, &cause);
        if (cause) async = true;
        std::u16string src = Copy(cx, source);
        std::u16string name = display ? ShownName(Copy(cx, display)) : u"";
        bool user = g_isUserCode && g_isUserCode(BaseFile(src).c_str());
        if (skipping) {
            if (user && name == *skipThrough) skipping = false;
        } else if (user) {
            std::u16string where = address + u":";
            size_t evalAt = src.find(u" line ");
            if (evalAt != std::u16string::npos) {
                // Code given to eval or Function: V8 names the place of the call.
                size_t numEnd = src.find(u' ', evalAt + 6);
                std::u16string outer = src.substr(evalAt + 6, numEnd - (evalAt + 6));
                where = u"eval at <anonymous> (" + address + u":" + outer + u":1), <anonymous>:";
                if (name.empty() || name == u"anonymous") name = u"eval";
            }
            where += Number(line) + u":" + Number(column);
            std::u16string text = u"    at ";
            if (async) text += u"async ";
            text += name.empty() ? where : name + u" (" + where + u")";
            lines.push_back(std::move(text));
        }
        JS::RootedObject next(cx);
        JS::GetSavedFrameParent(cx, nullptr, frame, &next);
        if (!next) {
            JS::GetSavedFrameAsyncParent(cx, nullptr, frame, &next);
            if (next) async = true;
        }
        frame = next;
    }
    // A function that is not on the stack leaves nothing, as in V8.
    if (skipping) lines.clear();
    return lines;
}

/// V8's first line of a stack: the error as Error.prototype.toString shows it.
bool Header(JSContext* cx, JS::HandleObject obj, std::u16string& out) {
    JS::RootedValue name(cx), message(cx);
    if (!JS_GetProperty(cx, obj, "name", &name) || !JS_GetProperty(cx, obj, "message", &message)) return false;
    std::u16string n = u"Error", m;
    if (!name.isUndefined()) {
        JSString* s = JS::ToString(cx, name);
        if (!s) return false;
        n = Copy(cx, s);
    }
    if (!message.isUndefined()) {
        JSString* s = JS::ToString(cx, message);
        if (!s) return false;
        m = Copy(cx, s);
    }
    out = n.empty() ? m : m.empty() ? n : n + u": " + m;
    return true;
}

/// Error.stackTraceLimit of the global's Error; false when it is not a number (V8 then
/// takes no stack at all).
bool TraceLimit(JSContext* cx, size_t& limit) {
    limit = 10;
    JS::RootedObject global(cx, JS::CurrentGlobalOrNull(cx));
    JS::RootedValue error(cx), value(cx);
    if (!global || !JS_GetProperty(cx, global, "Error", &error) || !error.isObject()) return true;
    JS::RootedObject ctor(cx, &error.toObject());
    JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> desc(cx);
    if (!JS_GetOwnPropertyDescriptor(cx, ctor, "stackTraceLimit", &desc)) return false;
    if (desc.isNothing() || !desc->isDataDescriptor() || !desc->value().isNumber()) return false;
    double d = desc->value().toNumber();
    limit = std::isnan(d) || d <= 0 ? 0 : d >= 1e6 ? 1000000 : static_cast<size_t>(d);
    return true;
}

bool DefineOwnStack(JSContext* cx, JS::HandleObject obj, JS::HandleValue value) {
    JS::Rooted<JS::PropertyDescriptor> desc(
        cx, JS::PropertyDescriptor::Data(value, {JS::PropertyAttribute::Writable, JS::PropertyAttribute::Configurable}));
    JS::RootedId id(cx, JS::PropertyKey::NonIntAtom(JS_AtomizeAndPinString(cx, "stack")));
    return JS_DefinePropertyById(cx, obj, id, desc);
}

/// The stack text of `obj` from the frames in `stack` (null: the header alone).
bool StackText(JSContext* cx, JS::HandleObject obj, JS::HandleObject stack, const std::u16string& address,
               size_t limit, const std::u16string* skipThrough, JS::MutableHandleValue out) {
    std::u16string text;
    if (!Header(cx, obj, text)) return false;
    if (stack) {
        for (const std::u16string& line : FrameLines(cx, stack, address, limit, skipThrough)) text += u"\n" + line;
    }
    JSString* s = JS_NewUCStringCopyN(cx, text.data(), text.size());
    if (!s) return false;
    out.setString(s);
    return true;
}

std::u16string AddressOf(JSContext* cx, JSObject* callee) {
    JS::Value v = js::GetFunctionNativeReserved(callee, kAddressSlot);
    return v.isString() ? Copy(cx, v.toString()) : u"about:blank";
}

/// An error the engine made: its own members the engine adds and V8 has not go, and it
/// gets its stack as an own member, as V8 gives it.
bool SettleError(JSContext* cx, JS::HandleObject obj, const std::u16string& address, JS::MutableHandleValue stack) {
    for (const char* extra : {"fileName", "lineNumber", "columnNumber"}) {
        JS::ObjectOpResult ignored;
        if (!JS_DeleteProperty(cx, obj, extra, ignored)) return false;
    }
    size_t limit = 0;
    if (!TraceLimit(cx, limit)) {
        stack.setUndefined();
        return true;
    }
    JS::RootedObject frames(cx, JS::ExceptionStackOrNull(obj));
    if (!StackText(cx, obj, frames, address, limit, nullptr, stack)) return false;
    return DefineOwnStack(cx, obj, stack);
}

/// Error.prototype's `stack` getter: an error's own stack made on first reading.
bool StackGetter(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::u16string address = AddressOf(cx, &args.callee());  // before rval(), which shares its place
    args.rval().setUndefined();
    if (!args.thisv().isObject() || JS_GetErrorType(args.thisv()).isNothing()) return true;
    JS::RootedObject obj(cx, &args.thisv().toObject());
    return SettleError(cx, obj, address, args.rval());
}

bool StackSetter(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.thisv().isObject()) return true;
    JS::RootedObject obj(cx, &args.thisv().toObject());
    return DefineOwnStack(cx, obj, args.get(0));
}

/// settle(error): for the persona's Error constructors, right after they made one.
bool SettleNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    std::u16string address = AddressOf(cx, &args.callee());
    args.rval().setUndefined();
    if (!args.get(0).isObject()) return true;
    JS::RootedObject obj(cx, &args.get(0).toObject());
    JS::RootedValue ignored(cx);
    return SettleError(cx, obj, address, &ignored);
}

/// Error.captureStackTrace(obj[, fn]).
bool CaptureStackTrace(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (!args.get(0).isObject()) {
        JS_ReportErrorNumberASCII(cx, js::GetErrorMessage, nullptr, JSMSG_OBJECT_REQUIRED, "argument");
        return Reword(cx, "Invalid argument");
    }
    JS::RootedObject obj(cx, &args[0].toObject());
    std::u16string skip;
    bool hasSkip = false;
    if (args.get(1).isObject() && JS_ObjectIsFunction(&args[1].toObject())) {
        JSFunction* fn = JS_GetObjectFunction(&args[1].toObject());
        if (JSString* id = JS_GetFunctionDisplayId(fn)) {
            skip = Copy(cx, id);
            hasSkip = !skip.empty();
        }
    }
    size_t limit = 0;
    if (!TraceLimit(cx, limit)) {
        args.rval().setUndefined();
        return true;
    }
    JS::RootedObject frames(cx);
    if (!JS::CaptureCurrentStack(cx, &frames, JS::StackCapture(JS::AllFrames()))) return false;
    JS::RootedValue text(cx);
    if (!StackText(cx, obj, frames, AddressOf(cx, &args.callee()), limit, hasSkip ? &skip : nullptr, &text))
        return false;
    args.rval().setUndefined();
    return DefineOwnStack(cx, obj, text);
}

// ---- installation -------------------------------------------------------------------

bool DefineMethod(JSContext* cx, JS::HandleObject on, const char* name, JSFunction* fn) {
    if (!fn) return false;
    JS::RootedValue v(cx, JS::ObjectValue(*JS_GetFunctionObject(fn)));
    return JS_DefineProperty(cx, on, name, v, 0);
}

}  // namespace

bool UserPosition(JSContext* cx, JS::HandleObject error, std::string& file, uint32_t& line, uint32_t& column) {
    JS::RootedObject frame(cx, JS::ExceptionStackOrNull(error));
    while (frame && g_isUserCode) {
        JS::RootedString source(cx);
        JS::GetSavedFrameSource(cx, nullptr, frame, &source);
        std::string base = BaseFile(Copy(cx, source));
        if (g_isUserCode(base.c_str())) {
            std::u16string whole = Copy(cx, source);
            file.assign(whole.begin(), whole.end());
            JS::GetSavedFrameLine(cx, nullptr, frame, &line);
            JS::GetSavedFrameColumn(cx, nullptr, frame, &column);
            return true;
        }
        JS::RootedObject next(cx);
        JS::GetSavedFrameParent(cx, nullptr, frame, &next);
        frame = next;
    }
    return false;
}

RefPtr<JS::Stencil> CompileScript(JSContext* cx) {
    std::string_view code = scripts::kTool_v8;
    JS::SourceText<mozilla::Utf8Unit> src;
    if (!src.init(cx, code.data(), code.size(), JS::SourceOwnership::Borrowed)) return nullptr;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(kScriptFile, 1);
    opts.setForceFullParse();
    return JS::CompileGlobalScriptToStencil(cx, opts, src);
}

void PrepareRealm(JS::RealmOptions& options) {
    options.creationOptions().setPropertyErrorMessageFixEnabled(true).setIteratorHelpersEnabled(true);
}

bool InstallV8(JSContext* cx, JS::HandleObject global, JS::Stencil* compiled, const V8Options& options) {
    if (options.isUserCode) g_isUserCode = options.isUserCode;
    std::u16string address = options.pageAddress.empty() ? u"about:blank" : options.pageAddress;
    JS::RootedValue addressValue(cx, JS::StringValue(JS_NewUCStringCopyN(cx, address.data(), address.size())));
    if (!addressValue.toString()) return false;

    // Function.prototype.toString
    JS::RootedObject functionProto(cx, JS::GetRealmFunctionPrototype(cx));
    JS::RootedValue original(cx);
    if (!functionProto || !JS_GetProperty(cx, functionProto, "toString", &original)) return false;
    JSFunction* toString = NewNative(cx, FunctionToString, 0, "toString");
    if (!toString) return false;
    js::SetFunctionNativeReserved(JS_GetFunctionObject(toString), kOriginalSlot, original);
    if (!DefineMethod(cx, functionProto, "toString", toString)) return false;

    // The persona script: later built-ins, V8's Error constructors, JSON's messages.
    JSFunction* settle = NewNative(cx, SettleNative, 1, "settle");
    if (!settle) return false;
    js::SetFunctionNativeReserved(JS_GetFunctionObject(settle), kAddressSlot, addressValue);
    if (!compiled) return false;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(kScriptFile, 1);
    JS::InstantiateOptions instantiate(opts);
    JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiate, compiled));
    JS::RootedValue make(cx);
    if (!script || !JS_ExecuteScript(cx, script, &make) || !make.isObject()) return false;
    JSFunction* native = NewNative(cx, NativeWrapperCall, 4, "native");
    if (!native) return false;
    JS::RootedValueArray<3> argv(cx);
    argv[0].setObject(*global);
    argv[1].setObject(*JS_GetFunctionObject(native));
    argv[2].setObject(*JS_GetFunctionObject(settle));
    JS::RootedValue ignored(cx);
    if (!JS_CallFunctionValue(cx, nullptr, make, argv, &ignored)) return false;

    // Error.prototype.stack, Error.captureStackTrace, Error.stackTraceLimit
    JS::RootedValue errorValue(cx);
    if (!JS_GetProperty(cx, global, "Error", &errorValue) || !errorValue.isObject()) return false;
    JS::RootedObject error(cx, &errorValue.toObject());
    JS::RootedValue protoValue(cx);
    if (!JS_GetProperty(cx, error, "prototype", &protoValue) || !protoValue.isObject()) return false;
    JS::RootedObject errorProto(cx, &protoValue.toObject());
    JSFunction* getter = NewNative(cx, StackGetter, 0, "stack");
    JSFunction* setter = NewNative(cx, StackSetter, 1, "stack");
    JSFunction* capture = NewNative(cx, CaptureStackTrace, 2, "captureStackTrace");
    if (!getter || !setter || !capture) return false;
    js::SetFunctionNativeReserved(JS_GetFunctionObject(getter), kAddressSlot, addressValue);
    js::SetFunctionNativeReserved(JS_GetFunctionObject(capture), kAddressSlot, addressValue);
    JS::RootedObject getterObj(cx, JS_GetFunctionObject(getter)), setterObj(cx, JS_GetFunctionObject(setter));
    if (!JS_DefineProperty(cx, errorProto, "stack", getterObj, setterObj, 0)) return false;
    if (!DefineMethod(cx, error, "captureStackTrace", capture)) return false;
    JS::RootedValue ten(cx, JS::Int32Value(10));
    if (!JS_DefineProperty(cx, error, "stackTraceLimit", ten, JSPROP_ENUMERATE)) return false;

    // What no Chrome has.
    JS::ObjectOpResult ok;
    for (const char* name : {"InternalError", "ScriptEngine", "ScriptEngineMajorVersion", "ScriptEngineMinorVersion",
                             "ScriptEngineBuildVersion", "uneval", "SharedArrayBuffer"}) {
        JS::RootedValue resolved(cx);
        if (!JS_GetProperty(cx, global, name, &resolved) || !JS_DeleteProperty(cx, global, name, ok)) return false;
    }
    JS::RootedObject dateProto(cx);
    JS::RootedValue date(cx), proto(cx);
    if (!JS_GetProperty(cx, global, "Date", &date) || !date.isObject()) return false;
    dateProto = &date.toObject();
    if (!JS_GetProperty(cx, dateProto, "prototype", &proto) || !proto.isObject()) return false;
    dateProto = &proto.toObject();
    if (!JS_DeleteProperty(cx, dateProto, "getVarDate", ok)) return false;
    return true;
}

}  // namespace qy::persona

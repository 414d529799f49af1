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
#include <js/WeakMap.h>
#include <js/Array.h>
#include <js/ArrayBuffer.h>
#include <js/GCAPI.h>
#include <js/experimental/JSStencil.h>
#include <js/friend/ErrorMessages.h>
#include <jsfriendapi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "persona/ExceptionWatch.h"
#include "persona/NativeFunction.h"
#include "persona/Segmenter.h"
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

/// A number element of a record (0 when absent).
uint32_t RecordNumber(JSContext* cx, JS::HandleObject record, uint32_t index) {
    JS::RootedValue v(cx);
    return JS_GetElement(cx, record, index, &v) && v.isNumber() ? static_cast<uint32_t>(v.toNumber()) : 0;
}

std::u16string RecordString(JSContext* cx, JS::HandleObject record, uint32_t index) {
    JS::RootedValue v(cx);
    return JS_GetElement(cx, record, index, &v) && v.isString() ? Copy(cx, v.toString()) : u"";
}

/// The stack text of `obj` from the watcher's records of its frames: the limit, then
/// [file, line, column, name] or, for eval'd code, [file, line, column, name, eval line,
/// eval column, caller].
bool RecordText(JSContext* cx, JS::HandleObject obj, JS::HandleObject records, const std::u16string& address,
                JS::MutableHandleValue out) {
    std::u16string text;
    if (!Header(cx, obj, text)) return false;
    uint32_t count = 0;
    if (!JS::GetArrayLength(cx, records, &count)) return false;
    uint32_t limit = RecordNumber(cx, records, 0), shown = 0;
    for (uint32_t i = 1; i < count && shown < limit; ++i) {
        JS::RootedValue item(cx);
        if (!JS_GetElement(cx, records, i, &item) || !item.isObject()) continue;
        JS::RootedObject r(cx, &item.toObject());
        std::u16string file = RecordString(cx, r, 0);
        if (!g_isUserCode || !g_isUserCode(BaseFile(file).c_str())) continue;
        uint32_t length = 0;
        if (!JS::GetArrayLength(cx, r, &length)) return false;
        std::u16string name = RecordString(cx, r, 3);
        std::u16string where = Number(RecordNumber(cx, r, 1)) + u":" + Number(RecordNumber(cx, r, 2));
        if (length >= 7) {
            where = u"eval at " + RecordString(cx, r, 6) + u" (" + address + u":" + Number(RecordNumber(cx, r, 4)) + u":" +
                    Number(RecordNumber(cx, r, 5)) + u"), <anonymous>:" + where;
        } else {
            where = address + u":" + where;
        }
        text += u"\n    at " + (name.empty() ? where : name + u" (" + where + u")");
        ++shown;
    }
    JSString* s = JS_NewUCStringCopyN(cx, text.data(), text.size());
    if (!s) return false;
    out.setString(s);
    return true;
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

/// The stack natives share two slots: the page's address, and an array never shown to
/// scripts of the record of every error's stack (a weak map from the error to [state, x]:
/// state 0 means frames taken with limit x and not yet written; state 1 means the text x,
/// or what a script set), the shared getter and the shared setter.
constexpr size_t kSharedSlot = 1;

std::u16string AddressOf(JSContext* cx, JSObject* callee) {
    JS::Value v = js::GetFunctionNativeReserved(callee, kAddressSlot);
    return v.isString() ? Copy(cx, v.toString()) : u"about:blank";
}

struct StackRecord {
    JSContext* cx;
    JS::RootedObject map;
    StackRecord(JSContext* c, JSObject* callee) : cx(c), map(c) {
        JS::RootedObject shared(c, &js::GetFunctionNativeReserved(callee, kSharedSlot).toObject());
        JS::RootedValue v(c);
        if (JS_GetElement(c, shared, 0, &v) && v.isObject()) map = &v.toObject();
    }

    bool Get(JS::HandleObject key, int& state, JS::MutableHandleValue x) {
        JS::RootedValue entry(cx);
        state = -1;
        if (!map || !JS::GetWeakMapEntry(cx, map, key, &entry)) return false;
        if (!entry.isObject()) return true;
        JS::RootedObject pair(cx, &entry.toObject());
        JS::RootedValue st(cx);
        if (!JS_GetElement(cx, pair, 0, &st) || !JS_GetElement(cx, pair, 1, x)) return false;
        state = st.toInt32();
        return true;
    }
    bool Set(JS::HandleObject key, int state, JS::HandleValue x) {
        JS::RootedValueArray<2> items(cx);
        items[0].setInt32(state);
        items[1].set(x);
        JS::RootedObject pair(cx, JS::NewArrayObject(cx, items));
        if (!pair || !map) return false;
        JS::RootedValue entry(cx, JS::ObjectValue(*pair));
        return JS::SetWeakMapEntry(cx, map, key, entry);
    }
};

/// The error's own `stack`, an accessor pair as V8 gives it, defined ahead of its message
/// (and cause) as V8 orders them.
bool OwnStackAccessor(JSContext* cx, JS::HandleObject obj, JS::HandleObject getter, JS::HandleObject setter) {
    JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> message(cx), cause(cx);
    if (!JS_GetOwnPropertyDescriptor(cx, obj, "message", &message) || !JS_GetOwnPropertyDescriptor(cx, obj, "cause", &cause))
        return false;
    JS::ObjectOpResult ignored;
    if (message.isSome() && !JS_DeleteProperty(cx, obj, "message", ignored)) return false;
    if (cause.isSome() && !JS_DeleteProperty(cx, obj, "cause", ignored)) return false;
    if (!JS_DefineProperty(cx, obj, "stack", getter, setter, 0)) return false;
    if (message.isSome()) {
        JS::Rooted<JS::PropertyDescriptor> d(cx, *message);
        if (!JS_DefineProperty(cx, obj, "message", d.value(), 0)) return false;
    }
    if (cause.isSome()) {
        JS::Rooted<JS::PropertyDescriptor> d(cx, *cause);
        if (!JS_DefineProperty(cx, obj, "cause", d.value(), 0)) return false;
    }
    return true;
}

/// An error made: the members the engine adds and V8 has not go, its frames are taken
/// under the limit now in force (none when the limit is no number), and it gets its own
/// `stack`, written when first read.
bool SettleError(JSContext* cx, JS::HandleObject obj, StackRecord& record, JS::HandleObject getter,
                 JS::HandleObject setter, JS::HandleValue framesFrom = JS::UndefinedHandleValue) {
    for (const char* extra : {"fileName", "lineNumber", "columnNumber"}) {
        JS::ObjectOpResult ignored;
        if (!JS_DeleteProperty(cx, obj, extra, ignored)) return false;
    }
    size_t limit = 0;
    if (!TraceLimit(cx, limit)) return true;
    JS::RootedValue x(cx, JS::NumberValue(static_cast<double>(limit)));
    int state = 0;
    if (framesFrom.isObject()) {
        // The watcher names the frames as V8 does (constructors, methods, eval).
        JS::RootedValue records(cx);
        if (JS_CallFunctionValue(cx, nullptr, framesFrom, JS::HandleValueArray(x), &records) && records.isObject()) {
            x = records;
            state = 2;
        } else {
            JS_ClearPendingException(cx);
        }
    }
    return record.Set(obj, state, x) && OwnStackAccessor(cx, obj, getter, setter);
}

/// The watcher's frames function, when there is a watcher.
bool FramesFrom(JSContext* cx, JSObject* callee, JS::MutableHandleValue out) {
    JS::RootedObject shared(cx, &js::GetFunctionNativeReserved(callee, kSharedSlot).toObject());
    return JS_GetElement(cx, shared, 3, out);
}

/// The getter (0) or setter (1) every error's `stack` shares.
JSObject* Accessor(JSContext* cx, JSObject* callee, uint32_t which) {
    JS::RootedObject shared(cx, &js::GetFunctionNativeReserved(callee, kSharedSlot).toObject());
    JS::RootedValue v(cx);
    if (!JS_GetElement(cx, shared, 1 + which, &v) || !v.isObject()) return nullptr;
    return &v.toObject();
}

bool StackGetter(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject callee(cx, &args.callee());
    args.rval().setUndefined();
    if (!args.thisv().isObject()) return true;
    JS::RootedObject obj(cx, &args.thisv().toObject());
    StackRecord record(cx, callee);
    int state = -1;
    JS::RootedValue x(cx);
    if (!record.Get(obj, state, &x)) return false;
    if (state == 1) {
        args.rval().set(x);
        return true;
    }
    if (state == -1) {
        // An error the engine threw: settled on its first reading.
        if (JS_GetErrorType(args.thisv()).isNothing()) return true;
        JS::RootedObject setter(cx, Accessor(cx, callee, 1));
        if (!setter || !SettleError(cx, obj, record, callee, setter) || !record.Get(obj, state, &x)) return false;
        if (state != 0) return true;
    }
    JS::RootedValue text(cx);
    if (state == 2) {
        JS::RootedObject records(cx, &x.toObject());
        if (!RecordText(cx, obj, records, AddressOf(cx, callee), &text)) return false;
    } else {
        JS::RootedObject frames(cx, JS::ExceptionStackOrNull(obj));
        size_t limit = static_cast<size_t>(x.toNumber());
        if (!StackText(cx, obj, frames, AddressOf(cx, callee), limit, nullptr, &text)) return false;
    }
    if (!record.Set(obj, 1, text)) return false;
    args.rval().set(text);
    return true;
}

bool StackSetter(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject callee(cx, &args.callee());
    JS::RootedValue value(cx, args.get(0));
    args.rval().setUndefined();
    if (!args.thisv().isObject()) return true;
    JS::RootedObject obj(cx, &args.thisv().toObject());
    StackRecord record(cx, callee);
    return record.Set(obj, 1, value);
}

/// settle(error): for the persona's Error constructors, right after they made one.
bool SettleNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject callee(cx, &args.callee());
    args.rval().setUndefined();
    if (!args.get(0).isObject()) return true;
    JS::RootedObject obj(cx, &args.get(0).toObject());
    JS::RootedObject getter(cx, Accessor(cx, callee, 0)), setter(cx, Accessor(cx, callee, 1));
    StackRecord record(cx, callee);
    JS::RootedValue framesFrom(cx);
    return getter && setter && FramesFrom(cx, callee, &framesFrom) &&
           SettleError(cx, obj, record, getter, setter, framesFrom);
}

/// note(error) → the limit its frames are to be taken under, or -1 when it needs none
/// (it has its stack already, or the limit is no number); note(error, records) → keeps
/// the frames the watcher took where the error was thrown (null: the engine's frames).
bool NoteNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject callee(cx, &args.callee());
    args.rval().setInt32(-1);
    if (!args.get(0).isObject()) return true;
    JS::RootedObject obj(cx, &args[0].toObject());
    StackRecord record(cx, callee);
    int state = -1;
    JS::RootedValue x(cx);
    if (!record.Get(obj, state, &x) || state != -1) return true;
    if (args.length() < 2) {
        size_t limit = 0;
        if (TraceLimit(cx, limit)) args.rval().setNumber(static_cast<double>(limit));
        return true;
    }
    JS::RootedObject getter(cx, Accessor(cx, callee, 0)), setter(cx, Accessor(cx, callee, 1));
    if (!getter || !setter) return false;
    if (!args[1].isObject()) return SettleError(cx, obj, record, getter, setter);  // the engine's frames
    for (const char* extra : {"fileName", "lineNumber", "columnNumber"}) {
        JS::ObjectOpResult ignored;
        if (!JS_DeleteProperty(cx, obj, extra, ignored)) return false;
    }
    return record.Set(obj, 2, args[1]) && OwnStackAccessor(cx, obj, getter, setter);
}

/// Error.captureStackTrace(obj[, fn]).
bool CaptureStackTrace(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject callee(cx, &args.callee());
    if (!args.get(0).isObject()) {
        JS_ReportErrorNumberASCII(cx, js::GetErrorMessage, nullptr, JSMSG_OBJECT_REQUIRED, "argument");
        return Reword(cx, "invalid_argument");
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
    args.rval().setUndefined();
    size_t limit = 0;
    if (!TraceLimit(cx, limit)) return true;
    JS::RootedObject frames(cx);
    if (!JS::CaptureCurrentStack(cx, &frames, JS::StackCapture(JS::AllFrames()))) return false;
    JS::RootedValue text(cx);
    if (!StackText(cx, obj, frames, AddressOf(cx, callee), limit, hasSkip ? &skip : nullptr, &text)) return false;
    StackRecord record(cx, callee);
    JS::RootedObject getter(cx, Accessor(cx, callee, 0)), setter(cx, Accessor(cx, callee, 1));
    return getter && setter && record.Set(obj, 1, text) && OwnStackAccessor(cx, obj, getter, setter);
}

// ---- what the persona script asks of the engine ------------------------------------

/// detached(buffer): whether an ArrayBuffer has been detached (false for anything else).
bool BufferDetached(JSContext* cx, unsigned argc, JS::Value* vp) {
    (void)cx;
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setBoolean(args.get(0).isObject() && JS::IsArrayBufferObject(&args[0].toObject()) &&
                           JS::IsDetachedArrayBufferObject(&args[0].toObject()));
    return true;
}

/// transfer(buffer, length): a new buffer with the old one's bytes (cut or zero-filled
/// to `length`); the old one is detached. The script checks its arguments first.
bool BufferTransfer(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (!args.get(0).isObject() || !JS::IsArrayBufferObject(&args[0].toObject()) || !args.get(1).isNumber()) {
        args.rval().setUndefined();
        return true;
    }
    JS::RootedObject old(cx, &args[0].toObject());
    size_t oldLength = JS::GetArrayBufferByteLength(old);
    size_t length = static_cast<size_t>(args[1].toNumber());
    JS::RootedObject made(cx, JS::NewArrayBuffer(cx, length));
    if (!made) return false;
    {
        JS::AutoCheckCannotGC nogc;
        bool shared = false;
        uint8_t* from = JS::GetArrayBufferData(old, &shared, nogc);
        uint8_t* to = JS::GetArrayBufferData(made, &shared, nogc);
        if (from && to) std::memcpy(to, from, std::min(oldLength, length));
    }
    if (!JS::DetachArrayBuffer(cx, old)) return false;
    args.rval().setObject(*made);
    return true;
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
    options.creationOptions()
        .setPropertyErrorMessageFixEnabled(true)
        .setIteratorHelpersEnabled(true)
        .setSharedMemoryAndAtomicsEnabled(true);
}

bool InstallV8(JSContext* cx, JS::HandleObject global, JS::Stencil* compiled, const V8Options& options,
               JS::HandleObject watcher) {
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

    // The natives behind every error's stack, sharing the page's address and the record.
    JSFunction* getter = NewNative(cx, StackGetter, 0, "stack");
    JSFunction* setter = NewNative(cx, StackSetter, 1, "stack");
    JSFunction* capture = NewNative(cx, CaptureStackTrace, 2, "captureStackTrace");
    JSFunction* settle = NewNative(cx, SettleNative, 1, "settle");
    JSFunction* note = NewNative(cx, NoteNative, 2, "note");
    JS::RootedObject record(cx, JS::NewWeakMapObject(cx));
    if (!getter || !setter || !capture || !settle || !note || !record) return false;
    JS::RootedObject getterObj(cx, JS_GetFunctionObject(getter)), setterObj(cx, JS_GetFunctionObject(setter));
    JS::RootedValueArray<4> sharedItems(cx);
    sharedItems[0].setObject(*record);
    sharedItems[1].setObject(*getterObj);
    sharedItems[2].setObject(*setterObj);
    // The watcher, when there is one, sees this global's exceptions and names frames.
    if (watcher) {
        JS::RootedObject noteObj(cx, JS_GetFunctionObject(note));
        JS::RootedValue frames(cx);
        if (WatchExceptions(cx, watcher, global, noteObj, &frames)) sharedItems[3].set(frames);
    }
    JS::RootedObject shared(cx, JS::NewArrayObject(cx, sharedItems));
    if (!shared) return false;
    for (JSFunction* fn : {getter, setter, capture, settle, note}) {
        js::SetFunctionNativeReserved(JS_GetFunctionObject(fn), kAddressSlot, addressValue);
        js::SetFunctionNativeReserved(JS_GetFunctionObject(fn), kSharedSlot, JS::ObjectValue(*shared));
    }

    // The persona script: later built-ins, V8's Error constructors, JSON's messages.
    if (!compiled) return false;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(kScriptFile, 1);
    JS::InstantiateOptions instantiate(opts);
    JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiate, compiled));
    JS::RootedValue make(cx);
    if (!script || !JS_ExecuteScript(cx, script, &make) || !make.isObject()) return false;
    JSFunction* native = NewNative(cx, NativeWrapperCall, 4, "native");
    if (!native) return false;
    static const JSFunctionSpec kHost[] = {
        JS_FN("detached", BufferDetached, 1, 0),
        JS_FN("transfer", BufferTransfer, 2, 0),
        JS_FN("segment", Segment, 3, 0),
        JS_FS_END,
    };
    JS::RootedObject host(cx, JS_NewPlainObject(cx));
    if (!host || !JS_DefineFunctions(cx, host, kHost)) return false;
    JS::RootedValueArray<4> argv(cx);
    argv[0].setObject(*global);
    argv[1].setObject(*JS_GetFunctionObject(native));
    argv[2].setObject(*JS_GetFunctionObject(settle));
    argv[3].setObject(*host);
    JS::RootedValue ignored(cx);
    if (!JS_CallFunctionValue(cx, nullptr, make, argv, &ignored)) return false;

    // Error.prototype.stack (for the errors the engine throws), Error.captureStackTrace,
    // Error.stackTraceLimit
    JS::RootedValue errorValue(cx);
    if (!JS_GetProperty(cx, global, "Error", &errorValue) || !errorValue.isObject()) return false;
    JS::RootedObject error(cx, &errorValue.toObject());
    JS::RootedValue protoValue(cx);
    if (!JS_GetProperty(cx, error, "prototype", &protoValue) || !protoValue.isObject()) return false;
    JS::RootedObject errorProto(cx, &protoValue.toObject());
    if (!JS_DefineProperty(cx, errorProto, "stack", getterObj, setterObj, 0)) return false;
    if (!DefineMethod(cx, error, "captureStackTrace", capture)) return false;
    JS::RootedValue ten(cx, JS::Int32Value(10));
    if (!JS_DefineProperty(cx, error, "stackTraceLimit", ten, JSPROP_ENUMERATE)) return false;

    // What no Chrome has.
    JS::ObjectOpResult ok;
    for (const char* name : {"InternalError", "AsyncIterator", "ScriptEngine", "ScriptEngineMajorVersion", "ScriptEngineMinorVersion",
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

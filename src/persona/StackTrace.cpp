/** @file StackTrace.cpp
 * Errors' stacks as V8 gives them. Each error owns a `stack` accessor pair (shared by
 * all errors) and is recorded in a weak map: its first line and its frames are taken
 * when it is made (or thrown), the text is written when the stack is first read, and
 * Error.prepareStackTrace, when a script set one, receives the frames as call sites.
 * The frames come from the exception watcher, which names them as V8 does (new X,
 * Type.method, eval at …), or else from the engine's saved frames; only the user's
 * code shows, under the page's address.
 */
#include <js/Array.h>
#include <js/CallAndConstruct.h>
#include <js/Conversions.h>
#include <js/Exception.h>
#include <js/PropertyAndElement.h>
#include <js/SavedFrameAPI.h>
#include <js/Stack.h>
#include <js/WeakMap.h>
#include <js/friend/ErrorMessages.h>
#include <jsfriendapi.h>

#include <cmath>

#include "persona/ExceptionWatch.h"
#include "persona/PersonaInternal.h"

namespace qy::persona::detail {
namespace {

UserCodeTest g_isUserCode = nullptr;

/// The natives' second slot: an array no page's script reaches.
constexpr size_t kSharedSlot = 1;
enum Shared : uint32_t { kRecordMap = 0, kGetter, kSetter, kWatcherFrames, kCallSites, kSharedCount };

/// States of an error's record: [state, a, b]; a is the message the error was made
/// with, b its frames (or the limit to take the engine's under); a text state holds the
/// stack's value in a.
enum State : int { kNone = -1, kSavedFrames = 0, kText = 1, kWatcherRecords = 2 };

std::u16string Address(JSContext* cx, JSObject* callee) {
    JS::Value v = js::GetFunctionNativeReserved(callee, kAddressSlot);
    return v.isString() ? Copy(cx, v.toString()) : u"about:blank";
}

bool SharedItem(JSContext* cx, JSObject* callee, uint32_t which, JS::MutableHandleValue out) {
    JS::RootedObject shared(cx, &js::GetFunctionNativeReserved(callee, kSharedSlot).toObject());
    return JS_GetElement(cx, shared, which, out);
}

JSObject* SharedObject(JSContext* cx, JSObject* callee, uint32_t which) {
    JS::RootedValue v(cx);
    return SharedItem(cx, callee, which, &v) && v.isObject() ? &v.toObject() : nullptr;
}

// ---- the record of each error -------------------------------------------------------

struct Entry {
    int state = kNone;
    JS::RootedValue a, b;
    explicit Entry(JSContext* cx) : a(cx), b(cx) {}
};

bool GetEntry(JSContext* cx, JSObject* callee, JS::HandleObject error, Entry& entry) {
    JS::RootedObject map(cx, SharedObject(cx, callee, kRecordMap));
    JS::RootedValue v(cx);
    entry.state = kNone;
    if (!map || !JS::GetWeakMapEntry(cx, map, error, &v)) return false;
    if (!v.isObject()) return true;
    JS::RootedObject e(cx, &v.toObject());
    JS::RootedValue state(cx);
    if (!JS_GetElement(cx, e, 0, &state) || !JS_GetElement(cx, e, 1, &entry.a) || !JS_GetElement(cx, e, 2, &entry.b))
        return false;
    entry.state = state.toInt32();
    return true;
}

bool SetEntry(JSContext* cx, JSObject* callee, JS::HandleObject error, int state, JS::HandleValue a,
              JS::HandleValue b = JS::UndefinedHandleValue) {
    JS::RootedObject map(cx, SharedObject(cx, callee, kRecordMap));
    JS::RootedValueArray<3> items(cx);
    items[0].setInt32(state);
    items[1].set(a);
    items[2].set(b);
    JS::RootedObject e(cx, JS::NewArrayObject(cx, items));
    if (!map || !e) return false;
    JS::RootedValue v(cx, JS::ObjectValue(*e));
    return JS::SetWeakMapEntry(cx, map, error, v);
}

// ---- the first line and the limit ---------------------------------------------------

/// The message an error has when it is made: V8 writes it in the stack's first line
/// even when it changes later (the name, though, is read when the stack is).
bool MessageNow(JSContext* cx, JS::HandleObject obj, JS::MutableHandleValue out) {
    JS::RootedValue message(cx);
    if (!JS_GetProperty(cx, obj, "message", &message)) return false;
    if (message.isUndefined()) {
        out.setUndefined();
        return true;
    }
    JSString* s = JS::ToString(cx, message);
    if (!s) return false;
    out.setString(s);
    return true;
}

/// V8's first line of a stack: the error's name as it is now, and its message as it was.
bool Header(JSContext* cx, JS::HandleObject obj, JS::HandleValue message, JS::MutableHandleValue out) {
    JS::RootedValue name(cx);
    if (!JS_GetProperty(cx, obj, "name", &name)) return false;
    std::u16string n = u"Error", m = message.isString() ? Copy(cx, message.toString()) : u"";
    if (!name.isUndefined()) {
        JSString* s = JS::ToString(cx, name);
        if (!s) return false;
        n = Copy(cx, s);
    }
    std::u16string text = n.empty() ? m : m.empty() ? n : n + u": " + m;
    JSString* s = JS_NewUCStringCopyN(cx, text.data(), text.size());
    if (!s) return false;
    out.setString(s);
    return true;
}

bool ErrorConstructor(JSContext* cx, JS::MutableHandleObject out) {
    JS::RootedObject global(cx, JS::CurrentGlobalOrNull(cx));
    JS::RootedValue error(cx);
    if (!global || !JS_GetProperty(cx, global, "Error", &error)) return false;
    out.set(error.isObject() ? &error.toObject() : nullptr);
    return true;
}

/// Error.stackTraceLimit of the global's Error; false when it is no number (V8 then
/// takes no stack at all).
bool TraceLimit(JSContext* cx, uint32_t& limit) {
    limit = 10;
    JS::RootedObject ctor(cx);
    if (!ErrorConstructor(cx, &ctor)) {
        JS_ClearPendingException(cx);
        return true;
    }
    if (!ctor) return true;
    JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> desc(cx);
    if (!JS_GetOwnPropertyDescriptor(cx, ctor, "stackTraceLimit", &desc)) {
        JS_ClearPendingException(cx);
        return false;
    }
    if (desc.isNothing() || !desc->isDataDescriptor() || !desc->value().isNumber()) return false;
    double d = desc->value().toNumber();
    limit = std::isnan(d) || d <= 0 ? 0 : d >= 1e6 ? 1000000 : static_cast<uint32_t>(d);
    return true;
}

// ---- frames -------------------------------------------------------------------------

/// The part of a frame's source before " line N > eval": the file the code came from.
std::string BaseFile(const std::u16string& source) {
    std::u16string base = source.substr(0, source.find(u" line "));
    return std::string(base.begin(), base.end());
}

/// One frame as V8's call sites hold it: [file, line, column, function name, type name
/// or null, constructing, eval line (0: not eval'd code), eval column, eval caller,
/// awaited (an async function waiting for the frames above it)]. The watcher's records
/// add the member the function ran as when that is another name ("[as trace]"), and a
/// built-in's frame has no file and line 0 ("at Array.map (<anonymous>)").
bool AppendRecord(JSContext* cx, JS::HandleObject records, const std::u16string& file, uint32_t line, uint32_t column,
                  const std::u16string& function, JS::HandleValue typeName, bool constructing, uint32_t evalLine,
                  uint32_t evalColumn, const std::u16string& evalCaller, bool awaited = false) {
    // Each string is rooted in the array before the next is made (making one may collect).
    JS::RootedValueArray<10> items(cx);
    auto string = [&](size_t at, const std::u16string& text) {
        JSString* made = JS_NewUCStringCopyN(cx, text.data(), text.size());
        if (made) items[at].setString(made);
        return made != nullptr;
    };
    if (!string(0, file) || !string(3, function) || !string(8, evalCaller)) return false;
    items[1].setNumber(line);
    items[2].setNumber(column);
    items[4].set(typeName);
    items[5].setBoolean(constructing);
    items[6].setNumber(evalLine);
    items[7].setNumber(evalColumn);
    items[9].setBoolean(awaited);
    JS::RootedObject record(cx, JS::NewArrayObject(cx, items));
    uint32_t length = 0;
    return record && JS::GetArrayLength(cx, records, &length) && JS_SetElement(cx, records, length, record);
}

/// The user's frames of the engine's saved stack, at most `limit`; `skipThrough` (a
/// function's name) drops the frames above and including its first call.
bool SavedFrameRecords(JSContext* cx, JS::HandleObject stack, uint32_t limit, const std::u16string* skipThrough,
                       JS::MutableHandleObject out) {
    JS::RootedObject records(cx, JS::NewArrayObject(cx, 0));
    if (!records) return false;
    JS::RootedObject frame(cx, stack);
    bool skipping = skipThrough != nullptr;
    // Past the first wait, frames are async functions waiting for those above them.
    bool awaited = false;
    uint32_t shown = 0;
    while (frame && shown < limit) {
        JS::RootedString source(cx), display(cx);
        uint32_t line = 0, column = 0;
        JS::GetSavedFrameSource(cx, nullptr, frame, &source);
        JS::GetSavedFrameLine(cx, nullptr, frame, &line);
        JS::GetSavedFrameColumn(cx, nullptr, frame, &column);
        JS::GetSavedFrameFunctionDisplayName(cx, nullptr, frame, &display);
        std::u16string src = Copy(cx, source);
        std::u16string name = display ? Copy(cx, display) : u"";
        // Guessed names of anonymous functions ("f/<") show none, as in V8.
        if (name.find(u'<') != std::u16string::npos || name.find(u'/') != std::u16string::npos) name.clear();
        // Past a wait V8 shows the functions waiting, not the script that started them.
        bool user = g_isUserCode && g_isUserCode(BaseFile(src).c_str()) && !(awaited && name.empty());
        if (skipping) {
            if (user && name == *skipThrough) skipping = false;
        } else if (user) {
            uint32_t evalLine = 0;
            if (size_t at = src.find(u" line "); at != std::u16string::npos) {
                // Code given to eval or Function: V8 names the place of the call.
                evalLine = static_cast<uint32_t>(std::stoul(std::string(src.begin() + at + 6, src.end())));
                if (name.empty() || name == u"anonymous") name = u"eval";
            }
            if (!AppendRecord(cx, records, src, line, column, name, JS::NullHandleValue, false, evalLine, 1,
                              u"<anonymous>", awaited))
                return false;
            ++shown;
        }
        JS::RootedObject next(cx);
        JS::GetSavedFrameParent(cx, nullptr, frame, &next);
        if (!next) {
            JS::GetSavedFrameAsyncParent(cx, nullptr, frame, &next);
            if (next) awaited = true;
        }
        frame = next;
    }
    // A function that is not on the stack leaves nothing, as in V8.
    if (skipping) records = JS::NewArrayObject(cx, 0);
    out.set(records);
    return records != nullptr;
}

/// The user's frames of the watcher's records (the limit first, then one per frame).
bool WatcherRecords(JSContext* cx, JS::HandleObject all, JS::MutableHandleObject out) {
    JS::RootedObject records(cx, JS::NewArrayObject(cx, 0));
    uint32_t count = 0;
    JS::RootedValue v(cx);
    if (!records || !JS::GetArrayLength(cx, all, &count) || !JS_GetElement(cx, all, 0, &v)) return false;
    uint32_t limit = v.isNumber() ? static_cast<uint32_t>(v.toNumber()) : 10, shown = 0;
    for (uint32_t i = 1; i < count && shown < limit; ++i) {
        JS::RootedValue item(cx), file(cx);
        if (!JS_GetElement(cx, all, i, &item) || !item.isObject()) continue;
        JS::RootedObject r(cx, &item.toObject());
        if (!JS_GetElement(cx, r, 0, &file) || !file.isString()) continue;
        // A built-in's frame has no file.
        bool builtin = JS_GetStringLength(file.toString()) == 0;
        if (!builtin && (!g_isUserCode || !g_isUserCode(BaseFile(Copy(cx, file.toString())).c_str()))) continue;
        if (!JS_SetElement(cx, records, shown++, r)) return false;
    }
    out.set(records);
    return true;
}

std::u16string RecordString(JSContext* cx, JS::HandleObject r, uint32_t i) {
    JS::RootedValue v(cx);
    return JS_GetElement(cx, r, i, &v) && v.isString() ? Copy(cx, v.toString()) : u"";
}
uint32_t RecordNumber(JSContext* cx, JS::HandleObject r, uint32_t i) {
    JS::RootedValue v(cx);
    return JS_GetElement(cx, r, i, &v) && v.isNumber() ? static_cast<uint32_t>(v.toNumber()) : 0;
}

/// The address a frame's code came from: a page's external script's own (its `src`
/// against the page's address), the page's for everything else.
std::u16string FrameAddress(const std::u16string& file, const std::u16string& address) {
    const std::u16string prefix = u"page:";
    std::u16string base = file.substr(0, file.find(u" line "));
    if (base.compare(0, prefix.size(), prefix) != 0 || base.compare(prefix.size(), 7, u"inline-") == 0 ||
        base.compare(prefix.size(), 8, u"written-") == 0)
        return address;
    std::u16string src = base.substr(prefix.size());
    if (src.find(u"://") != std::u16string::npos || src.compare(0, 5, u"data:") == 0) return src;
    std::u16string page = address.substr(0, address.find_first_of(u"?#"));
    size_t scheme = page.find(u"://");
    if (scheme == std::u16string::npos) return address;
    if (src.compare(0, 2, u"//") == 0) return page.substr(0, scheme + 1) + src;
    size_t path = page.find(u'/', scheme + 3);
    if (path == std::u16string::npos) path = page.size();
    if (!src.empty() && src[0] == u'/') return page.substr(0, path) + src;
    size_t slash = page.rfind(u'/');
    std::u16string folder = slash >= path && slash != std::u16string::npos ? page.substr(0, slash + 1)
                                                                            : page.substr(0, path) + u"/";
    return folder + src;
}

/// The stack text: the first line, then "    at …" for each frame as V8 writes it.
bool StackText(JSContext* cx, JS::HandleValue header, JS::HandleObject records, const std::u16string& address,
               JS::MutableHandleValue out) {
    std::u16string text = header.isString() ? Copy(cx, header.toString()) : u"Error";
    uint32_t count = 0;
    if (!JS::GetArrayLength(cx, records, &count)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        JS::RootedValue item(cx), type(cx), constructing(cx);
        if (!JS_GetElement(cx, records, i, &item) || !item.isObject()) continue;
        JS::RootedObject r(cx, &item.toObject());
        if (!JS_GetElement(cx, r, 4, &type) || !JS_GetElement(cx, r, 5, &constructing)) return false;
        std::u16string function = RecordString(cx, r, 3), name;
        JS::RootedValue awaited(cx);
        if (!JS_GetElement(cx, r, 9, &awaited)) return false;
        if (constructing.isTrue()) name = u"new " + (function.empty() ? u"<anonymous>" : function);
        else if (type.isString()) name = Copy(cx, type.toString()) + u"." + (function.empty() ? u"<anonymous>" : function);
        else name = function;
        // A method found under another member's name.
        std::u16string alias = RecordString(cx, r, 10);
        if (!alias.empty() && !name.empty()) name += u" [as " + alias + u"]";
        std::u16string where = Number(RecordNumber(cx, r, 1)) + u":" + Number(RecordNumber(cx, r, 2));
        if (RecordNumber(cx, r, 1) == 0 && RecordString(cx, r, 0).empty()) {
            where = u"<anonymous>";  // a built-in's frame
        } else if (uint32_t evalLine = RecordNumber(cx, r, 6)) {
            where = u"eval at " + RecordString(cx, r, 8) + u" (" + address + u":" + Number(evalLine) + u":" +
                    Number(RecordNumber(cx, r, 7)) + u"), <anonymous>:" + where;
        } else {
            where = FrameAddress(RecordString(cx, r, 0), address) + u":" + where;
        }
        // An async function waiting: "at async outer (…)", or "at async …" without a name.
        std::u16string prefix = awaited.isTrue() ? u"async " : u"";
        text += u"\n    at " + prefix + (name.empty() ? where : name + u" (" + where + u")");
    }
    JSString* s = JS_NewUCStringCopyN(cx, text.data(), text.size());
    if (!s) return false;
    out.setString(s);
    return true;
}

/// The stack's value: Error.prepareStackTrace's answer when a script set one, else the
/// text.
bool StackValue(JSContext* cx, JSObject* calleeObj, JS::HandleObject error, JS::HandleValue message,
                JS::HandleObject records, JS::MutableHandleValue out) {
    JS::RootedObject callee(cx, calleeObj);
    JS::RootedValue header(cx);
    if (!Header(cx, error, message, &header)) return false;
    std::u16string address = Address(cx, callee);
    JS::RootedObject ctor(cx);
    JS::RootedValue prepare(cx);
    if (!ErrorConstructor(cx, &ctor)) return false;
    if (ctor && !JS_GetProperty(cx, ctor, "prepareStackTrace", &prepare)) return false;
    if (prepare.isObject() && JS::IsCallable(&prepare.toObject())) {
        JS::RootedValue make(cx), sites(cx);
        if (!SharedItem(cx, callee, kCallSites, &make)) return false;
        if (make.isObject()) {
            JS::RootedValueArray<2> makeArgs(cx);
            makeArgs[0].setObject(*records);
            JSString* a = JS_NewUCStringCopyN(cx, address.data(), address.size());
            if (!a) return false;
            makeArgs[1].setString(a);
            if (!JS_CallFunctionValue(cx, nullptr, make, makeArgs, &sites)) return false;
            JS::RootedValueArray<2> prepareArgs(cx);
            prepareArgs[0].setObject(*error);
            prepareArgs[1].set(sites);
            JS::RootedValue self(cx, JS::ObjectValue(*ctor));
            return JS::Call(cx, self, prepare, prepareArgs, out);
        }
    }
    return StackText(cx, header, records, address, out);
}

// ---- the natives --------------------------------------------------------------------

/// The error's own `stack`, an accessor pair as V8 gives it, defined ahead of its message
/// (and cause) as V8 orders them.
bool OwnStack(JSContext* cx, JSObject* calleeObj, JS::HandleObject obj) {
    JS::RootedObject callee(cx, calleeObj);
    JS::RootedObject getter(cx, SharedObject(cx, callee, kGetter)), setter(cx, SharedObject(cx, callee, kSetter));
    if (!getter || !setter) return false;
    JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> message(cx), cause(cx);
    if (!JS_GetOwnPropertyDescriptor(cx, obj, "message", &message) || !JS_GetOwnPropertyDescriptor(cx, obj, "cause", &cause))
        return false;
    JS::ObjectOpResult ignored;
    if (message.isSome() && !JS_DeleteProperty(cx, obj, "message", ignored)) return false;
    if (cause.isSome() && !JS_DeleteProperty(cx, obj, "cause", ignored)) return false;
    if (!JS_DefineProperty(cx, obj, "stack", getter, setter, 0)) return false;
    JS::RootedValue v(cx);
    if (message.isSome()) {
        v = message->value();
        if (!JS_DefineProperty(cx, obj, "message", v, 0)) return false;
    }
    if (cause.isSome()) {
        v = cause->value();
        if (!JS_DefineProperty(cx, obj, "cause", v, 0)) return false;
    }
    return true;
}

/// An error made or thrown: the members the engine adds and V8 has not go; its first
/// line and frames are taken under the limit now in force (an undefined stack when the
/// limit is no number), from `records` (the watcher's) when given, else from the engine's
/// saved frames; and it gets its own `stack`.
bool Settle(JSContext* cx, JSObject* calleeObj, JS::HandleObject obj, JS::HandleValue records) {
    JS::RootedObject callee(cx, calleeObj);
    for (const char* extra : {"fileName", "lineNumber", "columnNumber"}) {
        JS::ObjectOpResult ignored;
        if (!JS_DeleteProperty(cx, obj, extra, ignored)) return false;
    }
    uint32_t limit = 0;
    if (!TraceLimit(cx, limit)) {
        // No number: V8 still gives the error its own stack, which reads undefined.
        return SetEntry(cx, callee, obj, kText, JS::UndefinedHandleValue) && OwnStack(cx, callee, obj);
    }
    JS::RootedValue header(cx);
    if (!MessageNow(cx, obj, &header)) return false;
    JS::RootedValue limitValue(cx, JS::NumberValue(limit));
    bool ok = records.isObject() ? SetEntry(cx, callee, obj, kWatcherRecords, header, records)
                                 : SetEntry(cx, callee, obj, kSavedFrames, header, limitValue);
    return ok && OwnStack(cx, callee, obj);
}

bool StackGetter(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject callee(cx, &args.callee());
    args.rval().setUndefined();
    if (!args.thisv().isObject()) return true;
    JS::RootedObject obj(cx, &args.thisv().toObject());
    Entry entry(cx);
    if (!GetEntry(cx, callee, obj, entry)) return false;
    if (entry.state == kNone) {
        // An error the engine threw and nobody noted: settled on its first reading.
        if (JS_GetErrorType(args.thisv()).isNothing()) return true;
        if (!Settle(cx, callee, obj, JS::UndefinedHandleValue) || !GetEntry(cx, callee, obj, entry)) return false;
        if (entry.state == kNone) return true;
    }
    if (entry.state == kText) {
        args.rval().set(entry.a);
        return true;
    }
    JS::RootedObject records(cx);
    if (entry.state == kWatcherRecords) {
        JS::RootedObject all(cx, &entry.b.toObject());
        JS::RootedValue limit(cx);
        // The watcher's records hold the async functions waiting, too.
        if (!WatcherRecords(cx, all, &records)) return false;
    } else {
        JS::RootedObject frames(cx, JS::ExceptionStackOrNull(obj));
        if (!SavedFrameRecords(cx, frames, static_cast<uint32_t>(entry.b.toNumber()), nullptr, &records)) return false;
    }
    JS::RootedValue value(cx);
    if (!StackValue(cx, callee, obj, entry.a, records, &value) || !SetEntry(cx, callee, obj, kText, value)) return false;
    args.rval().set(value);
    return true;
}

bool StackSetter(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject callee(cx, &args.callee());
    JS::RootedValue value(cx, args.get(0));
    args.rval().setUndefined();
    if (!args.thisv().isObject()) return true;
    JS::RootedObject obj(cx, &args.thisv().toObject());
    return SetEntry(cx, callee, obj, kText, value);
}

/// An error made by a subclass of Error (`new.target`): V8 leaves out the frames of its
/// constructors, down to and with the subclass's own.
bool DropSubclassFrames(JSContext* cx, JS::HandleValue records, JS::HandleValue subclass) {
    JSObject* fnObj = &subclass.toObject();
    if (!JS_ObjectIsFunction(fnObj)) return true;
    JSString* id = JS_GetFunctionId(JS_GetObjectFunction(fnObj));
    if (!id) return true;
    std::u16string name = Copy(cx, id);
    JS::RootedObject all(cx, &records.toObject());
    uint32_t count = 0;
    if (!JS::GetArrayLength(cx, all, &count)) return false;
    for (uint32_t i = 1; i < count; ++i) {
        JS::RootedValue item(cx), constructing(cx);
        if (!JS_GetElement(cx, all, i, &item) || !item.isObject()) continue;
        JS::RootedObject r(cx, &item.toObject());
        if (!JS_GetElement(cx, r, 5, &constructing)) return false;
        if (!constructing.isTrue() || RecordString(cx, r, 3) != name) continue;
        // Keep the limit in front, then the frames below the subclass's constructor.
        JS::RootedValueVector kept(cx);
        for (uint32_t j = 0; j < count; ++j) {
            if (j >= 1 && j <= i) continue;
            JS::RootedValue v(cx);
            if (!JS_GetElement(cx, all, j, &v) || !kept.append(v)) return false;
        }
        if (!JS::SetArrayLength(cx, all, 0)) return false;
        for (size_t k = 0; k < kept.length(); ++k)
            if (!JS_SetElement(cx, all, static_cast<uint32_t>(k), kept[k])) return false;
        return true;
    }
    return true;
}

/// settle(error[, subclass]): for the persona's Error constructors, right after they made
/// one (`subclass`: the new.target when it is not the constructor itself).
bool SettleNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject callee(cx, &args.callee());
    args.rval().setUndefined();
    if (!args.get(0).isObject()) return true;
    JS::RootedObject obj(cx, &args[0].toObject());
    JS::RootedValue frames(cx), records(cx);
    uint32_t limit = 0;
    if (!SharedItem(cx, callee, kWatcherFrames, &frames)) return false;
    if (frames.isObject() && TraceLimit(cx, limit)) {
        // The watcher names the frames as V8 does (constructors, methods, eval).
        JS::RootedValue arg(cx, JS::NumberValue(limit));
        if (!JS_CallFunctionValue(cx, nullptr, frames, JS::HandleValueArray(arg), &records)) JS_ClearPendingException(cx);
        if (records.isObject() && args.get(1).isObject() && !DropSubclassFrames(cx, records, args[1])) return false;
    }
    return Settle(cx, callee, obj, records);
}

/// note(error) → the limit its frames are to be taken under (0 when the limit is no
/// number), or -1 when it needs none (it has its stack already); note(error, records)
/// → keeps the frames the watcher took where the error was thrown (null: the engine's
/// frames).
bool NoteNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject callee(cx, &args.callee());
    args.rval().setInt32(-1);
    if (!args.get(0).isObject()) return true;
    JS::RootedObject obj(cx, &args[0].toObject());
    Entry entry(cx);
    if (!GetEntry(cx, callee, obj, entry) || entry.state != kNone) return true;
    if (args.length() < 2) {
        // A limit that is no number takes no frames, but the error is still worded and
        // settled (with an undefined stack).
        uint32_t limit = 0;
        args.rval().setNumber(TraceLimit(cx, limit) ? limit : 0);
        return true;
    }
    JS::RootedValue records(cx, args[1]);
    return Settle(cx, callee, obj, records);
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
    if (args.get(1).isObject() && JS_ObjectIsFunction(&args[1].toObject())) {
        if (JSString* id = JS_GetFunctionDisplayId(JS_GetObjectFunction(&args[1].toObject()))) skip = Copy(cx, id);
    }
    args.rval().setUndefined();
    uint32_t limit = 0;
    if (!TraceLimit(cx, limit)) return true;
    JS::RootedObject frames(cx), records(cx);
    JS::RootedValue header(cx), value(cx);
    return JS::CaptureCurrentStack(cx, &frames, JS::StackCapture(JS::AllFrames())) && MessageNow(cx, obj, &header) &&
           SavedFrameRecords(cx, frames, limit, skip.empty() ? nullptr : &skip, &records) &&
           StackValue(cx, callee, obj, header, records, &value) && SetEntry(cx, callee, obj, kText, value) &&
           OwnStack(cx, callee, obj);
}

JSFunction* SharedNative(JSContext* cx, JSNative native, unsigned length, const char* name, JS::HandleValue address,
                         JS::HandleObject shared) {
    JSFunction* fn = NewNative(cx, native, length, name);
    if (!fn) return nullptr;
    js::SetFunctionNativeReserved(JS_GetFunctionObject(fn), kAddressSlot, address);
    js::SetFunctionNativeReserved(JS_GetFunctionObject(fn), kSharedSlot, JS::ObjectValue(*shared));
    return fn;
}

}  // namespace

void SetUserCodeTest(UserCodeTest test) {
    if (test) g_isUserCode = test;
}

bool IsUserFile(const std::u16string& source) { return g_isUserCode && g_isUserCode(BaseFile(source).c_str()); }

bool MakeStacks(JSContext* cx, JS::HandleObject global, JS::HandleValue address, JS::HandleObject watcher,
                JS::MutableHandleObject settle) {
    JS::RootedObject shared(cx, JS::NewArrayObject(cx, kSharedCount));
    JS::RootedObject map(cx, JS::NewWeakMapObject(cx));
    if (!shared || !map || !JS_SetElement(cx, shared, kRecordMap, map)) return false;
    // V8's stack accessor is anonymous: it prints as "function () { [native code] }".
    // Each native is rooted before the next is made (making one may collect).
    auto make = [&](JSNative native, unsigned length, const char* name, JS::MutableHandleObject out) {
        JSFunction* fn = SharedNative(cx, native, length, name, address, shared);
        if (fn) out.set(JS_GetFunctionObject(fn));
        return fn != nullptr;
    };
    JS::RootedObject getterObj(cx), setterObj(cx), settleObj(cx), noteObj(cx);
    if (!make(StackGetter, 0, nullptr, &getterObj) || !make(StackSetter, 1, nullptr, &setterObj) ||
        !make(SettleNative, 1, "settle", &settleObj) || !make(NoteNative, 2, "note", &noteObj))
        return false;
    if (!JS_SetElement(cx, shared, kGetter, getterObj) || !JS_SetElement(cx, shared, kSetter, setterObj)) return false;
    if (watcher) {
        // The watcher sees this global's exceptions and names the frames of its errors.
        JS::RootedValue frames(cx);
        if (WatchExceptions(cx, watcher, global, noteObj, &frames) && !JS_SetElement(cx, shared, kWatcherFrames, frames))
            return false;
    }
    settle.set(settleObj);
    return true;
}

bool FinishStacks(JSContext* cx, JS::HandleObject global, JS::HandleObject settle, JS::HandleValue callSites) {
    JS::RootedObject shared(cx, &js::GetFunctionNativeReserved(settle, kSharedSlot).toObject());
    JS::RootedValue address(cx, js::GetFunctionNativeReserved(settle, kAddressSlot));
    if (!JS_SetElement(cx, shared, kCallSites, callSites)) return false;
    JS::RootedValue errorValue(cx), protoValue(cx);
    if (!JS_GetProperty(cx, global, "Error", &errorValue) || !errorValue.isObject()) return false;
    JS::RootedObject error(cx, &errorValue.toObject());
    if (!JS_GetProperty(cx, error, "prototype", &protoValue) || !protoValue.isObject()) return false;
    JS::RootedObject proto(cx, &protoValue.toObject());
    // The errors the engine throws get their own stack where the watcher first sees them,
    // so Error.prototype has none, as in V8. Without a watcher they inherit this one.
    JS::RootedValue frames(cx);
    if (!JS_GetElement(cx, shared, kWatcherFrames, &frames)) return false;
    if (frames.isObject()) {
        JS::ObjectOpResult ignored;
        if (!JS_DeleteProperty(cx, proto, "stack", ignored)) return false;
    } else {
        JS::RootedObject getter(cx, SharedObject(cx, settle, kGetter)), setter(cx, SharedObject(cx, settle, kSetter));
        if (!getter || !setter || !JS_DefineProperty(cx, proto, "stack", getter, setter, 0)) return false;
    }
    JSFunction* capture = SharedNative(cx, CaptureStackTrace, 2, "captureStackTrace", address, shared);
    if (!capture) return false;
    JS::RootedValue captureValue(cx, JS::ObjectValue(*JS_GetFunctionObject(capture)));
    JS::RootedValue ten(cx, JS::Int32Value(10));
    return JS_DefineProperty(cx, error, "captureStackTrace", captureValue, 0) &&
           JS_DefineProperty(cx, error, "stackTraceLimit", ten, JSPROP_ENUMERATE);
}

}  // namespace qy::persona::detail

namespace qy::persona {

bool UserPosition(JSContext* cx, JS::HandleObject error, std::string& file, uint32_t& line, uint32_t& column) {
    JS::RootedObject frame(cx, JS::ExceptionStackOrNull(error));
    while (frame) {
        JS::RootedString source(cx);
        JS::GetSavedFrameSource(cx, nullptr, frame, &source);
        std::u16string whole = detail::Copy(cx, source);
        if (detail::IsUserFile(whole)) {
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

}  // namespace qy::persona

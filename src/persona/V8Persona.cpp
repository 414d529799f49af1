/** @file V8Persona.cpp
 * The persona's natives: Function.prototype.toString that prints built-ins on one line
 * as V8 does, and the installation: stacks (StackTrace.cpp), then the persona script
 * with the later built-ins, then what no Chrome has taken away.
 */
#include "persona/V8Persona.h"

#include <js/ArrayBuffer.h>
#include <js/Array.h>
#include <js/CallAndConstruct.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/PropertyAndElement.h>
#include <js/SourceText.h>
#include <js/experimental/JSStencil.h>
#include <js/friend/ErrorMessages.h>
#include <jsfriendapi.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "codecache/CodeCache.h"
#include "persona/NativeFunction.h"
#include "persona/PersonaInternal.h"
#include "persona/PersonaScriptText.h"
#include "persona/Segmenter.h"
#include "persona/V8Math.h"

namespace qy::persona {
namespace detail {

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

JSFunction* NewNative(JSContext* cx, JSNative native, unsigned length, const char* name) {
    return js::NewFunctionWithReserved(cx, native, length, 0, name);
}

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

}  // namespace detail

namespace {

using detail::Copy;
using detail::NewNative;
using detail::Reword;

constexpr const char* kScriptFile = "qy-internal:persona";
constexpr size_t kOriginalSlot = 1;  ///< Function.prototype.toString's engine version

bool ReturnString(JSContext* cx, JS::CallArgs& args, const std::u16string& text) {
    JSString* s = JS_NewUCStringCopyN(cx, text.data(), text.size());
    if (!s) return false;
    args.rval().setString(s);
    return true;
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
    // (The engine makes a native's length and name when first looked for, in that order
    // as V8 lists them, unless name is looked for alone.)
    JS::RootedValue shown(cx);
    bool hasLength = false;
    if (JS_HasOwnProperty(cx, self, "length", &hasLength) && JS_GetProperty(cx, self, "name", &shown) && shown.isString()) {
        std::u16string s = Copy(cx, shown.toString());
        if ((s.rfind(u"get ", 0) == 0 || s.rfind(u"set ", 0) == 0) && s.substr(4) == n) n = s;
    }
    JS_ClearPendingException(cx);
    return ReturnString(cx, args, u"function " + n + u"() { [native code] }");
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

/// intrinsic(name): the engine's own constructor of that name, whatever the global holds
/// now (undefined for a name that is none of the engine's).
bool Intrinsic(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isString()) return true;
    JS::RootedString name(cx, args[0].toString());
    JS::RootedId id(cx);
    if (!JS_StringToId(cx, name, &id)) return false;
    JSProtoKey key = JS_IdToProtoKey(cx, id);
    if (key == JSProto_Null) return true;
    JS::RootedObject ctor(cx);
    if (!JS_GetClassObject(cx, key, &ctor)) return false;
    if (ctor) args.rval().setObject(*ctor);
    return true;
}

/// hidden(target, key, value): target[key] = value as the built-ins' own members are:
/// writable, configurable, not enumerable.
bool DefineHidden(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isObject()) {
        JS_ReportErrorASCII(cx, "hidden: an object expected");
        return false;
    }
    JS::RootedObject target(cx, &args[0].toObject());
    JS::RootedId id(cx);
    return JS_ValueToId(cx, args.get(1), &id) && JS_DefinePropertyById(cx, target, id, args.get(2), 0);
}

/// method(target, key, length, impl, shown): a native wrapper of `impl` named `shown`
/// defined as hidden() defines a member. (The persona makes dozens of these for every
/// page: one call each instead of a descriptor read in script.)
bool DefineNativeMethod(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isObject() || !args.get(3).isObject() || !JS::IsCallable(&args[3].toObject())) {
        JS_ReportErrorASCII(cx, "method: an object and a function expected");
        return false;
    }
    JS::RootedObject target(cx, &args[0].toObject()), impl(cx, &args[3].toObject());
    JS::RootedId id(cx);
    if (!JS_ValueToId(cx, args.get(1), &id)) return false;
    JS::RootedString shown(cx, JS::ToString(cx, args.get(4)));
    if (!shown) return false;
    double length = 0;
    if (!JS::ToNumber(cx, args.get(2), &length)) return false;
    JSFunction* fn = NewNativeWrapper(cx, impl, Copy(cx, shown), length > 0 && length < 65536 ? static_cast<unsigned>(length) : 0);
    if (!fn) return false;
    JS::RootedValue value(cx, JS::ObjectValue(*JS_GetFunctionObject(fn)));
    return JS_DefinePropertyById(cx, target, id, value, 0);
}

bool DefineMethod(JSContext* cx, JS::HandleObject on, const char* name, JSFunction* fn) {
    if (!fn) return false;
    JS::RootedValue v(cx, JS::ObjectValue(*JS_GetFunctionObject(fn)));
    return JS_DefineProperty(cx, on, name, v, 0);
}

/// finish(Intl) for `global`'s Intl.
bool RunIntlWork(JSContext* cx, JS::HandleObject global, JS::HandleValue finish) {
    JS::RootedValueArray<1> argv(cx);
    if (!JS_GetProperty(cx, global, "Intl", argv[0])) return false;
    JS::RootedValue ignored(cx);
    return JS::Call(cx, JS::UndefinedHandleValue, finish, argv, &ignored);
}

}  // namespace

bool WhenIntlMade(JSContext* cx, JS::HandleObject global, JS::HandleValue finish) {
    if (!finish.isObject() || !JS::IsCallable(&finish.toObject())) {
        JS_ReportErrorASCII(cx, "whenIntl: a function expected");
        return false;
    }
    JS::RootedValue slot(cx, JS::GetReservedSlot(global, kIntlWorkSlot));
    if (slot.isTrue()) return RunIntlWork(cx, global, finish);
    JS::RootedObject list(cx, slot.isObject() ? &slot.toObject() : JS::NewArrayObject(cx, 0));
    uint32_t n = 0;
    if (!list || !JS::GetArrayLength(cx, list, &n) || !JS_SetElement(cx, list, n, finish)) return false;
    JS::SetReservedSlot(global, kIntlWorkSlot, JS::ObjectValue(*list));
    return true;
}

bool IntlMade(JSContext* cx, JS::HandleObject global) {
    JS::RootedValue slot(cx, JS::GetReservedSlot(global, kIntlWorkSlot));
    if (slot.isTrue()) return true;
    // Marked first: work that reaches Intl again finds it made.
    JS::SetReservedSlot(global, kIntlWorkSlot, JS::TrueValue());
    if (!slot.isObject()) return true;
    JS::RootedObject list(cx, &slot.toObject());
    uint32_t n = 0;
    if (!JS::GetArrayLength(cx, list, &n)) return false;
    JS::RootedValue finish(cx);
    for (uint32_t i = 0; i < n; ++i)
        if (!JS_GetElement(cx, list, i, &finish) || !RunIntlWork(cx, global, finish)) return false;
    return true;
}

bool WhenIntlNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    JS::RootedObject global(cx, JS::CurrentGlobalOrNull(cx));
    return global && WhenIntlMade(cx, global, args.get(0));
}

RefPtr<JS::Stencil> CompileScript(JSContext* cx) {
    std::string_view code = scripts::kTool_v8;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(kScriptFile, 1);
    // Compiled lazily: a global makes code only for the functions its set-up runs (those
    // the script puts in parentheses) and those its page calls, not for the many built-ins
    // a page never touches. (Kept between runs in the code cache.)
    return codecache::GlobalStencil(cx, opts, false, codecache::Hash(code), [&]() -> RefPtr<JS::Stencil> {
        JS::SourceText<mozilla::Utf8Unit> src;
        if (!src.init(cx, code.data(), code.size(), JS::SourceOwnership::Borrowed)) return nullptr;
        return JS::CompileGlobalScriptToStencil(cx, opts, src);
    });
}

void PrepareRealm(JS::RealmOptions& options) {
    options.creationOptions()
        .setPropertyErrorMessageFixEnabled(true)
        .setIteratorHelpersEnabled(true)
        .setSharedMemoryAndAtomicsEnabled(true);
}

bool InstallV8(JSContext* cx, JS::HandleObject global, JS::Stencil* compiled, const V8Options& options,
               JS::HandleObject watcher) {
    detail::SetUserCodeTest(options.isUserCode);
    std::u16string address = options.pageAddress.empty() ? u"about:blank" : options.pageAddress;
    JSString* addressString = JS_NewUCStringCopyN(cx, address.data(), address.size());
    if (!addressString) return false;
    JS::RootedValue addressValue(cx, JS::StringValue(addressString));

    // Function.prototype.toString
    JS::RootedObject functionProto(cx, JS::GetRealmFunctionPrototype(cx));
    JS::RootedValue original(cx);
    if (!functionProto || !JS_GetProperty(cx, functionProto, "toString", &original)) return false;
    JSFunction* toString = NewNative(cx, FunctionToString, 0, "toString");
    if (!toString) return false;
    js::SetFunctionNativeReserved(JS_GetFunctionObject(toString), kOriginalSlot, original);
    if (!DefineMethod(cx, functionProto, "toString", toString)) return false;  // rooted there first

    // The natives behind every error's stack; the watcher, when there is one, sees this
    // global's exceptions.
    JS::RootedObject settle(cx);
    if (!detail::MakeStacks(cx, global, addressValue, watcher, &settle)) return false;

    // The persona script: later built-ins, V8's Error constructors, JSON's messages.
    if (!compiled) return false;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(kScriptFile, 1);
    JS::InstantiateOptions instantiate(opts);
    JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiate, compiled));
    JS::RootedValue make(cx);
    if (!script || !JS_ExecuteScript(cx, script, &make) || !make.isObject()) return false;
    JSFunction* nativeFn = NewNative(cx, NativeWrapperCall, 4, "native");
    if (!nativeFn) return false;
    JS::RootedObject native(cx, JS_GetFunctionObject(nativeFn));
    static const JSFunctionSpec kHost[] = {
        JS_FN("detached", BufferDetached, 1, 0),
        JS_FN("transfer", BufferTransfer, 2, 0),
        JS_FN("segment", Segment, 3, 0),
        JS_FN("intrinsic", Intrinsic, 1, 0),
        JS_FN("hidden", DefineHidden, 3, 0),
        JS_FN("method", DefineNativeMethod, 5, 0),
        JS_FN("whenIntl", WhenIntlNative, 1, 0),
        JS_FS_END,
    };
    JS::RootedObject host(cx, JS_NewPlainObject(cx));
    if (!host || !JS_DefineFunctions(cx, host, kHost)) return false;
    JS::RootedValueArray<4> argv(cx);
    argv[0].setObject(*global);
    argv[1].setObject(*native);
    argv[2].setObject(*settle);
    argv[3].setObject(*host);
    JS::RootedValue callSites(cx);
    if (!JS_CallFunctionValue(cx, nullptr, make, argv, &callSites)) return false;

    // Error.prototype.stack (for the errors the engine throws), Error.captureStackTrace,
    // Error.stackTraceLimit
    if (!detail::FinishStacks(cx, global, settle, callSites)) return false;

    // Math and radix printing with Chrome's last bits.
    if (!InstallMath(cx, global)) return false;

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

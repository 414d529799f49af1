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
#include <js/JSON.h>
#include <js/PropertyAndElement.h>
#include <js/PropertyDescriptor.h>
#include <js/Realm.h>
#include <js/SavedFrameAPI.h>
#include <js/SourceText.h>
#include <js/Stack.h>
#include <js/String.h>
#include <js/Wrapper.h>
#include <jsfriendapi.h>
#include <sys/random.h>

#include <cstring>
#include <functional>
#include <optional>
#include <mutex>
#include <random>
#include <unordered_map>
#include <unordered_set>

#include "codecache/CodeCache.h"
#include "env/AccessTrace.h"
#include "env/CssHost.h"
#include "env/EnvironmentScripts.h"
#include "env/InterfaceTable.h"
#include "env/TextHost.h"
#include "jscript/SourceGate.h"
#include "persona/NativeFunction.h"
#include "persona/V8Persona.h"
#include "text/CodePage.h"
#include "text/LogLines.h"

namespace qy::env {
namespace {

// The environment's own scripts carry names that mark them as the workbench's: stacks
// and the access record leave their frames out.
constexpr const char* kInternalPrefix = "qy-internal:";
constexpr const char* kEnvironmentFile = "qy-internal:env";
constexpr const char* kConsoleFile = "qy-internal:console";
constexpr const char* kStylesFile = "qy-internal:env-styles";
constexpr const char* kServicesFile = "qy-internal:env-services";
// Where the environment script takes the console script (its function's last argument).
constexpr std::string_view kConsoleSlot = "/* console.js */ null";
// Where the insertable form calls the environment's function; the workbench calls it itself.
constexpr std::string_view kSelfCall = "})(function () { return this; }()";
constexpr uint32_t kMaxRandomBytes = 65536;
// The global's application slot that holds the environment's host (out of scripts' reach).
constexpr uint32_t kGlobalHostSlot = 0;
// The host's slots: the timer runner, and for Chrome's face its name resolver.
enum HostSlot : uint32_t { kTimersSlot, kResolveSlot, kResolveAllSlot, kMemberSlot, kLoadPageSlot, kWorkSlot, kHostSlots };
const JSClass* GlobalClassOf();

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

JSObject* HostOf(JSObject* global);
bool DefineWindowMember(JSContext* cx, JS::HandleObject global, JS::HandleId id, std::string_view name, bool* defined);
extern thread_local bool g_makingMember;
bool CallResolver(JSContext* cx, JSObject* hostObject, HostSlot slot, JS::HandleValue name, bool* defined);
}  // namespace
bool HostFrameRealm(JSContext* cx, unsigned argc, JS::Value* vp);
bool HostServices(JSContext* cx, unsigned argc, JS::Value* vp);
namespace {

/// A name as ASCII text, held here (no allocation: the resolve hooks see every missed
/// name); empty when it is longer than any page name or holds anything but ASCII.
class AsciiName {
public:
    AsciiName() = default;
    explicit AsciiName(JSLinearString* s) {
        if (!s) return;
        size_t n = JS::GetLinearStringLength(s);
        if (n > kLongest) return;
        JS::AutoCheckCannotGC nogc;
        if (JS::LinearStringHasLatin1Chars(s)) Copy(JS::GetLatin1LinearStringChars(nogc, s), n);
        else Copy(JS::GetTwoByteLinearStringChars(nogc, s), n);
    }
    std::string_view view() const { return std::string_view(m_text, m_size); }

private:
    static constexpr size_t kLongest = 64;
    template <typename Char>
    void Copy(const Char* chars, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            if (chars[i] == 0 || chars[i] > 127) return;
            m_text[i] = static_cast<char>(chars[i]);
        }
        m_size = n;
    }
    char m_text[kLongest];
    size_t m_size = 0;
};

/// A name as ASCII text; empty when it holds anything else (no page name does).
std::string AsciiOf(JSLinearString* s) { return std::string(AsciiName(s).view()); }

/// Misses of the global: the engine's standard classes, then the page's names (Chrome's
/// face makes its interfaces and the window's members when a script first names them),
/// then the access record.
bool GlobalResolve(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool* resolvedp) {
    if (!JS_ResolveStandardClass(cx, obj, id, resolvedp)) return false;
    if (*resolvedp) {
        // The page's Intl as Chrome's: its set-up waited for this.
        if (!id.isString() || !JS_LinearStringEqualsLiteral(id.toLinearString(), "Intl")) return true;
        persona::EnvironmentTime metered;
        return persona::IntlMade(cx, obj);
    }
    persona::EnvironmentTime metered;
    AsciiName name(id.isString() ? id.toLinearString() : nullptr);
    if (id.isString() && IsWindowName(name.view())) {
        if (JSObject* host = HostOf(obj)) {
            // The window's own members the workbench makes itself (untraced).
            if (!g_makingMember && JS::GetReservedSlot(host, kWorkSlot).isObject()) {
                g_makingMember = true;
                bool ok = DefineWindowMember(cx, obj, id, name.view(), resolvedp);
                g_makingMember = false;
                if (!ok || *resolvedp) return ok;
            }
            JS::RootedObject hostObject(cx, host);
            JS::RootedValue nameValue(cx, JS::StringValue(id.toString()));
            if (!CallResolver(cx, hostObject, kResolveSlot, nameValue, resolvedp)) return false;
            if (*resolvedp) return true;
        }
    }
    // window[n]: the document's nth frame.
    if (id.isInt() && id.toInt() >= 0) {
        if (JSObject* host = HostOf(obj)) {
            JS::RootedObject hostObject(cx, host);
            JS::RootedValue index(cx, JS::Int32Value(id.toInt()));
            if (!CallResolver(cx, hostObject, kResolveSlot, index, resolvedp)) return false;
            if (*resolvedp) return true;
        }
    }
    if (Environment* env = EnvironmentOf(obj)) return env->NoteMiss(cx, obj, id, false);
    return true;
}

/// Chrome lists a window's members first, in its own order, then what the page's scripts
/// added: the members the window has now (enumerable) lead an enumeration's listing, the
/// engine then adds the rest in the order they came. (Only a member that is there: the
/// engine takes what an enumerate hook gives as enumerable.) The frames' indexes come
/// first, as a list of indexes does.
bool AppendWindowOrder(JSContext* cx, JS::HandleObject obj, JS::MutableHandleIdVector properties) {
    JS::RootedId id(cx);
    JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> desc(cx);
    for (int32_t n = 0;; ++n) {
        id = JS::PropertyKey::Int(n);
        if (!JS_GetOwnPropertyDescriptorById(cx, obj, id, &desc)) return false;
        if (desc.isNothing()) break;
        if (desc->enumerable() && !properties.append(id)) return false;
    }
    for (const std::string& name : WindowMemberOrder()) {
        JSString* atom = JS_AtomizeStringN(cx, name.data(), name.size());
        if (!atom) return false;
        id = JS::PropertyKey::NonIntAtom(atom);
        if (!JS_GetOwnPropertyDescriptorById(cx, obj, id, &desc)) return false;
        if (desc.isSome() && desc->enumerable() && !properties.append(id)) return false;
    }
    return true;
}

/// Enumerations of the global see every page name, made or not yet.
bool GlobalEnumerate(JSContext* cx, JS::HandleObject obj, JS::MutableHandleIdVector properties, bool enumerableOnly) {
    persona::EnvironmentTime metered;
    if (JSObject* host = HostOf(obj)) {
        JS::RootedObject hostObject(cx, host);
        bool defined = false;
        // A listing of enumerable names only (the function list's) needs only the window's
        // members: the interfaces are not enumerable.
        JS::RootedValue which(cx, JS::BooleanValue(enumerableOnly));
        if (!CallResolver(cx, hostObject, kResolveAllSlot, which, &defined)) return false;
        if (!AppendWindowOrder(cx, obj, properties)) return false;
    }
    return JS_NewEnumerateStandardClasses(cx, obj, properties, enumerableOnly);
}

bool ChainHasMember(JSObject* obj, jsid id);

bool WatchedResolve(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool* resolvedp) {
    persona::EnvironmentTime metered;
    *resolvedp = false;
    // (A member its prototypes have is no miss: nothing to look up.)
    if (ChainHasMember(obj, id)) return true;
    if (Environment* env = EnvironmentOf(obj)) return env->NoteMiss(cx, obj, id, true);
    return true;
}

std::string AsciiOf(JSLinearString* s);

/// The interface whose prototype `obj` is (its name in the reserved slot).
AsciiName InterfaceOfProto(JSObject* obj) {
    JS::Value v = JS::GetReservedSlot(obj, 0);
    return v.isString() ? AsciiName(JS_ASSERT_STRING_IS_LINEAR(v.toString())) : AsciiName();
}

/// An interface's prototype makes only its own interface's members: for any other name
/// the engine may keep its quick paths (a lookup that goes on to the next prototype).
bool LazyMayResolve(const JSAtomState&, jsid id, JSObject* maybeObj) {
    if (!id.isAtom()) return false;
    AsciiName name(id.toLinearString());
    if (!maybeObj) return IsMemberName(name.view());
    return IsPrototypeMember(InterfaceOfProto(maybeObj).view(), name.view());
}

// An interface's prototype makes its members when a script first looks for them (or
// lists them): a page pays only for what its scripts use.
bool LazyProtoResolve(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool* resolvedp);
bool LazyProtoEnumerate(JSContext* cx, JS::HandleObject obj, JS::MutableHandleIdVector properties, bool enumerableOnly);
bool LazyProtoDelete(JSContext* cx, JS::HandleObject obj, JS::HandleId id, JS::ObjectOpResult& result);
const JSClassOps kLazyProtoOps = {nullptr, LazyProtoDelete, nullptr, LazyProtoEnumerate, LazyProtoResolve,
                                  LazyMayResolve, nullptr, nullptr, nullptr, nullptr};
// Slots: the interface's name, the names of the members made so far (a member a script
// deleted stays deleted), and whether a script ever deleted anything of it.
// The workbench's prototypes also hold their constructor (put in its place among the
// members when they are made) and whether all their members were made.
enum LazyProtoSlot : uint32_t { kProtoNameSlot, kProtoMadeSlot, kProtoDeletedSlot, kProtoCtorSlot, kProtoWholeSlot, kProtoSlots };
const JSClass kLazyProtoClass = {"Object", JSCLASS_HAS_RESERVED_SLOTS(kProtoSlots), &kLazyProtoOps, nullptr, nullptr, nullptr};

bool LazyProtoDelete(JSContext*, JS::HandleObject obj, JS::HandleId, JS::ObjectOpResult& result) {
    JS::SetReservedSlot(obj, kProtoDeletedSlot, JS::TrueValue());
    return result.succeed();
}

/// A watched object's hook has nothing to note for a name its interfaces' prototypes
/// have (as made, none deleted since): the lookup finds it there. The engine may then
/// keep its quick paths for the object's members. (Anything else, a chain a script
/// changed included, goes to the hook.)
/// Whether `obj`'s prototypes, as the page's interfaces made them (none a script deleted
/// from since), have member `id`; false for anything else.
bool ChainHasMember(JSObject* obj, jsid id) {
    if (!id.isAtom()) return false;
    AsciiName name(id.toLinearString());
    if (name.view().empty()) return false;
    for (JSObject* p = js::GetStaticPrototype(obj); p && JS::GetClass(p) == &kLazyProtoClass; p = js::GetStaticPrototype(p)) {
        if (JS::GetReservedSlot(p, kProtoDeletedSlot).isTrue()) return false;
        if (IsPrototypeMember(InterfaceOfProto(p).view(), name.view())) return true;
    }
    return false;
}

bool WatchedMayResolve(const JSAtomState&, jsid id, JSObject* maybeObj) {
    if (!maybeObj || !id.isAtom()) return true;
    return !ChainHasMember(maybeObj, id);
}

const JSClassOps kWatchedOps = {nullptr, nullptr, nullptr, nullptr, WatchedResolve,
                                WatchedMayResolve, nullptr, nullptr, nullptr, nullptr};
const JSClass kWatchedClass = {"Object", JSCLASS_HAS_RESERVED_SLOTS(1), &kWatchedOps, nullptr, nullptr, nullptr};

// A frame's window gives the names a window gives (its interfaces, factories, members)
// when a script first names them or lists the window's names, as the page's global does:
// its maker (slot 0) defines name `n` on window `w` when called as maker(n, w), and every
// name (or the enumerable ones only) when called with null (or false) for the name.
bool FrameWindowResolve(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool* resolvedp);
bool FrameWindowEnumerate(JSContext* cx, JS::HandleObject obj, JS::MutableHandleIdVector properties, bool enumerableOnly);
const JSClassOps kFrameWindowOps = {nullptr, nullptr, nullptr, FrameWindowEnumerate, FrameWindowResolve,
                                    nullptr, nullptr, nullptr, nullptr, nullptr};
const JSClass kFrameWindowClass = {"Object", JSCLASS_HAS_RESERVED_SLOTS(1), &kFrameWindowOps, nullptr, nullptr, nullptr};

bool CallFrameWindowMaker(JSContext* cx, JS::HandleObject obj, JS::HandleValue name, bool* defined) {
    *defined = false;
    JS::RootedValue maker(cx, JS::GetReservedSlot(obj, 0));
    if (!maker.isObject()) return true;
    JS::RootedValueArray<2> argv(cx);
    argv[0].set(name);
    argv[1].setObject(*obj);
    JS::RootedValue rv(cx);
    if (!JS::Call(cx, JS::UndefinedHandleValue, maker, argv, &rv)) return false;
    *defined = JS::ToBoolean(rv);
    return true;
}

bool FrameWindowResolve(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool* resolvedp) {
    *resolvedp = false;
    if (!id.isString()) return true;
    AsciiName name(id.toLinearString());
    if (!IsWindowName(name.view())) return true;
    persona::EnvironmentTime metered;
    JS::RootedValue nameValue(cx, JS::StringValue(id.toString()));
    return CallFrameWindowMaker(cx, obj, nameValue, resolvedp);
}

bool AppendWindowOrder(JSContext* cx, JS::HandleObject obj, JS::MutableHandleIdVector properties);

bool FrameWindowEnumerate(JSContext* cx, JS::HandleObject obj, JS::MutableHandleIdVector properties, bool enumerableOnly) {
    persona::EnvironmentTime metered;
    bool defined = false;
    JS::RootedValue which(cx, enumerableOnly ? JS::FalseValue() : JS::NullValue());
    return CallFrameWindowMaker(cx, obj, which, &defined) && AppendWindowOrder(cx, obj, properties);
}
// Chrome's document.all: a collection that reads as undefined and false.
// It forwards every operation to the collection the environment made (a script proxy
// that reads the page live); only the engine's own test for undefined sees the class.
const JSClass kUndetectableClass = PROXY_CLASS_DEF("HTMLAllCollection", JSCLASS_HAS_RESERVED_SLOTS(1) | JSCLASS_EMULATES_UNDEFINED);
// Not a wrapper to the engine (which would look through a wrapper to its target): a
// forwarding handler of a family of its own.
class UndetectableHandler : public js::ForwardingProxyHandler {
public:
    static const char family;
    static const UndetectableHandler singleton;
    constexpr UndetectableHandler() : js::ForwardingProxyHandler(&family, /*hasPrototype=*/false) {}
};
const char UndetectableHandler::family = 0;
const UndetectableHandler UndetectableHandler::singleton;
const JSClass kHostClass = {"EnvironmentHost", JSCLASS_HAS_RESERVED_SLOTS(kHostSlots), nullptr, nullptr, nullptr, nullptr};

// ---- host natives ----------------------------------------------------------------

/// Lines the environment writes as the workbench's own record of what the page did:
/// the page's requests, navigations and form submissions, never carried out. Everything
/// else that comes through here (console calls, alert, document.write…) is the page's
/// own words.
constexpr std::u16string_view kRecordKinds[] = {u"网络请求（未发送）：", u"页面跳转（未执行）：", u"加载脚本（未执行）：",
                                                 u"表单提交（未发送）：", u"错误所在："};

/// The log line for `text`: a record line is the workbench's ("-->"), anything else is
/// marked as the script's; either way it stays one line, so that what a page puts into
/// an address or a message cannot start a line of its own.
std::u16string LogLineFor(const std::u16string& text) {
    for (std::u16string_view kind : kRecordKinds)
        if (std::u16string_view(text).substr(0, kind.size()) == kind) return u"-->" + text::OneLogLine(text);
    return text::ScriptLogLine(text);
}

/// host.line(text): one line for the log.
bool HostLine(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    JS::RootedString s(cx, JS::ToString(cx, args.get(0)));
    if (!s) return false;
    if (g_output) {
        std::u16string line = LogLineFor(CopyString(cx, s));
        // The hook is the embedder's code: nothing it throws may cross into the engine.
        try {
            g_output(line);
        } catch (...) {
        }
    }
    return true;
}

/// host.lazyProto(proto, name): interface `name`'s prototype, inheriting from `proto`,
/// whose members the face makes when they are first looked for.
bool HostLazyProto(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject proto(cx, args.get(0).isObject() ? &args.get(0).toObject() : nullptr);
    JS::RootedString name(cx, JS::ToString(cx, args.get(1)));
    if (!name || !JS_EnsureLinearString(cx, name)) return false;
    JSObject* obj = JS_NewObjectWithGivenProto(cx, &kLazyProtoClass, proto);
    if (!obj) return false;
    JS::SetReservedSlot(obj, 0, JS::StringValue(name));
    args.rval().setObject(*obj);
    return true;
}

constexpr unsigned kConstant = JSPROP_ENUMERATE | JSPROP_READONLY | JSPROP_PERMANENT;

/// host.makeInterface(name, parentProto, parentCtor): interface `name`'s prototype
/// (inheriting from parentProto; its members made when first looked for) and its
/// constructor (a native inheriting from parentCtor when given, whose work the face's
/// memberWork gives when it is first called), linked to each other, with the
/// interface's constants on both. [prototype, constructor or null]; undefined for no
/// interface.
bool HostMakeInterface(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isString()) return true;
    JSLinearString* linear = JS_EnsureLinearString(cx, args.get(0).toString());
    if (!linear) return false;
    JS::RootedString nameString(cx, JS_FORGET_STRING_LINEARNESS(linear));
    AsciiName name(linear);
    const TableInterface* f = name.view().empty() ? nullptr : InterfaceFacts(name.view());
    if (!f) return true;
    unsigned length = f->length > 0 && f->length < 65536 ? static_cast<unsigned>(f->length) : 0;
    JS::RootedObject parentProto(cx, args.get(1).isObject() ? &args.get(1).toObject() : nullptr);
    JS::RootedObject proto(cx, JS_NewObjectWithGivenProto(cx, f->global ? nullptr : &kLazyProtoClass, parentProto));
    if (!proto) return false;
    if (!f->global) {
        JS::SetReservedSlot(proto, kProtoNameSlot, JS::StringValue(nameString));
        JS::SetReservedSlot(proto, kProtoWholeSlot, JS::FalseValue());
    }
    JS::RootedObject ctor(cx);
    if (!f->objectLess) {
        std::string key = "n " + f->name;
        JS::RootedString keyString(cx, JS_NewStringCopyN(cx, key.data(), key.size()));
        if (!keyString) return false;
        std::u16string shown(f->name.begin(), f->name.end());
        JSFunction* fn = persona::NewLazyNativeWrapper(cx, keyString, shown, length, true);
        if (!fn) return false;
        ctor = JS_GetFunctionObject(fn);
        // V8's constructors list length and name before prototype: the engine makes its
        // natives' two when first looked for, so they are looked for first.
        bool has = false;
        if (!JS_HasOwnProperty(cx, ctor, "length", &has) || !JS_HasOwnProperty(cx, ctor, "name", &has)) return false;
        if (args.get(2).isObject()) {
            JS::RootedObject parentCtor(cx, &args.get(2).toObject());
            if (!JS_SetPrototype(cx, ctor, parentCtor)) return false;
        }
        JS::RootedValue protoValue(cx, JS::ObjectValue(*proto)), ctorValue(cx, JS::ObjectValue(*ctor));
        if (!JS_DefineProperty(cx, ctor, "prototype", protoValue, JSPROP_READONLY | JSPROP_PERMANENT)) return false;
        // The prototype's constructor and constants come with its members, in Chrome's
        // order (the global interface's prototype has them now).
        if (f->global) {
            if (!JS_DefineProperty(cx, proto, "constructor", ctorValue, 0)) return false;
        } else {
            JS::SetReservedSlot(proto, kProtoCtorSlot, ctorValue);
        }
    }
    // The constants, in the line's order, on the constructor (and the global interface's
    // prototype).
    for (const TableMember& m : f->consts) {
        JS::RootedString constName(cx, JS_AtomizeStringN(cx, m.name.data(), m.name.size()));
        if (!constName) return false;
        JS::RootedId id(cx, JS::PropertyKey::NonIntAtom(constName));
        JS::RootedValue value(cx, m.value != m.value ? JS::NullValue() : JS::NumberValue(m.value));
        if ((ctor && !JS_DefinePropertyById(cx, ctor, id, value, kConstant)) ||
            (f->global && !JS_DefinePropertyById(cx, proto, id, value, kConstant)))
            return false;
    }
    JS::RootedObject pair(cx, JS::NewArrayObject(cx, 2));
    if (!pair || !JS_DefineElement(cx, pair, 0, proto, JSPROP_ENUMERATE)) return false;
    JS::RootedValue second(cx, ctor ? JS::ObjectValue(*ctor) : JS::NullValue());
    if (!JS_DefineElement(cx, pair, 1, second, JSPROP_ENUMERATE)) return false;
    args.rval().setObject(*pair);
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

/// host.frameWindow(proto, maker): a frame's window, its names made by `maker` when first
/// named (see kFrameWindowClass).
bool HostFrameWindow(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedObject proto(cx, args.get(0).isObject() ? &args.get(0).toObject() : nullptr);
    JSObject* obj = JS_NewObjectWithGivenProto(cx, &kFrameWindowClass, proto);
    if (!obj) return false;
    JS::SetReservedSlot(obj, 0, args.get(1));
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

/// host.hidden(target, key, value): target[key] = value as the built-ins' own members
/// are: writable, configurable, not enumerable. (One call where a descriptor read in
/// script would make an object for each member.)
bool HostHidden(JSContext* cx, unsigned argc, JS::Value* vp) {
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

/// host.method(target, key, length, impl, shown, constructor): a native wrapper of
/// `impl` named `shown`, defined on `target` as hidden() defines a member; returns it.
bool HostMethod(JSContext* cx, unsigned argc, JS::Value* vp) {
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
    size_t n = JS_GetStringLength(shown);
    std::u16string name(n, u'\0');
    if (n && !JS_CopyStringChars(cx, mozilla::Range<char16_t>(name.data(), n), shown)) return false;
    double length = 0;
    if (!JS::ToNumber(cx, args.get(2), &length)) return false;
    JSFunction* fn = persona::NewNativeWrapper(cx, impl, name, length > 0 && length < 65536 ? static_cast<unsigned>(length) : 0,
                                               JS::ToBoolean(args.get(5)));
    if (!fn) return false;
    JS::RootedValue value(cx, JS::ObjectValue(*JS_GetFunctionObject(fn)));
    if (!JS_DefinePropertyById(cx, target, id, value, 0)) return false;
    args.rval().set(value);
    return true;
}

/// wordSet(text): an object whose own members are the words of `text` (split at every
/// space, as text.split(' ') splits it), each true, in their order.
bool HostWordSet(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedString text(cx, JS::ToString(cx, args.get(0)));
    if (!text) return false;
    std::u16string chars = CopyString(cx, text);
    JS::RootedObject set(cx, JS_NewPlainObject(cx));
    if (!set) return false;
    for (size_t start = 0, at = 0; at <= chars.size(); ++at) {
        if (at < chars.size() && chars[at] != u' ') continue;
        if (!JS_DefineUCProperty(cx, set, chars.data() + start, at - start, JS::TrueHandleValue, JSPROP_ENUMERATE))
            return false;
        start = at + 1;
    }
    args.rval().setObject(*set);
    return true;
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

/// host.undetectable(target): an object that reads as undefined (typeof, ==, truth)
/// and otherwise is `target`: every property operation goes through to it.
bool HostUndetectable(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (!args.get(0).isObject()) {
        JS_ReportErrorASCII(cx, "undetectable: an object expected");
        return false;
    }
    js::ProxyOptions options;
    options.setClass(&kUndetectableClass);
    options.setLazyProto(true);
    JS::RootedValue target(cx, args.get(0));
    JSObject* obj = js::NewProxyObject(cx, &UndetectableHandler::singleton, target, nullptr, options);
    if (!obj) return false;
    args.rval().setObject(*obj);
    return true;
}

/// host.timers(run): the function that runs the queued timers.
bool HostTimers(JSContext*, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.thisv().isObject() || JS::GetClass(&args.thisv().toObject()) != &kHostClass) return true;
    if (args.get(0).isObject() && JS::IsCallable(&args.get(0).toObject()))
        JS::SetReservedSlot(&args.thisv().toObject(), kTimersSlot, args.get(0));
    return true;
}

/// host.hollow(object, member): the user's code read a member the page has in name only.
bool HostHollow(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    Environment* env = args.thisv().isObject() ? EnvironmentOf(&args.thisv().toObject()) : nullptr;
    if (!env || !args.get(0).isString() || !args.get(1).isString()) return true;
    std::string object = text::Utf16ToUtf8(CopyString(cx, args.get(0).toString()));
    std::string member = text::Utf16ToUtf8(CopyString(cx, args.get(1).toString()));
    env->NoteHollow(cx, object, member);
    return true;
}

/// host.entry(name): what the table of Web IDL facts says of a name ("" for nothing).
bool HostEntry(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setString(JS_GetEmptyString(cx));
    if (!args.get(0).isString()) return true;
    JSLinearString* name = JS_EnsureLinearString(cx, args.get(0).toString());
    if (!name) return false;
    std::string_view entry = TableEntry(AsciiOf(name));
    if (entry.empty()) return true;
    JSString* text = JS_NewStringCopyN(cx, entry.data(), entry.size());
    if (!text) return false;
    args.rval().setString(text);
    return true;
}

/// Text of the table (ASCII) as the objects it describes, made in the current realm.
bool ParseTableJson(JSContext* cx, const std::string& json, JS::MutableHandleValue out) {
    out.setUndefined();
    if (json.empty()) return true;
    std::u16string text(json.begin(), json.end());
    return JS_ParseJSON(cx, text.data(), static_cast<uint32_t>(text.size()), out);
}

/// Sets obj[name] = value (enumerable, as a plain object's own).
bool Put(JSContext* cx, JS::HandleObject obj, const char* name, JS::HandleValue value) {
    return JS_DefineProperty(cx, obj, name, value, JSPROP_ENUMERATE);
}
bool PutText(JSContext* cx, JS::HandleObject obj, const char* name, std::string_view text) {
    JS::RootedString s(cx, JS_NewStringCopyN(cx, text.data(), text.size()));
    if (!s) return false;
    JS::RootedValue v(cx, JS::StringValue(s));
    return Put(cx, obj, name, v);
}
/// A number of the table (NaN where the table's text gives none: null, as its JSON reads).
bool PutNumber(JSContext* cx, JS::HandleObject obj, const char* name, double n) {
    JS::RootedValue v(cx, n != n ? JS::NullValue() : JS::NumberValue(n));
    return Put(cx, obj, name, v);
}
bool PutBool(JSContext* cx, JS::HandleObject obj, const char* name, bool b) {
    JS::RootedValue v(cx, JS::BooleanValue(b));
    return Put(cx, obj, name, v);
}

/// A member of the table as the script reads one: {name, kind, type, length, isStatic,
/// unforgeable, writable, promised (operations), value (constants)}.
JSObject* MemberObject(JSContext* cx, const TableMember& m) {
    JS::RootedObject obj(cx, JS_NewPlainObject(cx));
    if (!obj || !PutText(cx, obj, "name", m.name) ||
        !PutText(cx, obj, "kind", m.kind == 'o' ? "op" : m.kind == 'a' ? "attr" : "const") ||
        !PutText(cx, obj, "type", m.type) || !PutNumber(cx, obj, "length", m.length) ||
        !PutBool(cx, obj, "isStatic", m.isStatic) || !PutBool(cx, obj, "unforgeable", m.unforgeable) ||
        !PutBool(cx, obj, "writable", m.writable) || (m.kind == 'o' && !PutBool(cx, obj, "promised", m.promised)) ||
        (m.kind == 'c' && !PutNumber(cx, obj, "value", m.value)))
        return nullptr;
    return obj;
}

bool PutMembers(JSContext* cx, JS::HandleObject obj, const char* name, const std::vector<TableMember>& members) {
    JS::RootedObject list(cx, JS::NewArrayObject(cx, members.size()));
    if (!list) return false;
    for (size_t i = 0; i < members.size(); ++i) {
        JS::RootedObject m(cx, MemberObject(cx, members[i]));
        if (!m || !JS_DefineElement(cx, list, static_cast<uint32_t>(i), m, JSPROP_ENUMERATE)) return false;
    }
    JS::RootedValue v(cx, JS::ObjectValue(*list));
    return Put(cx, obj, name, v);
}

/// An interface's facts for the face, made from the table as read once for the process:
/// {name, parent, flags (no prototype), length, constructible, factories, stringifier,
/// statics, consts (null: made by host.makeInterface), unforgeable (null for a global
/// interface), members (null: each asked for when first made), byName (no prototype, empty)}.
JSObject* FactsObject(JSContext* cx, const TableInterface& f) {
    JS::RootedObject obj(cx, JS_NewPlainObject(cx));
    JS::RootedObject flags(cx, JS_NewObjectWithGivenProto(cx, nullptr, nullptr));
    JS::RootedObject byName(cx, JS_NewObjectWithGivenProto(cx, nullptr, nullptr));
    if (!obj || !flags || !byName || !PutText(cx, obj, "name", f.name)) return nullptr;
    JS::RootedValue v(cx, JS::NullValue());
    if (!(f.parent.empty() ? Put(cx, obj, "parent", v) : PutText(cx, obj, "parent", f.parent))) return nullptr;
    for (const std::string& flag : f.flags)
        if (!PutBool(cx, flags, flag.c_str(), true)) return nullptr;
    v.setObject(*flags);
    if (!Put(cx, obj, "flags", v) || !PutNumber(cx, obj, "length", f.length) ||
        !PutBool(cx, obj, "constructible", f.constructible))
        return nullptr;
    JS::RootedObject factories(cx, JS::NewArrayObject(cx, f.factories.size()));
    if (!factories) return nullptr;
    for (size_t i = 0; i < f.factories.size(); ++i) {
        JS::RootedObject one(cx, JS_NewPlainObject(cx));
        if (!one || !PutText(cx, one, "name", f.factories[i].first) || !PutNumber(cx, one, "length", f.factories[i].second) ||
            !JS_DefineElement(cx, factories, static_cast<uint32_t>(i), one, JSPROP_ENUMERATE))
            return nullptr;
    }
    v.setObject(*factories);
    if (!Put(cx, obj, "factories", v)) return nullptr;
    v.setNull();
    if (!(f.hasStringifier ? PutText(cx, obj, "stringifier", f.stringifier) : Put(cx, obj, "stringifier", v)) ||
        !PutMembers(cx, obj, "statics", f.statics) || !Put(cx, obj, "consts", v))
        return nullptr;
    v.setNull();
    if (!(f.global ? Put(cx, obj, "unforgeable", v) : PutMembers(cx, obj, "unforgeable", f.unforgeable)) ||
        !Put(cx, obj, "members", v))
        return nullptr;
    v.setObject(*byName);
    if (!Put(cx, obj, "byName", v)) return nullptr;
    return obj;
}

/// host.facts(name, full): interface `name`'s facts, read once for the process and given
/// to each page as fresh objects (FactsObject); with `full`, as the table's JSON gives them
/// with every member listed. Undefined for no interface.
bool HostFacts(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isString()) return true;
    JSLinearString* name = JS_EnsureLinearString(cx, args.get(0).toString());
    if (!name) return false;
    AsciiName ascii(name);
    if (args.get(1).isTrue()) return ParseTableJson(cx, InterfaceFactsJson(ascii.view(), false), args.rval());
    const TableInterface* f = InterfaceFacts(ascii.view());
    if (!f) return true;
    JSObject* obj = FactsObject(cx, *f);
    if (!obj) return false;
    args.rval().setObject(*obj);
    return true;
}

/// host.member(iface, name): one member of interface `iface`'s prototype (of the global
/// interface, one of its own), undefined for none.
bool HostMember(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isString() || !args.get(1).isString()) return true;
    JSLinearString* iface = JS_EnsureLinearString(cx, args.get(0).toString());
    if (!iface) return false;
    JSLinearString* name = JS_EnsureLinearString(cx, args.get(1).toString());
    if (!name) return false;
    std::string member = AsciiOf(name);
    if (member.empty()) return true;
    return ParseTableJson(cx, InterfaceMemberJson(AsciiOf(iface), member), args.rval());
}

/// host.names(list): names the window gives besides the table's (made when first named).
bool HostNames(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isObject()) return true;
    JS::RootedObject list(cx, &args.get(0).toObject());
    uint32_t n = 0;
    if (!JS::GetArrayLength(cx, list, &n)) return false;
    for (uint32_t i = 0; i < n; ++i) {
        JS::RootedValue v(cx);
        if (!JS_GetElement(cx, list, i, &v)) return false;
        if (!v.isString()) continue;
        JSLinearString* name = JS_EnsureLinearString(cx, v.toString());
        if (!name) return false;
        std::string ascii = AsciiOf(name);
        if (!ascii.empty()) AddWindowName(ascii);
    }
    return true;
}

/// host.allNames(): every name the window gives, made or not.
bool HostAllNames(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    const std::vector<std::string>& names = WindowNames();
    JS::RootedObject list(cx, JS::NewArrayObject(cx, names.size()));
    if (!list) return false;
    for (size_t i = 0; i < names.size(); ++i) {
        JSString* s = JS_NewStringCopyN(cx, names[i].data(), names[i].size());
        if (!s) return false;
        JS::RootedValue v(cx, JS::StringValue(s));
        if (!JS_DefineElement(cx, list, static_cast<uint32_t>(i), v, JSPROP_ENUMERATE)) return false;
    }
    args.rval().setObject(*list);
    return true;
}

bool HostForge(JSContext* cx, unsigned argc, JS::Value* vp);

const JSFunctionSpec kHostFunctions[] = {
    JS_FN("entry", HostEntry, 1, 0),
    JS_FN("css", HostCss, 0, 0),
    JS_FN("decode", HostDecode, 3, 0),
    JS_FN("facts", HostFacts, 2, 0),
    JS_FN("member", HostMember, 2, 0),
    JS_FN("names", HostNames, 1, 0),
    JS_FN("allNames", HostAllNames, 0, 0),
    JS_FN("hollow", HostHollow, 2, 0),
    JS_FN("line", HostLine, 1, 0),
    JS_FN("create", HostCreate, 2, 0),
    JS_FN("frameWindow", HostFrameWindow, 2, 0),
    JS_FN("lazyProto", HostLazyProto, 1, 0),
    JS_FN("makeInterface", HostMakeInterface, 3, 0),
    JS_FN("frameRealm", HostFrameRealm, 0, 0),
    JS_FN("services", HostServices, 0, 0),
    JS_FN("forge", HostForge, 2, 0),
    JS_FN("accessor", HostAccessor, 4, 0),
    JS_FN("hidden", HostHidden, 3, 0),
    JS_FN("method", HostMethod, 6, 0),
    JS_FN("randomBytes", HostRandomBytes, 1, 0),
    JS_FN("wordSet", HostWordSet, 1, 0),
    JS_FN("undetectable", HostUndetectable, 0, 0),
    JS_FN("timers", HostTimers, 1, 0),
    JS_FN("whenIntl", persona::WhenIntlNative, 1, 0),
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

/// A script of the workbench's, every function compiled at once; from the code cache
/// when an earlier process left it there (`textHash` names the text, which `code` makes
/// only when it is compiled).
RefPtr<JS::Stencil> CompileText(JSContext* cx, uint64_t textHash, const std::function<const std::u16string&()>& code,
                                const char* file) {
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(file, 1);
    opts.setForceFullParse();
    RefPtr<JS::Stencil> stencil = codecache::GlobalStencil(cx, opts, true, textHash, [&]() -> RefPtr<JS::Stencil> {
        const std::u16string& text = code();
        JS::SourceText<char16_t> src;
        if (text.empty() || !src.init(cx, text.data(), text.size(), JS::SourceOwnership::Borrowed)) return nullptr;
        return JS::CompileGlobalScriptToStencil(cx, opts, src);
    });
    if (!stencil) JS_ClearPendingException(cx);
    return stencil;
}

/// The page script as the workbench runs it: the environment's function itself (not
/// called: the workbench calls it with the global and the host), the console's function
/// after it, and in the modern target the function that makes Chrome's face.
std::u16string WorkbenchText(bool jscript) {
    std::string page(scripts::kTool_browser);
    size_t call = page.rfind(kSelfCall);
    if (call == std::string::npos) return u"";
    std::string text = "[" + page.substr(0, call + 2) + ",\n" + std::string(scripts::kTool_console);
    if (!jscript) text += ",\n" + std::string(scripts::kTool_chrome);
    return text::Utf8ToUtf16(text + "]");
}

/// The script as each target compiles it: under JScript it passes JScript's gate once
/// for the process (the gate may rewrite it, as it would the user's copy).
const std::u16string& CompiledText(bool jscript) {
    if (!jscript) {
        static const std::u16string modern = WorkbenchText(false);
        return modern;
    }
    static const std::u16string gated = [] {
        jscript::ConditionalState cc;
        jscript::PreparedCode prepared = jscript::PrepareJScript(WorkbenchText(true), cc, jscript::CodeKind::Program);
        return prepared.error ? std::u16string() : std::move(prepared.code);
    }();
    return gated;
}

bool EnumerableIds(JSContext* cx, JS::HandleObject obj, JS::MutableHandle<JS::IdVector> ids) {
    return JS_Enumerate(cx, obj, ids);
}

JSObject* HostOf(JSObject* global) {
    if (JS::GetClass(global) != GlobalClassOf()) return nullptr;
    JS::Value v = JS::GetReservedSlot(global, kGlobalHostSlot);
    return v.isObject() && JS::GetClass(&v.toObject()) == &kHostClass ? &v.toObject() : nullptr;
}

/// Calls the face's resolver in `slot` with `name` (a string, or nothing for every name);
/// true when it defined the name.
bool CallResolver(JSContext* cx, JSObject* hostObject, HostSlot slot, JS::HandleValue name, bool* defined) {
    *defined = false;
    JS::RootedValue fn(cx, JS::GetReservedSlot(hostObject, slot));
    if (!fn.isObject()) return true;
    JS::RootedValueArray<1> argv(cx);
    argv[0].set(name);
    JS::RootedValue rv(cx);
    if (!JS::Call(cx, JS::UndefinedHandleValue, fn, argv, &rv)) return false;
    *defined = rv.isTrue();
    return true;
}

/// Asks the face's member maker for `obj`'s member `name` (every member, for undefined).
bool CallMemberMaker(JSContext* cx, JS::HandleObject obj, JS::HandleValue name, bool* defined) {
    *defined = false;
    JSObject* host = HostOf(JS::GetNonCCWObjectGlobal(obj));
    if (!host) return true;
    JS::RootedValue fn(cx, JS::GetReservedSlot(host, kMemberSlot));
    if (!fn.isObject()) return true;
    JS::RootedValueArray<2> argv(cx);
    argv[0].setObject(*obj);
    argv[1].set(name);
    JS::RootedValue rv(cx);
    if (!JS::Call(cx, JS::UndefinedHandleValue, fn, argv, &rv)) return false;
    *defined = rv.isTrue();
    return true;
}

// ---- prototype members made here ------------------------------------------------

/// One member of an interface's prototype, as its line in the table gives it.
struct ProtoMember {
    std::string_view name;
    char kind = 0;  ///< 'a' attribute, 'o' operation
    bool writable = false;
    bool promised = false;  ///< an operation that returns a promise
    bool unforgeable = false;
    unsigned length = 0;
    std::string_view type;  ///< an attribute's type letter(s)
    double value = 0;       ///< a constant's
};

/// Calls `each(member)` for the prototype's members in the line's order (static,
/// unforgeable and constant members live elsewhere; with `global`, the members of the
/// global interface, the global's own, unforgeable ones included); stops when it
/// returns false.
template <typename Each>
bool ForEachProtoMember(std::string_view line, Each each, bool global = false, bool constants = false) {
    size_t bar = line.find(" |");
    if (bar == std::string_view::npos) return true;
    std::string_view all = line.substr(std::min(line.size(), bar + 3));
    for (size_t at = 0; at < all.size();) {
        size_t space = all.find(' ', at);
        if (space == std::string_view::npos) space = all.size();
        std::string_view t = all.substr(at, space - at);
        at = space + 1;
        ProtoMember m;
        if (global && !t.empty() && t[0] == '!') {
            m.unforgeable = true;
            t.remove_prefix(1);
        }
        if (t.empty() || t[0] == '*' || t[0] == '!') continue;
        size_t stop;
        if ((stop = t.find('/')) != std::string_view::npos && stop > 0) {
            m.kind = 'o';
            m.promised = t.back() == 'p';
            for (size_t d = stop + 1; d < t.size() && t[d] >= '0' && t[d] <= '9'; ++d)
                m.length = std::min(m.length * 10 + static_cast<unsigned>(t[d] - '0'), 65535u);
        } else if ((stop = t.find(':')) != std::string_view::npos && stop > 0) {
            // (With `constants`, a constant too, kind 'k'.)
            if (!constants) continue;
            m.kind = 'k';
            m.value = std::strtod(std::string(t.substr(stop + 1)).c_str(), nullptr);
        } else if ((stop = t.find_first_of("~=")) != std::string_view::npos && stop > 0) {
            m.kind = 'a';
            m.writable = t[stop] == '=';
            m.type = t.substr(stop + 1);
        } else {
            continue;
        }
        m.name = t.substr(0, stop);
        if (!each(m)) return false;
    }
    return true;
}

/// The prototype members of interface `iface`, read once for the process.
/// (With `global`, the global interface's members, which its global has as its own.)
const std::vector<ProtoMember>& ProtoMembersOf(const std::string& iface, bool global = false) {
    static std::mutex lock;
    static std::unordered_map<std::string, std::vector<ProtoMember>> read;
    std::lock_guard<std::mutex> hold(lock);
    std::string key = (global ? "!" : "") + iface;
    auto it = read.find(key);
    if (it != read.end()) return it->second;
    std::vector<ProtoMember> members;
    ForEachProtoMember(
        TableEntry(iface),
        [&](const ProtoMember& m) {
            members.push_back(m);
            return true;
        },
        global);
    return read.emplace(key, std::move(members)).first->second;
}

/// A lazy wrapper for member `m` of `iface`: `kind` g, s or c; `label` the name it shows.
JSObject* NewMemberNative(JSContext* cx, char kind, std::string_view iface, const ProtoMember& m, std::string_view label,
                          unsigned length) {
    // The member's facts go in the key: kind, interface, name, then the length and the
    // type (attribute) or promise mark (operation).
    std::string key = std::string(1, kind) + " " + std::string(iface) + " " + std::string(m.name) + " " +
                      std::to_string(m.length) + " " + (m.kind == 'a' ? std::string(m.type) : m.promised ? "p" : "-");
    JS::RootedString keyString(cx, JS_NewStringCopyN(cx, key.data(), key.size()));
    if (!keyString) return nullptr;
    std::u16string name(label.begin(), label.end());
    JSFunction* fn = persona::NewLazyNativeWrapper(cx, keyString, name, length);
    return fn ? JS_GetFunctionObject(fn) : nullptr;
}

/// Defines member `m` on `proto` (interface `iface`) unless it was made before: an
/// attribute as an enumerable, configurable accessor, an operation as an enumerable,
/// writable, configurable method; their work comes when first called.
bool DefineProtoMember(JSContext* cx, JS::HandleObject proto, std::string_view iface, const ProtoMember& m, bool* defined) {
    *defined = false;
    JS::RootedObject madeNames(cx);
    JS::Value slot = JS::GetReservedSlot(proto, kProtoMadeSlot);
    if (slot.isObject()) {
        madeNames = &slot.toObject();
    } else {
        madeNames = JS_NewObjectWithGivenProto(cx, nullptr, nullptr);
        if (!madeNames) return false;
        JS::SetReservedSlot(proto, kProtoMadeSlot, JS::ObjectValue(*madeNames));
    }
    JS::RootedString nameString(cx, JS_AtomizeStringN(cx, m.name.data(), m.name.size()));
    if (!nameString) return false;
    JS::RootedId id(cx, JS::PropertyKey::NonIntAtom(nameString));
    bool was = false;
    if (!JS_HasOwnPropertyById(cx, madeNames, id, &was)) return false;
    if (was) return true;
    if (!JS_DefinePropertyById(cx, madeNames, id, JS::TrueHandleValue, 0)) return false;
    std::string name(m.name);
    if (m.kind == 'a') {
        JS::RootedObject get(cx, NewMemberNative(cx, 'g', iface, m, "get " + name, 0)), set(cx);
        if (!get) return false;
        if (m.writable && !(set = NewMemberNative(cx, 's', iface, m, "set " + name, 1))) return false;
        if (!JS_DefinePropertyById(cx, proto, id, get, set, JSPROP_ENUMERATE)) return false;
    } else {
        JS::RootedObject op(cx, NewMemberNative(cx, 'c', iface, m, name, m.length));
        if (!op) return false;
        JS::RootedValue value(cx, JS::ObjectValue(*op));
        if (!JS_DefinePropertyById(cx, proto, id, value, JSPROP_ENUMERATE)) return false;
    }
    *defined = true;
    return true;
}

/// host.forge(obj, iface): defines interface `iface`'s unforgeable members on `obj` (an
/// instance), in the line's order, as the face's defineMember would: an attribute as an
/// enumerable accessor, an operation as an enumerable method, neither configurable nor
/// (operations) writable; their work comes when first called.
bool HostForge(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isObject() || !args.get(1).isString()) return true;
    JS::RootedObject obj(cx, &args[0].toObject());
    JSLinearString* linear = JS_EnsureLinearString(cx, args[1].toString());
    if (!linear) return false;
    AsciiName iface(linear);
    const TableInterface* f = iface.view().empty() ? nullptr : InterfaceFacts(iface.view());
    if (!f || f->global) return true;
    for (const TableMember& t : f->unforgeable) {
        ProtoMember m;
        m.name = t.name;
        m.kind = t.kind;
        m.writable = t.writable;
        m.promised = t.promised;
        m.unforgeable = t.unforgeable;
        m.length = t.length > 0 && t.length < 65536 ? static_cast<unsigned>(t.length) : 0;
        m.type = t.type;
        if (m.kind != 'a' && m.kind != 'o') continue;
        JS::RootedString nameString(cx, JS_AtomizeStringN(cx, t.name.data(), t.name.size()));
        if (!nameString) return false;
        JS::RootedId id(cx, JS::PropertyKey::NonIntAtom(nameString));
        unsigned flags = JSPROP_ENUMERATE | (m.unforgeable ? JSPROP_PERMANENT : 0);
        if (m.kind == 'a') {
            JS::RootedObject get(cx, NewMemberNative(cx, 'g', f->name, m, "get " + t.name, 0)), set(cx);
            if (!get) return false;
            if (m.writable && !(set = NewMemberNative(cx, 's', f->name, m, "set " + t.name, 1))) return false;
            if (!JS_DefinePropertyById(cx, obj, id, get, set, flags)) return false;
        } else {
            JS::RootedObject op(cx, NewMemberNative(cx, 'c', f->name, m, t.name, m.length));
            if (!op) return false;
            JS::RootedValue value(cx, JS::ObjectValue(*op));
            if (!JS_DefinePropertyById(cx, obj, id, value, flags | (m.unforgeable ? JSPROP_READONLY : 0))) return false;
        }
    }
    return true;
}

/// Defines the window's own member `name` on `global` when the window has one, as the
/// face would (a member called without a receiver acts on the window): an attribute as
/// an enumerable accessor, an operation as an enumerable method, unforgeable ones neither
/// configurable nor (operations) writable.
bool DefineWindowMember(JSContext* cx, JS::HandleObject global, JS::HandleId id, std::string_view name, bool* defined) {
    *defined = false;
    ProtoMember found;
    for (const ProtoMember& m : ProtoMembersOf("Window", true))
        if (m.name == name) found = m;
    if (!found.kind) return true;
    std::string shown(found.name);
    unsigned flags = JSPROP_ENUMERATE | (found.unforgeable ? JSPROP_PERMANENT : 0);
    if (found.kind == 'a') {
        JS::RootedObject get(cx, NewMemberNative(cx, 'G', "Window", found, "get " + shown, 0)), set(cx);
        if (!get) return false;
        if (found.writable && !(set = NewMemberNative(cx, 'S', "Window", found, "set " + shown, 1))) return false;
        if (!JS_DefinePropertyById(cx, global, id, get, set, flags)) return false;
    } else {
        JS::RootedObject op(cx, NewMemberNative(cx, 'C', "Window", found, shown, found.length));
        if (!op) return false;
        JS::RootedValue value(cx, JS::ObjectValue(*op));
        if (!JS_DefinePropertyById(cx, global, id, value, flags | (found.unforgeable ? JSPROP_READONLY : 0))) return false;
    }
    *defined = true;
    return true;
}

/// Whether `obj`'s realm has the workbench make its prototypes' members (untraced).
bool MakesMembersHere(JSObject* obj) {
    JSObject* host = HostOf(JS::GetNonCCWObjectGlobal(obj));
    return host && JS::GetReservedSlot(host, kWorkSlot).isObject();
}

/// The work behind a member made here: the face's memberWork(key), in the member's realm.
bool MakeMemberWork(JSContext* cx, JS::HandleObject wrapper, JS::HandleValue key, JS::MutableHandleObject work) {
    JSObject* host = HostOf(JS::GetNonCCWObjectGlobal(wrapper));
    JS::RootedValue fn(cx, host ? JS::GetReservedSlot(host, kWorkSlot) : JS::UndefinedValue());
    if (!fn.isObject()) return true;
    JSAutoRealm inRealm(cx, &fn.toObject());
    JS::RootedValueArray<1> argv(cx);
    argv[0].set(key);
    JS::RootedValue rv(cx);
    if (!JS::Call(cx, JS::UndefinedHandleValue, fn, argv, &rv)) return false;
    work.set(rv.isObject() ? &rv.toObject() : nullptr);
    return true;
}

// (Defining on the prototype looks up its own names again: no member is made inside
// the making of another.)
thread_local bool g_makingMember = false;  // (declared above)

/// The member a prototype's constructor follows in Chrome's listing (empty: the last).
std::string_view ConstructorAfter(std::string_view iface) {
    const TableInterface* f = InterfaceFacts(iface);
    if (f)
        for (const std::string& flag : f->flags)
            if (flag.size() > 1 && flag[0] == 'K') return std::string_view(flag).substr(1);
    return {};
}

/// Defines the workbench prototype's constructor (from its slot) or constant `m` unless
/// it has it.
bool DefineProtoValue(JSContext* cx, JS::HandleObject proto, const ProtoMember* m) {
    const char* ctorName = "constructor";
    std::string name = m ? std::string(m->name) : ctorName;
    bool has = false;
    if (!JS_AlreadyHasOwnProperty(cx, proto, name.c_str(), &has)) return false;
    if (has) return true;
    if (!m) {
        JS::RootedValue ctor(cx, JS::GetReservedSlot(proto, kProtoCtorSlot));
        return !ctor.isObject() || JS_DefineProperty(cx, proto, ctorName, ctor, 0);
    }
    JS::RootedValue value(cx, JS::NumberValue(m->value));
    return JS_DefineProperty(cx, proto, name.c_str(), value, kConstant);
}

/// Makes the members of a workbench prototype its scripts have not looked for yet, and
/// puts all of them in Chrome's order (see ProtoOrder): once looked for one by one, they
/// stand in the order they were first looked for, and a script listing them must see
/// the same list whatever it looked for first. What a script added comes after them; a
/// member it deleted stays deleted. Once: later listings find them in place.
/// (Chrome's order: the line's attributes, constants and operations as it lists them, and
/// the constructor after the member Chrome lists it after, or after the last.)
bool MakeWholeProto(JSContext* cx, JS::HandleObject proto, const std::string& iface) {
    JS::SetReservedSlot(proto, kProtoWholeSlot, JS::TrueValue());
    bool ok = true;
    ForEachProtoMember(
        TableEntry(iface),
        [&](const ProtoMember& m) {
            bool defined = false;
            ok = DefineProtoMember(cx, proto, iface, m, &defined);
            return ok;
        });
    if (!ok || !DefineProtoValue(cx, proto, nullptr)) return false;
    // Moved to the end in order, each by taking it away and putting it back, and the
    // constants not made yet made in their places (one made before, never to be taken
    // away, stays where it was). The moves are no script's deletions.
    JS::RootedValue deleted(cx, JS::GetReservedSlot(proto, kProtoDeletedSlot));
    JS::RootedIdVector before(cx);
    if (!js::GetPropertyKeys(cx, proto, JSITER_OWNONLY | JSITER_HIDDEN | JSITER_SYMBOLS, &before)) return false;
    auto move = [&](JS::HandleId id) {
        JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> desc(cx);
        if (!JS_GetOwnPropertyDescriptorById(cx, proto, id, &desc)) return false;
        if (desc.isNothing() || !desc->configurable()) return true;
        JS::Rooted<JS::PropertyDescriptor> kept(cx, *desc);
        JS::ObjectOpResult result;
        return JS_DeletePropertyById(cx, proto, id, result) && JS_DefinePropertyById(cx, proto, id, kept);
    };
    std::unordered_set<std::string_view> ours;
    JS::RootedId id(cx);
    std::string_view after = ConstructorAfter(iface);
    bool ctorMoved = false;
    auto place = [&](std::string_view name, const ProtoMember* constant) {
        ours.insert(name);
        if (constant) return DefineProtoValue(cx, proto, constant);
        JSString* atom = JS_AtomizeStringN(cx, name.data(), name.size());
        if (!atom) return false;
        id = JS::PropertyKey::NonIntAtom(atom);
        return move(id);
    };
    ForEachProtoMember(
        TableEntry(iface),
        [&](const ProtoMember& m) {
            ok = place(m.name, m.kind == 'k' ? &m : nullptr);
            if (ok && !ctorMoved && m.name == after) {
                ctorMoved = true;
                ok = place("constructor", nullptr);
            }
            return ok;
        },
        false, true);
    if (!ok || (!ctorMoved && !place("constructor", nullptr))) return false;
    for (size_t k = 0; k < before.length(); ++k) {
        id = before[k];
        if (id.isAtom()) {
            AsciiName name(id.toLinearString());
            if (!name.view().empty() && ours.count(name.view())) continue;
        }
        if (!move(id)) return false;
    }
    JS::SetReservedSlot(proto, kProtoDeletedSlot, deleted);
    return true;
}

bool LazyProtoResolve(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool* resolvedp) {
    persona::EnvironmentTime metered;
    *resolvedp = false;
    if (!id.isString()) return true;
    AsciiName ifaceName = InterfaceOfProto(obj), memberName(id.toLinearString());
    if (!IsPrototypeMember(ifaceName.view(), memberName.view())) return true;
    std::string iface(ifaceName.view());
    std::string_view name = memberName.view();
    JS::Value whole = JS::GetReservedSlot(obj, kProtoWholeSlot);
    if (whole.isTrue() || (whole.isFalse() && g_makingMember)) return true;
    // As a lookup finds it: the last of the name in the line.
    ProtoMember found;
    for (const ProtoMember& m : ProtoMembersOf(iface))
        if (m.name == name) found = m;
    // A workbench prototype's constructor and constants, made when first looked for.
    if (whole.isFalse() && !found.kind) {
        if (name == "constructor") {
            *resolvedp = JS::GetReservedSlot(obj, kProtoCtorSlot).isObject();
            return DefineProtoValue(cx, obj, nullptr);
        }
        bool ok = true;
        ForEachProtoMember(
            TableEntry(iface),
            [&](const ProtoMember& m) {
                if (m.kind != 'k' || m.name != name) return true;
                *resolvedp = true;
                ok = DefineProtoValue(cx, obj, &m);
                return false;
            },
            false, true);
        return ok;
    }
    if (!MakesMembersHere(obj)) {
        JS::RootedValue value(cx, JS::StringValue(id.toString()));
        return CallMemberMaker(cx, obj, value, resolvedp);
    }
    if (g_makingMember) return true;
    if (!found.kind) return true;
    g_makingMember = true;
    bool ok = DefineProtoMember(cx, obj, iface, found, resolvedp);
    g_makingMember = false;
    return ok;
}

bool LazyProtoEnumerate(JSContext* cx, JS::HandleObject obj, JS::MutableHandleIdVector, bool) {
    persona::EnvironmentTime metered;
    if (!MakesMembersHere(obj)) {
        bool defined = false;
        return CallMemberMaker(cx, obj, JS::UndefinedHandleValue, &defined);
    }
    if (g_makingMember) return true;
    std::string iface(InterfaceOfProto(obj).view());
    JS::Value whole = JS::GetReservedSlot(obj, kProtoWholeSlot);
    if (whole.isBoolean()) {
        if (whole.isTrue()) return true;
        g_makingMember = true;
        bool ok = MakeWholeProto(cx, obj, iface);
        g_makingMember = false;
        return ok;
    }
    g_makingMember = true;
    bool ok = true;
    for (const ProtoMember& m : ProtoMembersOf(iface)) {
        bool defined = false;
        if (!(ok = DefineProtoMember(cx, obj, iface, m, &defined))) break;
    }
    g_makingMember = false;
    return ok;
}

}  // namespace

/// host.css().cssName(name): the dashed name of a CSS property a style answers to, for
/// its member name ('fontSize') or its dashed name ('font-size'); empty for any other
/// name. The names come from the table's CSSPropertyNames line, read once for the process.
bool HostCssName(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setString(JS_GetEmptyString(cx));
    if (!args.get(0).isString()) return true;
    static const std::unordered_map<std::string, std::string> names = [] {
        std::unordered_map<std::string, std::string> all;
        std::string_view line = TableEntry("CSSPropertyNames");
        size_t bar = line.find(" | ");
        if (bar == std::string_view::npos) return all;
        std::string_view rest = line.substr(bar + 3);
        while (!rest.empty()) {
            size_t space = rest.find(' ');
            std::string member(rest.substr(0, space));
            rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
            if (member.empty()) continue;
            std::string dashed;
            if (member == "cssFloat") {
                dashed = "float";
            } else {
                std::string_view m = member;
                if (m.rfind("webkit", 0) == 0) {
                    dashed = "-webkit";
                    m.remove_prefix(6);
                }
                for (char c : m) {
                    if (c >= 'A' && c <= 'Z') {
                        dashed += '-';
                        dashed += static_cast<char>(c - 'A' + 'a');
                    } else {
                        dashed += c;
                    }
                }
            }
            all.emplace(member, dashed);
            all.emplace(dashed, dashed);
        }
        return all;
    }();
    JSLinearString* name = JS_EnsureLinearString(cx, args.get(0).toString());
    if (!name) return false;
    auto found = names.find(AsciiOf(name));
    if (found == names.end()) return true;
    JSString* text = JS_NewStringCopyN(cx, found->second.data(), found->second.size());
    if (!text) return false;
    args.rval().setString(text);
    return true;
}

/// host.css().styles(computed): the function that makes the inline styles' parts
/// (styles.js) or with `computed` the computed styles' (computed.js), run in the current
/// realm.
bool HostStyles(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    Environment* env = EnvironmentOf(&args.callee());
    if (!env) {
        JS_ReportErrorASCII(cx, "no environment");
        return false;
    }
    return env->RunStyles(cx, JS::ToBoolean(args.get(0)), args.rval());
}

/// host.services(): the function that makes the page's services (services.js), run in
/// the current realm.
bool HostServices(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    Environment* env = EnvironmentOf(&args.callee());
    if (!env) {
        JS_ReportErrorASCII(cx, "no environment");
        return false;
    }
    return env->RunServices(cx, args.rval());
}

/// host.frameRealm(): a new global with the language's built-ins for a frame's window
/// (see Environment::FrameRealm).
bool HostFrameRealm(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    Environment* env = EnvironmentOf(&args.callee());
    if (!env) {
        args.rval().setUndefined();
        return true;
    }
    return env->FrameRealm(cx, args.rval());
}

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

std::string InsertableBlock(bool jscript) {
    const std::string first = "// ==== 浏览器环境（青柚JS调试工具插入，可随意修改；复制和导出时随代码带走）====\n";
    const std::string last = "// ==== 浏览器环境结束 ====\n";
    if (jscript) return first + std::string(ScriptText()) + last;
    static const std::string portable = [] {
        std::string page(scripts::kTool_browser);
        size_t call = page.rfind(kSelfCall);
        std::string table;
        for (char c : InterfaceTableText()) {
            if (c == '\n') table += "\\n";
            else if (c == '"' || c == '\\') table += std::string("\\") + c;
            else table += c;
        }
        return "// 现代目标（ES2021）的可移植形式：Chrome 的接口、原型链、取值器和网页对象，在本工具之外\n"
               "// （浏览器之外的引擎、node 的 vm）也能运行。只有本工具里才有的：document.all 读作 undefined\n"
               "// 的引擎级对象（这里是普通对象）；引擎本身的原生函数（这里靠改写 Function.prototype.toString\n"
               "// 显示 [native code]，脚本能看出）；按需生成成员；环境缺失记录；加载后按虚拟时间运行的定时器\n"
               "// （这里用宿主自己的 setTimeout，没有时不运行）。已开浏览器环境时这段代码什么也不做。\n" +
               std::string(scripts::kTool_portable) + "(function () { return this; }(),\n" +
               (call == std::string::npos ? std::string("null") : page.substr(0, call + 2)) + ",\n" +
               std::string(scripts::kTool_console) + ",\n" + std::string(scripts::kTool_chrome) + ",\n\"" + table +
               "\",\n" + std::string(scripts::kTool_services) + ");\n";
    }();
    return first + portable + last;
}

RefPtr<JS::Stencil> CompileScript(JSContext* cx, bool jscript) {
    // Named by the scripts joined; JScript's copy passes JScript's gate, which may rewrite
    // it, so the gate's own sources name it too (QY_GATE_SOURCES, from the build).
    uint64_t hash = codecache::Hash(scripts::kTool_console, codecache::Hash(scripts::kTool_browser));
    hash = jscript ? codecache::Hash(QY_GATE_SOURCES, codecache::Hash("jscript", hash)) : codecache::Hash(scripts::kTool_chrome, hash);
    return CompileText(cx, hash, [jscript]() -> const std::u16string& { return CompiledText(jscript); }, kEnvironmentFile);
}

RefPtr<JS::Stencil> CompileStyles(JSContext* cx, bool computed) {
    std::string_view text = computed ? scripts::kTool_computed : scripts::kTool_styles;
    return CompileText(
        cx, codecache::Hash(text),
        [computed]() -> const std::u16string& {
            static const std::u16string inline_ = text::Utf8ToUtf16(scripts::kTool_styles);
            static const std::u16string computed_ = text::Utf8ToUtf16(scripts::kTool_computed);
            return computed ? computed_ : inline_;
        },
        kStylesFile);
}

bool Environment::FrameRealm(JSContext* cx, JS::MutableHandleValue rv) {
    rv.setUndefined();
    if (!m_options.frameRealm) return true;
    JSObject* made = m_options.frameRealm(cx);
    if (!made) return !JS_IsExceptionPending(cx);
    rv.setObject(*made);
    return true;
}

bool Environment::RunStyles(JSContext* cx, bool computed, JS::MutableHandleValue rv) {
    JS::Stencil* kept = m_options.styles ? m_options.styles(cx, computed) : nullptr;
    RefPtr<JS::Stencil> own = kept ? nullptr : CompileStyles(cx, computed);
    JS::Stencil* compiled = kept ? kept : own.get();
    if (!compiled) {
        JS_ReportErrorASCII(cx, "the styles' script did not compile");
        return false;
    }
    return RunStencil(cx, compiled, kStylesFile, rv);
}

RefPtr<JS::Stencil> CompileServices(JSContext* cx) {
    return CompileText(
        cx, codecache::Hash(scripts::kTool_services),
        []() -> const std::u16string& {
            static const std::u16string code = text::Utf8ToUtf16(scripts::kTool_services);
            return code;
        },
        kServicesFile);
}

bool Environment::RunServices(JSContext* cx, JS::MutableHandleValue rv) {
    JS::Stencil* kept = m_options.services ? m_options.services(cx) : nullptr;
    RefPtr<JS::Stencil> own = kept ? nullptr : CompileServices(cx);
    JS::Stencil* compiled = kept ? kept : own.get();
    if (!compiled) {
        JS_ReportErrorASCII(cx, "the services' script did not compile");
        return false;
    }
    return RunStencil(cx, compiled, kServicesFile, rv);
}

RefPtr<JS::Stencil> CompileConsole(JSContext* cx) {
    return CompileText(
        cx, codecache::Hash(ConsoleScriptText()),
        []() -> const std::u16string& {
            static const std::u16string code = text::Utf8ToUtf16(ConsoleScriptText());
            return code;
        },
        kConsoleFile);
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

namespace {
const JSClass* GlobalClassOf() {
    static const JSClassOps ops = [] {
        JSClassOps o = JS::DefaultGlobalClassOps;
        o.resolve = GlobalResolve;
        o.newEnumerate = GlobalEnumerate;
        // Any name may be noted: the engine must not cache a missing name's lookup.
        o.mayResolve = nullptr;
        return o;
    }();
    static const JSClass cls = {"global", JSCLASS_GLOBAL_FLAGS, &ops, nullptr, nullptr, nullptr};
    return &cls;
}
}  // namespace

const JSClass* GlobalClass() { return GlobalClassOf(); }

RunOnceScope::RunOnceScope(JSContext* cx) : m_cx(cx), m_tenured(cx) {
    m_saved = JS_GetGlobalJitCompilerOption(cx, JSJITCOMPILER_BASELINE_WARMUP_TRIGGER, &m_baseline);
    // Far above any loop of the set-up. The counters go on counting, so a function that
    // runs on afterwards is compiled at its next warm-up check. (The engine's quick
    // interpreter stays: it costs little to enter and runs the set-up faster.)
    if (m_saved) JS_SetGlobalJitCompilerOption(cx, JSJITCOMPILER_BASELINE_WARMUP_TRIGGER, 1u << 30);
}

RunOnceScope::~RunOnceScope() {
    if (m_saved) JS_SetGlobalJitCompilerOption(m_cx, JSJITCOMPILER_BASELINE_WARMUP_TRIGGER, m_baseline);
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
        // The page's interfaces are made traced only while a trace is asked for.
        if (TraceOn()) {
            RestartTraceOrder();
            if (!DefineTraceHost(cx, host)) return false;
        }
        // The host is handed to the environment's functions; scripts never see it, and
        // nothing of it can be replaced, so no page can silence its record lines.
        JS::SetReservedSlot(global, kGlobalHostSlot, JS::ObjectValue(*host));
        JS::Rooted<JS::IdVector> before(cx, JS::IdVector(cx));
        if (m_options.jscript && !EnumerableIds(cx, global, &before)) return false;
        // The set-up runs once: interpreted. (The page's own scripts, run after it in the
        // modern target, are not; the old target runs them inside its set-up.)
        std::optional<RunOnceScope> once;
        if (!m_options.jscript) once.emplace(cx);
        JS::RootedValue parts(cx);
        if (!RunStencil(cx, compiled, kEnvironmentFile, &parts) || !parts.isObject()) return false;
        JS::RootedObject list(cx, &parts.toObject());
        JS::RootedValue page(cx), console(cx), face(cx);
        if (!JS_GetElement(cx, list, 0, &page) || !JS_GetElement(cx, list, 1, &console)) return false;
        // In the modern target the page objects live in a window of their own, and
        // the global shows Chrome's interfaces over them.
        JS::RootedObject pageWindow(cx, global);
        if (!m_options.jscript) {
            pageWindow = JS_NewPlainObject(cx);
            if (!pageWindow || !JS_GetElement(cx, list, 2, &face)) return false;
        }
        JS::RootedValueArray<3> pageArgs(cx);
        pageArgs[0].setObject(*pageWindow);
        pageArgs[1].setObject(*host);
        pageArgs[2].set(console);
        JS::RootedValue kit(cx);
        if (!JS::Call(cx, JS::UndefinedHandleValue, page, pageArgs, &kit)) return false;
        if (!m_options.jscript) {
            JSFunction* native = JS_NewFunction(cx, persona::NativeWrapperCall, 4, 0, "native");
            if (!native) return false;
            JS::RootedValueArray<4> faceArgs(cx);
            faceArgs[0].setObject(*global);
            faceArgs[1].setObject(*host);
            faceArgs[2].setObject(*JS_GetFunctionObject(native));
            faceArgs[3].set(kit);
            JS::RootedValue resolvers(cx);
            if (!JS::Call(cx, JS::UndefinedHandleValue, face, faceArgs, &resolvers) || !resolvers.isObject())
                return false;
            JS::RootedObject r(cx, &resolvers.toObject());
            JS::RootedValue resolve(cx), resolveAll(cx), member(cx), work(cx);
            if (!JS_GetProperty(cx, r, "resolve", &resolve) || !JS_GetProperty(cx, r, "resolveAll", &resolveAll) ||
                !JS_GetProperty(cx, r, "member", &member) || !JS_GetProperty(cx, r, "work", &work))
                return false;
            JS::SetReservedSlot(host, kMemberSlot, member);
            if (work.isObject()) {
                persona::SetWorkMaker(MakeMemberWork);
                JS::SetReservedSlot(host, kWorkSlot, work);
            }
            JS::SetReservedSlot(host, kResolveSlot, resolve);
            JS::SetReservedSlot(host, kResolveAllSlot, resolveAll);
            once.reset();
            // The page's own scripts wait for LoadPage: they run once the global shows
            // Chrome's interfaces and the engine speaks as V8.
            JS::RootedObject kitObject(cx, kit.isObject() ? &kit.toObject() : nullptr);
            JS::RootedValue loadPage(cx);
            if (kitObject && !JS_GetProperty(cx, kitObject, "loadPage", &loadPage)) return false;
            if (loadPage.isObject()) JS::SetReservedSlot(host, kLoadPageSlot, loadPage);
            return true;
        }
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

bool Environment::LoadPage(JSContext* cx, JS::HandleObject global) {
    JS::RootedObject host(cx, HostOf(global));
    if (!host) return true;
    JS::RootedValue load(cx, JS::GetReservedSlot(host, kLoadPageSlot));
    if (!load.isObject()) return true;
    JS::SetReservedSlot(host, kLoadPageSlot, JS::UndefinedValue());
    JS::RootedValue ignored(cx);
    return JS::Call(cx, JS::UndefinedHandleValue, load, JS::HandleValueArray::empty(), &ignored);
}

bool Environment::RunTimers(JSContext* cx, JS::HandleObject global, int limit, int* ran) {
    if (ran) *ran = 0;
    JS::RootedObject host(cx, HostOf(global));
    if (!host) return true;
    JS::RootedValue run(cx, JS::GetReservedSlot(host, kTimersSlot));
    if (!run.isObject()) return true;
    JS::RootedValueArray<1> argv(cx);
    argv[0].setInt32(limit);
    JS::RootedValue rv(cx);
    if (JS::Call(cx, JS::UndefinedHandleValue, run, argv, &rv)) {
        if (ran && rv.isInt32()) *ran = rv.toInt32();
        return true;
    }
    // The runner catches what callbacks throw; a failure without an exception is the
    // watchdog ending the run.
    if (!JS_IsExceptionPending(cx)) return false;
    JS_ClearPendingException(cx);
    return true;
}

std::vector<Miss> Environment::TakeMisses(JSContext* cx, JS::HandleObject global, bool* cutShort) {
    std::vector<Miss> taken = m_record.Take(), still;
    if (cutShort) *cutShort = false;
    m_busy = true;
    // The checks below may run the page's code (a getter, a proxy's trap on a
    // prototype): the caller holds them under the watchdog, and a check the watchdog
    // ends (it fails with nothing pending) ends the report.
    auto failed = [&] {
        if (JS_IsExceptionPending(cx)) {
            JS_ClearPendingException(cx);
            return false;
        }
        if (cutShort) *cutShort = true;
        return true;
    };
    for (Miss& m : taken) {
        // A name the script defined after looking for it (`window.md5 = …`, a global
        // var) is no longer missing.
        JS::RootedObject holder(cx, global);
        if (!m.object.empty()) {
            JS::RootedValue v(cx);
            if (!JS_GetProperty(cx, global, m.object.c_str(), &v) && failed()) break;
            holder = v.isObject() ? &v.toObject() : nullptr;
        }
        bool found = false;
        // A member the page has in name only stays noted: its value is an empty one.
        if (m_hollow.count(m.object + "." + m.member)) holder = nullptr;
        if (holder) {
            std::u16string member = text::Utf8ToUtf16(m.member);
            if (!JS_HasUCProperty(cx, holder, member.data(), member.size(), &found) && failed()) break;
        }
        if (!found) still.push_back(std::move(m));
    }
    m_busy = false;
    return still;
}

bool Environment::FindUserPlace(JSContext* cx, Place& place, bool throughInternal) {
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
    if (!throughInternal && std::strncmp(file.get(), kInternalPrefix, std::strlen(kInternalPrefix)) == 0) return false;
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
        if (!throughInternal && f.rfind(kInternalPrefix, 0) == 0) return false;
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

void Environment::NoteHollow(JSContext* cx, const std::string& object, const std::string& member) {
    if (!m_recording || m_busy) return;
    m_busy = true;
    Place place;
    if (FindUserPlace(cx, place, true)) {
        m_record.Note(object, member, place);
        m_hollow.insert(object + "." + member);
    }
    m_busy = false;
}

bool Environment::NoteMiss(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool watched) {
    // The environment's own set-up adds its members through this very hook: it costs
    // a flag test until recording starts.
    if (!m_recording || m_busy || !id.isString()) return true;
    m_busy = true;
    // Members the chain has (the page's interfaces keep theirs on prototypes, so most
    // reads come here) are settled before the costlier look at the stack.
    // The prototype chain may hold the page's code (a proxy's trap): what the watchdog
    // ends there ends the lookup that got here too, so that 停止 reaches the page's
    // loop. What the page's code throws stays the record's business.
    bool inherited = false;
    JS::RootedObject proto(cx);
    bool ok = JS_GetPrototype(cx, obj, &proto) && (!proto || JS_HasPropertyById(cx, proto, id, &inherited));
    if (!ok && !JS_IsExceptionPending(cx)) {
        m_busy = false;
        return false;
    }
    if (!ok) inherited = false;
    JS_ClearPendingException(cx);
    Place place;
    bool user = !inherited && FindUserPlace(cx, place);
    if (user) {
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
    return true;
}

}  // namespace qy::env

/** @file NativeFunction.cpp
 * Native wrappers: one trampoline native, the implementation kept in the function's
 * first extended slot (invisible to scripts).
 */
#include "persona/NativeFunction.h"

#include <js/CallAndConstruct.h>
#include <js/Conversions.h>
#include <js/ValueArray.h>
#include <js/String.h>
#include <jsfriendapi.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <vector>

namespace qy::persona {
namespace {

constexpr size_t kImplSlot = 0;
constexpr size_t kTraceSlot = 1;

NativeTrace g_trace = nullptr;

// The meter, per engine thread.
thread_local bool g_measuring = false;
thread_local int g_depth = 0;
thread_local std::chrono::steady_clock::time_point g_since;
thread_local uint64_t g_nanoseconds = 0;

WorkMaker g_workMaker = nullptr;

// The breakdown by entry: only when asked, only in a benchmark.
bool g_entries = false;
std::map<std::string, EnvironmentEntry>* g_entryTable = nullptr;

/// Counts one outermost call of a wrapper by its name, from construction to the end of scope.
class EntryMeter {
public:
    EntryMeter(JSContext* cx, JSObject* callee) {
        if (!g_entries || !g_measuring || g_depth != 0) return;
        JSString* id = JS_GetFunctionId(JS_GetObjectFunction(callee));
        if (id) {
            JS::RootedString name(cx, id);
            if (JS::UniqueChars utf8 = JS_EncodeStringToUTF8(cx, name)) m_name = utf8.get();
        }
        m_counting = true;
        m_since = std::chrono::steady_clock::now();
    }
    ~EntryMeter() {
        if (!m_counting) return;
        if (!g_entryTable) g_entryTable = new std::map<std::string, EnvironmentEntry>;
        EnvironmentEntry& e = (*g_entryTable)[m_name];
        e.name = m_name;
        ++e.calls;
        e.nanoseconds += static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - m_since).count());
    }
    EntryMeter(const EntryMeter&) = delete;
    EntryMeter& operator=(const EntryMeter&) = delete;

private:
    bool m_counting = false;
    std::string m_name;
    std::chrono::steady_clock::time_point m_since;
};

/// A lazy wrapper's implementation, made now from its key.
bool MakeWork(JSContext* cx, JS::HandleObject fn, JS::MutableHandleValue impl) {
    JS::RootedValue key(cx, js::GetFunctionNativeReserved(fn, kImplSlot));
    JS::RootedObject work(cx);
    if (!g_workMaker || !key.isString() || !g_workMaker(cx, fn, key, &work)) {
        if (!JS_IsExceptionPending(cx)) JS_ReportErrorASCII(cx, "Illegal invocation");
        return false;
    }
    if (!work || !JS::IsCallable(work)) {
        JS_ReportErrorASCII(cx, "Illegal invocation");
        return false;
    }
    js::SetFunctionNativeReserved(fn, kImplSlot, JS::ObjectValue(*work));
    impl.setObject(*work);
    return true;
}

bool Trampoline(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    // (The callee's name is read first: the result takes its place.)
    EntryMeter entry(cx, &args.callee());
    EnvironmentTime metered;
    JS::RootedValue impl(cx, js::GetFunctionNativeReserved(&args.callee(), kImplSlot));
    if (!impl.isObject()) {
        JS::RootedObject callee(cx, &args.callee());
        if (!MakeWork(cx, callee, &impl)) return false;
    }
    if (args.isConstructing()) {
        JS::RootedObject newTarget(cx, &args.newTarget().toObject());
        JS::RootedObject made(cx);
        if (!JS::Construct(cx, impl, newTarget, JS::HandleValueArray(args), &made)) return false;
        args.rval().setObject(*made);
        return true;
    }
    return JS::Call(cx, args.thisv(), impl, JS::HandleValueArray(args), args.rval());
}

/// A traced wrapper's trampoline: the same call, then the access goes to the trace
/// (the label is read first: the result takes the callee's place).
bool TracedTrampoline(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedValue label(cx, js::GetFunctionNativeReserved(&args.callee(), kTraceSlot));
    JS::RootedValue self(cx, args.thisv());
    bool ok = Trampoline(cx, argc, vp);
    if (NativeTrace trace = g_trace) trace(cx, label, self, args, ok);
    return ok;
}

}  // namespace

void SetNativeTrace(NativeTrace trace) { g_trace = trace; }

void SetWorkMaker(WorkMaker maker) { g_workMaker = maker; }

void MeasureEnvironmentTime(bool on) {
    g_measuring = on;
    g_depth = 0;
    g_nanoseconds = 0;
}

uint64_t EnvironmentNanoseconds() { return g_nanoseconds; }

void MeasureEnvironmentEntries(bool on) {
    // (Switched on, it starts a new count; switched off, the count stays to be read.)
    if (on && g_entryTable) g_entryTable->clear();
    g_entries = on;
}

std::vector<EnvironmentEntry> EnvironmentEntries() {
    std::vector<EnvironmentEntry> out;
    if (g_entryTable)
        for (auto& [name, e] : *g_entryTable) out.push_back(e);
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.nanoseconds > b.nanoseconds; });
    return out;
}

EnvironmentTime::EnvironmentTime() {
    if (!g_measuring) return;
    m_counting = true;
    if (g_depth++ == 0) g_since = std::chrono::steady_clock::now();
}

EnvironmentTime::~EnvironmentTime() {
    if (!m_counting || !g_measuring) return;
    if (--g_depth == 0)
        g_nanoseconds += static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - g_since).count());
}

JSFunction* NewNativeWrapper(JSContext* cx, JS::HandleObject impl, std::u16string_view name, unsigned length,
                             bool constructor, JS::HandleString traceLabel) {
    JS::RootedString nameString(cx, JS_AtomizeUCStringN(cx, name.data(), name.size()));
    if (!nameString) return nullptr;
    JS::RootedId id(cx, JS::PropertyKey::NonIntAtom(nameString));
    JSNative call = traceLabel ? TracedTrampoline : Trampoline;
    JSFunction* fn = js::NewFunctionByIdWithReserved(cx, call, length, constructor ? JSFUN_CONSTRUCTOR : 0, id);
    if (!fn) return nullptr;
    js::SetFunctionNativeReserved(JS_GetFunctionObject(fn), kImplSlot, JS::ObjectValue(*impl));
    if (traceLabel) js::SetFunctionNativeReserved(JS_GetFunctionObject(fn), kTraceSlot, JS::StringValue(traceLabel));
    return fn;
}

JSFunction* NewLazyNativeWrapper(JSContext* cx, JS::HandleString key, std::u16string_view name, unsigned length,
                                 bool constructor) {
    JS::RootedString nameString(cx, JS_AtomizeUCStringN(cx, name.data(), name.size()));
    if (!nameString) return nullptr;
    JS::RootedId id(cx, JS::PropertyKey::NonIntAtom(nameString));
    JSFunction* fn = js::NewFunctionByIdWithReserved(cx, Trampoline, length, constructor ? JSFUN_CONSTRUCTOR : 0, id);
    if (!fn) return nullptr;
    js::SetFunctionNativeReserved(JS_GetFunctionObject(fn), kImplSlot, JS::StringValue(key));
    return fn;
}

bool NativeWrapperCall(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (!args.get(0).isObject() || !JS::IsCallable(&args.get(0).toObject())) {
        JS_ReportErrorASCII(cx, "native: a function expected");
        return false;
    }
    JS::RootedObject impl(cx, &args.get(0).toObject());
    JS::RootedString name(cx, JS::ToString(cx, args.get(1)));
    if (!name) return false;
    size_t n = JS_GetStringLength(name);
    std::u16string text(n, u'\0');
    if (n && !JS_CopyStringChars(cx, mozilla::Range<char16_t>(text.data(), n), name)) return false;
    double length = 0;
    if (!JS::ToNumber(cx, args.get(2), &length)) return false;
    unsigned len = length > 0 && length < 65536 ? static_cast<unsigned>(length) : 0;
    bool constructor = JS::ToBoolean(args.get(3));
    JS::RootedString label(cx, args.get(4).isString() ? args.get(4).toString() : nullptr);
    JSFunction* fn = NewNativeWrapper(cx, impl, text, len, constructor, label);
    if (!fn) return false;
    args.rval().setObject(*JS_GetFunctionObject(fn));
    return true;
}

bool UnwrapNative(JSContext* cx, JS::HandleObject fn, JS::MutableHandleObject impl) {
    if (!JS_ObjectIsFunction(fn) || (!JS_IsNativeFunction(fn, Trampoline) && !JS_IsNativeFunction(fn, TracedTrampoline)))
        return false;
    JS::RootedValue v(cx, js::GetFunctionNativeReserved(fn, kImplSlot));
    if (v.isString() && !MakeWork(cx, fn, &v)) {
        JS_ClearPendingException(cx);
        return false;
    }
    if (!v.isObject()) return false;
    impl.set(&v.toObject());
    return true;
}

}  // namespace qy::persona

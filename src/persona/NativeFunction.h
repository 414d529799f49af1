/** @file NativeFunction.h
 * Functions that are native to the engine but do their work in script. A page's
 * members are written in script (the environment), yet a page sees only native
 * functions: they print as native code, have no `prototype` unless given one, and
 * show no source. A wrapper made here is a real native whose hidden slot holds the
 * script function doing the work; calling the wrapper calls that function with the
 * same `this` (unconverted: undefined stays undefined) and the same arguments.
 *
 * The implementation function should be strict (or check `this` itself): a sloppy one
 * would see the global where the caller passed undefined.
 */
#pragma once

#include <jsapi.h>

#include <string>
#include <vector>

#include <cstdint>
#include <string_view>

namespace qy::persona {

/// A native wrapper around `impl` (a function) named `name`, whose `length` is `length`.
/// A constructor wrapper (`constructor` true) may be used with `new`: the
/// implementation is then constructed with the wrapper as `new.target` (so instances
/// take the wrapper's `prototype`); a plain wrapper refuses `new` as engine built-ins do.
/// Null with an exception pending on failure.
/// A wrapper given a `traceLabel` also reports each of its calls to the trace (below);
/// it looks and behaves exactly as an untraced one.
[[nodiscard]] JSFunction* NewNativeWrapper(JSContext* cx, JS::HandleObject impl, std::u16string_view name,
                                           unsigned length, bool constructor = false,
                                           JS::HandleString traceLabel = nullptr);

/// A wrapper whose implementation is made when it is first called (or unwrapped): until
/// then it holds `key`, and the maker set with SetWorkMaker turns the key into the
/// implementation, which then takes the key's place. It looks and behaves exactly as a
/// wrapper made with its implementation at hand (never traced).
[[nodiscard]] JSFunction* NewLazyNativeWrapper(JSContext* cx, JS::HandleString key, std::u16string_view name,
                                               unsigned length, bool constructor = false);
/// Makes a lazy wrapper's implementation from its key; false with an exception pending
/// on failure.
using WorkMaker = bool (*)(JSContext* cx, JS::HandleObject wrapper, JS::HandleValue key, JS::MutableHandleObject work);
void SetWorkMaker(WorkMaker maker);

/// The script-callable form, for privileged scripts only (pass it as an argument, never
/// put it on a global): native(impl, name, length[, constructor[, traceLabel]]) → the wrapper.
[[nodiscard]] bool NativeWrapperCall(JSContext* cx, unsigned argc, JS::Value* vp);

/// Where traced wrappers report: after each call, with the wrapper's label, the `this`
/// it was called with, its arguments and result (`args.rval()`, meaningful when `ok`).
/// The function must run no script code. Null: traced wrappers report nothing.
using NativeTrace = void (*)(JSContext* cx, JS::HandleValue label, JS::HandleValue self, const JS::CallArgs& args,
                             bool ok);
void SetNativeTrace(NativeTrace trace);

/// A meter of the time spent inside the environment: wrappers' calls and whatever else
/// wraps its work in an EnvironmentTime (the environment's resolve hooks). Nested
/// scopes count once, from the outermost. Off until switched on (a benchmark's figure;
/// off, a scope costs one test).
void MeasureEnvironmentTime(bool on);
/// Nanoseconds counted since the meter was last switched on.
uint64_t EnvironmentNanoseconds();

/// With the meter on, also count each outermost entry into the environment by the
/// wrapper's name (its calls and their time), for a benchmark's breakdown.
void MeasureEnvironmentEntries(bool on);
struct EnvironmentEntry {
    std::string name;
    uint64_t calls = 0;
    uint64_t nanoseconds = 0;
};
/// The entries counted since they were switched on, the costliest first.
std::vector<EnvironmentEntry> EnvironmentEntries();

class EnvironmentTime {
public:
    EnvironmentTime();
    ~EnvironmentTime();
    EnvironmentTime(const EnvironmentTime&) = delete;
    EnvironmentTime& operator=(const EnvironmentTime&) = delete;

private:
    bool m_counting = false;
};

/// True when `fn` is a wrapper made here; `impl` then receives its implementation.
bool UnwrapNative(JSContext* cx, JS::HandleObject fn, JS::MutableHandleObject impl);

}  // namespace qy::persona

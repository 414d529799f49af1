/** @file PersonaInternal.h
 * What the persona's natives share among themselves; not for the rest of the workbench.
 */
#pragma once

#include <jsapi.h>

#include <string>

#include "persona/V8Persona.h"

namespace qy::persona::detail {

/// The page's address, the first reserved slot of the persona's natives.
inline constexpr size_t kAddressSlot = 0;

std::u16string Copy(JSContext* cx, JSString* s);
std::u16string Number(uint32_t n);

/// A native with reserved slots; `name` null for an anonymous one.
JSFunction* NewNative(JSContext* cx, JSNative native, unsigned length, const char* name);

/// The pending error (the engine's, so that the workbench's own line keeps its number)
/// takes V8's message. Always false, for `return Reword(…)`.
bool Reword(JSContext* cx, const char* message);

/// Sets the test for the user's code (the same for every global of the process).
void SetUserCodeTest(UserCodeTest test);
bool IsUserFile(const std::u16string& source);

/// The stacks' natives for `global` (entered), their shared state made and the watcher
/// (may be null) told of the global; `settle` receives the native the persona script
/// calls for each error its Error constructors make.
bool MakeStacks(JSContext* cx, JS::HandleObject global, JS::HandleValue address, JS::HandleObject watcher,
                JS::MutableHandleObject settle);

/// Once the persona script has made the Error constructors: Error.prototype.stack,
/// Error.captureStackTrace and Error.stackTraceLimit; `callSites` is the script's maker
/// of the objects Error.prepareStackTrace receives.
bool FinishStacks(JSContext* cx, JS::HandleObject global, JS::HandleObject settle, JS::HandleValue callSites);

}  // namespace qy::persona::detail

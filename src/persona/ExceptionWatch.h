/** @file ExceptionWatch.h
 * A watcher, in a global of its own, that sees each exception thrown in a persona
 * global once and gives the property errors V8's exact words (the engine's message table
 * cannot quote the property as V8 does, nor tell a write from a read).
 */
#pragma once

#include <jsapi.h>

namespace qy::persona {

/// The watcher's global. Null when the engine refuses (nothing left pending). The caller
/// keeps it rooted no longer than the engine.
JSObject* NewExceptionWatcher(JSContext* cx);

/// Lets `watcher` see the exceptions of `global` (entered): `note` (a native of the
/// global) hears of each error thrown there, and `frames` receives the watcher's function
/// that names the frames of the running code. False when it cannot (nothing pending).
bool WatchExceptions(JSContext* cx, JS::HandleObject watcher, JS::HandleObject global, JS::HandleObject note,
                     JS::MutableHandleValue frames);

}  // namespace qy::persona

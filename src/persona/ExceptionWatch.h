/** @file ExceptionWatch.h
 * A watcher, in a global of its own, that sees each exception thrown in a persona
 * global once and gives the property errors V8's exact words (the engine's message table
 * cannot quote the property as V8 does, nor tell a write from a read), and the errors that
 * built-ins reject promises with.
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

/// Where the watcher is to be found when a promise is rejected (null when there is none).
using WatcherSource = JSObject* (*)(JSContext* cx);

/// Lets the watcher word and place the errors built-ins reject promises with while no
/// handler waits (they unwind no frame of the page's code, so the watcher never sees
/// them thrown). Takes the context's rejection tracker.
void WatchRejections(JSContext* cx, WatcherSource watcherOf);

}  // namespace qy::persona

/** @file SessionEnd.h
 * The session ends without closing the window: SIGTERM or SIGHUP (logout, `kill`, a
 * closed terminal), or the display going away. Before the program ends the editors'
 * texts are saved, and the program ends without crashing.
 */
#pragma once

#include <functional>

namespace qy::app {

/// Installs the handlers, once per process: on SIGTERM and SIGHUP `save` runs on the
/// main thread and the program quits; when the connection to the display breaks,
/// `save` runs before the program exits (status 1). Call SetSessionSave(nullptr) when
/// what it saves goes.
void HandleSessionEnd();
void SetSessionSave(std::function<void()> save);

}  // namespace qy::app

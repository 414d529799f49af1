/** @file Runtime.h
 * The JScript 5.8 runtime over a fresh global: JScript's global surface (ES5-and-later
 * built-ins gone, JScript's own objects present), its built-in rules, and the helpers
 * that rewritten code calls.
 */
#pragma once

#include <jsapi.h>

#include <functional>
#include <string>

namespace qy::jscript {

/// Where Debug.write and Debug.writeln text goes (the output log); each call of either
/// is one line there. An empty function drops the text.
using DebugOutput = std::function<void(const std::u16string& text)>;
void SetDebugOutput(DebugOutput output);

/// Drops what the runtime keeps for the whole engine (its compiled scripts). Call it
/// before the engine's context is destroyed; a later InstallRuntime compiles again.
void ReleaseRuntime();

/// Gives `global` (its realm entered) JScript's surface and rules. False on an engine
/// failure, with the exception left pending.
[[nodiscard]] bool InstallRuntime(JSContext* cx, JS::HandleObject global);

}  // namespace qy::jscript

/** @file Runtime.h
 * The JScript 5.8 runtime over a fresh global: JScript's global surface (ES5-and-later
 * built-ins gone, JScript's own objects present), its built-in rules, and the helpers
 * that rewritten code calls.
 */
#pragma once

#include <jsapi.h>

#include <functional>
#include <memory>
#include <string>

#include "jscript/ErrorMapping.h"
#include "jscript/SourceGate.h"

namespace qy::jscript {

/// Where Debug.write and Debug.writeln text goes (the output log); each call of either
/// is one line there. An empty function drops the text.
using DebugOutput = std::function<void(const std::u16string& text)>;
void SetDebugOutput(DebugOutput output);

/// Code the gate rewrote before the engine compiled it under `file`: functions defined
/// in it print the text the user wrote (obfuscated scripts read their own functions'
/// text and judge it). The runtime keeps only a weak reference; the owner keeps the
/// record for as long as the code may run and passes it to every control that runs it.
struct RewrittenSource {
    std::u16string original;
    std::u16string rewritten;
    PositionMap positions;
};
void RegisterRewrittenSource(const std::string& file, const std::shared_ptr<const RewrittenSource>& source);

/// The record registered under `file`, while its owner keeps it; null otherwise.
std::shared_ptr<const RewrittenSource> FindRewrittenSource(const std::string& file);

/// The user's text of a function compiled from rewritten code; false when the function
/// was compiled as written (or its code is gone).
[[nodiscard]] bool OriginalFunctionText(JSContext* cx, JS::HandleObject function, std::u16string& text);

/// The text the engine compiled under `file`, kept weakly like the rewritten records: an
/// error's place in it tells what the failing code did (a call of an undeclared name).
void RegisterCompiledText(const std::string& file, const std::shared_ptr<const std::u16string>& text);

/// JScript's code, description and kind for an error the engine reported.
MappedError MapEngineError(const JSErrorReport& report);

/// Drops what the runtime keeps for the whole engine (its compiled scripts). Call it
/// before the engine's context is destroyed; a later InstallRuntime compiles again.
void ReleaseRuntime();

/// Gives `global` (its realm entered) JScript's surface and rules. False on an engine
/// failure, with the exception left pending.
[[nodiscard]] bool InstallRuntime(JSContext* cx, JS::HandleObject global);

}  // namespace qy::jscript

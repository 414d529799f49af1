/** @file Transforms.h
 * Format, minify and unpack a script by running the workbench's own tool scripts in
 * the engine, and the caller snippet. A tool call that fails keeps its Error object so
 * the window can report it; the caller's text is then left as it was.
 */
#pragma once

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "script/ScriptHost.h"

namespace qy::transform {

struct ToolResult {
    bool ok = false;
    std::string text;           ///< workbench text
    script::ObjectRef error;    ///< the engine's Error object when the call failed
};

/// Reformats with the formatter in a private host; every line ends in CR LF.
ToolResult FormatScript(const std::string& text);
/// Formats a sample once, so that the engine has compiled the formatter before the user
/// first asks for it. Does nothing unless the engine is idle; false then.
bool WarmFormatter();
/// Minifies at level 2 in a script control of its own.
ToolResult MinifyScript(const std::string& text);
struct UnpackOptions {
    /// How long one layer's evaluation may run before that layer is given up.
    std::chrono::milliseconds stepLimit{8000};
    /// How long the quick run of the input may take; an input still going then tells
    /// nothing to compare with. After an input that ran through without an error, a
    /// layer's result may run four times as long as the input took, and at least this
    /// long; one still going then has been made to spin and is refused.
    std::chrono::milliseconds runLimit{400};
};

/// What the unpacker did. `ok` is false only when the user stopped it (`stopped`) or
/// the unpacker itself could not load; `text` is then the input.
struct UnpackResult : ToolResult {
    bool stopped = false;
    /// Recogniser labels (workbench text) with the number of places, in order of use.
    std::vector<std::pair<std::string, int>> removed;
    /// Labels of layers whose result failed the check and were kept as they came in.
    std::vector<std::string> refused;
    /// Labels of layers given up at the time limit.
    std::vector<std::string> timedOut;
    /// Non-empty: the result checks its own text, so it must not be reformatted (label).
    std::string guard;
};

/// Adds the unpacker to `mainHost` (no reset), then peels layer after layer off the text
/// in a private control of the engine's full language, each layer under a time limit.
/// A layer is kept only when its result still compiles in the current target (where
/// the input did), still declares the input's global functions, and its top level, run
/// briefly in a fresh control, throws no error the input's did not.
UnpackResult UnpackScript(script::ScriptHost& mainHost, const std::string& text, const UnpackOptions& options = {});
/// True when the code compiles in the current target (checked without running it).
bool CompilesInCurrentTarget(const std::string& code);
/// The eleven-line caller snippet around `expression` (all workbench text).
std::string CallerSnippet(const std::string& expression);

}  // namespace qy::transform

/** @file Transforms.h
 * Format, minify and unpack a script by running the workbench's own tool scripts in
 * the engine, and the caller snippet. A tool call that fails keeps its Error object so
 * the window can report it; the caller's text is then left as it was.
 */
#pragma once

#include <string>

#include "script/ScriptHost.h"

namespace qy::transform {

struct ToolResult {
    bool ok = false;
    std::string text;           ///< workbench text
    script::ObjectRef error;    ///< the engine's Error object when the call failed
};

/// Reformats with the formatter in a private host; every line ends in CR LF.
ToolResult FormatScript(const std::string& text);
/// Minifies at level 2 in a script control of its own.
ToolResult MinifyScript(const std::string& text);
/// Adds the unpacker to `mainHost` (no reset) and runs unpacker_filter on the text.
ToolResult UnpackScript(script::ScriptHost& mainHost, const std::string& text);
/// The eleven-line caller snippet around `expression` (all workbench text).
std::string CallerSnippet(const std::string& expression);

}  // namespace qy::transform

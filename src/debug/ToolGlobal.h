/** @file ToolGlobal.h
 * A global of the workbench's own that holds an engine Debugger and runs one tool script
 * in it (the debugger's, the function watcher's). Scripts of the page never see it.
 */
#pragma once

#include <jsapi.h>

#include <initializer_list>
#include <memory>
#include <string_view>

#include "script/EngineInternal.h"

namespace qy::debug {

/// A native the tool script calls, defined on its global.
struct ToolNative {
    const char* name;
    JSNative call;
    unsigned nargs;
};

/// Makes a global of class `clasp` with `Debugger` (and `Reflect.parse` when `reflect`),
/// the natives, and the tool script (UTF-8, run as `file`). Null when the engine refuses;
/// nothing is left pending then.
std::unique_ptr<script::detail::JsObjectRoot> MakeToolGlobal(JSContext* cx, const JSClass* clasp,
                                                             std::initializer_list<ToolNative> natives,
                                                             std::string_view scriptUtf8, const char* file,
                                                             bool reflect = false);

}  // namespace qy::debug

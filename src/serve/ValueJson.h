/** @file ValueJson.h
 * A result as the service's callers read it, with the object viewer's types: strings,
 * numbers, booleans, null, arrays and plain objects as JSON, every other object as its
 * text with its class, dates as the result display writes them. Runs in the worker,
 * on the engine's thread.
 */
#pragma once

#include <string>

#include "script/Variant.h"

namespace qy::serve {

/// Values in one converted result at most; a bigger result is refused rather than
/// built (a window object with all it reaches would never end).
inline constexpr size_t kMaxResultValues = 200000;

/// {"result": …, "type": "文本型"} (objects add "class": their constructor's name).
/// False when the result cannot be written (too big, or reading it failed or was cut
/// short); `why` then says so in Chinese.
bool ResultJson(script::Variant& value, std::string& out, std::string& why);

}  // namespace qy::serve

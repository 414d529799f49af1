/** @file JsBridge.h
 * Values between the engine and the automation layer, and the automation object that
 * stands for a JS object handed out to the workbench.
 */
#pragma once

#include <jsapi.h>

#include <string>

#include "script/Automation.h"

namespace qy::script::detail {

/// JS value to variant: int32-valued numbers VT_I4, other numbers VT_R8, strings VT_BSTR,
/// booleans VT_BOOL, undefined VT_EMPTY, null VT_NULL, Date objects VT_DATE, every other
/// object VT_DISPATCH. The current realm must be the value's.
bool ToVariant(JSContext* cx, JS::HandleValue value, Variant& out);

/// Variant to JS value in the current realm.
bool FromVariant(JSContext* cx, const Variant& v, JS::MutableHandleValue out);

/// Copies a JS string's UTF-16 units (NULs included).
std::u16string CopyString(JSContext* cx, JSString* str);

/// Wraps a JS object as an automation object (it stays rooted while referenced).
ObjectRef WrapObject(JSContext* cx, JS::HandleObject obj);

/// The JS object behind an automation object made by WrapObject, or null.
JSObject* UnwrapObject(const ObjectRef& ref);

/// Parameter names of a function from its source, and whether its body returns a value.
/// Both run in a private helper global; failures give empty results.
std::vector<std::u16string> ParameterNames(const std::u16string& functionSource);
bool HasReturnValue(const std::u16string& functionSource);

/// The source text of a function object (current realm).
std::u16string FunctionSource(JSContext* cx, JS::HandleObject fun);

}  // namespace qy::script::detail

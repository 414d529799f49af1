/** @file TypedConsole.h
 * What `console` means in an expression the user types into the workbench: the log's
 * own console, even after the script replaced the global's console or one of its
 * methods (scripts do, to silence or to detect tools); the workbench's lines survive it.
 */
#pragma once

#include <jsapi.h>

#include <string>

namespace qy::script {

/// True when `expression` may name `console` (a cheap look at the text).
bool MentionsConsole(const std::u16string& expression);

/// True when the script replaced `global`'s console or one of its methods (its realm
/// entered); read without running any of the script's code.
bool ConsoleReplaced(JSContext* cx, JS::HandleObject global);

/// A console of the workbench's own, made in the current realm, writing to the log as
/// the page's console does; null when none can be made.
JSObject* NewWorkbenchConsole(JSContext* cx);

}  // namespace qy::script

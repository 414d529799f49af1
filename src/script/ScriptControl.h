/** @file ScriptControl.h
 * The script control: one JavaScript global of the process's engine, reached through
 * the automation layer. Every instance is cheap: a fresh global in the one context.
 *
 * Members (names bind in any letter case):
 *   Language          read/write text; "JScript" and "JavaScript" are accepted
 *   Target            "jscript" or "es2021": the language rules the control was created with
 *   AddCode(code)     runs code in the global; keeps what it defines until Reset
 *   Eval(expression)  the expression's value; ExecuteStatement(code) runs code only
 *   Run(name, args…)  calls a function of the global with any number of arguments
 *   Error             the Error object of the last call (every call clears it first):
 *                     Number (0 when the call succeeded, else 0x800A0000 | code read as
 *                     a signed 32-bit number), Description (Chinese), Text (the source
 *                     line of a syntax error, empty for a run-time error), Line (from 1),
 *                     Column (from 0, the same for both kinds), Source, InLoadedCode
 *                     (true when the error lies in added code rather than in an
 *                     evaluated expression) and the method Clear
 *   Procedures        the functions that added code put on the global, in the order they
 *                     were defined: Count, Item(i) from 1, each with Name, NumArgs and
 *                     HasReturnValue
 *   Reset             a fresh global; objects handed out before stay usable
 *   BrowserEnvironment read/write boolean: from the next Reset on, the global starts with
 *                     the browser environment's page objects and notes what the user's
 *                     code looks for in vain; queued timers run after every AddCode and Eval
 *   PageAddress       read/write text: the address `location` shows (from the next Reset)
 *   EnvironmentReport() the access record's lines since the last call, each ending in "\n"
 */
#pragma once

#include <string>

#include "jscript/ErrorMapping.h"
#include "script/Variant.h"

namespace qy::script {

/// Creates a script control for a ProgID the workbench knows ("scriptcontrol",
/// "MSScriptControl.ScriptControl", any letter case); null for any other class and
/// when the engine is not running.
ObjectRef CreateScriptControlByProgId(const std::string& progId);

/// The name the next AddCode will run its code under ("addcode-12"), so that a caller
/// can tell its own pieces apart in what the engine reports while they run.
std::string UpcomingAddedCodeName();

/// The JScript error codes the Error object reports (its Number is 0x800A0000 | code,
/// read as a signed 32-bit number).
namespace errors = jscript::errors;

}  // namespace qy::script

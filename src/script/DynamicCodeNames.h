/** @file DynamicCodeNames.h
 * Code a script makes at run time (eval, Function, a timer's string) runs under a name
 * the engine derives from where it was made ("addcode-0 line 3 > eval"). Its lines are
 * its own, not the loaded text's: the error report and the debugger's stack say which
 * piece of code they are in ("动态代码 #3 (eval, 第 120 行)") instead of pointing at an
 * unrelated line of the editor.
 */
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qy::script {

/// True for the engine's name of code made at run time.
bool IsDynamicCodeFile(std::string_view file);

/// Who knows the numbered pieces of code of the running load (the watch keeping them):
/// given the engine's name, their title, or empty when it does not know it.
using DynamicCodeNamer = std::function<std::u16string(const std::string& file)>;
void SetDynamicCodeNamer(DynamicCodeNamer namer);

/// The title of the code made at run time that runs under `file`: the namer's, else one
/// made from the name itself ("动态代码 (eval, 第 3 行)"). Empty for other code.
std::u16string DynamicCodeName(const std::string& file);

}  // namespace qy::script

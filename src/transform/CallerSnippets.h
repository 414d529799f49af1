/** @file CallerSnippets.h
 * Caller code for the languages users call their scripts from: Python (PyExecJS,
 * PyMiniRacer), Node's vm module, Go with goja, Java's javax.script and C# with Jint.
 * Each is a whole small program that holds the script (as a string literal of that
 * language, or read from a file the user names), evaluates the expression and prints
 * the result. The text is Unicode (UTF-8) for the clipboard, not workbench text.
 */
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qy::transform {

enum class CallerLanguage { PyExecJs, PyMiniRacer, NodeVm, GoGoja, JavaScriptEngine, CSharpJint };

struct CallerLanguageInfo {
    CallerLanguage language;
    const char* key;   ///< short ASCII name, used as the menu action's object name
    const char* name;  ///< what the user reads (UTF-8): "Python (PyExecJS)"
};

/// Every language, in the order the menu offers them.
const std::vector<CallerLanguageInfo>& CallerLanguages();
const CallerLanguageInfo& CallerLanguageOf(CallerLanguage language);

/// Where the program gets the script: embedded, or read (UTF-8) from `fileName` when
/// that is not empty.
struct CallerSource {
    std::u16string script;
    std::u16string fileName;
};

/// The program (UTF-8, LF line ends) that loads `source` and prints `expression`'s value.
std::string CallerProgram(CallerLanguage language, const CallerSource& source, std::u16string_view expression);

/// The string-literal syntaxes the programs use.
enum class LiteralSyntax { Python, JavaScript, Go, Java, CSharp };

/// `text` as one double-quoted string literal of `syntax` (UTF-8) that gives back the
/// same UTF-16 units. Control characters, line and paragraph separators, invisible and
/// direction-changing characters are always escaped; Java and C# escape every
/// non-ASCII unit. Go cannot hold a lone surrogate and gets U+FFFD in its place.
std::string StringLiteral(LiteralSyntax syntax, std::u16string_view text);

}  // namespace qy::transform

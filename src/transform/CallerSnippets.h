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

/// Programs that call the workbench's local service (qingyou-js serve, or "作为本地服务
/// 运行" in the window) instead of holding the script: the engine, target, environment
/// and state are the service's.
enum class ServiceLanguage { PythonRequests, PythonStandard, NodeFetch, Go, Java, CSharp, EasyLanguage };

struct ServiceLanguageInfo {
    ServiceLanguage language;
    const char* key;   ///< short ASCII name, used as the menu action's object name
    const char* name;  ///< what the user reads (UTF-8)
};

const std::vector<ServiceLanguageInfo>& ServiceLanguages();

/// What an expression asks of the service: a call of a function by name with literal
/// arguments (strings, numbers, true, false, null) goes to /call with those arguments,
/// anything else to /eval. The body is JSON in ASCII alone (every other character as a
/// \u escape), so that any program sends it unchanged whatever its own encoding.
struct ServiceRequest {
    std::string path;
    std::string body;
};
ServiceRequest ServiceRequestFor(std::u16string_view expression);

/// The program (UTF-8, LF line ends) that sends `expression`'s request to the service at
/// `address` ("http://127.0.0.1:8930") and prints the result.
std::string ServiceCallerProgram(ServiceLanguage language, std::u16string_view address, std::u16string_view expression);

}  // namespace qy::transform

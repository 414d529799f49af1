/** @file JScriptTestSupport.h
 * Script controls of either target for the JScript rule tests, and short ways to read
 * what an expression gives there.
 */
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "script/ScriptControl.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "script/Variant.h"
#include "text/CodePage.h"

namespace qy::test {

/// A script control of `target` (the process's target is put back afterwards).
inline script::ScriptHost HostFor(script::ScriptTarget target) {
    script::ScriptTarget before = script::CurrentScriptTarget();
    script::SetScriptTarget(target);
    script::ScriptHost host;
    script::SetScriptTarget(before);
    host.SetLanguage("JScript");
    return host;
}

inline script::ScriptHost JScriptHost() { return HostFor(script::ScriptTarget::JScript58); }
inline script::ScriptHost ModernHost() { return HostFor(script::ScriptTarget::ES2021); }

/// The Error object's fields as UTF-8 text and numbers.
struct ErrorSeen {
    int32_t number = 0;
    int code = 0;  ///< number & 0xFFFF
    std::string description;
    std::string text;
    int32_t line = 0;
    int32_t column = 0;
};

inline ErrorSeen ErrorOf(script::ScriptHost& host) {
    script::ObjectRef e = host.GetError();
    ErrorSeen s;
    s.number = static_cast<int32_t>(script::GetPropertyNumber(e, "Number"));
    s.code = s.number & 0xFFFF;
    s.description = text::AnsiToUtf8(script::GetPropertyText(e, "Description"));
    s.text = text::AnsiToUtf8(script::GetPropertyText(e, "Text"));
    s.line = static_cast<int32_t>(script::GetPropertyNumber(e, "Line"));
    s.column = static_cast<int32_t>(script::GetPropertyNumber(e, "Column"));
    return s;
}

/// What `expr` gives after `code` was added, written as the engine's String() would
/// ("undefined", "null", numbers in JavaScript's spelling), or "error <code>: <description>"
/// when either step failed.
inline std::string Run(script::ScriptHost& host, const std::string& code, const std::string& expr) {
    if (!code.empty()) {
        host.AddCode(text::Utf8ToAnsiText(code));
        ErrorSeen e = ErrorOf(host);
        if (e.number) return "error " + std::to_string(e.code) + ": " + e.description;
    }
    std::string wrapped = "(function(){var r=(" + expr + ");return typeof r==='string'?r:String(r);})()";
    script::Variant v = host.Eval(text::Utf8ToAnsiText(wrapped));
    ErrorSeen e = ErrorOf(host);
    if (e.number) return "error " + std::to_string(e.code) + ": " + e.description;
    return text::AnsiToUtf8(script::VariantToText(v));
}

/// Runs in a fresh control of each target: JScript's answer and the modern one.
struct BothAnswers {
    std::string jscript;
    std::string modern;
};
inline BothAnswers RunBoth(const std::string& code, const std::string& expr) {
    script::ScriptHost j = JScriptHost();
    script::ScriptHost m = ModernHost();
    return {Run(j, code, expr), Run(m, code, expr)};
}

}  // namespace qy::test

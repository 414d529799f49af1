/** @file EnvTestSupport.h
 * Script controls with the browser environment on, in either target, and what the
 * environment wrote to the log.
 */
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "env/Environment.h"
#include "script/Automation.h"
#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "script/Variant.h"
#include "text/CodePage.h"

namespace qy::test {

/// A control of `target`, environment on (or off), reset and ready for code. The
/// environment's lines are collected (UTF-8) for as long as it lives.
class EnvHost {
public:
    explicit EnvHost(script::ScriptTarget target, bool environment = true,
                     const std::string& address = "https://www.example.com/index.html?q=1#top") {
        script::ScopedScriptTarget scoped(target);
        host = script::ScriptHost();
        host.SetLanguage("JScript");
        script::SetProperty(host.Control(), "BrowserEnvironment", environment);
        script::SetProperty(host.Control(), "PageAddress", text::Utf8ToAnsiText(address));
        env::SetOutput([this](const std::u16string& line) { lines.push_back(text::Utf16ToUtf8(line)); });
        host.Reset();
    }
    ~EnvHost() { env::SetOutput(nullptr); }

    /// Adds code; true when the control reported no error.
    bool Add(const std::string& utf8) {
        host.AddCode(text::Utf8ToAnsiText(utf8));
        return ErrorNumber() == 0;
    }
    int32_t ErrorNumber() { return static_cast<int32_t>(script::GetPropertyNumber(host.GetError(), "Number")); }
    std::string ErrorDescription() { return text::AnsiToUtf8(script::GetPropertyText(host.GetError(), "Description")); }
    /// The expression's value as UTF-8 text ("" for an error).
    std::string Text(const std::string& utf8) {
        script::Variant v = host.Eval(text::Utf8ToAnsiText(utf8));
        return text::AnsiToUtf8(script::VariantToText(v));
    }
    bool True(const std::string& utf8) { return Text("String(" + utf8 + ")") == "true"; }
    /// The access record's lines since the last call (UTF-8).
    std::vector<std::string> Report() {
        std::string all = text::AnsiToUtf8(script::GetPropertyText(host.Control(), "EnvironmentReport"));
        std::vector<std::string> out;
        size_t start = 0;
        for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
            out.push_back(all.substr(start, end - start));
        return out;
    }

    script::ScriptHost host;
    std::vector<std::string> lines;
};

inline std::string TargetName(const testing::TestParamInfo<script::ScriptTarget>& info) {
    return info.param == script::ScriptTarget::JScript58 ? "JScript" : "ES2021";
}

}  // namespace qy::test

/** @file ScriptTarget.h
 * The language a script control speaks: JScript 5.8 as the Script Control runs it (the
 * default), or the engine's own ES2021. A control takes the target that is current when
 * it is created and keeps it through Reset.
 */
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qy::script {

enum class ScriptTarget { JScript58, ES2021 };

/// Process-wide: the target of every script control created from now on.
void SetScriptTarget(ScriptTarget target);
ScriptTarget CurrentScriptTarget();

/// Makes `target` current for as long as it lives (a tool that runs our own scripts in a
/// control of its own picks the target it was written for).
class ScopedScriptTarget {
public:
    explicit ScopedScriptTarget(ScriptTarget target) : m_before(CurrentScriptTarget()) { SetScriptTarget(target); }
    ~ScopedScriptTarget() { SetScriptTarget(m_before); }
    ScopedScriptTarget(const ScopedScriptTarget&) = delete;
    ScopedScriptTarget& operator=(const ScopedScriptTarget&) = delete;

private:
    ScriptTarget m_before;
};

/// The name the user reads (UTF-8): "JScript 5.8（Script Control）" or "ES2021（现代引擎）".
std::string TargetDisplayName(ScriptTarget target);
/// The short key of settings and the command line: "jscript" or "es2021".
std::string TargetKey(ScriptTarget target);
/// The target of a key (any letter case); nothing for an unknown key.
std::optional<ScriptTarget> TargetFromKey(std::string_view key);

}  // namespace qy::script

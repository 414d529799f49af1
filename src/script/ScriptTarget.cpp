#include "script/ScriptTarget.h"

#include <cctype>

namespace qy::script {
namespace {
ScriptTarget g_target = ScriptTarget::JScript58;
}

void SetScriptTarget(ScriptTarget target) { g_target = target; }
ScriptTarget CurrentScriptTarget() { return g_target; }

std::string TargetDisplayName(ScriptTarget target) {
    return target == ScriptTarget::JScript58 ? "JScript 5.8（Script Control）" : "ES2021（现代引擎）";
}

std::string TargetKey(ScriptTarget target) { return target == ScriptTarget::JScript58 ? "jscript" : "es2021"; }

std::optional<ScriptTarget> TargetFromKey(std::string_view key) {
    std::string lower;
    for (char c : key) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (lower == "jscript") return ScriptTarget::JScript58;
    if (lower == "es2021") return ScriptTarget::ES2021;
    return std::nullopt;
}

}  // namespace qy::script

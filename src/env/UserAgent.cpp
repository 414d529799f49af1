#include "env/UserAgent.h"

#include <string_view>

#include "env/Environment.h"

namespace qy::env {

std::string UserAgent() {
    // One place decides the value: the environment script's settings, read from the
    // script as shipped, so that a changed setting changes both at once.
    static const std::string agent = [] {
        std::string_view script = ScriptText();
        constexpr std::string_view key = "userAgent: '";
        size_t at = script.find(key);
        if (at == std::string_view::npos) return std::string();
        at += key.size();
        size_t end = script.find('\'', at);
        return end == std::string_view::npos ? std::string() : std::string(script.substr(at, end - at));
    }();
    return agent;
}

}  // namespace qy::env

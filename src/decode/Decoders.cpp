#include "decode/Decoders.h"

#include <cstring>

#include "script/Automation.h"

namespace qy::decode {
namespace {

constexpr const char* kHexDigits = "0123456789ABCDEF";
constexpr const char* kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int HexValue(unsigned char c) {
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    const char* p = c ? std::strchr(kHexDigits, c) : nullptr;
    return p ? static_cast<int>(p - kHexDigits) : -2;
}

int Base64Value(unsigned char c) {
    const char* p = c ? std::strchr(kBase64, c) : nullptr;
    return p ? static_cast<int>(p - kBase64) : -1;
}

/// Drops blanks (also the full-width one, which is a double-byte character) and every
/// line break, stepping over double-byte characters as wholes.
std::string WithoutBlanksAndBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x81 && i + 1 < text.size()) {
            if (!(c == 0xA1 && static_cast<unsigned char>(text[i + 1]) == 0xA1)) {
                out.push_back(text[i]);
                out.push_back(text[i + 1]);
            }
            ++i;
            continue;
        }
        if (c == ' ' || c == '\r' || c == '\n') continue;
        out.push_back(static_cast<char>(c));
    }
    return out;
}

}  // namespace

std::string DecodeJsEscapes(const std::string& ansi) {
    script::ObjectRef control;
    if (!script::CreateObject(control, "MSScriptControl.ScriptControl")) return "";
    script::SetProperty(control, "Language", "JavaScript");
    script::Variant v = script::CallMethodVariant(control, "Eval", {"unescape('" + ansi + "')"});
    std::string text = script::VariantToText(v);
    script::ClearVariant(v);
    return text;
}

std::string DecodePercent(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text[i] != '%') {
            out.push_back(text[i++]);
            continue;
        }
        int hi = i + 1 < text.size() ? HexValue(static_cast<unsigned char>(text[i + 1])) : 0;
        int lo = i + 2 < text.size() ? HexValue(static_cast<unsigned char>(text[i + 2])) : 0;
        int byte = (16 * hi + lo) & 0xFF;
        if (byte != 0) out.push_back(static_cast<char>(byte));
        i += 3;
    }
    return out;
}

std::string DecodeBase64(const std::string& input, const std::function<void()>& pump) {
    const std::string text = WithoutBlanksAndBreaks(input);
    const size_t groups = text.size() / 4 + (text.size() % 4 ? 1 : 0);
    std::string out;
    out.reserve(groups * 3);
    int q[4] = {0, 0, 0, 0};
    int stoppedAt = 0;
    for (size_t g = 0; g < groups; ++g) {
        stoppedAt = 0;
        for (int k = 0; k < 4; ++k) {
            size_t pos = g * 4 + static_cast<size_t>(k);
            auto c = pos < text.size() ? static_cast<unsigned char>(text[pos]) : 0;
            if (c == 0) {
                q[k] = 0;
                continue;
            }
            int value = Base64Value(c);
            if (value < 0) {
                q[k] = c;
                stoppedAt = k + 1;
                break;
            }
            q[k] = value;
        }
        out.push_back(static_cast<char>((4 * q[0] | q[1] / 16) & 0xFF));
        out.push_back(static_cast<char>((16 * q[1] | q[2] / 4) & 0xFF));
        out.push_back(static_cast<char>((64 * q[2] | q[3]) & 0xFF));
        if (pump) pump();
    }
    if (stoppedAt > 0) {
        size_t drop = static_cast<size_t>(5 - stoppedAt);
        out.resize(out.size() >= drop ? out.size() - drop : 0);
    }
    return out;
}

}  // namespace qy::decode

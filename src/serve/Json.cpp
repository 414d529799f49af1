#include "serve/Json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace qy::serve {
namespace {

void AppendHexUnit(std::string& out, uint32_t unit) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04x", unit & 0xFFFF);
    out += buf;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        // Surrogates too: a lone one is kept in the same three-byte form.
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

/// Reads one character of UTF-8 (surrogates in their three-byte form included) at `i`;
/// 0xFFFD and one byte for anything else.
uint32_t NextCodePoint(std::string_view s, size_t& i) {
    auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        ++i;
        return b;
    }
    int extra = b >= 0xF0 && b < 0xF5 ? 3 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    uint32_t cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    static const uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[extra] || cp > 0x10FFFF) {
        ++i;
        return 0xFFFD;
    }
    i += static_cast<size_t>(extra) + 1;
    return cp;
}

void AppendEscapedUnit(std::string& out, uint32_t cp, bool ascii) {
    switch (cp) {
        case '"': out += "\\\""; return;
        case '\\': out += "\\\\"; return;
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        case '\b': out += "\\b"; return;
        case '\f': out += "\\f"; return;
        default: break;
    }
    bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    if (cp < 0x20 || cp == 0x7F || cp == 0x2028 || cp == 0x2029 || surrogate || (ascii && cp >= 0x80)) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            AppendHexUnit(out, 0xD800 + (cp >> 10));
            AppendHexUnit(out, 0xDC00 + (cp & 0x3FF));
        } else {
            AppendHexUnit(out, cp);
        }
        return;
    }
    AppendUtf8(out, cp);
}

class Parser {
public:
    Parser(std::string_view text, int maxDepth) : m_s(text), m_maxDepth(maxDepth) {}

    std::optional<Json> Document(std::string* error) {
        std::optional<Json> v;
        SkipBlanks();
        v = Value(0);
        if (v) {
            SkipBlanks();
            if (m_i != m_s.size()) v = Fail("多余的内容");
        }
        if (!v && error) *error = "JSON 格式错误（第 " + std::to_string(m_i + 1) + " 字节）：" + m_why;
        return v;
    }

private:
    std::optional<Json> Fail(const char* why) {
        if (m_why.empty()) m_why = why;
        return std::nullopt;
    }

    void SkipBlanks() {
        while (m_i < m_s.size() && (m_s[m_i] == ' ' || m_s[m_i] == '\t' || m_s[m_i] == '\n' || m_s[m_i] == '\r')) ++m_i;
    }

    bool Literal(std::string_view word) {
        if (m_s.substr(m_i, word.size()) != word) return false;
        m_i += word.size();
        return true;
    }

    std::optional<Json> Value(int depth) {
        if (depth > m_maxDepth) return Fail("嵌套太深");
        if (m_i >= m_s.size()) return Fail("内容不完整");
        char c = m_s[m_i];
        if (c == '{') return ObjectValue(depth);
        if (c == '[') return ArrayValue(depth);
        if (c == '"') {
            std::string s;
            if (!StringBody(s)) return std::nullopt;
            return Json::String(std::move(s));
        }
        if (Literal("true")) return Json::Boolean(true);
        if (Literal("false")) return Json::Boolean(false);
        if (Literal("null")) return Json();
        if (c == '-' || (c >= '0' && c <= '9')) return NumberValue();
        return Fail("无法识别的值");
    }

    std::optional<Json> NumberValue() {
        size_t start = m_i;
        auto digit = [this] { return m_i < m_s.size() && m_s[m_i] >= '0' && m_s[m_i] <= '9'; };
        if (m_s[m_i] == '-') ++m_i;
        if (!digit()) return Fail("数字格式错误");
        if (m_s[m_i] == '0') ++m_i;
        else while (digit()) ++m_i;
        if (m_i < m_s.size() && m_s[m_i] == '.') {
            ++m_i;
            if (!digit()) return Fail("数字格式错误");
            while (digit()) ++m_i;
        }
        if (m_i < m_s.size() && (m_s[m_i] == 'e' || m_s[m_i] == 'E')) {
            ++m_i;
            if (m_i < m_s.size() && (m_s[m_i] == '+' || m_s[m_i] == '-')) ++m_i;
            if (!digit()) return Fail("数字格式错误");
            while (digit()) ++m_i;
        }
        double d = 0;
        auto r = std::from_chars(m_s.data() + start, m_s.data() + m_i, d);
        // Out of range reads as the infinity JavaScript would make of it.
        if (r.ec == std::errc::result_out_of_range) d = m_s[start] == '-' ? -HUGE_VAL : HUGE_VAL;
        return Json::Number(d);
    }

    int Hex4() {
        if (m_i + 4 > m_s.size()) return -1;
        int v = 0;
        for (int k = 0; k < 4; ++k) {
            char c = m_s[m_i + k];
            int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0) return -1;
            v = v * 16 + d;
        }
        m_i += 4;
        return v;
    }

    bool StringBody(std::string& out) {
        ++m_i;  // the opening quote
        while (true) {
            if (m_i >= m_s.size()) return Fail("字符串没有结束"), false;
            auto c = static_cast<unsigned char>(m_s[m_i]);
            if (c == '"') {
                ++m_i;
                return true;
            }
            if (c < 0x20) return Fail("字符串里有控制字符"), false;
            if (c != '\\') {
                if (c < 0x80) {
                    // Plain ASCII goes over in runs.
                    size_t end = m_i + 1;
                    while (end < m_s.size()) {
                        auto d = static_cast<unsigned char>(m_s[end]);
                        if (d < 0x20 || d >= 0x80 || d == '"' || d == '\\') break;
                        ++end;
                    }
                    out.append(m_s.substr(m_i, end - m_i));
                    m_i = end;
                    continue;
                }
                size_t at = m_i;
                uint32_t cp = NextCodePoint(m_s, m_i);
                if (cp == 0xFFFD && m_s.substr(at, 3) != "\xEF\xBF\xBD") return Fail("不是有效的 UTF-8"), false;
                if (cp >= 0xD800 && cp <= 0xDFFF) return Fail("不是有效的 UTF-8"), false;
                out.append(m_s.substr(at, m_i - at));
                continue;
            }
            if (++m_i >= m_s.size()) return Fail("字符串没有结束"), false;
            char e = m_s[m_i++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    int u = Hex4();
                    if (u < 0) return Fail("\\u 后应是四位十六进制数"), false;
                    uint32_t cp = static_cast<uint32_t>(u);
                    if (cp >= 0xD800 && cp <= 0xDBFF && m_s.substr(m_i, 2) == "\\u") {
                        size_t back = m_i;
                        m_i += 2;
                        int low = Hex4();
                        if (low >= 0xDC00 && low <= 0xDFFF) cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<uint32_t>(low) - 0xDC00);
                        else m_i = back;
                    }
                    AppendUtf8(out, cp);
                    break;
                }
                default: return Fail("无效的转义"), false;
            }
        }
    }

    std::optional<Json> ArrayValue(int depth) {
        ++m_i;
        Json a = Json::Array();
        SkipBlanks();
        if (m_i < m_s.size() && m_s[m_i] == ']') {
            ++m_i;
            return a;
        }
        while (true) {
            SkipBlanks();
            auto v = Value(depth + 1);
            if (!v) return std::nullopt;
            a.Push(std::move(*v));
            SkipBlanks();
            if (m_i >= m_s.size()) return Fail("数组没有结束");
            if (m_s[m_i] == ',') { ++m_i; continue; }
            if (m_s[m_i] == ']') { ++m_i; return a; }
            return Fail("数组元素之间应是逗号");
        }
    }

    std::optional<Json> ObjectValue(int depth) {
        ++m_i;
        Json o = Json::Object();
        SkipBlanks();
        if (m_i < m_s.size() && m_s[m_i] == '}') {
            ++m_i;
            return o;
        }
        while (true) {
            SkipBlanks();
            if (m_i >= m_s.size() || m_s[m_i] != '"') return Fail("对象的键应是字符串");
            std::string key;
            if (!StringBody(key)) return std::nullopt;
            SkipBlanks();
            if (m_i >= m_s.size() || m_s[m_i] != ':') return Fail("键后应是冒号");
            ++m_i;
            SkipBlanks();
            auto v = Value(depth + 1);
            if (!v) return std::nullopt;
            o.Set(std::move(key), std::move(*v));
            SkipBlanks();
            if (m_i >= m_s.size()) return Fail("对象没有结束");
            if (m_s[m_i] == ',') { ++m_i; continue; }
            if (m_s[m_i] == '}') { ++m_i; return o; }
            return Fail("成员之间应是逗号");
        }
    }

    std::string_view m_s;
    size_t m_i = 0;
    int m_maxDepth;
    std::string m_why;
};

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8, bool ascii) {
    out += '"';
    for (size_t i = 0; i < utf8.size();) {
        auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\') {
            // Runs of plain ASCII go in one piece.
            size_t j = i + 1;
            while (j < utf8.size()) {
                auto c = static_cast<unsigned char>(utf8[j]);
                if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') break;
                ++j;
            }
            out.append(utf8.substr(i, j - i));
            i = j;
            continue;
        }
        AppendEscapedUnit(out, NextCodePoint(utf8, i), ascii);
    }
    out += '"';
}

void AppendJsonString(std::string& out, std::u16string_view text) {
    out += '"';
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (text[++i] - 0xDC00u);
        }
        if (u >= 0x20 && u < 0x7F && u != '"' && u != '\\') out += static_cast<char>(u);
        else AppendEscapedUnit(out, u, false);
    }
    out += '"';
}

void AppendJsonNumber(std::string& out, double d) {
    if (!std::isfinite(d)) {
        out += "null";
        return;
    }
    if (d == 0) {
        out += '0';  // -0 as JSON.stringify writes it
        return;
    }
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    out.append(buf, r.ptr);
}

const Json* Json::Find(std::string_view key) const {
    for (auto it = m_members.rbegin(); it != m_members.rend(); ++it)
        if (it->first == key) return &it->second;
    return nullptr;
}

Json& Json::Set(std::string key, Json value) {
    for (auto& m : m_members)
        if (m.first == key) {
            m.second = std::move(value);
            return m.second;
        }
    m_members.emplace_back(std::move(key), std::move(value));
    return m_members.back().second;
}

void Json::Write(std::string& out, bool ascii) const {
    switch (m_kind) {
        case Kind::Null: out += "null"; break;
        case Kind::Bool: out += m_bool ? "true" : "false"; break;
        case Kind::Number: AppendJsonNumber(out, m_number); break;
        case Kind::String: AppendJsonString(out, m_text, ascii); break;
        case Kind::Array:
            out += '[';
            for (size_t i = 0; i < m_items.size(); ++i) {
                if (i) out += ',';
                m_items[i].Write(out, ascii);
            }
            out += ']';
            break;
        case Kind::Object:
            out += '{';
            for (size_t i = 0; i < m_members.size(); ++i) {
                if (i) out += ',';
                AppendJsonString(out, m_members[i].first, ascii);
                out += ':';
                m_members[i].second.Write(out, ascii);
            }
            out += '}';
            break;
    }
}

std::string Json::Dump() const {
    std::string out;
    Write(out, false);
    return out;
}

std::string Json::ScriptLiteral() const {
    std::string out;
    // An object literal at the start of a statement would read as a block.
    bool object = m_kind == Kind::Object;
    if (object) out += '(';
    Write(out, true);
    if (object) out += ')';
    return out;
}

std::optional<Json> Json::Parse(std::string_view text, std::string* error, int maxDepth) {
    return Parser(text, maxDepth).Document(error);
}

}  // namespace qy::serve

/** @file Json.h
 * The JSON the service reads and writes: a small value tree, a strict parser with a
 * depth limit, and writers. Strings hold UTF-8; a lone surrogate that arrives as a
 * \u escape is kept (as its three-byte form), so that what a caller sends reaches the
 * script unit for unit and goes back out as the same escape.
 */
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qy::serve {

class Json {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Json() = default;
    static Json Boolean(bool b) { Json j; j.m_kind = Kind::Bool; j.m_bool = b; return j; }
    static Json Number(double d) { Json j; j.m_kind = Kind::Number; j.m_number = d; return j; }
    static Json String(std::string utf8) { Json j; j.m_kind = Kind::String; j.m_text = std::move(utf8); return j; }
    static Json Array() { Json j; j.m_kind = Kind::Array; return j; }
    static Json Object() { Json j; j.m_kind = Kind::Object; return j; }

    Kind kind() const { return m_kind; }
    bool IsNull() const { return m_kind == Kind::Null; }
    bool AsBool() const { return m_bool; }
    double AsNumber() const { return m_number; }
    const std::string& AsString() const { return m_text; }
    const std::vector<Json>& Items() const { return m_items; }
    const std::vector<std::pair<std::string, Json>>& Members() const { return m_members; }

    /// The member named `key` of an object (the last one when a name repeats), or null.
    const Json* Find(std::string_view key) const;
    Json& Push(Json item) { m_items.push_back(std::move(item)); return m_items.back(); }
    Json& Set(std::string key, Json value);

    /// Compact JSON text (UTF-8). Characters that break a line in JavaScript (U+2028,
    /// U+2029) are escaped, so the text is also a JavaScript expression.
    std::string Dump() const;
    /// A JavaScript expression of the same value in ASCII alone: every character beyond
    /// ASCII as a \u escape of its UTF-16 units. Any engine reads it whatever its text
    /// encoding; numbers that JSON cannot hold never arise here.
    std::string ScriptLiteral() const;

    /// Parses a whole text; on failure nothing, and `error` (if given) says where and why
    /// in Chinese. Nesting deeper than `maxDepth` is refused.
    static std::optional<Json> Parse(std::string_view text, std::string* error = nullptr, int maxDepth = 128);

private:
    void Write(std::string& out, bool ascii) const;

    Kind m_kind = Kind::Null;
    bool m_bool = false;
    double m_number = 0;
    std::string m_text;
    std::vector<Json> m_items;
    std::vector<std::pair<std::string, Json>> m_members;
};

/// Appends `utf8` as a quoted JSON string. With `ascii`, every character beyond ASCII
/// becomes \u escapes of its UTF-16 units; otherwise only U+2028 and U+2029 are escaped.
/// Bytes that are not UTF-8 become U+FFFD.
void AppendJsonString(std::string& out, std::string_view utf8, bool ascii = false);
/// Appends UTF-16 text as a quoted JSON string; a lone surrogate is written as its \u
/// escape, so nothing of the engine's string is lost.
void AppendJsonString(std::string& out, std::u16string_view text);
/// Appends a number as JSON writes it: the shortest text that reads back the same
/// double; NaN and the infinities (which JSON lacks) as null.
void AppendJsonNumber(std::string& out, double d);

}  // namespace qy::serve

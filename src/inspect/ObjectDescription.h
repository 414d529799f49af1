/** @file ObjectDescription.h
 * The texts of the object viewer: the description of an object from its type
 * information, and the lines of its array view.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "script/Automation.h"

namespace qy::inspect {

/// The description of `object` (CP936): "" for an empty object, a one-line reason when
/// the object offers no type information, else ListTypeInfo of it with each data
/// member's current value.
std::string DescribeObject(const script::ObjectRef& object);

/// The current value of a data member, by name, as the listing shows it after the name;
/// none when the member cannot be read.
using MemberValue = std::function<std::optional<std::string>(const std::u16string& name)>;

/// Type name, member counts and one entry per member, exactly as the viewer shows them;
/// with `value`, a data member's entry reads "属性:name = value".
std::string ListTypeInfo(const script::TypeInfo& info, const MemberValue& value = {});

/// The array view of an object: its "length" line and the line of element k.
class ArrayLines {
public:
    explicit ArrayLines(script::ObjectRef object);
    /// Number of element lines (the length truncated towards zero; none when negative).
    int64_t ElementCount() const { return m_count; }
    std::string LengthLine() const;
    /// Reads element `k` by its name ("0", "1", …) when asked: objects as a preview,
    /// null and undefined by name, other values as the result display writes them.
    std::string ElementLine(int64_t k) const;

private:
    script::ObjectRef m_object;
    double m_length = 0;
    int64_t m_count = 0;
};

}  // namespace qy::inspect

/** @file ConditionalCompilation.h
 * Conditional-compilation values: the expressions of @if, @elif and @set (numbers,
 * booleans, @variables and the operators JScript allows on them), and the text a value
 * takes when it stands in the code.
 */
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "jscript/SourceGate.h"

namespace qy::jscript::gate {

using CcValue = ConditionalState::Value;

/// Reads one conditional-compilation expression of `text` from `pos` (leading blanks
/// skipped) and leaves `pos` after it. Throws Failure (1031 when an operand is missing).
CcValue EvaluateCcExpression(std::u16string_view text, uint32_t& pos, const ConditionalState& state);

/// True when the value counts as true in @if.
bool CcTruth(const CcValue& v);

/// The value as JavaScript source: "true", "5.8", "NaN", "-1".
std::u16string CcValueText(const CcValue& v);

inline bool IsCcNameChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u'$';
}

}  // namespace qy::jscript::gate

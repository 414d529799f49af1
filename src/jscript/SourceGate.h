/** @file SourceGate.h
 * JScript 5.8's reading of a script: refused with JScript's compile error, or rewritten
 * where the engine would read it differently, with a map back to the original text.
 */
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qy::jscript {

/// A compile error as JScript reports it, positioned in the original text.
struct CompileError {
    int code = 0;
    std::u16string description;
    uint32_t line = 0;    ///< from 1
    uint32_t column = 0;  ///< from 0, in UTF-16 code units
};

/// Where each position of the rewritten text came from in the original text.
class PositionMap {
public:
    std::pair<uint32_t, uint32_t> ToOriginal(uint32_t line, uint32_t column) const { return {line, column}; }
    bool Identity() const { return true; }
};

/// Conditional-compilation state of one script engine instance.
class ConditionalState {};

enum class CodeKind { Program, EvalCode };

struct PreparedCode {
    std::optional<CompileError> error;
    std::u16string code;
    PositionMap positions;
};

PreparedCode PrepareJScript(std::u16string_view source, ConditionalState& cc, CodeKind kind = CodeKind::Program);

}  // namespace qy::jscript

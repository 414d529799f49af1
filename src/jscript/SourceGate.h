/** @file SourceGate.h
 * JScript 5.8's reading of a script: refused with JScript's compile error, or rewritten
 * where the engine would read it differently, with a map back to the original text.
 *
 * The gate reads ECMAScript 3 as JScript does (its reserved words, its conditional
 * compilation, its trailing commas) and rewrites what the engine, reading a later
 * edition, would run differently. Rewritten code may call helpers that the runtime
 * defines on the global: __qyIx, __qyCatch and __qyEval.
 */
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qy::jscript {

namespace gate {
class PositionMapBuilder;
}

/// A compile error as JScript reports it, positioned in the original text.
struct CompileError {
    int code = 0;                ///< JScript's error code, e.g. 1002 (the Error object's Number is 0x800A0000|code)
    std::u16string description;  ///< Chinese, e.g. u"语法错误"
    uint32_t line = 0;           ///< from 1
    uint32_t column = 0;         ///< from 0, in UTF-16 code units
};

/// Where each position of the rewritten text came from in the original text.
class PositionMap {
public:
    /// Line (from 1) and column (from 0) in the rewritten text -> the same in the original.
    /// Positions inside inserted text map to the start of the original token it replaced/was inserted at.
    std::pair<uint32_t, uint32_t> ToOriginal(uint32_t line, uint32_t column) const;
    /// True when the rewritten text is the original.
    bool Identity() const { return m_segments.empty(); }

    /// Offset in the rewritten text -> offset in the original.
    uint32_t OriginalOffset(uint32_t rewrittenOffset) const;

    /// One run of the rewritten text: copied from the original (offsets move together) or
    /// inserted (every offset in it maps to `original`).
    struct Segment {
        uint32_t rewritten = 0;
        uint32_t original = 0;
        uint32_t length = 0;
        bool copied = true;
    };

private:
    friend class gate::PositionMapBuilder;
    std::vector<Segment> m_segments;           ///< in rewritten order; empty for the identity
    std::vector<uint32_t> m_rewrittenLines;    ///< offset where each rewritten line starts
    std::vector<uint32_t> m_originalLines;     ///< offset where each original line starts
};

/// Conditional-compilation state of one script engine instance: whether @cc_on has been
/// seen and the @set variables; it persists across the pieces of code one instance adds
/// and is dropped on Reset (the owner makes a fresh one).
class ConditionalState {
public:
    /// A conditional-compilation value: JScript's are numbers or booleans (NaN when unset).
    struct Value {
        bool isBoolean = false;
        bool boolean = false;
        double number = 0;
    };

    /// True once @cc_on (or @if/@set outside a comment) has been read.
    bool Enabled() const { return m_enabled; }
    void Enable() { m_enabled = true; }

    /// The value of @name (name without the '@'): a @set variable, a predefined one, or NaN.
    Value Get(std::u16string_view name) const;
    /// @set @name = value.
    void Set(std::u16string_view name, Value value);

private:
    bool m_enabled = false;
    std::vector<std::pair<std::u16string, Value>> m_variables;
};

/// EvalCode: text given to eval() or to the control's Eval; EvalCodeInFunction: text given
/// to eval() called inside a function, where eval taken as a value keeps that place.
enum class CodeKind { Program, EvalCode, EvalCodeInFunction };

struct PreparedCode {
    std::optional<CompileError> error;  ///< set: the code is refused, nothing runs
    std::u16string code;                ///< what the engine compiles (the original when nothing was rewritten)
    PositionMap positions;
};

/// Checks `source` against JScript 5.8's grammar and rewrites what the engine would read
/// differently. Lines count from 1 at the source's first line. The conditional-compilation
/// state changes only when the code is accepted.
PreparedCode PrepareJScript(std::u16string_view source, ConditionalState& cc, CodeKind kind = CodeKind::Program);

/// JScript's Chinese description of a compile error code ("语法错误" for 1002).
std::u16string CompileErrorDescription(int code);

}  // namespace qy::jscript

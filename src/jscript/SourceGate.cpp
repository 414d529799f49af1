/** @file SourceGate.cpp
 * PrepareJScript: one reading of the source by the lexer and parser, then the recorded
 * edits applied; a refusal becomes JScript's compile error at its line and column. And
 * the position map's look-ups from rewritten positions to original ones.
 */
#include "jscript/SourceGate.h"

#include <algorithm>
#include <new>

#include "jscript/GateEdits.h"
#include "jscript/Lexer.h"
#include "jscript/Parser.h"

namespace qy::jscript {

std::u16string CompileErrorDescription(int code) {
    switch (code) {
    case 1001: return u"内存不足";
    case 1002: return u"语法错误";
    case 1003: return u"缺少 ':'";
    case 1004: return u"缺少 ';'";
    case 1005: return u"缺少 '('";
    case 1006: return u"缺少 ')'";
    case 1007: return u"缺少 ']'";
    case 1008: return u"缺少 '{'";
    case 1009: return u"缺少 '}'";
    case 1010: return u"缺少标识符";
    case 1011: return u"缺少 '='";
    case 1012: return u"缺少 '/'";
    case 1013: return u"无效的数字";
    case 1014: return u"无效字符";
    case 1015: return u"未结束的字符串常量";
    case 1016: return u"未结束的注释";
    case 1018: return u"'return' 语句在函数之外";
    case 1019: return u"不能在循环外使用 'break'";
    case 1020: return u"不能在循环外使用 'continue'";
    case 1023: return u"缺少十六进制数字";
    case 1024: return u"缺少 'while'";
    case 1025: return u"标签重复定义";
    case 1026: return u"找不到标签";
    case 1027: return u"'default' 只能在 'switch' 语句中出现一次";
    case 1028: return u"缺少标识符、字符串或数字";
    case 1029: return u"缺少 '@end'";
    case 1030: return u"条件编译已关闭";
    case 1031: return u"缺少常量";
    case 1032: return u"缺少 '@'";
    case 1033: return u"缺少 'catch'";
    case 1034: return u"缺少 'var'";
    case 1035: return u"\"throw\" 后面必须跟随表达式，并且在同一行源代码上";
    case 5017: return u"正则表达式中的语法错误";
    default: return u"语法错误";
    }
}

namespace {

CompileError errorAt(std::u16string_view source, int code, uint32_t offset) {
    CompileError e;
    e.code = code;
    e.description = CompileErrorDescription(code);
    auto [line, column] = gate::LineAndColumn(source, offset);
    e.line = line;
    e.column = column;
    return e;
}

}  // namespace

PreparedCode PrepareJScript(std::u16string_view source, ConditionalState& cc, CodeKind kind) {
    PreparedCode prepared;
    try {
        if (source.size() >= 0x7FFFFFFFu) {
            prepared.error = errorAt({}, 1001, 0);
            return prepared;
        }
        ConditionalState state = cc;
        gate::EditList edits;
        gate::Lexer lexer(source, state, edits);
        gate::Parser parser(lexer, edits, kind);
        parser.parseProgram();
        if (edits.empty())
            prepared.code.assign(source);
        else
            edits.apply(source, prepared.code, prepared.positions);
        cc = std::move(state);
    } catch (const gate::Failure& f) {
        prepared.error = errorAt(source, f.code, f.offset);
        prepared.code.clear();
        prepared.positions = PositionMap{};
    } catch (const std::bad_alloc&) {
        prepared.error = errorAt(source, 1001, 0);
        prepared.code.clear();
        prepared.positions = PositionMap{};
    }
    return prepared;
}

uint32_t PositionMap::OriginalOffset(uint32_t offset) const {
    if (m_segments.empty()) return offset;
    auto it = std::upper_bound(m_segments.begin(), m_segments.end(), offset,
                               [](uint32_t o, const Segment& s) { return o < s.rewritten; });
    if (it == m_segments.begin()) return m_segments.front().original;
    const Segment& s = *(it - 1);
    if (!s.copied) return s.original;
    return s.original + std::min(offset - s.rewritten, s.length);
}

std::pair<uint32_t, uint32_t> PositionMap::ToOriginal(uint32_t line, uint32_t column) const {
    if (m_segments.empty()) return {line, column};
    size_t index = line == 0 ? 0 : std::min<size_t>(line - 1, m_rewrittenLines.size() - 1);
    uint32_t original = OriginalOffset(m_rewrittenLines[index] + column);
    auto it = std::upper_bound(m_originalLines.begin(), m_originalLines.end(), original);
    size_t originalLine = static_cast<size_t>(it - m_originalLines.begin());  // from 1
    return {static_cast<uint32_t>(originalLine), original - m_originalLines[originalLine - 1]};
}

}  // namespace qy::jscript

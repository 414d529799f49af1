/** @file Lexer.h
 * The gate's tokenizer: JScript 5.8's tokens read straight from the UTF-16 text, one at
 * a time, with conditional compilation (@cc_on, @if…@end, @set, @variables) handled on
 * the way so the parser only sees the code that is compiled.
 */
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "jscript/GateEdits.h"
#include "jscript/SourceGate.h"

namespace qy::jscript::gate {

enum class T : uint8_t {
    End,
    Ident,
    Number,
    String,
    Regex,
    // ECMAScript 3 keywords and literals
    Break, Case, Catch, Continue, Debugger, Default, Delete, Do, Else, False, Finally, For, Function, If, In,
    Instanceof, New, Null, Return, Switch, This, Throw, True, Try, Typeof, Var, Void, While, With,
    Reserved,  ///< reserved for the future: class const enum export extends import super
    // punctuators
    LBrace, RBrace, LParen, RParen, LBracket, RBracket, Dot, Semicolon, Comma,
    Lt, Gt, Le, Ge, Eq, Ne, StrictEq, StrictNe,
    Plus, Minus, Star, Percent, Inc, Dec, Shl, Sar, Shr, BitAnd, BitOr, BitXor, Not, BitNot, And, Or,
    Question, Colon,
    Assign, PlusAssign, MinusAssign, StarAssign, PercentAssign, ShlAssign, SarAssign, ShrAssign,
    AndAssign, OrAssign, XorAssign, Div, DivAssign,
};

struct Token {
    T type = T::End;
    bool newlineBefore = false;  ///< a line break between this token and the one before
    bool indexKey = true;        ///< a string whose value may be an array index (or not a plain string)
    uint32_t start = 0;
    uint32_t end = 0;
};

class Lexer {
public:
    /// `cc` is changed as directives are read; `edits` receives the conditional-compilation
    /// rewrites and the string-literal ones.
    Lexer(std::u16string_view source, ConditionalState& cc, EditList& edits);

    const Token& token() const { return m_token; }
    std::u16string_view text(const Token& t) const { return m_source.substr(t.start, t.end - t.start); }
    std::u16string_view source() const { return m_source; }

    /// Reads the next token (throws Failure for what JScript refuses while reading).
    void next();
    /// The current token is '/' or '/=' where an expression starts: read it again as a
    /// regular expression literal.
    void rescanAsRegex();

private:
    enum class CcComment : uint8_t { None, Block, Line };
    struct IfFrame {
        bool taken = false;   ///< a branch of this @if was compiled
        bool inElse = false;
    };
    enum class Directive : uint8_t { None, CcOn, If, Elif, Else, End, Set };

    char16_t at(uint32_t p) const { return p < m_length ? m_source[p] : u'\0'; }
    bool wordAt(uint32_t p, std::u16string_view w) const;
    Directive directiveAt(uint32_t p, uint32_t& end) const;

    void scanToken(bool newline);
    void scanIdentifier(uint32_t start, bool newline);
    void scanNumber(uint32_t start, bool newline);
    void scanString(uint32_t start, bool newline);
    bool scanPunctuator(uint32_t start, bool newline);
    void skipBlockComment(bool& newline);
    void skipLineComment();

    /// At an '@' in the code: handles a directive, a comment end or a variable. True when
    /// nothing was produced and reading goes on; false when m_token is a value token.
    bool atSign(bool newline);
    /// A directive whose name starts at `nameStart` (its '@' at nameStart - 1, which is
    /// blanked from `blankFrom`).
    void directive(Directive d, uint32_t blankFrom, uint32_t nameStart, uint32_t nameEnd);
    bool ifCondition(uint32_t& p);
    /// Skips text not compiled up to the next @elif, @else or @end of the current @if;
    /// returns it with the offsets of its '@' and of its name's end. Records no edits.
    Directive skipExcluded(uint32_t& atPos, uint32_t& nameEnd);
    /// Blanks, from `regionStart`, what the current @if does not compile, until a branch
    /// that is taken begins or its @end is passed.
    void skipBranches(uint32_t regionStart);
    void checkEnd();

    [[noreturn]] void fail(int code, uint32_t at) const { throw Failure{code, at}; }

    std::u16string_view m_source;
    uint32_t m_length;
    uint32_t m_pos = 0;
    ConditionalState& m_cc;
    EditList& m_edits;
    Token m_token;
    CcComment m_ccComment = CcComment::None;
    uint32_t m_ccCommentStart = 0;
    std::vector<IfFrame> m_ifs;
};

}  // namespace qy::jscript::gate

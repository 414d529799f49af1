/** @file Parser.h
 * The gate's parser: ECMAScript 3 as JScript 5.8 reads it, by recursive descent over the
 * lexer's tokens. It builds no tree; it checks the grammar (throwing JScript's compile
 * error at the offending token) and records the rewrites the engine needs.
 */
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "jscript/GateEdits.h"
#include "jscript/Lexer.h"
#include "jscript/SourceGate.h"

namespace qy::jscript::gate {

class Parser {
public:
    Parser(Lexer& lexer, EditList& edits, CodeKind kind);

    /// Reads the whole source (throws Failure on the first error).
    void parseProgram();

private:
    /// What an expression is, as far as the rewrites need to know.
    struct Expr {
        enum Kind : uint8_t { Other, Identifier, String, Literal };
        uint32_t start = 0;
        uint32_t end = 0;
        Kind kind = Other;
        bool parenthesized = false;
        bool reference = false;  ///< a name or a member: something that can be assigned or deleted
        bool call = false;       ///< a call, which the engine lets stand as a target
        bool indexKey = true;  ///< a string literal that may be an array index
        /// A computed member read x[e] not yet known to be a value or a target.
        bool pending = false;
        uint32_t pendingBase = 0, pendingOpen = 0, pendingClose = 0;
    };

    struct Label {
        std::u16string_view name;
        bool loop = false;
    };

    enum class Hoist : uint8_t { TopLevel, Block, Expression };
    struct HoistEntry {
        std::u16string_view name;
        uint32_t start = 0;
        uint32_t end = 0;
        Hoist kind = Hoist::TopLevel;
    };

    /// Statement-level state of the function being read, saved around a nested one.
    struct FunctionState {
        bool inFunction = false;
        int loops = 0;
        int switches = 0;
        size_t labelBase = 0;
        size_t hoistBase = 0;
    };

    const Token& tok() const { return m_lexer.token(); }
    void advance() {
        m_prevEnd = tok().end;
        m_lexer.next();
    }
    void expect(T type, int code) {
        if (tok().type != type) fail(code);
        advance();
    }
    [[noreturn]] void fail(int code) const { throw Failure{code, tok().start}; }
    [[noreturn]] void failAt(int code, uint32_t at) const { throw Failure{code, at}; }
    void consumeSemicolon();

    // statements
    void parseSourceElements(bool inBody);
    bool keepOutOfStrictMode(const Token& first);
    void parseStatement(bool topLevel);
    void parseBlock();
    void parseVariables(bool noIn, int& count);
    void parseIf();
    void parseDo();
    /// The object of a for-in loop, handed to the runtime's __qyEnum.
    void parseEnumerated();
    void parseWhile();
    void parseFor();
    void parseContinueOrBreak(bool isBreak);
    void parseReturn();
    void parseWith();
    void parseSwitch();
    void parseThrow();
    void parseTry();
    void parseLoopBody();
    void parseExpressionStatement();
    void parseFunctionDeclaration(bool topLevel);
    /// After the name (or its absence): parameters and body. Flushes the body's hoisting.
    void parseFunctionRest();
    void flushHoisting(size_t base, uint32_t at, bool program);

    // expressions
    Expr parseExpression(bool noIn);
    void parseExpressionValue(bool noIn = false) {
        Expr e = parseExpression(noIn);
        commit(e);
    }
    Expr parseAssignment(bool noIn);
    Expr parseConditional(bool noIn);
    Expr parseBinary(int minPrecedence, bool noIn);
    Expr parseUnary();
    Expr parsePostfix();
    Expr parseMember(bool allowCall);
    Expr parsePrimary();
    void parseArguments(bool isEval);
    void parseArrayLiteral();
    void parseObjectLiteral();
    void parseFunctionExpression();

    /// The pending member read is a value: x[e] -> __qyIx(x, e).
    void commit(Expr& e);
    /// The pending member read is a target, a callee or an operand that must stay.
    static void drop(Expr& e) { e.pending = false; }

    Lexer& m_lexer;
    EditList& m_edits;
    CodeKind m_kind;
    uint32_t m_prevEnd = 0;
    int m_depth = 0;
    FunctionState m_fn;
    std::vector<Label> m_labels;
    size_t m_labelChainStart = 0;  ///< first label of the labels directly before this statement
    bool m_inLabelChain = false;
    std::vector<HoistEntry> m_hoist;
};

}  // namespace qy::jscript::gate

/** @file Parser.cpp
 * ECMAScript 3 statements and expressions as JScript 5.8 reads them, and the rewrites
 * recorded on the way:
 *  - a computed member read x[e] used as a value becomes __qyIx(x, e);
 *  - an array literal ending in a comma gets one more element;
 *  - catch (e) { becomes catch (__qyC) { var e = __qyCatch(__qyC); ;
 *  - eval(x) becomes eval(__qyEval(x)), and eval taken as a value in a function a
 *    function that evaluates in that place (__qyEvalIn);
 *  - an assignment, ++ or -- to what is no reference becomes __qyBadRef(target[, value]),
 *    and delete of what is no reference __qyBadDelete(x): JScript refuses them only when
 *    they run, after evaluating their operands;
 *  - for (k in o) becomes for (k in __qyEnum(o)), which leaves out what JScript does not
 *    visit;
 *  - function declarations in blocks leave the block, and they and named function
 *    expressions are declared again at the end of the enclosing function, the last of
 *    each name winning, as JScript binds them all on entering the function.
 */
#include "jscript/Parser.h"

namespace qy::jscript::gate {

namespace {

constexpr int kMaxDepth = 1000;

constexpr int kOutOfMemory = 1001;
constexpr int kSyntax = 1002;
constexpr int kExpectedColon = 1003;
constexpr int kExpectedSemicolon = 1004;
constexpr int kExpectedLeftParen = 1005;
constexpr int kExpectedRightParen = 1006;
constexpr int kExpectedRightBracket = 1007;
constexpr int kExpectedLeftBrace = 1008;
constexpr int kExpectedRightBrace = 1009;
constexpr int kExpectedIdentifier = 1010;
constexpr int kReturnOutsideFunction = 1018;
constexpr int kBreakOutsideLoop = 1019;
constexpr int kContinueOutsideLoop = 1020;
constexpr int kExpectedWhile = 1024;
constexpr int kLabelRedefined = 1025;
constexpr int kLabelNotFound = 1026;
constexpr int kDefaultTwice = 1027;
constexpr int kExpectedPropertyName = 1028;
constexpr int kExpectedCatch = 1033;
constexpr int kThrowNeedsExpression = 1035;

bool isAssignmentOperator(T t) {
    switch (t) {
    case T::Assign: case T::PlusAssign: case T::MinusAssign: case T::StarAssign: case T::PercentAssign:
    case T::ShlAssign: case T::SarAssign: case T::ShrAssign: case T::AndAssign: case T::OrAssign:
    case T::XorAssign: case T::DivAssign:
        return true;
    default:
        return false;
    }
}

int precedence(T t, bool noIn) {
    switch (t) {
    case T::Or: return 1;
    case T::And: return 2;
    case T::BitOr: return 3;
    case T::BitXor: return 4;
    case T::BitAnd: return 5;
    case T::Eq: case T::Ne: case T::StrictEq: case T::StrictNe: return 6;
    case T::Lt: case T::Gt: case T::Le: case T::Ge: case T::Instanceof: return 7;
    case T::In: return noIn ? 0 : 7;
    case T::Shl: case T::Sar: case T::Shr: return 8;
    case T::Plus: case T::Minus: return 9;
    case T::Star: case T::Div: case T::Percent: return 10;
    default: return 0;
    }
}

}  // namespace

/// Counts nesting so that deep input ends in JScript's out-of-memory error instead of
/// running the stack out.
class DepthGuard {
public:
    explicit DepthGuard(int& depth, uint32_t at) : m_depth(depth) {
        if (++m_depth > kMaxDepth) throw Failure{kOutOfMemory, at};
    }
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& m_depth;
};

Parser::Parser(Lexer& lexer, EditList& edits, CodeKind kind) : m_lexer(lexer), m_edits(edits), m_kind(kind) {}

void Parser::parseProgram() {
    m_lexer.next();
    m_fn = FunctionState{};
    parseSourceElements(false);
    // eval code and programs alike: what they declare belongs to the code's own scope
    flushHoisting(0, static_cast<uint32_t>(m_lexer.source().size()), true);
    (void)m_kind;
}

void Parser::consumeSemicolon() {
    const Token& t = tok();
    if (t.type == T::Semicolon) {
        advance();
        return;
    }
    if (t.type == T::RBrace || t.type == T::End || t.newlineBefore) return;
    fail(kExpectedSemicolon);
}

// ---------------------------------------------------------------------------------------
// statements

void Parser::parseSourceElements(bool inBody) {
    bool prologue = true;
    for (;;) {
        T t = tok().type;
        if (t == T::End || (inBody && t == T::RBrace)) return;
        const Token first = tok();
        parseStatement(true);
        if (prologue) prologue = keepOutOfStrictMode(first);
    }
}

// JScript has no strict mode: to it "use strict" at the head of a program or a function
// is a string statement like any other. The engine would switch that code to strict
// mode (`this` undefined in plain calls, assignments to undeclared names refused…), so
// the directive is written as a parenthesised string, which no engine reads as one.
// Returns whether the directive prologue goes on after the statement that began with
// `first`.
bool Parser::keepOutOfStrictMode(const Token& first) {
    if (first.type != T::String) return false;
    const std::u16string_view source = m_lexer.source();
    // The statement is the string alone, with or without its semicolon.
    std::u16string_view rest = source.substr(first.end, m_prevEnd - first.end);
    size_t semicolons = 0;
    for (char16_t c : rest) {
        if (c == u';') ++semicolons;
        else if (c != u' ' && c != u'\t' && c != u'\r' && c != u'\n') return false;
    }
    if (semicolons > 1) return false;
    const std::u16string_view text = source.substr(first.start + 1, first.end - first.start - 2);
    if (text == u"use strict") {
        m_edits.insert(first.start, u";(");
        m_edits.insert(first.end, u")");
    }
    return true;
}

void Parser::parseStatement(bool topLevel) {
    DepthGuard guard(m_depth, tok().start);
    const bool chain = m_inLabelChain;
    m_inLabelChain = false;
    switch (tok().type) {
    case T::LBrace:
        parseBlock();
        return;
    case T::Var: {
        advance();
        int count = 0;
        parseVariables(false, count);
        consumeSemicolon();
        return;
    }
    case T::Semicolon:
        advance();
        return;
    case T::If:
        parseIf();
        return;
    case T::Do:
    case T::While:
    case T::For:
        if (chain)
            for (size_t i = m_labelChainStart; i < m_labels.size(); ++i) m_labels[i].loop = true;
        if (tok().type == T::Do) parseDo();
        else if (tok().type == T::While) parseWhile();
        else parseFor();
        return;
    case T::Continue:
        parseContinueOrBreak(false);
        return;
    case T::Break:
        parseContinueOrBreak(true);
        return;
    case T::Return:
        parseReturn();
        return;
    case T::With:
        parseWith();
        return;
    case T::Switch:
        parseSwitch();
        return;
    case T::Throw:
        parseThrow();
        return;
    case T::Try:
        parseTry();
        return;
    case T::Function:
        parseFunctionDeclaration(topLevel);
        return;
    case T::Debugger:
        advance();
        consumeSemicolon();
        return;
    case T::Reserved:
        fail(kSyntax);
    default:
        break;
    }

    // an expression, or a label when it is a lone name followed by ':'
    Expr e = parseExpression(false);
    if (e.kind == Expr::Identifier && !e.parenthesized && tok().type == T::Colon) {
        std::u16string_view name = m_lexer.source().substr(e.start, e.end - e.start);
        for (size_t i = m_fn.labelBase; i < m_labels.size(); ++i)
            if (m_labels[i].name == name) failAt(kLabelRedefined, e.start);
        advance();
        if (!chain) m_labelChainStart = m_labels.size();
        m_labels.push_back(Label{name, false});
        m_inLabelChain = true;
        parseStatement(false);
        m_labels.pop_back();
        return;
    }
    commit(e);
    consumeSemicolon();
}

void Parser::parseBlock() {
    advance();  // '{'
    while (tok().type != T::RBrace) {
        if (tok().type == T::End) fail(kExpectedRightBrace);
        parseStatement(false);
    }
    advance();
}

void Parser::parseVariables(bool noIn, int& count) {
    for (;;) {
        if (tok().type != T::Ident) fail(kExpectedIdentifier);
        advance();
        if (tok().type == T::Assign) {
            advance();
            Expr init = parseAssignment(noIn);
            commit(init);
        }
        ++count;
        if (tok().type != T::Comma) return;
        advance();
    }
}

void Parser::parseIf() {
    advance();
    expect(T::LParen, kExpectedLeftParen);
    parseExpressionValue();
    expect(T::RParen, kExpectedRightParen);
    parseStatement(false);
    if (tok().type == T::Else) {
        advance();
        parseStatement(false);
    }
}

void Parser::parseLoopBody() {
    ++m_fn.loops;
    parseStatement(false);
    --m_fn.loops;
}

void Parser::parseDo() {
    advance();
    parseLoopBody();
    if (tok().type != T::While) fail(kExpectedWhile);
    advance();
    expect(T::LParen, kExpectedLeftParen);
    parseExpressionValue();
    expect(T::RParen, kExpectedRightParen);
    if (tok().type == T::Semicolon) advance();
}

void Parser::parseWhile() {
    advance();
    expect(T::LParen, kExpectedLeftParen);
    parseExpressionValue();
    expect(T::RParen, kExpectedRightParen);
    parseLoopBody();
}

void Parser::parseFor() {
    advance();
    expect(T::LParen, kExpectedLeftParen);
    if (tok().type == T::Var) {
        advance();
        int count = 0;
        parseVariables(true, count);
        if (tok().type == T::In && count == 1) {
            advance();
            parseEnumerated();
            expect(T::RParen, kExpectedRightParen);
            parseLoopBody();
            return;
        }
    } else if (tok().type != T::Semicolon) {
        Expr init = parseExpression(true);
        if (tok().type == T::In) {
            drop(init);  // for (x[k] in o) assigns x[k]
            advance();
            parseEnumerated();
            expect(T::RParen, kExpectedRightParen);
            parseLoopBody();
            return;
        }
        commit(init);
    }
    expect(T::Semicolon, kExpectedSemicolon);
    if (tok().type != T::Semicolon) parseExpressionValue();
    expect(T::Semicolon, kExpectedSemicolon);
    if (tok().type != T::RParen) parseExpressionValue();
    expect(T::RParen, kExpectedRightParen);
    parseLoopBody();
}

void Parser::parseEnumerated() {
    // Opened before the expression's own rewrites, so that it encloses them.
    m_edits.insert(tok().start, u"__qyEnum(");
    parseExpressionValue();
    m_edits.insert(m_prevEnd, u")");
}

void Parser::parseContinueOrBreak(bool isBreak) {
    const uint32_t keyword = tok().start;
    advance();
    if (tok().type == T::Ident && !tok().newlineBefore) {
        std::u16string_view name = m_lexer.text(tok());
        const Label* found = nullptr;
        for (size_t i = m_labels.size(); i > m_fn.labelBase; --i)
            if (m_labels[i - 1].name == name) {
                found = &m_labels[i - 1];
                break;
            }
        if (!found) fail(kLabelNotFound);
        // continue names a label that stands on no loop
        if (!isBreak && !found->loop) failAt(kContinueOutsideLoop, keyword);
        advance();
    } else if (isBreak ? (m_fn.loops == 0 && m_fn.switches == 0) : m_fn.loops == 0) {
        failAt(isBreak ? kBreakOutsideLoop : kContinueOutsideLoop, keyword);
    }
    consumeSemicolon();
}

void Parser::parseReturn() {
    if (!m_fn.inFunction) fail(kReturnOutsideFunction);
    advance();
    const Token& t = tok();
    if (t.type != T::Semicolon && t.type != T::RBrace && t.type != T::End && !t.newlineBefore) parseExpressionValue();
    consumeSemicolon();
}

void Parser::parseWith() {
    advance();
    expect(T::LParen, kExpectedLeftParen);
    parseExpressionValue();
    expect(T::RParen, kExpectedRightParen);
    parseStatement(false);
}

void Parser::parseSwitch() {
    advance();
    expect(T::LParen, kExpectedLeftParen);
    parseExpressionValue();
    expect(T::RParen, kExpectedRightParen);
    if (tok().type != T::LBrace) fail(kExpectedLeftBrace);
    advance();
    ++m_fn.switches;
    bool seenDefault = false;
    while (tok().type != T::RBrace) {
        if (tok().type == T::Case) {
            advance();
            parseExpressionValue();
            expect(T::Colon, kExpectedColon);
        } else if (tok().type == T::Default) {
            if (seenDefault) fail(kDefaultTwice);
            seenDefault = true;
            advance();
            expect(T::Colon, kExpectedColon);
        } else if (tok().type == T::End) {
            fail(kExpectedRightBrace);
        } else {
            fail(kSyntax);
        }
        for (;;) {
            T t = tok().type;
            if (t == T::Case || t == T::Default || t == T::RBrace || t == T::End) break;
            parseStatement(false);
        }
    }
    --m_fn.switches;
    advance();
}

void Parser::parseThrow() {
    advance();
    const Token& t = tok();
    if (t.newlineBefore || t.type == T::Semicolon || t.type == T::RBrace || t.type == T::End)
        fail(kThrowNeedsExpression);
    parseExpressionValue();
    consumeSemicolon();
}

void Parser::parseTry() {
    advance();
    if (tok().type != T::LBrace) fail(kExpectedLeftBrace);
    parseBlock();
    bool handled = false;
    if (tok().type == T::Catch) {
        handled = true;
        advance();
        expect(T::LParen, kExpectedLeftParen);
        if (tok().type != T::Ident) fail(kExpectedIdentifier);
        const Token name = tok();
        std::u16string_view variable = m_lexer.text(name);
        advance();
        expect(T::RParen, kExpectedRightParen);
        if (tok().type != T::LBrace) fail(kExpectedLeftBrace);
        // JScript's catch variable lives in the enclosing function, and what was caught
        // takes JScript's form there
        m_edits.replace(name.start, name.end, u"__qyC");
        const uint32_t inside = tok().end;
        m_edits.insert(inside, u" var ");
        m_edits.insert(inside, variable);
        m_edits.insert(inside, u" = __qyCatch(__qyC);");
        parseBlock();
    }
    if (tok().type == T::Finally) {
        handled = true;
        advance();
        if (tok().type != T::LBrace) fail(kExpectedLeftBrace);
        parseBlock();
    }
    if (!handled) fail(kExpectedCatch);
}

void Parser::parseFunctionDeclaration(bool topLevel) {
    const uint32_t start = tok().start;
    advance();
    // "function {" wants the parameters' '(' before the body
    if (tok().type != T::Ident) fail(tok().type == T::LBrace ? kExpectedLeftParen : kExpectedIdentifier);
    const size_t entry = m_hoist.size();
    m_hoist.push_back(HoistEntry{m_lexer.text(tok()), start, 0, topLevel ? Hoist::TopLevel : Hoist::Block});
    advance();
    parseFunctionRest();
    m_hoist[entry].end = m_prevEnd;
    // out of the block: the engine would bind it only when the block runs
    if (!topLevel) m_edits.blank(start, m_prevEnd, true);
}

void Parser::parseFunctionExpression() {
    const uint32_t start = tok().start;
    advance();
    if (tok().type == T::Ident) {
        const size_t entry = m_hoist.size();
        m_hoist.push_back(HoistEntry{m_lexer.text(tok()), start, 0, Hoist::Expression});
        advance();
        parseFunctionRest();
        m_hoist[entry].end = m_prevEnd;
        return;
    }
    parseFunctionRest();
}

void Parser::parseFunctionRest() {
    expect(T::LParen, kExpectedLeftParen);
    if (tok().type != T::RParen) {
        for (;;) {
            if (tok().type != T::Ident) fail(kExpectedIdentifier);
            advance();
            if (tok().type != T::Comma) break;
            advance();
        }
    }
    expect(T::RParen, kExpectedRightParen);
    if (tok().type != T::LBrace) fail(kExpectedLeftBrace);
    advance();

    const FunctionState outer = m_fn;
    m_fn = FunctionState{true, 0, 0, m_labels.size(), m_hoist.size()};
    parseSourceElements(true);
    if (tok().type != T::RBrace) fail(kExpectedRightBrace);
    flushHoisting(m_fn.hoistBase, tok().start, false);
    m_fn = outer;
    advance();
}

void Parser::flushHoisting(size_t base, uint32_t at, bool program) {
    bool moved = false;
    for (size_t i = base; i < m_hoist.size(); ++i)
        if (m_hoist[i].kind != Hoist::TopLevel) moved = true;
    if (moved) {
        // Declared again in source order at the end of the body: the last of each name
        // wins, as when JScript binds them all on entry.
        for (size_t i = base; i < m_hoist.size(); ++i) {
            const HoistEntry& e = m_hoist[i];
            if (e.kind == Hoist::TopLevel) continue;
            bool later = false;
            for (size_t j = i + 1; j < m_hoist.size() && !later; ++j) later = m_hoist[j].name == e.name;
            if (!later) m_edits.copy(at, program ? std::u16string_view(u"\n;") : std::u16string_view(u";"), e.start, e.end);
        }
    }
    m_hoist.resize(base);
}

// ---------------------------------------------------------------------------------------
// expressions

void Parser::commit(Expr& e) {
    if (!e.pending) return;
    m_edits.insert(e.pendingBase, u"__qyIx(");
    m_edits.replace(e.pendingOpen, e.pendingOpen + 1, u",");
    m_edits.replace(e.pendingClose, e.pendingClose + 1, u")");
    e.pending = false;
}

Parser::Expr Parser::parseExpression(bool noIn) {
    Expr e = parseAssignment(noIn);
    if (tok().type != T::Comma) return e;
    commit(e);
    while (tok().type == T::Comma) {
        advance();
        Expr next = parseAssignment(noIn);
        commit(next);
    }
    return Expr{e.start, m_prevEnd};
}

Parser::Expr Parser::parseAssignment(bool noIn) {
    DepthGuard guard(m_depth, tok().start);
    Expr left = parseConditional(noIn);
    if (!isAssignmentOperator(tok().type)) return left;
    const bool target = left.reference || left.call;
    if (target) drop(left);
    else commit(left);
    const uint32_t opStart = tok().start, opEnd = tok().end;
    advance();
    Expr right = parseAssignment(noIn);
    commit(right);
    if (!target) {
        m_edits.insertOuter(left.start, u"__qyBadRef(");
        m_edits.replace(opStart, opEnd, u",");
        m_edits.insert(m_prevEnd, u")");
    }
    return Expr{left.start, m_prevEnd};
}

Parser::Expr Parser::parseConditional(bool noIn) {
    Expr test = parseBinary(1, noIn);
    if (tok().type != T::Question) return test;
    commit(test);
    advance();
    Expr yes = parseAssignment(false);
    commit(yes);
    expect(T::Colon, kExpectedColon);
    Expr no = parseAssignment(noIn);
    commit(no);
    return Expr{test.start, m_prevEnd};
}

Parser::Expr Parser::parseBinary(int minPrecedence, bool noIn) {
    Expr left = parseUnary();
    for (;;) {
        int p = precedence(tok().type, noIn);
        if (p == 0 || p < minPrecedence) return left;
        commit(left);
        advance();
        Expr right = parseBinary(p + 1, noIn);
        commit(right);
        left = Expr{left.start, m_prevEnd};
    }
}

Parser::Expr Parser::parseUnary() {
    DepthGuard guard(m_depth, tok().start);
    const uint32_t start = tok().start;
    switch (tok().type) {
    case T::Delete:
    case T::Inc:
    case T::Dec: {
        const T op = tok().type;
        const uint32_t opEnd = tok().end;
        advance();
        Expr operand = parseUnary();
        if (operand.reference || operand.call) {
            drop(operand);
        } else {
            commit(operand);
            m_edits.replace(start, opEnd, op == T::Delete ? u"__qyBadDelete(" : u"__qyBadRef(");
            m_edits.insert(m_prevEnd, u")");
        }
        return Expr{start, m_prevEnd};
    }
    case T::Void:
    case T::Typeof:
    case T::Plus:
    case T::Minus:
    case T::BitNot:
    case T::Not: {
        advance();
        Expr operand = parseUnary();
        commit(operand);
        return Expr{start, m_prevEnd};
    }
    default:
        return parsePostfix();
    }
}

Parser::Expr Parser::parsePostfix() {
    Expr e = parseMember(true);
    T t = tok().type;
    if ((t == T::Inc || t == T::Dec) && !tok().newlineBefore) {
        if (e.reference || e.call) {
            drop(e);
        } else {
            commit(e);
            m_edits.insertOuter(e.start, u"__qyBadRef(");
            m_edits.replace(tok().start, tok().end, u")");
        }
        advance();
        return Expr{e.start, m_prevEnd};
    }
    return e;
}

Parser::Expr Parser::parseMember(bool allowCall) {
    DepthGuard guard(m_depth, tok().start);
    Expr e;
    if (tok().type == T::New) {
        const uint32_t start = tok().start;
        advance();
        Expr callee = parseMember(false);
        drop(callee);  // new x[k]() keeps x[k] as it is
        if (tok().type == T::LParen) parseArguments(false);
        e = Expr{start, m_prevEnd};
    } else {
        e = parsePrimary();
        // eval taken as a value inside a function (passed on, stored, called through an
        // expression) still runs its text where it is called from in JScript, with that
        // function's this: it becomes a function that evaluates there. Outside functions
        // the global eval already does.
        if (m_fn.inFunction && e.kind == Expr::Identifier && !e.parenthesized &&
            tok().type != T::LParen && tok().type != T::Inc && tok().type != T::Dec &&
            !isAssignmentOperator(tok().type) && m_lexer.source().substr(e.start, e.end - e.start) == u"eval") {
            m_edits.replace(e.start, e.end, u"__qyEvalIn(this, function (s) { return eval(__qyEval(s)); })");
            e.kind = Expr::Other;
            e.reference = false;
        }
    }
    for (;;) {
        switch (tok().type) {
        case T::LBracket: {
            commit(e);
            const uint32_t open = tok().start;
            advance();
            Expr key = parseExpression(false);
            commit(key);
            if (tok().type != T::RBracket) fail(kExpectedRightBracket);
            const uint32_t close = tok().start;
            advance();
            Expr r{e.start, m_prevEnd};
            r.reference = true;
            // x["name"] reads the same either way; only what may be an index can differ
            if (!(key.kind == Expr::String && !key.indexKey)) {
                r.pending = true;
                r.pendingBase = e.start;
                r.pendingOpen = open;
                r.pendingClose = close;
            }
            e = r;
            break;
        }
        case T::Dot:
            commit(e);
            advance();
            if (tok().type != T::Ident) fail(kExpectedIdentifier);
            advance();
            e = Expr{e.start, m_prevEnd};
            e.reference = true;
            break;
        case T::LParen: {
            if (!allowCall) return e;
            drop(e);  // x[k](…) calls with this = x
            bool isEval = e.kind == Expr::Identifier && !e.parenthesized &&
                          m_lexer.source().substr(e.start, e.end - e.start) == u"eval";
            parseArguments(isEval);
            e = Expr{e.start, m_prevEnd};
            e.call = true;
            break;
        }
        default:
            return e;
        }
    }
}

void Parser::parseArguments(bool isEval) {
    advance();  // '('
    if (tok().type == T::RParen) {
        advance();
        return;
    }
    bool first = true;
    for (;;) {
        if (first && isEval) {
            m_edits.insert(tok().start, u"__qyEval(");
            Expr a = parseAssignment(false);
            commit(a);
            m_edits.insert(m_prevEnd, u")");
        } else {
            Expr a = parseAssignment(false);
            commit(a);
        }
        first = false;
        if (tok().type == T::Comma) {
            advance();
            continue;
        }
        if (tok().type != T::RParen) fail(kExpectedRightParen);
        advance();
        return;
    }
}

Parser::Expr Parser::parsePrimary() {
    const Token t = tok();
    switch (t.type) {
    case T::This:
    case T::Null:
    case T::True:
    case T::False:
    case T::Number:
        advance();
        return Expr{t.start, t.end, Expr::Literal};
    case T::String: {
        advance();
        Expr e{t.start, t.end, Expr::String};
        e.indexKey = t.indexKey;
        return e;
    }
    case T::Ident: {
        advance();
        Expr e{t.start, t.end, Expr::Identifier};
        e.reference = true;
        return e;
    }
    case T::LBracket:
        parseArrayLiteral();
        return Expr{t.start, m_prevEnd};
    case T::LBrace:
        parseObjectLiteral();
        return Expr{t.start, m_prevEnd};
    case T::LParen: {
        advance();
        Expr e = parseExpression(false);
        if (tok().type != T::RParen) fail(kExpectedRightParen);
        advance();
        e.start = t.start;
        e.end = m_prevEnd;
        e.parenthesized = true;
        return e;
    }
    case T::Function:
        parseFunctionExpression();
        return Expr{t.start, m_prevEnd};
    case T::Div:
    case T::DivAssign:
        m_lexer.rescanAsRegex();
        advance();
        return Expr{t.start, m_prevEnd, Expr::Literal};
    default:
        fail(kSyntax);
    }
}

void Parser::parseArrayLiteral() {
    advance();  // '['
    bool endsInComma = false;
    for (;;) {
        T t = tok().type;
        if (t == T::RBracket) break;
        if (t == T::Comma) {
            endsInComma = true;
            advance();
            continue;
        }
        Expr element = parseAssignment(false);
        commit(element);
        endsInComma = false;
        if (tok().type != T::Comma && tok().type != T::RBracket) fail(kExpectedRightBracket);
    }
    // JScript counts the place after a final comma as one more element
    if (endsInComma) m_edits.insert(tok().start, u",");
    advance();
}

void Parser::parseObjectLiteral() {
    advance();  // '{'
    if (tok().type == T::RBrace) {
        advance();
        return;
    }
    for (;;) {
        T t = tok().type;
        if (t != T::Ident && t != T::String && t != T::Number) fail(kExpectedPropertyName);
        advance();
        expect(T::Colon, kExpectedColon);
        Expr value = parseAssignment(false);
        commit(value);
        if (tok().type == T::Comma) {
            advance();
            continue;
        }
        if (tok().type != T::RBrace) fail(kExpectedRightBrace);
        advance();
        return;
    }
}

}  // namespace qy::jscript::gate

/** @file Lexer.cpp
 * Reading JScript 5.8's tokens, and conditional compilation as JScript's scanner does
 * it: before @cc_on a slash-star-at comment is an ordinary comment; after it, the text
 * of those comments (up to at-star-slash) and of slash-slash-at comments is code,
 * @variables stand for their values and the branches of @if not taken are skipped. Every marker, directive and skipped
 * branch becomes blanks in the rewritten text (line breaks kept) so positions stay put.
 */
#include "jscript/Lexer.h"

#include <array>

#include "jscript/ConditionalCompilation.h"

namespace qy::jscript::gate {

namespace {

enum : uint8_t { kIdStart = 1, kIdPart = 2, kDigit = 4, kHex = 8 };

constexpr std::array<uint8_t, 128> makeAsciiClasses() {
    std::array<uint8_t, 128> t{};
    for (int c = 'a'; c <= 'z'; ++c) t[c] = kIdStart | kIdPart;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = kIdStart | kIdPart;
    t['$'] = t['_'] = kIdStart | kIdPart;
    for (int c = '0'; c <= '9'; ++c) t[c] = kIdPart | kDigit | kHex;
    for (int c = 'a'; c <= 'f'; ++c) t[c] |= kHex;
    for (int c = 'A'; c <= 'F'; ++c) t[c] |= kHex;
    return t;
}
constexpr std::array<uint8_t, 128> kAscii = makeAsciiClasses();

bool isLineBreak(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }

/// Blanks other than space and tab: the vertical tab, form feed and Unicode spaces.
bool isOtherBlank(char16_t c) {
    return c == 0x0B || c == 0x0C || c == 0xA0 || c == 0xFEFF || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

/// Characters above ASCII that may be part of a name: letters and marks of every script.
/// Punctuation, symbols, controls, surrogates and format characters are not (a full-width
/// '，' or '；' typed by mistake is an invalid character, as JScript says).
bool isWideNameChar(char16_t c) {
    if (c < 0xA0) return false;
    if (c <= 0xBF) return c == 0xAA || c == 0xB5 || c == 0xBA;
    if (c == 0xD7 || c == 0xF7) return false;
    if (c >= 0x2000 && c <= 0x206F) return c == 0x200C || c == 0x200D;
    if (c >= 0x2190 && c <= 0x2BFF) return false;
    if (c >= 0x3000 && c <= 0x3004) return false;
    if (c >= 0x3008 && c <= 0x3020) return false;
    if (c >= 0xD800 && c <= 0xDFFF) return false;
    if (c >= 0xFE10 && c <= 0xFE19) return false;
    if (c >= 0xFE30 && c <= 0xFE6F) return false;
    if (c >= 0xFF01 && c <= 0xFF0F) return false;
    if (c >= 0xFF1A && c <= 0xFF20) return false;
    if (c >= 0xFF3B && c <= 0xFF40) return false;
    if (c >= 0xFF5B && c <= 0xFF65) return false;
    if (c >= 0xFFF0) return false;
    return !isOtherBlank(c) && c != 0x2028 && c != 0x2029;
}

bool isNameStart(char16_t c) { return c < 128 ? (kAscii[c] & kIdStart) != 0 : isWideNameChar(c); }
bool isNamePart(char16_t c) { return c < 128 ? (kAscii[c] & kIdPart) != 0 : isWideNameChar(c); }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool isHex(char16_t c) { return c < 128 && (kAscii[c] & kHex) != 0; }

bool same(std::u16string_view w, const char16_t* k) {
    for (size_t i = 1; i < w.size(); ++i)
        if (w[i] != k[i]) return false;
    return true;
}

/// The keyword a name spells, or Ident. Every keyword is 2 to 10 lower-case letters.
T keyword(std::u16string_view w) {
    if (w.size() < 2 || w.size() > 10 || w[0] < u'b' || w[0] > u'w') return T::Ident;
    switch (w[0]) {
    case u'b':
        if (w.size() == 5 && same(w, u"break")) return T::Break;
        break;
    case u'c':
        if (w.size() == 4 && same(w, u"case")) return T::Case;
        if (w.size() == 5) {
            if (same(w, u"catch")) return T::Catch;
            if (same(w, u"class") || same(w, u"const")) return T::Reserved;
        }
        if (w.size() == 8 && same(w, u"continue")) return T::Continue;
        break;
    case u'd':
        if (w.size() == 2 && w[1] == u'o') return T::Do;
        if (w.size() == 6 && same(w, u"delete")) return T::Delete;
        if (w.size() == 7 && same(w, u"default")) return T::Default;
        if (w.size() == 8 && same(w, u"debugger")) return T::Debugger;
        break;
    case u'e':
        if (w.size() == 4) {
            if (same(w, u"else")) return T::Else;
            if (same(w, u"enum")) return T::Reserved;
        }
        if (w.size() == 6 && same(w, u"export")) return T::Reserved;
        if (w.size() == 7 && same(w, u"extends")) return T::Reserved;
        break;
    case u'f':
        if (w.size() == 3 && same(w, u"for")) return T::For;
        if (w.size() == 5 && same(w, u"false")) return T::False;
        if (w.size() == 7 && same(w, u"finally")) return T::Finally;
        if (w.size() == 8 && same(w, u"function")) return T::Function;
        break;
    case u'i':
        if (w.size() == 2) {
            if (w[1] == u'f') return T::If;
            if (w[1] == u'n') return T::In;
        }
        if (w.size() == 6 && same(w, u"import")) return T::Reserved;
        if (w.size() == 10 && same(w, u"instanceof")) return T::Instanceof;
        break;
    case u'n':
        if (w.size() == 3 && same(w, u"new")) return T::New;
        if (w.size() == 4 && same(w, u"null")) return T::Null;
        break;
    case u'r':
        if (w.size() == 6 && same(w, u"return")) return T::Return;
        break;
    case u's':
        if (w.size() == 5 && same(w, u"super")) return T::Reserved;
        if (w.size() == 6 && same(w, u"switch")) return T::Switch;
        break;
    case u't':
        if (w.size() == 3 && same(w, u"try")) return T::Try;
        if (w.size() == 4) {
            if (same(w, u"this")) return T::This;
            if (same(w, u"true")) return T::True;
        }
        if (w.size() == 5 && same(w, u"throw")) return T::Throw;
        if (w.size() == 6 && same(w, u"typeof")) return T::Typeof;
        break;
    case u'v':
        if (w.size() == 3 && same(w, u"var")) return T::Var;
        if (w.size() == 4 && same(w, u"void")) return T::Void;
        break;
    case u'w':
        if (w.size() == 5 && same(w, u"while")) return T::While;
        if (w.size() == 4 && same(w, u"with")) return T::With;
        break;
    default:
        break;
    }
    return T::Ident;
}

/// The string's value (no escapes inside) is a canonical array index.
bool isArrayIndexText(std::u16string_view s) {
    if (s.empty() || s.size() > 10) return false;
    if (s.size() > 1 && s[0] == u'0') return false;
    uint64_t v = 0;
    for (char16_t c : s) {
        if (!isDigit(c)) return false;
        v = v * 10 + (c - u'0');
    }
    return v < 4294967295ull;
}

}  // namespace

Lexer::Lexer(std::u16string_view source, ConditionalState& cc, EditList& edits)
    : m_source(source), m_length(static_cast<uint32_t>(source.size())), m_cc(cc), m_edits(edits) {}

bool Lexer::wordAt(uint32_t p, std::u16string_view w) const {
    if (m_source.substr(p, w.size()) != w) return false;
    return !IsCcNameChar(at(p + static_cast<uint32_t>(w.size())));
}

Lexer::Directive Lexer::directiveAt(uint32_t p, uint32_t& end) const {
    struct Name { std::u16string_view word; Directive d; };
    static const Name names[] = {{u"cc_on", Directive::CcOn}, {u"if", Directive::If},   {u"elif", Directive::Elif},
                                 {u"else", Directive::Else},  {u"end", Directive::End}, {u"set", Directive::Set}};
    for (const Name& n : names)
        if (wordAt(p, n.word)) {
            end = p + static_cast<uint32_t>(n.word.size());
            return n.d;
        }
    return Directive::None;
}

void Lexer::next() {
    bool newline = false;
    for (;;) {
        if (m_pos >= m_length) {
            checkEnd();
            m_token = Token{T::End, newline, true, m_length, m_length};
            return;
        }
        char16_t c = m_source[m_pos];
        if (c == u' ' || c == u'\t') {
            ++m_pos;
            continue;
        }
        if (c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029) {
            newline = true;
            ++m_pos;
            if (m_ccComment == CcComment::Line) m_ccComment = CcComment::None;
            continue;
        }
        if (c == u'/') {
            char16_t d = at(m_pos + 1);
            if (d == u'*') {
                skipBlockComment(newline);
                continue;
            }
            if (d == u'/') {
                skipLineComment();
                continue;
            }
        } else if (c == u'@') {
            if (atSign(newline)) continue;
            return;
        } else if (c == u'*') {
            if (m_ccComment == CcComment::Block && at(m_pos + 1) == u'/') {
                // a conditional comment closed without its '@'
                m_edits.blank(m_pos, m_pos + 2);
                m_pos += 2;
                m_ccComment = CcComment::None;
                continue;
            }
        } else if (c >= 0x80 || c == 0x0B || c == 0x0C) {
            if (isOtherBlank(c)) {
                ++m_pos;
                continue;
            }
        }
        scanToken(newline);
        return;
    }
}

void Lexer::skipBlockComment(bool& newline) {
    const uint32_t start = m_pos;
    if (at(start + 2) == u'@' && m_ccComment == CcComment::None && (m_cc.Enabled() || wordAt(start + 3, u"cc_on"))) {
        m_edits.blank(start, start + 3);
        m_pos = start + 3;
        m_ccComment = CcComment::Block;
        m_ccCommentStart = start;
        uint32_t end = 0;
        Directive d = directiveAt(m_pos, end);
        if (d != Directive::None) directive(d, m_pos, m_pos, end);
        return;
    }
    uint32_t p = start + 2;
    bool lines = false;
    for (;;) {
        if (p + 1 >= m_length) fail(1016, start);
        char16_t c = m_source[p];
        if (c == u'*' && m_source[p + 1] == u'/') break;
        if (isLineBreak(c)) lines = true;
        ++p;
    }
    if (lines) {
        newline = true;
        if (m_ccComment == CcComment::Line) m_ccComment = CcComment::None;
    }
    m_pos = p + 2;
}

void Lexer::skipLineComment() {
    const uint32_t start = m_pos;
    if (at(start + 2) == u'@' && m_ccComment == CcComment::None && (m_cc.Enabled() || wordAt(start + 3, u"cc_on"))) {
        m_edits.blank(start, start + 3);
        m_pos = start + 3;
        m_ccComment = CcComment::Line;
        uint32_t end = 0;
        Directive d = directiveAt(m_pos, end);
        if (d != Directive::None) directive(d, m_pos, m_pos, end);
        return;
    }
    uint32_t p = start + 2;
    while (p < m_length && !isLineBreak(m_source[p])) ++p;
    m_pos = p;
}

bool Lexer::atSign(bool newline) {
    const uint32_t p = m_pos;
    // '@*/' closes a conditional comment; elsewhere, once conditional compilation is on,
    // it is passed over
    if ((m_ccComment == CcComment::Block || m_cc.Enabled()) && at(p + 1) == u'*' && at(p + 2) == u'/') {
        m_edits.blank(p, p + 3);
        m_pos = p + 3;
        if (m_ccComment == CcComment::Block) m_ccComment = CcComment::None;
        return true;
    }
    uint32_t nameEnd = 0;
    Directive d = directiveAt(p + 1, nameEnd);
    if (d != Directive::None) {
        // @if and @set outside a comment turn conditional compilation on as @cc_on does
        if (!m_cc.Enabled() && d != Directive::CcOn && d != Directive::If && d != Directive::Set) fail(1030, p);
        directive(d, p, p + 1, nameEnd);
        return true;
    }
    if (!m_cc.Enabled()) fail(1030, p);
    uint32_t q = p + 1;
    while (q < m_length && IsCcNameChar(m_source[q])) ++q;
    if (q == p + 1) fail(1014, p);

    // The variable stands for its value: padded with blanks when the value is shorter,
    // else in parentheses so the text around it reads the same.
    CcValue v = m_cc.Get(m_source.substr(p + 1, q - p - 1));
    std::u16string value = CcValueText(v);
    const size_t room = q - p;
    std::u16string text;
    bool spaceBefore = p > 0 && isNamePart(m_source[p - 1]);
    if (value[0] != u'-' && value.size() + (spaceBefore ? 1 : 0) < room) {
        if (spaceBefore) text.push_back(u' ');
        text += value;
        text.resize(room, u' ');
    } else {
        text = u"(" + value + u")";
    }
    m_edits.replaceOwned(p, q, std::move(text));
    T type = v.isBoolean ? (v.boolean ? T::True : T::False) : T::Number;
    m_token = Token{type, newline, true, p, q};
    m_pos = q;
    return false;
}

bool Lexer::ifCondition(uint32_t& p) {
    while (p < m_length && (m_source[p] == u' ' || m_source[p] == u'\t' || isLineBreak(m_source[p]) ||
                            isOtherBlank(m_source[p])))
        ++p;
    if (at(p) != u'(') fail(1005, p);
    ++p;
    CcValue v = EvaluateCcExpression(m_source, p, m_cc);
    while (p < m_length && (m_source[p] == u' ' || m_source[p] == u'\t' || isLineBreak(m_source[p]) ||
                            isOtherBlank(m_source[p])))
        ++p;
    if (at(p) != u')') fail(1006, p);
    ++p;
    return CcTruth(v);
}

void Lexer::directive(Directive d, uint32_t blankFrom, uint32_t nameStart, uint32_t nameEnd) {
    const uint32_t atPos = nameStart - 1;
    switch (d) {
    case Directive::None:
        return;
    case Directive::CcOn:
        m_cc.Enable();
        m_edits.blank(blankFrom, nameEnd);
        m_pos = nameEnd;
        return;
    case Directive::Set: {
        m_cc.Enable();
        uint32_t p = nameEnd;
        // the variable and its '=' may stand on lines of their own
        const bool lines = m_ccComment != CcComment::Line;
        auto blank = [&](char16_t c) {
            return c == u' ' || c == u'\t' || isOtherBlank(c) || (lines && isLineBreak(c));
        };
        while (p < m_length && blank(m_source[p])) ++p;
        if (at(p) != u'@') fail(1032, p);
        uint32_t name = ++p;
        // a variable's name starts with a letter, '_' or '$'
        if (p < m_length && m_source[p] >= u'0' && m_source[p] <= u'9') fail(1010, p);
        while (p < m_length && IsCcNameChar(m_source[p])) ++p;
        if (p == name) fail(1010, p);
        std::u16string_view variable = m_source.substr(name, p - name);
        while (p < m_length && blank(m_source[p])) ++p;
        if (at(p) != u'=') fail(1011, p);
        ++p;
        CcValue v = EvaluateCcExpression(m_source, p, m_cc);
        m_cc.Set(variable, v);
        m_edits.blank(blankFrom, p);
        m_pos = p;
        return;
    }
    case Directive::If: {
        m_cc.Enable();
        uint32_t p = nameEnd;
        bool taken = ifCondition(p);
        m_edits.blank(blankFrom, p);
        m_pos = p;
        m_ifs.push_back(IfFrame{taken, false});
        if (!taken) skipBranches(p);
        return;
    }
    case Directive::Elif:
    case Directive::Else:
        // met while compiling a branch: the rest of this @if is skipped
        if (m_ifs.empty()) fail(1002, atPos);
        if (d == Directive::Else) m_ifs.back().inElse = true;
        m_edits.blank(blankFrom, nameEnd);
        m_pos = nameEnd;
        skipBranches(nameEnd);
        return;
    case Directive::End:
        if (m_ifs.empty()) fail(1002, atPos);
        m_ifs.pop_back();
        m_edits.blank(blankFrom, nameEnd);
        m_pos = nameEnd;
        return;
    }
}

void Lexer::skipBranches(uint32_t regionStart) {
    for (;;) {
        uint32_t atPos = 0, nameEnd = 0;
        Directive d = skipExcluded(atPos, nameEnd);
        m_edits.blank(regionStart, nameEnd);
        m_pos = nameEnd;
        IfFrame& f = m_ifs.back();
        if (d == Directive::End) {
            m_ifs.pop_back();
            return;
        }
        // once a branch was taken every later one is skipped, however it reads
        if (f.taken) {
            regionStart = m_pos;
            continue;
        }
        if (d == Directive::Else) {
            f.inElse = true;
            f.taken = true;
            return;
        }
        uint32_t p = nameEnd;  // @elif
        bool cond = ifCondition(p);
        m_edits.blank(nameEnd, p);
        m_pos = p;
        if (!f.taken && cond) {
            f.taken = true;
            return;
        }
        regionStart = m_pos;
    }
}

Lexer::Directive Lexer::skipExcluded(uint32_t& atPos, uint32_t& nameEnd) {
    int depth = 0;
    // A directive at '@' (position a) whose name ends at e: the one that ends the skip, or not.
    auto meet = [&](Directive d, uint32_t a, uint32_t e) -> bool {
        m_pos = e;
        switch (d) {
        case Directive::If:
            ++depth;
            return false;
        case Directive::End:
            if (depth-- > 0) return false;
            break;
        case Directive::Elif:
        case Directive::Else:
            if (depth > 0) return false;
            break;
        default:
            return false;
        }
        atPos = a;
        nameEnd = e;
        return true;
    };
    for (;;) {
        if (m_pos >= m_length) fail(1029, m_length);
        const uint32_t p = m_pos;
        char16_t c = m_source[p];
        if (c == u' ' || c == u'\t' || isOtherBlank(c)) {
            ++m_pos;
            continue;
        }
        if (isLineBreak(c)) {
            ++m_pos;
            if (m_ccComment == CcComment::Line) m_ccComment = CcComment::None;
            continue;
        }
        if (c == u'/' && (at(p + 1) == u'*' || at(p + 1) == u'/')) {
            bool block = at(p + 1) == u'*';
            if (at(p + 2) == u'@' && m_ccComment == CcComment::None) {
                m_ccComment = block ? CcComment::Block : CcComment::Line;
                if (block) m_ccCommentStart = p;
                m_pos = p + 3;
                uint32_t e = 0;
                Directive d = directiveAt(m_pos, e);
                if (d != Directive::None && meet(d, p + 2, e)) return d;
                continue;
            }
            if (block) {
                bool nl = false;
                skipBlockComment(nl);
            } else {
                skipLineComment();
            }
            continue;
        }
        if (c == u'@') {
            if (m_ccComment == CcComment::Block && at(p + 1) == u'*' && at(p + 2) == u'/') {
                m_pos = p + 3;
                m_ccComment = CcComment::None;
                continue;
            }
            uint32_t e = 0;
            Directive d = directiveAt(p + 1, e);
            if (d != Directive::None) {
                if (meet(d, p, e)) return d;
                continue;
            }
            m_pos = p + 1;
            while (m_pos < m_length && IsCcNameChar(m_source[m_pos])) ++m_pos;
            continue;
        }
        if (c == u'*' && m_ccComment == CcComment::Block && at(p + 1) == u'/') {
            m_pos = p + 2;
            m_ccComment = CcComment::None;
            continue;
        }
        // strings and regular expressions are not read here: an @end between quotes ends
        // the branch as any other does
        if (isNameStart(c) || isDigit(c) || c == u'\\') {
            uint32_t q = p;
            while (q < m_length && (isNamePart(m_source[q]) || m_source[q] == u'\\' || m_source[q] == u'.')) {
                if (m_source[q] == u'.' && !isDigit(m_source[p])) break;
                ++q;
            }
            if (q == p) q = p + 1;
            m_pos = q;
            continue;
        }
        m_pos = p + 1;
    }
}

void Lexer::checkEnd() {
    if (!m_ifs.empty()) fail(1029, m_length);
    if (m_ccComment == CcComment::Block) fail(1016, m_ccCommentStart);
}

void Lexer::scanToken(bool newline) {
    const uint32_t start = m_pos;
    char16_t c = m_source[start];
    if (c < 128) {
        uint8_t k = kAscii[c];
        if ((k & kIdStart) || c == u'\\') return scanIdentifier(start, newline);
        if (k & kDigit) return scanNumber(start, newline);
        if (c == u'.' && isDigit(at(start + 1))) return scanNumber(start, newline);
        if (c == u'"' || c == u'\'') return scanString(start, newline);
        if (scanPunctuator(start, newline)) return;
        fail(1014, start);
    }
    if (isWideNameChar(c)) return scanIdentifier(start, newline);
    fail(1014, start);
}

void Lexer::scanIdentifier(uint32_t start, bool newline) {
    uint32_t p = start;
    bool escaped = false;
    for (;;) {
        while (p < m_length) {
            char16_t c = m_source[p];
            if (c < 128 ? !(kAscii[c] & kIdPart) : !isWideNameChar(c)) break;
            ++p;
        }
        if (at(p) != u'\\') break;
        if (at(p + 1) != u'u') fail(1014, p);
        for (uint32_t i = 2; i < 6; ++i)
            if (!isHex(at(p + i))) fail(1023, p);
        escaped = true;
        p += 6;
    }
    T type = escaped ? T::Ident : keyword(m_source.substr(start, p - start));
    m_token = Token{type, newline, true, start, p};
    m_pos = p;
}

void Lexer::scanNumber(uint32_t start, bool newline) {
    uint32_t p = start;
    if (m_source[p] == u'0' && (at(p + 1) == u'x' || at(p + 1) == u'X')) {
        p += 2;
        uint32_t digits = p;
        while (p < m_length && isHex(m_source[p])) ++p;
        if (p == digits) fail(1023, start);
    } else {
        while (p < m_length && isDigit(m_source[p])) ++p;
        if (at(p) == u'.') {
            ++p;
            while (p < m_length && isDigit(m_source[p])) ++p;
        }
        if (at(p) == u'e' || at(p) == u'E') {
            uint32_t q = p + 1;
            if (at(q) == u'+' || at(q) == u'-') ++q;
            if (!isDigit(at(q))) fail(1013, start);
            p = q;
            while (p < m_length && isDigit(m_source[p])) ++p;
        }
    }
    m_token = Token{T::Number, newline, true, start, p};
    m_pos = p;
}

void Lexer::scanString(uint32_t start, bool newline) {
    const char16_t quote = m_source[start];
    uint32_t p = start + 1;
    bool escaped = false;
    for (;;) {
        if (p >= m_length) fail(1015, start);
        char16_t c = m_source[p];
        if (c == quote) break;
        if (c == u'\\') {
            escaped = true;
            if (p + 1 >= m_length) fail(1015, start);
            char16_t e = m_source[p + 1];
            if (e == u'\r') {
                p += at(p + 2) == u'\n' ? 3 : 2;
                continue;
            }
            if (e == u'x') {
                if (!isHex(at(p + 2)) || !isHex(at(p + 3))) fail(1023, p);
                p += 4;
                continue;
            }
            if (e == u'u') {
                for (uint32_t i = 2; i < 6; ++i)
                    if (!isHex(at(p + i))) fail(1023, p);
                p += 6;
                continue;
            }
            if (e == u'v') m_edits.replace(p, p + 2, u"v");  // JScript has no vertical-tab escape
            p += 2;
            continue;
        }
        if (isLineBreak(c)) fail(1015, start);
        ++p;
    }
    m_pos = p + 1;
    bool index = escaped || isArrayIndexText(m_source.substr(start + 1, p - start - 1));
    m_token = Token{T::String, newline, index, start, p + 1};
}

bool Lexer::scanPunctuator(uint32_t start, bool newline) {
    char16_t c = m_source[start];
    char16_t c1 = at(start + 1);
    char16_t c2 = at(start + 2);
    T type;
    uint32_t len = 1;
    switch (c) {
    case u'{': type = T::LBrace; break;
    case u'}': type = T::RBrace; break;
    case u'(': type = T::LParen; break;
    case u')': type = T::RParen; break;
    case u'[': type = T::LBracket; break;
    case u']': type = T::RBracket; break;
    case u'.': type = T::Dot; break;
    case u';': type = T::Semicolon; break;
    case u',': type = T::Comma; break;
    case u'?': type = T::Question; break;
    case u':': type = T::Colon; break;
    case u'~': type = T::BitNot; break;
    case u'<':
        if (c1 == u'<') {
            if (c2 == u'=') type = T::ShlAssign, len = 3;
            else type = T::Shl, len = 2;
        } else if (c1 == u'=') {
            type = T::Le, len = 2;
        } else {
            type = T::Lt;
            // the engine would read "<!--" as a comment; JScript reads '<', '!', '--'
            if (c1 == u'!' && c2 == u'-' && at(start + 3) == u'-') m_edits.insert(start + 1, u" ");
        }
        break;
    case u'>':
        if (c1 == u'>') {
            if (c2 == u'>') {
                if (at(start + 3) == u'=') type = T::ShrAssign, len = 4;
                else type = T::Shr, len = 3;
            } else if (c2 == u'=') {
                type = T::SarAssign, len = 3;
            } else {
                type = T::Sar, len = 2;
            }
        } else if (c1 == u'=') {
            type = T::Ge, len = 2;
        } else {
            type = T::Gt;
        }
        break;
    case u'=':
        if (c1 == u'=') {
            if (c2 == u'=') type = T::StrictEq, len = 3;
            else type = T::Eq, len = 2;
        } else {
            type = T::Assign;
        }
        break;
    case u'!':
        if (c1 == u'=') {
            if (c2 == u'=') type = T::StrictNe, len = 3;
            else type = T::Ne, len = 2;
        } else {
            type = T::Not;
        }
        break;
    case u'+':
        if (c1 == u'+') type = T::Inc, len = 2;
        else if (c1 == u'=') type = T::PlusAssign, len = 2;
        else type = T::Plus;
        break;
    case u'-':
        if (c1 == u'-') type = T::Dec, len = 2;
        else if (c1 == u'=') type = T::MinusAssign, len = 2;
        else type = T::Minus;
        break;
    case u'*':
        if (c1 == u'=') type = T::StarAssign, len = 2;
        else type = T::Star;
        break;
    case u'%':
        if (c1 == u'=') type = T::PercentAssign, len = 2;
        else type = T::Percent;
        break;
    case u'&':
        if (c1 == u'&') type = T::And, len = 2;
        else if (c1 == u'=') type = T::AndAssign, len = 2;
        else type = T::BitAnd;
        break;
    case u'|':
        if (c1 == u'|') type = T::Or, len = 2;
        else if (c1 == u'=') type = T::OrAssign, len = 2;
        else type = T::BitOr;
        break;
    case u'^':
        if (c1 == u'=') type = T::XorAssign, len = 2;
        else type = T::BitXor;
        break;
    case u'/':
        if (c1 == u'=') type = T::DivAssign, len = 2;
        else type = T::Div;
        break;
    default:
        return false;
    }
    m_token = Token{type, newline, true, start, start + len};
    m_pos = start + len;
    return true;
}

void Lexer::rescanAsRegex() {
    const uint32_t start = m_token.start;
    uint32_t p = start + 1;
    bool inClass = false;
    for (;;) {
        if (p >= m_length || isLineBreak(m_source[p])) fail(1012, start);
        char16_t c = m_source[p];
        if (c == u'\\') {
            if (p + 1 >= m_length || isLineBreak(m_source[p + 1])) fail(1012, start);
            p += 2;
            continue;
        }
        if (inClass) {
            if (c == u']') inClass = false;
        } else if (c == u'[') {
            inClass = true;
        } else if (c == u'/') {
            break;
        } else if (c == u'(' && at(p + 1) == u'?') {
            // JScript's groups are (?:, (?= and (?!; no look-behind, no named groups
            char16_t k = at(p + 2);
            if (k != u':' && k != u'=' && k != u'!') fail(5017, start);
        }
        ++p;
    }
    ++p;
    unsigned seen = 0;
    while (p < m_length && (isNamePart(m_source[p]) || m_source[p] == u'\\')) {
        char16_t f = m_source[p];
        unsigned bit = f == u'g' ? 1u : f == u'i' ? 2u : f == u'm' ? 4u : 0u;
        if (bit == 0 || (seen & bit)) fail(5017, start);
        seen |= bit;
        ++p;
    }
    m_token.type = T::Regex;
    m_token.end = p;
    m_pos = p;
}

}  // namespace qy::jscript::gate

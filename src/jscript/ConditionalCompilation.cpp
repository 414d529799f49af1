/** @file ConditionalCompilation.cpp
 * The values of conditional compilation: the predefined @variables of JScript 5.8 on
 * 32-bit Windows, @set variables, and the small expression language of @if and @set.
 */
#include "jscript/ConditionalCompilation.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "jscript/GateEdits.h"

namespace qy::jscript {

namespace {

using Value = ConditionalState::Value;

Value number(double d) { return Value{false, false, d}; }
Value boolean(bool b) { return Value{true, b, b ? 1.0 : 0.0}; }

/// What the engine reports about itself: JScript 5.8 on 32-bit Windows on x86.
bool predefined(std::u16string_view name, Value& v) {
    if (name == u"_jscript" || name == u"_win32" || name == u"_x86" || name == u"_microsoft") {
        v = boolean(true);
        return true;
    }
    if (name == u"_jscript_version") {
        v = number(5.8);
        return true;
    }
    if (name == u"_jscript_build") {
        v = number(18702);
        return true;
    }
    return false;
}

}  // namespace

ConditionalState::Value ConditionalState::Get(std::u16string_view name) const {
    for (const auto& [n, v] : m_variables)
        if (n == name) return v;
    Value v;
    if (predefined(name, v)) return v;
    return number(std::numeric_limits<double>::quiet_NaN());
}

void ConditionalState::Set(std::u16string_view name, Value value) {
    for (auto& [n, v] : m_variables)
        if (n == name) {
            v = value;
            return;
        }
    m_variables.emplace_back(std::u16string(name), value);
}

namespace gate {

namespace {

constexpr int kMissingConstant = 1031;
constexpr int kExpectedRightParen = 1006;
constexpr int kMaxDepth = 200;

double toNumber(const CcValue& v) { return v.isBoolean ? (v.boolean ? 1.0 : 0.0) : v.number; }

int32_t toInt32(double d) {
    if (!std::isfinite(d)) return 0;
    double t = std::trunc(d);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

/// Recursive descent over the expression, JavaScript's precedence and conversions.
class CcParser {
public:
    CcParser(std::u16string_view text, uint32_t pos, const ConditionalState& state)
        : m_text(text), m_pos(pos), m_state(state) {}

    CcValue parse() { return binary(1); }
    uint32_t pos() const { return m_pos; }

private:
    void skipBlanks() {
        while (m_pos < m_text.size()) {
            char16_t c = m_text[m_pos];
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x0B || c == 0x0C || c == 0xA0 ||
                c == 0x2028 || c == 0x2029 || c == 0xFEFF)
                ++m_pos;
            else
                break;
        }
    }

    char16_t at(uint32_t offset = 0) const {
        return m_pos + offset < m_text.size() ? m_text[m_pos + offset] : u'\0';
    }

    bool startsWith(std::u16string_view op) const { return m_text.substr(m_pos, op.size()) == op; }

    /// The binary operator at the position with its precedence (0: none) and length.
    int binaryOperator(int& length) const {
        struct Op { std::u16string_view text; int prec; };
        static const Op ops[] = {
            {u">>>", 8}, {u"===", 6}, {u"!==", 6}, {u"||", 1}, {u"&&", 2}, {u"==", 6}, {u"!=", 6},
            {u"<=", 7},  {u">=", 7},  {u"<<", 8},  {u">>", 8}, {u"|", 3},  {u"^", 4},  {u"&", 5},
            {u"<", 7},   {u">", 7},   {u"+", 9},   {u"-", 9},  {u"*", 10}, {u"/", 10}, {u"%", 10},
        };
        for (const Op& op : ops)
            if (startsWith(op.text)) {
                // '@*/' ends a comment; '*' before '/' is never an operator here
                if (op.text == u"*" && at(1) == u'/') return 0;
                length = static_cast<int>(op.text.size());
                return op.prec;
            }
        return 0;
    }

    CcValue binary(int minPrec) {
        CcValue left = unary();
        for (;;) {
            skipBlanks();
            int len = 0;
            int prec = binaryOperator(len);
            if (prec == 0 || prec < minPrec) return left;
            std::u16string_view op = m_text.substr(m_pos, len);
            m_pos += len;
            CcValue right = binary(prec + 1);
            left = combine(op, left, right);
        }
    }

    static CcValue combine(std::u16string_view op, const CcValue& l, const CcValue& r) {
        double a = toNumber(l), b = toNumber(r);
        if (op == u"||") return CcTruth(l) ? l : r;
        if (op == u"&&") return CcTruth(l) ? r : l;
        if (op == u"===") return boolean(l.isBoolean == r.isBoolean && a == b);
        if (op == u"!==") return boolean(!(l.isBoolean == r.isBoolean && a == b));
        if (op == u"==") return boolean(a == b);
        if (op == u"!=") return boolean(a != b);
        if (op == u"<") return boolean(a < b);
        if (op == u">") return boolean(a > b);
        if (op == u"<=") return boolean(a <= b);
        if (op == u">=") return boolean(a >= b);
        if (op == u"+") return number(a + b);
        if (op == u"-") return number(a - b);
        if (op == u"*") return number(a * b);
        if (op == u"/") return number(a / b);
        if (op == u"%") return number(std::fmod(a, b));
        int32_t x = toInt32(a);
        uint32_t shift = static_cast<uint32_t>(toInt32(b)) & 31u;
        if (op == u"|") return number(x | toInt32(b));
        if (op == u"^") return number(x ^ toInt32(b));
        if (op == u"&") return number(x & toInt32(b));
        if (op == u"<<") return number(static_cast<int32_t>(static_cast<uint32_t>(x) << shift));
        if (op == u">>") return number(x >> shift);
        return number(static_cast<double>(static_cast<uint32_t>(x) >> shift));  // >>>
    }

    CcValue unary() {
        if (++m_depth > kMaxDepth) throw Failure{1001, m_pos};
        skipBlanks();
        CcValue v;
        char16_t c = at();
        if (c == u'!') {
            ++m_pos;
            v = boolean(!CcTruth(unary()));
        } else if (c == u'~') {
            ++m_pos;
            v = number(~toInt32(toNumber(unary())));
        } else if (c == u'-' && at(1) != u'-') {
            ++m_pos;
            v = number(-toNumber(unary()));
        } else if (c == u'+' && at(1) != u'+') {
            ++m_pos;
            v = number(toNumber(unary()));
        } else {
            v = primary();
        }
        --m_depth;
        return v;
    }

    CcValue primary() {
        char16_t c = at();
        if (c == u'(') {
            ++m_pos;
            CcValue v = binary(1);
            skipBlanks();
            if (at() != u')') throw Failure{kExpectedRightParen, m_pos};
            ++m_pos;
            return v;
        }
        if (c == u'@') {
            uint32_t start = ++m_pos;
            while (m_pos < m_text.size() && IsCcNameChar(m_text[m_pos])) ++m_pos;
            if (m_pos == start) throw Failure{kMissingConstant, start - 1};
            return m_state.Get(m_text.substr(start, m_pos - start));
        }
        if (startsWord(u"true")) return boolean(true);
        if (startsWord(u"false")) return boolean(false);
        if ((c >= u'0' && c <= u'9') || (c == u'.' && at(1) >= u'0' && at(1) <= u'9')) return numberLiteral();
        throw Failure{kMissingConstant, m_pos};
    }

    bool startsWord(std::u16string_view word) {
        if (!startsWith(word)) return false;
        uint32_t end = m_pos + static_cast<uint32_t>(word.size());
        if (end < m_text.size() && IsCcNameChar(m_text[end])) return false;
        m_pos = end;
        return true;
    }

    CcValue numberLiteral() {
        uint32_t start = m_pos;
        if (at() == u'0' && (at(1) == u'x' || at(1) == u'X')) {
            m_pos += 2;
            double v = 0;
            uint32_t digits = m_pos;
            for (;; ++m_pos) {
                char16_t h = at();
                int d = h >= u'0' && h <= u'9' ? h - u'0' : h >= u'a' && h <= u'f' ? h - u'a' + 10
                        : h >= u'A' && h <= u'F' ? h - u'A' + 10 : -1;
                if (d < 0) break;
                v = v * 16 + d;
            }
            if (m_pos == digits) throw Failure{1023, m_pos};
            return number(v);
        }
        std::string ascii;
        while (m_pos < m_text.size()) {
            char16_t d = m_text[m_pos];
            bool sign = (d == u'+' || d == u'-') && !ascii.empty() && (ascii.back() == 'e' || ascii.back() == 'E');
            if ((d >= u'0' && d <= u'9') || d == u'.' || d == u'e' || d == u'E' || sign) {
                ascii.push_back(static_cast<char>(d));
                ++m_pos;
            } else {
                break;
            }
        }
        double v = 0;
        auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
        if (ec != std::errc() || ptr != ascii.data() + ascii.size()) throw Failure{1013, start};
        return number(v);
    }

    std::u16string_view m_text;
    uint32_t m_pos;
    const ConditionalState& m_state;
    int m_depth = 0;
};

}  // namespace

CcValue EvaluateCcExpression(std::u16string_view text, uint32_t& pos, const ConditionalState& state) {
    CcParser p(text, pos, state);
    CcValue v = p.parse();
    pos = p.pos();
    return v;
}

bool CcTruth(const CcValue& v) {
    if (v.isBoolean) return v.boolean;
    return v.number != 0 && !std::isnan(v.number);
}

std::u16string CcValueText(const CcValue& v) {
    if (v.isBoolean) return v.boolean ? u"true" : u"false";
    double d = v.number;
    if (std::isnan(d)) return u"NaN";
    if (std::isinf(d)) return d > 0 ? u"Infinity" : u"-Infinity";
    if (d == 0) return std::signbit(d) ? u"-0" : u"0";
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, d);
    std::u16string s;
    if (ec != std::errc()) return u"NaN";
    for (char* p = buf; p != ptr; ++p) s.push_back(static_cast<char16_t>(*p));
    return s;
}

}  // namespace gate
}  // namespace qy::jscript

/** @file Selectors.cpp
 * The selector reader behind `host.selector` and the host's tree search. It reads the
 * shapes pages use most, strictly as CSS does: lists of compounds (a tag or "*", #id,
 * .class, [attribute] with = ~= ^= $= *= |= and a quoted or bare value) joined by blanks
 * or ">", which the host's tree search can match itself. Every other text is read by the
 * full reader (pseudo-classes, "+" and "~", escapes, names past ASCII, flags), as the
 * environment's script reader reads it outside the workbench; the script matches those.
 */
#include "env/Selectors.h"

#include <js/Array.h>
#include <js/Conversions.h>
#include <js/ValueArray.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace qy::env {
namespace {


bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool IsNameChar(char16_t c) { return IsLetter(c) || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-'; }

/// CSS's white space, the only blanks a selector has.
bool IsCssBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

/// Reads the common shapes of selectors strictly, giving up (nullopt) at anything else:
/// the environment's script reads what is left, and decides whether it is a selector.
class StrictReader {
public:
    explicit StrictReader(std::u16string_view text) : m_s(text) {}

    std::optional<Selector> List() {
        Selector out;
        while (true) {
            Blanks();
            SelectorChain chain;
            if (!Chain(chain)) return std::nullopt;
            out.chains.push_back(std::move(chain));
            if (m_at == m_s.size()) return out;
            if (m_s[m_at] != u',') return std::nullopt;
            ++m_at;
        }
    }

private:
    bool Blanks() {
        size_t start = m_at;
        while (m_at < m_s.size() && IsCssBlank(m_s[m_at])) ++m_at;
        return m_at > start;
    }
    /// An ASCII name as CSS reads an identifier (no escapes); empty where none starts.
    std::u16string_view Ident() {
        size_t start = m_at, at = m_at;
        if (at < m_s.size() && m_s[at] == u'-') ++at;
        if (at >= m_s.size() || !(IsLetter(m_s[at]) || m_s[at] == u'_' || m_s[at] == u'-')) return {};
        while (at < m_s.size() && IsNameChar(m_s[at])) ++at;
        // A name going on past ASCII or into an escape is the script's to read.
        if (at < m_s.size() && (m_s[at] >= 0x80 || m_s[at] == u'\\')) return {};
        m_at = at;
        return m_s.substr(start, at - start);
    }
    bool Chain(SelectorChain& chain) {
        bool child = false;
        while (true) {
            SelectorCompound c;
            if (!Compound(c)) return false;
            c.childOfPrevious = child;
            chain.push_back(std::move(c));
            bool spaced = Blanks();
            if (m_at == m_s.size() || m_s[m_at] == u',') return true;
            if (m_s[m_at] == u'>') {
                ++m_at;
                Blanks();
                child = true;
            } else if (spaced) {
                child = false;
            } else {
                return false;
            }
        }
    }
    bool Compound(SelectorCompound& c) {
        bool any = false;
        if (m_at < m_s.size() && m_s[m_at] == u'*') {
            ++m_at;
            any = true;
        } else if (std::u16string_view tag = Ident(); !tag.empty()) {
            for (char16_t ch : tag) c.tag += ch >= u'a' && ch <= u'z' ? static_cast<char16_t>(ch - 32) : ch;
            any = true;
        }
        while (m_at < m_s.size()) {
            char16_t ch = m_s[m_at];
            if (ch == u'#' || ch == u'.') {
                ++m_at;
                std::u16string_view name = Ident();
                if (name.empty()) return false;
                if (ch == u'.') c.classes.emplace_back(name);
                else if (c.id) return false;  // a second id: the script's to read
                else c.id = std::u16string(name);
            } else if (ch == u'[') {
                if (!Attribute(c)) return false;
            } else if (ch == u'|' || ch == u':' || ch == u'\\') {
                return false;
            } else {
                break;
            }
            any = true;
        }
        if (m_at < m_s.size() && m_s[m_at] == u'|') return false;
        return any;
    }
    bool Attribute(SelectorCompound& c) {
        ++m_at;
        Blanks();
        std::u16string_view name = Ident();
        if (name.empty()) return false;
        SelectorAttribute a{std::u16string(name), AttributeTest::Present, {}};
        for (char16_t& ch : a.name)
            if (ch >= u'A' && ch <= u'Z') ch = static_cast<char16_t>(ch + 32);
        Blanks();
        if (m_at < m_s.size() && m_s[m_at] != u']') {
            size_t op = std::u16string_view(u"=~|^$*").find(m_s[m_at]);
            if (op == std::u16string_view::npos) return false;
            if (op > 0) {
                if (m_at + 1 >= m_s.size() || m_s[m_at + 1] != u'=') return false;
                static constexpr AttributeTest kTests[] = {AttributeTest::Equals, AttributeTest::Word,
                                                           AttributeTest::DashPrefix, AttributeTest::Prefix,
                                                           AttributeTest::Suffix, AttributeTest::Contains};
                a.test = kTests[op];
                m_at += 2;
            } else {
                a.test = AttributeTest::Equals;
                ++m_at;
            }
            Blanks();
            if (m_at < m_s.size() && (m_s[m_at] == u'"' || m_s[m_at] == u'\'')) {
                char16_t quote = m_s[m_at];
                size_t close = m_at + 1;
                while (close < m_s.size() && m_s[close] != quote) {
                    if (m_s[close] == u'\\' || m_s[close] == u'\n' || m_s[close] == u'\r' || m_s[close] == u'\f') return false;
                    ++close;
                }
                if (close == m_s.size()) return false;
                a.value = std::u16string(m_s.substr(m_at + 1, close - m_at - 1));
                m_at = close + 1;
            } else {
                std::u16string_view value = Ident();
                if (value.empty()) return false;
                a.value = std::u16string(value);
            }
            // Tests that an empty value (or, for ~=, one with a blank) never passes, and
            // flags, are the script's.
            if (a.value.empty() && a.test != AttributeTest::Equals && a.test != AttributeTest::DashPrefix) return false;
            if (a.test == AttributeTest::Word && std::any_of(a.value.begin(), a.value.end(), IsCssBlank)) return false;
            Blanks();
        }
        if (m_at >= m_s.size() || m_s[m_at] != u']') return false;
        ++m_at;
        c.attributes.push_back(std::move(a));
        return true;
    }

    std::u16string_view m_s;
    size_t m_at = 0;
};

// ---- every other selector --------------------------------------------------------

/// The full grammar as the environment's script reads it (see its reader): the form
/// host.selector gives for a text outside the common shapes.
struct FullPseudo;
struct FullCompound {
    std::u16string tag;  ///< upper case; empty for any element
    std::optional<std::u16string> id;
    std::vector<std::u16string> classes;
    std::vector<std::u16string> attributeNames, attributeValues;
    std::vector<int> attributeTests;  ///< AttributeTest, plus 8 for the "i" flag
    int combinator = 0;               ///< before it: 0 blank, 1 ">", 2 "+", 3 "~"
    std::vector<FullPseudo> pseudos;
};
using FullList = std::vector<std::vector<FullCompound>>;
struct FullPseudo {
    enum class Arg { None, Text, List, Nth };
    explicit FullPseudo(std::u16string n) : name(std::move(n)) {}
    std::u16string name;
    Arg arg = Arg::None;
    std::u16string text;
    FullList list;        ///< :not, :is, :has, and nth's "of"
    bool hasOf = false;
    double a = 0, b = 0;  ///< an+b
};

constexpr char16_t kEnd = 0;
constexpr int kAnyCase = 8;

bool IsAsciiSpace(char16_t c) { return IsCssBlank(c); }
std::u16string AsciiLower(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    return s;
}
std::u16string AsciiUpper(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    return s;
}
std::u16string TrimBlanks(std::u16string_view s) {
    size_t start = 0, end = s.size();
    while (start < end && IsAsciiSpace(s[start])) ++start;
    while (end > start && IsAsciiSpace(s[end - 1])) --end;
    return std::u16string(s.substr(start, end - start));
}
bool OneOf(std::u16string_view word, std::initializer_list<std::u16string_view> words) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

/// an+b as the script reads it; false for a text that is none.
bool ReadNth(std::u16string_view text, double& a, double& b) {
    std::u16string t = AsciiLower(TrimBlanks(text));
    auto digits = [&](size_t& at, double& out) {
        size_t start = at;
        out = 0;
        while (at < t.size() && t[at] >= u'0' && t[at] <= u'9') out = out * 10 + (t[at++] - u'0');
        return at > start;
    };
    if (t == u"odd") return a = 2, b = 1, true;
    if (t == u"even") return a = 2, b = 0, true;
    size_t at = 0;
    double sign = 1, n = 0;
    if (at < t.size() && (t[at] == u'+' || t[at] == u'-')) sign = t[at++] == u'-' ? -1 : 1;
    bool some = digits(at, n);
    if (at == t.size()) {
        if (!some) return false;
        return a = 0, b = sign * n, true;
    }
    if (t[at] != u'n') return false;
    a = sign * (some ? n : 1);
    b = 0;
    if (++at == t.size()) return true;
    while (at < t.size() && IsAsciiSpace(t[at])) ++at;
    if (at == t.size() || (t[at] != u'+' && t[at] != u'-')) return false;
    double bsign = t[at++] == u'-' ? -1 : 1;
    while (at < t.size() && IsAsciiSpace(t[at])) ++at;
    if (!digits(at, n) || at != t.size()) return false;
    b = bsign * n;
    return true;
}

class FullReader {
public:
    explicit FullReader(std::u16string_view text) : m_s(text) {}

    /// The whole text as a list; nullopt for a text that is no selector.
    std::optional<FullList> Read() {
        std::optional<FullList> list = List(false, false);
        if (!list || m_at < m_s.size()) return std::nullopt;
        return list;
    }

private:
    char16_t Peek(size_t k = 0) const { return m_at + k < m_s.size() ? m_s[m_at + k] : kEnd; }
    bool Blanks() {
        size_t start = m_at;
        while (m_at < m_s.size() && IsAsciiSpace(m_s[m_at])) ++m_at;
        return m_at > start;
    }
    static bool Newline(char16_t c) { return c == u'\n' || c == u'\r' || c == u'\f'; }
    bool NameChar(char16_t c, char16_t next) const {
        return IsNameChar(c) || c >= 0x80 || (c == u'\\' && !Newline(next));
    }
    bool StartsName() const {
        char16_t c = Peek(), d = Peek(1);
        if (c == u'-') c = d, d = Peek(2);
        if (c == u'-') return true;
        return IsLetter(c) || c == u'_' || c >= 0x80 || (c == u'\\' && !Newline(d));
    }
    void Escape(std::u16string& out) {
        if (m_at >= m_s.size()) {
            out += u'\ufffd';
            return;
        }
        uint32_t code = 0;
        size_t digits = 0;
        auto hex = [](char16_t c) {
            return c >= u'0' && c <= u'9' ? c - u'0' : c >= u'a' && c <= u'f' ? c - u'a' + 10 : c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
        };
        while (digits < 6 && m_at < m_s.size() && hex(m_s[m_at]) >= 0) code = code * 16 + hex(m_s[m_at++]), ++digits;
        if (digits == 0) {
            out += m_s[m_at++];
            return;
        }
        char16_t c = Peek();
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\f') ++m_at;
        else if (c == u'\r') m_at += Peek(1) == u'\n' ? 2 : 1;
        if (code == 0 || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) {
            out += u'\ufffd';
        } else if (code < 0x10000) {
            out += static_cast<char16_t>(code);
        } else {
            code -= 0x10000;
            out += static_cast<char16_t>(0xd800 + (code >> 10));
            out += static_cast<char16_t>(0xdc00 + (code & 0x3ff));
        }
    }
    std::optional<std::u16string> Ident() {
        if (!StartsName()) return std::nullopt;
        std::u16string out;
        while (m_at < m_s.size() && NameChar(m_s[m_at], Peek(1))) {
            char16_t c = m_s[m_at++];
            if (c == u'\\') Escape(out);
            else out += c;
        }
        return out;
    }
    std::optional<std::u16string> Quoted() {
        char16_t quote = m_s[m_at++];
        std::u16string out;
        while (m_at < m_s.size()) {
            char16_t c = m_s[m_at++];
            if (c == quote) return out;
            if (Newline(c)) return std::nullopt;
            if (c != u'\\') out += c;
            else if (m_at >= m_s.size()) break;
            else if (Peek() == u'\n' || Peek() == u'\f') ++m_at;
            else if (Peek() == u'\r') m_at += Peek(1) == u'\n' ? 2 : 1;
            else Escape(out);
        }
        return out;
    }
    /// The text up to the parenthesis that closes the one just opened (the end of the
    /// text closes it too).
    std::optional<std::u16string> InParentheses() {
        size_t depth = 1, start = m_at;
        while (m_at < m_s.size()) {
            char16_t c = m_s[m_at++];
            if (c == u'\\') {
                ++m_at;
            } else if (c == u'"' || c == u'\'') {
                --m_at;
                if (!Quoted()) return std::nullopt;
            } else if (c == u'(') {
                ++depth;
            } else if (c == u')' && --depth == 0) {
                return std::u16string(m_s.substr(start, m_at - 1 - start));
            }
        }
        return std::u16string(m_s.substr(std::min(start, m_s.size())));
    }
    static int CombinatorOf(char16_t c) { return c == u'>' ? 1 : c == u'+' ? 2 : c == u'~' ? 3 : -1; }

    std::optional<FullList> List(bool relative, bool forgiving) {
        FullList chains;
        while (true) {
            Blanks();
            size_t start = m_at;
            std::vector<FullCompound> chain;
            if (!Chain(relative, chain)) {
                if (!forgiving) return std::nullopt;
                m_at = start;
                int depth = 0;
                for (; m_at < m_s.size(); ++m_at) {
                    char16_t c = m_s[m_at];
                    if (c == u'\\') ++m_at;
                    else if (c == u'(') ++depth;
                    else if (c == u')') {
                        if (depth-- == 0) break;
                    } else if (c == u',' && depth == 0) {
                        break;
                    }
                }
            } else {
                chains.push_back(std::move(chain));
            }
            if (Peek() != u',') break;
            ++m_at;
        }
        if (chains.empty() && !forgiving) return std::nullopt;
        return chains;
    }
    bool Chain(bool relative, std::vector<FullCompound>& chain) {
        int combinator = 0;
        if (relative && CombinatorOf(Peek()) > 0) {
            combinator = CombinatorOf(Peek());
            ++m_at;
            Blanks();
        }
        while (true) {
            FullCompound c;
            if (!Compound(c)) return false;
            c.combinator = combinator;
            chain.push_back(std::move(c));
            bool spaced = Blanks();
            char16_t next = Peek();
            if (m_at < m_s.size() && CombinatorOf(next) > 0) {
                combinator = CombinatorOf(next);
                ++m_at;
                Blanks();
            } else if (m_at >= m_s.size() || next == u',' || next == u')') {
                return true;
            } else if (spaced) {
                combinator = 0;
            } else {
                return false;
            }
        }
    }
    static void Never(FullCompound& c) { c.pseudos.emplace_back(u"-internal-never"); }
    bool Compound(FullCompound& c) {
        bool any = false;
        if (Peek() == u'*' || Peek() == u'|') {
            if (Peek() == u'*') ++m_at;
            any = true;
            if (Peek() == u'|' && Peek(1) != u'=') {
                // A namespace: "*|" is any; "|" (none) holds no element of the page.
                bool none = m_at == 0 || m_s[m_at - 1] != u'*';
                ++m_at;
                if (Peek() == u'*') ++m_at;
                else if (auto name = Ident()) c.tag = AsciiUpper(*name);
                else return false;
                if (none) Never(c);
            }
        } else if (auto name = Ident()) {
            any = true;
            if (Peek() == u'|' && Peek(1) != u'=') return false;  // no namespace prefixes are declared
            c.tag = AsciiUpper(*name);
        }
        while (m_at < m_s.size()) {
            char16_t ch = Peek();
            if (ch == u'#' || ch == u'.') {
                ++m_at;
                auto name = Ident();
                if (!name) return false;
                if (ch == u'.') {
                    c.classes.push_back(std::move(*name));
                } else if (!c.id) {
                    c.id = std::move(*name);
                } else {
                    c.attributeNames.push_back(u"id");
                    c.attributeTests.push_back(static_cast<int>(AttributeTest::Equals));
                    c.attributeValues.push_back(std::move(*name));
                }
            } else if (ch == u'[') {
                if (!Attribute(c)) return false;
            } else if (ch == u':') {
                if (!Pseudo(c)) return false;
            } else {
                break;
            }
            any = true;
        }
        return any;
    }
    bool Attribute(FullCompound& c) {
        ++m_at;
        Blanks();
        if (Peek() == u'*' && Peek(1) == u'|') m_at += 2;
        else if (Peek() == u'|' && Peek(1) != u'=') ++m_at;
        auto name = Ident();
        if (!name) return false;
        Blanks();
        char16_t op = Peek();
        int test = -1;
        if (op == u'=') test = static_cast<int>(AttributeTest::Equals);
        else if (Peek(1) == u'=') {
            switch (op) {
                case u'~': test = static_cast<int>(AttributeTest::Word); break;
                case u'|': test = static_cast<int>(AttributeTest::DashPrefix); break;
                case u'^': test = static_cast<int>(AttributeTest::Prefix); break;
                case u'$': test = static_cast<int>(AttributeTest::Suffix); break;
                case u'*': test = static_cast<int>(AttributeTest::Contains); break;
                default: break;
            }
        }
        std::u16string value;
        if (test >= 0) {
            m_at += op == u'=' ? 1 : 2;
            Blanks();
            std::optional<std::u16string> read = Peek() == u'"' || Peek() == u'\'' ? Quoted() : Ident();
            if (!read) return false;
            value = std::move(*read);
            Blanks();
            if (StartsName()) {
                if (AsciiLower(*Ident()) != u"i") return false;
                test += kAnyCase;
                value = AsciiLower(std::move(value));
            }
            Blanks();
        } else {
            test = static_cast<int>(AttributeTest::Present);
        }
        c.attributeNames.push_back(AsciiLower(std::move(*name)));
        c.attributeTests.push_back(test);
        c.attributeValues.push_back(std::move(value));
        // (The end of the text closes what is open, as CSS reads it.)
        if (m_at >= m_s.size()) return true;
        if (Peek() != u']') return false;
        ++m_at;
        return true;
    }
    bool Pseudo(FullCompound& c) {
        ++m_at;
        if (Peek() == u':') {
            ++m_at;
            auto element = Ident();
            if (!element) return false;
            std::u16string e = AsciiLower(std::move(*element));
            if (Peek() == u'(') {
                ++m_at;
                bool functional = false;
                for (std::u16string_view start : {u"part", u"slotted", u"highlight", u"cue", u"-webkit-"})
                    functional = functional || e.starts_with(start);
                if (!functional || !InParentheses()) return false;
            } else if (!OneOf(e, {u"before", u"after", u"first-line", u"first-letter", u"placeholder", u"selection",
                                  u"marker", u"backdrop", u"file-selector-button", u"cue", u"spelling-error",
                                  u"grammar-error", u"target-text"}) &&
                       !e.starts_with(u"-webkit-")) {
                return false;
            }
            Never(c);
            return true;
        }
        auto read = Ident();
        if (!read) return false;
        FullPseudo p(AsciiLower(std::move(*read)));
        if (Peek() != u'(') {
            if (OneOf(p.name, {u"before", u"after", u"first-line", u"first-letter"})) {
                p.name = u"-internal-never";
            } else if (!OneOf(p.name,
                              {u"first-child", u"last-child", u"only-child", u"first-of-type", u"last-of-type",
                               u"only-of-type", u"empty", u"root", u"scope", u"checked", u"disabled", u"enabled",
                               u"required", u"optional", u"read-only", u"read-write", u"placeholder-shown", u"link",
                               u"any-link", u"-webkit-any-link", u"focus", u"focus-within", u"target", u"defined",
                               u"default", u"indeterminate", u"valid", u"invalid", u"in-range", u"out-of-range",
                               u"hover", u"active", u"visited", u"focus-visible", u"fullscreen", u"-webkit-full-screen",
                               u"modal", u"autofill", u"-webkit-autofill", u"picture-in-picture", u"popover-open",
                               u"user-valid", u"user-invalid", u"target-within", u"host"})) {
                return false;
            }
            c.pseudos.push_back(std::move(p));
            return true;
        }
        ++m_at;
        if (OneOf(p.name, {u"not", u"is", u"where", u"-webkit-any", u"has"})) {
            auto list = List(p.name == u"has", p.name == u"is" || p.name == u"where");
            Blanks();
            if (!list || (Peek() != u')' && m_at < m_s.size())) return false;
            ++m_at;
            if (p.name == u"where" || p.name == u"-webkit-any") p.name = u"is";
            p.arg = FullPseudo::Arg::List;
            p.list = std::move(*list);
        } else if (OneOf(p.name, {u"nth-child", u"nth-last-child", u"nth-of-type", u"nth-last-of-type"})) {
            auto inside = InParentheses();
            if (!inside) return false;
            std::u16string_view nth = *inside;
            if (p.name.ends_with(u"child")) {
                // "an+b of S": the first " of " between blanks.
                for (size_t i = 0; i < inside->size();) {
                    if (!IsAsciiSpace((*inside)[i])) {
                        ++i;
                        continue;
                    }
                    size_t j = i;
                    while (j < inside->size() && IsAsciiSpace((*inside)[j])) ++j;
                    if (j + 2 < inside->size() && ((*inside)[j] | 0x20) == u'o' && ((*inside)[j + 1] | 0x20) == u'f' &&
                        IsAsciiSpace((*inside)[j + 2])) {
                        size_t k = j + 2;
                        while (k < inside->size() && IsAsciiSpace((*inside)[k])) ++k;
                        FullReader sub(std::u16string_view(*inside).substr(k));
                        auto of = sub.List(false, false);
                        if (!of || sub.m_at < sub.m_s.size()) return false;
                        p.list = std::move(*of);
                        p.hasOf = true;
                        nth = std::u16string_view(*inside).substr(0, i);
                        break;
                    }
                    i = j;
                }
            }
            if (!ReadNth(nth, p.a, p.b)) return false;
            p.arg = FullPseudo::Arg::Nth;
        } else if (p.name == u"lang" || p.name == u"dir") {
            auto words = InParentheses();
            if (!words) return false;
            p.text = AsciiLower(TrimBlanks(*words));
            if (p.text.empty() || (p.name == u"dir" && !std::all_of(p.text.begin(), p.text.end(), IsNameChar))) return false;
            p.arg = FullPseudo::Arg::Text;
        } else if (p.name == u"host" || p.name == u"host-context") {
            if (!InParentheses()) return false;
            p.name = u"-internal-never";
        } else {
            return false;
        }
        c.pseudos.push_back(std::move(p));
        return true;
    }

    std::u16string_view m_s;
    size_t m_at = 0;
};

/// A text's full reading, through a cache kept for the process; nullptr for a text that
/// is no selector.
std::shared_ptr<const FullList> CachedFullSelector(std::u16string_view text) {
    constexpr size_t kMaxCachedText = 2048, kMaxEntries = 512;
    static std::mutex mutex;
    static std::unordered_map<std::u16string, std::shared_ptr<const FullList>> cache;
    bool keep = text.size() <= kMaxCachedText;
    std::u16string key(keep ? text : std::u16string_view());
    if (keep) {
        std::lock_guard<std::mutex> lock(mutex);
        if (auto found = cache.find(key); found != cache.end()) return found->second;
    }
    std::optional<FullList> read = FullReader(text).Read();
    std::shared_ptr<const FullList> parsed = read ? std::make_shared<const FullList>(std::move(*read)) : nullptr;
    if (keep) {
        std::lock_guard<std::mutex> lock(mutex);
        if (cache.size() >= kMaxEntries) cache.clear();
        cache.emplace(std::move(key), parsed);
    }
    return parsed;
}

}  // namespace

std::optional<Selector> ParseSelectorText(std::u16string_view text) { return StrictReader(text).List(); }

std::shared_ptr<const Selector> CachedSelector(std::u16string_view text) {
    // Pages ask for the same few selectors again and again; a text too long to be one of
    // those is read each time, and the cache starts over when it is full.
    constexpr size_t kMaxCachedText = 2048, kMaxEntries = 1024;
    static std::mutex mutex;
    static std::unordered_map<std::u16string, std::shared_ptr<const Selector>> cache;
    bool keep = text.size() <= kMaxCachedText;
    std::u16string key(keep ? text : std::u16string_view());
    if (keep) {
        std::lock_guard<std::mutex> lock(mutex);
        if (auto found = cache.find(key); found != cache.end()) return found->second;
    }
    std::optional<Selector> read = ParseSelectorText(text);
    std::shared_ptr<const Selector> parsed = read ? std::make_shared<const Selector>(std::move(*read)) : nullptr;
    if (keep) {
        std::lock_guard<std::mutex> lock(mutex);
        if (cache.size() >= kMaxEntries) cache.clear();
        cache.emplace(std::move(key), parsed);
    }
    return parsed;
}

namespace {

bool StringValue(JSContext* cx, const std::u16string& s, JS::MutableHandleValue out) {
    JSString* str = s.empty() ? JS_GetEmptyString(cx) : JS_NewUCStringCopyN(cx, s.data(), s.size());
    if (!str) return false;
    out.setString(str);
    return true;
}

bool ArrayValue(JSContext* cx, const JS::HandleValueArray& items, JS::MutableHandleValue out) {
    JSObject* array = JS::NewArrayObject(cx, items);
    if (!array) return false;
    out.setObject(*array);
    return true;
}

bool CompoundValue(JSContext* cx, const SelectorCompound& c, JS::MutableHandleValue out) {
    JS::RootedValueArray<5> slots(cx);
    if (!StringValue(cx, c.tag, slots[0])) return false;
    if (c.id && !StringValue(cx, *c.id, slots[1])) return false;
    if (!c.id) slots[1].setNull();
    slots[2].setNull();
    slots[3].setNull();
    JS::RootedValueVector items(cx);
    JS::RootedValue v(cx);
    if (!c.classes.empty()) {
        for (const std::u16string& name : c.classes)
            if (!StringValue(cx, name, &v) || !items.append(v)) return false;
        if (!ArrayValue(cx, items, slots[2])) return false;
        items.clear();
    }
    if (!c.attributes.empty()) {
        for (const SelectorAttribute& a : c.attributes) {
            if (!StringValue(cx, a.name, &v) || !items.append(v) ||
                !items.append(JS::Int32Value(static_cast<int32_t>(a.test))) || !StringValue(cx, a.value, &v) ||
                !items.append(v))
                return false;
        }
        if (!ArrayValue(cx, items, slots[3])) return false;
    }
    slots[4].setBoolean(c.childOfPrevious);
    return ArrayValue(cx, slots, out);
}

bool FullListValue(JSContext* cx, const FullList& list, JS::MutableHandleValue out);

bool FullCompoundValue(JSContext* cx, const FullCompound& c, JS::MutableHandleValue out) {
    JS::RootedValueArray<6> slots(cx);
    JS::RootedValueVector items(cx);
    JS::RootedValue v(cx);
    if (!StringValue(cx, c.tag, slots[0])) return false;
    if (c.id && !StringValue(cx, *c.id, slots[1])) return false;
    if (!c.id) slots[1].setNull();
    slots[2].setNull();
    slots[3].setNull();
    slots[5].setNull();
    if (!c.classes.empty()) {
        for (const std::u16string& name : c.classes)
            if (!StringValue(cx, name, &v) || !items.append(v)) return false;
        if (!ArrayValue(cx, items, slots[2])) return false;
        items.clear();
    }
    if (!c.attributeNames.empty()) {
        for (size_t k = 0; k < c.attributeNames.size(); ++k) {
            if (!StringValue(cx, c.attributeNames[k], &v) || !items.append(v) ||
                !items.append(JS::Int32Value(c.attributeTests[k])) || !StringValue(cx, c.attributeValues[k], &v) ||
                !items.append(v))
                return false;
        }
        if (!ArrayValue(cx, items, slots[3])) return false;
        items.clear();
    }
    // (The script's form writes blank and ">" as false and true.)
    if (c.combinator < 2) slots[4].setBoolean(c.combinator == 1);
    else slots[4].setInt32(c.combinator);
    if (!c.pseudos.empty()) {
        for (const FullPseudo& p : c.pseudos) {
            if (!StringValue(cx, p.name, &v) || !items.append(v)) return false;
            switch (p.arg) {
                case FullPseudo::Arg::None: v.setNull(); break;
                case FullPseudo::Arg::Text:
                    if (!StringValue(cx, p.text, &v)) return false;
                    break;
                case FullPseudo::Arg::List:
                    if (!FullListValue(cx, p.list, &v)) return false;
                    break;
                case FullPseudo::Arg::Nth: {
                    JS::RootedValueArray<3> nth(cx);
                    nth[0].setNumber(p.a);
                    nth[1].setNumber(p.b);
                    if (!p.hasOf) nth[2].setNull();
                    else if (!FullListValue(cx, p.list, nth[2])) return false;
                    if (!ArrayValue(cx, nth, &v)) return false;
                    break;
                }
            }
            if (!items.append(v)) return false;
        }
        if (!ArrayValue(cx, items, slots[5])) return false;
    }
    return ArrayValue(cx, slots, out);
}

bool FullListValue(JSContext* cx, const FullList& list, JS::MutableHandleValue out) {
    JS::RootedValueVector chains(cx), compounds(cx);
    JS::RootedValue v(cx);
    for (const auto& chain : list) {
        compounds.clear();
        for (const FullCompound& c : chain)
            if (!FullCompoundValue(cx, c, &v) || !compounds.append(v)) return false;
        if (!ArrayValue(cx, compounds, &v) || !chains.append(v)) return false;
    }
    return ArrayValue(cx, chains, out);
}

/// host.selector(text): see DefineSelectorHost.
bool HostSelector(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedString s(cx, JS::ToString(cx, args.get(0)));
    if (!s) return false;
    size_t n = JS_GetStringLength(s);
    std::u16string text(n, u'\0');
    if (n && !JS_CopyStringChars(cx, mozilla::Range<char16_t>(text.data(), n), s)) return false;
    std::shared_ptr<const Selector> parsed = CachedSelector(text);
    if (!parsed) {
        // Every other shape, marked `full` (the host's search leaves it to the script).
        std::shared_ptr<const FullList> full = CachedFullSelector(text);
        if (!full) {
            args.rval().setNull();
            return true;
        }
        if (!FullListValue(cx, *full, args.rval())) return false;
        JS::RootedObject list(cx, &args.rval().toObject());
        return JS_DefineProperty(cx, list, "full", JS::TrueHandleValue, JSPROP_ENUMERATE);
    }
    JS::RootedValueVector chains(cx), compounds(cx);
    JS::RootedValue v(cx);
    for (const SelectorChain& chain : parsed->chains) {
        compounds.clear();
        for (const SelectorCompound& c : chain)
            if (!CompoundValue(cx, c, &v) || !compounds.append(v)) return false;
        if (!ArrayValue(cx, compounds, &v) || !chains.append(v)) return false;
    }
    return ArrayValue(cx, chains, args.rval());
}


/// The page tree searched from C++: the same reads of the page objects the script's own
/// search makes (childNodes, nodeType, parentNode, tagName, id, className, __attributes),
/// so what a script can see is alike. Where a node holds what the page objects never put
/// there themselves (a className that is no string, a getAttribute of the script's own),
/// where the chain is too long, the tree large or the search long, it gives up and the script
/// searches.
class TreeSearch {
public:
    TreeSearch(JSContext* cx, const Selector& selector, JS::HandleValue getAttribute)
        : m_cx(cx), m_selector(selector), m_getAttribute(cx, getAttribute), m_keys(cx) {}

    /// False with an exception pending.
    [[nodiscard]] bool Init() {
        static const char* const names[] = {"childNodes", "nodeType", "parentNode", "tagName",
                                            "id",         "className", "__attributes", "getAttribute"};
        for (const char* name : names) {
            JSString* atom = JS_AtomizeAndPinString(m_cx, name);
            if (!atom || !m_keys.append(JS::PropertyKey::fromPinnedString(atom))) return false;
        }
        for (const SelectorChain& chain : m_selector.chains)
            if (chain.size() > kMaxChain) m_unsure = true;
        return true;
    }
    /// True when the search gave up: the caller lets the script search.
    bool Unsure() const { return m_unsure; }

    /// Whether element `e` matches one of the selector's chains.
    [[nodiscard]] bool Matches(JS::HandleObject e, bool& yes) {
        yes = false;
        for (const SelectorChain& chain : m_selector.chains) {
            if (!Along(e, chain, chain.size() - 1, yes)) return false;
            if (yes || m_unsure) return true;
        }
        return true;
    }

    /// Whether `v` is an element (an object whose nodeType is 1).
    [[nodiscard]] bool IsElement(JS::HandleValue v, bool& yes) {
        yes = false;
        if (!v.isObject()) return true;
        JS::RootedObject o(m_cx, &v.toObject());
        JS::RootedValue type(m_cx);
        if (!Get(o, kNodeType, &type)) return false;
        yes = type.isNumber() && type.toNumber() == 1;
        return true;
    }

    /// The elements under `root` that match, in document order (only the first when `one`).
    [[nodiscard]] bool Collect(JS::HandleObject root, bool one, JS::RootedValueVector& found) {
        JS::RootedObjectVector lists(m_cx);
        std::vector<uint32_t> next, lengths;
        JS::RootedObject node(m_cx, root), list(m_cx);
        JS::RootedValue v(m_cx);
        size_t visited = 0;
        auto enter = [&](JS::HandleObject n) -> bool {
            if (!Get(n, kChildNodes, &v)) return false;
            bool isArray = false;
            if (v.isObject()) {
                list = &v.toObject();
                if (!JS::IsArrayObject(m_cx, list, &isArray)) return false;
            }
            uint32_t length = 0;
            if (!isArray) {
                m_unsure = true;
                return true;
            }
            if (!JS::GetArrayLength(m_cx, list, &length)) return false;
            if (length == 0) return true;
            if (!lists.append(list)) return false;
            next.push_back(0);
            lengths.push_back(length);
            return true;
        };
        if (!enter(node)) return false;
        while (!lists.empty() && !m_unsure) {
            if (next.back() >= lengths.back()) {
                lists.popBack();
                next.pop_back();
                lengths.pop_back();
                continue;
            }
            list = lists.back();
            if (!JS_GetElement(m_cx, list, next.back()++, &v)) return false;
            if (!v.isObject()) {
                m_unsure = true;
                break;
            }
            bool element = false, yes = false;
            if (!IsElement(v, element)) return false;
            if (!element) continue;
            // A large tree is searched faster by the script once the engine has compiled
            // its search; this one is for the small trees pages search while they start.
            if (++visited > kMaxVisits) {
                m_unsure = true;
                break;
            }
            node = &v.toObject();
            if (!Matches(node, yes)) return false;
            if (m_unsure) break;
            if (yes) {
                if (!found.append(JS::ObjectValue(*node))) return false;
                if (one) return true;
            }
            if (!enter(node)) return false;
        }
        return true;
    }

private:
    enum Key { kChildNodes, kNodeType, kParentNode, kTagName, kId, kClassName, kAttributes, kGetAttribute };
    /// Longer chains are left to the script (each compound is a level of recursion here).
    static constexpr size_t kMaxChain = 32;
    /// Elements a search looks at before it leaves the tree to the script.
    static constexpr size_t kMaxVisits = 128;
    /// Compounds a search tests before it leaves the rest to the script.
    static constexpr size_t kMaxSteps = 4096;

    [[nodiscard]] bool Get(JS::HandleObject o, Key key, JS::MutableHandleValue v) {
        return JS_GetPropertyById(m_cx, o, m_keys[key], v);
    }
    /// The characters of `v`, a string.
    [[nodiscard]] bool Chars(JS::HandleValue v, std::u16string& out) {
        JSString* s = v.toString();
        out.resize(JS_GetStringLength(s));
        return out.empty() || JS_CopyStringChars(m_cx, mozilla::Range<char16_t>(out.data(), out.size()), s);
    }
    /// Whether `v` is the text `wanted` (upper case when `upper`: ASCII case aside).
    [[nodiscard]] bool StringIs(JS::HandleValue v, std::u16string_view wanted, bool& yes, bool upper = false) {
        yes = false;
        if (!v.isString() || JS_GetStringLength(v.toString()) != wanted.size()) return true;
        if (!Chars(v, m_text)) return false;
        if (upper)
            for (char16_t& ch : m_text)
                if (ch >= u'a' && ch <= u'z') ch = static_cast<char16_t>(ch - 32);
        yes = m_text == wanted;
        return true;
    }

    /// e.getAttribute(name) as the page objects answer it; `present` false for null.
    [[nodiscard]] bool Attribute(JS::HandleObject e, const std::u16string& name, bool& present, std::u16string& value) {
        present = false;
        JS::RootedValue v(m_cx), attributes(m_cx);
        if (!Get(e, kGetAttribute, &v)) return false;
        if (!v.isObject() || !m_getAttribute.isObject() || &v.toObject() != &m_getAttribute.toObject()) {
            m_unsure = true;
            return true;
        }
        if (!Get(e, kAttributes, &attributes)) return false;
        if (!attributes.isObject()) {
            m_unsure = true;
            return true;
        }
        JS::RootedObject map(m_cx, &attributes.toObject());
        JS::RootedId key(m_cx);
        JSString* atom = JS_AtomizeUCStringN(m_cx, name.data(), name.size());
        if (!atom) return false;
        JS::RootedString keyText(m_cx, atom);
        bool own = false;
        if (!JS_StringToId(m_cx, keyText, &key) || !JS_HasOwnPropertyById(m_cx, map, key, &own)) return false;
        // An id or class given as a member rather than an attribute.
        if (!own && (name == u"class" || name == u"id")) {
            if (!Get(e, name == u"class" ? kClassName : kId, &v)) return false;
            if (!v.isString()) {
                m_unsure = true;
                return true;
            }
            if (JS_GetStringLength(v.toString()) > 0) {
                present = true;
                return Chars(v, value);
            }
        }
        if (!own) return true;
        if (!JS_GetPropertyById(m_cx, map, key, &v)) return false;
        if (!v.isString()) {
            m_unsure = true;
            return true;
        }
        present = true;
        return Chars(v, value);
    }

    [[nodiscard]] bool Compound(JS::HandleObject e, const SelectorCompound& c, bool& yes) {
        yes = false;
        // Chains of many descendant compounds over a deep tree can take very long; the
        // script's search can be stopped when a run takes too long, this one not.
        if (++m_steps > kMaxSteps) {
            m_unsure = true;
            return true;
        }
        JS::RootedValue v(m_cx);
        bool same = false;
        if (!c.tag.empty()) {
            // (Foreign elements, such as SVG's, keep their names' case.)
            if (!Get(e, kTagName, &v) || !StringIs(v, c.tag, same, !c.tagAsWritten)) return false;
            if (!same && c.tagAsWritten && v.isString() && !Chars(v, m_text)) return false;
            if (!same && c.tagAsWritten && v.isString() && m_text.size() == c.tag.size() &&
                std::none_of(m_text.begin(), m_text.end(), [](char16_t ch) { return ch >= u'a' && ch <= u'z'; })) {
                same = true;
                for (size_t k = 0; k < m_text.size() && same; ++k) {
                    char16_t want = c.tag[k];
                    same = m_text[k] == (want >= u'a' && want <= u'z' ? static_cast<char16_t>(want - 32) : want);
                }
            }
            if (!same) return true;
        }
        if (c.id) {
            if (!Get(e, kId, &v) || !StringIs(v, *c.id, same)) return false;
            if (!same) return true;
        }
        if (!c.classes.empty()) {
            if (!Get(e, kClassName, &v)) return false;
            if (!v.isString()) {
                m_unsure = true;
                return true;
            }
            if (!Chars(v, m_text)) return false;
            for (const std::u16string& wanted : c.classes)
                if (!HasWord(m_text, wanted)) return true;
        }
        std::u16string value;
        for (const SelectorAttribute& a : c.attributes) {
            bool present = false;
            if (!Attribute(e, a.name, present, value)) return false;
            if (m_unsure || !present || !AttributeHolds(a, value)) return true;
        }
        yes = true;
        return true;
    }

    /// Whether `word` stands in `text` between blanks (or its ends): ASCII white space, as
    /// a class list and [name~=word] have it.
    static bool HasWord(std::u16string_view text, std::u16string_view word) {
        auto blank = [](char16_t c) { return IsCssBlank(c); };
        for (size_t at = text.find(word); at != text.npos; at = text.find(word, at + 1)) {
            bool before = at == 0 || blank(text[at - 1]);
            bool after = at + word.size() == text.size() || blank(text[at + word.size()]);
            if (before && after) return true;
        }
        return false;
    }

    static bool AttributeHolds(const SelectorAttribute& a, std::u16string_view v) {
        std::u16string_view want = a.value;
        switch (a.test) {
            case AttributeTest::Present: return true;
            case AttributeTest::Equals: return v == want;
            case AttributeTest::Word: return HasWord(v, want);
            case AttributeTest::Prefix: return v.starts_with(want);
            case AttributeTest::Suffix: return v.ends_with(want);
            case AttributeTest::Contains: return v.find(want) != v.npos;
            case AttributeTest::DashPrefix:
                return v == want || (v.size() > want.size() && v.starts_with(want) && v[want.size()] == u'-');
        }
        return false;
    }

    /// The compound at `at` matches `e`, and the ones before it its ancestors (its parent
    /// only where ">" stands between).
    [[nodiscard]] bool Along(JS::HandleObject e, const SelectorChain& chain, size_t at, bool& yes) {
        if (!Compound(e, chain[at], yes)) return false;
        if (!yes || m_unsure || at == 0) return true;
        yes = false;
        JS::RootedValue p(m_cx);
        JS::RootedObject parent(m_cx, e);
        while (true) {
            if (!Get(parent, kParentNode, &p)) return false;
            bool element = false;
            if (!IsElement(p, element)) return false;
            if (!element) return true;
            parent = &p.toObject();
            if (!Along(parent, chain, at - 1, yes)) return false;
            if (yes || m_unsure || chain[at].childOfPrevious) return true;
        }
    }

    JSContext* m_cx;
    const Selector& m_selector;
    JS::RootedValue m_getAttribute;
    JS::RootedIdVector m_keys;
    std::u16string m_text;
    size_t m_steps = 0;
    bool m_unsure = false;
};

/// The search host.select makes for `how` (see HostSelect) and `text`; nullptr when it
/// finds nothing whatever the tree. `script` is set for a selector the host does not read.
std::shared_ptr<const Selector> QueryOf(int32_t how, const std::u16string& text, bool& script) {
    script = false;
    if (how < 4) {
        std::shared_ptr<const Selector> parsed = CachedSelector(text);
        script = !parsed;
        return parsed;
    }
    SelectorCompound c;
    switch (how) {
        case 4:  // a tag name as given, or "*"
            if (text.empty()) return nullptr;
            if (text != u"*") c.tag = text;
            c.tagAsWritten = true;
            break;
        case 5:  // blank-separated class names, all wanted
            for (size_t at = 0; at < text.size();) {
                if (IsCssBlank(text[at])) {
                    ++at;
                    continue;
                }
                size_t end = at;
                while (end < text.size() && !IsCssBlank(text[end])) ++end;
                c.classes.push_back(text.substr(at, end - at));
                at = end;
            }
            if (c.classes.empty()) return nullptr;
            break;
        case 6:  // getAttribute('name') is the text
            c.attributes.push_back({u"name", AttributeTest::Equals, text});
            break;
        default:  // 7: the id is the text
            c.id = text;
            break;
    }
    auto query = std::make_shared<Selector>();
    query->chains.push_back({std::move(c)});
    return query;
}

/// host.select(node, text, how, getAttribute): the search of a node, with `getAttribute`
/// the page objects' own. By a selector (how 0: all matching elements under the node, as
/// an array; 1: the first or null; 2: whether the node itself matches; 3: the node or its
/// nearest ancestor element that matches, or null); by a tag name (4), class names (5) or
/// a name attribute (6): all, as an array; by an id (7): the first or null. Undefined
/// where the script must search itself: a selector the host does not read, a large tree.
bool HostSelect(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isObject() || !args.get(2).isInt32() || args[2].toInt32() < 0 || args[2].toInt32() > 7) return true;
    JS::RootedObject node(cx, &args[0].toObject());
    int32_t how = args[2].toInt32();
    bool first = how == 1 || how == 7, list = !first && how != 2 && how != 3;
    JS::RootedString s(cx, JS::ToString(cx, args.get(1)));
    if (!s) return false;
    size_t n = JS_GetStringLength(s);
    std::u16string text(n, u'\0');
    if (n && !JS_CopyStringChars(cx, mozilla::Range<char16_t>(text.data(), n), s)) return false;
    bool script = false;
    std::shared_ptr<const Selector> query = QueryOf(how, text, script);
    if (script) return true;
    if (!query) {
        // Matches nothing: no need to look at the tree.
        if (list) return ArrayValue(cx, JS::HandleValueArray::empty(), args.rval());
        if (how == 2) args.rval().setBoolean(false);
        else args.rval().setNull();
        return true;
    }
    TreeSearch search(cx, *query, args.get(3));
    if (!search.Init()) return false;
    if (search.Unsure()) return true;
    JS::RootedValueVector found(cx);
    bool yes = false;
    if (how == 2) {
        if (!search.Matches(node, yes)) return false;
        if (!search.Unsure()) args.rval().setBoolean(yes);
        return true;
    }
    if (how == 3) {
        JS::RootedValue at(cx, JS::ObjectValue(*node));
        JS::RootedObject element(cx);
        while (true) {
            bool isElement = false;
            if (!search.IsElement(at, isElement)) return false;
            if (!isElement) break;
            element = &at.toObject();
            if (!search.Matches(element, yes)) return false;
            if (search.Unsure()) return true;
            if (yes) {
                args.rval().setObject(*element);
                return true;
            }
            if (!JS_GetProperty(cx, element, "parentNode", &at)) return false;
        }
        args.rval().setNull();
        return true;
    }
    if (!search.Collect(node, first, found)) return false;
    if (search.Unsure()) return true;
    if (list) return ArrayValue(cx, found, args.rval());
    if (found.empty()) args.rval().setNull();
    else args.rval().set(found[0]);
    return true;
}

}  // namespace

bool DefineSelectorHost(JSContext* cx, JS::HandleObject host) {
    return JS_DefineFunction(cx, host, "selector", HostSelector, 1, 0) &&
           JS_DefineFunction(cx, host, "select", HostSelect, 4, 0);
}

}  // namespace qy::env

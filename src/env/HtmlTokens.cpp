/** @file HtmlTokens.cpp
 * The reader keeps the stack of open elements as the full parser would and accepts a
 * token only where the parser's rules for it come down to "insert here" or "pop the
 * current node": every end tag must close the current node, a start tag that would
 * close or reopen something else (a p, a list item, a nested a or button, a second form)
 * is refused, and so is every element whose rules involve tables, templates, frames,
 * foreign content or a changed tokenizer state other than the four raw-text elements.
 * With well-nested input the list of active formatting elements never has anything to
 * rebuild, so it need not be kept.
 */
#include "env/HtmlTokens.h"

#include <algorithm>
#include <array>
#include <string>

namespace qy::env {
namespace {

/// What the parser does with an element's start tag, as far as the reader follows it.
enum class Rule : uint8_t {
    Plain,        ///< inserted where it stands
    Void,         ///< inserted and closed at once
    VoidClosesP,  ///< the same, closing an open p first (refused while one is open)
    ClosesP,      ///< closes an open p first (refused while one is open)
    Heading,      ///< closes an open p and an open heading at the current node
    PreLike,      ///< closes an open p; a line feed right after the start tag is dropped
    ListItem,     ///< closes open list items and p
    Unique,       ///< closes (or reopens) one of its name that is open
    Form,         ///< ignored while a form is open
    Option,       ///< closes an option at the current node
    Optgroup,     ///< closes an option (and in a select an optgroup) at the current node
    Select,       ///< its content is read by the select's own rules
    RawText,      ///< style: text up to its end tag, as it is
    ScriptData,   ///< script: the same, with escapes the reader does not follow
    RcData,       ///< textarea, title: text up to the end tag, references decoded
    Refuse,       ///< left to the full parser
};

struct NamedRule {
    std::string_view name;
    Rule rule;
};

constexpr std::array kRules = {
    NamedRule{"a", Rule::Unique},           NamedRule{"address", Rule::ClosesP},  NamedRule{"applet", Rule::Refuse},
    NamedRule{"area", Rule::Void},          NamedRule{"article", Rule::ClosesP},  NamedRule{"aside", Rule::ClosesP},
    NamedRule{"base", Rule::Void},          NamedRule{"basefont", Rule::Void},    NamedRule{"bgsound", Rule::Void},
    NamedRule{"blockquote", Rule::ClosesP}, NamedRule{"body", Rule::Refuse},      NamedRule{"br", Rule::Void},
    NamedRule{"button", Rule::Unique},      NamedRule{"caption", Rule::Refuse},   NamedRule{"center", Rule::ClosesP},
    NamedRule{"col", Rule::Refuse},         NamedRule{"colgroup", Rule::Refuse},  NamedRule{"dd", Rule::ListItem},
    NamedRule{"details", Rule::ClosesP},    NamedRule{"dialog", Rule::ClosesP},   NamedRule{"dir", Rule::ClosesP},
    NamedRule{"div", Rule::ClosesP},        NamedRule{"dl", Rule::ClosesP},       NamedRule{"dt", Rule::ListItem},
    NamedRule{"embed", Rule::Void},         NamedRule{"fieldset", Rule::ClosesP}, NamedRule{"figcaption", Rule::ClosesP},
    NamedRule{"figure", Rule::ClosesP},     NamedRule{"footer", Rule::ClosesP},   NamedRule{"form", Rule::Form},
    NamedRule{"frame", Rule::Refuse},       NamedRule{"frameset", Rule::Refuse},  NamedRule{"h1", Rule::Heading},
    NamedRule{"h2", Rule::Heading},         NamedRule{"h3", Rule::Heading},       NamedRule{"h4", Rule::Heading},
    NamedRule{"h5", Rule::Heading},         NamedRule{"h6", Rule::Heading},       NamedRule{"head", Rule::Refuse},
    NamedRule{"header", Rule::ClosesP},     NamedRule{"hgroup", Rule::ClosesP},   NamedRule{"hr", Rule::VoidClosesP},
    NamedRule{"html", Rule::Refuse},        NamedRule{"iframe", Rule::Refuse},    NamedRule{"image", Rule::Refuse},
    NamedRule{"img", Rule::Void},           NamedRule{"input", Rule::Void},       NamedRule{"isindex", Rule::Refuse},
    NamedRule{"keygen", Rule::Void},        NamedRule{"li", Rule::ListItem},      NamedRule{"link", Rule::Void},
    NamedRule{"listing", Rule::PreLike},    NamedRule{"main", Rule::ClosesP},     NamedRule{"marquee", Rule::Refuse},
    NamedRule{"math", Rule::Refuse},        NamedRule{"menu", Rule::ClosesP},     NamedRule{"menuitem", Rule::Refuse},
    NamedRule{"meta", Rule::Void},          NamedRule{"nav", Rule::ClosesP},      NamedRule{"nobr", Rule::Unique},
    NamedRule{"noembed", Rule::Refuse},     NamedRule{"noframes", Rule::Refuse},  NamedRule{"noscript", Rule::Refuse},
    NamedRule{"object", Rule::Refuse},      NamedRule{"ol", Rule::ClosesP},       NamedRule{"optgroup", Rule::Optgroup},
    NamedRule{"option", Rule::Option},      NamedRule{"p", Rule::ClosesP},        NamedRule{"param", Rule::Void},
    NamedRule{"plaintext", Rule::Refuse},   NamedRule{"pre", Rule::PreLike},      NamedRule{"rb", Rule::Refuse},
    NamedRule{"rp", Rule::Refuse},          NamedRule{"rt", Rule::Refuse},        NamedRule{"rtc", Rule::Refuse},
    NamedRule{"script", Rule::ScriptData},  NamedRule{"search", Rule::ClosesP},   NamedRule{"section", Rule::ClosesP},
    NamedRule{"select", Rule::Select},      NamedRule{"source", Rule::Void},      NamedRule{"style", Rule::RawText},
    NamedRule{"summary", Rule::ClosesP},    NamedRule{"svg", Rule::Refuse},       NamedRule{"table", Rule::Refuse},
    NamedRule{"tbody", Rule::Refuse},       NamedRule{"td", Rule::Refuse},        NamedRule{"template", Rule::Refuse},
    NamedRule{"textarea", Rule::RcData},    NamedRule{"tfoot", Rule::Refuse},     NamedRule{"th", Rule::Refuse},
    NamedRule{"thead", Rule::Refuse},       NamedRule{"title", Rule::RcData},     NamedRule{"tr", Rule::Refuse},
    NamedRule{"track", Rule::Void},         NamedRule{"ul", Rule::ClosesP},       NamedRule{"wbr", Rule::Void},
    NamedRule{"xmp", Rule::Refuse},
};

constexpr bool SortedRules() {
    for (size_t i = 1; i < kRules.size(); ++i)
        if (!(kRules[i - 1].name < kRules[i].name)) return false;
    return true;
}
static_assert(SortedRules(), "the rules are looked up by halving: keep them in order");

/// `name` is lower-case ASCII (the reader takes no other names).
Rule RuleOf(std::u16string_view name) {
    if (name.size() > 16) return Rule::Plain;
    char ascii[16];
    for (size_t i = 0; i < name.size(); ++i) ascii[i] = static_cast<char>(name[i]);
    std::string_view key(ascii, name.size());
    auto it = std::lower_bound(kRules.begin(), kRules.end(), key,
                               [](const NamedRule& r, std::string_view k) { return r.name < k; });
    return it != kRules.end() && it->name == key ? it->rule : Rule::Plain;
}

bool IsSpace(char16_t c) { return c == u'\t' || c == u'\n' || c == u'\f' || c == u' '; }
bool IsAlpha(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsHex(char16_t c) { return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }
char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

/// A character the input may hold for the reader: the parser reports the others (or
/// turns them into something else), so those fragments go to it.
bool Ordinary(char16_t c) {
    if (c < 0x20) return c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
    if (c >= 0x7F && c <= 0x9F) return false;
    if (c >= 0xD800 && c <= 0xDFFF) return false;  // pairs included: kept simple
    if (c >= 0xFDD0 && c <= 0xFDEF) return false;
    return c != 0xFFFE && c != 0xFFFF;
}

/// `raw` with its character references decoded into `out`: numeric ones of ordinary
/// characters and the five named ones pages write most, each ended by ";". False for
/// any other reference (the full table and its rules are the parser's).
bool Decode(std::u16string_view raw, std::u16string& out) {
    size_t amp = raw.find(u'&');
    if (amp == std::u16string_view::npos) {
        out.append(raw);
        return true;
    }
    out.reserve(out.size() + raw.size());
    size_t i = 0;
    while (i < raw.size()) {
        char16_t c = raw[i];
        if (c != u'&') {
            out.push_back(c);
            ++i;
            continue;
        }
        size_t j = i + 1;
        if (j >= raw.size() || (!IsAlpha(raw[j]) && !IsDigit(raw[j]) && raw[j] != u'#')) {
            out.push_back(u'&');  // not a reference at all
            ++i;
            continue;
        }
        if (raw[j] == u'#') {
            size_t k = j + 1;
            bool hex = k < raw.size() && (raw[k] == u'x' || raw[k] == u'X');
            if (hex) ++k;
            size_t start = k;
            uint32_t value = 0;
            while (k < raw.size() && (hex ? IsHex(raw[k]) : IsDigit(raw[k])) && k - start < 7) {
                char16_t d = raw[k];
                uint32_t digit = IsDigit(d) ? d - u'0' : (Lower(d) - u'a' + 10);
                value = value * (hex ? 16 : 10) + digit;
                ++k;
            }
            if (k == start || k >= raw.size() || raw[k] != u';') return false;
            if (value < 0x20 || (value >= 0x7F && value <= 0x9F) || (value >= 0xD800 && value <= 0xDFFF) ||
                value > 0x10FFFF || (value >= 0xFDD0 && value <= 0xFDEF) || (value & 0xFFFE) == 0xFFFE)
                return false;
            if (value >= 0x10000) {
                value -= 0x10000;
                out.push_back(static_cast<char16_t>(0xD800 + (value >> 10)));
                out.push_back(static_cast<char16_t>(0xDC00 + (value & 0x3FF)));
            } else {
                out.push_back(static_cast<char16_t>(value));
            }
            i = k + 1;
            continue;
        }
        size_t k = j;
        while (k < raw.size() && (IsAlpha(raw[k]) || IsDigit(raw[k])) && k - j < 8) ++k;
        if (k >= raw.size() || raw[k] != u';') return false;
        std::u16string_view name = raw.substr(j, k - j);
        char16_t decoded = name == u"amp"    ? u'&'
                           : name == u"lt"   ? u'<'
                           : name == u"gt"   ? u'>'
                           : name == u"quot" ? u'"'
                           : name == u"nbsp" ? u'\u00a0'
                                             : 0;
        if (!decoded) return false;
        out.push_back(decoded);
        i = k + 1;
    }
    return true;
}

class Reader {
public:
    Reader(std::u16string_view text, bool formContext) : m_in(text), m_formContext(formContext) {
        m_stack.push_back(Open{kRoot, Rule::Plain, kNone});
    }

    bool Run() {
        while (m_at < m_in.size()) {
            if (m_in[m_at] != u'<') {
                if (!ReadText()) return false;
                continue;
            }
            char16_t next = m_at + 1 < m_in.size() ? m_in[m_at + 1] : u'\0';
            bool ok = next == u'!' ? ReadComment() : next == u'/' ? ReadEndTag() : IsAlpha(next) ? ReadStartTag() : false;
            if (!ok) {
                // "<" before anything else is text ("a < b"); "<?", "<!x" and the like are not.
                if (next == u'!' || next == u'/' || next == u'?' || IsAlpha(next) || CurrentIs(u"form")) return false;
                AddText(u"<");
                ++m_at;
            }
        }
        return true;
    }

    std::vector<FragmentNode> Take() { return std::move(m_nodes); }

private:
    static constexpr size_t kRoot = SIZE_MAX;
    static constexpr size_t kNone = SIZE_MAX;
    struct Open {
        size_t node;  ///< its index in m_nodes (kRoot: the fragment's own level)
        Rule rule;
        size_t lastChild;
    };
    const std::u16string& NameOf(const Open& open) const { return m_nodes[open.node].name; }

    Open& Current() { return m_stack.back(); }
    bool InSelect() const { return HasOpen(Rule::Select); }
    bool HasOpen(Rule rule) const {
        for (size_t i = 1; i < m_stack.size(); ++i)
            if (m_stack[i].rule == rule) return true;
        return false;
    }
    bool HasOpen(std::u16string_view name) const {
        for (size_t i = 1; i < m_stack.size(); ++i)
            if (NameOf(m_stack[i]) == name) return true;
        return false;
    }
    bool CurrentIs(std::u16string_view name) const { return m_stack.size() > 1 && NameOf(m_stack.back()) == name; }

    void Add(FragmentNode node) {
        Open& parent = Current();
        if (parent.node != kRoot) ++m_nodes[parent.node].children;
        m_nodes.push_back(std::move(node));
        parent.lastChild = m_nodes.size() - 1;
    }
    void AddText(std::u16string_view text) {
        if (text.empty()) return;
        Open& parent = Current();
        if (parent.lastChild != kNone && m_nodes[parent.lastChild].kind == FragmentNode::Kind::Text) {
            m_nodes[parent.lastChild].text.append(text);
            return;
        }
        FragmentNode node;
        node.kind = FragmentNode::Kind::Text;
        node.text = std::u16string(text);
        Add(std::move(node));
    }

    bool ReadText() {
        // The full parser puts text that stands right in a form after the form: its call.
        if (CurrentIs(u"form")) return false;
        size_t end = m_in.find(u'<', m_at);
        if (end == std::u16string_view::npos) end = m_in.size();
        std::u16string decoded;
        if (!Decode(m_in.substr(m_at, end - m_at), decoded)) return false;
        AddText(decoded);
        m_at = end;
        return true;
    }

    bool ReadComment() {
        if (m_in.substr(m_at, 4) != u"<!--") return false;
        size_t start = m_at + 4, end = m_in.find(u"-->", start);
        if (end == std::u16string_view::npos) return false;
        std::u16string_view data = m_in.substr(start, end - start);
        // The comment states' corners (an abrupt end, "--!>", nested openings) are the parser's.
        if ((!data.empty() && (data.front() == u'>' || data.back() == u'-')) || data.starts_with(u"->") ||
            data.find(u"--") != std::u16string_view::npos || data.find(u"<!") != std::u16string_view::npos)
            return false;
        FragmentNode node;
        node.kind = FragmentNode::Kind::Comment;
        node.text = std::u16string(data);
        Add(std::move(node));
        m_at = end + 3;
        return true;
    }

    /// A tag's name from `at` (a letter), lower case; empty when it holds characters the
    /// reader does not take.
    std::u16string_view Name(size_t& at, std::u16string& lower) {
        size_t start = at;
        while (at < m_in.size() && !IsSpace(m_in[at]) && m_in[at] != u'/' && m_in[at] != u'>') {
            char16_t c = m_in[at];
            if (!IsAlpha(c) && !IsDigit(c) && c != u'-' && c != u'_' && c != u':' && c != u'.') return {};
            ++at;
        }
        lower.resize(at - start);
        for (size_t i = start; i < at; ++i) lower[i - start] = Lower(m_in[i]);
        return lower;
    }

    bool ReadEndTag() {
        size_t at = m_at + 2;
        if (at >= m_in.size() || !IsAlpha(m_in[at])) return false;
        std::u16string lower;
        std::u16string_view name = Name(at, lower);
        if (name.empty()) return false;
        while (at < m_in.size() && IsSpace(m_in[at])) ++at;
        if (at >= m_in.size() || m_in[at] != u'>') return false;
        if (InSelect()) {
            if (name == u"select") {
                while (m_stack.back().rule != Rule::Select) m_stack.pop_back();
                m_stack.pop_back();
            } else if (name == u"option" && CurrentIs(u"option")) {
                m_stack.pop_back();
            } else if (name == u"optgroup" && CurrentIs(u"optgroup")) {
                m_stack.pop_back();
            } else if (name == u"optgroup" && CurrentIs(u"option") && m_stack.size() > 2 &&
                       NameOf(m_stack[m_stack.size() - 2]) == u"optgroup") {
                m_stack.pop_back();
                m_stack.pop_back();
            } else {
                return false;
            }
        } else {
            // Only the current node's own end tag: the others imply end tags, reopen
            // formatting elements or are ignored, all the parser's to decide.
            if (!CurrentIs(name)) return false;
            m_stack.pop_back();
        }
        m_at = at + 1;
        return true;
    }

    bool ReadStartTag() {
        size_t at = m_at + 1;
        std::u16string lowerName;
        std::u16string_view name = Name(at, lowerName);
        if (name.empty()) return false;
        FragmentNode node;
        node.name = lowerName;
        for (;;) {
            while (at < m_in.size() && IsSpace(m_in[at])) ++at;
            if (at >= m_in.size()) return false;
            char16_t c = m_in[at];
            if (c == u'>') {
                ++at;
                break;
            }
            if (c == u'/') {
                if (at + 1 >= m_in.size() || m_in[at + 1] != u'>') return false;
                at += 2;  // on an element that is not void the parser ignores the "/"
                break;
            }
            if (!ReadAttribute(at, node)) return false;
        }
        Rule rule = RuleOf(node.name);
        bool inSelect = InSelect();
        if (inSelect && rule != Rule::Option && rule != Rule::Optgroup) return false;
        switch (rule) {
            case Rule::Refuse:
                return false;
            case Rule::ScriptData:
            case Rule::RawText:
            case Rule::RcData:
            case Rule::Plain:
            case Rule::Void:
            case Rule::Select:
                break;
            case Rule::VoidClosesP:
            case Rule::ClosesP:
            case Rule::PreLike:
                if (HasOpen(u"p")) return false;
                break;
            case Rule::Heading:
                if (HasOpen(u"p") || (m_stack.size() > 1 && m_stack.back().rule == Rule::Heading)) return false;
                break;
            case Rule::ListItem:
                if (HasOpen(u"p") || HasOpen(Rule::ListItem)) return false;
                break;
            case Rule::Unique:
                if (HasOpen(node.name)) return false;
                break;
            case Rule::Form:
                if (m_formContext || HasOpen(Rule::Form) || HasOpen(u"p")) return false;
                break;
            case Rule::Option:
                if (CurrentIs(u"option")) m_stack.pop_back();
                break;
            case Rule::Optgroup:
                if (CurrentIs(u"option")) m_stack.pop_back();
                if (inSelect && CurrentIs(u"optgroup")) m_stack.pop_back();
                break;
        }
        Add(std::move(node));
        size_t index = m_nodes.size() - 1;
        m_at = at;
        if (rule == Rule::Void || rule == Rule::VoidClosesP) return true;
        if (rule == Rule::ScriptData || rule == Rule::RawText || rule == Rule::RcData) return ReadRaw(index, rule);
        m_stack.push_back(Open{index, rule, kNone});
        if (rule == Rule::PreLike) return DropLeadingLineFeed();
        return true;
    }

    /// After pre, listing and textarea's start tags: a line feed right after is not content.
    bool DropLeadingLineFeed() {
        if (m_at < m_in.size() && m_in[m_at] == u'\n') ++m_at;
        // (A reference to a line feed there would count as one too.)
        return m_at >= m_in.size() || m_in[m_at] != u'&';
    }

    bool ReadAttribute(size_t& at, FragmentNode& node) {
        size_t start = at;
        while (at < m_in.size() && !IsSpace(m_in[at]) && m_in[at] != u'/' && m_in[at] != u'>' && m_in[at] != u'=') {
            char16_t c = m_in[at];
            if (c == u'"' || c == u'\'' || c == u'<' || c > 0x7E) return false;
            ++at;
        }
        if (at == start) return false;  // "=" where a name starts
        std::u16string name(m_in.substr(start, at - start));
        for (char16_t& c : name) c = Lower(c);
        size_t afterName = at;
        while (at < m_in.size() && IsSpace(m_in[at])) ++at;
        std::u16string value;
        if (at < m_in.size() && m_in[at] == u'=') {
            ++at;
            while (at < m_in.size() && IsSpace(m_in[at])) ++at;
            if (at >= m_in.size()) return false;
            char16_t quote = m_in[at];
            std::u16string_view raw;
            if (quote == u'"' || quote == u'\'') {
                size_t end = m_in.find(quote, at + 1);
                if (end == std::u16string_view::npos) return false;
                raw = m_in.substr(at + 1, end - at - 1);
                at = end + 1;
                if (at >= m_in.size() || (!IsSpace(m_in[at]) && m_in[at] != u'/' && m_in[at] != u'>')) return false;
            } else {
                size_t begin = at;
                while (at < m_in.size() && !IsSpace(m_in[at]) && m_in[at] != u'>') {
                    char16_t c = m_in[at];
                    if (c == u'"' || c == u'\'' || c == u'<' || c == u'=' || c == u'`') return false;
                    ++at;
                }
                if (at == begin) return false;  // "a=>": the value is missing
                raw = m_in.substr(begin, at - begin);
            }
            if (!Decode(raw, value)) return false;
        } else {
            at = afterName;
        }
        // A name given twice keeps its first value.
        for (const auto& [have, ignored] : node.attributes)
            if (have == name) return true;
        node.attributes.emplace_back(std::move(name), std::move(value));
        return true;
    }

    /// The text of script, style, textarea or title up to its end tag ("</name>" exactly;
    /// anything the parser would read otherwise is refused).
    bool ReadRaw(size_t element, Rule rule) {
        if (rule == Rule::RcData && m_nodes[element].name == u"textarea" && !DropLeadingLineFeed()) return false;
        std::u16string_view name = m_nodes[element].name;
        size_t from = m_at;
        for (size_t search = from;;) {
            size_t lt = m_in.find(u"</", search);
            if (lt == std::u16string_view::npos) return false;  // unclosed
            size_t at = lt + 2, k = 0;
            while (k < name.size() && at + k < m_in.size() && Lower(m_in[at + k]) == name[k]) ++k;
            if (k < name.size() || at + k >= m_in.size()) {
                search = lt + 2;
                continue;
            }
            char16_t after = m_in[at + k];
            if (after == u'>') {
                std::u16string_view raw = m_in.substr(from, lt - from);
                if (rule == Rule::ScriptData && raw.find(u"<!--") != std::u16string_view::npos) return false;
                std::u16string text;
                if (rule == Rule::RcData) {
                    if (!Decode(raw, text)) return false;
                } else {
                    text = std::u16string(raw);
                }
                if (!text.empty()) {
                    FragmentNode node;
                    node.kind = FragmentNode::Kind::Text;
                    node.text = std::move(text);
                    ++m_nodes[element].children;
                    m_nodes.push_back(std::move(node));
                }
                m_at = at + k + 1;
                return true;
            }
            if (IsSpace(after) || after == u'/') return false;  // an end tag with more in it
            search = lt + 2;
        }
    }

    std::u16string_view m_in;
    bool m_formContext;
    size_t m_at = 0;
    std::vector<FragmentNode> m_nodes;
    std::vector<Open> m_stack;
};

}  // namespace

std::optional<std::vector<FragmentNode>> ReadPlainFragment(std::u16string_view html, std::u16string_view context) {
    std::u16string lowerContext(context.empty() ? std::u16string_view(u"body") : context);
    for (char16_t& c : lowerContext) {
        if (c > 0x7E) return std::nullopt;
        c = Lower(c);
    }
    // Contexts that start the parser in another mode or another tokenizer state.
    Rule contextRule = RuleOf(lowerContext);
    if (lowerContext != u"body" &&
        (contextRule == Rule::Refuse || contextRule == Rule::Select || contextRule == Rule::RawText ||
         contextRule == Rule::ScriptData || contextRule == Rule::RcData))
        return std::nullopt;
    // The input stream as the parser sees it: line breaks as line feeds.
    std::u16string normalized;
    bool hasReturn = false;
    if (!html.empty() && html.front() == 0xFEFF) return std::nullopt;
    for (char16_t c : html) {
        if (!Ordinary(c)) return std::nullopt;
        hasReturn = hasReturn || c == u'\r';
    }
    if (hasReturn) {
        normalized.reserve(html.size());
        for (size_t i = 0; i < html.size(); ++i) {
            if (html[i] != u'\r') normalized.push_back(html[i]);
            else if (i + 1 >= html.size() || html[i + 1] != u'\n') normalized.push_back(u'\n');
        }
        html = normalized;
    }
    Reader reader(html, lowerContext == u"form");
    if (!reader.Run()) return std::nullopt;
    return reader.Take();
}

}  // namespace qy::env

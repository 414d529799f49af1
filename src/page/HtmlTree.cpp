/** @file HtmlTree.cpp
 * The tree comes from libgumbo, which implements the standard's tokenizer and tree
 * construction; this file only walks its result into the flat list.
 */
#include "page/HtmlTree.h"

#include <gumbo.h>

#include <algorithm>
#include <cstdint>
#include <memory>

namespace qy::page {
namespace {

struct OutputDeleter {
    const GumboOptions* options;
    void operator()(GumboOutput* out) const { gumbo_destroy_output(options, out); }
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

/// The local name of an element: the parser's own name for tags it knows, the source's
/// name (lower case) for others, SVG's names in SVG's case.
std::string ElementName(const GumboElement& e) {
    if (e.tag_namespace == GUMBO_NAMESPACE_SVG) {
        GumboStringPiece piece = e.original_tag;
        gumbo_tag_from_original_text(&piece);
        if (const char* svg = gumbo_normalize_svg_tagname(&piece)) return svg;
    }
    if (e.tag != GUMBO_TAG_UNKNOWN) return gumbo_normalized_tagname(e.tag);
    GumboStringPiece piece = e.original_tag;
    gumbo_tag_from_original_text(&piece);
    std::string_view raw(piece.data ? piece.data : "", piece.data ? piece.length : 0);
    size_t end = raw.find_first_of(" \t\n\f\r/>");
    return Lower(raw.substr(0, end));
}

HtmlItem::Space SpaceOf(GumboNamespaceEnum ns) {
    if (ns == GUMBO_NAMESPACE_SVG) return HtmlItem::Space::Svg;
    if (ns == GUMBO_NAMESPACE_MATHML) return HtmlItem::Space::MathMl;
    return HtmlItem::Space::Html;
}

/// Line and column of byte offsets in the page: the page's line breaks (CR, LF, CRLF),
/// columns in UTF-16 code units as the editor and browsers count them. Offsets asked in
/// increasing order are counted on from the last one.
class PositionCounter {
public:
    explicit PositionCounter(std::string_view text) : m_text(text) {}
    std::pair<uint32_t, uint32_t> At(size_t offset) {
        if (offset < m_at) m_at = 0, m_line = 1, m_column = 0;
        offset = std::min(offset, m_text.size());
        for (; m_at < offset; ++m_at) {
            auto c = static_cast<unsigned char>(m_text[m_at]);
            if (c == '\n' || (c == '\r' && (m_at + 1 >= m_text.size() || m_text[m_at + 1] != '\n'))) {
                ++m_line;
                m_column = 0;
            } else if (c == '\r') {
                // the CR of a CRLF: the LF ends the line
            } else if ((c & 0xC0) != 0x80) {
                m_column += c >= 0xF0 ? 2 : 1;  // four-byte sequences are two UTF-16 units
            }
        }
        return {m_line, m_column};
    }

private:
    std::string_view m_text;
    size_t m_at = 0;
    uint32_t m_line = 1;
    uint32_t m_column = 0;
};

struct WalkState {
    std::vector<HtmlItem>& out;
    PositionCounter* positions = nullptr;  ///< a whole page's; none for fragments
    const char* start = nullptr;           ///< the page's first byte
};

void Walk(const GumboNode* node, WalkState& state);

void WalkChildren(const GumboVector& children, WalkState& state, size_t parent) {
    std::vector<HtmlItem>& out = state.out;
    size_t lastChild = SIZE_MAX;
    for (unsigned i = 0; i < children.length; ++i) {
        size_t before = out.size();
        Walk(static_cast<const GumboNode*>(children.data[i]), state);
        if (out.size() == before) continue;
        // Runs of text the parser kept apart (text, then white space) are one node in a
        // browser's tree. A text has no subtree, so the last child is the item before.
        if (out[before].kind == HtmlItem::Kind::Text && lastChild != SIZE_MAX &&
            out[lastChild].kind == HtmlItem::Kind::Text) {
            out[lastChild].text += out[before].text;
            out.pop_back();
            continue;
        }
        lastChild = before;
        ++out[parent].children;
    }
}

void Walk(const GumboNode* node, WalkState& state) {
    std::vector<HtmlItem>& out = state.out;
    switch (node->type) {
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: {
            const GumboElement& e = node->v.element;
            HtmlItem item;
            item.kind = HtmlItem::Kind::Element;
            item.space = SpaceOf(e.tag_namespace);
            item.name = ElementName(e);
            for (unsigned i = 0; i < e.attributes.length; ++i) {
                const auto* a = static_cast<const GumboAttribute*>(e.attributes.data[i]);
                std::string name = a->name;
                if (a->attr_namespace == GUMBO_ATTR_NAMESPACE_XLINK) name = "xlink:" + name;
                else if (a->attr_namespace == GUMBO_ATTR_NAMESPACE_XML) name = "xml:" + name;
                else if (a->attr_namespace == GUMBO_ATTR_NAMESPACE_XMLNS && name != "xmlns") name = "xmlns:" + name;
                item.attributes.emplace_back(std::move(name), a->value);
            }
            // A script's text starts right after its start tag.
            if (state.positions && e.tag == GUMBO_TAG_SCRIPT && e.original_tag.data && e.original_tag.length &&
                e.original_tag.data >= state.start) {
                auto [line, column] = state.positions->At(
                    static_cast<size_t>(e.original_tag.data - state.start) + e.original_tag.length);
                item.line = line;
                item.column = column;
            }
            size_t at = out.size();
            out.push_back(std::move(item));
            WalkChildren(e.children, state, at);
            return;
        }
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_WHITESPACE:
        case GUMBO_NODE_CDATA: {
            HtmlItem item;
            item.kind = HtmlItem::Kind::Text;
            item.text = node->v.text.text;
            out.push_back(std::move(item));
            return;
        }
        case GUMBO_NODE_COMMENT: {
            HtmlItem item;
            item.kind = HtmlItem::Kind::Comment;
            item.text = node->v.text.text;
            out.push_back(std::move(item));
            return;
        }
        case GUMBO_NODE_DOCUMENT:
            return;
    }
}

/// The top level's items: each child of `children` as its own subtree, adjacent texts
/// merged.
void WalkTop(const GumboVector& children, WalkState& state) {
    // A placeholder parent gathers the top level; it is dropped afterwards.
    state.out.push_back(HtmlItem{});
    WalkChildren(children, state, state.out.size() - 1);
}

HtmlTree Finish(std::vector<HtmlItem>& items, size_t placeholder) {
    HtmlTree tree;
    tree.items.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        if (i != placeholder) tree.items.push_back(std::move(items[i]));
    return tree;
}

}  // namespace

HtmlTree ParseDocument(std::string_view utf8) {
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    std::unique_ptr<GumboOutput, OutputDeleter> output(gumbo_parse_with_options(&options, utf8.data(), utf8.size()),
                                                       OutputDeleter{&options});
    std::vector<HtmlItem> items;
    if (!output) return {};
    const GumboDocument& doc = output->document->v.document;
    if (doc.has_doctype) {
        HtmlItem d;
        d.kind = HtmlItem::Kind::Doctype;
        d.name = doc.name ? doc.name : "";
        d.text = doc.public_identifier ? doc.public_identifier : "";
        d.system = doc.system_identifier ? doc.system_identifier : "";
        items.push_back(std::move(d));
    }
    size_t placeholder = items.size();
    PositionCounter positions(utf8);
    WalkState state{items, &positions, utf8.data()};
    WalkTop(doc.children, state);
    return Finish(items, placeholder);
}

HtmlTree ParseFragment(std::string_view utf8, std::string_view context, bool contextIsSvg) {
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    std::string name = Lower(context);
    GumboTag tag = name.empty() ? GUMBO_TAG_BODY : gumbo_tag_enum(name.c_str());
    // An element the parser does not know reads its content as a div does.
    if (tag == GUMBO_TAG_UNKNOWN) tag = GUMBO_TAG_DIV;
    // The children of <html> as innerHTML would give them: as the body's.
    if (tag == GUMBO_TAG_HTML) tag = GUMBO_TAG_BODY;
    options.fragment_context = tag;
    options.fragment_namespace = contextIsSvg ? GUMBO_NAMESPACE_SVG : GUMBO_NAMESPACE_HTML;
    std::unique_ptr<GumboOutput, OutputDeleter> output(gumbo_parse_with_options(&options, utf8.data(), utf8.size()),
                                                       OutputDeleter{&options});
    std::vector<HtmlItem> items;
    if (!output || !output->root) return {};
    // The fragment's nodes are the children of the parser's root element.
    WalkState state{items};
    WalkTop(output->root->v.element.children, state);
    return Finish(items, 0);
}

namespace {

const char* SpacePrefix(HtmlItem::Space s) {
    return s == HtmlItem::Space::Svg ? "svg " : s == HtmlItem::Space::MathMl ? "math " : "";
}

size_t Describe(const HtmlTree& tree, size_t at, int depth, std::string& out) {
    const HtmlItem& item = tree.items[at];
    std::string indent = "| " + std::string(static_cast<size_t>(depth) * 2, ' ');
    switch (item.kind) {
        case HtmlItem::Kind::Doctype:
            out += indent + "<!DOCTYPE " + item.name;
            if (!item.text.empty() || !item.system.empty()) out += " \"" + item.text + "\" \"" + item.system + "\"";
            out += ">\n";
            break;
        case HtmlItem::Kind::Text:
            out += indent + "\"" + item.text + "\"\n";
            break;
        case HtmlItem::Kind::Comment:
            out += indent + "<!-- " + item.text + " -->\n";
            break;
        case HtmlItem::Kind::Element: {
            out += indent + "<" + SpacePrefix(item.space) + item.name + ">\n";
            auto attributes = item.attributes;
            std::sort(attributes.begin(), attributes.end());
            for (const auto& [name, value] : attributes)
                out += indent + "  " + name + "=\"" + value + "\"\n";
            int childDepth = depth + 1;
            if (item.name == "template" && item.space == HtmlItem::Space::Html) {
                out += indent + "  content\n";
                childDepth = depth + 2;
            }
            size_t next = at + 1;
            for (uint32_t k = 0; k < item.children; ++k) next = Describe(tree, next, childDepth, out);
            return next;
        }
    }
    return at + 1;
}

}  // namespace

std::string DescribeTree(const HtmlTree& tree) {
    std::string out;
    for (size_t at = 0; at < tree.items.size();) at = Describe(tree, at, 0, out);
    return out;
}

}  // namespace qy::page

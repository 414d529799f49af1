/** @file HtmlTree.h
 * Pages and fragments read as a browser reads them (the HTML parsing algorithm: implied
 * end tags, tables' bodies, foster parenting, templates, character references, foreign
 * content), given as a compact pre-order list of nodes that the page script turns into
 * its own nodes. No engine, no widgets.
 */
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qy::page {

struct HtmlItem {
    enum class Kind : uint8_t { Element = 1, Text = 3, Comment = 8, Doctype = 10 };
    enum class Space : uint8_t { Html = 0, Svg = 1, MathMl = 2 };
    Kind kind = Kind::Element;
    Space space = Space::Html;
    std::string name;    ///< an element's local name (SVG's in its own case), a doctype's name
    std::string text;    ///< a text's or comment's data; a doctype's public identifier
    std::string system;  ///< a doctype's system identifier
    std::vector<std::pair<std::string, std::string>> attributes;  ///< in source order
    uint32_t children = 0;  ///< how many items directly below (a template's: its content)
    /// Where a script element's text starts in a whole page: line from 1, column from 0
    /// in UTF-16 code units (0, 0 when unknown: fragments, elements the parser implied).
    uint32_t line = 0;
    uint32_t column = 0;
};

struct HtmlTree {
    /// Pre-order: each item is followed by its `children` subtrees; the top level's
    /// subtrees follow one another.
    std::vector<HtmlItem> items;
};

/// A whole page (UTF-8): the doctype when there is one, then the document's children.
HtmlTree ParseDocument(std::string_view utf8);

/// A fragment (UTF-8) as `innerHTML` of an element named `context` (an HTML element's
/// local name; empty or unknown reads as `body`) reads it.
HtmlTree ParseFragment(std::string_view utf8, std::string_view context, bool contextIsSvg = false);

/// The tree in the form of the parsing test suites ("| <p>", "|   \"text\"", two more
/// spaces per level; attributes sorted under their element): for tests and the log.
std::string DescribeTree(const HtmlTree& tree);

}  // namespace qy::page

/** @file HtmlTokens.h
 * A small reader for the fragments scripts give innerHTML most: well-nested tags of
 * HTML's plain elements with their attributes, text, comments, the character
 * references pages write, void elements, option lists and the raw text of script,
 * style, textarea and title. It works on the script's UTF-16 text as it is and answers
 * only where its tree is the one the full parser builds; anything else (tables, implied
 * end tags, misnested or unclosed markup inside a tag, foreign content, rarer references)
 * it leaves to the full parser by answering nothing.
 */
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qy::env {

struct FragmentNode {
    enum class Kind : uint8_t { Element = 1, Text = 3, Comment = 8 };
    Kind kind = Kind::Element;
    uint32_t children = 0;  ///< how many nodes directly below
    std::u16string name;    ///< an element's local name
    std::u16string text;    ///< a text's or comment's data
    std::vector<std::pair<std::u16string, std::u16string>> attributes;  ///< in source order, the first of a name
};

/// The nodes of `html` read as innerHTML of an HTML element named `context` (its local
/// name), in pre-order (each followed by its `children` subtrees), with adjacent texts
/// joined; nothing when the fragment or the context needs the full parser.
std::optional<std::vector<FragmentNode>> ReadPlainFragment(std::u16string_view html, std::u16string_view context);

}  // namespace qy::env

/** @file Selectors.h
 * The common shapes of selectors, parsed once per process: lists of compounds (tag,
 * #id, .class, [name], [name op value] with op one of = ~= ^= $= *= |=) joined by blanks
 * or ">", separated by commas. The environment script asks `host.selector(text)` for
 * the parsed form and walks the tree with it itself; it reads every other text (other
 * combinators, pseudo-classes, texts that are no selector) with its own reader.
 */
#pragma once

#include <jsapi.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qy::env {

/// How an attribute's value is tested; the numbers are the ones the script's matcher reads.
enum class AttributeTest : uint8_t {
    Present = 0,     ///< [name]
    Equals = 1,      ///< [name=v]
    Word = 2,        ///< [name~=v]: v is one of the blank-separated words
    Prefix = 3,      ///< [name^=v]
    Suffix = 4,      ///< [name$=v]
    Contains = 5,    ///< [name*=v]
    DashPrefix = 6,  ///< [name|=v]: v itself or v followed by "-"
};

struct SelectorAttribute {
    std::u16string name;  ///< lower case
    AttributeTest test = AttributeTest::Present;
    std::u16string value;
};

/// One compound: every part given must hold for the element.
struct SelectorCompound {
    std::u16string tag;                ///< upper case; empty for any element
    std::optional<std::u16string> id;  ///< the last #id written
    std::vector<std::u16string> classes;
    std::vector<SelectorAttribute> attributes;
    /// ">" stood before it: the compound before must match the parent, not any ancestor.
    bool childOfPrevious = false;
    /// The tag is matched as getElementsByTagName does: as written, or its upper case for
    /// an element whose name has no lower case letter (HTML's); otherwise in any case.
    bool tagAsWritten = false;
};

/// Compounds from the outermost ancestor to the element itself.
using SelectorChain = std::vector<SelectorCompound>;

/// A selector that can match: its comma-separated alternatives, in the order written
/// (alternatives with no compound left out).
struct Selector {
    std::vector<SelectorChain> chains;
};

/// Parses `text`; nullopt when it is not of the common shapes.
std::optional<Selector> ParseSelectorText(std::u16string_view text);

/// The same through a cache kept for the process (threads share it); nullptr for a
/// text not of the common shapes.
std::shared_ptr<const Selector> CachedSelector(std::u16string_view text);

/// Defines `host.selector(text)`: null for a text that is no selector, otherwise an
/// array of chains, each an array of compounds [tag, id or null, classes or null,
/// attributes or null (flat: name, test number, value, …), child of the previous]; for a
/// text outside the common shapes, as the environment's script reader gives it (compounds
/// with a combinator and pseudo-classes), marked `full`.
[[nodiscard]] bool DefineSelectorHost(JSContext* cx, JS::HandleObject host);

}  // namespace qy::env

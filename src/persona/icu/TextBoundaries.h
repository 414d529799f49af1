/** @file TextBoundaries.h
 * Text boundaries by the Unicode rules (grapheme clusters, words, sentences) from the
 * system's ICU. Kept apart from the engine's headers, which carry an ICU of their own.
 */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qy::persona {

enum class Granularity { Grapheme, Word, Sentence };

/// One segment: where it starts (UTF-16 units) and, for words, whether it is word-like.
struct Boundary {
    uint32_t start;
    bool wordLike;
};

/// The segments of `text` in `locale` ("" for the root rules), in order; empty for empty
/// text or when ICU refuses.
std::vector<Boundary> Segments(const std::u16string& text, Granularity granularity, const std::string& locale);

}  // namespace qy::persona

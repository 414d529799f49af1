/** @file TextBoundaries.h
 * Text boundaries by the Unicode rules (grapheme clusters, words, sentences, line breaks) from the
 * system's ICU. Kept apart from the engine's headers, which carry an ICU of their own.
 */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qy::persona {

enum class Granularity { Grapheme, Word, Sentence, Line };

/// One segment: where it starts (UTF-16 units) and the rule that ended it (for words,
/// 0–99 none, 100–199 a number, 200–299 letters, 300–399 kana, 400–499 ideographs).
struct Boundary {
    uint32_t start;
    int32_t status;
};

/// The segments of `text` in `locale` ("" for the root rules), in order; empty for empty
/// text or when ICU refuses.
std::vector<Boundary> Segments(const std::u16string& text, Granularity granularity, const std::string& locale);

}  // namespace qy::persona

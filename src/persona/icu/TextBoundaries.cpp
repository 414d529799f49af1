/** @file TextBoundaries.cpp
 * ICU's break iterators.
 */
#include "persona/icu/TextBoundaries.h"

#include <unicode/ubrk.h>

#include <memory>

namespace qy::persona {

std::vector<Boundary> Segments(const std::u16string& text, Granularity granularity, const std::string& locale) {
    std::vector<Boundary> out;
    if (text.empty()) return out;
    UBreakIteratorType type = granularity == Granularity::Grapheme ? UBRK_CHARACTER
                              : granularity == Granularity::Word   ? UBRK_WORD
                              : granularity == Granularity::Line   ? UBRK_LINE
                                                                   : UBRK_SENTENCE;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UBreakIterator, decltype(&ubrk_close)> it(
        ubrk_open(type, locale.c_str(), reinterpret_cast<const UChar*>(text.data()), static_cast<int32_t>(text.size()),
                  &status),
        &ubrk_close);
    if (U_FAILURE(status) || !it) return out;
    int32_t start = ubrk_first(it.get());
    for (int32_t end = ubrk_next(it.get()); end != UBRK_DONE; end = ubrk_next(it.get())) {
        // A word's rule status tells words (letters, numbers, ideographs…) from spaces
        // and punctuation.
        out.push_back({static_cast<uint32_t>(start), ubrk_getRuleStatus(it.get())});
        start = end;
    }
    return out;
}

}  // namespace qy::persona

/** @file Segmenter.h
 * The page's Intl.Segmenter asks here for the boundaries of a text.
 */
#pragma once

#include <jsapi.h>

#include "persona/icu/TextBoundaries.h"

namespace qy::persona {

/// segment(text, granularity, locale) for the persona script: [start, rule status,
/// start, rule status, …] for each segment ("grapheme", "word", "sentence" or "line").
[[nodiscard]] bool Segment(JSContext* cx, unsigned argc, JS::Value* vp);

}  // namespace qy::persona

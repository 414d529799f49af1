/** @file Segmenter.cpp
 * segment() for the persona script, over the system ICU's boundaries.
 */
#include "persona/Segmenter.h"

#include <js/Array.h>
#include <js/Conversions.h>

namespace qy::persona {

bool Segment(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedString s(cx, JS::ToString(cx, args.get(0)));
    JS::RootedString g(cx, JS::ToString(cx, args.get(1)));
    JS::RootedString l(cx, JS::ToString(cx, args.get(2)));
    if (!s || !g || !l) return false;
    std::u16string text(JS_GetStringLength(s), u'\0');
    if (!text.empty() && !JS_CopyStringChars(cx, mozilla::Range<char16_t>(text.data(), text.size()), s)) return false;
    JS::UniqueChars granularity = JS_EncodeStringToUTF8(cx, g);
    JS::UniqueChars locale = JS_EncodeStringToUTF8(cx, l);
    if (!granularity || !locale) return false;
    std::string gr = granularity.get();
    Granularity which = gr == "word"       ? Granularity::Word
                        : gr == "sentence" ? Granularity::Sentence
                        : gr == "line"     ? Granularity::Line
                                           : Granularity::Grapheme;
    std::vector<Boundary> segments = Segments(text, which, locale.get());
    JS::RootedObject array(cx, JS::NewArrayObject(cx, segments.size() * 2));
    if (!array) return false;
    for (size_t i = 0; i < segments.size(); ++i) {
        if (!JS_SetElement(cx, array, static_cast<uint32_t>(2 * i), segments[i].start) ||
            !JS_SetElement(cx, array, static_cast<uint32_t>(2 * i + 1), segments[i].status))
            return false;
    }
    args.rval().setObject(*array);
    return true;
}

}  // namespace qy::persona

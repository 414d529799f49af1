/** @file Decoders.h
 * The decoder tool's decoders. They never fail: malformed input gives whatever the
 * rules make of it.
 */
#pragma once

#include <functional>
#include <string>

namespace qy::decode {

/// JavaScript escapes: the text becomes the body of a single-quoted string literal
/// passed to unescape() in a script control of its own. Breaking the literal gives "".
std::string DecodeJsEscapes(const std::string& ansi);

/// %XX sequences into bytes; "+" stays "+"; a decoded zero byte is dropped.
std::string DecodePercent(const std::string& text);

/// Base64 in fixed groups of four. Blanks (ASCII and full-width) and line breaks are
/// removed first; `pump` runs after every group so a window stays responsive.
std::string DecodeBase64(const std::string& text, const std::function<void()>& pump = {});

}  // namespace qy::decode

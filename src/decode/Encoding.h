/** @file Encoding.h
 * UTF-8 text (a fetched script, the update description, decoded text) into the
 * workbench's text, as the platform functions do it through UTF-16.
 */
#pragma once

#include <string>
#include <string_view>

namespace qy::decode {

/// UTF-8 up to its first NUL byte into UTF-16; every invalid sequence becomes U+FFFD.
std::u16string Utf8ToWide(std::string_view utf8);
/// UTF-16 up to its first NUL unit into workbench text; a lone surrogate becomes '?'.
std::string WideToAnsi(std::u16string_view wide);
/// UTF-8 up to its first NUL byte into workbench text: every character comes through,
/// every invalid sequence becomes '?'.
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace qy::decode

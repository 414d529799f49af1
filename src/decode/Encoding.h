/** @file Encoding.h
 * UTF-8 text (a fetched script, the update description, decoded text) into the
 * workbench's CP936 text, in two steps through UTF-16 as the platform functions do.
 */
#pragma once

#include <string>
#include <string_view>

namespace qy::decode {

/// UTF-8 up to its first NUL byte into UTF-16; every invalid sequence becomes U+FFFD.
std::u16string Utf8ToWide(std::string_view utf8);
/// UTF-16 up to its first NUL unit into CP936; missing characters become '?'.
std::string WideToAnsi(std::u16string_view wide);
/// WideToAnsi(Utf8ToWide(text)).
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace qy::decode

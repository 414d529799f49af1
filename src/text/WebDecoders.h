/** @file WebDecoders.h
 * The legacy encodings a web page may name (TextDecoder, FileReader.readAsText): bytes
 * to UTF-16 as a browser decodes them, every sequence that does not decode becoming
 * U+FFFD (or failing the whole decode when asked to be strict).
 */
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qy::text {

/// Whether `encoding` (an encoding's name as the Encoding Standard gives it, lower case:
/// "gbk", "big5", "windows-1252", …) is one DecodeWeb knows. UTF-8 and UTF-16 are not
/// among them: the page objects decode those themselves.
bool IsWebEncoding(std::string_view encoding);

/// `bytes` in `encoding` as UTF-16; nullopt when the encoding is unknown or, with
/// `fatal`, when any sequence does not decode.
std::optional<std::u16string> DecodeWeb(std::string_view bytes, std::string_view encoding, bool fatal);

}  // namespace qy::text

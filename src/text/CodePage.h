/** @file CodePage.h
 * The workbench keeps its text as bytes in CP936 (GBK), whatever the Linux locale.
 * These are the only conversions between that text and the other encodings the
 * program meets at its edges: UTF-16 (script engine, Qt), UTF-8 (network, editor).
 */
#pragma once

#include <string>
#include <string_view>

namespace qy::text {

/// CP936 bytes to UTF-16, as MultiByteToWideChar(CP_ACP) does: the conversion stops at
/// the first NUL byte; a byte sequence that is not CP936 becomes '?' and never stops it.
std::u16string AnsiToWide(std::string_view ansi);

/// UTF-16 to CP936, as WideCharToMultiByte(CP_ACP) with no default character does: the
/// conversion stops at the first NUL unit; a character that CP936 lacks (and a lone
/// surrogate) becomes '?'.
std::string WideToAnsi(std::u16string_view wide);

/// UTF-8 to UTF-16 as MultiByteToWideChar(CP_UTF8): every invalid sequence (maximal
/// subpart) becomes U+FFFD; stops at the first NUL byte.
std::u16string Utf8ToUtf16(std::string_view utf8);

/// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD. Stops at the first NUL unit.
std::string Utf16ToUtf8(std::u16string_view wide);

/// CP936 workbench text to the editor's UTF-8 document, losslessly: every byte that does
/// not decode as CP936 passes through unchanged, so EditorUtf8ToAnsi gives it back.
/// NUL bytes pass through as well.
std::string AnsiToEditorUtf8(std::string_view ansi);

/// The inverse of AnsiToEditorUtf8. Valid UTF-8 characters become CP936 ('?' for a
/// character CP936 lacks); bytes that are not part of valid UTF-8 pass through unchanged.
std::string EditorUtf8ToAnsi(std::string_view utf8);

/// Convenience: CP936 text to UTF-8 (for Qt and the network edges); undecodable bytes
/// become '?'. Not lossless: use the editor conversion where bytes must survive.
std::string AnsiToUtf8(std::string_view ansi);

/// Convenience: UTF-8 to CP936 through UTF-16 (invalid sequences become '?').
std::string Utf8ToAnsiText(std::string_view utf8);

}  // namespace qy::text

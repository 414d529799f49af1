/** @file CodePage.h
 * The workbench keeps its text as bytes in its own code page, whatever the Linux locale:
 * GB18030. On every GBK character it is byte for byte GBK (CP936, including its single
 * byte 0x80 for the euro sign), and it encodes every other Unicode character as well, so
 * no valid character is lost between the workbench text and UTF-16 or UTF-8.
 * These are the only conversions between that text and the other encodings the
 * program meets at its edges: UTF-16 (script engine, Qt), UTF-8 (network, editor).
 */
#pragma once

#include <string>
#include <string_view>

namespace qy::text {

/// Workbench bytes to UTF-16, as MultiByteToWideChar(CP_ACP) does: the conversion stops
/// at the first NUL byte; a byte sequence that does not decode becomes '?' and never
/// stops it. Characters beyond the BMP become surrogate pairs.
std::u16string AnsiToWide(std::string_view ansi);

/// UTF-16 to workbench bytes: the conversion stops at the first NUL unit; every
/// character is encoded, only a lone surrogate becomes '?'.
std::string WideToAnsi(std::u16string_view wide);

/// UTF-8 to UTF-16 as MultiByteToWideChar(CP_UTF8): every invalid sequence (maximal
/// subpart) becomes U+FFFD; stops at the first NUL byte.
std::u16string Utf8ToUtf16(std::string_view utf8);

/// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD. Stops at the first NUL unit.
std::string Utf16ToUtf8(std::u16string_view wide);

/// Workbench text to the editor's UTF-8 document, losslessly: every byte that does not
/// decode (or would not come back as the same bytes) passes through unchanged, so
/// EditorUtf8ToAnsi gives it back. NUL bytes pass through as well.
std::string AnsiToEditorUtf8(std::string_view ansi);

/// The inverse of AnsiToEditorUtf8. Valid UTF-8 characters are encoded; bytes that are
/// not part of valid UTF-8 pass through unchanged.
std::string EditorUtf8ToAnsi(std::string_view utf8);

/// Convenience: workbench text to UTF-8 (for Qt and the network edges); undecodable
/// bytes become '?'. Not lossless: use the editor conversion where bytes must survive.
std::string AnsiToUtf8(std::string_view ansi);

/// UTF-8 to workbench text up to the first NUL byte: every valid character is encoded,
/// every invalid sequence (maximal subpart) becomes one '?'.
std::string Utf8ToAnsiText(std::string_view utf8);

/// Workbench text to UTF-16 for a text box that must give every byte back, as the editor
/// does: a byte that does not decode (or would not come back as the same bytes) becomes
/// the lone surrogate U+DC00 + byte, which no real text holds. NUL does not stop it.
std::u16string AnsiToWideKeepingBytes(std::string_view ansi);

/// The inverse of AnsiToWideKeepingBytes: a lone U+DC80..U+DCFF becomes its byte again,
/// everything else converts as WideToAnsi does (without stopping at NUL).
std::string WideKeepingBytesToAnsi(std::u16string_view wide);

/// True when `bytes` is valid UTF-8 from start to end (an empty text is).
bool IsValidUtf8(std::string_view bytes);

}  // namespace qy::text

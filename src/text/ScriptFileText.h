/** @file ScriptFileText.h
 * A script file's bytes into workbench text and back, the same for the window and the
 * command line. Automatic detection recognises UTF-8 (with or without a byte-order
 * mark: valid UTF-8 holding a byte of 0x80 or more) and UTF-16 with a byte-order mark;
 * anything else is taken as workbench bytes unchanged. Outside UTF-16 the text ends at
 * the first zero byte, and the result says where and how much was left out.
 */
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qy::text {

enum class FileEncoding {
    Auto,     ///< only as a choice: recognise what the bytes are
    Utf8,     ///< UTF-8 without a byte-order mark
    Utf8Bom,  ///< UTF-8 after EF BB BF
    Utf16Le,  ///< UTF-16 after FF FE
    Utf16Be,  ///< UTF-16 after FE FF
    Gbk,      ///< workbench bytes, unchanged
};

struct DecodedFile {
    std::string text;                          ///< workbench text
    FileEncoding encoding = FileEncoding::Gbk; ///< what the bytes were read as (never Auto)
    bool cut = false;                          ///< a zero byte (a zero unit in UTF-16) ended the text
    size_t keptBytes = 0;                      ///< bytes of the file before the cut (all when not cut)
    size_t droppedBytes = 0;                   ///< bytes from the cut to the end of the file
    size_t invalidSequences = 0;               ///< sequences that did not decode in an explicit UTF-8 choice
};

/// Reads a file's bytes. `choice` Utf8 (or Utf8Bom) reads UTF-8 whatever the bytes
/// (a leading byte-order mark is skipped, an invalid sequence becomes U+FFFD); Gbk takes
/// the bytes as they are; Auto (and the UTF-16 values) recognise the encoding.
DecodedFile DecodeScriptFile(std::string_view bytes, FileEncoding choice = FileEncoding::Auto);

/// Workbench text into a file's bytes in `encoding` (Auto means Gbk), with the
/// byte-order mark where the encoding has one. The text ends at its first zero byte.
/// UTF-8 keeps bytes that do not decode as they are, as the editor does.
std::string EncodeScriptFile(std::string_view text, FileEncoding encoding);

/// "UTF-8", "UTF-8 (BOM)", "UTF-16 LE", "UTF-16 BE", "GBK".
const char* EncodingName(FileEncoding encoding);

}  // namespace qy::text

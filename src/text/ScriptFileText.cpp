#include "text/ScriptFileText.h"

#include "text/CodePage.h"

namespace qy::text {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

/// The bytes up to the first zero byte, noting the cut in `file`.
std::string_view UpToZero(std::string_view bytes, DecodedFile& file) {
    size_t zero = bytes.find('\0');
    file.keptBytes = zero == std::string_view::npos ? bytes.size() : zero;
    if (zero != std::string_view::npos) {
        file.cut = true;
        file.droppedBytes = bytes.size() - zero;
        return bytes.substr(0, zero);
    }
    return bytes;
}

bool HoldsHighByte(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

/// UTF-8 to workbench text with each invalid sequence as U+FFFD, counting them. UTF-8
/// resynchronises at every lead byte, so each EF BF BD in the bytes is a real U+FFFD.
std::string Utf8ReplacingInvalid(std::string_view utf8, size_t& invalid) {
    std::u16string wide = Utf8ToUtf16(utf8);  // no zero byte is left in `utf8`
    size_t replacements = 0, genuine = 0;
    for (char16_t u : wide) replacements += u == 0xFFFD;
    for (size_t at = utf8.find("\xEF\xBF\xBD"); at != std::string_view::npos; at = utf8.find("\xEF\xBF\xBD", at + 3)) {
        ++genuine;
    }
    invalid = replacements - genuine;
    return WideToAnsi(wide);
}

void DecodeUtf16(std::string_view bytes, bool littleEndian, DecodedFile& file) {
    std::u16string wide;
    wide.reserve(bytes.size() / 2);
    size_t i = 2;
    for (; i + 1 < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        char16_t u = littleEndian ? static_cast<char16_t>(a | b << 8) : static_cast<char16_t>(a << 8 | b);
        if (u == 0) {
            file.cut = true;
            break;
        }
        wide.push_back(u);
    }
    file.keptBytes = i;
    file.droppedBytes = bytes.size() - i;
    file.text = WideToAnsi(wide);
}

void AppendUtf16(std::u16string_view wide, bool littleEndian, std::string& out) {
    for (char16_t u : wide) {
        char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out.push_back(littleEndian ? lo : hi);
        out.push_back(littleEndian ? hi : lo);
    }
}

}  // namespace

DecodedFile DecodeScriptFile(std::string_view bytes, FileEncoding choice) {
    DecodedFile file;
    const bool even = bytes.size() % 2 == 0;
    if (choice != FileEncoding::Gbk && choice != FileEncoding::Utf8 && choice != FileEncoding::Utf8Bom && even &&
        bytes.size() >= 2) {
        if (StartsWith(bytes, "\xFF\xFE")) {
            file.encoding = FileEncoding::Utf16Le;
            DecodeUtf16(bytes, true, file);
            return file;
        }
        if (StartsWith(bytes, "\xFE\xFF")) {
            file.encoding = FileEncoding::Utf16Be;
            DecodeUtf16(bytes, false, file);
            return file;
        }
    }
    std::string_view kept = UpToZero(bytes, file);
    if (choice == FileEncoding::Gbk) {
        file.text.assign(kept);
        return file;
    }
    const bool bom = StartsWith(kept, kUtf8Bom);
    std::string_view body = bom ? kept.substr(kUtf8Bom.size()) : kept;
    if (choice == FileEncoding::Utf8 || choice == FileEncoding::Utf8Bom) {
        file.encoding = bom ? FileEncoding::Utf8Bom : FileEncoding::Utf8;
        file.text = Utf8ReplacingInvalid(body, file.invalidSequences);
        return file;
    }
    if (IsValidUtf8(body) && (bom || HoldsHighByte(body))) {
        file.encoding = bom ? FileEncoding::Utf8Bom : FileEncoding::Utf8;
        file.text = EditorUtf8ToAnsi(body);
        return file;
    }
    file.text.assign(kept);
    return file;
}

std::string EncodeScriptFile(std::string_view text, FileEncoding encoding) {
    size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    switch (encoding) {
        case FileEncoding::Utf8: return AnsiToEditorUtf8(text);
        case FileEncoding::Utf8Bom: return std::string(kUtf8Bom) + AnsiToEditorUtf8(text);
        case FileEncoding::Utf16Le:
        case FileEncoding::Utf16Be: {
            const bool le = encoding == FileEncoding::Utf16Le;
            std::string out = le ? "\xFF\xFE" : "\xFE\xFF";
            AppendUtf16(AnsiToWide(text), le, out);
            return out;
        }
        case FileEncoding::Auto:
        case FileEncoding::Gbk: break;
    }
    return std::string(text);
}

const char* EncodingName(FileEncoding encoding) {
    switch (encoding) {
        case FileEncoding::Utf8: return "UTF-8";
        case FileEncoding::Utf8Bom: return "UTF-8 (BOM)";
        case FileEncoding::Utf16Le: return "UTF-16 LE";
        case FileEncoding::Utf16Be: return "UTF-16 BE";
        case FileEncoding::Auto:
        case FileEncoding::Gbk: break;
    }
    return "GBK";
}

}  // namespace qy::text

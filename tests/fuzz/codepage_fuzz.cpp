// The code page conversions on arbitrary bytes and UTF-16 units: the lossless pairs give
// their input back, the UTF-8 they write is valid, every valid character survives a trip
// through the workbench's code page. The web's decoders read any bytes in any encoding.
#include "FuzzSupport.h"
#include "text/CodePage.h"
#include "text/WebDecoders.h"

using namespace qy::text;

namespace {

bool IsSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDFFF; }

/// `wide` up to its first NUL unit with every lone surrogate as '?': what a trip through
/// the code page keeps of it.
std::u16string KeptOfWide(std::u16string_view wide) {
    std::u16string out;
    for (size_t i = 0; i < wide.size() && wide[i] != 0; ++i) {
        char16_t u = wide[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            out.push_back(u);
            out.push_back(wide[++i]);
        } else {
            out.push_back(IsSurrogate(u) ? u'?' : u);
        }
    }
    return out;
}

bool HasLoneSurrogate(std::u16string_view wide) {
    for (size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            ++i;
        } else if (IsSurrogate(wide[i])) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = qy::fuzz::Bytes(data, size);
    const std::string_view upToNul = bytes.substr(0, bytes.find('\0'));

    // The editor's and the text boxes' conversions give every byte back, NUL included.
    QY_FUZZ_CHECK(EditorUtf8ToAnsi(AnsiToEditorUtf8(bytes)) == bytes);
    QY_FUZZ_CHECK(WideKeepingBytesToAnsi(AnsiToWideKeepingBytes(bytes)) == bytes);

    // Whatever the bytes, the UTF-8 written is valid and the UTF-16 read holds no lone
    // surrogate; a valid character comes back as it was.
    QY_FUZZ_CHECK(IsValidUtf8(AnsiToUtf8(bytes)));
    const std::u16string fromAnsi = AnsiToWide(bytes);
    QY_FUZZ_CHECK(!HasLoneSurrogate(fromAnsi));
    QY_FUZZ_CHECK(fromAnsi.find(u'\0') == std::u16string::npos);
    QY_FUZZ_CHECK(AnsiToWide(WideToAnsi(fromAnsi)) == fromAnsi);

    // UTF-8 in: read up to the NUL, invalid sequences replaced, valid text kept exactly.
    const std::u16string fromUtf8 = Utf8ToUtf16(bytes);
    QY_FUZZ_CHECK(!HasLoneSurrogate(fromUtf8));
    QY_FUZZ_CHECK(IsValidUtf8(Utf16ToUtf8(fromUtf8)));
    if (IsValidUtf8(upToNul)) {
        QY_FUZZ_CHECK(Utf16ToUtf8(fromUtf8) == upToNul);
        QY_FUZZ_CHECK(Utf8ToAnsiText(bytes) == WideToAnsi(fromUtf8));
        QY_FUZZ_CHECK(AnsiToUtf8(Utf8ToAnsiText(bytes)) == upToNul);
    }
    const std::string ansiText = Utf8ToAnsiText(bytes);
    QY_FUZZ_CHECK(ansiText.find('\0') == std::string::npos);
    QY_FUZZ_CHECK(IsValidUtf8(AnsiToUtf8(ansiText)));

    // UTF-16 in: every character but a lone surrogate survives the code page and UTF-8.
    const std::u16string units = qy::fuzz::Units(data, size);
    const std::u16string kept = KeptOfWide(units);
    QY_FUZZ_CHECK(AnsiToWide(WideToAnsi(units)) == kept);
    const std::string utf8 = Utf16ToUtf8(units);
    QY_FUZZ_CHECK(IsValidUtf8(utf8));
    if (!HasLoneSurrogate(units.substr(0, units.find(u'\0')))) QY_FUZZ_CHECK(Utf8ToUtf16(utf8) == kept);

    // The web's decoders: the first byte picks the encoding; a lenient decode always
    // answers, a strict one answers only what decodes the same leniently.
    static const char* const kWeb[] = {"gbk", "gb18030", "big5", "shift_jis", "euc-jp", "iso-2022-jp", "euc-kr",
                                       "windows-1252", "windows-1251", "koi8-r", "x-user-defined", "iso-8859-8"};
    if (!bytes.empty()) {
        const char* encoding = kWeb[static_cast<unsigned char>(bytes[0]) % (sizeof kWeb / sizeof kWeb[0])];
        const std::string_view rest = bytes.substr(1);
        const std::optional<std::u16string> lenient = DecodeWeb(rest, encoding, false);
        QY_FUZZ_CHECK(lenient.has_value());
        const std::optional<std::u16string> strict = DecodeWeb(rest, encoding, true);
        if (strict) QY_FUZZ_CHECK(*strict == *lenient);
    }
    return 0;
}

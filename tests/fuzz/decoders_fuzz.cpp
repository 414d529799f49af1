// The decoder tool's decoders on arbitrary text: URL decoding never grows the text and
// leaves text without '%' alone; Base64 gives back any bytes it was given encoded, and
// spoilt input stays within its bound; the JavaScript escapes decode the %XX and %uXXXX
// of any bytes and units as the workbench's text of those characters.
#include <cctype>

#include "FuzzEngine.h"
#include "FuzzSupport.h"
#include "decode/Decoders.h"
#include "text/CodePage.h"

using namespace qy::decode;

namespace {

constexpr const char* kHex = "0123456789ABCDEF";
constexpr const char* kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(std::string_view bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t n = static_cast<uint8_t>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) n |= static_cast<uint8_t>(bytes[i + 2]);
        out += kBase64[n >> 18 & 63];
        out += kBase64[n >> 12 & 63];
        out += i + 1 < bytes.size() ? kBase64[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
    }
    return out;
}

void CheckPercent(std::string_view bytes) {
    const std::string text(bytes);
    const std::string decoded = DecodePercent(text);
    QY_FUZZ_CHECK(decoded.size() <= text.size());
    if (text.find('%') == std::string::npos) QY_FUZZ_CHECK(decoded == text);

    // Every byte but zero comes back from its %XX, whatever the case of the digits.
    std::string escaped, expected;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        escaped += '%';
        escaped += i % 2 ? kHex[b >> 4] : static_cast<char>(std::tolower(kHex[b >> 4]));
        escaped += kHex[b & 15];
        if (b) expected += static_cast<char>(b);
    }
    QY_FUZZ_CHECK(DecodePercent(escaped) == expected);
}

void CheckBase64(std::string_view bytes) {
    const std::string text(bytes);
    size_t pumps = 0;
    const std::string decoded = DecodeBase64(text, [&] { ++pumps; });
    QY_FUZZ_CHECK(decoded.size() <= 3 * pumps);
    QY_FUZZ_CHECK(pumps <= text.size() / 4 + 1);

    // Encoded bytes come back, also broken into lines of 76 with CR LF and spaced out.
    const std::string encoded = Base64(bytes);
    QY_FUZZ_CHECK(DecodeBase64(encoded) == text);
    std::string wrapped;
    for (size_t i = 0; i < encoded.size(); i += 76) wrapped += encoded.substr(i, 76) + "\r\n ";
    QY_FUZZ_CHECK(DecodeBase64(wrapped) == text);
}

void CheckJsEscapes(const uint8_t* data, size_t size) {
    // Text that cannot close the string literal (no quote, no line break, no backslash)
    // and holds only printable ASCII comes back as it is once its '%' are escaped.
    std::string plain, plainEscaped;
    for (size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c < 0x20 || c > 0x7E || c == '\'' || c == '\\') continue;
        plain += c;
        plainEscaped += c == '%' ? std::string("%25") : std::string(1, c);
    }
    QY_FUZZ_CHECK(DecodeJsEscapes(plainEscaped) == plain);

    // Any units written as escapes, unescape's %uXXXX and the literal's own \uXXXX in
    // turn, give their workbench text (a lone surrogate as '?', up to a NUL).
    const std::u16string units = qy::fuzz::Units(data, size);
    std::string escaped;
    for (size_t i = 0; i < units.size(); ++i) {
        escaped += i % 2 ? "\\u" : "%u";
        for (int shift = 12; shift >= 0; shift -= 4) escaped += kHex[units[i] >> shift & 15];
    }
    QY_FUZZ_CHECK(DecodeJsEscapes(escaped) == qy::text::WideToAnsi(units));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qy::fuzz::StartEngineForRun();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = qy::fuzz::Bytes(data, size);
    CheckPercent(bytes);
    CheckBase64(bytes);
    CheckJsEscapes(data, size);
    return 0;
}

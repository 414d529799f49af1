#include "text/WebDecoders.h"

#include <cerrno>
#include <iconv.h>

namespace qy::text {
namespace {

struct Encoding {
    const char* name;   // the Encoding Standard's name
    const char* iconv;  // the C library's converter for it (null: decoded here)
};

// The single-byte and multi-byte encodings browsers decode, and the converters that
// decode them as the Encoding Standard's tables do (gbk is decoded as gb18030, as
// browsers do; shift_jis and euc-kr are Windows's extended forms of them).
constexpr Encoding kEncodings[] = {
    {"gbk", "GB18030"},          {"gb18030", "GB18030"},     {"big5", "BIG5-HKSCS"},     {"shift_jis", "CP932"},
    {"euc-jp", "EUC-JP"},        {"iso-2022-jp", "ISO-2022-JP"}, {"euc-kr", "CP949"},    {"windows-874", "CP874"},
    {"windows-1250", "CP1250"},  {"windows-1251", "CP1251"}, {"windows-1252", nullptr},  {"windows-1253", "CP1253"},
    {"windows-1254", "CP1254"},  {"windows-1255", "CP1255"}, {"windows-1256", "CP1256"}, {"windows-1257", "CP1257"},
    {"windows-1258", "CP1258"},  {"iso-8859-2", "ISO-8859-2"}, {"iso-8859-3", "ISO-8859-3"}, {"iso-8859-4", "ISO-8859-4"},
    {"iso-8859-5", "ISO-8859-5"}, {"iso-8859-6", "ISO-8859-6"}, {"iso-8859-7", "ISO-8859-7"}, {"iso-8859-8", "ISO-8859-8"},
    {"iso-8859-8-i", "ISO-8859-8"}, {"iso-8859-10", "ISO-8859-10"}, {"iso-8859-13", "ISO-8859-13"},
    {"iso-8859-14", "ISO-8859-14"}, {"iso-8859-15", "ISO-8859-15"}, {"iso-8859-16", "ISO-8859-16"},
    {"koi8-r", "KOI8-R"},        {"koi8-u", "KOI8-U"},       {"ibm866", "CP866"},        {"macintosh", "MACINTOSH"},
    {"x-mac-cyrillic", "MAC-CYRILLIC"}, {"x-user-defined", nullptr},
};

const Encoding* Find(std::string_view name) {
    for (const Encoding& e : kEncodings)
        if (name == e.name) return &e;
    return nullptr;
}

// windows-1252's upper half where it differs from Latin-1 (0x80..0x9F); the five bytes
// Windows leaves undefined decode as the C1 controls of their value.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::u16string Windows1252(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out.push_back(b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : static_cast<char16_t>(b));
    }
    return out;
}

std::u16string UserDefined(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out.push_back(b < 0x80 ? static_cast<char16_t>(b) : static_cast<char16_t>(0xF780 + b - 0x80));
    }
    return out;
}

/// The converter, closed when done.
class Converter {
public:
    explicit Converter(const char* from) : m_cd(iconv_open("UTF-16LE", from)) {}
    ~Converter() {
        if (ok()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

/// Where the next 0x80 that stands where a character starts is in gbk text from `at`
/// (the end when there is none): a two-byte code's second byte may be 0x80 too.
size_t LeadEuro(std::string_view bytes, size_t at) {
    while (at < bytes.size()) {
        auto b = static_cast<unsigned char>(bytes[at]);
        if (b == 0x80) return at;
        if (b < 0x80) {
            ++at;
            continue;
        }
        bool four = at + 1 < bytes.size() && bytes[at + 1] >= '0' && bytes[at + 1] <= '9';
        at += four ? 4 : 2;
    }
    return bytes.size();
}

std::optional<std::u16string> Convert(std::string_view bytes, const char* from, bool gbk, bool fatal) {
    Converter cd(from);
    if (!cd.ok()) return std::nullopt;
    std::u16string out;
    out.reserve(bytes.size());
    char buffer[4096];
    size_t at = 0;
    auto flush = [&](const char* end) {
        for (const char* p = buffer; p + 1 < end; p += 2)
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8));
    };
    while (at < bytes.size()) {
        // gb18030's (and gbk's) single byte 0x80 is the euro sign, as browsers read it.
        if (gbk && static_cast<unsigned char>(bytes[at]) == 0x80) {
            out.push_back(0x20AC);
            ++at;
            continue;
        }
        char* src = const_cast<char*>(bytes.data() + at);
        size_t left = bytes.size() - at;
        if (gbk) left = LeadEuro(bytes, at) - at;  // (the converter would refuse it)
        size_t before = left;
        char* dst = buffer;
        size_t room = sizeof buffer;
        size_t rc = iconv(cd.get(), &src, &left, &dst, &room);
        int error = rc == static_cast<size_t>(-1) ? errno : 0;
        flush(dst);
        at += before - left;
        if (error == E2BIG || error == 0) continue;
        // A sequence that does not decode (or is cut short at the end) is one U+FFFD;
        // decoding goes on at the next byte, so that an ASCII byte after a lead byte
        // stands for itself.
        if (fatal) return std::nullopt;
        out.push_back(0xFFFD);
        if (error == EINVAL) break;
        ++at;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    // A stateful encoding's pending shift.
    char* dst = buffer;
    size_t room = sizeof buffer;
    iconv(cd.get(), nullptr, nullptr, &dst, &room);
    flush(dst);
    return out;
}

}  // namespace

bool IsWebEncoding(std::string_view encoding) { return Find(encoding) != nullptr; }

std::optional<std::u16string> DecodeWeb(std::string_view bytes, std::string_view encoding, bool fatal) {
    const Encoding* e = Find(encoding);
    if (!e) return std::nullopt;
    if (!e->iconv) return encoding == "windows-1252" ? Windows1252(bytes) : UserDefined(bytes);
    return Convert(bytes, e->iconv, encoding == "gbk" || encoding == "gb18030", fatal);
}

}  // namespace qy::text

/** @file CodePage.cpp
 * CP936 tables are built once from glibc's iconv and then used directly: a script of
 * several megabytes converts without one iconv call per character.
 */
#include "text/CodePage.h"

#include <iconv.h>

#include <array>
#include <memory>
#include <mutex>

namespace qy::text {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

/// Decoding table (byte or byte pair to UTF-16 unit, 0 = undefined) and its inverse.
struct Cp936Tables {
    std::array<char16_t, 256> single{};            // 0 for lead bytes and undefined bytes
    std::array<bool, 256> isLead{};
    std::unique_ptr<char16_t[]> pair;              // index (lead << 8) | trail
    std::unique_ptr<uint16_t[]> encode;            // UTF-16 unit -> bytes (hi<<8|lo), 0 = none

    Cp936Tables() : pair(new char16_t[65536]()), encode(new uint16_t[65536]()) {
        iconv_t cd = iconv_open("UTF-16LE", "CP936");
        auto decode = [&](const unsigned char* in, size_t n) -> char16_t {
            char buf[8];
            char* src = const_cast<char*>(reinterpret_cast<const char*>(in));
            size_t srcLeft = n;
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0 ||
                dstLeft != sizeof buf - 2) {
                return 0;
            }
            return static_cast<char16_t>(static_cast<unsigned char>(buf[0]) |
                                         (static_cast<unsigned char>(buf[1]) << 8));
        };
        for (int b = 0; b < 128; ++b) single[b] = static_cast<char16_t>(b);
        for (int b = 128; b < 256; ++b) {
            unsigned char in[1] = {static_cast<unsigned char>(b)};
            single[b] = decode(in, 1);
            isLead[b] = b >= 0x81 && b <= 0xFE;
            if (isLead[b]) single[b] = 0;
        }
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
                char16_t u = decode(in, 2);
                pair[(lead << 8) | trail] = u;
            }
        }
        iconv_close(cd);
        // Inverse: the first byte sequence that decodes to a unit wins; single bytes first.
        for (int b = 1; b < 256; ++b) {
            if (single[b] && !encode[single[b]]) encode[single[b]] = static_cast<uint16_t>(b);
        }
        for (int code = 0x8140; code <= 0xFEFE; ++code) {
            char16_t u = pair[code];
            if (u && !encode[u]) encode[u] = static_cast<uint16_t>(code);
        }
    }

    /// Decodes one character at s[i]; returns the bytes used (0 = the byte does not decode).
    size_t Decode(std::string_view s, size_t i, char16_t& out) const {
        auto b = static_cast<unsigned char>(s[i]);
        if (!isLead[b]) {
            out = single[b];
            return (out || b == 0) ? 1 : 0;
        }
        if (i + 1 >= s.size()) return 0;
        auto t = static_cast<unsigned char>(s[i + 1]);
        out = pair[(b << 8) | t];
        if (!out) return 0;
        // A pair that would not come back as the same bytes is kept as raw bytes.
        return encode[out] == ((b << 8) | t) ? 2 : 0;
    }

    void Encode(char16_t u, std::string& out) const {
        uint16_t code = encode[u];
        if (u == 0) {
            out.push_back('\0');
        } else if (code == 0) {
            out.push_back('?');
        } else if (code < 256) {
            out.push_back(static_cast<char>(code));
        } else {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        }
    }
};

const Cp936Tables& Tables() {
    static const Cp936Tables tables;
    return tables;
}

/// Reads one UTF-8 character at s[i]; returns its length, or 0 when the bytes at i are not
/// a valid sequence (then `invalidLength` is the maximal subpart to replace).
size_t ReadUtf8(std::string_view s, size_t i, char32_t& cp, size_t& invalidLength) {
    auto at = [&](size_t k) -> unsigned { return static_cast<unsigned char>(s[k]); };
    unsigned b = at(i);
    invalidLength = 1;
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    size_t need;
    unsigned lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        cp = b & 0x0F;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        cp = b & 0x07;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    for (size_t k = 1; k <= need; ++k) {
        if (i + k >= s.size()) return 0;
        unsigned c = at(i + k);
        unsigned low = k == 1 ? lo : 0x80, high = k == 1 ? hi : 0xBF;
        if (c < low || c > high) return 0;
        invalidLength = k + 1;
        cp = (cp << 6) | (c & 0x3F);
    }
    return need + 1;
}

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string_view UpToNul(std::string_view s) {
    size_t n = s.find('\0');
    return n == std::string_view::npos ? s : s.substr(0, n);
}

std::u16string_view UpToNul(std::u16string_view s) {
    size_t n = s.find(u'\0');
    return n == std::u16string_view::npos ? s : s.substr(0, n);
}

}  // namespace

std::u16string AnsiToWide(std::string_view ansi) {
    ansi = UpToNul(ansi);
    const auto& t = Tables();
    std::u16string out;
    out.reserve(ansi.size());
    for (size_t i = 0; i < ansi.size();) {
        char16_t u;
        size_t used = t.Decode(ansi, i, u);
        if (used == 0) {
            out.push_back(u'?');
            ++i;
        } else {
            out.push_back(u);
            i += used;
        }
    }
    return out;
}

std::string WideToAnsi(std::u16string_view wide) {
    wide = UpToNul(wide);
    const auto& t = Tables();
    std::string out;
    out.reserve(wide.size() * 2);
    for (size_t i = 0; i < wide.size(); ++i) {
        char16_t u = wide[i];
        if (u >= 0xD800 && u <= 0xDFFF) {
            // CP936 has no characters outside the BMP: a surrogate pair is one '?'.
            if (u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) ++i;
            out.push_back('?');
            continue;
        }
        t.Encode(u, out);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    utf8 = UpToNul(utf8);
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp;
        size_t bad;
        size_t used = ReadUtf8(utf8, i, cp, bad);
        if (used == 0) {
            out.push_back(kReplacement);
            i += bad;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += used;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view wide) {
    wide = UpToNul(wide);
    std::string out;
    out.reserve(wide.size() * 3);
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t cp = wide[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        AppendUtf8(cp, out);
    }
    return out;
}

std::string AnsiToEditorUtf8(std::string_view ansi) {
    const auto& t = Tables();
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 2);
    for (size_t i = 0; i < ansi.size();) {
        auto b = static_cast<unsigned char>(ansi[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        char16_t u;
        size_t used = t.Decode(ansi, i, u);
        if (used == 0) {
            out.push_back(static_cast<char>(b));
            ++i;
        } else {
            AppendUtf8(u, out);
            i += used;
        }
    }
    return out;
}

std::string EditorUtf8ToAnsi(std::string_view utf8) {
    const auto& t = Tables();
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        char32_t cp;
        size_t bad;
        size_t used = ReadUtf8(utf8, i, cp, bad);
        if (used == 0) {
            out.push_back(static_cast<char>(b));
            ++i;
        } else {
            if (cp >= 0x10000) {
                out.push_back('?');
            } else {
                t.Encode(static_cast<char16_t>(cp), out);
            }
            i += used;
        }
    }
    return out;
}

std::string AnsiToUtf8(std::string_view ansi) { return Utf16ToUtf8(AnsiToWide(ansi)); }

std::string Utf8ToAnsiText(std::string_view utf8) { return WideToAnsi(Utf8ToUtf16(utf8)); }

}  // namespace qy::text

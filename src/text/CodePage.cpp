/** @file CodePage.cpp
 * The code page's tables are built once from glibc's GB18030 converter and then used
 * directly: a script of several megabytes converts without one iconv call per character.
 *
 * Byte sequences: 00-7F single; 80 single (the euro sign, as GBK has it); lead 81-FE with
 * a trail 40-7E or 80-FE; lead 81-FE, digit, lead, digit for four bytes. Four-byte codes
 * from 81 30 81 30 cover the rest of the BMP in order, those from 90 30 81 30 the planes
 * beyond it.
 */
#include "text/CodePage.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <algorithm>
#include <unordered_map>
#include <vector>

namespace qy::text {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char32_t kEuro = 0x20AC;

/// Four-byte codes: 126 * 10 * 126 * 10 positions per leading pair of bytes.
constexpr uint32_t kFourBmpCount = 39420;       // 81 30 81 30 .. 84 31 A4 39
constexpr uint32_t kFourSupplementaryFirst = 189000;  // linear position of 90 30 81 30

/// Private-use characters that the current GB18030 tables no longer give a code (their
/// two-byte codes went to other characters). The first eighteen take the four-byte codes
/// that those characters had before, which decode to nothing otherwise; the last six
/// take the first four-byte codes after the BMP range, which GB18030 leaves unassigned.
struct PrivateUse {
    char16_t unit;
    uint32_t linear;  // linear position of the four-byte code
};
constexpr uint32_t Linear(uint32_t code) {
    return ((((code >> 24) & 0xFF) - 0x81) * 10 + (((code >> 16) & 0xFF) - 0x30)) * 1260 +
           (((code >> 8) & 0xFF) - 0x81) * 10 + ((code & 0xFF) - 0x30);
}
constexpr PrivateUse kPrivateUse[] = {
    {0xE81E, Linear(0x82359037)}, {0xE826, Linear(0x82359038)}, {0xE82B, Linear(0x82359039)},
    {0xE82C, Linear(0x82359130)}, {0xE832, Linear(0x82359131)}, {0xE843, Linear(0x82359132)},
    {0xE854, Linear(0x82359133)}, {0xE864, Linear(0x82359134)}, {0xE78D, Linear(0x84318236)},
    {0xE78E, Linear(0x84318237)}, {0xE78F, Linear(0x84318238)}, {0xE790, Linear(0x84318239)},
    {0xE791, Linear(0x84318330)}, {0xE792, Linear(0x84318331)}, {0xE793, Linear(0x84318332)},
    {0xE794, Linear(0x84318333)}, {0xE795, Linear(0x84318334)}, {0xE796, Linear(0x84318335)},
    {0xE816, kFourBmpCount + 0},  {0xE817, kFourBmpCount + 1},  {0xE818, kFourBmpCount + 2},
    {0xE831, kFourBmpCount + 3},  {0xE83B, kFourBmpCount + 4},  {0xE855, kFourBmpCount + 5},
};
constexpr uint32_t kFourTableSize = kFourBmpCount + 6;

uint32_t FourByteCode(uint32_t linear) {
    uint32_t b4 = 0x30 + linear % 10;
    linear /= 10;
    uint32_t b3 = 0x81 + linear % 126;
    linear /= 126;
    uint32_t b2 = 0x30 + linear % 10;
    uint32_t b1 = 0x81 + linear / 10;
    return b1 << 24 | b2 << 16 | b3 << 8 | b4;
}

/// Decoding tables (0 = undefined) and the encoding of every BMP unit.
struct Tables {
    std::unique_ptr<char32_t[]> pair;    // index (lead << 8) | trail
    std::unique_ptr<char16_t[]> four;    // linear position of a four-byte code in the BMP range
    std::unique_ptr<uint32_t[]> encode;  // BMP unit -> code (one, two or four bytes), 0 = none
    std::unordered_map<char32_t, uint16_t> supplementaryPairs;  // characters beyond the BMP with two-byte codes

    Tables() : pair(new char32_t[65536]()), four(new char16_t[kFourTableSize]()), encode(new uint32_t[65536]()) {
        iconv_t cd = iconv_open("UTF-32LE", "GB18030");
        auto decode = [&](const unsigned char* in, size_t n) -> char32_t {
            char buf[16];
            char* src = const_cast<char*>(reinterpret_cast<const char*>(in));
            size_t srcLeft = n;
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0 ||
                dstLeft != sizeof buf - 4) {
                return 0;
            }
            auto at = [&](int k) { return static_cast<char32_t>(static_cast<unsigned char>(buf[k])); };
            return at(0) | at(1) << 8 | at(2) << 16 | at(3) << 24;
        };
        // A row of codes of one width decoded in one call: each gives one character
        // (four bytes of UTF-32) when all of them decode; false sends the row to `decode`
        // code by code.
        std::vector<char> wide;
        auto decodeRow = [&](const std::vector<unsigned char>& in, size_t width, char32_t* out) {
            size_t count = in.size() / width;
            wide.assign(count * 4 + 16, 0);
            char* src = const_cast<char*>(reinterpret_cast<const char*>(in.data()));
            size_t srcLeft = in.size();
            char* dst = wide.data();
            size_t dstLeft = wide.size();
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0 ||
                wide.size() - dstLeft != count * 4)
                return false;
            for (size_t k = 0; k < count; ++k) {
                auto at = [&](size_t b) { return static_cast<char32_t>(static_cast<unsigned char>(wide[k * 4 + b])); };
                out[k] = at(0) | at(1) << 8 | at(2) << 16 | at(3) << 24;
            }
            return true;
        };
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            std::vector<unsigned char> row;
            std::vector<char32_t> got;
            for (int lead = 0x81; lead <= 0xFE; ++lead) {
                row.clear();
                for (int trail = 0x40; trail <= 0xFE; ++trail) {
                    if (trail == 0x7F) continue;
                    row.push_back(static_cast<unsigned char>(lead));
                    row.push_back(static_cast<unsigned char>(trail));
                }
                got.assign(row.size() / 2, 0);
                bool whole = decodeRow(row, 2, got.data());
                for (size_t k = 0; k < got.size(); ++k)
                    pair[(lead << 8) | row[k * 2 + 1]] = whole ? got[k] : decode(&row[k * 2], 2);
            }
            for (uint32_t first = 0; first < kFourBmpCount; first += 1260) {
                uint32_t last = std::min(kFourBmpCount, first + 1260);
                row.clear();
                for (uint32_t linear = first; linear < last; ++linear) {
                    uint32_t code = FourByteCode(linear);
                    for (int shift : {24, 16, 8, 0}) row.push_back(static_cast<unsigned char>(code >> shift));
                }
                got.assign(last - first, 0);
                bool whole = decodeRow(row, 4, got.data());
                for (uint32_t linear = first; linear < last; ++linear) {
                    char32_t u = whole ? got[linear - first] : decode(&row[(linear - first) * 4], 4);
                    four[linear] = u < 0x10000 ? static_cast<char16_t>(u) : 0;
                }
            }
            iconv_close(cd);
        }
        for (const auto& p : kPrivateUse) {
            if (!four[p.linear]) four[p.linear] = p.unit;
        }
        // Inverse: the first code that decodes to a unit wins; single bytes first, so the
        // euro sign keeps GBK's single byte.
        for (uint32_t b = 1; b < 0x80; ++b) encode[b] = b;
        encode[kEuro] = 0x80;
        for (uint32_t code = 0x8140; code <= 0xFEFE; ++code) {
            char32_t u = pair[code];
            if (u >= 0x10000) {
                supplementaryPairs.emplace(u, static_cast<uint16_t>(code));
            } else if (u && !encode[u]) {
                encode[u] = code;
            }
        }
        for (uint32_t linear = 0; linear < kFourTableSize; ++linear) {
            char16_t u = four[linear];
            if (u && !encode[u]) encode[u] = FourByteCode(linear);
        }
    }

    /// The code of a character (0 for U+0000 and for none).
    uint32_t CodeOf(char32_t cp) const {
        if (cp < 0x10000) return encode[cp];
        if (auto it = supplementaryPairs.find(cp); it != supplementaryPairs.end()) return it->second;
        if (cp > 0x10FFFF) return 0;
        return FourByteCode(kFourSupplementaryFirst + (cp - 0x10000));
    }

    /// Decodes one character at s[i]; returns the bytes used (0 = the bytes do not decode).
    /// `roundTrips` tells whether encoding the character gives these very bytes.
    size_t Decode(std::string_view s, size_t i, char32_t& out, bool& roundTrips) const {
        auto at = [&](size_t k) { return static_cast<uint32_t>(static_cast<unsigned char>(s[k])); };
        uint32_t b = at(i);
        roundTrips = true;
        if (b < 0x80) {
            out = b;
            return 1;
        }
        if (b == 0x80) {
            out = kEuro;
            return 1;
        }
        if (b == 0xFF || i + 1 >= s.size()) return 0;
        uint32_t t = at(i + 1);
        uint32_t code;
        size_t used;
        if (t >= 0x30 && t <= 0x39) {
            if (i + 3 >= s.size()) return 0;
            uint32_t b3 = at(i + 2), b4 = at(i + 3);
            if (b3 < 0x81 || b3 > 0xFE || b4 < 0x30 || b4 > 0x39) return 0;
            code = b << 24 | t << 16 | b3 << 8 | b4;
            uint32_t linear = Linear(code);
            if (linear < kFourTableSize) {
                out = four[linear];
            } else if (linear >= kFourSupplementaryFirst && linear - kFourSupplementaryFirst <= 0xFFFFF) {
                out = 0x10000 + (linear - kFourSupplementaryFirst);
            } else {
                out = 0;
            }
            used = 4;
        } else {
            code = b << 8 | t;
            out = pair[code];
            used = 2;
        }
        if (!out) return 0;
        roundTrips = CodeOf(out) == code;
        return used;
    }

    void Encode(char32_t cp, std::string& out) const {
        uint32_t code = CodeOf(cp);
        if (cp == 0) {
            out.push_back('\0');
        } else if (code == 0) {
            out.push_back('?');
        } else if (code < 0x100) {
            out.push_back(static_cast<char>(code));
        } else if (code < 0x10000) {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        } else {
            out.push_back(static_cast<char>(code >> 24));
            out.push_back(static_cast<char>((code >> 16) & 0xFF));
            out.push_back(static_cast<char>((code >> 8) & 0xFF));
            out.push_back(static_cast<char>(code & 0xFF));
        }
    }
};

const Tables& CodeTables() {
    static const Tables tables;
    return tables;
}

/// The tables as the conversions use them: ASCII passes through without them, so that
/// text without other characters never pays for making them (tens of milliseconds, once
/// per process).
struct LazyTables {
    size_t Decode(std::string_view s, size_t i, char32_t& out, bool& roundTrips) const {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            out = static_cast<unsigned char>(s[i]);
            roundTrips = true;
            return 1;
        }
        return CodeTables().Decode(s, i, out, roundTrips);
    }
    void Encode(char32_t cp, std::string& out) const {
        if (cp < 0x80) out.push_back(static_cast<char>(cp));
        else CodeTables().Encode(cp, out);
    }
};

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

void AppendUtf16(char32_t cp, std::u16string& out) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

}  // namespace

std::u16string AnsiToWide(std::string_view ansi) {
    ansi = UpToNul(ansi);
    const LazyTables t;
    // No character takes more UTF-16 units than it has bytes: the text is made at its
    // longest and cut to what was written.
    const size_t n = ansi.size();
    std::u16string out(n, u'\0');
    char16_t* to = out.data();
    size_t o = 0;
    for (size_t i = 0; i < n;) {
        // A run of ASCII bytes (most of any script) widens eight bytes at a time.
        for (uint64_t eight; i + 8 <= n; i += 8, o += 8) {
            std::memcpy(&eight, ansi.data() + i, 8);
            if (eight & 0x8080808080808080ull) break;
            for (size_t k = 0; k < 8; ++k) to[o + k] = static_cast<char16_t>(ansi[i + k]);
        }
        while (i < n && static_cast<unsigned char>(ansi[i]) < 0x80) to[o++] = static_cast<char16_t>(ansi[i++]);
        if (i == n) break;
        char32_t cp;
        bool roundTrips;
        size_t used = t.Decode(ansi, i, cp, roundTrips);
        if (used == 0) {
            to[o++] = u'?';
            ++i;
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            to[o++] = static_cast<char16_t>(0xD800 + (cp >> 10));
            to[o++] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
            i += used;
        } else {
            to[o++] = static_cast<char16_t>(cp);
            i += used;
        }
    }
    out.resize(o);
    return out;
}

std::string WideToAnsi(std::u16string_view wide) {
    wide = UpToNul(wide);
    const LazyTables t;
    std::string out;
    out.reserve(wide.size() * 2);
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t u = wide[i];
        if (u >= 0xD800 && u <= 0xDFFF) {
            if (u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
                t.Encode(0x10000 + ((u - 0xD800) << 10) + (wide[i + 1] - 0xDC00), out);
                ++i;
            } else {
                out.push_back('?');  // a lone surrogate is no character
            }
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
        AppendUtf16(cp, out);
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
    const LazyTables t;
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 2);
    for (size_t i = 0; i < ansi.size();) {
        auto b = static_cast<unsigned char>(ansi[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        char32_t cp;
        bool roundTrips;
        size_t used = t.Decode(ansi, i, cp, roundTrips);
        if (used == 0 || !roundTrips) {
            out.push_back(static_cast<char>(b));
            ++i;
        } else {
            AppendUtf8(cp, out);
            i += used;
        }
    }
    return out;
}

std::string EditorUtf8ToAnsi(std::string_view utf8) {
    const LazyTables t;
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
            t.Encode(cp, out);
            i += used;
        }
    }
    return out;
}

std::u16string AnsiToWideKeepingBytes(std::string_view ansi) {
    const LazyTables t;
    std::u16string out;
    out.reserve(ansi.size());
    for (size_t i = 0; i < ansi.size();) {
        char32_t cp;
        bool roundTrips;
        size_t used = t.Decode(ansi, i, cp, roundTrips);
        if (used == 0 || !roundTrips) {
            out.push_back(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(ansi[i])));
            ++i;
        } else {
            AppendUtf16(cp, out);
            i += used;
        }
    }
    return out;
}

std::string WideKeepingBytesToAnsi(std::u16string_view wide) {
    const LazyTables t;
    std::string out;
    out.reserve(wide.size() * 2);
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t u = wide[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            t.Encode(0x10000 + ((u - 0xD800) << 10) + (wide[i + 1] - 0xDC00), out);
            ++i;
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out.push_back(static_cast<char>(u - 0xDC00));
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            out.push_back('?');
        } else {
            t.Encode(u, out);
        }
    }
    return out;
}

std::string AnsiToUtf8(std::string_view ansi) { return Utf16ToUtf8(AnsiToWide(ansi)); }

std::string Utf8ToAnsiText(std::string_view utf8) {
    utf8 = UpToNul(utf8);
    const LazyTables t;
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp;
        size_t bad;
        size_t used = ReadUtf8(utf8, i, cp, bad);
        if (used == 0) {
            out.push_back('?');
            i += bad;
        } else {
            t.Encode(cp, out);
            i += used;
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp;
        size_t bad;
        size_t used = ReadUtf8(bytes, i, cp, bad);
        if (used == 0) return false;
        i += used;
    }
    return true;
}

}  // namespace qy::text

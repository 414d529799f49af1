/** @file CssValues.cpp
 * CSS values read and written back as Chrome does. A value is read into tokens; each
 * longhand has a grammar (a colour, a length, keywords, …) that either takes the tokens
 * and gives their written-back form or refuses them; a longhand without a grammar of its
 * own takes any balanced value, its numbers and units written back in their short form.
 * Shorthands are read by their own rules into their longhands and composed again from
 * them.
 */
#include "env/CssValues.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "env/InterfaceTableText.h"

namespace qy::env::css {
namespace {

// ---- the property facts -------------------------------------------------------------

struct Facts {
    std::unordered_map<std::string, std::string> alias;
    std::unordered_map<std::string, std::vector<std::string>> shorthands;
    // For each longhand, the shorthands that set it, the largest first.
    std::unordered_map<std::string, std::vector<std::string>> shorthandsOf;
    std::unordered_set<std::string> known;
    std::vector<ComputedProperty> computed;
};

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> out;
    while (!line.empty()) {
        size_t space = line.find(' ');
        if (space != 0) out.push_back(line.substr(0, space));
        if (space == std::string_view::npos) break;
        line.remove_prefix(space + 1);
    }
    return out;
}

const Facts& TheFacts() {
    static const Facts facts = [] {
        Facts f;
        std::string_view text = idl::kTool_css;
        while (!text.empty()) {
            size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            if (line.empty() || line[0] == '#') continue;
            std::vector<std::string_view> w = Words(line);
            if (w.size() < 2) continue;
            std::string name(w[1]);
            if (w[0] == "alias" && w.size() == 3) {
                f.alias.emplace(name, std::string(w[2]));
            } else if (w[0] == "shorthand") {
                std::vector<std::string>& list = f.shorthands[name];
                for (size_t k = 2; k < w.size(); ++k) {
                    list.emplace_back(w[k]);
                    f.known.emplace(w[k]);
                }
            } else if (w[0] == "computed" && w.size() >= 3) {
                // The value is the rest of the line after the flag (it may hold spaces).
                size_t at = static_cast<size_t>(w[2].data() - line.data()) + w[2].size();
                std::string_view initial = at < line.size() ? line.substr(at + 1) : std::string_view();
                f.computed.push_back({w[1], w[2] == "i", initial});
            }
            if (w[0] != "descriptor") f.known.insert(name);
        }
        for (const auto& [shorthand, longhands] : f.shorthands)
            for (const std::string& l : longhands) f.shorthandsOf[l].push_back(shorthand);
        for (auto& [longhand, list] : f.shorthandsOf)
            std::sort(list.begin(), list.end(), [&](const std::string& a, const std::string& b) {
                size_t na = f.shorthands.at(a).size(), nb = f.shorthands.at(b).size();
                return na != nb ? na > nb : a < b;
            });
        return f;
    }();
    return facts;
}

std::string Standard(std::string_view name) {
    const Facts& f = TheFacts();
    auto found = f.alias.find(std::string(name));
    return found == f.alias.end() ? std::string(name) : found->second;
}

const std::vector<std::string>* ShorthandLonghands(const std::string& name) {
    const Facts& f = TheFacts();
    auto found = f.shorthands.find(name);
    return found == f.shorthands.end() ? nullptr : &found->second;
}

// ---- text helpers -------------------------------------------------------------------

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string LowerText(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
    return s;
}
bool IsCssWide(std::string_view lower) {
    return lower == "initial" || lower == "inherit" || lower == "unset" || lower == "revert" || lower == "revert-layer";
}
bool InList(std::string_view word, std::string_view list) {
    for (std::string_view w : Words(list))
        if (w == word) return true;
    return false;
}

// ---- tokens -------------------------------------------------------------------------

struct Token {
    enum Kind { Ident, Number, Percent, Dimension, Hash, String, Function, Url, Comma, Slash, Delim } kind = Delim;
    std::string text;   // an ident's or function's name, a unit (lower case), a hash's or string's text
    std::string inner;  // a function's arguments as written
    double number = 0;
    bool integer = false;
    bool spaced = false;  // whitespace before it
};
using Tokens = std::vector<Token>;

bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || static_cast<unsigned char>(c) >= 0x80; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads `text` into tokens; false for text no declaration can hold (unbalanced brackets
// or quotes, a semicolon, braces or '!' outside them).
bool Tokenize(std::string_view text, Tokens& out) {
    size_t k = 0, n = text.size();
    bool spaced = false;
    auto name = [&](size_t from) {
        size_t e = from;
        while (e < n && (IsNameChar(text[e]) || (text[e] == '\\' && e + 1 < n))) e += text[e] == '\\' ? 2 : 1;
        return e;
    };
    while (k < n) {
        char c = text[k];
        if (IsSpace(c)) {
            spaced = true;
            ++k;
            continue;
        }
        Token t;
        t.spaced = spaced;
        spaced = false;
        bool numberStart = IsDigit(c) || (c == '.' && k + 1 < n && IsDigit(text[k + 1])) ||
                           ((c == '+' || c == '-') && k + 1 < n &&
                            (IsDigit(text[k + 1]) || (text[k + 1] == '.' && k + 2 < n && IsDigit(text[k + 2]))));
        if (numberStart) {
            size_t e = k + ((c == '+' || c == '-') ? 1 : 0);
            bool dot = false;
            while (e < n && (IsDigit(text[e]) || (text[e] == '.' && !dot && e + 1 < n && IsDigit(text[e + 1])))) {
                if (text[e] == '.') dot = true;
                ++e;
            }
            if (e + 1 < n && (text[e] == 'e' || text[e] == 'E') &&
                (IsDigit(text[e + 1]) || ((text[e + 1] == '+' || text[e + 1] == '-') && e + 2 < n && IsDigit(text[e + 2])))) {
                e += 2;
                while (e < n && IsDigit(text[e])) ++e;
                dot = true;
            }
            std::string digits(text.substr(k, e - k));
            t.number = std::strtod(digits.c_str(), nullptr);
            t.integer = !dot;
            if (e < n && text[e] == '%') {
                t.kind = Token::Percent;
                ++e;
            } else if (e < n && (IsNameStart(text[e]) || (text[e] == '-' && e + 1 < n && IsNameStart(text[e + 1])))) {
                size_t u = name(e);
                t.kind = Token::Dimension;
                t.text = LowerText(text.substr(e, u - e));
                e = u;
            } else {
                t.kind = Token::Number;
            }
            k = e;
        } else if (IsNameStart(c) || (c == '-' && k + 1 < n && (IsNameStart(text[k + 1]) || text[k + 1] == '-')) || c == '\\') {
            size_t e = name(k);
            t.text = std::string(text.substr(k, e - k));
            if (e < n && text[e] == '(') {
                int depth = 1;
                size_t a = e + 1, b = a;
                char quote = 0;
                for (; b < n && depth > 0; ++b) {
                    char d = text[b];
                    if (quote) {
                        if (d == '\\') ++b;
                        else if (d == quote) quote = 0;
                    } else if (d == '"' || d == '\'') {
                        quote = d;
                    } else if (d == '(') {
                        ++depth;
                    } else if (d == ')') {
                        --depth;
                    } else if (d == ';' || d == '{' || d == '}') {
                        return false;
                    }
                }
                if (depth != 0) return false;
                t.inner = std::string(text.substr(a, b - 1 - a));
                t.kind = LowerText(t.text) == "url" ? Token::Url : Token::Function;
                k = b;
            } else {
                t.kind = Token::Ident;
                k = e;
            }
        } else if (c == '#') {
            size_t e = name(k + 1);
            if (e == k + 1) return false;
            t.kind = Token::Hash;
            t.text = std::string(text.substr(k + 1, e - k - 1));
            k = e;
        } else if (c == '"' || c == '\'') {
            size_t e = k + 1;
            std::string s;
            while (e < n && text[e] != c) {
                if (text[e] == '\\' && e + 1 < n) ++e;
                s += text[e++];
            }
            if (e >= n) return false;
            t.kind = Token::String;
            t.text = s;
            k = e + 1;
        } else if (c == ',') {
            t.kind = Token::Comma;
            ++k;
        } else if (c == '/') {
            t.kind = Token::Slash;
            ++k;
        } else if (c == ';' || c == '{' || c == '}' || c == '!' || c == '(' || c == ')' || c == '[' || c == ']') {
            return false;
        } else {
            t.kind = Token::Delim;
            t.text = std::string(1, c);
            ++k;
        }
        out.push_back(std::move(t));
    }
    return true;
}

std::string Quoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string WriteAny(const Tokens& tokens);

// A function's name as CSS writes it back: lower case, the transforms' axes in capitals.
std::string FunctionName(std::string_view name) {
    std::string lower = LowerText(name);
    for (std::string_view canonical : Words("translateX translateY translateZ scaleX scaleY scaleZ rotateX rotateY rotateZ "
                                            "skewX skewY"))
        if (LowerText(canonical) == lower) return std::string(canonical);
    return lower;
}

std::string WriteToken(const Token& t) {
    switch (t.kind) {
    case Token::Ident: return t.text;
    case Token::Number: return FormatNumber(t.number);
    case Token::Percent: return FormatNumber(t.number) + "%";
    case Token::Dimension: return FormatNumber(t.number) + t.text;
    case Token::Hash: return "#" + t.text;
    case Token::String: return Quoted(t.text);
    case Token::Url: {
        std::string_view inner = Trim(t.inner);
        if (!inner.empty() && (inner.front() == '"' || inner.front() == '\'') && inner.size() >= 2 && inner.back() == inner.front())
            inner = inner.substr(1, inner.size() - 2);
        return "url(" + Quoted(inner) + ")";
    }
    case Token::Function: {
        Tokens inner;
        return FunctionName(t.text) + "(" + (Tokenize(t.inner, inner) ? WriteAny(inner) : std::string(Trim(t.inner))) + ")";
    }
    case Token::Comma: return ",";
    case Token::Slash: return "/";
    case Token::Delim: return t.text;
    }
    return "";
}

// Tokens written back: single spaces where there was space, ", " after commas, " / ".
std::string WriteAny(const Tokens& tokens) {
    std::string out;
    for (size_t k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        if (t.kind == Token::Comma) {
            out += ",";
            continue;
        }
        if (k > 0 && (t.spaced || tokens[k - 1].kind == Token::Comma || t.kind == Token::Slash || tokens[k - 1].kind == Token::Slash))
            out += ' ';
        out += WriteToken(t);
    }
    return out;
}

// ---- colours ------------------------------------------------------------------------

struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;
};

// The named colours with their values, in one line: "name rrggbb name rrggbb …".
constexpr std::string_view kNamedColors =
    "aliceblue f0f8ff antiquewhite faebd7 aqua 00ffff aquamarine 7fffd4 azure f0ffff beige f5f5dc bisque ffe4c4 "
    "black 000000 blanchedalmond ffebcd blue 0000ff blueviolet 8a2be2 brown a52a2a burlywood deb887 cadetblue 5f9ea0 "
    "chartreuse 7fff00 chocolate d2691e coral ff7f50 cornflowerblue 6495ed cornsilk fff8dc crimson dc143c cyan 00ffff "
    "darkblue 00008b darkcyan 008b8b darkgoldenrod b8860b darkgray a9a9a9 darkgreen 006400 darkgrey a9a9a9 "
    "darkkhaki bdb76b darkmagenta 8b008b darkolivegreen 556b2f darkorange ff8c00 darkorchid 9932cc darkred 8b0000 "
    "darksalmon e9967a darkseagreen 8fbc8f darkslateblue 483d8b darkslategray 2f4f4f darkslategrey 2f4f4f "
    "darkturquoise 00ced1 darkviolet 9400d3 deeppink ff1493 deepskyblue 00bfff dimgray 696969 dimgrey 696969 "
    "dodgerblue 1e90ff firebrick b22222 floralwhite fffaf0 forestgreen 228b22 fuchsia ff00ff gainsboro dcdcdc "
    "ghostwhite f8f8ff gold ffd700 goldenrod daa520 gray 808080 green 008000 greenyellow adff2f grey 808080 "
    "honeydew f0fff0 hotpink ff69b4 indianred cd5c5c indigo 4b0082 ivory fffff0 khaki f0e68c lavender e6e6fa "
    "lavenderblush fff0f5 lawngreen 7cfc00 lemonchiffon fffacd lightblue add8e6 lightcoral f08080 lightcyan e0ffff "
    "lightgoldenrodyellow fafad2 lightgray d3d3d3 lightgreen 90ee90 lightgrey d3d3d3 lightpink ffb6c1 "
    "lightsalmon ffa07a lightseagreen 20b2aa lightskyblue 87cefa lightslategray 778899 lightslategrey 778899 "
    "lightsteelblue b0c4de lightyellow ffffe0 lime 00ff00 limegreen 32cd32 linen faf0e6 magenta ff00ff maroon 800000 "
    "mediumaquamarine 66cdaa mediumblue 0000cd mediumorchid ba55d3 mediumpurple 9370db mediumseagreen 3cb371 "
    "mediumslateblue 7b68ee mediumspringgreen 00fa9a mediumturquoise 48d1cc mediumvioletred c71585 "
    "midnightblue 191970 mintcream f5fffa mistyrose ffe4e1 moccasin ffe4b5 navajowhite ffdead navy 000080 "
    "oldlace fdf5e6 olive 808000 olivedrab 6b8e23 orange ffa500 orangered ff4500 orchid da70d6 palegoldenrod eee8aa "
    "palegreen 98fb98 paleturquoise afeeee palevioletred db7093 papayawhip ffefd5 peachpuff ffdab9 peru cd853f "
    "pink ffc0cb plum dda0dd powderblue b0e0e6 purple 800080 rebeccapurple 663399 red ff0000 rosybrown bc8f8f "
    "royalblue 4169e1 saddlebrown 8b4513 salmon fa8072 sandybrown f4a460 seagreen 2e8b57 seashell fff5ee "
    "sienna a0522d silver c0c0c0 skyblue 87ceeb slateblue 6a5acd slategray 708090 slategrey 708090 snow fffafa "
    "springgreen 00ff7f steelblue 4682b4 tan d2b48c teal 008080 thistle d8bfd8 tomato ff6347 turquoise 40e0d0 "
    "violet ee82ee wheat f5deb3 white ffffff whitesmoke f5f5f5 yellow ffff00 yellowgreen 9acd32 "
    // The system colours, as a light page shows them.
    "accentcolor 0075ff accentcolortext ffffff activetext ff0000 buttonborder 767676 buttonface efefef "
    "buttontext 000000 canvas ffffff canvastext 000000 field ffffff fieldtext 000000 graytext 808080 "
    "highlight b5d5ff highlighttext 000000 linktext 0000ee mark ffff00 marktext 000000 selecteditem 0075ff "
    "selecteditemtext ffffff visitedtext 551a8b activeborder ffffff activecaption ffffff appworkspace ffffff "
    "background 6363ce buttonhighlight dddddd buttonshadow 888888 captiontext 000000 inactiveborder ffffff "
    "inactivecaption ffffff inactivecaptiontext 808080 infobackground fbfcc5 infotext 000000 menu f7f7f7 "
    "menutext 000000 scrollbar ffffff threeddarkshadow 666666 threedface c0c0c0 threedhighlight dddddd "
    "threedlightshadow c0c0c0 threedshadow 888888 window ffffff windowframe cccccc windowtext 000000";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::optional<Rgba> FromHex(std::string_view h) {
    if (h.size() != 3 && h.size() != 4 && h.size() != 6 && h.size() != 8) return std::nullopt;
    int d[8];
    for (size_t k = 0; k < h.size(); ++k)
        if ((d[k] = HexDigit(h[k])) < 0) return std::nullopt;
    Rgba c;
    if (h.size() <= 4) {
        c.r = d[0] * 17;
        c.g = d[1] * 17;
        c.b = d[2] * 17;
        if (h.size() == 4) c.a = d[3] * 17 / 255.0;
    } else {
        c.r = d[0] * 16 + d[1];
        c.g = d[2] * 16 + d[3];
        c.b = d[4] * 16 + d[5];
        if (h.size() == 8) c.a = (d[6] * 16 + d[7]) / 255.0;
    }
    return c;
}

std::optional<Rgba> Named(std::string_view lower) {
    std::vector<std::string_view> w = Words(kNamedColors);
    for (size_t k = 0; k + 1 < w.size(); k += 2)
        if (w[k] == lower) return FromHex(w[k + 1]);
    return std::nullopt;
}

// The arguments of a colour function: three or four numbers or percentages, written
// with commas or with spaces and "/ alpha".
bool ColorArguments(const std::string& inner, std::vector<Token>& args) {
    Tokens t;
    if (!Tokenize(inner, t)) return false;
    bool commas = false;
    for (const Token& x : t)
        if (x.kind == Token::Comma) commas = true;
    for (size_t k = 0; k < t.size(); ++k) {
        const Token& x = t[k];
        bool value = x.kind == Token::Number || x.kind == Token::Percent || x.kind == Token::Dimension ||
                     (x.kind == Token::Ident && LowerText(x.text) == "none");
        if (commas) {
            if (k % 2 == 1) {
                if (x.kind != Token::Comma) return false;
                continue;
            }
            if (!value) return false;
            args.push_back(x);
        } else if (x.kind == Token::Slash) {
            if (args.size() != 3) return false;
        } else {
            if (!value) return false;
            args.push_back(x);
        }
    }
    if (commas && t.size() % 2 == 0) return false;
    return args.size() == 3 || args.size() == 4;
}

double Clamp(double v, double lo, double hi) { return std::max(lo, std::min(hi, v)); }

double AlphaOf(const Token& t) {
    if (t.kind == Token::Ident) return 0;
    return Clamp(t.kind == Token::Percent ? t.number / 100 : t.number, 0, 1);
}

std::optional<Rgba> FromFunction(const Token& f) {
    std::string name = LowerText(f.text);
    std::vector<Token> a;
    if (!ColorArguments(f.inner, a)) return std::nullopt;
    Rgba c;
    if (a.size() == 4) c.a = AlphaOf(a[3]);
    if (name == "rgb" || name == "rgba") {
        double* out[3] = {&c.r, &c.g, &c.b};
        for (int k = 0; k < 3; ++k) {
            if (a[k].kind == Token::Dimension) return std::nullopt;
            double v = a[k].kind == Token::Ident ? 0 : a[k].kind == Token::Percent ? a[k].number * 255 / 100 : a[k].number;
            *out[k] = Clamp(v, 0, 255);
        }
        return c;
    }
    if (name == "hsl" || name == "hsla") {
        double h = a[0].number;
        if (a[0].kind == Token::Percent) return std::nullopt;
        if (a[0].kind == Token::Dimension) {
            if (a[0].text == "rad") h = h * 180 / M_PI;
            else if (a[0].text == "grad") h = h * 0.9;
            else if (a[0].text == "turn") h = h * 360;
            else if (a[0].text != "deg") return std::nullopt;
        }
        if (a[1].kind == Token::Dimension || a[2].kind == Token::Dimension) return std::nullopt;
        double s = Clamp(a[1].number / 100, 0, 1), l = Clamp(a[2].number / 100, 0, 1);
        h = std::fmod(std::fmod(h, 360) + 360, 360) / 60;
        double chroma = (1 - std::fabs(2 * l - 1)) * s, x = chroma * (1 - std::fabs(std::fmod(h, 2) - 1)), m = l - chroma / 2;
        double r = 0, g = 0, b = 0;
        if (h < 1) r = chroma, g = x;
        else if (h < 2) r = x, g = chroma;
        else if (h < 3) g = chroma, b = x;
        else if (h < 4) g = x, b = chroma;
        else if (h < 5) r = x, b = chroma;
        else r = chroma, b = x;
        c.r = (r + m) * 255;
        c.g = (g + m) * 255;
        c.b = (b + m) * 255;
        return c;
    }
    return std::nullopt;
}

std::string WriteRgba(const Rgba& c) {
    auto channel = [](double v) { return std::to_string(static_cast<int>(std::floor(Clamp(v, 0, 255) + 0.5))); };
    std::string rgb = channel(c.r) + ", " + channel(c.g) + ", " + channel(c.b);
    if (c.a >= 1) return "rgb(" + rgb + ")";
    // The alpha in as few decimals (two or three) as keep its eight-bit value.
    int byte = static_cast<int>(std::floor(c.a * 255 + 0.5));
    double two = std::floor(byte / 255.0 * 100 + 0.5) / 100;
    double alpha = static_cast<int>(std::floor(two * 255 + 0.5)) == byte ? two : std::floor(byte / 255.0 * 1000 + 0.5) / 1000;
    if (c.a == two) alpha = two;
    return "rgba(" + rgb + ", " + FormatNumber(alpha) + ")";
}

enum class ColorKind { None, Value, Keyword };

// A colour token: its value, and for a keyword its name in lower case.
ColorKind ReadColor(const Token& t, Rgba& value, std::string& keyword) {
    if (t.kind == Token::Hash) {
        auto c = FromHex(t.text);
        if (!c) return ColorKind::None;
        value = *c;
        return ColorKind::Value;
    }
    if (t.kind == Token::Function) {
        auto c = FromFunction(t);
        if (!c) return ColorKind::None;
        value = *c;
        return ColorKind::Value;
    }
    if (t.kind != Token::Ident) return ColorKind::None;
    keyword = LowerText(t.text);
    if (keyword == "transparent") {
        value = Rgba{0, 0, 0, 0};
        return ColorKind::Keyword;
    }
    if (keyword == "currentcolor") return ColorKind::Keyword;
    auto c = Named(keyword);
    if (!c) return ColorKind::None;
    value = *c;
    return ColorKind::Keyword;
}

std::optional<std::string> WriteColor(const Token& t) {
    Rgba c;
    std::string keyword;
    switch (ReadColor(t, c, keyword)) {
    case ColorKind::None: return std::nullopt;
    case ColorKind::Keyword: return keyword;
    case ColorKind::Value: return WriteRgba(c);
    }
    return std::nullopt;
}

// ---- the longhands' grammars --------------------------------------------------------

enum class Kind : char {
    Any = 'a',       // any balanced value
    Color = 'C',     // one colour
    Length = 'L',    // a length (percentages with '%', no negatives with '+') or a keyword
    Number = 'N',    // a number (a percentage read as one with '%')
    Integer = 'I',   // an integer or a keyword
    Keyword = 'K',   // one of the keywords
    Keywords = 'k',  // one or more words, written in lower case
    LineHeight = 'H',
    FontWeight = 'W',
    FontFamily = 'F',
    Shadow = 'S',
    Time = 'T',  // times, comma-separated
    Image = 'M',
};

struct Grammar {
    Kind kind = Kind::Any;
    bool percent = false;
    bool nonNegative = false;
    std::string_view keywords;
};

struct GrammarLine {
    const char* kind;  // the kind's letter, then '%' and/or '+'
    const char* keywords;
    const char* names;
};

constexpr const char* kSizeKeywords = "auto fit-content min-content max-content -webkit-fill-available stretch";
constexpr const char* kBorderStyles = "none hidden dotted dashed solid double groove ridge inset outset";

const GrammarLine kGrammars[] = {
    {"L%+", kSizeKeywords, "width height min-width min-height inline-size block-size min-inline-size min-block-size"},
    {"L%+", "none fit-content min-content max-content -webkit-fill-available stretch",
     "max-width max-height max-inline-size max-block-size"},
    {"L%", "auto",
     "margin-top margin-right margin-bottom margin-left margin-block-start margin-block-end margin-inline-start "
     "margin-inline-end top right bottom left inset-block-start inset-block-end inset-inline-start inset-inline-end"},
    {"L%+", "",
     "padding-top padding-right padding-bottom padding-left padding-block-start padding-block-end padding-inline-start "
     "padding-inline-end border-top-left-radius border-top-right-radius border-bottom-right-radius "
     "border-bottom-left-radius shape-margin"},
    {"L+", "thin medium thick",
     "border-top-width border-right-width border-bottom-width border-left-width border-block-start-width "
     "border-block-end-width border-inline-start-width border-inline-end-width outline-width column-rule-width"},
    {"L", "", "outline-offset"},
    {"L%+", "normal", "row-gap column-gap"},
    {"L%+", "auto content fit-content min-content max-content", "flex-basis"},
    {"L%+", "xx-small x-small small medium large x-large xx-large xxx-large larger smaller math", "font-size"},
    {"L%", "baseline sub super text-top text-bottom middle top bottom", "vertical-align"},
    {"L", "normal", "letter-spacing word-spacing"},
    {"L%", "", "text-indent"},
    {"K", kBorderStyles,
     "border-top-style border-right-style border-bottom-style border-left-style border-block-start-style "
     "border-block-end-style border-inline-start-style border-inline-end-style column-rule-style"},
    {"K", "auto none hidden dotted dashed solid double groove ridge inset outset", "outline-style"},
    {"C", "",
     "color background-color border-top-color border-right-color border-bottom-color border-left-color "
     "border-block-start-color border-block-end-color border-inline-start-color border-inline-end-color "
     "outline-color column-rule-color text-decoration-color caret-color -webkit-text-fill-color "
     "-webkit-text-stroke-color -webkit-tap-highlight-color text-emphasis-color flood-color lighting-color stop-color "
     "accent-color"},
    {"N%", "", "opacity fill-opacity stroke-opacity flood-opacity stop-opacity"},
    {"N+", "", "flex-grow flex-shrink"},
    {"I", "auto", "z-index"},
    {"I", "", "order"},
    {"H", "normal", "line-height"},
    {"W", "normal bold bolder lighter", "font-weight"},
    {"F", "", "font-family"},
    {"S", "none", "box-shadow text-shadow"},
    {"T", "", "transition-duration transition-delay animation-duration animation-delay"},
    {"M", "none", "background-image list-style-image border-image-source mask-image"},
    {"K",
     "block inline inline-block flex inline-flex grid inline-grid table inline-table table-row table-cell table-column "
     "table-column-group table-header-group table-footer-group table-row-group table-caption list-item none contents "
     "flow-root ruby ruby-text -webkit-box -webkit-inline-box math",
     "display"},
    {"K", "static relative absolute fixed sticky", "position"},
    {"K", "visible hidden collapse", "visibility"},
    {"K", "left right none inline-start inline-end", "float"},
    {"K", "none left right both inline-start inline-end", "clear"},
    {"K", "left right center justify start end match-parent -webkit-center -webkit-left -webkit-right", "text-align"},
    {"K", "visible hidden scroll auto clip overlay", "overflow-x overflow-y overflow-block overflow-inline"},
    {"K", "content-box border-box", "box-sizing"},
    {"K", "normal italic oblique", "font-style"},
    {"K", "none capitalize uppercase lowercase full-width full-size-kana math-auto", "text-transform"},
    {"K",
     "auto none visiblepainted visiblefill visiblestroke visible painted fill stroke all bounding-box",
     "pointer-events"},
    {"K", "auto none text all contain", "user-select"},
    {"K", "ltr rtl", "direction"},
    {"K", "collapse preserve preserve-breaks break-spaces preserve-spaces", "white-space-collapse"},
    {"K", "wrap nowrap", "text-wrap-mode"},
    {"K", "row row-reverse column column-reverse", "flex-direction"},
    {"K", "nowrap wrap wrap-reverse", "flex-wrap"},
    {"K", "scroll fixed local", "background-attachment"},
    {"K", "border-box padding-box content-box", "background-origin"},
    {"K", "border-box padding-box content-box text", "background-clip"},
    {"K", "clip ellipsis", "text-overflow"},
    {"K", "normal break-all keep-all break-word auto-phrase", "word-break"},
    {"K", "normal break-word anywhere", "overflow-wrap"},
    {"K", "auto fixed", "table-layout"},
    {"K", "separate collapse", "border-collapse"},
    {"K", "none both horizontal vertical block inline", "resize"},
    {"K", "fill contain cover none scale-down", "object-fit"},
    {"K", "inside outside", "list-style-position"},
    {"K",
     "auto default none context-menu help pointer progress wait cell crosshair text vertical-text alias copy move "
     "no-drop not-allowed grab grabbing all-scroll col-resize row-resize n-resize e-resize s-resize w-resize "
     "ne-resize nw-resize se-resize sw-resize ew-resize ns-resize nesw-resize nwse-resize zoom-in zoom-out "
     "-webkit-grab -webkit-grabbing -webkit-zoom-in -webkit-zoom-out",
     "cursor"},
    {"k", "",
     "align-content align-items align-self justify-content justify-items justify-self text-decoration-line "
     "text-decoration-style background-repeat mask-repeat border-image-repeat -webkit-font-smoothing "
     "-webkit-user-modify appearance backface-visibility transform-style isolation mix-blend-mode writing-mode "
     "text-rendering image-rendering scroll-behavior unicode-bidi empty-cells caption-side"},
};

const std::unordered_map<std::string, Grammar>& Grammars() {
    static const std::unordered_map<std::string, Grammar> table = [] {
        std::unordered_map<std::string, Grammar> t;
        for (const GrammarLine& line : kGrammars) {
            Grammar g;
            g.kind = static_cast<Kind>(line.kind[0]);
            g.percent = std::strchr(line.kind, '%') != nullptr;
            g.nonNegative = std::strchr(line.kind, '+') != nullptr;
            g.keywords = line.keywords;
            for (std::string_view name : Words(line.names)) t.emplace(std::string(name), g);
        }
        return t;
    }();
    return table;
}

Grammar GrammarOf(const std::string& name) {
    const auto& t = Grammars();
    auto found = t.find(name);
    return found == t.end() ? Grammar{} : found->second;
}

constexpr std::string_view kLengthUnits =
    "px em rem ex ch cm mm q in pt pc vw vh vmin vmax vi vb svw svh lvw lvh dvw dvh cqw cqh cqi cqb cqmin cqmax lh rlh "
    "ic cap rex rch ric";

// A sum of terms in one unit ("10px + 5px - 2px") as its one term; none for anything else.
std::optional<std::string> FoldedSum(const std::string& inner) {
    Tokens t;
    if (!Tokenize(inner, t) || t.size() < 3 || t.size() % 2 == 0) return std::nullopt;
    double sum = 0;
    std::string unit;
    for (size_t k = 0; k < t.size(); k += 2) {
        const Token& x = t[k];
        if (x.kind != Token::Dimension && x.kind != Token::Percent) return std::nullopt;
        std::string u = x.kind == Token::Percent ? "%" : x.text;
        if (k > 0 && u != unit) return std::nullopt;
        unit = u;
        double sign = 1;
        if (k > 0) {
            const Token& op = t[k - 1];
            if (op.kind != Token::Delim || (op.text != "+" && op.text != "-") || !op.spaced || !x.spaced) return std::nullopt;
            sign = op.text == "-" ? -1 : 1;
        }
        sum += sign * x.number;
    }
    return FormatNumber(sum) + unit;
}

// One token as a length of the grammar, written back; none when it is not one.
std::optional<std::string> WriteLength(const Token& t, const Grammar& g) {
    if (t.kind == Token::Ident) {
        std::string lower = LowerText(t.text);
        if (InList(lower, g.keywords)) return lower;
        return std::nullopt;
    }
    if (t.kind == Token::Function) {
        std::string name = LowerText(t.text);
        if (name == "calc") {
            if (auto folded = FoldedSum(t.inner)) return "calc(" + *folded + ")";
        }
        if (name == "calc" || name == "min" || name == "max" || name == "clamp" || name == "var" || name == "env")
            return WriteToken(Token{Token::Function, name, t.inner});
        return std::nullopt;
    }
    if (g.nonNegative && t.number < 0) return std::nullopt;
    if (t.kind == Token::Number && t.number == 0) return std::string("0px");
    if (t.kind == Token::Percent && g.percent) return FormatNumber(t.number) + "%";
    if (t.kind == Token::Dimension && InList(t.text, kLengthUnits)) return FormatNumber(t.number) + t.text;
    return std::nullopt;
}

std::optional<std::string> WriteFamilies(const Tokens& t) {
    std::string out;
    size_t k = 0;
    while (k < t.size()) {
        std::string family;
        if (t[k].kind == Token::String) {
            family = Quoted(t[k].text);
            ++k;
        } else {
            std::vector<std::string> words;
            while (k < t.size() && t[k].kind == Token::Ident) words.push_back(t[k++].text);
            if (words.empty()) return std::nullopt;
            std::string lower = LowerText(words[0]);
            if (words.size() == 1 && InList(lower, "serif sans-serif monospace cursive fantasy system-ui math emoji "
                                                   "fangsong ui-serif ui-sans-serif ui-monospace ui-rounded -webkit-body")) {
                family = lower;
            } else if (words.size() == 1 && !IsCssWide(lower) && lower != "default") {
                family = words[0];
            } else {
                std::string joined;
                for (const std::string& w : words) joined += (joined.empty() ? "" : " ") + w;
                family = Quoted(joined);
            }
        }
        out += (out.empty() ? "" : ", ") + family;
        if (k < t.size()) {
            if (t[k].kind != Token::Comma || k + 1 == t.size()) return std::nullopt;
            ++k;
        }
    }
    if (out.empty()) return std::nullopt;
    return out;
}

// Tokens split at their top-level commas.
std::vector<Tokens> Layers(const Tokens& t) {
    std::vector<Tokens> out(1);
    for (const Token& x : t) {
        if (x.kind == Token::Comma) {
            out.emplace_back();
        } else {
            out.back().push_back(x);
            out.back().back().spaced = out.back().size() > 1;
        }
    }
    return out;
}

bool IsLengthish(const Token& t) {
    return (t.kind == Token::Number && t.number == 0) || (t.kind == Token::Dimension && InList(t.text, kLengthUnits)) ||
           (t.kind == Token::Function && InList(LowerText(t.text), "calc min max clamp"));
}

std::optional<std::string> WriteShadow(const Tokens& t) {
    std::string out;
    for (const Tokens& layer : Layers(t)) {
        std::string color, lengths;
        bool inset = false;
        int count = 0;
        for (const Token& x : layer) {
            if (x.kind == Token::Ident && LowerText(x.text) == "inset" && !inset) {
                inset = true;
            } else if (IsLengthish(x)) {
                if (++count > 4) return std::nullopt;
                auto l = WriteLength(x, Grammar{Kind::Length, false, false, ""});
                if (!l) return std::nullopt;
                lengths += (lengths.empty() ? "" : " ") + *l;
            } else if (auto c = WriteColor(x); c && color.empty()) {
                color = *c;
            } else {
                return std::nullopt;
            }
        }
        if (count < 2) return std::nullopt;
        std::string one = (color.empty() ? "" : color + " ") + lengths + (inset ? " inset" : "");
        out += (out.empty() ? "" : ", ") + one;
    }
    return out;
}

bool IsImage(const Token& t) {
    if (t.kind == Token::Url) return true;
    return t.kind == Token::Function &&
           InList(LowerText(t.text), "linear-gradient radial-gradient conic-gradient repeating-linear-gradient "
                                     "repeating-radial-gradient repeating-conic-gradient -webkit-linear-gradient "
                                     "-webkit-radial-gradient image-set -webkit-image-set cross-fade -webkit-gradient");
}

// A longhand's value written back; none when its grammar refuses the tokens.
std::optional<std::string> WriteLonghand(const std::string& name, const Tokens& t) {
    if (t.empty()) return std::nullopt;
    Grammar g = GrammarOf(name);
    bool one = t.size() == 1;
    switch (g.kind) {
    case Kind::Any: return WriteAny(t);
    case Kind::Color: return one ? WriteColor(t[0]) : std::nullopt;
    case Kind::Length: return one ? WriteLength(t[0], g) : std::nullopt;
    case Kind::Keyword: {
        if (!one || t[0].kind != Token::Ident) return std::nullopt;
        std::string lower = LowerText(t[0].text);
        return InList(lower, g.keywords) ? std::optional<std::string>(lower) : std::nullopt;
    }
    case Kind::Keywords: {
        std::string out;
        for (const Token& x : t) {
            if (x.kind != Token::Ident) return WriteAny(t);
            out += (out.empty() ? "" : " ") + LowerText(x.text);
        }
        return out;
    }
    case Kind::Number: {
        if (!one) return std::nullopt;
        if (t[0].kind == Token::Number) return FormatNumber(t[0].number);
        if (t[0].kind == Token::Percent && g.percent) return FormatNumber(t[0].number / 100);
        return std::nullopt;
    }
    case Kind::Integer: {
        if (!one) return std::nullopt;
        if (t[0].kind == Token::Number && t[0].integer) return FormatNumber(t[0].number);
        if (t[0].kind == Token::Ident && InList(LowerText(t[0].text), g.keywords)) return LowerText(t[0].text);
        return std::nullopt;
    }
    case Kind::LineHeight: {
        if (!one) return std::nullopt;
        if (t[0].kind == Token::Number) return t[0].number < 0 ? std::nullopt : std::optional<std::string>(FormatNumber(t[0].number));
        if (t[0].kind == Token::Number || (t[0].kind == Token::Percent && t[0].number < 0)) return std::nullopt;
        return WriteLength(t[0], Grammar{Kind::Length, true, true, g.keywords});
    }
    case Kind::FontWeight: {
        if (!one) return std::nullopt;
        if (t[0].kind == Token::Number) {
            if (t[0].number < 1 || t[0].number > 1000) return std::nullopt;
            return FormatNumber(t[0].number);
        }
        if (t[0].kind == Token::Ident && InList(LowerText(t[0].text), g.keywords)) return LowerText(t[0].text);
        return std::nullopt;
    }
    case Kind::FontFamily: return WriteFamilies(t);
    case Kind::Shadow: {
        if (one && t[0].kind == Token::Ident && LowerText(t[0].text) == "none") return std::string("none");
        return WriteShadow(t);
    }
    case Kind::Time: {
        std::string out;
        for (const Tokens& layer : Layers(t)) {
            if (layer.size() != 1) return std::nullopt;
            const Token& x = layer[0];
            if (x.kind != Token::Dimension || (x.text != "s" && x.text != "ms")) return std::nullopt;
            if (std::string_view(name).find("duration") != std::string_view::npos && x.number < 0) return std::nullopt;
            out += (out.empty() ? "" : ", ") + FormatNumber(x.number) + x.text;
        }
        return out;
    }
    case Kind::Image: {
        std::string out;
        for (const Tokens& layer : Layers(t)) {
            if (layer.size() != 1) return std::nullopt;
            if (layer[0].kind == Token::Ident && LowerText(layer[0].text) == "none") out += (out.empty() ? "" : ", ") + std::string("none");
            else if (IsImage(layer[0])) out += (out.empty() ? "" : ", ") + WriteToken(layer[0]);
            else return std::nullopt;
        }
        return out;
    }
    }
    return std::nullopt;
}

// ---- shorthands ---------------------------------------------------------------------

using Result = std::vector<Longhand>;

// Each longhand of the list set to the same value.
Result AllTo(const std::vector<std::string>& longhands, const std::string& value) {
    Result r;
    for (const std::string& l : longhands) r.push_back({l, value});
    return r;
}

// One to four values for top, right, bottom and left (or the corners).
std::optional<Result> ReadBox(const std::vector<std::string>& l, const Tokens& t) {
    if (t.empty() || t.size() > 4 || l.size() != 4) return std::nullopt;
    std::vector<std::string> v;
    for (const Token& x : t) {
        auto w = WriteLonghand(l[0], Tokens{x});
        if (!w) return std::nullopt;
        v.push_back(*w);
    }
    if (v.size() == 1) v.push_back(v[0]);
    if (v.size() == 2) v.push_back(v[0]);
    if (v.size() == 3) v.push_back(v[1]);
    return Result{{l[0], v[0]}, {l[1], v[1]}, {l[2], v[2]}, {l[3], v[3]}};
}

// One or two values for the two longhands (the second as the first when left out).
std::optional<Result> ReadPair(const std::vector<std::string>& l, const Tokens& t) {
    if (t.empty() || t.size() > 2 || l.size() != 2) return std::nullopt;
    auto a = WriteLonghand(l[0], Tokens{t[0]});
    auto b = WriteLonghand(l[1], Tokens{t.size() == 2 ? t[1] : t[0]});
    if (!a || !b) return std::nullopt;
    return Result{{l[0], *a}, {l[1], *b}};
}

// The value a shorthand gives a longhand it leaves out.
std::string LeftOut(const std::string& longhand) {
    auto ends = [&](std::string_view s) { return longhand.size() >= s.size() && longhand.compare(longhand.size() - s.size(), s.size(), s) == 0; };
    if (longhand.rfind("outline-", 0) == 0) return "initial";
    if (ends("-width")) return "medium";
    if (ends("-style")) return longhand == "text-decoration-style" ? "solid" : "none";
    if (ends("-color")) return "currentcolor";
    if (longhand == "text-decoration-line") return "none";
    if (longhand == "text-decoration-thickness") return "auto";
    if (longhand == "list-style-position") return "outside";
    if (longhand == "list-style-image") return "none";
    if (longhand == "list-style-type") return "disc";
    if (longhand == "flex-direction") return "row";
    if (longhand == "flex-wrap") return "nowrap";
    return "initial";
}

// Values for some of the longhands in any order, each taken by the first longhand whose
// grammar takes it; those left out get their initial values.
std::optional<Result> ReadAnyOrder(const std::vector<std::string>& l, const Tokens& t) {
    if (t.empty()) return std::nullopt;
    std::vector<std::optional<std::string>> v(l.size());
    for (const Token& x : t) {
        bool taken = false;
        for (size_t k = 0; k < l.size() && !taken; ++k) {
            if (v[k]) continue;
            if (auto w = WriteLonghand(l[k], Tokens{x})) {
                v[k] = *w;
                taken = true;
            }
        }
        if (!taken) return std::nullopt;
    }
    Result r;
    for (size_t k = 0; k < l.size(); ++k) r.push_back({l[k], v[k] ? *v[k] : LeftOut(l[k])});
    return r;
}

std::optional<Result> ReadBorder(const std::vector<std::string>& l, const Tokens& t) {
    // One side's width, style and colour, then every side given them.
    auto side = ReadAnyOrder({"border-top-width", "border-top-style", "border-top-color"}, t);
    if (!side) return std::nullopt;
    Result r;
    for (const std::string& name : l) {
        if (name.rfind("border-image-", 0) == 0) {
            const char* initial = name == "border-image-source" ? "none" : name == "border-image-slice" ? "100%" :
                                  name == "border-image-width"  ? "1"    : name == "border-image-outset" ? "0" : "stretch";
            r.push_back({name, initial});
            continue;
        }
        const std::string& part = name.substr(name.rfind('-'));
        for (const Longhand& s : *side)
            if (s.name.size() >= part.size() && s.name.compare(s.name.size() - part.size(), part.size(), part) == 0)
                r.push_back({name, s.value});
    }
    return r;
}

std::optional<Result> ReadFlex(const Tokens& t) {
    if (t.size() == 1 && t[0].kind == Token::Ident) {
        std::string w = LowerText(t[0].text);
        if (w == "none") return Result{{"flex-grow", "0"}, {"flex-shrink", "0"}, {"flex-basis", "auto"}};
        if (w == "auto") return Result{{"flex-grow", "1"}, {"flex-shrink", "1"}, {"flex-basis", "auto"}};
    }
    if (t.empty() || t.size() > 3) return std::nullopt;
    std::vector<double> numbers;
    std::optional<std::string> basis;
    for (size_t k = 0; k < t.size(); ++k) {
        const Token& x = t[k];
        if (x.kind == Token::Number && !(numbers.size() == 2 && x.number == 0 && !basis) && numbers.size() < 2 && !basis) {
            if (x.number < 0) return std::nullopt;
            numbers.push_back(x.number);
        } else if (x.kind == Token::Number && x.number == 0 && !basis && numbers.size() == 2) {
            basis = "0px";
        } else if (!basis && (basis = WriteLonghand("flex-basis", Tokens{x}))) {
            if (!numbers.empty() && numbers.size() < 2 && k + 1 < t.size()) {
                // A basis between the grow and shrink factors is not allowed.
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    if (numbers.empty() && !basis) return std::nullopt;
    return Result{{"flex-grow", FormatNumber(numbers.empty() ? 1 : numbers[0])},
                  {"flex-shrink", FormatNumber(numbers.size() > 1 ? numbers[1] : 1)},
                  {"flex-basis", basis ? *basis : (numbers.empty() ? "auto" : "0%")}};
}

std::optional<Result> ReadFont(const std::vector<std::string>& l, const Tokens& t) {
    std::string style = "normal", caps = "normal", weight = "normal", stretch = "normal";
    size_t k = 0;
    int normals = 0;
    for (; k < t.size() && k < 4; ++k) {
        const Token& x = t[k];
        std::string w = x.kind == Token::Ident ? LowerText(x.text) : "";
        if (w == "normal") ++normals;
        else if (w == "italic" || w == "oblique") style = w;
        else if (w == "small-caps") caps = w;
        else if (w == "bold" || w == "bolder" || w == "lighter") weight = w;
        else if (x.kind == Token::Number && x.number >= 1 && x.number <= 1000) weight = FormatNumber(x.number);
        else if (InList(w, "ultra-condensed extra-condensed condensed semi-condensed semi-expanded expanded extra-expanded ultra-expanded")) stretch = w;
        else break;
    }
    if (k >= t.size()) return std::nullopt;
    auto size = WriteLonghand("font-size", Tokens{t[k++]});
    if (!size) return std::nullopt;
    std::string lineHeight = "normal";
    if (k < t.size() && t[k].kind == Token::Slash) {
        if (k + 1 >= t.size()) return std::nullopt;
        auto lh = WriteLonghand("line-height", Tokens{t[k + 1]});
        if (!lh) return std::nullopt;
        lineHeight = *lh;
        k += 2;
    }
    auto family = WriteFamilies(Tokens(t.begin() + static_cast<long>(k), t.end()));
    if (!family) return std::nullopt;
    Result r;
    for (const std::string& name : l) {
        std::string v = "normal";
        if (name == "font-style") v = style;
        else if (name == "font-variant-caps") v = caps;
        else if (name == "font-weight") v = weight;
        else if (name == "font-stretch") v = stretch;
        else if (name == "font-size") v = *size;
        else if (name == "line-height") v = lineHeight;
        else if (name == "font-family") v = *family;
        else if (name == "font-optical-sizing" || name == "font-kerning") v = "auto";
        else if (name == "font-size-adjust") v = "none";
        r.push_back({name, v});
    }
    return r;
}

bool IsPositionWord(const Token& t) {
    return t.kind == Token::Ident && InList(LowerText(t.text), "left right top bottom center");
}

std::optional<Result> ReadBackground(const std::vector<std::string>& l, const Tokens& t) {
    for (const Token& x : t)
        if (x.kind == Token::Comma) return std::nullopt;
    std::optional<std::string> image, repeat, attachment, origin, clip, color, size;
    std::vector<Token> position;
    for (size_t k = 0; k < t.size(); ++k) {
        const Token& x = t[k];
        std::string w = x.kind == Token::Ident ? LowerText(x.text) : "";
        if (!image && (IsImage(x) || w == "none")) {
            image = IsImage(x) ? WriteToken(x) : "none";
        } else if (!repeat && InList(w, "repeat repeat-x repeat-y space round no-repeat")) {
            repeat = w;
            if (w != "repeat-x" && w != "repeat-y" && k + 1 < t.size() && t[k + 1].kind == Token::Ident &&
                InList(LowerText(t[k + 1].text), "repeat space round no-repeat"))
                *repeat += " " + LowerText(t[++k].text);
        } else if (!attachment && InList(w, "scroll fixed local")) {
            attachment = w;
        } else if (InList(w, "border-box padding-box content-box") && (!origin || !clip)) {
            if (!origin) origin = w;
            else clip = w;
        } else if (position.empty() && (IsPositionWord(x) || IsLengthish(x) || x.kind == Token::Percent)) {
            while (k < t.size() && position.size() < 4 && (IsPositionWord(t[k]) || IsLengthish(t[k]) || t[k].kind == Token::Percent))
                position.push_back(t[k++]);
            if (k < t.size() && t[k].kind == Token::Slash) {
                std::string s;
                size_t n = 0;
                for (++k; k < t.size() && n < 2; ++k, ++n) {
                    std::string sw = t[k].kind == Token::Ident ? LowerText(t[k].text) : "";
                    if (sw == "cover" || sw == "contain" || sw == "auto") s += (s.empty() ? "" : " ") + sw;
                    else if (auto len = WriteLength(t[k], Grammar{Kind::Length, true, true, ""})) s += (s.empty() ? "" : " ") + *len;
                    else break;
                    if (sw == "cover" || sw == "contain") {
                        ++k;
                        break;
                    }
                }
                if (s.empty()) return std::nullopt;
                size = s;
            }
            --k;
        } else if (!color && (color = WriteColor(x))) {
        } else {
            return std::nullopt;
        }
    }
    if (clip && !origin) return std::nullopt;
    if (origin && !clip) clip = origin;
    std::optional<std::string> x, y;
    if (!position.empty()) {
        std::vector<std::string> p;
        for (const Token& tok : position) {
            auto len = tok.kind == Token::Ident ? std::optional<std::string>(LowerText(tok.text)) : WriteLength(tok, Grammar{Kind::Length, true, false, ""});
            if (!len) return std::nullopt;
            p.push_back(*len);
        }
        if (p.size() == 1) {
            if (p[0] == "top" || p[0] == "bottom") x = "center", y = p[0];
            else x = p[0], y = "center";
        } else if (p.size() == 2) {
            if (p[0] == "top" || p[0] == "bottom" || p[1] == "left" || p[1] == "right") x = p[1], y = p[0];
            else x = p[0], y = p[1];
        } else {
            return std::nullopt;
        }
    }
    Result r;
    for (const std::string& name : l) {
        std::optional<std::string> v;
        if (name == "background-image") v = image;
        else if (name == "background-position-x") v = x;
        else if (name == "background-position-y") v = y;
        else if (name == "background-size") v = size;
        else if (name == "background-repeat") v = repeat;
        else if (name == "background-attachment") v = attachment;
        else if (name == "background-origin") v = origin;
        else if (name == "background-clip") v = clip;
        else if (name == "background-color") v = color;
        r.push_back({name, v ? *v : "initial"});
    }
    return r;
}

std::optional<Result> ReadWhiteSpace(const Tokens& t) {
    if (t.size() == 1 && t[0].kind == Token::Ident) {
        std::string w = LowerText(t[0].text);
        const char* collapse = nullptr;
        const char* wrap = "wrap";
        if (w == "normal") collapse = "collapse";
        else if (w == "nowrap") collapse = "collapse", wrap = "nowrap";
        else if (w == "pre") collapse = "preserve", wrap = "nowrap";
        else if (w == "pre-wrap") collapse = "preserve";
        else if (w == "pre-line") collapse = "preserve-breaks";
        else if (w == "break-spaces") collapse = "break-spaces";
        if (collapse) return Result{{"white-space-collapse", collapse}, {"text-wrap-mode", wrap}};
    }
    return ReadAnyOrder({"white-space-collapse", "text-wrap-mode"}, t);
}

std::optional<Result> ReadTransition(const std::vector<std::string>& l, const Tokens& t) {
    std::vector<std::string> property, duration, timing, delay, behavior;
    for (const Tokens& layer : Layers(t)) {
        std::optional<std::string> p, d, f, w, b;
        for (const Token& x : layer) {
            std::string word = x.kind == Token::Ident ? LowerText(x.text) : "";
            if (x.kind == Token::Dimension && (x.text == "s" || x.text == "ms")) {
                std::string v = FormatNumber(x.number) + x.text;
                if (!d) {
                    if (x.number < 0) return std::nullopt;
                    d = v;
                } else if (!w) {
                    w = v;
                } else {
                    return std::nullopt;
                }
            } else if (!f && (InList(word, "ease linear ease-in ease-out ease-in-out step-start step-end") ||
                              (x.kind == Token::Function && InList(LowerText(x.text), "cubic-bezier steps linear")))) {
                f = word.empty() ? WriteToken(x) : word;
            } else if (!b && (word == "normal" || word == "allow-discrete")) {
                b = word;
            } else if (!p && x.kind == Token::Ident && !IsCssWide(word)) {
                p = word == "all" || word == "none" ? word : x.text;
            } else {
                return std::nullopt;
            }
        }
        property.push_back(p ? *p : "all");
        duration.push_back(d ? *d : "0s");
        timing.push_back(f ? *f : "ease");
        delay.push_back(w ? *w : "0s");
        behavior.push_back(b ? *b : "normal");
    }
    auto join = [](const std::vector<std::string>& v) {
        std::string out;
        for (const std::string& s : v) out += (out.empty() ? "" : ", ") + s;
        return out;
    };
    Result r;
    for (const std::string& name : l) {
        if (name == "transition-property") r.push_back({name, join(property)});
        else if (name == "transition-duration") r.push_back({name, join(duration)});
        else if (name == "transition-timing-function") r.push_back({name, join(timing)});
        else if (name == "transition-delay") r.push_back({name, join(delay)});
        else r.push_back({name, join(behavior)});
    }
    return r;
}

constexpr std::string_view kBoxShorthands =
    "margin padding inset border-width border-style border-color border-radius scroll-margin scroll-padding";
constexpr std::string_view kPairShorthands =
    "gap overflow overscroll-behavior margin-block margin-inline padding-block padding-inline inset-block inset-inline "
    "border-block-width border-block-style border-block-color border-inline-width border-inline-style "
    "border-inline-color place-items place-content place-self scroll-margin-block scroll-margin-inline "
    "scroll-padding-block scroll-padding-inline border-spacing contain-intrinsic-size";
constexpr std::string_view kSideShorthands =
    "border-top border-right border-bottom border-left border-block-start border-block-end border-inline-start "
    "border-inline-end outline column-rule list-style text-decoration flex-flow -webkit-text-stroke";

// A shorthand read into its longhands; none when refused, and a result holding only the
// shorthand itself when it is one the style keeps whole.
std::optional<Result> ReadShorthand(const std::string& name, const std::vector<std::string>& l, const Tokens& t) {
    if (InList(name, kBoxShorthands)) {
        for (const Token& x : t)
            if (x.kind == Token::Slash) return Result{{name, WriteAny(t)}};
        return ReadBox(l, t);
    }
    if (InList(name, kPairShorthands)) return ReadPair(l, t);
    if (InList(name, kSideShorthands)) {
        if (name == "list-style" && t.size() == 1 && t[0].kind == Token::Ident && LowerText(t[0].text) == "none")
            return Result{{l[0], "outside"}, {l[1], "none"}, {l[2], "none"}};
        return ReadAnyOrder(l, t);
    }
    if (name == "border") return ReadBorder(l, t);
    if (name == "flex") return ReadFlex(t);
    if (name == "font") return ReadFont(l, t);
    if (name == "background") return ReadBackground(l, t);
    if (name == "white-space") return ReadWhiteSpace(t);
    if (name == "transition") return ReadTransition(l, t);
    if (name == "background-position") {
        auto r = ReadBackground({"background-position-x", "background-position-y"}, t);
        if (!r || (*r)[0].value == "initial") return std::nullopt;
        return r;
    }
    return Result{{name, WriteAny(t)}};
}

// ---- shorthands written back --------------------------------------------------------

std::string Box(const std::vector<std::string>& v) {
    if (v[1] == v[3]) {
        if (v[0] == v[2]) return v[0] == v[1] ? v[0] : v[0] + " " + v[1];
        return v[0] + " " + v[1] + " " + v[2];
    }
    return v[0] + " " + v[1] + " " + v[2] + " " + v[3];
}

std::string JoinNonInitial(const std::vector<std::string>& l, const std::vector<std::string>& v) {
    std::string out;
    for (size_t k = 0; k < l.size(); ++k)
        if (v[k] != LeftOut(l[k]) && v[k] != "initial") out += (out.empty() ? "" : " ") + v[k];
    return out;
}

// A shorthand's value from its longhands' (all present, none a CSS-wide keyword).
std::string WriteShorthand(const std::string& name, const std::vector<std::string>& l, const std::vector<std::string>& v) {
    if (InList(name, kBoxShorthands)) return Box(v);
    if (InList(name, kPairShorthands)) return v[0] == v[1] ? v[0] : v[0] + " " + v[1];
    if (name == "list-style") {
        if (v[1] == "none" && v[2] == "none") return v[0] == "outside" ? "none" : v[0] + " none";
        std::string out = JoinNonInitial(l, v);
        return out.empty() ? "outside" : out;
    }
    if (InList(name, kSideShorthands)) {
        std::string out = JoinNonInitial(l, v);
        if (out.empty()) {
            for (size_t k = 0; k < l.size(); ++k)
                if (l[k].size() > 6 && l[k].compare(l[k].size() - 6, 6, "-style") == 0) return v[k];
            return v[0];
        }
        return out;
    }
    if (name == "border") {
        std::unordered_map<std::string, std::string> by;
        for (size_t k = 0; k < l.size(); ++k) by[l[k]] = v[k];
        if (by["border-image-source"] != "none" || by["border-image-slice"] != "100%" || by["border-image-width"] != "1" ||
            by["border-image-outset"] != "0" || by["border-image-repeat"] != "stretch")
            return "";
        std::vector<std::string> side;
        for (const char* part : {"width", "style", "color"}) {
            std::string top = by[std::string("border-top-") + part];
            for (const char* s : {"right", "bottom", "left"})
                if (by[std::string("border-") + s + "-" + part] != top) return "";
            side.push_back(top);
        }
        std::string out = JoinNonInitial({"border-top-width", "border-top-style", "border-top-color"}, side);
        return out;
    }
    if (name == "border-image") {
        bool initial = v[0] == "none" && v[1] == "100%" && v[2] == "1" && v[3] == "0" && v[4] == "stretch";
        return initial ? "none" : v[0] + " " + v[1] + " / " + v[2] + " / " + v[3] + " " + v[4];
    }
    if (name == "flex") return v[0] + " " + v[1] + " " + v[2];
    if (name == "white-space") {
        const std::string& c = v[0];
        const std::string& w = v[1];
        if (c == "collapse") return w == "wrap" ? "normal" : "nowrap";
        if (c == "preserve") return w == "wrap" ? "pre-wrap" : "pre";
        if (c == "preserve-breaks" && w == "wrap") return "pre-line";
        if (c == "break-spaces" && w == "wrap") return "break-spaces";
        return c + " " + w;
    }
    if (name == "font") {
        std::string out;
        for (size_t k = 0; k < l.size(); ++k) {
            const std::string& n = l[k];
            bool initial = v[k] == "normal" || (v[k] == "auto" && (n == "font-optical-sizing" || n == "font-kerning")) ||
                           (v[k] == "none" && n == "font-size-adjust");
            if (n == "font-style" || n == "font-variant-caps" || n == "font-weight" || n == "font-stretch") {
                if (!initial) out += v[k] + " ";
            } else if (n == "font-size") {
                out += v[k];
            } else if (n == "line-height") {
                if (v[k] != "normal") out += " / " + v[k];
            } else if (n == "font-family") {
                out += " " + v[k];
            } else if (!initial) {
                return "";
            }
        }
        return out;
    }
    if (name == "background" || name == "background-position") {
        std::string out;
        auto add = [&](const std::string& s) {
            if (s != "initial") out += (out.empty() ? "" : " ") + s;
        };
        std::unordered_map<std::string, std::string> by;
        for (size_t k = 0; k < l.size(); ++k) by[l[k]] = v[k];
        if (name == "background-position") return by["background-position-x"] + " " + by["background-position-y"];
        add(by["background-image"]);
        if (by["background-position-x"] != "initial") add(by["background-position-x"] + " " + by["background-position-y"]);
        if (by["background-size"] != "initial") add("/ " + by["background-size"]);
        for (const char* n : {"background-repeat", "background-attachment", "background-origin", "background-clip", "background-color"})
            add(by[n]);
        return out.empty() ? "initial" : out;
    }
    if (name == "transition") {
        // Each layer: the property unless "all", then the times and the rest unless initial.
        std::vector<std::vector<std::string>> layers;
        for (const std::string& value : v) {
            std::vector<std::string> parts;
            for (size_t at = 0;;) {
                size_t comma = value.find(", ", at);
                parts.push_back(value.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
                if (comma == std::string::npos) break;
                at = comma + 2;
            }
            if (!layers.empty() && parts.size() != layers[0].size()) return "";
            layers.push_back(std::move(parts));
        }
        std::string all;
        for (size_t n = 0; n < layers[0].size(); ++n) {
            std::string out;
            auto add = [&](const std::string& s) { out += (out.empty() ? "" : " ") + s; };
            const std::string &property = layers[0][n], &duration = layers[1][n], &timing = layers[2][n], &delay = layers[3][n],
                              &behavior = layers[4][n];
            if (property != "all") add(property);
            if (duration != "0s" || delay != "0s") add(duration);
            if (timing != "ease") add(timing);
            if (delay != "0s") add(delay);
            if (behavior != "normal") add(behavior);
            all += (all.empty() ? "" : ", ") + (out.empty() ? std::string("all") : out);
        }
        return all;
    }
    return "";
}

const Declared* Find(const std::vector<Declared>& style, std::string_view name) {
    for (const Declared& d : style)
        if (d.name == name) return &d;
    return nullptr;
}

// The shorthand's value and importance from the style's longhands; empty when it has none.
std::string ShorthandValue(const std::string& name, const std::vector<Declared>& style, bool* important) {
    const std::vector<std::string>* l = ShorthandLonghands(name);
    if (!l) return "";
    std::vector<std::string> v;
    std::optional<bool> priority;
    std::string wide;
    for (const std::string& n : *l) {
        const Declared* d = Find(style, n);
        if (!d || (priority && *priority != d->important)) return "";
        priority = d->important;
        // (A background or an outline leaves the longhands it was not given at "initial".)
        bool isWide = IsCssWide(d->value) && !((name == "background" || name == "outline") && d->value == "initial");
        if (isWide && (v.empty() || wide == d->value)) wide = d->value;
        else if (isWide || !wide.empty()) return "";
        v.push_back(d->value);
    }
    if (important) *important = priority.value_or(false);
    return wide.empty() ? WriteShorthand(name, *l, v) : wide;
}

}  // namespace

std::string FormatNumber(double value) {
    if (value == 0 || std::fabs(value) < 1e-9) return "0";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", value);
    return buf;
}

std::vector<Longhand> Declare(std::string_view name, std::string_view value) {
    std::string_view v = Trim(value);
    if (v.empty()) return {};
    if (name.size() > 2 && name.substr(0, 2) == "--") return {{std::string(name), std::string(v)}};
    const Facts& f = TheFacts();
    std::string n = Standard(name);
    if (!f.known.count(n)) return {};
    const std::vector<std::string>* longhands = ShorthandLonghands(n);
    std::string lower = LowerText(v);
    if (IsCssWide(lower)) return longhands ? AllTo(*longhands, lower) : Result{{n, lower}};
    if (lower.find("var(") != std::string::npos) {
        Tokens check;
        if (!Tokenize(v, check)) return {};
        return {{n, std::string(v)}};
    }
    Tokens t;
    if (!Tokenize(v, t) || t.empty()) return {};
    if (longhands) {
        auto r = ReadShorthand(n, *longhands, t);
        return r ? *r : Result{};
    }
    auto w = WriteLonghand(n, t);
    if (!w) return {};
    return {{n, *w}};
}

std::vector<std::string> LonghandsOf(std::string_view name) {
    if (name.size() > 2 && name.substr(0, 2) == "--") return {std::string(name)};
    std::string n = Standard(name);
    if (const std::vector<std::string>* l = ShorthandLonghands(n)) return *l;
    return TheFacts().known.count(n) ? std::vector<std::string>{n} : std::vector<std::string>{};
}

std::string ValueOf(std::string_view name, const std::vector<Declared>& style) {
    std::string n = name.size() > 2 && name.substr(0, 2) == "--" ? std::string(name) : Standard(name);
    if (const Declared* d = Find(style, n)) return d->value;
    return ShorthandValue(n, style, nullptr);
}

std::string TextOf(const std::vector<Declared>& style) {
    const Facts& f = TheFacts();
    std::unordered_set<std::string> written;
    std::string out;
    auto add = [&](const std::string& name, const std::string& value, bool important) {
        out += (out.empty() ? "" : " ") + name + ": " + value + (important ? " !important;" : ";");
    };
    for (const Declared& d : style) {
        if (written.count(d.name)) continue;
        bool done = false;
        // Four sides that the border shorthand cannot say go as widths, styles, colours
        // and the image, each in one shorthand where it can be.
        const std::vector<std::string>& border = f.shorthands.at("border");
        if (std::find(border.begin(), border.end(), d.name) != border.end() && ShorthandValue("border", style, nullptr).empty()) {
            for (const char* group : {"border-width", "border-style", "border-color", "border-image"}) {
                bool important = false;
                std::string value = ShorthandValue(group, style, &important);
                const std::vector<std::string>& parts = f.shorthands.at(group);
                bool fresh = !value.empty() && std::none_of(parts.begin(), parts.end(), [&](const std::string& l) { return written.count(l) > 0; });
                if (!fresh) continue;
                add(group, value, important);
                for (const std::string& l : parts) written.insert(l);
            }
            done = written.count(d.name) > 0;
        }
        auto found = done ? f.shorthandsOf.end() : f.shorthandsOf.find(d.name);
        if (found != f.shorthandsOf.end()) {
            for (const std::string& shorthand : found->second) {
                bool important = false;
                std::string value = ShorthandValue(shorthand, style, &important);
                if (value.empty()) continue;
                bool fresh = true;
                for (const std::string& l : f.shorthands.at(shorthand))
                    if (written.count(l)) fresh = false;
                if (!fresh) continue;
                add(shorthand, value, important);
                for (const std::string& l : f.shorthands.at(shorthand)) written.insert(l);
                done = true;
                break;
            }
        }
        if (!done) {
            add(d.name, d.value, d.important);
            written.insert(d.name);
        }
    }
    return out;
}

std::string ComputedShorthand(std::string_view name, const std::vector<std::string>& v) {
    std::string n(name);
    const std::vector<std::string>* l = ShorthandLonghands(n);
    if (!l || l->size() != v.size()) return "";
    auto join = [&] {
        std::string out;
        for (const std::string& s : v) out += (out.empty() ? "" : " ") + s;
        return out;
    };
    if (InList(n, kBoxShorthands)) return Box(v);
    if (InList(n, kPairShorthands)) return v[0] == v[1] ? v[0] : v[0] + " " + v[1];
    if (n == "border") {
        for (size_t k = 3; k < 12; ++k)
            if (v[k] != v[k % 3]) return "";
        // Written width, style, colour as the sides are.
        return v[2] + " " + v[1] + " " + v[0];
    }
    if (n == "font") {
        std::string out;
        for (size_t k = 0; k < l->size(); ++k) {
            const std::string& p = (*l)[k];
            if ((p == "font-style" || p == "font-variant-caps") && v[k] != "normal") out += v[k] + " ";
            else if (p == "font-weight" && v[k] != "400" && v[k] != "normal") out += v[k] + " ";
            else if (p == "font-stretch" && v[k] != "100%" && v[k] != "normal") out += v[k] + " ";
            else if (p == "font-size") out += v[k];
            else if (p == "line-height" && v[k] != "normal") out += " / " + v[k];
            else if (p == "font-family") out += " " + v[k];
        }
        return out;
    }
    if (n == "background") {
        std::unordered_map<std::string, std::string> by;
        for (size_t k = 0; k < l->size(); ++k) by[(*l)[k]] = v[k];
        return by["background-color"] + " " + by["background-image"] + " " + by["background-repeat"] + " " +
               by["background-attachment"] + " " + by["background-position-x"] + " " + by["background-position-y"] + " / " +
               by["background-size"] + " " + by["background-origin"] + " " + by["background-clip"];
    }
    if (n == "text-decoration") return v[2] == "solid" ? v[0] : v[0] + " " + v[2];
    if (n == "transition") return WriteShorthand(n, *l, v);
    if (n == "font-variant") {
        std::string out;
        for (const std::string& s : v)
            if (s != "normal") out += (out.empty() ? "" : " ") + s;
        return out.empty() ? "normal" : out;
    }
    if (n == "animation") {
        // The parts that differ from the initial ones; "none" when none does.
        std::string out;
        for (size_t k = 0; k < l->size(); ++k) {
            const std::string& p = (*l)[k];
            bool initial = v[k] == "0s" || v[k] == "ease" || v[k] == "1" || v[k] == "normal" || v[k] == "none" ||
                           v[k] == "running" || (v[k] == "auto" && p == "animation-timeline");
            if (!initial) out += (out.empty() ? "" : " ") + v[k];
        }
        return out.empty() ? "none" : out;
    }
    if (n == "white-space") return WriteShorthand(n, *l, v);
    return join();
}

std::string ResolvedColor(std::string_view value) {
    Tokens t;
    if (!Tokenize(value, t) || t.size() != 1) return "";
    Rgba c;
    std::string keyword;
    ColorKind kind = ReadColor(t[0], c, keyword);
    if (kind == ColorKind::None) return "";
    if (keyword == "currentcolor") return keyword;
    return WriteRgba(c);
}

const std::vector<ComputedProperty>& ComputedProperties() { return TheFacts().computed; }

}  // namespace qy::env::css

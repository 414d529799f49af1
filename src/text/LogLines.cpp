#include "text/LogLines.h"


namespace qy::text {

std::u16string OneLogLine(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;  // CR LF is one break
        bool lineBreak = c == u'\r' || c == u'\n' || c == u'\u0085' || c == u'\u2028' || c == u'\u2029';
        out.push_back(lineBreak ? u'\u21B5' : c);
    }
    return out;
}

std::string OneLogLineUtf8(std::string_view utf8) {
    // ASCII and the three-byte breaks are told apart without decoding the rest.
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
        if (c == '\r' || c == '\n') {
            out += "\u21B5";
        } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0x85) {
            out += "\u21B5";
            ++i;
        } else if (c == 0xE2 && i + 2 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(utf8[i + 2]) == 0xA8 || static_cast<unsigned char>(utf8[i + 2]) == 0xA9)) {
            out += "\u21B5";
            i += 2;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::u16string ScriptLogLine(std::u16string_view text) {
    return std::u16string(kScriptLineMark) + OneLogLine(text);
}

}  // namespace qy::text

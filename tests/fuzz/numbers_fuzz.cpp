// The number rules on arbitrary text and doubles, under a comma locale: the C-locale
// reader agrees with strtod in the C locale, the version reader with atof, a text's
// numeric value with the engine's Number() wherever both read a plain decimal number,
// a number's text (the engine's own spelling) reads back as the same number, and the
// value text rules write numbers and dates within their bounds.
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <locale.h>

#include "FuzzEngine.h"
#include "FuzzSupport.h"
#include "common/CommaLocale.h"
#include "net/UpdateCheck.h"
#include "script/ScriptHost.h"
#include "script/ValueText.h"
#include "script/Variant.h"
#include "text/CNumbers.h"

using namespace qy;

namespace {

locale_t CLocale() {
    static locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

double StrtodC(const char* text, size_t* consumed) {
    char* end = nullptr;
    double d = strtod_l(text, &end, CLocale());
    *consumed = static_cast<size_t>(end - text);
    return d;
}

bool Same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

script::ScriptHost& Host() {
    static script::ScriptHost host = [] {
        script::ScriptHost h;
        h.SetLanguage("JavaScript");
        return h;
    }();
    return host;
}

/// Full-width digits and signs (A3 xx) and the full-width blank (A1 A1) in CP936 text,
/// turned to ASCII as the version reader documents it; other double-byte characters stay.
std::string FullWidthToAscii(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80 && i + 1 < s.size()) {
            const auto t = static_cast<unsigned char>(s[i + 1]);
            if (c == 0xA3 && t >= 0xA1 && t <= 0xFE) out += static_cast<char>(t - 0x80);
            else if (c == 0xA1 && t == 0xA1) out += ' ';
            else out += s.substr(i, 2);
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

void CheckReaders(const std::string& text) {
    size_t ours = 0, theirs = 0;
    QY_FUZZ_CHECK(Same(text::ParseNumberC(text.c_str(), &ours), StrtodC(text.c_str(), &theirs)));
    QY_FUZZ_CHECK(ours == theirs);
    QY_FUZZ_CHECK(Same(net::ReadVersion(text),
                       static_cast<float>(strtod_l(FullWidthToAscii(text).c_str(), nullptr, CLocale()))));
}

/// Plain decimal text (digits, signs, points, exponents, blanks): the workbench's value
/// of the text is the engine's Number() of it (the empty value 0 where that is NaN).
void CheckAgainstEngine(const std::string& text) {
    if (text.size() > 64 || text.find_first_not_of("0123456789+-.eE \t\r\n") != std::string::npos) return;
    const double ours = script::VariantToNumber(script::Variant::Text(std::u16string(text.begin(), text.end())));
    std::string literal;
    for (char c : text) literal += c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : std::string(1, c);
    const double engine = script::VariantToNumber(Host().Eval("Number('" + literal + "')"));
    if (std::isnan(engine)) QY_FUZZ_CHECK(ours == 0);
    else QY_FUZZ_CHECK(ours == engine);
}

void CheckNumberText(double d) {
    const std::string written = script::JsNumberText(d);
    QY_FUZZ_CHECK(written.find(',') == std::string::npos);
    QY_FUZZ_CHECK(written == script::VariantToText(script::Variant::Real(d)));
    if (!std::isfinite(d)) return;
    QY_FUZZ_CHECK(script::VariantToNumber(script::Variant::Text(std::u16string(written.begin(), written.end()))) == d);
    QY_FUZZ_CHECK(script::VariantToText(Host().Eval("String(" + written + ")")) == written);
    const std::string printed = text::FormatNumberC("%.17g", d);
    QY_FUZZ_CHECK(printed.find(',') == std::string::npos);
    QY_FUZZ_CHECK(text::ParseNumberC(printed.c_str()) == d);
}

/// The value text rules: "%.13g" with a three-digit exponent, the Chinese date form in
/// its range, and dates between the engine and the workbench (in UTC here: in a zone with
/// daylight saving an hour of local time a year has no moment, another has two).
void CheckValueText(double d) {
    const std::string number = script::NumberText(d);
    QY_FUZZ_CHECK(number.find(',') == std::string::npos);
    const size_t e = number.find('e');
    if (e != std::string::npos) {
        QY_FUZZ_CHECK(e + 1 < number.size() && (number[e + 1] == '+' || number[e + 1] == '-'));
        QY_FUZZ_CHECK(number.size() - (e + 2) >= 3);
    }
    if (std::isfinite(d)) {
        QY_FUZZ_CHECK(std::fabs(text::ParseNumberC(number.c_str()) - d) <= 5e-13 * std::fabs(d));
    }

    const std::string date = script::DateText(d);
    int year = 0;
    QY_FUZZ_CHECK(std::sscanf(date.c_str(), "%d", &year) == 1 && year >= 100 && year <= 9999);
    QY_FUZZ_CHECK(date.find("\xC4\xEA") != std::string::npos && date.find("\xD4\xC2") != std::string::npos &&
                  date.find("\xC8\xD5") != std::string::npos);  // 年 月 日

    if (d >= 0 && d <= 2958465.99999) {
        const double ms = script::JsTimeFromOleDate(d);
        QY_FUZZ_CHECK(std::isfinite(ms));
        QY_FUZZ_CHECK(std::fabs(script::OleDateFromJsTime(ms) - d) <= 1.0 / 86400000 + 1e-9);
    }
    const double ms = std::trunc(d);
    if (std::fabs(ms) <= 8.64e15) {
        const double ole = script::OleDateFromJsTime(ms);
        QY_FUZZ_CHECK(std::isfinite(ole));
        QY_FUZZ_CHECK(std::fabs(script::JsTimeFromOleDate(ole) - ms) <= 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qy::fuzz::StartEngineForRun();
    // A comma locale for the whole run, when the machine can make one: nothing read or
    // written here may follow it.
    static test::CommaLocale comma;
    setenv("TZ", "UTC", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(qy::fuzz::Bytes(data, size).substr(0, qy::fuzz::Bytes(data, size).find('\0')));
    CheckReaders(text);
    CheckAgainstEngine(text);
    if (size >= 8) {
        double d;
        std::memcpy(&d, data, sizeof d);
        CheckNumberText(d);
        CheckValueText(d);
    }
    return 0;
}

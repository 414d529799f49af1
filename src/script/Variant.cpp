/** @file Variant.cpp
 * Classification and conversion of automation values. Numbers and booleans become text
 * as JavaScript spells them (the engine is a JavaScript engine), dates by the
 * workbench's date rule.
 */
#include "script/Variant.h"
#include "text/CNumbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "script/Automation.h"
#include "script/ValueText.h"
#include "text/CodePage.h"

namespace qy::script {
namespace {

int32_t ScalarCategory(uint16_t type) {
    switch (type) {
        case VT_EMPTY: return 0;
        case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: case VT_I1:
        case VT_UI1: case VT_UI2: case VT_UI4: case VT_I8: case VT_UI8: case VT_INT: case VT_UINT:
        case VT_HRESULT:
            return 1;
        case VT_BSTR: case VT_LPSTR: case VT_LPWSTR: return 2;
        case VT_BOOL: return 3;
        case VT_DATE: case VT_FILETIME: return 4;
        case VT_DISPATCH: case VT_UNKNOWN: return 5;
        case VT_ERROR: return 6;
        default: return -1;
    }
}

bool IsArray(const Variant& v) { return (v.vt & VT_ARRAY) != 0; }
uint16_t BaseType(const Variant& v) { return v.vt & 0x0FFF; }

bool IsIntegerType(uint16_t t) {
    switch (t) {
        case VT_I2: case VT_I4: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4: case VT_I8:
        case VT_UI8: case VT_INT: case VT_UINT: case VT_HRESULT: case VT_ERROR:
            return true;
        default:
            return false;
    }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// True when `s` is a plain decimal number: a sign, digits with at most one decimal
/// point, and an optional exponent. Hexadecimal, "inf" and "nan", which the C library
/// would also read, are not numbers to a text conversion.
bool IsDecimalNumber(const std::string& s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

/// Reads a whole text as a number the way a numeric conversion of a string does:
/// surrounding blanks allowed, nothing else.
bool ParseNumber(const std::u16string& text, double& out) {
    std::string ascii;
    for (char16_t c : text) {
        if (c > 0x7F) return false;
        ascii.push_back(static_cast<char>(c));
    }
    size_t b = ascii.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return false;
    size_t e = ascii.find_last_not_of(" \t\r\n");
    ascii = ascii.substr(b, e - b + 1);
    if (!IsDecimalNumber(ascii)) return false;
    out = text::ParseNumberC(ascii.c_str());
    return true;
}

bool SameAsciiIgnoringCase(const std::u16string& a, std::u16string_view lowerB) {
    if (a.size() != lowerB.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t c = a[i] >= u'A' && a[i] <= u'Z' ? a[i] - u'A' + u'a' : a[i];
        if (c != lowerB[i]) return false;
    }
    return true;
}

std::u16string AsciiToWide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

std::string JsNumberText(double d) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d < 0 ? "-Infinity" : "Infinity";
    if (d == 0) return "0";
    std::string sign = d < 0 ? "-" : "";
    d = std::fabs(d);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    std::string sci(buf, res.ptr);
    size_t ePos = sci.find('e');
    std::string digits;
    for (size_t i = 0; i < ePos; ++i) {
        if (sci[i] != '.') digits.push_back(sci[i]);
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int exp10 = std::atoi(sci.c_str() + ePos + 1);
    int k = static_cast<int>(digits.size());
    int n = exp10 + 1;  // the decimal point sits after n digits
    std::string out;
    if (k <= n && n <= 21) {
        out = digits + std::string(n - k, '0');
    } else if (0 < n && n <= 21) {
        out = digits.substr(0, n) + "." + digits.substr(n);
    } else if (-6 < n && n <= 0) {
        out = "0." + std::string(-n, '0') + digits;
    } else {
        std::string e = (n - 1 >= 0 ? "+" : "-") + std::to_string(std::abs(n - 1));
        out = digits.substr(0, 1) + (k > 1 ? "." + digits.substr(1) : "") + "e" + e;
    }
    return sign + out;
}

int32_t VariantCategory(const Variant& v) {
    if (IsArray(v)) {
        uint16_t element = BaseType(v);
        if (element == VT_VARIANT) return 13;
        int32_t c = ScalarCategory(element);
        return c > 0 ? c + 6 : c;
    }
    return ScalarCategory(BaseType(v));
}

bool VariantToWide(const Variant& v, std::u16string& out) {
    if (IsArray(v)) return false;
    uint16_t t = BaseType(v);
    if (IsIntegerType(t)) {
        out = AsciiToWide(std::to_string(v.integer));
        return true;
    }
    switch (t) {
        case VT_EMPTY: out.clear(); return true;
        case VT_BSTR: case VT_LPSTR: case VT_LPWSTR: out = v.text; return true;
        case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: out = AsciiToWide(JsNumberText(v.real)); return true;
        case VT_BOOL: out = v.boolean ? u"true" : u"false"; return true;
        case VT_DATE: out = text::AnsiToWide(DateText(v.real)); return true;
        case VT_DISPATCH: case VT_UNKNOWN: return v.object && v.object->DefaultText(out);
        default: return false;
    }
}

std::string VariantToText(const Variant& v) {
    std::u16string wide;
    if (!VariantToWide(v, wide)) return "";
    return text::WideToAnsi(wide);
}

double VariantToNumber(const Variant& v) {
    if (IsArray(v)) return 0;
    uint16_t t = BaseType(v);
    if (IsIntegerType(t)) return static_cast<double>(v.integer);
    switch (t) {
        case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: case VT_DATE: return v.real;
        case VT_BOOL: return v.boolean ? -1 : 0;  // automation's true is -1
        case VT_BSTR: case VT_LPSTR: case VT_LPWSTR: {
            double d;
            return ParseNumber(v.text, d) ? d : 0;
        }
        case VT_DISPATCH: case VT_UNKNOWN: {
            std::u16string s;
            double d;
            return v.object && v.object->DefaultText(s) && ParseNumber(s, d) ? d : 0;
        }
        default: return 0;
    }
}

bool VariantToBool(const Variant& v) {
    if (IsArray(v)) return false;
    uint16_t t = BaseType(v);
    if (t == VT_BOOL) return v.boolean;
    if (t == VT_BSTR || t == VT_LPSTR || t == VT_LPWSTR) {
        if (SameAsciiIgnoringCase(v.text, u"true")) return true;
        double d;
        return ParseNumber(v.text, d) && d != 0;
    }
    return VariantToNumber(v) != 0;
}

double VariantToDate(const Variant& v) {
    if (IsArray(v)) return 0;
    uint16_t t = BaseType(v);
    if (t == VT_BSTR || t == VT_LPSTR || t == VT_LPWSTR || t == VT_DISPATCH || t == VT_UNKNOWN) return 0;
    return VariantToNumber(v);
}

ObjectRef VariantToObject(const Variant& v) {
    if (IsArray(v)) return nullptr;
    uint16_t t = BaseType(v);
    return (t == VT_DISPATCH || t == VT_UNKNOWN) ? v.object : nullptr;
}

void ClearVariant(Variant& v) { v = Variant(); }

}  // namespace qy::script

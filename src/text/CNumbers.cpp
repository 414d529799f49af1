#include "text/CNumbers.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace qy::text {
namespace {

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

}  // namespace

std::string FormatNumberC(const char* format, double value) {
    char buf[512];
    locale_t before = uselocale(CLocale());
    int n = std::snprintf(buf, sizeof buf, format, value);
    uselocale(before);
    if (n < 0) return std::string();
    return std::string(buf, static_cast<size_t>(n) < sizeof buf ? static_cast<size_t>(n) : sizeof buf - 1);
}

double ParseNumberC(const char* text, size_t* consumed) {
    char* end = nullptr;
    double value = strtod_l(text, &end, CLocale());
    if (consumed) *consumed = static_cast<size_t>(end - text);
    return value;
}

}  // namespace qy::text

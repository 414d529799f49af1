#include "script/ValueText.h"
#include "text/CNumbers.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "text/CodePage.h"

namespace qy::script {
namespace {

constexpr double kMinOleDate = -657434;   // 0100-01-01
constexpr double kMaxOleDate = 2958465;   // 9999-12-31
constexpr int64_t kOleEpochToUnixDays = 25569;
constexpr double kMsPerDay = 86400000.0;
constexpr double kMaxJsDays = 1e8;

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y += m <= 2;
}

/// Splits an OLE date into whole days and the time of day in milliseconds; the time
/// part of a negative date counts forward from its day, as OLE dates do.
void SplitOleDate(double ole, int64_t& days, double& msOfDay) {
    double whole = std::trunc(ole);
    days = static_cast<int64_t>(whole);
    msOfDay = std::fabs(ole - whole) * kMsPerDay;
}

std::string Ansi(const char* utf8) { return text::Utf8ToAnsiText(utf8); }

}  // namespace

std::string NumberText(double d) {
    std::string s = text::FormatNumberC("%.13g", d);
    size_t e = s.find('e');
    if (e == std::string::npos || e + 2 > s.size()) return s;
    std::string digits = s.substr(e + 2);
    while (digits.size() < 3) digits.insert(digits.begin(), '0');
    return s.substr(0, e + 2) + digits;
}

std::string BoolText(bool b) { return Ansi(b ? "真" : "假"); }

std::string DateText(double oleDate) {
    if (std::isnan(oleDate)) oleDate = 0;
    if (oleDate < kMinOleDate) oleDate = kMinOleDate;
    if (oleDate > kMaxOleDate) oleDate = kMaxOleDate;
    int64_t days;
    double ms;
    SplitOleDate(oleDate, days, ms);
    int64_t seconds = std::llround(ms / 1000.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += 1;
    }
    int64_t y;
    unsigned m, d;
    CivilFromDays(days - kOleEpochToUnixDays, y, m, d);
    int hour = static_cast<int>(seconds / 3600), minute = static_cast<int>(seconds / 60 % 60),
        second = static_cast<int>(seconds % 60);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%d年%d月%d日", static_cast<int>(y), m, d);
    std::string out = buf;
    if (second != 0) {
        std::snprintf(buf, sizeof buf, "%d时%d分%d秒", hour, minute, second);
        out += buf;
    } else if (minute != 0) {
        std::snprintf(buf, sizeof buf, "%d时%d分", hour, minute);
        out += buf;
    } else if (hour != 0) {
        std::snprintf(buf, sizeof buf, "%d时", hour);
        out += buf;
    }
    return Ansi(out.c_str());
}

double OleDateFromJsTime(double ms) {
    if (!std::isfinite(ms)) return 0;
    double secondsFloor = std::floor(ms / 1000.0);
    time_t t = static_cast<time_t>(secondsFloor);
    std::tm local{};
    localtime_r(&t, &local);
    int64_t days = DaysFromCivil(local.tm_year + 1900LL, local.tm_mon + 1, local.tm_mday) + kOleEpochToUnixDays;
    double msOfDay = (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) * 1000.0 + (ms - secondsFloor * 1000.0);
    double fraction = msOfDay / kMsPerDay;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

double JsTimeFromOleDate(double ole) {
    // Beyond the engine's own date range (1e8 days either side of 1970) there is no
    // time to give; the engine reads NaN as an invalid date.
    if (!std::isfinite(ole) || std::fabs(ole) > kMaxJsDays + kOleEpochToUnixDays) return std::nan("");
    int64_t days;
    double msOfDay;
    SplitOleDate(ole, days, msOfDay);
    int64_t y;
    unsigned m, d;
    CivilFromDays(days - kOleEpochToUnixDays, y, m, d);
    std::tm local{};
    local.tm_year = static_cast<int>(y - 1900);
    local.tm_mon = static_cast<int>(m) - 1;
    local.tm_mday = static_cast<int>(d);
    double wholeSeconds = std::floor(msOfDay / 1000.0);
    // The time of day goes in as hours, minutes and seconds, so that the zone's offset
    // is the one in force at that moment (on a day the clocks change, midnight's
    // offset is an hour off by noon).
    auto seconds = static_cast<int>(wholeSeconds);
    local.tm_hour = seconds / 3600;
    local.tm_min = seconds / 60 % 60;
    local.tm_sec = seconds % 60;
    local.tm_isdst = -1;
    time_t t = mktime(&local);
    return static_cast<double>(t) * 1000.0 + std::round(msOfDay - wholeSeconds * 1000.0);
}

}  // namespace qy::script

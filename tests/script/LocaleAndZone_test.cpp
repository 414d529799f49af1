// The workbench's number and date rules hold whatever the process locale says about the
// decimal point, and on the days a time zone changes its clocks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/CommaLocale.h"
#include "script/ScriptHost.h"
#include "script/ValueText.h"
#include "script/Variant.h"

using namespace qy::script;

TEST(LocaleNumbers, WrittenAndReadWithAFullStopUnderACommaLocale) {
    qy::test::CommaLocale comma;
    ASSERT_TRUE(comma.Active()) << "the German locale could not be built";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");  // the locale really is in force
    EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumberText(12345678901234.0), "1.234567890123e+013");
    EXPECT_EQ(VariantToNumber(Variant::Text(u"1.5")), 1.5);
    EXPECT_EQ(VariantToNumber(Variant::Text(u" -2.25e1 ")), -22.5);
    EXPECT_EQ(VariantToText(Variant::Real(0.75)), "0.75");
    ScriptHost host;
    host.AddCode("function half(){ return 1 / 2 }");
    EXPECT_EQ(NumberText(VariantToNumber(host.Eval("half()"))), "0.5");
}

namespace {

/// Runs under another time zone for as long as it lives.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* tz = std::getenv("TZ")) m_before = tz, m_had = true;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (m_had) setenv("TZ", m_before.c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }

private:
    std::string m_before;
    bool m_had = false;
};

}  // namespace

// A date handed to the engine keeps its clock time on the days the clocks change.
TEST(LocalDates, DaylightSavingDaysKeepTheirClockTime) {
    TimeZone newYork("America/New_York");
    struct Row { double ole; double utcMs; };
    // 2023-03-12 12:00 is EDT (UTC-4); 2023-11-05 12:00 is EST (UTC-5).
    for (Row r : {Row{44997.5, 1678636800000.0}, Row{45235.5, 1699203600000.0}}) {
        EXPECT_EQ(JsTimeFromOleDate(r.ole), r.utcMs) << r.ole;
        EXPECT_DOUBLE_EQ(OleDateFromJsTime(r.utcMs), r.ole) << r.ole;
    }
}

/** @file Dates_test.cpp
 * Dates under the JScript target: JScript's texts in UTC and in a zone eight hours east,
 * Date.parse of JScript's forms, the constructor that reads strings the same way while
 * still making real Dates, and getYear. The ES2021 target keeps the engine's answers.
 */
#include <gtest/gtest.h>

#include <js/Date.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "JScriptTestSupport.h"

namespace qy::test {
namespace {

/// Puts the process, and the engine's idea of local time, in one zone for a test.
class InZone : public ::testing::Test {
protected:
    void Use(const char* zone) {
        const char* before = std::getenv("TZ");
        had_ = before != nullptr;
        if (had_) before_ = before;
        setenv("TZ", zone, 1);
        tzset();
        JS::ResetTimeZone();
    }
    void TearDown() override {
        if (had_) setenv("TZ", before_.c_str(), 1);
        else unsetenv("TZ");
        tzset();
        JS::ResetTimeZone();
    }

private:
    bool had_ = false;
    std::string before_;
};

class DatesInUtc : public InZone {
protected:
    void SetUp() override { Use("UTC"); }
};
class DatesInUtcPlus8 : public InZone {
protected:
    void SetUp() override { Use("Asia/Shanghai"); }
};
class DatesInNewYork : public InZone {
protected:
    void SetUp() override { Use("America/New_York"); }
};

const char* kNewYear = "new Date(2020,0,1)";

TEST_F(DatesInUtc, TextsWriteUtcAloneAndTheDayUnpadded) {
    BothAnswers r = RunBoth("", std::string(kNewYear) + ".toString()");
    EXPECT_EQ(r.jscript, "Wed Jan 1 00:00:00 UTC 2020");
    EXPECT_EQ(r.modern, "Wed Jan 01 2020 00:00:00 GMT+0000 (Coordinated Universal Time)");
    r = RunBoth("", "new Date(Date.UTC(2020,0,5,7,8,9)).toUTCString()");
    EXPECT_EQ(r.jscript, "Sun, 5 Jan 2020 07:08:09 UTC");
    EXPECT_EQ(r.modern, "Sun, 05 Jan 2020 07:08:09 GMT");
    r = RunBoth("", "new Date(Date.UTC(2020,0,5)).toGMTString() === new Date(Date.UTC(2020,0,5)).toUTCString()");
    EXPECT_EQ(r.jscript, "true");
    EXPECT_EQ(r.modern, "true");
    r = RunBoth("", "new Date(NaN).toString() + '|' + new Date(NaN).toUTCString()");
    EXPECT_EQ(r.jscript, "NaN|NaN");
    EXPECT_EQ(r.modern, "Invalid Date|Invalid Date");
}

TEST_F(DatesInUtcPlus8, TextsCarryTheSignedOffset) {
    BothAnswers r = RunBoth("", std::string(kNewYear) + ".toString()");
    EXPECT_EQ(r.jscript, "Wed Jan 1 00:00:00 UTC+0800 2020");
    EXPECT_EQ(r.modern, "Wed Jan 01 2020 00:00:00 GMT+0800 (China Standard Time)");
    r = RunBoth("", std::string(kNewYear) + ".toDateString() + '|' + " + kNewYear + ".toTimeString()");
    EXPECT_EQ(r.jscript, "Wed Jan 1 2020|00:00:00 UTC+0800");
    EXPECT_EQ(r.modern, "Wed Jan 01 2020|00:00:00 GMT+0800 (China Standard Time)");
    r = RunBoth("", std::string(kNewYear) + ".toUTCString()");
    EXPECT_EQ(r.jscript, "Tue, 31 Dec 2019 16:00:00 UTC");
    // String(date) and date + '' go through toString.
    r = RunBoth("var d = new Date(2020,0,1);", "String(d) === d.toString() && d + '' === d.toString()");
    EXPECT_EQ(r.jscript, "true");
    EXPECT_EQ(r.modern, "true");
}

TEST_F(DatesInUtcPlus8, LocaleTextsAreAChineseSystems) {
    BothAnswers r = RunBoth("", "new Date(2020,0,1,13,5,9).toLocaleString()");
    EXPECT_EQ(r.jscript, "2020年1月1日 13:05:09");
    EXPECT_NE(r.modern, r.jscript);
    r = RunBoth("", std::string(kNewYear) + ".toLocaleString() + '|' + " + kNewYear + ".toLocaleDateString() + '|' + " +
                        kNewYear + ".toLocaleTimeString()");
    EXPECT_EQ(r.jscript, "2020年1月1日 0:00:00|2020年1月1日|0:00:00");
}

TEST_F(DatesInUtc, LocaleTextsOfYearsTheSystemCannotWriteArePlain) {
    BothAnswers r = RunBoth("var d = new Date(2020,0,1); d.setFullYear(1500);", "d.toLocaleString()");
    EXPECT_EQ(r.jscript, "Mon Jan 1 00:00:00 UTC 1500");
    r = RunBoth("var d = new Date(2020,0,1); d.setFullYear(-99);", "d.toString()");
    EXPECT_EQ(r.jscript, "Tue Jan 1 00:00:00 UTC 100 B.C.");
}

TEST_F(DatesInNewYork, NorthAmericanZonesGoByName) {
    BothAnswers r = RunBoth("", std::string(kNewYear) + ".toString() + '|' + new Date(2020,6,1).toTimeString()");
    EXPECT_EQ(r.jscript, "Wed Jan 1 00:00:00 EST 2020|00:00:00 EDT");
    EXPECT_EQ(r.modern, "Wed Jan 01 2020 00:00:00 GMT-0500 (Eastern Standard Time)|00:00:00 GMT-0400 (Eastern Daylight Time)");
}

TEST_F(DatesInUtc, ParseReadsJScriptsForms) {
    // Each of these is 2020-01-01 00:00 UTC (1577836800000) in JScript.
    const char* same[] = {"1/1/2020", "Jan 1 2020", "January 1, 2020", "2020/01/01", "Wed Jan 1 00:00:00 UTC 2020",
                          "Wed, 1 Jan 2020 00:00:00 GMT", "Wed Jan 1 00:00:00 UTC+0800 2020 (comment (nested))",
                          "1 January 2020", "1-1-2020", "Wednesday, January 01, 2020 12:00 AM"};
    for (const char* text : same) {
        std::string expr = std::string("Date.parse('") + text + "') - Date.UTC(2020,0,1) - (/0800/.test('" + text +
                           "') ? -8*3600000 : 0)";
        EXPECT_EQ(RunBoth("", expr).jscript, "0") << text;
    }
    BothAnswers r = RunBoth("", "Date.parse('January 1, 2020 10:30:15 PM') - Date.UTC(2020,0,1)");
    EXPECT_EQ(r.jscript, "81015000");
    EXPECT_EQ(r.modern, "81015000");
    r = RunBoth("", "Date.parse('Jan 1 2020 10:00 EST') - Date.UTC(2020,0,1,15)");
    EXPECT_EQ(r.jscript, "0");
    EXPECT_EQ(r.modern, "0");
    r = RunBoth("", "Date.parse('1/1/20') === Date.UTC(1920,0,1)");
    EXPECT_EQ(r.jscript, "true");
    EXPECT_EQ(r.modern, "false");
}

TEST_F(DatesInUtc, ParseRefusesWhatJScriptRefuses) {
    BothAnswers r = RunBoth("", "Date.parse('2020-01-01T00:00:00Z')");
    EXPECT_EQ(r.jscript, "NaN");
    EXPECT_EQ(r.modern, "1577836800000");
    const char* refused[] = {"", "hello", "Jan 2020", "Jan 32 2020", "10:00", "Jan 1 2020 25:00",
                             "Jan 1 2020 +", "Jan Feb 1 2020", "1/1/2020 UTC EST"};
    for (const char* text : refused)
        EXPECT_EQ(RunBoth("", std::string("Date.parse('") + text + "')").jscript, "NaN") << text;
    r = RunBoth("", "[Date.parse(), Date.parse(null), Date.parse(undefined)].join()");
    EXPECT_EQ(r.jscript, "NaN,NaN,NaN");
}

TEST_F(DatesInUtc, ParseReadsJScriptsLooserForms) {
    const std::pair<const char*, const char*> rows[] = {
        {"13/1/2020", "Date.UTC(2021,0,1)"},            // a month past December runs on
        {"2/30/2021", "Date.UTC(2021,2,2)"},            // as does a day past the month's end
        {"91/12/14", "Date.UTC(1991,11,14)"},           // a first number over 31 is the year
        {"1/2/2000 11::32::", "Date.UTC(2000,0,2,11,32)"},  // doubled colons
        {"Se001 70 12:31:17", "Date.UTC(1970,8,1,12,31,17)"},  // a month name runs into the day
    };
    for (const auto& [text, utc] : rows)
        EXPECT_EQ(RunBoth("", std::string("Date.parse('") + text + "') === " + utc).jscript, "true") << text;
}

TEST_F(DatesInUtcPlus8, ParseReadsItsOwnTextsBack) {
    BothAnswers r = RunBoth("var d = new Date(2021,4,17,9,30,5);",
                            "Date.parse(d.toString()) === d.getTime() && Date.parse(d.toUTCString()) === d.getTime()");
    EXPECT_EQ(r.jscript, "true");
    EXPECT_EQ(r.modern, "true");
    r = RunBoth("", "Date.parse('1/1/2020') - Date.UTC(2020,0,1)");
    EXPECT_EQ(r.jscript, "-28800000");
}

TEST_F(DatesInUtc, TheConstructorReadsStringsAndStillMakesRealDates) {
    BothAnswers r = RunBoth("", "isNaN(new Date('2020-01-01T00:00:00Z'))");
    EXPECT_EQ(r.jscript, "true");
    EXPECT_EQ(r.modern, "false");
    r = RunBoth("", "new Date('Jan 1 2020').getTime() === Date.UTC(2020,0,1)");
    EXPECT_EQ(r.jscript, "true");
    r = RunBoth("var d = new Date(2020,0,1);",
                "[d instanceof Date, Object.prototype.toString.call(d), d.constructor === Date, "
                "Date.prototype.constructor === Date, typeof Date.UTC, Date.length, Date.name].join()");
    EXPECT_EQ(r.jscript, "true,[object Date],true,true,function,7,Date");
    EXPECT_EQ(r.modern, "true,[object Date],true,true,function,7,Date");
    r = RunBoth("", "[new Date(0).getTime(), new Date(2020,1).getMonth(), new Date(2020,1,3,4,5,6,7).getMilliseconds()].join()");
    EXPECT_EQ(r.jscript, "0,1,7");
    EXPECT_EQ(r.modern, "0,1,7");
    // Called as a function it gives the text of now; a Date argument is read through its text.
    r = RunBoth("", "typeof Date() + '|' + (Date() === new Date().toString())");
    EXPECT_EQ(r.jscript, "string|true");
    r = RunBoth("var d = new Date(1234567);", "new Date(d).getTime()");
    EXPECT_EQ(r.jscript, "1234000");
    EXPECT_EQ(r.modern, "1234567");
}

TEST_F(DatesInUtc, GetYearIsShortOnlyInTheTwentiethCentury) {
    BothAnswers r = RunBoth("", "[new Date(1999,0,1).getYear(), new Date(2020,0,1).getYear(), "
                                "new Date(1899,0,1).getYear(), new Date(1900,0,1).getYear()].join()");
    EXPECT_EQ(r.jscript, "99,2020,1899,0");
    EXPECT_EQ(r.modern, "99,120,-1,0");
    r = RunBoth("var d = new Date(2020,0,1); d.setYear(95);", "d.getFullYear()");
    EXPECT_EQ(r.jscript, "1995");
    EXPECT_EQ(r.modern, "1995");
}

}  // namespace
}  // namespace qy::test

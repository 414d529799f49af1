// Chrome's cookie rules case by case, on a page at https://www.example.com/dir/page.html
// unless a case says otherwise. Times are milliseconds from 1970.
#include <gtest/gtest.h>

#include <cmath>

#include "page/CookieJar.h"

namespace qy::page {
namespace {

constexpr double kNow = 1717200000000.0;  // 2024-06-01 00:00:00 UTC

class CookieRules : public testing::Test {
protected:
    CookieRules() { jar.SetAddress("https://www.example.com/dir/page.html"); }
    bool Script(const std::string& line, double now = kNow) { return jar.Set(line, CookieSource::Script, now); }
    CookieJar jar;
};

TEST_F(CookieRules, PathsScopeWhatThePageReads) {
    EXPECT_TRUE(Script("a=1; path=/elsewhere"));
    EXPECT_TRUE(Script("b=2"));  // the default path is the page's folder
    EXPECT_TRUE(Script("c=3; path=/"));
    EXPECT_EQ(jar.ScriptText(kNow), "b=2; c=3");
    EXPECT_EQ(jar.RequestHeader("https://www.example.com/elsewhere/x", kNow), "a=1; c=3");
    // "/dir" matches "/dir/…" but not "/directory".
    EXPECT_EQ(jar.RequestHeader("https://www.example.com/directory", kNow), "c=3");
}

TEST_F(CookieRules, DomainsMustBeTheHostOrAParentOfIt) {
    EXPECT_FALSE(Script("a=1; domain=other.com"));
    EXPECT_FALSE(Script("b=2; domain=com"));  // a top-level domain
    EXPECT_TRUE(Script("c=3; domain=.example.com"));
    EXPECT_TRUE(Script("d=4"));
    EXPECT_EQ(jar.ScriptText(kNow), "c=3; d=4");
    // The domain cookie reaches sibling hosts; the host-only one does not.
    EXPECT_EQ(jar.RequestHeader("https://api.example.com/dir/x", kNow), "c=3");
}

TEST_F(CookieRules, HttpOnlyIsSentButNeverReadOrSetByScript) {
    EXPECT_FALSE(Script("a=1; HttpOnly"));
    EXPECT_TRUE(jar.Set("s=secret; path=/; HttpOnly", CookieSource::Http, kNow));
    EXPECT_TRUE(Script("b=2; path=/"));
    EXPECT_EQ(jar.ScriptText(kNow), "b=2");
    EXPECT_EQ(jar.RequestHeader("https://www.example.com/", kNow), "s=secret; b=2");
    // Script cannot replace it either.
    EXPECT_FALSE(Script("s=mine; path=/"));
    EXPECT_EQ(jar.RequestHeader("https://www.example.com/", kNow), "s=secret; b=2");
}

TEST_F(CookieRules, SecureNeedsASecurePage) {
    EXPECT_TRUE(Script("s=1; Secure; path=/"));
    CookieJar plain;
    plain.SetAddress("http://www.example.com/");
    EXPECT_FALSE(plain.Set("s=1; Secure", CookieSource::Script, kNow));
    // 127.0.0.1 and localhost count as secure, as in Chrome.
    plain.SetAddress("http://127.0.0.1:8765/dir/checks.html");
    EXPECT_TRUE(plain.Set("s=1; Secure", CookieSource::Script, kNow));
    // A secure cookie is not read over plain http.
    EXPECT_EQ(jar.RequestHeader("http://www.example.com/", kNow), "");
}

TEST_F(CookieRules, ExpiresAndMaxAge) {
    EXPECT_TRUE(Script("a=1; path=/"));
    EXPECT_TRUE(Script("b=2; path=/; max-age=10"));
    EXPECT_TRUE(Script("c=3; path=/; expires=Fri, 31 Dec 2100 23:59:59 GMT"));
    EXPECT_EQ(jar.ScriptText(kNow + 9000), "a=1; b=2; c=3");
    EXPECT_EQ(jar.ScriptText(kNow + 10000), "a=1; c=3");
    // Max-Age wins over Expires; zero or a past date removes.
    EXPECT_TRUE(Script("a=; path=/; max-age=0"));
    EXPECT_TRUE(Script("d=4; path=/; max-age=60; expires=Thu, 01 Jan 1970 00:00:00 GMT"));
    EXPECT_EQ(jar.ScriptText(kNow), "c=3; d=4");
    EXPECT_TRUE(Script("c=; path=/; expires=Thu, 01 Jan 1970 00:00:00 GMT"));
    EXPECT_EQ(jar.ScriptText(kNow), "d=4");
    // A lifetime ends after 400 days at most.
    EXPECT_TRUE(Script("e=5; path=/; max-age=99999999"));
    EXPECT_EQ(jar.ScriptText(kNow + 399.0 * 86400000), "e=5");
    EXPECT_EQ(jar.ScriptText(kNow + 401.0 * 86400000), "");
}

TEST_F(CookieRules, CookieDatesReadAsTheStandardReadsThem) {
    EXPECT_EQ(ParseCookieDate("Thu, 01 Jan 1970 00:00:00 GMT"), 0);
    EXPECT_EQ(ParseCookieDate("Sat, 01-Jun-24 00:00:00 GMT"), kNow);
    EXPECT_EQ(ParseCookieDate("1 June 2024 00:00:00"), kNow);
    EXPECT_TRUE(std::isnan(ParseCookieDate("tomorrow")));
    EXPECT_TRUE(std::isnan(ParseCookieDate("Sat, 32 Jun 2024 00:00:00 GMT")));
}

TEST_F(CookieRules, SameSiteAndPrefixes) {
    EXPECT_FALSE(Script("a=1; SameSite=None"));  // None only with Secure
    EXPECT_TRUE(Script("b=2; SameSite=None; Secure"));
    EXPECT_TRUE(Script("c=3; SameSite=Lax"));
    EXPECT_TRUE(Script("d=4; SameSite=bogus"));  // an unknown value reads as unspecified
    EXPECT_FALSE(Script("__Secure-e=5"));
    EXPECT_TRUE(Script("__Secure-e=5; Secure"));
    EXPECT_FALSE(Script("__Host-f=6; Secure; path=/; domain=example.com"));
    EXPECT_FALSE(Script("__Host-f=6; Secure"));  // the path must be "/"
    EXPECT_TRUE(Script("__Host-f=6; Secure; path=/"));
    EXPECT_EQ(jar.ScriptText(kNow), "b=2; c=3; d=4; __Secure-e=5; __Host-f=6");
}

TEST_F(CookieRules, SizesNamesAndOrder) {
    // Name and value together at most 4096 bytes.
    EXPECT_TRUE(Script("a=" + std::string(4095, 'v')));
    EXPECT_FALSE(Script("bb=" + std::string(4095, 'v')));
    jar.Clear();
    // A pair without "=" is a value with an empty name; "=" alone is nothing.
    EXPECT_TRUE(Script("justvalue"));
    EXPECT_FALSE(Script("="));
    EXPECT_TRUE(Script("  x  =  1 2  "));
    EXPECT_EQ(jar.ScriptText(kNow), "justvalue; x=1 2");
    jar.Clear();
    // Longer paths first, then older first; a cookie set again is new.
    EXPECT_TRUE(Script("a=1; path=/"));
    EXPECT_TRUE(Script("b=2; path=/dir"));
    EXPECT_TRUE(Script("c=3; path=/"));
    EXPECT_TRUE(Script("a=9; path=/"));
    EXPECT_EQ(jar.ScriptText(kNow), "b=2; c=3; a=9");
}

TEST_F(CookieRules, TheJarSeedsFromTypedPairsAndKeepsTheDomainLimit) {
    jar.SetTyped("a=1; b=2;  c = 3 ;", kNow);
    EXPECT_EQ(jar.ScriptText(kNow), "a=1; b=2; c=3");
    jar.Clear();
    for (int i = 0; i < 200; ++i) EXPECT_TRUE(Script("k" + std::to_string(i) + "=1; path=/"));
    std::vector<Cookie> all = jar.All(kNow);
    ASSERT_EQ(all.size(), CookieJar::kMaxPerDomain);
    EXPECT_EQ(all.front().name, "k20");  // the oldest went first
}

TEST(CookieJarBlank, APageWithoutAHostStillKeepsItsCookies) {
    // Kept as the workbench always did, so that a blank page's scripts see what they set.
    CookieJar jar;
    jar.SetAddress("about:blank");
    EXPECT_TRUE(jar.Set("a=1", CookieSource::Script, kNow));
    EXPECT_EQ(jar.ScriptText(kNow), "a=1");
}

}  // namespace
}  // namespace qy::page

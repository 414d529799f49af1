/** @file CookieJar.h
 * A page's cookies under Chrome's rules: host-only and domain cookies, paths, Secure,
 * HttpOnly (sent with requests, never readable by script), Expires and Max-Age,
 * SameSite, the name prefixes, size limits, and the order in which `document.cookie`
 * reads them (longer paths first, then older cookies first).
 */
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qy::page {

struct Cookie {
    std::string name, value;
    std::string domain;  ///< lower case, no leading dot
    std::string path;
    bool hostOnly = true;
    bool secure = false;
    bool httpOnly = false;
    std::string sameSite;  ///< "Strict", "Lax", "None" or "" (unspecified)
    double expires = -1;   ///< milliseconds since 1970; negative for a session cookie
    double created = 0;
    uint64_t order = 0;  ///< creation order among cookies created in the same millisecond
};

/// Where a cookie line comes from: a response's Set-Cookie header, or a script's
/// `document.cookie = …` (which may not set or replace HttpOnly cookies).
enum class CookieSource { Http, Script };

class CookieJar {
public:
    /// The page's address decides what is set and read. Addresses without a host
    /// (about:blank, file:) keep no cookies, as Chrome's do not.
    void SetAddress(std::string_view url);

    /// Applies one Set-Cookie line at time `now` (ms since 1970); false when refused.
    bool Set(std::string_view line, CookieSource source, double now);

    /// "a=1; b=2" as a user types it: each pair a session cookie of the page's host on
    /// path "/". Pairs without "=" are cookies with an empty name, as in a browser.
    void SetTyped(std::string_view pairs, double now);

    /// What `document.cookie` reads at `now`: the cookies the page's address matches,
    /// HttpOnly ones left out.
    std::string ScriptText(double now);

    /// The Cookie request header for `url` at `now` (HttpOnly ones included).
    std::string RequestHeader(std::string_view url, double now);

    /// Every cookie alive at `now`, in reading order (for the "Cookie" box and tests).
    std::vector<Cookie> All(double now);

    void Clear() { m_cookies.clear(); }

    /// Chrome's limits.
    static constexpr size_t kMaxNameValueBytes = 4096;
    static constexpr size_t kMaxAttributeBytes = 1024;
    static constexpr size_t kMaxPerDomain = 180;
    static constexpr double kMaxLifetimeMs = 400.0 * 24 * 3600 * 1000;

private:
    struct Address {
        std::string scheme, host, path;
        bool secure = false;
    };
    static Address Parse(std::string_view url);
    std::string Text(const Address& where, bool script, double now);
    void DropExpired(double now);

    Address m_address;
    std::vector<Cookie> m_cookies;
    uint64_t m_next = 0;
};

/// A cookie date as RFC 6265 reads it (Expires), in ms since 1970; NaN when unreadable.
double ParseCookieDate(std::string_view text);

}  // namespace qy::page

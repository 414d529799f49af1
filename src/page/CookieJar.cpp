/** @file CookieJar.cpp
 * The jar follows the cookie standard's storage model with the choices Chrome makes on
 * top: SameSite=None only with Secure, the __Secure- and __Host- prefixes, script may
 * neither set nor replace an HttpOnly cookie, an insecure page may not replace a Secure
 * one, lifetimes end after 400 days, attribute values over 1024 bytes are ignored.
 */
#include "page/CookieJar.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace qy::page {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool HasControl(std::string_view s) {
    for (unsigned char c : s)
        if ((c < 0x20 && c != '\t') || c == 0x7f) return true;
    return false;
}

bool IsAddress(std::string_view host) {
    if (!host.empty() && host.front() == '[') return true;
    int dots = 0;
    for (char c : host) {
        if (c == '.') ++dots;
        else if (c < '0' || c > '9') return false;
    }
    return dots == 3;
}

bool DomainMatch(std::string_view host, std::string_view domain) {
    if (host == domain) return true;
    if (IsAddress(host) || host.size() <= domain.size()) return false;
    return host.ends_with(domain) && host[host.size() - domain.size() - 1] == '.';
}

bool PathMatch(std::string_view requestPath, std::string_view cookiePath) {
    if (requestPath == cookiePath) return true;
    if (!requestPath.starts_with(cookiePath)) return false;
    return cookiePath.ends_with('/') || requestPath[cookiePath.size()] == '/';
}

std::string DefaultPath(std::string_view path) {
    if (path.empty() || path.front() != '/') return "/";
    size_t last = path.rfind('/');
    return last == 0 ? "/" : std::string(path.substr(0, last));
}

bool IsDelimiter(unsigned char c) {
    return c == 0x09 || (c >= 0x20 && c <= 0x2f) || (c >= 0x3b && c <= 0x40) || (c >= 0x5b && c <= 0x60) ||
           (c >= 0x7b && c <= 0x7e);
}

/// Leading digits (min..max of them) of `token`; -1 when there are not enough.
int Digits(std::string_view token, size_t min, size_t max, size_t* used = nullptr) {
    size_t n = 0;
    int value = 0;
    while (n < token.size() && n < max && token[n] >= '0' && token[n] <= '9') value = value * 10 + (token[n++] - '0');
    if (n < min) return -1;
    if (used) *used = n;
    return value;
}

}  // namespace

double ParseCookieDate(std::string_view text) {
    bool haveTime = false, haveDay = false, haveMonth = false, haveYear = false;
    int hour = 0, minute = 0, second = 0, day = 0, month = 0, year = 0;
    static const char* months[] = {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsDelimiter(static_cast<unsigned char>(text[i]))) ++i;
        size_t start = i;
        while (i < text.size() && !IsDelimiter(static_cast<unsigned char>(text[i]))) ++i;
        std::string_view token = text.substr(start, i - start);
        if (token.empty()) continue;
        if (!haveTime) {
            size_t a = 0, b = 0, c = 0;
            int h = Digits(token, 1, 2, &a);
            if (h >= 0 && a < token.size() && token[a] == ':') {
                int m = Digits(token.substr(a + 1), 1, 2, &b);
                if (m >= 0 && a + 1 + b < token.size() && token[a + 1 + b] == ':') {
                    int s = Digits(token.substr(a + 2 + b), 1, 2, &c);
                    if (s >= 0) {
                        haveTime = true;
                        hour = h, minute = m, second = s;
                        continue;
                    }
                }
            }
        }
        if (!haveDay) {
            size_t used = 0;
            int d = Digits(token, 1, 2, &used);
            if (d >= 0 && (used == token.size() || token[used] < '0' || token[used] > '9')) {
                haveDay = true;
                day = d;
                continue;
            }
        }
        if (!haveMonth && token.size() >= 3) {
            std::string prefix = Lower(token.substr(0, 3));
            for (int m = 0; m < 12; ++m) {
                if (prefix == months[m]) {
                    haveMonth = true;
                    month = m + 1;
                    break;
                }
            }
            if (haveMonth) continue;
        }
        if (!haveYear) {
            size_t used = 0;
            int y = Digits(token, 2, 4, &used);
            if (y >= 0 && (used == token.size() || token[used] < '0' || token[used] > '9')) {
                haveYear = true;
                year = y;
                continue;
            }
        }
    }
    if (haveYear && year >= 70 && year <= 99) year += 1900;
    else if (haveYear && year >= 0 && year <= 69) year += 2000;
    if (!haveTime || !haveDay || !haveMonth || !haveYear || day < 1 || day > 31 || year < 1601 || hour > 23 ||
        minute > 59 || second > 59)
        return std::numeric_limits<double>::quiet_NaN();
    // Days from 1970 by the civil calendar.
    int y = year - (month <= 2 ? 1 : 0);
    int era = (y >= 0 ? y : y - 399) / 400;
    int yoe = y - era * 400;
    int mp = (month + 9) % 12;
    int doy = (153 * mp + 2) / 5 + day - 1;
    int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    double days = static_cast<double>(era) * 146097 + doe - 719468;
    return ((days * 24 + hour) * 60 + minute) * 60000.0 + second * 1000.0;
}

CookieJar::Address CookieJar::Parse(std::string_view url) {
    Address a;
    size_t colon = url.find(':');
    if (colon == std::string_view::npos) return a;
    a.scheme = Lower(url.substr(0, colon));
    std::string_view rest = url.substr(colon + 1);
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        size_t end = rest.find_first_of("/?#");
        std::string_view authority = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
        if (size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
        if (!authority.empty() && authority.front() == '[') {
            size_t close = authority.find(']');
            a.host = Lower(authority.substr(0, close == std::string_view::npos ? authority.size() : close + 1));
        } else {
            a.host = Lower(authority.substr(0, authority.find(':')));
        }
    }
    std::string_view path = rest.substr(0, rest.find_first_of("?#"));
    a.path = path.empty() || path.front() != '/' ? "/" : std::string(path);
    a.secure = a.scheme == "https" || a.scheme == "wss" || a.host == "localhost" || a.host == "127.0.0.1" ||
               a.host == "[::1]";
    return a;
}

void CookieJar::SetAddress(std::string_view url) { m_address = Parse(url); }

bool CookieJar::Set(std::string_view line, CookieSource source, double now) {
    const Address& where = m_address;
    std::string_view pairText = line.substr(0, line.find(';'));
    size_t eq = pairText.find('=');
    std::string_view name = eq == std::string_view::npos ? std::string_view() : Trim(pairText.substr(0, eq));
    std::string_view value = Trim(eq == std::string_view::npos ? pairText : pairText.substr(eq + 1));
    if (name.empty() && value.empty()) return false;
    if (name.size() + value.size() > kMaxNameValueBytes) return false;
    if (HasControl(name) || HasControl(value)) return false;

    Cookie c;
    c.name = name;
    c.value = value;
    c.created = now;
    bool haveMaxAge = false, haveExpires = false, haveDomain = false, havePath = false;
    double maxAgeExpiry = 0, expiresAt = -1;
    std::string domainAttr, pathAttr;
    size_t at = line.find(';');
    while (at != std::string_view::npos) {
        size_t next = line.find(';', at + 1);
        std::string_view attr = line.substr(at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1);
        at = next;
        size_t aeq = attr.find('=');
        std::string key = Lower(Trim(attr.substr(0, aeq)));
        std::string_view v = aeq == std::string_view::npos ? std::string_view() : Trim(attr.substr(aeq + 1));
        if (v.size() > kMaxAttributeBytes) continue;
        if (key == "expires") {
            double t = ParseCookieDate(v);
            if (!std::isnan(t)) {
                expiresAt = t;
                haveExpires = true;
            }
        } else if (key == "max-age") {
            if (v.empty() || !(v.front() == '-' || (v.front() >= '0' && v.front() <= '9'))) continue;
            bool digits = true;
            for (size_t k = v.front() == '-' ? 1 : 0; k < v.size(); ++k) digits = digits && v[k] >= '0' && v[k] <= '9';
            if (!digits || v == "-") continue;
            double seconds = std::strtod(std::string(v).c_str(), nullptr);
            haveMaxAge = true;
            maxAgeExpiry = seconds <= 0 ? -std::numeric_limits<double>::infinity() : now + seconds * 1000;
        } else if (key == "domain") {
            haveDomain = true;
            std::string d = Lower(v);
            if (!d.empty() && d.front() == '.') d.erase(0, 1);
            domainAttr = d;
        } else if (key == "path") {
            havePath = !v.empty() && v.front() == '/';
            pathAttr = havePath ? std::string(v) : std::string();
        } else if (key == "secure") {
            c.secure = true;
        } else if (key == "httponly") {
            c.httpOnly = true;
        } else if (key == "samesite") {
            std::string s = Lower(v);
            c.sameSite = s == "strict" ? "Strict" : s == "lax" ? "Lax" : s == "none" ? "None" : "";
        }
    }
    if (haveMaxAge) c.expires = maxAgeExpiry;
    else if (haveExpires) c.expires = expiresAt;
    if (c.expires != -1 && c.expires > now + kMaxLifetimeMs) c.expires = now + kMaxLifetimeMs;

    // The domain: host-only unless a Domain attribute names the host or a parent of it.
    bool hostless = where.host.empty();
    if (haveDomain && !domainAttr.empty() && !hostless) {
        if (!DomainMatch(where.host, domainAttr)) return false;
        // A single label (a top-level domain) is a public suffix: only the host itself.
        if (domainAttr.find('.') == std::string::npos && domainAttr != where.host) return false;
        if (domainAttr == where.host && IsAddress(domainAttr)) {
            c.domain = where.host;
        } else {
            c.domain = domainAttr;
            c.hostOnly = false;
        }
    } else {
        c.domain = where.host;
    }
    c.path = havePath ? pathAttr : DefaultPath(where.path);

    if (c.secure && !where.secure && !hostless) return false;
    if (c.httpOnly && source == CookieSource::Script) return false;
    if (c.sameSite == "None" && !c.secure) return false;
    if (c.name.starts_with("__Secure-") && !c.secure) return false;
    if (c.name.starts_with("__Host-") && (!c.secure || haveDomain || c.path != "/")) return false;

    // The cookie it replaces: same name, domain and path.
    auto same = std::find_if(m_cookies.begin(), m_cookies.end(), [&](const Cookie& o) {
        return o.name == c.name && o.domain == c.domain && o.hostOnly == c.hostOnly && o.path == c.path;
    });
    if (source == CookieSource::Script) {
        if (same != m_cookies.end() && same->httpOnly) return false;
    }
    // An insecure page leaves alone the Secure cookies whose name it shares and whose
    // scope overlaps.
    if (!c.secure && !where.secure && !hostless) {
        for (const Cookie& o : m_cookies) {
            if (o.secure && o.name == c.name && (DomainMatch(o.domain, c.domain) || DomainMatch(c.domain, o.domain)) &&
                PathMatch(c.path, o.path))
                return false;
        }
    }
    bool expired = c.expires != -1 && c.expires <= now;  // -1: a session cookie
    if (same != m_cookies.end()) {
        if (expired) {
            m_cookies.erase(same);
            return true;
        }
        // Chrome gives the new cookie its own creation time: it reads after older ones.
        m_cookies.erase(same);
        c.order = m_next++;
        m_cookies.push_back(std::move(c));
        return true;
    }
    if (expired) return true;
    c.order = m_next++;
    std::string domain = c.domain;
    m_cookies.push_back(std::move(c));
    // Over the limit the domain's oldest cookie goes.
    size_t count = std::count_if(m_cookies.begin(), m_cookies.end(), [&](const Cookie& o) { return o.domain == domain; });
    if (count > kMaxPerDomain) {
        auto oldest = m_cookies.end();
        for (auto it = m_cookies.begin(); it != m_cookies.end(); ++it)
            if (it->domain == domain && (oldest == m_cookies.end() || it->order < oldest->order)) oldest = it;
        if (oldest != m_cookies.end()) m_cookies.erase(oldest);
    }
    return true;
}

void CookieJar::SetTyped(std::string_view pairs, double now) {
    size_t start = 0;
    while (start <= pairs.size()) {
        size_t end = pairs.find(';', start);
        std::string_view pair = Trim(pairs.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (!pair.empty()) {
            Cookie c;
            size_t eq = pair.find('=');
            c.name = eq == std::string_view::npos ? std::string() : std::string(Trim(pair.substr(0, eq)));
            c.value = std::string(Trim(eq == std::string_view::npos ? pair : pair.substr(eq + 1)));
            c.domain = m_address.host;
            c.path = "/";
            c.created = now;
            auto same = std::find_if(m_cookies.begin(), m_cookies.end(), [&](const Cookie& o) {
                return o.name == c.name && o.domain == c.domain && o.hostOnly && o.path == "/";
            });
            if (same != m_cookies.end()) {
                same->value = c.value;
            } else {
                c.order = m_next++;
                m_cookies.push_back(std::move(c));
            }
        }
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

void CookieJar::DropExpired(double now) {
    std::erase_if(m_cookies, [now](const Cookie& c) { return c.expires != -1 && c.expires <= now; });
}

std::vector<Cookie> CookieJar::All(double now) {
    DropExpired(now);
    std::vector<Cookie> out = m_cookies;
    std::stable_sort(out.begin(), out.end(), [](const Cookie& a, const Cookie& b) {
        if (a.path.size() != b.path.size()) return a.path.size() > b.path.size();
        if (a.created != b.created) return a.created < b.created;
        return a.order < b.order;
    });
    return out;
}

std::string CookieJar::Text(const Address& where, bool script, double now) {
    std::string out;
    for (const Cookie& c : All(now)) {
        if (script && c.httpOnly) continue;
        if (!where.host.empty() || !c.domain.empty()) {
            if (c.hostOnly ? c.domain != where.host : !DomainMatch(where.host, c.domain)) continue;
            if (c.secure && !where.secure) continue;
        }
        if (!PathMatch(where.path, c.path)) continue;
        if (!out.empty()) out += "; ";
        out += c.name.empty() ? c.value : c.name + "=" + c.value;
    }
    return out;
}

std::string CookieJar::ScriptText(double now) { return Text(m_address, true, now); }

std::string CookieJar::RequestHeader(std::string_view url, double now) { return Text(Parse(url), false, now); }

}  // namespace qy::page

/** @file HttpGet.h
 * Plain HTTP GET: the address is also the User-Agent, no proxy, every cache asked to
 * revalidate, redirects followed. The body is collected in memory up to its first
 * zero byte; a caller-supplied pump runs while data arrives so a window stays alive.
 */
#pragma once

#include <functional>
#include <string>

namespace qy::net {

struct HttpResult {
    bool ok = false;
    long status = 0;       ///< HTTP status, 0 when no reply came
    std::string body;      ///< up to the first zero byte
    std::string error;     ///< why it failed (English, from the HTTP library)
};

/// Limits that keep a dead server or an endless reply from hurting the workbench.
inline constexpr long kConnectTimeoutSeconds = 15;
inline constexpr long kStallTimeoutSeconds = 30;
inline constexpr size_t kMaxBodyBytes = size_t(64) * 1024 * 1024;

/// A status of 400 or above, a transport failure or a body past the limit is a failure.
HttpResult HttpGet(const std::string& address, const std::function<void()>& pump = {});

/// The body on success, "" on any failure.
std::string HttpGetText(const std::string& address, const std::function<void()>& pump = {});

}  // namespace qy::net

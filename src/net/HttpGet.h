/** @file HttpGet.h
 * Plain HTTP GET: the caller's User-Agent (the address when it gives none), no proxy, every cache asked to
 * revalidate, redirects followed (to http and https only: no other protocol is ever
 * used), compressed replies decoded. The body is collected in memory up to its first
 * zero byte; a caller-supplied pump runs while data arrives so a window stays alive,
 * and a cancel hook and an overall deadline end a transfer that would go on for ever.
 */
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qy::net {

struct HttpResult {
    bool ok = false;
    long status = 0;       ///< HTTP status, 0 when no reply came
    std::string body;      ///< up to the first zero byte
    std::string error;     ///< why it failed (English, from the HTTP library)
    std::string contentType;  ///< the reply's Content-Type header, as sent
    std::vector<std::string> setCookies;  ///< every Set-Cookie header of the replies (redirects' too), in order
    std::string reason;    ///< why it failed, in Chinese (UTF-8): 连接超时, 无法解析主机, 连接被拒绝, HTTP 404, 已取消…
    bool cancelled = false;
    /// Bytes that came (decoded) after the first zero byte and are not in the body.
    size_t droppedBytes = 0;
};

/// Limits that keep a dead server or an endless reply from hurting the workbench.
inline constexpr long kConnectTimeoutSeconds = 15;
inline constexpr long kStallTimeoutSeconds = 30;
inline constexpr size_t kMaxBodyBytes = size_t(64) * 1024 * 1024;
/// The whole transfer, however steadily data trickles in.
inline constexpr long kDeadlineMilliseconds = 60 * 1000;

/// How a caller stays in charge of a transfer.
struct HttpControl {
    std::function<void()> pump;         ///< runs while data arrives
    std::function<bool()> cancelled;    ///< true ends the transfer ("已取消")
    long deadlineMilliseconds = kDeadlineMilliseconds;
    /// The User-Agent header; empty sends the address itself.
    std::string userAgent;
};

HttpResult HttpGet(const std::string& address, const HttpControl& control);

/// A status of 400 or above, a transport failure or a reply past the limit (counted as
/// it arrives decoded, zero bytes included) is a failure.
HttpResult HttpGet(const std::string& address, const std::function<void()>& pump = {});

/// The body on success, "" on any failure.
std::string HttpGetText(const std::string& address, const std::function<void()>& pump = {});

}  // namespace qy::net

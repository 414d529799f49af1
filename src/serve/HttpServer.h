/** @file HttpServer.h
 * A small HTTP/1.1 server for the local service: one thread runs an epoll loop over the
 * listening socket and every connection (keep-alive, pipelined requests answered in
 * order, "Expect: 100-continue", bodies bounded by Content-Length); the handler may
 * answer later from any thread. Stopping closes the listening socket, answers what is
 * in flight (each answer then closes its connection) and returns.
 */
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace qy::serve {

struct HttpRequest {
    std::string method;
    std::string path;   ///< without the query
    std::string query;  ///< after "?", or empty
    /// Header names in lower case, in the order they came.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    /// The value of a header (name in lower case), or empty.
    std::string Header(const std::string& lowerName) const;
};

struct HttpResponse {
    int status = 200;
    std::string contentType = "application/json; charset=utf-8";
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

/// Answers one request; callable once, from any thread.
using Respond = std::function<void(HttpResponse)>;
using HttpHandler = std::function<void(HttpRequest&, Respond)>;

class HttpServer {
public:
    struct Options {
        std::string bind = "127.0.0.1";
        int port = 0;               ///< 0 picks a free port
        size_t maxBody = 1 << 20;   ///< larger bodies are answered 413 unread
        int idleTimeoutMs = 60000;  ///< keep-alive connections idle this long are closed
    };

    HttpServer();
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    /// Binds and listens; false with a Chinese reason when that fails.
    bool Listen(const Options& options, std::string& error);
    int Port() const { return m_port; }

    /// Runs the loop on the calling thread until Stop has finished every connection.
    /// `tooLarge` makes the body of the 413 answer.
    void Run(HttpHandler handler, std::function<std::string()> tooLarge = {});

    /// Thread-safe: stop accepting, finish what is in flight, then Run returns.
    void Stop();

    /// Thread-safe: runs `task` on the loop's thread (tasks posted before Run wait for it).
    void Post(std::function<void()> task);
    /// Loop thread only: calls `onEvent` on the loop's thread whenever `fd` is readable or
    /// closed, until Unwatch. Other sockets (the workers') share the loop this way, so
    /// that an answer goes from a worker to its caller without a thread in between.
    void Watch(int fd, std::function<void()> onEvent);
    void Unwatch(int fd);
    /// Calls `tick` on the loop's thread about every `ms` milliseconds while it runs.
    void SetTick(int ms, std::function<void()> tick);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    int m_port = 0;
};

/// The reason phrase of a status ("OK", "Bad Request", …).
const char* ReasonPhrase(int status);

}  // namespace qy::serve

/** @file LocalServer.h
 * An HTTP server on 127.0.0.1 for the duration of a test, on a free port.
 */
#pragma once

#include <httplib.h>

#include <string>
#include <thread>

namespace qy::test {

class LocalServer {
public:
    httplib::Server server;

    LocalServer() = default;
    ~LocalServer() {
        server.stop();
        if (m_thread.joinable()) m_thread.join();
    }

    /// Starts listening; call after the handlers are set.
    void Start() {
        m_port = server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running()) std::this_thread::yield();
    }

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }

private:
    int m_port = 0;
    std::thread m_thread;
};

}  // namespace qy::test

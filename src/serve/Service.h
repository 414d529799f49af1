/** @file Service.h
 * The local service: the loaded scripts answered over HTTP with JSON, by a pool of
 * engine workers. POST /call and /eval run the script, GET /functions lists its
 * functions, GET /health is what a load balancer polls, POST /reload reads the scripts
 * again (also on change, when watching), and GET / says in plain text what is loaded
 * and how to call it. Nothing of the interface reads or writes files or reaches the
 * network; only the scripts the service was started with are read.
 */
#pragma once

#include <sys/stat.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serve/HttpServer.h"
#include "serve/WorkerPool.h"

namespace qy::serve {

struct ServiceOptions {
    std::string bind = "127.0.0.1";
    int port = 8930;              ///< 0 picks a free port
    int workers = 0;              ///< 0: one per core
    WorkerSettings worker;
    /// Required for any address but loopback; callers send "Authorization: Bearer …".
    std::string token;
    size_t maxBody = 1 << 20;
    /// Reads the scripts to serve, at start and at each reload (UTF-8 reason on failure).
    std::function<bool(std::vector<Script>& scripts, std::string& error)> readScripts;
    /// Files whose change reloads the service (empty: no watching).
    std::vector<std::string> watchFiles;
    /// What the page says is loaded ("md5.js, sign.js"), UTF-8.
    std::string loadedName;
};

/// True for addresses that only this machine reaches: 127.0.0.0/8, ::1, localhost.
bool IsLoopbackAddress(const std::string& address);

class Service {
public:
    explicit Service(ServiceOptions options);
    ~Service();
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    /// Binds the address, starts the workers and loads the scripts into them. False with
    /// a reason (UTF-8) when any of that fails; a script error is its JSON report.
    bool Start(std::string& error);
    /// Serves on the calling thread until Stop has finished the calls in flight.
    void Run();
    /// Serves on a thread of the service's own.
    void RunInBackground();
    /// Thread-safe: stop accepting, answer what is in flight, end the workers.
    void Stop();
    /// Waits for a background run to end (after Stop).
    void Join();

    int Port() const { return m_http.Port(); }
    /// "http://127.0.0.1:8930"
    std::string Address() const;
    WorkerPool& Pool() { return *m_pool; }
    uint64_t Calls() const { return m_calls.load(); }
    uint64_t Errors() const { return m_errors.load(); }

    /// Called from service threads: after each answered call or evaluation, and with a
    /// line (UTF-8) for each one answered with an error, and for reloads.
    std::function<void()> onCall;
    std::function<void(const std::string& line)> onLog;

    /// The plain-text page of GET / (UTF-8).
    std::string Page() const;

    /// Reads the scripts again and loads them into every worker (as POST /reload does);
    /// blocks until one worker has tried them.
    Reply Reload();

private:
    void Handle(HttpRequest& req, Respond respond);
    bool Authorised(const HttpRequest& req, HttpResponse& refusal) const;
    std::string Health() const;
    void Reload(Respond respond);
    void Watch();
    void Log(const std::string& line);

    ServiceOptions m_options;
    HttpServer m_http;
    std::unique_ptr<WorkerPool> m_pool;
    std::atomic<uint64_t> m_calls{0};
    std::atomic<uint64_t> m_errors{0};
    std::atomic<bool> m_stopping{false};
    std::mutex m_reloadMutex;
    std::mutex m_threadsMutex;
    std::vector<std::thread> m_threads;
    std::thread m_runner;
    std::thread m_watcher;
    std::chrono::steady_clock::time_point m_started;
};

}  // namespace qy::serve

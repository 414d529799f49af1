/** @file WorkerPool.h
 * The service's engine workers: each a process of its own (qingyou-js serve --worker)
 * behind a thread of the service that feeds it one request at a time. Processes share
 * nothing, so a worker that crashes or will not stop is killed and replaced while the
 * others go on answering.
 */
#pragma once

#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qy::serve {

struct WorkerSettings {
    std::string program;        ///< the qingyou-js program the workers run
    std::string target = "jscript";
    bool browserEnv = false;
    std::string address;        ///< UTF-8, the page address under the browser environment
    int timeoutMs = 10000;      ///< per call
    size_t maxMemoryMb = 512;   ///< how much a worker may grow during one call
    bool fresh = false;         ///< every call in a freshly loaded global
};

/// One script to load: its name (UTF-8, for error reports) and its text (workbench text).
struct Script {
    std::string name;
    std::string text;
};

struct Reply {
    int status = 500;
    std::string body;
};

/// An error reply body: {"error": {"number", "description", "line", "column"}}.
std::string ErrorJson(int32_t number, const std::string& descriptionUtf8, int32_t line = 0, int32_t column = 0);

class WorkerPool {
public:
    WorkerPool(WorkerSettings settings, int count);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    /// Starts every worker with `scripts` and waits until each has loaded them (or failed
    /// to start). The reply is the function list, or the load error (422), or 500 when
    /// no worker could start.
    Reply Start(const std::vector<Script>& scripts);

    /// Loads `scripts` anew: one worker tries them first, and only when they load does
    /// every worker take them; a failed load leaves the code before in place.
    Reply Reload(const std::vector<Script>& scripts);

    /// Queues a call ('C') or an evaluation ('E'); `done` runs on a worker thread.
    void Submit(char op, std::string body, std::function<void(Reply)> done);

    /// Finishes what is queued and running, then ends every worker process.
    void Stop();

    /// The function list of the code loaded now (JSON body of GET /functions).
    std::string Functions() const;
    int Count() const { return static_cast<int>(m_slots.size()); }
    int Busy() const { return m_busy.load(); }
    int Alive() const;
    uint64_t Calls() const { return m_calls.load(); }
    uint64_t Replaced() const { return m_replaced.load(); }
    /// The worker processes' ids (0 for a slot without one now).
    std::vector<pid_t> Pids() const;
    const WorkerSettings& Settings() const { return m_settings; }

private:
    struct Job {
        char op = 0;
        std::string body;
        std::shared_ptr<const std::string> setup;  ///< a reload's settings and scripts
        std::function<void(Reply)> done;
    };
    struct Slot {
        std::atomic<pid_t> pid{0};
        int fd = -1;
        uint64_t generation = 0;
        std::thread thread;
    };

    std::shared_ptr<const std::string> SetupFrame(const std::vector<Script>& scripts) const;
    void Loop(Slot& slot);
    bool Spawn(Slot& slot);
    void Kill(Slot& slot);
    /// Brings the slot's process up to the current code; false when it failed.
    bool Refresh(Slot& slot, Reply* failure);
    Reply Exchange(Slot& slot, std::string_view head, std::string_view body, int timeoutMs);

    WorkerSettings m_settings;
    std::vector<std::unique_ptr<Slot>> m_slots;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_started;
    std::deque<Job> m_jobs;
    std::shared_ptr<const std::string> m_setup;
    uint64_t m_generation = 0;
    std::string m_functions = "{\"functions\":[]}";
    int m_starting = 0;
    Reply m_startFailure{0, {}};
    bool m_stopping = false;
    std::atomic<int> m_busy{0};
    std::atomic<uint64_t> m_calls{0};
    std::atomic<uint64_t> m_replaced{0};
};

}  // namespace qy::serve

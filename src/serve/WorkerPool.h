/** @file WorkerPool.h
 * The service's engine workers: each a process of its own (qingyou-js serve --worker).
 * Calls go from the HTTP loop straight to an idle worker's socket and the answer comes
 * back on the same loop, so a call costs two wake-ups and no thread in between. What may
 * take long (starting a worker, loading code, reloading, replacing one that crashed or
 * will not stop) is done by a keeper thread per worker, which hands the worker back to
 * the loop when it is ready. Processes share nothing: a worker that crashes or runs away
 * is killed and replaced while the others go on answering.
 */
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace qy::serve {

class HttpServer;

struct WorkerSettings {
    std::string program;        ///< the qingyou-js program the workers run
    std::string target = "jscript";
    bool browserEnv = false;
    std::string address;        ///< UTF-8, the page address under the browser environment
    int timeoutMs = 10000;      ///< per call
    size_t maxMemoryMb = 512;   ///< how much a worker may grow during one call
    bool fresh = false;         ///< every call in a freshly loaded global
    std::string profile;        ///< a browser profile (JSON, UTF-8); empty: the built-in values
    std::optional<uint64_t> seed;  ///< repeatable randomness and clock when set
    std::string folder;         ///< where a served page's local scripts are found (UTF-8)
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
    /// The workers answer on `loop`'s thread once it runs.
    WorkerPool(WorkerSettings settings, int count, HttpServer& loop);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    /// Starts every worker with `scripts` and waits until each has loaded them (or failed
    /// to start). The reply is the function list, or the load error (422), or 500 when
    /// no worker could start.
    Reply Start(const std::vector<Script>& scripts);

    /// Loads `scripts` anew: one worker tries them first, and only when they load does
    /// every worker take them; a failed load leaves the code before in place. Not on the
    /// loop's thread (it waits for the loop).
    Reply Reload(const std::vector<Script>& scripts);

    /// Loop thread only: runs a call ('C') or an evaluation ('E'); `done` runs on the
    /// loop's thread. Calls of one `session` (when not empty) all go to the same worker,
    /// so that each sees the state the ones before it left.
    void Submit(char op, std::string body, std::function<void(Reply)> done, const std::string& session = {});

    /// After the loop has ended: ends every worker process.
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
    using Clock = std::chrono::steady_clock;
    struct Slot;
    struct Job {
        char op = 0;
        std::string body;
        std::function<void(Reply)> done;
        Slot* only = nullptr;  ///< the worker of the call's session
    };
    /// A reload's trial load, waiting for a worker.
    struct Trial {
        std::shared_ptr<const std::string> setup;
        std::function<void(Reply)> done;
    };
    enum class State { Idle, Calling, Away };
    enum class Task { None, Refresh, Replace, Trial };
    struct Slot {
        // Loop thread's while the slot is Idle or Calling, the keeper's while Away.
        State state = State::Away;
        int fd = -1;
        uint64_t generation = 0;
        Job job;
        std::deque<Job> own;  ///< calls of the sessions this worker serves, waiting for it
        Clock::time_point deadline;
        std::atomic<pid_t> pid{0};
        // The keeper's orders, under m_mutex.
        Task task = Task::None;
        Trial trial;
        std::thread keeper;
    };

    std::shared_ptr<const std::string> SetupFrame(const std::vector<Script>& scripts) const;
    // Keeper side.
    void Keep(Slot& slot);
    bool Spawn(Slot& slot);
    void Kill(Slot& slot);
    bool Refresh(Slot& slot, Reply* failure);
    Reply Exchange(Slot& slot, std::string_view head, std::string_view body, int timeoutMs);
    // Loop side.
    void Dispatch();
    void Send(Slot& slot, Job job);
    void OnEvent(Slot& slot);
    void Tick();
    void SendAway(Slot& slot, Task task);
    void Back(Slot& slot);
    Reply Gone(Slot& slot);

    WorkerSettings m_settings;
    HttpServer& m_loop;
    std::vector<std::unique_ptr<Slot>> m_slots;
    // Loop thread only.
    std::deque<Job> m_jobs;
    std::deque<Trial> m_trials;
    // Shared, under m_mutex.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_started;
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

#include "serve/WorkerPool.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "jscript/ErrorMapping.h"
#include "serve/HttpServer.h"
#include "serve/Json.h"
#include "serve/Protocol.h"

extern char** environ;

namespace qy::serve {
namespace {

/// How long past its time limit a worker may take to answer before it is killed: its
/// own stop normally answers at the limit.
constexpr int kGraceMs = 2000;
/// A worker's start-up and load may take this long beyond one call's limit.
constexpr int kLoadGraceMs = 10000;

std::string SignalName(int sig) {
    const char* name = strsignal(sig);
    return std::to_string(sig) + (name ? std::string("，") + name : std::string());
}

}  // namespace

std::string ErrorJson(int32_t number, const std::string& descriptionUtf8, int32_t line, int32_t column) {
    std::string out = "{\"error\":{\"number\":" + std::to_string(number) + ",\"description\":";
    AppendJsonString(out, descriptionUtf8);
    return out + ",\"line\":" + std::to_string(line) + ",\"column\":" + std::to_string(column) + "}}";
}

WorkerPool::WorkerPool(WorkerSettings settings, int count, HttpServer& loop)
    : m_settings(std::move(settings)), m_loop(loop) {
    for (int i = 0; i < (count < 1 ? 1 : count); ++i) m_slots.push_back(std::make_unique<Slot>());
    // Calls past their limit are looked for a few times a second.
    m_loop.SetTick(50, [this] { Tick(); });
}

WorkerPool::~WorkerPool() { Stop(); }

std::shared_ptr<const std::string> WorkerPool::SetupFrame(const std::vector<Script>& scripts) const {
    Json head = Json::Object();
    head.Set("target", Json::String(m_settings.target));
    head.Set("browserEnv", Json::Boolean(m_settings.browserEnv));
    head.Set("address", Json::String(m_settings.address));
    head.Set("timeoutMs", Json::Number(m_settings.timeoutMs));
    head.Set("maxMemoryMb", Json::Number(static_cast<double>(m_settings.maxMemoryMb)));
    head.Set("fresh", Json::Boolean(m_settings.fresh));
    if (!m_settings.profile.empty()) head.Set("profile", Json::String(m_settings.profile));
    // A seed travels as text: a number would lose digits past 2^53.
    if (m_settings.seed) head.Set("seed", Json::String(std::to_string(*m_settings.seed)));
    if (!m_settings.folder.empty()) head.Set("folder", Json::String(m_settings.folder));
    Json& list = head.Set("scripts", Json::Array());
    for (const auto& s : scripts) {
        Json item = Json::Object();
        item.Set("name", Json::String(s.name));
        item.Set("size", Json::Number(static_cast<double>(s.text.size())));
        list.Push(std::move(item));
    }
    auto frame = std::make_shared<std::string>(head.Dump() + "\n");
    for (const auto& s : scripts) *frame += s.text;
    return frame;
}

Reply WorkerPool::Start(const std::vector<Script>& scripts) {
    std::unique_lock lock(m_mutex);
    m_setup = SetupFrame(scripts);
    m_generation = 1;
    m_starting = static_cast<int>(m_slots.size());
    for (auto& slot : m_slots) {
        Slot* s = slot.get();
        s->keeper = std::thread([this, s] { Keep(*s); });
    }
    m_started.wait(lock, [this] { return m_starting == 0; });
    if (Alive() == 0) {
        // Every worker failed: the reason is the same for all; the first one's is kept.
        return m_startFailure.status ? m_startFailure : Reply{500, ErrorJson(0, "工作进程无法启动：" + m_settings.program)};
    }
    return {200, m_functions};
}

int WorkerPool::Alive() const {
    int n = 0;
    for (const auto& s : m_slots) n += s->pid.load() > 0;
    return n;
}

std::vector<pid_t> WorkerPool::Pids() const {
    std::vector<pid_t> out;
    for (const auto& s : m_slots) out.push_back(s->pid.load());
    return out;
}

std::string WorkerPool::Functions() const {
    std::lock_guard lock(m_mutex);
    return m_functions;
}

// ---- The keeper's side: starting, loading and ending a worker process. ----

bool WorkerPool::Spawn(Slot& slot) {
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The worker reads and answers on its standard input.
    posix_spawn_file_actions_adddup2(&actions, sv[1], 0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGHUP);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    // A group of its own: Ctrl+C in the terminal reaches the service, which then stops
    // its workers in order, and not the workers in the middle of a call.
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    std::string serve = "serve", worker = "--worker";
    char* argv[] = {m_settings.program.data(), serve.data(), worker.data(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawn(&pid, m_settings.program.c_str(), &actions, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    close(sv[1]);
    if (rc != 0) {
        close(sv[0]);
        return false;
    }
    slot.fd = sv[0];
    slot.pid = pid;
    slot.generation = 0;
    return true;
}

void WorkerPool::Kill(Slot& slot) {
    if (slot.fd >= 0) close(slot.fd);
    slot.fd = -1;
    pid_t pid = slot.pid.exchange(0);
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

Reply WorkerPool::Exchange(Slot& slot, std::string_view head, std::string_view body, int timeoutMs) {
    std::string frame;
    protocol::ReadResult r = protocol::ReadResult::Closed;
    if (protocol::WriteFrame(slot.fd, head, body)) r = protocol::ReadFrame(slot.fd, frame, timeoutMs);
    if (r == protocol::ReadResult::Ok && frame.size() >= 3) {
        int status = std::atoi(frame.substr(0, 3).c_str());
        frame.erase(0, 3);
        return {status, std::move(frame)};
    }
    Reply gone = Gone(slot);
    Kill(slot);
    return gone;
}

bool WorkerPool::Refresh(Slot& slot, Reply* failure) {
    std::shared_ptr<const std::string> setup;
    uint64_t generation;
    {
        std::lock_guard lock(m_mutex);
        setup = m_setup;
        generation = m_generation;
    }
    if (slot.fd >= 0) {
        // A worker that died while it was away from the loop is noticed here: its end
        // of the socket reads as closed.
        pollfd pfd{slot.fd, POLLIN, 0};
        if (poll(&pfd, 1, 0) > 0) {
            Kill(slot);
            ++m_replaced;
        }
    }
    if (slot.fd < 0 && !Spawn(slot)) {
        if (failure) *failure = {503, ErrorJson(0, "工作进程无法启动：" + m_settings.program)};
        return false;
    }
    if (slot.generation == generation) return true;
    Reply r = Exchange(slot, std::string_view(&protocol::kSetup, 1), *setup, m_settings.timeoutMs + kLoadGraceMs);
    if (r.status != 200) {
        // Code that loaded once and fails now (it reads the time, say) or a worker that
        // did not come up: this worker is not used with it.
        Kill(slot);
        if (failure) *failure = r.status == 422 ? r : Reply{503, ErrorJson(0, "工作进程无法启动：" + m_settings.program)};
        return false;
    }
    slot.generation = generation;
    std::lock_guard lock(m_mutex);
    if (generation == m_generation) m_functions = r.body;
    return true;
}

void WorkerPool::Keep(Slot& slot) {
    bool ready;
    {
        Reply failure;
        ready = Refresh(slot, &failure);
        std::lock_guard lock(m_mutex);
        if (!ready && !m_startFailure.status) m_startFailure = failure;
        --m_starting;
        m_started.notify_all();
    }
    while (true) {
        if (ready) {
            m_loop.Post([this, &slot] { Back(slot); });
        } else {
            // No worker now (the program cannot start, the code fails to load): try
            // again in a while, unless the service stops.
            std::unique_lock lock(m_mutex);
            if (m_wake.wait_for(lock, std::chrono::milliseconds(500), [this] { return m_stopping; })) break;
            lock.unlock();
            ready = Refresh(slot, nullptr);
            continue;
        }
        Task task;
        Trial trial;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return slot.task != Task::None || m_stopping; });
            if (m_stopping) break;
            task = std::exchange(slot.task, Task::None);
            trial = std::move(slot.trial);
            slot.trial = Trial();
        }
        if (task == Task::Replace) Kill(slot);
        if (task == Task::Trial) {
            // A reload: this worker tries the new code; it becomes everyone's only if it loads.
            Reply reply;
            if (slot.fd < 0 && !Spawn(slot)) {
                reply = {503, ErrorJson(0, "工作进程无法启动：" + m_settings.program)};
            } else {
                reply = Exchange(slot, std::string_view(&protocol::kSetup, 1), *trial.setup, m_settings.timeoutMs + kLoadGraceMs);
            }
            if (reply.status == 200) {
                std::lock_guard lock(m_mutex);
                m_setup = trial.setup;
                slot.generation = ++m_generation;
                m_functions = reply.body;
            } else if (reply.status != 422) {
                Kill(slot);  // a worker that failed otherwise is not trusted with the old code either
            }
            if (trial.done) trial.done(std::move(reply));
        }
        ready = Refresh(slot, nullptr);
    }
    // Closing its end tells the worker to finish; one that does not is ended.
    if (slot.fd >= 0) close(slot.fd);
    slot.fd = -1;
    pid_t pid = slot.pid.exchange(0);
    if (pid > 0) {
        for (int i = 0; i < 200 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (kill(pid, 0) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
}

/// How a worker ended, for the caller whose call it was running; the process is reaped.
Reply WorkerPool::Gone(Slot& slot) {
    pid_t pid = slot.pid.exchange(0);
    int status = 0;
    std::string how = "意外退出";
    if (pid > 0) {
        // Ended for sure (it may only have closed its socket), then reaped.
        kill(pid, SIGKILL);
        if (waitpid(pid, &status, 0) == pid) {
            if (WIFSIGNALED(status) && WTERMSIG(status) != SIGKILL) how = "因信号 " + SignalName(WTERMSIG(status)) + " 而结束";
            else if (WIFEXITED(status)) how = "意外退出（退出码 " + std::to_string(WEXITSTATUS(status)) + "）";
            else if (WIFSIGNALED(status)) how = "被结束（信号 " + SignalName(SIGKILL) + "）";
        }
    }
    return {500, ErrorJson(0, "工作进程" + how + "，已由新进程替换")};
}

// ---- The loop's side: calls to idle workers and their answers. ----

void WorkerPool::SendAway(Slot& slot, Task task) {
    m_loop.Unwatch(slot.fd);
    slot.state = State::Away;
    {
        std::lock_guard lock(m_mutex);
        slot.task = task;
    }
    m_wake.notify_all();
}

void WorkerPool::Back(Slot& slot) {
    slot.state = State::Idle;
    m_loop.Watch(slot.fd, [this, &slot] { OnEvent(slot); });
    Dispatch();
}

void WorkerPool::Dispatch() {
    uint64_t generation;
    {
        std::lock_guard lock(m_mutex);
        generation = m_generation;
    }
    for (auto& s : m_slots) {
        Slot& slot = *s;
        if (slot.state != State::Idle) continue;
        if (!m_trials.empty()) {
            {
                std::lock_guard lock(m_mutex);
                slot.trial = std::move(m_trials.front());
            }
            m_trials.pop_front();
            SendAway(slot, Task::Trial);
        } else if (slot.generation != generation) {
            SendAway(slot, Task::Refresh);  // new code came: it takes it before the next call
        } else if (!slot.own.empty()) {
            Job job = std::move(slot.own.front());
            slot.own.pop_front();
            Send(slot, std::move(job));
        } else if (!m_jobs.empty()) {
            Job job = std::move(m_jobs.front());
            m_jobs.pop_front();
            Send(slot, std::move(job));
        }
    }
}

void WorkerPool::Send(Slot& slot, Job job) {
    // A worker that died while idle, before the loop heard of it, is not given the call:
    // it goes back to the queue for another worker.
    pollfd pfd{slot.fd, POLLIN, 0};
    if (poll(&pfd, 1, 0) > 0) {
        ++m_replaced;
        Gone(slot);
        SendAway(slot, Task::Replace);
        if (job.only) job.only->own.push_front(std::move(job));
        else m_jobs.push_front(std::move(job));
        return;
    }
    ++m_busy;
    if (!protocol::WriteFrame(slot.fd, std::string_view(&job.op, 1), job.body)) {
        --m_busy;
        ++m_calls;
        ++m_replaced;
        Reply reply = Gone(slot);
        SendAway(slot, Task::Replace);
        job.done(std::move(reply));
        return;
    }
    slot.job = std::move(job);
    slot.state = State::Calling;
    slot.deadline = Clock::now() + std::chrono::milliseconds(m_settings.timeoutMs + kGraceMs);
}

void WorkerPool::OnEvent(Slot& slot) {
    // A descriptor's number may come back for another socket: only a real event counts.
    pollfd pfd{slot.fd, POLLIN, 0};
    if (slot.state == State::Away || poll(&pfd, 1, 0) <= 0) return;
    if (slot.state == State::Idle) {
        // An idle worker has nothing to say: it died (killed from outside, say).
        ++m_replaced;
        Gone(slot);
        SendAway(slot, Task::Replace);
        return;
    }
    std::string frame;
    // The worker writes its answer in one piece: it is all there, or about to be.
    protocol::ReadResult r = protocol::ReadFrame(slot.fd, frame, 5000);
    Reply reply;
    bool lost = !(r == protocol::ReadResult::Ok && frame.size() >= 3);
    if (!lost) {
        reply.status = std::atoi(frame.substr(0, 3).c_str());
        frame.erase(0, 3);
        reply.body = std::move(frame);
    } else {
        reply = Gone(slot);
        ++m_replaced;
    }
    --m_busy;
    ++m_calls;
    auto done = std::move(slot.job.done);
    slot.job = Job();
    if (lost) SendAway(slot, Task::Replace);
    else slot.state = State::Idle;
    done(std::move(reply));
    Dispatch();
}

void WorkerPool::Tick() {
    auto now = Clock::now();
    bool any = false;
    for (auto& s : m_slots) {
        Slot& slot = *s;
        if (slot.state != State::Calling || now < slot.deadline) continue;
        // The engine's own stop did not end it in time: the worker goes.
        pid_t pid = slot.pid.exchange(0);
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        --m_busy;
        ++m_calls;
        ++m_replaced;
        auto done = std::move(slot.job.done);
        slot.job = Job();
        SendAway(slot, Task::Replace);
        done({422, ErrorJson(jscript::errors::ToNumber(jscript::errors::kStopped),
                             "调用超过时间限制（" + std::to_string(m_settings.timeoutMs / 1000.0).substr(0, 5) +
                                 " 秒）后仍未停止，工作进程已结束并由新进程替换")});
        any = true;
    }
    if (any) Dispatch();
}

void WorkerPool::Submit(char op, std::string body, std::function<void(Reply)> done, const std::string& session) {
    bool stopping;
    {
        std::lock_guard lock(m_mutex);
        stopping = m_stopping;
    }
    if (stopping) {
        if (done) done({503, ErrorJson(0, "服务正在停止")});
        return;
    }
    if (!session.empty()) {
        Slot* slot = m_slots[std::hash<std::string>()(session) % m_slots.size()].get();
        slot->own.push_back(Job{op, std::move(body), std::move(done), slot});
    } else {
        m_jobs.push_back(Job{op, std::move(body), std::move(done), nullptr});
    }
    Dispatch();
}

Reply WorkerPool::Reload(const std::vector<Script>& scripts) {
    struct Outcome {
        std::mutex mutex;
        std::condition_variable wake;
        bool finished = false;
        Reply reply;
    };
    auto outcome = std::make_shared<Outcome>();
    Trial trial;
    trial.setup = SetupFrame(scripts);
    trial.done = [outcome](Reply r) {
        std::lock_guard lock(outcome->mutex);
        outcome->reply = std::move(r);
        outcome->finished = true;
        outcome->wake.notify_all();
    };
    m_loop.Post([this, trial = std::move(trial)]() mutable {
        m_trials.push_back(std::move(trial));
        Dispatch();
    });
    std::unique_lock lock(outcome->mutex);
    while (!outcome->wake.wait_for(lock, std::chrono::milliseconds(100), [&] { return outcome->finished; })) {
        std::lock_guard stop(m_mutex);
        if (m_stopping) return {503, ErrorJson(0, "服务正在停止")};
    }
    return outcome->reply;
}

void WorkerPool::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (auto& s : m_slots)
        if (s->keeper.joinable()) s->keeper.join();
}

}  // namespace qy::serve

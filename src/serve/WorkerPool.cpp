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

WorkerPool::WorkerPool(WorkerSettings settings, int count) : m_settings(std::move(settings)) {
    for (int i = 0; i < (count < 1 ? 1 : count); ++i) m_slots.push_back(std::make_unique<Slot>());
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
        s->thread = std::thread([this, s] { Loop(*s); });
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
    if (r == protocol::ReadResult::TimedOut) {
        Kill(slot);
        return {422, ErrorJson(jscript::errors::ToNumber(jscript::errors::kStopped),
                               "调用超过时间限制（" + std::to_string(m_settings.timeoutMs / 1000.0).substr(0, 5) +
                                   " 秒）后仍未停止，工作进程已结束并由新进程替换")};
    }
    // The worker is gone: say how it ended.
    pid_t pid = slot.pid.exchange(0);
    close(slot.fd);
    slot.fd = -1;
    int status = 0;
    std::string how = "意外退出";
    if (pid > 0 && waitpid(pid, &status, 0) == pid) {
        if (WIFSIGNALED(status)) how = "因信号 " + SignalName(WTERMSIG(status)) + " 而结束";
        else if (WIFEXITED(status)) how = "意外退出（退出码 " + std::to_string(WEXITSTATUS(status)) + "）";
    }
    return {500, ErrorJson(0, "工作进程" + how + "，已由新进程替换")};
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
        // A worker that died while idle (killed from outside, say) is noticed before a
        // call is sent to it: its end of the socket reads as closed.
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

void WorkerPool::Loop(Slot& slot) {
    {
        Reply failure;
        bool ok = Refresh(slot, &failure);
        std::lock_guard lock(m_mutex);
        if (!ok && !m_startFailure.status) m_startFailure = failure;
        --m_starting;
        m_started.notify_all();
    }
    while (true) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] {
                return !m_jobs.empty() || m_stopping || (slot.fd >= 0 && slot.generation != m_generation);
            });
            if (m_jobs.empty()) {
                if (m_stopping) break;
                lock.unlock();
                Refresh(slot, nullptr);  // new code came: take it while idle
                continue;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        ++m_busy;
        Reply reply;
        if (job.setup) {
            // A reload: this worker tries the new code; it becomes everyone's only if it loads.
            if (slot.fd < 0 && !Spawn(slot)) {
                reply = {503, ErrorJson(0, "工作进程无法启动：" + m_settings.program)};
            } else {
                reply = Exchange(slot, std::string_view(&protocol::kSetup, 1), *job.setup,
                                 m_settings.timeoutMs + kLoadGraceMs);
            }
            if (reply.status == 200) {
                std::lock_guard lock(m_mutex);
                m_setup = job.setup;
                slot.generation = ++m_generation;
                m_functions = reply.body;
                m_wake.notify_all();
            } else if (slot.fd >= 0) {
                // The worker kept the code before; it must load it again only if it lost it.
                if (reply.status != 422) Kill(slot);
            }
        } else if (Refresh(slot, &reply)) {
            reply = Exchange(slot, std::string_view(&job.op, 1), job.body, m_settings.timeoutMs + kGraceMs);
            ++m_calls;
        }
        --m_busy;
        if (job.done) job.done(std::move(reply));
        if (slot.fd < 0) {
            // Replaced at once, so that the next call finds it ready.
            std::unique_lock lock(m_mutex);
            if (m_stopping) continue;
            lock.unlock();
            ++m_replaced;
            Refresh(slot, nullptr);
        }
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

Reply WorkerPool::Reload(const std::vector<Script>& scripts) {
    std::mutex doneMutex;
    std::condition_variable doneWake;
    bool finished = false;
    Reply result;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping) return {503, ErrorJson(0, "服务正在停止")};
        Job job;
        job.setup = SetupFrame(scripts);
        job.done = [&](Reply r) {
            std::lock_guard l(doneMutex);
            result = std::move(r);
            finished = true;
            doneWake.notify_all();
        };
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    std::unique_lock l(doneMutex);
    doneWake.wait(l, [&] { return finished; });
    return result;
}

void WorkerPool::Submit(char op, std::string body, std::function<void(Reply)> done) {
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping) {
            if (done) done({503, ErrorJson(0, "服务正在停止")});
            return;
        }
        m_jobs.push_back(Job{op, std::move(body), nullptr, std::move(done)});
    }
    m_wake.notify_one();
}

void WorkerPool::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (auto& s : m_slots)
        if (s->thread.joinable()) s->thread.join();
}

}  // namespace qy::serve

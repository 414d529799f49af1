/** @file Engine.cpp
 * The process's one SpiderMonkey context and its watchdog. The watchdog thread asks the
 * engine for an interrupt every few milliseconds while a call runs; the interrupt
 * callback then ends the call when a stop was requested or the process grows past its
 * memory limit, and lets the window layer show its busy window.
 */
#include "script/Engine.h"

#include <js/Initialization.h>
#include <js/Promise.h>
#include <jsfriendapi.h>
#include <vector>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>

#include "script/EngineInternal.h"

namespace qy::script {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kMaxGcBytes = 1024u * 1024u * 1024u;
constexpr size_t kDefaultMemoryGrowthLimit = size_t(2) * 1024 * 1024 * 1024;
constexpr auto kWatchdogPeriod = std::chrono::milliseconds(10);
constexpr auto kWatchdogIdlePeriod = std::chrono::milliseconds(40);
constexpr auto kBusyHookDelay = std::chrono::milliseconds(300);

/// The promise job queue. Ours rather than the engine's internal one because asking
/// the internal queue to run costs tens of microseconds even when it is empty, more
/// than a whole short evaluation.
class JobQueue final : public JS::JobQueue {
public:
    JSObject* getIncumbentGlobal(JSContext* cx) override { return JS::CurrentGlobalOrNull(cx); }

    bool enqueuePromiseJob(JSContext* cx, JS::HandleObject, JS::HandleObject job, JS::HandleObject,
                           JS::HandleObject) override {
        m_jobs.push_back(std::make_unique<JS::PersistentRooted<JSObject*>>(cx, job));
        return true;
    }

    void runJobs(JSContext* cx) override {
        if (m_draining) return;
        m_draining = true;
        // Jobs may enqueue more jobs; run until none is left.
        while (!m_jobs.empty()) {
            auto jobs = std::move(m_jobs);
            m_jobs.clear();
            for (auto& root : jobs) {
                JS::RootedObject job(cx, root->get());
                root.reset();
                JSAutoRealm ar(cx, job);
                JS::RootedValue rval(cx);
                if (!JS::Call(cx, JS::UndefinedHandleValue, job, JS::HandleValueArray::empty(), &rval)) {
                    JS_ClearPendingException(cx);
                    if (!JS_IsExceptionPending(cx) && detail::LastAbortReason() != detail::AbortReason::None) {
                        m_jobs.clear();
                        break;
                    }
                }
            }
        }
        m_draining = false;
    }

    bool empty() const override { return m_jobs.empty(); }
    void clear() { m_jobs.clear(); }

private:
    js::UniquePtr<SavedJobQueue> saveJobQueue(JSContext*) override {
        return js::MakeUnique<SavedQueue>(this);
    }

    /// Keeps the debuggee's jobs aside while the engine runs jobs of its own.
    struct SavedQueue final : SavedJobQueue {
        explicit SavedQueue(JobQueue* q) : queue(q), jobs(std::move(q->m_jobs)) { q->m_jobs.clear(); }
        ~SavedQueue() override { queue->m_jobs = std::move(jobs); }
        JobQueue* queue;
        std::vector<std::unique_ptr<JS::PersistentRooted<JSObject*>>> jobs;
    };

    std::vector<std::unique_ptr<JS::PersistentRooted<JSObject*>>> m_jobs;
    bool m_draining = false;
};

struct Runtime {
    JSContext* cx = nullptr;
    std::thread watchdog;
    std::mutex mutex;
    std::condition_variable wake;
    bool quit = false;
    std::atomic<bool> callRunning{false};
    std::atomic<bool> stopRequested{false};
    int depth = 0;
    Clock::time_point callStart;
    detail::AbortReason abortReason = detail::AbortReason::None;
    BusyHook busyHook;
    bool inBusyHook = false;
    size_t memoryLimit = 0;
    std::set<detail::JsObjectRoot*> roots;
    JobQueue jobQueue;
    Clock::time_point lastKeptClear;
};

Runtime* g_runtime = nullptr;
bool g_initialisedOnce = false;

size_t NativeStackQuota() {
    rlimit lim{};
    size_t stack = 8u * 1024 * 1024;
    if (getrlimit(RLIMIT_STACK, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY) stack = lim.rlim_cur;
    return stack / 4 * 3;
}

bool InterruptCallback(JSContext*) {
    Runtime& rt = *g_runtime;
    if (rt.stopRequested.load()) {
        rt.abortReason = detail::AbortReason::Stopped;
        return false;
    }
    if (rt.memoryLimit && detail::ResidentBytes() > rt.memoryLimit) {
        rt.abortReason = detail::AbortReason::OutOfMemory;
        return false;
    }
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - rt.callStart);
    if (rt.busyHook && !rt.inBusyHook && elapsed >= kBusyHookDelay) {
        rt.inBusyHook = true;
        rt.busyHook(elapsed);
        rt.inBusyHook = false;
        if (rt.stopRequested.load()) {
            rt.abortReason = detail::AbortReason::Stopped;
            return false;
        }
    }
    return true;
}

/// Engine calls do not wake the watchdog (that would cost a thread switch per call,
/// far more than a short call itself); it looks at the running flag on its own, slowly
/// while idle and every period while a call runs.
void WatchdogLoop(Runtime* rt) {
    std::unique_lock lock(rt->mutex);
    while (!rt->quit) {
        bool running = rt->callRunning.load();
        rt->wake.wait_for(lock, running ? kWatchdogPeriod : kWatchdogIdlePeriod);
        if (running && rt->callRunning.load() && !rt->quit) JS_RequestInterruptCallback(rt->cx);
    }
}

}  // namespace

bool StartEngine() {
    if (g_runtime) return true;
    if (g_initialisedOnce) return false;  // the engine cannot start again after shut-down
    g_initialisedOnce = true;
    if (!JS_Init()) return false;
    JSContext* cx = JS_NewContext(kMaxGcBytes);
    if (!cx) {
        JS_ShutDown();
        return false;
    }
    JS_SetNativeStackQuota(cx, NativeStackQuota());
    if (!JS::InitSelfHostedCode(cx)) {
        JS_DestroyContext(cx);
        JS_ShutDown();
        return false;
    }
    g_runtime = new Runtime;
    g_runtime->cx = cx;
    JS::SetJobQueue(cx, &g_runtime->jobQueue);
    g_runtime->memoryLimit = detail::ResidentBytes() + kDefaultMemoryGrowthLimit;
    JS_AddInterruptCallback(cx, InterruptCallback);
    g_runtime->watchdog = std::thread(WatchdogLoop, g_runtime);
    return true;
}

void StopEngine() {
    if (!g_runtime) return;
    {
        std::lock_guard lock(g_runtime->mutex);
        g_runtime->quit = true;
    }
    g_runtime->wake.notify_all();
    g_runtime->watchdog.join();
    // Objects still referenced by the workbench lose their roots here, before the
    // context goes; their wrappers then hold nothing.
    auto roots = g_runtime->roots;
    for (auto* root : roots) root->reset();
    g_runtime->jobQueue.clear();
    JS_DestroyContext(g_runtime->cx);
    JS_ShutDown();
    delete g_runtime;
    g_runtime = nullptr;
}

bool EngineRunning() { return g_runtime != nullptr; }

void RequestStop() {
    Runtime* rt = g_runtime;
    if (!rt || !rt->callRunning.load()) return;
    rt->stopRequested = true;
    JS_RequestInterruptCallback(rt->cx);
}

void SetBusyHook(BusyHook hook) {
    if (g_runtime) g_runtime->busyHook = std::move(hook);
}

void SetMemoryGrowthLimit(size_t bytes) {
    if (g_runtime) g_runtime->memoryLimit = detail::ResidentBytes() + bytes;
}

void CollectGarbage() {
    if (!g_runtime) return;
    JS::ClearKeptObjects(g_runtime->cx);
    JS_GC(g_runtime->cx);
}

namespace detail {

JSContext* Cx() { return g_runtime ? g_runtime->cx : nullptr; }

EngineCall::EngineCall() : m_outermost(g_runtime && g_runtime->depth == 0) {
    if (!g_runtime) return;
    ++g_runtime->depth;
    if (m_outermost) {
        g_runtime->stopRequested = false;
        g_runtime->abortReason = AbortReason::None;
        g_runtime->callStart = Clock::now();
        g_runtime->callRunning = true;
    }
}

EngineCall::~EngineCall() {
    if (!g_runtime) return;
    --g_runtime->depth;
    if (m_outermost) g_runtime->callRunning = false;
}

void RunPendingJobs(JSContext* cx) {
    if (g_runtime && !g_runtime->jobQueue.empty()) g_runtime->jobQueue.runJobs(cx);
    // The end of a call ends the script's job, so WeakRef targets it read may go. The
    // engine's clearing costs more than a short call, so it runs at most every 100 ms
    // and before every full collection.
    auto now = Clock::now();
    if (g_runtime && now - g_runtime->lastKeptClear > std::chrono::milliseconds(100)) {
        g_runtime->lastKeptClear = now;
        JS::ClearKeptObjects(cx);
    }
}

AbortReason LastAbortReason() { return g_runtime ? g_runtime->abortReason : AbortReason::None; }

JsObjectRoot::JsObjectRoot(JSObject* obj) {
    if (!g_runtime) return;
    m_root = std::make_unique<JS::PersistentRooted<JSObject*>>(g_runtime->cx, obj);
    g_runtime->roots.insert(this);
}

JsObjectRoot::~JsObjectRoot() { reset(); }

JSObject* JsObjectRoot::get() const { return m_root ? m_root->get() : nullptr; }

JS::HandleObject JsObjectRoot::handle() const { return *m_root; }

bool JsObjectRoot::alive() const { return m_root != nullptr && g_runtime != nullptr; }

void JsObjectRoot::reset() {
    if (!m_root) return;
    m_root.reset();
    if (g_runtime) g_runtime->roots.erase(this);
}

size_t ResidentBytes() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    unsigned long size = 0, resident = 0;
    int n = std::fscanf(f, "%lu %lu", &size, &resident);
    std::fclose(f);
    return n == 2 ? resident * static_cast<size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

}  // namespace detail
}  // namespace qy::script

/** @file Engine.cpp
 * The process's one SpiderMonkey context and its watchdog. The watchdog thread asks the
 * engine for an interrupt every few milliseconds while a call runs; the interrupt
 * callback then ends the call when a stop was requested or the process grows past its
 * memory limit, and lets the window layer show its busy window.
 */
#include "script/Engine.h"

#include <js/GCAPI.h>
#include <js/Initialization.h>
#include <js/Promise.h>
#include <jsfriendapi.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "codecache/CodeCache.h"
#include "jscript/Runtime.h"
#include "script/EngineInternal.h"

namespace qy::script {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kMaxGcBytes = 1024u * 1024u * 1024u;
constexpr size_t kDefaultMemoryGrowthLimit = size_t(2) * 1024 * 1024 * 1024;
constexpr auto kWatchdogPeriod = std::chrono::milliseconds(10);
constexpr auto kWatchdogIdlePeriod = std::chrono::milliseconds(40);
constexpr auto kBusyHookDelay = std::chrono::milliseconds(300);
constexpr auto kPausedEvaluationLimit = std::chrono::milliseconds(1000);

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
                    // A job's own exception is a rejection nobody handled; a failure
                    // without one is the watchdog ending the run: drop the other jobs.
                    bool cutShort = !JS_IsExceptionPending(cx);
                    JS_ClearPendingException(cx);
                    if (cutShort) {
                        m_jobs.clear();
                        m_cutShort = true;
                        break;
                    }
                }
            }
        }
        m_draining = false;
    }

    bool empty() const override { return m_jobs.empty(); }
    void clear() { m_jobs.clear(); }
    /// True once, after a run of jobs that the watchdog ended.
    bool TakeCutShort() { return std::exchange(m_cutShort, false); }

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
    bool m_cutShort = false;
};

struct Runtime {
    JSContext* cx = nullptr;
    std::thread watchdog;
    std::mutex mutex;
    std::condition_variable wake;
    bool quit = false;
    /// Serial number of the outermost call now running, 0 between calls. A stop request
    /// names the call it was made during, so a request that comes in just as one call
    /// ends never stops the next one.
    std::atomic<uint64_t> runningCall{0};
    std::atomic<uint64_t> stopCall{0};
    uint64_t lastCall = 0;
    int depth = 0;
    /// Set when a call was ended for memory: the next call first collects, so the
    /// memory the script's garbage held comes back before the limit is checked again.
    bool collectBeforeNextCall = false;
    Clock::time_point callStart;
    /// The watchdog's copies of what it reads while a call runs.
    std::atomic<Clock::time_point> callStartShared{Clock::time_point()};
    std::atomic<bool> hasBusyHook{false};
    detail::AbortReason abortReason = detail::AbortReason::None;
    BusyHook busyHook;
    bool inBusyHook = false;
    /// How much the process may grow during one call, and the size it had when the
    /// watchdog first saw that call (a call too short for the watchdog to see is too
    /// short to grow much).
    std::atomic<size_t> memoryGrowthLimit{0};
    std::atomic<uint64_t> baselineCall{0};
    std::atomic<size_t> baselineBytes{0};
    JobQueue jobQueue;
    Clock::time_point lastKeptClear;
    /// While the debugger holds a call paused nothing of the watchdog applies to it:
    /// the user reads variables for as long as they like.
    std::atomic<bool> paused{false};
    std::atomic<bool> pauseRequested{false};
    /// Start of the debugger's own evaluation now running inside a pause (a watch, the
    /// evaluation box), or the epoch: one that runs too long is cut short.
    std::atomic<Clock::time_point> pausedEvalStart{Clock::time_point()};
    detail::PauseHook pauseHook = nullptr;
    /// StopScope: how many are alive, whether their work was stopped, and whether its
    /// stop means the time ran out.
    int scopeDepth = 0;
    std::atomic<bool> scopeActive{false};
    std::atomic<bool> scopeStopped{false};
    bool scopeTimeout = false;
    /// When the outermost StopScope's work began: its calls count their time from here.
    Clock::time_point scopeStart;
};

Runtime* g_runtime = nullptr;
bool g_initialisedOnce = false;

size_t NativeStackQuota() {
    rlimit lim{};
    size_t stack = 8u * 1024 * 1024;
    if (getrlimit(RLIMIT_STACK, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY) stack = lim.rlim_cur;
    return stack / 4 * 3;
}

bool StopRequestedForRunningCall(const Runtime& rt) {
    uint64_t running = rt.runningCall.load();
    return running != 0 && rt.stopCall.load() == running;
}

/// True when the process has grown past the limit since the watchdog first saw `call`.
/// What an earlier call left behind (a runaway's garbage still reachable) does not count
/// against the next one.
bool OverMemory(const Runtime& rt, uint64_t call) {
    size_t limit = rt.memoryGrowthLimit.load();
    if (!limit || call == 0 || rt.baselineCall.load() != call) return false;
    return detail::ResidentBytes() > rt.baselineBytes.load() + limit;
}

bool InterruptCallback(JSContext* cx) {
    Runtime& rt = *g_runtime;
    if (rt.paused) {
        Clock::time_point start = rt.pausedEvalStart.load();
        return start == Clock::time_point() || Clock::now() - start < kPausedEvaluationLimit;
    }
    if (StopRequestedForRunningCall(rt)) {
        rt.abortReason = detail::AbortReason::Stopped;
        return false;
    }
    if (OverMemory(rt, rt.runningCall.load())) {
        rt.abortReason = detail::AbortReason::OutOfMemory;
        rt.collectBeforeNextCall = true;
        return false;
    }
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - rt.callStart);
    if (rt.busyHook && !rt.inBusyHook && elapsed >= kBusyHookDelay) {
        // A copy runs: the window may replace or remove the hook from inside it.
        BusyHook hook = rt.busyHook;
        rt.inBusyHook = true;
        hook(elapsed);
        rt.inBusyHook = false;
        if (StopRequestedForRunningCall(rt)) {
            rt.abortReason = detail::AbortReason::Stopped;
            return false;
        }
    }
    if (rt.pauseRequested.exchange(false) && rt.pauseHook) rt.pauseHook(cx);
    return true;
}

/// Engine calls do not wake the watchdog (that would cost a thread switch per call,
/// far more than a short call itself); it looks at the running flag on its own, slowly
/// while idle and every period while a call runs. It asks for an interrupt only when
/// the callback has something to do: the process has outgrown its memory limit, or the
/// call has run long enough for the busy window. An interrupt that arrives while a
/// regular expression runs makes the engine give up the match with a recursion error,
/// so a call that needs none must never get one.
void WatchdogLoop(Runtime* rt) {
    std::unique_lock lock(rt->mutex);
    while (!rt->quit) {
        uint64_t running = rt->runningCall.load();
        rt->wake.wait_for(lock, running ? kWatchdogPeriod : kWatchdogIdlePeriod);
        if (!running || rt->runningCall.load() != running || rt->quit) continue;
        if (rt->paused) {
            Clock::time_point start = rt->pausedEvalStart.load();
            if (start != Clock::time_point() && Clock::now() - start >= kPausedEvaluationLimit)
                JS_RequestInterruptCallback(rt->cx);
            continue;
        }
        if (rt->baselineCall.load() != running) {
            rt->baselineBytes = detail::ResidentBytes();
            rt->baselineCall = running;
        }
        bool overMemory = OverMemory(*rt, running);
        bool busyDue = rt->hasBusyHook.load() && Clock::now() - rt->callStartShared.load() >= kBusyHookDelay;
        if (overMemory || busyDue) JS_RequestInterruptCallback(rt->cx);
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
    // The engine's built-in scripts come compiled from the code cache when an earlier
    // process left them there.
    mozilla::Span<const uint8_t> compiled = codecache::SelfHostedCode();
    JS::SelfHostedWriter keep = codecache::Directory().empty() ? nullptr : codecache::KeepSelfHostedCode;
    if (!JS::InitSelfHostedCode(cx, compiled, keep)) {
        JS_DestroyContext(cx);
        JS_ShutDown();
        return false;
    }
    g_runtime = new Runtime;
    g_runtime->cx = cx;
    JS::SetJobQueue(cx, &g_runtime->jobQueue);
    g_runtime->memoryGrowthLimit = kDefaultMemoryGrowthLimit;
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
    detail::DropAllRoots();
    g_runtime->jobQueue.clear();
    jscript::ReleaseRuntime();
    JS_DestroyContext(g_runtime->cx);
    JS_ShutDown();
    delete g_runtime;
    g_runtime = nullptr;
}

bool EngineRunning() { return g_runtime != nullptr; }

bool EngineIdle() {
    return g_runtime && g_runtime->runningCall.load() == 0 && !g_runtime->paused && !g_runtime->inBusyHook;
}

void RequestCallStop() {
    Runtime* rt = g_runtime;
    if (!rt) return;
    uint64_t running = rt->runningCall.load();
    if (running == 0) return;
    rt->stopCall = running;
    JS_RequestInterruptCallback(rt->cx);
}

void RequestStop() {
    Runtime* rt = g_runtime;
    if (!rt) return;
    if (rt->scopeActive.load()) rt->scopeStopped = true;
    RequestCallStop();
}

void RequestPause() {
    Runtime* rt = g_runtime;
    if (!rt || rt->runningCall.load() == 0 || rt->paused) return;
    rt->pauseRequested = true;
    JS_RequestInterruptCallback(rt->cx);
}

StopScope::StopScope(bool timeout) : m_outermost(g_runtime && g_runtime->scopeDepth == 0) {
    if (!g_runtime) return;
    ++g_runtime->scopeDepth;
    if (m_outermost) {
        g_runtime->scopeTimeout = timeout;
        g_runtime->scopeStopped = false;
        g_runtime->scopeStart = Clock::now();
        g_runtime->scopeActive = true;
    }
}

StopScope::~StopScope() {
    if (!g_runtime) return;
    --g_runtime->scopeDepth;
    if (m_outermost) {
        g_runtime->scopeActive = false;
        g_runtime->scopeStopped = false;
        g_runtime->scopeTimeout = false;
    }
}

bool StopScope::Stopped() const { return WorkStopped(); }

bool WorkStopped() { return g_runtime && g_runtime->scopeActive.load() && g_runtime->scopeStopped.load(); }

bool WorkTimedOut() { return WorkStopped() && g_runtime->scopeTimeout; }

void SetBusyHook(BusyHook hook) {
    if (!g_runtime) return;
    g_runtime->hasBusyHook = static_cast<bool>(hook);
    g_runtime->busyHook = std::move(hook);
}

void SetMemoryGrowthLimit(size_t bytes) {
    if (g_runtime) g_runtime->memoryGrowthLimit = bytes;
}

void CollectGarbage() {
    if (!g_runtime) return;
    JS::ClearKeptObjects(g_runtime->cx);
    JS_GC(g_runtime->cx);
}

namespace detail {

JSContext* Cx() { return g_runtime ? g_runtime->cx : nullptr; }

bool EngineAvailable() { return g_runtime && !g_runtime->inBusyHook && !g_runtime->paused; }

PauseScope::PauseScope() : m_active(g_runtime && !g_runtime->paused) {
    if (m_active) g_runtime->paused = true;
}

PauseScope::~PauseScope() {
    if (!m_active) return;
    Runtime& rt = *g_runtime;
    // The run goes on as if it had just begun: the busy window waits its full delay
    // again, and what the pause cost in memory (the debugger's own reading) is not
    // counted against the script.
    rt.callStart = Clock::now();
    rt.callStartShared = rt.callStart;
    rt.baselineCall = 0;
    rt.pauseRequested = false;
    rt.paused = false;
}

bool Paused() { return g_runtime && g_runtime->paused; }

uint64_t CurrentCallSerial() { return g_runtime ? g_runtime->runningCall.load() : 0; }

PausedEvaluation::PausedEvaluation() : m_active(g_runtime && g_runtime->paused) {
    if (m_active) g_runtime->pausedEvalStart = Clock::now();
}

PausedEvaluation::~PausedEvaluation() {
    if (m_active) g_runtime->pausedEvalStart = Clock::time_point();
}

void MarkStopped() {
    if (g_runtime) g_runtime->abortReason = AbortReason::Stopped;
}

void SetPauseHook(PauseHook hook) {
    if (g_runtime) g_runtime->pauseHook = hook;
}

EngineCall::EngineCall() : m_outermost(g_runtime && g_runtime->depth == 0) {
    if (!g_runtime) return;
    ++g_runtime->depth;
    if (m_outermost) {
        Runtime& rt = *g_runtime;
        if (rt.collectBeforeNextCall) {
            rt.collectBeforeNextCall = false;
            JS::ClearKeptObjects(rt.cx);
            JS_GC(rt.cx);
        }
        rt.abortReason = AbortReason::None;
        // A call of a larger work counts the work's time: work made of many short calls
        // gets the busy window (and lets the window's events through) all the same.
        rt.callStart = rt.scopeActive.load() ? rt.scopeStart : Clock::now();
        rt.callStartShared = rt.callStart;
        rt.runningCall = ++rt.lastCall;
        // Work that was stopped as a whole: this call of it ends at its first check.
        if (rt.scopeActive.load() && rt.scopeStopped.load()) {
            rt.stopCall = rt.runningCall.load();
            JS_RequestInterruptCallback(rt.cx);
        }
    }
}

EngineCall::~EngineCall() {
    if (!g_runtime) return;
    --g_runtime->depth;
    if (m_outermost) g_runtime->runningCall = 0;
}

bool RunPendingJobs(JSContext* cx) {
    if (!g_runtime) return true;
    bool completed = true;
    if (!g_runtime->jobQueue.empty()) {
        g_runtime->jobQueue.runJobs(cx);
        completed = !g_runtime->jobQueue.TakeCutShort();
    }
    // The end of a call ends the script's job, so WeakRef targets it read may go. The
    // engine's clearing costs more than a short call, so it runs at most every 100 ms
    // and before every full collection.
    auto now = Clock::now();
    if (now - g_runtime->lastKeptClear > std::chrono::milliseconds(100)) {
        g_runtime->lastKeptClear = now;
        JS::ClearKeptObjects(cx);
    }
    return completed;
}

AbortReason LastAbortReason() { return g_runtime ? g_runtime->abortReason : AbortReason::None; }

bool StopRequestedForThisCall() { return g_runtime && StopRequestedForRunningCall(*g_runtime); }

namespace {
/// Head of the list of live roots (an intrusive list: linking costs no allocation).
JsRootLink* g_roots = nullptr;
}  // namespace

void JsRootLink::Link() {
    m_prev = nullptr;
    m_next = g_roots;
    if (g_roots) g_roots->m_prev = this;
    g_roots = this;
    m_linked = true;
}

void JsRootLink::Unlink() {
    if (!m_linked) return;
    if (m_prev) m_prev->m_next = m_next;
    else g_roots = m_next;
    if (m_next) m_next->m_prev = m_prev;
    m_prev = m_next = nullptr;
    m_linked = false;
}

void DropAllRoots() {
    while (g_roots) g_roots->reset();  // reset() unlinks the head
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

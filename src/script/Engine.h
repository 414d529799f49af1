/** @file Engine.h
 * The one SpiderMonkey runtime of the process. It runs every script on the thread that
 * started it (the GUI thread). A watchdog thread lets a long run be stopped from another
 * thread and lets the window stay responsive while a script runs.
 */
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

namespace qy::script {

/// Starts the engine on the calling thread. Call once, before any ScriptControl exists.
/// Returns false when the engine cannot start (scripts then fail quietly).
bool StartEngine();

/// Ends the engine at exit; every ScriptControl must be gone by then.
void StopEngine();

/// True between a successful StartEngine and StopEngine.
bool EngineRunning();

/// True while the engine runs and no call is in progress or paused: work that can wait
/// (warming a tool) may run now without nesting inside the user's script.
bool EngineIdle();

/// Thread-safe: ends the engine call now running with the engine's "stopped" error.
/// A request made while no call runs is dropped, unless a StopScope is alive: its work
/// is then stopped as a whole (the user's "停止").
void RequestStop();

/// Thread-safe: ends only the engine call now running (one step's time limit), never
/// the work of a StopScope around it.
void RequestCallStop();

/// Work made of many engine calls (an unpack's layers, a command's loads and
/// expressions) that one stop ends as a whole. While a scope is alive, RequestStop also
/// marks the work stopped, even between its calls, and every engine call that starts
/// afterwards ends at its first check: the work's remaining calls fail at once with the
/// "stopped" error instead of each running until it is stopped again. The busy window
/// counts the work's time, not each call's, so that work of many short calls gets it
/// too. Scopes nest; the outermost one's end clears the mark. Made and ended on the
/// engine's thread.
class StopScope {
public:
    /// `timeout`: a stop of this work means its time ran out (the error then says so).
    explicit StopScope(bool timeout = false);
    ~StopScope();
    StopScope(const StopScope&) = delete;
    StopScope& operator=(const StopScope&) = delete;
    /// True once the work was stopped.
    bool Stopped() const;

private:
    bool m_outermost;
};

/// True while the work of a StopScope has been stopped (its remaining calls fail).
bool WorkStopped();
/// True when the work now stopped was stopped because its time ran out.
bool WorkTimedOut();

/// Thread-safe: asks the debugger to pause the engine call now running at its next
/// statement (the busy window's "暂停"). Dropped while no call runs.
void RequestPause();

/// Called on the engine's thread, about every 10 ms, while one engine call has been
/// running for a while; `elapsed` is the time since the call began. The window layer
/// uses it to show its busy window and let events through. It must not call the engine.
using BusyHook = std::function<void(std::chrono::milliseconds elapsed)>;
void SetBusyHook(BusyHook hook);

/// Ends an engine call once the process has grown by more than `bytes` during it (the
/// default allows 2 GiB); tests lower it.
void SetMemoryGrowthLimit(size_t bytes);

/// Runs a full garbage collection now (objects the workbench still holds survive it).
void CollectGarbage();

}  // namespace qy::script

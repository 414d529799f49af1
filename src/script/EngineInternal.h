/** @file EngineInternal.h
 * What the script control needs from the runtime: the context, the guard around every
 * engine call (it arms the watchdog), the reason a call was cut short, and the one
 * wrapper for JS things the workbench keeps on the heap.
 */
#pragma once

#include <jsapi.h>

#include <memory>

namespace qy::script::detail {

/// The process's context, or null when the engine is not running.
JSContext* Cx();

/// False while no engine runs, and while the busy hook runs: events the window lets
/// through then must not start a script inside the one that is running (it could not
/// be stopped, since the hook that shows the stop button is not re-entered).
bool EngineAvailable();

/// Held while the debugger keeps the running call paused (a nested event loop inside
/// one of its hooks): the watchdog leaves the call alone and no other work may start
/// an engine call (EngineAvailable is false); the debugger's own reading runs inside.
class PauseScope {
public:
    PauseScope();
    ~PauseScope();
    PauseScope(const PauseScope&) = delete;
    PauseScope& operator=(const PauseScope&) = delete;

private:
    bool m_active;
};
bool Paused();

/// A number for the outermost engine call now running (0 between calls); each call has
/// its own, so that what was armed for one run can tell it is in another.
uint64_t CurrentCallSerial();

/// Held around the debugger's own evaluation of user text inside a pause: one that
/// runs past a second is ended (the engine call then fails without an exception).
class PausedEvaluation {
public:
    PausedEvaluation();
    ~PausedEvaluation();
    PausedEvaluation(const PausedEvaluation&) = delete;
    PausedEvaluation& operator=(const PausedEvaluation&) = delete;

private:
    bool m_active;
};

/// The debugger ended the running call (its resumption value terminates it): the call
/// then reports "stopped" as the watchdog's stop does.
void MarkStopped();

/// Called at the next interrupt after RequestPause, on the engine's thread, with the
/// running call's frames on the stack; the debugger arms its stepping there.
using PauseHook = void (*)(JSContext* cx);
void SetPauseHook(PauseHook hook);

/// Why the last engine call ended without an exception the script could see.
enum class AbortReason { None, Stopped, OutOfMemory };

/// Held for the duration of every engine call; the outermost one arms the watchdog.
class EngineCall {
public:
    EngineCall();
    ~EngineCall();
    EngineCall(const EngineCall&) = delete;
    EngineCall& operator=(const EngineCall&) = delete;
    bool Outermost() const { return m_outermost; }

private:
    bool m_outermost;
};

/// The reason the current (or last) call was interrupted; cleared when a call starts.
AbortReason LastAbortReason();

/// True when a stop was asked for the call now running. The engine may end such a call
/// with an error of its own (a regular expression reports the interrupt as too much
/// recursion) before the interrupt callback has seen the request.
bool StopRequestedForThisCall();

/// Links every live JsRoot so that StopEngine can drop them before the context goes.
class JsRootLink {
public:
    virtual void reset() = 0;

protected:
    JsRootLink() = default;
    ~JsRootLink() = default;
    void Link();
    void Unlink();

private:
    friend void DropAllRoots();
    JsRootLink* m_prev = nullptr;
    JsRootLink* m_next = nullptr;
    bool m_linked = false;
};

/// Drops every root still alive (StopEngine calls it before destroying the context).
void DropAllRoots();

/// The one wrapper for heap-held references to JS things (objects, compiled scripts).
/// It roots the thing for as long as it lives: the thing survives every GC and may
/// move, so always read it through get() or handle(). When the engine stops, every
/// root still alive is dropped first, so a wrapper that outlives the engine is harmless
/// (alive() is then false and get() null).
template <typename T>
class JsRoot final : public JsRootLink {
public:
    explicit JsRoot(T thing) {
        if (JSContext* cx = Cx()) {
            m_root = std::make_unique<JS::PersistentRooted<T>>(cx, thing);
            Link();
        }
    }
    ~JsRoot() { reset(); }
    JsRoot(const JsRoot&) = delete;
    JsRoot& operator=(const JsRoot&) = delete;

    T get() const { return m_root ? m_root->get() : nullptr; }
    /// Only while alive().
    JS::Handle<T> handle() const { return *m_root; }
    bool alive() const { return m_root != nullptr; }
    void reset() override {
        if (!m_root) return;
        m_root.reset();
        Unlink();
    }

private:
    std::unique_ptr<JS::PersistentRooted<T>> m_root;
};

using JsObjectRoot = JsRoot<JSObject*>;
using JsScriptRoot = JsRoot<JSScript*>;

/// Runs the promise jobs that script enqueued, if any (cheap when there are none).
/// False when the watchdog ended them (LastAbortReason says why).
[[nodiscard]] bool RunPendingJobs(JSContext* cx);

/// Resident set size of the process in bytes.
size_t ResidentBytes();

}  // namespace qy::script::detail

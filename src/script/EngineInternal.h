/** @file EngineInternal.h
 * What the script control needs from the runtime: the context, the guard around every
 * engine call (it arms the watchdog) and the reason a call was cut short.
 */
#pragma once

#include <jsapi.h>

#include <memory>

namespace qy::script::detail {

JSContext* Cx();

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

/// The one documented wrapper for heap-held references to JS objects. It roots the
/// object for as long as it lives (the object then survives every GC and may move:
/// always read it through get()), and the runtime drops every root still alive when
/// the engine stops, so a wrapper that outlives the engine is harmless.
class JsObjectRoot {
public:
    explicit JsObjectRoot(JSObject* obj);
    ~JsObjectRoot();
    JsObjectRoot(const JsObjectRoot&) = delete;
    JsObjectRoot& operator=(const JsObjectRoot&) = delete;

    JSObject* get() const;
    JS::HandleObject handle() const;
    bool alive() const;
    void reset();

private:
    std::unique_ptr<JS::PersistentRooted<JSObject*>> m_root;
};

/// Runs the promise jobs that script enqueued, if any (cheap when there are none).
void RunPendingJobs(JSContext* cx);

/// Resident set size of the process in bytes.
size_t ResidentBytes();

}  // namespace qy::script::detail

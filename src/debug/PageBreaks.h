/** @file PageBreaks.h
 * Breakpoints on what the page does, not on a line: a request whose address holds a
 * text, a cookie written (of a name), storage written, a timer's, an animation frame's
 * or an event listener's callback called, a member of an object read or written. Each
 * pauses in the script's own frame (through the debugger), or is a logpoint: one log
 * line with the value and the calling line.
 *
 * It stops where the browser environment's own functions do the work, through an engine
 * Debugger in a global of its own, so nothing the script can look at changes (a plain
 * data member watched for access is the one exception: while watched, its descriptor
 * shows an accessor pair of native-looking functions). Nothing is attached while no
 * breakpoint is set. A page global made while breakpoints are set is watched from its
 * first script on, so the page's own scripts are seen as they run.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "script/DebugObserver.h"

namespace qy::debug {

enum class PageEvent { Request, Cookie, Storage, Timer, AnimationFrame, Listener, Access };

struct PageBreak {
    PageEvent kind = PageEvent::Request;
    /// Request: a text the address holds (empty: every request). Cookie: the cookie's
    /// name (empty: any). Storage: a text the key holds. Timer and animation frame: a
    /// text the callback's name holds. Listener: the event type. Access: the member's
    /// path ("navigator.userAgent", "window.xyz").
    std::u16string text;
    bool log = false;  ///< a logpoint: writes a line and goes on
};

/// One breakpoint reached.
struct PageHit {
    PageEvent kind = PageEvent::Request;
    std::u16string value;  ///< what the page did ("GET http://…（XMLHttpRequest）", "token=1; path=/")
    uint32_t line = 0;     ///< the user's line it was done from
    bool log = false;
};

/// "请求", "Cookie 写入"…, as the window lists the kinds.
std::u16string PageEventName(PageEvent kind);
/// "请求 GET http://…", what a hit did.
std::u16string PageHitText(const PageHit& hit);
/// "-->日志点 第 N 行: 请求 GET http://…", the line a logpoint writes.
std::u16string PageLogLine(const PageHit& hit);

/// An observer the page breakpoints pass on to is going away.
void ForgetPageBreaksObserver(script::DebugObserver* observer);

class PageBreaks final : public script::DebugObserver {
public:
    /// Observes the main host alongside the observer already set, which hears of
    /// everything as before; made after it.
    PageBreaks();
    ~PageBreaks() override;
    PageBreaks(const PageBreaks&) = delete;
    PageBreaks& operator=(const PageBreaks&) = delete;

    /// Applies at once to the loaded run and to every later load.
    void SetBreaks(std::vector<PageBreak> breaks);
    const std::vector<PageBreak>& Breaks() const { return m_breaks; }
    /// Where hits go that write a line: logpoints, and breakpoints reached where nothing
    /// can pause (no debugger, or already paused).
    void SetHitOutput(std::function<void(const PageHit&)> output) { m_output = std::move(output); }
    /// Access breakpoints whose object did not exist yet in the loaded run.
    std::vector<std::u16string> PendingAccess();
    bool Attached() const { return m_attached; }

    // script::DebugObserver
    void GlobalCreated(JSContext* cx, JS::HandleObject global, script::ScriptTarget target) override;
    void PageStarting(JSContext* cx, JS::HandleObject global, script::ScriptTarget target,
                      const std::u16string& page) override;
    void CodeAdded(JSContext* cx, JS::HandleObject global, const std::string& file,
                   const std::u16string& original) override;

    struct Impl;

private:
    void Send(JSContext* cx);

    std::unique_ptr<Impl> m_impl;
    script::DebugObserver* m_next = nullptr;
    std::vector<PageBreak> m_breaks;
    std::function<void(const PageHit&)> m_output;
    bool m_attached = false;
    bool m_inHit = false;

    friend bool HitNative(JSContext*, unsigned, JS::Value*);
    friend void ForgetPageBreaksObserver(script::DebugObserver*);
};

}  // namespace qy::debug

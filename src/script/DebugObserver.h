/** @file DebugObserver.h
 * What the debugger learns from the script controls marked for debugging (the main
 * host): each fresh global and each piece of code added to it. Nothing is called for
 * other controls, so tool hosts and callers' controls never meet the debugger.
 */
#pragma once

#include <jsapi.h>

#include <string>

#include "script/ScriptTarget.h"

namespace qy::script {

class DebugObserver {
public:
    virtual ~DebugObserver() = default;
    /// A marked control made `global` (fully set up: surface, environment); the
    /// control's previous global gets no more code.
    virtual void GlobalCreated(JSContext* cx, JS::HandleObject global, ScriptTarget target) = 0;
    /// A marked control's fresh `global` is about to run a loaded page's own scripts
    /// (`page` is the page's text); GlobalCreated follows for the same global once they
    /// ran and the global is set up.
    virtual void PageStarting(JSContext* cx, JS::HandleObject global, ScriptTarget target, const std::u16string& page) {
        (void)cx, (void)global, (void)target, (void)page;
    }
    /// `original` (the user's text) is about to be compiled under `file` in `global`.
    virtual void CodeAdded(JSContext* cx, JS::HandleObject global, const std::string& file,
                           const std::u16string& original) = 0;
};

/// One observer for the process; null removes it.
void SetDebugObserver(DebugObserver* observer);
DebugObserver* CurrentDebugObserver();

/// The prefix of the names under which added code is compiled ("addcode-0", …), and the
/// name of evaluated expressions: the code the user wrote.
inline constexpr const char* kAddedCodePrefix = "addcode-";
inline constexpr const char* kEvalFileName = "eval";

}  // namespace qy::script

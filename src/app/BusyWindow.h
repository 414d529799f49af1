/** @file BusyWindow.h
 * Keeps the workbench alive while a script runs long: after about a second the small
 * modal window "正在运行脚本…" appears with a "停止" button that stops the script, and
 * window events keep flowing while the script runs. The window goes away by itself
 * once the engine call has returned.
 */
#pragma once

class QDialog;

namespace qy::app {

class BusyWindow {
public:
    /// Installs the engine hook; call once after the engine started. Every engine call
    /// that runs long gets the window, whichever feature started it.
    static void Install();

    /// Optional guard around a feature's engine work: the window closes the moment the
    /// guard ends, not only when the event loop next runs.
    class Scope {
    public:
        Scope() = default;
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };

    /// The window while it is shown, for tests.
    static QDialog* Current();
};

}  // namespace qy::app

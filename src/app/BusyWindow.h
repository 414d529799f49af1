/** @file BusyWindow.h
 * Keeps the workbench alive while something runs long (a script, a transfer): after
 * about a second the small window "正在运行脚本…" appears with a "停止" button that ends
 * the work, and window events keep flowing meanwhile. The window goes away by itself
 * once the work has returned.
 *
 * While it is up, input reaches only the busy window, popup menus and the notification
 * icon; every other window waits. Closing the main window still works (the window
 * system's close is no input): it stops the work and ends the program.
 */
#pragma once

#include <QString>
#include <chrono>

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

    /// Work outside the engine (a transfer) under the same window: it calls Pump() while
    /// it runs and ends when Cancelled() says the user pressed "停止".
    class Task {
    public:
        /// `caption` says what runs ("正在读取JS…").
        explicit Task(QString caption);
        ~Task();
        Task(const Task&) = delete;
        Task& operator=(const Task&) = delete;

        void Pump();
        bool Cancelled() const { return m_cancelled; }
        void Cancel() { m_cancelled = true; }

    private:
        QString m_caption;
        std::chrono::steady_clock::time_point m_start;
        bool m_cancelled = false;
    };

    /// Ends whatever runs: the engine call and every task.
    static void StopAll();

    /// The window while it is shown, for tests.
    static QDialog* Current();
};

}  // namespace qy::app

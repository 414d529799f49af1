/** @file BusyWindow.h
 * Keeps the workbench alive while a script runs long: after about a second the small
 * modal window "正在运行脚本…" appears with a "停止" button that stops the script, and
 * window events keep flowing while the script runs.
 */
#pragma once

#include <memory>

class QDialog;

namespace qy::app {

class BusyWindow {
public:
    /// Installs the engine hook; call once after the engine started.
    static void Install();

    /// Held around every engine call a button starts; closes the window when it ends.
    class Scope {
    public:
        Scope();
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };

    /// The window while it is shown, for tests.
    static QDialog* Current();
};

}  // namespace qy::app

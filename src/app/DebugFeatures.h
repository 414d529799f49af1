/** @file DebugFeatures.h
 * The debugger in the main window: the loaded editor's breakpoints go to the debugger
 * (while its text is still what was loaded), a pause brings the loaded tab forward with
 * the paused line marked and shows the window "调试器", and a nested event loop keeps
 * everything usable until the user goes on. While paused, the buttons that would start
 * other engine work are disabled. The menu "调试(&D)" holds the debugger's commands and
 * the choice "遇到异常时暂停".
 */
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "debug/Debugger.h"

class QEventLoop;
class QShortcut;

namespace qy::editor {
class Editor;
}

namespace qy::app {

class DebuggerWindow;
class MainWindow;

class DebugFeatures final : public QObject, public debug::PauseHandler {
    Q_OBJECT
public:
    explicit DebugFeatures(MainWindow& window);
    ~DebugFeatures() override;

    debug::Debugger& Debugger() { return *m_debugger; }
    /// The window while it exists (it is made at the first pause or when opened).
    DebuggerWindow* View() const;
    DebuggerWindow& ShowView();
    bool IsPaused() const { return m_loop != nullptr; }
    /// How many pauses there have been (each pause counts once, from 1).
    int PauseSerial() const { return m_pauseSerial; }
    const QStringList& Watches() const { return m_watches; }
    void AddWatch(const QString& expression);
    /// Goes on from a pause as the window's buttons do.
    void Resume(debug::ResumeAction action);
    /// Evaluates in the chosen frame and writes the lines "计算表达式" writes.
    void EvaluateInFrame(const QString& expression);

    debug::ResumeAction Paused(const debug::PauseState& state) override;

signals:
    /// The window was made (features add their pages to it).
    void viewMade(DebuggerWindow* view);
    /// The chosen frame of a pause is in code made at run time (`dynamicText`, at
    /// `line` of it), or (empty text) it is not, or the run went on.
    void frameShown(const QString& dynamicText, int line);

private:
    void OnLoading(editor::Editor* editor);
    void ApplyBreakpoints();
    void ShowFrame(int index);
    void RefreshWatches();
    void SetEngineWorkEnabled(bool enabled);
    void ClearExecutionPoint();

    MainWindow& m_window;
    std::unique_ptr<debug::Debugger> m_debugger;
    QPointer<DebuggerWindow> m_view;
    /// The editor whose text was loaded last, and whether it changed since.
    QPointer<editor::Editor> m_loaded;
    bool m_loadedChanged = false;
    QStringList m_watches;
    std::vector<debug::FrameInfo> m_frames;
    int m_frame = 0;
    QEventLoop* m_loop = nullptr;
    int m_pauseSerial = 0;
    std::optional<debug::ResumeAction> m_action;
    std::vector<QShortcut*> m_keys;
};

}  // namespace qy::app

/** @file DebuggerWindow.h
 * The window "调试器": the paused run's call stack, the chosen frame's variables (objects
 * open level by level, when asked), the watches, a box to evaluate in the chosen frame
 * and the buttons that go on. It only shows and asks; DebugFeatures does the work.
 * Modeless and one of a kind; it keeps its place while the program runs.
 */
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "debug/Debugger.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QTimer;

namespace qy::app {

class DebuggerWindow final : public QDialog {
    Q_OBJECT
public:
    explicit DebuggerWindow(QWidget* owner);

    /// What the window reads children and values through (valid while paused).
    std::function<std::vector<debug::VariableInfo>(int32_t handle)> children;

    /// A pause: its reason, the frames (the first chosen) and the run's state.
    void ShowPause(const QString& reason, const std::vector<debug::FrameInfo>& frames);
    /// The chosen frame's scopes, each opened when it is the local one or there are few.
    void ShowScopes(const std::vector<debug::ScopeInfo>& scopes);
    /// The watches' values in the chosen frame, in the order of `values`.
    void ShowWatches(const QStringList& expressions, const QStringList& values);
    /// Running again: the lists empty, the buttons wait for the next pause; once the
    /// run has returned, the status says it has ended.
    void ShowRunning();

    int ChosenFrame() const;
    QString Status() const;
    /// The window's pages: the paused run first; features add pages of their own.
    QTabWidget* Tabs() const { return m_tabs; }
    /// The path from the global of a row of the variables ("window.config.key"), or
    /// empty when the row is not reached from the global by names.
    static QString AccessPath(const QTreeWidgetItem* row);

signals:
    void resume(debug::ResumeAction action);
    void frameChosen(int index);
    void evaluate(const QString& expression);
    void watchAdded(const QString& expression);
    void watchRemoved(int index);
    /// "访问时暂停" on a row of the variables: the member's path from the global.
    void accessBreakWanted(const QString& path);

protected:
    /// Closing hides the window; a paused run then goes on (as "继续").
    void closeEvent(QCloseEvent* event) override;
    /// Delete in the watch list removes the chosen watch.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void Expand(QTreeWidgetItem* item);
    void AddVariables(QTreeWidgetItem* parent, const std::vector<debug::VariableInfo>& items);
    void SetPaused(bool paused);

    /// Looks, while the status says "运行中…", whether the run has returned.
    QTimer* m_endCheck = nullptr;
    QLabel* m_status = nullptr;
    QTabWidget* m_tabs = nullptr;
    QListWidget* m_frames = nullptr;
    QTreeWidget* m_variables = nullptr;
    QTreeWidget* m_watches = nullptr;
    QLineEdit* m_watchInput = nullptr;
    QLineEdit* m_evalInput = nullptr;
    std::vector<QPushButton*> m_buttons;
    bool m_paused = false;
};

}  // namespace qy::app

/** @file MainWindow.h
 * The main window: its components at their places, the output log, the current-editor
 * rule and the six editor tabs. Feature work lives in its own classes; the window
 * wires its buttons and menu items to them.
 */
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "script/ScriptSession.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace qy::editor {
class Editor;
}

namespace qy::app {

/// The own version, a single-precision float as the update check compares it.
inline constexpr float kOwnVersion = 1.8f;
/// The own version as text: rounded to 6 significant digits and written with "%.6g".
std::string VersionText(float version = kOwnVersion);
/// CP936 bytes of the demonstration script put into the first editor at start.
const std::string& DemonstrationScript();

class MainWindow : public QMainWindow, public script::LogSink {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Appends at the very end of the log whatever the user selected, and keeps the end
    /// in view. Texts are CP936; CR LF line breaks are kept in the log's text.
    void AppendLog(const std::string& ansiText) override;
    /// The log's text as CP936 with CR LF line breaks.
    std::string LogText() const;

    /// The editor of the selected tab (index 0 and any unknown index give tab 0's).
    editor::Editor* CurrentEditor() const;
    editor::Editor* EditorAt(int index) const;

    script::ScriptSession& Session() { return m_session; }

    template <typename T>
    T* Component(const char* layoutName) const {
        return findChild<T*>(QString::fromUtf8(layoutName));
    }
    QPushButton* Button(const char* layoutName) const;
    QAction* MenuAction(const char* caption) const;
    QMenu* TrayMenu() const { return m_trayMenu; }

    /// Opens the object viewer on the inspected object when the user agrees to look.
    std::function<void(const script::ObjectRef&)> objectViewerOpener;

signals:
    /// Emitted when the window is minimised (the tray logic hides it then).
    void minimised();
    /// Emitted when the window closes, before the program ends (the hot exit saves then).
    void closing();
    /// Emitted when `editor`'s text is about to be loaded into the main host.
    void loading(editor::Editor* editor);

protected:
    void changeEvent(QEvent* event) override;
    /// Closing the main window ends the program, whatever other windows are open.
    void closeEvent(QCloseEvent* event) override;

private:
    void CentreOnPrimaryScreen();
    void BuildComponents(QWidget* client);
    void BuildTabs(QWidget* client);
    void BuildMenus();
    void OnCreated();
    void OnTabChanged(int index);
    void ConnectScriptButtons();

    void LoadCode();
    void Evaluate();
    void RefreshFunctionList();
    void OnFunctionPicked(int index);

    script::ScriptSession m_session;
    std::array<editor::Editor*, 6> m_editors{};
    QTabWidget* m_tabs = nullptr;
    QPlainTextEdit* m_log = nullptr;
    QMenu* m_trayMenu = nullptr;
};

}  // namespace qy::app

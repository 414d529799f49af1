/** @file HotExit.h
 * Nothing typed is lost when the workbench closes: the six editors' texts, carets and
 * breakpoints, the selected tab, the address history and the evaluated expressions are kept in the
 * user's data folder and put back at the next start. The file is written whole or not
 * at all (a crash mid-write leaves the previous one), on close and a few seconds after
 * an edit.
 */
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/Editor.h"

namespace qy::app {

class MainWindow;

struct EditorSnapshot {
    std::string text;  ///< workbench bytes
    int64_t anchor = 0;
    int64_t caret = 0;
    std::vector<editor::Breakpoint> breakpoints;
};

struct HotExitState {
    std::array<EditorSnapshot, 6> editors;
    int currentTab = 0;
    QStringList addresses;  ///< the address box's list, in order
    QString address;        ///< what its edit field holds
    QStringList expressions;  ///< evaluated expressions, oldest first

    /// Every editor is empty: the next start shows the demonstration script.
    bool EditorsEmpty() const;
};

/// $XDG_DATA_HOME/qingyou-js (by default ~/.local/share/qingyou-js).
QString HotExitFolder();
QString HotExitPath();

QByteArray SerializeHotExit(const HotExitState& state);
/// Nothing for a file that is not a state this workbench wrote.
std::optional<HotExitState> ParseHotExit(const QByteArray& bytes);
/// Writes through a temporary file renamed over the old one; false when that failed.
bool SaveHotExitFile(const HotExitState& state, const QString& path);
std::optional<HotExitState> LoadHotExitFile(const QString& path);

/// Keeps one main window's state in `path`.
class HotExit : public QObject {
    Q_OBJECT
public:
    static constexpr int kSaveDelayMs = 3000;

    HotExit(MainWindow& window, QString path);

    HotExitState Capture() const;
    /// Puts the state into the window; editors stay as they are when the state's are all
    /// empty (the demonstration script stays in view).
    void Apply(const HotExitState& state);
    /// Reads the file and applies it; false when there was none to read.
    bool Restore();
    bool Save();
    /// True while an edit waits to be saved.
    bool Pending() const { return m_timer.isActive(); }
    void SetSaveDelay(int ms) { m_timer.setInterval(ms); }

private:
    void Changed();

    MainWindow& m_window;
    QString m_path;
    QTimer m_timer;
    bool m_applying = false;
};

}  // namespace qy::app

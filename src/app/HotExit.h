/** @file HotExit.h
 * Nothing typed is lost when the workbench closes: the six editors' texts, carets and
 * breakpoints, the selected tab, the address history and the evaluated expressions are kept in the
 * user's data folder and put back at the next start. The file is written whole or not
 * at all (a crash mid-write leaves the previous one), on close and a few seconds after
 * an edit: the window takes a snapshot and the writing goes on beside it, only when
 * something changed, and an editor whose text did not change is not converted again.
 * A save that fails is said at once in the log, tried again, and asked about on
 * closing; a damaged file is kept aside and what can be read of it is put back.
 */
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <cstdint>
#include <optional>
#include <memory>
#include <string>
#include <thread>
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
/// One editor's text as the file holds it.
QByteArray SerializeEditorText(const std::string& ansi);
/// The file of `state` with its editors' texts made already (SerializeEditorText); the
/// texts in `state` are not read.
QByteArray AssembleHotExit(const HotExitState& state, const std::array<QByteArray, 6>& texts);
/// Nothing for a file that is not a state this workbench wrote.
std::optional<HotExitState> ParseHotExit(const QByteArray& bytes);
/// What can be read of a state file cut short or damaged: the parts before the damage
/// (an editor's text cut short keeps its beginning); nothing when no part is readable.
std::optional<HotExitState> SalvageHotExit(const QByteArray& bytes);
/// Writes through a temporary file renamed over the old one; false when that failed,
/// with the reason in words in `reason`.
bool SaveHotExitBytes(const QByteArray& bytes, const QString& path, QString* reason = nullptr);
bool SaveHotExitFile(const HotExitState& state, const QString& path, QString* reason = nullptr);
std::optional<HotExitState> LoadHotExitFile(const QString& path);
/// Copies the file at `path` beside it as `path.damaged-DATE`; the copy's path, or
/// nothing when it could not be made.
QString KeepDamagedHotExit(const QString& path);

/// Keeps one main window's state in `path`.
class HotExit : public QObject {
    Q_OBJECT
public:
    static constexpr int kSaveDelayMs = 3000;
    /// After a failed save the next try comes this much later.
    static constexpr int kRetryDelayMs = 10000;

    HotExit(MainWindow& window, QString path);
    ~HotExit() override;

    HotExitState Capture() const;
    /// Puts the state into the window; editors stay as they are when the state's are all
    /// empty (the demonstration script stays in view).
    void Apply(const HotExitState& state);
    /// Reads the file and applies it; false when there was none to read. A damaged file
    /// is kept aside, what can be read of it is applied, and the log says so.
    bool Restore();
    /// Saves now, on this thread (closing, the session's end); true when the file holds
    /// the window's state (also when nothing changed since the last save).
    bool Save();
    /// True while an edit waits to be saved.
    bool Pending() const { return m_timer.isActive(); }
    /// True while a snapshot is being written beside the window.
    bool Writing() const { return m_writer.joinable(); }
    /// Waits for the snapshot being written, if any.
    void FinishWriting();
    void SetSaveDelay(int ms) { m_timer.setInterval(ms); }
    /// Why the last save failed; empty when it succeeded.
    QString Failure() const { return m_failure; }

protected:
    /// Closing when the text could not be saved asks first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Job;
    void Changed();
    void ChangedEditor(int index);
    void SaveInBackground();
    /// The snapshot to write: the window's state, new parts for the editors changed.
    std::shared_ptr<Job> Snapshot() const;
    void Finished(const std::shared_ptr<Job>& job);

    MainWindow& m_window;
    QString m_path;
    QTimer m_timer;
    bool m_applying = false;
    // Edits counted per editor and for the rest, against what the file holds.
    std::array<uint64_t, 6> m_editorEdits{};
    uint64_t m_edits = 0;
    std::array<uint64_t, 6> m_savedEditorEdits{};
    uint64_t m_savedEdits = 0;
    bool m_everSaved = false;
    std::array<QByteArray, 6> m_parts;
    std::thread m_writer;
    std::shared_ptr<Job> m_writing;
    QString m_failure;
};

}  // namespace qy::app

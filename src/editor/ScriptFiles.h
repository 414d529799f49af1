/** @file ScriptFiles.h
 * Moving scripts between the current editor and the disk: open, export and clear.
 * Files are bytes, unchanged both ways. One dialog state serves open and export: the
 * last confirmed path is offered next time in either. A file that cannot be read
 * leaves the editor as it was, and an export replaces the old file only once the new
 * contents are completely written.
 */
#pragma once

#include <QString>
#include <functional>
#include <string>

class QFileDialog;
class QWidget;

namespace qy::editor {

class Editor;

enum class FileDialogMode { Open, Save };

/// Asks the user for a path; `proposed` is offered first. False when cancelled.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual bool Choose(FileDialogMode mode, const QString& proposed, QString& chosen) = 0;
};

/// The real dialog: the workbench's two filters, ".txt" added to a name without
/// extension, an existing file required to open, a question before replacing.
class QtFileChooser final : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : m_parent(parent) {}
    bool Choose(FileDialogMode mode, const QString& proposed, QString& chosen) override;
    /// Sets a dialog up as Choose shows it (tests read the settings back).
    static void Configure(QFileDialog& dialog, FileDialogMode mode, const QString& proposed);

private:
    QWidget* m_parent;
};

/// Whole file as bytes; false with a reason when it cannot be opened or read.
bool ReadWholeFile(const QString& path, std::string& bytes, QString& reason);
/// Writes beside the file and renames over it, keeping the old file's permissions;
/// false with a reason when anything fails (the old file is then intact).
bool WriteFileReplacing(const QString& path, const std::string& bytes, QString& reason);

class ScriptFiles {
public:
    ScriptFiles(FileChooser& chooser, std::function<Editor*()> currentEditor)
        : m_chooser(chooser), m_currentEditor(std::move(currentEditor)) {}

    void Open();
    void Export();
    void Clear();

    const QString& LastPath() const { return m_lastPath; }

private:
    FileChooser& m_chooser;
    std::function<Editor*()> m_currentEditor;
    QString m_lastPath;
};

}  // namespace qy::editor

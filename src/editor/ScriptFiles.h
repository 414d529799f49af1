/** @file ScriptFiles.h
 * Moving scripts between the current editor and the disk: open, export and clear.
 * Opening recognises UTF-8 and UTF-16 files (or reads them as the user chose) and the
 * editor remembers the encoding; export writes it back that way, byte for byte for an
 * unchanged file. Other files are workbench bytes, unchanged both ways. A zero byte
 * that ends the text is reported in the log, and exporting over that file asks first.
 * One dialog state serves open and export: the last confirmed path is offered next
 * time in either. A file that cannot be read leaves the editor as it was, and an export
 * replaces the old file only once the new contents are completely written.
 */
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "text/ScriptFileText.h"

class QDateTime;
class QFileDialog;
class QFileInfo;
class QWidget;

namespace qy::editor {

class Editor;

enum class FileDialogMode { Open, Save };

/// Asks the user for a path; `proposed` is offered first. False when cancelled.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual bool Choose(FileDialogMode mode, const QString& proposed, QString& chosen) = 0;
    /// The encoding chosen with the last path: Auto, Utf8 or Gbk.
    virtual text::FileEncoding ChosenEncoding() const { return text::FileEncoding::Auto; }
};

/// The real dialog: the workbench's two filters, ".txt" added to a name without
/// extension, an existing file required to open, a question before replacing, the
/// encoding box "编码" (自动检测 / UTF-8 / GBK, automatic first), and a listing whose
/// columns read in Chinese (see FileSizeText).
class QtFileChooser final : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent) : m_parent(parent) {}
    bool Choose(FileDialogMode mode, const QString& proposed, QString& chosen) override;
    text::FileEncoding ChosenEncoding() const override { return m_encoding; }
    /// Sets a dialog up as Choose shows it (tests read the settings back).
    static void Configure(QFileDialog& dialog, FileDialogMode mode, const QString& proposed);
    /// The encoding the dialog's box shows.
    static text::FileEncoding EncodingOf(const QFileDialog& dialog);

private:
    QWidget* m_parent;
    text::FileEncoding m_encoding = text::FileEncoding::Auto;
};

/// The file dialog's listing columns, in Chinese whatever the locale: "512 字节",
/// "19.4 KB"; "文件夹", "JS 文件", "文件"; "2023/1/24 11:13".
QString FileSizeText(qint64 bytes);
QString FileTypeText(const QFileInfo& info);
QString FileDateText(const QDateTime& time);

/// Whole file as bytes; false with a reason when it cannot be opened or read.
bool ReadWholeFile(const QString& path, std::string& bytes, QString& reason);
/// Writes beside the file and renames over it, keeping the old file's permissions;
/// false with a reason when anything fails (the old file is then intact).
bool WriteFileReplacing(const QString& path, const std::string& bytes, QString& reason);

class ScriptFiles {
public:
    /// `log` receives workbench text lines ending in CR LF.
    ScriptFiles(FileChooser& chooser, std::function<Editor*()> currentEditor,
                std::function<void(const std::string&)> log = {})
        : m_chooser(chooser), m_currentEditor(std::move(currentEditor)), m_log(std::move(log)) {}

    void Open();
    /// Reads `path` into `editor` as Open does after its dialog (`encoding` as the dialog's
    /// box chose); false, with the editor untouched and a message shown, when it cannot.
    bool OpenPath(const QString& path, Editor& editor, text::FileEncoding encoding = text::FileEncoding::Auto);
    void Export();
    void Clear();

    const QString& LastPath() const { return m_lastPath; }

private:
    FileChooser& m_chooser;
    std::function<Editor*()> m_currentEditor;
    std::function<void(const std::string&)> m_log;
    QString m_lastPath;
};

}  // namespace qy::editor

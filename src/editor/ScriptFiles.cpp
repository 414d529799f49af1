#include "editor/ScriptFiles.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QSaveFile>

#include "editor/Editor.h"

namespace qy::editor {
namespace {

const QString kTextFilter = QStringLiteral("文本文件(*txt;*.js;*.html)");
const QString kAllFilter = QStringLiteral("所有文件(*.*)");

/// The patterns of a filter entry, as the workbench writes them: separated by ';'.
QStringList PatternsOf(const QString& filter) {
    if (filter == kTextFilter) return {QStringLiteral("*txt"), QStringLiteral("*.js"), QStringLiteral("*.html")};
    return {QStringLiteral("*")};
}

void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace

void QtFileChooser::Configure(QFileDialog& dialog, FileDialogMode mode, const QString& proposed) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setNameFilters({kTextFilter, kAllFilter});
    dialog.selectNameFilter(kTextFilter);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (mode == FileDialogMode::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    }
    if (!proposed.isEmpty()) dialog.selectFile(proposed);
    // Qt reads the patterns of a filter as separated by blanks; the workbench's
    // filter separates them with ';', so the listing gets its patterns from here.
    auto applyPatterns = [&dialog](const QString& filter) {
        if (auto* model = dialog.findChild<QFileSystemModel*>()) model->setNameFilters(PatternsOf(filter));
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, applyPatterns);
    applyPatterns(kTextFilter);
}

bool QtFileChooser::Choose(FileDialogMode mode, const QString& proposed, QString& chosen) {
    QFileDialog dialog(m_parent);
    Configure(dialog, mode, proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().first();
    return true;
}

bool ReadWholeFile(const QString& path, std::string& bytes, QString& reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return false;
    }
    QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString();
        return false;
    }
    bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    return true;
}

bool WriteFileReplacing(const QString& path, const std::string& bytes, QString& reason) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
        return false;
    }
    if (QFileInfo::exists(path)) file.setPermissions(QFile::permissions(path));
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

void ScriptFiles::Open() {
    Editor* editor = m_currentEditor();
    QString path;
    if (!m_chooser.Choose(FileDialogMode::Open, m_lastPath, path)) return;
    m_lastPath = path;
    std::string bytes;
    QString reason;
    if (!ReadWholeFile(path, bytes, reason)) {
        // The editor keeps its text: nothing of the user's work is lost to a bad file.
        ShowMessage(QMessageBox::Warning, QStringLiteral("打开"),
                    QStringLiteral("无法读取文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    size_t nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    editor->SetText(bytes);
}

void ScriptFiles::Export() {
    Editor* editor = m_currentEditor();
    QString path;
    if (!m_chooser.Choose(FileDialogMode::Save, m_lastPath, path)) return;
    m_lastPath = path;
    std::string bytes = editor->Text();
    size_t nul = bytes.find('\0');
    if (nul != std::string::npos) bytes.resize(nul);
    QString reason;
    if (!WriteFileReplacing(path, bytes, reason)) {
        ShowMessage(QMessageBox::Warning, QStringLiteral("导出"),
                    QStringLiteral("无法保存文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    ShowMessage(QMessageBox::NoIcon, QStringLiteral("信息："), QStringLiteral("保存成功"));
}

void ScriptFiles::Clear() { m_currentEditor()->ClearAll(); }

}  // namespace qy::editor

#include "editor/ScriptFiles.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QMessageBox>
#include <QSaveFile>

#include "editor/Editor.h"
#include "text/CodePage.h"
#include "text/QtBridge.h"

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

bool AskYesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Yes;
}

const QString kEncodingBox = QStringLiteral("编码");

/// The dialog's listing in Chinese whatever the system's locale. Qt's translations
/// give the dialog's labels and buttons, but its file model writes sizes and dates in
/// the system locale ("19.37 KiB", "24 Jan 2023 11:13:39" under C or English) and file
/// types from the MIME database in the default locale; its translated size header
/// reads "体积". This model writes those columns itself.
class ChineseListing final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            switch (section) {
                case 0: return QStringLiteral("名称");
                case 1: return QStringLiteral("大小");
                case 2: return QStringLiteral("类型");
                case 3: return QStringLiteral("修改日期");
                default: break;
            }
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (!files || role != Qt::DisplayRole || index.column() < 1 || index.column() > 3)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        switch (index.column()) {
            case 1: return info.isDir() ? QString() : FileSizeText(files->size(source));
            case 2: return FileTypeText(info);
            default: return FileDateText(files->lastModified(source));
        }
    }
};

bool SameFile(const QString& a, const QString& b) {
    QFileInfo x(a), y(b);
    if (x.exists() && y.exists()) return x.canonicalFilePath() == y.canonicalFilePath();
    return x.absoluteFilePath() == y.absoluteFilePath();
}

/// The encoding an export writes: the one the text was opened with unless the user chose.
text::FileEncoding ExportEncoding(text::FileEncoding chosen, text::FileEncoding opened) {
    using text::FileEncoding;
    switch (chosen) {
        case FileEncoding::Gbk: return FileEncoding::Gbk;
        case FileEncoding::Utf8:
        case FileEncoding::Utf8Bom: return opened == FileEncoding::Utf8Bom ? FileEncoding::Utf8Bom : FileEncoding::Utf8;
        default: return opened;
    }
}

}  // namespace

QString FileSizeText(qint64 bytes) {
    if (bytes < 1024) return QStringLiteral("%1 字节").arg(bytes);
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 4) {
        value /= 1024;
        ++unit;
    }
    // Three significant digits: 1.50 KB, 19.4 KB, 512 MB.
    const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    return QStringLiteral("%1 %2").arg(value, 0, 'f', decimals).arg(QLatin1String(units[unit]));
}

QString FileTypeText(const QFileInfo& info) {
    if (info.isDir()) return QStringLiteral("文件夹");
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("文件") : suffix.toUpper() + QStringLiteral(" 文件");
}

QString FileDateText(const QDateTime& time) {
    return time.isValid() ? QLocale(QLocale::Chinese, QLocale::China).toString(time, QStringLiteral("yyyy/M/d HH:mm"))
                          : QString();
}

void QtFileChooser::Configure(QFileDialog& dialog, FileDialogMode mode, const QString& proposed) {
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!dynamic_cast<ChineseListing*>(dialog.proxyModel())) dialog.setProxyModel(new ChineseListing(&dialog));
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
    if (!dialog.findChild<QComboBox*>(kEncodingBox)) {
        auto* box = new QComboBox(&dialog);
        box->setObjectName(kEncodingBox);
        box->setAccessibleName(kEncodingBox);
        box->addItems({QStringLiteral("自动检测"), QStringLiteral("UTF-8"), QStringLiteral("GBK")});
        auto* label = new QLabel(QStringLiteral("编码："), &dialog);
        label->setBuddy(box);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            int row = grid->rowCount();
            grid->addWidget(label, row, 0);
            grid->addWidget(box, row, 1);
        }
    }
}

text::FileEncoding QtFileChooser::EncodingOf(const QFileDialog& dialog) {
    auto* box = dialog.findChild<QComboBox*>(kEncodingBox);
    switch (box ? box->currentIndex() : 0) {
        case 1: return text::FileEncoding::Utf8;
        case 2: return text::FileEncoding::Gbk;
        default: return text::FileEncoding::Auto;
    }
}

bool QtFileChooser::Choose(FileDialogMode mode, const QString& proposed, QString& chosen) {
    QFileDialog dialog(m_parent);
    Configure(dialog, mode, proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().first();
    m_encoding = EncodingOf(dialog);
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
    OpenPath(path, *editor, m_chooser.ChosenEncoding());
}

bool ScriptFiles::OpenPath(const QString& path, Editor& editor, text::FileEncoding encoding) {
    std::string bytes;
    QString reason;
    if (!ReadWholeFile(path, bytes, reason)) {
        // The editor keeps its text: nothing of the user's work is lost to a bad file.
        ShowMessage(QMessageBox::Warning, QStringLiteral("打开"),
                    QStringLiteral("无法读取文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    text::DecodedFile file = text::DecodeScriptFile(bytes, encoding);
    editor.SetText(file.text);
    editor.SetOrigin({path, file.encoding, file.cut, file.keptBytes, file.droppedBytes});
    if (!m_log) return true;
    const QString name = QFileInfo(path).fileName();
    if (file.cut) {
        m_log(text::FromQString(QStringLiteral("-->文件“%1”含零字节：只载入了前 %2 字节，其后的 %3 字节未载入\r\n")
                                    .arg(name)
                                    .arg(file.keptBytes)
                                    .arg(file.droppedBytes)));
    }
    if (file.invalidSequences > 0) {
        m_log(text::FromQString(QStringLiteral("-->文件“%1”中有 %2 处不是有效的 UTF-8，已显示为替换字符\r\n")
                                    .arg(name)
                                    .arg(file.invalidSequences)));
    }
    return true;
}

void ScriptFiles::Export() {
    Editor* editor = m_currentEditor();
    QString path;
    if (!m_chooser.Choose(FileDialogMode::Save, m_lastPath, path)) return;
    m_lastPath = path;
    const FileOrigin& origin = editor->Origin();
    if (origin.cut && SameFile(path, origin.path) &&
        !AskYesNo(QStringLiteral("导出"), QStringLiteral("该文件打开时已在第 %1 字节处截断，导出将丢失其后的 %2 字节，是否继续？")
                                                .arg(origin.keptBytes)
                                                .arg(origin.droppedBytes))) {
        return;
    }
    const text::FileEncoding encoding = ExportEncoding(m_chooser.ChosenEncoding(), origin.encoding);
    std::string bytes = text::EncodeScriptFile(editor->Text(), encoding);
    QString reason;
    if (!WriteFileReplacing(path, bytes, reason)) {
        ShowMessage(QMessageBox::Warning, QStringLiteral("导出"),
                    QStringLiteral("无法保存文件“%1”：%2").arg(QDir::toNativeSeparators(path), reason));
        return;
    }
    // The file now holds the editor's text: nothing more is left behind a zero byte.
    if (SameFile(path, origin.path)) editor->SetOrigin({path, encoding, false, bytes.size(), 0});
    ShowMessage(QMessageBox::NoIcon, QStringLiteral("信息："), QStringLiteral("保存成功"));
}

void ScriptFiles::Clear() { m_currentEditor()->ClearAll(); }

}  // namespace qy::editor

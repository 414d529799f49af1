// Script files below the window: the replacing write, and the file dialog's listing
// with the workbench's own filter patterns.
#include "editor/ScriptFiles.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <chrono>
#include <thread>

#include "common/TestSupport.h"

using qy::editor::FileDialogMode;
using qy::test::ReadFileBytes;

namespace {

void Write(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

/// The names the dialog lists in `folder` under its current filter.
QStringList NamesShown(QFileSystemModel& model, const QModelIndex& dir) {
    QStringList names;
    for (int r = 0; r < model.rowCount(dir); ++r) {
        QModelIndex index = model.index(r, 0, dir);
        // Entries a filter rejects are either left out or shown disabled.
        if (model.flags(index) & Qt::ItemIsEnabled) names << model.fileName(index);
    }
    names.sort();
    return names;
}

/// The names listed once the model has caught up with `expected` (it fills and filters
/// its rows in batches, from a thread of its own), or what it lists after a few seconds.
QStringList Listed(QFileDialog& dialog, const QString& folder, const QStringList& expected) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model) return {};
    QModelIndex dir = model->index(folder);
    QStringList names;
    for (int i = 0; i < 300; ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        names = NamesShown(*model, dir);
        if (names == expected) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return names;
}

}  // namespace

TEST(ScriptFileWrite, ReplacingKeepsPermissionsAndLeavesNoLitter) {
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.js");
    Write(path, "old");
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, mode));
    QString reason;
    ASSERT_TRUE(qy::editor::WriteFileReplacing(path, "new\r\n", reason)) << reason.toStdString();
    EXPECT_EQ(ReadFileBytes(path.toStdString()), "new\r\n");
    EXPECT_EQ(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), mode);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.js"});
    // A new file is made as well; an empty text gives an empty file.
    ASSERT_TRUE(qy::editor::WriteFileReplacing(dir.filePath("fresh.txt"), "", reason));
    EXPECT_EQ(QFile(dir.filePath("fresh.txt")).size(), 0);
}

TEST(ScriptFileWrite, ReadFailuresGiveAReason) {
    QTemporaryDir dir;
    std::string bytes = "unchanged";
    QString reason;
    EXPECT_FALSE(qy::editor::ReadWholeFile(dir.filePath("absent.js"), bytes, reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(bytes, "unchanged");
    reason.clear();
    EXPECT_FALSE(qy::editor::ReadWholeFile(dir.path(), bytes, reason));  // a folder
    EXPECT_FALSE(reason.isEmpty());
}

TEST(ScriptFileDialog, FirstFilterListsEveryNameEndingInTxt) {
    QTemporaryDir dir;
    for (const char* name : {"notatxt", "a.txt", "b.js", "c.html", "d.md", "e.jsx"}) Write(dir.filePath(name), "x");
    QFileDialog dialog;
    qy::editor::QtFileChooser::Configure(dialog, FileDialogMode::Open, dir.filePath("a.txt"));
    dialog.setDirectory(dir.path());
    dialog.show();
    const QStringList scripts{"a.txt", "b.js", "c.html", "notatxt"};
    const QStringList all{"a.txt", "b.js", "c.html", "d.md", "e.jsx", "notatxt"};
    EXPECT_EQ(Listed(dialog, dir.path(), scripts), scripts);
    dialog.selectNameFilter(QString::fromUtf8("所有文件(*.*)"));
    emit dialog.filterSelected(QString::fromUtf8("所有文件(*.*)"));
    EXPECT_EQ(Listed(dialog, dir.path(), all), all);
    dialog.selectNameFilter(QString::fromUtf8("文本文件(*txt;*.js;*.html)"));
    emit dialog.filterSelected(QString::fromUtf8("文本文件(*txt;*.js;*.html)"));
    EXPECT_EQ(Listed(dialog, dir.path(), scripts), scripts);
    dialog.hide();
}

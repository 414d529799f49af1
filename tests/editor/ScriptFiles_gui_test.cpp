// Script files below the window: the replacing write, and the file dialog's listing
// with the workbench's own filter patterns.
#include "editor/ScriptFiles.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QAction>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTranslator>
#include <map>
#include <memory>
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

TEST(ScriptFileDialog, ListingColumnsReadInChinese) {
    using qy::editor::FileSizeText;
    EXPECT_EQ(FileSizeText(0), QString::fromUtf8("0 字节"));
    EXPECT_EQ(FileSizeText(1023), QString::fromUtf8("1023 字节"));
    EXPECT_EQ(FileSizeText(1536), QString::fromUtf8("1.50 KB"));
    EXPECT_EQ(FileSizeText(19837), QString::fromUtf8("19.4 KB"));
    EXPECT_EQ(FileSizeText(512LL << 20), QString::fromUtf8("512 MB"));
    EXPECT_EQ(FileSizeText(3LL << 30), QString::fromUtf8("3.00 GB"));
    EXPECT_EQ(qy::editor::FileTypeText(QFileInfo(QStringLiteral("/tmp"))), QString::fromUtf8("文件夹"));
    EXPECT_EQ(qy::editor::FileTypeText(QFileInfo(QStringLiteral("/x/a.js"))), QString::fromUtf8("JS 文件"));
    EXPECT_EQ(qy::editor::FileTypeText(QFileInfo(QStringLiteral("/x/README"))), QString::fromUtf8("文件"));

    // Whatever the system's locale (the tests run under C), with Qt's Chinese texts
    // loaded as the workbench loads them.
    std::vector<std::unique_ptr<QTranslator>> translators;
    for (const char* name : {"qtbase_zh_CN", "qt_zh_CN"}) {
        auto t = std::make_unique<QTranslator>();
        if (t->load(QString::fromLatin1(name), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(t.get());
            translators.push_back(std::move(t));
        }
    }
    QTemporaryDir dir;
    Write(dir.filePath("a.js"), std::string(1536, 'x'));
    Write(dir.filePath("b.txt"), "12345");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QFileDialog dialog;
    qy::editor::QtFileChooser::Configure(dialog, FileDialogMode::Open, QString());
    dialog.setDirectory(dir.path());
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    ASSERT_EQ(Listed(dialog, dir.path(), {"a.js", "b.txt", "sub"}), (QStringList{"a.js", "b.txt", "sub"}));
    auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    QAbstractItemModel* shown = view->model();
    QStringList headers;
    for (int c = 0; c < 4; ++c) headers << shown->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers, (QStringList{"名称", "大小", "类型", "修改日期"}));
    std::map<QString, QStringList> rows;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        rows.clear();
        const QModelIndex root = view->rootIndex();
        for (int r = 0; r < shown->rowCount(root); ++r) {
            QStringList cells;
            for (int c = 0; c < 4; ++c) cells << shown->index(r, c, root).data().toString();
            rows[cells[0]] = cells;
        }
        return rows.size() == 3;
    }));
    const QString date = QLocale(QLocale::Chinese, QLocale::China)
                             .toString(QFileInfo(dir.filePath("a.js")).lastModified(), QStringLiteral("yyyy/M/d HH:mm"));
    EXPECT_EQ(rows["a.js"], (QStringList{"a.js", "1.50 KB", "JS 文件", date}));
    EXPECT_EQ(rows["b.txt"][1], QString::fromUtf8("5 字节"));
    EXPECT_EQ(rows["sub"][2], QString::fromUtf8("文件夹"));
    if (!translators.empty()) {
        // The dialog's own labels and buttons come from Qt's translations.
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(), QString::fromUtf8("查找范围："));
        const QRegularExpression latin(QStringLiteral("[A-Za-z]{2}"));
        for (auto* b : dialog.findChildren<QPushButton*>()) {
            if (!b->isVisible()) continue;
            EXPECT_FALSE(b->text().contains(latin)) << b->text().toStdString();
        }
        // The listing's context menu (rename, delete, hidden files, new folder) and the
        // tool buttons' tips.
        int actions = 0;
        for (auto* a : dialog.findChildren<QAction*>()) {
            if (!a->objectName().startsWith(QStringLiteral("qt_")) || a->text().isEmpty()) continue;
            ++actions;
            EXPECT_FALSE(a->text().contains(latin)) << a->text().toStdString();
        }
        EXPECT_GE(actions, 4);
        for (auto* b : dialog.findChildren<QToolButton*>())
            EXPECT_FALSE(b->toolTip().contains(latin)) << b->toolTip().toStdString();
    }
    dialog.hide();
    for (auto& t : translators) QCoreApplication::removeTranslator(t.get());
}

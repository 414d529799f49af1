// The trace's window driven through the real main window: switched on, a load's accesses
// listed in order, narrowed by the filter, exported as text and JSON; what a screen
// reader finds in it; and its room on a 1024×768 screen.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAccessible>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include "AppTestSupport.h"
#include "app/Settings.h"
#include "app/TraceFeatures.h"
#include "app/TraceWindow.h"
#include "script/ScriptTarget.h"

using namespace qy;
using namespace qy::test;

namespace {

QAction* Action(app::MainWindow& w, const char* name) { return w.findChild<QAction*>(Q(name)); }

void LoadText(app::MainWindow& w, const char* utf8) {
    w.CurrentEditor()->SetText(Ansi(utf8));
    Click(w, "按钮_add");
    QCoreApplication::processEvents();
}

QString Cell(QTableView& table, int row, int column) {
    return table.model()->index(row, column).data().toString();
}

}  // namespace

TEST(TraceWindow, ListsTheLoadsAccessesInOrderFiltersAndExports) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    app::SaveBrowserEnvironment(false);
    auto w = NewMainWindow();
    Action(*w, "浏览器环境")->trigger();
    ASSERT_NE(Action(*w, "环境访问记录"), nullptr);
    Action(*w, "环境访问记录")->trigger();
    auto* view = w->findChild<app::TraceWindow*>(Q("窗口_环境访问记录"));
    ASSERT_NE(view, nullptr);
    auto* table = view->findChild<QTableView*>(Q("表格_环境访问"));
    auto* toggle = view->findChild<QCheckBox*>(Q("复选框_记录环境访问"));
    EXPECT_FALSE(toggle->isChecked());
    // Off: a load leaves the list empty.
    LoadText(*w, "var a = navigator.userAgent;");
    EXPECT_EQ(table->model()->rowCount(), 0);

    toggle->setChecked(true);
    LoadText(*w, "var ua = navigator.userAgent;\r\ndocument.cookie = 'sid=1';\r\nvar t = document.cookie;\r\n");
    ASSERT_EQ(table->model()->rowCount(), 6);
    EXPECT_EQ(Cell(*table, 1, 0), Q("读取"));
    EXPECT_EQ(Cell(*table, 1, 1), Q("navigator.userAgent"));
    EXPECT_EQ(Cell(*table, 3, 0), Q("写入"));
    EXPECT_EQ(Cell(*table, 3, 2), Q("\"sid=1\""));
    EXPECT_EQ(Cell(*table, 3, 3), Q("2"));
    EXPECT_EQ(table->model()->headerData(5, Qt::Vertical).toString(), Q("6"));

    auto* filter = view->findChild<QLineEdit*>(Q("编辑框_筛选访问"));
    filter->setText(Q("cookie 读取"));
    ASSERT_EQ(table->model()->rowCount(), 1);
    EXPECT_EQ(Cell(*table, 0, 3), Q("3"));
    EXPECT_NE(view->findChild<QLabel*>(Q("标签_访问条数"))->text().indexOf(Q("共 6 条，显示 1 条")), -1);

    QTemporaryDir dir;
    ASSERT_TRUE(view->Export(dir.filePath(Q("trace.txt"))));
    QFile text(dir.filePath(Q("trace.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(text.readAll()), Q("#6 读取 document.cookie [HTMLDocument] = \"sid=1\"（第 3 行）\n"));
    filter->clear();
    ASSERT_TRUE(view->Export(dir.filePath(Q("trace.json"))));
    QFile json(dir.filePath(Q("trace.json")));
    ASSERT_TRUE(json.open(QIODevice::ReadOnly));
    QJsonArray all = QJsonDocument::fromJson(json.readAll()).array();
    ASSERT_EQ(all.size(), 6);
    for (int i = 0; i < all.size(); ++i) EXPECT_EQ(all[i].toObject().value(Q("order")).toInt(), i + 1);
    EXPECT_EQ(all[3].toObject().value(Q("kind")).toString(), Q("set"));

    // A fresh load starts the list over.
    LoadText(*w, "var w = screen.width;");
    EXPECT_EQ(table->model()->rowCount(), 2);
    toggle->setChecked(false);
    Action(*w, "浏览器环境")->trigger();
}

TEST(TraceWindow, AScreenReaderFindsItsPartsAndItFitsASmallScreen) {
    auto w = NewMainWindow();
    Action(*w, "环境访问记录")->trigger();
    auto* view = w->findChild<app::TraceWindow*>(Q("窗口_环境访问记录"));
    ASSERT_NE(view, nullptr);
    auto name = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name); };
    auto role = [](QWidget* widget) { return QAccessible::queryAccessibleInterface(widget)->role(); };
    auto* filter = view->findChild<QLineEdit*>(Q("编辑框_筛选访问"));
    EXPECT_EQ(name(filter), Q("筛选环境访问"));
    EXPECT_EQ(role(filter), QAccessible::EditableText);
    auto* table = view->findChild<QTableView*>(Q("表格_环境访问"));
    EXPECT_EQ(name(table), Q("环境访问列表"));
    EXPECT_EQ(role(table), QAccessible::Table);
    auto* toggle = view->findChild<QCheckBox*>(Q("复选框_记录环境访问"));
    EXPECT_EQ(role(toggle), QAccessible::CheckBox);
    EXPECT_NE(name(toggle).indexOf(Q("记录环境访问")), -1);
    auto* exportButton = view->findChild<QPushButton*>(Q("按钮_导出访问记录"));
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(exportButton)->text(QAccessible::Description).isEmpty());
    EXPECT_EQ(name(view->findChild<QLabel*>(Q("标签_访问条数"))), view->findChild<QLabel*>(Q("标签_访问条数"))->text());

    // On 1024×768 (less the panel) the window and every control fit.
    QSize least = view->minimumSizeHint();
    EXPECT_LE(least.width(), 1000);
    EXPECT_LE(least.height(), 700);
    view->resize(1000, 700);
    QCoreApplication::processEvents();
    for (QWidget* part : {static_cast<QWidget*>(filter), static_cast<QWidget*>(table), static_cast<QWidget*>(toggle),
                          static_cast<QWidget*>(exportButton)})
        EXPECT_TRUE(view->rect().contains(part->geometry())) << part->objectName().toStdString();
}

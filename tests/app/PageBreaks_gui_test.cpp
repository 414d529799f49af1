// Page breakpoints through the real window: the page "页面断点" of 调试器 adds a request
// break that pauses inside the script's send with the signed address in its frame's
// variables, a cookie logpoint writes its line, a member chosen from the variables
// pauses at the reading line; the page reads right to assistive technology and fits a
// 1024×768 screen.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "app/DebugFeatures.h"
#include "app/DebuggerWindow.h"
#include "app/PageBreakFeatures.h"
#include "app/PageBreaksTab.h"
#include "app/Settings.h"
#include "script/ScriptTarget.h"

using namespace qy;
using namespace qy::test;

namespace {

struct Seen {
    QString status;
    QStringList frames;
    QStringList locals;  // "name = value" of the first scope
    int64_t arrow = -1;  // the editor's execution point (line from 0)
};

/// Reads each pause from the window as a user would, then goes on.
void ReadPausesAndContinue(app::DebugFeatures& debug, std::vector<Seen>& seen) {
    auto* timer = new QTimer(&debug);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [&debug, &seen] {
        if (!debug.IsPaused()) return;
        app::DebuggerWindow* view = debug.View();
        Seen s;
        s.status = view->Status();
        auto* frames = view->findChild<QListWidget*>(Q("列表_调用堆栈"));
        for (int i = 0; i < frames->count(); ++i) s.frames << frames->item(i)->text();
        auto* vars = view->findChild<QTreeWidget*>(Q("树_变量"));
        if (QTreeWidgetItem* local = vars->topLevelItem(0))
            for (int i = 0; i < local->childCount(); ++i)
                s.locals << local->child(i)->text(0) + Q(" = ") + local->child(i)->text(1);
        if (auto* main = qobject_cast<app::MainWindow*>(debug.parent()))
            s.arrow = main->CurrentEditor()->ExecutionPoint();
        seen.push_back(s);
        debug.Resume(debug::ResumeAction::Continue);
    });
    timer->start();
}

void LoadText(app::MainWindow& w, const char* utf8) {
    w.CurrentEditor()->SetText(Ansi(utf8));
    Click(w, "按钮_add");
}

std::string Evaluate(app::MainWindow& w, const char* expr) {
    SetEval(w, expr);
    size_t before = w.LogText().size();
    Click(w, "按钮_run");
    return LogSince(w, before);
}

void AddThroughForm(app::PageBreaksTab& tab, int kind, const char* text, bool log) {
    tab.findChild<QComboBox*>(Q("组合框_页面断点类型"))->setCurrentIndex(kind);
    tab.findChild<QLineEdit*>(Q("编辑框_页面断点条件"))->setText(Q(text));
    tab.findChild<QCheckBox*>(Q("选择框_页面断点日志点"))->setChecked(log);
    tab.findChild<QPushButton*>(Q("按钮_添加页面断点"))->click();
}

const char* const kSigner =
    "function sign(p) { return 'sig' + p.length; }\r\n"
    "function go(p) {\r\n"
    "    var url = 'http://api.test/x?p=' + p + '&sign=' + sign(p);\r\n"
    "    var xhr = new XMLHttpRequest();\r\n"
    "    xhr.open('GET', url);\r\n"
    "    xhr.send();\r\n"
    "    document.cookie = 'sid=' + p;\r\n"
    "    return navigator.userAgent.length > 0;\r\n"
    "}\r\n";

class PageBreaksWindow : public ::testing::Test {
protected:
    void SetUp() override {
        app::SaveBrowserEnvironment(true);
        w = NewMainWindow();
        debug = w->findChild<app::DebugFeatures*>();
        features = w->findChild<app::PageBreakFeatures*>();
        ASSERT_TRUE(debug && features);
    }
    void TearDown() override { app::SaveBrowserEnvironment(false); }

    script::ScopedScriptTarget target{script::ScriptTarget::ES2021};
    std::unique_ptr<app::MainWindow> w;
    app::DebugFeatures* debug = nullptr;
    app::PageBreakFeatures* features = nullptr;
};

}  // namespace

TEST_F(PageBreaksWindow, ARequestBreakPausesInSendAndACookieLogpointWritesItsLine) {
    app::PageBreaksTab& tab = features->ShowTab();
    EXPECT_EQ(debug->View()->Tabs()->currentWidget(), &tab);
    AddThroughForm(tab, 0, "sign=", false);
    AddThroughForm(tab, 1, "sid", true);
    auto* list = tab.findChild<QTreeWidget*>(Q("列表_页面断点"));
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(2), Q("日志点"));

    std::vector<Seen> seen;
    ReadPausesAndContinue(*debug, seen);
    LoadText(*w, kSigner);
    std::string log = Evaluate(*w, "go('abc')");
    ASSERT_EQ(seen.size(), 1u) << log;
    EXPECT_TRUE(seen[0].status.startsWith(Q("已暂停：页面断点（第 6 行） 请求 GET http://api.test/x?p=abc&sign=sig3")))
        << seen[0].status.toStdString();
    ASSERT_FALSE(seen[0].frames.isEmpty());
    EXPECT_TRUE(seen[0].frames[0].startsWith(Q("go"))) << seen[0].frames[0].toStdString();
    EXPECT_TRUE(seen[0].locals.contains(Q("url = \"http://api.test/x?p=abc&sign=sig3\""))) << seen[0].locals.join('|').toStdString();
    EXPECT_NE(log.find(Ansi("-->日志点 第 7 行: Cookie 写入 sid=abc\r\n")), std::string::npos) << log;

    // Removed with Delete's button, the request pauses no more.
    list->setCurrentItem(list->topLevelItem(0));
    tab.findChild<QPushButton*>(Q("按钮_删除页面断点"))->click();
    Evaluate(*w, "go('d')");
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(PageBreaksWindow, ARequestBreakPausesInsideAWholePagesOwnScript) {
    // The editor holds a page whose inline script signs an address and sends it: the
    // pause is in that script's frame, at the page's line, shown in the editor.
    AddThroughForm(features->ShowTab(), 0, "sign=", false);
    std::vector<Seen> seen;
    ReadPausesAndContinue(*debug, seen);
    LoadText(*w,
             "<!DOCTYPE html>\r\n"                                                  // 1
             "<html><head><title>t</title></head><body>\r\n"                        // 2
             "<p>x</p><script>function sign(p) { return 'sig' + p.length; }\r\n"    // 3
             "function go(p) {\r\n"                                                 // 4
             "    var url = 'http://api.test/x?p=' + p + '&sign=' + sign(p);\r\n"  // 5
             "    var xhr = new XMLHttpRequest();\r\n"                              // 6
             "    xhr.open('GET', url);\r\n"                                        // 7
             "    xhr.send();\r\n"                                                  // 8
             "}\r\n"                                                                // 9
             "go('abc');\r\n"                                                       // 10
             "</script></body></html>\r\n");
    ASSERT_EQ(seen.size(), 1u) << w->LogText();
    EXPECT_TRUE(seen[0].status.startsWith(Q("已暂停：页面断点（第 8 行） 请求 GET http://api.test/x?p=abc&sign=sig3")))
        << seen[0].status.toStdString();
    ASSERT_EQ(seen[0].frames.size(), 2);
    EXPECT_TRUE(seen[0].frames[0].startsWith(Q("go"))) << seen[0].frames[0].toStdString();
    EXPECT_TRUE(seen[0].frames[1].contains(Q("第 10 行"))) << seen[0].frames[1].toStdString();
    EXPECT_TRUE(seen[0].locals.contains(Q("url = \"http://api.test/x?p=abc&sign=sig3\"")))
        << seen[0].locals.join('|').toStdString();
    EXPECT_EQ(seen[0].arrow, 7);
    EXPECT_NE(w->LogText().find(Ansi("-->网页加载完成")), std::string::npos);
}

TEST_F(PageBreaksWindow, AFormSubmittedByAClickPausesInTheClickingFrame) {
    app::PageBreaksTab& tab = features->ShowTab();
    AddThroughForm(tab, 0, "sign=", false);
    std::vector<Seen> seen;
    ReadPausesAndContinue(*debug, seen);
    LoadText(*w,
             "function login(user) {\r\n"                                         // 1
             "    var form = document.createElement('form');\r\n"                 // 2
             "    form.method = 'post';\r\n"                                       // 3
             "    form.action = 'http://api.test/login?sign=' + user.length;\r\n"  // 4
             "    form.innerHTML = '<input name=\"u\"><button>go</button>';\r\n"  // 5
             "    form.firstChild.value = user;\r\n"                               // 6
             "    document.body.appendChild(form);\r\n"                            // 7
             "    form.lastChild.click();\r\n"                                     // 8
             "}\r\n");
    std::string log = Evaluate(*w, "login('abc')");
    ASSERT_EQ(seen.size(), 1u) << log;
    EXPECT_TRUE(seen[0].status.startsWith(
        Q("已暂停：页面断点（第 8 行） 请求 POST http://api.test/login?sign=3 正文：u=abc（表单，application/x-www-form-urlencoded）")))
        << seen[0].status.toStdString();
    ASSERT_FALSE(seen[0].frames.isEmpty());
    EXPECT_TRUE(seen[0].frames[0].startsWith(Q("login"))) << seen[0].frames[0].toStdString();
    EXPECT_TRUE(seen[0].locals.contains(Q("user = \"abc\""))) << seen[0].locals.join('|').toStdString();
    EXPECT_NE(log.find(Ansi("-->表单提交（未发送）：POST http://api.test/login?sign=3 正文：u=abc")), std::string::npos) << log;
}

TEST_F(PageBreaksWindow, AMemberChosenFromTheVariablesPausesAtTheReadingLine) {
    // The path of a row reached from the global, and none for a local's.
    QTreeWidget tree;
    auto* global = new QTreeWidgetItem(&tree, {Q("全局"), QString()});
    auto* config = new QTreeWidgetItem(global, {Q("config"), Q("{…}")});
    auto* key = new QTreeWidgetItem(config, {Q("key"), Q("1")});
    auto* local = new QTreeWidgetItem(&tree, {Q("局部"), QString()});
    auto* p = new QTreeWidgetItem(local, {Q("p"), Q("1")});
    auto* proto = new QTreeWidgetItem(config, {Q("[[Prototype]]"), Q("Object")});
    EXPECT_EQ(app::DebuggerWindow::AccessPath(key), Q("window.config.key"));
    EXPECT_EQ(app::DebuggerWindow::AccessPath(p), QString());
    EXPECT_EQ(app::DebuggerWindow::AccessPath(proto), QString());

    app::PageBreaksTab& tab = features->ShowTab();
    emit debug->View()->accessBreakWanted(Q("navigator.userAgent"));
    ASSERT_EQ(tab.Breaks().size(), 1u);
    EXPECT_EQ(tab.Breaks()[0].kind, debug::PageEvent::Access);
    std::vector<Seen> seen;
    ReadPausesAndContinue(*debug, seen);
    LoadText(*w, kSigner);
    std::string log = Evaluate(*w, "go('u')");
    EXPECT_NE(log.find(Ansi("-->计算结果：真")), std::string::npos) << log;
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].status.startsWith(Q("已暂停：页面断点（第 8 行） 读取 navigator.userAgent = \"Mozilla/5.0")))
        << seen[0].status.toStdString();
}

TEST_F(PageBreaksWindow, ThePageReadsRightToAssistiveTechnology) {
    app::PageBreaksTab& tab = features->ShowTab();
    struct Expected {
        const char* object;
        QAccessible::Role role;
        const char* name;
    };
    const Expected rows[] = {{"列表_页面断点", QAccessible::Tree, "页面断点"},
                             {"组合框_页面断点类型", QAccessible::ComboBox, "页面断点类型"},
                             {"编辑框_页面断点条件", QAccessible::EditableText, "页面断点条件"},
                             {"选择框_页面断点日志点", QAccessible::CheckBox, "只记日志，不暂停（日志点）"},
                             {"按钮_添加页面断点", QAccessible::Button, "添加页面断点"},
                             {"按钮_删除页面断点", QAccessible::Button, "删除页面断点"}};
    for (const Expected& e : rows) {
        QWidget* widget = tab.findChild<QWidget*>(Q(e.object));
        ASSERT_NE(widget, nullptr) << e.object;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(a, nullptr) << e.object;
        EXPECT_EQ(a->role(), e.role) << e.object;
        EXPECT_EQ(a->text(QAccessible::Name), Q(e.name)) << e.object;
    }
    // The placeholder tells what the condition means for the kind chosen.
    auto* kind = tab.findChild<QComboBox*>(Q("组合框_页面断点类型"));
    kind->setCurrentIndex(6);
    EXPECT_TRUE(tab.findChild<QLineEdit*>(Q("编辑框_页面断点条件"))->placeholderText().contains(Q("navigator.userAgent")));
    // The tabs are named to a screen reader by their captions.
    QAccessibleInterface* tabs = QAccessible::queryAccessibleInterface(debug->View()->Tabs());
    QStringList names;
    for (int i = 0; i < tabs->childCount(); ++i)
        for (int j = 0; tabs->child(i) && j < tabs->child(i)->childCount(); ++j)
            if (tabs->child(i)->child(j)->role() == QAccessible::PageTab) names << tabs->child(i)->child(j)->text(QAccessible::Name);
    EXPECT_TRUE(names.contains(Q("页面断点"))) << names.join('|').toStdString();
}

TEST(PageBreaksSmallScreen, ThePageFitsA1024By768Screen) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile f(dir.filePath(Q("screens.json")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"screens":[{"name":"s","x":0,"y":0,"width":1024,"height":768,"logicalDpi":96,"dpr":1}]})");
    f.close();
    const std::string command = "QY_SMALL_SCREEN=1 QT_QPA_PLATFORM='offscreen:configfile=" + f.fileName().toStdString() +
                                "' /proc/" + std::to_string(QCoreApplication::applicationPid()) +
                                "/exe --gtest_filter=PageBreaksOnScreen.* >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(PageBreaksOnScreen, EveryControlOfThePageIsWhollyShown) {
    if (!std::getenv("QY_SMALL_SCREEN")) GTEST_SKIP() << "run by the small-screen test";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1024, 768));
    auto w = NewMainWindow();
    w->show();
    app::PageBreaksTab& tab = w->findChild<app::PageBreakFeatures*>()->ShowTab();
    app::DebuggerWindow* view = w->findChild<app::DebugFeatures*>()->View();
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen.contains(view->frameGeometry())) << view->frameGeometry().width() << "x" << view->frameGeometry().height();
    for (const char* name : {"列表_页面断点", "组合框_页面断点类型", "编辑框_页面断点条件", "选择框_页面断点日志点",
                             "按钮_添加页面断点", "按钮_删除页面断点"}) {
        QWidget* c = tab.findChild<QWidget*>(Q(name));
        ASSERT_TRUE(c && c->isVisible()) << name;
        QRect inWindow(c->mapTo(view, QPoint(0, 0)), c->size());
        EXPECT_TRUE(view->rect().contains(inWindow)) << name;
        EXPECT_GE(c->width(), c->minimumSizeHint().width()) << name;
    }
}

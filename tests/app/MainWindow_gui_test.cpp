#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>

#include "AppTestSupport.h"

using namespace qy::test;
using qy::app::MainWindow;

TEST(MainWindowStart, ShowsTheDemonstrationScriptAndGreetings) {
    auto w = NewMainWindow();
    EXPECT_EQ(w->windowTitle(), Q("青柚JS调试工具1.8"));
    EXPECT_EQ(w->Component<QTabWidget>("高级选择夹1")->currentIndex(), 0);
    EXPECT_TRUE(w->EditorAt(0)->isVisible());
    for (int i = 1; i < 6; ++i) {
        EXPECT_FALSE(w->EditorAt(i)->isVisible()) << i;
        EXPECT_EQ(w->EditorAt(i)->TextLength(), 0) << i;
    }
    EXPECT_EQ(w->EditorAt(0)->Text(), qy::app::DemonstrationScript());
    EXPECT_EQ(w->EditorAt(0)->CurrentPos(), w->EditorAt(0)->TextLength());
    EXPECT_EQ(w->LogText(), Ansi("-->青柚JS调试工具启动成功,作者：青柚生，QQ12345678,版本1.8\r\n"
                                 "-->帮助：快捷键Alt+Q最小化至托盘/显示\r\n-->欢迎使用\r\n"));
    auto* addr = w->Component<QComboBox>("组合框_addr");
    EXPECT_EQ(addr->count(), 1);
    EXPECT_EQ(addr->currentText(), Q("http://pajhome.org.uk/crypt/md5/sha1.js"));
    EXPECT_FALSE(w->Session().CodeLoaded());
    EXPECT_EQ(qy::app::VersionText(), "1.8");
    EXPECT_EQ(w->Component<QComboBox>("组合框_more")->currentText(), Q("区分大小写"));
}

TEST(MainWindowStart, EveryComponentSitsAtItsPlace) {
    auto w = NewMainWindow();
    struct Row { const char* name; int x, y, width, height; };
    const Row rows[] = {
        {"组合框_addr", 30, 0, 626, 28},      {"选择框1", 665, 0, 80, 24},        {"按钮_读取JS", 744, 0, 80, 24},
        {"高级选择夹1", 2, 29, 848, 344},     {"按钮_add", 8, 383, 56, 24},        {"编辑框_搜索内容", 69, 385, 219, 21},
        {"组合框_more", 296, 383, 104, 20},   {"按钮_search", 410, 383, 69, 24},  {"按钮_pack", 480, 383, 69, 24},
        {"按钮_cla", 548, 383, 69, 24},       {"按钮_unpack", 618, 383, 69, 24},  {"按钮_copy", 688, 383, 69, 24},
        {"按钮_format", 757, 383, 69, 24},    {"标签1", 8, 416, 56, 24},          {"组合框_FunList", 69, 415, 218, 25},
        {"标签_Fun", 297, 416, 529, 24},      {"编辑框_eval", 8, 445, 666, 24},   {"按钮_run", 682, 445, 72, 24},
        {"按钮_go", 754, 445, 72, 24},        {"编辑框_output", 8, 477, 817, 144},
    };
    for (const Row& r : rows) {
        auto* c = w->Component<QWidget>(r.name);
        ASSERT_NE(c, nullptr) << r.name;
        EXPECT_EQ(c->geometry(), QRect(r.x, r.y, r.width, r.height)) << r.name;
        EXPECT_FALSE(c->accessibleName().isEmpty()) << r.name;
    }
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(w->EditorAt(i)->geometry(), QRect(0, 0, 822, 344));
        EXPECT_EQ(w->EditorAt(i)->accessibleName(), QString::fromUtf8("代码编辑框%1").arg(i));
        EXPECT_EQ(w->Component<QTabWidget>("高级选择夹1")->tabText(i), QString("New%1  ").arg(i));
    }
    EXPECT_EQ(w->Button("按钮_run")->accessibleName(), Q("计算表达式"));
    EXPECT_EQ(w->Component<QWidget>("编辑框_eval")->accessibleName(), Q("编辑框_eval"));
    EXPECT_EQ(w->Component<QTabWidget>("高级选择夹1")->tabPosition(), QTabWidget::East);
}

TEST(MainWindowStart, MenusHoldTheirItems) {
    auto w = NewMainWindow();
    QStringList menus;
    for (QAction* a : w->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{Q("文件(&F)"), Q("关于(&A)"), Q("工具(&T)")}));
    EXPECT_EQ(w->MenuAction("打开")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(w->MenuAction("导出")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_FALSE(w->MenuAction("数组对象查看")->isEnabled());
    for (const char* item : {"软件版本", "联系作者", "检查更新", "JavaScript速查", "解码工具", "显示程序", "退出程序"})
        EXPECT_NE(w->MenuAction(item), nullptr) << item;
    ASSERT_NE(w->TrayMenu(), nullptr);
    EXPECT_EQ(w->TrayMenu()->actions().size(), 2);
}

TEST(MainWindowTabs, EachTabShowsItsOwnEditorAndKeepsItsState) {
    auto w = NewMainWindow();
    auto* tabs = w->Component<QTabWidget>("高级选择夹1");
    w->EditorAt(0)->SetSel(5, 9);
    tabs->setCurrentIndex(3);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w->EditorAt(i)->isVisible(), i == 3) << i;
    EXPECT_EQ(w->CurrentEditor(), w->EditorAt(3));
    tabs->setCurrentIndex(0);
    EXPECT_TRUE(w->EditorAt(0)->isVisible());
    EXPECT_EQ(w->EditorAt(0)->Text(), qy::app::DemonstrationScript());
    EXPECT_EQ(w->EditorAt(0)->SelectionStart(), 5);
    EXPECT_EQ(w->EditorAt(0)->CurrentPos(), 9);
}

TEST(MainWindowTabs, OperationsOnTabFiveTouchOnlyItsEditor) {
    auto w = NewMainWindow();
    w->Component<QTabWidget>("高级选择夹1")->setCurrentIndex(5);
    w->EditorAt(5)->SetText("function only5(){ syntax error here");
    Click(*w, "按钮_add");
    EXPECT_GT(w->EditorAt(5)->SelectionEnd(), 0);
    EXPECT_EQ(w->EditorAt(0)->Text(), qy::app::DemonstrationScript());
    EXPECT_EQ(w->EditorAt(0)->SelectionStart(), w->EditorAt(0)->TextLength());
    for (int i = 1; i < 5; ++i) EXPECT_EQ(w->EditorAt(i)->TextLength(), 0);
}

TEST(MainWindowLog, AppendGoesToTheEndWhateverTheUserSelected) {
    auto w = NewMainWindow();
    auto* log = w->Component<QPlainTextEdit>("编辑框_output");
    log->moveCursor(QTextCursor::Start);
    log->insertPlainText(QStringLiteral("typed by hand\n"));
    QTextCursor c = log->textCursor();
    c.setPosition(2);
    c.setPosition(6, QTextCursor::KeepAnchor);
    log->setTextCursor(c);
    w->AppendLog("-->last line\r\n");
    std::string text = w->LogText();
    EXPECT_EQ(text.substr(0, 15), "typed by hand\r\n");
    EXPECT_TRUE(text.size() >= 14 && text.compare(text.size() - 14, 14, "-->last line\r\n") == 0);
    EXPECT_EQ(log->verticalScrollBar()->value(), log->verticalScrollBar()->maximum());
    EXPECT_EQ(log->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(log->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_FALSE(log->isReadOnly());
}

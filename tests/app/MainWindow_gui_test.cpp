#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTabBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>

#include "AppTestSupport.h"
#include "common/TestSupport.h"
#include "app/ReferenceWindow.h"
#include "app/Startup.h"

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
    // The accessible name says what a component is for; the layout name stays its object name.
    struct Row { const char* name; int x, y, width, height; const char* caption; };
    const Row rows[] = {
        {"组合框_addr", 30, 0, 626, 28, "脚本地址"},        {"选择框1", 665, 0, 80, 24, "UTF-8解码"},
        {"按钮_读取JS", 744, 0, 80, 24, "读取JS"},        {"高级选择夹1", 2, 29, 848, 344, "代码标签页"},
        {"按钮_add", 8, 383, 56, 24, "加载代码"},         {"编辑框_搜索内容", 69, 385, 219, 21, "搜索内容"},
        {"组合框_more", 296, 383, 104, 20, "搜索选项"},     {"按钮_search", 410, 383, 69, 24, "查找"},
        {"按钮_pack", 480, 383, 69, 24, "压缩"},          {"按钮_cla", 548, 383, 69, 24, "清空"},
        {"按钮_unpack", 618, 383, 69, 24, "eval解密"},    {"按钮_copy", 688, 383, 69, 24, "复制JS"},
        {"按钮_format", 757, 383, 69, 24, "格式化"},      {"标签1", 8, 416, 56, 24, "函数列表"},
        {"组合框_FunList", 69, 415, 218, 25, "函数列表"},   {"标签_Fun", 297, 416, 529, 24, "函数签名"},
        {"编辑框_eval", 8, 445, 666, 24, "表达式"},       {"按钮_run", 682, 445, 72, 24, "计算表达式"},
        {"按钮_go", 754, 445, 72, 24, "生成E代码"},       {"编辑框_output", 8, 477, 817, 144, "输出日志"},
    };
    for (const Row& r : rows) {
        auto* c = w->Component<QWidget>(r.name);
        ASSERT_NE(c, nullptr) << r.name;
        EXPECT_EQ(c->geometry(), QRect(r.x, r.y, r.width, r.height)) << r.name;
        EXPECT_TRUE(c->isVisible() && c->isEnabled()) << r.name;
        QAccessibleInterface* a11y = QAccessible::queryAccessibleInterface(c);
        ASSERT_NE(a11y, nullptr) << r.name;
        EXPECT_EQ(a11y->text(QAccessible::Name), Q(r.caption ? r.caption : r.name)) << r.name;
    }
    // A combo box keeps its layout name; its current text is its value.
    QAccessibleInterface* addr = QAccessible::queryAccessibleInterface(w->Component<QWidget>("组合框_addr"));
    EXPECT_EQ(addr->role(), QAccessible::ComboBox);
    EXPECT_EQ(addr->text(QAccessible::Value), Q("http://pajhome.org.uk/crypt/md5/sha1.js"));
    EXPECT_EQ(addr->childCount(), 2);
    EXPECT_FALSE(w->Component<QCheckBox>("选择框1")->isChecked());
    EXPECT_EQ(w->Component<QComboBox>("组合框_FunList")->currentIndex(), -1);
    EXPECT_TRUE(w->Component<QComboBox>("组合框_addr")->isEditable());
    EXPECT_FALSE(w->Component<QComboBox>("组合框_more")->isEditable());
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(w->EditorAt(i)->geometry(), QRect(0, 0, 822, 344));
        EXPECT_EQ(w->EditorAt(i)->accessibleName(), QString::fromUtf8("代码编辑器 New%1").arg(i));
        EXPECT_EQ(w->Component<QTabWidget>("高级选择夹1")->tabText(i), QString("New%1  ").arg(i));
    }
    EXPECT_EQ(w->Button("按钮_run")->accessibleName(), Q("计算表达式"));
    EXPECT_EQ(w->Component<QWidget>("编辑框_eval")->accessibleName(), Q("表达式"));
    EXPECT_EQ(w->Component<QTabWidget>("高级选择夹1")->tabPosition(), QTabWidget::East);
}

TEST(MainWindowStart, MenusHoldTheirItems) {
    auto w = NewMainWindow();
    QStringList menus;
    for (QAction* a : w->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{Q("文件(&F)"), Q("关于(&A)"), Q("工具(&T)"), Q("调试(&D)")}));
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

TEST(MainWindowStart, DemonstrationScriptIsExactlyTheWelcomeExample) {
    auto w = NewMainWindow();
    const std::string expected = Ansi(
        "function MyObj(men1,men2,men3)\r\n{\r\nthis.men1=men1;//属性\r\n this.men2=men2;//属性\r\n"
        " this.men3=men3;//属性\r\n this.all=fuckall;//方法\r\n }\r\n function fuckall ()\r\n {\r\n"
        " return this.men1+String(this.men2)+this.men3;\r\n }\r\nfunction OX(what,time,temp)//返回自定义对象\r\n"
        "{\r\nvar sb=new MyObj(what,time,temp);\r\nreturn sb;\r\n}\r\nfunction OXOX(what,time,temp)//调用自定义对象"
        "\r\n{\r\nvar sb=new MyObj(what,time,temp);\r\nreturn sb.all();\r\n}//JS自定义对象掩演示");
    EXPECT_EQ(Hex(w->EditorAt(0)->Text()), Hex(expected));
    EXPECT_EQ(w->EditorAt(0)->CurrentPos(), w->EditorAt(0)->TextLength());
    // Every editor was set up, whether before or after the script went in.
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(w->EditorAt(i)->Query(QsciScintillaBase::SCI_GETWRAPMODE), QsciScintillaBase::SC_WRAP_WORD) << i;
}

TEST(MainWindowStart, ResizableCentredOnTheScreen) {
    auto w = NewMainWindow();
    EXPECT_NE(w->minimumSize(), w->maximumSize());
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    // The client area below the menu bar holds every component.
    EXPECT_GE(w->centralWidget()->height(), 477 + 144);
    EXPECT_GE(w->centralWidget()->width(), 2 + 848);
    QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    // Centred before the frame is known: off by no more than the frame's width.
    EXPECT_LE((w->geometry().center() - screenCentre).manhattanLength(), 8);
}

TEST(MainWindowStart, EditBoxesTakeLongTexts) {
    auto w = NewMainWindow();
    const QString longText(40000, QLatin1Char('x'));
    for (const char* name : {"编辑框_eval", "编辑框_搜索内容"}) {
        auto* box = w->Component<QLineEdit>(name);
        box->setText(longText);
        EXPECT_EQ(box->text().size(), longText.size()) << name;
    }
}

TEST(MainWindowTabs, HeadersStandAlongTheRightEdge) {
    auto w = NewMainWindow();
    auto* tabs = w->Component<QTabWidget>("高级选择夹1");
    QTabBar* bar = tabs->tabBar();
    QRect barRect(bar->mapTo(tabs, QPoint(0, 0)), bar->size());
    EXPECT_GE(barRect.left(), 822);
    EXPECT_LE(barRect.right(), tabs->width() - 1);
    for (int i = 0; i < 6; ++i) {
        QRect r = bar->tabRect(i).translated(barRect.topLeft());
        EXPECT_GE(r.top(), 0) << i;
        EXPECT_LE(r.bottom(), tabs->height() - 1) << i;
        if (i > 0) {
            EXPECT_EQ(r.left(), bar->tabRect(i - 1).translated(barRect.topLeft()).left()) << i;
            EXPECT_GT(r.top(), bar->tabRect(i - 1).translated(barRect.topLeft()).top()) << i;
        }
    }
    // The page left of the headers shows the whole editor.
    QRect page(tabs->currentWidget()->mapTo(tabs, QPoint(0, 0)), tabs->currentWidget()->size());
    EXPECT_EQ(page.left(), 0);
    EXPECT_GE(page.width(), 822);
    EXPECT_GE(page.height(), 344);
}

TEST(MainWindowLog, LongLinesWrapOnTheTealBackground) {
    auto w = NewMainWindow();
    auto* log = w->Component<QPlainTextEdit>("编辑框_output");
    w->AppendLog("-->" + std::string(600, 'w') + "\r\n");
    QTextBlock last = log->document()->lastBlock().previous();
    ASSERT_TRUE(last.isValid());
    EXPECT_GT(last.layout()->lineCount(), 1);
    EXPECT_EQ(log->horizontalScrollBar()->maximum(), 0);
    QImage shot = log->viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() - 3, shot.height() - 3), QColor(0, 128, 128));
    // A text with the user's own line break (LF in the widget) reads back as CR LF.
    w->AppendLog("a\r\nb\r\n");
    std::string text = w->LogText();
    EXPECT_EQ(text.substr(text.size() - 6), "a\r\nb\r\n");
}

TEST(MainWindowLifetime, ClosingTheMainWindowEndsTheProgramWithZero) {
    qy::app::PrepareApplication(*qApp);
    auto w = NewMainWindow();
    QTimer::singleShot(0, w.get(), [&w] { w->close(); });
    QTimer guard;  // a failing close would otherwise leave the loop running
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { qApp->exit(99); });
    guard.start(20000);
    EXPECT_EQ(qApp->exec(), 0);
    EXPECT_FALSE(w->isVisible());
}

TEST(MainWindowLifetime, ClosingAnotherWindowWhileHiddenInTheTrayKeepsRunning) {
    qy::app::PrepareApplication(*qApp);
    auto w = NewMainWindow();
    w->hide();
    for (QWidget* other : QApplication::topLevelWidgets()) other->hide();
    QPointer<QWidget> reference = qy::app::ReferenceWindow::ShowOrActivate();
    QTimer::singleShot(0, reference, [reference] { reference->close(); });
    // Queued behind whatever closing and deleting the window queued: reached only if
    // the loop goes on.
    QObject::connect(reference, &QObject::destroyed, qApp, [] {
        QMetaObject::invokeMethod(qApp, [] { qApp->exit(7); }, Qt::QueuedConnection);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { qApp->exit(99); });
    guard.start(20000);
    EXPECT_EQ(qApp->exec(), 7);
}

TEST(MainWindowLifetime, QtDialogsSpeakChinese) {
    qy::app::PrepareApplication(*qApp);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), Q("取消"));
    EXPECT_FALSE(QApplication::windowIcon().isNull());
}

TEST(MainWindowStart, VersionTextRoundsToSixSignificantDigits) {
    using qy::app::VersionText;
    EXPECT_EQ(VersionText(1.8f), "1.8");  // 1.7999999523… as a float
    EXPECT_EQ(VersionText(1.81f), "1.81");
    EXPECT_EQ(VersionText(2.0f), "2");
    EXPECT_EQ(VersionText(0.1f), "0.1");
    EXPECT_EQ(VersionText(1234567.0f), "1.23457e+06");
    EXPECT_EQ(VersionText(0.0f), "0");
}

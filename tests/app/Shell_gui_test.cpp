// Tray icon, minimising to the tray, menus and the information windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextBrowser>

#include "AppTestSupport.h"
#include "app/InfoWindows.h"
#include "app/Startup.h"
#include "app/TrayIcon.h"
#include "net/gui/UpdateWindow.h"

using namespace qy::test;
using qy::app::MainWindow;

namespace {
QSystemTrayIcon* Tray(MainWindow& w) { return w.findChild<QSystemTrayIcon*>(Q("托盘图标")); }
QString Shown(const std::string& ansi) {
    QString s = QString::fromStdU16String(qy::text::AnsiToWide(ansi));
    return s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
}  // namespace

TEST(TrayIcon, TipMenuAndDoubleClick) {
    auto w = NewMainWindow();
    QSystemTrayIcon* tray = Tray(*w);
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip(), Q("青柚JS调试工具1.8"));
    ASSERT_EQ(tray->contextMenu(), w->TrayMenu());
    QStringList items;
    for (QAction* a : tray->contextMenu()->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{Q("显示程序"), Q("退出程序")}));
    w->hide();
    emit tray->activated(QSystemTrayIcon::Trigger);  // a single click does nothing
    EXPECT_FALSE(w->isVisible());
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);
}

TEST(TrayIcon, MinimisingHidesAndShowingBringsBack) {
    auto w = NewMainWindow();
    w->showMinimized();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_FALSE(w->isVisible());
    qy::app::ShowMainWindow(*w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);
    qy::app::ToggleMainWindow(*w);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->windowState() & Qt::WindowMinimized);
    qy::app::ToggleMainWindow(*w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);
    w->MenuAction("显示程序")->trigger();
    EXPECT_TRUE(w->isVisible());
}

TEST(TrayIcon, QuitClosesTheWindowAndRemovesTheIcon) {
    auto w = NewMainWindow();
    QPointer<QSystemTrayIcon> tray = Tray(*w);
    w->MenuAction("退出程序")->trigger();
    EXPECT_FALSE(w->isVisible());
    w.reset();
    EXPECT_TRUE(tray.isNull());
}

TEST(Menus, GreyedItemAndNoTrayMenuInTheBar) {
    auto w = NewMainWindow();
    EXPECT_FALSE(w->MenuAction("数组对象查看")->isEnabled());
    for (QAction* a : w->menuBar()->actions()) EXPECT_NE(a->text(), Q("托盘菜单"));
}

TEST(InfoWindows, AboutTextByteForByteAndModal) {
    const std::string expected = Ansi(
        "           版本号：1.81 \r\n\r\n           1.搜索框更加人性化[回车键]\r\n\r\n           2.修改JS速查手册，方便查询"
        "\r\n\r\n           3.优化调试输出框\r\n\r\n           4.增加JS压缩功能避免复制后进去的JS过长\r\n\r\n"
        "           5.增加常用编码的解密(U码，URL，UTF8，base64)           \r\n\r\n"
        "           注：对象查看功能致谢阿木 小马 特此留名\r\n\r\n") +
        std::string(93, ' ') + Ansi("青柚生-2012.10.3");
    EXPECT_EQ(qy::app::AboutText(), expected);
    auto w = NewMainWindow();
    bool mainBlocked = false;
    QString title, notes, heading;
    WhenModalAppears([&](QWidget* modal) {
        title = modal->windowTitle();
        heading = modal->findChild<QLabel*>(Q("标签2"))->text();
        notes = modal->findChild<QLabel*>(Q("标签1"))->text();
        mainBlocked = QApplication::activeModalWidget() == modal && modal->windowModality() == Qt::ApplicationModal;
        modal->close();
    });
    w->MenuAction("软件版本")->trigger();
    EXPECT_EQ(title, Q("关于青柚JS调试工具"));
    EXPECT_EQ(heading, Q("版本说明"));
    EXPECT_EQ(notes, Shown(expected));
    EXPECT_TRUE(mainBlocked);
}

TEST(InfoWindows, ContactTextAndLink) {
    EXPECT_EQ(qy::app::ContactText(), Ansi("                           有好的建议？\r\n                     有好的想法？\r\n"
                                           "                   发现BUG？\r\n                           捐助作者？\r\n\r\n"
                                           "                    青柚在此恭候大家"));
    QUrl opened;
    qy::net::UrlOpener() = [&](const QUrl& url) { opened = url; };
    qy::app::ContactWindow contact;
    EXPECT_EQ(contact.windowTitle(), Q("联系青柚生"));
    auto* link = contact.findChild<QLabel*>(Q("超级链接框1"));
    EXPECT_EQ(link->accessibleName(), Q("点此联系我-青柚生"));
    emit link->linkActivated(QString::fromLatin1(qy::app::kContactAddress));
    EXPECT_EQ(opened, QUrl("tencent://message/?uin=12345678"));
}

TEST(InfoWindows, ReferenceWindowIsOneAndShowsTheBuiltInPage) {
    qy::app::InitResources();
    auto w = NewMainWindow();
    w->MenuAction("JavaScript速查")->trigger();
    auto* first = qy::app::ReferenceWindow::Instance();
    ASSERT_NE(first, nullptr);
    w->MenuAction("JavaScript速查")->trigger();
    EXPECT_EQ(qy::app::ReferenceWindow::Instance(), first);
    EXPECT_EQ(first->windowTitle(), Q("JScript速查手册"));
    auto* browser = first->findChild<QTextBrowser*>(Q("超文本浏览框1"));
    EXPECT_EQ(browser->source(), QUrl("qrc:/manual/javascript.html"));
    QString page = browser->toPlainText();
    for (const char* section : {"全局函数", "语句", "运算符", "String", "Number", "Math", "Date", "Array", "RegExp",
                                "Object", "JSON", "parseInt", "toFixed"})
        EXPECT_TRUE(page.contains(Q(section))) << section;
    QUrl opened;
    qy::net::UrlOpener() = [&](const QUrl& url) { opened = url; };
    emit browser->anchorClicked(QUrl("https://developer.mozilla.org/"));
    EXPECT_EQ(opened, QUrl("https://developer.mozilla.org/"));
    first->close();
}

TEST(Menus, CtrlSOpensTheSaveDialog) {
    auto w = NewMainWindow();
    QApplication::setActiveWindow(w.get());
    bool sawDialog = false;
    WhenModalAppears([&](QWidget* modal) {
        sawDialog = modal->inherits("QFileDialog");
        modal->close();
    });
    QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(sawDialog);
}

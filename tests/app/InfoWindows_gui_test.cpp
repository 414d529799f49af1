// The menus' shell items and the information windows: about, contact, and the
// JavaScript quick reference with its page.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocumentFragment>

#include "AppTestSupport.h"
#include "app/AboutWindow.h"
#include "app/ContactWindow.h"
#include "app/InfoMenu.h"
#include "app/ReferenceWindow.h"
#include "app/Startup.h"
#include "net/gui/UpdateWindow.h"
#include "script/ScriptTarget.h"
#include "script/ScriptHost.h"
#include "text/QtBridge.h"

using namespace qy::test;
using qy::app::MainWindow;

namespace {

QString Shown(const std::string& ansi) { return qy::text::ToQString(ansi); }

/// Records the addresses handed to the browser instead of starting one.
class OpenedUrls {
public:
    OpenedUrls() : m_saved(qy::net::UrlOpener()) {
        qy::net::UrlOpener() = [this](const QUrl& url) { urls.push_back(url); };
    }
    ~OpenedUrls() { qy::net::UrlOpener() = m_saved; }
    std::vector<QUrl> urls;

private:
    std::function<void(const QUrl&)> m_saved;
};

/// One row of the reference page: member, explanation, example (plain text).
struct ReferenceRow {
    QString member, explanation, example;
};

std::vector<ReferenceRow> ReferenceRows() {
    qy::app::InitResources();
    QFile page(QStringLiteral(":/manual/javascript.html"));
    EXPECT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    static const QRegularExpression row(
        QStringLiteral("<tr><td>(.*?)</td><td>(.*?)</td><td>(.*?)</td></tr>"));
    std::vector<ReferenceRow> rows;
    for (auto it = row.globalMatch(html); it.hasNext();) {
        auto m = it.next();
        auto plain = [&](int i) { return QTextDocumentFragment::fromHtml(m.captured(i)).toPlainText().trimmed(); };
        rows.push_back({plain(1), plain(2), plain(3)});
    }
    return rows;
}

}  // namespace

TEST(InfoWindows, AboutWindowShowsTheNotesByteForByteAndBlocksTheMainWindow) {
    const std::string expected =
        Ansi("           版本号：1.81 \r\n\r\n           1.搜索框更加人性化[回车键]\r\n\r\n"
             "           2.修改JS速查手册，方便查询\r\n\r\n           3.优化调试输出框\r\n\r\n"
             "           4.增加JS压缩功能避免复制后进去的JS过长\r\n\r\n"
             "           5.增加常用编码的解密(U码，URL，UTF8，base64)           \r\n\r\n"
             "           注：对象查看功能致谢阿木 小马 特此留名\r\n\r\n") +
        std::string(93, ' ') + Ansi("青柚生-2012.10.3");
    EXPECT_EQ(qy::app::AboutText(), expected);

    auto w = NewMainWindow();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    auto* eval = w->Component<QLineEdit>("编辑框_eval");
    auto* check = w->Component<QCheckBox>("选择框1");
    eval->setFocus();
    QString title, heading, notes;
    bool modal = false;
    WhenModalAppears([&](QWidget* about) {
        title = about->windowTitle();
        heading = about->findChild<QLabel*>(Q("标签2"))->text();
        notes = about->findChild<QLabel*>(Q("标签1"))->text();
        modal = about->windowModality() == Qt::ApplicationModal;
        // Keys and clicks that reach the main window through the window system.
        QTest::keyClick(w->windowHandle(), Qt::Key_A);
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, check->mapTo(w.get(), check->rect().center()));
        about->close();
    });
    w->MenuAction("软件版本")->trigger();
    EXPECT_EQ(title, Q("关于青柚JS调试工具"));
    EXPECT_EQ(heading, Q("版本说明"));
    EXPECT_EQ(notes, Shown(expected));
    EXPECT_TRUE(modal);
    EXPECT_TRUE(eval->text().isEmpty());
    EXPECT_FALSE(check->isChecked());

    // Once it is closed the same input arrives.
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    eval->setFocus();
    QTest::keyClick(w->windowHandle(), Qt::Key_A);
    QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, check->mapTo(w.get(), check->rect().center()));
    EXPECT_EQ(eval->text(), Q("a"));
    EXPECT_TRUE(check->isChecked());
}

TEST(InfoWindows, AboutWindowGoesWithItsOwner) {
    auto w = NewMainWindow();
    QPointer<QWidget> about;
    WhenModalAppears([&](QWidget* modal) {
        about = modal;
        w.reset();  // the main window is destroyed while its modal window is open
    });
    qy::app::OpenAboutWindow(w.get());
    EXPECT_TRUE(about.isNull());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(InfoWindows, ContactWindowTextAndLink) {
    EXPECT_EQ(qy::app::ContactText(), Ansi("                           有好的建议？\r\n                     有好的想法？\r\n"
                                           "                   发现BUG？\r\n                           捐助作者？\r\n\r\n"
                                           "                    青柚在此恭候大家"));
    OpenedUrls opened;
    auto w = NewMainWindow();
    QString title, text;
    WhenModalAppears([&](QWidget* contact) {
        title = contact->windowTitle();
        text = contact->findChild<QLabel*>(Q("标签1"))->text();
        auto* link = contact->findChild<QLabel*>(Q("超级链接框1"));
        EXPECT_EQ(link->accessibleName(), Q("点此联系我-青柚生"));
        EXPECT_EQ(QTextDocumentFragment::fromHtml(link->text()).toPlainText(), Q("点此联系我-青柚生"));
        QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
        contact->close();
    });
    w->MenuAction("联系作者")->trigger();
    EXPECT_EQ(title, Q("联系青柚生"));
    EXPECT_EQ(text, Shown(qy::app::ContactText()));
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(opened.urls[0], QUrl("tencent://message/?uin=12345678"));
}

TEST(InfoWindows, ReferenceWindowIsOneAndComesToTheFront) {
    qy::app::InitResources();
    auto w = NewMainWindow();
    w->MenuAction("JavaScript速查")->trigger();
    QPointer<qy::app::ReferenceWindow> first = qy::app::ReferenceWindow::Instance();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first->windowTitle(), Q("JScript速查手册"));
    EXPECT_TRUE(QTest::qWaitForWindowActive(first));

    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->MenuAction("JavaScript速查")->trigger();
    EXPECT_EQ(qy::app::ReferenceWindow::Instance(), first.data());
    EXPECT_TRUE(QTest::qWaitForWindowActive(first));
    int references = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<qy::app::ReferenceWindow*>(top)) ++references;
    EXPECT_EQ(references, 1);

    first->showMinimized();
    w->MenuAction("JavaScript速查")->trigger();
    EXPECT_FALSE(first->isMinimized());
    EXPECT_TRUE(first->isVisible());

    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());  // closed windows go; the next choice makes a new one
    EXPECT_EQ(qy::app::ReferenceWindow::Instance(), nullptr);
}

TEST(InfoWindows, ReferencePageLinksStayInsideOrGoToTheBrowser) {
    qy::app::InitResources();
    auto* reference = qy::app::ReferenceWindow::ShowOrActivate();
    auto* browser = reference->findChild<QTextBrowser*>(Q("超文本浏览框1"));
    ASSERT_NE(browser, nullptr);
    const QUrl page("qrc:/manual/javascript.html");
    EXPECT_EQ(browser->source(), page);
    const QString text = browser->toPlainText();
    for (const char* section : {"全局函数", "语句", "运算符", "String", "Number", "Math", "Date", "Array", "RegExp",
                                "Object", "JSON"})
        EXPECT_TRUE(text.contains(Q(section))) << section;

    OpenedUrls opened;
    emit browser->anchorClicked(QUrl("#json"));
    EXPECT_TRUE(opened.urls.empty());
    EXPECT_EQ(browser->source().adjusted(QUrl::RemoveFragment), page);
    emit browser->anchorClicked(QUrl("https://developer.mozilla.org/zh-CN/docs/Web/JavaScript"));
    emit browser->anchorClicked(QUrl("mailto:someone@example.org"));
    ASSERT_EQ(opened.urls.size(), 2u);
    EXPECT_EQ(opened.urls[0], QUrl("https://developer.mozilla.org/zh-CN/docs/Web/JavaScript"));
    EXPECT_EQ(opened.urls[1], QUrl("mailto:someone@example.org"));
    EXPECT_EQ(browser->source().adjusted(QUrl::RemoveFragment), page);
    reference->close();
}

// Every row explains its member and shows an example; every example that states its
// result ("expression // result") gives that result in the workbench's engine.
TEST(InfoWindows, ReferencePageExamplesGiveTheResultsTheyState) {
    const auto rows = ReferenceRows();
    ASSERT_GT(rows.size(), 100u);
    // The page describes today's JavaScript (JSON among it), so its examples run in the
    // modern target.
    qy::script::ScopedScriptTarget modern(qy::script::ScriptTarget::ES2021);
    qy::script::ScriptHost host;
    host.SetLanguage("JScript");
    int checked = 0;
    for (const auto& row : rows) {
        EXPECT_FALSE(row.explanation.isEmpty()) << row.member.toStdString();
        EXPECT_FALSE(row.example.isEmpty()) << row.member.toStdString();
        const auto parts = row.example.split(QStringLiteral(" // "));
        if (parts.size() != 2) continue;
        const QString probe = QStringLiteral(
                                  "(function(){ try { var got = JSON.stringify(%1), want = JSON.stringify(%2);"
                                  " return got === want ? 'same' : got + ' <> ' + want; }"
                                  " catch (e) { return 'error: ' + e; } })()")
                                  .arg(parts[0], parts[1]);
        const std::string result =
            qy::script::VariantToText(host.Eval(qy::text::WideToAnsi(probe.toStdU16String())));
        EXPECT_EQ(result, "same") << row.example.toStdString() << "  ->  " << Shown(result).toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 70);
}

TEST(Menus, GreyedItemAndNoTrayMenuInTheBar) {
    auto w = NewMainWindow();
    EXPECT_FALSE(w->MenuAction("数组对象查看")->isEnabled());
    QStringList menus;
    for (QAction* a : w->menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{Q("文件(&F)"), Q("关于(&A)"), Q("工具(&T)"), Q("调试(&D)")}));
}

TEST(Menus, CtrlOAndCtrlSOpenTheFileDialogs) {
    auto w = NewMainWindow();
    for (auto [key, mode] : {std::pair{Qt::Key_O, QFileDialog::AcceptOpen}, std::pair{Qt::Key_S, QFileDialog::AcceptSave}}) {
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        int seen = -1;
        WhenModalAppears([&seen](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) seen = dialog->acceptMode();
            modal->close();
        });
        QTest::keyClick(w.get(), key, Qt::ControlModifier);
        EXPECT_EQ(seen, mode) << key;
    }
}

// Every window opens centred on the screen, fixed in size and without minimise or
// maximise button.
TEST(InfoWindows, EveryWindowOpensCentredWithoutMinimiseOrMaximise) {
    qy::app::InitResources();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    auto expectCentredAndFixed = [&](QWidget* window) {
        // Centred before the frame is known: off by no more than the frame's width.
        EXPECT_LE((window->frameGeometry().center() - screen.center()).manhattanLength(), 8) << window->windowTitle().toStdString();
        EXPECT_FALSE(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint))
            << window->windowTitle().toStdString();
        EXPECT_EQ(window->minimumSize(), window->maximumSize()) << window->windowTitle().toStdString();
    };
    auto w = NewMainWindow();
    for (const char* item : {"软件版本", "联系作者"}) {
        bool seen = false;
        WhenModalAppears([&](QWidget* modal) {
            seen = true;
            expectCentredAndFixed(modal);
            modal->close();
        });
        w->MenuAction(item)->trigger();
        EXPECT_TRUE(seen) << item;
    }
    w->MenuAction("JavaScript速查")->trigger();
    expectCentredAndFixed(qy::app::ReferenceWindow::Instance());
    qy::app::ReferenceWindow::Instance()->close();
    w->MenuAction("解码工具")->trigger();
    QWidget* decoder = QApplication::activeWindow();
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->windowTitle() == Q("KV-RA解码小工具") && top->isVisible()) decoder = top;
    ASSERT_NE(decoder, nullptr);
    expectCentredAndFixed(decoder);
    decoder->close();
    qy::net::UpdateRecord record;
    record.version = 2.0f;
    qy::net::UpdateWindow update(record);
    update.show();
    expectCentredAndFixed(&update);
}

TEST(InfoWindows, EscClosesTheReferenceWindow) {
    qy::app::InitResources();
    QPointer<qy::app::ReferenceWindow> reference = qy::app::ReferenceWindow::ShowOrActivate();
    auto* browser = reference->findChild<QTextBrowser*>(Q("超文本浏览框1"));
    browser->setFocus();
    QTest::keyClick(browser, Qt::Key_Down);
    EXPECT_TRUE(reference->isVisible());
    QTest::keyClick(browser, Qt::Key_Escape);
    EXPECT_FALSE(reference->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(reference.isNull());
}

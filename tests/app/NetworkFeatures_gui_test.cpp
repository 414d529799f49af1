// "读取JS", "检查更新" and the update window through the real main window, against a
// server on 127.0.0.1.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "../net/LocalServer.h"
#include "AppTestSupport.h"
#include "app/NetworkFeatures.h"
#include "common/TestSupport.h"
#include "net/gui/UpdateWindow.h"

using namespace qy::test;
using qy::app::MainWindow;

namespace {

struct Fetching {
    LocalServer server;
    std::unique_ptr<MainWindow> window;
    Fetching() {
        server.server.Get("/zh.js", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("var s = '中文';", "application/javascript");
        });
        server.server.Get("/gbk.js", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(Ansi("var s = '中文';"), "application/javascript");
        });
        server.server.Get("/other.js", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("var other;", "application/javascript");
        });
        server.server.Get("/declared.js", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("var declared;", "application/javascript; Charset=UTF-8");
        });
        server.server.Get("/404", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("<h1>Not Found</h1>", "text/html");
        });
        server.Start();
        window = NewMainWindow();
    }
    std::string Fetch(const std::string& path, bool utf8) {
        window->Component<QCheckBox>("选择框1")->setChecked(utf8);
        window->Component<QComboBox>("组合框_addr")->setEditText(QString::fromStdString(server.Url(path)));
        size_t before = window->LogText().size();
        Click(*window, "按钮_读取JS");
        return LogSince(*window, before);
    }
    QStringList History() const {
        QStringList items;
        auto* addr = window->Component<QComboBox>("组合框_addr");
        for (int i = 0; i < addr->count(); ++i) items << addr->itemText(i);
        return items;
    }
};

}  // namespace

TEST(FetchScript, Utf8BoxDecidesTheConversion) {
    Fetching f;
    EXPECT_EQ(f.Fetch("/zh.js", true), Ansi("-->代码读取成功\r\n"));
    EXPECT_EQ(f.window->CurrentEditor()->Text(), Ansi("var s = '中文';"));
    // Unticked, the bytes stay as they came, and a UTF-8 reply says what would read it.
    EXPECT_EQ(f.Fetch("/zh.js", false),
              Ansi("-->代码读取成功\r\n-->提示：读取到的内容是 UTF-8 编码，若中文显示为乱码，请勾选“UTF-8解码”后重新读取\r\n"));
    EXPECT_EQ(f.window->CurrentEditor()->Text(), "var s = '\xE4\xB8\xAD\xE6\x96\x87';");
    EXPECT_EQ(f.Fetch("/other.js", false), Ansi("-->代码读取成功\r\n"));  // plain ASCII reads the same either way
    // A reply the server declares UTF-8 gets the hint too.
    EXPECT_EQ(f.Fetch("/declared.js", false),
              Ansi("-->代码读取成功\r\n-->提示：读取到的内容是 UTF-8 编码，若中文显示为乱码，请勾选“UTF-8解码”后重新读取\r\n"));
    EXPECT_EQ(f.Fetch("/gbk.js", false), Ansi("-->代码读取成功\r\n"));
    EXPECT_EQ(f.window->CurrentEditor()->Text(), Ansi("var s = '中文';"));
}

TEST(FetchScript, HistoryKeepsEachAddressOnce) {
    Fetching f;
    f.Fetch("/zh.js", false);
    f.Fetch("/zh.js", false);
    f.Fetch("/other.js", false);
    EXPECT_EQ(f.History(), (QStringList{"http://pajhome.org.uk/crypt/md5/sha1.js",
                                        QString::fromStdString(f.server.Url("/zh.js")),
                                        QString::fromStdString(f.server.Url("/other.js"))}));
}

TEST(FetchScript, FailuresLeaveEditorAndHistoryAlone) {
    Fetching f;
    f.window->Component<QTabWidget>("高级选择夹1")->setCurrentIndex(2);
    f.window->EditorAt(2)->SetText("mine");
    EXPECT_EQ(f.Fetch("/404", false), Ansi("-->代码读取失败：HTTP 404\r\n"));
    f.window->Component<QComboBox>("组合框_addr")->setEditText("http://127.0.0.1:1/x.js");
    size_t before = f.window->LogText().size();
    Click(*f.window, "按钮_读取JS");
    EXPECT_EQ(LogSince(*f.window, before), Ansi("-->代码读取失败：连接被拒绝\r\n"));
    EXPECT_EQ(f.window->EditorAt(2)->Text(), "mine");
    EXPECT_EQ(f.History().size(), 1);
}

TEST(UpdateCheckWindow, UpToDateNewerAndFailedChecks) {
    LocalServer server;
    std::string description;
    server.server.Get("/Control.txt", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(description, "text/plain");
    });
    server.Start();
    setenv("QINGYOU_UPDATE_URL", server.Url("/Control.txt").c_str(), 1);
    auto w = NewMainWindow();
    QString caption, text;
    description = "版本号:1.8\\n下载地址是这:http://dl.example.org/a.zip\\nx\\nA|B\\n时间 :2020";
    AnswerMessageBox(QMessageBox::Ok, &caption, &text);
    w->MenuAction("检查更新")->trigger();
    EXPECT_EQ(caption, Q("检查更新"));
    EXPECT_EQ(text, Q("亲-，-你用的是最新版了哦"));

    description = "版本号:1.81\\n下载地址是这:http://dl.example.org/a.zip\\nx\\nA|B\\n时间 :2020";
    QUrl opened;
    qy::net::UrlOpener() = [&](const QUrl& url) { opened = url; };
    QString shown;
    WhenModalAppears([&](QWidget* modal) {
        shown = modal->findChild<QPlainTextEdit*>(Q("编辑框1"))->toPlainText();
        modal->findChild<QPushButton*>(Q("按钮_update"))->click();
    });
    w->MenuAction("检查更新")->trigger();
    EXPECT_EQ(shown, Q("最新版本:1.81\n下载地址:http://dl.example.org/a.zip\n更新信息:\nA\nB\n\n最后更新时间:2020"));
    EXPECT_EQ(opened, QUrl("http://dl.example.org/a.zip"));

    description = "版本号:1.9\\n下载地址是这:file:///etc/passwd\\nx\\nA\\n时间 :2020";
    opened = QUrl();
    WhenModalAppears([&](QWidget* modal) { modal->findChild<QPushButton*>(Q("按钮_update"))->click(); });
    w->MenuAction("检查更新")->trigger();
    EXPECT_TRUE(opened.isEmpty());

    description = "<html>error</html>";
    text.clear();
    AnswerMessageBox(QMessageBox::Ok, &caption, &text);
    w->MenuAction("检查更新")->trigger();
    EXPECT_EQ(caption, Q("检查更新"));
    EXPECT_TRUE(text.startsWith(Q("检查更新失败")));
    unsetenv("QINGYOU_UPDATE_URL");
}

namespace {

/// A server that sends one byte a second for as long as the client listens.
struct Trickling {
    LocalServer server;
    std::atomic<bool> stop{false};
    Trickling() {
        server.server.Get("/slow.js", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("application/javascript", [this](size_t, httplib::DataSink& sink) {
                for (int i = 0; i < 10 && !stop; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
                return !stop && sink.write("x", 1);
            });
        });
        server.Start();
    }
    ~Trickling() { stop = true; }
};

}  // namespace

TEST(FetchScript, BusyWindowStopsATransferAndTheDeadlineEndsOne) {
    Trickling t;
    auto w = NewMainWindow();
    w->EditorAt(0)->SetText("mine");
    auto* addr = w->Component<QComboBox>("组合框_addr");
    addr->setEditText(QString::fromStdString(t.server.Url("/slow.js")));
    QString caption;
    bool mainWindowTookClicks = true;
    WhenBusyWindowAppears([&](QDialog* busy) {
        caption = busy->windowTitle();
        // The waiting window takes no input meanwhile.
        size_t before = w->LogText().size();
        QTest::mouseClick(w->Button("按钮_读取JS"), Qt::LeftButton);
        QTest::keyClick(w->Component<QLineEdit>("编辑框_eval"), Qt::Key_Return);
        mainWindowTookClicks = w->LogText().size() != before;
        busy->findChild<QPushButton*>(Q("按钮_停止"))->click();
    });
    size_t before = w->LogText().size();
    // Enter in the address box fetches as the button does.
    QTest::keyClick(addr->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(LogSince(*w, before), Ansi("-->代码读取失败：已取消\r\n"));
    EXPECT_EQ(caption, Q("正在读取JS…"));
    EXPECT_FALSE(mainWindowTookClicks);
    EXPECT_EQ(w->EditorAt(0)->Text(), "mine");

    // However steadily the bytes come, the whole transfer has its limit.
    w->findChild<qy::app::NetworkFeatures*>()->SetTransferDeadline(2500);
    bool sawBusy = false;
    WhenBusyWindowAppears([&](QDialog*) { sawBusy = true; });
    before = w->LogText().size();
    Click(*w, "按钮_读取JS");
    EXPECT_EQ(LogSince(*w, before), Ansi("-->代码读取失败：连接超时\r\n"));
    EXPECT_TRUE(sawBusy);
    for (int i = 0; i < 100 && qy::app::BusyWindow::Current(); ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(qy::app::BusyWindow::Current(), nullptr);
}

// "读取JS" as a page's own request (the profile's user agent), its failures with their
// reason (an empty reply, a reply of zeros that unpacks without end), text that is not
// UTF-8 kept as it came, and the debugger saying when the run it paused has ended.
#include <gtest/gtest.h>

#include <zlib.h>

#include <QCheckBox>
#include <QComboBox>
#include <thread>

#include "../net/LocalServer.h"
#include "AppTestSupport.h"
#include "app/DebugFeatures.h"
#include "app/DebuggerWindow.h"
#include "editor/Editor.h"
#include "script/Automation.h"
#include "script/ScriptHost.h"
#include "script/Variant.h"

using namespace qy;
using namespace qy::test;

namespace {

/// `size` zero bytes, gzip-compressed (a few kilobytes for many megabytes).
std::string GzippedZeros(size_t size) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    std::string zeros(1 << 20, '\0'), out;
    char buffer[1 << 16];
    for (size_t done = 0; done < size;) {
        size_t n = std::min(zeros.size(), size - done);
        done += n;
        z.next_in = reinterpret_cast<Bytef*>(zeros.data());
        z.avail_in = static_cast<uInt>(n);
        int flush = done < size ? Z_NO_FLUSH : Z_FINISH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, flush);
            out.append(buffer, sizeof buffer - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    return out;
}

struct Site {
    LocalServer server;
    std::string userAgent;
    std::unique_ptr<app::MainWindow> window;
    Site() {
        server.server.Get("/a.js", [this](const httplib::Request& req, httplib::Response& res) {
            userAgent = req.get_header_value("User-Agent");
            res.set_content("var a = 1;", "application/javascript");
        });
        server.server.Get("/empty.js", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("", "application/javascript");
        });
        server.server.Get("/bomb.js", [](const httplib::Request&, httplib::Response& res) {
            static const std::string bomb = GzippedZeros(size_t(100) * 1024 * 1024);
            res.set_header("Content-Encoding", "gzip");
            res.set_content(bomb, "application/javascript");
        });
        server.server.Get("/gbk.js", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(Ansi("var s = '中文';"), "application/javascript");
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
};

}  // namespace

TEST(SmallFaults, FetchIsThePagesRequestAndSaysWhyItFailed) {
    Site site;
    EXPECT_EQ(site.Fetch("/a.js", false), Ansi("-->代码读取成功\r\n"));
    // The browser the environment shows asks, not the address.
    script::ScriptHost page;
    page.SetLanguage("JScript");
    script::SetProperty(page.Control(), "BrowserEnvironment", true);
    page.Reset();
    EXPECT_EQ(site.userAgent, script::VariantToText(page.Eval("navigator.userAgent")));
    EXPECT_NE(site.userAgent.find("Mozilla/5.0"), std::string::npos) << site.userAgent;
    // Failures keep the editor's text and say why.
    site.window->CurrentEditor()->SetText("keep");
    std::string log = site.Fetch("/empty.js", false);
    EXPECT_EQ(log.rfind(Ansi("-->代码读取失败："), 0), 0u) << log;
    EXPECT_NE(log.find(Ansi("空")), std::string::npos) << log;
    log = site.Fetch("/bomb.js", false);
    EXPECT_EQ(log.rfind(Ansi("-->代码读取失败："), 0), 0u) << log;
    EXPECT_NE(log.find(Ansi("零字节")), std::string::npos) << log;
    EXPECT_EQ(site.window->CurrentEditor()->Text(), "keep");
    // With UTF-8 decoding asked for, GBK text is kept as GBK and the log says so.
    log = site.Fetch("/gbk.js", true);
    EXPECT_EQ(site.window->CurrentEditor()->Text(), Ansi("var s = '中文';"));
    EXPECT_NE(log.find(Ansi("不是有效的 UTF-8")), std::string::npos) << log;
}

TEST(SmallFaults, TheDebuggerSaysWhenThePausedRunHasEnded) {
    auto w = NewMainWindow();
    auto& d = *w->findChild<app::DebugFeatures*>();
    w->CurrentEditor()->SetText("function f(a) {\r\n    var b = a + 1;\r\n    return b;\r\n}");
    w->CurrentEditor()->ToggleBreakpoint(1);
    Click(*w, "按钮_add");
    auto* timer = new QTimer(&d);
    timer->setInterval(5);
    QString whilePaused;
    QObject::connect(timer, &QTimer::timeout, [&] {
        if (!d.IsPaused() || !d.View()) return;
        timer->stop();
        whilePaused = d.View()->Status();
        d.View()->findChild<QPushButton*>(Q("按钮_继续"))->click();
    });
    timer->start();
    SetEval(*w, "f(1)");
    Click(*w, "按钮_run");
    ASSERT_NE(d.View(), nullptr);
    EXPECT_FALSE(whilePaused.isEmpty());
    // Once the window's events run again after the run, the status says it is over.
    for (int i = 0; i < 200 && d.View()->Status() == Q("运行中…"); ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(d.View()->Status(), Q("运行已结束"));
}

// A logpoint writes the page's values into the workbench's own line: they stay on it.
TEST(ScriptLines, ALogpointsValuesStayOnItsLine) {
    auto w = NewMainWindow();
    editor::Editor* e = w->EditorAt(0);
    e->SetText(Ansi("function f() {\r\n    var v = 'a\\r\\n-->代码加载成功';\r\n    return v;\r\n}"));
    editor::Breakpoint log;
    log.line = 2;
    log.logMessage = Q("v = {v}");
    e->SetBreakpoint(log);
    Click(*w, "按钮_add");
    SetEval(*w, "f()");
    size_t before = w->LogText().size();
    Click(*w, "按钮_run");
    std::string logged = LogSince(*w, before);
    EXPECT_NE(logged.find(Ansi("-->日志点 第 3 行: v = a↵-->代码加载成功\r\n")), std::string::npos) << logged;
}

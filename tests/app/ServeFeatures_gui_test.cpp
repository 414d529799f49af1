// "作为本地服务运行" in the real main window: the loaded code answered over HTTP while
// the item is ticked, with its address and call count in the status bar.
#include <gtest/gtest.h>
#include <httplib.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <cstdlib>

#include "AppTestSupport.h"
#include "app/ServeFeatures.h"
#include "common/ProcessSupport.h"

using namespace qy::test;

namespace {

std::string Post(int port, const std::string& body) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(30, 0);
    auto r = client.Post("/call", body, "application/json");
    return r ? r->body : std::string();
}

/// Lets the window's events through until `condition` holds (or about 20 s pass).
template <typename F>
bool Settles(F condition) {
    return Eventually([&] {
        QApplication::processEvents();
        return condition();
    });
}

}  // namespace

TEST(ServeFeatures, ServesTheLoadedCodeUntilChosenAgain) {
    setenv("QY_SERVE_WORKER", QY_APP_BINARY, 1);
    auto w = NewMainWindow();
    auto* serve = w->findChild<qy::app::ServeFeatures*>(QStringLiteral("ServeFeatures"));
    ASSERT_TRUE(serve);
    auto* action = w->findChild<QAction*>(QStringLiteral("作为本地服务运行"));
    ASSERT_TRUE(action);

    // Nothing loaded: nothing served.
    size_t before = w->LogText().size();
    w->CurrentEditor()->SetText("");
    action->trigger();
    EXPECT_FALSE(serve->Serving());
    EXPECT_FALSE(action->isChecked());
    EXPECT_NE(LogSince(*w, before).find(Ansi("-->请先加载代码")), std::string::npos);

    w->CurrentEditor()->SetText("var calls = 0;\r\nfunction twice(s) { calls++; return s + s; }");
    Click(*w, "按钮_add");
    action->trigger();
    ASSERT_TRUE(serve->Serving()) << w->LogText();
    EXPECT_TRUE(action->isChecked());
    int port = std::atoi(serve->Address().substr(serve->Address().rfind(':') + 1).c_str());
    EXPECT_EQ(Post(port, "{\"function\":\"twice\",\"args\":[\"ab\"]}"), "{\"result\":\"abab\",\"type\":\"文本型\"}");
    auto* status = w->findChild<QLabel*>(QStringLiteral("标签_本地服务"));
    ASSERT_TRUE(status);
    EXPECT_TRUE(Settles([&] { return status->text().contains(QStringLiteral("调用 1 次")); })) << status->text().toStdString();
    EXPECT_TRUE(status->text().contains(QString::fromStdString(serve->Address())));

    // An error answer is a log line.
    before = w->LogText().size();
    Post(port, "{\"function\":\"missing\",\"args\":[]}");
    EXPECT_TRUE(Settles([&] { return LogSince(*w, before).find(Ansi("-->服务调用出错（422）")) != std::string::npos; }));

    // Loading again serves the new code.
    w->CurrentEditor()->SetText("function twice(s) { return 'new ' + s; }");
    Click(*w, "按钮_add");
    EXPECT_TRUE(Settles([&] { return Post(port, "{\"function\":\"twice\",\"args\":[\"x\"]}").find("new x") != std::string::npos; }));

    // The caller-code menu calls this service.
    auto* python = w->findChild<QAction*>(QStringLiteral("service-python-requests"));
    ASSERT_TRUE(python);
    qy::app::MainWindow& window = *w;
    window.Component<QLineEdit>("编辑框_eval")->setText(QStringLiteral("twice('a')"));
    python->trigger();
    QString program = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(program.contains(QString::fromStdString(serve->Address()))) << program.toStdString();
    EXPECT_TRUE(program.contains(QStringLiteral("\"/call\"")));

    before = w->LogText().size();
    action->trigger();
    EXPECT_FALSE(serve->Serving());
    EXPECT_FALSE(status->isVisible());
    EXPECT_NE(LogSince(*w, before).find(Ansi("-->本地服务已停止")), std::string::npos);
    EXPECT_TRUE(Post(port, "{\"function\":\"twice\",\"args\":[\"x\"]}").empty());
}

TEST(ServeFeatures, StopsWithTheWindow) {
    setenv("QY_SERVE_WORKER", QY_APP_BINARY, 1);
    auto w = NewMainWindow();
    auto* serve = w->findChild<qy::app::ServeFeatures*>(QStringLiteral("ServeFeatures"));
    ASSERT_TRUE(serve);
    w->CurrentEditor()->SetText("function one() { return 1; }");
    Click(*w, "按钮_add");
    ASSERT_TRUE(serve->Start(0));
    int port = std::atoi(serve->Address().substr(serve->Address().rfind(':') + 1).c_str());
    EXPECT_NE(Post(port, "{\"function\":\"one\",\"args\":[]}").find("1"), std::string::npos);
    w.reset();
    EXPECT_TRUE(Post(port, "{\"function\":\"one\",\"args\":[]}").empty());
}

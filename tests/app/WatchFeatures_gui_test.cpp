// Watching through the real main window: a watched page member logging its calls while
// looking as before, debugger statements passed over by default, and the dynamic code
// listed in its window.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "AppTestSupport.h"
#include "app/DebugFeatures.h"
#include "app/Settings.h"
#include "app/WatchFeatures.h"
#include "script/ScriptTarget.h"

using namespace qy;
using namespace qy::test;

namespace {

QAction* Action(app::MainWindow& w, const char* name) { return w.findChild<QAction*>(Q(name)); }

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

QAction* DebugMenuAction(app::MainWindow& w, const char* text) {
    for (QAction* a : w.menuBar()->actions())
        if (a->menu() && a->text() == Q("调试(&D)"))
            for (QAction* inner : a->menu()->findChildren<QAction*>())
                if (inner->text() == Q(text)) return inner;
    return nullptr;
}

}  // namespace

TEST(WatchWindow, WatchedBtoaLogsItsCallsAndStillPrintsAsBefore) {
    script::ScopedScriptTarget target(script::ScriptTarget::JScript58);
    app::SaveBrowserEnvironment(false);
    auto w = NewMainWindow();
    Action(*w, "浏览器环境")->trigger();
    LoadText(*w, "var x = 1;");
    std::string unwatched = Evaluate(*w, "btoa.toString() + '|' + btoa.name + btoa.length");

    w->findChild<app::WatchFeatures*>()->SetHooks({Q("btoa"), Q("encodeURIComponent")});
    LoadText(*w, "function sign(s) {\r\n    return btoa(encodeURIComponent(s + \"=\"));\r\n}\r\n");
    EXPECT_EQ(Evaluate(*w, "btoa.toString() + '|' + btoa.name + btoa.length"), unwatched);
    std::string log = Evaluate(*w, "sign('k')");
    EXPECT_NE(log.find(Ansi("-->调用 encodeURIComponent(\"k=\") = \"k%3D\"（第 2 行）\r\n")),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(Ansi("-->调用 btoa(\"k%3D\") = \"ayUzRA==\"（第 2 行）\r\n")), std::string::npos)
        << log;
    EXPECT_NE(log.find(Ansi("-->计算结果：ayUzRA==")), std::string::npos);
    Action(*w, "浏览器环境")->trigger();
}

TEST(WatchWindow, DebuggerLoopsRunThroughAndDynamicCodeIsListed) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    auto w = NewMainWindow();
    auto& debug = *w->findChild<app::DebugFeatures*>();
    LoadText(*w, "function spin() {\r\n    var n = 0;\r\n    for (var i = 0; i < 100; i++) { Function('debugger')(); n++; }\r\n"
                 "    debugger;\r\n    return eval('n + 0');\r\n}\r\n");
    // Passed over by default: the loop runs to its end without a pause.
    EXPECT_NE(Evaluate(*w, "spin()").find(Ansi("-->计算结果：100")), std::string::npos);
    EXPECT_EQ(debug.PauseSerial(), 0);

    QDialog& view = w->findChild<app::WatchFeatures*>()->ShowDynamicCode();
    auto* list = view.findChild<QListWidget*>(Q("列表_动态代码"));
    ASSERT_EQ(list->count(), 101);
    EXPECT_EQ(list->item(0)->text(), Q("动态代码 #1 (Function, 第 3 行)"));
    EXPECT_EQ(list->item(100)->text(), Q("动态代码 #101 (eval, 第 5 行)"));
    list->setCurrentRow(100);
    EXPECT_EQ(view.findChild<QPlainTextEdit*>(Q("编辑框_动态代码"))->toPlainText(), Q("n + 0"));
    EXPECT_TRUE(view.findChild<QPlainTextEdit*>(Q("编辑框_动态代码"))->isReadOnly());

    // Chosen to stop, a written debugger statement pauses again.
    QAction* stop = DebugMenuAction(*w, "在 debugger 语句处暂停");
    ASSERT_NE(stop, nullptr);
    stop->trigger();
    auto* timer = new QTimer(&debug);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [&debug] {
        if (debug.IsPaused()) debug.Resume(debug::ResumeAction::Continue);
    });
    timer->start();
    EXPECT_NE(Evaluate(*w, "spin()").find(Ansi("-->计算结果：100")), std::string::npos);
    EXPECT_EQ(debug.PauseSerial(), 101);
    DebugMenuAction(*w, "未设断点时跳过")->trigger();
}

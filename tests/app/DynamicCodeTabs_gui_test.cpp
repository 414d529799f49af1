// Code made at run time through the real main window: a source opening in its own
// read-only tab, formatted on request, taking a breakpoint that pauses the run with the
// debugger's stack naming the source and the tab marking the line; the log's error
// lines naming the source; and what a screen reader finds in the tab.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>

#include "AppTestSupport.h"
#include "app/DebugFeatures.h"
#include "app/DebuggerWindow.h"
#include "app/DynamicCodeTab.h"
#include "app/Settings.h"
#include "app/WatchFeatures.h"
#include "editor/Editor.h"
#include "script/ScriptTarget.h"

using namespace qy;
using namespace qy::test;

namespace {

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

const char* const kMaker =
    "function build() {\r\n"
    "    return eval('(function sign(s){var t=s+1;\\nreturn t*2;})');\r\n"
    "}\r\n"
    "var sign = build();\r\n";

}  // namespace

TEST(DynamicCodeTabs, AMadeSourceOpensInATabAndTakesABreakpoint) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    auto w = NewMainWindow();
    auto& watch = *w->findChild<app::WatchFeatures*>();
    auto& debug = *w->findChild<app::DebugFeatures*>();
    LoadText(*w, kMaker);
    QDialog& view = watch.ShowDynamicCode();
    auto* list = view.findChild<QListWidget*>(Q("列表_动态代码"));
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), Q("动态代码 #1 (eval, 第 2 行)"));

    app::DynamicCodeTab* tab = watch.OpenDynamicTab(0);
    ASSERT_NE(tab, nullptr);
    auto* tabs = view.findChild<QTabWidget*>(Q("选择夹_动态代码"));
    EXPECT_EQ(tabs->currentWidget(), tab);
    EXPECT_EQ(tabs->tabText(tabs->currentIndex()), Q("#1 eval"));
    EXPECT_TRUE(tab->Text()->isReadOnly());
    EXPECT_EQ(tab->Text()->toPlainText(), Q("(function sign(s){var t=s+1;\nreturn t*2;})"));
    EXPECT_EQ(watch.OpenDynamicTab(0), tab);  // one tab per source

    // Formatted, it is read-only too and takes no breakpoint; back as made, it does.
    ASSERT_TRUE(tab->SetFormatted(true));
    EXPECT_NE(tab->Text()->toPlainText(), Q("(function sign(s){var t=s+1;\nreturn t*2;})"));
    EXPECT_FALSE(tab->ToggleBreakpoint(2));
    ASSERT_TRUE(tab->SetFormatted(false));
    // F9 on the caret's line, as a user sets it.
    QTextCursor at(tab->Text()->document()->findBlockByNumber(1));
    tab->Text()->setTextCursor(at);
    tab->findChild<QPushButton*>(Q("按钮_动态代码断点"))->click();
    EXPECT_EQ(tab->Breakpoints(), std::set<uint32_t>{2});
    ASSERT_EQ(debug.Debugger().DynamicBreakpoints().size(), 1u);

    QString stack, status;
    int markedLine = -1;
    auto* timer = new QTimer(&debug);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [&] {
        if (!debug.IsPaused()) return;
        timer->stop();
        auto* frames = debug.View()->findChild<QListWidget*>();
        stack = frames && frames->count() ? frames->item(0)->text() : QString();
        status = debug.View()->Status();
        markedLine = tab->Text()->textCursor().blockNumber() + 1;
        debug.Resume(debug::ResumeAction::Continue);
    });
    timer->start();
    std::string log = Evaluate(*w, "sign(20)");
    EXPECT_NE(log.find(Ansi("-->计算结果：42")), std::string::npos) << log;
    EXPECT_EQ(debug.PauseSerial(), 1);
    EXPECT_NE(stack.indexOf(Q("sign")), -1) << stack.toStdString();
    EXPECT_NE(stack.indexOf(Q("动态代码 #1 (eval, 第 2 行) 第 2 行")), -1) << stack.toStdString();
    EXPECT_NE(status.indexOf(Q("动态代码 #1")), -1) << status.toStdString();
    EXPECT_EQ(markedLine, 2);
    // Closing the tab takes its breakpoint away.
    tabs->tabCloseRequested(tabs->indexOf(tab));
    QCoreApplication::processEvents();
    EXPECT_TRUE(debug.Debugger().DynamicBreakpoints().empty());
}

TEST(DynamicCodeTabs, TheLogsErrorLinesNameTheSourceAndTheTabReadsWell) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    auto w = NewMainWindow();
    LoadText(*w, "function run() {\r\n    return eval('var a = 1;\\nnull.x;');\r\n}\r\n");
    std::string log = Evaluate(*w, "run()");
    EXPECT_NE(log.find(Ansi("-->错误位置：2行")), std::string::npos) << log;
    EXPECT_NE(log.find(Ansi("-->错误所在：动态代码 #1 (eval, 第 2 行)\r\n")), std::string::npos) << log;

    auto& watch = *w->findChild<app::WatchFeatures*>();
    app::DynamicCodeTab* tab = watch.OpenDynamicTab(0);
    ASSERT_NE(tab, nullptr);
    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(tab->Text());
    EXPECT_EQ(text->text(QAccessible::Name), Q("动态代码 #1 (eval, 第 2 行)（只读）"));
    EXPECT_TRUE(text->state().readOnly);
    auto* button = tab->findChild<QPushButton*>(Q("按钮_动态代码断点"));
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Description).isEmpty());
    tab->ToggleBreakpoint(1);
    auto* label = tab->findChild<QLabel*>(Q("标签_动态代码断点"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), Q("断点：第 1 行"));
    // The window keeps its parts on a 1024×768 screen.
    QDialog& view = watch.ShowDynamicCode();
    EXPECT_LE(view.minimumSizeHint().width(), 1000);
    EXPECT_LE(view.minimumSizeHint().height(), 700);
}

// A page that silences or traps the console does not silence the workbench: its logpoints,
// watched calls, uncaught errors and results still reach the log, and the trap never runs.
TEST(ConsoleReplaced, TheWorkbenchsLinesStillArrive) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    app::SaveBrowserEnvironment(false);
    auto w = NewMainWindow();
    QAction* environment = w->findChild<QAction*>(Q("浏览器环境"));
    environment->trigger();
    w->findChild<app::WatchFeatures*>()->SetHooks({Q("btoa")});
    w->CurrentEditor()->SetText(Ansi("var trapped = 0;\r\n"
                                     "console.log = console.info = function () {};\r\n"
                                     "Object.defineProperty(console, 'error', {get: function () { trapped++; return function () {}; }});\r\n"
                                     "function sign(s) {\r\n"
                                     "    var v = btoa(s);\r\n"
                                     "    setTimeout(function () { throw new Error('later ' + v); }, 1);\r\n"
                                     "    return v;\r\n"
                                     "}\r\n"));
    editor::Breakpoint logpoint;
    logpoint.line = 6;
    logpoint.logMessage = Q("签名 {v}");
    w->CurrentEditor()->SetBreakpoint(logpoint);
    Click(*w, "按钮_add");
    std::string log = Evaluate(*w, "sign('k')");
    EXPECT_NE(log.find(Ansi("-->调用 btoa(\"k\") = \"aw==\"（第 5 行）")), std::string::npos) << text::AnsiToUtf8(w->LogText());
    EXPECT_NE(log.find(Ansi("签名 aw==")), std::string::npos) << log;
    EXPECT_NE(log.find(Ansi("Uncaught Error: later aw==")), std::string::npos) << log;
    EXPECT_NE(log.find(Ansi("-->计算结果：aw==")), std::string::npos) << log;
    EXPECT_NE(Evaluate(*w, "trapped").find(Ansi("-->计算结果：0")), std::string::npos);
    environment->trigger();
}

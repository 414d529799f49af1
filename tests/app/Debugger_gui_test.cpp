// The debugger through the real main window: breakpoints in the editor, the window
// "调试器" while paused, stepping, watches, logpoints, exceptions and stopping.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "AppTestSupport.h"
#include "app/DebugFeatures.h"
#include "app/DebuggerWindow.h"
#include "script/Engine.h"
#include "script/ScriptTarget.h"

using namespace qy::test;
using qy::app::DebugFeatures;
using qy::app::DebuggerWindow;
using qy::app::MainWindow;

namespace {

// Lines of the demonstration script (0-based) in OXOX: 18 `var sb=new MyObj(what,time,temp);`
// and 19 `return sb.all();`.
constexpr int64_t kOxoxNewLine = 18;
constexpr int64_t kOxoxReturnLine = 19;

DebugFeatures& Features(MainWindow& w) { return *w.findChild<DebugFeatures*>(); }

/// Calls `act(n)` at the n-th pause (from 1), from inside the pause's event loop.
void OnEachPause(DebugFeatures& d, std::function<void(int)> act) {
    auto* timer = new QTimer(&d);
    timer->setInterval(5);
    auto handled = std::make_shared<int>(d.PauseSerial());
    QObject::connect(timer, &QTimer::timeout, [&d, act, handled] {
        if (!d.IsPaused() || d.PauseSerial() == *handled) return;
        *handled = d.PauseSerial();
        act(*handled);
    });
    timer->start();
}

void Push(DebuggerWindow& v, const char* button) { v.findChild<QPushButton*>(Q(button))->click(); }

/// The rows of the variables tree's first (local) scope: "name = value".
QStringList Locals(DebuggerWindow& v) {
    QStringList rows;
    auto* tree = v.findChild<QTreeWidget*>(Q("树_变量"));
    QTreeWidgetItem* local = tree->topLevelItem(0);
    for (int i = 0; local && i < local->childCount(); ++i)
        rows << local->child(i)->text(0) + " = " + local->child(i)->text(1);
    return rows;
}

QString TopFrame(DebuggerWindow& v) {
    auto* frames = v.findChild<QListWidget*>(Q("列表_调用堆栈"));
    return frames->count() ? frames->item(0)->text() : QString();
}

std::string Evaluate(MainWindow& w, const char* expr) {
    SetEval(w, expr);
    size_t before = w.LogText().size();
    Click(w, "按钮_run");
    return LogSince(w, before);
}

QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text) return a;
        if (a->menu())
            if (QAction* inner = FindAction(a->menu(), text)) return inner;
    }
    return nullptr;
}

QAction* DebugMenuAction(MainWindow& w, const char* text) {
    for (QAction* a : w.menuBar()->actions())
        if (a->menu() && a->text() == Q("调试(&D)")) return FindAction(a->menu(), Q(text));
    return nullptr;
}

}  // namespace

TEST(Debugging, BreakpointPausesTheDemonstrationAndSteps) {
    auto w = NewMainWindow();
    DebugFeatures& d = Features(*w);
    qy::editor::Editor* editor = w->EditorAt(0);
    editor->ToggleBreakpoint(kOxoxNewLine);
    Click(*w, "按钮_add");
    d.AddWatch(Q("what * 10"));
    // Another tab is current when the run pauses: the loaded one comes forward.
    w->Component<QTabWidget>("高级选择夹1")->setCurrentIndex(0);
    std::vector<QString> tops;
    QStringList firstLocals, watches;
    bool runDisabled = false, tabShown = false;
    int64_t arrowAt = -2;
    OnEachPause(d, [&](int n) {
        DebuggerWindow& v = *d.View();
        tops.push_back(TopFrame(v));
        if (n == 1) {
            firstLocals = Locals(v);
            arrowAt = editor->ExecutionPoint();
            runDisabled = !w->Button("按钮_run")->isEnabled();
            tabShown = w->CurrentEditor() == editor;
            auto* wt = v.findChild<QTreeWidget*>(Q("树_监视"));
            watches << wt->topLevelItem(0)->text(1);
            Push(v, "按钮_单步进入");
        } else if (n == 2) {
            Push(v, "按钮_单步跳出");
        } else {
            Push(v, "按钮_继续");
        }
    });
    std::string log = Evaluate(*w, "OXOX(1,2,3)");
    ASSERT_EQ(tops.size(), 3u);
    EXPECT_TRUE(tops[0].startsWith("OXOX")) << tops[0].toStdString();
    EXPECT_TRUE(tops[0].contains(Q("第 19 行")));
    EXPECT_TRUE(tops[1].startsWith("MyObj")) << tops[1].toStdString();
    EXPECT_TRUE(tops[1].contains(Q("第 3 行")));
    EXPECT_TRUE(tops[2].startsWith("OXOX"));
    EXPECT_TRUE(firstLocals.contains("what = 1")) << firstLocals.join("; ").toStdString();
    EXPECT_TRUE(firstLocals.contains("time = 2"));
    EXPECT_TRUE(firstLocals.contains("temp = 3"));
    EXPECT_EQ(watches, QStringList{"10"});
    EXPECT_EQ(arrowAt, kOxoxNewLine);
    EXPECT_TRUE(runDisabled);
    EXPECT_TRUE(tabShown);
    EXPECT_EQ(editor->ExecutionPoint(), -1);
    EXPECT_TRUE(w->Button("按钮_run")->isEnabled());
    EXPECT_NE(log.find(Ansi("-->计算：OXOX(1,2,3)\r\n")), std::string::npos);
    EXPECT_NE(log.find(Ansi("-->计算结果：123\r\n")), std::string::npos) << log;
}

TEST(Debugging, ConditionsLogpointsAndMovedLines) {
    auto w = NewMainWindow();
    DebugFeatures& d = Features(*w);
    qy::editor::Editor* editor = w->EditorAt(0);
    qy::editor::Breakpoint conditional;
    conditional.line = kOxoxNewLine;
    conditional.condition = Q("what > 1");
    editor->SetBreakpoint(conditional);
    qy::editor::Breakpoint log;
    log.line = kOxoxReturnLine;
    log.logMessage = Q("x = {what}");
    editor->SetBreakpoint(log);
    // A line put in above moves both, and the load uses their new lines.
    editor->SetSel(0, 0);
    editor->AddText(Ansi("var first = 0;\r\n"));
    Click(*w, "按钮_add");
    int pauses = 0;
    QString where;
    OnEachPause(d, [&](int) {
        ++pauses;
        where = TopFrame(*d.View());
        Push(*d.View(), "按钮_继续");
    });
    std::string quiet = Evaluate(*w, "OXOX(1,2,3)");
    EXPECT_EQ(pauses, 0);
    EXPECT_NE(quiet.find(Ansi("-->日志点 第 21 行: x = 1\r\n")), std::string::npos) << quiet;
    std::string paused = Evaluate(*w, "OXOX(5,2,3)");
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(where.contains(Q("第 20 行"))) << where.toStdString();
    EXPECT_NE(paused.find(Ansi("-->日志点 第 21 行: x = 5\r\n")), std::string::npos);
    EXPECT_NE(paused.find(Ansi("-->计算结果：523\r\n")), std::string::npos);
    // An edit after the load: the loaded code is no longer that text, nothing applies.
    editor->SetSel(0, 0);
    editor->AddText(Ansi("\r\n"));
    std::string stale = Evaluate(*w, "OXOX(5,2,3)");
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(stale.find(Ansi("日志点")), std::string::npos);
}

TEST(Debugging, DebuggerStatementExceptionsAndStop) {
    auto w = NewMainWindow();
    DebugFeatures& d = Features(*w);
    w->Component<QTabWidget>("高级选择夹1")->setCurrentIndex(1);
    qy::editor::Editor* editor = w->EditorAt(1);
    editor->SetText(Ansi("function f(k) {\r\n    debugger;\r\n    return k + 1;\r\n}\r\n"
                         "function boom() {\r\n    null.x = 1;\r\n}\r\n"));
    // Passed over unless chosen otherwise (the default while no breakpoint is set).
    DebugMenuAction(*w, "在 debugger 语句处暂停")->trigger();
    Click(*w, "按钮_add");
    std::vector<QString> statuses;
    std::string evaluated;
    OnEachPause(d, [&](int n) {
        statuses.push_back(d.View()->Status());
        if (n == 1) {
            // The box evaluates in the paused frame and writes as "计算表达式" does.
            size_t before = w->LogText().size();
            auto* box = d.View()->findChild<QLineEdit*>(Q("编辑框_调试计算"));
            box->setText(Q("k * 2"));
            emit box->returnPressed();
            evaluated = LogSince(*w, before);
            Push(*d.View(), "按钮_继续");
        } else {
            Push(*d.View(), "按钮_调试停止");
        }
    });
    EXPECT_NE(Evaluate(*w, "f(20)").find(Ansi("-->计算结果：21")), std::string::npos);
    ASSERT_EQ(statuses.size(), 1u);
    EXPECT_TRUE(statuses[0].contains(Q("debugger"))) << statuses[0].toStdString();
    EXPECT_TRUE(statuses[0].contains(Q("第 2 行")));
    EXPECT_EQ(evaluated, Ansi("-->计算：k * 2\r\n-->返回类型：数值型\r\n-->计算结果：40\r\n"))
        << evaluated;

    QAction* uncaught = DebugMenuAction(*w, "未捕获的异常");
    ASSERT_NE(uncaught, nullptr);
    uncaught->trigger();
    std::string stopped = Evaluate(*w, "boom()");
    ASSERT_EQ(statuses.size(), 2u);
    EXPECT_TRUE(statuses[1].contains(Q("异常"))) << statuses[1].toStdString();
    EXPECT_TRUE(statuses[1].contains(Q("第 6 行")));
    EXPECT_NE(stopped.find(Ansi("-->发生错误")), std::string::npos) << stopped;
    // The engine works after a stop.
    DebugMenuAction(*w, "不暂停")->trigger();
    EXPECT_NE(Evaluate(*w, "[1, 2].length").find(Ansi("-->计算结果：2")), std::string::npos);
    EXPECT_EQ(statuses.size(), 2u);
}

TEST(Debugging, TheBusyWindowPausesALongRun) {
    qy::app::BusyWindow::Install();
    auto w = NewMainWindow();
    DebugFeatures& d = Features(*w);
    w->EditorAt(0)->SetText(Ansi("function spin() {\r\n    var i = 0;\r\n    while (true) {\r\n        i++;\r\n    }\r\n}\r\n"));
    Click(*w, "按钮_add");
    WhenBusyWindowAppears([](QDialog* busy) { busy->findChild<QPushButton*>(Q("按钮_暂停"))->click(); });
    QString where;
    QStringList locals;
    OnEachPause(d, [&](int) {
        where = TopFrame(*d.View());
        locals = Locals(*d.View());
        Push(*d.View(), "按钮_调试停止");
    });
    std::string log = Evaluate(*w, "spin()");
    qy::script::SetBusyHook(nullptr);
    EXPECT_TRUE(where.startsWith("spin")) << where.toStdString();
    EXPECT_FALSE(locals.filter(QRegularExpression("^i = \\d+$")).isEmpty()) << locals.join("; ").toStdString();
    EXPECT_NE(log.find(Ansi("-->发生错误")), std::string::npos) << log;
    EXPECT_NE(Evaluate(*w, "1+1").find(Ansi("-->计算结果：2")), std::string::npos);
}

TEST(Debugging, AWholePageStopsAtItsOwnLinesAndNamesThemInErrors) {
    qy::script::ScopedScriptTarget target(qy::script::ScriptTarget::ES2021);
    auto w = NewMainWindow();
    DebugFeatures& d = Features(*w);
    qy::editor::Editor* editor = w->EditorAt(0);
    editor->SetText(Ansi("<!DOCTYPE html>\r\n"                                          // 1
                         "<html><body><p>x</p>\r\n"                                   // 2
                         "<script>var base = 'k';\r\n"                                 // 3
                         "function sign(p) {\r\n"                                      // 4
                         "    var s = base + p;\r\n"                                   // 5
                         "    return s.length;\r\n"                                    // 6
                         "}\r\n"                                                       // 7
                         "var signed = sign('ab');\r\n"                                // 8
                         "console.log = function () {};\r\n"                           // 9
                         "</script><script>\r\n"                                       // 10
                         "  missing();\r\n"                                            // 11
                         "</script></body></html>\r\n"));
    editor->ToggleBreakpoint(4);
    std::vector<QString> tops;
    std::vector<int64_t> arrows;
    QStringList locals;
    OnEachPause(d, [&](int n) {
        DebuggerWindow& v = *d.View();
        tops.push_back(TopFrame(v));
        arrows.push_back(editor->ExecutionPoint());
        if (n == 1) {
            locals = Locals(v);
            Push(v, "按钮_单步跳过");
        } else {
            Push(v, "按钮_继续");
        }
    });
    size_t before = w->LogText().size();
    Click(*w, "按钮_add");
    std::string log = LogSince(*w, before);
    ASSERT_EQ(tops.size(), 2u) << log;
    EXPECT_TRUE(tops[0].startsWith("sign")) << tops[0].toStdString();
    EXPECT_TRUE(tops[0].contains(Q("第 5 行")));
    EXPECT_TRUE(tops[1].contains(Q("第 6 行"))) << tops[1].toStdString();
    EXPECT_EQ(arrows, (std::vector<int64_t>{4, 5}));
    EXPECT_TRUE(locals.contains(Q("p = \"ab\""))) << locals.join("; ").toStdString();
    // The second script's error names its line in the page.
    EXPECT_NE(log.find(Ansi("-->错误所在：页面第 11 行")), std::string::npos) << log;
    // and the editor shows that line, as it shows an error's line in loaded code.
    EXPECT_EQ(editor->SelectionStart(), editor->PositionFromLine(10));
    EXPECT_EQ(editor->SelectionEnd(), editor->LineEndPosition(10));
    EXPECT_NE(log.find(Ansi("-->网页加载完成")), std::string::npos) << log;
    // The script silenced console.log; a typed one still writes the log.
    std::string typed = Evaluate(*w, "console.log('typed', signed)");
    EXPECT_NE(typed.find(Ansi("console.log: typed 3")), std::string::npos) << typed;
}

TEST(Debugging, APagesErrorSelectsItsLineInTheEditorOnlyWhenItsTextThrew) {
    auto w = NewMainWindow();
    qy::editor::Editor* editor = w->EditorAt(0);
    // The page's second script throws from a function of its first: the place is the
    // function's line in the page.
    editor->SetText(Ansi("<html><body>\r\n"                 // 1
                         "<script>\r\n"                     // 2
                         "function check(v) {\r\n"          // 3
                         "  if (!v) throw new Error('no');\r\n"  // 4
                         "}\r\n"                             // 5
                         "</script><script>check(0);</script>\r\n"  // 6
                         "</body></html>\r\n"));
    size_t before = w->LogText().size();
    Click(*w, "按钮_add");
    std::string log = LogSince(*w, before);
    EXPECT_NE(log.find(Ansi("-->错误所在：页面第 4 行")), std::string::npos) << log;
    EXPECT_EQ(editor->SelectionStart(), editor->PositionFromLine(3));
    EXPECT_EQ(editor->SelectionEnd(), editor->LineEndPosition(3));

    // Once the page runs cleanly, a load leaves the selection where the user put it.
    editor->SetText(Ansi("<html><body>\r\n<script>var fine = 1;</script>\r\n</body></html>\r\n"));
    editor->SetSel(2, 5);
    before = w->LogText().size();
    Click(*w, "按钮_add");
    log = LogSince(*w, before);
    EXPECT_EQ(log.find(Ansi("错误所在")), std::string::npos) << log;
    EXPECT_EQ(editor->SelectionStart(), 2);
    EXPECT_EQ(editor->SelectionEnd(), 5);
}

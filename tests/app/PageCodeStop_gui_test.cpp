// Page code runs under the busy window wherever the workbench calls it: a trap that
// never returns, reached by the environment's missing-name record after a load or by a
// timer, brings up "正在运行脚本…", and its "停止" ends the work; the window is usable
// afterwards.
#include <gtest/gtest.h>

#include <QAction>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <thread>

#include "AppTestSupport.h"
#include "app/Settings.h"
#include "inspect/ObjectDescription.h"
#include "inspect/ValuePreview.h"
#include "script/Automation.h"
#include "script/ScriptHost.h"
#include "script/Variant.h"
#include "script/Engine.h"
#include "script/ScriptTarget.h"

using namespace qy;
using namespace qy::test;

namespace {

struct Outcome {
    bool busyShown = false;
    std::string log;
};

/// Loads `code` with the environment on under the modern target and presses "停止" as
/// soon as the busy window shows; the load must come back.
Outcome LoadAndStop(app::MainWindow& w, const char* code) {
    Outcome o;
    WhenBusyWindowAppears([&o](QDialog* busy) {
        o.busyShown = true;
        if (auto* stop = busy->findChild<QPushButton*>(Q("按钮_停止"))) stop->click();
    });
    size_t before = w.LogText().size();
    w.CurrentEditor()->SetText(Ansi(code));
    Click(w, "按钮_add");
    o.log = LogSince(w, before);
    return o;
}

/// The environment switched on for the window, and the busy window's hook installed as
/// the program's start-up installs it.
struct EnvironmentOn {
    EnvironmentOn() {
        app::SaveBrowserEnvironment(true);
        app::BusyWindow::Install();
    }
    ~EnvironmentOn() {
        script::SetBusyHook(nullptr);
        app::SaveBrowserEnvironment(false);
    }
};

}  // namespace

TEST(PageCodeStop, TrapsReachedByTheRecordOrByTimersStopWithTheBusyWindow) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    EnvironmentOn env;
    auto w = NewMainWindow();
    ASSERT_TRUE(w->findChild<QAction*>(Q("浏览器环境"))->isChecked());
    struct Case {
        const char* name;
        const char* code;
    };
    const Case cases[] = {
        // The record asks the global's prototype chain whether a missing name exists.
        {"global", "var n=0; Object.setPrototypeOf(globalThis,new Proxy({},{has:function(t,k){n++; "
                   "if(n>=3){while(true){}} return false;}})); var q=typeof zz;"},
        // The same through a watched page object.
        {"navigator", "var n=0; Object.setPrototypeOf(navigator,new Proxy({},{has:function(t,k){n++; "
                      "if(n>=2){while(true){}} return false;}})); var q=navigator.zz;"},
        // A trap that loops at once, inside the load's own lookup.
        {"at once", "Object.setPrototypeOf(globalThis,new Proxy({},{has:function(){while(true){}}})); var q=typeof zz;"},
        {"timer", "setTimeout(function(){ for(;;){} }, 10);"},
    };
    for (const Case& c : cases) {
        Outcome o = LoadAndStop(*w, c.code);
        EXPECT_TRUE(o.busyShown) << c.name;
        EXPECT_NE(o.log.find(Ansi("已被用户停止")), std::string::npos) << c.name << ": " << o.log;
        EXPECT_EQ(app::BusyWindow::Current(), nullptr) << c.name;
    }
    // The window answers again: a plain load and an evaluation work.
    size_t before = w->LogText().size();
    w->CurrentEditor()->SetText(Ansi("function add(a,b){return a+b}"));
    Click(*w, "按钮_add");
    SetEval(*w, "add(20,22)");
    Click(*w, "按钮_run");
    EXPECT_NE(LogSince(*w, before).find(Ansi("-->计算结果：42")), std::string::npos) << LogSince(*w, before);
}

// The viewer and the previews read member after member, each read a call of its own: one
// press of "停止" ends the whole reading, not only the member it lands in.
TEST(PageCodeStop, OnePressEndsTheViewersReadingOfAnObject) {
    script::ScopedScriptTarget target(script::ScriptTarget::ES2021);
    app::BusyWindow::Install();
    script::ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode("var o = {}; for (var i = 0; i < 8; i++) Object.defineProperty(o, 'g' + i, "
                 "{get: function () { for (;;) {} }, enumerable: true});"
                 "o.toString = function () { for (;;) {} };");
    script::ObjectRef o = script::VariantToObject(host.Eval("o"));
    ASSERT_NE(o, nullptr);
    // Every busy window that comes up is stopped at once; how many came up is counted.
    int windows = 0;
    QPointer<QDialog> last;
    QTimer presser;
    presser.setInterval(10);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        QDialog* busy = app::BusyWindow::Current();
        if (!busy || !busy->isVisible() || busy == last) return;
        last = busy;
        ++windows;
        if (auto* stop = busy->findChild<QPushButton*>(Q("按钮_停止"))) stop->click();
    });
    presser.start();
    for (int round = 0; round < 3; ++round) {
        windows = 0;
        if (round == 0) inspect::ObjectPreview(o);
        if (round == 1) inspect::DescribeObject(o);
        if (round == 2) inspect::PreviewText(script::Variant::Object(o));
        EXPECT_EQ(windows, 1) << round;
        // The window goes by itself once the reading has returned.
        for (int i = 0; i < 300 && app::BusyWindow::Current(); ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_EQ(app::BusyWindow::Current(), nullptr) << round;
    }
    presser.stop();
    script::SetBusyHook(nullptr);
}

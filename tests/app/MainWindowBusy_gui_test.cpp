// The busy window over a real endless script: it comes up for any long engine call,
// stays up until the call ends, stops the script with "停止" and goes away by itself.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <chrono>
#include <thread>

#include "AppTestSupport.h"
#include "app/BusyWindow.h"
#include "script/Automation.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"
#include "script/Variant.h"

using namespace qy::test;
using qy::app::BusyWindow;

namespace {

qy::script::ScriptHost SpinningHost() {
    qy::script::ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode("function spin(){ for(;;){} }");
    return host;
}

/// Lets events run until the busy window has gone, for at most a few seconds.
bool BusyWindowGoes() {
    for (int i = 0; i < 500 && BusyWindow::Current(); ++i) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return BusyWindow::Current() == nullptr;
}

struct HookInstalled {
    HookInstalled() { BusyWindow::Install(); }
    ~HookInstalled() { qy::script::SetBusyHook(nullptr); }
};

}  // namespace

TEST(BusyWindow, AnyLongCallGetsTheWindowWhichOnlyStopEnds) {
    HookInstalled hook;
    qy::script::ScriptHost host = SpinningHost();
    QString title, stopText;
    bool survivedEscape = false, survivedClose = false;
    WhenBusyWindowAppears([&](QDialog* modal) {
        title = modal->windowTitle();
        QTest::keyClick(modal, Qt::Key_Escape);
        survivedEscape = modal->isVisible();
        modal->close();
        survivedClose = modal->isVisible();
        auto* stop = modal->findChild<QPushButton*>(Q("按钮_停止"));
        if (!stop) return;
        stopText = stop->text();
        stop->click();
    });
    // No guard around this call: the window comes and goes all the same.
    host.Eval("spin()");
    EXPECT_EQ(title, Q("正在运行脚本…"));
    EXPECT_EQ(stopText, Q("停止"));
    EXPECT_TRUE(survivedEscape);
    EXPECT_TRUE(survivedClose);
    EXPECT_NE(qy::script::GetPropertyNumber(host.GetError(), "Number"), 0);
    EXPECT_TRUE(BusyWindowGoes());
    // The host is usable again after the stop.
    EXPECT_EQ(qy::script::VariantToNumber(host.Eval("6*7")), 42);
}

TEST(BusyWindow, GuardClosesTheWindowTheMomentTheCallEnds) {
    HookInstalled hook;
    qy::script::ScriptHost host = SpinningHost();
    bool shown = false;
    {
        BusyWindow::Scope busy;
        WhenBusyWindowAppears([&](QDialog* modal) {
            shown = modal == BusyWindow::Current();
            qy::script::RequestStop();
        });
        host.Eval("spin()");
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(BusyWindow::Current(), nullptr);
}

// The notification-area icon, hiding on minimise, ShowMainWindow and the Alt+Q toggle,
// on a plain window and on the real main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTest>

#include "AppTestSupport.h"
#include "app/Hotkey.h"
#include "app/Startup.h"
#include "app/TrayIcon.h"

using namespace qy::test;
using qy::app::MainWindow;

namespace {

QSystemTrayIcon* Tray(QObject& w) { return w.findChild<QSystemTrayIcon*>(Q("托盘图标")); }

/// Lets deferred work (the hide that follows a minimisation) run.
void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

/// Stands for a desktop with or without a notification area for one test.
class TrayPresence {
public:
    explicit TrayPresence(bool present) : m_saved(qy::app::SystemTrayPresent()) {
        qy::app::SystemTrayPresent() = [present] { return present; };
    }
    ~TrayPresence() { qy::app::SystemTrayPresent() = m_saved; }

private:
    std::function<bool()> m_saved;
};

/// A shown top-level window that hides when minimised, as long as `wayBack` holds.
std::unique_ptr<QWidget> HidingWindow(bool* wayBack) {
    auto w = std::make_unique<QWidget>();
    w->resize(300, 200);
    qy::app::HideWhenMinimised(*w, [wayBack] { return *wayBack; });
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    return w;
}

}  // namespace

TEST(MinimiseToTray, MinimisingHidesAndShowMainWindowBringsItBackActive) {
    bool wayBack = true;
    auto w = HidingWindow(&wayBack);
    w->move(40, 30);  // moving (and resizing) a visible window leaves it visible
    w->resize(320, 210);
    Settle();
    EXPECT_TRUE(w->isVisible());

    w->showMinimized();
    Settle();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->windowState() & Qt::WindowMinimized);

    qy::app::ShowMainWindow(*w);
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowNoState);
    Settle();
    EXPECT_TRUE(w->isVisible());  // no late hide from the earlier minimisation
}

TEST(MinimiseToTray, ToggleSwitchesBetweenShownNormalAndHidden) {
    bool wayBack = true;
    auto w = HidingWindow(&wayBack);
    qy::app::ToggleMainWindow(*w);
    Settle();
    EXPECT_FALSE(w->isVisible());
    // Not marked minimised: the window would come back iconic under a window manager.
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);

    qy::app::ToggleMainWindow(*w);
    Settle();
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);

    // Minimised by the title bar, then the hotkey: back again.
    w->showMinimized();
    Settle();
    qy::app::ToggleMainWindow(*w);
    Settle();
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);

    // A maximised window is left as it is.
    w->showMaximized();
    Settle();
    qy::app::ToggleMainWindow(*w);
    Settle();
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
}

TEST(MinimiseToTray, WithoutIconOrHotkeyAMinimisedWindowStaysInTheTaskbar) {
    bool wayBack = false;
    auto w = HidingWindow(&wayBack);
    w->showMinimized();
    Settle();
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->windowState() & Qt::WindowMinimized);
}

TEST(TrayIcon, TipMenuAndClicks) {
    qy::app::PrepareApplication(*qApp);
    auto w = NewMainWindow();
    QSystemTrayIcon* tray = Tray(*w);
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip(), Q("青柚JS调试工具1.8"));
    EXPECT_FALSE(tray->icon().isNull());
    ASSERT_EQ(tray->contextMenu(), w->TrayMenu());
    QStringList items;
    for (QAction* a : tray->contextMenu()->actions()) items << a->text();
    EXPECT_EQ(items, (QStringList{Q("显示程序"), Q("退出程序")}));

    w->showMinimized();
    w->hide();
    emit tray->activated(QSystemTrayIcon::Trigger);  // a single left click does nothing
    Settle();
    EXPECT_FALSE(w->isVisible());
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized);

    w->hide();
    w->MenuAction("显示程序")->trigger();
    EXPECT_TRUE(w->isVisible());
}

TEST(TrayIcon, MainWindowHidesWhenMinimisedOnlyWithAWayBack) {
    auto w = NewMainWindow();
    // Offscreen there is no X display, so the hotkey could not be grabbed; start-up went
    // on all the same and the greeting about Alt+Q is there.
    auto* hotkey = w->findChild<qy::app::GlobalHotkey*>();
    ASSERT_NE(hotkey, nullptr);
    EXPECT_FALSE(hotkey->Installed());
    EXPECT_NE(w->LogText().find(Ansi("-->帮助：快捷键Alt+Q最小化至托盘/显示\r\n")), std::string::npos);
    {
        TrayPresence present(false);
        w->showMinimized();
        Settle();
        EXPECT_TRUE(w->isVisible());
        qy::app::ShowMainWindow(*w);
    }
    {
        TrayPresence present(true);
        w->showMinimized();
        Settle();
        EXPECT_FALSE(w->isVisible());
        qy::app::ShowMainWindow(*w);
        EXPECT_TRUE(w->isVisible());
    }
}

TEST(TrayIcon, QuitClosesTheWindowAndRemovesTheIcon) {
    auto w = NewMainWindow();
    QPointer<QSystemTrayIcon> tray = Tray(*w);
    ASSERT_FALSE(tray.isNull());
    w->MenuAction("退出程序")->trigger();
    EXPECT_FALSE(w->isVisible());
    w.reset();
    EXPECT_TRUE(tray.isNull());
}

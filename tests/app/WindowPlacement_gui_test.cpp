// Every window opens wholly on the screen that holds the main window: the debugger
// beside it as far as the screen allows, a window shown again at its place only while
// that place is on a screen. The small screens run in a program of their own.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdlib>

#include "AppTestSupport.h"
#include "app/DebugFeatures.h"
#include "app/DebuggerWindow.h"
#include "app/ReferenceWindow.h"
#include "app/WindowPlacement.h"
#include "decode/gui/DecoderWindow.h"

using namespace qy::test;
using qy::app::BesideOnScreen;
using qy::app::PlaceOnScreen;

TEST(WindowPlacement, BesideTheOwnerWhereThereIsRoom) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(560, 600);
    // Right of the owner, then left of it.
    EXPECT_EQ(BesideOnScreen(QRect(100, 50, 872, 680), size, screen, 8), QRect(980, 50, 560, 600));
    EXPECT_EQ(BesideOnScreen(QRect(1000, 50, 872, 680), size, screen, 8), QRect(432, 50, 560, 600));
    // No room either side (1400 × 1000 with the owner centred): over the owner's right
    // edge, wholly on the screen.
    EXPECT_EQ(BesideOnScreen(QRect(264, 150, 872, 680), size, QRect(0, 0, 1400, 1000), 8), QRect(840, 150, 560, 600));
    // An owner low on the screen: the window rises as far as it must.
    EXPECT_EQ(BesideOnScreen(QRect(0, 500, 872, 680), size, QRect(0, 0, 1920, 1040), 8), QRect(880, 440, 560, 600));
    // A second screen's coordinates, and a screen smaller than the window.
    EXPECT_EQ(BesideOnScreen(QRect(1980, 10, 872, 680), size, QRect(1920, 0, 1920, 1080), 8),
              QRect(2860, 10, 560, 600));
    EXPECT_EQ(BesideOnScreen(QRect(0, 0, 700, 400), size, QRect(0, 0, 800, 480), 8), QRect(240, 0, 560, 480));
}

TEST(WindowPlacement, OntoTheScreenOnlyWhenNotWhollyOnIt) {
    const QRect screen(0, 0, 1024, 768);
    const QSize minimum(200, 100);
    EXPECT_EQ(PlaceOnScreen(QRect(10, 20, 400, 300), screen, minimum), QRect(10, 20, 400, 300));
    EXPECT_EQ(PlaceOnScreen(QRect(900, 700, 400, 300), screen, minimum), QRect(624, 468, 400, 300));
    // Nowhere on it (a place on a screen since unplugged): centred.
    EXPECT_EQ(PlaceOnScreen(QRect(3000, 2000, 400, 300), screen, minimum), QRect(312, 234, 400, 300));
    // On a second screen at its right.
    EXPECT_EQ(PlaceOnScreen(QRect(10, 20, 400, 300), QRect(1024, 0, 800, 600), minimum), QRect(1224, 150, 400, 300));
}

namespace {

QString Screen(const char* name, int x, int width, int height) {
    return QStringLiteral(R"({"name":"%1","x":%2,"y":0,"width":%3,"height":%4,"logicalDpi":96,"dpr":1})")
        .arg(QString::fromLatin1(name))
        .arg(x)
        .arg(width)
        .arg(height);
}

/// Runs the test `test` of WindowPlacementOnScreen in a program of its own on `screens`
/// (the JSON of the offscreen platform's screens), `wanted` telling it what it runs on.
int RunOnScreens(const QString& screens, const std::string& wanted, const char* test) {
    QTemporaryDir dir;
    if (!dir.isValid()) return -1;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)) return -1;
    f.write(QStringLiteral(R"({"screens":[%1]})").arg(screens).toUtf8());
    f.close();
    const std::string command = "QY_PLACEMENT_SCREEN=" + wanted + " QT_QPA_PLATFORM='offscreen:configfile=" +
                                config.toStdString() + "' /proc/" +
                                std::to_string(QCoreApplication::applicationPid()) +
                                "/exe --gtest_filter=WindowPlacementOnScreen." + test + " >/dev/null 2>&1";
    return std::system(command.c_str());
}

int RunOnScreen(int width, int height) {
    return RunOnScreens(Screen("s", 0, width, height), std::to_string(width) + "x" + std::to_string(height),
                        "EveryWindowOpensOnTheMainWindowsScreen");
}

}  // namespace

TEST(WindowPlacement, TheDebuggerOpensWhollyOnA1400By1000Screen) { EXPECT_EQ(RunOnScreen(1400, 1000), 0); }

TEST(WindowPlacement, TheDebuggerOpensWhollyOnA1024By768Screen) { EXPECT_EQ(RunOnScreen(1024, 768), 0); }

TEST(WindowPlacement, WindowsFollowTheMainWindowToASecondScreen) {
    EXPECT_EQ(RunOnScreens(Screen("left", 0, 1920, 1080) + "," + Screen("right", 1920, 1024, 768), "two",
                           "WindowsOpenOnTheSecondScreenWithTheMainWindow"),
              0);
}

TEST(WindowPlacementOnScreen, EveryWindowOpensOnTheMainWindowsScreen) {
    const char* wanted = std::getenv("QY_PLACEMENT_SCREEN");
    if (!wanted) GTEST_SKIP() << "run by the tests of a small screen";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height()), QString::fromLatin1(wanted));
    auto w = NewMainWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(screen.contains(w->frameGeometry()));

    qy::app::DebuggerWindow& debugger = w->findChild<qy::app::DebugFeatures*>()->ShowView();
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen.contains(debugger.frameGeometry())) << debugger.frameGeometry().x() << ","
                                                           << debugger.frameGeometry().y();
    // A place the user chose, still on the screen, is kept when it is shown again.
    debugger.hide();
    debugger.move(screen.topLeft() + QPoint(10, 20));
    debugger.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(debugger.pos(), screen.topLeft() + QPoint(10, 20));
    // One no longer on the screen (a larger resolution then) is not.
    debugger.hide();
    debugger.move(screen.bottomRight() - QPoint(100, 100));
    debugger.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen.contains(debugger.frameGeometry()));
    debugger.hide();
    debugger.move(screen.right() + 400, screen.top());
    debugger.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen.contains(debugger.frameGeometry()));
    debugger.close();

    w->MenuAction("解码工具")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen.contains(qy::decode::DecoderWindow::Instance()->frameGeometry()));
    qy::decode::DecoderWindow::Instance()->close();
    w->MenuAction("JavaScript速查")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen.contains(qy::app::ReferenceWindow::Instance()->frameGeometry()));
    qy::app::ReferenceWindow::Instance()->close();
}

TEST(WindowPlacementOnScreen, WindowsOpenOnTheSecondScreenWithTheMainWindow) {
    const char* wanted = std::getenv("QY_PLACEMENT_SCREEN");
    if (!wanted || std::string(wanted) != "two") GTEST_SKIP() << "run by the test of two screens";
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    const QRect second = QGuiApplication::screens()[1]->availableGeometry();
    auto w = NewMainWindow();
    QCoreApplication::processEvents();
    w->move(second.topLeft() + QPoint(40, 30));
    QCoreApplication::processEvents();
    ASSERT_EQ(w->screen(), QGuiApplication::screens()[1]);

    qy::app::DebuggerWindow& debugger = w->findChild<qy::app::DebugFeatures*>()->ShowView();
    QCoreApplication::processEvents();
    EXPECT_TRUE(second.contains(debugger.frameGeometry()));
    debugger.close();
    // The decoder centres itself on the first screen; it comes to the main window's.
    w->MenuAction("解码工具")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(second.contains(qy::decode::DecoderWindow::Instance()->frameGeometry()));
    qy::decode::DecoderWindow::Instance()->close();
    w->MenuAction("JavaScript速查")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(second.contains(qy::app::ReferenceWindow::Instance()->frameGeometry()));
    qy::app::ReferenceWindow::Instance()->close();
}

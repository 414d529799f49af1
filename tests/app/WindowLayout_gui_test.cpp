// The main window at any size: resized, maximised, and opened on a screen too small
// for it.
#include <gtest/gtest.h>

#include <QFile>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include "AppTestSupport.h"
#include "app/WindowLayout.h"

using namespace qy::test;
using qy::app::FitOnScreen;
using qy::app::MainWindow;

namespace {

/// A main window with the layout installed as the window's constructor installs it.
std::unique_ptr<MainWindow> NewResizableWindow() {
    auto w = std::make_unique<MainWindow>();
    qy::app::InstallWindowLayout(*w);
    qy::app::AttachFeatures(*w);
    w->show();
    return w;
}

QRect Place(MainWindow& w, const char* name) { return w.Component<QWidget>(name)->geometry(); }

const char* const kRows[] = {"按钮_add", "编辑框_搜索内容", "组合框_more", "按钮_search", "按钮_pack", "按钮_cla",
                             "按钮_unpack", "按钮_copy", "按钮_format", "标签1", "组合框_FunList", "标签_Fun",
                             "编辑框_eval", "按钮_run", "按钮_go"};
const char* const kRightEnds[] = {"选择框1", "按钮_读取JS", "组合框_more", "按钮_search", "按钮_pack", "按钮_cla",
                                  "按钮_unpack", "按钮_copy", "按钮_format", "按钮_run", "按钮_go"};
const char* const kWideFields[] = {"组合框_addr", "编辑框_搜索内容", "标签_Fun", "编辑框_eval", "编辑框_output",
                                   "高级选择夹1"};

/// Checks that every component keeps its place relative to the tabs, the log and the
/// client area's right edge, as at the design size `designClient` with places `design`.
void ExpectSamePlaces(MainWindow& w, const std::map<std::string, QRect>& design, QSize designClient) {
    const QSize client = w.centralWidget()->size();
    const int dx = client.width() - designClient.width();
    const QRect tabs = Place(w, "高级选择夹1"), log = Place(w, "编辑框_output");
    const QRect tabs0 = design.at("高级选择夹1"), log0 = design.at("编辑框_output");
    EXPECT_EQ(tabs.top(), tabs0.top());
    EXPECT_EQ(log.bottom() - client.height(), log0.bottom() - designClient.height());
    for (const char* name : kRows) {
        EXPECT_EQ(Place(w, name).top() - tabs.bottom(), design.at(name).top() - tabs0.bottom()) << name;
        EXPECT_EQ(log.top() - Place(w, name).bottom(), log0.top() - design.at(name).bottom()) << name;
    }
    for (const char* name : kRightEnds) {
        EXPECT_EQ(Place(w, name).size(), design.at(name).size()) << name;
        EXPECT_EQ(Place(w, name).left(), design.at(name).left() + dx) << name;
    }
    for (const char* name : kWideFields) {
        EXPECT_EQ(Place(w, name).left(), design.at(name).left()) << name;
        EXPECT_EQ(Place(w, name).width(), design.at(name).width() + dx) << name;
    }
    for (const char* name : {"按钮_add", "标签1", "组合框_FunList"})
        EXPECT_EQ(Place(w, name).size(), design.at(name).size()) << name;
    // A button a feature put right of another after the layout came stays beside it.
    if (auto* callers = w.Component<QWidget>("按钮_callers")) {
        EXPECT_EQ(callers->x() - Place(w, "按钮_go").right(), 2);
        EXPECT_EQ(callers->y(), Place(w, "按钮_go").y());
    }
    // The editor fills its page as at the design size.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(w.EditorAt(i)->width(), 822 + dx) << i;
        EXPECT_EQ(w.EditorAt(i)->height(), 344 + tabs.height() - tabs0.height()) << i;
    }
}

std::map<std::string, QRect> DesignPlaces() {
    MainWindow plain;
    std::map<std::string, QRect> places;
    for (QWidget* c : plain.centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!c->objectName().isEmpty()) places[c->objectName().toStdString()] = c->geometry();
    return places;
}

}  // namespace

TEST(WindowLayout, FitOnScreenMovesInsideAndShrinksOnlyWhenNeeded) {
    const QRect screen(0, 0, 1366, 728);
    const QSize minimum(700, 420);
    EXPECT_EQ(FitOnScreen(QRect(100, 20, 870, 700), screen, minimum), QRect(100, 20, 870, 700));
    EXPECT_EQ(FitOnScreen(QRect(-30, -10, 870, 700), screen, minimum), QRect(0, 0, 870, 700));
    EXPECT_EQ(FitOnScreen(QRect(900, 200, 870, 700), screen, minimum), QRect(496, 28, 870, 700));
    // Larger than the screen: as large as the screen, and on it.
    EXPECT_EQ(FitOnScreen(QRect(-40, -60, 870, 700), QRect(0, 0, 1093, 614), minimum), QRect(0, 0, 870, 614));
    // Never below the minimum: the title bar stays on the screen.
    EXPECT_EQ(FitOnScreen(QRect(10, 10, 870, 700), QRect(0, 0, 640, 400), minimum), QRect(0, 0, 700, 420));
    // A second screen's coordinates.
    EXPECT_EQ(FitOnScreen(QRect(1300, 900, 870, 700), QRect(1366, 0, 1920, 1040), minimum), QRect(1366, 340, 870, 700));
}

TEST(WindowLayout, ResizedTheTabsAndTheLogTakeTheRoomAndTheRowsKeepTheirPlaces) {
    const auto design = DesignPlaces();
    const QSize designClient(856, 626);
    auto w = NewResizableWindow();
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_LT(w->minimumSize().width(), w->maximumSize().width());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    const QSize screen = w->screen()->availableGeometry().size();
    if (screen.width() >= 1000 && screen.height() >= 800) {
        EXPECT_EQ(w->centralWidget()->size(), designClient);  // opens at the size it was made for
    } else {
        EXPECT_TRUE(w->screen()->availableGeometry().contains(w->frameGeometry()));  // shrunk to fit
    }

    for (QSize client : {QSize(1300, 980), QSize(860, 1400), QSize(1920, 700), QSize(856, 626)}) {
        // The menu and status bars settle once laid out: resized until the client fits.
        for (int i = 0; i < 3 && w->centralWidget()->size() != client; ++i)
            w->resize(w->size() + client - w->centralWidget()->size());
        ASSERT_EQ(w->centralWidget()->size(), client);
        ExpectSamePlaces(*w, design, designClient);
        const int dy = client.height() - designClient.height();
        // Most of the extra height goes to the editors.
        EXPECT_GE(Place(*w, "高级选择夹1").height() - 344, Place(*w, "编辑框_output").height() - 144);
        EXPECT_EQ(Place(*w, "高级选择夹1").height() - 344 + Place(*w, "编辑框_output").height() - 144, dy);
    }
    // Back at the design size every component is where it was placed.
    for (const auto& [name, place] : design)
        EXPECT_EQ(w->Component<QWidget>(name.c_str())->geometry(), place) << name;

    // Never smaller than the layout allows.
    w->resize(100, 100);
    EXPECT_GE(w->centralWidget()->width(), qy::app::kMinimumClientSize.width());
    EXPECT_GE(w->centralWidget()->height(), qy::app::kMinimumClientSize.height());
    ExpectSamePlaces(*w, design, designClient);
}

TEST(WindowLayout, Maximised) {
    const auto design = DesignPlaces();
    auto w = NewResizableWindow();
    w->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->isMaximized(); }));
    const QRect screen = w->screen()->availableGeometry();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->frameGeometry().size() == screen.size(); }));
    ExpectSamePlaces(*w, design, QSize(856, 626));
    w->showNormal();
}

// On a screen too small for the window (1366×768 at 125 %) it opens shrunk, on the
// screen, with every component in its place. The window runs in a program of its own
// on that screen.
TEST(WindowLayout, OnASmallScaledScreenItOpensWhollyOnTheScreen) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile f(config);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"screens":[{"name":"small","x":0,"y":0,"width":1093,"height":614,"logicalDpi":96,"dpr":1.25}]})");
    f.close();
    const std::string command = "QY_SMALL_SCREEN=1 QT_QPA_PLATFORM='offscreen:configfile=" + config.toStdString() +
                                "' /proc/" + std::to_string(QCoreApplication::applicationPid()) +
                                "/exe --gtest_filter=WindowLayoutSmallScreen.OpensInside >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST(WindowLayoutSmallScreen, OpensInside) {
    if (!std::getenv("QY_SMALL_SCREEN")) GTEST_SKIP() << "run by OnASmallScaledScreenItOpensWhollyOnTheScreen";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1093, 614));
    const auto design = DesignPlaces();
    auto w = NewResizableWindow();
    QCoreApplication::processEvents();
    EXPECT_TRUE(screen.contains(w->frameGeometry()));
    EXPECT_LT(w->centralWidget()->height(), 626);
    EXPECT_EQ(w->centralWidget()->width(), 856);
    ExpectSamePlaces(*w, design, QSize(856, 626));
}

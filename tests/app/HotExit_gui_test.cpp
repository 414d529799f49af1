// Nothing typed is lost: the hot-exit state in the user's data folder, written whole,
// read back into a new window; the demonstration script on a first or emptied start;
// closing while a script runs stops it and closes.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include "AppTestSupport.h"
#include "app/ConsoleFeatures.h"
#include "app/HotExit.h"
#include "script/Engine.h"

using namespace qy::test;
using qy::app::HotExit;
using qy::app::HotExitState;

namespace {

HotExit* AttachHotExit(qy::app::MainWindow& w, const QString& path) { return new HotExit(w, path); }

}  // namespace

TEST(HotExitFile, KeepsEveryByteAndRefusesForeignFiles) {
    EXPECT_TRUE(qy::app::HotExitPath().startsWith(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/qingyou-js/"));
    QTemporaryDir dir;
    const QString path = dir.filePath("deeper/hot-exit.json");
    HotExitState state;
    state.editors[0] = {Ansi("var 中文 = 1;\r\n"), 2, 5, {}};
    // A byte that is no character in the workbench code page comes back as itself.
    state.editors[3] = {std::string("a\x80\xff" "b", 4), 1, 1, {}};
    qy::editor::Breakpoint plain, conditional;
    plain.line = 0;
    conditional.line = 7;
    conditional.condition = Q("i == '中'");
    conditional.hitCount = 3;
    conditional.logMessage = "i = {i}";
    state.editors[0].breakpoints = {plain, conditional};
    state.currentTab = 3;
    state.addresses = {"http://a/1.js", "http://b/2.js"};
    state.address = "http://typed";
    state.expressions = {"1+1", Q("'中'")};
    ASSERT_TRUE(qy::app::SaveHotExitFile(state, path));
    EXPECT_EQ(QFile(path).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
    auto back = qy::app::LoadHotExitFile(path);
    ASSERT_TRUE(back);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(back->editors[i].text, state.editors[i].text) << i;
        EXPECT_EQ(back->editors[i].anchor, state.editors[i].anchor) << i;
        EXPECT_EQ(back->editors[i].caret, state.editors[i].caret) << i;
        EXPECT_EQ(back->editors[i].breakpoints, state.editors[i].breakpoints) << i;
    }
    EXPECT_EQ(back->currentTab, 3);
    EXPECT_EQ(back->addresses, state.addresses);
    EXPECT_EQ(back->address, state.address);
    EXPECT_EQ(back->expressions, state.expressions);
    // Only the state file itself is left: the write went through a temporary file.
    EXPECT_EQ(QDir(dir.filePath("deeper")).entryList(QDir::Files), QStringList{"hot-exit.json"});

    EXPECT_FALSE(qy::app::ParseHotExit("not json"));
    EXPECT_FALSE(qy::app::ParseHotExit(R"({"format": 99})"));
    EXPECT_FALSE(qy::app::LoadHotExitFile(dir.filePath("missing.json")));
}

TEST(HotExitWindow, TextsCaretsAndHistoriesComeBackInANewWindow) {
    QTemporaryDir dir;
    const QString path = dir.filePath("hot-exit.json");
    {
        auto w = NewMainWindow();
        HotExit* hot = AttachHotExit(*w, path);
        EXPECT_FALSE(hot->Restore());
        for (int i = 0; i < 6; ++i) w->EditorAt(i)->SetText("text " + std::to_string(i) + "\r\nline two");
        w->EditorAt(4)->SetSel(7, 3);
        qy::editor::Breakpoint bp;
        bp.line = 1;
        bp.condition = "n > 2";
        w->EditorAt(2)->SetBreakpoint(bp);
        w->EditorAt(5)->ToggleBreakpoint(0);
        w->Component<QTabWidget>("高级选择夹1")->setCurrentIndex(4);
        w->Component<QComboBox>("组合框_addr")->addItem("http://x/y.js");
        w->Session().SetCodeLoaded(true);
        SetEval(*w, "2*3");
        Click(*w, "按钮_run");
        SetEval(*w, "'half typed'");
        // An edit is saved a few seconds later by itself.
        EXPECT_TRUE(hot->Pending());
        w->close();
        EXPECT_FALSE(hot->Pending());
    }
    auto w = NewMainWindow();
    ASSERT_TRUE(AttachHotExit(*w, path)->Restore());
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w->EditorAt(i)->Text(), "text " + std::to_string(i) + "\r\nline two");
    EXPECT_EQ(w->EditorAt(4)->Anchor(), 7);
    EXPECT_EQ(w->EditorAt(4)->CurrentPos(), 3);
    EXPECT_EQ(w->CurrentEditor(), w->EditorAt(4));
    // Breakpoints come back on their lines, conditions and all.
    ASSERT_EQ(w->EditorAt(2)->Breakpoints().size(), 1u);
    EXPECT_EQ(w->EditorAt(2)->Breakpoints()[0].line, 1);
    EXPECT_EQ(w->EditorAt(2)->Breakpoints()[0].condition, "n > 2");
    ASSERT_EQ(w->EditorAt(5)->Breakpoints().size(), 1u);
    EXPECT_TRUE(w->EditorAt(0)->Breakpoints().empty());
    auto* addr = w->Component<QComboBox>("组合框_addr");
    ASSERT_EQ(addr->count(), 2);
    EXPECT_EQ(addr->itemText(1), "http://x/y.js");
    // Up brings back what was evaluated in the last session.
    auto* eval = w->Component<QLineEdit>("编辑框_eval");
    eval->clear();
    QTest::keyClick(eval, Qt::Key_Up);
    EXPECT_EQ(eval->text(), "2*3");
    // The restored text is no edit to undo.
    w->EditorAt(0)->SendScintilla(QsciScintillaBase::SCI_UNDO);
    EXPECT_EQ(w->EditorAt(0)->Text(), "text 0\r\nline two");
}

TEST(HotExitWindow, FirstStartAndEmptiedEditorsShowTheDemonstration) {
    QTemporaryDir dir;
    const QString path = dir.filePath("hot-exit.json");
    {
        auto w = NewMainWindow();
        EXPECT_EQ(w->EditorAt(0)->Text(), qy::app::DemonstrationScript());
        HotExit* hot = AttachHotExit(*w, path);
        for (int i = 0; i < 6; ++i) w->EditorAt(i)->SetText("");
        ASSERT_TRUE(hot->Save());
    }
    auto w = NewMainWindow();
    EXPECT_TRUE(AttachHotExit(*w, path)->Restore());
    EXPECT_EQ(w->EditorAt(0)->Text(), qy::app::DemonstrationScript());
}

TEST(HotExitWindow, ClosingWhileAScriptRunsStopsItAndCloses) {
    qy::app::BusyWindow::Install();
    QTemporaryDir dir;
    auto w = NewMainWindow();
    HotExit* hot = AttachHotExit(*w, dir.filePath("hot-exit.json"));
    w->EditorAt(0)->SetText("function spin(){ for(;;){} }");
    Click(*w, "按钮_add");
    SetEval(*w, "spin()");
    bool closed = false;
    QObject::connect(w.get(), &qy::app::MainWindow::closing, [&] { closed = true; });
    WhenBusyWindowAppears([&](QDialog*) {
        // As the window manager's close box asks: through the window system.
        w->windowHandle()->close();
    });
    size_t before = w->LogText().size();
    Click(*w, "按钮_run");
    qy::script::SetBusyHook(nullptr);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(w->isVisible());
    EXPECT_NE(LogSince(*w, before).find(Ansi("脚本已被用户停止")), std::string::npos);
    auto saved = qy::app::LoadHotExitFile(dir.filePath("hot-exit.json"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->editors[0].text, "function spin(){ for(;;){} }");
    (void)hot;
}

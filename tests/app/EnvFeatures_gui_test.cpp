// The browser environment in the window: the switch (ticked, logged, kept), loads that
// run it with the address box's address, its lines in the log, and the inserted block.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>

#include "AppTestSupport.h"
#include "app/Settings.h"
#include "env/Environment.h"
#include "script/ScriptTarget.h"

using namespace qy;
using namespace qy::test;

namespace {

QAction* Action(app::MainWindow& w, const char* name) { return w.findChild<QAction*>(Q(name)); }

void LoadText(app::MainWindow& w, const char* utf8) {
    w.CurrentEditor()->SetText(Ansi(utf8));
    Click(w, "按钮_add");
}

}  // namespace

TEST(EnvironmentMenu, SwitchTicksLogsAndIsKept) {
    app::SaveBrowserEnvironment(false);
    auto w = NewMainWindow();
    QAction* toggle = Action(*w, "浏览器环境");
    ASSERT_NE(toggle, nullptr);
    EXPECT_FALSE(toggle->isChecked());
    size_t before = w->LogText().size();
    toggle->trigger();
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_EQ(LogSince(*w, before), Ansi("-->浏览器环境已打开，下次加载代码时生效\r\n"));
    EXPECT_TRUE(app::LoadBrowserEnvironment());
    // A new start reads the kept switch.
    w.reset();
    auto again = NewMainWindow();
    EXPECT_TRUE(Action(*again, "浏览器环境")->isChecked());
    before = again->LogText().size();
    Action(*again, "浏览器环境")->trigger();
    EXPECT_EQ(LogSince(*again, before), Ansi("-->浏览器环境已关闭，下次加载代码时生效\r\n"));
    EXPECT_FALSE(app::LoadBrowserEnvironment());
}

TEST(EnvironmentMenu, LoadsRunItWithTheAddressAndLogItsLines) {
    script::ScopedScriptTarget target(script::ScriptTarget::JScript58);
    app::SaveBrowserEnvironment(false);
    auto w = NewMainWindow();
    // Off: a browser name gets the hint.
    size_t before = w->LogText().size();
    LoadText(*w, "var h = location.host;");
    EXPECT_NE(LogSince(*w, before).find(Ansi("-->提示：location 是浏览器里的对象")), std::string::npos);

    Action(*w, "浏览器环境")->trigger();
    w->Component<QComboBox>("组合框_addr")->setEditText(Q("https://shop.example.cn:8443/item?id=7"));
    before = w->LogText().size();
    LoadText(*w, "var h = location.host;\nconsole.log('页面', h);\nvar c = navigator.connection;");
    EXPECT_EQ(LogSince(*w, before), Ansi("[脚本] console.log: 页面 shop.example.cn:8443\r\n-->代码加载成功\r\n"
                                         "-->环境缺失：navigator.connection（第 3 行，1 次）\r\n"));
    // The environment's functions are not the user's: the list shows only the script's.
    LoadText(*w, "function mine() { return navigator.platform; }");
    auto* list = w->Component<QComboBox>("组合框_FunList");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->itemText(0).toStdString(), "mine");
    Action(*w, "浏览器环境")->trigger();
}

TEST(EnvironmentMenu, InsertedBlockTravelsWithTheCodeAndLoadsOnce) {
    script::ScopedScriptTarget target(script::ScriptTarget::JScript58);
    app::SaveBrowserEnvironment(false);
    auto w = NewMainWindow();
    w->CurrentEditor()->SetText(Ansi("var v = navigator.vendor;"));
    Action(*w, "插入环境代码")->trigger();
    std::string text = w->CurrentEditor()->Text();
    std::string block = Ansi(env::InsertableBlock().c_str());
    EXPECT_EQ(text, block + Ansi("var v = navigator.vendor;"));
    EXPECT_EQ(text.rfind(Ansi("// ==== 浏览器环境"), 0), 0u);
    size_t before = w->LogText().size();
    Action(*w, "插入环境代码")->trigger();
    EXPECT_EQ(w->CurrentEditor()->Text(), text);
    EXPECT_EQ(LogSince(*w, before), Ansi("-->代码开头已有浏览器环境代码\r\n"));
    // It loads with the environment off and on.
    for (int round = 0; round < 2; ++round) {
        before = w->LogText().size();
        Click(*w, "按钮_add");
        EXPECT_EQ(LogSince(*w, before), Ansi("-->代码加载成功\r\n")) << round;
        Action(*w, "浏览器环境")->trigger();
    }
}

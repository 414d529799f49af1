// The script target menu: ticked choice, log line, kept setting, and what a load does
// under each target; Debug.write text reaching the log.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include "AppTestSupport.h"
#include "app/Settings.h"
#include "script/ScriptTarget.h"

using namespace qy;
using namespace qy::test;

namespace {

QAction* TargetAction(app::MainWindow& w, script::ScriptTarget t) {
    return w.findChild<QAction*>(QString::fromStdString(script::TargetDisplayName(t)));
}

void LoadText(app::MainWindow& w, const char* utf8) {
    w.CurrentEditor()->SetText(Ansi(utf8));
    Click(w, "按钮_add");
}

}  // namespace

TEST(TargetMenu, SwitchingTicksLogsKeepsAndAppliesAtTheNextLoad) {
    app::SaveScriptTarget(script::ScriptTarget::JScript58);
    script::SetScriptTarget(app::LoadScriptTarget());
    auto w = NewMainWindow();
    QAction* jscript = TargetAction(*w, script::ScriptTarget::JScript58);
    QAction* modern = TargetAction(*w, script::ScriptTarget::ES2021);
    ASSERT_TRUE(jscript && modern);
    auto* menu = w->findChild<QMenu*>(Q("脚本目标"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(jscript->isChecked());
    EXPECT_FALSE(modern->isChecked());

    // The default target refuses modern syntax the Script Control would refuse.
    size_t before = w->LogText().size();
    LoadText(*w, "const k = 1;");
    EXPECT_EQ(LogSince(*w, before).rfind(Ansi("-->发生错误："), 0), 0u);

    before = w->LogText().size();
    modern->trigger();
    EXPECT_TRUE(modern->isChecked());
    EXPECT_FALSE(jscript->isChecked());
    EXPECT_EQ(script::CurrentScriptTarget(), script::ScriptTarget::ES2021);
    EXPECT_EQ(LogSince(*w, before), Ansi("-->脚本目标已切换为：ES2021（现代引擎），下次加载代码时生效\r\n"));
    EXPECT_EQ(app::LoadScriptTarget(), script::ScriptTarget::ES2021);
    // Choosing the ticked one again says nothing.
    before = w->LogText().size();
    modern->trigger();
    EXPECT_EQ(LogSince(*w, before), "");

    before = w->LogText().size();
    LoadText(*w, "const k = 1;");
    EXPECT_EQ(LogSince(*w, before), Ansi("-->代码加载成功\r\n"));

    // A new start reads the kept choice.
    w.reset();
    script::SetScriptTarget(script::ScriptTarget::JScript58);
    script::SetScriptTarget(app::LoadScriptTarget());
    auto again = NewMainWindow();
    EXPECT_TRUE(TargetAction(*again, script::ScriptTarget::ES2021)->isChecked());
    TargetAction(*again, script::ScriptTarget::JScript58)->trigger();
    EXPECT_EQ(app::LoadScriptTarget(), script::ScriptTarget::JScript58);
}

TEST(TargetMenu, DebugWriteGoesToTheLogALineEachCall) {
    script::SetScriptTarget(script::ScriptTarget::JScript58);
    auto w = NewMainWindow();
    size_t before = w->LogText().size();
    LoadText(*w, "Debug.write('开始'); Debug.writeln('a', 1);");
    EXPECT_EQ(LogSince(*w, before), Ansi("[脚本] 开始\r\n[脚本] a1\r\n-->代码加载成功\r\n"));
}

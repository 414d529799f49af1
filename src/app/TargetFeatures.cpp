#include "app/TargetFeatures.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "app/MainWindow.h"
#include "app/MenuSupport.h"
#include "app/Settings.h"
#include "jscript/Runtime.h"
#include "text/CodePage.h"

namespace qy::app {
TargetFeatures::TargetFeatures(MainWindow& window) : QObject(&window), m_window(window) {
    QMenu* menu = ToolsMenu(window)->addMenu(QStringLiteral("脚本目标"));
    menu->setObjectName(QStringLiteral("脚本目标"));
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    auto add = [&](script::ScriptTarget target) {
        QString caption = QString::fromStdString(script::TargetDisplayName(target));
        QAction* a = menu->addAction(caption);
        a->setObjectName(caption);
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, target] { Choose(target); });
        return a;
    };
    m_jscript = add(script::ScriptTarget::JScript58);
    m_modern = add(script::ScriptTarget::ES2021);
    Tick();
    // What a JScript script writes with Debug.write goes to the log, a line each call.
    jscript::SetDebugOutput([w = &window](const std::u16string& text) {
        w->AppendLog(text::WideToAnsi(text) + "\r\n");
    });
}

TargetFeatures::~TargetFeatures() { jscript::SetDebugOutput(nullptr); }

void TargetFeatures::Choose(script::ScriptTarget target) {
    bool changed = target != script::CurrentScriptTarget();
    script::SetScriptTarget(target);
    Tick();
    if (!changed) return;
    SaveScriptTarget(target);
    m_window.AppendLog(text::Utf8ToAnsiText("-->脚本目标已切换为：" + script::TargetDisplayName(target) +
                                            "，下次加载代码时生效\r\n"));
}

void TargetFeatures::Tick() {
    bool jscript = script::CurrentScriptTarget() == script::ScriptTarget::JScript58;
    m_jscript->setChecked(jscript);
    m_modern->setChecked(!jscript);
}

}  // namespace qy::app

#include "app/EnvFeatures.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>

#include "app/MainWindow.h"
#include "app/MenuSupport.h"
#include "app/Settings.h"
#include "editor/Editor.h"
#include "env/Environment.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"

namespace qy::app {
namespace {

std::string Ansi(const char* utf8) { return text::Utf8ToAnsiText(utf8); }

}  // namespace

EnvFeatures::EnvFeatures(MainWindow& window) : QObject(&window), m_window(window) {
    QMenu* tools = ToolsMenu(window);
    m_switch = tools->addAction(QStringLiteral("浏览器环境"));
    m_switch->setObjectName(QStringLiteral("浏览器环境"));
    m_switch->setCheckable(true);
    QAction* insert = tools->addAction(QStringLiteral("插入环境代码"));
    insert->setObjectName(QStringLiteral("插入环境代码"));
    connect(m_switch, &QAction::triggered, this, [this](bool checked) { Switch(checked); });
    connect(insert, &QAction::triggered, this, [this] { InsertIntoEditor(); });

    bool on = LoadBrowserEnvironment();
    m_switch->setChecked(on);
    script::ScriptSession& session = window.Session();
    session.SetBrowserEnvironment(on);
    // `location` shows the address in the address box at the time of the load.
    session.SetPageAddressSource([w = &window] {
        auto* addr = w->Component<QComboBox>("组合框_addr");
        return addr ? text::WideToAnsi(addr->currentText().toStdU16String()) : std::string();
    });
    env::SetOutput([w = &window](const std::u16string& line) { w->AppendLog(text::WideToAnsi(line) + "\r\n"); });
}

EnvFeatures::~EnvFeatures() {
    env::SetOutput(nullptr);
    m_window.Session().SetPageAddressSource(nullptr);
}

void EnvFeatures::Switch(bool on) {
    m_switch->setChecked(on);
    if (on == m_window.Session().BrowserEnvironment()) return;
    m_window.Session().SetBrowserEnvironment(on);
    SaveBrowserEnvironment(on);
    m_window.AppendLog(Ansi(on ? "-->浏览器环境已打开，下次加载代码时生效\r\n" : "-->浏览器环境已关闭，下次加载代码时生效\r\n"));
}

void EnvFeatures::InsertIntoEditor() {
    editor::Editor* editor = m_window.CurrentEditor();
    std::string block = text::Utf8ToAnsiText(
        env::InsertableBlock(script::CurrentScriptTarget() == script::ScriptTarget::JScript58));
    std::string firstLine = block.substr(0, block.find('\n') + 1);
    if (editor->Text().rfind(firstLine, 0) == 0) {
        m_window.AppendLog(Ansi("-->代码开头已有浏览器环境代码\r\n"));
        return;
    }
    editor->SetSel(0, 0);
    editor->AddText(block);
    editor->SetSel(0, 0);
    m_window.AppendLog(Ansi("-->已在代码开头插入浏览器环境代码\r\n"));
}

}  // namespace qy::app

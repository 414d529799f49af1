#include "app/PageBreakFeatures.h"

#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "app/DebugFeatures.h"
#include "app/DebuggerWindow.h"
#include "app/MainWindow.h"
#include "app/PageBreaksTab.h"
#include "text/CodePage.h"

namespace qy::app {
namespace {

QMenu* DebugMenu(MainWindow& window) {
    for (QAction* a : window.menuBar()->actions())
        if (a->menu() && a->text() == QStringLiteral("调试(&D)")) return a->menu();
    return window.menuBar()->addMenu(QStringLiteral("调试(&D)"));
}

}  // namespace

PageBreakFeatures::PageBreakFeatures(MainWindow& window, DebugFeatures& debug)
    : QObject(&window), m_window(window), m_debug(debug), m_breaks(std::make_unique<debug::PageBreaks>()) {
    m_breaks->SetHitOutput([this](const debug::PageHit& hit) {
        m_window.AppendLog(text::WideToAnsi(debug::PageLogLine(hit)) + "\r\n");
    });
    DebugMenu(window)->addAction(QStringLiteral("页面断点…"), this, [this] { ShowTab(); });
    connect(&debug, &DebugFeatures::viewMade, this, &PageBreakFeatures::AddTab);
    if (DebuggerWindow* view = debug.View()) AddTab(view);
}

PageBreakFeatures::~PageBreakFeatures() = default;

void PageBreakFeatures::AddTab(DebuggerWindow* view) {
    if (m_tab) return;
    m_tab = new PageBreaksTab(view->Tabs());
    m_tab->SetBreaks(m_list);
    view->Tabs()->addTab(m_tab, QStringLiteral("页面断点"));
    connect(m_tab, &PageBreaksTab::changed, this, [this] {
        m_list = m_tab->Breaks();
        Apply();
    });
    connect(view, &DebuggerWindow::accessBreakWanted, this, [this](const QString& path) {
        Add({debug::PageEvent::Access, path.toStdU16String(), false});
    });
}

PageBreaksTab& PageBreakFeatures::ShowTab() {
    DebuggerWindow& view = m_debug.ShowView();
    AddTab(&view);
    view.Tabs()->setCurrentWidget(m_tab);
    return *m_tab;
}

void PageBreakFeatures::Add(const debug::PageBreak& brk) {
    ShowTab().Add(brk);
}

void PageBreakFeatures::Apply() {
    m_breaks->SetBreaks(m_list);
    for (const std::u16string& path : m_breaks->PendingAccess())
        m_window.AppendLog(text::WideToAnsi(u"-->访问断点 " + path + u" 的对象还不存在，脚本建好它后生效") + "\r\n");
}

}  // namespace qy::app

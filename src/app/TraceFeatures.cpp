#include "app/TraceFeatures.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/TraceWindow.h"
#include "text/CodePage.h"

namespace qy::app {

TraceFeatures::TraceFeatures(MainWindow& window) : QObject(&window), m_window(window) {
    QMenu* menu = nullptr;
    for (QAction* a : window.menuBar()->actions())
        if (a->menu() && a->text() == QStringLiteral("调试(&D)")) menu = a->menu();
    if (!menu) menu = window.menuBar()->addMenu(QStringLiteral("调试(&D)"));
    QAction* open = menu->addAction(QStringLiteral("环境访问记录…"), this, [this] { ShowWindow(); });
    open->setObjectName(QStringLiteral("环境访问记录"));
}

TraceFeatures::~TraceFeatures() {
    if (m_tracing) env::SetTraceOutput(nullptr);
}

void TraceFeatures::SetTracing(bool on) {
    if (on == m_tracing) return;
    m_tracing = on;
    if (on)
        env::SetTraceOutput([this](const env::TraceEntry& e) { Arrived(e); });
    else
        env::SetTraceOutput(nullptr);
    m_window.AppendLog(text::WideToAnsi(on ? u"-->环境访问记录已打开，重新加载代码后生效（需 ES2021 目标与浏览器环境）"
                                           : u"-->环境访问记录已关闭，重新加载代码后生效") +
                       "\r\n");
}

TraceWindow& TraceFeatures::ShowWindow() {
    if (!m_view) {
        m_view = new TraceWindow(m_log, m_tracing, &m_window);
        m_view->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_view, &TraceWindow::tracingChanged, this, &TraceFeatures::SetTracing);
    }
    m_view->Refresh();
    m_view->show();
    m_view->raise();
    return *m_view;
}

void TraceFeatures::Arrived(const env::TraceEntry& entry) {
    m_log.Add(entry);
    // Entries come inside engine calls, many at a time: the window catches up once the
    // call is over.
    if (m_view && !m_refreshQueued) {
        m_refreshQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_refreshQueued = false;
            if (m_view) m_view->Refresh();
        });
    }
}

}  // namespace qy::app

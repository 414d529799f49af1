#include "app/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/MainWindow.h"
#include "text/CodePage.h"

namespace qy::app {

void ShowMainWindow(MainWindow& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.showNormal();
    window.raise();
    window.activateWindow();
}

void ToggleMainWindow(MainWindow& window) {
    if (window.windowState() & Qt::WindowMinimized || !window.isVisible()) {
        ShowMainWindow(window);
    } else if (!(window.windowState() & Qt::WindowMaximized)) {
        window.setWindowState(window.windowState() | Qt::WindowMinimized);
        window.hide();
    }
}

TrayIcon::TrayIcon(MainWindow& window) : QObject(&window), m_window(window), m_icon(new QSystemTrayIcon(&window)) {
    setObjectName(QStringLiteral("TrayIcon"));
    const QString title = QStringLiteral("青柚JS调试工具") + QString::fromStdString(VersionText());
    m_icon->setObjectName(QStringLiteral("托盘图标"));
    m_icon->setIcon(QApplication::windowIcon().isNull() ? window.windowIcon() : QApplication::windowIcon());
    m_icon->setToolTip(title);
    m_icon->setContextMenu(window.TrayMenu());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick) ShowMainWindow(m_window);
    });
    connect(window.MenuAction("显示程序"), &QAction::triggered, this, [this] { ShowMainWindow(m_window); });
    connect(window.MenuAction("退出程序"), &QAction::triggered, this, [this] { m_window.close(); });
    // Every minimisation hides the window: it leaves the taskbar, the icon stays.
    connect(&window, &MainWindow::minimised, this, [this] {
        QTimer::singleShot(0, &m_window, [this] {
            if (m_window.windowState() & Qt::WindowMinimized) m_window.hide();
        });
    });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_icon->show();
        if (QSystemTrayIcon::supportsMessages()) m_icon->showMessage(QStringLiteral("欢迎"), title);
    }
}

TrayIcon::~TrayIcon() { m_icon->hide(); }

}  // namespace qy::app

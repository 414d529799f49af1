#include "app/TrayIcon.h"

#include <QEvent>
#include <QMenu>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace qy::app {
namespace {

/// Watches the window's state changes; a minimisation hides the window once the
/// window system has finished with the state change.
class MinimiseToTray final : public QObject {
public:
    MinimiseToTray(QWidget& window, std::function<bool()> wayBack)
        : QObject(&window), m_window(&window), m_wayBack(std::move(wayBack)) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window && event->type() == QEvent::WindowStateChange &&
            (m_window->windowState() & Qt::WindowMinimized)) {
            // Hiding from inside the state change would race the window system's own
            // handling of the minimisation; the next turn of the loop is soon enough.
            QTimer::singleShot(0, this, [this] {
                if (m_window && (m_window->windowState() & Qt::WindowMinimized) && m_wayBack && m_wayBack())
                    m_window->hide();
            });
        }
        return false;
    }

private:
    QPointer<QWidget> m_window;
    std::function<bool()> m_wayBack;
};

}  // namespace

void ShowMainWindow(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.showNormal();
    window.raise();
    window.activateWindow();
}

void ToggleMainWindow(QWidget& window) {
    if ((window.windowState() & Qt::WindowMinimized) || !window.isVisible()) {
        ShowMainWindow(window);
    } else if (!(window.windowState() & Qt::WindowMaximized)) {
        // The hotkey itself is the way back, so the window hides at once. It is only
        // withdrawn, never marked minimised: a window manager asked to iconify it (or
        // told it starts iconic) would map it iconic when it comes back, and hiding on
        // minimise would then take it away again.
        window.hide();
    }
}

void HideWhenMinimised(QWidget& window, std::function<bool()> wayBack) {
    new MinimiseToTray(window, std::move(wayBack));
}

std::function<bool()>& SystemTrayPresent() {
    static std::function<bool()> present = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    return present;
}

TrayIcon::TrayIcon(QWidget& window, QMenu* menu, const QString& tip, const std::optional<TrayBalloon>& balloon,
                   std::function<void()> onDoubleClick)
    : QObject(&window), m_icon(new QSystemTrayIcon(this)), m_onDoubleClick(std::move(onDoubleClick)) {
    setObjectName(QStringLiteral("TrayIcon"));
    m_icon->setObjectName(QStringLiteral("托盘图标"));
    m_icon->setIcon(window.windowIcon());
    m_icon->setToolTip(tip);
    // The right button opens the menu (the icon does that itself); a single left click
    // does nothing.
    m_icon->setContextMenu(menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::DoubleClick && m_onDoubleClick) m_onDoubleClick();
    });
    // Shown even when no notification area is there yet: one that appears later (a
    // panel started after the workbench) picks the icon up.
    m_icon->show();
    if (balloon && Reachable() && QSystemTrayIcon::supportsMessages())
        m_icon->showMessage(balloon->title, balloon->text, QSystemTrayIcon::Information);
}

TrayIcon::~TrayIcon() { m_icon->hide(); }

bool TrayIcon::Reachable() const { return m_icon->isVisible() && SystemTrayPresent()(); }

TrayIcon* InstallTrayIcon(QWidget& window, QMenu* menu, const QString& tip, const std::optional<TrayBalloon>& balloon,
                          std::function<void()> onDoubleClick) {
    return new TrayIcon(window, menu, tip, balloon, std::move(onDoubleClick));
}

}  // namespace qy::app

/** @file TrayIcon.h
 * The main window's notification-area icon and its hiding: minimising hides the
 * window, a double click on the icon or "显示程序" brings it back, "退出程序" ends the
 * program. Where the desktop has no notification area the rest still works.
 */
#pragma once

#include <QObject>

class QSystemTrayIcon;

namespace qy::app {

class MainWindow;

/// Shows the main window again in its normal size and makes it active.
void ShowMainWindow(MainWindow& window);
/// Alt+Q: from shown-normal to minimised-hidden, from minimised-hidden back; nothing
/// while maximised.
void ToggleMainWindow(MainWindow& window);

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(MainWindow& window);
    ~TrayIcon() override;

    QSystemTrayIcon* Icon() const { return m_icon; }

private:
    MainWindow& m_window;
    QSystemTrayIcon* m_icon;
};

}  // namespace qy::app

/** @file TrayIcon.h
 * The notification-area icon of a window and hiding the window there: minimising hides
 * it, a double click on the icon or "显示程序" brings it back. Where the desktop has no
 * notification area the icon simply stays unseen and the rest goes on working.
 *
 * Everything here takes the window and what it needs as arguments, so it works on any
 * top-level widget; the main window's wiring lives in InfoMenu.
 */
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace qy::app {

/// Shows the window again in its normal size and makes it active, from any state.
void ShowMainWindow(QWidget& window);

/// The hotkey's switch: shown-normal becomes hidden, minimised or hidden becomes
/// shown-normal; a maximised window is left alone.
void ToggleMainWindow(QWidget& window);

/// Every minimisation of `window` hides it, so that it leaves the taskbar, provided
/// `wayBack` says the user can still bring it back (an icon or the hotkey). With
/// neither, a hidden window could never be reached again, so it stays minimised.
void HideWhenMinimised(QWidget& window, std::function<bool()> wayBack);

/// Whether the desktop shows notification-area icons. Replaceable, so that tests can
/// stand for a desktop with or without a notification area.
std::function<bool()>& SystemTrayPresent();

/// The welcome message shown by the icon once it is in place.
struct TrayBalloon {
    QString title;
    QString text;
};

/// The icon of one window: its tip, its right-button menu and its double click. It is
/// a child of the window and disappears from the notification area with it.
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    TrayIcon(QWidget& window, QMenu* menu, const QString& tip, const std::optional<TrayBalloon>& balloon,
             std::function<void()> onDoubleClick);
    ~TrayIcon() override;

    QSystemTrayIcon* Icon() const { return m_icon; }
    /// True when the user can see and click the icon.
    bool Reachable() const;

private:
    QSystemTrayIcon* m_icon;
    std::function<void()> m_onDoubleClick;
};

/// Puts the icon of `window` into the notification area; the window owns it.
TrayIcon* InstallTrayIcon(QWidget& window, QMenu* menu, const QString& tip, const std::optional<TrayBalloon>& balloon,
                          std::function<void()> onDoubleClick);

}  // namespace qy::app

/** @file InfoMenu.h
 * The shell's share of the main window: the notification-area icon with its menu, the
 * Alt+Q hotkey, hiding on minimise, and the menu items that open the information
 * windows ("软件版本", "联系作者", "JavaScript速查"). Also the few building blocks the
 * information windows have in common.
 */
#pragma once

#include <QRect>
#include <QString>

class QFont;
class QLabel;
class QWidget;

namespace qy::app {

class MainWindow;

/// Installs the icon and the hotkey on the main window and wires the menu items above
/// and the icon's menu ("显示程序", "退出程序").
void AttachShell(MainWindow& window);

/// The about window, modal: the caller waits, and no other window takes input, until
/// it is closed.
void OpenAboutWindow(QWidget* owner);
/// The contact window, modal like the about window.
void OpenContactWindow(QWidget* owner);

/// Caption, names and fixed client size of an information window; it has a close box
/// but neither minimise nor maximise button.
void PrepareInfoWindow(QWidget& window, const QString& title, QSize clientSize);
/// Centres a window on the screen of `owner`, or on the primary screen.
void CentreOnScreen(QWidget& window, const QWidget* owner = nullptr);
/// A plain-text label at its place in the layout, its text kept exactly (spaces too).
QLabel* AddInfoLabel(QWidget& parent, const char* layoutName, const QString& text, QRect place, const QFont& font);

}  // namespace qy::app

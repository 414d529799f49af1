/** @file WindowPlacement.h
 * Where the workbench's other windows open: wholly on the screen that holds the main
 * window. A window shown again goes back to the place it had when that place is still
 * wholly on a screen; otherwise (a screen unplugged, a smaller resolution, a place
 * beside the main window with no room there) it comes onto the main window's screen,
 * moved in as little as it takes.
 */
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace qy::app {

/// Where a window of `size` goes beside `owner` on the free area `available`: right of
/// it when there is room, else left of it, else as far right as the area allows, its
/// top level with the owner's as far as the area allows.
QRect BesideOnScreen(QRect owner, QSize size, QRect available, int gap);

/// Where a window whose frame is `frame` goes on `available`: where it is when wholly
/// inside; centred on the area when it is nowhere on it; else moved (and shrunk, no
/// smaller than `minimum`) just inside.
QRect PlaceOnScreen(QRect frame, QRect available, QSize minimum);

/// Moves `window` (not yet shown, or hidden) beside `owner`, on the owner's screen.
void PlaceBeside(QWidget& window, const QWidget& owner);

/// From now on, as long as `mainWindow` lives, every other window and dialog of the
/// program is placed by the rules above each time it is shown.
void KeepWindowsOnScreen(QWidget& mainWindow);

}  // namespace qy::app

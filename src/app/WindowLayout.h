/** @file WindowLayout.h
 * The main window at any size. It opens at the size its components were placed for,
 * and may be resized and maximised: the editor tabs and the log take the extra room
 * (the tabs most of it), the rows of controls between them move with the tabs' lower
 * edge, the wide fields of a row (address, search text, signature, expression) widen
 * and the buttons at a row's right end stay at the right end. A window too large for
 * its screen (a scaled desktop, a small screen) opens shrunk to fit and inside it.
 */
#pragma once

#include <QRect>
#include <QSize>

class QMainWindow;

namespace qy::app {

/// The smallest client area the layout allows.
inline constexpr QSize kMinimumClientSize{720, 400};

/// Installs the layout on the main window: call once its components are placed (the
/// end of its constructor). The positions the components have then are the design the
/// layout keeps; a component it does not know keeps its left edge and moves with its
/// row.
void InstallWindowLayout(QMainWindow& window);

/// Where a window whose frame is `frame` goes on a screen whose free area is
/// `available`: where it is when it fits, else moved inside, and shrunk when it is larger
/// than the area (no smaller than `minimum`).
QRect FitOnScreen(QRect frame, QRect available, QSize minimum);

}  // namespace qy::app

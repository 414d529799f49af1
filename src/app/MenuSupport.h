/** @file MenuSupport.h
 * Feature controllers that add items to the main window's menus find the menus here.
 */
#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/MainWindow.h"

namespace qy::app {

/// The window's "工具(&T)" menu (made when missing).
inline QMenu* ToolsMenu(MainWindow& window) {
    for (QAction* a : window.menuBar()->actions())
        if (a->menu() && a->text() == QStringLiteral("工具(&T)")) return a->menu();
    return window.menuBar()->addMenu(QStringLiteral("工具(&T)"));
}

}  // namespace qy::app

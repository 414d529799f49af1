/** @file CanvasModule.cpp
 * The canvas as a library a Qt-free program opens when a page first draws: the same
 * QPainter surfaces as the window's, behind one C entry point. Text needs a GUI
 * application; where the program has none, one is made on the offscreen platform (no
 * display is ever opened) and kept for the life of the process.
 */
#include <QGuiApplication>

#include <cstdio>

#include "canvas/QtCanvas.h"

namespace {

void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    // Qt's own notes (a missing runtime folder…) are not the page's lines.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    static int argc = 3;
    static char name[] = "qingyou-js", option[] = "-platform", platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    new QGuiApplication(argc, argv);
}

}  // namespace

/// A surface of `width` × `height` the caller owns (deleted through its virtual
/// destructor, which lives here: the library is never closed).
extern "C" __attribute__((visibility("default"))) qy::env::CanvasSurface* qy_canvas_new_surface(int width, int height) {
    EnsureApplication();
    return qy::canvas::NewSurface(width, height).release();
}

// Start-up of the workbench: a command runs headless, anything else opens the window.
#include <QApplication>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/Startup.h"
#include "canvas/QtCanvas.h"
#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "page") == 0) {
        // A page loads headless, with canvases that draw (fonts need a GUI application).
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // Qt's own notes (a missing runtime folder…) are not the page's lines.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", qPrintable(message));
        });
        QGuiApplication app(argc, argv);
        qy::canvas::UseQtCanvas();
        return qy::cli::Main(argc, argv);
    }
    if (argc > 1 && qy::cli::IsCommandLine(argv[1])) return qy::cli::Main(argc, argv);
    QApplication app(argc, argv);
    qy::canvas::UseQtCanvas();
    return qy::app::RunWorkbench(app);
}

// Start-up of the workbench: a command runs headless, anything else opens the window.
#include <QApplication>

#include "app/Startup.h"
#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    if (argc > 1 && qy::cli::IsCommandLine(argv[1])) return qy::cli::Main(argc, argv);
    QApplication app(argc, argv);
    return qy::app::RunWorkbench(app);
}

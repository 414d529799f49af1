// Start-up and shut-down of the workbench.
#include <QApplication>

#include "app/Startup.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return qy::app::RunWorkbench(app);
}

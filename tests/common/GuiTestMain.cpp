// Main of the window test programs: an offscreen QApplication and the engine.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "script/Engine.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // What the workbench keeps between runs goes to a folder of this run, never the user's.
    char dir[] = "/tmp/qy-test-config-XXXXXX";
    if (mkdtemp(dir)) setenv("XDG_CONFIG_HOME", dir, 1);
    char data[] = "/tmp/qy-test-data-XXXXXX";
    if (mkdtemp(data)) setenv("XDG_DATA_HOME", data, 1);
    QApplication app(argc, argv);
    if (!qy::script::StartEngine()) return 2;
    int rc = RUN_ALL_TESTS();
    qy::script::StopEngine();
    return rc;
}

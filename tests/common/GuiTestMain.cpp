// Main of the window test programs: an offscreen QApplication and the engine.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/Engine.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Compiled code the tests keep goes to the build, never the user's cache.
    setenv("QY_CODE_CACHE", QY_TEST_CODE_CACHE, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // What the workbench keeps between runs goes to a folder of this run, never the user's.
    char dir[] = "/tmp/qy-test-config-XXXXXX";
    if (mkdtemp(dir)) setenv("XDG_CONFIG_HOME", dir, 1);
    char data[] = "/tmp/qy-test-data-XXXXXX";
    if (mkdtemp(data)) setenv("XDG_DATA_HOME", data, 1);
    // Offscreen, the screen is a desktop's (the default 800x800 is narrower than the
    // main window, which would then open shrunk).
    if (const char* p = getenv("QT_QPA_PLATFORM"); p && std::string(p) == "offscreen") {
        const std::string screens = std::string(data) + "/screens.json";
        if (FILE* f = fopen(screens.c_str(), "w")) {
            fputs(R"({"screens":[{"name":"desk","x":0,"y":0,"width":1920,"height":1080,"logicalDpi":96,"dpr":1}]})", f);
            fclose(f);
            setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens).c_str(), 1);
        }
    }
    QApplication app(argc, argv);
    if (!qy::script::StartEngine()) return 2;
    int rc = RUN_ALL_TESTS();
    qy::script::StopEngine();
    return rc;
}

// Main of the logic test programs: the engine runs for the whole program, as in the app.
#include <gtest/gtest.h>

#include <cstdlib>

#include "script/Engine.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Compiled code the tests keep goes to the build, never the user's cache.
    setenv("QY_CODE_CACHE", QY_TEST_CODE_CACHE, 0);
    if (!qy::script::StartEngine()) return 2;
    int rc = RUN_ALL_TESTS();
    qy::script::StopEngine();
    return rc;
}

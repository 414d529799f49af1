// Main of the logic test programs: the engine runs for the whole program, as in the app.
#include <gtest/gtest.h>

#include "script/Engine.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!qy::script::StartEngine()) return 2;
    int rc = RUN_ALL_TESTS();
    qy::script::StopEngine();
    return rc;
}

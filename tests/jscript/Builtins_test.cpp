#include <gtest/gtest.h>
#include "JScriptTestSupport.h"
namespace qy::test { namespace {
TEST(Builtins, Probe) {
    auto r = RunBoth("", "'abc'.substr(-1)");
    EXPECT_EQ(r.jscript, "abc");
    EXPECT_EQ(r.modern, "c");
}
}}

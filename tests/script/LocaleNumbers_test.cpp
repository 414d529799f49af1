// The workbench's number rules hold whatever the process locale says about the
// decimal point.
#include <gtest/gtest.h>

#include <cstdio>

#include "common/CommaLocale.h"
#include "script/ScriptHost.h"
#include "script/ValueText.h"
#include "script/Variant.h"

using namespace qy::script;

TEST(LocaleNumbers, WrittenAndReadWithAFullStopUnderACommaLocale) {
    qy::test::CommaLocale comma;
    ASSERT_TRUE(comma.Active()) << "the German locale could not be built";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");  // the locale really is in force
    EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumberText(12345678901234.0), "1.234567890123e+013");
    EXPECT_EQ(VariantToNumber(Variant::Text(u"1.5")), 1.5);
    EXPECT_EQ(VariantToNumber(Variant::Text(u" -2.25e1 ")), -22.5);
    EXPECT_EQ(VariantToText(Variant::Real(0.75)), "0.75");
    ScriptHost host;
    host.AddCode("function half(){ return 1 / 2 }");
    EXPECT_EQ(NumberText(VariantToNumber(host.Eval("half()"))), "0.5");
}

#include "script/Variant.h"

#include <gtest/gtest.h>

#include "script/ScriptHost.h"
#include "script/ScriptTarget.h"
#include "script/ValueText.h"
#include "text/CodePage.h"

using namespace qy::script;

namespace {
Variant Typed(uint16_t vt) {
    Variant v;
    v.vt = vt;
    return v;
}
std::string Ansi(const char* utf8) { return qy::text::Utf8ToAnsiText(utf8); }
}  // namespace

TEST(VariantCategory, FollowsTheTypeTable) {
    struct Row { uint16_t vt; int32_t category; };
    for (Row r : {Row{VT_NULL, -1}, Row{VT_VARIANT, -1}, Row{VT_RECORD, -1}, Row{VT_EMPTY, 0}, Row{VT_I2, 1},
                  Row{VT_I4, 1}, Row{VT_R4, 1}, Row{VT_R8, 1}, Row{VT_CY, 1}, Row{VT_DECIMAL, 1}, Row{VT_UI8, 1},
                  Row{VT_HRESULT, 1}, Row{VT_BSTR, 2}, Row{VT_LPWSTR, 2}, Row{VT_BOOL, 3}, Row{VT_DATE, 4},
                  Row{VT_FILETIME, 4}, Row{VT_DISPATCH, 5}, Row{VT_UNKNOWN, 5}, Row{VT_ERROR, 6},
                  Row{VT_ARRAY | VT_I4, 7}, Row{VT_ARRAY | VT_BSTR, 8}, Row{VT_ARRAY | VT_BOOL, 9},
                  Row{VT_ARRAY | VT_DATE, 10}, Row{VT_ARRAY | VT_DISPATCH, 11}, Row{VT_ARRAY | VT_ERROR, 12},
                  Row{VT_ARRAY | VT_VARIANT, 13}, Row{VT_ARRAY | VT_EMPTY, 0}, Row{VT_ARRAY | VT_NULL, -1},
                  Row{VT_BYREF | VT_I4, 1}, Row{VT_BYREF | VT_ARRAY | VT_BSTR, 8}}) {
        EXPECT_EQ(VariantCategory(Typed(r.vt)), r.category) << "vt " << r.vt;
    }
}

TEST(VariantConversions, EachKindAndItsFailures) {
    EXPECT_EQ(VariantToText(Variant::Int(-5)), "-5");
    EXPECT_EQ(VariantToText(Variant::Real(0.1 + 0.2)), "0.30000000000000004");
    EXPECT_EQ(VariantToText(Variant::Real(1e21)), "1e+21");
    EXPECT_EQ(VariantToText(Variant::Real(1.5e-7)), "1.5e-7");
    EXPECT_EQ(VariantToText(Variant::Bool(true)), "true");
    EXPECT_EQ(VariantToText(Variant::Null()), "");
    EXPECT_EQ(VariantToText(Typed(VT_ARRAY | VT_I4)), "");
    EXPECT_EQ(VariantToNumber(Typed(VT_ARRAY | VT_I4)), 0);
    EXPECT_EQ(VariantToNumber(Variant::Text(u" 12.5 ")), 12.5);
    EXPECT_EQ(VariantToNumber(Variant::Text(u"abc")), 0);
    EXPECT_EQ(VariantToNumber(Variant::Text(u"-1.5e3")), -1500);
    // Only decimal numbers: what the C library would read besides is not a number here.
    for (const char16_t* t : {u"0x1A", u"nan", u"inf", u"1e", u".", u"1 2", u""})
        EXPECT_EQ(VariantToNumber(Variant::Text(t)), 0) << qy::text::Utf16ToUtf8(t);
    EXPECT_TRUE(VariantToBool(Variant::Text(u"tRUE")));
    EXPECT_TRUE(VariantToBool(Variant::Text(u"-2")));
    EXPECT_FALSE(VariantToBool(Variant::Text(u"False")));
    EXPECT_EQ(VariantToNumber(Variant::Bool(true)), -1);
    EXPECT_TRUE(VariantToBool(Variant::Real(0.5)));
    EXPECT_FALSE(VariantToBool(Variant::Text(u"no")));
    EXPECT_EQ(VariantToDate(Variant::Text(u"x")), 0);
    EXPECT_EQ(VariantToDate(Variant::Real(2.5)), 2.5);
    EXPECT_EQ(VariantToObject(Variant::Int(1)), nullptr);
    Variant v = Variant::Text(u"x");
    ClearVariant(v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_TRUE(v.text.empty());
}

TEST(ValueText, NumbersUseThirteenDigitsAndThreeDigitExponents) {
    EXPECT_EQ(NumberText(-5), "-5");
    EXPECT_EQ(NumberText(1e20), "1e+020");
    EXPECT_EQ(NumberText(1.0 / 3), "0.3333333333333");
    EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumberText(12345678901234.0), "1.234567890123e+013");
    EXPECT_EQ(NumberText(1.5e-7), "1.5e-007");
    EXPECT_EQ(NumberText(-2146823281.0), "-2146823281");
    EXPECT_EQ(BoolText(true), Ansi("真"));
    EXPECT_EQ(BoolText(false), Ansi("假"));
}

TEST(ValueText, DatesShowOnlyTheTimeFieldsTheyNeed) {
    double day = 43832;  // 2020-01-02
    EXPECT_EQ(DateText(day), Ansi("2020年1月2日"));
    EXPECT_EQ(DateText(day + 8.0 / 24), Ansi("2020年1月2日8时"));
    EXPECT_EQ(DateText(day + 8.5 / 24), Ansi("2020年1月2日8时30分"));
    EXPECT_EQ(DateText(day + (8 * 3600 + 30 * 60 + 5) / 86400.0), Ansi("2020年1月2日8时30分5秒"));
    EXPECT_EQ(DateText(day + 5 / 86400.0), Ansi("2020年1月2日0时0分5秒"));
    EXPECT_EQ(DateText(0), Ansi("1899年12月30日"));
    EXPECT_EQ(DateText(-1.25), Ansi("1899年12月29日6时"));
    EXPECT_EQ(DateText(day + 0.9999999999), Ansi("2020年1月3日"));  // rounds to the next day
    EXPECT_EQ(DateText(-1e9), Ansi("100年1月1日"));
    EXPECT_EQ(DateText(1e9), Ansi("9999年12月31日"));
}

TEST(ValueText, OleDatesAndEngineTimesRoundTripInLocalTime) {
    for (double ole : {43832.0, 43832.5, 0.0, -1.25, 2958465.0, 36526.0 + 1234.0 / 86400}) {
        EXPECT_NEAR(OleDateFromJsTime(JsTimeFromOleDate(ole)), ole, 1e-9) << ole;
    }
}

TEST(JsObjects, ReadByNameAndDescribedByTheirOwnMembers) {
    ScriptHost host;
    host.AddCode(
        "function MyObj(men1,men2,men3){this.men1=men1;this.men2=men2;this.men3=men3;this.all=fuckall;}\n"
        "function fuckall (){ return this.men1+String(this.men2)+this.men3; }\n"
        "function P(){} P.prototype.hello = function(who, times){ return 'hi ' + who; };");
    ObjectRef arr = VariantToObject(host.Eval("[10, 'abc', true, [1,2]]"));
    EXPECT_EQ(GetPropertyNumber(arr, "length"), 4);
    EXPECT_EQ(VariantToText(GetPropertyVariant(arr, "1")), "abc");
    EXPECT_EQ(VariantToText(GetPropertyVariant(arr, "2")), "true");
    EXPECT_EQ(VariantToText(GetPropertyVariant(arr, "3")), "1,2");
    TypeInfoPtr arrInfo = arr->GetTypeInfo();
    EXPECT_EQ(arrInfo->name, u"Array");
    ASSERT_EQ(arrInfo->vars.size(), 1u);
    EXPECT_EQ(arrInfo->vars[0].name, u"length");
    EXPECT_TRUE(arrInfo->funcs.empty());

    ObjectRef my = VariantToObject(host.Eval("new MyObj(1,2,3)"));
    TypeInfoPtr info = my->GetTypeInfo();
    EXPECT_EQ(info->name, u"MyObj");
    ASSERT_EQ(info->vars.size(), 3u);
    EXPECT_EQ(info->vars[0].name, u"men1");
    EXPECT_EQ(info->vars[2].name, u"men3");
    ASSERT_EQ(info->funcs.size(), 1u);
    EXPECT_EQ(info->funcs[0].names[0], u"all");
    EXPECT_EQ(info->funcs[0].invkind, INVOKE_FUNC);
    EXPECT_EQ(VariantToText(CallMethodVariant(my, "all")), "123");

    ObjectRef p = VariantToObject(host.Eval("new P()"));
    TypeInfoPtr pInfo = p->GetTypeInfo();
    ASSERT_EQ(pInfo->funcs.size(), 1u);
    EXPECT_EQ(pInfo->funcs[0].names, (std::vector<std::u16string>{u"hello", u"who", u"times"}));
    EXPECT_EQ(pInfo->funcs[0].cParams, 2);
    EXPECT_EQ(pInfo->funcs[0].documentation, u"function hello(who, times)");
    EXPECT_EQ(VariantToText(CallMethodVariant(p, "hello", {"bob"})), "hi bob");
    EXPECT_TRUE(SetProperty(p, "extra", 5));
    EXPECT_EQ(GetPropertyNumber(p, "extra"), 5);
}

TEST(JsObjects, ClassesGettersAndFunctionsDescribeThemselves) {
    ScopedScriptTarget modern(ScriptTarget::ES2021);  // classes and getters are later syntax
    ScriptHost host;
    host.AddCode(
        "class Shape { constructor(n){ this.n = n } area(w, h){ return w * h } }\n"
        "class Square extends Shape { side(){ return 1 } }\n"
        "var tricky = { get boom(){ throw new Error('no') }, ok: 1 };");
    ObjectRef sq = VariantToObject(host.Eval("new Square(4)"));
    TypeInfoPtr info = sq->GetTypeInfo();
    EXPECT_EQ(info->name, u"Square");
    ASSERT_EQ(info->vars.size(), 1u);
    EXPECT_EQ(info->vars[0].name, u"n");
    std::vector<std::u16string> methods;
    for (const auto& f : info->funcs) methods.push_back(f.names[0]);
    EXPECT_EQ(methods, (std::vector<std::u16string>{u"side", u"area"}));
    EXPECT_EQ(CallMethodNumber(sq, "area", {3, 5}), 15);

    // A getter that throws leaves the member a data member and the object readable.
    ObjectRef tricky = VariantToObject(host.Eval("tricky"));
    TypeInfoPtr t = tricky->GetTypeInfo();
    EXPECT_EQ(t->vars.size(), 2u);
    EXPECT_EQ(GetPropertyVariant(tricky, "boom").vt, VT_EMPTY);
    EXPECT_EQ(GetPropertyNumber(tricky, "ok"), 1);

    ObjectRef fn = VariantToObject(host.Eval("(function named(a, b){ return a })"));
    EXPECT_EQ(fn->GetTypeInfo()->name, u"Function");
    EXPECT_EQ(GetPropertyText(fn, "name"), "named");
    EXPECT_EQ(VariantToText(Variant::Object(fn)), "function named(a, b){ return a }");
}

TEST(ValueText, EngineDatesCrossInLocalTime) {
    ScriptHost host;
    struct Row { const char* expr; const char* text; };
    for (Row r : {Row{"new Date(2020, 0, 2)", "2020年1月2日"}, Row{"new Date(1800, 0, 1, 6)", "1800年1月1日6时"},
                  Row{"new Date(1899, 11, 30, 0, 0, 5)", "1899年12月30日0时0分5秒"},
                  Row{"new Date(9999, 11, 31, 23, 59, 59, 600)", "9999年12月31日"},
                  Row{"new Date(-6e13)", "100年1月1日"}}) {
        Variant v = host.Eval(r.expr);
        EXPECT_EQ(v.vt, VT_DATE) << r.expr;
        EXPECT_EQ(DateText(VariantToDate(v)), Ansi(r.text)) << r.expr;
    }
    EXPECT_EQ(NumberText(0), "0");
    EXPECT_EQ(NumberText(1e13), "1e+013");
    EXPECT_EQ(NumberText(123456789012.5), "123456789012.5");
    EXPECT_EQ(NumberText(0.0001), "0.0001");
    EXPECT_EQ(NumberText(0.00001), "1e-005");
}

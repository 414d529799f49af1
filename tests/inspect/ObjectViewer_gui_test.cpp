// The object viewer: description texts, the lazily read array view, the window.
#include "inspect/ObjectViewer.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QGroupBox>
#include <QScrollBar>
#include <QPlainTextEdit>

#include "script/ScriptHost.h"
#include "text/CodePage.h"

using namespace qy::inspect;
using namespace qy::script;

namespace {

std::string Ansi(const char* utf8) { return qy::text::Utf8ToAnsiText(utf8); }

/// An automation object that offers a type description made by the test.
class DescribedObject final : public Dispatch {
public:
    explicit DescribedObject(TypeInfoPtr info, int count = 1) : m_info(std::move(info)), m_count(count) {}
    int TypeInfoCount() const override { return m_count; }
    TypeInfoPtr GetTypeInfo() override { return m_info; }
    bool Bind(const std::u16string&, InvokeKind, MemberId&, int&, bool&) override { return false; }
    bool Invoke(MemberId, InvokeKind, std::vector<Variant>&, Variant&) override { return false; }

private:
    TypeInfoPtr m_info;
    int m_count;
};

FuncDesc Func(MemberId id, int32_t kind, std::vector<std::u16string> names, int16_t params,
              std::optional<std::u16string> doc = std::nullopt) {
    FuncDesc f;
    f.memid = id;
    f.invkind = kind;
    f.names = std::move(names);
    f.cParams = params;
    f.documentation = std::move(doc);
    return f;
}

std::vector<std::string> Lines(const ObjectRef& obj) {
    LazyLineList list(obj);
    std::vector<std::string> out;
    for (int64_t r = 0; r < list.LineCount(); ++r) out.push_back(qy::text::WideToAnsi(list.Line(r).toStdU16String()));
    return out;
}

ObjectRef Evaluated(ScriptHost& host, const char* expr) { return VariantToObject(host.Eval(expr)); }

}  // namespace

TEST(ObjectDescription, ExampleTypeByteForByte) {
    auto info = std::make_shared<TypeInfo>();
    info->name = u"T";
    info->funcs.push_back(Func(1, INVOKE_FUNC, {u"f", u"a", u"b"}, 2, u"d"));
    info->vars.push_back(VarDesc{2, u"x", std::nullopt});
    EXPECT_EQ(DescribeObject(std::make_shared<DescribedObject>(info)),
              Ansi("对象类型名称:T    共有 1 个属性(含读/写)，1 个方法\r\n\r\n\r\n\r\n方法:f\r\n参数<1>a\r\n参数<2>b\r\n"
                   "参数数量:2\r\n解释:d\r\n\r\n属性:x\r\n"));
}

TEST(ObjectDescription, MemberKindsParametersAndFailures) {
    auto info = std::make_shared<TypeInfo>();
    info->name = u"K";
    info->documentation = u"doc";
    info->helpFile = u"h.chm";
    info->helpContext = 7;
    info->funcs.push_back(Func(1, INVOKE_PROPERTYGET, {u"Item", u"index"}, 1));
    info->funcs.push_back(Func(2, INVOKE_FUNC, {u"Go"}, 0, u"runs"));
    FuncDesc put = Func(3, INVOKE_PROPERTYPUT, {u"Value"}, 1);
    put.cParamsOpt = 1;
    info->funcs.push_back(put);
    FuncDesc hidden = Func(4, INVOKE_FUNC, {u"Secret"}, 0);
    hidden.wFuncFlags = FUNCFLAG_FRESTRICTED;
    info->funcs.push_back(hidden);
    EXPECT_EQ(ListTypeInfo(*info),
              Ansi("对象类型名称:K    共有 2 个属性(含读/写)，1 个方法\r\n解释： doc\r\n\r\n帮助文件： h.chm\r\n帮助标记值：7"
                   "\r\n\r\n\r\n属性/读:Item\r\n\r\n方法:Go\r\n解释:runs\r\n\r\n属性/写:Value\r\n参数<1>参数1\r\n参数数量:1\t"
                   "可选参数数量:1\r\n\r\n"));
    TypeInfo failing;
    failing.typeAttrResult = -2147467259;
    EXPECT_EQ(ListTypeInfo(failing), "ITypeInfo::GetTypeAttr() failed: -2147467259");
    EXPECT_EQ(DescribeObject(nullptr), "");
    EXPECT_EQ(DescribeObject(std::make_shared<DescribedObject>(info, 0)), Ansi("没有类型信息"));
}

TEST(ObjectDescription, DemonstrationObjectIsAMyObj) {
    ScriptHost host;
    host.AddCode(
        "function MyObj(men1,men2,men3)\r\n{\r\nthis.men1=men1;\r\n this.men2=men2;\r\n this.men3=men3;\r\n "
        "this.all=fuckall;\r\n }\r\n function fuckall ()\r\n {\r\n return this.men1+String(this.men2)+this.men3;\r\n }\r\n"
        "function OX(what,time,temp){ return new MyObj(what,time,temp); }");
    EXPECT_EQ(DescribeObject(Evaluated(host, "OX(1,2,3)")),
              Ansi("对象类型名称:MyObj    共有 3 个属性(含读/写)，1 个方法\r\n\r\n\r\n\r\n方法:all\r\n"
                   "解释:function all()\r\n\r\n属性:men1 = 1\r\n属性:men2 = 2\r\n属性:men3 = 3\r\n"));
    // Values as they are now, written as JavaScript writes them.
    host.AddCode("var o = OX('one', [1, 'b'], {k: null}); o.men2.push(true);");
    EXPECT_EQ(DescribeObject(Evaluated(host, "o")),
              Ansi("对象类型名称:MyObj    共有 3 个属性(含读/写)，1 个方法\r\n\r\n\r\n\r\n方法:all\r\n"
                   "解释:function all()\r\n\r\n属性:men1 = \"one\"\r\n属性:men2 = [1, \"b\", true]\r\n"
                   "属性:men3 = {k: null}\r\n"));
}

TEST(ArrayView, ElementsThatAreObjectsShowWhatTheyHold) {
    ScriptHost host;
    host.AddCode(
        "function MyObj(a,b,c){ this.men1=a; this.men2=b; this.men3=c; this.all=function(){}; }\r\n"
        "var self = {name: 'me'}; self.self = self;\r\n"
        "var items = [new MyObj(1,2,3), [1,2,3], null, undefined, {}, [], [1,2,3,4,5,6,7],\r\n"
        "  {a: {b: 1}, c: [1], d: 'say \"hi\"\\n'}, self, function add(x, y) { return x + y; },\r\n"
        "  /ab+c/gi, new Error('bad'), 'plain', new Array(3), {s: 'xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx'},\r\n"
        "  {p1:1, p2:2, p3:3, p4:4, p5:5, p6:6}];");
    std::vector<std::string> lines = Lines(Evaluated(host, "items"));
    std::vector<std::string> want = {
        "数组长度(length)--->16",
        "下标0--->{men1: 1, men2: 2, men3: 3, all: function}",
        "下标1--->[1, 2, 3]",
        "下标2--->null",
        "下标3--->undefined",
        "下标4--->{}",
        "下标5--->[]",
        "下标6--->[1, 2, 3, 4, 5, …]",
        "下标7--->{a: {…}, c: […], d: \"say \\\"hi\\\"\\n\"}",
        "下标8--->{name: \"me\", self: {…}}",
        "下标9--->function add(x, y)",
        "下标10--->/ab+c/ig",  // the default target writes a pattern's flags as JScript does
        "下标11--->Error: bad",
        "下标12--->plain",
        "下标13--->[undefined, undefined, undefined]",
        "下标14--->{s: \"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx…\"}",
        "下标15--->{p1: 1, p2: 2, p3: 3, p4: 4, p5: 5, …}",
    };
    ASSERT_EQ(lines.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(lines[i], Ansi(want[i].c_str())) << i;
}

TEST(ArrayView, LinesOfArraysAndObjects) {
    ScriptHost host;
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines(Evaluated(host, "[10,'abc',true]")),
              (V{Ansi("数组长度(length)--->3"), Ansi("下标0--->10"), Ansi("下标1--->abc"), Ansi("下标2--->true")}));
    EXPECT_EQ(Lines(Evaluated(host, "[]")), (V{Ansi("数组长度(length)--->0")}));
    EXPECT_EQ(Lines(Evaluated(host, "[[1,2]]")), (V{Ansi("数组长度(length)--->1"), Ansi("下标0--->[1, 2]")}));
    EXPECT_EQ(Lines(Evaluated(host, "({length: 2.7, 0: 'a'})")),
              (V{Ansi("数组长度(length)--->2.7"), Ansi("下标0--->a"), Ansi("下标1--->undefined")}));
    EXPECT_EQ(Lines(Evaluated(host, "({length: -3})")), (V{Ansi("数组长度(length)--->-3")}));
    EXPECT_EQ(Lines(Evaluated(host, "({a: 1})")), (V{Ansi("数组长度(length)--->0")}));
}

TEST(ObjectViewerWindow, ComponentsAndAHugeLengthOpenAtOnce) {
    ScriptHost host;
    ObjectRef huge = Evaluated(host, "({length: 1e9, 5: 'five'})");
    ObjectViewer viewer(huge);
    viewer.show();
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("对象查看器DEMO"));
    auto* list = viewer.findChild<LazyLineList*>(QStringLiteral("列表框1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), QRect(285, 16, 307, 295));
    EXPECT_EQ(list->LineCount(), 1000000001);
    EXPECT_EQ(list->Line(6), QStringLiteral("下标5--->five"));
    list->grab();  // paints the lines on screen only
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    list->grab();
    EXPECT_GT(list->FirstVisibleLine(), 999999900);
    EXPECT_EQ(list->Line(1000000000), QStringLiteral("下标999999999--->undefined"));
    auto* text = viewer.findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"));
    EXPECT_EQ(text->geometry(), QRect(3, 16, 272, 296));
    EXPECT_TRUE(text->toPlainText().startsWith(QStringLiteral("对象类型名称:Object")));
    EXPECT_EQ(viewer.findChild<QGroupBox*>(QStringLiteral("分组框1"))->title(), QStringLiteral("对象属性方法"));
    EXPECT_EQ(viewer.findChild<QGroupBox*>(QStringLiteral("分组框2"))->geometry(), QRect(280, 0, 320, 320));
}

// Assistive technology finds the lines as list items, each made when asked for.
TEST(ObjectViewerWindow, ScreenReadersReadTheLinesAsListItems) {
    ScriptHost host;
    ObjectViewer viewer(Evaluated(host, "({length: 1e9, 0: [1, 2], 7: 'seven'})"));
    viewer.show();
    auto* list = viewer.findChild<LazyLineList*>(QStringLiteral("列表框1"));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::List);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("数组内容"));
    EXPECT_EQ(iface->childCount(), 1000000001);
    QAccessibleInterface* first = iface->child(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->role(), QAccessible::ListItem);
    EXPECT_EQ(first->text(QAccessible::Name), QStringLiteral("下标0--->[1, 2]"));
    EXPECT_EQ(first->parent()->object(), list);
    EXPECT_EQ(iface->indexOfChild(first), 1);
    EXPECT_EQ(iface->child(1), first);  // asked again: the same item
    EXPECT_FALSE(first->state().invisible);
    EXPECT_FALSE(first->rect().isEmpty());
    EXPECT_EQ(iface->childAt(first->rect().center().x(), first->rect().center().y()), first);

    QAccessibleInterface* far = iface->child(1000000000);
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(far->text(QAccessible::Name), QStringLiteral("下标999999999--->undefined"));
    EXPECT_TRUE(far->state().invisible);
    EXPECT_TRUE(far->rect().isEmpty());
    EXPECT_EQ(iface->child(1000000001), nullptr);

    // Scrolled to the end, the far line is on screen and the first is not.
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    EXPECT_FALSE(far->state().invisible);
    EXPECT_TRUE(first->state().invisible);
    EXPECT_EQ(iface->child(8)->text(QAccessible::Value), QStringLiteral("下标7--->seven"));

    auto* description = viewer.findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(description)->text(QAccessible::Name), QStringLiteral("对象属性方法"));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&viewer);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("对象查看器DEMO"));
}

TEST(ObjectViewerWindow, OpensCentredWithoutMinimiseOrMaximise) {
    ScriptHost host;
    ObjectViewer viewer(Evaluated(host, "[1]"));
    viewer.show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Centred before the frame is known: off by no more than the frame's width.
    EXPECT_LE((viewer.frameGeometry().center() - screen.center()).manhattanLength(), 8);
    EXPECT_FALSE(viewer.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(viewer.minimumSize(), viewer.maximumSize());
}

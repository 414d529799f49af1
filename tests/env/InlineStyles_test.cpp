// An element's inline style: one ordered set of declarations behind its properties, its
// text, its index access and its style attribute. The expected answers are Chrome's,
// recorded once from headless Chromium on the same script.
#include "env/EnvTestSupport.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

class InlineStyles : public testing::Test {
protected:
    EnvHost env{ScriptTarget::ES2021};
};

TEST_F(InlineStyles, PropertiesMethodsTextAndAttributeShowTheSameDeclarations) {
    ASSERT_TRUE(env.Add("var d = document.createElement('div'), s = d.style;"
                        "s.color = 'red'; s.fontSize = '12px'; s.setProperty('margin-top', '3px');"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("[s.color, s.fontSize, s['font-size'], s.getPropertyValue('color'), s.getPropertyValue('fontSize')].join('|')"),
              "red|12px|12px|red|");
    EXPECT_EQ(env.Text("s.cssText"), "color: red; font-size: 12px; margin-top: 3px;");
    EXPECT_EQ(env.Text("d.getAttribute('style')"), "color: red; font-size: 12px; margin-top: 3px;");
    EXPECT_EQ(env.Text("[s.length, s[0], s.item(2), typeof s[3], Object.keys(s).join()].join('|')"), "3|color|margin-top|undefined|0,1,2");
    // An unset property reads as empty text; a name that is no CSS property stays absent.
    EXPECT_EQ(env.Text("JSON.stringify([document.createElement('b').style.color, document.createElement('b').style.cssText, typeof s.colr])"),
              "[\"\",\"\",\"undefined\"]");
    EXPECT_TRUE(env.True("'color' in s && !s.hasOwnProperty('color')"));
}

TEST_F(InlineStyles, TextAndAttributeWrittenAreReadAgainAsDeclarations) {
    ASSERT_TRUE(env.Add("var d = document.createElement('div'), s = d.style; s.fontSize = '12px';"
                        "s.cssText = 'width: 5px; COLOR: Blue';"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("[s.cssText, s.color, s.width, s.fontSize, d.getAttribute('style'), s.length].join('|')"),
              "width: 5px; color: blue;|blue|5px||width: 5px; color: blue;|2");
    // The attribute keeps the text as written; the style reads it again.
    ASSERT_TRUE(env.Add("d.setAttribute('style', 'height:3px');"));
    EXPECT_EQ(env.Text("[s.cssText, s.height, s.width, s.length, d.getAttribute('style')].join('|')"), "height: 3px;|3px||1|height:3px");
    // A value Chrome refuses leaves the declarations as they were; priority and removal.
    ASSERT_TRUE(env.Add("s.color = 'bogus value'; var refused = s.cssText;"
                        "s.setProperty('color', 'green', 'important'); var important = s.cssText + '|' + s.getPropertyPriority('color');"
                        "s.removeProperty('height');"));
    EXPECT_EQ(env.Text("refused"), "height: 3px;");
    EXPECT_EQ(env.Text("important"), "height: 3px; color: green !important;|important");
    EXPECT_EQ(env.Text("s.cssText + '|' + d.outerHTML"), "color: green !important;|<div style=\"color: green !important;\"></div>");
    // Writing '' removes a declaration; removing the attribute empties the style.
    ASSERT_TRUE(env.Add("s.color = ''; var afterEmpty = s.length; s.color = 'red'; d.removeAttribute('style');"));
    EXPECT_EQ(env.Text("afterEmpty + '|' + s.length + '|' + s.cssText + '|' + s.color"), "0|0||");
}

TEST_F(InlineStyles, TheTextLayoutReadsTheSameDeclarations) {
    ASSERT_TRUE(env.Add("function wide(set) { var e = document.createElement('span'); e.textContent = 'mmmm';"
                        "document.body.appendChild(e); set(e); var w = e.offsetWidth; document.body.removeChild(e); return w; }"
                        "var plain = wide(function () {}), byMember = wide(function (e) { e.style.fontSize = '32px'; }),"
                        "byMethod = wide(function (e) { e.style.setProperty('font-size', '32px'); }),"
                        "byAttribute = wide(function (e) { e.setAttribute('style', 'font-size: 32px'); }),"
                        "hidden = wide(function (e) { e.style.cssText = 'display: none'; });"))
        << env.ErrorDescription();
    EXPECT_TRUE(env.True("byMember === plain * 2")) << env.Text("plain + ' ' + byMember");
    EXPECT_TRUE(env.True("byMethod === byMember && byAttribute === byMember"));
    EXPECT_EQ(env.Text("hidden"), "0");
}

TEST(InlineStylesJScript, TheOlderTargetKeepsItsPlainStyleObject) {
    EnvHost env{ScriptTarget::JScript58};
    ASSERT_TRUE(env.Add("var s = document.createElement('div').style; s.color = 'red';")) << env.ErrorDescription();
    EXPECT_EQ(env.Text("s.color + '|' + typeof s.cssText + '|' + typeof s.setProperty"), "red|undefined|undefined");
}

}  // namespace
}  // namespace qy::test

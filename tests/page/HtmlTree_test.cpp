// The parser on the tree-construction cases scripts meet: implied end tags, tables'
// bodies, foster parenting, templates, character references, foreign content.
#include <gtest/gtest.h>

#include "page/HtmlTree.h"

namespace qy::page {
namespace {

std::string Fragment(const std::string& html, const std::string& context = "div") {
    return DescribeTree(ParseFragment(html, context));
}

TEST(HtmlTree, ImpliedEndTagsCloseWhatTheNextTagCannotSitIn) {
    EXPECT_EQ(Fragment("<p>a<p>b"), "| <p>\n|   \"a\"\n| <p>\n|   \"b\"\n");
    EXPECT_EQ(Fragment("<ul><li>a<li>b</ul>"), "| <ul>\n|   <li>\n|     \"a\"\n|   <li>\n|     \"b\"\n");
    EXPECT_EQ(Fragment("<select><option>a<option>b</select>"),
              "| <select>\n|   <option>\n|     \"a\"\n|   <option>\n|     \"b\"\n");
    // A misnested formatting element is opened again after the one that closed it.
    EXPECT_EQ(Fragment("<b>1<i>2</b>3"), "| <b>\n|   \"1\"\n|   <i>\n|     \"2\"\n| <i>\n|   \"3\"\n");
    EXPECT_EQ(Fragment("<a href=x>1<a href=y>2"), "| <a>\n|   href=\"x\"\n|   \"1\"\n| <a>\n|   href=\"y\"\n|   \"2\"\n");
}

TEST(HtmlTree, TablesGetTheirBodiesAndFosterStrayText) {
    EXPECT_EQ(Fragment("<table><tr><td>1</table>"),
              "| <table>\n|   <tbody>\n|     <tr>\n|       <td>\n|         \"1\"\n");
    // Text where a table cannot hold it is put before the table.
    EXPECT_EQ(Fragment("<table>x<tr><td>1</td></tr></table>"),
              "| \"x\"\n| <table>\n|   <tbody>\n|     <tr>\n|       <td>\n|         \"1\"\n");
    // In a row's context cells stand alone; in a div's they are dropped as stray.
    EXPECT_EQ(Fragment("<td>1</td><td>2</td>", "tr"), "| <td>\n|   \"1\"\n| <td>\n|   \"2\"\n");
    EXPECT_EQ(Fragment("<td>1</td>", "div"), "| \"1\"\n");
}

TEST(HtmlTree, TemplatesHoldTheirContentAndAnyTagInIt) {
    EXPECT_EQ(Fragment("<template><td>x</td></template>"), "| <template>\n|   content\n|     <td>\n|       \"x\"\n");
}

TEST(HtmlTree, CharacterReferencesAndRawText) {
    EXPECT_EQ(Fragment("a &amp; &lt; &copy &notin; &#x1F600; &#0; b"), "| \"a & < \u00a9 \u2209 \U0001F600 \uFFFD b\"\n");
    // In attribute values a reference without its semicolon followed by "=" stays text.
    EXPECT_EQ(Fragment("<a href='?a=1&copy=2&amp;b'>"), "| <a>\n|   href=\"?a=1&copy=2&b\"\n");
    EXPECT_EQ(Fragment("<script>if (a<b && c) x()</script>"), "| <script>\n|   \"if (a<b && c) x()\"\n");
    EXPECT_EQ(Fragment("<textarea>&lt;b&gt;</textarea>"), "| <textarea>\n|   \"<b>\"\n");
}

TEST(HtmlTree, ForeignContentKeepsItsCase) {
    EXPECT_EQ(Fragment("<svg viewBox='0 0 1 1'><foreignObject/></svg>"),
              "| <svg svg>\n|   viewBox=\"0 0 1 1\"\n|   <svg foreignObject>\n");
    EXPECT_EQ(Fragment("<math><mi>x</mi></math>"), "| <math math>\n|   <math mi>\n|     \"x\"\n");
}

TEST(HtmlTree, WholePagesHaveTheirDoctypeHeadAndBody) {
    EXPECT_EQ(DescribeTree(ParseDocument("<!DOCTYPE html><meta charset=utf-8><title>t</title>hello<!--c-->")),
              "| <!DOCTYPE html>\n| <html>\n|   <head>\n|     <meta>\n|       charset=\"utf-8\"\n|     <title>\n"
              "|       \"t\"\n|   <body>\n|     \"hello\"\n|     <!-- c -->\n");
    // Nothing at all is still a page.
    EXPECT_EQ(DescribeTree(ParseDocument("")), "| <html>\n|   <head>\n|   <body>\n");
    // Text split by the parser (text, then white space) is one node.
    EXPECT_EQ(DescribeTree(ParseFragment("a \n b", "div")), "| \"a \n b\"\n");
}

TEST(HtmlTree, AScriptsTextKnowsWhereItStartsInThePage) {
    // Lines end at LF, CRLF or a lone CR; columns count UTF-16 units (a four-byte
    // character is two), as the editor and browsers count them.
    HtmlTree tree = ParseDocument("<html>\r\n<head>\r<script>a</script></head>\n"
                                  "<body>\xe4\xb8\xad\xf0\x9f\x98\x80 <SCRIPT type=x>b</SCRIPT></body>");
    std::vector<std::pair<uint32_t, uint32_t>> scripts;
    for (const HtmlItem& item : tree.items)
        if (item.name == "script") scripts.emplace_back(item.line, item.column);
    EXPECT_EQ(scripts, (std::vector<std::pair<uint32_t, uint32_t>>{{3, 8}, {4, 25}}));
    // A fragment's scripts are nowhere in the page.
    HtmlTree fragment = ParseFragment("<script>c</script>", "div");
    ASSERT_FALSE(fragment.items.empty());
    EXPECT_EQ(fragment.items[0].line, 0u);
}

TEST(HtmlTree, AnythingReadsWithoutFault) {
    // Broken input of every kind gives some tree and never fails.
    for (const char* html : {"<", "</", "<!", "<!--", "<a b='", "<table><td><svg><desc><td>", "\xff\xfe<p>", "&#x110000;",
                             "<frameset><frame>", "<plaintext>&lt;"}) {
        EXPECT_NO_THROW(ParseDocument(html));
        EXPECT_NO_THROW(ParseFragment(html, "table"));
    }
}

}  // namespace
}  // namespace qy::page

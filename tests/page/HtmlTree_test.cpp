// The parser on the tree-construction cases scripts meet: implied end tags, tables'
// bodies, foster parenting, templates, character references, foreign content.
#include <gtest/gtest.h>

#include "page/HtmlTree.h"

namespace qy::page {
namespace {

std::string Fragment(const std::string& html, const std::string& context = "div") {
    return DescribeTree(ParseFragment(html, context));
}

TEST(HtmlTreeTest, Explore) {
    std::printf("%s---\n", Fragment("<p>a<p>b").c_str());
    std::printf("%s---\n", Fragment("<table><tr><td>1</table>").c_str());
    std::printf("%s---\n", Fragment("<table>x<tr><td>1</td></tr></table>").c_str());
    std::printf("%s---\n", Fragment("<template><td>x</td></template>").c_str());
    std::printf("%s---\n", Fragment("a &amp; &lt; &copy &notin; &#x1F600; b").c_str());
    std::printf("%s---\n", Fragment("<svg viewBox='0 0 1 1'><foreignObject><p>x</foreignObject></svg><custom-el a=1>y</custom-el>").c_str());
    std::printf("%s---\n", Fragment("<td>1</td><td>2</td>", "tr").c_str());
    std::printf("%s---\n", DescribeTree(ParseDocument("<!DOCTYPE html><meta charset=utf-8><title>t</title><script>var a=1<2;</script>hello<!--c-->")).c_str());
}

}  // namespace
}  // namespace qy::page

// The small fragment reader against the full parser: where it answers, its tree is the
// full parser's (names, attributes in order, texts, comments, nesting); the fragments
// scripts give innerHTML most are answered; whatever needs the parser's harder rules is
// left to it.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "env/HtmlTokens.h"
#include "page/HtmlTree.h"
#include "text/CodePage.h"

namespace {

using qy::env::FragmentNode;
using qy::env::ReadPlainFragment;
using qy::page::HtmlItem;
using qy::page::HtmlTree;

HtmlTree AsTree(const std::vector<FragmentNode>& nodes) {
    HtmlTree tree;
    for (const FragmentNode& n : nodes) {
        HtmlItem item;
        item.kind = static_cast<HtmlItem::Kind>(n.kind);
        item.name = qy::text::Utf16ToUtf8(n.name);
        item.text = qy::text::Utf16ToUtf8(n.text);
        item.children = n.children;
        for (const auto& [name, value] : n.attributes)
            item.attributes.emplace_back(qy::text::Utf16ToUtf8(name), qy::text::Utf16ToUtf8(value));
        tree.items.push_back(std::move(item));
    }
    return tree;
}

// The tree as text, attributes in their own order (the parser's description sorts them).
std::string Shape(const HtmlTree& tree) {
    std::string out;
    for (const HtmlItem& item : tree.items) {
        out += std::to_string(static_cast<int>(item.kind)) + "|" + item.name + "|" + item.text + "|" +
               std::to_string(item.children) + "|" + std::to_string(static_cast<int>(item.space));
        for (const auto& [name, value] : item.attributes) out += " " + name + "=" + value;
        out += "\n";
    }
    return out;
}

struct Outcome {
    bool answered = false;
    bool same = false;
    std::string mine, parser;
};

Outcome Compare(const std::string& html, const std::string& context = "div") {
    Outcome o;
    auto nodes = ReadPlainFragment(qy::text::Utf8ToUtf16(html), qy::text::Utf8ToUtf16(context));
    o.parser = Shape(qy::page::ParseFragment(html, context));
    if (!nodes) return o;
    o.answered = true;
    o.mine = Shape(AsTree(*nodes));
    o.same = o.mine == o.parser;
    return o;
}

void ExpectAnsweredAlike(const std::string& html, const std::string& context = "div") {
    Outcome o = Compare(html, context);
    EXPECT_TRUE(o.answered) << html;
    EXPECT_TRUE(o.same) << html << "\nreader:\n" << o.mine << "parser:\n" << o.parser;
}

void ExpectLeftToParser(const std::string& html, const std::string& context = "div") {
    EXPECT_FALSE(Compare(html, context).answered) << html;
}

TEST(HtmlTokens, FragmentsPagesWriteAreReadAsTheParserReadsThem) {
    // What a library's feature tests give innerHTML, and the like.
    for (const char* html : {
             "<a id='sizzle1796979578736'></a><select id='sizzle1796979578736-\r\\' msallowcapture=''>"
             "<option selected=''></option></select>",
             "<a href='' disabled='disabled'></a><select disabled='disabled'><option/></select>",
             "<a href='#'></a>", "<input/>", "<textarea>x</textarea>", "<option></option>",
             "<form></form><form></form>", "<div class=\"a b\"><span>hi</span> there</div>", "",
             "plain text only", "<input type=radio checked name=t>", "<b>bold <i>both</i></b> after",
             "<ul><li>one</li></ul><ol><li>two</li></ol>", "<p>a</p><p>b</p>", "<br><hr><img src=x.png alt=''>",
             "<!-- note --><div>x</div><!---->", "<select><optgroup label=g><option>1<option>2</optgroup></select>",
             "<select><option>a</option><option value=b selected>b</select>after", "<h1>t</h1><pre>\nkept</pre>",
             "<pre>\n\nsecond</pre>", "<textarea>\nline</textarea>", "<title>a &amp; b</title>",
             "<style>a > b { color: red }</style>", "<script>if (a < b && c) x = '</div>';</script>",
             "<div   id = \"spaced\"   data-x = 'y' >z</div >", "<DIV ID=Upper>Case</DIV>",
             "<a title=\"&lt;&gt;&amp;&quot;&#65;&#x42;&nbsp;\">&#20013;&#x6587;</a>", "a < b and c > d",
             "x & y", "<custom-el foo=bar><inner-el></inner-el></custom-el>", "<div>\r\nline\rbreaks</div>",
             "<span>unclosed", "<option>one<option>two", "<button>b</button><label for=x>l</label>", "中文 <b>粗</b>",
             "<nav><section><article>x</article></section></nav>", "<dl><dt>t</dt><dd>d</dd></dl>",
             "<a href=x>1</a><a href=y>2</a>", "<script src=\"a.js\"></script>", "<textarea></textarea>",
         })
        ExpectAnsweredAlike(html);
}

TEST(HtmlTokens, AttributesKeepTheFirstOfANameAndTheirOrder) {
    ExpectAnsweredAlike("<a b=1 a=2 B=3 c>x</a>");
    ExpectAnsweredAlike("<input value='a' VALUE=\"b\" value=c disabled>");
    auto nodes = ReadPlainFragment(u"<a z=1 y=2 Z=3 x>", u"div");
    ASSERT_TRUE(nodes);
    ASSERT_EQ(nodes->size(), 1u);
    ASSERT_EQ((*nodes)[0].attributes.size(), 3u);
    EXPECT_EQ((*nodes)[0].attributes[0], (std::pair<std::u16string, std::u16string>(u"z", u"1")));
    EXPECT_EQ((*nodes)[0].attributes[1].first, u"y");
    EXPECT_EQ((*nodes)[0].attributes[2], (std::pair<std::u16string, std::u16string>(u"x", u"")));
}

TEST(HtmlTokens, ContextsReadAsTheParserReadsThem) {
    for (const char* context : {"body", "div", "span", "p", "li", "a", "form", "unknown-thing", "BODY"})
        ExpectAnsweredAlike("<p>x</p><div>y</div><span>z</span>", context);
    ExpectLeftToParser("<form></form>", "form");
    for (const char* context : {"select", "table", "tr", "td", "textarea", "title", "script", "style", "template",
                                "html", "head", "frameset", "svg", "math", "noscript", "plaintext", "xmp", "iframe"})
        ExpectLeftToParser("<option>x</option>", context);
}

TEST(HtmlTokens, HarderMarkupIsLeftToTheParser) {
    for (const char* html : {
             "<table><tr><td>x</td></tr></table>", "<p><div>x</div></p>", "<p>a<p>b", "<li>a<li>b",
             "<a><a>nested</a></a>", "<b><i>misnested</b></i>", "<div></span></div>", "<svg><circle/></svg>",
             "<math></math>", "<template><b></b></template>", "&copy; &notit; &eacute;", "&#0;", "&#x80;",
             "&#xD800;", "&#65", "<!-->", "<!--->", "<!-- a -- b -->", "<!--a--!>", "<!DOCTYPE html>",
             "<?xml?>", "<div", "<div id='x", "<a b=>", "<a =b>", "<a \"q\"=1>", "<a b=c\"d>", "<a b='c'd>",
             "</p>", "</br>", "x</div>", "<select><div>x</div></select>", "<select><input></select>",
             "<textarea>unclosed", "<script><!-- x --></script>", "<style>x</style >", "<title>a &copy; b</title>",
             "<pre>&#10;x</pre>", "<image src=x>", "<frameset></frameset>", "<body><div></div></body>",
             "<h1><h2>x</h2></h1>", "<button><button>x</button></button>", "<form><form></form></form>",
             "\xEF\xBB\xBF" "bom", "&amp without end", "a\x01z", "😀", "<a / href=x>", "<noscript>x</noscript>", "<xmp>x</xmp>",
             "<ruby>a<rt>b</rt></ruby>", "<form>text</form>", "<form><b>x</b>y</form>", "<object></object>", "<div>a</DIV extra=1>",
         })
        ExpectLeftToParser(html);
}

// Fragments made at random from pieces of markup: wherever the reader answers, the
// parser gives the same tree.
TEST(HtmlTokens, RandomFragmentsAgreeWithTheParserWhereAnswered) {
    const std::vector<std::string> pieces = {
        "<div>", "</div>", "<span class=a>", "</span>", "<p>", "</p>", "<b>", "</b>", "<i>", "</i>", "<a href=#>",
        "</a>", "<select>", "</select>", "<option>", "</option>", "<optgroup>", "</optgroup>", "<li>", "</li>",
        "<ul>", "</ul>", "<br>", "<input/>", "<hr>", "<img alt=''>", "<form>", "</form>", "<button>", "</button>",
        "<textarea>t</textarea>", "<title>&amp;</title>", "<style>p{}</style>", "<script>1<2</script>", "<pre>",
        "</pre>", "\n", "text", " ", "&amp;", "&lt;", "&#33;", "<", ">", "&", "<!--c-->", "<h1>", "</h1>", "<h2>",
        "</h2>", "<table>", "<td>", "<em>", "</em>", "<nobr>", "</nobr>", "<dd>", "</dd>", "<dl>", "</dl>",
        "<label>", "</label>", "<u>", "</u>", "<section>", "</section>", "\r\n", "中", "<x-y>", "</x-y>", "<DIV ID=a>", "</DIV>", "<a b='&amp;&#x4e2d;' c=d e>",
        "<option selected>", "<textarea>\nx</textarea>", "<pre>\n", "\r", "<!---->", "<P>", "<Select>", "</SELECT>",
    };
    std::mt19937 random(20240601);
    int answered = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string html;
        int count = 1 + static_cast<int>(random() % 12);
        for (int k = 0; k < count; ++k) html += pieces[random() % pieces.size()];
        const char* context = round % 3 == 0 ? "body" : round % 3 == 1 ? "div" : "p";
        Outcome o = Compare(html, context);
        if (!o.answered) continue;
        ++answered;
        ASSERT_TRUE(o.same) << html << " in " << context << "\nreader:\n" << o.mine << "parser:\n" << o.parser;
    }
    // Most of them are plain enough for the reader (the rest is left to the parser).
    EXPECT_GT(answered, 400) << answered;
}

}  // namespace

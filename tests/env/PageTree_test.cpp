// The page's tree: nodes as scripts build, read, search and write them, in both targets,
// and a real library that needs them.
#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

class PageTree : public testing::TestWithParam<ScriptTarget> {
protected:
    EnvHost env{GetParam()};
};

TEST_P(PageTree, ChildrenKeepTheirParentsAndSiblings) {
    ASSERT_TRUE(env.Add("var ul = document.createElement('ul'), a = document.createElement('li'),"
                        "b = document.createElement('li'), c = document.createTextNode('x');"
                        "ul.appendChild(a); ul.appendChild(c); ul.insertBefore(b, c);"))
        << env.ErrorDescription();
    EXPECT_TRUE(env.True("ul.firstChild === a && a.nextSibling === b && b.nextSibling === c && c.previousSibling === b"));
    EXPECT_TRUE(env.True("ul.lastChild === c && c.parentNode === ul && ul.children.length === 2 && ul.lastElementChild === b"));
    EXPECT_TRUE(env.True("a.nextElementSibling === b && b.nextElementSibling === null && ul.childNodes.length === 3"));
    // A fragment hands over its children; appending a node moves it.
    ASSERT_TRUE(env.Add("var f = document.createDocumentFragment(); f.appendChild(document.createElement('i'));"
                        "f.appendChild(document.createElement('b')); ul.appendChild(f); ul.appendChild(a);"));
    EXPECT_EQ(env.Text("var names = []; for (var n = ul.firstChild; n; n = n.nextSibling) names.push(n.nodeName); names.join()"),
              "LI,#text,I,B,LI");
    EXPECT_TRUE(env.True("f.childNodes.length === 0 && f.firstChild === null && ul.contains(a) && !a.contains(ul)"));
    ASSERT_TRUE(env.Add("ul.removeChild(b);"));
    EXPECT_TRUE(env.True("b.parentNode === null && b.nextSibling === null && ul.firstChild.nodeValue === 'x'"));
    EXPECT_EQ(env.Text("var e1; try { ul.removeChild(b); } catch (e) { e1 = e.name; } e1"), "NotFoundError");
    EXPECT_EQ(env.Text("var e2; try { ul.appendChild(null); } catch (e) { e2 = e.name; } e2"), "TypeError");
    // A long list built by appending, and a child moved to its end.
    ASSERT_TRUE(env.Add("var big = document.createElement('div'), first;"
                        "for (var i = 0; i < 300; i++) big.appendChild(document.createElement(i % 2 ? 'p' : 'span'));"
                        "first = big.firstChild; big.appendChild(first);"));
    EXPECT_TRUE(env.True("big.children.length === 300 && big.lastChild === first && first.previousSibling === big.childNodes[298]"));
    EXPECT_TRUE(env.True("big.firstChild.previousSibling === null && first.nextSibling === null && big.children[299] === first"));
    EXPECT_TRUE(env.True("big.childNodes[5].nextElementSibling === big.childNodes[6] && big.lastElementChild === first"));
    // Taking children out mends their neighbours' links and the element list.
    ASSERT_TRUE(env.Add("var gone = big.childNodes[10], was9 = big.childNodes[9], was11 = big.childNodes[11];"
                        "big.removeChild(gone);"));
    EXPECT_TRUE(env.True("was9.nextSibling === was11 && was11.previousElementSibling === was9 && gone.parentNode === null"));
    ASSERT_TRUE(env.Add("while (big.childNodes.length > 200) big.removeChild(big.firstChild);"));
    EXPECT_TRUE(env.True("big.children.length === 200 && big.children[0] === big.firstChild && big.firstElementChild === big.firstChild"));
    EXPECT_TRUE(env.True("big.firstChild.previousSibling === null && big.childElementCount === 200"));
    // The page's own tree starts at the document.
    EXPECT_TRUE(env.True("document.firstChild === document.documentElement && document.childNodes.length === 1"));
    EXPECT_TRUE(env.True("document.documentElement.parentNode === document && document.body.ownerDocument === document"));
    EXPECT_TRUE(env.True("document.ownerDocument === null && document.nodeType === Node.DOCUMENT_NODE"));
}

TEST_P(PageTree, InnerHtmlIsReadAndWrittenBack) {
    ASSERT_TRUE(env.Add("var d = document.createElement('div');"
                        "d.innerHTML = '<p id=\"x\" class=\"a b\">1 &lt; 2<br>3 &#20013;&#x6587;</p><!--c-->"
                        "<textarea>&lt;b&gt;</textarea><script>if (a < b) x()</script><input type=checkbox checked>';"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("d.childNodes.length + ' ' + d.firstChild.tagName + ' ' + d.firstChild.childNodes.length"), "5 P 3");
    EXPECT_EQ(env.Text("d.firstChild.firstChild.data + '|' + d.firstChild.textContent"), "1 < 2|1 < 23 中文");
    EXPECT_EQ(env.Text("d.firstChild.className + ' ' + d.firstChild.id + ' ' + d.childNodes[1].nodeType"), "a b x 8");
    EXPECT_EQ(env.Text("d.childNodes[2].value + ' ' + d.childNodes[3].textContent + ' ' + d.lastChild.checked"),
              "<b> if (a < b) x() true");
    EXPECT_EQ(env.Text("d.innerHTML"),
              "<p id=\"x\" class=\"a b\">1 &lt; 2<br>3 中文</p><!--c--><textarea>&lt;b&gt;</textarea>"
              "<script>if (a < b) x()</script><input type=\"checkbox\" checked=\"\">");
    // textContent replaces the children with one text; a deep clone copies the subtree.
    ASSERT_TRUE(env.Add("var copy = d.cloneNode(true), shallow = d.cloneNode(false); d.firstChild.textContent = '<i>';"));
    EXPECT_EQ(env.Text("d.firstChild.innerHTML + ' ' + d.firstChild.childNodes.length"), "&lt;i&gt; 1");
    EXPECT_EQ(env.Text("copy.firstChild.childNodes.length + ' ' + copy.lastChild.checked + ' ' + shallow.childNodes.length"),
              "3 true 0");
    EXPECT_TRUE(env.True("copy.firstChild.parentNode === copy && copy.firstChild !== d.firstChild"));
    // Misnested and stray tags end as a browser ends them (Chromium's answer): the open
    // formatting element is opened again after the one that closed it.
    ASSERT_TRUE(env.Add("d.innerHTML = '<b>1<i>2</b>3</u><img src=\"a.png\">4 < 5';"));
    EXPECT_EQ(env.Text("d.innerHTML"), "<b>1<i>2</i></b><i>3<img src=\"a.png\">4 &lt; 5</i>");
    ASSERT_TRUE(env.Add("d.insertAdjacentHTML('afterbegin', '<em>0</em>');"));
    EXPECT_EQ(env.Text("d.firstChild.outerHTML"), "<em>0</em>");
}

TEST_P(PageTree, SearchesByTagClassIdAndSimpleSelectors) {
    ASSERT_TRUE(env.Add("document.body.innerHTML = '<div id=\"app\" class=\"main wide\"><ul><li class=\"on\">1</li>"
                        "<li>2</li></ul><a href=\"/x\" name=\"go\">x</a></div><meta name=\"csrf-token\" content=\"t0k\">';"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("document.getElementById('app').tagName + ' ' + document.getElementsByTagName('li').length"), "DIV 2");
    EXPECT_EQ(env.Text("document.getElementsByTagName('*').length + ' ' + document.getElementsByClassName('wide main').length"),
              "9 1");
    EXPECT_EQ(env.Text("document.querySelector('meta[name=\"csrf-token\"]').getAttribute('content')"), "t0k");
    EXPECT_EQ(env.Text("document.querySelectorAll('#app > ul li, a').length + ' ' + document.querySelectorAll('body > li').length"),
              "3 0");
    EXPECT_EQ(env.Text("document.querySelector('li.on').textContent + document.querySelector('a[href^=\"/\"]').name"), "1go");
    EXPECT_TRUE(env.True("document.querySelector('li').closest('.main') === document.getElementById('app')"));
    EXPECT_TRUE(env.True("document.getElementsByName('go')[0].matches('div a') && document.querySelector('p:hover') === null"));
    // A document of its own, as libraries make one to read HTML in.
    ASSERT_TRUE(env.Add("var doc = document.implementation.createHTMLDocument(''), body = doc.body;"
                        "body.innerHTML = '<form></form><form></form>';"));
    EXPECT_TRUE(env.True("body.childNodes.length === 2 && body.firstChild.ownerDocument === doc && doc.body !== document.body"));
}

INSTANTIATE_TEST_SUITE_P(Targets, PageTree, testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021), TargetName);

// Debian's jQuery 3 (a modern engine's library) loads with the environment and works on
// the page: selectors, building from HTML, reading and writing the tree.
TEST(PageTreeLibraries, JQueryLoadsAndWorksOnThePage) {
    const std::string jquery = ReadFileBytes("/usr/share/javascript/jquery/jquery.min.js");
    if (jquery.empty()) GTEST_SKIP() << "libjs-jquery is not installed (scripts/setup.sh installs it)";
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add(jquery)) << env.ErrorDescription();
    EXPECT_EQ(env.Text("typeof jQuery.fn.jquery + ' ' + ($ === jQuery)"), "string true");
    EXPECT_EQ(env.Text("jQuery('<div class=\"a\"><p id=\"x\">hi &amp; bye</p></div>').find('#x').text()"), "hi & bye");
    ASSERT_TRUE(env.Add("$('body').append('<ul id=\"l\"><li>1</li><li>2</li></ul>'); $('#l li').last().addClass('z').text('3');"));
    EXPECT_EQ(env.Text("$('#l').html()"), "<li>1</li><li class=\"z\">3</li>");
    EXPECT_EQ(env.Text("$('li.z').length + ' ' + $('ul').children().length + ' ' + $.map([1, 2], function (v) { return v * 2; })"),
              "1 2 2,4");
}

}  // namespace
}  // namespace qy::test

// Selectors as the page objects read them: the host's reader of the common shapes, and
// the searches (querySelector(All), matches, closest) in both targets, small trees
// searched by the host and large ones by the script alike, and the shapes only the
// script reads. The answers are Chromium's (tests/env/chrome/probes_selectors.js holds
// many more); a text that is no selector throws in the modern target and finds nothing
// in the old one.
#include <gtest/gtest.h>

#include "EnvTestSupport.h"
#include "common/TestSupport.h"
#include "env/Environment.h"
#include "env/Selectors.h"

using qy::env::AttributeTest;
using qy::env::CachedSelector;
using qy::env::ParseSelectorText;
using qy::script::ScriptTarget;

namespace {

TEST(SelectorReader, CompoundsAndCombinators) {
    auto s = ParseSelectorText(u"div#app.main.wide > ul li, *#x");
    ASSERT_TRUE(s);
    ASSERT_EQ(s->chains.size(), 2u);
    const auto& first = s->chains[0];
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].tag, u"DIV");
    EXPECT_EQ(first[0].id, std::u16string(u"app"));
    EXPECT_EQ(first[0].classes, (std::vector<std::u16string>{u"main", u"wide"}));
    EXPECT_TRUE(first[1].childOfPrevious);
    EXPECT_EQ(first[1].tag, u"UL");
    EXPECT_FALSE(first[2].childOfPrevious);
    EXPECT_EQ(s->chains[1][0].tag, u"");
    EXPECT_EQ(s->chains[1][0].id, std::u16string(u"x"));
    // CSS's white space separates compounds; ">" needs none. Names may start with "-" or "_".
    auto t = ParseSelectorText(u"\tdiv\n\r\fli ");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->chains[0].size(), 2u);
    EXPECT_TRUE(ParseSelectorText(u"ul>li")->chains[0][1].childOfPrevious);
    EXPECT_EQ(ParseSelectorText(u"-x._y.--z")->chains[0][0].classes, (std::vector<std::u16string>{u"_y", u"--z"}));
}

TEST(SelectorReader, AttributesTheirTestsAndValues) {
    auto s = ParseSelectorText(u"[Lang|=en][a=b][c~=\"x\"][d^='p'][e$=\"q]\"][f*=q][ G ][h = ''][i|='']");
    ASSERT_TRUE(s);
    const auto& attrs = s->chains[0][0].attributes;
    ASSERT_EQ(attrs.size(), 9u);
    EXPECT_EQ(attrs[0].name, u"lang");
    EXPECT_EQ(attrs[0].test, AttributeTest::DashPrefix);
    EXPECT_EQ(attrs[1].test, AttributeTest::Equals);
    EXPECT_EQ(attrs[2].test, AttributeTest::Word);
    EXPECT_EQ(attrs[2].value, u"x");
    EXPECT_EQ(attrs[3].test, AttributeTest::Prefix);
    EXPECT_EQ(attrs[3].value, u"p");
    EXPECT_EQ(attrs[4].test, AttributeTest::Suffix);
    EXPECT_EQ(attrs[4].value, u"q]");
    EXPECT_EQ(attrs[5].test, AttributeTest::Contains);
    EXPECT_EQ(attrs[6].name, u"g");
    EXPECT_EQ(attrs[6].test, AttributeTest::Present);
    EXPECT_EQ(attrs[7].value, u"");
    EXPECT_EQ(attrs[8].test, AttributeTest::DashPrefix);
}

TEST(SelectorReader, LeavesEveryOtherTextToTheScript) {
    // Other combinators, pseudo-classes and -elements, escapes, names past ASCII, flags,
    // tests an empty value never passes, a second id, and texts that are no selector.
    for (const char16_t* text :
         {u":checked", u"a#x+*", u"li + li", u"li ~ p", u"*|li", u"|li", u"li::before", u"li\\.on", u"\u00e9", u"div\u00a0li",
          u"[a='x' i]", u"[a^='']", u"[a$=\"\"]", u"[a*='']", u"[a~='']", u"[a~='x y']", u"#a#b", u"[a='x\\'y']", u"",
          u" ", u"a,", u",a", u"> li", u"li >", u"ul>>li", u"#1x", u".1", u"[id=1]", u"[href=/x]", u"[id", u"id]",
          u"[=x]", u"li)", u"*,:x", u"[s!='']:x", u"li!", u"[id=\"x\"y]"})
        EXPECT_FALSE(ParseSelectorText(text)) << std::string(text, text + std::char_traits<char16_t>::length(text));
    // The cache answers the same reading again, and nothing for a text it leaves.
    EXPECT_EQ(CachedSelector(u"li.on"), CachedSelector(u"li.on"));
    EXPECT_EQ(CachedSelector(u":hover"), nullptr);
}

class Selectors : public testing::TestWithParam<ScriptTarget> {
protected:
    void SetUp() override {
        ASSERT_TRUE(env.Add(
            "function ids(list) { var o = []; for (var i = 0; i < list.length; i++) o.push(list[i].id || list[i].tagName);"
            " return o.join(' '); }"
            "var root = document.createElement('div'); document.body.appendChild(root);"
            "root.innerHTML = \"<div id='app' class='main  wide' data-x='a b' lang='en-US'><ul id='u'>"
            "<li class='on' id='l1'>1</li><li id='l2' title='x]y'>2</li></ul><a href='/x' name='go' id='a1'>x</a>"
            "<select id='s1' msallowcapture=''><option id='o1' selected=''></option></select><input id='i1' "
            "type='checkbox' checked><p id='p1' class='q-1 _b'><span id='sp' data-v='\\u00e9t\\u00e9'>s</span></p></div>\";"
            "function all(s) { try { return ids(root.querySelectorAll(s)); } catch (e) { return '!' + e.name; } }"
            "function first(s) { try { var e = root.querySelector(s); return e ? e.id : 'null'; }"
            " catch (e) { return '!' + e.name; } }"
            "function each(list) { var o = []; for (var i = 0; i < list.length; i++) o.push(all(list[i]));"
            " return o.join('|'); }"))
            << env.ErrorDescription();
    }
    /// What a search with a text that is no selector answers in this target.
    std::string Bad(const char* nothing = "") const {
        return GetParam() == ScriptTarget::ES2021 ? "!SyntaxError" : nothing;
    }
    qy::test::EnvHost env{GetParam()};
};

TEST_P(Selectors, JquerySupportTestsAndAttributes) {
    // (An empty value never passes ^=, $=, *= or ~=.)
    EXPECT_EQ(env.Text("all(\"[msallowcapture^='']\") + '|' + all('[selected]') + '|' + all('[id~=a1]') + '|' + "
                       "all('[name=d]') + '|' + all('[name=go]')"),
              "|o1|a1||a1");
    EXPECT_EQ(env.Text("each([':checked', 'a#a1+*', '.#.+[+~]', ':enabled', ':disabled', '*,:x', 'p:hover', 'li + li', "
                       "''])"),
              "o1 i1|s1|" + Bad() + "|s1 o1 i1||" + Bad() + "||l2|" + Bad());
    EXPECT_EQ(env.Text("each([\"[lang|=en]\", '[lang|=e]', \"[lang$='']\", \"[lang='']\", '[LANG]', '[data-x~=b]', "
                       "\"[data-x~='a b']\", \"[title='x]y']\", '[title=x]y]', '[data-v^=\\u00e9]', '[class~=_b]', "
                       "'[class=q-1]', '[id=l1][class=on]', '[data-x~=\"b\" i]', '[DATA-X=\"A B\" i]'])"),
              "app||||app|app||l2|" + Bad() + "|sp|p1||l1|app|app");
}

TEST_P(Selectors, CombinatorsOrderAndLists) {
    EXPECT_EQ(env.Text("each(['ul>li', 'div  >  ul   li', '#app > ul li, a', 'div > > li', 'div\\u00a0li', "
                       "'div>ul>li,p>span', 'li, li', '#app, #app li', '[id=l2],[id=l1]', 'body > li', "
                       "'div > span'])"),
              "l1 l2|l1 l2|l1 l2 a1|" + Bad() + "||l1 l2 sp|l1 l2|app l1 l2|l1 l2||");
    EXPECT_EQ(env.Text("first('[id=l2],[id=l1]') + ' ' + first('p [data-v]') + ' ' + first(':x') + ' ' + "
                       "document.querySelector('html > body').tagName"),
              "l1 sp " + Bad("null") + " BODY");
    // A search's list stays as it was when the page changes.
    EXPECT_EQ(env.Text("var list = root.querySelectorAll('li'); document.getElementById('u').appendChild("
                       "document.createElement('li')); list.length + ' ' + root.querySelectorAll('li').length"),
              "2 3");
    EXPECT_EQ(env.Text("var sp = root.querySelector('#sp'); [sp.matches('div p span'), sp.matches('div > span'), "
                       "sp.matches(':first-child'), sp.closest('p').id, sp.closest('*').id, sp.closest('li'), "
                       "sp.closest('div[lang|=en]').id, sp.closest(':scope').id].join(' ')"),
              "true false true p1 sp  app sp");
}

TEST_P(Selectors, SiblingsPseudoClassesAndEscapesTheScriptReads) {
    EXPECT_EQ(env.Text("each(['li + li', 'ul ~ *', 'a ~ input', 'li:first-child', 'li:nth-child(2n)', 'li:not(.on)', "
                       "':is(ul, p) > *', 'p:has(> span)', 'ul:has(+ a)', ':scope > div > a', 'input:checked', "
                       "'select:not(:disabled) > :checked', '#\\\\61 pp > ul', '.q\\\\-1', 'p:empty', "
                       "'li:nth-last-of-type(1)', '[data-v=\"\\\\e9t\\\\e9\"]', 'span::before', 'li:hover', "
                       "'a:link', ':lang(en)'])"),
              "l2|a1 s1 i1 p1|i1|l1|l2|l2|l1 l2 sp|p1|u|a1|i1|o1|u|p1||l2|sp|||a1|app u l1 l2 a1 s1 o1 i1 p1 sp");
    // Texts that are no selector: throw in the modern target, find nothing in the old.
    EXPECT_EQ(env.Text("each(['a,', '> li', 'li +', '#1', '[id=1]', ':nope', 'li:first', '::nope', ':not()'])"),
              Bad() + "|" + Bad() + "|" + Bad() + "|" + Bad() + "|" + Bad() + "|" + Bad() + "|" + Bad() + "|" + Bad() +
                  "|" + Bad());
    // A search keeps its answers while the page changes state: checked, disabled.
    EXPECT_EQ(env.Text("var i1 = root.querySelector('#i1'); i1.checked = false; var o = all(':checked');"
                       " i1.disabled = true; o + '|' + all('input:disabled') + '|' + all(':enabled')"),
              "o1|i1|s1 o1");
}

TEST_P(Selectors, ByTagClassNamesNameAndId) {
    ASSERT_TRUE(env.Add("var r = document.createElement('div'); document.body.appendChild(r);"
                        "r.innerHTML = \"<p id='a' class='x  y' name='n1'></p><p id='' class='Y'></p><span id='c' "
                        "class='x\\u00a0z'><b id='d' name='n1' class=''></b></span><my-el id='m'></my-el>\";"
                        "function tags(t) { return ids(r.getElementsByTagName(t)); }"
                        "function classes(c) { return ids(r.getElementsByClassName(c)); }"));
    EXPECT_EQ(env.Text("[tags('p'), tags('*'), tags(''), tags('MY-EL'), tags('a b'), ids(document.getElementsByTagName('body'))]"
                       ".join('|')"),
              "a P|a P c d m||m||BODY");
    // (A class list is split at ASCII white space only: a no-break space is part of a name.)
    EXPECT_EQ(env.Text("[classes(' y  x '), classes('Y'), classes('z'), classes(''), classes('x\\u00a0z'), classes('q')]"
                       ".join('|')"),
              "a|P|||c|");
    EXPECT_EQ(env.Text("ids(document.getElementsByName('n1')) + '|' + document.getElementsByName('').length + '|' + "
                       "document.getElementById('d').tagName + '|' + document.getElementById('zz')"),
              "a d|0|B|null");
    // No element has an empty id; a foreign element's tag is matched as written.
    EXPECT_EQ(env.Text("var g = document.createElement('div'); g.innerHTML = \"<svg><rect></rect><foreignObject>"
                       "</foreignObject></svg>\"; [document.getElementById(''), g.getElementsByTagName('rect').length,"
                       " g.getElementsByTagName('RECT').length, g.getElementsByTagName('foreignObject').length,"
                       " g.getElementsByTagName('SVG').length, g.querySelectorAll('RECT, foreignobject').length].join(' ')"),
              " 1 0 1 0 2");
}

TEST_P(Selectors, LargeTreesAnswerAsSmallOnes) {
    // A tree larger than the host searches is searched by the script, with the same answers,
    // and the small trees after it too.
    ASSERT_TRUE(env.Add("var big = document.createElement('div'), rows = [];"
                        "for (var i = 0; i < 300; i++) rows.push(\"<p class='row' id='r\" + i + \"'><b title='t\" + i +"
                        " \"'></b></p>\"); big.innerHTML = rows.join('');"));
    EXPECT_EQ(env.Text("var found = big.querySelectorAll('p.row > b[title$=\"9\"]'); found.length + ' ' + "
                       "found[0].getAttribute('title') + ' ' + found[29].getAttribute('title') + ' ' + big.querySelector('#r250 b').getAttribute('title') + ' ' + "
                       "big.querySelectorAll('*').length"),
              "30 t9 t299 t250 600");
    EXPECT_EQ(env.Text("all('#app > ul li, a') + '|' + first('[selected]') + '|' + all(':checked')"),
              "l1 l2 a1|o1|o1 i1");
    // A deep tree searched with descendant compounds that try every ancestor.
    ASSERT_TRUE(env.Add("var deep = document.createElement('div'), at = deep;"
                        "for (var i = 0; i < 100; i++) at = at.appendChild(document.createElement('div'));"));
    EXPECT_EQ(env.Text("deep.querySelectorAll('div span div').length + ' ' + deep.querySelectorAll('div div div').length + "
                       "' ' + deep.querySelectorAll('div > div > div').length + ' ' + at.matches('div span div') + ' ' + "
                       "at.closest('span div')"),
              "0 99 99 false null");
}

TEST(SelectorsOldTarget, NodesScriptsChangedAreReadAsBefore) {
    // In the old target scripts hold the page objects themselves and may change them.
    qy::test::EnvHost env(ScriptTarget::JScript58);
    ASSERT_TRUE(env.Add("var r = document.createElement('div'); r.innerHTML = \"<p id='a' class='x y' title='t'></p>"
                        "<p id='b'></p><span id='c'><b id='d' lang='en-GB'></b></span>\";"
                        "var a = r.firstChild, b = a.nextSibling, d = r.lastChild.lastChild;"
                        "function ids(list) { var o = []; for (var i = 0; i < list.length; i++) o.push(list[i].id);"
                        " return o.join(' '); }"));
    EXPECT_EQ(env.Text("a.className = {toString: function () { return 'x y'; }};"
                       "ids(r.querySelectorAll('.x')) + '/' + ids(r.querySelectorAll('[class~=y]'))"),
              "a/a");
    EXPECT_EQ(env.Text("a.className = 'x y'; a.id = 7; ids(r.querySelectorAll('#a')) + '/' + "
                       "ids(r.querySelectorAll('[id=a]')) + '/' + r.querySelectorAll('[id^=7]').length"),
              "/7/0");
    EXPECT_EQ(env.Text("a.id = 'a'; b.getAttribute = function (n) { return n === 'title' ? 'zz' : null; };"
                       "ids(r.querySelectorAll('[title=zz]')) + '/' + ids(r.querySelectorAll('[title]'))"),
              "b/a b");
    EXPECT_EQ(env.Text("d.__attributes = {lang: 'fr', constructor: 'k'};"
                       "ids(r.querySelectorAll('[lang|=fr]')) + '/' + ids(r.querySelectorAll('[constructor]')) + '/' + "
                       "r.querySelectorAll('[tostring]').length"),
              "d/d/0");
}

TEST(SelectorsPortable, TheScriptsReaderFindsWhatTheHostsDoes) {
    // Outside the workbench (the inserted environment code) the script reads every
    // selector itself; each probe of selectors answers there as in the workbench.
    std::string dir = qy::test::SourceDir() + "/tests/env/chrome/";
    std::string probes = qy::test::ReadFileBytes(dir + "harness.js") + "\n" + qy::test::ReadFileBytes(dir + "probes_selectors.js");
    qy::test::EnvHost workbench(ScriptTarget::ES2021, true, "https://www.example.com/index.html");
    ASSERT_TRUE(workbench.Add(probes)) << workbench.ErrorDescription();
    qy::test::EnvHost bare(ScriptTarget::ES2021, false, "https://www.example.com/index.html");
    ASSERT_TRUE(bare.Add(qy::env::InsertableBlock(false))) << bare.ErrorDescription();
    ASSERT_TRUE(bare.Add(probes)) << bare.ErrorDescription();
    std::string answers = workbench.Text("JSON.stringify(probeResults)");
    ASSERT_GT(answers.size(), 1000u);
    EXPECT_EQ(bare.Text("JSON.stringify(probeResults)"), answers);
}

INSTANTIATE_TEST_SUITE_P(Targets, Selectors, testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021),
                         qy::test::TargetName);

}  // namespace

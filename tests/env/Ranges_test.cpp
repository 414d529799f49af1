// Ranges, tree walkers, the performance timeline and element positions in whole pages
// and changing trees, where the probes of tests/env/chrome do not reach. The expected
// answers are those a headless Chromium gave for the same markup and steps; the old
// target keeps the environment it had.
#include <filesystem>
#include <fstream>

#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"
#include "env/PageHost.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

struct PageScope {
    explicit PageScope(env::PageSetup setup) { env::SetPageSetup(std::move(setup)); }
    ~PageScope() { env::SetPageSetup({}); }
};

// Blocks stack with their margins collapsed (the body's with the first paragraph's),
// lists indent, borders and padding move the content in; inline text runs along.
TEST(Positions, APageLaidOutFromItsMarkup) {
    env::PageSetup setup;
    setup.html = text::Utf8ToUtf16(
        "<!DOCTYPE html><html><head></head><body><p id=\"one\">one</p><p id=\"two\">two words</p>"
        "<ul id=\"l\"><li id=\"li\">item</li></ul><div id=\"box\" style=\"padding: 4px; border: 2px solid; margin: 10px 0\">"
        "<span id=\"in\">x</span></div></body></html>");
    PageScope scope(std::move(setup));
    EnvHost env(ScriptTarget::ES2021, true, "https://www.example.com/page.html");
    ASSERT_TRUE(env.Add("function at(id) { var e = document.getElementById(id), b = e.getBoundingClientRect();"
                        " return [e.offsetTop, e.offsetLeft, e.offsetHeight, b.y, b.x].join(); }"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("at('one')"), "16,8,18,16,8");
    EXPECT_EQ(env.Text("at('two')"), "50,8,18,50,8");
    EXPECT_EQ(env.Text("at('l')"), "84,8,18,84,8");
    EXPECT_EQ(env.Text("at('li')"), "84,48,18,84,48");
    EXPECT_EQ(env.Text("at('box')"), "118,8,30,118,8");
    EXPECT_EQ(env.Text("at('in') + ',' + document.getElementById('in').offsetWidth"), "124,14,17,124,14,8");
    EXPECT_EQ(env.Text("[document.body.getBoundingClientRect().x, document.body.getBoundingClientRect().y].join()"), "8,16");
    EXPECT_EQ(env.Text("var box = document.getElementById('box'); [box.clientTop, box.clientLeft, box.clientWidth - box.offsetWidth, document.getElementById('in').clientTop].join()"),
              "2,2,-4,0");
    // A box taken out of the page has no place; put back, it has its place again.
    EXPECT_EQ(env.Text("var b = document.getElementById('two'); b.remove();"
                       "[b.offsetTop, b.offsetParent, b.getBoundingClientRect().y, b.getClientRects().length,"
                       " document.getElementById('l').offsetTop].join()"),
              "0,,0,0,50");
    EXPECT_EQ(env.Text("var l = document.getElementById('l'); l.style.display = 'none';"
                       "var gone = [l.getClientRects().length, document.getElementById('box').offsetTop];"
                       "l.style.display = ''; gone.concat(l.getClientRects().length).join()"),
              "0,50,1");
    EXPECT_EQ(env.Text("document.body.insertBefore(b, document.getElementById('l')); [b.offsetTop, b.offsetParent.tagName].join()"),
              "50,BODY");
    // A document no window shows lays nothing out.
    EXPECT_EQ(env.Text("var made = new DOMParser().parseFromString('<p>x</p>', 'text/html').body.firstChild;"
                       "var h = document.implementation.createHTMLDocument('t'); h.body.innerHTML = '<div>abc</div>';"
                       "var hr = h.createRange(); hr.selectNodeContents(h.body.firstChild);"
                       "[made.offsetWidth, made.offsetHeight, made.offsetTop, made.getBoundingClientRect().width,"
                       " h.body.firstChild.offsetWidth, hr.getBoundingClientRect().width].join()"),
              "0,0,0,0,0,0");
    // Places follow every change: a style, a canvas's size, a text's data.
    EXPECT_EQ(env.Text("document.getElementById('one').style.height = '50px'; b.offsetTop"), "82");
    EXPECT_EQ(env.Text("var d = document.createElement('div'); d.innerHTML = '<canvas width=10 height=10></canvas><span>after</span>';"
                       "document.body.appendChild(d); var after = d.lastChild.offsetLeft;"
                       "d.firstChild.width = 100; [after, d.lastChild.offsetLeft].join()"),
              "18,108");
    EXPECT_EQ(env.Text("var s = d.lastChild, r = document.createRange(); r.selectNodeContents(s.firstChild);"
                       "var wide = r.getBoundingClientRect().width; s.firstChild.data = 'after after';"
                       "r.selectNodeContents(s.firstChild); r.getBoundingClientRect().width > wide * 2"),
              "true");
}

// Headings have their sizes and margins (in Chrome's 1/64 px) before anything of the page
// says otherwise.
TEST(Positions, HeadingsAndParagraphs) {
    env::PageSetup setup;
    setup.html = text::Utf8ToUtf16(
        "<!DOCTYPE html><html><head></head><body><h1 id=\"a\">Title</h1><h2 id=\"b\">Sub</h2><h3 id=\"c\">x</h3>"
        "<p id=\"d\">para</p><h6 id=\"e\">tiny</h6></body></html>");
    PageScope scope(std::move(setup));
    EnvHost env(ScriptTarget::ES2021, true, "https://www.example.com/page.html");
    EXPECT_EQ(env.Text("['a', 'b', 'c', 'd', 'e'].map(function (id) { var e = document.getElementById(id);"
                       " return e.offsetTop + ':' + e.offsetHeight; }).join()"),
              "21:37,80:27,127:22,168:18,210:12");
}

// Inline blocks and canvases sit on their line by their baseline, and raise it.
TEST(Positions, InlineBlocksOnTheirLines) {
    env::PageSetup setup;
    setup.html = text::Utf8ToUtf16(
        "<!DOCTYPE html><html><head></head><body><div id=\"w\"><span id=\"a\" style=\"display:inline-block;width:50px;height:30px\">"
        "</span><span id=\"b\" style=\"display:inline-block\">text</span></div><div id=\"n\">next</div><div>"
        "<span id=\"c\" style=\"display:inline-block\">ab</span> <span id=\"d\" style=\"display:inline-block;padding:2px\">cd</span>"
        "</div><div id=\"m\">after</div><div id=\"cv\">x<canvas id=\"k\" width=\"40\" height=\"60\"></canvas>y</div>"
        "<div id=\"z\">z</div></body></html>");
    PageScope scope(std::move(setup));
    EnvHost env(ScriptTarget::ES2021, true, "https://www.example.com/page.html");
    EXPECT_EQ(env.Text("['w', 'a', 'b', 'n', 'c', 'd', 'm', 'cv', 'k', 'z'].map(function (id) { var e = document.getElementById(id);"
                       " return [e.offsetTop, e.offsetLeft, e.offsetHeight].concat(e.tagName === 'DIV' ? [] : [e.offsetWidth]).join(' '); }).join()"),
              "8 8 34,8 8 30 50,24 58 18 24,42 8 18,62 8 18 15,60 27 22 19,82 8 18,100 8 64,100 16 60 40,164 8 18");
}

// A live range stays on the nodes it was set on while the tree around them changes.
TEST(Ranges, FollowTheTreeAsItChanges) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var d = document.createElement('div'); d.innerHTML = '<p>ab<i>cd</i></p><p>ef</p>';"
                        "document.body.appendChild(d);"
                        "var t = d.firstChild.lastChild.firstChild, rg = document.createRange();"
                        "rg.setStart(t, 1); rg.setEnd(d.lastChild.firstChild, 1);"
                        "var h = document.createElement('div'); h.appendChild(rg.extractContents());"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("[h.innerHTML, d.innerHTML, rg.startContainer.nodeName, rg.startOffset].join(' ')"),
              "<p><i>d</i></p><p>e</p> <p>ab<i>c</i></p><p>f</p> DIV 1");
    // Insertions before a boundary move it on; emptying or removing its container
    // brings it back to where the container was.
    EXPECT_EQ(env.Text("var q = document.createRange(); q.setStart(d, 1); q.setEnd(d, 2);"
                       "d.insertBefore(document.createElement('hr'), d.firstChild); [q.startOffset, q.endOffset].join()"),
              "2,3");
    EXPECT_EQ(env.Text("d.innerHTML = 'x'; [q.startContainer === d, q.startOffset, q.endOffset].join()"), "true,0,0");
    EXPECT_EQ(env.Text("document.body.removeChild(d); [q.startContainer === document.body, q.collapsed].join()"), "true,true");
    // A selection's range is the script's own object, and follows as well.
    EXPECT_EQ(env.Text("var p = document.createElement('p'); p.textContent = 'hello'; document.body.appendChild(p);"
                       "var s = getSelection(); s.removeAllRanges(); var r = document.createRange(); r.selectNodeContents(p);"
                       "s.addRange(r); p.appendChild(document.createTextNode(' world'));"
                       "[s.toString(), s.getRangeAt(0) === r, s.anchorNode === p, s.focusOffset].join()"),
              "hello,true,true,1");
    // A text written whole keeps its length and value, and the ranges in it go to its start.
    EXPECT_EQ(env.Text("var t = document.createTextNode('abc'), tr = document.createRange(); tr.setStart(t, 1); tr.setEnd(t, 2);"
                       "t.data = 'xyz0'; var one = [t.length, t.nodeValue, tr.startOffset, tr.endOffset].join();"
                       "t.nodeValue = null; one + ';' + [t.length, JSON.stringify(t.data)].join()"),
              "4,xyz0,0,0;0,\"\"");
    // A document no window shows has no selection.
    EXPECT_EQ(env.Text("String(document.implementation.createHTMLDocument('x').getSelection())"), "null");
}

// Filters that throw, call back into their own walker, or cannot be called fail the step
// that asked them, as Chrome says it.
TEST(Traversal, FiltersThatMisbehave) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("function fails(f) { try { f(); return 'none'; } catch (e) { return e.name + ': ' + e.message; } }"
                        "document.body.innerHTML = '<p>a</p><p>b</p>';"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("var w = document.createTreeWalker(document.body, NodeFilter.SHOW_ELEMENT, function () { w.nextNode(); return 1; });"
                       "fails(function () { w.nextNode(); })"),
              "InvalidStateError: Failed to execute 'nextNode' on 'TreeWalker': Filter function can't be recursive");
    EXPECT_EQ(env.Text("fails(function () { document.createTreeWalker(document.body, 1, {acceptNode: 5}).nextNode(); })"),
              "TypeError: Failed to execute 'nextNode' on 'TreeWalker': Failed to execute 'acceptNode' on 'NodeFilter': "
              "The provided callback is not callable.");
    // An object's acceptNode is called on the object, with the script's own nodes.
    EXPECT_EQ(env.Text("var seen = []; var it = document.createNodeIterator(document.body, NodeFilter.SHOW_TEXT,"
                       " {acceptNode: function (n) { seen.push(n.data + (this === filterObject)); return 1; }});"
                       "var filterObject = it.filter; it.nextNode(); it.nextNode(); seen.join()"),
              "atrue,btrue");
    EXPECT_EQ(env.Text("var k = 0, w3 = document.createTreeWalker(document.body, 1, function () {"
                       " if (k++ === 0) throw new Error('first'); return 1; });"
                       "[fails(function () { w3.nextNode(); }), w3.nextNode().tagName].join()"),
              "Error: first,P");
}

// The loaded page's navigation and what its markup fetched are on the timeline.
TEST(Timeline, TheLoadedPageShowsItsNavigationAndResources) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qy-timeline-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "lib.js") << "var libLoaded = true;";
    env::PageSetup setup;
    setup.folder = dir.string();
    setup.html = text::Utf8ToUtf16(
        "<!DOCTYPE html><html><head><script src=\"lib.js?v=2\"></script><link rel=\"stylesheet\" href=\"/css/a.css\">"
        "</head><body><img src=\"img/logo.png\"><script>var early = performance.getEntriesByType('resource').length;</script>"
        "</body></html>");
    PageScope scope(std::move(setup));
    EnvHost env(ScriptTarget::ES2021, true, "https://shop.example.com/item/1.html");
    std::filesystem::remove_all(dir);
    EXPECT_EQ(env.Text("performance.getEntriesByType('resource').map(function (e) { return e.initiatorType + ' ' + e.name; }).join()"),
              "script https://shop.example.com/item/lib.js?v=2,link https://shop.example.com/css/a.css,"
              "img https://shop.example.com/item/img/logo.png");
    EXPECT_EQ(env.Text("var n = performance.getEntriesByType('navigation')[0];"
                       "[n.name, n.entryType, n.type, n.initiatorType, n.startTime, n instanceof PerformanceResourceTiming].join()"),
              "https://shop.example.com/item/1.html,navigation,navigate,navigation,0,true");
    // Marks and measures come in time order after the page's own entries.
    EXPECT_EQ(env.Text("performance.mark('b', {startTime: 30}); performance.mark('a', {startTime: 20});"
                       "performance.measure('ab', 'a', 'b');"
                       "performance.getEntries().slice(-3).map(function (e) { return e.name + ':' + e.duration; }).join()"),
              "a:0,ab:10,b:0");
    EXPECT_TRUE(env.True("performance.getEntries()[0] === n && libLoaded"));
}

// The page's fine clock is Chrome's: never finer than a tenth of a millisecond, never
// going back, its origin a tenth-exact wall time that with it makes the date's time;
// the old target's stays in whole milliseconds.
TEST(Timeline, TheFineClockKeepsTenthsOfAMillisecond) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("function tenths(v) { return Math.abs(v * 10 - Math.round(v * 10)) < 1e-4; }"
                        "var last = -1, ok = true;"
                        "for (var n = 0; n < 200; n++) { var t = performance.now();"
                        "  if (!tenths(t) || t < last) ok = false; last = t; }"))
        << env.ErrorDescription();
    EXPECT_TRUE(env.True("ok && tenths(performance.timeOrigin)"));
    // Polled without a pause, the clock steps a tenth at a time: of a dozen steps some
    // fall between whole milliseconds.
    EXPECT_TRUE(env.True("(function () { var steps = 0, fractions = 0, at = performance.now();"
                         " for (var n = 0; n < 5e6 && steps < 12; n++) { var t = performance.now();"
                         "  if (t !== at) { steps++; if (t % 1 !== 0) fractions++; at = t; } }"
                         " return fractions > 0; })()"));
    EXPECT_TRUE(env.True("Math.abs(performance.timeOrigin + performance.now() - Date.now()) < 1000"));
    EnvHost old(ScriptTarget::JScript58);
    EXPECT_TRUE(old.True("performance.now() % 1 === 0"));
}

// The old target's environment is as it was: none of these members, positions at 0.
TEST(Ranges, TheOldTargetKeepsItsEnvironment) {
    EnvHost env(ScriptTarget::JScript58);
    EXPECT_EQ(env.Text("typeof document.createRange + typeof document.createTreeWalker + typeof getSelection"),
              "undefinedundefinedundefined");
    EXPECT_EQ(env.Text("var e = document.createElement('div'); document.body.appendChild(e);"
                       "[e.offsetTop, e.offsetLeft, performance.getEntries().length, typeof performance.mark].join()"),
              "0,0,0,function");
}

}  // namespace
}  // namespace qy::test

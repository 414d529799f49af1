// Handlers written as attributes, in the modern target: they run with Chrome's objects as
// `this` and as the event, and their names resolve on the element, its form owner and its
// document, as Chromium answered for the same page (headless, once; answers below).
#include <algorithm>

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

const char16_t* const kPage =
    u"<!DOCTYPE html><html><head><script>var R = [];</script></head>"
    u"<body onload=\"R.push(['load', this === window, String(event), event.target === document,"
    u" event.currentTarget === window, typeof title, typeof getElementById, window.onload === document.body.onload].join())\">"
    u"<form name=\"f\" action=\"/go\" onsubmit=\"R.push(['submit', this.u.value, this instanceof HTMLFormElement, String(event),"
    u" event instanceof SubmitEvent, event.target === this, event.currentTarget === this, event.submitter.id].join()); return false;\">"
    u"<input name=\"u\" value=\"abc\"><button id=\"b\" title=\"bt\" onclick=\"R.push(['click', this.tagName,"
    u" this instanceof HTMLButtonElement, u.value, title, id, typeof action, action === this.form.action, typeof elements,"
    u" typeof getElementById, typeof cookie, typeof forms, String(event), event instanceof MouseEvent, event.target === this,"
    u" event.currentTarget === this].join())\">go</button>"
    u"<a id=\"a\" href=\"#x\" onclick=\"R.push(['a', this instanceof HTMLAnchorElement, typeof u, typeof elements].join()); return false\">x</a>"
    u"</form><div id=\"d\" title=\"dt\" onclick=\"R.push(['div', title, typeof u, String(arguments.callee).replace(/\\n/g, '|'),"
    u" arguments.callee.name, arguments.length].join())\"></div>"
    u"<script>document.getElementById('b').click(); document.getElementById('d').click();"
    u" R.push('a cancelled ' + !document.getElementById('a').dispatchEvent(new MouseEvent('click', {cancelable: true})));</script>"
    u"</body></html>";

// The page as Chromium ran it: `this`, the event and its targets are the page's objects
// as scripts know them, and names resolve on the element, then the form owner (a form
// control's only), then the document; the body's onload is the window's, and sees the
// global alone.
TEST(AttributeHandlers, PageHandlersSeeChromesObjectsAndScopes) {
    env::PageSetup setup;
    setup.html = kPage;
    PageScope scope(std::move(setup));
    EnvHost env(ScriptTarget::ES2021, true, "http://127.0.0.1:8765/dir/page.html");
    ASSERT_TRUE(env.Add(";")) << env.ErrorDescription();
    EXPECT_EQ(env.Text("R.join('\\n')"),
              "click,BUTTON,true,abc,bt,b,string,true,object,function,string,object,[object PointerEvent],true,true,true\n"
              "submit,abc,true,[object SubmitEvent],true,true,true,b\n"
              "div,dt,undefined,function onclick(event) {|R.push(['div', title, typeof u, String(arguments.callee)"
              ".replace(/\\n/g, '|'), arguments.callee.name, arguments.length].join())|},onclick,1\n"
              "a,true,undefined,undefined\n"
              "a cancelled true\n"
              "load,true,[object Event],true,true,undefined,undefined,true");
    // The submit handler's false kept the form from being submitted.
    EXPECT_TRUE(std::none_of(env.lines.begin(), env.lines.end(),
                             [](const std::string& l) { return l.find("表单提交") != std::string::npos; }));
    EXPECT_EQ(env.Text("typeof document.body.onload + ' ' + (document.body.onload === onload)"), "function true");
}

// Elements made from markup after the load, or given a handler attribute by a script,
// have the same handlers; a control's form owner is the one it has when its handler is
// first run (Chrome compiles the handler then, and keeps it).
TEST(AttributeHandlers, MarkupAndSetAttributeMakeTheSameHandlers) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add(
        "var R = [], s = document.createElement('span'); document.body.appendChild(s);"
        "s.innerHTML = '<i id=\"i\" onclick=\"R.push([this instanceof HTMLElement, this.tagName, typeof getElementById,"
        " String(event), event.target === this].join())\">t</i>';"
        "document.getElementById('i').click();"
        "var x = document.createElement('div'); x.setAttribute('onclick', 'R.push(this === x); return false');"
        "R.push(x.dispatchEvent(new MouseEvent('click', {cancelable: true})));"
        "var f = document.createElement('form'); f.innerHTML = '<input name=\"q\" value=\"v1\">'; document.body.appendChild(f);"
        "var c = document.createElement('input'); c.setAttribute('onchange', 'R.push(typeof q === \"undefined\" ? \"none\" : q.value)');"
        "c.dispatchEvent(new Event('change')); f.appendChild(c); c.dispatchEvent(new Event('change'));"
        "var c2 = document.createElement('input'); c2.setAttribute('onchange', 'R.push(typeof q === \"undefined\" ? \"none\" : q.value)');"
        "f.appendChild(c2); c2.dispatchEvent(new Event('change'));"))
        << env.ErrorDescription();
    EXPECT_EQ(env.Text("R.join(' ')"), "true,I,function,[object PointerEvent],true true false none none v1");
    // Names the scopes do not hold are the global's; a body that does not parse is
    // reported and sets no handler.
    EXPECT_EQ(env.Text("var d = document.createElement('div'); d.setAttribute('onclick', 'return [typeof element, typeof form,"
                       " typeof arguments[1], document === window.document].join()'); d.onclick()"),
              "undefined,undefined,undefined,true");
    EXPECT_EQ(env.Text("var y = document.createElement('b'); y.setAttribute('onclick', '}); R.push(1); (function () {'); String(y.onclick)"),
              "null");
}

// Listeners added by scripts already saw Chrome's objects; they still do beside the
// attribute's handler, and the old target's handlers keep their page objects.
TEST(AttributeHandlers, ListenersAndTheOldTargetKeepTheirWays) {
    EnvHost modern(ScriptTarget::ES2021);
    ASSERT_TRUE(modern.Add("var R = [], b = document.createElement('button'); b.setAttribute('onclick', 'R.push(\"attr\")');"
                           "b.addEventListener('click', function (e) { R.push([this === b, e instanceof MouseEvent, e.target === b].join()); });"
                           "b.click();"))
        << modern.ErrorDescription();
    EXPECT_EQ(modern.Text("R.join(' ')"), "attr true,true,true");
    EnvHost old(ScriptTarget::JScript58);
    ASSERT_TRUE(old.Add("var R = [], b = document.createElement('button'); b.setAttribute('onclick', 'R.push(this === b)');"
                        "b.click();"))
        << old.ErrorDescription();
    EXPECT_EQ(old.Text("R.join(' ')"), "true");
}

}  // namespace
}  // namespace qy::test

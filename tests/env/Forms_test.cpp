// Forms: what a submission would send, worked out as Chrome does and recorded in the log
// (never sent); the submit event and its cancelling; a form's settings, controls and
// FormData as Chrome reflects them.
#include <gtest/gtest.h>

#include <regex>

#include "EnvTestSupport.h"

using namespace qy;
using namespace qy::test;
using script::ScriptTarget;

namespace {

const char kPage[] = "http://127.0.0.1:8765/dir/page.html?was=1";

// The controls of every encoding case: text with blanks and reserved characters,
// Chinese names and values, checkboxes (one without a value), radios, a multiple and a
// single select, a disabled control, a nameless one, a textarea over two lines, a hidden
// field of punctuation, an empty file field, buttons that do not count, a disabled
// fieldset.
const char kFields[] = R"(
 <input name="q" value="a b&amp;c=d+e">
 <input name="中文" value="你好 世界">
 <input type="checkbox" name="c" value="1" checked>
 <input type="checkbox" name="c" value="2">
 <input type="checkbox" name="c" value="3" checked>
 <input type="checkbox" name="bare" checked>
 <input type="radio" name="r" value="x">
 <input type="radio" name="r" value="y" checked>
 <select name="s" multiple><option value="s1" selected>one</option><option>s2 text</option><option selected>s3 text</option></select>
 <select name="one"><option>first</option><option>second</option></select>
 <input name="dis" value="no" disabled>
 <input value="nameless">
 <textarea name="t">l1
l2</textarea>
 <input type="hidden" name="h" value="*-._~!'()%/:?">
 <input type="file" name="f">
 <button type="button" name="b0" value="no">b</button>
 <button name="go" value="Go!">go</button>
 <input type="submit" name="other" value="Other">
 <fieldset disabled><input name="infs" value="no"></fieldset>
)";

// What Chromium sent for these controls, received by a server on 127.0.0.1 (the
// submitter, where there is one, is the button "go").
const char kChromeQuery[] =
    "q=a+b%26c%3Dd%2Be&%E4%B8%AD%E6%96%87=%E4%BD%A0%E5%A5%BD+%E4%B8%96%E7%95%8C&c=1&c=3&bare=on&r=y&s=s1&s=s3+text"
    "&one=first&t=l1%0D%0Al2&h=*-._%7E%21%27%28%29%25%2F%3A%3F&f=";
const char kChromePlain[] =
    "q=a b&c=d+e\r\n中文=你好 世界\r\nc=1\r\nc=3\r\nbare=on\r\nr=y\r\ns=s1\r\ns=s3 text\r\none=first\r\nt=l1\r\nl2\r\n"
    "h=*-._~!'()%/:?\r\nf=\r\n";
// Its boundary is random; here it is "B".
const char kChromeMultipart[] =
    "--B\r\nContent-Disposition: form-data; name=\"q\"\r\n\r\na b&c=d+e\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"中文\"\r\n\r\n你好 世界\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"c\"\r\n\r\n1\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"c\"\r\n\r\n3\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"bare\"\r\n\r\non\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"r\"\r\n\r\ny\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"s\"\r\n\r\ns1\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"s\"\r\n\r\ns3 text\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"one\"\r\n\r\nfirst\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"t\"\r\n\r\nl1\r\nl2\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"h\"\r\n\r\n*-._~!'()%/:?\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"f\"; filename=\"\"\r\nContent-Type: application/octet-stream\r\n\r\n\r\n"
    "--B\r\nContent-Disposition: form-data; name=\"q%22u%0D%0Ax\"\r\n\r\nv\"\r\nw\r\n"
    "--B--\r\n";

// The log shows a line break as ↵ (CR LF as one).
std::string Shown(std::string text) {
    size_t at;
    while ((at = text.find("\r\n")) != std::string::npos) text.replace(at, 2, "↵");
    return text;
}
// The random boundary made "B".
std::string OneBoundary(const std::string& line) {
    return std::regex_replace(line, std::regex("----WebKitFormBoundary[A-Za-z0-9]{16}"), "B");
}

class Forms : public testing::Test {
protected:
    EnvHost env{ScriptTarget::ES2021, true, kPage};

    // A form of the fields above with `attributes`, as the page's only form.
    void Form(const std::string& attributes) {
        env.lines.clear();
        ASSERT_TRUE(env.Add(std::string("document.body.innerHTML = `<form id=\"f\" ") + attributes + ">" + kFields +
                            "</form>`; var f = document.getElementById('f'), go = f.querySelector('[name=go]');"))
            << env.ErrorDescription();
    }
    std::string Only() {
        EXPECT_EQ(env.lines.size(), 1u);
        return env.lines.empty() ? "" : env.lines.back();
    }
};

TEST_F(Forms, EncodedAsChromeSendsThem) {
    // GET: the query replaces the action's; the fragment stays with the address.
    Form("action=\"/s?old=1#frag\"");
    ASSERT_TRUE(env.Add("go.click();"));
    EXPECT_EQ(Only(), std::string("-->表单提交（未发送）：GET http://127.0.0.1:8765/s?") + kChromeQuery + "&go=Go%21#frag（表单）");

    Form("action=\"/p\" method=\"post\"");
    ASSERT_TRUE(env.Add("f.requestSubmit(go);"));
    EXPECT_EQ(Only(), std::string("-->表单提交（未发送）：POST http://127.0.0.1:8765/p 正文：") + kChromeQuery +
                          "&go=Go%21（表单，application/x-www-form-urlencoded）");

    Form("action=\"/t\" method=\"post\" enctype=\"text/plain\"");
    ASSERT_TRUE(env.Add("f.submit();"));
    EXPECT_EQ(Only(), "-->表单提交（未发送）：POST http://127.0.0.1:8765/t 正文：" + Shown(kChromePlain) + "（表单，text/plain）");

    // Multipart: a name's quote and line break are escaped, a value's are not.
    Form("action=\"/m\" method=\"post\" enctype=\"multipart/form-data\"");
    ASSERT_TRUE(env.Add("var odd = document.createElement('input'); odd.type = 'hidden'; odd.name = 'q\"u\\nx';"
                        "odd.value = 'v\"\\r\\nw'; f.appendChild(odd); f.submit();"));
    EXPECT_EQ(OneBoundary(Only()), "-->表单提交（未发送）：POST http://127.0.0.1:8765/m 正文：" + Shown(kChromeMultipart) +
                                       "（表单，multipart/form-data; boundary=B）");

    // No action: the page's own address, its query replaced.
    Form("method=\"get\"");
    ASSERT_TRUE(env.Add("f.submit();"));
    EXPECT_EQ(Only(), std::string("-->表单提交（未发送）：GET http://127.0.0.1:8765/dir/page.html?") + kChromeQuery + "（表单）");
}

TEST_F(Forms, TheSubmitterDecidesWhereAndHow) {
    // Chromium: POST /a2 (address a2#fr), text/plain "k=v\r\nx=y\r\n".
    env.lines.clear();
    ASSERT_TRUE(env.Add("document.body.innerHTML = '<form action=\"/a2#fr\" method=\"post\"><input name=\"k\" value=\"v\">"
                        "<button name=\"x\" value=\"y\" formenctype=\"text/plain\"><span>b</span></button></form>';"
                        "document.querySelector('span').click();"));
    EXPECT_EQ(Only(), "-->表单提交（未发送）：POST http://127.0.0.1:8765/a2#fr 正文：k=v↵x=y↵（表单，text/plain）");
    // Chromium: a GET form whose button posts multipart to the action with its query kept.
    env.lines.clear();
    ASSERT_TRUE(env.Add("document.body.innerHTML = '<form action=\"a3?old#fr\" target=\"_blank\"><input type=\"hidden\" name=\"k\">"
                        "<button name=\"x\" value=\"y\" formmethod=\"post\" formenctype=\"multipart/form-data\">b</button></form>';"
                        "document.querySelector('[name=k]').value = 'v\"\\r\\nw'; document.querySelector('button').click();"));
    EXPECT_EQ(OneBoundary(Only()),
              "-->表单提交（未发送）：POST http://127.0.0.1:8765/dir/a3?old#fr 正文：--B↵Content-Disposition: form-data; "
              "name=\"k\"↵↵v\"↵w↵--B↵Content-Disposition: form-data; name=\"x\"↵↵y↵--B--↵（表单，目标 _blank，multipart/form-data; "
              "boundary=B）");
    // formaction resolves as the page's links do.
    env.lines.clear();
    ASSERT_TRUE(env.Add("document.body.innerHTML = '<form action=\"/a\"><input name=\"k\" value=\"v w\">"
                        "<input type=\"submit\" formaction=\"../up/x y.php?z=1#h\"></form>';"
                        "document.querySelector('[type=submit]').click();"));
    EXPECT_EQ(Only(), "-->表单提交（未发送）：GET http://127.0.0.1:8765/up/x%20y.php?k=v+w#h（表单）");
}

TEST_F(Forms, SubmitEventsAndCancelling) {
    Form("action=\"/e\"");
    ASSERT_TRUE(env.Add("var seen = []; f.addEventListener('submit', function (e) {"
                        "  seen.push([e.constructor.name, e.type, e.bubbles, e.cancelable, e.composed, e.isTrusted,"
                        "             e.submitter === go, e.target === f].join(' '));"
                        "  if (window.cancel) e.preventDefault(); });"
                        "f.requestSubmit(go);"));
    EXPECT_EQ(env.Text("seen.join('|')"), "SubmitEvent submit true true false true true true");
    EXPECT_EQ(env.lines.size(), 1u);
    // Cancelled by a listener, by onsubmit's false, or clicked on a button of no submit:
    // nothing goes.
    env.lines.clear();
    ASSERT_TRUE(env.Add("window.cancel = true; f.requestSubmit(); go.click();"
                        "window.cancel = false; f.onsubmit = function () { return false; }; f.requestSubmit();"
                        "f.onsubmit = null; f.querySelector('[name=b0]').click(); go.disabled = true; go.click(); go.disabled = false;"));
    EXPECT_TRUE(env.lines.empty()) << env.lines.front();
    EXPECT_EQ(env.Text("seen.slice(1).map(function (s) { return s.split(' ')[6]; }).join(' ')"), "false true false");
    // submit() fires no event and sends.
    ASSERT_TRUE(env.Add("seen = []; f.submit();"));
    EXPECT_EQ(env.Text("seen.length"), "0");
    EXPECT_EQ(env.lines.size(), 1u);
    // A click cancelled before it is done sends nothing; a made-up click is a click.
    env.lines.clear();
    ASSERT_TRUE(env.Add("go.addEventListener('click', function (e) { if (window.stopClick) e.preventDefault(); });"
                        "window.stopClick = true; go.click(); window.stopClick = false;"
                        "go.dispatchEvent(new MouseEvent('click', {bubbles: true, cancelable: true}));"));
    EXPECT_EQ(env.lines.size(), 1u);
    // A listener that submits again from inside the submit event sends once.
    env.lines.clear();
    ASSERT_TRUE(env.Add("var form2 = document.createElement('form'); document.body.appendChild(form2);"
                        "form2.onsubmit = function () { form2.requestSubmit(); }; form2.requestSubmit();"));
    EXPECT_EQ(env.lines.size(), 1u);
    // reset: the controls go back to what the page's HTML said.
    ASSERT_TRUE(env.Add("f.q.value = 'changed'; f.querySelector('[value=\"2\"]').checked = true; f.reset();"));
    EXPECT_EQ(env.Text("f.q.value + ' ' + f.querySelector('[value=\"2\"]').checked"), "a b&c=d+e false");
}

TEST_F(Forms, ClicksOnBoxesAndRequiredFields) {
    env.lines.clear();
    ASSERT_TRUE(env.Add("document.body.innerHTML = '<form name=\"c\" action=\"/c\"><input type=\"checkbox\" name=\"a\" value=\"1\">"
                        "<input type=\"radio\" name=\"r\" value=\"x\" checked><input type=\"radio\" name=\"r\" value=\"y\">"
                        "<input name=\"need\" required><button>go</button></form>';"
                        "var f = document.forms[0], heard = [], named = document.forms.length + ' ' + (document.forms.c === f);"
                        "['input', 'change', 'invalid'].forEach(function (t) { f.addEventListener(t, function (e) {"
                        "  heard.push(t + ':' + e.target.name); }, true); });"
                        "f.a.click(); f.querySelector('[value=y]').click(); f.querySelector('[value=y]').click();"
                        "f.querySelector('button').click();"))
        << env.ErrorDescription();
    // As in Chromium: a box changes and says so; a radio already chosen says nothing; a
    // required field left empty keeps the form from going and hears "invalid".
    EXPECT_EQ(env.Text("heard.join(' ')"), "input:a change:a input:r change:r invalid:need");
    EXPECT_EQ(env.Text("named"), "1 true");
    EXPECT_TRUE(env.lines.empty()) << env.lines.front();
    EXPECT_EQ(env.Text("f.checkValidity() + ' ' + (f.need.value = 'v', f.checkValidity())"), "false true");
    ASSERT_TRUE(env.Add("f.querySelector('button').click();"));
    EXPECT_EQ(Only(), "-->表单提交（未发送）：GET http://127.0.0.1:8765/c?a=1&r=y&need=v（表单）");
    // A cancelled click leaves the box as it was; submit() does not check.
    env.lines.clear();
    ASSERT_TRUE(env.Add("f.a.addEventListener('click', function (e) { e.preventDefault(); }); f.a.click();"
                        "f.need.value = ''; f.submit();"));
    EXPECT_EQ(Only(), "-->表单提交（未发送）：GET http://127.0.0.1:8765/c?a=1&r=y&need=（表单）");
    // A disabled button hears no click.
    EXPECT_EQ(env.Text("var clicks = 0, d = document.createElement('button'); d.disabled = true;"
                       "d.addEventListener('click', function () { clicks++; }); d.click(); clicks"),
              "0");
}

TEST_F(Forms, SettingsControlsAndFormDataAsChromeShowsThem) {
    // Chromium's answers for these forms on the page http://127.0.0.1:8765/reflect.
    env.lines.clear();
    ASSERT_TRUE(env.Add("document.body.innerHTML = '<form id=\"a\"></form><form id=\"b\" action=\"x/y?z#w\" method=\"PoSt\" "
                        "enctype=\"TEXT/plain\" target=\"_blank\"></form><form id=\"c\" method=\"put\" enctype=\"bogus\" "
                        "action=\" \"></form><form id=\"d\" method=\"dialog\"></form>';"
                        "function show(id) { var f = document.getElementById(id);"
                        "  return [f.action, f.method, f.enctype, f.encoding, f.target, f.elements.length, f.length].join(' | '); }"));
    EXPECT_EQ(env.Text("show('a')"), "http://127.0.0.1:8765/dir/page.html?was=1 | get | application/x-www-form-urlencoded | "
                                     "application/x-www-form-urlencoded |  | 0 | 0");
    EXPECT_EQ(env.Text("show('b')"), "http://127.0.0.1:8765/dir/x/y?z#w | post | text/plain | text/plain | _blank | 0 | 0");
    EXPECT_EQ(env.Text("show('c')"), "http://127.0.0.1:8765/dir/page.html?was=1 | get | application/x-www-form-urlencoded | "
                                     "application/x-www-form-urlencoded |  | 0 | 0");
    EXPECT_EQ(env.Text("show('d').split(' | ')[1]"), "dialog");
    EXPECT_EQ(env.Text("var a = document.getElementById('a'); a.method = 'GET'; a.enctype = 'multipart/form-data'; a.action = '../q';"
                       "[a.getAttribute('method'), a.method, a.enctype, a.action, a.getAttribute('action')].join(' ')"),
              "GET get multipart/form-data http://127.0.0.1:8765/q ../q");
    // A dialog's form sends nothing.
    ASSERT_TRUE(env.Add("document.getElementById('d').submit();"));
    EXPECT_TRUE(env.lines.empty());
    // requestSubmit with a submitter that is not one, or not this form's.
    auto failure = [&](const std::string& submitter) {
        return env.Text("(function () { try { a.requestSubmit(" + submitter + "); return 'none'; }"
                        " catch (e) { return e.name + ': ' + e.message + ' ' + (e instanceof DOMException); } })()");
    };
    EXPECT_EQ(failure("document.createElement('div')"),
              "TypeError: Failed to execute 'requestSubmit' on 'HTMLFormElement': The specified element is not a submit button. false");
    EXPECT_EQ(failure("document.createElement('button')"),
              "NotFoundError: Failed to execute 'requestSubmit' on 'HTMLFormElement': The specified element is not owned by this "
              "form element. true");
    EXPECT_EQ(failure("document.createElement('input')"),
              "TypeError: Failed to execute 'requestSubmit' on 'HTMLFormElement': The specified element is not a submit button. false");
    EXPECT_EQ(env.Text("document.createElement('button').type + ' ' + document.createElement('input').type"), "submit text");

    // FormData from a form, the submitter in its place (an image button that did not send
    // is left out); FormData of its own.
    ASSERT_TRUE(env.Add("var g = document.createElement('form'); g.innerHTML = '<input name=a value=1><input type=checkbox name=c checked>"
                        "<select name=s><option>x<option selected>y</select><button name=sb value=sv>b</button><input type=image name=img>';"
                        "var sub = g.querySelector('button');"));
    EXPECT_EQ(env.Text("JSON.stringify([...new FormData(g, sub)])"), R"([["a","1"],["c","on"],["s","y"],["sb","sv"]])");
    EXPECT_EQ(env.Text("JSON.stringify([...new FormData(g)])"), R"([["a","1"],["c","on"],["s","y"]])");
    EXPECT_EQ(env.Text("var fd = new FormData(); fd.append('k', 'v1'); fd.append('k', 'v2'); fd.set('z', 3);"
                       "JSON.stringify([...fd]) + ' ' + fd.get('k') + ' ' + fd.getAll('k') + ' ' + fd.has('z') + ' ' + fd.get('nope')"),
              R"([["k","v1"],["k","v2"],["z","3"]] v1 v1,v2 true null)");
    EXPECT_EQ(env.Text("fd.set('k', 'one'); fd.delete('z'); var keys = []; fd.forEach(function (v, k) { keys.push(k + '=' + v); });"
                       "keys.join('&') + ' ' + [...fd.keys()] + ' ' + [...fd.values()]"),
              "k=one k one");
    // Chromium's words for what FormData and requestSubmit refuse; an image button sends
    // where it was clicked (from a script: 0, 0).
    auto refused = [&](const std::string& code) {
        return env.Text("(function () { try { " + code + "; return 'none'; } catch (e) { return e.name + ': ' + e.message; } })()");
    };
    EXPECT_EQ(refused("new FormData(document.body)"),
              "TypeError: Failed to construct 'FormData': parameter 1 is not of type 'HTMLFormElement'.");
    EXPECT_EQ(refused("new FormData(g, document.createElement('div'))"),
              "TypeError: Failed to construct 'FormData': The specified element is not a submit button.");
    EXPECT_EQ(refused("new FormData(g, document.createElement('button'))"),
              "NotFoundError: Failed to construct 'FormData': The specified element is not owned by this form element.");
    EXPECT_EQ(refused("new FormData(g, {})"), "TypeError: Failed to construct 'FormData': parameter 2 is not of type 'HTMLElement'.");
    EXPECT_EQ(refused("g.requestSubmit({})"),
              "TypeError: Failed to execute 'requestSubmit' on 'HTMLFormElement': parameter 1 is not of type 'HTMLElement'.");
    EXPECT_EQ(env.Text("JSON.stringify([...new FormData(g, g.querySelector('[type=image]'))])"),
              R"([["a","1"],["c","on"],["s","y"],["img.x","0"],["img.y","0"]])");
    // The controls as a form lists them: by index, by name, live, the same list each time.
    EXPECT_EQ(env.Text("[g.elements.length, g.length, g[0].name, g.elements.s.tagName, g.elements === g.elements,"
                       " g.elements[3].name, g.s.value, g.s.selectedIndex, g[0].form === g].join(' ')"),
              "4 4 a SELECT true sb y 1 true");
    EXPECT_EQ(env.Text("g.s.value = 'x'; g.s.selectedIndex + ' ' + new FormData(g).get('s')"), "0 x");
    // A select's options read as scripts read them; choosing one leaves the others.
    EXPECT_EQ(env.Text("var o = g.s.options; g.s.options[1].selected = true;"
                       "[o === g.s.options, o.length, g.s.length, o[1].text, o[1].value, o[1].index, o.selectedIndex,"
                       " o[0].selected, g.s.selectedOptions.length, g.s.value].join(' ')"),
              "true 2 2 y y 1 1 false 1 y");
    // A FormData sent as a request's body is the multipart text.
    env.lines.clear();
    ASSERT_TRUE(env.Add("var x = new XMLHttpRequest(); x.open('POST', '/api'); x.send(new FormData(g));"));
    ASSERT_EQ(env.lines.size(), 1u);
    EXPECT_EQ(OneBoundary(env.lines[0]),
              "-->网络请求（未发送）：POST /api 正文：--B↵Content-Disposition: form-data; name=\"a\"↵↵1↵--B↵Content-Disposition: "
              "form-data; name=\"c\"↵↵on↵--B↵Content-Disposition: form-data; name=\"s\"↵↵y↵--B--↵（XMLHttpRequest）");
}

// The old target has forms too: its scripts see the page objects themselves.
TEST(FormsInJScript, SubmitAndClickSend) {
    EnvHost env(ScriptTarget::JScript58, true, kPage);
    ASSERT_TRUE(env.Add("document.body.innerHTML = '<form action=\"go.asp\" method=\"post\"><input name=\"n\" value=\"中 文\">"
                        "<input type=\"submit\" name=\"s\" value=\"ok\"></form>';"
                        "var f = document.forms[0]; f.submit(); f.elements[1].click();"))
        << env.ErrorDescription();
    EXPECT_EQ(env.lines, (std::vector<std::string>{
                             "-->表单提交（未发送）：POST http://127.0.0.1:8765/dir/go.asp 正文：n=%E4%B8%AD+%E6%96%87（表单，"
                             "application/x-www-form-urlencoded）",
                             "-->表单提交（未发送）：POST http://127.0.0.1:8765/dir/go.asp 正文：n=%E4%B8%AD+%E6%96%87&s=ok（表单，"
                             "application/x-www-form-urlencoded）"}));
}

}  // namespace

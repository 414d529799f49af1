// Chrome's face of the page in the modern target: what the recorded probes cannot show
// (behaviour behind the members, the persona's clock, what stays out of scripts' reach)
// and what must hold for every member, not only the probed ones.
#include "env/EnvTestSupport.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

class ChromeFace : public testing::Test {
protected:
    EnvHost env{ScriptTarget::ES2021};
};

TEST_F(ChromeFace, EveryMemberOfEveryInterfaceIsNativeAndNamedAsChromeNamesIt) {
    // All interfaces the window gives, each member on each prototype: natives that show
    // no source, accessors named "get x"/"set x", no prototype on methods.
    std::string bad = env.Text(R"JS((function () {
        var bad = [], seen = 0;
        Object.getOwnPropertyNames(window).forEach(function (name) {
            var d = Object.getOwnPropertyDescriptor(window, name), f = d && d.value;
            if (typeof f !== 'function' || !/^[A-Z]/.test(name) || !f.prototype || !f.prototype[Symbol.toStringTag]) return;
            [f, f.prototype].forEach(function (holder) {
                Object.getOwnPropertyNames(holder).forEach(function (k) {
                    var m = Object.getOwnPropertyDescriptor(holder, k);
                    [['', m.value], ['get ', m.get], ['set ', m.set]].forEach(function (pair) {
                        var fn = pair[1];
                        if (typeof fn !== 'function' || k === 'constructor' || (pair[0] === '' && k === 'prototype')) return;
                        seen++;
                        var text = Function.prototype.toString.call(fn);
                        if (!/^function [\w$ -]*\(\) \{\s*\[native code\]\s*\}$/.test(text)) bad.push(name + '.' + k + ' prints ' + text);
                        else if (pair[0] && fn.name !== pair[0] + k) bad.push(name + '.' + k + ' is named ' + fn.name);
                        else if (pair[0] === '' && Object.prototype.hasOwnProperty.call(fn, 'prototype')) bad.push(name + '.' + k + ' has a prototype');
                    });
                });
            });
        });
        return seen > 5000 ? bad.slice(0, 5).join('\n') : 'only ' + seen + ' members';
    })())JS");
    EXPECT_EQ(bad, "");
}

// What every page interface shows a script: its constructor, and each own member of the
// constructor and the prototype with its kind, flags and length, in name order. (The
// language's own classes are left out: the persona adds to them in the workbench only.)
constexpr const char* kInterfaceSurface = R"JS((function () {
    var out = [];
    Object.getOwnPropertyNames(window).sort().forEach(function (name) {
        var d = Object.getOwnPropertyDescriptor(window, name), f = d && d.value;
        if (typeof f !== 'function' || !/^[A-Z]/.test(name) || !f.prototype || !f.prototype[Symbol.toStringTag]) return;
        if (/^(ArrayBuffer|SharedArrayBuffer|DataView|Iterator|Map|Set|WeakMap|WeakSet|WeakRef|FinalizationRegistry|Promise|Symbol|BigInt)$/.test(name)) return;
        var row = [name, f.name, f.length, Object.getPrototypeOf(f.prototype) && Object.getPrototypeOf(f.prototype)[Symbol.toStringTag]];
        [f, f.prototype].forEach(function (holder) {
            Object.getOwnPropertyNames(holder).sort().forEach(function (k) {
                var m = Object.getOwnPropertyDescriptor(holder, k);
                row.push(k + ':' + (m.get ? 'g' : '') + (m.set ? 's' : '') + (m.enumerable ? 'e' : '') + (m.configurable ? 'c' : '') +
                    (m.writable ? 'w' : '') + (typeof m.value === 'function' ? m.value.length : typeof m.value === 'number' ? m.value : ''));
            });
        });
        out.push(row.join(' '));
    });
    return out.length + '\n' + out.join('\n');
})())JS";

TEST_F(ChromeFace, TheTableReadOnceForTheProcessGivesWhatTheScriptReadsFromIt) {
    // The workbench reads the interface table once for the process; the portable form
    // (outside the workbench) reads each line in script. Both must show the same interfaces.
    std::string workbench = env.Text(kInterfaceSurface);
    EnvHost bare(ScriptTarget::ES2021, false);
    ASSERT_TRUE(bare.Add(env::InsertableBlock(false))) << bare.ErrorDescription();
    std::string portable = bare.Text(kInterfaceSurface);
    ASSERT_GT(std::stoi(workbench), 500);
    EXPECT_EQ(workbench, portable);
}

TEST_F(ChromeFace, APageReplacingReflectOrProxyBreaksNoPageObject) {
    // The page objects' own work keeps the language's reflection as it found it.
    ASSERT_TRUE(env.Add("var d = document.createElement('div'); d.innerHTML = '<div id=\"q\" data-k=\"v\"></div><form name=\"f\"></form>';"
                        "document.body.appendChild(d); Reflect = {}; Proxy = null;"));
    EXPECT_EQ(env.Text("[typeof q, typeof window.nothere, 'q' in window, q.dataset.k, typeof document.f,"
                       " Object.keys(q.dataset).join(), document.querySelector('#q') === q].join(' ')"),
              "object undefined true v object k true");
}

TEST_F(ChromeFace, WhatAPageChangesEndsWithItsReset) {
    // Every Reset makes the page anew: a change a script makes to the interfaces, the
    // built-ins, the window or the page does not reach the next one.
    ASSERT_TRUE(env.Add(R"JS(
        Node.prototype.appendChild = function () { return 'patched'; };
        HTMLDivElement.prototype.extra = 1;
        Object.defineProperty(Navigator.prototype, 'userAgent', {get: function () { return 'mine'; }});
        Date.prototype.toString = function () { return 'no date'; };
        Object.prototype.timeZoneName = 'short';
        window.leftOver = 1;
        document.title = 'changed';
        document.body.appendChild(document.createElement('p')).id = 'added';
        document.cookie = 'a=1';
        localStorage.setItem('k', 'v');
    )JS")) << env.ErrorDescription();
    EXPECT_EQ(env.Text("navigator.userAgent + ' ' + document.title + ' ' + document.body.appendChild(document.createElement('i'))"),
              "mine changed patched");
    env.host.Reset();
    EXPECT_EQ(env.Text("typeof leftOver + ' ' + typeof HTMLDivElement.prototype.extra + ' ' + ('timeZoneName' in {})"),
              "undefined undefined false");
    EXPECT_TRUE(env.True("navigator.userAgent.indexOf('Chrome/') > 0"));
    EXPECT_EQ(env.Text("document.title + '|' + document.getElementById('added') + '|' + document.cookie + '|' + localStorage.length"),
              "|null||0");
    EXPECT_EQ(env.Text("document.body.appendChild(document.createElement('i')).tagName"), "I");
    EXPECT_EQ(env.Text("String(new Date(0))"), "Thu Jan 01 1970 08:00:00 GMT+0800 (中国标准时间)");
}

TEST_F(ChromeFace, APageThatAddsToObjectsPrototypeStillReadsThePersonasDates) {
    // The zone's formats are made when a date first needs them, after the page's code
    // may have added options to every object.
    ASSERT_TRUE(env.Add("Object.prototype.timeZoneName = 'short'; Object.prototype.hour12 = true; Object.prototype.timeZone = 'UTC';"));
    EXPECT_EQ(env.Text("String(new Date(0))"), "Thu Jan 01 1970 08:00:00 GMT+0800 (中国标准时间)");
    EXPECT_EQ(env.Text("new Date(0).getHours() + ' ' + new Date(0).getTimezoneOffset()"), "8 -480");
}

TEST_F(ChromeFace, NothingOfTheWorkbenchIsReachable) {
    EXPECT_EQ(env.Text("typeof __qyEnvHost + typeof host + typeof kit + typeof native + typeof config"),
              "undefinedundefinedundefinedundefinedundefined");
    // Nor a loop counter of the set-up (a sloppy loop once left one on the global).
    EXPECT_EQ(env.Text("typeof i + ' ' + ('i' in window)"), "undefined false");
    // No own property of the window, the page objects or their prototypes leads back to
    // the environment's records.
    EXPECT_EQ(env.Text(R"JS([window, navigator, document, document.body, location, screen, localStorage,
        Node.prototype, Navigator.prototype].map(function (o) {
            return Object.getOwnPropertyNames(o).filter(function (k) { return /^__|qy|^(impl|records?|kit)$/i.test(k); }).join();
        }).join(''))JS"),
              "");
    // Instances hold nothing of their own but Chrome's unforgeable members.
    EXPECT_EQ(env.Text("Object.getOwnPropertyNames(document.createElement('div')).length + ' ' + "
                       "Object.getOwnPropertyNames(new Event('x')).join()"),
              "0 isTrusted");
    // A page member called on a lookalike object finds no page object behind it.
    EXPECT_EQ(env.Text("try { Object.getOwnPropertyDescriptor(Node.prototype, 'nodeName').get.call("
                       "Object.create(HTMLDivElement.prototype)) } catch (e) { e.message }"),
              "Illegal invocation");
}

TEST_F(ChromeFace, UnforgeableMembersAreTheInstancesOwnAndFixed) {
    // A location's members are its own, fixed, native accessors and methods that act
    // on a location only; isTrusted is each event's own.
    EXPECT_EQ(env.Text("Object.keys(location).sort().join()"),
              "ancestorOrigins,assign,hash,host,hostname,href,origin,pathname,port,protocol,reload,replace,search,toString");
    EXPECT_EQ(env.Text("var d = Object.getOwnPropertyDescriptor(location, 'href');"
                       "[d.configurable, d.enumerable, d.get.name, d.get.length, d.set.name, d.set.length, String(d.get)].join()"),
              "false,true,get href,0,set href,1,function get href() { [native code] }");
    EXPECT_EQ(env.Text("var a = Object.getOwnPropertyDescriptor(location, 'assign');"
                       "[a.configurable, a.writable, a.value.name, a.value.length, location.hostname].join()"),
              "false,false,assign,1,www.example.com");
    EXPECT_EQ(env.Text("try { Object.getOwnPropertyDescriptor(location, 'origin').get.call(document) } catch (e) { e.message }"),
              "Illegal invocation");
    EXPECT_EQ(env.Text("delete location.href; var e = new Event('x');"
                       "[typeof location.href, e.isTrusted, Object.getOwnPropertyDescriptor(e, 'isTrusted').get.name,"
                       " Object.getOwnPropertyNames(document).join()].join()"),
              "string,false,get isTrusted,location");
}

TEST_F(ChromeFace, DocumentAllIsALiveCollectionThatReadsAsUndefined) {
    EXPECT_EQ(env.Text("[typeof document.all, document.all == null, document.all === undefined, !document.all].join()"),
              "undefined,true,false,true");
    ASSERT_TRUE(env.Add("var before = document.all.length, p = document.createElement('p'); p.id = 'para';"
                        "document.body.appendChild(p);"));
    EXPECT_EQ(env.Text("document.all.length - before"), "1");
    EXPECT_TRUE(env.True("document.all.para === p && document.all.namedItem('para') === p && document.all.item('para') === p"));
    EXPECT_TRUE(env.True("document.all[document.all.length - 1] === p && document.all.item(0) === document.documentElement"));
    ASSERT_TRUE(env.Add("document.body.removeChild(p);"));
    EXPECT_TRUE(env.True("document.all.length === before && document.all.para === undefined"));
    EXPECT_EQ(env.Text("Object.prototype.toString.call(document.all)"), "[object HTMLAllCollection]");
}

TEST_F(ChromeFace, OnePersonaForUserAgentLanguageZoneAndClock) {
    EXPECT_TRUE(env.True("'Mozilla/' + navigator.appVersion === navigator.userAgent"));
    EXPECT_TRUE(env.True("navigator.userAgentData.brands.every(function (b) { return navigator.userAgent.indexOf('Chrome/' + b.version) > 0 || b.brand === 'Not-A.Brand'; })"));
    EXPECT_EQ(env.Text("navigator.userAgentData.platform + ' ' + navigator.platform"), "Windows Win32");
    EXPECT_EQ(env.Text("var o = Intl.DateTimeFormat().resolvedOptions(); o.locale + ' ' + o.timeZone"), "zh-CN Asia/Shanghai");
    EXPECT_EQ(env.Text("String(new Date(0))"), "Thu Jan 01 1970 08:00:00 GMT+0800 (中国标准时间)");
    EXPECT_EQ(env.Text("new Date(0).toLocaleString()"), "1970/1/1 08:00:00");
    EXPECT_EQ(env.Text("new Date(0).getHours() + ' ' + new Date(0).getTimezoneOffset()"), "8 -480");
    // Local components and text without a zone are the profile's local time; text with a
    // zone and ISO dates alone stand as written.
    EXPECT_EQ(env.Text("new Date(2024, 0, 15, 10, 30).toISOString()"), "2024-01-15T02:30:00.000Z");
    EXPECT_EQ(env.Text("new Date('2024-01-15T10:30').toISOString()"), "2024-01-15T02:30:00.000Z");
    EXPECT_EQ(env.Text("new Date('2024-01-15').toISOString()"), "2024-01-15T00:00:00.000Z");
    EXPECT_EQ(env.Text("new Date('Jan 15 2024 10:30 GMT+0100').toISOString()"), "2024-01-15T09:30:00.000Z");
    EXPECT_EQ(env.Text("var d = new Date(0); d.setHours(0, 0, 0, 0); d.toISOString()"), "1969-12-31T16:00:00.000Z");
    EXPECT_TRUE(env.True("new Date() instanceof Date && Date.prototype.constructor === Date && typeof Date.now() === 'number'"));
    EXPECT_TRUE(env.True("/ GMT\\+0800 \\(中国标准时间\\)$/.test(Date())"));
}

// The clock's and locale's members are the built-ins' own in every way a script can
// look: flags, names, lengths, and which of them may be used with new.
TEST_F(ChromeFace, TheClockAndLocaleMembersLookLikeTheBuiltIns) {
    const char* hidden = "function hidden(o, k) { var d = Object.getOwnPropertyDescriptor(o, k);"
                         " return !!d && d.writable && d.configurable && !d.enumerable; }";
    EXPECT_EQ(env.Text(std::string(hidden) +
                       "['getHours', 'setHours', 'getTimezoneOffset', 'toString', 'toLocaleString', 'constructor']"
                       ".every(function (k) { return hidden(Date.prototype, k); }) &&"
                       " hidden(Date, 'parse') && hidden(Date, 'now') && hidden(Intl, 'NumberFormat') &&"
                       " hidden(Intl, 'DateTimeFormat') && hidden(Intl.NumberFormat, 'supportedLocalesOf') &&"
                       " String(hidden(Intl.NumberFormat.prototype, 'constructor'))"),
              "true");
    EXPECT_EQ(env.Text("[Date.prototype.getHours, Date.prototype.setHours, Date.prototype.toLocaleDateString, Date.parse,"
                       " Intl.NumberFormat, Intl.Collator].map(function (f) { return f.name + '/' + f.length; }).join(' ')"),
              "getHours/0 setHours/4 toLocaleDateString/0 parse/1 NumberFormat/0 Collator/0");
    EXPECT_TRUE(env.True("/\\{ \\[native code\\] \\}$/.test(String(Date.prototype.getHours)) &&"
                         " /\\{ \\[native code\\] \\}$/.test(String(Intl.NumberFormat))"));
    EXPECT_EQ(env.Text("var d = Object.getOwnPropertyDescriptor(Intl.NumberFormat, 'prototype');"
                       " String(!d.writable && !d.configurable && !d.enumerable)"),
              "true");
    EXPECT_EQ(env.Text("try { new Date.prototype.getHours(); 'made' } catch (e) { e.constructor.name }"), "TypeError");
    EXPECT_EQ(env.Text("new Intl.NumberFormat().format(1234.5) + ' ' + (Intl.NumberFormat() instanceof Intl.NumberFormat)"),
              "1,234.5 true");
    EXPECT_EQ(env.Text("new Date(0).toLocaleDateString() + ' ' + Date.parse('1970-01-01T08:00')"), "1970/1/1 0");
}

// A new element's starting values are each element's own: what one element is given
// never shows on another, and the values read as Chrome gives them.
TEST_F(ChromeFace, NewElementsStartAlikeAndKeepWhatTheyAreGiven) {
    EXPECT_EQ(env.Text("var a = document.createElement('div'), b = document.createElement('div');"
                       "[a.namespaceURI, a.id === '', a.className === '', a.scrollTop, a.offsetTop, a.children.length,"
                       " a.childElementCount, a.firstElementChild, a.parentNode, a.style === b.style].join(' ')"),
              "http://www.w3.org/1999/xhtml true true 0 0 0 0   false");
    EXPECT_EQ(env.Text("a.id = 'x'; a.className = 'c'; a.scrollTop = 5; a.style.color = 'red';"
                       "[b.id === '', b.className === '', b.scrollTop, b.style.color !== 'red', a.id, a.className, a.style.color].join(' ')"),
              "true true 0 true x c red");
    EXPECT_EQ(env.Text("a.appendChild(b); [a.childElementCount, a.firstElementChild === b, b.parentNode === a,"
                       " b.outerHTML, document.createElementNS('http://www.w3.org/2000/svg', 'svg').namespaceURI].join(' ')"),
              "1 true true <div></div> http://www.w3.org/2000/svg");
}

TEST_F(ChromeFace, DetectorsFindWhatTheyLookFor) {
    // A message posted on one port arrives at the other as a task of its own.
    ASSERT_TRUE(env.Add("var got = []; var mc = new MessageChannel();"
                        "mc.port2.onmessage = function (e) { got.push(e.data.n, e instanceof MessageEvent, this === mc.port2); };"
                        "mc.port1.postMessage({n: 7}); got.push('sync');"));
    EXPECT_EQ(env.Text("got.join()"), "sync,7,true,true");
    EXPECT_EQ(env.Text("Notification.permission"), "default");
    ASSERT_TRUE(env.Add("var state; navigator.permissions.query({name: 'notifications'}).then(function (s) { state = s.state + ' ' + (s instanceof PermissionStatus); });"));
    EXPECT_EQ(env.Text("state"), "prompt true");
    EXPECT_EQ(env.Text("[typeof chrome.loadTimes, typeof chrome.csi, chrome.app.isInstalled, typeof chrome.runtime].join()"),
              "function,function,false,object");
    ASSERT_TRUE(env.Add("var idle; requestIdleCallback(function (d) { idle = d.timeRemaining() > 0; });"));
    EXPECT_EQ(env.Text("idle"), "true");
    // Offline audio renders samples that depend only on the graph.
    ASSERT_TRUE(env.Add(R"JS(var sums = [];
        function render() {
            var c = new OfflineAudioContext(1, 5000, 44100), o = c.createOscillator(), k = c.createDynamicsCompressor();
            o.type = 'triangle'; o.frequency.value = 10000; k.threshold.value = -50;
            o.connect(k); k.connect(c.destination); o.start(0);
            c.oncomplete = function (e) {
                var d = e.renderedBuffer.getChannelData(0), s = 0;
                for (var i = 4500; i < 5000; i++) s += Math.abs(d[i]);
                sums.push(s);
            };
            c.startRendering();
        }
        render(); render();)JS"));
    EXPECT_TRUE(env.True("sums.length === 2 && sums[0] === sums[1] && sums[0] > 0"));
    EXPECT_TRUE(env.True("CSS.supports('color', 'red') && !CSS.supports('selector(::details-content)')"));
    ASSERT_TRUE(env.Add("var f = document.createElement('iframe'); document.body.appendChild(f);"));
    EXPECT_TRUE(env.True("f.contentWindow.document.readyState === 'complete' && f.contentDocument.body !== null"));
}

TEST_F(ChromeFace, OfflineAudioIsThePageObjectsWithChromesInterfaces) {
    // One implementation behind Chrome's interfaces: its nodes, parameters' ranges,
    // states, the completion event and the buffer a rendering promises.
    ASSERT_TRUE(env.Add(R"JS(var seen = [];
        var c = new OfflineAudioContext(1, 5000, 44100), o = c.createOscillator(), k = c.createDynamicsCompressor();
        seen.push([o instanceof OscillatorNode, o instanceof AudioScheduledSourceNode, o instanceof EventTarget,
                   o.frequency instanceof AudioParam, o.frequency.maxValue, o.detune.minValue, k.ratio.maxValue,
                   k.knee.maxValue, o.numberOfInputs, c.destination.numberOfOutputs, c.destination.maxChannelCount,
                   o.context === c, o.connect(k) === k, c.length, c.state].join());
        k.connect(c.destination); o.start(0);
        c.oncomplete = function (e) { seen.push([e instanceof OfflineAudioCompletionEvent, e.renderedBuffer instanceof AudioBuffer].join()); };
        c.startRendering().then(function (b) {
            seen.push([b instanceof AudioBuffer, b.length, b.sampleRate, b.getChannelData(0) instanceof Float32Array, c.state].join());
        });
        seen.push(c.state);
        var again; c.startRendering().catch(function (e) { again = e.name + ' ' + (e instanceof DOMException); });)JS"));
    EXPECT_EQ(env.Text("seen.join('|')"),
              "true,true,true,true,22050,-153600,20,40,0,0,1,true,true,5000,suspended|running|"
              "true,true|true,5000,44100,true,closed");
    EXPECT_EQ(env.Text("again"), "InvalidStateError true");
}

TEST_F(ChromeFace, ThePagesObjectsAnswerThroughItsInterfaces) {
    // What the page's objects do (parsing, events, canvases) is reached through Chrome's interfaces.
    EXPECT_EQ(env.Text("var d = new DOMParser().parseFromString('<p id=a>hi</p>', 'text/html');"
                       "[d.getElementById('a').textContent, new MouseEvent('click') instanceof UIEvent,"
                       " new KeyboardEvent('keydown', {key: 'a'}).key].join()"),
              "hi,true,a");
    EXPECT_EQ(env.Text("var c = document.createElement('canvas').getContext('2d');"
                       "[c.measureText('abc') instanceof TextMetrics, c.getImageData(0, 0, 1, 1) instanceof ImageData,"
                       " c.createLinearGradient(0, 0, 1, 1) instanceof CanvasGradient].join()"),
              "true,true,true");
    // element.click() sends Chrome's PointerEvent.
    EXPECT_EQ(env.Text("var tag; var b = document.createElement('button'); b.onclick = function (e) {"
                       " tag = Object.prototype.toString.call(e) + ' ' + e.pointerId + ' ' + (e instanceof MouseEvent); };"
                       "b.click(); tag"),
              "[object PointerEvent] -1 true");
    // A member called with no object acts on the global, as a bare call in a page's script does.
    ASSERT_TRUE(env.Add("var heard = 0; EventTarget.prototype.addEventListener.call(undefined, 'ping', function () { heard++; });"
                        "dispatchEvent(new Event('ping'));"));
    EXPECT_EQ(env.Text("heard"), "1");
    // Where the engine's undefined lookalike is the object, it is still no global.
    EXPECT_EQ(env.Text("typeof document.all.length"), "number");
}

TEST_F(ChromeFace, MembersThePageHasInNameOnlyGiveEmptyValues) {
    // The page's fonts are real (a FontFaceSet of its own), and so are the gamepads' slots
    // (empty, as many as the measuring stick has); a protocol handler is a name only.
    EXPECT_EQ(env.Text("[typeof document.fonts, document.fonts, navigator.getGamepads().length,"
                       " navigator.registerProtocolHandler('web+x', 'https://www.example.com/?%s')].join('|')"),
              "object|[object FontFaceSet]|8|");
    EXPECT_EQ(env.Text("var r; navigator.requestMediaKeySystemAccess('org.w3.clearkey', [{}]).then(null, function (e) { r = e.name; }); 1"),
              "1");
    EXPECT_EQ(env.Text("r"), "NotSupportedError");
    EXPECT_TRUE(env.True("new DOMException('x', 'NotFoundError').code === 8 && new DOMException('x') instanceof Error"));
}

TEST_F(ChromeFace, APrototypesMembersComeOnFirstLookAndKeepWhatAScriptDoesToThem) {
    // Looked up and kept before any call, a member still checks its receiver and its
    // arguments when it is first called.
    EXPECT_EQ(env.Text(R"JS((function () {
        var has = Element.prototype.hasAttribute, get = Object.getOwnPropertyDescriptor(Node.prototype, 'nodeName').get;
        var out = [has.name, has.length, get.name, get.length];
        try { has.call({}, 'x'); } catch (e) { out.push(e.message); }
        try { has.call(document.createElement('b')); } catch (e) { out.push(e.message); }
        try { get.call(Node.prototype); } catch (e) { out.push(e.message); }
        out.push(has.call(document.createElement('b'), 'id'), get.call(document.body));
        return out.join('|');
    })())JS"),
              "hasAttribute|1|get nodeName|0|Illegal invocation|Failed to execute 'hasAttribute' on 'Element': 1 "
              "argument required, but only 0 present.|Illegal invocation|false|BODY");
    // So does a member of the window's own, which acts on the window when called bare.
    EXPECT_EQ(env.Text(R"JS((function () {
        var style = getComputedStyle, name = Object.getOwnPropertyDescriptor(window, 'name').get, out = [typeof style(document.body)];
        try { name.call({}); } catch (e) { out.push(e.message); }
        var top = Object.getOwnPropertyDescriptor(window, 'top');
        out.push(name.call(undefined) === window.name, top.configurable, top.enumerable);
        return out.join('|');
    })())JS"),
              "object|Illegal invocation|true|false|true");
    // An operation that answers with a promise reports a wrong receiver through it, naming
    // itself (as measured in Chromium).
    EXPECT_EQ(env.Text("var why; Navigator.prototype.getBattery.call({}).then(null, function (e) { why = e.message; }); 1"), "1");
    EXPECT_EQ(env.Text("why"), "Failed to execute 'getBattery' on 'Navigator': Illegal invocation");
    // A member a script deleted stays deleted, before and after the prototype is listed;
    // one it replaced keeps the script's value.
    ASSERT_TRUE(env.Add(R"JS(
        delete Element.prototype.getAttribute;
        Element.prototype.setAttribute = function () { return 'mine'; };
        var el = document.createElement('i');
    )JS")) << env.ErrorDescription();
    EXPECT_EQ(env.Text("typeof el.getAttribute + ' ' + el.setAttribute('a', 'b')"), "undefined mine");
    EXPECT_EQ(env.Text("Object.getOwnPropertyNames(Element.prototype).indexOf('getAttribute') + ' ' + typeof el.getAttribute"),
              "-1 undefined");
    // A setter first called through a listing of the prototype's members works as any.
    EXPECT_EQ(env.Text(R"JS((function () {
        var names = Object.getOwnPropertyNames(HTMLInputElement.prototype), input = document.createElement('input');
        Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value').set.call(input, 'typed');
        return (names.indexOf('value') >= 0) + ' ' + input.value;
    })())JS"),
              "true typed");
}

}  // namespace
}  // namespace qy::test

// Probes of frames: the window's count of them, its indexes and names, and what a
// frame's window and document show.
(function () {
    function read(f) {
        try {
            return String(f());
        } catch (e) {
            return 'throws ' + e.name + ': ' + e.message;
        }
    }
    var before = read(function () { return window.length + ' ' + frames.length + ' ' + (0 in window); });
    var f = document.createElement('iframe');
    document.body.appendChild(f);
    var w = f.contentWindow;
    probe('frames', 'none before', function () { return before; });
    probe('frames', 'count and index', function () {
        return read(function () { return window.length + ' ' + frames.length + ' ' + (window[0] === w) + ' ' + (frames[0] === w) + ' ' + (window.frames === window); });
    });
    probe('frames', 'index descriptor', function () {
        var d = Object.getOwnPropertyDescriptor(window, 0);
        return d ? [d.value === w, d.writable, d.enumerable, d.configurable] : 'none';
    });
    probe('frames', 'blank document', function () {
        return read(function () { return w.document.body.tagName + ' ' + w.document.documentElement.outerHTML + ' ' + w.document.readyState + ' ' + w.document.URL + ' ' + w.location.href; });
    });
    probe('frames', 'window links', function () {
        return [f.contentDocument === w.document, w.parent === window, w.top === window, w.self === w, w.frameElement === f,
            Object.prototype.toString.call(w), w.innerWidth + ' ' + w.innerHeight, w.length];
    });
    var g = document.createElement('iframe');
    g.name = 'named';
    document.body.appendChild(g);
    probe('frames', 'second frame', function () {
        return read(function () { return window.length + ' ' + (window[1] === g.contentWindow) + ' ' + (window[0] === w); });
    });
    probe('frames', 'by name', function () { return read(function () { return window.named === g.contentWindow; }); });
    document.body.removeChild(f);
    probe('frames', 'after removal', function () {
        return read(function () { return window.length + ' ' + (window[0] === g.contentWindow) + ' ' + f.contentWindow; });
    });
    probe('frames', 'built-ins of the frame', function () {
        return read(function () { return typeof g.contentWindow.Function + ' ' + (g.contentWindow.Function === Function); });
    });
    probe('frames', 'a realm of its own', function () {
        var fw = g.contentWindow;
        return [read(function () { return fw.Function.prototype.toString.call(Navigator.prototype.javaEnabled); }),
            read(function () { return new fw.Error('x') instanceof Error; }), read(function () { return fw.eval('[1, 2]') instanceof Array; }),
            read(function () { return fw.Array.isArray(fw.eval('[1, 2]')) && Array.isArray(fw.eval('[]')); }),
            read(function () { return fw.Object.getPrototypeOf(fw.Function) === fw.Function.prototype; }),
            read(function () { return fw.Function.prototype.toString.call(fw.Array.prototype.map); }),
            read(function () { try { fw.eval('null.x'); } catch (e) { return e.constructor === fw.TypeError ? e.message : 'main realm'; } }),
            read(function () { return fw.globalThis === fw; }), read(function () { return fw.Math.max(1, 2) + ' ' + fw.JSON.stringify({a: 1}); })];
    });
    document.body.removeChild(g);
    // The window's named properties: elements by id, and embeds, forms, images and objects
    // (and frames, as their windows) by name, not the window's own.
    var d = document.createElement('div');
    d.innerHTML = '<div id="foo"></div><img name="pic"><form name="f1"></form><iframe name="fr"></iframe><a id="x1"></a>' +
        '<a id="x1"></a><p name="pname"></p><div id="setTimeout"></div>';
    document.body.appendChild(d);
    probe('named properties', 'by id and name', function () {
        return [typeof foo, typeof window.foo, 'foo' in window, typeof pic, typeof f1, String(window.fr === d.querySelector('iframe').contentWindow),
            typeof x1, window.x1 && window.x1.length, Object.getOwnPropertyDescriptor(window, 'foo') === undefined, typeof window.nothere,
            typeof window.pname, typeof setTimeout];
    });
    probe('named properties', 'where they live', function () {
        var p = Object.getPrototypeOf(Window.prototype), d = Object.getOwnPropertyDescriptor(p, 'foo');
        return [Object.prototype.toString.call(p), !!d && d.enumerable, !!d && d.writable, !!d && d.configurable, Object.getPrototypeOf(p) === EventTarget.prototype];
    });
    probe('named properties', 'follow the page', function () {
        var before = typeof window.foo;
        d.removeChild(d.firstChild);
        var list = window.x1, n = list.length;
        d.removeChild(d.querySelector('a'));
        return [before, typeof window.foo, n, list.length];
    });
    document.body.removeChild(d);
})();
(function () {
    // A frame's window has a `chrome` of its own (headless detectors look for it there).
    var f = document.createElement('iframe');
    document.body.appendChild(f);
    var w = f.contentWindow;
    probe('frames', 'chrome of a frame', function () {
        var d = Object.getOwnPropertyDescriptor(w, 'chrome');
        return [typeof w.chrome, w.chrome === window.chrome, !!d && d.enumerable, !!d && d.writable, !!d && d.configurable,
            ['app', 'csi', 'loadTimes'].filter(function (k) { return k in w.chrome; }).join(), typeof w.chrome.loadTimes,
            typeof w.chrome.csi];
    });
    document.body.removeChild(f);
})();
(function () {
    // A frame's window gives every name a window gives: interfaces, factories, extras.
    var f = document.createElement('iframe');
    document.body.appendChild(f);
    var w = f.contentWindow;
    probe('frames', 'interfaces of a frame', function () {
        return [typeof w.HTMLDivElement, typeof w.Navigator, w.navigator instanceof w.Navigator, w.document instanceof w.HTMLDocument,
            w.document.createElement('div') instanceof w.HTMLDivElement, Object.prototype.toString.call(w.document.createElement('canvas')),
            typeof w.Image, typeof w.webkitRequestAnimationFrame, typeof w.console, w instanceof w.Window,
            Object.getPrototypeOf(w) === w.Window.prototype];
    });
    probe('frames', 'own names of a frame', function () {
        return ['HTMLElement', 'Audio', 'Option', 'CSS', 'NodeFilter', 'WebKitMutationObserver', 'alert', 'document', 'EventTarget',
            'XMLHttpRequest', 'Object', 'webkitRequestAnimationFrame', 'chrome', 'WindowProperties'].map(function (n) {
            var d = Object.getOwnPropertyDescriptor(w, n);
            return n + ':' + (d ? [d.enumerable, d.configurable, 'value' in d].join() : 'none');
        });
    });
    probe('frames', 'a frame\'s interfaces are its own', function () {
        return [w.HTMLDivElement === HTMLDivElement, w.navigator instanceof Navigator, w.document instanceof Document];
    });
    probe('frames', 'chrome of a frame is of its realm', function () {
        return [w.chrome.csi instanceof w.Function, w.chrome.csi instanceof Function, w.chrome.app instanceof w.Object,
            typeof w.chrome.loadTimes, w.chrome.loadTimes instanceof w.Function];
    });
    probe('frames', 'clock and formats agree with the page', function () {
        var page = Intl.DateTimeFormat().resolvedOptions(), frame = w.Intl.DateTimeFormat().resolvedOptions();
        return [frame.timeZone === page.timeZone, frame.locale === page.locale, new w.Date(0).toString() === new Date(0).toString(),
            new w.Date(2020, 0, 1).getTime() === new Date(2020, 0, 1).getTime(), new w.Date(0).getTimezoneOffset() === new Date(0).getTimezoneOffset(),
            new w.Date(0).toLocaleString() === new Date(0).toLocaleString(), w.Date instanceof w.Function, String(w.Date),
            w.Intl.DateTimeFormat instanceof w.Function, new w.Date() instanceof w.Date, w.Date.parse('2020-01-01T00:00') === Date.parse('2020-01-01T00:00'),
            new w.Intl.NumberFormat().resolvedOptions().locale === new Intl.NumberFormat().resolvedOptions().locale];
    });
    probe('frames', 'enumerated window names', function () {
        var keys = Object.keys(window);
        return [keys.indexOf('0') >= 0, keys.indexOf('webkitRequestAnimationFrame') >= 0, keys.indexOf('webkitCancelAnimationFrame') >= 0,
            keys.indexOf('chrome') >= 0, keys.indexOf('HTMLElement') >= 0];
    });
    document.body.removeChild(f);
})();
(function () {
    // The order of the window's names: its members in Chrome's order, the page's own after.
    var names = ['window', 'self', 'document', 'location', 'navigator', 'screen', 'innerWidth', 'onload', 'onclick', 'alert', 'atob',
        'setTimeout', 'chrome', 'fetch', 'localStorage', 'crypto', 'performance', 'structuredClone', 'close', 'webkitRequestAnimationFrame'];
    function order(keys) {
        return names.filter(function (n) { return keys.indexOf(n) >= 0; }).sort(function (a, b) { return keys.indexOf(a) - keys.indexOf(b); });
    }
    probe('window order', 'keys', function () {
        var keys = Object.keys(window);
        return [order(keys).join(), keys.indexOf('probeResults') > keys.indexOf('setTimeout'), keys[0] === 'window' || keys[0] === '0'];
    });
    probe('window order', 'for-in', function () {
        var keys = [];
        for (var k in window) keys.push(k);
        return [order(keys).join(), keys.indexOf('probeResults') > keys.indexOf('setTimeout')];
    });
    probe('window order', 'a frame', function () {
        var f = document.createElement('iframe');
        document.body.appendChild(f);
        var keys = Object.keys(f.contentWindow);
        document.body.removeChild(f);
        return [order(keys).join(), keys[0]];
    });
})();

// Probes of the objects operations and attributes hand back: each one's tag, own names,
// constructor, prototype chain and instanceof its interface.
(function () {
    function chain(v) {
        var out = [];
        for (var p = Object.getPrototypeOf(v); p && p !== Object.prototype; p = Object.getPrototypeOf(p)) {
            var c = Object.getOwnPropertyDescriptor(p, 'constructor');
            out.push(c && typeof c.value === 'function' ? c.value.name : '?');
        }
        return out;
    }
    // kind: the interface the value should be an instance of.
    function shape(group, name, kind, get) {
        probe(group, name + ' tag', function () { return Object.prototype.toString.call(get()); });
        probe(group, name + ' own names', function () { return Object.getOwnPropertyNames(get()); });
        probe(group, name + ' constructor', function () { var v = get(); return v.constructor && v.constructor.name; });
        probe(group, name + ' chain', function () { return chain(get()); });
        probe(group, name + ' instanceof ' + kind, function () { return get() instanceof window[kind]; });
    }
    var div = document.createElement('div');
    div.className = 'a b';
    div.setAttribute('data-x', '1');
    document.body.appendChild(div);

    shape('geometry', 'getBoundingClientRect', 'DOMRect', function () { return div.getBoundingClientRect(); });
    probe('geometry', 'rect keys', function () { return Object.keys(div.getBoundingClientRect()); });
    probe('geometry', 'rect JSON keys', function () { return Object.keys(div.getBoundingClientRect().toJSON()); });
    probe('geometry', 'rect width is a number', function () { return typeof div.getBoundingClientRect().width; });
    shape('geometry', 'getClientRects', 'DOMRectList', function () { return div.getClientRects(); });
    shape('geometry', 'new DOMRect', 'DOMRect', function () { return new DOMRect(1, 2, 3, 4); });
    probe('geometry', 'new DOMRect right', function () { return new DOMRect(1, 2, 3, 4).right; });
    shape('geometry', 'DOMMatrix', 'DOMMatrix', function () { return new DOMMatrix(); });

    shape('style', 'getComputedStyle', 'CSSStyleDeclaration', function () { return getComputedStyle(div); });
    shape('style', 'dataset', 'DOMStringMap', function () { return div.dataset; });
    probe('style', 'dataset keys', function () { return Object.keys(div.dataset); });
    probe('style', 'dataset read, write and delete', function () {
        var d = document.createElement('div');
        d.setAttribute('data-foo-bar', '1');
        d.dataset.someName = 2;
        var out = [JSON.stringify(d.dataset), d.dataset.fooBar, d.getAttribute('data-some-name'), d.dataset === d.dataset,
            'someName' in d.dataset, d.dataset.missing];
        delete d.dataset.someName;
        out.push(d.getAttribute('data-some-name'), Object.keys(d.dataset).join());
        return out;
    });
    probe('style', 'dataset invalid name', function () { document.createElement('div').dataset['a-b'] = 1; });
    shape('style', 'classList', 'DOMTokenList', function () { return div.classList; });
    shape('style', 'attributes', 'NamedNodeMap', function () { return div.attributes; });
    shape('style', 'attribute node', 'Attr', function () { return div.attributes[0]; });

    var canvas = document.createElement('canvas');
    var ctx = canvas.getContext('2d');
    shape('canvas', 'getContext 2d', 'CanvasRenderingContext2D', function () { return ctx; });
    shape('canvas', 'measureText', 'TextMetrics', function () { return ctx.measureText('abc'); });
    probe('canvas', 'measureText keys', function () { return Object.keys(ctx.measureText('abc')); });
    shape('canvas', 'getImageData', 'ImageData', function () { return ctx.getImageData(0, 0, 1, 1); });
    probe('canvas', 'getImageData data tag', function () { return Object.prototype.toString.call(ctx.getImageData(0, 0, 1, 1).data); });
    shape('canvas', 'createLinearGradient', 'CanvasGradient', function () { return ctx.createLinearGradient(0, 0, 1, 1); });

    shape('events', 'createEvent', 'Event', function () { return document.createEvent('Event'); });
    shape('events', 'createEvent MouseEvents', 'MouseEvent', function () { return document.createEvent('MouseEvents'); });
    shape('events', 'new Event', 'Event', function () { return new Event('x'); });
    shape('events', 'new MouseEvent', 'MouseEvent', function () { return new MouseEvent('click'); });
    shape('events', 'new CustomEvent', 'CustomEvent', function () { return new CustomEvent('x', {detail: 1}); });
    probe('events', 'new Event own names', function () { return Object.getOwnPropertyNames(new Event('x')); });

    shape('media', 'matchMedia', 'MediaQueryList', function () { return matchMedia('(min-width: 1px)'); });
    probe('media', 'matchMedia calc', function () { return matchMedia('(min-width: calc(100px + 1px))').matches; });
    probe('media', 'matchMedia calc media', function () { return matchMedia('(min-width: calc(100px + 1px))').media; });
    probe('media', 'matchMedia calc huge', function () { return matchMedia('(min-width: calc(100000px + 1px))').matches; });
    ['(min-width: calc(1em + 2px))', '(min-width: calc(2 * 50px))', '(max-width: calc(100px/2))',
        '(min-width: calc( 10px + 1em * 2 ))', '(min-width: calc(50px + (10px*2)))', '(min-width: calc(100px+1px))',
        '(min-width: calc(100px - 200px))', '(width > calc(10px + 10px))', '(min-width: calc(10))', '(min-width: CALC(10px))',
        '(min-resolution: calc(1dppx + 1dppx))', '(min-width: calc(1in - 90px))', '(min-width: calc(100px * 2 - 50%))',
        '(min-width: calc(100000px + 1px))'].forEach(function (q) {
        probe('media', 'calc ' + q, function () { var m = matchMedia(q); return [m.media, m.matches]; });
    });

    shape('performance', 'timing', 'PerformanceTiming', function () { return performance.timing; });
    shape('performance', 'navigation', 'PerformanceNavigation', function () { return performance.navigation; });
    probe('performance', 'now', function () { return typeof performance.now(); });
    probe('performance', 'getEntries is an array', function () { return Array.isArray(performance.getEntries()); });
    shape('performance', 'getEntriesByType', 'Array', function () { return performance.getEntriesByType('navigation'); });
    shape('performance', 'mark', 'PerformanceMark', function () { return performance.mark('probe'); });

    shape('crypto', 'crypto.subtle', 'SubtleCrypto', function () { return crypto.subtle; });
    shape('crypto', 'getRandomValues', 'Uint8Array', function () { return crypto.getRandomValues(new Uint8Array(2)); });

    shape('navigator', 'getBattery', 'Promise', function () { return navigator.getBattery(); });
    shape('navigator', 'permissions', 'Permissions', function () { return navigator.permissions; });
    shape('navigator', 'permissions.query', 'Promise', function () { return navigator.permissions.query({name: 'notifications'}); });
    shape('navigator', 'mediaDevices', 'MediaDevices', function () { return navigator.mediaDevices; });
    shape('navigator', 'plugins', 'PluginArray', function () { return navigator.plugins; });
    shape('navigator', 'mimeTypes', 'MimeTypeArray', function () { return navigator.mimeTypes; });
    shape('navigator', 'connection', 'NetworkInformation', function () { return navigator.connection; });

    var range = document.createRange();
    shape('ranges', 'createRange', 'Range', function () { return range; });
    shape('ranges', 'getSelection', 'Selection', function () { return getSelection(); });
    shape('ranges', 'createTreeWalker', 'TreeWalker', function () { return document.createTreeWalker(document.body); });
    shape('ranges', 'createNodeIterator', 'NodeIterator', function () { return document.createNodeIterator(document.body); });
    shape('ranges', 'createDocumentFragment', 'DocumentFragment', function () { return document.createDocumentFragment(); });
    shape('ranges', 'createTextNode', 'Text', function () { return document.createTextNode('x'); });
    shape('ranges', 'createComment', 'Comment', function () { return document.createComment('x'); });

    shape('parsing', 'DOMParser html', 'Document', function () { return new DOMParser().parseFromString('<p>x</p>', 'text/html'); });
    shape('parsing', 'querySelectorAll', 'NodeList', function () { return document.querySelectorAll('div'); });
    shape('parsing', 'getElementsByTagName', 'HTMLCollection', function () { return document.getElementsByTagName('div'); });
    shape('parsing', 'implementation', 'DOMImplementation', function () { return document.implementation; });

    shape('data', 'XMLHttpRequest', 'XMLHttpRequest', function () { return new XMLHttpRequest(); });
    shape('data', 'XMLHttpRequest upload', 'XMLHttpRequestUpload', function () { return new XMLHttpRequest().upload; });
    shape('data', 'Blob', 'Blob', function () { return new Blob(['ab']); });
    shape('data', 'File', 'File', function () { return new File(['ab'], 'a.txt'); });
    shape('data', 'FileReader', 'FileReader', function () { return new FileReader(); });
    shape('data', 'URL', 'URL', function () { return new URL('https://a.example/x?y=1'); });
    shape('data', 'URL searchParams', 'URLSearchParams', function () { return new URL('https://a.example/x?y=1').searchParams; });
    shape('data', 'URLSearchParams', 'URLSearchParams', function () { return new URLSearchParams('a=1'); });
    shape('data', 'Headers', 'Headers', function () { return new Headers({a: '1'}); });
    shape('data', 'Response', 'Response', function () { return new Response('x'); });
    shape('data', 'Request', 'Request', function () { return new Request('https://a.example/'); });
    shape('data', 'fetch', 'Promise', function () { return fetch('data:text/plain,x'); });
    shape('data', 'AbortController', 'AbortController', function () { return new AbortController(); });
    shape('data', 'AbortController signal', 'AbortSignal', function () { return new AbortController().signal; });
    shape('data', 'TextEncoder', 'TextEncoder', function () { return new TextEncoder(); });
    shape('data', 'TextEncoder encode', 'Uint8Array', function () { return new TextEncoder().encode('a'); });
    shape('data', 'TextDecoder', 'TextDecoder', function () { return new TextDecoder(); });
    shape('data', 'FormData', 'FormData', function () { return new FormData(); });

    var u = new URL('https://user:pw@A.example:8080/x/y?y=1&z=a+b%20c#h');
    probe('addresses', 'URL 01', function () { return [u.href, u.origin, u.protocol, u.username, u.password, u.host, u.hostname, u.port, u.pathname, u.search, u.hash, String(u), u.toJSON()]; });
    probe('addresses', 'URL 02', function () { return [u.searchParams.get('z'), u.searchParams.size, String(u.searchParams), u.searchParams === u.searchParams, Array.from(u.searchParams.keys())]; });
    probe('addresses', 'URL 03', function () { u.searchParams.append('n', 'a b&c'); return [u.search, u.href]; });
    probe('addresses', 'URL 04', function () { u.search = 'q=1'; return [u.href, u.searchParams.get('q'), u.searchParams.get('y')]; });
    probe('addresses', 'URL 05', function () { u.hash = ''; u.pathname = 'p'; u.port = '443'; return u.href; });
    probe('addresses', 'URL 06', function () { u.hostname = 'b.example'; u.protocol = 'http'; return u.href; });
    probe('addresses', 'URL 07', function () { return new URL('../a?b#c', 'https://x.example/d/e/f').href; });
    probe('addresses', 'URL 08', function () { return new URL('abc'); });
    probe('addresses', 'URL 09', function () { return new URL('abc', 'nope'); });
    probe('addresses', 'URL 10', function () { return [URL.canParse('abc'), URL.canParse('https://a')]; });
    probe('addresses', 'URL 11', function () { var p = new URLSearchParams('?b=2&a=1&b=1'); p.sort(); return [String(p), p.getAll('b'), p.has('a'), p.has('a', '2')]; });
    probe('addresses', 'URL 12', function () { return [String(new URLSearchParams({x: '1 2', y: "!'()~*"})), String(new URLSearchParams([['a', 'b']]))]; });
    probe('addresses', 'URL 13', function () { var p = new URLSearchParams('a=%zz&b=%41'); return [p.get('a'), p.get('b')]; });
    probe('addresses', 'URL 14', function () { var p = new URLSearchParams('a=1&a=2&b=3'); p.delete('a', '2'); p.set('b', 4); return String(p); });
    probe('addresses', 'URL 15', function () { return new URL('data:text/plain,x').href + ' ' + new URL('data:text/plain,x').origin; });
    probe('addresses', 'URL 16', function () { var x = new URL('https://a.example/'); x.href = 'https://c.example/z?k=v'; return [x.host, x.searchParams.get('k')]; });

    var c = new AbortController(), seen = [];
    c.signal.onabort = function (e) { seen.push('on ' + e.type); };
    c.signal.addEventListener('abort', function (e) { seen.push('listener ' + (e.target === c.signal)); });
    probe('signals and owned objects', 'check 01', function () { return [c.signal.aborted, c.signal.reason, c.signal === c.signal]; });
    c.abort();
    probe('signals and owned objects', 'check 02', function () { return [c.signal.aborted, String(c.signal.reason), c.signal.reason instanceof DOMException, c.signal.reason.name, seen]; });
    c.abort('again');
    probe('signals and owned objects', 'check 03', function () { return [seen.length, String(c.signal.reason)]; });
    probe('signals and owned objects', 'check 04', function () { c.signal.throwIfAborted(); });
    probe('signals and owned objects', 'check 05', function () { var s = AbortSignal.abort('why'); return [s.aborted, s.reason, String(s)]; });
    probe('signals and owned objects', 'check 06', function () { var x = new XMLHttpRequest(); return [String(x.upload), x.upload === x.upload, x.upload.onload]; });
    probe('signals and owned objects', 'check 07', function () { return [performance.navigation.type, performance.navigation.redirectCount, JSON.stringify(performance.navigation), performance.navigation === performance.navigation]; });
    probe('signals and owned objects', 'check 08', function () { return [String(navigator.mediaDevices), navigator.mediaDevices === navigator.mediaDevices, typeof navigator.mediaDevices.enumerateDevices().then]; });

    shape('observers', 'ResizeObserver', 'ResizeObserver', function () { return new ResizeObserver(function () {}); });
    shape('observers', 'MutationObserver', 'MutationObserver', function () { return new MutationObserver(function () {}); });
    shape('observers', 'IntersectionObserver', 'IntersectionObserver', function () { return new IntersectionObserver(function () {}); });
    shape('observers', 'MessageChannel', 'MessageChannel', function () { return new MessageChannel(); });

    shape('builtins', 'Intl.DateTimeFormat', 'Object', function () { return new Intl.DateTimeFormat(); });
    shape('builtins', 'Date', 'Date', function () { return new Date(0); });

    var form = document.createElement('form');
    form.name = 'probeform';
    var img = document.createElement('img');
    img.name = 'probeimg';
    var iframeless = document.createElement('embed');
    iframeless.name = 'probeembed';
    var byId = document.createElement('img');
    byId.id = 'probeimgid';
    document.body.appendChild(form);
    document.body.appendChild(img);
    document.body.appendChild(iframeless);
    document.body.appendChild(byId);
    probe('named access', 'form by name', function () { return document.probeform === form; });
    probe('named access', 'img by name', function () { return document.probeimg === img; });
    probe('named access', 'embed by name', function () { return document.probeembed === iframeless; });
    probe('named access', 'img by id', function () { return document.probeimgid === byId; });
    probe('named access', 'div by id not named', function () { div.id = 'probediv'; return document.probediv; });
    probe('named access', 'in', function () { return 'probeform' in document; });
    probe('named access', 'not own', function () { return Object.getOwnPropertyNames(document).indexOf('probeform'); });
    probe('named access', 'two of a name', function () {
        var second = document.createElement('form');
        second.name = 'probeform';
        document.body.appendChild(second);
        var v = document.probeform;
        document.body.removeChild(second);
        return Object.prototype.toString.call(v) + ' ' + v.length;
    });
    probe('named access', 'gone after removal', function () {
        document.body.removeChild(form);
        return document.probeform;
    });
    probe('named access', 'members win', function () {
        var f = document.createElement('form');
        f.name = 'title';
        document.body.appendChild(f);
        var v = typeof document.title;
        document.body.removeChild(f);
        return v;
    });
})();

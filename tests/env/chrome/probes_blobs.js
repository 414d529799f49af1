// Probes of blobs, files, file readers, object URLs and workers: what a script reads of
// the bytes it put in, now and later.
(function () {
    function read(f) {
        try {
            var v = f();
            return v === undefined ? 'undefined' : v;
        } catch (e) {
            return 'throws ' + e.name + ': ' + e.message;
        }
    }
    function bytes(buffer) { return Array.prototype.slice.call(new Uint8Array(buffer)).join(','); }
    // A later answer from a promise: its value through `show`, or what it rejects with.
    function later(group, name, make, show) {
        probeLater(group, name, function (done) {
            make().then(function (v) { done(show ? show(v) : v); }, function (e) { done('rejects ' + e.name + ': ' + e.message); });
        });
    }

    probe('blobs', 'empty', function () { var b = new Blob(); return [b.size, b.type, Object.prototype.toString.call(b), String(b)]; });
    probe('blobs', 'sizes of text', function () {
        return [new Blob(['abc']).size, new Blob(['\u4e2d\u6587']).size, new Blob(['a', 'bc', '']).size, new Blob(['\ud800']).size,
            new Blob(['\ud83d\ude00']).size, new Blob([1, true, null, undefined, {}]).size, new Blob([[1, 2]]).size];
    });
    probe('blobs', 'sizes of bytes', function () {
        var buf = new ArrayBuffer(8), view = new Uint16Array(buf, 2, 2);
        return [new Blob([buf]).size, new Blob([view]).size, new Blob([new DataView(buf, 1, 3)]).size,
            new Blob([new Blob(['abc']), 'de']).size, new Blob([new Float64Array(3)]).size];
    });
    probe('blobs', 'types', function () {
        return [new Blob([], {type: 'Text/HTML'}).type, new Blob([], {type: 'a\u00e9'}).type, new Blob([], {type: 'x y'}).type,
            new Blob([], {type: 'a\tb'}).type, new Blob([], {type: undefined}).type, new Blob([], {type: 5}).type,
            new Blob([], {type: ''}).type];
    });
    probe('blobs', 'bad arguments', function () {
        return [read(function () { return new Blob('abc').size; }), read(function () { return new Blob(5).size; }),
            read(function () { return new Blob(null).size; }), read(function () { return new Blob({length: 2, 0: 'a', 1: 'b'}).size; }),
            read(function () { return new Blob(new Set(['ab', 'c'])).size; }),
            read(function () { return new Blob([], {endings: 'x'}).size; }), read(function () { return new Blob([], 5).size; }),
            read(function () { return Blob(); })];
    });
    probe('blobs', 'endings', function () {
        return [new Blob(['a\nb\r\nc\rd'], {endings: 'native'}).size, new Blob(['a\nb\r\nc\rd'], {endings: 'transparent'}).size,
            new Blob(['a\nb'], {}).size];
    });
    probe('blobs', 'slices', function () {
        var b = new Blob(['abcdefgh'], {type: 'text/plain'});
        return [b.slice().size, b.slice().type, b.slice(2).size, b.slice(-3).size, b.slice(2, -2).size, b.slice(5, 2).size,
            b.slice(0, 100).size, b.slice(1, 3, 'X/Y').type, b.slice(1, 3, 'a\u00e9').type, b.slice('2', '4').size,
            b.slice(NaN, Infinity).size, b.slice(-100, 2).size];
    });
    probe('blobs', 'members', function () {
        return [Blob.length, Blob.prototype.slice.length, typeof Blob.prototype.text, typeof Blob.prototype.arrayBuffer,
            typeof Blob.prototype.stream, String(Object.getOwnPropertyNames(new Blob())),
            read(function () { return Blob.prototype.size; }), read(function () { return Blob.prototype.slice.call({}); })];
    });
    later('blob reads', 'text', function () { return new Blob(['a', '\u4e2d\u6587', new Uint8Array([0xe2, 0x82, 0xac]), '\ud800x']).text(); });
    later('blob reads', 'text of bad bytes', function () { return new Blob([new Uint8Array([0xff, 0x41, 0xc3])]).text(); });
    later('blob reads', 'arrayBuffer', function () { return new Blob(['ab', new Uint8Array([1, 2, 255])]).arrayBuffer(); },
        function (v) { return [Object.prototype.toString.call(v), bytes(v)]; });
    later('blob reads', 'slice text', function () { return new Blob(['abc\u4e2d\u6587def']).slice(2, 7).text(); });
    later('blob reads', 'nested blob', function () { return new Blob([new Blob(['x', 'y']).slice(1), 'z']).text(); });
    later('blob reads', 'native endings', function () { return new Blob(['a\nb\rc\r\nd'], {endings: 'native'}).text(); },
        function (v) { return JSON.stringify(v); });
    later('blob reads', 'text on a wrong receiver', function () { return Blob.prototype.text.call({}); });

    probe('files', 'made', function () {
        var f = new File(['abc'], 'a.txt', {type: 'Text/Plain', lastModified: 1700000000000});
        return [f.name, f.size, f.type, f.lastModified, f.webkitRelativePath, f instanceof Blob, Object.prototype.toString.call(f),
            String(f.slice(1)), f.slice(1).size, typeof new File([], 'x').lastModified];
    });
    probe('files', 'bad arguments', function () {
        return [read(function () { return new File(['a']); }), read(function () { return new File(); }),
            read(function () { return new File([], 5).name; }), read(function () { return new File([], 'x', {lastModified: 'abc'}).lastModified; }),
            read(function () { return File.length; })];
    });

    function reader(group, name, how, blob, extra) {
        probeLater(group, name, function (done) {
            var r = new FileReader(), seen = [];
            ['loadstart', 'progress', 'load', 'loadend', 'error', 'abort'].forEach(function (k) {
                r.addEventListener(k, function (e) {
                    seen.push(k + ':' + r.readyState + ':' + (e.lengthComputable ? e.loaded + '/' + e.total : '-'));
                    if (k === 'loadend') {
                        var result = r.result;
                        done([seen.join(' '), result instanceof ArrayBuffer ? 'buffer ' + bytes(result) : result]);
                    }
                });
            });
            var state = [r.readyState, r.result];
            r[how](blob, extra);
            seen.push('after call:' + r.readyState + ':' + r.result + ':' + state.join('/'));
        });
    }
    reader('file reader', 'readAsText', 'readAsText', new Blob(['a\u4e2d\u00e9']));
    reader('file reader', 'readAsText latin1', 'readAsText', new Blob([new Uint8Array([0x41, 0xe9, 0x80])]), 'iso-8859-1');
    reader('file reader', 'readAsText gbk', 'readAsText', new Blob([new Uint8Array([0xd6, 0xd0, 0xce, 0xc4])]), 'gbk');
    reader('file reader', 'readAsText unknown label', 'readAsText', new Blob(['ok']), 'no-such-encoding');
    reader('file reader', 'readAsDataURL', 'readAsDataURL', new Blob(['hello'], {type: 'text/plain'}));
    reader('file reader', 'readAsDataURL untyped', 'readAsDataURL', new Blob(['hi']));
    reader('file reader', 'readAsDataURL empty', 'readAsDataURL', new Blob([]));
    reader('file reader', 'readAsArrayBuffer', 'readAsArrayBuffer', new Blob(['ab', new Uint8Array([200])]));
    reader('file reader', 'readAsBinaryString', 'readAsBinaryString', new Blob(['a\u4e2d']));
    probe('file reader', 'shape', function () {
        var r = new FileReader();
        return [r.readyState, r.result, r.error, FileReader.EMPTY, FileReader.LOADING, FileReader.DONE, r.onload,
            read(function () { return r.readAsText('abc'); }), read(function () { return r.readAsText(); }),
            read(function () { r.readAsText(new Blob(['x'])); return r.readAsText(new Blob(['y'])); }), r.readyState];
    });
    probeLater('file reader', 'abort', function (done) {
        var r = new FileReader(), seen = [];
        ['loadstart', 'load', 'loadend', 'abort'].forEach(function (k) { r.addEventListener(k, function () { seen.push(k + ':' + r.readyState); }); });
        r.onloadend = function () { setTimeout(function () { done([seen.join(' '), r.result, r.readyState]); }, 20); };
        r.readAsText(new Blob(['abc']));
        r.abort();
        seen.push('after abort:' + r.readyState);
    });

    var uuid = /^blob:.+\/[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$/;
    probe('object URLs', 'made', function () {
        var b = new Blob(['x']), u = URL.createObjectURL(b), v = URL.createObjectURL(b);
        return [typeof u, uuid.test(u), u === v, u.indexOf('blob:' + location.origin + '/') === 0 || location.origin === 'null',
            read(function () { return URL.createObjectURL('abc'); }), read(function () { return URL.createObjectURL(); }),
            read(function () { return URL.revokeObjectURL(u); }), read(function () { return URL.revokeObjectURL('nonsense'); }),
            uuid.test(URL.createObjectURL(new File(['a'], 'a.txt')))];
    });
    later('object URLs', 'fetched', function () {
        return fetch(URL.createObjectURL(new Blob(['body text'], {type: 'text/x-test'}))).then(function (r) {
            return r.text().then(function (t) { return [r.status, r.ok, r.headers.get('content-type'), r.headers.get('content-length'), t]; });
        });
    });
    later('object URLs', 'fetched after revoke', function () {
        var u = URL.createObjectURL(new Blob(['x']));
        URL.revokeObjectURL(u);
        return fetch(u);
    });
    probeLater('object URLs', 'read by XMLHttpRequest', function (done) {
        var x = new XMLHttpRequest();
        x.open('GET', URL.createObjectURL(new Blob(['xhr body'], {type: 'text/plain'})));
        x.onload = function () { done([x.status, x.responseText, x.getResponseHeader('Content-Type')]); };
        x.onerror = function () { done('error'); };
        x.send();
    });

    // Workers: the page's values as a worker reads them, and messages both ways.
    function worker(name, code, message, show) {
        probeLater('workers', name, function (done) {
            var w = new Worker(URL.createObjectURL(new Blob([code], {type: 'text/javascript'})));
            w.onmessage = function (e) { done(show ? show(e) : e.data); w.terminate(); };
            w.onerror = function (e) { done('error ' + e.message); w.terminate(); };
            w.postMessage(message);
        });
    }
    worker('echo', 'onmessage = function (e) { postMessage(e.data); };', {a: [1, 'x'], b: new Uint8Array([7])},
        function (e) { return [JSON.stringify(e.data), Object.prototype.toString.call(e.data.b), e.data.b[0], Object.prototype.toString.call(e)]; });
    worker('navigator agrees', 'onmessage = function () { postMessage([navigator.userAgent, navigator.hardwareConcurrency, navigator.language, ' +
        'navigator.languages.join(), navigator.platform, navigator.onLine, navigator.webdriver, typeof navigator.userAgentData, ' +
        'Intl.DateTimeFormat().resolvedOptions().timeZone, new Date(0).getTimezoneOffset()]); };', 0,
        function (e) {
            var d = e.data;
            return [d[0] === navigator.userAgent, d[1] === navigator.hardwareConcurrency, d[2] === navigator.language, d[3] === navigator.languages.join(),
                d[4] === navigator.platform, d[5], d[6], d[7], d[8] === Intl.DateTimeFormat().resolvedOptions().timeZone,
                d[9] === new Date(0).getTimezoneOffset()];
        });
    worker('scope', 'onmessage = function () { postMessage([typeof window, typeof document, typeof self, self === globalThis, ' +
        'Object.prototype.toString.call(self), typeof WorkerGlobalScope, typeof DedicatedWorkerGlobalScope, self instanceof WorkerGlobalScope, ' +
        'typeof importScripts, typeof postMessage, typeof setTimeout, typeof fetch, typeof XMLHttpRequest, typeof crypto.getRandomValues, ' +
        'typeof performance.now, typeof location, String(location).slice(0, 5), typeof TextEncoder, typeof atob, typeof indexedDB, ' +
        'typeof localStorage, typeof Navigator, typeof WorkerNavigator, Object.prototype.toString.call(navigator), typeof name, typeof close, ' +
        'typeof console.log, typeof chrome, typeof Worker, typeof OffscreenCanvas, typeof HTMLElement, typeof structuredClone]); };', 0);
    worker('printing', 'onmessage = function () { postMessage([String(postMessage), String(setTimeout), ' +
        'Object.getOwnPropertyDescriptor(WorkerNavigator.prototype, "userAgent").get.toString(), String(Function.prototype.toString), ' +
        'new Error("x").stack.split("\\n")[0], (function () { try { null.x; } catch (e) { return e.message; } })()]); };', 0);
    worker('timers and errors', 'var n = 0; setTimeout(function () { n++; }, 0); onmessage = function (e) { ' +
        'setTimeout(function () { postMessage(n + e.data); }, 5); };', 1);
    worker('uncaught error', 'onmessage = function () { throw new TypeError("boom"); };', 0);
    probeLater('workers', 'error event', function (done) {
        var w = new Worker(URL.createObjectURL(new Blob(['onmessage = function () { null.f(); };'])));
        w.onerror = function (e) {
            done([Object.prototype.toString.call(e), e.message, typeof e.filename, e.lineno, typeof e.colno, e.error]);
            w.terminate();
        };
        w.postMessage(0);
    });
    probeLater('workers', 'syntax error', function (done) {
        var w = new Worker(URL.createObjectURL(new Blob(['this is not javascript'])));
        w.onerror = function (e) { done([e.message.split(':')[0], e.lineno]); w.terminate(); };
        w.onmessage = function () { done('message'); };
    });
    probe('workers', 'shape', function () {
        return [Worker.length, read(function () { return new Worker(); }), read(function () { return Worker('x'); }),
            read(function () { return typeof new Worker(URL.createObjectURL(new Blob(['']))).postMessage; }),
            String(Object.getOwnPropertyNames(Worker.prototype).sort())];
    });
    probeLater('workers', 'from a data URL', function (done) {
        var w = new Worker('data:text/javascript,postMessage(typeof self + " " + location.href.slice(0, 5))');
        w.onmessage = function (e) { done(e.data); w.terminate(); };
        w.onerror = function (e) { done('error ' + e.message); w.terminate(); };
    });
    probeLater('workers', 'worker posts first', function (done) {
        var w = new Worker(URL.createObjectURL(new Blob(['postMessage("hello " + (1 + 1));'])));
        w.onmessage = function (e) { done([e.data, e.origin, e.source, e.ports.length, e.lastEventId]); w.terminate(); };
    });
    probeLater('workers', 'terminated hears nothing', function (done) {
        var w = new Worker(URL.createObjectURL(new Blob(['onmessage = function () { postMessage(1); };']))), heard = 'nothing';
        w.onmessage = function () { heard = 'message'; };
        w.postMessage(0);
        w.terminate();
        setTimeout(function () { done(heard); }, 50);
    });
})();
(function () {
    // Text decoders of the encodings a page may name.
    function read(f) {
        try {
            return f();
        } catch (e) {
            return 'throws ' + e.name + ': ' + e.message;
        }
    }
    function decode(label, list, options) {
        return read(function () { return new TextDecoder(label, options).decode(new Uint8Array(list)); });
    }
    probe('text decoders', 'labels', function () {
        return ['gb2312', ' GBK ', 'x-gbk', 'chinese', 'gb18030', 'big5-hkscs', 'sjis', 'windows-31j', 'euc-jp', 'ks_c_5601-1987',
            'latin1', 'ascii', 'iso-8859-1', 'us-ascii', 'iso-8859-9', 'utf-16', 'unicode', 'utf-16be', 'koi8', 'mac', 'tis-620',
            'x-user-defined', 'iso-2022-jp', 'utf8', 'unicode-1-1-utf-8', 'iso-8859-8-i', 'visual'].map(function (l) {
            return read(function () { return new TextDecoder(l).encoding; });
        });
    });
    probe('text decoders', 'refused labels', function () {
        return ['replacement', 'hz-gb-2312', 'iso-2022-kr', 'nonsense', 'utf-32', '', 'utf-7'].map(function (l) {
            return read(function () { return new TextDecoder(l).encoding; });
        });
    });
    probe('text decoders', 'gbk and gb18030', function () {
        return [decode('gbk', [0xd6, 0xd0, 0xce, 0xc4, 0x41]), decode('gb2312', [0xb0, 0xa1]), decode('gbk', [0x80, 0x81, 0x80]),
            decode('gb18030', [0x81, 0x30, 0x81, 0x30, 0x95, 0x32, 0x82, 0x36]), decode('gbk', [0xd6, 0x41, 0xd6]),
            decode('gbk', [0xff, 0x41]), decode('gbk', [0xd6, 0xd0], {fatal: true}), decode('gbk', [0xd6], {fatal: true}),
            decode('gbk', [0xa8, 0xbf, 0xa6, 0xd9])];
    });
    probe('text decoders', 'other asian encodings', function () {
        return [decode('big5', [0xa4, 0xa4, 0xa4, 0xe5]), decode('shift_jis', [0x82, 0xa0, 0x93, 0xfa, 0xb1, 0x5c, 0x7e]),
            decode('euc-jp', [0xa4, 0xa2, 0xc6, 0xfc]), decode('euc-kr', [0xc7, 0xd1, 0xb1, 0xdb]),
            decode('iso-2022-jp', [0x1b, 0x24, 0x42, 0x24, 0x22, 0x1b, 0x28, 0x42, 0x61])];
    });
    probe('text decoders', 'single byte', function () {
        return [decode('windows-1252', [0x41, 0x80, 0x81, 0x8d, 0x9f, 0xe9, 0xff]), decode('latin1', [0x80, 0x9d]),
            decode('windows-1251', [0xcf, 0xf0, 0xe8]), decode('koi8-r', [0xf0, 0xd2, 0xc9]), decode('iso-8859-2', [0xa1, 0xff]),
            decode('windows-1254', [0xd0, 0xfd]), decode('x-user-defined', [0x41, 0x80, 0xff]), decode('ibm866', [0x80, 0xaf]),
            decode('macintosh', [0x80, 0xa5])];
    });
    probe('text decoders', 'utf-16', function () {
        return [decode('utf-16le', [0xff, 0xfe, 0x41, 0x00, 0x2d, 0x4e]), decode('utf-16be', [0xfe, 0xff, 0x00, 0x41, 0x4e, 0x2d]),
            decode('utf-16le', [0x41, 0x00, 0x42]), decode('utf-16le', [0x00, 0xd8, 0x41, 0x00]),
            decode('utf-16le', [0x3d, 0xd8, 0x00, 0xde]), decode('utf-16le', [0x41], {fatal: true}),
            decode('utf-16le', [0xff, 0xfe, 0x41, 0x00], {ignoreBOM: true}).length, decode('utf-8', [0x41, 0xff], {fatal: true})];
    });
    probe('text decoders', 'shape', function () {
        var d = new TextDecoder('gbk', {fatal: true});
        return [d.encoding, d.fatal, d.ignoreBOM, new TextDecoder().encoding, read(function () { return new TextDecoder('gbk').decode(); }),
            read(function () { return new TextDecoder('gbk').decode(new Uint8Array([0xd6, 0xd0]).buffer); }),
            read(function () { return new TextDecoder('gbk').decode(new DataView(new Uint8Array([0x41, 0xd6, 0xd0]).buffer, 1)); })];
    });
})();
(function () {
    // Headers and responses a script makes itself (no request sent), and what a data:
    // address reads as.
    function read(f) {
        try {
            return f();
        } catch (e) {
            return 'throws ' + e.name + ': ' + e.message;
        }
    }
    function later(group, name, make) {
        probeLater(group, name, function (done) {
            make().then(function (v) { done(v); }, function (e) { done('rejects ' + e.name + ': ' + e.message); });
        });
    }
    function list(h) { var out = []; h.forEach(function (v, k) { out.push(k + '=' + v); }); return out.join('|'); }
    probe('headers', 'made', function () {
        var h = new Headers({'X-B': '2', 'x-a': '1'});
        h.append('X-A', 'again');
        h.append('Set-Cookie', 'a=1');
        h.append('set-cookie', 'b=2');
        return [list(h), h.get('x-a'), h.get('X-B'), h.get('none'), h.has('x-b'), Array.from(h.keys()).join(),
            String(h.getSetCookie()), Object.prototype.toString.call(h), Array.from(h).length];
    });
    probe('headers', 'changed', function () {
        var h = new Headers([['a', ' 1 '], ['B', '2']]);
        h.set('a', 'x');
        h.delete('b');
        return [list(h), list(new Headers(h)), read(function () { return new Headers([['a']]); }),
            read(function () { return new Headers({'bad name': 'x'}); }), read(function () { return new Headers().get(); }),
            read(function () { return new Headers('x'); }), read(function () { h.append('x', 'a\nb'); return list(h); })];
    });
    probe('responses', 'made', function () {
        var r = new Response('hi', {status: 201, statusText: 'Made', headers: {'X-Y': 'z'}});
        return [r.status, r.statusText, r.ok, r.type, r.url, r.redirected, r.bodyUsed, r.headers.get('content-type'), r.headers.get('x-y'),
            Object.prototype.toString.call(r), new Response().status, new Response(null).headers.get('content-type'),
            new Response(new Blob(['x'], {type: 'a/b'})).headers.get('content-type'),
            new Response(new URLSearchParams('a=1')).headers.get('content-type'), new Response(new Uint8Array(2)).headers.get('content-type')];
    });
    probe('responses', 'refused', function () {
        return [read(function () { return new Response('', {status: 99}); }), read(function () { return new Response('', {status: 204}).status; }),
            read(function () { return new Response('x', {status: 204}); }), read(function () { return Response(); }),
            read(function () { return Response.error().type + ' ' + Response.error().status; }),
            read(function () { var r = Response.json({a: 1}, {status: 202}); return [r.status, r.headers.get('content-type')].join(); }),
            read(function () { var r = Response.redirect('https://a.example/x', 301); return [r.status, r.headers.get('location')].join(); }),
            read(function () { return Response.redirect('https://a.example/x', 200); })];
    });
    later('responses', 'text', function () { return new Response('a\u4e2d').text(); });
    later('responses', 'json', function () { return new Response('{"a":[1,2]}').json(); });
    later('responses', 'bad json', function () { return new Response('{a').json(); });
    later('responses', 'arrayBuffer', function () {
        return new Response(new Uint8Array([1, 2, 3])).arrayBuffer().then(function (b) { return [b.byteLength, new Uint8Array(b)[2]]; });
    });
    later('responses', 'blob', function () {
        return new Response('abc', {headers: {'Content-Type': 'Text/X'}}).blob().then(function (b) { return [b.size, b.type]; });
    });
    later('responses', 'used twice', function () {
        var r = new Response('x');
        return r.text().then(function () { return [r.bodyUsed, read(function () { return r.clone(); })]; }).then(function (v) {
            return r.text().then(function () { return v.concat('again'); }, function (e) { return v.concat(e.name + ': ' + e.message); });
        });
    });
    later('responses', 'clone', function () {
        var r = new Response('x', {status: 202}), c = r.clone();
        return Promise.all([r.text(), c.text()]).then(function (t) { return [t.join(), c.status, c === r]; });
    });
    later('responses', 'fetched data address', function () {
        return fetch('data:text/plain;charset=utf-8,a%20b').then(function (r) {
            return r.text().then(function (t) { return [r.status, r.statusText, r.ok, r.type, r.url, r.headers.get('content-type'), t]; });
        });
    });
    later('responses', 'fetched base64 data address', function () {
        return fetch('data:application/octet-stream;base64,AAEC').then(function (r) {
            return r.arrayBuffer().then(function (b) { return [r.headers.get('content-type'), Array.from(new Uint8Array(b)).join()]; });
        });
    });
    later('responses', 'fetched plain data address', function () {
        return fetch('data:,x').then(function (r) { return r.headers.get('content-type'); });
    });
})();
(function () {
    // A shared worker: connected through its port.
    probe('shared workers', 'shape', function () {
        var w = new SharedWorker(URL.createObjectURL(new Blob([''])));
        return [Object.prototype.toString.call(w), Object.prototype.toString.call(w.port), w.onerror, SharedWorker.length,
            Object.getOwnPropertyNames(SharedWorker.prototype).sort().join(), w.port === w.port];
    });
    probeLater('shared workers', 'connect and echo', function (done) {
        var code = 'onconnect = function (e) { var p = e.ports[0]; p.onmessage = function (m) { p.postMessage([m.data * 2, typeof self, ' +
            'Object.prototype.toString.call(self), typeof SharedWorkerGlobalScope, self instanceof WorkerGlobalScope, name, typeof postMessage, ' +
            'typeof close, Object.prototype.toString.call(e), e.ports.length, e.source === p, typeof importScripts, typeof onmessage].join("|")); }; };';
        var w = new SharedWorker(URL.createObjectURL(new Blob([code])), 'nm');
        w.port.onmessage = function (e) { done(e.data); };
        w.port.postMessage(21);
    });
})();

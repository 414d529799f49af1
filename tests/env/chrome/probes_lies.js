// Probes of the tests fingerprinting scripts run on functions to tell a native one from
// one written in script or wrapped in a proxy: own keys, prototypes, constructing,
// printing, printing an object made from it, subclassing, cyclic prototypes, binding.
(function () {
    function getter(proto, name) { return Object.getOwnPropertyDescriptor(proto, name).get; }
    function setter(proto, name) { return Object.getOwnPropertyDescriptor(proto, name).set; }
    var targets = [
        ['javaEnabled', function () { return Navigator.prototype.javaEnabled; }],
        ['get userAgent', function () { return getter(Navigator.prototype, 'userAgent'); }],
        ['get webdriver', function () { return getter(Navigator.prototype, 'webdriver'); }],
        ['get hardwareConcurrency', function () { return getter(Navigator.prototype, 'hardwareConcurrency'); }],
        ['get languages', function () { return getter(Navigator.prototype, 'languages'); }],
        ['get plugins', function () { return getter(Navigator.prototype, 'plugins'); }],
        ['get screen width', function () { return getter(Screen.prototype, 'width'); }],
        ['get cookie', function () { return getter(Document.prototype, 'cookie'); }],
        ['set cookie', function () { return setter(Document.prototype, 'cookie'); }],
        ['get offsetWidth', function () { return getter(HTMLElement.prototype, 'offsetWidth'); }],
        ['toDataURL', function () { return HTMLCanvasElement.prototype.toDataURL; }],
        ['getContext', function () { return HTMLCanvasElement.prototype.getContext; }],
        ['getImageData', function () { return CanvasRenderingContext2D.prototype.getImageData; }],
        ['measureText', function () { return CanvasRenderingContext2D.prototype.measureText; }],
        ['getParameter', function () { return WebGLRenderingContext.prototype.getParameter; }],
        ['getBoundingClientRect', function () { return Element.prototype.getBoundingClientRect; }],
        ['createElement', function () { return Document.prototype.createElement; }],
        ['getTimezoneOffset', function () { return Date.prototype.getTimezoneOffset; }],
        ['resolvedOptions', function () { return Intl.DateTimeFormat.prototype.resolvedOptions; }],
        ['Function.prototype.toString', function () { return Function.prototype.toString; }],
        ['setTimeout', function () { return window.setTimeout; }],
        ['fetch', function () { return window.fetch; }],
        ['Math.random', function () { return Math.random; }],
        ['getChannelData', function () { return AudioBuffer.prototype.getChannelData; }],
        ['Notification.requestPermission', function () { return Notification.requestPermission; }],
        ['permissions.query', function () { return Permissions.prototype.query; }],
        ['get userAgentData', function () { return getter(Navigator.prototype, 'userAgentData'); }],
        ['matchMedia', function () { return window.matchMedia; }],
        ['atob', function () { return window.atob; }],
        ['Navigator', function () { return Navigator; }],
        ['HTMLDivElement', function () { return HTMLDivElement; }],
        ['Event', function () { return Event; }]
    ];
    function read(f) {
        try {
            var v = f();
            return v === undefined ? 'undefined' : v;
        } catch (e) {
            return 'throws ' + e.name + ': ' + e.message;
        }
    }
    // (Reading caller apart: V8's interface constructors answer null, its other
    // built-ins throw; read first, before the
    // other probes change the functions' prototypes for a while.)
    targets.forEach(function (t) {
        var fn = t[1]();
        probe('lies caller', t[0], function () { return read(function () { return String(fn.caller); }); });
    });
    targets.forEach(function (t) {
        var fn = t[1]();
        probe('lies', t[0], function () {
            return {
                typeof: read(function () { return typeof fn; }),
                keys: read(function () { return Reflect.ownKeys(fn).map(String).join(); }),
                prototype: read(function () { return 'prototype' in fn; }),
                construct: read(function () { new fn(); return 'made'; }),
                printed: read(function () { return Function.prototype.toString.call(fn); }),
                printerPrinted: read(function () { return fn.toString.toString(); }),
                madeFrom: read(function () { return Function.prototype.toString.call(Object.create(fn)); }),
                madeFromKeys: read(function () { return Object.keys(Object.create(fn)).length; }),
                subclass: read(function () { var Sub = class extends fn {}; return typeof Sub; }),
                callerArguments: read(function () { return fn.hasOwnProperty('arguments') + ' ' + fn.hasOwnProperty('caller'); }),
                nameLength: read(function () { return fn.name + '/' + fn.length; }),
                descriptors: read(function () { return JSON.stringify(Object.getOwnPropertyDescriptors(fn)); }),
                functionProto: read(function () { return Object.getPrototypeOf(fn) === Function.prototype; }),
                bound: read(function () { var b = fn.bind(null); return b.name + ' ' + Function.prototype.toString.call(b); }),
                instance: read(function () { return fn instanceof Function; }),
                nullProto: read(function () {
                    var before = Object.getPrototypeOf(fn);
                    Object.setPrototypeOf(fn, null);
                    var s = Function.prototype.toString.call(fn);
                    Object.setPrototypeOf(fn, before);
                    return s;
                }),
                cyclic: read(function () {
                    var before = Object.getPrototypeOf(fn);
                    try {
                        Object.setPrototypeOf(fn, Object.create(fn));
                    } finally {
                        Object.setPrototypeOf(fn, before);
                    }
                    return 'no error';
                })
            };
        });
    });
    // A prototype lists its members in Chrome's order (attributes, constants, operations,
    // the constructor, then the later members), whatever a script looked for first.
    var touched = [navigator.platform, navigator.javaEnabled, Navigator.prototype.constructor, document.body.nodeType,
        document.createElement('div').tagName, new Event('x').type, screen.width, performance.now()];
    [['Navigator', ['vendorSub', 'platform', 'userAgent', 'javaEnabled', 'vibrate', 'constructor', 'clipboard', 'userAgentData', 'getBattery']],
        ['Node', ['nodeType', 'textContent', 'ELEMENT_NODE', 'NOTATION_NODE', 'appendChild', 'replaceChild', 'constructor']],
        ['Event', ['type', 'cancelBubble', 'NONE', 'BUBBLING_PHASE', 'composedPath', 'stopPropagation', 'constructor']],
        ['Element', ['namespaceURI', 'tagName', 'id', 'getAttribute', 'querySelector', 'constructor']],
        ['Document', ['implementation', 'URL', 'body', 'createElement', 'writeln', 'constructor']],
        ['Screen', ['availWidth', 'width', 'colorDepth', 'constructor', 'orientation']],
        ['Performance', ['timeOrigin', 'now', 'toJSON', 'constructor', 'memory']],
        ['HTMLDivElement', ['align', 'constructor']], ['EventTarget', ['addEventListener', 'dispatchEvent', 'constructor']]
    ].forEach(function (t) {
        probe('prototype orders', t[0], function () {
            var names = Object.getOwnPropertyNames(window[t[0]].prototype);
            return t[1].filter(function (n) { return names.indexOf(n) >= 0; }).sort(function (a, b) { return names.indexOf(a) - names.indexOf(b); }).join(' ');
        });
    });
    probe('lies objects', 'prototype chains lie not', function () {
        return [Object.getPrototypeOf(navigator) === Navigator.prototype, navigator instanceof Navigator,
            Object.getOwnPropertyNames(navigator).length, Object.getOwnPropertyNames(screen).length,
            read(function () { return Object.keys(Object.getOwnPropertyDescriptors(Navigator.prototype)).length > 50; }),
            read(function () { return Reflect.getPrototypeOf(Navigator.prototype) === Object.prototype; }),
            read(function () { return String(Object.getOwnPropertyDescriptor(window, 'navigator').get); }),
            read(function () { return Object.getOwnPropertyDescriptor(Navigator.prototype, 'userAgent').get.call(navigator) === navigator.userAgent; }),
            read(function () { return Object.getOwnPropertyDescriptor(Navigator.prototype, 'userAgent').get.call(Object.create(navigator)); })];
    });
})();

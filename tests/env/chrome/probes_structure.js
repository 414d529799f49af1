// Structural probes of the page's interfaces: what detectors look at first.
(function () {
    var tag = function (o) { return Object.prototype.toString.call(o); };
    var chainOf = function (o) {
        var names = [];
        for (var p = Object.getPrototypeOf(o); p; p = Object.getPrototypeOf(p)) {
            var d = Object.getOwnPropertyDescriptor(p, Symbol.toStringTag);
            names.push(d ? d.value : p.constructor && p.constructor.name);
        }
        return names.join('>');
    };
    var div = document.createElement('div');
    var objects = {
        window: function () { return window; },
        navigator: function () { return navigator; },
        document: function () { return document; },
        location: function () { return location; },
        screen: function () { return screen; },
        history: function () { return history; },
        localStorage: function () { return localStorage; },
        sessionStorage: function () { return sessionStorage; },
        body: function () { return document.body; },
        head: function () { return document.head; },
        html: function () { return document.documentElement; },
        div: function () { return div; },
        span: function () { return document.createElement('span'); },
        a: function () { return document.createElement('a'); },
        img: function () { return document.createElement('img'); },
        canvas: function () { return document.createElement('canvas'); },
        script: function () { return document.createElement('script'); },
        input: function () { return document.createElement('input'); },
        iframe: function () { return document.createElement('iframe'); },
        p: function () { return document.createElement('p'); },
        unknown: function () { return document.createElement('foo'); },
        custom: function () { return document.createElement('x-foo'); },
        section: function () { return document.createElement('section'); },
        text: function () { return document.createTextNode('t'); },
        comment: function () { return document.createComment('c'); },
        fragment: function () { return document.createDocumentFragment(); },
        childNodes: function () { return document.body.childNodes; },
        children: function () { return document.body.children; },
        classList: function () { return div.classList; },
        attributes: function () { return div.attributes; },
        style: function () { return div.style; },
        plugins: function () { return navigator.plugins; },
        mimeTypes: function () { return navigator.mimeTypes; },
        event: function () { return new Event('x'); },
        customEvent: function () { return new CustomEvent('x'); },
        xhr: function () { return new XMLHttpRequest(); },
        crypto: function () { return crypto; },
        performance: function () { return performance; },
        context2d: function () { return document.createElement('canvas').getContext('2d'); },
        implementation: function () { return document.implementation; },
        querySelectorAll: function () { return document.querySelectorAll('div'); },
        getElementsByTagName: function () { return document.getElementsByTagName('div'); },
        messageChannel: function () { return new MessageChannel(); },
        connection: function () { return navigator.connection; },
        permissions: function () { return navigator.permissions; },
        userAgentData: function () { return navigator.userAgentData; },
        indexedDB: function () { return window.indexedDB; },
        external: function () { return window.external; },
        image: function () { return new Image(); },
        audio: function () { return new Audio(); },
        option: function () { return new Option(); }
    };
    Object.keys(objects).forEach(function (k) {
        var make = objects[k];
        probe('tags', k, function () { return tag(make()); });
        probe('chains', k, function () { return chainOf(make()); });
        probe('own properties', k, function () {
            var o = make();
            if (o === window) return null;
            return Object.getOwnPropertyNames(o).filter(function (n) { return !/^\d+$/.test(n); }).sort();
        });
    });
    probe('own properties', 'window has no page member on its prototype', function () {
        return Object.getOwnPropertyNames(Window.prototype).sort();
    });
    probe('chains', 'WindowProperties', function () { return tag(Object.getPrototypeOf(Window.prototype)); });
    probe('chains', 'Window.prototype.__proto__.__proto__', function () {
        return Object.getPrototypeOf(Object.getPrototypeOf(Window.prototype)) === EventTarget.prototype;
    });

    var interfaces = ['EventTarget', 'Node', 'Element', 'HTMLElement', 'HTMLDivElement', 'HTMLSpanElement', 'HTMLAnchorElement',
        'HTMLImageElement', 'HTMLCanvasElement', 'HTMLScriptElement', 'HTMLInputElement', 'HTMLIFrameElement', 'HTMLBodyElement',
        'HTMLHeadElement', 'HTMLHtmlElement', 'HTMLUnknownElement', 'HTMLAudioElement', 'HTMLVideoElement', 'HTMLMediaElement',
        'HTMLFormElement', 'HTMLSelectElement', 'HTMLOptionElement', 'HTMLTextAreaElement', 'HTMLButtonElement', 'HTMLTableElement',
        'Document', 'HTMLDocument', 'DocumentFragment', 'CharacterData', 'Text', 'Comment', 'Attr', 'Window', 'Navigator', 'Location',
        'Screen', 'History', 'Storage', 'NodeList', 'HTMLCollection', 'HTMLAllCollection', 'DOMTokenList', 'NamedNodeMap',
        'CSSStyleDeclaration', 'Event', 'CustomEvent', 'UIEvent', 'MouseEvent', 'KeyboardEvent', 'MessageEvent', 'ProgressEvent',
        'XMLHttpRequest', 'XMLHttpRequestEventTarget', 'Crypto', 'SubtleCrypto', 'Performance', 'PerformanceTiming',
        'CanvasRenderingContext2D', 'WebGLRenderingContext', 'WebGL2RenderingContext', 'Plugin', 'PluginArray', 'MimeType',
        'MimeTypeArray', 'MessageChannel', 'MessagePort', 'Notification', 'NetworkInformation', 'Permissions', 'PermissionStatus',
        'External', 'IDBFactory', 'MutationObserver', 'IntersectionObserver', 'ResizeObserver', 'NavigatorUAData', 'TextEncoder',
        'TextDecoder', 'DOMImplementation', 'ScreenOrientation', 'StorageManager', 'BarProp', 'VisualViewport', 'DOMRect',
        'Blob', 'File', 'FileReader', 'FormData', 'URL', 'URLSearchParams', 'Headers', 'Request', 'Response', 'AbortController',
        'AbortSignal', 'DOMParser', 'XMLSerializer', 'Range', 'Selection', 'WebSocket', 'Worker', 'BroadcastChannel',
        'MediaQueryList', 'Geolocation', 'MediaDevices', 'ServiceWorkerContainer', 'Clipboard', 'Image', 'Audio', 'Option'];
    interfaces.forEach(function (name) {
        probe('interface objects', name + ' type', function () { return typeof window[name]; });
        probe('interface objects', name + ' name and length', function () { return window[name].name + '/' + window[name].length; });
        probe('interface objects', name + ' parent', function () {
            var p = Object.getPrototypeOf(window[name]);
            return p === Function.prototype ? 'Function.prototype' : p.name;
        });
        probe('interface objects', name + ' on window', function () {
            var d = Object.getOwnPropertyDescriptor(window, name);
            return d ? [d.writable, d.enumerable, d.configurable] : null;
        });
        probe('interface objects', name + ' prototype flags', function () {
            var d = Object.getOwnPropertyDescriptor(window[name], 'prototype');
            return [d.writable, d.enumerable, d.configurable];
        });
        probe('tags', name + '.prototype', function () {
            var d = Object.getOwnPropertyDescriptor(window[name].prototype, Symbol.toStringTag);
            return d ? [d.value, d.writable, d.enumerable, d.configurable] : null;
        });
        probe('illegal constructors', 'new ' + name, function () {
            var made = new window[name]();
            return tag(made);
        });
        probe('illegal constructors', name + '()', function () { return tag(window[name]()); });
    });
})();

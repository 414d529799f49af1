// Probes of the members on the page's prototypes: flags, names and lengths, brand checks,
// and how their functions print.
(function () {
    function flags(d) {
        if (!d) return null;
        var out = [d.enumerable ? 'e' : '-', d.configurable ? 'c' : '-'];
        if ('value' in d) out.push(d.writable ? 'w' : '-', typeof d.value);
        else out.push(d.get ? 'get' : '-', d.set ? 'set' : '-');
        return out.join('');
    }
    var members = {
        'Navigator.prototype': ['userAgent', 'platform', 'language', 'languages', 'webdriver', 'plugins', 'mimeTypes',
            'hardwareConcurrency', 'deviceMemory', 'cookieEnabled', 'vendor', 'appVersion', 'javaEnabled', 'sendBeacon',
            'connection', 'permissions', 'userAgentData', 'getBattery', 'webkitPersistentStorage', 'doNotTrack', 'onLine',
            'maxTouchPoints', 'pdfViewerEnabled', 'storage', 'mediaDevices', 'clipboard', 'getGamepads', 'vibrate'],
        'Document.prototype': ['cookie', 'title', 'body', 'head', 'documentElement', 'createElement', 'getElementById',
            'querySelector', 'querySelectorAll', 'all', 'URL', 'domain', 'referrer', 'readyState', 'hidden',
            'visibilityState', 'characterSet', 'createEvent', 'write', 'hasFocus', 'getElementsByTagName', 'currentScript',
            'defaultView', 'location', 'fonts'],
        'Node.prototype': ['appendChild', 'removeChild', 'insertBefore', 'childNodes', 'parentNode', 'nodeType',
            'textContent', 'cloneNode', 'contains', 'ELEMENT_NODE', 'firstChild', 'isConnected'],
        'Element.prototype': ['innerHTML', 'outerHTML', 'id', 'className', 'classList', 'getAttribute', 'setAttribute',
            'getBoundingClientRect', 'attributes', 'tagName', 'matches', 'closest', 'children', 'remove'],
        'HTMLElement.prototype': ['style', 'offsetWidth', 'click', 'hidden', 'innerText', 'dataset', 'onclick'],
        'HTMLCanvasElement.prototype': ['getContext', 'toDataURL', 'width', 'height', 'toBlob'],
        'EventTarget.prototype': ['addEventListener', 'removeEventListener', 'dispatchEvent'],
        'Event.prototype': ['type', 'target', 'preventDefault', 'stopPropagation', 'isTrusted', 'AT_TARGET'],
        'Screen.prototype': ['width', 'height', 'availWidth', 'colorDepth', 'orientation'],
        'History.prototype': ['length', 'pushState', 'back', 'state'],
        'Storage.prototype': ['getItem', 'setItem', 'removeItem', 'clear', 'key', 'length'],
        'XMLHttpRequest.prototype': ['open', 'send', 'setRequestHeader', 'readyState', 'onreadystatechange', 'DONE'],
        'Crypto.prototype': ['getRandomValues', 'randomUUID', 'subtle'],
        'Performance.prototype': ['now', 'timing', 'timeOrigin', 'getEntriesByType', 'mark'],
        'Location.prototype': ['href', 'toString', 'assign'],
        'CanvasRenderingContext2D.prototype': ['fillRect', 'fillText', 'measureText', 'getImageData', 'font', 'fillStyle'],
        'WebGLRenderingContext.prototype': ['getParameter', 'getExtension', 'getSupportedExtensions', 'VENDOR', 'RENDERER'],
        'Notification': ['permission', 'requestPermission', 'maxActions'],
        'XMLHttpRequest': ['DONE', 'UNSENT'],
        'Node': ['ELEMENT_NODE', 'TEXT_NODE']
    };
    Object.keys(members).forEach(function (where) {
        var path = where.split('.'), holder = window[path[0]];
        if (path[1]) holder = holder && holder.prototype;
        members[where].forEach(function (name) {
            probe('flags', where + '.' + name, function () { return flags(Object.getOwnPropertyDescriptor(holder, name)); });
            probe('names and lengths', where + '.' + name, function () {
                var d = Object.getOwnPropertyDescriptor(holder, name);
                if (!d) return null;
                var out = [];
                ['value', 'get', 'set'].forEach(function (k) {
                    if (typeof d[k] === 'function') out.push(k + ':' + d[k].name + '/' + d[k].length);
                });
                return out.join(' ');
            });
            probe('illegal invocations', where + '.' + name, function () {
                var d = Object.getOwnPropertyDescriptor(holder, name);
                if (!d) return null;
                if (typeof d.value === 'function') return d.value.call({});
                if (d.get) return d.get.call({});
                return 'data';
            });
            probe('native printing', where + '.' + name + ' is native', function () {
                var d = Object.getOwnPropertyDescriptor(holder, name) || {};
                var f = typeof d.value === 'function' ? d.value : d.get;
                if (!f) return null;
                var text = Function.prototype.toString.call(f);
                return /\{\s*\[native code\]\s*\}$/.test(text) && text.indexOf('function ' + f.name + '()') === 0;
            });
            probe('native printing', where + '.' + name + ' exact', function () {
                var d = Object.getOwnPropertyDescriptor(holder, name) || {};
                var f = typeof d.value === 'function' ? d.value : d.get;
                return f ? String(f) : null;
            });
            probe('native printing', where + '.' + name + ' has no prototype', function () {
                var d = Object.getOwnPropertyDescriptor(holder, name) || {};
                var f = typeof d.value === 'function' ? d.value : d.get;
                return f ? [Object.prototype.hasOwnProperty.call(f, 'prototype'), Object.getOwnPropertyNames(f).sort()] : null;
            });
        });
    });

    // The window's own members.
    ['window', 'self', 'document', 'location', 'top', 'parent', 'frames', 'navigator', 'screen', 'history', 'localStorage',
        'setTimeout', 'setInterval', 'clearTimeout', 'requestAnimationFrame', 'atob', 'btoa', 'fetch', 'alert', 'name',
        'innerWidth', 'outerHeight', 'devicePixelRatio', 'onload', 'onerror', 'performance', 'crypto', 'indexedDB',
        'external', 'chrome', 'origin', 'isSecureContext', 'opener', 'closed', 'length', 'getComputedStyle', 'matchMedia',
        'requestIdleCallback', 'postMessage', 'queueMicrotask', 'console', 'customElements', 'visualViewport'].forEach(function (name) {
        probe('window members', name, function () { return flags(Object.getOwnPropertyDescriptor(window, name)); });
        probe('window members', name + ' name and length', function () {
            var d = Object.getOwnPropertyDescriptor(window, name);
            if (!d) return null;
            var f = typeof d.value === 'function' ? d.value : d.get;
            return f ? f.name + '/' + f.length : null;
        });
    });
    probe('window members', 'window === self === globalThis', function () {
        return window === self && self === globalThis && window.window === window && window.top === window && window.parent === window;
    });
    probe('window members', 'getter called without this', function () {
        return Object.getOwnPropertyDescriptor(window, 'document').get.call(undefined) === document;
    });
    probe('window members', 'setTimeout called on another object', function () { return setTimeout.call({}, function () {}, 0); });
    probe('native printing', 'Function.prototype.toString of itself', function () {
        return /native code/.test(Function.prototype.toString.call(Function.prototype.toString));
    });
    probe('native printing', 'user functions keep their source', function () {
        var f = function user(a) { return a + 1; };
        return String(f);
    });
    probe('native printing', 'String(setTimeout)', function () { return String(setTimeout); });
    probe('native printing', 'getter print', function () {
        return String(Object.getOwnPropertyDescriptor(Navigator.prototype, 'userAgent').get);
    });
    probe('native printing', 'setter print', function () {
        return String(Object.getOwnPropertyDescriptor(Document.prototype, 'cookie').set);
    });
    probe('native printing', 'constructor print', function () { return String(Navigator); });
    probe('native printing', 'new on a method', function () { return new navigator.javaEnabled(); });
    probe('native printing', 'Math.max', function () { return String(Math.max); });

    // Brand checks and argument counts.
    probe('illegal invocations', 'javaEnabled.call({})', function () { return navigator.javaEnabled.call({}); });
    probe('illegal invocations', 'userAgent getter on Object.create(Navigator.prototype)', function () {
        return Object.create(Navigator.prototype).userAgent;
    });
    probe('illegal invocations', 'Navigator.prototype.userAgent', function () { return Navigator.prototype.userAgent; });
    probe('illegal invocations', 'appendChild with no argument', function () { return document.body.appendChild(); });
    probe('illegal invocations', 'createElement with no argument', function () { return document.createElement(); });
    probe('illegal invocations', 'new Event with no argument', function () { return new Event(); });
    probe('illegal invocations', 'Event()', function () { return Event('x'); });
    probe('illegal invocations', 'getItem on a plain object', function () { return Storage.prototype.getItem.call({}, 'x'); });
    probe('illegal invocations', 'div getter on a span', function () {
        return Object.getOwnPropertyDescriptor(HTMLAnchorElement.prototype, 'href').get.call(document.createElement('span'));
    });
})();

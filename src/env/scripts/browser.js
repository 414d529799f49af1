// 浏览器环境（青柚JS调试工具）：window、navigator、document、location 等网页对象的替身，
// 按 Windows 上的桌面版 Chrome 取值。ES3 写成，JScript 5.8 与现代引擎都能运行；
// 要改的取值都在下面的 config 里。不联网、不读写文件：网络请求只记录，不发送。
(function (global, host, makeConsole) {
    var config = {
        userAgent: 'Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/124.0.0.0 Safari/537.36',
        platform: 'Win32',
        language: 'zh-CN',
        languages: ['zh-CN', 'zh'],
        vendor: 'Google Inc.',
        hardwareConcurrency: 8,
        deviceMemory: 8,
        address: 'about:blank',
        referrer: '',
        title: '',
        cookie: '',
        screenWidth: 1920,
        screenHeight: 1080,
        taskbarHeight: 40,
        innerWidth: 1920,
        innerHeight: 945
    };

    var hasHost = host !== null && typeof host === 'object';
    // Typed arrays tell a modern engine from JScript 5.8; members that give typed arrays
    // exist only there. JScript additionally gets the old IE members pages test for.
    var modern = hasHost ? host.target === 'es2021' : typeof Uint8Array === 'function';
    var oldIE = !modern;
    var hasOwn = Object.prototype.hasOwnProperty;
    var toText = String;
    var startTime = new Date().getTime();
    var clock = 0;

    function own(o, k) { return hasOwn.call(o, k); }
    function noop() {}
    function F() {}
    function inherit(proto) {
        F.prototype = proto;
        var o = new F();
        F.prototype = Object.prototype;
        return o;
    }
    function subclass(Child, Parent) {
        Child.prototype = inherit(Parent.prototype);
        Child.prototype.constructor = Child;
    }
    // An object the workbench watches: reads of members it lacks go into the record.
    function watched(proto, name) {
        return hasHost ? host.create(proto, name) : inherit(proto);
    }
    // An accessor where the engine allows one; a plain value (kept as it is) elsewhere.
    function accessor(o, name, get, set) {
        if (hasHost) host.accessor(o, name, get, set);
        else if (typeof Object.defineProperty === 'function') Object.defineProperty(o, name, {get: get, set: set, configurable: true, enumerable: true});
        else o[name] = get();
    }
    function line(text) {
        if (hasHost) host.line(text);
        else if (typeof Debug === 'object' && Debug !== null && typeof Debug.writeln === 'function') Debug.writeln('-->' + text);
    }
    function illegal() { throw new TypeError('Illegal constructor'); }
    function domError(name, message) {
        var e = new Error(message);
        e.name = name;
        return e;
    }

    // ---- the console (its script is this function's third argument) ------------

    var consoleKit = makeConsole(line), console = consoleKit.console, functionName = consoleKit.functionName;

    // ---- timers: queued, run after the load in the order of their (virtual) time ----

    var timers = [], nextTimer = 1;
    function queueTimer(t) {
        var at = timers.length;
        while (at > 0 && (timers[at - 1].due > t.due || (timers[at - 1].due === t.due && timers[at - 1].seq > t.seq))) at--;
        timers.splice(at, 0, t);
    }
    var timerSeq = 0;
    function addTimer(fn, delay, args, repeat) {
        delay = Number(delay);
        if (!(delay > 0)) delay = 0;
        var extra = [];
        for (var n = 2; n < args.length; n++) extra.push(args[n]);
        var t = {id: nextTimer++, fn: fn, delay: delay, args: extra, repeat: repeat, due: clock + delay, seq: timerSeq++};
        queueTimer(t);
        return t.id;
    }
    function clearTimer(id) {
        for (var n = 0; n < timers.length; n++) {
            if (timers[n].id === id) {
                timers.splice(n, 1);
                return;
            }
        }
    }
    var uncaught = consoleKit.uncaught;
    // Runs what is due, in order, at most `limit` callbacks; what is left waits for the
    // next run (an interval never keeps the workbench busy).
    function runTimers(limit) {
        var ran = 0;
        while (timers.length > 0 && ran < limit) {
            var t = timers.shift();
            if (t.due > clock) clock = t.due;
            if (t.repeat) {
                t.due = clock + (t.delay > 0 ? t.delay : 1);
                t.seq = timerSeq++;
                queueTimer(t);
            }
            ran++;
            try {
                if (typeof t.fn === 'function') t.fn.apply(global, t.args);
                else (new Function(toText(t.fn)))();
            } catch (e) {
                uncaught(e);
            }
        }
        return ran;
    }
    function setTimeout(fn, delay) { return addTimer(fn, delay, arguments, false); }
    function setInterval(fn, delay) { return addTimer(fn, delay, arguments, true); }
    function requestAnimationFrame(fn) {
        var wait = 16 - clock % 16;
        return addTimer(function () { fn(performance.now()); }, wait, [], false);
    }

    // ---- base64 -----------------------------------------------------------------

    var alphabet = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
    function btoa(data) {
        var s = toText(data), out = [], n, a, b, c;
        for (n = 0; n < s.length; n++)
            if (s.charCodeAt(n) > 255) throw domError('InvalidCharacterError', "Failed to execute 'btoa' on 'Window': The string to be encoded contains characters outside of the Latin1 range.");
        for (n = 0; n < s.length; n += 3) {
            a = s.charCodeAt(n);
            b = n + 1 < s.length ? s.charCodeAt(n + 1) : -1;
            c = n + 2 < s.length ? s.charCodeAt(n + 2) : -1;
            out.push(alphabet.charAt(a >> 2), alphabet.charAt(((a & 3) << 4) | (b < 0 ? 0 : b >> 4)),
                b < 0 ? '=' : alphabet.charAt(((b & 15) << 2) | (c < 0 ? 0 : c >> 6)), c < 0 ? '=' : alphabet.charAt(c & 63));
        }
        return out.join('');
    }
    function atob(data) {
        var s = toText(data).replace(/[\t\n\f\r ]/g, ''), out = [], bits = 0, count = 0, n, v;
        if (s.length % 4 === 0) s = s.replace(/={1,2}$/, '');
        if (s.length % 4 === 1 || /[^A-Za-z0-9+\/]/.test(s))
            throw domError('InvalidCharacterError', "Failed to execute 'atob' on 'Window': The string to be decoded is not correctly encoded.");
        for (n = 0; n < s.length; n++) {
            v = alphabet.indexOf(s.charAt(n));
            bits = (bits << 6) | v;
            count += 6;
            if (count >= 8) {
                count -= 8;
                out.push(String.fromCharCode((bits >> count) & 255));
            }
        }
        return out.join('');
    }

    // ---- events -----------------------------------------------------------------

    function Event(type, init) {
        if (arguments.length === 0) throw new TypeError("Failed to construct 'Event': 1 argument required, but only 0 present.");
        this.type = toText(type);
        this.bubbles = !!(init && init.bubbles);
        this.cancelable = !!(init && init.cancelable);
        this.composed = !!(init && init.composed);
        this.defaultPrevented = false;
        this.isTrusted = false;
        this.target = null;
        this.currentTarget = null;
        this.eventPhase = 0;
        this.timeStamp = performance.now();
    }
    Event.prototype.preventDefault = function () { if (this.cancelable) this.defaultPrevented = true; };
    Event.prototype.stopPropagation = noop;
    Event.prototype.stopImmediatePropagation = function () { this.__stopped = true; };
    Event.prototype.initEvent = function (type, bubbles, cancelable) {
        this.type = toText(type);
        this.bubbles = !!bubbles;
        this.cancelable = !!cancelable;
    };
    function CustomEvent(type, init) {
        Event.call(this, type, init);
        this.detail = init && init.detail !== undefined ? init.detail : null;
    }
    subclass(CustomEvent, Event);
    CustomEvent.prototype.initCustomEvent = function (type, bubbles, cancelable, detail) {
        this.initEvent(type, bubbles, cancelable);
        this.detail = detail;
    };

    function EventTarget() {}
    function listenersOf(target, type) {
        if (!own(target, '__listeners')) target.__listeners = {};
        var all = target.__listeners;
        if (!own(all, type)) all[type] = [];
        return all[type];
    }
    EventTarget.prototype.addEventListener = function (type, fn) {
        if (!fn) return;
        var list = listenersOf(this, toText(type));
        for (var n = 0; n < list.length; n++) if (list[n] === fn) return;
        list.push(fn);
    };
    EventTarget.prototype.removeEventListener = function (type, fn) {
        var list = listenersOf(this, toText(type));
        for (var n = 0; n < list.length; n++) if (list[n] === fn) list.splice(n--, 1);
    };
    EventTarget.prototype.dispatchEvent = function (event) {
        var list = listenersOf(this, event.type).slice(0), handler = this['on' + event.type];
        event.target = event.currentTarget = this;
        if (typeof handler === 'function') list.unshift(handler);
        for (var n = 0; n < list.length && !event.__stopped; n++) {
            try {
                if (typeof list[n] === 'function') list[n].call(this, event);
                else if (list[n] && typeof list[n].handleEvent === 'function') list[n].handleEvent(event);
            } catch (e) {
                uncaught(e);
            }
        }
        return !event.defaultPrevented;
    };
    if (oldIE) {
        EventTarget.prototype.attachEvent = function (name, fn) {
            this.addEventListener(toText(name).replace(/^on/, ''), fn);
            return true;
        };
        EventTarget.prototype.detachEvent = function (name, fn) {
            this.removeEventListener(toText(name).replace(/^on/, ''), fn);
        };
    }

    // ---- collections --------------------------------------------------------------

    function NodeList() { illegal(); }
    function listOf(items, Type) {
        var list = inherit((Type || NodeList).prototype);
        for (var n = 0; n < items.length; n++) list[n] = items[n];
        list.length = items.length;
        return list;
    }
    NodeList.prototype.item = function (n) { return n >= 0 && n < this.length ? this[n] : null; };
    NodeList.prototype.forEach = function (fn, self) { for (var n = 0; n < this.length; n++) fn.call(self, this[n], n, this); };
    function HTMLCollection() { illegal(); }
    HTMLCollection.prototype.item = NodeList.prototype.item;
    HTMLCollection.prototype.namedItem = function (name) {
        for (var n = 0; n < this.length; n++) if (this[n].id === name || this[n].name === name) return this[n];
        return null;
    };

    // ---- elements -----------------------------------------------------------------

    function Node() { illegal(); }
    subclass(Node, EventTarget);
    function Element() { illegal(); }
    subclass(Element, Node);
    function HTMLElement() { illegal(); }
    subclass(HTMLElement, Element);
    function HTMLCanvasElement() { illegal(); }
    subclass(HTMLCanvasElement, HTMLElement);
    function HTMLImageElement() { illegal(); }
    subclass(HTMLImageElement, HTMLElement);
    function HTMLScriptElement() { illegal(); }
    subclass(HTMLScriptElement, HTMLElement);

    var emptyRect = {x: 0, y: 0, width: 0, height: 0, top: 0, right: 0, bottom: 0, left: 0};
    var elementMethods = {
        setAttribute: function (name, value) {
            this.__attributes[toText(name).toLowerCase()] = toText(value);
            if (name === 'id' || name === 'src' || name === 'href') this[name] = toText(value);
            if (name === 'class') this.className = toText(value);
        },
        getAttribute: function (name) {
            var key = toText(name).toLowerCase();
            return own(this.__attributes, key) ? this.__attributes[key] : null;
        },
        hasAttribute: function (name) { return own(this.__attributes, toText(name).toLowerCase()); },
        removeAttribute: function (name) { delete this.__attributes[toText(name).toLowerCase()]; },
        appendChild: function (child) {
            if (child && child.parentNode) child.parentNode.removeChild(child);
            this.childNodes.push(child);
            child.parentNode = this;
            this.firstChild = this.childNodes[0];
            this.lastChild = child;
            if (child.tagName === 'SCRIPT' && child.src) line('加载脚本（未执行）：' + child.src);
            return child;
        },
        removeChild: function (child) {
            for (var n = 0; n < this.childNodes.length; n++) if (this.childNodes[n] === child) this.childNodes.splice(n--, 1);
            child.parentNode = null;
            this.firstChild = this.childNodes.length ? this.childNodes[0] : null;
            this.lastChild = this.childNodes.length ? this.childNodes[this.childNodes.length - 1] : null;
            return child;
        },
        insertBefore: function (child, before) {
            this.appendChild(child);
            if (before) {
                this.childNodes.pop();
                for (var n = 0; n < this.childNodes.length; n++) if (this.childNodes[n] === before) break;
                this.childNodes.splice(n, 0, child);
                this.firstChild = this.childNodes[0];
                this.lastChild = this.childNodes[this.childNodes.length - 1];
            }
            return child;
        },
        replaceChild: function (child, old) {
            this.insertBefore(child, old);
            this.removeChild(old);
            return old;
        },
        cloneNode: function () { return document.createElement(this.tagName); },
        contains: function (other) { return other === this; },
        getElementsByTagName: function () { return listOf([], HTMLCollection); },
        getElementsByClassName: function () { return listOf([], HTMLCollection); },
        querySelector: function () { return null; },
        querySelectorAll: function () { return listOf([]); },
        getBoundingClientRect: function () { return inherit(emptyRect); },
        getClientRects: function () { return listOf([]); },
        click: function () { this.dispatchEvent(new Event('click')); },
        focus: noop,
        blur: noop,
        remove: function () { if (this.parentNode) this.parentNode.removeChild(this); }
    };
    for (var m in elementMethods) if (own(elementMethods, m)) Element.prototype[m] = elementMethods[m];

    function canvasContext(canvas, kind) {
        kind = toText(kind).toLowerCase();
        if (kind === '2d') {
            var c2d = {canvas: canvas, fillStyle: '#000000', strokeStyle: '#000000', font: '10px sans-serif',
                textAlign: 'start', textBaseline: 'alphabetic', globalAlpha: 1, lineWidth: 1};
            var drawing = ['fillRect', 'strokeRect', 'clearRect', 'fillText', 'strokeText', 'beginPath', 'closePath',
                'moveTo', 'lineTo', 'arc', 'arcTo', 'rect', 'fill', 'stroke', 'save', 'restore', 'translate', 'rotate',
                'scale', 'setTransform', 'transform', 'drawImage', 'putImageData', 'bezierCurveTo', 'quadraticCurveTo',
                'clip', 'setLineDash'];
            for (var n = 0; n < drawing.length; n++) c2d[drawing[n]] = noop;
            c2d.measureText = function (text) { return {width: toText(text).length * 6}; };
            c2d.isPointInPath = function () { return false; };
            c2d.createLinearGradient = c2d.createRadialGradient = c2d.createPattern = function () {
                return {addColorStop: noop};
            };
            c2d.getImageData = function (x, y, w, h) {
                var size = Math.max(0, w * h * 4), data = modern ? new Uint8ClampedArray(size) : [];
                if (!modern) for (var k = 0; k < size; k++) data[k] = 0;
                return {width: w, height: h, data: data};
            };
            c2d.createImageData = c2d.getImageData;
            return c2d;
        }
        if (kind === 'webgl' || kind === 'experimental-webgl' || kind === 'webgl2') {
            return {canvas: canvas, getParameter: function () { return null; }, getExtension: function () { return null; },
                getSupportedExtensions: function () { return []; }, getContextAttributes: function () { return {}; }};
        }
        return null;
    }

    // Creates the element of `tag` with the members scripts use.
    function createElement(tag) {
        var name = toText(tag).toUpperCase(), Type = HTMLElement;
        if (name === 'CANVAS') Type = HTMLCanvasElement;
        else if (name === 'IMG') Type = HTMLImageElement;
        else if (name === 'SCRIPT') Type = HTMLScriptElement;
        var e = inherit(Type.prototype);
        e.tagName = e.nodeName = name;
        e.localName = name.toLowerCase();
        e.nodeType = 1;
        e.__attributes = {};
        e.childNodes = [];
        e.children = e.childNodes;
        e.firstChild = e.lastChild = e.parentNode = null;
        e.style = {};
        e.id = e.className = e.innerHTML = e.innerText = e.textContent = '';
        e.offsetWidth = e.offsetHeight = e.clientWidth = e.clientHeight = e.scrollWidth = e.scrollHeight = 0;
        e.offsetTop = e.offsetLeft = e.scrollTop = e.scrollLeft = 0;
        e.ownerDocument = document;
        if (name === 'CANVAS') {
            e.width = 300;
            e.height = 150;
            e.getContext = function (kind) { return canvasContext(e, kind); };
            e.toDataURL = function () { return 'data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAASwAAACWCAYAAABkW7XSAAAAAXNSR0IArs4c6QAAAARzQklUCAgICHwIZIgAAAAJcEhZcwAADsQAAA7EAZUrDhsAAAAZdEVYdFNvZnR3YXJlAHd3dy5pbmtzY2FwZS5vcmeb7jwaAAAAEklEQVR4nO3BAQ0AAADCoP6p3wEHAAAAAAAAAAAAAAAAAAAA'; };
        } else if (name === 'IMG') {
            e.width = e.height = e.naturalWidth = e.naturalHeight = 0;
            e.complete = true;
            // An image's address is a request of its own: it is recorded, never sent.
            var src = '';
            accessor(e, 'src', function () { return src; }, function (v) {
                src = toText(v);
                if (src) line('网络请求（未发送）：GET ' + src + '（Image）');
            });
        } else if (name === 'SCRIPT' || name === 'A' || name === 'LINK' || name === 'IFRAME') {
            e.src = e.href = '';
        }
        return e;
    }
    function Image(width, height) {
        var img = createElement('img');
        if (width !== undefined) img.width = width;
        if (height !== undefined) img.height = height;
        return img;
    }

    // ---- location -------------------------------------------------------------------

    var defaultPorts = {'http:': '80', 'https:': '443', 'ws:': '80', 'wss:': '443', 'ftp:': '21'};
    // The parts of an address as the browser normalises them.
    function parseAddress(address) {
        var text = toText(address).replace(/^\s+|\s+$/g, '');
        if (text === '') text = 'about:blank';
        if (!/^[a-zA-Z][a-zA-Z0-9+.\-]*:/.test(text)) text = 'http://' + text;
        var m = /^([a-zA-Z][a-zA-Z0-9+.\-]*:)(\/\/([^\/?#]*))?([^?#]*)(\?[^#]*)?(#.*)?$/.exec(text);
        var p = {protocol: m[1].toLowerCase(), host: '', hostname: '', port: '', pathname: m[4] || '',
            search: m[5] && m[5] !== '?' ? m[5] : '', hash: m[6] && m[6] !== '#' ? m[6] : ''};
        var special = own(defaultPorts, p.protocol) || p.protocol === 'file:';
        if (m[2] !== undefined && m[2] !== '') {
            var authority = m[3].replace(/^.*@/, '');
            var hp = /^(\[[^\]]*\]|[^:]*)(:(\d*))?$/.exec(authority) || [authority, authority, '', ''];
            p.hostname = hp[1].toLowerCase();
            p.port = hp[3] || '';
            if (own(defaultPorts, p.protocol) && defaultPorts[p.protocol] === p.port) p.port = '';
            p.host = p.port ? p.hostname + ':' + p.port : p.hostname;
            if (special && p.pathname === '') p.pathname = '/';
            p.origin = own(defaultPorts, p.protocol) ? p.protocol + '//' + p.host : 'null';
            p.href = p.protocol + '//' + (m[3] === authority ? '' : m[3].replace(/@.*$/, '') + '@') + p.host + p.pathname + p.search + p.hash;
        } else {
            p.origin = 'null';
            p.href = p.protocol + p.pathname + p.search + p.hash;
        }
        return p;
    }
    function Location() { illegal(); }
    var location = watched(Location.prototype, 'location');
    function navigate(how, address) {
        line('页面跳转（未执行）：' + how + ' ' + toText(address));
    }
    function setLocation(address) {
        var p = parseAddress(address);
        var names = ['protocol', 'host', 'hostname', 'port', 'pathname', 'search', 'hash', 'origin'];
        for (var n = 0; n < names.length; n++) location[names[n]] = p[names[n]];
        locationHref = p.href;
    }
    var locationHref = '';
    setLocation(hasHost && host.address ? host.address : config.address);
    accessor(location, 'href', function () { return locationHref; }, function (v) { navigate('href', v); });
    location.assign = function (address) { navigate('assign', address); };
    location.replace = function (address) { navigate('replace', address); };
    location.reload = function () { navigate('reload', locationHref); };
    location.toString = function () { return locationHref; };
    location.valueOf = function () { return this; };
    location.ancestorOrigins = listOf([]);

    // ---- navigator ------------------------------------------------------------------

    function Navigator() { illegal(); }
    function Plugin() { illegal(); }
    function MimeType() { illegal(); }
    function PluginArray() { illegal(); }
    function MimeTypeArray() { illegal(); }
    PluginArray.prototype.item = MimeTypeArray.prototype.item = NodeList.prototype.item;
    PluginArray.prototype.namedItem = MimeTypeArray.prototype.namedItem = function (name) {
        for (var n = 0; n < this.length; n++) if (this[n].name === name || this[n].type === name) return this[n];
        return null;
    };
    PluginArray.prototype.refresh = noop;
    var pluginNames = ['PDF Viewer', 'Chrome PDF Viewer', 'Chromium PDF Viewer', 'Microsoft Edge PDF Viewer', 'WebKit built-in PDF'];
    var pdf = inherit(MimeType.prototype), textPdf = inherit(MimeType.prototype), plugins = [];
    pdf.type = 'application/pdf';
    textPdf.type = 'text/pdf';
    pdf.suffixes = textPdf.suffixes = 'pdf';
    pdf.description = textPdf.description = 'Portable Document Format';
    for (i = 0; i < pluginNames.length; i++) {
        var plugin = inherit(Plugin.prototype);
        plugin.name = pluginNames[i];
        plugin.filename = 'internal-pdf-viewer';
        plugin.description = 'Portable Document Format';
        plugin[0] = pdf;
        plugin[1] = textPdf;
        plugin.length = 2;
        plugins.push(plugin);
    }
    pdf.enabledPlugin = textPdf.enabledPlugin = plugins[0];

    var navigator = watched(Navigator.prototype, 'navigator');
    var navigatorValues = {
        userAgent: config.userAgent,
        appCodeName: 'Mozilla',
        appName: 'Netscape',
        appVersion: config.userAgent.replace(/^Mozilla\//, ''),
        platform: config.platform,
        product: 'Gecko',
        productSub: '20030107',
        vendor: config.vendor,
        vendorSub: '',
        language: config.language,
        languages: config.languages,
        cookieEnabled: true,
        onLine: true,
        hardwareConcurrency: config.hardwareConcurrency,
        deviceMemory: config.deviceMemory,
        maxTouchPoints: 0,
        webdriver: false,
        doNotTrack: null,
        pdfViewerEnabled: true,
        plugins: listOf(plugins, PluginArray),
        mimeTypes: listOf([pdf, textPdf], MimeTypeArray)
    };
    for (m in navigatorValues) if (own(navigatorValues, m)) navigator[m] = navigatorValues[m];
    navigator.javaEnabled = function () { return false; };
    navigator.sendBeacon = function (address, data) {
        line('网络请求（未发送）：POST ' + toText(address) + (data === undefined ? '' : ' 正文：' + toText(data)) + '（sendBeacon）');
        return true;
    };

    // ---- document -------------------------------------------------------------------

    function Document() { illegal(); }
    subclass(Document, Node);
    function HTMLDocument() { illegal(); }
    subclass(HTMLDocument, Document);
    var document = watched(HTMLDocument.prototype, 'document');

    // The cookie jar: "name=value; attributes" sets or, with a past expiry or
    // max-age <= 0, removes one cookie; reading gives "a=1; b=2" in setting order.
    var jar = [];
    function cookieText() {
        var now = new Date().getTime(), out = [];
        for (var n = 0; n < jar.length; n++) {
            if (jar[n].expires !== null && jar[n].expires <= now) jar.splice(n--, 1);
            else out.push(jar[n].name === '' ? jar[n].value : jar[n].name + '=' + jar[n].value);
        }
        return out.join('; ');
    }
    function setCookie(text) {
        var parts = toText(text).split(';'), pair = parts[0], eq = pair.indexOf('=');
        var name = eq < 0 ? '' : pair.substring(0, eq).replace(/^\s+|\s+$/g, '');
        var value = (eq < 0 ? pair : pair.substring(eq + 1)).replace(/^\s+|\s+$/g, '');
        var expires = null;
        for (var n = 1; n < parts.length; n++) {
            var attr = parts[n].replace(/^\s+|\s+$/g, ''), at = attr.indexOf('=');
            var key = (at < 0 ? attr : attr.substring(0, at)).toLowerCase(), v = at < 0 ? '' : attr.substring(at + 1);
            if (key === 'max-age' && /^-?\d+$/.test(v)) expires = new Date().getTime() + parseInt(v, 10) * 1000;
            else if (key === 'expires' && expires === null && !isNaN(Date.parse(v))) expires = Date.parse(v);
        }
        // A cookie set again keeps its place (its creation time), as browsers keep it.
        var alive = expires === null || expires > new Date().getTime();
        for (n = 0; n < jar.length; n++) {
            if (jar[n].name !== name) continue;
            if (alive) jar[n] = {name: name, value: value, expires: expires};
            else jar.splice(n, 1);
            return;
        }
        if (alive) jar.push({name: name, value: value, expires: expires});
    }
    if (config.cookie) {
        var initial = config.cookie.split(';');
        for (i = 0; i < initial.length; i++) setCookie(initial[i]);
    }
    var documentValues = {
        nodeType: 9,
        nodeName: '#document',
        referrer: config.referrer,
        title: config.title,
        URL: locationHref,
        documentURI: locationHref,
        domain: location.hostname,
        readyState: 'complete',
        characterSet: 'UTF-8',
        charset: 'UTF-8',
        inputEncoding: 'UTF-8',
        contentType: 'text/html',
        compatMode: 'CSS1Compat',
        visibilityState: 'visible',
        hidden: false,
        location: location,
        defaultView: global,
        scripts: listOf([], HTMLCollection),
        forms: listOf([], HTMLCollection),
        images: listOf([], HTMLCollection),
        links: listOf([], HTMLCollection),
        activeElement: null,
        currentScript: null
    };
    for (m in documentValues) if (own(documentValues, m)) document[m] = documentValues[m];
    accessor(document, 'cookie', cookieText, setCookie);
    document.createElement = createElement;
    document.createElementNS = function (ns, tag) { return createElement(tag); };
    document.createTextNode = function (text) { return {nodeType: 3, nodeName: '#text', textContent: toText(text), data: toText(text)}; };
    document.createDocumentFragment = function () { return createElement('#document-fragment'); };
    document.createComment = function (text) { return {nodeType: 8, nodeName: '#comment', data: toText(text)}; };
    document.createEvent = function (kind) {
        var e = new Event('');
        if (/custom/i.test(kind)) e.initCustomEvent = CustomEvent.prototype.initCustomEvent;
        return e;
    };
    document.getElementById = function () { return null; };
    document.querySelector = function () { return null; };
    document.querySelectorAll = function () { return listOf([]); };
    document.getElementsByClassName = document.getElementsByName = function () { return listOf([], HTMLCollection); };
    document.getElementsByTagName = function () { return listOf([], HTMLCollection); };
    document.hasFocus = function () { return true; };
    document.execCommand = function () { return false; };
    document.open = document.close = function () { return document; };
    document.write = function () { line('document.write: ' + Array.prototype.join.call(arguments, '')); };
    document.writeln = function () { line('document.write: ' + Array.prototype.join.call(arguments, '')); };
    document.documentElement = createElement('html');
    document.head = createElement('head');
    document.body = createElement('body');
    document.documentElement.appendChild(document.head);
    document.documentElement.appendChild(document.body);
    document.documentElement.parentNode = document;
    if (oldIE) {
        // Old IE's document.all: every element by index, id or name.
        var all = listOf([document.documentElement, document.head, document.body], HTMLCollection);
        all.tags = function () { return listOf([], HTMLCollection); };
        document.all = all;
    } else if (hasHost) {
        // Chrome keeps document.all for old pages but makes it read as undefined.
        document.all = host.undetectable();
    }

    // ---- screen, history, storage ---------------------------------------------------

    function Screen() { illegal(); }
    var screen = watched(Screen.prototype, 'screen');
    var screenValues = {width: config.screenWidth, height: config.screenHeight, availWidth: config.screenWidth,
        availHeight: config.screenHeight - config.taskbarHeight, availLeft: 0, availTop: 0, colorDepth: 24,
        pixelDepth: 24, isExtended: false, orientation: {type: 'landscape-primary', angle: 0}};
    for (m in screenValues) if (own(screenValues, m)) screen[m] = screenValues[m];

    function History() { illegal(); }
    var history = inherit(History.prototype);
    history.length = 1;
    history.state = null;
    history.scrollRestoration = 'auto';
    history.back = history.forward = history.go = noop;
    history.pushState = history.replaceState = function (state) { history.state = state; };

    // In-memory Storage: items are own members, as `localStorage.key` reads them.
    function Storage() { illegal(); }
    function storageKeys(s) {
        var keys = [];
        for (var k in s) if (own(s, k) && k !== 'length') keys.push(k);
        return keys;
    }
    Storage.prototype.getItem = function (key) {
        key = toText(key);
        return own(this, key) && key !== 'length' ? this[key] : null;
    };
    Storage.prototype.setItem = function (key, value) {
        this[toText(key)] = toText(value);
        this.length = storageKeys(this).length;
    };
    Storage.prototype.removeItem = function (key) {
        if (toText(key) !== 'length') delete this[toText(key)];
        this.length = storageKeys(this).length;
    };
    Storage.prototype.clear = function () {
        var keys = storageKeys(this);
        for (var n = 0; n < keys.length; n++) delete this[keys[n]];
        this.length = 0;
    };
    Storage.prototype.key = function (n) {
        var keys = storageKeys(this);
        return n >= 0 && n < keys.length ? keys[n] : null;
    };
    function newStorage() {
        var s = inherit(Storage.prototype);
        s.length = 0;
        return s;
    }

    // ---- crypto, text codecs, performance -------------------------------------------

    function randomBytes(count) {
        if (hasHost) return host.randomBytes(count);
        var bytes = [];
        for (var n = 0; n < count; n++) bytes.push(Math.floor(Math.random() * 256));
        return bytes;
    }
    function Crypto() { illegal(); }
    var crypto = inherit(Crypto.prototype);
    crypto.randomUUID = function () {
        var b = randomBytes(16), hex = '';
        b[6] = (b[6] & 15) | 64;
        b[8] = (b[8] & 63) | 128;
        for (var n = 0; n < 16; n++) {
            hex += (b[n] < 16 ? '0' : '') + b[n].toString(16);
            if (n === 3 || n === 5 || n === 7 || n === 9) hex += '-';
        }
        return hex;
    };
    if (modern) {
        crypto.getRandomValues = function (array) {
            var integer = array instanceof Int8Array || array instanceof Uint8Array || array instanceof Uint8ClampedArray ||
                array instanceof Int16Array || array instanceof Uint16Array || array instanceof Int32Array ||
                array instanceof Uint32Array || (typeof BigInt64Array === 'function' && (array instanceof BigInt64Array || array instanceof BigUint64Array));
            if (!integer) throw domError('TypeMismatchError', "Failed to execute 'getRandomValues' on 'Crypto': The provided ArrayBufferView is of type '" + functionName(array && array.constructor) + "', which is not an integer array type.");
            if (array.byteLength > 65536) throw domError('QuotaExceededError', "Failed to execute 'getRandomValues' on 'Crypto': The ArrayBufferView's byte length (" + array.byteLength + ') exceeds the number of bytes of entropy available via this API (65536).');
            var view = new Uint8Array(array.buffer, array.byteOffset, array.byteLength), b = randomBytes(array.byteLength);
            for (var n = 0; n < b.length; n++) view[n] = b[n];
            return array;
        };
        crypto.subtle = {};
    }

    // UTF-8 in both directions; lone surrogates and bad sequences become U+FFFD.
    function utf8Bytes(text) {
        var s = toText(text), out = [], n, c, d;
        for (n = 0; n < s.length; n++) {
            c = s.charCodeAt(n);
            if (c >= 0xD800 && c <= 0xDBFF && n + 1 < s.length && (d = s.charCodeAt(n + 1)) >= 0xDC00 && d <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
                n++;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;
            }
            if (c < 0x80) out.push(c);
            else if (c < 0x800) out.push(0xC0 | (c >> 6), 0x80 | (c & 63));
            else if (c < 0x10000) out.push(0xE0 | (c >> 12), 0x80 | ((c >> 6) & 63), 0x80 | (c & 63));
            else out.push(0xF0 | (c >> 18), 0x80 | ((c >> 12) & 63), 0x80 | ((c >> 6) & 63), 0x80 | (c & 63));
        }
        return out;
    }
    function utf8Text(bytes, fatal) {
        var out = [], n = 0, b, need, c, min;
        while (n < bytes.length) {
            b = bytes[n++];
            if (b < 0x80) {
                out.push(String.fromCharCode(b));
                continue;
            }
            if (b >= 0xC2 && b <= 0xDF) { need = 1; c = b & 31; min = 0x80; }
            else if (b >= 0xE0 && b <= 0xEF) { need = 2; c = b & 15; min = 0x800; }
            else if (b >= 0xF0 && b <= 0xF4) { need = 3; c = b & 7; min = 0x10000; }
            else need = -1;
            while (need > 0 && n < bytes.length && (bytes[n] & 0xC0) === 0x80) {
                c = (c << 6) | (bytes[n++] & 63);
                need--;
            }
            if (need !== 0 || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
                if (fatal) throw new TypeError("Failed to execute 'decode' on 'TextDecoder': The encoded data was not valid for encoding utf-8");
                out.push('\uFFFD');
                continue;
            }
            if (c >= 0x10000) {
                c -= 0x10000;
                out.push(String.fromCharCode(0xD800 + (c >> 10), 0xDC00 + (c & 1023)));
            } else {
                out.push(String.fromCharCode(c));
            }
        }
        return out.join('');
    }
    function TextEncoder() { this.encoding = 'utf-8'; }
    TextEncoder.prototype.encode = function (text) {
        return new Uint8Array(utf8Bytes(text === undefined ? '' : text));
    };
    TextEncoder.prototype.encodeInto = function (text, target) {
        var b = utf8Bytes(text), n = 0;
        for (; n < b.length && n < target.length; n++) target[n] = b[n];
        return {read: toText(text).length, written: n};
    };
    function TextDecoder(label, options) {
        var name = label === undefined ? 'utf-8' : toText(label).toLowerCase().replace(/^\s+|\s+$/g, '');
        if (name !== 'utf-8' && name !== 'utf8' && name !== 'unicode-1-1-utf-8')
            throw new RangeError("Failed to construct 'TextDecoder': The encoding label provided ('" + label + "') is invalid.");
        this.encoding = 'utf-8';
        this.fatal = !!(options && options.fatal);
        this.ignoreBOM = !!(options && options.ignoreBOM);
    }
    TextDecoder.prototype.decode = function (input) {
        if (input === undefined) return '';
        var bytes = input instanceof ArrayBuffer ? new Uint8Array(input) :
            new Uint8Array(input.buffer, input.byteOffset, input.byteLength);
        var text = utf8Text(bytes, this.fatal);
        return !this.ignoreBOM && text.charCodeAt(0) === 0xFEFF ? text.substring(1) : text;
    };

    var performance = {timeOrigin: startTime};
    performance.now = function () { return new Date().getTime() - startTime + clock; };
    performance.mark = performance.measure = performance.clearMarks = performance.clearMeasures = noop;
    performance.getEntries = performance.getEntriesByName = performance.getEntriesByType = function () { return []; };
    performance.timing = {navigationStart: startTime, fetchStart: startTime, domLoading: startTime,
        domInteractive: startTime, domComplete: startTime, loadEventStart: startTime, loadEventEnd: startTime};

    // ---- requests: recorded in the log, never sent ----------------------------------

    function recordRequest(method, address, body, via) {
        line('网络请求（未发送）：' + method + ' ' + address + (body === undefined || body === null ? '' : ' 正文：' + toText(body)) + '（' + via + '）');
    }
    function XMLHttpRequest() {
        this.readyState = 0;
        this.status = 0;
        this.statusText = '';
        this.responseText = '';
        this.response = '';
        this.responseType = '';
        this.responseURL = '';
        this.timeout = 0;
        this.withCredentials = false;
        this.__headers = {};
    }
    subclass(XMLHttpRequest, EventTarget);
    XMLHttpRequest.UNSENT = 0;
    XMLHttpRequest.OPENED = 1;
    XMLHttpRequest.HEADERS_RECEIVED = 2;
    XMLHttpRequest.LOADING = 3;
    XMLHttpRequest.DONE = 4;
    XMLHttpRequest.prototype.open = function (method, address, async) {
        this.__method = toText(method).toUpperCase();
        this.__address = toText(address);
        this.__async = async === undefined || !!async;
        this.readyState = 1;
    };
    XMLHttpRequest.prototype.setRequestHeader = function (name, value) { this.__headers[toText(name)] = toText(value); };
    XMLHttpRequest.prototype.getResponseHeader = function () { return null; };
    XMLHttpRequest.prototype.getAllResponseHeaders = function () { return ''; };
    XMLHttpRequest.prototype.overrideMimeType = noop;
    XMLHttpRequest.prototype.abort = function () { this.readyState = 0; };
    // The request fails as a request without network does: status 0, then the error.
    XMLHttpRequest.prototype.send = function (body) {
        if (this.readyState !== 1) throw domError('InvalidStateError', "Failed to execute 'send' on 'XMLHttpRequest': The object's state must be OPENED.");
        recordRequest(this.__method, this.__address, body, 'XMLHttpRequest');
        var xhr = this;
        function fail() {
            xhr.readyState = 4;
            xhr.dispatchEvent(new Event('readystatechange'));
            xhr.dispatchEvent(new Event('error'));
            xhr.dispatchEvent(new Event('loadend'));
        }
        if (this.__async) setTimeout(fail, 0);
        else xhr.readyState = 4;
    };

    // ---- the global -----------------------------------------------------------------

    function Window() { illegal(); }
    subclass(Window, EventTarget);

    var names = {
        window: global, self: global, top: global, parent: global, frames: global,
        navigator: navigator, document: document, screen: screen, history: history,
        localStorage: newStorage(), sessionStorage: newStorage(), console: console,
        atob: atob, btoa: btoa, setTimeout: setTimeout, setInterval: setInterval,
        clearTimeout: clearTimer, clearInterval: clearTimer, requestAnimationFrame: requestAnimationFrame,
        cancelAnimationFrame: clearTimer, crypto: crypto, performance: performance,
        Image: Image, Event: Event, CustomEvent: CustomEvent, EventTarget: EventTarget, XMLHttpRequest: XMLHttpRequest,
        Window: Window, Navigator: Navigator, Document: Document, HTMLDocument: HTMLDocument, Location: Location,
        Screen: Screen, History: History, Storage: Storage, Crypto: Crypto, Node: Node, Element: Element,
        HTMLElement: HTMLElement, HTMLCanvasElement: HTMLCanvasElement, HTMLImageElement: HTMLImageElement,
        HTMLScriptElement: HTMLScriptElement, NodeList: NodeList, HTMLCollection: HTMLCollection,
        Plugin: Plugin, PluginArray: PluginArray, MimeType: MimeType, MimeTypeArray: MimeTypeArray,
        innerWidth: config.innerWidth, innerHeight: config.innerHeight, outerWidth: config.screenWidth,
        outerHeight: config.screenHeight - config.taskbarHeight, screenX: 0, screenY: 0, screenLeft: 0, screenTop: 0,
        pageXOffset: 0, pageYOffset: 0, scrollX: 0, scrollY: 0, devicePixelRatio: 1, name: '', closed: false,
        length: 0, opener: null, frameElement: null, isSecureContext: location.protocol === 'https:',
        origin: location.origin, onload: null, onerror: null
    };
    // What the host already has is kept where it is a service of its own (a caller's
    // own console, timers or codecs); the page's objects are always these.
    var services = {console: 1, setTimeout: 1, setInterval: 1, clearTimeout: 1, clearInterval: 1, atob: 1, btoa: 1,
        crypto: 1, performance: 1, Event: 1, CustomEvent: 1, EventTarget: 1, XMLHttpRequest: 1};
    for (m in names) {
        if (!own(names, m)) continue;
        if (!hasHost && own(services, m) && global[m] !== undefined) continue;
        global[m] = names[m];
    }
    if (modern) {
        var modernNames = {TextEncoder: TextEncoder, TextDecoder: TextDecoder};
        if (typeof Promise === 'function') {
            modernNames.fetch = function (input, init) {
                var address = typeof input === 'object' && input !== null && input.url ? input.url : toText(input);
                recordRequest(toText(init && init.method ? init.method : 'GET').toUpperCase(), address, init ? init.body : undefined, 'fetch');
                return Promise.reject(new TypeError('Failed to fetch'));
            };
        }
        for (m in modernNames) if (own(modernNames, m) && (hasHost || global[m] === undefined)) global[m] = modernNames[m];
    }
    accessor(global, 'location', function () { return location; }, function (v) { navigate('href', v); });
    global.addEventListener = EventTarget.prototype.addEventListener;
    global.removeEventListener = EventTarget.prototype.removeEventListener;
    global.dispatchEvent = EventTarget.prototype.dispatchEvent;
    if (oldIE) {
        global.attachEvent = EventTarget.prototype.attachEvent;
        global.detachEvent = EventTarget.prototype.detachEvent;
    }
    global.alert = function (message) { line('alert: ' + (message === undefined ? '' : toText(message))); };
    global.confirm = function (message) { line('confirm: ' + (message === undefined ? '' : toText(message))); return true; };
    global.prompt = function (message) { line('prompt: ' + (message === undefined ? '' : toText(message))); return null; };
    global.getComputedStyle = function () { return {getPropertyValue: function () { return ''; }}; };
    global.matchMedia = function (query) { return {matches: false, media: toText(query), addListener: noop, removeListener: noop}; };
    global.open = function (address) { navigate('open', address === undefined ? '' : address); return null; };
    global.close = global.focus = global.blur = global.scrollTo = global.scrollBy = noop;
    global.postMessage = noop;

    // The workbench runs the queued timers after every load and evaluation.
    if (hasHost) host.timers(runTimers);
})(function () { return this; }(), typeof __qyEnvHost === 'undefined' ? null : __qyEnvHost,
    // 第三个参数：控制台的脚本（console.js），装入时接在这里
    /* console.js */ null);

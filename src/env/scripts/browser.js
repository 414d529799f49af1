// 浏览器环境（青柚JS调试工具）：window、navigator、document、location 等网页对象的替身，
// 按 Windows 上的桌面版 Chrome 取值。ES3 写成，JScript 5.8 与现代引擎都能运行；
// 要改的取值都在下面的 config 里。不联网、不读写文件：网络请求只记录，不发送。
(function (global, host, makeConsole) {
    var config = {
        userAgent: 'Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/124.0.0.0 Safari/537.36',
        platform: 'Win32',
        language: 'zh-CN',
        languages: ['zh-CN', 'zh'],
        timeZone: 'Asia/Shanghai',
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
    // The host outside the workbench (the portable form) gives only part of the
    // functions; what it lacks is done here in script.
    function hostHas(name) { return hasHost && typeof host[name] === 'function'; }
    // The user's own browser (a profile their Chrome printed) answers where it has values.
    var profile = hasHost && typeof host.profile === 'object' && host.profile !== null ? host.profile : {};
    function profiled(section, name, fallback) {
        var o = profile[section];
        return o !== null && typeof o === 'object' && o[name] !== undefined && o[name] !== null ? o[name] : fallback;
    }
    var pn = profile.navigator || {};
    // The voices as rows [name, lang, local, default].
    config.voices = profile.speech && profile.speech.voices instanceof Array ? profile.speech.voices : null;
    config.userAgent = profiled('navigator', 'userAgent', config.userAgent);
    config.platform = profiled('navigator', 'platform', config.platform);
    config.language = profiled('navigator', 'language', config.language);
    config.languages = profiled('navigator', 'languages', config.languages);
    config.vendor = profiled('navigator', 'vendor', config.vendor);
    config.hardwareConcurrency = profiled('navigator', 'hardwareConcurrency', config.hardwareConcurrency);
    config.deviceMemory = profiled('navigator', 'deviceMemory', config.deviceMemory);
    config.screenWidth = profiled('screen', 'width', config.screenWidth);
    config.screenHeight = profiled('screen', 'height', config.screenHeight);
    config.innerWidth = profiled('window', 'innerWidth', config.innerWidth);
    config.innerHeight = profiled('window', 'innerHeight', config.innerHeight);
    config.referrer = profiled('document', 'referrer', config.referrer);
    // Typed arrays tell a modern engine from JScript 5.8; members that give typed arrays
    // exist only there. JScript additionally gets the old IE members pages test for.
    var modern = hasHost ? host.target === 'es2021' : typeof Uint8Array === 'function';
    var oldIE = !modern;
    // In the modern target scripts never hold these page objects: Chrome's face stands
    // before them, with its own constants and accessors.
    var behindFace = hasHost && modern;
    var hasOwn = Object.prototype.hasOwnProperty;
    var toText = String;
    // With a seed the host's clock and random source repeat from run to run.
    var seeded = hasHost && host.seeded === true;
    if (seeded) Math.random = host.random;
    var startTime = new Date().getTime();
    var clock = 0;

    function own(o, k) { return hasOwn.call(o, k); }
    // Copies `from`'s own members onto `to` in their order. The set-up makes hundreds of
    // members so; the modern engine's own copy does it without a turn of script each.
    var assign = modern && typeof Object.assign === 'function' ? Object.assign : null;
    function copyOwn(to, from) {
        if (assign) return assign(to, from);
        for (var k in from) if (own(from, k)) to[k] = from[k];
        return to;
    }
    function noop() {}
    function F() {}
    // An object whose prototype is `proto`. The modern engine's own Object.create does it
    // without rewriting F's prototype twice for each object the page objects make.
    var createFrom = modern && typeof Object.create === 'function' ? Object.create : null;
    function inherit(proto) {
        if (createFrom && proto !== null && typeof proto === 'object') return createFrom(proto);
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
        // A page that already fixed the member for good (a browser's own location) keeps it.
        var d = modern && typeof Object.getOwnPropertyDescriptor === 'function' ? Object.getOwnPropertyDescriptor(o, name) : null;
        if (d && d.configurable === false) return;
        if (hasHost) host.accessor(o, name, get, set);
        else if (typeof Object.defineProperty === 'function') Object.defineProperty(o, name, {get: get, set: set, configurable: true, enumerable: true});
        else if (o[name] === undefined) o[name] = get();
    }
    // The same on a prototype, for a member every instance reads through it. Where the
    // engine allows no accessor at all, each node holds a plain value instead (plainMembers).
    var plainMembers = !hasHost && typeof Object.defineProperty !== 'function';
    function protoAccessor(proto, name, get, set) {
        if (!plainMembers) accessor(proto, name, get, set);
    }
    function line(text) {
        if (hasHost) host.line(text);
        else if (typeof Debug === 'object' && Debug !== null && typeof Debug.writeln === 'function') Debug.writeln('-->' + text);
    }
    function illegal() { throw new TypeError('Illegal constructor'); }
    // Where the page is shown with Chrome's interfaces, its DOMException makes these errors.
    var makeDomError = null;
    // Where the page is shown with Chrome's interfaces, the face learns of the kinds of
    // page objects made on first use (ranges, timeline entries) through this.
    var typesWatcher = null;
    // Counts the changes of the page's tree, attributes and styles: what the layout worked
    // out holds until the count moves on (see placesIn).
    var layoutVersion = 0;
    function layoutChanged() { layoutVersion++; }
    // Told when the page's children change while a script holds window[n] (the face
    // then lets each index show the frame now in its place).
    var framesWatcher = null;
    function childrenChanged() {
        layoutVersion++;
        if (framesWatcher !== null) framesWatcher();
    }
    function madeTypes(types) { if (typesWatcher) typesWatcher(types); }
    function domError(name, message) {
        if (makeDomError) return makeDomError(name, message);
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
    // What the page's code throws and nothing catches goes to the log, unless the hook
    // (a worker's, while its code runs) takes it.
    var uncaughtHook = null;
    function uncaught(e) {
        if (uncaughtHook !== null && uncaughtHook(e)) return;
        consoleKit.uncaught(e);
    }
    // Runs what is due, in order, at most `limit` callbacks; what is left waits for the
    // next run (an interval never keeps the workbench busy).
    function runTimers(limit) {
        var ran = 0;
        while (timers.length > 0 && ran < limit) {
            var t = timers.shift();
            if (t.due > clock) {
                clock = t.due;
                // A seeded run's clock (Date included) moves with the timers.
                if (hostHas('clock')) host.clock(clock);
            }
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

    // Events go the way browsers send them: down from the window through the target's
    // ancestors (capture), at the target, and back up (bubble) when the event bubbles.
    function Event(type, init) {
        if (arguments.length === 0) throw new TypeError("Failed to construct 'Event': 1 argument required, but only 0 present.");
        this.type = toText(type);
        this.bubbles = !!(init && init.bubbles);
        this.cancelable = !!(init && init.cancelable);
        this.composed = !!(init && init.composed);
        this.defaultPrevented = false;
        this.isTrusted = false;
        this.target = this.srcElement = null;
        this.currentTarget = null;
        this.eventPhase = 0;
        this.cancelBubble = false;
        this.returnValue = true;
        this.timeStamp = performance.now();
    }
    var eventPhases = {NONE: 0, CAPTURING_PHASE: 1, AT_TARGET: 2, BUBBLING_PHASE: 3};
    copyOwn(Event, eventPhases);
    copyOwn(Event.prototype, eventPhases);
    Event.prototype.preventDefault = function () {
        // A passive listener cannot cancel.
        if (this.cancelable && !this.__passive) {
            this.defaultPrevented = true;
            this.returnValue = false;
        }
    };
    Event.prototype.stopPropagation = function () { this.__stopped = this.cancelBubble = true; };
    Event.prototype.stopImmediatePropagation = function () { this.__stopped = this.__stoppedNow = this.cancelBubble = true; };
    Event.prototype.composedPath = function () { return this.__path && this.eventPhase !== 0 ? this.__path.slice(0) : []; };
    Event.prototype.initEvent = function (type, bubbles, cancelable) {
        if (this.__dispatching) return;
        this.type = toText(type);
        this.bubbles = !!bubbles;
        this.cancelable = !!cancelable;
        this.defaultPrevented = this.__stopped = this.__stoppedNow = false;
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
    function UIEvent(type, init) {
        Event.call(this, type, init);
        this.view = init && init.view ? init.view : null;
        this.detail = init && init.detail !== undefined ? Number(init.detail) : 0;
        this.which = 0;
    }
    subclass(UIEvent, Event);
    var modifierNames = ['ctrlKey', 'shiftKey', 'altKey', 'metaKey'];
    function modifiers(e, init) {
        for (var n = 0; n < modifierNames.length; n++) e[modifierNames[n]] = !!(init && init[modifierNames[n]]);
    }
    function numberOf(init, name) { return init && init[name] !== undefined ? Number(init[name]) : 0; }
    function MouseEvent(type, init) {
        UIEvent.call(this, type, init);
        var names = ['screenX', 'screenY', 'clientX', 'clientY', 'movementX', 'movementY', 'button', 'buttons'];
        for (var n = 0; n < names.length; n++) this[names[n]] = numberOf(init, names[n]);
        this.x = this.pageX = this.offsetX = this.clientX;
        this.y = this.pageY = this.offsetY = this.clientY;
        this.relatedTarget = init && init.relatedTarget ? init.relatedTarget : null;
        this.which = this.button + 1;
        modifiers(this, init);
    }
    subclass(MouseEvent, UIEvent);
    MouseEvent.prototype.getModifierState = function (key) {
        var k = toText(key);
        return k === 'Control' ? this.ctrlKey : k === 'Shift' ? this.shiftKey : k === 'Alt' ? this.altKey : k === 'Meta' ? this.metaKey : false;
    };
    MouseEvent.prototype.initMouseEvent = function (type, bubbles, cancelable, view, detail, screenX, screenY, clientX, clientY,
            ctrlKey, altKey, shiftKey, metaKey, button, relatedTarget) {
        this.initEvent(type, bubbles, cancelable);
        MouseEvent.call(this, type, {bubbles: bubbles, cancelable: cancelable, view: view, detail: detail, screenX: screenX,
            screenY: screenY, clientX: clientX, clientY: clientY, ctrlKey: ctrlKey, altKey: altKey, shiftKey: shiftKey,
            metaKey: metaKey, button: button, relatedTarget: relatedTarget});
    };
    // A pointer's event: what a script's init gives, else a pointer that was never down
    // (Chrome's values for a made-up event).
    function PointerEvent(type, init) {
        MouseEvent.call(this, type, init);
        this.pointerId = numberOf(init, 'pointerId');
        this.width = init && init.width !== undefined ? Number(init.width) : 1;
        this.height = init && init.height !== undefined ? Number(init.height) : 1;
        var names = ['pressure', 'tangentialPressure', 'tiltX', 'tiltY', 'twist', 'azimuthAngle', 'persistentDeviceId'];
        for (var n = 0; n < names.length; n++) this[names[n]] = numberOf(init, names[n]);
        this.altitudeAngle = init && init.altitudeAngle !== undefined ? Number(init.altitudeAngle) : Math.PI / 2;
        this.pointerType = init && init.pointerType !== undefined ? toText(init.pointerType) : '';
        this.isPrimary = !!(init && init.isPrimary);
    }
    subclass(PointerEvent, MouseEvent);
    PointerEvent.prototype.getCoalescedEvents = PointerEvent.prototype.getPredictedEvents = function () { return []; };
    function KeyboardEvent(type, init) {
        UIEvent.call(this, type, init);
        this.key = init && init.key !== undefined ? toText(init.key) : '';
        this.code = init && init.code !== undefined ? toText(init.code) : '';
        this.location = numberOf(init, 'location');
        this.repeat = !!(init && init.repeat);
        this.isComposing = !!(init && init.isComposing);
        this.keyCode = numberOf(init, 'keyCode');
        this.charCode = numberOf(init, 'charCode');
        this.which = numberOf(init, 'which') || this.keyCode;
        modifiers(this, init);
    }
    subclass(KeyboardEvent, UIEvent);
    KeyboardEvent.prototype.getModifierState = MouseEvent.prototype.getModifierState;
    var keyLocations = {DOM_KEY_LOCATION_STANDARD: 0, DOM_KEY_LOCATION_LEFT: 1, DOM_KEY_LOCATION_RIGHT: 2, DOM_KEY_LOCATION_NUMPAD: 3};
    copyOwn(KeyboardEvent, keyLocations);
    copyOwn(KeyboardEvent.prototype, keyLocations);

    function EventTarget() {}
    function listenersOf(target, type) {
        if (!own(target, '__listeners')) target.__listeners = {};
        var all = target.__listeners;
        if (!own(all, type)) all[type] = [];
        return all[type];
    }
    function captureOf(options) {
        return typeof options === 'object' && options !== null ? !!options.capture : !!options;
    }
    EventTarget.prototype.addEventListener = function (type, fn, options) {
        if (!fn) return;
        var list = listenersOf(this, toText(type)), capture = captureOf(options);
        for (var n = 0; n < list.length; n++) if (list[n].fn === fn && list[n].capture === capture) return;
        var object = typeof options === 'object' && options !== null;
        list.push({fn: fn, capture: capture, once: object && !!options.once, passive: object && !!options.passive});
    };
    EventTarget.prototype.removeEventListener = function (type, fn, options) {
        var list = listenersOf(this, toText(type)), capture = captureOf(options);
        for (var n = 0; n < list.length; n++) {
            if (list[n].fn === fn && list[n].capture === capture) {
                list[n].removed = true;
                list.splice(n--, 1);
            }
        }
    };
    // The target's ancestors up to the document, and the window above the page's document.
    function eventPath(target) {
        var path = [target];
        if (target === global || !target) return path;
        // (An object other than a node may name the one its events go on to: a database
        // request its transaction, a transaction its database.)
        if (typeof target.nodeType !== 'number') {
            for (var up = target.__eventParent; up; up = up.__eventParent) path.push(up);
            return path;
        }
        for (var p = target.parentNode; p; p = p.parentNode) path.push(p);
        if (path[path.length - 1] === document) path.push(global);
        return path;
    }
    function callListener(target, event, l) {
        if (l.removed) return;
        if (l.once) target.removeEventListener(event.type, l.fn, l.capture);
        event.__passive = l.passive;
        try {
            if (typeof l.fn === 'function') l.fn.call(target, event);
            else if (l.fn && typeof l.fn.handleEvent === 'function') l.fn.handleEvent(event);
        } catch (e) {
            uncaught(e);
        }
        event.__passive = false;
    }
    // One target's listeners for the phase: capture ones while capturing, the others while
    // bubbling, both at the target (capture ones first). The onX handler runs among the
    // others, first.
    function invokeAt(target, event, phase) {
        if (event.__stopped) return;
        event.currentTarget = target;
        event.eventPhase = phase;
        var list = own(target, '__listeners') && own(target.__listeners, event.type) ? target.__listeners[event.type].slice(0) : [];
        var n;
        if (phase !== 3) {
            for (n = 0; n < list.length && !event.__stoppedNow; n++) if (list[n].capture) callListener(target, event, list[n]);
        }
        if (phase === 1) return;
        // An onX property of an object without handler accessors (a request, say) runs first.
        var handler = target['on' + event.type], registered = false;
        for (n = 0; n < list.length; n++) registered = registered || list[n].handler === true;
        if (typeof handler === 'function' && !registered && !event.__stoppedNow) {
            var result;
            try {
                result = handler.call(target, event);
            } catch (e) {
                uncaught(e);
            }
            if (result === false) event.preventDefault();
        }
        for (n = 0; n < list.length && !event.__stoppedNow; n++) if (!list[n].capture) callListener(target, event, list[n]);
    }
    function dispatch(target, event, shownTarget) {
        if (event === null || typeof event !== 'object' || typeof event.type !== 'string')
            throw new TypeError("Failed to execute 'dispatchEvent' on 'EventTarget': parameter 1 is not of type 'Event'.");
        if (event.__dispatching) throw domError('InvalidStateError', "Failed to execute 'dispatchEvent' on 'EventTarget': The event is already being dispatched.");
        var path = eventPath(target), n;
        var acting = event.type === 'click' ? activationTarget(event, path) : null, undo = acting ? beforeClick(acting) : null;
        event.__dispatching = true;
        event.__path = path;
        // The window's load names the document as its target, as browsers do.
        event.target = event.srcElement = shownTarget || target;
        for (n = path.length - 1; n > 0; n--) invokeAt(path[n], event, 1);
        invokeAt(target, event, 2);
        if (event.bubbles) for (n = 1; n < path.length; n++) invokeAt(path[n], event, 3);
        event.__dispatching = false;
        event.__stopped = event.__stoppedNow = event.cancelBubble = false;
        event.eventPhase = 0;
        event.currentTarget = null;
        if (acting) afterClick(acting, event, undo);
        return !event.defaultPrevented;
    }
    EventTarget.prototype.dispatchEvent = function (event) { return dispatch(this, event); };
    // A browser's own event (page load, element.click() aside): trusted.
    function fire(target, type, bubbles, shownTarget) {
        var e = new Event(type, {bubbles: !!bubbles});
        e.isTrusted = true;
        return dispatch(target, e, shownTarget);
    }
    // The onX handlers the page's objects have, null until set.
    var handlerNames = ('abort blur cancel canplay canplaythrough change click close contextmenu dblclick drag dragend ' +
        'dragenter dragleave dragover dragstart drop durationchange emptied ended error focus input invalid keydown ' +
        'keypress keyup load loadeddata loadedmetadata loadstart mousedown mouseenter mouseleave mousemove mouseout ' +
        'mouseover mouseup pause play playing progress ratechange reset resize scroll seeked seeking select stalled ' +
        'submit suspend timeupdate toggle volumechange waiting wheel pointerdown pointerup pointermove pointerover ' +
        'pointerout pointerenter pointerleave pointercancel touchstart touchend touchmove touchcancel animationend ' +
        'animationstart transitionend copy cut paste').split(' ');
    // An onX handler is null until set; set, it takes its place among the listeners at
    // that moment (set to null, it leaves), as browsers order them.
    function handlerGet(o, name) {
        return own(o, '__handlers') && own(o.__handlers, name) ? o.__handlers[name] : null;
    }
    function handlerSet(o, name, v) {
        if (!own(o, '__handlers')) o.__handlers = {};
        var handlers = o.__handlers, list = listenersOf(o, name), at = -1, k;
        for (k = 0; k < list.length; k++) if (list[k].handler === true) at = k;
        if (typeof v !== 'function') {
            delete handlers[name];
            if (at >= 0) {
                list[at].removed = true;
                list.splice(at, 1);
            }
            return;
        }
        handlers[name] = v;
        if (at < 0) {
            list.push({capture: false, handler: true, fn: function (event) {
                var current = own(handlers, name) ? handlers[name] : null;
                if (typeof current === 'function' && current.call(this, event) === false) event.preventDefault();
            }});
        }
    }
    function handlerAccessor(o, name) {
        accessor(o, 'on' + name, function () { return handlerGet(this, name); }, function (v) { handlerSet(this, name, v); });
    }
    // In the modern target scripts reach the page objects only through Chrome's face,
    // which reads and sets the handlers with handlerOf and setHandler: an object keeps the
    // names it has, and no accessor is made per name and object at each page's start.
    var handlerSets = behindFace ? new WeakMap() : null;
    var protoOf = handlerSets ? Object.getPrototypeOf : null;
    function nullHandlers(o, extra) {
        if (handlerSets) {
            handlerSets.set(o, extra || []);
            return;
        }
        var names = handlerNames.concat(extra || []);
        for (var n = 0; n < names.length; n++) {
            if (!plainMembers) handlerAccessor(o, names[n]);
            else if (!own(o, 'on' + names[n])) o['on' + names[n]] = null;
        }
    }
    // Whether `o` (or what it inherits from) has the onX handler `name`.
    function hasHandler(o, name) {
        for (var p = o; p; p = protoOf(p)) {
            var extra = handlerSets.get(p);
            if (extra && (handlerNames.indexOf(name) >= 0 || extra.indexOf(name) >= 0)) return true;
        }
        return false;
    }
    // The handler `name` of `o` (null while unset); undefined where `o` has no such handler.
    function handlerOf(o, name) {
        o = handlerHolder(o, name);
        return hasHandler(o, name) ? handlerGet(o, name) : undefined;
    }
    // Whether `o` holds the onX handler `name` (null or a function), and setting it.
    function handlerSlot(o, name) {
        if (handlerSets && hasHandler(o, name)) return true;
        var v = o['on' + name];
        return v === null || typeof v === 'function';
    }
    function putHandler(o, name, v) {
        if (handlerSets && hasHandler(o, name)) handlerSet(o, name, v);
        else o['on' + name] = v;
    }
    // Sets `o`'s handler `name`; false where `o` has no such handler.
    function setHandler(o, name, v) {
        o = handlerHolder(o, name);
        if (!hasHandler(o, name)) return false;
        handlerSet(o, name, v);
        return true;
    }
    // A handler attribute is the body of the element's onX handler. Behind Chrome's face
    // the face compiles it (its `this`, event and scopes are the face's objects); the
    // body's and frameset's window events (onload and the like) are the window's handlers.
    var handlerCompiler = null;
    var windowHandlers = {blur: true, error: true, focus: true, load: true, resize: true, scroll: true, beforeunload: true,
        hashchange: true, message: true, offline: true, online: true, pagehide: true, pageshow: true, popstate: true,
        storage: true, unload: true};
    // Who holds `o`'s handler `name`: the window for the body's window events.
    function handlerHolder(o, name) {
        return (o.tagName === 'BODY' || o.tagName === 'FRAMESET') && windowHandlers[name] === true ? global : o;
    }
    function setHandlerAttribute(o, name, body) {
        var target = handlerCompiler ? handlerHolder(o, name) : o;
        if (!handlerSlot(target, name)) return;
        try {
            putHandler(target, name, handlerCompiler ? handlerCompiler(o, name, body, target === global) : new Function('event', body));
        } catch (e) {
            uncaught(e);
        }
    }
    function compileHandlersWith(compile) { handlerCompiler = compile; }
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

    // ---- nodes ----------------------------------------------------------------------
    // A small tree as pages build it: elements, text and comments with their parents and
    // siblings, attributes, deep clones, searches by tag, class, id and simple selectors,
    // and innerHTML / textContent both ways.

    function Node() { illegal(); }
    subclass(Node, EventTarget);
    var nodeTypes = {ELEMENT_NODE: 1, ATTRIBUTE_NODE: 2, TEXT_NODE: 3, CDATA_SECTION_NODE: 4, COMMENT_NODE: 8,
        DOCUMENT_NODE: 9, DOCUMENT_TYPE_NODE: 10, DOCUMENT_FRAGMENT_NODE: 11};
    copyOwn(Node, nodeTypes);
    copyOwn(Node.prototype, nodeTypes);
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
    function CharacterData() { illegal(); }
    subclass(CharacterData, Node);
    function Text() { illegal(); }
    subclass(Text, CharacterData);
    function Comment() { illegal(); }
    subclass(Comment, CharacterData);
    function DocumentFragment() { illegal(); }
    subclass(DocumentFragment, Node);
    function DocumentType() { illegal(); }
    subclass(DocumentType, Node);

    function initNode(node, type, name, doc) {
        node.nodeType = type;
        node.nodeName = name;
        node.nodeValue = null;
        node.ownerDocument = doc;
        node.parentNode = node.parentElement = node.previousSibling = node.nextSibling = null;
        node.firstChild = node.lastChild = null;
        node.childNodes = [];
        return node;
    }
    function characterData(Type, type, name, data, doc) {
        var node = initNode(inherit(Type.prototype), type, name, doc);
        node.data = node.nodeValue = node.textContent = toText(data);
        node.length = node.data.length;
        return node;
    }
    function fragment(doc) {
        var f = initNode(inherit(DocumentFragment.prototype), 11, '#document-fragment', doc);
        if (plainMembers) f.textContent = '';
        relink(f);
        return f;
    }

    // After any change to its children: each child's parent and siblings, and the
    // parent's first, last and element children.
    function relink(parent) {
        childrenChanged();
        var list = parent.childNodes, elements = [], previous = null;
        for (var n = 0; n < list.length; n++) {
            var c = list[n];
            c.parentNode = parent;
            c.parentElement = parent.nodeType === 1 ? parent : null;
            c.previousSibling = n > 0 ? list[n - 1] : null;
            c.nextSibling = n + 1 < list.length ? list[n + 1] : null;
            if (c.nodeType !== 1) continue;
            c.previousElementSibling = previous;
            c.nextElementSibling = null;
            if (previous) previous.nextElementSibling = c;
            previous = c;
            elements.push(c);
        }
        parent.firstChild = list.length ? list[0] : null;
        parent.lastChild = list.length ? list[list.length - 1] : null;
        parent.children = listOf(elements, HTMLCollection);
        parent.childElementCount = elements.length;
        parent.firstElementChild = elements.length ? elements[0] : null;
        parent.lastElementChild = previous;
    }
    var spliceList = Array.prototype.splice;
    // Takes `child` out of its parent; only its neighbours change, so emptying a long list
    // one child at a time stays fast.
    function detach(child) {
        childrenChanged();
        var p = child.parentNode;
        if (!p) return;
        var list = p.childNodes, n = 0;
        while (n < list.length && list[n] !== child) n++;
        if (n === list.length) return;
        if (followers) beforeRemoval(child, p, n);
        spliceList.call(list, n, 1);
        var before = child.previousSibling, after = child.nextSibling;
        if (before) before.nextSibling = after;
        if (after) after.previousSibling = before;
        p.firstChild = list.length ? list[0] : null;
        p.lastChild = list.length ? list[list.length - 1] : null;
        if (child.nodeType === 1 && p.children) {
            var pe = child.previousElementSibling || null, ne = child.nextElementSibling || null, elements = p.children;
            if (pe) pe.nextElementSibling = ne;
            if (ne) ne.previousElementSibling = pe;
            if (p.firstElementChild === child) p.firstElementChild = ne;
            if (p.lastElementChild === child) p.lastElementChild = pe;
            for (var k = 0; k < elements.length; k++) {
                if (elements[k] === child) {
                    spliceList.call(elements, k, 1);
                    break;
                }
            }
            p.childElementCount = elements.length;
            child.previousElementSibling = child.nextElementSibling = null;
        }
        child.parentNode = child.parentElement = child.previousSibling = child.nextSibling = null;
    }
    function notNode(method, value) {
        if (value === null || typeof value !== 'object' || typeof value.nodeType !== 'number') {
            throw new TypeError("Failed to execute '" + method + "' on 'Node': parameter 1 is not of type 'Node'.");
        }
    }
    // One node put last: only its neighbours change, so building a long list stays linear.
    function appendOne(parent, child) {
        childrenChanged();
        detach(child);
        var list = parent.childNodes, last = list.length ? list[list.length - 1] : null;
        list[list.length] = child;
        child.parentNode = parent;
        child.parentElement = parent.nodeType === 1 ? parent : null;
        child.previousSibling = last;
        child.nextSibling = null;
        if (last) last.nextSibling = child;
        parent.firstChild = list[0];
        parent.lastChild = child;
        if (child.nodeType === 1) {
            var previous = parent.lastElementChild || null, elements = parent.children;
            child.previousElementSibling = previous;
            child.nextElementSibling = null;
            if (previous) previous.nextElementSibling = child;
            elements[elements.length] = child;
            elements.length = elements.length + 1;
            parent.childElementCount = elements.length;
            if (!parent.firstElementChild) parent.firstElementChild = child;
            parent.lastElementChild = child;
        }
        if (child.tagName === 'SCRIPT' && child.src) scriptPut(child);
        return child;
    }
    // A script element the page put in: recorded once (as Chrome fetches it once); one
    // the HTML reader made (innerHTML, insertAdjacentHTML) is never fetched.
    function scriptPut(script) {
        if (script.__line !== undefined || script.__started) return;
        script.__started = true;
        line('加载脚本（未执行）：' + script.src);
    }
    // Puts `child` (or a fragment's children) before `before`, or last.
    function insertChild(parent, child, before) {
        if (!before && child.nodeType !== 11 && parent.children) return appendOne(parent, child);
        var items = child.nodeType === 11 ? child.childNodes.slice(0) : [child], k, at;
        for (k = 0; k < items.length; k++) detach(items[k]);
        for (at = 0; before && at < parent.childNodes.length; at++) if (parent.childNodes[at] === before) break;
        if (!before) at = parent.childNodes.length;
        for (k = 0; k < items.length; k++) parent.childNodes.splice(at + k, 0, items[k]);
        if (followers) afterInsertion(parent, at, items.length);
        relink(parent);
        if (child.nodeType === 11) relink(child);
        for (k = 0; k < items.length; k++) {
            if (items[k].tagName === 'SCRIPT' && items[k].src) scriptPut(items[k]);
        }
        return child;
    }
    // An attribute's name as an element keeps it: an HTML element's in lower case, a
    // foreign element's (SVG's viewBox) as written.
    function attributeKey(e, name) {
        var text = toText(name), key = text.toLowerCase();
        return key !== text && (e.namespaceURI === SVG_NS || e.namespaceURI === MATHML_NS) ? text : key;
    }
    // A foreign element (SVG's, MathML's) keeps its name's case and its namespace.
    function makeForeign(e, name, space) {
        e.tagName = e.nodeName = name;
        e.localName = name.replace(/^.*:/, '');
        e.namespaceURI = space;
    }
    // A form control's state a copy takes along.
    var CLONED_STATE = ['checked', 'value', 'defaultValue', 'defaultChecked', 'selected', 'disabled'];
    function cloneNode(node, deep, doc) {
        var copy, type = node.nodeType, attributes, a, k;
        if (type === 1) {
            copy = createElement(node.localName, doc);
            if (node.namespaceURI === SVG_NS || node.namespaceURI === MATHML_NS || node.namespaceURI === null) makeForeign(copy, node.tagName, node.namespaceURI);
            attributes = node.__attributes;
            for (a in attributes) if (own(attributes, a)) copy.setAttribute(a, attributes[a]);
            for (k = 0; k < CLONED_STATE.length; k++) {
                a = CLONED_STATE[k];
                if (own(node, a)) copy[a] = node[a];
            }
            // (A copy of a script already fetched, or never to be, is not fetched.)
            if (node.__started || node.__line !== undefined) copy.__started = true;
        } else if (type === 3) copy = characterData(Text, 3, '#text', node.data, doc);
        else if (type === 8) copy = characterData(Comment, 8, '#comment', node.data, doc);
        else if (type === 11) copy = fragment(doc);
        else return node;
        var from = node.childNodes, n = from.length;
        // A new element's or fragment's lists start empty, so a leaf needs no linking (a
        // deep copy of a text or comment is linked as it always was).
        if (deep && (n > 0 || type === 3 || type === 8)) {
            var into = copy.childNodes;
            for (k = 0; k < n; k++) into[k] = cloneNode(from[k], true, doc);
            relink(copy);
        }
        return copy;
    }

    // Elements under `root` in document order that pass `test`; the first only when `one`.
    function findAll(root, test, out, one) {
        for (var n = 0; n < root.childNodes.length; n++) {
            var c = root.childNodes[n];
            if (c.nodeType !== 1) continue;
            if (test(c)) {
                out.push(c);
                if (one) return true;
            }
            if (findAll(c, test, out, one) && one) return true;
        }
        return false;
    }
    // By tag name: an HTML element's in any case, a foreign element's (SVG's) as written.
    function byTag(root, tag) {
        var name = toText(tag), upper = name.toUpperCase(), out = hostSearchesTrees ? hostSearch(root, name, 4) : undefined;
        if (out !== undefined) return listOf(out, HTMLCollection);
        out = [];
        findAll(root, function (e) {
            var t = e.tagName;
            return name === '*' || t === name || (t === upper && e.namespaceURI !== SVG_NS && e.namespaceURI !== MATHML_NS);
        }, out, false);
        return listOf(out, HTMLCollection);
    }
    function hasClasses(e, wanted) {
        // (A class list is split at ASCII white space only.)
        var have = ' ' + toText(e.className).replace(/[\t\n\f\r ]+/g, ' ') + ' ';
        for (var n = 0; n < wanted.length; n++) if (have.indexOf(' ' + wanted[n] + ' ') < 0) return false;
        return wanted.length > 0;
    }
    function byClass(root, names) {
        var text = toText(names), out = hostSearchesTrees ? hostSearch(root, text, 5) : undefined;
        if (out !== undefined) return listOf(out, HTMLCollection);
        var wanted = text.replace(/^[\t\n\f\r ]+|[\t\n\f\r ]+$/g, '').split(/[\t\n\f\r ]+/);
        out = [];
        if (wanted.length === 1 && wanted[0] === '') wanted = [];
        findAll(root, function (e) { return hasClasses(e, wanted); }, out, false);
        return listOf(out, HTMLCollection);
    }
    function byId(root, id) {
        id = toText(id);
        if (id === '') return null;  // no element has an empty id
        var out = hostSearchesTrees ? hostSearch(root, id, 7) : undefined;
        if (out !== undefined) return out;
        out = [];
        findAll(root, function (e) { return e.id === id; }, out, true);
        return out.length ? out[0] : null;
    }
    // Selectors as Chrome reads them: compounds of a type (or *), #id, .class,
    // [attribute] (with = ~= ^= $= *= |= and an i or s flag), pseudo-classes with their
    // arguments and pseudo-elements, joined by blanks, ">", "+" or "~", in a list of
    // alternatives. A selector is read once into its chains of compounds, each compound
    // [tag (upper case, '' for any), id or null, classes or null, attributes (name, test,
    // value, ...) or null, combinator before it (false: blank, true: ">", 2: "+", 3: "~"),
    // pseudo-classes (name, argument, ...) or absent]. Inside the workbench the host reads
    // the common shapes (no pseudo-class, blank and ">" only; see ATTRIBUTE_TESTS for the
    // tests' numbers) and the reader below the rest; elsewhere the reader reads them all.
    // A text that is no selector reads as null (Chrome's pages throw for it, old ones
    // found nothing).
    var ATTRIBUTE_TESTS = {'': 0, '=': 1, '~=': 2, '^=': 3, '$=': 4, '*=': 5, '|=': 6};
    // A test's number plus this compares without regard to ASCII case (the "i" flag).
    var ANY_CASE = 8;
    // Pseudo-classes that take no argument; the ones of states the environment never has
    // (hover, visited, full screen, ...) are read and match nothing.
    var PLAIN_PSEUDO = null, PSEUDO_ELEMENTS, FORM_CONTROLS, TEXT_INPUTS;
    function pseudoWords() {
        PLAIN_PSEUDO = wordSet('first-child last-child only-child first-of-type last-of-type only-of-type empty root ' +
        'scope checked disabled enabled required optional read-only read-write placeholder-shown link any-link ' +
        '-webkit-any-link focus focus-within target defined default indeterminate valid invalid in-range out-of-range ' +
        'hover active visited focus-visible fullscreen -webkit-full-screen modal autofill -webkit-autofill ' +
        'picture-in-picture popover-open user-valid user-invalid target-within host');
        PSEUDO_ELEMENTS = wordSet('before after first-line first-letter placeholder selection marker backdrop ' +
            'file-selector-button cue spelling-error grammar-error target-text');
        FORM_CONTROLS = wordSet('BUTTON INPUT SELECT TEXTAREA OPTGROUP OPTION FIELDSET');
        TEXT_INPUTS = wordSet('text search url tel email password date month week time datetime-local number');
    }
    function SelectorText(text) { this.s = text; this.at = 0; }
    SelectorText.prototype = {
        peek: function (k) { return this.s.charAt(this.at + (k || 0)); },
        blanks: function () {
            var start = this.at, c;
            while ((c = this.s.charAt(this.at)) === ' ' || c === '\t' || c === '\n' || c === '\r' || c === '\f') this.at++;
            return this.at > start;
        },
        // A character of a name: a letter, digit, "_", "-", anything past ASCII, or an escape.
        nameChar: function (c, next) {
            return /[\w-]/.test(c) || c.charCodeAt(0) >= 0x80 || (c === '\\' && next !== '\n' && next !== '\r' && next !== '\f');
        },
        startsName: function () {
            var c = this.peek(), d = this.peek(1);
            if (c === '-') c = d, d = this.peek(2);
            if (c === '-') return true;
            return /[a-zA-Z_]/.test(c) || c.charCodeAt(0) >= 0x80 || (c === '\\' && d !== '\n' && d !== '\r' && d !== '\f');
        },
        escape: function () {
            var s = this.s, hex = /^[0-9a-fA-F]{1,6}/.exec(s.substring(this.at, this.at + 6)), code;
            if (this.at >= s.length) return '\ufffd';
            if (!hex) return s.charAt(this.at++);
            this.at += hex[0].length;
            var c = s.charAt(this.at);
            if (c === ' ' || c === '\t' || c === '\n' || c === '\f') this.at++;
            else if (c === '\r') this.at += s.charAt(this.at + 1) === '\n' ? 2 : 1;
            code = parseInt(hex[0], 16);
            if (code === 0 || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) return '\ufffd';
            if (code < 0x10000) return String.fromCharCode(code);
            code -= 0x10000;
            return String.fromCharCode(0xd800 + (code >> 10), 0xdc00 + (code & 0x3ff));
        },
        name: function () {
            var out = '';
            while (this.at < this.s.length && this.nameChar(this.peek(), this.peek(1))) {
                var c = this.s.charAt(this.at++);
                out += c === '\\' ? this.escape() : c;
            }
            return out;
        },
        ident: function () { return this.startsName() ? this.name() : null; },
        quoted: function () {
            var quote = this.s.charAt(this.at++), out = '';
            while (this.at < this.s.length) {
                var c = this.s.charAt(this.at++);
                if (c === quote) return out;
                if (c === '\n' || c === '\r' || c === '\f') return null;
                if (c !== '\\') out += c;
                else if (this.at >= this.s.length) break;
                else if (/[\n\f]/.test(this.peek())) this.at++;
                else if (this.peek() === '\r') this.at += this.peek(1) === '\n' ? 2 : 1;
                else out += this.escape();
            }
            return out;
        },
        // The text up to the parenthesis that closes the one just opened.
        inParentheses: function () {
            var depth = 1, start = this.at, c;
            while (this.at < this.s.length) {
                c = this.s.charAt(this.at++);
                if (c === '\\') this.at++;
                else if (c === '"' || c === "'") {
                    this.at--;
                    if (this.quoted() === null) return null;
                } else if (c === '(') depth++;
                else if (c === ')' && --depth === 0) return this.s.substring(start, this.at - 1);
            }
            return this.s.substring(start);
        }
    };
    // A list of alternatives up to the end or a ")"; null where it reads as none. In a
    // relative list (:has) each may start with a combinator; a forgiving one (:is, :where)
    // leaves out the alternatives it cannot read.
    function readList(r, relative, forgiving) {
        var chains = [];
        while (true) {
            r.blanks();
            var start = r.at, chain = readChain(r, relative);
            if (chain === null) {
                if (!forgiving) return null;
                r.at = start;
                var depth = 0, c;
                for (; r.at < r.s.length; r.at++) {
                    c = r.peek();
                    if (c === '\\') r.at++;
                    else if (c === '(') depth++;
                    else if (c === ')') { if (depth-- === 0) break; }
                    else if (c === ',' && depth === 0) break;
                }
            } else {
                chains.push(chain);
            }
            if (r.peek() !== ',') break;
            r.at++;
        }
        return chains.length || forgiving ? chains : null;
    }
    var COMBINATORS = {'>': true, '+': 2, '~': 3};
    function readChain(r, relative) {
        var chain = [], combinator = false, c;
        if (relative && own(COMBINATORS, r.peek())) {
            combinator = COMBINATORS[r.peek()];
            r.at++;
            r.blanks();
        }
        while (true) {
            var compound = readCompound(r);
            if (compound === null) return null;
            compound[4] = combinator;
            chain.push(compound);
            var spaced = r.blanks();
            c = r.peek();
            if (c !== '' && own(COMBINATORS, c)) {
                combinator = COMBINATORS[c];
                r.at++;
                r.blanks();
            } else if (c === '' || c === ',' || c === ')') {
                return chain;
            } else if (spaced) {
                combinator = false;
            } else {
                return null;
            }
        }
    }
    function pushTo(c, at, items) {
        if (c[at] === null || c[at] === undefined) c[at] = [];
        for (var n = 2; n < arguments.length; n++) c[at].push(arguments[n]);
    }
    function readCompound(r) {
        var c = ['', null, null, null, false], any = false, name;
        if (r.peek() === '*' || r.peek() === '|') {
            if (r.peek() === '*') r.at++;
            any = true;
            if (r.peek() === '|' && r.peek(1) !== '=') {
                // A namespace: "*|" is any; "|" (none) holds no element of the page.
                var none = r.s.charAt(r.at - 1) !== '*';
                r.at++;
                if (r.peek() === '*') r.at++;
                else if ((name = r.ident()) !== null) c[0] = name.toUpperCase();
                else return null;
                if (none) pushTo(c, 5, '-internal-never', null);
            }
        } else if ((name = r.ident()) !== null) {
            any = true;
            if (r.peek() === '|' && r.peek(1) !== '=') return null;  // no namespace prefixes are declared
            c[0] = name.toUpperCase();
        }
        while (r.at < r.s.length) {
            var ch = r.peek();
            if (ch === '#') {
                r.at++;
                if ((name = r.ident()) === null) return null;
                if (c[1] === null) c[1] = name;
                else pushTo(c, 3, 'id', 1, name);
            } else if (ch === '.') {
                r.at++;
                if ((name = r.ident()) === null) return null;
                pushTo(c, 2, name);
            } else if (ch === '[') {
                if (!readAttribute(r, c)) return null;
            } else if (ch === ':') {
                if (!readPseudo(r, c)) return null;
            } else {
                break;
            }
            any = true;
        }
        return any ? c : null;
    }
    function readAttribute(r, c) {
        r.at++;
        r.blanks();
        if (r.peek() === '*' && r.peek(1) === '|') r.at += 2;
        else if (r.peek() === '|' && r.peek(1) !== '=') r.at++;
        var name = r.ident(), test = '', value = '';
        if (name === null) return false;
        r.blanks();
        var op = r.peek();
        if (op === '=') test = '=';
        else if ('~|^$*'.indexOf(op) >= 0 && op !== '' && r.peek(1) === '=') test = op + '=';
        if (test !== '') {
            r.at += test.length;
            r.blanks();
            var q = r.peek();
            value = q === '"' || q === "'" ? r.quoted() : r.ident();
            if (value === null) return false;
            r.blanks();
            var flag = r.startsName() ? r.ident().toLowerCase() : '';
            if (flag !== '' && flag !== 'i') return false;
            r.blanks();
            pushTo(c, 3, name.toLowerCase(), ATTRIBUTE_TESTS[test] + (flag === 'i' ? ANY_CASE : 0), flag === 'i' ? value.toLowerCase() : value);
        } else {
            pushTo(c, 3, name.toLowerCase(), 0, '');
        }
        // (The end of the text closes what is open, as CSS reads it.)
        if (r.at >= r.s.length) return true;
        if (r.peek() !== ']') return false;
        r.at++;
        return true;
    }
    // an+b as [a, b]; null for a text that is none.
    function readNth(text) {
        var t = text.replace(/^[ \t\n\r\f]+|[ \t\n\r\f]+$/g, '').toLowerCase(), m;
        if (t === 'odd') return [2, 1];
        if (t === 'even') return [2, 0];
        if ((m = /^([+-]?\d+)$/.exec(t))) return [0, parseInt(m[1], 10)];
        if (!(m = /^([+-]?)(\d*)n(?:[ \t\n\r\f]*([+-])[ \t\n\r\f]*(\d+))?$/.exec(t))) return null;
        var a = m[2] === '' ? 1 : parseInt(m[2], 10), b = m[4] !== undefined && m[4] !== '' ? parseInt(m[4], 10) : 0;
        if (m[3] === '-') b = -b;
        return [m[1] === '-' ? -a : a, b];
    }
    function readPseudo(r, c) {
        if (PLAIN_PSEUDO === null) pseudoWords();
        r.at++;
        if (r.peek() === ':') {
            r.at++;
            var element = r.ident();
            if (element === null) return false;
            element = element.toLowerCase();
            if (r.peek() === '(') {
                r.at++;
                if (!/^(part|slotted|highlight|cue|-webkit-)/.test(element) || r.inParentheses() === null) return false;
            } else if (!own(PSEUDO_ELEMENTS, element) && element.indexOf('-webkit-') !== 0) {
                return false;
            }
            pushTo(c, 5, '-internal-never', null);
            return true;
        }
        var name = r.ident();
        if (name === null) return false;
        name = name.toLowerCase();
        if (r.peek() !== '(') {
            if (name === 'before' || name === 'after' || name === 'first-line' || name === 'first-letter') name = '-internal-never';
            else if (!own(PLAIN_PSEUDO, name)) return false;
            pushTo(c, 5, name, null);
            return true;
        }
        r.at++;
        var arg;
        if (name === 'not' || name === 'is' || name === 'where' || name === '-webkit-any' || name === 'has') {
            arg = readList(r, name === 'has', name === 'is' || name === 'where');
            r.blanks();
            if (arg === null || (r.peek() !== ')' && r.at < r.s.length)) return false;
            r.at++;
            if (name === 'where' || name === '-webkit-any') name = 'is';
        } else if (/^nth-(last-)?(child|of-type)$/.test(name)) {
            var inside = r.inParentheses(), of = null, cut;
            if (inside === null) return false;
            if (/child$/.test(name) && (cut = /[ \t\n\r\f]+of[ \t\n\r\f]+/i.exec(inside))) {
                var sub = new SelectorText(inside.substring(cut.index + cut[0].length));
                of = readList(sub, false, false);
                if (of === null || sub.at < sub.s.length) return false;
                inside = inside.substring(0, cut.index);
            }
            arg = readNth(inside);
            if (arg === null) return false;
            arg.push(of);
        } else if (name === 'lang' || name === 'dir') {
            var words = r.inParentheses();
            if (words === null) return false;
            arg = words.replace(/^[ \t\n\r\f]+|[ \t\n\r\f]+$/g, '').toLowerCase();
            if (arg === '' || (name === 'dir' && !/^[\w-]+$/.test(arg))) return false;
        } else if (name === 'host' || name === 'host-context') {
            if (r.inParentheses() === null) return false;
            name = '-internal-never';
            arg = null;
        } else {
            return false;
        }
        pushTo(c, 5, name, arg);
        return true;
    }
    function readSelector(text) {
        var r = new SelectorText(text), list = readList(r, false, false);
        if (list === null || r.at < r.s.length) return null;
        list.full = true;
        return list;
    }
    // ---- matching -------------------------------------------------------------------
    // The element :scope stands for while a search runs; the element :has is asked of.
    var selectorScope = null, hasAnchor = null;
    function previousElement(e) {
        for (var p = e.previousSibling; p; p = p.previousSibling) if (p.nodeType === 1) return p;
        return null;
    }
    function nextElement(e) {
        for (var p = e.nextSibling; p; p = p.nextSibling) if (p.nodeType === 1) return p;
        return null;
    }
    function sameTag(a, b) { return a.tagName === b.tagName; }
    // The place of `e` among its siblings (from 1) that `counts`, from the end when `last`.
    function placeAmong(e, last, counts) {
        var n = 1;
        for (var p = last ? nextElement(e) : previousElement(e); p; p = last ? nextElement(p) : previousElement(p)) if (counts(p)) n++;
        return n;
    }
    function nthHolds(place, a, b) {
        if (a === 0) return place === b;
        var k = (place - b) / a;
        return k >= 0 && k === Math.floor(k);
    }
    function isEditable(e) {
        if (e.tagName === 'TEXTAREA') return !flag(e, 'readOnly', 'readonly') && !isDisabled(e);
        if (e.tagName === 'INPUT') return own(TEXT_INPUTS, controlType(e)) && !flag(e, 'readOnly', 'readonly') && !isDisabled(e);
        for (var p = e; p && p.nodeType === 1; p = p.parentNode) {
            var v = p.getAttribute('contenteditable');
            if (v !== null) return toText(v).toLowerCase() !== 'false';
        }
        return false;
    }
    function isCheckable(e) { var t = controlType(e); return e.tagName === 'INPUT' && (t === 'checkbox' || t === 'radio'); }
    function isSubmit(e) {
        var type = toText(e.getAttribute('type') || '').toLowerCase();
        return (e.tagName === 'BUTTON' && type !== 'button' && type !== 'reset') || (e.tagName === 'INPUT' && (type === 'submit' || type === 'image'));
    }
    // The form's first submit button (or, outside a form, the button itself).
    function defaultButton(e) {
        var form = formOf(e);
        if (form === null) return null;
        var all = form.getElementsByTagName('*');
        for (var n = 0; n < all.length; n++) if (isSubmit(all[n])) return all[n];
        return null;
    }
    // Whether the element's value is checked against its constraints (not disabled, read
    // only, hidden, or a button that submits nothing).
    function isValidated(e) {
        var t = e.tagName, type;
        if (t === 'SELECT') return !isDisabled(e);
        if (t === 'TEXTAREA') return !isDisabled(e) && !flag(e, 'readOnly', 'readonly');
        if (t === 'BUTTON') return isSubmit(e) && !isDisabled(e);
        if (t !== 'INPUT') return false;
        type = controlType(e);
        if (type === 'hidden' || type === 'button' || type === 'reset' || isDisabled(e)) return false;
        return !(own(TEXT_INPUTS, type) && flag(e, 'readOnly', 'readonly'));
    }
    function isInvalid(e) {
        if (e.tagName === 'FORM' || e.tagName === 'FIELDSET') {
            var all = e.getElementsByTagName('*');
            for (var n = 0; n < all.length; n++) if (isValidated(all[n]) && isInvalid(all[n])) return true;
            return false;
        }
        return valueMissing(e);
    }
    function langOf(e) {
        for (var p = e; p && p.nodeType === 1; p = p.parentNode) {
            var v = p.getAttribute('lang');
            if (v !== null) return toText(v).toLowerCase();
        }
        return '';
    }
    function matchesPseudo(e, name, arg) {
        var t = e.tagName, p, n;
        if (PLAIN_PSEUDO === null) pseudoWords();
        switch (name) {
            case 'first-child': return previousElement(e) === null && !!e.parentNode;
            case 'last-child': return nextElement(e) === null && !!e.parentNode;
            case 'only-child': return previousElement(e) === null && nextElement(e) === null && !!e.parentNode;
            case 'first-of-type': return !!e.parentNode && placeAmong(e, false, function (o) { return sameTag(o, e); }) === 1;
            case 'last-of-type': return !!e.parentNode && placeAmong(e, true, function (o) { return sameTag(o, e); }) === 1;
            case 'only-of-type':
                return !!e.parentNode && placeAmong(e, false, function (o) { return sameTag(o, e); }) === 1 &&
                    placeAmong(e, true, function (o) { return sameTag(o, e); }) === 1;
            case 'nth-child': case 'nth-last-child': case 'nth-of-type': case 'nth-last-of-type':
                if (!e.parentNode) return false;
                var ofType = name.indexOf('type') > 0, of = arg[2];
                if (of !== null && !matchesList(e, of)) return false;
                return nthHolds(placeAmong(e, name.indexOf('last') > 0, function (o) {
                    return ofType ? sameTag(o, e) : of === null || matchesList(o, of);
                }), arg[0], arg[1]);
            case 'not': return !matchesList(e, arg);
            case 'is': return matchesList(e, arg);
            case 'has': return hasRelative(e, arg);
            case 'empty':
                for (p = e.firstChild; p; p = p.nextSibling) if (p.nodeType === 1 || ((p.nodeType === 3 || p.nodeType === 4) && p.data !== '')) return false;
                return true;
            case 'root': return !!e.parentNode && e.parentNode.nodeType === 9;
            case 'scope': return selectorScope !== null ? e === selectorScope : !!e.parentNode && e.parentNode.nodeType === 9;
            case 'checked': return (isCheckable(e) && e.checked === true) || (t === 'OPTION' && e.selected === true);
            case 'default':
                return (isCheckable(e) && e.getAttribute('checked') !== null) || (t === 'OPTION' && e.getAttribute('selected') !== null) ||
                    (isSubmit(e) && defaultButton(e) === e);
            case 'indeterminate':
                if (!isCheckable(e)) return t === 'PROGRESS' && e.getAttribute('value') === null;
                if (controlType(e) === 'checkbox') return e.indeterminate === true;
                var group = radioGroup(e);
                for (n = 0; n < group.length; n++) if (group[n].checked === true) return false;
                return true;
            case 'disabled': return own(FORM_CONTROLS, t) && isDisabled(e);
            case 'enabled': return own(FORM_CONTROLS, t) && !isDisabled(e);
            case 'required': return (t === 'INPUT' || t === 'SELECT' || t === 'TEXTAREA') && flag(e, 'required', 'required');
            case 'optional': return (t === 'INPUT' || t === 'SELECT' || t === 'TEXTAREA' || t === 'BUTTON') && !flag(e, 'required', 'required');
            case 'read-write': return isEditable(e);
            case 'read-only': return !isEditable(e);
            case 'placeholder-shown':
                return (t === 'INPUT' || t === 'TEXTAREA') && e.getAttribute('placeholder') !== null && toText(e.value === undefined ? '' : e.value) === '';
            case 'link': case 'any-link': case '-webkit-any-link': return (t === 'A' || t === 'AREA') && e.getAttribute('href') !== null;
            case 'focus': return !!e.ownerDocument && e.ownerDocument.activeElement === e;
            case 'focus-within':
                p = e.ownerDocument ? e.ownerDocument.activeElement : null;
                for (; p; p = p.parentNode) if (p === e) return true;
                return false;
            case 'defined': return true;
            case 'valid': return (t === 'FORM' || t === 'FIELDSET' || isValidated(e)) && !isInvalid(e);
            case 'invalid': return (t === 'FORM' || t === 'FIELDSET' || isValidated(e)) && isInvalid(e);
            case 'lang':
                var lang = langOf(e), list = arg.split(/\s*,\s*/);
                for (n = 0; n < list.length; n++) {
                    var want = list[n].replace(/^["']|["']$/g, '');
                    if (lang === want || lang.indexOf(want + '-') === 0 || want === '*') return true;
                }
                return false;
            case 'dir':
                for (p = e; p && p.nodeType === 1; p = p.parentNode) {
                    var d = p.getAttribute('dir');
                    if (d !== null && /^(ltr|rtl)$/i.test(d)) return toText(d).toLowerCase() === arg;
                }
                return arg === 'ltr';
            default: return false;  // states the page never has, and pseudo-elements
        }
    }
    // Whether an element relative to `e` matches one of the relative chains of :has.
    function hasRelative(e, chains) {
        var outer = hasAnchor;
        hasAnchor = e;
        try {
            for (var n = 0; n < chains.length; n++) {
                var chain = chains[n], first = chain[0][4], found = false, deep = false;
                if (first === 2 || first === 3) {
                    for (var k = 1; k < chain.length; k++) if (chain[k][4] === false || chain[k][4] === true) deep = true;
                    for (var s = nextElement(e); s && !found; s = nextElement(s)) found = someMatch(s, chain, deep);
                } else {
                    found = first === true ? someChildMatches(e, chain) : someMatch(e, chain, true, true);
                }
                if (found) return true;
            }
            return false;
        } finally {
            hasAnchor = outer;
        }
    }
    function someChildMatches(e, chain) {
        for (var k = e.firstChild; k; k = k.nextSibling) if (k.nodeType === 1 && someMatch(k, chain, true)) return true;
        return false;
    }
    // Whether `from` (or, with `deep`, an element under it; with `below`, only under it)
    // ends a chain of :has.
    function someMatch(from, chain, deep, below) {
        if (!below && alongRelative(from, chain)) return true;
        if (!deep) return false;
        for (var k = from.firstChild; k; k = k.nextSibling) if (k.nodeType === 1 && someMatch(k, chain, true, false)) return true;
        return false;
    }
    // A relative chain matches at `e` when it matches as a chain whose first compound
    // stands where its combinator puts it from the element :has is asked of.
    function alongRelative(e, chain) { return along(e, chain, chain.length - 1, true); }
    function matchesList(e, chains) {
        for (var n = 0; n < chains.length; n++) if (along(e, chains[n], chains[n].length - 1)) return true;
        return false;
    }
    function attributeHolds(v, test, want) {
        if (test >= ANY_CASE) {
            v = v.toLowerCase();
            test -= ANY_CASE;
        }
        switch (test) {
            case 1: return v === want;
            case 2: return want !== '' && !/[ \t\n\r\f]/.test(want) && (' ' + v.replace(/[\t\n\r\f]/g, ' ') + ' ').indexOf(' ' + want + ' ') >= 0;
            case 3: return want !== '' && v.indexOf(want) === 0;
            case 4: return want !== '' && v.length >= want.length && v.substring(v.length - want.length) === want;
            case 5: return want !== '' && v.indexOf(want) >= 0;
            case 6: return v === want || v.indexOf(want + '-') === 0;
        }
        return true;
    }
    function matchesCompound(e, c) {
        // (Foreign elements, such as SVG's, keep their names' case.)
        if (c[0] !== '' && e.tagName !== c[0] && ((e.namespaceURI !== SVG_NS && e.namespaceURI !== MATHML_NS) || toText(e.localName).toUpperCase() !== c[0])) return false;
        if (c[1] !== null && e.id !== c[1]) return false;
        if (c[2] !== null && !hasClasses(e, c[2])) return false;
        var attrs = c[3], n;
        if (attrs !== null) {
            for (n = 0; n < attrs.length; n += 3) {
                var v = e.getAttribute(attrs[n]);
                if (v === null || !attributeHolds(toText(v), attrs[n + 1], attrs[n + 2])) return false;
            }
        }
        var pseudo = c[5];
        if (pseudo) for (n = 0; n < pseudo.length; n += 2) if (!matchesPseudo(e, pseudo[n], pseudo[n + 1])) return false;
        return true;
    }
    // The last compound matches the element, the ones before it its ancestors (its parent
    // only where ">" stands between) or its siblings before it ("~"; the one just before
    // for "+"). In a relative chain the first compound's combinator leads to the element
    // :has is asked of.
    function along(e, chain, at, relative) {
        var c = chain[at];
        if (!matchesCompound(e, c)) return false;
        var how = c[4], p;
        if (at === 0) {
            if (!relative) return true;
            if (how === 2) return previousElement(e) === hasAnchor;
            if (how === 3) {
                for (p = previousElement(e); p; p = previousElement(p)) if (p === hasAnchor) return true;
                return false;
            }
            if (how === true) return e.parentNode === hasAnchor;
            for (p = e.parentNode; p; p = p.parentNode) if (p === hasAnchor) return true;
            return false;
        }
        if (how === 2) return (p = previousElement(e)) !== null && along(p, chain, at - 1, relative);
        if (how === 3) {
            for (p = previousElement(e); p; p = previousElement(p)) if (along(p, chain, at - 1, relative)) return true;
            return false;
        }
        for (p = e.parentNode; p && p.nodeType === 1; p = p.parentNode) {
            if (relative && p === hasAnchor) return false;
            if (along(p, chain, at - 1, relative)) return true;
            if (how) return false;
        }
        return false;
    }
    function matchesForm(e, form) { return matchesList(e, form); }
    // Inside the workbench the host searches small trees itself (by selector, tag, class
    // names, name or id), reading the nodes as the searches here do; it leaves to the script (answers undefined) a large tree or one
    // holding what the page objects never put there themselves. After a large tree the
    // script searches the trees: the engine compiles its search once it runs often.
    var hostSelects = hostHas('select'), hostSearchesTrees = hostSelects;
    function hostSearch(root, text, how) {
        var found = host.select(root, text, how, elementMethods && elementMethods.getAttribute);
        if (found === undefined && how !== 2 && how !== 3) hostSearchesTrees = false;
        return found;
    }
    // The selectors this page asked for, read (a page asks for the same few again and again).
    var selectorForms = {}, selectorFormCount = 0, hostReadsSelectors = hostHas('selector');
    function selectorForm(selector) {
        var text = toText(selector), key = ' ' + text;
        if (own(selectorForms, key)) return selectorForms[key];
        var form = hostReadsSelectors ? host.selector(text) : readSelector(text);
        if (++selectorFormCount > 256) {
            selectorForms = {};
            selectorFormCount = 1;
        }
        selectorForms[key] = form;
        return form;
    }
    // A search by selector of `node`: all matching elements under it, as an array (how 0),
    // the first or null (1), whether it matches itself (2), itself or its nearest ancestor
    // element that matches, or null (3). A text that is no selector throws Chrome's error
    // where the page has Chrome's interfaces (and finds nothing in old pages).
    function selectorSearch(node, selector, how, method) {
        var text = toText(selector), found;
        if (how < 2 ? hostSearchesTrees : hostSelects) {
            found = host.select(node, text, how, elementMethods && elementMethods.getAttribute);
            if (found !== undefined) return found;
        }
        var form = selectorForm(text), out = [];
        if (form === null) {
            if (makeDomError !== null) {
                throw domError('SyntaxError', "Failed to execute '" + method + "' on '" + (node.nodeType === 9 ? 'Document' :
                    node.nodeType === 11 ? 'DocumentFragment' : 'Element') + "': " +
                    (text === '' ? 'The provided selector is empty.' : "'" + text + "' is not a valid selector."));
            }
            return how === 0 ? out : how === 2 ? false : null;
        }
        // The host left a selector it reads to the script: the tree is large (see hostSearch).
        if (how < 2 && hostSearchesTrees && !form.full) hostSearchesTrees = false;
        var outer = selectorScope;
        selectorScope = node.nodeType === 1 ? node : null;
        try {
            if (how === 2) return matchesForm(node, form);
            if (how === 3) {
                for (var p = node; p && p.nodeType === 1; p = p.parentNode) if (matchesForm(p, form)) return p;
                return null;
            }
            selectIn(node, form, out, how === 1);
            return how === 0 ? out : out.length ? out[0] : null;
        } finally {
            selectorScope = outer;
        }
    }
    // The elements under `root` a selector's form matches, in document order, into `out`
    // (only the first when `one`); true when `one` found it.
    function selectIn(root, form, out, one) {
        var kids = root.childNodes;
        for (var n = 0; n < kids.length; n++) {
            var c = kids[n];
            if (c.nodeType !== 1) continue;
            if (matchesForm(c, form)) {
                out.push(c);
                if (one) return true;
            }
            if (c.childNodes.length && selectIn(c, form, out, one) && one) return true;
        }
        return false;
    }

    // innerHTML: tags with their attributes, text, comments and character references;
    // void elements take no children, and script, style, textarea and title hold raw text.
    // (The workbench makes such a set in one call: the set-up makes a dozen.)
    var hostWordSet = hostHas('wordSet') ? host.wordSet : null;
    function wordSet(words) {
        if (hostWordSet !== null) return hostWordSet(words);
        var o = {}, list = words.split(' ');
        for (var n = 0; n < list.length; n++) o[list[n]] = true;
        return o;
    }
    var VOID_ELEMENTS = wordSet('area base basefont bgsound br col embed frame hr img input keygen link meta param source track wbr');
    // Elements whose text is written out as it is.
    var RAW_WRITTEN = wordSet('style script xmp iframe noembed noframes plaintext noscript');
    var RAW_TEXT = wordSet('script style textarea title xmp');
    var ENTITIES = {amp: '&', lt: '<', gt: '>', quot: '"', apos: "'", nbsp: '\u00a0', copy: '\u00a9', reg: '\u00ae',
        laquo: '\u00ab', raquo: '\u00bb', middot: '\u00b7', times: '\u00d7', hellip: '\u2026', mdash: '\u2014', ndash: '\u2013'};
    function decodeEntities(text) {
        return text.replace(/&(#[xX][0-9a-fA-F]+|#[0-9]+|[a-zA-Z]+);/g, function (all, name) {
            if (name.charAt(0) !== '#') return own(ENTITIES, name) ? ENTITIES[name] : all;
            var code = /^#[xX]/.test(name) ? parseInt(name.substring(2), 16) : parseInt(name.substring(1), 10);
            if (!(code > 0 && code <= 0x10ffff)) return '\ufffd';
            if (code < 0x10000) return String.fromCharCode(code);
            code -= 0x10000;
            return String.fromCharCode(0xd800 + (code >> 10), 0xdc00 + (code & 0x3ff));
        });
    }
    // The workbench reads HTML with its parser (the standard's algorithm); the nodes come
    // as one flat list (see treeNodes). Elsewhere the small reader below stands in.
    var SVG_NS = 'http://www.w3.org/2000/svg', MATHML_NS = 'http://www.w3.org/1998/Math/MathML';
    function treeNodes(flat, doc, into) {
        var at = 0;
        function one(parent) {
            var kind = flat[at++], node, k;
            if (kind === 1) {
                var name = flat[at++], space = flat[at++], count = flat[at++];
                node = createElement(name, doc);
                if (space !== 0) makeForeign(node, name, space === 1 ? SVG_NS : MATHML_NS);
                // (Only foreign elements' attributes keep capitals, such as SVG's viewBox.)
                for (k = 0; k < count; k++, at += 2) node.setAttribute(flat[at], flat[at + 1]);
                var children = flat[at++], holder = node;
                // A script's text knows where it starts in the page.
                if (name === 'script' && space === 0) {
                    node.__line = flat[at++];
                    node.__column = flat[at++];
                }
                if (name === 'template' && space === 0) holder = node.content = fragment(doc);
                // A new element's lists start empty: only one with children is linked again.
                if (children > 0) {
                    for (k = 0; k < children; k++) one(holder);
                    relink(holder);
                }
                if (name === 'textarea') node.value = node.defaultValue = textOf(node);
            } else if (kind === 3) {
                node = characterData(Text, 3, '#text', flat[at++], doc);
            } else if (kind === 8) {
                node = characterData(Comment, 8, '#comment', flat[at++], doc);
            } else {
                node = initNode(inherit(DocumentType.prototype), 10, flat[at], doc);
                node.name = flat[at];
                node.publicId = flat[at + 1];
                node.systemId = flat[at + 2];
                at += 3;
            }
            parent.childNodes.push(node);
        }
        while (at < flat.length) one(into);
    }
    function readHtml(parent, html, doc, context) {
        if (hostHas('parseHtml')) {
            var where = context || parent;
            treeNodes(host.parseHtml(toText(html), where.localName || 'body', where.namespaceURI === SVG_NS), doc, parent);
            return;
        }
        html = toText(html);
        var lower = html.toLowerCase(), stack = [parent], i = 0, n = html.length;
        var tag = /<([a-zA-Z][\w:-]*)((?:[^>"']|"[^"]*"|'[^']*')*)>/g;
        var attr = /([^\s=\/"']+)(?:\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))?/g;
        function top() { return stack[stack.length - 1]; }
        function text(s) { if (s !== '') top().childNodes.push(characterData(Text, 3, '#text', decodeEntities(s), doc)); }
        while (i < n) {
            var lt = html.indexOf('<', i);
            if (lt < 0) lt = n;
            text(html.substring(i, lt));
            i = lt;
            if (i >= n) break;
            if (html.substring(i, i + 4) === '<!--') {
                var end = html.indexOf('-->', i + 4);
                if (end < 0) end = n;
                top().childNodes.push(characterData(Comment, 8, '#comment', html.substring(i + 4, end), doc));
                i = Math.min(n, end + 3);
                continue;
            }
            var close = /^<\/([a-zA-Z][\w:-]*)\s*>/.exec(html.substring(i, i + 64));
            if (close) {
                var want = close[1].toUpperCase();
                for (var s = stack.length - 1; s > 0; s--) {
                    if (toText(stack[s].tagName).toUpperCase() === want) {
                        while (stack.length > s) relink(stack.pop());
                        break;
                    }
                }
                i += close[0].length;
                continue;
            }
            if (html.charAt(i + 1) === '!' || html.charAt(i + 1) === '?') {
                var gt = html.indexOf('>', i);
                i = gt < 0 ? n : gt + 1;
                continue;
            }
            tag.lastIndex = i;
            var m = tag.exec(html);
            if (!m || m.index !== i) {
                text('<');
                i++;
                continue;
            }
            var e = createElement(m[1], doc), name = e.localName, a, around = top();
            // (Inside svg and math, elements are theirs, their names kept as written.)
            if (name === 'svg' || (around.namespaceURI === SVG_NS && around.localName !== 'foreignObject')) makeForeign(e, m[1], SVG_NS);
            else if (name === 'math' || around.namespaceURI === MATHML_NS) makeForeign(e, m[1], MATHML_NS);
            var attrs = m[2].replace(/\/\s*$/, '');
            attr.lastIndex = 0;
            while ((a = attr.exec(attrs))) {
                var value = a[2] !== undefined && a[2] !== '' ? a[2] : a[3] !== undefined && a[3] !== '' ? a[3] : a[4] || '';
                e.setAttribute(a[1], decodeEntities(value));
            }
            top().childNodes.push(e);
            if (name === 'script') e.__line = e.__column = 0;
            i = m.index + m[0].length;
            if (RAW_TEXT[name] === true) {
                var stop = lower.indexOf('</' + name, i);
                if (stop < 0) stop = n;
                var raw = html.substring(i, stop);
                if (raw !== '') e.childNodes.push(characterData(Text, 3, '#text', name === 'textarea' || name === 'title' ? decodeEntities(raw) : raw, doc));
                relink(e);
                if (name === 'textarea') e.value = e.defaultValue = textOf(e);
                var gtAfter = html.indexOf('>', stop);
                i = stop >= n || gtAfter < 0 ? n : gtAfter + 1;
            } else if (VOID_ELEMENTS[name] === true || /\/\s*$/.test(m[2])) {
                relink(e);
            } else {
                stack.push(e);
            }
        }
        while (stack.length) relink(stack.pop());
    }
    // Text and attribute values with nothing to escape (most of them) come back as they are.
    var TEXT_ESCAPED = /[&<>\u00a0]/, VALUE_ESCAPED = /[&<>\u00a0"]/;
    function escapeHtml(text, quote) {
        var s = toText(text);
        if (s === '' || !(quote ? VALUE_ESCAPED : TEXT_ESCAPED).test(s)) return s;
        s = s.replace(/&/g, '&amp;').replace(/\u00a0/g, '&nbsp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
        return quote ? s.replace(/"/g, '&quot;') : s;
    }
    // Serialisation as the standard writes it: text escaped but inside the raw-text
    // elements, void elements without an end tag, a template's content as its children.
    function writeHtml(node) {
        var out = [], html = node.nodeType === 1 && node.namespaceURI === 'http://www.w3.org/1999/xhtml';
        var raw = html && RAW_WRITTEN[node.localName] === true;
        if (html && node.localName === 'template' && node.content) node = node.content;
        for (var n = 0; n < node.childNodes.length; n++) {
            var c = node.childNodes[n];
            if (c.nodeType === 3) out.push(raw ? c.data : escapeHtml(c.data, false));
            else if (c.nodeType === 8) out.push('<!--' + c.data + '-->');
            else if (c.nodeType === 1) out.push(outerHtml(c));
            else if (c.nodeType === 10) out.push('<!DOCTYPE ' + c.name + '>');
        }
        return out.join('');
    }
    function outerHtml(e) {
        var name = e.namespaceURI === 'http://www.w3.org/1999/xhtml' ? e.localName : e.tagName, s = '<' + name;
        for (var a in e.__attributes) if (own(e.__attributes, a)) s += ' ' + a + '="' + escapeHtml(e.__attributes[a], true) + '"';
        s += '>';
        return VOID_ELEMENTS[e.localName] === true && e.namespaceURI === 'http://www.w3.org/1999/xhtml' ? s : s + writeHtml(e) + '</' + name + '>';
    }
    function textOf(node) {
        if (node.nodeType === 3) return node.data;
        var out = [];
        for (var n = 0; n < node.childNodes.length; n++) if (node.childNodes[n].nodeType !== 8) out.push(textOf(node.childNodes[n]));
        return out.join('');
    }
    function replaceChildren(node, html, asText) {
        var old = node.childNodes;
        if (followers) for (var k = old.length - 1; k >= 0; k--) beforeRemoval(old[k], node, k);
        for (var n = 0; n < old.length; n++) old[n].parentNode = old[n].parentElement = old[n].previousSibling = old[n].nextSibling = null;
        old.length = 0;
        html = html === null || html === undefined ? '' : toText(html);
        if (asText) { if (html !== '') old.push(characterData(Text, 3, '#text', html, node.ownerDocument)); }
        else readHtml(node, html, node.ownerDocument);
        relink(node);
    }

    // The nodes and strings a script passes to append, prepend, before, after and replaceWith,
    // as one fragment (strings become text).
    function nodesOf(self, args) {
        var doc = self.nodeType === 9 ? self : self.ownerDocument || document, f = fragment(doc);
        for (var k = 0; k < args.length; k++) {
            var v = args[k];
            insertChild(f, v && typeof v === 'object' && typeof v.nodeType === 'number' ? v : characterData(Text, 3, '#text', toText(v), doc), null);
        }
        return f;
    }
    var nodeMethods = {
        append: function () { insertChild(this, nodesOf(this, arguments), null); },
        prepend: function () { insertChild(this, nodesOf(this, arguments), this.firstChild); },
        before: function () { if (this.parentNode) insertChild(this.parentNode, nodesOf(this, arguments), this); },
        after: function () { if (this.parentNode) insertChild(this.parentNode, nodesOf(this, arguments), this.nextSibling); },
        replaceWith: function () {
            var parent = this.parentNode, f = nodesOf(this, arguments);
            if (!parent) return;
            insertChild(parent, f, this);
            detach(this);
        },
        appendChild: function (child) { notNode('appendChild', child); return insertChild(this, child, null); },
        insertBefore: function (child, before) { notNode('insertBefore', child); return insertChild(this, child, before || null); },
        removeChild: function (child) {
            notNode('removeChild', child);
            if (child.parentNode !== this) throw domError('NotFoundError', "Failed to execute 'removeChild' on 'Node': The node to be removed is not a child of this node.");
            detach(child);
            return child;
        },
        replaceChild: function (child, old) {
            notNode('replaceChild', child);
            insertChild(this, child, old);
            detach(old);
            return old;
        },
        hasChildNodes: function () { return this.childNodes.length > 0; },
        cloneNode: function (deep) { return cloneNode(this, !!deep, this.ownerDocument || document); },
        contains: function (other) {
            for (var p = other; p; p = p.parentNode) if (p === this) return true;
            return false;
        },
        compareDocumentPosition: function (other) {
            if (other === this) return 0;
            if (this.contains(other)) return 20;
            if (other && other.contains && other.contains(this)) return 10;
            return 1 | 32;
        },
        getRootNode: function () {
            var p = this;
            while (p.parentNode) p = p.parentNode;
            return p;
        },
        getElementsByTagName: function (tag) { return byTag(this, tag); },
        getElementsByClassName: function (names) { return byClass(this, names); },
        querySelector: function (selector) { return selectorSearch(this, selector, 1, 'querySelector'); },
        querySelectorAll: function (selector) { return listOf(selectorSearch(this, selector, 0, 'querySelectorAll')); },
        remove: function () { if (this.parentNode) detach(this); }
    };
    copyOwn(Node.prototype, nodeMethods);
    DocumentFragment.prototype.getElementById = function (id) { return byId(this, id); };
    protoAccessor(DocumentFragment.prototype, 'textContent', function () { return textOf(this); },
        function (v) { replaceChildren(this, v, true); });

    var emptyRect = {x: 0, y: 0, width: 0, height: 0, top: 0, right: 0, bottom: 0, left: 0};
    // A rectangle as the modern target's pages get it: its edges follow its position and
    // size (a negative size puts the right edge left of x).
    function DOMRectReadOnly(x, y, width, height) {
        this.x = +(x || 0);
        this.y = +(y || 0);
        this.width = +(width || 0);
        this.height = +(height || 0);
    }
    function DOMRect(x, y, width, height) { DOMRectReadOnly.call(this, x, y, width, height); }
    function DOMRectList() { illegal(); }
    if (modern) {
        subclass(DOMRect, DOMRectReadOnly);
        var edge = function (name, read) { Object.defineProperty(DOMRectReadOnly.prototype, name, {get: read, configurable: true}); };
        edge('top', function () { return Math.min(this.y, this.y + this.height); });
        edge('bottom', function () { return Math.max(this.y, this.y + this.height); });
        edge('left', function () { return Math.min(this.x, this.x + this.width); });
        edge('right', function () { return Math.max(this.x, this.x + this.width); });
        DOMRectReadOnly.prototype.toJSON = function () {
            return {x: this.x, y: this.y, width: this.width, height: this.height, top: this.top, right: this.right,
                bottom: this.bottom, left: this.left};
        };
        DOMRectList.prototype.item = NodeList.prototype.item;
    }

    // ---- layout: the boxes of text -------------------------------------------------------
    // A small model of what the page measures of its elements (modern target): text is as
    // wide as its characters' advances in the element's font (the metrics the profile
    // recorded, else those of the Windows fonts Chrome uses by default), rounded up to the
    // 1/64 px Chrome lays out in, and as high as the font's ascent and descent; an inline
    // element is as wide as its text, a block as wide as its container (or its own width),
    // as high as its lines; nothing out of the document or under display:none has a box.
    // Blocks stack down their container, text and inline elements run along their lines
    // (see placeOf).
    // (Made when a page first measures text: most never do.)
    function builtinMetrics() {
        // Advances in 1/2048 em of the printable ASCII characters: Times New Roman and Arial
        // (as a headless Chromium lays out their metric-compatible faces); Consolas gives
        // every character 1126.
        function ems(list) {
            var out = [];
            for (var k = 0; k < list.length; k++) out.push(list[k] * 100 / 2048);
            return out;
        }
        var times = ems([512, 682, 836, 1024, 1024, 1706, 1593, 369, 682, 682, 1024, 1155, 512, 682, 512, 569, 1024, 1024,
            1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 569, 569, 1155, 1155, 1155, 909, 1886, 1479, 1366, 1366, 1479,
            1251, 1139, 1479, 1479, 682, 797, 1479, 1251, 1821, 1479, 1479, 1139, 1479, 1366, 1139, 1251, 1479, 1479, 1933,
            1479, 1479, 1251, 682, 569, 682, 961, 1024, 682, 909, 1024, 909, 1024, 909, 682, 1024, 1024, 569, 569, 1024, 569,
            1593, 1024, 1024, 1024, 1024, 682, 797, 569, 1024, 1024, 1479, 1024, 1024, 909, 983, 410, 983, 1108]);
        var arial = ems([569, 569, 727, 1139, 1139, 1821, 1366, 391, 682, 682, 797, 1196, 569, 682, 569, 569, 1139, 1139, 1139,
            1139, 1139, 1139, 1139, 1139, 1139, 1139, 569, 569, 1196, 1196, 1196, 1139, 2079, 1366, 1366, 1479, 1479, 1366,
            1251, 1593, 1479, 569, 1024, 1366, 1139, 1706, 1479, 1593, 1366, 1593, 1479, 1366, 1251, 1479, 1366, 1933, 1366,
            1366, 1251, 569, 569, 569, 961, 1139, 682, 1139, 1139, 1024, 1139, 1139, 569, 1139, 1139, 455, 455, 1024, 455,
            1706, 1139, 1139, 1139, 1139, 682, 1024, 569, 1139, 1024, 1479, 1024, 1024, 1024, 684, 532, 684, 1196]);
        var consolas = [];
        for (var k = 0; k < 95; k++) consolas.push(1126 * 100 / 2048);
        // Their ascent, descent and line gap, in the same units.
        var serif = {advances: times, ideograph: 100, ascent: 1825 * 100 / 2048, descent: 443 * 100 / 2048, lineGap: 87 * 100 / 2048};
        var sans = {advances: arial, ideograph: 100, ascent: 1854 * 100 / 2048, descent: 434 * 100 / 2048, lineGap: 67 * 100 / 2048};
        var mono = {advances: consolas, ideograph: 100, ascent: sans.ascent, descent: sans.descent, lineGap: sans.lineGap};
        return {reference: 100, texts: [], families: {serif: serif, 'sans-serif': sans, cursive: serif, fantasy: serif,
            monospace: mono, 'system-ui': sans, 'times new roman': serif, arial: sans, consolas: mono}};
    }
    // An element's inline style: its declarations in order, each a name as CSS writes it
    // ('font-size'), a value and whether it is important. The style keeps its length and
    // text current after every change, and its element's style attribute the same text.
    function trimText(v) { return v.replace(/^\s+|\s+$/g, ''); }
    function declarationName(name) {
        var n = trimText(toText(name));
        return n.substring(0, 2) === '--' ? n : n.toLowerCase();
    }
    // The value as the style keeps it, '' for none, null for one Chrome refuses: a color
    // is one word or function (a named one kept in lower case).
    function declarationValue(name, value) {
        var v = trimText(value);
        if (v === '' || /[;{}]/.test(v)) return v === '' ? '' : null;
        if (name === 'color' || /-color$/.test(name)) {
            if (/\s/.test(v.replace(/\([^)]*\)/g, ''))) return null;
            if (/^[a-z]+$/i.test(v)) v = v.toLowerCase();
        }
        return v;
    }
    function declarationAt(st, name) {
        for (var k = 0; k < st.__list.length; k++) if (st.__list[k].name === name) return k;
        return -1;
    }
    // In the workbench each value is read as Chrome reads it (into the longhands it sets,
    // refused or written back in its short form) and the style's text written as Chrome
    // writes it, by the styles' own scripts (compiled for the process, run in the page
    // when it first uses a style: styles.js, or computed.js for a computed style) over the
    // host's CSS natives; elsewhere values are kept as written.
    var cssNatives = modern && hostHas('css'), cssKitMade = null;
    function cssKit(computed) {
        if (cssKitMade === null) {
            var natives = host.css();
            cssKitMade = natives.styles(false)({host: natives, declarationAt: declarationAt, trimText: trimText});
            cssKitMade.natives = natives;
        }
        if (computed && !cssKitMade.computed) {
            cssKitMade.computed = cssKitMade.natives.styles(true)({host: cssKitMade.natives, config: config, profile: profile,
                own: own, toText: toText, inherit: inherit, wordSet: wordSet, domError: domError, rooted: rooted, boxOf: boxOf,
                declarationAt: declarationAt, declarationName: declarationName, monospaceTags: MONOSPACE_TAGS});
        }
        return cssKitMade;
    }
    // Puts one declaration (in its place if the style has it, else last); false when refused.
    function declare(st, name, value, important) {
        if (name === '') return false;
        if (cssNatives) return cssKit().declare(st, name, value, important);
        var v = declarationValue(name, value), at = declarationAt(st, name);
        if (v === null) return false;
        if (v === '') {
            if (at < 0) return false;
            st.__list.splice(at, 1);
        } else if (at < 0) {
            st.__list.push({name: name, value: v, important: important});
        } else {
            st.__list[at] = {name: name, value: v, important: important};
        }
        return true;
    }
    function restyled(st, writeAttribute) {
        layoutVersion++;
        var parts = [];
        for (var k = 0; k < st.__list.length; k++) {
            var d = st.__list[k];
            parts.push(d.name + ': ' + d.value + (d.important ? ' !important' : '') + ';');
        }
        st.length = st.__list.length;
        st.cssText = cssNatives ? cssKit().text(st) : parts.join(' ');
        if (writeAttribute && st.__element) st.__element.__attributes.style = st.cssText;
    }
    // Reads "name: value; name: value !important" into the style's declarations.
    function readDeclarations(st, text) {
        st.__list = [];
        var t = toText(text), depth = 0, quote = '', start = 0, pieces = [];
        for (var k = 0; k <= t.length; k++) {
            var c = k < t.length ? t.charAt(k) : ';';
            if (quote !== '') { if (c === quote) quote = ''; else if (c === '\\') k++; }
            else if (c === '"' || c === "'") quote = c;
            else if (c === '(') depth++;
            else if (c === ')') depth = depth > 0 ? depth - 1 : 0;
            else if (c === ';' && depth === 0) { pieces.push(t.substring(start, k)); start = k + 1; }
        }
        for (k = 0; k < pieces.length; k++) {
            var colon = pieces[k].indexOf(':');
            if (colon < 0) continue;
            var name = declarationName(pieces[k].substring(0, colon)), value = pieces[k].substring(colon + 1);
            var m = /\s*!\s*important\s*$/i.exec(value);
            if (m) value = value.substring(0, m.index);
            if (cssNatives) {
                cssKit().read(st, name, value, !!m);
                continue;
            }
            var at = declarationAt(st, name);
            if (declarationValue(name, value) && at >= 0) st.__list.splice(at, 1);
            declare(st, name, value, !!m);
        }
    }
    // The style attribute's text, written by the page or a script, read again as the declarations
    // (the attribute keeps the text as written).
    function restyleFrom(st, text) {
        layoutVersion++;
        readDeclarations(st, text);
        restyled(st, false);
    }
    var styleMethods = {
        setProperty: function (name, value, priority) {
            var p = priority === null || priority === undefined ? '' : toText(priority).toLowerCase();
            if (p !== '' && p !== 'important') return;
            if (declare(this, declarationName(name), value === null || value === undefined ? '' : toText(value), p === 'important'))
                restyled(this, true);
        },
        getPropertyValue: function (name) {
            var n = declarationName(name), at = declarationAt(this, n);
            if (at >= 0) return this.__list[at].value;
            return cssNatives && this.__list.length > 0 ? cssKit().value(this, n) : '';
        },
        getPropertyPriority: function (name) {
            if (cssNatives) return cssKit().priority(this, declarationName(name));
            var at = declarationAt(this, declarationName(name));
            return at >= 0 && this.__list[at].important ? 'important' : '';
        },
        removeProperty: function (name) {
            var v = cssNatives ? cssKit().removed(this, declarationName(name)) : this.getPropertyValue(name);
            this.setProperty(name, '');
            return v;
        },
        item: function (n) {
            var d = this.__list[n];
            return d ? d.name : '';
        },
        setCssText: function (text) {
            readDeclarations(this, text);
            restyled(this, true);
        }
    };
    // A new element's inline style, empty.
    function inlineStyle(e) {
        var st = inherit(styleMethods);
        st.__list = [];
        st.__element = e;
        st.length = 0;
        st.cssText = '';
        return st;
    }
    var fontMetrics = null;
    function readMetrics(from) {
        var table = {reference: from.reference, families: {}, texts: {}}, k;
        for (k in from.families) {
            var f = from.families[k];
            if (own(from.families, k) && f && f.advances && f.advances.length === 95) table.families[toText(k).toLowerCase()] = f;
        }
        var texts = from.texts || [];
        for (k = 0; k < texts.length; k++) {
            var t = texts[k];
            if (t && typeof t.width === 'number') table.texts[toText(t.family).toLowerCase() + '|' + t.size + '|' + t.text] = t;
        }
        return table;
    }
    // The profile's metrics where it has them for the default families, else the built-in ones.
    function metricsTable() {
        if (fontMetrics === null) {
            var pm = profile.fontMetrics;
            if (pm && pm.families && typeof pm.reference === 'number' && pm.reference > 0) fontMetrics = readMetrics(pm);
            var names = ['serif', 'sans-serif', 'monospace'];
            for (var k = 0; k < names.length && fontMetrics !== null; k++) if (!own(fontMetrics.families, names[k])) fontMetrics = null;
            if (fontMetrics === null) fontMetrics = readMetrics(builtinMetrics());
        }
        return fontMetrics;
    }
    var GENERIC_FAMILIES = wordSet('serif sans-serif monospace cursive fantasy system-ui');
    var INLINE_TAGS = wordSet('A ABBR B BDI BDO BIG CITE CODE DATA DFN EM FONT I KBD LABEL MARK NOBR Q S SAMP SMALL SPAN ' +
        'STRIKE STRONG SUB SUP TIME TT U VAR');
    var MONOSPACE_TAGS = wordSet('CODE KBD PRE SAMP TT XMP LISTING PLAINTEXT');
    var HIDDEN_TAGS = wordSet('HEAD SCRIPT STYLE TITLE META LINK BASE TEMPLATE NOSCRIPT AREA MAP PARAM DATALIST');
    var INLINE_BLOCKS = wordSet('inline-block inline-flex inline-grid inline-table');
    var HEADING_SIZES = {H1: '2em', H2: '1.5em', H3: '1.17em', H4: '1em', H5: '0.83em', H6: '0.67em'};
    var KEYWORD_SIZES = {'xx-small': 9, 'x-small': 10, small: 13, medium: 16, large: 18, 'x-large': 24, 'xx-large': 32, 'xxx-large': 48};
    var declarationPatterns = {};
    // A declaration of the element's inline style: the style's own where it keeps them,
    // else the plain style's member, else the style attribute's text or cssText.
    function declared(e, camel, dashed) {
        var st = e.style, v;
        if (st && st.__list) return trimText(st.getPropertyValue(dashed));
        if (st && typeof st === 'object') {
            v = own(st, camel) ? st[camel] : own(st, dashed) ? st[dashed] : undefined;
            if (typeof v === 'string' && v !== '') return v.replace(/\s*!important\s*$/i, '').replace(/^\s+|\s+$/g, '');
        }
        var text = (e.__attributes && own(e.__attributes, 'style') ? e.__attributes.style : '') + ';' +
            (st && typeof st.cssText === 'string' ? st.cssText : '');
        if (text === ';') return '';
        var find = declarationPatterns[dashed] || (declarationPatterns[dashed] = new RegExp('(?:^|;)\\s*' + dashed + '\\s*:\\s*([^;]*)', 'i'));
        var m = find.exec(text);
        return m ? m[1].replace(/\s*!important\s*$/i, '').replace(/^\s+|\s+$/g, '') : '';
    }
    function displayOf(e) {
        var d = declared(e, 'display', 'display').toLowerCase();
        if (d !== '') return d;
        if (HIDDEN_TAGS[e.tagName] === true || (e.__attributes && own(e.__attributes, 'hidden'))) return 'none';
        return INLINE_TAGS[e.tagName] === true || e.tagName === 'CANVAS' || e.tagName === 'IMG' || e.tagName === 'BR' ? 'inline' : 'block';
    }
    // The font of the element: its families, size in px, and whether the size is the
    // default or a keyword's (Chrome gives such text in a bare monospace 13px for 16px).
    function fontOf(e) {
        var parent = e.parentNode && e.parentNode.nodeType === 1 ? fontOf(e.parentNode) : {families: ['serif'], size: 16, keyword: true};
        var families = parent.families, size = parent.size, keyword = parent.keyword, m;
        var font = declared(e, 'font', 'font');
        m = /^(?:(?:normal|italic|oblique|bold|bolder|lighter|small-caps|\d{3})\s+)*(\S+?)(?:\s*\/\s*\S+)?\s+(\S.*)$/i.exec(font);
        var familyText = m ? m[2] : declared(e, 'fontFamily', 'font-family'), sizeText = m ? m[1] : declared(e, 'fontSize', 'font-size');
        if (familyText !== '') {
            families = [];
            var parts = familyText.split(',');
            for (var k = 0; k < parts.length; k++) families.push(parts[k].replace(/^\s+|\s+$/g, '').replace(/^["']|["']$/g, '').toLowerCase());
        } else if (MONOSPACE_TAGS[e.tagName] === true) {
            families = ['monospace'];
        }
        sizeText = sizeText.toLowerCase();
        // Headings have the sizes every page's style sheet gives them.
        if (sizeText === '' && own(HEADING_SIZES, e.tagName)) sizeText = HEADING_SIZES[e.tagName];
        var base = keyword && parent.families.length === 1 && parent.families[0] === 'monospace' ? parent.size * 16 / 13 : parent.size;
        if (own(KEYWORD_SIZES, sizeText)) {
            size = KEYWORD_SIZES[sizeText];
            keyword = true;
        } else if (sizeText === 'larger' || sizeText === 'smaller') {
            size = sizeText === 'larger' ? base * 1.2 : base / 1.2;
            keyword = false;
        } else if ((m = /^([\d.]+)(px|pt|em|rem|%)$/.exec(sizeText))) {
            var n = Number(m[1]);
            size = m[2] === 'px' ? n : m[2] === 'pt' ? n * 4 / 3 : m[2] === 'em' ? n * base : m[2] === 'rem' ? n * 16 : n * base / 100;
            keyword = false;
        } else if (keyword) {
            size = base;
        }
        if (keyword) size = families.length === 1 && families[0] === 'monospace' ? size * 13 / 16 : size;
        return {families: families, size: size, keyword: keyword};
    }
    // The metrics of the first family of the list that is there (a font the profile says is
    // present but did not measure is laid out as the sans-serif one), with its name.
    function faceOf(font) {
        var table = metricsTable(), list = font.families;
        for (var k = 0; k < list.length; k++) {
            var name = list[k];
            if (own(table.families, name)) return {name: name, metrics: table.families[name]};
            if (GENERIC_FAMILIES[name] !== true && isKnownFont(name)) return {name: 'sans-serif', metrics: table.families['sans-serif']};
        }
        return {name: 'serif', metrics: table.families.serif};
    }
    function textWidth(text, font) {
        var face = faceOf(font), table = metricsTable(), known = table.texts[face.name + '|' + font.size + '|' + text];
        if (known) return known.width;
        var m = face.metrics, sum = 0, lower = 0;
        for (var k = 97; k < 123; k++) lower += m.advances[k - 32];
        var kerning = m.kerning && typeof m.kerning === 'object' ? m.kerning : null, pair;
        for (k = 0; k < text.length; k++) {
            var c = text.charCodeAt(k);
            if (kerning !== null && k > 0 && own(kerning, (pair = text.substring(k - 1, k + 1))) && typeof kerning[pair] === 'number') sum += kerning[pair];
            if (c >= 32 && c < 127) sum += m.advances[c - 32];
            else if ((c >= 0x2e80 && c < 0xa000) || (c >= 0xac00 && c < 0xd7b0) || (c >= 0xf900 && c < 0xfb00) || (c >= 0xff00 && c < 0xffef)) sum += m.ideograph || table.reference;
            else if (c >= 0xdc00 && c < 0xe000) continue;
            else sum += lower / 26;
        }
        return sum * font.size / table.reference;
    }
    // A line's width as Chrome lays it out: in 1/64 px, rounded up.
    function snap(w) { return Math.ceil(w * 64 - 1e-6) / 64; }
    // The height of text in the font; a block's line adds the font's line gap.
    function lineHeight(font, block) {
        var face = faceOf(font), m = face.metrics, scale = font.size / metricsTable().reference;
        return Math.round(m.ascent * scale) + Math.round(m.descent * scale) + (block && m.lineGap > 0 ? Math.round(m.lineGap * scale) : 0);
    }
    // How far the font's text stands above its baseline (the line gap hangs below).
    function ascentOf(font) {
        var m = faceOf(font).metrics;
        return Math.round(m.ascent * font.size / metricsTable().reference);
    }
    function pixels(text) {
        var m = /^(-?[\d.]+)px$/.exec(text);
        return m ? Number(m[1]) : null;
    }
    function rooted(e) {
        for (var p = e; p; p = p.parentNode) if (p.nodeType === 9) return p;
        return null;
    }
    function positionOf(e) { return declared(e, 'position', 'position').toLowerCase(); }
    function outOfFlow(e) {
        var p = positionOf(e);
        return p === 'absolute' || p === 'fixed';
    }
    function shrinks(e) {
        var display = displayOf(e), floating = declared(e, 'float', 'float');
        return display !== 'block' || outOfFlow(e) || (floating !== '' && floating !== 'none');
    }
    // A length in px: px, pt, em (of `size`) and unitless 0; NaN for what the model does
    // not read (auto, percentages).
    function lengthPx(text, size) {
        var m = /^(-?[\d.]+)(px|pt|em|rem)?$/.exec(text);
        if (!m || (m[2] === undefined && Number(m[1]) !== 0)) return NaN;
        var n = Number(m[1]);
        return layoutUnits(m[2] === 'pt' ? n * 4 / 3 : m[2] === 'em' ? n * size : m[2] === 'rem' ? n * 16 : n);
    }
    // Lengths as Chrome keeps them for layout: in 1/64 px, rounded down.
    function layoutUnits(v) { return Math.floor(v * 64 + 1e-6) / 64; }
    // The margins every page's style sheet gives these tags: [vertical, horizontal], in em
    // of the element's font (the body's in px).
    var TAG_MARGINS = {P: [1, 0], PRE: [1, 0], DL: [1, 0], UL: [1, 0], OL: [1, 0], MENU: [1, 0], BLOCKQUOTE: [1, 40],
        FIGURE: [1, 40], H1: [0.67, 0], H2: [0.83, 0], H3: [1, 0], H4: [1.33, 0], H5: [1.67, 0], H6: [2.33, 0]};
    var NO_EDGES = {mt: 0, mr: 0, mb: 0, ml: 0, pt: 0, pr: 0, pb: 0, pl: 0, bt: 0, br: 0, bb: 0, bl: 0};
    // "1px 2px" and the like as [top, right, bottom, left]; null when a part is unread.
    function fourSides(text, size) {
        var parts = trimText(text).split(/\s+/), v = [];
        for (var k = 0; k < parts.length && k < 4; k++) {
            var n = lengthPx(parts[k].toLowerCase(), size);
            if (n !== n) return null;
            v.push(n);
        }
        if (v.length === 1) return [v[0], v[0], v[0], v[0]];
        if (v.length === 2) return [v[0], v[1], v[0], v[1]];
        return v.length === 3 ? [v[0], v[1], v[2], v[1]] : v;
    }
    var SIDES = [['Top', '-top'], ['Right', '-right'], ['Bottom', '-bottom'], ['Left', '-left']];
    var BORDER_WIDTHS = {thin: 1, medium: 3, thick: 5};
    // The margins or padding of the inline style over `base`.
    function sidesOf(e, name, base, size) {
        var all = declared(e, name, name), out = base.slice(0);
        if (all !== '') out = fourSides(all, size()) || out;
        for (var k = 0; k < 4; k++) {
            var one = declared(e, name + SIDES[k][0], name + SIDES[k][1]);
            if (one !== '') {
                var n = lengthPx(one.toLowerCase(), size());
                if (n === n) out[k] = n;
            }
        }
        return out;
    }
    // A border is as wide as it is written only where it has a style; medium (3px) when
    // only the style is written.
    function bordersOf(e, base, size) {
        var out = base.slice(0), all = declared(e, 'border', 'border').toLowerCase(), k;
        if (all !== '') {
            var width = 3, styled = false, parts = all.split(/\s+/);
            for (k = 0; k < parts.length; k++) {
                var w = own(BORDER_WIDTHS, parts[k]) ? BORDER_WIDTHS[parts[k]] : lengthPx(parts[k], size());
                if (w === w) width = w;
                else if (/^(solid|dashed|dotted|double|groove|ridge|inset|outset)$/.test(parts[k])) styled = true;
            }
            out = styled ? [width, width, width, width] : [0, 0, 0, 0];
        }
        var widths = declared(e, 'borderWidth', 'border-width'), style = declared(e, 'borderStyle', 'border-style').toLowerCase();
        if (widths !== '' && style !== '' && style !== 'none' && style !== 'hidden') out = fourSides(widths, size()) || out;
        else if (style === 'none' || style === 'hidden') out = [0, 0, 0, 0];
        return out;
    }
    function edgesOf(e) {
        var font = null, tag = TAG_MARGINS[e.tagName], m = [0, 0, 0, 0], p = [0, 0, 0, 0], b = [0, 0, 0, 0];
        function size() { return (font || (font = fontOf(e))).size; }
        if (e.tagName === 'BODY') m = [8, 8, 8, 8];
        else if (tag) m = [layoutUnits(tag[0] * size()), tag[1], layoutUnits(tag[0] * size()), tag[1]];
        if (e.tagName === 'UL' || e.tagName === 'OL' || e.tagName === 'MENU') p = [0, 0, 0, 40];
        if (e.tagName === 'IFRAME') b = [2, 2, 2, 2];
        var style = e.style;
        // (Most elements have no inline style at all: their edges are the tag's.)
        if ((style && style.__list ? style.__list.length : 1) || (e.__attributes && own(e.__attributes, 'style'))) {
            m = sidesOf(e, 'margin', m, size);
            p = sidesOf(e, 'padding', p, size);
            b = bordersOf(e, b, size);
        }
        if (!m[0] && !m[1] && !m[2] && !m[3] && !p[0] && !p[1] && !p[2] && !p[3] && !b[0] && !b[1] && !b[2] && !b[3]) return NO_EDGES;
        return {mt: m[0], mr: m[1], mb: m[2], ml: m[3], pt: p[0], pr: p[1], pb: p[2], pl: p[3], bt: b[0], br: b[1], bb: b[2], bl: b[3]};
    }
    function across(ed) { return ed.ml + ed.mr + ed.pl + ed.pr + ed.bl + ed.br; }
    // The width the element's box is laid out in: the window's (or its frame's), narrowed
    // by each ancestor's own width, margins, borders and padding.
    function availableWidth(e) {
        var chain = [], p, w;
        for (p = e.parentNode; p && p.nodeType === 1; p = p.parentNode) chain.push(p);
        var doc = rooted(e), frame = doc && doc.defaultView && doc.defaultView.frameElement;
        w = frame ? boxOf(frame).width : config.innerWidth;
        for (var k = chain.length - 1; k >= 0; k--) {
            var fixed = pixels(declared(chain[k], 'width', 'width'));
            if (fixed !== null) w = fixed;
            else if (!shrinks(chain[k])) w = Math.max(0, w - across(edgesOf(chain[k])));
        }
        return w;
    }
    var NO_BOX = {width: 0, height: 0, inline: true, none: true, border: 0, edges: NO_EDGES};
    // Only what a window shows has a box: not what is out of the page, under display:none,
    // or in a document a script made (DOMParser, createHTMLDocument).
    function hiddenBox(e) {
        var doc = rooted(e);
        if (!doc || (doc !== document && !doc.defaultView)) return true;
        for (var p = e; p && p.nodeType === 1; p = p.parentNode) if (displayOf(p) === 'none') return true;
        return false;
    }
    // The element's box: {width, height (its content's), inline, edges}; none when it has
    // no box. A replaced element (canvas, frame) keeps its own size and has a client area
    // even inline; a frame has Chrome's 2 px border. With `places`, the places of what
    // its lines and blocks hold go there (see flow).
    function boxOf(e, places) {
        if (hiddenBox(e)) return NO_BOX;
        var display = displayOf(e), fixedWidth = pixels(declared(e, 'width', 'width')), fixedHeight = pixels(declared(e, 'height', 'height'));
        var ed = edgesOf(e);
        if (e.tagName === 'CANVAS' || e.tagName === 'IFRAME') {
            var canvas = e.tagName === 'CANVAS';
            return {width: fixedWidth !== null ? fixedWidth : canvas ? e.width : 300, height: fixedHeight !== null ? fixedHeight : canvas ? e.height : 150,
                inline: display === 'inline', replaced: true, border: ed.bl, edges: ed};
        }
        var font = fontOf(e), avail = Math.max(0, availableWidth(e) - across(ed)), shrink = shrinks(e);
        var width = fixedWidth !== null ? fixedWidth : shrink ? null : avail;
        var lines = flow(e, font, width === null ? avail : width, places || null, ed, fixedHeight === null);
        if (width === null) width = Math.min(lines.widest, avail);
        var height = fixedHeight !== null ? fixedHeight : display === 'inline' ? lines.count * lineHeight(font) : lines.height;
        return {width: display === 'inline' ? lines.widest : width, height: height, inline: display === 'inline', border: 0, edges: ed,
            baseline: lines.count ? lines.last : null};
    }
    function outerWidth(b) { return b.width + b.edges.pl + b.edges.pr + b.edges.bl + b.edges.br; }
    function outerHeight(b) { return b.height + b.edges.pt + b.edges.pb + b.edges.bt + b.edges.bb; }
    // The element's inline content in pieces: words, the spaces between them, line breaks,
    // and the blocks among them; an inline element's own content goes in in its own font.
    // With `marks`, where each text and element starts is marked among them.
    function piecesOf(e, font, out, marks) {
        var kids = e.childNodes || [];
        for (var k = 0; k < kids.length; k++) {
            var c = kids[k];
            if (c.nodeType === 3) {
                if (marks) out.push({mark: c});
                var parts = c.data.replace(/[\t\n\f\r ]+/g, ' ').split(/( )/);
                for (var n = 0; n < parts.length; n++) {
                    if (parts[n] === ' ') out.push({space: textWidth(' ', font)});
                    else if (parts[n] !== '') out.push({word: textWidth(parts[n], font)});
                }
            } else if (c.nodeType === 1) {
                var display = displayOf(c);
                if (display === 'none') continue;
                var replaced = c.tagName === 'CANVAS' || c.tagName === 'IFRAME';
                if (marks && (c.tagName === 'BR' || outOfFlow(c) || (display === 'inline' && !replaced))) out.push({mark: c});
                if (c.tagName === 'BR') out.push({br: true});
                else if (outOfFlow(c)) continue;
                else if (display === 'inline' && !replaced) piecesOf(c, fontOf(c), out, marks);
                else if (display === 'inline') {
                    var b = boxOf(c);
                    out.push({word: outerWidth(b) + b.edges.ml + b.edges.mr, box: b, node: c});
                } else if (INLINE_BLOCKS[display] === true) {
                    var ib = boxOf(c);
                    out.push({word: outerWidth(ib) + ib.edges.ml + ib.edges.mr, box: ib, node: c});
                } else out.push({block: boxOf(c), node: c});
            }
        }
        return out;
    }
    function firstOrLastBlock(e, last) {
        var kids = e.childNodes || [];
        for (var k = 0; k < kids.length; k++) {
            var c = kids[last ? kids.length - 1 - k : k];
            if (c.nodeType === 3) {
                if (/[^\t\n\f\r ]/.test(c.data)) return null;
            } else if (c.nodeType === 1) {
                var display = displayOf(c);
                if (display === 'none' || outOfFlow(c)) continue;
                return display === 'inline' || c.tagName === 'BR' ? null : c;
            }
        }
        return null;
    }
    // A block's top (or bottom) margin with those of its first (last) block child, where
    // nothing of its own stands between them: the two collapse into the larger.
    function marginOf(e, ed, bottom) {
        var m = bottom ? ed.mb : ed.mt;
        if (e.tagName === 'HTML' || (bottom ? ed.bb || ed.pb || pixels(declared(e, 'height', 'height')) !== null : ed.bt || ed.pt)) return m;
        var inner = firstOrLastBlock(e, bottom);
        return inner ? Math.max(m, marginOf(inner, edgesOf(inner), bottom)) : m;
    }
    // The element's content in lines, broken between words to fit `width`: the widest, how
    // many, and their height with the blocks among them (each block's margins collapse with
    // its neighbours', the first's and last's with the element's own where nothing stands
    // between). With `places`: {node, x, y} of each text, inline element and block in it,
    // from its content box.
    function flow(e, font, width, places, ed, autoHeight) {
        var out = {widest: 0, count: 0, height: 0, last: 0}, line = 0, space = 0, open = false, lh = lineHeight(font, displayOf(e) !== 'inline');
        var pending = 0, first = true, own = ed || NO_EDGES;
        var keepsTop = e.tagName === 'HTML' || own.bt || own.pt, keepsBottom = e.tagName === 'HTML' || own.bb || own.pb || !autoHeight;
        // A line is as high as what stands above its baseline and what hangs below it: the
        // text's ascent and the rest of its line height, or an inline block's box from
        // its own baseline (its last line's, or its bottom where it has no line).
        var rise = ascentOf(font), above = rise, below = lh - rise, lineTop = 0, onLine = [];
        function endLine() {
            if (open) {
                out.widest = Math.max(out.widest, snap(line));
                out.count++;
                for (var n = 0; n < onLine.length; n++) onLine[n].place.y = lineTop + above - onLine[n].rise;
                out.last = lineTop + above;
                out.height += above + below;
            }
            onLine = [];
            line = space = 0;
            above = rise;
            below = lh - rise;
            open = false;
        }
        function openLine() {
            if (open) return;
            out.height += pending;
            pending = 0;
            first = false;
            open = true;
            lineTop = out.height;
        }
        var pieces = piecesOf(e, font, [], places !== null);
        for (var k = 0; k < pieces.length; k++) {
            var p = pieces[k];
            if (p.mark) {
                var mark = {node: p.mark, x: open ? line + space : 0, y: out.height + (open ? 0 : pending)};
                places.push(mark);
                if (p.mark.nodeType === 3 || !outOfFlow(p.mark)) onLine.push({place: mark, rise: rise});
            } else if (p.br) {
                openLine();
                endLine();
            } else if (p.block) {
                endLine();
                var ce = p.block.edges, top = out.height + (first && !keepsTop ? 0 : Math.max(pending, marginOf(p.node, ce, false)));
                if (places !== null) places.push({node: p.node, x: ce.ml, y: top});
                out.widest = Math.max(out.widest, p.block.width);
                out.height = top + outerHeight(p.block);
                pending = marginOf(p.node, ce, true);
                first = false;
            } else if (p.space !== undefined) {
                if (open) space = p.space;
            } else {
                if (open && width > 0 && snap(line + space + p.word) > width) endLine();
                openLine();
                if (p.box) {
                    // An inline block: placed on the line by its baseline.
                    var b = p.box, be = b.edges, tall = outerHeight(b) + be.mt + be.mb;
                    var base = typeof b.baseline !== 'number' ? tall : be.mt + be.bt + be.pt + b.baseline;
                    above = Math.max(above, base);
                    below = Math.max(below, tall - base);
                    if (places !== null) {
                        var at = {node: p.node, x: line + space + be.ml, y: lineTop};
                        places.push(at);
                        onLine.push({place: at, rise: base - be.mt});
                    }
                }
                line += space + p.word;
                space = 0;
            }
        }
        endLine();
        if (keepsBottom) out.height += pending;
        return out;
    }
    // ---- where boxes are: page coordinates of the top left of a node's box -----------
    // A block's box stacks under what comes before it in its container (the body's 8px
    // margin, the margins, borders and padding of the boxes); text and inline elements
    // advance along their line. The page never scrolls here, so the page's coordinates are
    // the window's. Each question lays out afresh: nothing is kept between them.
    function holderOf(node) {
        var p = node.parentNode;
        while (p && p.nodeType === 1 && p.parentNode && p.parentNode.nodeType === 1 && displayOf(p) === 'inline') p = p.parentNode;
        return p;
    }
    function positioned(e) { return positionOf(e) !== '' && positionOf(e) !== 'static'; }
    // The places of what a block holds and the places of blocks, worked out once for each
    // state of the page: a script reading the places of a hundred elements lays the page
    // out once, not a hundred times.
    var layoutMemo = null;
    function memo() {
        if (layoutMemo === null || layoutMemo.version !== layoutVersion) {
            layoutMemo = {version: layoutVersion, holders: new WeakMap(), places: new WeakMap()};
        }
        return layoutMemo;
    }
    function placesIn(holder) {
        var m = memo(), known = m.holders.get(holder);
        if (known === undefined) {
            var list = [], box = boxOf(holder, list), at = new Map();
            for (var k = 0; k < list.length; k++) if (!at.has(list[k].node)) at.set(list[k].node, list[k]);
            m.holders.set(holder, known = {box: box, at: at});
        }
        return known;
    }
    function placeOf(node) {
        var m = memo(), known = m.places.get(node);
        if (known === undefined) m.places.set(node, known = placeNow(node));
        return known;
    }
    function placeNow(node) {
        if (node.nodeType === 1 && hiddenBox(node)) return null;
        var parent = node.parentNode;
        if (!parent || parent.nodeType !== 1) {
            if (!parent || parent.nodeType !== 9) return null;
            var top = node.nodeType === 1 ? edgesOf(node) : NO_EDGES;
            return {x: top.ml, y: top.mt};
        }
        var holder = holderOf(node), origin = holder && placeOf(holder);
        if (!origin) return null;
        var laid = placesIn(holder), he = laid.box.edges, at = laid.at.get(node);
        if (!at) return null;
        var x = origin.x + he.bl + he.pl + at.x, y = origin.y + he.bt + he.pt + at.y;
        if (node.nodeType !== 1) return {x: x, y: y};
        var how = positionOf(node), left = pixels(declared(node, 'left', 'left')), topAt = pixels(declared(node, 'top', 'top'));
        if (how === 'absolute' || how === 'fixed') {
            // From the nearest positioned ancestor's padding box, or the page's corner.
            var base = {x: 0, y: 0};
            for (var a = node.parentNode; how === 'absolute' && a && a.nodeType === 1; a = a.parentNode) {
                if (!positioned(a)) continue;
                var ap = placeOf(a), ae = edgesOf(a);
                if (ap) base = {x: ap.x + ae.bl, y: ap.y + ae.bt};
                break;
            }
            var ed = edgesOf(node);
            if (left !== null) x = base.x + left + ed.ml;
            if (topAt !== null) y = base.y + topAt + ed.mt;
        } else if (how === 'relative') {
            if (left !== null) x += left;
            if (topAt !== null) y += topAt;
        }
        return {x: x, y: y};
    }
    // The element offsets are counted from: its nearest positioned ancestor, cell or
    // table, else the body; none for the body, the root, a fixed box or one not shown.
    function offsetParentOf(e) {
        if (e.tagName === 'BODY' || e.tagName === 'HTML' || hiddenBox(e) || positionOf(e) === 'fixed') return null;
        var statik = !positioned(e);
        for (var p = e.parentNode; p && p.nodeType === 1; p = p.parentNode) {
            if (positioned(p) || p.tagName === 'BODY' || (statik && (p.tagName === 'TD' || p.tagName === 'TH' || p.tagName === 'TABLE'))) return p;
        }
        return null;
    }
    function offsetOf(e, vertical) {
        if (e.tagName === 'BODY') return 0;
        var at = placeOf(e);
        if (!at) return 0;
        var p = offsetParentOf(e), v = vertical ? at.y : at.x;
        if (p && p.tagName !== 'BODY') {
            var pa = placeOf(p), pe = edgesOf(p);
            if (pa) v -= vertical ? pa.y + pe.bt : pa.x + pe.bl;
        }
        return Math.round(v);
    }
    function rectOf(e) {
        var b = boxOf(e), at = b.none ? null : placeOf(e);
        return new DOMRect(at ? at.x : 0, at ? at.y : 0, outerWidth(b), outerHeight(b));
    }
    // The box of the text of `node` from `start` to `end`, on its first line.
    function textRect(node, start, end) {
        var holder = node.parentNode;
        if (!holder || holder.nodeType !== 1 || hiddenBox(holder)) return null;
        var at = placeOf(node);
        if (!at) return null;
        var font = fontOf(holder), text = node.data;
        function wide(s) { return textWidth(s.replace(/[\t\n\f\r ]+/g, ' '), font); }
        // (Text runs are laid out in 1/64 px.)
        return new DOMRect(at.x + snap(wide(text.substring(0, start))), at.y, snap(wide(text.substring(start, end))), lineHeight(font, false));
    }
    if (modern) {
        var sizeOf = function (name, inner) {
            return function () {
                var b = boxOf(this), ed = b.edges;
                if (inner && b.inline && !b.replaced) return 0;
                if (name === 'width') return Math.round(b.width + ed.pl + ed.pr + (inner ? 0 : ed.bl + ed.br));
                return Math.round(b.height + ed.pt + ed.pb + (inner ? 0 : ed.bt + ed.bb));
            };
        };
        protoAccessor(HTMLElement.prototype, 'offsetWidth', sizeOf('width', false), noop);
        protoAccessor(HTMLElement.prototype, 'offsetHeight', sizeOf('height', false), noop);
        protoAccessor(HTMLElement.prototype, 'clientWidth', sizeOf('width', true), noop);
        protoAccessor(HTMLElement.prototype, 'clientHeight', sizeOf('height', true), noop);
        protoAccessor(HTMLElement.prototype, 'scrollWidth', sizeOf('width', true), noop);
        protoAccessor(HTMLElement.prototype, 'scrollHeight', sizeOf('height', true), noop);
        protoAccessor(HTMLElement.prototype, 'offsetTop', function () { return offsetOf(this, true); }, noop);
        protoAccessor(HTMLElement.prototype, 'offsetLeft', function () { return offsetOf(this, false); }, noop);
        protoAccessor(HTMLElement.prototype, 'offsetParent', function () { return offsetParentOf(this); }, noop);
        var edgeOf = function (side) {
            return function () {
                var b = boxOf(this);
                return b.inline && !b.replaced ? 0 : Math.round(b.edges[side]);
            };
        };
        protoAccessor(Element.prototype, 'clientTop', edgeOf('bt'), noop);
        protoAccessor(Element.prototype, 'clientLeft', edgeOf('bl'), noop);
    }

    // ---- ranges, selections, tree walkers and node iterators (modern target) ----------
    // Made when a script first asks for one (traversal()); nothing of it runs while the
    // page is set up. Ranges and node iterators follow the tree as nodes come and go:
    // those alive are listed in `followers` (held weakly where the engine can).
    var followers = null, weakFollowers = modern && typeof WeakRef === 'function';
    function follow(o) {
        if (followers === null) followers = [];
        followers.push(weakFollowers ? new WeakRef(o) : o);
    }
    function eachFollower(fn) {
        var kept = 0;
        for (var k = 0; k < followers.length; k++) {
            var o = weakFollowers ? followers[k].deref() : followers[k];
            if (o === undefined) continue;
            followers[kept++] = followers[k];
            fn(o);
        }
        followers.length = kept;
    }
    function isInclusiveAncestor(a, b) {
        for (var p = b; p; p = p.parentNode) if (p === a) return true;
        return false;
    }
    function childIndex(node) {
        var list = node.parentNode ? node.parentNode.childNodes : null;
        if (!list) return 0;
        for (var n = 0; n < list.length; n++) if (list[n] === node) return n;
        return 0;
    }
    // Before `child` leaves `parent`, where it is the `index`th child.
    function beforeRemoval(child, parent, index) {
        eachFollower(function (o) {
            if (o.__iterator) return o.__iterator(child);
            if (isInclusiveAncestor(child, o.startContainer)) { o.startContainer = parent; o.startOffset = index; }
            else if (o.startContainer === parent && o.startOffset > index) o.startOffset--;
            if (isInclusiveAncestor(child, o.endContainer)) { o.endContainer = parent; o.endOffset = index; }
            else if (o.endContainer === parent && o.endOffset > index) o.endOffset--;
        });
    }
    // After `count` nodes went into `parent` at `index`.
    function afterInsertion(parent, index, count) {
        eachFollower(function (o) {
            if (o.__iterator) return;
            if (o.startContainer === parent && o.startOffset > index) o.startOffset += count;
            if (o.endContainer === parent && o.endOffset > index) o.endOffset += count;
        });
    }
    // A text's (or comment's) data written whole, as a script writes it: its length and
    // value follow, and the ranges in it go back to its start.
    function setText(node, text) {
        text = text === null ? '' : toText(text);
        layoutVersion++;
        if (followers) {
            eachFollower(function (o) {
                if (o.__iterator) return;
                if (o.startContainer === node && o.startOffset > 0) o.startOffset = 0;
                if (o.endContainer === node && o.endOffset > 0) o.endOffset = 0;
            });
        }
        node.data = node.nodeValue = node.textContent = text;
        node.length = text.length;
    }
    var traversalParts = null;
    function traversal() { return traversalParts || (traversalParts = makeTraversal()); }
    function makeTraversal() {
        function isData(n) { return n.nodeType === 3 || n.nodeType === 8 || n.nodeType === 4 || n.nodeType === 7; }
        function lengthOf(n) { return n.nodeType === 10 ? 0 : isData(n) ? n.data.length : n.childNodes.length; }
        function rootOf(n) {
            while (n.parentNode) n = n.parentNode;
            return n;
        }
        function failure(what, iface) { return "Failed to execute '" + what + "' on '" + iface + "': "; }
        function mustBeNode(v, what, iface, at) {
            if (!(v instanceof Node)) throw new TypeError(failure(what, iface) + 'parameter ' + (at || 1) + " is not of type 'Node'.");
        }
        function offsetIn(node, offset, what, iface) {
            if (node.nodeType === 10) throw domError('InvalidNodeTypeError', failure(what, iface) + "The node provided is of type '" + node.nodeName + "'.");
            var n = Number(offset) >>> 0;
            if (n > lengthOf(node)) throw domError('IndexSizeError', failure(what, iface) + 'The offset ' + n + " is larger than the node's length (" + lengthOf(node) + ').');
            return n;
        }
        // Where boundary point (a, ao) is against (b, bo): -1 before, 0 equal, 1 after.
        function order(a, ao, b, bo) {
            if (a === b) return ao === bo ? 0 : ao < bo ? -1 : 1;
            if (precedes(b, a)) return -order(b, bo, a, ao);
            if (isInclusiveAncestor(a, b)) {
                var child = b;
                while (child.parentNode !== a) child = child.parentNode;
                if (childIndex(child) < ao) return 1;
            }
            return -1;
        }
        // Whether `a` comes before `b` in tree order (same tree).
        function precedes(a, b) {
            if (a === b) return false;
            var pa = [], pb = [], n;
            for (n = a; n; n = n.parentNode) pa.unshift(n);
            for (n = b; n; n = n.parentNode) pb.unshift(n);
            if (pa[0] !== pb[0]) return false;
            var k = 0;
            while (k < pa.length && k < pb.length && pa[k] === pb[k]) k++;
            if (k === pa.length) return true;
            if (k === pb.length) return false;
            return childIndex(pa[k]) < childIndex(pb[k]);
        }
        function following(node, root) {
            if (node.firstChild) return node.firstChild;
            for (; node; node = node.parentNode) {
                if (node === root) return null;
                if (node.nextSibling) return node.nextSibling;
            }
            return null;
        }
        function setData(node, offset, count, text) {
            layoutVersion++;
            var data = node.data, end = Math.min(offset + count, data.length);
            node.data = node.nodeValue = node.textContent = data.substring(0, offset) + text + data.substring(end);
            node.length = node.data.length;
            if (followers === null) return;
            eachFollower(function (o) {
                if (o.__iterator) return;
                if (o.startContainer === node && o.startOffset > offset) o.startOffset = o.startOffset <= end ? offset : o.startOffset - (end - offset) + text.length;
                if (o.endContainer === node && o.endOffset > offset) o.endOffset = o.endOffset <= end ? offset : o.endOffset - (end - offset) + text.length;
            });
        }
        function splitText(node, offset) {
            var rest = characterData(Text, 3, '#text', node.data.substring(offset), node.ownerDocument), parent = node.parentNode;
            if (parent) {
                var at = childIndex(node);
                insertChild(parent, rest, node.nextSibling);
                eachFollower(function (o) {
                    if (o.__iterator) return;
                    if (o.startContainer === node && o.startOffset > offset) { o.startContainer = rest; o.startOffset -= offset; }
                    if (o.endContainer === node && o.endOffset > offset) { o.endContainer = rest; o.endOffset -= offset; }
                    if (o.startContainer === parent && o.startOffset === at + 1) o.startOffset++;
                    if (o.endContainer === parent && o.endOffset === at + 1) o.endOffset++;
                });
            }
            setData(node, offset, node.data.length - offset, '');
            return rest;
        }

        // A range: its ends are boundary points of one tree.
        function AbstractRange() { illegal(); }
        function Range() { illegal(); }
        subclass(Range, AbstractRange);
        function StaticRange() { illegal(); }
        subclass(StaticRange, AbstractRange);
        function newRange(doc) {
            var r = inherit(Range.prototype);
            r.startContainer = r.endContainer = doc;
            r.startOffset = r.endOffset = 0;
            follow(r);
            return r;
        }
        Object.defineProperty(AbstractRange.prototype, 'collapsed', {get: function () {
            return this.startContainer === this.endContainer && this.startOffset === this.endOffset;
        }});
        Object.defineProperty(Range.prototype, 'commonAncestorContainer', {get: function () {
            var c = this.startContainer;
            while (!isInclusiveAncestor(c, this.endContainer)) c = c.parentNode;
            return c;
        }});
        function setEnd(r, start, node, offset, what) {
            mustBeNode(node, what, 'Range');
            offset = offsetIn(node, offset, what, 'Range');
            if (start) {
                if (rootOf(node) !== rootOf(r.startContainer) || order(node, offset, r.endContainer, r.endOffset) > 0) {
                    r.endContainer = node;
                    r.endOffset = offset;
                }
                r.startContainer = node;
                r.startOffset = offset;
            } else {
                if (rootOf(node) !== rootOf(r.startContainer) || order(node, offset, r.startContainer, r.startOffset) < 0) {
                    r.startContainer = node;
                    r.startOffset = offset;
                }
                r.endContainer = node;
                r.endOffset = offset;
            }
        }
        function parentOf(node, what) {
            mustBeNode(node, what, 'Range');
            if (!node.parentNode) throw domError('InvalidNodeTypeError', failure(what, 'Range') + 'the given Node has no parent.');
            return node.parentNode;
        }
        function contained(r, node) {
            return rootOf(node) === rootOf(r.startContainer) && order(node, 0, r.startContainer, r.startOffset) > 0 &&
                order(node, lengthOf(node), r.endContainer, r.endOffset) < 0;
        }
        function partly(r, node) {
            var a = isInclusiveAncestor(node, r.startContainer), b = isInclusiveAncestor(node, r.endContainer);
            return a !== b;
        }
        // What cloneContents and extractContents share (the second takes the nodes out).
        function contents(r, take) {
            var sn = r.startContainer, so = r.startOffset, en = r.endContainer, eo = r.endOffset;
            var f = fragment(sn.nodeType === 9 ? sn : sn.ownerDocument), clone;
            if (sn === en && so === eo) return f;
            if (sn === en && isData(sn)) {
                clone = cloneNode(sn, false, sn.ownerDocument);
                setData(clone, 0, clone.data.length, sn.data.substring(so, eo));
                insertChild(f, clone, null);
                if (take) setData(sn, so, eo - so, '');
                return f;
            }
            var common = sn;
            while (!isInclusiveAncestor(common, en)) common = common.parentNode;
            var firstPart = null, lastPart = null, inside = [], k, c;
            if (!isInclusiveAncestor(sn, en)) for (c = common.firstChild; c && !firstPart; c = c.nextSibling) if (partly(r, c)) firstPart = c;
            if (!isInclusiveAncestor(en, sn)) for (c = common.lastChild; c && !lastPart; c = c.previousSibling) if (partly(r, c)) lastPart = c;
            for (c = common.firstChild; c; c = c.nextSibling) if (contained(r, c)) inside.push(c);
            for (k = 0; k < inside.length; k++) {
                if (inside[k].nodeType === 10) throw domError('HierarchyRequestError', failure(take ? 'extractContents' : 'cloneContents', 'Range') + 'A DocumentType node cannot be cloned or moved.');
            }
            var newNode = sn, newOffset = so;
            if (take && !isInclusiveAncestor(sn, en)) {
                var ref = sn;
                while (!isInclusiveAncestor(ref.parentNode, en)) ref = ref.parentNode;
                newNode = ref.parentNode;
                newOffset = childIndex(ref) + 1;
            }
            var sub;
            if (firstPart && isData(firstPart)) {
                clone = cloneNode(sn, false, sn.ownerDocument);
                setData(clone, 0, clone.data.length, sn.data.substring(so));
                insertChild(f, clone, null);
                if (take) setData(sn, so, sn.data.length - so, '');
            } else if (firstPart) {
                clone = cloneNode(firstPart, false, firstPart.ownerDocument);
                insertChild(f, clone, null);
                sub = inherit(Range.prototype);
                sub.startContainer = sn; sub.startOffset = so; sub.endContainer = firstPart; sub.endOffset = lengthOf(firstPart);
                insertChild(clone, contents(sub, take), null);
            }
            for (k = 0; k < inside.length; k++) insertChild(f, take ? inside[k] : cloneNode(inside[k], true, inside[k].ownerDocument), null);
            if (lastPart && isData(lastPart)) {
                clone = cloneNode(en, false, en.ownerDocument);
                setData(clone, 0, clone.data.length, en.data.substring(0, eo));
                insertChild(f, clone, null);
                if (take) setData(en, 0, eo, '');
            } else if (lastPart) {
                clone = cloneNode(lastPart, false, lastPart.ownerDocument);
                insertChild(f, clone, null);
                sub = inherit(Range.prototype);
                sub.startContainer = lastPart; sub.startOffset = 0; sub.endContainer = en; sub.endOffset = eo;
                insertChild(clone, contents(sub, take), null);
            }
            if (take) {
                r.startContainer = r.endContainer = newNode;
                r.startOffset = r.endOffset = newOffset;
            }
            return f;
        }
        function removeNode(node) {
            if (node.parentNode) detach(node);
        }
        // Every text node of the range in tree order, with the part of it inside.
        function textsOf(r, each) {
            var sn = r.startContainer, en = r.endContainer;
            if (sn === en && sn.nodeType === 3) return each(sn, r.startOffset, r.endOffset);
            if (sn.nodeType === 3) each(sn, r.startOffset, sn.data.length);
            var root = r.commonAncestorContainer;
            for (var n = root.firstChild; n; n = following(n, root)) {
                if (n.nodeType === 3 && n !== sn && n !== en && contained(r, n)) each(n, 0, n.data.length);
            }
            if (en.nodeType === 3 && en !== sn) each(en, 0, r.endOffset);
        }
        function rectsOf(r) {
            var out = [], picked = [], root = r.commonAncestorContainer;
            function add(rect) { if (rect) out.push(rect); }
            if (r.startContainer === r.endContainer && r.startContainer.nodeType === 3) {
                add(textRect(r.startContainer, r.startOffset, r.endOffset));
                return out;
            }
            for (var n = root.firstChild || null; n; n = following(n, root)) {
                var inside = contained(r, n), start = n === r.startContainer, end = n === r.endContainer;
                if (n.nodeType === 1 && inside) {
                    var p = n.parentNode, taken = false;
                    for (var k = 0; k < picked.length; k++) if (picked[k] === p) taken = true;
                    picked.push(n);
                    if (!taken && !hiddenBox(n)) add(rectOf(n));
                } else if (n.nodeType === 3 && (inside || start || end)) {
                    var taken3 = false;
                    for (var j = 0; j < picked.length; j++) if (picked[j] === n.parentNode) taken3 = true;
                    if (!taken3) add(textRect(n, start ? r.startOffset : 0, end ? r.endOffset : n.data.length));
                }
            }
            return out;
        }
        var rangeMethods = {
            setStart: function (node, offset) { setEnd(this, true, node, offset, 'setStart'); },
            setEnd: function (node, offset) { setEnd(this, false, node, offset, 'setEnd'); },
            setStartBefore: function (node) { var p = parentOf(node, 'setStartBefore'); setEnd(this, true, p, childIndex(node), 'setStartBefore'); },
            setStartAfter: function (node) { var p = parentOf(node, 'setStartAfter'); setEnd(this, true, p, childIndex(node) + 1, 'setStartAfter'); },
            setEndBefore: function (node) { var p = parentOf(node, 'setEndBefore'); setEnd(this, false, p, childIndex(node), 'setEndBefore'); },
            setEndAfter: function (node) { var p = parentOf(node, 'setEndAfter'); setEnd(this, false, p, childIndex(node) + 1, 'setEndAfter'); },
            collapse: function (toStart) {
                if (toStart) { this.endContainer = this.startContainer; this.endOffset = this.startOffset; }
                else { this.startContainer = this.endContainer; this.startOffset = this.endOffset; }
            },
            selectNode: function (node) {
                var p = parentOf(node, 'selectNode'), at = childIndex(node);
                this.startContainer = this.endContainer = p;
                this.startOffset = at;
                this.endOffset = at + 1;
            },
            selectNodeContents: function (node) {
                mustBeNode(node, 'selectNodeContents', 'Range');
                if (node.nodeType === 10) throw domError('InvalidNodeTypeError', failure('selectNodeContents', 'Range') + "The node provided is of type '" + node.nodeName + "'.");
                this.startContainer = this.endContainer = node;
                this.startOffset = 0;
                this.endOffset = lengthOf(node);
            },
            compareBoundaryPoints: function (how, source) {
                how = (Number(how) >>> 0) & 0xFFFF;
                if (!(source instanceof Range)) throw new TypeError(failure('compareBoundaryPoints', 'Range') + "parameter 2 is not of type 'Range'.");
                if (how > 3) {
                    throw domError('NotSupportedError', failure('compareBoundaryPoints', 'Range') + "The comparison method provided must be one of 'START_TO_START', 'START_TO_END', 'END_TO_END', or 'END_TO_START'.");
                }
                if (rootOf(this.startContainer) !== rootOf(source.startContainer)) throw domError('WrongDocumentError', failure('compareBoundaryPoints', 'Range') + 'The source range is in a different document than this range.');
                var mine = how === 0 || how === 3 ? [this.startContainer, this.startOffset] : [this.endContainer, this.endOffset];
                var theirs = how === 0 || how === 1 ? [source.startContainer, source.startOffset] : [source.endContainer, source.endOffset];
                return order(mine[0], mine[1], theirs[0], theirs[1]);
            },
            comparePoint: function (node, offset) {
                mustBeNode(node, 'comparePoint', 'Range');
                if (rootOf(node) !== rootOf(this.startContainer)) throw domError('WrongDocumentError', failure('comparePoint', 'Range') + 'The node provided and this range are not in the same tree.');
                offset = offsetIn(node, offset, 'comparePoint', 'Range');
                if (order(node, offset, this.startContainer, this.startOffset) < 0) return -1;
                return order(node, offset, this.endContainer, this.endOffset) > 0 ? 1 : 0;
            },
            isPointInRange: function (node, offset) {
                mustBeNode(node, 'isPointInRange', 'Range');
                if (rootOf(node) !== rootOf(this.startContainer)) return false;
                offset = offsetIn(node, offset, 'isPointInRange', 'Range');
                return order(node, offset, this.startContainer, this.startOffset) >= 0 && order(node, offset, this.endContainer, this.endOffset) <= 0;
            },
            intersectsNode: function (node) {
                mustBeNode(node, 'intersectsNode', 'Range');
                if (rootOf(node) !== rootOf(this.startContainer)) return false;
                var p = node.parentNode;
                if (!p) return true;
                var at = childIndex(node);
                return order(p, at, this.endContainer, this.endOffset) < 0 && order(p, at + 1, this.startContainer, this.startOffset) > 0;
            },
            cloneRange: function () {
                var c = newRange(this.startContainer);
                c.startContainer = this.startContainer; c.startOffset = this.startOffset;
                c.endContainer = this.endContainer; c.endOffset = this.endOffset;
                return c;
            },
            detach: noop,
            cloneContents: function () { return contents(this, false); },
            extractContents: function () { return contents(this, true); },
            deleteContents: function () {
                if (this.collapsed) return;
                var sn = this.startContainer, so = this.startOffset, en = this.endContainer, eo = this.endOffset;
                if (sn === en && isData(sn)) return setData(sn, so, eo - so, '');
                var doomed = [], root = this.commonAncestorContainer;
                for (var n = root.firstChild; n; n = following(n, root)) {
                    if (contained(this, n) && !(n.parentNode && contained(this, n.parentNode))) doomed.push(n);
                }
                var newNode = sn, newOffset = so;
                if (!isInclusiveAncestor(sn, en)) {
                    var ref = sn;
                    while (!isInclusiveAncestor(ref.parentNode, en)) ref = ref.parentNode;
                    newNode = ref.parentNode;
                    newOffset = childIndex(ref) + 1;
                }
                if (isData(sn)) setData(sn, so, sn.data.length - so, '');
                for (var k = 0; k < doomed.length; k++) removeNode(doomed[k]);
                if (isData(en)) setData(en, 0, eo, '');
                this.startContainer = this.endContainer = newNode;
                this.startOffset = this.endOffset = newOffset;
            },
            insertNode: function (node) {
                mustBeNode(node, 'insertNode', 'Range');
                var sn = this.startContainer, so = this.startOffset;
                if (sn.nodeType === 8 || sn.nodeType === 7 || (sn.nodeType === 3 && !sn.parentNode) || sn === node) {
                    throw domError('HierarchyRequestError', failure('insertNode', 'Range') + 'Nodes of type \'' + sn.nodeName + "' may not be inserted inside nodes of type '" + sn.nodeName + "'.");
                }
                if (isInclusiveAncestor(node, sn)) throw domError('HierarchyRequestError', failure('insertNode', 'Range') + 'The new child element contains the parent.');
                var ref = sn.nodeType === 3 ? sn : sn.childNodes[so] || null, parent = ref ? ref.parentNode : sn;
                if (sn.nodeType === 3) ref = splitText(sn, so);
                if (ref === node) ref = node.nextSibling;
                if (node.parentNode) detach(node);
                var newOffset = (ref ? childIndex(ref) : lengthOf(parent)) + (node.nodeType === 11 ? lengthOf(node) : 1);
                var wasCollapsed = this.collapsed;
                insertChild(parent, node, ref);
                if (wasCollapsed) { this.endContainer = parent; this.endOffset = newOffset; }
            },
            surroundContents: function (holder) {
                mustBeNode(holder, 'surroundContents', 'Range');
                var root = this.commonAncestorContainer;
                for (var n = root; n; n = following(n, root)) {
                    if (n.nodeType !== 3 && partly(this, n)) throw domError('InvalidStateError', failure('surroundContents', 'Range') + 'The Range has partially selected a non-Text node.');
                }
                if (holder.nodeType === 9 || holder.nodeType === 10 || holder.nodeType === 11) {
                    throw domError('InvalidNodeTypeError', failure('surroundContents', 'Range') + "The node provided is of type '" + holder.nodeName + "'.");
                }
                var f = contents(this, true);
                while (holder.firstChild) detach(holder.firstChild);
                this.insertNode(holder);
                insertChild(holder, f, null);
                this.selectNode(holder);
            },
            toString: function () {
                var out = [];
                textsOf(this, function (n, a, b) { out.push(n.data.substring(a, b)); });
                return out.join('');
            },
            createContextualFragment: function (html) {
                var sn = this.startContainer, context = sn.nodeType === 1 ? sn : sn.parentNode, doc = sn.nodeType === 9 ? sn : sn.ownerDocument;
                if (!context || context.nodeType !== 1 || context.localName === 'html') context = createElement('body', doc);
                var holder = createElement('div', doc), f = fragment(doc);
                readHtml(holder, html, doc, context);
                relink(holder);
                while (holder.firstChild) insertChild(f, holder.firstChild, null);
                return f;
            },
            getClientRects: function () { return listOf(rectsOf(this), DOMRectList); },
            getBoundingClientRect: function () {
                var list = rectsOf(this), l = 0, t = 0, r = 0, b = 0, any = false;
                for (var k = 0; k < list.length; k++) {
                    var one = list[k];
                    if (!one.width && !one.height) continue;
                    if (!any) { l = one.left; t = one.top; r = one.right; b = one.bottom; any = true; }
                    else { l = Math.min(l, one.left); t = Math.min(t, one.top); r = Math.max(r, one.right); b = Math.max(b, one.bottom); }
                }
                return any ? new DOMRect(l, t, r - l, b - t) : list.length ? list[0] : new DOMRect(0, 0, 0, 0);
            }
        };
        copyOwn(Range.prototype, rangeMethods);
        // A StaticRange holds what it was given, checked only for its kind.
        function staticRange(init) {
            var names = ['endContainer', 'endOffset', 'startContainer', 'startOffset'], s = inherit(StaticRange.prototype);
            for (var k = 0; k < names.length; k++) {
                var v = init === null || init === undefined ? undefined : init[names[k]];
                if (v === undefined) throw new TypeError("Failed to construct 'StaticRange': Failed to read the '" + names[k] + "' property from 'StaticRangeInit': Required member is undefined.");
                if (k % 2 === 0 && !(v instanceof Node)) throw new TypeError("Failed to construct 'StaticRange': Failed to read the '" + names[k] + "' property from 'StaticRangeInit': Failed to convert value to 'Node'.");
                s[names[k]] = k % 2 === 0 ? v : Number(v) >>> 0;
            }
            if (s.startContainer.nodeType === 10 || s.startContainer.nodeType === 2 || s.endContainer.nodeType === 10 || s.endContainer.nodeType === 2) {
                throw domError('InvalidNodeTypeError', "Failed to construct 'StaticRange': Neither startContainer nor endContainer can be a DocumentType or Attr node.");
            }
            return s;
        }

        // The document's one selection: at most one range, and which way it was made.
        function Selection() { illegal(); }
        var selections = [];
        function selectionOf(doc) {
            for (var k = 0; k < selections.length; k++) if (selections[k].doc === doc) return selections[k].selection;
            var s = inherit(Selection.prototype);
            s.__doc = doc;
            s.__range = null;
            s.__direction = 'none';
            selections.push({doc: doc, selection: s});
            return s;
        }
        function selectionGetter(name, get) { Object.defineProperty(Selection.prototype, name, {get: get}); }
        function backward(s) { return s.__direction === 'backward'; }
        selectionGetter('anchorNode', function () { var r = this.__range; return r ? (backward(this) ? r.endContainer : r.startContainer) : null; });
        selectionGetter('anchorOffset', function () { var r = this.__range; return r ? (backward(this) ? r.endOffset : r.startOffset) : 0; });
        selectionGetter('focusNode', function () { var r = this.__range; return r ? (backward(this) ? r.startContainer : r.endContainer) : null; });
        selectionGetter('focusOffset', function () { var r = this.__range; return r ? (backward(this) ? r.startOffset : r.endOffset) : 0; });
        selectionGetter('isCollapsed', function () { return !this.__range || this.__range.collapsed; });
        selectionGetter('rangeCount', function () { return this.__range ? 1 : 0; });
        selectionGetter('type', function () { return !this.__range ? 'None' : this.__range.collapsed ? 'Caret' : 'Range'; });
        selectionGetter('direction', function () { return this.__range && !this.__range.collapsed ? this.__direction : 'none'; });
        function inDocument(s, node) { return rootOf(node) === s.__doc; }
        function place(s, an, ao, fn, fo, what) {
            mustBeNode(an, what, 'Selection');
            ao = offsetIn(an, ao, what, 'Selection');
            if (fn !== an) mustBeNode(fn, what, 'Selection', 3);
            fo = offsetIn(fn, fo, what, 'Selection');
            if (!inDocument(s, an) || !inDocument(s, fn)) return;
            var r = newRange(s.__doc), back = order(an, ao, fn, fo) > 0;
            r.startContainer = back ? fn : an; r.startOffset = back ? fo : ao;
            r.endContainer = back ? an : fn; r.endOffset = back ? ao : fo;
            s.__range = r;
            s.__direction = back ? 'backward' : 'forward';
        }
        var selectionMethods = {
            addRange: function (r) {
                if (!(r instanceof Range)) throw new TypeError(failure('addRange', 'Selection') + "parameter 1 is not of type 'Range'.");
                if (this.__range || !inDocument(this, r.startContainer)) return;
                this.__range = r;
                this.__direction = 'forward';
            },
            removeRange: function (r) {
                if (!(r instanceof Range)) throw new TypeError(failure('removeRange', 'Selection') + "parameter 1 is not of type 'Range'.");
                if (r !== this.__range) throw domError('NotFoundError', failure('removeRange', 'Selection') + 'Range not found.');
                this.__range = null;
            },
            removeAllRanges: function () { this.__range = null; },
            empty: function () { this.__range = null; },
            getRangeAt: function (n) {
                n = Number(n) >>> 0;
                if (!this.__range || n > 0) throw domError('IndexSizeError', failure('getRangeAt', 'Selection') + n + ' is not a valid index.');
                return this.__range;
            },
            collapse: function (node, offset) {
                if (node === null || node === undefined) { this.__range = null; return; }
                place(this, node, offset, node, offset, 'collapse');
            },
            setPosition: function (node, offset) {
                if (node === null || node === undefined) { this.__range = null; return; }
                place(this, node, offset, node, offset, 'setPosition');
            },
            collapseToStart: function () {
                var r = this.__range;
                if (!r) throw domError('InvalidStateError', failure('collapseToStart', 'Selection') + 'there is no selection.');
                place(this, r.startContainer, r.startOffset, r.startContainer, r.startOffset, 'collapseToStart');
            },
            collapseToEnd: function () {
                var r = this.__range;
                if (!r) throw domError('InvalidStateError', failure('collapseToEnd', 'Selection') + 'there is no selection.');
                place(this, r.endContainer, r.endOffset, r.endContainer, r.endOffset, 'collapseToEnd');
            },
            extend: function (node, offset) {
                mustBeNode(node, 'extend', 'Selection');
                if (!this.__range) throw domError('InvalidStateError', failure('extend', 'Selection') + "This Selection object doesn't have any Ranges.");
                place(this, this.anchorNode, this.anchorOffset, node, offset === undefined ? 0 : offset, 'extend');
            },
            setBaseAndExtent: function (an, ao, fn, fo) { place(this, an, ao, fn, fo, 'setBaseAndExtent'); },
            selectAllChildren: function (node) {
                mustBeNode(node, 'selectAllChildren', 'Selection');
                if (node.nodeType === 10) throw domError('InvalidNodeTypeError', failure('selectAllChildren', 'Selection') + "The node provided is of type '" + node.nodeName + "'.");
                place(this, node, 0, node, lengthOf(node), 'selectAllChildren');
            },
            containsNode: function (node, partial) {
                mustBeNode(node, 'containsNode', 'Selection');
                var r = this.__range, p = node.parentNode;
                if (!r || !p || !inDocument(this, node)) return false;
                var at = childIndex(node);
                if (order(r.startContainer, r.startOffset, p, at) <= 0 && order(p, at + 1, r.endContainer, r.endOffset) <= 0) return true;
                if (order(p, at, r.endContainer, r.endOffset) > 0 || order(p, at + 1, r.startContainer, r.startOffset) < 0) return false;
                return !!partial || node.nodeType === 3;
            },
            deleteFromDocument: function () { if (this.__range) this.__range.deleteContents(); },
            toString: function () { return this.__range ? this.__range.toString() : ''; }
        };
        copyOwn(Selection.prototype, selectionMethods);

        // Tree walkers and node iterators: `accept(filter, node)` asks a script's filter
        // (the face gives it, so that the filter sees the script's own objects).
        function TreeWalker() { illegal(); }
        function NodeIterator() { illegal(); }
        function traverser(Type, root, show, filter, accept) {
            var t = inherit(Type.prototype);
            t.root = root;
            t.whatToShow = show === undefined ? 0xFFFFFFFF : Number(show) >>> 0;
            t.filter = filter === undefined ? null : filter;
            t.__accept = accept;
            t.__active = false;
            t.__what = '';
            return t;
        }
        var ACCEPT = 1, REJECT = 2, SKIP = 3;
        // (`t.__what` names the step a failure is reported in.)
        function test(t, node) {
            if (t.__active) throw domError('InvalidStateError', t.__what + "Filter function can't be recursive");
            if (!(t.whatToShow & (1 << (node.nodeType - 1)))) return SKIP;
            if (t.filter === null) return ACCEPT;
            t.__active = true;
            try {
                return (Number(t.__accept(t.filter, node, t.__what)) >>> 0) & 0xFFFF;
            } finally {
                t.__active = false;
            }
        }
        function step(Type, name, fn) {
            var what = "Failed to execute '" + name + "' on '" + (Type === TreeWalker ? 'TreeWalker' : 'NodeIterator') + "': ";
            Type.prototype[name] = function () {
                this.__what = what;
                return fn.apply(this, arguments);
            };
        }
        function walkerChild(w, first) {
            var node = first ? w.currentNode.firstChild : w.currentNode.lastChild;
            while (node) {
                var result = test(w, node);
                if (result === ACCEPT) return (w.currentNode = node);
                if (result === SKIP) {
                    var child = first ? node.firstChild : node.lastChild;
                    if (child) { node = child; continue; }
                }
                while (node) {
                    var sibling = first ? node.nextSibling : node.previousSibling;
                    if (sibling) { node = sibling; break; }
                    var parent = node.parentNode;
                    if (!parent || parent === w.root || parent === w.currentNode) return null;
                    node = parent;
                }
            }
            return null;
        }
        function walkerSibling(w, next) {
            var node = w.currentNode;
            if (node === w.root) return null;
            for (;;) {
                var sibling = next ? node.nextSibling : node.previousSibling;
                while (sibling) {
                    node = sibling;
                    var result = test(w, node);
                    if (result === ACCEPT) return (w.currentNode = node);
                    sibling = next ? node.firstChild : node.lastChild;
                    if (result === REJECT || !sibling) sibling = next ? node.nextSibling : node.previousSibling;
                }
                node = node.parentNode;
                if (!node || node === w.root) return null;
                if (test(w, node) === ACCEPT) return null;
            }
        }
        var walking = {
            parentNode: function () {
                for (var node = this.currentNode; node && node !== this.root;) {
                    node = node.parentNode;
                    if (node && test(this, node) === ACCEPT) return (this.currentNode = node);
                }
                return null;
            },
            firstChild: function () { return walkerChild(this, true); },
            lastChild: function () { return walkerChild(this, false); },
            nextSibling: function () { return walkerSibling(this, true); },
            previousSibling: function () { return walkerSibling(this, false); },
            previousNode: function () {
                var node = this.currentNode;
                while (node !== this.root) {
                    var sibling = node.previousSibling;
                    while (sibling) {
                        node = sibling;
                        var result = test(this, node);
                        while (result !== REJECT && node.lastChild) {
                            node = node.lastChild;
                            result = test(this, node);
                        }
                        if (result === ACCEPT) return (this.currentNode = node);
                        sibling = node.previousSibling;
                    }
                    if (node === this.root || !node.parentNode) return null;
                    node = node.parentNode;
                    if (test(this, node) === ACCEPT) return (this.currentNode = node);
                }
                return null;
            },
            nextNode: function () {
                var node = this.currentNode, result = ACCEPT;
                for (;;) {
                    while (result !== REJECT && node.firstChild) {
                        node = node.firstChild;
                        result = test(this, node);
                        if (result === ACCEPT) return (this.currentNode = node);
                    }
                    var sibling = null;
                    for (var up = node; up; up = up.parentNode) {
                        if (up === this.root) return null;
                        sibling = up.nextSibling;
                        if (sibling) break;
                    }
                    if (!sibling) return null;
                    node = sibling;
                    result = test(this, node);
                    if (result === ACCEPT) return (this.currentNode = node);
                }
            }
        };
        for (var name in walking) if (own(walking, name)) step(TreeWalker, name, walking[name]);
        Object.defineProperty(TreeWalker.prototype, 'currentNode', {
            get: function () { return this.__current; },
            set: function (node) {
                if (!(node instanceof Node)) throw new TypeError("Failed to set the 'currentNode' property on 'TreeWalker': Failed to convert value to 'Node'.");
                this.__current = node;
            }
        });
        function iterate(it, next) {
            var node = it.referenceNode, before = it.pointerBeforeReferenceNode;
            for (;;) {
                if (next) {
                    if (!before) {
                        node = following(node, it.root);
                        if (!node) return null;
                    } else before = false;
                } else if (before) {
                    if (node === it.root) return null;
                    if (node.previousSibling) {
                        node = node.previousSibling;
                        while (node.lastChild) node = node.lastChild;
                    } else node = node.parentNode;
                    if (!node) return null;
                } else before = true;
                if (test(it, node) === ACCEPT) break;
            }
            it.referenceNode = node;
            it.pointerBeforeReferenceNode = before;
            return node;
        }
        step(NodeIterator, 'nextNode', function () { return iterate(this, true); });
        step(NodeIterator, 'previousNode', function () { return iterate(this, false); });
        NodeIterator.prototype.detach = noop;
        function walker(root, show, filter, accept) {
            var w = traverser(TreeWalker, root, show, filter, accept);
            w.__current = root;
            return w;
        }
        function iterator(root, show, filter, accept) {
            var it = traverser(NodeIterator, root, show, filter, accept);
            it.referenceNode = root;
            it.pointerBeforeReferenceNode = true;
            // Before a node leaves the tree, the iterator steps off it.
            it.__iterator = function (gone) {
                if (gone === it.root || !isInclusiveAncestor(gone, it.referenceNode)) return;
                if (it.pointerBeforeReferenceNode) {
                    var next = gone;
                    while (next && next !== it.root && !next.nextSibling) next = next.parentNode;
                    next = next && next !== it.root ? next.nextSibling : null;
                    if (next) { it.referenceNode = next; return; }
                    it.pointerBeforeReferenceNode = false;
                }
                var p = gone.previousSibling;
                if (p) {
                    while (p.lastChild) p = p.lastChild;
                    it.referenceNode = p;
                } else it.referenceNode = gone.parentNode;
            };
            follow(it);
            return it;
        }
        madeTypes({AbstractRange: AbstractRange, Range: Range, StaticRange: StaticRange, Selection: Selection,
            TreeWalker: TreeWalker, NodeIterator: NodeIterator});
        return {types: {AbstractRange: AbstractRange, Range: Range, StaticRange: StaticRange, Selection: Selection,
            TreeWalker: TreeWalker, NodeIterator: NodeIterator},
            range: newRange, staticRange: staticRange, selection: selectionOf, walker: walker, iterator: iterator};
    }

    var elementMethods = {
        setAttribute: function (name, value) {
            layoutVersion++;
            var key = attributeKey(this, name);
            value = toText(value);
            this.__attributes[key] = value;
            if (key === 'style' && this.style && this.style.__list) restyleFrom(this.style, value);
            if (key === 'id' || key === 'src' || key === 'href' || key === 'name' || key === 'type' || key === 'title' ||
                key === 'content' || key === 'charset' || key === 'rel' || key === 'lang' || key === 'dir' || key === 'alt' ||
                key === 'action' || key === 'method' || key === 'target' || key === 'placeholder') this[key] = value;
            else if (key === 'http-equiv') this.httpEquiv = value;
            else if ((key === 'width' || key === 'height') && this.tagName === 'CANVAS') this[key] = parseInt(value, 10) >= 0 ? parseInt(value, 10) : (key === 'width' ? 300 : 150);
            else if (key === 'class') this.className = value;
            else if (key === 'value') this.value = this.defaultValue = value;
            else if (key === 'checked') this.checked = this.defaultChecked = true;
            else if (key === 'selected' || key === 'disabled') this[key] = true;
            else if (/^on[a-z]+$/.test(key)) setHandlerAttribute(this, key.substring(2), value);
        },
        getAttribute: function (name) {
            var key = attributeKey(this, name);
            if (key === 'class' && !own(this.__attributes, key) && this.className) return this.className;
            if (key === 'id' && !own(this.__attributes, key) && this.id) return this.id;
            return own(this.__attributes, key) ? this.__attributes[key] : null;
        },
        hasAttribute: function (name) { return this.getAttribute(name) !== null; },
        removeAttribute: function (name) {
            layoutVersion++;
            var key = attributeKey(this, name);
            delete this.__attributes[key];
            if (key === 'style' && this.style && this.style.__list) restyleFrom(this.style, '');
        },
        getAttributeNode: function (name) {
            var v = this.getAttribute(name);
            return v === null ? null : {name: toText(name).toLowerCase(), value: v, specified: true};
        },
        matches: function (selector) { return selectorSearch(this, selector, 2, 'matches'); },
        closest: function (selector) { return selectorSearch(this, selector, 3, 'closest'); },
        insertAdjacentHTML: function (where, html) {
            where = toText(where).toLowerCase();
            var outside = where === 'beforebegin' || where === 'afterend';
            var context = outside ? this.parentNode : this;
            if (!context || context.nodeType !== 1) context = createElement('body', this.ownerDocument);
            var holder = createElement('div', this.ownerDocument), f = fragment(this.ownerDocument);
            readHtml(holder, html, this.ownerDocument, context);
            relink(holder);
            while (holder.firstChild) insertChild(f, holder.firstChild, null);
            if (where === 'beforebegin' && this.parentNode) insertChild(this.parentNode, f, this);
            else if (where === 'afterend' && this.parentNode) insertChild(this.parentNode, f, this.nextSibling);
            else if (where === 'afterbegin') insertChild(this, f, this.firstChild);
            else if (where === 'beforeend') insertChild(this, f, null);
        },
        getBoundingClientRect: function () { return modern ? rectOf(this) : inherit(emptyRect); },
        // An element a window shows has one box; one outside it or under display:none has none.
        getClientRects: function () {
            return modern ? listOf(hiddenBox(this) ? [] : [rectOf(this)], DOMRectList) : listOf([]);
        },
        click: function () {
            // A disabled control is not clicked at all.
            if (LISTED[this.tagName] === true && isDisabled(this)) return;
            // As Chrome sends it: a pointer's click from no pointer (id -1), not trusted.
            dispatch(this, new PointerEvent('click', {bubbles: true, cancelable: true, composed: true, view: global, pointerId: -1}));
        },
        focus: noop,
        blur: noop
    };
    var m;
    copyOwn(Element.prototype, elementMethods);
    protoAccessor(Element.prototype, 'innerHTML', function () { return writeHtml(this); },
        function (v) { replaceChildren(this, v, false); });
    protoAccessor(Element.prototype, 'outerHTML', function () { return outerHtml(this); }, function (v) {
        if (!this.parentNode) return;
        var holder = createElement('div', this.ownerDocument), f = fragment(this.ownerDocument);
        readHtml(holder, v, this.ownerDocument, this.parentNode.nodeType === 1 ? this.parentNode : createElement('body', this.ownerDocument));
        relink(holder);
        while (holder.firstChild) insertChild(f, holder.firstChild, null);
        var parent = this.parentNode;
        insertChild(parent, f, this);
        detach(this);
    });
    protoAccessor(Element.prototype, 'textContent', function () { return textOf(this); },
        function (v) { replaceChildren(this, v, true); });
    protoAccessor(Element.prototype, 'innerText', function () { return textOf(this); },
        function (v) { replaceChildren(this, v, true); });

    // ---- canvas: drawn for real where the workbench can draw ----------------------------
    // The pixels and the drawing state live in the host's surface; the context keeps what
    // its properties read back.
    var drawsForReal = hasHost && typeof host.canvasNew === 'function';
    function CanvasRenderingContext2D() { illegal(); }
    function CanvasGradient() { illegal(); }
    function TextMetrics() { illegal(); }
    function ImageData(data, width, height) {
        if (typeof data === 'number') {
            height = width;
            width = data;
            data = null;
        }
        width = Number(width) >>> 0;
        height = Number(height) >>> 0;
        if (!width || !height) throw domError('IndexSizeError', "Failed to construct 'ImageData': The source width is zero or not a number.");
        this.width = width;
        this.height = height;
        this.colorSpace = 'srgb';
        if (!data) {
            var size = width * height * 4;
            data = modern ? new Uint8ClampedArray(size) : [];
            if (!modern) for (var k = 0; k < size; k++) data[k] = 0;
        }
        this.data = data;
    }
    var contextDefaults = {fillStyle: '#000000', strokeStyle: '#000000', lineWidth: 1, lineCap: 'butt', lineJoin: 'miter',
        miterLimit: 10, lineDashOffset: 0, globalAlpha: 1, globalCompositeOperation: 'source-over', font: '10px sans-serif',
        textAlign: 'start', textBaseline: 'alphabetic', imageSmoothingEnabled: true, direction: 'ltr', filter: 'none',
        shadowBlur: 0, shadowColor: 'rgba(0, 0, 0, 0)', shadowOffsetX: 0, shadowOffsetY: 0, imageSmoothingQuality: 'low'};
    var numericSettings = wordSet('lineWidth miterLimit lineDashOffset globalAlpha');
    function surfaceOf(canvas) {
        if (!canvas.__surface) canvas.__surface = host.canvasNew(canvas.width, canvas.height);
        return canvas.__surface;
    }
    function call(ctx, method, args) { return host.canvasCall(surfaceOf(ctx.canvas), method, args); }
    function numbers(args) {
        var out = [];
        for (var n = 0; n < args.length; n++) out.push(Number(args[n]));
        return out;
    }
    // ---- a real browser's drawings: the profile's canvas images ------------------------
    // A canvas keeps the drawing calls made since its size was last set, written as the
    // collector writes them ("240x60;fillStyle=\"#f60\";fillRect(100,1,62,20)…"). When
    // they are a drawing the user's Chrome recorded, the canvas shows that browser's
    // image: its data address byte for byte, its pixels to getImageData. Anything the log
    // cannot write down (another canvas, an image's data, a gradient) ends the match.
    var recordedDrawings = [];
    (function () {
        var pc = profile.canvas, list = pc && pc.drawings;
        // A profile from the collector's first version holds only the image of its own
        // drawing, whose calls were these.
        if (pc && typeof pc.dataURL === 'string' && (!list || typeof list.length !== 'number')) {
            var smile = String.fromCharCode(55357, 56835);
            list = [{dataURL: pc.dataURL, calls: '240x60;textBaseline="top";font="14px Arial";fillStyle="#f60";' +
                'fillRect(125,1,62,20);fillStyle="#069";fillText("Cwm fjordbank glyphs vext quiz, ' + smile + '",2,15);' +
                'fillStyle="rgba(102, 204, 0, 0.7)";fillText("Cwm fjordbank glyphs vext quiz",4,17)'}];
        }
        if (!list || typeof list.length !== 'number') return;
        for (var k = 0; k < list.length; k++) {
            var d = list[k];
            if (d && typeof d.calls === 'string' && typeof d.dataURL === 'string') recordedDrawings.push(d);
        }
    })();
    var drawingLogLimit = 65536;
    function drawingValue(v) {
        if (typeof v === 'number' || typeof v === 'boolean' || v === undefined || v === null) return String(v);
        if (typeof v === 'string') return '"' + v.replace(/\\/g, '\\\\').replace(/"/g, '\\"') + '"';
        return null;
    }
    function noteDrawing(canvas, text) {
        if (typeof canvas.__drawn !== 'string') return;
        if (text === null || canvas.__drawn.length + text.length > drawingLogLimit) canvas.__drawn = null;
        else canvas.__drawn += ';' + text;
    }
    function noteCall(canvas, name, args) {
        var parts = [];
        for (var k = 0; k < args.length; k++) {
            var v = drawingValue(args[k]);
            if (v === null) return noteDrawing(canvas, null);
            parts.push(v);
        }
        noteDrawing(canvas, name + '(' + parts.join(',') + ')');
    }
    function startDrawingLog(canvas, width, height) {
        if (recordedDrawings.length) canvas.__drawn = width + 'x' + height;
        canvas.__shown = null;
    }
    // The recorded drawing the canvas holds now, its pixels put in place; null when none.
    function recordedDrawing(canvas) {
        var drawn = canvas.__drawn;
        if (typeof drawn !== 'string') return null;
        for (var k = 0; k < recordedDrawings.length; k++) {
            var d = recordedDrawings[k];
            if (d.calls !== drawn) continue;
            if (canvas.__shown === drawn) return d;
            // An image that does not decode to the canvas's size is not used at all.
            if (host.canvasCall(surfaceOf(canvas), 'showDataURL', [d.dataURL]) !== '1') return null;
            canvas.__shown = drawn;
            return d;
        }
        return null;
    }
    function freshState() {
        var st = {};
        copyOwn(st, contextDefaults);
        return st;
    }
    if (drawsForReal) {
        var cp = CanvasRenderingContext2D.prototype;
        for (var setting in contextDefaults) {
            if (!own(contextDefaults, setting)) continue;
            (function (name) {
                protoAccessor(cp, name, function () { return this.__state[name]; }, function (v) {
                    var st = this.__state, written = drawingValue(v);
                    if (recordedDrawings.length) noteDrawing(this.canvas, written === null ? null : name + '=' + written);
                    if (name === 'fillStyle' || name === 'strokeStyle') {
                        if (v instanceof CanvasGradient) {
                            if (call(this, 'set', [name, 'gradient:' + v.__id]) !== '') st[name] = v;
                            return;
                        }
                        var color = call(this, 'set', [name, toText(v)]);
                        if (color !== '') st[name] = color;
                    } else if (numericSettings[name] === true) {
                        st[name] = Number(call(this, 'set', [name, Number(v)]));
                    } else if (name === 'imageSmoothingEnabled') {
                        st[name] = call(this, 'set', [name, toText(!!v)]) === 'true';
                    } else if (own(contextDefaults, name) && name !== 'direction' && name !== 'filter' && name.indexOf('shadow') !== 0 && name !== 'imageSmoothingQuality') {
                        st[name] = call(this, 'set', [name, toText(v)]);
                    } else {
                        st[name] = typeof contextDefaults[name] === 'number' ? Number(v) : toText(v);
                    }
                });
            })(setting);
        }
        var pathMethods = ['fillRect', 'strokeRect', 'clearRect', 'beginPath', 'closePath', 'moveTo', 'lineTo', 'rect',
            'quadraticCurveTo', 'bezierCurveTo', 'translate', 'scale', 'rotate', 'transform', 'setTransform', 'resetTransform'];
        for (var pm = 0; pm < pathMethods.length; pm++) {
            (function (name) { cp[name] = function () { call(this, name, numbers(arguments)); }; })(pathMethods[pm]);
        }
        cp.arc = function (x, y, r, start, end, ccw) {
            if (call(this, 'arc', [Number(x), Number(y), Number(r), Number(start), Number(end), ccw ? 1 : 0]) === 'IndexSizeError')
                throw domError('IndexSizeError', "Failed to execute 'arc' on 'CanvasRenderingContext2D': The radius provided (" + r + ') is negative.');
        };
        cp.ellipse = function (x, y, rx, ry, rotation, start, end, ccw) {
            if (call(this, 'ellipse', [Number(x), Number(y), Number(rx), Number(ry), Number(rotation), Number(start), Number(end), ccw ? 1 : 0]) === 'IndexSizeError')
                throw domError('IndexSizeError', "Failed to execute 'ellipse' on 'CanvasRenderingContext2D': The major-axis radius provided (" + rx + ') is negative.');
        };
        cp.arcTo = function (x1, y1, x2, y2, r) {
            if (call(this, 'arcTo', numbers(arguments)) === 'IndexSizeError')
                throw domError('IndexSizeError', "Failed to execute 'arcTo' on 'CanvasRenderingContext2D': The radius provided (" + r + ') is negative.');
        };
        cp.fill = function (rule) { call(this, 'fill', [rule === undefined ? 'nonzero' : toText(rule)]); };
        cp.stroke = function () { call(this, 'stroke', []); };
        cp.clip = function (rule) { call(this, 'clip', [rule === undefined ? 'nonzero' : toText(rule)]); };
        cp.isPointInPath = function (x, y, rule) { return call(this, 'isPointInPath', [Number(x), Number(y), rule === undefined ? 'nonzero' : toText(rule)]) === '1'; };
        cp.isPointInStroke = function () { return false; };
        cp.save = function () {
            var copy = {};
            for (var k in this.__state) if (own(this.__state, k)) copy[k] = this.__state[k];
            copy.__dash = this.__dash;
            this.__saved.push(copy);
            call(this, 'save', []);
        };
        cp.restore = function () {
            if (!this.__saved.length) return;
            this.__state = this.__saved.pop();
            this.__dash = this.__state.__dash;
            call(this, 'restore', []);
        };
        cp.reset = function () {
            this.__state = freshState();
            this.__saved = [];
            this.__dash = [];
            call(this, 'reset', []);
        };
        cp.setLineDash = function (list) {
            var values = [];
            for (var k = 0; k < list.length; k++) {
                var v = Number(list[k]);
                if (!(v >= 0) || v === Infinity) return;
                values.push(v);
            }
            if (values.length % 2) values = values.concat(values);
            this.__dash = values;
            call(this, 'setLineDash', values);
        };
        cp.getLineDash = function () { return this.__dash.slice(0); };
        cp.getTransform = function () {
            var m = call(this, 'getTransform', []).split(',');
            return {a: Number(m[0]), b: Number(m[1]), c: Number(m[2]), d: Number(m[3]), e: Number(m[4]), f: Number(m[5]),
                m11: Number(m[0]), m12: Number(m[1]), m21: Number(m[2]), m22: Number(m[3]), m41: Number(m[4]), m42: Number(m[5]),
                is2D: true, isIdentity: m.join() === '1,0,0,1,0,0'};
        };
        cp.fillText = function (text, x, y, maxWidth) {
            var args = [toText(text), Number(x), Number(y)];
            if (maxWidth !== undefined) args.push(Number(maxWidth));
            call(this, 'fillText', args);
        };
        cp.strokeText = function (text, x, y, maxWidth) {
            var args = [toText(text), Number(x), Number(y)];
            if (maxWidth !== undefined) args.push(Number(maxWidth));
            call(this, 'strokeText', args);
        };
        cp.measureText = function (text) {
            var m = call(this, 'measureText', [toText(text)]).split(','), tm = inherit(TextMetrics.prototype);
            var names = ['width', 'actualBoundingBoxLeft', 'actualBoundingBoxRight', 'actualBoundingBoxAscent',
                'actualBoundingBoxDescent', 'fontBoundingBoxAscent', 'fontBoundingBoxDescent', 'alphabeticBaseline',
                'hangingBaseline', 'ideographicBaseline'];
            for (var k = 0; k < names.length; k++) tm[names[k]] = Number(m[k]);
            tm.emHeightAscent = tm.fontBoundingBoxAscent;
            tm.emHeightDescent = tm.fontBoundingBoxDescent;
            return tm;
        };
        function gradient(ctx, kind, args) {
            var g = inherit(CanvasGradient.prototype);
            g.__id = ++gradientCount;
            g.__surface = surfaceOf(ctx.canvas);
            for (var k = 0; k < args.length; k++) {
                if (!isFinite(args[k])) throw new TypeError("Failed to execute 'create" + (kind === 'linear' ? 'Linear' : 'Radial') + "Gradient' on 'CanvasRenderingContext2D': The provided double value is non-finite.");
            }
            call(ctx, 'gradient', [g.__id, kind].concat(args));
            return g;
        }
        var gradientCount = 0;
        CanvasGradient.prototype.addColorStop = function (offset, color) {
            var r = host.canvasCall(this.__surface, 'colorStop', [this.__id, Number(offset), toText(color)]);
            if (r === 'IndexSizeError') throw domError('IndexSizeError', "Failed to execute 'addColorStop' on 'CanvasGradient': The provided value (" + offset + ') is outside the range (0.0, 1.0).');
            if (r === 'SyntaxError') throw domError('SyntaxError', "Failed to execute 'addColorStop' on 'CanvasGradient': The value provided ('" + color + "') could not be parsed as a color.");
        };
        cp.createLinearGradient = function (x0, y0, x1, y1) { return gradient(this, 'linear', numbers(arguments).slice(0, 4)); };
        cp.createRadialGradient = function (x0, y0, r0, x1, y1, r1) { return gradient(this, 'radial', numbers(arguments).slice(0, 6)); };
        cp.createPattern = function () { return null; };
        cp.drawImage = function (image) {
            var a = numbers(Array.prototype.slice.call(arguments, 1)), src = image && image.__surface;
            if (!image || typeof image !== 'object') throw new TypeError("Failed to execute 'drawImage' on 'CanvasRenderingContext2D': The provided value is not of type '(CSSImageValue or HTMLCanvasElement or HTMLImageElement or HTMLVideoElement or ImageBitmap or OffscreenCanvas or SVGImageElement or VideoFrame)'.");
            if (image.tagName === 'CANVAS') {
                showWebGl(image);
                src = surfaceOf(image);
            }
            if (!src) return;
            var w = image.width, h = image.height, r;
            if (a.length === 2) r = [0, 0, w, h, a[0], a[1], w, h];
            else if (a.length === 4) r = [0, 0, w, h, a[0], a[1], a[2], a[3]];
            else r = a.slice(0, 8);
            host.canvasDraw(surfaceOf(this.canvas), src, r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]);
        };
        cp.getImageData = function (x, y, w, h) {
            x = Math.floor(Number(x)); y = Math.floor(Number(y)); w = Math.floor(Number(w)); h = Math.floor(Number(h));
            if (!w || !h) throw domError('IndexSizeError', "Failed to execute 'getImageData' on 'CanvasRenderingContext2D': The source " + (w ? 'height' : 'width') + ' is 0.');
            if (w < 0) { x += w; w = -w; }
            if (h < 0) { y += h; h = -h; }
            return new ImageData(host.canvasRead(surfaceOf(this.canvas), x, y, w, h, modern), w, h);
        };
        cp.createImageData = function (w, h) {
            if (w && typeof w === 'object') return new ImageData(w.width, w.height);
            return new ImageData(Math.abs(Math.floor(Number(w))), Math.abs(Math.floor(Number(h))));
        };
        cp.putImageData = function (image, dx, dy) {
            host.canvasWrite(surfaceOf(this.canvas), image.data, image.width, image.height, Math.floor(Number(dx)), Math.floor(Number(dy)));
        };
        cp.getContextAttributes = function () {
            return {alpha: true, colorSpace: 'srgb', desynchronized: false, willReadFrequently: false};
        };
        if (recordedDrawings.length) {
            var drawingMethods = pathMethods.concat(['arc', 'ellipse', 'arcTo', 'fill', 'stroke', 'clip', 'save', 'restore',
                'reset', 'setLineDash', 'fillText', 'strokeText', 'drawImage', 'putImageData']);
            for (pm = 0; pm < drawingMethods.length; pm++) {
                (function (name, draw) {
                    cp[name] = function () {
                        if (name === 'drawImage') {
                            var image = arguments[0];
                            if (image && typeof image === 'object' && image.tagName === 'CANVAS') recordedDrawing(image);
                            noteDrawing(this.canvas, null);
                        } else if (name === 'putImageData') {
                            noteDrawing(this.canvas, null);
                        } else {
                            noteCall(this.canvas, name, arguments);
                        }
                        return draw.apply(this, arguments);
                    };
                })(drawingMethods[pm], cp[drawingMethods[pm]]);
            }
            var readPixels = cp.getImageData;
            cp.getImageData = function () {
                recordedDrawing(this.canvas);
                return readPixels.apply(this, arguments);
            };
        }
    }
    // ---- WebGL: the answers of Chrome on the profile's graphics card -------------------
    // Nothing is rendered; what detectors read (parameters, extensions, precisions,
    // attributes) answers as the user's Chrome or, without a profile, a common desktop.
    var GL = {DEPTH_BUFFER_BIT: 256, STENCIL_BUFFER_BIT: 1024, COLOR_BUFFER_BIT: 16384, POINTS: 0, LINES: 1, LINE_STRIP: 3,
        TRIANGLES: 4, TRIANGLE_STRIP: 5, TRIANGLE_FAN: 6, ARRAY_BUFFER: 34962, ELEMENT_ARRAY_BUFFER: 34963,
        STATIC_DRAW: 35044, DYNAMIC_DRAW: 35048, FLOAT: 5126, UNSIGNED_BYTE: 5121, UNSIGNED_SHORT: 5123, RGBA: 6408,
        FRAGMENT_SHADER: 35632, VERTEX_SHADER: 35633, COMPILE_STATUS: 35713, LINK_STATUS: 35714,
        LOW_FLOAT: 36336, MEDIUM_FLOAT: 36337, HIGH_FLOAT: 36338, LOW_INT: 36339, MEDIUM_INT: 36340, HIGH_INT: 36341,
        VENDOR: 7936, RENDERER: 7937, VERSION: 7938, SHADING_LANGUAGE_VERSION: 35724, MAX_TEXTURE_SIZE: 3379,
        MAX_VIEWPORT_DIMS: 3386, MAX_RENDERBUFFER_SIZE: 34024, MAX_VERTEX_ATTRIBS: 34921, MAX_VERTEX_UNIFORM_VECTORS: 36347,
        MAX_FRAGMENT_UNIFORM_VECTORS: 36349, MAX_VARYING_VECTORS: 36348, MAX_TEXTURE_IMAGE_UNITS: 34930,
        MAX_VERTEX_TEXTURE_IMAGE_UNITS: 35660, MAX_COMBINED_TEXTURE_IMAGE_UNITS: 35661, MAX_CUBE_MAP_TEXTURE_SIZE: 34076,
        ALIASED_LINE_WIDTH_RANGE: 33902, ALIASED_POINT_SIZE_RANGE: 33901, RED_BITS: 3410, GREEN_BITS: 3411,
        BLUE_BITS: 3412, ALPHA_BITS: 3413, DEPTH_BITS: 3414, STENCIL_BITS: 3415, TEXTURE_2D: 3553, TEXTURE0: 33984,
        FRAMEBUFFER: 36160, RENDERBUFFER: 36161, NO_ERROR: 0, DEPTH_TEST: 2929, BLEND: 3042, CULL_FACE: 2884};
    // The constants' names by value (with the answers of the card a profile may hold
    // beside the constants scripts use), made when a script first reads a parameter.
    var glNames = null, gk;
    function glName(value) {
        if (glNames === null) {
            glNames = {};
            for (gk in GL) if (own(GL, gk)) glNames[GL[gk]] = gk;
            glNames[3408] = 'SUBPIXEL_BITS';
            glNames[35738] = 'IMPLEMENTATION_COLOR_READ_TYPE';
            glNames[35739] = 'IMPLEMENTATION_COLOR_READ_FORMAT';
        }
        return own(glNames, value) ? glNames[value] : undefined;
    }
    var glDefaults = {VENDOR: 'WebKit', RENDERER: 'WebKit WebGL', VERSION: 'WebGL 1.0 (OpenGL ES 2.0 Chromium)',
        SHADING_LANGUAGE_VERSION: 'WebGL GLSL ES 1.0 (OpenGL ES GLSL ES 1.0 Chromium)', MAX_TEXTURE_SIZE: 16384,
        MAX_VIEWPORT_DIMS: [32767, 32767], MAX_RENDERBUFFER_SIZE: 16384, MAX_VERTEX_ATTRIBS: 16,
        MAX_VERTEX_UNIFORM_VECTORS: 4096, MAX_FRAGMENT_UNIFORM_VECTORS: 1024, MAX_VARYING_VECTORS: 30,
        MAX_TEXTURE_IMAGE_UNITS: 16, MAX_VERTEX_TEXTURE_IMAGE_UNITS: 16, MAX_COMBINED_TEXTURE_IMAGE_UNITS: 32,
        MAX_CUBE_MAP_TEXTURE_SIZE: 16384, ALIASED_LINE_WIDTH_RANGE: [1, 1], ALIASED_POINT_SIZE_RANGE: [1, 1024],
        RED_BITS: 8, GREEN_BITS: 8, BLUE_BITS: 8, ALPHA_BITS: 8, DEPTH_BITS: 24, STENCIL_BITS: 0,
        IMPLEMENTATION_COLOR_READ_FORMAT: 6408, IMPLEMENTATION_COLOR_READ_TYPE: 5121,
        UNMASKED_VENDOR_WEBGL: 'Google Inc. (NVIDIA)',
        UNMASKED_RENDERER_WEBGL: 'ANGLE (NVIDIA, NVIDIA GeForce GTX 1660 SUPER (0x000021C4) Direct3D11 vs_5_0 ps_5_0, D3D11)'};
    var glExtensions = ['ANGLE_instanced_arrays', 'EXT_blend_minmax', 'EXT_clip_control', 'EXT_color_buffer_half_float',
        'EXT_depth_clamp', 'EXT_disjoint_timer_query', 'EXT_float_blend', 'EXT_frag_depth', 'EXT_polygon_offset_clamp',
        'EXT_shader_texture_lod', 'EXT_texture_compression_bptc', 'EXT_texture_compression_rgtc',
        'EXT_texture_filter_anisotropic', 'EXT_texture_mirror_clamp_to_edge', 'EXT_sRGB', 'KHR_parallel_shader_compile',
        'OES_element_index_uint', 'OES_fbo_render_mipmap', 'OES_standard_derivatives', 'OES_texture_float',
        'OES_texture_float_linear', 'OES_texture_half_float', 'OES_texture_half_float_linear', 'OES_vertex_array_object',
        'WEBGL_blend_func_extended', 'WEBGL_color_buffer_float', 'WEBGL_compressed_texture_s3tc',
        'WEBGL_compressed_texture_s3tc_srgb', 'WEBGL_debug_renderer_info', 'WEBGL_debug_shaders', 'WEBGL_depth_texture',
        'WEBGL_draw_buffers', 'WEBGL_lose_context', 'WEBGL_multi_draw', 'WEBGL_polygon_mode'];
    // Each extension's object as Chrome makes it: its interface's name and the constants on
    // its prototype (as a headless Chromium lists them), read when a page first asks.
    var extensionParameters = {34047: ['ext_texture_filter_anisotropic', 'MAX_TEXTURE_MAX_ANISOTROPY_EXT', 16],
        34852: ['webgl_draw_buffers', 'MAX_DRAW_BUFFERS_WEBGL', 8], 36063: ['webgl_draw_buffers', 'MAX_COLOR_ATTACHMENTS_WEBGL', 8],
        34853: ['webgl_draw_buffers', 'DRAW_BUFFER0_WEBGL', 1029], 34854: ['webgl_draw_buffers', 'DRAW_BUFFER1_WEBGL', 1029],
        35723: ['oes_standard_derivatives', 'FRAGMENT_SHADER_DERIVATIVE_HINT_OES', 4352]};
    var glExtensionFacts = null;
    function glExtensionFact(name) {
        if (glExtensionFacts === null) {
            glExtensionFacts = {};
            var lines = [
        'ANGLE_instanced_arrays ANGLEInstancedArrays VERTEX_ATTRIB_ARRAY_DIVISOR_ANGLE=35070',
        'EXT_blend_minmax EXTBlendMinMax MIN_EXT=32775 MAX_EXT=32776',
        'EXT_clip_control EXTClipControl LOWER_LEFT_EXT=36001 UPPER_LEFT_EXT=36002 NEGATIVE_ONE_TO_ONE_EXT=37726 ZERO_TO_ONE_EXT=37727 CLIP_ORIGIN_EXT=37724 CLIP_DEPTH_MODE_EXT=37725',
        'EXT_color_buffer_float EXTColorBufferFloat',
        'EXT_color_buffer_half_float EXTColorBufferHalfFloat RGBA16F_EXT=34842 RGB16F_EXT=34843 FRAMEBUFFER_ATTACHMENT_COMPONENT_TYPE_EXT=33297 UNSIGNED_NORMALIZED_EXT=35863',
        'EXT_conservative_depth EXTConservativeDepth',
        'EXT_depth_clamp EXTDepthClamp DEPTH_CLAMP_EXT=34383',
        'EXT_float_blend EXTFloatBlend',
        'EXT_frag_depth EXTFragDepth',
        'EXT_polygon_offset_clamp EXTPolygonOffsetClamp POLYGON_OFFSET_CLAMP_EXT=36379',
        'EXT_sRGB EXTsRGB SRGB_EXT=35904 SRGB_ALPHA_EXT=35906 SRGB8_ALPHA8_EXT=35907 FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING_EXT=33296',
        'EXT_shader_texture_lod EXTShaderTextureLOD',
        'EXT_texture_compression_bptc EXTTextureCompressionBPTC COMPRESSED_RGBA_BPTC_UNORM_EXT=36492 COMPRESSED_SRGB_ALPHA_BPTC_UNORM_EXT=36493 COMPRESSED_RGB_BPTC_SIGNED_FLOAT_EXT=36494 COMPRESSED_RGB_BPTC_UNSIGNED_FLOAT_EXT=36495',
        'EXT_texture_compression_rgtc EXTTextureCompressionRGTC COMPRESSED_RED_RGTC1_EXT=36283 COMPRESSED_SIGNED_RED_RGTC1_EXT=36284 COMPRESSED_RED_GREEN_RGTC2_EXT=36285 COMPRESSED_SIGNED_RED_GREEN_RGTC2_EXT=36286',
        'EXT_texture_filter_anisotropic EXTTextureFilterAnisotropic TEXTURE_MAX_ANISOTROPY_EXT=34046 MAX_TEXTURE_MAX_ANISOTROPY_EXT=34047',
        'EXT_texture_mirror_clamp_to_edge EXTTextureMirrorClampToEdge MIRROR_CLAMP_TO_EDGE_EXT=34627',
        'NV_shader_noperspective_interpolation NVShaderNoperspectiveInterpolation',
        'OES_draw_buffers_indexed OESDrawBuffersIndexed',
        'OES_element_index_uint OESElementIndexUint',
        'OES_fbo_render_mipmap OESFboRenderMipmap',
        'OES_sample_variables OESSampleVariables',
        'OES_shader_multisample_interpolation OESShaderMultisampleInterpolation MIN_FRAGMENT_INTERPOLATION_OFFSET_OES=36443 MAX_FRAGMENT_INTERPOLATION_OFFSET_OES=36444 FRAGMENT_INTERPOLATION_OFFSET_BITS_OES=36445',
        'OES_standard_derivatives OESStandardDerivatives FRAGMENT_SHADER_DERIVATIVE_HINT_OES=35723',
        'OES_texture_float OESTextureFloat',
        'OES_texture_float_linear OESTextureFloatLinear',
        'OES_texture_half_float OESTextureHalfFloat HALF_FLOAT_OES=36193',
        'OES_texture_half_float_linear OESTextureHalfFloatLinear',
        'OES_vertex_array_object OESVertexArrayObject VERTEX_ARRAY_BINDING_OES=34229',
        'OVR_multiview2 OVRMultiview2 FRAMEBUFFER_ATTACHMENT_TEXTURE_NUM_VIEWS_OVR=38448 FRAMEBUFFER_ATTACHMENT_TEXTURE_BASE_VIEW_INDEX_OVR=38450 MAX_VIEWS_OVR=38449 FRAMEBUFFER_INCOMPLETE_VIEW_TARGETS_OVR=38451',
        'WEBGL_clip_cull_distance WebGLClipCullDistance MAX_CLIP_DISTANCES_WEBGL=3378 MAX_CULL_DISTANCES_WEBGL=33529 MAX_COMBINED_CLIP_AND_CULL_DISTANCES_WEBGL=33530 CLIP_DISTANCE0_WEBGL=12288 CLIP_DISTANCE1_WEBGL=12289 CLIP_DISTANCE2_WEBGL=12290 CLIP_DISTANCE3_WEBGL=12291 CLIP_DISTANCE4_WEBGL=12292 CLIP_DISTANCE5_WEBGL=12293 CLIP_DISTANCE6_WEBGL=12294 CLIP_DISTANCE7_WEBGL=12295',
        'WEBGL_color_buffer_float WebGLColorBufferFloat RGBA32F_EXT=34836 FRAMEBUFFER_ATTACHMENT_COMPONENT_TYPE_EXT=33297 UNSIGNED_NORMALIZED_EXT=35863',
        'WEBGL_compressed_texture_astc WebGLCompressedTextureASTC COMPRESSED_RGBA_ASTC_4x4_KHR=37808 COMPRESSED_RGBA_ASTC_5x4_KHR=37809 COMPRESSED_RGBA_ASTC_5x5_KHR=37810 COMPRESSED_RGBA_ASTC_6x5_KHR=37811 COMPRESSED_RGBA_ASTC_6x6_KHR=37812 COMPRESSED_RGBA_ASTC_8x5_KHR=37813 COMPRESSED_RGBA_ASTC_8x6_KHR=37814 COMPRESSED_RGBA_ASTC_8x8_KHR=37815 COMPRESSED_RGBA_ASTC_10x5_KHR=37816 COMPRESSED_RGBA_ASTC_10x6_KHR=37817 COMPRESSED_RGBA_ASTC_10x8_KHR=37818 COMPRESSED_RGBA_ASTC_10x10_KHR=37819 COMPRESSED_RGBA_ASTC_12x10_KHR=37820 COMPRESSED_RGBA_ASTC_12x12_KHR=37821 COMPRESSED_SRGB8_ALPHA8_ASTC_4x4_KHR=37840 COMPRESSED_SRGB8_ALPHA8_ASTC_5x4_KHR=37841 COMPRESSED_SRGB8_ALPHA8_ASTC_5x5_KHR=37842 COMPRESSED_SRGB8_ALPHA8_ASTC_6x5_KHR=37843 COMPRESSED_SRGB8_ALPHA8_ASTC_6x6_KHR=37844 COMPRESSED_SRGB8_ALPHA8_ASTC_8x5_KHR=37845 COMPRESSED_SRGB8_ALPHA8_ASTC_8x6_KHR=37846 COMPRESSED_SRGB8_ALPHA8_ASTC_8x8_KHR=37847 COMPRESSED_SRGB8_ALPHA8_ASTC_10x5_KHR=37848 COMPRESSED_SRGB8_ALPHA8_ASTC_10x6_KHR=37849 COMPRESSED_SRGB8_ALPHA8_ASTC_10x8_KHR=37850 COMPRESSED_SRGB8_ALPHA8_ASTC_10x10_KHR=37851 COMPRESSED_SRGB8_ALPHA8_ASTC_12x10_KHR=37852 COMPRESSED_SRGB8_ALPHA8_ASTC_12x12_KHR=37853',
        'WEBGL_compressed_texture_etc WebGLCompressedTextureETC COMPRESSED_R11_EAC=37488 COMPRESSED_SIGNED_R11_EAC=37489 COMPRESSED_RG11_EAC=37490 COMPRESSED_SIGNED_RG11_EAC=37491 COMPRESSED_RGB8_ETC2=37492 COMPRESSED_SRGB8_ETC2=37493 COMPRESSED_RGB8_PUNCHTHROUGH_ALPHA1_ETC2=37494 COMPRESSED_SRGB8_PUNCHTHROUGH_ALPHA1_ETC2=37495 COMPRESSED_RGBA8_ETC2_EAC=37496 COMPRESSED_SRGB8_ALPHA8_ETC2_EAC=37497',
        'WEBGL_compressed_texture_etc1 WebGLCompressedTextureETC1 COMPRESSED_RGB_ETC1_WEBGL=36196',
        'WEBGL_compressed_texture_s3tc WebGLCompressedTextureS3TC COMPRESSED_RGB_S3TC_DXT1_EXT=33776 COMPRESSED_RGBA_S3TC_DXT1_EXT=33777 COMPRESSED_RGBA_S3TC_DXT3_EXT=33778 COMPRESSED_RGBA_S3TC_DXT5_EXT=33779',
        'WEBGL_compressed_texture_s3tc_srgb WebGLCompressedTextureS3TCsRGB COMPRESSED_SRGB_S3TC_DXT1_EXT=35916 COMPRESSED_SRGB_ALPHA_S3TC_DXT1_EXT=35917 COMPRESSED_SRGB_ALPHA_S3TC_DXT3_EXT=35918 COMPRESSED_SRGB_ALPHA_S3TC_DXT5_EXT=35919',
        'WEBGL_debug_renderer_info WebGLDebugRendererInfo UNMASKED_VENDOR_WEBGL=37445 UNMASKED_RENDERER_WEBGL=37446',
        'WEBGL_debug_shaders WebGLDebugShaders',
        'WEBGL_depth_texture WebGLDepthTexture UNSIGNED_INT_24_8_WEBGL=34042',
        'WEBGL_draw_buffers WebGLDrawBuffers COLOR_ATTACHMENT0_WEBGL=36064 COLOR_ATTACHMENT1_WEBGL=36065 COLOR_ATTACHMENT2_WEBGL=36066 COLOR_ATTACHMENT3_WEBGL=36067 COLOR_ATTACHMENT4_WEBGL=36068 COLOR_ATTACHMENT5_WEBGL=36069 COLOR_ATTACHMENT6_WEBGL=36070 COLOR_ATTACHMENT7_WEBGL=36071 COLOR_ATTACHMENT8_WEBGL=36072 COLOR_ATTACHMENT9_WEBGL=36073 COLOR_ATTACHMENT10_WEBGL=36074 COLOR_ATTACHMENT11_WEBGL=36075 COLOR_ATTACHMENT12_WEBGL=36076 COLOR_ATTACHMENT13_WEBGL=36077 COLOR_ATTACHMENT14_WEBGL=36078 COLOR_ATTACHMENT15_WEBGL=36079 DRAW_BUFFER0_WEBGL=34853 DRAW_BUFFER1_WEBGL=34854 DRAW_BUFFER2_WEBGL=34855 DRAW_BUFFER3_WEBGL=34856 DRAW_BUFFER4_WEBGL=34857 DRAW_BUFFER5_WEBGL=34858 DRAW_BUFFER6_WEBGL=34859 DRAW_BUFFER7_WEBGL=34860 DRAW_BUFFER8_WEBGL=34861 DRAW_BUFFER9_WEBGL=34862 DRAW_BUFFER10_WEBGL=34863 DRAW_BUFFER11_WEBGL=34864 DRAW_BUFFER12_WEBGL=34865 DRAW_BUFFER13_WEBGL=34866 DRAW_BUFFER14_WEBGL=34867 DRAW_BUFFER15_WEBGL=34868 MAX_COLOR_ATTACHMENTS_WEBGL=36063 MAX_DRAW_BUFFERS_WEBGL=34852',
        'WEBGL_lose_context WebGLLoseContext',
        'WEBGL_multi_draw WebGLMultiDraw',
        'WEBGL_polygon_mode WebGLPolygonMode POLYGON_MODE_WEBGL=2880 POLYGON_OFFSET_LINE_WEBGL=10754 LINE_WEBGL=6913 FILL_WEBGL=6914',
        'WEBGL_stencil_texturing WebGLStencilTexturing DEPTH_STENCIL_TEXTURE_MODE_WEBGL=37098 STENCIL_INDEX_WEBGL=6401'];
            for (var n = 0; n < lines.length; n++) {
                var parts = lines[n].split(' '), constants = {};
                for (var c = 2; c < parts.length; c++) {
                    var eq = parts[c].indexOf('=');
                    constants[parts[c].substring(0, eq)] = Number(parts[c].substring(eq + 1));
                }
                glExtensionFacts[parts[0].toLowerCase()] = {name: parts[0], tag: parts[1], constants: constants};
            }
        }
        return own(glExtensionFacts, name.toLowerCase()) ? glExtensionFacts[name.toLowerCase()] : null;
    }
    function WebGLRenderingContext() { illegal(); }
    function WebGL2RenderingContext() { illegal(); }
    function WebGLShaderPrecisionFormat() { illegal(); }
    function WebGLBuffer() { illegal(); }
    function WebGLShader() { illegal(); }
    function WebGLProgram() { illegal(); }
    function WebGLTexture() { illegal(); }
    function WebGLFramebuffer() { illegal(); }
    function WebGLRenderbuffer() { illegal(); }
    function WebGLUniformLocation() { illegal(); }
    function WebGLActiveInfo() { illegal(); }
    var glMade = {createBuffer: WebGLBuffer, createShader: WebGLShader, createProgram: WebGLProgram,
        createTexture: WebGLTexture, createFramebuffer: WebGLFramebuffer, createRenderbuffer: WebGLRenderbuffer};
    function glThing(Type, id) {
        var o = inherit(Type.prototype);
        o.__id = id;
        return o;
    }

    // ---- WebGL drawn for real: the workbench's OpenGL ES in software -----------------
    // Calls go by name to the host's context with WebGL objects as their GL names; what
    // a detector reads of the GPU (getParameter and the rest above) stays the profile's.
    var glUnavailable = null;
    function glArguments(name, list) {
        var out = [], ints = /iv$/.test(name);
        for (var k = 0; k < list.length; k++) {
            var v = list[k];
            if (v && typeof v === 'object' && v.__id !== undefined) v = v.__id;
            else if (modern && v && typeof v === 'object' && Object.prototype.toString.call(v) === '[object Array]') v = ints ? new Int32Array(v) : new Float32Array(v);
            else if (v === undefined) v = null;
            out.push(v);
        }
        return out;
    }
    // The RGBA pixels of what texImage2D is given in place of an array: a canvas (2D or
    // WebGL) or an ImageData; null for what has no pixels here (an image not loaded).
    function glSourcePixels(source) {
        if (!source || typeof source !== 'object') return null;
        if (source.tagName === 'CANVAS') {
            var w = source.width, h = source.height;
            if (!w || !h) return null;
            var three = source.__webgl || source.__webgl2;
            if (three && three.__gl) return {width: w, height: h, data: host.glImage(three.__gl)};
            if (!drawsForReal) return {width: w, height: h, data: new Uint8Array(w * h * 4)};
            return {width: w, height: h, data: host.canvasRead(surfaceOf(source), 0, 0, w, h, true)};
        }
        if (source.data && source.width && source.height) return {width: source.width, height: source.height, data: source.data};
        return null;
    }
    function drawForReal(gl, canvas, two, attributes) {
        if (!hasHost || typeof host.glNew !== 'function' || glUnavailable !== null) return;
        var real = host.glNew(canvas.width, canvas.height, attributes, two);
        if (typeof real === 'string' || !real) {
            glUnavailable = real || '';
            line('WebGL 无法真正绘制：' + glUnavailable + '；WebGL 画布不出像素，参数照常回答');
            return;
        }
        gl.__gl = real;
        var made = host.glSize(real);
        gl.drawingBufferWidth = made[0];
        gl.drawingBufferHeight = made[1];
        var sources = {};
        var glPlainCalls = ('clearColor clear clearDepth clearStencil viewport scissor enable disable isEnabled blendFunc ' +
            'blendFuncSeparate blendEquation blendEquationSeparate blendColor depthFunc depthMask depthRange colorMask ' +
            'cullFace frontFace lineWidth polygonOffset pixelStorei stencilFunc stencilFuncSeparate stencilOp ' +
            'stencilOpSeparate stencilMask stencilMaskSeparate sampleCoverage hint flush finish enableVertexAttribArray ' +
            'disableVertexAttribArray vertexAttribPointer drawArrays drawElements activeTexture texParameteri texParameterf ' +
            'generateMipmap checkFramebufferStatus renderbufferStorage bufferData bufferSubData bindBuffer bindTexture ' +
            'bindFramebuffer bindRenderbuffer framebufferTexture2D framebufferRenderbuffer attachShader detachShader ' +
            'compileShader linkProgram useProgram validateProgram deleteBuffer deleteShader deleteProgram deleteTexture ' +
            'deleteFramebuffer deleteRenderbuffer isBuffer getShaderParameter getProgramParameter getShaderInfoLog ' +
            'getProgramInfoLog getAttribLocation bindAttribLocation uniform1f uniform2f uniform3f uniform4f uniform1i ' +
            'uniform2i uniform3i uniform4i uniform1fv uniform2fv uniform3fv uniform4fv uniform1iv uniform2iv uniform3iv ' +
            'uniform4iv uniformMatrix2fv uniformMatrix3fv uniformMatrix4fv').split(' ');
        function call(name, args) { return host.glCall(real, name, glArguments(name, args)); }
        for (var k = 0; k < glPlainCalls.length; k++) {
            (function (name) { gl[name] = function () { return call(name, arguments); }; })(glPlainCalls[k]);
        }
        for (var maker in glMade) {
            if (!own(glMade, maker)) continue;
            (function (name, Type) {
                gl[name] = function () { return glThing(Type, call(name, arguments)); };
            })(maker, glMade[maker]);
        }
        gl.shaderSource = function (shader, source) {
            if (shader && shader.__id !== undefined) sources[shader.__id] = toText(source);
            call('shaderSource', [shader, toText(source)]);
        };
        gl.getShaderSource = function (shader) { return shader && own(sources, shader.__id) ? sources[shader.__id] : null; };
        gl.getUniformLocation = function (program, name) {
            var at = call('getUniformLocation', [program, toText(name)]);
            return at === null || at === undefined ? null : glThing(WebGLUniformLocation, at);
        };
        function activeInfo(name) {
            return function (program, index) {
                var text = call(name, [program, index]);
                if (typeof text !== 'string') return null;
                var parts = text.split(' '), info = inherit(WebGLActiveInfo.prototype);
                info.size = Number(parts[0]);
                info.type = Number(parts[1]);
                info.name = parts.slice(2).join(' ');
                return info;
            };
        }
        gl.getActiveAttrib = activeInfo('getActiveAttrib');
        gl.getActiveUniform = activeInfo('getActiveUniform');
        gl.getError = function () { return call('getError', []); };
        // What is bound is the page's own objects; other state the context's, where the
        // profile's answers (the GPU's) say nothing.
        var bound = {}, unit = 0, profiled = gl.getParameter;
        function binder(name, pname) {
            var bind = gl[name];
            gl[name] = function (target, thing) {
                var key = pname === 0x8069 ? (Number(target) === 0x8513 ? 0x8514 : 0x8069) + ':' + unit : pname === 0x8894 && Number(target) === GL.ELEMENT_ARRAY_BUFFER ? 0x8895 : pname;
                bound[key] = name === 'useProgram' ? target || null : thing || null;
                return bind.apply(gl, arguments);
            };
        }
        binder('bindBuffer', 0x8894);
        binder('useProgram', 0x8B8D);
        binder('bindTexture', 0x8069);
        binder('bindFramebuffer', 0x8CA6);
        binder('bindRenderbuffer', 0x8CA7);
        // State WebGL keeps itself, answered as Chrome answers it: the pixel-store flags of
        // WebGL's own and the stencil masks as the script set them (all ones at first,
        // whatever bits the stencil buffer has).
        var kept = {0x9240: false, 0x9241: false, 0x9243: 0x9244, 0x0B93: 4294967295, 0x8CA4: 4294967295,
            0x0B98: 4294967295, 0x8CA5: 4294967295};
        function keep(name, store) {
            var real = gl[name];
            gl[name] = function () {
                store.apply(null, arguments);
                return real.apply(gl, arguments);
            };
        }
        function masks(face, key, backKey, v) {
            var f = Number(face);
            if (f !== 0x0405) kept[key] = Number(v) >>> 0;
            if (f !== 0x0404) kept[backKey] = Number(v) >>> 0;
        }
        keep('pixelStorei', function (pname, v) {
            var p = Number(pname);
            if (p === 0x9240 || p === 0x9241) kept[p] = !!v;
            else if (p === 0x9243 && (Number(v) === 0 || Number(v) === 0x9244)) kept[p] = Number(v);
        });
        keep('stencilMask', function (v) { masks(0x0408, 0x0B98, 0x8CA5, v); });
        keep('stencilMaskSeparate', function (face, v) { masks(face, 0x0B98, 0x8CA5, v); });
        keep('stencilFunc', function (func, ref, v) { masks(0x0408, 0x0B93, 0x8CA4, v); });
        keep('stencilFuncSeparate', function (face, func, ref, v) { masks(face, 0x0B93, 0x8CA4, v); });
        var activeTexture = gl.activeTexture;
        gl.activeTexture = function (texture) {
            unit = Number(texture) - GL.TEXTURE0;
            return activeTexture.apply(gl, arguments);
        };
        gl.getParameter = function (pname) {
            var p = Number(pname);
            if (p === 0x8069 || p === 0x8514) return own(bound, p + ':' + unit) ? bound[p + ':' + unit] : null;
            if (p === 0x8894 || p === 0x8895 || p === 0x8B8D || p === 0x8CA6 || p === 0x8CA7) return own(bound, p) ? bound[p] : null;
            if (own(kept, p)) return kept[p];
            if (p === 0x86A3) return modern ? new Uint32Array(0) : [];
            var v = profiled.apply(gl, arguments);
            if (v !== null) return v;
            var state = call('getParameter', [p]);
            if (typeof state !== 'string') return null;
            var parts = state.split(' '), kind = parts.shift(), k;
            for (k = 0; k < parts.length; k++) parts[k] = kind === 'b' ? parts[k] === '1' : Number(parts[k]);
            if (parts.length === 1) return parts[0];
            if (kind === 'b' || !modern) return parts;
            return kind === 'f' ? new Float32Array(parts) : new Int32Array(parts);
        };
        // Fixed attribute values: every size is the four-component call.
        function attrib(size, fromList) {
            return function (index) {
                var v = [0, 0, 0, 1], from = fromList ? arguments[1] : Array.prototype.slice.call(arguments, 1);
                for (var n = 0; n < size && from && n < from.length; n++) v[n] = Number(from[n]);
                call('vertexAttrib4f', [index, v[0], v[1], v[2], v[3]]);
            };
        }
        for (var size = 1; size <= 4; size++) {
            gl['vertexAttrib' + size + 'f'] = attrib(size, false);
            gl['vertexAttrib' + size + 'fv'] = attrib(size, true);
        }
        gl.readPixels = function (x, y, w, h, format, type, pixels) {
            if (!pixels || typeof pixels !== 'object' || Number(format) !== GL.RGBA || Number(type) !== GL.UNSIGNED_BYTE) return;
            host.glRead(real, Number(x), Number(y), Number(w), Number(h), pixels);
        };
        gl.texImage2D = function (target, level, internalformat) {
            var a = arguments;
            if (a.length >= 9) return void call('texImage2D', Array.prototype.slice.call(a, 0, 9));
            var px = glSourcePixels(a[5]);
            if (!px) return;
            call('texImage2D', [target, level, internalformat, px.width, px.height, 0, a[3], a[4], px.data]);
        };
        gl.texSubImage2D = function (target, level, x, y) {
            var a = arguments;
            if (a.length >= 9) return void call('texSubImage2D', Array.prototype.slice.call(a, 0, 9));
            var px = glSourcePixels(a[6]);
            if (!px) return;
            call('texSubImage2D', [target, level, x, y, px.width, px.height, a[4], a[5], px.data]);
        };
    }
    // The canvas shows its WebGL drawing buffer (for a data address, or as another
    // canvas's image).
    function showWebGl(canvas) {
        var three = canvas.__webgl || canvas.__webgl2;
        if (!three || !three.__gl || !drawsForReal) return;
        var w = canvas.width, h = canvas.height;
        if (w && h) host.canvasWrite(surfaceOf(canvas), host.glImage(three.__gl), w, h, 0, 0);
    }
    // The constants are for scripts; the page objects' own code reads them from GL.
    if (!behindFace) {
        for (gk in GL) if (own(GL, gk)) WebGLRenderingContext[gk] = WebGLRenderingContext.prototype[gk] = WebGL2RenderingContext[gk] = WebGL2RenderingContext.prototype[gk] = GL[gk];
    }
    function glArray(values, floats) {
        if (!modern) return values.slice(0);
        return floats ? new Float32Array(values) : new Int32Array(values);
    }
    function webglContext(canvas, two, options) {
        var key = two ? '__webgl2' : '__webgl';
        if (canvas[key]) return canvas[key];
        var pw = profile.webgl || {}, params = pw.parameters || {}, gl = inherit((two ? WebGL2RenderingContext : WebGLRenderingContext).prototype);
        gl.canvas = canvas;
        gl.drawingBufferWidth = canvas.width;
        gl.drawingBufferHeight = canvas.height;
        gl.drawingBufferColorSpace = 'srgb';
        var lost = false;
        gl.getParameter = function (pname) {
            // An extension's parameter answers once the page has the extension: the card's
            // limit from the profile (else a common desktop card's), or the state it starts in.
            var ext = extensionParameters[Number(pname)];
            if (ext) {
                if (!own(extensionObjects, ext[0])) return null;
                return own(params, ext[1]) ? params[ext[1]] : ext[2];
            }
            var name = glName(pname) || (pname === 37445 ? 'UNMASKED_VENDOR_WEBGL' : pname === 37446 ? 'UNMASKED_RENDERER_WEBGL' : null);
            if (!name) return null;
            var v = own(params, name) ? params[name] : glDefaults[name];
            if (two && !own(params, name)) {
                if (name === 'VERSION') v = 'WebGL 2.0 (OpenGL ES 3.0 Chromium)';
                if (name === 'SHADING_LANGUAGE_VERSION') v = 'WebGL GLSL ES 3.00 (OpenGL ES GLSL ES 3.0 Chromium)';
            }
            if (v && typeof v === 'object' && v.length !== undefined) return glArray(v, name.indexOf('RANGE') >= 0);
            return v === undefined ? null : v;
        };
        var extensions = pw.extensions && pw.extensions.length !== undefined ? pw.extensions : glExtensions;
        gl.getSupportedExtensions = function () { return lost ? null : extensions.slice(0); };
        var extensionObjects = {};
        gl.getExtension = function (name) {
            name = toText(name);
            var found = false;
            for (var k = 0; k < extensions.length; k++) if (extensions[k].toLowerCase() === name.toLowerCase()) found = true;
            if (!found) return null;
            // One object per extension and context, its constants on its prototype.
            var key = name.toLowerCase();
            if (own(extensionObjects, key)) return extensionObjects[key];
            var fact = glExtensionFact(name), proto = {}, k2;
            if (fact) {
                for (k2 in fact.constants) if (own(fact.constants, k2)) proto[k2] = fact.constants[k2];
                if (modern && typeof Symbol === 'function' && Symbol.toStringTag) {
                    Object.defineProperty(proto, Symbol.toStringTag, {value: fact.tag, configurable: true});
                }
            }
            if (key === 'webgl_debug_renderer_info') {
                proto.UNMASKED_VENDOR_WEBGL = 37445;
                proto.UNMASKED_RENDERER_WEBGL = 37446;
            }
            if (key === 'webgl_lose_context') {
                proto.loseContext = function () { lost = true; };
                proto.restoreContext = function () { lost = false; };
            }
            if (key === 'ext_texture_filter_anisotropic') {
                proto.TEXTURE_MAX_ANISOTROPY_EXT = 34046;
                proto.MAX_TEXTURE_MAX_ANISOTROPY_EXT = 34047;
            }
            return (extensionObjects[key] = inherit(proto));
        };
        gl.getShaderPrecisionFormat = function (shaderType, precisionType) {
            var f = inherit(WebGLShaderPrecisionFormat.prototype), p = Number(precisionType);
            var ints = p >= 36339;
            f.rangeMin = ints ? 31 : 127;
            f.rangeMax = ints ? 30 : 127;
            f.precision = ints ? 0 : 23;
            // The profile's card answers as it did in the recorded browser.
            var recorded = pw.precisions && pw.precisions[glName(Number(shaderType)) + '.' + glName(p)];
            if (recorded && recorded.length === 3) {
                f.rangeMin = recorded[0];
                f.rangeMax = recorded[1];
                f.precision = recorded[2];
            }
            return f;
        };
        var attributes = pw.contextAttributes || {alpha: true, antialias: true, depth: true, desynchronized: false,
            failIfMajorPerformanceCaveat: false, powerPreference: 'default', premultipliedAlpha: true,
            preserveDrawingBuffer: false, stencil: false, xrCompatible: false};
        gl.getContextAttributes = function () {
            var copy = {};
            for (var k in attributes) if (own(attributes, k)) copy[k] = attributes[k];
            return copy;
        };
        gl.isContextLost = function () { return lost; };
        gl.getError = function () { return 0; };
        var made = 0;
        function thing() { return {__id: ++made}; }
        var makers = ['createBuffer', 'createShader', 'createProgram', 'createTexture', 'createFramebuffer',
            'createRenderbuffer', 'getUniformLocation', 'createVertexArray'];
        for (var k = 0; k < makers.length; k++) {
            gl[makers[k]] = own(glMade, makers[k]) ? (function (Type) { return function () { return glThing(Type, ++made); }; })(glMade[makers[k]]) : thing;
        }
        var quiet = ['bindBuffer', 'bufferData', 'bufferSubData', 'shaderSource', 'compileShader', 'attachShader',
            'linkProgram', 'useProgram', 'enableVertexAttribArray', 'disableVertexAttribArray', 'vertexAttribPointer',
            'drawArrays', 'drawElements', 'clearColor', 'clear', 'clearDepth', 'viewport', 'enable', 'disable',
            'blendFunc', 'depthFunc', 'bindTexture', 'texImage2D', 'texParameteri', 'activeTexture', 'bindFramebuffer',
            'bindRenderbuffer', 'framebufferTexture2D', 'pixelStorei', 'deleteBuffer', 'deleteShader', 'deleteProgram',
            'deleteTexture', 'flush', 'finish', 'scissor', 'lineWidth', 'bindVertexArray', 'detachShader',
            'uniform1f', 'uniform2f', 'uniform3f', 'uniform4f', 'uniform1i', 'uniform1fv', 'uniform2fv', 'uniform3fv',
            'uniform4fv', 'uniformMatrix4fv', 'uniformMatrix3fv', 'colorMask', 'depthMask', 'cullFace', 'frontFace'];
        for (k = 0; k < quiet.length; k++) gl[quiet[k]] = noop;
        gl.getAttribLocation = function () { return 0; };
        gl.getShaderParameter = gl.getProgramParameter = function () { return true; };
        gl.getShaderInfoLog = gl.getProgramInfoLog = function () { return ''; };
        gl.readPixels = noop;
        // What the page asked for decides the drawing buffer's make-up.
        var wanted = {};
        for (var an in attributes) if (own(attributes, an)) wanted[an] = attributes[an];
        if (options && typeof options === 'object') {
            var names = ['alpha', 'depth', 'stencil', 'premultipliedAlpha', 'antialias'];
            for (k = 0; k < names.length; k++) if (options[names[k]] !== undefined) wanted[names[k]] = !!options[names[k]];
        }
        drawForReal(gl, canvas, two, wanted);
        canvas[key] = gl;
        return gl;
    }

    function canvasContext(canvas, kind, options) {
        kind = toText(kind).toLowerCase();
        // Where no surface can be made (a canvas too large, no canvas library), the
        // context stays inert.
        if (kind === '2d' && drawsForReal && (canvas.__context || surfaceOf(canvas))) {
            if (!canvas.__context) {
                var ctx = inherit(CanvasRenderingContext2D.prototype);
                ctx.canvas = canvas;
                ctx.__state = freshState();
                ctx.__saved = [];
                ctx.__dash = [];
                canvas.__context = ctx;
            }
            return canvas.__context;
        }
        if (kind === '2d') {
            var c2d = {canvas: canvas, fillStyle: '#000000', strokeStyle: '#000000', font: '10px sans-serif',
                textAlign: 'start', textBaseline: 'alphabetic', globalAlpha: 1, lineWidth: 1};
            var drawing = ['fillRect', 'strokeRect', 'clearRect', 'fillText', 'strokeText', 'beginPath', 'closePath',
                'moveTo', 'lineTo', 'arc', 'arcTo', 'rect', 'fill', 'stroke', 'save', 'restore', 'translate', 'rotate',
                'scale', 'setTransform', 'transform', 'drawImage', 'putImageData', 'bezierCurveTo', 'quadraticCurveTo',
                'clip', 'setLineDash'];
            for (var n = 0; n < drawing.length; n++) c2d[drawing[n]] = noop;
            c2d.measureText = function (text) {
                var tm = inherit(TextMetrics.prototype);
                tm.width = toText(text).length * 6;
                return tm;
            };
            c2d.isPointInPath = function () { return false; };
            c2d.createLinearGradient = c2d.createRadialGradient = function () {
                var g = inherit(CanvasGradient.prototype);
                g.addColorStop = noop;
                return g;
            };
            c2d.createPattern = function () { return {setTransform: noop}; };
            c2d.getImageData = function (x, y, w, h) {
                var size = Math.max(0, w * h * 4), data = modern ? new Uint8ClampedArray(size) : [];
                if (!modern) for (var k = 0; k < size; k++) data[k] = 0;
                var image = inherit(ImageData.prototype);
                image.width = w;
                image.height = h;
                image.data = data;
                return image;
            };
            c2d.createImageData = c2d.getImageData;
            return c2d;
        }
        if (kind === 'webgl' || kind === 'experimental-webgl' || kind === 'webgl2') return webglContext(canvas, kind === 'webgl2', options);
        return null;
    }

    // In the modern target what every new element starts with alike is read through the
    // element prototype; an element takes its own member on the first write.
    if (modern) {
        Element.prototype.namespaceURI = 'http://www.w3.org/1999/xhtml';
        HTMLElement.prototype.scrollTop = HTMLElement.prototype.scrollLeft = 0;
    }
    var blankCanvasUrl = 'data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAASwAAACWCAYAAABkW7XSAAAAAXNSR0IArs4c6QAAAARzQklUCAgICHwIZIgAAAAJcEhZcwAADsQAAA7EAZUrDhsAAAAZdEVYdFNvZnR3YXJlAHd3dy5pbmtzY2FwZS5vcmeb7jwaAAAAEklEQVR4nO3BAQ0AAADCoP6p3wEHAAAAAAAAAAAAAAAAAAAA';
    // Creates the element of `tag` with the members scripts use, owned by `doc`.
    function createElement(tag, doc) {
        var name = toText(tag).toUpperCase(), Type = HTMLElement;
        if (name === 'CANVAS') Type = HTMLCanvasElement;
        else if (name === 'IMG') Type = HTMLImageElement;
        else if (name === 'SCRIPT') Type = HTMLScriptElement;
        var e = initNode(inherit(Type.prototype), 1, name, doc || document);
        e.tagName = name;
        e.localName = name.toLowerCase();
        if (!modern) e.namespaceURI = 'http://www.w3.org/1999/xhtml';
        e.__attributes = {};
        // A new element has no children: its lists start empty.
        e.children = listOf([], HTMLCollection);
        e.childElementCount = 0;
        e.firstElementChild = e.lastElementChild = null;
        e.style = modern ? inlineStyle(e) : {};
        e.id = e.className = '';
        if (plainMembers) e.innerHTML = e.outerHTML = e.innerText = e.textContent = '';
        // In the modern target the sizes and places are the layout's, read through the
        // prototype, and the scroll places start at the prototype's zero.
        if (!modern) {
            e.offsetWidth = e.offsetHeight = e.clientWidth = e.clientHeight = e.scrollWidth = e.scrollHeight = 0;
            e.offsetTop = e.offsetLeft = e.scrollTop = e.scrollLeft = 0;
        }
        if (name === 'CANVAS') {
            e.width = 300;
            e.height = 150;
            {
                var size = {width: 300, height: 150};
                var resize = function (name) {
                    return function (v) {
                        var n = Number(v);
                        size[name] = n >= 0 && n < 4294967296 ? Math.floor(n) : name === 'width' ? 300 : 150;
                        if (e.__surface) host.canvasResize(e.__surface, size.width, size.height);
                        startDrawingLog(e, size.width, size.height);
                        var three = e.__webgl || e.__webgl2;
                        if (three && three.__gl) {
                            var made = host.glResize(three.__gl, size.width, size.height);
                            three.drawingBufferWidth = made[0];
                            three.drawingBufferHeight = made[1];
                        }
                        if (e.__context) {
                            e.__context.__state = freshState();
                            e.__context.__saved = [];
                            e.__context.__dash = [];
                        }
                    };
                };
                startDrawingLog(e, size.width, size.height);
                accessor(e, 'width', function () { return size.width; }, resize('width'));
                accessor(e, 'height', function () { return size.height; }, resize('height'));
            }
            e.getContext = function (kind, options) { return canvasContext(e, kind, options); };
            if (drawsForReal) {
                e.toDataURL = function (type, quality) {
                    if (type === undefined || toText(type).toLowerCase() === 'image/png') {
                        var recorded = recordedDrawing(e);
                        if (recorded) return recorded.dataURL;
                    }
                    showWebGl(e);
                    var url = host.canvasCall(surfaceOf(e), 'toDataURL', [type === undefined ? 'image/png' : toText(type), quality === undefined ? -1 : Number(quality)]);
                    return typeof url === 'string' ? url : blankCanvasUrl;
                };
                e.toBlob = function (callback, type, quality) {
                    var url = e.toDataURL(type, quality), comma = url.indexOf(','), bytes = atob(url.substring(comma + 1));
                    var blob = {size: bytes.length, type: url.substring(5, url.indexOf(';'))};
                    if (modern && typeof Promise === 'function') {
                        blob.arrayBuffer = function () {
                            var b = new Uint8Array(bytes.length);
                            for (var k = 0; k < bytes.length; k++) b[k] = bytes.charCodeAt(k);
                            return Promise.resolve(b.buffer);
                        };
                    }
                    setTimeout(function () { callback(blob); }, 0);
                };
            }
            if (!drawsForReal) e.toDataURL = function () { return blankCanvasUrl; };
        } else if (name === 'IMG') {
            e.width = e.height = e.naturalWidth = e.naturalHeight = 0;
            e.complete = true;
            // An image's address is a request of its own: it is recorded, never sent. (In
            // the modern target a blob: or data: image loads from what it holds, and any
            // other fails as without network.)
            var src = '', loads = 0;
            accessor(e, 'src', function () { return src; }, function (v) {
                src = toText(v);
                var local = src && localResources !== null ? localResources(resolveAddress(src, location.href)) : null;
                if (src && local === null) line('网络请求（未发送）：GET ' + src + '（Image）');
                if (src && modern) loadImage(e, local, ++loads, function () { return loads; });
            });
        } else if (name === 'FORM') {
            for (var fm in formMethods) if (own(formMethods, fm)) e[fm] = formMethods[fm];
            accessor(e, 'elements', function () { return listOf(formControls(e), HTMLCollection); }, noop);
            accessor(e, 'length', function () { return formControls(e).length; }, noop);
        } else if (name === 'IFRAME' && !plainMembers) {
            e.src = '';
            // A frame has a window of its own once it is in the page (a blank one: its
            // address is never loaded), and none while it is not.
            accessor(e, 'contentWindow', function () { return frameWindow(e); }, noop);
            accessor(e, 'contentDocument', function () { var w = frameWindow(e); return w ? w.document : null; }, noop);
        } else if (name === 'SCRIPT' || name === 'A' || name === 'LINK' || name === 'IFRAME') {
            e.src = e.href = '';
        }
        return e;
    }
    // An image's size from its bytes' header, where they hold a whole PNG, GIF, JPEG, BMP
    // or WebP image; null for anything else (a browser fails to decode it).
    function imageSize(b) {
        var n = b.length;
        function u16be(at) { return (b[at] << 8) | b[at + 1]; }
        function u32be(at) { return ((b[at] << 24) >>> 0) + (b[at + 1] << 16) + (b[at + 2] << 8) + b[at + 3]; }
        function u16le(at) { return b[at] | (b[at + 1] << 8); }
        function ascii(at, count) { var t = ''; for (var k = 0; k < count && at + k < n; k++) t += String.fromCharCode(b[at + k]); return t; }
        if (n >= 33 && b[0] === 0x89 && ascii(1, 3) === 'PNG' && ascii(12, 4) === 'IHDR')
            return ascii(n - 8, 4) === 'IEND' ? {width: u32be(16), height: u32be(20)} : null;
        if (n >= 14 && (ascii(0, 6) === 'GIF87a' || ascii(0, 6) === 'GIF89a'))
            return b[n - 1] === 0x3B && n > 13 + 10 ? {width: u16le(6), height: u16le(8)} : null;
        if (n >= 4 && b[0] === 0xFF && b[1] === 0xD8) {
            if (b[n - 2] !== 0xFF || b[n - 1] !== 0xD9) return null;
            for (var at = 2; at + 9 < n;) {
                if (b[at] !== 0xFF) return null;
                var marker = b[at + 1], size = u16be(at + 2);
                if (marker >= 0xC0 && marker <= 0xCF && marker !== 0xC4 && marker !== 0xC8 && marker !== 0xCC)
                    return {width: u16be(at + 7), height: u16be(at + 5)};
                at += 2 + size;
            }
            return null;
        }
        if (n >= 26 && ascii(0, 2) === 'BM') return {width: Math.abs(u16le(18) | (u16le(20) << 16)), height: Math.abs(u16le(22) | (u16le(24) << 16))};
        if (n >= 30 && ascii(0, 4) === 'RIFF' && ascii(8, 4) === 'WEBP') {
            var kind = ascii(12, 4);
            if (kind === 'VP8 ' && n >= 30) return {width: u16le(26) & 0x3FFF, height: u16le(28) & 0x3FFF};
            if (kind === 'VP8L' && n >= 25) {
                var bits = b[21] | (b[22] << 8) | (b[23] << 16) | (b[24] << 24);
                return {width: (bits & 0x3FFF) + 1, height: ((bits >>> 14) & 0x3FFF) + 1};
            }
            if (kind === 'VP8X' && n >= 30) return {width: 1 + (b[24] | (b[25] << 8) | (b[26] << 16)), height: 1 + (b[27] | (b[28] << 8) | (b[29] << 16))};
        }
        return null;
    }
    // An image's load, as a task of its own: load with its size, or error (and nothing
    // when its address changed meanwhile).
    function loadImage(e, local, which, latest) {
        e.complete = false;
        setTimeout(function () {
            if (which !== latest()) return;
            var size = local ? imageSize(local.bytes) : null;
            e.complete = true;
            e.naturalWidth = size ? size.width : 0;
            e.naturalHeight = size ? size.height : 0;
            if (size && !e.hasAttribute('width')) e.width = size.width;
            if (size && !e.hasAttribute('height')) e.height = size.height;
            fire(e, size ? 'load' : 'error');
        }, 0);
    }
    function Image(width, height) {
        var img = createElement('img');
        if (width !== undefined) img.width = width;
        if (height !== undefined) img.height = height;
        return img;
    }

    // ---- location -------------------------------------------------------------------

    var defaultPorts = {'http:': '80', 'https:': '443', 'ws:': '80', 'wss:': '443', 'ftp:': '21'};
    // Text without the white space at its ends (the modern engine's own trim takes out
    // the same characters as the pattern, without a script of its own to run).
    var nativeTrim = modern && typeof String.prototype.trim === 'function' ? String.prototype.trim : null;
    function trimmed(text) {
        return nativeTrim ? nativeTrim.call(text) : text.replace(/^\s+|\s+$/g, '');
    }
    // The parts of an address as the browser normalises them.
    function parseAddress(address) {
        var text = trimmed(toText(address));
        if (text === '') text = 'about:blank';
        if (!/^[a-zA-Z][a-zA-Z0-9+.\-]*:/.test(text)) text = 'http://' + text;
        var m = /^([a-zA-Z][a-zA-Z0-9+.\-]*:)(\/\/([^\/?#]*))?([^?#]*)(\?[^#]*)?(#.*)?$/.exec(text);
        var p = {protocol: m[1].toLowerCase(), host: '', hostname: '', port: '', pathname: m[4] || '',
            search: m[5] && m[5] !== '?' ? m[5] : '', hash: m[6] && m[6] !== '#' ? m[6] : ''};
        var special = own(defaultPorts, p.protocol) || p.protocol === 'file:';
        if (m[2] !== undefined && m[2] !== '') {
            var authority = m[3].indexOf('@') < 0 ? m[3] : m[3].replace(/^.*@/, '');
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
    for (var i = 0; i < pluginNames.length; i++) {
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
    for (m in pn) {
        if (own(pn, m) && own(navigatorValues, m) && pn[m] !== null && typeof pn[m] !== 'object') navigatorValues[m] = pn[m];
    }
    if (pn.plugins && pn.plugins.length !== undefined) {
        var ownPlugins = [], ownTypes = [];
        for (i = 0; i < pn.plugins.length; i++) {
            var pp = pn.plugins[i], made = inherit(Plugin.prototype), types = pp.mimeTypes || [];
            made.name = toText(pp.name);
            made.filename = toText(pp.filename);
            made.description = toText(pp.description);
            for (var t = 0; t < types.length; t++) {
                var mt = inherit(MimeType.prototype);
                mt.type = toText(types[t].type);
                mt.suffixes = toText(types[t].suffixes);
                mt.description = toText(types[t].description);
                mt.enabledPlugin = made;
                made[t] = mt;
                ownTypes.push(mt);
            }
            made.length = types.length;
            ownPlugins.push(made);
        }
        navigatorValues.plugins = listOf(ownPlugins, PluginArray);
        navigatorValues.mimeTypes = listOf(ownTypes, MimeTypeArray);
    }
    copyOwn(navigator, navigatorValues);
    if (modern && pn.userAgentData && typeof Promise === 'function') {
        // Client hints as the user's Chrome gave them.
        var uad = pn.userAgentData, hints = {};
        hints.brands = uad.brands || [];
        hints.mobile = !!uad.mobile;
        hints.platform = toText(uad.platform || '');
        hints.getHighEntropyValues = function (wanted) {
            var r = {brands: hints.brands, mobile: hints.mobile, platform: hints.platform}, high = uad.highEntropy || {};
            for (var k = 0; wanted && k < wanted.length; k++) if (own(high, wanted[k])) r[wanted[k]] = high[wanted[k]];
            return Promise.resolve(r);
        };
        hints.toJSON = function () { return {brands: hints.brands, mobile: hints.mobile, platform: hints.platform}; };
        navigator.userAgentData = hints;
    }
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
    function DOMImplementation() { illegal(); }
    var implementation = inherit(DOMImplementation.prototype);
    // The members by which a document makes and finds its nodes.
    function makesNodes(doc) {
        doc.createElement = function (tag) { return createElement(tag, doc); };
        doc.createElementNS = function (ns, tag) {
            var name = toText(tag), e = createElement(name.replace(/^.*:/, ''), doc);
            ns = ns === undefined || ns === null || ns === '' ? null : toText(ns);
            if (ns !== 'http://www.w3.org/1999/xhtml') makeForeign(e, name, ns);
            else e.namespaceURI = ns;
            return e;
        };
        doc.createTextNode = function (text) { return characterData(Text, 3, '#text', text, doc); };
        doc.createComment = function (text) { return characterData(Comment, 8, '#comment', text, doc); };
        doc.createDocumentFragment = function () { return fragment(doc); };
        doc.getElementById = function (id) { return byId(doc, id); };
        doc.getElementsByName = function (name) {
            name = toText(name);
            var out = hostSearchesTrees ? hostSearch(doc, name, 6) : undefined;
            if (out !== undefined) return listOf(out);
            out = [];
            findAll(doc, function (e) { return e.getAttribute('name') === name; }, out, false);
            return listOf(out);
        };
        doc.implementation = implementation;
    }
    // <html><head><title></title></head><body></body></html> under `doc`.
    function growTree(doc, title) {
        doc.ownerDocument = doc.parentNode = doc.nodeValue = null;
        doc.childNodes = [];
        doc.documentElement = createElement('html', doc);
        doc.head = createElement('head', doc);
        doc.body = createElement('body', doc);
        if (title) {
            var t = createElement('title', doc);
            replaceChildren(t, title, true);
            insertChild(doc.head, t, null);
        }
        insertChild(doc.documentElement, doc.head, null);
        insertChild(doc.documentElement, doc.body, null);
        insertChild(doc, doc.documentElement, null);
    }
    implementation.createHTMLDocument = function (title) {
        var d = inherit(HTMLDocument.prototype);
        d.nodeType = 9;
        d.nodeName = '#document';
        d.readyState = 'complete';
        d.compatMode = 'CSS1Compat';
        d.characterSet = 'UTF-8';
        d.contentType = 'text/html';
        d.defaultView = d.location = null;
        makesNodes(d);
        growTree(d, title === undefined ? '' : toText(title));
        d.title = title === undefined ? '' : toText(title);
        return d;
    };
    implementation.hasFeature = function () { return true; };
    var document = watched(HTMLDocument.prototype, 'document');

    // The cookie jar: "name=value; attributes" sets or, with a past expiry or
    // max-age <= 0, removes one cookie; reading gives "a=1; b=2" in setting order.
    var jar = [];
    function cookieText() {
        if (hostHas('cookie')) return host.cookie();
        var now = new Date().getTime(), out = [];
        for (var n = 0; n < jar.length; n++) {
            if (jar[n].expires !== null && jar[n].expires <= now) jar.splice(n--, 1);
            else out.push(jar[n].name === '' ? jar[n].value : jar[n].name + '=' + jar[n].value);
        }
        return out.join('; ');
    }
    function setCookie(text) {
        if (hostHas('setCookie')) {
            host.setCookie(toText(text));
            return;
        }
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
        for (i = 0; i < initial.length; i++) setCookie(initial[i] + (hasHost ? '; path=/' : ''));
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
    copyOwn(document, documentValues);
    accessor(document, 'cookie', cookieText, setCookie);
    makesNodes(document);
    document.createEvent = function (kind) {
        var k = toText(kind).toLowerCase();
        var Type = /^mouseevents?$/.test(k) ? MouseEvent : /^keyboardevents?$/.test(k) ? KeyboardEvent :
            k === 'customevent' ? CustomEvent : /^uievents?$/.test(k) ? UIEvent : /^(events?|htmlevents)$/.test(k) ? Event : null;
        if (!Type) throw domError('NotSupportedError', "Failed to execute 'createEvent' on 'Document': The provided event type ('" + toText(kind) + "') is invalid.");
        return new Type('');
    };
    document.hasFocus = function () { return true; };
    document.execCommand = function () { return false; };
    document.open = document.close = function () { return document; };
    // While the page loads, what a script writes goes in after it (scripts in it run at
    // once); later it is only logged, as the page would be replaced.
    function write(text) {
        if (!writing) {
            line('document.write: ' + text);
            return;
        }
        var holder = createElement('div', document), written = [], k;
        readHtml(holder, text, document, writing.parent.nodeType === 1 ? writing.parent : document.body);
        for (k = 0; k < holder.childNodes.length; k++) written.push(holder.childNodes[k]);
        holder.childNodes = [];
        // In the head, from the first thing the head cannot hold on, the parser would have
        // gone on in the body: there it goes, before what the body had.
        for (k = 0; k < written.length; k++) {
            var w = written[k];
            if (writing.parent === document.head && !writing.inBody && document.body &&
                (w.nodeType === 1 ? HEAD_CONTENT[w.localName] !== true : w.nodeType === 3 && /[^\t\n\f\r ]/.test(w.data))) {
                writing.inBody = {parent: document.body, before: document.body.firstChild};
            }
            var to = writing.inBody || writing;
            insertChild(to.parent, w, to.before);
        }
        var scripts = [];
        for (k = 0; k < written.length; k++) {
            if (written[k].nodeType !== 1) continue;
            if (written[k].tagName === 'SCRIPT') scripts.push(written[k]);
            findAll(written[k], function (e) { return e.tagName === 'SCRIPT'; }, scripts, false);
        }
        var outer = writing;
        runPageScripts(scripts);
        writing = outer;
    }
    document.write = function () { write(Array.prototype.join.call(arguments, '')); };
    document.writeln = function () { write(Array.prototype.join.call(arguments, '') + '\n'); };
    growTree(document, config.title);
    // The fonts the page may ask for: the profile's list, or those of a Chinese Windows.
    var fontList = profile.fonts && profile.fonts.length !== undefined ? profile.fonts : ['Arial', 'Arial Black',
        'Calibri', 'Cambria', 'Comic Sans MS', 'Consolas', 'Courier New', 'Georgia', 'Impact', 'Lucida Console',
        'Microsoft YaHei', 'SimSun', 'SimHei', 'KaiTi', 'FangSong', 'NSimSun', 'DengXian', 'Segoe UI', 'Tahoma',
        'Times New Roman', 'Trebuchet MS', 'Verdana', 'Wingdings'];
    // Read when a script first checks a font.
    var knownFonts = null;
    function isKnownFont(f) {
        if (knownFonts === null) {
            knownFonts = {};
            for (var n = 0; n < fontList.length; n++) knownFonts[toText(fontList[n]).toLowerCase()] = true;
        }
        return knownFonts[f] === true;
    }
    var genericFonts = wordSet('serif sans-serif monospace cursive fantasy system-ui ui-serif ui-sans-serif ui-monospace math emoji');
    function FontFaceSet() { illegal(); }
    subclass(FontFaceSet, EventTarget);
    var fonts = inherit(FontFaceSet.prototype);
    fonts.status = 'loaded';
    fonts.size = 0;
    fonts.onloading = fonts.onloadingdone = fonts.onloadingerror = null;
    // True when every family the font names is present (a font shorthand: size, then families).
    fonts.check = function (font) {
        var m = /(?:^|\s)[\d.]+(?:px|pt|em|rem|%)(?:\s*\/\s*\S+)?\s+(.+)$/.exec(toText(font));
        if (!m) throw domError('SyntaxError', "Failed to execute 'check' on 'FontFaceSet': Could not resolve '" + toText(font) + "' as a font.");
        var families = m[1].split(',');
        for (var k = 0; k < families.length; k++) {
            var f = families[k].replace(/^\s+|\s+$/g, '').replace(/^["']|["']$/g, '').toLowerCase();
            if (genericFonts[f] !== true && !isKnownFont(f)) return false;
        }
        return true;
    };
    fonts.forEach = noop;
    fonts.has = function () { return false; };
    if (modern && typeof Promise === 'function') {
        // Made when first read: a promise costs a fresh page more than its scripts use it.
        var fontsReady = null;
        accessor(fonts, 'ready', function () { return fontsReady || (fontsReady = Promise.resolve(fonts)); },
            function (v) { fontsReady = v; });
        fonts.load = function (font) { return Promise.resolve([]); };
    }
    document.fonts = fonts;
    if (oldIE) {
        // Old IE's document.all: every element by index, id or name.
        var all = listOf([document.documentElement, document.head, document.body], HTMLCollection);
        all.tags = function () { return listOf([], HTMLCollection); };
        document.all = all;
    } else if (hasHost) {
        // Chrome keeps document.all for old pages but makes it read as undefined.
        document.all = host.undetectable({length: 0});
    }

    // ---- screen, history, storage ---------------------------------------------------

    function Screen() { illegal(); }
    var screen = watched(Screen.prototype, 'screen');
    var screenValues = {width: config.screenWidth, height: config.screenHeight, availWidth: config.screenWidth,
        availHeight: config.screenHeight - config.taskbarHeight, availLeft: 0, availTop: 0, colorDepth: 24,
        pixelDepth: 24, isExtended: false, orientation: {type: 'landscape-primary', angle: 0}};
    var ps = profile.screen || {};
    for (m in ps) if (own(ps, m) && own(screenValues, m) && ps[m] !== null) screenValues[m] = ps[m];
    copyOwn(screen, screenValues);

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
                if (fatal) throw new TypeError("Failed to execute 'decode' on 'TextDecoder': The encoded data was not valid.");
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
    // The encodings a page may name, each with its labels (the Encoding Standard's); the
    // legacy ones are decoded by the workbench (host.decode), UTF-8 and UTF-16 here.
    var ENCODING_LABELS = {
        'utf-8': 'unicode-1-1-utf-8 unicode11utf8 unicode20utf8 utf-8 utf8 x-unicode20utf8',
        'ibm866': '866 cp866 csibm866 ibm866',
        'iso-8859-2': 'csisolatin2 iso-8859-2 iso-ir-101 iso8859-2 iso88592 iso_8859-2 iso_8859-2:1987 l2 latin2',
        'iso-8859-3': 'csisolatin3 iso-8859-3 iso-ir-109 iso8859-3 iso88593 iso_8859-3 iso_8859-3:1988 l3 latin3',
        'iso-8859-4': 'csisolatin4 iso-8859-4 iso-ir-110 iso8859-4 iso88594 iso_8859-4 iso_8859-4:1988 l4 latin4',
        'iso-8859-5': 'csisolatincyrillic cyrillic iso-8859-5 iso-ir-144 iso8859-5 iso88595 iso_8859-5 iso_8859-5:1988',
        'iso-8859-6': 'arabic asmo-708 csiso88596e csiso88596i csisolatinarabic ecma-114 iso-8859-6 iso-8859-6-e iso-8859-6-i ' +
            'iso-ir-127 iso8859-6 iso88596 iso_8859-6 iso_8859-6:1987',
        'iso-8859-7': 'csisolatingreek ecma-118 elot_928 greek greek8 iso-8859-7 iso-ir-126 iso8859-7 iso88597 iso_8859-7 ' +
            'iso_8859-7:1987 sun_eu_greek',
        'iso-8859-8': 'csiso88598e csisolatinhebrew hebrew iso-8859-8 iso-8859-8-e iso-ir-138 iso8859-8 iso88598 iso_8859-8 ' +
            'iso_8859-8:1988 visual',
        'iso-8859-8-i': 'csiso88598i iso-8859-8-i logical',
        'iso-8859-10': 'csisolatin6 iso-8859-10 iso-ir-157 iso8859-10 iso885910 l6 latin6',
        'iso-8859-13': 'iso-8859-13 iso8859-13 iso885913',
        'iso-8859-14': 'iso-8859-14 iso8859-14 iso885914',
        'iso-8859-15': 'csisolatin9 iso-8859-15 iso8859-15 iso885915 iso_8859-15 l9',
        'iso-8859-16': 'iso-8859-16',
        'koi8-r': 'cskoi8r koi koi8 koi8-r koi8_r',
        'koi8-u': 'koi8-ru koi8-u',
        'macintosh': 'csmacintosh mac macintosh x-mac-roman',
        'windows-874': 'dos-874 iso-8859-11 iso8859-11 iso885911 tis-620 windows-874',
        'windows-1250': 'cp1250 windows-1250 x-cp1250',
        'windows-1251': 'cp1251 windows-1251 x-cp1251',
        'windows-1252': 'ansi_x3.4-1968 ascii cp1252 cp819 csisolatin1 ibm819 iso-8859-1 iso-ir-100 iso8859-1 iso88591 ' +
            'iso_8859-1 iso_8859-1:1987 l1 latin1 us-ascii windows-1252 x-cp1252',
        'windows-1253': 'cp1253 windows-1253 x-cp1253',
        'windows-1254': 'cp1254 csisolatin5 iso-8859-9 iso-ir-148 iso8859-9 iso88599 iso_8859-9 iso_8859-9:1989 l5 latin5 ' +
            'windows-1254 x-cp1254',
        'windows-1255': 'cp1255 windows-1255 x-cp1255',
        'windows-1256': 'cp1256 windows-1256 x-cp1256',
        'windows-1257': 'cp1257 windows-1257 x-cp1257',
        'windows-1258': 'cp1258 windows-1258 x-cp1258',
        'x-mac-cyrillic': 'x-mac-cyrillic x-mac-ukrainian',
        'gbk': 'chinese csgb2312 csiso58gb231280 gb2312 gb_2312 gb_2312-80 gbk iso-ir-58 x-gbk',
        'gb18030': 'gb18030',
        'big5': 'big5 big5-hkscs cn-big5 csbig5 x-x-big5',
        'euc-jp': 'cseucpkdfmtjapanese euc-jp x-euc-jp',
        'iso-2022-jp': 'csiso2022jp iso-2022-jp',
        'shift_jis': 'csshiftjis ms932 ms_kanji shift-jis shift_jis sjis windows-31j x-sjis',
        'euc-kr': 'cseuckr csksc56011987 euc-kr iso-ir-149 korean ks_c_5601-1987 ks_c_5601-1989 ksc5601 ksc_5601 windows-949',
        'utf-16be': 'unicodefffe utf-16be',
        'utf-16le': 'csunicode iso-10646-ucs-2 ucs-2 unicode unicodefeff utf-16 utf-16le',
        'x-user-defined': 'x-user-defined'
    };
    var encodingOfLabel = null;
    // The encoding a label names (surrounding white space aside, any case); null for none.
    function encodingOf(label) {
        if (encodingOfLabel === null) {
            encodingOfLabel = {};
            for (var e in ENCODING_LABELS) {
                if (!own(ENCODING_LABELS, e)) continue;
                var labels = ENCODING_LABELS[e].split(' ');
                for (var n = 0; n < labels.length; n++) encodingOfLabel[labels[n]] = e;
            }
        }
        var key = toText(label).replace(/^[\t\n\f\r ]+|[\t\n\f\r ]+$/g, '').toLowerCase();
        if (!own(encodingOfLabel, key)) return null;
        var found = encodingOfLabel[key];
        // (The legacy ones only where the workbench decodes them.)
        return found === 'utf-8' || found === 'utf-16le' || found === 'utf-16be' || (hasHost && typeof host.decode === 'function') ? found : null;
    }
    function utf16Text(bytes, bigEndian, fatal) {
        var out = [], n, c, d, bad = false;
        var unit = function (k) { return bigEndian ? (bytes[k] << 8) | bytes[k + 1] : bytes[k] | (bytes[k + 1] << 8); };
        for (n = 0; n + 1 < bytes.length; n += 2) {
            c = unit(n);
            if (c >= 0xD800 && c <= 0xDBFF) {
                if (n + 3 < bytes.length && (d = unit(n + 2)) >= 0xDC00 && d <= 0xDFFF) {
                    out.push(String.fromCharCode(c, d));
                    n += 2;
                    continue;
                }
                bad = true;
                out.push('\ufffd');
            } else if (c >= 0xDC00 && c <= 0xDFFF) {
                bad = true;
                out.push('\ufffd');
            } else {
                out.push(String.fromCharCode(c));
            }
        }
        if (n < bytes.length) {
            bad = true;
            out.push('\ufffd');
        }
        return bad && fatal ? null : out.join('');
    }
    function TextDecoder(label, options) {
        var name = label === undefined ? 'utf-8' : encodingOf(label);
        if (name === null)
            throw new RangeError("Failed to construct 'TextDecoder': The encoding label provided ('" + label + "') is invalid.");
        this.encoding = name;
        this.fatal = !!(options && options.fatal);
        this.ignoreBOM = !!(options && options.ignoreBOM);
    }
    TextDecoder.prototype.decode = function (input) {
        if (input === undefined) return '';
        var bytes = input instanceof ArrayBuffer ? new Uint8Array(input) :
            new Uint8Array(input.buffer, input.byteOffset, input.byteLength);
        var e = this.encoding, text;
        if (e === 'utf-8') text = utf8Text(bytes, this.fatal);
        else if (e === 'utf-16le' || e === 'utf-16be') text = utf16Text(bytes, e === 'utf-16be', this.fatal);
        else text = host.decode(bytes, e, this.fatal);
        if (text === null) throw new TypeError("Failed to execute 'decode' on 'TextDecoder': The encoded data was not valid.");
        var bom = e === 'utf-8' || e === 'utf-16le' || e === 'utf-16be';
        return bom && !this.ignoreBOM && text.charCodeAt(0) === 0xFEFF ? text.substring(1) : text;
    };

    var performance = {timeOrigin: startTime};
    performance.now = function () { return new Date().getTime() - startTime + (seeded ? 0 : clock); };
    // Unseeded, the modern target's page reads a fine clock as Chrome's: tenths of a
    // millisecond since its origin, as the difference of two monotonic times in seconds
    // (with the last bits such a difference has), the origin itself to a tenth.
    if (modern && !seeded && hasHost && typeof host.monotonic === 'function') {
        var monotonicStart = host.monotonic();
        performance.timeOrigin = host.wallTime();
        performance.now = function () { return (host.monotonic() - monotonicStart) * 1000 + clock; };
    }
    performance.timing = {navigationStart: startTime, fetchStart: startTime, domLoading: startTime,
        domInteractive: startTime, domComplete: startTime, loadEventStart: startTime, loadEventEnd: startTime};
    if (modern) {
        // The timeline: the page's navigation and resources as a loaded page shows them,
        // and the marks and measures scripts make. Made when first asked for.
        performance.mark = function (name, options) { return timeline().mark(name, options, "execute 'mark' on 'Performance'", true); };
        performance.measure = function (name, start, end) { return timeline().measure(name, start, end, arguments.length); };
        performance.getEntries = function () { return timeline().entries(null, null); };
        performance.getEntriesByType = function (type) { return timeline().entries(toText(type), null); };
        performance.getEntriesByName = function (name, type) { return timeline().entries(type === undefined ? null : toText(type), toText(name)); };
        performance.clearMarks = function (name) { timeline().clear('mark', name); };
        performance.clearMeasures = function (name) { timeline().clear('measure', name); };
    } else {
        performance.mark = performance.measure = performance.clearMarks = performance.clearMeasures = noop;
        performance.getEntries = performance.getEntriesByName = performance.getEntriesByType = function () { return []; };
    }
    var timelineParts = null;
    function timeline() { return timelineParts || (timelineParts = makeTimeline()); }
    function makeTimeline() {
        function PerformanceEntry() { illegal(); }
        function PerformanceMark() { illegal(); }
        subclass(PerformanceMark, PerformanceEntry);
        function PerformanceMeasure() { illegal(); }
        subclass(PerformanceMeasure, PerformanceEntry);
        function PerformanceResourceTiming() { illegal(); }
        subclass(PerformanceResourceTiming, PerformanceEntry);
        function PerformanceNavigationTiming() { illegal(); }
        subclass(PerformanceNavigationTiming, PerformanceResourceTiming);
        var navigationId = '';
        for (var k = 0; k < 32; k++) navigationId += '0123456789abcdef'.charAt(Math.floor(Math.random() * 16));
        navigationId = navigationId.replace(/^(.{8})(.{4})(.{4})(.{4})/, '$1-$2-$3-$4-');
        var BASE_FIELDS = ['name', 'entryType', 'startTime', 'duration', 'navigationId'];
        var RESOURCE_FIELDS = BASE_FIELDS.concat(['initiatorType', 'deliveryType', 'nextHopProtocol', 'renderBlockingStatus',
            'contentType', 'workerStart', 'redirectStart', 'redirectEnd', 'fetchStart', 'domainLookupStart', 'domainLookupEnd',
            'connectStart', 'secureConnectionStart', 'connectEnd', 'requestStart', 'responseStart', 'firstInterimResponseStart',
            'finalResponseHeadersStart', 'responseEnd', 'transferSize', 'encodedBodySize', 'decodedBodySize', 'responseStatus',
            'serverTiming']);
        var NAVIGATION_FIELDS = RESOURCE_FIELDS.concat(['unloadEventStart', 'unloadEventEnd', 'domInteractive',
            'domContentLoadedEventStart', 'domContentLoadedEventEnd', 'domComplete', 'loadEventStart', 'loadEventEnd', 'type',
            'redirectCount', 'activationStart', 'criticalCHRestart']);
        function toJSONOf(fields) {
            return function () {
                var out = {};
                for (var n = 0; n < fields.length; n++) out[fields[n]] = this[fields[n]];
                return out;
            };
        }
        PerformanceEntry.prototype.toJSON = toJSONOf(BASE_FIELDS);
        PerformanceResourceTiming.prototype.toJSON = toJSONOf(RESOURCE_FIELDS);
        PerformanceNavigationTiming.prototype.toJSON = toJSONOf(NAVIGATION_FIELDS);
        function entry(Type, name, type, start, duration) {
            var e = inherit(Type.prototype);
            e.name = name;
            e.entryType = type;
            e.startTime = start;
            e.duration = duration;
            e.navigationId = navigationId;
            return e;
        }
        var timing = performance.timing;
        function since(at) { return Math.max(0, at - timing.navigationStart); }
        // A resource fetched from `begin`, taking `spent` ms.
        function resource(Type, name, initiator, begin, spent, size) {
            var e = entry(Type, name, Type === PerformanceNavigationTiming ? 'navigation' : 'resource', Type === PerformanceNavigationTiming ? 0 : begin, spent);
            var values = {initiatorType: initiator, deliveryType: '', nextHopProtocol: 'h2', renderBlockingStatus: 'non-blocking',
                contentType: '', workerStart: 0, redirectStart: 0, redirectEnd: 0, fetchStart: begin, domainLookupStart: begin,
                domainLookupEnd: begin, connectStart: begin, secureConnectionStart: begin, connectEnd: begin, requestStart: begin,
                responseStart: begin, firstInterimResponseStart: 0, finalResponseHeadersStart: begin, responseEnd: begin + spent,
                transferSize: size + 300, encodedBodySize: size, decodedBodySize: size, responseStatus: 200, serverTiming: []};
            for (var f in values) if (own(values, f)) e[f] = values[f];
            return e;
        }
        var navigation = null, resources = null, marks = [], measures = [];
        function navigationEntry() {
            if (navigation === null) {
                var page = hasHost && typeof host.page === 'string' ? host.page.length : 0;
                navigation = resource(PerformanceNavigationTiming, location.href, 'navigation', since(timing.fetchStart),
                    since(timing.loadEventEnd), page);
                navigation.contentType = 'text/html';
                var values = {unloadEventStart: 0, unloadEventEnd: 0, domInteractive: since(timing.domInteractive),
                    domContentLoadedEventStart: since(timing.domInteractive), domContentLoadedEventEnd: since(timing.domInteractive),
                    domComplete: since(timing.domComplete), loadEventStart: since(timing.loadEventStart),
                    loadEventEnd: since(timing.loadEventEnd), type: 'navigate', redirectCount: 0, activationStart: 0,
                    criticalCHRestart: 0, confidence: null, notRestoredReasons: null};
                for (var f in values) if (own(values, f)) navigation[f] = values[f];
            }
            return navigation;
        }
        // What the page's own markup fetched: its scripts, images and style sheets.
        function resourceEntries() {
            if (resources === null) {
                resources = [];
                var at = since(timing.fetchStart);
                findAll(document, function (e) {
                    var tag = e.localName, address = tag === 'script' || tag === 'img' ? e.getAttribute('src') :
                        tag === 'link' && /stylesheet/i.test(e.getAttribute('rel') || '') ? e.getAttribute('href') : null;
                    if (address) {
                        resources.push(resource(PerformanceResourceTiming, resolveAddress(address, location.href), tag, at, 0, 0));
                    }
                    return false;
                }, [], false);
            }
            return resources;
        }
        var TIMING_NAMES = wordSet('navigationStart unloadEventStart unloadEventEnd redirectStart redirectEnd fetchStart ' +
            'domainLookupStart domainLookupEnd connectStart connectEnd secureConnectionStart requestStart responseStart ' +
            'responseEnd domLoading domInteractive domContentLoadedEventStart domContentLoadedEventEnd domComplete ' +
            'loadEventStart loadEventEnd');
        function failed(what, message) { return "Failed to " + what + ': ' + message; }
        function timeOf(v, what) {
            if (typeof v === 'number' || typeof v !== 'string') {
                var n = Number(v);
                if (n < 0) throw new TypeError(failed(what, "'" + n + "' is a negative value."));
                return n;
            }
            for (var k = marks.length - 1; k >= 0; k--) if (marks[k].name === v) return marks[k].startTime;
            if (TIMING_NAMES[v] === true) {
                if (v === 'navigationStart') return 0;
                var t = own(timing, v) ? timing[v] : 0;
                if (!t) throw domError('InvalidAccessError', failed(what, "'" + v + "' is empty: either the event hasn't happened yet, or it would provide cross-origin timing information."));
                return since(t);
            }
            throw domError('SyntaxError', failed(what, "The mark '" + v + "' does not exist."));
        }
        function optionOf(options, name) { return options !== null && typeof options === 'object' ? options[name] : undefined; }
        function mark(name, options, what, keep) {
            name = toText(name);
            if (TIMING_NAMES[name] === true) {
                throw domError('SyntaxError', failed(what, "'" + name + "' is part of the PerformanceTiming interface, and cannot be used as a mark name."));
            }
            var at = optionOf(options, 'startTime'), detail = optionOf(options, 'detail');
            if (at !== undefined && Number(at) < 0) throw new TypeError(failed(what, "'" + name + "' cannot have a negative start time."));
            var m = entry(PerformanceMark, name, 'mark', at === undefined ? performance.now() : Number(at), 0);
            m.detail = detail === undefined ? null : detail;
            if (keep) marks.push(m);
            return m;
        }
        function measure(name, start, end, given) {
            var what = "execute 'measure' on 'Performance'", options = null;
            if (start !== null && typeof start === 'object') {
                options = start;
                var hasStart = options.start !== undefined, hasEnd = options.end !== undefined, hasDuration = options.duration !== undefined;
                var any = hasStart || hasEnd || hasDuration || options.detail !== undefined;
                if (any && given > 2 && end !== undefined) throw new TypeError(failed(what, 'If a non-empty PerformanceMeasureOptions object was passed, |end_mark| must not be passed.'));
                if (hasStart && hasEnd && hasDuration) {
                    throw new TypeError(failed(what, "If a non-empty PerformanceMeasureOptions object was passed, it must not have all of its 'start', 'duration', and 'end' properties defined"));
                }
                if (any && !hasStart && !hasEnd) {
                    throw new TypeError(failed(what, "If a non-empty PerformanceMeasureOptions object was passed, at least one of its 'start' or 'end' properties must be present."));
                }
            }
            var from, to;
            if (end !== undefined) to = timeOf(toText(end), what);
            else if (options && options.end !== undefined) to = timeOf(options.end, what);
            else if (options && options.start !== undefined && options.duration !== undefined) to = timeOf(options.start, what) + timeOf(options.duration, what);
            else to = performance.now();
            if (options && options.start !== undefined) from = timeOf(options.start, what);
            else if (options && options.duration !== undefined && options.end !== undefined) from = to - timeOf(options.duration, what);
            else if (!options && start !== undefined) from = timeOf(toText(start), what);
            else from = 0;
            var m = entry(PerformanceMeasure, toText(name), 'measure', from, to - from);
            m.detail = options && options.detail !== undefined ? options.detail : null;
            measures.push(m);
            return m;
        }
        function entries(type, name) {
            var all = type === null || type === 'navigation' ? [navigationEntry()] : [];
            if (type === null || type === 'resource') all = all.concat(resourceEntries());
            if (type === null || type === 'mark') all = all.concat(marks);
            if (type === null || type === 'measure') all = all.concat(measures);
            var out = [];
            for (var n = 0; n < all.length; n++) if (name === null || all[n].name === name) out.push(all[n]);
            // In time order; those at one time in the order they came.
            for (n = 0; n < out.length; n++) out[n] = {e: out[n], n: n};
            out.sort(function (a, b) { return a.e.startTime - b.e.startTime || a.n - b.n; });
            for (n = 0; n < out.length; n++) out[n] = out[n].e;
            return out;
        }
        function clear(kind, name) {
            var list = kind === 'mark' ? marks : measures, kept = [];
            for (var n = 0; n < list.length; n++) if (name !== undefined && list[n].name !== toText(name)) kept.push(list[n]);
            if (kind === 'mark') marks = kept;
            else measures = kept;
        }
        madeTypes({PerformanceEntry: PerformanceEntry, PerformanceMark: PerformanceMark, PerformanceMeasure: PerformanceMeasure,
            PerformanceResourceTiming: PerformanceResourceTiming, PerformanceNavigationTiming: PerformanceNavigationTiming});
        return {mark: mark, measure: measure, entries: entries, clear: clear};
    }

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
    XMLHttpRequest.prototype.overrideMimeType = noop;
    XMLHttpRequest.prototype.abort = function () { this.readyState = 0; };
    // What a blob: or data: address holds (the modern target's objects answer): read as the
    // response, no request made.
    var localResources = null;
    function localResponse(xhr) {
        var address = resolveAddress(xhr.__address, location.href);
        var local = localResources(address);
        if (local === null) return false;
        function done() {
            if (local === false) {
                xhr.readyState = 4;
                xhr.dispatchEvent(new Event('readystatechange'));
                xhr.dispatchEvent(new Event('error'));
                xhr.dispatchEvent(new Event('loadend'));
                return;
            }
            var bytes = local.bytes, text = utf8Text(bytes, false);
            xhr.status = 200;
            xhr.statusText = 'OK';
            xhr.responseURL = address;
            xhr.__responseHeaders = {'content-length': String(bytes.length)};
            if (local.type) xhr.__responseHeaders['content-type'] = local.type;
            var kind = xhr.responseType;
            xhr.responseText = kind === '' || kind === 'text' ? text : '';
            if (kind === 'arraybuffer') xhr.response = bytes.slice().buffer;
            else if (kind === 'json') {
                try {
                    xhr.response = JSON.parse(text);
                } catch (e) {
                    xhr.response = null;
                }
            } else if (kind === 'blob') xhr.response = local.blob(local.type || '');
            else if (kind === 'document') xhr.response = null;
            else xhr.response = text;
            xhr.readyState = 2;
            xhr.dispatchEvent(new Event('readystatechange'));
            xhr.readyState = 3;
            xhr.dispatchEvent(new Event('readystatechange'));
            xhr.readyState = 4;
            xhr.dispatchEvent(new Event('readystatechange'));
            xhr.dispatchEvent(new Event('load'));
            xhr.dispatchEvent(new Event('loadend'));
        }
        if (xhr.__async) setTimeout(done, 0);
        else done();
        return true;
    }
    XMLHttpRequest.prototype.getResponseHeader = function (name) {
        var h = this.__responseHeaders, key = toText(name).toLowerCase();
        return h && own(h, key) ? h[key] : null;
    };
    XMLHttpRequest.prototype.getAllResponseHeaders = function () {
        var h = this.__responseHeaders, out = '';
        if (!h) return '';
        var names = [];
        for (var k in h) if (own(h, k)) names.push(k);
        names.sort();
        for (var n = 0; n < names.length; n++) out += names[n] + ': ' + h[names[n]] + '\r\n';
        return out;
    };
    // The request fails as a request without network does: status 0, then the error.
    XMLHttpRequest.prototype.send = function (body) {
        if (this.readyState !== 1) throw domError('InvalidStateError', "Failed to execute 'send' on 'XMLHttpRequest': The object's state must be OPENED.");
        if (localResources !== null && localResponse(this)) return;
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

    // ---- forms: a submission is recorded in the log, never sent ----------------------
    // What a form would send is worked out as Chrome does (the controls that count, in
    // document order, the submitter's own overrides, the three encodings) and written as
    // one line; the page stays where it is.

    var INPUT_TYPES = wordSet('hidden text search tel url email password date month week time datetime-local number ' +
        'range color checkbox radio file submit image reset button');
    // An input's or a button's type as the element reports it.
    function controlType(e) {
        var t = toText(e.getAttribute('type') || '').toLowerCase();
        if (e.tagName === 'BUTTON') return t === 'reset' || t === 'button' ? t : 'submit';
        return INPUT_TYPES[t] === true ? t : 'text';
    }
    function isSubmitButton(e) {
        if (!e || e.nodeType !== 1) return false;
        var t = e.tagName === 'INPUT' || e.tagName === 'BUTTON' ? controlType(e) : '';
        return t === 'submit' || (t === 'image' && e.tagName === 'INPUT');
    }
    var LISTED = wordSet('BUTTON FIELDSET INPUT OBJECT OUTPUT SELECT TEXTAREA');
    // The form a control belongs to: the one its form attribute names, else the nearest
    // form around it.
    function formOf(e) {
        if (!e || e.nodeType !== 1 || LISTED[e.tagName] !== true) return null;
        var named = e.getAttribute('form');
        if (named !== null) {
            var root = e;
            while (root.parentNode) root = root.parentNode;
            var found = byId(root, named);
            return found && found.tagName === 'FORM' ? found : null;
        }
        for (var p = e.parentNode; p; p = p.parentNode) if (p.tagName === 'FORM') return p;
        return null;
    }
    // The form's controls in document order; image buttons only with `images` (a
    // submission's entries count them, the form's own list does not).
    function formControls(form, images) {
        var root = form, out = [];
        while (root.parentNode) root = root.parentNode;
        findAll(root, function (e) {
            return LISTED[e.tagName] === true && (images || !(e.tagName === 'INPUT' && controlType(e) === 'image')) && formOf(e) === form;
        }, out, false);
        return out;
    }
    // Disabled itself, or inside a disabled fieldset (outside its first legend).
    function isDisabled(e) {
        if (e.disabled === true) return true;
        for (var child = e, p = e.parentNode; p && p.nodeType === 1; child = p, p = p.parentNode) {
            if (p.tagName !== 'FIELDSET' || p.disabled !== true) continue;
            var legend = null;
            for (var k = 0; k < p.childNodes.length && !legend; k++) if (p.childNodes[k].tagName === 'LEGEND') legend = p.childNodes[k];
            if (child !== legend) return true;
        }
        return false;
    }
    function collapseBlanks(text) { return toText(text).replace(/[\t\n\f\r ]+/g, ' ').replace(/^ | $/g, ''); }
    function optionsOf(select) {
        var out = [];
        findAll(select, function (e) { return e.tagName === 'OPTION'; }, out, false);
        return out;
    }
    function optionText(o) { return collapseBlanks(textOf(o)); }
    function optionValue(o) {
        if (typeof o.value === 'string') return o.value;
        var v = o.getAttribute('value');
        return v !== null ? v : optionText(o);
    }
    // The options a select has chosen; a single choice with none marked shows (and
    // sends) its first option that is not disabled.
    function selectedOptions(select) {
        var all = optionsOf(select), out = [], k;
        for (k = 0; k < all.length; k++) if (all[k].selected === true) out.push(all[k]);
        var single = select.getAttribute('multiple') === null && !(parseInt(select.getAttribute('size'), 10) > 1);
        if (single && out.length > 1) out = [out[out.length - 1]];
        if (single && !out.length) for (k = 0; k < all.length && !out.length; k++) if (all[k].disabled !== true) out.push(all[k]);
        return out;
    }
    function controlValue(e) {
        if (typeof e.value === 'string') return e.value;
        return e.tagName === 'TEXTAREA' ? textOf(e) : '';
    }
    // The name and value pairs a form sends (with `submitter`, the button that sent it):
    // [{name, value, file}] in document order.
    function formEntries(form, submitter) {
        var controls = formControls(form, true), out = [], k, n;
        for (k = 0; k < controls.length; k++) {
            var e = controls[k], tag = e.tagName, type = tag === 'INPUT' || tag === 'BUTTON' ? controlType(e) : '';
            if (tag === 'FIELDSET' || tag === 'OBJECT' || tag === 'OUTPUT' || isDisabled(e)) continue;
            if (tag === 'BUTTON' || type === 'submit' || type === 'image') {
                if (e !== submitter || type === 'reset' || type === 'button') continue;
            }
            if ((type === 'checkbox' || type === 'radio') && e.checked !== true) continue;
            if (type === 'reset' || type === 'button') continue;
            var name = typeof e.name === 'string' ? e.name : e.getAttribute('name');
            if (type === 'image') {
                var prefix = name ? name + '.' : '';
                out.push({name: prefix + 'x', value: '0'}, {name: prefix + 'y', value: '0'});
                continue;
            }
            if (name === null || name === '') continue;
            if (tag === 'SELECT') {
                var chosen = selectedOptions(e);
                for (n = 0; n < chosen.length; n++) if (chosen[n].disabled !== true) out.push({name: name, value: optionValue(chosen[n])});
            } else if (type === 'checkbox' || type === 'radio') {
                var v = e.getAttribute('value');
                out.push({name: name, value: typeof e.value === 'string' ? e.value : v === null ? 'on' : v});
            } else if (type === 'file') {
                out.push({name: name, value: '', file: true});
            } else {
                out.push({name: name, value: controlValue(e)});
            }
        }
        return out;
    }

    // The encodings, from the text a page gave (line breaks made CR LF, as browsers send them).
    function crlf(text) { return toText(text).replace(/\r\n|\r|\n/g, '\r\n'); }
    var HEX = '0123456789ABCDEF';
    function formEncode(text) {
        var bytes = utf8Bytes(crlf(text)), out = [];
        for (var k = 0; k < bytes.length; k++) {
            var b = bytes[k];
            if ((b >= 0x30 && b <= 0x39) || (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || b === 0x2A || b === 0x2D ||
                b === 0x2E || b === 0x5F) out.push(String.fromCharCode(b));
            else if (b === 0x20) out.push('+');
            else out.push('%' + HEX.charAt(b >> 4) + HEX.charAt(b & 15));
        }
        return out.join('');
    }
    function urlEncoded(entries) {
        var out = [];
        for (var k = 0; k < entries.length; k++) out.push(formEncode(entries[k].name) + '=' + formEncode(entries[k].value));
        return out.join('&');
    }
    function textPlain(entries) {
        var out = [];
        for (var k = 0; k < entries.length; k++) out.push(crlf(entries[k].name) + '=' + crlf(entries[k].value) + '\r\n');
        return out.join('');
    }
    var BOUNDARY_CHARS = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789AB';
    function formBoundary() {
        var s = '----WebKitFormBoundary';
        for (var k = 0; k < 16; k++) s += BOUNDARY_CHARS.charAt(Math.floor(Math.random() * 64));
        return s;
    }
    function multipart(entries, boundary) {
        var out = [];
        function quoted(text) { return crlf(text).replace(/"/g, '%22').replace(/\r/g, '%0D').replace(/\n/g, '%0A'); }
        for (var k = 0; k < entries.length; k++) {
            var e = entries[k];
            out.push('--' + boundary + '\r\nContent-Disposition: form-data; name="' + quoted(e.name) + '"' +
                (e.file ? '; filename="' + quoted(e.value) + '"\r\nContent-Type: application/octet-stream' : '') +
                '\r\n\r\n' + (e.file ? '' : crlf(e.value)) + '\r\n');
        }
        out.push('--' + boundary + '--\r\n');
        return out.join('');
    }

    // An address relative to `base`, as the browser resolves it.
    function resolveAddress(text, base) {
        text = toText(text).replace(/^[\t\n\f\r ]+|[\t\n\f\r ]+$/g, '').replace(/[\t\n\r]/g, '');
        if (/^[a-zA-Z][a-zA-Z0-9+.\-]*:/.test(text)) return parseAddress(text).href;
        var b = parseAddress(base);
        if (!b.host && b.origin === 'null') return text === '' ? b.href : text;
        var top = b.protocol + '//' + b.host;
        if (text.substring(0, 2) === '//') return parseAddress(b.protocol + text).href;
        if (text === '') return top + b.pathname + b.search;
        if (text.charAt(0) === '#') return top + b.pathname + b.search + text;
        if (text.charAt(0) === '?') return top + b.pathname + text;
        var tail = /^([^?#]*)(.*)$/.exec(text), path = tail[1];
        if (path.charAt(0) !== '/') path = b.pathname.replace(/[^\/]*$/, '') + path;
        var parts = path.split('/'), kept = [];
        for (var k = 0; k < parts.length; k++) {
            var p = parts[k], last = k === parts.length - 1;
            if (p === '..' || p === '%2e%2e' || p === '.%2e' || p === '%2e.') {
                if (kept.length > 1) kept.pop();
                if (last) kept.push('');
            } else if (p === '.' || p === '%2e') {
                if (last) kept.push('');
            } else {
                kept.push(p);
            }
        }
        path = kept.join('/');
        if (path.charAt(0) !== '/') path = '/' + path;
        return top + percentEncodeAddress(path + tail[2]);
    }
    // Characters an address cannot hold as they are, written as UTF-8 escapes.
    function percentEncodeAddress(text) {
        return text.replace(/[^\x21\x23-\x3B\x3D\x3F-\x5F\x61-\x7E]+/g, function (run) {
            var bytes = utf8Bytes(run), out = '';
            for (var k = 0; k < bytes.length; k++) out += '%' + HEX.charAt(bytes[k] >> 4) + HEX.charAt(bytes[k] & 15);
            return out;
        });
    }

    // The form's reflected settings, with a submitter's own (formaction…) before them. A
    // script of the old target sets them as plain members (form.action = …); the
    // attributes keep those members in step.
    function formSetting(form, submitter, name) {
        var own = submitter && submitter !== form ? submitter.getAttribute('form' + name) : null;
        if (own !== null) return own;
        return typeof form[name] === 'string' ? form[name] : form.getAttribute(name);
    }
    function formAction(form, submitter) {
        var a = formSetting(form, submitter, 'action');
        return a === null || a === '' ? locationHref : resolveAddress(a, locationHref);
    }
    function formMethod(form, submitter) {
        var m = toText(formSetting(form, submitter, 'method') || '').toLowerCase();
        return m === 'post' || m === 'dialog' ? m : 'get';
    }
    function formEnctype(form, submitter) {
        var t = toText(formSetting(form, submitter, 'enctype') || '').toLowerCase();
        return t === 'multipart/form-data' || t === 'text/plain' ? t : 'application/x-www-form-urlencoded';
    }

    function SubmitEvent(type, init) {
        Event.call(this, type, init);
        if (init && init.submitter) this.submitter = init.submitter;
    }
    subclass(SubmitEvent, Event);

    // The page's forms as they stand.
    accessor(document, 'forms', function () { return byTag(document, 'form'); }, noop);

    // A FormData's entries; sent as a request's body, it is the multipart text a browser
    // would send.
    function FormDataList(entries) { this.list = entries || []; }
    FormDataList.prototype.toString = function () { return multipart(this.list, formBoundary()); };

    // Submits `form` as sent by `submitter` (or by a script: the form itself). A request
    // (requestSubmit, a button) first fires "submit", which a listener may cancel; submit()
    // fires nothing. A form already sending is not sent again from its own listeners.
    function submitForm(form, submitter, withEvent) {
        if (form.__submitting) return;
        if (withEvent && !flag(form, 'noValidate', 'novalidate') && !(submitter && submitter.getAttribute('formnovalidate') !== null) &&
            !checkForm(form)) return;
        if (withEvent) {
            var e = new SubmitEvent('submit', {bubbles: true, cancelable: true, submitter: submitter || null});
            if (!submitter) e.submitter = null;
            e.isTrusted = true;
            form.__submitting = true;
            var go;
            try {
                go = dispatch(form, e);
            } finally {
                form.__submitting = false;
            }
            if (!go) return;
        }
        var method = formMethod(form, submitter);
        // A dialog's form closes its dialog; nothing is requested.
        if (method === 'dialog') return;
        var entries = formEntries(form, submitter), address = formAction(form, submitter), type = formEnctype(form, submitter);
        var target = toText(formSetting(form, submitter, 'target') || ''), via = '表单' + (target && target !== '_self' ? '，目标 ' + target : '');
        if (method === 'get') {
            var hash = address.indexOf('#'), keep = hash < 0 ? '' : address.substring(hash);
            if (hash >= 0) address = address.substring(0, hash);
            if (/^(https?|ftp|file):/i.test(address)) address = address.replace(/\?.*$/, '') + '?' + urlEncoded(entries) + keep;
            else address += keep;
            line('表单提交（未发送）：GET ' + address + '（' + via + '）');
            return;
        }
        var body;
        if (type === 'multipart/form-data') {
            var boundary = formBoundary();
            body = multipart(entries, boundary);
            type += '; boundary=' + boundary;
        } else {
            body = type === 'text/plain' ? textPlain(entries) : urlEncoded(entries);
        }
        line('表单提交（未发送）：POST ' + address + ' 正文：' + body + '（' + via + '，' + type + '）');
    }
    function submitterError(form, submitter, what) {
        if (!isSubmitButton(submitter)) return new TypeError("Failed to " + what + ": The specified element is not a submit button.");
        if (formOf(submitter) !== form) return domError('NotFoundError', "Failed to " + what + ": The specified element is not owned by this form element.");
        return null;
    }
    // A form's own members (the page objects'; Chrome's face shows them as its interface's).
    var formMethods = {
        submit: function () { submitForm(this, null, false); },
        requestSubmit: function (submitter) {
            if (submitter !== undefined && submitter !== null) {
                var bad = submitterError(this, submitter, "execute 'requestSubmit' on 'HTMLFormElement'");
                if (bad) throw bad;
            }
            submitForm(this, submitter || null, true);
        },
        reset: function () {
            var e = new Event('reset', {bubbles: true, cancelable: true});
            e.isTrusted = true;
            if (!dispatch(this, e)) return;
            var controls = formControls(this);
            for (var k = 0; k < controls.length; k++) {
                var c = controls[k];
                if (c.tagName === 'SELECT') {
                    var all = optionsOf(c);
                    for (var n = 0; n < all.length; n++) all[n].selected = all[n].getAttribute('selected') !== null;
                } else if (c.tagName === 'TEXTAREA') {
                    c.value = c.defaultValue === undefined ? '' : c.defaultValue;
                } else if (c.tagName === 'INPUT') {
                    c.checked = c.getAttribute('checked') !== null;
                    var v = c.getAttribute('value');
                    c.value = v === null ? (controlType(c) === 'checkbox' || controlType(c) === 'radio' ? 'on' : '') : v;
                }
            }
        },
        checkValidity: function () { return checkForm(this); },
        reportValidity: function () { return checkForm(this); },
        item: function (n) { var c = formControls(this); return n >= 0 && n < c.length ? c[n] : null; },
        namedItem: function (name) {
            var c = formControls(this);
            name = toText(name);
            for (var k = 0; k < c.length; k++) if (c[k].id === name || c[k].getAttribute('name') === name) return c[k];
            return null;
        }
    };
    // What a click does: on the element clicked or, for a click that bubbles, the nearest
    // one around it that acts (a button, a submit, reset, checkbox or radio input). A
    // checkbox or radio changes before the listeners run and changes back when one
    // cancels; a button acts after them, unless cancelled.
    var CLICK_INPUTS = wordSet('submit image reset button checkbox radio');
    function activationTarget(event, path) {
        if (!(event instanceof MouseEvent)) return null;
        for (var k = 0; k < path.length && (k === 0 || event.bubbles); k++) {
            var e = path[k];
            if (e.tagName === 'BUTTON' || (e.tagName === 'INPUT' && CLICK_INPUTS[controlType(e)] === true)) return isDisabled(e) ? null : e;
        }
        return null;
    }
    function radioGroup(e) {
        var name = typeof e.name === 'string' ? e.name : e.getAttribute('name'), form = formOf(e), root = e, out = [];
        if (!name) return [e];
        while (root.parentNode) root = root.parentNode;
        findAll(root, function (x) {
            return x.tagName === 'INPUT' && controlType(x) === 'radio' && formOf(x) === form &&
                (typeof x.name === 'string' ? x.name : x.getAttribute('name')) === name;
        }, out, false);
        if (root === e) out.push(e);
        return out;
    }
    function beforeClick(e) {
        var type = e.tagName === 'INPUT' ? controlType(e) : '';
        if (type === 'checkbox') {
            var was = e.checked === true;
            e.checked = !was;
            return {was: was};
        }
        if (type !== 'radio') return null;
        var group = radioGroup(e), before = null;
        for (var k = 0; k < group.length; k++) if (group[k].checked === true) before = group[k];
        for (k = 0; k < group.length; k++) group[k].checked = group[k] === e;
        return {was: before};
    }
    function afterClick(e, event, undo) {
        var type = controlType(e), form = formOf(e);
        if (type === 'checkbox' || type === 'radio') {
            if (event.defaultPrevented) {
                if (type === 'checkbox') e.checked = undo.was;
                else {
                    e.checked = false;
                    if (undo.was) undo.was.checked = true;
                }
            } else if (type === 'checkbox' || undo.was !== e) {
                fire(e, 'input', true);
                fire(e, 'change', true);
            }
            return;
        }
        if (event.defaultPrevented || !form) return;
        if (type === 'submit' || type === 'image') submitForm(form, e, true);
        else if (type === 'reset') form.reset();
    }

    // A control a page marked required and left empty: the form is not sent, and the
    // control hears "invalid". (The other constraints are not checked.)
    function flag(e, member, attribute) {
        return typeof e[member] === 'boolean' ? e[member] : e.getAttribute(attribute) !== null;
    }
    var NEVER_MISSING = wordSet('hidden submit image reset button range color');
    function valueMissing(e) {
        if (!flag(e, 'required', 'required') || isDisabled(e)) return false;
        if (e.tagName === 'TEXTAREA') return !flag(e, 'readOnly', 'readonly') && controlValue(e) === '';
        if (e.tagName === 'SELECT') {
            var chosen = selectedOptions(e), first = optionsOf(e)[0];
            var single = !flag(e, 'multiple', 'multiple') && !(parseInt(e.getAttribute('size'), 10) > 1);
            if (!chosen.length) return true;
            return single && chosen[0] === first && first.parentNode === e && optionValue(first) === '';
        }
        if (e.tagName !== 'INPUT') return false;
        var type = controlType(e);
        if (type === 'checkbox') return e.checked !== true;
        if (type === 'radio') {
            var group = radioGroup(e);
            for (var k = 0; k < group.length; k++) if (group[k].checked === true) return false;
            return true;
        }
        if (NEVER_MISSING[type] === true || flag(e, 'readOnly', 'readonly')) return false;
        return type === 'file' || controlValue(e) === '';
    }
    function checkForm(form) {
        var controls = formControls(form), valid = true;
        for (var k = 0; k < controls.length; k++) {
            if (!valueMissing(controls[k])) continue;
            valid = false;
            var e = new Event('invalid', {cancelable: true});
            e.isTrusted = true;
            dispatch(controls[k], e);
        }
        return valid;
    }

    // ---- audio rendered offline: the same signal every run ------------------------------
    // Oscillators, gains and a compressor computed sample by sample. Where the user's
    // profile holds the samples their Chrome rendered for a graph (the common fingerprint
    // graphs), a page rendering that same graph gets those samples; a profile that holds
    // only the sum of the common fingerprint has the rendering scaled to give it.
    // Each parameter keeps the range Chrome gives it (a float's whole range unless said).
    function AudioParam(value, min, max) {
        this.value = this.defaultValue = value;
        this.minValue = min === undefined ? -3.4028234663852886e38 : min;
        this.maxValue = max === undefined ? 3.4028234663852886e38 : max;
        this.automationRate = 'a-rate';
    }
    AudioParam.prototype.setValueAtTime = function (v) { this.value = Number(v); return this; };
    AudioParam.prototype.linearRampToValueAtTime = AudioParam.prototype.exponentialRampToValueAtTime = AudioParam.prototype.setValueAtTime;
    AudioParam.prototype.setTargetAtTime = AudioParam.prototype.setValueAtTime;
    AudioParam.prototype.cancelScheduledValues = AudioParam.prototype.cancelAndHoldAtTime = function () { return this; };
    AudioParam.prototype.setValueCurveAtTime = AudioParam.prototype.cancelScheduledValues;
    function AudioNode() { illegal(); }
    subclass(AudioNode, EventTarget);
    AudioNode.prototype.connect = function (node) {
        if (node && node.__inputs) node.__inputs.push(this);
        return node;
    };
    AudioNode.prototype.disconnect = function () {};
    function audioNode(Type, ctx) {
        var n = inherit(Type.prototype);
        n.context = ctx;
        n.__inputs = [];
        n.numberOfInputs = 1;
        n.numberOfOutputs = 1;
        n.channelCount = 2;
        n.channelCountMode = 'max';
        n.channelInterpretation = 'speakers';
        return n;
    }
    function OscillatorNode() { illegal(); }
    subclass(OscillatorNode, AudioNode);
    OscillatorNode.prototype.onended = null;
    OscillatorNode.prototype.start = function (when) { this.__start = Number(when) || 0; };
    OscillatorNode.prototype.stop = function (when) { this.__stop = Number(when) || 0; };
    // A source that plays a buffer (silence while it has none).
    function AudioBufferSourceNode() { illegal(); }
    subclass(AudioBufferSourceNode, AudioNode);
    AudioBufferSourceNode.prototype.onended = null;
    AudioBufferSourceNode.prototype.start = function (when, offset) {
        this.__start = Number(when) || 0;
        this.__offset = Number(offset) || 0;
    };
    AudioBufferSourceNode.prototype.stop = function (when) { this.__stop = Number(when) || 0; };
    function GainNode() { illegal(); }
    subclass(GainNode, AudioNode);
    function DynamicsCompressorNode() { illegal(); }
    subclass(DynamicsCompressorNode, AudioNode);
    function AudioDestinationNode() { illegal(); }
    subclass(AudioDestinationNode, AudioNode);
    function AudioBuffer() { illegal(); }
    AudioBuffer.prototype.getChannelData = function (c) { return this.__channels[c]; };
    AudioBuffer.prototype.copyFromChannel = function (target, c, offset) {
        var from = this.__channels[c], o = offset || 0;
        for (var k = 0; k < target.length && k + o < from.length; k++) target[k] = from[k + o];
    };
    function sampleOf(node, i, rate, memo) {
        if (own(memo, node.__id)) return memo[node.__id];
        var sum = 0, k, v;
        for (k = 0; k < node.__inputs.length; k++) sum += sampleOf(node.__inputs[k], i, rate, memo);
        var t = i / rate;
        if (node instanceof OscillatorNode) {
            v = 0;
            if (node.__start !== undefined && t >= node.__start && (node.__stop === undefined || t < node.__stop)) {
                var f = node.frequency.value * Math.pow(2, node.detune.value / 1200), p = (f * (t - node.__start)) % 1;
                v = node.type === 'square' ? (p < 0.5 ? 1 : -1) : node.type === 'sawtooth' ? 2 * p - 1 :
                    node.type === 'triangle' ? (p < 0.25 ? 4 * p : p < 0.75 ? 2 - 4 * p : 4 * p - 4) : Math.sin(2 * Math.PI * p);
            }
        } else if (node instanceof AudioBufferSourceNode) {
            v = 0;
            var played = node.buffer;
            if (played && node.__start !== undefined && t >= node.__start && (node.__stop === undefined || t < node.__stop)) {
                var at = Math.floor((t - node.__start + node.__offset) * played.sampleRate * node.playbackRate.value);
                if (node.loop && played.length) at %= played.length;
                if (at >= 0 && at < played.length) v = played.__channels[0][at];
            }
        } else if (node instanceof GainNode) {
            v = sum * node.gain.value;
        } else if (node instanceof DynamicsCompressorNode) {
            // A static curve with a soft knee, its gain smoothed by attack and release.
            var level = Math.abs(sum) > 1e-9 ? 20 * Math.log(Math.abs(sum)) / Math.LN10 : -200;
            var th = node.threshold.value, knee = node.knee.value, ratio = node.ratio.value, over = level - th, out;
            if (2 * over < -knee) out = level;
            else if (2 * Math.abs(over) <= knee) out = level + (1 / ratio - 1) * (over + knee / 2) * (over + knee / 2) / (2 * Math.max(knee, 1e-9));
            else out = th + over / ratio;
            var target = Math.pow(10, (out - level) / 20), tau = target < node.__gain ? node.attack.value : node.release.value;
            node.__gain += (target - node.__gain) * (1 - Math.exp(-1 / (Math.max(tau, 1e-6) * rate)));
            node.reduction = 20 * Math.log(node.__gain) / Math.LN10;
            // Make-up gain as Chrome's compressor adds it: the curve's loss at full scale,
            // given back to the power 0.6.
            var full = 2 * (0 - th) < -knee ? 0 : 2 * Math.abs(0 - th) <= knee ? (1 / ratio - 1) * (knee / 2 - th) * (knee / 2 - th) / (2 * Math.max(knee, 1e-9)) : th - th / ratio;
            v = sum * node.__gain * Math.pow(Math.pow(10, -full / 20), 0.6);
        } else {
            v = sum;
        }
        memo[node.__id] = v;
        return v;
    }
    function OfflineAudioContext(channels, length, sampleRate) {
        if (channels && typeof channels === 'object') {
            length = channels.length;
            sampleRate = channels.sampleRate;
            channels = channels.numberOfChannels || 1;
        }
        this.length = Number(length) >>> 0;
        this.sampleRate = Number(sampleRate) || 44100;
        this.__channels = Number(channels) >>> 0 || 1;
        this.state = 'suspended';
        this.currentTime = 0;
        this.oncomplete = this.onstatechange = null;
        this.__nodes = 0;
        this.destination = audioNode(AudioDestinationNode, this);
        this.destination.maxChannelCount = this.__channels;
        this.destination.numberOfOutputs = 0;
        this.destination.__id = 0;
    }
    subclass(OfflineAudioContext, EventTarget);
    function node(ctx, Type) {
        var n = audioNode(Type, ctx);
        n.__id = ++ctx.__nodes;
        return n;
    }
    OfflineAudioContext.prototype.createOscillator = function () {
        var o = node(this, OscillatorNode);
        o.type = 'sine';
        o.frequency = new AudioParam(440, -this.sampleRate / 2, this.sampleRate / 2);
        o.detune = new AudioParam(0, -153600, 153600);
        o.numberOfInputs = 0;
        return o;
    };
    OfflineAudioContext.prototype.createBufferSource = function () {
        var b = node(this, AudioBufferSourceNode);
        b.buffer = null;
        b.playbackRate = new AudioParam(1, -3.4028234663852886e38, 3.4028234663852886e38);
        b.detune = new AudioParam(0, -3.4028234663852886e38, 3.4028234663852886e38);
        b.loop = false;
        b.loopStart = b.loopEnd = 0;
        b.numberOfInputs = 0;
        return b;
    };
    OfflineAudioContext.prototype.createGain = function () {
        var g = node(this, GainNode);
        g.gain = new AudioParam(1);
        return g;
    };
    OfflineAudioContext.prototype.createDynamicsCompressor = function () {
        var c = node(this, DynamicsCompressorNode);
        c.threshold = new AudioParam(-24, -100, 0);
        c.knee = new AudioParam(30, 0, 40);
        c.ratio = new AudioParam(12, 1, 20);
        c.attack = new AudioParam(0.003, 0, 1);
        c.release = new AudioParam(0.25, 0, 1);
        c.reduction = 0;
        c.__gain = 1;
        return c;
    };
    OfflineAudioContext.prototype.resume = function () { return Promise.resolve(); };
    OfflineAudioContext.prototype.suspend = OfflineAudioContext.prototype.resume;
    function OfflineAudioCompletionEvent(type, init) {
        Event.call(this, type, init);
        this.renderedBuffer = init && init.renderedBuffer ? init.renderedBuffer : null;
    }
    subclass(OfflineAudioCompletionEvent, Event);
    // The graph a context renders, as the collector writes it down: a chain from one source
    // to the destination ("triangle 10000 0 0 > compressor -50 40 12 0 0.25"), or null for
    // any other shape.
    function graphOf(ctx) {
        var parts = [], n = ctx.destination, f = Math.fround;
        while (n.__inputs.length === 1) {
            n = n.__inputs[0];
            if (n instanceof OscillatorNode) {
                if (n.__inputs.length || n.__start === undefined || n.__stop !== undefined) return null;
                parts.unshift(n.type + ' ' + f(n.frequency.value) + ' ' + f(n.detune.value) + ' ' + n.__start);
                return parts.join(' > ');
            }
            if (n instanceof DynamicsCompressorNode) {
                parts.unshift('compressor ' + [f(n.threshold.value), f(n.knee.value), f(n.ratio.value), f(n.attack.value),
                    f(n.release.value)].join(' '));
            } else if (n instanceof GainNode) {
                parts.unshift('gain ' + f(n.gain.value));
            } else {
                return null;
            }
        }
        return null;
    }
    var renders = null;
    function recordedRenders() {
        if (renders === null) {
            var list = profile.audio && profile.audio.renders;
            renders = [];
            if (list && typeof list.length === 'number') {
                for (var k = 0; k < list.length; k++) {
                    var r = list[k];
                    if (r && typeof r.graph === 'string' && typeof r.samples === 'string' && typeof r.sampleRate === 'number')
                        renders.push({graph: r.graph, sampleRate: r.sampleRate, samples: r.samples, data: null});
                }
            }
        }
        return renders;
    }
    // The recorded samples of the browser the profile describes for the context's graph, or
    // null. Rendering is causal, so a shorter context gets the start of a longer recording;
    // past its end the recording's last period of the oscillator repeats.
    function recordedRender(ctx) {
        var list = recordedRenders(), graph = list.length ? graphOf(ctx) : null, k;
        if (graph === null) return null;
        for (k = 0; k < list.length; k++) if (list[k].graph === graph && list[k].sampleRate === ctx.sampleRate) break;
        if (k === list.length) return null;
        var r = list[k];
        if (r.data === null) {
            var bytes;
            try { bytes = atob(r.samples); } catch (e) { return null; }
            var view = new DataView(new ArrayBuffer(bytes.length - bytes.length % 4));
            for (var b = 0; b < view.byteLength; b++) view.setUint8(b, bytes.charCodeAt(b));
            r.data = new Float32Array(view.byteLength / 4);
            for (b = 0; b < r.data.length; b++) r.data[b] = view.getFloat32(b * 4, true);
        }
        var have = r.data, out = new Float32Array(ctx.length), count = Math.min(have.length, ctx.length);
        if (!have.length) return null;
        out.set(have.subarray(0, count));
        if (ctx.length > have.length) {
            var f = Number(graph.split(' ')[1]) / ctx.sampleRate, period = have.length;
            for (var p = 1; p <= have.length; p++) {
                if (Math.abs(p * f - Math.round(p * f)) < 1e-9) { period = p; break; }
            }
            for (k = have.length; k < ctx.length; k++) out[k] = have[have.length - period + (k - have.length) % period];
        }
        return out;
    }
    // A context renders once; the samples come at once, the buffer a task later, as the
    // complete event and the promise give it.
    OfflineAudioContext.prototype.startRendering = function () {
        if (this.state !== 'suspended') {
            return Promise.reject(domError('InvalidStateError', "Failed to execute 'startRendering' on 'OfflineAudioContext': cannot call startRendering more than once"));
        }
        var ctx = this, buffer = inherit(AudioBuffer.prototype), data = recordedRender(this), k;
        if (data === null) {
            data = new Float32Array(this.length);
            for (k = 0; k < this.length; k++) data[k] = sampleOf(this.destination, k, this.sampleRate, {});
        }
        var wanted = profile.audio && typeof profile.audio.sum === 'number' && !recordedRenders().length ? profile.audio.sum : null;
        if (wanted !== null && this.length >= 5000) {
            var have = 0;
            for (k = 4500; k < 5000; k++) have += Math.abs(data[k]);
            if (have > 0) for (k = 0; k < this.length; k++) data[k] *= wanted / have;
        }
        buffer.__channels = [data];
        for (k = 1; k < this.__channels; k++) buffer.__channels.push(new Float32Array(data));
        buffer.length = this.length;
        buffer.sampleRate = this.sampleRate;
        buffer.duration = this.length / this.sampleRate;
        buffer.numberOfChannels = this.__channels;
        this.state = 'running';
        return new Promise(function (resolve) {
            setTimeout(function () {
                ctx.state = 'closed';
                ctx.currentTime = buffer.duration;
                dispatch(ctx, new OfflineAudioCompletionEvent('complete', {renderedBuffer: buffer}));
                resolve(buffer);
            }, 0);
        });
    };

    // ---- media queries ----------------------------------------------------------------
    // A query list is read as Chrome reads it and answered from the profile's screen and
    // window; what it prints back is Chrome's form of it ("not all" for a query it cannot read).

    function MediaQueryList() { illegal(); }
    subclass(MediaQueryList, EventTarget);
    // The page never changes its size or settings, so a list's answer never changes.
    MediaQueryList.prototype.addListener = function (fn) { if (fn) this.addEventListener('change', fn); };
    MediaQueryList.prototype.removeListener = function (fn) { if (fn) this.removeEventListener('change', fn); };

    // The answers of the features that are a keyword, and of the numbers not sizes.
    var mediaKeywords = {'prefers-color-scheme': 'light', 'prefers-reduced-motion': 'no-preference',
        'prefers-reduced-transparency': 'no-preference', 'prefers-reduced-data': 'no-preference',
        'prefers-contrast': 'no-preference', 'color-gamut': 'srgb', 'dynamic-range': 'standard',
        'video-dynamic-range': 'standard', 'forced-colors': 'none', hover: 'hover', 'any-hover': 'hover',
        pointer: 'fine', 'any-pointer': 'fine', 'display-mode': 'browser', scripting: 'enabled', update: 'fast',
        'overflow-block': 'scroll', 'overflow-inline': 'scroll', scan: 'progressive'};
    // What a keyword feature's boolean form answers ("none" and "no-preference" read as false).
    var mediaOff = {none: 1, 'no-preference': 1};
    var gamuts = {srgb: 1, p3: 2, rec2020: 3};
    var lengthUnits = {px: 1, em: 16, rem: 16, pt: 4 / 3, pc: 16, 'in': 96, cm: 96 / 2.54, mm: 96 / 25.4, q: 96 / 101.6};
    var resolutionUnits = {dppx: 1, x: 1, dpi: 1 / 96, dpcm: 2.54 / 96};
    // The features that take min-/max-, with how their values read: a length, a ratio,
    // a resolution or a plain number.
    var rangeFeatures = {width: 'l', height: 'l', 'device-width': 'l', 'device-height': 'l', 'aspect-ratio': 'r',
        'device-aspect-ratio': 'r', resolution: 'd', color: 'n', 'color-index': 'n', monochrome: 'n', grid: 'n',
        '-webkit-device-pixel-ratio': 'n', '-webkit-transform-3d': 'n'};
    function mediaValue(feature) {
        var sw = screenValues.width, sh = screenValues.height;
        switch (feature) {
        case 'width': return names.innerWidth;
        case 'height': return names.innerHeight;
        case 'device-width': return sw;
        case 'device-height': return sh;
        case 'aspect-ratio': return names.innerWidth / names.innerHeight;
        case 'device-aspect-ratio': return sw / sh;
        case 'resolution': case '-webkit-device-pixel-ratio': return names.devicePixelRatio;
        case 'color': return screenValues.colorDepth / 3;
        case '-webkit-transform-3d': return 1;
        default: return 0;
        }
    }
    function cssNumber(text) {
        return /^[+-]?(\d+\.?\d*|\.\d+)(e[+-]?\d+)?$/i.test(text) ? parseFloat(text) : null;
    }
    // A value of `kind` as {value, text} (its number and Chrome's form of it), or null.
    function readMediaValue(kind, text) {
        var m, n, d;
        if (kind !== 'r' && /^calc\(/i.test(text)) return readCalc(kind, text);
        if (kind === 'r') {
            m = /^([^\/]+?)\s*(?:\/\s*(.+))?$/.exec(text);
            n = m ? cssNumber(m[1]) : null;
            d = m && m[2] !== undefined ? cssNumber(m[2]) : 1;
            if (n === null || d === null || n < 0 || d < 0) return null;
            return {value: n / d, text: String(n) + ' / ' + String(d)};
        }
        m = /^([+-]?(?:\d+\.?\d*|\.\d+)(?:e[+-]?\d+)?)([a-z]*)$/i.exec(text);
        if (!m) return null;
        n = parseFloat(m[1]);
        var unit = m[2].toLowerCase();
        if (kind === 'n') return unit ? null : {value: n, text: String(n)};
        var units = kind === 'l' ? lengthUnits : resolutionUnits;
        if (!unit && !(kind === 'l' && n === 0)) return null;
        if (unit && !own(units, unit)) return null;
        return {value: unit ? n * units[unit] : 0, text: String(n) + unit};
    }
    // A calc() value of `kind` (not a ratio): absolute lengths fold into px and
    // resolutions into dppx; font-relative lengths stay terms of their own, listed after
    // the plain number and in the order of their units' names. Null where it is not one.
    function readCalc(kind, text) {
        var at = 0, failed = false, units = kind === 'l' ? lengthUnits : kind === 'd' ? resolutionUnits : {};
        var folded = kind === 'l' ? 'px' : kind === 'd' ? 'dppx' : '';
        function space() { while (at < text.length && /\s/.test(text.charAt(at))) at++; }
        function fail() { failed = true; return {}; }
        function combine(a, b, sign) {
            var out = {}, k;
            for (k in a) out[k] = a[k];
            for (k in b) out[k] = (out[k] || 0) + sign * b[k];
            return out;
        }
        function plain(v) {
            for (var k in v) if (k !== '') return null;
            return v[''] || 0;
        }
        function scale(v, by) {
            var out = {};
            for (var k in v) out[k] = v[k] * by;
            return out;
        }
        function term() {
            space();
            var m, out = {};
            if (text.charAt(at) === '(' || /^calc\(/i.test(text.substring(at))) {
                at = text.indexOf('(', at) + 1;
                var inner = sum();
                space();
                if (text.charAt(at) !== ')') return fail();
                at++;
                return inner;
            }
            m = /^([+-]?(?:\d+\.?\d*|\.\d+)(?:e[+-]?\d+)?)([a-z%]*)/i.exec(text.substring(at));
            if (!m) return fail();
            at += m[0].length;
            var unit = m[2].toLowerCase(), n = parseFloat(m[1]);
            if (unit === '') out[''] = n;
            else if (!own(units, unit)) return fail();
            else if (kind === 'l' && (unit === 'em' || unit === 'rem')) out[unit] = n;
            else out[folded] = n * units[unit];
            return out;
        }
        function product() {
            var v = term();
            for (;;) {
                var before = at;
                space();
                var op = text.charAt(at);
                if (failed || (op !== '*' && op !== '/')) {
                    at = before;
                    return v;
                }
                at++;
                var w = term(), a = plain(v), b = plain(w);
                if (op === '*' && b !== null) v = scale(v, b);
                else if (op === '*' && a !== null) v = scale(w, a);
                else if (op === '/' && b !== null && b !== 0) v = scale(v, 1 / b);
                else return fail();
            }
        }
        function sum() {
            var v = product();
            for (;;) {
                // A sum's signs stand between spaces.
                var before = at;
                space();
                var op = text.charAt(at);
                if (failed || (op !== '+' && op !== '-') || at === before || !/\s/.test(text.charAt(at + 1))) {
                    at = before;
                    return v;
                }
                at++;
                v = combine(v, product(), op === '+' ? 1 : -1);
            }
        }
        var v = sum();
        space();
        if (failed || at !== text.length) return null;
        var keys = [], value = 0, parts = [];
        for (var key in v) keys.push(key);
        keys.sort();
        if (kind === 'n' ? plain(v) === null : has('') || !keys.length) return null;
        function has(k) { return own(v, k) && (keys.length === 1 || v[k] !== 0); }
        for (var n = 0; n < keys.length; n++) {
            var k = keys[n];
            value += v[k] * (k === '' ? 1 : k === folded ? 1 : units[k]);
            if (keys.length > 1 && v[k] === 0) continue;
            parts.push((parts.length ? (v[k] < 0 ? ' - ' : ' + ') + String(Math.abs(v[k])) : String(v[k])) + k);
        }
        return {value: value, text: 'calc(' + parts.join('') + ')'};
    }
    // One parenthesised feature test: {text, matches}; a test Chrome cannot read keeps its
    // text and matches nothing.
    function mediaFeature(group) {
        var inner = group.substring(1, group.length - 1).replace(/^\s+|\s+$/g, ''), m, name, kind, v, cmp;
        var unknown = {text: group, matches: false};
        if ((m = /^([a-z-]+)$/i.exec(inner))) {
            name = m[1].toLowerCase();
            if (own(mediaKeywords, name)) return {text: '(' + name + ')', matches: !own(mediaOff, mediaKeywords[name])};
            if (own(rangeFeatures, name)) return {text: '(' + name + ')', matches: mediaValue(name) !== 0};
            return unknown;
        }
        if ((m = /^([a-z-]+)\s*(<=|>=|<|>|=)\s*(.+)$/i.exec(inner))) {
            // The range form: (width > 100px).
            name = m[1].toLowerCase();
            kind = rangeFeatures[name];
            v = own(rangeFeatures, name) ? readMediaValue(kind, m[3]) : null;
            if (!v) return unknown;
            var x = mediaValue(name), op = m[2];
            cmp = op === '<' ? x < v.value : op === '>' ? x > v.value : op === '<=' ? x <= v.value : op === '>=' ? x >= v.value : x === v.value;
            return {text: '(' + name + ' ' + op + ' ' + v.text + ')', matches: cmp};
        }
        if (!(m = /^([a-z-]+)\s*:\s*(.+)$/i.exec(inner))) return unknown;
        name = m[1].toLowerCase();
        var value = m[2], prefix = '', base = name;
        if ((m = /^(-webkit-)?(min|max)-(.*)$/.exec(name))) {
            prefix = m[2];
            base = (m[1] || '') + m[3];
        }
        if (own(rangeFeatures, base)) {
            v = readMediaValue(rangeFeatures[base], value);
            if (!v) return unknown;
            var have = mediaValue(base), want = v.value, close = Math.abs(have - want) < 1e-9;
            cmp = prefix === 'min' ? have >= want || close : prefix === 'max' ? have <= want || close : close;
            return {text: '(' + name + ': ' + v.text + ')', matches: cmp};
        }
        if (prefix) return unknown;
        value = value.toLowerCase();
        if (!/^[a-z-]+$/.test(value)) return unknown;
        var text = '(' + name + ': ' + value + ')';
        if (name === 'orientation') return {text: text, matches: value === (names.innerHeight >= names.innerWidth ? 'portrait' : 'landscape')};
        if (name === 'color-gamut') return {text: text, matches: own(gamuts, value) && gamuts[value] <= gamuts[mediaKeywords[name]]};
        if (own(mediaKeywords, name)) return {text: text, matches: mediaKeywords[name] === value};
        return unknown;
    }
    // One query: {text, matches}, or null where Chrome reads it as "not all".
    function mediaQuery(text) {
        var words = [], n = 0, depth, start;
        while (n < text.length) {
            var c = text.charAt(n);
            if (/\s/.test(c)) { n++; continue; }
            start = n;
            if (c === '(') {
                for (depth = 0; n < text.length; n++) {
                    if (text.charAt(n) === '(') depth++;
                    else if (text.charAt(n) === ')' && --depth === 0) break;
                }
                if (depth !== 0) return null;
                words.push(text.substring(start, ++n));
            } else {
                while (n < text.length && !/[\s()]/.test(text.charAt(n))) n++;
                if (start === n) return null;
                words.push(text.substring(start, n).toLowerCase());
            }
        }
        if (!words.length) return null;
        var at = 0, not = false, only = false, type = null, parts = [], matches = true, joiner = null;
        if (words[0] === 'not' || words[0] === 'only') {
            not = words[0] === 'not';
            only = !not;
            at = 1;
        }
        if (at < words.length && words[at].charAt(0) !== '(') {
            type = words[at++];
            if (!/^[a-z][a-z0-9-]*$/.test(type) || /^(and|or|not|only|layer)$/.test(type)) return null;
            if (at < words.length && words[at++] !== 'and') return null;
            if (at === words.length && words[at - 1] === 'and') return null;
        } else if (only) {
            return null;
        }
        for (; at < words.length; at++) {
            if (parts.length) {
                var w = words[at];
                if ((w !== 'and' && w !== 'or') || (type !== null && w === 'or') || (joiner && w !== joiner)) return null;
                joiner = w;
                if (++at === words.length) return null;
            }
            if (words[at].charAt(0) !== '(') return null;
            var f = mediaFeature(words[at]);
            parts.push(f.text);
            matches = joiner === 'or' ? matches || f.matches : (parts.length === 1 ? f.matches : matches && f.matches);
        }
        if (type === null && !parts.length) return null;
        if (type !== null) matches = matches && (type === 'all' || type === 'screen');
        var out = (not ? 'not ' : only ? 'only ' : '');
        if (type !== null && (type !== 'all' || not || only || !parts.length)) out += type + (parts.length ? ' and ' : '');
        out += parts.join(' ' + (joiner || 'and') + ' ');
        return {text: out, matches: not ? !matches : matches};
    }
    // A query list: Chrome's form of it and whether any of its queries matches.
    function mediaList(text) {
        var queries = [], depth = 0, start = 0, n;
        if (/^\s*$/.test(text)) return {media: '', matches: true};
        for (n = 0; n <= text.length; n++) {
            var c = text.charAt(n);
            if (c === '(') depth++;
            else if (c === ')') depth--;
            else if (n === text.length || (c === ',' && depth <= 0)) {
                queries.push(text.substring(start, n));
                start = n + 1;
            }
        }
        var media = [], matches = false;
        for (n = 0; n < queries.length; n++) {
            var q = mediaQuery(queries[n]);
            media.push(q ? q.text : 'not all');
            if (q && q.matches) matches = true;
        }
        return {media: media.join(', '), matches: matches};
    }

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
        UIEvent: UIEvent, MouseEvent: MouseEvent, PointerEvent: PointerEvent, KeyboardEvent: KeyboardEvent, DOMParser: DOMParser,
        CanvasRenderingContext2D: CanvasRenderingContext2D, CanvasGradient: CanvasGradient, TextMetrics: TextMetrics, ImageData: ImageData,
        WebGLRenderingContext: WebGLRenderingContext, WebGL2RenderingContext: WebGL2RenderingContext,
        WebGLShaderPrecisionFormat: WebGLShaderPrecisionFormat,
        Window: Window, Navigator: Navigator, Document: Document, HTMLDocument: HTMLDocument, Location: Location,
        Screen: Screen, History: History, Storage: Storage, Crypto: Crypto, Node: Node, Element: Element,
        HTMLElement: HTMLElement, HTMLCanvasElement: HTMLCanvasElement, HTMLImageElement: HTMLImageElement,
        HTMLScriptElement: HTMLScriptElement, NodeList: NodeList, HTMLCollection: HTMLCollection,
        CharacterData: CharacterData, Text: Text, Comment: Comment, DocumentFragment: DocumentFragment, DocumentType: DocumentType,
        DOMImplementation: DOMImplementation,
        Plugin: Plugin, PluginArray: PluginArray, MimeType: MimeType, MimeTypeArray: MimeTypeArray,
        innerWidth: config.innerWidth, innerHeight: config.innerHeight, outerWidth: config.screenWidth,
        outerHeight: config.screenHeight - config.taskbarHeight, screenX: 0, screenY: 0, screenLeft: 0, screenTop: 0,
        pageXOffset: 0, pageYOffset: 0, scrollX: 0, scrollY: 0, devicePixelRatio: 1, name: '', closed: false,
        length: 0, opener: null, frameElement: null, isSecureContext: location.protocol === 'https:',
        origin: location.origin, onload: null, onerror: null
    };
    var pw = profile.window || {};
    for (m in pw) if (own(pw, m) && own(names, m) && typeof pw[m] === 'number') names[m] = pw[m];
    if (hasHost && host.profileRefused) line('浏览器资料不是有效的 JSON，已改用内置资料');
    // What the host already has is kept where it is a service of its own (a caller's
    // own console, timers or codecs); the page's objects are always these.
    var services = {console: 1, setTimeout: 1, setInterval: 1, clearTimeout: 1, clearInterval: 1, atob: 1, btoa: 1,
        crypto: 1, performance: 1, Event: 1, CustomEvent: 1, EventTarget: 1, XMLHttpRequest: 1};
    if (hasHost) copyOwn(global, names);
    else for (m in names) {
        if (!own(names, m)) continue;
        if (!own(services, m) || global[m] === undefined) global[m] = names[m];
    }
    if (modern) {
        var modernNames = {TextEncoder: TextEncoder, TextDecoder: TextDecoder};
        if (typeof Promise === 'function') {
            modernNames.OfflineAudioContext = OfflineAudioContext;
            modernNames.AudioBuffer = AudioBuffer;
            modernNames.AudioParam = AudioParam;
            modernNames.AudioNode = AudioNode;
            modernNames.OscillatorNode = OscillatorNode;
            modernNames.AudioBufferSourceNode = AudioBufferSourceNode;
            modernNames.GainNode = GainNode;
            modernNames.DynamicsCompressorNode = DynamicsCompressorNode;
        }
        if (typeof Promise === 'function') {
            modernNames.fetch = function (input, init) {
                var address = typeof input === 'object' && input !== null && input.url ? input.url : toText(input);
                recordRequest(toText(init && init.method ? init.method : 'GET').toUpperCase(), address, init ? init.body : undefined, 'fetch');
                return Promise.reject(new TypeError('Failed to fetch'));
            };
        }
        if (hasHost) copyOwn(global, modernNames);
        else for (m in modernNames) if (own(modernNames, m) && global[m] === undefined) global[m] = modernNames[m];
    }
    accessor(global, 'location', function () { return location; }, function (v) { navigate('href', v); });
    nullHandlers(HTMLElement.prototype);
    nullHandlers(document, ['readystatechange', 'visibilitychange', 'selectionchange', 'fullscreenchange']);
    nullHandlers(global, ['beforeunload', 'unload', 'hashchange', 'popstate', 'message', 'storage', 'online', 'offline',
        'pagehide', 'pageshow', 'languagechange', 'messageerror', 'rejectionhandled', 'unhandledrejection']);
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
    global.getComputedStyle = function (e, pseudo) { return cssNatives ? cssKit(true).computed(e, pseudo) : {getPropertyValue: function () { return ''; }}; };
    global.matchMedia = function (query) {
        var list = inherit(MediaQueryList.prototype), read = mediaList(toText(query));
        list.media = read.media;
        list.matches = read.matches;
        list.onchange = null;
        return list;
    };
    global.open = function (address) { navigate('open', address === undefined ? '' : address); return null; };
    global.close = global.focus = global.blur = global.scrollTo = global.scrollBy = noop;
    global.postMessage = noop;

    // ---- frames -----------------------------------------------------------------------
    // A frame's window answers with the page's values (its navigator reads the page's;
    // screen and constructors are the page's own), a blank document of its own, and the
    // page as its parent and top. Its address is never loaded.
    function connected(node) {
        for (var p = node; p; p = p.parentNode) if (p === document) return true;
        return false;
    }
    var frameShared = ['screen', 'history', 'localStorage', 'sessionStorage', 'console', 'atob', 'btoa',
        'setTimeout', 'setInterval', 'clearTimeout', 'clearInterval', 'requestAnimationFrame', 'cancelAnimationFrame',
        'crypto', 'performance', 'alert', 'confirm', 'prompt', 'getComputedStyle', 'matchMedia', 'innerWidth',
        'innerHeight', 'outerWidth', 'outerHeight', 'devicePixelRatio', 'isSecureContext', 'origin',
        'Object', 'Function', 'Array', 'String', 'Number', 'Boolean', 'Symbol', 'Math', 'JSON', 'Date', 'RegExp', 'Error',
        'TypeError', 'Promise', 'Map', 'Set', 'WeakMap', 'Proxy', 'Reflect', 'parseInt', 'parseFloat', 'isNaN', 'isFinite',
        'encodeURIComponent', 'decodeURIComponent', 'escape', 'unescape', 'eval', 'Uint8Array', 'ArrayBuffer',
        'TextEncoder', 'TextDecoder', 'Event', 'CustomEvent', 'MouseEvent', 'PointerEvent', 'KeyboardEvent', 'EventTarget', 'Node',
        'Element', 'HTMLElement', 'Document', 'HTMLDocument', 'Window', 'Navigator', 'XMLHttpRequest', 'Image', 'fetch'];
    // The windows of the document's frames, in document order.
    function frameWindows() {
        var out = [];
        findAll(document, function (e) { return e.localName === 'iframe' || e.localName === 'frame'; }, out, false);
        for (var n = 0; n < out.length; n++) out[n] = frameWindow(out[n]);
        return out;
    }
    function frameWindow(frame) {
        if (!connected(frame)) return null;
        if (frame.__window) return frame.__window;
        var w = inherit(Window.prototype), k;
        for (k = 0; k < frameShared.length; k++) if (global[frameShared[k]] !== undefined) w[frameShared[k]] = global[frameShared[k]];
        // Its own navigator object, with the page's values.
        w.navigator = inherit(navigator);
        w.window = w.self = w.frames = w;
        // Its viewport is the frame's box.
        accessor(w, 'innerWidth', function () { return boxOf(frame).width; }, noop);
        accessor(w, 'innerHeight', function () { return boxOf(frame).height; }, noop);
        w.parent = global;
        w.top = global.top;
        w.frameElement = frame;
        w.opener = null;
        w.length = 0;
        w.name = toText(frame.getAttribute('name') || '');
        w.closed = false;
        w.document = implementation.createHTMLDocument('');
        w.document.defaultView = w;
        w.document.URL = w.document.documentURI = 'about:blank';
        w.document.readyState = 'complete';
        var where = inherit(Location.prototype), p = parseAddress('about:blank');
        for (k in p) if (own(p, k)) where[k] = p[k];
        where.toString = function () { return 'about:blank'; };
        w.location = w.document.location = where;
        w.addEventListener = EventTarget.prototype.addEventListener;
        w.removeEventListener = EventTarget.prototype.removeEventListener;
        w.dispatchEvent = EventTarget.prototype.dispatchEvent;
        w.postMessage = noop;
        nullHandlers(w);
        // The language's built-ins of a realm of its own, where the workbench makes one.
        if (hostHas('frameRealm')) w.__realm = host.frameRealm();
        frame.__window = w;
        return w;
    }

    // ---- the page's own HTML ---------------------------------------------------------
    // Built into the document; its scripts then run in document order in this global,
    // each as document.currentScript, and the load's events follow.

    var writing = null, scriptDepth = 0;
    function setTree(doc, html) {
        var old = doc.childNodes;
        for (var n = 0; n < old.length; n++) old[n].parentNode = old[n].parentElement = null;
        doc.childNodes = [];
        treeNodes(host.parseHtml(html, null), doc, doc);
        relink(doc);
        doc.doctype = doc.documentElement = doc.head = doc.body = null;
        for (n = 0; n < doc.childNodes.length; n++) {
            var c = doc.childNodes[n];
            if (c.nodeType === 10) doc.doctype = c;
            else if (c.nodeType === 1) doc.documentElement = c;
        }
        var top = doc.documentElement ? doc.documentElement.childNodes : [];
        for (n = 0; n < top.length; n++) {
            if (top[n].localName === 'head' && !doc.head) doc.head = top[n];
            else if ((top[n].localName === 'body' || top[n].localName === 'frameset') && !doc.body) doc.body = top[n];
        }
        var title = byTag(doc, 'title');
        doc.title = title.length ? textOf(title[0]).replace(/[\t\n\f\r ]+/g, ' ').replace(/^ | $/g, '') : '';
    }
    function DOMParser() {}
    DOMParser.prototype.parseFromString = function (text, type) {
        var d = implementation.createHTMLDocument('');
        if (hostHas('parseHtml')) setTree(d, toText(text));
        else replaceChildren(d.body, text, false);
        d.contentType = type === undefined ? 'text/html' : toText(type);
        return d;
    };
    var HEAD_CONTENT = wordSet('base basefont bgsound link meta title noscript noframes style script template');
    var scriptTypes = wordSet(' text/javascript application/javascript text/ecmascript application/ecmascript text/jscript text/livescript');
    function runPageScripts(scripts) {
        if (++scriptDepth > 20) {
            scriptDepth--;
            return;
        }
        for (var k = 0; k < scripts.length; k++) {
            var el = scripts[k], type = toText(el.getAttribute('type') || '').toLowerCase().replace(/^\s+|\s+$/g, '');
            if (scriptTypes[type] !== true || el.__ran) continue;
            el.__ran = true;
            var src = el.getAttribute('src'), code, name, startLine = 1, startColumn = 0;
            if (src !== null) {
                code = host.readLocal(src);
                name = src;
                if (code === null) {
                    line('页面脚本缺失（未执行）：' + src);
                    continue;
                }
            } else {
                code = textOf(el);
                // One from the page's text counts its lines as the page's; one written
                // while the page loads has lines of its own.
                if (el.__line > 0) {
                    name = 'inline-' + (++inlineCount);
                    startLine = el.__line;
                    startColumn = el.__column;
                } else {
                    name = 'written-' + (++writtenCount);
                }
            }
            writing = {parent: el.parentNode, before: el.nextSibling};
            document.currentScript = el;
            try {
                host.runScript(code, name, startLine, startColumn);
            } catch (e) {
                uncaught(e);
                var place = host.errorPlace();
                if (place) line('错误所在：' + place);
            }
            document.currentScript = null;
            writing = null;
        }
        scriptDepth--;
    }
    var inlineCount = 0, writtenCount = 0, pageLoaded = false;
    // The page's own scripts run once the global shows what they look for: at once
    // in the old target, after Chrome's interfaces in the modern one (the
    // environment calls loadPage then).
    function loadPage() {
        if (!hasHost || typeof host.page !== 'string' || pageLoaded) return;
        pageLoaded = true;
        setTree(document, host.page);
        document.readyState = 'loading';
        document.scripts = byTag(document, 'script');
        document.forms = byTag(document, 'form');
        document.images = byTag(document, 'img');
        document.links = listOf(byTag(document, 'a'), HTMLCollection);
        var pageScripts = [];
        for (i = 0; i < document.scripts.length; i++) pageScripts.push(document.scripts[i]);
        runPageScripts(pageScripts);
        document.scripts = byTag(document, 'script');
        document.readyState = 'interactive';
        fire(document, 'readystatechange', false);
        fire(document, 'DOMContentLoaded', true);
        document.readyState = 'complete';
        fire(document, 'readystatechange', false);
        fire(global, 'load', false, document);
    }
    if (!hasHost || host.target !== 'es2021') loadPage();

    // The workbench runs the queued timers after every load and evaluation.
    if (hasHost) host.timers(runTimers);

    // What the modern target's interfaces are made over.
    return {config: config, window: global, document: document, navigator: navigator, location: location, screen: screen,
        profile: profile, loadPage: loadPage, handlerOf: handlerSets ? handlerOf : null, setHandler: handlerSets ? setHandler : null,
        compileHandlersWith: behindFace ? compileHandlersWith : null,
        createElement: createElement, canvasContext: canvasContext, replaceChildren: replaceChildren, frames: frameWindows,
        addresses: {parse: parseAddress, resolve: resolveAddress},
        types: {Event: Event, CustomEvent: CustomEvent, EventTarget: EventTarget, NodeList: NodeList,
            HTMLCollection: HTMLCollection, Node: Node, Element: Element, HTMLElement: HTMLElement, CharacterData: CharacterData,
            Text: Text, Comment: Comment, DocumentFragment: DocumentFragment, Document: Document, HTMLDocument: HTMLDocument,
            DOMImplementation: DOMImplementation, Location: Location, Navigator: Navigator, Plugin: Plugin, MimeType: MimeType,
            PluginArray: PluginArray, MimeTypeArray: MimeTypeArray, Screen: Screen, History: History, Storage: Storage,
            Crypto: Crypto, XMLHttpRequest: XMLHttpRequest, TextEncoder: TextEncoder, TextDecoder: TextDecoder,
            Window: Window, UIEvent: UIEvent, MouseEvent: MouseEvent, PointerEvent: PointerEvent, KeyboardEvent: KeyboardEvent, DOMParser: DOMParser,
            DocumentType: DocumentType, HTMLCanvasElement: HTMLCanvasElement, FontFaceSet: FontFaceSet,
            CanvasRenderingContext2D: CanvasRenderingContext2D, CanvasGradient: CanvasGradient, TextMetrics: TextMetrics,
            ImageData: ImageData, WebGLRenderingContext: WebGLRenderingContext, WebGL2RenderingContext: WebGL2RenderingContext,
            WebGLShaderPrecisionFormat: WebGLShaderPrecisionFormat, OfflineAudioContext: OfflineAudioContext,
            WebGLBuffer: WebGLBuffer, WebGLShader: WebGLShader, WebGLProgram: WebGLProgram, WebGLTexture: WebGLTexture,
            WebGLFramebuffer: WebGLFramebuffer, WebGLRenderbuffer: WebGLRenderbuffer,
            WebGLUniformLocation: WebGLUniformLocation, WebGLActiveInfo: WebGLActiveInfo,
            AudioBuffer: AudioBuffer, AudioParam: AudioParam, AudioNode: AudioNode, OscillatorNode: OscillatorNode,
            AudioBufferSourceNode: AudioBufferSourceNode,
            GainNode: GainNode, DynamicsCompressorNode: DynamicsCompressorNode, AudioDestinationNode: AudioDestinationNode,
            OfflineAudioCompletionEvent: OfflineAudioCompletionEvent, SubmitEvent: SubmitEvent,
            MediaQueryList: MediaQueryList, DOMRectReadOnly: DOMRectReadOnly, DOMRect: DOMRect, DOMRectList: DOMRectList},
        forms: {entries: formEntries, controls: formControls, formOf: formOf, controlType: controlType, action: formAction,
            method: formMethod, enctype: formEnctype, submitterError: submitterError, data: FormDataList,
            selected: selectedOptions, options: optionsOf, optionValue: optionValue, optionText: optionText}, listOf: listOf,
        domErrors: function (make) { makeDomError = make; }, watchTypes: function (fn) { typesWatcher = fn; },
        traversal: traversal, layoutChanged: layoutChanged, treeVersion: function () { return layoutVersion; },
        watchFrames: function (fn) { framesWatcher = fn; }, setText: setText, onUncaught: function (fn) { uncaughtHook = fn; },
        localResources: function (fn) { localResources = fn; }, recordRequest: recordRequest, performanceMark: function (name, options) {
            return timeline().mark(name, options, "construct 'PerformanceMark'", false);
        }};
})(function () { return this; }(), null,
    // 第三个参数：控制台的脚本（console.js），装入时接在这里
    /* console.js */ null);

// Chrome's face of the page objects, for the modern target. The interfaces come from the
// table of Web IDL facts (interfaces.txt); this script turns a line of it into a
// constructor, a prototype in the chain, accessors and operations, all native functions,
// when a script first names the interface. The page objects themselves (the page tree,
// cookies, timers, requests) stay the environment's; a script holds only wrappers, and a
// wrapper reaches its page object through the records here, never through a property.
(function (global, host, native, kit) {
    'use strict';

    var getProto = Object.getPrototypeOf, setProto = Object.setPrototypeOf, define = Object.defineProperty;
    var create = Object.create, hasOwn = Object.prototype.hasOwnProperty, arraySlice = Array.prototype.slice;
    var ArrayValues = Array.prototype.values, WeakMapGet = WeakMap.prototype.get;
    // The language's reflection as it was when the page's objects were made: a page may
    // replace Reflect or Proxy, never for the page objects' own work.
    var reflect = {apply: Reflect.apply, construct: Reflect.construct, defineProperty: Reflect.defineProperty,
        deleteProperty: Reflect.deleteProperty, get: Reflect.get, getOwnPropertyDescriptor: Reflect.getOwnPropertyDescriptor,
        has: Reflect.has, ownKeys: Reflect.ownKeys, set: Reflect.set}, ProxyOf = Proxy;
    var config = kit.config;

    // A function's caller as V8 reads it: null for the page's constructors (interfaces and
    // the named ones such as Image), which V8 makes as it makes a sloppy function; every
    // other built-in's reading fails as before.
    var pageConstructors = new WeakSet(), hasPageConstructor = WeakSet.prototype.has;
    (function () {
        var d = reflect.getOwnPropertyDescriptor(Function.prototype, 'caller');
        if (!d || typeof d.get !== 'function' || !d.configurable) return;
        var engineCaller = d.get;
        reflect.defineProperty(Function.prototype, 'caller', {
            get: native(function () {
                return reflect.apply(hasPageConstructor, pageConstructors, [this]) ? null : reflect.apply(engineCaller, this, []);
            }, 'get caller', 0, false),
            set: d.set, enumerable: d.enumerable, configurable: true});
    })();

    // ---- the table ----------------------------------------------------------------

    // What the table says of a name (the workbench keeps the table, indexed, for every page).
    var entries = create(null);
    function entry(name) {
        var e = entries[name];
        if (e === undefined) e = entries[name] = host.entry(name);
        return e;
    }
    function isInterface(name) {
        var e = entry(name);
        return e !== '' && e.charAt(1) !== ' ';
    }
    // One interface's facts, parsed when first wanted.
    var facts = create(null);
    function factsOf(name) {
        if (facts[name]) return facts[name];
        if (!isInterface(name)) return null;
        // The workbench reads the table once for the process and gives a page the facts
        // without the members (members null, byName empty; for the global interface,
        // unforgeable null too), each member asked for when first made (memberOf), and
        // without the constants (consts null), which host.makeInterface makes.
        var read = typeof host.facts === 'function' ? host.facts(name) : undefined;
        if (read) return (facts[name] = read);
        return (facts[name] = readFacts(name));
    }
    // Every member of the interface's prototype; for the global interface, every member
    // the global has of its own.
    function membersOf(f) {
        if (f.members === null) {
            var all = host.facts(f.name, true);
            f.members = all.members;
            f.unforgeable = all.unforgeable;
            for (var n = 0; n < f.members.length; n++) f.byName[f.members[n].name] = f.members[n];
        }
        return f.members;
    }
    function globalMembersOf(f) {
        membersOf(f);
        return f.unforgeable;
    }
    // The prototype's member `name`, or undefined.
    function memberOf(f, name) {
        if (f.flags.G) return undefined;
        if (f.members === null && !(name in f.byName)) f.byName[name] = host.member(f.name, name);
        return f.byName[name];
    }
    // The global's own member `name` (of the global interface's facts), or undefined.
    var ownMembers = create(null);
    function globalMemberOf(f, name) {
        if (f.members === null) {
            if (!(name in ownMembers)) ownMembers[name] = host.member(f.name, name);
            return ownMembers[name];
        }
        for (var n = 0; n < f.unforgeable.length; n++) if (f.unforgeable[n].name === name) return f.unforgeable[n];
        return undefined;
    }
    // The facts as the script itself reads them from the table's line (outside the workbench).
    function readFacts(name) {
        var text = entry(name);
        var bar = text.indexOf(' |'), head = text.substring(0, bar).split(' ');
        var f = {name: name, parent: head[1] === '-' ? null : head[1], flags: create(null), length: 0, constructible: false,
            factories: [], stringifier: null, members: [], statics: [], consts: [], unforgeable: [], byName: create(null)};
        head[2].split(',').forEach(function (flag) {
            if (flag === '-') return;
            if (flag.charAt(0) === 'c') { f.constructible = true; f.length = Number(flag.substring(1)); }
            else if (flag.charAt(0) === 'F') { var p = flag.substring(1).split('/'); f.factories.push({name: p[0], length: Number(p[1])}); }
            else if (flag.charAt(0) === 'S') f.stringifier = flag.substring(1);
            else f.flags[flag] = true;
        });
        var tokens = text.substring(bar + 3).split(' ');
        tokens.forEach(function (t) {
            if (t === '') return;
            var m = {name: '', kind: '', type: 'a', length: 0, isStatic: false, unforgeable: false, writable: false};
            while (t.charAt(0) === '*' || t.charAt(0) === '!') {
                if (t.charAt(0) === '*') m.isStatic = true; else m.unforgeable = true;
                t = t.substring(1);
            }
            var at;
            if ((at = t.indexOf('/')) > 0) {
                m.kind = 'op';
                m.name = t.substring(0, at);
                m.length = parseInt(t.substring(at + 1), 10);
                m.promised = t.charAt(t.length - 1) === 'p';
            }
            else if ((at = t.indexOf(':')) > 0) { m.kind = 'const'; m.name = t.substring(0, at); m.value = Number(t.substring(at + 1)); }
            else if ((at = t.search(/[~=]/)) > 0) { m.kind = 'attr'; m.name = t.substring(0, at); m.writable = t.charAt(at) === '='; m.type = t.substring(at + 1); }
            else return;
            if (m.kind === 'const') f.consts.push(m);
            else if (m.isStatic) f.statics.push(m);
            else if (m.unforgeable || f.flags.G) f.unforgeable.push(m);
            else {
                f.members.push(m);
                f.byName[m.name] = m;
            }
        });
        return f;
    }

    // ---- records: wrapper → page object, page object → wrapper ---------------------

    var records = new WeakMap(), wrappers = new WeakMap();
    var marshalled = new WeakMap(), originals = new WeakMap();
    var lazyHandlers = new WeakMap();   // a handler attribute's function → its compilation, until first read or run
    // (document.all is an object whose typeof says "undefined": ask the map, not typeof.)
    function recordOf(o) { return records.get(o); }

    // A member the page has in name only goes to the access record, as a missing one would.
    function hollow(r, member) {
        var object = r.impl === kit.window ? '' : watchedNames[r.iface.name];
        if (object !== undefined) host.hollow(object, member);
    }
    // The window's members called without a receiver act on the window; outside the
    // workbench (where a host may show scripts another face of its global) so does any
    // receiver that is no page object.
    // A member called with no object (a bare call in a page's script) acts on the
    // global, wherever in the chain it is defined.
    function isGlobalThis(self) {
        return self === undefined || self === null || (host.eager === true && !records.has(self) && typeof self === 'object');
    }
    function illegalInvocation() { return new TypeError('Illegal invocation'); }
    function brand(self, iface) {
        var r = recordOf(self);
        if (!r || !r.iface.ancestors[iface]) throw illegalInvocation();
        return r;
    }
    function argumentsRequired(what, iface, need, have) {
        return new TypeError("Failed to " + what + " '" + iface + "': " + need + ' argument' + (need > 1 ? 's' : '') +
            ' required, but only ' + have + ' present.');
    }

    // What a page object shows a script, and back.
    var kinds = new WeakMap();      // page object → interface, where its class does not say
    var implTypes = new Map();      // page object's prototype → interface (see fillImplTypes)
    var implTypesFilled = false, mapSet = Map.prototype.set;
    function kindOf(impl) {
        var k = kinds.get(impl);
        if (k) return k;
        if (impl.nodeType === 1 && typeof impl.localName === 'string') {
            var space = impl.namespaceURI;
            if (space === SVG_SPACE) return svgKind(impl.localName);
            if (space === MATHML_SPACE) return 'MathMLElement';
            return space === HTML_SPACE ? elementKind(impl.localName) : 'Element';
        }
        if (!implTypesFilled) fillImplTypes();
        for (var p = getProto(impl); p && p !== Object.prototype; p = getProto(p)) {
            k = implTypes.get(p);
            if (k) return k;
        }
        return null;
    }
    function wrap(v) {
        if (v === null || (typeof v !== 'object' && typeof v !== 'function')) return v;
        if (v === kit.window) return global;
        var w = wrappers.get(v);
        if (w !== undefined) return w;
        if (typeof v === 'function') return originals.get(v) || v;
        var kind = kindOf(v);
        return kind ? wrapNew(v, kind) : v;
    }
    function unwrap(v) {
        var r = records.get(v);
        if (r) return r.impl;
        if (v === null || (typeof v !== 'object' && typeof v !== 'function')) return v;
        if (typeof v === 'function') return marshal(v);
        return v;
    }
    // A script's function as the page objects call it: it sees wrappers, never page objects.
    function marshal(fn) {
        var m = marshalled.get(fn);
        if (m) return m;
        m = function () {
            var args = [];
            for (var n = 0; n < arguments.length; n++) args.push(wrap(arguments[n]));
            return reflect.apply(fn, wrap(this), args);
        };
        marshalled.set(fn, m);
        originals.set(m, fn);
        return m;
    }
    function unwrapAll(list) {
        var out = [];
        for (var n = 0; n < list.length; n++) out.push(unwrap(list[n]));
        return out;
    }

    // ---- interfaces ---------------------------------------------------------------

    var made = create(null), protoSpecs = new WeakMap(), makingMember = false;
    // A prototype's member `name`, made now; every member when `name` is undefined.
    function makeMember(proto, name) {
        var spec = protoSpecs.get(proto);
        if (!spec || makingMember) return false;
        makingMember = true;
        try {
            var f = spec.facts, list = name === undefined ? membersOf(f) : [memberOf(f, name)], any = false;
            for (var n = 0; n < list.length; n++) {
                var m = list[n];
                if (!m || spec.made[m.name]) continue;
                spec.made[m.name] = true;
                defineMember(proto, spec.name, m, false);
                any = true;
            }
            return any;
        } finally {
            makingMember = false;
        }
    }
    function defineValue(o, name, value, enumerable, writable, configurable) {
        define(o, name, {value: value, writable: writable, enumerable: enumerable, configurable: configurable});
    }
    function defaultOf(type) {
        return type === 's' ? '' : type === 'n' ? 0 : type === 'b' ? false : type === 'o' ? null : undefined;
    }
    // The behaviour behind a member: written by hand below where the page objects need
    // help, otherwise the page object's own member of the same name.
    var behaviours = create(null);
    function behaviour(iface, name) { return behaviours[iface + '.' + name]; }
    // With the trace on, the members are made traced: each access is reported with
    // this label (a kind letter, then the name a script knows the object by).
    var traced = host.tracing === true;
    // In the workbench, untraced, the workbench makes the interfaces' objects and their
    // prototypes' members itself (see memberWork); elsewhere this script does.
    var madeByWorkbench = !traced && typeof host.makeInterface === 'function';
    var traceNames = {Window: 'window', Navigator: 'navigator', Document: 'document', HTMLDocument: 'document',
        Location: 'location', Screen: 'screen', History: 'history', Performance: 'performance'};
    function traceLabel(kind, iface, member, global_) {
        return traced ? kind + ' ' + (global_ ? 'window' : traceNames[iface] || iface) + '.' + member : undefined;
    }
    // An onX member reads and sets the page object's handler where it has one.
    function handlerName(m) {
        return kit.handlerOf && m.name.charAt(0) === 'o' && m.name.charAt(1) === 'n' ? m.name.substring(2) : null;
    }
    // Each member's work is a plain function (…Work); the page sees it through a native
    // wrapper, made here or by the workbench (memberWork below).
    function getter(iface, m, global_) {
        return native(getterWork(iface, m, global_), 'get ' + m.name, 0, false, traceLabel('g', iface, m.name, global_));
    }
    function getterWork(iface, m, global_) {
        var own = behaviour(iface, 'get ' + m.name), handler = own ? null : handlerName(m);
        return function () {
            var r = brand((global_ && isGlobalThis(this)) || this === undefined || this === null ? scopeGlobal() : this, iface);
            if (own) return own.call(r.impl, r, this);
            if (handler !== null) {
                var h = kit.handlerOf(r.impl, handler);
                if (h !== undefined) {
                    var lazy = h !== null ? lazyHandlers.get(h) : undefined;
                    if (lazy !== undefined) lazy();
                    return wrap(h);
                }
            }
            var v = r.impl[m.name];
            if (v === undefined && !(m.name in r.impl)) {
                hollow(r, m.name);
                return defaultOf(m.type);
            }
            return wrap(v);
        };
    }
    function setter(iface, m, global_) {
        return native(setterWork(iface, m, global_), 'set ' + m.name, 1, false, traceLabel('s', iface, m.name, global_));
    }
    var layoutChanged = kit.layoutChanged || null;
    function setterWork(iface, m, global_) {
        var own = behaviour(iface, 'set ' + m.name), handler = own ? null : handlerName(m);
        return function (value) {
            var self = (global_ && isGlobalThis(this)) || this === undefined || this === null ? scopeGlobal() : this;
            var r = brand(self, iface);
            if (arguments.length < 1) throw argumentsRequired('set the', m.name + "' property on '" + iface, 1, 0);
            // (What the layout worked out may not hold after any write.)
            if (layoutChanged !== null) layoutChanged();
            if (own) return void own.call(r.impl, value, r, self);
            if (handler !== null && kit.setHandler(r.impl, handler, unwrap(value))) return;
            r.impl[m.name] = unwrap(value);
        };
    }
    function operation(iface, m, global_, statics) {
        return native(operationWork(iface, m, global_, statics), m.name, m.length, false, traceLabel('c', iface, m.name, global_));
    }
    function operationWork(iface, m, global_, statics) {
        var own = behaviour(iface, (statics ? 'static ' : '') + m.name), name = m.name, need = m.length;
        function run(self, args) {
            var r = statics ? null : brand((global_ && isGlobalThis(self)) || self === undefined || self === null ? scopeGlobal() : self, iface);
            var n = args.length;
            if (n < need) throw argumentsRequired('execute', name + "' on '" + iface, need, n);
            if (own) return own.apply(r ? r.impl : null, [r].concat(arraySlice.call(args)));
            var impl = r && r.impl, f = impl && impl[name];
            if (typeof f !== 'function') {
                if (r) hollow(r, name);
                if (m.promised) return Promise.reject(domException('NotSupportedError', 'The operation is not supported.'));
                return undefined;
            }
            // (The page object sees as many arguments as the script gave.)
            if (n === 0) return wrap(f.call(impl));
            if (n === 1) return wrap(f.call(impl, unwrap(args[0])));
            if (n === 2) return wrap(f.call(impl, unwrap(args[0]), unwrap(args[1])));
            return wrap(f.apply(impl, unwrapAll(args)));
        }
        // An operation that returns a promise reports every failure through it (a wrong
        // receiver with the operation's name, as Chrome words it there).
        return m.promised ? function () {
            try {
                return run(this, arguments);
            } catch (e) {
                if (e instanceof TypeError && e.message === 'Illegal invocation')
                    e = new TypeError("Failed to execute '" + name + "' on '" + iface + "': Illegal invocation");
                return Promise.reject(e);
            }
        } : function () {
            return run(this, arguments);
        };
    }
    // The work behind a prototype's member the workbench made itself, asked for when the
    // member is first called. `key`: "g", "s" or "c" (get, set, call), the interface, the
    // member, its length, and its type (an attribute) or "p" for an operation that
    // returns a promise, spaced ("G", "S", "C" for the window's own members, which act
    // on the window when called without a receiver); or "n" and the interface, for its
    // constructor.
    function memberWork(key) {
        var p = key.split(' '), kind = p[0], iface = p[1];
        if (kind === 'n') return constructorWork(interfaceOf(iface));
        var global_ = kind === 'G' || kind === 'S' || kind === 'C';
        if (global_) kind = kind.toLowerCase();
        var m = {name: p[2], kind: kind === 'c' ? 'op' : 'attr', type: p[4], length: Number(p[3]), promised: p[4] === 'p'};
        return kind === 'g' ? getterWork(iface, m, global_) : kind === 's' ? setterWork(iface, m, global_) : operationWork(iface, m, global_, false);
    }
    function defineMember(o, iface, m, onInstance) {
        var global_ = o === global;
        if (m.kind === 'attr') {
            define(o, m.name, {get: getter(iface, m, global_), set: m.writable ? setter(iface, m, global_) : undefined,
                enumerable: true, configurable: !m.unforgeable});
        } else if (m.kind === 'op') {
            defineValue(o, m.name, operation(iface, m, global_, false), true, !m.unforgeable, !m.unforgeable);
        }
        return onInstance;
    }

    function interfaceOf(name) {
        if (made[name]) return made[name];
        var f = factsOf(name);
        if (!f) return null;
        var parent = f.parent ? interfaceOf(f.parent) : null;
        var spec = {name: name, facts: f, ancestors: create(parent ? parent.ancestors : null), parent: parent};
        spec.ancestors[name] = true;
        made[name] = spec;
        spec.made = create(null);
        var parentProto = parent ? parent.proto : Object.prototype, parentCtor = null, proto, ctor = null;
        for (var up = parent; up && !parentCtor; up = up.parent) parentCtor = up.ctor || null;
        if (madeByWorkbench) {
            // The workbench makes the prototype, the constructor (its work comes from
            // memberWork when first called) and the constants in one step.
            var parts = host.makeInterface(name, parentProto, parentCtor);
            proto = spec.proto = parts[0];
            ctor = spec.ctor = parts[1];
            if (ctor) pageConstructors.add(ctor);
        } else {
            proto = spec.proto = f.flags.G ? create(parentProto) : host.lazyProto(parentProto, name);
            protoSpecs.set(proto, spec);
            if (!f.flags.X) {
                ctor = spec.ctor = native(constructorWork(spec), name, f.length, true, traced ? 'n ' + name : undefined);
                pageConstructors.add(ctor);
                if (parentCtor) setProto(ctor, parentCtor);
                defineValue(ctor, 'prototype', proto, false, false, false);
                defineValue(proto, 'constructor', ctor, false, true, true);
            }
            // (The workbench's facts leave the constants to whoever makes them.)
            if (f.consts === null) f.consts = host.facts(name, true).consts;
            f.consts.forEach(function (m) {
                if (ctor) defineValue(ctor, m.name, m.value, true, false, false);
                defineValue(proto, m.name, m.value, true, false, false);
            });
        }
        // Members come when first looked for (makeMember).
        f.statics.forEach(function (m) {
            if (!ctor) return;
            if (m.kind === 'op') defineValue(ctor, m.name, operation(name, m, false, true), true, true, true);
            else {
                var get = behaviour(name, 'static get ' + m.name);
                define(ctor, m.name, {get: native(function () { return get ? get() : defaultOf(m.type); }, 'get ' + m.name, 0,
                    false, traceLabel('g', name, m.name, false)),
                    set: undefined, enumerable: true, configurable: true});
            }
        });
        if (f.flags.I || f.flags.iv) defineValue(proto, Symbol.iterator, ArrayValues, false, true, true);
        if (f.flags.ip) pairIterable(proto, name);
        if (f.flags.iv) {
            ['entries', 'keys', 'values', 'forEach'].forEach(function (k) {
                defineValue(proto, k, k === 'values' ? ArrayValues : Array.prototype[k], true, true, true);
            });
        }
        if (f.stringifier && !f.unforgeable.length) defineValue(proto, 'toString', stringifier(name, f.stringifier), true, true, true);
        // Where nothing can make members on demand (outside the workbench), all come now.
        if (host.eager) makeMember(proto, undefined);
        defineValue(proto, Symbol.toStringTag, name, false, false, true);
        // A DOMException is an Error to scripts.
        if (name === 'DOMException') setProto(proto, Error.prototype);
        return spec;
    }

    // What an interface's constructor does.
    function constructorWork(spec) {
        var f = spec.facts, name = spec.name, own = behaviour(name, 'constructor');
        return function () {
            if (!f.constructible && !(f.flags.h && new.target === undefined)) {
                throw new TypeError((new.target ? "Failed to construct '" + name + "': " : '') + 'Illegal constructor');
            }
            if (new.target === undefined) {
                throw new TypeError("Failed to construct '" + name + "': Please use the 'new' operator, this DOM object constructor cannot be called as a function.");
            }
            if (arguments.length < f.length) throw argumentsRequired('construct', name, f.length, arguments.length);
            var impl = own ? own.apply(null, arguments) : defaultImpl(spec, arguments);
            adopt(this, spec, impl);
        };
    }

    function stringifier(iface, member) {
        return native(function () {
            var r = brand(this, iface), own = behaviour(iface, 'get ' + member);
            return String(own ? own.call(r.impl, r, this) : r.impl[member]);
        }, 'toString', 0);
    }
    // An instance for `impl`: its own members are only the unforgeable ones.
    function adopt(obj, spec, impl) {
        records.set(obj, {iface: spec, impl: impl});
        wrappers.set(impl, obj);
        if (spec.forged === undefined) {
            spec.forged = false;
            for (var s = spec; s; s = s.parent) if (!s.facts.flags.G && s.facts.unforgeable.length) spec.forged = true;
        }
        for (s = spec; spec.forged && s; s = s.parent) {
            var forged = s.facts.unforgeable;
            if (s.facts.flags.G) continue;
            // (Untraced, the workbench makes them, their work given when first called.)
            if (madeByWorkbench) {
                if (forged.length) host.forge(obj, s.name);
            } else {
                for (var n = 0; n < forged.length; n++) defineMember(obj, s.name, forged[n], true);
            }
            if (s.facts.stringifier && forged.length) defineValue(obj, 'toString', stringifier(s.name, s.facts.stringifier), true, false, false);
        }
        // A location's valueOf is Object's own, made unforgeable with the rest.
        if (spec.name === 'Location') defineValue(obj, 'valueOf', Object.prototype.valueOf, false, false, false);
        return obj;
    }
    // Objects the workbench watches (reads of members they lack go to the access record).
    var watchedNames = {Navigator: 'navigator', HTMLDocument: 'document', Location: 'location', Screen: 'screen'};
    function wrapAs(impl, kind) {
        var w = wrappers.get(impl);
        return w !== undefined ? w : wrapNew(impl, kind);
    }
    // The wrapper of a page object that has none yet.
    function wrapNew(impl, kind) {
        var spec = interfaceOf(kind);
        if (!spec) return impl;
        var f = spec.facts;
        if (spec.watched === undefined) {
            spec.watched = host.create && watchedNames[kind] || null;
            spec.indexed = indexed(spec);
        }
        var frame = kind === 'Window' && typeof host.frameWindow === 'function';
        var obj = frame ? host.frameWindow(spec.proto, frameNames)
            : spec.watched !== null ? host.create(spec.proto, spec.watched) : create(spec.proto);
        if (kind === 'HTMLAllCollection') obj = host.undetectable(collection(obj, impl, spec));
        // (With the trace on, the document's members must be reached from the script
        // itself, not from a trap between: its named access waits for a traced trap.)
        else if (kind === 'HTMLDocument' && !traced) obj = namedAccess(obj, impl);
        else if (kind === 'DOMStringMap') obj = stringMap(obj, impl.element);
        else if (kind === 'CSSStyleDeclaration' && (impl.__list || impl.__computed)) obj = inlineStyle(obj, impl);
        else if (spec.indexed) {
            // A list the page made once (a search's result) keeps its items as its own;
            // a list that follows the page (children, childNodes, storage) reads through.
            if (Array.isArray(impl) || live.has(impl) || kind === 'Storage' || f.flags.N && kind !== 'HTMLCollection') obj = collection(obj, impl, spec);
            else snapshot(obj, impl);
        }
        obj = adopt(obj, spec, impl);
        // A frame's window has the global's own members as its own, and the language's
        // built-ins of its own realm.
        if (kind === 'Window') {
            // (These are made here, not by its maker.)
            var making = framesDefining;
            framesDefining = true;
            try {
                globalMembersOf(windowSpec.facts).forEach(function (m) { defineMember(obj, 'Window', m, true); });
                if (impl.__realm) {
                    clockPersona(impl.__realm);
                    builtinsOf(obj, impl.__realm);
                }
                // Each frame has a `chrome` of its own, as the page has.
                if (obj !== global && !hasOwn.call(obj, 'chrome')) defineValue(obj, 'chrome', ofRealm(chromeObject(), impl.__realm), true, true, true);
            } finally {
                framesDefining = making;
            }
            // and every other name a window gives: the page's interfaces among them (the
            // frame shares them with the page, where Chrome gives it its own). Made when
            // first named, where the workbench can.
            if (!frame) frameNames(null, obj);
        }
        return obj;
    }
    // `made` (plain objects and functions, and those they hold) as the frame's realm
    // would have made them: their prototypes are its Object's and Function's.
    function ofRealm(made, realm) {
        if (!realm) return made;
        var seen = [];
        (function move(o) {
            if (seen.indexOf(o) >= 0) return;
            seen.push(o);
            var proto = getProto(o);
            if (proto === Function.prototype) setProto(o, realm.Function.prototype);
            else if (proto === Object.prototype) setProto(o, realm.Object.prototype);
            else return;
            Object.getOwnPropertyNames(o).forEach(function (k) {
                var d = Object.getOwnPropertyDescriptor(o, k);
                if (d && 'value' in d && d.value !== null && (typeof d.value === 'object' || typeof d.value === 'function')) move(d.value);
            });
        })(made);
        return made;
    }
    function builtinsOf(win, realm) {
        Object.getOwnPropertyNames(realm).forEach(function (name) {
            if (name in win) return;
            var d = Object.getOwnPropertyDescriptor(realm, name);
            if (name === 'globalThis') d.value = win;
            define(win, name, d);
        });
    }
    // A document's forms, images, embeds, objects and frames answer by name as members of
    // the document, after the members it has: the one element of that name (a frame's
    // window for a frame), or a list of all of them.
    var namedKinds = {embed: 1, form: 1, iframe: 1, img: 1, object: 1};
    function namedOf(doc, name, all, into) {
        var found = into || [], names = all ? [] : null;
        (function walk(n) {
            for (var c = n.firstChild; c; c = c.nextSibling) {
                if (c.nodeType !== 1) continue;
                var tag = c.localName;
                if (namedKinds[tag] === 1) {
                    var own = typeof c.name === 'string' ? c.name : c.getAttribute('name'), id = c.id;
                    var ids = tag === 'object' || (tag === 'img' && own !== null && own !== '');
                    if (names) {
                        if (own) names.push(own);
                        if (ids && id) names.push(id);
                    } else if (own === name || (ids && id === name)) {
                        found.push(c);
                    }
                }
                if (c.firstChild) walk(c);
            }
        })(doc);
        if (names || into) return names;
        if (!found.length) return undefined;
        if (found.length > 1) {
            // The list follows the document, as the name's elements come and go.
            var list = {item: function (n) { var f = namedItems(doc, name); return n >= 0 && n < f.length ? f[n] : null; },
                namedItem: function () { return null; }};
            define(list, 'length', {get: function () { return namedItems(doc, name).length; }});
            kinds.set(list, 'HTMLCollection');
            live.add(list);
            return wrap(list);
        }
        var el = wrap(found[0]);
        return found[0].localName === 'iframe' ? el.contentWindow : el;
    }
    function namedItems(doc, name) {
        var found = [];
        namedOf(doc, name, false, found);
        return found;
    }
    function namedAccess(target, doc) {
        function named(k) { return typeof k === 'string' && k !== '' ? namedOf(doc, k, false) : undefined; }
        return new ProxyOf(target, {
            get: function (t, k, receiver) {
                var v = reflect.get(t, k, receiver);
                if (v !== undefined || hasOwn.call(t, k)) return v;
                v = named(k);
                return v === undefined ? undefined : v;
            },
            has: function (t, k) { return reflect.has(t, k) || named(k) !== undefined; },
            getOwnPropertyDescriptor: function (t, k) {
                var d = reflect.getOwnPropertyDescriptor(t, k);
                if (d || k in t) return d;
                var v = named(k);
                return v === undefined ? undefined : {value: v, writable: false, enumerable: true, configurable: true};
            },
            ownKeys: function (t) {
                var keys = reflect.ownKeys(t), list = namedOf(doc, '', true);
                for (var n = 0; n < list.length; n++) if (keys.indexOf(list[n]) < 0 && !(list[n] in t)) keys.push(list[n]);
                return keys;
            }
        });
    }
    // An element's dataset: its data-* attributes as camel-cased names, read and written
    // through to the attributes.
    function stringMap(target, el) {
        function attributeOf(k) {
            if (typeof k !== 'string' || k in target) return null;
            return 'data-' + k.replace(/[A-Z]/g, function (c) { return '-' + c.toLowerCase(); });
        }
        function read(k) {
            var a = attributeOf(k);
            return a !== null && hasOwn.call(el.__attributes, a) ? el.__attributes[a] : undefined;
        }
        function keys() {
            var out = [];
            Object.keys(el.__attributes).forEach(function (a) {
                if (a.indexOf('data-') === 0 && !/[A-Z]/.test(a)) {
                    out.push(a.substring(5).replace(/-([a-z])/g, function (m, c) { return c.toUpperCase(); }));
                }
            });
            return out;
        }
        return new ProxyOf(target, {
            get: function (t, k, receiver) {
                var v = read(k);
                return v !== undefined ? v : reflect.get(t, k, receiver);
            },
            has: function (t, k) { return read(k) !== undefined || reflect.has(t, k); },
            getOwnPropertyDescriptor: function (t, k) {
                var v = read(k);
                if (v !== undefined) return {value: v, writable: true, enumerable: true, configurable: true};
                return reflect.getOwnPropertyDescriptor(t, k);
            },
            ownKeys: function (t) { return keys().concat(reflect.ownKeys(t)); },
            set: function (t, k, v, receiver) {
                var a = attributeOf(k);
                if (a === null) return reflect.set(t, k, v, receiver);
                if (/-[a-z]/.test(k)) {
                    throw domException('SyntaxError', "Failed to set a named property '" + k + "' on 'DOMStringMap': '" + k +
                        "' is not a valid property name.");
                }
                el.setAttribute(a, String(v));
                return true;
            },
            defineProperty: function (t, k, d) {
                var a = attributeOf(k);
                if (a === null || !('value' in d) || /-[a-z]/.test(k)) return reflect.defineProperty(t, k, d);
                el.setAttribute(a, String(d.value));
                return true;
            },
            deleteProperty: function (t, k) {
                var a = attributeOf(k);
                if (a !== null && hasOwn.call(el.__attributes, a)) el.removeAttribute(a);
                return a !== null || reflect.deleteProperty(t, k);
            }
        });
    }
    var live = new WeakSet();
    function snapshot(obj, impl) {
        for (var n = 0; n < impl.length; n++) defineValue(obj, n, wrap(impl[n]), true, false, true);
    }
    function indexed(spec) {
        for (var s = spec; s; s = s.parent) if (s.facts.flags.I || s.facts.flags.N) return true;
        return false;
    }
    function defaultImpl(spec, args) {
        var base = spec;
        while (base && !kit.types[base.name]) base = base.parent;
        if (base && base.ancestors.Event && kit.types.Event) {
            var e = reflect.construct(kit.types[base.name] || kit.types.Event, [args[0], args[1]]);
            var init = args[1];
            if (init && typeof init === 'object') for (var k in init) if (!(k in e)) e[k] = unwrap(init[k]);
            return e;
        }
        if (base && kit.types[base.name]) return reflect.construct(kit.types[base.name], arraySlice.call(args));
        return {};
    }

    // Collections: their items are read through to the page object, so they stay live.
    function isIndex(k) {
        if (typeof k !== 'string' || k === '') return false;
        var c = k.charCodeAt(0);
        return c >= 48 && c <= 57 && String(Number(k) >>> 0) === k;
    }
    function collection(target, impl, spec) {
        var named = spec.facts.flags.N, storage = spec.name === 'Storage';
        function item(k) {
            if (isIndex(k)) {
                if (Number(k) >= impl.length) return null;
                return {value: wrap(hasOwn.call(impl, k) || typeof impl.item !== 'function' ? impl[k] : impl.item(Number(k)))};
            }
            if (storage) return hasOwn.call(impl, k) && k !== 'length' && !(k in target) ? {value: impl[k]} : null;
            if (named && typeof impl.namedItem === 'function' && !(k in target)) {
                var v = impl.namedItem(k);
                return v ? {value: wrap(v)} : null;
            }
            return null;
        }
        // Storage items used as properties go to the trace as the members do.
        var traceItem = traced && storage ? function (kind, k, v) {
            host.trace(kind + ' ' + (impl === kit.window.sessionStorage ? 'sessionStorage.' : 'localStorage.') + k, v);
        } : null;
        return new ProxyOf(target, {
            get: function (t, k, receiver) {
                var it = typeof k === 'string' ? item(k) : null;
                if (it && traceItem) traceItem('g', k, it.value);
                return it ? it.value : reflect.get(t, k, receiver);
            },
            has: function (t, k) { return (typeof k === 'string' && !!item(k)) || reflect.has(t, k); },
            getOwnPropertyDescriptor: function (t, k) {
                var it = typeof k === 'string' && !hasOwn.call(t, k) ? item(k) : null;
                if (it) return {value: it.value, writable: storage, enumerable: true, configurable: true};
                return reflect.getOwnPropertyDescriptor(t, k);
            },
            ownKeys: function (t) {
                var keys = [];
                for (var n = 0; n < impl.length; n++) keys.push(String(n));
                if (named && spec.name !== 'HTMLAllCollection') {
                    for (n = 0; n < impl.length; n++) {
                        var it = hasOwn.call(impl, n) || typeof impl.item !== 'function' ? impl[n] : impl.item(n);
                        var key = it && (it.name || it.type);
                        if (typeof key === 'string' && key !== '' && keys.indexOf(key) < 0 && !(key in t)) keys.push(key);
                    }
                }
                if (storage) for (var k in impl) if (hasOwn.call(impl, k) && k !== 'length') keys.push(k);
                return keys.concat(reflect.ownKeys(t));
            },
            set: function (t, k, v, receiver) {
                if (storage && typeof k === 'string' && !(k in t)) {
                    impl.setItem(k, v);
                    if (traceItem) traceItem('s', k, impl[k]);
                    return true;
                }
                if (isIndex(k)) return true;
                return reflect.set(t, k, v, receiver);
            },
            deleteProperty: function (t, k) {
                if (storage && typeof k === 'string' && hasOwn.call(impl, k)) {
                    impl.removeItem(k);
                    if (traceItem) traceItem('d', k, undefined);
                    return true;
                }
                return reflect.deleteProperty(t, k);
            },
            defineProperty: function (t, k, d) {
                if (storage && typeof k === 'string' && 'value' in d) { impl.setItem(k, d.value); return true; }
                return reflect.defineProperty(t, k, d);
            }
        });
    }

    // The CSS properties a style answers to: each member name ('fontSize') and dashed name
    // ('font-size') to the dashed name the declarations use.
    // (The workbench keeps the names for the process; elsewhere they are read from the
    // table's line when a style is first asked.)
    var cssNames = null, hostCss = typeof host.css === 'function' ? host.css : null, hostCssName = null;
    function cssName(k) {
        if (hostCss !== null) {
            if (hostCssName === null) hostCssName = hostCss().cssName;
            return typeof k === 'string' ? hostCssName(k) : '';
        }
        if (cssNames === null) {
            cssNames = create(null);
            var line = entry('CSSPropertyNames'), bar = line.indexOf(' | ');
            (bar < 0 ? [] : line.substring(bar + 3).split(' ')).forEach(function (member) {
                if (member === '') return;
                var dashed = member === 'cssFloat' ? 'float' : member.replace(/^webkit/, '-webkit').replace(/[A-Z]/g, function (c) {
                    return '-' + c.toLowerCase();
                });
                cssNames[member] = cssNames[dashed] = dashed;
            });
        }
        return typeof k === 'string' && cssNames[k] !== undefined ? cssNames[k] : '';
    }
    // An element's inline style: its declarations by index, and its CSS properties read and
    // written through to them ('' when unset; writing '' removes one). A computed style
    // reads the same way and refuses every write.
    function inlineStyle(target, impl) {
        function declaration(k) {
            return isIndex(k) && Number(k) < impl.length ? impl.item(Number(k)) : undefined;
        }
        return new ProxyOf(target, {
            get: function (t, k, receiver) {
                var d = declaration(k), n = d === undefined ? cssName(k) : '';
                if (d !== undefined) return d;
                return n !== '' && !hasOwn.call(t, k) ? impl.getPropertyValue(n) : reflect.get(t, k, receiver);
            },
            set: function (t, k, v, receiver) {
                if (isIndex(k)) return true;
                var n = cssName(k);
                if (n === '' || hasOwn.call(t, k)) return reflect.set(t, k, v, receiver);
                if (impl.__computed) {
                    throw domException('NoModificationAllowedError', "Failed to set the '" + k + "' property on 'CSSStyleDeclaration': " +
                        "These styles are computed, and therefore the '" + n + "' property is read-only.");
                }
                impl.setProperty(n, v === null ? '' : String(v));
                return true;
            },
            has: function (t, k) { return declaration(k) !== undefined || cssName(k) !== '' || reflect.has(t, k); },
            getOwnPropertyDescriptor: function (t, k) {
                var d = declaration(k);
                if (d !== undefined) return {value: d, writable: false, enumerable: true, configurable: true};
                return reflect.getOwnPropertyDescriptor(t, k);
            },
            ownKeys: function (t) {
                var keys = [];
                for (var n = 0; n < impl.length; n++) keys.push(String(n));
                return keys.concat(reflect.ownKeys(t));
            },
            deleteProperty: function (t, k) { return declaration(k) !== undefined ? false : reflect.deleteProperty(t, k); }
        });
    }

    // ---- elements -------------------------------------------------------------------

    var tagInterfaces = {a: 'Anchor', area: 'Area', audio: 'Audio', base: 'Base', body: 'Body', br: 'BR', button: 'Button',
        canvas: 'Canvas', data: 'Data', datalist: 'DataList', details: 'Details', dialog: 'Dialog', div: 'Div', dl: 'DList',
        embed: 'Embed', fieldset: 'FieldSet', form: 'Form', h1: 'Heading', h2: 'Heading', h3: 'Heading', h4: 'Heading',
        h5: 'Heading', h6: 'Heading', head: 'Head', hr: 'HR', html: 'Html', iframe: 'IFrame', img: 'Image', input: 'Input',
        label: 'Label', legend: 'Legend', li: 'LI', link: 'Link', map: 'Map', menu: 'Menu', meta: 'Meta', meter: 'Meter',
        del: 'Mod', ins: 'Mod', object: 'Object', ol: 'OList', optgroup: 'OptGroup', option: 'Option', output: 'Output',
        p: 'Paragraph', param: 'Param', picture: 'Picture', pre: 'Pre', listing: 'Pre', xmp: 'Pre', progress: 'Progress',
        q: 'Quote', blockquote: 'Quote', script: 'Script', select: 'Select', slot: 'Slot', source: 'Source', span: 'Span',
        style: 'Style', caption: 'TableCaption', td: 'TableCell', th: 'TableCell', col: 'TableCol', colgroup: 'TableCol',
        table: 'Table', tr: 'TableRow', thead: 'TableSection', tbody: 'TableSection', tfoot: 'TableSection',
        template: 'Template', textarea: 'TextArea', time: 'Time', title: 'Title', track: 'Track', ul: 'UList', video: 'Video',
        frameset: 'FrameSet', frame: 'Frame', font: 'Font', dir: 'Directory', marquee: 'Marquee'};
    var plainElements = ' abbr address article aside b bdi bdo cite code dd dfn dt em figcaption figure footer header hgroup i kbd main mark nav noscript rp rt ruby s samp search section small strong sub summary sup u var wbr acronym basefont big center nobr noembed noframes plaintext rb rtc strike tt ';
    // (An element's interface, once found for its name.)
    var elementKinds = create(null);
    function elementKind(localName) {
        var kind = elementKinds[localName];
        return kind !== undefined ? kind : (elementKinds[localName] = elementInterface(localName));
    }
    // An SVG element's interface: SVG + its name with a capital + Element where Chrome has
    // one (SVGSVGElement, SVGFEBlendElement, SVGTSpanElement), SVGElement otherwise.
    var SVG_SPACE = 'http://www.w3.org/2000/svg', MATHML_SPACE = 'http://www.w3.org/1998/Math/MathML';
    var HTML_SPACE = 'http://www.w3.org/1999/xhtml';
    var svgKinds = create(null), SVG_PARTS = {svg: 'SVG', tspan: 'TSpan', mpath: 'MPath'};
    function svgKind(localName) {
        var kind = svgKinds[localName];
        if (kind !== undefined) return kind;
        var part = hasOwn.call(SVG_PARTS, localName) ? SVG_PARTS[localName] : /^fe[A-Z]/.test(localName) ? 'FE' + localName.substring(2) :
            localName.charAt(0).toUpperCase() + localName.substring(1);
        kind = 'SVG' + part + 'Element';
        return (svgKinds[localName] = isInterface(kind) ? kind : 'SVGElement');
    }
    function elementInterface(localName) {
        if (hasOwn.call(tagInterfaces, localName)) return 'HTML' + tagInterfaces[localName] + 'Element';
        if (plainElements.indexOf(' ' + localName + ' ') >= 0 || localName.indexOf('-') > 0) return 'HTMLElement';
        return 'HTMLUnknownElement';
    }

    // ---- behaviour written by hand ----------------------------------------------------

    function on(iface, member, fn) { behaviours[iface + '.' + member] = fn; }
    function promise(value) { return Promise.resolve(value); }

    on('Node', 'get childNodes', function () { return wrapAs(this.childNodes, 'NodeList'); });
    function children() {
        if (this.children) live.add(this.children);
        return wrap(this.children);
    }
    on('Element', 'get children', children);
    on('Document', 'get children', children);
    on('DocumentFragment', 'get children', children);
    on('Node', 'get textContent', function () { return this.nodeType === 9 ? null : wrap(this.textContent); });
    on('Node', 'get isConnected', function () {
        for (var p = this; p; p = p.parentNode) if (p === kit.document) return true;
        return false;
    });
    on('Node', 'get baseURI', function () { return kit.location.href; });
    on('Element', 'get classList', function () {
        var el = this, list = kinds.get(el.__classList) ? el.__classList : null;
        if (!list) {
            // (Its items are read through to the class attribute: the list stays live.)
            list = {element: el, item: function (n) { var t = tokens(list); return n >= 0 && n < t.length ? t[n] : null; }};
            define(list, 'length', {get: function () { return tokens(list).length; }});
            kinds.set(list, 'DOMTokenList');
            live.add(list);
            define(el, '__classList', {value: list});
        }
        return wrapAs(list, 'DOMTokenList');
    });
    // Settings an element keeps as its attributes: written, they are the attribute (so
    // the element's markup and attribute list show them).
    [['Element', 'id', 'id'], ['Element', 'className', 'class'], ['HTMLElement', 'title', 'title'],
        ['HTMLElement', 'lang', 'lang'], ['HTMLElement', 'dir', 'dir'], ['HTMLFormElement', 'name', 'name'],
        ['HTMLImageElement', 'name', 'name'], ['HTMLEmbedElement', 'name', 'name'], ['HTMLIFrameElement', 'name', 'name'],
        ['HTMLObjectElement', 'name', 'name']].forEach(function (p) {
        on(p[0], 'set ' + p[1], function (v) { this.setAttribute(p[2], String(v)); });
    });
    var datasets = new WeakMap();
    on('HTMLElement', 'get dataset', function () {
        var map = datasets.get(this);
        if (!map) {
            map = {element: this};
            datasets.set(this, map);
        }
        return wrapAs(map, 'DOMStringMap');
    });
    on('HTMLElement', 'get style', function () {
        kinds.set(this.style, 'CSSStyleDeclaration');
        return wrapAs(this.style, 'CSSStyleDeclaration');
    });
    on('CSSStyleDeclaration', 'set cssText', function (v) {
        if (typeof this.setCssText === 'function') this.setCssText(v === null ? '' : String(v));
        else this.cssText = String(v);
    });
    // The same live map each time, its items the element's attributes in order.
    var attributeMaps = new WeakMap();
    on('Element', 'get attributes', function () {
        var el = this, map = attributeMaps.get(el);
        if (!map) {
            map = {element: el, item: function (n) {
                var names = Object.keys(el.__attributes);
                return n >= 0 && n < names.length ? attrImpl(el, names[n]) : null;
            }, namedItem: function (name) {
                name = String(name).toLowerCase();
                return hasOwn.call(el.__attributes, name) ? attrImpl(el, name) : null;
            }};
            define(map, 'length', {get: function () { return Object.keys(el.__attributes).length; }});
            kinds.set(map, 'NamedNodeMap');
            live.add(map);
            attributeMaps.set(el, map);
        }
        return wrapAs(map, 'NamedNodeMap');
    });
    on('Document', 'get all', function () { return wrapAs(allOf(this), 'HTMLAllCollection'); });
    on('Document', 'get location', function () { return this === kit.document ? wrap(kit.location) : null; });
    on('Document', 'set location', function (v) { kit.window.location = String(v); });
    on('HTMLCanvasElement', 'getContext', function (r, kind, options) {
        kind = String(kind);
        var contexts = this.__contexts || (define(this, '__contexts', {value: {}}), this.__contexts);
        if (hasOwn.call(contexts, kind)) return wrap(contexts[kind]);
        var impl = kit.canvasContext(this, kind, options);
        if (!impl) return null;
        kinds.set(impl, kind === '2d' ? 'CanvasRenderingContext2D' : kind === 'webgl2' ? 'WebGL2RenderingContext' : 'WebGLRenderingContext');
        contexts[kind] = impl;
        return wrap(impl);
    });
    on('HTMLCanvasElement', 'toDataURL', function (r, type, quality) {
        return arguments.length > 1 ? this.toDataURL(type, quality) : this.toDataURL();
    });

    // The token list of an element's class attribute.
    function tokens(list) {
        var text = String(list.element.className).replace(/^\s+|\s+$/g, '');
        return text === '' ? [] : text.split(/\s+/);
    }
    function setTokens(list, items) { list.element.setAttribute('class', items.join(' ')); }
    on('DOMTokenList', 'get length', function () { return tokens(this).length; });
    on('DOMTokenList', 'get value', function () { return String(this.element.className); });
    on('DOMTokenList', 'set value', function (v) { this.element.setAttribute('class', String(v)); });
    on('DOMTokenList', 'item', function (r, n) { var t = tokens(this); return n >= 0 && n < t.length ? t[n] : null; });
    on('DOMTokenList', 'contains', function (r, token) { return tokens(this).indexOf(String(token)) >= 0; });
    on('DOMTokenList', 'add', function (r) {
        var t = tokens(this);
        for (var n = 1; n < arguments.length; n++) if (t.indexOf(String(arguments[n])) < 0) t.push(String(arguments[n]));
        setTokens(this, t);
    });
    on('DOMTokenList', 'remove', function (r) {
        var drop = arraySlice.call(arguments, 1).map(String);
        setTokens(this, tokens(this).filter(function (x) { return drop.indexOf(x) < 0; }));
    });
    on('DOMTokenList', 'toggle', function (r, token, force) {
        token = String(token);
        var has = tokens(this).indexOf(token) >= 0, want = force === undefined ? !has : !!force;
        if (want && !has) behaviours['DOMTokenList.add'].call(this, r, token);
        if (!want && has) behaviours['DOMTokenList.remove'].call(this, r, token);
        return want;
    });
    on('DOMTokenList', 'replace', function (r, old, token) {
        var t = tokens(this), at = t.indexOf(String(old));
        if (at < 0) return false;
        t[at] = String(token);
        setTokens(this, t);
        return true;
    });
    on('DOMTokenList', 'supports', function () { return true; });
    on('DOMTokenList', 'toString', function () { return String(this.element.className); });
    // A list view of an element's class tokens reads as an array.
    kit.tokens = tokens;

    on('Element', 'getAttributeNames', function () { return Object.keys(this.__attributes); });
    on('Element', 'toggleAttribute', function (r, name, force) {
        var has = this.getAttribute(name) !== null, want = force === undefined ? !has : !!force;
        if (want && !has) this.setAttribute(name, '');
        if (!want && has) this.removeAttribute(name);
        return want;
    });
    on('NamedNodeMap', 'get length', function () { return Object.keys(this.element.__attributes).length; });
    on('NamedNodeMap', 'item', function (r, n) {
        var names = Object.keys(this.element.__attributes);
        return n >= 0 && n < names.length ? attrNode(this.element, names[n]) : null;
    });
    on('NamedNodeMap', 'getNamedItem', function (r, name) {
        name = String(name).toLowerCase();
        return hasOwn.call(this.element.__attributes, name) ? attrNode(this.element, name) : null;
    });
    function attrNode(el, name) { return wrap(attrImpl(el, name)); }
    // An attribute's node: one per element and name, its value the attribute's own.
    var attrNodes = new WeakMap();
    function attrImpl(el, name) {
        var nodes = attrNodes.get(el);
        if (!nodes) attrNodes.set(el, nodes = create(null));
        var a = nodes[name];
        if (a) return a;
        a = nodes[name] = {name: name, localName: name, specified: true, ownerElement: el, nodeType: 2,
            nodeName: name, namespaceURI: null, prefix: null};
        define(a, 'value', {get: function () { return hasOwn.call(el.__attributes, name) ? el.__attributes[name] : ''; },
            set: function (v) { el.setAttribute(name, v); }});
        kinds.set(a, 'Attr');
        return a;
    }

    // document.all: every element of the document, in document order, read when asked.
    function allOf(doc) {
        var holder = doc.__all;
        if (holder) return holder;
        holder = {};
        function elements() {
            var out = [];
            (function walk(n) {
                for (var c = 0; c < n.childNodes.length; c++) {
                    if (n.childNodes[c].nodeType !== 1) continue;
                    out.push(n.childNodes[c]);
                    walk(n.childNodes[c]);
                }
            })(doc);
            return out;
        }
        define(holder, 'length', {get: function () { return elements().length; }});
        for (var n = 0; n < 0; n++) holder[n] = null;
        holder.item = function (i) { var e = elements(); return i >= 0 && i < e.length ? e[i] : null; };
        holder.namedItem = function (name) {
            var e = elements();
            for (var k = 0; k < e.length; k++) if (e[k].id === name || e[k].getAttribute('name') === name) return e[k];
            return null;
        };
        holder.elements = elements;
        define(doc, '__all', {value: holder});
        return holder;
    }
    on('HTMLAllCollection', 'item', function (r, i) {
        if (i === undefined) return null;
        if (typeof i === 'number' || isIndex(String(i))) return wrap(this.item(Number(i)));
        return wrap(this.namedItem(String(i)));
    });

    // navigator's members the page objects do not have
    var uaData = {brands: null, mobile: false, platform: config.platform === 'Win32' ? 'Windows' : config.platform};
    var chromeVersion = (/Chrome\/(\d+)/.exec(config.userAgent) || [0, '124'])[1];
    var fullVersion = (/Chrome\/([\d.]+)/.exec(config.userAgent) || [0, '124.0.0.0'])[1];
    function brandList(full) {
        return [{brand: 'Chromium', version: full ? fullVersion : chromeVersion},
            {brand: 'Google Chrome', version: full ? fullVersion : chromeVersion},
            {brand: 'Not-A.Brand', version: full ? '99.0.0.0' : '99'}];
    }
    kinds.set(uaData, 'NavigatorUAData');
    // Client hints a profile gives are the page's own and answer for themselves.
    var profileHints = kit.navigator.userAgentData;
    if (profileHints) {
        kinds.set(profileHints, 'NavigatorUAData');
        uaData = profileHints;
    }
    on('NavigatorUAData', 'get brands', function () {
        if (this === profileHints) return this.brands;
        return Object.freeze(brandList(false).map(Object.freeze));
    });
    on('NavigatorUAData', 'getHighEntropyValues', function (r, hints) {
        if (this === profileHints) return this.getHighEntropyValues(hints);
        var all = {architecture: 'x86', bitness: '64', brands: brandList(false), fullVersionList: brandList(true),
            mobile: false, model: '', platform: uaData.platform, platformVersion: '15.0.0', uaFullVersion: fullVersion,
            wow64: false, formFactors: ['Desktop']};
        var out = {brands: all.brands, mobile: false, platform: all.platform};
        if (hints && typeof hints[Symbol.iterator] === 'function') for (var h of hints) if (hasOwn.call(all, h)) out[h] = all[h];
        return promise(out);
    });
    on('NavigatorUAData', 'toJSON', function () {
        if (this === profileHints) return this.toJSON();
        return {brands: brandList(false), mobile: false, platform: uaData.platform};
    });
    var connection = {effectiveType: '4g', rtt: 50, downlink: 10, saveData: false, onchange: null};
    // The network the profile's browser was on.
    var profiledConnection = kit.profile && kit.profile.navigator && kit.profile.navigator.connection;
    if (profiledConnection && typeof profiledConnection === 'object') {
        ['effectiveType', 'rtt', 'downlink', 'saveData'].forEach(function (k) {
            if (typeof profiledConnection[k] === typeof connection[k]) connection[k] = profiledConnection[k];
        });
    }
    kinds.set(connection, 'NetworkInformation');
    var permissions = {};
    kinds.set(permissions, 'Permissions');
    on('Permissions', 'query', function (r, descriptor) {
        var name = descriptor && descriptor.name;
        var known = ['geolocation', 'notifications', 'push', 'midi', 'camera', 'microphone', 'background-fetch',
            'background-sync', 'persistent-storage', 'accelerometer', 'gyroscope', 'magnetometer', 'clipboard-read',
            'clipboard-write', 'screen-wake-lock', 'display-capture', 'idle-detection', 'storage-access',
            'local-fonts', 'payment-handler', 'window-management'];
        if (known.indexOf(String(name)) < 0) {
            return Promise.reject(new TypeError("Failed to execute 'query' on 'Permissions': Failed to read the 'name' property from 'PermissionDescriptor': The provided value '" + name + "' is not a valid enum value of type PermissionName."));
        }
        var granted = name === 'background-sync' || name === 'clipboard-write' || name === 'screen-wake-lock';
        var status = create(kit.types.EventTarget.prototype);
        status.name = String(name);
        status.state = granted ? 'granted' : notificationPermission === 'default' || name !== 'notifications' ? 'prompt' : notificationPermission;
        status.onchange = null;
        kinds.set(status, 'PermissionStatus');
        return promise(wrap(status));
    });
    var storageQuota = {};
    kinds.set(storageQuota, 'DeprecatedStorageQuota');
    on('DeprecatedStorageQuota', 'queryUsageAndQuota', function (r, done) {
        if (typeof done === 'function') kit.window.setTimeout(function () { done(0, 0); }, 0);
    });
    on('DeprecatedStorageQuota', 'requestQuota', function (r, size, done) {
        if (typeof done === 'function') kit.window.setTimeout(function () { done(0); }, 0);
    });
    var storageManager = {};
    kinds.set(storageManager, 'StorageManager');
    on('StorageManager', 'estimate', function () { return promise({quota: 299977904946, usage: 0, usageDetails: {}}); });
    on('StorageManager', 'persisted', function () { return promise(false); });
    on('StorageManager', 'persist', function () { return promise(false); });
    var navigatorExtras = {userAgentData: uaData, connection: connection, permissions: permissions,
        webkitPersistentStorage: storageQuota, webkitTemporaryStorage: storageQuota, storage: storageManager};
    Object.keys(navigatorExtras).forEach(function (k) {
        on('Navigator', 'get ' + k, function () { return wrap(navigatorExtras[k]); });
    });
    var languages = Object.freeze(config.languages.slice());
    on('Navigator', 'get languages', function () { return languages; });
    on('Navigator', 'get deviceMemory', function () { return config.deviceMemory; });

    // Notifications are never shown: the page is asked, never the user.
    var notificationPermission = 'default';
    on('Notification', 'static get permission', function () { return notificationPermission; });
    on('Notification', 'static get maxActions', function () { return 2; });
    on('Notification', 'static requestPermission', function (r, done) {
        if (typeof done === 'function') kit.window.setTimeout(function () { done(notificationPermission); }, 0);
        return promise(notificationPermission);
    });

    // Message channels: what one port posts reaches the other as a task of its own.
    function port() {
        var p = create(kit.types.EventTarget.prototype);
        p.onmessage = p.onmessageerror = null;
        p.other = null;
        kinds.set(p, 'MessagePort');
        return p;
    }
    on('MessageChannel', 'constructor', function () {
        var c = {port1: port(), port2: port()};
        c.port1.other = c.port2;
        c.port2.other = c.port1;
        return c;
    });
    on('MessagePort', 'postMessage', function (r, message) {
        var target = this.other;
        if (!target) return;
        var data = message;
        kit.window.setTimeout(function () {
            var e = new kit.types.Event('message');
            e.data = data;
            e.origin = '';
            e.lastEventId = '';
            e.source = null;
            e.ports = [];
            kinds.set(e, 'MessageEvent');
            target.dispatchEvent(e);
        }, 0);
    });
    on('MessagePort', 'start', function () {});
    on('MessagePort', 'close', function () { if (this.other) this.other.other = null; this.other = null; });

    // ---- blobs, files, their readers and object URLs ----------------------------------
    // A blob holds its bytes (a Uint8Array of its own) and its type; a file adds its name
    // and time. What a blob's text parts become is their UTF-8, as Chrome on Windows
    // writes it ("native" line endings are CRLF there).
    var abByteLength = Object.getOwnPropertyDescriptor(ArrayBuffer.prototype, 'byteLength').get;
    function isArrayBuffer(v) {
        try {
            reflect.apply(abByteLength, v, []);
            return true;
        } catch (e) {
            return false;
        }
    }
    function blobOf(v) {
        var r = records.get(v);
        return r && r.iface.ancestors.Blob ? r.impl : null;
    }
    function utf8Of(text) { return new kit.types.TextEncoder().encode(text); }
    function textOfUtf8(bytes) { return new kit.types.TextDecoder().decode(bytes); }
    // A type as blobs keep it: lower case, or empty when it holds anything but printable ASCII.
    function blobType(v) {
        var t = String(v);
        return /^[\x20-\x7e]*$/.test(t) ? t.toLowerCase() : '';
    }
    function blobBytes(parts, what, native_) {
        if (parts === undefined) return new Uint8Array(0);
        if (parts === null || (typeof parts !== 'object' && typeof parts !== 'function'))
            throw new TypeError('Failed to ' + what + ': The provided value cannot be converted to a sequence.');
        if (typeof parts[Symbol.iterator] !== 'function')
            throw new TypeError('Failed to ' + what + ': The object must have a callable @@iterator property.');
        var chunks = [], total = 0;
        for (var part of parts) {
            var b = blobOf(part), bytes;
            if (b) bytes = b.bytes;
            else if (isArrayBuffer(part)) bytes = new Uint8Array(part.slice(0));
            else if (ArrayBuffer.isView(part)) bytes = new Uint8Array(part.buffer.slice(part.byteOffset, part.byteOffset + part.byteLength));
            else {
                var text = String(part);
                if (native_) text = text.replace(/\r\n|\r|\n/g, '\r\n');
                bytes = utf8Of(text);
            }
            chunks.push(bytes);
            total += bytes.length;
        }
        var all = new Uint8Array(total), at = 0;
        for (var n = 0; n < chunks.length; n++) {
            all.set(chunks[n], at);
            at += chunks[n].length;
        }
        return all;
    }
    // A BlobPropertyBag (a FilePropertyBag with `lastModified` too).
    function blobOptions(options, what, file) {
        var o = {native_: false, type: '', lastModified: undefined};
        if (options === undefined || options === null) return o;
        if (typeof options !== 'object' && typeof options !== 'function')
            throw new TypeError('Failed to ' + what + ": The provided value is not of type '" + (file ? 'FilePropertyBag' : 'BlobPropertyBag') + "'.");
        var endings = options.endings;
        if (endings !== undefined) {
            endings = String(endings);
            if (endings !== 'transparent' && endings !== 'native')
                throw new TypeError('Failed to ' + what + ": Failed to read the 'endings' property from '" + (file ? 'FilePropertyBag' : 'BlobPropertyBag') +
                    "': The provided value '" + endings + "' is not a valid enum value of type EndingType.");
            o.native_ = endings === 'native';
        }
        if (file && options.lastModified !== undefined) {
            var t = Number(options.lastModified);
            o.lastModified = isFinite(t) ? Math.trunc(t) : 0;
        }
        if (options.type !== undefined) o.type = blobType(options.type);
        return o;
    }
    function newBlob(bytes, type) {
        var b = {bytes: bytes, type: type};
        kinds.set(b, 'Blob');
        return b;
    }
    on('Blob', 'constructor', function (parts, options) {
        var o = blobOptions(options, "construct 'Blob'", false);
        return {bytes: blobBytes(parts, "construct 'Blob'", o.native_), type: o.type};
    });
    on('File', 'constructor', function (parts, name, options) {
        var o = blobOptions(options, "construct 'File'", true);
        var bytes = blobBytes(parts, "construct 'File'", o.native_);
        return {bytes: bytes, type: o.type, name: String(name), lastModified: o.lastModified === undefined ? Date.now() : o.lastModified,
            webkitRelativePath: ''};
    });
    on('Blob', 'get size', function () { return this.bytes.length; });
    on('Blob', 'get type', function () { return this.type; });
    on('File', 'get name', function () { return this.name; });
    on('File', 'get lastModified', function () { return this.lastModified; });
    on('File', 'get webkitRelativePath', function () { return this.webkitRelativePath; });
    // An index as [Clamp] long long reads it, made relative to `size`.
    function blobIndex(v, size, fallback) {
        if (v === undefined) return fallback;
        var n = Number(v);
        n = isNaN(n) ? 0 : n < 0 ? Math.ceil(n) : Math.floor(n);
        return n < 0 ? Math.max(size + n, 0) : Math.min(n, size);
    }
    on('Blob', 'slice', function (r, start, end, contentType) {
        var size = this.bytes.length, from = blobIndex(start, size, 0), to = blobIndex(end, size, size);
        return wrap(newBlob(this.bytes.slice(from, Math.max(from, to)), contentType === undefined ? '' : blobType(contentType)));
    });
    on('Blob', 'text', function () { return promise(textOfUtf8(this.bytes)); });
    on('Blob', 'arrayBuffer', function () { return promise(this.bytes.slice().buffer); });

    // A reader reads in tasks of its own: loadstart, then the bytes (progress, load, loadend).
    function progressEvent(type, loaded, total) {
        var e = new kit.types.Event(type);
        e.lengthComputable = true;
        e.loaded = loaded;
        e.total = total;
        e.isTrusted = true;
        kinds.set(e, 'ProgressEvent');
        return e;
    }
    on('FileReader', 'constructor', function () {
        var r = create(kit.types.EventTarget.prototype);
        r.readyState = 0;
        r.result = r.error = null;
        ['loadstart', 'progress', 'load', 'abort', 'error', 'loadend'].forEach(function (k) { r['on' + k] = null; });
        r.reading = 0;
        kinds.set(r, 'FileReader');
        return r;
    });
    function readBlob(how) {
        return function (r, blob, encoding) {
            var b = blobOf(blob), reader = this;
            if (!b) throw new TypeError("Failed to execute '" + how + "' on 'FileReader': parameter 1 is not of type 'Blob'.");
            if (reader.readyState === 1) throw domException('InvalidStateError', "Failed to execute '" + how + "' on 'FileReader': The object is already busy reading Blobs.");
            if (encoding !== undefined) encoding = String(encoding);
            reader.readyState = 1;
            reader.result = reader.error = null;
            var bytes = b.bytes, total = bytes.length, reading = ++reader.reading;
            function live() { return reader.reading === reading; }
            kit.window.setTimeout(function () {
                if (!live()) return;
                reader.dispatchEvent(progressEvent('loadstart', 0, total));
                kit.window.setTimeout(function () {
                    if (!live()) return;
                    if (total) reader.dispatchEvent(progressEvent('progress', total, total));
                    if (!live()) return;
                    reader.readyState = 2;
                    reader.result = how === 'readAsArrayBuffer' ? bytes.slice().buffer
                        : how === 'readAsBinaryString' ? binaryString(bytes)
                        : how === 'readAsDataURL' ? 'data:' + (b.type || 'application/octet-stream') + ';base64,' + base64Of(bytes)
                        : decodeText(bytes, encoding, b.type);
                    reader.dispatchEvent(progressEvent('load', total, total));
                    if (reader.readyState === 2) reader.dispatchEvent(progressEvent('loadend', total, total));
                }, 0);
            }, 0);
        };
    }
    var BASE64 = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
    function base64Of(bytes) {
        var out = [], n;
        for (n = 0; n + 2 < bytes.length; n += 3) {
            var v = (bytes[n] << 16) | (bytes[n + 1] << 8) | bytes[n + 2];
            out.push(BASE64[v >> 18] + BASE64[(v >> 12) & 63] + BASE64[(v >> 6) & 63] + BASE64[v & 63]);
        }
        if (n < bytes.length) {
            var w = (bytes[n] << 16) | (n + 1 < bytes.length ? bytes[n + 1] << 8 : 0);
            out.push(BASE64[w >> 18] + BASE64[(w >> 12) & 63] + (n + 1 < bytes.length ? BASE64[(w >> 6) & 63] : '=') + '=');
        }
        return out.join('');
    }
    function binaryString(bytes) {
        var out = '';
        for (var n = 0; n < bytes.length; n += 8192) out += String.fromCharCode.apply(null, bytes.subarray(n, n + 8192));
        return out;
    }
    // Text in the encoding a label names (else the blob type's charset, else UTF-8).
    function decodeText(bytes, label, type) {
        var charset = /;\s*charset\s*=\s*"?([^";\s]+)/i.exec(type || '');
        var names = [label, charset && charset[1]];
        for (var n = 0; n < names.length; n++) {
            if (names[n] === undefined || names[n] === null) continue;
            try {
                return new kit.types.TextDecoder(names[n]).decode(bytes);
            } catch (e) {
                // (a label no decoder knows: the next one)
            }
        }
        return textOfUtf8(bytes);
    }
    ['readAsArrayBuffer', 'readAsBinaryString', 'readAsDataURL', 'readAsText'].forEach(function (how) { on('FileReader', how, readBlob(how)); });
    on('FileReader', 'abort', function () {
        if (this.readyState !== 1) {
            this.result = null;
            return;
        }
        this.reading++;
        this.readyState = 2;
        this.result = null;
        this.dispatchEvent(progressEvent('abort', 0, 0));
        if (this.readyState === 2) this.dispatchEvent(progressEvent('loadend', 0, 0));
    });

    // Object URLs: blob:<origin>/<uuid>, each naming its blob until revoked.
    var objectUrls = new Map();
    on('URL', 'static createObjectURL', function (r, blob) {
        var b = blobOf(blob);
        if (!b) throw new TypeError("Failed to execute 'createObjectURL' on 'URL': Overload resolution failed.");
        var origin = kit.location.origin, url = 'blob:' + (origin && origin !== 'null' ? origin : 'null') + '/' + kit.window.crypto.randomUUID();
        objectUrls.set(url, b);
        return url;
    });
    on('URL', 'static revokeObjectURL', function (r, url) { objectUrls.delete(String(url)); });
    // The blob an object URL names now (undefined for any other address).
    function blobAt(url) { return objectUrls.get(String(url).replace(/#.*$/, '')); }

    // An image's width and height: its attribute's where it has one, else its own size.
    ['width', 'height'].forEach(function (k) {
        on('HTMLImageElement', 'get ' + k, function () {
            var a = this.getAttribute(k), m = a === null ? null : /^[\t\n\f\r ]*(\d+)/.exec(a);
            return m ? Number(m[1]) : this[k];
        });
        on('HTMLImageElement', 'set ' + k, function (v) { this.setAttribute(k, String(Number(v) >>> 0)); });
    });

    // ---- Web Crypto ----------------------------------------------------------------------
    // Digests, HMAC, AES (CBC, CTR, GCM), PBKDF2 and HKDF, computed by the workbench; keys
    // and algorithms as Chrome shows them. Other algorithms (RSA, elliptic curves) are
    // refused as unknown, with a line in the log.
    var cryptoHost = typeof host.digest === 'function';
    var USAGES = ['encrypt', 'decrypt', 'sign', 'verify', 'deriveKey', 'deriveBits', 'wrapKey', 'unwrapKey'];
    var ALGORITHMS = {
        'SHA-1': {digest: true}, 'SHA-256': {digest: true}, 'SHA-384': {digest: true}, 'SHA-512': {digest: true},
        'HMAC': {usages: ['sign', 'verify']}, 'AES-CBC': {usages: ['encrypt', 'decrypt', 'wrapKey', 'unwrapKey']},
        'AES-GCM': {usages: ['encrypt', 'decrypt', 'wrapKey', 'unwrapKey']}, 'AES-CTR': {usages: ['encrypt', 'decrypt', 'wrapKey', 'unwrapKey']},
        'PBKDF2': {usages: ['deriveKey', 'deriveBits'], kdf: true}, 'HKDF': {usages: ['deriveKey', 'deriveBits'], kdf: true}
    };
    var OTHER_ALGORITHMS = ['RSASSA-PKCS1-V1_5', 'RSA-PSS', 'RSA-OAEP', 'ECDSA', 'ECDH', 'AES-KW', 'ED25519', 'X25519'];
    var BLOCK_BITS = {'SHA-1': 512, 'SHA-256': 512, 'SHA-384': 1024, 'SHA-512': 1024};
    function failed(op) { return "Failed to execute '" + op + "' on 'SubtleCrypto': "; }
    // An algorithm as the operation reads it: {name} with the name as the table spells it.
    function algorithmOf(alg, op, what) {
        if (!cryptoHost) throw domException('NotSupportedError', failed(op) + 'Algorithm: Unrecognized name');
        if (typeof alg === 'string') alg = {name: alg};
        else if (alg === null || typeof alg !== 'object') throw new TypeError(failed(op) + 'Algorithm: Not an object');
        if (typeof alg.name !== 'string') throw new TypeError(failed(op) + (what || 'Algorithm') + ': name: Missing or not a string');
        var upper = alg.name.toUpperCase();
        if (!hasOwn.call(ALGORITHMS, upper)) {
            if (OTHER_ALGORITHMS.indexOf(upper) >= 0) line('环境暂不支持的加密算法：' + alg.name + '（crypto.subtle.' + op + '）');
            throw domException('NotSupportedError', failed(op) + (what || 'Algorithm') + ': Unrecognized name');
        }
        return {name: upper, params: alg};
    }
    function hashOf(params, op, dictionary) {
        if (params.hash === undefined) throw new TypeError(failed(op) + dictionary + ': hash: Missing or not an AlgorithmIdentifier');
        var h = algorithmOf(params.hash, op, dictionary + ': hash: Algorithm');
        if (!ALGORITHMS[h.name].digest) throw domException('NotSupportedError', failed(op) + dictionary + ': hash: Algorithm: Unrecognized name');
        return h.name;
    }
    function bufferOf(v, op) {
        if (isArrayBuffer(v)) return new Uint8Array(v.slice(0));
        if (ArrayBuffer.isView(v)) return new Uint8Array(v.buffer.slice(v.byteOffset, v.byteOffset + v.byteLength));
        throw new TypeError(failed(op) + "The provided value is not of type '(ArrayBuffer or ArrayBufferView)'.");
    }
    function optionalBuffer(v, op) { return v === undefined ? new Uint8Array(0) : bufferOf(v, op); }
    function cryptoKeyOf(v, op, at) {
        var r = records.get(v);
        if (!r || r.iface.name !== 'CryptoKey') throw new TypeError(failed(op) + 'parameter ' + at + " is not of type 'CryptoKey'.");
        return r.impl;
    }
    function usagesOf(list, op) {
        var out = [];
        Array.from(list, String).forEach(function (u) {
            if (USAGES.indexOf(u) < 0) throw new TypeError(failed(op) + "The provided value '" + u + "' is not a valid enum value of type KeyUsage.");
            if (out.indexOf(u) < 0) out.push(u);
        });
        return USAGES.filter(function (u) { return out.indexOf(u) >= 0; });
    }
    function newKey(algorithm, extractable, usages, raw) {
        var allowed = ALGORITHMS[algorithm.name].usages;
        for (var n = 0; n < usages.length; n++)
            if (allowed.indexOf(usages[n]) < 0) throw domException('SyntaxError', 'Cannot create a key using the specified key usages.');
        if (!usages.length) throw domException('SyntaxError', 'Usages cannot be empty when creating a key.');
        var k = {type: 'secret', extractable: !!extractable, algorithmFacts: algorithm, usageList: usages, raw: raw};
        kinds.set(k, 'CryptoKey');
        return k;
    }
    on('CryptoKey', 'get algorithm', function () {
        var a = this.algorithmFacts, out = {name: a.name};
        if (a.hash) out.hash = {name: a.hash};
        if (a.length !== undefined) out.length = a.length;
        return out;
    });
    on('CryptoKey', 'get usages', function () { return this.usageList.slice(); });
    function base64url(bytes) {
        return base64Of(bytes).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
    }
    function fromBase64url(text, op) {
        try {
            var b = kit.window.atob(String(text).replace(/-/g, '+').replace(/_/g, '/'));
            var out = new Uint8Array(b.length);
            for (var n = 0; n < b.length; n++) out[n] = b.charCodeAt(n);
            return out;
        } catch (e) {
            throw domException('DataError', 'The JWK member "k" could not be base64url decoded or contained padding');
        }
    }
    function jwkAlg(facts) {
        if (facts.name === 'HMAC') return 'HS' + facts.hash.substring(4).replace(/^1$/, '1');
        return 'A' + facts.length + facts.name.substring(4);
    }
    // A secret key's facts from its bytes, as the algorithm asks.
    function secretFacts(alg, raw, op) {
        var p = alg.params;
        if (alg.name === 'HMAC') {
            var hash = hashOf(p, op, 'HmacImportParams');
            if (!raw.length) throw domException('DataError', 'HMAC key data must not be empty');
            return {name: 'HMAC', hash: hash, length: raw.length * 8};
        }
        if (ALGORITHMS[alg.name].kdf) return {name: alg.name};
        if (raw.length !== 16 && raw.length !== 32) throw domException('DataError', 'AES key data must be 128 or 256 bits');
        return {name: alg.name, length: raw.length * 8};
    }
    on('SubtleCrypto', 'digest', function (r, algorithm, data) {
        var alg = algorithmOf(algorithm, 'digest');
        if (!ALGORITHMS[alg.name].digest) throw domException('NotSupportedError', failed('digest') + 'Algorithm: Unrecognized name');
        var bytes = bufferOf(data, 'digest');
        return promise(cryptoHost ? host.digest(alg.name, bytes) : undefined);
    });
    on('SubtleCrypto', 'importKey', function (r, format, keyData, algorithm, extractable, keyUsages) {
        format = String(format);
        if (['raw', 'jwk', 'spki', 'pkcs8'].indexOf(format) < 0) throw new TypeError(failed('importKey') + 'Invalid keyFormat argument: ' + format);
        var alg = algorithmOf(algorithm, 'importKey'), usages = usagesOf(keyUsages, 'importKey'), raw;
        if (alg.name.indexOf('SHA-') === 0) throw domException('NotSupportedError', failed('importKey') + 'Algorithm: Unrecognized name');
        if (format === 'raw') raw = bufferOf(keyData, 'importKey');
        else if (format === 'jwk') {
            if (keyData === null || typeof keyData !== 'object') throw new TypeError(failed('importKey') + "The provided value is not of type 'JsonWebKey'.");
            if (keyData.kty !== 'oct') throw domException('DataError', 'The JWK "kty" member was not "oct"');
            raw = fromBase64url(keyData.k, 'importKey');
            if (keyData.ext === false && extractable) throw domException('DataError', 'The JWK "ext" member was inconsistent with that specified by the Web Crypto call');
        } else {
            throw domException('NotSupportedError', failed('importKey') + 'Unsupported import key format for algorithm');
        }
        if (ALGORITHMS[alg.name].kdf) {
            if (format !== 'raw') throw domException('NotSupportedError', failed('importKey') + 'Unsupported import key format for algorithm');
            if (extractable) throw domException('SyntaxError', 'KDF keys must set extractable=false');
        }
        var facts = secretFacts(alg, raw, 'importKey');
        if (format === 'jwk' && keyData.alg !== undefined && String(keyData.alg) !== jwkAlg(facts))
            throw domException('DataError', 'The JWK "alg" member was inconsistent with that specified by the Web Crypto call');
        return promise(wrap(newKey(facts, extractable, usages, raw)));
    });
    on('SubtleCrypto', 'exportKey', function (r, format, key) {
        format = String(format);
        if (['raw', 'jwk', 'spki', 'pkcs8'].indexOf(format) < 0) throw new TypeError(failed('exportKey') + 'Invalid keyFormat argument: ' + format);
        var k = cryptoKeyOf(key, 'exportKey', 2);
        if (!k.extractable) throw domException('InvalidAccessError', failed('exportKey') + 'key is not extractable');
        if (format === 'raw') return promise(k.raw.slice().buffer);
        if (format !== 'jwk') throw domException('NotSupportedError', failed('exportKey') + 'Unsupported export key format for algorithm');
        return promise({alg: jwkAlg(k.algorithmFacts), ext: k.extractable, k: base64url(k.raw), key_ops: k.usageList.slice(), kty: 'oct'});
    });
    function randomKeyBytes(n) {
        var b = new Uint8Array(n);
        kit.window.crypto.getRandomValues(b);
        return b;
    }
    on('SubtleCrypto', 'generateKey', function (r, algorithm, extractable, keyUsages) {
        var alg = algorithmOf(algorithm, 'generateKey'), usages = usagesOf(keyUsages, 'generateKey'), p = alg.params, facts;
        if (alg.name === 'HMAC') {
            var hash = hashOf(p, 'generateKey', 'HmacKeyGenParams'), bits = p.length === undefined ? BLOCK_BITS[hash] : Number(p.length);
            if (!(bits > 0) || bits % 8) throw domException('OperationError', 'The length provided for HMAC is not supported');
            facts = {name: 'HMAC', hash: hash, length: bits};
        } else if (alg.name.indexOf('AES-') === 0) {
            if (p.length === undefined) throw new TypeError(failed('generateKey') + 'AesKeyGenParams: length: Missing required property');
            var length = Number(p.length);
            if (length === 192) throw domException('OperationError', '192-bit AES keys are not supported');
            if (length !== 128 && length !== 256) throw domException('OperationError', 'AES key length must be 128 or 256 bits');
            facts = {name: alg.name, length: length};
        } else {
            throw domException('NotSupportedError', failed('generateKey') + 'Algorithm: Unrecognized name');
        }
        return promise(wrap(newKey(facts, extractable, usages, randomKeyBytes(facts.length / 8))));
    });
    function usable(k, name, usage) {
        if (k.algorithmFacts.name !== name) throw domException('InvalidAccessError', 'key.algorithm does not match that of operation');
        if (k.usageList.indexOf(usage) < 0) throw domException('InvalidAccessError', 'key.usages does not permit this operation');
    }
    on('SubtleCrypto', 'sign', function (r, algorithm, key, data) {
        var alg = algorithmOf(algorithm, 'sign'), k = cryptoKeyOf(key, 'sign', 2), bytes = bufferOf(data, 'sign');
        if (alg.name !== 'HMAC') throw domException('NotSupportedError', failed('sign') + 'Algorithm: Unrecognized name');
        usable(k, 'HMAC', 'sign');
        return promise(host.hmac(k.algorithmFacts.hash, k.raw, bytes));
    });
    on('SubtleCrypto', 'verify', function (r, algorithm, key, signature, data) {
        var alg = algorithmOf(algorithm, 'verify'), k = cryptoKeyOf(key, 'verify', 2), sig = bufferOf(signature, 'verify'), bytes = bufferOf(data, 'verify');
        if (alg.name !== 'HMAC') throw domException('NotSupportedError', failed('verify') + 'Algorithm: Unrecognized name');
        usable(k, 'HMAC', 'verify');
        return promise(host.sameBytes(host.hmac(k.algorithmFacts.hash, k.raw, bytes), sig));
    });
    var TAG_BITS = [32, 64, 96, 104, 112, 120, 128];
    function aesWork(op, encrypting) {
        return function (r, algorithm, key, data) {
            var alg = algorithmOf(algorithm, op), k = cryptoKeyOf(key, op, 2), bytes = bufferOf(data, op), p = alg.params;
            if (alg.name.indexOf('AES-') !== 0) throw domException('NotSupportedError', failed(op) + 'Algorithm: Unrecognized name');
            var iv, tagBits, aad, counterBits;
            if (alg.name === 'AES-CBC') {
                if (p.iv === undefined) throw new TypeError(failed(op) + 'AesCbcParams: iv: Missing required property');
                iv = bufferOf(p.iv, op);
            } else if (alg.name === 'AES-GCM') {
                if (p.iv === undefined) throw new TypeError(failed(op) + 'AesGcmParams: iv: Missing required property');
                iv = bufferOf(p.iv, op);
                aad = optionalBuffer(p.additionalData, op);
                tagBits = p.tagLength === undefined ? 128 : Number(p.tagLength);
            } else {
                if (p.counter === undefined) throw new TypeError(failed(op) + 'AesCtrParams: counter: Missing required property');
                if (p.length === undefined) throw new TypeError(failed(op) + 'AesCtrParams: length: Missing required property');
                iv = bufferOf(p.counter, op);
                counterBits = Number(p.length);
            }
            usable(k, alg.name, op);
            if (alg.name === 'AES-CBC' && iv.length !== 16) throw domException('OperationError', 'The "iv" has an unexpected length -- must be 16 bytes');
            if (alg.name === 'AES-GCM' && TAG_BITS.indexOf(tagBits) < 0) throw domException('OperationError', 'The tag length is invalid: Must be 32, 64, 96, 104, 112, 120, or 128 bits');
            if (alg.name === 'AES-CTR' && iv.length !== 16) throw domException('OperationError', 'The counter has an unexpected length -- must be 16 bytes');
            if (alg.name === 'AES-CTR' && !(counterBits >= 1 && counterBits <= 128)) throw domException('OperationError', 'The counter length must be between 1 and 128');
            var out = host.aes(alg.name, encrypting, k.raw, iv, bytes, tagBits, aad, counterBits);
            if (out === null) return Promise.reject(domException('OperationError', ''));
            return promise(out);
        };
    }
    on('SubtleCrypto', 'encrypt', aesWork('encrypt', true));
    on('SubtleCrypto', 'decrypt', aesWork('decrypt', false));
    function derived(op, alg, k, bits) {
        var p = alg.params, out;
        if (bits === null || bits === undefined || bits % 8) throw domException('OperationError', 'The length provided for ' + alg.name + ' is not a multiple of 8');
        if (alg.name === 'PBKDF2') {
            var hash = hashOf(p, op, 'Pbkdf2Params'), salt = bufferOf(p.salt, op), iterations = Number(p.iterations);
            if (!(iterations > 0)) throw domException('OperationError', 'PBKDF2 requires iterations > 0');
            out = host.pbkdf2(hash, k.raw, salt, iterations, bits);
        } else if (alg.name === 'HKDF') {
            out = host.hkdf(hashOf(p, op, 'HkdfParams'), k.raw, bufferOf(p.salt, op), bufferOf(p.info, op), bits);
        } else {
            throw domException('NotSupportedError', failed(op) + 'Algorithm: Unrecognized name');
        }
        if (out === null) throw domException('OperationError', 'The length provided for ' + alg.name + ' is too large');
        return out;
    }
    on('SubtleCrypto', 'deriveBits', function (r, algorithm, baseKey, length) {
        var alg = algorithmOf(algorithm, 'deriveBits'), k = cryptoKeyOf(baseKey, 'deriveBits', 2);
        usable(k, alg.name, 'deriveBits');
        return promise(derived('deriveBits', alg, k, length === undefined || length === null ? null : Number(length)));
    });
    on('SubtleCrypto', 'deriveKey', function (r, algorithm, baseKey, derivedKeyType, extractable, keyUsages) {
        var alg = algorithmOf(algorithm, 'deriveKey'), k = cryptoKeyOf(baseKey, 'deriveKey', 2), target = algorithmOf(derivedKeyType, 'deriveKey');
        var usages = usagesOf(keyUsages, 'deriveKey'), tp = target.params, bits;
        usable(k, alg.name, 'deriveKey');
        if (target.name === 'HMAC') {
            var hash = hashOf(tp, 'deriveKey', 'HmacImportParams');
            bits = tp.length === undefined ? BLOCK_BITS[hash] : Number(tp.length);
        } else if (target.name.indexOf('AES-') === 0) {
            if (tp.length === undefined) throw new TypeError(failed('deriveKey') + 'AesDerivedKeyParams: length: Missing required property');
            bits = Number(tp.length);
            if (bits !== 128 && bits !== 256) throw domException('OperationError', 'AES key length must be 128 or 256 bits');
        } else {
            throw domException('NotSupportedError', failed('deriveKey') + 'Algorithm: Unrecognized name');
        }
        var raw = new Uint8Array(derived('deriveKey', alg, k, bits));
        return promise(wrap(newKey(secretFacts(target, raw, 'deriveKey'), extractable, usages, raw)));
    });

    // ---- WebRTC ------------------------------------------------------------------------
    // A connection that offers and gathers as a desktop Chrome's does: an offer of its own
    // (fresh credentials and certificate fingerprint), one host candidate under an mDNS
    // name (Chrome never shows a page its addresses), then the end of gathering. Nothing
    // connects: there is no network.
    function randomText(n, alphabet) {
        var b = randomKeyBytes(n), out = '';
        for (var i = 0; i < n; i++) out += alphabet.charAt(b[i] % alphabet.length);
        return out;
    }
    var ICE_ALPHABET = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
    function rtcState(pc, field, value, event) {
        if (pc[field] === value) return;
        pc[field] = value;
        pc.dispatchEvent(idbEvent(event, false, false));
    }
    on('RTCPeerConnection', 'constructor', function (config) {
        var pc = create(kit.types.EventTarget.prototype);
        pc.signalingState = 'stable';
        pc.iceGatheringState = pc.iceConnectionState = pc.connectionState = 'new';
        pc.localDescription = pc.currentLocalDescription = pc.pendingLocalDescription = null;
        pc.remoteDescription = pc.currentRemoteDescription = pc.pendingRemoteDescription = null;
        pc.canTrickleIceCandidates = null;
        pc.sctp = null;
        ['negotiationneeded', 'icecandidate', 'signalingstatechange', 'iceconnectionstatechange', 'connectionstatechange',
            'icegatheringstatechange', 'icecandidateerror', 'track', 'datachannel'].forEach(function (k) { pc['on' + k] = null; });
        pc.config = config && typeof config === 'object' ? config : {};
        pc.channels = [];
        pc.ufrag = randomText(4, ICE_ALPHABET);
        pc.pwd = randomText(24, ICE_ALPHABET);
        pc.session = String(1 + randomKeyBytes(7).reduce(function (a, b) { return a * 256 + b; }, 0) % 9e18).replace(/\..*$/, '');
        pc.fingerprint = Array.prototype.map.call(randomKeyBytes(32), function (b) { return (b < 16 ? '0' : '') + b.toString(16).toUpperCase(); }).join(':');
        kinds.set(pc, 'RTCPeerConnection');
        return pc;
    });
    on('RTCPeerConnection', 'getConfiguration', function () {
        return {iceServers: [], iceTransportPolicy: 'all', bundlePolicy: 'balanced', rtcpMuxPolicy: 'require', iceCandidatePoolSize: 0};
    });
    on('RTCPeerConnection', 'createDataChannel', function (r, label, options) {
        if (this.signalingState === 'closed')
            throw domException('InvalidStateError', "Failed to execute 'createDataChannel' on 'RTCPeerConnection': The RTCPeerConnection's signalingState is 'closed'.");
        var o = options || {}, dc = create(kit.types.EventTarget.prototype);
        dc.label = String(label);
        dc.ordered = o.ordered === undefined ? true : !!o.ordered;
        dc.maxPacketLifeTime = o.maxPacketLifeTime === undefined ? null : Number(o.maxPacketLifeTime);
        dc.maxRetransmits = o.maxRetransmits === undefined ? null : Number(o.maxRetransmits);
        dc.protocol = o.protocol === undefined ? '' : String(o.protocol);
        dc.negotiated = !!o.negotiated;
        dc.id = o.id === undefined ? null : Number(o.id);
        dc.readyState = 'connecting';
        dc.bufferedAmount = dc.bufferedAmountLowThreshold = 0;
        dc.binaryType = 'arraybuffer';
        ['open', 'bufferedamountlow', 'error', 'closing', 'close', 'message'].forEach(function (k) { dc['on' + k] = null; });
        kinds.set(dc, 'RTCDataChannel');
        this.channels.push(dc);
        return wrap(dc);
    });
    on('RTCDataChannel', 'send', function () {
        if (this.readyState !== 'open') throw domException('InvalidStateError', "Failed to execute 'send' on 'RTCDataChannel': RTCDataChannel.readyState is not 'open'");
    });
    on('RTCDataChannel', 'close', function () { this.readyState = 'closed'; });
    function offerSdp(pc, type) {
        var lines = ['v=0', 'o=- ' + pc.session + ' 2 IN IP4 127.0.0.1', 's=-', 't=0 0'];
        if (pc.channels.length) {
            lines.push('a=group:BUNDLE 0', 'a=extmap-allow-mixed', 'a=msid-semantic: WMS', 'm=application 9 UDP/DTLS/SCTP webrtc-datachannel',
                'c=IN IP4 0.0.0.0', 'a=ice-ufrag:' + pc.ufrag, 'a=ice-pwd:' + pc.pwd, 'a=ice-options:trickle',
                'a=fingerprint:sha-256 ' + pc.fingerprint, 'a=setup:' + (type === 'offer' ? 'actpass' : 'active'), 'a=mid:0',
                'a=sctp-port:5000', 'a=max-message-size:262144');
        } else {
            lines.push('a=extmap-allow-mixed', 'a=msid-semantic: WMS');
        }
        return lines.join('\r\n') + '\r\n';
    }
    function description(type, sdp) {
        var d = {type: type, sdp: sdp};
        d.toJSON = function () { return {type: d.type, sdp: d.sdp}; };
        kinds.set(d, 'RTCSessionDescription');
        return d;
    }
    on('RTCSessionDescription', 'constructor', function (init) {
        return description(init && init.type !== undefined ? String(init.type) : '', init && init.sdp !== undefined ? String(init.sdp) : '');
    });
    on('RTCPeerConnection', 'createOffer', function () {
        if (this.signalingState === 'closed')
            return Promise.reject(domException('InvalidStateError', "Failed to execute 'createOffer' on 'RTCPeerConnection': The RTCPeerConnection's signalingState is 'closed'."));
        return promise({type: 'offer', sdp: offerSdp(this, 'offer')});
    });
    on('RTCPeerConnection', 'createAnswer', function () {
        if (!this.remoteDescription || this.remoteDescription.type !== 'offer')
            return Promise.reject(domException('InvalidStateError', "Failed to execute 'createAnswer' on 'RTCPeerConnection': PeerConnection cannot create an answer in a state other than have-remote-offer or have-local-pranswer."));
        return promise({type: 'answer', sdp: offerSdp(this, 'answer')});
    });
    // Gathering: one host candidate per data section, under an mDNS name, then the end.
    function gather(pc) {
        kit.window.setTimeout(function () {
            if (pc.signalingState === 'closed') return;
            rtcState(pc, 'iceGatheringState', 'gathering', 'icegatheringstatechange');
            var name = kit.window.crypto.randomUUID() + '.local', port = 49152 + (randomKeyBytes(2)[0] << 6) % 16000;
            var foundation = String(randomKeyBytes(4).reduce(function (a, b) { return a * 256 + b; }, 0));
            var c = {candidate: 'candidate:' + foundation + ' 1 udp 2113937151 ' + name + ' ' + port + ' typ host generation 0 ufrag ' + pc.ufrag +
                ' network-cost 999', sdpMid: '0', sdpMLineIndex: 0, foundation: foundation, component: 'rtp', priority: 2113937151, address: name,
                protocol: 'udp', port: port, type: 'host', tcpType: null, relatedAddress: null, relatedPort: null, usernameFragment: pc.ufrag,
                relayProtocol: null, url: null};
            c.toJSON = function () { return {candidate: c.candidate, sdpMid: c.sdpMid, sdpMLineIndex: c.sdpMLineIndex, usernameFragment: c.usernameFragment}; };
            kinds.set(c, 'RTCIceCandidate');
            if (pc.channels.length) pc.dispatchEvent(idbEvent('icecandidate', false, false, 'RTCPeerConnectionIceEvent', {candidate: c}));
            kit.window.setTimeout(function () {
                if (pc.signalingState === 'closed') return;
                rtcState(pc, 'iceGatheringState', 'complete', 'icegatheringstatechange');
                pc.dispatchEvent(idbEvent('icecandidate', false, false, 'RTCPeerConnectionIceEvent', {candidate: null}));
            }, 0);
        }, 0);
    }
    on('RTCPeerConnection', 'setLocalDescription', function (r, desc) {
        var pc = this;
        if (pc.signalingState === 'closed')
            return Promise.reject(domException('InvalidStateError', "Failed to execute 'setLocalDescription' on 'RTCPeerConnection': The RTCPeerConnection's signalingState is 'closed'."));
        var type = desc && desc.type !== undefined ? String(desc.type) : pc.remoteDescription ? 'answer' : 'offer';
        var sdp = desc && desc.sdp ? String(desc.sdp) : offerSdp(pc, type);
        pc.localDescription = pc.pendingLocalDescription = description(type, sdp);
        rtcState(pc, 'signalingState', type === 'offer' ? 'have-local-offer' : 'stable', 'signalingstatechange');
        if (pc.iceGatheringState === 'new') gather(pc);
        return promise(undefined);
    });
    on('RTCPeerConnection', 'setRemoteDescription', function (r, desc) {
        if (!desc || (desc.type !== 'offer' && desc.type !== 'answer' && desc.type !== 'pranswer' && desc.type !== 'rollback'))
            return Promise.reject(new TypeError("Failed to execute 'setRemoteDescription' on 'RTCPeerConnection': Failed to read the 'type' property from 'RTCSessionDescriptionInit': Required member is undefined."));
        this.remoteDescription = this.pendingRemoteDescription = description(String(desc.type), String(desc.sdp || ''));
        rtcState(this, 'signalingState', desc.type === 'offer' ? 'have-remote-offer' : 'stable', 'signalingstatechange');
        return promise(undefined);
    });
    ['localDescription', 'remoteDescription', 'pendingLocalDescription', 'pendingRemoteDescription', 'currentLocalDescription',
        'currentRemoteDescription'].forEach(function (k) {
        on('RTCPeerConnection', 'get ' + k, function () { return wrap(this[k]); });
    });
    on('RTCPeerConnection', 'addIceCandidate', function () { return promise(undefined); });
    on('RTCPeerConnection', 'getSenders', function () { return []; });
    on('RTCPeerConnection', 'getReceivers', function () { return []; });
    on('RTCPeerConnection', 'getTransceivers', function () { return []; });
    on('RTCPeerConnection', 'close', function () {
        this.signalingState = 'closed';
        this.iceConnectionState = this.connectionState = 'closed';
        this.channels.forEach(function (dc) { dc.readyState = 'closed'; });
    });

    // ---- offscreen canvases ------------------------------------------------------------
    // A canvas of its own that is never in the page: the same drawing as a page canvas's.
    on('OffscreenCanvas', 'constructor', function (width, height) {
        var canvas = kit.createElement('canvas', kit.document), o = {canvas: canvas, context: null};
        canvas.width = Number(width) >>> 0;
        canvas.height = Number(height) >>> 0;
        kinds.set(o, 'OffscreenCanvas');
        return o;
    });
    ['width', 'height'].forEach(function (k) {
        on('OffscreenCanvas', 'get ' + k, function () { return this.canvas[k]; });
        on('OffscreenCanvas', 'set ' + k, function (v) { this.canvas[k] = Number(v) >>> 0; });
    });
    on('OffscreenCanvas', 'getContext', function (r, type, options) {
        var kind = String(type);
        if (['2d', 'webgl', 'webgl2', 'bitmaprenderer', 'webgpu'].indexOf(kind) < 0)
            throw new TypeError("Failed to execute 'getContext' on 'OffscreenCanvas': The provided value '" + kind +
                "' is not a valid enum value of type OffscreenRenderingContextType.");
        if (this.context) return this.context.kind === kind ? wrap(this.context.impl) : null;
        var ctx = kit.canvasContext(this.canvas, kind, options);
        if (!ctx) return null;
        if (kind === '2d') {
            kinds.set(ctx, 'OffscreenCanvasRenderingContext2D');
            ctx.__offscreen = this;
        }
        this.context = {kind: kind, impl: ctx};
        return wrap(ctx);
    });
    on('OffscreenCanvasRenderingContext2D', 'get canvas', function () { return wrap(this.__offscreen); });
    on('OffscreenCanvas', 'convertToBlob', function (r, options) {
        var type = options && options.type !== undefined ? String(options.type).toLowerCase() : 'image/png';
        var url = this.canvas.toDataURL(type, options && options.quality), comma = url.indexOf(',');
        var text = kit.window.atob(url.substring(comma + 1)), bytes = new Uint8Array(text.length);
        for (var n = 0; n < text.length; n++) bytes[n] = text.charCodeAt(n);
        return promise(wrap(newBlob(bytes, url.substring(5, url.indexOf(';')))));
    });

    // ---- IndexedDB ---------------------------------------------------------------------
    // The page's databases, kept in memory for as long as the page lives: each request a
    // task of its own, each transaction's requests in order, then its complete (or, after
    // an error no handler took, its abort, undoing what it did).
    var databases = create(null);
    function idbEvent(type, bubbles, cancelable, kind, fields) {
        var e = new kit.types.Event(type, {bubbles: bubbles, cancelable: cancelable});
        e.isTrusted = true;
        for (var k in fields) if (hasOwn.call(fields, k)) e[k] = fields[k];
        kinds.set(e, kind || 'Event');
        return e;
    }
    function idbError(name, message) { return domException(name, message); }
    function stringList(names) {
        var list = names.slice().sort();
        list.item = function (n) { return n >= 0 && n < list.length ? list[n] : null; };
        list.contains = function (v) { return list.indexOf(String(v)) >= 0; };
        kinds.set(list, 'DOMStringList');
        return list;
    }
    // Keys: numbers, dates, strings, binaries and arrays of keys, in that order.
    function keyType(k) {
        if (typeof k === 'number') return k === k ? 1 : 0;
        if (k instanceof Date) return k.getTime() === k.getTime() ? 2 : 0;
        if (typeof k === 'string') return 3;
        if (isArrayBuffer(k) || ArrayBuffer.isView(k)) return 4;
        if (Array.isArray(k)) {
            for (var n = 0; n < k.length; n++) if (!keyType(k[n])) return 0;
            return 5;
        }
        return 0;
    }
    function keyBytes(k) { return isArrayBuffer(k) ? new Uint8Array(k) : new Uint8Array(k.buffer, k.byteOffset, k.byteLength); }
    function compareKeys(a, b) {
        var ta = keyType(a), tb = keyType(b);
        if (ta !== tb) return ta < tb ? -1 : 1;
        if (ta === 2) { a = a.getTime(); b = b.getTime(); }
        if (ta === 4) {
            var x = keyBytes(a), y = keyBytes(b);
            for (var i = 0; i < x.length && i < y.length; i++) if (x[i] !== y[i]) return x[i] < y[i] ? -1 : 1;
            return x.length === y.length ? 0 : x.length < y.length ? -1 : 1;
        }
        if (ta === 5) {
            for (var n = 0; n < a.length && n < b.length; n++) {
                var c = compareKeys(a[n], b[n]);
                if (c) return c;
            }
            return a.length === b.length ? 0 : a.length < b.length ? -1 : 1;
        }
        return a === b ? 0 : a < b ? -1 : 1;
    }
    function validKey(k, what) {
        if (!keyType(k)) throw idbError('DataError', 'Failed to execute ' + what + ': The parameter is not a valid key.');
        return k instanceof Date ? new Date(k.getTime()) : k;
    }
    on('IDBFactory', 'cmp', function (r, a, b) { return compareKeys(validKey(a, "'cmp' on 'IDBFactory'"), validKey(b, "'cmp' on 'IDBFactory'")); });
    // Key ranges.
    function keyRange(lower, upper, lowerOpen, upperOpen) {
        var range = {lower: lower, upper: upper, lowerOpen: !!lowerOpen, upperOpen: !!upperOpen};
        kinds.set(range, 'IDBKeyRange');
        return range;
    }
    function inRange(range, k) {
        if (range.lower !== undefined) {
            var lo = compareKeys(k, range.lower);
            if (lo < 0 || (lo === 0 && range.lowerOpen)) return false;
        }
        if (range.upper !== undefined) {
            var hi = compareKeys(k, range.upper);
            if (hi > 0 || (hi === 0 && range.upperOpen)) return false;
        }
        return true;
    }
    on('IDBKeyRange', 'static only', function (r, v) { var k = validKey(v, "'only' on 'IDBKeyRange'"); return wrap(keyRange(k, k, false, false)); });
    on('IDBKeyRange', 'static lowerBound', function (r, v, open) { return wrap(keyRange(validKey(v, "'lowerBound' on 'IDBKeyRange'"), undefined, open, true)); });
    on('IDBKeyRange', 'static upperBound', function (r, v, open) { return wrap(keyRange(undefined, validKey(v, "'upperBound' on 'IDBKeyRange'"), true, open)); });
    on('IDBKeyRange', 'static bound', function (r, a, b, lo, hi) {
        var x = validKey(a, "'bound' on 'IDBKeyRange'"), y = validKey(b, "'bound' on 'IDBKeyRange'"), c = compareKeys(x, y);
        if (c > 0 || (c === 0 && (lo || hi))) throw idbError('DataError', "Failed to execute 'bound' on 'IDBKeyRange': The lower key is greater than the upper key.");
        return wrap(keyRange(x, y, lo, hi));
    });
    on('IDBKeyRange', 'includes', function (r, k) { return inRange(this, validKey(k, "'includes' on 'IDBKeyRange'")); });
    // A query (a key or a range) as a range; undefined matches everything.
    function rangeOf(query, what) {
        if (query === undefined || query === null) return keyRange(undefined, undefined, true, true);
        var r = records.get(query);
        if (r && r.iface.name === 'IDBKeyRange') return r.impl;
        var k = validKey(query, what);
        return keyRange(k, k, false, false);
    }
    function clonedValue(v) {
        if (!pageClone) pageClone = global.structuredClone;
        return pageClone(v);
    }
    // A request of `tx` on `source`, its work done when its turn comes.
    function idbRequest(tx, source, work) {
        var q = create(kit.types.EventTarget.prototype);
        q.readyState = 'pending';
        q.onsuccess = q.onerror = null;
        q.source = source;
        q.transaction = tx;
        q.__result = undefined;
        q.__error = null;
        q.__eventParent = tx;
        kinds.set(q, 'IDBRequest');
        if (tx) {
            tx.queue.push({request: q, work: work});
            scheduleTransaction(tx);
        }
        return q;
    }
    on('IDBRequest', 'get result', function () {
        if (this.readyState !== 'done') throw idbError('InvalidStateError', "Failed to read the 'result' property from 'IDBRequest': The request has not finished.");
        return wrap(this.__result);
    });
    on('IDBRequest', 'get error', function () {
        if (this.readyState !== 'done') throw idbError('InvalidStateError', "Failed to read the 'error' property from 'IDBRequest': The request has not finished.");
        return wrap(this.__error);
    });
    on('IDBRequest', 'get source', function () { return wrap(this.source); });
    on('IDBRequest', 'get transaction', function () { return wrap(this.transaction); });
    function storeSnapshot(db) {
        var copy = create(null);
        for (var name in db.stores) {
            var s = db.stores[name];
            copy[name] = {name: s.name, keyPath: s.keyPath, autoIncrement: s.autoIncrement, next: s.next, records: s.records.slice()};
        }
        return copy;
    }
    function newTransaction(connection, names, mode) {
        var tx = create(kit.types.EventTarget.prototype);
        tx.db = connection;
        tx.names = names;
        tx.mode = mode;
        tx.durability = 'default';
        tx.error = null;
        tx.onabort = tx.oncomplete = tx.onerror = null;
        tx.queue = [];
        tx.state = 'active';
        tx.scheduled = false;
        tx.snapshot = storeSnapshot(connection.data);
        tx.__eventParent = connection;
        tx.stores = create(null);
        kinds.set(tx, 'IDBTransaction');
        scheduleTransaction(tx);
        return tx;
    }
    function scheduleTransaction(tx) {
        if (tx.scheduled || tx.state === 'finished') return;
        tx.scheduled = true;
        kit.window.setTimeout(function () { runTransaction(tx); }, 0);
    }
    function abortTransaction(tx, error) {
        if (tx.state === 'finished') return;
        tx.state = 'finished';
        tx.error = error;
        tx.db.data.stores = tx.snapshot;
        tx.queue.forEach(function (item) {
            item.request.readyState = 'done';
            item.request.__error = idbError('AbortError', 'The transaction was aborted, so the request cannot be fulfilled.');
            item.request.dispatchEvent(idbEvent('error', true, true));
        });
        tx.queue = [];
        tx.dispatchEvent(idbEvent('abort', true, false));
        if (tx.finished) tx.finished(false);
    }
    function runTransaction(tx) {
        tx.scheduled = false;
        while (tx.queue.length && tx.state !== 'finished') {
            var item = tx.queue.shift(), q = item.request, failed = null;
            try {
                q.__result = item.work();
            } catch (e) {
                failed = e;
            }
            q.readyState = 'done';
            if (failed) {
                q.__error = failed;
                q.__result = undefined;
                var ev = idbEvent('error', true, true);
                q.dispatchEvent(ev);
                if (!ev.defaultPrevented) abortTransaction(tx, failed);
            } else {
                q.dispatchEvent(idbEvent('success', false, false));
            }
        }
        if (tx.state === 'finished') return;
        tx.state = 'finished';
        tx.dispatchEvent(idbEvent('complete', false, false));
        if (tx.finished) tx.finished(true);
    }
    function txStore(tx, name) {
        var data = tx.db.data.stores[name];
        if (!data) throw idbError('NotFoundError', "Failed to execute 'objectStore' on 'IDBTransaction': The specified object store was not found.");
        if (!tx.stores[name]) {
            var s = {tx: tx, name: name};
            kinds.set(s, 'IDBObjectStore');
            tx.stores[name] = s;
        }
        return tx.stores[name];
    }
    on('IDBTransaction', 'get objectStoreNames', function () { return wrap(stringList(this.names)); });
    on('IDBTransaction', 'get db', function () { return wrap(this.db); });
    on('IDBTransaction', 'get error', function () { return wrap(this.error); });
    on('IDBTransaction', 'objectStore', function (r, name) {
        if (this.state === 'finished') throw idbError('InvalidStateError', "Failed to execute 'objectStore' on 'IDBTransaction': The transaction has finished.");
        name = String(name);
        if (this.names.indexOf(name) < 0) throw idbError('NotFoundError', "Failed to execute 'objectStore' on 'IDBTransaction': The specified object store was not found.");
        return wrap(txStore(this, name));
    });
    on('IDBTransaction', 'abort', function () {
        if (this.state === 'finished') throw idbError('InvalidStateError', "Failed to execute 'abort' on 'IDBTransaction': The transaction has finished.");
        var tx = this;
        tx.state = 'aborting';
        kit.window.setTimeout(function () { abortTransaction(tx, null); }, 0);
    });
    on('IDBTransaction', 'commit', function () {});
    // An object store's work.
    function storeData(s) { return s.tx.db.data.stores[s.name]; }
    function keyOf(value, keyPath) {
        var v = value;
        String(keyPath).split('.').forEach(function (part) { v = v !== null && v !== undefined ? v[part] : undefined; });
        return v;
    }
    function storeWrite(s, value, key, adding, what) {
        var tx = s.tx;
        if (tx.state === 'finished') throw idbError('TransactionInactiveError', 'Failed to execute ' + what + ': The transaction has finished.');
        if (tx.mode === 'readonly') throw idbError('ReadOnlyError', 'Failed to execute ' + what + ': The transaction is read-only.');
        var d = storeData(s), k;
        if (d.keyPath !== null) {
            if (key !== undefined) throw idbError('DataError', 'Failed to execute ' + what + ': The object store uses in-line keys and the key parameter was provided.');
            k = keyOf(value, d.keyPath);
            if (k === undefined && !d.autoIncrement) throw idbError('DataError', 'Failed to execute ' + what + ': Evaluating the object store\'s key path did not yield a value.');
        } else {
            k = key;
            if (k === undefined && !d.autoIncrement) throw idbError('DataError', 'Failed to execute ' + what + ': The object store uses out-of-line keys and has no key generator and the key parameter was not provided.');
        }
        if (k !== undefined) validKey(k, what);
        var stored = clonedValue(value);
        return idbRequest(tx, s, function () {
            var data = storeData(s), useKey = k;
            if (useKey === undefined) {
                useKey = data.next++;
                if (data.keyPath !== null) stored[data.keyPath] = useKey;
            } else if (typeof useKey === 'number' && data.autoIncrement && useKey >= data.next) {
                data.next = Math.floor(useKey) + 1;
            }
            var at = findKey(data.records, useKey);
            if (at.found) {
                if (adding) throw idbError('ConstraintError', 'Key already exists in the object store.');
                data.records[at.index] = [useKey, stored];
            } else {
                data.records.splice(at.index, 0, [useKey, stored]);
            }
            return useKey;
        });
    }
    function findKey(list, k) {
        var lo = 0, hi = list.length;
        while (lo < hi) {
            var mid = (lo + hi) >> 1, c = compareKeys(list[mid][0], k);
            if (c === 0) return {found: true, index: mid};
            if (c < 0) lo = mid + 1;
            else hi = mid;
        }
        return {found: false, index: lo};
    }
    function storeRead(s, what, query, fn) {
        if (s.tx.state === 'finished') throw idbError('TransactionInactiveError', 'Failed to execute ' + what + ': The transaction has finished.');
        var range = rangeOf(query, what);
        return wrap(idbRequest(s.tx, s, function () {
            var matching = storeData(s).records.filter(function (rec) { return inRange(range, rec[0]); });
            return fn(matching);
        }));
    }
    function countOf(count) { return count === undefined || count === 0 ? Infinity : Number(count); }
    on('IDBObjectStore', 'get name', function () { return this.name; });
    on('IDBObjectStore', 'get keyPath', function () { return storeData(this).keyPath; });
    on('IDBObjectStore', 'get autoIncrement', function () { return storeData(this).autoIncrement; });
    on('IDBObjectStore', 'get indexNames', function () { return wrap(stringList([])); });
    on('IDBObjectStore', 'get transaction', function () { return wrap(this.tx); });
    on('IDBObjectStore', 'put', function (r, value, key) { return wrap(storeWrite(this, value, key, false, "'put' on 'IDBObjectStore'")); });
    on('IDBObjectStore', 'add', function (r, value, key) { return wrap(storeWrite(this, value, key, true, "'add' on 'IDBObjectStore'")); });
    on('IDBObjectStore', 'get', function (r, query) {
        return storeRead(this, "'get' on 'IDBObjectStore'", query, function (m) { return m.length ? clonedValue(m[0][1]) : undefined; });
    });
    on('IDBObjectStore', 'getKey', function (r, query) {
        return storeRead(this, "'getKey' on 'IDBObjectStore'", query, function (m) { return m.length ? m[0][0] : undefined; });
    });
    on('IDBObjectStore', 'getAll', function (r, query, count) {
        var n = countOf(count);
        return storeRead(this, "'getAll' on 'IDBObjectStore'", query, function (m) { return m.slice(0, n).map(function (rec) { return clonedValue(rec[1]); }); });
    });
    on('IDBObjectStore', 'getAllKeys', function (r, query, count) {
        var n = countOf(count);
        return storeRead(this, "'getAllKeys' on 'IDBObjectStore'", query, function (m) { return m.slice(0, n).map(function (rec) { return rec[0]; }); });
    });
    on('IDBObjectStore', 'count', function (r, query) {
        return storeRead(this, "'count' on 'IDBObjectStore'", query, function (m) { return m.length; });
    });
    on('IDBObjectStore', 'delete', function (r, query) {
        var s = this, what = "'delete' on 'IDBObjectStore'";
        if (s.tx.mode === 'readonly') throw idbError('ReadOnlyError', 'Failed to execute ' + what + ': The transaction is read-only.');
        var range = rangeOf(query, what);
        return wrap(idbRequest(s.tx, s, function () {
            var d = storeData(s);
            d.records = d.records.filter(function (rec) { return !inRange(range, rec[0]); });
            return undefined;
        }));
    });
    on('IDBObjectStore', 'clear', function () {
        var s = this;
        if (s.tx.mode === 'readonly') throw idbError('ReadOnlyError', "Failed to execute 'clear' on 'IDBObjectStore': The transaction is read-only.");
        return wrap(idbRequest(s.tx, s, function () {
            storeData(s).records = [];
            return undefined;
        }));
    });
    // Connections.
    on('IDBDatabase', 'get objectStoreNames', function () { return wrap(stringList(Object.keys(this.data.stores))); });
    on('IDBDatabase', 'get version', function () { return this.data.version; });
    on('IDBDatabase', 'createObjectStore', function (r, name, options) {
        var tx = this.upgrade;
        if (!tx || tx.state === 'finished')
            throw idbError('InvalidStateError', "Failed to execute 'createObjectStore' on 'IDBDatabase': The database is not running a version change transaction.");
        name = String(name);
        if (this.data.stores[name]) throw idbError('ConstraintError', "Failed to execute 'createObjectStore' on 'IDBDatabase': An object store with the specified name already exists.");
        var keyPath = options && options.keyPath !== undefined && options.keyPath !== null ? options.keyPath : null;
        var auto = !!(options && options.autoIncrement);
        this.data.stores[name] = {name: name, keyPath: keyPath, autoIncrement: auto, next: 1, records: []};
        tx.names.push(name);
        return wrap(txStore(tx, name));
    });
    on('IDBDatabase', 'deleteObjectStore', function (r, name) {
        if (!this.upgrade || this.upgrade.state === 'finished')
            throw idbError('InvalidStateError', "Failed to execute 'deleteObjectStore' on 'IDBDatabase': The database is not running a version change transaction.");
        name = String(name);
        if (!this.data.stores[name]) throw idbError('NotFoundError', "Failed to execute 'deleteObjectStore' on 'IDBDatabase': The specified object store was not found.");
        delete this.data.stores[name];
    });
    on('IDBDatabase', 'transaction', function (r, names, mode) {
        var what = "Failed to execute 'transaction' on 'IDBDatabase': ";
        if (this.closed) throw idbError('InvalidStateError', what + 'The database connection is closing.');
        var list = typeof names === 'string' ? [names] : Array.from(names, String);
        if (!list.length) throw idbError('InvalidAccessError', what + 'The storeNames parameter was empty.');
        for (var n = 0; n < list.length; n++)
            if (!this.data.stores[list[n]]) throw idbError('NotFoundError', what + 'One of the specified object stores was not found.');
        mode = mode === undefined ? 'readonly' : String(mode);
        if (mode !== 'readonly' && mode !== 'readwrite')
            throw new TypeError(what + "The provided value '" + mode + "' is not a valid enum value of type IDBTransactionMode.");
        list = list.filter(function (v, i) { return list.indexOf(v) === i; }).sort();
        return wrap(newTransaction(this, list, mode));
    });
    on('IDBDatabase', 'close', function () { this.closed = true; });
    function connectionTo(data) {
        var c = create(kit.types.EventTarget.prototype);
        c.data = data;
        c.name = data.name;
        c.closed = false;
        c.upgrade = null;
        c.onabort = c.onclose = c.onerror = c.onversionchange = null;
        kinds.set(c, 'IDBDatabase');
        return c;
    }
    function openRequest() {
        var q = idbRequest(null, null, null);
        q.onblocked = q.onupgradeneeded = null;
        kinds.set(q, 'IDBOpenDBRequest');
        return q;
    }
    on('IDBFactory', 'open', function (r, name, version) {
        name = String(name);
        if (version !== undefined) {
            version = Number(version);
            if (version === 0) throw new TypeError("Failed to execute 'open' on 'IDBFactory': The version provided must not be 0.");
            if (!(version >= 1) || version > 9007199254740991)
                throw new TypeError("Failed to execute 'open' on 'IDBFactory': Value is outside the 'unsigned long long' value range.");
            version = Math.floor(version);
        }
        var q = openRequest();
        kit.window.setTimeout(function () {
            var data = databases[name] || (databases[name] = {name: name, version: 0, stores: create(null)});
            var old = data.version, wanted = version === undefined ? Math.max(old, 1) : version;
            q.readyState = 'done';
            if (wanted < old) {
                q.__error = idbError('VersionError', 'The requested version (' + wanted + ') is less than the existing version (' + old + ').');
                q.dispatchEvent(idbEvent('error', true, true));
                return;
            }
            var c = connectionTo(data);
            q.__result = c;
            if (wanted === old) {
                q.dispatchEvent(idbEvent('success', false, false));
                return;
            }
            data.version = wanted;
            var tx = newTransaction(c, Object.keys(data.stores), 'versionchange');
            c.upgrade = tx;
            q.transaction = tx;
            tx.finished = function (completed) {
                c.upgrade = null;
                q.transaction = null;
                if (completed) {
                    q.dispatchEvent(idbEvent('success', false, false));
                } else {
                    data.version = old;
                    q.__result = undefined;
                    q.__error = idbError('AbortError', 'Version change transaction was aborted in upgradeneeded event handler.');
                    q.dispatchEvent(idbEvent('error', true, true));
                }
            };
            q.dispatchEvent(idbEvent('upgradeneeded', false, false, 'IDBVersionChangeEvent', {oldVersion: old, newVersion: wanted}));
        }, 0);
        return wrap(q);
    });
    on('IDBFactory', 'deleteDatabase', function (r, name) {
        name = String(name);
        var q = openRequest();
        kit.window.setTimeout(function () {
            var old = databases[name] ? databases[name].version : 0;
            delete databases[name];
            q.readyState = 'done';
            q.dispatchEvent(idbEvent('success', false, false, 'IDBVersionChangeEvent', {oldVersion: old, newVersion: null}));
        }, 0);
        return wrap(q);
    });
    on('IDBFactory', 'databases', function () {
        return promise(Object.keys(databases).map(function (n) { return {name: n, version: databases[n].version}; }));
    });

    // ---- sockets, event streams, broadcast channels -------------------------------------
    // No request leaves the workbench: a socket or an event stream fails as one without
    // network does (recorded in the log as a request not sent).
    var WEBSOCKET_SCHEMES = {'ws:': 'ws:', 'wss:': 'wss:', 'http:': 'ws:', 'https:': 'wss:'};
    on('WebSocket', 'constructor', function (url, protocols) {
        var what = "Failed to construct 'WebSocket': ", address = kit.addresses.resolve(String(url), kit.location.href);
        var parts = kit.addresses.parse(address), scheme = String(parts.protocol || '').toLowerCase();
        if (!/^[a-z][a-z0-9+.\-]*:/i.test(address)) throw domException('SyntaxError', what + "The URL '" + url + "' is invalid.");
        if (!hasOwn.call(WEBSOCKET_SCHEMES, scheme))
            throw domException('SyntaxError', what + "The URL's scheme must be either 'http', 'https', 'ws', or 'wss'. '" + scheme.slice(0, -1) + "' is not allowed.");
        if (parts.hash) throw domException('SyntaxError', what + "The URL contains a fragment identifier ('" + parts.hash.substring(1) + "'). Fragment identifiers are not allowed in WebSocket URLs.");
        var list = protocols === undefined ? [] : typeof protocols === 'string' ? [protocols] : Array.from(protocols, String);
        for (var n = 0; n < list.length; n++) {
            if (!TOKEN.test(list[n])) throw domException('SyntaxError', what + "The subprotocol '" + list[n] + "' is invalid.");
            if (list.indexOf(list[n]) !== n) throw domException('SyntaxError', what + "The subprotocol '" + list[n] + "' is duplicated.");
        }
        address = WEBSOCKET_SCHEMES[scheme] + address.substring(scheme.length);
        var w = create(kit.types.EventTarget.prototype);
        w.url = address;
        w.readyState = 0;
        w.protocol = w.extensions = '';
        w.binaryType = 'blob';
        w.bufferedAmount = 0;
        w.onopen = w.onerror = w.onclose = w.onmessage = null;
        kinds.set(w, 'WebSocket');
        kit.recordRequest('GET', address, undefined, 'WebSocket');
        kit.window.setTimeout(function () {
            w.readyState = 3;
            w.dispatchEvent(idbEvent('error', false, false));
            w.dispatchEvent(idbEvent('close', false, false, 'CloseEvent', {code: 1006, wasClean: false, reason: ''}));
        }, 0);
        return w;
    });
    on('WebSocket', 'send', function (r, data) {
        if (this.readyState === 0) throw domException('InvalidStateError', "Failed to execute 'send' on 'WebSocket': Still in CONNECTING state.");
        var b = bodyOf(data);
        if (b) this.bufferedAmount += b.bytes.length;
    });
    on('WebSocket', 'close', function (r, code, reason) {
        var what = "Failed to execute 'close' on 'WebSocket': ";
        if (code !== undefined) {
            code = Number(code) & 0xffff;
            if (code !== 1000 && (code < 3000 || code > 4999))
                throw domException('InvalidAccessError', what + 'The close code must be either 1000, or between 3000 and 4999. ' + code + ' is neither.');
        }
        if (reason !== undefined && utf8Of(String(reason)).length > 123)
            throw domException('SyntaxError', what + 'The close reason must not be greater than 123 UTF-8 bytes.');
        if (this.readyState < 2) this.readyState = 2;
    });
    on('WebSocket', 'set binaryType', function (v) {
        v = String(v);
        if (v === 'blob' || v === 'arraybuffer') this.binaryType = v;
    });
    on('EventSource', 'constructor', function (url, init) {
        var address = kit.addresses.resolve(String(url), kit.location.href);
        var s = create(kit.types.EventTarget.prototype);
        s.url = address;
        s.withCredentials = !!(init && init.withCredentials);
        s.readyState = 0;
        s.onopen = s.onmessage = s.onerror = null;
        kinds.set(s, 'EventSource');
        kit.recordRequest('GET', address, undefined, 'EventSource');
        kit.window.setTimeout(function () {
            if (s.readyState !== 2) s.dispatchEvent(idbEvent('error', false, false));
        }, 0);
        return s;
    });
    on('EventSource', 'close', function () { this.readyState = 2; });
    // Broadcast channels of this page: what one posts reaches the others of its name.
    var channels = [];
    on('BroadcastChannel', 'constructor', function (name) {
        var c = create(kit.types.EventTarget.prototype);
        c.name = String(name);
        c.closed = false;
        c.onmessage = c.onmessageerror = null;
        kinds.set(c, 'BroadcastChannel');
        channels.push(c);
        return c;
    });
    on('BroadcastChannel', 'postMessage', function (r, message) {
        if (this.closed) throw domException('InvalidStateError', "Failed to execute 'postMessage' on 'BroadcastChannel': Channel is closed");
        var from = this, data = clonedValue(message);
        channels.forEach(function (c) {
            if (c === from || c.closed || c.name !== from.name) return;
            kit.window.setTimeout(function () {
                if (c.closed) return;
                var e = messageEvent(clonedValue(data));
                e.origin = kit.location.origin;
                c.dispatchEvent(e);
            }, 0);
        });
    });
    on('BroadcastChannel', 'close', function () {
        this.closed = true;
        var at = channels.indexOf(this);
        if (at >= 0) channels.splice(at, 1);
    });

    // ---- the battery, service workers, caches -------------------------------------------
    var battery = null, batteryPromise = null;
    on('Navigator', 'getBattery', function () {
        if (!batteryPromise) {
            battery = create(kit.types.EventTarget.prototype);
            battery.charging = true;
            battery.chargingTime = 0;
            battery.dischargingTime = Infinity;
            battery.level = 1;
            battery.onchargingchange = battery.onchargingtimechange = battery.ondischargingtimechange = battery.onlevelchange = null;
            kinds.set(battery, 'BatteryManager');
            batteryPromise = promise(wrap(battery));
        }
        return batteryPromise;
    });
    var serviceWorkers = null;
    on('Navigator', 'get serviceWorker', function () {
        if (!serviceWorkers) {
            serviceWorkers = create(kit.types.EventTarget.prototype);
            serviceWorkers.controller = null;
            serviceWorkers.ready = new Promise(function () {});
            serviceWorkers.oncontrollerchange = serviceWorkers.onmessage = serviceWorkers.onmessageerror = null;
            kinds.set(serviceWorkers, 'ServiceWorkerContainer');
        }
        return wrap(serviceWorkers);
    });
    on('ServiceWorkerContainer', 'get ready', function () { return this.ready; });
    on('ServiceWorkerContainer', 'getRegistrations', function () { return promise([]); });
    on('ServiceWorkerContainer', 'getRegistration', function () { return promise(undefined); });
    on('ServiceWorkerContainer', 'register', function (r, url) {
        var address = kit.addresses.resolve(String(url), kit.location.href);
        kit.recordRequest('GET', address, undefined, 'ServiceWorker');
        return Promise.reject(new TypeError('Failed to register a ServiceWorker for scope (\'' + address.replace(/[^\/]*$/, '') +
            "') with script ('" + address + "'): An unknown error occurred when fetching the script."));
    });
    on('ServiceWorkerContainer', 'startMessages', function () {});
    var cacheStorage = {names: []};
    kinds.set(cacheStorage, 'CacheStorage');
    on('Window', 'get caches', function () { return wrap(cacheStorage); });
    on('CacheStorage', 'keys', function () { return promise(this.names.slice()); });
    on('CacheStorage', 'has', function (r, name) { return promise(this.names.indexOf(String(name)) >= 0); });
    on('CacheStorage', 'match', function () { return promise(undefined); });
    on('CacheStorage', 'delete', function (r, name) {
        var at = this.names.indexOf(String(name));
        if (at >= 0) this.names.splice(at, 1);
        return promise(at >= 0);
    });
    on('CacheStorage', 'open', function (r, name) {
        if (this.names.indexOf(String(name)) < 0) this.names.push(String(name));
        var cache = {};
        kinds.set(cache, 'Cache');
        return promise(wrap(cache));
    });

    // ---- headers and responses ---------------------------------------------------------
    // A page's own responses (and what a blob: or data: address reads as): headers kept in
    // the order they came, listed sorted and joined as Chrome lists them.
    var TOKEN = /^[!#$%&'*+\-.^_`|~0-9A-Za-z]+$/;
    function headerValue(v, what) {
        var text = String(v).replace(/^[\t\n\r ]+|[\t\n\r ]+$/g, '');
        if (/[\0\n\r]/.test(text)) throw new TypeError('Failed to ' + what + ': Invalid value');
        return text;
    }
    function headerName(v, what) {
        var name = String(v);
        if (!TOKEN.test(name)) throw new TypeError('Failed to ' + what + ': Invalid name');
        return name.toLowerCase();
    }
    function newHeaders() {
        var h = {entries: []};
        define(h, 'list', {get: function () {
            var names = [], n, out = [];
            for (n = 0; n < h.entries.length; n++) if (names.indexOf(h.entries[n].name) < 0) names.push(h.entries[n].name);
            names.sort();
            names.forEach(function (name) {
                var values = h.entries.filter(function (e) { return e.name === name; }).map(function (e) { return e.value; });
                if (name === 'set-cookie') values.forEach(function (v) { out.push({name: name, value: v}); });
                else out.push({name: name, value: values.join(', ')});
            });
            return out;
        }});
        kinds.set(h, 'Headers');
        return h;
    }
    function fillHeaders(h, init, what) {
        if (init === undefined) return h;
        if (init === null || (typeof init !== 'object' && typeof init !== 'function'))
            throw new TypeError('Failed to ' + what + ": The provided value is not of type '(record<ByteString, ByteString> or sequence<sequence<ByteString>>)'.");
        var r = records.get(init);
        if (r && r.iface.name === 'Headers') {
            r.impl.entries.forEach(function (e) { h.entries.push({name: e.name, value: e.value}); });
        } else if (typeof init[Symbol.iterator] === 'function') {
            for (var pair of init) {
                var items = Array.from(pair);
                if (items.length !== 2) throw new TypeError('Failed to ' + what + ': Invalid value');
                h.entries.push({name: headerName(items[0], what), value: headerValue(items[1], what)});
            }
        } else {
            Object.keys(init).forEach(function (k) { h.entries.push({name: headerName(k, what), value: headerValue(init[k], what)}); });
        }
        return h;
    }
    function headerGet(h, name) {
        var values = h.entries.filter(function (e) { return e.name === name; }).map(function (e) { return e.value; });
        return values.length ? values.join(', ') : null;
    }
    on('Headers', 'constructor', function (init) { return fillHeaders(newHeaders(), init, "construct 'Headers'"); });
    on('Headers', 'append', function (r, name, value) {
        this.entries.push({name: headerName(name, "execute 'append' on 'Headers'"), value: headerValue(value, "execute 'append' on 'Headers'")});
    });
    on('Headers', 'set', function (r, name, value) {
        var key = headerName(name, "execute 'set' on 'Headers'"), text = headerValue(value, "execute 'set' on 'Headers'"), at = -1;
        this.entries = this.entries.filter(function (e, n) {
            if (e.name !== key) return true;
            if (at < 0) {
                at = n;
                e.value = text;
                return true;
            }
            return false;
        });
        if (at < 0) this.entries.push({name: key, value: text});
    });
    on('Headers', 'delete', function (r, name) {
        var key = headerName(name, "execute 'delete' on 'Headers'");
        this.entries = this.entries.filter(function (e) { return e.name !== key; });
    });
    on('Headers', 'get', function (r, name) { return headerGet(this, headerName(name, "execute 'get' on 'Headers'")); });
    on('Headers', 'has', function (r, name) { return headerGet(this, headerName(name, "execute 'has' on 'Headers'")) !== null; });
    on('Headers', 'getSetCookie', function () {
        return this.entries.filter(function (e) { return e.name === 'set-cookie'; }).map(function (e) { return e.value; });
    });

    // What a body given to a response is: its bytes and the type it brings.
    function bodyOf(body) {
        if (body === undefined || body === null) return null;
        var b = blobOf(body), r = records.get(body);
        if (b) return {bytes: b.bytes, type: b.type || null};
        if (isArrayBuffer(body)) return {bytes: new Uint8Array(body.slice(0)), type: null};
        if (ArrayBuffer.isView(body)) return {bytes: new Uint8Array(body.buffer.slice(body.byteOffset, body.byteOffset + body.byteLength)), type: null};
        if (r && r.iface.name === 'URLSearchParams') return {bytes: utf8Of(queryText(r.impl.list)), type: 'application/x-www-form-urlencoded;charset=UTF-8'};
        return {bytes: utf8Of(String(body)), type: 'text/plain;charset=UTF-8'};
    }
    function newResponse(bytes, status, statusText, headers, type, url) {
        var res = {bytes: bytes, status: status, statusText: statusText, headers: headers, type: type, url: url, redirected: false,
            bodyUsed: false, body: null};
        kinds.set(res, 'Response');
        return res;
    }
    var NULL_BODY = [101, 103, 204, 205, 304];
    function responseInit(init, what) {
        var o = {status: 200, statusText: '', headers: newHeaders()};
        if (init === undefined || init === null) return o;
        if (init.status !== undefined) {
            o.status = Number(init.status) | 0;
            if (o.status < 200 || o.status > 599) throw new RangeError('Failed to ' + what + ': The status provided (' + o.status + ') is outside the range [200, 599].');
        }
        if (init.statusText !== undefined) o.statusText = String(init.statusText);
        fillHeaders(o.headers, init.headers, what);
        return o;
    }
    function madeResponse(body, init, what, forcedType) {
        var o = responseInit(init, what), b = bodyOf(body);
        if (b && NULL_BODY.indexOf(o.status) >= 0) throw new TypeError('Failed to ' + what + ': Response with null body status cannot have body');
        var type = forcedType || (b && b.type);
        if (type && headerGet(o.headers, 'content-type') === null) o.headers.entries.push({name: 'content-type', value: type});
        return newResponse(b ? b.bytes : null, o.status, o.statusText, o.headers, 'default', '');
    }
    on('Response', 'constructor', function (body, init) { return madeResponse(body, init, "construct 'Response'"); });
    on('Response', 'get ok', function () { return this.status >= 200 && this.status <= 299; });
    on('Response', 'get headers', function () { return wrap(this.headers); });
    on('Response', 'get body', function () {
        if (this.bytes === null) return null;
        if (!this.body) {
            this.body = {};
            kinds.set(this.body, 'ReadableStream');
        }
        return wrap(this.body);
    });
    on('Response', 'static error', function () { return wrap(newResponse(null, 0, '', newHeaders(), 'error', '')); });
    on('Response', 'static json', function (r, data, init) {
        var text = JSON.stringify(data);
        if (text === undefined) throw new TypeError("Failed to execute 'json' on 'Response': The data is not JSON serializable");
        return wrap(madeResponse(text, init, "execute 'json' on 'Response'", 'application/json'));
    });
    on('Response', 'static redirect', function (r, url, status) {
        var code = status === undefined ? 302 : Number(status) | 0;
        if ([301, 302, 303, 307, 308].indexOf(code) < 0) throw new RangeError("Failed to execute 'redirect' on 'Response': Invalid status code");
        var h = newHeaders();
        h.entries.push({name: 'location', value: kit.addresses.resolve(String(url), kit.location.href)});
        return wrap(newResponse(null, code, '', h, 'default', ''));
    });
    // A body read once: its bytes, or a rejection in the method's name.
    function readBody(res, what) {
        if (res.bodyUsed) return Promise.reject(new TypeError("Failed to execute '" + what + "' on 'Response': body stream already read"));
        if (res.bytes !== null) res.bodyUsed = true;
        return promise(res.bytes || new Uint8Array(0));
    }
    on('Response', 'text', function () { return readBody(this, 'text').then(textOfUtf8); });
    on('Response', 'arrayBuffer', function () { return readBody(this, 'arrayBuffer').then(function (b) { return b.slice().buffer; }); });
    on('Response', 'blob', function () {
        var type = headerGet(this.headers, 'content-type');
        return readBody(this, 'blob').then(function (b) { return wrap(newBlob(b.slice(), type === null ? '' : blobType(type))); });
    });
    on('Response', 'json', function () {
        return readBody(this, 'json').then(function (b) {
            try {
                return global.JSON.parse(textOfUtf8(b));
            } catch (e) {
                if (e instanceof SyntaxError) throw new SyntaxError("Failed to execute 'json' on 'Response': " + e.message);
                throw e;
            }
        });
    });
    on('Response', 'clone', function () {
        if (this.bodyUsed) throw new TypeError("Failed to execute 'clone' on 'Response': Response body is already used");
        var h = newHeaders();
        h.entries = this.headers.entries.map(function (e) { return {name: e.name, value: e.value}; });
        var c = newResponse(this.bytes, this.status, this.statusText, h, this.type, this.url);
        c.redirected = this.redirected;
        return wrap(c);
    });

    // What a blob: or data: address holds, as a response would carry it: {bytes, type}; null
    // for any other address; false for a blob: address that names no blob (now).
    function localResource(address) {
        if (/^blob:/i.test(address)) {
            var b = blobAt(address);
            return b ? {bytes: b.bytes, type: b.type} : false;
        }
        var m = /^data:([^,]*),([\s\S]*)$/i.exec(address);
        if (!m) return /^data:/i.test(address) ? false : null;
        var meta = m[1].replace(/^[\t\n\f\r ]+|[\t\n\f\r ]+$/g, ''), body = m[2], base64 = /;\s*base64$/i.test(meta);
        if (base64) meta = meta.replace(/;\s*base64$/i, '');
        if (base64) {
            try {
                body = kit.window.atob(body.replace(/[\t\n\f\r ]/g, ''));
            } catch (e) {
                return false;
            }
        } else {
            body = body.replace(/%([0-9a-fA-F]{2})/g, function (all, hex) { return String.fromCharCode(parseInt(hex, 16)); });
        }
        var bytes = new Uint8Array(body.length);
        for (var n = 0; n < body.length; n++) bytes[n] = body.charCodeAt(n) & 255;
        if (meta === '' || meta.charAt(0) === ';') meta = 'text/plain' + (meta === '' ? ';charset=US-ASCII' : meta);
        return {bytes: bytes, type: meta};
    }
    // fetch() of a blob: or data: address answers from what it holds; any other goes on to
    // the page's fetch (recorded in the log, never sent).
    function localFetch(impl, input, init) {
        var r = records.get(input), address = r && r.iface.name === 'Request' && typeof r.impl.url === 'string' ? r.impl.url : String(input);
        address = kit.addresses.resolve(address, kit.location.href);
        var local = localResource(address);
        if (local === null) return impl.fetch(unwrap(input), unwrap(init));
        if (local === false) return Promise.reject(new TypeError('Failed to fetch'));
        var h = newHeaders();
        h.entries.push({name: 'content-length', value: String(local.bytes.length)});
        if (local.type) h.entries.push({name: 'content-type', value: local.type});
        return promise(wrap(newResponse(local.bytes, 200, 'OK', h, 'basic', address)));
    }
    on('Window', 'fetch', function (r, input, init) { return localFetch(this, input, init); });
    on('WorkerGlobalScope', 'fetch', function (r, input, init) { return localFetch(kit.window, input, init); });
    if (kit.localResources) kit.localResources(function (address) {
        var local = localResource(address);
        return local ? {bytes: local.bytes, type: local.type, blob: function (type) { return newBlob(local.bytes.slice(), type); }} : local;
    });

    // ---- dedicated workers -------------------------------------------------------------
    // A worker runs its script (a blob's or a data: address's; the workbench sends no
    // request for any other) in a realm of its own, as a frame's, under a worker's global:
    // the page's values on its navigator, the profile's clock, timers on the page's clock,
    // and messages cloned both ways, each a task of its own. Its code runs in the page's
    // turn of the engine, as the page's timers do.
    var runningScope = null;    // the worker global whose code runs now
    function scopeGlobal() { return runningScope || global; }
    // The worker's own interfaces and those it shares with the page (the page's objects:
    // nothing the page holds reaches a worker but clones).
    var WORKER_NAMES = ('WorkerGlobalScope DedicatedWorkerGlobalScope WorkerNavigator WorkerLocation EventTarget Event ' +
        'MessageEvent ErrorEvent ProgressEvent CustomEvent PromiseRejectionEvent Blob File FileReader FormData URL ' +
        'URLSearchParams Headers Request Response TextEncoder TextDecoder TextEncoderStream TextDecoderStream ReadableStream ' +
        'WritableStream TransformStream AbortController AbortSignal DOMException XMLHttpRequest XMLHttpRequestEventTarget ' +
        'XMLHttpRequestUpload Crypto SubtleCrypto CryptoKey Performance PerformanceEntry PerformanceMark PerformanceMeasure ' +
        'ImageData ImageBitmap OffscreenCanvas OffscreenCanvasRenderingContext2D CanvasGradient CanvasPattern Path2D ' +
        'TextMetrics MessageChannel MessagePort BroadcastChannel WebSocket EventSource IDBFactory IDBDatabase IDBRequest ' +
        'IDBOpenDBRequest IDBKeyRange IDBObjectStore IDBTransaction IDBIndex IDBCursor Cache CacheStorage ' +
        'NetworkInformation Permissions PermissionStatus StorageManager NavigatorUAData Notification WebGLRenderingContext ' +
        'WebGL2RenderingContext Worker DOMMatrix DOMMatrixReadOnly DOMPoint DOMPointReadOnly DOMRect DOMRectReadOnly DOMQuad ' +
        'FontFace Lock LockManager MediaCapabilities CompressionStream DecompressionStream').split(' ');
    var pageClone = null;
    // A worker's script: the text its address holds, or null where it holds none here.
    function workerSource(address) {
        var b = blobAt(address);
        if (b) return textOfUtf8(b.bytes);
        var m = /^data:([^,]*),([\s\S]*)$/i.exec(address);
        if (!m) return null;
        var body = m[2];
        if (/;\s*base64\s*$/i.test(m[1])) {
            try {
                body = kit.window.atob(body.replace(/[\t\n\f\r ]/g, ''));
            } catch (e) {
                return null;
            }
        } else {
            body = body.replace(/%([0-9a-fA-F]{2})/g, function (all, hex) { return String.fromCharCode(parseInt(hex, 16)); });
        }
        var bytes = new Uint8Array(body.length);
        for (var n = 0; n < body.length; n++) bytes[n] = body.charCodeAt(n) & 255;
        return textOfUtf8(bytes);
    }
    function messageEvent(data) {
        var e = new kit.types.Event('message');
        e.data = data;
        e.origin = e.lastEventId = '';
        e.source = null;
        e.ports = [];
        e.isTrusted = true;
        kinds.set(e, 'MessageEvent');
        return e;
    }
    // Where in the worker's script an error was thrown (its stack's first frame there).
    function errorPlace(e, address) {
        var stack = '';
        try {
            stack = e && typeof e.stack === 'string' ? e.stack : '';
        } catch (x) {
            stack = '';
        }
        var at = stack.indexOf(address + ':');
        var m = at >= 0 ? /^:(\d+):(\d+)/.exec(stack.substring(at + address.length)) : null;
        return m ? {line: Number(m[1]), column: Number(m[2])} : {line: 1, column: 0};
    }
    function errorText(e) {
        try {
            return e instanceof Object || (e && typeof e === 'object') ? String(e.name) + ': ' + String(e.message) : String(e);
        } catch (x) {
            return 'Error';
        }
    }
    // An error the worker's code did not catch: an ErrorEvent at the worker's global, then
    // (unless a handler there took it) one at the Worker object in the page.
    function workerError(scope, e) {
        var place = errorPlace(e, scope.address), message = 'Uncaught ' + errorText(e);
        function event() {
            var ev = new kit.types.Event('error', {cancelable: true});
            ev.message = message;
            ev.filename = scope.address;
            ev.lineno = place.line;
            ev.colno = place.column;
            ev.error = null;
            ev.isTrusted = true;
            kinds.set(ev, 'ErrorEvent');
            return ev;
        }
        var inner = event();
        inner.error = e;
        var was = runningScope;
        runningScope = scope.global;
        var handled;
        try {
            handled = !scope.impl.dispatchEvent(inner);
        } catch (x) {
            handled = false;
        } finally {
            runningScope = was;
        }
        if (handled) return;
        kit.window.setTimeout(function () {
            if (scope.worker.terminated) return;
            if (scope.worker.dispatchEvent(event())) line('Worker 中未捕获的错误：' + message);
        }, 0);
    }
    // Runs `fn` as the worker's code: what it throws is the worker's error.
    function inWorker(scope, fn) {
        if (scope.closed || scope.worker.terminated) return undefined;
        var was = runningScope;
        runningScope = scope.global;
        try {
            return fn();
        } catch (e) {
            workerError(scope, e);
            return undefined;
        } finally {
            runningScope = was;
        }
    }
    if (kit.onUncaught) kit.onUncaught(function (e) {
        if (runningScope === null) return false;
        var r = records.get(runningScope);
        if (!r || !r.impl.scope) return false;
        workerError(r.impl.scope, e);
        return true;
    });
    function line(text) { if (typeof host.line === 'function') host.line(text); }
    // The worker's global: its realm's global, made the worker's.
    function workerScope(worker, realm, address, name) {
        var impl = create(kit.types.EventTarget.prototype);
        var scope = {worker: worker, global: realm, impl: impl, address: address, closed: false, timers: []};
        impl.scope = scope;
        ['message', 'messageerror', 'error', 'languagechange', 'offline', 'online', 'rejectionhandled', 'unhandledrejection',
            'rtctransform'].forEach(function (k) { impl['on' + k] = null; });
        var nav = create(kit.navigator);
        kinds.set(nav, 'WorkerNavigator');
        var where = kit.addresses.parse(address), loc = {};
        ['href', 'origin', 'protocol', 'host', 'hostname', 'port', 'pathname', 'search', 'hash'].forEach(function (k) {
            loc[k] = typeof where[k] === 'string' ? where[k] : '';
        });
        loc.href = address;
        if (/^(blob|data):/i.test(address)) {
            loc.protocol = address.substring(0, address.indexOf(':') + 1).toLowerCase();
            loc.pathname = address.substring(loc.protocol.length);
            loc.host = loc.hostname = loc.port = loc.search = loc.hash = '';
            loc.origin = kit.location.origin;
        }
        kinds.set(loc, 'WorkerLocation');
        impl.self = impl;
        impl.navigator = nav;
        impl.location = loc;
        impl.name = name;
        impl.origin = kit.location.origin;
        impl.isSecureContext = kit.window.isSecureContext !== false;
        impl.crossOriginIsolated = false;
        impl.crypto = kit.window.crypto;
        impl.performance = kit.window.performance;
        impl.indexedDB = indexedDB;
        impl.atob = kit.window.atob;
        impl.btoa = kit.window.btoa;
        var realmClone = realm.structuredClone;
        impl.structuredClone = function (v) { return realmClone(v); };
        impl.queueMicrotask = function (fn) { Promise.resolve().then(function () { inWorker(scope, function () { fn(); }); }); };
        impl.reportError = function (e) { workerError(scope, e); };
        function timer(repeat) {
            return function (fn, delay) {
                var args = arraySlice.call(arguments, 2), id;
                var run = function () {
                    if (!repeat) scope.timers.splice(scope.timers.indexOf(id), 1);
                    inWorker(scope, function () {
                        if (typeof fn === 'function') fn.apply(undefined, args);
                        else host.runScript(String(fn), address, 1, 0, realm);
                    });
                };
                id = repeat ? kit.window.setInterval(run, delay) : kit.window.setTimeout(run, delay);
                scope.timers.push(id);
                return id;
            };
        }
        function clear(id) {
            var at = scope.timers.indexOf(id);
            if (at < 0) return;
            scope.timers.splice(at, 1);
            kit.window.clearTimeout(id);
            kit.window.clearInterval(id);
        }
        impl.setTimeout = timer(false);
        impl.setInterval = timer(true);
        impl.clearTimeout = impl.clearInterval = clear;
        impl.requestAnimationFrame = function (fn) { return impl.setTimeout(function () { fn(kit.window.performance.now()); }, 16); };
        impl.cancelAnimationFrame = clear;
        impl.importScripts = function () {
            for (var n = 0; n < arguments.length; n++) {
                var url = String(arguments[n]), at = kit.addresses.resolve(url, address), code = workerSource(at);
                if (code === null)
                    throw domException('NetworkError', "Failed to execute 'importScripts' on 'WorkerGlobalScope': The script at '" + at + "' failed to load.");
                host.runScript(code, at, 1, 0, realm);
            }
        };
        impl.close = function () { stopWorker(scope); };
        impl.postMessage = function (message) {
            if (!pageClone) pageClone = global.structuredClone;
            var data = pageClone(message);
            kit.window.setTimeout(function () {
                if (worker.terminated) return;
                worker.dispatchEvent(messageEvent(data));
            }, 0);
        };
        kinds.set(impl, 'DedicatedWorkerGlobalScope');
        // The global itself: the worker's interfaces in its chain, its members its own.
        var spec = interfaceOf('DedicatedWorkerGlobalScope');
        setProto(realm, spec.proto);
        adopt(realm, spec, impl);
        ['WorkerGlobalScope', 'DedicatedWorkerGlobalScope'].forEach(function (iface) {
            globalMembersOf(interfaceOf(iface).facts).forEach(function (m) {
                if (m.name !== 'structuredClone' || !hasOwn.call(realm, m.name)) defineMember(realm, iface, m, true);
            });
        });
        defineValue(realm, 'console', namespaceOf(kit.window.console, 'console'), false, true, true);
        WORKER_NAMES.forEach(function (n) {
            if (hasOwn.call(realm, n) || !isInterface(n)) return;
            var s = interfaceOf(n);
            if (s && s.ctor) defineValue(realm, n, s.ctor, false, true, true);
        });
        clockPersona(realm);
        return scope;
    }
    function stopWorker(scope) {
        scope.closed = true;
        scope.timers.forEach(function (id) {
            kit.window.clearTimeout(id);
            kit.window.clearInterval(id);
        });
        scope.timers = [];
    }
    on('Worker', 'constructor', function (url, options) {
        var address = kit.addresses.resolve(String(url), kit.location.href);
        var worker = create(kit.types.EventTarget.prototype);
        worker.onmessage = worker.onerror = worker.onmessageerror = null;
        worker.terminated = false;
        worker.scope = null;
        kinds.set(worker, 'Worker');
        var name = options && typeof options === 'object' && options.name !== undefined ? String(options.name) : '';
        var realm = typeof host.frameRealm === 'function' ? host.frameRealm() : null, source = workerSource(address);
        if (realm && source !== null) worker.scope = workerScope(worker, realm, address, name);
        kit.window.setTimeout(function () {
            if (worker.terminated) return;
            var scope = worker.scope;
            if (!scope) {
                // (an address the workbench does not load: the worker fails as one whose script did not come)
                var ev = new kit.types.Event('error');
                ev.isTrusted = true;
                worker.dispatchEvent(ev);
                return;
            }
            inWorker(scope, function () { host.runScript(source, address, 1, 0, realm); });
        }, 0);
        return worker;
    });
    on('Worker', 'postMessage', function (r, message) {
        var worker = this, scope = worker.scope;
        if (worker.terminated || !scope) return;
        var data = scope.impl.structuredClone(message);
        kit.window.setTimeout(function () {
            inWorker(scope, function () { scope.impl.dispatchEvent(messageEvent(data)); });
        }, 0);
    });
    on('Worker', 'terminate', function () {
        this.terminated = true;
        if (this.scope) stopWorker(this.scope);
    });

    // Abort signals: a controller's signal, aborted once, with its reason and an abort event.
    function abortSignal() {
        var signal = create(kit.types.EventTarget.prototype);
        signal.aborted = false;
        signal.reason = undefined;
        signal.onabort = null;
        kinds.set(signal, 'AbortSignal');
        return signal;
    }
    function abortWith(signal, reason) {
        if (signal.aborted) return;
        signal.aborted = true;
        signal.reason = reason === undefined ? unwrap(domException('AbortError', 'signal is aborted without reason')) : reason;
        signal.dispatchEvent(new kit.types.Event('abort'));
    }
    on('AbortController', 'constructor', function () { return {signal: abortSignal()}; });
    on('AbortController', 'abort', function (r, reason) { abortWith(this.signal, reason); });
    on('AbortSignal', 'get reason', function () { return wrap(this.reason); });
    on('AbortSignal', 'throwIfAborted', function () { if (this.aborted) throw wrap(this.reason); });
    on('AbortSignal', 'static abort', function (r, reason) {
        var signal = abortSignal();
        abortWith(signal, unwrap(reason));
        return wrap(signal);
    });
    on('AbortSignal', 'static timeout', function (r, ms) {
        var signal = abortSignal();
        kit.window.setTimeout(function () {
            abortWith(signal, unwrap(domException('TimeoutError', 'signal timed out')));
        }, Number(ms) || 0);
        return wrap(signal);
    });

    // Objects a page's object has one of, made when first asked for.
    function oneOf(owner, key, make) {
        var held = ownedObjects.get(owner);
        if (!held) ownedObjects.set(owner, held = create(null));
        return held[key] || (held[key] = make());
    }
    var ownedObjects = new WeakMap();
    on('XMLHttpRequest', 'get upload', function () {
        return wrap(oneOf(this, 'upload', function () {
            var upload = create(kit.types.EventTarget.prototype);
            ['onloadstart', 'onprogress', 'onabort', 'onerror', 'onload', 'ontimeout', 'onloadend'].forEach(function (k) { upload[k] = null; });
            kinds.set(upload, 'XMLHttpRequestUpload');
            return upload;
        }));
    });
    // Chrome's own performance.memory: a 64-bit Windows Chrome's heap limit, and a heap
    // the size of a page that has just started.
    var memoryInfo = {jsHeapSizeLimit: 4294705152, totalJSHeapSize: 10482364, usedJSHeapSize: 9236180};
    kinds.set(memoryInfo, 'MemoryInfo');
    on('Performance', 'get memory', function () { return wrap(memoryInfo); });
    on('Performance', 'get navigation', function () {
        return wrap(oneOf(this, 'navigation', function () {
            var n = {type: 0, redirectCount: 0, toJSON: function () { return {type: n.type, redirectCount: n.redirectCount}; }};
            kinds.set(n, 'PerformanceNavigation');
            return n;
        }));
    });
    // No camera or microphone is there to list.
    on('Navigator', 'get mediaDevices', function () {
        return wrap(oneOf(this, 'mediaDevices', function () {
            var devices = create(kit.types.EventTarget.prototype);
            devices.ondevicechange = null;
            kinds.set(devices, 'MediaDevices');
            return devices;
        }));
    });
    // A desktop's devices as a page sees them before it is given leave to use any: one of
    // each kind, nothing named.
    on('MediaDevices', 'enumerateDevices', function () {
        return Promise.resolve(['audioinput', 'videoinput', 'audiooutput'].map(function (kind) {
            var d = {deviceId: '', kind: kind, label: '', groupId: ''};
            d.toJSON = function () { return {deviceId: d.deviceId, kind: d.kind, label: d.label, groupId: d.groupId}; };
            kinds.set(d, kind === 'audiooutput' ? 'MediaDeviceInfo' : 'InputDeviceInfo');
            return wrap(d);
        }));
    });

    // Observers watch nothing that changes by itself here: they record and stay quiet.
    ['MutationObserver', 'IntersectionObserver', 'ResizeObserver', 'PerformanceObserver'].forEach(function (name) {
        on(name, 'constructor', function (callback) {
            if (typeof callback !== 'function') {
                throw new TypeError("Failed to construct '" + name + "': parameter 1 is not of type '" + name.replace('Observer', '') + "Callback'.");
            }
            return {callback: callback, records: []};
        });
        on(name, 'takeRecords', function () { return []; });
    });

    // ---- ranges, selections, tree walkers, the timeline ------------------------------
    // Their page objects are made when a script first asks for one; so are the kinds the
    // face knows them by.
    if (kit.watchTypes) {
        kit.watchTypes(function (types) {
            for (var name in types) if (hasOwn.call(types, name)) implTypes.set(types[name].prototype, name);
        });
    }
    function notNodeError(what, at) { return new TypeError('Failed to ' + what + ': parameter ' + (at || 1) + " is not of type 'Node'."); }
    function pageNode(v, what, at) {
        var r = v !== null && typeof v === 'object' ? records.get(v) : undefined;
        if (!r || !r.iface.ancestors.Node) throw notNodeError(what, at);
        return r.impl;
    }
    // A text's data written through either name keeps its length and value with it.
    on('CharacterData', 'set data', function (v) { kit.setText(this, v); });
    // A text's own content is its data; the document and doctypes have none to write.
    on('Node', 'set textContent', function (v) {
        var type = this.nodeType;
        if (type === 3 || type === 4 || type === 7 || type === 8) kit.setText(this, v);
        else if (type !== 9 && type !== 10) this.textContent = unwrap(v);
    });
    // (Elements, documents, doctypes and fragments have no value to write.)
    on('Node', 'set nodeValue', function (v) {
        var type = this.nodeType;
        if (type === 3 || type === 4 || type === 7 || type === 8) kit.setText(this, v);
        else if (type === 2) this.nodeValue = this.value = v === null ? '' : String(v);
    });
    on('Document', 'createRange', function () { return wrap(kit.traversal().range(this)); });
    on('Range', 'constructor', function () { return kit.traversal().range(kit.document); });
    on('StaticRange', 'constructor', function (init) {
        var plain = init;
        if (init !== null && typeof init === 'object') {
            plain = {};
            ['endContainer', 'endOffset', 'startContainer', 'startOffset'].forEach(function (k) {
                var v = init[k];
                plain[k] = v === undefined ? undefined : k.indexOf('Container') > 0 ? unwrap(v) : v;
            });
        } else if (init !== undefined && init !== null) {
            throw new TypeError("Failed to construct 'StaticRange': The provided value is not of type 'StaticRangeInit'.");
        }
        return kit.traversal().staticRange(plain);
    });
    on('Window', 'getSelection', function () { return wrap(kit.traversal().selection(this.document)); });
    // (A document no window shows, such as one a script made, has none.)
    on('Document', 'getSelection', function () {
        return this === kit.document || this.defaultView ? wrap(kit.traversal().selection(this)) : null;
    });
    // A script's filter sees the script's own objects; one that is an object answers
    // through its acceptNode.
    function acceptBy(filter, node, what) {
        var shown = wrap(node);
        if (typeof filter === 'function') return reflect.apply(filter, undefined, [shown]);
        var accept = filter.acceptNode;
        if (typeof accept !== 'function') throw new TypeError(what + "Failed to execute 'acceptNode' on 'NodeFilter': The provided callback is not callable.");
        return reflect.apply(accept, filter, [shown]);
    }
    ['createTreeWalker', 'createNodeIterator'].forEach(function (name) {
        on('Document', name, function (r, root, show, filter) {
            var node = pageNode(root, "execute '" + name + "' on 'Document'");
            if (filter !== undefined && filter !== null && typeof filter !== 'function' && typeof filter !== 'object') {
                throw new TypeError("Failed to execute '" + name + "' on 'Document': The provided value is not of type 'NodeFilter'.");
            }
            var t = kit.traversal();
            return wrap((name === 'createTreeWalker' ? t.walker : t.iterator)(node, show, filter === undefined ? null : filter, acceptBy));
        });
    });
    on('TreeWalker', 'get filter', function () { return this.filter; });
    on('NodeIterator', 'get filter', function () { return this.filter; });
    // NodeFilter is the constants a filter answers with: a function that makes nothing.
    function nodeFilter() {
        var f = native(function () { throw new TypeError('Illegal constructor'); }, 'NodeFilter', 0, false);
        var values = {FILTER_ACCEPT: 1, FILTER_REJECT: 2, FILTER_SKIP: 3, SHOW_ALL: 0xFFFFFFFF, SHOW_ELEMENT: 0x1,
            SHOW_ATTRIBUTE: 0x2, SHOW_TEXT: 0x4, SHOW_CDATA_SECTION: 0x8, SHOW_ENTITY_REFERENCE: 0x10, SHOW_ENTITY: 0x20,
            SHOW_PROCESSING_INSTRUCTION: 0x40, SHOW_COMMENT: 0x80, SHOW_DOCUMENT: 0x100, SHOW_DOCUMENT_TYPE: 0x200,
            SHOW_DOCUMENT_FRAGMENT: 0x400, SHOW_NOTATION: 0x800};
        for (var k in values) defineValue(f, k, values[k], true, false, false);
        return f;
    }
    // The timeline's lists are arrays of the script's own, holding Chrome's entries.
    function wrapEach(list) {
        var out = [];
        for (var n = 0; n < list.length; n++) out.push(wrap(list[n]));
        return out;
    }
    on('Performance', 'getEntries', function () { return wrapEach(this.getEntries()); });
    on('Performance', 'getEntriesByType', function (r, type) { return wrapEach(this.getEntriesByType(type)); });
    on('Performance', 'getEntriesByName', function (r, name, type) { return wrapEach(this.getEntriesByName(name, type)); });
    var TIMING_FIELDS = null;
    function timingJSON(timing) {
        var out = {};
        if (TIMING_FIELDS === null) {
            TIMING_FIELDS = ('navigationStart unloadEventStart unloadEventEnd redirectStart redirectEnd fetchStart domainLookupStart ' +
                'domainLookupEnd connectStart connectEnd secureConnectionStart requestStart responseStart responseEnd domLoading ' +
                'domInteractive domContentLoadedEventStart domContentLoadedEventEnd domComplete loadEventStart loadEventEnd').split(' ');
        }
        for (var n = 0; n < TIMING_FIELDS.length; n++) out[TIMING_FIELDS[n]] = typeof timing[TIMING_FIELDS[n]] === 'number' ? timing[TIMING_FIELDS[n]] : 0;
        return out;
    }
    on('PerformanceTiming', 'toJSON', function () { return timingJSON(this); });
    on('Performance', 'toJSON', function () {
        return {timeOrigin: this.timeOrigin, timing: timingJSON(this.timing), navigation: {type: 0, redirectCount: 0}};
    });
    on('Document', 'get scrollingElement', function () { return wrap(this.documentElement); });
    on('PerformanceMark', 'constructor', function (name, options) { return kit.performanceMark(name, unwrap(options)); });

    // Idle callbacks run as timers do, with a deadline that always has time left.
    var idle = {timeRemaining: function () { return 50; }, didTimeout: false};
    kinds.set(idle, 'IdleDeadline');
    on('Window', 'requestIdleCallback', function (r, callback) {
        if (typeof callback !== 'function') throw new TypeError("Failed to execute 'requestIdleCallback' on 'Window': The callback provided as parameter 1 is not a function.");
        return kit.window.setTimeout(function () { callback(wrap(idle)); }, 1);
    });
    on('Window', 'cancelIdleCallback', function (r, id) { kit.window.clearTimeout(id); });
    on('Window', 'queueMicrotask', function (r, callback) {
        if (typeof callback !== 'function') throw new TypeError("Failed to execute 'queueMicrotask' on 'Window': The callback provided as parameter 1 is not a function.");
        Promise.resolve().then(function () { callback(); });
    });
    on('Window', 'get external', function () { return wrap(external); });
    // The page's window counts its document's frames; a frame's (about:blank) has none.
    on('Window', 'get length', function () { return this === kit.window && kit.frames ? kit.frames().length : 0; });
    on('Window', 'find', function () { return false; });
    // A computed style is a declaration block of its own for each call.
    on('Window', 'getComputedStyle', function (r, element, pseudo) {
        var style = this.getComputedStyle(unwrap(element), pseudo);
        kinds.set(style, 'CSSStyleDeclaration');
        return wrap(style);
    });

    // Nodes a script makes with new: as the page's document would make them.
    on('Text', 'constructor', function (data) { return kit.document.createTextNode(data === undefined ? '' : data); });
    on('Comment', 'constructor', function (data) { return kit.document.createComment(data === undefined ? '' : data); });
    on('DocumentFragment', 'constructor', function () { return kit.document.createDocumentFragment(); });
    on('Document', 'constructor', function () { return kit.document.implementation.createHTMLDocument(); });
    var exceptionCodes = {IndexSizeError: 1, HierarchyRequestError: 3, WrongDocumentError: 4, InvalidCharacterError: 5,
        NoModificationAllowedError: 7, NotFoundError: 8, NotSupportedError: 9, InvalidStateError: 11, SyntaxError: 12,
        InvalidModificationError: 13, NamespaceError: 14, InvalidAccessError: 15, TypeMismatchError: 17, SecurityError: 18,
        NetworkError: 19, AbortError: 20, URLMismatchError: 21, QuotaExceededError: 22, TimeoutError: 23,
        InvalidNodeTypeError: 24, DataCloneError: 25};
    on('DOMException', 'constructor', function (message, name) {
        name = name === undefined ? 'Error' : String(name);
        return {message: message === undefined ? '' : String(message), name: name,
            code: hasOwn.call(exceptionCodes, name) ? exceptionCodes[name] : 0};
    });
    function domException(name, message) { return reflect.construct(interfaceOf('DOMException').ctor, [message, name]); }
    // The page objects' own failures (atob, removeChild, …) reach a script as DOMExceptions.
    if (kit.domErrors) kit.domErrors(domException);
    on('Window', 'get indexedDB', function () { return wrap(indexedDB); });
    on('Window', 'get event', function () { return undefined; });
    on('Window', 'get clientInformation', function () { return wrap(kit.navigator); });
    on('Window', 'get visualViewport', function () { return wrap(viewport); });
    var external = {};
    kinds.set(external, 'External');
    var indexedDB = {};
    kinds.set(indexedDB, 'IDBFactory');
    var viewport = {width: config.innerWidth, height: config.innerHeight, scale: 1, offsetLeft: 0, offsetTop: 0,
        pageLeft: 0, pageTop: 0, onresize: null, onscroll: null, onscrollend: null};
    kinds.set(viewport, 'VisualViewport');
    // Speech: the voices of Chrome on a Chinese Windows (the system's, then Chrome's own
    // online ones), ready at the first call; a profile may give its own list. Nothing is
    // spoken.
    var speech = {pending: false, speaking: false, paused: false, onvoiceschanged: null};
    kinds.set(speech, 'SpeechSynthesis');
    var voiceRows = config.voices || [
        ['Microsoft Huihui - Chinese (Simplified, PRC)', 'zh-CN', true], ['Microsoft Kangkang - Chinese (Simplified, PRC)', 'zh-CN', true],
        ['Microsoft Yaoyao - Chinese (Simplified, PRC)', 'zh-CN', true], ['Google Deutsch', 'de-DE'], ['Google US English', 'en-US'],
        ['Google UK English Female', 'en-GB'], ['Google UK English Male', 'en-GB'], ['Google español', 'es-ES'],
        ['Google español de Estados Unidos', 'es-US'], ['Google français', 'fr-FR'], ['Google \u0939\u093f\u0928\u094d\u0926\u0940', 'hi-IN'],
        ['Google Bahasa Indonesia', 'id-ID'], ['Google italiano', 'it-IT'], ['Google \u65e5\u672c\u8a9e', 'ja-JP'],
        ['Google \ud55c\uad6d\uc758', 'ko-KR'], ['Google Nederlands', 'nl-NL'], ['Google polski', 'pl-PL'],
        ['Google portugu\u00eas do Brasil', 'pt-BR'], ['Google \u0440\u0443\u0441\u0441\u043a\u0438\u0439', 'ru-RU'],
        ['Google \u666e\u901a\u8bdd\uff08\u4e2d\u56fd\u5927\u9646\uff09', 'zh-CN'],
        ['Google \u7ca4\u8a9e\uff08\u9999\u6e2f\uff09', 'zh-HK'], ['Google \u570b\u8a9e\uff08\u81fa\u7063\uff09', 'zh-TW']];
    var voices = null;
    function voiceList() {
        if (voices === null) {
            voices = [];
            for (var k = 0; k < voiceRows.length; k++) {
                var row = voiceRows[k];
                var v = {voiceURI: String(row[0]), name: String(row[0]), lang: String(row[1]), localService: row[2] === true,
                    'default': row.length > 3 ? row[3] === true : k === 0};
                kinds.set(v, 'SpeechSynthesisVoice');
                voices.push(v);
            }
        }
        var out = [];
        for (var n = 0; n < voices.length; n++) out.push(wrap(voices[n]));
        return out;
    }
    on('Window', 'get speechSynthesis', function () { return wrap(speech); });
    on('SpeechSynthesis', 'getVoices', function () { return voiceList(); });
    ['cancel', 'pause', 'resume', 'speak'].forEach(function (name) { on('SpeechSynthesis', name, function () { return undefined; }); });

    // ---- custom elements ------------------------------------------------------------
    // The registry keeps what a page defines (the elements themselves stay plain ones).
    var customRegistry = {defined: create(null), waiting: create(null)};
    kinds.set(customRegistry, 'CustomElementRegistry');
    on('Window', 'get customElements', function () { return wrap(customRegistry); });
    var RESERVED_CUSTOM = ' annotation-xml color-profile font-face font-face-src font-face-uri font-face-format font-face-name missing-glyph ';
    function validCustomName(name) {
        return /^[a-z][-.0-9_a-z\u00b7\u00c0-\u00d6\u00d8-\u00f6\u00f8-\u037d\u037f-\u1fff\u200c\u200d\u203f\u2040\u2070-\u218f\u2c00-\u2fef\u3001-\ud7ff\uf900-\ufdcf\ufdf0-\ufffd]*-[-.0-9_a-z\u00b7\u00c0-\u00d6\u00d8-\u00f6\u00f8-\u037d\u037f-\u1fff\u200c\u200d\u203f\u2040\u2070-\u218f\u2c00-\u2fef\u3001-\ud7ff\uf900-\ufdcf\ufdf0-\ufffd]*$/.test(name) &&
            RESERVED_CUSTOM.indexOf(' ' + name + ' ') < 0;
    }
    on('CustomElementRegistry', 'define', function (r, name, ctor) {
        var failure = "Failed to execute 'define' on 'CustomElementRegistry': ";
        if (typeof ctor !== 'function') throw new TypeError(failure + "parameter 2 is not of type 'Function'.");
        name = String(name);
        if (!validCustomName(name)) throw domException('SyntaxError', failure + '"' + name + '" is not a valid custom element name');
        if (hasOwn.call(this.defined, name)) throw domException('NotSupportedError', failure + 'the name "' + name + '" has already been used with this registry');
        for (var k in this.defined) {
            if (this.defined[k] === ctor) throw domException('NotSupportedError', failure + 'this constructor has already been used with this registry');
        }
        this.defined[name] = ctor;
        var waiting = this.waiting[name];
        if (waiting) {
            delete this.waiting[name];
            waiting.resolve(ctor);
        }
    });
    on('CustomElementRegistry', 'get', function (r, name) {
        name = String(name);
        return hasOwn.call(this.defined, name) ? this.defined[name] : undefined;
    });
    on('CustomElementRegistry', 'getName', function (r, ctor) {
        for (var k in this.defined) if (this.defined[k] === ctor) return k;
        return null;
    });
    on('CustomElementRegistry', 'whenDefined', function (r, name) {
        name = String(name);
        if (!validCustomName(name)) {
            return Promise.reject(domException('SyntaxError', "Failed to execute 'whenDefined' on 'CustomElementRegistry': \"" + name + '" is not a valid custom element name'));
        }
        if (hasOwn.call(this.defined, name)) return promise(this.defined[name]);
        var waiting = this.waiting[name];
        if (!waiting) {
            waiting = this.waiting[name] = {};
            waiting.promise = new Promise(function (resolve) { waiting.resolve = resolve; });
        }
        return waiting.promise;
    });
    on('CustomElementRegistry', 'upgrade', function () { return undefined; });

    // ---- what media a page may play -------------------------------------------------
    // Chrome's answers on Windows: a type alone, and the codecs it takes.
    var MEDIA_TYPES = {'video/mp4': 'maybe', 'audio/mp4': 'maybe', 'audio/mpeg': 'probably', 'audio/mp3': 'probably',
        'audio/aac': 'probably', 'audio/x-m4a': 'maybe', 'video/webm': 'maybe', 'audio/webm': 'maybe', 'audio/ogg': 'maybe',
        'video/ogg': 'maybe', 'application/ogg': 'maybe', 'audio/wav': 'maybe', 'audio/x-wav': 'maybe', 'audio/flac': 'probably',
        'video/x-matroska': 'maybe', 'application/vnd.apple.mpegurl': 'maybe', 'application/x-mpegurl': 'maybe',
        'audio/mpegurl': 'maybe', 'audio/x-mpegurl': 'maybe', 'video/3gpp': 'maybe'};
    var MP4_CODECS = /^(avc[13]\.[0-9a-f]{6}|vp09\..+|av01\..+|mp4a\.40\.(2|5|29)|mp4a\.(69|6b)|opus|flac)$/i;
    var WEBM_CODECS = /^(vp8|vp8\.0|vp9|vp9\.0|vp09\..+|av01\..+|vorbis|opus)$/i;
    var MEDIA_CODECS = {'video/mp4': MP4_CODECS, 'audio/mp4': MP4_CODECS, 'video/webm': WEBM_CODECS, 'audio/webm': WEBM_CODECS,
        'audio/ogg': /^(vorbis|opus|flac)$/i, 'video/ogg': /^(vorbis|opus|flac)$/i, 'application/ogg': /^(vorbis|opus|flac)$/i,
        'audio/wav': /^1$/, 'audio/x-wav': /^1$/, 'audio/mpeg': /^mp3$/i};
    // A media type as [type, codecs or null (no codecs given), whether it reads]; the
    // codecs only as Chrome reads them (double quotes or none).
    function mediaType(text) {
        var parts = String(text).split(';'), type = parts[0].replace(/^\s+|\s+$/g, '').toLowerCase(), codecs = null;
        for (var n = 1; n < parts.length; n++) {
            var m = /^\s*codecs\s*=\s*(?:"([^"]*)"|([^\s"']+))\s*$/i.exec(parts.slice(n).join(';'));
            if (/^\s*codecs\s*=/i.test(parts[n])) {
                if (!m) return [type, [], false];
                codecs = (m[1] !== undefined ? m[1] : m[2]).split(',').map(function (c) { return c.replace(/^\s+|\s+$/g, ''); });
                break;
            }
        }
        return [type, codecs, true];
    }
    function canPlay(text) {
        var t = mediaType(text), known = MEDIA_TYPES[t[0]];
        if (!t[2] || !known) return '';
        if (t[1] === null) return known;
        var allowed = MEDIA_CODECS[t[0]];
        if (!allowed || !t[1].length) return '';
        for (var n = 0; n < t[1].length; n++) if (!allowed.test(t[1][n])) return '';
        return 'probably';
    }
    on('HTMLMediaElement', 'canPlayType', function (r, type) { return canPlay(type); });
    // Media a script feeds in pieces: MP4 and WebM with their codecs named, and MPEG audio.
    on('MediaSource', 'static isTypeSupported', function (r, type) {
        var t = mediaType(type);
        if (!t[2]) return false;
        if (t[0] === 'audio/mpeg' || t[0] === 'audio/aac' || t[0] === 'video/mp2t') return t[1] === null;
        if (!/^(video|audio)\/(mp4|webm)$/.test(t[0]) || t[1] === null || !t[1].length) return false;
        for (var n = 0; n < t[1].length; n++) {
            var c = t[1][n];
            if (!MEDIA_CODECS[t[0]].test(c) || /^mp4a\.(69|6b)$/i.test(c) || /^vp[89]\.0$/i.test(c)) return false;
        }
        return true;
    });

    // A frame's window and document are the page's frame objects, shown as Chrome's.

    // Audio rendered offline is the page objects' own; the buffer a rendering promises
    // reaches the script as Chrome's AudioBuffer.
    on('OfflineAudioContext', 'startRendering', function (r) {
        if (this.state !== 'suspended') {
            return Promise.reject(domException('InvalidStateError', "Failed to execute 'startRendering' on 'OfflineAudioContext': cannot call startRendering more than once"));
        }
        return this.startRendering().then(wrap);
    });

    // ---- forms ------------------------------------------------------------------------
    // A form's settings read as Chrome reflects them (written, they are its attributes);
    // what it sends, and when, is the page objects' own.
    var forms = kit.forms;
    on('HTMLFormElement', 'get action', function () { return forms.action(this, null); });
    on('HTMLFormElement', 'get method', function () { return forms.method(this, null); });
    on('HTMLFormElement', 'get enctype', function () { return forms.enctype(this, null); });
    on('HTMLFormElement', 'get encoding', function () { return forms.enctype(this, null); });
    on('HTMLFormElement', 'get target', function () { var t = this.getAttribute('target'); return t === null ? '' : t; });
    [['action', 'action'], ['method', 'method'], ['enctype', 'enctype'], ['encoding', 'enctype'], ['target', 'target']].forEach(function (p) {
        on('HTMLFormElement', 'set ' + p[0], function (v) { this.setAttribute(p[1], String(v)); });
    });
    // document.forms names its forms too (document.forms.login).
    on('Document', 'get forms', function () {
        var list = this.forms;
        if (list && typeof list === 'object') live.add(list);
        return wrap(list);
    });
    // form.elements: the same live list each time, read through to the form's controls.
    var formLists = new WeakMap();
    on('HTMLFormElement', 'get elements', function () {
        var form = this, list = formLists.get(form);
        if (!list) {
            list = {item: function (n) { return form.item(n); }, namedItem: function (name) { return form.namedItem(name); }};
            define(list, 'length', {get: function () { return forms.controls(form).length; }});
            kinds.set(list, 'HTMLFormControlsCollection');
            live.add(list);
            formLists.set(form, list);
        }
        return wrap(list);
    });
    function submitterOf(what, form, submitter) {
        if (submitter === undefined || submitter === null) return null;
        var s = unwrap(submitter);
        if (!records.has(submitter) || !s || s.nodeType !== 1) throw new TypeError('Failed to ' + what + ": parameter " + (what.indexOf('construct') === 0 ? 2 : 1) + " is not of type 'HTMLElement'.");
        var bad = forms.submitterError(form, s, what);
        if (bad) throw bad.name === 'NotFoundError' ? domException(bad.name, bad.message) : new TypeError(bad.message);
        return s;
    }
    on('HTMLFormElement', 'requestSubmit', function (r, submitter) {
        this.requestSubmit(submitterOf("execute 'requestSubmit' on 'HTMLFormElement'", this, submitter));
    });
    ['HTMLInputElement', 'HTMLButtonElement', 'HTMLSelectElement', 'HTMLTextAreaElement', 'HTMLFieldSetElement',
        'HTMLOutputElement', 'HTMLObjectElement'].forEach(function (name) {
        on(name, 'get form', function () { return wrap(forms.formOf(this)); });
    });
    ['HTMLInputElement', 'HTMLButtonElement'].forEach(function (name) {
        on(name, 'get type', function () { return forms.controlType(this); });
        on(name, 'set type', function (v) { this.setAttribute('type', String(v)); });
    });
    on('HTMLSelectElement', 'get value', function () {
        var chosen = forms.selected(this);
        return chosen.length ? forms.optionValue(chosen[0]) : '';
    });
    on('HTMLSelectElement', 'set value', function (v) {
        var all = forms.options(this), found = false;
        for (var n = 0; n < all.length; n++) all[n].selected = !found && (found = forms.optionValue(all[n]) === String(v));
    });
    // A select's options, live, the same list each time; an option's value is its text
    // where it has no value of its own.
    var optionLists = new WeakMap();
    on('HTMLSelectElement', 'get options', function () {
        var select = this, list = optionLists.get(select);
        if (!list) {
            list = {select: select, item: function (n) { var all = forms.options(select); return n >= 0 && n < all.length ? all[n] : null; },
                namedItem: function (name) {
                    var all = forms.options(select);
                    for (var n = 0; n < all.length; n++) if (all[n].id === name || all[n].getAttribute('name') === name) return all[n];
                    return null;
                }};
            define(list, 'length', {get: function () { return forms.options(select).length; }});
            kinds.set(list, 'HTMLOptionsCollection');
            live.add(list);
            optionLists.set(select, list);
        }
        return wrap(list);
    });
    on('HTMLSelectElement', 'get length', function () { return forms.options(this).length; });
    on('HTMLSelectElement', 'get selectedOptions', function () { return wrap(kit.listOf(forms.selected(this), kit.types.HTMLCollection)); });
    on('HTMLOptionsCollection', 'get selectedIndex', function () { return behaviours['HTMLSelectElement.get selectedIndex'].call(this.select); });
    on('HTMLOptionElement', 'get value', function () { return forms.optionValue(this); });
    on('HTMLOptionElement', 'get text', function () { return forms.optionText(this); });
    on('HTMLOptionElement', 'get index', function () {
        for (var p = this.parentNode; p; p = p.parentNode) if (p.tagName === 'SELECT') return forms.options(p).indexOf(this);
        return 0;
    });
    on('HTMLOptionElement', 'get selected', function () {
        for (var p = this.parentNode; p; p = p.parentNode) if (p.tagName === 'SELECT') return forms.selected(p).indexOf(this) >= 0;
        return this.selected === true;
    });
    // Choosing an option of a single select leaves its others.
    on('HTMLOptionElement', 'set selected', function (v) {
        var on_ = !!v;
        for (var p = this.parentNode; on_ && p; p = p.parentNode) {
            if (p.tagName !== 'SELECT') continue;
            if (p.getAttribute('multiple') === null) forms.options(p).forEach(function (o) { o.selected = false; });
            break;
        }
        this.selected = on_;
    });
    on('HTMLSelectElement', 'get selectedIndex', function () {
        var chosen = forms.selected(this);
        return chosen.length ? forms.options(this).indexOf(chosen[0]) : -1;
    });
    on('HTMLSelectElement', 'set selectedIndex', function (v) {
        var all = forms.options(this);
        for (var n = 0; n < all.length; n++) all[n].selected = n === Number(v);
    });

    // FormData: name and value pairs, from a form as it would send them or added one by one.
    on('FormData', 'constructor', function (form, submitter) {
        if (form === undefined) return new forms.data([]);
        var f = unwrap(form);
        if (!records.has(form) || !f || f.tagName !== 'FORM') throw new TypeError("Failed to construct 'FormData': parameter 1 is not of type 'HTMLFormElement'.");
        return new forms.data(forms.entries(f, submitterOf("construct 'FormData'", f, submitter)));
    });
    function entryValue(v) { return typeof v === 'string' ? v : String(v); }
    on('FormData', 'append', function (r, name, value) { this.list.push({name: String(name), value: entryValue(value)}); });
    on('FormData', 'set', function (r, name, value) {
        name = String(name);
        var at = -1;
        for (var n = 0; n < this.list.length; n++) {
            if (this.list[n].name !== name) continue;
            if (at < 0) at = n;
            else this.list.splice(n--, 1);
        }
        if (at < 0) this.list.push({name: name, value: entryValue(value)});
        else this.list[at] = {name: name, value: entryValue(value)};
    });
    on('FormData', 'delete', function (r, name) {
        name = String(name);
        for (var n = 0; n < this.list.length; n++) if (this.list[n].name === name) this.list.splice(n--, 1);
    });
    on('FormData', 'get', function (r, name) {
        name = String(name);
        for (var n = 0; n < this.list.length; n++) if (this.list[n].name === name) return this.list[n].value;
        return null;
    });
    on('FormData', 'getAll', function (r, name) {
        name = String(name);
        return this.list.filter(function (e) { return e.name === name; }).map(function (e) { return e.value; });
    });
    on('FormData', 'has', function (r, name) {
        name = String(name);
        return this.list.some(function (e) { return e.name === name; });
    });

    // ---- addresses --------------------------------------------------------------------
    // A URL keeps its parts as the page's own addresses are read; its searchParams is
    // one list that writes its pairs back into the address's query.
    var addresses = kit.addresses, schemed = /^[\t\n\f\r ]*[a-zA-Z][a-zA-Z0-9+.\-]*:/;
    function queryPairs(text) {
        var out = [];
        if (text.charAt(0) === '?') text = text.substring(1);
        text.split('&').forEach(function (part) {
            if (part === '') return;
            var at = part.indexOf('='), name = at < 0 ? part : part.substring(0, at), value = at < 0 ? '' : part.substring(at + 1);
            out.push({name: formDecode(name), value: formDecode(value)});
        });
        return out;
    }
    function formDecode(text) {
        text = text.replace(/\+/g, ' ');
        try {
            return decodeURIComponent(text);
        } catch (e) {
            // A stray % stays as it is; the escapes around it are still read.
            return text.replace(/(%[0-9a-fA-F]{2})+/g, function (run) {
                try { return decodeURIComponent(run); } catch (e2) { return run; }
            });
        }
    }
    function formEncode(text) {
        return encodeURIComponent(text).replace(/%20/g, '+').replace(/[!'()~]/g, function (c) {
            return '%' + c.charCodeAt(0).toString(16).toUpperCase();
        });
    }
    function queryText(list) {
        return list.map(function (e) { return formEncode(e.name) + '=' + formEncode(e.value); }).join('&');
    }
    function invalidUrl(what, base) { return new TypeError('Failed to ' + what + ': Invalid ' + (base ? 'base ' : '') + 'URL'); }
    // Reads `text` (absolute) into the URL `u`.
    function readUrl(u, text) {
        var p = addresses.parse(text), user = /^[a-zA-Z][a-zA-Z0-9+.\-]*:\/\/([^\/?#]*)@/.exec(String(text).replace(/^\s+/, ''));
        ['protocol', 'host', 'hostname', 'port', 'pathname', 'search', 'hash', 'origin', 'href'].forEach(function (k) { u[k] = p[k]; });
        var info = user ? user[1].split(':') : [];
        u.username = info[0] || '';
        u.password = info.length > 1 ? info.slice(1).join(':') : '';
        if (u.params) u.params.list = queryPairs(u.search);
        return u;
    }
    function urlText(u) {
        var info = u.username || u.password ? u.username + (u.password ? ':' + u.password : '') + '@' : '';
        return u.protocol + (u.host || u.origin !== 'null' ? '//' + info + u.host : '') + u.pathname + u.search + u.hash;
    }
    function newUrl(text) {
        var u = readUrl({params: null}, text);
        var params = u.params = {list: queryPairs(u.search), url: u};
        kinds.set(params, 'URLSearchParams');
        return u;
    }
    on('URL', 'constructor', function (url, base) {
        url = String(url);
        if (base !== undefined) {
            base = String(base);
            if (!schemed.test(base)) throw invalidUrl("construct 'URL'", true);
            return newUrl(addresses.resolve(url, base));
        }
        if (!schemed.test(url)) throw invalidUrl("construct 'URL'", false);
        return newUrl(url);
    });
    on('URL', 'get searchParams', function () { return wrap(this.params); });
    on('URL', 'toJSON', function () { return this.href; });
    on('URL', 'set href', function (v) {
        v = String(v);
        if (!schemed.test(v)) throw invalidUrl("set the 'href' property on 'URL'", false);
        readUrl(this, v);
    });
    // A part written is put in its place and the whole address read again.
    [['protocol', function (v) { return v.replace(/:.*$/, '') + ':'; }],
        ['username', function (v) { return encodeURIComponent(v); }],
        ['password', function (v) { return encodeURIComponent(v); }],
        ['host', function (v) { return v; }],
        ['hostname', function (v) { return v.replace(/:.*$/, ''); }],
        ['port', function (v) { return v.replace(/\D.*$/, ''); }],
        ['pathname', function (v) { return v.charAt(0) === '/' ? v : '/' + v; }],
        ['search', function (v) { return v === '' || v === '?' ? '' : (v.charAt(0) === '?' ? v : '?' + v); }],
        ['hash', function (v) { return v === '' || v === '#' ? '' : (v.charAt(0) === '#' ? v : '#' + v); }]].forEach(function (p) {
        on('URL', 'set ' + p[0], function (v) {
            var copy = {};
            for (var k in this) copy[k] = this[k];
            copy[p[0]] = p[1](String(v));
            if (p[0] === 'hostname') copy.host = copy.hostname + (copy.port ? ':' + copy.port : '');
            if (p[0] === 'port') copy.host = copy.hostname + (copy.port ? ':' + copy.port : '');
            readUrl(this, urlText(copy));
        });
    });
    on('URL', 'static canParse', function (r, url, base) {
        try {
            behaviours['URL.constructor'](url, base);
            return true;
        } catch (e) {
            return false;
        }
    });
    on('URLSearchParams', 'constructor', function (init) {
        var list = [];
        if (init !== undefined && init !== null && typeof init === 'object') {
            var r = records.get(init);
            if (r && r.impl.list && r.iface.name === 'URLSearchParams') list = r.impl.list.slice();
            else if (typeof init[Symbol.iterator] === 'function') {
                Array.from(init).forEach(function (pair) {
                    pair = Array.from(pair);
                    if (pair.length !== 2) throw new TypeError("Failed to construct 'URLSearchParams': Sequence initializer must only contain pair elements");
                    list.push({name: String(pair[0]), value: String(pair[1])});
                });
            } else Object.keys(init).forEach(function (k) { list.push({name: k, value: String(init[k])}); });
        } else if (init !== undefined) {
            list = queryPairs(String(init));
        }
        return {list: list, url: null};
    });
    // A change to the pairs is written back into the URL they came from.
    function paramsChanged(params) {
        var u = params.url;
        if (!u) return;
        var text = queryText(params.list), list = params.list;
        u.search = text === '' ? '' : '?' + text;
        readUrl(u, urlText(u));
        params.list = list;
    }
    on('URLSearchParams', 'get size', function () { return this.list.length; });
    on('URLSearchParams', 'append', function (r, name, value) {
        this.list.push({name: String(name), value: String(value)});
        paramsChanged(this);
    });
    on('URLSearchParams', 'set', function (r, name, value) {
        behaviours['FormData.set'].call(this, r, name, String(value));
        paramsChanged(this);
    });
    on('URLSearchParams', 'delete', function (r, name, value) {
        name = String(name);
        for (var n = 0; n < this.list.length; n++) {
            if (this.list[n].name === name && (value === undefined || this.list[n].value === String(value))) this.list.splice(n--, 1);
        }
        paramsChanged(this);
    });
    on('URLSearchParams', 'get', function (r, name) { return behaviours['FormData.get'].call(this, r, name); });
    on('URLSearchParams', 'getAll', function (r, name) { return behaviours['FormData.getAll'].call(this, r, name); });
    on('URLSearchParams', 'has', function (r, name, value) {
        name = String(name);
        return this.list.some(function (e) { return e.name === name && (value === undefined || e.value === String(value)); });
    });
    on('URLSearchParams', 'sort', function () {
        // Stable by name, in code units.
        var keyed = this.list.map(function (e, n) { return {e: e, n: n}; });
        keyed.sort(function (a, b) { return a.e.name < b.e.name ? -1 : a.e.name > b.e.name ? 1 : a.n - b.n; });
        this.list = keyed.map(function (k) { return k.e; });
        paramsChanged(this);
    });
    on('URLSearchParams', 'toString', function () { return queryText(this.list); });
    on('SubmitEvent', 'constructor', function (type, init) {
        var e = new kit.types.SubmitEvent(type, init);
        e.submitter = init && init.submitter ? unwrap(init.submitter) : null;
        return e;
    });
    // A handler attribute compiled as Chrome does: a sloppy function onX(event) whose
    // names resolve on the element, then its form owner (a form control's), then its
    // document, then the global; the body's window events see the global alone. Like
    // Chrome, it is compiled when first read or run, so the form owner is the one the
    // control has then (the parser sets a control's attributes before it is in its form).
    // The body is first compiled alone, so one that does not parse is reported as it
    // stands and none can reach out of the scopes it is placed in.
    var noForm = create(null);
    function compileHandler(impl, name, body, onWindow) {
        new Function('event', body);
        var head = 'function on' + name + '(event) {\n' + body + '\n}', fn = null;
        function compiled() {
            if (fn !== null) return fn;
            if (onWindow) {
                fn = new Function('return ' + head + ';')();
            } else {
                // The scopes come as arguments, never as names the body could see.
                var make = new Function('with (arguments[0]) with (arguments[1]) with (arguments[2]) return ' + head + ';');
                var form = forms.formOf(impl);
                fn = make(wrap(impl.ownerDocument || kit.document), form ? wrap(form) : noForm, wrap(impl));
            }
            lazyHandlers.delete(handler);
            marshalled.set(fn, handler);
            originals.set(handler, fn);
            return fn;
        }
        function handler() {
            var args = [];
            for (var n = 0; n < arguments.length; n++) args.push(wrap(arguments[n]));
            return reflect.apply(compiled(), wrap(this), args);
        }
        lazyHandlers.set(handler, compiled);
        return handler;
    }
    if (kit.compileHandlersWith) kit.compileHandlersWith(compileHandler);
    // Pair iterables (FormData, URLSearchParams, Headers) list their page object's pairs.
    function pairIterable(proto, iface) {
        function pairs(self, what) {
            var list = brand(self, iface).impl.list || [], out = [];
            for (var n = 0; n < list.length; n++) {
                out.push(what === 'keys' ? list[n].name : what === 'values' ? list[n].value : [list[n].name, list[n].value]);
            }
            return out;
        }
        ['entries', 'keys', 'values'].forEach(function (what) {
            defineValue(proto, what, native(function () { return ArrayValues.call(pairs(this, what)); }, what, 0), true, true, true);
        });
        defineValue(proto, 'forEach', native(function (callback, self) {
            if (typeof callback !== 'function') throw new TypeError("Failed to execute 'forEach' on '" + iface + "': The callback provided as parameter 1 is not a function.");
            var all = pairs(this, 'entries');
            for (var n = 0; n < all.length; n++) callback.call(self, all[n][1], all[n][0], this);
        }, 'forEach', 1), true, true, true);
        defineValue(proto, Symbol.iterator, proto.entries, false, true, true);
    }

    // ---- the console, and window.chrome ------------------------------------------------

    // These objects live outside the table; with the trace on, their functions are
    // labelled as the table's operations are, by their path ("f chrome.loadTimes": a
    // call whose receiver, the namespace, the path already names).
    var reflectGet = reflect.get, reflectSet = reflect.set;
    function namespaceOf(impl, tag) {
        var o = {};
        Object.keys(impl).forEach(function (k) {
            if (typeof impl[k] === 'function') {
                defineValue(o, k, native(function () { return impl[k].apply(impl, arguments); }, k, 0, false,
                    traced ? 'f ' + tag + '.' + k : undefined), true, true, true);
            }
        });
        defineValue(o, Symbol.toStringTag, tag, false, false, true);
        return o;
    }
    function fn(name, length, body, path) { return native(body, name, length, false, traced ? 'f ' + path : undefined); }
    // With the trace on, reads and writes of a plain object's own values (not its
    // functions, whose calls are traced) are reported under `path`; off, the object is
    // given as it is.
    function tracedObject(o, path) {
        if (!traced) return o;
        return new ProxyOf(o, {
            environmentObject: true,  // (the trace previews the object itself)
            get: function (t, k, receiver) {
                var v = reflectGet(t, k, receiver);
                if (typeof k === 'string' && typeof v !== 'function' && hasOwn.call(t, k)) host.trace('g ' + path + '.' + k, v);
                return v;
            },
            set: function (t, k, v, receiver) {
                var done = reflectSet(t, k, v, receiver);
                if (done && typeof k === 'string' && typeof v !== 'function') host.trace('s ' + path + '.' + k, v);
                return done;
            }
        });
    }
    // The CSS namespace: what the page's styles support is what Chrome's do, for the
    // conditions scripts test; selectors of newer engines are not.
    function cssNamespace() {
        var o = {};
        defineValue(o, 'supports', fn('supports', 1, function (condition, value) {
            if (arguments.length === 0) throw new TypeError("Failed to execute 'supports' on 'CSS': 1 argument required, but only 0 present.");
            if (value === undefined) return !/^\s*selector\(/.test(String(condition)) && /\(.*:.*\)/.test(String(condition));
            return /^-?[a-z][a-z-]*$/.test(String(condition)) && String(value) !== '';
        }, 'CSS.supports'), true, true, true);
        defineValue(o, 'escape', fn('escape', 1, function (text) {
            return String(text).replace(/[\0-\x1f\x7f]|^-?\d|^-$|[^\w\u0080-\uffff-]/g, function (c, at) {
                if (c === '\0') return '\ufffd';
                if (/[\x01-\x1f\x7f]|\d/.test(c) && c.length === 1 && (at === 0 || /[\x01-\x1f\x7f]/.test(c))) return '\\' + c.charCodeAt(0).toString(16) + ' ';
                return '\\' + c;
            });
        }, 'CSS.escape'), true, true, true);
        defineValue(o, Symbol.toStringTag, 'CSS', false, false, true);
        return o;
    }
    function chromeObject() {
        var start = Date.now() / 1000;
        var app = {isInstalled: false,
            InstallState: {DISABLED: 'disabled', INSTALLED: 'installed', NOT_INSTALLED: 'not_installed'},
            RunningState: {CANNOT_RUN: 'cannot_run', READY_TO_RUN: 'ready_to_run', RUNNING: 'running'},
            getDetails: fn('getDetails', 0, function () { return null; }, 'chrome.app.getDetails'),
            getIsInstalled: fn('getIsInstalled', 0, function () { return false; }, 'chrome.app.getIsInstalled'),
            installState: fn('installState', 0, function (done) { if (typeof done === 'function') done('not_installed'); }, 'chrome.app.installState'),
            runningState: fn('runningState', 0, function () { return 'cannot_run'; }, 'chrome.app.runningState')};
        var runtime = {OnInstalledReason: {CHROME_UPDATE: 'chrome_update', INSTALL: 'install', SHARED_MODULE_UPDATE: 'shared_module_update', UPDATE: 'update'},
            OnRestartRequiredReason: {APP_UPDATE: 'app_update', OS_UPDATE: 'os_update', PERIODIC: 'periodic'},
            PlatformArch: {ARM: 'arm', ARM64: 'arm64', MIPS: 'mips', MIPS64: 'mips64', X86_32: 'x86-32', X86_64: 'x86-64'},
            PlatformNaclArch: {ARM: 'arm', MIPS: 'mips', MIPS64: 'mips64', X86_32: 'x86-32', X86_64: 'x86-64'},
            PlatformOs: {ANDROID: 'android', CROS: 'cros', FUCHSIA: 'fuchsia', LINUX: 'linux', MAC: 'mac', OPENBSD: 'openbsd', WIN: 'win'},
            RequestUpdateCheckStatus: {NO_UPDATE: 'no_update', THROTTLED: 'throttled', UPDATE_AVAILABLE: 'update_available'},
            connect: fn('connect', 0, function () { throw new TypeError('Error in invocation of runtime.connect(optional string extensionId, optional object connectInfo): chrome.runtime.connect() called from a webpage must specify an Extension ID (string) for its first argument.'); }, 'chrome.runtime.connect'),
            sendMessage: fn('sendMessage', 0, function () { throw new TypeError('Error in invocation of runtime.sendMessage(optional string extensionId, any message, optional object options, optional function callback): chrome.runtime.sendMessage() called from a webpage must specify an Extension ID (string) for its first argument.'); }, 'chrome.runtime.sendMessage'),
            id: undefined};
        return tracedObject({app: tracedObject(app, 'chrome.app'), runtime: tracedObject(runtime, 'chrome.runtime'),
            csi: fn('', 0, function () {
                return {startE: Math.round(start * 1000), onloadT: Math.round(start * 1000) + 120, pageT: Date.now() - start * 1000, tran: 15};
            }, 'chrome.csi'),
            loadTimes: fn('', 0, function () {
                return {requestTime: start, startLoadTime: start, commitLoadTime: start + 0.05, finishDocumentLoadTime: start + 0.1,
                    finishLoadTime: start + 0.12, firstPaintTime: start + 0.11, firstPaintAfterLoadTime: 0, navigationType: 'Other',
                    wasFetchedViaSpdy: true, wasNpnNegotiated: true, npnNegotiatedProtocol: 'h2', wasAlternateProtocolAvailable: false,
                    connectionInfo: 'h2'};
            }, 'chrome.loadTimes')}, 'chrome');
    }

    // ---- the persona's clock and locale -------------------------------------------------
    // Dates read and written in local time follow the profile's time zone, and the Intl
    // formats take the profile's language and zone where a script gives none: the page
    // agrees with its navigator whatever the machine's own settings.

    var zone = typeof host.timeZone === 'string' ? host.timeZone : config.timeZone, locale = config.language;
    // Members as the built-ins' own are (writable, configurable, not enumerable), defined
    // by the workbench in one call each where it offers that.
    var hostHidden = typeof host.hidden === 'function' ? host.hidden : function (o, name, value) {
        defineValue(o, name, value, false, true, true);
    };
    var hostMethod = typeof host.method === 'function' ? host.method : function (o, name, length, body, shown, ctor) {
        var made_ = native(body, shown, length, ctor === true);
        defineValue(o, name, made_, false, true, true);
        return made_;
    };
    // The clock and formats of global `G` (the page's, a frame's or a worker's) as the
    // profile's.
    function clockPersona(G) {
        var OriginalDate = G.Date, DateProto = OriginalDate.prototype, OriginalDTF = null;
        // The engine's DateTimeFormat, taken when the page's Intl is made (see personaIntl):
        // reaching Intl makes it.
        function originalDTF() {
            if (OriginalDTF === null) void G.Intl;
            return OriginalDTF;
        }
        var originalParse = OriginalDate.parse, originalGetOffset = DateProto.getTimezoneOffset;
        // The zone's formats are made when a date first needs them (most pages never do). Their
        // options have no prototype, so nothing a page adds to Object.prototype reaches them.
        function options(values) {
            var o = create(null);
            for (var k in values) if (hasOwn.call(values, k)) o[k] = values[k];
            return o;
        }
        var formats = null;
        function zoneFormats() {
            var DTF = formats ? null : originalDTF();
            return formats || (formats = {
                utcParts: new DTF('en-US', options({timeZone: zone, hourCycle: 'h23', year: 'numeric', month: 'numeric',
                    day: 'numeric', hour: 'numeric', minute: 'numeric', second: 'numeric'})),
                zoneName: new DTF(locale, options({timeZone: zone, timeZoneName: 'long'}))
            });
        }
        var offsets = new Map();
        // Minutes the zone is ahead of UTC at time t.
        function offsetAt(t) {
            var hour = Math.floor(t / 3600000), known = offsets.get(hour);
            if (known !== undefined) return known;
            var p = {};
            zoneFormats().utcParts.formatToParts(new OriginalDate(hour * 3600000)).forEach(function (x) { p[x.type] = Number(x.value); });
            var local = OriginalDate.UTC(p.year, p.month - 1, p.day, p.hour, p.minute, p.second);
            var off = Math.round((local - hour * 3600000) / 60000);
            if (offsets.size > 4096) offsets.clear();
            offsets.set(hour, off);
            return off;
        }
        var timeOf = Function.prototype.call.bind(DateProto.getTime);
        // (In a realm of its own, the functions made here are made that realm's.)
        var own_ = G === global ? null : [];
        function method(name, length, body) {
            kept(hostMethod(DateProto, name, length, body, name));
        }
        function kept(f) {
            if (own_ && typeof f === 'function') own_.push(f);
            return f;
        }
        function shifted(d) {
            var t = timeOf(d);
            return t !== t ? NaN : t + offsetAt(t) * 60000;
        }
        // Local wall-clock time (as if UTC) back to a time value.
        function fromLocal(wall) {
            if (wall !== wall) return NaN;
            var guess = wall - offsetAt(wall) * 60000;
            return wall - offsetAt(guess) * 60000;
        }
        var utcGetters = {getFullYear: 'getUTCFullYear', getMonth: 'getUTCMonth', getDate: 'getUTCDate', getDay: 'getUTCDay',
            getHours: 'getUTCHours', getMinutes: 'getUTCMinutes', getSeconds: 'getUTCSeconds',
            getMilliseconds: 'getUTCMilliseconds'};
        Object.keys(utcGetters).forEach(function (name) {
            var utc = DateProto[utcGetters[name]];
            method(name, 0, function () { return utc.call(new OriginalDate(shifted(this))); });
        });
        method('getYear', 0, function () { var y = this.getFullYear(); return y === y ? y - 1900 : NaN; });
        method('getTimezoneOffset', 0, function () { var t = timeOf(this); return t !== t ? NaN : -offsetAt(t); });
        var utcSetters = {setFullYear: [3, 'setUTCFullYear'], setMonth: [2, 'setUTCMonth'], setDate: [1, 'setUTCDate'],
            setHours: [4, 'setUTCHours'], setMinutes: [3, 'setUTCMinutes'], setSeconds: [2, 'setUTCSeconds'],
            setMilliseconds: [1, 'setUTCMilliseconds']};
        var setTime = DateProto.setTime;
        Object.keys(utcSetters).forEach(function (name) {
            var utc = DateProto[utcSetters[name][1]];
            method(name, utcSetters[name][0], function () {
                var t = timeOf(this), wall = new OriginalDate(t !== t && name === 'setFullYear' ? 0 : shifted(this));
                utc.apply(wall, arguments);
                return setTime.call(this, fromLocal(timeOf(wall)));
            });
        });
        function two(n) { return (n < 10 ? '0' : '') + n; }
        var days = ['Sun', 'Mon', 'Tue', 'Wed', 'Thu', 'Fri', 'Sat'];
        var months = ['Jan', 'Feb', 'Mar', 'Apr', 'May', 'Jun', 'Jul', 'Aug', 'Sep', 'Oct', 'Nov', 'Dec'];
        function datePart(w) {
            var y = w.getUTCFullYear();
            return days[w.getUTCDay()] + ' ' + months[w.getUTCMonth()] + ' ' + two(w.getUTCDate()) + ' ' +
                (y < 0 ? '-' + String(-y).padStart(6, '0') : String(y).padStart(4, '0'));
        }
        function timePart(d, w) {
            var off = offsetAt(timeOf(d)), a = Math.abs(off), name = '';
            zoneFormats().zoneName.formatToParts(d).forEach(function (x) { if (x.type === 'timeZoneName') name = x.value; });
            return two(w.getUTCHours()) + ':' + two(w.getUTCMinutes()) + ':' + two(w.getUTCSeconds()) + ' GMT' +
                (off < 0 ? '-' : '+') + two(Math.floor(a / 60)) + two(a % 60) + ' (' + name + ')';
        }
        function local(d, what) {
            if (!(d instanceof OriginalDate)) throw new TypeError('this is not a Date object.');
            var t = timeOf(d);
            if (t !== t) return 'Invalid Date';
            var w = new OriginalDate(shifted(d));
            return what === 'date' ? datePart(w) : what === 'time' ? timePart(d, w) : datePart(w) + ' ' + timePart(d, w);
        }
        method('toString', 0, function () { return local(this, 'all'); });
        method('toDateString', 0, function () { return local(this, 'date'); });
        method('toTimeString', 0, function () { return local(this, 'time'); });
        function localeOptions(options, defaults) {
            var o = {};
            if (options !== undefined && options !== null) for (var k in Object(options)) o[k] = options[k];
            if (o.timeZone === undefined) o.timeZone = zone;
            var wantsAny = ['weekday', 'era', 'year', 'month', 'day', 'dayPeriod', 'hour', 'minute', 'second',
                'fractionalSecondDigits', 'timeZoneName', 'dateStyle', 'timeStyle'].some(function (k) { return o[k] !== undefined; });
            if (!wantsAny) for (k in defaults) o[k] = defaults[k];
            return o;
        }
        var allParts = {year: 'numeric', month: 'numeric', day: 'numeric', hour: 'numeric', minute: 'numeric', second: 'numeric'};
        [['toLocaleString', allParts], ['toLocaleDateString', {year: 'numeric', month: 'numeric', day: 'numeric'}],
            ['toLocaleTimeString', {hour: 'numeric', minute: 'numeric', second: 'numeric'}]].forEach(function (entry) {
            method(entry[0], 0, function (locales, options) {
                var t = timeOf(this);
                if (t !== t) return 'Invalid Date';
                var DTF = originalDTF();
                return new DTF(locales === undefined ? locale : locales, localeOptions(options, entry[1])).format(t);
            });
        });
        // A time given in local terms (components, or text without a zone) is the profile's.
        function parse(text) {
            text = String(text);
            var t = originalParse(text);
            // Text with its own zone, and an ISO date alone (UTC by the language's rules), stand.
            if (t !== t || /(Z|[+-]\d\d:?\d\d|GMT|UTC|UT)\s*(\(.*\))?\s*$/i.test(text) || /^\s*[+-]?\d{4,6}(-\d\d){0,2}\s*$/.test(text)) return t;
            // The engine read it in the machine's zone: back to the wall-clock time, then the profile's.
            return fromLocal(t - originalGetOffset.call(new OriginalDate(t)) * 60000);
        }
        var PersonaDate = kept(native(function Date(a, b, c, d, e, f, g) {
            if (new.target === undefined) return local(new OriginalDate(), 'all');
            var n = arguments.length, made;
            if (n === 0) made = reflect.construct(OriginalDate, [], new.target);
            else if (n === 1) {
                var v = a instanceof OriginalDate ? timeOf(a) : a;
                made = reflect.construct(OriginalDate, [typeof v === 'string' ? parse(v) : v], new.target);
            } else {
                var y = Number(a), wall = OriginalDate.UTC(y, b, n > 2 ? c : 1, n > 3 ? d : 0, n > 4 ? e : 0, n > 5 ? f : 0, n > 6 ? g : 0);
                if (y >= 0 && y <= 99 && wall === wall) wall = new OriginalDate(wall).setUTCFullYear(1900 + y);
                made = reflect.construct(OriginalDate, [fromLocal(wall)], new.target);
            }
            return made;
        }, 'Date', 7, true));
        defineValue(PersonaDate, 'prototype', DateProto, false, false, false);
        hostHidden(DateProto, 'constructor', PersonaDate);
        hostHidden(PersonaDate, 'now', OriginalDate.now);
        hostHidden(PersonaDate, 'UTC', OriginalDate.UTC);
        kept(hostMethod(PersonaDate, 'parse', 1, function (text) { return parse(text); }, 'parse'));
        hostHidden(G, 'Date', PersonaDate);
        // Intl's formats take the profile's language and zone where a script gives none. Made
        // when a script first reaches Intl: making Intl costs a fresh page more than most
        // pages ever use of it. (This may run in the middle of the page's code: it reads
        // nothing the page could have changed by then.)
        function fixedValue(o, name, value) {
            var d = create(null);
            d.value = value;
            d.writable = d.enumerable = d.configurable = false;
            define(o, name, d);
        }
        function localized(Intl, name) {
            var Original = Intl[name];
            if (typeof Original !== 'function') return;
            var made = kept(hostMethod(Intl, name, 0, function (locales, options) {
                return reflect.construct(Original, [locales === undefined ? locale : locales, options], new.target || Original);
            }, name, true));
            fixedValue(made, 'prototype', Original.prototype);
            hostHidden(Original.prototype, 'constructor', made);
            hostHidden(made, 'supportedLocalesOf', Original.supportedLocalesOf);
        }
        function personaIntl(Intl) {
            OriginalDTF = Intl.DateTimeFormat;
            var PersonaDTF = kept(native(function DateTimeFormat(locales, options) {
                var o = options === undefined ? {} : Object(options), copy = {};
                for (var k in o) copy[k] = o[k];
                if (copy.timeZone === undefined) copy.timeZone = zone;
                return reflect.construct(OriginalDTF, [locales === undefined ? locale : locales, copy], new.target || OriginalDTF);
            }, 'DateTimeFormat', 0, true));
            fixedValue(PersonaDTF, 'prototype', OriginalDTF.prototype);
            hostHidden(OriginalDTF.prototype, 'constructor', PersonaDTF);
            hostHidden(PersonaDTF, 'supportedLocalesOf', OriginalDTF.supportedLocalesOf);
            hostHidden(Intl, 'DateTimeFormat', PersonaDTF);
            var names = ['NumberFormat', 'Collator', 'PluralRules', 'RelativeTimeFormat', 'ListFormat', 'DisplayNames'];
            for (var n = 0; n < names.length; n++) localized(Intl, names[n]);
        }
        if (G !== global) {
            personaIntl(G.Intl);
            var realmFunction = G.Function.prototype;
            own_.forEach(function (f) { setProto(f, realmFunction); });
        } else if (typeof host.whenIntl === 'function') host.whenIntl(personaIntl);
        else personaIntl(G.Intl);
    }
    clockPersona(global);

    // ---- the global ---------------------------------------------------------------------

    var windowSpec = interfaceOf('Window');
    setProto(global, windowSpec.proto);
    records.set(global, {iface: windowSpec, impl: kit.window});
    // The window's named properties, as Chrome's WindowProperties (the prototype between
    // Window's and EventTarget's) has them: after the window's own names and members, a
    // frame by its name (as its window), an embed, form, image or object by its name, any
    // element by its id; two or more as a list that follows the page.
    var windowNames = {embed: 1, form: 1, iframe: 1, img: 1, object: 1};
    // (Read from an index of the page's names, made again after the page changed: the
    // window is asked for every name a script's code does not find elsewhere.)
    var namedIndex = null, namedIndexAt = -1;
    function windowNamedItems(doc, name) {
        var at = kit.treeVersion ? kit.treeVersion() : -1;
        if (namedIndex === null || at !== namedIndexAt || at < 0) {
            var index = create(null);
            (function walk(n) {
                for (var c = n.firstChild; c; c = c.nextSibling) {
                    if (c.nodeType !== 1) continue;
                    var id = c.id, own = windowNames[c.localName] === 1 ? c.getAttribute('name') : null;
                    if (typeof id === 'string' && id !== '') (index[id] || (index[id] = [])).push(c);
                    if (own && own !== id) (index[own] || (index[own] = [])).push(c);
                    if (c.firstChild) walk(c);
                }
            })(doc);
            namedIndex = index;
            namedIndexAt = at;
        }
        var found = namedIndex[name];
        return found ? found.slice() : [];
    }
    function windowNamed(name) {
        if (typeof name !== 'string' || name === '') return undefined;
        var doc = kit.document, found = windowNamedItems(doc, name);
        if (!found.length) return undefined;
        for (var n = 0; n < found.length; n++) {
            if (found[n].localName === 'iframe' && found[n].getAttribute('name') === name) return wrap(found[n]).contentWindow;
        }
        if (found.length === 1) return wrap(found[0]);
        var list = {item: function (i) { var f = windowNamedItems(doc, name); return i >= 0 && i < f.length ? f[i] : null; },
            namedItem: function () { return null; }};
        define(list, 'length', {get: function () { return windowNamedItems(doc, name).length; }});
        kinds.set(list, 'HTMLCollection');
        live.add(list);
        return wrap(list);
    }
    var windowProperties = getProto(windowSpec.proto);
    if (windowProperties) {
        setProto(windowSpec.proto, new ProxyOf(windowProperties, {
            get: function (t, k, receiver) {
                var v = windowNamed(k);
                return v !== undefined ? v : reflect.get(t, k, receiver);
            },
            has: function (t, k) { return windowNamed(k) !== undefined || reflect.has(t, k); },
            getOwnPropertyDescriptor: function (t, k) {
                var v = windowNamed(k);
                return v !== undefined ? {value: v, writable: true, enumerable: false, configurable: true} : reflect.getOwnPropertyDescriptor(t, k);
            }
        }));
    }
    // The window's own members (Window is the one global interface of its chain).
    function windowMember(name) { return globalMemberOf(windowSpec.facts, name); }
    function windowMemberNames() {
        return globalMembersOf(windowSpec.facts).map(function (m) { return m.name; });
    }
    // Names the global gives on first use, besides its members and the interfaces.
    var extras = {
        console: function () { return {value: namespaceOf(kit.window.console, 'console'), enumerable: false}; },
        chrome: function () { return {value: chromeObject(), enumerable: true}; },
        CSS: function () { return {value: cssNamespace(), enumerable: false}; },
        NodeFilter: function () { return {value: nodeFilter(), enumerable: false}; },
        WebKitMutationObserver: function () { return {value: interfaceOf('MutationObserver').ctor, enumerable: false}; },
        webkitRequestAnimationFrame: function () { return {value: global.requestAnimationFrame, enumerable: true}; },
        webkitCancelAnimationFrame: function () { return {value: global.cancelAnimationFrame, enumerable: true}; }
    };
    // Legacy factory functions (Image, Audio, Option): "F Interface length" in the table.
    function factory(name) {
        var parts = entry(name).split(' '), f = {iface: parts[1], length: Number(parts[2])}, spec = interfaceOf(f.iface), tag = f.iface === 'HTMLImageElement' ? 'img' : f.iface === 'HTMLAudioElement' ? 'audio' : 'option';
        var made_ = native(function (a, b) {
            if (new.target === undefined) throw new TypeError("Failed to construct '" + name + "': Please use the 'new' operator, this DOM object constructor cannot be called as a function.");
            var e = kit.createElement(tag, kit.document);
            if (tag === 'img') {
                if (a !== undefined) e.width = Number(a);
                if (b !== undefined) e.height = Number(b);
            } else if (tag === 'audio') {
                if (a !== undefined) e.setAttribute('src', String(a));
            } else {
                if (a !== undefined) kit.replaceChildren(e, String(a), true);
                if (b !== undefined) e.setAttribute('value', String(b));
            }
            var w = wrap(e);
            if (new.target !== made_ && new.target.prototype) setProto(w, new.target.prototype);
            return w;
        }, name, f.length, true);
        defineValue(made_, 'prototype', spec.proto, false, false, false);
        pageConstructors.add(made_);
        return made_;
    }

    var defining = false;
    // window[n]: the window of the document's nth frame, as the frame shows it. The
    // indexes shown are taken back when the page's children change, so that each shows
    // the frame in its place when next read (none once the frames are gone).
    var shownFrames = [];
    function frameAt(n) {
        var windows = kit.frames ? kit.frames() : [];
        if (n >= windows.length || !windows[n]) return false;
        var shown = wrap(windows[n]);
        defineValue(global, String(n), shown, true, false, true);
        shownFrames.push([String(n), shown]);
        if (shownFrames.length === 1 && kit.watchFrames) kit.watchFrames(forgetFrames);
        return true;
    }
    function forgetFrames() {
        var shown = shownFrames;
        shownFrames = [];
        kit.watchFrames(null);
        for (var k = 0; k < shown.length; k++) {
            var d = reflect.getOwnPropertyDescriptor(global, shown[k][0]);
            if (d && d.configurable && d.value === shown[k][1]) reflect.deleteProperty(global, shown[k][0]);
        }
    }
    // Defines `name` on the global when it is one of the page's; false when it is not.
    function resolve(name) {
        if (typeof name === 'number') return frameAt(name);
        if (defining || typeof name !== 'string') return false;
        defining = true;
        try {
            return defineName(global, name);
        } finally {
            defining = false;
        }
    }
    // Defines the window's `name` (a member, an interface, a factory or one of the extras)
    // on window `win`; false when the window has no such name.
    function defineName(win, name) {
        var own = windowMember(name);
        if (own) {
            defineMember(win, 'Window', own, true);
            return true;
        }
        if (hasOwn.call(extras, name)) {
            var d = extras[name]();
            if (!d) return false;
            defineValue(win, name, d.value, d.enumerable, true, true);
            return true;
        }
        var e = entry(name);
        if (e.substring(0, 2) === 'A ') {
            var target = interfaceOf(e.substring(2));
            if (!target || !target.ctor) return false;
            defineValue(win, name, target.ctor, false, true, true);
            return true;
        }
        if (e.substring(0, 2) === 'F ') {
            defineValue(win, name, factory(name), false, true, true);
            return true;
        }
        if (isInterface(name) && name !== 'WindowProperties') {
            var spec = interfaceOf(name);
            if (!spec || !spec.ctor) return false;
            defineValue(win, name, spec.ctor, false, true, true);
            return true;
        }
        return false;
    }
    // Every name at once, for enumerations of the global.
    // (Only the enumerable ones, the window's members and `chrome`, when so asked.)
    function resolveAll(enumerableOnly) {
        var all = enumerableOnly === true ? windowMemberNames().concat(enumerableExtras) : host.allNames();
        for (var n = 0; n < all.length; n++) if (!hasOwn.call(global, all[n])) resolve(all[n]);
        // and the frames' indexes
        var count = kit.frames ? kit.frames().length : 0;
        for (n = 0; n < count; n++) if (!hasOwn.call(global, String(n))) resolve(n);
    }
    var enumerableExtras = ['chrome', 'webkitRequestAnimationFrame', 'webkitCancelAnimationFrame'];
    // A frame's window's names: `name` made on window `win`, or all of them (null), or the
    // enumerable ones (false).
    var framesDefining = false;
    function frameNames(name, win) {
        if (framesDefining) return false;
        framesDefining = true;
        try {
            if (typeof name === 'string') return hasOwn.call(win, name) ? false : defineName(win, name);
            var all = name === false ? windowMemberNames().concat(enumerableExtras) : host.allNames();
            for (var n = 0; n < all.length; n++) if (!hasOwn.call(win, all[n])) defineName(win, all[n]);
            return true;
        } finally {
            framesDefining = false;
        }
    }

    // Page objects whose class the environment does not name. Filled when first needed:
    // reading each type's prototype makes many that no page object of a fresh page has.
    // (This runs among the page's code: it reads nothing the page could have changed.)
    function fillImplTypes() {
        implTypesFilled = true;
        var types = kit.types;
        for (var name in types)
            if (hasOwn.call(types, name) && types[name].prototype) mapSet.call(implTypes, types[name].prototype, name);
    }
    kinds.set(kit.window.performance, 'Performance');
    if (kit.window.performance.timing) kinds.set(kit.window.performance.timing, 'PerformanceTiming');
    if (kit.window.crypto && kit.window.crypto.subtle) kinds.set(kit.window.crypto.subtle, 'SubtleCrypto');
    if (kit.screen.orientation) kinds.set(kit.screen.orientation, 'ScreenOrientation');
    kinds.set(kit.document, 'HTMLDocument');
    kinds.set(kit.window.localStorage, 'Storage');
    kinds.set(kit.window.sessionStorage, 'Storage');
    host.names(Object.keys(extras));

    // Untraced, the workbench makes the prototypes' members itself (natives whose work
    // memberWork gives when first called); traced, they come from makeMember.
    return {resolve: resolve, resolveAll: resolveAll, member: makeMember, work: traced ? undefined : memberWork};
})

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
    function behaviour(iface, name) {
        var key = iface + '.' + name;
        if (services === null) {
            // (The services' interfaces bring them in when made; a member of another
            // interface that is theirs, when first called.)
            if (serviceInterfaces[iface] === true) loadServices();
            else if (serviceMembers[key] === true) return function () { loadServices(); return behaviours[key].apply(this, arguments); };
        }
        return behaviours[key];
    }
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
        if (f.flags.m) mapLike(proto, name);
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
        // (A port that hands its messages on itself: a shared worker's.)
        if (target.deliver) {
            target.deliver(message);
            return;
        }
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

    // An image's width and height: its attribute's where it has one, else its own size.
    ['width', 'height'].forEach(function (k) {
        on('HTMLImageElement', 'get ' + k, function () {
            var a = this.getAttribute(k), m = a === null ? null : /^[\t\n\f\r ]*(\d+)/.exec(a);
            return m ? Number(m[1]) : this[k];
        });
        on('HTMLImageElement', 'set ' + k, function (v) { this.setAttribute(k, String(Number(v) >>> 0)); });
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

    // ---- the page's services (services.js) -----------------------------------------------
    // Blobs, workers, Web Crypto, IndexedDB, WebRTC and the rest come when a page first
    // reaches one of them: most pages never do.
    var current = {running: null};    // the worker global whose code runs now
    function scopeGlobal() { return current.running || global; }
    var services = null;
    var serviceInterfaces = create(null), serviceMembers = create(null);
    ('Blob File FileReader Headers Response Worker SharedWorker WorkerGlobalScope DedicatedWorkerGlobalScope SharedWorkerGlobalScope ' +
        'WorkerNavigator WorkerLocation ' +
        'SubtleCrypto CryptoKey RTCPeerConnection RTCDataChannel RTCSessionDescription RTCIceCandidate OffscreenCanvas ' +
        'OffscreenCanvasRenderingContext2D IDBFactory IDBDatabase IDBObjectStore IDBTransaction IDBRequest IDBOpenDBRequest ' +
        'IDBKeyRange WebSocket EventSource BroadcastChannel ServiceWorkerContainer CacheStorage Clipboard CredentialsContainer ' +
        'LockManager Lock HID Serial USB Scheduling UserActivation MediaSession Keyboard KeyboardLayoutMap').split(' ').forEach(function (n) {
        serviceInterfaces[n] = true;
    });
    ['URL.static createObjectURL', 'URL.static revokeObjectURL', 'Window.fetch', 'Window.get caches', 'Navigator.getBattery',
        'Navigator.get serviceWorker', 'Navigator.get clipboard', 'Navigator.get credentials', 'Navigator.get locks', 'Navigator.get hid',
        'Navigator.get serial', 'Navigator.get usb', 'Navigator.get scheduling', 'Navigator.get userActivation', 'Navigator.getGamepads',
        'Navigator.vibrate', 'Navigator.requestMIDIAccess', 'Navigator.get mediaSession', 'Navigator.get keyboard'].forEach(function (k) {
        serviceMembers[k] = true;
    });
    function loadServices() {
        if (services === null) {
            services = false;
            var made = host.services()({global: global, host: host, kit: kit, on: on, records: records, kinds: kinds, wrap: wrap,
                unwrap: unwrap, promise: promise, domException: domException, interfaceOf: interfaceOf, isInterface: isInterface,
                adopt: adopt, globalMembersOf: globalMembersOf, defineMember: defineMember, defineValue: defineValue,
                namespaceOf: namespaceOf, clockPersona: clockPersona, queryText: queryText, indexedDB: indexedDB, current: current,
                behaviours: behaviours});
            services = made;
        }
        return services;
    }
    // A worker's uncaught errors are its own; XMLHttpRequest and images read blob: and data:
    // addresses from what they hold.
    if (kit.onUncaught) kit.onUncaught(function (e) { return services ? services.uncaught(e) : false; });
    if (kit.localResources) kit.localResources(function (address) {
        return /^(blob|data):/i.test(address) ? loadServices().resource(address) : null;
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
    // A maplike interface's members, reading the page object's `map` (a Map).
    function mapLike(proto, iface) {
        function mapOf(self) { return brand(self, iface).impl.map || new Map(); }
        define(proto, 'size', {get: native(function () { return mapOf(this).size; }, 'get size', 0), set: undefined, enumerable: true,
            configurable: true});
        defineValue(proto, 'get', native(function (key) {
            var m = mapOf(this);
            return m.has(String(key)) ? m.get(String(key)) : undefined;
        }, 'get', 1), true, true, true);
        defineValue(proto, 'has', native(function (key) { return mapOf(this).has(String(key)); }, 'has', 1), true, true, true);
        ['entries', 'keys', 'values'].forEach(function (what) {
            defineValue(proto, what, native(function () {
                var list = Array.from(mapOf(this)).map(function (e) { return what === 'keys' ? e[0] : what === 'values' ? e[1] : e; });
                return ArrayValues.call(list);
            }, what, 0), true, true, true);
        });
        defineValue(proto, 'forEach', native(function (callback, thisArg) {
            if (typeof callback !== 'function')
                throw new TypeError("Failed to execute 'forEach' on '" + iface + "': The callback provided as parameter 1 is not a function.");
            var self = this;
            Array.from(mapOf(this)).forEach(function (e) { callback.call(thisArg, e[1], e[0], self); });
        }, 'forEach', 1), true, true, true);
        defineValue(proto, Symbol.iterator, proto.entries, false, true, true);
    }
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

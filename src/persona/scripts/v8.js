// What a Chrome page has of the language beyond this engine: the later built-ins, Error
// constructors whose errors carry their stack as their own member, and JSON.parse's
// messages in V8's words. Runs once in every persona global, before any of the page's
// code; every function it leaves reachable is a native wrapper, so none shows a source.
(function (global, native, settle, host) {
    'use strict';
    var defineProperty = Object.defineProperty;
    var getPrototypeOf = Object.getPrototypeOf;
    var setPrototypeOf = Object.setPrototypeOf;
    var construct = Reflect.construct;
    var apply = Reflect.apply;
    var arraySort = Array.prototype.sort;
    var MapCtor = Map, SetCtor = Set, PromiseCtor = Promise, StringCtor = String;
    var mapGet = Map.prototype.get, mapSet = Map.prototype.set, mapHas = Map.prototype.has;
    var setHas = Set.prototype.has, setAdd = Set.prototype.add, setDelete = Set.prototype.delete;
    var setValues = Set.prototype.values;
    var setSize = Object.getOwnPropertyDescriptor(Set.prototype, 'size').get;
    var TypedArray = getPrototypeOf(Int8Array);
    var typedArrayTag = Object.getOwnPropertyDescriptor(TypedArray.prototype, Symbol.toStringTag).get;
    var typedArrayLength = Object.getOwnPropertyDescriptor(TypedArray.prototype, 'length').get;
    var typedArraySort = TypedArray.prototype.sort;
    var iteratorSymbol = Symbol.iterator, asyncIteratorSymbol = Symbol.asyncIterator;
    var MAX_LENGTH = 9007199254740991;
    // What the built-ins use while a page runs is taken now: a page that changes
    // Array.prototype.push or String.prototype.slice changes nothing of V8's built-ins.
    var arrayIndexOf = Array.prototype.indexOf, stringSlice = String.prototype.slice;
    var stringIndexOf = String.prototype.indexOf, bufferSlice = ArrayBuffer.prototype.slice;
    var mapForEach = Map.prototype.forEach, setForEach = Set.prototype.forEach;
    var objectCreate = Object.create, hasOwn = Object.prototype.hasOwnProperty;
    // (Descriptors of no prototype: what a page puts on Object.prototype, such as a `get`,
    // must not reach them.)
    function append(list, v) {
        var d = objectCreate(null);
        d.value = v;
        d.writable = d.enumerable = d.configurable = true;
        defineProperty(list, list.length, d);
    }
    function has(list, v) { return apply(arrayIndexOf, list, [v]) >= 0; }
    function cut(text, from, to) { return apply(stringSlice, text, to === undefined ? [from] : [from, to]); }

    // A member as the built-ins' own are (writable, configurable, not enumerable); a
    // method is a native wrapper named as V8 names it.
    var hidden = host.hidden, defineMethod = host.method;
    // The engine compiles a function in parentheses with the set-up, the others when first
    // called: the few that run in every fresh global are in parentheses, the many that
    // only a page's call runs are not.
    var method = (function method(target, name, length, impl) {
        defineMethod(target, name, length, impl, typeof name === 'symbol' ? '[' + name.description + ']' : name);
    });
    function integer(v) {
        var n = +v;
        if (n !== n || n === 0) return 0;
        if (n === Infinity || n === -Infinity) return n;
        return n < 0 ? -Math.floor(-n) : Math.floor(n);
    }
    function toObject(v, where) {
        if (v === null || v === undefined) throw new TypeError(where + ' called on null or undefined');
        return Object(v);
    }
    function lengthOf(o) {
        var n = integer(o.length);
        return n <= 0 ? 0 : n > MAX_LENGTH ? MAX_LENGTH : n;
    }
    // A value as V8 names it in "… is not a function" when no source text names it.
    function show(v) {
        if (typeof v === 'symbol') return v.toString();
        if (typeof v === 'string') return '"' + v + '"';
        if (typeof v === 'number' || typeof v === 'boolean' || typeof v === 'bigint') return typeof v + ' ' + StringCtor(v);
        if (typeof v === 'function' || (typeof v === 'object' && v !== null)) {
            return Array.isArray(v) ? '' : '#<' + (v.constructor && v.constructor.name || 'Object') + '>';
        }
        return StringCtor(v);
    }
    function callable(f) {
        if (typeof f !== 'function') throw new TypeError(show(f) + ' is not a function');
        return f;
    }
    function newArray(length) {
        if (length > 4294967295) throw new RangeError('Invalid array length');
        return new Array(length);
    }
    function isConstructor(f) {
        if (typeof f !== 'function') return false;
        try {
            construct(String, [], f);
            return true;
        } catch (e) {
            return false;
        }
    }

    // ---- Array.prototype ---------------------------------------------------------------
    var ArrayProto = Array.prototype;
    method(ArrayProto, 'findLast', 1, function (predicate, thisArg) {
        var o = toObject(this, 'Array.prototype.findLast');
        var n = lengthOf(o);
        callable(predicate);
        for (var i = n - 1; i >= 0; i--) {
            var v = o[i];
            if (apply(predicate, thisArg, [v, i, o])) return v;
        }
        return undefined;
    });
    method(ArrayProto, 'findLastIndex', 1, function (predicate, thisArg) {
        var o = toObject(this, 'Array.prototype.findLastIndex');
        var n = lengthOf(o);
        callable(predicate);
        for (var i = n - 1; i >= 0; i--) {
            if (apply(predicate, thisArg, [o[i], i, o])) return i;
        }
        return -1;
    });
    method(ArrayProto, 'toReversed', 0, function () {
        var o = toObject(this, 'Array.prototype.toReversed');
        var n = lengthOf(o);
        var a = newArray(n);
        for (var i = 0; i < n; i++) a[i] = o[n - 1 - i];
        return a;
    });
    method(ArrayProto, 'toSorted', 1, function (comparefn) {
        if (comparefn !== undefined && typeof comparefn !== 'function')
            throw new TypeError('The comparison function must be either a function or undefined: ' + StringCtor(comparefn));
        var o = toObject(this, 'Array.prototype.toSorted');
        var n = lengthOf(o);
        var a = newArray(n);
        for (var i = 0; i < n; i++) a[i] = o[i];
        return apply(arraySort, a, [comparefn]);
    });
    method(ArrayProto, 'toSpliced', 2, function (start, skipCount) {
        var o = toObject(this, 'Array.prototype.toSpliced');
        var n = lengthOf(o);
        var s = integer(start);
        s = s < 0 ? Math.max(n + s, 0) : Math.min(s, n);
        var items = arguments.length > 2 ? arguments.length - 2 : 0;
        var skip = arguments.length === 0 ? 0 : arguments.length === 1 ? n - s : Math.min(Math.max(integer(skipCount), 0), n - s);
        var newLength = n + items - skip;
        if (newLength > MAX_LENGTH) throw new TypeError('Invalid array length');
        var a = newArray(newLength);
        var k = 0, i;
        for (i = 0; i < s; i++) a[k++] = o[i];
        for (i = 0; i < items; i++) a[k++] = arguments[i + 2];
        for (i = s + skip; i < n; i++) a[k++] = o[i];
        return a;
    });
    method(ArrayProto, 'with', 2, function (index, value) {
        var o = toObject(this, 'Array.prototype.with');
        var n = lengthOf(o);
        var rel = integer(index);
        var actual = rel >= 0 ? rel : n + rel;
        if (actual >= n || actual < 0) throw new RangeError('Invalid index : ' + StringCtor(index));
        var a = newArray(n);
        for (var i = 0; i < n; i++) a[i] = i === actual ? value : o[i];
        return a;
    });
    var unscopables = ArrayProto[Symbol.unscopables];
    ['findLast', 'findLastIndex', 'toReversed', 'toSorted', 'toSpliced'].forEach((function (name) {
        defineProperty(unscopables, name, {value: true, writable: true, enumerable: true, configurable: true});
    }));

    // ---- typed arrays ------------------------------------------------------------------
    var TypedArrayProto = TypedArray.prototype;
    // The engine's own constructor of each kind (not what the global holds by then), taken
    // when a built-in first makes an array of that kind.
    var typedArrays = objectCreate(null), intrinsic = host.intrinsic;
    function typedArrayCtor(tag) {
        return typedArrays[tag] || (typedArrays[tag] = intrinsic(tag));
    }
    function typedArray(o, where) {
        var tag = apply(typedArrayTag, o, []);
        if (tag === undefined) throw new TypeError('this is not a typed array.');
        return tag;
    }
    method(TypedArrayProto, 'findLast', 1, function (predicate, thisArg) {
        typedArray(this);
        var n = apply(typedArrayLength, this, []);
        callable(predicate);
        for (var i = n - 1; i >= 0; i--) {
            var v = this[i];
            if (apply(predicate, thisArg, [v, i, this])) return v;
        }
        return undefined;
    });
    method(TypedArrayProto, 'findLastIndex', 1, function (predicate, thisArg) {
        typedArray(this);
        var n = apply(typedArrayLength, this, []);
        callable(predicate);
        for (var i = n - 1; i >= 0; i--) {
            if (apply(predicate, thisArg, [this[i], i, this])) return i;
        }
        return -1;
    });
    method(TypedArrayProto, 'toReversed', 0, function () {
        var tag = typedArray(this);
        var n = apply(typedArrayLength, this, []);
        var a = new (typedArrayCtor(tag))(n);
        for (var i = 0; i < n; i++) a[i] = this[n - 1 - i];
        return a;
    });
    method(TypedArrayProto, 'toSorted', 1, function (comparefn) {
        if (comparefn !== undefined && typeof comparefn !== 'function')
            throw new TypeError('The comparison function must be either a function or undefined: ' + StringCtor(comparefn));
        var tag = typedArray(this);
        var n = apply(typedArrayLength, this, []);
        var a = new (typedArrayCtor(tag))(n);
        for (var i = 0; i < n; i++) a[i] = this[i];
        return apply(typedArraySort, a, [comparefn]);
    });
    method(TypedArrayProto, 'with', 2, function (index, value) {
        var tag = typedArray(this);
        var n = apply(typedArrayLength, this, []);
        var rel = integer(index);
        var actual = rel >= 0 ? rel : n + rel;
        var v = tag === 'BigInt64Array' || tag === 'BigUint64Array' ? BigInt(value) : +value;
        if (actual >= n || actual < 0) throw new RangeError('Invalid typed array index');
        var a = new (typedArrayCtor(tag))(n);
        for (var i = 0; i < n; i++) a[i] = i === actual ? v : this[i];
        return a;
    });

    // ---- grouping ----------------------------------------------------------------------
    function eachWithIndex(items, callback, visit) {
        if (items === null || items === undefined) throw new TypeError(StringCtor(items) + ' is not iterable');
        callable(callback);
        var k = 0;
        for (var v of items) {
            visit(apply(callback, undefined, [v, k]), v);
            k++;
        }
    }
    method(Object, 'groupBy', 2, function (items, callback) {
        var groups = Object.create(null);
        eachWithIndex(items, callback, function (key, v) {
            key = typeof key === 'symbol' ? key : StringCtor(key);
            if (apply(hasOwn, groups, [key])) append(groups[key], v);
            else groups[key] = [v];
        });
        return groups;
    });
    method(Map, 'groupBy', 2, function (items, callback) {
        var groups = new MapCtor();
        eachWithIndex(items, callback, function (key, v) {
            if (key === 0) key = 0;  // -0 groups with 0
            if (apply(mapHas, groups, [key])) append(apply(mapGet, groups, [key]), v);
            else apply(mapSet, groups, [key, [v]]);
        });
        return groups;
    });

    // ---- promises, strings -------------------------------------------------------------
    method(Promise, 'withResolvers', 0, function () {
        var C = this;
        if (!isConstructor(C)) throw new TypeError('Promise.withResolvers called on non-object');
        var resolve, reject;
        var promise = new C(function (res, rej) {
            resolve = res;
            reject = rej;
        });
        return {promise: promise, resolve: resolve, reject: reject};
    });
    function stringThis(v, where) {
        if (v === null || v === undefined) throw new TypeError('String.prototype.' + where + ' called on null or undefined');
        return StringCtor(v);
    }
    method(String.prototype, 'isWellFormed', 0, function () {
        var s = stringThis(this, 'isWellFormed');
        return !/[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?:^|[^\uD800-\uDBFF])[\uDC00-\uDFFF]/.test(s);
    });
    method(String.prototype, 'toWellFormed', 0, function () {
        var s = stringThis(this, 'toWellFormed');
        return s.replace(/[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(^|[^\uD800-\uDBFF])[\uDC00-\uDFFF]/g, function (m, before) {
            return before === undefined ? '\uFFFD' : before + '\uFFFD';
        });
    });

    // ---- Set methods -------------------------------------------------------------------
    function setThis(o, name) {
        try {
            apply(setSize, o, []);
        } catch (e) {
            throw new TypeError('Method Set.prototype.' + name + ' called on incompatible receiver ' + show(o));
        }
        return o;
    }
    function setRecord(other) {
        if (typeof other !== 'object' && typeof other !== 'function' || other === null)
            throw new TypeError('The "other" argument must be an object');
        var raw = +other.size;
        if (raw !== raw) throw new TypeError('The .size property is NaN');
        var size = integer(raw);
        if (size < 0) throw new RangeError("'" + raw + "' is an invalid size");
        var has = other.has, keys = other.keys;
        if (typeof has !== 'function') throw new TypeError("The 'has' property must be a function");
        if (typeof keys !== 'function') throw new TypeError("The 'keys' property must be a function");
        return {set: other, size: size, has: has, keys: keys};
    }
    function eachKey(record, visit) {
        var it = apply(record.keys, record.set, []);
        if (typeof it !== 'object' || it === null) throw new TypeError(show(it) + ' is not an object');
        var next = it.next;
        for (;;) {
            var step = apply(next, it, []);
            if (typeof step !== 'object' || step === null) throw new TypeError(show(step) + ' is not an object');
            if (step.done) return;
            if (visit(step.value) === false) {
                if (typeof it['return'] === 'function') apply(it['return'], it, []);
                return;
            }
        }
    }
    function copySet(s) {
        var out = new SetCtor();
        for (var v of apply(setValues, s, [])) apply(setAdd, out, [v]);
        return out;
    }
    function valuesOf(s) {
        var out = [];
        apply(setForEach, s, [function (v) { append(out, v); }]);
        return out;
    }
    function norm(v) { return v === 0 ? 0 : v; }
    var SetProto = Set.prototype;
    method(SetProto, 'union', 1, function (other) {
        setThis(this, 'union');
        var r = setRecord(other), out = copySet(this);
        eachKey(r, function (v) { apply(setAdd, out, [norm(v)]); });
        return out;
    });
    method(SetProto, 'intersection', 1, function (other) {
        setThis(this, 'intersection');
        var r = setRecord(other), out = new SetCtor(), self = this;
        if (apply(setSize, this, []) <= r.size) {
            var mine = valuesOf(this);
            for (var i = 0; i < mine.length; i++) if (apply(r.has, r.set, [mine[i]])) apply(setAdd, out, [mine[i]]);
        } else {
            eachKey(r, function (v) { if (apply(setHas, self, [v])) apply(setAdd, out, [norm(v)]); });
        }
        return out;
    });
    method(SetProto, 'difference', 1, function (other) {
        setThis(this, 'difference');
        var r = setRecord(other), out = copySet(this);
        if (apply(setSize, this, []) <= r.size) {
            var mine = valuesOf(this);
            for (var i = 0; i < mine.length; i++) if (apply(r.has, r.set, [mine[i]])) apply(setDelete, out, [mine[i]]);
        } else {
            eachKey(r, function (v) { apply(setDelete, out, [v]); });
        }
        return out;
    });
    method(SetProto, 'symmetricDifference', 1, function (other) {
        setThis(this, 'symmetricDifference');
        var r = setRecord(other), out = copySet(this), self = this;
        eachKey(r, function (v) {
            v = norm(v);
            if (apply(setHas, self, [v])) apply(setDelete, out, [v]);
            else apply(setAdd, out, [v]);
        });
        return out;
    });
    method(SetProto, 'isSubsetOf', 1, function (other) {
        setThis(this, 'isSubsetOf');
        var r = setRecord(other);
        if (apply(setSize, this, []) > r.size) return false;
        var mine = valuesOf(this);
        for (var i = 0; i < mine.length; i++) if (!apply(r.has, r.set, [mine[i]])) return false;
        return true;
    });
    method(SetProto, 'isSupersetOf', 1, function (other) {
        setThis(this, 'isSupersetOf');
        var r = setRecord(other), self = this, result = true;
        if (apply(setSize, this, []) < r.size) return false;
        eachKey(r, function (v) { if (!apply(setHas, self, [v])) return (result = false); });
        return result;
    });
    method(SetProto, 'isDisjointFrom', 1, function (other) {
        setThis(this, 'isDisjointFrom');
        var r = setRecord(other), self = this, result = true;
        if (apply(setSize, this, []) <= r.size) {
            var mine = valuesOf(this);
            for (var i = 0; i < mine.length; i++) if (apply(r.has, r.set, [mine[i]])) return false;
            return true;
        }
        eachKey(r, function (v) { if (apply(setHas, self, [v])) return (result = false); });
        return result;
    });

    // ---- Array.fromAsync ---------------------------------------------------------------
    method(Array, 'fromAsync', 1, function (items, mapfn, thisArg) {
        var C = this;
        return new PromiseCtor(function (resolve, reject) {
            if (mapfn !== undefined && typeof mapfn !== 'function') throw new TypeError(show(mapfn) + ' is not a function');
            if (items === null || items === undefined) throw new TypeError(StringCtor(items) + ' is not iterable');
            var out = isConstructor(C) ? new C() : [];
            var k = 0;
            var asyncMethod = items[asyncIteratorSymbol];
            var syncMethod = asyncMethod == null ? items[iteratorSymbol] : undefined;
            function put(v) {
                if (mapfn === undefined) return PromiseCtor.resolve(v).then(function (w) { out[k++] = w; });
                return PromiseCtor.resolve(v).then(function (w) { return apply(mapfn, thisArg, [w, k]); })
                    .then(function (w) { out[k++] = w; });
            }
            function finish() { out.length = k; resolve(out); }
            if (asyncMethod != null || syncMethod != null) {
                var it = apply(asyncMethod != null ? asyncMethod : syncMethod, items, []);
                var step = function () {
                    PromiseCtor.resolve(it.next()).then(function (r) {
                        if (r.done) return finish();
                        return put(r.value).then(step);
                    }).then(undefined, reject);
                };
                step();
                return;
            }
            var o = Object(items), n = lengthOf(o), i = 0;
            var each = function () {
                if (i >= n) return finish();
                put(o[i++]).then(each, reject);
            };
            each();
        });
    });

    // ---- Iterator helpers: only what Chrome has ----------------------------------------
    if (typeof global.Iterator === 'function') {
        var IteratorProto = global.Iterator.prototype, IteratorCtor = global.Iterator;
        delete IteratorProto.asIndexedPairs;
        // `constructor` and Symbol.toStringTag are accessors whose setter defines an own
        // property on the receiver (and refuses the prototype itself), as V8 has them.
        var weird = (function (key, shown, value) {
            var home = IteratorProto;
            return native(function (v) {
                if (this === null || (typeof this !== 'object' && typeof this !== 'function'))
                    throw new TypeError('Iterator.prototype.' + shown + ' setter called on non-object');
                if (this === home) throw new TypeError("Cannot assign to read only property '" + shown + "' of object '[object Iterator]'");
                if (Object.getOwnPropertyDescriptor(this, key) === undefined)
                    defineProperty(this, key, {value: v, writable: true, enumerable: true, configurable: true});
                else this[key] = v;
            }, 'set ' + shown, 1);
        });
        defineProperty(IteratorProto, 'constructor', {
            get: native(function () { return IteratorCtor; }, 'get constructor', 0),
            set: weird('constructor', 'constructor'), enumerable: false, configurable: true
        });
        defineProperty(IteratorProto, Symbol.toStringTag, {
            get: native(function () { return 'Iterator'; }, 'get [Symbol.toStringTag]', 0),
            set: weird(Symbol.toStringTag, '[Symbol.toStringTag]'), enumerable: false, configurable: true
        });
    }

    // ---- structuredClone ---------------------------------------------------------------
    function cloneError(v) {
        var text = "Failed to execute 'structuredClone' on 'Window': " + StringCtor(v) + ' could not be cloned.';
        if (typeof global.DOMException === 'function') return new global.DOMException(text, 'DataCloneError');
        var e = new Error(text);
        e.name = 'DataCloneError';
        return e;
    }
    var toStringOf = Object.prototype.toString;
    function clone(v, seen) {
        if (typeof v === 'symbol' || typeof v === 'function') throw cloneError(v);
        if (typeof v !== 'object' || v === null) return v;
        if (apply(mapHas, seen, [v])) return apply(mapGet, seen, [v]);
        var tag = apply(toStringOf, v, []), out, i;
        switch (tag) {
        case '[object Boolean]': case '[object Number]': case '[object String]': case '[object BigInt]':
            out = Object(v.valueOf());
            break;
        case '[object Date]': out = new Date(v.getTime()); break;
        case '[object RegExp]': out = new RegExp(v.source, v.flags); break;
        case '[object ArrayBuffer]': out = apply(bufferSlice, v, [0]); break;
        case '[object DataView]':
            out = new DataView(clone(v.buffer, seen), v.byteOffset, v.byteLength);
            break;
        case '[object Map]':
            out = new MapCtor();
            apply(mapSet, seen, [v, out]);
            apply(mapForEach, v, [function (value, key) { apply(mapSet, out, [clone(key, seen), clone(value, seen)]); }]);
            return out;
        case '[object Set]':
            out = new SetCtor();
            apply(mapSet, seen, [v, out]);
            apply(setForEach, v, [function (value) { apply(setAdd, out, [clone(value, seen)]); }]);
            return out;
        case '[object Error]':
            var name = v.name;
            var Ctor = has(['EvalError', 'RangeError', 'ReferenceError', 'SyntaxError', 'TypeError', 'URIError'], name)
                ? global[name] : global.Error;
            out = new Ctor(v.message);
            apply(mapSet, seen, [v, out]);
            if (v.stack !== undefined) hidden(out, 'stack', StringCtor(v.stack));
            return out;
        case '[object Array]':
            out = new Array(v.length);
            break;
        case '[object Object]':
            if (apply(typedArrayTag, v, []) !== undefined) break;
            out = {};
            break;
        default:
            if (apply(typedArrayTag, v, []) !== undefined) break;
            throw cloneError(v);
        }
        if (out === undefined) {
            var tagName = apply(typedArrayTag, v, []);
            out = new (typedArrayCtor(tagName))(clone(v.buffer, seen), v.byteOffset, apply(typedArrayLength, v, []));
            apply(mapSet, seen, [v, out]);
            return out;
        }
        apply(mapSet, seen, [v, out]);
        if (tag === '[object Array]' || tag === '[object Object]') {
            var keys = Object.keys(v);
            for (i = 0; i < keys.length; i++) out[keys[i]] = clone(v[keys[i]], seen);
        }
        return out;
    }
    // An operation of the window: enumerable, as the window's members are.
    defineProperty(global, 'structuredClone', {
        value: native(function (value) {
            if (arguments.length < 1)
                throw new TypeError("Failed to execute 'structuredClone' on 'Window': 1 argument required, but only 0 present.");
            return clone(value, new MapCtor());
        }, 'structuredClone', 1),
        writable: true, enumerable: true, configurable: true
    });

    // ---- JSON.parse in V8's words ------------------------------------------------------
    var originalParse = JSON.parse;
    function jsonMessage(text) {
        var n = text.length, i = 0, ch;
        function fail(kind, at) {
            var e = {kind: kind, at: at};
            throw e;
        }
        function ws() {
            while (i < n && (text[i] === ' ' || text[i] === '\t' || text[i] === '\n' || text[i] === '\r')) i++;
        }
        function token(explicit) {
            if (explicit) fail(explicit, i);
            if (i >= n) fail('eos', i);
            ch = text[i];
            if (ch === '"') fail(explicit || 'string', i);
            if (ch === '-' || (ch >= '0' && ch <= '9')) fail(explicit || 'number', i);
            fail(explicit || 'token', i);
        }
        function string() {
            i++;
            for (;;) {
                if (i >= n) fail('unterminated', i);
                var c = text.charCodeAt(i);
                if (c === 34) { i++; return; }
                if (c < 0x20) fail('control', i);
                if (c === 92) {
                    i++;
                    if (i >= n) fail('unterminated', i);
                    var e = text[i];
                    if (e === 'u') {
                        for (var k = 1; k <= 4; k++) if (!/[0-9a-fA-F]/.test(text[i + k] || '')) fail('unicode', i + k);
                        i += 5;
                        continue;
                    }
                    if (apply(stringIndexOf, '"\\/bfnrt', [e]) < 0) fail('escape', i);
                }
                i++;
            }
        }
        function number() {
            if (text[i] === '-') {
                i++;
                if (!(text[i] >= '0' && text[i] <= '9')) fail('minus', i);
            }
            if (text[i] === '0') i++;
            else while (text[i] >= '0' && text[i] <= '9') i++;
            if (text[i] === '.') {
                i++;
                if (!(text[i] >= '0' && text[i] <= '9')) fail('fraction', i);
                while (text[i] >= '0' && text[i] <= '9') i++;
            }
            if (text[i] === 'e' || text[i] === 'E') {
                i++;
                if (text[i] === '+' || text[i] === '-') i++;
                if (!(text[i] >= '0' && text[i] <= '9')) fail('exponent', i);
                while (text[i] >= '0' && text[i] <= '9') i++;
            }
        }
        function literal(word) {
            for (var k = 0; k < word.length; k++) {
                if (text[i] !== word[k]) token();
                i++;
            }
        }
        function value() {
            ws();
            if (i >= n) fail('eos', i);
            ch = text[i];
            if (ch === '{') {
                i++;
                ws();
                if (text[i] === '}') { i++; return; }
                for (;;) {
                    ws();
                    if (text[i] !== '"') token('propName');
                    string();
                    ws();
                    if (text[i] !== ':') token('colon');
                    i++;
                    value();
                    ws();
                    if (text[i] === ',') {
                        i++;
                        ws();
                        if (text[i] !== '"') token('quotedName');
                        continue;
                    }
                    if (text[i] === '}') { i++; return; }
                    token('commaBrace');
                }
            }
            if (ch === '[') {
                i++;
                ws();
                if (text[i] === ']') { i++; return; }
                for (;;) {
                    value();
                    ws();
                    if (text[i] === ',') { i++; continue; }
                    if (text[i] === ']') { i++; return; }
                    token('commaBracket');
                }
            }
            if (ch === '"') return string();
            if (ch === '-' || (ch >= '0' && ch <= '9')) return number();
            if (ch === 't') return literal('true');
            if (ch === 'f') return literal('false');
            if (ch === 'n') return literal('null');
            token();
        }
        try {
            value();
            ws();
            if (i < n) fail('after', i);
            return null;
        } catch (e) {
            if (!e || typeof e.kind !== 'string') throw e;
            return jsonDescribe(text, e.kind, e.at);
        }
    }
    // V8's message for a JSON text that fails at `at` for the reason `kind`.
    function jsonDescribe(text, kind, at) {
        var n = text.length;
        var line = 1, column = 1;
        for (var k = 0; k < at; k++) {
            if (text[k] === '\n') { line++; column = 1; } else column++;
        }
        var where = ' in JSON at position ' + at + ' (line ' + line + ' column ' + column + ')';
        // Where a particular thing was expected V8 says so even at the end of the text.
        if (kind === 'eos' || (at >= n && (kind === 'token' || kind === 'string' || kind === 'number')))
            return 'Unexpected end of JSON input';
        switch (kind) {
        case 'number': return 'Unexpected number' + where;
        case 'string': return 'Unexpected string' + where;
        case 'propName': return "Expected property name or '}'" + where;
        case 'quotedName': return 'Expected double-quoted property name' + where;
        case 'colon': return "Expected ':' after property name" + where;
        case 'commaBrace': return "Expected ',' or '}' after property value" + where;
        case 'commaBracket': return "Expected ',' or ']' after array element" + where;
        case 'after': return 'Unexpected non-whitespace character after JSON at position ' + at +
            ' (line ' + line + ' column ' + column + ')';
        case 'unterminated': return 'Unterminated string' + where;
        case 'control': return 'Bad control character in string literal' + where;
        case 'escape': return 'Bad escaped character' + where;
        case 'unicode': return 'Bad Unicode escape' + where;
        case 'minus': return 'No number after minus sign' + where;
        case 'fraction': return 'Unterminated fractional number' + where;
        case 'exponent': return 'Exponent part is missing a number' + where;
        }
        if (text === 'undefined' || text === 'NaN' || text === 'Infinity' || text === '[object Object]')
            return '"' + text + '" is not valid JSON';
        var c = text[at];
        if (n < 21) return "Unexpected token '" + c + "', \"" + text + '" is not valid JSON';
        if (at < 10) return "Unexpected token '" + c + "', \"" + cut(text, 0, at + 10) + '"... is not valid JSON';
        if (at < n - 10)
            return "Unexpected token '" + c + "', ...\"" + cut(text, at - 10, at + 10) + '"... is not valid JSON';
        return "Unexpected token '" + c + "', ...\"" + cut(text, at - 10) + '" is not valid JSON';
    }

    method(JSON, 'parse', 2, function (text, reviver) {
        try {
            return apply(originalParse, JSON, arguments);
        } catch (e) {
            if (e instanceof SyntaxError) {
                var message = jsonMessage(StringCtor(text));
                // The same error goes on, so the workbench still reads the engine's report.
                if (message !== null) e.message = message;
            }
            throw e;
        }
    });

    var accessor = (function accessor(target, name, impl) {
        // (A descriptor of no prototype: this also runs after the page's code started.)
        var d = objectCreate(null);
        d.get = native(impl, 'get ' + name, 0);
        d.set = undefined;
        d.enumerable = false;
        d.configurable = true;
        defineProperty(target, name, d);
    });

    // ---- JSON.rawJSON ------------------------------------------------------------------
    var rawTexts = new WeakMap(), rawCount = 0;
    var originalStringify = JSON.stringify;
    method(JSON, 'rawJSON', 1, function (text) {
        var t = StringCtor(text);
        if (t === '' || /^[\t\n\r ]|[\t\n\r ]$/.test(t)) throw new SyntaxError('Invalid value for JSON.rawJSON');
        // Only a primitive's text: an object or array fails at its first character.
        if (t[0] === '{' || t[0] === '[') throw new SyntaxError(jsonDescribe(t, 'token', 0));
        apply(originalParse, JSON, [t]);
        var raw = Object.create(null);
        defineProperty(raw, 'rawJSON', {value: t, writable: false, enumerable: true, configurable: false});
        Object.freeze(raw);
        rawTexts.set(raw, t);
        rawCount++;
        return raw;
    });
    method(JSON, 'isRawJSON', 1, function (o) {
        return typeof o === 'object' && o !== null && rawTexts.has(o);
    });
    // V8 says where a circle closes: from the object it starts at, the members that lead
    // back to it. When the engine has refused a value, it is written again (without a
    // replacer function of the page's, whose calls would repeat) noting each member's
    // holder, up to the member that leads back to a holder still open.
    var isArray = Array.isArray, WeakMapCtor = WeakMap;
    var weakGet = WeakMap.prototype.get, weakSet = WeakMap.prototype.set;
    function constructorName(o) {
        for (var p = o, depth = 0; p !== null && depth < 50; p = getPrototypeOf(p), depth++) {
            var d = Object.getOwnPropertyDescriptor(p, 'constructor');
            if (d && typeof d.value === 'function') {
                var n = Object.getOwnPropertyDescriptor(d.value, 'name');
                return n && typeof n.value === 'string' && n.value !== '' ? n.value : 'Object';
            }
        }
        return 'Object';
    }
    function circleMessage(value, list) {
        var parents = new WeakMapCtor(), found = null;
        try {
            apply(originalStringify, JSON, [value, function (k, v) {
                if (list && k !== '' && !isArray(this) && !has(list, k)) return undefined;
                if (found || typeof v !== 'object' || v === null) return v;
                for (var h = this; h; ) {
                    if (h === v) {
                        found = {start: v, holder: this, key: k};
                        return v;
                    }
                    var up = apply(weakGet, parents, [h]);
                    h = up ? up.holder : null;
                }
                apply(weakSet, parents, [v, {holder: this, key: k}]);
                return v;
            }]);
        } catch (e) {
            // the engine refuses it again, where the circle closes
        }
        if (!found) return null;
        function member(holder, key) { return isArray(holder) ? 'index ' + key : "property '" + key + "'"; }
        var steps = [];
        for (var h = found.holder; h !== found.start; ) {
            var up = apply(weakGet, parents, [h]);
            if (!up) return null;
            steps.unshift('|     ' + member(up.holder, up.key) + " -> object with constructor '" + constructorName(h) + "'");
            h = up.holder;
        }
        if (steps.length > 3) steps = [steps[0], steps[1], '|     ...', steps[steps.length - 1]];
        var lines = ["--> starting at object with constructor '" + constructorName(found.start) + "'"].concat(steps);
        lines.push('--- ' + member(found.holder, found.key) + ' closes the circle');
        return 'Converting circular structure to JSON\n    ' + lines.join('\n    ');
    }
    function stringifyOnce(args, engineArgs) {
        try {
            return apply(originalStringify, JSON, engineArgs);
        } catch (e) {
            if (e instanceof TypeError && e.message === 'Converting circular structure to JSON' && typeof args[1] !== 'function') {
                var message = circleMessage(args[0], isArray(args[1]) ? args[1] : null);
                if (message !== null) e.message = message;
            }
            throw e;
        }
    }
    method(JSON, 'stringify', 3, function (value, replacer, space) {
        if (rawCount === 0) return stringifyOnce(arguments, arguments);
        // Raw texts go out as they are: each is written as a marker first, then put in.
        var marks = [], user = typeof replacer === 'function' ? replacer : null;
        var list = user || replacer === undefined || replacer === null ? undefined : replacer;
        var out = stringifyOnce(arguments, [value, function (k, v) {
            if (user) v = apply(user, this, [k, v]);
            if (list && k !== '' && !Array.isArray(this) && !has(list, k)) return undefined;
            if (typeof v === 'object' && v !== null && rawTexts.has(v)) {
                append(marks, rawTexts.get(v));
                return '\u0000raw' + (marks.length - 1) + '\u0000';
            }
            return v;
        }, space]);
        if (typeof out !== 'string') return out;
        return out.replace(/"\\u0000raw(\d+)\\u0000"/g, function (m, i) { return marks[+i]; });
    });

    // ---- RegExp, ArrayBuffer -----------------------------------------------------------
    var regExpFlags = Object.getOwnPropertyDescriptor(RegExp.prototype, 'flags').get;
    var regExpSource = Object.getOwnPropertyDescriptor(RegExp.prototype, 'source').get;
    accessor(RegExp.prototype, 'unicodeSets', function () {
        if (this === RegExp.prototype) return undefined;
        if (typeof this !== 'object' || this === null)
            throw new TypeError('RegExp.prototype.unicodeSets getter called on non-object ' + show(this));
        try {
            apply(regExpSource, this, []);
        } catch (e) {
            throw new TypeError('RegExp.prototype.unicodeSets getter called on non-RegExp object');
        }
        return false;  // the engine has no `v` flag
    });
    var bufferLength = Object.getOwnPropertyDescriptor(ArrayBuffer.prototype, 'byteLength').get;
    var BufferProto = ArrayBuffer.prototype;
    function bufferThis(o, what) {
        try {
            apply(bufferLength, o, []);
        } catch (e) {
            throw new TypeError('Method ArrayBuffer.prototype.' + what + ' called on incompatible receiver ' + show(o));
        }
        return o;
    }
    function toIndex(v) {
        var n = integer(v);
        if (n < 0 || n > MAX_LENGTH) throw new RangeError('Invalid array buffer length');
        return n;
    }
    accessor(BufferProto, 'detached', function () { return host.detached(bufferThis(this, 'detached')); });
    accessor(BufferProto, 'resizable', function () { bufferThis(this, 'resizable'); return false; });
    accessor(BufferProto, 'maxByteLength', function () { return apply(bufferLength, bufferThis(this, 'maxByteLength'), []); });
    method(BufferProto, 'resize', 1, function () {
        throw new TypeError('Method ArrayBuffer.prototype.resize called on incompatible receiver ' + show(this));
    });
    var transferring = (function transferring(name) {
        return function (newLength) {
            bufferThis(this, name);
            if (host.detached(this)) throw new TypeError('Cannot perform ArrayBuffer.prototype.' + name + ' on a detached ArrayBuffer');
            var length = newLength === undefined ? apply(bufferLength, this, []) : toIndex(newLength);
            return host.transfer(this, length);
        };
    });
    method(BufferProto, 'transfer', 0, transferring('transfer'));
    method(BufferProto, 'transferToFixedLength', 0, transferring('transferToFixedLength'));

    // ---- Atomics.wait / waitAsync ------------------------------------------------------
    // A page without cross-origin isolation has no shared memory, so no array can be
    // waited on; both refuse as V8 does.
    if (typeof Atomics === 'object' && Atomics) {
        var waitable = function (ta) {
            var tag = typeof ta === 'object' && ta !== null ? apply(typedArrayTag, ta, []) : undefined;
            if (tag !== 'Int32Array' && tag !== 'BigInt64Array')
                throw new TypeError(apply(toStringOf, ta, []) + ' is not an int32 or BigInt64 typed array.');
            throw new TypeError(apply(toStringOf, ta, []) + ' is not a shared typed array.');
        };
        method(Atomics, 'wait', 4, function (ta) { waitable(ta); });
        method(Atomics, 'waitAsync', 4, function (ta) { waitable(ta); });
    }

    // ---- Intl.Segmenter and Intl.v8BreakIterator ----------------------------------------
    // Added when a script first reaches Intl: making Intl costs a fresh page more than most
    // pages ever use of it. This may run in the middle of the page's code, so it reads
    // nothing the page could have changed by then.
    var iteratorProto = getPrototypeOf(getPrototypeOf([][iteratorSymbol]()));
    var toStringTagSymbol = Symbol.toStringTag;
    function fixedValue(o, key, value, configurable) {
        var d = objectCreate(null);
        d.value = value;
        d.writable = d.enumerable = false;
        d.configurable = configurable;
        defineProperty(o, key, d);
    }
    var intlOrder = "getCanonicalLocales supportedValuesOf DateTimeFormat NumberFormat Collator v8BreakIterator PluralRules RelativeTimeFormat ListFormat Locale DisplayNames Segmenter";
    function personaIntl(Intl) {
        // Intl.Segmenter ----------------------------------------------------------------
        if (typeof Intl === 'object' && Intl && typeof Intl.Segmenter !== 'function') {
            var segmenters = new WeakMapCtor(), segmentsOf = new WeakMapCtor(), iterators = new WeakMapCtor();
            var DateTimeFormat = Intl.DateTimeFormat;
            var granularities = ['grapheme', 'word', 'sentence'];
            var Segmenter = native(function (locales, options) {
                if (new.target === undefined) throw new TypeError("Constructor Intl.Segmenter requires 'new'");
                if (options === null) throw new TypeError('Cannot convert undefined or null to object');
                options = options === undefined ? {} : Object(options);
                var matcher = options.localeMatcher;
                if (matcher !== undefined && !has(['lookup', 'best fit'], StringCtor(matcher)))
                    throw new RangeError('Value ' + StringCtor(matcher) + ' out of range for Intl.Segmenter options property localeMatcher');
                var locale = new DateTimeFormat(locales).resolvedOptions().locale;
                var g = options.granularity === undefined ? 'grapheme' : StringCtor(options.granularity);
                if (!has(granularities, g))
                    throw new RangeError('Value ' + g + ' out of range for Intl.Segmenter options property granularity');
                segmenters.set(this, {locale: locale, granularity: g});
            }, 'Segmenter', 0, true);
            var SegmenterProto = {};
            fixedValue(Segmenter, 'prototype', SegmenterProto, false);
            hidden(SegmenterProto, 'constructor', Segmenter);
            fixedValue(SegmenterProto, toStringTagSymbol, 'Intl.Segmenter', true);
            var segmenterState = function (o, what) {
                var state = typeof o === 'object' && o !== null ? segmenters.get(o) : undefined;
                if (!state) throw new TypeError('Method Intl.Segmenter.prototype.' + what + ' called on incompatible receiver ' + show(o));
                return state;
            };
            method(SegmenterProto, 'resolvedOptions', 0, function () {
                var state = segmenterState(this, 'resolvedOptions');
                return {locale: state.locale, granularity: state.granularity};
            });
            var SegmentsProto = {};
            var IteratorProto = iteratorProto;
            var SegmentIteratorProto = objectCreate(IteratorProto);
            fixedValue(SegmentIteratorProto, toStringTagSymbol, 'Segmenter String Iterator', true);
            var segmentAt = function (data, i) {
                var list = data.list, start = list[2 * i];
                var end = 2 * i + 2 < list.length ? list[2 * i + 2] : data.input.length;
                var out = {segment: cut(data.input, start, end), index: start, input: data.input};
                if (data.granularity === 'word') out.isWordLike = list[2 * i + 1] >= 100;
                return out;
            };
            method(SegmenterProto, 'segment', 1, function (string) {
                var state = segmenterState(this, 'segment');
                var input = StringCtor(string);
                var segments = objectCreate(SegmentsProto);
                segmentsOf.set(segments, {input: input, granularity: state.granularity, list: host.segment(input, state.granularity, state.locale)});
                return segments;
            });
            method(SegmentsProto, 'containing', 1, function (index) {
                var data = segmentsOf.get(this);
                if (!data) throw new TypeError('Method %Segments.prototype%.containing called on incompatible receiver ' + show(this));
                var n = integer(index);
                if (n < 0 || n >= data.input.length) return undefined;
                var list = data.list, lo = 0, hi = list.length / 2 - 1;
                while (lo < hi) {
                    var mid = (lo + hi + 1) >> 1;
                    if (list[2 * mid] <= n) lo = mid;
                    else hi = mid - 1;
                }
                return segmentAt(data, lo);
            });
            method(SegmentsProto, iteratorSymbol, 0, function () {
                var data = segmentsOf.get(this);
                if (!data) throw new TypeError('Method %Segments.prototype%[@@iterator] called on incompatible receiver ' + show(this));
                var it = objectCreate(SegmentIteratorProto);
                iterators.set(it, {data: data, next: 0});
                return it;
            });
            method(SegmentIteratorProto, 'next', 0, function () {
                var state = iterators.get(this);
                if (!state) throw new TypeError('Method %SegmentIterator.prototype%.next called on incompatible receiver ' + show(this));
                if (2 * state.next >= state.data.list.length) return {value: undefined, done: true};
                return {value: segmentAt(state.data, state.next++), done: false};
            });
            method(Segmenter, 'supportedLocalesOf', 1, function (locales, options) {
                return apply(DateTimeFormat.supportedLocalesOf, DateTimeFormat, [locales, options]);
            });
            hidden(Intl, 'Segmenter', Segmenter);
        }

        // ---- Intl.v8BreakIterator: V8's own, older segmenter ------------------------------
        if (typeof Intl === 'object' && Intl && typeof Intl.v8BreakIterator !== 'function') {
            var breakIterators = new WeakMapCtor();
            var BreakProto = {};
            var breakTypes = ['character', 'word', 'sentence', 'line'];
            var BreakIterator = native(function (locales, options) {
                options = options === undefined ? {} : Object(options);
                var type = options.type === undefined ? 'word' : StringCtor(options.type);
                if (!has(breakTypes, type))
                    throw new RangeError('Value ' + type + ' out of range for Intl.v8BreakIterator options property type');
                var locale = new Intl.DateTimeFormat(locales).resolvedOptions().locale;
                var self = new.target === undefined ? objectCreate(BreakProto) : this;
                breakIterators.set(self, {locale: locale, type: type, list: [], length: 0, at: 0, bound: {}});
                return self;
            }, 'v8BreakIterator', 0, true);
            fixedValue(BreakIterator, 'prototype', BreakProto, false);
            hidden(BreakProto, 'constructor', BreakIterator);
            var breakState = function (o, what) {
                var state = typeof o === 'object' && o !== null ? breakIterators.get(o) : undefined;
                if (!state) {
                    throw new TypeError('Method get Intl.v8BreakIterator.prototype.' + what +
                        ' called on incompatible receiver #<v8BreakIterator>');
                }
                return state;
            };
            var boundaryAt = function (state, k) {
                return 2 * k < state.list.length ? state.list[2 * k] : state.length;
            };
            // Each member is a getter giving the iterator's own bound function, as V8's are.
            var breakMember = function (name, length, impl) {
                accessor(BreakProto, name, function () {
                    var state = breakState(this, name);
                    return state.bound[name] || (state.bound[name] = native(function () {
                        var list = [state];
                        for (var i = 0; i < arguments.length; i++) append(list, arguments[i]);
                        return apply(impl, undefined, list);
                    }, '', length));
                });
            };
            breakMember('adoptText', 1, function (state, text) {
                var t = StringCtor(text);
                state.list = t ? host.segment(t, state.type === 'character' ? 'grapheme' : state.type, state.locale) : [];
                state.length = t.length;
                state.at = 0;
            });
            breakMember('first', 0, function (state) {
                state.at = 0;
                return 0;
            });
            breakMember('next', 0, function (state) {
                if (2 * state.at >= state.list.length) return -1;
                state.at++;
                return boundaryAt(state, state.at);
            });
            breakMember('current', 0, function (state) { return boundaryAt(state, state.at); });
            breakMember('breakType', 0, function (state) {
                if (state.at === 0 || state.type !== 'word') return 'none';
                var status = state.list[2 * (state.at - 1) + 1];
                return status >= 400 ? 'ideo' : status >= 300 ? 'kana' : status >= 200 ? 'letter' : status >= 100 ? 'number' : 'none';
            });
            method(BreakProto, 'resolvedOptions', 0, function () {
                var state = breakState(this, 'resolvedOptions');
                return {locale: state.locale, type: state.type};
            });
            method(BreakIterator, 'supportedLocalesOf', 1, function (locales, options) {
                return apply(Intl.DateTimeFormat.supportedLocalesOf, Intl.DateTimeFormat, [locales, options]);
            });
            hidden(Intl, 'v8BreakIterator', BreakIterator);
        }
        // Its own names in V8's order (see v8Orders).
        if (unordered === null) append(v8Orders, [Intl, intlOrder]);
        else apply(weakSet, unordered, [Intl, intlOrder]);
    }

    // ---- Error constructors whose errors own their stack -------------------------------
    var BaseError = null;
    [['Error', 1], ['EvalError', 1], ['RangeError', 1], ['ReferenceError', 1], ['SyntaxError', 1],
     ['TypeError', 1], ['URIError', 1], ['AggregateError', 2]].forEach((function (row) {
        var name = row[0], Original = global[name];
        if (typeof Original !== 'function') return;
        var made = native(function () {
            var error = construct(Original, arguments, new.target === undefined ? made : new.target);
            settle(error, new.target !== undefined && new.target !== made ? new.target : undefined);
            return error;
        }, name, row[1], true);
        var proto = Original.prototype;
        defineProperty(made, 'prototype', {value: proto, writable: false, enumerable: false, configurable: false});
        hidden(proto, 'constructor', made);
        if (BaseError) setPrototypeOf(made, BaseError);
        else BaseError = made;
        hidden(global, name, made);
    }));

    // ---- the order of the built-ins' own names ---------------------------------------
    // V8 makes the built-ins' members in an order of its own, which a page reads with
    // Object.getOwnPropertyNames, Reflect.ownKeys or Object.getOwnPropertyDescriptors.
    // When one of these first meets such an object, its configurable members are taken
    // off and put back in V8's order (members V8 has not follow as they were); the values
    // and flags stay. A member that cannot be taken off keeps its place. Done on first
    // sight, as reordering them all would cost each new page milliseconds.
    var v8Orders = [
        [global.Array.prototype, "length constructor at concat copyWithin fill find findIndex findLast findLastIndex lastIndexOf pop push reverse shift unshift slice sort splice includes indexOf join keys entries values forEach filter flat flatMap map every some reduce reduceRight toReversed toSorted toSpliced with toLocaleString toString"],
        [global.Object, "length name prototype assign getOwnPropertyDescriptor getOwnPropertyDescriptors getOwnPropertyNames getOwnPropertySymbols hasOwn is preventExtensions seal create defineProperties defineProperty freeze getPrototypeOf setPrototypeOf isExtensible isFrozen isSealed keys entries fromEntries values groupBy"],
        [global.Object.prototype, "constructor __defineGetter__ __defineSetter__ hasOwnProperty __lookupGetter__ __lookupSetter__ isPrototypeOf propertyIsEnumerable toString valueOf __proto__ toLocaleString"],
        [global.String.prototype, "length constructor anchor at big blink bold charAt charCodeAt codePointAt concat endsWith fontcolor fontsize fixed includes indexOf isWellFormed italics lastIndexOf link localeCompare match matchAll normalize padEnd padStart repeat replace replaceAll search slice small split strike sub substr substring sup startsWith toString toWellFormed trim trimStart trimLeft trimEnd trimRight toLocaleLowerCase toLocaleUpperCase toLowerCase toUpperCase valueOf"],
        [global.Function.prototype, "length name constructor apply bind call toString arguments caller"],
        [global.Promise, "length name prototype all allSettled any race resolve reject withResolvers"],
        [global.Promise.prototype, "constructor then catch finally"],
        [global.Reflect, "defineProperty deleteProperty apply construct get getOwnPropertyDescriptor getPrototypeOf has isExtensible ownKeys preventExtensions set setPrototypeOf"],
        [global.Number, "length name prototype isFinite isInteger isNaN isSafeInteger parseFloat parseInt MAX_VALUE MIN_VALUE NaN NEGATIVE_INFINITY POSITIVE_INFINITY MAX_SAFE_INTEGER MIN_SAFE_INTEGER EPSILON"],
        [global.Number.prototype, "constructor toExponential toFixed toPrecision toString valueOf toLocaleString"],
        [global.Date.prototype, "constructor toString toDateString toTimeString toISOString toUTCString toGMTString getDate setDate getDay getFullYear setFullYear getHours setHours getMilliseconds setMilliseconds getMinutes setMinutes getMonth setMonth getSeconds setSeconds getTime setTime getTimezoneOffset getUTCDate setUTCDate getUTCDay getUTCFullYear setUTCFullYear getUTCHours setUTCHours getUTCMilliseconds setUTCMilliseconds getUTCMinutes setUTCMinutes getUTCMonth setUTCMonth getUTCSeconds setUTCSeconds valueOf getYear setYear toJSON toLocaleString toLocaleDateString toLocaleTimeString"],
        [global.RegExp.prototype, "constructor exec dotAll flags global hasIndices ignoreCase multiline source sticky unicode unicodeSets compile toString test"],
        [global.Map.prototype, "constructor get set has delete clear entries forEach keys size values"],
        [global.Set.prototype, "constructor has add delete difference clear entries forEach intersection isSubsetOf isSupersetOf isDisjointFrom size symmetricDifference union values keys"],
        [global.Error, "length name prototype captureStackTrace stackTraceLimit"],
        [global.Error.prototype, "constructor name message toString"],
        [global.Symbol, "length name prototype for keyFor asyncIterator hasInstance isConcatSpreadable iterator match matchAll replace search species split toPrimitive toStringTag unscopables dispose asyncDispose"],
        [global.Array, "length name prototype isArray from fromAsync of"],
        [global.String, "length name prototype fromCharCode fromCodePoint raw"],
        [global.BigInt.prototype, "constructor toLocaleString toString valueOf"],
        [global.ArrayBuffer.prototype, "constructor byteLength slice maxByteLength resizable resize transfer transferToFixedLength detached"],
        [global.WeakMap.prototype, "constructor delete get set has"],
        [global.Boolean.prototype, "constructor toString valueOf"],
        [global.Symbol.prototype, "constructor toString valueOf description"],
        [global.Date, "length name prototype now parse UTC"],
    ];
    var ownNames = Object.getOwnPropertyNames, ownDescriptor = Object.getOwnPropertyDescriptor;
    var stringSplit = String.prototype.split;
    function reorder(o, names) {
        var order = apply(stringSplit, names, [' ']), all = ownNames(o), keep = [], i;
        for (i = 0; i < order.length; i++) if (apply(hasOwn, o, [order[i]])) append(keep, order[i]);
        for (i = 0; i < all.length; i++) if (!has(keep, all[i])) append(keep, all[i]);
        var taken = [];
        for (i = 0; i < keep.length; i++) {
            var d = setPrototypeOf(ownDescriptor(o, keep[i]), null);
            if (!d.configurable) continue;
            append(taken, [keep[i], d]);
            delete o[keep[i]];
        }
        for (i = 0; i < taken.length; i++) defineProperty(o, taken[i][0], taken[i][1]);
    }
    // The objects are taken now (what the global holds when the page starts); the map
    // from each to its order is made when a page first lists an object's names.
    var unordered = null, weakDelete = WeakMap.prototype.delete;
    function orders() {
        if (unordered === null) {
            unordered = new WeakMapCtor();
            for (var n = 0; n < v8Orders.length; n++) apply(weakSet, unordered, [v8Orders[n][0], v8Orders[n][1]]);
            v8Orders = null;
        }
        return unordered;
    }
    function inOrder(o) {
        if ((typeof o === 'object' && o !== null) || typeof o === 'function') {
            var map = orders(), names = apply(weakGet, map, [o]);
            if (names !== undefined) {
                apply(weakDelete, map, [o]);
                reorder(o, names);
            }
        }
        return o;
    }
    var ownKeysOf = Reflect.ownKeys, ownDescriptors = Object.getOwnPropertyDescriptors;
    method(Object, 'getOwnPropertyNames', 1, function getOwnPropertyNames(o) { return ownNames(inOrder(o)); });
    method(Object, 'getOwnPropertyDescriptors', 1, function getOwnPropertyDescriptors(o) { return ownDescriptors(inOrder(o)); });
    method(Reflect, 'ownKeys', 1, function ownKeys(o) { return apply(ownKeysOf, Reflect, [inOrder(o)]); });

    // ---- call sites, for Error.prepareStackTrace ---------------------------------------
    // The records are the frames the engine side took: [file, line, column, function
    // name, type name or null, constructing, eval line (0: none), eval column, caller].
    var sites = new WeakMap();
    var CallSiteProto = null;
    function site(o, what) {
        var r = sites.get(o);
        if (!r) throw new TypeError('CallSite method ' + what + ' expects CallSite as receiver');
        return r;
    }
    // The call sites' prototype is made when a page first asks for call sites: few do.
    function callSiteProto() {
        if (CallSiteProto !== null) return CallSiteProto;
        CallSiteProto = {};
        makeCallSites();
        return CallSiteProto;
    }
    function siteMethod(name, impl) {
        method(CallSiteProto, name, 0, function () { return impl(site(this, name), this); });
    }
    function makeCallSites() {
        siteMethod('getThis', function () { return undefined; });
        siteMethod('getTypeName', function (r) { return r.type; });
        siteMethod('getFunction', function () { return undefined; });
        siteMethod('getFunctionName', function (r) { return r.name || null; });
        siteMethod('getMethodName', function (r) { return r.alias || (r.type !== null && r.name ? r.name : null); });
        siteMethod('getFileName', function (r) { return r.evalLine || (r.file === '' && !r.line) ? undefined : r.address; });
        siteMethod('getLineNumber', function (r) { return r.line; });
        siteMethod('getColumnNumber', function (r) { return r.column; });
        siteMethod('getEvalOrigin', function (r) {
            return r.evalLine ? 'eval at ' + r.caller + ' (' + r.address + ':' + r.evalLine + ':' + r.evalColumn + ')' : undefined;
        });
        siteMethod('isToplevel', function (r) { return r.type === null && !r.constructing; });
        siteMethod('isEval', function (r) { return r.evalLine > 0; });
        siteMethod('isNative', function () { return false; });
        siteMethod('isConstructor', function (r) { return r.constructing; });
        siteMethod('isAsync', function (r) { return r.awaited; });
        siteMethod('isPromiseAll', function () { return false; });
        siteMethod('getPromiseIndex', function () { return null; });
        siteMethod('getScriptNameOrSourceURL', function (r) { return r.evalLine ? undefined : r.address; });
        siteMethod('getScriptHash', function () { return ''; });
        siteMethod('getEnclosingColumnNumber', function (r) { return r.column; });
        siteMethod('getEnclosingLineNumber', function (r) { return r.line; });
        siteMethod('getPosition', function () { return 0; });
        siteMethod('toString', function (r) {
            var where = r.line + ':' + r.column;
            // A built-in's frame has neither file nor line.
            where = r.file === '' && !r.line ? '<anonymous>' : r.evalLine ? 'eval at ' + r.caller + ' (' + r.address + ':' + r.evalLine + ':' + r.evalColumn + '), <anonymous>:' + where
                               : r.address + ':' + where;
            var name = r.awaited ? 'async ' + (r.name || '<anonymous>')
                : r.constructing ? 'new ' + (r.name || '<anonymous>')
                : r.type !== null ? r.type + '.' + (r.name || '<anonymous>') : r.name;
            if (name && r.alias) name += ' [as ' + r.alias + ']';
            return name ? name + ' (' + where + ')' : where;
        });
        var CallSite = native(function () { throw new TypeError('Illegal constructor'); }, 'CallSite', 0, true);
        defineProperty(CallSite, 'prototype', {value: CallSiteProto, writable: false, enumerable: false, configurable: false});
        hidden(CallSiteProto, 'constructor', CallSite);
    }
    host.whenIntl(personaIntl);

    return function callSites(records, address) {
        var out = [], proto = callSiteProto();
        for (var i = 0; i < records.length; i++) {
            var r = records[i], o = apply(objectCreate, Object, [proto]);
            sites.set(o, {file: r[0], line: r[1], column: r[2], name: r[3], type: r[4], constructing: r[5],
                evalLine: r[6], evalColumn: r[7], caller: r[8], awaited: r[9] === true,
                alias: typeof r[10] === 'string' ? r[10] : '', address: address});
            append(out, o);
        }
        return out;
    };
});

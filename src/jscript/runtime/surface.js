// JScript 5.8's global surface. Runs last: it adds JScript's own objects (ActiveXObject,
// GetObject, Enumerator, VBArray, Debug, CollectGarbage, the RegExp.index and
// RegExp.lastIndex statics) and the indexing helper of rewritten code, then removes the
// built-ins of later language editions, so that scripts using them fail as they would
// under JScript. Everything the runtime needs later is taken into closures first.
(function (global) {
    var defineProperty = Object.defineProperty;
    var ownNames = Object.getOwnPropertyNames;
    var ownDescriptor = Object.getOwnPropertyDescriptor;
    var isArray = Array.isArray;
    var uncurry = Function.prototype.bind.bind(Function.prototype.call);
    var mapGet = uncurry(WeakMap.prototype.get), mapSet = uncurry(WeakMap.prototype.set);
    var mapHas = uncurry(WeakMap.prototype.has);
    var push = uncurry(Array.prototype.push);
    var StringType = String, toText = String;
    // the engine's constructor, which holds the statics; the script's RegExp reads them
    // through it
    var RegExpType = global.__qyRtNativeRegExp;
    delete global.__qyRtNativeRegExp;
    var jscriptError = global.__qyRtJScriptError;
    var debugWrite = global.__qyRtDebugWrite;

    var KIND_ERROR = 0, KIND_TYPE = 7;

    function hide(o, name, value) {
        defineProperty(o, name, {value: value, writable: true, configurable: true});
    }
    function fixed(o, name, value) {
        defineProperty(o, name, {value: value});
    }

    // ---- indexing in rewritten code ----------------------------------------------

    // o[k] with JScript's rule that strings have no index properties: "abc"[1] is
    // undefined while "abc".length and s["charAt"] work. Kept small so that the JIT
    // inlines it into the caller's loop.
    function stringMember(s, k) {
        if (typeof k === 'number') {
            if (k >>> 0 === k && k !== 4294967295) return undefined;
            return s[k];
        }
        if (typeof k !== 'string') k = toText(k);
        if ((k >>> 0) + '' === k && k !== '4294967295') return undefined;
        return s[k];
    }
    fixed(global, '__qyIx', function __qyIx(o, k) {
        if (typeof o === 'string') return stringMember(o, k);
        if (typeof o === 'object') {
            if (o === null) throw jscriptError(KIND_TYPE, 5007, '缺少对象');
            if (o instanceof StringType) return stringMember(o, k);
        } else if (o === undefined) {
            throw jscriptError(KIND_TYPE, 5007, '缺少对象');
        }
        return o[k];
    });

    // ---- JScript's own objects ---------------------------------------------------

    // Scripts stay sandboxed: no automation object is ever created or reached.
    hide(global, 'ActiveXObject', function ActiveXObject(progID) {
        throw jscriptError(KIND_ERROR, 429, 'Automation 服务器不能创建对象');
    });
    hide(global, 'GetObject', function GetObject(pathname, progID) {
        throw jscriptError(KIND_ERROR, 429, 'Automation 服务器不能创建对象');
    });

    // Only a safe array from an automation call is a VBArray, and none exists here.
    function notVBArray() {
        throw jscriptError(KIND_TYPE, 5013, '缺少 VBArray');
    }
    function VBArray(safeArray) { notVBArray(); }
    var vbNames = ['dimensions', 'getItem', 'lbound', 'toArray', 'ubound'];
    for (var i = 0; i < vbNames.length; i++) hide(VBArray.prototype, vbNames[i], notVBArray);
    // the same refusal, but JScript's getItem takes one index before the others
    hide(VBArray.prototype, 'getItem', function getItem(index) { notVBArray(); });
    hide(global, 'VBArray', VBArray);

    // Enumerator over an array visits what for-in visits, in that order, giving the
    // values; an object with a numeric length and an item method (the shape of the
    // environment's collections) is visited by index. A missing collection gives an
    // enumerator that is at its end.
    var enumerators = new WeakMap();
    function stateOf(e) {
        if ((typeof e !== 'object' || e === null) || !mapHas(enumerators, e))
            throw jscriptError(KIND_TYPE, 5015, '缺少 Enumerator 对象');
        return mapGet(enumerators, e);
    }
    function isCollection(c) {
        return typeof c === 'object' && c !== null && typeof c.item === 'function' && typeof c.length === 'number';
    }
    function keysOf(c) {
        var keys = [];
        if (isArray(c)) {
            for (var k in c) push(keys, k);
        } else {
            for (var n = 0; n < c.length; n++) push(keys, n);
        }
        return keys;
    }
    function Enumerator(collection) {
        if (!(this instanceof Enumerator) || mapHas(enumerators, this)) {
            return arguments.length ? new Enumerator(collection) : new Enumerator();
        }
        var state = {collection: undefined, keys: [], at: 0};
        if (collection !== undefined) {
            if (!isArray(collection) && !isCollection(collection))
                throw jscriptError(KIND_TYPE, 451, '对象不是集合');
            state.collection = collection;
            state.keys = keysOf(collection);
        }
        mapSet(enumerators, this, state);
    }
    hide(Enumerator.prototype, 'atEnd', function atEnd() {
        var s = stateOf(this);
        return s.collection === undefined || s.at >= s.keys.length;
    });
    hide(Enumerator.prototype, 'item', function item() {
        var s = stateOf(this);
        if (s.collection === undefined || s.at >= s.keys.length) return undefined;
        return s.collection[s.keys[s.at]];
    });
    hide(Enumerator.prototype, 'moveFirst', function moveFirst() {
        var s = stateOf(this);
        if (s.collection !== undefined) {
            s.keys = keysOf(s.collection);
            s.at = 0;
        }
    });
    hide(Enumerator.prototype, 'moveNext', function moveNext() {
        var s = stateOf(this);
        if (s.collection !== undefined && s.at < s.keys.length) s.at++;
    });
    // JScript declares seven parameters, though it reads only the first
    defineProperty(Enumerator, 'length', {value: 7, configurable: true});
    hide(global, 'Enumerator', Enumerator);

    // Debug.write and Debug.writeln: the arguments' texts joined, one piece of output
    // per call.
    function joined(args) {
        var text = '';
        for (var n = 0; n < args.length; n++) text += toText(args[n]);
        return text;
    }
    var Debug = {};
    hide(Debug, 'write', function write() { debugWrite(joined(arguments)); });
    hide(Debug, 'writeln', function writeln() { debugWrite(joined(arguments)); });
    hide(global, 'Debug', Debug);

    hide(global, 'CollectGarbage', function CollectGarbage() {});

    // RegExp.index and RegExp.lastIndex: where the last successful match began and
    // ended; -1 before any match.
    function staticGetter(name) {
        return uncurry(ownDescriptor(RegExpType, name).get);
    }
    var leftContext = staticGetter('leftContext'), lastMatch = staticGetter('lastMatch');
    var input = staticGetter('input');
    function matchStart() {
        var matched = lastMatch(RegExpType), left = leftContext(RegExpType);
        // Before the first match the engine's statics are empty or not there at all.
        if (typeof matched !== 'string' || typeof left !== 'string') return -1;
        if (matched === '' && input(RegExpType) === '') return -1;
        return left.length;
    }
    defineProperty(RegExpType, 'index', {get: function index() { return matchStart(); }, configurable: true});
    defineProperty(RegExpType, 'lastIndex', {
        get: function lastIndex() {
            var start = matchStart();
            return start < 0 ? -1 : start + lastMatch(RegExpType).length;
        },
        configurable: true
    });

    // ---- what later editions added -----------------------------------------------

    function remove(o, names) {
        for (var n = 0; n < names.length; n++) delete o[names[n]];
    }
    // Removes every own property of `o` but those named in `keep`.
    function keepOnly(o, keep) {
        var names = ownNames(o), wanted = {};
        for (var n = 0; n < keep.length; n++) wanted[keep[n]] = true;
        for (n = 0; n < names.length; n++) if (wanted[names[n]] !== true) delete o[names[n]];
    }

    remove(global, [
        'JSON', 'Map', 'Set', 'WeakMap', 'WeakSet', 'WeakRef', 'FinalizationRegistry', 'Promise',
        'Symbol', 'Proxy', 'Reflect', 'globalThis', 'Intl', 'BigInt', 'ArrayBuffer', 'SharedArrayBuffer',
        'DataView', 'Int8Array', 'Uint8Array', 'Uint8ClampedArray', 'Int16Array', 'Uint16Array',
        'Int32Array', 'Uint32Array', 'Float32Array', 'Float64Array', 'BigInt64Array', 'BigUint64Array',
        'Atomics', 'AggregateError', 'InternalError', 'WebAssembly', 'uneval'
    ]);
    keepOnly(Object, ['prototype', 'length', 'name']);
    remove(Object.prototype, ['__defineGetter__', '__defineSetter__', '__lookupGetter__', '__lookupSetter__',
        '__proto__', 'toSource']);
    remove(Function.prototype, ['bind', 'toSource']);
    keepOnly(Array, ['prototype', 'length', 'name']);
    remove(Array.prototype, ['indexOf', 'lastIndexOf', 'forEach', 'map', 'filter', 'some', 'every', 'reduce',
        'reduceRight', 'find', 'findIndex', 'findLast', 'findLastIndex', 'includes', 'fill', 'keys', 'values',
        'entries', 'flat', 'flatMap', 'copyWithin', 'at', 'toSource']);
    keepOnly(String, ['prototype', 'length', 'name', 'fromCharCode']);
    remove(String.prototype, ['trim', 'trimStart', 'trimEnd', 'trimLeft', 'trimRight', 'includes', 'startsWith',
        'endsWith', 'repeat', 'padStart', 'padEnd', 'codePointAt', 'normalize', 'matchAll', 'replaceAll', 'at',
        'toSource']);
    // EPSILON, MAX_SAFE_INTEGER and MIN_SAFE_INTEGER cannot be removed: the engine makes
    // them permanent.
    keepOnly(Number, ['prototype', 'length', 'name', 'MAX_VALUE', 'MIN_VALUE', 'NaN', 'NEGATIVE_INFINITY',
        'POSITIVE_INFINITY']);
    remove(Number.prototype, ['toSource']);
    remove(Boolean.prototype, ['toSource']);
    keepOnly(Math, ['E', 'LN10', 'LN2', 'LOG2E', 'LOG10E', 'PI', 'SQRT1_2', 'SQRT2', 'abs', 'acos', 'asin',
        'atan', 'atan2', 'ceil', 'cos', 'exp', 'floor', 'log', 'max', 'min', 'pow', 'random', 'round', 'sin',
        'sqrt', 'tan']);
    remove(Date, ['now']);
    remove(Date.prototype, ['toISOString', 'toJSON', 'toSource']);
    remove(RegExp.prototype, ['toSource']);

    remove(global, ['__qyRtMakeError', '__qyRtEngineError', '__qyRtPrepareEval', '__qyRtDebugWrite', '__qyRtOriginalText',
        '__qyRtJScriptError', '__qyRtTakeErrorMaker']);
})(this);

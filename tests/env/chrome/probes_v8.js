// Checks of what a page's scripts see of the engine itself: how functions print, what
// stacks and error messages say, which built-ins exist, with which names and lengths.
// Each probe's answer is compared with the answer a real Chrome gave. Stacks are read
// with the page's address written PAGE and positions written L:C, so that the answers
// do not depend on where the page was loaded from or where a probe stands in this file.

function v8Norm(text) {
    return String(text).split(location.href).join('PAGE').replace(/:\d+:\d+/g, ':L:C');
}
function v8Frames(e, n) {
    return v8Norm(e.stack).split('\n').slice(0, n + 1);
}
function v8Caught(f) {
    try {
        f();
        return 'no error';
    } catch (e) {
        return e.name + ': ' + e.message + ' | ' + (e instanceof Error) + ' ' + e.constructor.name;
    }
}
function v8Desc(o, name) {
    var d = Object.getOwnPropertyDescriptor(o, name);
    if (!d) return null;
    return {
        kind: 'value' in d ? typeof d.value : 'accessor',
        writable: d.writable === undefined ? null : d.writable,
        enumerable: d.enumerable,
        configurable: d.configurable
    };
}
function v8Shape(f) {
    return typeof f === 'function' ? [f.name, f.length, 'prototype' in f, String(f)] : typeof f;
}

// ---- native printing ------------------------------------------------------------------
probe('native printing', 'Math.max', function () { return String(Math.max); });
probe('native printing', 'Array.prototype.map', function () { return Array.prototype.map.toString(); });
probe('native printing', 'Object', function () { return Object + ''; });
probe('native printing', 'Function.prototype.toString itself', function () { return Function.prototype.toString.toString(); });
probe('native printing', 'call on a native', function () { return Function.prototype.toString.call(JSON.parse); });
probe('native printing', 'getter', function () {
    return String(Object.getOwnPropertyDescriptor(Map.prototype, 'size').get);
});
probe('native printing', 'symbol-named method', function () { return String(RegExp.prototype[Symbol.split]); });
probe('native printing', 'bound function', function () { return String(function named() {}.bind(null)); });
probe('native printing', 'bound native', function () { return String(Math.max.bind(Math)); });
probe('native printing', 'user function keeps its source', function () { return String(function add(a, b) { return a + b; }); });
probe('native printing', 'arrow keeps its source', function () { return String((a) => a * 2); });
probe('native printing', 'class keeps its source', function () { return String(class Point { constructor() { this.x = 1; } }); });
probe('native printing', 'method keeps its source', function () { return String({ m() { return 1; } }.m); });
probe('native printing', 'Function constructor', function () { return String(new Function('a', 'b', 'return a + b')); });
probe('native printing', 'proxy of a function', function () { return String(new Proxy(function () {}, {})); });
probe('native printing', 'toString on a non-function', function () { return v8Caught(function () { Function.prototype.toString.call({}); }); });
probe('native printing', 'String(f) and f+"" agree', function () {
    var f = Date.now;
    return [String(f) === f + '', Function.prototype.toString.call(f) === f.toString()];
});
probe('native printing', 'toString is not own on natives', function () { return Math.max.hasOwnProperty('toString'); });
probe('native printing', 'later built-in', function () { return String(Array.prototype.findLast); });
probe('native printing', 'later static', function () { return String(Object.groupBy); });
probe('native printing', 'structuredClone', function () { return String(structuredClone); });
probe('native printing', 'Error constructor', function () { return String(Error) + ' ' + String(TypeError); });
probe('native printing', 'captureStackTrace', function () { return String(Error.captureStackTrace); });
probe('native printing', 'JSON.parse', function () { return String(JSON.parse); });

// ---- stacks ---------------------------------------------------------------------------
probe('stacks', 'new Error at top level of a function', function () {
    function makeIt() { return new Error('boom'); }
    return v8Frames(makeIt(), 1);
});
probe('stacks', 'header of a TypeError', function () {
    try { null.x; } catch (e) { return v8Frames(e, 0); }
});
probe('stacks', 'nested named functions', function () {
    function inner() { throw new RangeError('deep'); }
    function middle() { inner(); }
    function outer() { middle(); }
    try { outer(); } catch (e) { return v8Frames(e, 3); }
});
probe('stacks', 'anonymous function frame', function () {
    try { (function () { throw new Error('a'); })(); } catch (e) { return v8Frames(e, 1); }
});
probe('stacks', 'stack is own', function () {
    var e = new Error('x');
    return [e.hasOwnProperty('stack'), v8Desc(e, 'stack')];
});
probe('stacks', 'own property names of an error', function () { return Object.getOwnPropertyNames(new Error('x')); });
probe('stacks', 'own property names of an error without message', function () { return Object.getOwnPropertyNames(new Error()); });
probe('stacks', 'own names of an engine error once its stack was read', function () {
    try { undefined.y; } catch (e) { e.stack; return Object.getOwnPropertyNames(e).sort(); }
});
probe('stacks', 'no fileName', function () { return [typeof new Error('x').fileName, 'lineNumber' in new Error('x'), 'columnNumber' in new Error('x')]; });
probe('stacks', 'header without message', function () { return v8Frames(new TypeError(), 0); });
probe('stacks', 'header with custom name', function () {
    var e = new Error('m');
    e.name = 'Custom';
    return v8Frames(e, 0);
});
probe('stacks', 'subclass', function () {
    class MyError extends Error { constructor(m) { super(m); this.name = 'MyError'; } }
    var e = new MyError('sub');
    return [e instanceof MyError, e instanceof Error, v8Norm(e.stack).split('\n')[0], Object.getPrototypeOf(e) === MyError.prototype];
});
probe('stacks', 'stackTraceLimit default', function () { return Error.stackTraceLimit; });
probe('stacks', 'stackTraceLimit descriptor', function () { return v8Desc(Error, 'stackTraceLimit'); });
probe('stacks', 'stackTraceLimit limits', function () {
    var saved = Error.stackTraceLimit;
    Error.stackTraceLimit = 2;
    function a() { return new Error('x'); }
    function b() { return a(); }
    function c() { return b(); }
    var lines = v8Norm(c().stack).split('\n').length;
    Error.stackTraceLimit = saved;
    return lines;
});
probe('stacks', 'stackTraceLimit zero', function () {
    var saved = Error.stackTraceLimit;
    Error.stackTraceLimit = 0;
    var s = new Error('x').stack;
    Error.stackTraceLimit = saved;
    return s;
});
probe('stacks', 'default limit is ten frames', function () {
    function deep(n) { return n ? deep(n - 1) : new Error('x'); }
    return v8Norm(deep(30).stack).split('\n').length;
});
probe('stacks', 'captureStackTrace on an object', function () {
    var o = {};
    function capture() { Error.captureStackTrace(o); }
    capture();
    return [typeof o.stack, v8Norm(o.stack).split('\n').slice(0, 2), Object.getOwnPropertyNames(o)];
});
probe('stacks', 'captureStackTrace with a message', function () {
    var o = {message: 'hello', name: 'Thing'};
    Error.captureStackTrace(o);
    return v8Norm(o.stack).split('\n')[0];
});
probe('stacks', 'captureStackTrace hides frames above fn', function () {
    var o = {};
    function hiddenFrame() { Error.captureStackTrace(o, hiddenFrame); }
    function caller() { hiddenFrame(); }
    caller();
    return v8Norm(o.stack).split('\n').slice(0, 2);
});
probe('stacks', 'captureStackTrace length and name', function () { return [Error.captureStackTrace.length, Error.captureStackTrace.name]; });
probe('stacks', 'captureStackTrace of a primitive', function () { return v8Caught(function () { Error.captureStackTrace(1); }); });
probe('stacks', 'stack is writable', function () {
    var e = new Error('x');
    e.stack = 'mine';
    return e.stack;
});
probe('stacks', 'Error.prototype has no stack', function () { return Error.prototype.hasOwnProperty('stack'); });
probe('stacks', 'constructor frame', function () {
    function Made() { this.e = new Error('c'); }
    return v8Frames(new Made().e, 1);
});
probe('stacks', 'method frames', function () {
    var o = {m: function () { return new Error('m'); }};
    class Box { get() { return new Error('g'); } static make() { return new Error('s'); } }
    return [v8Frames(o.m(), 1)[1], v8Frames(new Box().get(), 1)[1], v8Frames(Box.make(), 1)[1]];
});
probe('stacks', 'thrown in a method called from a constructor', function () {
    var o = {run: function () { null.x; }};
    function Outer() { o.run(); }
    try { new Outer(); } catch (e) { return v8Frames(e, 2); }
});
probe('stacks', 'eval frames', function () {
    var e = eval('(function inEval() { return new Error(\'e\'); })()');
    return v8Frames(e, 2).map(function (l) { return l.replace(/\(PAGE:L:C\)/, '(PAGE)'); });
});
probe('stacks', 'Function constructor frame', function () {
    return v8Frames(new Function('return new Error("f")')(), 1);
});
probe('stacks', 'the stack accessor', function () {
    var d = Object.getOwnPropertyDescriptor(new Error('x'), 'stack');
    return [d.get.name, String(d.get), d.set.name, d.get === Object.getOwnPropertyDescriptor(new TypeError('y'), 'stack').get];
});
probe('stacks', 'first line keeps the message it was made with', function () {
    var e = new Error('before');
    e.message = 'after';
    e.name = 'Renamed';
    return v8Frames(e, 0);
});
probe('stacks', 'prepareStackTrace receives call sites', function () {
    Error.prepareStackTrace = function (err, sites) {
        return sites.slice(0, 2).map(function (s) {
            return [s.getFunctionName(), s.getTypeName(), s.getMethodName(), s.isConstructor(), s.isToplevel(), s.isEval(),
                s.isNative(), v8Norm(s.getFileName()), typeof s.getLineNumber(), v8Norm(String(s))];
        });
    };
    function Made() { this.s = new Error('p').stack; }
    var o = {m: function () { return new Made().s; }};
    try { return o.m(); } finally { delete Error.prepareStackTrace; }
});
probe('stacks', 'prepareStackTrace answers the stack', function () {
    Error.prepareStackTrace = function (err, sites) { return 'custom:' + err.message + ':' + Array.isArray(sites); };
    try { return [new Error('c').stack, typeof Error.prepareStackTrace]; } finally { delete Error.prepareStackTrace; }
});
probe('stacks', 'call site prototype', function () {
    var proto;
    Error.prepareStackTrace = function (err, sites) { proto = Object.getPrototypeOf(sites[0]); return ''; };
    new Error('x').stack;
    delete Error.prepareStackTrace;
    return [Object.getOwnPropertyNames(proto).sort(), String(proto.getFileName)];
});
probe('stacks', 'built-in callback frame', function () {
    try { [1].forEach(function cb() { throw new Error('in cb'); }); } catch (e) { return v8Frames(e, 1); }
});

// ---- messages and types -----------------------------------------------------------------
probe('messages', 'property of null', function () { return v8Caught(function () { var a = null; return a.x; }); });
probe('messages', 'property of undefined', function () { return v8Caught(function () { var a; return a.x; }); });
probe('messages', 'property set on undefined', function () { return v8Caught(function () { var a; a.x = 1; }); });
probe('messages', 'compound set on null', function () { return v8Caught(function () { var a = null; a.count += 1; }); });
probe('messages', 'comparison is a read', function () { return v8Caught(function () { var a; return a.x == 1; }); });
probe('messages', 'symbol property of undefined', function () { return v8Caught(function () { var a; return a[Symbol.iterator]; }); });
probe('messages', 'quoted property of null', function () { return v8Caught(function () { var a = null; return a['two words']; }); });
probe('messages', 'nested property of undefined', function () { return v8Caught(function () { var a = {}; return a.b.c; }); });
probe('messages', 'index of null', function () { return v8Caught(function () { var a = null; return a[0]; }); });
probe('messages', 'call of a non-function', function () { return v8Caught(function () { var x = 1; x(); }); });
probe('messages', 'call of a missing method', function () { return v8Caught(function () { var a = {}; a.b(); }); });
probe('messages', 'undefined variable', function () { return v8Caught(function () { return notDefinedAnywhere; }); });
probe('messages', 'assignment to a constant', function () { return v8Caught(function () { const c = 1; c = 2; }); });
probe('messages', 'invalid array length', function () { return v8Caught(function () { return new Array(-1); }); });
probe('messages', 'stack overflow', function () { return v8Caught(function () { (function r() { r(); })(); }); });
probe('messages', 'stack overflow is a RangeError', function () {
    try { (function r() { r(); })(); } catch (e) { return [e instanceof RangeError, Object.getPrototypeOf(e) === RangeError.prototype]; }
});
probe('messages', 'before initialization', function () { return v8Caught(function () { x; let x = 1; }); });
probe('messages', 'symbol to string', function () { return v8Caught(function () { return Symbol() + ''; }); });
probe('messages', 'URI malformed', function () { return v8Caught(function () { decodeURIComponent('%'); }); });
probe('messages', 'instanceof non-callable', function () { return v8Caught(function () { return 1 instanceof {}; }); });
probe('messages', 'radix', function () { return v8Caught(function () { return (1).toString(1); }); });
probe('messages', 'invalid time value', function () { return v8Caught(function () { return new Date(NaN).toISOString(); }); });
probe('messages', 'JSON unexpected token', function () { return v8Caught(function () { JSON.parse('a'); }); });
probe('messages', 'JSON property name', function () { return v8Caught(function () { JSON.parse('{a'); }); });
probe('messages', 'JSON end of input', function () { return v8Caught(function () { JSON.parse(''); }); });
probe('messages', 'JSON unterminated', function () { return v8Caught(function () { JSON.parse('{"a":1'); }); });
probe('messages', 'JSON trailing', function () { return v8Caught(function () { JSON.parse('[1] x'); }); });
probe('messages', 'JSON undefined', function () { return v8Caught(function () { JSON.parse(undefined); }); });
probe('messages', 'JSON long text', function () { return v8Caught(function () { JSON.parse('{"name":"value","other":tru,"more":1}'); }); });
probe('messages', 'JSON trailing comma', function () { return v8Caught(function () { JSON.parse('[1,2,]'); }); });
probe('messages', 'JSON single quotes', function () { return v8Caught(function () { JSON.parse("{'a':1}"); }); });
probe('messages', 'JSON missing colon', function () { return v8Caught(function () { JSON.parse('{"a" 1}'); }); });
probe('messages', 'JSON bad escape', function () { return v8Caught(function () { JSON.parse('"\\x"'); }); });
probe('messages', 'JSON minus', function () { return v8Caught(function () { JSON.parse('-'); }); });
probe('messages', 'JSON object text', function () { return v8Caught(function () { JSON.parse({}); }); });
probe('messages', 'reduce of an empty array', function () { return v8Caught(function () { [].reduce(function (a) { return a; }); }); });
probe('messages', 'object of null', function () { return v8Caught(function () { Object.keys(null); }); });
probe('messages', 'string method on null', function () { return v8Caught(function () { String.prototype.trim.call(null); }); });
probe('messages', 'prototype not an object', function () { return v8Caught(function () { Object.create(1); }); });
probe('messages', 'apply with no list', function () { return v8Caught(function () { Math.max.apply(null, 1); }); });
probe('messages', 'instanceof a primitive', function () { return v8Caught(function () { return null instanceof 1; }); });
probe('messages', 'destructuring null', function () { return v8Caught(function () { var {} = null; }); });
probe('messages', 'not a constructor', function () { return v8Caught(function () { var x = 1; return new x(); }); });
probe('messages', 'message is own and writable', function () {
    try { null.x; } catch (e) { return v8Desc(e, 'message'); }
});

// ---- built-ins Chrome has ------------------------------------------------------------
probe('builtins', 'Array.prototype.findLast', function () { return [v8Shape(Array.prototype.findLast).slice(0, 3), [1, 2, 3, 4].findLast(function (x) { return x % 2; })]; });
probe('builtins', 'Array.prototype.findLastIndex', function () { return [Array.prototype.findLastIndex.length, [1, 2, 3].findLastIndex(function (x) { return x > 5; })]; });
probe('builtins', 'Array.prototype.toSorted', function () { var a = [3, 1, 2]; return [a.toSorted(), a, Array.prototype.toSorted.length]; });
probe('builtins', 'Array.prototype.toReversed', function () { return [[1, 2, 3].toReversed(), Array.prototype.toReversed.length]; });
probe('builtins', 'Array.prototype.toSpliced', function () { return [[1, 2, 3, 4].toSpliced(1, 2, 'x'), Array.prototype.toSpliced.length]; });
probe('builtins', 'Array.prototype.with', function () { return [[1, 2, 3].with(-1, 9), Array.prototype.with.length]; });
probe('builtins', 'with out of range', function () { return v8Caught(function () { [1].with(5, 1); }); });
probe('builtins', 'toSorted bad comparator', function () { return v8Caught(function () { [1].toSorted(1); }); });
probe('builtins', 'findLast bad callback', function () { return v8Caught(function () { [1].findLast(1); }); });
probe('builtins', 'unscopables', function () {
    var u = Array.prototype[Symbol.unscopables];
    return ['findLast', 'findLastIndex', 'toReversed', 'toSorted', 'toSpliced', 'with'].map(function (n) { return u[n] === true; });
});
probe('builtins', 'typed array copies', function () {
    var t = new Int16Array([3, 1, 2]);
    return [Array.from(t.toSorted()), Array.from(t.toReversed()), Array.from(t.with(0, 7)), t.findLast(function (x) { return x < 3; }),
        t.toSorted() instanceof Int16Array, 'toSpliced' in t];
});
probe('builtins', 'Object.groupBy', function () {
    var g = Object.groupBy([1, 2, 3, 4], function (x) { return x % 2 ? 'odd' : 'even'; });
    return [Object.getPrototypeOf(g), g.odd, g.even, Object.groupBy.length];
});
probe('builtins', 'Map.groupBy', function () {
    var g = Map.groupBy([1, 2, 3], function (x) { return x > 1; });
    return [g instanceof Map, g.get(true), g.get(false), Map.groupBy.length];
});
probe('builtins', 'Promise.withResolvers', function () {
    var r = Promise.withResolvers();
    return [Object.keys(r), r.promise instanceof Promise, typeof r.resolve, Promise.withResolvers.length];
});
probe('builtins', 'String well-formed', function () {
    return ['a\uD800b'.isWellFormed(), 'ab'.isWellFormed(), 'a\uD800b'.toWellFormed() === 'a\uFFFDb', '\uD83D\uDE00'.isWellFormed()];
});
probe('builtins', 'Set methods', function () {
    var a = new Set([1, 2, 3]), b = new Set([2, 3, 4]);
    return [Array.from(a.union(b)), Array.from(a.intersection(b)), Array.from(a.difference(b)), Array.from(a.symmetricDifference(b)),
        a.isSubsetOf(b), new Set([2]).isSubsetOf(a), a.isSupersetOf(new Set([1])), a.isDisjointFrom(new Set([9])), Set.prototype.union.length];
});
probe('builtins', 'Set method bad argument', function () { return v8Caught(function () { new Set().union([1]); }); });
probe('builtins', 'Array.fromAsync exists', function () { return [typeof Array.fromAsync, Array.fromAsync.length, Array.fromAsync([1]) instanceof Promise]; });
probe('builtins', 'structuredClone', function () {
    var src = {a: [1, {b: 2}], d: new Date(0), m: new Map([[1, 'x']]), s: new Set([1]), r: /x/g};
    src.self = src;
    var c = structuredClone(src);
    return [c !== src, c.a[1].b, c.d.getTime(), c.m.get(1), c.s.has(1), c.r.flags, c.self === c, structuredClone.length];
});
probe('builtins', 'structuredClone of a function', function () {
    try { structuredClone(function () {}); } catch (e) { return e.name; }
});
probe('builtins', 'structuredClone without argument', function () { return v8Caught(function () { structuredClone(); }); });
probe('builtins', 'Iterator helpers', function () {
    return [typeof Iterator, [1, 2, 3].values().map(function (x) { return x * 2; }).toArray(), typeof Iterator.from];
});
probe('builtins', 'Iterator.prototype names', function () {
    return ['constructor', 'drop', 'every', 'filter', 'find', 'flatMap', 'forEach', 'map', 'reduce', 'some', 'take', 'toArray', 'asIndexedPairs']
        .map(function (n) { return Object.getOwnPropertyNames(Iterator.prototype).indexOf(n) >= 0; });
});
probe('builtins', 'Error statics', function () {
    return ['captureStackTrace', 'stackTraceLimit', 'length', 'name', 'prototype']
        .map(function (n) { return Error.hasOwnProperty(n); });
});
probe('builtins', 'Error.prototype names', function () { return Object.getOwnPropertyNames(Error.prototype).sort(); });
probe('builtins', 'Array.prototype has the copies', function () {
    return ['findLast', 'findLastIndex', 'toSorted', 'toReversed', 'toSpliced', 'with', 'at', 'flat', 'flatMap', 'group', 'groupBy']
        .map(function (n) { return n in Array.prototype; });
});
probe('builtins', 'Object statics', function () { return ['groupBy', 'hasOwn', 'fromEntries'].map(function (n) { return typeof Object[n]; }); });
probe('builtins', 'descriptor of a later method', function () { return v8Desc(Array.prototype, 'findLast'); });
probe('builtins', 'later methods refuse new', function () { return v8Caught(function () { new Array.prototype.findLast(function () {}); }); });
probe('builtins', 'later methods have no prototype', function () { return ['prototype' in Array.prototype.toSorted, 'prototype' in Object.groupBy]; });
probe('builtins', 'structuredClone descriptor', function () { return v8Desc(window, 'structuredClone'); });
probe('builtins', 'Error constructor shape', function () {
    return [Error.length, Error.name, TypeError.length, AggregateError.length, Object.getPrototypeOf(TypeError) === Error,
        TypeError.prototype.constructor === TypeError, v8Desc(Error, 'prototype')];
});
probe('builtins', 'Error called without new', function () { var e = Error('plain'); return [e instanceof Error, e.message, typeof e.stack]; });
probe('builtins', 'engine error constructor', function () { try { null.x; } catch (e) { return [e.constructor === TypeError, e instanceof TypeError]; } });

// ---- members no Chrome has --------------------------------------------------------------
probe('removed', 'JScript names', function () {
    return [typeof ScriptEngine, typeof ScriptEngineMajorVersion, typeof ScriptEngineMinorVersion, typeof ScriptEngineBuildVersion];
});
probe('removed', 'getVarDate', function () { return typeof Date.prototype.getVarDate; });
probe('removed', 'InternalError', function () { return typeof InternalError; });
probe('removed', 'uneval and toSource', function () { return [typeof uneval, typeof Object.prototype.toSource, typeof Function.prototype.toSource]; });
probe('removed', 'asIndexedPairs', function () { return typeof Iterator.prototype.asIndexedPairs; });
probe('removed', 'SharedArrayBuffer without isolation', function () { return typeof SharedArrayBuffer; });
probe('removed', 'global standard names', function () {
    return ['InternalError', 'uneval', 'ScriptEngine', 'Iterator', 'structuredClone', 'AggregateError', 'WeakRef', 'FinalizationRegistry', 'globalThis']
        .map(function (n) { return n in window; });
});
probe('removed', 'Function.prototype.caller of strict', function () {
    return v8Caught(function () { 'use strict'; function s() {} return s.caller; });
});
probe('removed', 'caller and arguments are on Function.prototype', function () {
    return [v8Desc(Function.prototype, 'caller'), v8Desc(Function.prototype, 'arguments')];
});
probe('removed', 'sloppy function caller', function () { function s() { return s.caller; } return s() === null; });
probe('removed', 'own names of a sloppy function', function () { return Object.getOwnPropertyNames(function sloppy(a) {}).sort(); });

// ---- later built-ins: buffers, raw JSON, segmenting ------------------------------------
probe('builtins', 'ArrayBuffer transfer', function () {
    var b = new ArrayBuffer(4);
    new Uint8Array(b)[0] = 7;
    var c = b.transfer(8), d = c.transferToFixedLength();
    return [b.detached, b.byteLength, c.detached, d.byteLength, new Uint8Array(d)[0], d.resizable, d.maxByteLength];
});
probe('builtins', 'transfer of a detached buffer', function () {
    var b = new ArrayBuffer(1);
    b.transfer();
    return v8Caught(function () { b.transfer(); });
});
probe('builtins', 'ArrayBuffer members', function () {
    return ['detached', 'maxByteLength', 'resizable', 'resize', 'transfer', 'transferToFixedLength']
        .map(function (n) { return v8Desc(ArrayBuffer.prototype, n).kind; });
});
probe('builtins', 'JSON.rawJSON', function () {
    var raw = JSON.rawJSON('1e1000');
    return [JSON.stringify({a: raw, b: [JSON.rawJSON('"x"')]}), JSON.isRawJSON(raw), JSON.isRawJSON({}), Object.isFrozen(raw),
        Object.getPrototypeOf(raw), JSON.rawJSON.length, JSON.stringify.length];
});
probe('builtins', 'JSON.rawJSON refuses objects', function () { return v8Caught(function () { JSON.rawJSON('{}'); }); });
probe('builtins', 'RegExp unicodeSets', function () {
    return [/x/.unicodeSets, RegExp.prototype.unicodeSets, typeof Object.getOwnPropertyDescriptor(RegExp.prototype, 'unicodeSets').get];
});
probe('builtins', 'Atomics without SharedArrayBuffer', function () {
    return [typeof Atomics, typeof SharedArrayBuffer, typeof Atomics.add, Object.prototype.toString.call(Atomics)];
});
probe('builtins', 'no AsyncIterator', function () { return typeof AsyncIterator; });
probe('builtins', 'Intl.Segmenter words', function () {
    return Array.from(new Intl.Segmenter('zh', {granularity: 'word'}).segment('我们去北京 hello world!'))
        .map(function (s) { return s.segment + (s.isWordLike ? '*' : ''); });
});
probe('builtins', 'Intl.Segmenter graphemes', function () {
    return Array.from(new Intl.Segmenter().segment('e\u0301\uD83D\uDC68\u200D\uD83D\uDC69\u200D\uD83D\uDC67x'))
        .map(function (s) { return [s.index, s.segment.length]; });
});
probe('builtins', 'Intl.Segmenter sentences', function () {
    var s = new Intl.Segmenter('en', {granularity: 'sentence'}).segment('Hi there. How are you? Fine.');
    var hit = s.containing(12);
    return [hit.segment, hit.index, s.containing(99) === undefined, Object.keys(hit)];
});
probe('builtins', 'Intl.Segmenter shape', function () {
    return [String(Intl.Segmenter), Intl.Segmenter.length, Object.prototype.toString.call(new Intl.Segmenter()),
        new Intl.Segmenter('zh-CN').resolvedOptions(), Object.getOwnPropertyNames(Intl.Segmenter.prototype).sort(),
        v8Caught(function () { Intl.Segmenter(); }), v8Caught(function () { new Intl.Segmenter('en', {granularity: 'line'}); })];
});
probe('builtins', 'Intl.v8BreakIterator', function () {
    var B = Intl.v8BreakIterator;
    var it = new B(['zh-CN'], {type: 'word'});
    it.adoptText('我们去北京 hello world!');
    var out = [[it.first(), it.breakType()]];
    for (var p = it.next(); p !== -1; p = it.next()) out.push([p, it.breakType()]);
    var d = Object.getOwnPropertyDescriptor(B.prototype, 'next');
    return [String(B), B.length, Object.getOwnPropertyNames(B.prototype).sort(), out, it.current(), it.resolvedOptions(),
        [!!d.get, d.enumerable, String(it.next), it.next === it.next], typeof B('en'),
        v8Caught(function () { B.prototype.first.call({}); })];
});
probe('builtins', 'Atomics wait without shared memory', function () {
    return [v8Caught(function () { Atomics.waitAsync(new Int32Array(4), 0, 0); }),
        v8Caught(function () { Atomics.waitAsync([1], 0, 0); }),
        v8Caught(function () { Atomics.wait(new Int32Array(4), 0, 0); }),
        Atomics.waitAsync.length, String(Atomics.waitAsync)];
});
probe('builtins', 'Iterator prototype accessors', function () {
    function d(o, n) {
        var x = Object.getOwnPropertyDescriptor(o, n);
        return x && [x.get ? String(x.get) : typeof x.value, x.set ? String(x.set) : null, x.enumerable, x.configurable];
    }
    var P = Iterator.prototype;
    var mine = Object.create(P);
    mine.constructor = 5;
    return [d(P, 'constructor'), d(P, Symbol.toStringTag), P[Symbol.toStringTag], Object.prototype.toString.call(Object.create(P)),
        Object.getOwnPropertyDescriptor(mine, 'constructor').value, v8Caught(function () { new Iterator(); })];
});
probe('builtins', 'names and lengths of the later built-ins', function () {
    var list = [Array.prototype.findLast, Array.prototype.findLastIndex, Array.prototype.toReversed, Array.prototype.toSorted,
        Array.prototype.toSpliced, Array.prototype.with, Object.groupBy, Map.groupBy, Promise.withResolvers, Array.fromAsync,
        String.prototype.isWellFormed, String.prototype.toWellFormed, Set.prototype.union, Set.prototype.intersection,
        Set.prototype.difference, Set.prototype.symmetricDifference, Set.prototype.isSubsetOf, Set.prototype.isSupersetOf,
        Set.prototype.isDisjointFrom, structuredClone, JSON.rawJSON, JSON.isRawJSON, JSON.parse, JSON.stringify,
        ArrayBuffer.prototype.transfer, ArrayBuffer.prototype.transferToFixedLength, ArrayBuffer.prototype.resize,
        Intl.Segmenter, Intl.Segmenter.supportedLocalesOf, Intl.Segmenter.prototype.segment,
        Intl.Segmenter.prototype.resolvedOptions, Error, TypeError, AggregateError, Error.captureStackTrace,
        Atomics.wait, Atomics.waitAsync, Intl.v8BreakIterator, Function.prototype.toString];
    var typed = Object.getPrototypeOf(Int8Array.prototype);
    list = list.concat([typed.findLast, typed.findLastIndex, typed.toReversed, typed.toSorted, typed.with]);
    return list.map(function (f) { return [f.name, f.length, 'prototype' in f]; });
});
probe('builtins', 'accessors of the later built-ins', function () {
    return [[ArrayBuffer.prototype, 'detached'], [ArrayBuffer.prototype, 'resizable'], [ArrayBuffer.prototype, 'maxByteLength'],
        [RegExp.prototype, 'unicodeSets']].map(function (p) {
        var d = Object.getOwnPropertyDescriptor(p[0], p[1]);
        return [d.get.name, d.get.length, d.set, d.enumerable, d.configurable];
    });
});

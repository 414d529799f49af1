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

// ---- the less common messages, built-in by built-in -------------------------------------
function v8Each(group, cases) {
    Object.keys(cases).forEach(function (name) {
        probe(group, name, function () { return v8Caught(cases[name]); });
    });
}
v8Each('messages: strings and numbers', {
    'repeat negative': function () { 'x'.repeat(-1); },
    'repeat infinite': function () { 'x'.repeat(Infinity); },
    'repeat too long': function () { 'x'.repeat(2 ** 30); },
    'padStart too long': function () { 'x'.padStart(2 ** 30, 'ab'); },
    'normalize form': function () { 'x'.normalize('X'); },
    'fromCodePoint': function () { String.fromCodePoint(-1); },
    'fromCodePoint fraction': function () { String.fromCodePoint(1.5); },
    'startsWith a regexp': function () { 'a'.startsWith(/a/); },
    'includes a regexp': function () { 'a'.includes(/a/); },
    'endsWith a regexp': function () { 'a'.endsWith(/a/); },
    'matchAll non-global': function () { 'a'.matchAll(/a/); },
    'replaceAll non-global': function () { 'a'.replaceAll(/a/, ''); },
    'String.raw of undefined': function () { String.raw(); },
    'string method on undefined': function () { String.prototype.at.call(undefined, 0); },
    'toFixed': function () { (1).toFixed(101); },
    'toPrecision': function () { (1).toPrecision(0); },
    'toExponential': function () { (1).toExponential(-1); },
    'toString radix 0': function () { (1).toString(0); },
    'Number toString on a string': function () { Number.prototype.toString.call('x'); },
    'Number valueOf on an object': function () { Number.prototype.valueOf.call({}); },
    'Boolean valueOf': function () { Boolean.prototype.valueOf.call(1); },
    'String valueOf': function () { String.prototype.valueOf.call(1); },
    'Symbol to number': function () { return Symbol() * 1; },
    'Symbol in template': function () { return `${Symbol('s')}`; },
    'new Symbol': function () { return new Symbol(); },
    'Symbol.keyFor': function () { Symbol.keyFor('x'); },
    'Symbol toString receiver': function () { Symbol.prototype.toString.call(1); },
    'Date receiver': function () { Date.prototype.getTime.call({}); },
    'Date toJSON receiver': function () { Date.prototype.toISOString.call(1); }
});
v8Each('messages: BigInt', {
    'mixing in addition': function () { return 1n + 1; },
    'mixing in multiplication': function () { return 2 * 1n; },
    'unary plus': function () { return +1n; },
    'non-integer': function () { return BigInt(1.5); },
    'bad text': function () { return BigInt('x'); },
    'division by zero': function () { return 1n / 0n; },
    'negative exponent': function () { return 2n ** -1n; },
    'not a constructor': function () { return new BigInt(1); },
    'Math with BigInt': function () { return Math.max(1n); },
    'JSON of BigInt': function () { return JSON.stringify({a: 1n}); },
    'unsigned shift': function () { return 1n >>> 1n; },
    'asIntN bits': function () { return BigInt.asIntN(-1, 1n); },
    'BigInt of undefined': function () { return BigInt(undefined); },
    'BigInt of a symbol': function () { return BigInt(Symbol()); },
    'NaN to BigInt': function () { return BigInt(NaN); },
    'mixing in an assignment': function () { var big = 2n, y; y = big * 3; return y; },
    'mixing in a declaration': function () { var big = 2n; var y = 3 - big; return y; }
});
v8Each('messages: objects and properties', {
    'in on a number': function () { return 'a' in 5; },
    'in on a string': function () { return 'a' in 'abc'; },
    'in on undefined': function () { return 'a' in undefined; },
    'defineProperty on a primitive': function () { Object.defineProperty(1, 'x', {}); },
    'descriptor not an object': function () { Object.defineProperty({}, 'x', 1); },
    'getter not callable': function () { Object.defineProperty({}, 'x', {get: 1}); },
    'both accessor and value': function () { Object.defineProperty({}, 'x', {get: function () {}, value: 1}); },
    'redefine': function () { Object.defineProperty(Object.freeze({a: 1}), 'a', {value: 2}); },
    'redefine a symbol': function () { var o = {}; Object.defineProperty(o, Symbol.iterator, {value: 1}); Object.defineProperty(o, Symbol.iterator, {value: 2}); },
    'assign to read only': function () { 'use strict'; var o = Object.freeze({a: 1}); o.a = 2; },
    'assign to read only index': function () { 'use strict'; var o = Object.freeze([1]); o[0] = 2; },
    'assign to read only of a function': function () { 'use strict'; function f() {} f.name = 'g'; },
    'add to non-extensible': function () { 'use strict'; var o = Object.preventExtensions({}); o.b = 1; },
    'delete non-configurable': function () { 'use strict'; var o = Object.freeze({a: 1}); delete o.a; },
    'delete of an array length': function () { 'use strict'; delete [].length; },
    'getter only': function () { 'use strict'; var o = {get x() { return 1; }}; o.x = 2; },
    'setPrototypeOf non-extensible': function () { Object.setPrototypeOf(Object.preventExtensions({}), {}); },
    'cyclic prototype': function () { var a = {}; var b = Object.create(a); Object.setPrototypeOf(a, b); },
    'cyclic __proto__': function () { var a = {}; a.__proto__ = a; },
    'immutable prototype': function () { Object.setPrototypeOf(Object.prototype, {}); },
    'setPrototypeOf a number': function () { Object.setPrototypeOf({}, 1); },
    'assign of null': function () { Object.assign(null, {}); },
    'entries of undefined': function () { Object.entries(undefined); },
    'fromEntries not iterable': function () { Object.fromEntries(1); },
    'fromEntries not an entry': function () { Object.fromEntries([1]); },
    'Map of a non-entry': function () { return new Map([1]); },
    'getOwnPropertyNames of null': function () { Object.getOwnPropertyNames(null); },
    'hasOwnProperty on null': function () { Object.prototype.hasOwnProperty.call(null, 'a'); },
    'toString of a null-prototype object': function () { return '' + Object.create(null); },
    'valueOf returning objects': function () { return +{valueOf: function () { return {}; }, toString: function () { return {}; }}; },
    'private member': function () { class A { #x = 1; static read(o) { return o.#x; } } return A.read({}); },
    'private write': function () { class A { #x = 1; static write(o) { o.#x = 2; } } A.write({}); }
});
v8Each('messages: calls and constructors', {
    'class called without new': function () { class Point {} Point(); },
    'anonymous class called': function () { var C = class {}; C(); },
    'member chain not a function': function () { var a = {b: {}}; a.b.c(); },
    'member holding a number': function () { var a = {b: 1}; a.b(); },
    'index call': function () { var a = [1]; a[0](); },
    'computed call': function () { var a = {}, k = 'key'; a[k](); },
    'call of a call': function () { var o = {m: function () { return 1; }}; o.m()(); },
    'this member': function () { ({f: function () { this.missing(); }}).f(); },
    'optional member': function () { var a = {}; a?.b(); },
    'optional call target': function () { var a = {b: 1}; a.b?.(); },
    'global member': function () { window.notThere(); },
    'document member': function () { document.notThere(); },
    'string method missing': function () { 'abc'.notThere(); },
    'new of a number': function () { var a = {b: 1}; return new a.b(); },
    'new of an arrow': function () { var f = () => 1; return new f(); },
    'new of a method': function () { return new Math.max(); },
    'new of a generator': function () { function* g() {} return new g(); },
    'new of an async function': function () { async function h() {} return new h(); },
    'new of a bound arrow': function () { var f = (() => 1).bind(null); return new f(); },
    'map callback': function () { [1].map(1); },
    'forEach callback': function () { [1].forEach(undefined); },
    'sort comparator': function () { [1, 2].sort(1); },
    'Promise resolver': function () { return new Promise(1); },
    'Promise without new': function () { return Promise(function () {}); },
    'Map without new': function () { return Map(); },
    'Uint8Array without new': function () { return Uint8Array(1); },
    'Proxy without new': function () { return Proxy({}, {}); },
    'bind on a non-function': function () { Function.prototype.bind.call(1); },
    'call on a non-function': function () { Function.prototype.call.call(1); },
    'apply on a non-function': function () { Function.prototype.apply.call({}); },
    'extends a number': function () { class A extends 1 {} },
    'extends a non-constructor': function () { var f = () => 1; class A extends f {} },
    'this before super': function () { class A {} class B extends A { constructor() { this.x = 1; super(); } } new B(); },
    'super called twice': function () { class A {} class B extends A { constructor() { super(); super(); } } new B(); },
    'derived returns a number': function () { class A {} class B extends A { constructor() { super(); return 1; } } new B(); },
    'strict callee': function () { 'use strict'; return arguments.callee; },
    'strict caller': function () { 'use strict'; function f() {} return f.caller; },
    'tagged template not a function': function () { var a = {}; return a.b`x`; },
    'generator running': function () { var it; function* g() { it.next(); } it = g(); it.next(); },
    'generator next receiver': function () { function* g() {} g.prototype.next.call({}); },
    'Function constructor syntax': function () { return new Function('a b'); }
});
v8Each('messages: iteration and destructuring', {
    'spread of a number': function () { return [...1]; },
    'spread of undefined': function () { var u; return [...u]; },
    'spread of an object': function () { return [...{}]; },
    'spread call of null': function () { return Math.max(...null); },
    'for-of a number': function () { for (var x of 5) {} },
    'for-of an object': function () { for (var x of {a: 1}) {} },
    'array pattern of a number': function () { var [a] = 1; },
    'array pattern of null': function () { var [a] = null; },
    'array pattern of an object': function () { var [a] = {}; },
    'object pattern of undefined': function () { var {a} = undefined; },
    'object pattern of null': function () { var {a: b} = null; },
    'parameter pattern': function () { function f({a}) {} f(); },
    'nested pattern': function () { var {a: {b}} = {}; },
    'Array.from a symbol': function () { Array.from(Symbol()); },
    'new Set of a number': function () { return new Set(1); },
    'iterator result not an object': function () { var it = {}; it[Symbol.iterator] = function () { return {next: function () { return 1; }}; }; for (var x of it) {} },
    'iterator method not a function': function () { var it = {}; it[Symbol.iterator] = 1; for (var x of it) {} },
    'iterator returns a number': function () { var it = {}; it[Symbol.iterator] = function () { return 1; }; for (var x of it) {} },
    'yield* of a number': function () { function* g() { yield* 1; } g().next(); },
    'Promise.all sync part': function () { var r; Promise.all(5).catch(function (e) { r = e; }); return typeof r; }
});
v8Each('messages: collections, buffers and typed arrays', {
    'Map method receiver': function () { Map.prototype.get.call({}, 1); },
    'Set add receiver': function () { Set.prototype.add.call([], 1); },
    'Map size receiver': function () { return Object.getOwnPropertyDescriptor(Map.prototype, 'size').get.call({}); },
    'WeakMap key': function () { new WeakMap().set(1, 1); },
    'WeakSet value': function () { new WeakSet().add('a'); },
    'WeakSet of values': function () { return new WeakSet([1]); },
    'WeakRef target': function () { return new WeakRef(1); },
    'array length -1': function () { [].length = -1; },
    'Array 2**32': function () { return new Array(2 ** 32); },
    'Array fraction': function () { return Array(3.5); },
    'ArrayBuffer negative': function () { return new ArrayBuffer(-1); },
    'typed array negative': function () { return new Uint8Array(-1); },
    'typed array too long for buffer': function () { return new Uint8Array(new ArrayBuffer(3), 1, 4); },
    'typed array byte length': function () { return new Uint32Array(new ArrayBuffer(3)); },
    'typed array offset': function () { return new Uint32Array(new ArrayBuffer(8), 1); },
    'typed array offset past end': function () { return new Uint8Array(new ArrayBuffer(2), 3); },
    'typed array set overflow': function () { new Uint8Array(1).set([1, 2]); },
    'typed array method receiver': function () { Uint8Array.prototype.fill.call([], 1); },
    'DataView of a number': function () { return new DataView(1); },
    'DataView read past end': function () { return new DataView(new ArrayBuffer(1)).getInt32(0); },
    'DataView offset': function () { return new DataView(new ArrayBuffer(1), 2); },
    'BigInt64Array of a number': function () { return new BigInt64Array([1]); },
    'ArrayBuffer slice receiver': function () { ArrayBuffer.prototype.slice.call({}); }
});
v8Each('messages: regular expressions', {
    'unterminated class': function () { return new RegExp('['); },
    'unterminated group': function () { return new RegExp('('); },
    'unmatched paren': function () { return new RegExp(')'); },
    'nothing to repeat': function () { return new RegExp('*'); },
    'backslash at end': function () { return new RegExp('\\'); },
    'out of order quantifier': function () { return new RegExp('a{2,1}'); },
    'bad flags': function () { return new RegExp('a', 'gg'); },
    'unknown flag': function () { return new RegExp('a', 'x'); },
    'duplicate group name': function () { return new RegExp('(?<a>.)(?<a>.)'); },
    'bad unicode escape': function () { return new RegExp('\\u{110000}', 'u'); },
    'class range out of order': function () { return new RegExp('[z-a]'); },
    'lone quantifier brackets in unicode': function () { return new RegExp('{', 'u'); },
    'invalid group': function () { return new RegExp('(?a)'); },
    'exec receiver': function () { RegExp.prototype.exec.call({}, 'a'); },
    'test receiver': function () { RegExp.prototype.test.call(1, 'a'); },
    'flags receiver': function () { return Object.getOwnPropertyDescriptor(RegExp.prototype, 'flags').get.call(1); },
    'literal in eval': function () { return eval('/[/'); }
});
v8Each('messages: proxy and reflect', {
    'proxy of a number': function () { return new Proxy(1, {}); },
    'proxy handler a number': function () { return new Proxy({}, 1); },
    'revoked get': function () { var r = Proxy.revocable({}, {}); r.revoke(); return r.proxy.a; },
    'revoked set': function () { var r = Proxy.revocable({}, {}); r.revoke(); r.proxy.a = 1; },
    'revoked has': function () { var r = Proxy.revocable({}, {}); r.revoke(); return 'a' in r.proxy; },
    'trap not a function': function () { return new Proxy({}, {get: 1}).a; },
    'get invariant': function () { var t = {}; Object.defineProperty(t, 'x', {value: 1}); return new Proxy(t, {get: function () { return 2; }}).x; },
    'ownKeys invariant': function () { return Object.keys(new Proxy({}, {ownKeys: function () { return [1]; }})); },
    'set trap false in strict': function () { 'use strict'; var p = new Proxy({}, {set: function () { return false; }}); p.a = 1; },
    'Reflect.get of a number': function () { return Reflect.get(1, 'a'); },
    'Reflect.ownKeys of a string': function () { return Reflect.ownKeys('a'); },
    'Reflect.apply of a number': function () { return Reflect.apply(1); },
    'Reflect.construct of an arrow': function () { return Reflect.construct(function () {}, [], () => 1); },
    'Reflect.defineProperty of a number': function () { return Reflect.defineProperty(1, 'a', {}); },
    'Reflect.setPrototypeOf': function () { return Reflect.setPrototypeOf({}, 1); }
});
v8Each('messages: syntax through eval', {
    'unexpected identifier': function () { eval('a b'); },
    'unexpected token': function () { eval('var = 1'); },
    'unexpected end': function () { eval('{'); },
    'unexpected number': function () { eval('a 1'); },
    'unexpected string': function () { eval('a "s"'); },
    'unterminated string': function () { eval("'abc"); },
    'invalid token': function () { eval('@'); },
    'redeclaration': function () { eval('let a; let a;'); },
    'illegal return': function () { eval('return 1'); },
    'illegal break': function () { eval('break'); },
    'await outside async': function () { eval('function f() { await g(); }'); },
    'left-hand side': function () { eval('1 = 2'); },
    'missing function name': function () { eval('function () {}'); },
    'missing after arguments': function () { eval('f(1'); },
    'unterminated template': function () { eval('`abc'); },
    'unterminated comment': function () { eval('/* a'); },
    'const without value': function () { eval('const a;'); },
    'strict octal': function () { eval('"use strict"; 010'); },
    'strict with': function () { eval('"use strict"; with ({}) {}'); },
    'reserved word': function () { eval('var class = 1'); },
    'JSON-like object': function () { eval('{"a": 1}'); },
    'Function body': function () { return Function('return }'); }
});
v8Each('messages: misc', {
    'JSON.stringify cycle in array': function () { var a = []; a.push(a); JSON.stringify(a); },
    'structuredClone a function': function () { structuredClone(function () {}); },
    'Intl time zone': function () { return new Intl.DateTimeFormat('en', {timeZone: 'Nowhere/City'}); },
    'Intl currency required': function () { return new Intl.NumberFormat('en', {style: 'currency'}); },
    'Intl bad locale': function () { return (1).toLocaleString('x-'); },
    'encodeURI lone surrogate': function () { return encodeURIComponent('\uD800'); },
    'Atomics on a float array': function () { return Atomics.add(new Float64Array(1), 0, 1); },
    'Object.defineProperties of a number': function () { Object.defineProperties({}, {a: 1}); },
    'Array.prototype.push on frozen': function () { Object.freeze([1]).push(2); },
    'Array.prototype.pop on frozen': function () { Object.freeze([1]).pop(); },
    'Array.prototype.sort on frozen': function () { Object.freeze([2, 1]).sort(); },
    'Object.freeze typed array': function () { Object.freeze(new Uint8Array(1)); },
    'async generator receiver': function () { async function* g() {} return g.prototype.next.call({}); },
    'getter called with wrong this': function () { return Object.getOwnPropertyDescriptor(Symbol.prototype, 'description').get.call(1); }
});

// ---- errors delivered through promises ---------------------------------------------------
// Answered once the promise settles: the page writes its answers after its jobs have run.
function v8Later(group, name, make) {
    make().then(function (v) { probe(group, name, function () { return v; }); },
        function (e) { probe(group, name, function () { throw e; }); });
}
function v8Rejection(e) {
    return [e instanceof Error, e.name, e.message, v8Frames(e, 2), Object.getOwnPropertyNames(e).sort()];
}
function v8AllOfFive() { return Promise.all(5); }
v8Later('promise errors', 'Promise.all of a number', function () { return v8AllOfFive().catch(v8Rejection); });
v8Later('promise errors', 'Promise.race of undefined', function () { return Promise.race().catch(v8Rejection); });
v8Later('promise errors', 'Promise.allSettled of an object', function () { return Promise.allSettled({}).catch(v8Rejection); });
v8Later('promise errors', 'Promise.any of nothing', function () { return Promise.any([]).catch(function (e) { return [v8Rejection(e), e.errors]; }); });
v8Later('promise errors', 'awaited Promise.all', function () {
    async function awaitsAll() { await Promise.all(5); }
    return awaitsAll().catch(v8Rejection);
});
v8Later('promise errors', 'reaction that reads null', function () {
    return Promise.resolve().then(function reads() { return null.x; }).catch(v8Rejection);
});
v8Later('promise errors', 'async function that throws', function () {
    async function throwsLater() { await null; throw new RangeError('later'); }
    return throwsLater().catch(v8Rejection);
});
v8Later('promise errors', 'resolving with itself', function () {
    var resolve, p = new Promise(function (r) { resolve = r; });
    resolve(p);
    return p.catch(v8Rejection);
});
v8Later('promise errors', 'unhandled then handled', function () {
    var p = Promise.all(5);
    return Promise.resolve().then(function () { return p.catch(function (e) { return [e.message, v8Frames(e, 1)]; }); });
});

// ---- stacks through built-ins ------------------------------------------------------------
// Built-ins that call the page's functions, and built-ins that fail, show as V8 shows them.
function v8StackOf(name, f) {
    probe('stacks: built-ins', name, function () { try { f(); return 'no error'; } catch (e) { return v8Frames(e, 3); } });
}
v8StackOf('map', function () { [1].map(function cb() { throw new Error('x'); }); });
v8StackOf('map anon', function () { [1].map(function () { throw new Error('x'); }); });
v8StackOf('forEach arrow', function () { [1].forEach(() => { throw new Error('x'); }); });
v8StackOf('sort', function () { [2, 1].sort(function cmp() { throw new Error('x'); }); });
v8StackOf('reduce', function () { [1, 2].reduce(function red() { throw new Error('x'); }); });
v8StackOf('filter', function () { [1].filter(function fl() { null.x; }); });
v8StackOf('replace', function () { 'a'.replace(/a/, function rp() { throw new Error('x'); }); });
v8StackOf('JSON reviver', function () { JSON.parse('{"a":1}', function rv() { throw new Error('x'); }); });
v8StackOf('Array.from', function () { Array.from([1], function mf() { throw new Error('x'); }); });
v8StackOf('new Promise executor', function () { var err; new Promise(function ex() { err = new Error('x'); }); throw err; });
v8StackOf('typed map', function () { new Uint8Array(1).map(function tm() { throw new Error('x'); }); });
v8StackOf('call', function () { (function called() { throw new Error('x'); }).call({}); });
v8StackOf('apply', function () { (function applied() { throw new Error('x'); }).apply(null); });
v8StackOf('Reflect.apply', function () { Reflect.apply(function ra() { throw new Error('x'); }, null, []); });
v8StackOf('bound', function () { (function bnd() { throw new Error('x'); }).bind(null)(); });
v8StackOf('object method anon', function () { var o = {}; o.f = function () { throw new Error('x'); }; o.f(); });
v8StackOf('literal method anon', function () { ({ f: function () { throw new Error('x'); } }).f(); });
v8StackOf('anon with receiver', function () { var o = {}; var g = [function () { throw new Error('x'); }][0]; g.call(o); });
v8StackOf('getter', function () { var o = { get v() { throw new Error('x'); } }; return o.v; });
v8StackOf('setter', function () { var o = { set v(x) { throw new Error('x'); } }; o.v = 1; });
v8StackOf('class method', function () { class K { m() { throw new Error('x'); } } new K().m(); });
v8StackOf('static method', function () { class K { static s() { throw new Error('x'); } } K.s(); });
v8StackOf('constructor', function () { class K { constructor() { throw new Error('x'); } } new K(); });
v8StackOf('Function ctor', function () { new Function('throw new Error("x")')(); });
v8StackOf('toString', function () { String({ toString: function ts() { throw new Error('x'); } }); });
v8StackOf('valueOf via +', function () { return 1 + { valueOf: function vo() { throw new Error('x'); } }; });
v8StackOf('proxy trap', function () { new Proxy({}, { get: function trap() { throw new Error('x'); } }).a; });
v8StackOf('iterator', function () { var it = {}; it[Symbol.iterator] = function itf() { throw new Error('x'); }; for (var a of it) {} });
v8StackOf('generator', function () { function* gen() { throw new Error('x'); } gen().next(); });
v8StackOf('Object.keys of null then', function () { Object.keys(null); });
v8StackOf('defineProperty', function () { Object.defineProperty(1, 'a', {}); });
v8StackOf('Reflect.get', function () { Reflect.get(1, 'a'); });
v8StackOf('toFixed', function () { (1).toFixed(101); });
v8StackOf('new Array', function () { new Array(-1); });
v8StackOf('class call', function () { class P {} P(); });
v8StackOf('Symbol concat', function () { return Symbol() + ''; });
v8StackOf('new Map non-entry', function () { new Map([1]); });
v8StackOf('decodeURI', function () { decodeURIComponent('%'); });
v8Each('messages: callbacks given to built-ins', {
    'map of a string': function () { [1].map('a'); },
    'forEach of an object': function () { [1].forEach({}); },
    'filter of null': function () { [1].filter(null); },
    'Promise resolver object': function () { return new Promise({}); },
    'then of a number is no error': function () { return typeof Promise.resolve().then(1); },
    'reduce of a number': function () { [1, 2].reduce(5); }
});

// ---- orders of built-ins' own names --------------------------------------------------------
// The order a built-in's own names come in tells the engine; names later Chrome versions
// added are left out, so that the answers hold for the version the persona claims.
var v8Later = ['sumPrecise', 'try', 'escape', 'isError', 'getOrInsert', 'getOrInsertComputed', 'f16round', 'fromBase64',
    'fromHex', 'toBase64', 'toHex', 'setFromBase64', 'setFromHex', 'getFloat16', 'setFloat16', 'toTemporalInstant', 'DurationFormat'];
function v8Order(o) {
    return Object.getOwnPropertyNames(o).filter(function (n) { return v8Later.indexOf(n) < 0; });
}
[['Array.prototype', Array.prototype], ['Object', Object], ['Object.prototype', Object.prototype],
 ['String.prototype', String.prototype], ['Function.prototype', Function.prototype], ['Math', Math], ['JSON', JSON],
 ['Promise', Promise], ['Promise.prototype', Promise.prototype], ['Reflect', Reflect], ['Number', Number],
 ['Number.prototype', Number.prototype], ['Date.prototype', Date.prototype], ['RegExp.prototype', RegExp.prototype],
 ['Map.prototype', Map.prototype], ['Set.prototype', Set.prototype], ['Error', Error], ['Error.prototype', Error.prototype],
 ['Symbol', Symbol], ['Array', Array], ['String', String], ['Intl', Intl], ['BigInt.prototype', BigInt.prototype],
 ['ArrayBuffer.prototype', ArrayBuffer.prototype], ['WeakMap.prototype', WeakMap.prototype], ['Boolean.prototype', Boolean.prototype],
 ['Symbol.prototype', Symbol.prototype], ['RegExp', RegExp], ['Date', Date]].forEach(function (pair) {
    probe('orders', pair[0], function () { return v8Order(pair[1]); });
});
probe('orders', 'a function', function () { return Object.getOwnPropertyNames(function f(a) {}); });
probe('orders', 'an arrow', function () { return Object.getOwnPropertyNames((a) => a); });
probe('orders', 'a class', function () { return Object.getOwnPropertyNames(class K { static s() {} }); });
probe('orders', 'a native', function () { return Object.getOwnPropertyNames(Math.max); });
probe('orders', 'a bound function', function () { return Object.getOwnPropertyNames(function f(a, b) {}.bind(null)); });
probe('orders', 'an array', function () { return Object.getOwnPropertyNames([1, 2]); });
probe('orders', 'a string object', function () { return Object.getOwnPropertyNames(new String('ab')); });
probe('orders', 'arguments', function () { return (function () { return Object.getOwnPropertyNames(arguments); })(1); });
probe('orders', 'strict arguments', function () { return (function () { 'use strict'; return Object.getOwnPropertyNames(arguments); })(1); });
probe('orders', 'a regular expression', function () { return Object.getOwnPropertyNames(/a/g); });
probe('orders', 'a match', function () { return Object.getOwnPropertyNames('xab'.match(/a(b)/)); });
probe('orders', 'a named match', function () { return Object.getOwnPropertyNames('xab'.match(/a(?<n>b)/)); });
probe('orders', 'integer keys first', function () { return Object.keys({b: 1, 2: 1, a: 1, 1: 1, '-1': 1}); });
probe('orders', 'own keys with symbols', function () { return Reflect.ownKeys({[Symbol.iterator]: 1, z: 1, 0: 1}).map(String); });

// ---- how functions print ----------------------------------------------------------------------
[['class with extends', function () { return String(class A extends Array { static s() {} }); }],
 ['bound user function name', function () { var f = function orig() {}.bind(null); return [f.name, f.length, String(f)]; }],
 ['bound twice', function () { var f = function orig(a, b, c) {}.bind(null, 1).bind(null, 2); return [f.name, f.length]; }],
 ['async function', function () { return String(async function af(x) { await x; }); }],
 ['async arrow', function () { return String(async (x) => x); }],
 ['generator', function () { return String(function* gen() { yield 1; }); }],
 ['async generator', function () { return String(async function* ag() { yield 1; }); }],
 ['getter of a literal', function () { return String(Object.getOwnPropertyDescriptor({ get v() { return 1; } }, 'v').get); }],
 ['setter of a literal', function () { return String(Object.getOwnPropertyDescriptor({ set v(x) {} }, 'v').set); }],
 ['computed method', function () { var k = 'dyn'; return String({ [k]() { return 1; } }[k]); }],
 ['class method', function () { class C { m(a) { return a; } } return String(C.prototype.m); }],
 ['static method', function () { class C { static s() {} } return String(C.s); }],
 ['Function with no arguments', function () { return String(new Function()); }],
 ['Function with parameters', function () { return String(Function('a', 'b', 'return a')); }],
 ['Function with a default', function () { return String(Function('a = 1', 'return a')); }],
 ['AsyncFunction constructor', function () { var AF = Object.getPrototypeOf(async function () {}).constructor; return [AF.name, String(AF), String(AF('return 1'))]; }],
 ['GeneratorFunction constructor', function () { var GF = Object.getPrototypeOf(function* () {}).constructor; return [GF.name, String(GF('yield 1'))]; }],
 ['native getter name', function () { return Object.getOwnPropertyDescriptor(RegExp.prototype, 'flags').get.name; }],
 ['symbol-named native', function () { return [Array.prototype[Symbol.iterator].name, String(Symbol.prototype[Symbol.toPrimitive])]; }],
 ['native with a symbol key name', function () { return String(Object.getOwnPropertyDescriptor(Map.prototype, Symbol.toStringTag)); }],
 ['constructor of a class without one', function () { class E {} return String(E.prototype.constructor); }],
 ['toString of toString', function () { return String(Function.prototype.toString.call(Function.prototype.toString)); }],
 ['Function.prototype itself', function () { return String(Function.prototype); }],
 ['names of natives', function () { return [Function.prototype.name, Object.prototype.toString.name, parseInt.name, Array.prototype.values === Array.prototype[Symbol.iterator]]; }],
 ['lengths of natives', function () { return [Array.prototype.push.length, Array.prototype.concat.length, String.prototype.replace.length, Math.max.length, Promise.all.length, JSON.stringify.length, Object.assign.length, Reflect.apply.length, Date.UTC.length, parseFloat.length]; }]
].forEach(function (pair) { probe('printing more', pair[0], pair[1]); });

// ---- stacks of getters, constructors, eval and anonymous code ------------------------------
function v8Top(f, n) {
    try { f(); return 'no error'; } catch (e) { return v8Frames(e, n || 2); }
}
[['getter', function () { var o = { get v() { throw new Error('g'); } }; return o.v; }],
 ['setter', function () { var o = { set v(x) { throw new Error('s'); } }; o.v = 1; }],
 ['class getter', function () { class G { get v() { throw new Error('g'); } } return new G().v; }],
 ['static method', function () { class S { static s() { throw new Error('s'); } } S.s(); }],
 ['class constructor', function () { class C { constructor() { throw new Error('c'); } } new C(); }],
 ['derived constructor', function () { class B { constructor() { throw new Error('b'); } } class D extends B {} new D(); }],
 ['function constructor', function () { function F() { throw new Error('f'); } new F(); }],
 ['anonymous in an object literal', function () { var o = { f: function () { throw new Error('a'); } }; o.f(); }],
 ['arrow in a method', function () { var o = { m() { return [1].map(() => { throw new Error('a'); }); } }; o.m(); }],
 ['eval code', function () { eval('throw new Error("e")'); }],
 ['nested eval', function () { eval('eval("throw new Error(\'n\')")'); }],
 ['function made by eval', function () { var f = eval('(function made() { throw new Error("m"); })'); f(); }],
 ['new Function body', function () { new Function('throw new Error("nf")')(); }],
 ['new Function called as method', function () { var o = { m: new Function('throw new Error("nm")') }; o.m(); }],
 ['toString called by the engine', function () { var o = { toString: function () { throw new Error('t'); } }; return '' + o; }],
 ['valueOf called by the engine', function () { var o = { valueOf: function () { throw new Error('v'); } }; return o * 2; }],
 ['method of a class instance', function () { class K { m() { throw new Error('k'); } } var k = new K(); k.m(); }],
 ['method found under another name', function () { function real() { throw new Error('r'); } var o = { alias: real }; o.alias(); }],
 ['call through call', function () { function viaCall() { throw new Error('c'); } viaCall.call({}); }],
 ['call through apply', function () { function viaApply() { throw new Error('a'); } viaApply.apply(null, []); }],
 ['bound function frame', function () { function bound() { throw new Error('b'); } bound.bind({})(); }],
 ['Reflect.apply frame', function () { function reflected() { throw new Error('r'); } Reflect.apply(reflected, null, []); }],
 ['sort comparator', function () { [2, 1].sort(function cmp() { throw new Error('s'); }); }],
 ['replace callback', function () { 'a'.replace(/a/, function rep() { throw new Error('r'); }); }],
 ['JSON.parse reviver', function () { JSON.parse('{"a":1}', function rev() { throw new Error('j'); }); }],
 ['thrown string', function () { throw 'plain'; }]
].forEach(function (pair) { probe('stacks more', pair[0], function () { return v8Top(pair[1], 3); }); });
probe('stacks more', 'stack of a thrown non-error', function () { try { throw {a: 1}; } catch (e) { return [typeof e.stack, 'stack' in e]; } });
probe('stacks more', 'name getter read for the header', function () {
    var e = new Error('m');
    Object.defineProperty(e, 'name', {get: function () { return 'Got'; }});
    return v8Frames(e, 0);
});
probe('stacks more', 'message of an object', function () { return v8Frames(new Error({toString: function () { return 'obj'; }}), 0); });
probe('stacks more', 'stack of a subclass with its own name', function () {
    class MyErr extends Error { constructor(m) { super(m); this.name = 'MyErr'; } }
    return v8Frames(new MyErr('x'), 1);
});
probe('stacks more', 'captureStackTrace keeps the name', function () {
    var o = {name: 'Custom', message: 'cm'};
    Error.captureStackTrace(o);
    return v8Frames(o, 0);
});
probe('stacks more', 'captureStackTrace on an error again', function () {
    function outer() { return inner(); }
    function inner() { var e = new Error('twice'); Error.captureStackTrace(e, inner); return e; }
    return v8Frames(outer(), 1);
});
probe('stacks more', 'stackTraceLimit as a string', function () {
    var old = Error.stackTraceLimit;
    Error.stackTraceLimit = '2';
    try { return [typeof new Error('s').stack, 'stack' in new Error('s')]; } finally { Error.stackTraceLimit = old; }
});
probe('stacks more', 'stackTraceLimit deleted', function () {
    var old = Error.stackTraceLimit;
    delete Error.stackTraceLimit;
    try { var e = new Error('d'); return [e.hasOwnProperty('stack'), typeof e.stack]; } finally { Error.stackTraceLimit = old; }
});

// ---- Error.prepareStackTrace -----------------------------------------------------------------
function v8Sites(f) {
    var got;
    Error.prepareStackTrace = function (err, sites) { got = sites; return 'prepared'; };
    try { f(); } catch (e) { e.stack; } finally { delete Error.prepareStackTrace; }
    return got;
}
probe('prepareStackTrace', 'getThis and getFunction', function () {
    var sites = v8Sites(function () { var o = { m: function () { throw new Error('x'); } }; o.m(); });
    return [typeof sites[0].getThis(), typeof sites[0].getFunction(), sites[0].getFunction() === undefined];
});
probe('prepareStackTrace', 'strict frames hide this', function () {
    var sites = v8Sites(function () { 'use strict'; var o = { m: function () { throw new Error('x'); } }; o.m(); });
    return [sites[0].getThis(), sites[0].getFunction()];
});
probe('prepareStackTrace', 'column is a number', function () {
    var sites = v8Sites(function () { throw new Error('x'); });
    return [typeof sites[0].getColumnNumber(), sites[0].getColumnNumber() > 0, typeof sites[0].getLineNumber()];
});
probe('prepareStackTrace', 'eval origin', function () {
    var sites = v8Sites(function () { eval('throw new Error("e")'); });
    return [sites[0].isEval(), v8Norm(sites[0].getEvalOrigin()), sites[0].getFileName(), v8Norm(sites[0].getScriptNameOrSourceURL())];
});
probe('prepareStackTrace', 'async and promise fields', function () {
    var sites = v8Sites(function () { throw new Error('x'); });
    return [sites[0].isAsync(), sites[0].isPromiseAll(), sites[0].getPromiseIndex()];
});
probe('prepareStackTrace', 'constructor and top level', function () {
    var sites = v8Sites(function () { function Made() { throw new Error('m'); } new Made(); });
    return [sites[0].isConstructor(), sites[0].getFunctionName(), sites[0].getTypeName(), sites[0].getMethodName(), sites[1].isToplevel()];
});
probe('prepareStackTrace', 'native frame', function () {
    var sites = v8Sites(function () { [1].map(function cb() { throw new Error('n'); }); });
    return [sites[1].isNative(), sites[1].getFunctionName(), sites[1].getTypeName(), sites[1].getFileName(), String(sites[1])];
});
probe('prepareStackTrace', 'site strings', function () {
    var sites = v8Sites(function () { var o = { m: function named() { throw new Error('s'); } }; o.m(); });
    return sites.slice(0, 2).map(function (s) { return v8Norm(String(s)); });
});
probe('prepareStackTrace', 'what it returns is the stack', function () {
    Error.prepareStackTrace = function () { return 42; };
    try { var e = new Error('n'); return [e.stack, typeof e.stack]; } finally { delete Error.prepareStackTrace; }
});
probe('prepareStackTrace', 'its this', function () {
    var self;
    Error.prepareStackTrace = function () { self = this; return ''; };
    try { new Error('t').stack; return self === Error; } finally { delete Error.prepareStackTrace; }
});
probe('prepareStackTrace', 'a throwing one', function () {
    Error.prepareStackTrace = function () { throw new RangeError('inside'); };
    try { return v8Caught(function () { return new Error('t').stack; }); } finally { delete Error.prepareStackTrace; }
});
probe('prepareStackTrace', 'read when the stack is read', function () {
    var e = new Error('late');
    Error.prepareStackTrace = function () { return 'late prepared'; };
    try { return e.stack; } finally { delete Error.prepareStackTrace; }
});

// ---- common messages, more -------------------------------------------------------------------
[['member of a member is no function', function () { var o = {a: {}}; o.a.b(); }],
 ['element is no function', function () { var a = [1]; a[0](); }],
 ['comma call', function () { var o = {}; (0, o.f)(); }],
 ['call result is no function', function () { function f() { return 1; } f()(); }],
 ['new of a number', function () { var n = 5; new n(); }],
 ['new of a member', function () { var o = {}; new o.k(); }],
 ['array pattern from a non-iterable', function () { var [a] = {}; }],
 ['array pattern from a call', function () { function f() { return 1; } var [a] = f(); }],
 ['spread of a number', function () { var n = 5; return [...n]; }],
 ['for-of over an object', function () { for (var x of {}) {} }],
 ['object to primitive', function () { return '' + Object.create(null); }],
 ['private member', function () { class P { #p = 1; static get(o) { return o.#p; } } P.get({}); }],
 ['assignment to a getter only in strict code', function () { 'use strict'; var o = { get g() { return 1; } }; o.g = 2; }],
 ['frozen write in strict code', function () { 'use strict'; var o = Object.freeze({a: 1}); o.a = 2; }],
 ['add to a non-extensible in strict code', function () { 'use strict'; var o = Object.preventExtensions({}); o.b = 1; }],
 ['delete a non-configurable in strict code', function () { 'use strict'; delete Object.prototype; }],
 ['undeclared in strict code', function () { 'use strict'; undeclaredThing = 1; }],
 ['BigInt of a fraction', function () { return BigInt(1.5); }],
 ['BigInt mixed', function () { return 1n + 1; }],
 ['BigInt division by zero', function () { return 1n / 0n; }],
 ['unary plus of a BigInt', function () { return +1n; }],
 ['new Symbol', function () { return new Symbol(); }],
 ['Symbol to number', function () { return Symbol() * 1; }],
 ['invalid regular expression', function () { return new RegExp('('); }],
 ['invalid flags literal-like', function () { return new RegExp('a', 'z'); }],
 ['reduce of an empty array', function () { return [].reduce(function (a, b) { return a; }); }],
 ['toString of a number radix', function () { return (1).toString(1); }],
 ['toPrecision range', function () { return (1).toPrecision(0); }],
 ['invalid date toISOString', function () { return new Date('x').toISOString(); }],
 ['normalize form', function () { return 'a'.normalize('X'); }],
 ['padStart of a symbol', function () { return 'a'.padStart(Symbol()); }],
 ['JSON.parse of nothing', function () { return JSON.parse(''); }],
 ['JSON.parse of undefined', function () { return JSON.parse(undefined); }],
 ['JSON.parse trailing comma', function () { return JSON.parse('[1,]'); }],
 ['JSON.parse single quotes', function () { return JSON.parse("{'a':1}"); }],
 ['decodeURI malformed', function () { return decodeURI('%E0%A4%A'); }],
 ['Object.create of a number', function () { return Object.create(1); }],
 ['Object.defineProperty on a primitive', function () { return Object.defineProperty(1, 'a', {}); }],
 ['Object.setPrototypeOf a cycle', function () { var a = {}, b = Object.create(a); Object.setPrototypeOf(a, b); }],
 ['instanceof a non-object', function () { return {} instanceof 1; }],
 ['in on a string', function () { return 'a' in 'abc'; }],
 ['Map without new', function () { return Map(); }],
 ['Promise without new', function () { return Promise(function () {}); }],
 ['Promise of a non-function', function () { return new Promise(1); }],
 ['then on a non-promise', function () { return Promise.prototype.then.call(1); }],
 ['Array.from of a non-function map', function () { return Array.from([1], 1); }],
 ['typed array out of range', function () { return new Uint8Array(new ArrayBuffer(4), 1, 8); }],
 ['DataView out of range', function () { return new DataView(new ArrayBuffer(1)).getInt32(0); }],
 ['stack overflow', function () { function r() { return r(); } return r(); }],
 ['getter on a proxy revoked', function () { var p = Proxy.revocable({}, {}); p.revoke(); return p.proxy.a; }],
 ['structuredClone of a symbol', function () { return structuredClone(Symbol('s')); }],
 ['atob of bad text', function () { return atob('*'); }],
 ['Intl of a bad locale', function () { return new Intl.NumberFormat('x-'); }],
 ['localeCompare of a bad locale', function () { return 'a'.localeCompare('b', '-'); }]
].forEach(function (pair) { probe('messages more', pair[0], function () { return v8Caught(pair[1]); }); });

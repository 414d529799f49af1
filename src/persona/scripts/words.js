// V8's words for the engine's less common messages, for the exception watcher. Most of
// the engine's messages carry what V8 says; where V8 names a value the engine leaves
// out (the count given to repeat, the key searched with `in`, the class called without
// new), it is read from the call or expression at the frame's place in the source: a
// literal, or a variable read through the debugger without running anything. The
// watcher passes its readers of the source; this answers its `reword`.
(function (restOfLine, isWrite, typeName) {
    'use strict';

    // ---- what stands at the frame's place ----------------------------------------------

    // The call the frame stands at (the engine places a failed call at its callee's last
    // name): that name and the texts of its arguments, or null.
    function callAt(frame, wholeLine) {
        var line = frame ? restOfLine(frame) : '';
        var m = /^(?:new\s+)?([\w$.]*?)\s*\(/.exec(line);
        if (!m) return null;
        // The names before the place: the receiver the callee was read from.
        var whole = wholeLine(), before = whole.slice(0, Math.max(0, whole.length - line.length));
        // The place may be the call's parenthesis, after the callee's name.
        var name = m[1];
        if (!name) {
            var last = /([\w$]+)\s*$/.exec(before);
            if (!last) return null;
            name = last[1];
            before = before.slice(0, last.index);
        }
        var chain = /(?:^|[^\w$.])((?:[\w$]+\s*\.\s*)+)$/.exec(before);
        // A receiver that is no name (a literal, a call's result) is written `*`, or
        // `new X` when it is made on the spot.
        var made = /new\s+([\w$]+)\s*\([^()]*\)\s*\.\s*$/.exec(before);
        var callee = (chain ? chain[1].replace(/\s+/g, '') : made ? 'new ' + made[1] + '.'
                      : /[\])'"`]\s*\.\s*$/.test(before) ? '*.' : '') + name;
        var args = [], depth = 0, start = m[0].length, quote = null;
        for (var i = start; i < line.length; i++) {
            var c = line[i];
            if (quote) {
                if (c === '\\') i++;
                else if (c === quote) quote = null;
            } else if (c === '"' || c === "'" || c === '`') {
                quote = c;
            } else if (c === '(' || c === '[' || c === '{') {
                depth++;
            } else if (c === ')' || c === ']' || c === '}') {
                if (depth === 0) {
                    args.push(line.slice(start, i).trim());
                    if (args.length === 1 && args[0] === '') args = [];
                    return {callee: callee, name: name.slice(name.lastIndexOf('.') + 1), args: args};
                }
                depth--;
            } else if (c === ',' && depth === 0) {
                args.push(line.slice(start, i).trim());
                start = i + 1;
            }
        }
        return null;
    }

    function unescapeText(body) {
        return body.replace(/\\(u\{[0-9a-fA-F]+\}|u[0-9a-fA-F]{4}|x[0-9a-fA-F]{2}|[\s\S])/g, function (all, e) {
            if (e[0] === 'u' && e.length > 1) return String.fromCodePoint(parseInt(e[1] === '{' ? e.slice(2, -1) : e.slice(1), 16));
            if (e[0] === 'x' && e.length === 3) return String.fromCharCode(parseInt(e.slice(1), 16));
            return {n: '\n', t: '\t', r: '\r', b: '\b', f: '\f', v: '\v', 0: '\0'}[e] || e;
        });
    }

    // An object seen only as a literal in the source.
    var PLAIN = {literal: 'Object'}, ARRAY = {literal: 'Array'};

    // The value the text `text` has at the frame, as {v}; null when it cannot be known
    // without running the page's code. Objects are the debugger's (or the markers above).
    function valueAt(frame, text) {
        if (text === undefined || text === '') return {v: undefined};
        if (/^[-+]?(?:\d+\.?\d*(?:e[-+]?\d+)?|\.\d+|Infinity)$/i.test(text)) return {v: Number(text)};
        if (/^-?\d+n$/.test(text)) return {v: BigInt(text.slice(0, -1))};
        var words = {undefined: undefined, null: null, true: true, false: false, NaN: NaN};
        if (Object.prototype.hasOwnProperty.call(words, text)) return {v: words[text]};
        var s = /^'((?:[^'\\]|\\.)*)'$|^"((?:[^"\\]|\\.)*)"$/.exec(text);
        if (s) return {v: unescapeText(s[1] !== undefined ? s[1] : s[2])};
        if (/^\{\s*\}$/.test(text)) return {v: PLAIN};
        if (/^\[\s*\]$/.test(text)) return {v: ARRAY};
        if (!frame || !/^[A-Za-z_$][\w$]*(?:\.[A-Za-z_$][\w$]*)*$/.test(text)) return null;
        var parts = text.split('.');
        try {
            var env = frame.environment && environmentOf(frame, parts[0]);
            if (!env) return null;
            // A variable of a function or block is read as it is; a name on an object (the
            // global, `with`) only when it is a plain value: a getter is never run.
            if (env.type === 'declarative') env = liveEnvironment(frame, env, parts[0]);
            var v = env.type === 'declarative' ? env.getVariable(parts[0]) : dataOf(env.object, parts[0]);
            for (var i = 1; i < parts.length; i++) {
                if (!v || typeof v !== 'object' || v.optimizedOut || v.uninitialized || v.missingArguments) return null;
                v = dataOf(v, parts[i]);
            }
            if (v === NOTHING) return null;
            if (v && typeof v === 'object' && (v.optimizedOut || v.uninitialized || v.missingArguments)) return null;
            return {v: v};
        } catch (e) {
            return null;
        }
    }

    // The environment that binds `name` at the frame: the frame's own blocks and
    // function, then what its function closes over, read from the function itself. (The
    // debugger's view of an enclosing function that keeps no environment of its own can
    // hold on to the first call's variables; the function's own chain is the live one.)
    function environmentOf(frame, name) {
        for (var e = frame.environment; e; e = e.parent) {
            if (e.type !== 'declarative') break;
            if (e.names().indexOf(name) >= 0) return e;
            if (e.calleeScript === frame.script || e.scopeKind === 'function') {
                var outer = frame.callee && frame.callee.environment;
                return outer ? outer.find(name) : frame.environment.find(name);
            }
        }
        return frame.environment.find(name);
    }

    // The function's environment as its own running frame sees it, where that frame is
    // on the stack: seen from a closure, the debugger can show a later call of the same
    // function with the variables of an earlier one.
    function liveEnvironment(frame, env, name) {
        var owner = env.calleeScript;
        if (!owner) return env;
        for (var f = frame.older; f; f = f.older) {
            if (f.script !== owner) continue;
            var live = f.environment && f.environment.find(name);
            return live || env;
        }
        return env;
    }

    // A plain value of an object or its prototypes, or NOTHING (an accessor, a proxy,
    // none).
    var NOTHING = {};
    function dataOf(object, name) {
        for (var o = object, depth = 0; o && depth < 50; o = o.proto, depth++) {
            if (o.isProxy) return NOTHING;
            var d = o.getOwnPropertyDescriptor(name);
            if (d) return 'value' in d ? d.value : NOTHING;
        }
        return NOTHING;
    }
    function isObject(v) { return v !== null && typeof v === 'object'; }
    function className(v) {
        if (v === PLAIN || v === ARRAY) return v.literal;
        return v.class;
    }
    // A value as V8 names it where a built-in found it not iterable.
    function typed(v) {
        if (v === undefined || v === null) return String(v);
        if (isObject(v)) return v.callable ? 'function' : 'object';
        if (typeof v === 'string') return 'string "' + v + '"';
        if (typeof v === 'symbol') return 'symbol ' + v.toString();
        return typeof v + ' ' + String(v);
    }
    // A value as V8 names it in "… called on incompatible receiver …" and the like.
    function shown(v) {
        if (isObject(v)) {
            if (className(v) === 'Array') return '[object Array]';
            return '#<' + (v === PLAIN ? 'Object' : typeName(v)) + '>';
        }
        if (typeof v === 'symbol') return v.toString();
        return String(v);
    }
    // The engine's name of a receiver's class ("Object", "number") as V8 names it.
    function receiverOf(kind) {
        if (kind === 'Array') return '[object Array]';
        if (/^[A-Z]/.test(kind)) return '#<' + kind + '>';
        return null;
    }
    // A property as the engine quotes it ("a", 0, Symbol.iterator) as V8 shows it.
    function key(raw) {
        if (raw.length >= 2 && raw[0] === '"' && raw[raw.length - 1] === '"') return raw.slice(1, -1).replace(/\\"/g, '"');
        if (/^Symbol\./.test(raw)) return 'Symbol(' + raw + ')';
        return raw;
    }
    // The object a member expression at the frame's place belongs to, as V8 names it in
    // "… of object '…'", or null.
    function ownerAt(frame) {
        var m = /^(?:delete\s+)?([\w$.]+?)\s*(?:\.\s*[\w$]+|\[[^\]]*\])\s*(?:=|;|$)/.exec(frame ? restOfLine(frame) : '');
        var found = m && valueAt(frame, m[1]);
        return found && isObject(found.v) ? found.v : null;
    }
    function argument(ctx, i) {
        var call = ctx.call();
        return call && i < call.args.length ? valueAt(ctx.frame, call.args[i]) : call ? {v: undefined} : null;
    }
    function promiseCall(ctx) {
        var call = ctx.call();
        return call && /^(?:Promise\.)?(?:all|race|allSettled|any)$/.test(call.callee) ? call.name : null;
    }
    function calledAs(ctx, names) {
        var call = ctx.call();
        return call && names.indexOf(call.name) >= 0 ? call.name : null;
    }

    // ---- the rows ------------------------------------------------------------------------

    // [the engine's message, V8's (a string with $1… or a function of the match and the
    // place; null keeps the message), the built-in frame V8 shows above the caller].
    var rows = [
        // strings and numbers
        [/^repeat count must be non-negative$/, function (m, ctx) {
            var a = argument(ctx, 0);
            return a && typeof a.v === 'number' ? 'Invalid count value: ' + Math.trunc(a.v) : 'Invalid count value';
        }, 'String.repeat'],
        [/^repeat count must be less than infinity and not overflow maximum string size$/, function (m, ctx) {
            var a = calledAs(ctx, ['repeat']) && argument(ctx, 0);
            return a && a.v === Infinity ? 'Invalid count value: Infinity' : 'Invalid string length';
        }],
        [/^form must be one of 'NFC', 'NFD', 'NFKC', or 'NFKD'$/, 'The normalization form should be one of NFC, NFD, NFKC, NFKD.', 'String.normalize'],
        [/^(.*) is not a valid code point$/, 'Invalid code point $1', 'String.fromCodePoint'],
        [/^Invalid type: first can't be a Regular Expression$/, function (m, ctx) {
            var name = calledAs(ctx, ['startsWith', 'endsWith', 'includes']) || 'includes';
            return 'First argument to String.prototype.' + name + ' must not be a regular expression';
        }],
        [/^(matchAll|replaceAll) must be called with a global RegExp$/, 'String.prototype.$1 called with a non-global RegExp argument', 'String.$1'],
        [/^precision .* out of range$/, function (m, ctx) {
            var name = calledAs(ctx, ['toFixed', 'toPrecision', 'toExponential']) || 'toFixed';
            return name === 'toFixed' ? 'toFixed() digits argument must be between 0 and 100'
                : name + '() argument must be between ' + (name === 'toPrecision' ? 1 : 0) + ' and 100';
        }, function (m, ctx) { return 'Number.' + (calledAs(ctx, ['toFixed', 'toPrecision', 'toExponential']) || 'toFixed'); }],
        [/^(Number|String|Boolean|Symbol|BigInt)\.prototype\.(\w+) called on incompatible .*$/, "$1.prototype.$2 requires that 'this' be a $1"],
        [/^Date\.prototype\.toISOString called on incompatible .*$/, function (m, ctx) {
            var a = argument(ctx, 0);
            return a ? 'Method Date.prototype.toISOString called on incompatible receiver ' + shown(a.v) : null;
        }],
        [/^Date\.prototype\.(?!toISOString)\w+ called on incompatible .*$/, 'this is not a Date object.'],
        [/^"(.*)" is not a symbol$/, '$1 is not a symbol'],
        // BigInt
        [/^(.*) can't be converted to BigInt because it isn't an integer$/, 'The number $1 cannot be converted to a BigInt because it is not an integer'],
        [/^invalid BigInt syntax$/, function (m, ctx) {
            var a = calledAs(ctx, ['BigInt']) && argument(ctx, 0);
            return a && typeof a.v === 'string' ? 'Cannot convert ' + a.v + ' to a BigInt' : null;
        }],
        [/^Cannot convert a BigInt value to a number$/, function (m, ctx) {
            var line = ctx.frame ? restOfLine(ctx.frame) : '';
            if (/>>>/.test(line)) return 'BigInts have no unsigned right shift, use >> instead';
            // An operator between two operands mixes; a unary plus or a call converts.
            if (!ctx.call() && /^(?:return\s+|(?:(?:var|let|const)\s+)?[\w$.]+\s*=(?!=)\s*)?[^;=]*?[\w$)\]]\s*(?:\*\*|[-+*\/%&|^]|<<|>>)\s*[^=\s]/.test(line))
                return 'Cannot mix BigInt and other types, use explicit conversions';
            return null;
        }],
        [/^BigInt division by zero$/, 'Division by zero'],
        [/^BigInt negative exponent$/, 'Exponent must be positive'],
        [/^BigInt value can't be serialized in JSON$/, 'Do not know how to serialize a BigInt', 'JSON.stringify'],
        [/^can't convert (.*) to BigInt$/, 'Cannot convert $1 to a BigInt'],
        [/^invalid or out-of-range index$/, function (m, ctx) {
            if (calledAs(ctx, ['asIntN', 'asUintN'])) return 'Invalid value: not (convertible to) a safe integer';
            if (calledAs(ctx, ['ArrayBuffer'])) return 'Invalid array buffer length';
            return null;
        }],
        // objects and properties
        [/^right-hand side of 'in' should be an object, got \w+$|^cannot use 'in' operator to search for .* in .*$/, function (m, ctx) {
            var line = ctx.frame ? restOfLine(ctx.frame) : '';
            var at = /(?:^|[\s(=,:?!&|])('(?:[^'\\]|\\.)*'|"(?:[^"\\]|\\.)*"|[\w$.]+)\s+in\s+('(?:[^'\\]|\\.)*'|"(?:[^"\\]|\\.)*"|[\w$.]+)/.exec(line);
            var k = at && valueAt(ctx.frame, at[1]), o = at && valueAt(ctx.frame, at[2]);
            if (!k || !o || isObject(k.v) || isObject(o.v)) return null;
            return "Cannot use 'in' operator to search for '" + (typeof k.v === 'symbol' ? k.v.toString() : String(k.v)) + "' in " + String(o.v);
        }],
        [/^Receiver of (Promise\.prototype\.\w+) call is not a non-null object$/, function (m, ctx) {
            var call = ctx.call(), a = call && /^(?:call|apply)$/.test(call.name) ? argument(ctx, 0) : null;
            return a ? 'Method ' + m[1] + ' called on incompatible receiver ' + shown(a.v) : null;
        }],
        [/^.* is not a non-null object$|^`target` argument of Reflect\.\w+ must be an object, got .*$/, function (m, ctx) {
            var call = ctx.call();
            if (!call) return null;
            if (/^(Object|Reflect)\.\w+$/.test(call.callee)) return call.callee + ' called on non-object';
            if (call.name === 'WeakRef') return 'WeakRef: invalid target';
            var method = /RegExp\.prototype\.(\w+)\.call$/.exec(call.callee), a = argument(ctx, 0);
            if (method && a) return 'Method RegExp.prototype.' + method[1] + ' called on incompatible receiver ' + shown(a.v);
            // An accessor of RegExp.prototype read off its descriptor and called on a primitive.
            var getter = call.name === 'call' &&
                /RegExp\.prototype\s*,\s*['"](\w+)['"]\s*\)\s*\.get\s*\.call\s*\($/.exec(ctx.wholeLine().slice(0, -restOfLine(ctx.frame).length) + 'call(');
            if (getter && a && !isObject(a.v)) return 'RegExp.prototype.' + getter[1] + ' getter called on non-object ' + shown(a.v);
            return null;
        }, function (m, ctx) {
            var call = ctx.call();
            return call && /^(Object|Reflect)\.\w+$/.test(call.callee) ? call.callee : null;
        }],
        [/^property descriptor's (get|set)(?:ter)? field is neither undefined nor a function$/, function (m, ctx) {
            // The field's value: written in the descriptor on the line, or read from the
            // descriptor the call was given.
            var v = writtenField(ctx, m[1]);
            if (!v) {
                var call = ctx.call(), d = call && call.args.length >= 3 ? argument(ctx, 2) : null;
                var held = d && isObject(d.v) && d.v !== PLAIN ? dataOf(d.v, m[1]) : NOTHING;
                if (held !== NOTHING) v = {v: held};
            }
            return v ? (m[1] === 'get' ? 'Getter' : 'Setter') + ' must be a function: ' + shown(v.v) : null;
        }, function (m, ctx) {
            var call = ctx.call();
            return call && /^(Object|Reflect)\.\w+$/.test(call.callee) ? call.callee : null;
        }],
        [/^Property descriptor must be an object, got (.*)$/, 'Property description must be an object: $1'],
        [/^property descriptors must not specify a value or be writable when a getter or setter has been specified$/,
            'Invalid property descriptor. Cannot both specify accessors and a value or writable attribute, #<Object>'],
        [/^can't convert (null|undefined) to object$/, function (m, ctx) {
            return promiseCall(ctx) ? m[1] + ' is not iterable (cannot read property Symbol(Symbol.iterator))'
                : 'Cannot convert undefined or null to object';
        }, function (m, ctx) {
            var call = ctx.call();
            if (promiseCall(ctx)) return 'Promise.' + promiseCall(ctx);
            return call && /^Object\.\w+$/.test(call.callee) ? call.callee : null;
        }],
        [/^can't redefine non-configurable property (.*)$/, function (m, ctx) {
            if (calledAs(ctx, ['freeze'])) return 'Cannot freeze array buffer views with elements';
            return 'Cannot redefine property: ' + key(m[1]);
        }],
        [/^(.*) is read-only$/, function (m, ctx) {
            var owner = ownerAt(ctx.frame);
            var of = !owner ? (/^\d+$/.test(m[1]) ? '[object Array]' : '#<Object>')
                : owner.callable ? "function '" + functionText(owner) + "'" : shown(owner);
            return "Cannot assign to read only property '" + key(m[1]) + "' of " + (owner && owner.callable ? of : "object '" + of + "'");
        }],
        [/^can't define property (.*): \w+ is not extensible$/, function (m) { return 'Cannot add property ' + key(m[1]) + ', object is not extensible'; }],
        [/^property (.*) is non-configurable and can't be deleted$/, function (m, ctx) {
            var owner = ownerAt(ctx.frame);
            // V8 shows a function by its text.
            var of = owner ? (owner.callable ? functionText(owner) : shown(owner))
                : /^\d+$/.test(m[1]) || m[1] === '"length"' ? '[object Array]' : '#<Object>';
            return "Cannot delete property '" + key(m[1]) + "' of " + of;
        }],
        [/^setting getter-only property (.*)$/, function (m, ctx) {
            var owner = ownerAt(ctx.frame);
            return 'Cannot set property ' + key(m[1]) + ' of ' + (owner ? shown(owner) : '#<Object>') + ' which has only a getter';
        }],
        [/^can't set prototype of this object$/, function (m, ctx) {
            var a = argument(ctx, 0), line = ctx.frame ? restOfLine(ctx.frame) : '';
            if (/^\w+\(\s*Object\.prototype\s*,/.test(line)) return "Immutable prototype object 'Object.prototype' cannot have their prototype set";
            return a && isObject(a.v) ? shown(a.v) + ' is not extensible' : '#<Object> is not extensible';
        }],
        [/^can't set prototype: it would cause a prototype chain cycle$/, 'Cyclic __proto__ value'],
        [/^(?:Object|Reflect)\.setPrototypeOf: expected an object or null, got \w+$/, function (m, ctx) {
            var a = argument(ctx, 1);
            return a && !isObject(a.v) ? 'Object prototype may only be an Object or null: ' + String(a.v) : null;
        }],
        [/^can't access private field or method: object is not the right class$/, function (m, ctx) {
            var name = /#[\w$]+/.exec(ctx.frame ? restOfLine(ctx.frame) : '');
            return name ? 'Cannot read private member ' + name[0] + ' from an object whose class did not declare it' : null;
        }],
        [/^can't set private field: object is not the right class$/, function (m, ctx) {
            var name = /#[\w$]+/.exec(ctx.frame ? restOfLine(ctx.frame) : '');
            return name ? 'Cannot write private member ' + name[0] + ' to an object whose class did not declare it' : null;
        }],
        [/^iterable for (?:Object\.fromEntries|Map|WeakMap) should have array-like objects$/, function (m, ctx) {
            var call = ctx.call(), first = call && call.args.length && /^\[\s*([^,\]]+)/.exec(call.args[0]);
            var v = first && valueAt(ctx.frame, first[1].trim());
            return v && !isObject(v.v) ? 'Iterator value ' + String(v.v) + ' is not an entry object' : null;
        }, function (m, ctx) {
            var call = ctx.call();
            return !call ? null : call.callee === 'Object.fromEntries' ? call.callee : /^(Weak)?Map$/.test(call.name) ? 'new ' + call.name : null;
        }],
        [/^can't convert Object\.create\(.*\) to primitive type$/, 'Cannot convert object to primitive value'],
        [/^can't convert [({[].* to (?:number|string|primitive type)$/, 'Cannot convert object to primitive value'],
        // calls and constructors
        [/^class constructors must be invoked with 'new'$/, function (m, ctx) {
            var call = ctx.call(), f = call && valueAt(ctx.frame, call.callee);
            var name = f && isObject(f.v) && f.v.callable ? f.v.name || f.v.displayName : call && call.name;
            return name ? "Class constructor " + name + " cannot be invoked without 'new'" : null;
        }],
        [/^(.+)\(\) is not a function$/, '$1(...) is not a function'],
        [/^([\w$]+(?:\.[\w$]+)+) is not a function$/, function (m, ctx) {
            // The engine leaves out the `?.` of an optional chain; V8 keeps the source's.
            var whole = ctx.wholeLine(), parts = m[1].split('.');
            if (!ctx.frame) return null;
            // A member called through a comma, as bundlers write `(0, m.f)(…)`: V8 prints
            // the comma expression.
            var comma = new RegExp('\\(\\s*(-?\\d+)\\s*,\\s*' + m[1].replace(/[.$]/g, '\\$&') + '\\s*\\)\\s*\\(').exec(whole);
            if (comma) return '(' + comma[1] + ' , ' + m[1] + ') is not a function';
            if (whole.indexOf(m[1]) >= 0) return null;
            for (var i = 1; i < parts.length; i++) {
                var optional = parts.slice(0, i).join('.') + '?.' + parts.slice(i).join('.');
                if (whole.indexOf(optional) >= 0) return optional + ' is not a function';
            }
            return null;
        }],
        [/^(-?\d[\d.e+-]*|true|false) is not a function$/, function (m, ctx) {
            var call = ctx.call();
            if (call && call.name === 'Promise') return 'Promise resolver ' + m[1] + ' is not a function';
            if (call && call.callee === 'Reflect.apply') return 'Function.prototype.apply was called on ' + m[1] + ', which is a ' + (/\d/.test(m[1]) ? 'number' : 'boolean') + ' and not a function';
            return (/\d/.test(m[1]) ? 'number ' : 'boolean ') + m[1] + ' is not a function';
        }],
        [/^"(.*)" is not a function$|^\(\{.*\}\) is not a function$/, function (m, ctx) {
            // A value given to a built-in as its callback: V8 names it by its type.
            var call = ctx.call();
            if (call && call.name === 'Promise') return m[1] === undefined ? 'Promise resolver #<Object> is not a function' : null;
            if (!call || call.callee === call.name || !Object.prototype.hasOwnProperty.call(callers, call.name)) return null;
            return m[1] !== undefined ? 'string "' + m[1] + '" is not a function' : 'object is not a function';
        }],
        [/^(undefined|null|\(\{\}\)) is not a function$/, function (m, ctx) {
            var call = ctx.call();
            var v = m[1] === '({})' ? '#<Object>' : m[1];
            if (call && call.name === 'Promise') return 'Promise resolver ' + v + ' is not a function';
            // Given to a built-in as its callback.
            if (call && call.callee !== call.name && Object.prototype.hasOwnProperty.call(callers, call.name))
                return m[1] === 'null' ? 'object null is not a function' : m[1] === '({})' ? 'object is not a function' : null;
            return null;
        }],
        [/^invalid Array\.prototype\.sort argument$/, function (m, ctx) {
            var a = argument(ctx, 0);
            return 'The comparison function must be either a function or undefined' + (a && !isObject(a.v) ? ': ' + String(a.v) : '');
        }],
        [/^calling a builtin (\w+|typed array) constructor without new is forbidden$/, function (m, ctx) {
            if (m[1] === 'Promise') return "Promise constructor cannot be invoked without 'new'";
            var name = m[1] === 'typed array' ? calledAs(ctx, ['Int8Array', 'Uint8Array', 'Uint8ClampedArray', 'Int16Array', 'Uint16Array',
                'Int32Array', 'Uint32Array', 'Float32Array', 'Float64Array', 'BigInt64Array', 'BigUint64Array']) : m[1];
            return name ? 'Constructor ' + name + " requires 'new'" : null;
        }],
        [/^Function\.prototype\.bind called on incompatible .*$/, 'Bind must be called on a function'],
        [/^Function\.prototype\.(call|apply) called on incompatible (\w+)$/, function (m, ctx) {
            var receiver = receiverOf(m[2]);
            if (receiver) return 'Function.prototype.' + m[1] + ' was called on ' + receiver + ', which is an object and not a function';
            var a = argument(ctx, 0);
            return a && !isObject(a.v) && a.v !== undefined && a.v !== null
                ? 'Function.prototype.' + m[1] + ' was called on ' + String(a.v) + ', which is a ' + typeof a.v + ' and not a function' : null;
        }],
        // V8 shows the value a class extends: a function by its source.
        [/^class heritage (.*) is not an object or null$/, function (m, ctx) {
            var v = ctx.frame ? valueAt(ctx.frame, m[1]) : null;
            return 'Class extends value ' + (v ? heritageText(v.v) : m[1]) + ' is not a constructor or null';
        }],
        [/^(.+) is not a constructor$/, function (m, ctx) {
            var e = ctx.frame ? /\bextends\s+([\w$.]+)\s*\{/.exec(ctx.wholeLine()) : null;
            var v = e && e[1] === m[1] ? valueAt(ctx.frame, m[1]) : null;
            return v ? 'Class extends value ' + heritageText(v.v) + ' is not a constructor or null' : null;
        }],
        [/^must call super constructor before using 'this' in derived class constructor$/,
            "Must call super constructor in derived class before accessing 'this' or returning from derived constructor"],
        [/^super\(\) called twice in derived class constructor$/, 'Super constructor may only be called once'],
        [/^derived class constructor returned invalid value .*$/, 'Derived constructors may only return object or undefined'],
        [/^already executing generator$/, 'Generator is already running'],
        // iteration
        [/^(-?\d[\d.e+-]*) is not iterable$/, function (m, ctx) {
            // A built-in's words (a call, or yield*); the language's own say what the
            // engine says.
            var line = ctx.frame ? restOfLine(ctx.frame) : '';
            return ctx.call() || /^yield\s*\*/.test(line) ? 'number ' + m[1] + ' is not iterable (cannot read property Symbol(Symbol.iterator))' : null;
        }],
        [/^\(\{\}\) is not iterable$/, '{} is not iterable'],
        [/^\(\{.+\}\) is not iterable$/, '{(intermediate value)} is not iterable'],
        [/^\[Symbol\.iterator\]\(\) returned a non-object value$/, 'Result of the Symbol.iterator method is not an object'],
        [/^(undefined|null) has no properties$|^\(destructured parameter\) is (undefined|null)$/, function (m, ctx) {
            var what = m[1] || m[2];
            var first = /^[^{]*\{\s*([\w$]+)/.exec(ctx.frame ? restOfLine(ctx.frame) : '');
            var line = ctx.frame ? restOfLine(ctx.frame) : '';
            // An initializer (`= undefined`) stands after the pattern; the pattern is read
            // back from the statement when the place is the initializer.
            if (!m[2] && !/^\s*\(?\{/.test(line)) first = /\{\s*([\w$]+)[^{}=]*\}\s*=(?!=)/.exec(ctx.wholeLine());
            return first ? "Cannot destructure property '" + first[1] + "' of '" + what + "' as it is " + what + '.'
                : "Cannot destructure '" + what + "' as it is " + what + '.';
        }],
        // An array pattern or spread of a plain call's result: V8 suspects the call too.
        [/^([\w$]+)\((?:\.\.\.)?\) is not iterable$/, '$1 is not a function or its return value is not iterable'],
        // A nested object pattern given nothing: the engine names the path it followed
        // ("o.a is undefined"); V8 the first property the pattern reads from it.
        [/^[\s\S]*?(?:\.([\w$]+)|\.value) is (undefined|null)$/, function (m, ctx) {
            if (!ctx.frame) return null;
            var line = restOfLine(ctx.frame), first = null;
            // The member the path ends in, holding the nested pattern; else (an element
            // of an array pattern) the pattern at the place.
            if (m[1] !== 'value') {
                var member = new RegExp('(?:^|[{,\\s])' + m[1].replace(/\$/g, '\\$') + '\\s*:\\s*\\{\\s*([\\w$]+)');
                first = member.exec(line) || member.exec(ctx.wholeLine());
            }
            if (!first) first = /^(?:\[\s*)?\{\s*([\w$]+)/.exec(line);
            return first ? 'Cannot read properties of ' + m[2] + " (reading '" + first[1] + "')" : null;
        }],
        // collections, buffers and typed arrays
        [/^(get )?(\w+) method called on incompatible (\w+)$/, function (m, ctx) {
            var line = ctx.frame ? restOfLine(ctx.frame) : '', owner = /([A-Z]\w*)\.prototype(?:,\s*'|\.)(\w+)/.exec(line);
            if (!owner && ctx.frame) {
                // The place may be `.call(…)` of a member reached before it on the line.
                var whole = ctx.wholeLine();
                owner = new RegExp('([A-Z]\\w*)\\.prototype(?:,\\s*\'|\\.)' + m[2] + '\\b').exec(whole);
            }
            if (!owner && !m[1] && /^(?:next|return|throw)$/.test(m[2])) {
                // A generator's own method, called on something else.
                var call = ctx.call(), a = call && /\.(?:call|apply)$/.test(call.callee) ? argument(ctx, 0) : null;
                var receiver = a ? shown(a.v) : /^(?:undefined|null)$/.test(m[3]) ? m[3] : receiverOf(m[3]);
                return receiver ? 'Method [Generator].prototype.' + m[2] + ' called on incompatible receiver ' + receiver : null;
            }
            if (!owner) return null;
            if (/Array$/.test(owner[1]) && owner[1] !== 'Array') return 'this is not a typed array.';
            if (/^(Number|String|Boolean|Symbol|BigInt)$/.test(owner[1]))
                return owner[1] + '.prototype.' + m[2] + " requires that 'this' be a " + owner[1];
            var receiver = receiverOf(m[3]);
            return receiver ? 'Method ' + (m[1] || '') + owner[1] + '.prototype.' + m[2] + ' called on incompatible receiver ' + receiver : null;
        }],
        [/^WeakMap key must be an object, got .*$/, 'Invalid value used as weak map key'],
        [/^WeakSet value must be an object, got .*$/, 'Invalid value used in weak set'],
        [/^buffer length for (\w+) should be a multiple of (\d+)$/, 'byte length of $1 should be a multiple of $2'],
        [/^source array is too long$/, 'offset is out of bounds'],
        [/^offset is outside the bounds of the DataView$/, 'Offset is outside the bounds of the DataView'],
        [/^start offset is outside the bounds of the buffer$|^size of buffer is too small for \w+ with byteOffset$/, function (m, ctx) {
            var a = argument(ctx, 1);
            return a && typeof a.v === 'number' ? 'Start offset ' + a.v + ' is outside the bounds of the buffer' : null;
        }],
        [/^attempting to construct out-of-bounds \w+ on ArrayBuffer$/, function (m, ctx) {
            var a = argument(ctx, 2);
            return a && typeof a.v === 'number' ? 'Invalid typed array length: ' + a.v : null;
        }],
        [/^Invalid array length$/, function (m, ctx) {
            var call = ctx.call();
            if (call && /Array$/.test(call.name) && call.name !== 'Array') {
                var a = argument(ctx, 0);
                return a && typeof a.v === 'number' ? 'Invalid typed array length: ' + a.v : null;
            }
            return null;
        }],
        [/^\S+ is not an object$/, function (m, ctx) {
            return calledAs(ctx, ['DataView']) ? 'First argument to DataView constructor must be an ArrayBuffer' : null;
        }],
        // regular expressions
        [/^(unterminated character class|unterminated parenthetical|unmatched \) in regular expression|nothing to repeat|\\ at end of pattern|numbers out of order in \{\} quantifier\.|duplicate capture group name in regular expression|invalid unicode escape in regular expression|invalid range in character class|raw bracket is not allowed in regular expression with unicode flag|invalid regexp group)$/, function (m, ctx) {
            var words = {
                'unterminated character class': 'Unterminated character class',
                'unterminated parenthetical': 'Unterminated group',
                'unmatched ) in regular expression': "Unmatched ')'",
                'nothing to repeat': 'Nothing to repeat',
                '\\ at end of pattern': '\\ at end of pattern',
                'numbers out of order in {} quantifier.': 'numbers out of order in {} quantifier',
                'duplicate capture group name in regular expression': 'Duplicate capture group name',
                'invalid unicode escape in regular expression': 'Invalid Unicode escape',
                'invalid range in character class': 'Range out of order in character class',
                'raw bracket is not allowed in regular expression with unicode flag': 'Lone quantifier brackets',
                'invalid regexp group': 'Invalid group'
            };
            var call = ctx.call();
            if (!call || call.name !== 'RegExp') return null;
            var source = argument(ctx, 0), flags = argument(ctx, 1);
            if (!source || typeof source.v !== 'string' || !flags || (flags.v !== undefined && typeof flags.v !== 'string')) return null;
            return 'Invalid regular expression: /' + source.v + '/' + (flags.v || '') + ': ' + words[m[1]];
        }],
        [/^invalid regular expression flag .*$/, function (m, ctx) {
            var flags = calledAs(ctx, ['RegExp']) && argument(ctx, 1);
            return flags && typeof flags.v === 'string' ? "Invalid flags supplied to RegExp constructor '" + flags.v + "'" : null;
        }],
        [/^unterminated regular expression literal$/, 'Invalid regular expression: missing /'],
        // proxies and Reflect
        [/^`(?:target|handler)` argument of Proxy must be an object, got .*$/, 'Cannot create proxy with a non-object as target or handler'],
        [/^illegal operation attempted on a revoked proxy$/, function (m, ctx) {
            var line = ctx.frame ? restOfLine(ctx.frame) : '';
            var op = ctx.frame && isWrite(ctx.frame) ? 'set' : /^return\s+\S+\s+in\s|^\S+\s+in\s/.test(line) ? 'has' : 'get';
            return "Cannot perform '" + op + "' on a proxy that has been revoked";
        }],
        [/^invalid array type for the operation$/, function (m, ctx) {
            var call = ctx.call();
            if (!call || !/^Atomics\.\w+$/.test(call.callee) || !call.args.length) return null;
            var made = /^new\s+(\w+)\s*\(/.exec(call.args[0]), a = made ? null : argument(ctx, 0), shownArray;
            if (made) shownArray = '[object ' + made[1] + ']';
            else if (a && isObject(a.v) && /Array$/.test(className(a.v))) shownArray = '[object ' + className(a.v) + ']';
            else if (a) shownArray = shown(a.v);
            if (!shownArray) return null;
            return shownArray + (call.name === 'wait' ? ' is not an int32 or BigInt64 typed array.' : ' is not an integer typed array.');
        }, function (m, ctx) {
            var call = ctx.call();
            return call && /^Atomics\.\w+$/.test(call.callee) ? call.callee : null;
        }],
        // A trap that is no function: its value, read from the proxy the place names or
        // written in the handler on the line.
        [/^proxy handler's (\w+) trap wasn't undefined, null, or callable$/, function (m, ctx) {
            if (m[1] === 'apply' || m[1] === 'construct' || !ctx.frame) return null;
            var line = restOfLine(ctx.frame);
            var named = /^[^;]*?\sin\s+([A-Za-z_$][\w$]*)/.exec(line) || /^([A-Za-z_$][\w$]*)/.exec(line);
            var p = named ? valueAt(ctx.frame, named[1]) : null;
            var handler = null, v = null;
            if (p && isObject(p.v) && p.v !== PLAIN && p.v.isProxy && isObject(p.v.proxyHandler)) {
                handler = p.v.proxyHandler;
                var held = dataOf(handler, m[1]);
                if (held !== NOTHING) v = {v: held};
            } else {
                v = writtenField(ctx, m[1]);
            }
            if (!v) return null;
            return "'" + shown(v.v) + "' returned for property '" + m[1] + "' of object '" + (handler ? shown(handler) : '#<Object>') + "' is not a function";
        }],
        [/^proxy set handler returned false for property '(.*)'$/, function (m) { return "'set' on proxy: trap returned falsish for property '" + key(m[1]) + "'"; }],
        // promises
        [/^Argument of Promise\.(all|race|allSettled|any) is not iterable$/, function (m, ctx) {
            var a = calledAs(ctx, [m[1]]) && argument(ctx, 0);
            return (a ? typed(a.v) : 'object') + ' is not iterable (cannot read property Symbol(Symbol.iterator))';
        }, 'Promise.$1'],
        [/^No Promise in Promise\.any was resolved$/, 'All promises were rejected', ''],
        // V8 shows the resolving function, a built-in without a name, above its caller.
        [/^A promise cannot be resolved with itself\.$/, 'Chaining cycle detected for promise #<Promise>', '<anonymous>'],
        // syntax, through eval and Function
        [/^unexpected token: numeric literal$/, 'Unexpected number'],
        [/^unexpected token: string literal$/, 'Unexpected string'],
        [/^unexpected token: '(.*)'$/, "Unexpected token '$1'"],
        [/^unexpected garbage after function body, starting with '(.*)'$/, "Unexpected token '$1'"],
        [/^redeclaration of (?:let|const|class|var|formal parameter) (.*)$/, "Identifier '$1' has already been declared"],
        [/^return not in function$/, 'Illegal return statement'],
        [/^unlabeled break must be inside loop or switch$/, 'Illegal break statement'],
        [/^await is only valid in async functions, async generators and modules$/, 'await is only valid in async functions and the top level bodies of modules'],
        [/^invalid assignment left-hand side$/, 'Invalid left-hand side in assignment'],
        [/^function statement requires a name$/, 'Function statements require a function name'],
        [/^missing = in const declaration$/, 'Missing initializer in const declaration'],
        [/^strict mode code may not contain 'with' statements$/, 'Strict mode code may not include a with statement'],
        [/^"0"-prefixed octal literals are deprecated; use the "0o" prefix instead$/, 'Octal literals are not allowed in strict mode.'],
        [/^'' literal not terminated before end of script$|^"" literal not terminated before end of script$|^unterminated comment$|^illegal character U\+[0-9A-F]+$/, 'Invalid or unexpected token'],
        [/^`` literal not terminated before end of script$/, 'Unexpected end of input'],
        // the engine's Intl
        [/^invalid time zone in DateTimeFormat\(\): (.*)$/, 'Invalid time zone specified: $1'],
        [/^undefined currency in NumberFormat\(\) with currency style$/, 'Currency code is required with currency style.'],
        [/^invalid language tag: "(.*)"$/, 'Invalid language tag: $1'],
        [/^URI malformed$/, null, function (m, ctx) { return calledAs(ctx, ['decodeURI', 'decodeURIComponent', 'encodeURI', 'encodeURIComponent']); }],
        // V8's own words already (a built-in of the persona made them): only the frame
        [/ in JSON at position \d+ \(line \d+ column \d+\)$|^Unexpected end of JSON input$| is not valid JSON$/, null, 'JSON.parse']
    ];

    // A function's source text as V8 quotes it, without running anything.
    function functionText(f) {
        try {
            var script = f.script;
            // The engine's own text of a scripted function is the source as written
            // (function*, a method's name, a class), which is what V8 quotes.
            if (script && !f.isProxy && !f.isBoundFunction) return Function.prototype.toString.call(f.unsafeDereference());
            if (script && script.source && typeof script.sourceStart === 'number') {
                var text = script.source.text.substr(script.sourceStart, script.sourceLength);
                // The engine's text of a function starts at its parameters.
                return text[0] === '(' && !f.isArrowFunction ? 'function ' + (f.name || '') + text : text;
            }
        } catch (e) {
            // no source to show
        }
        return 'function ' + (f.name || '') + '() { [native code] }';
    }

    // The value of the member `name` of an object literal on the frame's line, as {v}.
    function writtenField(ctx, name) {
        if (!ctx.frame) return null;
        var field = new RegExp('\\b' + name + '\\s*:\\s*(\'(?:[^\'\\\\]|\\\\.)*\'|"(?:[^"\\\\]|\\\\.)*"|[\\w$.+-]+|\\{\\s*\\}|\\[\\s*\\])\\s*[,}]');
        var written = field.exec(ctx.wholeLine());
        return written ? valueAt(ctx.frame, written[1]) : null;
    }

    function heritageText(v) {
        if (isObject(v) && v.callable) return functionText(v);
        return isObject(v) || typeof v === 'symbol' ? shown(v) : String(v);
    }

    // ---- built-ins that call the page's functions --------------------------------------

    // The built-ins V8 shows between a callback and the code that called them, by name:
    // the type V8 names them under ('new' for a constructor).
    var callers = {
        map: 'Array', forEach: 'Array', filter: 'Array', reduce: 'Array', reduceRight: 'Array', some: 'Array',
        every: 'Array', find: 'Array', findIndex: 'Array', findLast: 'Array', findLastIndex: 'Array', sort: 'Array',
        flatMap: 'Array', toSorted: 'Array', replace: 'String', replaceAll: 'String', from: 'Array', parse: 'JSON',
        Promise: 'new', String: ''
    };
    // The built-in frame between a function (named `name`) and `older`, whose place is
    // the call of that built-in ("Array.map", "new Promise"), or null.
    function callerBuiltin(name, older, wholeLine) {
        // Most calls are of no such built-in: told by their name alone.
        var named = /^(?:new\s+)?([\w$]*)\s*\(/.exec(restOfLine(older));
        if (!named || (named[1] && !Object.prototype.hasOwnProperty.call(callers, named[1]))) return null;
        var call = callAt(older, wholeLine);
        if (!call || !Object.prototype.hasOwnProperty.call(callers, call.name) || call.name === name) return null;
        var type = callers[call.name], receiver = call.callee.slice(0, -call.name.length - 1);
        if (type === 'new') return /^new\s/.test(restOfLine(older)) ? 'new ' + call.name : null;
        // A conversion the built-in made by calling the page's toString.
        if (type === '') return call.callee === call.name ? call.name : null;
        // A function of the page's own with such a name, called directly.
        if (call.callee === call.name) return null;
        if (call.name === 'parse') return receiver === 'JSON' ? 'JSON.parse' : null;
        if (call.name === 'from') return /^(?:Array|\w+Array)$/.test(receiver) ? receiver + '.from' : null;
        var made = /^new ((?:Big)?(?:Int|Uint|Float)\w*Array)$/.exec(receiver);
        if (type === 'Array' && made) {
            type = made[1];
        } else if (type === 'Array' && receiver) {
            var v = valueAt(older, receiver);
            if (v && isObject(v.v) && /^(?:Big)?(?:Int|Uint|Float)\w*Array$/.test(className(v.v))) type = className(v.v);
        }
        return type + '.' + call.name;
    }

    // The first row whose engine message matches: [V8's message or null, built-in
    // frame or null]; null when none does.
    function reword(text, frame, wholeLine) {
        if (typeof text !== 'string') return null;
        var known;
        var ctx = {
            frame: frame,
            call: function () { return known === undefined ? (known = callAt(frame, wholeLine)) : known; },
            wholeLine: wholeLine
        };
        for (var i = 0; i < rows.length; i++) {
            var m = rows[i][0].exec(text);
            if (!m) continue;
            var to = rows[i][1], message = null;
            if (typeof to === 'string') message = text.replace(rows[i][0], to);
            else if (typeof to === 'function') message = to(m, ctx);
            var builtin = rows[i][2];
            if (typeof builtin === 'function') builtin = builtin(m, ctx);
            else if (typeof builtin === 'string') builtin = builtin.replace(/\$(\d)/g, function (all, d) { return m[d] || ''; });
            return [message, builtin === undefined ? null : builtin];
        }
        return null;
    }
    // The operand of the language's own iteration at the frame's place, as the source
    // writes it: [text, true for a spread in a call's arguments], or null (a built-in's).
    function iteratedOperand(frame, wholeLine) {
        var line = restOfLine(frame), whole = wholeLine(), before = whole.slice(0, Math.max(0, whole.length - line.length));
        var spread = /^\.\.\.\s*([\w$.]+)/.exec(line);
        if (spread) {
            // The bracket the spread stands in: an array's, or a call's parenthesis.
            for (var i = before.length - 1, depth = 0; i >= 0; i--) {
                var c = before[i];
                if (c === ')' || c === ']' || c === '}') depth++;
                else if (c === '(' || c === '[' || c === '{') {
                    if (depth === 0) return [spread[1], c === '('];
                    depth--;
                }
            }
            return [spread[1], false];
        }
        // `[a] = value` and `for (x of value)`: the value's text up to where it ends.
        if (/\]\s*=\s*$|\bof\s+$/.test(before)) {
            var value = /^([^;)]*?)\s*(?:[;)]|$)/.exec(line);
            return value && value[1] ? [value[1], false] : null;
        }
        return null;
    }

    // ---- syntax errors of eval and Function --------------------------------------------

    var reserved = /^(?:break|case|catch|class|const|continue|debugger|default|delete|do|else|enum|export|extends|false|finally|for|function|if|import|in|instanceof|new|null|return|super|switch|this|throw|true|try|typeof|var|void|while|with)$/;
    var punctuator = /^(?:>>>=|\.\.\.|===|!==|\*\*=|<<=|>>=|>>>|&&=|\|\|=|\?\?=|=>|==|!=|<=|>=|&&|\|\||\?\?|\?\.|\+\+|--|\+=|-=|\*=|\/=|%=|&=|\|=|\^=|\*\*|<<|>>|[{}()[\];,<>+\-*\/%&|^!~?:=.@#])/;
    // V8's words for the token at `line`:`column` (from 1 and 0) of `text`.
    function unexpectedAt(text, line, column) {
        var lines = text.split('\n'), l = lines[line - 1];
        if (l === undefined) return null;
        var rest = l.slice(column);
        if (!/\S/.test(rest) && !/\S/.test(lines.slice(line).join('\n'))) return 'Unexpected end of input';
        rest = rest.replace(/^\s+/, '');
        var m;
        if ((m = /^[A-Za-z_$][\w$]*/.exec(rest))) {
            if (reserved.test(m[0])) return "Unexpected token '" + m[0] + "'";
            return "Unexpected identifier '" + m[0] + "'";
        }
        if (/^(?:\d|\.\d)/.test(rest)) return 'Unexpected number';
        if (/^['"]/.test(rest)) return 'Unexpected string';
        if (/^`/.test(rest)) return 'Unexpected template string';
        if ((m = punctuator.exec(rest))) return "Unexpected token '" + m[0] + "'";
        return 'Invalid or unexpected token';
    }
    // The text eval or Function compiled at the frame's place, and how many lines the
    // engine put before it.
    function compiledText(frame, wholeLine) {
        var call = callAt(frame, wholeLine);
        if (!call || (call.name !== 'eval' && call.name !== 'Function') || !call.args.length) return null;
        var v = valueAt(frame, call.args[call.args.length - 1]);
        if (!v || typeof v.v !== 'string') return null;
        // Function's body follows a line of parameters and a line with its brace.
        return {text: v.v, skip: call.name === 'Function' ? 2 : 0};
    }
    function syntaxWords(error, frame, wholeLine) {
        var compiled = frame && compiledText(frame, wholeLine);
        if (!compiled) return null;
        var line = error.lineNumber, column = error.columnNumber;
        if (typeof line !== 'number' || typeof column !== 'number') return null;
        return unexpectedAt(compiled.text, line - compiled.skip, column);
    }

    return {reword: reword, callerBuiltin: callerBuiltin, iteratedOperand: iteratedOperand, syntaxWords: syntaxWords};
});

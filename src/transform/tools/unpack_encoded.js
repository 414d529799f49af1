// Encodings that build a program's text out of a few characters and hand it to Function
// or eval: JSFuck ("[]()!+" only), aaencode (faces: ﾟωﾟﾉ, ﾟДﾟ…) and jjencode ("$=~[];
// $={___:++$,…"). Their own machinery is run in a capture box: every name the code
// looks up goes through a scope object that keeps what it writes to itself, and
// Function, eval and every function's constructor are stand-ins that take the text
// they are given instead of running it. Only a body that returns constants (how these
// encoders spell single characters: "return escape", "return\"\\141…\"") is evaluated,
// inside the same scope. The last text taken is the program.

var unpack_global = this;

// Built-ins a body that only returns constants may name: none of them runs code of
// the script's (Function, eval and constructors are the box's stand-ins).
var unpack_constant_names = new RegExp('^(escape|unescape|eval|this|new|typeof|Date|String|Number|Boolean|Array|Object|' +
    'RegExp|Function|Math|true|false|null|undefined|NaN|Infinity|isNaN|isFinite|parseInt|parseFloat|atob|btoa|' +
    'encodeURI|decodeURI|encodeURIComponent|decodeURIComponent|constructor|toString|name|length|fromCharCode|' +
    'charAt|charCodeAt|slice|substr|substring|split|join|concat|toUpperCase|toLowerCase|italics|fontcolor|' +
    'sub|link|big|anchor|bold|fixed|blink|small|strike|sup|at|indexOf|replace|trim|entries|flat|filter|fill|' +
    'keys|values|reverse|fromCodePoint|self|window|top|parent|frames|document|statusbar|status|location|navigator|' +
    'console)$');

// "return" followed by literals, operators and the few built-ins the encoders reach for,
// or by arrow functions of such ("return a=>b=>a[parseInt(+b,4)]", how JScrewIt spells a
// decoder): names are the built-ins and the arrows' own parameters.
function unpack_constant_body(body) {
    var t = unpack_tokens(body), own = {};
    if (!t.length || t[0].v !== 'return') return false;
    for (var a = 1; a < t.length; a++) {
        if (t[a].v !== '=>' || t[a].k !== 'punc') continue;
        if (t[a - 1].k === 'name') own[t[a - 1].v] = true;
        else if (t[a - 1].v === ')') {
            for (var p = a - 2; p > 0 && t[p].v !== '('; p--) if (t[p].k === 'name') own[t[p].v] = true;
        }
    }
    for (var k = 1; k < t.length; k++) {
        var tok = t[k];
        if (tok.k === 'str' || tok.k === 'num' || tok.k === 're') continue;
        if (tok.k === 'punc' && /^([-+!~()\[\].,;{}]|\+\+|=>)$/.test(tok.v)) continue;
        if (tok.k === 'name' && (unpack_constant_names.test(tok.v) || unpack_has(own, tok.v))) continue;
        return false;
    }
    return true;
}

// Browsers' base64 functions, which encoders made for pages take characters from; the
// workbench's private control has no page objects.
var unpack_page_functions = {
    atob: function (text) {
        var digits = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/', out = [], bits = 0, value = 0;
        text = String(text).replace(/[\t\n\f\r ]/g, '').replace(/==?$/, '');
        for (var i = 0; i < text.length; i++) {
            var d = digits.indexOf(text.charAt(i));
            if (d < 0) throw new Error('atob');
            value = (value << 6) | d;
            bits += 6;
            if (bits >= 8) {
                bits -= 8;
                out.push(String.fromCharCode((value >> bits) & 255));
            }
        }
        return out.join('');
    },
    btoa: function (text) {
        var digits = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/', out = [];
        text = String(text);
        for (var i = 0; i < text.length; i += 3) {
            var a = text.charCodeAt(i), b = text.charCodeAt(i + 1), c = text.charCodeAt(i + 2);
            if (a > 255 || b > 255 || c > 255) throw new Error('btoa');
            var n = (a << 16) | ((b || 0) << 8) | (c || 0);
            out.push(digits.charAt(n >> 18), digits.charAt((n >> 12) & 63),
                     isNaN(b) ? '=' : digits.charAt((n >> 6) & 63), isNaN(c) ? '=' : digits.charAt(n & 63));
        }
        return out.join('');
    }
};

// Runs code in the capture box, as the persona's engine (unpack_personas.js) would; the
// texts handed to Function or eval, in order, each as { kind: 'Function' | 'eval', body }.
// null when the code failed.
function unpack_capture(code, persona) {
    var RealFunction = unpack_global.Function, proto = RealFunction.prototype, saved = proto.constructor;
    var found = [], store = {}, scope;
    function take() {
        var body = arguments.length ? String(arguments[arguments.length - 1]) : '';
        if (unpack_constant_body(body)) {
            var inner = new RealFunction('qyScope', 'with (qyScope) { return function () {\n' + body + '\n}; }')(scope);
            return function () { return inner.apply(scope, arguments); };
        }
        // An empty function is read for its text ("function anonymous(…").
        if (/^\s*$/.test(body)) return RealFunction.apply(null, arguments);
        found.push({ kind: 'Function', body: body });
        return function () {};
    }
    // Encoders read characters out of Function's own text and name.
    take.toString = function () { return RealFunction.prototype.toString.call(RealFunction); };
    Object.defineProperty(take, 'name', { value: 'Function' });
    function takeEval(text) {
        if (typeof text !== 'string') return text;
        found.push({ kind: 'eval', body: text });
        return undefined;
    }
    scope = new unpack_global.Proxy(store, {
        has: function (target, key) { return typeof key === 'string'; },
        get: function (target, key) {
            if (typeof key !== 'string') return undefined;
            if (key === 'Function') return take;
            if (key === 'eval') return takeEval;
            if (Object.prototype.hasOwnProperty.call(target, key)) return target[key];
            if (!(key in unpack_global) && unpack_has(unpack_page_functions, key)) return unpack_page_functions[key];
            if (!(key in unpack_global) && unpack_persona_global(persona, key) !== undefined) return unpack_persona_global(persona, key);
            return unpack_global[key];
        },
        set: function (target, key, value) {
            target[key] = value;
            return true;
        }
    });
    var ok = true, leave = unpack_persona_enter(persona || '');
    proto.constructor = take;
    try {
        new RealFunction('qyScope', 'with (qyScope) {\n' + code + '\n}').call(scope, scope);
    } catch (e) {
        ok = false;
    } finally {
        proto.constructor = saved;
        leave();
    }
    return ok ? found : null;
}

// The program behind tokens a..b of src, as code for their place, or null.
function unpack_decoded(src, t, a, b) {
    var bodies = [], same = true;
    for (var p = 0; p < unpack_personas.length; p++) {
        bodies.push(unpack_decoded_as(src.substring(t[a].s, t[b].e), unpack_personas[p]));
        same = same && bodies[p] === bodies[0];
    }
    if (same) return bodies[0];
    var pick = unpack_persona_pick(bodies);
    return pick < 0 ? null : bodies[pick];
}

// The program behind code as the persona's engine would decode it, or null.
function unpack_decoded_as(code, persona) {
    var found = unpack_capture(code, persona);
    if (!found || !found.length) return null;
    var last = found[found.length - 1], body = last.body;
    if (last.kind === 'Function') {
        // A Function body keeps its names to itself, and may return.
        var bt = unpack_tokens(body), sts = unpack_statements(bt, body), own = false;
        for (var k = 0; k < sts.length && !own; k++) {
            var head = bt[sts[k].a];
            own = head && head.k === 'name' && /^(var|let|const|function|class|return)$/.test(head.v);
        }
        if (own) body = '(function () {\n' + body + '\n})();';
    }
    return unpack_own_lines(body);
}

// A recogniser of one encoding: find(t, statements, i) gives the token range of an
// encoded program starting at statement i, or null.
function unpack_encoded_recogniser(name, label, test, find) {
    return {
        name: name, label: label,
        apply: function (src) {
            if (!test(src)) return null;
            var t = unpack_tokens(src), sts = unpack_statements(t, src), edits = [];
            for (var i = 0; i < sts.length; i++) {
                var range = find(t, sts, i);
                if (!range) continue;
                var text = unpack_decoded(src, t, range.a, range.b);
                if (text === null) continue;
                edits.push({ s: t[range.a].s, e: t[range.b].e, text: text });
                while (i + 1 < sts.length && sts[i + 1].a <= range.b) i++;
            }
            return edits.length ? { text: unpack_splice(src, edits), count: edits.length } : null;
        }
    };
}

// A statement of "[]()!+" only, long enough to be a program.
unpack_recognisers.push(unpack_encoded_recogniser('jsfuck', 'JSFuck', function (src) {
    return /[\[\]()!+]{40}/.test(src);
}, function (t, sts, i) {
    var st = sts[i];
    if (st.b - st.a < 40) return null;
    for (var k = st.a; k <= st.b; k++) {
        if (t[k].k !== 'punc' || !/^([\[\]()!+;]|\+\+)$/.test(t[k].v)) return null;
    }
    return st;
}));

// From "ﾟωﾟﾉ= /｀ｍ´）ﾉ ~┻━┻ /…" to the call "(ﾟДﾟ) ['_'] (…) ('_');".
unpack_recognisers.push(unpack_encoded_recogniser('aaencode', 'AAEncode', function (src) {
    return src.indexOf('\uff9f\u03c9\uff9f\uff89') !== -1 && src.indexOf('\uff9f\u0414\uff9f') !== -1;
}, function (t, sts, i) {
    if (t[sts[i].a].v !== '\uff9f\u03c9\uff9f\uff89' || t[sts[i].a + 1].v !== '=') return null;
    for (var j = i + 1; j < sts.length && j < i + 40; j++) {
        var a = sts[j].a;
        if (t[a].v === '(' && t[a + 1].v === '\uff9f\u0414\uff9f' && t[a + 2].v === ')' && t[a + 3].v === '[' &&
            unpack_string_value(t[a + 4].v) === '_' && t[a + 5].v === ']' && t[a + 6].v === '(') return { a: sts[i].a, b: sts[j].b };
    }
    return null;
}));

// From "V=~[];V={___:++V," to the call "V.$(V.$(…)())();".
unpack_recognisers.push(unpack_encoded_recogniser('jjencode', 'JJEncode', function (src) {
    return /=~\[\];/.test(src) && /\{___:\+\+/.test(src);
}, function (t, sts, i) {
    var a = sts[i].a, v = t[a].v;
    if (t[a].k !== 'name' || t[a + 1].v !== '=' || t[a + 2].v !== '~' || t[a + 3].v !== '[' || t[a + 4].v !== ']') return null;
    var next = sts[i + 1];
    if (!next || t[next.a].v !== v || t[next.a + 2].v !== '{' || t[next.a + 3].v !== '___') return null;
    for (var j = i + 2; j < sts.length && j < i + 12; j++) {
        var b = sts[j].a;
        if (t[b].v === v && t[b + 1].v === '.' && t[b + 2].v === '$' && t[b + 3].v === '(' && t[b + 4].v === v &&
            t[b + 5].v === '.' && t[b + 6].v === '$' && t[b + 7].v === '(') return { a: a, b: sts[j].b };
    }
    return null;
}));

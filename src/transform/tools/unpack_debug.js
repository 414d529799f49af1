// Debug protection: code that keeps a debugger busy. The string-array obfuscator's
// function "function d(p){function r(c){…constructor('debugger')…;r(++c)}try{if(p)return
// r;else r(0)}catch(e){}}", the timer that calls it every few seconds and the guard that
// calls it at once; written by hand, timers and loops that do nothing but stop in the
// debugger, and calls of Function('debugger'). A statement comes off only when it
// touches nothing outside itself: no name of the script but its own and the debug
// functions', no property written, no code made from other text.

// Names a statement may use without declaring them.
var unpack_debug_globals = /^(Function|RegExp|window|self|global|globalThis|setInterval|setTimeout|Date|this|undefined|arguments|true|false|null|NaN|Infinity)$/;
// Members it may read or call.
var unpack_debug_members = /^(setInterval|setTimeout|constructor|call|apply|bind|test|now|getTime)$/;
// Code it may make with Function or a constructor.
var unpack_debug_code = /^(debugger|while \(true\) \{\}|return this|return \(function\(\) \{\}\.constructor\("return this"\)\( \)\);)$/;

// The string token's value is a name that code might make: a call of Function or a
// constructor with it as its only argument.
function unpack_made_code(t, k) {
    // … constructor ( 'code' ) or … ['constructor'] ( 'code' ) or Function ( 'code' )
    if (t[k].k !== 'str' || !t[k - 1] || t[k - 1].v !== '(' || !t[k + 1] || t[k + 1].v !== ')') return null;
    var callee = t[k - 2];
    if (!callee) return null;
    var named = callee.v === 'Function' || (callee.v === 'constructor' && t[k - 3] && t[k - 3].v === '.') ||
        (callee.v === ']' && t[k - 3] && unpack_string_value(t[k - 3].v) === 'constructor');
    return named ? unpack_string_value(t[k].v) : null;
}

// The names declared inside tokens a..b: var/let/const declarators, functions, their
// parameters and catch parameters.
function unpack_declared_in(t, a, b) {
    var names = {}, k, j;
    for (k = a; k <= b; k++) {
        var v = t[k].k === 'name' ? t[k].v : '';
        if (v === 'var' || v === 'let' || v === 'const') {
            var level = 0;
            if (t[k + 1] && t[k + 1].k === 'name') names[t[k + 1].v] = true;
            for (j = k + 2; j <= b; j++) {
                var w = t[j].k === 'punc' ? t[j].v : '';
                if (w === '(' || w === '[' || w === '{') level++;
                else if (w === ')' || w === ']' || w === '}') {
                    if (level === 0) break;
                    level--;
                } else if (level === 0 && (w === ';' || t[j].v === 'in' || t[j].v === 'of')) break;
                else if (level === 0 && w === ',' && t[j + 1] && t[j + 1].k === 'name') names[t[j + 1].v] = true;
            }
        } else if (v === 'function' || v === 'catch') {
            j = k + 1;
            if (t[j] && t[j].k === 'name') names[t[j++].v] = true;
            if (!t[j] || t[j].v !== '(') continue;
            var close = unpack_close(t, j);
            for (var p = j + 1; p < close; p++) if (t[p].k === 'name' && (t[p - 1].v === '(' || t[p - 1].v === ',')) names[t[p].v] = true;
        }
    }
    return names;
}

// Whether tokens a..b touch nothing but their own names, the allowed globals and the
// names in extra; and whether they hold a debugger statement, make one, or use one of
// the names in marks.
function unpack_debug_only(t, a, b, extra, marks) {
    // A member read or called that no debug trap uses rules the tokens out at once,
    // before their own names are gathered (a whole program's statement holds many).
    for (var m = a + 1; m <= b; m++)
        if (t[m].k === 'name' && t[m - 1].v === '.' && t[m].v !== 'debugger' && !unpack_debug_members.test(t[m].v)) return null;
    var own = unpack_declared_in(t, a, b), debug = false;
    for (var k = a; k <= b; k++) {
        var tok = t[k], prev = t[k - 1], next = t[k + 1];
        if (tok.k === 'str') {
            var code = unpack_made_code(t, k);
            if (code !== null) {
                if (!unpack_debug_code.test(code)) return null;
                if (code === 'debugger') debug = true;
            } else if (prev && prev.v === '[' && next && next.v === ']' && k - 2 >= a) {
                // obj['member']: the same rule as obj.member
                if (!unpack_debug_members.test(unpack_string_value(tok.v) || '')) return null;
            }
            continue;
        }
        if (tok.k === 'punc') {
            // No property written or deleted.
            if (/^(=|[-+*\/%&|^]=|<<=|>>>?=|\*\*=|&&=|\|\|=|\?\?=|\+\+|--)$/.test(tok.v)) {
                var target = tok.v === '++' || tok.v === '--' ? (next && next.k === 'name' && !(t[k + 2] && (t[k + 2].v === '.' || t[k + 2].v === '['))
                    ? next : (prev && prev.k === 'name' && !(t[k - 2] && t[k - 2].v === '.') ? prev : null)) : prev;
                if (!target || target.k !== 'name' || (t[k - 2] && t[k - 2].v === '.' && target === prev)) return null;
            }
            continue;
        }
        if (tok.k !== 'name') {
            if (tok.k === 'tpl') return null;
            continue;
        }
        if (tok.v === 'debugger') { debug = true; continue; }
        if (tok.v === 'delete' || tok.v === 'eval' || tok.v === 'import') return null;
        if (prev && prev.v === '.') {
            if (!unpack_debug_members.test(tok.v)) return null;
            continue;
        }
        if (unpack_reserved.test(tok.v) && tok.v !== 'undefined' && tok.v !== 'NaN' && tok.v !== 'Infinity') continue;
        if (unpack_has(marks, tok.v)) { debug = true; continue; }
        if (unpack_has(own, tok.v) || unpack_has(extra, tok.v) || unpack_debug_globals.test(tok.v)) continue;
        return null;
    }
    return debug;
}

// The obfuscator's debug function at tokens[i] ("function"): its name, or null.
function unpack_debug_function(t, i) {
    if (t[i].v !== 'function' || !t[i + 1] || t[i + 1].k !== 'name' || !t[i + 2] || t[i + 2].v !== '(') return null;
    var pc = unpack_close(t, i + 2), bc = pc < 0 ? -1 : unpack_close(t, pc + 1);
    if (bc < 0 || t[pc + 1].v !== '{' || t[pc + 2].v !== 'function' || t[pc + 3].k !== 'name') return null;
    var inner = t[pc + 3].v, ic = unpack_close(t, pc + 4), ib = ic < 0 ? -1 : unpack_close(t, ic + 1);
    if (ib < 0 || t[ib + 1].v !== 'try') return null;
    // The inner function makes debugger statements and calls itself.
    var makes = false, recurs = false, k;
    for (k = ic + 1; k < ib; k++) {
        if (t[k].k === 'str' && unpack_made_code(t, k) === 'debugger') makes = true;
        if (t[k].v === inner && t[k + 1] && t[k + 1].v === '(') recurs = true;
    }
    if (!makes || !recurs) return null;
    // The rest is the try that hands it out or starts it, naming nothing else.
    var names = unpack_declared_in(t, i, bc);
    for (k = ib + 1; k < bc; k++) {
        if (t[k].k === 'name' && !unpack_reserved.test(t[k].v) && !unpack_has(names, t[k].v)) return null;
    }
    return { name: t[i + 1].v, a: i, b: bc, open: pc + 1 };
}

// "var once = (function () { var first = !![]; return function (context, fn) {…} }())":
// the call-once helper the obfuscator's guards go through. Its name, or null.
function unpack_call_once(t, i) {
    if (t[i].k !== 'name' || !t[i + 13] || t[i + 1].v !== '=' || t[i + 2].v !== '(' || t[i + 3].v !== 'function' ||
        t[i + 4].v !== '(' || t[i + 5].v !== ')' || t[i + 6].v !== '{') return null;
    // Declarations without values that dead branches left ahead of it ("var n, o;") are passed over.
    var v = i + 7;
    while (t[v] && t[v].v === 'var' && t[v + 1] && t[v + 1].k === 'name' && t[v + 2] && (t[v + 2].v === ',' || t[v + 2].v === ';')) {
        v += 2;
        while (t[v] && t[v].v === ',' && t[v + 1] && t[v + 1].k === 'name') v += 2;
        if (!t[v] || t[v].v !== ';') return null;
        v++;
    }
    if (!t[v + 6] || t[v].v !== 'var' || t[v + 2].v !== '=') return null;
    var at = v + 3;
    if (t[at].v === '!' && t[at + 1].v === '!' && t[at + 2].v === '[' && t[at + 3].v === ']') at += 4;
    else if (t[at].v === 'true') at += 1;
    else return null;
    if (t[at].v !== ';' || t[at + 1].v !== 'return' || t[at + 2].v !== 'function') return null;
    var close = unpack_close(t, i + 2);
    return close < 0 ? null : { name: t[i].v, a: i, b: close };
}

function unpack_used_outside(t, name, ranges) {
    for (var k = 0; k < t.length; k++) {
        if (t[k].v !== name || t[k].k !== 'name' || (k > 0 && t[k - 1].v === '.')) continue;
        var inside = false;
        for (var r = 0; r < ranges.length && !inside; r++) inside = k >= ranges[r].a && k <= ranges[r].b;
        if (!inside) return true;
    }
    return false;
}

unpack_recognisers.push({
    name: 'debugprotect', label: '调试保护',
    apply: function (src) {
        if (!/debugger/.test(src)) return null;
        var t = unpack_tokens(src), i, k, edits = [], removed = [], count = 0;
        var fns = [], marks = {}, onces = [], onceNames = {};
        for (i = 0; i < t.length; i++) {
            var f = unpack_debug_function(t, i);
            if (f) {
                fns.push(f);
                marks[f.name] = true;
                i = f.b;
                continue;
            }
            if (t[i - 1] && (t[i - 1].v === 'var' || t[i - 1].v === ',')) {
                var o = unpack_call_once(t, i);
                if (o) {
                    onces.push(o);
                    onceNames[o.name] = true;
                }
            }
        }
        // Statements that only keep a debugger busy: at a statement's start, an
        // expression, a loop or an if, outside the debug functions themselves. Such a
        // statement holds a debugger, code making one or a debug function's name: the
        // count of those before every token lets the others be passed over at once.
        var gone = [], partEnd = [], marked = unpack_debug_marks(t, marks);
        for (i = 0; i < t.length; i++) {
            // The other parts of a comma statement are looked into like any code.
            if (partEnd[i] !== undefined) {
                i = partEnd[i];
                continue;
            }
            // Every statement from here on is free of them.
            if (marked[i] === marked[t.length]) break;
            if (!unpack_at_statement(t, i)) continue;
            var inFn = false;
            for (k = 0; k < fns.length && !inFn; k++) inFn = i >= fns[k].a && i <= fns[k].b;
            if (inFn) continue;
            var head = t[i];
            if (!(head.v === '(' || head.v === 'while' || head.v === 'this' || head.v === 'for' || head.v === 'if' || head.v === 'debugger' ||
                  (head.k === 'name' && !unpack_reserved.test(head.v)))) continue;
            // A lone debugger statement is the user's own breakpoint.
            if (head.v === 'debugger') continue;
            var end = unpack_statement_end(t, i);
            if (end < 0 || marked[end + 1] === marked[i]) continue;
            // After a function expression's "}" comes more of its expression, "}(this), …".
            if (!unpack_statement_start(t, i)) continue;
            if (unpack_debug_only(t, i, end, onceNames, marks) === true) {
                gone.push({ a: i, b: end });
                edits.push({ s: t[i].s, e: t[end].e, text: '' });
                count++;
                i = end;
                continue;
            }
            // A comma statement whose parts include a debug timer: only those parts go,
            // "(module(this), debugTimer());" keeps "(module(this));".
            var parts = unpack_comma_parts(t, i, end), debugParts = [];
            for (k = 0; k < parts.length && parts.length > 1; k++)
                if (unpack_debug_only(t, parts[k].a, parts[k].b, onceNames, marks) === true) debugParts.push(parts[k]);
            if (debugParts.length && debugParts.length < parts.length) {
                for (k = 0; k < debugParts.length; k++) {
                    var part = debugParts[k], before = t[part.a - 1], after = t[part.b + 1];
                    gone.push(part);
                    // The part goes with the comma before it (or, first, the one after it).
                    if (before && before.v === ',') edits.push({ s: before.s, e: t[part.b].e, text: '' });
                    else edits.push({ s: t[part.a].s, e: after.e, text: '' });
                    count++;
                    partEnd[part.a] = part.b;
                }
            }
        }
        // A debug function goes when nothing else calls it, otherwise it does nothing.
        for (k = 0; k < fns.length; k++) {
            var f2 = fns[k], ranges = gone.concat([{ a: f2.a, b: f2.b }]);
            if (unpack_used_outside(t, f2.name, ranges)) {
                edits.push({ s: t[f2.open].s, e: t[f2.b].e, text: '{ return function () {}; }' });
            } else {
                edits.push({ s: t[f2.a].s, e: t[f2.b].e, text: '' });
                if (unpack_at_statement(t, f2.a) && unpack_brace_depth(t, f2.a) === 0) removed.push(f2.name);
            }
            count++;
        }
        // The call-once helpers that only the removed guards used.
        for (k = 0; k < onces.length && gone.length; k++) {
            var o2 = onces[k];
            if (unpack_used_outside(t, o2.name, gone.concat([{ a: o2.a, b: o2.b }]))) continue;
            unpack_remove_decl(t, { kind: 'alias', a: o2.a, b: o2.b }, edits, removed);
        }
        return count ? { text: unpack_splice(src, edits), count: count, removed: removed } : null;
    }
});

// For every token index, how many of the tokens before it mark debug code: a debugger
// statement, code made with "debugger" or the name of a debug function. One more place
// at the end holds the count of all of them.
function unpack_debug_marks(t, marks) {
    var out = [0], n = 0;
    for (var k = 0; k < t.length; k++) {
        var tok = t[k];
        if ((tok.k === 'name' && (tok.v === 'debugger' || (marks[tok.v] === true && unpack_has(marks, tok.v)))) ||
            (tok.k === 'str' && unpack_made_code(t, k) === 'debugger')) n++;
        out.push(n);
    }
    return out;
}

// The parts of the expression statement tokens a..b (its ";" and one pair of outer
// parentheses aside) split at its top-level commas.
function unpack_comma_parts(t, a, b) {
    if (t[b].v === ';') b--;
    if (t[a].v === '(' && unpack_close(t, a) === b) {
        a++;
        b--;
    }
    var out = [], depth = 0, from = a;
    for (var k = a; k <= b; k++) {
        var v = t[k].k === 'punc' ? t[k].v : '';
        if (v === '(' || v === '[' || v === '{') depth++;
        else if (v === ')' || v === ']' || v === '}') depth--;
        else if (v === ',' && depth === 0) {
            if (k > from) out.push({ a: from, b: k - 1 });
            from = k + 1;
        }
    }
    if (from <= b) out.push({ a: from, b: b });
    return out;
}

// How many braces are open before tokens[i].
function unpack_brace_depth(t, i) {
    var depth = 0;
    for (var k = 0; k < i; k++) {
        if (t[k].k !== 'punc') continue;
        if (t[k].v === '{') depth++;
        else if (t[k].v === '}') depth--;
    }
    return depth;
}

// String-array obfuscation: the strings of a script moved into one array (a function
// that returns it, or a variable), the array rotated by an immediately called function,
// and every string read back through decoder functions (plain, base64 or rc4), their
// aliases and wrappers with offsets. The array, the rotation and the decoders are run
// in a box of their own; every call with constant arguments becomes its string, and
// when no other use is left the helpers go.

// Top-level statements of the text src as token ranges [a, b] (b inclusive).
function unpack_statements(t, src) {
    var out = [], start = 0, depth = 0, compound = -1;
    unpack_line_between.src = src;
    for (var i = 0; i < t.length; i++) {
        var v = t[i].k === 'punc' ? t[i].v : '';
        // A loop, if, try, switch or block ends where its last part does, with no ";".
        if (i === start) compound = t[i].v === '{' || (t[i].k === 'name' && /^(for|while|if|try|switch|with)$/.test(t[i].v))
            ? unpack_statement_end(t, i) : -1;
        if (v === '(' || v === '[' || v === '{') depth++;
        else if (v === ')' || v === ']' || v === '}') depth--;
        // A function declaration ends with its body, even when "(" follows: "function
        // f(){}(function(){…}())" is a declaration and then a call of its own.
        var end = depth === 0 && (v === ';' || (v === '}' && (t[start].v === 'function' || i === compound)));
        if (end || i === t.length - 1) {
            out.push({ a: start, b: i });
            start = i + 1;
        }
    }
    return out;
}

function unpack_uses(t, st, names) {
    for (var i = st.a; i <= st.b; i++)
        if (t[i].k === 'name' && unpack_has(names, t[i].v) && !(i > 0 && t[i - 1].v === '.')) return true;
    return false;
}

// The name of the array holder: "function N(){var x=['…',…];N=function(){return x};return N()}"
// or "var N=['…',…];", with string items only.
function unpack_array_holder(t, st) {
    var i = st.a, open;
    if (t[i].v === 'function' && t[i + 2].v === '(' && t[i + 3].v === ')' && t[i + 4].v === '{' &&
        t[i + 5].v === 'var' && t[i + 7].v === '=' && t[i + 8].v === '[') open = i + 8;
    else if (t[i].v === 'var' && t[i + 2].v === '=' && t[i + 3].v === '[') open = i + 3;
    else return null;
    var close = unpack_close(t, open);
    if (close < 0 || close - open < 4) return null;
    for (var j = open + 1; j < close; j += 2) {
        if (t[j].k !== 'str' || (t[j + 1].v !== ',' && j + 1 !== close)) return null;
    }
    return t[i + 1].v;
}

// A helper statement as the box runs it and as it is left when the helpers go. The
// obfuscator may join the rotation to other code in one statement, "(rotate(…),
// (function(){…}()));": only the parts naming the array are helpers, the rest stays.
function unpack_helper_parts(src, t, st, holderSet) {
    var whole = { a: st.a, b: st.b, text: src.substring(t[st.a].s, t[st.b].e), keep: '', ranges: [st] };
    var end = t[st.b].v === ';' ? st.b - 1 : st.b;
    if (t[st.a].v !== '(' || unpack_close(t, st.a) !== end) return whole;
    var parts = unpack_args(src, t, st.a, end), used = [], rest = [], ranges = [];
    if (parts.length < 2) return whole;
    for (var k = 0; k < parts.length; k++) {
        var text = src.substring(t[parts[k].a].s, t[parts[k].b].e);
        if (unpack_uses(t, parts[k], holderSet)) {
            used.push(text);
            ranges.push(parts[k]);
        } else {
            rest.push(text);
        }
    }
    if (!rest.length) return whole;
    // What stays is code like any other: its decoder calls are replaced in the same edits.
    return { a: st.a, b: st.b, text: '(' + used.join(',') + ');', keep: null, ranges: ranges };
}

// Tokens of constant arguments: numbers, strings, arithmetic, parentheses.
function unpack_constant_args(t, a, b) {
    for (var i = a; i <= b; i++) {
        if (t[i].k === 'num' || t[i].k === 'str') continue;
        if (t[i].k === 'punc' && /^[-+*(),~]$/.test(t[i].v)) continue;
        return false;
    }
    return true;
}

unpack_recognisers.push({
    name: 'strings', label: '字符串数组',
    apply: function (src) {
        if (src.length < 100 || !/\]\s*;?/.test(src)) return null;
        var t = unpack_tokens(src), sts = unpack_statements(t, src), holder = null, i, j, k;
        for (i = 0; i < sts.length && !holder; i++) holder = unpack_array_holder(t, sts[i]);
        if (!holder) return null;
        var holderSet = {};
        holderSet[holder] = true;
        // The helpers: every top-level statement naming the array.
        var helpers = [], decoders = {}, removed = [];
        for (i = 0; i < sts.length; i++) {
            if (!unpack_uses(t, sts[i], holderSet)) continue;
            helpers.push(unpack_helper_parts(src, t, sts[i], holderSet));
            var first = t[sts[i].a];
            if (first.v === 'function') {
                decoders[t[sts[i].a + 1].v] = true;
                removed.push(t[sts[i].a + 1].v);
            } else if (first.v === 'var' && t[sts[i].a + 2].v === '=' && t[sts[i].a + 3].v === 'function') {
                decoders[t[sts[i].a + 1].v] = true;
            }
        }
        delete decoders[holder];
        var helperText = [];
        for (i = 0; i < helpers.length; i++) helperText.push(helpers[i].text);
        var box;
        try {
            // Names defined later (aliases, wrappers) live on qyScope, seen through "with".
            box = unpack_evaluate('(function () {\n' + helperText.join('\n') +
                '\n;var qyScope = {};\nreturn function (qyCode, qyName) { with (qyScope) {\n' +
                'if (qyName) { qyScope[qyName] = eval("(" + qyCode + ")"); return; }\nreturn eval(qyCode); } };\n})()');
        } catch (e) {
            return null;
        }
        if (typeof box !== 'function') return null;
        // Marks for every token, made whole at once: marks set far into an empty list
        // leave it a slow sparse one.
        var inHelper = [], inDecl = [];
        for (i = 0; i < t.length; i++) {
            inHelper.push(false);
            inDecl.push(null);
        }
        for (i = 0; i < helpers.length; i++) {
            for (k = 0; k < helpers[i].ranges.length; k++)
                for (j = helpers[i].ranges[k].a; j <= helpers[i].ranges[k].b; j++) inHelper[j] = true;
        }
        // Aliases (x = decoder) and wrappers (function w(a, b) { return decoder(a - 12, b); }),
        // until no new one turns up. A name defined twice is left alone.
        var known = {}, defs = {}, clash = {}, decls = [];
        for (k in decoders) if (unpack_has(decoders, k)) known[k] = true;
        // The places that could define one, found once: a name after var, let, const or a
        // comma with "= name" after it, or after function with "(" after it.
        var places = [];
        for (i = 1; i + 2 < t.length; i++) {
            if (inHelper[i] || t[i].k !== 'name') continue;
            if ((t[i + 1].v === '=' && t[i + 2].k === 'name') || (t[i - 1].v === 'function' && t[i + 1].v === '(')) places.push(i);
        }
        for (var grew = true; grew;) {
            grew = false;
            for (var p = 0; p < places.length; p++) {
                i = places[p];
                if (known[t[i].v] || clash[t[i].v]) continue;
                var name = t[i].v, def = null;
                if (t[i + 1].v === '=' && t[i + 2].k === 'name' && known[t[i + 2].v] && t[i + 3] &&
                    /^[,;)}]$/.test(t[i + 3].v) && (t[i - 1].v === 'var' || t[i - 1].v === 'let' ||
                    t[i - 1].v === 'const' || t[i - 1].v === ',')) {
                    def = { kind: 'alias', a: i, b: i + 2, code: t[i + 2].v };
                } else if (t[i - 1].v === 'function' && t[i + 1].v === '(') {
                    var pc = unpack_close(t, i + 1);
                    if (pc < 0 || t[pc + 1].v !== '{' || t[pc + 2].v !== 'return' || t[pc + 3].k !== 'name' ||
                        !known[t[pc + 3].v] || t[pc + 4].v !== '(') continue;
                    var cc = unpack_close(t, pc + 4), bc = unpack_close(t, pc + 1);
                    if (cc < 0 || bc < 0 || !(bc === cc + 1 || (bc === cc + 2 && t[cc + 1].v === ';'))) continue;
                    var params = {}, ok = true;
                    for (j = i + 2; j < pc; j++) if (t[j].k === 'name') params[t[j].v] = true;
                    for (j = pc + 5; j < cc && ok; j++) {
                        ok = t[j].k === 'num' || t[j].k === 'str' || (t[j].k === 'name' && params[t[j].v]) ||
                             (t[j].k === 'punc' && /^[-+*(),~]$/.test(t[j].v));
                    }
                    if (!ok) continue;
                    def = { kind: 'wrapper', a: i - 1, b: bc, code: src.substring(t[i - 1].s, t[bc].e) };
                } else {
                    continue;
                }
                if (defs[name] && defs[name].code !== def.code) {
                    clash[name] = true;
                    continue;
                }
                if (!defs[name]) {
                    defs[name] = def;
                    decls.push(def);
                    known[name] = true;
                    grew = true;
                    try {
                        box(def.code, name);
                    } catch (e2) {
                        clash[name] = true;
                    }
                }
            }
        }
        for (k in clash) if (unpack_has(clash, k)) delete known[k];
        // Every call with constant arguments becomes its string.
        var edits = [], count = 0, left = 0, callees = {};
        for (i = 0; i < decls.length; i++) for (j = decls[i].a; j <= decls[i].b; j++) inDecl[j] = decls[i];
        for (i = 0; i < t.length; i++) {
            if (inHelper[i] || t[i].k !== 'name' || !known[t[i].v] || (i > 0 && t[i - 1].v === '.')) continue;
            if (inDecl[i] && (inDecl[i].a === i || inDecl[i].a + 1 === i)) continue;  // the name being defined
            if (t[i + 1] && t[i + 1].v === '(') {
                var close = unpack_close(t, i + 1);
                if (close > i + 2 && !inDecl[i] && unpack_constant_args(t, i + 2, close - 1)) {
                    var value;
                    try {
                        value = unpack_box_call(box, t, i, close, src, callees);
                    } catch (e3) {
                        value = null;
                    }
                    if (typeof value === 'string') {
                        edits.push({ s: t[i].s, e: t[close].e, text: unpack_quote(value) });
                        count++;
                        i = close;
                        continue;
                    }
                }
            }
            if (!inDecl[i]) left++;
        }
        if (!count) return null;
        // With no use left, the helpers and the definitions go.
        if (!left) {
            for (i = 0; i < helpers.length; i++) {
                if (helpers[i].keep !== null) {
                    edits.push({ s: t[helpers[i].a].s, e: t[helpers[i].b].e, text: '' });
                    continue;
                }
                // Only the parts naming the array go, each with the comma after it.
                for (k = 0; k < helpers[i].ranges.length; k++) {
                    var part = helpers[i].ranges[k], comma = t[part.b + 1];
                    edits.push({ s: t[part.a].s, e: comma && comma.v === ',' ? comma.e : t[part.b].e, text: '' });
                }
            }
            for (i = 0; i < decls.length; i++) unpack_remove_decl(t, decls[i], edits, removed);
        }
        var text = unpack_tidy(unpack_fold_numbers(unpack_join_strings(unpack_splice(src, edits))));
        return { text: text, count: count, removed: left ? [] : removed };
    }
});

// The value of the call of a decoder at tokens[at] whose "(" closes at tokens[close]. The
// box gives the function once; arguments that are single literals are read here, so
// that a script of ten thousand calls is not ten thousand evaluations. Anything else is
// evaluated in the box as written. A function found on the box's scope object is called
// with that object as this, as the evaluated call would be.
function unpack_box_call(box, t, at, close, src, callees) {
    var name = t[at].v, callee = unpack_has(callees, name) ? callees[name] : null;
    if (!callee) {
        callee = callees[name] = { fn: box(name), self: box('unpack_has(qyScope, "' + name + '") ? qyScope : undefined') };
    }
    var args = [], k = at + 2, whole = src.substring(t[at].s, t[close].e);
    if (typeof callee.fn !== 'function') return box(whole);
    while (k < close) {
        var negative = t[k].v === '-' && t[k].k === 'punc', tok = t[negative ? k + 1 : k], value;
        if (!tok || (tok.k !== 'num' && tok.k !== 'str') || (negative && tok.k !== 'num')) return box(whole);
        if (tok.k === 'num') {
            if (!/^(0[xX][0-9a-fA-F]+|\d+)$/.test(tok.v)) return box(whole);
            value = Number(tok.v);
            if (negative) value = -value;
        } else {
            value = unpack_string_value(tok.v);
            if (value === null) return box(whole);
        }
        args.push(value);
        k += negative ? 2 : 1;
        if (k < close && t[k].v !== ',') return box(whole);
        k++;
    }
    return callee.fn.apply(callee.self, args);
}

// The edit taking out an alias declarator (with its comma, or its whole "var" statement)
// or a wrapper function.
function unpack_remove_decl(t, d, edits, removed) {
    if (d.kind === 'wrapper') {
        edits.push({ s: t[d.a].s, e: t[d.b].e, text: '' });
        if (unpack_at_statement(t, d.a)) removed.push(t[d.a + 1].v);
        return;
    }
    var before = t[d.a - 1], after = t[d.b + 1];
    if (after && after.v === ',') edits.push({ s: t[d.a].s, e: after.e, text: '' });
    else if (before.v === ',') edits.push({ s: before.s, e: t[d.b].e, text: '' });
    else if (after && after.v === ';') edits.push({ s: before.s, e: after.e, text: '' });
    else edits.push({ s: before.s, e: t[d.b].e, text: '' });
}

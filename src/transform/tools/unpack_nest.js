// Nested literals taken apart: an obfuscator that moves object keys out of the way also
// moves each inner object or array into a temporary of its own ("var _0x40e93f = {name:
// 'tea'}; var catalog = {'SKU-1': _0x40e93f};"). A temporary named as the obfuscator names
// them (_0x…), holding a literal of nothing but constants, and read once, later, in the
// same run of its function (not in a loop or function of its own, with no case label
// between that could skip the declaration) goes back where it is read and its
// declaration goes. Building a literal of constants earlier or later cannot be told
// apart, so nothing between the two needs to be looked at beyond that.

// tokens[open] opens an array or object literal of constants only (strings, numbers,
// true, false, null, nested literals of the same kind, keys): the index of its closer,
// else -1.
function unpack_constant_literal(t, open) {
    var close = unpack_close(t, open);
    if (close < 0) return -1;
    for (var k = open + 1; k < close; k++) {
        var tok = t[k];
        if (tok.k === 'str' || tok.k === 'num') continue;
        if (tok.k === 'punc' && /^([{}\[\],:]|-)$/.test(tok.v)) continue;
        if (tok.k === 'name' && /^(true|false|null)$/.test(tok.v)) continue;
        // A plain key ("name: …") inside an object.
        if (tok.k === 'name' && t[k + 1] && t[k + 1].v === ':' && /^[{,]$/.test(t[k - 1].v)) continue;
        return -1;
    }
    return close;
}

// tokens[a..b] is one constant: a string, a number (negative too), true, false, null or a
// literal of constants.
function unpack_constant_value(t, a, b) {
    if (a === b) return t[a].k === 'str' || t[a].k === 'num' || (t[a].k === 'name' && /^(true|false|null)$/.test(t[a].v));
    if (b === a + 1) return t[a].v === '-' && t[a].k === 'punc' && t[b].k === 'num';
    return /^[{\[]$/.test(t[a].v) && t[a].k === 'punc' && unpack_constant_literal(t, a) === b;
}

// The read at tokens[use] of the temporary declared at tokens[decl] may take its literal:
// a value in an object or array literal, an argument, the right side of a plain
// assignment or what a function returns, reached once each time the declaration runs.
function unpack_nest_place(t, decl, use, scopes) {
    var prev = t[use - 1].v, next = t[use + 1] ? t[use + 1].v : '';
    if (scopes.fnOf[use] !== scopes.fnOf[decl] || !/^[,\])};]$/.test(next)) return false;
    var stack = [];
    for (var k = decl; k < use; k++) {
        var tok = t[k], v = tok.k === 'punc' ? tok.v : '';
        if (v === '{' || v === '(' || v === '[') stack.push(k);
        else if (v === '}' || v === ')' || v === ']') {
            // The read lies outside the block that declares the temporary.
            if (!stack.length) return false;
            stack.pop();
        } else if (v === '=>' || (tok.k === 'name' && /^(case|default|for|while|do)$/.test(tok.v) && !stack.length)) {
            // An arrow's body, a loop's body without braces or a case the declaration may
            // be skipped to.
            return false;
        }
    }
    for (var n = 0; n < stack.length; n++) {
        var open = t[stack[n]], before = t[stack[n] - 1];
        if (open.v === '{' && !(before && /^[:,(\[=]$/.test(before.v) && before.k === 'punc')) return false;
        // "x[_0x1]" reads a member.
        if (open.v === '[' && before && ((before.k === 'name' && !unpack_reserved.test(before.v)) || /^[)\]}]$/.test(before.v))) return false;
        if (open.v === '(' && before && before.k === 'name' && /^(for|while|catch|with|function)$/.test(before.v)) return false;
        // A literal on the left of "=" is a pattern: the read would be a write.
        var close = unpack_close(t, stack[n]);
        if (open.v !== '(' && (close < 0 || (t[close + 1] && t[close + 1].v === '='))) return false;
    }
    var inner = stack.length ? t[stack[stack.length - 1]].v : '';
    if (prev === '=') return !stack.length && t[use - 1].k === 'punc';
    if (prev === 'return' || prev === 'throw') return !stack.length && t[use - 1].k === 'name';
    if (prev === ':') return inner === '{';
    // "{a, _0x1}" is a shorthand key, not a value.
    if (prev === ',' || prev === '[' || prev === '(') return inner === '[' || inner === '(';
    return false;
}

unpack_recognisers.push({
    name: 'nest', label: '嵌套字面量',
    apply: function (src) {
        if (!/_0x[0-9a-f]+\s*=\s*[{\[]/.test(src)) return null;
        var t = unpack_tokens(src), i, k, scopes = null, edits = [], count = 0, taken = {};
        for (i = 1; i + 3 < t.length; i++) {
            if (t[i].k !== 'name' || !/^_0x[0-9a-f]+$/.test(t[i].v) || t[i + 1].v !== '=' || !/^[{\[]$/.test(t[i + 2].v) ||
                !(t[i - 1].v === 'var' || t[i - 1].v === ',' || t[i - 1].v === 'let' || t[i - 1].v === 'const')) continue;
            var close = unpack_constant_literal(t, i + 2);
            if (close < 0 || !t[close + 1] || !/^[,;]$/.test(t[close + 1].v)) continue;
            if (!scopes) scopes = unpack_scopes_of(t);
            // The temporary lives in its function, from its parameters to its end; at the
            // top level the whole script may read it.
            var name = t[i].v, from = scopes.fnOf[i], to = from < 0 ? t.length - 1 : scopes.ends[from];
            if (to === undefined) continue;
            var list = unpack_name_places(t, name), reads = [];
            for (var n = 0; n < list.length; n++) {
                k = list[n];
                if (k !== i && k >= from && k <= to) reads.push(k);
            }
            if (reads.length !== 1 || reads[0] < close || taken[reads[0]] || !unpack_nest_place(t, i, reads[0], scopes)) continue;
            // The literal moved must not itself be the place another temporary goes this time.
            var clash = false;
            for (k = i; k <= close && !clash; k++) if (taken[k]) clash = true;
            if (clash) continue;
            // Two declarations of one statement going at once would cut the same comma.
            var mine = [{ s: t[reads[0]].s, e: t[reads[0]].e, text: src.substring(t[i + 2].s, t[close].e) }];
            unpack_remove_decl(t, { kind: 'alias', a: i, b: close }, mine, []);
            for (k = 0; k < edits.length && !clash; k++)
                if (edits[k].s < mine[1].e && mine[1].s < edits[k].e) clash = true;
            if (clash) continue;
            for (k = i; k <= close; k++) taken[k] = true;
            taken[reads[0]] = true;
            edits = edits.concat(mine);
            count++;
            i = close;
        }
        return edits.length ? { text: unpack_splice(src, edits), count: count } : null;
    }
});

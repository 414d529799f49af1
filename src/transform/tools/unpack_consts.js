// Constant objects: the string-array obfuscator moves the numbers and keys of its
// decoder calls into an object per function ("var o = {_0x4f14a2: 0x142, _0x1b: 'k3Y!'};
// … dec(o._0x4f14a2, o._0x1b)"). Every read of such an object becomes its literal and
// the object goes, so that the calls have constant arguments again. Only objects whose
// keys are all the obfuscator's own names (_0x…, or names of one to three characters
// when it mangles, read only as call arguments then), whose values are all literals,
// declared once, and read nowhere but through their keys.

// The object literal at tokens[open] ("{"): { key: literal text } when every member is
// _0x…: literal, otherwise null.
function unpack_const_members(t, open, close) {
    var members = {}, j = open + 1, any = false;
    while (j < close) {
        var key = t[j].k === 'name' ? t[j].v : (t[j].k === 'str' ? unpack_string_value(t[j].v) : null);
        if (key === null || !/^(_0x[0-9a-f]+|[A-Za-z][A-Za-z0-9]{0,2})$/.test(key) || !t[j + 1] || t[j + 1].v !== ':') return null;
        if (key.charAt(0) !== '_') members[' short'] = true;
        var v = j + 2, text;
        if (t[v].v === '-' && t[v].k === 'punc' && t[v + 1] && t[v + 1].k === 'num') {
            text = '(-' + t[v + 1].v + ')';
            v++;
        } else if (t[v].k === 'num' || t[v].k === 'str') {
            text = t[v].v;
        } else {
            return null;
        }
        if (unpack_has(members, key) && key !== ' short') return null;
        members[key] = text;
        any = true;
        j = v + 1;
        if (t[j] && t[j].v === ',') j++;
        else if (j !== close) return null;
    }
    return any ? members : null;
}

// For every token, the index of the "(" opening the parameters of the innermost function
// around it (-1 at the top level), and for every such "(", the index of the "}" ending
// that function's body.
function unpack_function_scopes(t) {
    // opened: the bracket that the token before closed, when it closed one.
    var fnOf = [], ends = [], stack = [], parens = [], opened = -1, current = -1, i;
    for (i = 0; i < t.length; i++) {
        fnOf.push(current);
        // Kept whole (ends set far into an empty list would leave it a slow sparse one).
        ends.push(undefined);
        var v = t[i].k === 'punc' ? t[i].v : '', before = opened;
        opened = -1;
        if (v === '(' || v === '[') parens.push(i);
        else if (v === ')' || v === ']') {
            if (parens.length) opened = parens.pop();
        } else if (v === '{') {
            var params = -1;
            if (t[i - 1] && t[i - 1].v === ')' && before >= 0) {
                var open = before, head = t[open - 1];
                if (head && (head.v === 'function' || (head.k === 'name' && !unpack_reserved.test(head.v)) ||
                    (head.k === 'name' && t[open - 2] && t[open - 2].v === 'function'))) params = open;
            } else if (t[i - 1] && t[i - 1].v === '=>') {
                params = i - 1;
            }
            stack.push({ params: params, outer: current });
            if (params >= 0) {
                current = params;
                // The parameters belong to the function too.
                for (var k = params; k <= i; k++) fnOf[k] = current;
            }
        } else if (v === '}') {
            var frame = stack.pop();
            if (frame && frame.params >= 0) {
                ends[frame.params] = i;
                current = frame.outer;
            }
        }
    }
    return { fnOf: fnOf, ends: ends };
}

unpack_recognisers.push({
    name: 'consts', label: '常量对象',
    apply: function (src) {
        if (!/[{,]\s*['"]?[A-Za-z_][A-Za-z0-9_]*['"]?\s*:\s*-?\s*(0x[0-9a-f]+|\d|['"])/.test(src)) return null;
        var t = unpack_tokens(src), i, k, scopes = null, edits = [], count = 0;
        for (i = 1; i + 3 < t.length; i++) {
            if (t[i].k !== 'name' || t[i + 1].v !== '=' || t[i + 2].v !== '{' ||
                !(t[i - 1].v === 'var' || t[i - 1].v === ',' || t[i - 1].v === 'let' || t[i - 1].v === 'const')) continue;
            var close = unpack_close(t, i + 2);
            if (close < 0 || !t[close + 1] || !/^[,;]$/.test(t[close + 1].v)) continue;
            var members = unpack_const_members(t, i + 2, close);
            if (!members) continue;
            if (!scopes) scopes = unpack_scopes_of(t);
            // The object lives in its function (var), from its parameters to its end.
            var name = t[i].v, from = scopes.fnOf[i], to = from < 0 ? t.length - 1 : scopes.ends[from];
            if (to === undefined) continue;
            var uses = [], fine = true, list = unpack_name_places(t, name);
            for (var n = 0; n < list.length && fine; n++) {
                k = list[n];
                if (k === i || k < from || k > to) continue;
                var key = null, end = -1;
                if (t[k + 1] && t[k + 1].v === '.' && t[k + 2]) {
                    key = t[k + 2].v;
                    end = k + 2;
                } else if (t[k + 1] && t[k + 1].v === '[' && t[k + 2] && t[k + 2].k === 'str' && t[k + 3] && t[k + 3].v === ']') {
                    key = unpack_string_value(t[k + 2].v);
                    end = k + 3;
                }
                // Anything else (a declaration or parameter of the same name, a write, the
                // object handed on) leaves it alone.
                var written = t[end + 1] && /^(=|\+\+|--|[-+*\/%&|^]=|<<=|>>>?=|\*\*=|&&=|\|\|=|\?\?=)$/.test(t[end + 1].v);
                // Short names, as mangled code has them, only as arguments of a call.
                var argument = /^[(,-]$/.test(t[k - 1].v) && t[end + 1] && /^[,)]$/.test(t[end + 1].v);
                if (key === null || key === ' short' || !unpack_has(members, key) || written ||
                    /^(\+\+|--|delete|typeof)$/.test(t[k - 1].v) || (members[' short'] && !argument)) fine = false;
                else uses.push({ s: t[k].s, e: t[end].e, text: members[key] });
            }
            if (!fine) continue;
            for (n = 0; n < uses.length; n++) edits.push(uses[n]);
            count += uses.length;
            unpack_remove_decl(t, { kind: 'alias', a: i, b: close }, edits, []);
            i = close;
        }
        return edits.length ? { text: unpack_splice(src, edits), count: Math.max(count, 1) } : null;
    }
});

// Control-flow obfuscation: proxy objects of small functions and string constants
// ({'aBcDe': function (x, y) { return x + y; }, 'fGhIj': '3|1|0|2'}) put back inline,
// and flattened blocks ("var order = '3|1|0|2'.split('|'), i = 0; while (true) {
// switch (order[i++]) { case '0': …; continue; … } break; }") put back in order.

// The argument texts of the call whose "(" is tokens[open], split at top-level commas.
function unpack_args(src, t, open, close) {
    var out = [], depth = 0, from = open + 1;
    for (var i = open + 1; i < close; i++) {
        var v = t[i].k === 'punc' ? t[i].v : '';
        if (v === '(' || v === '[' || v === '{') depth++;
        else if (v === ')' || v === ']' || v === '}') depth--;
        else if (v === ',' && depth === 0) {
            out.push({ a: from, b: i - 1 });
            from = i + 1;
        }
    }
    if (from < close) out.push({ a: from, b: close - 1 });
    return out;
}

// An operand in parentheses unless it is a name, a literal or a chain of member reads
// and calls.
function unpack_operand(src, t, r) {
    var text = src.substring(t[r.a].s, t[r.b].e), depth = 0;
    for (var i = r.a; i <= r.b; i++) {
        var v = t[i].k === 'punc' ? t[i].v : '';
        if (v === '(' || v === '[') { depth++; continue; }
        if (v === ')' || v === ']') { depth--; continue; }
        if (depth > 0) continue;
        if (!(t[i].k === 'name' && !unpack_reserved.test(t[i].v)) && t[i].k !== 'num' && t[i].k !== 'str' && v !== '.')
            return '(' + text + ')';
    }
    return text;
}

// An object built member by member ("var o = {}; o.a = 1, o['b'] = f;") put back as
// the literal it was ("var o = {'a': 1, 'b': f};"), values in the same order and none
// of them naming the object; then "var p = o" with no other use of o takes the literal.
unpack_recognisers.push({
    name: 'objectkeys', label: '对象字面量',
    apply: function (src) {
        if (!/=\s*\{/.test(src)) return null;
        var t = unpack_tokens(src), i, k, built = [];
        unpack_line_between.src = src;
        for (i = 1; i + 4 < t.length; i++) {
            if (t[i].k !== 'name' || t[i + 1].v !== '=' || t[i + 2].v !== '{' ||
                !(t[i - 1].v === 'var' || t[i - 1].v === ',' || t[i - 1].v === 'let' || t[i - 1].v === 'const')) continue;
            // A literal of constants may start it too; then the values added must be
            // constants as well, so that making them earlier cannot be told apart.
            var declEnd = t[i + 3].v === '}' ? i + 3 : unpack_constant_literal(t, i + 2), constant = declEnd !== i + 3;
            if (declEnd < 0) continue;
            var name = t[i].v;
            // The var statement must end here; the assignments follow as statements.
            if (!t[declEnd + 1] || t[declEnd + 1].v !== ';') continue;
            var at = declEnd + 2, members = [], lastEnd = -1;
            while (t[at] && t[at].v === name && t[at + 1]) {
                var key = null, valueAt;
                if (t[at + 1].v === '.' && t[at + 2] && t[at + 2].k === 'name' && t[at + 3] && t[at + 3].v === '=') {
                    key = t[at + 2].v;
                    valueAt = at + 4;
                } else if (t[at + 1].v === '[' && t[at + 2] && t[at + 2].k === 'str' && t[at + 3] && t[at + 3].v === ']' &&
                           t[at + 4] && t[at + 4].v === '=') {
                    key = unpack_string_value(t[at + 2].v);
                    valueAt = at + 5;
                }
                if (key === null || !t[valueAt]) break;
                // The value runs to the comma or semicolon at its level.
                var depth = 0, e = valueAt, uses = false;
                for (; e < t.length; e++) {
                    var v = t[e].k === 'punc' ? t[e].v : '';
                    if (v === '(' || v === '[' || v === '{') depth++;
                    else if (v === ')' || v === ']' || v === '}') {
                        if (depth === 0) break;
                        depth--;
                    } else if (depth === 0 && (v === ',' || v === ';')) break;
                    if (t[e].v === name && t[e].k === 'name' && !(t[e - 1] && t[e - 1].v === '.')) uses = true;
                }
                if (uses || e === valueAt || !t[e] || (t[e].v !== ',' && t[e].v !== ';')) break;
                if (constant && !unpack_constant_value(t, valueAt, e - 1)) break;
                members.push({ key: key, a: valueAt, b: e - 1 });
                lastEnd = e;
                at = e + 1;
                if (t[e].v === ';') continue;
            }
            // Only whole statements of assignments: the last one must end in ";".
            while (members.length && t[lastEnd].v !== ';') {
                members.pop();
                lastEnd = members.length ? members[members.length - 1].b + 1 : -1;
            }
            if (!members.length) continue;
            var seen = {}, props = [], clash = false;
            // The keys the literal has itself, not those of literals inside it.
            for (k = i + 3, depth = 0; k < declEnd; k++) {
                var p = t[k].k === 'punc' ? t[k].v : '';
                if (p === '{' || p === '[') depth++;
                else if (p === '}' || p === ']') depth--;
                else if (depth === 0 && t[k + 1].v === ':' && /^[{,]$/.test(t[k - 1].v))
                    seen[t[k].k === 'str' ? unpack_string_value(t[k].v) : t[k].v] = true;
            }
            if (constant) props.push(src.substring(t[i + 3].s, t[declEnd - 1].e));
            for (k = 0; k < members.length; k++) {
                if (unpack_has(seen, members[k].key) || members[k].key === '__proto__') clash = true;
                seen[members[k].key] = true;
                props.push(unpack_quote(members[k].key) + ':' + src.substring(t[members[k].a].s, t[members[k].b].e));
            }
            if (clash) continue;
            built.push({ s: t[i + 2].s, e: t[lastEnd].e, text: '{' + props.join(',') + '};' });
            i = lastEnd;
        }
        return built.length ? { text: unpack_splice(src, built), count: built.length } : unpack_alias_literal(src, t);
    }
});

// "var o = {'k': function…, l: 'text'}; … var p = o" where o has no other use: p
// takes the literal. Its values make nothing happen, so where it is made does not matter.
// Every such object whose text meets no other one's goes in the same step.
function unpack_alias_literal(src, t) {
    var edits = [], taken = [], count = 0, scopes = null;
    function meets(list) {
        for (var a = 0; a < list.length; a++)
            if (unpack_ranges_meet(taken, list[a].s, list[a].e)) return true;
        return false;
    }
    for (var i = 1; i + 3 < t.length; i++) {
        if (t[i].k !== 'name' || t[i + 1].v !== '=' || t[i + 2].v !== '{' || !(t[i - 1].v === 'var' || t[i - 1].v === ',')) continue;
        var name = t[i].v, close = unpack_close(t, i + 2), j, k;
        if (close < 0 || close === i + 3 || !t[close + 1] || !/^[,;]$/.test(t[close + 1].v)) continue;
        // 'key': function (…) {…} or 'key': literal (the key quoted or not), and nothing else.
        var ok = true, own = true;
        for (j = i + 3; j < close && ok;) {
            if ((t[j].k !== 'str' && t[j].k !== 'name') || t[j + 1].v !== ':') { ok = false; break; }
            if (!/^(?=.*[a-z])(?=.*[A-Z])[A-Za-z]{5}$/.test(t[j].k === 'str' ? unpack_string_value(t[j].v) || '' : t[j].v)) own = false;
            var v = j + 2, end;
            if (t[v].k === 'str' || t[v].k === 'num') end = v;
            else if (t[v].v === 'function' && t[v + 1].v === '(') end = unpack_close(t, unpack_close(t, v + 1) + 1);
            else { ok = false; break; }
            if (end < 0 || !(t[end + 1].v === ',' || end + 1 === close)) { ok = false; break; }
            j = end + 2;
        }
        if (!ok) continue;
        // Only the function that declares it is looked at: mangled code gives the same
        // short name to objects of many functions.
        if (!scopes) scopes = unpack_scopes_of(t);
        var from = scopes.fnOf[i], to = from < 0 ? t.length - 1 : scopes.ends[from];
        if (to === undefined) continue;
        var alias = -1, others = 0, uses = unpack_name_places(t, name);
        for (var u = 0; u < uses.length; u++) {
            k = uses[u];
            if (k === i || k < from || k > to) continue;
            if (t[k - 1].v === '=' && t[k - 2] && t[k - 2].k === 'name' && t[k - 3] && (t[k - 3].v === 'var' || t[k - 3].v === ',') &&
                t[k + 1] && /^[,;]$/.test(t[k + 1].v) && k > close && scopes.fnOf[k] === from) alias = k;
            else others++;
        }
        if (alias >= 0 && others && own) {
            // The obfuscator's own object also named elsewhere (its dead branches hand it on):
            // the alias reads the same object, so its reads name the object itself and the
            // alias goes. Both names are only read here: neither is written nor declared
            // again inside.
            var aliasName = t[alias - 2].v, both = [aliasName, name], swap = [], sound = true;
            for (var b = 0; b < both.length && sound; b++) {
                var list = unpack_name_places(t, both[b]);
                for (u = 0; u < list.length && sound; u++) {
                    k = list[u];
                    if (k < from || k > to || k === i || k === alias || k === alias - 2) continue;
                    if (!unpack_plain_read(t, k)) sound = false;
                    else if (b === 0) swap.push({ s: t[k].s, e: t[k].e, text: name });
                }
            }
            if (!sound) continue;
            if (t[alias + 1].v === ',') swap.push({ s: t[alias - 2].s, e: t[alias + 1].e, text: '' });
            else if (t[alias - 3].v === ',') swap.push({ s: t[alias - 3].s, e: t[alias].e, text: '' });
            else swap.push({ s: t[alias - 3].s, e: t[alias + 1].e, text: '' });
            if (meets(swap)) continue;
            taken = taken.concat(swap);
            edits = edits.concat(swap);
            count++;
            continue;
        }
        if (alias < 0 || others) continue;
        var mine = [{ s: t[alias].s, e: t[alias].e, text: src.substring(t[i + 2].s, t[close].e) }];
        if (t[close + 1].v === ',') mine.push({ s: t[i].s, e: t[close + 1].e, text: '' });
        else if (t[i - 1].v === ',') mine.push({ s: t[i - 1].s, e: t[close].e, text: '' });
        else mine.push({ s: t[i - 1].s, e: t[close + 1].e, text: '' });
        if (meets(mine)) continue;
        unpack_ranges_add(taken, mine[0].s, mine[0].e);
        unpack_ranges_add(taken, mine[1].s, mine[1].e);
        edits.push(mine[0], mine[1]);
        count++;
        i = close;
    }
    return count ? { text: unpack_splice(src, edits), count: count } : null;
}

// tokens[k] (a name) is read there: not written, not declared, not a parameter.
function unpack_plain_read(t, k) {
    var prev = t[k - 1], next = t[k + 1];
    if (!prev || /^(\+\+|--|delete|var|let|const|function|class|\.|\?\.)$/.test(prev.v)) return false;
    if (next && /^(=|[-+*\/%&|^]=|<<=|>>>?=|\*\*=|&&=|\|\|=|\?\?=|\+\+|--|=>)$/.test(next.v)) return false;
    if (next && next.v === ':' && /^[{,]$/.test(prev.v)) return false;
    if (prev.v !== '(' && prev.v !== ',') return true;
    // Inside parentheses: those of a call hold reads, those of a function, arrow or catch
    // declare. In brackets or braces it might be a pattern that declares: not told here.
    for (var depth = 0, j = k - 1; j >= 0; j--) {
        var v = t[j].k === 'punc' ? t[j].v : '';
        if (v === ')' || v === ']' || v === '}') depth++;
        else if (v === '(' || v === '[' || v === '{') {
            if (depth-- > 0) continue;
            if (v !== '(') return false;
            var close = unpack_close(t, j), before = t[j - 1];
            if (close > 0 && t[close + 1] && t[close + 1].v === '=>') return false;
            return !(before && (before.v === 'function' || before.v === 'catch' || (t[j - 2] && t[j - 2].v === 'function')));
        }
    }
    return true;
}

// tokens[k] names a label or an object's key, not a variable: "k: for (…)", "continue k",
// "{k: 1}".
function unpack_label_or_key(t, k) {
    var prev = t[k - 1], next = t[k + 1];
    if (prev && (prev.v === 'break' || prev.v === 'continue') && prev.k === 'name') return true;
    return !!(next && next.v === ':' && (!prev || /^[{};,]$/.test(prev.v)));
}

// The members of a proxy object literal at tokens[open] ("{"): { key: member } where a
// member is a string or number (value), a function returning two parameters joined by
// an operator (binary) or returning a call of its first parameter with the others in
// order (call); null when any member is something else. A member reading another object
// ("'k': f.abc") makes it wait (null) until that one is inlined.
function unpack_proxy_members(src, t, open, close) {
    var props = {}, j = open + 1, any = false;
    while (j < close) {
        var key = t[j].k === 'str' ? unpack_string_value(t[j].v) : (t[j].k === 'name' ? t[j].v : null);
        if (key === null || key === '__proto__' || !t[j + 1] || t[j + 1].v !== ':' || unpack_has(props, key)) return null;
        var v = j + 2, end;
        if ((t[v].k === 'str' || t[v].k === 'num') && (t[v + 1].v === ',' || v + 1 === close)) {
            props[key] = { kind: 'value', text: t[v].v };
            end = v;
        } else if (t[v].v === 'function' && t[v + 1].v === '(') {
            var pc = unpack_close(t, v + 1), bc = pc > 0 ? unpack_close(t, pc + 1) : -1, params = [];
            if (bc < 0) return null;
            for (var p = v + 2; p < pc; p += 2) params.push(t[p].v);
            end = bc;
            var body = t.slice(pc + 2, bc);
            if (body.length && body[body.length - 1].v === ';') body.pop();
            if (body.length < 3 || body[0].v !== 'return') return null;
            // "return (a + b)", as an inlined member leaves it.
            if (body[1].v === '(' && unpack_close(body, 1) === body.length - 1) body = [body[0]].concat(body.slice(2, body.length - 1));
            if (params.length === 2 && body.length === 4 && body[1].v === params[0] && body[3].v === params[1] &&
                (body[2].k === 'punc' || body[2].v === 'in' || body[2].v === 'instanceof') &&
                /^([-+*\/%<>&|^]|<<|>>|>>>|<=|>=|==|!=|===|!==|&&|\|\||\*\*|in|instanceof)$/.test(body[2].v)) {
                props[key] = { kind: 'binary', op: body[2].v };
            } else if (params.length >= 1 && body[1].v === params[0] && body[2].v === '(' && body[body.length - 1].v === ')') {
                var same = body.length === 4 + Math.max(0, 2 * (params.length - 1) - 1);
                for (var q = 1; same && q < params.length; q++) same = body[3 + 2 * (q - 1)].v === params[q];
                if (!same) return null;
                props[key] = { kind: 'call', n: params.length - 1 };
            } else {
                return null;
            }
        } else {
            return null;
        }
        any = true;
        j = end + 1;
        if (t[j].v === ',') j++;
        else if (j !== close) return null;
    }
    return any ? props : null;
}

// Proxy objects of control-flow obfuscation put back inline, each in the function that
// declares it (mangled code gives the same short name to objects of many functions).
// Every use of the name there must read a known member: obj.key or obj.key(…). Objects
// whose edits do not overlap go in one step.
unpack_recognisers.push({
    name: 'proxy', label: '代理对象',
    apply: function (src) {
        if (!/[{,]\s*('[A-Za-z]{5}'|[A-Za-z_$][\w$]*)\s*:\s*(function\s*\(|'[^']*'\s*[,}])/.test(src)) return null;
        var t = unpack_tokens(src), edits = [], count = 0, scopes = null, taken = [], k;
        function overlaps(list) {
            for (var a = 0; a < list.length; a++)
                if (unpack_ranges_meet(taken, list[a].s, list[a].e)) return true;
            return false;
        }
        for (var i = 1; i + 3 < t.length; i++) {
            if (t[i].k !== 'name' || t[i + 1].v !== '=' || t[i + 2].v !== '{' ||
                !(t[i - 1].v === 'var' || t[i - 1].v === ',')) continue;
            var name = t[i].v, close = unpack_close(t, i + 2);
            if (close < 0 || !t[close + 1] || !/^[,;]$/.test(t[close + 1].v)) continue;
            var props = unpack_proxy_members(src, t, i + 2, close);
            if (!props) continue;
            if (!scopes) scopes = unpack_scopes_of(t);
            var from = scopes.fnOf[i], to = from < 0 ? t.length - 1 : scopes.ends[from];
            if (to === undefined) continue;
            // The obfuscator's own objects (every key five random letters) may also be
            // named elsewhere, as its dead branches hand them on: their member reads are
            // inlined all the same and the object stays until those uses are gone.
            var own = true, handed = false, keys = 0, mixed = 0;
            for (k = i + 3; k < close && own; k++) {
                if (!(t[k + 1] && t[k + 1].v === ':' && (t[k - 1].v === '{' || t[k - 1].v === ','))) continue;
                var word = t[k].k === 'str' ? unpack_string_value(t[k].v) : t[k].v;
                own = /^[A-Za-z]{5}$/.test(word || '');
                keys++;
                if (own && /^.+[A-Z]/.test(word) && /[a-z]/.test(word)) mixed++;
            }
            // Random mixed-case words, not a user's {width: …, color: …}.
            own = own && mixed * 2 >= keys;
            var uses = [], fine = true, list = unpack_name_places(t, name);
            for (var n = 0; n < list.length && fine; n++) {
                var u = list[n];
                if (u === i || u < from || u > to) continue;
                // Any other use of such an object but a write (handed on, or "new o(…)" in a dead
                // branch) waits for that branch to go.
                if (own && !(t[u + 1] && (t[u + 1].v === '.' || t[u + 1].v === '[' ||
                    /^(=|\+=|-=|\+\+|--)$/.test(t[u + 1].v))) && !/^(\+\+|--|delete)$/.test(t[u - 1].v)) {
                    handed = true;
                    continue;
                }
                // So does a read by a computed key, "o[k].id", that is no write.
                if (own && t[u + 1] && t[u + 1].v === '[' && !(t[u + 2] && t[u + 2].k === 'str' && t[u + 3] && t[u + 3].v === ']')) {
                    var shut = unpack_close(t, u + 1);
                    if (shut > 0 && !(t[shut + 1] && /^(=|\+=|-=|\+\+|--)$/.test(t[shut + 1].v)) && !/^(\+\+|--|delete)$/.test(t[u - 1].v)) {
                        handed = true;
                        continue;
                    }
                }
                var key = null, last = -1;
                if (t[u + 1] && t[u + 1].v === '.' && t[u + 2]) {
                    key = t[u + 2].v;
                    last = u + 2;
                } else if (t[u + 1] && t[u + 1].v === '[' && t[u + 2] && t[u + 2].k === 'str' && t[u + 3] && t[u + 3].v === ']') {
                    key = unpack_string_value(t[u + 2].v);
                    last = u + 3;
                }
                var writes = (t[last + 1] && /^(=|\+=|-=|\+\+|--)$/.test(t[last + 1].v)) || /^(\+\+|--|delete)$/.test(t[u - 1].v);
                // A member it does not have ("o.apply(…)", as dead branches call it) waits too.
                if (own && key !== null && !unpack_has(props, key) && !writes) {
                    handed = true;
                    continue;
                }
                if (key === null || !unpack_has(props, key) || writes) {
                    fine = false;
                    break;
                }
                uses.push({ at: u, last: last, prop: props[key] });
            }
            // An object no one reads makes nothing happen: it goes.
            if (!fine) continue;
            // A use inside another's arguments is put into that one's text: the uses are
            // taken from the last, so that each finds those inside it done (local then
            // runs from the end of the text back).
            var local = [];
            var within = function (from, to) {
                var out = [], at = from;
                for (var q = local.length - 1; q >= 0 && local[q].s < to; q--) {
                    if (local[q].s < at) continue;
                    out.push(src.substring(at, local[q].s), local[q].text);
                    at = local[q].e;
                }
                out.push(src.substring(at, to));
                return out.join('');
            };
            var operand = function (r) {
                var text = within(t[r.a].s, t[r.b].e);
                return unpack_operand(src, t, r) === src.substring(t[r.a].s, t[r.b].e) ? text : '(' + text + ')';
            };
            for (var w = uses.length - 1; w >= 0 && fine; w--) {
                var at = uses[w].at, pr = uses[w].prop;
                if (pr.kind === 'value') {
                    // A number after a name or keyword keeps a blank: "return-1".
                    local.push({ s: t[at].s, e: t[uses[w].last].e, text: pr.text });
                    continue;
                }
                var open = uses[w].last + 1;
                if (!t[open] || t[open].v !== '(') { fine = false; break; }
                var cl = unpack_close(t, open), args = unpack_args(src, t, open, cl);
                if (pr.kind === 'binary' && args.length === 2) {
                    local.push({ s: t[at].s, e: t[cl].e, text: '(' + operand(args[0]) + ' ' + pr.op + ' ' + operand(args[1]) + ')' });
                } else if (pr.kind === 'call' && args.length === pr.n + 1) {
                    var rest = [];
                    for (var a = 1; a < args.length; a++) rest.push(within(t[args[a].a].s, t[args[a].b].e));
                    local.push({ s: t[at].s, e: t[cl].e, text: operand(args[0]) + '(' + rest.join(', ') + ')' });
                } else {
                    fine = false;
                }
            }
            if (!fine) continue;
            // The outermost uses carry the others.
            var outer = [];
            for (var x = local.length - 1, reach = -1; x >= 0; x--) {
                if (local[x].s < reach) continue;
                outer.push(local[x]);
                reach = local[x].e;
            }
            // With every use replaced the declarator goes, with its comma.
            var drop = [];
            if (!local.length && !handed) count++;
            if (!handed) {
                if (t[close + 1].v === ',') drop.push({ s: t[i].s, e: t[close + 1].e, text: '' });
                else if (t[i - 1].v === ',') drop.push({ s: t[i - 1].s, e: t[close].e, text: '' });
                else drop.push({ s: t[i - 1].s, e: t[close + 1].e, text: '' });
            }
            var mine = outer.concat(drop);
            if (overlaps(mine)) continue;
            // The object's own text is taken too: uses of others inside it wait.
            for (var m = 0; m < mine.length; m++) {
                unpack_ranges_add(taken, mine[m].s, mine[m].e);
                edits.push(mine[m]);
            }
            unpack_ranges_add(taken, t[i].s, t[close].e);
            count += local.length;
            i = close;
        }
        return count ? { text: unpack_splice(src, edits), count: count } : null;
    }
});

unpack_recognisers.push({
    name: 'flatten', label: '控制流平坦化',
    apply: function (src) {
        if (!/(\.split|\[\s*'split'\s*\])\(\s*'\|'\s*\)/.test(src)) return null;
        // An order joined from split strings stands in parentheses, "=('2|0|1').split('|')",
        // or is split through brackets, "'2|0|1'['split']('|')".
        var t = unpack_tokens(src), edits = [], bare = [], p;
        for (p = 1; p + 4 < t.length; p++) {
            if (t[p].v === '(' && t[p + 1].k === 'str' && t[p + 2].v === ')' && t[p + 3].v === '.' && t[p + 4].v === 'split' &&
                t[p - 1].v === '=') bare.push({ s: t[p].s, e: t[p].e, text: '' }, { s: t[p + 2].s, e: t[p + 2].e, text: '' });
            if (t[p - 1].k === 'str' && t[p].v === '[' && unpack_string_value(t[p + 1].v) === 'split' && t[p + 2].v === ']' &&
                t[p + 3].v === '(') bare.push({ s: t[p].s, e: t[p + 2].e, text: '.split' });
        }
        if (bare.length) {
            src = unpack_splice(src, bare);
            t = unpack_tokens(src);
        }
        var scopes = null;
        // The order and its counter in one declaration or in two, "var o = …; var i = 0;".
        var shape = ['var', '', '=', '', '.', 'split', '(', '', ')', ',', '', '=', '0', ';', 'while', '('];
        var shape2 = ['var', '', '=', '', '.', 'split', '(', '', ')', ';', 'var', '', '=', '0', ';', 'while', '('];
        for (var i = 0; i + 40 < t.length; i++) {
            var k, ok = true, two = t[i + 9].v === ';', form = two ? shape2 : shape;
            for (k = 0; k < form.length && ok; k++) if (form[k] && t[i + k].v !== form[k]) ok = false;
            if (!ok || t[i + 3].k !== 'str' || t[i + 7].k !== 'str' || unpack_string_value(t[i + 7].v) !== '|') continue;
            var order = unpack_string_value(t[i + 3].v), list = t[i + 1].v, index = t[i + (two ? 11 : 10)].v;
            var w = i + (two ? 16 : 15), wc = unpack_close(t, w);
            var cond = src.substring(t[w].e, t[wc].s).replace(/\s/g, '');
            if (order === null || (cond !== '!![]' && cond !== 'true') || t[wc + 1].v !== '{') continue;
            var sw = wc + 2, seq = ['switch', '(', list, '[', index, '++', ']', ')', '{'];
            for (k = 0; k < seq.length && ok; k++) if (t[sw + k].v !== seq[k]) ok = false;
            if (!ok) continue;
            var bodyOpen = sw + 8, bodyClose = unpack_close(t, bodyOpen), loopClose = unpack_close(t, wc + 1);
            if (bodyClose < 0 || t[bodyClose + 1].v !== 'break' || t[bodyClose + 2].v !== ';' || loopClose !== bodyClose + 3) continue;
            // The cases: each "case 'n':" with a body ending in "continue;" and no other jump.
            var cases = {}, returning = {}, at = bodyOpen + 1;
            while (ok && at < bodyClose) {
                if (t[at].v !== 'case' || t[at + 1].k !== 'str' || t[at + 2].v !== ':') { ok = false; break; }
                var key = unpack_string_value(t[at + 1].v), from = at + 3, to = from, depth = 0;
                while (to < bodyClose && !(depth === 0 && t[to].v === 'case')) {
                    var v = t[to].k === 'punc' ? t[to].v : '';
                    if (v === '(' || v === '[' || v === '{') depth++;
                    else if (v === ')' || v === ']' || v === '}') depth--;
                    to++;
                }
                // A case ends in "continue;", or (the last step only) in a return.
                var returns = false, last = to - 2;
                if (to - from < 2 || t[to - 2].v !== 'continue' || t[to - 1].v !== ';') {
                    unpack_line_between.src = src;
                    for (k = from; k < to && !returns; k++) {
                        if (t[k].v === 'return' && (k === from || unpack_at_statement(t, k)) && unpack_statement_end(t, k) === to - 1) returns = true;
                    }
                    if (!returns) { ok = false; break; }
                    last = to;
                }
                for (k = from; k < last && ok; k++) {
                    if (t[k].v === 'continue' || t[k].v === 'break' || t[k].v === 'default' || t[k].v === 'case') ok = false;
                }
                cases[key] = returns ? src.substring(t[from].s, t[to - 1].e) : (to - 2 > from ? src.substring(t[from].s, t[to - 3].e) : '');
                if (returns) returning[key] = true;
                at = to;
            }
            if (!ok) continue;
            var steps = order.split('|'), out = [], seen = {};
            for (k = 0; k < steps.length && ok; k++) {
                if (!unpack_has(cases, steps[k]) || seen[steps[k]] || (returning[steps[k]] && k !== steps.length - 1)) ok = false;
                seen[steps[k]] = true;
                out.push(cases[steps[k]]);
            }
            // Neither the order nor its counter may be used elsewhere in their function.
            if (!scopes) scopes = unpack_scopes_of(t);
            var scopeFrom = Math.max(0, scopes.fnOf[i]), scopeTo = scopes.fnOf[i] < 0 ? t.length - 1 : scopes.ends[scopes.fnOf[i]];
            for (k = scopeFrom; k <= scopeTo && ok; k++) {
                if ((k < i || k > loopClose) && (t[k].v === list || t[k].v === index) && !(k > 0 && t[k - 1].v === '.')) ok = false;
            }
            if (!ok) continue;
            edits.push({ s: t[i].s, e: t[loopClose].e, text: out.join('\n') });
            i = loopClose;
        }
        return edits.length ? { text: unpack_splice(src, edits), count: edits.length } : null;
    }
});

// Dead code: branches behind a comparison of two literals ("if ('xYz' !== 'xYz') {…}
// else {…}", "'aBc' === 'dEf' ? … : …"), as the string-array obfuscator injects them
// and as they stand once its strings are plain again. Only the branch that runs stays.

// The index of the last token of the statement that starts at tokens[i], or -1 when
// it cannot be told without guessing (a simple statement that a line break might end).
function unpack_statement_end(t, i) {
    if (!t[i]) return -1;
    var v = t[i].v, c, k, b;
    if (t[i].k === 'punc' && v === '{') return unpack_close(t, i);
    if (t[i].k === 'punc' && v === ';') return i;
    if (t[i].k === 'name') {
        if (v === 'if') {
            c = unpack_close(t, i + 1);
            k = c < 0 ? -1 : unpack_statement_end(t, c + 1);
            if (k < 0) return -1;
            return t[k + 1] && t[k + 1].v === 'else' ? unpack_statement_end(t, k + 2) : k;
        }
        if (v === 'for' || v === 'while' || v === 'with') {
            c = unpack_close(t, i + 1);
            return c < 0 ? -1 : unpack_statement_end(t, c + 1);
        }
        if (v === 'do') {
            k = unpack_statement_end(t, i + 1);
            if (k < 0 || !t[k + 1] || t[k + 1].v !== 'while') return -1;
            c = unpack_close(t, k + 2);
            return c < 0 ? -1 : (t[c + 1] && t[c + 1].v === ';' ? c + 1 : c);
        }
        if (v === 'try') {
            k = unpack_close(t, i + 1);
            while (k > 0 && t[k + 1] && (t[k + 1].v === 'catch' || t[k + 1].v === 'finally')) {
                b = k + 2;
                if (t[b] && t[b].v === '(') b = unpack_close(t, b) + 1;
                k = b > 0 ? unpack_close(t, b) : -1;
            }
            return k;
        }
        if (v === 'switch') {
            c = unpack_close(t, i + 1);
            return c < 0 ? -1 : unpack_close(t, c + 1);
        }
        if (v === 'function' && t[i + 1] && t[i + 1].k === 'name' && t[i + 2] && t[i + 2].v === '(') {
            c = unpack_close(t, i + 2);
            return c < 0 ? -1 : unpack_close(t, c + 1);
        }
        if (v === 'class') return -1;
    }
    // A simple statement: to its semicolon, or to the brace closing its block. A line
    // break on the way might end it sooner, so that is left alone.
    var depth = 0;
    for (k = i; k < t.length; k++) {
        var p = t[k].k === 'punc' ? t[k].v : '';
        if (p === '(' || p === '[' || p === '{') depth++;
        else if (p === ')' || p === ']' || p === '}') {
            if (depth === 0) return k - 1;
            depth--;
        } else if (p === ';' && depth === 0) return k;
        if (depth === 0 && t[k + 1] && unpack_line_between(t, k) && !unpack_goes_on(t, k)) return -1;
    }
    return -1;
}

// The statement goes on over the line break after tokens[k] for certain: the token before
// it wants an operand, or the token after it can only join what stands before (an
// operator that is not also a prefix one, a dot, a comma).
var unpack_wants_operand = /^([-+*\/%&|^!~?:,.=(\[{<>]|\*\*|<<|>>|>>>|<=|>=|==|!=|===|!==|&&|\|\||\?\?|=>|[-+*\/%&|^]=|\*\*=|<<=|>>>?=|&&=|\|\|=|\?\?=|\?\.|\.\.\.)$/;
var unpack_joins_before = /^([*%&|^?:,.=<>]|\*\*|<<|>>|>>>|<=|>=|==|!=|===|!==|&&|\|\||\?\?|=>|[-+*\/%&|^]=|\*\*=|<<=|>>>?=|&&=|\|\|=|\?\?=|\?\.)$/;
function unpack_goes_on(t, k) {
    var a = t[k], b = t[k + 1];
    if (a.k === 'punc' && unpack_wants_operand.test(a.v)) return true;
    if (a.k === 'name' && /^(in|instanceof|typeof|new|void|delete)$/.test(a.v)) return true;
    if (b.k === 'punc' && unpack_joins_before.test(b.v)) return true;
    return b.k === 'name' && (b.v === 'in' || b.v === 'instanceof');
}

// The source between tokens[k] and tokens[k + 1] holds a line break.
function unpack_line_between(t, k) {
    return unpack_line_between.src.substring(t[k].e, t[k + 1].s).search(/[\n\r\u2028\u2029]/) !== -1;
}
unpack_line_between.src = '';

// The value of a literal token: a string or a plain number; undefined for anything else.
function unpack_literal_value(tok) {
    if (tok.k === 'str') {
        var s = unpack_string_value(tok.v);
        return s === null ? undefined : s;
    }
    if (tok.k === 'num' && /^(0[xX][0-9a-fA-F]+|(0|[1-9]\d*)(\.\d+)?([eE][+-]?\d+)?)$/.test(tok.v)) return Number(tok.v);
    return undefined;
}

// true or false for tokens a..b that compare two literals (in parentheses or not);
// null for anything else.
function unpack_constant_test(t, a, b) {
    while (a < b && t[a].v === '(' && t[a].k === 'punc' && unpack_close(t, a) === b) {
        a++;
        b--;
    }
    if (b - a !== 2 || t[a + 1].k !== 'punc') return null;
    var x = unpack_literal_value(t[a]), y = unpack_literal_value(t[b]), op = t[a + 1].v;
    if (x === undefined || y === undefined) return null;
    if (op === '===') return x === y;
    if (op === '!==') return x !== y;
    if (op === '==') return x == y;  // eslint-disable-line eqeqeq
    if (op === '!=') return x != y;  // eslint-disable-line eqeqeq
    return null;
}

// Names a dropped branch declares with var (or as a function) outside nested
// functions: they are hoisted, so a use elsewhere must keep its declaration.
function unpack_hoisted_names(t, a, b) {
    var names = [], depth = 0, fn = [], k;
    for (k = a; k <= b; k++) {
        var v = t[k].k === 'punc' ? t[k].v : '';
        if (v === '{') depth++;
        else if (v === '}') {
            depth--;
            if (fn.length && fn[fn.length - 1] === depth) fn.pop();
        }
        if (t[k].k !== 'name' || fn.length) {
            if (t[k].v === 'function' && t[k].k === 'name') fn.push(depth);
            continue;
        }
        if (t[k].v === 'function') {
            if (t[k + 1] && t[k + 1].k === 'name' && unpack_at_statement(t, k)) names.push(t[k + 1].v);
            fn.push(depth);
        } else if (t[k].v === 'var') {
            // Each declarator's name: the first, then the one after every comma at its level.
            var level = 0;
            if (t[k + 1] && t[k + 1].k === 'name') names.push(t[k + 1].v);
            for (var j = k + 2; j <= b; j++) {
                var w = t[j].k === 'punc' ? t[j].v : '';
                if (w === '(' || w === '[' || w === '{') level++;
                else if (w === ')' || w === ']' || w === '}') {
                    if (level === 0) break;
                    level--;
                } else if (level === 0 && (w === ';' || t[j].v === 'in' || t[j].v === 'of')) break;
                else if (level === 0 && w === ',' && t[j + 1] && t[j + 1].k === 'name') names.push(t[j + 1].v);
            }
        }
    }
    return names;
}

// The declarations of a dropped branch that code outside it still needs, as "var a, b;".
// Uses inside the token ranges of gone (branches dropped in the same step) do not count.
function unpack_kept_declarations(t, a, b, gone) {
    var names = unpack_hoisted_names(t, a, b), kept = [], seen = {};
    if (!names.length) return '';
    // Where every name stands but after a dot, found once a list.
    if (!t.occurs) {
        var occurs = {};
        for (var k = 0; k < t.length; k++) {
            if (t[k].k !== 'name' || (k > 0 && t[k - 1].v === '.')) continue;
            var key = ' ' + t[k].v;
            if (occurs[key]) occurs[key].push(k);
            else occurs[key] = [k];
        }
        t.occurs = occurs;
    }
    for (var n = 0; n < names.length; n++) {
        if (seen[names[n]]) continue;
        seen[names[n]] = true;
        var list = t.occurs[' ' + names[n]];
        if (!list || (list[0] >= a && list[list.length - 1] <= b)) continue;
        for (var u = 0; u < list.length; u++) {
            var at = list[u], inGone = at >= a && at <= b;
            for (var g = 0; g < (gone ? gone.length : 0) && !inGone; g++) inGone = at >= gone[g].a && at <= gone[g].b;
            if (!inGone) {
                kept.push(names[n]);
                break;
            }
        }
    }
    return kept.length ? 'var ' + kept.join(', ') + ';' : '';
}

// A block's statements hold a declaration bound to the block (let, const, class, or a
// function, whose block rules differ between engines).
function unpack_block_scoped(t, open, close) {
    var depth = 0;
    for (var k = open + 1; k < close; k++) {
        var v = t[k].k === 'punc' ? t[k].v : '';
        if (v === '(' || v === '[' || v === '{') depth++;
        else if (v === ')' || v === ']' || v === '}') depth--;
        else if (depth === 0 && t[k].k === 'name' && /^(let|const|class|function)$/.test(t[k].v) && unpack_at_statement(t, k)) return true;
    }
    return false;
}

// tokens[p] closes the head of an if, for, while or with, so a statement follows it.
function unpack_after_head(t, p) {
    if (!t[p] || t[p].v !== ')' || t[p].k !== 'punc') return false;
    var k = unpack_open_of_close(t, p);
    return k > 0 && /^(if|for|while|with)$/.test(t[k - 1].v) && t[k - 1].k === 'name';
}

unpack_recognisers.push({
    name: 'deadcode', label: '死代码',
    apply: function (src) {
        if (!/(['"\d])\s*\)?\s*[!=]==?\s*\(?\s*['"\d]/.test(src)) return null;
        var t = unpack_tokens(src), edits = [], count = 0, i, listedAt, around = [], folds = [];
        unpack_line_between.src = src;
        // listedAt: a branch left standing alone where a listed statement stood.
        for (i = 0, listedAt = -1; i < t.length; i++) {
            var prev = t[i - 1], listed = !prev || (prev.k === 'punc' && (prev.v === ';' || prev.v === '{' || prev.v === '}')) ||
                i === listedAt;
            if (t[i].k === 'name' && t[i].v === 'if' && t[i + 1] && t[i + 1].v === '(') {
                var c = unpack_close(t, i + 1), test = c < 0 ? null : unpack_constant_test(t, i + 2, c - 1);
                if (test === null) continue;
                var thenEnd = unpack_statement_end(t, c + 1);
                if (thenEnd < 0) continue;
                var elseAt = t[thenEnd + 1] && t[thenEnd + 1].v === 'else' ? thenEnd + 2 : -1;
                var elseEnd = elseAt < 0 ? -1 : unpack_statement_end(t, elseAt);
                if (elseAt >= 0 && elseEnd < 0) continue;
                var end = elseAt < 0 ? thenEnd : elseEnd;
                var live = test ? { a: c + 1, b: thenEnd } : (elseAt < 0 ? null : { a: elseAt, b: elseEnd });
                var dead = test ? (elseAt < 0 ? null : { a: elseAt, b: elseEnd }) : { a: c + 1, b: thenEnd };
                // How deep it stands in the branches that run of others folded here: the
                // declarations it keeps are worked out once all are found (below).
                while (around.length && around[around.length - 1].live.b < i) around.pop();
                var fold = { dead: dead, level: around.length, listed: listed, live: live, edits: [] };
                folds.push(fold);
                count++;
                if (!live) {
                    fold.edits.push({ s: t[i].s, e: t[end].e, text: '' });
                    edits.push(fold.edits[0]);
                    i = end;
                    continue;
                }
                // The branch that runs stays where it is, what stands around it goes: the
                // scan goes on inside it, so that dead code there goes in the same step.
                var bare = t[live.a].v === '{' && t[live.a].k === 'punc' && listed && !unpack_block_scoped(t, live.a, live.b);
                var after = bare ? t[live.b].s : t[live.b].e;
                fold.edits.push({ s: t[i].s, e: bare ? t[live.a].e : t[live.a].s, text: '' }, { s: after, e: t[end].e, text: '' });
                edits.push(fold.edits[0], fold.edits[1]);
                // A block's inside is scanned from its first token; a single statement from
                // itself, standing in a list when the if did.
                if (!bare && listed) listedAt = live.a;
                around.push(fold);
                i = bare ? live.a : live.a - 1;
                continue;
            }
            // cond ? a : b with a constant cond, standing where an assignment expression may.
            if (t[i].k !== 'str' && t[i].k !== 'num' && t[i].v !== '(') continue;
            var body = unpack_after_head(t, i - 1);
            if (prev && !body && !(prev.k === 'punc' && /^([(\[,;{}:?]|=|[-+*\/%&|^]=|<<=|>>>?=|\*\*=|=>)$/.test(prev.v)) &&
                !/^(return|throw|else)$/.test(prev.v)) continue;
            var condEnd = t[i].v === '(' ? unpack_close(t, i) : i + 2;
            if (condEnd < 0 || !t[condEnd + 1] || t[condEnd + 1].v !== '?') continue;
            var value = unpack_constant_test(t, i, condEnd);
            if (value === null) continue;
            var q = condEnd + 1, colon = -1, stop = -1, depth = 0, nest = 0, k;
            for (k = q + 1; k < t.length; k++) {
                var v = t[k].k === 'punc' ? t[k].v : '';
                if (v === '(' || v === '[' || v === '{') depth++;
                else if (v === ')' || v === ']' || v === '}') {
                    if (depth === 0) break;
                    depth--;
                } else if (depth === 0 && v === '?') nest++;
                else if (depth === 0 && v === ':') {
                    if (colon < 0 && nest === 0) colon = k;
                    else if (nest > 0) nest--;
                    else break;
                } else if (depth === 0 && (v === ',' || v === ';')) break;
            }
            if (colon < 0 || colon === q + 1 || k === colon + 1) continue;
            stop = k - 1;
            var pick = value ? { a: q + 1, b: colon - 1 } : { a: colon + 1, b: stop };
            var picked = src.substring(t[pick.a].s, t[pick.b].e), after = t[stop + 1];
            var alone = (!prev || body || prev.v === ';' || prev.v === '{' || prev.v === '}' || prev.v === 'else') &&
                (!after || after.v === ';' || after.v === '}') && !/^(\{|function\b|class\b|let\s*\[)/.test(picked);
            // A name, a literal or a chain of calls and member reads needs no parentheses.
            var chosen = alone ? picked : unpack_operand(src, t, pick);
            // "return'a'==='b'?x:String(y)" had no blank after the keyword; the name it keeps needs one.
            if (/[\w$]/.test(src.charAt(t[i].s - 1)) && /^[\w$]/.test(chosen)) chosen = ' ' + chosen;
            edits.push({ s: t[i].s, e: t[stop].e, text: chosen });
            count++;
            i = stop;
        }
        // A dropped branch keeps the declarations that code outside it still needs. Uses in
        // the branches dropped by folds less deep than it do not count: those would have
        // gone a step before it, had every level taken a step of its own.
        // lower[n]: the dropped branches of the folds less than n deep.
        var lower = [[]], deepest = 0, f, k;
        for (f = 0; f < folds.length; f++) deepest = Math.max(deepest, folds[f].level);
        for (k = 1; k <= deepest; k++) {
            lower.push(lower[k - 1].slice(0));
            for (f = 0; f < folds.length; f++) if (folds[f].level === k - 1 && folds[f].dead) lower[k].push(folds[f].dead);
        }
        for (f = 0; f < folds.length; f++) {
            var one = folds[f], kept = one.dead ? unpack_kept_declarations(t, one.dead.a, one.dead.b, lower[one.level]) : '';
            if (!one.live) {
                var none = one.listed ? '' : ';';
                one.edits[0].text = kept ? (one.listed ? kept + none : '{' + kept + none + '}') : none;
            } else {
                one.edits[0].text = kept ? (one.listed ? kept : '{' + kept) : '';
                one.edits[1].text = kept && !one.listed ? '}' : '';
            }
        }
        // Edits that change nothing (an empty place kept empty) are left out.
        var changes = [];
        for (k = 0; k < edits.length; k++) if (edits[k].s < edits[k].e || edits[k].text) changes.push(edits[k]);
        return count ? { text: unpack_splice(src, changes), count: count } : null;
    }
});

// Brackets a careful writer leaves out: "((typeof a) === 'x')", "return (x);", "(undefined)"
// and the operands the layers that fold or inline an expression wrapped in brackets of
// their own. A group goes only where the grammar reads its content the same without it;
// what JavaScript needs stays (precedence, "??" beside "&&" or "||", a unary operand
// of "**", "in" in a for head, a statement or arrow body starting with "function", "{",
// "class" or "let [", "new" and optional chains before a call or a member), and so do the
// brackets careful writers add to be read at a glance: around a binary operand of a
// bitwise or shift operator, "&&" inside "||", "%" inside "+" or "-", and a function
// expression called on the spot. Loaded after unpack_tidy.js: a step of the tidy stage.

// How tightly each binary operator binds, loosest first; "=>", assignments and yield
// take 2, "?" and ":" 3, the comma 1, a prefix operator 15, a postfix one 16, a member
// or call chain 18, a lone token 20.
var unpack_binary_rank = {
    '??': 4, '||': 4, '&&': 5, '|': 6, '^': 7, '&': 8, '==': 9, '!=': 9, '===': 9, '!==': 9,
    '<': 10, '>': 10, '<=': 10, '>=': 10, 'in': 10, 'instanceof': 10, '<<': 11, '>>': 11, '>>>': 11,
    '+': 12, '-': 12, '*': 13, '/': 13, '%': 13, '**': 14
};
var unpack_assign_op = /^(=|[-+*\/%&|^]=|\*\*=|<<=|>>>?=|&&=|\|\|=|\?\?=)$/;
var unpack_prefix_word = /^(typeof|void|delete)$/;
// Words after which "(" opens a group, not a call or a statement's head. "of", "yield"
// and "await" may name a function in a script: a "(" after them is left alone.
var unpack_group_after_word = /^(return|throw|case|typeof|void|delete|new|in|instanceof|else|do)$/;

// What a bracketed content t[a..b] is: its loosest operator's rank, the operators at its
// own level, and whether it starts with "new" or holds "?." there.
function unpack_group_content(t, a, b) {
    var out = { rank: 20, ops: {}, isNew: t[a].v === 'new' && t[a].k === 'name', optional: false, tokens: 0 };
    var operand = false, k, v;
    function rank(r, op) {
        if (r < out.rank) out.rank = r;
        if (op) out.ops[op] = true;
    }
    for (k = a; k <= b; k++) {
        var tok = t[k];
        out.tokens++;
        v = tok.v;
        if (tok.k === 'punc' && (v === '(' || v === '[' || v === '{')) {
            var close = unpack_close(t, k);
            if (close < 0 || close > b) { rank(0); return out; }
            if (k > a && (operand || v === '(')) rank(18);
            k = close;
            operand = true;
            continue;
        }
        if (tok.k === 'name') {
            // A member's name after a dot is a name whatever it spells.
            if (k > a && (t[k - 1].v === '.' || t[k - 1].v === '?.')) {
                operand = true;
                continue;
            }
            if (v === 'in' || v === 'instanceof') { rank(10, v); operand = false; }
            else if (unpack_prefix_word.test(v) || v === 'await') { rank(15); operand = false; }
            else if (v === 'yield') { rank(2); operand = false; }
            else if (v === 'new') { rank(17); operand = false; }
            else if (v === 'function' || v === 'class' || v === 'async') operand = false;
            else {
                if (operand && k > a && t[k - 1].v !== '.' && t[k - 1].v !== '?.') { rank(0); return out; }
                operand = true;
            }
            continue;
        }
        if (tok.k !== 'punc') {
            if (tok.k === 'tpl' && operand) rank(18);
            operand = true;
            continue;
        }
        if (v === '.' || v === '?.') {
            rank(18);
            if (v === '?.') out.optional = true;
            operand = false;
        } else if (v === '+' || v === '-') {
            rank(operand ? 12 : 15, operand ? v : '');
            operand = false;
        } else if (v === '!' || v === '~') {
            rank(15);
        } else if (v === '++' || v === '--') {
            rank(operand ? 16 : 15);
        } else if (v === ',') {
            rank(1, v);
            operand = false;
        } else if (v === '?' || v === ':') {
            rank(3, v);
            operand = false;
        } else if (v === '=>' || unpack_assign_op.test(v)) {
            rank(2, v);
            operand = false;
        } else if (unpack_has(unpack_binary_rank, v)) {
            rank(unpack_binary_rank[v], v);
            operand = false;
        } else {
            rank(0);
            return out;
        }
    }
    return out;
}

// tokens[k] ends an operand, so that "(" after it calls or lists parameters.
function unpack_ends_operand(t, k) {
    var p = t[k];
    if (k > 0 && p.k === 'name' && (t[k - 1].v === '.' || t[k - 1].v === '?.')) return true;
    if (p.k === 'num' || p.k === 'str' || p.k === 'tpl' || p.k === 're') return true;
    if (p.k === 'name') return !unpack_group_after_word.test(p.v) && !unpack_has(unpack_binary_rank, p.v);
    return p.v === ']' || p.v === ')' || p.v === '}' || p.v === '++' || p.v === '--';
}

// A group at tokens[i] ("(") whose content reads the same without it, given the tokens
// around it once the groups around it are gone: l (or null at the start) and r.
function unpack_group_needless(t, i, close, li, ri, inForHead, src) {
    var l = li >= 0 ? t[li] : null, r = ri < t.length ? t[ri] : null;
    var c = unpack_group_content(t, i + 1, close - 1), first = t[i + 1], last = t[close - 1];
    if (c.rank === 0 || close === i + 1) return false;
    // A function expression called on the spot keeps its brackets, as writers keep them.
    if (first.v === 'function' || first.v === 'class' || (first.v === 'async' && t[i + 2] && t[i + 2].v === 'function')) return false;
    if (inForHead && c.ops['in']) return false;
    var lv = l ? l.v : ';', rv = r ? r.v : ';', need = 2, statement = false;
    // What the left neighbour leaves room for.
    if (!l || (l.k === 'punc' && (lv === ';' || lv === '{' || lv === '}' || lv === ')')) || (l.k === 'name' && (lv === 'else' || lv === 'do'))) {
        need = 1;
        statement = true;
    } else if (l.k === 'punc' && lv === ':') {
        statement = true;
    } else if (l.k === 'name' && (lv === 'return' || lv === 'throw' || lv === 'case')) {
        need = 1;
        if (/[\n\r\u2028\u2029]/.test(src.substring(l.e, first.s))) return false;
    } else if (l.k === 'punc' && lv === '=>') {
        if (first.v === '{') return false;
    } else if (l.k === 'punc' && (lv === '(' || lv === '[' || lv === ',' || lv === '?' || lv === '...' || unpack_assign_op.test(lv))) {
        need = 2;
    } else if (lv === 'new' && l.k === 'name') {
        // "new (a.b)()" only: a call or anything else inside would change what is made.
        for (var k = i + 1; k < close; k++)
            if (!(t[k].k === 'name' || t[k].v === '.') || (t[k].k === 'name' && unpack_keyword.test(t[k].v) && t[k].v !== 'this')) return false;
        need = 18;
    } else if ((l.k === 'punc' && (lv === '!' || lv === '~' || ((lv === '+' || lv === '-') && !unpack_group_binary(t, li)))) ||
               (l.k === 'name' && unpack_prefix_word.test(lv))) {
        need = 15;
    } else if (unpack_has(unpack_binary_rank, lv) && (l.k === 'punc' || lv === 'in' || lv === 'instanceof')) {
        var p = unpack_binary_rank[lv];
        if (lv === '**') need = 14;
        else need = p + 1;
        if (unpack_group_clarifies(lv, c)) return false;
    } else {
        return false;
    }
    if (statement && (first.v === '{' || (first.v === 'let' && t[i + 2] && t[i + 2].v === '[') ||
        (first.k === 'str' && close === i + 2))) return false;
    // A regular expression right after a closing bracket would read as a division.
    if (first.k === 're' && l && (lv === ')' || lv === '}' || lv === ']')) return false;
    // What the right neighbour leaves room for.
    if (!r || (r.k === 'punc' && (rv === ')' || rv === ']' || rv === '}' || rv === ';' || rv === ',' || rv === ':'))) {
        if (rv === ',') need = Math.max(need, 2);
    } else if (r.k === 'punc' && rv === '?') {
        need = Math.max(need, 4);
    } else if (r.k === 'punc' && (rv === '.' || rv === '[' || rv === '(' || rv === '?.') || r.k === 'tpl') {
        if (c.isNew || c.optional || (first.k === 'num' && close === i + 2)) return false;
        need = Math.max(need, 18);
    } else if (unpack_has(unpack_binary_rank, rv) && (r.k === 'punc' || rv === 'in' || rv === 'instanceof')) {
        var q = unpack_binary_rank[rv];
        need = Math.max(need, rv === '**' ? 16 : q);
        if (unpack_group_clarifies(rv, c)) return false;
    } else {
        return false;
    }
    if (c.rank < need) return false;
    // "??" mixes with "&&" and "||" only in brackets.
    if ((lv === '??' || rv === '??') && (c.ops['&&'] || c.ops['||'])) return false;
    if ((lv === '&&' || lv === '||' || rv === '&&' || rv === '||') && c.ops['??']) return false;
    return true;
}

// The "+" or "-" at tokens[k] joins two operands (rather than signing one).
function unpack_group_binary(t, k) {
    return k > 0 && unpack_ends_operand(t, k - 1) && !(t[k - 1].v === ')' && unpack_group_after_head(t, k - 1));
}

// Brackets that careful writers keep for the reader beside the operator op: a binary
// operand of a bitwise or shift operator, "&&" inside "||", "%" beside "+" or "-".
function unpack_group_clarifies(op, c) {
    var own = false, key;
    for (key in c.ops) if (unpack_has(c.ops, key) && unpack_has(unpack_binary_rank, key) && unpack_binary_rank[key] === c.rank) own = key;
    if (!own) return false;
    if (/^(\||\^|&|<<|>>|>>>)$/.test(op) && (own !== op || /^(<<|>>|>>>)$/.test(op))) return true;
    if (op === '||' && own === '&&') return true;
    return (op === '+' || op === '-') && own === '%';
}

function unpack_tidy_brackets(src) {
    var t = unpack_tokens(src), edits = [], gone = {}, leftOf = {}, rightOf = {}, open = [], i;
    for (i = 0; i < t.length; i++) {
        var tok = t[i];
        if (tok.k !== 'punc') continue;
        if (tok.v === ')' || tok.v === ']' || tok.v === '}') {
            open.pop();
            continue;
        }
        if (tok.v === '[' || tok.v === '{') {
            open.push(tok.v);
            continue;
        }
        if (tok.v !== '(') continue;
        var prev = t[i - 1], close = unpack_close(t, i);
        var head = prev && prev.k === 'name' && /^(if|while|for|switch|with|catch|function)$/.test(prev.v);
        open.push(prev && prev.v === 'for' && prev.k === 'name' ? 'for' : '(');
        if (close < 0 || head) continue;
        if (t[close + 1] && t[close + 1].v === '=>') continue;
        // A group only: after an operand "(" calls; after "}" or ")" it may too.
        if (prev && unpack_ends_operand(t, i - 1)) {
            if (prev.v === ')' ? !unpack_group_after_head(t, i - 1) : prev.v !== '}' || !unpack_statement_start(t, i)) continue;
        }
        // The neighbours once the groups around it are gone.
        var l = prev ? i - 1 : -1, r = close + 1;
        if (l >= 0 && gone[l]) l = leftOf[l];
        if (r < t.length && t[r].v === ')' && gone[unpack_open_index(t, r)]) r = rightOf[unpack_open_index(t, r)];
        var inFor = false;
        for (var k = 0; k < open.length - 1; k++) if (open[k] === 'for') inFor = true;
        if (!unpack_group_needless(t, i, close, l, r, inFor, src)) continue;
        gone[i] = true;
        leftOf[i] = l;
        rightOf[i] = r;
        // A blank where the tokens on either side would otherwise run together.
        edits.push({ s: tok.s, e: tok.e, text: l >= 0 && unpack_group_joins(src, t[l], t[i + 1]) ? ' ' : '' },
                   { s: t[close].s, e: t[close].e, text: r < t.length && unpack_group_joins(src, t[close - 1], t[r]) ? ' ' : '' });
    }
    return edits.length ? { text: unpack_splice(src, edits), count: edits.length / 2 } : null;
}

// Tokens a and b, with nothing but brackets between them, would read as one ("typeof"
// and "x", "-" and "-x", "/" and "/x/").
function unpack_group_joins(src, a, b) {
    if (/\s/.test(src.substring(a.e, b.s))) return false;
    var x = a.v.charAt(a.v.length - 1), y = b.v.charAt(0);
    return (/[\w$\\]/.test(x) || x > '\x7f') && (/[\w$\\]/.test(y) || y > '\x7f') || (x === y && /[-+\/]/.test(x));
}

// tokens[j] is the ")" of an if, while, for or with head, so that a statement follows.
function unpack_group_after_head(t, j) {
    var o = unpack_open_index(t, j);
    return o > 0 && t[o - 1].k === 'name' && /^(if|while|for|with)$/.test(t[o - 1].v);
}

// The index of the "(" that tokens[j] closes.
function unpack_open_index(t, j) {
    if (!t.opens) {
        if (!t.pairs) t.pairs = unpack_pairs(t);
        var opens = [], k;
        for (k = 0; k < t.pairs.length; k++) opens.push(-1);
        for (k = 0; k < t.pairs.length; k++) if (t.pairs[k] >= 0) opens[t.pairs[k]] = k;
        t.opens = opens;
    }
    return t.opens[j];
}

unpack_recognisers.push({
    name: 'brackets', label: '多余括号',
    apply: function (src) {
        if (src.indexOf('(') === -1) return null;
        return unpack_tidy_brackets(src);
    }
});

// Plain writing for what obfuscators spell out of the way: escaped strings and names
// (a recogniser of its own), and, after a string array came off, hexadecimal numbers,
// !0 and !1, void 0 and obj['name'].

var unpack_reserved = /^(break|case|catch|class|const|continue|debugger|default|delete|do|else|enum|export|extends|false|finally|for|function|if|import|in|instanceof|new|null|return|super|switch|this|throw|true|try|typeof|var|void|while|with|abstract|boolean|byte|char|double|final|float|goto|implements|int|interface|long|native|package|private|protected|public|short|static|synchronized|throws|transient|volatile|let|yield|await|undefined|NaN|Infinity)$/;

// A name that may follow a dot in the JScript 5.8 target too.
function unpack_plain_name(value) {
    return /^[A-Za-z_$][A-Za-z0-9_$]*$/.test(value) && !unpack_reserved.test(value);
}

// The words JScript 5.8 refuses after a dot or as a bare key; the modern target takes any
// name there. unpack_modern is set by the workbench when the result is checked in the
// modern target.
var unpack_keyword = /^(break|case|catch|class|const|continue|debugger|default|delete|do|else|enum|export|extends|false|finally|for|function|if|import|in|instanceof|new|null|return|super|switch|this|throw|true|try|typeof|var|void|while|with)$/;
var unpack_modern = false;

// A property name that may be written after a dot or as a bare key in the target.
function unpack_property_name(value) {
    return value !== null && /^[A-Za-z_$][A-Za-z0-9_$]*$/.test(value) && (unpack_modern || !unpack_keyword.test(value));
}

// tokens[i] is a "}" that closes a function expression's body, so that what follows it
// goes on with the expression.
function unpack_closes_function_expression(t, i) {
    var depth = 0, k;
    for (k = i; k >= 0; k--) {
        if (t[k].k !== 'punc') continue;
        if (t[k].v === '}' || t[k].v === ')' || t[k].v === ']') depth++;
        else if ((t[k].v === '{' || t[k].v === '(' || t[k].v === '[') && --depth === 0) break;
    }
    if (k < 1 || t[k].v !== '{' || t[k - 1].v !== ')') return false;
    var close = k - 1;
    for (depth = 0, k = close; k >= 0; k--) {
        if (t[k].k !== 'punc') continue;
        if (t[k].v === ')' || t[k].v === ']' || t[k].v === '}') depth++;
        else if ((t[k].v === '(' || t[k].v === '[' || t[k].v === '{') && --depth === 0) break;
    }
    var head = k > 0 ? (t[k - 1].v === 'function' ? k - 1 : (t[k - 2] && t[k - 2].v === 'function' && t[k - 1].k === 'name' ? k - 2 : -1)) : -1;
    return head >= 0 && !unpack_statement_start(t, i + 1) && !(unpack_at_statement(t, head) && unpack_statement_start(t, head));
}

unpack_recognisers.push({
    name: 'escapes', label: '转义字符',
    apply: function (src) {
        if (!/\\[xu]/.test(src)) return null;
        var t = unpack_tokens(src), edits = [], count = 0;
        for (var i = 0; i < t.length; i++) {
            var tok = t[i], text = null;
            if (tok.k === 'str' && /\\[xu]/.test(tok.v)) {
                var value = unpack_string_value(tok.v);
                // A directive must not appear where there was none.
                if (value === null || /^use (strict|asm)$/.test(value)) continue;
                text = unpack_quote(value, tok.v.charAt(0));
            } else if (tok.k === 'name' && /\\u/.test(tok.v)) {
                var name = tok.v.replace(/\\u\{?([0-9a-fA-F]{4})\}?/g, function (all, hex) {
                    return String.fromCharCode(parseInt(hex, 16));
                });
                if (unpack_plain_name(name)) text = name;
            }
            if (text !== null && text !== tok.v) {
                edits.push({ s: tok.s, e: tok.e, text: text });
                count++;
            }
        }
        return count ? { text: unpack_splice(src, edits), count: count } : null;
    }
});

// Hexadecimal integers in decimal, !0 / !1 as true / false, void 0 as undefined where
// no one named a variable "undefined", and obj['name'] as obj.name.
function unpack_tidy(src) {
    var t = unpack_tokens(src), edits = [];
    var shadowed = src.indexOf('undefined') !== -1 && unpack_binds_undefined(t);
    for (var i = 0; i < t.length; i++) {
        var tok = t[i], prev = t[i - 1], next = t[i + 1];
        if (tok.k === 'num' && /^0[xX][0-9a-fA-F]+$/.test(tok.v)) {
            var n = parseInt(tok.v.substring(2), 16);
            // A dot right after would read as a decimal point.
            if (n <= 9007199254740991) edits.push({ s: tok.s, e: tok.e, text: String(n) + (next && next.v === '.' ? ' ' : '') });
        } else if (tok.v === '!' && next && next.k === 'num' && (next.v === '0' || next.v === '1') &&
                   !(t[i + 2] && (t[i + 2].v === '.' || t[i + 2].v === '['))) {
            // "return!1" keeps a blank: "returnfalse" would be a name.
            edits.push({ s: tok.s, e: next.e, text: unpack_spaced(src, tok, next, next.v === '0' ? 'true' : 'false') });
            i++;
        } else if (tok.v === 'void' && next && next.v === '0' && !shadowed &&
                   !(t[i + 2] && (t[i + 2].v === '.' || t[i + 2].v === '['))) {
            edits.push({ s: tok.s, e: next.e, text: 'undefined' });
            i++;
        } else if (tok.k === 'str' && next && next.v === ':' && prev && (prev.v === '{' || prev.v === ',') &&
                   unpack_property_name(unpack_string_value(tok.v)) && unpack_in_object(t, i)) {
            // A quoted key that is a plain name: {'query': q} as {query: q}.
            edits.push({ s: tok.s, e: tok.e, text: unpack_string_value(tok.v) });
        } else if (tok.v === '[' && next && next.k === 'str' && t[i + 2] && t[i + 2].v === ']' && prev &&
                   (prev.k === 'name' || prev.k === 'str' || prev.k === 're' || prev.k === 'tpl' || prev.v === ')' || prev.v === ']' ||
                    (prev.v === '}' && unpack_closes_function_expression(t, i - 1))) &&
                   (prev.k !== 'name' || !unpack_reserved.test(prev.v) || prev.v === 'this') &&
                   !/^(of|async|get|set|static)$/.test(prev.v)) {
            var key = unpack_string_value(next.v);
            if (unpack_property_name(key)) {
                edits.push({ s: tok.s, e: t[i + 2].e, text: '.' + key });
                i += 2;
            }
        }
    }
    return edits.length ? unpack_splice(src, edits) : src;
}

// Some code names a variable, parameter or function "undefined", or assigns to it: then
// "void 0" must stay. A call's argument "undefined" binds nothing.
function unpack_binds_undefined(t) {
    var open = [];
    for (var i = 0; i < t.length; i++) {
        var tok = t[i];
        if (tok.k === 'punc') {
            if (tok.v === '(' || tok.v === '[' || tok.v === '{') open.push(i);
            else if ((tok.v === ')' || tok.v === ']' || tok.v === '}') && open.length) open.pop();
            continue;
        }
        if (tok.v !== 'undefined' || tok.k !== 'name') continue;
        var prev = t[i - 1], next = t[i + 1];
        if (prev && /^(var|let|const|function|class)$/.test(prev.v)) return true;
        if (next && next.k === 'punc' && /^([-+*\/%&|^]?=|\+\+|--|\*\*=|<<=|>>>?=|&&=|\|\|=|\?\?=|=>)$/.test(next.v)) return true;
        if (prev && prev.k === 'punc' && (prev.v === '++' || prev.v === '--')) return true;
        // A parameter: the parenthesis around it opens a function's or catch's parameters,
        // or an arrow follows its close. A name in braces or brackets may be destructured.
        var p = open.length ? open[open.length - 1] : -1;
        if (p < 0) continue;
        if (t[p].v !== '(') {
            // A pattern's name: "var {a: undefined} = o", "[undefined] = list".
            var closing = unpack_close(t, p);
            if (/^([{\[,:]|\.\.\.)$/.test(prev.v) && next && /^[,}\]=]$/.test(next.v) &&
                ((t[p - 1] && /^(var|let|const)$/.test(t[p - 1].v)) || (t[closing + 1] && t[closing + 1].v === '='))) return true;
            continue;
        }
        var before = t[p - 1], after = unpack_close(t, p);
        if (before && (before.v === 'function' || before.v === 'catch' || (before.k === 'name' && t[p - 2] && t[p - 2].v === 'function'))) return true;
        if (after > 0 && t[after + 1] && t[after + 1].v === '=>') return true;
    }
    return false;
}

// Whether the key at tokens[i] stands in an object literal: the "{" it is in follows
// something that starts an expression. The brackets around every token are found once
// for a token list.
function unpack_in_object(t, i) {
    if (unpack_in_object.tokens !== t) {
        var around = [], stack = [];
        for (var j = 0; j < t.length; j++) {
            around[j] = stack.length ? stack[stack.length - 1] : -1;
            var w = t[j].k === 'punc' ? t[j].v : '';
            if (w === '(' || w === '[' || w === '{') stack.push(j);
            else if ((w === ')' || w === ']' || w === '}') && stack.length) stack.pop();
        }
        unpack_in_object.tokens = t;
        unpack_in_object.around = around;
    }
    var open = unpack_in_object.around[i];
    if (open < 1 || t[open].v !== '{') return false;
    return /^([(\[,=:?]|==|===|!=|!==|&&|\|\||return)$/.test(t[open - 1].v);
}

// 'ab' + 'cd' + 'ef' as 'abcdef' where the sum is a string sum of its own: what stands
// before is a binary +, or something that binds looser, and nothing after binds tighter
// (then the last string stays with what follows: 'ab' + 'c'.length).
function unpack_join_strings(src) {
    for (var round = 0; round < 10; round++) {
        var t = unpack_tokens(src), edits = [];
        for (var i = 0; i + 2 < t.length; i++) {
            if (t[i].k !== 'str' || t[i + 1].v !== '+' || t[i + 2].k !== 'str') continue;
            var prev = t[i - 1];
            var looser = !prev || /^([(\[,=:?{;]|==|===|!=|!==|&&|\|\||\+=|return|throw|case)$/.test(prev.v) ||
                (prev.v === '+' && t[i - 2] && ((t[i - 2].k !== 'punc' && !unpack_reserved.test(t[i - 2].v)) ||
                 t[i - 2].v === ')' || t[i - 2].v === ']'));
            if (!looser) continue;
            var last = i + 2;
            while (t[last + 2] && t[last + 1].v === '+' && t[last + 1].k === 'punc' && t[last + 2].k === 'str') last += 2;
            var after = t[last + 1];
            if (after && /^([.\[(*\/%]|\*\*)$/.test(after.v)) last -= 2;
            if (last === i) continue;
            var joined = [], fine = true;
            for (var k = i; k <= last && fine; k += 2) {
                var v = unpack_string_value(t[k].v);
                if (v === null) fine = false;
                else joined.push(v);
            }
            if (!fine) continue;
            edits.push({ s: t[i].s, e: t[last].e, text: unpack_quote(joined.join(''), t[i].v.charAt(0)) });
            i = last;
        }
        if (!edits.length) break;
        src = unpack_splice(src, edits);
    }
    return src;
}

// Guards as the string-array obfuscator writes them since version 2, each a statement
// "var once=(function(){…}()),guard=once(this,function(){…});guard();" (or two var
// statements) and told apart by
// what the inner function holds: the self-defending guard tests its own text with
// '(((.+)+)+)+$' (so any reformatting would set it off), the console guard replaces
// console.log and its kin by empty functions. The statement and the call go when
// nothing else uses their names.
function unpack_guard_recogniser(name, label, marks) {
    return {
        name: name, label: label,
        apply: function (src) {
            var k;
            for (k = 0; k < marks.length; k++) if (src.indexOf(marks[k]) === -1) return null;
            var t = unpack_tokens(src), edits = [];
            for (var i = 0; i + 12 < t.length; i++) {
                if (t[i].v !== 'var' || t[i + 2].v !== '=' || t[i + 3].v !== '(' || t[i + 4].v !== 'function') continue;
                var once = t[i + 1].v, c1 = unpack_close(t, i + 3);
                // "var once=(…),guard=once(…)" or "var once=(…);var guard=once(…)"
                var g = c1 >= 0 && t[c1 + 1] && t[c1 + 1].v === ';' && t[c1 + 2] && t[c1 + 2].v === 'var' ? c1 + 3 : c1 + 2;
                if (c1 < 0 || !t[g + 4] || (g === c1 + 2 && t[c1 + 1].v !== ',') || t[g + 1].v !== '=' || t[g + 2].v !== once ||
                    t[g + 3].v !== '(' || t[g + 4].v !== 'this') continue;
                var guard = t[g].v, c2 = unpack_close(t, g + 3);
                if (c2 < 0 || !t[c2 + 4] || t[c2 + 1].v !== ';' || t[c2 + 2].v !== guard || t[c2 + 3].v !== '(' ||
                    t[c2 + 4].v !== ')') continue;
                var body = src.substring(t[i].s, t[c2].e), all = true;
                for (k = 0; k < marks.length; k++) if (body.indexOf(marks[k]) === -1) all = false;
                if (!all) continue;
                var end = unpack_guard_call_end(t, c2 + 4);
                if (end < 0) continue;
                var used = false, scopes = unpack_scopes_of(t), from = Math.max(0, scopes.fnOf[i]);
                var to = scopes.fnOf[i] < 0 ? t.length - 1 : scopes.ends[scopes.fnOf[i]];
                for (var j = from; j <= to && !used; j++) {
                    if ((j < i || j > end) && (t[j].v === once || t[j].v === guard) && !(j > 0 && t[j - 1].v === '.')) used = true;
                }
                if (used) continue;
                edits.push({ s: t[i].s, e: t[end].e, text: '' });
                i = end;
            }
            return edits.length ? { text: unpack_splice(src, edits), count: edits.length } : unpack_guard_through_once(src, t, marks);
        }
    };
}

// "var guard=once(this,function(){…});guard();" where the call-once helper is declared
// elsewhere (as code wrapped in a module pattern gets it): the statement and the call
// go, and the helper too once nothing else uses it.
function unpack_guard_through_once(src, t, marks) {
    var onces = {}, k, i;
    for (i = 1; i < t.length; i++) {
        if (t[i - 1].v !== 'var' && t[i - 1].v !== ',') continue;
        var o = unpack_call_once(t, i);
        if (o) onces[o.name] = o;
    }
    for (i = 0; i + 7 < t.length; i++) {
        if (t[i].v !== 'var' || t[i + 2].v !== '=' || !unpack_has(onces, t[i + 3].v) || t[i + 4].v !== '(' ||
            t[i + 5].v !== 'this' || t[i + 6].v !== ',') continue;
        var guard = t[i + 1].v, once = onces[t[i + 3].v], c = unpack_close(t, i + 4);
        if (c < 0 || !t[c + 4] || t[c + 1].v !== ';' || t[c + 2].v !== guard || t[c + 3].v !== '(' || t[c + 4].v !== ')') continue;
        var body = src.substring(t[i].s, t[c].e), all = true;
        for (k = 0; k < marks.length; k++) if (body.indexOf(marks[k]) === -1) all = false;
        if (!all) continue;
        var end = unpack_guard_call_end(t, c + 4);
        if (end < 0) continue;
        if (unpack_used_outside(t, guard, [{ a: i, b: end }])) continue;
        var edits = [{ s: t[i].s, e: t[end].e, text: '' }];
        if (!unpack_used_outside(t, once.name, [{ a: i, b: end }, { a: once.a, b: once.b }]))
            unpack_remove_decl(t, { kind: 'alias', a: once.a, b: once.b }, edits, []);
        return { text: unpack_splice(src, edits), count: 1 };
    }
    return null;
}
// The last token to take away with a guard's call "guard()" ending at tokens[k]: its ";",
// or the comma after it when the statement goes on ("guard(), timer();" keeps "timer();");
// -1 when something else follows.
function unpack_guard_call_end(t, k) {
    var next = t[k + 1];
    if (!next || next.v === ';' || next.v === ',') return next ? k + 1 : k;
    return next.v === '}' ? k : -1;
}
unpack_recognisers.push(unpack_guard_recogniser('selfdefending', '自我保护', ['(((.+)+)+)+$']));
unpack_recognisers.push(unpack_guard_recogniser('console', '禁用控制台', ["'exception'", "'table'", "'trace'", 'console']));

// Numbers spelled as sums of products ("-3550+-63*76+758*11", as the string-array
// obfuscator writes small numbers) as their value. Only a run of integer literals
// joined by + - * with a negative term among three or more (the last one may add a
// fraction), standing where nothing
// around it binds tighter, so that a user's own "60*60*24" keeps its meaning and its look.
unpack_recognisers.push({
    name: 'numbers', label: '数字表达式',
    apply: function (src) {
        if (!/\d\s*[-+*]\s*-\s*\d|[-+*]\s*-\s*\d[\s\S]*[-+*]|0x[0-9a-f]+\s*\*\s*0x[0-9a-f]+\s*[-+]|\d\s*\*\s*\d+\s*[-+]\s*\d+\s*\*/.test(src)) return null;
        var t = unpack_tokens(src), edits = [];
        var looser = /^([(\[,;{}:?=]|[-+*\/%&|^]=|<<=|>>>?=|\*\*=|&&|\|\||\?\?|==|!=|===|!==|<|>|<=|>=|<<|>>|>>>|&|\||\^|=>|return|throw|case|in)$/;
        var tighter = /^([.\[(*\/%]|\*\*|\+\+|--)$/;
        for (var i = 0; i < t.length; i++) {
            var prev = t[i - 1];
            if (prev && !looser.test(prev.v)) continue;
            // term (op term)*, term = "-"* integer
            var k = i, terms = 0, negative = false, ops = 0, hex = false, times = false, plus = false, fraction = '';
            for (;;) {
                while (t[k] && t[k].v === '-' && t[k].k === 'punc') { negative = true; k++; }
                // A term may stand in parentheses of its own: "+(0x2)".
                var wrapped = t[k] && t[k].v === '(' && t[k + 2] && t[k + 2].v === ')' && t[k + 1].k === 'num';
                if (wrapped) k++;
                // The last term may hold a fraction: the obfuscator spells 98.6 as integers
                // plus the rest ("…+0.5999999999999943").
                if (t[k] && t[k].k === 'num' && /^\d+\.\d+$/.test(t[k].v) && terms >= 2 && t[k - 1].v === '+') fraction = t[k].v;
                else if (!t[k] || t[k].k !== 'num' || !/^(0|[1-9]\d*|0[xX][0-9a-fA-F]+)$/.test(t[k].v)) { k = -1; break; }
                if (/^0[xX]/.test(t[k].v)) hex = true;
                if (wrapped) k++;
                terms++;
                if (!fraction && t[k + 1] && t[k + 1].k === 'punc' && /^[-+*]$/.test(t[k + 1].v) && t[k + 2] &&
                    (t[k + 2].k === 'num' || t[k + 2].v === '-' || (t[k + 2].v === '(' && t[k + 3] && t[k + 3].k === 'num'))) {
                    ops++;
                    if (t[k + 1].v === '*') times = true;
                    else plus = true;
                    k += 2;
                    continue;
                }
                break;
            }
            // Sums of products with a negative term or in hexadecimal, as the obfuscator
            // writes them; a user's "60 * 60 * 24" keeps its look.
            if (k < 0 || terms < 3 || !ops || !(negative || (hex && times && plus))) continue;
            if (t[k + 1] && tighter.test(t[k + 1].v)) continue;
            var text = src.substring(t[i].s, t[k].e), value;
            try {
                value = unpack_evaluate('(' + text + ')');
            } catch (e) {
                continue;
            }
            if (typeof value !== 'number' || Math.abs(value) > 9007199254740991 || (fraction ? String(value).length > fraction.length ||
                /e/.test(String(value)) : Math.floor(value) !== value)) continue;
            // "return-5*-1+…" had no blank after the keyword; its value needs one.
            var blank = prev && prev.k === 'name' && prev.e === t[i].s ? ' ' : '';
            edits.push({ s: t[i].s, e: t[k].e, text: blank + String(value) });
            i = k;
        }
        return edits.length ? { text: unpack_splice(src, edits), count: edits.length } : null;
    }
});

// The numbers step by itself: the string-array layer folds the sums it meets before it
// writes numbers in decimal, so that their hexadecimal look still tells them apart.
function unpack_fold_numbers(src) {
    for (var i = 0; i < unpack_recognisers.length; i++) {
        if (unpack_recognisers[i].name !== 'numbers') continue;
        var done = unpack_recognisers[i].apply(src);
        return done ? done.text : src;
    }
    return src;
}

// Plain writing once the layers are off: !![] and ![] as true and false, parentheses that
// hold a single literal or a whole argument, value or condition taken away, strings
// joined, literal-first comparisons turned around ('string' == typeof x becomes
// typeof x == 'string'), and what unpack_tidy does. A step of its own, last of all.
var unpack_loose_before = /^([(\[,=?:]|==|===|!=|!==|&&|\|\||[-+*\/%&|^]=|return)$/;

unpack_recognisers.push({
    name: 'plain', label: '整理',
    apply: function (src) {
        var t = unpack_tokens(src), edits = [], i, k;
        for (i = 0; i < t.length; i++) {
            var tok = t[i], prev = t[i - 1], next = t[i + 1];
            if (tok.v === '!' && tok.k === 'punc' && next && next.v === '!' && t[i + 2] && t[i + 2].v === '[' &&
                t[i + 3] && t[i + 3].v === ']' && !(t[i + 4] && /^[.\[(]$/.test(t[i + 4].v))) {
                edits.push({ s: tok.s, e: t[i + 3].e, text: unpack_spaced(src, tok, t[i + 3], 'true') });
                i += 3;
            } else if (tok.v === '!' && tok.k === 'punc' && next && next.v === '[' && t[i + 2] && t[i + 2].v === ']' &&
                       !(t[i + 3] && /^[.\[(]$/.test(t[i + 3].v)) && !(prev && prev.v === '!')) {
                edits.push({ s: tok.s, e: t[i + 2].e, text: unpack_spaced(src, tok, t[i + 2], 'false') });
                i += 2;
            } else if (tok.v === '(' && tok.k === 'punc' && prev && (prev.k === 'punc' ? !/^[)\]}]$/.test(prev.v) : /^(return|case|typeof|void|in|of|delete|throw)$/.test(prev.v))) {
                var close = unpack_close(t, i);
                if (close < 0 || !t[close + 1]) continue;
                var after = t[close + 1].v, lone = close === i + 2 && /^(num|str)$/.test(t[i + 1].k) ||
                    (close === i + 3 && t[i + 1].v === '-' && t[i + 2].k === 'num');
                // (1), ('a'), (-1): kept before a dot, where a number would take it as its own.
                if (lone && !(after === '.' && t[i + 1].k !== 'str') && !(prev.v === '-' && t[i + 1].v === '-')) {
                    edits.push({ s: tok.s, e: tok.e, text: prev.k === 'name' && prev.e === tok.s ? ' ' : '' }, { s: t[close].s, e: t[close].e, text: '' });
                    continue;
                }
                // A whole argument, item, value, assigned or returned expression, or a loop's
                // condition or step.
                if (!/^[),;\]]$/.test(after) ||
                    !(/^([(\[,=]|return|[-+*\/%&|^]=|\*\*=|<<=|>>>?=|&&=|\|\|=|\?\?=)$/.test(prev.v) || (prev.v === ';' && /^[;)]$/.test(after)))) continue;
                if (prev.v === 'return' && /[\n\r\u2028\u2029]/.test(src.substring(tok.e, t[i + 1].s))) continue;
                // Nothing at its own level that would bind differently without them.
                var depth = 0, plainInside = true;
                for (k = i + 1; k < close && plainInside; k++) {
                    var v = t[k].k === 'punc' ? t[k].v : '';
                    if (v === '(' || v === '[' || v === '{') depth++;
                    else if (v === ')' || v === ']' || v === '}') depth--;
                    else if (depth === 0 && (v === ',' || t[k].v === 'in' || v === '=>' || t[k].v === 'function' && k === i + 1 ||
                             v === '{' && k === i + 1)) plainInside = false;
                }
                if (!plainInside || (t[i + 1].v === '{' && prev.v === 'return')) continue;
                edits.push({ s: tok.s, e: tok.e, text: prev.k === 'name' && prev.e === tok.s ? ' ' : '' }, { s: t[close].s, e: t[close].e, text: '' });
            } else if ((tok.k === 'str' || tok.k === 'num') && next && /^(==|===|!=|!==)$/.test(next.v) && prev &&
                       unpack_loose_before.test(prev.v) && prev.v !== '==' && prev.v !== '===' && prev.v !== '!=' && prev.v !== '!==') {
                // literal == operand, the operand "typeof a.b" or "a.b" up to a token that binds looser.
                var o = i + 2, end = o;
                if (t[o] && t[o].v === 'typeof') end++;
                if (!t[end] || t[end].k !== 'name' || unpack_reserved.test(t[end].v)) continue;
                while (t[end + 2] && t[end + 1].v === '.' && t[end + 2].k === 'name') end += 2;
                if (t[end + 1] ? !/^([),;\]}?:]|&&|\|\|)$/.test(t[end + 1].v) : prev.v !== 'return') continue;
                edits.push({ s: tok.s, e: t[end].e, text: (/[\w$]/.test(src.charAt(tok.s - 1)) ? ' ' : '') +
                             src.substring(t[o].s, t[end].e) + ' ' + next.v + ' ' + tok.v });
                i = end;
            }
        }
        var text = unpack_split_sequences(unpack_join_strings(unpack_tidy(edits.length ? unpack_splice(src, edits) : src)));
        return text !== src ? { text: text, count: Math.max(1, edits.length) } : null;
    }
});

// A word taking the place of tokens a..b, with a blank where it would join a name.
function unpack_spaced(src, a, b, word) {
    var before = src.charAt(a.s - 1), after = src.charAt(b.e);
    return (/[\w$]/.test(before) ? ' ' : '') + word + (/[\w$]/.test(after) ? ' ' : '');
}

// A call-once helper that nothing calls any more (its guards came off): it goes.
unpack_recognisers.push({
    name: 'onces', label: '自我保护',
    apply: function (src) {
        if (!/return\s+function\s*\(/.test(src)) return null;
        var t = unpack_tokens(src), edits = [], removed = [], scopes = null;
        for (var i = 1; i < t.length; i++) {
            if (t[i - 1].v !== 'var' && t[i - 1].v !== ',') continue;
            var o = unpack_call_once(t, i);
            if (!o) continue;
            if (!scopes) scopes = unpack_scopes_of(t);
            var from = Math.max(0, scopes.fnOf[i]), to = scopes.fnOf[i] < 0 ? t.length - 1 : scopes.ends[scopes.fnOf[i]];
            var used = false;
            for (var k = from; k <= to && !used; k++)
                if ((k < o.a || k > o.b) && t[k].v === o.name && t[k].k === 'name' && !(k > 0 && t[k - 1].v === '.')) used = true;
            if (used) continue;
            unpack_remove_decl(t, { kind: 'alias', a: o.a, b: o.b }, edits, removed);
            i = o.b;
        }
        return edits.length ? { text: unpack_splice(src, edits), count: edits.length } : null;
    }
});

// "a(), b = 1, c();" standing as a statement written as the statements it joins, "a();
// b = 1; c();". In a statement list (after ";", "{" or a block's "}") they take its
// place; as the whole body of an if, else, loop or with they go in braces, so that the
// body keeps its second half. Sequences inside the parts are split in the next round.
function unpack_split_sequences(src) {
    for (var round = 0; round < 20 && src.indexOf(',') !== -1; round++) {
        var next = unpack_split_sequences_once(src);
        if (next === src) break;
        src = next;
    }
    return src;
}

// tokens[k] is the colon of "case …:" or "default:", so a statement list follows. The
// words are labels only inside a switch's braces and not after a dot: "a ? b.default : c"
// and "{ default: a, b: c }" go on as one expression.
function unpack_after_case(t, k) {
    if (!t[k] || t[k].v !== ':' || t[k].k !== 'punc') return false;
    var word = -1;
    if (t[k - 1] && t[k - 1].v === 'default' && t[k - 1].k === 'name') word = k - 1;
    // Back to the bracket around it, over whole brackets on the way.
    for (var j = k - 1; word < 0 && j >= 0; j--) {
        var v = t[j].k === 'punc' ? t[j].v : '';
        if (v === ')' || v === ']' || v === '}') {
            j = unpack_open_of_close(t, j);
            if (j < 0) return false;
        } else if (v === '(' || v === '[' || v === '{' || v === '?' || v === ':' || v === ';') return false;
        else if (t[j].v === 'case' && t[j].k === 'name') word = j;
    }
    if (word < 0 || (t[word - 1] && (t[word - 1].v === '.' || t[word - 1].v === '?.'))) return false;
    return unpack_in_switch(t, word);
}

// Whether tokens[i] stands directly inside the braces of a switch statement.
function unpack_in_switch(t, i) {
    var j = i - 1;
    while (j >= 0) {
        var v = t[j].k === 'punc' ? t[j].v : '';
        if (v === '(' || v === '[' || v === '{') break;
        if (v === ')' || v === ']' || v === '}') {
            var open = unpack_open_of_close(t, j);
            if (open < 0) return false;
            j = open;
        }
        j--;
    }
    if (j < 1 || t[j].v !== '{' || t[j - 1].v !== ')' || t[j - 1].k !== 'punc') return false;
    var paren = unpack_open_of_close(t, j - 1);
    return paren > 0 && t[paren].v === '(' && t[paren - 1].v === 'switch' && t[paren - 1].k === 'name';
}

function unpack_split_sequences_once(src) {
    // Code that still checks its own text for line breaks keeps its lines.
    var t = unpack_tokens(src), edits = [], line = unpack_guard_reason(src) ? ' ' : '\n';
    unpack_line_between.src = src;
    for (var i = 0; i < t.length; i++) {
        var head = t[i];
        if (!(head.k === 'name' && (!unpack_reserved.test(head.v) || head.v === 'this' || head.v === 'new' || head.v === 'typeof' ||
              head.v === 'delete' || head.v === 'void' || head.v === 'return')) && head.v !== '(' && head.v !== '!' && head.v !== '++' &&
            head.v !== '--') continue;
        var prev = t[i - 1], body = prev && ((prev.k === 'name' && (prev.v === 'else' || prev.v === 'do')) || unpack_after_head(t, i - 1));
        if (!body && !unpack_after_case(t, i - 1) && (!unpack_statement_start(t, i) || (prev && prev.v === '{' && unpack_in_object(t, i)))) continue;
        var end = unpack_statement_end(t, i);
        if (end < 0 || !(t[end].v === ';' || (t[end + 1] && t[end + 1].v === '}' && t[end + 1].k === 'punc'))) continue;
        // "return a(), b;" gives back its last part after the others have run.
        var returns = head.v === 'return';
        if (returns && (!t[i + 1] || unpack_line_between(t, i) || t[i + 1].v === ';')) continue;
        var parts = unpack_comma_parts(t, returns ? i + 1 : i, end);
        // A statement of one part: its insides are looked at as the scan goes on.
        if (parts.length < 2) continue;
        var texts = [];
        for (var k = 0; k < parts.length; k++) {
            var text = src.substring(t[parts[k].a].s, t[parts[k].b].e), first = t[parts[k].a].v;
            // A part that would read as a declaration or a block keeps its parentheses.
            if (returns && k === parts.length - 1) text = 'return ' + text;
            else if (first === 'function' || first === '{' || first === 'class' || first === 'let') text = '(' + text + ')';
            texts.push(text + ';');
        }
        edits.push({ s: head.s, e: t[end].e, text: body ? '{' + line + texts.join(line) + line + '}' : texts.join(line) });
        i = end;
    }
    return edits.length ? unpack_splice(src, edits) : src;
}

// The workbench's unpacker: peels packer output, eval wrappers, URL-escaped bookmarklets
// and string-array obfuscation off a script, one layer per unpack_step(source, skip),
// and unpacker_filter(source) repeats the steps until nothing changes. Written in ES3
// so that it also loads into a JScript 5.8 control.
//
// Every recogniser is { name, label, apply(src) } and apply returns null when it does
// not apply, or { text, count, removed } where removed lists the global functions it
// took out on purpose. Code is only ever evaluated through unpack_evaluate, which the
// workbench runs in a private control without page objects and with a time limit.

// ---- tokens ------------------------------------------------------------------------

// Token kinds: 'name', 'num', 'str', 'tpl', 're', 'punc'. Comments are skipped; every
// token keeps its start s and end e in the source. The recognisers of one step all ask
// for the same text's tokens, and some look at a text of their own on the way, so the
// last two lists are kept (no caller changes a list).
function unpack_tokens(src) {
    var kept = unpack_tokens.kept;
    if (kept[0] && kept[0].src === src) return kept[0].list;
    if (kept[1] && kept[1].src === src) {
        kept.reverse();
        return kept[0].list;
    }
    // A text that unpack_splice made from one whose tokens are kept is scanned only
    // around its changes.
    var out = null, made = unpack_splice.made;
    for (var m = 0; m < made.length && !out; m++) {
        if (!made[m] || made[m].to !== src) continue;
        for (var k = 0; k < kept.length && !out; k++)
            if (kept[k] && kept[k].src === made[m].from) out = unpack_rescan(kept[k].list, made[m].from.length, src, made[m].runs);
    }
    if (!out) out = unpack_scan(src);
    unpack_tokens.kept = [{ src: src, list: out }, kept[0]];
    return out;
}
unpack_tokens.kept = [];

var unpack_punc3 = { '...': 1, '===': 1, '!==': 1, '**=': 1, '<<=': 1, '>>=': 1, '>>>': 1, '&&=': 1, '||=': 1, '??=': 1 };
var unpack_punc2 = { '=>': 1, '==': 1, '!=': 1, '<=': 1, '>=': 1, '&&': 1, '||': 1, '??': 1, '?.': 1, '++': 1, '--': 1,
                     '+=': 1, '-=': 1, '*=': 1, '/=': 1, '%=': 1, '&=': 1, '|=': 1, '^=': 1, '<<': 1, '>>': 1, '**': 1 };
var unpack_number_re = /0[xX][0-9a-fA-F_]+n?|0[oO][0-7_]+n?|0[bB][01_]+n?|(\d[\d_]*)?\.?\d*([eE][+-]?\d+)?n?/g;
var unpack_regex_before = /^(return|typeof|instanceof|in|of|new|delete|void|throw|case|do|else|yield|await)$/;

// A character that goes on a name: letters, digits, _ and $, and anything past ASCII
// but the blanks and line ends.
function unpack_name_char(code) {
    return (code >= 97 && code <= 122) || (code >= 65 && code <= 90) || (code >= 48 && code <= 57) || code === 95 || code === 36 ||
        (code > 127 && code !== 0xa0 && code !== 0xfeff && code !== 0x2028 && code !== 0x2029);
}

function unpack_scan(src) {
    var out = [];
    unpack_scan_from(src, 0, src.length, out);
    return out;
}

// Scans the tokens of src that start from i on and before stop onto out, the last
// token of out standing before them; gives back where the scan stopped.
function unpack_scan_from(src, i, stop, out) {
    var n = src.length, prev = out.length ? out[out.length - 1] : null;
    function regexAllowed() {
        if (!prev) return true;
        if (prev.k === 'num' || prev.k === 'str' || prev.k === 'tpl' || prev.k === 're') return false;
        if (prev.k === 'name') return unpack_regex_before.test(prev.v);
        return !(prev.v === ')' || prev.v === ']' || prev.v === '}' || prev.v === '++' || prev.v === '--');
    }
    while (i < stop) {
        var c = src.charCodeAt(i), s = i, k, j;
        if (c === 32 || c === 10 || c === 9 || c === 13 || c === 12 || c === 11 || c === 0xa0 || c === 0xfeff ||
            c === 0x2028 || c === 0x2029) { i++; continue; }
        var c1 = i + 1 < n ? src.charCodeAt(i + 1) : -1;
        if (c === 47 && c1 === 47) {
            while (i < n && (c = src.charCodeAt(i)) !== 10 && c !== 13) i++;
            continue;
        }
        if (c === 47 && c1 === 42) {
            j = src.indexOf('*/', i + 2);
            i = j < 0 ? n : j + 2;
            continue;
        }
        if (c === 34 || c === 39) {
            i++;
            var d0;
            while (i < n && (d0 = src.charCodeAt(i)) !== c && d0 !== 10) i += d0 === 92 ? 2 : 1;
            i++;
            k = 'str';
        } else if (c === 96) {
            // A template literal with its substitutions, nested braces counted.
            i++;
            var depth = 0;
            while (i < n) {
                var d = src.charCodeAt(i);
                if (d === 92) { i += 2; continue; }
                if (depth === 0 && d === 96) break;
                if (d === 36 && src.charCodeAt(i + 1) === 123) { depth++; i += 2; continue; }
                if (depth > 0 && d === 123) depth++;
                if (depth > 0 && d === 125) depth--;
                i++;
            }
            i++;
            k = 'tpl';
        } else if ((c >= 48 && c <= 57) || (c === 46 && c1 >= 48 && c1 <= 57)) {
            unpack_number_re.lastIndex = i;
            var m = unpack_number_re.exec(src);
            i += m && m.index === i ? Math.max(1, m[0].length) : 1;
            k = 'num';
        } else if ((c >= 97 && c <= 122) || (c >= 65 && c <= 90) || c === 95 || c === 36 || c === 92 || c > 127) {
            while (i < n) {
                var ch = src.charCodeAt(i);
                if ((ch >= 97 && ch <= 122) || (ch >= 48 && ch <= 57) || (ch >= 65 && ch <= 90) || ch === 95 || ch === 36) {
                    i++;
                    continue;
                }
                if (ch === 92) { i += 2; continue; }
                if (ch < 128 || !unpack_name_char(ch)) break;
                i++;
            }
            k = 'name';
        } else if (c === 47 && regexAllowed()) {
            var inClass = false;
            i++;
            while (i < n) {
                var r = src.charCodeAt(i);
                if (r === 10) break;
                if (r === 92) { i += 2; continue; }
                if (r === 91) inClass = true;
                else if (r === 93) inClass = false;
                else if (r === 47 && !inClass) break;
                i++;
            }
            i++;
            while (i < n && (c = src.charCodeAt(i)) >= 97 && c <= 122) i++;
            k = 're';
        } else {
            k = 'punc';
            i++;
            // Only these characters go on a longer operator: = < > & | ? . * + -
            if (c1 === 61 || c1 === 60 || c1 === 62 || c1 === 38 || c1 === 124 || c1 === 63 || c1 === 46 || c1 === 42 ||
                c1 === 43 || c1 === 45) {
                if (src.substring(s, s + 4) === '>>>=') i = s + 4;
                else if (unpack_punc3[src.substring(s, s + 3)] === 1) i = s + 3;
                else if (unpack_punc2[src.substring(s, s + 2)] === 1) i = s + 2;
            }
        }
        if (i > n) i = n;
        prev = { k: k, v: src.substring(s, i), s: s, e: i };
        out.push(prev);
    }
    return i;
}

// The tokens of src, made from old, the tokens of a text of oldLength characters that
// src repeats in runs (unpack_splice's record: each run's start and end there and its
// start in src). Within a run, once a token scanned anew is one of old's, moved by the
// run's shift, the scan would go on as it went in old: old's tokens are taken, moved,
// up to a few characters before the run's end, from where the scan goes on through the
// changed text to the next run. The list is the one unpack_scan(src) gives.
function unpack_rescan(old, oldLength, src, runs) {
    var out = [], pos = 0, j = 0, n = old.length;
    for (var r = 0; r < runs.length; r++) {
        var run = runs[r], d = run.ns - run.os, runEnd = run.ns + (run.oe - run.os);
        // A token is the same as far as the text from its start to a few characters
        // after its end is (the longest operator looks three ahead).
        var safe = run.oe === oldLength ? oldLength + 1 : run.oe - 4;
        if (pos < run.ns) pos = unpack_scan_from(src, pos, run.ns, out);
        while (pos < runEnd) {
            var last = out.length ? out[out.length - 1] : null;
            if (last && last.s >= run.ns && last.e - d <= safe) {
                var at = last.s - d;
                while (j < n && old[j].s < at) j++;
                if (j < n && old[j].s === at && old[j].e === last.e - d && old[j].k === last.k && old[j].v === last.v) {
                    // In step: old's tokens follow, as long as they stay clear of the run's end.
                    // Tokens are never changed, so those that stay where they were are shared.
                    if (d === 0) {
                        for (j++; j < n && old[j].e <= safe; j++) out.push(old[j]);
                    } else {
                        for (j++; j < n && old[j].e <= safe; j++) {
                            var o = old[j];
                            out.push({ k: o.k, v: o.v, s: o.s + d, e: o.e + d });
                        }
                    }
                    pos = out[out.length - 1].e;
                    if (j >= n || pos >= runEnd) break;
                }
            }
            // One more token anew.
            var before = out.length;
            pos = unpack_scan_from(src, pos, pos + 1, out);
            if (out.length === before && pos >= src.length) break;
        }
    }
    if (pos < src.length) unpack_scan_from(src, pos, src.length, out);
    return out;
}

// The index of the token closing the bracket opened at tokens[i], or -1. Every bracket
// of a list is paired once, on the first ask (brackets of any kind pair with each other,
// as counting depth does): recognisers ask for closes all over a large text.
function unpack_close(tokens, i) {
    var tok = tokens[i];
    if (tok && tok.k === 'punc' && (tok.v === '(' || tok.v === '[' || tok.v === '{')) {
        if (!tokens.pairs) tokens.pairs = unpack_pairs(tokens);
        return tokens.pairs[i];
    }
    var depth = 0;
    for (var j = i; j < tokens.length; j++) {
        var v = tokens[j].k === 'punc' ? tokens[j].v : '';
        if (v === '(' || v === '[' || v === '{') depth++;
        else if (v === ')' || v === ']' || v === '}') {
            depth--;
            if (depth === 0) return j;
        }
    }
    return -1;
}

// For every opening bracket of tokens the index of the one closing it (-1 when none
// does); other places hold -1 too.
function unpack_pairs(tokens) {
    var pairs = [], open = [], n = tokens.length, j;
    for (j = 0; j < n; j++) {
        var t = tokens[j];
        pairs.push(-1);
        if (t.k !== 'punc') continue;
        var v = t.v;
        if (v === '(' || v === '[' || v === '{') {
            open.push(j);
        } else if ((v === ')' || v === ']' || v === '}') && open.length) {
            pairs[open.pop()] = j;
        }
    }
    return pairs;
}

// The index of the bracket that tokens[j], a closing one, closes, or -1; the pairs are
// turned round once per token list, so that a scan backwards steps over whole brackets.
function unpack_open_of_close(t, j) {
    if (!t.opens) {
        if (!t.pairs) t.pairs = unpack_pairs(t);
        t.opens = [];
        for (var n = 0; n < t.length; n++) t.opens.push(-1);
        for (n = 0; n < t.length; n++) if (t.pairs[n] >= 0) t.opens[t.pairs[n]] = n;
    }
    return t.opens[j];
}

// Replaces the source ranges [s, e) of edits (sorted, not overlapping) by their text.
// Removals (empty text) that overlap, as neighbouring declarators taken out each with
// a comma do, are joined into one; a declaration left with no declarator goes whole.
function unpack_splice(src, edits) {
    edits.sort(function (a, b) { return a.s - b.s; });
    var out = [], at = 0, last = null, runs = [];
    for (var i = 0; i < edits.length; i++) {
        var joins = last && last.text === '' && edits[i].text === '' && edits[i].s <= at;
        if (edits[i].s < at || joins) {
            if (joins && edits[i].e > last.e) {
                last.e = edits[i].e;
                at = last.e;
                var head = /(^|[;{}\s])(var|let|const)\s*$/.exec(src.substring(Math.max(0, last.s - 12), last.s));
                var tail = /^\s*;/.exec(src.substring(last.e, last.e + 12));
                if (!head && tail && /,\s*$/.test(out[out.length - 2])) {
                    // "var a = 1, b = 2, c = 3;" without b and c keeps no comma before ";".
                    out[out.length - 2] = out[out.length - 2].replace(/,\s*$/, '');
                } else if (head && tail) {
                    // out ends with the text before the removal: take "var" off it.
                    out[out.length - 2] = out[out.length - 2].replace(/(var|let|const)\s*$/, '');
                    last.e += tail[0].length;
                    at = last.e;
                }
            }
            continue;
        }
        last = { s: edits[i].s, e: edits[i].e, text: edits[i].text };
        runs.push({ os: at, oe: 0, ns: out.length });
        out.push(src.substring(at, edits[i].s), edits[i].text);
        at = edits[i].e;
    }
    runs.push({ os: at, oe: 0, ns: out.length });
    out.push(src.substring(at));
    // Where each stretch kept unchanged stood and stands now (a removal may have taken
    // the end of the one before it), for the tokens of the result.
    for (var k = 0, r = 0, length = 0; k < out.length; k++) {
        if (r < runs.length && runs[r].ns === k) {
            runs[r].oe = runs[r].os + out[k].length;
            runs[r++].ns = length;
        }
        length += out[k].length;
    }
    var text = out.join('');
    unpack_splice.made = [{ from: src, to: text, runs: runs }, unpack_splice.made[0]];
    return text;
}
unpack_splice.made = [];

// A statement starts where the token before it ends one (or there is none).
function unpack_at_statement(tokens, i) {
    if (i === 0) return true;
    var p = tokens[i - 1];
    return p.k === 'punc' && (p.v === ';' || p.v === '{' || p.v === '}');
}

// A statement starts at tokens[i] for certain: unpack_at_statement, and a "}" before it
// closes a block, not a function expression or an object, after which the expression
// goes on ("}(this), next()").
function unpack_statement_start(t, i) {
    if (!unpack_at_statement(t, i)) return false;
    if (i === 0 || t[i - 1].v !== '}') return true;
    var open = unpack_open_of_close(t, i - 1), k;
    if (open <= 0) return open === 0;
    var before = t[open - 1];
    if (/^(else|try|finally|do)$/.test(before.v) && before.k === 'name') return true;
    if (before.k === 'punc' && (before.v === ';' || before.v === '{' || before.v === '}')) return unpack_statement_start(t, open);
    if (before.v !== ')' || before.k !== 'punc') return false;
    k = unpack_open_of_close(t, open - 1);
    var head = k > 0 ? t[k - 1] : null;
    if (!head) return false;
    if (/^(if|for|while|with|switch|catch)$/.test(head.v) && head.k === 'name') return true;
    // A function declaration, not an expression.
    return head.k === 'name' && t[k - 2] && t[k - 2].v === 'function' && unpack_at_statement(t, k - 2) &&
        (k - 2 === 0 || t[k - 3].v !== '}' || unpack_statement_start(t, k - 2));
}

// Whether object holds key as its own: maps keyed by the script's names ask this way,
// as a script may well have a name "hasOwnProperty" of its own. The function is taken
// once here, before any evaluated code could replace it.
var unpack_own_property = Object.prototype.hasOwnProperty;
function unpack_has(object, key) {
    return unpack_own_property.call(object, key);
}

// The places of a name in tokens where it names a binding: not read as a member (after
// a dot), not a label nor an object literal's key. The places of every name are found
// once a list, for all the recognisers that ask; keys carry a blank before the name, so
// that none meets a name of Object.prototype.
function unpack_name_places(t, name) {
    if (!t.places) {
        var places = {};
        for (var k = 0; k < t.length; k++) {
            if (t[k].k !== 'name' || (k > 0 && t[k - 1].v === '.') || unpack_label_or_key(t, k)) continue;
            var key = ' ' + t[k].v, list = places[key];
            if (list) list.push(k);
            else places[key] = [k];
        }
        t.places = places;
    }
    return t.places[' ' + name] || [];
}

// Source ranges [s, e) taken by a recogniser's edits, kept joined and in order, so that
// whether a new one meets any of them is found by halves.
function unpack_ranges_meet(ranges, s, e) {
    var lo = 0, hi = ranges.length;
    while (lo < hi) {
        var mid = (lo + hi) >> 1;
        if (ranges[mid].s < e) lo = mid + 1;
        else hi = mid;
    }
    return lo > 0 && ranges[lo - 1].e > s && ranges[lo - 1].s < e;
}

function unpack_ranges_add(ranges, s, e) {
    var lo = 0, hi = ranges.length;
    while (lo < hi) {
        var mid = (lo + hi) >> 1;
        if (ranges[mid].e < s) lo = mid + 1;
        else hi = mid;
    }
    // ranges[lo] is the first that ends at or after s: it and the ones after it that
    // start at or before e are joined with the new one.
    var last = lo;
    while (last < ranges.length && ranges[last].s <= e) {
        if (ranges[last].s < s) s = ranges[last].s;
        if (ranges[last].e > e) e = ranges[last].e;
        last++;
    }
    ranges.splice(lo, last - lo, { s: s, e: e });
}

// unpack_function_scopes of tokens, made once a list.
function unpack_scopes_of(t) {
    if (!t.scopes) t.scopes = unpack_function_scopes(t);
    return t.scopes;
}

// ---- strings -----------------------------------------------------------------------

// The value of a string literal token; only a lone, well-formed literal is evaluated.
function unpack_string_value(lit) {
    if (!/^(?:"(?:[^"\\\n\r]|\\[\s\S])*"|'(?:[^'\\\n\r]|\\[\s\S])*')$/.test(lit)) return null;
    // Without an escape the text between the quotes is the value.
    if (lit.indexOf('\\') === -1) return lit.substring(1, lit.length - 1);
    try {
        var v = (0, eval)(lit);
        return typeof v === 'string' ? v : null;
    } catch (e) {
        return null;
    }
}

// A string literal for value: printable ASCII and Chinese text stay plain, everything
// that needs an escape (the quote, the backslash, control and line characters) or
// that the workbench's code page may not hold keeps one.
function unpack_quote(value, quote) {
    var q = quote || "'", out = [q];
    for (var i = 0; i < value.length; i++) {
        var c = value.charAt(i), code = value.charCodeAt(i);
        if (c === q || c === '\\') out.push('\\' + c);
        else if (c === '\n') out.push('\\n');
        else if (c === '\r') out.push('\\r');
        else if (c === '\t') out.push('\\t');
        else if (code >= 0x20 && code < 0x7f) out.push(c);
        else if ((code >= 0x4e00 && code <= 0x9fa5) || (code >= 0x3000 && code <= 0x303f) || (code >= 0xff01 && code <= 0xff5e)) out.push(c);
        else if (code < 0x100) out.push('\\x' + (code < 16 ? '0' : '') + code.toString(16).toUpperCase());
        else out.push('\\u' + ('000' + code.toString(16).toUpperCase()).slice(-4));
    }
    out.push(q);
    return out.join('');
}

// The code evaluated for an obfuscator's helper; the workbench runs this only in its
// private control.
function unpack_evaluate(code) {
    return (0, eval)(code);
}

// Code taking a statement's place ends its own line, so that a line comment at its end
// cannot swallow what follows.
function unpack_own_lines(code) {
    return /[\n\r]$/.test(code) ? code : code + '\n';
}

// ---- recognisers -------------------------------------------------------------------

var unpack_recognisers = [];
// Steps that only make the text read better come after every other, whichever file
// defines them: renaming must not run before a recogniser that looks for _0x… names.
var unpack_final_recognisers = [];

// Packer output, anywhere in the text and every chunk: "eval(function(p,a,c,k,e,r|d)…)"
// as a statement, also as window.eval(…). The packer's expression is evaluated; its
// result, the packed source, takes the statement's place. One chunk a step, so that a
// chunk that never returns costs only itself: it is skipped as "packer#index".
unpack_recognisers.push({
    name: 'packer', label: '打包器(p,a,c,k,e,r)',
    apply: function (src, skip) {
        if (!/eval\s*\(\s*\(?\s*function\s*\(\s*p\s*,\s*a\s*,\s*c\s*,\s*k\s*,\s*e\s*,/.test(src)) return null;
        var t = unpack_tokens(src), index = -1;
        for (var i = 0; i + 4 < t.length; i++) {
            if (t[i].v !== 'eval' || t[i + 1].v !== '(') continue;
            var f = i + 2;
            if (t[f].v === '(') f++;
            if (t[f].v !== 'function' || t[f + 1].v !== '(' || t[f + 2].v !== 'p' || t[f + 4].v !== 'a') continue;
            var start = i;
            if (i >= 2 && t[i - 1].v === '.' && t[i - 2].v === 'window') start = i - 2;
            if (!unpack_at_statement(t, start)) continue;
            var close = unpack_close(t, i + 1);
            if (close < 0) continue;
            index++;
            unpack_last.place = 'packer#' + index;
            if (skip.indexOf(',' + unpack_last.place + ',') !== -1) continue;
            var value;
            try {
                value = unpack_evaluate('(' + src.substring(t[i + 2].s, t[close].s) + ')');
            } catch (e) {
                value = null;
            }
            if (typeof value !== 'string' || value.length === 0) continue;
            return { text: unpack_splice(src, [{ s: t[start].s, e: t[close].e, text: unpack_own_lines(value) }]), count: 1 };
        }
        return null;
    }
});

// eval(…), Function(…)() and new Function(…)() around a constant string: string
// literals, numbers, unescape, decodeURIComponent, decodeURI, String.fromCharCode, "+".
// Only whole statements are unwrapped, so the code takes the place of the call.
unpack_recognisers.push({
    name: 'eval', label: 'eval包装',
    apply: function (src) {
        if (!/\b(eval|Function)\s*\(/.test(src)) return null;
        var t = unpack_tokens(src), edits = [], count = 0, braces = [], depth = 0, d;
        var allowed = /^(unescape|decodeURIComponent|decodeURI|String|fromCharCode|[.,+()])$/;
        for (d = 0; d < t.length; d++) {
            if (t[d].v === '}' && t[d].k === 'punc') depth--;
            braces[d] = depth;
            if (t[d].v === '{' && t[d].k === 'punc') depth++;
        }
        for (var i = 0; i + 2 < t.length; i++) {
            var start = i, open, tail;
            if (t[i].v === 'new' && t[i + 1].v === 'Function') i++;
            if (t[i].v !== 'eval' && t[i].v !== 'Function') continue;
            if (t[i + 1].v !== '(' || !unpack_at_statement(t, start)) continue;
            open = i + 1;
            var close = unpack_close(t, open);
            if (close < 0 || close === open + 1) continue;
            tail = close;
            if (t[i].v === 'Function') {
                // Only the call of the made function unwraps, Function("code")(), and only at
                // the top level: inside a function the code would see that function's names.
                if (braces[i] !== 0 || !t[close + 1] || t[close + 1].v !== '(' || !t[close + 2] || t[close + 2].v !== ')') continue;
                tail = close + 2;
            }
            var constant = true;
            for (var j = open + 1; j < close; j++) {
                if (!(t[j].k === 'str' || t[j].k === 'num' || allowed.test(t[j].v))) { constant = false; break; }
            }
            if (!constant) continue;
            var value;
            try {
                value = unpack_evaluate('(' + src.substring(t[open + 1].s, t[close].s) + ')');
            } catch (e) {
                continue;
            }
            if (typeof value !== 'string') continue;
            // Function bodies keep a scope of their own.
            if (t[i].v === 'Function') value = '(function () {\n' + value + '\n})()';
            edits.push({ s: t[start].s, e: t[tail].e, text: unpack_own_lines(value) });
            count++;
            i = tail;
        }
        return count ? { text: unpack_splice(src, edits), count: count } : null;
    }
});

// A URL-escaped bookmarklet: "%20" and no space anywhere, unescaped whole.
unpack_recognisers.push({
    name: 'bookmarklet', label: 'URL转义',
    apply: function (src) {
        if (src.indexOf('%20') === -1 || src.indexOf(' ') !== -1) return null;
        var text = unescape(src);
        return text !== src ? { text: text, count: 1 } : null;
    }
});

// The old one-array form at the start: "var _0x…=[…];" followed by _0x…[index] reads.
// Every item must be a string literal (either quote); the array stays when any other
// use of its name remains.
unpack_recognisers.push({
    name: 'array', label: '字符串数组',
    apply: function (src) {
        var lead = /^(\s*\/\/[^\n]*\n|\s*\/\*[\s\S]*?\*\/)*\s*/.exec(src)[0];
        if (!/^var _0x[a-f0-9]+ ?\= ?\[/.test(src.substring(lead.length))) return null;
        var t = unpack_tokens(src);
        if (t.length < 5 || t[0].v !== 'var' || t[2].v !== '=' || t[3].v !== '[') return null;
        var name = t[1].v, close = unpack_close(t, 3), items = [];
        if (close < 0) return null;
        for (var i = 4; i < close; i += 2) {
            var v = t[i].k === 'str' ? unpack_string_value(t[i].v) : null;
            if (v === null || (t[i + 1].v !== ',' && i + 1 !== close)) return null;
            items.push(v);
        }
        var end = close + 1;
        if (!t[end] || t[end].v !== ';') return null;
        var edits = [], count = 0, left = 0;
        for (var j = end + 1; j < t.length; j++) {
            if (t[j].v !== name || (t[j - 1] && t[j - 1].v === '.')) continue;
            var idx = t[j + 1] && t[j + 1].v === '[' && t[j + 2] && t[j + 2].k === 'num' && t[j + 3] && t[j + 3].v === ']'
                ? Number(t[j + 2].v) : NaN;
            if (idx >= 0 && idx < items.length && !(t[j + 4] && /^(=|\+\+|--|[-+*\/%&|^]=|<<=|>>>?=)$/.test(t[j + 4].v))) {
                edits.push({ s: t[j].s, e: t[j + 3].e, text: unpack_quote(items[idx]) });
                count++;
                j += 3;
            } else {
                left++;
            }
        }
        if (!count) return null;
        if (!left) edits.push({ s: t[0].s, e: t[end].e, text: '' });
        var text = unpack_splice(src, edits);
        if (!left) text = text.substring(0, t[0].s) + text.substring(t[0].s).replace(/^\s+/, '');
        return { text: text, count: count };
    }
});

function unpack_step_with(src, skip) {
    // Recognisers marked late are tried only when none of the others applies, the final
    // ones (names) after all of them.
    var all = [], n = unpack_recognisers.length, i;
    for (i = 0; i < n; i++) if (!unpack_recognisers[i].late) all.push(unpack_recognisers[i]);
    for (i = 0; i < n; i++) if (unpack_recognisers[i].late) all.push(unpack_recognisers[i]);
    all = all.concat(unpack_final_recognisers);
    for (i = 0; i < all.length; i++) {
        var r = all[i];
        if ((',' + skip + ',').indexOf(',' + r.name + ',') !== -1) continue;
        unpack_last.name = r.name;
        unpack_last.place = '';
        var done = r.apply(src, ',' + skip + ',');
        if (done && done.text !== src) {
            unpack_last.label = r.label;
            unpack_last.count = done.count || 1;
            unpack_last.removed = (done.removed || []).join(',');
            return done.text;
        }
    }
    unpack_last.name = '';
    return src;
}

// What the last step did: the recogniser's name and label, how many places, the global
// functions it removed on purpose (comma-separated), and the one place it was working
// on when it works place by place (the name to skip when that place fails).
var unpack_last = { name: '', label: '', count: 0, removed: '', place: '' };

// One layer off: the first recogniser not named in skip (comma-separated) that changes
// the text gives the result; the text itself when none does.
function unpack_step(source, skip) {
    unpack_last = { name: '', label: '', count: 0, removed: '', place: '' };
    return unpack_step_with(String(source), String(skip || ''));
}

// Several layers in one call, so that the workbench checks their sum once: at most
// `most` of them, and no more once `budget` milliseconds have passed. The recognisers
// are tried by stages in the order unpack_step tries them, and a stage only once none
// before it changes anything: those that take the obfuscation apart, then those that
// tidy the text up (from the escapes on), the late ones, the final ones. Within the
// first two each pass tries every one of the stage on the text the ones before it left,
// not only the first that applies, and each again on its own result until it finds
// nothing more. What each layer did is kept in unpack_batch, the text after it in
// unpack_batch_texts.
var unpack_batch = [], unpack_batch_texts = [];
function unpack_steps(source, skip, most, budget) {
    var src = String(source), start = new Date().getTime(), stages = unpack_stages(), s, i;
    most = Number(most);
    budget = Number(budget);
    skip = ',' + String(skip || '') + ',';
    unpack_batch = [];
    unpack_batch_texts = [];
    function apply(r) {
        if (skip.indexOf(',' + r.name + ',') !== -1) return false;
        // A recogniser that found nothing in a text finds nothing in it again: after a
        // later one changed nothing, the stages go round once more on the same text.
        if (r.none && r.none.src === src && r.none.skip === skip) return false;
        unpack_last = { name: r.name, label: r.label, count: 0, removed: '', place: '' };
        var done = r.apply(src, skip);
        if (!done || done.text === src) {
            r.none = { src: src, skip: skip };
            return false;
        }
        unpack_last.count = done.count || 1;
        unpack_last.removed = (done.removed || []).join(',');
        unpack_batch.push(unpack_last);
        unpack_batch_texts.push(done.text);
        var now = new Date().getTime();
        longest = Math.max(longest, now - layerStart);
        layerStart = now;
        src = done.text;
        return true;
    }
    // The longest layer so far tells whether one more still fits in the budget.
    var longest = 0, layerStart = start;
    function full() {
        var now = new Date().getTime();
        return unpack_batch.length >= most || now - start + longest > budget;
    }
    while (!full()) {
        var changed = false;
        for (s = 0; s < stages.length && !changed; s++) {
            for (i = 0; i < stages[s].list.length && !full(); i++) {
                // One that applies goes on until it finds nothing more, as it would with
                // none before it applying in between.
                while (!full() && apply(stages[s].list[i])) changed = true;
                if (changed && !stages[s].passes) break;
            }
        }
        if (!changed) break;
    }
    unpack_last = { name: '', label: '', count: 0, removed: '', place: '' };
    return src;
}

// The recognisers by stages, in the order unpack_step tries them.
function unpack_stages() {
    var apart = [], tidy = [], late = [], i;
    for (i = 0; i < unpack_recognisers.length; i++) {
        var r = unpack_recognisers[i];
        if (r.late) late.push(r);
        else if (tidy.length || r.name === 'escapes') tidy.push(r);
        else apart.push(r);
    }
    return [{ list: apart, passes: true }, { list: tidy, passes: true }, { list: late, passes: false },
            { list: unpack_final_recognisers, passes: false }];
}

// Names of the functions a script declares at its top level, comma-separated.
function unpack_global_functions(source) {
    var t = unpack_tokens(String(source)), depth = 0, names = [];
    for (var i = 0; i < t.length; i++) {
        var v = t[i].k === 'punc' ? t[i].v : '';
        if (v === '{' || v === '(' || v === '[') depth++;
        else if (v === '}' || v === ')' || v === ']') depth--;
        else if (depth === 0 && t[i].v === 'function' && t[i].k === 'name' && unpack_at_statement(t, i) &&
                 t[i + 1] && t[i + 1].k === 'name') names.push(t[i + 1].v);
    }
    return names.join(',');
}

// Code that checks its own text or fights a debugger: formatting would set it off.
function unpack_guard_reason(source) {
    var s = String(source);
    if (/\(\(\(\.\+\)\+\)\+\)\+\$/.test(s) || /return \/" ?\+ ?this ?\+ ?"\//.test(s) ||
        /\^\(\[\^ \]\+\( \+\[\^ \]\+\)\+\)\+\[\^ \]\}/.test(s)) return '自我保护';
    if (/debugger/.test(s) && /(setInterval|constructor|while\s*\(|for\s*\()/.test(s) &&
        /(['"])debu\1|debugger/.test(s) && /(['"])(gger|action)\1|setInterval/.test(s)) return '调试保护';
    return '';
}

// Every layer off, as the button did before its checks; kept for scripts of the
// workbench's users that call it.
function unpacker_filter(source) {
    source = String(source);
    for (var round = 0; round < 100; round++) {
        var next = unpack_step(source, '');
        if (next === source) break;
        source = next;
    }
    return source;
}

// The label of a recogniser by its name.
function unpack_label(name) {
    var all = unpack_recognisers.concat(unpack_final_recognisers);
    for (var i = 0; i < all.length; i++)
        if (all[i].name === name) return all[i].label;
    return name;
}

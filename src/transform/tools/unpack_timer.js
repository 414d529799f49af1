// setTimeout("code", ms) and setInterval("code", ms) around a constant string: the text
// becomes a function that the timer calls, "setTimeout(function () {\ncode\n}, ms)". The
// string runs in the global scope and a function does not, so the code must not
// declare names, read this or arguments, or return; inside a function the call is
// unwrapped only when no name of the code is one of that script's local names.

// Names declared inside any function of the script (parameters included).
function unpack_local_names(t) {
    var names = {};
    for (var i = 0; i < t.length; i++) {
        if (t[i].v !== 'function' || t[i].k !== 'name') continue;
        var p = i + 1;
        if (t[p] && t[p].k === 'name') p++;
        if (!t[p] || t[p].v !== '(') continue;
        var pc = unpack_close(t, p), bc = pc < 0 ? -1 : unpack_close(t, pc + 1);
        if (bc < 0) continue;
        var inner = unpack_declared_in(t, i, bc);
        for (var k in inner) if (unpack_has(inner, k)) names[k] = true;
        if (t[i + 1].k === 'name' && p === i + 2 && unpack_brace_depth(t, i) > 0) names[t[i + 1].v] = true;
    }
    return names;
}

// Whether code may move from a string into a function body unchanged in meaning.
function unpack_timer_code_movable(code, locals, nested) {
    var t = unpack_tokens(code), sts = unpack_statements(t, code), k;
    for (k = 0; k < sts.length; k++) {
        var head = t[sts[k].a];
        if (head && head.k === 'name' && /^(var|let|const|function|class)$/.test(head.v)) return false;
    }
    for (k = 0; k < t.length; k++) {
        if (t[k].k !== 'name' || (k > 0 && t[k - 1].v === '.')) continue;
        if (/^(this|arguments|return|eval)$/.test(t[k].v)) return false;
        if (nested && unpack_has(locals, t[k].v)) return false;
    }
    return true;
}

unpack_recognisers.push({
    name: 'timer', label: '定时器字符串',
    apply: function (src) {
        if (!/\bset(Timeout|Interval)\s*\(\s*['"(]/.test(src)) return null;
        var t = unpack_tokens(src), edits = [], count = 0, locals = null;
        var allowed = /^(unescape|decodeURIComponent|decodeURI|String|fromCharCode|[.,+()])$/;
        for (var i = 0; i + 3 < t.length; i++) {
            if ((t[i].v !== 'setTimeout' && t[i].v !== 'setInterval') || t[i].k !== 'name' || t[i + 1].v !== '(') continue;
            // setTimeout(…) or window.setTimeout(…), standing alone as a statement.
            var start = i;
            if (i >= 2 && t[i - 1].v === '.' && /^(window|self|this)$/.test(t[i - 2].v)) start = i - 2;
            else if (i >= 1 && t[i - 1].v === '.') continue;
            if (!unpack_at_statement(t, start)) continue;
            var close = unpack_close(t, i + 1);
            if (close < 0) continue;
            var args = unpack_args(src, t, i + 1, close);
            if (!args.length) continue;
            var first = args[0], constant = true;
            for (var j = first.a; j <= first.b && constant; j++) {
                if (!(t[j].k === 'str' || t[j].k === 'num' || allowed.test(t[j].v))) constant = false;
            }
            if (!constant) continue;
            var code;
            try {
                code = unpack_evaluate('(' + src.substring(t[first.a].s, t[first.b].e) + ')');
            } catch (e) {
                continue;
            }
            if (typeof code !== 'string') continue;
            var nested = unpack_brace_depth(t, i) > 0;
            if (nested && !locals) locals = unpack_local_names(t);
            if (!unpack_timer_code_movable(code, locals || {}, nested)) continue;
            edits.push({ s: t[first.a].s, e: t[first.b].e, text: 'function () {\n' + code + '\n}' });
            count++;
            i = close;
        }
        return count ? { text: unpack_splice(src, edits), count: count } : null;
    }
});

// Declarations nothing reads: "var P, Q;" inside a function, left behind by the layers
// that took the code using them away (or put there by the obfuscator as padding). Only
// declarations without a value, inside a function, go, and only names the function
// names nowhere else but in such declarations; a function that calls eval keeps them.
// Loaded after unpack_tidy.js: a step of the tidy stage.

// The bare declarations of tokens, "var a, b;" standing as a statement: each with the
// indexes of its var and ";" and its names' indexes.
function unpack_bare_declarations(t) {
    var out = [];
    for (var i = 1; i + 2 < t.length; i++) {
        if (t[i].v !== 'var' || t[i].k !== 'name' || !unpack_at_statement(t, i)) continue;
        if (t[i - 1].v === '}' && !unpack_statement_start(t, i)) continue;
        var names = [], k = i + 1;
        while (t[k] && t[k].k === 'name' && !unpack_reserved.test(t[k].v) && t[k + 1] && (t[k + 1].v === ',' || t[k + 1].v === ';')) {
            names.push(k);
            if (t[k + 1].v === ';') break;
            k += 2;
        }
        if (!names.length || !t[k + 1] || t[k + 1].v !== ';') continue;
        out.push({ a: i, b: k + 1, names: names });
        i = k + 1;
    }
    return out;
}

// A function inside fn, around tokens[k], has a parameter called name: there the name
// is that parameter.
function unpack_param_between(t, scopes, k, fn, name) {
    for (var g = scopes.fnOf[k]; g > fn; g = scopes.fnOf[g - 1]) {
        if (t[g].v !== '(') continue;
        var close = unpack_close(t, g);
        for (var j = g + 1; j < close; j++) if (t[j].v === name && t[j].k === 'name') return true;
    }
    return false;
}

// The text holds name as a word of its own.
function unpack_word_in(text, name) {
    for (var at = text.indexOf(name); at !== -1; at = text.indexOf(name, at + 1)) {
        var before = text.charCodeAt(at - 1), after = text.charCodeAt(at + name.length);
        if (!(at > 0 && unpack_name_char(before)) && !unpack_name_char(after)) return true;
    }
    return false;
}

unpack_recognisers.push({
    name: 'unused', label: '无用声明',
    apply: function (src) {
        if (!/\bvar\s+[\w$]+\s*[,;]/.test(src)) return null;
        var t = unpack_tokens(src), decls = unpack_bare_declarations(t), edits = [], bare = {}, i, k;
        if (!decls.length) return null;
        var scopes = unpack_scopes_of(t);
        for (i = 0; i < decls.length; i++)
            for (k = 0; k < decls[i].names.length; k++) bare[decls[i].names[k]] = true;
        for (i = 0; i < decls.length; i++) {
            var d = decls[i], fn = scopes.fnOf[d.a], end = scopes.ends[fn];
            if (fn < 0 || !(end > fn)) continue;
            // Names inside a template's substitutions are no tokens of their own: the
            // template's text is looked through for them.
            var evals = false, templates = [];
            for (k = fn; k <= end && !evals; k++) {
                if (t[k].v === 'eval' && t[k].k === 'name') evals = true;
                if (t[k].k === 'tpl' && t[k].v.indexOf('${') !== -1) templates.push(t[k].v);
            }
            if (evals) continue;
            var kept = [];
            for (k = 0; k < d.names.length; k++) {
                var places = unpack_name_places(t, t[d.names[k]].v), read = false;
                for (var p = 0; p < places.length && !read; p++)
                    if (places[p] >= fn && places[p] <= end && !bare[places[p]] &&
                        !unpack_param_between(t, scopes, places[p], fn, t[d.names[k]].v)) read = true;
                for (p = 0; p < templates.length && !read; p++) if (unpack_word_in(templates[p], t[d.names[k]].v)) read = true;
                if (read) kept.push(t[d.names[k]].v);
            }
            if (kept.length === d.names.length) continue;
            edits.push({ s: t[d.a].s, e: t[d.b].e, text: kept.length ? 'var ' + kept.join(', ') + ';' : '' });
        }
        return edits.length ? { text: unpack_splice(src, edits), count: edits.length } : null;
    }
});

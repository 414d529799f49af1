// Names as a person would give them: every _0x… variable, parameter and function of a
// function's own scope gets a short name from its role where the code shows it for
// certain (a loop counter i, a parameter read as a string str, a caught error e…), and
// otherwise one in scope order (arg1, v1, fn1…).
//
// A binding is renamed over its whole region (the function, catch clause or block it
// lives in), every occurrence of its old name there at once, to a name that occurs
// nowhere in that region and that no renamed binding of an enclosing or enclosed region
// took: nothing is captured and nothing shadows. The script's own globals keep their
// names (other scripts and the caller's expressions use them), and so does every name
// of a region holding a direct eval or a with statement, which may reach names by text.

// Methods only strings have: a binding whose members are read through them holds text.
var unpack_string_methods = /^(charCodeAt|charAt|codePointAt|substring|substr|toUpperCase|toLowerCase|trim|split|replace|match|localeCompare|normalize|padStart|padEnd)$/;
var unpack_array_methods = /^(push|pop|shift|unshift|splice)$/;

// The region a declaration at tokens[i] binds in, as { a, b } (token indexes, inclusive),
// with its kind; null when the name is not declared there; { bad: true } when it is, in
// a way left alone (a global, an arrow's expression body, a class).
function unpack_binding_at(t, i, scopes, around, varAt) {
    var prev = t[i - 1], next = t[i + 1], open = around[i], fn, close;
    if (!prev) return null;
    if (prev.v === 'function' && prev.k === 'name') {
        // A declaration binds in the function around it, an expression's name in itself.
        if (unpack_at_statement(t, i - 1) && unpack_statement_start(t, i - 1)) {
            fn = scopes.fnOf[i - 1];
            return fn < 0 ? { bad: true } : { a: fn, b: scopes.ends[fn], kind: 'function', at: i };
        }
        close = scopes.ends[i + 1];
        return close === undefined ? { bad: true } : { a: i - 1, b: close, kind: 'function', at: i };
    }
    if (prev.v === 'class' && prev.k === 'name') return { bad: true };
    if (next && next.v === '=>') return { bad: true };
    if (varAt[i]) {
        var keyword = varAt[i];
        if (keyword === 'var') {
            fn = scopes.fnOf[i];
            return fn < 0 ? { bad: true } : { a: fn, b: scopes.ends[fn], kind: 'var', at: i };
        }
        // let and const: the block around them, or the loop whose head holds them.
        if (open < 0) return { bad: true };
        if (t[open].v === '{') return { a: open, b: unpack_close(t, open), kind: 'var', at: i };
        if (t[open].v === '(' && t[open - 1] && t[open - 1].v === 'for') {
            var end = unpack_statement_end(t, open - 1);
            return end < 0 ? { bad: true } : { a: open - 1, b: end, kind: 'var', at: i };
        }
        return { bad: true };
    }
    if (open < 0 || !(prev.v === '(' || prev.v === ',' || prev.v === '...') || t[open].v !== '(') return null;
    // A parameter: the parenthesis around it opens a function's parameters.
    if (scopes.ends[open] !== undefined && scopes.fnOf[i] === open) {
        return { a: open, b: scopes.ends[open], kind: 'param', at: i };
    }
    if (t[open - 1] && t[open - 1].v === 'catch' && prev.v === '(' && next && next.v === ')') {
        var body = open + 3 < t.length && t[open + 3].v === '{' ? unpack_close(t, open + 3) : -1;
        return body < 0 ? { bad: true } : { a: open - 1, b: body, kind: 'catch', at: i };
    }
    // An arrow's parameters.
    close = unpack_close(t, open);
    if (close > 0 && t[close + 1] && t[close + 1].v === '=>') return { bad: true };
    return null;
}

// For every token that a var, let or const statement declares, the keyword.
function unpack_declared_names(t) {
    var out = [], stack = [], state = null, depth = 0;
    for (var i = 0; i < t.length; i++) {
        var tok = t[i], v = tok.k === 'punc' ? tok.v : '';
        if (v === '(' || v === '[' || v === '{') {
            stack.push(state);
            state = null;
            depth++;
            continue;
        }
        if (v === ')' || v === ']' || v === '}') {
            state = stack.length ? stack.pop() : null;
            depth--;
            continue;
        }
        if (tok.k === 'name' && /^(var|let|const)$/.test(tok.v) && t[i + 1] && t[i + 1].k === 'name' &&
            !(t[i - 1] && t[i - 1].v === '.')) {
            state = tok.v;
            out[i + 1] = state;
            i++;
            continue;
        }
        if (!state) continue;
        if (v === ';' || tok.v === 'in' || tok.v === 'of') state = null;
        else if (v === ',' && t[i + 1] && t[i + 1].k === 'name') out[i + 1] = state;
        else if (t[i + 1] && unpack_line_between(t, i) && !unpack_goes_on(t, i)) state = null;
    }
    return out;
}

// What a binding's uses show of its role, as the name it takes (without a number).
function unpack_role_name(t, binding, uses) {
    var at = binding.at, k;
    if (binding.kind === 'catch') return 'e';
    if (binding.kind === 'function') return 'fn';
    // A loop's counter: "for (var x = …; x < …; x++)".
    var p = t[at - 1] && /^(var|let)$/.test(t[at - 1].v) ? at - 2 : -1;
    if (p > 0 && t[p].v === '(' && t[p - 1] && t[p - 1].v === 'for') {
        var close = unpack_close(t, p), counted = false;
        for (k = p; k < close; k++) {
            if (t[k].v === t[at].v && t[k].k === 'name' && t[k + 1] && /^(\+\+|--|\+=|-=)$/.test(t[k + 1].v)) counted = true;
            if (t[k].v === t[at].v && t[k].k === 'name' && t[k - 1] && /^(\+\+|--)$/.test(t[k - 1].v)) counted = true;
        }
        if (counted) return 'i';
    }
    var text = false, array = false;
    for (k = 0; k < uses.length; k++) {
        var u = uses[k];
        if (t[u + 1] && t[u + 1].v === '.' && t[u + 2] && t[u + 3] && t[u + 3].v === '(') {
            if (unpack_string_methods.test(t[u + 2].v)) text = true;
            if (unpack_array_methods.test(t[u + 2].v)) array = true;
        }
    }
    if (text && !array) return 'str';
    if (array && !text) return 'list';
    // What it starts as: "var x = [] / {} / /re/".
    if (binding.kind === 'var' && t[at + 1] && t[at + 1].v === '=' && t[at + 2]) {
        var first = t[at + 2];
        if (first.v === '[' && t[at + 3] && t[at + 3].v === ']') return 'list';
        if (first.v === '{' && t[at + 3] && t[at + 3].v === '}') return 'obj';
        if (first.k === 're' || (first.v === 'new' && t[at + 3] && t[at + 3].v === 'RegExp')) return 're';
        if (first.v === 'function') return 'fn';
    }
    return binding.kind === 'param' ? 'arg' : 'v';
}

// Labels of the script: for every token that names one (its declaration "name:" before a
// statement and the "break name" / "continue name" inside that statement) the label's
// declaration index in of; and the declarations as { at, region, loop, uses }. Labels
// live apart from variables, so a label and a variable of one name are renamed apart.
function unpack_labels(t, src) {
    var of = [], list = [], i, k;
    unpack_line_between.src = src;
    for (i = 0; i + 2 < t.length; i++) {
        if (t[i].k !== 'name' || t[i + 1].v !== ':' || unpack_reserved.test(t[i].v) || !unpack_at_statement(t, i)) continue;
        if (t[i - 1] && (t[i - 1].v === '{' || t[i - 1].v === ',') && unpack_in_object(t, i)) continue;
        if (unpack_after_case(t, i + 1)) continue;
        var end = unpack_statement_end(t, i + 2);
        if (end < 0) continue;
        of[i] = i;
        list.push({ at: i, region: { a: i, b: end, kind: 'label', at: i }, loop: /^(for|while|do)$/.test(t[i + 2].v), uses: [i] });
    }
    // A break or continue goes to the innermost label of its name around it.
    for (k = 0; k < t.length && list.length; k++) {
        if (!((t[k].v === 'break' || t[k].v === 'continue') && t[k].k === 'name' && t[k + 1] && t[k + 1].k === 'name' &&
              !unpack_line_between(t, k))) continue;
        for (var j = list.length - 1; j >= 0; j--) {
            var label = list[j];
            if (label.at < k && label.region.b >= k && t[label.at].v === t[k + 1].v) {
                label.uses.push(k + 1);
                of[k + 1] = label.at;
                break;
            }
        }
    }
    return { of: of, list: list };
}

// The first index in the sorted list that is at least a, or the list's length.
function unpack_lower_bound(list, a) {
    var lo = 0, hi = list.length;
    while (lo < hi) {
        var mid = (lo + hi) >> 1;
        if (list[mid] < a) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

// Plain names for the obfuscator's _0x… names: the text with the names replaced, or the
// text itself when nothing can be renamed for certain.
function unpack_rename(src) {
    var t = unpack_tokens(src), i, k, n;
    unpack_line_between.src = src;
    var scopes = unpack_scopes_of(t), varAt = unpack_declared_names(t), around = [], stack = [];
    var byName = {}, names = [], lawless = [], labels = unpack_labels(t, src);
    for (i = 0; i < t.length; i++) {
        around[i] = stack.length ? stack[stack.length - 1] : -1;
        var w = t[i].k === 'punc' ? t[i].v : '';
        if (w === '(' || w === '[' || w === '{') stack.push(i);
        else if ((w === ')' || w === ']' || w === '}') && stack.length) stack.pop();
        if (t[i].k !== 'name' || (t[i - 1] && (t[i - 1].v === '.' || t[i - 1].v === '?.'))) continue;
        // A direct eval or a with statement may reach any name of the code around it.
        if ((t[i].v === 'eval' || t[i].v === 'with') && t[i + 1] && t[i + 1].v === '(') lawless.push(i);
        if (!unpack_has(byName, t[i].v)) {
            byName[t[i].v] = [];
            names.push(t[i].v);
        }
        byName[t[i].v].push(i);
    }
    // Every _0x… name with the regions its declarations bind in.
    var plans = [];
    for (n = 0; n < names.length; n++) {
        var name = names[n];
        // The obfuscator's _0x… names, and the one- or two-letter names of mangled code
        // where the role is certain.
        var hex = /^_0x[0-9a-fA-F]+$/.test(name), mangled = !hex && /^[A-Za-z_$][A-Za-z0-9_$]?$/.test(name);
        if ((!hex && !mangled) || unpack_reserved.test(name)) continue;
        var list = byName[name], regions = [], fine = true, uses = [];
        for (k = 0; k < list.length && fine; k++) {
            i = list[k];
            var prev = t[i - 1], next = t[i + 1];
            // Labels are renamed apart.
            if (labels.of[i] !== undefined) continue;
            // A label not told for certain, or a key of an object literal (a shorthand one is a use too).
            if (prev && (prev.v === 'break' || prev.v === 'continue')) fine = false;
            else if (next && next.v === ':' && unpack_at_statement(t, i)) fine = false;
            if (prev && (prev.v === '{' || prev.v === ',') && next && (next.v === ':' || next.v === '(') && unpack_in_object(t, i)) continue;
            if (prev && /^(get|set|static|async|\*)$/.test(prev.v) && next && next.v === '(') continue;
            var b = unpack_binding_at(t, i, scopes, around, varAt);
            if (b && b.bad) fine = false;
            else if (b) regions.push(b);
            uses.push(i);
        }
        if (!fine || !regions.length) continue;
        // The widest regions hold the others (a name declared again inside is renamed with them).
        regions.sort(function (x, y) { return x.a - y.a || y.b - x.b; });
        var outer = [];
        for (k = 0; k < regions.length; k++) {
            var last = outer[outer.length - 1];
            if (last && regions[k].a >= last.a && regions[k].b <= last.b) {
                // Another binding of the name inside: renamed with the outer one.
                if (regions[k].a !== last.a || regions[k].b !== last.b) last.holds = true;
                continue;
            }
            if (last && regions[k].a <= last.b) { fine = false; break; }
            outer.push(regions[k]);
        }
        // Every use lies in a region.
        for (k = 0; k < uses.length && fine; k++) {
            var inside = false;
            for (var r = 0; r < outer.length && !inside; r++) inside = uses[k] >= outer[r].a && uses[k] <= outer[r].b;
            if (!inside) fine = false;
        }
        for (k = 0; k < outer.length && fine; k++) {
            var from = unpack_lower_bound(lawless, outer[k].a);
            if (from < lawless.length && lawless[from] <= outer[k].b) fine = false;
        }
        if (!fine) continue;
        for (k = 0; k < outer.length; k++) {
            var mine = [];
            for (var u = 0; u < uses.length; u++) if (uses[u] >= outer[k].a && uses[u] <= outer[k].b) mine.push(uses[u]);
            var role = unpack_role_name(t, outer[k], mine);
            // A short name keeps its own unless its role is plain and no inner binding shares it.
            if (mangled && (outer[k].holds || !/^(i|str|list|obj|re)$/.test(role) || name === role ||
                (role === 'i' && /^[ijkn][0-9]?$/.test(name)))) continue;
            plans.push({ name: name, region: outer[k], uses: mine, role: role });
        }
    }
    // Labels of the obfuscator's names: "outer" for a loop's, "block" for another statement's.
    for (k = 0; k < labels.list.length; k++) {
        var label = labels.list[k], own = t[label.at].v;
        if (!/^_0x[0-9a-fA-F]+$/.test(own) && !/^[A-Za-z_$][A-Za-z0-9_$]?$/.test(own)) continue;
        plans.push({ name: own, region: label.region, uses: label.uses, role: label.loop ? 'outer' : 'block', label: true });
    }
    if (!plans.length) return src;
    // Outer regions first, each in the order it starts: names go out in scope order.
    plans.sort(function (x, y) { return x.region.a - y.region.a || y.region.b - x.region.b || x.region.at - y.region.at; });
    var given = {}, edits = [];
    function free(candidate, region) {
        if (unpack_reserved.test(candidate) || /^(arguments|eval|Infinity|NaN|undefined)$/.test(candidate)) return false;
        if (unpack_has(byName, candidate)) {
            var at = unpack_lower_bound(byName[candidate], region.a);
            if (at < byName[candidate].length && byName[candidate][at] <= region.b) return false;
        }
        // Regions sharing a name never overlap and come in the order they start, so only
        // the last one given the name can hold this one.
        var taken = unpack_has(given, candidate) ? given[candidate] : null;
        if (taken && taken.b >= region.a) return false;
        // A label may not take the name of a label around it.
        for (var l = 0; region.kind === 'label' && l < labels.list.length; l++) {
            var outside = labels.list[l].region;
            if (t[labels.list[l].at].v === candidate && outside.a < region.a && outside.b >= region.b) return false;
        }
        return true;
    }
    for (var p = 0; p < plans.length; p++) {
        var plan = plans[p], role = plan.role, chosen = null, tries;
        // Role names read best bare ("i", "str") and take a number only when the bare one is taken.
        var numbered = role === 'arg' || role === 'v' || role === 'fn';
        if (role === 'i') {
            var loops = ['i', 'j', 'k', 'n'];
            for (tries = 0; tries < loops.length && !chosen; tries++) if (free(loops[tries], plan.region)) chosen = loops[tries];
        } else if (!numbered && free(role, plan.region)) {
            chosen = role;
        }
        // Otherwise the smallest number free there: arg1, arg2… in every function anew.
        for (tries = numbered ? 1 : 2; !chosen && tries < 100000; tries++) {
            if (free(role + tries, plan.region)) chosen = role + tries;
        }
        if (!chosen) continue;
        given[chosen] = plan.region;
        for (k = 0; k < plan.uses.length; k++) {
            var at2 = plan.uses[k], before = t[at2 - 1], after = t[at2 + 1];
            // A shorthand member keeps its key: "{_0x1a}" becomes "{_0x1a: str}".
            var shorthand = before && (before.v === '{' || before.v === ',') && after && (after.v === ',' || after.v === '}') &&
                unpack_in_object(t, at2);
            edits.push({ s: t[at2].s, e: t[at2].e, text: shorthand ? plan.name + ': ' + chosen : chosen });
        }
    }
    return edits.length ? unpack_splice(src, edits) : src;
}

unpack_final_recognisers.push({
    name: 'rename', label: '重命名',
    apply: function (src) {
        // Code that checks its own text would notice.
        if (unpack_guard_reason(src)) return null;
        var text = unpack_rename(src);
        return text !== src ? { text: text, count: 1 } : null;
    }
});

// Bundles: the module table of a webpack 4 or 5 bundle (its bootstrap or a chunk of it,
// the table an array or an object) or of a browserify bundle, with each module's id,
// its function and the modules it loads, and the entry. unpack_bundle_read(src) finds
// one; the "bundle" recogniser lays the bundle out entry first, each module under a
// comment with its id and dependencies, and the code still runs as the bundle did.

// A function at tokens[i] ("function (a, b) {…}", "(a, b) => {…}", "a => …"), inside
// any number of parentheses: { a, b, params, open, close } with a..b its tokens (the
// parentheses included), open..close its body's braces (-1 for an arrow's expression).
function unpack_function_at(t, i) {
    var lead = 0, j = i, params = [], k;
    while (t[j] && t[j].v === '(' && t[j].k === 'punc' && !unpack_arrow_head(t, j)) { lead++; j++; }
    if (!t[j]) return null;
    var paramOpen;
    if (t[j].v === 'function' && t[j].k === 'name') {
        paramOpen = t[j + 1] && t[j + 1].v === '(' ? j + 1 : j + 2;
        if (!t[paramOpen] || t[paramOpen].v !== '(') return null;
    } else if (t[j].k === 'name' && t[j + 1] && t[j + 1].v === '=>') {
        params.push(t[j].v);
        paramOpen = -1;
    } else if (t[j].v === '(' && unpack_arrow_head(t, j)) {
        paramOpen = j;
    } else {
        return null;
    }
    var after;
    if (paramOpen >= 0) {
        var paramClose = unpack_close(t, paramOpen);
        for (k = paramOpen + 1; k < paramClose; k++) {
            if (t[k].k === 'name' && (t[k - 1].v === '(' || t[k - 1].v === ',')) params.push(t[k].v);
            else if (t[k].v !== ',') return null;
        }
        after = paramClose + 1;
    } else {
        after = j + 1;
    }
    if (t[after] && t[after].v === '=>') after++;
    var open = -1, close;
    if (t[after] && t[after].v === '{') {
        open = after;
        close = unpack_close(t, open);
        if (close < 0) return null;
    } else if (t[j].v !== 'function') {
        // An arrow's expression runs to the first comma or closing bracket of its level.
        var depth = 0;
        for (close = after; close < t.length; close++) {
            var v = t[close].k === 'punc' ? t[close].v : '';
            if (v === '(' || v === '[' || v === '{') depth++;
            else if (v === ')' || v === ']' || v === '}' || v === ',' || v === ';') {
                if (depth === 0) break;
                if (v !== ',' && v !== ';') depth--;
            }
        }
        close--;
        if (close < after) return null;
    } else {
        return null;
    }
    var b = close;
    for (k = 0; k < lead; k++) {
        if (!t[b + 1] || t[b + 1].v !== ')') return null;
        b++;
    }
    return { a: i, b: b, params: params, open: open, close: close, start: after };
}

// "(a, b) =>" starts at tokens[i].
function unpack_arrow_head(t, i) {
    var c = unpack_close(t, i);
    return c > 0 && t[c + 1] && t[c + 1].v === '=>';
}

// The key of an object literal at tokens[i] as a module id, or null.
function unpack_module_key(t, i) {
    if (t[i].k === 'num') return String(Number(t[i].v.replace(/_/g, '')));
    if (t[i].k === 'str') return unpack_string_value(t[i].v);
    if (t[i].k === 'name') return t[i].v;
    return null;
}

// A module table at tokens[i]: "[f, , g]" or "{1: f, 'x': g}" of functions, or
// browserify's "{1: [f, {'./a': 2}], …}". { open, close, array, browserify, modules }
// with every module { id, fn, deps (browserify's, by name) }, or null.
function unpack_module_table(t, i) {
    while (t[i] && t[i].v === '(' && t[i].k === 'punc') i++;
    if (!t[i] || t[i].k !== 'punc' || (t[i].v !== '[' && t[i].v !== '{')) return null;
    var open = i, close = unpack_close(t, open), array = t[open].v === '[', modules = [], browserify = null;
    if (close < 0) return null;
    var k = open + 1, index = 0;
    while (k < close) {
        var id, fn, named = null;
        if (array) {
            if (t[k].v === ',') { index++; k++; continue; }
            id = String(index);
        } else {
            // Bundlers key their tables by numbers or quoted paths, never by plain names
            // (which every object of methods has).
            if (t[k].k !== 'num' && t[k].k !== 'str') return null;
            id = unpack_module_key(t, k);
            if (id === null || t[k + 1].v !== ':') return null;
            k += 2;
        }
        if (!array && t[k].v === '[') {
            // browserify: [function (require, module, exports) {…}, {'./name': id, …}]
            if (browserify === false) return null;
            browserify = true;
            fn = unpack_function_at(t, k + 1);
            if (!fn || t[fn.b + 1].v !== ',' || t[fn.b + 2].v !== '{') return null;
            var depsClose = unpack_close(t, fn.b + 2);
            if (t[depsClose + 1].v !== ']') return null;
            named = [];
            for (var d = fn.b + 3; d < depsClose; d += 4) {
                var depName = unpack_module_key(t, d);
                if (depName === null || t[d + 1].v !== ':') return null;
                var target = t[d + 2].k === 'num' || t[d + 2].k === 'str' ? unpack_module_key(t, d + 2) : null;
                if (t[d + 2].v === 'void') { target = null; d++; }
                named.push({ name: depName, id: target });
                if (t[d + 3].v !== ',' && d + 3 !== depsClose) return null;
            }
            modules.push({ id: id, fn: fn, named: named, a: k, b: depsClose + 1 });
            k = depsClose + 2;
        } else {
            if (browserify === true) return null;
            browserify = false;
            fn = unpack_function_at(t, k);
            if (!fn || fn.params.length > 4) return null;
            modules.push({ id: id, fn: fn, a: k, b: fn.b });
            k = fn.b + 1;
        }
        if (k < close && t[k].v !== ',') return null;
        if (k < close) { k++; index++; }
    }
    if (!modules.length) return null;
    return { open: open, close: close, array: array, browserify: browserify === true, modules: modules };
}

// Does the name tokens[i] stand for the same binding as outside the function range
// [a, b]? Not when a function between them declares it again (a parameter, a var, a
// function or a let/const of the same name): the loader's name passed on and renamed.
function unpack_shadowed_ranges(t, a, b, name) {
    var out = [];
    for (var k = a; k <= b; k++) {
        if (t[k].v !== 'function' && !(t[k].v === '=>' && t[k].k === 'punc')) continue;
        var fn;
        if (t[k].v === 'function') fn = unpack_function_at(t, k);
        else {
            var head = t[k - 1].v === ')' ? unpack_open_of(t, k - 1) : k - 1;
            fn = head >= 0 ? unpack_function_at(t, head) : null;
        }
        if (!fn || fn.open < 0) continue;
        var own = false;
        for (var p = 0; p < fn.params.length; p++) if (fn.params[p] === name) own = true;
        for (var q = fn.open + 1; q < fn.close && !own; q++) {
            if (t[q].v === name && t[q].k === 'name' && t[q - 1] && /^(var|let|const|function)$/.test(t[q - 1].v)) own = true;
        }
        if (own) out.push({ a: fn.a, b: fn.close });
    }
    return out;
}

// The token that opens the bracket closed at tokens[i].
function unpack_open_of(t, i) {
    var depth = 0;
    for (var j = i; j >= 0; j--) {
        if (t[j].k !== 'punc') continue;
        if (t[j].v === ')' || t[j].v === ']' || t[j].v === '}') depth++;
        else if ((t[j].v === '(' || t[j].v === '[' || t[j].v === '{') && --depth === 0) return j;
    }
    return -1;
}

// The ids loaded through the loader `name` between tokens a and b: name(id),
// name.t(id, …), name.bind(name, id), as they appear, once each, only ids of `known`.
function unpack_loads(t, a, b, name, known) {
    var out = [], seen = {}, skip = unpack_shadowed_ranges(t, a, b, name);
    for (var k = a; k <= b; k++) {
        if (t[k].v !== name || t[k].k !== 'name' || (t[k - 1] && t[k - 1].v === '.')) continue;
        var inner = false;
        for (var s = 0; s < skip.length; s++) if (k > skip[s].a && k <= skip[s].b) inner = true;
        if (inner) continue;
        var at = -1;
        if (t[k + 1].v === '(') at = k + 2;
        else if (t[k + 1].v === '.' && t[k + 3] && t[k + 3].v === '(' && /^(t|bind)$/.test(t[k + 2].v))
            at = t[k + 2].v === 'bind' ? k + 6 : k + 4;
        if (at < 0 || !t[at]) continue;
        // name(name.s = id), as the bootstrap starts its entry.
        if (t[at].v === name && t[at + 1].v === '.' && t[at + 3].v === '=') at += 4;
        if (t[at].k !== 'num' && t[at].k !== 'str') continue;
        var id = unpack_module_key(t, at);
        if (id !== null && unpack_has(known, id) && !unpack_has(seen, id)) {
            seen[id] = true;
            out.push(id);
        }
    }
    return out;
}

// The bundle in src, or null: { kind, table, modules (the table's, each with its
// dependencies), entry }. The entry is { id } when it is a module of the table,
// { a, b, deps } (tokens) when webpack 5 runs it inline after its runtime, or null
// when the file only holds modules (a chunk with no entry).
function unpack_bundle_read(src) {
    if (!/(webpack|\.call\(|\[[\s,]*\(?\s*(function|\(|\w+\s*=>)|\{\s*["']?[\w.\/-]+["']?\s*:\s*\(?\s*(function|\(|\w+\s*=>))/.test(src)) return null;
    var t = unpack_tokens(src), best = null;
    for (var i = 0; i < t.length; i++) {
        if (t[i].k !== 'punc' || (t[i].v !== '[' && t[i].v !== '{')) continue;
        var n = t[i + 1];
        if (!n || !(n.v === 'function' || n.v === '(' || n.v === ',' || ((n.k === 'num' || n.k === 'str') && t[i + 2] && t[i + 2].v === ':'))) continue;
        var table = unpack_module_table(t, i);
        if (!table) continue;
        var found = unpack_bundle_context(src, t, table);
        if (found && (!best || found.modules.length > best.modules.length)) best = found;
        if (found) i = table.close;
    }
    return best;
}

// The kind of bundle around a module table, with each module's dependencies.
function unpack_bundle_context(src, t, table) {
    var before = table.open, after = table.close;
    // Parentheses around the table, not those of a call it is the argument of.
    while (t[before - 1] && t[before - 1].v === '(' && t[after + 1] && t[after + 1].v === ')' &&
           !(t[before - 2] && (t[before - 2].v === '}' || t[before - 2].v === ')' || t[before - 2].k === 'name'))) { before--; after++; }
    var known = {}, m, k;
    for (m = 0; m < table.modules.length; m++) known[table.modules[m].id] = true;
    var out = { kind: '', table: table, modules: table.modules, entry: null, t: t };
    if (table.browserify) {
        // (prelude)({…}, {}, [entry, …])
        if (t[after + 1].v !== ',' || t[after + 2].v !== '{' || t[after + 3].v !== '}' || t[after + 4].v !== ',' ||
            t[after + 5].v !== '[') return null;
        out.kind = 'browserify';
        var entries = unpack_close(t, after + 5);
        for (k = after + 6; k < entries; k++) {
            var e = unpack_module_key(t, k);
            if (t[k].v !== ',' && e !== null && unpack_has(known, e)) { out.entry = { id: e }; break; }
        }
        for (m = 0; m < table.modules.length; m++) {
            var mod = table.modules[m];
            mod.deps = [];
            mod.names = {};
            for (k = 0; k < mod.named.length; k++) {
                if (mod.named[k].id === null) continue;
                if (!unpack_has(mod.names, mod.named[k].id)) mod.deps.push(mod.named[k].id);
                mod.names[mod.named[k].id] = mod.named[k].name;
            }
        }
        return out;
    }
    for (m = 0; m < table.modules.length; m++) {
        var fn = table.modules[m].fn;
        // webpack passes (module, exports, require); the loader is the third name.
        table.modules[m].deps = fn.params.length > 2 ? unpack_loads(t, fn.start, fn.close, fn.params[2], known) : [];
    }
    var calleeEnd = before - 2;
    if (t[calleeEnd] && t[calleeEnd].v === ')' && t[calleeEnd - 1] && t[calleeEnd - 1].v === '}') calleeEnd--;
    if (t[before - 1] && t[before - 1].v === '(' && t[after + 1] && t[after + 1].v === ')' && t[calleeEnd] && t[calleeEnd].v === '}') {
        // webpack 4: (function (modules) {… modules[id].call(…) …})(TABLE)
        var open = unpack_open_of(t, calleeEnd), fnStart = open;
        while (fnStart > 0 && t[fnStart].v !== 'function') fnStart--;
        var boot = unpack_function_at(t, fnStart);
        if (!boot || boot.close !== calleeEnd || boot.params.length !== 1) return null;
        var p = boot.params[0], loader = unpack_loader_of(t, boot.open, boot.close, p);
        if (!loader) return null;
        out.kind = 'webpack4';
        var starts = unpack_loads(t, boot.open, boot.close, loader, known);
        if (starts.length) out.entry = { id: starts[starts.length - 1] };
        return out;
    }
    if (t[before - 1] && t[before - 1].v === ',' && t[before - 2] && t[before - 2].v === ']') {
        // A chunk: (…).push([[ids], TABLE, entries or startup])
        var ids = unpack_open_of(t, before - 2);
        if (!t[ids - 1] || t[ids - 1].v !== '[' || !t[ids - 2] || t[ids - 2].v !== '(' || t[ids - 3].v !== 'push') return null;
        out.kind = 'webpack-chunk';
        if (t[after + 1].v === ',') {
            var third = after + 2, last = unpack_close(t, ids - 1);
            if (t[third].v === '[') {
                // webpack 4: [[entry, chunk…], …]
                for (k = third + 1; k < last; k++) {
                    if (t[k].v === '[' && (t[k + 1].k === 'num' || t[k + 1].k === 'str')) {
                        var id4 = unpack_module_key(t, k + 1);
                        if (unpack_has(known, id4)) { out.entry = { id: id4 }; break; }
                    }
                }
            } else {
                // webpack 5: e => { var r = r => e(e.s = r); r(id) } or e => e(e.s = id)
                for (k = third; k < last; k++) {
                    if ((t[k].k !== 'num' && t[k].k !== 'str') || (t[k - 1].v !== '(' && t[k - 1].v !== '=')) continue;
                    var id5 = unpack_module_key(t, k);
                    if (id5 !== null && unpack_has(known, id5)) { out.entry = { id: id5 }; break; }
                }
            }
        }
        return out;
    }
    if (t[before - 1] && t[before - 1].v === '=' && t[before - 2] && t[before - 2].k === 'name') {
        // webpack 5: var M = TABLE, cache = {}; function R(id) {… M[id](…) …} …
        var tableName = t[before - 2].v, body = unpack_enclosing_body(t, before - 2);
        if (!body) return null;
        var r = unpack_loader_of(t, after, body.close, tableName);
        if (!r) return null;
        out.kind = 'webpack5';
        out.loader = r;
        out.body = body;
        out.entry = unpack_webpack5_startup(t, after, body, r, known);
        return out;
    }
    return null;
}

// The body { open, close } of the function around tokens[i], or null at the top.
function unpack_enclosing_body(t, i) {
    var depth = 0;
    for (var j = i; j >= 0; j--) {
        if (t[j].k !== 'punc') continue;
        if (t[j].v === ')' || t[j].v === ']' || t[j].v === '}') depth++;
        else if (t[j].v === '(' || t[j].v === '[' || t[j].v === '{') {
            if (depth > 0) { depth--; continue; }
            if (t[j].v !== '{') return null;
            var head = t[j - 1];
            if (head && (head.v === ')' || head.v === '=>')) return { open: j, close: unpack_close(t, j) };
            return null;
        }
    }
    return null;
}

// The name of the function declared between a and b whose body calls table[id](…) or
// table[id].call(…): the bundle's loader.
function unpack_loader_of(t, a, b, table) {
    for (var k = a; k < b; k++) {
        if (t[k].v !== table || t[k].k !== 'name' || t[k + 1].v !== '[') continue;
        var c = unpack_close(t, k + 1);
        if (!(t[c + 1].v === '(' || (t[c + 1].v === '.' && t[c + 2].v === 'call'))) continue;
        for (var f = k; f > a; f--) {
            if (t[f].v === 'function' && t[f + 1].k === 'name' && t[f + 2].v === '(') {
                var fn = unpack_function_at(t, f);
                if (fn && fn.open < k && fn.close > k) return t[f + 1].v;
            }
        }
    }
    return null;
}

// webpack 5 runs its entry after the runtime: the pieces (statements, and parts of a
// comma sequence at the statement level) after the last that sets up the loader
// (R.x = …, or a function run at once that sets R.x) and after the loader itself.
function unpack_webpack5_startup(t, from, body, loader, known) {
    var pieces = [], k, depth = 0, start = -1;
    // The body's pieces, in order.
    for (k = body.open + 1; k < body.close; k++) {
        var v = t[k].k === 'punc' ? t[k].v : '';
        if (start < 0) start = k;
        if (v === '(' || v === '[' || v === '{') depth++;
        else if (v === ')' || v === ']' || v === '}') {
            depth--;
            if (depth === 0 && v === '}' && t[start].v === 'function') { pieces.push({ a: start, b: k, decl: true }); start = -1; }
        } else if (depth === 0 && (v === ';' || (v === ',' && t[start].v !== 'var' && t[start].v !== 'let' && t[start].v !== 'const'))) {
            pieces.push({ a: start, b: k - 1, sep: k });
            start = -1;
        }
    }
    if (start >= 0) pieces.push({ a: start, b: body.close - 1 });
    var last = -1;
    for (var p = 0; p < pieces.length; p++) {
        var a = pieces[p].a;
        if (pieces[p].b < a) continue;
        if (pieces[p].a <= from) { last = p; continue; }
        if (t[a].v === 'function' && t[a + 1].v === loader) { last = p; continue; }
        if (t[a].v === loader && t[a + 1].v === '.' && t[a + 3] && (t[a + 3].v === '=' || t[a + 3].v === '.')) { last = p; continue; }
        // A runtime part run at once: (() => { … R.x = … })()
        if (t[a].v === '(' || t[a].v === '!' || t[a].v === 'function') {
            for (var q = a; q <= pieces[p].b; q++) {
                if (t[q].v === loader && t[q + 1] && t[q + 1].v === '.' && t[q + 3] &&
                    (t[q + 3].v === '=' || (t[q + 3].v === '.' && t[q + 5] && t[q + 5].v === '='))) { last = p; break; }
            }
        }
    }
    if (last + 1 >= pieces.length) return null;
    var first = pieces[last + 1];
    // Laid out already: the entry is the body of the function the startup calls.
    if (/^bundleEntry\d*$/.test(t[first.a].v) && last + 2 === pieces.length) {
        for (var d = body.open + 1; d < first.a; d++) {
            if (t[d].v !== t[first.a].v || !(t[d - 1].v === 'function' || (t[d - 1].v === 'var' && t[d + 1].v === '='))) continue;
            var own = unpack_function_at(t, t[d - 1].v === 'function' ? d - 1 : d + 2);
            if (!own || own.open < 0) break;
            return { a: own.open + 1, b: own.close - 1, deps: unpack_loads(t, own.open, own.close, loader, known), laid: true };
        }
    }
    var deps = unpack_loads(t, first.a, body.close - 1, loader, known);
    // Only "R(id)" (or "R(R.s = id)", "var x = R(id)"): the entry is that module.
    var a0 = first.a;
    if (t[a0].v === 'var' && t[a0 + 2].v === '=') a0 += 3;
    if (deps.length === 1 && last + 2 === pieces.length && t[a0].v === loader && t[a0 + 1].v === '(' &&
        unpack_close(t, a0 + 1) === first.b) return { id: deps[0] };
    return { a: first.a, b: body.close - 1, deps: deps, comma: first.a > 0 && t[first.a - 1].v === ',' };
}

// ---- the laid-out bundle ------------------------------------------------------------

var unpack_bundle_kinds = { webpack4: 'webpack 4', webpack5: 'webpack 5', 'webpack-chunk': 'webpack 分块', browserify: 'browserify' };

// "依赖 2、3（./util）" or "无依赖".
function unpack_bundle_deps_text(mod) {
    if (!mod.deps || !mod.deps.length) return '无依赖';
    var parts = [];
    for (var i = 0; i < mod.deps.length; i++) {
        var id = mod.deps[i], name = mod.names && unpack_has(mod.names, id) ? mod.names[id] : '';
        parts.push(name && name !== id ? id + '（' + name + '）' : id);
    }
    return '依赖 ' + parts.join('、');
}

// The modules in the order they are shown: the entry module first, the others as the
// table has them.
function unpack_bundle_order(bundle) {
    var out = [], rest = [];
    for (var i = 0; i < bundle.modules.length; i++) {
        var mod = bundle.modules[i];
        if (bundle.entry && bundle.entry.id === mod.id) out.push(mod); else rest.push(mod);
    }
    return out.concat(rest);
}

// A name of the form base, base2, … not used in src.
function unpack_free_name(src, base) {
    var name = base, n = 1;
    while (new RegExp('\\b' + name + '\\b').test(src)) name = base + (++n);
    return name;
}

function unpack_bundle_view(src) {
    if (/^\/\/ 打包文件：/.test(src)) return null;
    var bundle = unpack_bundle_read(src);
    if (!bundle) return null;
    var t = bundle.t, table = bundle.table, edits = [], entryMod = null, i;
    var order = unpack_bundle_order(bundle), items = [];
    for (i = 0; i < order.length; i++) {
        var mod = order[i];
        var isEntry = bundle.entry && bundle.entry.id === mod.id;
        if (isEntry) entryMod = mod;
        var key = /^(0|[1-9]\d{0,14})$/.test(mod.id) ? mod.id : unpack_quote(mod.id);
        items.push('\n// ' + (isEntry ? '入口：' : '') + '模块 ' + mod.id + '，' + unpack_bundle_deps_text(mod) + '\n' +
                   key + ': ' + src.substring(t[mod.a].s, t[mod.b].e));
    }
    edits.push({ s: t[table.open].s, e: t[table.close].e, text: '{' + items.join(',') + '\n}' });
    var entryText = '';
    if (bundle.entry && bundle.entry.id !== undefined) {
        entryText = '入口为模块 ' + bundle.entry.id;
    } else if (bundle.entry) {
        // webpack 5's inline entry moves to the top of the bootstrap as a function run
        // where it stood, once the modules and the loader are in place.
        var e = bundle.entry, body = bundle.body, arrow = t[body.open - 1].v === '=>';
        var name = unpack_free_name(src, 'bundleEntry');
        var code = src.substring(t[e.a].s, t[e.b].e).replace(/[;,\s]*$/, '');
        // A function run at once must not start a statement: it would read as a declaration.
        if (t[e.a].v === 'function') {
            var call = unpack_close(t, unpack_function_at(t, e.a).close + 1);
            code = '(' + src.substring(t[e.a].s, t[call].e) + ')' + code.substring(t[call].e - t[e.a].s);
        }
        var head = body.open + 1;
        while (t[head] && t[head].k === 'str' && t[head + 1] && t[head + 1].v === ';') head += 2;
        var at = head > body.open + 1 ? t[head - 1].e : t[body.open].e;
        var comment = '\n// 入口，' + unpack_bundle_deps_text({ deps: e.deps }) + '；模块和加载器就绪后在原处运行\n';
        var fnText = arrow ? 'var ' + name + ' = () => {\n' + code + ';\n};\n' : 'function ' + name + '() {\n' + code + ';\n}\n';
        edits.push({ s: at, e: at, text: comment + fnText });
        edits.push({ s: t[e.a].s, e: t[e.b].e, text: (arrow ? name + '()' : name + '.call(this)') });
        entryText = '入口在最前';
    } else {
        entryText = '本文件没有入口';
    }
    var header = '// 打包文件：' + unpack_bundle_kinds[bundle.kind] + '，' + bundle.modules.length + ' 个模块，' + entryText +
        (entryMod || bundle.entry ? '，其余模块在后' : '') + '\n';
    return { text: header + unpack_splice(src, edits), count: bundle.modules.length };
}

// Laid out last, once every other layer is off: the ids it reads must be plain.
unpack_recognisers.push({ name: 'bundle', label: '打包模块', late: true, apply: unpack_bundle_view });

// ---- the modules one by one, for the command line ---------------------------------

// What unpack_bundle_list read last: { kind, entry, modules: [{ id, deps, code, params, entry }] }
// with every text the module's own code (its function's body).
var unpack_bundle_listed = null;

// Reads the bundle in src for the caller; the number of modules (0: not a bundle).
function unpack_bundle_list(src) {
    src = String(src);
    unpack_bundle_listed = null;
    var bundle = unpack_bundle_read(src);
    if (!bundle) return 0;
    var t = bundle.t, list = [], order = unpack_bundle_order(bundle);
    for (var i = 0; i < order.length; i++) {
        var mod = order[i], fn = mod.fn;
        var code = fn.open >= 0 ? src.substring(t[fn.open].e, t[fn.close].s) : src.substring(t[fn.start].s, t[fn.close].e) + ';';
        list.push({ id: mod.id, deps: unpack_bundle_deps_text(mod), code: code.replace(/^\s*\n/, ''),
                    params: fn.params.join(','), entry: !!(bundle.entry && bundle.entry.id === mod.id) });
    }
    if (bundle.entry && bundle.entry.id === undefined) {
        list.unshift({ id: '', deps: unpack_bundle_deps_text({ deps: bundle.entry.deps }), params: '', entry: true,
                       code: src.substring(t[bundle.entry.a].s, t[bundle.entry.b].e) });
    }
    unpack_bundle_listed = { kind: unpack_bundle_kinds[bundle.kind], modules: list, loader: bundle.loader || '' };
    return list.length;
}

// One field of the i-th module unpack_bundle_list read, as text.
function unpack_bundle_field(i, field) {
    var v = unpack_bundle_listed.modules[i][field];
    return typeof v === 'boolean' ? (v ? '1' : '') : String(v);
}

// eval解密 measured on a folder of obfuscated samples, beside a peer deobfuscator when one
// is at hand. Nothing here is fetched: the corpus, acorn (to parse) and the peer come
// from folders given on the command line.
//
//   node bench/unpack_corpus.mjs CORPUS QINGYOU_JS TOOLS [--peer] [--only=SUBSTRING]
//
// CORPUS holds the samples (*.js), options.json ({file: {original}}; without an entry a
// sample's original is orig/<first part of its name>.js) and orig/ with the originals,
// each leaving its result in `answer`. TOOLS is a folder whose node_modules holds acorn
// (and webcrack for --peer). A sample is recovered when the output parses, computes the
// original's answer and shows at least 90% of the original's strings as plain literals.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import vm from 'node:vm';

// A peer's run in a process of its own, so that one that never ends can be given up:
// node bench/unpack_corpus.mjs --peer-one TOOLS FILE prints the peer's output.
if (process.argv[2] === '--peer-one') {
    const { webcrack } = await import(path.join(path.resolve(process.argv[3]), 'node_modules/webcrack/dist/index.js'));
    process.stdout.write((await webcrack(fs.readFileSync(process.argv[4], 'utf8'))).code);
    process.exit(0);
}

if (process.argv[2] === '--answer-one') {
    process.stdout.write(answerHere(fs.readFileSync(process.argv[3], 'utf8')));
    process.exit(0);
}

const [corpus, qingyou, tools, ...flags] = process.argv.slice(2);
if (!corpus || !qingyou || !tools) {
    console.error('usage: node bench/unpack_corpus.mjs CORPUS QINGYOU_JS TOOLS [--peer] [--only=TEXT]');
    process.exit(2);
}
const require = createRequire(path.join(path.resolve(tools), 'node_modules', 'x.js'));
const acorn = require('acorn');
const peer = flags.includes('--peer');
const only = (flags.find((f) => f.startsWith('--only=')) || '').slice(7);
const options = fs.existsSync(path.join(corpus, 'options.json')) ? JSON.parse(fs.readFileSync(path.join(corpus, 'options.json'), 'utf8')) : {};

function parse(code) {
    for (const sourceType of ['script', 'module']) {
        try { return acorn.parse(code, { ecmaVersion: 2022, sourceType }); } catch (e) { /* next */ }
    }
    return null;
}

function walk(node, visit) {
    if (!node || typeof node.type !== 'string') return;
    visit(node);
    for (const key of Object.keys(node)) {
        const v = node[key];
        if (Array.isArray(v)) v.forEach((c) => c && typeof c.type === 'string' && walk(c, visit));
        else if (v && typeof v.type === 'string') walk(v, visit);
    }
}

// The result a script leaves in `answer`, in a process of its own: a self-checking
// script may spin in a regular expression that no time limit inside the process stops.
function answerOf(code) {
    const file = path.join(os.tmpdir(), `unpack-corpus-${process.pid}.js`);
    fs.writeFileSync(file, code);
    try {
        return execFileSync(process.execPath, [process.argv[1], '--answer-one', file],
            { encoding: 'utf8', maxBuffer: 1 << 26, timeout: 15000, stdio: ['ignore', 'pipe', 'ignore'] });
    } catch (e) {
        return 'error: did not finish';
    }
}

function answerHere(code) {
    const noop = () => 0;
    const box = { setInterval: noop, setTimeout: noop, clearInterval: noop, clearTimeout: noop,
        console: { log: noop, warn: noop, error: noop, info: noop, debug: noop, trace: noop, table: noop, exception: noop } };
    box.window = undefined;
    vm.createContext(box);
    try {
        vm.runInContext(code, box, { timeout: 3000 });
        return JSON.stringify(box.answer);
    } catch (e) {
        return 'error: ' + String(e && e.message).slice(0, 80);
    }
}

const plainName = /^[A-Za-z_$][\w$]*$/;
// What a careful person would not have written, counted over the output.
function readability(ast) {
    const c = { bangArray: 0, bangNumber: 0, bracketName: 0, quotedKey: 0, sequence: 0, voidZero: 0, literalFirst: 0, hex: 0 };
    const strings = new Set();
    walk(ast, (n) => {
        if (n.type === 'Literal' && typeof n.value === 'string') strings.add(n.value);
        if (n.type === 'TemplateElement') strings.add(n.value.cooked);
        if (n.type === 'Identifier') strings.add(n.name);
        if (n.type === 'UnaryExpression' && n.operator === '!' && n.argument.type === 'ArrayExpression') c.bangArray++;
        if (n.type === 'UnaryExpression' && n.operator === '!' && n.argument.type === 'Literal' && typeof n.argument.value === 'number') c.bangNumber++;
        if (n.type === 'UnaryExpression' && n.operator === 'void' && n.argument.type === 'Literal') c.voidZero++;
        if (n.type === 'MemberExpression' && n.computed && n.property.type === 'Literal' && plainName.test(n.property.value)) c.bracketName++;
        if (n.type === 'Property' && !n.computed && n.key.type === 'Literal' && plainName.test(n.key.value)) c.quotedKey++;
        if (n.type === 'ExpressionStatement' && n.expression.type === 'SequenceExpression') c.sequence++;
        if (n.type === 'BinaryExpression' && /^[!=]==?$/.test(n.operator) && n.left.type === 'Literal' && n.right.type !== 'Literal') c.literalFirst++;
        if (n.type === 'Literal' && typeof n.value === 'number' && /^0[xX]/.test(n.raw)) c.hex++;
    });
    return { counts: c, strings };
}

function stringsOf(ast) {
    const out = new Set();
    walk(ast, (n) => { if (n.type === 'Literal' && typeof n.value === 'string' && n.value.length > 1) out.add(n.value); });
    return out;
}

const originals = {};
function original(file) {
    const name = (options[file] && options[file].original) || file.split('.')[0] + '.js';
    if (!originals[name]) {
        const code = fs.readFileSync(path.join(corpus, 'orig', name), 'utf8');
        originals[name] = { answer: answerOf(code), strings: stringsOf(parse(code)) };
    }
    return originals[name];
}

function judge(file, input, output, ms) {
    const orig = original(file);
    // A tool that gave up (an error, the time limit) handed back nothing: failed, not broken.
    if (output === null) return { ok: false, broken: false, ms, why: 'failed' };
    const ast = parse(output);
    if (!ast) return { ok: false, broken: true, ms, why: 'no parse' };
    const answer = answerOf(output);
    const r = readability(ast);
    let found = 0;
    for (const s of orig.strings) if (r.strings.has(s)) found++;
    const share = orig.strings.size ? found / orig.strings.size : 1;
    const inputRight = answerOf(input) === orig.answer;
    const right = answer === orig.answer;
    return { ok: right && share >= 0.9, broken: inputRight && !right, ms, share, counts: r.counts, size: output.length,
             why: right ? (share < 0.9 ? 'strings ' + Math.round(share * 100) + '%' : '') : answer.slice(0, 60) };
}

// A sample without its original (a bundle made from a folder of sources) has no answer to
// compare with: it is left out of the table.
const hasOriginal = (f) => fs.existsSync(path.join(corpus, 'orig', (options[f] && options[f].original) || f.split('.')[0] + '.js'));
const files = fs.readdirSync(corpus).filter((f) => f.endsWith('.js') && f.includes(only) && hasOriginal(f)).sort();
const rows = [];
for (const file of files) {
    process.stderr.write(file + '\n');
    const input = fs.readFileSync(path.join(corpus, file), 'utf8');
    let t0 = Date.now(), ours = null;
    try { ours = execFileSync(qingyou, ['unpack', path.join(corpus, file)], { encoding: 'utf8', maxBuffer: 1 << 28, timeout: 120000 }); } catch (e) { /* failed */ }
    const row = { file, bytes: input.length, ours: judge(file, input, ours, Date.now() - t0) };
    if (peer) {
        t0 = Date.now();
        let code = null;
        try {
            code = execFileSync(process.execPath, [process.argv[1], '--peer-one', tools, path.join(corpus, file)],
                { encoding: 'utf8', maxBuffer: 1 << 28, timeout: 300000, stdio: ['ignore', 'pipe', 'ignore'] });
        } catch (e) { /* failed or timed out */ }
        row.peer = judge(file, input, code, Date.now() - t0);
    }
    rows.push(row);
    const show = (j) => `${j.ok ? 'ok' : j.broken ? 'BROKEN' : 'no'} ${j.ms}ms ${j.why || ''}`;
    console.log(`${file.padEnd(44)} ours ${show(row.ours).padEnd(40)} ${peer ? 'peer ' + show(row.peer) : ''}`);
}

function total(key) {
    const list = rows.map((r) => r[key]).filter(Boolean);
    const sum = { recovered: 0, broken: 0 };
    const counts = {};
    for (const j of list) {
        if (j.ok) sum.recovered++;
        if (j.broken) sum.broken++;
        for (const [k, v] of Object.entries(j.counts || {})) counts[k] = (counts[k] || 0) + v;
    }
    return { ...sum, of: list.length, counts };
}
console.log('\nours', JSON.stringify(total('ours')));
if (peer) console.log('peer', JSON.stringify(total('peer')));
const largest = [...rows].sort((a, b) => b.bytes - a.bytes).slice(0, 5);
console.log('\nfive largest (ms): ' + largest.map((r) => `${r.file} ${r.ours.ms}${peer ? '/' + r.peer.ms : ''}`).join('; '));

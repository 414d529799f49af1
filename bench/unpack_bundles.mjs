// eval解密 and `unpack --split` measured on bundles made outside the project. Nothing here
// is fetched: the bundles come from the folder given on the command line.
//
//   node bench/unpack_bundles.mjs BUNDLES QINGYOU_JS
//
// BUNDLES holds one folder per bundle with main.js (and runtime.js when the bundler put
// its runtime in a chunk of its own). Each bundle's entry leaves its result in `answer`;
// each of its modules holds one string "NAME-module" (the entry "NAME-main") that no
// other module holds. A bundle is laid out right when the output of `unpack` computes the
// same answer as the bundle; it is split right when every file `--split` writes holds the
// mark of exactly one module and every module's mark is in some file.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import vm from 'node:vm';

const [bundles, qingyou] = process.argv.slice(2);
if (!bundles || !qingyou) {
    console.error('usage: node bench/unpack_bundles.mjs BUNDLES QINGYOU_JS');
    process.exit(2);
}

function answer(codes) {
    const box = { console: { log() {} } };
    box.self = box;
    box.globalThis = box;
    vm.createContext(box);
    try {
        for (const code of codes) vm.runInContext(code, box, { timeout: 5000 });
    } catch (e) {
        return `error: ${e.message}`;
    }
    return String(box.answer);
}

const marks = (text) => new Set(text.match(/\b[a-z]+-(?:module|main)\b/g) || []);
let laid = 0, split = 0, all = 0;
console.log('| bundle | modules | same answer | split right | unpack s | split s |');
console.log('|---|---|---|---|---|---|');
for (const name of fs.readdirSync(bundles).sort()) {
    const dir = path.join(bundles, name);
    const main = path.join(dir, 'main.js');
    if (!fs.existsSync(main)) continue;
    all++;
    const runtime = fs.existsSync(path.join(dir, 'runtime.js')) ? [fs.readFileSync(path.join(dir, 'runtime.js'), 'utf8')] : [];
    const original = fs.readFileSync(main, 'utf8');
    let t0 = Date.now(), out = '';
    try { out = execFileSync(qingyou, ['unpack', main], { encoding: 'utf8', maxBuffer: 1 << 28, timeout: 300000 }); } catch (e) { /* failed */ }
    const unpackSeconds = (Date.now() - t0) / 1000;
    const same = answer([...runtime, out]) === answer([...runtime, original]);
    const target = fs.mkdtempSync(path.join(os.tmpdir(), 'qy-split-'));
    t0 = Date.now();
    let listed = '';
    try { listed = execFileSync(qingyou, ['unpack', '--split', path.join(target, 'out'), main], { encoding: 'utf8', timeout: 300000 }); } catch (e) { listed = ''; }
    const splitSeconds = (Date.now() - t0) / 1000;
    let modules = 0, right = listed !== '';
    if (right) {
        const files = fs.readdirSync(path.join(target, 'out'));
        modules = files.length;
        const seen = new Set();
        for (const f of files) {
            const own = marks(fs.readFileSync(path.join(target, 'out', f), 'utf8').replace(/^\/\/.*\n/gm, ''));
            // A module webpack joined to others (concatenated) carries their marks too.
            if (own.size > 1 && files.length > 1 && !f.startsWith('entry')) right = false;
            own.forEach((m) => seen.add(m));
        }
        for (const m of marks(original)) if (!seen.has(m)) right = false;
    }
    fs.rmSync(target, { recursive: true, force: true });
    if (same) laid++;
    if (right) split++;
    console.log(`| ${name} | ${modules || '–'} | ${same ? 'yes' : 'NO'} | ${right ? 'yes' : listed ? 'NO' : 'not split'} | ${unpackSeconds.toFixed(2)} | ${splitSeconds.toFixed(2)} |`);
}
console.log(`\n${all} bundles: ${laid} laid out to the same answer, ${split} split into files of their own modules`);

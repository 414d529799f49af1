#!/usr/bin/env node
// Writes src/env/idl/interfaces.txt, the environment's table of Web IDL facts, from the
// published Web IDL files (a folder of *.idl, as the Web platform's IDL collection ships
// them) and, optionally, a listing of the interfaces a real Chrome exposes (what
// tests/env/chrome/list_globals.html writes): with it, only the interfaces and members
// that Chrome really has are kept, in Chrome's order.
//
//   node scripts/make_idl_table.js IDL_FOLDER WEBIDL2_MODULE [CHROME_LISTING.json] > src/env/idl/interfaces.txt
//
// Run at development time only; the workbench reads the table, never the IDL.
'use strict';
const fs = require('fs');
const path = require('path');

const [idlFolder, webidl2Path, listingPath] = process.argv.slice(2);
if (!idlFolder || !webidl2Path) {
    console.error('usage: make_idl_table.js IDL_FOLDER WEBIDL2_MODULE [CHROME_LISTING.json]');
    process.exit(2);
}
const WebIDL2 = require(path.resolve(webidl2Path));
const listing = listingPath ? JSON.parse(fs.readFileSync(listingPath, 'utf8')) : null;

// Names the script engine itself defines, or that the environment makes otherwise.
const skip = new Set(['WebAssembly', 'console', 'CSS', 'Atomics', 'Intl']);

const interfaces = new Map(), mixins = new Map(), includes = [], partials = [];
for (const file of fs.readdirSync(idlFolder).filter(f => f.endsWith('.idl')).sort()) {
    let tree;
    try {
        tree = WebIDL2.parse(fs.readFileSync(path.join(idlFolder, file), 'utf8'));
    } catch (e) {
        console.error('skipped ' + file + ': ' + e.message.split('\n')[0]);
        continue;
    }
    for (const d of tree) {
        if (d.type === 'interface' && !d.partial) interfaces.set(d.name, {def: d, members: [...d.members], extAttrs: [...d.extAttrs]});
        else if (d.type === 'interface mixin' && !d.partial) mixins.set(d.name, [...d.members]);
        else if ((d.type === 'interface' || d.type === 'interface mixin') && d.partial) partials.push(d);
        else if (d.type === 'includes') includes.push(d);
    }
}
for (const p of partials) {
    if (p.type === 'interface mixin') {
        if (mixins.has(p.name)) mixins.get(p.name).push(...p.members);
    } else if (interfaces.has(p.name)) {
        const own = interfaces.get(p.name);
        for (const m of p.members) {
            // A partial's [Exposed] or [SecureContext] applies to its members.
            m.partialExtAttrs = p.extAttrs;
            own.members.push(m);
        }
    }
}
for (const inc of includes) {
    if (interfaces.has(inc.target) && mixins.has(inc.includes)) interfaces.get(inc.target).members.push(...mixins.get(inc.includes));
}

function attr(list, name) { return (list || []).find(a => a.name === name); }
function exposedOnWindow(extAttrs) {
    const e = attr(extAttrs, 'Exposed');
    if (!e) return true;
    if (e.rhs && e.rhs.type === '*') return true;
    const text = e.rhs ? (Array.isArray(e.rhs.value) ? e.rhs.value.map(v => v.value) : [e.rhs.value]) : [];
    return text.includes('Window') || text.includes('*');
}
function typeHint(idlType) {
    if (!idlType) return 'a';
    if (idlType.nullable) return 'o';
    const t = idlType.union ? '' : String(idlType.idlType);
    if (/^(DOMString|USVString|ByteString|CSSOMString)$/.test(t)) return 's';
    if (t === 'boolean') return 'b';
    if (/^(unsigned )?(short|long|long long)$|^(unrestricted )?(double|float)$|^octet$|^byte$|DOMHighResTimeStamp|EpochTimeStamp/.test(t)) return 'n';
    if (t === 'EventHandler' || t === 'OnErrorEventHandler' || t === 'OnBeforeUnloadEventHandler') return 'o';
    if (t === 'any') return 'a';
    return 'o';
}
function requiredArgs(args) {
    let n = 0;
    for (const a of args) {
        if (a.optional || a.variadic) break;
        n++;
    }
    return n;
}

// Members Chrome has beyond the published IDL (kept only where Chrome has them).
const byHand = {
    Navigator: ['doNotTrack~o', 'webkitPersistentStorage~o', 'webkitTemporaryStorage~o'],
    Window: ['TEMPORARY:0', 'PERSISTENT:1', 'find/0', 'styleMedia~o', 'webkitRequestFileSystem/3', 'webkitResolveLocalFileSystemURL/2',
        'onsearch=o', 'defaultStatus=s', 'defaultstatus=s', 'offscreenBuffering=a']
};
const out = [];
const chromeHas = name => !listing || Object.prototype.hasOwnProperty.call(listing, name);
const names = [...interfaces.keys()].filter(n => !skip.has(n) && chromeHas(n)).sort();
for (const name of names) {
    const {def, members, extAttrs} = interfaces.get(name);
    if (!exposedOnWindow(extAttrs) || attr(extAttrs, 'LegacyNoInterfaceObject')) continue;
    const chrome = listing ? listing[name] : null;
    const flags = [];
    // Element constructors work only for custom elements a page defines: for the page
    // itself they are illegal, as for interfaces without a constructor.
    const ctors = members.filter(m => m.type === 'constructor' && !attr(m.extAttrs, 'HTMLConstructor'));
    if (ctors.length) flags.push('c' + Math.min(...ctors.map(c => requiredArgs(c.arguments))));
    else if (members.some(m => m.type === 'constructor')) flags.push('h');
    if (attr(extAttrs, 'Global')) flags.push('G');
    const unforgeable = !!attr(extAttrs, 'LegacyUnforgeable');
    for (const a of extAttrs.filter(x => x.name === 'LegacyWindowAlias')) {
        const aliases = Array.isArray(a.rhs.value) ? a.rhs.value.map(v => v.value) : [a.rhs.value];
        for (const alias of aliases) if (!listing || listing.__window.includes(alias)) flags.push('A' + alias);
    }
    for (const f of extAttrs.filter(a => a.name === 'LegacyFactoryFunction')) {
        const args = requiredArgs(f.arguments || []);
        flags.push('F' + f.rhs.value + '/' + args);
    }
    const ops = new Map(), tokens = new Map(), order = [];
    function keep(key, token) {
        if (!tokens.has(key)) order.push(key);
        tokens.set(key, token);
    }
    for (const m of members) {
        if (!exposedOnWindow(m.extAttrs) || (m.partialExtAttrs && !exposedOnWindow(m.partialExtAttrs))) continue;
        const isStatic = m.special === 'static';
        const forge = unforgeable || !!attr(m.extAttrs, 'LegacyUnforgeable');
        const prefix = (isStatic ? '*' : '') + (forge && !isStatic ? '!' : '');
        if (m.type === 'const') {
            keep(m.name, m.name + ':' + (m.value.type === 'number' ? m.value.value : m.value.value === true ? 1 : 0));
        } else if (m.type === 'attribute') {
            const writable = !m.readonly || attr(m.extAttrs, 'Replaceable') || attr(m.extAttrs, 'PutForwards') ||
                attr(m.extAttrs, 'LegacyLenientSetter');
            keep((isStatic ? '*' : '') + m.name, prefix + m.name + (writable ? '=' : '~') + typeHint(m.idlType));
        } else if (m.type === 'operation' && m.name) {
            const key = (isStatic ? '*' : '') + m.name;
            const n = requiredArgs(m.arguments);
            ops.set(key, ops.has(key) ? Math.min(ops.get(key), n) : n);
            keep(key, null);
            const promised = m.idlType && m.idlType.generic === 'Promise';
            tokens.set(key, {prefix, name: m.name, promised});
        } else if (m.type === 'operation' && m.special === 'stringifier' && !m.name) {
            keep('toString', prefix + 'toString/0');
        } else if (m.type === 'attribute' || m.type === 'operation') {
            // unnamed special operations: getters give indexed access
        }
        if (m.type === 'operation' && m.special === 'getter' && m.arguments[0] &&
            /long/.test(String(m.arguments[0].idlType.idlType))) flags.push('I');
        if (m.type === 'operation' && m.special === 'getter' && m.arguments[0] &&
            /String/.test(String(m.arguments[0].idlType.idlType))) flags.push('N');
        if (m.type === 'attribute' && m.special === 'stringifier') flags.push('S' + m.name);
        if (m.type === 'iterable') flags.push(m.idlType.length === 2 ? 'ip' : 'iv');
        if (m.type === 'maplike') flags.push('m');
        if (m.type === 'setlike') flags.push('s');
    }
    for (const extra of byHand[name] || []) {
        const bare = extra.replace(/^[*!]+/, '').replace(/[\/~=:].*$/, '');
        if (!tokens.has(bare) && (!chrome || chrome.proto.includes(bare) || (flags.includes('G') && listing.__window.includes(bare)))) keep(bare, extra);
    }
    const list = [];
    for (const key of order) {
        let t = tokens.get(key);
        if (t && typeof t === 'object') t = t.prefix + t.name + '/' + ops.get(key) + (t.promised ? 'p' : '');
        if (!t) continue;
        const bare = key.replace(/^\*/, '');
        if (chrome) {
            const where = key.startsWith('*') || /^[^\/~=]+:/.test(t) ? chrome.stat : chrome.proto;
            // Members on the instance (unforgeable ones, and every member of the global)
            // are not on the prototype: keep them as the IDL has them.
            if (flags.includes('G')) {
                if (!listing.__window.includes(bare) && !where.includes(bare)) continue;
            } else if (!t.startsWith('!') && !where.includes(bare)) continue;
        }
        list.push(t);
    }
    if (chrome && !flags.includes('G')) {
        const rank = n => {
            const bare = n.replace(/^[*!]+/, '').replace(/[\/~=:].*$/, '');
            const i = chrome.proto.indexOf(bare);
            return i < 0 ? 1e6 + chrome.stat.indexOf(bare) : i;
        };
        list.sort((a, b) => rank(a) - rank(b));
    }
    // Where the IDL names no parent, a parent Chrome gives the interface (Screen is an
    // EventTarget there) is kept when it is in the table too.
    const chromeParent = chrome && chrome.parent && interfaces.has(chrome.parent) ? chrome.parent : '-';
    const parent = flags.includes('G') ? 'WindowProperties' : def.inheritance || chromeParent;
    out.push(name + ' ' + parent + ' ' + ([...new Set(flags)].join(',') || '-') + ' | ' + list.join(' '));
}

console.log('# Web IDL facts of the interfaces a page sees, one interface a line:');
console.log('#   Name Parent Flags | members');
console.log('# Flags (comma-separated, "-" for none): cN constructible, length N; h an element');
console.log('#   constructor (only for elements a page defines itself); G the global;');
console.log('#   FName/N a legacy factory function; I indexed access; N named access; iv/ip value/pair');
console.log('#   iterable; m maplike; s setlike; Sname the stringifier attribute; Aname another');
console.log('#   name of the interface object on the window; Kname the prototype\'s constructor comes');
console.log('#   after member name (otherwise after the last); X no interface object; W an interface');
console.log('#   of workers only, not on the window.');
console.log('# Members: name/N operation of length N; name~t readonly attribute; name=t writable');
console.log('#   attribute (t: s string, n number, b boolean, o object or null, a any);');
console.log('#   NAME:v constant; prefix * static, ! unforgeable (on the instance); an operation');
console.log('#   ending in p returns a promise.');
console.log('# Written by scripts/make_idl_table.js from the published Web IDL; lines after');
console.log('# "# ---- by hand" describe what Chrome has beyond the published IDL.');
// What Chrome has beyond the published IDL on interfaces it describes: other names of
// the interface objects on the window, and members.
const chromeAliases = {MediaStream: ['webkitMediaStream'], RTCPeerConnection: ['webkitRTCPeerConnection'],
    SpeechRecognition: ['webkitSpeechRecognition'], SpeechGrammar: ['webkitSpeechGrammar'],
    SpeechGrammarList: ['webkitSpeechGrammarList'], SpeechRecognitionErrorEvent: ['webkitSpeechRecognitionError'],
    SpeechRecognitionEvent: ['webkitSpeechRecognitionEvent']};
const chromeMembers = {Performance: ['memory~o']};
// Where Chrome lists a prototype's constructor among its members, where that is not last
// (the member it follows), as scripts/chrome_constructor_places.json records it.
const constructorPlaces = JSON.parse(fs.readFileSync(path.join(__dirname, 'chrome_constructor_places.json'), 'utf8'));
for (let i = 0; i < out.length; i++) {
    const name = out[i].split(' ')[0];
    if (!chromeAliases[name] && !chromeMembers[name] && !(name in constructorPlaces)) continue;
    const bar = out[i].indexOf(' |'), parts = out[i].slice(0, bar).split(' ');
    let rest = out[i].slice(bar);
    const flags = parts[2] === '-' ? [] : parts[2].split(',');
    for (const a of chromeAliases[name] || []) if (!flags.includes('A' + a)) flags.push('A' + a);
    if (name in constructorPlaces) flags.push('K' + constructorPlaces[name]);
    parts[2] = flags.length ? flags.join(',') : '-';
    for (const m of chromeMembers[name] || []) if (!rest.split(' ').includes(m)) rest += ' ' + m;
    out[i] = parts.join(' ') + rest;
}
for (const l of out) console.log(l);
console.log('# ---- by hand');
console.log('WindowProperties EventTarget X |');
console.log('DeprecatedStorageQuota - - | queryUsageAndQuota/1 requestQuota/1');
console.log('HTMLDocument Document - |');
console.log('MemoryInfo - X | totalJSHeapSize~n usedJSHeapSize~n jsHeapSizeLimit~n');
// A dedicated worker's global and what it has of its own (W: in workers only, not on the window).
console.log('WorkerGlobalScope EventTarget G,W | self~o location~o navigator~o importScripts/0 onerror=o onlanguagechange=o onoffline=o ononline=o onrejectionhandled=o onunhandledrejection=o fonts~o isSecureContext~b crossOriginIsolated~b scheduler~o origin~s caches~o trustedTypes~o indexedDB~o crypto~o performance~o atob/1 btoa/1 clearInterval/0 clearTimeout/0 createImageBitmap/1p fetch/1p queueMicrotask/1 reportError/1 setInterval/1 setTimeout/1 structuredClone/1');
console.log('DedicatedWorkerGlobalScope WorkerGlobalScope G,W | name~s onmessage=o onmessageerror=o cancelAnimationFrame/1 close/0 postMessage/1 requestAnimationFrame/1 onrtctransform=o');
console.log('WorkerNavigator - W | hardwareConcurrency~n appCodeName~s appName~s appVersion~s platform~s product~s userAgent~s language~s languages~o onLine~b deviceMemory~n storage~o mediaCapabilities~o permissions~o locks~o serial~o usb~o hid~o gpu~o userAgentData~o connection~o');
console.log('WorkerLocation - W,Shref | href~s origin~s protocol~s host~s hostname~s port~s pathname~s search~s hash~s');
console.log('SharedWorkerGlobalScope WorkerGlobalScope G,W | name~s onconnect=o close/0');

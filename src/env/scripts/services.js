// 网页的服务（青柚JS调试工具浏览器环境的一部分）：Blob、文件、Worker、Web Crypto、IndexedDB、
// WebRTC、套接字等，网页第一次用到其中之一时才编译运行。
// The page's services, made when a page first reaches one of them: blobs and files and
// their readers, object URLs, responses and headers, dedicated workers, Web Crypto,
// WebRTC, offscreen canvases, IndexedDB, sockets and event streams, broadcast channels,
// the battery, service workers and caches. `s` gives what they need of Chrome's face
// (chrome.js); they register their behaviours there and return what the face asks of
// them later.
(function (s) {
    'use strict';

    var global = s.global, host = s.host, kit = s.kit, on = s.on, records = s.records, kinds = s.kinds, wrap = s.wrap,
        unwrap = s.unwrap, promise = s.promise, domException = s.domException, interfaceOf = s.interfaceOf,
        isInterface = s.isInterface, adopt = s.adopt, globalMembersOf = s.globalMembersOf, defineMember = s.defineMember,
        defineValue = s.defineValue, namespaceOf = s.namespaceOf, clockPersona = s.clockPersona, queryText = s.queryText,
        indexedDB = s.indexedDB, current = s.current, behaviours = s.behaviours;
    var setProto = Object.setPrototypeOf, define = Object.defineProperty, create = Object.create,
        hasOwn = Object.prototype.hasOwnProperty, arraySlice = Array.prototype.slice, reflect = Reflect;

    // ---- blobs, files, their readers and object URLs ----------------------------------
    // A blob holds its bytes (a Uint8Array of its own) and its type; a file adds its name
    // and time. What a blob's text parts become is their UTF-8, as Chrome on Windows
    // writes it ("native" line endings are CRLF there).
    var abByteLength = Object.getOwnPropertyDescriptor(ArrayBuffer.prototype, 'byteLength').get;
    function isArrayBuffer(v) {
        try {
            reflect.apply(abByteLength, v, []);
            return true;
        } catch (e) {
            return false;
        }
    }
    function blobOf(v) {
        var r = records.get(v);
        return r && r.iface.ancestors.Blob ? r.impl : null;
    }
    function utf8Of(text) { return new kit.types.TextEncoder().encode(text); }
    function textOfUtf8(bytes) { return new kit.types.TextDecoder().decode(bytes); }
    // A type as blobs keep it: lower case, or empty when it holds anything but printable ASCII.
    function blobType(v) {
        var t = String(v);
        return /^[\x20-\x7e]*$/.test(t) ? t.toLowerCase() : '';
    }
    function blobBytes(parts, what, native_) {
        if (parts === undefined) return new Uint8Array(0);
        if (parts === null || (typeof parts !== 'object' && typeof parts !== 'function'))
            throw new TypeError('Failed to ' + what + ': The provided value cannot be converted to a sequence.');
        if (typeof parts[Symbol.iterator] !== 'function')
            throw new TypeError('Failed to ' + what + ': The object must have a callable @@iterator property.');
        var chunks = [], total = 0;
        for (var part of parts) {
            var b = blobOf(part), bytes;
            if (b) bytes = b.bytes;
            else if (isArrayBuffer(part)) bytes = new Uint8Array(part.slice(0));
            else if (ArrayBuffer.isView(part)) bytes = new Uint8Array(part.buffer.slice(part.byteOffset, part.byteOffset + part.byteLength));
            else {
                var text = String(part);
                if (native_) text = text.replace(/\r\n|\r|\n/g, '\r\n');
                bytes = utf8Of(text);
            }
            chunks.push(bytes);
            total += bytes.length;
        }
        var all = new Uint8Array(total), at = 0;
        for (var n = 0; n < chunks.length; n++) {
            all.set(chunks[n], at);
            at += chunks[n].length;
        }
        return all;
    }
    // A BlobPropertyBag (a FilePropertyBag with `lastModified` too).
    function blobOptions(options, what, file) {
        var o = {native_: false, type: '', lastModified: undefined};
        if (options === undefined || options === null) return o;
        if (typeof options !== 'object' && typeof options !== 'function')
            throw new TypeError('Failed to ' + what + ": The provided value is not of type '" + (file ? 'FilePropertyBag' : 'BlobPropertyBag') + "'.");
        var endings = options.endings;
        if (endings !== undefined) {
            endings = String(endings);
            if (endings !== 'transparent' && endings !== 'native')
                throw new TypeError('Failed to ' + what + ": Failed to read the 'endings' property from '" + (file ? 'FilePropertyBag' : 'BlobPropertyBag') +
                    "': The provided value '" + endings + "' is not a valid enum value of type EndingType.");
            o.native_ = endings === 'native';
        }
        if (file && options.lastModified !== undefined) {
            var t = Number(options.lastModified);
            o.lastModified = isFinite(t) ? Math.trunc(t) : 0;
        }
        if (options.type !== undefined) o.type = blobType(options.type);
        return o;
    }
    function newBlob(bytes, type) {
        var b = {bytes: bytes, type: type};
        kinds.set(b, 'Blob');
        return b;
    }
    on('Blob', 'constructor', function (parts, options) {
        var o = blobOptions(options, "construct 'Blob'", false);
        return {bytes: blobBytes(parts, "construct 'Blob'", o.native_), type: o.type};
    });
    on('File', 'constructor', function (parts, name, options) {
        var o = blobOptions(options, "construct 'File'", true);
        var bytes = blobBytes(parts, "construct 'File'", o.native_);
        return {bytes: bytes, type: o.type, name: String(name), lastModified: o.lastModified === undefined ? Date.now() : o.lastModified,
            webkitRelativePath: ''};
    });
    on('Blob', 'get size', function () { return this.bytes.length; });
    on('Blob', 'get type', function () { return this.type; });
    on('File', 'get name', function () { return this.name; });
    on('File', 'get lastModified', function () { return this.lastModified; });
    on('File', 'get webkitRelativePath', function () { return this.webkitRelativePath; });
    // An index as [Clamp] long long reads it, made relative to `size`.
    function blobIndex(v, size, fallback) {
        if (v === undefined) return fallback;
        var n = Number(v);
        n = isNaN(n) ? 0 : n < 0 ? Math.ceil(n) : Math.floor(n);
        return n < 0 ? Math.max(size + n, 0) : Math.min(n, size);
    }
    on('Blob', 'slice', function (r, start, end, contentType) {
        var size = this.bytes.length, from = blobIndex(start, size, 0), to = blobIndex(end, size, size);
        return wrap(newBlob(this.bytes.slice(from, Math.max(from, to)), contentType === undefined ? '' : blobType(contentType)));
    });
    on('Blob', 'text', function () { return promise(textOfUtf8(this.bytes)); });
    on('Blob', 'arrayBuffer', function () { return promise(this.bytes.slice().buffer); });

    // A reader reads in tasks of its own: loadstart, then the bytes (progress, load, loadend).
    function progressEvent(type, loaded, total) {
        var e = new kit.types.Event(type);
        e.lengthComputable = true;
        e.loaded = loaded;
        e.total = total;
        e.isTrusted = true;
        kinds.set(e, 'ProgressEvent');
        return e;
    }
    on('FileReader', 'constructor', function () {
        var r = create(kit.types.EventTarget.prototype);
        r.readyState = 0;
        r.result = r.error = null;
        ['loadstart', 'progress', 'load', 'abort', 'error', 'loadend'].forEach(function (k) { r['on' + k] = null; });
        r.reading = 0;
        kinds.set(r, 'FileReader');
        return r;
    });
    function readBlob(how) {
        return function (r, blob, encoding) {
            var b = blobOf(blob), reader = this;
            if (!b) throw new TypeError("Failed to execute '" + how + "' on 'FileReader': parameter 1 is not of type 'Blob'.");
            if (reader.readyState === 1) throw domException('InvalidStateError', "Failed to execute '" + how + "' on 'FileReader': The object is already busy reading Blobs.");
            if (encoding !== undefined) encoding = String(encoding);
            reader.readyState = 1;
            reader.result = reader.error = null;
            var bytes = b.bytes, total = bytes.length, reading = ++reader.reading;
            function live() { return reader.reading === reading; }
            kit.window.setTimeout(function () {
                if (!live()) return;
                reader.dispatchEvent(progressEvent('loadstart', 0, total));
                kit.window.setTimeout(function () {
                    if (!live()) return;
                    if (total) reader.dispatchEvent(progressEvent('progress', total, total));
                    if (!live()) return;
                    reader.readyState = 2;
                    reader.result = how === 'readAsArrayBuffer' ? bytes.slice().buffer
                        : how === 'readAsBinaryString' ? binaryString(bytes)
                        : how === 'readAsDataURL' ? 'data:' + (b.type || 'application/octet-stream') + ';base64,' + base64Of(bytes)
                        : decodeText(bytes, encoding, b.type);
                    reader.dispatchEvent(progressEvent('load', total, total));
                    if (reader.readyState === 2) reader.dispatchEvent(progressEvent('loadend', total, total));
                }, 0);
            }, 0);
        };
    }
    var BASE64 = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
    function base64Of(bytes) {
        var out = [], n;
        for (n = 0; n + 2 < bytes.length; n += 3) {
            var v = (bytes[n] << 16) | (bytes[n + 1] << 8) | bytes[n + 2];
            out.push(BASE64[v >> 18] + BASE64[(v >> 12) & 63] + BASE64[(v >> 6) & 63] + BASE64[v & 63]);
        }
        if (n < bytes.length) {
            var w = (bytes[n] << 16) | (n + 1 < bytes.length ? bytes[n + 1] << 8 : 0);
            out.push(BASE64[w >> 18] + BASE64[(w >> 12) & 63] + (n + 1 < bytes.length ? BASE64[(w >> 6) & 63] : '=') + '=');
        }
        return out.join('');
    }
    function binaryString(bytes) {
        var out = '';
        for (var n = 0; n < bytes.length; n += 8192) out += String.fromCharCode.apply(null, bytes.subarray(n, n + 8192));
        return out;
    }
    // Text in the encoding a label names (else the blob type's charset, else UTF-8).
    function decodeText(bytes, label, type) {
        var charset = /;\s*charset\s*=\s*"?([^";\s]+)/i.exec(type || '');
        var names = [label, charset && charset[1]];
        for (var n = 0; n < names.length; n++) {
            if (names[n] === undefined || names[n] === null) continue;
            try {
                return new kit.types.TextDecoder(names[n]).decode(bytes);
            } catch (e) {
                // (a label no decoder knows: the next one)
            }
        }
        return textOfUtf8(bytes);
    }
    ['readAsArrayBuffer', 'readAsBinaryString', 'readAsDataURL', 'readAsText'].forEach(function (how) { on('FileReader', how, readBlob(how)); });
    on('FileReader', 'abort', function () {
        if (this.readyState !== 1) {
            this.result = null;
            return;
        }
        this.reading++;
        this.readyState = 2;
        this.result = null;
        this.dispatchEvent(progressEvent('abort', 0, 0));
        if (this.readyState === 2) this.dispatchEvent(progressEvent('loadend', 0, 0));
    });

    // Object URLs: blob:<origin>/<uuid>, each naming its blob until revoked.
    var objectUrls = new Map();
    on('URL', 'static createObjectURL', function (r, blob) {
        var b = blobOf(blob);
        if (!b) throw new TypeError("Failed to execute 'createObjectURL' on 'URL': Overload resolution failed.");
        var origin = kit.location.origin, url = 'blob:' + (origin && origin !== 'null' ? origin : 'null') + '/' + kit.window.crypto.randomUUID();
        objectUrls.set(url, b);
        return url;
    });
    on('URL', 'static revokeObjectURL', function (r, url) { objectUrls.delete(String(url)); });
    // The blob an object URL names now (undefined for any other address).
    function blobAt(url) { return objectUrls.get(String(url).replace(/#.*$/, '')); }

    // ---- Web Crypto ----------------------------------------------------------------------
    // Digests, HMAC, AES (CBC, CTR, GCM, KW), PBKDF2, HKDF, RSA and the NIST curves,
    // computed by the workbench; keys and algorithms as Chrome shows them. What Chrome 124
    // does not know (Ed25519, X25519) is refused as it refuses it.
    var cryptoHost = typeof host.digest === 'function';
    var USAGES = ['encrypt', 'decrypt', 'sign', 'verify', 'deriveKey', 'deriveBits', 'wrapKey', 'unwrapKey'];
    var ALGORITHMS = {
        'SHA-1': {digest: true}, 'SHA-256': {digest: true}, 'SHA-384': {digest: true}, 'SHA-512': {digest: true},
        'HMAC': {usages: ['sign', 'verify']}, 'AES-CBC': {usages: ['encrypt', 'decrypt', 'wrapKey', 'unwrapKey']},
        'AES-GCM': {usages: ['encrypt', 'decrypt', 'wrapKey', 'unwrapKey']}, 'AES-CTR': {usages: ['encrypt', 'decrypt', 'wrapKey', 'unwrapKey']},
        'AES-KW': {usages: ['wrapKey', 'unwrapKey']},
        'PBKDF2': {usages: ['deriveKey', 'deriveBits'], kdf: true}, 'HKDF': {usages: ['deriveKey', 'deriveBits'], kdf: true},
        // Public-key algorithms: what each half of a pair may be used for.
        'RSASSA-PKCS1-V1_5': {name: 'RSASSA-PKCS1-v1_5', family: 'RSA', publicUsages: ['verify'], privateUsages: ['sign']},
        'RSA-PSS': {family: 'RSA', publicUsages: ['verify'], privateUsages: ['sign']},
        'RSA-OAEP': {family: 'RSA', publicUsages: ['encrypt', 'wrapKey'], privateUsages: ['decrypt', 'unwrapKey']},
        'ECDSA': {family: 'EC', publicUsages: ['verify'], privateUsages: ['sign']},
        'ECDH': {family: 'EC', publicUsages: [], privateUsages: ['deriveKey', 'deriveBits']}
    };
    var BLOCK_BITS = {'SHA-1': 512, 'SHA-256': 512, 'SHA-384': 1024, 'SHA-512': 1024};
    function failed(op) { return "Failed to execute '" + op + "' on 'SubtleCrypto': "; }
    // An algorithm as the operation reads it: {name} with the name as the table spells it.
    function algorithmOf(alg, op, what) {
        if (!cryptoHost) throw domException('NotSupportedError', failed(op) + 'Algorithm: Unrecognized name');
        if (typeof alg === 'string') alg = {name: alg};
        else if (alg === null || typeof alg !== 'object') throw new TypeError(failed(op) + 'Algorithm: Not an object');
        if (typeof alg.name !== 'string') throw new TypeError(failed(op) + (what || 'Algorithm') + ': name: Missing or not a string');
        var upper = alg.name.toUpperCase();
        if (!hasOwn.call(ALGORITHMS, upper)) throw domException('NotSupportedError', failed(op) + (what || 'Algorithm') + ': Unrecognized name');
        return {name: ALGORITHMS[upper].name || upper, params: alg};
    }
    function algo(name) { return ALGORITHMS[name.toUpperCase()]; }
    function hashOf(params, op, dictionary) {
        if (params.hash === undefined) throw new TypeError(failed(op) + dictionary + ': hash: Missing or not an AlgorithmIdentifier');
        var h = algorithmOf(params.hash, op, dictionary + ': hash: Algorithm');
        if (!algo(h.name).digest) throw domException('NotSupportedError', failed(op) + dictionary + ': hash: Algorithm: Unrecognized name');
        return h.name;
    }
    function bufferOf(v, op) {
        if (isArrayBuffer(v)) return new Uint8Array(v.slice(0));
        if (ArrayBuffer.isView(v)) return new Uint8Array(v.buffer.slice(v.byteOffset, v.byteOffset + v.byteLength));
        throw new TypeError(failed(op) + "The provided value is not of type '(ArrayBuffer or ArrayBufferView)'.");
    }
    function optionalBuffer(v, op) { return v === undefined ? new Uint8Array(0) : bufferOf(v, op); }
    function cryptoKeyOf(v, op, at) {
        var r = records.get(v);
        if (!r || r.iface.name !== 'CryptoKey') throw new TypeError(failed(op) + 'parameter ' + at + " is not of type 'CryptoKey'.");
        return r.impl;
    }
    function usagesOf(list, op) {
        var out = [];
        Array.from(list, String).forEach(function (u) {
            if (USAGES.indexOf(u) < 0) throw new TypeError(failed(op) + "The provided value '" + u + "' is not a valid enum value of type KeyUsage.");
            if (out.indexOf(u) < 0) out.push(u);
        });
        return USAGES.filter(function (u) { return out.indexOf(u) >= 0; });
    }
    function newKey(algorithm, extractable, usages, raw) {
        var allowed = algo(algorithm.name).usages;
        for (var n = 0; n < usages.length; n++)
            if (allowed.indexOf(usages[n]) < 0) throw domException('SyntaxError', 'Cannot create a key using the specified key usages.');
        if (!usages.length) throw domException('SyntaxError', 'Usages cannot be empty when creating a key.');
        var k = {type: 'secret', extractable: !!extractable, algorithmFacts: algorithm, usageList: usages, raw: raw};
        kinds.set(k, 'CryptoKey');
        return k;
    }
    on('CryptoKey', 'get algorithm', function () {
        var a = this.algorithmFacts, out = {name: a.name};
        if (a.namedCurve) out.namedCurve = a.namedCurve;
        if (a.hash) out.hash = {name: a.hash};
        if (a.length !== undefined) out.length = a.length;
        if (a.modulusLength !== undefined) {
            out.modulusLength = a.modulusLength;
            out.publicExponent = new Uint8Array(a.publicExponent);
        }
        return out;
    });
    // A half of a key pair: its facts, its type, and its DER (SPKI or PKCS #8) from the
    // workbench's description.
    function pairKey(facts, desc, extractable, usages) {
        var a = algo(facts.name), allowed = desc.private ? a.privateUsages : a.publicUsages;
        for (var n = 0; n < usages.length; n++)
            if (allowed.indexOf(usages[n]) < 0) throw domException('SyntaxError', 'Cannot create a key using the specified key usages.');
        if (desc.private && !usages.length) throw domException('SyntaxError', 'Usages cannot be empty when creating a key.');
        var k = {type: desc.private ? 'private' : 'public', extractable: !!extractable, algorithmFacts: facts, usageList: usages, desc: desc,
            der: new Uint8Array(desc.der)};
        kinds.set(k, 'CryptoKey');
        return k;
    }
    // A pair's facts as the algorithm and the key itself give them.
    function pairFacts(alg, desc, op) {
        var a = algo(alg.name), p = alg.params;
        if (a.family === 'RSA') {
            var hash = hashOf(p, op, op === 'generateKey' ? 'RsaHashedKeyGenParams' : 'RsaHashedImportParams');
            if (desc.kind !== 'RSA') throw domException('DataError', 'The key is not of the expected type');
            return {name: alg.name, hash: hash, modulusLength: desc.bits, publicExponent: new Uint8Array(desc.e)};
        }
        if (p.namedCurve === undefined)
            throw new TypeError(failed(op) + (op === 'generateKey' ? 'EcKeyGenParams' : 'EcKeyImportParams') + ': namedCurve: Missing required property');
        var curve = String(p.namedCurve);
        if (['P-256', 'P-384', 'P-521'].indexOf(curve) < 0) throw domException('NotSupportedError', failed(op) + 'Unsupported namedCurve');
        if (desc && desc.kind !== 'EC') throw domException('DataError', 'The key is not of the expected type');
        if (desc && desc.curve !== curve) throw domException('DataError', 'The imported EC key specifies a different curve than requested');
        return {name: alg.name, namedCurve: curve};
    }
    var JWK_RSA = ['n', 'e', 'd', 'p', 'q', 'dp', 'dq', 'qi'];
    function jwkPairAlg(facts) {
        var bits = facts.hash ? facts.hash.substring(4) : '';
        if (facts.name === 'RSASSA-PKCS1-v1_5') return 'RS' + bits;
        if (facts.name === 'RSA-PSS') return 'PS' + bits;
        if (facts.name === 'RSA-OAEP') return bits === '1' ? 'RSA-OAEP' : 'RSA-OAEP-' + bits;
        return undefined;
    }
    function importPair(format, keyData, alg, extractable, usages) {
        var a = algo(alg.name), desc, curve = alg.params.namedCurve === undefined ? undefined : String(alg.params.namedCurve);
        if (format === 'spki' || format === 'pkcs8') {
            desc = host.keyRead('der', bufferOf(keyData, 'importKey'), format === 'pkcs8');
        } else if (format === 'raw') {
            if (a.family !== 'EC') throw domException('NotSupportedError', failed('importKey') + 'Unsupported import key format for algorithm');
            desc = host.keyRead('raw', {point: bufferOf(keyData, 'importKey')}, false, curve);
        } else {
            if (keyData === null || typeof keyData !== 'object') throw new TypeError(failed('importKey') + "The provided value is not of type 'JsonWebKey'.");
            if (keyData.kty !== a.family) throw domException('DataError', 'The JWK "kty" member was not "' + a.family + '"');
            var fields = {kind: a.family}, isPrivate = keyData.d !== undefined;
            (a.family === 'RSA' ? JWK_RSA : ['x', 'y', 'd']).forEach(function (f) {
                if (keyData[f] !== undefined) fields[f] = fromBase64url(keyData[f], 'importKey');
            });
            if (a.family === 'EC' && keyData.crv !== curve) throw domException('DataError', 'The JWK "crv" member was inconsistent with that specified by the Web Crypto call');
            desc = host.keyRead('jwk', fields, isPrivate, curve);
        }
        if (!desc) throw domException('DataError', '');
        var facts = pairFacts(alg, desc, 'importKey');
        if (format === 'jwk' && keyData.alg !== undefined && jwkPairAlg(facts) !== undefined && String(keyData.alg) !== jwkPairAlg(facts))
            throw domException('DataError', 'The JWK "alg" member was inconsistent with that specified by the Web Crypto call');
        return pairKey(facts, desc, extractable, usages);
    }
    function exportPair(format, k) {
        var d = k.desc;
        if (format === 'spki') {
            if (k.type !== 'public') throw domException('InvalidAccessError', failed('exportKey') + 'key is not a public key');
            return promise(new Uint8Array(d.der).buffer);
        }
        if (format === 'pkcs8') {
            if (k.type !== 'private') throw domException('InvalidAccessError', failed('exportKey') + 'key is not a private key');
            return promise(new Uint8Array(d.der).buffer);
        }
        if (format === 'raw') {
            if (d.kind !== 'EC' || k.type !== 'public') throw domException('InvalidAccessError', failed('exportKey') + 'Unsupported export key format for algorithm');
            var x = new Uint8Array(d.x), y = new Uint8Array(d.y), point = new Uint8Array(1 + x.length + y.length);
            point[0] = 4;
            point.set(x, 1);
            point.set(y, 1 + x.length);
            return promise(point.buffer);
        }
        var jwk = {};
        if (d.kind === 'RSA') {
            var alg = jwkPairAlg(k.algorithmFacts);
            if (alg) jwk.alg = alg;
            if (k.type === 'private') ['d', 'dp', 'dq'].forEach(function (f) { jwk[f] = base64url(new Uint8Array(d[f])); });
            jwk.e = base64url(new Uint8Array(d.e));
            jwk.ext = k.extractable;
            jwk.key_ops = k.usageList.slice();
            jwk.kty = 'RSA';
            jwk.n = base64url(new Uint8Array(d.n));
            if (k.type === 'private') ['p', 'q', 'qi'].forEach(function (f) { jwk[f] = base64url(new Uint8Array(d[f])); });
        } else {
            jwk.crv = d.curve;
            if (k.type === 'private') jwk.d = base64url(new Uint8Array(d.d));
            jwk.ext = k.extractable;
            jwk.key_ops = k.usageList.slice();
            jwk.kty = 'EC';
            jwk.x = base64url(new Uint8Array(d.x));
            jwk.y = base64url(new Uint8Array(d.y));
        }
        return promise(jwk);
    }
    on('CryptoKey', 'get usages', function () { return this.usageList.slice(); });
    function base64url(bytes) {
        return base64Of(bytes).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
    }
    function fromBase64url(text, op) {
        try {
            var b = kit.window.atob(String(text).replace(/-/g, '+').replace(/_/g, '/'));
            var out = new Uint8Array(b.length);
            for (var n = 0; n < b.length; n++) out[n] = b.charCodeAt(n);
            return out;
        } catch (e) {
            throw domException('DataError', 'The JWK member "k" could not be base64url decoded or contained padding');
        }
    }
    function jwkAlg(facts) {
        if (facts.name === 'HMAC') return 'HS' + facts.hash.substring(4).replace(/^1$/, '1');
        return 'A' + facts.length + facts.name.substring(4);
    }
    // A secret key's facts from its bytes, as the algorithm asks.
    function secretFacts(alg, raw, op) {
        var p = alg.params;
        if (alg.name === 'HMAC') {
            var hash = hashOf(p, op, 'HmacImportParams');
            if (!raw.length) throw domException('DataError', 'HMAC key data must not be empty');
            return {name: 'HMAC', hash: hash, length: raw.length * 8};
        }
        if (algo(alg.name).kdf) return {name: alg.name};
        if (raw.length !== 16 && raw.length !== 32) throw domException('DataError', 'AES key data must be 128 or 256 bits');
        return {name: alg.name, length: raw.length * 8};
    }
    on('SubtleCrypto', 'digest', function (r, algorithm, data) {
        var alg = algorithmOf(algorithm, 'digest');
        if (!algo(alg.name).digest) throw domException('NotSupportedError', failed('digest') + 'Algorithm: Unrecognized name');
        var bytes = bufferOf(data, 'digest');
        return promise(cryptoHost ? host.digest(alg.name, bytes) : undefined);
    });
    on('SubtleCrypto', 'importKey', function (r, format, keyData, algorithm, extractable, keyUsages) {
        format = String(format);
        if (['raw', 'jwk', 'spki', 'pkcs8'].indexOf(format) < 0) throw new TypeError(failed('importKey') + 'Invalid keyFormat argument: ' + format);
        var alg = algorithmOf(algorithm, 'importKey'), usages = usagesOf(keyUsages, 'importKey'), raw;
        if (alg.name.indexOf('SHA-') === 0) throw domException('NotSupportedError', failed('importKey') + 'Algorithm: Unrecognized name');
        if (algo(alg.name).family) return promise(wrap(importPair(format, keyData, alg, extractable, usages)));
        if (format === 'raw') raw = bufferOf(keyData, 'importKey');
        else if (format === 'jwk') {
            if (keyData === null || typeof keyData !== 'object') throw new TypeError(failed('importKey') + "The provided value is not of type 'JsonWebKey'.");
            if (keyData.kty !== 'oct') throw domException('DataError', 'The JWK "kty" member was not "oct"');
            raw = fromBase64url(keyData.k, 'importKey');
            if (keyData.ext === false && extractable) throw domException('DataError', 'The JWK "ext" member was inconsistent with that specified by the Web Crypto call');
        } else {
            throw domException('NotSupportedError', failed('importKey') + 'Unsupported import key format for algorithm');
        }
        if (algo(alg.name).kdf) {
            if (format !== 'raw') throw domException('NotSupportedError', failed('importKey') + 'Unsupported import key format for algorithm');
            if (extractable) throw domException('SyntaxError', 'KDF keys must set extractable=false');
        }
        var facts = secretFacts(alg, raw, 'importKey');
        if (format === 'jwk' && keyData.alg !== undefined && String(keyData.alg) !== jwkAlg(facts))
            throw domException('DataError', 'The JWK "alg" member was inconsistent with that specified by the Web Crypto call');
        return promise(wrap(newKey(facts, extractable, usages, raw)));
    });
    on('SubtleCrypto', 'exportKey', function (r, format, key) {
        format = String(format);
        if (['raw', 'jwk', 'spki', 'pkcs8'].indexOf(format) < 0) throw new TypeError(failed('exportKey') + 'Invalid keyFormat argument: ' + format);
        var k = cryptoKeyOf(key, 'exportKey', 2);
        if (!k.extractable) throw domException('InvalidAccessError', failed('exportKey') + 'key is not extractable');
        if (k.desc) return exportPair(format, k);
        if (format === 'raw') return promise(k.raw.slice().buffer);
        if (format !== 'jwk') throw domException('NotSupportedError', failed('exportKey') + 'Unsupported export key format for algorithm');
        return promise({alg: jwkAlg(k.algorithmFacts), ext: k.extractable, k: base64url(k.raw), key_ops: k.usageList.slice(), kty: 'oct'});
    });
    function randomKeyBytes(n) {
        var b = new Uint8Array(n);
        kit.window.crypto.getRandomValues(b);
        return b;
    }
    on('SubtleCrypto', 'generateKey', function (r, algorithm, extractable, keyUsages) {
        var alg = algorithmOf(algorithm, 'generateKey'), usages = usagesOf(keyUsages, 'generateKey'), p = alg.params, facts;
        if (alg.name === 'HMAC') {
            var hash = hashOf(p, 'generateKey', 'HmacKeyGenParams'), bits = p.length === undefined ? BLOCK_BITS[hash] : Number(p.length);
            if (!(bits > 0) || bits % 8) throw domException('OperationError', 'The length provided for HMAC is not supported');
            facts = {name: 'HMAC', hash: hash, length: bits};
        } else if (alg.name.indexOf('AES-') === 0) {
            if (p.length === undefined) throw new TypeError(failed('generateKey') + 'AesKeyGenParams: length: Missing required property');
            var length = Number(p.length);
            if (length === 192) throw domException('OperationError', '192-bit AES keys are not supported');
            if (length !== 128 && length !== 256) throw domException('OperationError', 'AES key length must be 128 or 256 bits');
            facts = {name: alg.name, length: length};
        } else if (algo(alg.name).family) {
            return generatePair(alg, extractable, usages);
        } else {
            throw domException('NotSupportedError', failed('generateKey') + 'Algorithm: Unrecognized name');
        }
        return promise(wrap(newKey(facts, extractable, usages, randomKeyBytes(facts.length / 8))));
    });
    function generatePair(alg, extractable, usages) {
        var a = algo(alg.name), p = alg.params, made;
        if (a.family === 'RSA') {
            if (p.modulusLength === undefined) throw new TypeError(failed('generateKey') + 'RsaHashedKeyGenParams: modulusLength: Missing required property');
            if (p.publicExponent === undefined) throw new TypeError(failed('generateKey') + 'RsaHashedKeyGenParams: publicExponent: Missing required property');
            hashOf(p, 'generateKey', 'RsaHashedKeyGenParams');
            made = host.keyMake('RSA', Number(p.modulusLength), bufferOf(p.publicExponent, 'generateKey'));
        } else {
            made = host.keyMake('EC', pairFacts(alg, null, 'generateKey').namedCurve);
        }
        if (!made) throw domException('OperationError', '');
        var facts = pairFacts(alg, made.privateKey, 'generateKey');
        var mine = usages.filter(function (u) { return a.privateUsages.indexOf(u) >= 0; });
        var theirs = usages.filter(function (u) { return a.publicUsages.indexOf(u) >= 0; });
        if (mine.length + theirs.length < usages.length) throw domException('SyntaxError', 'Cannot create a key using the specified key usages.');
        var privateKey = pairKey(facts, made.privateKey, extractable, mine), publicKey = pairKey(facts, made.publicKey, true, theirs);
        return promise({privateKey: wrap(privateKey), publicKey: wrap(publicKey)});
    }
    function usable(k, name, usage) {
        if (k.algorithmFacts.name !== name) throw domException('InvalidAccessError', 'key.algorithm does not match that of operation');
        if (k.usageList.indexOf(usage) < 0) throw domException('InvalidAccessError', 'key.usages does not permit this operation');
    }
    on('SubtleCrypto', 'sign', function (r, algorithm, key, data) {
        var alg = algorithmOf(algorithm, 'sign'), k = cryptoKeyOf(key, 'sign', 2), bytes = bufferOf(data, 'sign');
        if (alg.name !== 'HMAC') return pairSign(alg, k, bytes, null);
        usable(k, 'HMAC', 'sign');
        return promise(host.hmac(k.algorithmFacts.hash, k.raw, bytes));
    });
    on('SubtleCrypto', 'verify', function (r, algorithm, key, signature, data) {
        var alg = algorithmOf(algorithm, 'verify'), k = cryptoKeyOf(key, 'verify', 2), sig = bufferOf(signature, 'verify'), bytes = bufferOf(data, 'verify');
        if (alg.name !== 'HMAC') return pairSign(alg, k, bytes, sig);
        usable(k, 'HMAC', 'verify');
        return promise(host.sameBytes(host.hmac(k.algorithmFacts.hash, k.raw, bytes), sig));
    });
    // A signature made (`signature` null) or checked with a key of a pair.
    function pairSign(alg, k, bytes, signature) {
        var op = signature === null ? 'sign' : 'verify', p = alg.params, hash, salt = 0;
        if (alg.name === 'ECDSA') hash = hashOf(p, op, 'EcdsaParams');
        else if (alg.name === 'RSA-PSS') {
            if (p.saltLength === undefined) throw new TypeError(failed(op) + 'RsaPssParams: saltLength: Missing required property');
            salt = Number(p.saltLength) >>> 0;
        } else if (alg.name !== 'RSASSA-PKCS1-v1_5') {
            throw domException('NotSupportedError', failed(op) + 'Algorithm: Unrecognized name');
        }
        usable(k, alg.name, op);
        if (!hash) hash = k.algorithmFacts.hash;
        if (signature !== null) return promise(host.keyVerify(alg.name, k.der, hash, signature, bytes, salt));
        var out = host.keySign(alg.name, k.der, hash, bytes, salt);
        return out === null ? Promise.reject(domException('OperationError', '')) : promise(out);
    }
    var TAG_BITS = [32, 64, 96, 104, 112, 120, 128];
    function aesWork(op, encrypting) {
        return function (r, algorithm, key, data) {
            var alg = algorithmOf(algorithm, op), k = cryptoKeyOf(key, op, 2), bytes = bufferOf(data, op);
            if (alg.name === 'AES-KW') throw domException('NotSupportedError', failed(op) + 'AES-KW: Unsupported operation: ' + op);
            return cipher(op, op, encrypting, alg, k, bytes);
        };
    }
    // `bytes` encrypted (or decrypted) with key `k` for operation `op`, the key used as
    // `usage` allows (encrypt/decrypt, or wrapKey/unwrapKey).
    function cipher(op, usage, encrypting, alg, k, bytes) {
            var p = alg.params;
            if (alg.name === 'AES-KW') {
                usable(k, alg.name, usage);
                if (!encrypting && bytes.length < 24) return Promise.reject(domException('OperationError', 'The provided data is too small'));
                if (bytes.length % 8) return Promise.reject(domException('OperationError', 'The provided data is not a multiple of 64 bits'));
                var wrapped = host.aes('AES-KW', encrypting, k.raw, null, bytes);
                return wrapped === null ? Promise.reject(domException('OperationError', '')) : promise(wrapped);
            }
            if (alg.name === 'RSA-OAEP') {
                var label = optionalBuffer(p.label, op);
                usable(k, alg.name, usage);
                var done = host.rsaOaep(encrypting, k.der, k.algorithmFacts.hash, label, bytes);
                return done === null ? Promise.reject(domException('OperationError', '')) : promise(done);
            }
            if (alg.name.indexOf('AES-') !== 0) throw domException('NotSupportedError', failed(op) + 'Algorithm: Unrecognized name');
            var iv, tagBits, aad, counterBits;
            if (alg.name === 'AES-CBC') {
                if (p.iv === undefined) throw new TypeError(failed(op) + 'AesCbcParams: iv: Missing required property');
                iv = bufferOf(p.iv, op);
            } else if (alg.name === 'AES-GCM') {
                if (p.iv === undefined) throw new TypeError(failed(op) + 'AesGcmParams: iv: Missing required property');
                iv = bufferOf(p.iv, op);
                aad = optionalBuffer(p.additionalData, op);
                tagBits = p.tagLength === undefined ? 128 : Number(p.tagLength);
            } else {
                if (p.counter === undefined) throw new TypeError(failed(op) + 'AesCtrParams: counter: Missing required property');
                if (p.length === undefined) throw new TypeError(failed(op) + 'AesCtrParams: length: Missing required property');
                iv = bufferOf(p.counter, op);
                counterBits = Number(p.length);
            }
            usable(k, alg.name, usage);
            if (alg.name === 'AES-CBC' && iv.length !== 16) throw domException('OperationError', 'The "iv" has an unexpected length -- must be 16 bytes');
            if (alg.name === 'AES-GCM' && TAG_BITS.indexOf(tagBits) < 0) throw domException('OperationError', 'The tag length is invalid: Must be 32, 64, 96, 104, 112, 120, or 128 bits');
            if (alg.name === 'AES-CTR' && iv.length !== 16) throw domException('OperationError', 'The counter has an unexpected length -- must be 16 bytes');
            if (alg.name === 'AES-CTR' && !(counterBits >= 1 && counterBits <= 128)) throw domException('OperationError', 'The counter length must be between 1 and 128');
            var out = host.aes(alg.name, encrypting, k.raw, iv, bytes, tagBits, aad, counterBits);
            if (out === null) return Promise.reject(domException('OperationError', ''));
            return promise(out);
    }
    on('SubtleCrypto', 'encrypt', aesWork('encrypt', true));
    on('SubtleCrypto', 'decrypt', aesWork('decrypt', false));
    // A key exported and encrypted (wrapKey), and decrypted and imported (unwrapKey).
    on('SubtleCrypto', 'wrapKey', function (r, format, key, wrappingKey, wrapAlgorithm) {
        format = String(format);
        if (['raw', 'jwk', 'spki', 'pkcs8'].indexOf(format) < 0) throw new TypeError(failed('wrapKey') + 'Invalid keyFormat argument: ' + format);
        var alg = algorithmOf(wrapAlgorithm, 'wrapKey'), k = cryptoKeyOf(key, 'wrapKey', 2), w = cryptoKeyOf(wrappingKey, 'wrapKey', 3);
        usable(w, alg.name, 'wrapKey');
        if (!k.extractable) throw domException('InvalidAccessError', 'key is not extractable');
        return behaviours['SubtleCrypto.exportKey'](null, format, key).then(function (data) {
            var bytes = format === 'jwk' ? utf8Of(JSON.stringify(data)) : new Uint8Array(data);
            return cipher('wrapKey', 'wrapKey', true, alg, w, bytes);
        });
    });
    on('SubtleCrypto', 'unwrapKey', function (r, format, wrappedKey, unwrappingKey, unwrapAlgorithm, unwrappedKeyAlgorithm, extractable, keyUsages) {
        format = String(format);
        if (['raw', 'jwk', 'spki', 'pkcs8'].indexOf(format) < 0) throw new TypeError(failed('unwrapKey') + 'Invalid keyFormat argument: ' + format);
        var alg = algorithmOf(unwrapAlgorithm, 'unwrapKey'), w = cryptoKeyOf(unwrappingKey, 'unwrapKey', 3), bytes = bufferOf(wrappedKey, 'unwrapKey');
        algorithmOf(unwrappedKeyAlgorithm, 'unwrapKey');
        return cipher('unwrapKey', 'unwrapKey', false, alg, w, bytes).then(function (plain) {
            var data = plain;
            if (format === 'jwk') {
                try {
                    data = JSON.parse(textOfUtf8(new Uint8Array(plain)));
                } catch (e) {
                    throw domException('DataError', 'The JWK could not be parsed');
                }
            }
            return behaviours['SubtleCrypto.importKey'](null, format, data, unwrappedKeyAlgorithm, extractable, keyUsages);
        });
    });
    function derived(op, alg, k, bits) {
        var p = alg.params, out;
        if (alg.name === 'ECDH') {
            var r = records.get(p['public']);
            if (!r || r.iface.name !== 'CryptoKey') throw new TypeError(failed(op) + "EcdhKeyDeriveParams: public: Not a CryptoKey");
            var peer = r.impl;
            if (peer.type !== 'public') throw domException('InvalidAccessError', 'The public parameter for ECDH key derivation is not a public EC key');
            if (peer.algorithmFacts.name !== 'ECDH') throw domException('InvalidAccessError', 'The public parameter for ECDH key derivation must be for ECDH');
            if (peer.algorithmFacts.namedCurve !== k.algorithmFacts.namedCurve)
                throw domException('InvalidAccessError', 'The public parameter for ECDH key derivation is for a different named curve');
            out = host.ecdh(k.der, peer.der, bits === null ? undefined : bits);
            if (out === null) throw domException('OperationError', 'Length specified for ECDH key derivation is too large. Maximum allowed is ' +
                (k.algorithmFacts.namedCurve === 'P-256' ? 256 : k.algorithmFacts.namedCurve === 'P-384' ? 384 : 528));
            return out;
        }
        if (bits === null || bits === undefined || bits % 8) throw domException('OperationError', 'The length provided for ' + alg.name + ' is not a multiple of 8');
        if (alg.name === 'PBKDF2') {
            var hash = hashOf(p, op, 'Pbkdf2Params'), salt = bufferOf(p.salt, op), iterations = Number(p.iterations);
            if (!(iterations > 0)) throw domException('OperationError', 'PBKDF2 requires iterations > 0');
            out = host.pbkdf2(hash, k.raw, salt, iterations, bits);
        } else if (alg.name === 'HKDF') {
            out = host.hkdf(hashOf(p, op, 'HkdfParams'), k.raw, bufferOf(p.salt, op), bufferOf(p.info, op), bits);
        } else {
            throw domException('NotSupportedError', failed(op) + 'Algorithm: Unrecognized name');
        }
        if (out === null) throw domException('OperationError', 'The length provided for ' + alg.name + ' is too large');
        return out;
    }
    on('SubtleCrypto', 'deriveBits', function (r, algorithm, baseKey, length) {
        var alg = algorithmOf(algorithm, 'deriveBits'), k = cryptoKeyOf(baseKey, 'deriveBits', 2);
        usable(k, alg.name, 'deriveBits');
        return promise(derived('deriveBits', alg, k, length === undefined || length === null ? null : Number(length)));
    });
    on('SubtleCrypto', 'deriveKey', function (r, algorithm, baseKey, derivedKeyType, extractable, keyUsages) {
        var alg = algorithmOf(algorithm, 'deriveKey'), k = cryptoKeyOf(baseKey, 'deriveKey', 2), target = algorithmOf(derivedKeyType, 'deriveKey');
        var usages = usagesOf(keyUsages, 'deriveKey'), tp = target.params, bits;
        usable(k, alg.name, 'deriveKey');
        if (target.name === 'HMAC') {
            var hash = hashOf(tp, 'deriveKey', 'HmacImportParams');
            bits = tp.length === undefined ? BLOCK_BITS[hash] : Number(tp.length);
        } else if (target.name.indexOf('AES-') === 0) {
            if (tp.length === undefined) throw new TypeError(failed('deriveKey') + 'AesDerivedKeyParams: length: Missing required property');
            bits = Number(tp.length);
            if (bits !== 128 && bits !== 256) throw domException('OperationError', 'AES key length must be 128 or 256 bits');
        } else {
            throw domException('NotSupportedError', failed('deriveKey') + 'Algorithm: Unrecognized name');
        }
        var raw = new Uint8Array(derived('deriveKey', alg, k, bits));
        return promise(wrap(newKey(secretFacts(target, raw, 'deriveKey'), extractable, usages, raw)));
    });

    // ---- WebRTC ------------------------------------------------------------------------
    // A connection that offers and gathers as a desktop Chrome's does: an offer of its own
    // (fresh credentials and certificate fingerprint), one host candidate under an mDNS
    // name (Chrome never shows a page its addresses), then the end of gathering. Nothing
    // connects: there is no network.
    function randomText(n, alphabet) {
        var b = randomKeyBytes(n), out = '';
        for (var i = 0; i < n; i++) out += alphabet.charAt(b[i] % alphabet.length);
        return out;
    }
    var ICE_ALPHABET = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
    function rtcState(pc, field, value, event) {
        if (pc[field] === value) return;
        pc[field] = value;
        pc.dispatchEvent(idbEvent(event, false, false));
    }
    on('RTCPeerConnection', 'constructor', function (config) {
        var pc = create(kit.types.EventTarget.prototype);
        pc.signalingState = 'stable';
        pc.iceGatheringState = pc.iceConnectionState = pc.connectionState = 'new';
        pc.localDescription = pc.currentLocalDescription = pc.pendingLocalDescription = null;
        pc.remoteDescription = pc.currentRemoteDescription = pc.pendingRemoteDescription = null;
        pc.canTrickleIceCandidates = null;
        pc.sctp = null;
        ['negotiationneeded', 'icecandidate', 'signalingstatechange', 'iceconnectionstatechange', 'connectionstatechange',
            'icegatheringstatechange', 'icecandidateerror', 'track', 'datachannel'].forEach(function (k) { pc['on' + k] = null; });
        pc.config = config && typeof config === 'object' ? config : {};
        pc.channels = [];
        pc.receive = {audio: false, video: false};
        pc.ufrag = randomText(4, ICE_ALPHABET);
        pc.pwd = randomText(24, ICE_ALPHABET);
        pc.session = String(1 + randomKeyBytes(7).reduce(function (a, b) { return a * 256 + b; }, 0) % 9e18).replace(/\..*$/, '');
        pc.fingerprint = Array.prototype.map.call(randomKeyBytes(32), function (b) { return (b < 16 ? '0' : '') + b.toString(16).toUpperCase(); }).join(':');
        kinds.set(pc, 'RTCPeerConnection');
        return pc;
    });
    on('RTCPeerConnection', 'getConfiguration', function () {
        return {iceServers: [], iceTransportPolicy: 'all', bundlePolicy: 'balanced', rtcpMuxPolicy: 'require', iceCandidatePoolSize: 0};
    });
    on('RTCPeerConnection', 'createDataChannel', function (r, label, options) {
        if (this.signalingState === 'closed')
            throw domException('InvalidStateError', "Failed to execute 'createDataChannel' on 'RTCPeerConnection': The RTCPeerConnection's signalingState is 'closed'.");
        var o = options || {}, dc = create(kit.types.EventTarget.prototype);
        dc.label = String(label);
        dc.ordered = o.ordered === undefined ? true : !!o.ordered;
        dc.maxPacketLifeTime = o.maxPacketLifeTime === undefined ? null : Number(o.maxPacketLifeTime);
        dc.maxRetransmits = o.maxRetransmits === undefined ? null : Number(o.maxRetransmits);
        dc.protocol = o.protocol === undefined ? '' : String(o.protocol);
        dc.negotiated = !!o.negotiated;
        dc.id = o.id === undefined ? null : Number(o.id);
        dc.readyState = 'connecting';
        dc.bufferedAmount = dc.bufferedAmountLowThreshold = 0;
        dc.binaryType = 'arraybuffer';
        ['open', 'bufferedamountlow', 'error', 'closing', 'close', 'message'].forEach(function (k) { dc['on' + k] = null; });
        kinds.set(dc, 'RTCDataChannel');
        this.channels.push(dc);
        return wrap(dc);
    });
    on('RTCDataChannel', 'send', function () {
        if (this.readyState !== 'open') throw domException('InvalidStateError', "Failed to execute 'send' on 'RTCDataChannel': RTCDataChannel.readyState is not 'open'");
    });
    on('RTCDataChannel', 'close', function () { this.readyState = 'closed'; });
    // The sections an offer to receive audio and video carries, as the measuring stick
    // (Chromium) writes them: its codecs, their parameters and header extensions.
    var MEDIA_SECTIONS = {
        audio: 'm=audio 9 UDP/TLS/RTP/SAVPF 111 63 9 0 8 13 110 126\r\nc=IN IP4 0.0.0.0\r\n' +
            'a=rtcp:9 IN IP4 0.0.0.0\r\na=ice-ufrag:{U}\r\na=ice-pwd:{P}\r\na=ice-options:trickle\r\n' +
            'a=fingerprint:sha-256 {F}\r\na=setup:actpass\r\na=mid:{M}\r\n' +
            'a=extmap:1 urn:ietf:params:rtp-hdrext:ssrc-audio-level\r\n' +
            'a=extmap:2 http://www.webrtc.org/experiments/rtp-hdrext/abs-send-time\r\n' +
            'a=extmap:3 http://www.ietf.org/id/draft-holmer-rmcat-transport-wide-cc-extensions-01\r\n' +
            'a=extmap:4 urn:ietf:params:rtp-hdrext:sdes:mid\r\na=recvonly\r\na=rtcp-mux\r\na=rtcp-rsize\r\n' +
            'a=rtcp-xr:rcvr-rtt=all\r\na=rtpmap:111 opus/48000/2\r\na=rtcp-fb:111 transport-cc\r\n' +
            'a=fmtp:111 minptime=10;useinbandfec=1\r\na=rtpmap:63 red/48000/2\r\na=fmtp:63 111/111\r\n' +
            'a=rtpmap:9 G722/8000\r\na=rtpmap:0 PCMU/8000\r\na=rtpmap:8 PCMA/8000\r\na=rtpmap:13 CN/8000\r\n' +
            'a=rtpmap:110 telephone-event/48000\r\na=rtpmap:126 telephone-event/8000\r\n',
        video: '' +
            'm=video 9 UDP/TLS/RTP/SAVPF 96 97 98 99 100 101 35 36 37 38 102 103 104 107 108 109 114 115 116 117 39 40 41 42 43 44 45 46 47 48 118 119 120 49\r\n' +
            'c=IN IP4 0.0.0.0\r\na=rtcp:9 IN IP4 0.0.0.0\r\na=ice-ufrag:{U}\r\na=ice-pwd:{P}\r\n' +
            'a=ice-options:trickle\r\na=fingerprint:sha-256 {F}\r\na=setup:actpass\r\na=mid:{M}\r\n' +
            'a=extmap:14 urn:ietf:params:rtp-hdrext:toffset\r\n' +
            'a=extmap:2 http://www.webrtc.org/experiments/rtp-hdrext/abs-send-time\r\n' +
            'a=extmap:13 urn:3gpp:video-orientation\r\n' +
            'a=extmap:3 http://www.ietf.org/id/draft-holmer-rmcat-transport-wide-cc-extensions-01\r\n' +
            'a=extmap:5 http://www.webrtc.org/experiments/rtp-hdrext/playout-delay\r\n' +
            'a=extmap:6 http://www.webrtc.org/experiments/rtp-hdrext/video-content-type\r\n' +
            'a=extmap:7 http://www.webrtc.org/experiments/rtp-hdrext/video-timing\r\n' +
            'a=extmap:8 http://www.webrtc.org/experiments/rtp-hdrext/color-space\r\n' +
            'a=extmap:4 urn:ietf:params:rtp-hdrext:sdes:mid\r\n' +
            'a=extmap:10 urn:ietf:params:rtp-hdrext:sdes:rtp-stream-id\r\n' +
            'a=extmap:11 urn:ietf:params:rtp-hdrext:sdes:repaired-rtp-stream-id\r\na=recvonly\r\n' +
            'a=rtcp-mux\r\na=rtcp-rsize\r\na=rtcp-xr:rcvr-rtt=all\r\na=rtpmap:96 VP8/90000\r\n' +
            'a=rtcp-fb:96 goog-remb\r\na=rtcp-fb:96 transport-cc\r\na=rtcp-fb:96 ccm fir\r\n' +
            'a=rtcp-fb:96 nack\r\na=rtcp-fb:96 nack pli\r\na=rtpmap:97 rtx/90000\r\na=fmtp:97 apt=96\r\n' +
            'a=rtpmap:98 VP9/90000\r\na=rtcp-fb:98 goog-remb\r\na=rtcp-fb:98 transport-cc\r\n' +
            'a=rtcp-fb:98 ccm fir\r\na=rtcp-fb:98 nack\r\na=rtcp-fb:98 nack pli\r\na=fmtp:98 profile-id=0\r\n' +
            'a=rtpmap:99 rtx/90000\r\na=fmtp:99 apt=98\r\na=rtpmap:100 VP9/90000\r\n' +
            'a=rtcp-fb:100 goog-remb\r\na=rtcp-fb:100 transport-cc\r\na=rtcp-fb:100 ccm fir\r\n' +
            'a=rtcp-fb:100 nack\r\na=rtcp-fb:100 nack pli\r\na=fmtp:100 profile-id=2\r\n' +
            'a=rtpmap:101 rtx/90000\r\na=fmtp:101 apt=100\r\na=rtpmap:35 VP9/90000\r\n' +
            'a=rtcp-fb:35 goog-remb\r\na=rtcp-fb:35 transport-cc\r\na=rtcp-fb:35 ccm fir\r\n' +
            'a=rtcp-fb:35 nack\r\na=rtcp-fb:35 nack pli\r\na=fmtp:35 profile-id=1\r\n' +
            'a=rtpmap:36 rtx/90000\r\na=fmtp:36 apt=35\r\na=rtpmap:37 VP9/90000\r\na=rtcp-fb:37 goog-remb\r\n' +
            'a=rtcp-fb:37 transport-cc\r\na=rtcp-fb:37 ccm fir\r\na=rtcp-fb:37 nack\r\n' +
            'a=rtcp-fb:37 nack pli\r\na=fmtp:37 profile-id=3\r\na=rtpmap:38 rtx/90000\r\na=fmtp:38 apt=37\r\n' +
            'a=rtpmap:102 H264/90000\r\na=rtcp-fb:102 goog-remb\r\na=rtcp-fb:102 transport-cc\r\n' +
            'a=rtcp-fb:102 ccm fir\r\na=rtcp-fb:102 nack\r\na=rtcp-fb:102 nack pli\r\n' +
            'a=fmtp:102 level-asymmetry-allowed=1;packetization-mode=1;profile-level-id=42001f\r\n' +
            'a=rtpmap:103 rtx/90000\r\na=fmtp:103 apt=102\r\na=rtpmap:104 H264/90000\r\n' +
            'a=rtcp-fb:104 goog-remb\r\na=rtcp-fb:104 transport-cc\r\na=rtcp-fb:104 ccm fir\r\n' +
            'a=rtcp-fb:104 nack\r\na=rtcp-fb:104 nack pli\r\n' +
            'a=fmtp:104 level-asymmetry-allowed=1;packetization-mode=0;profile-level-id=42001f\r\n' +
            'a=rtpmap:107 rtx/90000\r\na=fmtp:107 apt=104\r\na=rtpmap:108 H264/90000\r\n' +
            'a=rtcp-fb:108 goog-remb\r\na=rtcp-fb:108 transport-cc\r\na=rtcp-fb:108 ccm fir\r\n' +
            'a=rtcp-fb:108 nack\r\na=rtcp-fb:108 nack pli\r\n' +
            'a=fmtp:108 level-asymmetry-allowed=1;packetization-mode=1;profile-level-id=42e01f\r\n' +
            'a=rtpmap:109 rtx/90000\r\na=fmtp:109 apt=108\r\na=rtpmap:114 H264/90000\r\n' +
            'a=rtcp-fb:114 goog-remb\r\na=rtcp-fb:114 transport-cc\r\na=rtcp-fb:114 ccm fir\r\n' +
            'a=rtcp-fb:114 nack\r\na=rtcp-fb:114 nack pli\r\n' +
            'a=fmtp:114 level-asymmetry-allowed=1;packetization-mode=0;profile-level-id=42e01f\r\n' +
            'a=rtpmap:115 rtx/90000\r\na=fmtp:115 apt=114\r\na=rtpmap:116 H264/90000\r\n' +
            'a=rtcp-fb:116 goog-remb\r\na=rtcp-fb:116 transport-cc\r\na=rtcp-fb:116 ccm fir\r\n' +
            'a=rtcp-fb:116 nack\r\na=rtcp-fb:116 nack pli\r\n' +
            'a=fmtp:116 level-asymmetry-allowed=1;packetization-mode=1;profile-level-id=4d001f\r\n' +
            'a=rtpmap:117 rtx/90000\r\na=fmtp:117 apt=116\r\na=rtpmap:39 H264/90000\r\n' +
            'a=rtcp-fb:39 goog-remb\r\na=rtcp-fb:39 transport-cc\r\na=rtcp-fb:39 ccm fir\r\n' +
            'a=rtcp-fb:39 nack\r\na=rtcp-fb:39 nack pli\r\n' +
            'a=fmtp:39 level-asymmetry-allowed=1;packetization-mode=0;profile-level-id=4d001f\r\n' +
            'a=rtpmap:40 rtx/90000\r\na=fmtp:40 apt=39\r\na=rtpmap:41 H264/90000\r\n' +
            'a=rtcp-fb:41 goog-remb\r\na=rtcp-fb:41 transport-cc\r\na=rtcp-fb:41 ccm fir\r\n' +
            'a=rtcp-fb:41 nack\r\na=rtcp-fb:41 nack pli\r\n' +
            'a=fmtp:41 level-asymmetry-allowed=1;packetization-mode=1;profile-level-id=f4001f\r\n' +
            'a=rtpmap:42 rtx/90000\r\na=fmtp:42 apt=41\r\na=rtpmap:43 H264/90000\r\n' +
            'a=rtcp-fb:43 goog-remb\r\na=rtcp-fb:43 transport-cc\r\na=rtcp-fb:43 ccm fir\r\n' +
            'a=rtcp-fb:43 nack\r\na=rtcp-fb:43 nack pli\r\n' +
            'a=fmtp:43 level-asymmetry-allowed=1;packetization-mode=0;profile-level-id=f4001f\r\n' +
            'a=rtpmap:44 rtx/90000\r\na=fmtp:44 apt=43\r\na=rtpmap:45 AV1/90000\r\na=rtcp-fb:45 goog-remb\r\n' +
            'a=rtcp-fb:45 transport-cc\r\na=rtcp-fb:45 ccm fir\r\na=rtcp-fb:45 nack\r\n' +
            'a=rtcp-fb:45 nack pli\r\na=fmtp:45 level-idx=5;profile=0;tier=0\r\na=rtpmap:46 rtx/90000\r\n' +
            'a=fmtp:46 apt=45\r\na=rtpmap:47 AV1/90000\r\na=rtcp-fb:47 goog-remb\r\n' +
            'a=rtcp-fb:47 transport-cc\r\na=rtcp-fb:47 ccm fir\r\na=rtcp-fb:47 nack\r\n' +
            'a=rtcp-fb:47 nack pli\r\na=fmtp:47 level-idx=5;profile=1;tier=0\r\na=rtpmap:48 rtx/90000\r\n' +
            'a=fmtp:48 apt=47\r\na=rtpmap:118 red/90000\r\na=rtpmap:119 rtx/90000\r\na=fmtp:119 apt=118\r\n' +
            'a=rtpmap:120 ulpfec/90000\r\na=rtpmap:49 flexfec-03/90000\r\na=rtcp-fb:49 goog-remb\r\n' +
            'a=rtcp-fb:49 transport-cc\r\na=fmtp:49 repair-window=10000000\r\n'
    };
    function offerSdp(pc, type) {
        var head = ['v=0', 'o=- ' + pc.session + ' 2 IN IP4 127.0.0.1', 's=-', 't=0 0'], body = '', mids = [];
        function media(kind) {
            var mid = String(mids.length);
            mids.push(mid);
            body += MEDIA_SECTIONS[kind].replace('{U}', pc.ufrag).replace('{P}', pc.pwd).replace('{F}', pc.fingerprint)
                .replace('{M}', mid).replace('a=setup:actpass', 'a=setup:' + (type === 'offer' ? 'actpass' : 'active'));
        }
        if (pc.receive.audio) media('audio');
        if (pc.receive.video) media('video');
        if (pc.channels.length) {
            var mid = String(mids.length);
            mids.push(mid);
            body += ['m=application 9 UDP/DTLS/SCTP webrtc-datachannel', 'c=IN IP4 0.0.0.0', 'a=ice-ufrag:' + pc.ufrag, 'a=ice-pwd:' + pc.pwd,
                'a=ice-options:trickle', 'a=fingerprint:sha-256 ' + pc.fingerprint, 'a=setup:' + (type === 'offer' ? 'actpass' : 'active'),
                'a=mid:' + mid, 'a=sctp-port:5000', 'a=max-message-size:262144'].join('\r\n') + '\r\n';
        }
        if (mids.length) head.push('a=group:BUNDLE ' + mids.join(' '));
        head.push('a=extmap-allow-mixed', 'a=msid-semantic: WMS');
        return head.join('\r\n') + '\r\n' + body;
    }
    function description(type, sdp) {
        var d = {type: type, sdp: sdp};
        d.toJSON = function () { return {type: d.type, sdp: d.sdp}; };
        kinds.set(d, 'RTCSessionDescription');
        return d;
    }
    on('RTCSessionDescription', 'constructor', function (init) {
        return description(init && init.type !== undefined ? String(init.type) : '', init && init.sdp !== undefined ? String(init.sdp) : '');
    });
    on('RTCPeerConnection', 'createOffer', function (r, options) {
        // (The legacy options ask for sections to receive audio and video.)
        if (options && typeof options === 'object') {
            if (options.offerToReceiveAudio) this.receive.audio = true;
            if (options.offerToReceiveVideo) this.receive.video = true;
        }
        if (this.signalingState === 'closed')
            return Promise.reject(domException('InvalidStateError', "Failed to execute 'createOffer' on 'RTCPeerConnection': The RTCPeerConnection's signalingState is 'closed'."));
        return promise({type: 'offer', sdp: offerSdp(this, 'offer')});
    });
    on('RTCPeerConnection', 'createAnswer', function () {
        if (!this.remoteDescription || this.remoteDescription.type !== 'offer')
            return Promise.reject(domException('InvalidStateError', "Failed to execute 'createAnswer' on 'RTCPeerConnection': PeerConnection cannot create an answer in a state other than have-remote-offer or have-local-pranswer."));
        return promise({type: 'answer', sdp: offerSdp(this, 'answer')});
    });
    // Gathering: one host candidate per data section, under an mDNS name, then the end.
    function gather(pc) {
        kit.window.setTimeout(function () {
            if (pc.signalingState === 'closed') return;
            rtcState(pc, 'iceGatheringState', 'gathering', 'icegatheringstatechange');
            var name = kit.window.crypto.randomUUID() + '.local', port = 49152 + (randomKeyBytes(2)[0] << 6) % 16000;
            var foundation = String(randomKeyBytes(4).reduce(function (a, b) { return a * 256 + b; }, 0));
            var c = {candidate: 'candidate:' + foundation + ' 1 udp 2113937151 ' + name + ' ' + port + ' typ host generation 0 ufrag ' + pc.ufrag +
                ' network-cost 999', sdpMid: '0', sdpMLineIndex: 0, foundation: foundation, component: 'rtp', priority: 2113937151, address: name,
                protocol: 'udp', port: port, type: 'host', tcpType: null, relatedAddress: null, relatedPort: null, usernameFragment: pc.ufrag,
                relayProtocol: null, url: null};
            c.toJSON = function () { return {candidate: c.candidate, sdpMid: c.sdpMid, sdpMLineIndex: c.sdpMLineIndex, usernameFragment: c.usernameFragment}; };
            kinds.set(c, 'RTCIceCandidate');
            if (pc.channels.length || pc.receive.audio || pc.receive.video)
                pc.dispatchEvent(idbEvent('icecandidate', false, false, 'RTCPeerConnectionIceEvent', {candidate: c}));
            kit.window.setTimeout(function () {
                if (pc.signalingState === 'closed') return;
                rtcState(pc, 'iceGatheringState', 'complete', 'icegatheringstatechange');
                pc.dispatchEvent(idbEvent('icecandidate', false, false, 'RTCPeerConnectionIceEvent', {candidate: null}));
            }, 0);
        }, 0);
    }
    on('RTCPeerConnection', 'setLocalDescription', function (r, desc) {
        var pc = this;
        if (pc.signalingState === 'closed')
            return Promise.reject(domException('InvalidStateError', "Failed to execute 'setLocalDescription' on 'RTCPeerConnection': The RTCPeerConnection's signalingState is 'closed'."));
        var type = desc && desc.type !== undefined ? String(desc.type) : pc.remoteDescription ? 'answer' : 'offer';
        var sdp = desc && desc.sdp ? String(desc.sdp) : offerSdp(pc, type);
        pc.localDescription = pc.pendingLocalDescription = description(type, sdp);
        rtcState(pc, 'signalingState', type === 'offer' ? 'have-local-offer' : 'stable', 'signalingstatechange');
        if (pc.iceGatheringState === 'new') gather(pc);
        return promise(undefined);
    });
    on('RTCPeerConnection', 'setRemoteDescription', function (r, desc) {
        if (!desc || (desc.type !== 'offer' && desc.type !== 'answer' && desc.type !== 'pranswer' && desc.type !== 'rollback'))
            return Promise.reject(new TypeError("Failed to execute 'setRemoteDescription' on 'RTCPeerConnection': Failed to read the 'type' property from 'RTCSessionDescriptionInit': Required member is undefined."));
        this.remoteDescription = this.pendingRemoteDescription = description(String(desc.type), String(desc.sdp || ''));
        rtcState(this, 'signalingState', desc.type === 'offer' ? 'have-remote-offer' : 'stable', 'signalingstatechange');
        return promise(undefined);
    });
    ['localDescription', 'remoteDescription', 'pendingLocalDescription', 'pendingRemoteDescription', 'currentLocalDescription',
        'currentRemoteDescription'].forEach(function (k) {
        on('RTCPeerConnection', 'get ' + k, function () { return wrap(this[k]); });
    });
    on('RTCPeerConnection', 'addIceCandidate', function () { return promise(undefined); });
    on('RTCPeerConnection', 'getSenders', function () { return []; });
    on('RTCPeerConnection', 'getReceivers', function () { return []; });
    on('RTCPeerConnection', 'getTransceivers', function () { return []; });
    on('RTCPeerConnection', 'close', function () {
        this.signalingState = 'closed';
        this.iceConnectionState = this.connectionState = 'closed';
        this.channels.forEach(function (dc) { dc.readyState = 'closed'; });
    });

    // ---- offscreen canvases ------------------------------------------------------------
    // A canvas of its own that is never in the page: the same drawing as a page canvas's.
    on('OffscreenCanvas', 'constructor', function (width, height) {
        var canvas = kit.createElement('canvas', kit.document), o = {canvas: canvas, context: null};
        canvas.width = Number(width) >>> 0;
        canvas.height = Number(height) >>> 0;
        kinds.set(o, 'OffscreenCanvas');
        return o;
    });
    ['width', 'height'].forEach(function (k) {
        on('OffscreenCanvas', 'get ' + k, function () { return this.canvas[k]; });
        on('OffscreenCanvas', 'set ' + k, function (v) { this.canvas[k] = Number(v) >>> 0; });
    });
    on('OffscreenCanvas', 'getContext', function (r, type, options) {
        var kind = String(type);
        if (['2d', 'webgl', 'webgl2', 'bitmaprenderer', 'webgpu'].indexOf(kind) < 0)
            throw new TypeError("Failed to execute 'getContext' on 'OffscreenCanvas': The provided value '" + kind +
                "' is not a valid enum value of type OffscreenRenderingContextType.");
        if (this.context) return this.context.kind === kind ? wrap(this.context.impl) : null;
        var ctx = kit.canvasContext(this.canvas, kind, options);
        if (!ctx) return null;
        if (kind === '2d') {
            kinds.set(ctx, 'OffscreenCanvasRenderingContext2D');
            ctx.__offscreen = this;
        }
        this.context = {kind: kind, impl: ctx};
        return wrap(ctx);
    });
    on('OffscreenCanvasRenderingContext2D', 'get canvas', function () { return wrap(this.__offscreen); });
    on('OffscreenCanvas', 'convertToBlob', function (r, options) {
        var type = options && options.type !== undefined ? String(options.type).toLowerCase() : 'image/png';
        var url = this.canvas.toDataURL(type, options && options.quality), comma = url.indexOf(',');
        var text = kit.window.atob(url.substring(comma + 1)), bytes = new Uint8Array(text.length);
        for (var n = 0; n < text.length; n++) bytes[n] = text.charCodeAt(n);
        return promise(wrap(newBlob(bytes, url.substring(5, url.indexOf(';')))));
    });

    // ---- IndexedDB ---------------------------------------------------------------------
    // The page's databases, kept in memory for as long as the page lives: each request a
    // task of its own, each transaction's requests in order, then its complete (or, after
    // an error no handler took, its abort, undoing what it did).
    var databases = create(null);
    function idbEvent(type, bubbles, cancelable, kind, fields) {
        var e = new kit.types.Event(type, {bubbles: bubbles, cancelable: cancelable});
        e.isTrusted = true;
        for (var k in fields) if (hasOwn.call(fields, k)) e[k] = fields[k];
        kinds.set(e, kind || 'Event');
        return e;
    }
    function idbError(name, message) { return domException(name, message); }
    function stringList(names) {
        var list = names.slice().sort();
        list.item = function (n) { return n >= 0 && n < list.length ? list[n] : null; };
        list.contains = function (v) { return list.indexOf(String(v)) >= 0; };
        kinds.set(list, 'DOMStringList');
        return list;
    }
    // Keys: numbers, dates, strings, binaries and arrays of keys, in that order.
    function keyType(k) {
        if (typeof k === 'number') return k === k ? 1 : 0;
        if (k instanceof Date) return k.getTime() === k.getTime() ? 2 : 0;
        if (typeof k === 'string') return 3;
        if (isArrayBuffer(k) || ArrayBuffer.isView(k)) return 4;
        if (Array.isArray(k)) {
            for (var n = 0; n < k.length; n++) if (!keyType(k[n])) return 0;
            return 5;
        }
        return 0;
    }
    function keyBytes(k) { return isArrayBuffer(k) ? new Uint8Array(k) : new Uint8Array(k.buffer, k.byteOffset, k.byteLength); }
    function compareKeys(a, b) {
        var ta = keyType(a), tb = keyType(b);
        if (ta !== tb) return ta < tb ? -1 : 1;
        if (ta === 2) { a = a.getTime(); b = b.getTime(); }
        if (ta === 4) {
            var x = keyBytes(a), y = keyBytes(b);
            for (var i = 0; i < x.length && i < y.length; i++) if (x[i] !== y[i]) return x[i] < y[i] ? -1 : 1;
            return x.length === y.length ? 0 : x.length < y.length ? -1 : 1;
        }
        if (ta === 5) {
            for (var n = 0; n < a.length && n < b.length; n++) {
                var c = compareKeys(a[n], b[n]);
                if (c) return c;
            }
            return a.length === b.length ? 0 : a.length < b.length ? -1 : 1;
        }
        return a === b ? 0 : a < b ? -1 : 1;
    }
    function validKey(k, what) {
        if (!keyType(k)) throw idbError('DataError', 'Failed to execute ' + what + ': The parameter is not a valid key.');
        return k instanceof Date ? new Date(k.getTime()) : k;
    }
    on('IDBFactory', 'cmp', function (r, a, b) { return compareKeys(validKey(a, "'cmp' on 'IDBFactory'"), validKey(b, "'cmp' on 'IDBFactory'")); });
    // Key ranges.
    function keyRange(lower, upper, lowerOpen, upperOpen) {
        var range = {lower: lower, upper: upper, lowerOpen: !!lowerOpen, upperOpen: !!upperOpen};
        kinds.set(range, 'IDBKeyRange');
        return range;
    }
    function inRange(range, k) {
        if (range.lower !== undefined) {
            var lo = compareKeys(k, range.lower);
            if (lo < 0 || (lo === 0 && range.lowerOpen)) return false;
        }
        if (range.upper !== undefined) {
            var hi = compareKeys(k, range.upper);
            if (hi > 0 || (hi === 0 && range.upperOpen)) return false;
        }
        return true;
    }
    on('IDBKeyRange', 'static only', function (r, v) { var k = validKey(v, "'only' on 'IDBKeyRange'"); return wrap(keyRange(k, k, false, false)); });
    on('IDBKeyRange', 'static lowerBound', function (r, v, open) { return wrap(keyRange(validKey(v, "'lowerBound' on 'IDBKeyRange'"), undefined, open, true)); });
    on('IDBKeyRange', 'static upperBound', function (r, v, open) { return wrap(keyRange(undefined, validKey(v, "'upperBound' on 'IDBKeyRange'"), true, open)); });
    on('IDBKeyRange', 'static bound', function (r, a, b, lo, hi) {
        var x = validKey(a, "'bound' on 'IDBKeyRange'"), y = validKey(b, "'bound' on 'IDBKeyRange'"), c = compareKeys(x, y);
        if (c > 0 || (c === 0 && (lo || hi))) throw idbError('DataError', "Failed to execute 'bound' on 'IDBKeyRange': The lower key is greater than the upper key.");
        return wrap(keyRange(x, y, lo, hi));
    });
    on('IDBKeyRange', 'includes', function (r, k) { return inRange(this, validKey(k, "'includes' on 'IDBKeyRange'")); });
    // A query (a key or a range) as a range; undefined matches everything.
    function rangeOf(query, what) {
        if (query === undefined || query === null) return keyRange(undefined, undefined, true, true);
        var r = records.get(query);
        if (r && r.iface.name === 'IDBKeyRange') return r.impl;
        var k = validKey(query, what);
        return keyRange(k, k, false, false);
    }
    function clonedValue(v) {
        if (!pageClone) pageClone = global.structuredClone;
        return pageClone(v);
    }
    // A request of `tx` on `source`, its work done when its turn comes.
    function idbRequest(tx, source, work) {
        var q = create(kit.types.EventTarget.prototype);
        q.readyState = 'pending';
        q.onsuccess = q.onerror = null;
        q.source = source;
        q.transaction = tx;
        q.__result = undefined;
        q.__error = null;
        q.__eventParent = tx;
        kinds.set(q, 'IDBRequest');
        if (tx) {
            tx.queue.push({request: q, work: work});
            scheduleTransaction(tx);
        }
        return q;
    }
    on('IDBRequest', 'get result', function () {
        if (this.readyState !== 'done') throw idbError('InvalidStateError', "Failed to read the 'result' property from 'IDBRequest': The request has not finished.");
        return wrap(this.__result);
    });
    on('IDBRequest', 'get error', function () {
        if (this.readyState !== 'done') throw idbError('InvalidStateError', "Failed to read the 'error' property from 'IDBRequest': The request has not finished.");
        return wrap(this.__error);
    });
    on('IDBRequest', 'get source', function () { return wrap(this.source); });
    on('IDBRequest', 'get transaction', function () { return wrap(this.transaction); });
    function storeSnapshot(db) {
        var copy = create(null);
        for (var name in db.stores) {
            var s = db.stores[name];
            copy[name] = {name: s.name, keyPath: s.keyPath, autoIncrement: s.autoIncrement, next: s.next, records: s.records.slice()};
        }
        return copy;
    }
    function newTransaction(connection, names, mode) {
        var tx = create(kit.types.EventTarget.prototype);
        tx.db = connection;
        tx.names = names;
        tx.mode = mode;
        tx.durability = 'default';
        tx.error = null;
        tx.onabort = tx.oncomplete = tx.onerror = null;
        tx.queue = [];
        tx.state = 'active';
        tx.scheduled = false;
        tx.snapshot = storeSnapshot(connection.data);
        tx.__eventParent = connection;
        tx.stores = create(null);
        kinds.set(tx, 'IDBTransaction');
        scheduleTransaction(tx);
        return tx;
    }
    function scheduleTransaction(tx) {
        if (tx.scheduled || tx.state === 'finished') return;
        tx.scheduled = true;
        kit.window.setTimeout(function () { runTransaction(tx); }, 0);
    }
    function abortTransaction(tx, error) {
        if (tx.state === 'finished') return;
        tx.state = 'finished';
        tx.error = error;
        tx.db.data.stores = tx.snapshot;
        tx.queue.forEach(function (item) {
            item.request.readyState = 'done';
            item.request.__error = idbError('AbortError', 'The transaction was aborted, so the request cannot be fulfilled.');
            item.request.dispatchEvent(idbEvent('error', true, true));
        });
        tx.queue = [];
        tx.dispatchEvent(idbEvent('abort', true, false));
        if (tx.finished) tx.finished(false);
    }
    function runTransaction(tx) {
        tx.scheduled = false;
        while (tx.queue.length && tx.state !== 'finished') {
            var item = tx.queue.shift(), q = item.request, failed = null;
            try {
                q.__result = item.work();
            } catch (e) {
                failed = e;
            }
            q.readyState = 'done';
            if (failed) {
                q.__error = failed;
                q.__result = undefined;
                var ev = idbEvent('error', true, true);
                q.dispatchEvent(ev);
                if (!ev.defaultPrevented) abortTransaction(tx, failed);
            } else {
                q.dispatchEvent(idbEvent('success', false, false));
            }
        }
        if (tx.state === 'finished') return;
        tx.state = 'finished';
        tx.dispatchEvent(idbEvent('complete', false, false));
        if (tx.finished) tx.finished(true);
    }
    function txStore(tx, name) {
        var data = tx.db.data.stores[name];
        if (!data) throw idbError('NotFoundError', "Failed to execute 'objectStore' on 'IDBTransaction': The specified object store was not found.");
        if (!tx.stores[name]) {
            var s = {tx: tx, name: name};
            kinds.set(s, 'IDBObjectStore');
            tx.stores[name] = s;
        }
        return tx.stores[name];
    }
    on('IDBTransaction', 'get objectStoreNames', function () { return wrap(stringList(this.names)); });
    on('IDBTransaction', 'get db', function () { return wrap(this.db); });
    on('IDBTransaction', 'get error', function () { return wrap(this.error); });
    on('IDBTransaction', 'objectStore', function (r, name) {
        if (this.state === 'finished') throw idbError('InvalidStateError', "Failed to execute 'objectStore' on 'IDBTransaction': The transaction has finished.");
        name = String(name);
        if (this.names.indexOf(name) < 0) throw idbError('NotFoundError', "Failed to execute 'objectStore' on 'IDBTransaction': The specified object store was not found.");
        return wrap(txStore(this, name));
    });
    on('IDBTransaction', 'abort', function () {
        if (this.state === 'finished') throw idbError('InvalidStateError', "Failed to execute 'abort' on 'IDBTransaction': The transaction has finished.");
        var tx = this;
        tx.state = 'aborting';
        kit.window.setTimeout(function () { abortTransaction(tx, null); }, 0);
    });
    on('IDBTransaction', 'commit', function () {});
    // An object store's work.
    function storeData(s) { return s.tx.db.data.stores[s.name]; }
    function keyOf(value, keyPath) {
        var v = value;
        String(keyPath).split('.').forEach(function (part) { v = v !== null && v !== undefined ? v[part] : undefined; });
        return v;
    }
    function storeWrite(s, value, key, adding, what) {
        var tx = s.tx;
        if (tx.state === 'finished') throw idbError('TransactionInactiveError', 'Failed to execute ' + what + ': The transaction has finished.');
        if (tx.mode === 'readonly') throw idbError('ReadOnlyError', 'Failed to execute ' + what + ': The transaction is read-only.');
        var d = storeData(s), k;
        if (d.keyPath !== null) {
            if (key !== undefined) throw idbError('DataError', 'Failed to execute ' + what + ': The object store uses in-line keys and the key parameter was provided.');
            k = keyOf(value, d.keyPath);
            if (k === undefined && !d.autoIncrement) throw idbError('DataError', 'Failed to execute ' + what + ': Evaluating the object store\'s key path did not yield a value.');
        } else {
            k = key;
            if (k === undefined && !d.autoIncrement) throw idbError('DataError', 'Failed to execute ' + what + ': The object store uses out-of-line keys and has no key generator and the key parameter was not provided.');
        }
        if (k !== undefined) validKey(k, what);
        var stored = clonedValue(value);
        return idbRequest(tx, s, function () {
            var data = storeData(s), useKey = k;
            if (useKey === undefined) {
                useKey = data.next++;
                if (data.keyPath !== null) stored[data.keyPath] = useKey;
            } else if (typeof useKey === 'number' && data.autoIncrement && useKey >= data.next) {
                data.next = Math.floor(useKey) + 1;
            }
            var at = findKey(data.records, useKey);
            if (at.found) {
                if (adding) throw idbError('ConstraintError', 'Key already exists in the object store.');
                data.records[at.index] = [useKey, stored];
            } else {
                data.records.splice(at.index, 0, [useKey, stored]);
            }
            return useKey;
        });
    }
    function findKey(list, k) {
        var lo = 0, hi = list.length;
        while (lo < hi) {
            var mid = (lo + hi) >> 1, c = compareKeys(list[mid][0], k);
            if (c === 0) return {found: true, index: mid};
            if (c < 0) lo = mid + 1;
            else hi = mid;
        }
        return {found: false, index: lo};
    }
    function storeRead(s, what, query, fn) {
        if (s.tx.state === 'finished') throw idbError('TransactionInactiveError', 'Failed to execute ' + what + ': The transaction has finished.');
        var range = rangeOf(query, what);
        return wrap(idbRequest(s.tx, s, function () {
            var matching = storeData(s).records.filter(function (rec) { return inRange(range, rec[0]); });
            return fn(matching);
        }));
    }
    function countOf(count) { return count === undefined || count === 0 ? Infinity : Number(count); }
    on('IDBObjectStore', 'get name', function () { return this.name; });
    on('IDBObjectStore', 'get keyPath', function () { return storeData(this).keyPath; });
    on('IDBObjectStore', 'get autoIncrement', function () { return storeData(this).autoIncrement; });
    on('IDBObjectStore', 'get indexNames', function () { return wrap(stringList([])); });
    on('IDBObjectStore', 'get transaction', function () { return wrap(this.tx); });
    on('IDBObjectStore', 'put', function (r, value, key) { return wrap(storeWrite(this, value, key, false, "'put' on 'IDBObjectStore'")); });
    on('IDBObjectStore', 'add', function (r, value, key) { return wrap(storeWrite(this, value, key, true, "'add' on 'IDBObjectStore'")); });
    on('IDBObjectStore', 'get', function (r, query) {
        return storeRead(this, "'get' on 'IDBObjectStore'", query, function (m) { return m.length ? clonedValue(m[0][1]) : undefined; });
    });
    on('IDBObjectStore', 'getKey', function (r, query) {
        return storeRead(this, "'getKey' on 'IDBObjectStore'", query, function (m) { return m.length ? m[0][0] : undefined; });
    });
    on('IDBObjectStore', 'getAll', function (r, query, count) {
        var n = countOf(count);
        return storeRead(this, "'getAll' on 'IDBObjectStore'", query, function (m) { return m.slice(0, n).map(function (rec) { return clonedValue(rec[1]); }); });
    });
    on('IDBObjectStore', 'getAllKeys', function (r, query, count) {
        var n = countOf(count);
        return storeRead(this, "'getAllKeys' on 'IDBObjectStore'", query, function (m) { return m.slice(0, n).map(function (rec) { return rec[0]; }); });
    });
    on('IDBObjectStore', 'count', function (r, query) {
        return storeRead(this, "'count' on 'IDBObjectStore'", query, function (m) { return m.length; });
    });
    on('IDBObjectStore', 'delete', function (r, query) {
        var s = this, what = "'delete' on 'IDBObjectStore'";
        if (s.tx.mode === 'readonly') throw idbError('ReadOnlyError', 'Failed to execute ' + what + ': The transaction is read-only.');
        var range = rangeOf(query, what);
        return wrap(idbRequest(s.tx, s, function () {
            var d = storeData(s);
            d.records = d.records.filter(function (rec) { return !inRange(range, rec[0]); });
            return undefined;
        }));
    });
    on('IDBObjectStore', 'clear', function () {
        var s = this;
        if (s.tx.mode === 'readonly') throw idbError('ReadOnlyError', "Failed to execute 'clear' on 'IDBObjectStore': The transaction is read-only.");
        return wrap(idbRequest(s.tx, s, function () {
            storeData(s).records = [];
            return undefined;
        }));
    });
    // Connections.
    on('IDBDatabase', 'get objectStoreNames', function () { return wrap(stringList(Object.keys(this.data.stores))); });
    on('IDBDatabase', 'get version', function () { return this.data.version; });
    on('IDBDatabase', 'createObjectStore', function (r, name, options) {
        var tx = this.upgrade;
        if (!tx || tx.state === 'finished')
            throw idbError('InvalidStateError', "Failed to execute 'createObjectStore' on 'IDBDatabase': The database is not running a version change transaction.");
        name = String(name);
        if (this.data.stores[name]) throw idbError('ConstraintError', "Failed to execute 'createObjectStore' on 'IDBDatabase': An object store with the specified name already exists.");
        var keyPath = options && options.keyPath !== undefined && options.keyPath !== null ? options.keyPath : null;
        var auto = !!(options && options.autoIncrement);
        this.data.stores[name] = {name: name, keyPath: keyPath, autoIncrement: auto, next: 1, records: []};
        tx.names.push(name);
        return wrap(txStore(tx, name));
    });
    on('IDBDatabase', 'deleteObjectStore', function (r, name) {
        if (!this.upgrade || this.upgrade.state === 'finished')
            throw idbError('InvalidStateError', "Failed to execute 'deleteObjectStore' on 'IDBDatabase': The database is not running a version change transaction.");
        name = String(name);
        if (!this.data.stores[name]) throw idbError('NotFoundError', "Failed to execute 'deleteObjectStore' on 'IDBDatabase': The specified object store was not found.");
        delete this.data.stores[name];
    });
    on('IDBDatabase', 'transaction', function (r, names, mode) {
        var what = "Failed to execute 'transaction' on 'IDBDatabase': ";
        if (this.closed) throw idbError('InvalidStateError', what + 'The database connection is closing.');
        var list = typeof names === 'string' ? [names] : Array.from(names, String);
        if (!list.length) throw idbError('InvalidAccessError', what + 'The storeNames parameter was empty.');
        for (var n = 0; n < list.length; n++)
            if (!this.data.stores[list[n]]) throw idbError('NotFoundError', what + 'One of the specified object stores was not found.');
        mode = mode === undefined ? 'readonly' : String(mode);
        if (mode !== 'readonly' && mode !== 'readwrite')
            throw new TypeError(what + "The provided value '" + mode + "' is not a valid enum value of type IDBTransactionMode.");
        list = list.filter(function (v, i) { return list.indexOf(v) === i; }).sort();
        return wrap(newTransaction(this, list, mode));
    });
    on('IDBDatabase', 'close', function () { this.closed = true; });
    function connectionTo(data) {
        var c = create(kit.types.EventTarget.prototype);
        c.data = data;
        c.name = data.name;
        c.closed = false;
        c.upgrade = null;
        c.onabort = c.onclose = c.onerror = c.onversionchange = null;
        kinds.set(c, 'IDBDatabase');
        return c;
    }
    function openRequest() {
        var q = idbRequest(null, null, null);
        q.onblocked = q.onupgradeneeded = null;
        kinds.set(q, 'IDBOpenDBRequest');
        return q;
    }
    on('IDBFactory', 'open', function (r, name, version) {
        name = String(name);
        if (version !== undefined) {
            version = Number(version);
            if (version === 0) throw new TypeError("Failed to execute 'open' on 'IDBFactory': The version provided must not be 0.");
            if (!(version >= 1) || version > 9007199254740991)
                throw new TypeError("Failed to execute 'open' on 'IDBFactory': Value is outside the 'unsigned long long' value range.");
            version = Math.floor(version);
        }
        var q = openRequest();
        kit.window.setTimeout(function () {
            var data = databases[name] || (databases[name] = {name: name, version: 0, stores: create(null)});
            var old = data.version, wanted = version === undefined ? Math.max(old, 1) : version;
            q.readyState = 'done';
            if (wanted < old) {
                q.__error = idbError('VersionError', 'The requested version (' + wanted + ') is less than the existing version (' + old + ').');
                q.dispatchEvent(idbEvent('error', true, true));
                return;
            }
            var c = connectionTo(data);
            q.__result = c;
            if (wanted === old) {
                q.dispatchEvent(idbEvent('success', false, false));
                return;
            }
            data.version = wanted;
            var tx = newTransaction(c, Object.keys(data.stores), 'versionchange');
            c.upgrade = tx;
            q.transaction = tx;
            tx.finished = function (completed) {
                c.upgrade = null;
                q.transaction = null;
                if (completed) {
                    q.dispatchEvent(idbEvent('success', false, false));
                } else {
                    data.version = old;
                    q.__result = undefined;
                    q.__error = idbError('AbortError', 'Version change transaction was aborted in upgradeneeded event handler.');
                    q.dispatchEvent(idbEvent('error', true, true));
                }
            };
            q.dispatchEvent(idbEvent('upgradeneeded', false, false, 'IDBVersionChangeEvent', {oldVersion: old, newVersion: wanted}));
        }, 0);
        return wrap(q);
    });
    on('IDBFactory', 'deleteDatabase', function (r, name) {
        name = String(name);
        var q = openRequest();
        kit.window.setTimeout(function () {
            var old = databases[name] ? databases[name].version : 0;
            delete databases[name];
            q.readyState = 'done';
            q.dispatchEvent(idbEvent('success', false, false, 'IDBVersionChangeEvent', {oldVersion: old, newVersion: null}));
        }, 0);
        return wrap(q);
    });
    on('IDBFactory', 'databases', function () {
        return promise(Object.keys(databases).map(function (n) { return {name: n, version: databases[n].version}; }));
    });

    // ---- sockets, event streams, broadcast channels -------------------------------------
    // No request leaves the workbench: a socket or an event stream fails as one without
    // network does (recorded in the log as a request not sent).
    var WEBSOCKET_SCHEMES = {'ws:': 'ws:', 'wss:': 'wss:', 'http:': 'ws:', 'https:': 'wss:'};
    on('WebSocket', 'constructor', function (url, protocols) {
        var what = "Failed to construct 'WebSocket': ", address = kit.addresses.resolve(String(url), kit.location.href);
        var parts = kit.addresses.parse(address), scheme = String(parts.protocol || '').toLowerCase();
        if (!/^[a-z][a-z0-9+.\-]*:/i.test(address)) throw domException('SyntaxError', what + "The URL '" + url + "' is invalid.");
        if (!hasOwn.call(WEBSOCKET_SCHEMES, scheme))
            throw domException('SyntaxError', what + "The URL's scheme must be either 'http', 'https', 'ws', or 'wss'. '" + scheme.slice(0, -1) + "' is not allowed.");
        if (parts.hash) throw domException('SyntaxError', what + "The URL contains a fragment identifier ('" + parts.hash.substring(1) + "'). Fragment identifiers are not allowed in WebSocket URLs.");
        var list = protocols === undefined ? [] : typeof protocols === 'string' ? [protocols] : Array.from(protocols, String);
        for (var n = 0; n < list.length; n++) {
            if (!TOKEN.test(list[n])) throw domException('SyntaxError', what + "The subprotocol '" + list[n] + "' is invalid.");
            if (list.indexOf(list[n]) !== n) throw domException('SyntaxError', what + "The subprotocol '" + list[n] + "' is duplicated.");
        }
        address = WEBSOCKET_SCHEMES[scheme] + address.substring(scheme.length);
        var w = create(kit.types.EventTarget.prototype);
        w.url = address;
        w.readyState = 0;
        w.protocol = w.extensions = '';
        w.binaryType = 'blob';
        w.bufferedAmount = 0;
        w.onopen = w.onerror = w.onclose = w.onmessage = null;
        kinds.set(w, 'WebSocket');
        kit.recordRequest('GET', address, undefined, 'WebSocket');
        kit.window.setTimeout(function () {
            w.readyState = 3;
            w.dispatchEvent(idbEvent('error', false, false));
            w.dispatchEvent(idbEvent('close', false, false, 'CloseEvent', {code: 1006, wasClean: false, reason: ''}));
        }, 0);
        return w;
    });
    on('WebSocket', 'send', function (r, data) {
        if (this.readyState === 0) throw domException('InvalidStateError', "Failed to execute 'send' on 'WebSocket': Still in CONNECTING state.");
        var b = bodyOf(data);
        if (b) this.bufferedAmount += b.bytes.length;
    });
    on('WebSocket', 'close', function (r, code, reason) {
        var what = "Failed to execute 'close' on 'WebSocket': ";
        if (code !== undefined) {
            code = Number(code) & 0xffff;
            if (code !== 1000 && (code < 3000 || code > 4999))
                throw domException('InvalidAccessError', what + 'The close code must be either 1000, or between 3000 and 4999. ' + code + ' is neither.');
        }
        if (reason !== undefined && utf8Of(String(reason)).length > 123)
            throw domException('SyntaxError', what + 'The close reason must not be greater than 123 UTF-8 bytes.');
        if (this.readyState < 2) this.readyState = 2;
    });
    on('WebSocket', 'set binaryType', function (v) {
        v = String(v);
        if (v === 'blob' || v === 'arraybuffer') this.binaryType = v;
    });
    on('EventSource', 'constructor', function (url, init) {
        var address = kit.addresses.resolve(String(url), kit.location.href);
        var s = create(kit.types.EventTarget.prototype);
        s.url = address;
        s.withCredentials = !!(init && init.withCredentials);
        s.readyState = 0;
        s.onopen = s.onmessage = s.onerror = null;
        kinds.set(s, 'EventSource');
        kit.recordRequest('GET', address, undefined, 'EventSource');
        kit.window.setTimeout(function () {
            if (s.readyState !== 2) s.dispatchEvent(idbEvent('error', false, false));
        }, 0);
        return s;
    });
    on('EventSource', 'close', function () { this.readyState = 2; });
    // Broadcast channels of this page: what one posts reaches the others of its name.
    var channels = [];
    on('BroadcastChannel', 'constructor', function (name) {
        var c = create(kit.types.EventTarget.prototype);
        c.name = String(name);
        c.closed = false;
        c.onmessage = c.onmessageerror = null;
        kinds.set(c, 'BroadcastChannel');
        channels.push(c);
        return c;
    });
    on('BroadcastChannel', 'postMessage', function (r, message) {
        if (this.closed) throw domException('InvalidStateError', "Failed to execute 'postMessage' on 'BroadcastChannel': Channel is closed");
        var from = this, data = clonedValue(message);
        channels.forEach(function (c) {
            if (c === from || c.closed || c.name !== from.name) return;
            kit.window.setTimeout(function () {
                if (c.closed) return;
                var e = messageEvent(clonedValue(data));
                e.origin = kit.location.origin;
                c.dispatchEvent(e);
            }, 0);
        });
    });
    on('BroadcastChannel', 'close', function () {
        this.closed = true;
        var at = channels.indexOf(this);
        if (at >= 0) channels.splice(at, 1);
    });

    // ---- the navigator's other objects ----------------------------------------------------
    // What a page without the user's leave gets from them: permission refused, no devices,
    // no activation, nothing pending.
    function oneObject(holder, key, kind, fill) {
        if (!holder[key]) {
            var o = fill(create(kit.types.EventTarget.prototype));
            kinds.set(o, kind);
            holder[key] = o;
        }
        return wrap(holder[key]);
    }
    var navigatorObjects = {};
    on('Navigator', 'get clipboard', function () { return oneObject(navigatorObjects, 'clipboard', 'Clipboard', function (o) { return o; }); });
    ['read', 'readText', 'write', 'writeText'].forEach(function (k) {
        on('Clipboard', k, function () {
            return Promise.reject(domException('NotAllowedError', "Failed to execute '" + k + "' on 'Clipboard': " +
                (k.indexOf('read') === 0 ? 'Read' : 'Write') + ' permission denied.'));
        });
    });
    on('Navigator', 'get credentials', function () { return oneObject(navigatorObjects, 'credentials', 'CredentialsContainer', function (o) { return o; }); });
    on('CredentialsContainer', 'get', function () { return Promise.reject(domException('NotSupportedError', 'No credential type was specified in the request.')); });
    on('CredentialsContainer', 'create', function () { return Promise.reject(domException('NotSupportedError', 'No credential type was specified in the request.')); });
    on('CredentialsContainer', 'store', function () { return promise(undefined); });
    on('CredentialsContainer', 'preventSilentAccess', function () { return promise(undefined); });
    // Web Locks: a request holds its lock while its callback's promise is pending.
    on('Navigator', 'get locks', function () {
        return oneObject(navigatorObjects, 'locks', 'LockManager', function (o) { o.held = []; return o; });
    });
    on('LockManager', 'request', function (r, name, options, callback) {
        if (typeof options === 'function') {
            callback = options;
            options = {};
        }
        if (typeof callback !== 'function')
            return Promise.reject(new TypeError("Failed to execute 'request' on 'LockManager': parameter 2 is not of type 'Function'."));
        var manager = this, mode = options && options.mode === 'shared' ? 'shared' : 'exclusive';
        var lock = {name: String(name), mode: mode};
        kinds.set(lock, 'Lock');
        manager.held.push(lock);
        return promise(undefined).then(function () { return callback(wrap(lock)); }).then(function (v) {
            manager.held.splice(manager.held.indexOf(lock), 1);
            return v;
        }, function (e) {
            manager.held.splice(manager.held.indexOf(lock), 1);
            throw e;
        });
    });
    on('LockManager', 'query', function () {
        return promise({held: this.held.map(function (l) { return {name: l.name, mode: l.mode, clientId: ''}; }), pending: []});
    });
    [['hid', 'HID', 'getDevices', 'requestDevice'], ['serial', 'Serial', 'getPorts', 'requestPort'],
        ['usb', 'USB', 'getDevices', 'requestDevice']].forEach(function (d) {
        on('Navigator', 'get ' + d[0], function () {
            return oneObject(navigatorObjects, d[0], d[1], function (o) { o.onconnect = o.ondisconnect = null; return o; });
        });
        on(d[1], d[2], function () { return promise([]); });
        on(d[1], d[3], function () {
            return Promise.reject(domException('NotFoundError', "Failed to execute '" + d[3] + "' on '" + d[1] + "': No device selected."));
        });
    });
    on('Navigator', 'get scheduling', function () { return oneObject(navigatorObjects, 'scheduling', 'Scheduling', function (o) { return o; }); });
    on('Scheduling', 'isInputPending', function () { return false; });
    on('Navigator', 'get userActivation', function () {
        return oneObject(navigatorObjects, 'userActivation', 'UserActivation', function (o) { o.isActive = o.hasBeenActive = false; return o; });
    });
    on('Navigator', 'getGamepads', function () { return [null, null, null, null, null, null, null, null]; });
    // (Without the user's activation a page may not vibrate.)
    on('Navigator', 'vibrate', function () { return false; });
    on('Navigator', 'requestMIDIAccess', function () {
        return Promise.reject(domException('NotAllowedError', 'Permission to use Web MIDI API was not granted.'));
    });
    // The keyboard's layout as the measuring stick (Chromium, a US layout) reads it.
    var LAYOUT = ('IntlYen=\u00a5 KeyK=k KeyG=g Digit2=2 Digit0=0 KeyV=v KeyA=a Backquote=` KeyL=l IntlBackslash=< Quote=\' KeyW=w Digit8=8 ' +
        'KeyM=m KeyH=h Period=. Digit7=7 Digit1=1 KeyP=p KeyD=d KeyF=f KeyO=o KeyQ=q KeyC=c KeyN=n BracketLeft=[ KeyZ=z KeyY=y ' +
        'Digit3=3 Digit6=6 Digit5=5 KeyX=x Slash=/ Backslash=\\ Comma=, Minus=- Digit4=4 KeyB=b KeyT=t Digit9=9 KeyS=s KeyI=i ' +
        'KeyU=u Equal== KeyJ=j Semicolon=; KeyR=r BracketRight=] KeyE=e').split(' ');
    on('Navigator', 'get keyboard', function () { return oneObject(navigatorObjects, 'keyboard', 'Keyboard', function (o) { return o; }); });
    on('Keyboard', 'getLayoutMap', function () {
        var map = new Map();
        LAYOUT.forEach(function (e) {
            var at = e.indexOf('=');
            map.set(e.substring(0, at), e.substring(at + 1));
        });
        var layout = {map: map};
        kinds.set(layout, 'KeyboardLayoutMap');
        return promise(wrap(layout));
    });
    on('Keyboard', 'lock', function () {
        return Promise.reject(domException('InvalidStateError', "Failed to execute 'lock' on 'Keyboard': Must be in fullscreen mode."));
    });
    on('Keyboard', 'unlock', function () {});
    on('Navigator', 'get mediaSession', function () {
        return oneObject(navigatorObjects, 'mediaSession', 'MediaSession', function (o) {
            o.metadata = null;
            o.playbackState = 'none';
            return o;
        });
    });
    on('MediaSession', 'setActionHandler', function () {});
    on('MediaSession', 'setPositionState', function () {});
    on('MediaSession', 'get playbackState', function () { return this.playbackState || 'none'; });
    on('MediaSession', 'set playbackState', function (v) {
        v = String(v);
        if (v === 'none' || v === 'paused' || v === 'playing') this.playbackState = v;
    });

    // ---- the battery, service workers, caches -------------------------------------------
    var battery = null, batteryPromise = null;
    on('Navigator', 'getBattery', function () {
        if (!batteryPromise) {
            battery = create(kit.types.EventTarget.prototype);
            battery.charging = true;
            battery.chargingTime = 0;
            battery.dischargingTime = Infinity;
            battery.level = 1;
            battery.onchargingchange = battery.onchargingtimechange = battery.ondischargingtimechange = battery.onlevelchange = null;
            kinds.set(battery, 'BatteryManager');
            batteryPromise = promise(wrap(battery));
        }
        return batteryPromise;
    });
    var serviceWorkers = null;
    on('Navigator', 'get serviceWorker', function () {
        if (!serviceWorkers) {
            serviceWorkers = create(kit.types.EventTarget.prototype);
            serviceWorkers.controller = null;
            serviceWorkers.ready = new Promise(function () {});
            serviceWorkers.oncontrollerchange = serviceWorkers.onmessage = serviceWorkers.onmessageerror = null;
            kinds.set(serviceWorkers, 'ServiceWorkerContainer');
        }
        return wrap(serviceWorkers);
    });
    on('ServiceWorkerContainer', 'get ready', function () { return this.ready; });
    on('ServiceWorkerContainer', 'getRegistrations', function () { return promise([]); });
    on('ServiceWorkerContainer', 'getRegistration', function () { return promise(undefined); });
    on('ServiceWorkerContainer', 'register', function (r, url) {
        var address = kit.addresses.resolve(String(url), kit.location.href);
        kit.recordRequest('GET', address, undefined, 'ServiceWorker');
        return Promise.reject(new TypeError('Failed to register a ServiceWorker for scope (\'' + address.replace(/[^\/]*$/, '') +
            "') with script ('" + address + "'): An unknown error occurred when fetching the script."));
    });
    on('ServiceWorkerContainer', 'startMessages', function () {});
    var cacheStorage = {names: []};
    kinds.set(cacheStorage, 'CacheStorage');
    on('Window', 'get caches', function () { return wrap(cacheStorage); });
    on('CacheStorage', 'keys', function () { return promise(this.names.slice()); });
    on('CacheStorage', 'has', function (r, name) { return promise(this.names.indexOf(String(name)) >= 0); });
    on('CacheStorage', 'match', function () { return promise(undefined); });
    on('CacheStorage', 'delete', function (r, name) {
        var at = this.names.indexOf(String(name));
        if (at >= 0) this.names.splice(at, 1);
        return promise(at >= 0);
    });
    on('CacheStorage', 'open', function (r, name) {
        if (this.names.indexOf(String(name)) < 0) this.names.push(String(name));
        var cache = {};
        kinds.set(cache, 'Cache');
        return promise(wrap(cache));
    });

    // ---- headers and responses ---------------------------------------------------------
    // A page's own responses (and what a blob: or data: address reads as): headers kept in
    // the order they came, listed sorted and joined as Chrome lists them.
    var TOKEN = /^[!#$%&'*+\-.^_`|~0-9A-Za-z]+$/;
    function headerValue(v, what) {
        var text = String(v).replace(/^[\t\n\r ]+|[\t\n\r ]+$/g, '');
        if (/[\0\n\r]/.test(text)) throw new TypeError('Failed to ' + what + ': Invalid value');
        return text;
    }
    function headerName(v, what) {
        var name = String(v);
        if (!TOKEN.test(name)) throw new TypeError('Failed to ' + what + ': Invalid name');
        return name.toLowerCase();
    }
    function newHeaders() {
        var h = {entries: []};
        define(h, 'list', {get: function () {
            var names = [], n, out = [];
            for (n = 0; n < h.entries.length; n++) if (names.indexOf(h.entries[n].name) < 0) names.push(h.entries[n].name);
            names.sort();
            names.forEach(function (name) {
                var values = h.entries.filter(function (e) { return e.name === name; }).map(function (e) { return e.value; });
                if (name === 'set-cookie') values.forEach(function (v) { out.push({name: name, value: v}); });
                else out.push({name: name, value: values.join(', ')});
            });
            return out;
        }});
        kinds.set(h, 'Headers');
        return h;
    }
    function fillHeaders(h, init, what) {
        if (init === undefined) return h;
        if (init === null || (typeof init !== 'object' && typeof init !== 'function'))
            throw new TypeError('Failed to ' + what + ": The provided value is not of type '(record<ByteString, ByteString> or sequence<sequence<ByteString>>)'.");
        var r = records.get(init);
        if (r && r.iface.name === 'Headers') {
            r.impl.entries.forEach(function (e) { h.entries.push({name: e.name, value: e.value}); });
        } else if (typeof init[Symbol.iterator] === 'function') {
            for (var pair of init) {
                var items = Array.from(pair);
                if (items.length !== 2) throw new TypeError('Failed to ' + what + ': Invalid value');
                h.entries.push({name: headerName(items[0], what), value: headerValue(items[1], what)});
            }
        } else {
            Object.keys(init).forEach(function (k) { h.entries.push({name: headerName(k, what), value: headerValue(init[k], what)}); });
        }
        return h;
    }
    function headerGet(h, name) {
        var values = h.entries.filter(function (e) { return e.name === name; }).map(function (e) { return e.value; });
        return values.length ? values.join(', ') : null;
    }
    on('Headers', 'constructor', function (init) { return fillHeaders(newHeaders(), init, "construct 'Headers'"); });
    on('Headers', 'append', function (r, name, value) {
        this.entries.push({name: headerName(name, "execute 'append' on 'Headers'"), value: headerValue(value, "execute 'append' on 'Headers'")});
    });
    on('Headers', 'set', function (r, name, value) {
        var key = headerName(name, "execute 'set' on 'Headers'"), text = headerValue(value, "execute 'set' on 'Headers'"), at = -1;
        this.entries = this.entries.filter(function (e, n) {
            if (e.name !== key) return true;
            if (at < 0) {
                at = n;
                e.value = text;
                return true;
            }
            return false;
        });
        if (at < 0) this.entries.push({name: key, value: text});
    });
    on('Headers', 'delete', function (r, name) {
        var key = headerName(name, "execute 'delete' on 'Headers'");
        this.entries = this.entries.filter(function (e) { return e.name !== key; });
    });
    on('Headers', 'get', function (r, name) { return headerGet(this, headerName(name, "execute 'get' on 'Headers'")); });
    on('Headers', 'has', function (r, name) { return headerGet(this, headerName(name, "execute 'has' on 'Headers'")) !== null; });
    on('Headers', 'getSetCookie', function () {
        return this.entries.filter(function (e) { return e.name === 'set-cookie'; }).map(function (e) { return e.value; });
    });

    // What a body given to a response is: its bytes and the type it brings.
    function bodyOf(body) {
        if (body === undefined || body === null) return null;
        var b = blobOf(body), r = records.get(body);
        if (b) return {bytes: b.bytes, type: b.type || null};
        if (isArrayBuffer(body)) return {bytes: new Uint8Array(body.slice(0)), type: null};
        if (ArrayBuffer.isView(body)) return {bytes: new Uint8Array(body.buffer.slice(body.byteOffset, body.byteOffset + body.byteLength)), type: null};
        if (r && r.iface.name === 'URLSearchParams') return {bytes: utf8Of(queryText(r.impl.list)), type: 'application/x-www-form-urlencoded;charset=UTF-8'};
        return {bytes: utf8Of(String(body)), type: 'text/plain;charset=UTF-8'};
    }
    function newResponse(bytes, status, statusText, headers, type, url) {
        var res = {bytes: bytes, status: status, statusText: statusText, headers: headers, type: type, url: url, redirected: false,
            bodyUsed: false, body: null};
        kinds.set(res, 'Response');
        return res;
    }
    var NULL_BODY = [101, 103, 204, 205, 304];
    function responseInit(init, what) {
        var o = {status: 200, statusText: '', headers: newHeaders()};
        if (init === undefined || init === null) return o;
        if (init.status !== undefined) {
            o.status = Number(init.status) | 0;
            if (o.status < 200 || o.status > 599) throw new RangeError('Failed to ' + what + ': The status provided (' + o.status + ') is outside the range [200, 599].');
        }
        if (init.statusText !== undefined) o.statusText = String(init.statusText);
        fillHeaders(o.headers, init.headers, what);
        return o;
    }
    function madeResponse(body, init, what, forcedType) {
        var o = responseInit(init, what), b = bodyOf(body);
        if (b && NULL_BODY.indexOf(o.status) >= 0) throw new TypeError('Failed to ' + what + ': Response with null body status cannot have body');
        var type = forcedType || (b && b.type);
        if (type && headerGet(o.headers, 'content-type') === null) o.headers.entries.push({name: 'content-type', value: type});
        return newResponse(b ? b.bytes : null, o.status, o.statusText, o.headers, 'default', '');
    }
    on('Response', 'constructor', function (body, init) { return madeResponse(body, init, "construct 'Response'"); });
    on('Response', 'get ok', function () { return this.status >= 200 && this.status <= 299; });
    on('Response', 'get headers', function () { return wrap(this.headers); });
    on('Response', 'get body', function () {
        if (this.bytes === null) return null;
        if (!this.body) {
            this.body = {};
            kinds.set(this.body, 'ReadableStream');
        }
        return wrap(this.body);
    });
    on('Response', 'static error', function () { return wrap(newResponse(null, 0, '', newHeaders(), 'error', '')); });
    on('Response', 'static json', function (r, data, init) {
        var text = JSON.stringify(data);
        if (text === undefined) throw new TypeError("Failed to execute 'json' on 'Response': The data is not JSON serializable");
        return wrap(madeResponse(text, init, "execute 'json' on 'Response'", 'application/json'));
    });
    on('Response', 'static redirect', function (r, url, status) {
        var code = status === undefined ? 302 : Number(status) | 0;
        if ([301, 302, 303, 307, 308].indexOf(code) < 0) throw new RangeError("Failed to execute 'redirect' on 'Response': Invalid status code");
        var h = newHeaders();
        h.entries.push({name: 'location', value: kit.addresses.resolve(String(url), kit.location.href)});
        return wrap(newResponse(null, code, '', h, 'default', ''));
    });
    // A body read once: its bytes, or a rejection in the method's name.
    function readBody(res, what) {
        if (res.bodyUsed) return Promise.reject(new TypeError("Failed to execute '" + what + "' on 'Response': body stream already read"));
        if (res.bytes !== null) res.bodyUsed = true;
        return promise(res.bytes || new Uint8Array(0));
    }
    on('Response', 'text', function () { return readBody(this, 'text').then(textOfUtf8); });
    on('Response', 'arrayBuffer', function () { return readBody(this, 'arrayBuffer').then(function (b) { return b.slice().buffer; }); });
    on('Response', 'blob', function () {
        var type = headerGet(this.headers, 'content-type');
        return readBody(this, 'blob').then(function (b) { return wrap(newBlob(b.slice(), type === null ? '' : blobType(type))); });
    });
    on('Response', 'json', function () {
        return readBody(this, 'json').then(function (b) {
            try {
                return global.JSON.parse(textOfUtf8(b));
            } catch (e) {
                if (e instanceof SyntaxError) throw new SyntaxError("Failed to execute 'json' on 'Response': " + e.message);
                throw e;
            }
        });
    });
    on('Response', 'clone', function () {
        if (this.bodyUsed) throw new TypeError("Failed to execute 'clone' on 'Response': Response body is already used");
        var h = newHeaders();
        h.entries = this.headers.entries.map(function (e) { return {name: e.name, value: e.value}; });
        var c = newResponse(this.bytes, this.status, this.statusText, h, this.type, this.url);
        c.redirected = this.redirected;
        return wrap(c);
    });

    // What a blob: or data: address holds, as a response would carry it: {bytes, type}; null
    // for any other address; false for a blob: address that names no blob (now).
    function localResource(address) {
        if (/^blob:/i.test(address)) {
            var b = blobAt(address);
            return b ? {bytes: b.bytes, type: b.type} : false;
        }
        var m = /^data:([^,]*),([\s\S]*)$/i.exec(address);
        if (!m) return /^data:/i.test(address) ? false : null;
        var meta = m[1].replace(/^[\t\n\f\r ]+|[\t\n\f\r ]+$/g, ''), body = m[2], base64 = /;\s*base64$/i.test(meta);
        if (base64) meta = meta.replace(/;\s*base64$/i, '');
        if (base64) {
            try {
                body = kit.window.atob(body.replace(/[\t\n\f\r ]/g, ''));
            } catch (e) {
                return false;
            }
        } else {
            body = body.replace(/%([0-9a-fA-F]{2})/g, function (all, hex) { return String.fromCharCode(parseInt(hex, 16)); });
        }
        var bytes = new Uint8Array(body.length);
        for (var n = 0; n < body.length; n++) bytes[n] = body.charCodeAt(n) & 255;
        if (meta === '' || meta.charAt(0) === ';') meta = 'text/plain' + (meta === '' ? ';charset=US-ASCII' : meta);
        return {bytes: bytes, type: meta};
    }
    // fetch() of a blob: or data: address answers from what it holds; any other goes on to
    // the page's fetch (recorded in the log, never sent).
    function localFetch(impl, input, init) {
        var r = records.get(input), address = r && r.iface.name === 'Request' && typeof r.impl.url === 'string' ? r.impl.url : String(input);
        address = kit.addresses.resolve(address, kit.location.href);
        var local = localResource(address);
        if (local === null) return impl.fetch(unwrap(input), unwrap(init));
        if (local === false) return Promise.reject(new TypeError('Failed to fetch'));
        var h = newHeaders();
        h.entries.push({name: 'content-length', value: String(local.bytes.length)});
        if (local.type) h.entries.push({name: 'content-type', value: local.type});
        return promise(wrap(newResponse(local.bytes, 200, 'OK', h, 'basic', address)));
    }
    on('Window', 'fetch', function (r, input, init) { return localFetch(this, input, init); });
    on('WorkerGlobalScope', 'fetch', function (r, input, init) { return localFetch(kit.window, input, init); });
    // What a request of the page (XMLHttpRequest, an image) reads at a blob: or data: address.
    function pageResource(address) {
        var local = localResource(address);
        return local ? {bytes: local.bytes, type: local.type, blob: function (type) { return newBlob(local.bytes.slice(), type); }} : local;
    }

    // ---- dedicated workers -------------------------------------------------------------
    // A worker runs its script (a blob's or a data: address's; the workbench sends no
    // request for any other) in a realm of its own, as a frame's, under a worker's global:
    // the page's values on its navigator, the profile's clock, timers on the page's clock,
    // and messages cloned both ways, each a task of its own. Its code runs in the page's
    // turn of the engine, as the page's timers do.
    // The worker's own interfaces and those it shares with the page (the page's objects:
    // nothing the page holds reaches a worker but clones).
    var WORKER_NAMES = ('WorkerGlobalScope DedicatedWorkerGlobalScope WorkerNavigator WorkerLocation EventTarget Event ' +
        'MessageEvent ErrorEvent ProgressEvent CustomEvent PromiseRejectionEvent Blob File FileReader FormData URL ' +
        'URLSearchParams Headers Request Response TextEncoder TextDecoder TextEncoderStream TextDecoderStream ReadableStream ' +
        'WritableStream TransformStream AbortController AbortSignal DOMException XMLHttpRequest XMLHttpRequestEventTarget ' +
        'XMLHttpRequestUpload Crypto SubtleCrypto CryptoKey Performance PerformanceEntry PerformanceMark PerformanceMeasure ' +
        'ImageData ImageBitmap OffscreenCanvas OffscreenCanvasRenderingContext2D CanvasGradient CanvasPattern Path2D ' +
        'TextMetrics MessageChannel MessagePort BroadcastChannel WebSocket EventSource IDBFactory IDBDatabase IDBRequest ' +
        'IDBOpenDBRequest IDBKeyRange IDBObjectStore IDBTransaction IDBIndex IDBCursor Cache CacheStorage ' +
        'NetworkInformation Permissions PermissionStatus StorageManager NavigatorUAData Notification WebGLRenderingContext ' +
        'WebGL2RenderingContext Worker DOMMatrix DOMMatrixReadOnly DOMPoint DOMPointReadOnly DOMRect DOMRectReadOnly DOMQuad ' +
        'FontFace Lock LockManager MediaCapabilities CompressionStream DecompressionStream').split(' ');
    var pageClone = null;
    // A worker's script: the text its address holds, or null where it holds none here.
    function workerSource(address) {
        var b = blobAt(address);
        if (b) return textOfUtf8(b.bytes);
        var m = /^data:([^,]*),([\s\S]*)$/i.exec(address);
        if (!m) return null;
        var body = m[2];
        if (/;\s*base64\s*$/i.test(m[1])) {
            try {
                body = kit.window.atob(body.replace(/[\t\n\f\r ]/g, ''));
            } catch (e) {
                return null;
            }
        } else {
            body = body.replace(/%([0-9a-fA-F]{2})/g, function (all, hex) { return String.fromCharCode(parseInt(hex, 16)); });
        }
        var bytes = new Uint8Array(body.length);
        for (var n = 0; n < body.length; n++) bytes[n] = body.charCodeAt(n) & 255;
        return textOfUtf8(bytes);
    }
    function messageEvent(data) {
        var e = new kit.types.Event('message');
        e.data = data;
        e.origin = e.lastEventId = '';
        e.source = null;
        e.ports = [];
        e.isTrusted = true;
        kinds.set(e, 'MessageEvent');
        return e;
    }
    // Where in the worker's script an error was thrown (its stack's first frame there).
    function errorPlace(e, address) {
        var stack = '';
        try {
            stack = e && typeof e.stack === 'string' ? e.stack : '';
        } catch (x) {
            stack = '';
        }
        var at = stack.indexOf(address + ':');
        var m = at >= 0 ? /^:(\d+):(\d+)/.exec(stack.substring(at + address.length)) : null;
        return m ? {line: Number(m[1]), column: Number(m[2])} : {line: 1, column: 0};
    }
    function errorText(e) {
        try {
            return e instanceof Object || (e && typeof e === 'object') ? String(e.name) + ': ' + String(e.message) : String(e);
        } catch (x) {
            return 'Error';
        }
    }
    // An error the worker's code did not catch: an ErrorEvent at the worker's global, then
    // (unless a handler there took it) one at the Worker object in the page.
    function workerError(scope, e) {
        var place = errorPlace(e, scope.address), message = 'Uncaught ' + errorText(e);
        function event() {
            var ev = new kit.types.Event('error', {cancelable: true});
            ev.message = message;
            ev.filename = scope.address;
            ev.lineno = place.line;
            ev.colno = place.column;
            ev.error = null;
            ev.isTrusted = true;
            kinds.set(ev, 'ErrorEvent');
            return ev;
        }
        var inner = event();
        inner.error = e;
        var was = current.running;
        current.running = scope.global;
        var handled;
        try {
            handled = !scope.impl.dispatchEvent(inner);
        } catch (x) {
            handled = false;
        } finally {
            current.running = was;
        }
        if (handled) return;
        kit.window.setTimeout(function () {
            if (scope.worker.terminated) return;
            if (scope.worker.dispatchEvent(event())) line('Worker 中未捕获的错误：' + message);
        }, 0);
    }
    // Runs `fn` as the worker's code: what it throws is the worker's error.
    function inWorker(scope, fn) {
        if (scope.closed || scope.worker.terminated) return undefined;
        var was = current.running;
        current.running = scope.global;
        try {
            return fn();
        } catch (e) {
            workerError(scope, e);
            return undefined;
        } finally {
            current.running = was;
        }
    }
    // What a worker's code throws and nothing catches is the worker's error; false when no
    // worker's code runs.
    function uncaughtInWorker(e) {
        if (current.running === null) return false;
        var r = records.get(current.running);
        if (!r || !r.impl.scope) return false;
        workerError(r.impl.scope, e);
        return true;
    }
    function line(text) { if (typeof host.line === 'function') host.line(text); }
    // The worker's global: its realm's global, made the worker's.
    // (`shared`: a shared worker's global, which hears of each page that connects.)
    function workerScope(worker, realm, address, name, shared) {
        var impl = create(kit.types.EventTarget.prototype), kind = shared ? 'SharedWorkerGlobalScope' : 'DedicatedWorkerGlobalScope';
        var scope = {worker: worker, global: realm, impl: impl, address: address, closed: false, timers: []};
        impl.scope = scope;
        ['message', 'messageerror', 'error', 'languagechange', 'offline', 'online', 'rejectionhandled', 'unhandledrejection',
            'rtctransform', 'connect'].forEach(function (k) { impl['on' + k] = null; });
        var nav = create(kit.navigator);
        kinds.set(nav, 'WorkerNavigator');
        var where = kit.addresses.parse(address), loc = {};
        ['href', 'origin', 'protocol', 'host', 'hostname', 'port', 'pathname', 'search', 'hash'].forEach(function (k) {
            loc[k] = typeof where[k] === 'string' ? where[k] : '';
        });
        loc.href = address;
        if (/^(blob|data):/i.test(address)) {
            loc.protocol = address.substring(0, address.indexOf(':') + 1).toLowerCase();
            loc.pathname = address.substring(loc.protocol.length);
            loc.host = loc.hostname = loc.port = loc.search = loc.hash = '';
            loc.origin = kit.location.origin;
        }
        kinds.set(loc, 'WorkerLocation');
        impl.self = impl;
        impl.navigator = nav;
        impl.location = loc;
        impl.name = name;
        impl.origin = kit.location.origin;
        impl.isSecureContext = kit.window.isSecureContext !== false;
        impl.crossOriginIsolated = false;
        impl.crypto = kit.window.crypto;
        impl.performance = kit.window.performance;
        impl.indexedDB = indexedDB;
        impl.atob = kit.window.atob;
        impl.btoa = kit.window.btoa;
        var realmClone = realm.structuredClone;
        impl.structuredClone = function (v) { return realmClone(v); };
        impl.queueMicrotask = function (fn) { Promise.resolve().then(function () { inWorker(scope, function () { fn(); }); }); };
        impl.reportError = function (e) { workerError(scope, e); };
        function timer(repeat) {
            return function (fn, delay) {
                var args = arraySlice.call(arguments, 2), id;
                var run = function () {
                    if (!repeat) scope.timers.splice(scope.timers.indexOf(id), 1);
                    inWorker(scope, function () {
                        if (typeof fn === 'function') fn.apply(undefined, args);
                        else host.runScript(String(fn), address, 1, 0, realm);
                    });
                };
                id = repeat ? kit.window.setInterval(run, delay) : kit.window.setTimeout(run, delay);
                scope.timers.push(id);
                return id;
            };
        }
        function clear(id) {
            var at = scope.timers.indexOf(id);
            if (at < 0) return;
            scope.timers.splice(at, 1);
            kit.window.clearTimeout(id);
            kit.window.clearInterval(id);
        }
        impl.setTimeout = timer(false);
        impl.setInterval = timer(true);
        impl.clearTimeout = impl.clearInterval = clear;
        impl.requestAnimationFrame = function (fn) { return impl.setTimeout(function () { fn(kit.window.performance.now()); }, 16); };
        impl.cancelAnimationFrame = clear;
        impl.importScripts = function () {
            for (var n = 0; n < arguments.length; n++) {
                var url = String(arguments[n]), at = kit.addresses.resolve(url, address), code = workerSource(at);
                if (code === null)
                    throw domException('NetworkError', "Failed to execute 'importScripts' on 'WorkerGlobalScope': The script at '" + at + "' failed to load.");
                host.runScript(code, at, 1, 0, realm);
            }
        };
        impl.close = function () { stopWorker(scope); };
        impl.postMessage = function (message) {
            if (!pageClone) pageClone = global.structuredClone;
            var data = pageClone(message);
            kit.window.setTimeout(function () {
                if (worker.terminated) return;
                worker.dispatchEvent(messageEvent(data));
            }, 0);
        };
        kinds.set(impl, kind);
        // The global itself: the worker's interfaces in its chain, its members its own.
        var spec = interfaceOf(kind);
        setProto(realm, spec.proto);
        adopt(realm, spec, impl);
        ['WorkerGlobalScope', kind].forEach(function (iface) {
            globalMembersOf(interfaceOf(iface).facts).forEach(function (m) {
                if (m.name !== 'structuredClone' || !hasOwn.call(realm, m.name)) defineMember(realm, iface, m, true);
            });
        });
        defineValue(realm, 'console', namespaceOf(kit.window.console, 'console'), false, true, true);
        // (Each worker's global names its own kind of global, not the other's.)
        WORKER_NAMES.concat(kind).forEach(function (n) {
            if (hasOwn.call(realm, n) || !isInterface(n) || (/GlobalScope$/.test(n) && n !== kind && n !== 'WorkerGlobalScope')) return;
            var s = interfaceOf(n);
            if (s && s.ctor) defineValue(realm, n, s.ctor, false, true, true);
        });
        clockPersona(realm);
        return scope;
    }
    function stopWorker(scope) {
        scope.closed = true;
        scope.timers.forEach(function (id) {
            kit.window.clearTimeout(id);
            kit.window.clearInterval(id);
        });
        scope.timers = [];
    }
    on('Worker', 'constructor', function (url, options) {
        var address = kit.addresses.resolve(String(url), kit.location.href);
        var worker = create(kit.types.EventTarget.prototype);
        worker.onmessage = worker.onerror = worker.onmessageerror = null;
        worker.terminated = false;
        worker.scope = null;
        kinds.set(worker, 'Worker');
        var name = options && typeof options === 'object' && options.name !== undefined ? String(options.name) : '';
        var realm = typeof host.frameRealm === 'function' ? host.frameRealm() : null, source = workerSource(address);
        if (realm && source !== null) worker.scope = workerScope(worker, realm, address, name);
        kit.window.setTimeout(function () {
            if (worker.terminated) return;
            var scope = worker.scope;
            if (!scope) {
                // (an address the workbench does not load: the worker fails as one whose script did not come)
                var ev = new kit.types.Event('error');
                ev.isTrusted = true;
                worker.dispatchEvent(ev);
                return;
            }
            inWorker(scope, function () { host.runScript(source, address, 1, 0, realm); });
        }, 0);
        return worker;
    });
    on('Worker', 'postMessage', function (r, message) {
        var worker = this, scope = worker.scope;
        if (worker.terminated || !scope) return;
        var data = scope.impl.structuredClone(message);
        kit.window.setTimeout(function () {
            inWorker(scope, function () { scope.impl.dispatchEvent(messageEvent(data)); });
        }, 0);
    });
    on('Worker', 'terminate', function () {
        this.terminated = true;
        if (this.scope) stopWorker(this.scope);
    });

    // Shared workers: one per script and name for the page, each `new SharedWorker` a
    // connection to it through a pair of ports (what one posts reaches the other cloned,
    // as a task of its own; the worker's side runs as the worker's code).
    var sharedWorkers = create(null);
    function messagePort(scope) {
        var port = create(kit.types.EventTarget.prototype);
        port.onmessage = port.onmessageerror = null;
        port.other = null;
        kinds.set(port, 'MessagePort');
        port.deliver = function (message) {
            var data = scope ? scope.impl.structuredClone(message) : clonedValue(message);
            kit.window.setTimeout(function () {
                if (scope) inWorker(scope, function () { port.dispatchEvent(messageEvent(data)); });
                else port.dispatchEvent(messageEvent(data));
            }, 0);
        };
        return port;
    }
    on('SharedWorker', 'constructor', function (url, options) {
        var address = kit.addresses.resolve(String(url), kit.location.href);
        var name = typeof options === 'string' ? options : options && typeof options === 'object' && options.name !== undefined ? String(options.name) : '';
        var worker = create(kit.types.EventTarget.prototype);
        worker.onerror = null;
        worker.terminated = false;
        kinds.set(worker, 'SharedWorker');
        var key = address + '\n' + name, shared = sharedWorkers[key];
        if (!shared) {
            var realm = typeof host.frameRealm === 'function' ? host.frameRealm() : null, source = workerSource(address);
            shared = sharedWorkers[key] = {scope: null, started: false, source: source, realm: realm, waiting: []};
            if (realm && source !== null) shared.scope = workerScope(worker, realm, address, name, true);
        }
        var scope = shared.scope, mine = messagePort(null), theirs = messagePort(scope);
        mine.other = theirs;
        theirs.other = mine;
        worker.port = mine;
        kit.window.setTimeout(function () {
            if (!scope) {
                var ev = new kit.types.Event('error');
                ev.isTrusted = true;
                worker.dispatchEvent(ev);
                return;
            }
            if (!shared.started) {
                shared.started = true;
                inWorker(scope, function () { host.runScript(shared.source, address, 1, 0, shared.realm); });
            }
            var connect = messageEvent('');
            connect.type = 'connect';
            connect.ports = [wrap(theirs)];
            connect.source = wrap(theirs);
            inWorker(scope, function () { scope.impl.dispatchEvent(connect); });
        }, 0);
        return worker;
    });
    on('SharedWorker', 'get port', function () { return wrap(this.port); });

    return {uncaught: uncaughtInWorker, resource: pageResource};
})

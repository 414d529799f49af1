// Probes of the page's Web Crypto: digests, HMAC, AES, key derivation, keys and their
// import and export, and the errors a script meets, with fixed keys and data so that
// the bytes themselves are compared.
(function () {
    function hex(buffer) {
        return Array.prototype.map.call(new Uint8Array(buffer), function (b) { return (b < 16 ? '0' : '') + b.toString(16); }).join('');
    }
    function bytes(text) { return new TextEncoder().encode(text); }
    function later(group, name, make, show) {
        probeLater(group, name, function (done) {
            var p;
            try {
                p = make();
            } catch (e) {
                done('throws ' + e.name + ': ' + e.message);
                return;
            }
            p.then(function (v) { done(show ? show(v) : v); }, function (e) { done('rejects ' + e.name + ': ' + e.message); });
        });
    }
    var subtle = crypto.subtle;
    function keyFacts(k) {
        return [Object.prototype.toString.call(k), k.type, k.extractable, JSON.stringify(k.algorithm), k.usages.join(), k.algorithm === k.algorithm,
            k.usages === k.usages];
    }
    var KEY16 = new Uint8Array([0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15]);
    var KEY32 = new Uint8Array(32).map(function (v, i) { return i * 7 & 255; });
    var IV16 = new Uint8Array(16).map(function (v, i) { return 255 - i; });
    var IV12 = new Uint8Array(12).map(function (v, i) { return i * 3; });

    ['SHA-1', 'SHA-256', 'SHA-384', 'SHA-512', 'sha-256'].forEach(function (name) {
        later('digests', name, function () { return subtle.digest(name, bytes('abc')); }, hex);
    });
    later('digests', 'as an object', function () { return subtle.digest({name: 'SHA-256'}, new Uint8Array(0)); }, hex);
    later('digests', 'of an ArrayBuffer and a view', function () {
        var b = new Uint8Array([1, 2, 3, 4, 5]);
        return Promise.all([subtle.digest('SHA-1', b.buffer), subtle.digest('SHA-1', new DataView(b.buffer, 1, 3))]);
    }, function (v) { return v.map(hex); });
    later('digests', 'a long input', function () { return subtle.digest('SHA-256', new Uint8Array(100000).fill(97)); }, hex);
    later('digests', 'unknown algorithm', function () { return subtle.digest('MD5', bytes('abc')); });
    later('digests', 'no data', function () { return subtle.digest('SHA-256'); });
    later('digests', 'a string as data', function () { return subtle.digest('SHA-256', 'abc'); });
    later('digests', 'missing name', function () { return subtle.digest({}, bytes('abc')); });

    later('hmac', 'import, sign and verify', function () {
        return subtle.importKey('raw', bytes('key'), {name: 'HMAC', hash: 'SHA-256'}, true, ['sign', 'verify']).then(function (k) {
            return subtle.sign('HMAC', k, bytes('The quick brown fox jumps over the lazy dog')).then(function (sig) {
                return Promise.all([subtle.verify('HMAC', k, sig, bytes('The quick brown fox jumps over the lazy dog')),
                    subtle.verify({name: 'HMAC'}, k, new Uint8Array(32), bytes('x'))]).then(function (ok) {
                    return keyFacts(k).concat([hex(sig)], ok);
                });
            });
        });
    });
    later('hmac', 'sha-1 and sha-512', function () {
        return Promise.all(['SHA-1', 'SHA-512'].map(function (hash) {
            return subtle.importKey('raw', KEY16, {name: 'HMAC', hash: {name: hash}}, false, ['sign']).then(function (k) {
                return subtle.sign('HMAC', k, bytes('data')).then(function (sig) { return JSON.stringify(k.algorithm) + ' ' + hex(sig); });
            });
        }));
    });
    later('hmac', 'generated', function () {
        return subtle.generateKey({name: 'HMAC', hash: 'SHA-256'}, true, ['sign']).then(function (k) {
            return subtle.exportKey('raw', k).then(function (raw) { return keyFacts(k).concat([raw.byteLength]); });
        });
    });
    later('hmac', 'jwk export', function () {
        return subtle.importKey('raw', bytes('key'), {name: 'HMAC', hash: 'SHA-256'}, true, ['sign']).then(function (k) {
            return subtle.exportKey('jwk', k).then(function (j) { return JSON.stringify(j); });
        });
    });
    later('hmac', 'jwk import', function () {
        return subtle.importKey('jwk', {kty: 'oct', k: 'a2V5', alg: 'HS256', ext: true}, {name: 'HMAC', hash: 'SHA-256'}, false, ['sign']).then(function (k) {
            return subtle.sign('HMAC', k, bytes('x')).then(function (sig) { return keyFacts(k).concat(hex(sig)); });
        });
    });
    later('hmac', 'wrong usage', function () {
        return subtle.importKey('raw', bytes('key'), {name: 'HMAC', hash: 'SHA-256'}, false, ['verify']).then(function (k) {
            return subtle.sign('HMAC', k, bytes('x'));
        });
    });
    later('hmac', 'not extractable', function () {
        return subtle.importKey('raw', bytes('key'), {name: 'HMAC', hash: 'SHA-256'}, false, ['sign']).then(function (k) {
            return subtle.exportKey('raw', k);
        });
    });
    later('hmac', 'no hash', function () { return subtle.importKey('raw', bytes('key'), {name: 'HMAC'}, false, ['sign']); });
    later('hmac', 'bad usage name', function () { return subtle.importKey('raw', bytes('key'), {name: 'HMAC', hash: 'SHA-256'}, false, ['encrypt']); });
    later('hmac', 'empty usages', function () { return subtle.importKey('raw', bytes('key'), {name: 'HMAC', hash: 'SHA-256'}, false, []); });
    later('hmac', 'empty key', function () { return subtle.importKey('raw', new Uint8Array(0), {name: 'HMAC', hash: 'SHA-256'}, false, ['sign']); });

    function aes(name, mode, keyBytes, params, data) {
        later('aes', name, function () {
            return subtle.importKey('raw', keyBytes, mode, true, ['encrypt', 'decrypt']).then(function (k) {
                return subtle.encrypt(params, k, data).then(function (c) {
                    return subtle.decrypt(params, k, c).then(function (p) { return keyFacts(k).concat([hex(c), new TextDecoder().decode(p)]); });
                });
            });
        });
    }
    aes('cbc 128', 'AES-CBC', KEY16, {name: 'AES-CBC', iv: IV16}, bytes('sixteen bytes!!!and more'));
    aes('cbc 256', {name: 'AES-CBC'}, KEY32, {name: 'AES-CBC', iv: IV16}, bytes(''));
    aes('gcm 256', 'AES-GCM', KEY32, {name: 'AES-GCM', iv: IV12}, bytes('hello gcm'));
    aes('gcm with data and a short tag', 'AES-GCM', KEY16, {name: 'AES-GCM', iv: IV12, additionalData: bytes('aad'), tagLength: 96}, bytes('hello'));
    aes('gcm with a long iv', 'AES-GCM', KEY16, {name: 'AES-GCM', iv: new Uint8Array(20)}, bytes('x'));
    aes('ctr 128', 'AES-CTR', KEY16, {name: 'AES-CTR', counter: IV16, length: 64}, bytes('counter mode text'));
    var WRAPS = new Uint8Array(16).map(function (v, i) { return i < 14 ? i : 255; });
    aes('ctr counter wraps in its low bits', 'AES-CTR', KEY16, {name: 'AES-CTR', counter: WRAPS, length: 8}, bytes('forty-eight bytes of text, three blocks: 1234567'));
    aes('ctr counter carries', 'AES-CTR', KEY16, {name: 'AES-CTR', counter: WRAPS, length: 16}, bytes('forty-eight bytes of text, three blocks: 1234567'));
    later('aes', 'gcm tampered', function () {
        return subtle.importKey('raw', KEY16, 'AES-GCM', false, ['encrypt', 'decrypt']).then(function (k) {
            return subtle.encrypt({name: 'AES-GCM', iv: IV12}, k, bytes('x')).then(function (c) {
                var t = new Uint8Array(c);
                t[0] ^= 1;
                return subtle.decrypt({name: 'AES-GCM', iv: IV12}, k, t);
            });
        });
    });
    later('aes', 'cbc bad padding', function () {
        return subtle.importKey('raw', KEY16, 'AES-CBC', false, ['decrypt']).then(function (k) {
            return subtle.decrypt({name: 'AES-CBC', iv: IV16}, k, new Uint8Array(16));
        });
    });
    later('aes', 'cbc short iv', function () {
        return subtle.importKey('raw', KEY16, 'AES-CBC', false, ['encrypt']).then(function (k) {
            return subtle.encrypt({name: 'AES-CBC', iv: new Uint8Array(8)}, k, bytes('x'));
        });
    });
    later('aes', 'bad key length', function () { return subtle.importKey('raw', new Uint8Array(10), 'AES-GCM', false, ['encrypt']); });
    later('aes', 'generated', function () {
        return subtle.generateKey({name: 'AES-GCM', length: 256}, true, ['encrypt', 'decrypt']).then(function (k) {
            return subtle.exportKey('jwk', k).then(function (j) { return keyFacts(k).concat([j.kty, j.alg, j.k.length, j.ext, j.key_ops.join()]); });
        });
    });
    later('aes', 'generated without length', function () { return subtle.generateKey({name: 'AES-CBC'}, true, ['encrypt']); });
    later('aes', 'jwk import', function () {
        return subtle.importKey('jwk', {kty: 'oct', k: 'AAECAwQFBgcICQoLDA0ODw', alg: 'A128CBC'}, 'AES-CBC', true, ['encrypt']).then(function (k) {
            return subtle.exportKey('raw', k).then(function (raw) { return keyFacts(k).concat(hex(raw)); });
        });
    });
    later('aes', 'wrong algorithm for the key', function () {
        return subtle.importKey('raw', KEY16, 'AES-CBC', false, ['encrypt']).then(function (k) {
            return subtle.encrypt({name: 'AES-GCM', iv: IV12}, k, bytes('x'));
        });
    });

    later('derivation', 'pbkdf2 bits', function () {
        return subtle.importKey('raw', bytes('password'), 'PBKDF2', false, ['deriveBits', 'deriveKey']).then(function (k) {
            return subtle.deriveBits({name: 'PBKDF2', salt: bytes('salt'), iterations: 1000, hash: 'SHA-256'}, k, 256).then(function (b) {
                return keyFacts(k).concat(hex(b));
            });
        });
    });
    later('derivation', 'pbkdf2 key', function () {
        return subtle.importKey('raw', bytes('password'), {name: 'PBKDF2'}, false, ['deriveKey']).then(function (k) {
            return subtle.deriveKey({name: 'PBKDF2', salt: bytes('salt'), iterations: 10, hash: 'SHA-1'}, k, {name: 'AES-GCM', length: 128},
                true, ['encrypt']).then(function (d) {
                return subtle.exportKey('raw', d).then(function (raw) { return keyFacts(d).concat(hex(raw)); });
            });
        });
    });
    later('derivation', 'hkdf bits', function () {
        return subtle.importKey('raw', KEY16, 'HKDF', false, ['deriveBits']).then(function (k) {
            return subtle.deriveBits({name: 'HKDF', hash: 'SHA-256', salt: bytes('salt'), info: bytes('info')}, k, 128).then(hex);
        });
    });
    later('derivation', 'pbkdf2 extractable', function () { return subtle.importKey('raw', bytes('p'), 'PBKDF2', true, ['deriveBits']); });
    later('derivation', 'pbkdf2 zero iterations', function () {
        return subtle.importKey('raw', bytes('p'), 'PBKDF2', false, ['deriveBits']).then(function (k) {
            return subtle.deriveBits({name: 'PBKDF2', salt: bytes('s'), iterations: 0, hash: 'SHA-256'}, k, 128);
        });
    });
    probe('shape', 'subtle', function () {
        return [Object.prototype.toString.call(subtle), subtle === crypto.subtle, typeof SubtleCrypto, subtle instanceof SubtleCrypto,
            typeof CryptoKey, subtle.digest.length, subtle.importKey.length, subtle.encrypt.length];
    });
    later('shape', 'a wrong receiver', function () { return SubtleCrypto.prototype.digest.call({}, 'SHA-256', bytes('x')); });
    later('shape', 'not a key', function () { return subtle.sign('HMAC', {}, bytes('x')); });
    later('shape', 'unsupported import format', function () { return subtle.importKey('pem', bytes('x'), 'AES-CBC', false, ['encrypt']); });
})();

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

(function () {
    // Public-key algorithms, with fixed keys (what is deterministic is compared byte for
    // byte: PKCS#1 v1.5 signatures, decryptions, verifications; the rest by shape).
    function der(b64) { var t = atob(b64), b = new Uint8Array(t.length); for (var i = 0; i < t.length; i++) b[i] = t.charCodeAt(i); return b; }
    function hex(buffer) {
        return Array.prototype.map.call(new Uint8Array(buffer), function (b) { return (b < 16 ? '0' : '') + b.toString(16); }).join('');
    }
    function bytes(text) { return new TextEncoder().encode(text); }
    function facts(k) { return [Object.prototype.toString.call(k), k.type, k.extractable, JSON.stringify(k.algorithm), k.usages.join()]; }
    var subtle = crypto.subtle;
    var RSA_SPKI = der('MIGfMA0GCSqGSIb3DQEBAQUAA4GNADCBiQKBgQDSUQtwODQedRyvm5vwlhj8sIJB7ELDjSJBp7iCyq/ikbNBHD9g4zH/iJAo5qT8Ec+iTYTdtD165zjrj0VbXjVAO75OdGQa0R63La835+AmGdB3jsIxS7S3ulCkZxV2A/tQNacp8cfRekKpyauofOZheJ+IhjgB1jpx1MmVj74PdQIDAQAB'), RSA_PKCS8 = der('MIICeQIBADANBgkqhkiG9w0BAQEFAASCAmMwggJfAgEAAoGBANJRC3A4NB51HK+bm/CWGPywgkHsQsONIkGnuILKr+KRs0EcP2DjMf+IkCjmpPwRz6JNhN20PXrnOOuPRVteNUA7vk50ZBrRHrctrzfn4CYZ0HeOwjFLtLe6UKRnFXYD+1A1pynxx9F6QqnJq6h85mF4n4iGOAHWOnHUyZWPvg91AgMBAAECgYEA0QrlB6GVjEBzRsiwcq1+IIuArO2cXqpFRmTirH2x3M1dEnZ1OGQaKhce0siNbE53xqauTX79LM/ub5R0J6C341a+z4ie03GLwMgLERW9SD6C8v9DyEu5vY3aJGRf6oMZObXALVZivo3vOAfBK9PWNQJucV3Jjv5BaccXLvA0yIECQQDy3OSqo4C4wxUUfJbQk3AyHKj01VQf2m0eTaKeergIKtxQHHCneuOdKMoZfn3snPn6LMOL3bgMHEQpU8duz5z9AkEA3bF1VCxcuQ0CJfqNN8CLGbHyNsy/7x5OioA5O9y5KVcjbhgQ1yrADY8O/mDvDzu9gt4nSjLgCrm2OjGipkkB2QJBANAqgl2406aKoFD1EZgqKCrr4e4pxHehE5K73L2WVpO5mSmZlv4XGW4l/kSn5WugiavkHqCOJSlMOShrRTA4CEkCQQCj63T/mhWtVmsCPfJxCNNRWnvn/Rjl65jTW9/13UyjvqSZ4P2Cuz9qRx8lA/N/ZgLIYw7WFCwIgiy1dsH3BgBxAkEAomHi8Wrl2vnvVqfD9HCPo3jYPzDAWVe0KbYIS/09S7xA0NKfVi/7sLjrac9tOHLF/1AzX2+sPr+obeJI/OmmTQ=='), EC_SPKI = der('MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAEbuY/Y0g6P/Q8BRlPoD9EHWQTeHoA/Ch18C+xTkRe1IW/HNvhY89Y4dFsEOxuvUgVXzUSzEllSU9yEwdEZxQOVA=='), EC_PKCS8 = der('MIGHAgEAMBMGByqGSM49AgEGCCqGSM49AwEHBG0wawIBAQQgAYbeKPF33I6TB7r/ifu2o44GWyFUqGe5scAu4KRGm+ShRANCAARu5j9jSDo/9DwFGU+gP0QdZBN4egD8KHXwL7FORF7Uhb8c2+Fjz1jh0WwQ7G69SBVfNRLMSWVJT3ITB0RnFA5U');
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
    later('rsa', 'pkcs1 v1.5 signatures', function () {
        return Promise.all([subtle.importKey('pkcs8', RSA_PKCS8, {name: 'RSASSA-PKCS1-v1_5', hash: 'SHA-256'}, true, ['sign']),
            subtle.importKey('spki', RSA_SPKI, {name: 'RSASSA-PKCS1-v1_5', hash: {name: 'SHA-256'}}, true, ['verify'])]).then(function (k) {
            return subtle.sign('RSASSA-PKCS1-v1_5', k[0], bytes('message')).then(function (sig) {
                return Promise.all([subtle.verify('RSASSA-PKCS1-v1_5', k[1], sig, bytes('message')), subtle.verify('RSASSA-PKCS1-v1_5', k[1], sig, bytes('other'))])
                    .then(function (ok) { return facts(k[0]).concat(facts(k[1]), [hex(sig)], ok); });
            });
        });
    });
    later('rsa', 'oaep round trip', function () {
        return Promise.all([subtle.importKey('spki', RSA_SPKI, {name: 'RSA-OAEP', hash: 'SHA-256'}, false, ['encrypt']),
            subtle.importKey('pkcs8', RSA_PKCS8, {name: 'RSA-OAEP', hash: 'SHA-256'}, false, ['decrypt'])]).then(function (k) {
            return subtle.encrypt({name: 'RSA-OAEP', label: bytes('L')}, k[0], bytes('secret')).then(function (c) {
                return subtle.decrypt({name: 'RSA-OAEP', label: bytes('L')}, k[1], c).then(function (p) {
                    return facts(k[0]).concat(facts(k[1]), [c.byteLength, new TextDecoder().decode(p)]);
                });
            });
        });
    });
    later('rsa', 'oaep wrong label', function () {
        return Promise.all([subtle.importKey('spki', RSA_SPKI, {name: 'RSA-OAEP', hash: 'SHA-1'}, false, ['encrypt']),
            subtle.importKey('pkcs8', RSA_PKCS8, {name: 'RSA-OAEP', hash: 'SHA-1'}, false, ['decrypt'])]).then(function (k) {
            return subtle.encrypt({name: 'RSA-OAEP'}, k[0], bytes('x')).then(function (c) { return subtle.decrypt({name: 'RSA-OAEP', label: bytes('no')}, k[1], c); });
        });
    });
    later('rsa', 'pss round trip', function () {
        return Promise.all([subtle.importKey('pkcs8', RSA_PKCS8, {name: 'RSA-PSS', hash: 'SHA-256'}, false, ['sign']),
            subtle.importKey('spki', RSA_SPKI, {name: 'RSA-PSS', hash: 'SHA-256'}, false, ['verify'])]).then(function (k) {
            return subtle.sign({name: 'RSA-PSS', saltLength: 32}, k[0], bytes('m')).then(function (sig) {
                return subtle.verify({name: 'RSA-PSS', saltLength: 32}, k[1], sig, bytes('m')).then(function (ok) { return [sig.byteLength, ok]; });
            });
        });
    });
    later('rsa', 'public jwk', function () {
        return subtle.importKey('spki', RSA_SPKI, {name: 'RSA-OAEP', hash: 'SHA-256'}, true, ['encrypt']).then(function (k) {
            return Promise.all([subtle.exportKey('jwk', k), subtle.exportKey('spki', k)]).then(function (x) {
                return [JSON.stringify(x[0]), hex(x[1]) === hex(RSA_SPKI)];
            });
        });
    });
    later('rsa', 'private key for the wrong use', function () { return subtle.importKey('pkcs8', RSA_PKCS8, {name: 'RSA-OAEP', hash: 'SHA-256'}, false, ['encrypt']); });
    later('rsa', 'public key as private', function () { return subtle.importKey('pkcs8', RSA_SPKI, {name: 'RSA-OAEP', hash: 'SHA-256'}, false, ['decrypt']); });
    later('rsa', 'generated pair', function () {
        return subtle.generateKey({name: 'RSASSA-PKCS1-v1_5', modulusLength: 1024, publicExponent: new Uint8Array([1, 0, 1]), hash: 'SHA-256'}, true,
            ['sign', 'verify']).then(function (pair) {
            return [Object.prototype.toString.call(pair), Object.keys(pair).join()].concat(facts(pair.publicKey), facts(pair.privateKey));
        });
    });
    later('ec', 'ecdsa round trip', function () {
        return Promise.all([subtle.importKey('pkcs8', EC_PKCS8, {name: 'ECDSA', namedCurve: 'P-256'}, true, ['sign']),
            subtle.importKey('spki', EC_SPKI, {name: 'ECDSA', namedCurve: 'P-256'}, true, ['verify'])]).then(function (k) {
            return subtle.sign({name: 'ECDSA', hash: 'SHA-256'}, k[0], bytes('m')).then(function (sig) {
                return Promise.all([subtle.verify({name: 'ECDSA', hash: 'SHA-256'}, k[1], sig, bytes('m')),
                    subtle.verify({name: 'ECDSA', hash: 'SHA-256'}, k[1], sig, bytes('n'))]).then(function (ok) {
                    return facts(k[0]).concat(facts(k[1]), [sig.byteLength], ok);
                });
            });
        });
    });
    later('ec', 'raw public key', function () {
        return subtle.importKey('spki', EC_SPKI, {name: 'ECDSA', namedCurve: 'P-256'}, true, ['verify']).then(function (k) {
            return subtle.exportKey('raw', k).then(function (raw) {
                return subtle.importKey('raw', raw, {name: 'ECDSA', namedCurve: 'P-256'}, true, ['verify']).then(function (k2) {
                    return subtle.exportKey('spki', k2).then(function (s) { return [raw.byteLength, new Uint8Array(raw)[0], hex(s) === hex(EC_SPKI)]; });
                });
            });
        });
    });
    later('ec', 'ecdh', function () {
        return Promise.all([subtle.importKey('pkcs8', EC_PKCS8, {name: 'ECDH', namedCurve: 'P-256'}, false, ['deriveBits']),
            subtle.importKey('spki', EC_SPKI, {name: 'ECDH', namedCurve: 'P-256'}, false, [])]).then(function (k) {
            return subtle.deriveBits({name: 'ECDH', public: k[1]}, k[0], 256).then(function (b) { return facts(k[1]).concat([hex(b)]); });
        });
    });
    later('ec', 'wrong curve', function () { return subtle.importKey('spki', EC_SPKI, {name: 'ECDSA', namedCurve: 'P-384'}, false, ['verify']); });
    later('ec', 'generated pair', function () {
        return subtle.generateKey({name: 'ECDSA', namedCurve: 'P-384'}, false, ['sign', 'verify']).then(function (pair) {
            return facts(pair.publicKey).concat(facts(pair.privateKey));
        });
    });
})();
(function () {
    // Keys wrapped and unwrapped (AES-KW, and any encryption of an exported key).
    function hex(buffer) {
        return Array.prototype.map.call(new Uint8Array(buffer), function (b) { return (b < 16 ? '0' : '') + b.toString(16); }).join('');
    }
    var subtle = crypto.subtle, KEK = new Uint8Array(16).map(function (v, i) { return i; });
    var SECRET = new Uint8Array(16).map(function (v, i) { return 0x11 * (i % 16); });
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
    later('wrapping', 'aes-kw', function () {
        return Promise.all([subtle.importKey('raw', KEK, 'AES-KW', true, ['wrapKey', 'unwrapKey']),
            subtle.importKey('raw', SECRET, 'AES-GCM', true, ['encrypt'])]).then(function (k) {
            return subtle.wrapKey('raw', k[1], k[0], 'AES-KW').then(function (w) {
                return subtle.unwrapKey('raw', w, k[0], 'AES-KW', 'AES-GCM', true, ['encrypt']).then(function (u) {
                    return subtle.exportKey('raw', u).then(function (raw) {
                        return [JSON.stringify(k[0].algorithm), k[0].usages.join(), hex(w), JSON.stringify(u.algorithm), u.usages.join(), hex(raw)];
                    });
                });
            });
        });
    });
    later('wrapping', 'jwk under aes-gcm', function () {
        return Promise.all([subtle.importKey('raw', KEK, 'AES-GCM', false, ['wrapKey', 'unwrapKey']),
            subtle.importKey('raw', new TextEncoder().encode('hmac key'), {name: 'HMAC', hash: 'SHA-1'}, true, ['sign'])]).then(function (k) {
            var params = {name: 'AES-GCM', iv: new Uint8Array(12)};
            return subtle.wrapKey('jwk', k[1], k[0], params).then(function (w) {
                return subtle.unwrapKey('jwk', w, k[0], params, {name: 'HMAC', hash: 'SHA-1'}, false, ['sign']).then(function (u) {
                    return [w.byteLength, hex(w).slice(0, 16), JSON.stringify(u.algorithm), u.extractable];
                });
            });
        });
    });
    later('wrapping', 'not extractable', function () {
        return Promise.all([subtle.importKey('raw', KEK, 'AES-KW', false, ['wrapKey']),
            subtle.importKey('raw', SECRET, 'AES-GCM', false, ['encrypt'])]).then(function (k) { return subtle.wrapKey('raw', k[1], k[0], 'AES-KW'); });
    });
    later('wrapping', 'aes-kw data size', function () {
        return subtle.importKey('raw', KEK, 'AES-KW', false, ['unwrapKey']).then(function (k) {
            return subtle.unwrapKey('raw', new Uint8Array(20), k, 'AES-KW', 'AES-GCM', true, ['encrypt']);
        });
    });
    later('wrapping', 'aes-kw wrong key', function () {
        return subtle.importKey('raw', KEK, 'AES-KW', false, ['unwrapKey']).then(function (k) {
            return subtle.unwrapKey('raw', new Uint8Array(24), k, 'AES-KW', 'AES-GCM', true, ['encrypt']);
        });
    });
    later('wrapping', 'aes-kw encrypt', function () {
        return subtle.importKey('raw', KEK, 'AES-KW', false, ['wrapKey']).then(function (k) { return subtle.encrypt('AES-KW', k, new Uint8Array(16)); });
    });
})();

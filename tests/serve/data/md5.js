// MD5 of a text's UTF-8 bytes, as lower-case hex (RFC 1321), in ECMAScript 3 so that
// every script target runs it. Written for the service's tests and benchmark.
function md5_utf8(s) {
    var bytes = [], i, c;
    for (i = 0; i < s.length; i++) {
        c = s.charCodeAt(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.length) {
            var d = s.charCodeAt(i + 1);
            if (d >= 0xDC00 && d <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (d - 0xDC00);
                i++;
            }
        }
        if (c < 0x80) bytes.push(c);
        else if (c < 0x800) bytes.push(0xC0 | (c >> 6), 0x80 | (c & 63));
        else if (c < 0x10000) bytes.push(0xE0 | (c >> 12), 0x80 | ((c >> 6) & 63), 0x80 | (c & 63));
        else bytes.push(0xF0 | (c >> 18), 0x80 | ((c >> 12) & 63), 0x80 | ((c >> 6) & 63), 0x80 | (c & 63));
    }
    return bytes;
}

var md5_r = [7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
             5, 9, 14, 20, 5, 9, 14, 20, 5, 9, 14, 20, 5, 9, 14, 20,
             4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
             6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21];
var md5_k = [];
(function () {
    for (var i = 0; i < 64; i++) md5_k[i] = Math.floor(Math.abs(Math.sin(i + 1)) * 4294967296) | 0;
})();

function md5_hex(n) {
    var h = "0123456789abcdef", out = "", j;
    for (j = 0; j < 4; j++) out += h.charAt((n >> (j * 8 + 4)) & 15) + h.charAt((n >> (j * 8)) & 15);
    return out;
}

function md5(s) {
    var b = md5_utf8(String(s)), n = b.length, i, j;
    var words = [], total = ((n + 8) >> 6) + 1;
    for (i = 0; i < total * 16; i++) words[i] = 0;
    for (i = 0; i < n; i++) words[i >> 2] |= b[i] << ((i % 4) * 8);
    words[n >> 2] |= 0x80 << ((n % 4) * 8);
    words[total * 16 - 2] = n * 8;
    var a0 = 0x67452301, b0 = 0xefcdab89 | 0, c0 = 0x98badcfe | 0, d0 = 0x10325476;
    for (i = 0; i < total * 16; i += 16) {
        var A = a0, B = b0, C = c0, D = d0, F, g, t;
        for (j = 0; j < 64; j++) {
            if (j < 16) { F = (B & C) | (~B & D); g = j; }
            else if (j < 32) { F = (D & B) | (~D & C); g = (5 * j + 1) % 16; }
            else if (j < 48) { F = B ^ C ^ D; g = (3 * j + 5) % 16; }
            else { F = C ^ (B | ~D); g = (7 * j) % 16; }
            t = D; D = C; C = B;
            var sum = (A + F + md5_k[j] + words[i + g]) | 0;
            B = (B + ((sum << md5_r[j]) | (sum >>> (32 - md5_r[j])))) | 0;
            A = t;
        }
        a0 = (a0 + A) | 0; b0 = (b0 + B) | 0; c0 = (c0 + C) | 0; d0 = (d0 + D) | 0;
    }
    return md5_hex(a0) + md5_hex(b0) + md5_hex(c0) + md5_hex(d0);
}

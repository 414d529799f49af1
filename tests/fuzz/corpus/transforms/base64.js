var ALPHABET = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
function encodeBase64(input) {
    var out = '', i = 0;
    while (i < input.length) {
        var a = input.charCodeAt(i++), b = input.charCodeAt(i++), c = input.charCodeAt(i++);
        var triple = (a << 16) | ((b || 0) << 8) | (c || 0);
        out += ALPHABET.charAt((triple >> 18) & 63) + ALPHABET.charAt((triple >> 12) & 63);
        out += isNaN(b) ? '=' : ALPHABET.charAt((triple >> 6) & 63);
        out += isNaN(c) ? '=' : ALPHABET.charAt(triple & 63);
    }
    return out;
}
function decodeBase64(input) {
    var out = '', buffer = 0, bits = 0;
    for (var i = 0; i < input.length; i++) {
        var ch = input.charAt(i);
        if (ch === '=') break;
        var value = ALPHABET.indexOf(ch);
        if (value < 0) continue;
        buffer = (buffer << 6) | value;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += String.fromCharCode((buffer >> bits) & 255);
        }
    }
    return out;
}
var answer = encodeBase64('workbench sample') + ':' + decodeBase64('dGVhIHRpbWU=') + ':' + decodeBase64(encodeBase64('round trip ok'));

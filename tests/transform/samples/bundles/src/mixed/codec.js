const table = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';
export function encode(text) {
    let out = '', bits = 0, value = 0;
    for (const ch of text) {
        value = (value << 8) | ch.charCodeAt(0);
        bits += 8;
        while (bits >= 6) { bits -= 6; out += table[(value >> bits) & 63]; }
    }
    if (bits) out += table[(value << (6 - bits)) & 63];
    return out + ':codec-module';
}

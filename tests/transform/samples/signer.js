function pad(n, width) {
    var s = String(n);
    while (s.length < width) s = '0' + s;
    return s;
}
function toHex(text) {
    var out = [];
    for (var i = 0; i < text.length; i++) {
        var code = text.charCodeAt(i);
        if (code < 16) {
            out.push('0' + code.toString(16));
        } else {
            out.push(code.toString(16));
        }
    }
    return out.join('');
}
function checksum(text) {
    var a = 1, b = 0;
    for (var i = 0; i < text.length; i++) {
        a = (a + text.charCodeAt(i)) % 65521;
        b = (b + a) % 65521;
    }
    return pad(((b << 16) | a) >>> 0, 10);
}
function stamp(seconds) {
    var h = Math.floor(seconds / 3600), m = Math.floor(seconds / 60) % 60, s = seconds % 60;
    if (h > 23) {
        h = h % 24;
    }
    return pad(h, 2) + ':' + pad(m, 2) + ':' + pad(s, 2);
}
function buildQuery(params) {
    var keys = [];
    for (var k in params) {
        if (params.hasOwnProperty(k)) {
            keys.push(k);
        }
    }
    keys.sort();
    var parts = [];
    for (var j = 0; j < keys.length; j++) {
        var value = params[keys[j]];
        if (value === null) {
            continue;
        }
        parts.push(keys[j] + '=' + encodeURIComponent(value));
    }
    return parts.join('&');
}
function sign(path, params, secret) {
    var query = buildQuery(params);
    var mark = checksum(path + '?' + query + '#' + secret);
    if (mark.length !== 10) {
        return 'bad';
    }
    return path + '?' + query + '&sig=' + toHex(mark).substring(0, 12) + '&t=' + stamp(params.ts || 0);
}
var answer = sign('/v1/order', { id: '42', item: 'green tea', note: null, ts: 45296 }, 's3cret') + '|' + toHex('AZ') + '|' + checksum('qingyou');

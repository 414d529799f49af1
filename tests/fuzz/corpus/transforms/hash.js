function fnv1a(text) {
    var hash = 0x811c9dc5;
    for (var i = 0; i < text.length; i++) {
        hash ^= text.charCodeAt(i);
        hash = (hash + ((hash << 1) + (hash << 4) + (hash << 7) + (hash << 8) + (hash << 24))) >>> 0;
    }
    return ('00000000' + hash.toString(16)).slice(-8);
}
function signRequest(path, params, secret) {
    var keys = [];
    for (var k in params) keys.push(k);
    keys.sort();
    var parts = [];
    for (var j = 0; j < keys.length; j++) parts.push(keys[j] + '=' + params[keys[j]]);
    var body = path + '?' + parts.join('&') + '&secret=' + secret;
    return { query: parts.join('&'), sign: fnv1a(body), note: 'signed with fnv-1a' };
}
var answer = signRequest('/api/list', { page: '2', size: '20', q: 'tea' }, 'k3y').sign + '|' + fnv1a('hello world');

// Padding and sums.
exports.pad = function (n, width) {
    var s = String(n);
    while (s.length < width) s = '0' + s;
    return s;
};
exports.sum = function (list) {
    return list.reduce(function (a, b) { return a + b; }, 0);
};
exports.tag = 'util-module';

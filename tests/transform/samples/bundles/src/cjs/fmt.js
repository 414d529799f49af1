var util = require('./util');
// A nested function whose own parameter shadows the loader's name must not count.
function each(list, require) {
    return list.map(function (n) { return require(n); });
}
module.exports = function format(list) {
    return each(list, function (n) { return util.pad(n, 3); }).join(',') + '=' + util.sum(list) + ':fmt-module';
};

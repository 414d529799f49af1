var util = require('./util');
function Store(name) { this.name = name; this.items = []; }
Store.prototype.add = function (x) { this.items.push(x); return this; };
Store.prototype.total = function () { return util.sum(this.items); };
module.exports = Store;
module.exports.kind = 'store-module';

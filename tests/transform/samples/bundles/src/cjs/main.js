var format = require('./fmt');
var util = require('./util');
var Store = require('./store');
var s = new Store('s').add(4).add(5);
var result = format([1, 22, 333]) + '|' + util.pad(7, 2) + '|' + s.total() + '|' + Store.kind + '|main-module';
if (typeof window !== 'undefined') window.answer = result; else globalThis.answer = result;

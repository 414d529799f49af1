// An old CommonJS helper.
var counter = 0;
module.exports = {
    next: function () { counter += 1; return 'legacy-module#' + counter; },
    reset: function () { counter = 0; }
};

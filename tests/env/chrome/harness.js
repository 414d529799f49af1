// Runs the probes of one probes_*.js file and keeps their answers by group and name.
// The same file runs in a real Chromium (record.sh) and in the workbench (the CI test).
var probeResults = {};
function probe(group, name, fn) {
    var value;
    try {
        value = fn();
        value = value === undefined ? {undefined: true} : JSON.parse(JSON.stringify(value));
    } catch (e) {
        value = {throws: (e && e.name) + ': ' + (e && e.message)};
    }
    if (!Object.prototype.hasOwnProperty.call(probeResults, group)) probeResults[group] = {};
    probeResults[group][name] = value;
}
// A probe whose answer comes later: `start(done)` gives it to done(value) (or throws, or
// calls done.fail(error)). probesPending counts those not answered yet.
var probesPending = 0;
function probeLater(group, name, start) {
    probesPending++;
    var answered = false;
    function keep(fn) {
        if (answered) return;
        answered = true;
        probesPending--;
        probe(group, name, fn);
    }
    var done = function (value) { keep(function () { return value; }); };
    done.fail = function (e) { keep(function () { throw e; }); };
    try {
        start(done);
    } catch (e) {
        done.fail(e);
    }
}

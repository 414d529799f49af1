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

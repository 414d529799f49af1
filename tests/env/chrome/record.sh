#!/bin/sh
# Records a real Chromium's answers to every probes_*.js beside this script into
# answers_<kind>.json, for the environment's tests to assert. Needs chromium and node;
# run by hand, never in the build. With arguments, records only those kinds
# (record.sh ranges page).
set -e
here=$(cd "$(dirname "$0")" && pwd)
browser=${CHROMIUM:-chromium}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
list=""
for kind in "$@"; do list="$list $here/probes_$kind.js"; done
[ -n "$list" ] || list=$(ls "$here"/probes_*.js)
for probes in $list; do
    kind=$(basename "$probes" .js | sed 's/^probes_//')
    page="$work/$kind.html"
    {
        echo '<!doctype html><html><head></head><body><script src="file://'"$here"'/harness.js"></script>'
        echo '<script src="file://'"$probes"'"></script>'
        echo '<script>(function finish() { if (probesPending) return setTimeout(finish, 10); document.body.textContent = "";'
        echo 'var out = document.createElement("pre"); out.id = "answers"; out.textContent = JSON.stringify(probeResults);'
        echo 'document.body.appendChild(out); })();</script></body></html>'
    } > "$page"
    # (Answers that come from a worker come in the browser's real time, which its virtual
    # clock does not wait for: a page dumped before they came is loaded again.)
    for try in 1 2 3 4 5 6 7 8 9 10; do
        "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
            --disable-component-update --disable-sync --allow-file-access-from-files --virtual-time-budget=600000 \
            --user-data-dir="$work/profile" --dump-dom "file://$page" 2>/dev/null > "$work/$kind.dom"
        grep -q '<pre id="answers">' "$work/$kind.dom" && break
    done
    node -e '
        const fs = require("fs");
        const dom = fs.readFileSync(process.argv[1], "utf8");
        const m = /<pre id="answers">([\s\S]*?)<\/pre>/.exec(dom);
        if (!m) { console.error("no answers in " + process.argv[1]); process.exit(1); }
        const text = m[1].replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&quot;/g, "\"").replace(/&#39;/g, "'"'"'").replace(/&amp;/g, "&");
        const answers = JSON.parse(text);
        const sorted = {};
        for (const g of Object.keys(answers).sort()) {
            sorted[g] = {};
            for (const n of Object.keys(answers[g]).sort()) sorted[g][n] = answers[g][n];
        }
        fs.writeFileSync(process.argv[2], JSON.stringify(sorted, null, 1) + "\n");
    ' "$work/$kind.dom" "$here/answers_$kind.json"
    echo "answers_$kind.json"
done

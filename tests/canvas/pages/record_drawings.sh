#!/bin/sh
# Records what a real Chromium's collector snippet prints for its canvas drawings into
# drawings.chromium.json, for the canvas tests to assert. Needs chromium; run by hand,
# never in the build.
set -e
here=$(cd "$(dirname "$0")" && pwd)
snippet="$here/../../../src/page/scripts/collector.js"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/collect.html" <<PAGE
<!doctype html><html><body><pre id=out></pre><script>
console.log = function (t) { if (String(t).charAt(0) === '{') document.getElementById('out').textContent = t; };
</script><script src="file://$snippet"></script></body></html>
PAGE
"${CHROMIUM:-chromium}" --headless --no-sandbox --disable-gpu --no-first-run --allow-file-access-from-files \
    --user-data-dir="$work/profile" --virtual-time-budget=5000 --dump-dom "file://$work/collect.html" 2>/dev/null > "$work/dom"
python3 - "$work/dom" "$here/drawings.chromium.json" <<'PY'
import html, json, re, sys
dom = open(sys.argv[1]).read()
profile = json.loads(html.unescape(re.search(r'<pre id="out">(.*?)</pre>', dom, re.S).group(1)))
json.dump({'canvas': profile['canvas']}, open(sys.argv[2], 'w'), indent=1, ensure_ascii=False)
PY
echo drawings.chromium.json

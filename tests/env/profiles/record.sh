#!/bin/sh
# Records chromium.json (the profile our collector prints in a headless Chromium) and the
# layout answers of answers.chromium.json (layout_probe.js in the same Chromium). Needs
# chromium and python3; serves the pages from 127.0.0.1 only. The "audio",
# "fontPreferences" and "fonts" answers are the values FingerprintJS 5 (npm, run outside
# the project in the same Chromium) gave for those components.
set -e
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
cp "$here/../../../src/page/scripts/collector.js" "$here/layout_probe.js" "$work/"
cat > "$work/collect.html" <<'HTML'
<!doctype html><html><head><meta charset="utf-8"></head><body><pre id="out">pending</pre>
<script>console.log = function (t) { var o = document.getElementById('out'); if (o.textContent === 'pending') o.textContent = t; };</script>
<script src="collector.js"></script></body></html>
HTML
cat > "$work/probe.html" <<'HTML'
<!doctype html><html><head><meta charset="utf-8"></head><body><pre id="out">pending</pre>
<script src="layout_probe.js"></script><script>document.getElementById('out').textContent = layoutProbe;</script></body></html>
HTML
port=${PORT:-8797}
(cd "$work" && exec python3 -m http.server "$port" --bind 127.0.0.1 >/dev/null 2>&1) &
server=$!
for n in 1 2 3 4 5 6 7 8 9 10; do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/probe.html')" 2>/dev/null && break
    sleep 0.5
done
for page in collect probe; do
    # A first start of a fresh browser profile may finish before the page does: try again.
    for try in 1 2 3; do
        chromium --headless --no-sandbox --disable-gpu --user-data-dir="$work/profile" --virtual-time-budget=20000 \
            --dump-dom "http://127.0.0.1:$port/$page.html" 2>/dev/null > "$work/$page.dom"
        grep -q '<pre id="out">pending' "$work/$page.dom" || break
    done
done
python3 - "$work" "$here" <<'PY'
import html, json, re, sys
work, here = sys.argv[1], sys.argv[2]
def answer(name):
    text = open(work + '/' + name + '.dom', encoding='utf-8').read()
    return json.loads(html.unescape(re.search(r'<pre id="out">(.*?)</pre>', text, re.S).group(1)))
profile = answer('collect')
profile['address'] = 'http://127.0.0.1/collect.html'
json.dump(profile, open(here + '/chromium.json', 'w', encoding='utf-8'), indent=1, ensure_ascii=False)
answers = json.load(open(here + '/answers.chromium.json', encoding='utf-8'))
answers['layout'] = answer('probe')
json.dump(answers, open(here + '/answers.chromium.json', 'w', encoding='utf-8'), indent=1)
PY

#!/usr/bin/env python3
"""Records a real Chromium's answers to tests/env/chrome/probes_v8.js (run by hand on a
machine with Debian's chromium; never in CI): the probes run inline in a page, so that
their code stands at the page's address as the user's code does in the workbench.

    tests/persona/record_v8_answers.py [--chromium /usr/bin/chromium] [--check]

--check prints the workbench-independent agreement of an earlier answers file instead
of writing it.
"""
import argparse, html, json, os, re, subprocess, sys, tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
PROBES = os.path.join(ROOT, 'tests', 'env', 'chrome', 'probes_v8.js')
ANSWERS = os.path.join(ROOT, 'tests', 'env', 'chrome', 'answers_v8.json')

HARNESS = r'''
var __answers = [];
function probe(group, name, f) {
    var answer;
    try {
        var value = f();
        answer = value === undefined ? {undefined: true} : {value: value};
    } catch (e) {
        answer = {throws: e.name + ': ' + e.message};
    }
    __answers.push({group: group, name: name, answer: answer});
}
'''


def run(chromium):
    with tempfile.TemporaryDirectory() as tmp:
        page = os.path.join(tmp, 'probes.html')
        probes = open(PROBES, encoding='utf-8').read()
        with open(page, 'w', encoding='utf-8') as f:
            f.write('<!doctype html><html><head><meta charset="utf-8"></head><body><pre id="out"></pre>')
            f.write('<script>' + HARNESS + '</script>\n<script>' + probes.replace('</script', '<\\/script') + '</script>')
            f.write('<script>document.getElementById("out").textContent = JSON.stringify(__answers);</script>')
            f.write('</body></html>')
        profile = os.path.join(tmp, 'profile')
        out = subprocess.run([chromium, '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                              '--disable-background-networking', '--disable-component-update', '--disable-sync',
                              '--user-data-dir=' + profile, '--dump-dom', 'file://' + page],
                             capture_output=True, text=True, timeout=120).stdout
    m = re.search(r'<pre id="out">(.*?)</pre>', out, re.S)
    if not m:
        sys.exit('no answers in the page')
    return json.loads(html.unescape(m.group(1)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--chromium', default='/usr/bin/chromium')
    args = parser.parse_args()
    answers = run(args.chromium)
    with open(ANSWERS, 'w', encoding='utf-8') as f:
        json.dump(answers, f, ensure_ascii=False, indent=1)
        f.write('\n')
    print('%d answers written to %s' % (len(answers), ANSWERS))


if __name__ == '__main__':
    main()

#!/bin/sh
# The formatter as a whole process beside the peers' command lines, in one run: for each
# script, `qingyou-js format FILE`, `js-beautify FILE` and `esbuild FILE` (a reprint)
# take turns RUNS times, writing to /dev/null; printed are the median process CPU time
# (user + system, steadier than wall time on a busy machine), the median wall time, and
# each one's ratio to ours.
#
#   bench/format_peers.sh [BUILD_DIR]     (default: build; RUNS=7)
#
# Peers that are not installed are skipped; they are looked for on PATH and in
# $PEERS/node_modules/.bin (default /opt/peers). The 5 MB script is jquery.js repeated.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
case $build in /*) ;; *) build=$here/$build ;; esac
cli=$build/bin/qingyou-js
runs=${RUNS:-7}
peers=${PEERS:-/opt/peers}

if [ ! -x "$cli" ]; then echo "没有找到 $cli（先构建 qingyou-js）" >&2; exit 2; fi
command -v python3 >/dev/null || { echo "需要 python3 来计时" >&2; exit 2; }

find_peer() {
    if command -v "$1" >/dev/null 2>&1; then command -v "$1"
    elif [ -x "$peers/node_modules/.bin/$1" ]; then echo "$peers/node_modules/.bin/$1"
    fi
}
beautify=$(find_peer js-beautify)
esbuild=$(find_peer esbuild)
[ -n "$beautify" ] || echo "js-beautify 未安装，跳过" >&2
[ -n "$esbuild" ] || echo "esbuild 未安装，跳过" >&2

big=$(mktemp --suffix=.js)
trap 'rm -f "$big"' EXIT
jquery=/usr/share/javascript/jquery/jquery.js
if [ -r "$jquery" ]; then
    while [ "$(wc -c < "$big")" -lt 5242880 ]; do cat "$jquery" >> "$big"; echo >> "$big"; done
fi

CLI=$cli BEAUTIFY=$beautify ESBUILD=$esbuild RUNS=$runs python3 - "$jquery" \
    /usr/share/javascript/jquery/jquery.min.js /usr/share/javascript/underscore/underscore.min.js \
    /usr/share/javascript/d3/d3.min.js /usr/share/javascript/moment/moment.min.js "$big" <<'EOF'
import os, resource, statistics, subprocess, sys, time

tools = [("qingyou-js", [os.environ["CLI"], "format"])]
if os.environ["BEAUTIFY"]: tools.append(("js-beautify", [os.environ["BEAUTIFY"]]))
if os.environ["ESBUILD"]: tools.append(("esbuild", [os.environ["ESBUILD"], "--log-level=error"]))
runs = int(os.environ["RUNS"])

def once(command, path):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    with open(os.devnull, "wb") as null:
        code = subprocess.call(command + [path], stdout=null, stderr=subprocess.DEVNULL)
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return code, cpu * 1000, wall * 1000

for path in sys.argv[1:]:
    if not os.path.isfile(path) or os.path.getsize(path) == 0:
        print("跳过 %s（未安装）" % path)
        continue
    name = "5 MB (jquery.js)" if path == sys.argv[-1] else os.path.basename(path)
    cpu = {t: [] for t, _ in tools}
    wall = {t: [] for t, _ in tools}
    failed = set()
    for _ in range(runs):
        for label, command in tools:
            code, c, w = once(command, path)
            if code != 0: failed.add(label)
            cpu[label].append(c)
            wall[label].append(w)
    ours_cpu = statistics.median(cpu[tools[0][0]])
    ours_wall = statistics.median(wall[tools[0][0]])
    for label, _ in tools:
        c, w = statistics.median(cpu[label]), statistics.median(wall[label])
        print("%-18s %-12s CPU %8.1f ms (%.2f x ours)  wall %8.1f ms (%.2f x ours)%s" %
              (name, label, c, c / ours_cpu, w, w / ours_wall, "  失败" if label in failed else ""))
EOF

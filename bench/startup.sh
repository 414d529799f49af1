#!/bin/sh
# Whole-process start-up of the command line, side by side with node and the formatter
# peers' command lines, in one run: for each command the median over RUNS runs of the
# time from spawn to the first byte on standard output and to the process's exit, and
# the process's CPU time (user + system, steadier than wall time on a busy machine),
# with the ratios of each to `node -e 0`.
#
#   bench/startup.sh [BUILD_DIR]        (default: build; RUNS=21, SCRIPT=jquery.min.js)
#
# Peers that are not installed are skipped; they are looked for on PATH and in
# $PEERS/node_modules/.bin (default /opt/peers). The script also says which shared
# objects the `eval` path maps: no Qt Widgets, no Qt GUI, no platform plugin.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
case $build in /*) ;; *) build=$here/$build ;; esac
qy=$build/bin/qingyou-js
script=${SCRIPT:-/usr/share/javascript/jquery/jquery.min.js}
runs=${RUNS:-21}
peers=${PEERS:-/opt/peers}

if [ ! -x "$qy" ]; then echo "没有找到 $qy（先构建 qingyou-js）" >&2; exit 2; fi
if [ ! -r "$script" ]; then echo "没有找到 $script（Debian 的 libjs-jquery）" >&2; exit 2; fi
command -v python3 >/dev/null || { echo "需要 python3 来计时" >&2; exit 2; }

find_peer() {
    if command -v "$1" >/dev/null 2>&1; then command -v "$1"
    elif [ -x "$peers/node_modules/.bin/$1" ]; then echo "$peers/node_modules/.bin/$1"
    fi
}
beautify=$(find_peer js-beautify)
esbuild=$(find_peer esbuild)
node=$(command -v node || command -v nodejs || true)

# One "label<TAB>command" a line; the commands are run by /bin/sh -c without a shell
# of their own (exec), so the figures are the program's, not a shell's.
list=$(mktemp)
trap 'rm -f "$list"' EXIT
add() { printf '%s\t%s\n' "$1" "$2" >>"$list"; }
[ -n "$node" ] && add "node -e 0" "exec '$node' -e 0"
add "qingyou-js --help" "exec '$qy' --help"
add "qingyou-js eval (es2021)" "exec '$qy' eval --target es2021 --browser-env '$script' --expr 'jQuery.fn.jquery'"
add "qingyou-js format" "exec '$qy' format '$script'"
[ -n "$beautify" ] && add "js-beautify" "exec '$beautify' '$script'"
[ -n "$esbuild" ] && add "esbuild" "exec '$esbuild' '$script'"

python3 - "$runs" "$list" <<'EOF'
import os, statistics, subprocess, sys, time

runs, listing = int(sys.argv[1]), sys.argv[2]
rows = [line.rstrip("\n").split("\t", 1) for line in open(listing, encoding="utf-8") if line.strip()]

def once(command):
    start = time.perf_counter()
    p = subprocess.Popen(["/bin/sh", "-c", command], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    first = p.stdout.read(1)
    t_first = time.perf_counter() - start
    size = len(first) + len(p.stdout.read())
    _, status, usage = os.wait4(p.pid, 0)
    p.returncode = os.waitstatus_to_exitcode(status)
    return t_first, time.perf_counter() - start, usage.ru_utime + usage.ru_stime, size, p.returncode

results = []
for label, command in rows:
    once(command)  # warm the page cache
    samples = [once(command) for _ in range(runs)]
    med = lambda i: statistics.median(s[i] for s in samples)
    results.append((label, med(0), med(1), med(2), samples[-1][3], samples[-1][4]))

base = next((r for r in results if r[0] == "node -e 0"), None)
print(f"{'命令':<30}{'首次输出 ms':>12}{'结束 ms':>10}{'CPU ms':>9}{'输出字节':>10}{'退出码':>7}"
      f"{'结束/node':>11}{'CPU/node':>10}")
for label, first, total, cpu, size, code in results:
    wall = f"{total / base[2]:.2f}x" if base else "-"
    work = f"{cpu / base[3]:.2f}x" if base and base[3] else "-"
    print(f"{label:<30}{first * 1000:>12.1f}{total * 1000:>10.1f}{cpu * 1000:>9.1f}{size:>10}{code:>7}"
          f"{wall:>11}{work:>10}")
print(f"（每条命令运行 {runs} 次取中位数；首次输出为从启动到标准输出的第一个字节；CPU 为进程的用户加系统时间，"
      "机器忙时比墙钟时间稳定）")
EOF

# What the eval path maps: the process's own list of shared objects at its exit.
echo
echo "eval 路径载入的 Qt 库与插件："
for bin in "$qy"; do
    [ -x "$bin" ] || continue
    maps=$(LD_DEBUG=files "$bin" eval --target es2021 "$script" --expr 1 2>&1 >/dev/null |
           sed -n 's/.*file=\([^ ]*\).*\[0\];.*/\1/p' | sort -u | grep -i 'qt\|plugin' || true)
    echo "  $(basename "$bin"): ${maps:-（无）}" | tr '\n' ' '
    echo
done

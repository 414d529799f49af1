#!/bin/sh
# The local service against the ways users call a script today, side by side in one run:
# md5 of a 1 KB text (tests/serve/data/md5.js) answered by
#   our service (`qingyou-js serve`, JScript 5.8 and ES2021 targets),
#   (a) node's own http server calling the same md5 file (bench/serve-node.js),
#   (b) one node process per call, as PyExecJS does it (`node -e`),
#   (c) one `qingyou-js eval` per call.
# The servers are loaded by wrk (DURATION seconds, 2 threads, CONNECTIONS connections),
# then paced at half of node's throughput for the latency there; every answer is
# checked against md5sum's, and the CPU time the server's processes spent per request is
# given beside. Per-call processes run RUNS times one after another.
#
#   bench/serve.sh [BUILD_DIR]     (default: build; DURATION=10 CONNECTIONS=16 RUNS=30)
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
case $build in /*) ;; *) build=$here/$build ;; esac
qy=$build/bin/qingyou-js
script=$here/tests/serve/data/md5.js
duration=${DURATION:-10}
connections=${CONNECTIONS:-16}
runs=${RUNS:-30}

if [ ! -x "$qy" ]; then echo "没有找到 $qy（先构建 qingyou-js）" >&2; exit 2; fi
for tool in wrk node python3 md5sum curl; do
    command -v $tool >/dev/null || { echo "需要 $tool" >&2; exit 2; }
done

TEXT=$(python3 -c "print(('abcdefghij' * 103)[:1024], end='')")
EXPECT=$(printf %s "$TEXT" | md5sum | cut -d' ' -f1)
export TEXT EXPECT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

pids=""
cleanup() { for p in $pids; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; }
trap cleanup EXIT INT TERM

wait_up() {
    for _ in $(seq 100); do
        curl -s -o /dev/null "http://127.0.0.1:$1/health" -m 1 && return 0
        curl -s -o /dev/null -X POST "http://127.0.0.1:$1/call" -d '{"args":[""]}' -m 1 && return 0
        sleep 0.1
    done
    echo "服务没有在端口 $1 上启动" >&2; exit 1
}

port_js=$(free_port); "$qy" serve --port "$port_js" "$script" >/dev/null 2>&1 & pids="$pids $!"; pid_js=$!
port_es=$(free_port); "$qy" serve --port "$port_es" --target es2021 "$script" >/dev/null 2>&1 & pids="$pids $!"; pid_es=$!
port_node=$(free_port); node "$here/bench/serve-node.js" "$script" "$port_node" & pids="$pids $!"; pid_node=$!
for p in $port_js $port_es $port_node; do wait_up "$p"; done

# CPU time (user + system, in clock ticks) of a server and its worker processes: on a
# busy machine the CPU a request costs is steadier than the requests per second.
cpu_ticks() {
    for p in $1 $(pgrep -P "$1" 2>/dev/null); do cat "/proc/$p/stat" 2>/dev/null; done |
        awk '{ sub(/.*\) /, ""); t += $12 + $13 } END { print t + 0 }'
}

load() {  # name port connections server-pid
    before=$(cpu_ticks "$4")
    out=$(wrk -t2 -c"$3" -d"${duration}s" --latency -s "$here/bench/serve-check.lua" "http://127.0.0.1:$2/call")
    after=$(cpu_ticks "$4")
    echo "$out" | awk -v name="$1" -v c="$3" -v ticks=$((after - before)) -v hz="$(getconf CLK_TCK)" \
        '/^RESULT/ { printf "%-34s %5s %10s %10s %10s %10.1f %8s\n", name, c, $2, $3, $4, ticks / hz * 1e6 / $6, $5 "/" $6 }'
}

per_call() {  # name command…
    name=$1; shift
    python3 - "$name" "$runs" "$EXPECT" "$@" <<'PY'
import subprocess, sys, time
name, runs, expect, cmd = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
times, wrong = [], 0
for _ in range(runs):
    t = time.perf_counter()
    out = subprocess.run(cmd, capture_output=True, text=True).stdout
    times.append((time.perf_counter() - t) * 1000)
    wrong += expect not in out
times.sort()
p = lambda q: times[min(len(times) - 1, int(q * len(times)))]
print("%-34s %5s %10.1f %10.3f %10.3f %10s %8s" % (name, 1, 1000 / (sum(times) / len(times)), p(0.5), p(0.99), "-", "%d/%d" % (wrong, runs)))
PY
}

echo "md5(1 KB 文本)，$(nproc) 核，负载 $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-34s %5s %10s %10s %10s %10s %8s\n" "方式" "连接" "请求/秒" "p50(ms)" "p99(ms)" "CPU µs/次" "错误/总数"
load "本服务 JScript 5.8" "$port_js" "$connections" "$pid_js"
load "本服务 ES2021" "$port_es" "$connections" "$pid_es"
load "(a) node http 服务" "$port_node" "$connections" "$pid_node"
# Half of node's throughput, paced: every connection sends at a fixed rate.
node_rps=$(wrk -t2 -c"$connections" -d"${duration}s" -s "$here/bench/serve-check.lua" "http://127.0.0.1:$port_node/call" |
    awk '/^RESULT/ { print int($2) }')
PACE_MS=$(( connections * 2000 / (node_rps > 0 ? node_rps : 1) ))
[ "$PACE_MS" -ge 1 ] || PACE_MS=1
export PACE_MS
half="半负载 $((connections * 1000 / PACE_MS))/秒"
load "本服务 JScript 5.8（$half）" "$port_js" "$connections" "$pid_js"
load "本服务 ES2021（$half）" "$port_es" "$connections" "$pid_es"
load "(a) node http 服务（$half）" "$port_node" "$connections" "$pid_node"
unset PACE_MS
node_code="const fs=require('fs');const md5=new Function(fs.readFileSync('$script','utf8')+'\\nreturn md5;')();console.log(md5(process.env.TEXT))"
per_call "(b) 每次调用一个 node -e" node -e "$node_code"
per_call "(c) 每次调用一个 qingyou-js eval" "$qy" eval "$script" --expr "md5('$TEXT')"

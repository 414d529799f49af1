#!/bin/sh
# Runs every libFuzzer harness of a build for a while on its seed corpus; any crash, leak,
# broken property or time-out fails the run, and the input that did it is kept.
#   tests/fuzz/run.sh BUILD_DIR SECONDS [HARNESS...]
# New inputs go to BUILD_DIR/fuzz-corpus/<harness>, found faults to BUILD_DIR/fuzz-faults;
# the seeds in tests/fuzz/corpus/<harness> are only read.
set -e
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"
seconds="${2:-30}"
shift 2 || true
harnesses="$*"
if [ -z "$harnesses" ]; then
    harnesses="codepage scriptfile jscript decoders update numbers transforms"
fi
faults="$build/fuzz-faults"
# Compiled code the harnesses keep stays in the build.
export QY_CODE_CACHE="$build/code-cache"
mkdir -p "$faults"
failed=""
for h in $harnesses; do
    program="$build/tests/fuzz/fuzz_$h"
    work="$build/fuzz-corpus/$h"
    mkdir -p "$work"
    dict=""
    leaks=1
    case "$h" in
        # The engine keeps its own objects in memory the leak checker does not look
        # through, so with the engine running every input would seem to leak; the
        # sanitizer suite checks leaks in these paths with the engine shut down.
        decoders|numbers|transforms) leaks=0 ;;
    esac
    if [ -f "$here/$h.dict" ]; then dict="-dict=$here/$h.dict"; fi
    echo "fuzz: $h for ${seconds}s"
    # The engine's harnesses run a script per input; one input may take seconds under
    # the sanitizers, never half a minute.
    if ASAN_OPTIONS="detect_leaks=$leaks:allocator_may_return_null=1:$ASAN_OPTIONS" \
       LSAN_OPTIONS="suppressions=$here/../sanitizer-suppressions.txt:print_suppressions=0" \
       UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
       "$program" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 -max_len=4096 -detect_leaks=$leaks \
           -print_final_stats=1 -artifact_prefix="$faults/$h-" $dict "$work" "$here/corpus/$h" \
           > "$build/fuzz-$h.log" 2>&1; then
        grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$build/fuzz-$h.log" | tr '\n' ' '
        echo
    else
        echo "fuzz: $h FAILED; the log is $build/fuzz-$h.log, the input in $faults:"
        grep -E 'ERROR|property broken|SUMMARY|Test unit written' "$build/fuzz-$h.log" | head -20
        failed="$failed $h"
    fi
done
if [ -n "$failed" ]; then
    echo "fuzz: faults found in:$failed"
    exit 1
fi

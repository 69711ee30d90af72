#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each for a few
# seconds over a copy of its seed corpus (the checked-in corpus never grows).
# Usage: fuzz/run.sh [seconds per target]   (or FUZZ_SECONDS; default 10)
# Exits non-zero if any target finds a crash, a sanitizer report or a
# violated property; the input is kept in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-${FUZZ_SECONDS:-10}}"
build=build-fuzz
targets=(fuzz_reassembly fuzz_splitfieldblock fuzz_splitbyseparator fuzz_console
    fuzz_builders fuzz_settings)

cmake -G Ninja -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DFAREPROBE_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=0
summary=()
for t in "${targets[@]}"; do
    cp -r "fuzz/corpus/$t" "$work/$t"
    findings="$build/findings/$t"
    mkdir -p "$findings"
    extra=()
    if [ "$t" = fuzz_settings ]; then
        # QSettings keeps a process-wide cache of parsed files, which makes
        # every input look like a leak to the per-input check; leaks are
        # still looked for when the run ends.
        extra=(-detect_leaks=0 -dict=fuzz/settings.dict)
    fi
    log="$work/$t.log"
    rc=0
    "$build/fuzz/$t" "${extra[@]}" -max_total_time="$seconds" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$work/$t" >"$log" 2>&1 || rc=$?
    execs="$(awk '/stat::number_of_executed_units/ {print $2}' "$log" | tail -n 1)"
    if [ "$rc" -ne 0 ]; then
        failed=$((failed + 1))
        echo "---- $t FAILED (exit $rc):"
        grep -E 'property violated|expected|ERROR:|runtime error|SUMMARY' "$log" | head -n 20 || true
        echo "     the input:"
        grep -E '^Base64:|Test unit written' "$log" || true
        summary+=("$(printf '%-24s FAILED  %12s execs  (inputs in %s)' "$t" "${execs:-?}" "$findings")")
    else
        summary+=("$(printf '%-24s ok      %12s execs' "$t" "${execs:-?}")")
    fi
    echo "${summary[-1]}"
done

echo "==== fuzzing summary: ${#targets[@]} targets, ${seconds} s each"
printf '%s\n' "${summary[@]}"
if [ "$failed" -ne 0 ]; then
    echo "$failed target(s) found problems"
    exit 1
fi
echo "no findings"

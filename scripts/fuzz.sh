#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz in the reliability tree (build-fuzz/)
# and runs each for SECONDS (default 60), two at a time:
#
#   scripts/fuzz.sh [SECONDS] [NAME...]     NAME: sendkeys, rtf, ... (default all)
#
# New inputs go to build-fuzz/corpus/NAME (the seeds in tests/fuzz/corpus are
# read, never written), each run's log to build-fuzz/logs/NAME.log, and the
# input of a crash, leak or timeout to build-fuzz/crashes/NAME-*. Exits
# non-zero when any target failed. KALYXON_FUZZ_JOBS sets how many run at
# once, KALYXON_FUZZ_RUNS stops each target after that many inputs (if
# SECONDS have not passed first), KALYXON_FUZZ_MAX_LEN caps the input length
# (default 256 bytes, 1024 for RTF, whose header alone takes a few hundred:
# every format here shows its faults in a few lines, and short inputs are
# many more per second). A long session in the faster tree without
# AddressSanitizer:
#
#   KALYXON_FUZZ_DIR=build-fuzz-long KALYXON_FUZZ_SANITIZERS=undefined \
#     KALYXON_FUZZ_RUNS=10000000 nice -n 19 scripts/fuzz.sh 9000
set -euo pipefail
cd "$(dirname "$0")/.."
SEGUNDOS="${1:-60}"
shift || true
FUZZ_DIR="${KALYXON_FUZZ_DIR:-build-fuzz}"
JOBS="${KALYXON_FUZZ_JOBS:-2}"
nombres=("$@")
if [ ${#nombres[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do n="$(basename "$f" .cpp)"; nombres+=("${n#fuzz_}"); done
fi
objetivos=()
for n in "${nombres[@]}"; do objetivos+=("fuzz_$n"); done
scripts/build-fuzz.sh "${objetivos[@]}"
mkdir -p "$FUZZ_DIR/crashes" "$FUZZ_DIR/logs"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

corre() {
  local n="$1" largo=256
  [ "$n" = rtf ] && largo=1024
  mkdir -p "$FUZZ_DIR/corpus/$n"
  # -timeout: one input taking that long is a hang, with room for a loaded
  # machine running sanitized code.
  # KALYXON_FUZZ_SEED makes a run repeatable (the test command's short runs).
  "$FUZZ_DIR/bin/fuzz_$n" -max_total_time="$SEGUNDOS" -timeout=25 -rss_limit_mb=2048 \
    -max_len="${KALYXON_FUZZ_MAX_LEN:-$largo}" ${KALYXON_FUZZ_RUNS:+-runs="$KALYXON_FUZZ_RUNS"} \
    ${KALYXON_FUZZ_SEED:+-seed="$KALYXON_FUZZ_SEED"} \
    -print_final_stats=1 -artifact_prefix="$FUZZ_DIR/crashes/$n-" \
    "$FUZZ_DIR/corpus/$n" "tests/fuzz/corpus/$n" >"$FUZZ_DIR/logs/$n.log" 2>&1
}

declare -A pid
for n in "${nombres[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n || true; done
  corre "$n" &
  pid[$n]=$!
done
fallos=0
for n in "${nombres[@]}"; do
  estado=0
  wait "${pid[$n]}" || estado=$?
  ejecuciones="$(grep -o 'number_of_executed_units: [0-9]*' "$FUZZ_DIR/logs/$n.log" | tail -1 | grep -o '[0-9]*$' || true)"
  tiempo="$(grep -o 'Done [0-9]* runs in [0-9]* second' "$FUZZ_DIR/logs/$n.log" | tail -1 | grep -o '[0-9]* second' || true)"
  if [ "$estado" -eq 0 ]; then
    echo "fuzz_$n: ${ejecuciones:-?} executions in ${tiempo:-${SEGUNDOS} second}s, clean"
  else
    fallos=1
    echo "fuzz_$n: FAILED (exit $estado), see $FUZZ_DIR/logs/$n.log and $FUZZ_DIR/crashes/" >&2
    grep -m3 -E 'ERROR|property broken|runtime error|timeout' "$FUZZ_DIR/logs/$n.log" >&2 || true
  fi
done
exit "$fallos"

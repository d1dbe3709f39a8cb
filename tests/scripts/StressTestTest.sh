#!/usr/bin/env bash
# Drives scripts/stress-test on a small build tree of its own: one stand-in
# test program with a test that passes and one that fails when asked to, and
# a stand-in for stress-ng first on PATH, so that no load is made.
# Usage: StressTestTest.sh path/to/stress-test
set -u
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=$work/bin
tree=$work/build
mkdir -p "$bin" "$tree/tests"
log=$work/calls.log

# The load: records how it was started and stays until it is stopped.
cat >"$bin/stress-ng" <<'EOF'
#!/usr/bin/env bash
echo "stress-ng $* pid $$" >>"$FAKE_LOG"
exec sleep 1000
EOF

# A GoogleTest program: Suite.Passes always passes, Suite.Fails fails when
# FAKE_FAIL is set; run whole it reports the shuffle it was given.
cat >"$tree/tests/fake_tests" <<'EOF'
#!/usr/bin/env bash
echo "fake_tests $*" >>"$FAKE_LOG"
case "$1" in
  --gtest_filter=Suite.Fails)
    [ -n "${FAKE_FAIL:-}" ] && { echo "[  FAILED  ] Suite.Fails (0 ms)"; exit 1; }
    exit 0 ;;
  --gtest_filter=*) exit 0 ;;
esac
if [ -n "${FAKE_FAIL:-}" ]; then
  echo "[  FAILED  ] Suite.Fails (0 ms)"
  echo "[  FAILED  ] Suite.Fails"
  exit 1
fi
echo "[  PASSED  ] 2 tests."
EOF
chmod +x "$bin/stress-ng" "$tree/tests/fake_tests"
cat >"$tree/CTestTestfile.cmake" <<EOF
add_test(Suite.Passes "$tree/tests/fake_tests" "--gtest_filter=Suite.Passes")
add_test(Suite.Fails "$tree/tests/fake_tests" "--gtest_filter=Suite.Fails")
EOF

failures=0
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }

run() {
  : >"$log"
  # Its log folders go into the work folder, which goes at the end.
  out=$(env PATH="$bin:$PATH" FAKE_LOG="$log" TMPDIR="$work" bash "$script" -B "$tree" "$@" 2>&1)
  rc=$?
  calls=$(cat "$log")
}

# Everything passes: three ctest runs, one shuffled run of the program, the
# load started with one process per core and stopped at the end.
unset FAKE_FAIL
run -j 2
[ $rc -eq 0 ] || fail "all pass: exit $rc ($out)"
grep -q 'everything passed' <<<"$out" || fail "all pass: not said: $out"
[ "$(grep -c -- '--gtest_filter=Suite.Passes' <<<"$calls")" -eq 3 ] \
  || fail "all pass: not three ctest runs: $calls"
grep -q -- "fake_tests --gtest_shuffle --gtest_random_seed=[0-9]" <<<"$calls" \
  || fail "all pass: the program was not run whole and shuffled: $calls"
[ "$(grep -c -- '--gtest_shuffle' <<<"$calls")" -eq 1 ] \
  || fail "all pass: the program was not run whole exactly once: $calls"
grep -q "^stress-ng --cpu $(nproc) " <<<"$calls" || fail "all pass: no load of one per core: $calls"
load_pid=$(sed -n 's/^stress-ng .* pid \([0-9]*\)$/\1/p' <<<"$calls")
if [ -n "$load_pid" ] && kill -0 "$load_pid" 2>/dev/null; then
  fail "all pass: the load was left running"
  kill "$load_pid"
fi

# A failing test: named for each ctest run and for the whole run, with the
# seed that repeats it; the exit code says so.
export FAKE_FAIL=1
run -n 2 -j 2
[ $rc -ne 0 ] || fail "one fails: exit 0"
grep -q 'run 1: Suite.Fails' <<<"$out" || fail "one fails: first run not named: $out"
grep -q 'run 2: Suite.Fails' <<<"$out" || fail "one fails: second run not named: $out"
grep -q 'run 3' <<<"$out" && fail "one fails: -n 2 made a third run: $out"
grep -q 'one process: fake_tests (--gtest_shuffle --gtest_random_seed=[0-9]*)' <<<"$out" \
  || fail "one fails: whole run not named with its seed: $out"
grep -q '^ *Suite.Fails' <<<"$out" || fail "one fails: failed test of the whole run not named: $out"
unset FAKE_FAIL

# Only the tests asked for, and no load when told so.
run -R Passes -n 1 --no-load
[ $rc -eq 0 ] || fail "subset: exit $rc ($out)"
grep -q -- '--gtest_filter=Suite.Fails' <<<"$calls" && fail "subset: other test run: $calls"
grep -q '^stress-ng' <<<"$calls" && fail "subset: load made despite --no-load"

# No build tree: says so.
out=$(env PATH="$bin:$PATH" FAKE_LOG="$log" bash "$script" -B "$work/none" 2>&1)
[ $? -ne 0 ] || fail "no tree: exit 0"
grep -q 'no build tree' <<<"$out" || fail "no tree: not said: $out"

if [ $failures -eq 0 ]; then
  echo "stress-test: all cases passed"
  exit 0
fi
exit 1

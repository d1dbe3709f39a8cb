#!/usr/bin/env bash
# Drives scripts/install-deps against stand-ins for dpkg-query, apt-get, sudo
# and id placed first on PATH, so that no package is touched and no network
# is needed. Usage: InstallDepsTest.sh path/to/install-deps
set -u
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=$work/bin
mkdir -p "$bin"
log=$work/calls.log

# dpkg-query -W -f=FORMAT NAME...: reports every name as installed unless it
# is listed in FAKE_MISSING; like the real one, it complains on stderr about a
# name it does not know and exits 1 at the end.
cat >"$bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
echo "dpkg-query $*" >>"$FAKE_LOG"
shift 2
rc=0
for p in "$@"; do
  if [[ " $FAKE_MISSING " == *" $p "* ]]; then
    echo "dpkg-query: no packages found matching $p" >&2
    rc=1
  else
    echo "$p install ok installed"
  fi
done
exit $rc
EOF

cat >"$bin/apt-get" <<'EOF'
#!/usr/bin/env bash
echo "apt-get $*" >>"$FAKE_LOG"
case "$1" in
  update) exit "${FAKE_UPDATE_RC:-0}" ;;
  *) exit "${FAKE_INSTALL_RC:-0}" ;;
esac
EOF

cat >"$bin/sudo" <<'EOF'
#!/usr/bin/env bash
echo "sudo $*" >>"$FAKE_LOG"
exec "$@"
EOF

cat >"$bin/id" <<'EOF'
#!/usr/bin/env bash
[ "$1" = "-u" ] && { echo "${FAKE_UID:-0}"; exit 0; }
exit 1
EOF
chmod +x "$bin"/*

# The script runs with only the stand-ins and a few plain tools on PATH, so
# that whether this machine has sudo does not matter.
tools=$work/tools
mkdir -p "$tools"
for t in awk sed grep cat bash; do
  ln -s "$(command -v $t)" "$tools/$t"
done
bash_bin=$(command -v bash)

failures=0
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }

# run NAME: runs the script with the current FAKE_* settings; leaves its exit
# code in rc, its output in out, and the stand-ins' calls in calls.
run() {
  : >"$log"
  out=$(env PATH="$bin:$tools" FAKE_LOG="$log" "$bash_bin" "$script" 2>&1)
  rc=$?
  calls=$(cat "$log")
}

export FAKE_MISSING="" FAKE_UID=0 FAKE_UPDATE_RC=0 FAKE_INSTALL_RC=0

# Everything installed: one query, nothing else, exit 0, and quiet.
run
[ $rc -eq 0 ] || fail "all installed: exit $rc"
grep -q '^apt-get' <<<"$calls" && fail "all installed: apt-get was run"
[ "$(grep -c '^dpkg-query' <<<"$calls")" -eq 1 ] || fail "all installed: not exactly one dpkg query"
[ -z "$out" ] || fail "all installed: printed '$out'"

# Some missing (dpkg-query exits 1): exactly those are handed to apt-get,
# as root without sudo, and the user is told what is installed.
FAKE_MISSING="ccache xvfb"
run
[ $rc -eq 0 ] || fail "some missing: exit $rc ($out)"
grep -qx 'apt-get install -y -qq --no-install-recommends ccache xvfb' <<<"$calls" \
  || fail "some missing: apt-get install not called with exactly the missing packages: $calls"
grep -q '^apt-get update' <<<"$calls" || fail "some missing: no apt-get update"
grep -q '^sudo' <<<"$calls" && fail "some missing: sudo used as root"
grep -q 'ccache xvfb' <<<"$out" || fail "some missing: does not say what it installs"

# apt-get install failing: a message naming the packages and the command, non-zero exit.
FAKE_INSTALL_RC=100
run
[ $rc -ne 0 ] || fail "install fails: exit 0"
grep -q 'missing: ccache xvfb' <<<"$out" || fail "install fails: packages not named: $out"
grep -q 'apt-get install -y --no-install-recommends ccache xvfb' <<<"$out" \
  || fail "install fails: no command given: $out"
FAKE_INSTALL_RC=0

# No package source: apt-get update failing stops with the same kind of message.
FAKE_UPDATE_RC=100
run
[ $rc -ne 0 ] || fail "update fails: exit 0"
grep -q 'apt-get install' <<<"$calls" && fail "update fails: install still tried"
grep -q 'missing: ccache xvfb' <<<"$out" || fail "update fails: packages not named: $out"
FAKE_UPDATE_RC=0

# Not root: every apt-get goes through sudo, and the advice says so.
FAKE_UID=1000
run
[ $rc -eq 0 ] || fail "not root: exit $rc ($out)"
grep -qx 'sudo apt-get install -y -qq --no-install-recommends ccache xvfb' <<<"$calls" \
  || fail "not root: install not through sudo: $calls"
FAKE_INSTALL_RC=1
run
grep -q 'sudo apt-get install -y --no-install-recommends ccache xvfb' <<<"$out" \
  || fail "not root, install fails: advice lacks sudo: $out"
FAKE_INSTALL_RC=0

# Not root and no sudo at all: says so and gives the command, installs nothing.
rm "$bin/sudo"
run
[ $rc -ne 0 ] || fail "no sudo: exit 0"
grep -q 'sudo is not available' <<<"$out" || fail "no sudo: no reason given: $out"
grep -q '^apt-get' <<<"$calls" && fail "no sudo: apt-get run anyway"
grep -q 'apt-get install -y --no-install-recommends ccache xvfb' <<<"$out" \
  || fail "no sudo: no command given: $out"

if [ $failures -eq 0 ]; then
  echo "install-deps: all cases passed"
  exit 0
fi
exit 1

#!/usr/bin/env bash
# Installs the build into a temporary prefix (cmake --install) and checks that
# the programs and their registration with the desktop are there: a menu
# entry for each program and the sign file type (*.sgn). The desktop's own
# tools check the files when they are present. Usage:
# DesktopInstallTest.sh path/to/build
set -u
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
  cat "$prefix.log"
  rm -f "$prefix.log"
  echo "FAIL: cmake --install"
  exit 1
fi
rm -f "$prefix.log"

for f in bin/tabrel bin/tabrel-print share/tabrel/Stock.zel \
  share/applications/tabrel.desktop share/applications/tabrel-print.desktop \
  share/mime/packages/tabrel.xml; do
  [ -f "$prefix/$f" ] || fail "the install tree lacks $f"
done
for program in tabrel tabrel-print; do
  [ -x "$prefix/bin/$program" ] || fail "$program is not executable"
  entry=$prefix/share/applications/$program.desktop
  grep -qx "Exec=$program %f" "$entry" || fail "$program.desktop does not start $program"
  grep -qx "MimeType=application/x-tabrel-sign;" "$entry" ||
    fail "$program.desktop does not open signs"
done
grep -q '<glob pattern="\*.sgn"/>' "$prefix/share/mime/packages/tabrel.xml" ||
  fail "the file type does not claim *.sgn"

if command -v desktop-file-validate >/dev/null 2>&1; then
  for program in tabrel tabrel-print; do
    desktop-file-validate "$prefix/share/applications/$program.desktop" ||
      fail "desktop-file-validate refuses $program.desktop"
  done
else
  echo "desktop-file-validate is not installed: entries not validated"
fi
if command -v xmllint >/dev/null 2>&1; then
  xmllint --noout "$prefix/share/mime/packages/tabrel.xml" || fail "xmllint refuses tabrel.xml"
else
  echo "xmllint is not installed: the file type is not checked"
fi
# The desktop's database of file types built from the installed package
# names signs by their extension.
if command -v update-mime-database >/dev/null 2>&1; then
  if update-mime-database "$prefix/share/mime" >/dev/null 2>&1; then
    grep -q ':application/x-tabrel-sign:\*\.sgn' "$prefix/share/mime/globs2" ||
      fail "update-mime-database did not take *.sgn as a sign"
  else
    fail "update-mime-database refuses the file type"
  fi
fi

[ "$failures" -eq 0 ] && echo "desktop registration: all checks passed"
exit $((failures > 0))

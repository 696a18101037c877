#!/usr/bin/env bash
# A modder's first day: the stand-in's package unpacked to a fresh prefix,
# the mod template copied out of this tree and its ci.sh run with that prefix only.
# Its scenarios play natively and with --asi, its GoogleTest passes, and the
# JUnit files it leaves are what CI systems read.
# Usage: template_test.sh SOURCE_DIR
set -uo pipefail
source="$1"
work="$(mktemp -d)"
trap 'WINEPREFIX="$work/cache/rdr2-standin/wine" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
command -v xmllint >/dev/null || { echo "template_test: xmllint not found (package libxml2-utils)"; exit 1; }

# The package a modder downloads, unpacked where they like: whatever this
# build is (a sanitized one links its runtime), the package is the release's.
tarball="$(ls "$source"/dist/rdr2-standin-*-linux-x86_64.tar.gz 2>/dev/null | head -n 1)"
[ -n "$tarball" ] || { echo "FAILED: no dist/rdr2-standin-*-linux-x86_64.tar.gz: build the target packages"; exit 1; }
mkdir -p "$work/unpacked"
tar xzf "$tarball" -C "$work/unpacked" || { echo "FAILED: tar xzf $tarball"; exit 1; }
mv "$work"/unpacked/*/usr "$work/prefix"
cp -r "$source/templates/mod" "$work/my_mod"
rm -rf "$work/my_mod/build"
export XDG_CACHE_HOME="$work/cache"
unset WINEPREFIX
start=$(date +%s)
if ! (cd "$work/my_mod" && RDR2_STANDIN_PREFIX="$work/prefix" ./ci.sh) >"$work/ci.log" 2>&1; then
  fail "the template's ci.sh"
  tail -n 40 "$work/ci.log"
fi
echo "the template's ci.sh took $(($(date +%s) - start)) s"

out="$work/my_mod/build"
scenarios=$(ls "$source/templates/mod/scenarios"/*.scenario | wc -l)
for xml in scenarios-native.xml scenarios-asi.xml; do
  f="$out/$xml"
  [ -s "$f" ] || { fail "no $xml"; continue; }
  xmllint --noout --schema "$source/tests/install/junit.xsd" "$f" 2>"$work/xsd.err" ||
    { fail "$xml does not validate"; cat "$work/xsd.err"; }
  [ "$(xmllint --xpath 'string(/testsuites/@tests)' "$f")" = "$scenarios" ] ||
    fail "$xml counts $(xmllint --xpath 'string(/testsuites/@tests)' "$f") tests, the template has $scenarios scenarios"
  [ "$(xmllint --xpath 'count(//testcase)' "$f")" = "$scenarios" ] || fail "$xml lists a case per scenario"
  [ "$(xmllint --xpath 'count(//failure|//error)' "$f")" = 0 ] || fail "$xml holds a failure"
  [ "$(xmllint --xpath 'count(//testcase[system-out])' "$f")" = "$scenarios" ] ||
    fail "$xml lacks a case's timeline"
  echo "$xml: $(wc -c <"$f") bytes"
done
f="$out/tests.xml"
if [ -s "$f" ]; then
  cases="$(xmllint --xpath 'count(//testcase)' "$f")"
  [ "$cases" -ge 2 ] || fail "tests.xml holds $cases cases"
  [ "$(xmllint --xpath 'count(//testcase[@status!="run"]|//failure)' "$f")" = 0 ] ||
    fail "tests.xml holds a case that did not pass"
  echo "tests.xml: $cases cases, $(wc -c <"$f") bytes"
else
  fail "no tests.xml"
fi

# A failing scenario fails the CI, and says where.
cat >"$work/my_mod/scenarios/broken.scenario" <<'SCENARIO'
start at -2361.5 -2395.1 62.1
wait 1 s
expect text "Goodbye" drawn
SCENARIO
if (cd "$work/my_mod" && RDR2_STANDIN_PREFIX="$work/prefix" ./ci.sh) >"$work/ci2.log" 2>&1; then
  fail "ci.sh passed with a failing scenario"
fi
f="$out/scenarios-native.xml"
[ "$(xmllint --xpath 'count(//testcase[@name="broken"]/failure)' "$f")" = 1 ] ||
  fail "the failing scenario is no failure in the JUnit file"
xmllint --xpath 'string(//testcase[@name="broken"]/failure/@message)' "$f" | grep -q "broken.scenario:3:" ||
  fail "the failure does not name broken.scenario:3: $(xmllint --xpath 'string(//testcase[@name="broken"]/failure/@message)' "$f")"

((failures)) && exit 1
echo "the mod template built, played and tested from the installed stand-in alone"

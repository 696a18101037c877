#!/usr/bin/env bash
# Installs the stand-in to a fresh prefix, moves it, and plays from there:
# a shipped scenario natively and as the real .asi under wine (the first
# --asi run on a new cache folder says only that it makes the wine prefix),
# and a mod built with the installed CMake package, natively and with mingw.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build="$1"
source="$2"
work="$(mktemp -d)"
# wine's server for the test's own prefix ends before its folder goes.
trap 'WINEPREFIX="$work/cache/rdr2-standin/wine" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$work/prefix" --strip >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; echo "FAILED: cmake --install"; exit 1; }
for part in bin/play lib/libScriptHookRDR2.so lib/rdr2-standin/cinema.so \
  lib/rdr2-standin/mingw/libScriptHookRDR2.a include/rdr2-standin/sim/host/exports.h \
  include/rdr2-standin/toolkit/script_hook.h share/rdr2-standin/windows/runner.exe \
  share/rdr2-standin/windows/ScriptHookRDR2.dll share/rdr2-standin/page/report.html \
  share/doc/rdr2-standin/host.md share/doc/rdr2-standin/scenarios.md share/doc/rdr2-standin/modding.md \
  lib/cmake/RDR2StandIn/RDR2StandInConfig.cmake lib/cmake/RDR2StandIn/RDR2StandInTargets.cmake; do
  [ -f "$work/prefix/$part" ] || fail "$part not installed"
done
# Nothing installed names the tree it came from.
if grep -rlF "$source" "$work/prefix" >"$work/named"; then
  fail "installed files name $source:"
  cat "$work/named"
fi
mv "$work/prefix" "$work/moved"
p="$work/moved"
scenario="$p/share/rdr2-standin/scenarios/cinema/ticket_road.scenario"

"$p/bin/play" "$scenario" >"$work/native.timeline" 2>"$work/native.err" ||
  { fail "native ticket_road"; cat "$work/native.err"; }

# A new user's cache: the first --asi run makes the wine prefix, quietly.
export XDG_CACHE_HOME="$work/cache"
unset WINEPREFIX
asi="$p/share/rdr2-standin/asi/cinema.asi"
"$p/bin/play" --asi "$asi" "$scenario" >"$work/asi.timeline" 2>"$work/asi.err" ||
  { fail "--asi ticket_road"; cat "$work/asi.err"; }
[ -f "$XDG_CACHE_HOME/rdr2-standin/wine/.made-by-play" ] || fail "no wine prefix in the cache folder"
if grep -v "^play: making the wine prefix for --asi in $XDG_CACHE_HOME/rdr2-standin/wine" "$work/asi.err"; then
  fail "the first --asi run printed more than that it makes the wine prefix"
fi
grep -q "^play: making the wine prefix" "$work/asi.err" || fail "the first --asi run did not say it makes the wine prefix"
"$p/bin/play" --asi "$asi" "$scenario" >/dev/null 2>"$work/asi2.err" || fail "second --asi ticket_road"
if [ -s "$work/asi2.err" ]; then
  fail "a later --asi run printed on stderr:"
  cat "$work/asi2.err"
fi
tail -n 1 "$work/native.timeline" | grep -q . || fail "no native timeline"
diff <(tail -n 1 "$work/native.timeline") <(tail -n 1 "$work/asi.timeline") >/dev/null ||
  fail "--asi and native ticket_road end differently: $(tail -n 1 "$work/asi.timeline")"

# A mod's own build, with the package only.
mod="$source/tests/install/mod"
cmake -S "$mod" -B "$work/mod-native" -G Ninja -DCMAKE_PREFIX_PATH="$p" >"$work/mod.log" 2>&1 &&
  cmake --build "$work/mod-native" >>"$work/mod.log" 2>&1 ||
  { fail "the mod's native build"; cat "$work/mod.log"; }
"$p/bin/play" --plugin "$work/mod-native/hello.so" "$mod/hello.scenario" >"$work/mod.out" 2>&1 ||
  { fail "the mod played natively"; cat "$work/mod.out"; }
cmake -S "$mod" -B "$work/mod-mingw" -G Ninja -DCMAKE_PREFIX_PATH="$p" -DCMAKE_FIND_ROOT_PATH="$p" \
  -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" >"$work/mod.log" 2>&1 &&
  cmake --build "$work/mod-mingw" >>"$work/mod.log" 2>&1 ||
  { fail "the mod's mingw build"; cat "$work/mod.log"; }
"$p/bin/play" --asi "$work/mod-mingw/hello.asi" "$mod/hello.scenario" >"$work/mod.out" 2>&1 ||
  { fail "the mod played with --asi"; cat "$work/mod.out"; }

# The packages, where the build made them: their files, and what they need.
deb="$(ls "$source"/dist/rdr2-standin_*_amd64.deb 2>/dev/null | head -n 1)"
if [ -n "$deb" ]; then
  dpkg-deb -c "$deb" >"$work/deb.list"
  grep -q "./usr/bin/play$" "$work/deb.list" || fail "$deb holds no usr/bin/play"
  grep -q "./usr/lib/cmake/RDR2StandIn/RDR2StandInConfig.cmake$" "$work/deb.list" ||
    fail "$deb holds no CMake package"
  if command -v dpkg-shlibdeps >/dev/null; then
    # The package's own files: the build under test may be another (a
    # sanitized one links its runtime), but the .deb is the release build's.
    mkdir -p "$work/shlib/debian" && touch "$work/shlib/debian/control"
    dpkg-deb -x "$deb" "$work/debroot"
    r="$work/debroot/usr"
    needed="$(cd "$work/shlib" && dpkg-shlibdeps -O -l"$r/lib" "$r/bin/play" "$r/lib/libScriptHookRDR2.so" 2>/dev/null |
      sed 's/^shlibs:Depends=//; s/ ([^)]*)//g; s/, /\n/g' | sort -u)"
    declared="$(dpkg-deb -f "$deb" Depends | sed 's/ ([^)]*)//g; s/, /\n/g' | sort -u)"
    [ "$needed" = "$declared" ] || fail "the .deb depends on $(echo $declared), its files need $(echo $needed)"
  fi
fi

((failures)) && exit 1
echo "installed, moved and played: native, --asi, and a mod built with the package"

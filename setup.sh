#!/usr/bin/env bash
# Installs what is missing (Debian 12, as root), builds both plug-ins for
# Windows into dist/ with the release archive, builds the stand-in host with
# ./play, and plays each deliverable's default scenario in the stand-in. The
# tests are built by run-tests.sh, the Windows runner by ./play --asi.
set -euo pipefail
cd "$(dirname "$0")"

# What the build and a run need; the tests' own packages come with the test
# command (run-tests.sh).
scripts/need-packages.sh cmake ninja-build g++ libboost-context-dev libcli11-dev nlohmann-json3-dev \
  libcpp-httplib-dev g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64

cmake --preset windows >/dev/null
cmake --build --preset windows --target release_archive
cmake --preset native >/dev/null
cmake --build --preset native --target play

echo
echo "Built in dist/: $(cd dist && echo *)"

# See it run: each deliverable's default scenario, played in the stand-in.
for default in cinema/ticket_road toytrain/walk_up; do
  out="build/play/${default%%/*}"
  name="${default##*/}"
  mkdir -p "$out"
  echo
  echo "./play scenarios/$default.scenario (the end of its timeline):"
  ./play --map "$out/$name.svg" --trace "$out/$name.json" "scenarios/$default.scenario" \
    >"$out/$name.timeline"
  tail -n 10 "$out/$name.timeline"
  echo "  whole timeline: $out/$name.timeline"
  echo "  map: $out/$name.svg    trace: $out/$name.json (Trace Event Format)"
done

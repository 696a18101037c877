#!/usr/bin/env bash
# Runs every test: the stand-in host, the toolkit, both plug-ins natively
# (built with g++, with clang++, and under the address and undefined-behaviour
# sanitizers), and the real .asi files under wine. Rebuilds first.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
for preset in native-clang native-sanitize; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
for preset in native native-clang native-sanitize; do
  ctest --preset "$preset" -j2
done

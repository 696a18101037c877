#!/usr/bin/env bash
# Runs every test: the stand-in host, the toolkit, both plug-ins natively
# (built with g++ and again with clang++), and the real .asi files under wine.
# Rebuilds first.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
cmake --preset native-clang >/dev/null
cmake --build --preset native-clang
ctest --preset native -j2
ctest --preset native-clang -j2

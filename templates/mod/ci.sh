#!/bin/sh
# The mod's whole CI: build the mod natively and as its .asi, play every
# scenario in scenarios/ with each, and run the C++ tests. Each writes JUnit
# XML into build/ for the CI system to read. The stand-in is found where it
# was installed: /usr from the .deb, or RDR2_STANDIN_PREFIX.
set -eu
cd "$(dirname "$0")"
prefix=${RDR2_STANDIN_PREFIX:-/usr}
play=$prefix/bin/play

cmake -S . -B build/native -DCMAKE_PREFIX_PATH="$prefix"
cmake --build build/native
cmake -S . -B build/asi -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake"
cmake --build build/asi

status=0
"$play" test --plugin build/native/my_mod.so --junit build/scenarios-native.xml scenarios || status=1
"$play" test --asi build/asi/my_mod.asi --junit build/scenarios-asi.xml scenarios || status=1
ctest --test-dir build/native --output-on-failure --output-junit "$PWD/build/tests.xml" || status=1
exit $status

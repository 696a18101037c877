#!/usr/bin/env bash
# Runs every test: the stand-in host, the toolkit, both plug-ins natively
# (built with g++, and with clang++ under the address and undefined-behaviour
# sanitizers), and the real .asi files under wine. Installs what the tests
# need and rebuilds first.
set -euo pipefail
cd "$(dirname "$0")"
scripts/need-packages.sh clang clang-format clang-tidy libgtest-dev libbenchmark-dev librapidcheck-dev \
  librsvg2-bin libpng-dev gcovr dpkg-dev libxml2-utils ccache
# The browser tests' own needs: the system's chromium, and playwright-core
# (which drives it; no browser of its own is downloaded). Asked of the
# commands, not the packages: a machine whose Node.js comes with its own npm
# has no Debian npm package, and cannot take one beside it.
command -v chromium >/dev/null || scripts/need-packages.sh chromium
command -v npm >/dev/null || scripts/need-packages.sh nodejs npm
(cd tests/browser && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent)
./setup.sh
# Everything, tests and examples included, beyond what setup's job needs.
for preset in windows native native-sanitize; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
# The modders' packages, into dist/; tests/install plays from them.
cmake --build --preset native --target packages
# The tests labelled windows (the .asi files under wine, the packages
# installed) test the same Windows build and packages whichever native build
# drives them: the native preset runs them, the sanitized one all the rest.
ctest --preset native -j2
ctest --preset native-sanitize -j2 -LE windows

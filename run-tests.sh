#!/usr/bin/env bash
# Runs every test: the stand-in host, the toolkit, both plug-ins natively,
# and the real .asi files under wine. Rebuilds first.
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh
ctest --preset native -j2

#!/usr/bin/env bash
# The repo's format (.clang-format) and static analysis (.clang-tidy), as CI
# checks them. The analysis reads the clang build's compile_commands.json (the
# sanitized build is clang's, and compiles each file by itself), so run
# ./run-tests.sh first.
set -euo pipefail
cd "$(dirname "$0")"

echo "clang-format: checking every C++ file"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

db=build/native-sanitize
if [ ! -f "$db/compile_commands.json" ]; then
  echo "no $db/compile_commands.json: build the native-sanitize preset first" >&2
  exit 1
fi
# Only what the native build compiles is analysed; the Windows-only fiber and
# runner are plain platform glue.
mapfile -t sources < <(git ls-files 'toolkit/*.cpp' 'cinema/*.cpp' 'toytrain/*.cpp' 'sim/*.cpp' 'tools/*.cpp' 'testing/*.cpp' \
  'soak/*.cpp' 'bench/*.cpp' |
  while read -r f; do grep -q "\"file\": \"$PWD/$f\"" "$db/compile_commands.json" && echo "$f"; done)
# A file analysed clean before, and unchanged in all it reads, is not analysed
# again (scripts/tidy.py says how that is told).
scripts/tidy.py "$db" "${sources[@]}"
echo "style: clean"

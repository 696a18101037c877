#!/usr/bin/env bash
# Installs what is missing (Debian 12, as root), builds both plug-ins for
# Windows into dist/ with the release archive, builds the stand-in host and
# tests natively, and plays each deliverable's default scenario in the stand-in.
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ clang clang-format clang-tidy libgtest-dev libbenchmark-dev
          libboost-context-dev librapidcheck-dev libcli11-dev nlohmann-json3-dev libcpp-httplib-dev librsvg2-bin libpng-dev
          g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64 gcovr)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run this as root to install them)" >&2
    exit 1
  fi
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset native >/dev/null
cmake --build --preset native

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

#!/usr/bin/env bash
# Runs ./setup.sh from a clean clone of this tree's last commit on a new
# Debian 12 root (debootstrap, minbase), as a new user's machine would: once
# bare, and once with GoogleTest and Google Benchmark installed, as a C++
# developer's machine has. Prints the time of each. As root:
#   scripts/fresh-machine.sh            # both roots
#   scripts/fresh-machine.sh bare       # or: dev
#   scripts/fresh-machine.sh deb        # dist/'s .deb installed and played
# The base root is made once and kept in $FRESH_CACHE
# (/var/cache/rdr2-standin-fresh); each run starts from a copy of it.
set -euo pipefail
cd "$(dirname "$0")/.."
source_tree="$(pwd)"
cache="${FRESH_CACHE:-/var/cache/rdr2-standin-fresh}"
budget=240
if [ "$(id -u)" -ne 0 ]; then
  echo "fresh-machine: run it as root (it uses debootstrap and chroot)" >&2
  exit 1
fi
command -v debootstrap >/dev/null || scripts/need-packages.sh debootstrap

mkdir -p "$cache"
if [ ! -f "$cache/base/.complete" ]; then
  echo "fresh-machine: making the base Debian 12 root in $cache/base (once)"
  rm -rf "$cache/base"
  debootstrap --variant=minbase bookworm "$cache/base" http://deb.debian.org/debian >"$cache/debootstrap.log"
  touch "$cache/base/.complete"
fi

root=""
cleanup() {
  [ -n "$root" ] || return 0
  for m in dev/pts dev sys proc; do
    mountpoint -q "$root/$m" && umount -l "$root/$m"
  done
  rm -rf "$root"
}
trap cleanup EXIT

# One run: a fresh copy of the base, the packages given installed first
# (not timed), then ./setup.sh timed.
run() {
  local name="$1"
  shift
  root="$cache/root-$name"
  rm -rf "$root"
  cp -a "$cache/base" "$root"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mount -t proc proc "$root/proc"
  mount -t sysfs sys "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  git clone -q --no-hardlinks "$source_tree" "$root/src"
  if (($#)); then
    echo "fresh-machine ($name): installing $* first"
    chroot "$root" /bin/sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $* >/dev/null"
  fi
  echo "fresh-machine ($name): ./setup.sh"
  local start end status=0
  start=$(date +%s)
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root /bin/bash -c 'cd /src && ./setup.sh' \
    >"$cache/setup-$name.log" 2>&1 || status=$?
  end=$(date +%s)
  local took=$((end - start))
  if ((status)); then
    tail -n 20 "$cache/setup-$name.log"
    echo "fresh-machine ($name): ./setup.sh FAILED (exit $status) after ${took} s; log: $cache/setup-$name.log"
  elif ((took > budget)); then
    echo "fresh-machine ($name): ./setup.sh passed in ${took} s, over the ${budget} s budget"
    status=1
  else
    echo "fresh-machine ($name): ./setup.sh passed in ${took} s"
  fi
  cleanup
  root=""
  return $status
}

# The modders' package on a new root: installed with what it depends on and
# recommends, then a shipped scenario played natively and with --asi.
run_deb() {
  local deb
  deb="$(ls "$source_tree"/dist/rdr2-standin_*_amd64.deb 2>/dev/null | head -n 1)"
  [ -n "$deb" ] || { echo "fresh-machine (deb): no dist/rdr2-standin_*_amd64.deb: build the target packages" >&2; return 1; }
  root="$cache/root-deb"
  rm -rf "$root"
  cp -a "$cache/base" "$root"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  mount -t proc proc "$root/proc"
  mount -t sysfs sys "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  cp "$deb" "$root/tmp/standin.deb"
  local start status=0 scenario=/usr/share/rdr2-standin/scenarios/cinema/ticket_road.scenario
  start=$(date +%s)
  chroot "$root" /bin/sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/standin.deb >/dev/null" || status=$?
  echo "fresh-machine (deb): apt install of the .deb with its dependencies: $(($(date +%s) - start)) s (exit $status)"
  for how in "" "--asi /usr/share/rdr2-standin/asi/cinema.asi" "--asi /usr/share/rdr2-standin/asi/cinema.asi"; do
    start=$(date +%s.%N)
    chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/root /bin/sh -c "play $how $scenario >/dev/null" || status=$?
    echo "fresh-machine (deb): play ${how:-natively} ticket_road: $(echo "$(date +%s.%N) - $start" | bc) s"
  done
  chroot "$root" /bin/sh -c 'wineserver -k' 2>/dev/null || true
  cleanup
  root=""
  return $status
}

failed=0
which="${1:-both}"
if [ "$which" = deb ]; then run_deb || failed=1; fi
if [ "$which" = both ] || [ "$which" = bare ]; then run bare || failed=1; fi
if [ "$which" = both ] || [ "$which" = dev ]; then run dev libgtest-dev libbenchmark-dev || failed=1; fi
exit $failed

#!/usr/bin/env bash
# Measures the CPU the program uses while it sits on its title screen under
# a private Xvfb: starts it, lets it settle, then reads its user and system
# time over a window of seconds. Prints the share of one core.
#
#   scripts/idle-cpu.sh [BINARY] [SECONDS] [-- PROGRAM OPTIONS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$here/build/tidepool-dash}")
seconds=${2:-10}
shift $(( $# < 2 ? $# : 2 ))
[ "${1:-}" = "--" ] && shift
settle=3

display=:$(( 150 + $$ % 50 ))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
data=$(mktemp -d)
cleanup() {
    [ -n "${game:-}" ] && kill "$game" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$data"
}
trap cleanup EXIT
sleep 1

(cd "$data" && DISPLAY=$display SDL_AUDIODRIVER=dummy exec "$binary" "$@" >"$data/out.txt" 2>&1) &
game=$!
sleep "$settle"

if ! kill -0 "$game" 2>/dev/null; then cat "$data/out.txt" >&2; echo "idle-cpu: the program ended" >&2; exit 1; fi
ticks() { awk '{print $14 + $15}' "/proc/$game/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "%.1f %% of one core over %d s\n", 100 * t / hz / s, s }'

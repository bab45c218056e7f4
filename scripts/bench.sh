#!/bin/sh
# `make bench`: every benchmark under bench/, native and under Wine, each printing its
# figures and, where it has one, its ratio against a baseline run in the same call.
set -eu
# The build that runs here: the 32-bit product, or the x64 build where 32-bit code cannot
# run (make passes KELVARIN_ARCH; see scripts/arches.sh).
arch=${KELVARIN_ARCH:-x86}
build=win32
[ "$arch" = x64 ] && build=win64
cd "$(dirname "$0")/.."
root=$(pwd)
state=$root/build/bench/wine
env_script=$root/scripts/wine-env.sh
ran=0
echo "== measured on the $arch build (build/$build)"
for b in "$root"/build/native/bench/*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b"
    ran=1
done
# Only the benchmarks themselves: build/$build/bench also holds the programs they start
# (minimal_tray.exe would wait for a WM_CLOSE that never comes).
win32=$(ls "$root"/build/$build/bench/*_bench_win32.exe 2>/dev/null || true)
session=
if [ -n "$win32" ]; then
    sh "$env_script" start "$state" "$arch" >/dev/null
    trap 'sh "$env_script" stop "$state"' EXIT
    session=$state
    for b in $win32; do
        echo "== $(basename "$b") (Wine, $arch)"
        sh "$env_script" exec "$state" "$b"
        ran=1
    done
fi
for s in "$root"/bench/*.sh; do
    [ -f "$s" ] || continue
    echo "== $(basename "$s")"
    # Scripts that need Wine may reuse this session (second argument, empty if none).
    sh "$s" "$root" ${session:+"$session"}
    ran=1
done
[ $ran = 1 ] || echo "no benchmarks yet"

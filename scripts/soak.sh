#!/bin/sh
# `make soak`: every user action 1,000 times in one program session (tests/e2e/soak_e2e.cpp),
# with the program's objects, handles and memory after the first round and the last.
set -eu
# The build that runs here: the 32-bit product, or the x64 build where 32-bit code cannot
# run (make passes KELVARIN_ARCH; see scripts/arches.sh).
arch=${KELVARIN_ARCH:-x86}
build=win32
[ "$arch" = x64 ] && build=win64
cd "$(dirname "$0")/.."
root=$(pwd)
state=$root/build/soak/wine
env_script=$root/scripts/wine-env.sh
sh "$env_script" start "$state" "$arch" >/dev/null
trap 'sh "$env_script" stop "$state"' EXIT
KELVARIN_SOAK_ROUNDS=${KELVARIN_SOAK_ROUNDS:-1000} \
    sh "$env_script" exec "$state" "$root/build/$build/tests/soak_e2e.exe"

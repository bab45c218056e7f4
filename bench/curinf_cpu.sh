#!/bin/sh
# CPU time of Kelvarin.exe while the cursor coordinate window is open, 10 seconds without
# input, as a share of one core: the window repaints at the system's shortest timer
# interval (about 100 times a second under Wine) whether or not the pointer moves.
#   curinf_cpu.sh ROOT [STATE]   STATE: a running wine-env.sh session to reuse
set -eu
root=${1:?usage: curinf_cpu.sh REPO_ROOT [WINE_STATE]}
ini=$root/build/bench/curinf.ini
mkdir -p "$root/build/bench"
# The settings file is in code page 932, as the program reads it.
printf '[Kelvarin]\r\n虫眼鏡を表示=0\r\nカーソル座標窓を表示=1\r\n[カーソル座標窓]\r\nx 位置=100\r\ny 位置=100\r\n' |
    iconv -f UTF-8 -t CP932 >"$ini"
KELVARIN_IDLE_INI=$ini KELVARIN_IDLE_WHAT="with the coordinate window open" KELVARIN_IDLE_TARGET=5 \
    sh "$root/bench/idle_cpu.sh" "$@"
rm -f "$ini"

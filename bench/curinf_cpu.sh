#!/bin/sh
# CPU time of Kelvarin.exe while the cursor coordinate window is open and the pointer
# still, 10 seconds without input, as a share of one core, against a baseline measured in
# the same session just before: a bare window whose 10 ms timer only calls GetCursorPos
# (bench/bare_poll.cpp). Under Wine that poll alone is a server round trip 100 times a
# second; the window should cost little more than it while nothing changes on it.
#   curinf_cpu.sh ROOT [STATE]   STATE: a running wine-env.sh session to reuse
set -eu
root=${1:?usage: curinf_cpu.sh REPO_ROOT [WINE_STATE]}
state=${2:-}
arch=${KELVARIN_ARCH:-x86}
goal=1.2
work=$root/build/bench
ini=$work/curinf.ini
mkdir -p "$work"
# One session for both runs, so that they share a wineserver and an X server.
own_session=0
if [ -z "$state" ] || [ ! -f "$state/env.sh" ]; then
    state=$work/curinf-wine
    own_session=1
    sh "$root/scripts/wine-env.sh" start "$state" "$arch" >/dev/null
fi
cleanup() {
    rm -f "$ini" "$work/curinf.base" "$work/curinf.window"
    if [ "$own_session" = 1 ]; then sh "$root/scripts/wine-env.sh" stop "$state"; fi
}
trap cleanup EXIT

KELVARIN_IDLE_PROGRAM=bench/bare_poll.exe KELVARIN_IDLE_EXIT_CLASS=KelvarinBenchBarePoll \
    KELVARIN_IDLE_WHAT="(baseline: a 10 ms timer that only calls GetCursorPos)" \
    KELVARIN_IDLE_TARGET=100 KELVARIN_IDLE_RESULT=$work/curinf.base \
    sh "$root/bench/idle_cpu.sh" "$root" "$state"
# The settings file is in code page 932, as the program reads it.
printf '[Kelvarin]\r\n虫眼鏡を表示=0\r\nカーソル座標窓を表示=1\r\n[カーソル座標窓]\r\nx 位置=100\r\ny 位置=100\r\n' |
    iconv -f UTF-8 -t CP932 >"$ini"
KELVARIN_IDLE_INI=$ini KELVARIN_IDLE_WHAT="with the coordinate window open" KELVARIN_IDLE_TARGET=5 \
    KELVARIN_IDLE_RESULT=$work/curinf.window sh "$root/bench/idle_cpu.sh" "$root" "$state"
awk -v base="$(cat "$work/curinf.base")" -v shown="$(cat "$work/curinf.window")" -v goal=$goal 'BEGIN {
    ratio = base > 0 ? shown / base : 0
    verdict = (base > 0 && ratio <= goal) ? "met" : "NOT met"
    printf "coordinate window, pointer still: %.3f %% of one core against the bare poll %.3f %%: %.2fx (goal: at most %.1fx: %s)\n",
           shown, base, ratio, goal, verdict
}'

#!/bin/sh
# Capture benchmarks, each in a Wine session of its own size (X screen = Wine desktop):
#  - hotkey 1 to complete file against `xwd -root` of the same X server, at 1024x768, at
#    larger desktops (KELVARIN_CAPTURE_SIZES, default 1920x1080 and 3840x2160) and on two
#    1024x768 monitors side by side (2048x768: the two-monitor test server, no virtual
#    desktop), in alternating batches so that a busy machine slows both alike;
#  - hotkey 2 from the window's DC against the screen-DC copy of a composed desktop;
#  - WriteBmpFile of a 1920x1080 picture against one fwrite of the same bytes;
#  - objects and private memory after the first and the 1000th capture.
#   capture.sh ROOT [STATE]   (STATE, a running session, is not used: sizes differ)
set -eu
# The build that runs here: the 32-bit product, or the x64 build where 32-bit code cannot
# run (make passes KELVARIN_ARCH; see scripts/arches.sh).
arch=${KELVARIN_ARCH:-x86}
build=win32
[ "$arch" = x64 ] && build=win64
root=${1:?usage: capture.sh REPO_ROOT}
env_script=$root/scripts/wine-env.sh
timing=$root/build/$build/bench/capture_timing.exe
state=$root/build/bench/capture-wine
batch=${KELVARIN_CAPTURE_BATCH:-10}
sizes="1024x768 ${KELVARIN_CAPTURE_SIZES:-1920x1080 3840x2160}"
[ -f "$timing" ] || { echo "capture: $timing is missing (make test or make bench)" >&2; exit 1; }
command -v xwd >/dev/null || { echo "capture: xwd is missing (package x11-apps)" >&2; exit 1; }
trap 'sh "$env_script" stop "$state" >/dev/null 2>&1 || true' EXIT

summary() {  # name, then one time in ms per line on stdin
    sort -n | awk -v name="$1" '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%s %.2f %.2f %.2f %d\n", name, m, v[1], v[NR], NR }'
}

for size in $sizes two-monitors; do
    if [ "$size" = two-monitors ]; then
        KELVARIN_MONITORS=right sh "$env_script" start "$state" "$arch" >/dev/null
        size="2048x768 (two monitors)"
    else
        KELVARIN_SCREEN=$size sh "$env_script" start "$state" "$arch" >/dev/null
    fi
    display=$(. "$state/env.sh" && echo "$DISPLAY")
    : >"$state/ours.txt"
    : >"$state/xwd.txt"
    for round in 1 2 3; do
        line=$(sh "$env_script" exec "$state" "$timing" speed "$batch")
        case $line in capture*) ;; *) echo "$line"; exit 1 ;; esac
        echo "$line" | tr ' ' '\n' | tail -n +4 >>"$state/ours.txt"
        # xwd -root of the same X server into a file, process start included, as the
        # capture's figure includes the key press.
        i=0
        while [ $i -lt "$batch" ]; do
            s=$(date +%s%N)
            DISPLAY=$display xwd -root -silent -out "$state/root.xwd"
            e=$(date +%s%N)
            echo "$(( (e - s) / 1000 ))" | awk '{ print $1 / 1000 }' >>"$state/xwd.txt"
            i=$((i + 1))
        done
    done
    rm -f "$state/root.xwd"
    { summary ours <"$state/ours.txt"; summary xwd <"$state/xwd.txt"; } | awk -v size="$size" '
        { med[$1] = $2; lo[$1] = $3; hi[$1] = $4; n = $5 }
        END {
            r = med["ours"] / med["xwd"]
            printf "hotkey 1 to complete file at %s, %d runs each:\n", size, n
            printf "  Kelvarin.exe  median %7.1f ms   min %7.1f   max %7.1f\n", med["ours"], lo["ours"], hi["ours"]
            printf "  xwd -root     median %7.1f ms   min %7.1f   max %7.1f\n", med["xwd"], lo["xwd"], hi["xwd"]
            printf "  ratio of medians %.2f (target: 1.0 or less: %s)\n", r, r <= 1.0 ? "met" : "NOT met"
        }'
    sh "$env_script" stop "$state" >/dev/null
done

sh "$env_script" start "$state" "$arch" >/dev/null
sh "$env_script" exec "$state" "$timing" window "$batch"
sh "$env_script" exec "$state" "$timing" writer 50
sh "$env_script" exec "$state" "$timing" repeat 1000

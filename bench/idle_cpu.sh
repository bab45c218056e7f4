#!/bin/sh
# Idle cost: the CPU time Kelvarin.exe uses over 10 seconds without input, read from the
# Linux process that Wine runs it in (/proc/PID/stat utime+stime, and the threads' run
# time in nanoseconds from schedstat), as a share of one core. The wineserver serves the
# whole session, so its time is shown apart, over an equal window before the program
# starts and one while it runs.
#   idle_cpu.sh ROOT [STATE]   STATE: a running wine-env.sh session to reuse
# KELVARIN_IDLE_INI names a settings file to start with (for example one that opens a tool
# window), KELVARIN_IDLE_WHAT what the heading calls the state, KELVARIN_IDLE_TARGET the
# target in percent of one core. KELVARIN_IDLE_PROGRAM measures another program of the
# build instead (a baseline, e.g. bench/bare_poll.exe), ended by WM_CLOSE to its window of
# class KELVARIN_IDLE_EXIT_CLASS; KELVARIN_IDLE_RESULT names a file that receives the share
# of one core (threads run) for a caller that compares two runs.
set -eu
# The build that runs here: the 32-bit product, or the x64 build where 32-bit code cannot
# run (make passes KELVARIN_ARCH; see scripts/arches.sh).
arch=${KELVARIN_ARCH:-x86}
build=win32
[ "$arch" = x64 ] && build=win64
root=${1:?usage: idle_cpu.sh REPO_ROOT [WINE_STATE]}
state=${2:-}
env_script=$root/scripts/wine-env.sh
work=$root/build/bench/idle
window=${KELVARIN_IDLE_SECONDS:-10}
settle=3
target_percent=${KELVARIN_IDLE_TARGET:-0.5}
what=${KELVARIN_IDLE_WHAT:-idle}
program=${KELVARIN_IDLE_PROGRAM:-Kelvarin.exe}
name=$(basename "$program")
exit_class=${KELVARIN_IDLE_EXIT_CLASS:-}

[ -f "$root/build/$build/$program" ] || { echo "idle_cpu: build/$build/$program is missing (make test or make bench)" >&2; exit 1; }
[ -f "$root/build/$build/bench/post_exit.exe" ] || { echo "idle_cpu: build/$build/bench/post_exit.exe is missing (make test or make bench)" >&2; exit 1; }

launcher=
cleanup() {
    if [ -n "$launcher" ] && kill -0 "$launcher" 2>/dev/null; then
        sh "$env_script" exec "$state" "$root/build/$build/bench/post_exit.exe" $exit_class >/dev/null 2>&1 || true
        wait "$launcher" 2>/dev/null || true
    fi
    if [ "$own_session" = 1 ]; then
        sh "$env_script" stop "$state"
    fi
}
if [ -n "$state" ] && [ -f "$state/env.sh" ]; then
    own_session=0
else
    state=$root/build/bench/idle-wine
    own_session=1
    sh "$env_script" start "$state" "$arch" >/dev/null
fi
trap cleanup EXIT
prefix=$(. "$state/env.sh" && echo "$WINEPREFIX")

rm -rf "$work/app"
mkdir -p "$work/app"
exe=$work/app/$name
cp "$root/build/$build/$program" "$exe"
if [ -n "${KELVARIN_IDLE_INI:-}" ]; then cp "$KELVARIN_IDLE_INI" "$work/app/kelvarin.ini"; fi

ticks_per_second=$(getconf CLK_TCK)

# utime+stime in clock ticks (fields 14 and 15; the name field before them has no spaces
# for these processes, but skip past its closing parenthesis all the same).
cpu_ticks() {
    sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}
# Nanoseconds on a CPU, summed over the process's threads.
run_ns() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'
}
# Context switches (each a sleep ended or a preemption), summed over the threads.
switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches/ { s += $2 } END { print s + 0 }'
}
now_ns() { date +%s%N; }

# The session's wineserver: it runs in /tmp/.wine-UID/server-DEV-INODE of the prefix.
server_dir=$(printf 'server-%x-%x' "$(stat -c %d "$prefix")" "$(stat -c %i "$prefix")")
wineserver_pid=
for p in $(pgrep wineserver || true); do
    case $(readlink "/proc/$p/cwd" 2>/dev/null || true) in
        */"$server_dir") wineserver_pid=$p ;;
    esac
done

# The wineserver with the session at rest, before the program starts.
server_rest_run_ns=
if [ -n "$wineserver_pid" ]; then
    s0=$(run_ns "$wineserver_pid"); t0=$(now_ns)
    sleep "$window"
    s1=$(run_ns "$wineserver_pid"); t1=$(now_ns)
    server_rest_run_ns=$((s1 - s0))
    server_rest_ns=$((t1 - t0))
fi

sh "$env_script" exec "$state" "$exe" &
launcher=$!
# Wine replaces the launcher's `wine` with the program itself: a child of the launcher
# with the program's name whose command line is the copy's path.
pid=
i=0
while [ -z "$pid" ]; do
    for p in $(pgrep -P "$launcher" -x "$name" || true); do
        case $(tr '\0' ' ' <"/proc/$p/cmdline" 2>/dev/null || true) in
            "$exe"*) pid=$p ;;
        esac
    done
    [ -n "$pid" ] && break
    kill -0 "$launcher" 2>/dev/null || { echo "idle_cpu: $name ended at once (another instance running?)" >&2; exit 1; }
    i=$((i + 1)); [ $i -gt 100 ] && { echo "idle_cpu: no Linux process for $exe" >&2; exit 1; }
    sleep 0.1
done
sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "idle_cpu: $name ended while settling" >&2; exit 1; }

w0=0; w1=0
c0=$(cpu_ticks "$pid"); n0=$(run_ns "$pid"); x0=$(switches "$pid")
if [ -n "$wineserver_pid" ]; then w0=$(run_ns "$wineserver_pid"); fi
t0=$(now_ns)
sleep "$window"
c1=$(cpu_ticks "$pid"); n1=$(run_ns "$pid"); x1=$(switches "$pid")
if [ -n "$wineserver_pid" ]; then w1=$(run_ns "$wineserver_pid"); fi
t1=$(now_ns)

elapsed_ns=$((t1 - t0))
ticks=$((c1 - c0))
awk -v name="$name" -v what="$what" -v t="$ticks" -v hz="$ticks_per_second" -v ns=$((n1 - n0)) -v el="$elapsed_ns" \
    -v sw=$((x1 - x0)) -v target="$target_percent" -v settle="$settle" 'BEGIN {
    secs = el / 1e9
    pct = 100 * (ns / 1e9) / secs
    printf "%s %s for %.1f s (after %d s to settle):\n", name, what, secs, settle
    printf "  CPU time (utime+stime)  %6.0f ms   %.3f %% of one core  (in whole clock ticks)\n", 1000 * t / hz, 100 * (t / hz) / secs
    printf "  CPU time (threads run)  %6.1f ms   %.3f %% of one core  (target: under %.1f %%: %s)\n",
           ns / 1e6, pct, target, pct < target ? "met" : "NOT met"
    printf "  context switches        %6d      %.1f a second\n", sw, sw / secs
}'
if [ -n "$wineserver_pid" ]; then
    echo "  wineserver (shared by the whole session):"
    awk -v r="$server_rest_run_ns" -v rns="$server_rest_ns" -v w=$((w1 - w0)) -v el="$elapsed_ns" 'BEGIN {
        printf "    before the program    %6.1f ms   %.3f %% of one core\n", r / 1e6, 100 * r / rns
        printf "    with it running       %6.1f ms   %.3f %% of one core\n", w / 1e6, 100 * w / el
    }'
else
    echo "  wineserver: not found for $prefix"
fi

if [ -n "${KELVARIN_IDLE_RESULT:-}" ]; then
    awk -v ns=$((n1 - n0)) -v el="$elapsed_ns" 'BEGIN { printf "%.4f\n", 100 * ns / el }' >"$KELVARIN_IDLE_RESULT"
fi

# A clean exit, as the menu's Exit does; the launcher passes on the program's exit code.
sh "$env_script" exec "$state" "$root/build/$build/bench/post_exit.exe" $exit_class
set +e
wait "$launcher"
code=$?
set -e
launcher=
[ "$code" = 0 ] || { echo "idle_cpu: $name exited with $code" >&2; exit 1; }
rm -rf "$work/app"

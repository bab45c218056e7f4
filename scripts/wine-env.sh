#!/bin/sh
# A private Wine session for the Win32 test tiers: its own Xvfb, its own prefix under the
# build tree, a Japanese locale (ANSI code page 932) and a 1024x768 virtual desktop that
# every plain `wine prog.exe` joins. KELVARIN_SCREEN=WxH at start gives X screen and
# desktop another size (the capture benchmark's large desktops).
#
# KELVARIN_MONITORS=LAYOUT at start gives two monitors instead: a headless Xorg with the
# dummy driver (scripts/xorg-dummy.conf) whose two RandR outputs xrandr arranges, and no
# virtual desktop, so that Wine shows each output as a monitor at its place (the primary's
# corner at 0,0):
#   right   primary 0,0 1024x768, second 1024,0 1024x768
#   left    primary 0,0 1024x768, second -1024,0 1024x768
#   mixed   primary 0,0 1024x768, second 800x600 at -800,-300: an L-shape with gaps
#   single  the primary alone
#
#   wine-env.sh start STATE [x86|x64]   start X and wineserver, creating the prefix if
#                                needed: a 32-bit one (the default), or a 64-bit one run by
#                                the 64-bit loader for the x64 build
#   wine-env.sh exec STATE EXE [ARGS...]   run EXE in that session, passing its exit code
#   wine-env.sh desktop STATE    bring the desktop and taskbar back (after a log-off)
#   wine-env.sh layout STATE LAYOUT   rearrange the monitors of a two-monitor session
#   wine-env.sh run STATE ARCH EXE [ARGS...]   start, exec and stop in one (a CTest case)
#   wine-env.sh stop STATE       stop what start started
set -eu

cmd=${1:?usage: wine-env.sh start|exec|stop STATE ...}
state=${2:?state directory}
shift 2
mkdir -p "$state"
state=$(cd "$state" && pwd)
envfile=$state/env.sh

# The size a running session was started with, for bringing its desktop back.
screen=${KELVARIN_SCREEN:-1024x768}
if [ "$cmd" != start ] && [ -f "$envfile" ]; then
    screen=$(sed -n 's/^# screen //p' "$envfile")
    screen=${screen:-1024x768}
fi

monitors=${KELVARIN_MONITORS:-}
if [ "$cmd" != start ] && [ -f "$envfile" ]; then
    monitors=$(sed -n 's/^# monitors //p' "$envfile")
fi

layout_args() {
    case $1 in
    right) echo "--output DUMMY0 --mode 1024x768 --pos 0x0 --primary --output DUMMY1 --mode 1024x768 --pos 1024x0" ;;
    left) echo "--output DUMMY1 --mode 1024x768 --pos 0x0 --output DUMMY0 --mode 1024x768 --pos 1024x0 --primary" ;;
    mixed) echo "--output DUMMY1 --mode 800x600 --pos 0x0 --output DUMMY0 --mode 1024x768 --pos 800x300 --primary" ;;
    single) echo "--output DUMMY1 --off --output DUMMY0 --mode 1024x768 --pos 0x0 --primary" ;;
    *) echo "wine-env: unknown monitor layout '$1'" >&2; exit 2 ;;
    esac
}

apply_layout() {
    args=$(layout_args "$1")
    # A disconnected dummy output has no modes until one is added.
    xrandr --addmode DUMMY1 1024x768 2>/dev/null || true
    xrandr --addmode DUMMY1 800x600 2>/dev/null || true
    # shellcheck disable=SC2086
    xrandr $args
    # A query that probes the outputs: until one has, the server reports the second output
    # as disconnected to a client that asks for the current state only (Wine does).
    xrandr -q >/dev/null
}

# Xorg with the dummy driver on display :$1, its outputs in the layout asked for.
start_monitors() {
    [ -x /usr/lib/xorg/Xorg ] || { echo "wine-env: Xorg is missing (packages xserver-xorg-core xserver-xorg-video-dummy)" >&2; exit 1; }
    command -v xrandr >/dev/null || { echo "wine-env: xrandr is missing (package x11-xserver-utils)" >&2; exit 1; }
    layout_args "$monitors" >/dev/null
    mkdir -p "$state/xorg.d"
    /usr/lib/xorg/Xorg ":$1" -config "$(cd "$(dirname "$0")" && pwd)/xorg-dummy.conf" \
        -configdir "$state/xorg.d" -noreset -nolisten tcp -novtswitch -sharevts \
        -logfile "$state/xorg.log" >"$state/xorg.out" 2>&1 &
    echo $! >"$state/xvfb.pid"
    i=0
    until DISPLAY=":$1" xdpyinfo >/dev/null 2>&1; do
        i=$((i + 1)); [ $i -gt 100 ] && { echo "wine-env: Xorg :$1 did not start, see $state/xorg.log" >&2; exit 1; }
        sleep 0.1
    done
    DISPLAY=":$1" apply_layout "$monitors"
}

desktop_reg() {
    # The dialogs' fonts, which a Japanese Windows has, stand in for by the metric-compatible
    # IPA fonts; without this Wine picks a wider font and the labels are cut.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d IPAPGothic /f >/dev/null 2>&1
    if [ -n "$monitors" ]; then
        # Without a virtual desktop Wine shows the X server's monitors as they are.
        wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1 || true
        return 0
    fi
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$screen" /f >/dev/null 2>&1
}

# The desktop window with its taskbar, up before any test starts (again after a log-off).
start_desktop() {
    [ -z "$monitors" ] || return 0
    if xwininfo -root -children 2>/dev/null | grep -q 'Wine desktop'; then return 0; fi
    wine explorer /desktop=Default,"$screen" >/dev/null 2>&1 &
    i=0
    until xwininfo -root -children 2>/dev/null | grep -q 'Wine desktop'; do
        i=$((i + 1)); [ $i -gt 300 ] && { echo "wine-env: the Wine desktop did not appear" >&2; exit 1; }
        sleep 0.1
    done
    sleep 0.5
}

free_display() {
    n=${KELVARIN_DISPLAY_BASE:-71}
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    echo $n
}

case $cmd in
start)
    if [ -f "$envfile" ]; then
        # A previous run that was cut off: clear it first.
        sh "$0" stop "$state" || true
    fi
    command -v Xvfb >/dev/null || { echo "wine-env: Xvfb is missing (package xvfb)" >&2; exit 1; }
    arch=${1:-x86}
    if [ "$arch" = x64 ]; then
        # With wine32 installed, Debian's wine script always takes the 32-bit loader, and
        # wineboot runs wine-stable from PATH: both go through wrappers for the 64-bit one.
        [ -x /usr/lib/wine/wine64 ] || { echo "wine-env: 64-bit Wine is missing (package wine64)" >&2; exit 1; }
        mkdir -p "$state/bin"
        for name in wine wine-stable wine64; do
            printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$state/bin/$name"
            chmod +x "$state/bin/$name"
        done
        archenv="export WINEARCH=win64
export WINELOADER=/usr/lib/wine/wine64
export PATH='$state/bin':\$PATH"
    else
        command -v wine >/dev/null || { echo "wine-env: wine is missing (packages wine, wine32:i386)" >&2; exit 1; }
        archenv="export WINEARCH=win32"
    fi
    if [ -n "$monitors" ]; then
        d=$(free_display)
        start_monitors "$d"
    elif [ -n "${KELVARIN_X_DISPLAY:-}" ]; then
        # A person's display: the Wine desktop opens there as a window.
        d=${KELVARIN_X_DISPLAY#:}
    else
        d=$(free_display)
        Xvfb ":$d" -screen 0 "${screen}x24" -nolisten tcp >"$state/xvfb.log" 2>&1 &
        echo $! >"$state/xvfb.pid"
        i=0
        while [ ! -e "/tmp/.X11-unix/X$d" ]; do
            i=$((i + 1)); [ $i -gt 100 ] && { echo "wine-env: Xvfb :$d did not start" >&2; exit 1; }
            sleep 0.1
        done
    fi
    cat >"$envfile" <<ENV
# screen $screen
# monitors $monitors
export DISPLAY=:$d
export WINEPREFIX='$state/prefix'
$archenv
export WINEDEBUG=-all
export LANG=ja_JP.UTF-8
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
ENV
    . "$envfile"
    # A prefix is of one architecture: one made for the other build is made anew.
    if [ -f "$WINEPREFIX/system.reg" ] && ! grep -q "^#arch=$WINEARCH" "$WINEPREFIX/system.reg"; then
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        rm -rf "$WINEPREFIX"
        wineboot -i >"$state/wineboot.log" 2>&1 || { echo "wine-env: wineboot failed, see $state/wineboot.log" >&2; exit 1; }
        wineserver -w
    fi
    # A server left from the prefix creation exits when idle; ours must stay for the run.
    wineserver -w 2>/dev/null || true
    wineserver -p >"$state/wineserver.log" 2>&1 </dev/null
    desktop_reg
    start_desktop
    echo "wine-env: display :$d, prefix $WINEPREFIX"
    ;;
exec)
    [ -f "$envfile" ] || { echo "wine-env: no session in $state; run start first" >&2; exit 1; }
    . "$envfile"
    exe=${1:?exe}
    shift
    exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")
    cd "$(dirname "$exe")"
    set +e
    wine "$exe" "$@"
    rc=$?
    exit $rc
    ;;
layout)
    [ -f "$envfile" ] && [ -n "$monitors" ] || { echo "wine-env: no two-monitor session in $state" >&2; exit 1; }
    . "$envfile"
    apply_layout "${1:?layout}"
    ;;
run)
    arch=${1:?arch}
    shift
    sh "$0" start "$state" "$arch" >/dev/null
    set +e
    sh "$0" exec "$state" "$@"
    rc=$?
    sh "$0" stop "$state"
    exit $rc
    ;;
desktop)
    [ -f "$envfile" ] || { echo "wine-env: no session in $state; run start first" >&2; exit 1; }
    . "$envfile"
    start_desktop
    ;;
stop)
    if [ -f "$envfile" ]; then
        . "$envfile"
        wineserver -k >/dev/null 2>&1 || true
    fi
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid"
    fi
    rm -f "$envfile"
    ;;
*)
    echo "usage: wine-env.sh start|exec|stop STATE ..." >&2
    exit 2
    ;;
esac

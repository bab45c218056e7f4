#!/bin/sh
# `make run`: Kelvarin under Wine in a 1024x768 virtual desktop with a Japanese locale.
# With $DISPLAY set the desktop opens as a window there and the program runs until it is
# exited from its tray menu. Without one, a private X server is used and the run is
# shown in screenshots under build/run/: the desktop with the tray icon, the resolution
# menu, the main menu, the settings dialog and the About box.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
exe=$root/build/win32/Kelvarin.exe
out=$root/build/run
state=$out/wine
env_script=$root/scripts/wine-env.sh
mkdir -p "$out"
[ -f "$exe" ] || { echo "run: $exe is missing; run make first" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
    KELVARIN_X_DISPLAY=$DISPLAY sh "$env_script" start "$state"
    echo "run: Kelvarin is in the notification area of the Wine desktop; exit it from its menu (右クリック → 終了)"
    sh "$env_script" exec "$state" "$exe" || true
    sh "$env_script" stop "$state"
    exit 0
fi

sh "$env_script" start "$state"
. "$state/env.sh"
trap 'sh "$env_script" stop "$state"' EXIT

sh "$env_script" exec "$state" "$exe" &
program=$!

# The tray sits at the bottom right of the desktop; the first icon is the rightmost
# 20 pixels of the taskbar.
icon_x=1013
icon_y=757
shot() { import -window root "$out/$1.png"; echo "run: wrote build/run/$1.png"; }
sleep 3
shot desktop
convert "$out/desktop.png" -crop 240x40+784+728 +repage -scale 200% "$out/tray.png"
echo "run: wrote build/run/tray.png"

# A left click opens the resolution menu; a click on the bare desktop closes it.
xdotool mousemove $icon_x $icon_y click 1
sleep 1
# Onto an item, so that the icon's tooltip leaves the menu's last rows.
xdotool mousemove 950 530
sleep 1
shot mode-menu
convert "$out/mode-menu.png" -crop 240x500+784+268 +repage "$out/mode-menu-crop.png"
xdotool mousemove 200 200 click 1
sleep 0.5

xdotool mousemove $icon_x $icon_y click 3
sleep 1.5
shot main-menu
convert "$out/main-menu.png" -crop 360x300+664+468 +repage "$out/main-menu-crop.png"

# Each dialog from its menu item (settings, then About, above Exit), screenshot and Esc.
# A dialog opens at the cursor, pulled into the bottom-right corner; it is cut out of
# the shot along the plain desktop above the taskbar.
dialog_shot() {
    xdotool mousemove $icon_x $icon_y
    sleep 0.3
    xdotool click 3
    sleep 1
    xdotool mousemove $((icon_x - 100)) $((icon_y - $2))
    sleep 0.3
    xdotool click 1
    sleep 0.5
    xdotool mousemove 200 200
    sleep 1
    import -window root "$out/$1-full.png"
    box=$(convert "$out/$1-full.png" -crop 1024x748+0+0 +repage -format '%@' info:)
    x=${box#*+}; x=${x%%+*}; y=${box##*+}
    convert "$out/$1-full.png" -crop $((1024 - x))x$((768 - y))+$x+$y +repage "$out/$1.png"
    rm -f "$out/$1-full.png"
    echo "run: wrote build/run/$1.png"
    xdotool key Escape
    sleep 0.5
}
xdotool mousemove 200 200 click 1  # closes the main menu
sleep 0.5
dialog_shot settings 55
dialog_shot about 38

# Exit from the menu: its last item, just above the cursor's row.
xdotool mousemove $icon_x $icon_y click 3
sleep 1.5
xdotool mousemove $((icon_x - 100)) $((icon_y - 11)) click 1
i=0
while kill -0 $program 2>/dev/null; do
    i=$((i + 1))
    if [ $i -gt 100 ]; then echo "run: Kelvarin did not exit from its menu" >&2; exit 1; fi
    sleep 0.1
done
wait $program && echo "run: Kelvarin ran, showed its icon, menu and dialogs, and exited with code 0"

#!/bin/sh
# `make run`: Kelvarin under Wine in a 1024x768 virtual desktop with a Japanese locale.
# With $DISPLAY set the desktop opens as a window there and the program runs until it is
# exited from its tray menu. Without one, a private X server is used and the run is
# shown in screenshots under build/run/: the desktop with the tray icon, a desktop capture
# made with hotkey 1, the resolution menu, the main menu, the magnifier and the cursor
# coordinate window, the settings dialog and the About box.
set -eu
# The build that runs here: the 32-bit product, or the x64 build where 32-bit code cannot
# run (make passes KELVARIN_ARCH; see scripts/arches.sh).
arch=${KELVARIN_ARCH:-x86}
build=win32
[ "$arch" = x64 ] && build=win64
cd "$(dirname "$0")/.."
root=$(pwd)
exe=$root/build/$build/Kelvarin.exe
out=$root/build/run
state=$out/wine
env_script=$root/scripts/wine-env.sh
mkdir -p "$out"
[ -f "$exe" ] || { echo "run: $exe is missing; run make first" >&2; exit 1; }

if [ -n "${DISPLAY:-}" ]; then
    KELVARIN_X_DISPLAY=$DISPLAY sh "$env_script" start "$state" "$arch"
    echo "run: Kelvarin is in the notification area of the Wine desktop; exit it from its menu (右クリック → 終了)"
    sh "$env_script" exec "$state" "$exe" || true
    sh "$env_script" stop "$state"
    exit 0
fi

sh "$env_script" start "$state" "$arch"
. "$state/env.sh"
trap 'sh "$env_script" stop "$state"' EXIT

# A copy with settings of its own, so that the tool windows open where the pictures expect
# them (the magnifier at zoom 4 and the coordinate window to its right), and the desktop
# capture has a hotkey (Ctrl+Shift+F7: modifiers 6 x 256 + 0x76) and a folder such as a
# user would pick, C:\キャプチャ (the settings dialog's picture shows it). The INI is in
# code page 932.
captures=$WINEPREFIX/drive_c/キャプチャ
rm -rf "$captures"
mkdir -p "$out/app" "$captures"
cp "$exe" "$out/app/Kelvarin.exe"
printf '[Kelvarin]\r\n画像ファイルの保存先フォルダ=C:\\キャプチャ\r\nｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ=1654\r\n[虫眼鏡]\r\nx 位置=120\r\ny 位置=120\r\n幅=400\r\n高さ=300\r\n倍率=4\r\n[カーソル座標窓]\r\nx 位置=560\r\ny 位置=120\r\n' |
    iconv -f UTF-8 -t CP932 >"$out/app/kelvarin.ini"
sh "$env_script" exec "$state" "$out/app/Kelvarin.exe" &
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

# The two tool windows, opened from the menu (items 115 and 98 pixels above its bottom),
# where this run's settings put them; the magnifier then shows the start button, dragged
# there from inside it.
xdotool mousemove 600 400 click 1
menu_item() { xdotool mousemove $icon_x $icon_y click 3 sleep 1 mousemove $((icon_x - 100)) $((icon_y - $1)) click 1 sleep 1; }
menu_item 115
menu_item 98
xdotool mousemove 300 250 mousedown 1 sleep 0.3 mousemove 120 700 sleep 0.3 mousemove 45 757 sleep 0.3 mouseup 1 sleep 1
shot tools
convert "$out/tools.png" -crop 560x340+100+100 +repage "$out/tools-crop.png"
# Hotkey 1 with both tools open and the pointer beside them: the capture shows the
# cursor drawn in where the pointer stands.
xdotool search --name 'Wine desktop' windowfocus --sync 2>/dev/null || true
xdotool mousemove 700 450
sleep 0.5
xdotool key ctrl+shift+F7
i=0
until ls "$captures"/*.bmp >/dev/null 2>&1; do
    i=$((i + 1)); [ $i -gt 50 ] && { echo "run: hotkey 1 wrote no capture" >&2; exit 1; }
    sleep 0.1
done
cp "$(ls "$captures"/*.bmp | head -n 1)" "$out/capture.bmp"
convert "$out/capture.bmp" "$out/capture.png"
echo "run: wrote build/run/capture.bmp ($(basename "$(ls "$captures"/*.bmp | head -n 1)")) and capture.png"

# Closed again from the menu, so that they saved their places and stay closed at exit.
menu_item 115
menu_item 98

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
dialog_shot settings 55
dialog_shot about 38

xdotool mousemove $icon_x $icon_y click 3
sleep 1

# Exit from the menu: its last item, just above the cursor's row.
xdotool mousemove $((icon_x - 100)) $((icon_y - 11)) click 1
i=0
while kill -0 $program 2>/dev/null; do
    i=$((i + 1))
    if [ $i -gt 100 ]; then echo "run: Kelvarin did not exit from its menu" >&2; exit 1; fi
    sleep 0.1
done
wait $program && echo "run: Kelvarin ran, showed its icon, menus, tools and dialogs, and exited with code 0"

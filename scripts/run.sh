#!/bin/sh
# `make run`: Kelvarin under Wine in a 1024x768 virtual desktop with a Japanese locale.
# With $DISPLAY set the desktop opens as a window there and the program runs until it is
# exited from its tray menu. Without one, a private X server is used and the run is
# shown in screenshots under build/run/: the desktop with the tray icon, the main menu.
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

# A fresh copy whose settings give the desktop capture a hotkey (Ctrl+Shift+F7:
# modifiers 6 x 256 + 0x76) and a folder under build/run. The INI is in code page 932.
app=$out/app
captures=$out/captures
rm -rf "$app" "$captures"
mkdir -p "$app" "$captures"
cp "$exe" "$app/Kelvarin.exe"
exe=$app/Kelvarin.exe
printf '[Kelvarin]\r\n画像ファイルの保存先フォルダ=%s\r\nｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ=1654\r\n' \
    "$(winepath -w "$captures" 2>/dev/null)" | iconv -f UTF-8 -t CP932 >"$app/kelvarin.ini"

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

# Hotkey 1 with the pointer in mid-desktop: the capture shows the cursor drawn there.
xdotool search --name 'Wine desktop' windowfocus --sync 2>/dev/null || true
xdotool mousemove 400 300
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

xdotool mousemove $icon_x $icon_y click 3
sleep 1.5
shot main-menu
convert "$out/main-menu.png" -crop 360x300+664+468 +repage "$out/main-menu-crop.png"

# Exit from the menu: its last item, just above the cursor's row.
xdotool mousemove $((icon_x - 100)) $((icon_y - 11)) click 1
i=0
while kill -0 $program 2>/dev/null; do
    i=$((i + 1))
    if [ $i -gt 100 ]; then echo "run: Kelvarin did not exit from its menu" >&2; exit 1; fi
    sleep 0.1
done
wait $program && echo "run: Kelvarin ran, showed its icon and menu, and exited with code 0"

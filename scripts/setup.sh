#!/bin/sh
# Installs what building and testing Kelvarin needs on a Debian 12 machine.
# Idempotent: a machine that already has everything is left alone.
set -eu

PACKAGES="cmake make g++ mingw-w64 wine wine32:i386 wine64 xvfb xauth xdotool imagemagick
fonts-ipafont-gothic locales googletest python3 python3-pil x11-utils x11-apps
xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils libxrandr2:i386 libxrender1:i386
libxinerama1:i386"

have_all() {
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 1
    done
    locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$' || return 1
    return 0
}

if have_all; then
    exit 0
fi

if [ "$(id -u)" != 0 ]; then
    echo "setup: packages are missing and this is not root; install as root: $PACKAGES" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
apt-get update -qq || echo "setup: apt-get update reported errors; trying the install anyway" >&2

missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
done
if [ -n "$missing" ]; then
    # shellcheck disable=SC2086
    if ! apt-get install -y -qq --no-install-recommends $missing >/tmp/kelvarin-setup.log 2>&1; then
        for p in $missing; do
            if ! apt-get install -y -qq --no-install-recommends "$p" >>/tmp/kelvarin-setup.log 2>&1; then
                echo "setup: cannot install the package '$p' (log: /tmp/kelvarin-setup.log)" >&2
                exit 1
            fi
        done
    fi
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
    sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null || { echo "setup: locale-gen failed for ja_JP.UTF-8 (package 'locales')" >&2; exit 1; }
fi
echo "setup: all build and test packages are present"

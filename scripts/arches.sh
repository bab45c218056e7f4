#!/bin/sh
# Which builds this host can run under Wine. The 32-bit build is the product; some kernels
# refuse every 32-bit program ("Exec format error"), Wine's 32-bit loader included, and
# there only the x64 build can run.
#
#   arches.sh list [ARCH]     the builds whose Wine tiers run: "x86 x64", or "x64"
#   arches.sh primary [ARCH]  the one build that make run, bench and soak use
#
# ARCH (x86 or x64) forces one build. KELVARIN_PROBE32 names the 32-bit program tried
# (Wine's 32-bit loader by default), so that the detection itself can be tried.
set -u
what=${1:-list}
forced=${2:-}
case $forced in
x86 | x64) echo "$forced"; exit 0 ;;
"") ;;
*) echo "arches: ARCH must be x86 or x64, not '$forced'" >&2; exit 2 ;;
esac
probe=${KELVARIN_PROBE32:-/usr/lib/wine/wine}
if "$probe" --version >/dev/null 2>&1; then
    [ "$what" = primary ] && echo x86 || echo "x86 x64"
else
    if [ "$what" = primary ]; then
        echo "this host cannot run 32-bit code: the x64 build runs" >&2
    else
        echo "this host cannot run 32-bit code: the Wine tiers run the x64 build" >&2
    fi
    echo x64
fi

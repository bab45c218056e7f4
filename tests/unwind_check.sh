#!/bin/sh
# unwind_check.sh OBJDUMP EXE: an x64 program keeps its unwind tables (.pdata, .xdata), by
# which the system unwinds through its frames when a fault passes a window procedure.
set -eu
sections=$("$1" -h "$2")
echo "$sections"
for name in .pdata .xdata; do
    echo "$sections" | grep -q " \\$name " || { echo "$2 has no $name section" >&2; exit 1; }
done

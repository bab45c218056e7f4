#!/bin/sh
# The captures that capture_e2e kept, through ImageMagick and Pillow: both must read every
# one as a 24-bit picture of the size its header states.
#   check_captures.sh FOLDER
set -eu
folder=${1:?usage: check_captures.sh FOLDER}
set -- "$folder"/*.bmp
[ -f "$1" ] || { echo "check_captures: no captures in $folder" >&2; exit 1; }
identify -regard-warnings -format '%f: %wx%h %m (ImageMagick)\n' "$@"
/usr/bin/python3 - "$@" <<'PY'
import struct, sys
from PIL import Image
for path in sys.argv[1:]:
    with open(path, "rb") as f:
        width, height = struct.unpack("<ii", f.read(26)[18:26])
    image = Image.open(path)
    image.load()
    assert image.mode == "RGB" and image.size == (width, height), (path, image.mode, image.size)
    print("%s: %dx%d %s (Pillow)" % (path.rsplit("/", 1)[-1], width, height, image.mode))
PY

#!/bin/sh
# `make dist`: packs the release exe, the user guides (as Windows text files) and their
# SHA-256 sums into <out-dir>/Kelvarin-<version>.zip, byte for byte the same on every run.
# Usage: sh scripts/dist.sh [out-dir [exe]]   (defaults: dist, build/win32/Kelvarin.exe)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/dist}
exe=${2:-$root/build/win32/Kelvarin.exe}

if [ ! -f "$exe" ]; then
    echo "dist: $exe is missing; build it first (make exe)" >&2
    exit 1
fi

# The version is defined once, in res/version.h; the package takes its name from there.
version=$(sed -n 's/^#define KELVARIN_VERSION_TEXT "\([^"]*\)".*/\1/p' "$root/res/version.h")
case $version in
    "" | */* | *\\*)
        echo "dist: no usable KELVARIN_VERSION_TEXT in res/version.h" >&2
        exit 1
        ;;
esac

# Entry times: SOURCE_DATE_EPOCH when given, else the time of the last commit, so that
# the same sources give the same archive.
stamp=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}

mkdir -p "$out"
zip="$out/Kelvarin-$version.zip"
python3 - "$zip" "$exe" "$root/docs/guide" "${stamp:-0}" <<'EOF'
import hashlib, os, sys, time, zipfile

zip_path, exe_path, guide_dir, stamp = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])

def windows_text(name):
    # The guides are kept as UTF-8 with LF; Notepad on the Japanese systems this program
    # runs on reads CP932 with CRLF. Strict encoding: a character CP932 lacks stops the build.
    with open(os.path.join(guide_dir, name), encoding="utf-8") as f:
        text = f.read()
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("cp932")

with open(exe_path, "rb") as f:
    files = [("Kelvarin.exe", f.read())]
files += [(n, windows_text(n)) for n in ("README-ja.txt", "README-en.txt")]
sums = "".join("%s  %s\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in files)
files.append(("SHA256SUMS.txt", sums.encode("ascii")))

# A zip entry holds a local time from 1980 on, to two seconds; UTC keeps it the same
# wherever the package is built.
when = time.gmtime(max(stamp, 315532800))[:6]
tmp = zip_path + ".tmp"
with zipfile.ZipFile(tmp, "w") as z:
    for name, data in files:
        info = zipfile.ZipInfo(name, when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 3
        info.external_attr = 0o100644 << 16
        z.writestr(info, data, compresslevel=9)
os.replace(tmp, zip_path)
EOF
echo "dist: $zip"

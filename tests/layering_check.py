#!/usr/bin/env python3
"""The source folders' include arrows all point down: base/ includes only base/, a
feature folder only base/ and itself (capture/ may use wallpaper/), and only app/
includes the feature folders. Prints every include that points the wrong way."""
import pathlib
import re
import sys

FEATURES = {"display", "wallpaper", "capture", "tools", "dialogs"}
ALLOWED = {"base": {"base"}, "app": {"base", "app"} | FEATURES}
for feature in FEATURES:
    ALLOWED[feature] = {"base", feature}
ALLOWED["capture"].add("wallpaper")

src = pathlib.Path(sys.argv[1])
wrong = []
for path in sorted(src.rglob("*")):
    if path.suffix not in (".h", ".cpp"):
        continue
    folder = path.relative_to(src).parts[0]
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        match = re.match(r'\s*#\s*include\s+"([^/"]+)/', line)
        if match and match.group(1) not in ALLOWED.get(folder, set()):
            wrong.append("%s:%d: %s" % (path.relative_to(src), number, line.strip()))
print("\n".join(wrong) if wrong else "layering: every include points down")
sys.exit(1 if wrong else 0)

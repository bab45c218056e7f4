#!/usr/bin/env python3
# The release package as a user unpacks it: built twice by scripts/dist.sh into a scratch
# folder, then checked for its name, contents, checksums, exe and Windows-readable guides.
# Usage: dist_package_test.py <source root> <built Kelvarin.exe>
import hashlib, os, re, subprocess, sys, tempfile, zipfile

root, exe = sys.argv[1], sys.argv[2]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED:", what)


def read(path, mode="rb"):
    with open(path, mode) as f:
        return f.read()


version = re.search(r'^#define KELVARIN_VERSION_TEXT "([^"]+)"', read(os.path.join(root, "res/version.h"), "r"), re.M).group(1)
settings = read(os.path.join(root, "src/base/settings.cpp"), "r")
section = re.search(r'kSettingsSection\[\] = "([^"]+)"', settings).group(1)
keys = re.findall(r'const char kKey\w+\[\] = "([^"]+)"', settings)
check(len(keys) == 6, "six INI keys found in settings.cpp, got %r" % keys)

guides = ("README-ja.txt", "README-en.txt")
expected = {"Kelvarin.exe", "SHA256SUMS.txt"} | set(guides)

with tempfile.TemporaryDirectory() as tmp:
    # A fixed source date: both runs must give it to every entry and the same bytes.
    env = dict(os.environ, SOURCE_DATE_EPOCH="1700000000")
    zips = []
    for run in ("a", "b"):
        out = os.path.join(tmp, run)
        subprocess.run(["sh", os.path.join(root, "scripts/dist.sh"), out, exe], check=True, env=env)
        check(os.listdir(out) == ["Kelvarin-%s.zip" % version], "run %s made %r" % (run, os.listdir(out)))
        zips.append(os.path.join(out, "Kelvarin-%s.zip" % version))
    check(read(zips[0]) == read(zips[1]), "two runs give the same archive bytes")

    unpacked = os.path.join(tmp, "unpacked")
    with zipfile.ZipFile(zips[0]) as z:
        names = z.namelist()
        check(sorted(names) == sorted(expected), "archive holds exactly %s, got %r" % (sorted(expected), names))
        check(z.testzip() is None, "every entry's CRC is right")
        dates = {i.date_time for i in z.infolist()}
        check(dates == {(2023, 11, 14, 22, 13, 20)}, "every entry carries the source date, got %r" % dates)
        z.extractall(unpacked)

    sums = read(os.path.join(unpacked, "SHA256SUMS.txt"), "r")
    listed = [line.split("  ", 1)[1] for line in sums.splitlines()]
    check(sorted(listed) == sorted(expected - {"SHA256SUMS.txt"}), "checksums list every other file once: %r" % listed)
    verify = subprocess.run(["sha256sum", "-c", "--strict", "SHA256SUMS.txt"], cwd=unpacked, capture_output=True, text=True)
    check(verify.returncode == 0, "sha256sum -c accepts the sums:\n" + verify.stdout + verify.stderr)

    check(read(os.path.join(unpacked, "Kelvarin.exe")) == read(exe), "the packed exe is the built one, byte for byte")

    for name in guides:
        data = read(os.path.join(unpacked, name))
        check(data.count(b"\n") == data.count(b"\r\n") > 0, name + " has CRLF line ends only")
        try:
            text = data.decode("cp932")
        except UnicodeDecodeError as e:
            check(False, "%s decodes as CP932: %s" % (name, e))
            continue
        source = read(os.path.join(root, "docs/guide", name), "r").replace("\r\n", "\n")
        check(text.replace("\r\n", "\n") == source, name + " says what its UTF-8 source says")
        lines = text.splitlines()
        check("[%s]" % section in lines, "%s shows the section [%s]" % (name, section))
        for key in keys:
            check(any(l.startswith(key + "=") for l in lines), "%s names the INI key %s" % (name, key))

print("%d failure(s)" % len(failures) if failures else "package Kelvarin-%s.zip: all checks passed" % version)
sys.exit(1 if failures else 0)

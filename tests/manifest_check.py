#!/usr/bin/env python3
"""The application manifest as Windows reads it: common controls 6, system DPI
awareness (per monitor from Windows 8.1 on), asInvoker, the version of res/version.h, and no Windows 8 or later
supportedOS entry (those systems then hide the 8- and 16-bit display modes)."""
import re
import sys
import xml.etree.ElementTree as ET

manifest, version_header = sys.argv[1], sys.argv[2]
arch = sys.argv[3] if len(sys.argv) > 3 else "x86"  # amd64 for the x64 build
V1 = "{urn:schemas-microsoft-com:asm.v1}"
V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
WS2005 = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
WS2016 = "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}"
WIN8_AND_LATER = {
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


root = ET.parse(manifest).getroot()
check(root.tag == V1 + "assembly" and root.get("manifestVersion") == "1.0", "root <assembly>")

fixed = re.search(r"KELVARIN_VERSION_FIXED\s+(\d+),\s*(\d+),\s*(\d+),\s*(\d+)",
                  open(version_header).read())
identity = root.find(V1 + "assemblyIdentity")
check(identity is not None and identity.get("version") == ".".join(fixed.groups()),
      "assemblyIdentity version equals version.h")
check(identity is not None and identity.get("processorArchitecture") == arch, arch + " identity")

controls = [d for d in root.iter(V1 + "assemblyIdentity")
            if d.get("name") == "Microsoft.Windows.Common-Controls"]
check(len(controls) == 1, "one common-controls dependency")
if controls:
    c = controls[0]
    check(c.get("version") == "6.0.0.0" and c.get("publicKeyToken") == "6595b64144ccf1df"
          and c.get("type") == "win32", "common controls version 6")
    check(c.get("processorArchitecture") == arch, arch + " common controls")

levels = [e.get("level") for e in root.iter(V3 + "requestedExecutionLevel")]
check(levels == ["asInvoker"], "asInvoker, once")

dpi = [e.text.strip().lower() for e in root.iter(WS2005 + "dpiAware")]
check(dpi == ["true"], "system DPI awareness (dpiAware true)")
awareness = [[v.strip() for v in e.text.split(",")] for e in root.iter(WS2016 + "dpiAwareness")]
check(awareness == [["PerMonitorV2", "PerMonitor"]],
      "per-monitor awareness (dpiAwareness PerMonitorV2, PerMonitor in the 2016 namespace)")

oses = {e.get("Id").lower() for e in root.iter(COMPAT + "supportedOS")}
check(not (oses & WIN8_AND_LATER), "no Windows 8 or later supportedOS")

for failure in failures:
    print("manifest:", failure, file=sys.stderr)
print("manifest: %d checks failed" % len(failures) if failures else "manifest: all checks passed")
sys.exit(1 if failures else 0)

#!/usr/bin/env python3
"""The 32-bit exe runs on an 80386: its code holds no instruction that a later processor
brought (the 486's bswap, cmpxchg, xadd, invlpg; the Pentium's cpuid, rdtsc, cmpxchg8b;
the Pentium Pro's cmov, fcmov, fcomi, long nops, ud2; every MMX and SSE form). A 486 or
Pentium stops such a program with an invalid-opcode fault.

    instruction_check.py OBJDUMP EXE

The code sections are disassembled by a linear sweep; the few data words at the end of
.text (the constructor lists) come out as harmless forms, never as the ones looked for."""
import collections
import re
import subprocess
import sys

objdump, exe = sys.argv[1], sys.argv[2]

LATER = re.compile(
    r"^(cmov\w+|fcmov\w+|f(u)?comip?|bswap|cmpxchg\w*|xadd\w?|cpuid|rdtsc\w*|rdpmc|rdmsr|wrmsr"
    r"|invlpg|invd|wbinvd|rsm|ud2|nop[lwq]|sysenter|sysexit|syscall|sysret|emms|femms"
    r"|fxsave|fxrstor|ldmxcsr|stmxcsr|[lms]fence|clflush\w*|prefetch\w*|movnt\w*|maskmov\w*"
    r"|pause|popcnt|lzcnt|tzcnt|movbe|crc32\w?)$"
)
# Any operand in an MMX or SSE register makes the instruction one of theirs.
VECTOR = re.compile(r"%(mm|xmm|ymm|zmm)\d+")

listing = subprocess.run(
    [objdump, "-d", "--no-show-raw-insn", exe], check=True, capture_output=True, text=True
).stdout
if "file format pei-i386" not in listing:
    sys.exit(f"{exe} is not a 32-bit Windows program")

found = collections.Counter()
count = 0
for line in listing.splitlines():
    fields = line.split("\t")
    if len(fields) < 2 or not fields[1].strip():
        continue
    parts = fields[1].split(None, 1)
    mnemonic, operands = parts[0], parts[1] if len(parts) > 1 else ""
    count += 1
    if LATER.match(mnemonic) or VECTOR.search(operands):
        found[mnemonic] += 1

if count < 1000:
    sys.exit(f"only {count} instructions disassembled from {exe}: not the program")
if found:
    print(f"{exe}: instructions newer than the 80386:")
    for mnemonic, n in sorted(found.items()):
        print(f"  {mnemonic}: {n}")
    sys.exit(1)
print(f"{exe}: {count} instructions, all of the 80386")

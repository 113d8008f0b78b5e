"""Prints the system calls in an strace log that a unit's SystemCallFilter= lines would refuse.

usage: syscalls_outside_filter.py UNIT_FILE STRACE_LOG
The first filter line allows its sets, each later "~" line takes its sets away, as systemd reads
them; the sets (@system-service and the rest) are expanded as this machine's systemd defines them.
"""

import re
import subprocess
import sys


def syscall_sets():
    listing = subprocess.run(["systemd-analyze", "syscall-filter"], capture_output=True, text=True, check=True).stdout
    sets, current = {}, None
    for line in listing.splitlines():
        if line.startswith("@"):
            current = sets.setdefault(line.strip(), [])
        elif current is not None and line.strip() and not line.strip().startswith("#"):
            current.append(line.strip())
    return sets


def expand(names, sets):
    calls = set()
    for name in names:
        calls |= expand(sets[name], sets) if name.startswith("@") else {name}
    return calls


def allowed_calls(unit_text, sets):
    allowed = None
    for line in unit_text.splitlines():
        if not line.startswith("SystemCallFilter="):
            continue
        value = line.split("=", 1)[1].strip()
        if value.startswith("~"):
            allowed -= expand(value[1:].split(), sets)
        else:
            allowed = (allowed or set()) | expand(value.split(), sets)
    return allowed


def main():
    allowed = allowed_calls(open(sys.argv[1]).read(), syscall_sets())
    if allowed is None:
        return
    traced = set()
    for line in open(sys.argv[2]):
        match = re.match(r"(?:\d+ +)?([a-z0-9_]+)\(", line)
        if match:
            traced.add(match.group(1))
    print(" ".join(sorted(traced - allowed)))


main()

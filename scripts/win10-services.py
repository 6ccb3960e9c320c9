#!/usr/bin/env python3
"""Writes data/win10-services.reg and the string table of the test string library
(tests/support/win/service_strings.rc) from data/win10-services.txt.

Run it after changing the table and commit all three files:  scripts/win10-services.py
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLE = os.path.join(ROOT, "data", "win10-services.txt")
REG = os.path.join(ROOT, "data", "win10-services.reg")
RC = os.path.join(ROOT, "tests", "support", "win", "service_strings.rc")

SERVICES = r"HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services"
LIBRARY = r"%SystemRoot%\system32\svctune_strings.dll"
ACCOUNTS = {
    "LS": "LocalSystem",
    "L": r"NT AUTHORITY\LocalService",
    "N": r"NT AUTHORITY\NetworkService",
}
# Trigger kinds: (type, GUID as Windows stores it, little-endian fields).
TRIGGERS = {
    "T": (2, "4f27f2de-14e2-430b-a549-7cd48cbc8245"),  # first IP address available
    "J": (3, "1ce20aba-9851-4421-9430-1ddeb766e809"),  # computer joined a domain
}
# Two sign-ins, each with the suffix Windows gives the per-user instances of its session.
INSTANCE_SUFFIXES = ("1a2b3c", "5f7e9d")
PER_USER = 0x40
INSTANCE = 0x80


def hex_value(name, kind, data):
    """A value of bytes as .reg hex, wrapped at 80 columns like regedit's own export."""
    head = '"%s"=%s:' % (name, kind)
    items = ["%02x" % b for b in data]
    lines, line = [], []
    width = len(head)
    for item in items:
        if line and width + 3 > 76:
            lines.append(",".join(line) + ",\\")
            line, width = [], 2
        line.append(item)
        width += 3
    lines.append(",".join(line))
    return head + "\n  ".join(lines)


def text(value):
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def guid_bytes(guid):
    parts = guid.split("-")
    data = bytes.fromhex(parts[0])[::-1] + bytes.fromhex(parts[1])[::-1]
    return data + bytes.fromhex(parts[2])[::-1] + bytes.fromhex(parts[3] + parts[4])


def read_table():
    rows = []
    with open(TABLE, encoding="ascii") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("|")
            if len(fields) != 9:
                sys.exit("%s:%d: %d fields, not 9" % (TABLE, number, len(fields)))
            key, kind, start, flags, account, program, depends, name, about = fields
            rows.append({
                "key": key, "type": int(kind, 16), "start": int(start), "flags": flags,
                "account": ACCOUNTS.get(account), "program": program,
                "depends": [d for d in depends.split(",") if d], "name": name,
                "about": about,
            })
    return rows


def image_path(row):
    program = row["program"]
    if program.startswith("@"):
        return r"%%SystemRoot%%\system32\svchost.exe -k %s -p" % program[1:]
    return program


def service_lines(key, row, kind, name, about):
    lines = ["", "[%s\\%s]" % (SERVICES, key)]
    lines.append('"Type"=dword:%08x' % kind)
    lines.append('"Start"=dword:%08x' % row["start"])
    if "D" in row["flags"]:
        lines.append('"DelayedAutostart"=dword:00000001')
    lines.append('"ErrorControl"=dword:%08x' % (0 if kind & 0x3 else 1))
    path = image_path(row).encode("ascii") + b"\0"
    lines.append(hex_value("ImagePath", "hex(2)", path))
    if row["depends"]:
        names = b"".join(d.encode("ascii") + b"\0" for d in row["depends"]) + b"\0"
        lines.append(hex_value("DependOnService", "hex(7)", names))
    if row["account"]:
        lines.append('"ObjectName"=' + text(row["account"]))
    lines.append('"DisplayName"=' + text(name))
    lines.append('"Description"=' + text(about))
    triggers = [TRIGGERS[f] for f in row["flags"] if f in TRIGGERS]
    if triggers and not kind & INSTANCE:
        lines += ["", "[%s\\%s\\TriggerInfo]" % (SERVICES, key)]
        for index, (trigger, guid) in enumerate(triggers):
            lines += ["", "[%s\\%s\\TriggerInfo\\%d]" % (SERVICES, key, index)]
            lines.append('"Type"=dword:%08x' % trigger)
            lines.append('"Action"=dword:00000001')
            lines.append(hex_value("GUID", "hex", guid_bytes(guid)))
    return lines


def main():
    rows = read_table()
    reg = [
        "REGEDIT4",
        "",
        "; The services of a fresh Windows 10 22H2, written by scripts/win10-services.py from",
        "; data/win10-services.txt (edit that, not this). Display names and descriptions marked",
        "; there are indirect texts in svctune_strings.dll, the test string library the Windows",
        "; builds make and the prefix set-up puts into system32. Per-user service templates come",
        "; with two instances each, as after two sign-ins.",
    ]
    strings = []
    for row in rows:
        name, about = row["name"], row["about"]
        if "I" in row["flags"]:
            ident = 100 + 2 * len(strings)
            strings.append((ident, name, ident + 1, about))
            name = "@%s,-%d" % (LIBRARY, ident)
            about = "@%s,-%d" % (LIBRARY, ident + 1)
        reg += service_lines(row["key"], row, row["type"], name, about)
        if row["type"] & PER_USER:
            for suffix in INSTANCE_SUFFIXES:
                reg += service_lines("%s_%s" % (row["key"], suffix), row,
                                     row["type"] | INSTANCE,
                                     "%s_%s" % (row["name"], suffix), row["about"])
    with open(REG, "w", encoding="ascii", newline="\r\n") as out:
        out.write("\n".join(reg) + "\n")

    rc = [
        "// The display names and descriptions that data/win10-services.reg points at",
        "// (@%SystemRoot%\\system32\\svctune_strings.dll,-ID), written by",
        "// scripts/win10-services.py from data/win10-services.txt.",
        "STRINGTABLE",
        "BEGIN",
    ]
    for ident, name, about_ident, about in strings:
        rc.append('  %d "%s"' % (ident, name.replace('"', '""')))
        rc.append('  %d "%s"' % (about_ident, about.replace('"', '""')))
    rc.append("END")
    with open(RC, "w", encoding="ascii") as out:
        out.write("\n".join(rc) + "\n")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the registry files of a hostile Wine prefix: make_hostile_prefix.py CASE [SIZE] PREFIX.

The prefix's folders (drive_c, dosdevices) are made by the caller; this writes system.reg and
user.reg for the case. Random data comes from a fixed seed, so every run builds the same files.
"""
import random
import sys

HEADER = "WINE REGISTRY Version 2\n;; All keys relative to \\\\{}\n\n#arch=win32\n\n"
USER_BASE = ('[Environment] 1700000000\n"TEMP"="C:\\\\temp"\n"TMP"="C:\\\\temp"\n\n'
             '[Software\\\\Zandorel] 1700000000\n"Marker"="present"\n\n')
SYSTEM_BASE = ('[Software\\\\Zandorel] 1700000000\n"Main Directory"="C:\\\\Suite"\n\n')


def write(path, text, newline="\n"):
    with open(path, "w", encoding="utf-8", newline=newline) as file:
        file.write(text)


def escaped(text, specials='"'):
    """A name or string as Wine writes it: the backslash and the specials escaped by a
    backslash, characters outside printable ASCII as \\x escapes of their UTF-16 units."""
    out = []
    units = text.encode("utf-16-le", "surrogatepass")
    for i in range(0, len(units), 2):
        unit = units[i] | units[i + 1] << 8
        c = chr(unit)
        if c == "\\" or c in specials:
            out.append("\\" + c)
        elif unit < 0x20 or unit > 0x7e:
            out.append("\\x%04x" % unit)
        else:
            out.append(c)
    return "".join(out)


def main():
    case, prefix = sys.argv[1], sys.argv[-1]
    system = HEADER.format("Machine") + SYSTEM_BASE
    user = HEADER.format("User\\\\S-1-5-21-0-0-0-1000") + USER_BASE
    rng = random.Random(11)
    if case == "random_bytes":
        with open(prefix + "/system.reg", "wb") as file:
            file.write(rng.randbytes(256 * 1024))
        write(prefix + "/user.reg", user)
        return
    if case == "cut_value":
        system += '[Software\\\\Zandorel\\\\Cut] 1700000000\n"Half"="the value stops he'
    elif case == "crlf":
        write(prefix + "/system.reg", system, "\r\n")
        write(prefix + "/user.reg", user + '[Software\\\\Zandorel\\\\CrLf] 1700000000\n'
              '"Read"="through CR LF"\n"Bytes"=hex:01,02,\\\n  03\n', "\r\n")
        return
    elif case == "big_key":
        size = int(sys.argv[2])
        line = '"Value%08d"="' + "x" * 100 + '"\n'
        count = size // (len(line % 0))
        with open(prefix + "/system.reg", "w", encoding="ascii") as file:
            file.write(system + "[Software\\\\Bulk] 1700000000\n")
            for i in range(count):
                file.write(line % i)
        write(prefix + "/user.reg", user)
        return
    elif case == "long_value":
        user += '[Software\\\\Zandorel\\\\Long] 1700000000\n"Ten MB"="' + "v" * (10 << 20) + '"\n'
    elif case == "many_subkeys":
        user += "".join("[Software\\\\Zandorel\\\\Many\\\\Key%06d] 1700000000\n" % i
                        for i in range(100000))
    elif case == "deep_keys":
        path = "Software\\\\Zandorel"
        parts = []
        for i in range(1000):
            path += "\\\\D%d" % i
            parts.append("[%s] 1700000000\n\"Depth\"=dword:%08x\n" % (path, i + 1))
        user += "".join(parts)
    elif case == "awkward_names":
        names = ['] "quoted" \\ back', "100% ^caret & (paren)", "  blanks  ", "caf\u00e9",
                 "\u03a9mega \u4e2d\u6587 \U0001f600", "tab\there"]
        for name in names:
            # A key name cannot hold a backslash.
            key = escaped(name.replace("\\", "/"), "[]")
            user += "[Software\\\\Zandorel\\\\%s] 1700000000\n" % key
            user += '"%s"="%s"\n' % (escaped(name), escaped(name))
    elif case == "link_loop":
        user += ("[Software\\\\Zandorel\\\\Loop] 1700000000\n#link\n"
                 '"SymbolicLinkValue"=hex(6):' +
                 ",".join("%02x,00" % ord(c) for c in
                          "\\Registry\\User\\S-1-5-21-0-0-0-1000\\Software\\Zandorel") + "\n\n")
        system += ("[Software\\\\Zandorel\\\\Self] 1700000000\n#link\n"
                   '"SymbolicLinkValue"=hex(6):' +
                   ",".join("%02x,00" % ord(c) for c in
                            "\\Registry\\Machine\\Software\\Zandorel\\Self") + "\n\n")
    elif case not in ("plain", "folder_links", "dosdevices", "unreadable", "temp_full"):
        sys.exit("unknown case " + case)
    write(prefix + "/system.reg", system)
    write(prefix + "/user.reg", user)


main()

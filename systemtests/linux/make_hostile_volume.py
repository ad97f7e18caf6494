#!/usr/bin/env python3
"""Writes a hostile Windows volume: make_hostile_volume.py CASE HIVES VOLUME.

HIVES is the folder of the tests' real hives (NTUSER.DAT.xz is the small hive every hive here
starts from, its keys replaced with hivexsh). The volume gets a SOFTWARE hive and a profile
"tester" whose NTUSER.DAT holds Software\\Zandorel; the case adds to SOFTWARE\\Zandorel, which
the run exports, and damages it where it says:
  damaged_hive  a subkey that is no key record and a key whose value list is garbage
  key_loop      Zandorel\\Loop\\Inner whose subkey list points back at Loop
  deep_hive_keys 520 keys, each inside the one before, below Zandorel\\Deep
  huge_values   a 64 MB REG_SZ value (written into a hive bin added at the end) and a value
                whose name has 16,383 characters
"""
import lzma
import os
import struct
import subprocess
import sys

CELLS = 0x1000  # Offsets in a hive count from the first hive bin, after the 4 KB header.


def hivexsh(path, commands):
    subprocess.run(["hivexsh", "-w", path], input=commands.encode("utf-8"), check=True,
                   stdout=subprocess.DEVNULL)


def empty_hive(hives, path):
    with lzma.open(os.path.join(hives, "NTUSER.DAT.xz")) as source, open(path, "wb") as out:
        out.write(source.read())
    listed = subprocess.run(["hivexsh", path], input=b"cd \\\nls\n", check=True,
                            capture_output=True).stdout.decode("utf-8").splitlines()
    hivexsh(path, "".join("cd \\%s\ndel\n" % key for key in listed if key) + "commit\n")


def setval(pairs):
    return "setval %d\n" % len(pairs) + "".join("%s\n%s\n" % pair for pair in pairs)


def key_cell(data, name):
    """The hive offset of the key record (nk) named `name` (ASCII, stored compressed)."""
    encoded = name.encode("latin-1")
    at = data.find(encoded)
    while at >= 0:
        cell = at - 80  # size (4), then the record; its name begins 76 bytes in
        # A record in use: its cell's size is negative.
        if cell >= CELLS and struct.unpack_from("<i", data, cell)[0] < 0 and \
                data[cell + 4:cell + 6] == b"nk" and \
                struct.unpack_from("<H", data, cell + 76)[0] == len(encoded):
            return cell - CELLS
        at = data.find(encoded, at + 1)
    raise SystemExit("no key record " + name)


def patch(path, change):
    with open(path, "r+b") as file:
        data = bytearray(file.read())
        change(data)
        file.seek(0)
        file.write(data)
        file.truncate()


def damage(data):
    # Broken's subkey list names a cell that is no key record: its first entry is made to
    # point 8 bytes into Broken's own record.
    broken = key_cell(data, "Broken")
    subkeys = struct.unpack_from("<I", data, CELLS + broken + 4 + 28)[0]
    struct.pack_into("<I", data, CELLS + subkeys + 4 + 4, broken + 8)
    # Garbled's value list points past the end of the file.
    garbled = key_cell(data, "Garbled")
    struct.pack_into("<I", data, CELLS + garbled + 4 + 40, 0x7ffffff0)


def value_cell(data, name):
    """The file offset of the value record (vk) named `name` (ASCII)."""
    encoded = name.encode("latin-1")
    at = data.find(b"vk" + struct.pack("<H", len(encoded)))
    while at >= 0:
        if data[at + 20:at + 20 + len(encoded)] == encoded:
            return at
        at = data.find(b"vk" + struct.pack("<H", len(encoded)), at + 1)
    raise SystemExit("no value record " + name)


def huge(data):
    # Cells in a new hive bin at the end: the 64 MB data of Huge, and a value record like that
    # of Longest but with a name of 16,383 characters, put in its place in the key's value list.
    # The rest of the bin is a free cell; the header's size of the bins and its checksum follow.
    size = 64 << 20
    # The bins end where the header says; what the file holds past them is left over.
    end = CELLS + struct.unpack_from("<I", data, 0x28)[0]
    del data[end:]
    longest = value_cell(data, "Longest")
    name = b"n" * 16383
    record = data[longest:longest + 4] + data[longest + 4:longest + 20] + name
    struct.pack_into("<H", record, 2, len(name))
    cells = [b"h\0" * (size // 2), bytes(record)]
    body = bytearray()
    offsets = []
    for cell in cells:
        length = (4 + len(cell) + 7) // 8 * 8
        offsets.append(end - CELLS + 32 + len(body))
        body += struct.pack("<i", -length) + cell + bytes(length - 4 - len(cell))
    bin_size = (32 + len(body) + 4095) // 4096 * 4096
    rest = bin_size - 32 - len(body)
    data += b"hbin" + struct.pack("<II", end - CELLS, bin_size) + bytes(20) + body
    if rest:
        data += struct.pack("<i", rest) + bytes(rest - 4)
    struct.pack_into("<I", data, 0x28, len(data) - CELLS)
    checksum = 0
    for word in struct.unpack_from("<127I", data, 0):
        checksum ^= word
    struct.pack_into("<I", data, 0x1FC, checksum)
    struct.pack_into("<II", data, value_cell(data, "Huge") + 4, size, offsets[0])
    key = CELLS + key_cell(data, "Zandorel")
    count, listed = struct.unpack_from("<II", data, key + 4 + 36)
    for at in range(CELLS + listed + 4, CELLS + listed + 4 + 4 * count, 4):
        if struct.unpack_from("<I", data, at)[0] == longest - 4 - CELLS:
            struct.pack_into("<I", data, at, offsets[1])


def loop(data):
    outer = key_cell(data, "Loop")
    inner = key_cell(data, "Inner")
    subkeys = struct.unpack_from("<I", data, CELLS + inner + 4 + 28)[0]
    # The first entry of Inner's list (after "lf"/"lh" and the count) now names Loop.
    struct.pack_into("<I", data, CELLS + subkeys + 4 + 4, outer)


def main():
    case, hives, volume = sys.argv[1:4]
    config = os.path.join(volume, "Windows", "System32", "config")
    profile = os.path.join(volume, "Users", "tester")
    os.makedirs(config, exist_ok=True)
    os.makedirs(profile, exist_ok=True)
    software = os.path.join(config, "SOFTWARE")
    ntuser = os.path.join(profile, "NTUSER.DAT")
    empty_hive(hives, software)
    with open(software, "rb") as source, open(ntuser, "wb") as out:
        out.write(source.read())
    hivexsh(ntuser, "add Software\ncd Software\nadd Zandorel\ncd Zandorel\n" +
            setval([("Marker", "string:present")]) + "commit\n")
    commands = "add Zandorel\ncd Zandorel\n" + setval([("Main Directory", "string:C:\\Suite")])
    if case == "damaged_hive":
        commands += ("add Broken\ncd Broken\nadd Lost\ncd ..\nadd Garbled\ncd Garbled\n" +
                     setval([("Gone", "string:never read")]) + "cd ..\nadd Intact\ncd Intact\n" +
                     setval([("Kept", "string:read")]))
    elif case == "key_loop":
        commands += "add Loop\ncd Loop\nadd Inner\ncd Inner\nadd Leaf\n"
    elif case == "deep_hive_keys":
        commands += "add Deep\ncd Deep\n" + "add D\ncd D\n" * 520
    elif case == "huge_values":
        commands += setval([("Huge", "string:filled in below"),
                            ("Longest", "string:longest name")])
    hivexsh(software, commands + "commit\n")
    if case == "damaged_hive":
        patch(software, damage)
    elif case == "key_loop":
        patch(software, loop)
    elif case == "huge_values":
        patch(software, huge)


main()

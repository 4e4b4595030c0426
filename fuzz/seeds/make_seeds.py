#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into seeds/<target>/.

dialogue/ inputs play promcfg in a dialogue (see fuzz_dialogue.cpp).
display/ and identity_file/ hold files as the programs wrote them (promcfg -P
on a few emulated switches, promcfg-apply --show) and identity files by hand.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def store(records):
    """A system PROM image: header, records in ID order, CRC over it all."""
    body = b"".join(struct.pack(">HH", i, len(d)) + d for i, d in sorted(records.items()))
    image = bytearray(b"TLVS" + struct.pack(">HH", 1, len(body)) + b"\0" * 4 + body)
    image += b"\xff" * (8192 - len(image))
    struct.pack_into(">I", image, 8, zlib.crc32(bytes(image)))
    return bytes(image).rstrip(b"\xff")


def op(kind, tlv, arg):
    return bytes([kind]) + struct.pack(">H", tlv) + bytes([arg])


def bounds(low, high):
    return struct.pack(">qq", low, high)


S = {
    "hex_text": [b"0a1b2c3d4e5f", b"1020304050607080", b" f-1+a0x0XzZ"],
    "strtol32": [b"\x0a123", b"\x10 0x7fffffff", b"\x0a-2147483649", b"\x00" b"0777", b"\x2299zz"],
    "dotted_quad": [b"10.0.0.1", b" 255.255.255.0\n", b"-1.+2.300.4 tail", b"1.2.3"],
    "system_prom": [
        b"\x00\x00" + store({0x110: bytes(6), 0x120: struct.pack(">i", 59), 0x141: b"BSN"}),
        b"\x03\x06" + op(3, 0x120, 4) + op(4, 0, 0) + op(2, 0x120, 0) + op(5, 0x110, 0)
        + op(7, 0x141, 0x83) + op(1, 0, 0) + store({0x110: bytes(6), 0x141: b"SN"}),
        b"\x06\x04" + op(6, 0, 1) + op(3, 0x500, 0x7f) + op(3, 0x501, 0x7f) + op(4, 0, 0)
        + b"TLVS\x00\x01\x00\x08\x00\x00\x00\x00\x01\x10\x00\x06",
        b"\x04\x02" + op(0, 0, 0) + op(1, 0, 0) + b"\xff" * 16,
    ],
    "fail_rules": [
        b"\x00swServSetWWN_bus=-3/5,VPD_Client::read#4=-1",
        b"\x00 kestrel_open = 0 , swServFlush#2=-5/28",
        b"\x01" b"48",
        b"\x02\x00" + bounds(0, 65535) + b"0x1f",
        b"\x02\x01" + bounds(-2147483648, 2147483647) + b"-42",
    ],
    "promsim_args": [
        b"\x00set\nproduct-id\n59", b"\x00list", b"\x00tlvs", b"\x02tlvs", b"\x01get\nmac0",
        b"\x00dump\nsystem\n0\n64", b"\x00poke\nkestrel\n0x10\nde:ad", b"\x00set\nclei\nABC",
        b"\x00absent\nblade", b"\x01reset\nall", b"\x00set\nasic-mac3\n00:05:1e:00:00:01",
        b"\x00unset\nsubassy7", b"\x00help",
    ],
    # First byte: command line (bits 0-2), hardware (bits 3-4); then stdin.
    "console": [
        b"\x00" b"4\n0\n",
        b"\x00" b"1\n\n\n\n\n2\n\n\n\n\n\n3\n\n\n5\n14\n15\n0\n",
        b"\x08" b"1\n\n\n\n\n4\n7\n10\n0\n",
        b"\x09" b"0a1b2c3d4e5f\n\n1020304050607080\n\n",
        b"\x0a" b"43\nPC-2\nBSN-2\n1\nSUB-0\n\n\n\n\n",
        b"\x0b" b"CSN-NEW\nCLEI123456\n",
        b"\x10" b"5\n12\n0523\nPN1\nFRU1\n1a\nIBM\nName\n6\n0\n",
        b"\x14" b"0 16\n100 32\nfff0 100\n10000 1\n",
        b"\x10" b"8\n10.0.0.1\n10.0.0.254\n255.255.255.0\n9\n0\n",
        b"\x10" b"7\n10\n12\n13\n0\n",
        b"\x16",
        b"\x18" b"14\nA00\nKestrel\nABC1234\n15\n0\n",
        b"\x0f" b"0a1b2c3d4e5f\n\n\n\n43\nPC\nSN\n0\n\nCSN\nCLEI\n",
    ],
}


def dialogue(mode, ending, lost, plan, ops):
    """promcfg-apply's dialogue: mode (bit 0: a plan from a file; bits 2-3:
    the group of a plan of labels), ending (late interrupts, status), the
    answer write that fails, the plan, then operations."""
    return bytes([mode, ending, lost]) + plan + ops


def steps(*pairs):
    """A plan of labels by their index in the harness's table, with answers."""
    return bytes([len(pairs)]) + b"".join(bytes([i, len(a)]) + a for i, a in pairs)


def wanted(asic, items, group=0):
    """A plan from a file: ASIC count byte, items (index, answer), group."""
    body = b"".join(bytes([i]) + (a if i == 7 else bytes([len(a)]) + a) for i, a in items)
    return bytes([asic, len(items)]) + body + bytes([group])


ASK, ASK_HALF, REST, DONE = b"\xf0", b"\x70", b"\xf6\x00", b"\xf4"
SYSTEM = steps((0, b"0a1b2c3d4e5f"), (1, b""), (2, b"1020304050607080"), (3, b""))
CHASSIS = steps((12, b"CSN-NEW"), (13, b"CLEI123456"))
BOARD = wanted(3, [(4, b"43"), (8, b"SUB-0"), (16, b"00051e000001")])
S["dialogue"] = [
    dialogue(0x00, 0, 0, SYSTEM, ASK * 4 + DONE),
    dialogue(0x01, 0, 0, BOARD, b"\x03" + (ASK_HALF + REST) * 6 + DONE),
    dialogue(0x00, 0, 0, SYSTEM, ASK + b"\x09\xf2"),
    dialogue(0x08, 0, 0, CHASSIS, ASK * 2 + b"\xf5"),
    dialogue(0x00, 0, 0, SYSTEM, ASK * 2 + b"\x0a\x00" + ASK),
    dialogue(0x00, 0, 2, SYSTEM, ASK * 4 + DONE),
    dialogue(0x01, 0, 0, wanted(0, [(4, b"43"), (5, b"PC-2")]), b"\x03" + ASK * 6 + DONE),
    dialogue(0x08, 0, 0, CHASSIS, ASK + b"\xf7\x0bWhat is it?"),
    dialogue(0x62, 0, 0, SYSTEM, b""),
    dialogue(0x08, 0x84, 0, CHASSIS, ASK + b"\x0b"),
    dialogue(0x08, 0, 0, CHASSIS, b"\xfc\xe4"),
    dialogue(0x00, 0x41, 0, SYSTEM, ASK * 4 + DONE),
    dialogue(0x08, 0x02, 0, CHASSIS, ASK * 2 + b"\x0a\x01\x0a\x02"),
    dialogue(0x01, 0, 0, wanted(5, [(0, b"0a1b2c3d4e5f"), (7, b"\x01"), (9, b"SUB-1"), (65, b"CLEI")], 2),
             ASK + b"\xe0" + REST + b"\x10\x05" + REST + DONE),
    dialogue(0x08, 0, 0, CHASSIS, ASK + b"\xfc\xe3\xf6\x01!"),
    dialogue(0x04, 0x01, 0, steps((4, b"59"), (5, b""), (6, b"BSN"), (7, b"0")),
             b"\x03\x08" + ASK * 2 + b"\xfc\x01\xf2" + ASK),
]

for target, seeds in S.items():
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    for n, seed in enumerate(seeds):
        with open(os.path.join(folder, "seed-%02d" % n), "wb") as f:
            f.write(seed)

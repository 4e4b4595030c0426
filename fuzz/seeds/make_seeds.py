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


def txt(a):
    return bytes([len(a)]) + a

def run(mode, ending, lost, err, plan, ops):
    """mode (bit 0: make_plan, bit 1: its option run, bit 2: the reading
    alone), ending (late interrupts, status, time limit), the answer write
    that fails, standard error, the plan, then operations."""
    return bytes([mode, ending, lost, err]) + plan + ops

def made(asic, product, records, items, fields=b"", count_bits=0):
    """The planned runs' input: ASIC count, product, records/layout, items
    (an item + 160: the switch holds it already), count bits (0x80 force,
    0x40 and 0x20 the records a system session reads)."""
    body = b"".join(bytes([i]) + (a if i % 80 == 7 else txt(a)) for i, a in items)
    return bytes([asic, product, records, len(items) | count_bits]) + body + fields

def step(index, answer=b"", optional=False, any_lead=False):
    flags = (1 if optional else 0) | (2 if any_lead else 0) | (0 if answer else 4)
    return bytes([index, flags]) + (txt(answer) if answer else b"")

def option_plan(blocks, chassis=False):
    """blocks: (group, [steps])."""
    shape = 1 | (len(blocks) << 1) | (0x10 if chassis else 0)
    return bytes([shape]) + b"".join(bytes([g, len(s) - 1]) + b"".join(s) for g, s in blocks)

def menu_plan(blocks, reading, resume=True, more=None):
    shape = (len(blocks) << 1) | (0x20 if resume else 0) | (0x40 if more is not None else 0)
    body = b"".join(bytes([w, len(s) - 1]) + b"".join(s) for w, s in blocks)
    body += bytes([len(reading)]) + bytes(reading)
    if more is not None:
        body += bytes([len(more)]) + bytes(more)
    return bytes([shape]) + body

ASK, DONE, REST = b"\xf0", b"\xf4", b"\xf6\x00"
HALF = b"\x70"  # the prompt, half of it read
def other(i): return b"\xf3" + bytes([i])
def chassis(i): return b"\xfd" + bytes([i])
def refused(i): return b"\xf9" + bytes([i])
FAILED = b"\xf5"
def interrupt(i=0): return b"\x0a" + bytes([i])
TIMEOUT = b"\x0b"
def flood(i): return b"\x0c" + bytes([0xe0 + i])
AGAIN = b"\xf2"

# -s -b -c -x, as make_plan plans them (ASIC count known: 2).
FULL_ITEMS = [(0, b"0a1b2c3d4e5f"), (4, b"43"), (8, b"SUB-0"), (64, b"CSN-NEW"), (66, b"bc2")]
FULL = made(0x05, 0x00, 0, FULL_ITEMS)
FULL_OPS = ASK * 4 + DONE + ASK * 7 + DONE + ASK * 2 + DONE + chassis(0)
# The menu: rows 5, 8, 14, then rows 4, 7, 15, 11 and a dump (product 59, a layout).
MENU_ITEMS = [(69, b"PN-1"), (74, b"10.0.0.2"), (75, b"10.0.0.1"), (76, b"255.255.255.0"), (79, b"ABC1234")]
MENU = made(0x00, 0x0b, 0x08, MENU_ITEMS, b"\x07\x20")
MENU_OPS = ASK + ASK * 7 + ASK + ASK * 3 + DONE + ASK + ASK * 3 + ASK + other(4) + ASK + other(3) + ASK + other(4) + ASK + other(1) + ASK + other(2)
SYSTEM = option_plan([(0, [step(0, b"0a1b2c3d4e5f"), step(1), step(2, b"1020304050607080"), step(3)])])
BOARD = option_plan([(1, [step(4, b"59"), step(7, b"1"), step(8, b"SUB"), step(16, b"", True), step(17, b"", True)]),
                     (2, [step(19, b"CSN"), step(20, b"CLEI")])], chassis=True)
ROWS = menu_plan([(1, [step(7, b"10.0.0.2"), step(8, b"10.0.0.1"), step(9, b"255.0.0.0")]),
                  (2, [step(10, b"A0"), step(11, b"Name"), step(12, b"TAG1234")])],
                 [0x00, 0x03, 0x83], more=[0x01, 0x02])

# A file of system items: one menu session, row 4, then rows 1 to 3.
SYSTEM_ITEMS = [(0, b"0a1b2c3d4e5f"), (5, b"PC-2"), (64, b"CSN")]
SESSION = made(0x01, 0x00, 0, SYSTEM_ITEMS)
SESSION_OPS = ASK + other(0) + ASK + ASK * 4 + DONE + ASK + ASK * 4 + DONE + ASK + ASK * 2 + DONE + ASK

S["dialogue"] = [
    run(0x03, 0, 0, 0, FULL, FULL_OPS),
    run(0x01, 0, 0, 0, MENU, MENU_OPS),
    run(0x00, 0, 0, 0, SYSTEM, ASK * 4 + DONE),
    run(0x00, 0, 0, 0, BOARD, other(0) + ASK * 3 + HALF + REST + ASK + DONE + ASK * 2 + DONE + chassis(0)),
    run(0x00, 0, 0, 0, ROWS, ASK * 4 + DONE + ASK * 4 + ASK + other(3) + ASK + ASK + ASK + ASK),
    # a refused answer asked again, a failed call, an interrupt, a lost answer
    run(0x00, 0, 0, 0, SYSTEM, ASK + refused(1) + AGAIN),
    run(0x03, 0, 0, 0, FULL, ASK * 4 + FAILED + DONE + ASK),
    run(0x03, 0x01, 0, 0, FULL, ASK * 2 + interrupt(0) + ASK * 2 + DONE),
    run(0x01, 0, 3, 0, MENU, MENU_OPS),
    run(0x01, 0, 0, 0, MENU, ASK + ASK * 7 + refused(1) + ASK + ASK * 3),
    run(0x01, 0x08, 0, 1, MENU, ASK + ASK * 7 + ASK + ASK * 3 + DONE + interrupt(1)),
    # the end: not started, a time limit, a flood, the reading alone, a status
    run(0xe1, 0, 0, 0, FULL, b""),
    run(0x03, 0x80, 0, 0, FULL, FULL_OPS),
    run(0x00, 0, 0, 0, SYSTEM, ASK + flood(1)),
    run(0x05, 0, 0, 0, MENU, ASK + other(4) + ASK + ASK + ASK + other(1) + ASK),
    run(0x03, 0x08, 0, 2, FULL, FULL_OPS[:-2] + chassis(1)),
    run(0x01, 0, 0, 0, MENU, ASK + ASK * 7 + b"\x07\x05wrong" + ASK),
    run(0x00, 0, 0, 0, SYSTEM, ASK * 4 + b"\x06\x0aError, rc = " + DONE),
    run(0x07, 0, 0, 0, SESSION, SESSION_OPS),
    run(0x07, 0, 0, 0, made(0x01, 0x00, 0, [(160, b"0a1b2c3d4e5f"), (165, b"PC-2"), (64, b"CSN")]), SESSION_OPS),
    run(0x07, 0, 0, 0, made(0x00, 0x0b, 0x08, SYSTEM_ITEMS, b"\x00\x10", 0x60),
        ASK + ASK + ASK * 4 + FAILED + DONE + ASK + ASK),
    run(0x03, 0, 0, 0, made(0x05, 0x00, 0, [(160, b"0a1b2c3d4e5f"), (4, b"43"), (66, b"bc2")], b"", 0x80), FULL_OPS),
    run(0x00, 0, 0, 0, SYSTEM, ASK + flood(4)),
    run(0x03, 0, 0, 0, FULL, ASK * 4 + DONE + FAILED + ASK),
    run(0x00, 0, 0, 0, ROWS, ASK * 4 + DONE + b"\x06\x0ax\x090.\x09Exit\x0a" + ASK),
]

for target, seeds in S.items():
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    for n, seed in enumerate(seeds):
        with open(os.path.join(folder, "seed-%02d" % n), "wb") as f:
            f.write(seed)

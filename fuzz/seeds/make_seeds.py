#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into seeds/<target>/.

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

for target, seeds in S.items():
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    for n, seed in enumerate(seeds):
        with open(os.path.join(folder, "seed-%02d" % n), "wb") as f:
            f.write(seed)

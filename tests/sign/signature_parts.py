#!/usr/bin/env python3
"""signature_parts.py FILE.pdf N OUTDIR: the N-th signature (from 1) of a PDF
taken apart for independent verifiers: signed.bin (the bytes its range
covers), cms.der, value.bin (the signature value) and, when it carries one,
token.der (its timestamp token). Reads the byte range as written in the file.
"""
import os
import re
import sys

path, index, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
data = open(path, "rb").read()
ranges = re.findall(rb"/ByteRange\s*\[\s*(\d+)\s+(\d+)\s+(\d+)\s+(\d+)\s*\]", data)
a, b, c, d = map(int, ranges[index - 1])
hexdigits = data[a + b + 1:c - 1]
cms = bytes.fromhex(hexdigits.decode())


def element(buf, at):
    """(tag, header start, content start, end) of the DER element at `at`."""
    head, tag, n = at, buf[at], buf[at + 1]
    at += 2
    if n & 0x80:
        count, n = n & 0x7F, 0
        for i in range(count):
            n = n * 256 + buf[at + i]
        at += count
    return tag, head, at, at + n


def children(buf, element_found):
    items, at = [], element_found[2]
    while at < element_found[3]:
        items.append(element(buf, at))
        at = items[-1][3]
    return items


info = element(cms, 0)
cms = cms[:info[3]]  # the zeros after it are padding
signed_data = element(cms, children(cms, info)[1][2])  # inside [0] EXPLICIT
signer = children(cms, children(cms, signed_data)[-1])[0]
parts = children(cms, signer)
value = next(p for p in parts if p[0] == 0x04)
with open(os.path.join(out, "signed.bin"), "wb") as f:
    f.write(data[a:a + b] + data[c:c + d])
with open(os.path.join(out, "cms.der"), "wb") as f:
    f.write(cms)
with open(os.path.join(out, "value.bin"), "wb") as f:
    f.write(cms[value[2]:value[3]])
unsigned = [p for p in parts if p[0] == 0xA1]
if unsigned:
    attribute = children(cms, unsigned[0])[0]
    token = children(cms, children(cms, attribute)[1])[0]
    with open(os.path.join(out, "token.der"), "wb") as f:
        f.write(cms[token[1]:token[3]])

#!/usr/bin/env python3
"""Writes a deterministic client-like payload: a few large files and many small ones, three to
four folders deep, compressing about 2:1.  Usage: genpayload.py <dir> <big-MB,...> <small-count>
<small-min-KB> <small-max-KB>"""
import math
import os
import random
import sys

BLOCK = 4096


NOISE = 1408  # of every block; the rest is text, so deflate lands near 2:1 as binaries do


def content(rng, size, texts):
    out = bytearray()
    while len(out) < size:
        out += rng.randbytes(NOISE)
        out += rng.choice(texts)
    return bytes(out[:size])


def text_pool(rng):
    words = [("%s_%d " % (rng.choice(["render", "frame", "scene", "texture", "node", "light"]), i)).encode()
             for i in range(512)]
    pool = []
    for _ in range(256):
        text = bytearray()
        while len(text) < BLOCK - NOISE:
            text += rng.choice(words)
        pool.append(bytes(text[: BLOCK - NOISE]))
    return pool


def main():
    root, big, count, lo, hi = sys.argv[1], sys.argv[2], int(sys.argv[3]), float(sys.argv[4]), float(sys.argv[5])
    rng = random.Random(20240611)
    texts = text_pool(rng)
    folders = ["bin", "bin/plugins/render", "lib/qt/imageformats", "res/ui/icons/large", "res/lang",
               "data/scenes/samples/a", "data/scenes/samples/b", "scripts/max/startup"]
    total = 0
    for i, mb in enumerate(x for x in big.split(",") if x):
        path = os.path.join(root, folders[i % 2], "big%d.dat" % i)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        size = int(float(mb) * 1024 * 1024)
        with open(path, "wb") as f:
            f.write(content(rng, size, texts))
        total += size
    for i in range(count):
        path = os.path.join(root, folders[i % len(folders)], "f%04d.bin" % i)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        size = int(1024 * math.exp(rng.uniform(math.log(lo), math.log(hi))))
        with open(path, "wb") as f:
            f.write(content(rng, size, texts))
        total += size
    with open(os.path.join(root, "bin", "VantrixZMT"), "wb") as f:
        f.write(b"#!/bin/sh\necho client\n")
    os.chmod(os.path.join(root, "bin", "VantrixZMT"), 0o755)
    print("payload: %d files, %.1f MB" % (count + len(big.split(",")) + 1, total / 1e6))


if __name__ == "__main__":
    main()

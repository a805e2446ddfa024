#!/usr/bin/python3
"""opencv_reference.py [REPEATS]: OpenCV's single-threaded counterparts of the per-pixel
operations, on 4096 x 4096 pictures like those of bench_imageops, bench_contrast and
bench_thresholds, each making a fresh output per call. Prints the best of REPEATS runs
(default 10) in milliseconds. For measuring only: the program does not use OpenCV (Debian's
python3-opencv provides cv2)."""
import sys
import time

import cv2
import numpy as np


def best_ms(repeats, f):
    best = float("inf")
    for _ in range(repeats):
        t0 = time.perf_counter()
        f()
        best = min(best, (time.perf_counter() - t0) * 1000.0)
    return best


def main():
    repeats = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    cv2.setNumThreads(1)
    side = 4096
    rng = np.random.default_rng(1)
    grey = np.clip(rng.normal(110, 35, (side, side)), 0, 255).astype(np.uint8)
    colour = (np.clip(rng.normal(110, 35, (side, side, 3)), 0, 255).astype(np.uint8) & 0xF8)
    lut = np.clip(np.arange(256) + 127, 0, 255).astype(np.uint8)
    colour_map = rng.integers(0, 256, (256, 1, 3), dtype=np.uint8)
    reused8, reused24 = np.empty_like(grey), np.empty_like(colour)

    print(f"OpenCV {cv2.__version__}, {cv2.getNumThreads()} thread, best of {repeats} (ms)")
    rows = [
        ("copy into a reused 8-bit buffer", lambda: np.copyto(reused8, grey)),
        ("copy into a reused 24-bit buffer", lambda: np.copyto(reused24, colour)),
        ("cv2.cvtColor BGR2GRAY", lambda: cv2.cvtColor(colour, cv2.COLOR_BGR2GRAY)),
        ("cv2.LUT 8-bit", lambda: cv2.LUT(grey, lut)),
        ("cv2.extractChannel 1", lambda: cv2.extractChannel(colour, 1)),
        ("cv2.blur 3x3", lambda: cv2.blur(grey, (3, 3))),
        ("cv2.applyColorMap 8 -> 24 bits", lambda: cv2.applyColorMap(grey, colour_map)),
    ]
    for name, f in rows:
        print(f"  {name:<34} {best_ms(repeats, f):8.2f}")


if __name__ == "__main__":
    main()

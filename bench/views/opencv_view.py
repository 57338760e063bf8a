#!/usr/bin/python3
"""The rival of the views benchmark: one rectilinear view out of a stitched equirectangular
panorama with OpenCV (decode, remap with a computed map, encode), as a Python user writes it.

usage: opencv_view.py PANORAMA.jpg OUT.jpg HEADING PITCH FOV WIDTH HEIGHT
HEADING is the panorama's own angle (0 at its left edge). Prints the seconds the work took
(decode + map + remap + encode, without the interpreter's start and imports).
"""
import sys
import time

import cv2
import numpy as np


def main():
    source, out = sys.argv[1], sys.argv[2]
    heading, pitch, fov = (float(v) for v in sys.argv[3:6])
    width, height = int(sys.argv[6]), int(sys.argv[7])
    start = time.perf_counter()
    panorama = cv2.imread(source, cv2.IMREAD_COLOR)
    full_height, full_width = panorama.shape[:2]
    focal = width / 2 / np.tan(np.radians(fov) / 2)
    x = np.arange(width, dtype=np.float32) + 0.5 - width / 2
    y = height / 2 - (np.arange(height, dtype=np.float32) + 0.5)
    xx, yy = np.meshgrid(x, y)
    p = np.radians(pitch)
    up = yy * np.cos(p) + focal * np.sin(p)
    ahead = focal * np.cos(p) - yy * np.sin(p)
    lon = np.radians(heading) + np.arctan2(xx, ahead)
    lat = np.arctan2(up, np.hypot(xx, ahead))
    map_x = (np.mod(lon / (2 * np.pi), 1.0) * full_width - 0.5).astype(np.float32)
    map_y = ((0.5 - lat / np.pi) * full_height - 0.5).astype(np.float32)
    view = cv2.remap(panorama, map_x, map_y, cv2.INTER_LINEAR, borderMode=cv2.BORDER_WRAP)
    cv2.imwrite(out, view, [cv2.IMWRITE_JPEG_QUALITY, 90])
    print(f"{time.perf_counter() - start:.4f}")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""The rival of the end-to-end benchmark: a whole panorama task done the way the fastest
downloaders of today's service work. One lookup, then every tile of the zoom level requested at
once over a pool of up to 100 connections (aiohttp), each tile decoded and pasted into one
picture in memory as it arrives (Pillow), and the picture saved as one JPEG.

Written for the benchmark only; it reads the lookup answer the stand-in gives (JavaScript around
a JSON array: R[1][1][1] the id, R[1][2][3][0][z][0] [height, width] at zoom z, R[1][2][3][1]
[height, width] of a tile).

usage: rival_task.py LOOKUP_URL TILE_BASE ZOOM CA_FILE OUT.jpg QUALITY
Prints "lookup_bytes N" and "tiles N".
"""
import asyncio
import io
import json
import ssl
import sys

import aiohttp
from PIL import Image

CONNECTION_POOL = 100


def parse_lookup(text):
    start = text.index("(", text.index("&&")) + 1
    answer = json.loads(text[start:text.rindex(")")])
    panorama = answer[1]
    return panorama[1][1], panorama[2][3][0], panorama[2][3][1]


async def run(lookup_url, tile_base, zoom, ca_file, out_path, quality):
    context = ssl.create_default_context(cafile=ca_file)
    connector = aiohttp.TCPConnector(limit=CONNECTION_POOL, ssl=context)
    async with aiohttp.ClientSession(connector=connector) as session:
        async with session.get(lookup_url) as reply:
            body = await reply.read()
        print("lookup_bytes", len(body))
        pano_id, sizes, tile_size = parse_lookup(body.decode("utf-8"))
        height, width = sizes[zoom][0]
        tile_height, tile_width = tile_size
        columns = -(-width // tile_width)
        rows = -(-height // tile_height)
        picture = Image.new("RGB", (width, height))

        async def fetch(x, y):
            url = (f"{tile_base}/v1/tile?cb_client=maps_sv.tactile&panoid={pano_id}"
                   f"&x={x}&y={y}&zoom={zoom}")
            async with session.get(url) as tile_reply:
                data = await tile_reply.read()
            tile = Image.open(io.BytesIO(data))
            tile.load()
            picture.paste(tile, (x * tile_width, y * tile_height))

        await asyncio.gather(*(fetch(x, y) for x in range(columns) for y in range(rows)))
        picture.save(out_path, "JPEG", quality=quality)
        print("tiles", columns * rows)


def main():
    if len(sys.argv) != 7:
        sys.stderr.write(__doc__)
        return 2
    lookup_url, tile_base, zoom, ca_file, out_path, quality = sys.argv[1:]
    asyncio.run(run(lookup_url, tile_base, int(zoom), ca_file, out_path, int(quality)))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""What the Map Tiles API bills, counted at the stand-in (over TLS) in one run:
  RESULT maptiles_requests_per_tile <all requests of a zoom-5 task / its 512 tiles> (goal <= 1.01)
  RESULT batch_lookup_requests_per_100_places <requests that find the panoramas of a batch of
      PLACES places (panoIds), per 100 places; the lookup one place at a time needs 100>
The batch figure is printed beside the metadata and tile requests the same batch sent.
"""
import os
import shutil
import subprocess
import tempfile

import standin_bench

make_certificate = standin_bench.make_certificate

KEY = "bench-key"
ZOOM = 5
TILES = 32 * 16
PLACES = 250
START_LATITUDE = 48.8584
START_LONGITUDE = 2.2945
# About one cell of the stand-in east at that latitude, to walk to a panorama with zoom 5, and
# the step between two places of the batch (each in a cell of its own).
CELL_STEP = 0.0008
PLACE_STEP = 0.0015
MAX_PROBES = 200


class Standin(standin_bench.Standin):
    def __init__(self, root, cert, key, name):
        super().__init__(root, cert, key, name, extra=["--api-key", KEY])

    def targets(self):
        return [entry["target"] for entry in self.entries()]


def program_folder(root, standin, cert):
    return standin_bench.program_folder(root, standin, [
        "Protocol=maptiles", "MapTilesBase=" + standin.base, "CAFile=" + cert, "ApiKey=" + KEY])


def cli(folder, arguments):
    return subprocess.run([os.path.join(folder, "korvane-cli")] + arguments + ["--quiet"],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def task_requests(root, cert, key):
    standin = Standin(root, cert, key, "task")
    try:
        folder = program_folder(root, standin, cert)
        for probe in range(MAX_PROBES):
            save = os.path.join(root, "save-%d" % probe)
            os.makedirs(save)
            before = len(standin.targets())
            status = cli(folder, ["--task", "bench", "--lat", "%.6f" % START_LATITUDE, "--lon",
                                  "%.6f" % (START_LONGITUDE + probe * CELL_STEP), "--zoom",
                                  str(ZOOM), "--path", save + "/"])
            if status == 0:
                sent = standin.targets()[before:]
                tiles = sum(target.startswith("/v1/streetview/tiles/") for target in sent)
                print("zoom %d task: %d requests, %d of them tiles" % (ZOOM, len(sent), tiles))
                return len(sent) / TILES
        raise RuntimeError("no panorama with zoom %d near the start point" % ZOOM)
    finally:
        standin.stop()


def batch_requests(root, cert, key):
    standin = Standin(root, cert, key, "batch")
    try:
        folder = program_folder(root, standin, cert)
        save = os.path.join(root, "batch")
        os.makedirs(save)
        listing = os.path.join(save, "places.csv")
        with open(listing, "w") as places:
            places.write("lat,lon,name\n")
            for i in range(PLACES):
                places.write("%.6f,%.6f,p%d\n" % (START_LATITUDE,
                                                  START_LONGITUDE + i * PLACE_STEP, i))
        status = cli(folder, ["--batch", listing, "--path", save + "/", "--zoom", "1"])
        if status != 0:
            raise RuntimeError("the batch ended with status %d" % status)
        sent = standin.targets()
        finding = sum(target.startswith("/v1/streetview/panoIds") for target in sent)
        metadata = sum(target.startswith("/v1/streetview/metadata") for target in sent)
        tiles = sum(target.startswith("/v1/streetview/tiles/") for target in sent)
        print("batch of %d places: %d panoIds, %d metadata, %d tile requests" %
              (PLACES, finding, metadata, tiles))
        return finding * 100.0 / PLACES
    finally:
        standin.stop()


def main():
    root = tempfile.mkdtemp(prefix="korvane-maptiles-bench-")
    try:
        cert, key = make_certificate(root)
        print("RESULT maptiles_requests_per_tile %.4f" % task_requests(root, cert, key))
        print("RESULT batch_lookup_requests_per_100_places %.2f" %
              batch_requests(root, cert, key))
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""End-to-end benchmark of a whole task of today's protocol: korvane-cli --stitch against the
rival (rival_task.py: many concurrent requests and a stitch in memory), side by side in one run,
both against the stand-in over TLS, for a zoom-5 panorama of 16384 x 8192 (32 x 16 tiles).
Prints
  RESULT e2e_vs_rival_zoom5 <rival time / korvane time, healthy service>      (goal >= 1.5)
  RESULT e2e_vs_rival_zoom5_latency50 <the same with 50 ms per tile>          (goal >= 1.2)
  RESULT e2e_peak_rss_mib <korvane-cli's peak resident set, largest of the runs> (goal <= 64)
  RESULT lookup_answer_kib <the lookup answer korvane-cli received>
  RESULT ratelimited_tiles_per_s <tiles a second / the limit, whole task under the limit>
                                                                                (goal >= 0.8)
The last is a whole zoom-5 task of korvane-cli (no stitch) against a stand-in that answers 429
past RATE_LIMIT tile requests a second, once without and once with "Retry-After: 1"; the
figure is the lower of the two, and each run must end with every tile file in place and an empty
failed-tile list (a refused tile is never substituted). How many 429s the stand-in sent is
printed beside it.
The figures side by side with the rival are the best of ROUNDS runs (default 1;
KORVANE_E2E_ROUNDS overrides); the rate-limited task runs once in each form.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import standin_bench

make_certificate = standin_bench.make_certificate
PROGRAM_DIR = standin_bench.PROGRAM_DIR

HERE = os.path.dirname(os.path.abspath(__file__))
ZOOM = 5
COLUMNS, ROWS = 32, 16
TILES = COLUMNS * ROWS
QUALITY = 90  # korvane-cli --stitch's default
LATENCY_MS = 50
START_LATITUDE = 48.8584
START_LONGITUDE = 2.2945
# About one cell of the stand-in east at that latitude, to walk to a panorama with zoom 5.
CELL_STEP = 0.0008
MAX_PROBES = 200
# Tile requests a second the rate-limited stand-in allows, and the wait it names in one of the
# two runs (0: it names none).
RATE_LIMIT = 50
RATE_LIMIT_RETRY_AFTERS = (0, 1)
TOO_MANY_REQUESTS = 429


class Standin(standin_bench.Standin):
    def __init__(self, root, cert, key, latency_ms, plan=None, name=None):
        extra = ["--tile-latency", str(latency_ms)] if latency_ms else []
        super().__init__(root, cert, key, name or str(latency_ms), plan, extra)

    def lookup_targets(self):
        return [entry["target"] for entry in self.entries()
                if not entry["target"].startswith("/v1/tile")]

    def tile_statuses(self):
        return [entry["status"] for entry in self.entries()
                if entry["target"].startswith("/v1/tile")]


def program_folder(root, standin, cert):
    return standin_bench.program_folder(root, standin, [
        "Protocol=current", "LookupBase=" + standin.base, "TileBase=" + standin.base,
        "HomePage=%s/" % standin.base, "CAFile=" + cert])


def timed(args):
    """Runs a child to its end: (wall seconds, peak resident MiB, exit status, stdout)."""
    start = time.monotonic()
    process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    output = process.stdout.read()
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = os.waitstatus_to_exitcode(status)
    return time.monotonic() - start, usage.ru_maxrss / 1024.0, process.returncode, output


def korvane_run(folder, save, point, stitch=True):
    if os.path.exists(save):
        shutil.rmtree(save)
    os.makedirs(save)
    return timed([os.path.join(folder, "korvane-cli"), "--task", "bench", "--lat",
                  "%.6f" % point[0], "--lon", "%.6f" % point[1], "--zoom", str(ZOOM),
                  "--path", save + "/", "--quiet"] + (["--stitch"] if stitch else []))


def find_point(folder, save):
    """A point whose panorama has zoom 5; the run that finds it also warms the caches."""
    for probe in range(MAX_PROBES):
        point = (START_LATITUDE, START_LONGITUDE + probe * CELL_STEP)
        if korvane_run(folder, save, point)[2] == 0:
            return point
    raise RuntimeError("no panorama with zoom %d near the start point" % ZOOM)


def compare(root, cert, key, latency_ms, rounds, point=None):
    standin = Standin(root, cert, key, latency_ms)
    try:
        folder = program_folder(root, standin, cert)
        save = os.path.join(root, "save")
        if point is None:
            point = find_point(folder, save)
        else:
            korvane_run(folder, save, point)  # warm-up
        lookup = standin.base + standin.lookup_targets()[-1]
        ours, rival, rss = 1e9, 1e9, 0.0
        for round_number in range(rounds):
            seconds, peak, status, _ = korvane_run(folder, save, point)
            if status != 0:
                raise RuntimeError("korvane-cli ended with status %d" % status)
            answer = os.path.join(folder, "ini", "temp.json")
            lookup_kib = os.path.getsize(answer) / 1024.0 if os.path.exists(answer) else 0.0
            theirs = timed([sys.executable, os.path.join(HERE, "rival_task.py"), lookup,
                            standin.base, str(ZOOM), cert, os.path.join(root, "rival.jpg"),
                            str(QUALITY)])
            if theirs[2] != 0 or b"tiles %d" % TILES not in theirs[3]:
                raise RuntimeError("the rival failed: %r" % theirs[3])
            print("latency %d ms, round %d: korvane-cli --stitch %.2f s (%.1f MiB), rival "
                  "%.2f s (%.1f MiB)" % (latency_ms, round_number + 1, seconds, peak, theirs[0],
                                         theirs[1]))
            ours, rival, rss = min(ours, seconds), min(rival, theirs[0]), max(rss, peak)
        return rival / ours, rss, lookup_kib, point
    finally:
        standin.stop()


def check_every_tile_kept(save):
    """The task's tiles are all there as files and none is listed as failed (substituted).
    The names are the task's own: "<task>_failed.ftl" and "<task>/gv_<x>_<y>_<zoom>.jpg"."""
    failed = os.path.join(save, "bench_failed.ftl")
    if os.path.exists(failed):
        with open(failed, errors="replace") as listed:
            lines = [line for line in listed.read().splitlines() if line.strip()]
        if lines:
            raise RuntimeError("tiles were listed as failed: %r" % lines[:5])
    tiles = os.path.join(save, "bench")
    names = ["gv_%d_%d_%d.jpg" % (x, y, ZOOM) for x in range(COLUMNS) for y in range(ROWS)]
    missing = [name for name in names if not os.path.isfile(os.path.join(tiles, name))]
    if missing:
        raise RuntimeError("%d tile files are missing, e.g. %s" % (len(missing), missing[0]))


def rate_limited(root, cert, key, point, retry_after):
    """Tiles a second / RATE_LIMIT for a whole task against the rate-limited stand-in."""
    rule = "ratelimit tile %d" % RATE_LIMIT + (" retry-after=%d" % retry_after
                                                  if retry_after else "")
    standin = Standin(root, cert, key, 0, rule, "ratelimit-%d" % retry_after)
    try:
        folder = program_folder(root, standin, cert)
        save = os.path.join(root, "save")
        seconds, _, status, _ = korvane_run(folder, save, point, stitch=False)
        if status != 0:
            raise RuntimeError("korvane-cli under the rate limit ended with status %d" % status)
        check_every_tile_kept(save)
        statuses = standin.tile_statuses()
        refused = statuses.count(TOO_MANY_REQUESTS)
        rate = TILES / seconds
        print("rate limit %d tiles/s%s: %d tiles in %.2f s (%.1f tiles/s), %d tile requests, "
              "%d answered 429" % (RATE_LIMIT, ", Retry-After %d s" % retry_after
                                   if retry_after else ", no Retry-After", TILES, seconds, rate,
                                   len(statuses), refused))
        return rate / RATE_LIMIT
    finally:
        standin.stop()


def main():
    rounds = int(os.environ.get("KORVANE_E2E_ROUNDS", "1"))
    root = tempfile.mkdtemp(prefix="korvane-e2e-bench-")
    try:
        cert, key = make_certificate(root)
        healthy, rss, lookup_kib, point = compare(root, cert, key, 0, rounds)
        slow, slow_rss, _, _ = compare(root, cert, key, LATENCY_MS, rounds, point)
        limited = min(rate_limited(root, cert, key, point, retry_after)
                      for retry_after in RATE_LIMIT_RETRY_AFTERS)
        print("RESULT e2e_vs_rival_zoom5 %.3f" % healthy)
        print("RESULT e2e_vs_rival_zoom5_latency50 %.3f" % slow)
        print("RESULT e2e_peak_rss_mib %.1f" % max(rss, slow_rss))
        print("RESULT lookup_answer_kib %.1f" % lookup_kib)
        print("RESULT ratelimited_tiles_per_s %.3f" % limited)
    finally:
        shutil.rmtree(root, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())

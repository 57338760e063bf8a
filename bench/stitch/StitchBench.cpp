// Joins a zoom-5 task of 32 x 16 tiles (a 16384 x 8192 panorama) with mosaicker and with
// libvips (`vips arrayjoin` into an uncompressed file, then `vips crop` saving the crop as a
// JPEG of the same quality), side by side in one run, each best of BenchRounds, and prints
//   RESULT stitch_vs_vips <vips wall time / mosaicker wall time>   (goal >= 1.0)
//   RESULT stitch_peak_rss_mib <mosaicker's peak resident set>    (goal <= 64)
// Both run as child processes, so the resident set is the whole program's.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchChild.h"

namespace {

namespace fs = std::filesystem;
using korvane::bench::RunChild;
using korvane::bench::TextureTile;

constexpr int Zoom = 5;
constexpr int Columns = 32;
constexpr int Rows = 16;
constexpr int Tile = 512;
constexpr int Width = 16384;
constexpr int Height = 8192;
constexpr int Quality = 85;
constexpr int TileQuality = 85;
constexpr int BenchRounds = 2;

std::string TilePath(const fs::path& folder, int x, int y) {
  return (folder / ("gv_" + std::to_string(x) + "_" + std::to_string(y) + "_" +
                    std::to_string(Zoom) + ".jpg"))
      .string();
}

void WriteTask(const fs::path& root) {
  std::ofstream task(root / "bench.krvn", std::ios::binary);
  task << "[MapsType]\r\nMapsType=33\r\n[Pano]\r\nPano_id=bench\r\n[Zoom]\r\nZoom=" << Zoom
       << "\r\n\r\n[XY]\r\nMinX=0\r\nMinY=0\r\nMaxX=" << Columns - 1 << "\r\nMaxY=" << Rows - 1
       << "\r\n[Image]\r\nWidth=" << Width << "\r\nHeight=" << Height << "\r\n";
  const fs::path tiles = root / "bench";
  fs::create_directory(tiles);
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) {
      std::ofstream(TilePath(tiles, x, y), std::ios::binary)
          << TextureTile(x, y, Tile, TileQuality);
    }
  }
}

}  // namespace

int main() {
  char pattern[] = "/tmp/korvane-stitch-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path root = pattern;
  // The command line cannot chain two vips operations, so the joined picture goes through a
  // file; in memory (/dev/shm) when there is one, so vips is not timed writing to disk.
  const fs::path shm = "/dev/shm";
  const fs::path joinedFolder = fs::is_directory(shm) ? shm : root;
  const std::string joined =
      (joinedFolder / ("korvane-stitch-bench-" + std::to_string(getpid()) + ".v")).string();
  int exitStatus = 0;
  try {
    WriteTask(root);
    const std::string mosaicker = std::string(KORVANE_PROGRAM_DIR) + "/mosaicker";
    std::string tileList;
    for (int y = 0; y < Rows; ++y) {
      for (int x = 0; x < Columns; ++x)
        tileList += (tileList.empty() ? "" : " ") + TilePath(root / "bench", x, y);
    }
    const std::string ours = (root / "ours.jpg").string();
    const std::string theirs = (root / "vips.jpg").string() + "[Q=" + std::to_string(Quality) + "]";

    double oursBest = 1e9;
    double vipsBest = 1e9;
    double peakRss = 0;
    for (int round = 0; round < BenchRounds; ++round) {
      const korvane::bench::ChildRun run =
          RunChild({mosaicker, "--force", "--quality", std::to_string(Quality), "--out", ours,
                    (root / "bench.krvn").string()});
      oursBest = std::min(oursBest, run.Seconds);
      peakRss = std::max(peakRss, run.PeakRssMib);

      const korvane::bench::ChildRun join =
          RunChild({"vips", "arrayjoin", tileList, joined, "--across", std::to_string(Columns)});
      const korvane::bench::ChildRun crop =
          RunChild({"vips", "crop", joined, theirs, "0", "0", std::to_string(Width),
                    std::to_string(Height)});
      vipsBest = std::min(vipsBest, join.Seconds + crop.Seconds);
      fs::remove(joined);
      std::printf(
          "round %d: mosaicker %.2f s (cpu %.2f s, %.1f MiB), vips %.2f s (cpu %.2f s; join %.2f "
          "+ crop/save %.2f)\n",
          round + 1, run.Seconds, run.CpuSeconds, run.PeakRssMib, join.Seconds + crop.Seconds,
          join.CpuSeconds + crop.CpuSeconds, join.Seconds, crop.Seconds);
    }
    std::printf("RESULT stitch_vs_vips %.3f\n", vipsBest / oursBest);
    std::printf("RESULT stitch_peak_rss_mib %.1f\n", peakRss);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "stitch_bench: %s\n", error.what());
    exitStatus = 1;
  }
  fs::remove(joined);
  fs::remove_all(root);
  return exitStatus;
}

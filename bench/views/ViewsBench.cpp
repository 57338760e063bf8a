// One 1024 x 768 view at a field of view of 90 degrees out of a zoom-5 panorama (the classic
// 13312 x 6656 pixels, 26 x 13 tiles): mosaicker --view reading the task's tiles, against the
// same view made from the stitched JPEG by Python 3 with OpenCV (decode, remap with a computed
// map, encode; its own timing, without the interpreter's start), side by side in one run,
// each the best of BenchRounds over a few headings. Prints
//   RESULT view_vs_opencv <OpenCV's time / mosaicker's>    (goal >= 2.0)
//   RESULT view_peak_rss_mib <mosaicker's peak resident set> (goal <= 64)
// and, for information, mosaicker's time from the stitched JPEG.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
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
constexpr int Columns = 26;
constexpr int Rows = 13;
constexpr int Tile = 512;
constexpr int TileQuality = 85;
constexpr int BenchRounds = 3;
const char* const Size = "1024x768";
constexpr double Headings[] = {30, 135, 250};  // the panorama's own angles
constexpr double Pitch = 5;
constexpr double FieldOfView = 90;

void WriteTask(const fs::path& root) {
  std::ofstream task(root / "bench.krvn", std::ios::binary);
  task << "[MapsType]\r\nMapsType=32\r\n[Pano]\r\nPano_id=bench\r\n[Zoom]\r\nZoom=" << Zoom
       << "\r\n\r\n[XY]\r\nMinX=0\r\nMinY=0\r\nMaxX=" << Columns - 1 << "\r\nMaxY=" << Rows - 1
       << "\r\n";
  const fs::path tiles = root / "bench";
  fs::create_directory(tiles);
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) {
      std::ofstream(tiles / ("gv_" + std::to_string(x) + "_" + std::to_string(y) + "_" +
                             std::to_string(Zoom) + ".jpg"),
                    std::ios::binary)
          << TextureTile(x, y, Tile, TileQuality);
    }
  }
}

std::string Degrees(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

int main() {
  char pattern[] = "/tmp/korvane-views-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path root = pattern;
  int exitStatus = 0;
  try {
    WriteTask(root);
    // The record puts heading 180 at the panorama's middle: compass headings are then the
    // panorama's own angles, the ones the rival is given.
    std::ofstream(root / "bench.json") << "{\"heading\": 180}\n";
    const std::string mosaicker = std::string(KORVANE_PROGRAM_DIR) + "/mosaicker";
    const std::string task = (root / "bench.krvn").string();
    const std::string stitched = (root / "bench.jpg").string();
    RunChild({mosaicker, "--out", stitched, task});
    const std::string ours = (root / "ours.jpg").string();
    const std::string theirs = (root / "opencv.jpg").string();

    double oursBest = 1e9, jpegBest = 1e9, rivalBest = 1e9, peakRss = 0;
    for (int round = 0; round < BenchRounds; ++round) {
      for (const double angle : Headings) {
        const std::string view = Degrees(angle) + "," + Degrees(Pitch) + "," + Degrees(FieldOfView);
        const korvane::bench::ChildRun fromTiles =
            RunChild({mosaicker, "--view", view, "--size", Size, "--force", "--out", ours, task});
        const korvane::bench::ChildRun fromJpeg = RunChild(
            {mosaicker, "--view", view, "--size", Size, "--force", "--out", ours, stitched});
        const korvane::bench::ChildRun rival =
            RunChild({"/usr/bin/python3", RIVAL_SCRIPT, stitched, theirs, Degrees(angle),
                      Degrees(Pitch), Degrees(FieldOfView), "1024", "768"});
        const double rivalSeconds = std::stod(rival.Output);
        oursBest = std::min(oursBest, fromTiles.Seconds);
        jpegBest = std::min(jpegBest, fromJpeg.Seconds);
        rivalBest = std::min(rivalBest, rivalSeconds);
        peakRss = std::max(peakRss, fromTiles.PeakRssMib);
        std::printf(
            "round %d, angle %g: mosaicker from tiles %.3f s (%.1f MiB), from the JPEG %.3f s "
            "(%.1f MiB), OpenCV %.3f s (whole process %.3f s, %.1f MiB)\n",
            round + 1, angle, fromTiles.Seconds, fromTiles.PeakRssMib, fromJpeg.Seconds,
            fromJpeg.PeakRssMib, rivalSeconds, rival.Seconds, rival.PeakRssMib);
      }
    }
    std::printf("view from the stitched JPEG: %.3f s, OpenCV / that %.2f\n", jpegBest,
                rivalBest / jpegBest);
    std::printf("RESULT view_vs_opencv %.3f\n", rivalBest / oursBest);
    std::printf("RESULT view_peak_rss_mib %.1f\n", peakRss);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "views_bench: %s\n", error.what());
    exitStatus = 1;
  }
  fs::remove_all(root);
  return exitStatus;
}

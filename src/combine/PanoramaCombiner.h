#pragma once

#include <functional>
#include <string>
#include <vector>

#include "combine/PictureMetadata.h"
#include "combine/TaskTiles.h"

namespace korvane {

inline constexpr int DefaultCombineQuality = 90;
inline constexpr int MinCombineQuality = 1;
inline constexpr int MaxCombineQuality = 100;

// The panorama goes from the tile decoders to the encoder in bands of this many scanlines; two
// bands are alive at a time (one being decoded, one being encoded), so memory stays at about
// 2 * CombineBandLines * width * 3 bytes whatever the picture's height.
inline constexpr int CombineBandLines = 64;

// Where no tile could be read, the picture shows this grey.
inline constexpr unsigned char GapGrey = 128;

struct CombineRequest {
  std::string OutputPath;
  int Quality = DefaultCombineQuality;
  bool Replace = false;  // an existing OutputPath is replaced only when set
  // Threads that decode tiles; 0 = one per core.
  int DecodeThreads = 0;
  // Called on the calling thread after each band with the scanlines written so far and the
  // picture's height; returning false cancels (Exception "Cancelled.", nothing is left behind).
  std::function<bool(int linesDone, int linesTotal)> Progress;
};

struct CombineReport {
  std::string OutputPath;
  int Width = 0;
  int Height = 0;
  int TileCount = 0;  // tiles the picture is made of (those the crop leaves out not counted)
  // Paths of the tiles that were missing or could not be used (no JPEG, another size, damaged),
  // in row order; their places are grey.
  std::vector<std::string> MissingTiles;
  int BandsInMemoryAtOnce = 0;    // the decoder's most bands alive at one time
  long long PeakBufferBytes = 0;  // the most band memory held at one time
};

// Joins the task's tiles into one baseline JPEG of the panorama's real size, carrying the
// 360-degree metadata, and returns what was made. Tile rows are decoded band by band with
// all decode threads while the previous band is encoded; the picture is never whole in memory.
// A missing tile, or one that cannot be used, leaves grey and is reported (a tile damaged part
// way keeps the lines decoded before the damage); anything else that goes wrong raises Exception
// with a one-line message (no tile folder, the output cannot be written or already exists) and
// leaves no output behind.
CombineReport CombinePanorama(const TaskTiles& tiles, const CombineRequest& request);

// What the panorama of the task says of itself: the record beside the task file (when there
// is one) and the 360-degree facts of its full size.
PictureMetadata PanoramaMetadata(const TaskTiles& tiles);

// "<task file without extension>.jpg": the picture's default place, beside the task file.
std::string DefaultPanoramaPath(const std::string& taskFilePath);

}  // namespace korvane

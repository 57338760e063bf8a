#include "combine/PanoramaCombiner.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "combine/CombineLimits.h"
#include "combine/JpegStreamWriter.h"
#include "combine/OutputFile.h"
#include "combine/PictureMetadata.h"
#include "combine/TileDecoder.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "task/PanoramaRecordFile.h"

namespace korvane {
namespace {

// One band: `lines` scanlines of tile row `row` starting at line `firstLine` of its tiles.
struct Band {
  int row = 0;
  int firstLine = 0;
  int lines = 0;
  bool firstOfRow = false;
  bool lastOfRow = false;
};

std::vector<Band> CutIntoBands(int rows, int height) {
  std::vector<Band> bands;
  for (int row = 0; row < rows; ++row) {
    const int rowLines = std::min(TilePixels, height - row * TilePixels);
    for (int line = 0; line < rowLines; line += CombineBandLines) {
      const int lines = std::min(CombineBandLines, rowLines - line);
      bands.push_back({row, line, lines, line == 0, line + lines == rowLines});
    }
  }
  return bands;
}

// The tile decoders of the current tile row (null where the tile is missing), and the decoding
// of one band into a buffer. Only one band is decoded at a time; its columns are shared among
// the decode threads.
class RowDecoder {
 public:
  RowDecoder(const TaskTiles& tiles, int columns, int threads)
      : tiles_(tiles),
        decoders_(static_cast<std::size_t>(columns)),
        grey_(static_cast<std::size_t>(columns)),
        threads_(threads) {}

  // Decodes the band into buffer (band.lines rows of stride bytes); opens the row's tiles at
  // its first band and lets them go after its last. Raises the first tile's error.
  void Decode(const Band& band, std::uint8_t* buffer, std::size_t stride) {
    std::atomic<int> nextColumn{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto work = [&] {
      for (int column = nextColumn++; column < static_cast<int>(decoders_.size());
           column = nextColumn++) {
        try {
          DecodeColumn(band, column, buffer, stride);
        } catch (...) {
          const std::lock_guard<std::mutex> guard(failureLock);
          if (!failure) failure = std::current_exception();
        }
      }
    };
    std::vector<std::jthread> helpers;
    for (int i = 1; i < threads_; ++i)
      helpers.emplace_back(work);
    work();
    helpers.clear();
    if (failure) std::rethrow_exception(failure);
    if (band.lastOfRow) {
      for (std::size_t column = 0; column < grey_.size(); ++column) {
        const int x = tiles_.Grid.MinX + static_cast<int>(column);
        if (grey_[column]) missing_.push_back(tiles_.TilePath(x, tiles_.Grid.MinY + band.row));
      }
    }
  }

  const std::vector<std::string>& Missing() const { return missing_; }

 private:
  void DecodeColumn(const Band& band, int column, std::uint8_t* buffer, std::size_t stride) {
    auto& decoder = decoders_[static_cast<std::size_t>(column)];
    const int x = tiles_.Grid.MinX + column;
    const int y = tiles_.Grid.MinY + band.row;
    char& grey = grey_[static_cast<std::size_t>(column)];
    if (band.firstOfRow) {
      decoder.reset();
      const std::string path = tiles_.TilePath(x, y);
      decoder = FileExists(path) ? OpenTile(path) : nullptr;
      grey = decoder == nullptr;
    }
    std::uint8_t* left = buffer + static_cast<std::size_t>(column) * TilePixels * 3;
    if (decoder) {
      try {
        decoder->ReadLines(left, stride, band.lines);
      } catch (const Exception&) {
        // Damage further into the tile: the lines before it stay, the rest of it is grey.
        decoder.reset();
        grey = true;
      }
    }
    if (!decoder) {
      for (int line = 0; line < band.lines; ++line)
        std::memset(left + static_cast<std::size_t>(line) * stride, GapGrey, TilePixels * 3);
    }
    if (band.lastOfRow) decoder.reset();
  }

  // The tile's decoder, or null when the tile cannot be used (no JPEG, another size, not
  // readable): one bad tile leaves a grey square, not a failed panorama.
  static std::unique_ptr<TileDecoder> OpenTile(const std::string& path) {
    try {
      return std::make_unique<TileDecoder>(path, ReadRegularFile(path, MaxTileFileBytes),
                                           TilePixels);
    } catch (const Exception&) {
      return nullptr;
    }
  }

  const TaskTiles& tiles_;
  std::vector<std::unique_ptr<TileDecoder>> decoders_;
  // Per column of the current row: the tile is missing or cannot be used, and is painted grey.
  std::vector<char> grey_;
  int threads_;
  std::vector<std::string> missing_;
};

int DecodeThreadCount(int requested) {
  if (requested > 0) return requested;
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

}  // namespace

PictureMetadata PanoramaMetadata(const TaskTiles& tiles) {
  const std::optional<PanoramaRecord> record = ReadPanoramaRecord(tiles.TaskFilePath);
  PictureMetadata metadata = record ? MetadataOfRecord(*record) : PictureMetadata{};
  metadata.Panorama = PanoramaXmpFacts{
      tiles.ImageWidth, tiles.ImageHeight, tiles.ImageWidth, tiles.ImageHeight, 0, 0,
      tiles.CaptureDate};
  // A task file from before the record still knows its month.
  if (!metadata.Date && tiles.CaptureDate.size() >= 7)
    metadata.Date = ParseCaptureMonth(std::string_view(tiles.CaptureDate).substr(0, 7));
  return metadata;
}

std::string DefaultPanoramaPath(const std::string& taskFilePath) {
  return RemoveFileExt(taskFilePath) + ".jpg";
}

CombineReport CombinePanorama(const TaskTiles& tiles, const CombineRequest& request) {
  if (request.Quality < MinCombineQuality || request.Quality > MaxCombineQuality) {
    throw Exception("The quality must be from 1 to 100.");
  }
  if (!DirectoryExists(tiles.TileFolder)) {
    throw Exception("No tile folder " + tiles.TileFolder);
  }
  const int width = tiles.ImageWidth;
  const int height = tiles.ImageHeight;
  // Only the columns and rows the crop reaches are read.
  const int columns = tiles.ColumnsInImage();
  const int rows = tiles.RowsInImage();
  const std::size_t stride = static_cast<std::size_t>(columns) * TilePixels * 3;

  OutputFile output(request.OutputPath, request.Replace);
  JpegStreamWriter writer(output.Descriptor(), request.OutputPath, width, height, request.Quality,
                          PictureApp1Segments(PanoramaMetadata(tiles)));

  CombineReport report;
  report.OutputPath = request.OutputPath;
  report.Width = width;
  report.Height = height;
  report.TileCount = columns * rows;

  // Two bands: the decode threads fill one while this thread encodes the other.
  std::vector<std::uint8_t> buffers[2];
  for (auto& buffer : buffers)
    buffer.resize(stride * CombineBandLines);
  report.BandsInMemoryAtOnce = 2;
  report.PeakBufferBytes = static_cast<long long>(stride) * CombineBandLines * 2;

  RowDecoder decoder(tiles, columns, DecodeThreadCount(request.DecodeThreads));
  const std::vector<Band> bands = CutIntoBands(rows, height);
  std::exception_ptr decodeFailure;
  auto decodeInto = [&](std::size_t index) {
    try {
      decoder.Decode(bands[index], buffers[index % 2].data(), stride);
    } catch (...) {
      decodeFailure = std::current_exception();
    }
  };

  int linesDone = 0;
  std::jthread ahead([&] { decodeInto(0); });
  for (std::size_t index = 0; index < bands.size(); ++index) {
    ahead.join();
    if (decodeFailure) std::rethrow_exception(decodeFailure);
    if (index + 1 < bands.size()) ahead = std::jthread([&, index] { decodeInto(index + 1); });
    writer.WriteLines(buffers[index % 2].data(), stride, bands[index].lines);
    linesDone += bands[index].lines;
    if (request.Progress && !request.Progress(linesDone, height)) {
      if (ahead.joinable()) ahead.join();
      throw Exception("Cancelled.");
    }
  }
  writer.Finish();
  output.Commit();
  report.MissingTiles = decoder.Missing();
  return report;
}

}  // namespace korvane

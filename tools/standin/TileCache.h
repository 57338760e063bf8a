#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

#include "PanoramaSizes.h"
#include "RgbImage.h"
#include "StandinLimits.h"

namespace korvane::standin {

// The encoded tiles: each tile is painted and encoded once, on its first request, and then
// served from memory. Thread-safe; concurrent first requests for one tile wait for a single
// encoding. Beyond maxBytes the least recently used tiles are dropped (and encoded again when
// asked for).
class TileCache {
 public:
  using Bytes = std::shared_ptr<const std::string>;

  explicit TileCache(std::size_t maxBytes = MaxCachedTileBytes);
  TileCache(const TileCache&) = delete;
  TileCache& operator=(const TileCache&) = delete;

  // The JPEG of tile (x, y) at the zoom level of the panorama. Like the real service, it
  // answers an id it never handed out, or a tile outside the grid, with its placeholder.
  Bytes Tile(std::string_view panoId, int x, int y, int zoom);

  // The same for the current protocol: the grid of the panorama's own size (PanoramaSizes.h),
  // from zoom 0 to its highest; the placeholder for any other tile or id.
  Bytes CurrentTile(std::string_view panoId, int x, int y, int zoom);

  // The same for a panorama of a given shape (the town's, whose ids name no cell).
  Bytes ShapedTile(std::string_view panoId, const PanoramaShape& shape, int x, int y, int zoom);

  // The service's placeholder: a grayscale, all-black 512 x 512 JPEG of 1184 bytes.
  Bytes BlackTile();

  // How many tiles were encoded so far (the black tile not included).
  std::size_t EncodeCount() const { return encodeCount_.load(); }

 private:
  struct Entry {
    std::once_flag Once;
    Bytes Jpeg;
    bool Counted = false;  // its size is part of totalBytes_
    std::list<std::string>::iterator Recent;
  };

  // The tile under key, painted by render and encoded on its first request.
  Bytes Cached(const std::string& key, const std::function<RgbImage()>& render);
  void Account(const std::string& key, const std::shared_ptr<Entry>& entry);

  const std::size_t maxBytes_;
  std::mutex mutex_;  // guards entries_, recent_ and totalBytes_
  std::unordered_map<std::string, std::shared_ptr<Entry>> entries_;
  std::list<std::string> recent_;  // most recently used first
  std::size_t totalBytes_ = 0;
  std::atomic<std::size_t> encodeCount_{0};
  std::once_flag blackOnce_;
  Bytes black_;
};

}  // namespace korvane::standin

#include "TileCache.h"

#include "JpegEncoder.h"
#include "PanoramaId.h"
#include "PanoramaPainter.h"
#include "PanoramaSizes.h"
#include "TileGrid.h"

namespace korvane::standin {

TileCache::TileCache(std::size_t maxBytes) : maxBytes_(maxBytes) {}

TileCache::Bytes TileCache::BlackTile() {
  std::call_once(blackOnce_, [this] {
    black_ = std::make_shared<const std::string>(
        EncodeGrayJpeg(TilePixels, TilePixels, 0, PlaceholderQuality));
  });
  return black_;
}

TileCache::Bytes TileCache::Tile(std::string_view panoId, int x, int y, int zoom) {
  if (!IsGridTile(x, y, zoom) || !CellOfPanoId(panoId)) return BlackTile();
  std::string key(panoId);
  key += '/' + std::to_string(x) + '/' + std::to_string(y) + '/' + std::to_string(zoom);
  return Cached(key, [&] { return RenderTile(panoId, x, y, zoom); });
}

TileCache::Bytes TileCache::CurrentTile(std::string_view panoId, int x, int y, int zoom) {
  const auto cell = CellOfPanoId(panoId);
  if (!cell) return BlackTile();
  return ShapedTile(panoId, ShapeOf(SizeOfCell(*cell)), x, y, zoom);
}

TileCache::Bytes TileCache::ShapedTile(std::string_view panoId, const PanoramaShape& shape, int x,
                                       int y, int zoom) {
  if (!shape.IsGridTile(x, y, zoom)) return BlackTile();
  std::string key = "current/";
  key += panoId;
  key += '/' + std::to_string(x) + '/' + std::to_string(y) + '/' + std::to_string(zoom);
  return Cached(key, [&] {
    const PanoramaPainter painter(panoId, shape.WidthAt(zoom), shape.HeightAt(zoom),
                                  ZoomScale(zoom));
    return RenderTile(painter, x, y, zoom);
  });
}

TileCache::Bytes TileCache::Cached(const std::string& key,
                                   const std::function<RgbImage()>& render) {
  std::shared_ptr<Entry> entry;
  {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(key);
    if (found == entries_.end()) {
      entry = std::make_shared<Entry>();
      recent_.push_front(key);
      entry->Recent = recent_.begin();
      entries_.emplace(key, entry);
    } else {
      entry = found->second;
      recent_.splice(recent_.begin(), recent_, entry->Recent);
    }
  }
  std::call_once(entry->Once, [&] {
    entry->Jpeg = std::make_shared<const std::string>(EncodeJpeg(render(), JpegQuality));
    ++encodeCount_;
  });
  Account(key, entry);
  return entry->Jpeg;
}

void TileCache::Account(const std::string& key, const std::shared_ptr<Entry>& entry) {
  std::lock_guard lock(mutex_);
  auto found = entries_.find(key);
  if (found == entries_.end() || found->second != entry || entry->Counted) return;
  entry->Counted = true;
  totalBytes_ += entry->Jpeg->size();
  // Never drop the tile just added: the cache holds at least one tile whatever its bound.
  while (totalBytes_ > maxBytes_ && recent_.size() > 1) {
    auto victim = entries_.find(recent_.back());
    if (victim->second->Counted) totalBytes_ -= victim->second->Jpeg->size();
    recent_.pop_back();
    entries_.erase(victim);
  }
}

}  // namespace korvane::standin

#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "viewer/StitchedPicture.h"
#include "viewer/TileCanvas.h"

class QFileSystemWatcher;
class QTimer;

namespace korvane::viewer {

// What the viewer shows: one stitched JPEG, or the tiles of a task folder kept up to date while
// a download fills it. Decoding runs on worker threads; the picture itself is only changed on
// the thread the document lives on, between frames, so views read it there without locks.
class PanoramaDocument final : public QObject {
  Q_OBJECT

 public:
  explicit PanoramaDocument(QObject* parent = nullptr);
  ~PanoramaDocument() override;  // stops the workers and waits for them

  // Starts opening a JPEG file, a task file (".krvn") or a tile folder; emits opened() or
  // failed() later. Never throws.
  void Open(const QString& path);

  bool IsOpen() const { return open_; }
  const Pyramid& Picture() const;
  PanoramaPlacement Placement() const;
  bool ShowsTiles() const { return tiles_ != nullptr; }
  int ShownTiles() const { return tiles_ ? tiles_->ShownCount() : 0; }
  int TileCount() const { return tiles_ ? tiles_->TileCount() : 0; }

 signals:
  void opened();
  // New pixels: a tile arrived or the full-size picture replaced the scaled one.
  void changed();
  void failed(const QString& message);

 private:
  void OpenPicture(const std::string& path);
  void OpenTiles(const TileLayout& layout);
  void DecodeFullSize();
  void DecodeChangedTiles();
  void Fail(const QString& message);
  // Runs job on the worker thread (after the previous job ended).
  void StartWorker(std::function<void()> job);
  // Runs action on this document's thread, unless the document is gone by then.
  void Post(std::function<void()> action);

  std::optional<StitchedPicture> picture_;
  std::unique_ptr<TileCanvas> tiles_;
  bool open_ = false;
  bool decoding_ = false;
  bool rescanPending_ = false;
  QFileSystemWatcher* watcher_ = nullptr;
  QTimer* rescanTimer_ = nullptr;
  std::atomic<bool> cancel_{false};
  std::thread worker_;
};

}  // namespace korvane::viewer

#include "viewer/qt/PanoramaDocument.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <vector>

#include "viewer/OpenInput.h"

namespace korvane::viewer {
namespace {

// Watcher events come in bursts (a download renames tiles one after another): one look at
// the folder serves a burst.
constexpr int RescanDelayMs = 150;
// A tile that did not decode may still be being written by a program that does not rename
// into place, which the folder's watch does not report: it is looked at again after this
// long (never more often).
constexpr int RecheckDelayMs = 1000;

}  // namespace

PanoramaDocument::PanoramaDocument(QObject* parent) : QObject(parent) {
  rescanTimer_ = new QTimer(this);
  rescanTimer_->setSingleShot(true);
  connect(rescanTimer_, &QTimer::timeout, this, [this] { DecodeChangedTiles(); });
}

PanoramaDocument::~PanoramaDocument() {
  cancel_ = true;
  if (worker_.joinable()) worker_.join();
}

const Pyramid& PanoramaDocument::Picture() const {
  return tiles_ ? tiles_->Picture() : picture_->Picture;
}

PanoramaPlacement PanoramaDocument::Placement() const {
  return tiles_ ? tiles_->Placement() : picture_->Placement;
}

void PanoramaDocument::Post(std::function<void()> action) {
  QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
}

void PanoramaDocument::StartWorker(std::function<void()> job) {
  if (worker_.joinable()) worker_.join();
  worker_ = std::thread(std::move(job));
}

void PanoramaDocument::Fail(const QString& message) {
  emit failed(message);
}

void PanoramaDocument::Open(const QString& path) {
  const std::string name = path.toStdString();
  StartWorker([this, name] {
    try {
      const OpenedInput input = OpenInput(name);
      if (input.Kind == InputKind::Picture) {
        auto picture = std::make_shared<StitchedPicture>(OpenStitchedPicture(name));
        Post([this, picture] {
          picture_ = std::move(*picture);
          open_ = true;
          emit opened();
          if (picture_->NeedsFullSize()) DecodeFullSize();
        });
      } else {
        auto canvas = std::make_shared<TileCanvas>(input.Tiles);
        Post([this, canvas] {
          tiles_ = std::make_unique<TileCanvas>(std::move(*canvas));
          open_ = true;
          emit opened();
          OpenTiles(tiles_->Layout());
        });
      }
    } catch (const std::exception& error) {
      Post([this, message = QString::fromStdString(error.what())] { Fail(message); });
    }
  });
}

void PanoramaDocument::DecodeFullSize() {
  StartWorker([this] {
    try {
      auto pixels = std::make_shared<RgbBuffer>(viewer::DecodeFullSize(*picture_, &cancel_));
      if (pixels->Empty()) return;
      Post([this, pixels] {
        picture_->Picture.SetFullSize(std::move(*pixels));
        std::string().swap(picture_->Bytes);  // the file is not needed any more
        emit changed();
      });
    } catch (const std::exception& error) {
      // The scaled picture stays on screen; the message says why it does not get sharper.
      Post([this, message = QString::fromStdString(error.what())] { Fail(message); });
    }
  });
}

void PanoramaDocument::OpenTiles(const TileLayout& layout) {
  watcher_ = new QFileSystemWatcher(this);
  if (watcher_->addPath(QString::fromStdString(layout.Folder))) {
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
      if (!rescanTimer_->isActive()) rescanTimer_->start(RescanDelayMs);
    });
  } else {
    // No watch to be had (too many watches on the system): look once a second instead.
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this] { DecodeChangedTiles(); });
    poll->start(RecheckDelayMs);
  }
  DecodeChangedTiles();
}

// Looks at the folder on this thread (one listing), decodes what changed on the workers and
// applies each tile here as it comes.
void PanoramaDocument::DecodeChangedTiles() {
  if (decoding_) {
    rescanPending_ = true;
    return;
  }
  const std::vector<TileChange> changes = tiles_->Changes();
  if (changes.empty()) return;
  decoding_ = true;
  const TileLayout layout = tiles_->Layout();
  StartWorker([this, changes, layout] {
    auto undecoded = std::make_shared<std::atomic<int>>(0);
    const int threads = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    auto decodeShare = [&](int first) {
      for (std::size_t i = static_cast<std::size_t>(first); i < changes.size() && !cancel_;
           i += static_cast<std::size_t>(threads)) {
        const TileChange change = changes[i];
        auto pixels = std::make_shared<std::optional<RgbBuffer>>();
        if (change.Stamp.Size >= 0) *pixels = DecodeTile(layout.TilePath(change.X, change.Y));
        if (change.Stamp.Size >= 0 && !pixels->has_value()) ++*undecoded;
        Post([this, change, pixels] {
          tiles_->Apply(change, *pixels);
          emit changed();
        });
      }
    };
    {
      std::vector<std::jthread> helpers;
      for (int k = 1; k < threads; ++k)
        helpers.emplace_back(decodeShare, k);
      decodeShare(0);
    }
    Post([this, undecoded] {
      decoding_ = false;
      if (rescanPending_) {
        rescanPending_ = false;
        DecodeChangedTiles();
      } else if (*undecoded > 0 && !rescanTimer_->isActive()) {
        rescanTimer_->start(RecheckDelayMs);
      }
    });
  });
}

}  // namespace korvane::viewer

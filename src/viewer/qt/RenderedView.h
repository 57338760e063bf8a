#pragma once

#include <QWidget>

#include "viewer/RgbBuffer.h"

namespace korvane::viewer {

class PanoramaDocument;

// A view that renders the document's panorama into a frame of its own size at every paint,
// with the viewer's core on every processor, and shows it.
class RenderedView : public QWidget {
  Q_OBJECT

 public:
  explicit RenderedView(const PanoramaDocument& document, QWidget* parent = nullptr);

  // The last frame painted (empty before the first paint).
  const RgbBuffer& Frame() const { return frame_; }

 signals:
  // What the status bar shows for this view changed.
  void statusChanged(const QString& text);

 protected:
  const PanoramaDocument& Document() const { return document_; }
  virtual void Render(RgbBuffer& frame) = 0;
  void paintEvent(QPaintEvent* event) override;

 private:
  const PanoramaDocument& document_;
  RgbBuffer frame_;
};

}  // namespace korvane::viewer

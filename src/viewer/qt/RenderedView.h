#pragma once

#include <QPointF>
#include <QWidget>

#include "viewer/RgbBuffer.h"

namespace korvane::viewer {

class PanoramaDocument;

// A view that renders the document's panorama into a frame of its own size at every paint,
// with the viewer's core on every processor, and shows it. Dragging with the left button
// hands the pointer's moves to Drag.
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
  // The pointer moved by (dx, dy) widget pixels with the picture held.
  virtual void Drag(double dx, double dy) = 0;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const PanoramaDocument& document_;
  RgbBuffer frame_;
  bool dragging_ = false;
  QPointF lastPointer_;
};

}  // namespace korvane::viewer

#include "viewer/qt/RenderedView.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "viewer/ViewerLimits.h"
#include "viewer/qt/PanoramaDocument.h"

namespace korvane::viewer {

RenderedView::RenderedView(const PanoramaDocument& document, QWidget* parent)
    : QWidget(parent), document_(document) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(64, 64);
  setCursor(Qt::OpenHandCursor);
}

void RenderedView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  lastPointer_ = event->position();
  setCursor(Qt::ClosedHandCursor);
}

void RenderedView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !document_.IsOpen()) return;
  const QPointF delta = event->position() - lastPointer_;
  lastPointer_ = event->position();
  Drag(delta.x(), delta.y());
}

void RenderedView::mouseReleaseEvent(QMouseEvent*) {
  dragging_ = false;
  setCursor(Qt::OpenHandCursor);
}

void RenderedView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // Frames are rendered in device pixels, so a high-density screen gets its full sharpness.
  const qreal ratio = devicePixelRatioF();
  const int width = std::max(1, static_cast<int>(this->width() * ratio));
  const int height = std::max(1, static_cast<int>(this->height() * ratio));
  if (frame_.Width != width || frame_.Height != height) frame_ = RgbBuffer(width, height);
  if (!document_.IsOpen()) {
    painter.fillRect(rect(), QColor(OutsideGrey, OutsideGrey, OutsideGrey));
    return;
  }
  Render(frame_);
  QImage image(frame_.Pixels.data(), frame_.Width, frame_.Height,
               static_cast<qsizetype>(frame_.RowBytes()), QImage::Format_RGB888);
  image.setDevicePixelRatio(ratio);
  painter.drawImage(QPointF(0, 0), image);
}

}  // namespace korvane::viewer

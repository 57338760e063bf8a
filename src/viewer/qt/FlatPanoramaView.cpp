#include "viewer/qt/FlatPanoramaView.h"

#include <QKeyEvent>
#include <QWheelEvent>
#include <cmath>

#include "viewer/qt/PanoramaDocument.h"

namespace korvane::viewer {
namespace {

constexpr double ZoomStepPerNotch = 1.25;
constexpr double WheelNotch = 120.0;  // angleDelta of one notch of a mouse wheel

}  // namespace

FlatPanoramaView::FlatPanoramaView(const PanoramaDocument& document, QWidget* parent)
    : RenderedView(document, parent) {
  setObjectName("flatView");
}

QString FlatPanoramaView::StatusText() const {
  return QString("Zoom %1%").arg(viewport_.Scale * 100.0, 0, 'f', viewport_.Scale < 0.1 ? 1 : 0);
}

void FlatPanoramaView::SetViewport(const FlatViewport& viewport) {
  viewport_ = viewport;
  update();
  emit statusChanged(StatusText());
}

void FlatPanoramaView::Fit() {
  fitted_ = true;
  if (!Document().IsOpen()) return;
  const Pyramid& picture = Document().Picture();
  SetViewport(FitViewport(picture.Width(), picture.Height(), width(), height()));
}

void FlatPanoramaView::ShowOneToOne() {
  fitted_ = false;
  SetViewport(OneToOne(viewport_, width() / 2.0, height() / 2.0));
}

void FlatPanoramaView::Render(RgbBuffer& frame) {
  if (fitted_) {
    const Pyramid& picture = Document().Picture();
    const FlatViewport fit = FitViewport(picture.Width(), picture.Height(), width(), height());
    if (fit.Scale != viewport_.Scale || fit.Left != viewport_.Left || fit.Top != viewport_.Top) {
      viewport_ = fit;
      emit statusChanged(StatusText());
    }
  }
  // The viewport counts in widget pixels; the frame may have more on a dense screen.
  FlatViewport inDevicePixels = viewport_;
  inDevicePixels.Scale *= static_cast<double>(frame.Width) / std::max(1, width());
  RenderFlat(Document().Picture(), inDevicePixels, frame);
}

void FlatPanoramaView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / WheelNotch;
  if (notches == 0 || !Document().IsOpen()) return;
  fitted_ = false;
  const QPointF at = event->position();
  SetViewport(ZoomedAround(viewport_, std::pow(ZoomStepPerNotch, notches), at.x(), at.y()));
}

void FlatPanoramaView::Drag(double dx, double dy) {
  fitted_ = false;
  SetViewport(Panned(viewport_, dx, dy));
}

void FlatPanoramaView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_1:
      ShowOneToOne();
      break;
    case Qt::Key_0:
      Fit();
      break;
    default:
      RenderedView::keyPressEvent(event);
  }
}

}  // namespace korvane::viewer

#include "viewer/qt/SpherePanoramaView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "viewer/ViewerLimits.h"
#include "viewer/qt/PanoramaDocument.h"

namespace korvane::viewer {
namespace {

constexpr double KeyTurnDegrees = 5.0;
constexpr double FieldOfViewStepPerNotch = 5.0;
constexpr double WheelNotch = 120.0;

}  // namespace

SpherePanoramaView::SpherePanoramaView(const PanoramaDocument& document, QWidget* parent)
    : RenderedView(document, parent) {
  setObjectName("sphereView");
  setCursor(Qt::OpenHandCursor);
  angles_.FieldOfView = DefaultFieldOfView;
}

QString SpherePanoramaView::StatusText() const {
  return QString("Heading %1°   Pitch %2°   Field of view %3°")
      .arg(angles_.Heading, 0, 'f', 1)
      .arg(angles_.Pitch, 0, 'f', 1)
      .arg(angles_.FieldOfView, 0, 'f', 0);
}

void SpherePanoramaView::SetAngles(const ViewAngles& angles) {
  angles_ = Normalised(angles);
  update();
  emit statusChanged(StatusText());
}

void SpherePanoramaView::Render(RgbBuffer& frame) {
  RenderSphere(Document().Picture(), Document().Placement(), angles_, frame);
}

void SpherePanoramaView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / WheelNotch;
  if (notches == 0) return;
  ViewAngles angles = angles_;
  angles.FieldOfView -= notches * FieldOfViewStepPerNotch;  // wheel forward: closer
  SetAngles(angles);
}

void SpherePanoramaView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragging_ = true;
  lastPointer_ = event->position();
  setCursor(Qt::ClosedHandCursor);
}

void SpherePanoramaView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return;
  const QPointF delta = event->position() - lastPointer_;
  lastPointer_ = event->position();
  SetAngles(Dragged(angles_, delta.x(), delta.y(), width()));
}

void SpherePanoramaView::mouseReleaseEvent(QMouseEvent*) {
  dragging_ = false;
  setCursor(Qt::OpenHandCursor);
}

void SpherePanoramaView::keyPressEvent(QKeyEvent* event) {
  ViewAngles angles = angles_;
  switch (event->key()) {
    case Qt::Key_Left:
      angles.Heading -= KeyTurnDegrees;
      break;
    case Qt::Key_Right:
      angles.Heading += KeyTurnDegrees;
      break;
    case Qt::Key_Up:
      angles.Pitch += KeyTurnDegrees;
      break;
    case Qt::Key_Down:
      angles.Pitch -= KeyTurnDegrees;
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      angles.FieldOfView -= FieldOfViewStepPerNotch;
      break;
    case Qt::Key_Minus:
      angles.FieldOfView += FieldOfViewStepPerNotch;
      break;
    default:
      RenderedView::keyPressEvent(event);
      return;
  }
  SetAngles(angles);
}

}  // namespace korvane::viewer

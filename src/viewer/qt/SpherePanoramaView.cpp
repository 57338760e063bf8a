#include "viewer/qt/SpherePanoramaView.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include "viewer/Compass.h"
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
  angles_.FieldOfView = DefaultFieldOfView;
}

void SpherePanoramaView::SetMiddleHeading(const std::optional<double>& heading) {
  middleHeading_ = heading;
  emit statusChanged(StatusText());
}

double SpherePanoramaView::Heading() const {
  return middleHeading_ ? HeadingOfAngle(angles_.Heading, middleHeading_) : angles_.Heading;
}

QString SpherePanoramaView::CompassText() const {
  if (!middleHeading_) return "North not known";
  return QString("Facing %1 (%2°)")
      .arg(QString::fromStdString(CompassPoint(Heading())))
      .arg(Heading(), 0, 'f', 0);
}

QString SpherePanoramaView::StatusText() const {
  return QString("Heading %1°   Pitch %2°   Field of view %3°")
      .arg(Heading(), 0, 'f', 1)
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

void SpherePanoramaView::Drag(double dx, double dy) {
  SetAngles(Dragged(angles_, dx, dy, width()));
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

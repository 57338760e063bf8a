#pragma once

#include <optional>

#include "viewer/SphereView.h"
#include "viewer/qt/RenderedView.h"

namespace korvane::viewer {

// The 360-degree view: a rectilinear frame looking out from the panorama's centre. Dragging or
// the arrow keys turn heading and pitch, the wheel (or + and -) narrows and widens the field
// of view between MinFieldOfView and MaxFieldOfView.
class SpherePanoramaView final : public RenderedView {
  Q_OBJECT

 public:
  explicit SpherePanoramaView(const PanoramaDocument& document, QWidget* parent = nullptr);

  const ViewAngles& Angles() const { return angles_; }
  void SetAngles(const ViewAngles& angles);
  QString StatusText() const;

  // The compass heading of the panorama's middle, when known: the status then gives compass
  // headings, and CompassText the point of the compass the view faces.
  void SetMiddleHeading(const std::optional<double>& heading);
  const std::optional<double>& MiddleHeading() const { return middleHeading_; }
  // The heading the view faces as people give it (compass degrees when north is known, else
  // degrees from the panorama's middle).
  double Heading() const;
  // "Facing NE (45°)", or "North not known" without the panorama's heading.
  QString CompassText() const;

 protected:
  void Render(RgbBuffer& frame) override;
  void wheelEvent(QWheelEvent* event) override;
  void Drag(double dx, double dy) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  ViewAngles angles_;
  std::optional<double> middleHeading_;
};

}  // namespace korvane::viewer

#pragma once

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

 protected:
  void Render(RgbBuffer& frame) override;
  void wheelEvent(QWheelEvent* event) override;
  void Drag(double dx, double dy) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  ViewAngles angles_;
};

}  // namespace korvane::viewer

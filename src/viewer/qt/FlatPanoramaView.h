#pragma once

#include "viewer/FlatView.h"
#include "viewer/qt/RenderedView.h"

namespace korvane::viewer {

// The picture as it is: fitted to the window until the user zooms; the wheel zooms around the
// pointer, dragging pans, key 1 shows it at 1:1 and key 0 fits it again.
class FlatPanoramaView final : public RenderedView {
  Q_OBJECT

 public:
  explicit FlatPanoramaView(const PanoramaDocument& document, QWidget* parent = nullptr);

  const FlatViewport& Viewport() const { return viewport_; }
  void Fit();
  void ShowOneToOne();
  QString StatusText() const;

 protected:
  void Render(RgbBuffer& frame) override;
  void wheelEvent(QWheelEvent* event) override;
  void Drag(double dx, double dy) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SetViewport(const FlatViewport& viewport);

  FlatViewport viewport_;
  bool fitted_ = true;  // follows the window's size until the user zooms or pans
};

}  // namespace korvane::viewer

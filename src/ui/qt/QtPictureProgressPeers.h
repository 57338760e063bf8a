#pragma once

#include <QLabel>
#include <QProgressBar>

#include "ui/TImage.h"
#include "ui/TProgressBar.h"
#include "ui/qt/QtControlPeer.h"

namespace korvane {

class QtProgressBarPeer final : public QtControlPeer {
 public:
  QtProgressBarPeer(TProgressBar& bar, QWidget* parent);

 protected:
  void Update(TChange what) override;

 private:
  QProgressBar* Bar() const { return static_cast<QProgressBar*>(widget_.data()); }

  TProgressBar& bar_;
};

// The picture drawn scaled into the control's bounds, proportions kept, centred.
class QtImagePeer final : public QtControlPeer {
 public:
  QtImagePeer(TImage& image, QWidget* parent);

 protected:
  void Update(TChange what) override;
  void ApplyBounds() override;

 private:
  QLabel* Label() const { return static_cast<QLabel*>(widget_.data()); }
  void ShowPicture();

  TImage& image_;
};

}  // namespace korvane

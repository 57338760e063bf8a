#include "ui/qt/QtPictureProgressPeers.h"

#include <QImage>
#include <QPixmap>

namespace korvane {

QtProgressBarPeer::QtProgressBarPeer(TProgressBar& bar, QWidget* parent)
    : QtControlPeer(bar, new QProgressBar(parent)), bar_(bar) {}

void QtProgressBarPeer::Update(TChange what) {
  if (what != TChange::Position) return;
  Bar()->setRange(bar_.Min(), bar_.Max());
  Bar()->setValue(bar_.Position());
}

QtImagePeer::QtImagePeer(TImage& image, QWidget* parent)
    : QtControlPeer(image, new QLabel(parent)), image_(image) {
  Label()->setAlignment(Qt::AlignCenter);
}

void QtImagePeer::Update(TChange what) {
  if (what == TChange::Picture) ShowPicture();
}

void QtImagePeer::ApplyBounds() {
  QtControlPeer::ApplyBounds();
  ShowPicture();
}

void QtImagePeer::ShowPicture() {
  const TPicture& picture = image_.Picture();
  if (picture.Empty()) {
    Label()->clear();
    return;
  }
  // The image only borrows the pixels; the pixmap made from it owns its copy.
  const QImage image(picture.Rgb.data(), picture.Width, picture.Height, picture.Width * 3,
                     QImage::Format_RGB888);
  Label()->setPixmap(QPixmap::fromImage(image).scaled(
      image_.Width(), image_.Height(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace korvane

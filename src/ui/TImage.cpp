#include "ui/TImage.h"

#include <algorithm>

#include "ui/TPeer.h"

namespace korvane {

TImage::TImage(TControl* parent, std::string name) : TControl(parent, std::move(name)) {}

void TImage::SetPicture(TPicture picture) {
  const auto expected = static_cast<std::size_t>(std::max(picture.Width, 0)) *
                        static_cast<std::size_t>(std::max(picture.Height, 0)) * 3;
  if (picture.Empty() || picture.Rgb.size() != expected) picture = TPicture{};
  picture_ = std::move(picture);
  Notify(TChange::Picture);
}

std::unique_ptr<TPeer> TImage::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane

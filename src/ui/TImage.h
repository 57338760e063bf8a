#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/TControl.h"

namespace korvane {

// A picture in memory: 8-bit RGB pixels, rows top to bottom, no padding.
struct TPicture {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgb;

  bool Empty() const { return Width <= 0 || Height <= 0; }
};

// Shows a picture scaled to fit its bounds, its proportions kept, centred; nothing while the
// picture is empty.
class TImage : public TControl {
 public:
  TImage(TControl* parent, std::string name);

  const TPicture& Picture() const { return picture_; }
  // A picture whose pixel count does not match its size is taken as empty.
  void SetPicture(TPicture picture);
  void Clear() { SetPicture({}); }

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

 private:
  TPicture picture_;
};

}  // namespace korvane

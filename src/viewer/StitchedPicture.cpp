#include "viewer/StitchedPicture.h"

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "viewer/JpegPicture.h"
#include "viewer/ViewerLimits.h"

namespace korvane::viewer {
namespace {

// The first decode is at least this wide: enough for a 1280-pixel frame with a 90-degree field
// of view (SphereLevel picks this level for it), a fraction of a 16384-pixel panorama's work.
constexpr int FirstDecodeMinWidth = 4096;
constexpr int MaxDecodeDenominator = 8;

}  // namespace

StitchedPicture OpenStitchedPicture(const std::string& path) {
  StitchedPicture picture;
  try {
    picture.Bytes = ReadFileBytes(path);
  } catch (const std::exception&) {
    throw Exception("Cannot open file " + path);
  }
  const JpegHeader header = ReadJpegHeader(picture.Bytes);
  if (header.Width < MinPictureSide || header.Height < MinPictureSide)
    throw Exception("The picture is " + std::to_string(header.Width) + " x " +
                    std::to_string(header.Height) + " pixels: too small to be a panorama.");
  if (Pyramid::TotalBytes(header.Width, header.Height) > MaxDecodedPictureBytes)
    throw Exception(TooBigMessage(header.Width, header.Height));
  picture.Placement = PlacePicture(header.Width, header.Height, header.GPano);
  int denominator = 1, level = 0;
  while (denominator < MaxDecodeDenominator &&
         header.Width / (2 * denominator) >= FirstDecodeMinWidth) {
    denominator *= 2;
    ++level;
  }
  picture.Picture = Pyramid::FromLevel(header.Width, header.Height, level,
                                       DecodeJpeg(picture.Bytes, denominator));
  return picture;
}

RgbBuffer DecodeFullSize(const StitchedPicture& picture, const std::atomic<bool>* cancel) {
  return DecodeJpeg(picture.Bytes, 1, cancel);
}

}  // namespace korvane::viewer

#include "views/ViewPicture.h"

#include "combine/JpegStreamWriter.h"
#include "combine/OutputFile.h"

namespace korvane {

PictureMetadata ViewMetadata(const ViewSource& source, const ViewDirection& direction) {
  PictureMetadata metadata = source.Record ? MetadataOfRecord(*source.Record) : PictureMetadata{};
  // The camera's pose describes the panorama, not the view cut out of it.
  metadata.Heading.reset();
  metadata.Pitch.reset();
  metadata.Roll.reset();
  metadata.View = direction;
  return metadata;
}

void WriteViewPicture(const std::string& path, const viewer::RgbBuffer& pixels,
                      const PictureMetadata& metadata, int quality, bool replace) {
  OutputFile output(path, replace);
  JpegStreamWriter writer(output.Descriptor(), path, pixels.Width, pixels.Height, quality,
                          PictureApp1Segments(metadata));
  writer.WriteLines(pixels.Pixels.data(), pixels.RowBytes(), pixels.Height);
  writer.Finish();
  output.Commit();
}

}  // namespace korvane

#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvane::test {

// The fields of an EXIF APP1 segment ("Exif\0\0" and a TIFF structure of either byte order)
// read back as a reader of pictures reads them: by following IFD0's pointers to the Exif and GPS
// IFDs. Every offset is checked against the segment's end.
struct ExifFields {
  enum class Ifd { Zero, Exif, Gps };
  struct Field {
    std::uint16_t Type = 0;
    std::uint32_t Count = 0;
    std::string Bytes;  // the value's bytes, in the segment's byte order
  };
  std::map<std::pair<Ifd, std::uint16_t>, Field> Fields;
  bool LittleEndian = true;

  // An ASCII field without its terminating zero.
  std::optional<std::string> Text(Ifd ifd, std::uint16_t tag) const;
  // The values of a RATIONAL field as numbers.
  std::vector<double> Rationals(Ifd ifd, std::uint16_t tag) const;
  // GPS latitude or longitude in signed degrees from the value and its reference (N/S, E/W).
  std::optional<double> GpsDegrees(std::uint16_t refTag, std::uint16_t valueTag) const;
};

// Nothing when the segment is no EXIF segment or its structure points outside it.
std::optional<ExifFields> ReadExifSegment(const std::string& segment);

}  // namespace korvane::test

#include "support/ExifReadBack.h"

namespace korvane::test {
namespace {

constexpr std::size_t HeaderBytes = 6;  // "Exif\0\0"
constexpr std::uint16_t ExifPointer = 0x8769;
constexpr std::uint16_t GpsPointer = 0x8825;

std::size_t TypeBytes(std::uint16_t type) {
  switch (type) {
    case 1:
    case 2:
    case 7:
      return 1;
    case 3:
      return 2;
    case 4:
      return 4;
    case 5:
      return 8;
    default:
      return 0;
  }
}

struct Tiff {
  std::string_view Data;
  bool Little = true;

  std::optional<std::uint32_t> Read(std::size_t at, int bytes) const {
    if (at + static_cast<std::size_t>(bytes) > Data.size()) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      const auto byte = static_cast<unsigned char>(Data[at + (Little ? bytes - 1 - i : i)]);
      value = value << 8 | byte;
    }
    return value;
  }
};

bool ReadIfd(const Tiff& tiff, std::size_t at, ExifFields::Ifd ifd, ExifFields& fields) {
  const auto count = tiff.Read(at, 2);
  if (!count) return false;
  for (std::uint32_t i = 0; i < *count; ++i) {
    const std::size_t entry = at + 2 + i * 12;
    const auto tag = tiff.Read(entry, 2), type = tiff.Read(entry + 2, 2),
               values = tiff.Read(entry + 4, 4);
    if (!tag || !type || !values) return false;
    const std::size_t size = TypeBytes(static_cast<std::uint16_t>(*type)) * *values;
    std::size_t where = entry + 8;
    if (size > 4) {
      const auto offset = tiff.Read(entry + 8, 4);
      if (!offset) return false;
      where = *offset;
    }
    if (where + size > tiff.Data.size()) return false;
    fields.Fields[{ifd, static_cast<std::uint16_t>(*tag)}] = {
        static_cast<std::uint16_t>(*type), *values, std::string(tiff.Data.substr(where, size))};
  }
  return true;
}

}  // namespace

std::optional<std::string> ExifFields::Text(Ifd ifd, std::uint16_t tag) const {
  const auto found = Fields.find({ifd, tag});
  if (found == Fields.end() || found->second.Type != 2) return std::nullopt;
  std::string text = found->second.Bytes;
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

std::vector<double> ExifFields::Rationals(Ifd ifd, std::uint16_t tag) const {
  std::vector<double> values;
  const auto found = Fields.find({ifd, tag});
  if (found == Fields.end() || found->second.Type != 5) return values;
  const Tiff tiff{found->second.Bytes, LittleEndian};
  for (std::uint32_t i = 0; i < found->second.Count; ++i) {
    const double numerator = *tiff.Read(i * 8, 4), denominator = *tiff.Read(i * 8 + 4, 4);
    values.push_back(denominator == 0 ? 0.0 : numerator / denominator);
  }
  return values;
}

std::optional<double> ExifFields::GpsDegrees(std::uint16_t refTag, std::uint16_t valueTag) const {
  const auto ref = Text(Ifd::Gps, refTag);
  const std::vector<double> parts = Rationals(Ifd::Gps, valueTag);
  if (!ref || parts.size() != 3) return std::nullopt;
  const double degrees = parts[0] + parts[1] / 60 + parts[2] / 3600;
  return *ref == "S" || *ref == "W" ? -degrees : degrees;
}

std::optional<ExifFields> ReadExifSegment(const std::string& segment) {
  if (segment.size() < HeaderBytes + 8 ||
      segment.compare(0, HeaderBytes, std::string("Exif\0\0", 6)) != 0)
    return std::nullopt;
  Tiff tiff{std::string_view(segment).substr(HeaderBytes), true};
  if (tiff.Data.substr(0, 2) == "MM")
    tiff.Little = false;
  else if (tiff.Data.substr(0, 2) != "II")
    return std::nullopt;
  if (tiff.Read(2, 2) != 42u) return std::nullopt;
  ExifFields fields;
  fields.LittleEndian = tiff.Little;
  const auto ifd0 = tiff.Read(4, 4);
  if (!ifd0 || !ReadIfd(tiff, *ifd0, ExifFields::Ifd::Zero, fields)) return std::nullopt;
  for (const auto& [tag, ifd] : {std::pair{ExifPointer, ExifFields::Ifd::Exif},
                                 std::pair{GpsPointer, ExifFields::Ifd::Gps}}) {
    const auto pointer = fields.Fields.find({ExifFields::Ifd::Zero, tag});
    if (pointer == fields.Fields.end()) continue;
    const auto at = Tiff{pointer->second.Bytes, tiff.Little}.Read(0, 4);
    if (!at || !ReadIfd(tiff, *at, ifd, fields)) return std::nullopt;
  }
  return fields;
}

}  // namespace korvane::test

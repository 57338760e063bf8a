#include "combine/ExifSegment.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace korvane {
namespace {

// TIFF field types.
constexpr std::uint16_t Byte = 1;
constexpr std::uint16_t Ascii = 2;
constexpr std::uint16_t Long = 4;
constexpr std::uint16_t Rational = 5;
constexpr std::uint16_t Undefined = 7;

// Tags of IFD0, the Exif IFD and the GPS IFD.
constexpr std::uint16_t CopyrightTag = 0x8298;
constexpr std::uint16_t ExifIfdTag = 0x8769;
constexpr std::uint16_t GpsIfdTag = 0x8825;
constexpr std::uint16_t ExifVersionTag = 0x9000;
constexpr std::uint16_t DateTimeOriginalTag = 0x9003;
constexpr std::uint16_t GpsVersionTag = 0x0000;
constexpr std::uint16_t GpsLatitudeRefTag = 0x0001;
constexpr std::uint16_t GpsLatitudeTag = 0x0002;
constexpr std::uint16_t GpsLongitudeRefTag = 0x0003;
constexpr std::uint16_t GpsLongitudeTag = 0x0004;
constexpr std::uint16_t GpsAltitudeRefTag = 0x0005;
constexpr std::uint16_t GpsAltitudeTag = 0x0006;
constexpr std::uint16_t GpsImgDirectionRefTag = 0x0010;
constexpr std::uint16_t GpsImgDirectionTag = 0x0011;

// Seconds of arc and metres are kept to this many parts of a unit (a ten-thousandth of a
// second of arc is 3 mm on the ground).
constexpr std::uint32_t SecondsDenominator = 10000;
constexpr std::uint32_t MetresDenominator = 100;
constexpr std::uint32_t DegreesDenominator = 100;
constexpr std::size_t TiffHeaderBytes = 8;

struct Entry {
  std::uint16_t Tag = 0;
  std::uint16_t Type = 0;
  std::uint32_t Count = 0;
  std::string Value;  // little-endian bytes, Count values of Type
};

void PutShort(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void PutLong(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out += static_cast<char>((value >> shift) & 0xFF);
}

Entry AsciiEntry(std::uint16_t tag, const std::string& text) {
  return {tag, Ascii, static_cast<std::uint32_t>(text.size() + 1), text + '\0'};
}

Entry LongEntry(std::uint16_t tag, std::uint32_t value) {
  Entry entry{tag, Long, 1, {}};
  PutLong(entry.Value, value);
  return entry;
}

Entry RationalEntry(std::uint16_t tag,
                    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& values) {
  Entry entry{tag, Rational, static_cast<std::uint32_t>(values.size()), {}};
  for (const auto& [numerator, denominator] : values) {
    PutLong(entry.Value, numerator);
    PutLong(entry.Value, denominator);
  }
  return entry;
}

// Degrees as degrees, minutes and seconds, the way GPS tags hold them.
Entry DegreesEntry(std::uint16_t tag, double degrees) {
  const auto total =
      static_cast<std::uint64_t>(std::llround(std::fabs(degrees) * 3600.0 * SecondsDenominator));
  const std::uint64_t perDegree = 3600ull * SecondsDenominator;
  const std::uint64_t perMinute = 60ull * SecondsDenominator;
  return RationalEntry(tag, {{static_cast<std::uint32_t>(total / perDegree), 1},
                             {static_cast<std::uint32_t>(total % perDegree / perMinute), 1},
                             {static_cast<std::uint32_t>(total % perMinute), SecondsDenominator}});
}

std::size_t IfdBytes(const std::vector<Entry>& entries) {
  std::size_t size = 2 + entries.size() * 12 + 4;
  for (const Entry& entry : entries)
    if (entry.Value.size() > 4) size += (entry.Value.size() + 1) / 2 * 2;
  return size;
}

// Appends the IFD, which starts at TIFF offset `at` (out.size() - the TIFF's start), with its
// values longer than four bytes right after it; no next IFD.
void AppendIfd(std::string& out, std::size_t tiffStart, const std::vector<Entry>& entries) {
  const std::size_t at = out.size() - tiffStart;
  std::size_t data = at + 2 + entries.size() * 12 + 4;
  std::string values;
  PutShort(out, static_cast<std::uint16_t>(entries.size()));
  for (const Entry& entry : entries) {
    PutShort(out, entry.Tag);
    PutShort(out, entry.Type);
    PutLong(out, entry.Count);
    if (entry.Value.size() <= 4) {
      out += entry.Value;
      out.append(4 - entry.Value.size(), '\0');
    } else {
      PutLong(out, static_cast<std::uint32_t>(data + values.size()));
      values += entry.Value;
      if (values.size() % 2 != 0) values += '\0';
    }
  }
  PutLong(out, 0);
  out += values;
}

double CompassDegrees(double degrees) {
  double heading = std::fmod(degrees, 360.0);
  if (heading < 0) heading += 360.0;
  return heading;
}

}  // namespace

std::string ExifSegment(const PictureMetadata& metadata) {
  const bool position = metadata.Latitude && metadata.Longitude;
  // The direction the picture looks: a view's own when it is a compass heading, else the
  // panorama's middle.
  bool hasDirection = metadata.Heading.has_value();
  double directionDegrees = metadata.Heading.value_or(0.0);
  if (metadata.View) {
    hasDirection = metadata.View->HeadingFromNorth;
    directionDegrees = metadata.View->Heading;
  }
  if (!position && !metadata.Date && metadata.Copyright.empty() && !hasDirection) return {};

  std::vector<Entry> exif{{ExifVersionTag, Undefined, 4, "0232"}};
  if (metadata.Date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d:%02d:01 00:00:00", metadata.Date->Year,
                  metadata.Date->Month);
    exif.push_back(AsciiEntry(DateTimeOriginalTag, text));
  }
  std::vector<Entry> gps;
  if (position || hasDirection)
    gps.push_back({GpsVersionTag, Byte, 4, std::string("\x02\x03\x00\x00", 4)});
  if (position) {
    gps.push_back(AsciiEntry(GpsLatitudeRefTag, *metadata.Latitude < 0 ? "S" : "N"));
    gps.push_back(DegreesEntry(GpsLatitudeTag, *metadata.Latitude));
    gps.push_back(AsciiEntry(GpsLongitudeRefTag, *metadata.Longitude < 0 ? "W" : "E"));
    gps.push_back(DegreesEntry(GpsLongitudeTag, *metadata.Longitude));
    if (metadata.Altitude) {
      gps.push_back(
          {GpsAltitudeRefTag, Byte, 1, std::string(1, *metadata.Altitude < 0 ? '\1' : '\0')});
      gps.push_back(RationalEntry(
          GpsAltitudeTag, {{static_cast<std::uint32_t>(
                                std::llround(std::fabs(*metadata.Altitude) * MetresDenominator)),
                            MetresDenominator}}));
    }
  }
  if (hasDirection) {
    gps.push_back(AsciiEntry(GpsImgDirectionRefTag, "T"));  // true north
    gps.push_back(RationalEntry(GpsImgDirectionTag,
                                {{static_cast<std::uint32_t>(std::llround(
                                      CompassDegrees(directionDegrees) * DegreesDenominator)),
                                  DegreesDenominator}}));
  }

  // IFD0 first, the Exif IFD and the GPS IFD after it: their offsets are known once IFD0's
  // size is, and IFD0's size does not depend on them.
  std::vector<Entry> ifd0;
  if (!metadata.Copyright.empty()) ifd0.push_back(AsciiEntry(CopyrightTag, metadata.Copyright));
  ifd0.push_back(LongEntry(ExifIfdTag, 0));
  if (!gps.empty()) ifd0.push_back(LongEntry(GpsIfdTag, 0));
  const std::size_t exifAt = TiffHeaderBytes + IfdBytes(ifd0);
  const std::size_t gpsAt = exifAt + IfdBytes(exif);
  for (Entry& entry : ifd0) {
    if (entry.Tag == ExifIfdTag || entry.Tag == GpsIfdTag) {
      entry.Value.clear();
      PutLong(entry.Value, static_cast<std::uint32_t>(entry.Tag == ExifIfdTag ? exifAt : gpsAt));
    }
  }

  std::string segment(ExifSegmentSignature, sizeof ExifSegmentSignature);
  const std::size_t tiffStart = segment.size();
  segment += "II*";
  segment += '\0';
  PutLong(segment, TiffHeaderBytes);
  AppendIfd(segment, tiffStart, ifd0);
  AppendIfd(segment, tiffStart, exif);
  if (!gps.empty()) AppendIfd(segment, tiffStart, gps);
  return segment;
}

}  // namespace korvane

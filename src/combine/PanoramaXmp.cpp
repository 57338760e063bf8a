#include "combine/PanoramaXmp.h"

#include <cmath>

#include "platform/NumberFormat.h"
#include "task/PanoramaRecordFile.h"

namespace korvane {
namespace {

// Degrees and metres with at most six decimals, "." whatever the user's locale.
std::string Decimal(double value) {
  const double rounded = std::round(value * 1e6) / 1e6;
  return FloatToStr(std::fabs(rounded) < 1e-5 ? 0.0 : rounded, '.');
}

std::string XmlEscaped(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

}  // namespace

std::string PictureXmpPacket(const PictureMetadata& metadata) {
  std::string properties;
  auto attribute = [&properties](const char* name, const std::string& value) {
    properties += std::string("   ") + name + "=\"" + value + "\"\n";
  };
  if (const auto& facts = metadata.Panorama) {
    attribute("GPano:ProjectionType", "equirectangular");
    attribute("GPano:UsePanoramaViewer", "True");
    attribute("GPano:FullPanoWidthPixels", IntToStr(facts->FullWidth));
    attribute("GPano:FullPanoHeightPixels", IntToStr(facts->FullHeight));
    attribute("GPano:CroppedAreaImageWidthPixels", IntToStr(facts->CroppedWidth));
    attribute("GPano:CroppedAreaImageHeightPixels", IntToStr(facts->CroppedHeight));
    attribute("GPano:CroppedAreaLeftPixels", IntToStr(facts->CroppedLeft));
    attribute("GPano:CroppedAreaTopPixels", IntToStr(facts->CroppedTop));
    if (!facts->CaptureDate.empty()) attribute("GPano:FirstPhotoDate", facts->CaptureDate);
  }
  if (metadata.Heading) attribute("GPano:PoseHeadingDegrees", Decimal(*metadata.Heading));
  if (metadata.Pitch) attribute("GPano:PosePitchDegrees", Decimal(*metadata.Pitch));
  if (metadata.Roll) attribute("GPano:PoseRollDegrees", Decimal(*metadata.Roll));
  if (const auto& view = metadata.View) {
    attribute("KorvaneView:Heading", Decimal(view->Heading));
    attribute("KorvaneView:HeadingReference", view->HeadingFromNorth ? "north" : "panorama-middle");
    attribute("KorvaneView:Pitch", Decimal(view->Pitch));
    attribute("KorvaneView:FieldOfView", Decimal(view->FieldOfView));
  }
  if (metadata.Date) attribute("exif:DateTimeOriginal", CaptureMonthText(*metadata.Date));

  std::string packet =
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
      " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "  <rdf:Description rdf:about=\"\"\n"
      "   xmlns:GPano=\"http://ns.google.com/photos/1.0/panorama/\"\n";
  if (metadata.View)
    packet += std::string("   xmlns:KorvaneView=\"") + KorvaneViewNamespace + "\"\n";
  if (metadata.Date) packet += "   xmlns:exif=\"http://ns.adobe.com/exif/1.0/\"\n";
  if (!metadata.Copyright.empty()) packet += "   xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n";
  packet += properties;
  if (metadata.Copyright.empty()) {
    packet.back() = '/';
    packet += ">\n";
  } else {
    packet.pop_back();
    packet +=
        ">\n"
        "   <dc:rights>\n"
        "    <rdf:Alt>\n"
        "     <rdf:li xml:lang=\"x-default\">" +
        XmlEscaped(metadata.Copyright) +
        "</rdf:li>\n"
        "    </rdf:Alt>\n"
        "   </dc:rights>\n"
        "  </rdf:Description>\n";
  }
  packet +=
      " </rdf:RDF>\n"
      "</x:xmpmeta>\n"
      "<?xpacket end=\"w\"?>";
  return packet;
}

}  // namespace korvane

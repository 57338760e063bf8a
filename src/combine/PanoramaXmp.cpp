#include "combine/PanoramaXmp.h"

#include "platform/NumberFormat.h"

namespace korvane {

std::string PanoramaXmpPacket(const PanoramaXmpFacts& facts) {
  auto attribute = [](const char* name, const std::string& value) {
    return std::string("   GPano:") + name + "=\"" + value + "\"\n";
  };
  std::string packet =
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
      " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "  <rdf:Description rdf:about=\"\"\n"
      "   xmlns:GPano=\"http://ns.google.com/photos/1.0/panorama/\"\n";
  packet += attribute("ProjectionType", "equirectangular");
  packet += attribute("UsePanoramaViewer", "True");
  packet += attribute("FullPanoWidthPixels", IntToStr(facts.FullWidth));
  packet += attribute("FullPanoHeightPixels", IntToStr(facts.FullHeight));
  packet += attribute("CroppedAreaImageWidthPixels", IntToStr(facts.CroppedWidth));
  packet += attribute("CroppedAreaImageHeightPixels", IntToStr(facts.CroppedHeight));
  packet += attribute("CroppedAreaLeftPixels", IntToStr(facts.CroppedLeft));
  packet += attribute("CroppedAreaTopPixels", IntToStr(facts.CroppedTop));
  if (!facts.CaptureDate.empty()) packet += attribute("FirstPhotoDate", facts.CaptureDate);
  packet.back() = '/';
  packet +=
      ">\n"
      " </rdf:RDF>\n"
      "</x:xmpmeta>\n"
      "<?xpacket end=\"w\"?>";
  return packet;
}

}  // namespace korvane

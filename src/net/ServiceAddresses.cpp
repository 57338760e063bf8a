#include "net/ServiceAddresses.h"

#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/ProgramFolder.h"

namespace korvane {
namespace {

// The lookup request of today's service for one point: what the web viewer sends, with the
// point between the two parts, less the request for the depth map (nearly all of the answer's
// bytes, and nothing here reads it).
constexpr const char* CurrentLookupPath =
    "/maps/api/js/GeoPhotoService.SingleImageSearch?pb=!1m5!1sapiv3!5sUS!11m2!1m1!1b0!2m4!1m2!3d";
constexpr const char* CurrentLookupAfterPoint =
    "!3m10!2m2!1sen!2sGB!9m1!1e2!11m4!1m3!1e2!2b1!3e2!4m6!1e1!1e2!1e3!1e4!1e8!1e6"
    "&callback=_xdc_._v2mub5";

// The web viewer's metadata request for one panorama id: the id between the two parts.
constexpr const char* ByIdPath =
    "/maps/photometa/v1?authuser=0&hl=en&gl=us&pb=!1m4!1smaps_sv.tactile!11m2!2m1!1b1!2m2!1sen"
    "!2sus!3m3!1m2!1e2!2s";
constexpr const char* ByIdAfterId = "!4m6!1e1!1e2!1e3!1e4!1e8!1e6";

std::string ReadBase(const char* key, const char* fallback) {
  std::string base = TIniFile(ConfigFilePath()).ReadString(ServiceSection, key, fallback);
  while (!base.empty() && base.back() == '/')
    base.pop_back();
  return base;
}

}  // namespace

std::string StreetViewHost(int serverNumber) {
  std::string number = IntToStr(serverNumber);
  return TIniFile(ConfigFilePath())
      .ReadString(ServiceSection, "Server" + number, "cbk" + number + ".google.com");
}

std::string MapHomePageUrl() {
  return TIniFile(ConfigFilePath())
      .ReadString(ServiceSection, "HomePage", "http://maps.google.com/");
}

std::string ServiceCaFile() {
  return TIniFile(ConfigFilePath()).ReadString(ServiceSection, "CAFile", "");
}

std::string MetadataUrl(double latitude, double longitude) {
  return "http://" + StreetViewHost(0) + "/cbk?output=xml&ll=" + FloatToStr(latitude, '.') + "," +
         FloatToStr(longitude, '.');
}

std::string ServiceProtocolText() {
  return TIniFile(ConfigFilePath()).ReadString(ServiceSection, ProtocolKey, DefaultProtocolName);
}

std::string LookupBase() {
  return ReadBase(LookupBaseKey, DefaultLookupBase);
}

std::string TileBase() {
  return ReadBase(TileBaseKey, DefaultTileBase);
}

std::string CurrentLookupUrl(double latitude, double longitude, int radiusMetres) {
  return LookupBase() + CurrentLookupPath + FloatToStr(latitude, '.') + "!4d" +
         FloatToStr(longitude, '.') + "!2d" + IntToStr(radiusMetres) + CurrentLookupAfterPoint;
}

std::string ByIdBase() {
  const std::string own = ReadBase(ByIdBaseKey, "");
  if (!own.empty()) return own;
  const std::string lookup = ReadBase(LookupBaseKey, "");
  return lookup.empty() ? std::string(DefaultByIdBase) : lookup;
}

std::string PanoramaByIdUrl(const std::string& panoId) {
  return ByIdBase() + ByIdPath + panoId + ByIdAfterId;
}

}  // namespace korvane

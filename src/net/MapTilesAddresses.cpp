#include "net/MapTilesAddresses.h"

#include "net/ServiceAddresses.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/ProgramFolder.h"

namespace korvane {
namespace {

constexpr const char* SecretParameters[] = {"key=", "session="};

bool IsSecretParameter(const std::string& parameter) {
  for (const char* name : SecretParameters) {
    if (parameter.rfind(name, 0) == 0) return true;
  }
  return false;
}

}  // namespace

std::string MapTilesBase() {
  std::string base =
      TIniFile(ConfigFilePath()).ReadString(ServiceSection, MapTilesBaseKey, DefaultMapTilesBase);
  while (!base.empty() && base.back() == '/')
    base.pop_back();
  return base;
}

std::string MapTilesSessionUrl(const std::string& base) {
  return base + "/v1/createSession";
}

std::string MapTilesMetadataUrl(const std::string& base, double latitude, double longitude) {
  return base + "/v1/streetview/metadata?lat=" + FloatToStr(latitude, '.') +
         "&lng=" + FloatToStr(longitude, '.') + "&radius=" + IntToStr(MapTilesSearchRadius);
}

std::string MapTilesPanoramaMetadataUrl(const std::string& base, const std::string& panoId) {
  return base + "/v1/streetview/metadata?panoId=" + panoId;
}

std::string MapTilesTileUrl(const std::string& base, const std::string& panoId, int x, int y,
                            int zoom) {
  return base + "/v1/streetview/tiles/" + IntToStr(zoom) + "/" + IntToStr(x) + "/" + IntToStr(y) +
         "?panoId=" + panoId;
}

std::string MapTilesPanoIdsUrl(const std::string& base) {
  return base + "/v1/streetview/panoIds";
}

std::string WithCredentials(const std::string& address, const std::string& session,
                            const std::string& key) {
  std::string result = address;
  char joint = address.find('?') == std::string::npos ? '?' : '&';
  if (!session.empty()) {
    result += joint + std::string("session=") + session;
    joint = '&';
  }
  return result + joint + "key=" + key;
}

std::string WithoutCredentials(const std::string& address) {
  const std::size_t query = address.find('?');
  if (query == std::string::npos) return address;
  std::string kept = address.substr(0, query);
  char joint = '?';
  std::size_t start = query + 1;
  while (start <= address.size()) {
    std::size_t end = address.find('&', start);
    if (end == std::string::npos) end = address.size();
    const std::string parameter = address.substr(start, end - start);
    if (!parameter.empty() && !IsSecretParameter(parameter)) {
      kept += joint + parameter;
      joint = '&';
    }
    start = end + 1;
  }
  return kept;
}

bool IsSafeCredential(const std::string& text) {
  if (text.empty() || text.size() > MaxCredentialLength) return false;
  for (const char c : text) {
    const bool safe = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '.';
    if (!safe) return false;
  }
  return true;
}

}  // namespace korvane

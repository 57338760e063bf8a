#include "net/ServiceAddresses.h"

#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/ProgramFolder.h"

namespace korvane {

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

}  // namespace korvane

#include "config/Config.h"

#include <cstdlib>

#include "net/ServiceAddresses.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/TextTrim.h"
#include "task/TaskParameters.h"

namespace korvane {

std::string ReadMainWindowDefaultPath() {
  return TIniFile(ConfigFilePath())
      .ReadString(IniParasSection, DefaultPathKey, HomeFolder() + "/download");
}

std::string ReadOptionsDefaultPath() {
  return TIniFile(ConfigFilePath())
      .ReadString(IniParasSection, DefaultPathKey, HomeFolder() + "/downloads");
}

ProxySettings ReadProxySettings() {
  TIniFile ini(ConfigFilePath());
  ProxySettings proxy;
  proxy.UseProxy = ini.ReadInteger(ProxySection, UseProxyKey, 0) == 1;
  proxy.ProxyServer = ini.ReadString(ProxySection, ProxyServerKey, "");
  proxy.ProxyPort = ini.ReadString(ProxySection, ProxyPortKey, "");
  proxy.ProxyUsername = ini.ReadString(ProxySection, ProxyUsernameKey, "");
  proxy.ProxyPassword = ini.ReadString(ProxySection, ProxyPasswordKey, "");
  return proxy;
}

int ReadConnections() {
  const int stored =
      TIniFile(ConfigFilePath()).ReadInteger(DownloadSection, ConnectionsKey, DefaultConnections);
  if (stored < 1) return 1;
  return stored > MaxConnections ? MaxConnections : stored;
}

std::string ReadApiKey() {
  if (const char* fromEnvironment = std::getenv(ApiKeyVariable);
      fromEnvironment != nullptr && *fromEnvironment != '\0') {
    return std::string(TrimSpace(fromEnvironment));
  }
  return std::string(TrimSpace(ReadConfiguredApiKey()));
}

std::string ReadConfiguredApiKey() {
  return TIniFile(ConfigFilePath()).ReadString(ServiceSection, ApiKeyKey, "");
}

}  // namespace korvane

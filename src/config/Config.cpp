#include "config/Config.h"

#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
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

}  // namespace korvane

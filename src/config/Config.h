#pragma once

#include <string>

namespace korvane {

// Readers of the configuration file ConfigFilePath() (SettingsFolder() + "config.ini"). Each call
// opens the file, reads its keys with its own defaults and closes it: nothing is cached, so a
// change saved in the Options window takes effect at its next reading.

// "IniParas"/"DefaultPath" as the main window reads it at start-up: default home + "/download".
std::string ReadMainWindowDefaultPath();

// "IniParas"/"DefaultPath" as the Options window reads it: default home + "/downloads".
std::string ReadOptionsDefaultPath();

// The "Proxy" section. UseProxy is on only when the stored integer is exactly 1; ProxyPort is
// the text as stored (the workers convert it).
struct ProxySettings {
  bool UseProxy = false;
  std::string ProxyServer;
  std::string ProxyPort;
  std::string ProxyUsername;
  std::string ProxyPassword;
};
ProxySettings ReadProxySettings();

// "Download"/"Connections": the requests a task of today's protocols has in flight when it
// starts; DefaultConnections when absent or no number, clamped to 1..MaxConnections.
int ReadConnections();

// The user's key of the Map Tiles API: the environment variable ApiKeyVariable when it is set
// and not empty, else "Service"/"ApiKey"; empty when neither holds one. A secret: callers never
// print, log or store it (MapTilesAddresses.h).
std::string ReadApiKey();
// "Service"/"ApiKey" alone, as stored: what the Options window shows and edits.
std::string ReadConfiguredApiKey();
inline constexpr const char* ApiKeyVariable = "KORVANE_API_KEY";
inline constexpr const char* ApiKeyKey = "ApiKey";

// Section and key names of the configuration file, shared by readers and the Options window.
inline constexpr const char* IniParasSection = "IniParas";
inline constexpr const char* DefaultPathKey = "DefaultPath";
inline constexpr const char* ProxySection = "Proxy";
inline constexpr const char* UseProxyKey = "UseProxy";
inline constexpr const char* ProxyServerKey = "ProxyServer";
inline constexpr const char* ProxyPortKey = "ProxyPort";
inline constexpr const char* ProxyUsernameKey = "ProxyUsername";
inline constexpr const char* ProxyPasswordKey = "ProxyPassword";
inline constexpr const char* DownloadSection = "Download";
inline constexpr const char* ConnectionsKey = "Connections";

}  // namespace korvane

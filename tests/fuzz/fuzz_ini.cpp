// The INI reader and writer on an arbitrary file: reads never fail, a write either raises its
// documented error or leaves the written value readable.
#include <cstdlib>

#include "FuzzTarget.h"
#include "platform/Exception.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korvane::TIniFile;
  const std::string path =
      korvane::fuzz::ScratchFile("config.ini", korvane::fuzz::AsText(data, size));
  TIniFile ini(path);
  for (const char* section : {"IniParas", "Proxy", "Service", "THREADS"}) {
    for (const char* key : {"DefaultPath", "UseProxy", "ProxyPort", "Server0", "T1X"}) {
      if (ini.ReadString(section, key, "").size() > TIniFile::MaxIniValueLength) std::abort();
      ini.ReadInteger(section, key, -1);
    }
  }
  try {
    ini.WriteString("Proxy", "ProxyPort", "8080");
  } catch (const korvane::IniFileError&) {
    return 0;
  }
  if (ini.ReadString("Proxy", "ProxyPort", "") != "8080") std::abort();
  return 0;
}

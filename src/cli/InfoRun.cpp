#include "cli/InfoRun.h"

#include <exception>

#include "config/ProxyRequests.h"
#include "lookup/StartLookup.h"
#include "session/StartRules.h"
#include "task/PanoramaRecordFile.h"
#include "task/PanoramaRecordText.h"

namespace korvane {

ExitStatus RunInfo(const StartRequest& request, bool json, std::ostream& out, std::ostream& err) {
  const std::optional<PanoramaProtocol> protocol =
      ParsePanoramaProtocol(request.Service.ProtocolName);
  if (!protocol) {
    err << UnknownProtocolMessage(request.Service.ProtocolName) << '\n';
    return ExitStatus::Error;
  }
  double latitude = 0;
  double longitude = 0;
  try {
    latitude = ConvertCoordinateText(request.Latitude);
    longitude = ConvertCoordinateText(request.Longitude);
  } catch (const std::exception&) {
    err << CoordinateInputErrorMessage << '\n';
    return ExitStatus::Error;
  }
  if (const auto message = CheckCoordinateRanges(longitude, latitude)) {
    err << *message << '\n';
    return ExitStatus::Error;
  }

  HttpClient client;
  ApplyProxySettings(request.Service.Proxy, client.Request);
  // Zoom 0 is every panorama's, so the record is shown whatever zoom a download would ask.
  const StartLookupResult found = LookUpForStart(
      *protocol, client, latitude, longitude, 0,
      [&err](const std::string& line) { err << line << '\n'; },
      LookupWish{request.PanoId, request.Date});
  if (!found.RefusalMessage.empty()) {
    err << found.RefusalMessage << '\n';
    return ExitStatus::Error;
  }
  if (found.PanoId.empty()) {
    err << NoPanoramaMessage << '\n';
    return ExitStatus::Error;
  }
  out << (json ? PanoramaRecordToJson(found.Record) : PanoramaRecordText(found.Record))
      << std::flush;
  return ExitStatus::Complete;
}

}  // namespace korvane

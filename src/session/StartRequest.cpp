#include "session/StartRequest.h"

#include "net/ServiceAddresses.h"

namespace korvane {

ServiceRoute ReadServiceRoute() {
  return ServiceRoute{ServiceProtocolText(), ReadProxySettings(), ReadConnections()};
}

}  // namespace korvane

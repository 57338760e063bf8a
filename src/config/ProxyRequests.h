#pragma once

#include "config/Config.h"
#include "net/RequestHeaders.h"

namespace korvane {

// Sends every request made with these headers through the configured proxy when UseProxy is
// on (its server, port and credentials); leaves them going direct otherwise. Every client of
// a task, a re-download and a batch is set up here, so none of them reaches the service from
// the user's own address while the user asked for the proxy. A port that is not a number raises
// EConvertError ("'x' is not a valid integer value") before anything is sent.
void ApplyProxySettings(const ProxySettings& proxy, RequestHeaders& request);

}  // namespace korvane

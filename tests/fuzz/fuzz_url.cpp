// The URL splitter: every URL it accepts can be sent as one request line.
#include <cstdlib>

#include "FuzzTarget.h"
#include "net/HttpUrl.h"
#include "platform/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const korvane::HttpUrl url = korvane::SplitUrl(std::string(korvane::fuzz::AsText(data, size)));
    for (const std::string* part : {&url.Host, &url.Target}) {
      for (unsigned char c : *part) {
        if (c <= ' ' || c == 0x7F) std::abort();  // would split or end the request line
      }
    }
    if (url.Target.empty() || url.Target.front() != '/') std::abort();
    if (url.Port < 0 || url.Port > 65535) std::abort();
  } catch (const korvane::Exception&) {
  }
  return 0;
}

// The stand-in's request reader, on the whole input and on a prefix of it (a request still
// arriving), and its reading of the target of a complete request.
#include <cstdlib>

#include "FuzzTarget.h"
#include "HttpRequest.h"
#include "ServiceRequest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane::standin;
  if (size == 0) return 0;
  const std::string_view bytes = korvane::fuzz::AsText(data + 1, size - 1);
  const HeadParse prefix = ParseRequestHead(bytes.substr(0, bytes.size() * data[0] / 256));
  const HeadParse whole = ParseRequestHead(bytes);
  for (const HeadParse* parse : {&prefix, &whole}) {
    if (parse->State != HeadParse::Result::Complete) continue;
    if (parse->HeadBytes > bytes.size()) std::abort();
    ClassifyRequest(parse->Request.Method, parse->Request.Target);
    OriginForm(parse->Request.Target);
    parse->Request.Header("Host");
  }
  return 0;
}

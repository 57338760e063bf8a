#include "FaultReply.h"

#include <algorithm>

#include "ServiceAnswers.h"

namespace korvane::standin {

namespace {

constexpr int SorryStatus = 302;
constexpr const char* SorryLocation = "/sorry/index?continue=%2F";

constexpr const char* RefusalPage =
    "<html><head><title>Sorry</title></head><body><h1>Sorry</h1>"
    "<p>Too many requests from your network. Please try again later.</p></body></html>\n";

// Garbage that is never 0xFF, so no JPEG marker can appear in it: a decoder finds the start of
// image and then nothing it can read.
std::string Corrupted(const std::string& body) {
  std::string bytes = body;
  for (std::size_t i = 2; i < bytes.size(); ++i)
    bytes[i] = static_cast<char>((i * 37 + 11) % 251);
  return bytes;
}

}  // namespace

std::size_t KeptBytes(const FaultAction& action, std::size_t bodySize) {
  if (action.Bytes < 0) return bodySize / 2;
  return std::min(bodySize, static_cast<std::size_t>(action.Bytes));
}

Reply ShapeReply(const FaultAction& action, Reply normal) {
  ServiceRequest metadata;
  metadata.Kind = RequestKind::Metadata;
  return ShapeReply(action, std::move(normal), metadata);
}

Reply ShapeReply(const FaultAction& action, Reply normal, const ServiceRequest& request) {
  switch (action.Kind) {
    case FaultKind::Status: {
      Reply reply = StatusReply(action.StatusCode, action.Reason);
      if (action.Location) {
        std::erase_if(reply.Headers, [](const auto& header) { return header.first == "Location"; });
        reply.Headers.emplace_back("Location", *action.Location);
      }
      if (action.RetryAfterSeconds) {
        reply.Headers.emplace_back("Retry-After", std::to_string(*action.RetryAfterSeconds));
      }
      return reply;
    }
    case FaultKind::Sorry: {
      Reply reply = StatusReply(SorryStatus, ReasonPhrase(SorryStatus));
      std::erase_if(reply.Headers, [](const auto& header) { return header.first == "Location"; });
      reply.Headers.emplace_back("Location", SorryLocation);
      return reply;
    }
    case FaultKind::Html: {
      Reply reply;
      reply.ContentType = "text/html; charset=UTF-8";
      reply.Body = std::make_shared<const std::string>(RefusalPage);
      return reply;
    }
    case FaultKind::Empty:
      normal.Body = std::make_shared<const std::string>();
      return normal;
    case FaultKind::Truncate:
      normal.Body = std::make_shared<const std::string>(
          normal.Body->substr(0, KeptBytes(action, normal.Body->size())));
      return normal;
    case FaultKind::Corrupt:
      normal.Body = std::make_shared<const std::string>(Corrupted(*normal.Body));
      return normal;
    case FaultKind::NoCoverage:
      return NoPanoramaReply(request);
    default:
      return normal;
  }
}

}  // namespace korvane::standin

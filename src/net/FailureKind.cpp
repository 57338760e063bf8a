#include "net/FailureKind.h"

#include "net/HttpErrors.h"
#include "net/PushBack.h"
#include "net/SocketErrors.h"

namespace korvane {
namespace {

FailureKind KindOfSocketError(int lastError) {
  switch (lastError) {
    case WsaConnectionReset:
      return FailureKind::ConnectionReset;
    case WsaAddressInUse:
      return FailureKind::AddressInUse;
    default:
      return FailureKind::SocketFailure;
  }
}

FailureKind KindOfStatus(int status) {
  switch (status) {
    case 302:
      return FailureKind::Redirect;
    case 403:
      return FailureKind::Forbidden;
    case 404:
      return FailureKind::NotFound;
    case 400:
      return FailureKind::BadRequest;
    default:
      return FailureKind::OtherStatus;
  }
}

}  // namespace

RequestFailure ClassifyFailure(const std::exception_ptr& error) {
  RequestFailure failure;
  try {
    std::rethrow_exception(error);
  } catch (const SocketError& socket) {
    failure.Kind = KindOfSocketError(socket.LastError());
    failure.Message = socket.Message();
  } catch (const AccessRefusedError& refused) {
    failure.Kind = FailureKind::AccessRefused;
    // Without a text when its line went out with an earlier refusal.
    if (!refused.Message().empty()) failure.Message = refused.Message();
    failure.Status = refused.ReplyErrorCode();
  } catch (const HttpStatusError& status) {
    failure.Kind = KindOfStatus(status.ReplyErrorCode());
    failure.Message = status.Message();
    failure.Status = status.ReplyErrorCode();
    failure.RetryAfter = ParseRetryAfter(status.RetryAfter());
    failure.PushBack =
        IsPushBackReply(failure.Status, status.Location(), failure.RetryAfter.has_value());
  } catch (const HtmlPageError& page) {
    failure.Kind = FailureKind::Other;
    failure.Message = page.Message();
    failure.PushBack = true;
  } catch (const ConnectionClosedError& closed) {
    failure.Kind = FailureKind::ClosedEarly;
    failure.Message = closed.Message();
  } catch (const std::exception& other) {
    failure.Kind = FailureKind::Other;
    failure.Message = std::string(other.what());
  } catch (...) {
    failure.Kind = FailureKind::Untexted;
  }
  return failure;
}

std::optional<RequestFailure> TryGet(const HttpGetFunction& get, const std::string& url,
                                     std::string& body) {
  body.clear();
  try {
    get(url, body);
    return std::nullopt;
  } catch (...) {
    return ClassifyFailure(std::current_exception());
  }
}

}  // namespace korvane

#include "net/FailureKind.h"

#include "net/HttpErrors.h"
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
  try {
    std::rethrow_exception(error);
  } catch (const SocketError& socket) {
    return {KindOfSocketError(socket.LastError()), socket.Message()};
  } catch (const HttpStatusError& status) {
    return {KindOfStatus(status.ReplyErrorCode()), status.Message(), status.ReplyErrorCode()};
  } catch (const ConnectionClosedError& closed) {
    return {FailureKind::ClosedEarly, closed.Message()};
  } catch (const std::exception& other) {
    return {FailureKind::Other, std::string(other.what())};
  } catch (...) {
    return {FailureKind::Untexted, std::nullopt};
  }
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

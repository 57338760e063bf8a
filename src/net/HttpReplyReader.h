#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "net/HttpLimits.h"

namespace korvane {

// Where the reply bytes come from: a connection in the client, a scripted buffer in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Receives at least one and at most `size` bytes, or returns 0 when the server has closed
  // the connection. Raises on failure (a socket error, a time-out).
  virtual std::size_t Receive(char* buffer, std::size_t size) = 0;
};

// What the status line and the headers say.
struct HttpReplyHead {
  std::string Version;           // characters 6 to 8 of the status line: "1.1", "1.0"
  int Code = 0;                  // the status number
  std::string Text;              // the status line without its first word and the blank after it
  std::string Location;          // the first non-empty Location value
  std::string ContentType;       // the first non-empty Content-Type value, as sent
  std::string RetryAfter;        // the first non-empty Retry-After value, as sent
  bool ConnectionClose = false;  // a Connection header says "close" (any letter case)
  bool Chunked = false;          // Transfer-Encoding mentions "chunked"
  std::optional<std::size_t> ContentLength;  // absent when missing, not a plain number, or chunked
  // Chunked and a Content-Length both came: the body is read as chunked (the length is
  // ignored), but such a reply may come from a party that reads it otherwise, so the
  // connection must not carry another request.
  bool AmbiguousLength = false;

  // 2xx without a Location.
  bool IsSuccess() const { return Code >= 200 && Code <= 299 && Location.empty(); }
};

// Reads one reply from a byte source: first the head, then the body. Lines end at LF, a CR
// before it is dropped. Limits (HttpLimits.h) bound every part, the body at most maxBodyBytes
// (a caller that expects a small answer asks for less than MaxReplyBodyBytes); a reply beyond
// them raises HttpClientError. The server closing the connection early raises
// ConnectionClosedError.
class HttpReplyReader {
 public:
  explicit HttpReplyReader(ByteSource& source, std::size_t maxBodyBytes = MaxReplyBodyBytes)
      : source_(source), maxBodyBytes_(maxBodyBytes) {}

  // Reads the status line and the header lines up to the empty line. A status number that is
  // not decimal digits raises EConvertError ("'" + text + "' is not a valid integer value");
  // two different valid Content-Length values without chunking raise HttpClientError.
  HttpReplyHead ReadHead();

  // Appends the body to `body`: none for 1xx, 204 and 304 replies, which never carry one;
  // else the chunks when the reply is chunked (chunk extensions and trailers dropped); else
  // exactly Content-Length bytes when it is given; else everything up to the server's close.
  // Returns true when the body ended with the close, so the connection is spent.
  bool ReadBody(const HttpReplyHead& head, std::string& body);

  // Bytes received beyond the reply: the server sent something nobody asked for yet.
  bool HasUnreadBytes() const { return pos_ < buffer_.size(); }

 private:
  bool Fill();
  std::string ReadLine(std::size_t& budget);
  void ReadExactly(std::size_t count, std::string& body);
  void ReadChunks(std::string& body);
  bool ReadUntilClose(std::string& body);

  ByteSource& source_;
  std::size_t maxBodyBytes_;
  std::string buffer_;  // received, not yet consumed from pos_ on
  std::size_t pos_ = 0;
};

}  // namespace korvane

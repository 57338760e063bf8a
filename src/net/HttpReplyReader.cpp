#include "net/HttpReplyReader.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "net/HttpErrors.h"
#include "net/HttpLimits.h"
#include "platform/Exception.h"
#include "platform/NumberFormat.h"
#include "platform/TextTrim.h"

namespace korvane {
namespace {

// How much the body buffer grows at a time while a long body of known length arrives, so a
// Content-Length promising much more than the server sends costs no more memory than it sent.
constexpr std::size_t BodyGrowthBytes = 256 * 1024;

std::string KiB(std::size_t bytes) {
  return std::to_string(bytes / 1024) + " KiB";
}

[[noreturn]] void RaiseLineTooLong() {
  throw HttpClientError("The server's reply has a line longer than " + KiB(MaxReplyLineBytes) +
                        ".");
}

[[noreturn]] void RaiseHeadTooLarge() {
  throw HttpClientError("The server's reply headers are larger than " + KiB(MaxReplyHeadBytes) +
                        ".");
}

// "64 MiB", or "640 KiB" for a limit that is no whole number of MiB.
std::string SizeText(std::size_t bytes) {
  constexpr std::size_t MiB = 1024 * 1024;
  return bytes % MiB == 0 ? std::to_string(bytes / MiB) + " MiB" : KiB(bytes);
}

[[noreturn]] void RaiseBodyTooLarge(std::size_t limit) {
  throw HttpClientError("The server's reply body is larger than " + SizeText(limit) + ".");
}

// The status number: plain decimal digits that fit an int.
int ParseStatusNumber(const std::string& text) {
  if (text.empty() || text.size() > 9 || !std::all_of(text.begin(), text.end(), IsDecimalDigit)) {
    throw EConvertError::NotAnInteger(text);
  }
  return std::stoi(text);
}

// A Content-Length value: plain decimal digits; anything else (a sign, a list, an overflow)
// counts as absent.
std::optional<std::uint64_t> ParseContentLength(const std::string& value) {
  if (value.empty() || !std::all_of(value.begin(), value.end(), IsDecimalDigit))
    return std::nullopt;
  std::uint64_t result = 0;
  for (char c : value) {
    unsigned digit = static_cast<unsigned>(c - '0');
    if (result > (UINT64_MAX - digit) / 10) return std::nullopt;
    result = result * 10 + digit;
  }
  return result;
}

bool HasToken(const std::string& value, const char* token) {
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t comma = value.find(',', start);
    if (comma == std::string::npos) comma = value.size();
    if (strcasecmp(std::string(TrimBlanks(value.substr(start, comma - start))).c_str(), token) == 0)
      return true;
    start = comma + 1;
  }
  return false;
}

bool ContainsNoCase(const std::string& text, const std::string& part) {
  auto found = std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
  return found != text.end();
}

}  // namespace

bool HttpReplyReader::Fill() {
  if (pos_ == buffer_.size()) {
    buffer_.clear();
    pos_ = 0;
  } else if (pos_ >= ReceiveBlockBytes) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
  std::size_t old = buffer_.size();
  buffer_.resize(old + ReceiveBlockBytes);
  std::size_t received = 0;
  try {
    received = source_.Receive(buffer_.data() + old, ReceiveBlockBytes);
  } catch (...) {
    buffer_.resize(old);
    throw;
  }
  buffer_.resize(old + received);
  return received > 0;
}

std::string HttpReplyReader::ReadLine(std::size_t& budget) {
  std::size_t scanned = 0;  // bytes after pos_ already known to hold no LF
  for (;;) {
    std::size_t lf = buffer_.find('\n', pos_ + scanned);
    if (lf != std::string::npos) {
      std::size_t consumed = lf + 1 - pos_;
      std::size_t length = lf - pos_;
      if (length > 0 && buffer_[lf - 1] == '\r') --length;
      if (length > MaxReplyLineBytes) RaiseLineTooLong();
      if (consumed > budget) RaiseHeadTooLarge();
      budget -= consumed;
      std::string line = buffer_.substr(pos_, length);
      pos_ = lf + 1;
      return line;
    }
    scanned = buffer_.size() - pos_;
    // Even a CR LF arriving next could not make these pending bytes a line within the limits.
    if (scanned >= MaxReplyLineBytes + 2) RaiseLineTooLong();
    if (scanned >= budget) RaiseHeadTooLarge();
    if (!Fill()) throw ConnectionClosedError();
  }
}

HttpReplyHead HttpReplyReader::ReadHead() {
  std::size_t budget = MaxReplyHeadBytes;
  HttpReplyHead head;

  std::string statusLine = ReadLine(budget);
  head.Version = statusLine.substr(std::min<std::size_t>(5, statusLine.size()), 3);
  std::size_t blank = statusLine.find(' ');
  head.Text = blank == std::string::npos ? std::string() : statusLine.substr(blank + 1);
  head.Code = ParseStatusNumber(head.Text.substr(0, head.Text.find(' ')));

  std::string transferEncoding;
  bool conflictingLengths = false;
  std::optional<std::uint64_t> contentLength;
  for (;;) {
    std::string line = ReadLine(budget);
    if (line.empty()) break;
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name(TrimBlanks(line.substr(0, colon)));
    std::string value(TrimBlanks(line.substr(colon + 1)));
    if (strcasecmp(name.c_str(), "Location") == 0) {
      if (head.Location.empty()) head.Location = value;
    } else if (strcasecmp(name.c_str(), "Content-Type") == 0) {
      if (head.ContentType.empty()) head.ContentType = value;
    } else if (strcasecmp(name.c_str(), "Retry-After") == 0) {
      if (head.RetryAfter.empty()) head.RetryAfter = value;
    } else if (strcasecmp(name.c_str(), "Connection") == 0) {
      if (HasToken(value, "close")) head.ConnectionClose = true;
    } else if (strcasecmp(name.c_str(), "Transfer-Encoding") == 0) {
      transferEncoding += value;
      transferEncoding += ',';
    } else if (strcasecmp(name.c_str(), "Content-Length") == 0) {
      std::optional<std::uint64_t> length = ParseContentLength(value);
      if (!length) continue;
      if (contentLength && *contentLength != *length) conflictingLengths = true;
      contentLength = length;
    }
  }
  head.Chunked = ContainsNoCase(transferEncoding, "chunked");
  if (head.Chunked) {
    head.AmbiguousLength = contentLength.has_value();
    return head;
  }
  // Two lengths would leave it open where this reply ends and the next begins.
  if (conflictingLengths) {
    throw HttpClientError("The server's reply has conflicting Content-Length values.");
  }
  if (contentLength) {
    if (*contentLength > maxBodyBytes_) RaiseBodyTooLarge(maxBodyBytes_);
    head.ContentLength = static_cast<std::size_t>(*contentLength);
  }
  return head;
}

void HttpReplyReader::ReadExactly(std::size_t count, std::string& body) {
  std::size_t fromBuffer = std::min(count, buffer_.size() - pos_);
  body.append(buffer_, pos_, fromBuffer);
  pos_ += fromBuffer;
  count -= fromBuffer;
  while (count > 0) {
    std::size_t step = std::min(count, BodyGrowthBytes);
    std::size_t start = body.size();
    body.resize(start + step);
    std::size_t got = 0;
    while (got < step) {
      std::size_t received = 0;
      try {
        received = source_.Receive(body.data() + start + got, step - got);
      } catch (...) {
        body.resize(start + got);
        throw;
      }
      if (received == 0) {
        body.resize(start + got);
        throw ConnectionClosedError();
      }
      got += received;
    }
    count -= step;
  }
}

void HttpReplyReader::ReadChunks(std::string& body) {
  const std::size_t start = body.size();
  // Size lines and line ends share one allowance, so endless empty extensions cannot keep the
  // reader busy without the body growing.
  std::size_t framingBudget = maxBodyBytes_;
  for (;;) {
    std::string line = ReadLine(framingBudget);
    std::string sizeText = line.substr(0, line.find_first_of(" \t;"));
    if (!sizeText.empty() && (sizeText[0] == '+' || sizeText[0] == '-')) {
      throw HttpClientError("The server's reply has an invalid chunk size.");
    }
    // A size line that is no hexadecimal number ends the body, as a size of 0 does.
    if (sizeText.empty() || !std::all_of(sizeText.begin(), sizeText.end(),
                                         [](char c) { return HexDigitValue(c) >= 0; })) {
      break;
    }
    if (sizeText.size() > MaxChunkSizeDigits) {
      throw HttpClientError("The server's reply has an invalid chunk size.");
    }
    std::uint64_t size = 0;
    for (char c : sizeText)
      size = size << 4 | static_cast<unsigned>(HexDigitValue(c));
    if (size == 0) break;
    if (size > maxBodyBytes_ - (body.size() - start)) RaiseBodyTooLarge(maxBodyBytes_);
    ReadExactly(static_cast<std::size_t>(size), body);
    ReadLine(framingBudget);  // the line end after the chunk data
  }
  // Trailer lines up to the empty line, so nothing of this reply is left for the next one.
  std::size_t trailerBudget = MaxReplyHeadBytes;
  while (!ReadLine(trailerBudget).empty()) {
  }
}

bool HttpReplyReader::ReadUntilClose(std::string& body) {
  const std::size_t start = body.size();
  std::size_t fromBuffer = buffer_.size() - pos_;
  if (fromBuffer > maxBodyBytes_) RaiseBodyTooLarge(maxBodyBytes_);
  body.append(buffer_, pos_, fromBuffer);
  pos_ = buffer_.size();
  for (;;) {
    std::size_t got = body.size() - start;
    // One byte beyond the limit is enough to know it is exceeded.
    std::size_t step = std::min(ReceiveBlockBytes, maxBodyBytes_ - got + 1);
    std::size_t old = body.size();
    body.resize(old + step);
    std::size_t received = 0;
    try {
      received = source_.Receive(body.data() + old, step);
    } catch (...) {
      body.resize(old);
      throw;
    }
    body.resize(old + received);
    if (received == 0) return true;
    if (body.size() - start > maxBodyBytes_) RaiseBodyTooLarge(maxBodyBytes_);
  }
}

bool HttpReplyReader::ReadBody(const HttpReplyHead& head, std::string& body) {
  if ((head.Code >= 100 && head.Code <= 199) || head.Code == 204 || head.Code == 304) return false;
  if (head.Chunked) {
    ReadChunks(body);
    return false;
  }
  if (head.ContentLength) {
    ReadExactly(*head.ContentLength, body);
    return false;
  }
  return ReadUntilClose(body);
}

}  // namespace korvane

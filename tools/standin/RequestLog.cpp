#include "RequestLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/Exception.h"

namespace korvane::standin {

RequestLog::RequestLog(const std::string& path)
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)) {
  if (fd_ < 0) throw FileCreateError::ForPath(path);
}

RequestLog::~RequestLog() {
  if (fd_ >= 0) ::close(fd_);
}

void RequestLog::Write(const LogEntry& entry) {
  if (fd_ < 0) return;
  std::string line =
      "{\"listener\":" + std::to_string(entry.Listener) +
      ",\"attempt\":" + std::to_string(entry.Attempt) + ",\"action\":" + JsonString(entry.Action) +
      ",\"status\":" + std::to_string(entry.Status) + ",\"target\":" + JsonString(entry.Target) +
      ",\"request\":\"" + Base64Encode(entry.Request) + "\"}\n";
  std::lock_guard lock(mutex_);
  std::string_view rest = line;
  while (!rest.empty()) {
    const ssize_t written = ::write(fd_, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (!failed_)
        std::fprintf(stderr, "korvane-standin: request log: %s\n", std::strerror(errno));
      failed_ = true;
      return;
    }
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
}

std::string Base64Encode(std::string_view bytes) {
  static constexpr char Alphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
    unsigned value = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      value = (value << 8) | (k < count ? static_cast<unsigned char>(bytes[i + k]) : 0U);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      text += k <= count ? Alphabet[(value >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return text;
}

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (u < 0x20 || u >= 0x7f) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      json += escape;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

}  // namespace korvane::standin

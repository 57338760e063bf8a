#include "cli/ProgressLine.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

// Before this much time has passed the speed says too little to show.
constexpr std::chrono::milliseconds SpeedSettles{1000};
constexpr const char* EraseToLineEnd = "\x1b[K";

std::string Seconds(double seconds) {
  const long long whole = std::llround(seconds);
  char text[48];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

}  // namespace

std::string ProgressText(const SessionProgress& counts, std::optional<double> tilesPerSecond) {
  char text[160];
  std::snprintf(text, sizeof text, "tiles %d/%d  failed %d  ", counts.Done, counts.Total,
                counts.Failed);
  std::string line = text;
  const int left = counts.Total > counts.Done ? counts.Total - counts.Done : 0;
  if (!tilesPerSecond || !std::isfinite(*tilesPerSecond) || *tilesPerSecond < 0) {
    return line + "-- tiles/s  -- left";
  }
  std::snprintf(text, sizeof text, "%.1f tiles/s  ", *tilesPerSecond);
  line += text;
  if (left == 0) return line + "0:00 left";
  if (*tilesPerSecond <= 0) return line + "-- left";
  return line + Seconds(static_cast<double>(left) / *tilesPerSecond) + " left";
}

bool ProgressLine::WantedOn(int fd, bool quiet) {
  return !quiet && isatty(fd) == 1;
}

void ProgressLine::Show(const SessionProgress& counts, TimePoint now) {
  if (!first_) first_.emplace(now, counts.Done);
  std::optional<double> speed;
  const auto elapsed = now - first_->first;
  if (elapsed >= SpeedSettles) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    speed = static_cast<double>(counts.Done - first_->second) / seconds;
  }
  Write("\r" + ProgressText(counts, speed) + EraseToLineEnd);
  drawn_ = true;
}

void ProgressLine::Clear() {
  if (!drawn_) return;
  Write(std::string("\r") + EraseToLineEnd);
  drawn_ = false;
}

void ProgressLine::Finish() {
  if (!drawn_) return;
  Write("\n");
  drawn_ = false;
}

void ProgressLine::Write(const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    ssize_t count = ::write(fd_, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return;
    written += static_cast<size_t>(count);
  }
}

}  // namespace korvane

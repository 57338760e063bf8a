#include "views/ViewArguments.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "platform/NumberFormat.h"

namespace korvane {
namespace {

// A decimal number and nothing else ("." whatever the locale).
std::optional<double> Number(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<int> Whole(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0;;) {
    const std::size_t next = text.find(separator, at);
    parts.push_back(text.substr(at, next == std::string_view::npos ? next : next - at));
    if (next == std::string_view::npos) return parts;
    at = next + 1;
  }
}

}  // namespace

std::optional<ViewAnglesArgument> ParseViewAnglesArgument(const std::string& text) {
  const auto parts = Split(text, ',');
  if (parts.size() != 3) return std::nullopt;
  const auto heading = Number(parts[0]), pitch = Number(parts[1]), fov = Number(parts[2]);
  if (!heading || !pitch || !fov || std::fabs(*pitch) > MaxViewPitch || *fov < MinViewFieldOfView ||
      *fov > MaxViewFieldOfView)
    return std::nullopt;
  return ViewAnglesArgument{*heading, *pitch, *fov};
}

std::string ViewAnglesProblem() {
  return "--view needs HEADING,PITCH,FOV in degrees: pitch from -90 to 90, field of view from " +
         FloatToStr(MinViewFieldOfView, '.') + " to " + FloatToStr(MaxViewFieldOfView, '.') + ".";
}

std::optional<ViewSize> ParseViewSizeArgument(const std::string& text) {
  const auto parts = Split(text, 'x');
  if (parts.size() != 2) return std::nullopt;
  const auto width = Whole(parts[0]), height = Whole(parts[1]);
  auto fits = [](const std::optional<int>& side) {
    return side && *side >= MinViewSide && *side <= MaxViewSide;
  };
  if (!fits(width) || !fits(height)) return std::nullopt;
  return ViewSize{*width, *height};
}

std::string ViewSizeProblem() {
  return "--size needs WIDTHxHEIGHT, each from " + IntToStr(MinViewSide) + " to " +
         IntToStr(MaxViewSide) + " pixels.";
}

std::optional<int> ParseViewCountArgument(const std::string& text) {
  const auto count = Whole(text);
  if (!count || *count < 1 || *count > MaxViewsAround) return std::nullopt;
  return count;
}

std::string ViewCountProblem() {
  return "--views needs a number from 1 to " + IntToStr(MaxViewsAround) + ".";
}

}  // namespace korvane

#include "viewer/PanoramaPlacement.h"

#include <charconv>
#include <cmath>
#include <string>

namespace korvane::viewer {
namespace {

constexpr std::string_view GPanoNamespace = "http://ns.google.com/photos/1.0/panorama/";

// The prefix the packet binds to the GPano namespace (xmlns:PREFIX="..."); "GPano" when the
// packet does not say.
std::string GPanoPrefix(std::string_view xmp) {
  std::size_t at = xmp.find(GPanoNamespace);
  while (at != std::string_view::npos) {
    const std::size_t open = at - 1;  // the quote before the namespace
    if (at >= 2 && (xmp[open] == '"' || xmp[open] == '\'')) {
      const std::size_t equals = xmp.find_last_not_of(" \t\r\n", open - 1);
      const std::size_t xmlns = xmp.rfind("xmlns:", equals);
      if (equals != std::string_view::npos && xmp[equals] == '=' && xmlns != std::string_view::npos)
        return std::string(xmp.substr(xmlns + 6, equals - xmlns - 6));
    }
    at = xmp.find(GPanoNamespace, at + 1);
  }
  return "GPano";
}

// The text of property PREFIX:name, written as an attribute (name="value") or as an element
// (<name>value</name>).
std::optional<std::string_view> PropertyText(std::string_view xmp, const std::string& name) {
  for (std::size_t at = xmp.find(name); at != std::string_view::npos; at = xmp.find(name, at + 1)) {
    if (at > 0 && xmp[at - 1] != '<' && xmp[at - 1] != ' ' && xmp[at - 1] != '\t' &&
        xmp[at - 1] != '\n' && xmp[at - 1] != '\r')
      continue;
    std::size_t next = at + name.size();
    if (at > 0 && xmp[at - 1] == '<') {
      if (next >= xmp.size() || xmp[next] != '>') continue;
      const std::size_t end = xmp.find('<', next + 1);
      if (end == std::string_view::npos) return std::nullopt;
      return xmp.substr(next + 1, end - next - 1);
    }
    next = xmp.find_first_not_of(" \t\r\n", next);
    if (next == std::string_view::npos || xmp[next] != '=') continue;
    next = xmp.find_first_not_of(" \t\r\n", next + 1);
    if (next == std::string_view::npos || (xmp[next] != '"' && xmp[next] != '\'')) continue;
    const std::size_t end = xmp.find(xmp[next], next + 1);
    if (end == std::string_view::npos) return std::nullopt;
    return xmp.substr(next + 1, end - next - 1);
  }
  return std::nullopt;
}

std::optional<int> IntProperty(std::string_view xmp, const std::string& name) {
  const std::optional<std::string_view> text = PropertyText(xmp, name);
  if (!text) return std::nullopt;
  std::string_view digits = *text;
  while (!digits.empty() && (digits.front() == ' ' || digits.front() == '+'))
    digits.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end == digits.data()) return std::nullopt;
  return value;
}

std::optional<double> DoubleProperty(std::string_view xmp, const std::string& name) {
  const std::optional<std::string_view> text = PropertyText(xmp, name);
  if (!text) return std::nullopt;
  std::string_view digits = *text;
  while (!digits.empty() && (digits.front() == ' ' || digits.front() == '+'))
    digits.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end == digits.data() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

std::optional<GPanoValues> ParseGPano(std::string_view xmp) {
  const std::string prefix = GPanoPrefix(xmp) + ":";
  const auto fullWidth = IntProperty(xmp, prefix + "FullPanoWidthPixels");
  const auto fullHeight = IntProperty(xmp, prefix + "FullPanoHeightPixels");
  if (!fullWidth || !fullHeight) return std::nullopt;
  GPanoValues values;
  values.FullWidth = *fullWidth;
  values.FullHeight = *fullHeight;
  values.CroppedWidth = IntProperty(xmp, prefix + "CroppedAreaImageWidthPixels").value_or(0);
  values.CroppedHeight = IntProperty(xmp, prefix + "CroppedAreaImageHeightPixels").value_or(0);
  values.CroppedLeft = IntProperty(xmp, prefix + "CroppedAreaLeftPixels").value_or(0);
  values.CroppedTop = IntProperty(xmp, prefix + "CroppedAreaTopPixels").value_or(0);
  if (const auto projection = PropertyText(xmp, prefix + "ProjectionType"))
    values.Equirectangular = *projection == "equirectangular";
  return values;
}

std::optional<double> ParsePoseHeading(std::string_view xmp) {
  return DoubleProperty(xmp, GPanoPrefix(xmp) + ":PoseHeadingDegrees");
}

PanoramaPlacement PlacePicture(int width, int height, const std::optional<GPanoValues>& gpano) {
  if (gpano && gpano->Equirectangular) {
    const GPanoValues& g = *gpano;
    // A picture scaled after its XMP was written keeps the proportions of its cropped area.
    const bool sameSize = g.CroppedWidth == width && g.CroppedHeight == height;
    const bool inside = g.CroppedLeft >= 0 && g.CroppedTop >= 0 &&
                        static_cast<long long>(g.CroppedLeft) + width <= g.FullWidth &&
                        static_cast<long long>(g.CroppedTop) + height <= g.FullHeight;
    if (sameSize && inside) return {g.FullWidth, g.FullHeight, g.CroppedLeft, g.CroppedTop};
  }
  if (width >= 2LL * height) {
    const int fullHeight = width / 2;
    return {width, fullHeight, 0, (fullHeight - height) / 2};
  }
  const int fullWidth = 2 * height;
  return {fullWidth, height, (fullWidth - width) / 2, 0};
}

}  // namespace korvane::viewer

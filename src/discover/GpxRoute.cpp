#include "discover/GpxRoute.h"

#include <expat.h>

#include <charconv>
#include <memory>
#include <optional>
#include <string_view>
#include <type_traits>

#include "discover/DiscoverLimits.h"
#include "discover/ShapeFileChecks.h"
#include "platform/NumberFormat.h"

namespace korvane {
namespace {

// An element's name without its namespace prefix ("gpx:trkpt" -> "trkpt").
std::string_view LocalName(const XML_Char* name) {
  const std::string_view full(name);
  const std::size_t colon = full.rfind(':');
  return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

std::optional<double> NumberOf(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// What the parser's callbacks build. A point's error cannot be raised through expat's C
// frames, so the first one is kept and the parse stopped.
struct GpxReading {
  explicit GpxReading(XML_Parser parser) : Parser(parser) {}
  XML_Parser Parser;
  GeoRoute Route;
  std::size_t Points = 0;
  int Depth = 0;
  bool SawRoot = false;
  std::optional<std::string> Refusal;

  void Stop(std::string reason) {
    if (!Refusal) Refusal = std::move(reason);
    XML_StopParser(Parser, XML_FALSE);
  }

  void Start(const XML_Char* name, const XML_Char** attributes) {
    const std::string_view local = LocalName(name);
    if (Depth++ == 0) {
      SawRoot = local == "gpx";
      if (!SawRoot) Stop("not a GPX file (its root element is not gpx)");
      return;
    }
    if (local == "trkseg" || local == "rte") {
      Route.emplace_back();
      return;
    }
    if (local != "trkpt" && local != "rtept") return;
    std::optional<double> latitude;
    std::optional<double> longitude;
    for (int i = 0; attributes[i] != nullptr; i += 2) {
      const std::string_view attribute = LocalName(attributes[i]);
      if (attribute == "lat") latitude = NumberOf(attributes[i + 1]);
      if (attribute == "lon") longitude = NumberOf(attributes[i + 1]);
    }
    if (!latitude || !longitude) return Stop("a point without numeric lat and lon");
    if (!IsOnGlobe(*latitude, *longitude))
      return Stop("a coordinate is out of range (latitude -90..90, longitude -180..180)");
    // A point outside any segment or route (not valid GPX) starts a line of its own.
    if (Route.empty()) Route.emplace_back();
    Route.back().push_back({*latitude, *longitude});
    if (++Points > MaxShapePoints)
      Stop("more than " + IntToStr(static_cast<long long>(MaxShapePoints)) + " points");
  }
};

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  static_cast<GpxReading*>(data)->Start(name, attributes);
}

void XMLCALL OnEnd(void* data, const XML_Char*) {
  --static_cast<GpxReading*>(data)->Depth;
}

}  // namespace

GeoRoute ParseGpxRoute(const std::string& path, const std::string& text) {
  const std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
      XML_ParserCreate(nullptr), &XML_ParserFree);
  if (!parser) RefuseShapeFile(path, "out of memory");
  GpxReading reading(parser.get());
  XML_SetUserData(parser.get(), &reading);
  XML_SetElementHandler(parser.get(), OnStart, OnEnd);
  // No external entity is ever fetched (expat loads none without a handler), and expat's
  // amplification limits stop entity expansion bombs.
  const XML_Status status =
      XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE);
  if (reading.Refusal) RefuseShapeFile(path, *reading.Refusal);
  if (status != XML_STATUS_OK) {
    RefuseShapeFile(
        path, "not a GPX file (XML error at line " +
                  IntToStr(static_cast<long long>(XML_GetCurrentLineNumber(parser.get()))) + ": " +
                  XML_ErrorString(XML_GetErrorCode(parser.get())) + ")");
  }
  if (!reading.SawRoot) RefuseShapeFile(path, "not a GPX file");
  std::erase_if(reading.Route, [](const std::vector<GeoPoint>& line) { return line.empty(); });
  CheckShapeSize(path, reading.Points, BoxOf(reading.Route));
  return reading.Route;
}

}  // namespace korvane

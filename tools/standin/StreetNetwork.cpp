#include "StreetNetwork.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace korvane::standin {
namespace {

struct Metres {
  double East = 0;
  double North = 0;
};

// A street: its corners, and the stretches along it (metres from its start) with no panorama.
struct Street {
  std::vector<Metres> Corners;
  std::vector<std::pair<double, double>> Gaps;
};

// The town's plan, in metres east and north of the origin.
const std::vector<Street>& TownStreets() {
  static const std::vector<Street> streets = {
      {{{0, 0}, {400, 0}}, {}},                // the main street
      {{{0, 200}, {400, 200}}, {{275, 335}}},  // the second street, with a gap its links skip
      {{{0, 0}, {0, 200}}, {}},                // three cross streets
      {{{200, -100}, {200, 300}}, {}},
      {{{400, 0}, {400, 200}}, {}},
      {{{100, 0}, {100, 120}}, {}},               // a dead end off the main street
      {{{250, 60}, {300, 100}, {350, 100}}, {}},  // a lane that meets no street
  };
  return streets;
}

constexpr int NewestYear = 2023;
constexpr double JunctionMetres = 1;  // points of two streets this close are one panorama

std::string IdOf(std::size_t place, int date) {
  char text[32];
  std::snprintf(text, sizeof text, "town%05zud%d", place, date);
  return text;
}

CaptureMonth DateOf(std::size_t place, int date) {
  return {NewestYear - 4 * date, static_cast<int>(1 + (place + 5 * date) % 12)};
}

}  // namespace

GeoPoint StreetNetwork::At(double eastMetres, double northMetres) {
  return LocalFrame(Origin).ToPoint({eastMetres, northMetres});
}

const StreetNetwork& StreetNetwork::Town() {
  static const StreetNetwork town;
  return town;
}

StreetNetwork::StreetNetwork() {
  std::vector<Metres> places;
  std::vector<double> headings;
  std::vector<std::vector<std::size_t>> links;
  auto placeAt = [&](Metres at, double heading) {
    for (std::size_t i = 0; i < places.size(); ++i)
      if (std::hypot(places[i].East - at.East, places[i].North - at.North) < JunctionMetres)
        return i;
    places.push_back(at);
    headings.push_back(heading);
    links.emplace_back();
    return places.size() - 1;
  };
  auto link = [&links](std::size_t a, std::size_t b) {
    for (auto [from, to] : {std::pair{a, b}, std::pair{b, a}})
      if (std::find(links[from].begin(), links[from].end(), to) == links[from].end())
        links[from].push_back(to);
  };

  for (const Street& street : TownStreets()) {
    // A panorama every NetworkStepMetres along the whole street, corners passed through.
    double length = 0;
    for (std::size_t c = 1; c < street.Corners.size(); ++c)
      length += std::hypot(street.Corners[c].East - street.Corners[c - 1].East,
                           street.Corners[c].North - street.Corners[c - 1].North);
    constexpr std::size_t NoPlace = static_cast<std::size_t>(-1);
    std::size_t previous = NoPlace;
    for (double total = 0; total <= length + 1e-9; total += NetworkStepMetres) {
      const bool inGap =
          std::any_of(street.Gaps.begin(), street.Gaps.end(),
                      [total](const auto& gap) { return total > gap.first && total < gap.second; });
      if (inGap) {
        previous = NoPlace;
        continue;
      }
      double along = total;
      std::size_t c = 1;
      for (;; ++c) {
        const double segment = std::hypot(street.Corners[c].East - street.Corners[c - 1].East,
                                          street.Corners[c].North - street.Corners[c - 1].North);
        if (along <= segment + 1e-9 || c + 1 == street.Corners.size()) break;
        along -= segment;
      }
      const Metres from = street.Corners[c - 1];
      const Metres to = street.Corners[c];
      const double segment = std::hypot(to.East - from.East, to.North - from.North);
      const double heading = std::fmod(
          std::atan2(to.East - from.East, to.North - from.North) * 180 / std::numbers::pi + 360,
          360);
      const std::size_t place = placeAt({from.East + (to.East - from.East) * along / segment,
                                         from.North + (to.North - from.North) * along / segment},
                                        heading);
      if (previous != NoPlace && previous != place) link(previous, place);
      previous = place;
    }
  }

  placeCount_ = places.size();
  captures_.resize(placeCount_ * NetworkDates);
  for (std::size_t place = 0; place < placeCount_; ++place) {
    const GeoPoint position = At(places[place].East, places[place].North);
    for (int date = 0; date < NetworkDates; ++date) {
      PanoramaRecord& record = captures_[date * placeCount_ + place];
      record.PanoId = IdOf(place, date);
      record.Protocol = PanoramaProtocol::Current;
      record.Latitude = position.Latitude;
      record.Longitude = position.Longitude;
      record.Heading = headings[place];
      record.Date = DateOf(place, date);
      // Older captures were taken on their own drives: no links kept between them.
      if (date == 0)
        for (const std::size_t other : links[place])
          record.Links.push_back({IdOf(other, 0), std::nullopt});
      for (int otherDate = 0; otherDate < NetworkDates; ++otherDate)
        if (otherDate != date)
          record.OtherDates.push_back({IdOf(place, otherDate), DateOf(place, otherDate)});
    }
  }
  // The bearing of each link, now that every place has its position.
  for (std::size_t place = 0; place < placeCount_; ++place) {
    for (PanoramaLink& linkTo : captures_[place].Links) {
      const std::size_t other = std::stoul(linkTo.PanoId.substr(4, 5));
      linkTo.Bearing = std::fmod(std::atan2(places[other].East - places[place].East,
                                            places[other].North - places[place].North) *
                                         180 / std::numbers::pi +
                                     360,
                                 360);
    }
  }
  for (std::size_t i = 0; i < captures_.size(); ++i)
    indexOf_.emplace(captures_[i].PanoId, i);
}

std::vector<const PanoramaRecord*> StreetNetwork::Places() const {
  std::vector<const PanoramaRecord*> places;
  for (std::size_t i = 0; i < placeCount_; ++i)
    places.push_back(&captures_[i]);
  return places;
}

const PanoramaRecord* StreetNetwork::ById(std::string_view panoId) const {
  const auto found = indexOf_.find(std::string(panoId));
  return found == indexOf_.end() ? nullptr : &captures_[found->second];
}

const PanoramaRecord* StreetNetwork::Nearest(GeoPoint point, double radiusMetres) const {
  const PanoramaRecord* nearest = nullptr;
  double nearestMetres = radiusMetres;
  for (std::size_t i = 0; i < placeCount_; ++i) {
    const double metres = DistanceMetres(point, {*captures_[i].Latitude, *captures_[i].Longitude});
    if (metres <= nearestMetres) {
      nearest = &captures_[i];
      nearestMetres = metres;
    }
  }
  return nearest;
}

}  // namespace korvane::standin

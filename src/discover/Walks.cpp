#include "discover/Walks.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <numbers>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "discover/DiscoverLimits.h"
#include "task/PanoIdCheck.h"

namespace korvane {
namespace {

// An answer the walks can use: an id safe in file names and addresses, a position on the globe.
bool IsUsable(const std::optional<PanoramaRecord>& record) {
  return record && IsUsablePanoId(record->PanoId) && record->Latitude && record->Longitude &&
         IsOnGlobe(*record->Latitude, *record->Longitude);
}

GeoPoint PositionOf(const PanoramaRecord& record) {
  return {*record.Latitude, *record.Longitude};
}

// The panoramas found so far and the breadth-first walk of their links. Every id asked for or
// answered is remembered, so no panorama is looked up twice.
class LinkWalk {
 public:
  LinkWalk(PanoramaFinder& finder, std::function<bool(GeoPoint)> keep, std::size_t maxCount)
      : finder_(finder), keep_(std::move(keep)), maxCount_(std::min(maxCount, MaxPlanRows)) {}

  bool Full() const { return found_.size() >= maxCount_; }
  bool Seen(const std::string& panoId) const { return seen_.contains(panoId); }
  const FoundPanoramas& Found() const { return found_; }
  FoundPanoramas TakeFound() { return std::move(found_); }

  // A panorama a lookup answered: kept when new and wanted, and then its links walked.
  void StartFrom(std::optional<PanoramaRecord> record) {
    if (!Take(std::move(record))) return;
    std::deque<std::size_t> queue{found_.size() - 1};
    while (!queue.empty() && !Full()) {
      const std::size_t index = queue.front();
      queue.pop_front();
      // Copied: the vector grows while its links are looked up.
      const std::vector<PanoramaLink> links = found_[index].Links;
      for (const PanoramaLink& link : links) {
        if (Full()) break;
        if (!IsUsablePanoId(link.PanoId) || !seen_.insert(link.PanoId).second) continue;
        if (Take(finder_.FindById(link.PanoId))) queue.push_back(found_.size() - 1);
      }
    }
  }

 private:
  // Marks the answer seen; keeps it when it is usable, new, wanted and there is room.
  bool Take(std::optional<PanoramaRecord> record) {
    if (!IsUsable(record) || Full()) return false;
    const bool isNew = seen_.insert(record->PanoId).second;
    // A by-id answer was marked before its lookup; a nearest answer is new when unseen.
    if (!isNew && kept_.contains(record->PanoId)) return false;
    if (!keep_(PositionOf(*record))) return false;
    kept_.insert(record->PanoId);
    found_.push_back(std::move(*record));
    return true;
  }

  PanoramaFinder& finder_;
  std::function<bool(GeoPoint)> keep_;
  std::size_t maxCount_;
  std::unordered_set<std::string> seen_;
  std::unordered_set<std::string> kept_;
  FoundPanoramas found_;
};

// The panoramas found, bucketed in squares of SeedCoveredMetres, to tell whether a seed is
// close to one of them without going through all.
class CoveredPlaces {
 public:
  explicit CoveredPlaces(const LocalFrame& frame) : frame_(frame) {}

  void Add(GeoPoint point) {
    const LocalFrame::Metres metres = frame_.ToMetres(point);
    buckets_[KeyOf(Cell(metres.East), Cell(metres.North))].push_back(metres);
  }

  bool IsCovered(GeoPoint point) const {
    const LocalFrame::Metres seed = frame_.ToMetres(point);
    const long long east = Cell(seed.East);
    const long long north = Cell(seed.North);
    for (long long de = -1; de <= 1; ++de) {
      for (long long dn = -1; dn <= 1; ++dn) {
        const auto bucket = buckets_.find(KeyOf(east + de, north + dn));
        if (bucket == buckets_.end()) continue;
        for (const LocalFrame::Metres& place : bucket->second) {
          if (std::hypot(place.East - seed.East, place.North - seed.North) <= SeedCoveredMetres)
            return true;
        }
      }
    }
    return false;
  }

 private:
  static long long Cell(double metres) {
    return static_cast<long long>(std::floor(metres / SeedCoveredMetres));
  }
  static long long KeyOf(long long east, long long north) { return east * 1000003LL + north; }

  const LocalFrame& frame_;
  std::unordered_map<long long, std::vector<LocalFrame::Metres>> buckets_;
};

// Discs the area walk's lookups showed to hold no panorama it has not seen: a lookup answers
// the panorama nearest its point within its radius, so no other lies closer than the one it
// answered, and none lies within the radius when it answered none. Bucketed by squares of
// bucketMetres (no disc is wider than that) so a check looks at the discs nearby only.
class KnownEmpty {
 public:
  KnownEmpty(const LocalFrame& frame, double bucketMetres)
      : frame_(frame), bucketMetres_(bucketMetres) {}

  void Add(GeoPoint centre, double radiusMetres) {
    const LocalFrame::Metres at = frame_.ToMetres(centre);
    buckets_[KeyOf(Cell(at.East), Cell(at.North))].push_back({at, radiusMetres});
  }

  // Whether the square of side sideMetres centred on the point lies inside the discs: every
  // cell of a grid of EmptyCheckCells a side over it lies whole inside one disc.
  bool CoversSquare(GeoPoint centre, double sideMetres) const {
    const LocalFrame::Metres middle = frame_.ToMetres(centre);
    constexpr int cells = EmptyCheckCells;
    const double step = sideMetres / cells;
    const double cellReach = step * std::numbers::sqrt2 / 2;
    for (int i = 0; i < cells; ++i) {
      for (int j = 0; j < cells; ++j) {
        const LocalFrame::Metres point{middle.East - sideMetres / 2 + (i + 0.5) * step,
                                       middle.North - sideMetres / 2 + (j + 0.5) * step};
        if (!Inside(point, cellReach)) return false;
      }
    }
    return true;
  }

 private:
  struct Disc {
    LocalFrame::Metres Centre;
    double Radius = 0;
  };

  // Whether the disc of radius reach around the point lies inside one of the discs.
  bool Inside(LocalFrame::Metres point, double reach) const {
    const long long east = Cell(point.East);
    const long long north = Cell(point.North);
    for (long long de = -1; de <= 1; ++de) {
      for (long long dn = -1; dn <= 1; ++dn) {
        const auto bucket = buckets_.find(KeyOf(east + de, north + dn));
        if (bucket == buckets_.end()) continue;
        for (const Disc& disc : bucket->second)
          if (std::hypot(point.East - disc.Centre.East, point.North - disc.Centre.North) + reach <
              disc.Radius)
            return true;
      }
    }
    return false;
  }
  long long Cell(double metres) const {
    return static_cast<long long>(std::floor(metres / bucketMetres_));
  }
  static long long KeyOf(long long east, long long north) { return east * 1000003LL + north; }

  const LocalFrame& frame_;
  double bucketMetres_;
  std::unordered_map<long long, std::vector<Disc>> buckets_;
};

// The seeds in two passes, as the squares of a chessboard: the lookups of the first pass search
// beyond their own squares (SeedSearchReach), so a seed of the second pass between seeds that
// answered none, or only panoramas farther off, has its square known empty before its turn.
std::vector<GeoPoint> InTwoPasses(const LocalFrame& frame, const std::vector<GeoPoint>& seeds,
                                  double spacingMetres) {
  if (seeds.empty()) return seeds;
  const LocalFrame::Metres first = frame.ToMetres(seeds.front());
  std::vector<GeoPoint> ordered;
  for (const long long pass : {0LL, 1LL}) {
    for (const GeoPoint& seed : seeds) {
      const LocalFrame::Metres at = frame.ToMetres(seed);
      const long long steps = std::llround((at.East - first.East) / spacingMetres) +
                              std::llround((at.North - first.North) / spacingMetres);
      if ((steps & 1) == pass) ordered.push_back(seed);
    }
  }
  return ordered;
}

// The points every stepMetres along one line, its first and last included.
void StepAlong(const std::vector<GeoPoint>& line, double stepMetres, std::vector<GeoPoint>& steps) {
  if (line.empty()) return;
  steps.push_back(line.front());
  double sinceLast = 0;
  for (std::size_t i = 1; i < line.size(); ++i) {
    const GeoPoint from = line[i - 1];
    const GeoPoint to = line[i];
    const double length = DistanceMetres(from, to);
    double at = stepMetres - sinceLast;  // metres into this segment of the next step
    while (at <= length) {
      const double share = at / length;
      steps.push_back({from.Latitude + (to.Latitude - from.Latitude) * share,
                       from.Longitude + (to.Longitude - from.Longitude) * share});
      at += stepMetres;
    }
    sinceLast = length - (at - stepMetres);
  }
  if (!(steps.back() == line.back())) steps.push_back(line.back());
}

}  // namespace

FoundPanoramas FindAround(PanoramaFinder& finder, GeoPoint centre, double radiusMetres,
                          std::size_t maxCount) {
  LinkWalk walk(
      finder,
      [centre, radiusMetres](GeoPoint point) {
        return DistanceMetres(centre, point) <= radiusMetres;
      },
      maxCount);
  walk.StartFrom(finder.FindNearest(centre, radiusMetres).Record);
  return walk.TakeFound();
}

std::vector<GeoPoint> SeedGrid(const GeoArea& area, double spacingMetres) {
  std::vector<GeoPoint> seeds;
  const GeoBox box = BoxOf(area);
  const LocalFrame frame(box.Centre());
  const LocalFrame::Metres low = frame.ToMetres({box.South, box.West});
  const LocalFrame::Metres high = frame.ToMetres({box.North, box.East});
  // As many rows and columns as the spacing fits, rounded (one at least, so a strip narrower than
  // the spacing gets its seeds), centred in the box.
  auto axis = [spacingMetres](double from, double to) {
    const int count = std::max(1, static_cast<int>(std::lround((to - from) / spacingMetres)));
    return std::pair{from + (to - from - (count - 1) * spacingMetres) / 2, count};
  };
  const auto [north0, rows] = axis(low.North, high.North);
  const auto [east0, columns] = axis(low.East, high.East);
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const GeoPoint seed =
          frame.ToPoint({east0 + column * spacingMetres, north0 + row * spacingMetres});
      if (IsInside(area, seed)) seeds.push_back(seed);
    }
  }
  // An area the grid misses altogether (a thin diagonal strip) is seeded at its corners.
  if (seeds.empty())
    for (const GeoPolygon& polygon : area)
      if (!polygon.Outer.empty()) seeds.push_back(polygon.Outer.front());
  return seeds;
}

double SeedGridBoxPoints(const GeoArea& area, double spacingMetres) {
  const GeoBox box = BoxOf(area);
  const double height = DistanceMetres({box.South, box.West}, {box.North, box.West});
  const double width = DistanceMetres({box.South, box.West}, {box.South, box.East});
  return (height / spacingMetres + 1) * (width / spacingMetres + 1);
}

double RouteSteps(const GeoRoute& route, double stepMetres) {
  double steps = 0;
  for (const std::vector<GeoPoint>& line : route) {
    steps += 2;  // its ends
    for (std::size_t i = 1; i < line.size(); ++i)
      steps += DistanceMetres(line[i - 1], line[i]) / stepMetres;
  }
  return steps;
}

FoundPanoramas FindInArea(PanoramaFinder& finder, const GeoArea& area, double spacingMetres) {
  // Each seed searches its whole square and beyond (SeedSearchReach); what it learns of the
  // places around spares the seeds after it in empty blocks their lookups.
  const double searchRadius = spacingMetres * SeedSearchReach;
  const LocalFrame frame(BoxOf(area).Centre());
  CoveredPlaces covered(frame);
  KnownEmpty empty(frame, searchRadius);
  std::size_t coveredCount = 0;
  LinkWalk walk(
      finder, [&area](GeoPoint point) { return IsInside(area, point); }, MaxPlanRows);
  for (const GeoPoint& seed : InTwoPasses(frame, SeedGrid(area, spacingMetres), spacingMetres)) {
    if (walk.Full()) break;
    for (; coveredCount < walk.Found().size(); ++coveredCount)
      covered.Add(PositionOf(walk.Found()[coveredCount]));
    if (covered.IsCovered(seed) || empty.CoversSquare(seed, spacingMetres)) continue;
    NearestPanorama nearest = finder.FindNearest(seed, searchRadius);
    if (!nearest.Record && nearest.Answered) {
      empty.Add(seed, searchRadius);
    } else if (IsUsable(nearest.Record)) {
      empty.Add(seed, DistanceMetres(seed, PositionOf(*nearest.Record)));
    }
    walk.StartFrom(std::move(nearest.Record));
  }
  return walk.TakeFound();
}

FoundPanoramas FindAlongRoute(PanoramaFinder& finder, const GeoRoute& route, double stepMetres) {
  std::vector<GeoPoint> steps;
  for (const std::vector<GeoPoint>& line : route)
    StepAlong(line, stepMetres, steps);
  FoundPanoramas found;
  std::unordered_set<std::string> seen;
  for (const GeoPoint& step : steps) {
    if (found.size() >= MaxPlanRows) break;
    std::optional<PanoramaRecord> record = finder.FindNearest(step, RouteSearchRadiusMetres).Record;
    if (!IsUsable(record) || !seen.insert(record->PanoId).second) continue;
    found.push_back(std::move(*record));
  }
  return found;
}

FoundPanoramas AddOtherDates(PanoramaFinder& finder, const FoundPanoramas& found) {
  std::unordered_set<std::string> seen;
  for (const PanoramaRecord& record : found)
    seen.insert(record.PanoId);
  FoundPanoramas withDates;
  for (const PanoramaRecord& record : found) {
    withDates.push_back(record);
    for (const OtherCapture& other : record.OtherDates) {
      if (withDates.size() >= MaxPlanRows) return withDates;
      if (!IsUsablePanoId(other.PanoId) || !seen.insert(other.PanoId).second) continue;
      std::optional<PanoramaRecord> capture = finder.FindById(other.PanoId);
      if (!IsUsable(capture) || capture->PanoId != other.PanoId) {
        capture = PanoramaRecord{};
        capture->PanoId = other.PanoId;
        capture->Protocol = record.Protocol;
        capture->Latitude = record.Latitude;
        capture->Longitude = record.Longitude;
        capture->Date = other.Date;
      }
      withDates.push_back(std::move(*capture));
    }
  }
  return withDates;
}

}  // namespace korvane

#include "discover/PanoramaPlan.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>

#include "discover/DiscoverLimits.h"
#include "platform/CsvRow.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/PrintableText.h"
#include "task/PanoIdCheck.h"

namespace korvane {
namespace {

const std::vector<std::string> PlanColumns = {"id",      "lat",   "lon",  "date",
                                              "heading", "state", "links"};
constexpr std::size_t StateColumn = 5;

constexpr std::pair<PlanState, std::string_view> StateTexts[] = {
    {PlanState::Planned, "planned"},       {PlanState::Done, "done"},
    {PlanState::Incomplete, "incomplete"}, {PlanState::Stopped, "stopped"},
    {PlanState::Failed, "failed"},
};

// Seven decimals of a degree: about a centimetre, finer than any position the service gives.
std::string DegreesText(double degrees) {
  char text[32];
  std::snprintf(text, sizeof text, "%.7f", degrees);
  return text;
}

// A position as the plan file holds it, so a plan reads back exactly as it was made.
double AsWritten(double degrees) {
  return std::strtod(DegreesText(degrees).c_str(), nullptr);
}

std::string DateText(const std::optional<CaptureMonth>& date) {
  if (!date || date->Year < 1 || date->Year > 9999 || date->Month < 1 || date->Month > 12)
    return "";
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d", date->Year, date->Month);
  return text;
}

std::string HeadingText(const std::optional<double>& heading) {
  if (!heading || !std::isfinite(*heading)) return "";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", std::fmod(std::fmod(*heading, 360.0) + 360.0, 360.0));
  return text;
}

std::string JoinIds(const std::vector<std::string>& ids) {
  std::string text;
  for (const std::string& id : ids)
    text += (text.empty() ? "" : " ") + id;
  return text;
}

// The row's text up to its state (where the state starts), and the rest.
std::string RowHead(const PlanRow& row) {
  return JoinCsvRow({row.PanoId, DegreesText(row.Latitude), DegreesText(row.Longitude), row.Date,
                     row.Heading}) +
         ",";
}
std::string PaddedState(PlanState state) {
  std::string text(PlanStateText(state));
  text.resize(PlanStateWidth, ' ');
  return text;
}
std::string RowTail(const PlanRow& row) {
  return "," + JoinIds(row.Links) + "\r\n";
}
std::string HeaderLine() {
  return JoinCsvRow(PlanColumns) + "\r\n";
}

std::optional<double> NumberOf(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool IsDateText(const std::string& text) {
  if (text.empty()) return true;
  return text.size() == 7 && text[4] == '-' && std::all_of(text.begin(), text.end(), [](char c) {
           return c == '-' || (c >= '0' && c <= '9');
         });
}

std::vector<std::string> SplitIds(const std::string& text) {
  std::vector<std::string> ids;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t blank = text.find(' ', at);
    const std::size_t end = blank == std::string::npos ? text.size() : blank;
    if (end > at) ids.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return ids;
}

}  // namespace

std::string_view PlanStateText(PlanState state) {
  for (const auto& [value, text] : StateTexts)
    if (value == state) return text;
  return "planned";
}

std::optional<PlanState> ParsePlanState(std::string_view text) {
  for (const auto& [value, stateText] : StateTexts)
    if (stateText == text) return value;
  return std::nullopt;
}

PanoramaPlan PlanOf(const FoundPanoramas& found) {
  std::unordered_set<std::string> ids;
  for (const PanoramaRecord& record : found)
    ids.insert(record.PanoId);
  PanoramaPlan plan;
  for (const PanoramaRecord& record : found) {
    PlanRow row{record.PanoId,
                AsWritten(*record.Latitude),
                AsWritten(*record.Longitude),
                DateText(record.Date),
                HeadingText(record.Heading),
                PlanState::Planned,
                {}};
    for (const PanoramaLink& link : record.Links)
      if (ids.contains(link.PanoId) && link.PanoId != record.PanoId)
        row.Links.push_back(link.PanoId);
    plan.push_back(std::move(row));
  }
  return plan;
}

std::string FormatPlan(const PanoramaPlan& plan) {
  std::string text = HeaderLine();
  for (const PlanRow& row : plan)
    text += RowHead(row) + PaddedState(row.State) + RowTail(row);
  return text;
}

void WritePlan(const std::string& path, const PanoramaPlan& plan) {
  WriteFileAtomically(path, FormatPlan(plan));
}

PanoramaPlan ReadPlan(const std::string& path) {
  std::string text;
  try {
    text = ReadRegularFile(path, MaxPlanFileBytes);
  } catch (const Exception&) {
    throw PlanFileError("Cannot open file " + PrintableText(path));
  }
  PanoramaPlan plan;
  std::unordered_set<std::string> ids;
  int lineNumber = 0;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t newline = text.find('\n', at);
    const std::size_t end = newline == std::string::npos ? text.size() : newline;
    std::string line = text.substr(at, end - at);
    at = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto refuse = [&path, lineNumber](const std::string& reason) {
      throw PlanFileError(PrintableText(path) + " line " + IntToStr(lineNumber) + ": " + reason);
    };
    if (line.size() > MaxPlanRowBytes) refuse("the row is too long");
    if (lineNumber == 1) {
      if (SplitCsvRow(line) != PlanColumns)
        refuse("not a plan (its header is not " + JoinCsvRow(PlanColumns) + ")");
      continue;
    }
    if (line.empty()) continue;
    std::vector<std::string> fields = SplitCsvRow(line);
    if (fields.size() < StateColumn + 1 || fields.size() > PlanColumns.size())
      refuse("a row needs the columns " + JoinCsvRow(PlanColumns));
    fields.resize(PlanColumns.size());
    if (!IsUsablePanoId(fields[0])) refuse("not a panorama id");
    if (!ids.insert(fields[0]).second) refuse("a panorama listed twice");
    const std::optional<double> latitude = NumberOf(fields[1]);
    const std::optional<double> longitude = NumberOf(fields[2]);
    if (!latitude || !longitude || !IsOnGlobe(*latitude, *longitude))
      refuse("a position off the globe");
    if (!IsDateText(fields[3])) refuse("a date that is not YYYY-MM");
    if (!fields[4].empty() && !(NumberOf(fields[4]) && std::isfinite(*NumberOf(fields[4]))))
      refuse("a heading that is not a number");
    const std::optional<PlanState> state = ParsePlanState(fields[StateColumn]);
    if (!state) refuse("an unknown state");
    std::vector<std::string> links = SplitIds(fields[6]);
    if (!std::all_of(links.begin(), links.end(), IsUsablePanoId))
      refuse("a link that is not an id");
    if (plan.size() >= MaxPlanRows) refuse("more than " + IntToStr(MaxPlanRows) + " panoramas");
    // Rounded as the file writes them, so a plan read back writes itself again.
    plan.push_back({fields[0], AsWritten(*latitude), AsWritten(*longitude), fields[3], fields[4],
                    *state, std::move(links)});
  }
  if (lineNumber == 0) throw PlanFileError(PrintableText(path) + ": an empty plan file");
  return plan;
}

PlanStateUpdater::PlanStateUpdater(const std::string& path, const PanoramaPlan& plan)
    : path_(path) {
  long long offset = static_cast<long long>(HeaderLine().size());
  for (const PlanRow& row : plan) {
    const std::string head = RowHead(row);
    stateOffsets_.push_back(offset + static_cast<long long>(head.size()));
    offset += static_cast<long long>(head.size() + PlanStateWidth + RowTail(row).size());
  }
  fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd_ < 0) throw FileCreateError::ForPath(path);
}

PlanStateUpdater::~PlanStateUpdater() {
  if (fd_ >= 0) ::close(fd_);
}

void PlanStateUpdater::Set(std::size_t row, PlanState state) {
  const std::string text = PaddedState(state);
  if (row >= stateOffsets_.size() ||
      ::pwrite(fd_, text.data(), text.size(), static_cast<off_t>(stateOffsets_[row])) !=
          static_cast<ssize_t>(text.size()) ||
      ::fsync(fd_) != 0)
    throw FileCreateError::ForPath(path_);
}

std::optional<PlanShard> ParsePlanShard(std::string_view text) {
  const std::size_t slash = text.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  auto number = [](std::string_view digits) -> std::optional<int> {
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
      return std::nullopt;
    return value;
  };
  const std::optional<int> index = number(text.substr(0, slash));
  const std::optional<int> count = number(text.substr(slash + 1));
  if (!index || !count || *index < 1 || *index > *count || *count > MaxShards) return std::nullopt;
  return PlanShard{*index, *count};
}

int ShardOfId(std::string_view panoId, int count) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : panoId) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return static_cast<int>(hash % static_cast<std::uint64_t>(count));
}

PanoramaPlan PlanPart(const PanoramaPlan& plan, const PlanShard& shard) {
  PanoramaPlan part;
  for (const PlanRow& row : plan)
    if (ShardOfId(row.PanoId, shard.Count) == shard.Index - 1) part.push_back(row);
  return part;
}

std::string PlanPathFor(const std::string& folder, const std::string& name,
                        const std::optional<PlanShard>& shard) {
  std::string base = IncludeTrailingPathDelimiter(folder) + name;
  if (shard) base += "_part" + IntToStr(shard->Index) + "of" + IntToStr(shard->Count);
  return base + "_plan.csv";
}

}  // namespace korvane

#include "FaultPlan.h"

#include <charconv>
#include <cmath>

#include "ServiceAnswers.h"
#include "StandinLimits.h"
#include "platform/FileSystem.h"

namespace korvane::standin {

namespace {

std::vector<std::string_view> SplitWords(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t start = line.find_first_not_of(" \t", pos);
    if (start == std::string_view::npos) break;
    const std::size_t end = line.find_first_of(" \t", start);
    words.push_back(line.substr(start, end - start));
    pos = end == std::string_view::npos ? line.size() : end;
  }
  return words;
}

// Reads the words of one rule front to back; every failure names the line.
class RuleReader {
 public:
  RuleReader(int line, std::vector<std::string_view> words) : line_(line), words_(words) {}

  bool AtEnd() const { return next_ >= words_.size(); }
  std::string_view Peek() const { return AtEnd() ? std::string_view() : words_[next_]; }
  std::string_view Take(const char* what) {
    if (AtEnd()) Fail(std::string("missing ") + what);
    return words_[next_++];
  }
  // The words not read yet, joined by single blanks.
  std::string Rest() {
    std::string rest;
    for (; next_ < words_.size(); ++next_)
      rest += (rest.empty() ? "" : " ") + std::string(words_[next_]);
    return rest;
  }

  long long Number(std::string_view text, const char* what, long long low, long long high) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low ||
        value > high) {
      Fail(std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
           std::to_string(high) + ", not \"" + std::string(text) + "\"");
    }
    return value;
  }

  [[noreturn]] void Fail(const std::string& problem) const {
    throw EPlanError("line " + std::to_string(line_) + ": " + problem);
  }

 private:
  int line_;
  std::vector<std::string_view> words_;
  std::size_t next_ = 0;
};

constexpr long long MaxCount = 1'000'000'000;

bool IsDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

void ReadFilter(RuleReader& reader, std::string_view word, FaultRule& rule) {
  const std::size_t equals = word.find('=');
  const std::string_view key = word.substr(0, equals);
  const std::string_view value = word.substr(equals + 1);
  const bool tileKey = key == "x" || key == "y" || key == "zoom" || key == "pano";
  if (tileKey && rule.Subject != RuleSubject::Tile)
    reader.Fail("filter " + std::string(key) + "= needs a tile rule");
  if (key == "x") {
    rule.X = static_cast<int>(reader.Number(value, "x", 0, MaxCount));
  } else if (key == "y") {
    rule.Y = static_cast<int>(reader.Number(value, "y", 0, MaxCount));
  } else if (key == "zoom") {
    rule.Zoom = static_cast<int>(reader.Number(value, "zoom", 0, MaxCount));
  } else if (key == "pano") {
    if (value.empty()) reader.Fail("pano= needs an id");
    rule.PanoId = std::string(value);
  } else if (key == "ll") {
    if (rule.Subject != RuleSubject::Metadata && rule.Subject != RuleSubject::Lookup)
      reader.Fail("filter ll= needs a metadata or lookup rule");
    const ServiceRequest point = ClassifyRequest("GET", "/cbk?output=xml&ll=" + std::string(value));
    if (!point.Valid()) reader.Fail("ll= must be LAT,LON in decimal degrees");
    rule.Cell = CellOf(point.Latitude, point.Longitude);
    if (!rule.Cell) reader.Fail("ll= names a point without coverage anyway");
  } else {
    reader.Fail("unknown filter \"" + std::string(word) + "\"");
  }
}

void ReadSpan(RuleReader& reader, FaultRule& rule) {
  const std::string_view word = reader.Take("attempts (every, first N, from N or attempt N)");
  if (word == "every") {
    rule.Span = AttemptSpan::Every;
    if (IsDigits(reader.Peek()))
      rule.N = static_cast<int>(reader.Number(reader.Take("N"), "N", 1, MaxCount));
  } else if (word == "first" || word == "from" || word == "attempt") {
    rule.Span = word == "first"  ? AttemptSpan::First
                : word == "from" ? AttemptSpan::From
                                 : AttemptSpan::Only;
    rule.N = static_cast<int>(reader.Number(reader.Take("N"), "N", 1, MaxCount));
  } else {
    reader.Fail("expected every, first N, from N or attempt N, not \"" + std::string(word) + "\"");
  }
}

std::optional<long long> OptionalBytes(RuleReader& reader) {
  if (!IsDigits(reader.Peek())) return std::nullopt;
  return reader.Number(reader.Take("bytes"), "bytes", 0, MaxCount);
}

FaultAction ReadAction(RuleReader& reader, RuleSubject subject) {
  FaultAction action;
  const std::string_view word = reader.Take("action");
  if (word == "delay") {
    const int delay =
        static_cast<int>(reader.Number(reader.Take("delay in ms"), "delay", 0, MaxPlanDelayMs));
    if (!reader.AtEnd()) action = ReadAction(reader, subject);
    action.DelayMs += delay;
    if (action.DelayMs > MaxPlanDelayMs) reader.Fail("delays add up to more than the limit");
    return action;
  }
  if (word == "ok") {
    action.Kind = FaultKind::Ok;
  } else if (word == "reset") {
    action.Kind = FaultKind::Reset;
  } else if (word == "close") {
    action.Kind = FaultKind::Close;
  } else if (word == "cut" || word == "truncate") {
    action.Kind = word == "cut" ? FaultKind::Cut : FaultKind::Truncate;
    action.Bytes = OptionalBytes(reader).value_or(-1);
  } else if (word == "status") {
    action.Kind = FaultKind::Status;
    action.StatusCode =
        static_cast<int>(reader.Number(reader.Take("status code"), "status", 100, 999));
    for (;;) {
      const std::string_view option = reader.Peek();
      if (option.substr(0, 9) == "location=") {
        action.Location = std::string(reader.Take("location").substr(9));
      } else if (option.substr(0, 12) == "retry-after=") {
        action.RetryAfterSeconds = static_cast<int>(reader.Number(
            reader.Take("retry-after").substr(12), "retry-after", 0, MaxRetryAfterSeconds));
      } else {
        break;
      }
    }
    const std::string reason = reader.Rest();
    action.Reason = reason.empty()  ? ReasonPhrase(action.StatusCode)
                    : reason == "-" ? std::string()
                                    : reason;
    return action;
  } else if (word == "html") {
    action.Kind = FaultKind::Html;
  } else if (word == "empty") {
    action.Kind = FaultKind::Empty;
  } else if (word == "corrupt") {
    action.Kind = FaultKind::Corrupt;
  } else if (word == "stall") {
    action.Kind = FaultKind::Stall;
  } else if (word == "chunked") {
    action.Kind = FaultKind::Chunked;
  } else if (word == "http10") {
    action.Kind = FaultKind::Http10;
  } else if (word == "headonly") {
    action.Kind = FaultKind::HeadOnly;
  } else if (word == "drip") {
    action.Kind = FaultKind::Drip;
    if (IsDigits(reader.Peek()))
      action.DripMs = static_cast<int>(reader.Number(reader.Take("ms"), "drip", 1, MaxDripMs));
  } else if (word == "oversize") {
    action.Kind = FaultKind::Oversize;
    action.Bytes = OptionalBytes(reader).value_or(-1);
  } else if (word == "endless") {
    action.Kind = FaultKind::Endless;
  } else if (word == "sorry") {
    action.Kind = FaultKind::Sorry;
  } else if (word == "placeholder") {
    if (subject != RuleSubject::Tile) reader.Fail("placeholder needs a tile rule");
    action.Kind = FaultKind::Placeholder;
  } else if (word == "nocoverage") {
    if (subject != RuleSubject::Metadata && subject != RuleSubject::Lookup)
      reader.Fail("nocoverage needs a metadata or lookup rule");
    action.Kind = FaultKind::NoCoverage;
  } else {
    reader.Fail("unknown action \"" + std::string(word) + "\"");
  }
  return action;
}

RuleSubject ReadSubject(RuleReader& reader) {
  const std::string_view subject = reader.Take("subject (metadata, lookup, tile or any)");
  if (subject == "metadata") return RuleSubject::Metadata;
  if (subject == "lookup") return RuleSubject::Lookup;
  if (subject == "tile") return RuleSubject::Tile;
  if (subject == "any") return RuleSubject::Any;
  reader.Fail("expected metadata, lookup, tile or any, not \"" + std::string(subject) + "\"");
}

bool SubjectHolds(RuleSubject subject, const ServiceRequest& request) {
  switch (subject) {
    case RuleSubject::Any:
      return true;
    case RuleSubject::Metadata:
      return request.Kind == RequestKind::Metadata;
    case RuleSubject::Tile:
      return request.Kind == RequestKind::Tile;
    case RuleSubject::Lookup:
      return request.Kind == RequestKind::Lookup || request.Kind == RequestKind::ById;
  }
  return false;
}

// "ratelimit SUBJECT N [retry-after=S]"
RateLimitRule ReadRateLimit(int line, std::string_view text, RuleSubject& subject) {
  RuleReader reader(line, SplitWords(text));
  reader.Take("ratelimit");
  subject = ReadSubject(reader);
  RateLimitRule limit;
  limit.Line = line;
  limit.PerSecond = static_cast<int>(
      reader.Number(reader.Take("requests a second"), "requests a second", 1, MaxCount));
  if (reader.Peek().substr(0, 12) == "retry-after=") {
    limit.RetryAfterSeconds = static_cast<int>(reader.Number(
        reader.Take("retry-after").substr(12), "retry-after", 0, MaxRetryAfterSeconds));
  }
  if (!reader.AtEnd()) reader.Fail("unexpected \"" + std::string(reader.Peek()) + "\"");
  return limit;
}

FaultRule ReadRule(int line, std::string_view text) {
  RuleReader reader(line, SplitWords(text));
  FaultRule rule;
  rule.Line = line;
  rule.Subject = ReadSubject(reader);
  while (reader.Peek().find('=') != std::string_view::npos)
    ReadFilter(reader, reader.Take("filter"), rule);
  ReadSpan(reader, rule);
  rule.Action = ReadAction(reader, rule.Subject);
  if (!reader.AtEnd()) reader.Fail("unexpected \"" + std::string(reader.Peek()) + "\"");
  return rule;
}

}  // namespace

std::string FaultAction::Describe() const {
  std::string text = DelayMs > 0 ? "delay " + std::to_string(DelayMs) + " " : "";
  const std::string bytes = Bytes >= 0 ? " " + std::to_string(Bytes) : "";
  switch (Kind) {
    case FaultKind::Ok:
      return text + "ok";
    case FaultKind::Reset:
      return text + "reset";
    case FaultKind::Close:
      return text + "close";
    case FaultKind::Cut:
      return text + "cut" + bytes;
    case FaultKind::Status:
      return text + "status " + std::to_string(StatusCode) +
             (RetryAfterSeconds ? " retry-after=" + std::to_string(*RetryAfterSeconds) : "");
    case FaultKind::Sorry:
      return text + "sorry";
    case FaultKind::Placeholder:
      return text + "placeholder";
    case FaultKind::Html:
      return text + "html";
    case FaultKind::Empty:
      return text + "empty";
    case FaultKind::Truncate:
      return text + "truncate" + bytes;
    case FaultKind::Corrupt:
      return text + "corrupt";
    case FaultKind::Stall:
      return text + "stall";
    case FaultKind::Chunked:
      return text + "chunked";
    case FaultKind::Http10:
      return text + "http10";
    case FaultKind::NoCoverage:
      return text + "nocoverage";
    case FaultKind::HeadOnly:
      return text + "headonly";
    case FaultKind::Drip:
      return text + "drip " + std::to_string(DripMs);
    case FaultKind::Oversize:
      return text + "oversize" + bytes;
    case FaultKind::Endless:
      return text + "endless";
  }
  return text;
}

bool FaultRule::Matches(const ServiceRequest& request, int attempt) const {
  switch (Span) {
    case AttemptSpan::Every:
      if (attempt % N != 0) return false;
      break;
    case AttemptSpan::First:
      if (attempt > N) return false;
      break;
    case AttemptSpan::From:
      if (attempt < N) return false;
      break;
    case AttemptSpan::Only:
      if (attempt != N) return false;
      break;
  }
  if (Subject == RuleSubject::Any) return true;
  if (!SubjectHolds(Subject, request)) return false;
  const bool filtered = X || Y || Zoom || PanoId || Cell;
  if (!filtered) return true;
  if (!request.Valid()) return false;
  if (X && *X != request.X) return false;
  if (Y && *Y != request.Y) return false;
  if (Zoom && *Zoom != request.Zoom) return false;
  if (PanoId && *PanoId != request.PanoId) return false;
  if (Cell && CellOf(request.Latitude, request.Longitude) != Cell) return false;
  return true;
}

FaultPlan FaultPlan::Parse(std::string_view text) {
  FaultPlan plan;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > MaxPlanLineBytes) {
      throw EPlanError("line " + std::to_string(lineNumber) + ": line too long");
    }
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    if (line.substr(first, 10) == "ratelimit ") {
      if (plan.rateLimit_) {
        throw EPlanError("line " + std::to_string(lineNumber) + ": a second rate limit");
      }
      plan.rateLimit_ = ReadRateLimit(lineNumber, line, plan.rateLimitSubject_);
      continue;
    }
    plan.rules_.push_back(ReadRule(lineNumber, line));
  }
  return plan;
}

FaultPlan FaultPlan::Load(const std::string& path) {
  return Parse(ReadFileBytes(path));
}

FaultAction FaultPlan::RateLimitedAction() const {
  FaultAction action;
  action.Kind = FaultKind::Status;
  action.StatusCode = TooManyRequestsStatus;
  action.Reason = ReasonPhrase(TooManyRequestsStatus);
  if (rateLimit_) action.RetryAfterSeconds = rateLimit_->RetryAfterSeconds;
  return action;
}

bool FaultPlan::RateLimited(const ServiceRequest& request) const {
  return rateLimit_.has_value() && SubjectHolds(rateLimitSubject_, request);
}

FaultAction FaultPlan::Match(const ServiceRequest& request, int attempt) const {
  for (const FaultRule& rule : rules_) {
    if (rule.Matches(request, attempt)) return rule.Action;
  }
  return {};
}

void FaultPlan::SetTileLatency(int ms) {
  if (ms < 0 || ms > MaxPlanDelayMs) {
    throw EPlanError("tile latency outside 0.." + std::to_string(MaxPlanDelayMs) + " ms");
  }
  tileLatencyMs_ = ms;
}

int FaultPlan::LatencyFor(const ServiceRequest& request) const {
  return request.Kind == RequestKind::Tile ? tileLatencyMs_ : 0;
}

}  // namespace korvane::standin

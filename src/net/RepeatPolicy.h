#pragma once

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "net/FailureKind.h"
#include "platform/Clock.h"

namespace korvane {

// A passing failure (a reset connection, ports in use) is worth many attempts, but a bounded
// number: a server that resets every connection must not hold a caller for ever. The tile fetch
// and the lookup give up at this many attempts in all; the re-download repeats a reset request
// this many times after its first one.
inline constexpr int PassingFailureAttempts = 30;

// When a caller writes its line for a failed attempt (the failure's message and the address).
enum class FailureLine {
  Never,
  EveryFailure,  // after every failed attempt, the last one included
  RepeatedOnly,  // after every failed attempt that is repeated, not after the last
  FinalOnly,     // once, after the attempt the caller gives up on
};

// What one caller does about one kind of failed request. GiveUp is the caller's own account of
// how it gives up (the lines it writes, whether its run ends).
template <typename GiveUp>
struct RepeatRule {
  // Attempts in all, on the one counter the caller shares between every kind of failure: the
  // failure of attempt number Tries (or of a later one) is final.
  int Tries = 1;
  Milliseconds Pause{0};  // before the next attempt
  FailureLine Line = FailureLine::Never;
  GiveUp Final{};
  // Zero: the pause is Pause, always. Otherwise the rule backs off: the pause doubles with every
  // attempt (Pause, 2 Pause, 4 Pause, ...) up to LongestPause, and each is cut by up to half at
  // random, so that workers refused together do not all come back together. A wait the reply
  // names (Retry-After) is taken instead, as it is, within Pause .. LongestPause.
  Milliseconds LongestPause{0};
};

// What to do after one failed attempt.
struct RepeatStep {
  bool Repeat = false;
  // Before the repeat: the rule's, or the wait the reply asked for when the rule backs off, so
  // that no caller decides pauses on its own.
  Milliseconds Pause{0};
  bool LineDue = false;  // the caller's failure line goes out for this attempt
};

// The line a caller writes when it gives up: a fixed text, the address followed by a text, or
// the failure's message between two texts; none when Text is null.
struct GiveUpLine {
  const char* Text = nullptr;
  bool AfterAddress = false;
  const char* AfterMessage = nullptr;  // set: Text + the failure's message + AfterMessage

  bool Wanted() const { return Text != nullptr; }
  std::string For(const std::string& address, const std::string& message = "") const {
    if (AfterMessage != nullptr) return Text + message + AfterMessage;
    return AfterAddress ? address + Text : std::string(Text);
  }
};

// The pause of a backing-off rule after failed attempt number attempt; unit (0 <= unit < 1)
// picks the cut within the random half.
inline Milliseconds BackOffPause(Milliseconds first, Milliseconds longest, int attempt,
                                 std::optional<Milliseconds> asked, double unit) {
  if (asked) return std::clamp(*asked, first, longest);
  Milliseconds pause = first;
  for (int i = 1; i < attempt && pause < longest; ++i)
    pause *= 2;
  pause = std::min(pause, longest);
  return pause -
         Milliseconds(static_cast<long long>(static_cast<double>(pause.count()) / 2 * unit));
}

// A random unit for BackOffPause, from the calling thread's own generator.
inline double RandomBackOffUnit() {
  thread_local std::minstd_rand generator{std::random_device{}()};
  return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

// One caller's repeat table: rows naming failure kinds (and, where a status needs its own row,
// reply statuses), and the rule for every failure no row names. A row naming the reply's status
// wins over the row of its kind. A table with a push-back rule takes it for every failure that
// pushes back (FailureKind.h), before any row; a table without one judges those by their kind.
template <typename GiveUp>
class RepeatPolicy {
 public:
  using Rule = RepeatRule<GiveUp>;

  struct Row {
    std::vector<FailureKind> Kinds;
    Rule Does;
    std::vector<int> Statuses = {};
  };

  RepeatPolicy(std::initializer_list<Row> rows, Rule otherwise,
               std::optional<Rule> pushBack = std::nullopt)
      : otherwise_(otherwise), pushBack_(std::move(pushBack)) {
    for (const Row& row : rows) {
      for (FailureKind kind : row.Kinds)
        byKind_.emplace_back(kind, row.Does);
      for (int status : row.Statuses)
        byStatus_.emplace_back(status, row.Does);
    }
  }

  const Rule& RuleFor(FailureKind kind) const { return Find(byKind_, kind); }

  const Rule& RuleFor(const RequestFailure& failure) const {
    if (failure.PushBack && pushBack_) return *pushBack_;
    if (failure.Status != 0) {
      for (const auto& [status, rule] : byStatus_) {
        if (status == failure.Status) return rule;
      }
    }
    return RuleFor(failure.Kind);
  }

  // The step after a failure of attempt number attempt (1 for the first).
  RepeatStep Judge(const RequestFailure& failure, int attempt) const {
    return Judge(failure, attempt, RandomBackOffUnit());
  }
  // The same with the random cut of a backing-off pause given (0 <= unit < 1).
  RepeatStep Judge(const RequestFailure& failure, int attempt, double unit) const {
    const Rule& rule = RuleFor(failure);
    RepeatStep step;
    step.Repeat = attempt < rule.Tries;
    if (step.Repeat) {
      step.Pause =
          rule.LongestPause > Milliseconds{0}
              ? BackOffPause(rule.Pause, rule.LongestPause, attempt, failure.RetryAfter, unit)
              : rule.Pause;
    }
    switch (rule.Line) {
      case FailureLine::Never:
        break;
      case FailureLine::EveryFailure:
        step.LineDue = true;
        break;
      case FailureLine::RepeatedOnly:
        step.LineDue = step.Repeat;
        break;
      case FailureLine::FinalOnly:
        step.LineDue = !step.Repeat;
        break;
    }
    return step;
  }

 private:
  template <typename Key>
  const Rule& Find(const std::vector<std::pair<Key, Rule>>& rows, Key key) const {
    for (const auto& [rowKey, rule] : rows) {
      if (rowKey == key) return rule;
    }
    return otherwise_;
  }

  std::vector<std::pair<FailureKind, Rule>> byKind_;
  std::vector<std::pair<int, Rule>> byStatus_;
  Rule otherwise_;
  std::optional<Rule> pushBack_;
};

}  // namespace korvane

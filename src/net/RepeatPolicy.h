#pragma once

#include <initializer_list>
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
};

// What to do after one failed attempt.
struct RepeatStep {
  bool Repeat = false;
  // Before the repeat. Taken from the rule alone today; a wait that the reply itself asks for
  // would be chosen here, so that no caller decides pauses on its own.
  Milliseconds Pause{0};
  bool LineDue = false;  // the caller's failure line goes out for this attempt
};

// The line a caller writes when it gives up: a fixed text, or the address followed by a text;
// none when Text is null.
struct GiveUpLine {
  const char* Text = nullptr;
  bool AfterAddress = false;

  bool Wanted() const { return Text != nullptr; }
  std::string For(const std::string& address) const {
    return AfterAddress ? address + Text : std::string(Text);
  }
};

// One caller's repeat table: rows naming failure kinds (and, where a status needs its own row,
// reply statuses), and the rule for every failure no row names. A row naming the reply's status
// wins over the row of its kind.
template <typename GiveUp>
class RepeatPolicy {
 public:
  using Rule = RepeatRule<GiveUp>;

  struct Row {
    std::vector<FailureKind> Kinds;
    Rule Does;
    std::vector<int> Statuses = {};
  };

  RepeatPolicy(std::initializer_list<Row> rows, Rule otherwise) : otherwise_(otherwise) {
    for (const Row& row : rows) {
      for (FailureKind kind : row.Kinds)
        byKind_.emplace_back(kind, row.Does);
      for (int status : row.Statuses)
        byStatus_.emplace_back(status, row.Does);
    }
  }

  const Rule& RuleFor(FailureKind kind) const { return Find(byKind_, kind); }

  const Rule& RuleFor(const RequestFailure& failure) const {
    if (failure.Status != 0) {
      for (const auto& [status, rule] : byStatus_) {
        if (status == failure.Status) return rule;
      }
    }
    return RuleFor(failure.Kind);
  }

  // The step after a failure of attempt number attempt (1 for the first).
  RepeatStep Judge(const RequestFailure& failure, int attempt) const {
    const Rule& rule = RuleFor(failure);
    RepeatStep step;
    step.Repeat = attempt < rule.Tries;
    step.Pause = step.Repeat ? rule.Pause : Milliseconds{0};
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
};

}  // namespace korvane

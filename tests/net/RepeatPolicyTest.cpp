#include <gtest/gtest.h>

#include "net/RepeatPolicy.h"

namespace korvane {
namespace {

// A table with one row per line mode, a status row and a rule for the rest.
const RepeatPolicy<int>& Table() {
  static const RepeatPolicy<int> table(
      {
          {{FailureKind::ConnectionReset}, {3, Milliseconds{100}, FailureLine::EveryFailure, 1}},
          {{FailureKind::Forbidden, FailureKind::Redirect},
           {2, Milliseconds{200}, FailureLine::FinalOnly, 2},
           {429}},
          {{FailureKind::NotFound}, {1, Milliseconds{300}, FailureLine::Never, 3}},
      },
      {3, Milliseconds{400}, FailureLine::RepeatedOnly, 4});
  return table;
}

RequestFailure Failure(FailureKind kind, int status = 0) {
  return {kind, "m", status};
}

TEST(RepeatPolicy, EachAttemptIsJudgedByItsRowAndTheSharedCount) {
  struct Case {
    RequestFailure failure;
    int attempt;
    bool repeat;
    long long pauseMs;
    bool line;
  };
  const Case cases[] = {
      {Failure(FailureKind::ConnectionReset), 1, true, 100, true},
      {Failure(FailureKind::ConnectionReset), 3, false, 0, true},
      {Failure(FailureKind::Forbidden), 1, true, 200, false},
      {Failure(FailureKind::Redirect), 2, false, 0, true},
      {Failure(FailureKind::Forbidden), 5, false, 0, true},  // a later attempt is final too
      {Failure(FailureKind::NotFound), 1, false, 0, false},
      {Failure(FailureKind::Other), 2, true, 400, true},
      {Failure(FailureKind::Untexted), 3, false, 0, false},
      {Failure(FailureKind::OtherStatus, 429), 1, true, 200, false},  // its status has a row
      {Failure(FailureKind::OtherStatus, 503), 1, true, 400, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.failure.Kind) << " status "
                                    << c.failure.Status << " attempt " << c.attempt);
    const RepeatStep step = Table().Judge(c.failure, c.attempt);
    EXPECT_EQ(step.Repeat, c.repeat);
    EXPECT_EQ(step.Pause.count(), c.pauseMs);
    EXPECT_EQ(step.LineDue, c.line);
  }
}

TEST(RepeatPolicy, RulesAreFoundByKindAndStatusOrFallToTheRest) {
  EXPECT_EQ(Table().RuleFor(FailureKind::Redirect).Final, 2);
  EXPECT_EQ(Table().RuleFor(FailureKind::BadRequest).Final, 4);
  EXPECT_EQ(Table().RuleFor(Failure(FailureKind::NotFound, 404)).Final, 3);
  EXPECT_EQ(Table().RuleFor(Failure(FailureKind::OtherStatus, 429)).Final, 2);
}

TEST(GiveUpLine, IsATextOrTheAddressFollowedByIt) {
  EXPECT_FALSE(GiveUpLine{}.Wanted());
  EXPECT_EQ((GiveUpLine{"Failed."}).For("http://h/a"), "Failed.");
  EXPECT_EQ((GiveUpLine{":gone", true}).For("http://h/a"), "http://h/a:gone");
}

}  // namespace
}  // namespace korvane

#include <gtest/gtest.h>

#include "net/FailureKind.h"
#include "net/HttpErrors.h"
#include "net/PushBack.h"
#include "net/RepeatPolicy.h"

namespace korvane {
namespace {

TEST(PushBack, RetryAfterIsReadAsSecondsOnly) {
  EXPECT_EQ(ParseRetryAfter("7"), Milliseconds(7000));
  EXPECT_EQ(ParseRetryAfter("0"), Milliseconds(0));
  EXPECT_EQ(ParseRetryAfter("99999999"), Milliseconds(24LL * 60 * 60 * 1000)) << "a day at most";
  for (const char* unread :
       {"", "-1", "1.5", " 3", "Wed, 21 Oct 2015 07:28:00 GMT", "1234567890123"}) {
    EXPECT_FALSE(ParseRetryAfter(unread)) << unread;
  }
}

TEST(PushBack, RefusalAddressesAndHtmlTypes) {
  EXPECT_TRUE(IsRefusalAddress("/sorry/"));
  EXPECT_TRUE(IsRefusalAddress("https://www.example.test/sorry/index?continue=x"));
  EXPECT_TRUE(IsRefusalAddress("https://consent.example.test/ml?continue=x"));
  EXPECT_TRUE(IsRefusalAddress("https://CONSENT.example.test"));
  EXPECT_FALSE(IsRefusalAddress("https://example.test/consent."));
  EXPECT_FALSE(IsRefusalAddress("https://notconsent.example.test/"));
  EXPECT_FALSE(IsRefusalAddress("/sorry"));
  EXPECT_FALSE(IsRefusalAddress(""));

  EXPECT_TRUE(IsHtmlContentType("text/html"));
  EXPECT_TRUE(IsHtmlContentType("Text/HTML; charset=UTF-8"));
  EXPECT_TRUE(IsHtmlContentType(" text/html ;charset=utf-8"));
  EXPECT_FALSE(IsHtmlContentType("image/jpeg"));
  EXPECT_FALSE(IsHtmlContentType("text/htmlx"));
  EXPECT_FALSE(IsHtmlContentType(""));
}

TEST(PushBack, ClassifiedFailuresKeepTheirKindAndAreMarked) {
  struct Case {
    int status;
    const char* location;
    const char* retryAfter;
    bool pushBack;
  };
  const Case cases[] = {
      {429, "", "", true},
      {429, "", "12", true},
      {503, "", "30", true},
      {503, "", "", false},
      {302, "/sorry/index", "", true},
      {302, "https://consent.x.test/", "", true},
      {302, "/elsewhere", "", false},
      {403, "/sorry/", "", false},
      {404, "", "5", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.status << " " << c.location << " " << c.retryAfter);
    const RequestFailure failure = ClassifyFailure(
        std::make_exception_ptr(HttpStatusError(c.status, "text", c.location, c.retryAfter)));
    EXPECT_EQ(failure.PushBack, c.pushBack);
    EXPECT_EQ(failure.RetryAfter.has_value(), *c.retryAfter != '\0');
  }
  EXPECT_EQ(ClassifyFailure(std::make_exception_ptr(HttpStatusError(302, "302", "/sorry/"))).Kind,
            FailureKind::Redirect);
  const RequestFailure page =
      ClassifyFailure(std::make_exception_ptr(HtmlPageError("200 OK", "text/html")));
  EXPECT_TRUE(page.PushBack);
  EXPECT_EQ(page.Kind, FailureKind::Other);
  EXPECT_EQ(page.Message, "200 OK (text/html)");
}

// A table with a push-back rule backing off from 1 s to 8 s.
const RepeatPolicy<int>& BackingOff() {
  static const RepeatPolicy<int> table(
      {{{FailureKind::Forbidden}, {4, Milliseconds{500}, FailureLine::Never, 1}}},
      {3, Milliseconds{500}, FailureLine::Never, 2},
      RepeatRule<int>{10, Milliseconds{1000}, FailureLine::Never, 3, Milliseconds{8000}});
  return table;
}

RequestFailure PushedBack(std::optional<Milliseconds> retryAfter = std::nullopt) {
  RequestFailure failure;
  failure.Kind = FailureKind::OtherStatus;
  failure.Status = 429;
  failure.PushBack = true;
  failure.RetryAfter = retryAfter;
  return failure;
}

TEST(PushBack, PausesDoubleUpToTheLongestWithinTheRandomHalf) {
  const long long full[] = {1000, 2000, 4000, 8000, 8000, 8000};
  for (int attempt = 1; attempt <= 6; ++attempt) {
    SCOPED_TRACE(attempt);
    const long long longest = full[attempt - 1];
    EXPECT_EQ(BackingOff().Judge(PushedBack(), attempt, 0.0).Pause.count(), longest);
    EXPECT_EQ(BackingOff().Judge(PushedBack(), attempt, 0.999).Pause.count(),
              longest - longest / 2 * 999 / 1000);
    const long long random = BackingOff().Judge(PushedBack(), attempt).Pause.count();
    EXPECT_GE(random, longest / 2);
    EXPECT_LE(random, longest);
  }
  EXPECT_FALSE(BackingOff().Judge(PushedBack(), 10).Repeat);
  EXPECT_EQ(BackingOff().RuleFor(PushedBack()).Final, 3);
}

TEST(PushBack, ANamedWaitIsTakenWithinTheBounds) {
  EXPECT_EQ(BackingOff().Judge(PushedBack(Milliseconds(3000)), 1, 0.5).Pause.count(), 3000);
  EXPECT_EQ(BackingOff().Judge(PushedBack(Milliseconds(0)), 1, 0.5).Pause.count(), 1000);
  EXPECT_EQ(BackingOff().Judge(PushedBack(Milliseconds(90'000)), 1, 0.5).Pause.count(), 8000);
}

TEST(PushBack, WithoutAPushBackRuleTheKindDecides) {
  static const RepeatPolicy<int> plain(
      {{{FailureKind::OtherStatus}, {3, Milliseconds{500}, FailureLine::Never, 7}}},
      {3, Milliseconds{500}, FailureLine::Never, 2});
  EXPECT_EQ(plain.RuleFor(PushedBack()).Final, 7);
  EXPECT_EQ(plain.Judge(PushedBack(Milliseconds(9000)), 1).Pause.count(), 500);
}

TEST(GiveUpLine, TheMessageBetweenTwoTexts) {
  EXPECT_EQ((GiveUpLine{"Refused (", false, ")."}).For("http://h/a", "429 Too Many Requests"),
            "Refused (429 Too Many Requests).");
}

}  // namespace
}  // namespace korvane

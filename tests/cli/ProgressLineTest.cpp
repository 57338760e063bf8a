#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "cli/ProgressLine.h"

namespace korvane {
namespace {

using namespace std::chrono_literals;

TEST(ProgressText, CountsSpeedAndTimeLeft) {
  EXPECT_EQ(ProgressText({120, 512, 3}, 14.0), "tiles 120/512  failed 3  14.0 tiles/s  0:28 left");
  EXPECT_EQ(ProgressText({0, 100000, 0}, 10.0),
            "tiles 0/100000  failed 0  10.0 tiles/s  2:46:40 left");
  EXPECT_EQ(ProgressText({512, 512, 7}, 3.0), "tiles 512/512  failed 7  3.0 tiles/s  0:00 left");
  // No speed yet, or a stall: nothing made up.
  EXPECT_EQ(ProgressText({5, 10, 0}, std::nullopt), "tiles 5/10  failed 0  -- tiles/s  -- left");
  EXPECT_EQ(ProgressText({5, 10, 0}, 0.0), "tiles 5/10  failed 0  0.0 tiles/s  -- left");
}

// A pseudo-terminal: the line is written to its terminal side, read back from the other.
class PseudoTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(openpty(&controller, &terminal, nullptr, nullptr, nullptr), 0);
    termios modes{};
    ASSERT_EQ(tcgetattr(terminal, &modes), 0);
    cfmakeraw(&modes);  // bytes as written, no "\n" to "\r\n"
    ASSERT_EQ(tcsetattr(terminal, TCSANOW, &modes), 0);
  }
  void TearDown() override {
    close(controller);
    close(terminal);
  }

  // Everything written so far.
  std::string Screen() {
    std::string bytes;
    char buffer[512];
    pollfd ready{controller, POLLIN, 0};
    while (poll(&ready, 1, 100) == 1 && (ready.revents & POLLIN) != 0) {
      ssize_t count = read(controller, buffer, sizeof buffer);
      if (count <= 0) break;
      bytes.append(buffer, static_cast<size_t>(count));
    }
    return bytes;
  }

  int controller = -1;
  int terminal = -1;
};

TEST_F(PseudoTerminal, TheLineIsRedrawnInPlaceAndClearedForAMessage) {
  EXPECT_TRUE(ProgressLine::WantedOn(terminal, false));
  EXPECT_FALSE(ProgressLine::WantedOn(terminal, true));

  ProgressLine line(terminal);
  const auto start = std::chrono::steady_clock::time_point{} + 1h;
  line.Show({200, 1000, 0}, start);  // a continued task: 200 came from an earlier run
  EXPECT_EQ(Screen(), "\rtiles 200/1000  failed 0  -- tiles/s  -- left\x1b[K");
  line.Show({240, 1000, 2}, start + 4s);
  EXPECT_EQ(Screen(), "\rtiles 240/1000  failed 2  10.0 tiles/s  1:16 left\x1b[K");

  line.Clear();
  EXPECT_EQ(Screen(), "\r\x1b[K");
  line.Clear();  // nothing drawn: nothing to erase
  line.Show({1000, 1000, 2}, start + 80s);
  line.Finish();
  EXPECT_EQ(Screen(), "\rtiles 1000/1000  failed 2  10.0 tiles/s  0:00 left\x1b[K\n");
}

TEST(ProgressLine, NotWantedWhereStderrIsNoTerminal) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  EXPECT_FALSE(ProgressLine::WantedOn(pipeEnds[1], false));
  close(pipeEnds[0]);
  close(pipeEnds[1]);
}

}  // namespace
}  // namespace korvane

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "platform/PathLock.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

using State = PathLock::State;

TEST(PathLock, OneHolderAtATimeWithinTheProcess) {
  test::TempFolder folder;
  const std::string tiles = folder.Path() + "task";
  ASSERT_TRUE(CreateDir(tiles));
  PathLock first(tiles);
  EXPECT_EQ(first.GetState(), State::Held);
  EXPECT_EQ(PathLock(tiles).GetState(), State::Busy) << "a second window of the same program";

  PathLock moved = std::move(first);
  EXPECT_TRUE(moved.Held());
  EXPECT_EQ(PathLock(tiles).GetState(), State::Busy);
  moved.Release();
  EXPECT_TRUE(PathLock(tiles).Held());

  EXPECT_EQ(PathLock(folder.Path() + "none").GetState(), State::Unavailable);
  WriteFileBytes(folder.Path() + "read-only", "");
  EXPECT_TRUE(PathLock(folder.Path() + "read-only").Held()) << "files lock as folders do";
}

TEST(PathLock, AnotherProcessIsKeptOutAndAKilledHolderLetsGo) {
  test::TempFolder folder;
  const std::string tiles = folder.Path() + "task";
  ASSERT_TRUE(CreateDir(tiles));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  if (holder == 0) {
    PathLock lock(tiles);
    const char state = lock.Held() ? 'H' : 'x';
    [[maybe_unused]] const ssize_t told = ::write(ready[1], &state, 1);
    ::pause();  // until killed
    ::_exit(0);
  }
  ::close(ready[1]);
  char state = 0;
  ASSERT_EQ(::read(ready[0], &state, 1), 1);
  ::close(ready[0]);
  EXPECT_EQ(state, 'H');
  EXPECT_EQ(PathLock(tiles).GetState(), State::Busy);

  ::kill(holder, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(holder, &status, 0), holder);
  EXPECT_TRUE(PathLock(tiles).Held()) << "the kernel dropped the dead run's lock";
}

}  // namespace
}  // namespace korvane

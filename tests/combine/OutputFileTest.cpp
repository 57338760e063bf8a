#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "combine/OutputFile.h"
#include "platform/FileSystem.h"
#include "support/SystemCallSpy.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

// The picture reaches the disk before it takes the destination's name, and the name reaches it
// right after: with or without replacing.
TEST(OutputFile, ThePictureIsFlushedBeforeItsRenameAndTheFolderAfter) {
  for (bool replace : {true, false}) {
    SCOPED_TRACE(replace);
    test::TempFolder folder;
    const std::string path = folder.Path() + "pano.jpg";
    std::vector<std::string> calls;
    {
      test::SystemCallSpy spy;
      OutputFile output(path, replace);
      ASSERT_EQ(::write(output.Descriptor(), "jpeg", 4), 4);
      output.Commit();
      calls = spy.Calls();
    }
    EXPECT_EQ(ReadFileBytes(path), "jpeg");
    ASSERT_GE(calls.size(), 2u) << ::testing::PrintToString(calls);
    EXPECT_EQ(calls.front().rfind("fsync " + folder.Path() + ".pano.jpg.", 0), 0u)
        << ::testing::PrintToString(calls);
    EXPECT_EQ(calls.back(), "fsync " + folder.Path().substr(0, folder.Path().size() - 1));
    if (replace) {
      ASSERT_EQ(calls.size(), 3u) << ::testing::PrintToString(calls);
      EXPECT_EQ(calls[1].rfind("rename " + folder.Path() + ".pano.jpg.", 0), 0u);
    }
  }
}

}  // namespace
}  // namespace korvane

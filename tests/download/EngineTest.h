#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/RecordingClock.h"
#include "support/RefusingPort.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "task/DownloadTask.h"
#include "task/TaskParameters.h"

namespace korvane::test {

// The ground of every engine test: a recording clock (no real waits), a temporary program
// folder with the substitute image, a stand-in service with a fault plan that the program's
// configuration points at, and a task in a temporary save folder.
class EngineTest : public ::testing::Test {
 protected:
  // Starts the service with the plan and builds a task of the zoom level on it.
  void StartTask(const std::string& plan, int zoom = 2, int threadCount = 8);
  // Builds the task on a configuration of the test's choosing (no service started).
  void StartTaskWithConfig(const std::string& config, int zoom = 2, int threadCount = 8);

  std::string BlankImage() const;
  // The tile as the healthy service serves it, fetched with a client of the test's own.
  std::string ServedTile(int x, int y) const;
  std::string TilePath(int x, int y) const { return task->GetTileFilePath(x, y); }
  std::string TileUrl(int x, int y) const { return task->GetTileUrl(x, y); }
  // The files in the tile folder, sorted.
  std::vector<std::string> TileFolderFiles() const;
  // A config.ini "[Service]" section whose four servers are a loopback port that refuses
  // every connection while the test runs.
  std::string DeadServiceConfig() const;

  RecordingClock clock;
  TempProgramFolder program;
  TempFolder saveFolder;
  std::unique_ptr<StandinFixture> standin;
  TaskParameters params;
  std::unique_ptr<DownloadTask> task;
  RefusingPort refusingPort;
};

}  // namespace korvane::test

#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "lookup/StartLookup.h"
#include "net/ServiceAddresses.h"
#include "session/SessionHost.h"
#include "session/StartRequest.h"
#include "task/DownloadTask.h"
#include "task/TaskParameters.h"

namespace korvane {

// The steps of Start that need neither the network nor the workers, in their order: check the
// input, (look up), build the parameters, create the task. Each either gives its result or has
// already told the host why not, with the texts of the program's message boxes.

// The typed inputs converted, and the protocol they are to be looked up with.
struct CheckedStart {
  int Zoom = 0;
  double Longitude = 0;
  double Latitude = 0;
  PanoramaProtocol Protocol = PanoramaProtocol::Current;
  // The request's id and month, for the lookup.
  LookupWish Wish{};
};

// The zoom level, then the coordinates and their ranges (longitude first), then the protocol's
// name. Nothing when one is refused, after its message. A zoom text that is no whole number
// raises EConvertError, as the box's conversion always has.
std::optional<CheckedStart> CheckStartInput(const StartRequest& request, SessionHost& host);

// The save folder (made when missing), the resume test and the task's parameters from the
// typed inputs, the lookup's answer and the request's proxy. Nothing when there is no folder to
// save into, after its message.
std::shared_ptr<TaskParameters> BuildTaskParameters(const StartRequest& request,
                                                    const CheckedStart& checked,
                                                    const StartLookupResult& found,
                                                    SessionHost& host);

// Writes the record of the task's panorama (params.Record) beside its task file: at every
// start, a continued task's too, so it tells what the last lookup found. A record that cannot
// be written is told to addLogLine and the task goes on: the tiles do not need it.
void WriteTaskRecord(const DownloadTask& task, const TaskParameters& params,
                     const std::function<void(const std::string&)>& addLogLine);

// The task object of params. Nothing when it cannot be made, after CreateTaskFailureMessage: a
// tile folder that cannot be made shows its own message first; any other reason, which the
// message does not name, goes to addLogLine right after it.
std::unique_ptr<DownloadTask> CreateTask(TaskParameters& params, SessionHost& host,
                                         const std::function<void(const std::string&)>& addLogLine);

}  // namespace korvane

#include "mosaicker/MosaickerCommand.h"

#include <ostream>

#include "platform/NumberFormat.h"
#include "views/ViewArguments.h"

namespace korvane {
namespace {

using Action = MosaickerArguments::Action;

MosaickerArguments Invalid(std::string problem) {
  MosaickerArguments arguments;
  arguments.Problem = std::move(problem);
  return arguments;
}

}  // namespace

std::string MosaickerUsage() {
  return "usage: mosaicker [--out FILE.jpg] [--quality 1..100] [--force] TASK.krvn\n"
         "       mosaicker --view H,P,FOV | --views N | --cube [--size WxH] [--out FILE.jpg]\n"
         "                 [--quality 1..100] [--force] TASK.krvn|PANORAMA.jpg\n"
         "       mosaicker [--window [TASK.krvn]]\n"
         "       mosaicker --help | --version\n"
         "Joins the tiles of a download task into one 360-degree panorama JPEG.\n"
         "  --out FILE.jpg     where the picture goes (default: beside the task file, TASK.jpg)\n"
         "  --quality N        JPEG quality from 1 to 100 (default " +
         IntToStr(DefaultCombineQuality) +
         ")\n"
         "  --force            replace FILE.jpg when it exists\n"
         "  --view H,P,FOV     one ordinary picture looking at heading H (compass degrees when\n"
         "                     the panorama's heading is known, else from its middle), pitch P\n"
         "                     (up positive) with a field of view of FOV degrees across (10-120)\n"
         "  --views N          N pictures evenly round the horizon (BASE_view_HEADING.jpg)\n"
         "  --cube             the six 90-degree faces of a cube (BASE_front, _right, _back,\n"
         "                     _left, _up, _down; front faces north when known)\n"
         "  --size WxH         the pictures' size (default 1024x768, cube faces 1024x1024); cut\n"
         "                     to what the panorama holds, with a warning\n"
         "  --window [TASK]    open the window, with TASK chosen when given (also with no\n"
         "                     argument at all)\n"
         "Exit status: 0 complete, 1 error, 2 bad command line, 3 incomplete (missing tiles\n"
         "are grey and listed on stderr).\n";
}

MosaickerArguments ParseMosaickerArguments(const std::vector<std::string>& args) {
  MosaickerArguments arguments;
  arguments.What = Action::Combine;
  if (args.empty()) {
    arguments.What = Action::Window;
    return arguments;
  }
  bool window = false;
  bool stitchOptions = false;
  std::optional<ViewAnglesArgument> view;
  std::optional<int> viewCount;
  bool cube = false;
  std::optional<ViewSize> size;
  std::vector<std::string> tasks;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    // The option's value: the next argument, or null when there is none.
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    if (arg == "--help" || arg == "-h") {
      arguments.What = Action::Help;
      return arguments;
    } else if (arg == "--version") {
      arguments.What = Action::Version;
      return arguments;
    } else if (arg == "--window") {
      window = true;
    } else if (arg == "--force") {
      arguments.Force = true;
      stitchOptions = true;
    } else if (arg == "--out") {
      const std::string* path = value();
      if (!path || path->empty()) return Invalid("--out needs a file name.");
      arguments.OutputPath = *path;
      stitchOptions = true;
    } else if (arg == "--quality") {
      const std::string* text = value();
      const int quality = text ? StrToIntDef(*text, 0) : 0;
      if (quality < MinCombineQuality || quality > MaxCombineQuality) {
        return Invalid("--quality needs a number from 1 to 100.");
      }
      arguments.Quality = quality;
      stitchOptions = true;
    } else if (arg == "--view") {
      const std::string* text = value();
      view = text ? ParseViewAnglesArgument(*text) : std::nullopt;
      if (!view) return Invalid(ViewAnglesProblem());
    } else if (arg == "--views") {
      const std::string* text = value();
      viewCount = text ? ParseViewCountArgument(*text) : std::nullopt;
      if (!viewCount) return Invalid(ViewCountProblem());
    } else if (arg == "--cube") {
      cube = true;
    } else if (arg == "--size") {
      const std::string* text = value();
      size = text ? ParseViewSizeArgument(*text) : std::nullopt;
      if (!size) return Invalid(ViewSizeProblem());
    } else if (arg.size() > 1 && arg[0] == '-') {
      return Invalid("Unknown option " + arg + ".");
    } else {
      tasks.push_back(arg);
    }
  }
  if (tasks.size() > 1) return Invalid("Give one task file, not " + IntToStr(tasks.size()) + ".");
  const int viewModes = (view ? 1 : 0) + (viewCount ? 1 : 0) + (cube ? 1 : 0);
  if (viewModes > 1) return Invalid("Give one of --view, --views and --cube.");
  if (size && viewModes == 0) return Invalid("--size goes with --view, --views or --cube.");
  if (viewModes == 1) {
    if (window) return Invalid("--window takes no other option than a task file.");
    if (tasks.empty()) return Invalid("No task file or panorama given.");
    if (cube && size && size->Width != size->Height)
      return Invalid("Cube faces are square: give --size with equal sides.");
    arguments.What = Action::Views;
    ViewJob& job = arguments.Views;
    job.Input = tasks.front();
    job.OutputPath = arguments.OutputPath;
    job.Quality = arguments.Quality;
    job.Replace = arguments.Force;
    const ViewSize frame = size.value_or(ViewSize{DefaultViewWidth, DefaultViewHeight});
    if (view) {
      job.Views = {
          OneView(view->Heading, view->Pitch, view->FieldOfView, frame.Width, frame.Height)};
    } else if (viewCount) {
      job.Views = ViewsAround(*viewCount, frame.Width, frame.Height);
    } else {
      job.Views = CubeFaces(size ? size->Width : DefaultCubeSide);
    }
    arguments.TaskFile = job.Input;
    return arguments;
  }
  if (window) {
    if (stitchOptions) return Invalid("--window takes no other option than a task file.");
    arguments.What = Action::Window;
  } else if (tasks.empty()) {
    return Invalid("No task file given.");
  }
  if (!tasks.empty()) arguments.TaskFile = tasks.front();
  return arguments;
}

ExitStatus RunMosaickerViews(const MosaickerArguments& arguments, std::ostream& out,
                             std::ostream& err) {
  return MakeViews(arguments.Views, out, err);
}

ExitStatus RunMosaickerCombine(const MosaickerArguments& arguments, std::ostream& out,
                               std::ostream& err) {
  const CombineOutcome outcome =
      CombineTask(arguments.TaskFile, arguments.OutputPath, arguments.Quality, arguments.Force);
  if (outcome.Status == ExitStatus::Error) {
    err << outcome.Message << '\n';
    return outcome.Status;
  }
  if (outcome.Status == ExitStatus::Incomplete) {
    err << outcome.Message << '\n';
    for (const std::string& tile : outcome.Report.MissingTiles)
      err << tile << '\n';
  }
  out << outcome.Report.OutputPath << '\n';
  return outcome.Status;
}

}  // namespace korvane

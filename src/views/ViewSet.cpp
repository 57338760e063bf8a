#include "views/ViewSet.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <ostream>

#include "platform/Exception.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "views/ViewGeometry.h"
#include "views/ViewPicture.h"
#include "views/ViewSource.h"

namespace korvane {
namespace {

constexpr double CubeFieldOfView = 90.0;

std::string SizeText(int width, int height) {
  return IntToStr(width) + " x " + IntToStr(height);
}

std::string DegreesText(double degrees) {
  return FloatToStr(std::round(degrees * 10) / 10, '.');
}

}  // namespace

std::string ViewSuffix(double heading) {
  return "_view_" + DegreesText(heading);
}

ViewOrder OneView(double heading, double pitch, double fieldOfView, int width, int height) {
  // Headings as a compass gives them, 0 to 360, in the file's name and its metadata alike.
  heading = std::fmod(heading, 360.0);
  if (heading < 0) heading += 360.0;
  if (heading >= 359.95) heading = 0.0;  // what the name would round to 360
  return {heading, pitch, fieldOfView, width, height, ViewSuffix(heading)};
}

std::vector<ViewOrder> ViewsAround(int count, int width, int height) {
  std::vector<ViewOrder> views;
  const double step = 360.0 / std::max(count, 1);
  const double fieldOfView = std::clamp(step, MinViewFieldOfView, MaxViewFieldOfView);
  for (int k = 0; k < count; ++k)
    views.push_back(OneView(k * step, 0.0, fieldOfView, width, height));
  return views;
}

std::vector<ViewOrder> CubeFaces(int side) {
  auto face = [side](double heading, double pitch, const char* name) {
    return ViewOrder{heading, pitch, CubeFieldOfView, side, side, name};
  };
  return {face(0, 0, "_front"),  face(90, 0, "_right"), face(180, 0, "_back"),
          face(270, 0, "_left"), face(0, 90, "_up"),    face(0, -90, "_down")};
}

std::vector<std::string> ViewPaths(const ViewJob& job) {
  std::vector<std::string> paths;
  if (job.Views.size() == 1 && !job.OutputPath.empty()) return {job.OutputPath};
  const std::string base =
      job.OutputPath.empty() ? RemoveFileExt(job.Input) : RemoveFileExt(job.OutputPath);
  for (const ViewOrder& view : job.Views)
    paths.push_back(base + view.Suffix + ".jpg");
  return paths;
}

ExitStatus MakeViews(const ViewJob& job, std::ostream& out, std::ostream& err,
                     const std::string& linePrefix) {
  const std::vector<std::string> paths = ViewPaths(job);
  int missing = 0, read = 0;
  try {
    const ViewSource source = OpenViewSource(job.Input);
    if (!source.MiddleHeading)
      err << "The panorama's heading is not known: headings are counted from the middle of the "
             "picture, not from north.\n";
    for (std::size_t i = 0; i < job.Views.size(); ++i) {
      const ViewOrder& order = job.Views[i];
      const ViewSize asked{order.Width, order.Height};
      ViewSize size = HonestViewSize(asked, order.FieldOfView, source.Placement.FullWidth);
      size.Width = std::max(size.Width, MinViewSide);
      size.Height = std::max(size.Height, MinViewSide);
      if (size.Width < asked.Width) {
        err << (source.Task ? "The task's zoom level " + IntToStr(source.Task->Zoom) + " is"
                            : std::string("The panorama is"))
            << " too low for " << SizeText(asked.Width, asked.Height) << " at "
            << DegreesText(order.FieldOfView) << " degrees: " << paths[i] << " is made "
            << SizeText(size.Width, size.Height) << ".\n";
      }
      const viewer::ViewAngles angles{PanoramaAngle(source, order.Heading), order.Pitch,
                                      order.FieldOfView};
      const MadeView view = RenderView(source, angles, size.Width, size.Height);
      missing += view.MissingTiles;
      read += view.TilesRead;
      WriteViewPicture(paths[i], view.Pixels,
                       ViewMetadata(source, {order.Heading, source.MiddleHeading.has_value(),
                                             order.Pitch, order.FieldOfView}),
                       job.Quality, job.Replace);
      out << linePrefix << paths[i] << '\n';
    }
  } catch (const Exception& error) {
    err << error.Message() << '\n';
    return ExitStatus::Error;
  } catch (const std::bad_alloc&) {
    err << "Out of memory.\n";
    return ExitStatus::Error;
  }
  if (missing == 0) return ExitStatus::Complete;
  err << "Incomplete: " << missing << " of " << read
      << " tiles the views needed are missing, filled with grey.\n";
  return ExitStatus::Incomplete;
}

}  // namespace korvane

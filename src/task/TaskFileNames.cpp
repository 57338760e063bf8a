#include "task/TaskFileNames.h"

#include <charconv>

#include "platform/Paths.h"

namespace korvane {
namespace {

constexpr std::string_view TilePrefix = "gv_";
constexpr std::string_view TileExtension = ".jpg";
constexpr std::string_view LogSuffix = "_log.txt";
constexpr std::string_view FailedListSuffix = "_failed.ftl";

// A number of 0 and up followed by `end`, taken off the front of text.
bool TakeNumber(std::string_view& text, int& value, char end) {
  const auto [next, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || next == text.data() || value < 0) return false;
  text.remove_prefix(static_cast<std::size_t>(next - text.data()));
  if (text.empty() || text.front() != end) return false;
  text.remove_prefix(1);
  return true;
}

}  // namespace

TaskFileNames TaskFileNamesOf(const std::string& taskFilePath) {
  const std::string base = RemoveFileExt(taskFilePath);
  return {taskFilePath, base + PathDelim, base + std::string(LogSuffix),
          base + std::string(FailedListSuffix)};
}

std::optional<std::string> TaskFileOfFailedList(const std::string& listPath) {
  const std::string name = ExtractFileName(listPath);
  if (name.size() <= FailedListSuffix.size() || !name.ends_with(FailedListSuffix))
    return std::nullopt;
  return listPath.substr(0, listPath.size() - FailedListSuffix.size()) + TaskFileExtension;
}

std::string TileFileName(int x, int y, int zoom) {
  return std::string(TilePrefix) + std::to_string(x) + "_" + std::to_string(y) + "_" +
         std::to_string(zoom) + std::string(TileExtension);
}

std::optional<TileFileId> ParseTileFileName(std::string_view name) {
  if (!name.starts_with(TilePrefix) || !name.ends_with(TileExtension)) return std::nullopt;
  name.remove_prefix(TilePrefix.size());
  name.remove_suffix(TileExtension.size() - 1);  // keep the dot as the zoom's end
  TileFileId tile;
  if (!TakeNumber(name, tile.X, '_') || !TakeNumber(name, tile.Y, '_') ||
      !TakeNumber(name, tile.Zoom, '.') || !name.empty())
    return std::nullopt;
  return tile;
}

}  // namespace korvane

#include "download/Placeholder.h"

#include "download/JpegCheck.h"

namespace korvane {

bool IsPlaceholderAnswer(std::string_view answer) {
  return answer.size() <= PlaceholderLargestBytes && JpegIsUniformBlack(answer);
}

}  // namespace korvane

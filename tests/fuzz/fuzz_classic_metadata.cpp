// The classic service's metadata answer: the panorama id cut from its first line, and the
// record read from its XML.
#include <cstdlib>

#include "FuzzTarget.h"
#include "lookup/ClassicLookup.h"
#include "lookup/ClassicLookupRecord.h"
#include "task/PanoramaRecordFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string_view text = fuzz::AsText(data, size);
  const std::string id = PanoIdFromAnswer(std::string(text));
  if (id.size() > 22) std::abort();
  // Whatever the XML holds, the record keeps only what passes its checks.
  const PanoramaRecord record = RecordFromMetadataXml(text);
  if (CheckedPanoramaRecord(record) != record) std::abort();
  return 0;
}

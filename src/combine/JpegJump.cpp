#include "combine/JpegJump.h"

namespace korvane {
namespace {

// C linkage ignores namespaces, so the names carry the library's prefix to stay apart from
// the download's JPEG check.

extern "C" void StitchJpegJumpOnError(j_common_ptr info) {
  auto* jump = reinterpret_cast<JpegJump*>(info->err);
  (*info->err->format_message)(info, jump->message);
  std::longjmp(jump->jump, 1);
}

extern "C" void StitchJpegJumpOnWarning(j_common_ptr info, int level) {
  if (level < 0) StitchJpegJumpOnError(info);
}

extern "C" void StitchJpegIgnoreWarning(j_common_ptr, int) {}

extern "C" void StitchJpegIgnoreMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InstallJpegJump(JpegJump& jump, bool warningsFail) {
  jpeg_error_mgr* manager = jpeg_std_error(&jump.base);
  manager->error_exit = StitchJpegJumpOnError;
  manager->emit_message = warningsFail ? StitchJpegJumpOnWarning : StitchJpegIgnoreWarning;
  manager->output_message = StitchJpegIgnoreMessage;
  jump.message[0] = '\0';
  return manager;
}

}  // namespace korvane

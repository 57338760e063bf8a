#include "jpeg/JpegJump.h"

namespace korvane {
namespace {

// C linkage ignores namespaces, so the names carry the project's prefix.

extern "C" void KorvaneJpegJumpOnError(j_common_ptr info) {
  auto* jump = reinterpret_cast<JpegJump*>(info->err);
  (*info->err->format_message)(info, jump->message);
  std::longjmp(jump->jump, 1);
}

// Levels 0 and up are trace messages, which are never shown.
extern "C" void KorvaneJpegJumpOnWarning(j_common_ptr info, int level) {
  if (level < 0) KorvaneJpegJumpOnError(info);
}

extern "C" void KorvaneJpegIgnoreWarning(j_common_ptr, int) {}

extern "C" void KorvaneJpegIgnoreMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InstallJpegJump(JpegJump& jump, bool warningsFail) {
  jpeg_error_mgr* manager = jpeg_std_error(&jump.base);
  manager->error_exit = KorvaneJpegJumpOnError;
  manager->emit_message = warningsFail ? KorvaneJpegJumpOnWarning : KorvaneJpegIgnoreWarning;
  manager->output_message = KorvaneJpegIgnoreMessage;
  jump.message[0] = '\0';
  return manager;
}

}  // namespace korvane

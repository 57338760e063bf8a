#include "stitch/JpegJump.h"

namespace korvane {
namespace {

extern "C" void JumpOnError(j_common_ptr info) {
  auto* jump = reinterpret_cast<JpegJump*>(info->err);
  (*info->err->format_message)(info, jump->message);
  std::longjmp(jump->jump, 1);
}

extern "C" void JumpOnWarning(j_common_ptr info, int level) {
  if (level < 0) JumpOnError(info);
}

extern "C" void IgnoreWarning(j_common_ptr, int) {}

extern "C" void IgnoreMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InstallJpegJump(JpegJump& jump, bool warningsFail) {
  jpeg_error_mgr* manager = jpeg_std_error(&jump.base);
  manager->error_exit = JumpOnError;
  manager->emit_message = warningsFail ? JumpOnWarning : IgnoreWarning;
  manager->output_message = IgnoreMessage;
  jump.message[0] = '\0';
  return manager;
}

}  // namespace korvane

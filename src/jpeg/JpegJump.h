#pragma once

// jpeglib.h needs the declarations of <cstdio> and <cstddef> (FILE, size_t) before it.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>
#include <string>

namespace korvane {

// libjpeg reports errors through error_exit, which must not return, and unwinding a C++
// exception through the C library is not safe. So every call into libjpeg goes through a small
// function that sets a jump point first and holds only plain C data in its frame; the error
// handler jumps back there with the message kept, and the C++ caller raises the exception (or
// answers false). jpeg_destroy_* then releases everything the library allocated (its memory
// pools), so no path leaks.
struct JpegJump {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

// Installs the jumping handlers on the error manager; libjpeg's own messages are never printed.
// With warningsFail, a corrupt-data warning (libjpeg's level -1: a truncated file, a damaged
// scan, which it otherwise papers over) jumps as an error does, since the picture is not whole.
jpeg_error_mgr* InstallJpegJump(JpegJump& jump, bool warningsFail);

}  // namespace korvane

#include "combine/JpegStreamWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "jpeg/JpegJump.h"
#include "platform/Exception.h"

namespace korvane {
namespace {

constexpr std::size_t OutputBufferBytes = 256 * 1024;

// A destination that writes to a file descriptor and keeps the system's reason for a failed
// write (libjpeg's own stdio destination only says "write error").
struct FdDestination {
  jpeg_destination_mgr base;
  int fd;
  int writeErrno;
  std::vector<JOCTET>* buffer;
};

bool WriteAll(FdDestination* destination, const JOCTET* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(destination->fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      destination->writeErrno = written < 0 ? errno : ENOSPC;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

extern "C" void CombineJpegInitDestination(j_compress_ptr info) {
  auto* destination = reinterpret_cast<FdDestination*>(info->dest);
  destination->base.next_output_byte = destination->buffer->data();
  destination->base.free_in_buffer = destination->buffer->size();
}

extern "C" boolean CombineJpegEmptyOutputBuffer(j_compress_ptr info) {
  auto* destination = reinterpret_cast<FdDestination*>(info->dest);
  if (!WriteAll(destination, destination->buffer->data(), destination->buffer->size())) {
    ERREXIT(info, JERR_FILE_WRITE);
  }
  CombineJpegInitDestination(info);
  return TRUE;
}

extern "C" void CombineJpegTermDestination(j_compress_ptr info) {
  auto* destination = reinterpret_cast<FdDestination*>(info->dest);
  const std::size_t used = destination->buffer->size() - destination->base.free_in_buffer;
  if (!WriteAll(destination, destination->buffer->data(), used)) ERREXIT(info, JERR_FILE_WRITE);
}

bool StartEncoding(jpeg_compress_struct* info, JpegJump* jump,
                   const std::vector<std::string>* segments) {
  if (setjmp(jump->jump) != 0) return false;
  jpeg_start_compress(info, TRUE);
  for (const std::string& segment : *segments) {
    jpeg_write_marker(info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(segment.data()),
                      static_cast<unsigned int>(segment.size()));
  }
  return true;
}

bool EncodeLines(jpeg_compress_struct* info, JpegJump* jump, const std::uint8_t* rows,
                 std::size_t stride, int count) {
  if (setjmp(jump->jump) != 0) return false;
  for (int i = 0; i < count; ++i) {
    // libjpeg's row type is not const, but the encoder only reads the rows.
    JSAMPROW row = const_cast<std::uint8_t*>(rows + static_cast<std::size_t>(i) * stride);
    jpeg_write_scanlines(info, &row, 1);
  }
  return true;
}

bool FinishEncoding(jpeg_compress_struct* info, JpegJump* jump) {
  if (setjmp(jump->jump) != 0) return false;
  jpeg_finish_compress(info);
  return true;
}

}  // namespace

struct JpegStreamWriter::State {
  jpeg_compress_struct info;
  JpegJump jump;
  FdDestination destination;
  std::vector<JOCTET> buffer = std::vector<JOCTET>(OutputBufferBytes);
  bool created = false;

  ~State() {
    if (created) jpeg_destroy_compress(&info);
  }
};

JpegStreamWriter::JpegStreamWriter(int fd, std::string name, int width, int height, int quality,
                                   const std::vector<std::string>& app1Segments)
    : name_(std::move(name)), state_(std::make_unique<State>()) {
  jpeg_compress_struct& info = state_->info;
  info.err = InstallJpegJump(state_->jump, false);
  jpeg_create_compress(&info);
  state_->created = true;
  state_->destination = FdDestination{{}, fd, 0, &state_->buffer};
  state_->destination.base.init_destination = CombineJpegInitDestination;
  state_->destination.base.empty_output_buffer = CombineJpegEmptyOutputBuffer;
  state_->destination.base.term_destination = CombineJpegTermDestination;
  info.dest = &state_->destination.base;
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (!StartEncoding(&info, &state_->jump, &app1Segments)) RaiseWriteError();
}

JpegStreamWriter::~JpegStreamWriter() = default;

void JpegStreamWriter::WriteLines(const std::uint8_t* rows, std::size_t stride, int count) {
  if (!EncodeLines(&state_->info, &state_->jump, rows, stride, count)) RaiseWriteError();
}

void JpegStreamWriter::Finish() {
  if (!FinishEncoding(&state_->info, &state_->jump)) RaiseWriteError();
}

void JpegStreamWriter::RaiseWriteError() const {
  const int error = state_->destination.writeErrno;
  const std::string reason = error != 0 ? std::strerror(error) : state_->jump.message;
  throw Exception("Cannot write " + name_ + ": " + reason);
}

}  // namespace korvane

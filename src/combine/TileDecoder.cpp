#include "combine/TileDecoder.h"

#include "jpeg/JpegJump.h"
#include "platform/Exception.h"
#include "platform/NumberFormat.h"

namespace korvane {

// A real tile needs well under a megabyte of decoder memory; the bound keeps a hostile file that
// claims a huge progressive image from exhausting the process.
static constexpr long MaxTileDecoderMemory = 16L * 1024 * 1024;

struct TileDecoder::State {
  jpeg_decompress_struct info;
  JpegJump jump;
  bool created = false;

  // Also runs when the constructor raises, so a tile that does not decode leaks nothing.
  ~State() {
    if (created) jpeg_destroy_decompress(&info);
  }
};

namespace {

bool StartDecoding(jpeg_decompress_struct* info, JpegJump* jump, const unsigned char* data,
                   unsigned long size) {
  if (setjmp(jump->jump) != 0) return false;
  info->mem->max_memory_to_use = MaxTileDecoderMemory;
  jpeg_mem_src(info, data, size);
  jpeg_read_header(info, TRUE);
  info->out_color_space = JCS_RGB;
  jpeg_start_decompress(info);
  return true;
}

bool DecodeLines(jpeg_decompress_struct* info, JpegJump* jump, std::uint8_t* rows,
                 std::size_t stride, int count) {
  if (setjmp(jump->jump) != 0) return false;
  for (int i = 0; i < count; ++i) {
    JSAMPROW row = rows + static_cast<std::size_t>(i) * stride;
    if (jpeg_read_scanlines(info, &row, 1) != 1) return false;
  }
  return true;
}

}  // namespace

TileDecoder::TileDecoder(std::string name, std::string bytes, int side)
    : name_(std::move(name)), bytes_(std::move(bytes)), state_(std::make_unique<State>()) {
  jpeg_decompress_struct& info = state_->info;
  info.err = InstallJpegJump(state_->jump, true);
  jpeg_create_decompress(&info);
  state_->created = true;
  if (bytes_.empty()) throw Exception(name_ + " does not decode: the file is empty");
  if (!StartDecoding(&info, &state_->jump, reinterpret_cast<const unsigned char*>(bytes_.data()),
                     static_cast<unsigned long>(bytes_.size()))) {
    throw Exception(name_ + " does not decode: " + state_->jump.message);
  }
  if (static_cast<int>(info.output_width) != side || static_cast<int>(info.output_height) != side ||
      info.output_components != 3) {
    throw Exception(name_ + " is " + IntToStr(info.output_width) + " x " +
                    IntToStr(info.output_height) + " pixels, not " + IntToStr(side) + " x " +
                    IntToStr(side));
  }
}

TileDecoder::~TileDecoder() = default;

void TileDecoder::ReadLines(std::uint8_t* rows, std::size_t stride, int count) {
  if (!DecodeLines(&state_->info, &state_->jump, rows, stride, count)) {
    const std::string reason =
        state_->jump.message[0] != '\0' ? state_->jump.message : "it ends too early";
    throw Exception(name_ + " does not decode: " + reason);
  }
}

}  // namespace korvane

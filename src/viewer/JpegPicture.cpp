#include "viewer/JpegPicture.h"

#include <algorithm>
#include <cstring>

#include "jpeg/JpegJump.h"
#include "platform/Exception.h"
#include "viewer/ViewerLimits.h"

namespace korvane::viewer {
namespace {

constexpr char XmpHeader[] = "http://ns.adobe.com/xap/1.0/";  // followed by a zero byte
constexpr int MaxRowsPerRead = 16;
// libjpeg pads a component to whole units of up to 4 x 4 blocks of 8 x 8 pixels.
constexpr long CoefficientPadding = 32;
constexpr long BytesPerCoefficient = 2;

long PaddedSide(int pixels) {
  return (static_cast<long>(pixels) + CoefficientPadding - 1) / CoefficientPadding *
         CoefficientPadding;
}

enum class Outcome { Done, Failed, Cancelled };

// One run of the decoder over a JPEG in memory: the header only (Pixels null: Width, Height and
// the XMP packet are filled in), or the whole picture at 1/Denominator of its size into Pixels,
// which holds Height rows of Width x 3 bytes (the size the header run gave at that scale).
struct DecoderRun {
  const unsigned char* Data;
  unsigned long Size;
  int Denominator;
  unsigned char* Pixels;
  int Width;
  int Height;
  std::string* Xmp;
  const std::atomic<bool>* Cancel;
  char Message[JMSG_LENGTH_MAX];
  int FirstRow = 0;  // rows of the scaled picture skipped before Pixels' first
};

void KeepXmp(const jpeg_decompress_struct& info, std::string& xmp) {
  for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
    if (marker->data_length > sizeof XmpHeader &&
        std::memcmp(marker->data, XmpHeader, sizeof XmpHeader) == 0) {
      xmp.assign(reinterpret_cast<const char*>(marker->data) + sizeof XmpHeader,
                 marker->data_length - sizeof XmpHeader);
      return;
    }
  }
}

// Only plain C data lives in this frame, so leaving it by longjmp skips no destructor.
Outcome Run(DecoderRun& run) {
  jpeg_decompress_struct info;
  JpegJump errors;
  info.err = InstallJpegJump(errors, true);
  if (setjmp(errors.jump) != 0) {
    std::memcpy(run.Message, errors.message, JMSG_LENGTH_MAX);
    jpeg_destroy_decompress(&info);
    return Outcome::Failed;
  }
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = MaxJpegWorkMemory;
  jpeg_mem_src(&info, run.Data, run.Size);
  if (!run.Pixels) {
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    run.Width = static_cast<int>(info.image_width);
    run.Height = static_cast<int>(info.image_height);
    KeepXmp(info, *run.Xmp);
    jpeg_destroy_decompress(&info);
    return Outcome::Done;
  }
  jpeg_read_header(&info, TRUE);
  // A progressive picture keeps all of its coefficients until the last scan.
  info.mem->max_memory_to_use = JpegWorkMemoryFor(
      static_cast<int>(info.image_width), static_cast<int>(info.image_height), info.num_components);
  info.out_color_space = JCS_RGB;
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned int>(run.Denominator);
  jpeg_start_decompress(&info);
  const int endRow = run.FirstRow + run.Height;
  if (static_cast<int>(info.output_width) != run.Width ||
      static_cast<int>(info.output_height) < endRow || info.output_components != 3) {
    std::strcpy(run.Message, "unexpected decoded size");
    jpeg_destroy_decompress(&info);
    return Outcome::Failed;
  }
  // Rows above the band are skipped without their colour conversion and upsampling, and the
  // rows below it are never read.
  if (run.FirstRow > 0) jpeg_skip_scanlines(&info, static_cast<JDIMENSION>(run.FirstRow));
  const std::size_t rowBytes = static_cast<std::size_t>(run.Width) * 3;
  JSAMPROW rows[MaxRowsPerRead];
  while (static_cast<int>(info.output_scanline) < endRow) {
    if (run.Cancel && run.Cancel->load(std::memory_order_relaxed)) {
      jpeg_destroy_decompress(&info);
      return Outcome::Cancelled;
    }
    const int first = static_cast<int>(info.output_scanline) - run.FirstRow;
    const int count = std::min(MaxRowsPerRead, run.Height - first);
    for (int i = 0; i < count; ++i)
      rows[i] = run.Pixels + static_cast<std::size_t>(first + i) * rowBytes;
    jpeg_read_scanlines(&info, rows, static_cast<JDIMENSION>(count));
  }
  if (info.output_scanline == info.output_height) jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return Outcome::Done;
}

const unsigned char* Data(std::string_view bytes) {
  return reinterpret_cast<const unsigned char*>(bytes.data());
}

}  // namespace

long JpegWorkMemoryFor(int width, int height, int components) {
  return MaxJpegWorkMemory +
         PaddedSide(width) * PaddedSide(height) * components * BytesPerCoefficient;
}

std::string TooBigMessage(int width, int height) {
  return "The picture is too big to show: " + std::to_string(width) + " x " +
         std::to_string(height) + " pixels would take more than " +
         std::to_string(MaxDecodedPictureBytes / (1024 * 1024)) + " MiB once decoded.";
}

JpegHeader ReadJpegHeader(std::string_view bytes) {
  // libjpeg takes an empty source for a cut-off file and makes up an end marker.
  if (bytes.size() < 4) throw Exception("Not a JPEG picture: the file is empty or too short.");
  std::string xmp;
  DecoderRun run{Data(bytes), static_cast<unsigned long>(bytes.size()),
                 1,           nullptr,
                 0,           0,
                 &xmp,        nullptr,
                 {},          0};
  if (Run(run) != Outcome::Done)
    throw Exception(std::string("Not a JPEG picture: ") + run.Message + ".");
  JpegHeader header;
  header.Width = run.Width;
  header.Height = run.Height;
  if (!xmp.empty()) {
    header.GPano = ParseGPano(xmp);
    header.PoseHeading = ParsePoseHeading(xmp);
  }
  return header;
}

RgbBuffer DecodeJpeg(std::string_view bytes, int denominator, const std::atomic<bool>* cancel) {
  return DecodeJpegRows(bytes, denominator, 0, -1, cancel);
}

RgbBuffer DecodeJpegRows(std::string_view bytes, int denominator, int firstRow, int rowCount,
                         const std::atomic<bool>* cancel) {
  const JpegHeader header = ReadJpegHeader(bytes);
  if (static_cast<std::uint64_t>(header.Width) * static_cast<std::uint64_t>(header.Height) * 3 >
      MaxDecodedPictureBytes)
    throw Exception(TooBigMessage(header.Width, header.Height));
  const int scaledHeight = (header.Height + denominator - 1) / denominator;
  firstRow = std::clamp(firstRow, 0, scaledHeight);
  if (rowCount < 0 || rowCount > scaledHeight - firstRow) rowCount = scaledHeight - firstRow;
  if (rowCount == 0) return {};
  RgbBuffer pixels((header.Width + denominator - 1) / denominator, rowCount);
  DecoderRun run{Data(bytes),  static_cast<unsigned long>(bytes.size()),
                 denominator,  pixels.Pixels.data(),
                 pixels.Width, pixels.Height,
                 nullptr,      cancel,
                 {},           firstRow};
  switch (Run(run)) {
    case Outcome::Done:
      return pixels;
    case Outcome::Cancelled:
      return {};
    case Outcome::Failed:
      break;
  }
  throw Exception(std::string("The picture is damaged or cut short: ") + run.Message + ".");
}

}  // namespace korvane::viewer

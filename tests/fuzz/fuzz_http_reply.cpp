// The HTTP reply reader on arbitrary bytes, received in pieces of varying size: status line,
// headers, bodies of every framing. Its own refusals are exceptions; anything else is a fault.
#include <algorithm>

#include "FuzzTarget.h"
#include "net/HttpReplyReader.h"
#include "platform/Exception.h"

namespace {

// Hands out the reply in pieces whose sizes follow the input's first byte, so the same reply
// is read split at many places across the corpus.
class PieceSource : public korvane::ByteSource {
 public:
  PieceSource(std::string_view bytes, unsigned pattern) : bytes_(bytes), pattern_(pattern | 1) {}
  std::size_t Receive(char* buffer, std::size_t size) override {
    if (bytes_.empty()) return 0;
    step_ = step_ * 31 + pattern_;
    const std::size_t piece = std::min({size, bytes_.size(), std::size_t{1} + step_ % 97});
    std::copy_n(bytes_.data(), piece, buffer);
    bytes_.remove_prefix(piece);
    return piece;
  }

 private:
  std::string_view bytes_;
  unsigned pattern_;
  unsigned step_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  PieceSource source(korvane::fuzz::AsText(data + 1, size - 1), data[0]);
  korvane::HttpReplyReader reader(source);
  try {
    const korvane::HttpReplyHead head = reader.ReadHead();
    std::string body;
    reader.ReadBody(head, body);
    reader.HasUnreadBytes();
  } catch (const korvane::Exception&) {
  }
  return 0;
}

#include "DigitFont.h"

#include <array>
#include <cstdint>

namespace korvane::standin {

namespace {

using Glyph = std::array<std::uint8_t, GlyphHeight>;  // one row per byte, bit 4 = leftmost

Glyph GlyphOf(char c) {
  switch (c) {
    case '0':
      return {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E};
    case '1':
      return {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E};
    case '2':
      return {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F};
    case '3':
      return {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E};
    case '4':
      return {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02};
    case '5':
      return {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E};
    case '6':
      return {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E};
    case '7':
      return {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08};
    case '8':
      return {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E};
    case '9':
      return {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C};
    case 'x':
      return {0x00, 0x00, 0x11, 0x0A, 0x04, 0x0A, 0x11};
    case 'y':
      return {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E};
    case 'z':
      return {0x00, 0x00, 0x1F, 0x02, 0x04, 0x08, 0x1F};
    default:
      return {};
  }
}

}  // namespace

int TextBoxWidth(std::string_view text, int scale, int padding) {
  const int glyphs = static_cast<int>(text.size());
  const int inner = glyphs == 0 ? 0 : (glyphs * GlyphAdvance - 1) * scale;
  return inner + 2 * padding;
}

int TextBoxHeight(int scale, int padding) {
  return GlyphHeight * scale + 2 * padding;
}

void DrawTextBox(RgbImage& image, std::string_view text, int left, int top, int scale, int padding,
                 Rgb ink, Rgb paper) {
  image.FillRect(left, top, TextBoxWidth(text, scale, padding), TextBoxHeight(scale, padding),
                 paper);
  int penX = left + padding;
  const int penY = top + padding;
  for (const char c : text) {
    const Glyph glyph = GlyphOf(c);
    for (int row = 0; row < GlyphHeight; ++row) {
      for (int col = 0; col < GlyphWidth; ++col) {
        if ((glyph[static_cast<std::size_t>(row)] >> (GlyphWidth - 1 - col)) & 1) {
          image.FillRect(penX + col * scale, penY + row * scale, scale, scale, ink);
        }
      }
    }
    penX += GlyphAdvance * scale;
  }
}

}  // namespace korvane::standin

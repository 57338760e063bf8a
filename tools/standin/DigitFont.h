#pragma once

#include <string_view>

#include "RgbImage.h"

namespace korvane::standin {

// A 5 x 7 pixel font for the labels drawn into panoramas and tiles: digits, "x", "y", "z" and
// the blank. Other characters draw as blanks.
inline constexpr int GlyphWidth = 5;
inline constexpr int GlyphHeight = 7;
inline constexpr int GlyphAdvance = GlyphWidth + 1;

// The size of a text drawn at the scale (each font pixel a scale x scale square), with a frame
// of `padding` pixels around it.
int TextBoxWidth(std::string_view text, int scale, int padding);
int TextBoxHeight(int scale, int padding);

// Draws the text on a filled box whose top-left corner is (left, top); whatever falls outside
// the picture is cut off.
void DrawTextBox(RgbImage& image, std::string_view text, int left, int top, int scale, int padding,
                 Rgb ink, Rgb paper);

}  // namespace korvane::standin
